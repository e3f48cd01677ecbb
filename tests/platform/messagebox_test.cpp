// The message box's model: its answers to keys, clicks and pads, and a layout that
// always fits the window.
#include <gtest/gtest.h>

#include <string>

#include "framework/core/qText.h"
#include "ui/MessageBox.h"

namespace zol::ui {
namespace {

constexpr int kReturn = 13, kEscape = 27, kSpace = 32, kTab = 9, kLeft = 37, kRight = 39;
constexpr int kShift = 1, kCtrl = 2;

// Every character 6 pixels wide, lines 15 pixels apart.
int32_t Width(const std::string& t) { return static_cast<int32_t>(Utf8Length(t)) * 6; }

MsgAnswer Answered(MsgButtons buttons, const std::vector<int>& keys, int shift = 0) {
    MessageBox box("text", "Zol", buttons, MsgIcon::Question);
    for (int k : keys) box.KeyDown(k, shift);
    EXPECT_FALSE(box.IsOpen());
    return box.Answer();
}

TEST(MessageBox, KeysClicksAndPadsGiveTheButtonsAnswers) {
    using enum MsgAnswer;
    // The first button has the focus; Escape is the box's closed answer.
    EXPECT_EQ(Answered(MsgButtons::YesNoCancel, {kReturn}), Yes);
    EXPECT_EQ(Answered(MsgButtons::YesNoCancel, {kRight, kSpace}), No);
    EXPECT_EQ(Answered(MsgButtons::YesNoCancel, {kEscape}), Cancel);
    EXPECT_EQ(Answered(MsgButtons::YesNo, {kEscape}), No);
    EXPECT_EQ(Answered(MsgButtons::OK, {kEscape}), OK);
    EXPECT_EQ(Answered(MsgButtons::OK, {kRight, kReturn}), OK);
    // The focus wraps around both ways; Shift+Tab goes back.
    EXPECT_EQ(Answered(MsgButtons::YesNoCancel, {kLeft, kReturn}), Cancel);
    EXPECT_EQ(Answered(MsgButtons::YesNo, {kTab, kTab, kTab, kReturn}), No);
    EXPECT_EQ(Answered(MsgButtons::YesNoCancel, {kTab, kReturn}, kShift), Cancel);
    // A button's first letter presses it; with Ctrl it does not.
    EXPECT_EQ(Answered(MsgButtons::YesNo, {'N'}), No);
    EXPECT_EQ(Answered(MsgButtons::YesNoCancel, {'C'}), Cancel);
    MessageBox ctrl("t", "Zol", MsgButtons::YesNo, MsgIcon::Question);
    EXPECT_FALSE(ctrl.KeyDown('N', kCtrl));
    EXPECT_FALSE(ctrl.KeyDown('O', 0));  // no OK button here
    EXPECT_TRUE(ctrl.IsOpen());

    // Clicks press the button under them, elsewhere nothing.
    MessageBox click("Do you really want to RESET the game?", "Zol", MsgButtons::YesNoCancel,
                     MsgIcon::Question);
    const auto L = MessageBox::Layout(click, 580, 388, Width, 15);
    click.MouseDown(L.Box.X + 2, L.Box.Y + 2, L);
    click.MouseDown(L.Buttons[1].X - 2, L.Buttons[1].Y + 2, L);  // between two buttons
    EXPECT_TRUE(click.IsOpen());
    click.MouseDown(L.Buttons[1].X + L.Buttons[1].W - 1, L.Buttons[1].Y + L.Buttons[1].H - 1, L);
    EXPECT_EQ(click.Answer(), No);
    click.KeyDown(kReturn, 0);  // a finished box takes nothing more
    EXPECT_EQ(click.Answer(), No);

    // On a pad the D-pad moves the focus, A presses, B closes.
    MessageBox pad("t", "Zol", MsgButtons::YesNoCancel, MsgIcon::Question);
    pad.Pad(PadKey::Down);
    pad.Pad(PadKey::Right);
    pad.Pad(PadKey::Up);
    EXPECT_EQ(pad.Focus(), 1);
    pad.Pad(PadKey::A);
    EXPECT_EQ(pad.Answer(), No);
    MessageBox back("t", "Zol", MsgButtons::YesNo, MsgIcon::Question);
    back.Pad(PadKey::B);
    EXPECT_EQ(back.Answer(), No);
    MessageBox closed("t", "Zol", MsgButtons::YesNoCancel, MsgIcon::Question);
    closed.Pad(PadKey::Right);
    closed.Close();
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
    ASSERT_EQ(L.Lines.size(), 5u);
    EXPECT_EQ(L.Lines[0], "Code from:         Ann");
    EXPECT_EQ(L.Lines[1], "");
    EXPECT_EQ(L.Lines[4], "Code seems to be okay!" + std::string(20, ' '));
    EXPECT_FALSE(L.Cut);
    EXPECT_TRUE(Within(L.Box, client));
    EXPECT_TRUE(Within(L.Icon, L.Box));
    EXPECT_TRUE(Within(L.Text, L.Box));
    EXPECT_TRUE(Within(L.Buttons[0], L.Box));
    EXPECT_GE(L.Text.W, 22 * 6);

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
    EXPECT_TRUE(Within(L.Box, client));

    // Two thousand lines: as many as fit, the last ending in an ellipsis, the buttons in
    // the box and the box in the window, in a small window too.
    std::string tall = "1,520 [AB-";
    for (int i = 0; i < 2000; ++i) tall += "CDEFGH\r\n";
    tall += "]";
    MessageBox big("Verify copied code? " + tall, "Zol", MsgButtons::YesNo, MsgIcon::Question);
    for (const Rect area : {client, Rect{0, 0, 200, 120}}) {
        L = MessageBox::Layout(big, area.W, area.H, Width, 15);
        EXPECT_TRUE(L.Cut);
        EXPECT_TRUE(Within(L.Box, area)) << area.W;
        EXPECT_TRUE(Within(L.Buttons[1], L.Box)) << area.W;
        ASSERT_FALSE(L.Lines.empty());
        EXPECT_EQ(L.Lines.back().substr(L.Lines.back().size() - 3), kEllipsis);
        EXPECT_LE(L.Text.Y + L.Text.H, L.Buttons[0].Y);
    }
    EXPECT_LE(MessageBox::Layout(big, 580, 388, Width, 15).Lines.size(), 22u);
}

}  // namespace
}  // namespace zol::ui
