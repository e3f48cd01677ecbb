// The modal input box's model: editing, caret, paste, keys and buttons.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "framework/core/qText.h"
#include "ui/InputBox.h"

namespace zol::ui {
namespace {

constexpr int kBack = 8, kReturn = 13, kEscape = 27, kEnd = 35, kHome = 36, kLeft = 37, kRight = 39,
              kInsert = 45, kDelete = 46, kV = 86, kCtrl = 2, kShift = 1;

auto NoClipboard() {
    return [] { return std::optional<std::string>(); };
}

TEST(InputBox, EditsAtTheCaretByCharacterNotByByte) {
    InputBox box("Prompt", "Title", "Ann");
    EXPECT_EQ(box.Text(), "Ann");
    EXPECT_EQ(box.Caret(), 3u);  // the default is preset with the caret at its end
    box.TextInput("\xC3\xA9");   // é, two bytes
    EXPECT_EQ(box.Text(), "Ann\xC3\xA9");
    box.KeyDown(kLeft, 0, NoClipboard());
    EXPECT_EQ(box.Caret(), 3u);  // one character back, not one byte
    box.TextInput("a");
    EXPECT_EQ(box.Text(), "Anna\xC3\xA9");
    box.KeyDown(kDelete, 0, NoClipboard());  // removes the whole é
    EXPECT_EQ(box.Text(), "Anna");
    box.KeyDown(kHome, 0, NoClipboard());
    box.KeyDown(kBack, 0, NoClipboard());  // nothing before the caret
    box.KeyDown(kDelete, 0, NoClipboard());
    EXPECT_EQ(box.Text(), "nna");
    box.KeyDown(kLeft, 0, NoClipboard());  // stays at the start
    EXPECT_EQ(box.Caret(), 0u);
    box.KeyDown(kEnd, 0, NoClipboard());
    box.KeyDown(kRight, 0, NoClipboard());  // stays at the end
    EXPECT_EQ(box.Caret(), 3u);
    box.KeyDown(kBack, 0, NoClipboard());
    EXPECT_EQ(box.Text(), "nn");
    EXPECT_TRUE(box.IsOpen());
    EXPECT_FALSE(box.Result().has_value());
}

TEST(InputBox, PasteFlattensLineBreaksCleansBadBytesAndStopsAtTheLimit) {
    InputBox box("p", "t", "");
    int asked = 0;
    const auto clip = [&] {
        ++asked;
        return std::optional<std::string>("1,520 [AB-\r\ncd]\tx");
    };
    EXPECT_TRUE(box.KeyDown(kV, kCtrl, clip));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(box.Text(), "1,520 [AB- cd] x");
    box.KeyDown(kInsert, kShift, [] {
        return std::optional<std::string>(
            "\xFF"
            "z");
    });
    EXPECT_EQ(box.Text(), "1,520 [AB- cd] x\xEF\xBF\xBDz");
    // V without Ctrl is an ordinary key (its text arrives as text input); an empty
    // clipboard pastes nothing.
    EXPECT_FALSE(box.KeyDown(kV, 0, clip));
    EXPECT_EQ(asked, 1);
    box.KeyDown(kV, kCtrl, NoClipboard());
    EXPECT_EQ(box.Text(), "1,520 [AB- cd] x\xEF\xBF\xBDz");

    InputBox big("p", "t", std::string(InputBox::kMaxChars + 50, 'a'));
    EXPECT_EQ(big.Text().size(), InputBox::kMaxChars);
    big.TextInput("b");
    EXPECT_EQ(big.Text().size(), InputBox::kMaxChars);
    big.KeyDown(kBack, 0, NoClipboard());
    big.TextInput("\xE2\x82\xAC");  // one character of three bytes fits again
    EXPECT_EQ(big.Text().size(), InputBox::kMaxChars + 2);
    EXPECT_EQ(big.Caret(), big.Text().size());
}

TEST(InputBox, EnterAndOkAcceptEscapeCancelAndCloseCancel) {
    InputBox a("p", "t", "code");
    a.KeyDown(kReturn, 0, NoClipboard());
    ASSERT_TRUE(a.Result().has_value());
    EXPECT_EQ(*a.Result(), "code");
    a.TextInput("x");  // a finished box takes no more input
    EXPECT_EQ(*a.Result(), "code");

    InputBox e("p", "t", "code");
    e.KeyDown(kEscape, 0, NoClipboard());
    EXPECT_EQ(e.GetState(), InputBox::State::Cancelled);
    EXPECT_FALSE(e.Result().has_value());

    InputBox empty("p", "t", "");
    empty.KeyDown(kReturn, 0, NoClipboard());
    ASSERT_TRUE(
        empty.Result().has_value());  // OK with nothing typed is an empty text, not a cancel
    EXPECT_EQ(*empty.Result(), "");

    const InputBoxLayout L = InputBox::Layout(580, 388);
    InputBox ok("p", "t", "x");
    ok.MouseDown(L.Field.X + 2, L.Field.Y + 2, L);  // a click in the field keeps it open
    EXPECT_TRUE(ok.IsOpen());
    ok.MouseDown(L.Box.X - 5, L.Box.Y - 5, L);  // outside the box: nothing
    EXPECT_TRUE(ok.IsOpen());
    ok.MouseDown(L.Ok.X + 1, L.Ok.Y + 1, L);
    EXPECT_EQ(ok.GetState(), InputBox::State::Accepted);

    InputBox cancel("p", "t", "x");
    cancel.MouseDown(L.Cancel.X + L.Cancel.W - 1, L.Cancel.Y + L.Cancel.H - 1, L);
    EXPECT_EQ(cancel.GetState(), InputBox::State::Cancelled);

    InputBox closed("p", "t", "x");
    closed.Close();
    EXPECT_FALSE(closed.Result().has_value());
}

TEST(InputBox, APadTypesOnTheLetterGrid) {
    // The cursor starts on OK: A alone accepts the preset name.
    InputBox keep("p", "Game Over", "Ann");
    keep.Pad(PadKey::A);
    EXPECT_TRUE(keep.GridShown());
    ASSERT_TRUE(keep.Result().has_value());
    EXPECT_EQ(*keep.Result(), "Ann");

    InputBox box("p", "Game Over", "Ann");
    EXPECT_FALSE(box.GridShown());
    using enum PadKey;
    // Del; Y above it; down twice wraps to the top row's L; M; right wraps to the row's
    // start, A; Y types a blank; back to L, and X deletes it again.
    for (const PadKey k : {Left, A, Up, A, Down, Down, A, Right, A, Right, A, Y, Left, Left, A, X})
        box.Pad(k);
    EXPECT_EQ(box.Text(), "AnYLMA ");
    EXPECT_EQ(InputBox::CellLabel(box.GridCursor()), "L");
    // A click on a cell presses it too, and Start accepts.
    const InputBoxLayout L = InputBox::Layout(580, 388, true);
    const Rect seven = L.Cell(26 + 7);
    box.MouseDown(seven.X + seven.W / 2, seven.Y + seven.H / 2, L);
    box.Pad(PadKey::Start);
    ASSERT_TRUE(box.Result().has_value());
    EXPECT_EQ(*box.Result(), "AnYLMA 7");

    InputBox cancel("p", "t", "x");
    cancel.Pad(PadKey::B);
    EXPECT_EQ(cancel.GetState(), InputBox::State::Cancelled);

    // The grid lies under the field, inside a box that fits the window.
    EXPECT_GE(L.Grid.Y, L.Field.Y + L.Field.H);
    EXPECT_LE(L.Cell(InputBox::kGridCells - 1).Y + L.Grid.H / InputBox::kGridRows,
              L.Box.Y + L.Box.H);
    EXPECT_TRUE(L.Box.Y >= 0 && L.Box.Y + L.Box.H <= 388);
}

TEST(InputBox, AnyBytesAndKeysLeaveValidTextAndACaretOnABoundary) {
    uint64_t seed = 12345;
    const auto next = [&] {
        seed = seed * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<uint32_t>(seed >> 33);
    };
    const int keys[] = {kBack, kDelete, kHome, kEnd, kLeft, kRight};
    for (int round = 0; round < 200; ++round) {
        InputBox box("p", "t", "");
        for (int step = 0; step < 60; ++step) {
            std::string bytes(next() % 12, '\0');
            for (char& c : bytes) c = static_cast<char>(next() & 0xFF);
            if (next() % 2)
                box.TextInput(bytes);
            else
                box.KeyDown(keys[next() % 6], 0, NoClipboard());
            const std::string& t = box.Text();
            ASSERT_EQ(SanitiseUtf8(t), t);
            ASSERT_LE(box.Caret(), t.size());
            if (box.Caret() < t.size()) {
                ASSERT_NE(static_cast<unsigned char>(t[box.Caret()]) & 0xC0, 0x80);
            }
            for (unsigned char c : t) ASSERT_FALSE(c < 0x20 || c == 0x7F);
        }
    }
}

}  // namespace
}  // namespace zol::ui
