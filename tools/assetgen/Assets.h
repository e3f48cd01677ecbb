// Assets: the generators of the game's images, sounds and song.
//
// What it does: each Write function draws or synthesises one family of resource
// files and writes it into the folder it is given; the helpers below are shared
// between the images (a block is drawn the same way on the sheet, the icon and the
// window art).
// Who owns what: the generators own nothing between calls; every file is written
// whole under a temporary name and then renamed into place.
// Failure: a Write function returns false and leaves a one-line reason in `error`.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "Canvas.h"

namespace zol::assetgen {

// ---- The files -----------------------------------------------------------------------

// img/blocks.png: the block sheet (tiles, glows, flash frames, bomb icon).
bool WriteBlocks(const std::string& imgDir, std::string& error);
// img/back.png: the tileable board background.
bool WriteBackground(const std::string& imgDir, std::string& error);
// img/particles.png: sparks and dust puffs, 7 frames by 3 types.
bool WriteParticles(const std::string& imgDir, std::string& error);
// img/fnt_minco.png: the 16 x 16-cell bitmap font.
bool WriteFont(const std::string& imgDir, std::string& error);
// img/window.png and the window icons.
bool WriteWindowArt(const std::string& imgDir, std::string& error);
// wave/*.wav: the ten sound effects.
bool WriteSounds(const std::string& waveDir, std::string& error);
// midi/back.mid: the background song.
bool WriteSong(const std::string& midiDir, std::string& error);

// Writes bytes to a file through a temporary name; false with a reason on failure.
bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error);
// A 16-bit mono PCM wave file holding the samples (-1..1, clamped).
std::vector<uint8_t> EncodeWave(int rate, const std::vector<float>& samples);

// ---- Shared drawing --------------------------------------------------------------

// The symbol a block face carries, so kinds differ in shape as well as in hue.
enum class Symbol { Dot, Bar, Triangle, Ring, Star, Clock, Question };

// How one kind of block looks.
struct BlockStyle {
    Col base;       // the body colour
    Col symbol;     // the colour of the symbol on the face
    Symbol mark;    // the symbol
};

// The style of a normal block of kind 1..5.
BlockStyle KindStyle(int kind);
// The style of the timed block and of the mystery block.
BlockStyle TimedStyle();
BlockStyle MysteryStyle();

// How a drawn shape meets what lies around it.
enum class Edge {
    Keyed,     // every pixel is either fully the shape or left untouched (colour-key sheets)
    Blended,   // edges blend into the canvas with alpha (icons)
};

// Draws a block of `size` pixels with its top-left corner at (x, y).
void DrawBlock(Canvas& c, float x, float y, float size, const BlockStyle& style, Edge edge);

// The glyph of character code `code` in the bitmap font: one row per entry,
// bit 3 the leftmost of four pixels. Rows 0..6 hold capitals, 7 and 8 descenders.
using Glyph = std::array<uint8_t, 9>;
// The glyph for a code, or nullptr when the font has none.
const Glyph* FontGlyph(int code);
// Draws a glyph with each font pixel as a `scale` x `scale` square of colour c.
void DrawGlyph(Canvas& c, int code, int x, int y, int scale, Rgba colour);

}  // namespace zol::assetgen
