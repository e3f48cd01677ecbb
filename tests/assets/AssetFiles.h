// Readers for the generated images and song, written independently of the generator
// so that the tests check the files themselves rather than the generator's idea
// of them (the waves are read by the game's own decoder). Every reader bounds-checks
// and reports damage through `error`.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace zol::assettest {

struct Pixel {
    uint8_t r, g, b, a;
    bool operator==(const Pixel&) const = default;
};

// A decoded image in RGBA order.
struct Image {
    int width = 0, height = 0;
    std::vector<Pixel> px;
    const Pixel& At(int x, int y) const { return px[static_cast<size_t>(y) * width + x]; }
};

// Decodes a PNG through SDL2_image; false when it cannot be read.
bool LoadImage(const std::string& path, Image& out, std::string& error);

// Brightness 0..255.
inline float Luma(const Pixel& p) { return 0.299f * p.r + 0.587f * p.g + 0.114f * p.b; }
inline bool IsMagenta(const Pixel& p) { return p.r == 255 && p.g == 0 && p.b == 255; }

// One note of a MIDI file, in the file's ticks.
struct MidiNote {
    int channel, key, velocity;
    uint32_t start, end;
};

// What the tests need to know of a standard MIDI file.
struct Midi {
    int format = -1, tracks = 0, division = 0;
    std::vector<MidiNote> notes;                    // in order of their start
    std::map<int, uint32_t> firstProgramChange;     // channel -> tick
    std::map<int, uint32_t> firstNote;              // channel -> tick
    std::vector<uint32_t> tempos;                   // microseconds per quarter note
    std::vector<std::vector<uint8_t>> timeSignatures;
    uint32_t lastTick = 0;
    int unmatchedNoteOffs = 0, hangingNotes = 0;
};

// Parses a standard MIDI file (running status, meta and sysex events).
bool ParseMidi(const std::vector<uint8_t>& bytes, Midi& out, std::string& error);

// The whole content of a file, empty when it cannot be read.
std::vector<uint8_t> ReadFile(const std::string& path);

}  // namespace zol::assettest
