// Fuzzes the texture loader with arbitrary file contents, headless (no device): the
// decoder must refuse or decode, and the table must stay consistent either way.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzFile.h"
#include "framework/graphics/qDDraw.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An odd first byte names the file as TGA, the one format known by its extension alone.
    const bool tga = size > 0 && (data[0] & 1) != 0;
    const std::string path = zol::fuzz::WriteInputFile("texture", tga ? ".tga" : ".img", data, size);

    zol::Textures.resize(1);
    zol::TextureCount = 0;
    const int32_t index = zol::LoadTexture(path, false, 1);
    if (index == 0) {
        if (zol::TextureCount != 0) std::abort();
        return 0;
    }
    if (index != 1 || zol::TextureCount != 1 || zol::Textures.size() != 2) std::abort();
    const zol::TextureRecord& rec = zol::Textures[1];
    if (rec.Width < 1 || rec.Height < 1 || rec.FileName != path) std::abort();
    // Loading the same name again finds it instead of decoding it twice.
    if (zol::LoadTexture(path, false, 1) != 1 || zol::TextureCount != 1) std::abort();
    return 0;
}
