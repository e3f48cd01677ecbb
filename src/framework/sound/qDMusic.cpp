#include "framework/sound/qDMusic.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "framework/core/qCore.h"
#include "framework/core/qFileSystem.h"
#include "framework/sound/DeviceOpener.h"
#include "framework/sound/ReopenSchedule.h"

namespace zol {

bool MusicEnabled = false;
std::string MidiPath;

namespace {

using Clock = std::chrono::steady_clock;
// How long start-up waits for the device before it goes on without it.
constexpr std::chrono::milliseconds kStartWait(1500);
// Songs are small; a file larger than this is not a song we play.
constexpr std::streamoff kMaxSongBytes = 16 * 1024 * 1024;

// A song as the game asked for it, with the file's bytes.
struct SongRequest {
    std::vector<uint8_t> Bytes;
    bool Looping = false;
    float Volume = 0, Tempo = 0;
    int32_t LoopStart = 0, LoopEnd = 0, StartPoint = 0;
};
using SongPtr = std::shared_ptr<const SongRequest>;

// What the device should be doing: the master settings last asked for (0: never) and
// the song that should be playing (none after a stop).
struct Wants {
    float Volume = 0, Tempo = 0;
    SongPtr Song;
    bool Muted = false;  // the player's mute, which holds the master volume at silence
    bool operator==(const Wants& o) const {
        return Volume == o.Volume && Tempo == o.Tempo && Song == o.Song && Muted == o.Muted;
    }
};

// What bringing a device to some wants did.
struct Outcome {
    bool Ran = false;      // filled in at all
    bool Loaded = false;   // the device holds the song
    bool Started = false;  // and plays it
    Wants Applied;
};

MusicDeviceFactory g_factory;
std::unique_ptr<MusicDevice> g_device;
std::unique_ptr<DeviceOpener<MusicDevice>> g_opening;  // a device being opened
std::unique_ptr<MusicDevice> g_refused;  // a device whose Prepare failed at start-up
std::shared_ptr<Outcome> g_handedOver;  // filled in by g_opening's worker once it opens
Clock::time_point g_startBy;  // when DMusic_Initialize stops waiting for g_opening
bool g_startPending = false;  // DMusic_StartOpen ran and DMusic_Initialize has not yet
bool g_active = false;        // a device is open or wanted (between start and release)
bool g_told = false;          // a loss or late failure was told and not yet made good
ReopenSchedule g_retry;
bool g_haveSong = false;      // g_device holds a song
Wants g_wants;
std::string g_errorText;
MidiPlayObserver g_onPlay;
MidiStopObserver g_onStop;
// Muting holds the master volume at silence; the volume the songs asked for comes back
// when the music is unmuted. A preference of the player, kept across devices and games.
constexpr int32_t kSilent = -10000;
bool g_muted = false;

void Tell(const std::string& text) { std::fprintf(stderr, "Zol: %s\n", text.c_str()); }

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0 || size > kMaxSongBytes) return false;
    in.seekg(0, std::ios::beg);
    bytes.resize(static_cast<size_t>(size));
    if (size > 0) in.read(reinterpret_cast<char*>(bytes.data()), size);
    return static_cast<bool>(in);
}

// Sets the master volume (0..1) and tempo (0..64); 0 leaves each as it is.
// The master attenuation (hundredths of a decibel) of a volume in 0 .. 1.
int32_t Attenuation(float Volume) { return CLng((1.0f - Volume) * -10000.0f); }

void ApplyMaster(MusicDevice& device, float Volume, float Tempo, bool Muted) {
    Volume = Clamp(Volume, 0, 1);
    Tempo = Clamp(Tempo, 0, 64);
    if (Muted) device.SetMasterVolume(kSilent);
    else if (Volume > 0) device.SetMasterVolume(Attenuation(Volume));
    if (Tempo > 0) device.SetMasterTempo(Tempo);
}

// Remembers the master settings asked for, for a device that replaces this one.
void NoteMaster(float Volume, float Tempo) {
    Volume = Clamp(Volume, 0, 1);
    Tempo = Clamp(Tempo, 0, 64);
    if (Volume > 0) g_wants.Volume = Volume;
    if (Tempo > 0) g_wants.Tempo = Tempo;
}

// Loads and starts Song, in the order every song is set up; stops at the first failure.
void StartSong(MusicDevice& device, const SongRequest& song, bool Muted, Outcome& out) {
    if (!device.LoadSong(song.Bytes)) return;
    out.Loaded = true;
    if (!device.SetStartPoint(song.StartPoint)) return;
    ApplyMaster(device, song.Volume, song.Tempo, Muted);
    if (!device.SetRepeat(song.Looping)) return;
    const int32_t loopEnd = song.LoopEnd == 0 ? device.SongLength() : song.LoopEnd;
    if (!device.SetLoopPoints(song.LoopStart, loopEnd)) return;
    out.Started = device.Play();
}

// Brings a device that has just opened to what the game wants: the song as it was asked
// for, then the master settings asked for since. Touches only the device, so the worker
// that opened it may run it.
Outcome Bring(MusicDevice& device, const Wants& wants) {
    Outcome out;
    out.Ran = true;
    out.Applied = wants;
    if (wants.Song) StartSong(device, *wants.Song, wants.Muted, out);
    ApplyMaster(device, wants.Volume, wants.Tempo, wants.Muted);
    return out;
}

// Stops and forgets the current song, silencing every voice.
void StopSong() {
    if (!g_device || !g_haveSong) return;
    g_device->Stop();
    g_device->Reset();
    g_haveSong = false;
}

// Gives the device being opened what the game wants now, to start the moment it opens.
void HandOver() {
    if (!g_opening) return;
    auto outcome = std::make_shared<Outcome>();
    const Wants wants = g_wants;
    if (g_opening->SetWhenOpened([outcome, wants](MusicDevice& d) { *outcome = Bring(d, wants); }))
        g_handedOver = outcome;
}

// Makes an opened device the one music plays on (the replaced one goes) and sees that it
// does what the game wants, which its worker usually saw to already.
void Adopt(std::unique_ptr<MusicDevice> device) {
    StopSong();
    g_device = std::move(device);
    MusicEnabled = true;
    g_retry.Reset();
    Outcome done = g_handedOver ? *g_handedOver : Outcome{};
    g_handedOver.reset();
    g_haveSong = done.Loaded;
    if (!done.Ran || !(done.Applied == g_wants)) {
        // The game asked for something else after the worker had started: start over.
        StopSong();
        done = Bring(*g_device, g_wants);
        g_haveSong = done.Loaded;
    }
    if (!done.Started) g_wants.Song.reset();
}

// Looks after the device between requests: takes one that finished opening, notices one
// whose output went away and tries a new one when the schedule says so (or at once when
// Now is set: a new game's song should not wait).
void Service(bool Now) {
    if (!g_active) return;
    if (g_opening) {
        if (!g_opening->Finished()) return;
        const bool opened = g_opening->Opened();
        std::unique_ptr<MusicDevice> device = g_opening->Take();
        g_opening.reset();
        if (opened) {
            const bool late = !g_device;
            Adopt(std::move(device));
            if (g_told || late)
                Tell(late ? "the MIDI device opened after start-up; music playback is on."
                          : "the MIDI device is open again; music playback resumed.");
            g_told = false;
            return;
        }
        g_handedOver.reset();
        if (!g_told) {
            g_errorText = device->ErrorText();
            Tell(std::string(g_device ? "the MIDI device cannot be opened again"
                                      : "DirectX: MIDI device not available!") +
                 " (" + g_errorText + "); music playback is off until it opens.");
            g_told = true;
        }
    }
    if (g_device && !g_device->Lost()) return;
    if (g_device && !g_told) {
        Tell("the MIDI device went away; music resumes when it opens again (at the latest with the next game).");
        g_told = true;
    }
    const int32_t now = GetTickCount();
    if (!g_factory || (!Now && !g_retry.Due(now))) return;
    g_retry.Tried(now);
    if (std::unique_ptr<MusicDevice> device = g_factory()) {
        g_opening = std::make_unique<DeviceOpener<MusicDevice>>(std::move(device));
        HandOver();
    }
}

}  // namespace

void SetMusicDeviceFactory(MusicDeviceFactory factory) { g_factory = std::move(factory); }

std::string MusicErrorText() { return g_errorText; }

void DMusic_StartOpen() {
    DMusic_Release();
    g_errorText.clear();
    g_startPending = true;
    std::unique_ptr<MusicDevice> device = g_factory ? g_factory() : nullptr;
    // The slow part that never waits for a sound server (loading the instruments) is
    // done here, so that the wait below is only for the server.
    if (device && !device->Prepare()) {
        g_refused = std::move(device);
        return;
    }
    g_startBy = Clock::now() + kStartWait;
    if (device) g_opening = std::make_unique<DeviceOpener<MusicDevice>>(std::move(device));
}

bool DMusic_Initialize(void*) {
    if (!g_startPending) DMusic_StartOpen();
    g_startPending = false;
    if (g_refused) {
        LastErrorCode = g_refused->ErrorCode();
        g_errorText = g_refused->ErrorText();
        DMusic_Release();
        return false;
    }
    if (!g_opening) {
        LastErrorCode = kMusicErrNoBackend;
        g_errorText = "no music backend installed";
        DMusic_Release();
        return false;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(g_startBy - Clock::now());
    g_active = true;
    if (!g_opening->Finished(std::clamp(left, std::chrono::milliseconds(0), kStartWait))) {
        // A sound server that does not answer: the game starts without music; the song
        // it asks for meanwhile starts when the device opens.
        return true;
    }
    const bool opened = g_opening->Opened();
    std::unique_ptr<MusicDevice> device = g_opening->Take();
    g_opening.reset();
    if (!opened) {
        LastErrorCode = device->ErrorCode();
        g_errorText = device->ErrorText();
        device.reset();
        DMusic_Release();
        return false;
    }
    Adopt(std::move(device));
    return true;
}

void DMusic_Release() {
    StopSong();
    g_device.reset();
    g_refused.reset();
    // A device still opening is left to its worker, which closes it once its open returns.
    g_opening.reset();
    g_handedOver.reset();
    g_wants = Wants{};
    g_wants.Muted = g_muted;
    g_startPending = false;
    g_active = false;
    g_told = false;
    g_retry.Reset();
    MusicEnabled = false;
}

bool PlayMidiFile(const std::string& FileName, bool Looping, float Volume, float Tempo,
                  int32_t LoopStart, int32_t LoopEnd, int32_t StartPoint) {
    if (g_onPlay) g_onPlay(FileName);
    Service(true);
    if (!MusicEnabled && !g_opening) return false;
    const std::string path = ResolveFile(FileName, MidiPath);
    if (path.empty()) return false;  // the current song keeps playing
    StopSong();
    g_wants.Song.reset();
    auto song = std::make_shared<SongRequest>();
    song->Looping = Looping;
    song->Volume = Volume;
    song->Tempo = Tempo;
    song->LoopStart = LoopStart;
    song->LoopEnd = LoopEnd;
    song->StartPoint = StartPoint;
    if (!ReadWholeFile(path, song->Bytes)) {
        HandOver();
        return false;
    }
    NoteMaster(Volume, Tempo);
    if (g_opening) {
        // The device is still opening (or reopening): the song starts when it opens.
        g_wants.Song = song;
        HandOver();
        return false;
    }
    Outcome out;
    StartSong(*g_device, *song, g_muted, out);
    g_haveSong = out.Loaded;
    if (out.Started) g_wants.Song = song;
    return out.Started;
}

void MidiStop() {
    if (g_onStop) g_onStop();
    Service(false);
    StopSong();
    g_wants.Song.reset();
    HandOver();
}

void SetupMidi(float Volume, float Tempo) {
    Service(false);
    if (!MusicEnabled && !g_opening) return;
    NoteMaster(Volume, Tempo);
    if (g_opening) {
        HandOver();
        return;
    }
    ApplyMaster(*g_device, Volume, Tempo, g_muted);
}

void SetMidiObservers(MidiPlayObserver onPlay, MidiStopObserver onStop) {
    g_onPlay = std::move(onPlay);
    g_onStop = std::move(onStop);
}

void SetMusicMuted(bool Muted) {
    if (Muted == g_muted) return;
    g_muted = Muted;
    g_wants.Muted = Muted;
    HandOver();
    if (!MusicEnabled || !g_device) return;
    // Unmuted, the device's full volume until a song asked for another.
    const float volume = g_wants.Volume;
    g_device->SetMasterVolume(Muted ? kSilent : volume > 0 ? Attenuation(volume) : 0);
}

bool MusicMuted() { return g_muted; }

}  // namespace zol
