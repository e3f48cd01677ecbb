// qDSound: wave sound effects.
//
// What it does: each distinct file name is loaded once into its own buffer and kept; a
// play restarts that buffer with the given volume, rate and start position.
// The device opens on a worker thread (DeviceOpener): start-up waits for it only
// briefly, and a device that opens later switches sound on at the next play. A device
// whose output goes away (the sound server quit) is replaced: new ones are tried on the
// ReopenSchedule, and the one that opens gets every loaded wave again, so the table and
// its indices survive. Losses, late failures and recoveries are told once on stderr.
// Who owns what: the wave table is module-level; the sound hardware is reached only
// through the SoundDevice seam, whose backend is installed before DSound_Initialize.
// Everything here runs on the game's thread; only a device's Open runs on the worker.
// Failure: without a device every call does nothing and returns 0; a missing or
// undecodable file plays nothing and leaves the table as it was (an undecodable file
// takes no slot). DSound_Initialize leaves LastErrorCode and SoundErrorText.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "framework/sound/SoundDevice.h"

namespace zol {

extern bool SoundEnabled;    // true between a successful DSound_Initialize and DSound_Release
extern std::string WavePath; // folder that wave files are looked up in first, ending in "/"

// Begins opening the default sound device without waiting; DSound_Initialize then waits
// for it (start-up calls both, so the sound and music devices open side by side).
void DSound_StartOpen();
// Opens the default sound device; false (with LastErrorCode) when there is none. A device
// still opening after a short wait is not a failure: sound comes on when it opens.
bool DSound_Initialize(void* hWnd);
// Releases every buffer and the device, and switches sound off.
void DSound_Release();
// Finds or loads FileName and plays it; the wave index played, or 0.
int32_t PlayWaveFile(const std::string& FileName, bool Looping, float Volume, float Frequency,
                     bool NewInstance, int32_t Position);
// Finds or loads a sound; its index, or 0.
int32_t LoadWave(const std::string& FileName, bool NewInstance);
// Appends an empty slot to the wave table and returns its index.
int32_t CreateWave();
// Applies the settings to the buffer at Index and starts it.
void PlayWave(int32_t Index, bool Looping, float Volume, float Frequency, int32_t Position);

// Installs the maker of the sound device; without one DSound_Initialize fails cleanly.
void SetSoundDeviceFactory(SoundDeviceFactory factory);
// Why the last DSound_Initialize failed, or why the last found wave file could not be
// decoded; "" when nothing has failed.
std::string SoundErrorText();

// Called with every PlayWaveFile request, whether or not sound is on (tools and tests
// use it to see what the game asked for). An empty function removes the observer.
using WavePlayObserver = std::function<void(const std::string& FileName, float Volume, float Frequency)>;
void SetWavePlayObserver(WavePlayObserver observer);

// Holds every sound at silence (Muted) or gives each the volume its plays asked for
// again; plays go on as before, only through the volume. A preference of the player,
// kept across DSound_Initialize and DSound_Release.
void SetSoundMuted(bool Muted);
bool SoundMuted();

}  // namespace zol
