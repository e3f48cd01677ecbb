// RecordingRenderDevice: the RenderDevice seam as a test double.
//
// Keeps every call with its arguments (vertices copied), so tests can assert on draw
// order, vertices, textures and blend states. With Recording false it only counts, so
// steady-state frames can be checked for allocations.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/graphics/RenderDevice.h"

namespace zol::test {

struct DeviceCall {
    enum Kind { BeginFrame, Clear, Blend, Bind, Sprites, Strip, EndFrame } What;
    explicit DeviceCall(Kind k) : What(k) {}
    bool ClearColorToo = false;
    uint32_t Color = 0;   // Clear
    BlendState State;     // Blend
    uint32_t Texture = 0; // Bind; for Sprites, the texture bound at the time
    std::vector<SpriteVertex> SpriteVertices;
    std::vector<ColorVertex> ColorVertices;
};

struct RecordedTexture {
    int32_t Width = 0, Height = 0;
    bool Smooth = false;
    std::vector<uint32_t> Pixels;
    bool Released = false;
};

class RecordingRenderDevice final : public RenderDevice {
public:
    bool Recording = true;
    std::vector<DeviceCall> Calls;
    std::vector<RecordedTexture> CreatedTextures;  // handle h is entry h - 1
    int64_t SpriteVertexCount = 0;  // counted whether recording or not
    int64_t DrawCount = 0;
    bool FailTextures = false;  // CreateTexture answers 0

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

    // The calls of one kind, in order.
    std::vector<const DeviceCall*> Of(DeviceCall::Kind What) const;

private:
    uint32_t bound_ = 0;
};

}  // namespace zol::test
