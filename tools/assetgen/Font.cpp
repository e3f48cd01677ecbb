// The bitmap font: 4 x 9 pixel glyphs (capitals 7 high, descenders 2 below) in
// 16-pixel cells, white on the magenta key, for the printable ASCII range and the
// Latin-1 letters of Windows-1252 that players' names may carry.
#include <map>
#include <string_view>

#include "Assets.h"

namespace zol::assetgen {
namespace {

constexpr int kCell = 16;

// Rows separated by '|', four columns each, '#' set; missing rows are blank.
const std::map<int, std::string_view>& AsciiArt() {
    static const std::map<int, std::string_view> art = {
        {' ', ""},
        {'!', ".#..|.#..|.#..|.#..|.#..|....|.#.."},
        {'"', "#.#.|#.#."},
        {'#', "....|.#.#|####|.#.#|####|.#.#"},
        {'$', ".#..|.###|#...|.##.|...#|###.|.#.."},
        {'%', "##.#|##.#|..#.|.#..|.#..|#.##|#.##"},
        {'&', ".#..|#.#.|#.#.|.#..|#.##|#..#|.##."},
        {'\'', ".#..|.#.."},
        {'(', "..#.|.#..|#...|#...|#...|.#..|..#."},
        {')', ".#..|..#.|...#|...#|...#|..#.|.#.."},
        {'*', "....|#..#|.##.|####|.##.|#..#"},
        {'+', "....|.#..|.#..|###.|.#..|.#.."},
        {',', "....|....|....|....|....|.#..|.#..|#..."},
        {'-', "....|....|....|###."},
        {'.', "....|....|....|....|....|....|.#.."},
        {'/', "...#|...#|..#.|..#.|.#..|#...|#..."},
        {'0', ".##.|#..#|#.##|#..#|##.#|#..#|.##."},
        {'1', ".#..|##..|.#..|.#..|.#..|.#..|###."},
        {'2', ".##.|#..#|...#|..#.|.#..|#...|####"},
        {'3', "###.|...#|...#|.##.|...#|...#|###."},
        {'4', "..#.|.##.|#.#.|#.#.|####|..#.|..#."},
        {'5', "####|#...|###.|...#|...#|#..#|.##."},
        {'6', ".##.|#...|#...|###.|#..#|#..#|.##."},
        {'7', "####|...#|..#.|..#.|.#..|.#..|.#.."},
        {'8', ".##.|#..#|#..#|.##.|#..#|#..#|.##."},
        {'9', ".##.|#..#|#..#|.###|...#|...#|.##."},
        {':', "....|....|.#..|....|....|.#.."},
        {';', "....|....|.#..|....|....|.#..|.#..|#..."},
        {'<', "....|..#.|.#..|#...|.#..|..#."},
        {'=', "....|....|####|....|####"},
        {'>', "....|#...|.#..|..#.|.#..|#..."},
        {'?', ".##.|#..#|...#|..#.|.#..|....|.#.."},
        {'@', ".##.|#..#|#.##|#.##|#.##|#...|.###"},
        {'A', ".##.|#..#|#..#|####|#..#|#..#|#..#"},
        {'B', "###.|#..#|#..#|###.|#..#|#..#|###."},
        {'C', ".##.|#..#|#...|#...|#...|#..#|.##."},
        {'D', "###.|#..#|#..#|#..#|#..#|#..#|###."},
        {'E', "####|#...|#...|###.|#...|#...|####"},
        {'F', "####|#...|#...|###.|#...|#...|#..."},
        {'G', ".##.|#..#|#...|#.##|#..#|#..#|.###"},
        {'H', "#..#|#..#|#..#|####|#..#|#..#|#..#"},
        {'I', "###.|.#..|.#..|.#..|.#..|.#..|###."},
        {'J', "..##|...#|...#|...#|...#|#..#|.##."},
        {'K', "#..#|#.#.|##..|#...|##..|#.#.|#..#"},
        {'L', "#...|#...|#...|#...|#...|#...|####"},
        {'M', "#..#|####|####|#..#|#..#|#..#|#..#"},
        {'N', "#..#|##.#|##.#|#.##|#.##|#..#|#..#"},
        {'O', ".##.|#..#|#..#|#..#|#..#|#..#|.##."},
        {'P', "###.|#..#|#..#|###.|#...|#...|#..."},
        {'Q', ".##.|#..#|#..#|#..#|#..#|#.#.|.#.#"},
        {'R', "###.|#..#|#..#|###.|#.#.|#..#|#..#"},
        {'S', ".###|#...|#...|.##.|...#|...#|###."},
        {'T', "###.|.#..|.#..|.#..|.#..|.#..|.#.."},
        {'U', "#..#|#..#|#..#|#..#|#..#|#..#|.##."},
        {'V', "#.#.|#.#.|#.#.|#.#.|#.#.|.#..|.#.."},
        {'W', "#..#|#..#|#..#|#..#|####|####|#..#"},
        {'X', "#..#|#..#|.##.|.##.|.##.|#..#|#..#"},
        {'Y', "#.#.|#.#.|#.#.|.#..|.#..|.#..|.#.."},
        {'Z', "####|...#|..#.|.#..|#...|#...|####"},
        {'[', "##..|#...|#...|#...|#...|#...|##.."},
        {'\\', "#...|#...|.#..|.#..|..#.|...#|...#"},
        {']', "##..|.#..|.#..|.#..|.#..|.#..|##.."},
        {'^', ".#..|#.#."},
        {'_', "....|....|....|....|....|....|....|####"},
        {'`', "#...|.#.."},
        {'a', "....|....|.##.|...#|.###|#..#|.###"},
        {'b', "#...|#...|###.|#..#|#..#|#..#|###."},
        {'c', "....|....|.###|#...|#...|#...|.###"},
        {'d', "...#|...#|.###|#..#|#..#|#..#|.###"},
        {'e', "....|....|.##.|#..#|####|#...|.###"},
        {'f', "..#.|.#.#|.#..|###.|.#..|.#..|.#.."},
        {'g', "....|....|.###|#..#|#..#|#..#|.###|...#|.##."},
        {'h', "#...|#...|###.|#..#|#..#|#..#|#..#"},
        {'i', ".#..|....|##..|.#..|.#..|.#..|###."},
        {'j', "..#.|....|.##.|..#.|..#.|..#.|..#.|#.#.|.#.."},
        {'k', "#...|#...|#..#|#.#.|##..|#.#.|#..#"},
        {'l', "##..|.#..|.#..|.#..|.#..|.#..|###."},
        {'m', "....|....|#.#.|####|####|#..#|#..#"},
        {'n', "....|....|###.|#..#|#..#|#..#|#..#"},
        {'o', "....|....|.##.|#..#|#..#|#..#|.##."},
        {'p', "....|....|###.|#..#|#..#|#..#|###.|#...|#..."},
        {'q', "....|....|.###|#..#|#..#|#..#|.###|...#|...#"},
        {'r', "....|....|#.##|##..|#...|#...|#..."},
        {'s', "....|....|.###|#...|.##.|...#|###."},
        {'t', ".#..|.#..|###.|.#..|.#..|.#..|..#."},
        {'u', "....|....|#..#|#..#|#..#|#..#|.###"},
        {'v', "....|....|#.#.|#.#.|#.#.|#.#.|.#.."},
        {'w', "....|....|#..#|#..#|####|####|#..#"},
        {'x', "....|....|#..#|#..#|.##.|#..#|#..#"},
        {'y', "....|....|#..#|#..#|#..#|#..#|.###|...#|.##."},
        {'z', "....|....|####|...#|.##.|#...|####"},
        {'{', "..#.|.#..|.#..|#...|.#..|.#..|..#."},
        {'|', ".#..|.#..|.#..|.#..|.#..|.#..|.#..|.#.."},
        {'}', "#...|.#..|.#..|..#.|.#..|.#..|#..."},
        {'~', "....|....|....|.#.#|#.#."},
        // Letters of Windows-1252 that are not an accent over a plain letter.
        {198, ".###|#.#.|#.#.|####|#.#.|#.#.|#.##"},   // AE
        {199, ".##.|#..#|#...|#...|#...|#..#|.##.|..#.|.#.."},  // C cedilla
        {208, "###.|#..#|#..#|##.#|#..#|#..#|###."},   // Eth
        {215, "....|....|#..#|.##.|.##.|#..#"},        // multiplication sign
        {216, ".###|#.##|#.##|##.#|##.#|##.#|###."},   // O stroke
        {222, "#...|###.|#..#|#..#|###.|#...|#..."},   // Thorn
        {223, ".##.|#..#|#.#.|##..|#.#.|#..#|#.#."},   // sharp s
        {230, "....|....|.##.|.#.#|####|##..|.###"},   // ae
        {231, "....|....|.###|#...|#...|#...|.###|..#.|.#.."},  // c cedilla
        {240, ".#.#|..#.|.#.#|...#|.###|#..#|.##."},   // eth
        {247, "....|.#..|....|###.|....|.#.."},        // division sign
        {248, "....|....|.###|#.##|##.#|##.#|###."},   // o stroke
        {254, "....|#...|###.|#..#|#..#|#..#|###.|#...|#..."},  // thorn
    };
    return art;
}

Glyph Parse(std::string_view art) {
    Glyph g{};
    size_t row = 0, col = 0;
    for (char ch : art) {
        if (ch == '|') {
            ++row;
            col = 0;
            continue;
        }
        if (row < g.size() && col < 4 && ch == '#') g[row] |= static_cast<uint8_t>(8 >> col);
        ++col;
    }
    return g;
}

// Two-row accents over a letter whose body starts at row 2.
enum Accent { Grave, Acute, Circumflex, Tilde, Diaeresis, Ring };
constexpr std::string_view kAccents[] = {".#..|..#.", "..#.|.#..", ".#..|#.#.",
                                         ".#.#|#.#.", "#..#|....", ".##.|.##."};

// A capital squeezed to five rows (rows 2..6) to leave room for an accent.
Glyph ShortCapital(const Glyph& cap) {
    Glyph g{};
    const int keep[] = {0, 2, 3, 5, 6};
    for (int i = 0; i < 5; ++i) g[2 + i] = cap[keep[i]];
    return g;
}

Glyph WithAccent(Glyph body, Accent a) {
    const Glyph mark = Parse(kAccents[a]);
    body[0] |= mark[0];
    body[1] |= mark[1];
    return body;
}

std::map<int, Glyph> BuildFont() {
    std::map<int, Glyph> font;
    for (const auto& [code, art] : AsciiArt()) font[code] = Parse(art);
    auto cap = [&](char c) { return ShortCapital(font[c]); };
    auto low = [&](char c) {
        Glyph g = font[c];
        g[0] = g[1] = 0;  // drops the dot of i and j under an accent
        // A squeezed capital O would equal o, so the accented o is a size smaller.
        if (c == 'o') g = Parse("....|....|....|.##.|#..#|#..#|.##.");
        return g;
    };
    struct Row { int first; char base; bool capital; std::initializer_list<Accent> accents; };
    const Row rows[] = {
        {192, 'A', true, {Grave, Acute, Circumflex, Tilde, Diaeresis, Ring}},
        {200, 'E', true, {Grave, Acute, Circumflex, Diaeresis}},
        {204, 'I', true, {Grave, Acute, Circumflex, Diaeresis}},
        {209, 'N', true, {Tilde}},
        {210, 'O', true, {Grave, Acute, Circumflex, Tilde, Diaeresis}},
        {217, 'U', true, {Grave, Acute, Circumflex, Diaeresis}},
        {221, 'Y', true, {Acute}},
        {224, 'a', false, {Grave, Acute, Circumflex, Tilde, Diaeresis, Ring}},
        {232, 'e', false, {Grave, Acute, Circumflex, Diaeresis}},
        {236, 'i', false, {Grave, Acute, Circumflex, Diaeresis}},
        {241, 'n', false, {Tilde}},
        {242, 'o', false, {Grave, Acute, Circumflex, Tilde, Diaeresis}},
        {249, 'u', false, {Grave, Acute, Circumflex, Diaeresis}},
        {253, 'y', false, {Acute}},
        {255, 'y', false, {Diaeresis}},
    };
    for (const Row& r : rows) {
        int code = r.first;
        for (Accent a : r.accents)
            font[code++] = WithAccent(r.capital ? cap(r.base) : low(r.base), a);
    }
    return font;
}

}  // namespace

const Glyph* FontGlyph(int code) {
    static const std::map<int, Glyph> font = BuildFont();
    const auto it = font.find(code);
    return it == font.end() ? nullptr : &it->second;
}

void DrawGlyph(Canvas& c, int code, int x, int y, int scale, Rgba colour) {
    const Glyph* g = FontGlyph(code);
    if (!g) return;
    for (int row = 0; row < 9; ++row)
        for (int col = 0; col < 4; ++col)
            if ((*g)[row] & (8 >> col)) c.FillRect(x + col * scale, y + row * scale, scale, scale, colour);
}

bool WriteFont(const std::string& imgDir, std::string& error) {
    Canvas sheet(16 * kCell, 16 * kCell, kMagenta);
    for (int code = 0; code < 256; ++code)
        DrawGlyph(sheet, code, (code % 16) * kCell, (code / 16) * kCell, 1, kWhite);
    return sheet.SavePng(imgDir + "/fnt_minco.png", error);
}

}  // namespace zol::assetgen
