// Fuzzes the stream-file reader: the same bytes read from memory and from a file must give
// the same verdict and the same data. The file is an in-memory one (memfd), reached
// through its /proc path like any other file, so nothing is left on disk.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/data/qStreamFile.h"

namespace {

int File() {
    static const int fd = memfd_create("zol-fuzz-stream", 0);
    return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int fd = File();
    if (fd < 0 || ftruncate(fd, 0) != 0) return 0;
    if (size && pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) return 0;
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    for (const char* password : {"", "pw"}) {
        std::vector<uint8_t> fromFile{1}, fromMemory{1};
        const bool a = zol::FileReadData(path, fromFile, password);
        const bool b = zol::DecodeStreamFile(data, size, fromMemory, password);
        if (a != b || fromFile != fromMemory) std::abort();
        if (!a && fromFile != std::vector<uint8_t>{1}) std::abort();  // failure keeps the target
    }
    return 0;
}
