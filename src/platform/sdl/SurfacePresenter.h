// SurfacePresenter: shows the window's chrome through SDL's window surface.
//
// What it does: copies the chrome image to the window with SDL_UpdateWindowSurface. It
// draws no logical screen; it is the stand-in while no OpenGL presenter is connected, and
// must not be used on a window that carries an OpenGL context.
// Failure: when the window has no surface nothing is shown.
#pragma once

#include <SDL.h>

#include "platform/sdl/WindowPresenter.h"

namespace zol::sdl {

class SurfacePresenter final : public WindowPresenter {
public:
    explicit SurfacePresenter(SDL_Window* Window) : window_(Window) {}
    // Copies the chrome to the window and shows it (only when its version changed).
    void Present(const uint32_t* Rgba, int Width, int Height, uint64_t Version, int FrontX,
                 int FrontY) override;

private:
    SDL_Window* window_;
    uint64_t shown_ = 0;  // the version on screen; the chrome is all this presenter draws
};

}  // namespace zol::sdl
