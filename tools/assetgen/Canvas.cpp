#include "Canvas.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <filesystem>

namespace zol::assetgen {

Col Mix(Col a, Col b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Col Scale(Col c, float f) { return {c.r * f, c.g * f, c.b * f}; }

Col Hsv(float h, float s, float v) {
    h = std::fmod(h, 360.0f);
    if (h < 0) h += 360.0f;
    const float c = v * s;
    const float x = c * (1 - std::fabs(std::fmod(h / 60.0f, 2.0f) - 1));
    const float m = v - c;
    Col o;
    if (h < 60) o = {c, x, 0};
    else if (h < 120) o = {x, c, 0};
    else if (h < 180) o = {0, c, x};
    else if (h < 240) o = {0, x, c};
    else if (h < 300) o = {x, 0, c};
    else o = {c, 0, x};
    return {o.r + m, o.g + m, o.b + m};
}

Rgba ToRgba(Col c) {
    auto ch = [](float v) { return static_cast<uint8_t>(std::nearbyint(Sat(v) * 255.0f)); };
    return {ch(c.r), ch(c.g), ch(c.b), 255};
}

Col ToCol(Rgba c) { return Rgb255(c.r, c.g, c.b); }

float SmoothStep(float e0, float e1, float x) {
    const float t = Sat((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

float SdRoundBox(float x, float y, float cx, float cy, float hw, float hh, float r) {
    const float qx = std::fabs(x - cx) - (hw - r);
    const float qy = std::fabs(y - cy) - (hh - r);
    const float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
    return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - r;
}

float SdCircle(float x, float y, float cx, float cy, float radius) {
    return std::hypot(x - cx, y - cy) - radius;
}

float SdSegment(float x, float y, float ax, float ay, float bx, float by, float halfWidth) {
    const float px = x - ax, py = y - ay, dx = bx - ax, dy = by - ay;
    const float len2 = dx * dx + dy * dy;
    const float h = len2 > 0 ? Sat((px * dx + py * dy) / len2) : 0.0f;
    return std::hypot(px - dx * h, py - dy * h) - halfWidth;
}

float SdPolygon(float x, float y, const std::vector<float>& xy) {
    // Distance to the nearest edge, signed by the even-odd crossing rule.
    const size_t n = xy.size() / 2;
    float best = 1e30f;
    bool inside = false;
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        const float xi = xy[2 * i], yi = xy[2 * i + 1], xj = xy[2 * j], yj = xy[2 * j + 1];
        best = std::min(best, SdSegment(x, y, xj, yj, xi, yi, 0.0f));
        if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
    }
    return inside ? -best : best;
}

std::vector<float> StarPoints(float cx, float cy, int points, float outer, float inner,
                              float rotationDegrees) {
    std::vector<float> xy;
    const int corners = inner == outer ? points : points * 2;
    for (int i = 0; i < corners; ++i) {
        const float r = (inner == outer || i % 2 == 0) ? outer : inner;
        const float a = (rotationDegrees - 90.0f) * 3.14159265f / 180.0f +
                        i * 2 * 3.14159265f / static_cast<float>(corners);
        xy.push_back(cx + r * std::cos(a));
        xy.push_back(cy + r * std::sin(a));
    }
    return xy;
}

float Noise::Next() {
    // SplitMix64: tiny, well mixed, and the same on every platform.
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<float>(z >> 40) / static_cast<float>(1ull << 24);
}

TileNoise::TileNoise(int period, uint64_t seed) : period_(period) {
    Noise n(seed);
    lattice_.resize(static_cast<size_t>(period) * period);
    for (float& v : lattice_) v = n.Next();
}

float TileNoise::At(float x, float y) const {
    const float fx = std::floor(x), fy = std::floor(y);
    auto wrap = [this](int v) { return ((v % period_) + period_) % period_; };
    const int x0 = wrap(static_cast<int>(fx)), y0 = wrap(static_cast<int>(fy));
    const int x1 = wrap(x0 + 1), y1 = wrap(y0 + 1);
    auto l = [this](int a, int b) { return lattice_[static_cast<size_t>(b) * period_ + a]; };
    float tx = x - fx, ty = y - fy;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    const float top = l(x0, y0) + (l(x1, y0) - l(x0, y0)) * tx;
    const float bottom = l(x0, y1) + (l(x1, y1) - l(x0, y1)) * tx;
    return top + (bottom - top) * ty;
}

Canvas::Canvas(int width, int height, Rgba fill)
    : width_(std::max(width, 0)), height_(std::max(height, 0)),
      pixels_(static_cast<size_t>(width_) * height_, fill) {}

void Canvas::Set(int x, int y, Rgba c) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    pixels_[static_cast<size_t>(y) * width_ + x] = c;
}

void Canvas::Over(int x, int y, Col c, float cover) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || cover <= 0) return;
    cover = Sat(cover);
    const Rgba under = Get(x, y);
    const float ua = under.a / 255.0f;
    const float oa = cover + ua * (1 - cover);
    const Col low = Scale(ToCol(under), ua * (1 - cover));
    Rgba out = ToRgba(Col{(c.r * cover + low.r) / oa, (c.g * cover + low.g) / oa, (c.b * cover + low.b) / oa});
    out.a = static_cast<uint8_t>(std::nearbyint(oa * 255));
    Set(x, y, out);
}

void Canvas::FillRect(int x, int y, int w, int h, Rgba c) {
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i) Set(i, j, c);
}

bool Canvas::SavePng(const std::string& path, std::string& error) const {
    if (width_ == 0 || height_ == 0) {
        error = "empty image";
        return false;
    }
    // SDL only reads the pixels, but its API is not const-correct.
    void* data = const_cast<Rgba*>(pixels_.data());
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(data, width_, height_, 32,
                                                              width_ * 4, SDL_PIXELFORMAT_RGBA32);
    if (!surface) {
        error = SDL_GetError();
        return false;
    }
    // Write beside the target and rename, so an interrupted build never leaves
    // a truncated image where the game looks for it.
    const std::string temp = path + ".part";
    const bool saved = IMG_SavePNG(surface, temp.c_str()) == 0;
    if (!saved) error = IMG_GetError();
    SDL_FreeSurface(surface);
    if (!saved) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        return false;
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        error = ec.message();
        std::filesystem::remove(temp, ec);
        return false;
    }
    return true;
}

}  // namespace zol::assetgen
