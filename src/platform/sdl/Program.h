// Program: the whole game process as one call.
//
// What it does: starts the SDL window host, installs the real backends (OpenGL on the
// host's window, OpenAL Soft, FluidSynth), runs the game window's start-up, the event
// loop until the window closes, and the shutdown; main() is nothing but RunProgram().
// The same call runs the real program inside a test: any device factory can be
// replaced, events can be pushed into SDL's queue once the timer has run a given number
// of ticks, and every tick and every message box can be watched.
// Who owns what: RunProgram owns the host, the presenter and the game window for the
// length of the call and leaves no framework state behind (the installed host and device
// factories are removed again). The options and their callbacks are only borrowed.
// Failure: 1 when SDL's video cannot start (the reason goes to stderr, as there is no
// window for a message box) and when start-up ended on an error message without ever
// showing the window; otherwise the host's exit code, 0.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "framework/core/qCore.h"
#include "framework/graphics/RenderDevice.h"
#include "framework/sound/MusicDevice.h"
#include "framework/sound/SoundDevice.h"

namespace zol {

class frmMain;

namespace sdl {

// An event that enters SDL's queue right after the timer's AfterTick-th tick (0 or less:
// before the event loop starts, after start-up).
struct ScriptedEvent {
    int32_t AfterTick = 0;
    SDL_Event Event{};
};

// A message box as the program asked for it.
struct ShownMessage {
    std::string Text, Title;
    MsgButtons Buttons = MsgButtons::OK;
    MsgIcon Icon = MsgIcon::None;
};

struct ProgramOptions {
    // Device makers; nullopt keeps the real backend. An empty function means "no backend"
    // (graphics then runs headless, sound and music fail to open).
    std::optional<RenderDeviceFactory> RenderFactory;
    std::optional<SoundDeviceFactory> SoundFactory;
    std::optional<MusicDeviceFactory> MusicFactory;
    // The window counts as the desktop's foreground window while it is shown, whatever the
    // video driver says: the offscreen driver never hands out the input focus, and the
    // game pauses itself whenever it is not in front.
    bool AlwaysForeground = false;
    // Events pushed with SDL_PushEvent as the ticks go by.
    std::vector<ScriptedEvent> Script;
    // Called after every timer tick with the game window and the tick's number (1, 2, ...).
    std::function<void(const frmMain& Form, int32_t Tick)> OnTick;
    // Called with every message box the game shows, before the host shows it.
    std::function<void(const ShownMessage& Message)> OnMessage;
    // Answers a message box in the player's place, after OnMessage saw it (the host then
    // shows nothing); nullopt lets the host show it.
    std::function<std::optional<MsgAnswer>(const ShownMessage& Message)> AnswerMessage;
    // When set, answers every input box in the player's place: the text entered, or
    // nullopt for Cancel. The host then shows nothing.
    std::function<std::optional<std::string>(const std::string& Prompt)> AnswerInput;
};

// Runs the game from start-up to the closed window; the process's exit code.
int RunProgram(const ProgramOptions& Options = {});

// A key press or release as SDL reports it, for scripts.
SDL_Event KeyEvent(bool Down, SDL_Keycode Key);

}  // namespace sdl
}  // namespace zol
