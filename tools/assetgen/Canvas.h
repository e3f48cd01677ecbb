// Canvas: the pixel surface every image of the asset generator is drawn on.
//
// What it does: holds an RGBA image in memory, offers the few drawing helpers the
// generators share (colour arithmetic, signed distances of simple shapes, a seeded
// noise source) and saves the result as a PNG through SDL2_image.
// Who owns what: a Canvas owns its pixels; nothing here keeps global state.
// Failure: SavePng returns false and fills the error text; drawing outside the
// canvas is clipped silently.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace zol::assetgen {

struct Rgba {
    uint8_t r = 0, g = 0, b = 0, a = 255;
    constexpr bool operator==(const Rgba&) const = default;
};

// The colour that the block and font sheets use as their transparent key.
constexpr Rgba kMagenta{255, 0, 255, 255};
constexpr Rgba kBlack{0, 0, 0, 255};
constexpr Rgba kWhite{255, 255, 255, 255};

// A colour in floating point, 0..1 per channel, for shading arithmetic.
struct Col {
    float r = 0, g = 0, b = 0;
};

// Col from 0..255 channels.
constexpr Col Rgb255(int r, int g, int b) { return {r / 255.0f, g / 255.0f, b / 255.0f}; }
// Linear mix of two colours: t = 0 gives a, 1 gives b.
Col Mix(Col a, Col b, float t);
// Colour scaled by f (brighter above 1, darker below), not clamped.
Col Scale(Col c, float f);
// Colour from hue (degrees), saturation and value, each 0..1 except the hue.
Col Hsv(float hueDegrees, float s, float v);
// Opaque 8-bit colour from a floating colour, clamped to 0..1 and rounded.
Rgba ToRgba(Col c);
// The same 8-bit colour as floats.
Col ToCol(Rgba c);

// Limits a value to 0..1.
inline float Sat(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
// Smooth Hermite step from 0 at e0 to 1 at e1.
float SmoothStep(float e0, float e1, float x);

// ---- Signed distances (negative inside), in pixels --------------------------------

// Distance to a box centred on (cx, cy) with half sizes hw, hh and corner radius r.
float SdRoundBox(float x, float y, float cx, float cy, float hw, float hh, float r);
// Distance to a circle.
float SdCircle(float x, float y, float cx, float cy, float radius);
// Distance to a segment from (ax, ay) to (bx, by), minus a half thickness.
float SdSegment(float x, float y, float ax, float ay, float bx, float by, float halfWidth);
// Distance to a closed polygon given as x0, y0, x1, y1, ...
float SdPolygon(float x, float y, const std::vector<float>& xy);
// Corners of a regular star (or polygon when inner == outer) around (cx, cy).
std::vector<float> StarPoints(float cx, float cy, int points, float outer, float inner,
                              float rotationDegrees);
// Coverage 0..1 of a pixel by a shape whose distance at the pixel centre is d.
inline float Cover(float d) { return Sat(0.5f - d); }

// ---- Noise -----------------------------------------------------------------------

// A small deterministic generator, so that every build draws the same assets.
class Noise {
public:
    explicit Noise(uint64_t seed) : state_(seed) {}
    // Next uniform number in [0, 1).
    float Next();
    // Next uniform number in [lo, hi).
    float Range(float lo, float hi) { return lo + (hi - lo) * Next(); }

private:
    uint64_t state_;
};

// Value noise that repeats every `period` units in both axes, smooth, 0..1.
class TileNoise {
public:
    TileNoise(int period, uint64_t seed);
    // Noise value at (x, y) in lattice units.
    float At(float x, float y) const;

private:
    int period_;
    std::vector<float> lattice_;
};

// ---- The canvas ----------------------------------------------------------------------

class Canvas {
public:
    Canvas(int width, int height, Rgba fill);
    int Width() const { return width_; }
    int Height() const { return height_; }
    // The pixel at (x, y); the caller keeps inside the canvas.
    Rgba Get(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    // Writes one pixel; outside the canvas nothing happens.
    void Set(int x, int y, Rgba c);
    // Lays colour c over the pixel with coverage 0..1 (straight-alpha "over").
    void Over(int x, int y, Col c, float cover);
    // Fills a rectangle (clipped).
    void FillRect(int x, int y, int w, int h, Rgba c);
    // Saves as a 32-bit RGBA PNG; false with a reason on failure.
    bool SavePng(const std::string& path, std::string& error) const;

private:
    int width_, height_;
    std::vector<Rgba> pixels_;
};

}  // namespace zol::assetgen
