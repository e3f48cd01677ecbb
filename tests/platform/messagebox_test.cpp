// The message box's model: its answers to keys, clicks and pads, and a layout that
// always fits the window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/core/qText.h"
#include "ui/MessageBox.h"

namespace zol::ui {
namespace {

constexpr int kReturn = 13, kEscape = 27, kSpace = 32, kTab = 9, kLeft = 37, kRight = 39;
constexpr int kShift = 1, kCtrl = 2;

// Every character 6 pixels wide, lines 15 pixels apart.
int32_t Width(const std::string& t) { return static_cast<int32_t>(Utf8Length(t)) * 6; }

TEST(MessageBox, KeysClicksAndPadsGiveTheButtonsAnswers) {
    using enum MsgAnswer;
    constexpr MsgButtons YesNo = MsgButtons::YesNo, YesNoCancel = MsgButtons::YesNoCancel;
    // The first button has the focus, which wraps both ways (Shift+Tab goes back); Escape
    // gives the box's closed answer; a button's first letter presses it.
    struct Case {
        MsgButtons Buttons;
        std::vector<int> Keys;
        int Shift;
        MsgAnswer Answer;
    };
    const Case cases[] = {
        {YesNoCancel, {kReturn}, 0, Yes},       {YesNoCancel, {kRight, kSpace}, 0, No},
        {YesNoCancel, {kEscape}, 0, Cancel},    {YesNo, {kEscape}, 0, No},
        {YesNoCancel, {kLeft, kReturn}, 0, Cancel}, {YesNo, {kTab, kTab, kTab, kReturn}, 0, No},
        {YesNoCancel, {kTab, kReturn}, kShift, Cancel}, {YesNo, {'N'}, 0, No}};
    for (const Case& c : cases) {
        MessageBox box("text", "Zol", c.Buttons, MsgIcon::Question);
        for (int k : c.Keys) box.KeyDown(k, c.Shift);
        EXPECT_FALSE(box.IsOpen());
        EXPECT_EQ(box.Answer(), c.Answer) << c.Keys.front();
    }
    MessageBox ctrl("t", "Zol", YesNo, MsgIcon::Question);
    EXPECT_FALSE(ctrl.KeyDown('N', kCtrl) || ctrl.KeyDown('O', 0));  // no OK button here

    // Clicks press the button under them, elsewhere nothing.
    MessageBox click("Do you really want to RESET the game?", "Zol", MsgButtons::YesNoCancel,
                     MsgIcon::Question);
    const auto L = MessageBox::Layout(click, 580, 388, Width, 15);
    click.MouseDown(L.Box.X + 2, L.Box.Y + 2, L);
    click.MouseDown(L.Buttons[1].X - 2, L.Buttons[1].Y + 2, L);  // between two buttons
    EXPECT_TRUE(click.IsOpen());
    click.MouseDown(L.Buttons[1].X + L.Buttons[1].W - 1, L.Buttons[1].Y + L.Buttons[1].H - 1, L);
    EXPECT_EQ(click.Answer(), No);

    // On a pad the D-pad moves the focus, A presses, B closes.
    MessageBox pad("t", "Zol", MsgButtons::YesNoCancel, MsgIcon::Question);
    pad.Pad(PadKey::Down);
    pad.Pad(PadKey::Right);
    pad.Pad(PadKey::Up);
    EXPECT_EQ(pad.Focus(), 1);
    pad.Pad(PadKey::A);
    EXPECT_EQ(pad.Answer(), No);
    MessageBox closed("t", "Zol", MsgButtons::YesNoCancel, MsgIcon::Question);
    closed.Pad(PadKey::Right);
    closed.Pad(PadKey::B);
    EXPECT_EQ(closed.Answer(), Cancel);  // closed, whatever had the focus
}

// True when Inner lies within Outer.
bool Within(const Rect& inner, const Rect& outer) {
    return inner.X >= outer.X && inner.Y >= outer.Y && inner.X + inner.W <= outer.X + outer.W &&
           inner.Y + inner.H <= outer.Y + outer.H;
}

TEST(MessageBox, LayoutWrapsTheTextAndAlwaysFitsTheClientArea) {
    const Rect client{0, 0, 580, 388};
    // The report: CR LF lines, blanks kept inside a line and not counted at its end.
    const std::string report = "Code from:         Ann\r\n\r\nUser level           4\r\n\r\n"
                               "Code seems to be okay!" + std::string(20, ' ');
    MessageBox info(report, "Zol", MsgButtons::OK, MsgIcon::Information);
    auto L = MessageBox::Layout(info, 580, 388, Width, 15);
    EXPECT_EQ(L.Lines, (std::vector<std::string>{"Code from:         Ann", "",
                                                 "User level           4", "",
                                                 "Code seems to be okay!" + std::string(20, ' ')}));
    EXPECT_TRUE(Within(L.Box, client) && Within(L.Icon, L.Box) && Within(L.Text, L.Box));

    // A long line breaks at blanks; a word longer than a line breaks between characters,
    // never inside one (é is two bytes).
    std::string word;
    for (int i = 0; i < 120; ++i) word += "\xC3\xA9";
    MessageBox longText("Verify copied code? 1,520 [" + word + "]", "Zol", MsgButtons::YesNo,
                        MsgIcon::Question);
    L = MessageBox::Layout(longText, 580, 388, Width, 15);
    ASSERT_GE(L.Lines.size(), 3u);
    EXPECT_EQ(L.Lines[0], "Verify copied code? 1,520");
    std::string joined;
    for (const auto& line : L.Lines) {
        EXPECT_LE(Width(line), L.Text.W);
        EXPECT_EQ(SanitiseUtf8(line), line);
        joined += line;
    }
    EXPECT_EQ(joined, "Verify copied code? 1,520[" + word + "]");

    // Two thousand lines: as many as fit, the last ending in an ellipsis, the buttons in
    // the box and the box in the window, in a small window too.
    std::string tall = "1,520 [AB-";
    for (int i = 0; i < 2000; ++i) tall += "CDEFGH\r\n";
    tall += "]";
    MessageBox big("Verify copied code? " + tall, "Zol", MsgButtons::YesNo, MsgIcon::Question);
    for (const Rect area : {client, Rect{0, 0, 200, 120}}) {
        L = MessageBox::Layout(big, area.W, area.H, Width, 15);
        EXPECT_TRUE(L.Cut);
        EXPECT_TRUE(Within(L.Box, area) && Within(L.Buttons[1], L.Box)) << area.W;
        ASSERT_FALSE(L.Lines.empty());
        EXPECT_EQ(L.Lines.back().substr(L.Lines.back().size() - 3), kEllipsis);
        EXPECT_LE(L.Text.Y + L.Text.H, L.Buttons[0].Y);
    }
}

}  // namespace
}  // namespace zol::ui
