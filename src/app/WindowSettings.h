// WindowSettings: full screen and the picture's fill, kept between runs.
//
// What it does: at start the kept choices are applied to the host (a --fullscreen or
// --windowed on the command line wins over the kept one); when the window has closed,
// what the player changed during the run (F11, F10) is kept.
// Who owns what: the host and the store are borrowed.
// Failure: none of its own; the store tells what it could not keep.
#pragma once

#include <optional>

#include "game/GameStore.h"
#include "platform/sdl/SdlHost.h"

namespace zol::app {

// How the window stood at start, after the kept choices were applied.
struct WindowAtStart {
    bool Fullscreen = false;
    platform::ScaleMode Scale = platform::ScaleMode::Sharp;
};

// Applies the kept choices; CommandLineFullscreen (when given) wins over the kept one.
WindowAtStart RestoreWindowSettings(sdl::SdlHost& Host, GameStore& Store,
                                    std::optional<bool> CommandLineFullscreen);
// Keeps what changed since start.
void KeepWindowSettings(const sdl::SdlHost& Host, GameStore& Store, const WindowAtStart& Start);

}  // namespace zol::app
