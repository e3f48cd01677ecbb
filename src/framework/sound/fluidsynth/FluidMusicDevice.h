// FluidMusicDevice: the music seam on FluidSynth.
//
// What it does: one synthesiser with a General MIDI soundfont (a .sf2 in the program's
// "midi/" folder wins over the system's default soundfont; one that does not load falls
// back to the next) and one MIDI player per song.
// The loop stretch repeats through the player's tick callback seeking back; the master
// volume is the synthesiser's gain 10^(mB/2000) and the master tempo the player's tempo
// multiplier. Output goes either to FluidSynth's own audio driver or, for tests and
// tools, into memory: Render pulls the samples and so advances the song.
// Who owns what: the device owns the settings, synthesiser, player and audio driver. The
// audio thread renders under the device's lock, so the game thread may replace or drop
// the player at any time.
// Prepare makes the synthesiser and loads the soundfont (slow, but never waiting for a
// sound server); Open adds the audio driver, the part that may wait for one, and does
// Prepare's part first when it was not done.
// Failure: Prepare and Open give false with ErrorCode/ErrorText when there is no
// synthesiser, no soundfont or no audio output; the other calls report failure by their
// result. A soundfont passed over because it does not load is named on stderr.
// FluidSynth's own log messages are kept off stderr; an error its audio driver logs on
// its own thread means the driver has given up (FluidSynth 2.3's ALSA and PulseAudio
// drivers end their thread then), and Lost becomes true.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "framework/sound/MidiFileInfo.h"
#include "framework/sound/MusicDevice.h"

namespace zol {

enum class FluidOutput {
    AudioDriver,  // FluidSynth's own audio driver plays the music
    Memory,       // no driver: Render pulls the samples
};

class FluidMusicDevice final : public MusicDevice {
public:
    // FluidSynth settings by name and value (for example "audio.alsa.device", "null").
    using SettingList = std::vector<std::pair<std::string, std::string>>;

    // Soundfont "" searches the program's midi/ folder (as AppPath names it now), then the
    // system's default.
    // Settings are applied before anything is created; a named "audio.driver" is tried first.
    explicit FluidMusicDevice(FluidOutput Output = FluidOutput::AudioDriver, std::string Soundfont = "",
                              SettingList Settings = {});
    ~FluidMusicDevice() override;
    FluidMusicDevice(const FluidMusicDevice&) = delete;
    FluidMusicDevice& operator=(const FluidMusicDevice&) = delete;

    // The MusicDevice operations.
    bool Prepare() override;
    bool Open() override;
    bool Lost() const override;
    int32_t ErrorCode() const override { return errorCode_; }
    std::string ErrorText() const override { return errorText_; }

    bool LoadSong(const std::vector<uint8_t>& FileBytes) override;
    int32_t SongLength() const override;
    bool SetStartPoint(int32_t MusicTime) override;
    bool SetLoopPoints(int32_t LoopStart, int32_t LoopEnd) override;
    bool SetRepeat(bool Forever) override;
    bool Play() override;
    void Stop() override;
    void Reset() override;
    bool SetMasterVolume(int32_t Attenuation) override;
    bool SetMasterTempo(float Factor) override;

    // Memory output only: renders Frames stereo frames, interleaved, into Out.
    bool Render(float* Out, int Frames);
    // The output's sample rate in frames per second.
    int32_t SampleRate() const { return sampleRate_; }
    // The soundfont that was loaded ("" before Open).
    const std::string& SoundfontPath() const { return soundfontPath_; }
    // The player's position in the file's own ticks (0 without a song).
    int32_t CurrentFileTick() const;
    // True while the current song is playing.
    bool IsPlaying() const;
    // How often the loop stretch has jumped back since the song started.
    int32_t LoopsTaken() const { return loops_.load(); }
    // Voices sounding now.
    int32_t ActiveVoices() const;
    // The synthesiser's current gain.
    float Gain() const;

private:
    friend struct FluidCallbacks;  // FluidSynth's callbacks, in the .cpp
    std::vector<std::string> SoundfontCandidates() const;
    bool Fail(int32_t Code, std::string Text);
    void DropPlayerLocked();
    void Close();

    FluidOutput output_;
    std::string soundfontWanted_;
    std::string localFolder_;   // the program's midi/ folder
    SettingList extraSettings_;
    std::string soundfontPath_;
    void* settings_ = nullptr;  // fluid_settings_t*
    void* synth_ = nullptr;     // fluid_synth_t*
    void* driver_ = nullptr;    // fluid_audio_driver_t*
    void* player_ = nullptr;    // fluid_player_t*, the current song
    mutable std::mutex lock_;   // held while rendering and while the player changes
    bool prepared_ = false;     // Prepare done, Open not yet
    int32_t sampleRate_ = 44100;
    int32_t errorCode_ = 0;
    std::string errorText_;

    MidiFileInfo song_;
    float tempo_ = 1.0f;        // master tempo factor, kept across songs
    int32_t startTick_ = 0;
    int32_t loopStart_ = 0;     // loop stretch in file ticks
    int32_t loopEnd_ = 0;
    bool repeat_ = false;
    bool seekPending_ = false;  // a jump to the loop start waits for the player's next turn
    std::atomic<int32_t> loops_{0};
    std::atomic<bool> driverFailed_{false};  // set on the driver's thread when it gives up
};

}  // namespace zol
