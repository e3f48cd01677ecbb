#include "ui/InputBox.h"

#include <utility>

#include "framework/core/qKeys.h"
#include "framework/core/qText.h"

namespace zol::ui {

namespace {
bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

size_t PrevBoundary(const std::string& s, size_t i) {
    if (i == 0) return 0;
    --i;
    while (i > 0 && IsContinuation(static_cast<unsigned char>(s[i]))) --i;
    return i;
}

size_t NextBoundary(const std::string& s, size_t i) {
    if (i >= s.size()) return s.size();
    ++i;
    while (i < s.size() && IsContinuation(static_cast<unsigned char>(s[i]))) ++i;
    return i;
}
}  // namespace

InputBox::InputBox(std::string Prompt, std::string Title, const std::string& Default)
    : prompt_(std::move(Prompt)), title_(std::move(Title)) {
    Insert(Default);
}

std::optional<std::string> InputBox::Result() const {
    if (state_ == State::Accepted) return text_;
    return std::nullopt;
}

bool InputBox::IsPasteKey(int KeyCode, int Shift) {
    const int mods = Shift & (vk::ShiftMask | vk::CtrlMask | vk::AltMask);
    return (KeyCode == vk::V && mods == vk::CtrlMask) ||
           (KeyCode == vk::Insert && mods == vk::ShiftMask);
}

bool InputBox::EditKey(int KeyCode, int) {
    if (!IsOpen()) return false;
    switch (KeyCode) {
        case vk::Return: state_ = State::Accepted; return true;
        case vk::Escape: state_ = State::Cancelled; return true;
        case vk::Home: caret_ = 0; return true;
        case vk::End: caret_ = text_.size(); return true;
        case vk::Left: caret_ = PrevBoundary(text_, caret_); return true;
        case vk::Right: caret_ = NextBoundary(text_, caret_); return true;
        case vk::Back:
            if (caret_ > 0) {
                const size_t from = PrevBoundary(text_, caret_);
                text_.erase(from, caret_ - from);
                caret_ = from;
                --chars_;
            }
            return true;
        case vk::Delete:
            if (caret_ < text_.size()) {
                text_.erase(caret_, NextBoundary(text_, caret_) - caret_);
                --chars_;
            }
            return true;
        default: return false;
    }
}

void InputBox::TextInput(const std::string& Utf8) { Insert(Utf8); }

void InputBox::Paste(const std::string& Utf8) { Insert(Utf8); }

void InputBox::Insert(const std::string& Utf8) {
    if (!IsOpen()) return;
    const std::string clean = SanitiseUtf8(Utf8);
    std::string add;
    add.reserve(clean.size());
    size_t added = 0;
    for (size_t i = 0; i < clean.size() && chars_ + added < kMaxChars;) {
        const size_t at = i;
        char32_t cp = 0;
        NextUtf8(clean, i, cp);  // clean holds valid sequences only
        const size_t n = i - at;
        i = at;
        const auto b = static_cast<unsigned char>(clean[i]);
        if (n == 1 && (b < 0x20 || b == 0x7F)) {
            // A line break pasted as CR LF is one blank, not two.
            if (b == '\n' && i > 0 && clean[i - 1] == '\r') {
                ++i;
                continue;
            }
            add += ' ';
        } else {
            add.append(clean, i, n);
        }
        ++added;
        i += n;
    }
    text_.insert(caret_, add);
    caret_ += add.size();
    chars_ += added;
}

void InputBox::MouseDown(int32_t X, int32_t Y, const InputBoxLayout& L) {
    if (!IsOpen()) return;
    if (L.Ok.Contains(X, Y)) {
        state_ = State::Accepted;
    } else if (L.Cancel.Contains(X, Y)) {
        state_ = State::Cancelled;
    } else if (L.Field.Contains(X, Y)) {
        caret_ = text_.size();
    } else if (grid_ && L.Grid.Contains(X, Y)) {
        for (int i = 0; i < kGridCells; ++i)
            if (L.Cell(i).Contains(X, Y)) {
                cursor_ = i;
                PressCell(i);
            }
    }
}

std::string InputBox::CellLabel(int Index) {
    if (Index >= 0 && Index < 26) return std::string(1, static_cast<char>('A' + Index));
    if (Index >= 26 && Index < 36) return std::string(1, static_cast<char>('0' + Index - 26));
    switch (Index) {
        case kSpaceCell: return "Spc";
        case kDeleteCell: return "Del";
        case kOkCell: return "OK";
        default: return "";
    }
}

void InputBox::PressCell(int Index) {
    if (Index == kOkCell)
        state_ = State::Accepted;
    else if (Index == kDeleteCell)
        EditKey(vk::Back, 0);
    else if (Index == kSpaceCell)
        Insert(" ");
    else if (Index >= 0 && Index < kSpaceCell)
        Insert(CellLabel(Index));
}

void InputBox::Pad(PadKey Key) {
    if (!IsOpen()) return;
    grid_ = true;
    const int column = cursor_ % kGridColumns, row = cursor_ / kGridColumns;
    switch (Key) {
        case PadKey::Left: cursor_ = row * kGridColumns + (column + kGridColumns - 1) % kGridColumns; break;
        case PadKey::Right: cursor_ = row * kGridColumns + (column + 1) % kGridColumns; break;
        case PadKey::Up: cursor_ = (row + kGridRows - 1) % kGridRows * kGridColumns + column; break;
        case PadKey::Down: cursor_ = (row + 1) % kGridRows * kGridColumns + column; break;
        case PadKey::A: PressCell(cursor_); break;
        case PadKey::B: state_ = State::Cancelled; break;
        case PadKey::X: EditKey(vk::Back, 0); break;
        case PadKey::Y: Insert(" "); break;
        case PadKey::Start: state_ = State::Accepted; break;
    }
}

Rect InputBoxLayout::Cell(int Index) const {
    const int32_t w = Grid.W / InputBox::kGridColumns, h = Grid.H / InputBox::kGridRows;
    const int32_t left = Grid.X + (Grid.W - w * InputBox::kGridColumns) / 2;
    return {left + Index % InputBox::kGridColumns * w, Grid.Y + Index / InputBox::kGridColumns * h,
            w, h};
}

InputBoxLayout InputBox::Layout(int32_t ClientW, int32_t ClientH, bool WithGrid) {
    constexpr int32_t kW = 400, kH = 150, kTitle = 22, kPad = 12, kButtonW = 80, kButtonH = 24;
    constexpr int32_t kGridGap = 10, kRowH = 22;
    const int32_t gridH = WithGrid ? kGridGap + kGridRows * kRowH : 0;
    InputBoxLayout L;
    const int32_t w = ClientW < kW ? ClientW : kW;
    const int32_t h = ClientH < kH + gridH ? ClientH : kH + gridH;
    L.Box = {(ClientW - w) / 2, (ClientH - h) / 2, w, h};
    const int32_t x = L.Box.X, y = L.Box.Y;
    L.TitleBar = {x, y, w, kTitle};
    L.Ok = {x + w - kPad - kButtonW, y + kTitle + kPad, kButtonW, kButtonH};
    L.Cancel = {L.Ok.X, L.Ok.Y + kButtonH + 8, kButtonW, kButtonH};
    L.Prompt = {x + kPad, y + kTitle + kPad, L.Ok.X - kPad - (x + kPad), 60};
    L.Field = {x + kPad, y + h - gridH - kPad - kButtonH, w - 2 * kPad, kButtonH};
    if (WithGrid) L.Grid = {x + kPad, L.Field.Y + kButtonH + kGridGap, w - 2 * kPad, kGridRows * kRowH};
    return L;
}

}  // namespace zol::ui
