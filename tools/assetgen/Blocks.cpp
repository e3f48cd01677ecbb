// The block sheet: 48-pixel tiles on a magenta key, drawn with a cut-out, so every
// pixel is either exact magenta or fully opaque. Shape edges therefore never blend
// into the key colour; they fall back to the block's own dark border instead.
#include <algorithm>
#include <cmath>
#include <vector>

#include "Assets.h"

namespace zol::assetgen {
namespace {

constexpr int kTile = 48;
constexpr int kSheetCols = 6;
constexpr int kSheetRows = 5;
constexpr float kPi = 3.14159265f;

// Block geometry in a 48-unit design space.
constexpr float kHalf = 23.0f;      // a one-unit margin shows the seam between neighbours
constexpr float kRadius = 7.0f;
constexpr float kBorder = 2.0f;
constexpr float kBevel = 6.0f;

// Distance to the symbol of a face, in design units.
float SymbolDistance(Symbol s, float u, float v) {
    switch (s) {
    case Symbol::Dot: return SdCircle(u, v, 24, 24, 8.5f);
    case Symbol::Bar: return SdRoundBox(u, v, 24, 24, 12.5f, 4.5f, 2.0f);
    case Symbol::Triangle: {
        static const std::vector<float> tri = {24, 12, 36, 33, 12, 33};
        return SdPolygon(u, v, tri);
    }
    case Symbol::Ring: return std::fabs(SdRoundBox(u, v, 24, 24, 9.5f, 9.5f, 1.5f)) - 2.8f;
    case Symbol::Star: {
        static const std::vector<float> star = StarPoints(24, 25, 5, 13.0f, 5.5f, 0);
        return SdPolygon(u, v, star);
    }
    case Symbol::Clock: {
        float d = std::fabs(SdCircle(u, v, 24, 24, 11.0f)) - 2.0f;
        d = std::min(d, SdSegment(u, v, 24, 24, 24, 16, 1.6f));
        d = std::min(d, SdSegment(u, v, 24, 24, 30, 27, 1.6f));
        return d;
    }
    case Symbol::Question: {
        // An arc over the top from the left round to below the centre, a stem, a dot.
        float d = 1e9f;
        const float cx = 24, cy = 18, r = 7;
        float pu = cx + r * std::cos(kPi * 1.05f), pv = cy + r * std::sin(kPi * 1.05f);
        for (int i = 1; i <= 16; ++i) {
            const float a = kPi * (1.05f + i * (1.45f / 16.0f));
            const float qu = cx + r * std::cos(a), qv = cy + r * std::sin(a);
            d = std::min(d, SdSegment(u, v, pu, pv, qu, qv, 2.6f));
            pu = qu;
            pv = qv;
        }
        d = std::min(d, SdSegment(u, v, pu, pv, 24, 29, 2.6f));
        d = std::min(d, SdCircle(u, v, 24, 35.5f, 2.9f));
        return d;
    }
    }
    return 1e9f;
}

// The colour of the block at design point (u, v) that lies inside the outline;
// `unitsPerPixel` softens the symbol's edge by one screen pixel.
Col ShadeBlock(const BlockStyle& s, float u, float v, float unitsPerPixel) {
    const float d = SdRoundBox(u, v, 24, 24, kHalf, kHalf, kRadius);
    const Col dark = Scale(s.base, 0.38f);
    if (d > -kBorder) return dark;

    // The face: lit from the top left, a little darker towards the bottom.
    Col face = Scale(s.base, 1.08f - 0.22f * (v / 48.0f));
    if (d > -kBorder - kBevel) {
        // The bevel: the outward direction from the inner rectangle gives the light.
        const float iu = std::clamp(u, 24 - kHalf + kRadius, 24 + kHalf - kRadius);
        const float iv = std::clamp(v, 24 - kHalf + kRadius, 24 + kHalf - kRadius);
        float nu = u - iu, nv = v - iv;
        if (nu == 0 && nv == 0) {
            // Beside a straight edge: the nearest side decides.
            const float du = kHalf - std::fabs(u - 24), dv = kHalf - std::fabs(v - 24);
            if (du < dv) nu = u < 24 ? -1.0f : 1.0f;
            else nv = v < 24 ? -1.0f : 1.0f;
        }
        const float len = std::hypot(nu, nv);
        const float light = -(nu + nv) / (len * 1.41421356f);  // +1 top-left, -1 bottom-right
        face = light > 0 ? Mix(face, Col{1, 1, 1}, 0.42f * light)
                         : Scale(face, 1.0f + 0.45f * light);
    } else {
        // A soft gloss over the upper part of the face.
        const float gloss = SmoothStep(1.5f, -1.5f, SdRoundBox(u, v, 24, 15, 14, 6, 6));
        face = Mix(face, Col{1, 1, 1}, 0.10f * gloss);
    }

    // The symbol with a dark drop shadow, so it reads on every hue.
    const float aa = std::max(unitsPerPixel, 0.75f);
    const float shadow = Cover(SymbolDistance(s.mark, u - 1.5f, v - 1.5f) / aa);
    face = Mix(face, Scale(s.base, 0.30f), 0.85f * shadow);
    const float sym = Cover(SymbolDistance(s.mark, u, v) / aa);
    return Mix(face, s.symbol, sym);
}

}  // namespace

BlockStyle KindStyle(int kind) {
    // Hues far apart on the wheel; the symbols carry the difference for
    // players who cannot tell every hue apart.
    switch (kind) {
    case 1: return {Hsv(355, 0.78f, 0.95f), Rgb255(255, 236, 236), Symbol::Dot};
    case 2: return {Hsv(42, 0.85f, 1.00f), Rgb255(255, 250, 225), Symbol::Bar};
    case 3: return {Hsv(128, 0.72f, 0.80f), Rgb255(235, 255, 235), Symbol::Triangle};
    case 4: return {Hsv(208, 0.80f, 0.95f), Rgb255(232, 244, 255), Symbol::Ring};
    default: return {Hsv(278, 0.62f, 0.88f), Rgb255(250, 235, 255), Symbol::Star};
    }
}

BlockStyle TimedStyle() { return {Rgb255(104, 112, 124), Rgb255(255, 200, 70), Symbol::Clock}; }

BlockStyle MysteryStyle() {
    return {Rgb255(70, 60, 110), Rgb255(255, 255, 255), Symbol::Question};
}

void DrawBlock(Canvas& c, float x, float y, float size, const BlockStyle& style, Edge edge) {
    const float unitsPerPixel = kTile / size;
    const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    const int x1 = static_cast<int>(std::ceil(x + size)), y1 = static_cast<int>(std::ceil(y + size));
    for (int py = y0; py < y1; ++py) {
        for (int px = x0; px < x1; ++px) {
            if (px < 0 || py < 0 || px >= c.Width() || py >= c.Height()) continue;
            const float u = (px + 0.5f - x) * unitsPerPixel;
            const float v = (py + 0.5f - y) * unitsPerPixel;
            const float d = SdRoundBox(u, v, 24, 24, kHalf, kHalf, kRadius) / unitsPerPixel;
            const float cover = Cover(d);
            if (edge == Edge::Keyed) {
                if (cover < 0.5f) continue;
                c.Set(px, py, ToRgba(ShadeBlock(style, u, v, unitsPerPixel)));
            } else {
                c.Over(px, py, ShadeBlock(style, u, v, unitsPerPixel), cover);
            }
        }
    }
}

namespace {

// The glow over an appearing block: a bright rim that follows the outline.
void DrawAppearGlow(Canvas& c, int ox, int oy) {
    for (int y = 0; y < kTile; ++y)
        for (int x = 0; x < kTile; ++x) {
            const float d = SdRoundBox(x + 0.5f, y + 0.5f, 24, 24, kHalf - 2, kHalf - 2, kRadius);
            const float rim = std::exp(-std::fabs(d) / 2.6f);
            const float fill = d < 0 ? 0.30f * SmoothStep(0, -12, d) : 0.0f;
            // Dark at the tile's own edge, so the additive sprite shows no square.
            const float edge = std::min(std::min(x, kTile - 1 - x), std::min(y, kTile - 1 - y));
            const float v = Sat(rim + fill) * SmoothStep(-0.5f, 2.5f, edge);
            c.Set(ox + x, oy + y, ToRgba(Col{v, v, v * 0.92f}));
        }
}

// The glow over a changing block: a round burst with soft rays.
void DrawChangeGlow(Canvas& c, int ox, int oy) {
    for (int y = 0; y < kTile; ++y)
        for (int x = 0; x < kTile; ++x) {
            const float dx = x + 0.5f - 24, dy = y + 0.5f - 24;
            const float r = std::hypot(dx, dy);
            const float core = std::exp(-(r * r) / (2 * 9.0f * 9.0f));
            const float rays = std::pow(std::fabs(std::cos(4 * std::atan2(dy, dx))), 12.0f) *
                               std::exp(-r / 11.0f) * 0.8f;
            // Fade to black before the tile edge so the sprite has no visible border.
            const float fade = SmoothStep(24, 18, r);
            const float v = Sat((core + rays) * fade);
            c.Set(ox + x, oy + y, ToRgba(Col{v, v * 0.97f, v * 0.85f}));
        }
}

// One frame of the white flash: the block's outline shrinking and dimming.
void DrawFlash(Canvas& c, int ox, int oy, int frame) {
    const float inset = frame * 4.0f;
    const float value = 1.0f - frame * 0.12f;
    for (int y = 0; y < kTile; ++y)
        for (int x = 0; x < kTile; ++x) {
            const float d = SdRoundBox(x + 0.5f, y + 0.5f, 24, 24, kHalf - inset, kHalf - inset,
                                       std::max(kRadius - inset * 0.5f, 2.0f));
            if (d > 0) continue;
            // A slightly brighter rim keeps the small late frames crisp.
            const float v = value * (d > -2 ? 1.0f : 0.88f);
            c.Set(ox + x, oy + y, ToRgba(Col{v, v, v}));
        }
}

// The 16 x 16 bomb icon: a round steel-blue bomb with a burning fuse.
void DrawBomb(Canvas& c, int ox, int oy) {
    // A light rim keeps the dark bomb visible on the dark board.
    const Col body = Rgb255(84, 92, 120), rim = Rgb255(176, 184, 206);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const float u = x + 0.5f, v = y + 0.5f;
            const float d = SdCircle(u, v, 7, 9.5f, 5.6f);
            const float cap = SdRoundBox(u, v, 10.4f, 5.4f, 1.5f, 1.5f, 0.4f);
            const float fuse = SdSegment(u, v, 11.0f, 4.6f, 12.9f, 2.8f, 0.75f);
            const float glow = SdCircle(u, v, 13.6f, 2.2f, 1.9f);
            const float rays = std::min(SdSegment(u, v, 13.6f, 0.0f, 13.6f, 4.4f, 0.5f),
                                        SdSegment(u, v, 11.4f, 2.2f, 15.8f, 2.2f, 0.5f));
            if (glow < -1.0f) c.Set(ox + x, oy + y, kWhite);
            else if (glow < 0 || rays < 0) c.Set(ox + x, oy + y, Rgba{255, 214, 60, 255});
            else if (fuse < 0) c.Set(ox + x, oy + y, Rgba{214, 150, 70, 255});
            else if (cap < 0) c.Set(ox + x, oy + y, Rgba{150, 156, 170, 255});
            else if (d < 0) {
                const float hl = SdCircle(u, v, 5.2f, 7.6f, 1.7f);
                Col col = d > -1 ? rim : Mix(body, Scale(body, 0.55f), Sat((u + v - 10) / 12));
                if (hl < 0) col = Rgb255(200, 210, 230);
                c.Set(ox + x, oy + y, ToRgba(col));
            }
        }
}

}  // namespace

bool WriteBlocks(const std::string& imgDir, std::string& error) {
    Canvas sheet(kSheetCols * kTile, kSheetRows * kTile, kMagenta);
    for (int kind = 1; kind <= 5; ++kind)
        DrawBlock(sheet, (kind - 1) * kTile, 0, kTile, KindStyle(kind), Edge::Keyed);
    DrawBlock(sheet, 0, kTile, kTile, TimedStyle(), Edge::Keyed);
    DrawBlock(sheet, kTile, kTile, kTile, MysteryStyle(), Edge::Keyed);
    DrawAppearGlow(sheet, 0, 3 * kTile);
    DrawChangeGlow(sheet, 2 * kTile, 3 * kTile);
    DrawBomb(sheet, 144, 144);
    for (int f = 0; f < 5; ++f) DrawFlash(sheet, f * kTile, 4 * kTile, f);
    return sheet.SavePng(imgDir + "/blocks.png", error);
}

}  // namespace zol::assetgen
