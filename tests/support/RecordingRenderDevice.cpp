#include "support/RecordingRenderDevice.h"

namespace zol::test {

void RecordingRenderDevice::BeginFrame(int32_t, int32_t) {
    if (Recording) Calls.emplace_back(DeviceCall::BeginFrame);
}

void RecordingRenderDevice::Clear(bool ClearColorToo, uint32_t Color) {
    if (!Recording) return;
    DeviceCall c(DeviceCall::Clear);
    c.ClearColorToo = ClearColorToo;
    c.Color = Color;
    Calls.push_back(std::move(c));
}

void RecordingRenderDevice::SetBlendState(const BlendState& State) {
    if (!Recording) return;
    DeviceCall c(DeviceCall::Blend);
    c.State = State;
    Calls.push_back(std::move(c));
}

void RecordingRenderDevice::BindTexture(uint32_t Handle) {
    bound_ = Handle;
    if (!Recording) return;
    DeviceCall c(DeviceCall::Bind);
    c.Texture = Handle;
    Calls.push_back(std::move(c));
}

void RecordingRenderDevice::DrawSprites(const SpriteVertex* Vertices, int32_t Count) {
    SpriteVertexCount += Count;
    ++DrawCount;
    if (!Recording) return;
    DeviceCall c(DeviceCall::Sprites);
    c.Texture = bound_;
    c.SpriteVertices.assign(Vertices, Vertices + Count);
    Calls.push_back(std::move(c));
}

void RecordingRenderDevice::DrawColorStrip(const ColorVertex* Vertices, int32_t Count) {
    ++DrawCount;
    if (!Recording) return;
    DeviceCall c(DeviceCall::Strip);
    c.ColorVertices.assign(Vertices, Vertices + Count);
    Calls.push_back(std::move(c));
}

void RecordingRenderDevice::EndFrame() {
    if (Recording) Calls.emplace_back(DeviceCall::EndFrame);
}

uint32_t RecordingRenderDevice::CreateTexture(const uint32_t* Pixels, int32_t Width,
                                              int32_t Height, bool Smooth) {
    if (FailTextures) return 0;
    RecordedTexture t;
    t.Width = Width;
    t.Height = Height;
    t.Smooth = Smooth;
    t.Pixels.assign(Pixels, Pixels + static_cast<size_t>(Width) * static_cast<size_t>(Height));
    CreatedTextures.push_back(std::move(t));
    return static_cast<uint32_t>(CreatedTextures.size());
}

void RecordingRenderDevice::ReleaseTexture(uint32_t Handle) {
    if (Handle >= 1 && Handle <= CreatedTextures.size()) CreatedTextures[Handle - 1].Released = true;
}

std::vector<const DeviceCall*> RecordingRenderDevice::Of(DeviceCall::Kind What) const {
    std::vector<const DeviceCall*> out;
    for (const auto& c : Calls)
        if (c.What == What) out.push_back(&c);
    return out;
}

}  // namespace zol::test
