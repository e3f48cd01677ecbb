// MessageBox: the modal message box drawn inside the game window.
//
// What it does: holds a title, a text (lines broken by CR LF), an icon and one of the
// button sets OK, Yes/No or Yes/No/Cancel with one button focused (the first at first).
// Keys arrive as virtual-key codes: Enter or Space press the focused button, Escape gives
// the box's "closed" answer (OK, No or Cancel: the last button), Left/Right, Up/Down and
// Tab (Shift+Tab back) move the focus, and the first letter of a button's label presses
// it. A click presses the button under it; on a pad the D-pad moves the focus, A or
// Start press the focused button and B closes. Layout() places the box and wraps its
// text so that it always fits the client area, buttons included.
// Who owns what: plain value; the window host creates one per box and paints it.
// Failure: a text taller than the client area shows as many lines as fit, the last one
// ending in an ellipsis; the buttons stay visible.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/qCore.h"
#include "ui/Dialog.h"
#include "ui/WindowContent.h"

namespace zol::ui {

// Where the parts of a message box go in the window's client area.
struct MessageBoxLayout {
    Rect Box, TitleBar, Icon, Text;  // Icon is empty without an icon
    int32_t LineHeight = 0;
    std::vector<std::string> Lines;  // the text as shown, one entry per line, from Text's top
    bool Cut = false;                // the text did not fit; its last line ends in an ellipsis
    std::array<Rect, 3> Buttons{};   // the first ButtonCount() are used, left to right
};

class MessageBox {
public:
    MessageBox(std::string Text, std::string Title, MsgButtons Buttons, MsgIcon Icon);

    const std::string& Text() const { return text_; }
    const std::string& Title() const { return title_; }
    MsgIcon Icon() const { return icon_; }
    int ButtonCount() const;
    // The answer of button Index (0 .. ButtonCount() - 1), and its label.
    MsgAnswer ButtonAnswer(int Index) const;
    static const char* Label(MsgAnswer Answer);
    int Focus() const { return focus_; }
    bool IsOpen() const { return open_; }
    // The button pressed; while open, and after Close, the closed answer.
    MsgAnswer Answer() const { return answer_; }
    // What a box with these buttons answers when it is closed without a button.
    static MsgAnswer ClosedAnswer(MsgButtons Buttons);

    // A key pressed (virtual-key code, shift mask 1 Shift 2 Ctrl 4 Alt); true when used.
    bool KeyDown(int KeyCode, int Shift);
    // A mouse button pressed at client pixel (X, Y).
    void MouseDown(int32_t X, int32_t Y, const MessageBoxLayout& Layout);
    // A pad button pressed.
    void Pad(PadKey Key);
    // The box was closed without a button.
    void Close();

    // The box centred in a client area of ClientW x ClientH pixels, its text wrapped with
    // WidthOf, LineHeight pixels per line.
    static MessageBoxLayout Layout(const MessageBox& Box, int32_t ClientW, int32_t ClientH,
                                   const TextWidthFn& WidthOf, int32_t LineHeight);

private:
    void Press(int Index);
    void MoveFocus(int By);

    std::string text_, title_;
    MsgButtons buttons_;
    MsgIcon icon_;
    int focus_ = 0;
    bool open_ = true;
    MsgAnswer answer_;
};

}  // namespace zol::ui
