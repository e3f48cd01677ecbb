// What one sound request and one second of music cost: the wave module's lookup and play
// on the recording double and on OpenAL Soft (null output), FluidSynth rendering the music
// into memory, and opening either device.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "framework/core/qFileSystem.h"
#include "framework/sound/fluidsynth/FluidMusicDevice.h"
#include "framework/sound/openal/OpenAlSoundDevice.h"
#include "framework/sound/qDMusic.h"
#include "framework/sound/qDSound.h"
#include "sound/SoundTestFiles.h"
#include "support/RecordingSoundDevice.h"

namespace zol {
namespace {

const char* const kGameSounds[] = {"hui.wav",   "clack.wav", "ammo.wav",  "bomb.wav",  "gameover.wav",
                                   "gameover2.wav", "pause.wav", "ready.wav", "dip.wav", "hit.wav"};

// The game's ten sounds loaded; every iteration plays the last one found (the longest lookup).
void PlayLoadedWave(benchmark::State& state, SoundDeviceFactory factory) {
    setenv("ALSOFT_DRIVERS", "null", 0);
    testfiles::ScratchFolder folder("bench_wave");
    WavePath = folder.Path();
    for (const char* name : kGameSounds) testfiles::WriteBytes(WavePath + name, testfiles::WaveFile(22050, 1, 16, 4000));
    SetSoundDeviceFactory(std::move(factory));
    if (!DSound_Initialize(nullptr)) {
        state.SkipWithError(SoundErrorText().c_str());
        return;
    }
    for (const char* name : kGameSounds) PlayWaveFile(name, false, 0, 0, false, 0);
    const std::string last = "HIT.WAV";
    for (auto _ : state) benchmark::DoNotOptimize(PlayWaveFile(last, false, 0.9f, 0.3f, false, 0));
    DSound_Release();
    SetSoundDeviceFactory(nullptr);
}

void BM_PlayWaveFile_Recording(benchmark::State& state) {
    PlayLoadedWave(state, RecordingSoundFactory(std::make_shared<SoundRecord>()));
}
BENCHMARK(BM_PlayWaveFile_Recording);

void BM_PlayWaveFile_OpenAl(benchmark::State& state) {
    PlayLoadedWave(state, [] { return std::make_unique<OpenAlSoundDevice>(); });
}
BENCHMARK(BM_PlayWaveFile_OpenAl);

// One second of a busy song (a note on every eighth, 240 beats per minute, looping).
void BM_FluidRenderOneSecond(benchmark::State& state) {
    testfiles::MidiWriter w(768);
    w.Track().Add(0, {0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90}).Program(0, 0);
    for (uint32_t i = 0; i < 256; ++i) w.Note(i * 384, 380, static_cast<uint8_t>(48 + (i * 7) % 36));
    w.End(256 * 384);
    FluidMusicDevice device(FluidOutput::Memory);
    if (!device.Open() || !device.LoadSong(w.Bytes()) || !device.SetRepeat(true) ||
        !device.SetLoopPoints(0, 256 * 384) || !device.Play()) {
        state.SkipWithError("FluidSynth did not start");
        return;
    }
    std::vector<float> out(2 * 512);
    for (auto _ : state) {
        for (int done = 0; done < device.SampleRate(); done += 512) device.Render(out.data(), 512);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["realtime_x"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                      benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FluidRenderOneSecond)->Unit(benchmark::kMillisecond);

// Opening the synthesiser: mostly loading the General MIDI soundfont (start-up cost).
void BM_FluidOpen(benchmark::State& state) {
    for (auto _ : state) {
        FluidMusicDevice device(FluidOutput::Memory);
        if (!device.Open()) state.SkipWithError(device.ErrorText().c_str());
    }
}
BENCHMARK(BM_FluidOpen)->Unit(benchmark::kMillisecond)->Iterations(5);

// Opening OpenAL Soft's output (null output unless ALSOFT_DRIVERS says otherwise).
void BM_OpenAlOpen(benchmark::State& state) {
    setenv("ALSOFT_DRIVERS", "null", 0);
    for (auto _ : state) {
        OpenAlSoundDevice device;
        if (!device.Open()) state.SkipWithError(device.ErrorText().c_str());
    }
}
BENCHMARK(BM_OpenAlOpen)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace
}  // namespace zol

BENCHMARK_MAIN();
