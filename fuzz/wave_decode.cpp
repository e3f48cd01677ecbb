// Fuzzes the wave decoder with arbitrary file contents: it decodes to PCM a buffer can
// hold, or refuses with a reason and leaves the wave empty.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzFile.h"
#include "framework/sound/WaveDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = zol::fuzz::WriteInputFile("wave", ".wav", data, size);

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
