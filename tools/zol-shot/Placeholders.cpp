#include "Placeholders.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace zol::shot {

namespace {
constexpr uint32_t kKey = 0xFFFF00FFu;  // magenta: transparent under the colour key

struct Image {
    int W, H;
    std::vector<uint32_t> Px;
    Image(int w, int h, uint32_t fill) : W(w), H(h), Px(static_cast<size_t>(w * h), fill) {}
    void Set(int x, int y, uint32_t c) {
        if (x >= 0 && y >= 0 && x < W && y < H) Px[static_cast<size_t>(y * W + x)] = c;
    }
    void Fill(int x0, int y0, int w, int h, uint32_t c) {
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x) Set(x, y, c);
    }
    bool Save(const std::string& path, std::string* error) const {
        SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(
            const_cast<uint32_t*>(Px.data()), W, H, 32, W * 4, SDL_PIXELFORMAT_ARGB8888);
        const bool ok = s && IMG_SavePNG(s, path.c_str()) == 0;
        if (!ok && error) *error = path + ": " + SDL_GetError();
        if (s) SDL_FreeSurface(s);
        return ok;
    }
};

uint32_t Rgb(int r, int g, int b) {
    auto c = [](int v) { return static_cast<uint32_t>(v < 0 ? 0 : v > 255 ? 255 : v); };
    return 0xFF000000u | (c(r) << 16) | (c(g) << 8) | c(b);
}

// One block tile: a bevelled square in its kind's hue with Kind pips in a row.
void Block(Image& img, int col, int row, int r, int g, int b, int pips) {
    const int x0 = col * 48, y0 = row * 48;
    img.Fill(x0 + 2, y0 + 2, 44, 44, Rgb(r, g, b));
    img.Fill(x0 + 2, y0 + 2, 44, 3, Rgb(r + 70, g + 70, b + 70));
    img.Fill(x0 + 2, y0 + 2, 3, 44, Rgb(r + 70, g + 70, b + 70));
    img.Fill(x0 + 2, y0 + 43, 44, 3, Rgb(r / 2, g / 2, b / 2));
    img.Fill(x0 + 43, y0 + 2, 3, 44, Rgb(r / 2, g / 2, b / 2));
    const int span = pips * 8 - 2;
    for (int i = 0; i < pips; ++i) img.Fill(x0 + 24 - span / 2 + i * 8, y0 + 21, 6, 6, Rgb(255, 255, 255));
}

// A soft round glow, white at its centre and black at its rim (for additive drawing).
void Glow(Image& img, int x0, int y0, int size, double r, double g, double b) {
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double dx = (x + 0.5 - size / 2.0) / (size / 2.0),
                         dy = (y + 0.5 - size / 2.0) / (size / 2.0);
            const double f = std::max(0.0, 1.0 - std::sqrt(dx * dx + dy * dy));
            img.Set(x0 + x, y0 + y,
                    Rgb(static_cast<int>(255 * f * r), static_cast<int>(255 * f * g),
                        static_cast<int>(255 * f * b)));
        }
}

// A 3 x 5 pixel font: for each character, five rows of three bits (top row first).
struct Glyph {
    char C;
    const char* Rows;
};
const Glyph kFont[] = {
    {'A', "010101111101101"}, {'B', "110101110101110"}, {'C', "011100100100011"},
    {'D', "110101101101110"}, {'E', "111100110100111"}, {'F', "111100110100100"},
    {'G', "011100101101011"}, {'H', "101101111101101"}, {'I', "111010010010111"},
    {'J', "001001001101010"}, {'K', "101101110101101"}, {'L', "100100100100111"},
    {'M', "101111111101101"}, {'N', "110101101101101"}, {'O', "010101101101010"},
    {'P', "110101110100100"}, {'Q', "010101101110011"}, {'R', "110101110101101"},
    {'S', "011100010001110"}, {'T', "111010010010010"}, {'U', "101101101101111"},
    {'V', "101101101101010"}, {'W', "101101111111101"}, {'X', "101101010101101"},
    {'Y', "101101010010010"}, {'Z', "111001010100111"}, {'0', "111101101101111"},
    {'1', "010110010010111"}, {'2', "110001010100111"}, {'3', "110001010001110"},
    {'4', "101101111001001"}, {'5', "111100110001110"}, {'6', "011100111101111"},
    {'7', "111001010010010"}, {'8', "111101111101111"}, {'9', "111101111001110"},
    {'.', "000000000000010"}, {',', "000000000010100"}, {'!', "010010010000010"},
    {'(', "001010010010001"}, {')', "100010010010100"}, {'-', "000000111000000"},
    {':', "000010000010000"}, {'/', "001001010100100"}, {'?', "110001010000010"},
    {'[', "110100100100110"}, {']', "011001001001011"}, {'\'', "010010000000000"},
};
}  // namespace

bool WritePlaceholderImages(const std::string& Folder, std::string* Error) {
    // Background tile: a dark blue checker with a faint grid, 128 pixels square.
    Image back(128, 128, 0);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            const bool cell = ((x / 32) + (y / 32)) % 2 == 0;
            const bool line = x % 32 == 0 || y % 32 == 0;
            back.Set(x, y, line ? Rgb(40, 52, 90) : cell ? Rgb(22, 28, 52) : Rgb(28, 34, 62));
        }
    // Blocks: row 0 the kinds 1..5, row 1 column 0 the timed block, row 3 the glows and
    // the bomb icon at (144, 144), row 4 the five flash frames.
    Image blocks(288, 240, kKey);
    const int hue[5][3] = {{200, 40, 40}, {220, 150, 20}, {40, 170, 60}, {40, 110, 210}, {150, 60, 200}};
    for (int k = 0; k < 5; ++k) Block(blocks, k, 0, hue[k][0], hue[k][1], hue[k][2], k + 1);
    Block(blocks, 0, 1, 110, 110, 120, 0);
    blocks.Fill(16, 48 + 12, 16, 4, Rgb(240, 240, 240));  // an hourglass on the timed block
    blocks.Fill(22, 48 + 16, 4, 16, Rgb(240, 240, 240));
    blocks.Fill(16, 48 + 32, 16, 4, Rgb(240, 240, 240));
    blocks.Fill(0, 144, 48, 48, 0xFF000000u);
    Glow(blocks, 0, 144, 48, 1, 1, 0.8);
    blocks.Fill(96, 144, 48, 48, 0xFF000000u);
    Glow(blocks, 96, 144, 48, 0.8, 0.9, 1);
    blocks.Fill(144, 144, 16, 16, kKey);
    blocks.Fill(147, 148, 10, 10, Rgb(30, 30, 30));  // bomb: a dark ball with a red fuse
    blocks.Fill(149, 146, 6, 14, Rgb(30, 30, 30));
    blocks.Fill(155, 145, 3, 3, Rgb(255, 60, 30));
    for (int f = 0; f < 5; ++f) {
        const int inset = 2 + f * 4, level = 255 - f * 40;
        blocks.Fill(f * 48, 192, 48, 48, 0xFF000000u);
        blocks.Fill(f * 48 + inset, 192 + inset, 48 - 2 * inset, 48 - 2 * inset,
                    Rgb(level, level, level));
    }
    // Particles: seven frames per row, row = type.
    Image particles(224, 96, 0xFF000000u);
    for (int t = 0; t < 3; ++t)
        for (int f = 0; f < 7; ++f) Glow(particles, f * 32 + f % 3, t * 32 + f % 2, 30 - f % 3, 1, 1, 1);
    // Font: white 3 x 5 glyphs in the top of their 16-pixel cells, lower case as upper.
    Image font(256, 256, kKey);
    for (int code = 32; code < 128; ++code) {
        char c = static_cast<char>(code);
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        for (const Glyph& g : kFont) {
            if (g.C != c) continue;
            for (int i = 0; i < 15; ++i)
                if (g.Rows[i] == '1')
                    font.Set((code % 16) * 16 + i % 3, (code / 16) * 16 + 2 + i / 3,
                             Rgb(255, 255, 255));
        }
    }
    return back.Save(Folder + "back.png", Error) && blocks.Save(Folder + "blocks.png", Error) &&
           particles.Save(Folder + "particles.png", Error) &&
           font.Save(Folder + "fnt_minco.png", Error);
}

}  // namespace zol::shot
