// Placeholder: text drawing is not built yet.
#include "framework/graphics/mDText.h"

namespace zol {

void DrawText(const FontRecord&, const std::string&, float, float, float, int32_t, int32_t, Color32,
              float) {}
void RenderTexts(float) {}
void DrawGlyph(const FontRecord&, uint8_t, float, float, float, Color32, float) {}

}  // namespace zol
