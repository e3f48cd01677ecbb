// qDMusic: background music from standard MIDI files.
//
// What it does: plays one song at a time, optionally looping a stretch of it forever,
// with a master volume and a master tempo. Song positions are music time: 768 ticks per
// quarter note, whatever the file's own division.
// The device opens on a worker thread (DeviceOpener): start-up waits for it only
// briefly, and the song and master settings asked for meanwhile start on the worker the
// moment it opens. A device whose output goes away (the sound server quit) is replaced
// at the next request (at the latest when a game is reset), and the new one plays the
// current song again from its start. Losses, late failures and recoveries are told once
// on stderr.
// Who owns what: module-level state; the synthesiser is reached only through the
// MusicDevice seam, whose backend is installed before DMusic_Initialize. Everything here
// runs on the game's thread; only a device's Open and its first song run on the worker.
// Failure: without a device every call does nothing; a missing file leaves the current
// song playing. DMusic_Initialize leaves LastErrorCode and MusicErrorText.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "framework/sound/MusicDevice.h"

namespace zol {

extern bool MusicEnabled;     // true between a successful DMusic_Initialize and DMusic_Release
extern std::string MidiPath;  // folder that MIDI files are looked up in first, ending in "/"

// Begins opening the music device (only the part that never waits for a sound server
// is done at once); DMusic_Initialize then waits for the rest.
void DMusic_StartOpen();
// Opens the music device; false (with LastErrorCode) when there is none. A device still
// opening after a short wait is not a failure: music starts when it opens.
bool DMusic_Initialize(void* hWnd);
// Drops the song and closes the device.
void DMusic_Release();
// Stops any current song and starts FileName; true when it was started (false while the
// device is still opening: the song then starts when it opens).
bool PlayMidiFile(const std::string& FileName, bool Looping, float Volume, float Tempo,
                  int32_t LoopStart, int32_t LoopEnd, int32_t StartPoint);
// Stops the current song, silences every voice and forgets the song.
void MidiStop();
// Sets the master volume (0 keeps it) and the master tempo factor (0 keeps it).
void SetupMidi(float Volume, float Tempo);

// Installs the maker of the music device; without one DMusic_Initialize fails cleanly.
void SetMusicDeviceFactory(MusicDeviceFactory factory);
// Why the last DMusic_Initialize failed; "" when it did not.
std::string MusicErrorText();

// Observers of the game's music requests, called whether or not music is on.
using MidiPlayObserver = std::function<void(const std::string& FileName)>;
using MidiStopObserver = std::function<void()>;
void SetMidiObservers(MidiPlayObserver onPlay, MidiStopObserver onStop);

// Holds the master volume at silence (Muted) or gives back the volume the songs asked
// for; songs start and stop as before. A preference of the player, kept across
// DMusic_Initialize and DMusic_Release.
void SetMusicMuted(bool Muted);
bool MusicMuted();

}  // namespace zol
