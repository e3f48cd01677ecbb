// InputBox: the modal input box drawn inside the game window.
//
// What it does: holds a prompt, a title, one line of editable UTF-8 text with a caret,
// and the OK and Cancel buttons. Keys arrive as virtual-key codes (the window's own key
// codes), typed text as UTF-8, clicks as client pixels; Enter or OK accepts, Escape,
// Cancel or closing the box cancels. Layout() places the box and its parts as plain
// rectangles for whoever paints it.
// Who owns what: plain value; the window host creates one per dialog and paints it.
// Failure: invalid UTF-8 typed or pasted becomes U+FFFD; text beyond kMaxChars is
// dropped; line breaks and other control characters become blanks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "ui/WindowContent.h"

namespace zol::ui {

// Where the parts of an input box go in the window's client area.
struct InputBoxLayout {
    Rect Box, TitleBar, Prompt, Field, Ok, Cancel;
};

class InputBox {
public:
    enum class State { Open, Accepted, Cancelled };
    // The most characters the field holds.
    static constexpr size_t kMaxChars = 1000;

    InputBox(std::string Prompt, std::string Title, const std::string& Default);

    const std::string& Prompt() const { return prompt_; }
    const std::string& Title() const { return title_; }
    const std::string& Text() const { return text_; }
    // The caret as a byte offset into Text(), always on a character boundary.
    size_t Caret() const { return caret_; }
    State GetState() const { return state_; }
    bool IsOpen() const { return state_ == State::Open; }
    // The text when accepted; nothing while open or after a cancel.
    std::optional<std::string> Result() const;

    // A key pressed (virtual-key code, shift mask 1 Shift 2 Ctrl 4 Alt); Clipboard is asked
    // only for a paste (Ctrl+V, Shift+Insert). True when the key was used.
    template <class ClipboardFn>
    bool KeyDown(int KeyCode, int Shift, ClipboardFn&& Clipboard) {
        if (IsPasteKey(KeyCode, Shift)) {
            if (auto text = Clipboard()) Paste(*text);
            return true;
        }
        return EditKey(KeyCode, Shift);
    }
    // Typed text (UTF-8) inserted at the caret.
    void TextInput(const std::string& Utf8);
    // Pasted text inserted at the caret (control characters become blanks).
    void Paste(const std::string& Utf8);
    // A mouse button pressed at client pixel (X, Y): OK accepts, Cancel cancels.
    void MouseDown(int32_t X, int32_t Y, const InputBoxLayout& Layout);
    // The box was closed without a button: cancel.
    void Close() { if (IsOpen()) state_ = State::Cancelled; }

    // The box centred in a client area of ClientW x ClientH pixels.
    static InputBoxLayout Layout(int32_t ClientW, int32_t ClientH);

private:
    static bool IsPasteKey(int KeyCode, int Shift);
    bool EditKey(int KeyCode, int Shift);
    void Insert(const std::string& Utf8);

    std::string prompt_, title_, text_;
    size_t caret_ = 0;
    size_t chars_ = 0;  // characters in text_
    State state_ = State::Open;
};


}  // namespace zol::ui
