// The random source: one generator of uniform numbers in [0, 1) for the whole program.
//
// Start-up seeds it from the clock; tests and tools install a seeded or scripted source
// so that every draw, in the order the rules make them, can be replayed.
#pragma once

#include <cstdint>
#include <memory>

namespace zol {

// A generator of uniform numbers in [0, 1).
class RandomSource {
public:
    virtual ~RandomSource() = default;
    // The next number in [0, 1).
    virtual double Next() = 0;
};

// splitmix64; each draw is (next >> 11) * 2^-53.
class SplitMix64 final : public RandomSource {
public:
    explicit SplitMix64(uint64_t Seed) : state_(Seed) {}
    double Next() override;
    // The next raw 64-bit output.
    uint64_t NextBits();

private:
    uint64_t state_;
};

// The next uniform number in [0, 1) from the installed source.
double Rnd();
// Installs a source (the previous one is dropped); nullptr reinstalls a clock-seeded one.
void SetRandomSource(std::unique_ptr<RandomSource> Source);
// Seeds a new splitmix64 source from the system clock.
void SeedRandomFromClock();
// Draws made since the last source was installed.
uint64_t RndDrawCount();

}  // namespace zol
