#include "framework/sound/qDSound.h"

#include <memory>
#include <vector>

#include "framework/core/qCore.h"
#include "framework/core/qText.h"
#include "framework/core/qFileSystem.h"
#include "framework/sound/WaveDecoder.h"

namespace zol {

bool SoundEnabled = false;
std::string WavePath;

namespace {

SoundDeviceFactory g_factory;
std::unique_ptr<SoundDevice> g_device;
// The wave table; index 0 is never used, so both vectors start with one empty entry.
std::vector<std::string> g_names(1);
std::vector<std::unique_ptr<SoundBuffer>> g_buffers(1);
std::string g_errorText;
WavePlayObserver g_observer;
// Muting: every buffer is held at silence while muted; the attenuation each buffer's
// plays asked for is remembered so that unmuting gives it back.
constexpr int32_t kSilent = -10000;
bool g_muted = false;
std::vector<int32_t> g_asked;  // by wave index; 0 (the device's full volume) until asked

int32_t WaveCount() { return static_cast<int32_t>(g_names.size()) - 1; }

}  // namespace

void SetSoundDeviceFactory(SoundDeviceFactory factory) { g_factory = std::move(factory); }

std::string SoundErrorText() { return g_errorText; }

bool DSound_Initialize(void*) {
    DSound_Release();
    g_errorText.clear();
    if (g_factory) g_device = g_factory();
    if (!g_device) {
        LastErrorCode = kSoundErrNoBackend;
        g_errorText = "no sound backend installed";
        DSound_Release();
        return false;
    }
    if (!g_device->Open()) {
        LastErrorCode = g_device->ErrorCode();
        g_errorText = g_device->ErrorText();
        DSound_Release();
        return false;
    }
    SoundEnabled = true;
    return true;
}

void DSound_Release() {
    // Buffers go before the device that made them.
    g_buffers.clear();
    g_buffers.resize(1);
    g_names.clear();
    g_names.resize(1);
    g_device.reset();
    g_asked.clear();
    SoundEnabled = false;
}

int32_t PlayWaveFile(const std::string& FileName, bool Looping, float Volume, float Frequency,
                     bool NewInstance, int32_t Position) {
    if (g_observer) g_observer(FileName, Volume, Frequency);
    if (!SoundEnabled) return 0;
    const int32_t index = LoadWave(FileName, NewInstance);
    if (index != 0) PlayWave(index, Looping, Volume, Frequency, Position);
    return index;
}

int32_t LoadWave(const std::string& FileName, bool NewInstance) {
    if (!SoundEnabled) return 0;
    if (!NewInstance) {
        for (int32_t i = 1; i <= WaveCount(); ++i) {
            if (EqualsIgnoreCase(g_names[i], FileName)) return i;
        }
    }
    const std::string path = ResolveFile(FileName, WavePath);
    if (path.empty()) return 0;

    // The buffer is made before its slot, so a file that cannot be decoded or taken by
    // the device leaves the table exactly as it was.
    WaveData wave;
    std::string why;
    if (!DecodeWaveFile(path, wave, why)) {
        g_errorText = FileName + ": " + why;
        return 0;
    }
    std::unique_ptr<SoundBuffer> buffer = g_device->CreateBuffer(wave);
    if (!buffer) {
        g_errorText = FileName + ": " + g_device->ErrorText();
        return 0;
    }
    const int32_t index = CreateWave();
    g_names[index] = FileName;
    g_buffers[index] = std::move(buffer);
    return index;
}

int32_t CreateWave() {
    g_names.emplace_back();
    g_buffers.emplace_back();
    return WaveCount();
}

void PlayWave(int32_t Index, bool Looping, float Volume, float Frequency, int32_t Position) {
    if (!SoundEnabled) return;
    // An index outside the table or an empty slot plays nothing.
    if (Index < 1 || Index > WaveCount() || !g_buffers[Index]) return;
    SoundBuffer& buffer = *g_buffers[Index];
    Volume = Clamp(Volume, 0, 1);
    Frequency = Clamp(Frequency, 0, 1);
    if (Volume > 0) {
        const int32_t attenuation = CLng((1.0f - Volume) * -10000.0f);
        if (g_asked.size() <= static_cast<size_t>(Index)) g_asked.resize(Index + 1, 0);
        g_asked[Index] = attenuation;
        if (!g_muted) buffer.SetVolume(attenuation);
    }
    if (g_muted) buffer.SetVolume(kSilent);
    if (Frequency > 0) buffer.SetFrequency(CLng(Frequency * 99900.0f));
    buffer.SetPosition(Position);
    buffer.Play(Looping);
}

void SetWavePlayObserver(WavePlayObserver observer) { g_observer = std::move(observer); }

void SetSoundMuted(bool Muted) {
    if (Muted == g_muted) return;
    g_muted = Muted;
    for (int32_t i = 1; i <= WaveCount(); ++i) {
        if (!g_buffers[i]) continue;
        const size_t at = static_cast<size_t>(i);
        g_buffers[i]->SetVolume(Muted ? kSilent : at < g_asked.size() ? g_asked[at] : 0);
    }
}

bool SoundMuted() { return g_muted; }

}  // namespace zol
