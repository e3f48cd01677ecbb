// WindowPresenter: what shows the composed window on screen.
//
// What it does: the window host paints the window's chrome (its art, the labels, the
// level bar and, while one is open, a dialog) into an image the size of the client area
// and hands it over after every tick; the presenter draws that image, lays the logical
// screen over it at the screen's place, scales the whole to the window and shows it.
// Pixels: one uint32_t per pixel holding the bytes R, G, B, A in memory order
// (SDL_PIXELFORMAT_RGBA32), rows top first, Width * Height pixels without padding.
// Who owns what: the host owns the image and keeps it alive until the next call; the
// presenter is owned by the program and only borrowed by the host.
// Failure: a presenter that cannot draw simply shows nothing.
#pragma once

#include <cstdint>
#include <optional>

#include "framework/graphics/FrameDamage.h"
#include "platform/WindowScale.h"

namespace zol::sdl {

// The chrome as the host hands it over.
struct ChromeImage {
    const uint32_t* Rgba = nullptr;
    int Width = 0, Height = 0;
    // Grows with every change of the image.
    uint64_t Version = 0;
    // What changed from Version - 1 to Version; nothing: it may all have changed.
    std::optional<PixelRect> Changed;
};

class WindowPresenter {
public:
    virtual ~WindowPresenter() = default;
    // True when Present can show the window now (a dialog at start-up asks before the game's
    // graphics exist).
    virtual bool CanPresent() { return true; }
    // Draws the chrome (re-uploaded only where it changed), then the logical screen at
    // (FrontX, FrontY) unless FrontVisible is false (the chrome then carries a copy of it,
    // under a dialog), and shows the result.
    virtual void Present(const ChromeImage& Chrome, bool FrontVisible, int FrontX, int FrontY) = 0;
    // Copies the logical screen's last frame into Rgba (Width x Height pixels, same layout);
    // false when the presenter cannot read it back.
    virtual bool ReadFront(uint32_t* Rgba, int Width, int Height) = 0;
    // The window's picture on screen was lost (uncovered, resized): the next Present has
    // to show all of it, not only what changed.
    virtual void Invalidate() = 0;
    // How the picture fills a window larger than it.
    virtual void SetScaleMode(platform::ScaleMode Mode) { (void)Mode; }
    // False while nobody can see the window (minimised, unmapped, covered): nothing needs
    // drawing or showing; true again: the next Present shows all of it.
    virtual void SetVisible(bool Visible) { (void)Visible; }
};

}  // namespace zol::sdl
