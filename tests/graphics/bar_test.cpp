// The level bar control: limits, border styles, the design store and what it paints.
#include <gtest/gtest.h>

#include "ui/Bar.h"

namespace zol::ui {
namespace {

TEST(Bar, ValuesAreLimitedAndTheFillFollowsTheBorder) {
    Bar bar;  // newly placed: 50 of 100, sunken border (2 px), inner width 96
    EXPECT_EQ(bar.Draw(0, 0, 100, 10).FillWidth, 48);
    EXPECT_EQ(bar.Draw(0, 0, 100, 10).BorderWidth, 2);
    bar.SetValue(150);
    EXPECT_EQ(bar.Value(), 100.0f);
    EXPECT_EQ(bar.Draw(0, 0, 100, 10).FillWidth, 96);
    bar.SetValue(-3);
    EXPECT_EQ(bar.Draw(0, 0, 100, 10).FillWidth, 0);
    bar.SetMax(-7);
    EXPECT_EQ(bar.Max(), 1);
    bar.SetValue(0.5f);
    EXPECT_EQ(bar.Draw(0, 0, 100, 10).FillWidth, 48);
    // A smaller maximum pulls the value down with it.
    bar.SetMax(100);
    bar.SetValue(80);
    bar.SetMax(40);
    EXPECT_EQ(bar.Value(), 40.0f);
    // Degenerate sizes paint nothing rather than negative rectangles.
    const WindowBar tiny = bar.Draw(0, 0, 1, -5);
    EXPECT_EQ(tiny.FillWidth, 0);
    EXPECT_EQ(tiny.FillHeight, 0);
    // Borders 1 and 7 are both flat and one pixel wide; 0 has none.
    for (int32_t border : {1, 7}) {
        bar.SetBorder(border);
        const WindowBar w = bar.Draw(52, 342, 477, 7);
        EXPECT_EQ(w.BorderStyle, BarBorderFlat);
        EXPECT_EQ(w.FillLeft, 53);
        EXPECT_EQ(w.FillHeight, 5);
        EXPECT_EQ(w.FillWidth, 475);
    }
    bar.SetBorder(0);
    EXPECT_EQ(bar.Draw(0, 0, 100, 10).FillHeight, 10);

    // The game's own bar: half full, red on pink, the fill rounded to even.
    const WindowBar level = Bar::LevelBarDesign().Draw(52, 342, 477, 7);
    EXPECT_EQ(level.ForeRGB, 0x800000u);
    EXPECT_EQ(level.BackRGB, 0xFFC0C0u);
    EXPECT_EQ(level.BorderStyle, BarBorderFlat);
    EXPECT_EQ(level.FillWidth, 238);
    EXPECT_EQ(level.FrameLeft, 52);
    EXPECT_EQ(level.FrameWidth, 477);
}

TEST(Bar, DesignStore) {
    // A stored bar without "Value" is full, unlike a fresh one; damaged values fall back.
    PropertyStore store;
    store.WriteNumber("Max", 40);
    Bar loaded;
    loaded.ReadProperties(store);
    EXPECT_EQ(loaded.Max(), 40);
    EXPECT_EQ(loaded.Value(), 40.0f);
    EXPECT_EQ(loaded.Border(), 2);
    EXPECT_EQ(loaded.ForeColor(), 0x800000u);
    EXPECT_FALSE(loaded.DesignChanged());
    EXPECT_EQ(Bar().ForeColor(), 0xFF8080u);
    PropertyStore bad;
    for (const auto& [key, value] : {std::pair{"Max", "lots"}, {"Value", "1e999"}, {"Border", ""},
                                     {"BackColor", "-5"}})
        bad.Write(key, value);
    loaded.ReadProperties(bad);
    EXPECT_EQ(loaded.Max(), 100);
    EXPECT_EQ(loaded.Value(), 100.0f);
    EXPECT_EQ(loaded.Border(), 2);
    EXPECT_EQ(loaded.BackColor(), 0xFFFFFFu);

    // Writing keeps all seven keys in order and reads back the same bar.
    Bar bar;
    bar.SetValue(12.25f);
    bar.SetForePicture("fill.png");
    EXPECT_TRUE(bar.DesignChanged());
    PropertyStore out;
    bar.WriteProperties(out);
    EXPECT_FALSE(bar.DesignChanged());
    std::vector<std::string> keys;
    for (const auto& e : out.Entries()) keys.push_back(e.first);
    EXPECT_EQ(keys, (std::vector<std::string>{"Max", "Value", "Border", "ForeColor", "BackColor",
                                              "ForePicture", "BackPicture"}));
    Bar again;
    again.ReadProperties(out);
    EXPECT_EQ(again.Value(), 12.25f);
    EXPECT_EQ(again.ForePicture(), "fill.png");
    EXPECT_EQ(again.BackPicture(), "");
}

}  // namespace
}  // namespace zol::ui
