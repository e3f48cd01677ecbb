// Stream files and the byte stream: a compressed 16 MiB file written and read against
// zlib's compress and uncompress alone, and one million WriteLong calls.
#include <benchmark/benchmark.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/data/qStream.h"
#include "framework/data/qStreamFile.h"

namespace {

constexpr size_t kSize = 16 << 20;

// Text-like data that compresses about 3 to 1, like serialised objects do.
const std::vector<uint8_t>& Data() {
    static const std::vector<uint8_t> d = [] {
        std::vector<uint8_t> out(kSize);
        uint32_t x = 99;
        for (auto& b : out) {
            x = x * 1103515245u + 12345u;
            b = static_cast<uint8_t>('a' + ((x >> 16) % 13));
        }
        return out;
    }();
    return d;
}

const std::string& Path() {
    static const std::string p = "/tmp/zol-bench-" + std::to_string(::getpid()) + ".qrt";
    return p;
}

void BM_StreamFileWriteReadZipped16MiB(benchmark::State& state) {
    const auto& d = Data();
    std::vector<uint8_t> back;
    for (auto _ : state) {
        if (!zol::FileWriteData(Path(), d, true, "") || !zol::FileReadData(Path(), back, "")) {
            state.SkipWithError("stream file failed");
            break;
        }
        benchmark::DoNotOptimize(back.data());
    }
    ::unlink(Path().c_str());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kSize));
}
BENCHMARK(BM_StreamFileWriteReadZipped16MiB)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ZlibCompressUncompress16MiB(benchmark::State& state) {
    const auto& d = Data();
    std::vector<uint8_t> z(compressBound(kSize)), back(kSize);
    for (auto _ : state) {
        uLongf zn = z.size(), bn = back.size();
        compress(z.data(), &zn, d.data(), kSize);
        uncompress(back.data(), &bn, z.data(), zn);
        benchmark::DoNotOptimize(back.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kSize));
}
BENCHMARK(BM_ZlibCompressUncompress16MiB)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MillionWriteLong(benchmark::State& state) {
    for (auto _ : state) {
        zol::qStream s;
        for (int32_t i = 0; i < 1000000; ++i) s.WriteLong(i);
        benchmark::DoNotOptimize(s.GetLength());
    }
    state.SetItemsProcessed(state.iterations() * 1000000);
}
BENCHMARK(BM_MillionWriteLong)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
