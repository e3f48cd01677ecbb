// Shared state of the drawing module's source files (not part of its interface).
#pragma once

#include <memory>
#include <vector>

#include "framework/graphics/RenderDevice.h"
#include "framework/graphics/qDDraw.h"

namespace zol::ddraw {

// The device in use (nullptr: drawing keeps its bookkeeping and reaches no GPU).
extern std::unique_ptr<RenderDevice> Device;

// One sprite batch: the vertices of one texture since the last flush.
struct PolyBuffer {
    int32_t TextureIndex = 0;
    int32_t Capacity = 0;  // highest usable index of Vertices
    int32_t Count = 0;     // vertices in use, a multiple of 6
    std::vector<SpriteVertex> Vertices;
};

// The scale from logical to device pixels that flushes and BltSurface apply.
void TargetScale(float& SX, float& SY);
// Puts the blend state back to the device's fixed start-up states and sends it.
void ApplyDefaultStates();
// Forgets the device-side half of every texture (the device is going away).
void ReleaseAllTextures();

}  // namespace zol::ddraw
