// WindowPresenter: what shows the composed window on screen.
//
// What it does: the window host paints the window's chrome (its art, the labels, the
// level bar and, while one is open, the input box) into a 580 x 388 image and hands it
// over after every tick; the presenter draws that image, then the logical screen at
// (FrontX, FrontY) of the client area over it, and swaps. The OpenGL device is the real
// presenter; tests record the image instead.
// Pixels: one uint32_t per pixel holding the bytes R, G, B, A in memory order
// (SDL_PIXELFORMAT_RGBA32), rows top first, Width * Height pixels without padding.
// Who owns what: the host owns the image and keeps it alive until the next call; the
// presenter is owned by main() and only borrowed by the host.
// Failure: a presenter that cannot draw simply shows nothing.
#pragma once

#include <cstdint>

namespace zol::sdl {

class WindowPresenter {
public:
    virtual ~WindowPresenter() = default;
    // Draws the chrome (re-uploaded only when Version changed), then the logical screen at
    // (FrontX, FrontY), and shows the result. FrontX at or beyond Width hides the screen
    // (the chrome then carries a copy of it, under a dialog).
    virtual void Present(const uint32_t* Rgba, int Width, int Height, uint64_t Version, int FrontX,
                         int FrontY) = 0;
    // Copies the logical screen's last frame into Rgba (Width x Height pixels, same layout);
    // false when the presenter cannot read it back.
    virtual bool ReadFront(uint32_t* Rgba, int Width, int Height) {
        (void)Rgba, (void)Width, (void)Height;
        return false;
    }
    // The window's picture on screen was lost (uncovered, resized): the next Present has
    // to show all of it, not only what changed.
    virtual void Invalidate() {}
};

}  // namespace zol::sdl
