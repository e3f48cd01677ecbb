// Placeholder: the value and its limits only; drawing and the property store come later.
#include "ui/Bar.h"

namespace zol::ui {

void Bar::SetValue(float v) {
    value_ = v;
    Update();
}
void Bar::SetMax(int32_t m) {
    max_ = m;
    Update();
}
WindowBar Bar::Describe(int32_t left, int32_t top, int32_t width, int32_t height) const {
    WindowBar bar;
    bar.Left = left;
    bar.Top = top;
    bar.Width = width;
    bar.Height = height;
    bar.Fraction = value_ / static_cast<float>(max_);
    return bar;
}

Bar Bar::LevelBarDesign() {
    Bar bar;
    bar.SetMax(100);
    bar.SetValue(50);
    return bar;
}

void Bar::Update() {
    if (max_ < 1) max_ = 1;
    if (value_ < 0) value_ = 0;
    if (value_ > static_cast<float>(max_)) value_ = static_cast<float>(max_);
}

}  // namespace zol::ui
