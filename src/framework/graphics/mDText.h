// mDText: bitmap text. Immediate text (DrawText) and animated glyphs (AddText).
//
// What it does: a font is a sheet of 16 x 16 cells, 16 per row, one per single-byte
// (Windows-1252) code. AddText turns a text into one glyph per character, each with its
// own start time, lifetime and effects; UpdateTexts advances them once per tick and
// RenderTexts draws them.
// Who owns what: the glyph table is module-level; slots are recycled, never freed.
// Failure: none; unknown effect codes simply never finish.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/graphics/qDDraw.h"

namespace zol {

// A font: its sheet's texture, the advance per character and the line height at scale 1.
struct FontRecord {
    int32_t Texture = 0;
    float CharWidth = 0;
    float LineHeight = 0;
};

// Glyph states.
enum : uint8_t { GlyphWaiting = 0, GlyphEntering = 1, GlyphShowing = 2, GlyphLeaving = 3, GlyphFree = 4 };

// One animated character.
struct TextGlyph {
    uint8_t State = GlyphFree;
    int32_t StartTick = 0;
    int32_t EndTick = 0;    // 0 when the glyph never leaves by itself
    bool Ends = false;      // EndTick holds a time (a wrapped clock can make any value one)
    FontRecord Font;
    uint8_t Char = 0;
    float X = 0, Y = 0;
    float Scale = 1.0f;
    float VX = 0, VY = 0;
    float R = 0.5f, G = 0.5f, B = 0.5f;
    float Alpha = 1.0f;
    float Glow = 1.0f;
    int32_t EffectIn = 0, EffectShow = 0, EffectOut = 0;
    float Target = 1.0f;
    bool Done = false;
};

// The glyph table: slots 1..GlyphCount are in use (slot 0 is never used).
extern std::vector<TextGlyph> Glyphs;
extern int32_t GlyphCount;

// Draws one line of text now, aligned by HAlign/VAlign (0 left/top, 1 right/bottom, 2 centre).
void DrawText(const FontRecord& Font, const std::string& Text, float X, float Y, float Scale,
              int32_t HAlign, int32_t VAlign, Color32 Color, float Angle);
// Creates animated glyphs for Text (UTF-8; "\n", "\t" and "\\" escapes), timed in ms.
void AddText(const FontRecord& Font, float X, float Y, const std::string& Text, int32_t EffectIn,
             int32_t EffectShow, int32_t EffectOut, int32_t Delay, int32_t Duration,
             int32_t CharDelay);
// Advances every animated glyph by one tick.
void UpdateTexts();
// Draws every visible animated glyph, shifted by Offset pixels right and down.
void RenderTexts(float Offset);
// Draws one font cell.
void DrawGlyph(const FontRecord& Font, uint8_t Char, float X, float Y, float Scale, Color32 Color,
               float Angle);
// Moves Value towards Target by Speed (Mode 1) or by a 1/Speed of the distance (Mode 2),
// never past it.
void Approach(float& Value, float Target, float Speed, int32_t Mode);
// The number of glyph slots in use that are not free.
int32_t LiveGlyphCount();
// Empties the glyph table (tests and tools start from a clean table).
void ClearTexts();

}  // namespace zol
