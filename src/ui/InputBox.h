// InputBox: the modal input box drawn inside the game window.
//
// What it does: holds a prompt, a title, one line of editable UTF-8 text with a caret,
// and the OK and Cancel buttons. Keys arrive as virtual-key codes (the window's own key
// codes), typed text as UTF-8, clicks as client pixels; Enter or OK accepts, Escape,
// Cancel or closing the box cancels. For a pad, which cannot type, a letter grid (A-Z,
// 0-9, space, delete, OK) opens under the field: the D-pad moves over it, A presses the
// cell (the cursor starts on OK, so A alone accepts the preset text), X deletes, Start
// accepts and B cancels. Layout() places the box and its parts as plain rectangles for
// whoever paints it.
// Who owns what: plain value; the window host creates one per dialog and paints it.
// Failure: invalid UTF-8 typed or pasted becomes U+FFFD; text beyond kMaxChars is
// dropped; line breaks and other control characters become blanks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "ui/Dialog.h"
#include "ui/WindowContent.h"

namespace zol::ui {

// Where the parts of an input box go in the window's client area.
struct InputBoxLayout {
    Rect Box, TitleBar, Prompt, Field, Ok, Cancel;
    Rect Grid;  // the letter grid; empty while it is not shown
    // Cell Index of the grid (see InputBox::kGridCells).
    Rect Cell(int Index) const;
};

class InputBox {
public:
    enum class State { Open, Accepted, Cancelled };
    // The most characters the field holds.
    static constexpr size_t kMaxChars = 1000;
    // The letter grid: A-Z, 0-9, then space, delete and OK, kGridColumns to a row.
    static constexpr int kGridColumns = 13, kGridRows = 3;
    static constexpr int kGridCells = kGridColumns * kGridRows;
    static constexpr int kSpaceCell = 36, kDeleteCell = 37, kOkCell = 38;

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
    // A pad button pressed: the letter grid opens (if it was not open) and acts.
    void Pad(PadKey Key);
    void ShowGrid() { grid_ = true; }
    bool GridShown() const { return grid_; }
    // The grid cell under the pad's cursor.
    int GridCursor() const { return cursor_; }
    // What a grid cell shows ("A", "7", "Spc", "Del", "OK").
    static std::string CellLabel(int Index);

    // The box centred in a client area of ClientW x ClientH pixels, with room for the
    // letter grid when WithGrid.
    static InputBoxLayout Layout(int32_t ClientW, int32_t ClientH, bool WithGrid = false);

private:
    static bool IsPasteKey(int KeyCode, int Shift);
    bool EditKey(int KeyCode, int Shift);
    void Insert(const std::string& Utf8);
    void PressCell(int Index);

    std::string prompt_, title_, text_;
    size_t caret_ = 0;
    size_t chars_ = 0;  // characters in text_
    State state_ = State::Open;
    bool grid_ = false;
    int cursor_ = kOkCell;
};


}  // namespace zol::ui
