// Bar: the progress bar control. Shows Value of 0..Max as a filled part of its frame.
#pragma once

#include <cstdint>

namespace zol::ui {

class Bar {
public:
    // The current value, kept within 0..Max.
    float Value() const { return value_; }
    void SetValue(float v);
    // The maximum; values below 1 become 1.
    int32_t Max() const { return max_; }
    void SetMax(int32_t m);

    // The level bar as the game window's design stores it (Value 50 of 100).
    static Bar LevelBarDesign();

private:
    void Update();
    float value_ = 50.0f;
    int32_t max_ = 100;
};

}  // namespace zol::ui
