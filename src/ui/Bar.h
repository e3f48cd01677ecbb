// Bar: the progress bar control. Shows Value of 0..Max as a filled part of its frame.
//
// What it does: keeps the bar's properties (Value, Max, Border, colours, pictures), reads
// and writes them from a small keyed property store (the window design), and describes
// what to paint: the frame, its border style, the filled rectangle and the colours. It
// draws nothing itself: the window host paints from Describe().
// Who owns what: the control owns its values; pictures are referred to by name.
// Failure: none; out-of-range values are limited, unreadable stored values fall back to
// their defaults.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "ui/WindowContent.h"

namespace zol::ui {

// A keyed store of texts, in the order the keys were first written.
class PropertyStore {
public:
    // True when Key has been written.
    bool Has(const std::string& Key) const;
    // The text stored under Key, or Default.
    std::string Read(const std::string& Key, const std::string& Default) const;
    // The number stored under Key, or Default when missing or not a number.
    double ReadNumber(const std::string& Key, double Default) const;
    // Stores Text under Key (replacing an earlier value in place).
    void Write(const std::string& Key, const std::string& Text);
    // Stores a number under Key, written so that ReadNumber gives it back exactly.
    void WriteNumber(const std::string& Key, double Value);
    // Every key and text, in writing order.
    const std::vector<std::pair<std::string, std::string>>& Entries() const { return entries_; }

private:
    std::vector<std::pair<std::string, std::string>> entries_;
};

class Bar {
public:
    // A newly placed bar: Max 100, Value 50, sunken border, light red on white.
    Bar();

    // The current value, kept within 0..Max.
    float Value() const { return value_; }
    void SetValue(float Value);
    // The maximum; values below 1 become 1.
    int32_t Max() const { return max_; }
    void SetMax(int32_t Max);
    // 0 no border, 2 sunken, anything else a flat single line.
    int32_t Border() const { return border_; }
    void SetBorder(int32_t Border);
    // Colours as system colour values: red in the low byte (0x00BBGGRR).
    uint32_t BackColor() const { return backColor_; }
    void SetBackColor(uint32_t Color);
    uint32_t ForeColor() const { return foreColor_; }
    void SetForeColor(uint32_t Color);
    // Pictures shown in the filled part and in the background ("" none).
    const std::string& ForePicture() const { return forePicture_; }
    void SetForePicture(const std::string& Picture);
    const std::string& BackPicture() const { return backPicture_; }
    void SetBackPicture(const std::string& Picture);

    // True once a setter has changed a property since the design was last read or written.
    bool DesignChanged() const { return changed_; }
    // Loads the properties from a design store (missing or unreadable keys: defaults).
    void ReadProperties(const PropertyStore& Store);
    // Writes all seven properties to a design store.
    void WriteProperties(PropertyStore& Store);

    // What the host paints for this bar placed at (Left, Top) with the given size.
    WindowBar Draw(int32_t Left, int32_t Top, int32_t Width, int32_t Height) const;
    // The level bar as the game window's design stores it (Value 50 of 100, flat border,
    // dark red on light pink).
    static Bar LevelBarDesign();

private:
    void Update();
    void Changed() { changed_ = true; }
    float value_ = 50.0f;
    int32_t max_ = 100;
    int32_t border_ = BarBorderSunken;
    uint32_t foreColor_ = 0xFF8080;
    uint32_t backColor_ = 0xFFFFFF;
    std::string forePicture_, backPicture_;
    bool changed_ = false;
};

}  // namespace zol::ui
