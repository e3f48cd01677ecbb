// GlRenderDevice: the RenderDevice seam on OpenGL 3.3 core (functions through libepoxy).
//
// What it does: keeps the logical screen in its own framebuffer object, which is the
// back buffer: a frame that clears depth only draws over the previous picture. One
// shader pair draws textured and untextured vertices with the alpha test (texel alpha
// at least 8 of 255); the blend modes map onto glBlendEquation / glBlendFunc; textures
// are sampled by point with wrapping. Every vertex lies at one depth and nothing writes
// depth, so the screen has no depth buffer and no depth test (it would pass everything).
// It absorbs the framework's conventions: vertices put pixel centres on whole
// coordinates (half a pixel is added, so a 48-pixel sprite covers exactly 48 pixels,
// texel for pixel) and y grows downwards.
//
// The window composite, for the window host. Its pixel arrays (the chrome, and what the
// read-backs return) are tightly packed rows, top row first, one uint32_t per pixel
// holding the bytes R, G, B, A in memory order (SDL_PIXELFORMAT_RGBA32). Textures given
// to CreateTexture use the framework's 0xAARRGGBB colours instead.
//   1. the host makes its SDL_Window with SDL_WINDOW_OPENGL and installs Factory() with
//      SetRenderDeviceFactory before Window_Initialize; the target handle it passes to
//      Window_Initialize is that SDL_Window*;
//   2. after each tick it calls Current()->PresentWindow(chrome, 580, 388, version, 50, 50)
//      (Current() is nullptr while no OpenGL device exists: nothing to present then):
//      the chrome image (the client area's art, labels and bar) is uploaded only when
//      version changes, and then only the rows that changed when the caller says which
//      (changedTop, changedRows: what changed from version - 1 to version); the logical
//      screen is laid over it 1:1 at (frontX, frontY), the
//      whole client area is scaled to the window's drawable at the largest integer scale
//      that fits (nearest neighbour, centred, black around it) and the window is swapped.
//      The swap interval is 0: the host's 30 ms timer paces the game, not vsync.
// Who owns what: the device owns its GL context and every GL object; the SDL window is
// the host's and must outlive the device.
// Failure: Create returns nullptr with a reason; later GL errors are not checked.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/graphics/RenderDevice.h"

struct SDL_Window;

namespace zol {

class GlRenderDevice final : public RenderDevice {
public:
    // A device with its own OpenGL 3.3 core context on Window. Accelerated true asks for
    // a hardware-accelerated context; false accepts any (Mesa's llvmpipe included).
    // nullptr on failure, with the reason in *Error when Error is given.
    static std::unique_ptr<GlRenderDevice> Create(SDL_Window* Window, bool Accelerated,
                                                  std::string* Error);
    // A factory for SetRenderDeviceFactory: its window handle is an SDL_Window*.
    static RenderDeviceFactory Factory();
    // The installed device when it is an OpenGL one, else nullptr.
    static GlRenderDevice* Current();
    ~GlRenderDevice() override;

    // Composites the chrome and the logical screen into the window and swaps (see above).
    // chromeRGBA may be nullptr (a black client area of chromeWidth x chromeHeight). A
    // front position outside the client area leaves the logical screen out. changedRows
    // below 0: every row may have changed.
    void PresentWindow(const uint32_t* chromeRGBA, int chromeWidth, int chromeHeight,
                       uint64_t chromeVersion, int frontX, int frontY, int changedTop = 0,
                       int changedRows = -1);
    // The last composited client area (before scaling), RGBA32 rows top first.
    bool ReadWindowPixels(std::vector<uint32_t>& Pixels, int& Width, int& Height);
    // The logical screen as it is now, RGBA32 rows top first.
    bool ReadScreenPixels(std::vector<uint32_t>& Pixels, int& Width, int& Height);
    // The GL renderer's name (for example "llvmpipe (LLVM 15.0.6, 256 bits)").
    const std::string& RendererName() const { return renderer_; }

    void BeginFrame(int32_t Width, int32_t Height) override;
    void Clear(bool ClearColorToo, uint32_t Color) override;
    void SetBlendState(const BlendState& State) override;
    void BindTexture(uint32_t Handle) override;
    void DrawSprites(const SpriteVertex* Vertices, int32_t Count) override;
    void DrawColorStrip(const ColorVertex* Vertices, int32_t Count) override;
    void EndFrame() override;
    uint32_t CreateTexture(const uint32_t* Pixels, int32_t Width, int32_t Height,
                           bool Smooth) override;
    void ReleaseTexture(uint32_t Handle) override;
    bool ReadScreen(std::vector<uint32_t>& Pixels, int& Width, int& Height) override {
        return ReadScreenPixels(Pixels, Width, Height);
    }

private:
    struct Target {  // a colour texture with its framebuffer
        uint32_t Fbo = 0, Color = 0;
        int Width = 0, Height = 0;
    };
    struct QuadVertex {  // a rectangle's corner as it goes to the GPU
        float X, Y;
        uint32_t Color;
        float U, V;
    };
    GlRenderDevice() = default;
    bool Init(std::string* Error);
    void MakeTarget(Target& t, int Width, int Height);
    void FreeTarget(Target& t);
    void UseScreen();
    bool ReadTarget(const Target& t, std::vector<uint32_t>& Pixels, int& Width, int& Height);

    SDL_Window* window_ = nullptr;
    void* context_ = nullptr;
    std::string renderer_;
    uint32_t program_ = 0, spriteVao_ = 0, spriteVbo_ = 0, stripVao_ = 0, stripVbo_ = 0;
    int uScreen_ = -1, uTextured_ = -1, uAlphaTest_ = -1, uTex_ = -1;
    uint32_t quadIndices_ = 0;
    int32_t indexedQuads_ = 0;  // rectangles the index buffer covers
    std::vector<QuadVertex> staging_;
    uint32_t bound_ = 0;
    bool alphaTest_ = true;
    // The logical screen, and the client area that keeps the chrome between presents.
    Target screen_, composite_;
    uint64_t chromeVersion_ = 0;
    bool chromeLoaded_ = false;
    bool screenInComposite_ = false;  // the last present laid the screen over the chrome
};

// A hidden SDL window with OpenGL for tools, tests and benchmarks (SDL video started if
// needed; under SDL_VIDEODRIVER=offscreen no display is used). nullptr with a reason.
SDL_Window* CreateHiddenGlWindow(int Width, int Height, std::string* Error);

}  // namespace zol
