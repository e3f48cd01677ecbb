#include "framework/graphics/gl/FrameRecorder.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstring>

namespace zol {

namespace {
// Folds words into a 64-bit key. Every step is invertible, so two draws that differ in
// one word never share a key; differing in more, they share one with odds of 2^-64.
uint64_t HashWords(uint64_t h, const uint32_t* words, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        h = (h ^ words[i]) * 0x9E3779B97F4A7C15ull;
        h ^= h >> 29;
    }
    return h;
}

// The state a draw is made in, as a key.
uint64_t StateKey(const BlendState& b, uint64_t TextureSerial) {
    uint64_t h = TextureSerial * 0x9E3779B97F4A7C15ull;
    h ^= (uint64_t{b.AlphaTest} << 0) | (uint64_t{b.Blend} << 1) |
         (uint64_t{static_cast<uint8_t>(b.Op)} << 8) | (uint64_t{static_cast<uint8_t>(b.Src)} << 16) |
         (uint64_t{static_cast<uint8_t>(b.Dst)} << 24);
    return h;
}

// The pixels a shape with corners between (x0, y0) and (x1, y1) can touch: the framework
// puts pixel centres on whole coordinates, so pixel i is inside when x0 <= i <= x1; one
// more on each far side keeps rounding on the safe side.
PixelRect CoveredPixels(float x0, float y0, float x1, float y1) {
    auto bound = [](float v) {  // NaN and far-off values end up outside the screen
        return v > -1.0e6f ? (v < 1.0e6f ? v : 1.0e6f) : -1.0e6f;
    };
    return {static_cast<int32_t>(std::floor(bound(x0))), static_cast<int32_t>(std::floor(bound(y0))),
            static_cast<int32_t>(std::ceil(bound(x1))) + 1,
            static_cast<int32_t>(std::ceil(bound(y1))) + 1};
}
}  // namespace

void FrameRecorder::Begin(int32_t Width, int32_t Height, bool Implicit) {
    recording_ = true;
    implicit_ = Implicit;
    width_ = Width, height_ = Height;
    damage_.Begin(Width, Height);
}

void FrameRecorder::Clear(uint32_t Color) {
    Command c;
    c.Op = Command::Kind::Clear;
    c.Color = Color;
    commands_.push_back(c);
    damage_.Add(HashWords(0xC1EA5u, &Color, 1), {0, 0, width_, height_});
}

void FrameRecorder::Sprites(const BlendState& Blend, uint32_t Texture, uint64_t TextureSerial,
                            const SpriteVertex* Vertices, int32_t Count) {
    const int32_t rects = Count / 6;
    if (rects < 1) return;
    Command c;
    c.Op = Command::Kind::Sprites;
    c.Blend = Blend;
    c.Texture = Texture;
    c.First = static_cast<uint32_t>(quadBoxes_.size());
    c.Count = static_cast<uint32_t>(rects);
    const uint64_t state = StateKey(Blend, TextureSerial);
    // Each six vertices are corners 1, 2, 3, 1, 3, 4 of a rectangle; keep 1, 2, 3, 4.
    for (int32_t q = 0; q < rects; ++q) {
        const SpriteVertex* v = Vertices + static_cast<ptrdiff_t>(q) * 6;
        QuadVertex corners[4];
        float x0 = v[0].X, x1 = v[0].X, y0 = v[0].Y, y1 = v[0].Y;
        for (int k = 0; k < 4; ++k) {
            const SpriteVertex& p = v[k == 3 ? 5 : k];
            corners[k] = {p.X, p.Y, p.Color, p.TU, p.TV};
            x0 = std::min(x0, p.X), x1 = std::max(x1, p.X);
            y0 = std::min(y0, p.Y), y1 = std::max(y1, p.Y);
        }
        const PixelRect box = CoveredPixels(x0, y0, x1, y1);
        quads_.insert(quads_.end(), corners, corners + 4);
        quadBoxes_.push_back(box);
        uint32_t words[sizeof corners / 4];
        std::memcpy(words, corners, sizeof corners);
        damage_.Add(HashWords(state, words, sizeof corners / 4), box);
    }
    commands_.push_back(c);
}

void FrameRecorder::Strip(const BlendState& Blend, const ColorVertex* Vertices, int32_t Count) {
    if (Count < 3) return;
    Command c;
    c.Op = Command::Kind::Strip;
    c.Blend = Blend;
    c.First = static_cast<uint32_t>(strip_.size());
    c.Count = static_cast<uint32_t>(Count);
    float x0 = Vertices[0].X, x1 = x0, y0 = Vertices[0].Y, y1 = y0;
    uint64_t h = StateKey(Blend, 0) ^ 0x5781Bull;
    for (int32_t i = 0; i < Count; ++i) {
        const ColorVertex& v = Vertices[i];
        x0 = std::min(x0, v.X), x1 = std::max(x1, v.X);
        y0 = std::min(y0, v.Y), y1 = std::max(y1, v.Y);
        const uint32_t words[3] = {std::bit_cast<uint32_t>(v.X), std::bit_cast<uint32_t>(v.Y),
                                   v.Color};
        h = HashWords(h, words, 3);
    }
    c.Box = CoveredPixels(x0, y0, x1, y1);
    strip_.insert(strip_.end(), Vertices, Vertices + Count);
    commands_.push_back(c);
    damage_.Add(h, c.Box);
}

void FrameRecorder::End(bool DamageLimited) {
    recording_ = false;
    const bool clearsFirst = !commands_.empty() && commands_.front().Op == Command::Kind::Clear;
    damage_.End(DamageLimited && !implicit_ && clearsFirst);
}

void FrameRecorder::Replay(const PixelRect* Clip, Target& T) const {
    for (const Command& c : commands_) {
        switch (c.Op) {
            case Command::Kind::Clear: T.ClearScreen(c.Color); break;
            case Command::Kind::Strip:
                if (!Clip || c.Box.Overlaps(*Clip)) T.DrawStrip(c);
                break;
            case Command::Kind::Sprites: {
                if (!Clip) {
                    T.DrawQuads(c, c.First, c.Count);
                    break;
                }
                // Runs of neighbouring rectangles that reach into the clip, one draw each.
                const uint32_t end = c.First + c.Count;
                for (uint32_t q = c.First; q < end;) {
                    if (!quadBoxes_[q].Overlaps(*Clip)) {
                        ++q;
                        continue;
                    }
                    uint32_t run = q + 1;
                    while (run < end && quadBoxes_[run].Overlaps(*Clip)) ++run;
                    T.DrawQuads(c, q, run - q);
                    q = run;
                }
                break;
            }
        }
    }
}

void FrameRecorder::Reset() {
    commands_.clear();
    quads_.clear();
    quadBoxes_.clear();
    strip_.clear();
}

}  // namespace zol
