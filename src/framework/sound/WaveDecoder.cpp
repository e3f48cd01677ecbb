#include "framework/sound/WaveDecoder.h"

#include <SDL.h>

#include <cstdint>
#include <cstring>

#include "framework/core/qDecodeMemory.h"

namespace zol {

namespace {

// Frees SDL's sample memory on every path out.
struct SdlWaveMemory {
    Uint8* data = nullptr;
    ~SdlWaveMemory() { SDL_FreeWAV(data); }
};

}  // namespace

bool DecodeWaveFile(const std::string& Path, WaveData& Wave, std::string& Error) {
    Wave = WaveData{};
    LimitDecodeAllocations();
    SDL_RWops* file = SDL_RWFromFile(Path.c_str(), "rb");
    if (file == nullptr) {
        Error = "cannot open " + Path;
        return false;
    }
    SDL_AudioSpec audio{};
    SdlWaveMemory samples;
    Uint32 length = 0;
    if (SDL_LoadWAV_RW(file, 1, &audio, &samples.data, &length) == nullptr) {
        Error = std::string("not a readable wave file: ") + SDL_GetError();
        return false;
    }
    if (audio.freq <= 0 || audio.channels == 0) {
        Error = "wave file without a sample rate or channels";
        return false;
    }

    // 8-bit files stay 8-bit (unsigned, as the buffers take them); all others become
    // 16-bit. Buffers hold mono or stereo only.
    const bool eightBit = SDL_AUDIO_BITSIZE(audio.format) == 8;
    const SDL_AudioFormat target = eightBit ? AUDIO_U8 : AUDIO_S16SYS;
    const Uint8 channels = audio.channels >= 2 ? 2 : 1;

    SDL_AudioCVT cvt;
    const int build = SDL_BuildAudioCVT(&cvt, audio.format, audio.channels, audio.freq, target,
                                        channels, audio.freq);
    if (build < 0) {
        Error = std::string("unsupported wave encoding: ") + SDL_GetError();
        return false;
    }
    const size_t frameIn = static_cast<size_t>(SDL_AUDIO_BITSIZE(audio.format) / 8) * audio.channels;
    length -= static_cast<Uint32>(length % frameIn);  // a torn last frame is dropped
    if (build == 0) {
        Wave.Pcm.assign(samples.data, samples.data + length);
    } else {
        if (length > static_cast<Uint32>(INT32_MAX / (cvt.len_mult > 0 ? cvt.len_mult : 1))) {
            Error = "wave file too large";
            return false;
        }
        std::vector<uint8_t> work(static_cast<size_t>(length) * static_cast<size_t>(cvt.len_mult));
        if (length > 0) std::memcpy(work.data(), samples.data, length);
        cvt.buf = work.data();
        cvt.len = static_cast<int>(length);
        if (SDL_ConvertAudio(&cvt) != 0) {
            Error = std::string("cannot convert wave samples: ") + SDL_GetError();
            return false;
        }
        work.resize(static_cast<size_t>(cvt.len_cvt));
        Wave.Pcm = std::move(work);
    }
    Wave.SampleRate = audio.freq;
    Wave.Channels = channels;
    Wave.BitsPerSample = eightBit ? 8 : 16;
    return true;
}

}  // namespace zol
