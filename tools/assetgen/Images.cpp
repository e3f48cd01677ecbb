// The board background and the particle sheet.
#include <algorithm>
#include <cmath>

#include "Assets.h"

namespace zol::assetgen {
namespace {

constexpr float kPi = 3.14159265f;

// A bright point with a soft halo, used for sparks: 1 at the centre, 0 at r0.
float Halo(float r, float r0) { return std::exp(-r * r / (2 * r0 * r0 / 9)); }

// `n` rays fading out at `length`; a higher sharpness makes them thinner.
float Rays(float dx, float dy, int n, float sharpness, float length, float rotation) {
    const float r = std::hypot(dx, dy);
    const float a = std::atan2(dy, dx) + rotation;
    const float beam = std::pow(std::fabs(std::cos(a * n / 2.0f)), sharpness);
    return beam * Sat(1 - r / length);
}

// One spark frame: every frame a different shape so that a burst looks varied.
float SparkValue(int frame, float dx, float dy) {
    const float r = std::hypot(dx, dy);
    switch (frame) {
    case 0: return Halo(r, 7) + Rays(dx, dy, 4, 40, 15, 0);
    case 1: return Halo(r, 5) + 0.9f * Rays(dx, dy, 8, 30, 13, 0.2f);
    case 2: return Halo(r, 9) * 0.7f + Halo(r, 3);
    case 3: return Halo(r, 5) + Rays(dx, dy, 6, 50, 14, 0.5f);
    case 4: {
        // A small cluster of hot grains.
        float v = 0;
        Noise grains(400);
        for (int i = 0; i < 5; ++i) {
            const float gx = grains.Range(-8, 8), gy = grains.Range(-8, 8);
            v += Halo(std::hypot(dx - gx, dy - gy), i == 0 ? 5.0f : 3.5f);
        }
        return v;
    }
    case 5: return std::exp(-std::pow((r - 9) / 2.2f, 2)) * 0.9f + Halo(r, 4) * 0.6f;
    default: {
        const float diamond = std::fabs(dx) + std::fabs(dy);
        return Sat(1 - diamond / 10) * Sat(1 - diamond / 10) + Rays(dx, dy, 4, 60, 15, kPi / 4);
    }
    }
}

// One dust puff: overlapping soft blobs with a grainy inside.
float PuffValue(int frame, int type, float dx, float dy) {
    Noise layout(1000 + 37 * frame + 500 * type);
    float v = 0;
    const int blobs = 4 + frame % 3;
    for (int i = 0; i < blobs; ++i) {
        const float bx = layout.Range(-4.5f, 4.5f), by = layout.Range(-3.5f, 4.5f);
        const float br = layout.Range(3.5f, 6.0f) * (type == 2 ? 0.85f : 1.0f);
        const float d2 = (dx - bx) * (dx - bx) + (dy - by) * (dy - by);
        v = std::max(v, std::exp(-d2 / (2 * br * br)));
    }
    static const TileNoise grain(32, 77);
    const float g = 0.75f + 0.5f * grain.At(dx * 0.6f + frame * 7 + type * 3, dy * 0.6f);
    // Round off towards the rim so a puff never shows the square of its cell.
    return v * g * 0.9f * SmoothStep(14.5f, 7.0f, std::hypot(dx, dy));
}

}  // namespace

bool WriteBackground(const std::string& imgDir, std::string& error) {
    // Periodic noise and waves whose periods divide 128, so copies meet seamlessly.
    constexpr int kSize = 128;
    const TileNoise coarse(8, 11), fine(32, 12);
    const Col deep = Rgb255(14, 18, 34), light = Rgb255(36, 44, 72), tint = Rgb255(30, 52, 70);
    Canvas back(kSize, kSize, kBlack);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const float n = 0.65f * coarse.At(x / 16.0f, y / 16.0f) + 0.35f * fine.At(x / 4.0f, y / 4.0f);
            const float weave = 0.5f + 0.5f * std::cos(2 * kPi * (x + y) / 64.0f) *
                                           std::cos(2 * kPi * (x - y) / 64.0f);
            const float t = Sat(0.15f + 0.6f * n + 0.18f * weave);
            const float teal = 0.5f + 0.5f * std::sin(2 * kPi * x / 128.0f) * std::cos(2 * kPi * y / 128.0f);
            back.Set(x, y, ToRgba(Mix(Mix(deep, light, t), tint, 0.25f * teal)));
        }
    return back.SavePng(imgDir + "/back.png", error);
}

bool WriteParticles(const std::string& imgDir, std::string& error) {
    // Drawn additively without a key: black shows nothing, brightness is the shape,
    // and alpha stays opaque so the alpha test never drops a pixel.
    constexpr int kCell = 32, kFrames = 7, kTypes = 3;
    Canvas sheet(kCell * kFrames, kCell * kTypes, kBlack);
    for (int type = 0; type < kTypes; ++type)
        for (int frame = 0; frame < kFrames; ++frame) {
            for (int y = 0; y < kCell; ++y)
                for (int x = 0; x < kCell; ++x) {
                    const float dx = x + 0.5f - 16, dy = y + 0.5f - 16;
                    float v = type == 0 ? SparkValue(frame, dx, dy) : PuffValue(frame, type, dx, dy);
                    // Black at the cell border, so smoothing never bleeds between cells.
                    v *= SmoothStep(15.5f, 12.5f, std::max(std::fabs(dx), std::fabs(dy)));
                    v = Sat(v);
                    const Col c = type == 0 ? Col{v, v, v} : Col{v * 0.96f, v * 0.94f, v * 0.90f};
                    sheet.Set(frame * kCell + x, type * kCell + y, ToRgba(c));
                }
        }
    return sheet.SavePng(imgDir + "/particles.png", error);
}

}  // namespace zol::assetgen
