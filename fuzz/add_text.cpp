// Fuzzes the animated text's escapes and UTF-8 conversion, headless (no device): any
// text becomes glyphs that then run their course.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "framework/core/qCore.h"
#include "framework/graphics/mDText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    // Three bytes choose the effects (the first two also the clock); the rest is the text.
    const int32_t in = data[0] % 8, show = data[1] % 8, out = data[2] % 8;
    const std::string text(reinterpret_cast<const char*>(data) + 3, size - 3);
    zol::ClearTexts();
    // The clock starts either in its ordinary range or just before it turns negative (as
    // after 24.8 days of running), so that the glyphs' times cross the turn; it wraps as
    // the host's millisecond clock does.
    const uint32_t start = (data[0] & 0x80) ? 0x7FFFFC00u + 8u * data[1] : 1000u + data[1];
    zol::TickCount = static_cast<int32_t>(start);
    const zol::FontRecord font{1, 5.0f, 16.0f};
    zol::AddText(font, 10, 20, text, in, show, out, 0, 100, 3);
    zol::AddText(font, 10, 20, text, in, show, out, 0, 0, 0);
    // At most one glyph per byte of the text, twice.
    if (zol::LiveGlyphCount() > static_cast<int32_t>(2 * text.size())) std::abort();
    if (zol::GlyphCount < zol::LiveGlyphCount()) std::abort();
    for (int i = 0; i < 40; ++i) {
        zol::TickCount = static_cast<int32_t>(static_cast<uint32_t>(zol::TickCount) + 30u);
        zol::UpdateTexts();
    }
    zol::RenderTexts(1.0f);
    zol::ClearTexts();
    return 0;
}
