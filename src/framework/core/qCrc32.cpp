#include "framework/core/qCrc32.h"

#include <zlib.h>

namespace zol {

int32_t Crc32(const uint8_t* Data, size_t Size) {
    // crc32_z takes a size_t length, so arrays beyond 4 GiB need no splitting.
    const uLong crc = crc32_z(0L, Data, Size);
    return static_cast<int32_t>(static_cast<uint32_t>(crc));
}

}  // namespace zol
