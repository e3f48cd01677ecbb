// The real program run in-process for tests, tools and benchmarks, with the player
// replaced: SDL events pushed as the ticks go by, every tick and every message box
// watched, and the boxes answered in the player's place.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/Program.h"
#include "framework/core/qCore.h"

namespace zol {
class frmMain;
}

namespace zol::test {

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

struct RunOptions {
    app::Devices Use;
    // The window counts as the desktop's foreground window while it is shown, whatever the
    // video driver says: the offscreen driver never hands out the input focus, and the
    // game pauses itself whenever it is not in front.
    bool AlwaysForeground = false;
    std::vector<ScriptedEvent> Script;
    // Once the program exists, before the game window starts.
    std::function<void(app::Program& Program)> OnStart;
    // After every timer tick, with the game window and the tick's number (1, 2, ...).
    std::function<void(const frmMain& Form, int32_t Tick)> OnTick;
    // Every message box the game shows, before it is shown or answered.
    std::function<void(const ShownMessage& Message)> OnMessage;
    // Answers a message box in the player's place; nullopt lets the host show it.
    std::function<std::optional<MsgAnswer>(const ShownMessage& Message)> AnswerMessage;
    // When set, answers every input box: the text entered, or nullopt for Cancel.
    std::function<std::optional<std::string>(const std::string& Prompt)> AnswerInput;
    // A box the host is about to show in its window (its title), before the box reads any
    // event: the player's answer (keys, clicks, pad buttons) is pushed here.
    std::function<void(const std::string& Title)> OnBox;
    // Every text the game puts on the clipboard.
    std::function<void(const std::string& Text)> OnClipboard;
};

// Runs the program from start-up to the closed window; its exit code (1 without a display).
int RunProgram(const RunOptions& Options);

// A key press or release as SDL reports it, for scripts.
SDL_Event KeyEvent(bool Down, SDL_Keycode Key);

}  // namespace zol::test
