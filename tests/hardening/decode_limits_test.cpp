// Decoders against headers that claim far more than the file holds: a clear refusal,
// without the gigabytes the header asks for ever being allocated and cleared.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "framework/graphics/qDDraw.h"
#include "framework/sound/WaveDecoder.h"
#include "platform/sdl/WindowPainter.h"
#include "data/TempDir.h"

namespace zol {
namespace {

namespace fs = std::filesystem;

// The process's peak resident memory in MiB.
long PeakMiB() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024;
}

void Le32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

TEST(DecodeLimits, ImagesAndWavesClaimingGigabytesAreRefusedCheaply) {
    test::TempDir dir;
    // A 24-bit bitmap of 2 x 20 million rows (8 GiB of pixels) holding six bytes of them.
    std::vector<uint8_t> bmp(70, 0);
    bmp[0] = 'B', bmp[1] = 'M';
    Le32(bmp, 2, 70);
    Le32(bmp, 10, 54);
    Le32(bmp, 14, 40);
    Le32(bmp, 18, 2);
    Le32(bmp, 22, 20'774'144);
    bmp[26] = 1, bmp[28] = 24;
    test::WriteAll(dir.File("huge.bmp"), bmp);

    // A mono 16-bit wave whose data chunk claims 2.9 GB.
    std::vector<uint8_t> wav(44 + 64, 0xaf);
    const uint8_t head[] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
                            16,  0,   0,   0,   1, 0, 1, 0, 0x22, 0x56, 0, 0, 0x44, 0xac, 0, 0,
                            2,   0,   16,  0,   'd', 'a', 't', 'a'};
    std::copy(std::begin(head), std::end(head), wav.begin());
    Le32(wav, 4, static_cast<uint32_t>(wav.size() - 8));
    Le32(wav, 40, 0xafafafafu);
    test::WriteAll(dir.File("huge.wav"), wav);

    const long before = PeakMiB();
    const int32_t count = TextureCount;
    EXPECT_EQ(LoadTexture(dir.File("huge.bmp"), false, 0), 0);
    EXPECT_EQ(TextureCount, count) << "a refused image leaves the table as it was";

    WaveData wave;
    std::string why;
    const bool decoded = DecodeWaveFile(dir.File("huge.wav"), wave, why);
    if (decoded) {
        EXPECT_LE(wave.Pcm.size(), 64u) << "only what the file holds";
    } else {
        EXPECT_FALSE(why.empty());
        EXPECT_TRUE(wave.Pcm.empty());
    }
    EXPECT_LT(PeakMiB() - before, 256) << "the claimed sizes were allocated and cleared";

    // A vector image under an image's name is refused (its reader leaks on damaged input,
    // which the sanitizer build reports at exit).
    const std::string svg = "B<svg\0\0\0\0\0004\0\0\0(\0\0\0\2\0\0\0\2\0\0\0\0\1";
    test::WriteAll(dir.File("vector.png"), std::vector<uint8_t>(svg.begin(), svg.end()));
    EXPECT_EQ(LoadTexture(dir.File("vector.png"), false, 0), 0);
    EXPECT_EQ(TextureCount, count);

    // A damaged GIMP image whose layer claims more than an allocation may take: SDL_image's
    // reader writes through the failed allocation (found by fuzzing). Only the raster
    // formats of game art are decoded, so it is refused unread.
    fs::copy_file(fs::path(ZOL_SOURCE_DIR) / "fuzz/corpus/load_texture/xcf-writes-through-null",
                  dir.File("gimp.img"));
    EXPECT_EQ(LoadTexture(dir.File("gimp.img"), false, 0), 0);
    EXPECT_EQ(TextureCount, count);
    // The window's art and icon are read the same way (a damaged one crashed start-up).
    EXPECT_EQ(sdl::LoadImageSurface(dir.File("gimp.img")), nullptr);
    sdl::WindowPainter painter(dir.File("gimp.img"));

    // Claims below a gigabyte but beyond the largest image or sound the game can use (both
    // found by fuzzing, where each took seconds): a bitmap of 16000 x 16000 pixels and a
    // wave of 620 MB, each in a file of under 100 bytes.
    std::vector<uint8_t> big = bmp;
    Le32(big, 18, 16000);
    Le32(big, 22, 16000);
    test::WriteAll(dir.File("big.bmp"), big);
    std::vector<uint8_t> longWave = wav;
    Le32(longWave, 40, 0x25000000u);
    test::WriteAll(dir.File("long.wav"), longWave);
    const long beforeBig = PeakMiB();
    EXPECT_EQ(LoadTexture(dir.File("big.bmp"), false, 0), 0);
    WaveData longDecoded;
    if (DecodeWaveFile(dir.File("long.wav"), longDecoded, why)) {
        EXPECT_LE(longDecoded.Pcm.size(), 64u) << "only what the file holds";
    }
    EXPECT_LT(PeakMiB() - beforeBig, 100) << "a claimed size below a gigabyte was still cleared";

    // A well-formed image still loads.
    std::vector<uint8_t> small = bmp;
    Le32(small, 22, 2);
    test::WriteAll(dir.File("small.bmp"), small);
    EXPECT_NE(LoadTexture(dir.File("small.bmp"), false, 0), 0);
}

}  // namespace
}  // namespace zol
