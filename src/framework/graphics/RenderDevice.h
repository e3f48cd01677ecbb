// RenderDevice: what a GPU does for the drawing module, and nothing more.
//
// What it does: clear the logical screen, set the blend and alpha-test state, bind a
// texture, draw a triangle list of sprite vertices or a triangle strip of colour
// vertices, create and release textures from decoded pixels, mark the end of a frame.
// Vertices arrive in the drawing module's own convention: logical pixels, y down, pixel
// centres on whole coordinates (sprites already carry the half-pixel shift towards the
// top-left). A backend maps that convention onto its own API. Pixels can be read back.
// Who owns what: the drawing module owns the one installed device; textures are handles
// the device hands out and takes back.
// Failure: CreateTexture returns 0; every other call has no result.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zol {

// A textured, coloured vertex (28 bytes): position, depth, 1/w, ARGB colour, texture u, v.
struct SpriteVertex {
    float X = 0, Y = 0, Z = 0, RHW = 1.0f;
    uint32_t Color = 0;
    float TU = 0, TV = 0;
};
static_assert(sizeof(SpriteVertex) == 28);

// An untextured, coloured vertex (20 bytes).
struct ColorVertex {
    float X = 0, Y = 0, Z = 0, RHW = 1.0f;
    uint32_t Color = 0;
};
static_assert(sizeof(ColorVertex) == 20);

// result = Src * SrcFactor (op) Dst * DstFactor; Min and Max ignore the factors.
enum class BlendOp : uint8_t { Add, Subtract, ReverseSubtract, Min, Max };
enum class BlendFactor : uint8_t { Zero, One, SrcColor, InvSrcColor, SrcAlpha, InvSrcAlpha };

// The fixed-function state that the blending modes set.
struct BlendState {
    bool AlphaTest = true;  // drop texels whose alpha is below 8 of 255
    bool Blend = true;      // false: the source replaces the screen
    BlendOp Op = BlendOp::Add;
    BlendFactor Src = BlendFactor::One;
    BlendFactor Dst = BlendFactor::Zero;
    bool operator==(const BlendState&) const = default;
};

class RenderDevice {
public:
    virtual ~RenderDevice() = default;
    // Starts a frame on the logical screen of Width x Height pixels.
    virtual void BeginFrame(int32_t Width, int32_t Height) = 0;
    // Clears depth, and the colour too when ClearColorToo (to the ARGB colour Color).
    virtual void Clear(bool ClearColorToo, uint32_t Color) = 0;
    // Sets blending and the alpha test for the draws that follow.
    virtual void SetBlendState(const BlendState& State) = 0;
    // Binds a texture for the sprite draws that follow (0: none, texels read as opaque white).
    virtual void BindTexture(uint32_t Handle) = 0;
    // Draws Count vertices as a triangle list, textured by the bound texture. Every six
    // vertices are one rectangle: corners 1, 2, 3, then 1 and 3 again, then corner 4.
    virtual void DrawSprites(const SpriteVertex* Vertices, int32_t Count) = 0;
    // Draws Count vertices as an untextured triangle strip.
    virtual void DrawColorStrip(const ColorVertex* Vertices, int32_t Count) = 0;
    // Ends the frame: the logical screen holds the finished picture.
    virtual void EndFrame() = 0;
    // A texture from Width x Height ARGB pixels (0xAARRGGBB, rows top first); 0 on failure.
    // Smooth tells how the image would be resampled; drawing always samples by point.
    virtual uint32_t CreateTexture(const uint32_t* Pixels, int32_t Width, int32_t Height,
                                   bool Smooth) = 0;
    // Gives a texture back.
    virtual void ReleaseTexture(uint32_t Handle) = 0;
    // The logical screen as it is now: rows top first, bytes R, G, B, A per pixel
    // (SDL_PIXELFORMAT_RGBA32). False when this device keeps no pixels.
    virtual bool ReadScreen(std::vector<uint32_t>& Pixels, int& Width, int& Height) {
        (void)Pixels, (void)Width, (void)Height;
        return false;
    }
};

// Makes the device for a platform window; accelerated false accepts any renderer
// (software ones included). On failure: nullptr, with a reason in *Error.
using RenderDeviceFactory =
    std::function<std::unique_ptr<RenderDevice>(void* Window, bool Accelerated, std::string* Error)>;

// Installs the factory Device_InitWindowed uses (an empty one: run without a device).
void SetRenderDeviceFactory(RenderDeviceFactory Factory);
// The device in use, or nullptr when drawing runs without one.
RenderDevice* GetRenderDevice();

}  // namespace zol
