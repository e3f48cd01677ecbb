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
// Only what changed is drawn. A frame's calls are recorded between BeginFrame and
// EndFrame; at EndFrame the frame is compared, draw by draw, with the previous one
// (FrameDamage) and replayed only inside the rectangles that can differ, each behind a
// scissor; a frame that draws what the last one drew touches no pixel. The window gets
// the same treatment: where the context is GLX with GLX_MESA_copy_sub_buffer (Mesa's
// drivers, llvmpipe among them) only the changed rectangles of the window are copied to
// the screen, without a swap; elsewhere a present with no change is skipped and any
// other one swaps the whole window. On a software renderer most of the frame's cost is
// pixels, and 2 to 9 % of them change per tick. ZOL_GL_FULL_FRAMES=1 in the environment
// draws and shows every frame whole, for comparison.
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
//      version changes, and then only the rectangle that changed when the caller says
//      which (changedChrome: what changed from version - 1 to version); the logical
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
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "framework/graphics/FrameDamage.h"
#include "framework/graphics/RenderDevice.h"

struct SDL_Window;

namespace zol {

class SubBufferCopier;

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
    // front position outside the client area leaves the logical screen out. Without
    // changedChrome, all of the chrome may have changed.
    void PresentWindow(const uint32_t* chromeRGBA, int chromeWidth, int chromeHeight,
                       uint64_t chromeVersion, int frontX, int frontY,
                       std::optional<PixelRect> changedChrome = std::nullopt);
    // The last composited client area (before scaling), RGBA32 rows top first.
    bool ReadWindowPixels(std::vector<uint32_t>& Pixels, int& Width, int& Height);
    // The logical screen as it is now, RGBA32 rows top first.
    bool ReadScreenPixels(std::vector<uint32_t>& Pixels, int& Width, int& Height);
    // The GL renderer's name (for example "llvmpipe (LLVM 15.0.6, 256 bits)").
    const std::string& RendererName() const { return renderer_; }
    // The window's picture was lost (uncovered, resized): the next present shows all of it.
    void InvalidateWindow() { windowValid_ = false; }
    // False: every frame is drawn and shown whole (the comparison the damage is checked by).
    void SetDamageLimited(bool On);
    // Whether the last frame was redrawn whole, and otherwise the rectangles it redrew.
    bool LastFrameWhole() const { return damage_.Whole(); }
    const std::vector<PixelRect>& LastFrameRects() const { return damage_.Rects(); }
    // Whether windows are shown by copying changed rectangles (no swap).
    bool CopiesSubBuffers() const { return subBuffer_ != nullptr; }

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
    // One recorded call of the frame, with the state it draws in.
    struct Command {
        enum class Kind : uint8_t { Clear, Sprites, Strip } Op = Kind::Clear;
        BlendState Blend;
        uint32_t Texture = 0;
        uint32_t First = 0, Count = 0;  // quads of frameQuads_, or vertices of frameStrip_
        uint32_t Color = 0;             // the clear colour
        PixelRect Box;                  // a strip's pixels
    };
    // What the GL context was last set to while replaying (so unchanged state is not set).
    struct AppliedState {
        bool Known = false;
        BlendState Blend;
        uint32_t Texture = 0;
        bool Strip = false;
    };
    GlRenderDevice() = default;
    bool Init(std::string* Error);
    void MakeTarget(Target& t, int Width, int Height);
    void FreeTarget(Target& t);
    void UseScreen();
    bool ReadTarget(const Target& t, std::vector<uint32_t>& Pixels, int& Width, int& Height);
    // Starts recording when a call arrives outside a frame: such a frame draws over the
    // picture as it is, so it is replayed whole.
    void Record();
    void FinishFrame();
    void Replay(const PixelRect* Clip);
    void Apply(const Command& c);
    void Draw(const Command& c, uint32_t FirstQuad, uint32_t Quads);
    void DeleteTexture(uint32_t Handle);
    uint64_t StateKey() const;
    // Copies the client-area rectangle r of the composite into the window's back buffer.
    void BlitToWindow(const PixelRect& r, int Scale, int OffsetX, int OffsetY, int ClientHeight);

    SDL_Window* window_ = nullptr;
    void* context_ = nullptr;
    std::string renderer_;
    uint32_t program_ = 0, spriteVao_ = 0, spriteVbo_ = 0, stripVao_ = 0, stripVbo_ = 0;
    int uScreen_ = -1, uTextured_ = -1, uAlphaTest_ = -1, uTex_ = -1;
    uint32_t quadIndices_ = 0;
    int32_t indexedQuads_ = 0;  // rectangles the index buffer covers
    // The state the next recorded draw takes.
    uint32_t bound_ = 0;
    uint64_t boundSerial_ = 0;
    BlendState blend_;
    // The frame being recorded.
    bool recording_ = false, implicitFrame_ = false;
    std::vector<Command> commands_;
    std::vector<QuadVertex> frameQuads_;
    std::vector<PixelRect> quadBoxes_;
    std::vector<ColorVertex> frameStrip_;
    std::vector<uint32_t> releaseAfterFrame_;
    AppliedState applied_;
    FrameDamage damage_;
    bool damageLimited_ = true;
    // Every texture gets a serial number, so a handle GL hands out again is not taken for
    // the texture that had it before.
    std::unordered_map<uint32_t, uint64_t> serials_;
    uint64_t nextSerial_ = 1;
    // What changed on the screen since the last present.
    DamageList screenDamage_;
    bool screenWhole_ = true;
    // The logical screen, and the client area that keeps the chrome between presents.
    Target screen_, composite_;
    uint64_t chromeVersion_ = 0;
    bool chromeLoaded_ = false;
    bool screenInComposite_ = false;  // the last present laid the screen over the chrome
    // The window: whether its back buffer still holds the last picture shown, at what size.
    bool windowValid_ = false;
    int windowW_ = 0, windowH_ = 0;
    std::unique_ptr<SubBufferCopier> subBuffer_;
};

// A hidden SDL window with OpenGL for tools, tests and benchmarks (SDL video started if
// needed; under SDL_VIDEODRIVER=offscreen no display is used). nullptr with a reason.
SDL_Window* CreateHiddenGlWindow(int Width, int Height, std::string* Error);

}  // namespace zol
