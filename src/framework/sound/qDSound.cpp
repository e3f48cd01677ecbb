#include "framework/sound/qDSound.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

#include "framework/core/qCore.h"
#include "framework/core/qFileSystem.h"
#include "framework/core/qText.h"
#include "framework/sound/DeviceOpener.h"
#include "framework/sound/ReopenSchedule.h"
#include "framework/sound/WaveDecoder.h"

namespace zol {

bool SoundEnabled = false;
std::string WavePath;

namespace {

using Clock = std::chrono::steady_clock;
// How long start-up waits for the device before it goes on without it.
constexpr std::chrono::milliseconds kStartWait(1500);

// One entry of the wave table, with the settings its plays left (to give a replacement
// device's buffer the same ones).
struct Slot {
    std::string Name;
    std::unique_ptr<SoundBuffer> Buffer;
    std::optional<int32_t> Attenuation;
    std::optional<int32_t> Rate;
};

SoundDeviceFactory g_factory;
std::unique_ptr<SoundDevice> g_device;
std::unique_ptr<DeviceOpener<SoundDevice>> g_opening;  // a device being opened
Clock::time_point g_startBy;  // when DSound_Initialize stops waiting for g_opening
bool g_startPending = false;  // DSound_StartOpen ran and DSound_Initialize has not yet
bool g_active = false;        // a device is open or wanted (between start and release)
bool g_told = false;          // a loss or late failure was told and not yet made good
ReopenSchedule g_retry;
// The wave table; index 0 is never used, so it starts with one empty entry.
std::vector<Slot> g_slots(1);
std::string g_errorText;
WavePlayObserver g_observer;
// Muting holds every buffer at silence; each slot keeps the attenuation its plays asked
// for, which unmuting gives back.
constexpr int32_t kSilent = -10000;
bool g_muted = false;

int32_t WaveCount() { return static_cast<int32_t>(g_slots.size()) - 1; }

void Tell(const std::string& text) { std::fprintf(stderr, "Zol: %s\n", text.c_str()); }

// A buffer of the device holding the wave file Name; nullptr (with g_errorText) when the
// file is missing, undecodable or refused.
std::unique_ptr<SoundBuffer> MakeBuffer(const std::string& Name) {
    const std::string path = ResolveFile(Name, WavePath);
    if (path.empty()) return nullptr;
    WaveData wave;
    std::string why;
    if (!DecodeWaveFile(path, wave, why)) {
        g_errorText = Name + ": " + why;
        return nullptr;
    }
    std::unique_ptr<SoundBuffer> buffer = g_device->CreateBuffer(wave);
    if (!buffer) g_errorText = Name + ": " + g_device->ErrorText();
    return buffer;
}

// Makes an opened device the one sounds play on. A replaced device's buffers go first,
// then the device; the new one gets every wave of the table with its last settings.
void Adopt(std::unique_ptr<SoundDevice> device) {
    for (Slot& slot : g_slots) slot.Buffer.reset();
    g_device = std::move(device);
    SoundEnabled = true;
    g_retry.Reset();
    for (int32_t i = 1; i <= WaveCount(); ++i) {
        Slot& slot = g_slots[i];
        if (slot.Name.empty() || !(slot.Buffer = MakeBuffer(slot.Name))) continue;
        if (g_muted) slot.Buffer->SetVolume(kSilent);
        else if (slot.Attenuation) slot.Buffer->SetVolume(*slot.Attenuation);
        if (slot.Rate) slot.Buffer->SetFrequency(*slot.Rate);
    }
}

// Looks after the device between plays: takes one that finished opening, notices one
// whose output went away and tries a new one when the schedule says so.
void Service() {
    if (!g_active) return;
    if (g_opening) {
        if (!g_opening->Finished()) return;
        const bool opened = g_opening->Opened();
        std::unique_ptr<SoundDevice> device = g_opening->Take();
        g_opening.reset();
        if (opened) {
            const bool late = !g_device;
            Adopt(std::move(device));
            if (g_told || late)
                Tell(late ? "the audio device opened after start-up; sound playback is on."
                          : "the audio device is open again; sound playback resumed.");
            g_told = false;
            return;
        }
        if (!g_told) {
            g_errorText = device->ErrorText();
            Tell(std::string(g_device ? "the audio device cannot be opened again"
                                      : "DirectX: Audio device not available!") +
                 " (" + g_errorText + "); sound playback is off until it opens.");
            g_told = true;
        }
    }
    if (g_device && !g_device->Lost()) return;
    if (g_device && !g_told) {
        Tell("the audio device went away; sound playback resumes when it opens again.");
        g_told = true;
    }
    const int32_t now = GetTickCount();
    if (!g_factory || !g_retry.Due(now)) return;
    g_retry.Tried(now);
    if (std::unique_ptr<SoundDevice> device = g_factory())
        g_opening = std::make_unique<DeviceOpener<SoundDevice>>(std::move(device));
}

}  // namespace

void SetSoundDeviceFactory(SoundDeviceFactory factory) { g_factory = std::move(factory); }

std::string SoundErrorText() { return g_errorText; }

void DSound_StartOpen() {
    DSound_Release();
    g_errorText.clear();
    g_startPending = true;
    g_startBy = Clock::now() + kStartWait;
    std::unique_ptr<SoundDevice> device = g_factory ? g_factory() : nullptr;
    if (device) g_opening = std::make_unique<DeviceOpener<SoundDevice>>(std::move(device));
}

bool DSound_Initialize(void*) {
    if (!g_startPending) DSound_StartOpen();
    g_startPending = false;
    if (!g_opening) {
        LastErrorCode = kSoundErrNoBackend;
        g_errorText = "no sound backend installed";
        DSound_Release();
        return false;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(g_startBy - Clock::now());
    g_active = true;
    if (!g_opening->Finished(std::clamp(left, std::chrono::milliseconds(0), kStartWait))) {
        // A sound server that does not answer: the game starts without sound, which
        // comes on at the first play after the device has opened.
        return true;
    }
    const bool opened = g_opening->Opened();
    std::unique_ptr<SoundDevice> device = g_opening->Take();
    g_opening.reset();
    if (!opened) {
        LastErrorCode = device->ErrorCode();
        g_errorText = device->ErrorText();
        device.reset();
        DSound_Release();
        return false;
    }
    Adopt(std::move(device));
    return true;
}

void DSound_Release() {
    // Buffers go before the device that made them. A device still opening is left to
    // its worker, which closes it once its open returns.
    g_slots.clear();
    g_slots.resize(1);
    g_device.reset();
    g_opening.reset();
    g_startPending = false;
    g_active = false;
    g_told = false;
    g_retry.Reset();
    SoundEnabled = false;
}

int32_t PlayWaveFile(const std::string& FileName, bool Looping, float Volume, float Frequency,
                     bool NewInstance, int32_t Position) {
    if (g_observer) g_observer(FileName, Volume, Frequency);
    Service();
    if (!SoundEnabled) return 0;
    const int32_t index = LoadWave(FileName, NewInstance);
    if (index != 0) PlayWave(index, Looping, Volume, Frequency, Position);
    return index;
}

int32_t LoadWave(const std::string& FileName, bool NewInstance) {
    Service();
    if (!SoundEnabled) return 0;
    if (!NewInstance) {
        for (int32_t i = 1; i <= WaveCount(); ++i) {
            if (EqualsIgnoreCase(g_slots[i].Name, FileName)) return i;
        }
    }
    // The buffer is made before its slot, so a file that cannot be found, decoded or
    // taken by the device leaves the table exactly as it was.
    std::unique_ptr<SoundBuffer> buffer = MakeBuffer(FileName);
    if (!buffer) return 0;
    const int32_t index = CreateWave();
    g_slots[index].Name = FileName;
    g_slots[index].Buffer = std::move(buffer);
    return index;
}

int32_t CreateWave() {
    g_slots.emplace_back();
    return WaveCount();
}

void PlayWave(int32_t Index, bool Looping, float Volume, float Frequency, int32_t Position) {
    if (!SoundEnabled) return;
    // An index outside the table or an empty slot plays nothing.
    if (Index < 1 || Index > WaveCount() || !g_slots[Index].Buffer) return;
    Slot& slot = g_slots[Index];
    SoundBuffer& buffer = *slot.Buffer;
    Volume = Clamp(Volume, 0, 1);
    Frequency = Clamp(Frequency, 0, 1);
    if (Volume > 0) {
        slot.Attenuation = CLng((1.0f - Volume) * -10000.0f);
        if (!g_muted) buffer.SetVolume(*slot.Attenuation);
    }
    if (g_muted) buffer.SetVolume(kSilent);
    if (Frequency > 0) {
        slot.Rate = CLng(Frequency * 99900.0f);
        buffer.SetFrequency(*slot.Rate);
    }
    buffer.SetPosition(Position);
    buffer.Play(Looping);
}

void SetWavePlayObserver(WavePlayObserver observer) { g_observer = std::move(observer); }

void SetSoundMuted(bool Muted) {
    if (Muted == g_muted) return;
    g_muted = Muted;
    for (int32_t i = 1; i <= WaveCount(); ++i) {
        Slot& slot = g_slots[i];
        if (slot.Buffer) slot.Buffer->SetVolume(Muted ? kSilent : slot.Attenuation.value_or(0));
    }
}

bool SoundMuted() { return g_muted; }

}  // namespace zol
