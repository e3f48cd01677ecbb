#include "framework/data/qZip.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace zol {

namespace {

// Room for the compressed form: the classic n * 1.01 + 12, never less than zlib's own
// bound so that compress cannot run out of space on tiny or incompressible inputs.
uLong CompressCapacity(size_t n) {
    const double classic = std::nearbyint(static_cast<double>(n) * 1.01 + 12);
    return std::max(static_cast<uLong>(classic), compressBound(static_cast<uLong>(n)));
}

bool CompressInto(const uint8_t* src, size_t n, std::vector<uint8_t>& dest) {
    if (n > std::numeric_limits<uLong>::max() / 2) return false;
    uLongf capacity = CompressCapacity(n);
    dest.resize(capacity + 1);
    if (compress(dest.data(), &capacity, src, static_cast<uLong>(n)) != Z_OK) return false;
    dest.resize(capacity);
    return true;
}

// Inflates exactly into dest[0..size); the bytes produced, or -1.
int64_t UncompressInto(const uint8_t* src, size_t n, std::vector<uint8_t>& dest, size_t size) {
    dest.resize(size);
    uLongf produced = static_cast<uLongf>(size);
    // uncompress wants a non-null buffer even for an empty result.
    uint8_t dummy = 0;
    uint8_t* out = size ? dest.data() : &dummy;
    if (uncompress(out, &produced, src, static_cast<uLong>(n)) != Z_OK) return -1;
    return static_cast<int64_t>(produced);
}

}  // namespace

bool Compress(std::vector<uint8_t>& Data) {
    const size_t n = Data.size();
    if (n > static_cast<size_t>(std::numeric_limits<int32_t>::max())) return false;
    std::vector<uint8_t> dest;
    if (!CompressInto(Data.data(), n, dest)) return false;
    const auto size = static_cast<uint32_t>(n);
    for (int shift = 0; shift < 32; shift += 8) dest.push_back(static_cast<uint8_t>(size >> shift));
    Data = std::move(dest);
    return true;
}

bool Uncompress(std::vector<uint8_t>& Data) {
    if (Data.size() < 4) return false;
    const size_t body = Data.size() - 4;
    uint32_t bits = 0;
    for (int k = 0; k < 4; ++k) bits |= static_cast<uint32_t>(Data[body + k]) << (8 * k);
    const auto size = static_cast<int32_t>(bits);
    if (size < 0 || static_cast<uint64_t>(size) > MaxInflatedSize(body)) return false;
    Data.resize(body);
    std::vector<uint8_t> dest;
    const int64_t produced = UncompressInto(Data.data(), body, dest, static_cast<size_t>(size));
    if (produced < 0) return false;
    dest.resize(static_cast<size_t>(produced));
    Data = std::move(dest);
    return true;
}

int32_t ZipCompress(const std::vector<uint8_t>& Source, std::vector<uint8_t>& Dest) {
    if (Source.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())) return 0;
    if (!CompressInto(Source.data(), Source.size(), Dest)) return 0;
    return static_cast<int32_t>(Source.size());
}

int32_t ZipUncompress(const std::vector<uint8_t>& Source, std::vector<uint8_t>& Dest, int32_t Size) {
    if (Size < 0 || static_cast<uint64_t>(Size) > MaxInflatedSize(Source.size())) return 0;
    const int64_t produced =
        UncompressInto(Source.data(), Source.size(), Dest, static_cast<size_t>(Size));
    if (produced < 0) return 0;
    Dest.resize(static_cast<size_t>(produced));
    return static_cast<int32_t>(produced);
}

}  // namespace zol
