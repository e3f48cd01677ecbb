// GlWindowPresenter: shows the game window through OpenGL.
//
// What it does: keeps the client area as a framebuffer of its own (the composite): the
// chrome goes up into it only where it changed, the logical screen is copied over it 1:1
// only where the GL device says the screen changed, and the composite is scaled to the
// window's drawable at the largest whole scale that fits (nearest neighbour, centred,
// black around it). Where the context is GLX with GLX_MESA_copy_sub_buffer (Mesa's
// drivers, llvmpipe among them) only the changed rectangles are copied to the screen,
// without a swap; elsewhere a present that changes nothing is skipped and any other one
// swaps the whole window. On a software renderer most of a frame's cost is pixels, and
// 2 to 9 % of them change per tick. The swap interval is 0: the host's 30 ms timer paces
// the game. ZOL_GL_FULL_FRAMES=1 (through the device) shows every frame whole.
// Who owns what: the presenter borrows the SDL window and the GL device's context
// through the screen link; it owns the composite and the sub-buffer copier, and forgets
// them (they went with the context) when the device it last saw is gone.
// Failure: without a device nothing is shown and nothing can be read.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/graphics/gl/GlRenderDevice.h"
#include "platform/sdl/SubBufferCopier.h"
#include "platform/sdl/WindowPresenter.h"

namespace zol::sdl {

class GlWindowPresenter final : public WindowPresenter {
public:
    GlWindowPresenter(SDL_Window* Window, GlScreenLink& Link) : window_(Window), link_(Link) {}
    ~GlWindowPresenter() override;
    GlWindowPresenter(const GlWindowPresenter&) = delete;
    GlWindowPresenter& operator=(const GlWindowPresenter&) = delete;

    void Present(const ChromeImage& Chrome, bool FrontVisible, int FrontX, int FrontY) override;
    bool ReadFront(uint32_t* Rgba, int Width, int Height) override;
    void Invalidate() override { windowValid_ = false; }

    // The last composited client area (before scaling), RGBA32 rows top first.
    bool ReadWindow(std::vector<uint32_t>& Pixels, int& Width, int& Height);
    // Whether windows are shown by copying changed rectangles (no swap).
    bool CopiesSubBuffers() const { return subBuffer_ != nullptr; }

private:
    // The device, with its context current and the presenter's GL objects valid for it;
    // nullptr when there is none.
    GlRenderDevice* Device();
    void MakeComposite(int Width, int Height);
    // Copies the client-area rectangle R of the composite into the window's back buffer.
    void BlitToWindow(const PixelRect& R, int Scale, int OffsetX, int OffsetY, int ClientHeight);

    SDL_Window* window_;
    GlScreenLink& link_;
    uint64_t generation_ = 0;  // of the device the GL objects below belong to
    uint32_t compositeFbo_ = 0, compositeTexture_ = 0;
    int compositeW_ = 0, compositeH_ = 0;
    uint64_t chromeVersion_ = 0;
    bool chromeLoaded_ = false;
    bool screenInComposite_ = false;  // the last present laid the screen over the chrome
    // The window: whether its back buffer still holds the last picture shown, at what size.
    bool windowValid_ = false;
    int windowW_ = 0, windowH_ = 0;
    std::unique_ptr<SubBufferCopier> subBuffer_;
    DamageList screenDamage_, changed_;
    std::vector<PixelRect> copies_;
    std::vector<uint32_t> front_;
};

}  // namespace zol::sdl
