// The level bar control: limits, border styles, the design store and what it paints.
#include <gtest/gtest.h>

#include "ui/Bar.h"

namespace zol::ui {
namespace {

TEST(Bar, ValuesAreLimitedAndTheFillFollows) {
    Bar bar;  // newly placed: 50 of 100, sunken border (2 px), inner width 96
    EXPECT_EQ(bar.Value(), 50.0f);
    EXPECT_EQ(bar.Max(), 100);
    EXPECT_EQ(bar.Draw(0, 0, 100, 10).FillWidth, 48);
    bar.SetValue(150);
    EXPECT_EQ(bar.Value(), 100.0f);
    EXPECT_EQ(bar.Draw(0, 0, 100, 10).FillWidth, 96);
    bar.SetValue(-3);
    EXPECT_EQ(bar.Value(), 0.0f);
    EXPECT_EQ(bar.Draw(0, 0, 100, 10).FillWidth, 0);
    bar.SetMax(0);
    EXPECT_EQ(bar.Max(), 1);
    bar.SetValue(0.5f);
    EXPECT_EQ(bar.Draw(0, 0, 100, 10).FillWidth, 48);
    bar.SetMax(-7);
    EXPECT_EQ(bar.Max(), 1);
    // A smaller maximum pulls the value down with it.
    bar.SetMax(100);
    bar.SetValue(80);
    bar.SetMax(40);
    EXPECT_EQ(bar.Value(), 40.0f);
    // Degenerate sizes paint nothing rather than negative rectangles.
    const WindowBar tiny = bar.Draw(0, 0, 1, -5);
    EXPECT_EQ(tiny.FillWidth, 0);
    EXPECT_EQ(tiny.FillHeight, 0);
}

TEST(Bar, BorderStyles) {
    Bar bar;
    bar.SetBorder(1);
    const WindowBar one = bar.Draw(52, 342, 477, 7);
    bar.SetBorder(7);
    const WindowBar seven = bar.Draw(52, 342, 477, 7);
    EXPECT_EQ(one.BorderStyle, BarBorderFlat);
    EXPECT_EQ(seven.BorderStyle, BarBorderFlat);
    EXPECT_EQ(one.FillWidth, seven.FillWidth);
    EXPECT_EQ(one.FillLeft, 53);
    EXPECT_EQ(one.FillHeight, 5);
    bar.SetBorder(0);
    EXPECT_EQ(bar.Draw(0, 0, 100, 10).FillHeight, 10);
    bar.SetBorder(2);
    EXPECT_EQ(bar.Draw(0, 0, 100, 10).BorderWidth, 2);
}

TEST(Bar, DesignStore) {
    // A fresh instance and a stored one without "Value" differ: half full against full.
    PropertyStore store;
    store.WriteNumber("Max", 40);
    Bar loaded;
    loaded.ReadProperties(store);
    EXPECT_EQ(loaded.Max(), 40);
    EXPECT_EQ(loaded.Value(), 40.0f);
    EXPECT_EQ(loaded.Border(), 2);
    EXPECT_EQ(loaded.ForeColor(), 0x800000u);
    EXPECT_EQ(loaded.BackColor(), 0xFFFFFFu);
    EXPECT_FALSE(loaded.DesignChanged());
    EXPECT_EQ(Bar().ForeColor(), 0xFF8080u);

    // Damaged values fall back to the defaults.
    PropertyStore bad;
    bad.Write("Max", "lots");
    bad.Write("Value", "1e999");
    bad.Write("Border", "");
    bad.Write("BackColor", "-5");
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

TEST(Bar, LevelBarDesign) {
    const Bar bar = Bar::LevelBarDesign();
    EXPECT_EQ(bar.Value(), 50.0f);
    EXPECT_EQ(bar.Max(), 100);
    EXPECT_EQ(bar.Border(), 1);
    const WindowBar w = bar.Draw(52, 342, 477, 7);
    EXPECT_EQ(w.ForeRGB, 0x800000u);  // red 128
    EXPECT_EQ(w.BackRGB, 0xFFC0C0u);  // red 255, green 192, blue 192
    EXPECT_EQ(w.BorderStyle, BarBorderFlat);
    EXPECT_EQ(w.FillWidth, 238);  // half of the 475 pixels inside the border, to even
    EXPECT_EQ(w.FrameLeft, 52);
    EXPECT_EQ(w.FrameWidth, 477);
}

}  // namespace
}  // namespace zol::ui
