// Batched sprites: one vertex batch per texture, flushed in the order the textures were
// first used; the blending modes; the colour helpers.
#include <cmath>

#include "framework/core/qCore.h"
#include "framework/graphics/qDDraw_Internal.h"

namespace zol {

int32_t PolyBufferCount = 0;

namespace {
using ddraw::PolyBuffer;

// Batches 1..PolyBufferCount are open; slot 0 is unused. Slots and their vertex arrays
// only grow, so a steady frame reuses them without allocating.
std::vector<PolyBuffer> g_buffers(1);
BlendState g_blend;

constexpr float kPi = 3.141593f;
// The angles that turn a sprite exactly, compared as Singles.
constexpr float kTurnFull = 6.283186f, kTurnQuarter = 1.5707965f, kTurnThreeQuarters = 4.712389f;

// The texture's record when Texture names a loaded image, else nullptr.
const TextureRecord* ImageOf(int32_t Texture) {
    if (Texture < 1 || Texture > TextureCount) return nullptr;
    const TextureRecord& rec = Textures[static_cast<size_t>(Texture)];
    if (rec.Width < 1 || rec.Height < 1) return nullptr;
    return &rec;
}

// The batch for Texture (opened if needed); its Capacity is refreshed on every use.
PolyBuffer& Batch(int32_t Texture) {
    const int32_t index = GetPolyBufferIndex(Texture);
    return g_buffers[static_cast<size_t>(index)];
}

// Six vertices of room at the end of Batch; the arrays grow to exactly what is needed.
SpriteVertex* AppendQuad(int32_t Texture) {
    PolyBuffer& b = Batch(Texture);
    const int32_t n = b.Count;
    b.Count += 6;
    if (b.Count >= b.Capacity) {
        b.Capacity = b.Count;
        const size_t need = static_cast<size_t>(b.Capacity) + 1;
        if (b.Vertices.capacity() < need) b.Vertices.reserve(need);
        b.Vertices.resize(need);
    }
    return b.Vertices.data() + n;
}

// Writes the four corners and the two shared copies: triangles (1, 2, 3) and (1, 3, 4).
void PutQuad(SpriteVertex* v, Color32 color, const float (&xy)[4][2], const float (&uv)[4][2]) {
    constexpr int slot[4] = {0, 1, 2, 5};
    for (int i = 0; i < 4; ++i) {
        SpriteVertex& o = v[slot[i]];
        o.X = xy[i][0];
        o.Y = xy[i][1];
        o.Z = 0;
        o.RHW = 1.0f;
        o.Color = color;
        o.TU = uv[i][0];
        o.TV = uv[i][1];
    }
    v[3] = v[0];
    v[4] = v[2];
}

// The source rectangle of Blt and BltRotate in texture coordinates, with the size defaults.
struct Source {
    float U0, V0, DU, DV;
};
Source SourceRect(const TextureRecord& img, float& Width, float& Height, int32_t SrcX,
                  int32_t SrcY, int32_t& SrcWidth, int32_t& SrcHeight, float TexScale) {
    if (SrcWidth < 1) SrcWidth = img.Width;
    if (SrcHeight < 1) SrcHeight = img.Height;
    if (Width <= 0) Width = static_cast<float>(SrcWidth);
    if (Height <= 0) Height = static_cast<float>(SrcHeight);
    const float iw = static_cast<float>(img.Width), ih = static_cast<float>(img.Height);
    return {static_cast<float>(SrcX) / iw, static_cast<float>(SrcY) / ih,
            static_cast<float>(SrcWidth) / iw / TexScale,
            static_cast<float>(SrcHeight) / ih / TexScale};
}
}  // namespace

int32_t GetPolyBufferIndex(int32_t Texture) {
    for (int32_t i = 1; i <= PolyBufferCount; ++i) {
        PolyBuffer& b = g_buffers[static_cast<size_t>(i)];
        if (b.TextureIndex == Texture) {
            b.Capacity = static_cast<int32_t>(b.Vertices.size()) - 1;
            return i;
        }
    }
    ++PolyBufferCount;
    if (static_cast<size_t>(PolyBufferCount) >= g_buffers.size()) {
        g_buffers.reserve(g_buffers.size() + 1);
        g_buffers.emplace_back();
        g_buffers.back().Vertices.reserve(1);
        g_buffers.back().Vertices.resize(1);
    }
    PolyBuffer& b = g_buffers[static_cast<size_t>(PolyBufferCount)];
    b.TextureIndex = Texture;
    b.Count = 0;
    return PolyBufferCount;
}

void Blt(int32_t Texture, float X, float Y, float Width, float Height, int32_t SrcX, int32_t SrcY,
         int32_t SrcWidth, int32_t SrcHeight, Color32 Color, float TexScale) {
    // A missing image leaves index 0 behind; the game goes on without that picture.
    const TextureRecord* img = ImageOf(Texture);
    if (!img) return;
    const Source s = SourceRect(*img, Width, Height, SrcX, SrcY, SrcWidth, SrcHeight, TexScale);
    const float xy[4][2] = {{X, Y}, {X + Width, Y}, {X + Width, Y + Height}, {X, Y + Height}};
    const float uv[4][2] = {
        {s.U0, s.V0}, {s.U0 + s.DU, s.V0}, {s.U0 + s.DU, s.V0 + s.DV}, {s.U0, s.V0 + s.DV}};
    PutQuad(AppendQuad(Texture), Color, xy, uv);
}

void BltRotate(int32_t Texture, float X, float Y, float Width, float Height, int32_t SrcX,
               int32_t SrcY, int32_t SrcWidth, int32_t SrcHeight, Color32 Color, float Angle,
               float CenterX, float CenterY, float TexScale) {
    const TextureRecord* img = ImageOf(Texture);
    if (!img) return;
    const Source s = SourceRect(*img, Width, Height, SrcX, SrcY, SrcWidth, SrcHeight, TexScale);
    const float u0 = s.U0, v0 = s.V0, u1 = s.U0 + s.DU, v1 = s.V0 + s.DV;
    const float l = X, t = Y, r = X + Width, b = Y + Height;
    // The quarter turns are exact: same rectangle, texture coordinates rotated.
    if (Angle == 0.0f || Angle == kTurnFull) {
        PutQuad(AppendQuad(Texture), Color, {{l, t}, {r, t}, {r, b}, {l, b}},
                {{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}});
    } else if (Angle == kTurnQuarter) {
        PutQuad(AppendQuad(Texture), Color, {{r, t}, {r, b}, {l, b}, {l, t}},
                {{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}});
    } else if (Angle == kPi) {
        PutQuad(AppendQuad(Texture), Color, {{r, b}, {l, b}, {l, t}, {r, t}},
                {{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}});
    } else if (Angle == kTurnThreeQuarters) {
        PutQuad(AppendQuad(Texture), Color, {{l, b}, {l, t}, {r, t}, {r, b}},
                {{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}});
    } else {
        const double a = -static_cast<double>(Angle) - static_cast<double>(kPi) / 2.0;
        const double sinA = std::sin(a), cosA = std::cos(a);
        const float d[4][2] = {{-CenterX, -CenterY},
                               {-CenterX, Height - CenterY},
                               {Width - CenterX, Height - CenterY},
                               {Width - CenterX, -CenterY}};
        float xy[4][2];
        for (int i = 0; i < 4; ++i) {
            const double dx = d[i][0], dy = d[i][1];
            xy[i][0] = static_cast<float>(std::floor(dx * sinA + dy * cosA)) + X + CenterX;
            xy[i][1] = static_cast<float>(std::floor(dx * cosA - dy * sinA)) + Y + CenterY;
        }
        PutQuad(AppendQuad(Texture), Color, xy, {{u1, v0}, {u1, v1}, {u0, v1}, {u0, v0}});
    }
}

void BltRect(int32_t Texture, float X1, float Y1, float X2, float Y2, float X3, float Y3, float X4,
             float Y4, Color32 Color, float U, float V, float UWidth, float VHeight) {
    PutQuad(AppendQuad(Texture), Color, {{X1, Y1}, {X2, Y2}, {X3, Y3}, {X4, Y4}},
            {{U, V}, {U + UWidth, V}, {U + UWidth, V + VHeight}, {U, V + VHeight}});
}

void FlushPolyBuffer() {
    if (PolyBufferCount < 1) return;
    float sx, sy;
    ddraw::TargetScale(sx, sy);
    RenderDevice* device = ddraw::Device.get();
    for (int32_t i = 1; i <= PolyBufferCount; ++i) {
        PolyBuffer& b = g_buffers[static_cast<size_t>(i)];
        // The vertices put pixel centres on whole coordinates: shift half a pixel up-left.
        for (int32_t k = 0; k < b.Count; ++k) {
            SpriteVertex& v = b.Vertices[static_cast<size_t>(k)];
            v.X = v.X * sx - 0.5f;
            v.Y = v.Y * sy - 0.5f;
        }
        if (device && b.Count > 0) {
            const bool known = b.TextureIndex >= 1 && b.TextureIndex <= TextureCount;
            device->BindTexture(known ? Textures[static_cast<size_t>(b.TextureIndex)].Texture : 0);
            device->DrawSprites(b.Vertices.data(), b.Count);
        }
        b.Count = 0;
    }
    PolyBufferCount = 0;
}

void SetAlphaMode(int32_t Mode) {
    FlushPolyBuffer();
    g_blend.AlphaTest = true;
    g_blend.Blend = true;
    auto set = [](BlendOp op, BlendFactor src, BlendFactor dst) {
        g_blend.Op = op;
        g_blend.Src = src;
        g_blend.Dst = dst;
    };
    using F = BlendFactor;
    switch (Mode) {
        case 0:
            g_blend.AlphaTest = false;
            g_blend.Blend = false;
            g_blend.Src = F::One;
            g_blend.Dst = F::Zero;
            break;
        case 1:
            g_blend.Blend = false;
            g_blend.Src = F::One;
            g_blend.Dst = F::Zero;
            break;
        case 2: set(BlendOp::Add, F::SrcAlpha, F::InvSrcAlpha); break;
        case 3: set(BlendOp::Add, F::SrcColor, F::InvSrcColor); break;
        case 10: set(BlendOp::Add, F::One, F::One); break;
        case 11: set(BlendOp::Add, F::One, F::InvSrcColor); break;
        case 12: set(BlendOp::Add, F::SrcColor, F::One); break;
        case 20: set(BlendOp::ReverseSubtract, F::One, F::One); break;
        case 21: set(BlendOp::Subtract, F::One, F::One); break;
        case 30: set(BlendOp::Min, F::One, F::One); break;
        case 31: set(BlendOp::Max, F::One, F::One); break;
        default: break;  // test and blending on, the previous operation and factors stay
    }
    if (auto* device = ddraw::Device.get()) device->SetBlendState(g_blend);
}

namespace ddraw {
void ApplyDefaultStates() {
    g_blend = BlendState{};
    if (Device) Device->SetBlendState(g_blend);
}
}  // namespace ddraw

namespace {
// A 0..1 channel as a byte, halves to even; values outside 0..1 are limited first.
uint32_t ChannelByte(float v) {
    return static_cast<uint32_t>(
        RoundHalfEven(static_cast<double>(Clamp(v, 0.0f, 1.0f)) * 255.0));
}
}  // namespace

Color32 ColorRGB(float R, float G, float B) {
    return 0xFF000000u | (ChannelByte(R) << 16) | (ChannelByte(G) << 8) | ChannelByte(B);
}

Color32 ColorRGBA(float R, float G, float B, float A) {
    const float a = Clamp(A, 0, 1);
    return ColorRGB(Clamp(R, 0, 1) * a, Clamp(G, 0, 1) * a, Clamp(B, 0, 1) * a);
}

}  // namespace zol
