// Stream files: one byte array on disk with two CRC-32 checks, optional zlib compression
// and optional scrambling.
//
// Layout (Longs little-endian): "QRT2", payload size - 1, CRC of the payload, flags
// (1 compressed, 2 scrambled), plain size - 1, CRC of the plain data, then the payload
// (the data compressed, then scrambled, as flagged). Nothing follows the payload.
// Who owns what: the caller owns the arrays; files are opened and closed inside.
// Failure: false, with no message. A file is rejected for a wrong magic or length, an
// unknown flag, a CRC mismatch before or after decoding, a size that the payload cannot
// hold, or a failed decompression; a wrong password fails one of those checks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zol {

constexpr uint32_t kStreamFileHeaderSize = 24;

// Stores Data (at least one byte) as a stream file. Data itself is left as it was.
bool FileWriteData(const std::string& FileName, const std::vector<uint8_t>& Data, bool Zipped,
                   const std::string& Password);
// Loads a stream file into Data; true only when every check passed. On failure Data is
// left as it was.
bool FileReadData(const std::string& FileName, std::vector<uint8_t>& Data,
                  const std::string& Password);
// The bytes of a whole stream file holding Data (at least one byte), as FileWriteData
// stores them; false (File untouched) when Data cannot be encoded.
bool EncodeStreamFile(const std::vector<uint8_t>& Data, bool Zipped, const std::string& Password,
                      std::vector<uint8_t>& File);
// Decodes the bytes of a whole stream file held in memory; the same checks as FileReadData.
bool DecodeStreamFile(const uint8_t* File, size_t Size, std::vector<uint8_t>& Data,
                      const std::string& Password);

}  // namespace zol
