#include "framework/data/qStreamFile.h"

#include <cstring>

#include "framework/core/qCrc32.h"
#include "framework/data/qEncrypt.h"
#include "framework/core/qFileSystem.h"
#include "framework/data/qZip.h"

namespace zol {

namespace {

constexpr uint8_t kMagic[4] = {'Q', 'R', 'T', '2'};
constexpr int32_t kZipped = 1;
constexpr int32_t kScrambled = 2;

void PutLong(uint8_t* at, int32_t value) {
    const auto bits = static_cast<uint32_t>(value);
    for (int k = 0; k < 4; ++k) at[k] = static_cast<uint8_t>(bits >> (8 * k));
}

int32_t GetLong(const uint8_t* at) {
    uint32_t bits = 0;
    for (int k = 0; k < 4; ++k) bits |= static_cast<uint32_t>(at[k]) << (8 * k);
    return static_cast<int32_t>(bits);
}

struct Header {
    int32_t Last, StoredCrc, Flags, PlainLast, PlainCrc;
};

Header ReadHeader(const uint8_t* h) {
    return {GetLong(h + 4), GetLong(h + 8), GetLong(h + 12), GetLong(h + 16), GetLong(h + 20)};
}

// The header alone says whether the payload can be what it claims; checked before the
// payload is read so that a damaged file never makes us allocate for its claims.
bool HeaderPlausible(const Header& h, uint64_t fileSize) {
    if (h.Last < 0 || h.PlainLast < 0) return false;
    if (fileSize != kStreamFileHeaderSize + static_cast<uint64_t>(h.Last) + 1) return false;
    if ((h.Flags & ~(kZipped | kScrambled)) != 0) return false;
    const uint64_t payload = static_cast<uint64_t>(h.Last) + 1;
    const uint64_t plain = static_cast<uint64_t>(h.PlainLast) + 1;
    if (h.Flags & kZipped) return payload > 4 && plain <= MaxInflatedSize(payload - 4);
    return plain == payload;
}

// Undoes scrambling and compression of a payload whose stored CRC already matched.
bool DecodePayload(const Header& h, std::vector<uint8_t>& data, const std::string& password) {
    if (h.Flags & kScrambled) {
        if (!Qcode(data, password, false)) return false;
    }
    if (h.Flags & kZipped) {
        // The size trailer is only trustworthy once unscrambled; it must agree with the header.
        const size_t n = data.size();
        if (GetLong(data.data() + n - 4) != static_cast<int64_t>(h.PlainLast) + 1) return false;
        if (!Uncompress(data)) return false;
    }
    return static_cast<int64_t>(data.size()) == static_cast<int64_t>(h.PlainLast) + 1 &&
           Crc32(data) == h.PlainCrc;
}

}  // namespace

bool EncodeStreamFile(const std::vector<uint8_t>& Data, bool Zipped, const std::string& Password,
                      std::vector<uint8_t>& File) {
    if (Data.empty() || Data.size() > static_cast<size_t>(INT32_MAX)) return false;
    const int32_t plainLast = static_cast<int32_t>(Data.size() - 1);
    const int32_t plainCrc = Crc32(Data);
    // The caller's array is left as it was; a plain payload is copied straight from it.
    const bool scrambled = !Password.empty();
    std::vector<uint8_t> stored;
    if (Zipped || scrambled) {
        stored = Data;
        if (Zipped && !Compress(stored)) return false;
        if (scrambled && !Qcode(stored, Password, true)) return false;
    }
    const std::vector<uint8_t>& payload = (Zipped || scrambled) ? stored : Data;
    if (payload.size() > static_cast<size_t>(INT32_MAX) - kStreamFileHeaderSize) return false;

    File.resize(kStreamFileHeaderSize + payload.size());
    uint8_t* header = File.data();
    std::memcpy(header, kMagic, 4);
    PutLong(header + 4, static_cast<int32_t>(payload.size() - 1));
    PutLong(header + 8, Crc32(payload));
    PutLong(header + 12, (Zipped ? kZipped : 0) | (scrambled ? kScrambled : 0));
    PutLong(header + 16, plainLast);
    PutLong(header + 20, plainCrc);
    std::memcpy(header + kStreamFileHeaderSize, payload.data(), payload.size());
    return true;
}

bool FileWriteData(const std::string& FileName, const std::vector<uint8_t>& Data, bool Zipped,
                   const std::string& Password) {
    std::vector<uint8_t> bytes;
    if (!EncodeStreamFile(Data, Zipped, Password, bytes)) return false;
    // Opened only once the bytes are ready, so a failed encoding leaves any old file alone.
    FileHandle file = OpenFile(FileName, true, true);
    if (!file) return false;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) return false;
    return std::fclose(file.release()) == 0;
}

bool FileReadData(const std::string& FileName, std::vector<uint8_t>& Data,
                  const std::string& Password) {
    FileHandle file = OpenFile(FileName, true, false);
    if (!file) return false;
    uint8_t raw[kStreamFileHeaderSize];
    if (std::fread(raw, 1, sizeof raw, file.get()) != sizeof raw) return false;
    if (std::memcmp(raw, kMagic, 4) != 0) return false;
    const Header h = ReadHeader(raw);
    const int64_t length = FileLength(file.get());
    if (length < 0 || !HeaderPlausible(h, static_cast<uint64_t>(length))) return false;
    std::vector<uint8_t> data(static_cast<size_t>(h.Last) + 1);
    if (std::fread(data.data(), 1, data.size(), file.get()) != data.size()) return false;
    if (Crc32(data) != h.StoredCrc) return false;
    if (!DecodePayload(h, data, Password)) return false;
    Data = std::move(data);
    return true;
}

bool DecodeStreamFile(const uint8_t* File, size_t Size, std::vector<uint8_t>& Data,
                      const std::string& Password) {
    if (Size < kStreamFileHeaderSize || std::memcmp(File, kMagic, 4) != 0) return false;
    const Header h = ReadHeader(File);
    if (!HeaderPlausible(h, Size)) return false;
    std::vector<uint8_t> data(File + kStreamFileHeaderSize, File + Size);
    if (Crc32(data) != h.StoredCrc) return false;
    if (!DecodePayload(h, data, Password)) return false;
    Data = std::move(data);
    return true;
}

}  // namespace zol
