// Drawing bitmap text: one font cell per character through BltRotate.
#include <algorithm>

#include "framework/core/qText.h"
#include "framework/graphics/mDText.h"

namespace zol {

namespace {
bool IsAscii(const std::string& s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

void DrawCodes(const FontRecord& Font, const std::string& Codes, float X, float Y, float Scale,
               int32_t HAlign, int32_t VAlign, Color32 Color, float Angle) {
    const size_t n = Codes.size();
    if (n == 0) return;
    const float width = static_cast<float>(n) * Scale * Font.CharWidth;
    if (HAlign == 1) X -= width;
    else if (HAlign == 2) X -= width * 0.5f;
    if (VAlign == 1) Y -= Scale * Font.LineHeight;
    else if (VAlign == 2) Y -= Scale * Font.LineHeight * 0.5f;
    for (size_t i = 0; i < n; ++i) {
        DrawGlyph(Font, static_cast<uint8_t>(Codes[i]),
                  X + Font.CharWidth * static_cast<float>(i) * Scale, Y, Scale, Color, Angle);
    }
}
}  // namespace

void DrawGlyph(const FontRecord& Font, uint8_t Char, float X, float Y, float Scale, Color32 Color,
               float Angle) {
    BltRotate(Font.Texture, X, Y, 16.0f * Scale, 16.0f * Scale, 16 * (Char % 16), 16 * (Char / 16),
              16, 16, Color, Angle, 8.0f * Scale, 8.0f * Scale, 1.0f);
}

void DrawText(const FontRecord& Font, const std::string& Text, float X, float Y, float Scale,
              int32_t HAlign, int32_t VAlign, Color32 Color, float Angle) {
    // Plain ASCII is already its own single-byte form; only other texts need converting
    // (and the allocation that comes with it).
    if (IsAscii(Text)) DrawCodes(Font, Text, X, Y, Scale, HAlign, VAlign, Color, Angle);
    else DrawCodes(Font, Utf8ToCp1252(Text), X, Y, Scale, HAlign, VAlign, Color, Angle);
}

void RenderTexts(float Offset) {
    const int32_t count = std::min<int32_t>(GlyphCount, static_cast<int32_t>(Glyphs.size()) - 1);
    for (int32_t i = 1; i <= count; ++i) {
        const TextGlyph& g = Glyphs[static_cast<size_t>(i)];
        if (g.State < GlyphEntering || g.State > GlyphLeaving) continue;
        if (!(g.Alpha > 0) || g.Char == 32) continue;
        const Color32 c = ColorRGBA(g.R + g.Glow, g.G + g.Glow, g.B + g.Glow, g.Alpha);
        DrawGlyph(g.Font, g.Char, g.X + Offset, g.Y + Offset, g.Scale, c, 0);
    }
}

}  // namespace zol
