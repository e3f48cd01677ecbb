// SdlGamepad: SDL's game controllers, hot-plugged, as GamepadKeys actions.
//
// What it does: opens every controller SDL announces (those present at start-up arrive
// as device-added events too), closes it when it is removed, and translates controller
// buttons and axes into the virtual-key actions of platform::GamepadKeys. SDL's controller
// database (plus SDL_GAMECONTROLLERCONFIG) names the buttons, so any known pad lays out
// as an Xbox-style pad: A bottom, B right.
// Who owns what: the window host owns one; it owns the open SDL_GameController handles.
// Failure: a controller that cannot be opened, or beyond the pads GamepadKeys keeps, is
// left closed and reported once on stderr; without SDL's controller subsystem no events
// arrive and nothing happens.
#pragma once

#include <SDL.h>

#include <array>
#include <cstdint>

#include "platform/GamepadKeys.h"

namespace zol::sdl {

class SdlGamepad {
public:
    SdlGamepad() = default;
    ~SdlGamepad();
    SdlGamepad(const SdlGamepad&) = delete;
    SdlGamepad& operator=(const SdlGamepad&) = delete;

    // True for the controller events this class handles (added, removed, buttons, axes).
    static bool IsPadEvent(const SDL_Event& Event);
    // Handles a controller event at NowMs; the actions it causes.
    platform::PadActions Handle(const SDL_Event& Event, int64_t NowMs);
    // Key repeats of held directions due at NowMs.
    platform::PadActions Repeat(int64_t NowMs) { return keys_.Repeat(NowMs); }
    // The window released every key (see GamepadKeys::Forget).
    void Forget() { keys_.Forget(); }
    // The number of open controllers.
    int Count() const { return keys_.PadCount(); }
    // Closes every controller (their held keys are not released).
    void CloseAll();

private:
    struct Open {
        SDL_GameController* Pad = nullptr;
        SDL_JoystickID Id = -1;
    };
    void Added(int DeviceIndex);
    platform::PadActions Removed(SDL_JoystickID Id);

    std::array<Open, platform::GamepadKeys::kMaxPads> open_{};
    platform::GamepadKeys keys_;
};

// The pad button of an SDL controller button; PadButton::Count for none.
platform::PadButton PadButtonFromSdl(Uint8 Button);
// The pad axis of an SDL controller axis; PadAxis::Count for none.
platform::PadAxis PadAxisFromSdl(Uint8 Axis);

}  // namespace zol::sdl
