// mParticles: short-lived sparks thrown off by blocks.
//
// Each particle is a 32 x 32 cell of the particle sheet, drawn additively, fading out
// over 25 ticks; type 0 also grows. Particles do not move.
// The table is module-level and compacted after every update; its storage only grows.
#pragma once

#include <cstdint>
#include <vector>

namespace zol {

struct Particle {
    float X = 0, Y = 0;       // centre, logical pixels
    int32_t Life = 0;         // 50 at birth, 2 less per tick
    float Brightness = 0;     // 255 at birth, then 5.1 x Life
    float Scale = 1;          // the particle is 32 x Scale pixels square
    float R = 1, G = 1, B = 1;
    float Frame = 0;          // source x in the sheet: 32 x 0..6
    int32_t Type = 0;         // 0 break-up, 1 dust, 2 unused by the game
};

// Live particles in spawn order: Particles[1..ParticleCount] (slot 0 unused).
extern std::vector<Particle> Particles;
extern int32_t ParticleCount;

// Spawns a particle of Type (0, 1 or 2) at (X, Y).
void AddParticle(float X, float Y, int32_t Type, float Scale);
// One tick for every particle; dead ones are dropped.
void UpdateParticles();
// Draws the particles of Type, or all of them when Type is negative.
void RenderParticles(int32_t Type);
// Removes every particle (tests and tools start from an empty table).
void ClearParticles();

}  // namespace zol
