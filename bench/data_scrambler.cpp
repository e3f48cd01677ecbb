// The scrambler against the latency of its own arithmetic, and Crc32 against zlib.
//
// Qcode runs two generator steps per byte (warm-up and output), each a double division
// whose divisor depends on the previous step, so a dependent chain of two divisions per
// byte (DivisionChain) is the bound it is measured against.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <bit>
#include <cstdint>
#include <vector>

#include "framework/core/qCrc32.h"
#include "framework/data/qEncrypt.h"

namespace {

constexpr size_t kMiB = 1 << 20;

std::vector<uint8_t> Data(size_t n) {
    std::vector<uint8_t> d(n);
    uint32_t x = 12345;
    for (auto& b : d) b = static_cast<uint8_t>((x = x * 1103515245u + 12345u) >> 24);
    return d;
}

void CyclesPerByte(benchmark::State& state, size_t bytesPerIteration) {
    const double hz = benchmark::CPUInfo::Get().cycles_per_second;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytesPerIteration));
    state.counters["cycles_per_byte"] = benchmark::Counter(
        static_cast<double>(state.iterations() * bytesPerIteration) / hz,
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_Qcode1MiB(benchmark::State& state) {
    std::vector<uint8_t> d = Data(kMiB);
    for (auto _ : state) {
        zol::Qcode(d, "A1B2C3", true);
        benchmark::DoNotOptimize(d.data());
    }
    CyclesPerByte(state, kMiB);
}
BENCHMARK(BM_Qcode1MiB)->Unit(benchmark::kMillisecond);

// The same dependent chain of divisions with nothing else around it.
void BM_DivisionChain1MiB(benchmark::State& state) {
    for (auto _ : state) {
        uint8_t b = 7;
        for (size_t i = 0; i < 2 * kMiB; ++i) {
            const double t = static_cast<double>(i + 1);
            const float q = static_cast<float>(t / (t + b));
            b = static_cast<uint8_t>(std::bit_cast<uint32_t>(q));
        }
        benchmark::DoNotOptimize(b);
    }
    CyclesPerByte(state, kMiB);
}
BENCHMARK(BM_DivisionChain1MiB)->Unit(benchmark::kMillisecond);

void BM_Crc32(benchmark::State& state) {
    const std::vector<uint8_t> d = Data(16 * kMiB);
    for (auto _ : state) benchmark::DoNotOptimize(zol::Crc32(d));
    CyclesPerByte(state, d.size());
}
BENCHMARK(BM_Crc32)->Unit(benchmark::kMillisecond);

void BM_ZlibCrc32(benchmark::State& state) {
    const std::vector<uint8_t> d = Data(16 * kMiB);
    for (auto _ : state) benchmark::DoNotOptimize(crc32_z(0L, d.data(), d.size()));
    CyclesPerByte(state, d.size());
}
BENCHMARK(BM_ZlibCrc32)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
