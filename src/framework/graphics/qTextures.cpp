// The texture table: images decoded by SDL2_image, colour-keyed, handed to the device.
#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>

#include <cctype>

#include "framework/core/qDecodeMemory.h"
#include "framework/core/qText.h"
#include "framework/core/qFileSystem.h"
#include "framework/graphics/qDDraw_Internal.h"

namespace zol {

std::vector<TextureRecord> Textures(1);
int32_t TextureCount = 0;
std::string ImagePath;

namespace {
// The game's largest image is 580 pixels wide; 4096 leaves room for any art a player may
// put in its place, and every GPU takes it. Refusing early also keeps a damaged file's
// claimed size from turning into a huge copy (the decoders' allocations are capped to match).
constexpr int32_t kMaxImageSide = 4096;

}  // namespace

bool DecodeImage(const std::string& Path, std::vector<uint32_t>& Pixels, int32_t& Width,
                 int32_t& Height) {
    LimitDecodeAllocations();
    SDL_RWops* file = SDL_RWFromFile(Path.c_str(), "rb");
    if (!file) return false;
    // Textures come from the raster formats game art is kept in: PNG, BMP, JPEG, and TGA,
    // which has no signature, so its extension names it. SDL_image reads many more, but not
    // all of its readers are safe on damaged files (the GIMP reader writes through an
    // allocation that failed, the SVG reader leaks), so every other format is refused.
    const size_t dot = Path.find_last_of("./");
    const bool tga = dot != std::string::npos && Path[dot] == '.' &&
                     SDL_strcasecmp(Path.c_str() + dot + 1, "tga") == 0;
    const char* type = IMG_isPNG(file) ? "PNG"
                       : IMG_isBMP(file) ? "BMP"
                       : IMG_isJPG(file) ? "JPG"
                       : tga             ? "TGA"
                                         : nullptr;
    if (!type) {
        SDL_RWclose(file);
        return false;
    }
    SDL_Surface* loaded = IMG_LoadTyped_RW(file, 1, type);
    if (!loaded) return false;
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(loaded);
    if (!argb) return false;
    bool ok = argb->w >= 1 && argb->h >= 1 && argb->w <= kMaxImageSide && argb->h <= kMaxImageSide;
    if (ok) {
        Width = argb->w;
        Height = argb->h;
        Pixels.resize(static_cast<size_t>(Width) * static_cast<size_t>(Height));
        SDL_LockSurface(argb);
        for (int32_t y = 0; y < Height; ++y) {
            const auto* row = static_cast<const uint8_t*>(argb->pixels) +
                              static_cast<size_t>(y) * static_cast<size_t>(argb->pitch);
            SDL_memcpy(Pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(Width), row,
                       static_cast<size_t>(Width) * 4);
        }
        SDL_UnlockSurface(argb);
    }
    SDL_FreeSurface(argb);
    return ok;
}

int32_t AddTexture(const std::string& FileName, const uint32_t* Pixels, int32_t Width,
                   int32_t Height, bool Smooth, Color32 ColorKey) {
    if (!Pixels || Width < 1 || Height < 1 || Width > kMaxImageSide || Height > kMaxImageSide)
        return 0;
    const size_t n = static_cast<size_t>(Width) * static_cast<size_t>(Height);
    std::vector<uint32_t> keyed(Pixels, Pixels + n);
    if (ColorKey != 0) {
        for (uint32_t& p : keyed)
            if (p == ColorKey) p = 0;  // transparent black
    }
    uint32_t handle = 0;
    if (auto* device = ddraw::Device.get()) {
        handle = device->CreateTexture(keyed.data(), Width, Height, Smooth);
        if (handle == 0) return 0;
    }
    TextureRecord rec;
    rec.ColorKey = ColorKey;
    rec.Smooth = Smooth;
    rec.FileName = FileName;
    rec.Texture = handle;
    rec.Width = Width;
    rec.Height = Height;
    Textures.resize(static_cast<size_t>(TextureCount) + 1);
    Textures.push_back(std::move(rec));
    return ++TextureCount;
}

int32_t LoadTexture(const std::string& FileName, bool Smooth, Color32 ColorKey) {
    if (ColorKey == 1) ColorKey = DefaultColorKey;
    for (int32_t i = 1; i <= TextureCount; ++i) {
        const TextureRecord& rec = Textures[static_cast<size_t>(i)];
        if (rec.ColorKey == ColorKey && EqualsIgnoreCase(rec.FileName, FileName)) return i;
    }
    const std::string path = ResolveFile(FileName, ImagePath);
    if (path.empty()) return 0;
    std::vector<uint32_t> pixels;
    int32_t w = 0, h = 0;
    if (!DecodeImage(path, pixels, w, h)) return 0;
    return AddTexture(FileName, pixels.data(), w, h, Smooth, ColorKey);
}

namespace ddraw {
void ReleaseAllTextures() {
    for (int32_t i = 1; i <= TextureCount && static_cast<size_t>(i) < Textures.size(); ++i) {
        TextureRecord& rec = Textures[static_cast<size_t>(i)];
        if (Device && rec.Texture != 0) Device->ReleaseTexture(rec.Texture);
        rec.Texture = 0;
    }
}
}  // namespace ddraw

}  // namespace zol
