#include "framework/sound/qDMusic.h"

#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "framework/core/qCore.h"
#include "framework/core/qFileSystem.h"

namespace zol {

bool MusicEnabled = false;
std::string MidiPath;

namespace {

MusicDeviceFactory g_factory;
std::unique_ptr<MusicDevice> g_device;
bool g_haveSong = false;
std::string g_errorText;
MidiPlayObserver g_onPlay;
MidiStopObserver g_onStop;
// Muting holds the master volume at silence; the volume the songs asked for comes back
// when the music is unmuted.
constexpr int32_t kSilent = -10000;
bool g_muted = false;
int32_t g_askedVolume = 0;  // the device's full volume until a song asks

// Songs are small; a file larger than this is not a song we play.
constexpr std::streamoff kMaxSongBytes = 16 * 1024 * 1024;

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

// Stops and forgets the current song, silencing every voice.
void StopSong() {
    if (!g_device || !g_haveSong) return;
    g_device->Stop();
    g_device->Reset();
    g_haveSong = false;
}

}  // namespace

void SetMusicDeviceFactory(MusicDeviceFactory factory) { g_factory = std::move(factory); }

std::string MusicErrorText() { return g_errorText; }

bool DMusic_Initialize(void*) {
    DMusic_Release();
    g_errorText.clear();
    if (g_factory) g_device = g_factory();
    if (!g_device) {
        LastErrorCode = kMusicErrNoBackend;
        g_errorText = "no music backend installed";
        DMusic_Release();
        return false;
    }
    if (!g_device->Open()) {
        LastErrorCode = g_device->ErrorCode();
        g_errorText = g_device->ErrorText();
        DMusic_Release();
        return false;
    }
    MusicEnabled = true;
    g_askedVolume = 0;
    if (g_muted) g_device->SetMasterVolume(kSilent);
    return true;
}

void DMusic_Release() {
    StopSong();
    g_device.reset();
    MusicEnabled = false;
}

bool PlayMidiFile(const std::string& FileName, bool Looping, float Volume, float Tempo,
                  int32_t LoopStart, int32_t LoopEnd, int32_t StartPoint) {
    if (g_onPlay) g_onPlay(FileName);
    if (!MusicEnabled) return false;
    const std::string path = ResolveFile(FileName, MidiPath);
    if (path.empty()) return false;  // the current song keeps playing
    StopSong();
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, bytes) || !g_device->LoadSong(bytes)) return false;
    g_haveSong = true;
    MusicDevice& device = *g_device;
    if (!device.SetStartPoint(StartPoint)) return false;
    SetupMidi(Volume, Tempo);
    if (!device.SetRepeat(Looping)) return false;
    if (!device.SetLoopPoints(LoopStart, LoopEnd == 0 ? device.SongLength() : LoopEnd)) return false;
    return device.Play();
}

void MidiStop() {
    if (g_onStop) g_onStop();
    StopSong();
}

void SetupMidi(float Volume, float Tempo) {
    if (!MusicEnabled) return;
    Volume = Clamp(Volume, 0, 1);
    Tempo = Clamp(Tempo, 0, 64);
    if (Volume > 0) {
        g_askedVolume = CLng((1.0f - Volume) * -10000.0f);
        g_device->SetMasterVolume(g_muted ? kSilent : g_askedVolume);
    }
    if (Tempo > 0) g_device->SetMasterTempo(Tempo);
}

void SetMidiObservers(MidiPlayObserver onPlay, MidiStopObserver onStop) {
    g_onPlay = std::move(onPlay);
    g_onStop = std::move(onStop);
}

void SetMusicMuted(bool Muted) {
    if (Muted == g_muted) return;
    g_muted = Muted;
    if (MusicEnabled) g_device->SetMasterVolume(Muted ? kSilent : g_askedVolume);
}

bool MusicMuted() { return g_muted; }

}  // namespace zol
