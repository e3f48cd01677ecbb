#include "ui/Bar.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace zol::ui {

// ---- PropertyStore ----------------------------------------------------------------

bool PropertyStore::Has(const std::string& Key) const {
    for (const auto& e : entries_)
        if (e.first == Key) return true;
    return false;
}

std::string PropertyStore::Read(const std::string& Key, const std::string& Default) const {
    for (const auto& e : entries_)
        if (e.first == Key) return e.second;
    return Default;
}

double PropertyStore::ReadNumber(const std::string& Key, double Default) const {
    if (!Has(Key)) return Default;
    const std::string text = Read(Key, "");
    double v = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, v);
    if (ec != std::errc() || ptr != end || !std::isfinite(v)) return Default;
    return v;
}

void PropertyStore::Write(const std::string& Key, const std::string& Text) {
    for (auto& e : entries_) {
        if (e.first == Key) {
            e.second = Text;
            return;
        }
    }
    entries_.emplace_back(Key, Text);
}

void PropertyStore::WriteNumber(const std::string& Key, double Value) {
    char buf[32];
    auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, Value);
    Write(Key, ec == std::errc() ? std::string(buf, ptr) : std::string("0"));
}

// ---- Bar ----------------------------------------------------------------------------

namespace {
// A stored number as a 32-bit value; out-of-range numbers fall back to Default.
int32_t ToInt32(double v, int32_t Default) {
    if (!(v >= -2147483648.0 && v <= 2147483647.0)) return Default;
    return static_cast<int32_t>(std::nearbyint(v));
}
uint32_t ToColor(double v, uint32_t Default) {
    if (!(v >= 0 && v <= 4294967295.0)) return Default;
    return static_cast<uint32_t>(std::nearbyint(v));
}
// A system colour (red in the low byte) as 0xRRGGBB.
uint32_t ToRGB(uint32_t c) {
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
}  // namespace

Bar::Bar() { Update(); }

void Bar::SetValue(float Value) {
    Changed();
    value_ = Value;
    Update();
}
void Bar::SetMax(int32_t Max) {
    Changed();
    max_ = Max;
    Update();
}
void Bar::SetBorder(int32_t Border) {
    Changed();
    border_ = Border;
    Update();
}
void Bar::SetBackColor(uint32_t Color) {
    Changed();
    backColor_ = Color;
    Update();
}
void Bar::SetForeColor(uint32_t Color) {
    Changed();
    foreColor_ = Color;
    Update();
}
void Bar::SetForePicture(const std::string& Picture) {
    Changed();
    forePicture_ = Picture;
}
void Bar::SetBackPicture(const std::string& Picture) {
    Changed();
    backPicture_ = Picture;
}

void Bar::ReadProperties(const PropertyStore& Store) {
    max_ = ToInt32(Store.ReadNumber("Max", 100), 100);
    // A design without a value opens full.
    const double v = Store.ReadNumber("Value", static_cast<double>(max_));
    value_ = std::isfinite(static_cast<float>(v)) ? static_cast<float>(v) : static_cast<float>(max_);
    border_ = ToInt32(Store.ReadNumber("Border", 2), 2);
    foreColor_ = ToColor(Store.ReadNumber("ForeColor", 0x800000), 0x800000);
    backColor_ = ToColor(Store.ReadNumber("BackColor", 0xFFFFFF), 0xFFFFFF);
    forePicture_ = Store.Read("ForePicture", "");
    backPicture_ = Store.Read("BackPicture", "");
    changed_ = false;
    Update();
}

void Bar::WriteProperties(PropertyStore& Store) {
    Store.WriteNumber("Max", max_);
    Store.WriteNumber("Value", value_);
    Store.WriteNumber("Border", border_);
    Store.WriteNumber("ForeColor", foreColor_);
    Store.WriteNumber("BackColor", backColor_);
    Store.Write("ForePicture", forePicture_);
    Store.Write("BackPicture", backPicture_);
    changed_ = false;
}

WindowBar Bar::Draw(int32_t Left, int32_t Top, int32_t Width, int32_t Height) const {
    WindowBar d;
    d.FrameLeft = Left;
    d.FrameTop = Top;
    d.FrameWidth = Width > 0 ? Width : 0;
    d.FrameHeight = Height > 0 ? Height : 0;
    d.BorderStyle = border_ == BarBorderNone     ? BarBorderNone
                    : border_ == BarBorderSunken ? BarBorderSunken
                                                 : BarBorderFlat;
    d.BorderWidth = d.BorderStyle == BarBorderNone ? 0 : (d.BorderStyle == BarBorderSunken ? 2 : 1);
    const int32_t innerW = std::max(0, d.FrameWidth - 2 * d.BorderWidth);
    const int32_t innerH = std::max(0, d.FrameHeight - 2 * d.BorderWidth);
    d.FillLeft = Left + d.BorderWidth;
    d.FillTop = Top + d.BorderWidth;
    const double fill = static_cast<double>(innerW) / max_ * value_;
    d.FillWidth = std::min(innerW, static_cast<int32_t>(std::nearbyint(fill)));
    d.FillHeight = innerH;
    d.BackRGB = ToRGB(backColor_);
    d.ForeRGB = ToRGB(foreColor_);
    return d;
}

Bar Bar::LevelBarDesign() {
    PropertyStore design;
    design.WriteNumber("Max", 100);
    design.WriteNumber("Value", 50);
    design.WriteNumber("Border", 1);
    design.WriteNumber("ForeColor", 0x000080);
    design.WriteNumber("BackColor", 0xC0C0FF);
    Bar bar;
    bar.ReadProperties(design);
    return bar;
}

void Bar::Update() {
    if (max_ < 1) max_ = 1;
    if (!(value_ >= 0)) value_ = 0;  // NaN reads as empty too
    if (value_ > static_cast<float>(max_)) value_ = static_cast<float>(max_);
}

}  // namespace zol::ui
