// GamepadKeys: game controllers as keys of the keyboard.
//
// What it does: turns the buttons and sticks of any number of pads into the key-down and
// key-up events of the virtual keys the game already reads, so that a pad plays exactly
// like the keyboard: the D-pad and the left stick are Up, Down and Left (the stick with a
// dead zone and hysteresis, so that a resting or trembling stick sends nothing), A is
// Space (cycle the kinds) and also a press on the drawing area (which only acts on the
// game-over screen), B is Enter (bomb) and Start is P (pause). A key held on several pads
// goes down with the first and up with the last. Up and Down repeat while held, as
// keyboard keys do, so that a held direction keeps moving the piece.
// Who owns what: plain value; the window host owns one and feeds it pad events and its
// millisecond clock. Results are small fixed arrays: nothing here allocates.
// Failure: events of pads that were never attached, unknown buttons and axes are ignored;
// beyond kMaxPads further pads are refused (Attach answers false).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "framework/core/qKeys.h"

namespace zol::platform {

enum class PadButton : uint8_t {
    A, B, X, Y, Back, Guide, Start, LeftStick, RightStick, LeftShoulder, RightShoulder,
    DpadUp, DpadDown, DpadLeft, DpadRight, Count
};
enum class PadAxis : uint8_t { LeftX, LeftY, RightX, RightY, TriggerLeft, TriggerRight, Count };

// What the window receives: a key going down or up (virtual-key code), or a press of the
// left mouse button on the drawing area.
struct PadAction {
    enum class Kind : uint8_t { KeyDown, KeyUp, Press };
    Kind What = Kind::KeyDown;
    int KeyCode = 0;  // 0 for Press
};

// The actions of one event, in the order they are to be delivered.
class PadActions {
public:
    static constexpr int kCapacity = 16;  // more than one event can cause
    // Appends an action (beyond kCapacity it is dropped).
    void Add(PadAction::Kind What, int KeyCode);
    // True when the event caused nothing.
    bool Empty() const { return count_ == 0; }
    // The actions in delivery order.
    const PadAction* begin() const { return items_.data(); }
    const PadAction* end() const { return items_.data() + count_; }

private:
    std::array<PadAction, kCapacity> items_{};
    int count_ = 0;
};

class GamepadKeys {
public:
    static constexpr int kMaxPads = 8;
    // Stick travel (of 32767) at which a direction engages, and below which it lets go.
    static constexpr int kStickEngage = 16384, kStickRelease = 10000;
    static constexpr int64_t kRepeatDelayMs = 400, kRepeatIntervalMs = 100;
    // The virtual keys a pad can hold.
    static constexpr int kUp = vk::Up, kDown = vk::Down, kLeft = vk::Left, kSpace = vk::Space,
                         kEnter = vk::Return, kPause = vk::P;

    // A pad was connected; true when it is (now or already) known, false when full.
    bool Attach(int32_t Pad);
    // A pad was disconnected: the keys only it held go up.
    PadActions Detach(int32_t Pad);
    // A button of a pad went down or up at NowMs.
    PadActions Button(int32_t Pad, PadButton Which, bool Down, int64_t NowMs);
    // An axis of a pad moved to Value (-32768..32767; y grows downwards) at NowMs.
    PadActions Axis(int32_t Pad, PadAxis Which, int Value, int64_t NowMs);
    // Key repeats of held directions that are due at NowMs (none are queued up).
    PadActions Repeat(int64_t NowMs);
    // The window has released every key: what pads hold now goes down again with the
    // pads' next change instead of going up.
    void Forget();
    // The number of pads attached.
    int PadCount() const;

private:
    struct Slot {
        bool Used = false;
        int32_t Id = 0;
        uint32_t Buttons = 0;  // bit per PadButton
        int8_t StickX = 0, StickY = 0;  // -1, 0, +1 after hysteresis
    };
    Slot* Find(int32_t Pad);
    static uint32_t KeysOf(const Slot& s);
    // Sends the difference between what the pads hold and what was sent.
    void Sync(PadActions& Out, int64_t NowMs);

    std::array<Slot, kMaxPads> pads_{};
    uint32_t sent_ = 0;  // bit per held key, see kKeyCodes
    std::array<int64_t, 6> repeatAt_{};
};

}  // namespace zol::platform
