// GlRenderDevice: the RenderDevice seam on OpenGL 3.3 core (functions through libepoxy).
//
// What it does: draws the logical screen. The screen is a framebuffer object of its own
// and is the back buffer, so a frame that clears nothing draws over the last picture. One
// shader pair draws textured and untextured vertices with the alpha test (texel alpha of
// at least 8/255); blend modes map onto glBlendEquation / glBlendFunc; textures are
// sampled by point with wrapping; there is no depth buffer (nothing writes depth). The
// framework's conventions are absorbed here: pixel centres on whole coordinates (half a
// pixel is added, so a 48-pixel sprite covers 48 pixels) and y growing downwards. Each
// frame is recorded (FrameRecorder) and replayed only inside the rectangles that can
// differ from the last frame; ZOL_GL_FULL_FRAMES=1 draws every frame whole.
// Who owns what: the device owns its GL context (made on the window it is given, which
// must outlive it) and every GL object it makes. It lends its screen to the window
// presenter through a GlScreenLink wired at start-up.
// Failure: Create returns nullptr with a reason; later GL errors are not checked.
// What it does not do: composite, scale or show the window (GlWindowPresenter does).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "framework/graphics/FrameDamage.h"
#include "framework/graphics/RenderDevice.h"
#include "framework/graphics/gl/FrameRecorder.h"

struct SDL_Window;

namespace zol {

class GlRenderDevice;

// Where the device lends its logical screen: the program makes one, hands it to Factory
// and to the window presenter, and the device enters itself while it exists.
struct GlScreenLink {
    GlRenderDevice* Device = nullptr;
    // Grows with every device, so a reader knows its GL objects went with the old context.
    uint64_t Generation = 0;
    GlScreenLink() = default;
    GlScreenLink(const GlScreenLink&) = delete;
    GlScreenLink& operator=(const GlScreenLink&) = delete;
    // A device that outlives the link stops entering itself.
    ~GlScreenLink();
};

class GlRenderDevice final : public RenderDevice, private FrameRecorder::Target {
public:
    // A device with its own OpenGL 3.3 core context on Window. Accelerated true asks for
    // a hardware-accelerated context; false accepts any (Mesa's llvmpipe included).
    // nullptr on failure, with the reason in *Error when Error is given.
    static std::unique_ptr<GlRenderDevice> Create(SDL_Window* Window, bool Accelerated,
                                                  std::string* Error, GlScreenLink* Link = nullptr);
    // A factory for SetRenderDeviceFactory (its window handle is an SDL_Window*); the
    // devices it makes enter themselves in *Link (optional).
    static RenderDeviceFactory Factory(GlScreenLink* Link = nullptr);
    ~GlRenderDevice() override;

    // ---- What the window presenter reads (through GlScreenLink) ----
    // Makes the device's context current on its window.
    void MakeCurrent();
    // The logical screen's framebuffer object (0 before the first frame) and size.
    uint32_t ScreenFramebuffer() const { return screen_.Fbo; }
    int ScreenWidth() const { return screen_.Width; }
    int ScreenHeight() const { return screen_.Height; }
    // What changed on the screen since the last call: Whole, or the rectangles of Out.
    void TakeScreenDamage(DamageList& Out, bool& Whole);
    // False: every frame is drawn whole (the comparison the damage is checked by).
    bool DamageLimited() const { return damageLimited_; }
    void SetDamageLimited(bool On);
    // Suspended: nobody can see the screen, so frames are not drawn; the first frame after
    // is drawn whole.
    void SetSuspended(bool Suspended);
    // Whether the last frame was redrawn whole.
    bool LastFrameWhole() const { return recorder_.Whole(); }
    // The GL renderer's name (for example "llvmpipe (LLVM 15.0.6, 256 bits)").
    const std::string& RendererName() const { return renderer_; }

    // ---- RenderDevice ----
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
    bool ReadScreen(std::vector<uint32_t>& Pixels, int& Width, int& Height) override;

private:
    struct Surface {  // a colour texture with its framebuffer
        uint32_t Fbo = 0, Color = 0;
        int Width = 0, Height = 0;
    };
    // What the GL context was last set to while replaying (so unchanged state is not set).
    struct AppliedState {
        bool Known = false;
        BlendState Blend;
        uint32_t Texture = 0;
        bool Strip = false;
    };
    friend struct GlScreenLink;
    GlRenderDevice() = default;
    bool Init(std::string* Error);
    void MakeScreen(int Width, int Height);
    void FreeScreen();
    // Starts recording when a call arrives outside a frame: such a frame draws over the
    // picture as it is, so it is replayed whole.
    bool Record();
    // Ends a frame that was recorded without BeginFrame (draws outside a frame).
    void FinishImplicitFrame();
    void FinishFrame();
    void Apply(const FrameRecorder::Command& C);
    void DeleteTexture(uint32_t Handle);
    // ---- FrameRecorder::Target ----
    void ClearScreen(uint32_t Color) override;
    void DrawQuads(const FrameRecorder::Command& C, uint32_t FirstQuad, uint32_t Quads) override;
    void DrawStrip(const FrameRecorder::Command& C) override;

    SDL_Window* window_ = nullptr;
    void* context_ = nullptr;
    GlScreenLink* link_ = nullptr;
    std::string renderer_;
    uint32_t program_ = 0, spriteVao_ = 0, spriteVbo_ = 0, stripVao_ = 0, stripVbo_ = 0;
    int uScreen_ = -1, uTextured_ = -1, uAlphaTest_ = -1, uTex_ = -1;
    uint32_t quadIndices_ = 0;
    int32_t indexedQuads_ = 0;  // rectangles the index buffer covers
    // The state the next recorded draw takes.
    uint32_t bound_ = 0;
    uint64_t boundSerial_ = 0;
    BlendState blend_;
    FrameRecorder recorder_;
    std::vector<uint32_t> releaseAfterFrame_;
    AppliedState applied_;
    bool damageLimited_ = true;
    bool suspended_ = false;
    // Every texture gets a serial number, so a handle GL hands out again is not taken for
    // the texture that had it before.
    std::unordered_map<uint32_t, uint64_t> serials_;
    uint64_t nextSerial_ = 1;
    // What changed on the screen since the presenter last looked.
    DamageList screenDamage_;
    bool screenWhole_ = true;
    Surface screen_;
};

// A hidden SDL window with OpenGL for tools, tests and benchmarks (SDL video started if
// needed; under SDL_VIDEODRIVER=offscreen no display is used). nullptr with a reason.
SDL_Window* CreateHiddenGlWindow(int Width, int Height, std::string* Error);

}  // namespace zol
