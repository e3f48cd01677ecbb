// Screen effects: a plain rectangle drawn at once, and the gamma and tint overlays that
// brighten, darken or colour the whole logical screen through the blending modes.
#include "framework/core/qCore.h"
#include "framework/graphics/qDDraw_Internal.h"

namespace zol {

void BltSurface(float X, float Y, float Width, float Height, Color32 Color) {
    ColorVertex v[4];
    const float xy[4][2] = {{X, Y}, {X + Width, Y}, {X, Y + Height}, {X + Width, Y + Height}};
    float sx, sy;
    ddraw::TargetScale(sx, sy);
    const bool scale = sx * sy != 1.0f;
    for (int i = 0; i < 4; ++i) {
        v[i].X = scale ? xy[i][0] * sx : xy[i][0];
        v[i].Y = scale ? xy[i][1] * sy : xy[i][1];
        v[i].Color = Color;
    }
    // Drawn now, without flushing: sprites still batched land on top of it.
    if (auto* device = ddraw::Device.get()) device->DrawColorStrip(v, 4);
}

void ApplyGamma(float Gamma) {
    if (Gamma > 0) {
        const float g = Gamma > 1 ? 1.0f : Gamma;
        SetAlphaMode(10);
        BltSurface(0, 0, static_cast<float>(ScreenWidth), static_cast<float>(ScreenHeight),
                   ColorRGB(g, g, g));
    } else if (Gamma < 0) {
        const float g = Gamma < -1 ? 1.0f : -Gamma;
        SetAlphaMode(20);
        BltSurface(0, 0, static_cast<float>(ScreenWidth), static_cast<float>(ScreenHeight),
                   ColorRGB(g, g, g));
    }
}

void ApplyTint(float R, float G, float B) {
    SetAlphaMode(10);
    BltSurface(0, 0, static_cast<float>(ScreenWidth), static_cast<float>(ScreenHeight),
               ColorRGB(Clamp(R, 0, 1), Clamp(G, 0, 1), Clamp(B, 0, 1)));
}

}  // namespace zol
