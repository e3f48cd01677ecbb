// Renders what bench/loudness.sh measures, through the game's own sound modules and
// backends, so that every level, volume mapping and pan law is the one a player hears.
//
//   bench_loudness_render song DATA_DIR OUT.wav VOLUME SECONDS
//       the game's song request (back.mid looping 0..110600 at master volume VOLUME, the
//       game's own call uses 0.8) through qDMusic and FluidSynth into memory: SECONDS
//       seconds of 32-bit float stereo at the synthesiser's rate.
//   bench_loudness_render sound DATA_DIR NAME VOLUME FREQUENCY
//       one effect played as the game plays it (PlayWaveFile with the game's volume and
//       frequency) through qDSound and OpenAL Soft, held until it has ended. The caller
//       points OpenAL Soft at its wave-file writer (ALSOFT_DRIVERS=wave and an ALSOFT_CONF
//       naming the file), which mixes in real time.
//
// DATA_DIR is a build folder: the one holding midi/back.mid and wave/*.wav.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "framework/core/qFileSystem.h"
#include "framework/sound/WaveDecoder.h"
#include "framework/sound/fluidsynth/FluidMusicDevice.h"
#include "framework/sound/openal/OpenAlSoundDevice.h"
#include "framework/sound/qDMusic.h"
#include "framework/sound/qDSound.h"

namespace {

using namespace zol;

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 2; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// Interleaved stereo floats as an IEEE-float wave file.
bool WriteFloatWave(const std::string& path, const std::vector<float>& samples, int rate) {
    const uint32_t bytes = static_cast<uint32_t>(samples.size() * sizeof(float));
    std::vector<uint8_t> head = {'R', 'I', 'F', 'F'};
    Put32(head, 4 + 26 + 8 + bytes);
    head.insert(head.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put32(head, 18);
    Put16(head, 3);  // IEEE float
    Put16(head, 2);
    Put32(head, static_cast<uint32_t>(rate));
    Put32(head, static_cast<uint32_t>(rate) * 8);
    Put16(head, 8);
    Put16(head, 32);
    Put16(head, 0);
    head.insert(head.end(), {'d', 'a', 't', 'a'});
    Put32(head, bytes);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(head.data(), 1, head.size(), f) == head.size() &&
              std::fwrite(samples.data(), sizeof(float), samples.size(), f) == samples.size();
    return std::fclose(f) == 0 && ok;
}

int RenderSong(const std::string& out, float volume, double seconds) {
    FluidMusicDevice* device = nullptr;
    SetMusicDeviceFactory([&device]() -> std::unique_ptr<MusicDevice> {
        auto made = std::make_unique<FluidMusicDevice>(FluidOutput::Memory);
        device = made.get();
        return made;
    });
    if (!DMusic_Initialize(nullptr) || device == nullptr) {
        std::fprintf(stderr, "no synthesiser: %s\n", MusicErrorText().c_str());
        return 1;
    }
    if (!PlayMidiFile("back.mid", true, volume, 0, 0, 110600, 0)) {
        std::fprintf(stderr, "the song did not start (is %sback.mid there?)\n", MidiPath.c_str());
        return 1;
    }
    const int rate = device->SampleRate();
    const int64_t frames = static_cast<int64_t>(seconds * rate);
    std::vector<float> samples(static_cast<size_t>(frames) * 2);
    constexpr int kBlock = 512;
    for (int64_t done = 0; done < frames; done += kBlock) {
        const int n = static_cast<int>(std::min<int64_t>(kBlock, frames - done));
        if (!device->Render(samples.data() + done * 2, n)) return 1;
    }
    std::fprintf(stderr, "song: %s, gain %.4f, %d loop(s) taken\n", device->SoundfontPath().c_str(),
                 device->Gain(), device->LoopsTaken());
    DMusic_Release();
    return WriteFloatWave(out, samples, rate) ? 0 : 1;
}

int PlaySound(const std::string& name, float volume, float frequency) {
    WaveData wave;
    std::string error;
    if (!DecodeWaveFile(WavePath + name, wave, error) || wave.FrameBytes() <= 0) {
        std::fprintf(stderr, "%s: %s\n", name.c_str(), error.c_str());
        return 1;
    }
    SetSoundDeviceFactory([] { return std::make_unique<OpenAlSoundDevice>(); });
    if (!DSound_Initialize(nullptr)) {
        std::fprintf(stderr, "no sound device: %s\n", SoundErrorText().c_str());
        return 1;
    }
    // The file's length at the rate it is played at, and a little more for the mixer.
    const double frames = static_cast<double>(wave.Pcm.size()) / wave.FrameBytes();
    const double rate = frequency > 0 ? frequency * 99900.0 : wave.SampleRate;
    const auto length = std::chrono::duration<double>(frames / rate + 0.3);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    if (PlayWaveFile(name, false, volume, frequency, false, 0) == 0) {
        std::fprintf(stderr, "%s did not play\n", name.c_str());
        return 1;
    }
    std::this_thread::sleep_for(length);
    DSound_Release();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (argc < 3 || (mode == "song" && argc != 6) || (mode == "sound" && argc != 6) ||
        (mode != "song" && mode != "sound")) {
        std::fprintf(stderr,
                     "usage: %s song DATA_DIR OUT.wav VOLUME SECONDS\n"
                     "       %s sound DATA_DIR NAME VOLUME FREQUENCY\n",
                     argv[0], argv[0]);
        return 2;
    }
    AppPath = std::string(argv[2]) + "/";
    MidiPath = AppPath + "midi/";
    WavePath = AppPath + "wave/";
    if (mode == "song") return RenderSong(argv[3], std::strtof(argv[4], nullptr), std::strtod(argv[5], nullptr));
    return PlaySound(argv[3], std::strtof(argv[4], nullptr), std::strtof(argv[5], nullptr));
}
