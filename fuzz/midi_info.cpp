// Fuzzes the MIDI header and track reader with arbitrary file contents.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/sound/MidiFileInfo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An exact-size copy so that any read past the end is caught.
    std::vector<uint8_t> bytes(data, data + size);
    zol::MidiFileInfo info;
    std::string why;
    const bool ok = zol::ReadMidiFileInfo(bytes.data(), bytes.size(), info, why);
    if (ok != why.empty()) std::abort();
    if (!ok) return 0;
    if (info.Format < 0 || info.Format > 2 || info.Tracks < 1) std::abort();
    if (info.Division < 1 || info.Division > 32767 || info.LengthTicks < 0) std::abort();
    const int32_t t = zol::FileTicksToMusicTime(info.LengthTicks, info.Division);
    (void)zol::MusicTimeToFileTicks(t, info.Division);
    return 0;
}
