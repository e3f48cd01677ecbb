// MusicDevice: the seam between the MIDI music module and the synthesiser.
//
// What it does: holds at most one song (a standard MIDI file), with a start point,
// loop points repeated forever or not at all, a master volume (hundredths of a decibel)
// and a master tempo factor; plays, stops, and silences every hanging note.
// Song positions are music time, 768 ticks per quarter note; the backend converts them
// to the file's own division.
// Who owns what: qDMusic owns the device; the device owns its song and its synthesiser.
// The master volume and tempo belong to the device and outlive each song.
// Failure: every call reports failure by its result; Open's failure is described by
// ErrorCode and ErrorText. A failing call leaves the previous settings in place. An
// output that goes away while open (the sound server quit) makes Lost true; the device
// then stays silent for good and the music module opens a new one.
// Threads: Open, and the calls that start a song right after it, may run on a worker
// thread (Open can block while a sound server does not answer); Prepare runs on the
// thread that made the device; afterwards the device is used from the thread that took
// it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zol {

// Error numbers the music side leaves in LastErrorCode.
inline constexpr int32_t kMusicErrNoBackend = 3101;    // no music backend installed
inline constexpr int32_t kMusicErrNoSynth = 3102;      // the synthesiser cannot be made
inline constexpr int32_t kMusicErrNoSoundfont = 3103;  // no usable General MIDI soundfont
inline constexpr int32_t kMusicErrNoOutput = 3104;     // no audio output for the synthesiser

// The synthesiser as the music module sees it.
class MusicDevice {
public:
    virtual ~MusicDevice() = default;
    // Does the part of opening that never waits for a sound server (the synthesiser and
    // its instruments), on the caller's thread; false when it fails. Open does the rest.
    virtual bool Prepare() { return true; }
    // Opens the synthesiser and its output (doing Prepare's part first if it was not
    // done); false when music cannot play.
    virtual bool Open() = 0;
    // True once an opened output has gone away for good.
    virtual bool Lost() const { return false; }
    // The error number of the last Open failure (one of the kMusicErr codes).
    virtual int32_t ErrorCode() const = 0;
    // A readable text for the last Open failure.
    virtual std::string ErrorText() const = 0;

    // Makes the bytes of a standard MIDI file the current song, stopped at its start;
    // false (and no song) when they are not a playable file.
    virtual bool LoadSong(const std::vector<uint8_t>& FileBytes) = 0;
    // The current song's length in music time; 0 without a song.
    virtual int32_t SongLength() const = 0;
    // Sets where the song starts playing, in music time.
    virtual bool SetStartPoint(int32_t MusicTime) = 0;
    // Sets the stretch that repeats, in music time (LoopEnd past the song ends at its end).
    virtual bool SetLoopPoints(int32_t LoopStart, int32_t LoopEnd) = 0;
    // Repeat the loop stretch forever (true) or play the song once (false).
    virtual bool SetRepeat(bool Forever) = 0;
    // Starts the current song.
    virtual bool Play() = 0;
    // Stops the current song and forgets it.
    virtual void Stop() = 0;
    // Silences every voice at once and returns the synthesiser to its initial state.
    virtual void Reset() = 0;

    // Sets the master attenuation in hundredths of a decibel (0 full, -10000 silent).
    virtual bool SetMasterVolume(int32_t Attenuation) = 0;
    // Sets the master tempo factor (1 is the song's own tempo).
    virtual bool SetMasterTempo(float Factor) = 0;
};

// Makes the device DMusic_Initialize opens (main installs the real backend).
using MusicDeviceFactory = std::function<std::unique_ptr<MusicDevice>()>;

}  // namespace zol
