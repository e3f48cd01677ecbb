#include "framework/sound/MidiFileInfo.h"

#include <cstring>
#include <limits>

#include "framework/core/qCore.h"

namespace zol {

namespace {

// A bounded reader over the file's bytes: every read checks what is left.
class Cursor {
public:
    Cursor(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    size_t Left() const { return size_ - pos_; }
    size_t Pos() const { return pos_; }
    bool Byte(uint8_t& out) {
        if (pos_ >= size_) return false;
        out = data_[pos_++];
        return true;
    }
    bool Peek(uint8_t& out) const {
        if (pos_ >= size_) return false;
        out = data_[pos_];
        return true;
    }
    bool U16(uint32_t& out) {
        if (Left() < 2) return false;
        out = (uint32_t{data_[pos_]} << 8) | data_[pos_ + 1];
        pos_ += 2;
        return true;
    }
    bool U32(uint32_t& out) {
        if (Left() < 4) return false;
        out = (uint32_t{data_[pos_]} << 24) | (uint32_t{data_[pos_ + 1]} << 16) |
              (uint32_t{data_[pos_ + 2]} << 8) | data_[pos_ + 3];
        pos_ += 4;
        return true;
    }
    bool Tag(const char* tag) {
        if (Left() < 4 || std::memcmp(data_ + pos_, tag, 4) != 0) return false;
        pos_ += 4;
        return true;
    }
    bool Skip(size_t n) {
        if (Left() < n) return false;
        pos_ += n;
        return true;
    }
    // A variable-length quantity of at most four bytes (28 bits).
    bool VarLen(uint32_t& out) {
        out = 0;
        for (int i = 0; i < 4; ++i) {
            uint8_t b;
            if (!Byte(b)) return false;
            out = (out << 7) | (b & 0x7F);
            if ((b & 0x80) == 0) return true;
        }
        return false;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// Walks one track's events; its end tick goes to End. Running status is honoured.
bool ReadTrack(Cursor track, int64_t& End, std::string& Error) {
    int64_t tick = 0;
    uint8_t running = 0;
    while (track.Left() > 0) {
        uint32_t delta;
        if (!track.VarLen(delta)) return Error = "damaged event time", false;
        tick += delta;
        if (tick > std::numeric_limits<int32_t>::max()) return Error = "song too long", false;
        uint8_t status;
        if (!track.Peek(status)) return Error = "event missing after its time", false;
        if (status & 0x80) {
            track.Skip(1);
        } else {
            if (running == 0) return Error = "data byte without a status", false;
            status = running;
        }
        if (status == 0xFF) {
            uint8_t type;
            uint32_t len;
            if (!track.Byte(type) || !track.VarLen(len) || !track.Skip(len))
                return Error = "truncated meta event", false;
            if (type == 0x2F) break;  // end of track: the rest of the chunk is ignored
        } else if (status == 0xF0 || status == 0xF7) {
            uint32_t len;
            if (!track.VarLen(len) || !track.Skip(len)) return Error = "truncated system exclusive", false;
        } else if (status >= 0xF0) {
            return Error = "system message inside a track", false;
        } else {
            running = status;
            const uint8_t kind = status & 0xF0;
            const size_t dataBytes = (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
            for (size_t i = 0; i < dataBytes; ++i) {
                uint8_t d;
                if (!track.Byte(d)) return Error = "truncated channel event", false;
                if (d & 0x80) return Error = "status byte inside a channel event", false;
            }
        }
    }
    End = tick;
    return true;
}

int32_t Convert(int32_t value, double num, double den) {
    if (den <= 0) return 0;
    return CLng(static_cast<double>(value) * num / den);
}

}  // namespace

bool ReadMidiFileInfo(const uint8_t* Data, size_t Size, MidiFileInfo& Info, std::string& Error) {
    Info = MidiFileInfo{};
    if (Data == nullptr) Size = 0;
    Cursor file(Data, Size);
    uint32_t headerLen, format, tracks, division;
    if (!file.Tag("MThd")) return Error = "not a standard MIDI file (no MThd header)", false;
    if (!file.U32(headerLen) || headerLen < 6 || !file.U16(format) || !file.U16(tracks) ||
        !file.U16(division) || !file.Skip(headerLen - 6))
        return Error = "truncated MThd header", false;
    if (format > 2) return Error = "unknown MIDI file format " + std::to_string(format), false;
    if (division & 0x8000) return Error = "SMPTE time division is not supported", false;
    if (division == 0) return Error = "time division of zero", false;
    if (tracks == 0) return Error = "the file has no tracks", false;

    int64_t length = 0;
    uint32_t found = 0;
    while (found < tracks) {
        uint32_t chunkLen;
        const bool isTrack = file.Tag("MTrk");
        if (!isTrack && !file.Skip(4)) return Error = "truncated file: track missing", false;
        if (!file.U32(chunkLen)) return Error = "truncated chunk header", false;
        if (file.Left() < chunkLen) return Error = "truncated track", false;
        if (isTrack) {
            int64_t end = 0;
            std::string why;
            if (!ReadTrack(Cursor(Data + file.Pos(), chunkLen), end, why))
                return Error = "track " + std::to_string(found + 1) + ": " + why, false;
            if (end > length) length = end;
            ++found;
        }
        file.Skip(chunkLen);
    }
    Info.Format = static_cast<int32_t>(format);
    Info.Tracks = static_cast<int32_t>(tracks);
    Info.Division = static_cast<int32_t>(division);
    Info.LengthTicks = static_cast<int32_t>(length);
    return true;
}

int32_t MusicTimeToFileTicks(int32_t MusicTime, int32_t Division) {
    return Convert(MusicTime, Division, kMusicTimePerQuarter);
}

int32_t FileTicksToMusicTime(int32_t FileTicks, int32_t Division) {
    return Convert(FileTicks, kMusicTimePerQuarter, Division);
}

}  // namespace zol
