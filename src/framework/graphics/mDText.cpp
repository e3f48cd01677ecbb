// Placeholder: the glyph table is not built yet.
#include "framework/graphics/mDText.h"

namespace zol {

std::vector<TextGlyph> Glyphs(1);
int32_t GlyphCount = 0;

void AddText(const FontRecord&, float, float, const std::string&, int32_t, int32_t, int32_t, int32_t,
             int32_t, int32_t) {}
void UpdateTexts() {}
void Approach(float&, float, float, int32_t) {}
int32_t LiveGlyphCount() { return 0; }
void ClearTexts() {}

}  // namespace zol
