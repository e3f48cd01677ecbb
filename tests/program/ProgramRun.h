// Helpers for running the real program in-process: a key script, a record of every tick
// and every message box, and device makers that fail or count.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/graphics/gl/GlRenderDevice.h"
#include "framework/sound/fluidsynth/FluidMusicDevice.h"
#include "framework/sound/qDMusic.h"
#include "framework/sound/qDSound.h"
#include "game/GameRecord.h"
#include "game/frmMain.h"
#include "support/ProgramRunner.h"

namespace zol::test {

// What the game window looked like after one timer tick.
struct TickRecord {
    int32_t Tick = 0, GameFrames = 0, EditCount = 0, EditX = 0, EditY = 0, Phase = 0;
    bool Paused = false;
    bool Drawing = false, Sound = false, Music = false;  // which devices were open
};

// One program run: options to fill in, then Run; afterwards the ticks and messages.
struct ProgramRun {
    RunOptions Options;
    std::vector<TickRecord> Ticks;
    std::vector<ShownMessage> Messages;

    ProgramRun() {
        Options.AlwaysForeground = true;
        Options.OnTick = [this](const frmMain& f, int32_t tick) {
            Ticks.push_back({tick, Game.GameFrames, f.EditCount, f.EditX, f.EditY, Game.GamePhase,
                             f.Paused, GetRenderDevice() != nullptr, SoundEnabled,
                             MusicEnabled});
        };
        Options.OnMessage = [this](const ShownMessage& m) { Messages.push_back(m); };
    }

    // Presses Key after tick At and releases it after the next tick.
    void Tap(int32_t At, SDL_Keycode Key) {
        Options.Script.push_back({At, KeyEvent(true, Key)});
        Options.Script.push_back({At + 1, KeyEvent(false, Key)});
    }
    // Escape after tick At: the game closes its window on the next tick.
    void QuitAfter(int32_t At) { Tap(At, SDLK_ESCAPE); }
    int Run() {
        // Nobody sits at the window: unless a test answers its boxes itself, Escape closes
        // each (OK, No or Cancel).
        if (!Options.OnBox)
            Options.OnBox = [](const std::string&) {
                SDL_Event e = KeyEvent(true, SDLK_ESCAPE);
                SDL_PushEvent(&e);
            };
        return RunProgram(Options);
    }
    // The messages with this title.
    int CountTitled(const std::string& Title) const {
        int n = 0;
        for (const auto& m : Messages) n += m.Title == Title;
        return n;
    }
};

// Music through the real FluidSynth, without an audio driver (the song is loaded and
// started but nothing pulls its samples).
inline MusicDeviceFactory SilentFluidSynth() {
    return [] { return std::make_unique<FluidMusicDevice>(FluidOutput::Memory); };
}

// A sound device that has no output: Open fails with a reason.
class NoSoundDevice final : public SoundDevice {
public:
    bool Open() override { return false; }
    std::unique_ptr<SoundBuffer> CreateBuffer(const WaveData&) override { return nullptr; }
    int32_t ErrorCode() const override { return kSoundErrNoDevice; }
    std::string ErrorText() const override { return "no sound card in this test"; }
};

// A music device that has no synthesiser: Open fails with a reason.
class NoMusicDevice final : public MusicDevice {
public:
    bool Open() override { return false; }
    int32_t ErrorCode() const override { return kMusicErrNoOutput; }
    std::string ErrorText() const override { return "no MIDI output in this test"; }
    bool LoadSong(const std::vector<uint8_t>&) override { return false; }
    int32_t SongLength() const override { return 0; }
    bool SetStartPoint(int32_t) override { return false; }
    bool SetLoopPoints(int32_t, int32_t) override { return false; }
    bool SetRepeat(bool) override { return false; }
    bool Play() override { return false; }
    void Stop() override {}
    void Reset() override {}
    bool SetMasterVolume(int32_t) override { return false; }
    bool SetMasterTempo(float) override { return false; }
};

}  // namespace zol::test
