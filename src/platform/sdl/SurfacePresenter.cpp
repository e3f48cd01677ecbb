#include "platform/sdl/SurfacePresenter.h"

namespace zol::sdl {

void SurfacePresenter::Present(const uint32_t* Rgba, int Width, int Height, uint64_t Version, int,
                               int) {
    if (!window_ || !Rgba || Version == shown_) return;
    SDL_Surface* target = SDL_GetWindowSurface(window_);
    if (!target) return;
    SDL_Surface* chrome = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<uint32_t*>(Rgba), Width, Height, 32, Width * 4, SDL_PIXELFORMAT_RGBA32);
    if (!chrome) return;
    SDL_SetSurfaceBlendMode(chrome, SDL_BLENDMODE_NONE);
    SDL_BlitSurface(chrome, nullptr, target, nullptr);
    SDL_FreeSurface(chrome);
    if (SDL_UpdateWindowSurface(window_) == 0) shown_ = Version;
}

}  // namespace zol::sdl
