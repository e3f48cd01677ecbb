// Label: a line of text at a fixed place of the window, as the window host draws it.
#pragma once

#include <cstdint>
#include <string>

namespace zol::ui {

struct Label {
    int32_t Left = 0, Top = 0, Width = 0, Height = 0;  // client pixels of the window
    std::string Caption;                               // UTF-8
    float FontPoints = 8.0f;                           // point size
    bool Bold = false;
    bool HasBackColor = false;  // false: transparent over the window's art
    uint32_t BackColor = 0;     // 0xRRGGBB when HasBackColor
    uint32_t ForeColor = 0x000000;  // 0xRRGGBB
};

}  // namespace zol::ui
