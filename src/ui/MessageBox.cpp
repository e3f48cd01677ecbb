#include "ui/MessageBox.h"

#include <algorithm>
#include <utility>

#include "framework/core/qKeys.h"

namespace zol::ui {

namespace {
// Client pixels at scale 1.
constexpr int32_t kMargin = 6;      // kept free between the box and the client area's edge
constexpr int32_t kTitleH = 22, kPad = 12, kIconSize = 32, kIconGap = 12;
constexpr int32_t kButtonW = 76, kButtonH = 24, kButtonGap = 10;
constexpr int32_t kMinW = 220, kMaxW = 460;
}  // namespace

MessageBox::MessageBox(std::string Text, std::string Title, MsgButtons Buttons, MsgIcon Icon)
    : text_(std::move(Text)),
      title_(std::move(Title)),
      buttons_(Buttons),
      icon_(Icon),
      answer_(ClosedAnswer(Buttons)) {}

int MessageBox::ButtonCount() const {
    switch (buttons_) {
        case MsgButtons::YesNo: return 2;
        case MsgButtons::YesNoCancel: return 3;
        default: return 1;
    }
}

MsgAnswer MessageBox::ButtonAnswer(int Index) const {
    static constexpr MsgAnswer kOrder[] = {MsgAnswer::Yes, MsgAnswer::No, MsgAnswer::Cancel};
    if (buttons_ == MsgButtons::OK) return MsgAnswer::OK;
    return kOrder[std::clamp(Index, 0, ButtonCount() - 1)];
}

const char* MessageBox::Label(MsgAnswer Answer) {
    switch (Answer) {
        case MsgAnswer::Yes: return "Yes";
        case MsgAnswer::No: return "No";
        case MsgAnswer::Cancel: return "Cancel";
        default: return "OK";
    }
}

MsgAnswer MessageBox::ClosedAnswer(MsgButtons Buttons) {
    switch (Buttons) {
        case MsgButtons::YesNo: return MsgAnswer::No;
        case MsgButtons::YesNoCancel: return MsgAnswer::Cancel;
        default: return MsgAnswer::OK;
    }
}

void MessageBox::Press(int Index) {
    if (!open_) return;
    answer_ = ButtonAnswer(Index);
    open_ = false;
}

void MessageBox::Close() {
    if (!open_) return;
    answer_ = ClosedAnswer(buttons_);
    open_ = false;
}

void MessageBox::MoveFocus(int By) {
    const int n = ButtonCount();
    focus_ = ((focus_ + By) % n + n) % n;
}

bool MessageBox::KeyDown(int KeyCode, int Shift) {
    if (!open_) return false;
    switch (KeyCode) {
        case vk::Return:
        case vk::Space: Press(focus_); return true;
        case vk::Escape: Close(); return true;
        case vk::Left:
        case vk::Up: MoveFocus(-1); return true;
        case vk::Right:
        case vk::Down: MoveFocus(1); return true;
        case vk::Tab: MoveFocus((Shift & vk::ShiftMask) ? -1 : 1); return true;
        default: break;
    }
    if ((Shift & (vk::CtrlMask | vk::AltMask)) != 0) return false;
    for (int i = 0; i < ButtonCount(); ++i)
        if (KeyCode == Label(ButtonAnswer(i))[0]) {
            Press(i);
            return true;
        }
    return false;
}

void MessageBox::MouseDown(int32_t X, int32_t Y, const MessageBoxLayout& L) {
    for (int i = 0; i < ButtonCount(); ++i)
        if (L.Buttons[static_cast<size_t>(i)].Contains(X, Y)) Press(i);
}

void MessageBox::Pad(PadKey Key) {
    switch (Key) {
        case PadKey::Left:
        case PadKey::Up: MoveFocus(-1); break;
        case PadKey::Right:
        case PadKey::Down: MoveFocus(1); break;
        case PadKey::A:
        case PadKey::Start: Press(focus_); break;
        case PadKey::B: Close(); break;
        default: break;
    }
}

MessageBoxLayout MessageBox::Layout(const MessageBox& Box, int32_t ClientW, int32_t ClientH,
                                    const TextWidthFn& WidthOf, int32_t LineHeight) {
    MessageBoxLayout L;
    L.LineHeight = std::max<int32_t>(LineHeight, 1);
    const int32_t iconW = Box.icon_ == MsgIcon::None ? 0 : kIconSize + kIconGap;
    const int32_t maxW = std::max<int32_t>(std::min(kMaxW, ClientW - 2 * kMargin), 0);
    const int32_t maxH = std::max<int32_t>(ClientH - 2 * kMargin, 0);
    const int32_t maxTextW = std::max<int32_t>(maxW - 2 * kPad - iconW, 1);
    // Whatever the text, the title bar and the buttons keep their room.
    const int32_t chrome = kTitleH + kPad + kPad + kButtonH + kPad;
    const auto maxLines = static_cast<size_t>(std::max<int32_t>((maxH - chrome) / L.LineHeight, 1));
    L.Lines = WrapText(Box.text_, maxTextW, WidthOf, maxLines, &L.Cut);
    if (L.Cut && !L.Lines.empty()) {
        // The last line shown ends in an ellipsis, shortened until both fit.
        std::string& last = L.Lines.back();
        while (!last.empty() && WidthOf(last + kEllipsis) > maxTextW) {
            size_t at = last.size() - 1;
            while (at > 0 && (static_cast<unsigned char>(last[at]) & 0xC0) == 0x80) --at;
            last.erase(at);
        }
        last += kEllipsis;
    }
    int32_t textW = 0;
    for (const std::string& line : L.Lines) textW = std::max(textW, WidthOf(line));
    textW = std::min(textW, maxTextW);
    const int32_t textH = static_cast<int32_t>(L.Lines.size()) * L.LineHeight;
    const int n = Box.ButtonCount();
    const int32_t buttonsW = n * kButtonW + (n - 1) * kButtonGap;
    const int32_t titleW = WidthOf(Box.title_) + 2 * 8;
    const int32_t w = std::min(
        std::max({2 * kPad + iconW + textW, 2 * kPad + buttonsW, titleW, kMinW}), maxW);
    const int32_t contentH = std::max(textH, iconW > 0 ? kIconSize : 0);
    const int32_t h = std::min(chrome + contentH, std::max<int32_t>(ClientH, 0));
    const int32_t x = (ClientW - w) / 2, y = (ClientH - h) / 2;
    L.Box = {x, y, w, h};
    L.TitleBar = {x, y, w, kTitleH};
    const int32_t contentY = y + kTitleH + kPad;
    if (iconW > 0) L.Icon = {x + kPad, contentY + (contentH - kIconSize) / 2, kIconSize, kIconSize};
    L.Text = {x + kPad + iconW, contentY + (contentH - textH) / 2, w - 2 * kPad - iconW, textH};
    const int32_t by = y + h - kPad - kButtonH;
    int32_t bx = x + (w - buttonsW) / 2;
    for (int i = 0; i < n; ++i, bx += kButtonW + kButtonGap)
        L.Buttons[static_cast<size_t>(i)] = {bx, by, kButtonW, kButtonH};
    return L;
}

}  // namespace zol::ui
