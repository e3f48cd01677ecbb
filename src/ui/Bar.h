// Bar: the progress bar control. Shows Value of 0..Max as a filled part of its frame.
#pragma once

#include <cstdint>

#include "platform/WindowContent.h"

namespace zol::ui {

class Bar {
public:
    // The current value, kept within 0..Max.
    float Value() const { return value_; }
    void SetValue(float v);
    // The maximum; values below 1 become 1.
    int32_t Max() const { return max_; }
    void SetMax(int32_t m);

    // What the host paints for this bar placed at (left, top) with the given size.
    WindowBar Describe(int32_t left, int32_t top, int32_t width, int32_t height) const;
    // The level bar as the game window's design stores it (Value 50 of 100).
    static Bar LevelBarDesign();

private:
    void Update();
    float value_ = 50.0f;
    int32_t max_ = 100;
};

}  // namespace zol::ui
