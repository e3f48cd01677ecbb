// One tick of the game logic on a busy board, against the null drawing backend, and the
// heap allocations of steady ticks (global operator new is counted in this program).
//
//   bench_game_tick --benchmark_repetitions=9 --benchmark_report_aggregates_only=true
//
// tick_us is the CPU time of one tick (shown in seconds with an SI prefix); allocs_per_1000_ticks must stay 0.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "framework/core/qKeys.h"
#include "framework/graphics/mDText.h"
#include "game/mParticles.h"
#include "support/GameHarness.h"

namespace {
std::atomic<long> g_allocations{0};
}

// The replacements pair malloc with free throughout; GCC cannot see that across them.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t n) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t n) { return operator new(n); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace zol {
namespace {

constexpr int kTicksPerBoard = 40;

// A new game with every cell filled and changing, a chain under way, particles and
// floating texts alive. Writes into storage that is already there: no allocation once warm.
void MakeBusy(test::GameHarness& h, SplitMix64& fill) {
    h.game.ResetGame(true);
    GameRecord& g = h.G();
    for (int x = 0; x < kMapColumns; ++x) {
        for (int y = 0; y < kMapRows; ++y) {
            cBlock& b = g.Map[x][y];
            b.Kind = 1 + static_cast<int32_t>(fill.Next() * 5);
            b.OldKind = b.Kind;
            b.State = cBlock::Changing;
            b.Progress = static_cast<float>(fill.Next());  // they finish at different ticks
        }
    }
    g.GamePhase = PhasePairs;
    g.CurrentChain = 3;
    g.StepPairs = 3;
    g.GameFrames = 500;
    ClearParticles();
    for (int i = 0; i < 300; ++i) AddParticle(static_cast<float>(i), 100, i % 2, 1);
    ClearTexts();
    for (int i = 0; i < 12; ++i) AddText(g.FontMinco, 10, 10, "Level Up", 10, 30, 0, 0, 1500, 10);
}

void BM_BusyTick(benchmark::State& state) {
    test::GameHarness h(1, false);
    SplitMix64 fill(9);
    int64_t ticks = 0;
    for (auto _ : state) {
        MakeBusy(h, fill);
        h.Tick(kTicksPerBoard);
        ticks += kTicksPerBoard;
    }
    state.counters["tick_us"] =
        benchmark::Counter(static_cast<double>(ticks),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_BusyTick)->Unit(benchmark::kMicrosecond);

// Allocations over 1,000 ticks after 1,000 ticks of warm-up: busy boards, then free play.
void BM_SteadyAllocations(benchmark::State& state) {
    test::GameHarness h(2, false);
    SplitMix64 fill(10), hand(11);
    const int keys[] = {vk::Left, vk::Up, vk::Down, vk::Space, vk::Return};
    auto play = [&](int n, bool busy) {
        for (int i = 0; i < n; ++i) {
            if (busy && i % kTicksPerBoard == 0) MakeBusy(h, fill);
            if (!busy) {
                const double r = hand.Next();
                if (r < 0.1) h.Press(keys[static_cast<int>(hand.Next() * 5)]);
                if (r > 0.95) h.Release(vk::Left);
            }
            h.Tick();
        }
    };
    long busyAllocs = 0, playAllocs = 0;
    for (auto _ : state) {
        play(1000, true);
        long before = g_allocations.load();
        play(1000, true);
        busyAllocs = g_allocations.load() - before;
        h.game.ResetGame(true);
        play(1000, false);
        before = g_allocations.load();
        play(1000, false);
        playAllocs = g_allocations.load() - before;
    }
    state.counters["busy_allocs_per_1000_ticks"] = static_cast<double>(busyAllocs);
    state.counters["play_allocs_per_1000_ticks"] = static_cast<double>(playAllocs);
}
BENCHMARK(BM_SteadyAllocations)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zol

BENCHMARK_MAIN();
