// GlWindowPresenter: shows the game window through OpenGL.
//
// What it does: keeps the client area as a framebuffer of its own (the composite): the
// chrome goes up into it only where it changed, the logical screen is copied over it 1:1
// only where the GL device says the screen changed, and the composite is shown in the
// window where FitPicture places it: Sharp (nearest neighbour at a whole scale) or Fill
// (a whole-scale enlargement smoothed once to the window's height). Where the context is
// GLX with GLX_MESA_copy_sub_buffer (Mesa's drivers, llvmpipe among them) only the changed
// rectangles are copied to the screen, without a swap; elsewhere the window is swapped
// with vertical sync where the driver offers it (adaptive first). A present that changes
// nothing shows nothing, and a window nobody can see is neither drawn nor shown.
// Who owns what: the presenter borrows the SDL window and the GL device's context through
// the screen link; before the device exists (a question at start-up) it draws with a
// context of its own, given up when the device comes. It owns the composite, the Fill
// pass's framebuffer and the sub-buffer copier, and forgets them (they went with their
// context) when the context changes.
// Failure: without any OpenGL context nothing is shown (CanPresent says so).
// What it does not do: paint the chrome (WindowPainter) or draw the game (the device).
#pragma once

#include <SDL.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/graphics/gl/GlRenderDevice.h"
#include "platform/WindowScale.h"
#include "platform/sdl/SubBufferCopier.h"
#include "platform/sdl/WindowPresenter.h"

namespace zol::sdl {

class GlWindowPresenter final : public WindowPresenter {
public:
    GlWindowPresenter(SDL_Window* Window, GlScreenLink& Link) : window_(Window), link_(Link) {}
    ~GlWindowPresenter() override;
    GlWindowPresenter(const GlWindowPresenter&) = delete;
    GlWindowPresenter& operator=(const GlWindowPresenter&) = delete;

    bool CanPresent() override;
    void Present(const ChromeImage& Chrome, bool FrontVisible, int FrontX, int FrontY) override;
    bool ReadFront(uint32_t* Rgba, int Width, int Height) override;
    void Invalidate() override { windowValid_ = false; }
    void SetScaleMode(platform::ScaleMode Mode) override;
    void SetVisible(bool Visible) override;

    // The last composited client area (before scaling), RGBA32 rows top first.
    bool ReadWindow(std::vector<uint32_t>& Pixels, int& Width, int& Height);
    // Whether windows are shown by copying changed rectangles (no swap).
    bool CopiesSubBuffers() const { return subBuffer_ != nullptr; }

private:
    struct Surface {  // a colour texture with its framebuffer
        uint32_t Fbo = 0, Texture = 0;
        int Width = 0, Height = 0;
    };
    // Makes a context current on the window (the device's, else the presenter's own) and
    // forgets the GL objects of another context; false when there is none.
    bool UseContext();
    void ForgetContextObjects();
    void MakeSurface(Surface& S, int Width, int Height, bool Smooth);
    void FreeSurface(Surface& S);
    // Shows the client-area rectangles in Rects (all of it when Whole) in the window.
    void ShowInWindow(const std::vector<PixelRect>& Rects, bool Whole, int ClientW, int ClientH);

    SDL_Window* window_;
    GlScreenLink& link_;
    SDL_GLContext ownContext_ = nullptr;
    // The context the objects below belong to: a device's generation, or 0 for our own.
    uint64_t context_ = ~uint64_t{0};
    Surface composite_, enlarged_;
    uint64_t chromeVersion_ = 0;
    bool chromeLoaded_ = false;
    bool screenInComposite_ = false;  // the last present laid the screen over the chrome
    // The window: whether its back buffer still holds the last picture shown, at what size.
    bool windowValid_ = false;
    int windowW_ = 0, windowH_ = 0;
    platform::ScaleMode mode_ = platform::ScaleMode::Sharp;
    bool visible_ = true;
    bool configured_ = false;  // the context's way of showing is chosen
    std::unique_ptr<SubBufferCopier> subBuffer_;
    DamageList screenDamage_, changed_;
    std::vector<PixelRect> copies_;
    std::vector<uint32_t> front_;
};

}  // namespace zol::sdl
