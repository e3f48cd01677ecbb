#include "framework/core/qRandom.h"

#include <chrono>

namespace zol {

namespace {
std::unique_ptr<RandomSource> g_source;
uint64_t g_draws = 0;
}  // namespace

uint64_t SplitMix64::NextBits() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double SplitMix64::Next() { return static_cast<double>(NextBits() >> 11) * 0x1.0p-53; }

double Rnd() {
    if (!g_source) SeedRandomFromClock();
    ++g_draws;
    return g_source->Next();
}

void SetRandomSource(std::unique_ptr<RandomSource> Source) {
    if (!Source) {
        SeedRandomFromClock();
        return;
    }
    g_source = std::move(Source);
    g_draws = 0;
}

void SeedRandomFromClock() {
    const auto now = std::chrono::system_clock::now().time_since_epoch().count();
    g_source = std::make_unique<SplitMix64>(static_cast<uint64_t>(now));
    g_draws = 0;
}

uint64_t RndDrawCount() { return g_draws; }

}  // namespace zol
