#include "app/WindowSettings.h"

namespace zol::app {

WindowAtStart RestoreWindowSettings(sdl::SdlHost& Host, GameStore& Store,
                                    std::optional<bool> CommandLineFullscreen) {
    const GameSettings kept = Store.Settings();
    if (kept.Scale) Host.SetScaleMode(*kept.Scale);
    if (const auto fullscreen = CommandLineFullscreen ? CommandLineFullscreen : kept.Fullscreen)
        Host.SetFullscreen(*fullscreen);
    return {Host.IsFullscreen(), Host.GetScaleMode()};
}

void KeepWindowSettings(const sdl::SdlHost& Host, GameStore& Store, const WindowAtStart& Start) {
    // Only changes are kept, so a one-off --fullscreen does not become the next run's choice.
    GameSettings change;
    if (Host.IsFullscreen() != Start.Fullscreen) change.Fullscreen = Host.IsFullscreen();
    if (Host.GetScaleMode() != Start.Scale) change.Scale = Host.GetScaleMode();
    if (change != GameSettings{}) Store.ChangeSettings(change);
}

}  // namespace zol::app
