#include "platform/GamepadKeys.h"

namespace zol::platform {

namespace {
// Bit i of a key mask stands for kKeyCodes[i]; releases and presses go out in this order.
constexpr std::array<int, 6> kKeyCodes = {GamepadKeys::kUp,    GamepadKeys::kDown,
                                          GamepadKeys::kLeft,  GamepadKeys::kSpace,
                                          GamepadKeys::kEnter, GamepadKeys::kPause};
constexpr uint32_t kUpBit = 1u << 0, kDownBit = 1u << 1, kLeftBit = 1u << 2,
                   kSpaceBit = 1u << 3, kEnterBit = 1u << 4, kPauseBit = 1u << 5;
// Only the directions repeat: a held A, B or Start acts once.
constexpr uint32_t kRepeating = kUpBit | kDownBit;

constexpr uint32_t Bit(PadButton b) { return 1u << static_cast<unsigned>(b); }

// The stick direction after hysteresis: it engages beyond kStickEngage and holds until
// the stick comes back inside kStickRelease.
int8_t StickDirection(int8_t Was, int Value) {
    if (Value >= GamepadKeys::kStickEngage) return 1;
    if (Value <= -GamepadKeys::kStickEngage) return -1;
    if (Was > 0 && Value > GamepadKeys::kStickRelease) return 1;
    if (Was < 0 && Value < -GamepadKeys::kStickRelease) return -1;
    return 0;
}
}  // namespace

void PadActions::Add(PadAction::Kind What, int KeyCode) {
    if (count_ < kCapacity) items_[static_cast<size_t>(count_++)] = PadAction{What, KeyCode};
}

GamepadKeys::Slot* GamepadKeys::Find(int32_t Pad) {
    for (Slot& s : pads_)
        if (s.Used && s.Id == Pad) return &s;
    return nullptr;
}

bool GamepadKeys::Attach(int32_t Pad) {
    if (Find(Pad)) return true;
    for (Slot& s : pads_)
        if (!s.Used) {
            s = Slot{};
            s.Used = true;
            s.Id = Pad;
            return true;
        }
    return false;
}

PadActions GamepadKeys::Detach(int32_t Pad) {
    PadActions out;
    if (Slot* s = Find(Pad)) {
        *s = Slot{};
        Sync(out, 0);
    }
    return out;
}

uint32_t GamepadKeys::KeysOf(const Slot& s) {
    uint32_t keys = 0;
    if ((s.Buttons & Bit(PadButton::DpadUp)) || s.StickY < 0) keys |= kUpBit;
    if ((s.Buttons & Bit(PadButton::DpadDown)) || s.StickY > 0) keys |= kDownBit;
    if ((s.Buttons & Bit(PadButton::DpadLeft)) || s.StickX < 0) keys |= kLeftBit;
    if (s.Buttons & Bit(PadButton::A)) keys |= kSpaceBit;
    if (s.Buttons & Bit(PadButton::B)) keys |= kEnterBit;
    if (s.Buttons & Bit(PadButton::Start)) keys |= kPauseBit;
    return keys;
}

void GamepadKeys::Sync(PadActions& Out, int64_t NowMs) {
    uint32_t held = 0;
    for (const Slot& s : pads_)
        if (s.Used) held |= KeysOf(s);
    const uint32_t released = sent_ & ~held, pressed = held & ~sent_;
    for (size_t i = 0; i < kKeyCodes.size(); ++i)
        if (released & (1u << i)) Out.Add(PadAction::Kind::KeyUp, kKeyCodes[i]);
    for (size_t i = 0; i < kKeyCodes.size(); ++i)
        if (pressed & (1u << i)) {
            Out.Add(PadAction::Kind::KeyDown, kKeyCodes[i]);
            repeatAt_[i] = NowMs + kRepeatDelayMs;
        }
    sent_ = held;
}

PadActions GamepadKeys::Button(int32_t Pad, PadButton Which, bool Down, int64_t NowMs) {
    PadActions out;
    Slot* s = Find(Pad);
    if (!s || Which >= PadButton::Count) return out;
    const uint32_t bit = Bit(Which);
    const bool was = (s->Buttons & bit) != 0;
    if (Down)
        s->Buttons |= bit;
    else
        s->Buttons &= ~bit;
    Sync(out, NowMs);
    // Every new press of A is a click, even while another pad already holds A.
    if (Which == PadButton::A && Down && !was) out.Add(PadAction::Kind::Press, 0);
    return out;
}

PadActions GamepadKeys::Axis(int32_t Pad, PadAxis Which, int Value, int64_t NowMs) {
    PadActions out;
    Slot* s = Find(Pad);
    if (!s) return out;
    if (Which == PadAxis::LeftX)
        s->StickX = StickDirection(s->StickX, Value);
    else if (Which == PadAxis::LeftY)
        s->StickY = StickDirection(s->StickY, Value);
    else
        return out;
    Sync(out, NowMs);
    return out;
}

PadActions GamepadKeys::Repeat(int64_t NowMs) {
    PadActions out;
    for (size_t i = 0; i < kKeyCodes.size(); ++i) {
        const uint32_t bit = 1u << i;
        if (!(sent_ & bit & kRepeating) || NowMs < repeatAt_[i]) continue;
        out.Add(PadAction::Kind::KeyDown, kKeyCodes[i]);
        repeatAt_[i] = NowMs + kRepeatIntervalMs;
    }
    return out;
}

void GamepadKeys::Forget() { sent_ = 0; }

int GamepadKeys::PadCount() const {
    int n = 0;
    for (const Slot& s : pads_) n += s.Used;
    return n;
}

}  // namespace zol::platform
