#include "framework/sound/fluidsynth/FluidMusicDevice.h"

#include <fluidsynth.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "framework/core/qFileSystem.h"

namespace zol {

namespace {

fluid_settings_t* Settings(void* p) { return static_cast<fluid_settings_t*>(p); }
fluid_synth_t* Synth(void* p) { return static_cast<fluid_synth_t*>(p); }
fluid_player_t* Player(void* p) { return static_cast<fluid_player_t*>(p); }

constexpr const char* kSystemSoundfont = "/usr/share/sounds/sf2/default-GM.sf2";

// FluidSynth's messages stay off stderr; the last error is kept for our own error text.
std::mutex g_logLock;
std::string g_lastFluidError;

void KeepFluidError(int level, const char* message, void*);

// Once per process: devices may open on several threads, and FluidSynth's log functions
// are plain globals.
void QuietFluidLog() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
            fluid_set_log_function(level, KeepFluidError, nullptr);
    });
}

std::string TakeFluidError() {
    std::lock_guard<std::mutex> hold(g_logLock);
    std::string text = g_lastFluidError;
    g_lastFluidError.clear();
    return text;
}

bool HasSf2Extension(const std::filesystem::path& p) {
    std::string ext = p.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext == ".sf2";
}

// Sets a string, integer or number setting from its text.
bool ApplySetting(fluid_settings_t* settings, const std::string& name, const std::string& value) {
    switch (fluid_settings_get_type(settings, name.c_str())) {
        case FLUID_STR_TYPE:
            return fluid_settings_setstr(settings, name.c_str(), value.c_str()) == FLUID_OK;
        case FLUID_INT_TYPE:
            try {
                return fluid_settings_setint(settings, name.c_str(), std::stoi(value)) == FLUID_OK;
            } catch (const std::exception&) {
                return false;
            }
        case FLUID_NUM_TYPE:
            try {
                return fluid_settings_setnum(settings, name.c_str(), std::stod(value)) == FLUID_OK;
            } catch (const std::exception&) {
                return false;
            }
        default:
            return false;
    }
}

}  // namespace

// The C callbacks FluidSynth calls; they run on the rendering thread under lock_.
struct FluidCallbacks {
    // The device an audio driver's thread renders for (nullptr on every other thread).
    static thread_local FluidMusicDevice* renderingFor;

    // Marks the device this thread renders for as lost, if it is a driver's thread.
    static void DriverGaveUp() {
        if (renderingFor) renderingFor->driverFailed_ = true;
    }

    static int Audio(void* data, int len, int nfx, float* fx[], int nout, float* out[]) {
        auto* self = static_cast<FluidMusicDevice*>(data);
        renderingFor = self;
        std::lock_guard<std::mutex> hold(self->lock_);
        // Drivers without effect buffers get the reverb and chorus mixed into the output.
        if (fx == nullptr) return fluid_synth_process(Synth(self->synth_), len, nout, out, nout, out);
        return fluid_synth_process(Synth(self->synth_), len, nfx, fx, nout, out);
    }

    // Jumps back to the loop start once the player has reached the loop end. The jump is
    // carried out on the player's next turn, which then reports a tick before the end.
    static int Tick(void* data, int tick) {
        auto* self = static_cast<FluidMusicDevice*>(data);
        if (self->seekPending_ && tick < self->loopEnd_) self->seekPending_ = false;
        if (self->repeat_ && self->player_ && !self->seekPending_ && tick >= self->loopEnd_) {
            if (fluid_player_seek(Player(self->player_), self->loopStart_) == FLUID_OK) {
                self->seekPending_ = true;
                ++self->loops_;
            }
        }
        return FLUID_OK;
    }

    // Passes the song's events to the synthesiser, except notes that would start at or
    // after the loop end in the block where the loop jumps back. While the jump is carried
    // out the player itself decides which notes at the loop start to send.
    static int Event(void* data, fluid_midi_event_t* event) {
        auto* self = static_cast<FluidMusicDevice*>(data);
        if (self->repeat_ && self->player_ && !self->seekPending_ && fluid_midi_event_get_type(event) == 0x90 &&
            fluid_midi_event_get_velocity(event) > 0 &&
            fluid_player_get_current_tick(Player(self->player_)) >= self->loopEnd_)
            return FLUID_OK;
        return fluid_synth_handle_midi_event(Synth(self->synth_), event);
    }
};

thread_local FluidMusicDevice* FluidCallbacks::renderingFor = nullptr;

namespace {
// An error on a driver's own thread is the driver giving up (the sound server went away
// or the device failed): its thread has ended and the device is silent from now on.
void KeepFluidError(int level, const char* message, void*) {
    if (level > FLUID_ERR || message == nullptr) return;
    FluidCallbacks::DriverGaveUp();
    std::lock_guard<std::mutex> hold(g_logLock);
    g_lastFluidError = message;
}
}  // namespace

FluidMusicDevice::FluidMusicDevice(FluidOutput Output, std::string Soundfont, SettingList Settings)
    : output_(Output),
      soundfontWanted_(std::move(Soundfont)),
      localFolder_(AppPath + "midi/"),
      extraSettings_(std::move(Settings)) {}

FluidMusicDevice::~FluidMusicDevice() { Close(); }

void FluidMusicDevice::Close() {
    // The driver goes first, so that nothing renders while the rest is taken down.
    if (driver_) delete_fluid_audio_driver(static_cast<fluid_audio_driver_t*>(driver_));
    driver_ = nullptr;
    {
        std::lock_guard<std::mutex> hold(lock_);
        DropPlayerLocked();
    }
    if (synth_) delete_fluid_synth(Synth(synth_));
    synth_ = nullptr;
    if (settings_) delete_fluid_settings(Settings(settings_));
    settings_ = nullptr;
    soundfontPath_.clear();
    prepared_ = false;
}

std::vector<std::string> FluidMusicDevice::SoundfontCandidates() const {
    if (!soundfontWanted_.empty()) return {soundfontWanted_};
    // Soundfonts shipped beside the program come first, by name so the pick is stable;
    // then FluidSynth's own default and the system's. A file that only looks like a
    // soundfont, or is damaged inside, is passed over for the next.
    std::vector<std::string> fonts;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(localFolder_, ec)) {
        if (entry.is_regular_file(ec) && HasSf2Extension(entry.path())) fonts.push_back(entry.path().string());
    }
    std::sort(fonts.begin(), fonts.end());
    char* named = nullptr;
    if (fluid_settings_dupstr(Settings(settings_), "synth.default-soundfont", &named) == FLUID_OK && named) {
        if (*named) fonts.emplace_back(named);
        fluid_free(named);
    }
    fonts.emplace_back(kSystemSoundfont);
    fonts.erase(std::remove_if(fonts.begin(), fonts.end(),
                               [](const std::string& f) { return !fluid_is_soundfont(f.c_str()); }),
                fonts.end());
    return fonts;
}

bool FluidMusicDevice::Fail(int32_t Code, std::string Text) {
    const std::string why = TakeFluidError();
    if (!why.empty()) Text += " (" + why + ")";
    errorCode_ = Code;
    errorText_ = std::move(Text);
    Close();
    return false;
}

bool FluidMusicDevice::Prepare() {
    Close();
    QuietFluidLog();
    settings_ = new_fluid_settings();
    if (!settings_) return Fail(kMusicErrNoSynth, "FluidSynth: cannot create its settings");
    // Seamless loops: the player must not reset the synthesiser when a song starts over.
    fluid_settings_setint(Settings(settings_), "player.reset-synth", 0);
    for (const auto& [name, value] : extraSettings_) {
        if (!ApplySetting(Settings(settings_), name, value))
            return Fail(kMusicErrNoSynth, "FluidSynth: setting " + name + " does not take \"" + value + "\"");
    }
    double rate = 44100.0;
    fluid_settings_getnum(Settings(settings_), "synth.sample-rate", &rate);
    sampleRate_ = static_cast<int32_t>(rate);

    synth_ = new_fluid_synth(Settings(settings_));
    if (!synth_) return Fail(kMusicErrNoSynth, "FluidSynth: cannot create the synthesiser");
    const std::vector<std::string> fonts = SoundfontCandidates();
    if (fonts.empty()) return Fail(kMusicErrNoSoundfont, "FluidSynth: no General MIDI soundfont found");
    std::string damaged;
    for (const std::string& font : fonts) {
        if (fluid_synth_sfload(Synth(synth_), font.c_str(), 1) != FLUID_FAILED) {
            soundfontPath_ = font;
            break;
        }
        if (damaged.empty()) damaged = font;
    }
    if (soundfontPath_.empty())
        return Fail(kMusicErrNoSoundfont, "FluidSynth: no soundfont loads (" + damaged + " is damaged)");
    if (!damaged.empty())
        std::fprintf(stderr, "Zol: the soundfont %s does not load; music uses %s\n", damaged.c_str(),
                     soundfontPath_.c_str());
    fluid_synth_set_gain(Synth(synth_), 1.0f);  // master volume 0: full
    prepared_ = true;
    return true;
}

bool FluidMusicDevice::Open() {
    if (!prepared_ && !Prepare()) return false;
    prepared_ = false;
    driverFailed_ = false;
    if (output_ == FluidOutput::AudioDriver) {
        // FluidSynth's preferred driver first, then the usual desktop ones.
        std::vector<std::string> drivers;
        char* preferred = nullptr;
        if (fluid_settings_dupstr(Settings(settings_), "audio.driver", &preferred) == FLUID_OK && preferred) {
            drivers.emplace_back(preferred);
            fluid_free(preferred);
        }
        // Only drivers that take a render callback will do (SDL's does not).
        for (const char* name : {"pulseaudio", "alsa"}) {
            if (std::find(drivers.begin(), drivers.end(), name) == drivers.end()) drivers.emplace_back(name);
        }
        for (const auto& name : drivers) {
            if (fluid_settings_setstr(Settings(settings_), "audio.driver", name.c_str()) != FLUID_OK) continue;
            driver_ = new_fluid_audio_driver2(Settings(settings_), FluidCallbacks::Audio, this);
            if (driver_) break;
        }
        if (!driver_) return Fail(kMusicErrNoOutput, "FluidSynth: no audio output available");
    }
    TakeFluidError();
    errorCode_ = 0;
    errorText_.clear();
    return true;
}

void FluidMusicDevice::DropPlayerLocked() {
    if (!player_) return;
    fluid_player_stop(Player(player_));
    delete_fluid_player(Player(player_));
    player_ = nullptr;
    song_ = MidiFileInfo{};
    repeat_ = false;
}

bool FluidMusicDevice::LoadSong(const std::vector<uint8_t>& FileBytes) {
    if (!synth_) return false;
    MidiFileInfo info;
    std::string why;
    const bool readable = ReadMidiFileInfo(FileBytes.data(), FileBytes.size(), info, why);
    std::lock_guard<std::mutex> hold(lock_);
    DropPlayerLocked();
    if (!readable) return false;
    fluid_player_t* player = new_fluid_player(Synth(synth_));
    if (!player) return false;
    if (fluid_player_add_mem(player, FileBytes.data(), FileBytes.size()) != FLUID_OK) {
        delete_fluid_player(player);
        return false;
    }
    fluid_player_set_playback_callback(player, FluidCallbacks::Event, this);
    fluid_player_set_tick_callback(player, FluidCallbacks::Tick, this);
    fluid_player_set_tempo(player, FLUID_PLAYER_TEMPO_INTERNAL, tempo_);
    player_ = player;
    song_ = info;
    startTick_ = 0;
    seekPending_ = false;
    loopStart_ = 0;
    loopEnd_ = info.LengthTicks;
    loops_ = 0;
    return true;
}

int32_t FluidMusicDevice::SongLength() const {
    std::lock_guard<std::mutex> hold(lock_);
    return player_ ? FileTicksToMusicTime(song_.LengthTicks, song_.Division) : 0;
}

bool FluidMusicDevice::SetStartPoint(int32_t MusicTime) {
    std::lock_guard<std::mutex> hold(lock_);
    if (!player_) return false;
    const int32_t tick = MusicTimeToFileTicks(MusicTime, song_.Division);
    if (tick < 0 || tick > song_.LengthTicks) return false;
    startTick_ = tick;
    return true;
}

bool FluidMusicDevice::SetLoopPoints(int32_t LoopStart, int32_t LoopEnd) {
    std::lock_guard<std::mutex> hold(lock_);
    if (!player_) return false;
    const int32_t start = MusicTimeToFileTicks(LoopStart, song_.Division);
    // A loop end past the song ends the stretch where the song ends.
    const int32_t end = std::min(MusicTimeToFileTicks(LoopEnd, song_.Division), song_.LengthTicks);
    if (start < 0 || start >= end) return false;
    loopStart_ = start;
    loopEnd_ = end;
    return true;
}

bool FluidMusicDevice::SetRepeat(bool Forever) {
    std::lock_guard<std::mutex> hold(lock_);
    if (!player_) return false;
    repeat_ = Forever;
    // With the loop end at the song's end the player starts the file over, and the seek
    // made at that moment lands it on the loop start.
    fluid_player_set_loop(Player(player_), Forever ? -1 : 1);  // 1: the file plays once
    return true;
}

bool FluidMusicDevice::Play() {
    std::lock_guard<std::mutex> hold(lock_);
    if (!player_) return false;
    if (startTick_ > 0 && fluid_player_seek(Player(player_), startTick_) != FLUID_OK) return false;
    loops_ = 0;
    return fluid_player_play(Player(player_)) == FLUID_OK;
}

void FluidMusicDevice::Stop() {
    if (!synth_) return;
    std::lock_guard<std::mutex> hold(lock_);
    if (!player_) return;
    DropPlayerLocked();
    // The player would release its notes on its next turn; it has none left, so we do.
    fluid_synth_all_notes_off(Synth(synth_), -1);
}

void FluidMusicDevice::Reset() {
    if (!synth_) return;
    std::lock_guard<std::mutex> hold(lock_);
    // In this order: a system reset issued after the sounds are cut lets the cut voices
    // sound on. Only the reverb and chorus tails remain, and they fade within 100 ms.
    fluid_synth_system_reset(Synth(synth_));
    fluid_synth_all_sounds_off(Synth(synth_), -1);
}

bool FluidMusicDevice::SetMasterVolume(int32_t Attenuation) {
    if (!synth_) return false;
    const double gain = Attenuation >= 0 ? 1.0 : std::pow(10.0, Attenuation / 2000.0);
    fluid_synth_set_gain(Synth(synth_), static_cast<float>(gain));
    return true;
}

bool FluidMusicDevice::SetMasterTempo(float Factor) {
    if (!(Factor >= 0.001f && Factor <= 1000.0f)) return false;
    std::lock_guard<std::mutex> hold(lock_);
    tempo_ = Factor;
    if (player_) return fluid_player_set_tempo(Player(player_), FLUID_PLAYER_TEMPO_INTERNAL, Factor) == FLUID_OK;
    return true;
}

bool FluidMusicDevice::Render(float* Out, int Frames) {
    if (output_ != FluidOutput::Memory || !synth_ || Out == nullptr || Frames <= 0) return false;
    std::lock_guard<std::mutex> hold(lock_);
    return fluid_synth_write_float(Synth(synth_), Frames, Out, 0, 2, Out, 1, 2) == FLUID_OK;
}

int32_t FluidMusicDevice::CurrentFileTick() const {
    std::lock_guard<std::mutex> hold(lock_);
    return player_ ? fluid_player_get_current_tick(Player(player_)) : 0;
}

bool FluidMusicDevice::IsPlaying() const {
    std::lock_guard<std::mutex> hold(lock_);
    return player_ && fluid_player_get_status(Player(player_)) == FLUID_PLAYER_PLAYING;
}

int32_t FluidMusicDevice::ActiveVoices() const {
    return synth_ ? fluid_synth_get_active_voice_count(Synth(synth_)) : 0;
}

bool FluidMusicDevice::Lost() const { return driver_ && driverFailed_.load(); }

float FluidMusicDevice::Gain() const { return synth_ ? fluid_synth_get_gain(Synth(synth_)) : 0.0f; }

}  // namespace zol
