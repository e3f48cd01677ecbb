// Fuzzes the wave decoder with arbitrary file contents: it decodes to PCM a buffer can
// hold, or refuses with a reason and leaves the wave empty.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "framework/sound/WaveDecoder.h"

namespace {
std::string TempPath() {
    static const std::string path = [] {
        const char* dir = std::getenv("TMPDIR");
        return std::string(dir && *dir ? dir : "/tmp") + "/zol-fuzz-wave-" +
               std::to_string(getpid()) + ".wav";
    }();
    return path;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = TempPath();
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);

    zol::WaveData wave;
    std::string why;
    if (!zol::DecodeWaveFile(path, wave, why)) {
        if (why.empty() || !wave.Pcm.empty()) std::abort();
        return 0;
    }
    if (wave.Channels != 1 && wave.Channels != 2) std::abort();
    if (wave.BitsPerSample != 8 && wave.BitsPerSample != 16) std::abort();
    if (wave.SampleRate < 1) std::abort();
    // Whole sample frames only.
    if (wave.Pcm.size() % static_cast<size_t>(wave.FrameBytes()) != 0) std::abort();
    return 0;
}
