// What the game window shows around its drawing area, as plain values the host paints:
// where things are (the layout), the labels and the level bar. The window's art and icon
// are files the host loads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zol {

namespace ui {
// A rectangle of client pixels.
struct Rect {
    int32_t X = 0, Y = 0, W = 0, H = 0;
    // True when the point lies inside.
    bool Contains(int32_t Px, int32_t Py) const {
        return Px >= X && Py >= Y && Px < X + W && Py < Y + H;
    }
    bool operator==(const Rect&) const = default;
};
}  // namespace ui

// Where things are in the game window. The game fills it in; the host sizes the window,
// places the logical screen and maps the mouse by it, and the painter frames the drawing
// area by it.
struct WindowLayout {
    int32_t ClientWidth = 0, ClientHeight = 0;
    ui::Rect Front;   // the drawing area, its one-pixel border included
    ui::Rect Screen;  // the logical screen, inside Front's border
    bool operator==(const WindowLayout&) const = default;
};

// A line of text at a fixed place of the window's client area.
struct WindowLabel {
    int32_t Left = 0, Top = 0, Width = 0, Height = 0;  // client pixels
    std::string Caption;                               // UTF-8
    float FontPoints = 8.0f;
    bool Bold = false;
    bool HasBackColor = false;  // false: transparent over the window's art
    uint32_t BackColor = 0;     // 0xRRGGBB when HasBackColor
    uint32_t ForeColor = 0;     // 0xRRGGBB
    bool operator==(const WindowLabel&) const = default;
};

// Border styles of a bar.
enum : int32_t { BarBorderNone = 0, BarBorderFlat = 1, BarBorderSunken = 2 };

// A progress bar as it is painted, in client pixels: its frame, the border drawn inside
// the frame, and the filled part.
struct WindowBar {
    int32_t FrameLeft = 0, FrameTop = 0, FrameWidth = 0, FrameHeight = 0;
    int32_t BorderStyle = BarBorderFlat;  // BarBorderNone, BarBorderFlat or BarBorderSunken
    int32_t BorderWidth = 1;              // pixels of border on each side (0, 1 or 2)
    int32_t FillLeft = 0, FillTop = 0, FillWidth = 0, FillHeight = 0;
    uint32_t BackRGB = 0;  // 0xRRGGBB of the frame's inside
    uint32_t ForeRGB = 0;  // 0xRRGGBB of the filled part
    bool operator==(const WindowBar&) const = default;
};

struct WindowContent {
    WindowLayout Layout;
    std::vector<WindowLabel> Labels;
    WindowBar Bar;
};

}  // namespace zol
