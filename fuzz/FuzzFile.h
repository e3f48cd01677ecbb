// Hands a fuzzer's input to a reader that only takes file names: the bytes are written to
// one file per fuzzer process (under TMPDIR, or /tmp), overwritten for every input.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace zol::fuzz {

// Writes data to this process's file for Tag and Extension and returns its path;
// aborts when the file cannot be written, since every later result would be meaningless.
inline std::string WriteInputFile(const char* Tag, const char* Extension, const uint8_t* data,
                                  size_t size) {
    static const std::string path = [&] {
        const char* dir = std::getenv("TMPDIR");
        return std::string(dir && *dir ? dir : "/tmp") + "/zol-fuzz-" + Tag + "-" +
               std::to_string(getpid()) + Extension;
    }();
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);
    return path;
}

}  // namespace zol::fuzz
