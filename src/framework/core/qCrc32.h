// qCrc32: the standard CRC-32 (reflected polynomial 0xEDB88320, initial value and final
// complement 0xFFFFFFFF), as used by the stream files.
//
// What it does: one function over a byte range; zlib does the work with its own tables.
// Who owns what: nothing is kept here.
// Failure: none; an empty range has the CRC 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace zol {

// The CRC-32 of Size bytes at Data, as the 32-bit pattern in a Long.
int32_t Crc32(const uint8_t* Data, size_t Size);
// The CRC-32 of a whole byte array.
inline int32_t Crc32(const std::vector<uint8_t>& Data) { return Crc32(Data.data(), Data.size()); }
// The CRC-32 of the bytes of a text.
inline int32_t Crc32(std::string_view Data) {
    return Crc32(reinterpret_cast<const uint8_t*>(Data.data()), Data.size());
}

}  // namespace zol
