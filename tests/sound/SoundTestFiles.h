// Small files the sound tests and benchmarks write for themselves: wave files, standard
// MIDI files and a scratch folder that is removed again.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>
#include <algorithm>
#include <unistd.h>

namespace zol::testfiles {

// A fresh folder below the system's temporary folder, removed at the end of its scope.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name) {
        path_ = std::filesystem::temp_directory_path() / ("zol_" + name + "_" + std::to_string(::getpid()));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    // The folder with a trailing "/".
    std::string Path() const { return path_.string() + "/"; }

private:
    std::filesystem::path path_;
};

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline void PutLE(std::vector<uint8_t>& b, uint32_t v, int n) {
    for (int i = 0; i < n; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// A PCM wave file of Frames frames of a square wave.
inline std::vector<uint8_t> WaveFile(int rate, int channels, int bits, int frames) {
    const uint32_t dataBytes = static_cast<uint32_t>(frames * channels * bits / 8);
    std::vector<uint8_t> b{'R', 'I', 'F', 'F'};
    PutLE(b, 36 + dataBytes, 4);
    for (char c : std::string("WAVEfmt ")) b.push_back(static_cast<uint8_t>(c));
    PutLE(b, 16, 4);
    PutLE(b, 1, 2);
    PutLE(b, static_cast<uint32_t>(channels), 2);
    PutLE(b, static_cast<uint32_t>(rate), 4);
    PutLE(b, static_cast<uint32_t>(rate * channels * bits / 8), 4);
    PutLE(b, static_cast<uint32_t>(channels * bits / 8), 2);
    PutLE(b, static_cast<uint32_t>(bits), 2);
    for (char c : std::string("data")) b.push_back(static_cast<uint8_t>(c));
    PutLE(b, dataBytes, 4);
    for (int f = 0; f < frames; ++f) {
        const bool high = (f / 20) % 2 == 0;
        for (int c = 0; c < channels; ++c) {
            if (bits == 8) b.push_back(high ? 200 : 56);
            else PutLE(b, static_cast<uint32_t>((high ? 12000 : -12000) * (1 << (bits - 16))), bits / 8);
        }
    }
    return b;
}

// A tiny standard MIDI file writer: events are added with absolute ticks per track.
class MidiWriter {
public:
    explicit MidiWriter(int division, int format = 1) : division_(division), format_(format) {}
    // Starts a new track; later events go to it.
    MidiWriter& Track() {
        tracks_.emplace_back();
        return *this;
    }
    // A note of Length ticks at Tick on channel 0.
    MidiWriter& Note(uint32_t tick, uint32_t length, uint8_t key, uint8_t velocity = 100) {
        Add(tick, {0x90, key, velocity});
        Add(tick + length, {0x80, key, 0});
        return *this;
    }
    MidiWriter& Program(uint32_t tick, uint8_t program) { return Add(tick, {0xC0, program}); }
    // The end-of-track event; without it the track ends at its last event.
    MidiWriter& End(uint32_t tick) { return Add(tick, {0xFF, 0x2F, 0x00}); }
    MidiWriter& Add(uint32_t tick, std::vector<uint8_t> event) {
        if (tracks_.empty()) Track();
        tracks_.back().push_back({tick, std::move(event)});
        return *this;
    }
    std::vector<uint8_t> Bytes() const {
        std::vector<uint8_t> b{'M', 'T', 'h', 'd', 0, 0, 0, 6};
        PutBE(b, static_cast<uint32_t>(format_), 2);
        PutBE(b, static_cast<uint32_t>(tracks_.size()), 2);
        PutBE(b, static_cast<uint32_t>(division_), 2);
        for (auto events : tracks_) {
            std::stable_sort(events.begin(), events.end(), [](const auto& x, const auto& y) { return x.first < y.first; });
            std::vector<uint8_t> body;
            uint32_t now = 0;
            for (const auto& [tick, bytes] : events) {
                PutVarLen(body, tick - now);
                now = tick;
                body.insert(body.end(), bytes.begin(), bytes.end());
            }
            for (char c : std::string("MTrk")) b.push_back(static_cast<uint8_t>(c));
            PutBE(b, static_cast<uint32_t>(body.size()), 4);
            b.insert(b.end(), body.begin(), body.end());
        }
        return b;
    }

private:
    static void PutBE(std::vector<uint8_t>& b, uint32_t v, int n) {
        for (int i = n - 1; i >= 0; --i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    static void PutVarLen(std::vector<uint8_t>& b, uint32_t v) {
        uint8_t tmp[5];
        int n = 0;
        tmp[n++] = v & 0x7F;
        while ((v >>= 7) != 0) tmp[n++] = static_cast<uint8_t>(0x80 | (v & 0x7F));
        while (n > 0) b.push_back(tmp[--n]);
    }
    int division_;
    int format_;
    std::vector<std::vector<std::pair<uint32_t, std::vector<uint8_t>>>> tracks_;
};

}  // namespace zol::testfiles
