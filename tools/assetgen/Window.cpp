// The window's background art (a game cabinet around the drawing area) and the
// window icon in several sizes.
#include <algorithm>
#include <cmath>
#include <string>

#include "Assets.h"

namespace zol::assetgen {
namespace {

struct Rect {
    int x, y, w, h;
};

// Where the window places its controls; the art leaves these areas light and plain
// because the labels are drawn in black straight over it.
constexpr Rect kLabels[] = {
    {40, 12, 145, 27},  {288, 12, 253, 27}, {172, 356, 85, 21}, {268, 356, 81, 21},
    {408, 364, 93, 15}, {520, 364, 45, 15}, {12, 364, 121, 15},
};
constexpr Rect kDrawingArea{49, 49, 482, 290};
constexpr Rect kBezel{40, 42, 500, 309};  // holds the drawing area and the level bar

// Fills a rounded rectangle with a shading function of the pixel, anti-aliased
// against what lies beneath (the window art is opaque, so alpha is not involved).
template <typename Shade>
void FillRounded(Canvas& c, Rect r, float radius, Shade shade) {
    const float cx = r.x + r.w / 2.0f, cy = r.y + r.h / 2.0f;
    for (int y = r.y - 1; y <= r.y + r.h; ++y)
        for (int x = r.x - 1; x <= r.x + r.w; ++x) {
            if (x < 0 || y < 0 || x >= c.Width() || y >= c.Height()) continue;
            const float d = SdRoundBox(x + 0.5f, y + 0.5f, cx, cy, r.w / 2.0f, r.h / 2.0f, radius);
            c.Over(x, y, shade(x, y, d), Cover(d));
        }
}

void DrawCabinet(Canvas& c) {
    const TileNoise grain(64, 5);
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) {
            // A light lacquered body, brighter at the top, with a faint brushed grain.
            const float t = y / static_cast<float>(c.Height());
            Col body = Mix(Rgb255(206, 210, 222), Rgb255(160, 166, 186), t);
            body = Scale(body, 0.97f + 0.05f * grain.At(x / 40.0f, y / 1.5f));
            // The outer rim: light at the top and left, dark at the bottom and right.
            const float d = SdRoundBox(x + 0.5f, y + 0.5f, c.Width() / 2.0f, c.Height() / 2.0f,
                                       c.Width() / 2.0f, c.Height() / 2.0f, 10);
            if (d > -4) {
                const bool lit = std::min(x, y) < std::min(c.Width() - 1 - x, c.Height() - 1 - y);
                body = lit ? Mix(body, Col{1, 1, 1}, 0.45f) : Scale(body, 0.62f);
            }
            if (d > -1.5f) body = Rgb255(70, 74, 88);
            c.Set(x, y, ToRgba(body));
        }
}

void DrawBezel(Canvas& c) {
    // A raised lip, then the dark recess that holds the screen and the level bar.
    Rect lip{kBezel.x - 3, kBezel.y - 3, kBezel.w + 6, kBezel.h + 6};
    FillRounded(c, lip, 10, [](int x, int y, float) {
        return (x + y) % 2 == 0 ? Rgb255(232, 234, 240) : Rgb255(226, 228, 236);
    });
    FillRounded(c, Rect{kBezel.x - 1, kBezel.y - 1, kBezel.w + 2, kBezel.h + 2}, 9,
                [](int, int, float) { return Rgb255(96, 100, 116); });
    FillRounded(c, kBezel, 8, [](int, int y, float d) {
        const Col top = Rgb255(46, 50, 64), bottom = Rgb255(30, 32, 42);
        Col col = Mix(top, bottom, (y - kBezel.y) / static_cast<float>(kBezel.h));
        if (d > -2) col = Scale(col, 0.7f);
        return col;
    });
    // The drawing area: a one-pixel dark border around the black screen.
    const Rect& a = kDrawingArea;
    c.FillRect(a.x, a.y, a.w, a.h, Rgba{8, 8, 12, 255});
    c.FillRect(a.x + 1, a.y + 1, a.w - 2, a.h - 2, kBlack);
    // A thin highlight under the screen glass, outside the drawing area.
    c.FillRect(a.x, a.y + a.h, a.w, 1, Rgba{70, 76, 96, 255});
}

void DrawLabelPlates(Canvas& c) {
    for (const Rect& r : kLabels) {
        const Rect outer{r.x - 3, r.y - 2, r.w + 6, r.h + 4};
        FillRounded(c, outer, 5, [](int, int, float) { return Rgb255(120, 126, 146); });
        const Rect inner{r.x - 2, r.y - 1, r.w + 4, r.h + 2};
        const int top = inner.y, h = inner.h;
        FillRounded(c, inner, 4, [top, h](int, int y, float) {
            return Mix(Rgb255(246, 244, 236), Rgb255(226, 224, 214), (y - top) / static_cast<float>(h));
        });
    }
}

void DrawLogo(Canvas& c) {
    // "ZOL" in the game's own pixel font, one block colour per letter.
    const char* word = "ZOL";
    constexpr int kScale = 4, kAdvance = 5 * kScale;
    const int x0 = 237 - (3 * kAdvance - kScale) / 2, y0 = 11;
    for (int i = 0; word[i]; ++i) {
        const int x = x0 + i * kAdvance;
        DrawGlyph(c, word[i], x + 2, y0 + 2, kScale, Rgba{60, 64, 80, 255});
        DrawGlyph(c, word[i], x, y0, kScale, ToRgba(Scale(KindStyle(i * 2 + 1).base, 0.9f)));
    }
}

void DrawScrew(Canvas& c, float cx, float cy) {
    for (int y = static_cast<int>(cy) - 6; y <= cy + 6; ++y)
        for (int x = static_cast<int>(cx) - 6; x <= cx + 6; ++x) {
            const float u = x + 0.5f, v = y + 0.5f;
            const float cover = Cover(SdCircle(u, v, cx, cy, 4.5f));
            Col col = Mix(Rgb255(236, 238, 244), Rgb255(120, 124, 140), Sat((u - cx + v - cy + 5) / 10));
            if (SdSegment(u, v, cx - 3, cy + 3, cx + 3, cy - 3, 0.6f) < 0) col = Rgb255(70, 72, 84);
            c.Over(x, y, col, cover);
        }
}

void DrawIcon(Canvas& icon) {
    // Two equal blocks meeting, the spark of their merge on the seam, and above
    // them the block of the next kind that the merge makes.
    const float s = static_cast<float>(icon.Width());
    const float block = s * 0.49f;
    DrawBlock(icon, s * 0.255f, s * 0.01f, block, KindStyle(2), Edge::Blended);
    DrawBlock(icon, s * 0.01f, s * 0.50f, block, KindStyle(1), Edge::Blended);
    DrawBlock(icon, s * 0.50f, s * 0.50f, block, KindStyle(1), Edge::Blended);
    const std::vector<float> star = StarPoints(s * 0.5f, s * 0.745f, 4, s * 0.2f, s * 0.05f, 0);
    for (int y = 0; y < icon.Height(); ++y)
        for (int x = 0; x < icon.Width(); ++x) {
            const float d = SdPolygon(x + 0.5f, y + 0.5f, star);
            icon.Over(x, y, Rgb255(255, 250, 210), Cover(d));
        }
}

}  // namespace

bool WriteWindowArt(const std::string& imgDir, std::string& error) {
    Canvas art(580, 388, kBlack);
    DrawCabinet(art);
    DrawBezel(art);
    DrawLabelPlates(art);
    DrawLogo(art);
    for (float x : {22.0f, 558.0f})
        for (float y : {25.0f, 350.0f}) DrawScrew(art, x, y);
    // Small blocks beside the chain and explode counters.
    DrawBlock(art, 146, 357, 20, KindStyle(4), Edge::Keyed);
    DrawBlock(art, 362, 358, 18, KindStyle(2), Edge::Keyed);
    DrawBlock(art, 382, 358, 18, KindStyle(2), Edge::Keyed);
    if (!art.SavePng(imgDir + "/window.png", error)) return false;

    // Each size is drawn from the shapes, not scaled down, so small icons stay sharp.
    for (int size : {256, 16, 32, 48, 64, 128}) {
        Canvas icon(size, size, Rgba{0, 0, 0, 0});
        DrawIcon(icon);
        const std::string name = size == 256 ? "icon.png" : "icon-" + std::to_string(size) + ".png";
        if (!icon.SavePng(imgDir + "/" + name, error)) return false;
    }
    return true;
}

}  // namespace zol::assetgen
