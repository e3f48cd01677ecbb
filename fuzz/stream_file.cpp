// Fuzzes the stream-file reader: the same bytes read from memory and from disk must give
// the same verdict and the same data.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/data/qStreamFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/zol-fuzz-stream-" + std::to_string(::getpid()) + ".qrt";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    for (const char* password : {"", "pw"}) {
        std::vector<uint8_t> fromFile{1}, fromMemory{1};
        const bool a = zol::FileReadData(path, fromFile, password);
        const bool b = zol::DecodeStreamFile(data, size, fromMemory, password);
        if (a != b || fromFile != fromMemory) std::abort();
        if (!a && fromFile != std::vector<uint8_t>{1}) std::abort();  // failure keeps the target
    }
    return 0;
}
