// What the game window shows around its drawing area, as plain values the host paints:
// the labels and the level bar. The window's art and icon are files the host loads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zol {

// A line of text at a fixed place of the window's client area.
struct WindowLabel {
    int32_t Left = 0, Top = 0, Width = 0, Height = 0;  // client pixels
    std::string Caption;                               // UTF-8
    float FontPoints = 8.0f;
    bool Bold = false;
    bool HasBackColor = false;  // false: transparent over the window's art
    uint32_t BackColor = 0;     // 0xRRGGBB when HasBackColor
    uint32_t ForeColor = 0;     // 0xRRGGBB
};

// A progress bar: a frame with an optional border and a filled part from its left edge.
struct WindowBar {
    int32_t Left = 0, Top = 0, Width = 0, Height = 0;  // client pixels, border included
    int32_t Border = 1;       // 0 none, 2 sunken 3D, anything else a flat single line
    uint32_t BackColor = 0;   // 0xRRGGBB of the frame's inside
    uint32_t ForeColor = 0;   // 0xRRGGBB of the filled part
    float Fraction = 0;       // 0..1 of the inner width that is filled
};

struct WindowContent {
    std::vector<WindowLabel> Labels;
    WindowBar Bar;
};

}  // namespace zol
