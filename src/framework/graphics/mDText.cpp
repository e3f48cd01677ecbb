#include "framework/graphics/mDText.h"

#include <cmath>

#include "framework/core/qCore.h"
#include "framework/core/qRandom.h"
#include "framework/core/qText.h"

namespace zol {

namespace {

// Enough slots for several level-ups at once before the table has to grow.
constexpr size_t kInitialSlots = 512;
// Texts up to this many bytes are converted in a local buffer, without the heap.
constexpr size_t kLocalText = 256;

std::vector<TextGlyph> MakeTable() {
    std::vector<TextGlyph> table(1);
    table.reserve(kInitialSlots);
    return table;
}

// Replaces every two-byte sequence (a, b) by c, left to right, in place; the new length.
size_t ReplacePair(char* text, size_t n, char a, char b, char c) {
    size_t out = 0;
    for (size_t i = 0; i < n; ++i) {
        if (i + 1 < n && text[i] == a && text[i + 1] == b) {
            text[out++] = c;
            ++i;
        } else {
            text[out++] = text[i];
        }
    }
    return out;
}

// No slot below this index is free: the search for a free slot starts here.
int32_t g_firstFree = 1;

// The first free slot, or a new one at the end of the table.
TextGlyph& AddGlyph() {
    for (int32_t i = g_firstFree; i <= GlyphCount; ++i) {
        if (Glyphs[i].State == GlyphFree) {
            g_firstFree = i + 1;
            return Glyphs[i];
        }
    }
    g_firstFree = GlyphCount + 2;
    ++GlyphCount;
    if (Glyphs.size() < static_cast<size_t>(GlyphCount) + 1) Glyphs.resize(GlyphCount + 1);
    return Glyphs[GlyphCount];
}

// A 32-bit millisecond value with wrap-around instead of overflow.
int32_t WrapMs(int64_t value) { return static_cast<int32_t>(static_cast<uint32_t>(value)); }

// Whether the clock has gone past Tick. The millisecond clock turns negative after 24.8
// days and wraps after 49.7, so times are compared by their difference, which stays right
// across the wrap for any delay shorter than 24 days.
bool Passed(int32_t Tick) {
    const uint32_t since = static_cast<uint32_t>(TickCount) - static_cast<uint32_t>(Tick);
    return since != 0 && since < 0x80000000u;
}

// One step of an effect; sets Done when the effect has finished.
void ApplyGlyphEffect(TextGlyph& g, int32_t effect) {
    g.Done = false;
    switch (effect) {
    case 0:
        g.Done = true;
        break;
    case 10:
        Approach(g.Glow, 0, 5, 2);
        g.Done = g.Glow < 0.01f;
        break;
    case 12:
        Approach(g.Alpha, 0, 10, 2);
        g.Done = g.Alpha < 0.01f;
        break;
    case 20:
        g.VY = static_cast<float>(g.VY + g.Scale * 0.1);
        Approach(g.Alpha, 0, 15, 2);
        g.Done = g.Alpha < 0.01f;
        break;
    case 21:
        g.VY = static_cast<float>(g.VY - g.Scale * 0.1);
        Approach(g.Alpha, 0, 15, 2);
        g.Done = g.Alpha < 0.01f;
        break;
    case 24:
        g.Scale = static_cast<float>(g.Scale + 0.1);
        g.Y = static_cast<float>(g.Y - g.Font.LineHeight * 0.05);
        g.X = static_cast<float>(g.X - g.Font.CharWidth * 0.05);
        Approach(g.Alpha, 0, 15, 2);
        g.Done = g.Alpha < 0.01f;
        break;
    case 30:
        if (Rnd() < 0.1) g.Target = static_cast<float>(Rnd() * 2 - 1);
        Approach(g.Alpha, g.Target, 0.1f, 1);
        g.Done = true;
        break;
    case 31:
        if (Rnd() < 0.01) g.Target = g.Target == 1.0f ? 0.7f : 1.0f;
        Approach(g.Alpha, g.Target, 0.1f, 1);
        g.Done = true;
        break;
    default:
        break;  // unknown effects never finish
    }
}

}  // namespace

std::vector<TextGlyph> Glyphs = MakeTable();
int32_t GlyphCount = 0;

void AddText(const FontRecord& Font, float X, float Y, const std::string& Text, int32_t EffectIn,
             int32_t EffectShow, int32_t EffectOut, int32_t Delay, int32_t Duration,
             int32_t CharDelay) {
    if (Text.empty()) return;
    char local[kLocalText];
    std::string converted;  // only for long or non-ASCII texts
    char* codes = local;
    size_t n = Text.size();
    bool ascii = n <= kLocalText;
    for (size_t i = 0; ascii && i < n; ++i) ascii = static_cast<unsigned char>(Text[i]) < 0x80;
    if (ascii) {
        for (size_t i = 0; i < n; ++i) local[i] = Text[i];
    } else {
        converted = Utf8ToCp1252(Text);
        codes = converted.data();
        n = converted.size();
    }
    // The escapes are plain ASCII, so replacing them after the conversion is the same as before.
    n = ReplacePair(codes, n, '\\', 'n', '\r');
    n = ReplacePair(codes, n, '\\', 't', '\t');
    n = ReplacePair(codes, n, '\\', '\\', '\\');

    float dx = 0, dy = 0;
    for (size_t i = 0; i < n; ++i) {
        const uint8_t code = static_cast<uint8_t>(codes[i]);
        if (code == 13) {
            dx = 0;
            dy += Font.LineHeight;
            continue;
        }
        if (code == 9) {
            dx += 4 * Font.CharWidth;
            continue;
        }
        TextGlyph& g = AddGlyph();
        g = TextGlyph{};
        g.State = GlyphWaiting;
        g.StartTick = WrapMs(int64_t{TickCount} + Delay + static_cast<int64_t>(i) * CharDelay);
        g.Ends = Duration > 0;
        g.EndTick = g.Ends ? WrapMs(int64_t{g.StartTick} + Duration) : 0;
        g.Font = Font;
        g.Char = code;
        g.X = X + dx;
        g.Y = Y + dy;
        g.EffectIn = EffectIn;
        g.EffectShow = EffectShow;
        g.EffectOut = EffectOut;
        dx += Font.CharWidth;
    }
}

void UpdateTexts() {
    for (int32_t i = 1; i <= GlyphCount; ++i) {
        TextGlyph& g = Glyphs[i];
        switch (g.State) {
        case GlyphWaiting:
            if (Passed(g.StartTick)) {
                ApplyGlyphEffect(g, g.EffectIn);
                g.State = GlyphEntering;
            }
            break;
        case GlyphEntering:
            ApplyGlyphEffect(g, g.EffectIn);
            if (g.Done) g.State = GlyphShowing;
            break;
        case GlyphShowing:
            if (!g.Ends || !Passed(g.EndTick)) {
                ApplyGlyphEffect(g, g.EffectShow);
            } else {
                ApplyGlyphEffect(g, g.EffectOut);
                g.State = GlyphLeaving;
            }
            break;
        case GlyphLeaving:
            ApplyGlyphEffect(g, g.EffectOut);
            if (g.Done) {
                g.State = GlyphFree;
                if (i < g_firstFree) g_firstFree = i;
            }
            break;
        default:
            continue;
        }
        if (g.State >= GlyphEntering && g.State <= GlyphLeaving) {
            g.X += g.VX;
            g.Y += g.VY;
        }
    }
}

void Approach(float& Value, float Target, float Speed, int32_t Mode) {
    if (Value == Target) return;
    float step;
    if (Mode == 1) {
        step = Speed;
    } else if (Mode == 2) {
        step = std::fabs(Target - Value) / Speed;
    } else {
        return;
    }
    if (Value < Target) {
        Value += step;
        if (Value > Target) Value = Target;
    } else {
        Value -= step;
        if (Value < Target) Value = Target;
    }
}

int32_t LiveGlyphCount() {
    int32_t live = 0;
    for (int32_t i = 1; i <= GlyphCount; ++i) live += Glyphs[i].State < GlyphFree ? 1 : 0;
    return live;
}

void ClearTexts() {
    Glyphs.resize(1);
    GlyphCount = 0;
    g_firstFree = 1;
}

}  // namespace zol
