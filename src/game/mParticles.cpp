#include "game/mParticles.h"

#include <cmath>

#include "framework/core/qCore.h"
#include "framework/core/qRandom.h"
#include "framework/graphics/qDDraw.h"
#include "game/GameRecord.h"

namespace zol {

namespace {
// Room for a few full-board explosions before the table ever has to grow.
constexpr size_t kInitialCapacity = 1024;

std::vector<Particle> MakeTable() {
    std::vector<Particle> table(1);
    table.reserve(kInitialCapacity);
    return table;
}

// A colour channel as a byte, rounded half to even and kept within 0..255.
uint32_t ChannelByte(float factor, float brightness) {
    const int32_t v = CLng(static_cast<double>(factor) * static_cast<double>(brightness));
    return static_cast<uint32_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}
}  // namespace

std::vector<Particle> Particles = MakeTable();
int32_t ParticleCount = 0;

void AddParticle(float X, float Y, int32_t Type, float Scale) {
    Particle p;
    p.X = X;
    p.Y = Y;
    p.Life = 50;
    p.Brightness = 255;
    p.Scale = Scale;
    p.Type = Type;
    p.Frame = static_cast<float>(32.0 * std::floor(7.0 * Rnd()));
    if (Type == 0) {
        p.R = 1.0f, p.G = 1.0f, p.B = 1.0f;
    } else {
        p.R = 0.8f, p.G = 1.0f, p.B = 1.0f;
    }
    // Slot 0 is unused, so the table always holds ParticleCount + 1 entries.
    Particles.resize(static_cast<size_t>(ParticleCount) + 1);
    Particles.push_back(p);
    ++ParticleCount;
}

void UpdateParticles() {
    if (Particles.size() < static_cast<size_t>(ParticleCount) + 1) ParticleCount = 0;
    int32_t kept = 0;
    for (int32_t i = 1; i <= ParticleCount; ++i) {
        Particle& p = Particles[i];
        p.Life -= 2;
        p.Brightness = static_cast<float>(255.0 / 50.0 * p.Life);
        if (p.Type == 0) p.Scale = static_cast<float>(p.Scale + 0.05);
        if (p.Life > 0) Particles[++kept] = p;
    }
    ParticleCount = kept;
    Particles.resize(static_cast<size_t>(kept) + 1);  // shrinking keeps the storage
}

void RenderParticles(int32_t Type) {
    const int32_t tex = Game.TexParticles;
    for (int32_t i = 1; i <= ParticleCount && i < static_cast<int32_t>(Particles.size()); ++i) {
        const Particle& p = Particles[i];
        if (Type >= 0 && p.Type != Type) continue;
        const Color32 color = 0xFF000000u | (ChannelByte(p.R, p.Brightness) << 16) |
                              (ChannelByte(p.G, p.Brightness) << 8) | ChannelByte(p.B, p.Brightness);
        const float size = 32 * p.Scale;
        BltRotate(tex, p.X - 16 * p.Scale, p.Y - 16 * p.Scale, size, size,
                  static_cast<int32_t>(p.Frame), 32 * p.Type, 32, 32, color, 0, 16, 16, 1);
    }
}

void ClearParticles() {
    Particles.resize(1);
    ParticleCount = 0;
}

}  // namespace zol
