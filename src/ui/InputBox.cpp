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
    if (L.Ok.Contains(X, Y))
        state_ = State::Accepted;
    else if (L.Cancel.Contains(X, Y))
        state_ = State::Cancelled;
    else if (L.Field.Contains(X, Y))
        caret_ = text_.size();
}

InputBoxLayout InputBox::Layout(int32_t ClientW, int32_t ClientH) {
    constexpr int32_t kW = 400, kH = 150, kTitle = 22, kPad = 12, kButtonW = 80, kButtonH = 24;
    InputBoxLayout L;
    const int32_t w = ClientW < kW ? ClientW : kW;
    const int32_t h = ClientH < kH ? ClientH : kH;
    L.Box = {(ClientW - w) / 2, (ClientH - h) / 2, w, h};
    const int32_t x = L.Box.X, y = L.Box.Y;
    L.TitleBar = {x, y, w, kTitle};
    L.Ok = {x + w - kPad - kButtonW, y + kTitle + kPad, kButtonW, kButtonH};
    L.Cancel = {L.Ok.X, L.Ok.Y + kButtonH + 8, kButtonW, kButtonH};
    L.Prompt = {x + kPad, y + kTitle + kPad, L.Ok.X - kPad - (x + kPad), 60};
    L.Field = {x + kPad, y + h - kPad - kButtonH, w - 2 * kPad, kButtonH};
    return L;
}

}  // namespace zol::ui
