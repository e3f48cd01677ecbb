// Placeholder: particles are not built yet.
#include "game/mParticles.h"

namespace zol {

std::vector<Particle> Particles(1);
int32_t ParticleCount = 0;

void AddParticle(float, float, int32_t, float) {}
void UpdateParticles() {}
void RenderParticles(int32_t) {}
void ClearParticles() {}

}  // namespace zol
