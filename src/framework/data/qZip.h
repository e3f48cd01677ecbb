// qZip: zlib compression of byte arrays in the framework's compressed form.
//
// What it does: Compress replaces an array by the zlib stream that zlib's compress makes
// of it (default level) followed by the plain size as a 4-byte little-endian Long;
// Uncompress reverses that. ZipCompress and ZipUncompress are the bare zlib calls.
// Who owns what: the caller owns the arrays; nothing is kept here.
// Failure: results are false or 0. A stored plain size that is negative or larger than
// the compressed bytes could ever expand to is rejected before anything is allocated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zol {

// Deflate never expands better than about 1032 to 1; anything claiming more is damaged.
constexpr uint64_t kMaxInflateRatio = 1032;

// The largest plain size that Size bytes of zlib data could decompress to.
constexpr uint64_t MaxInflatedSize(uint64_t Size) { return Size * kMaxInflateRatio + 64; }

// Compresses Data in place (zlib stream, then the plain size); false leaves it unchanged.
bool Compress(std::vector<uint8_t>& Data);
// Decompresses Data in place; on failure Data is left without its last 4 bytes (or as it
// was when it is shorter than 4 bytes or its size field is impossible).
bool Uncompress(std::vector<uint8_t>& Data);
// Compresses Source into Dest; the size of Source, or 0 on failure.
int32_t ZipCompress(const std::vector<uint8_t>& Source, std::vector<uint8_t>& Dest);
// Decompresses Source into Dest, which is sized to Size first; the decompressed size, or
// 0 on failure.
int32_t ZipUncompress(const std::vector<uint8_t>& Source, std::vector<uint8_t>& Dest, int32_t Size);

}  // namespace zol
