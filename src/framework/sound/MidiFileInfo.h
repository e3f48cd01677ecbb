// MidiFileInfo: what the music module needs to know about a standard MIDI file.
//
// What it does: reads the MThd header (format, track count, ticks per quarter note) and
// walks every track to find the song's length in the file's own ticks; converts between
// the file's ticks and music time (768 ticks per quarter note).
// Who owns what: works on bytes the caller owns; keeps nothing.
// Failure: a truncated, malformed or unsupported file gives false and a readable reason;
// the reader never reads outside the bytes it is given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zol {

// Ticks per quarter note of the framework's song positions.
inline constexpr int32_t kMusicTimePerQuarter = 768;

struct MidiFileInfo {
    int32_t Format = 0;       // 0, 1 or 2
    int32_t Tracks = 0;       // tracks named by the header (all of them were read)
    int32_t Division = 0;     // file ticks per quarter note, 1..32767
    int32_t LengthTicks = 0;  // the latest track end, in file ticks
};

// Reads the header and every track of a standard MIDI file; false with Error set when
// the bytes are not a complete file with metrical (ticks per quarter note) timing.
bool ReadMidiFileInfo(const uint8_t* Data, size_t Size, MidiFileInfo& Info, std::string& Error);

// Music time to the file's ticks, rounded half to even; saturates at the Long range.
int32_t MusicTimeToFileTicks(int32_t MusicTime, int32_t Division);
// The file's ticks to music time, rounded half to even; saturates at the Long range.
int32_t FileTicksToMusicTime(int32_t FileTicks, int32_t Division);

}  // namespace zol
