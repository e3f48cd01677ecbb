// FrameRecorder: one frame's draws, held until the frame ends, and what they changed.
//
// What it does: the GL device records each call of a frame here (clears, sprite
// rectangles, colour strips) with the state it draws in. At the end of the frame the
// draws are compared with the last frame's (FrameDamage): only the rectangles where the
// two can differ need drawing again, and Replay hands the device exactly the draws that
// reach into one such rectangle, in order. Vertices are kept in the layout the GPU reads
// (QuadVertex: four corners per rectangle), so the device uploads them as they are.
// Who owns what: the recorder owns its buffers; they grow to the largest frame and are
// kept, so a steady game allocates nothing per frame. It calls no graphics API.
// Failure: none.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/graphics/FrameDamage.h"
#include "framework/graphics/RenderDevice.h"

namespace zol {

class FrameRecorder {
public:
    // A rectangle's corner as it goes to the GPU: position, ARGB colour, texture u, v.
    struct QuadVertex {
        float X, Y;
        uint32_t Color;
        float U, V;
    };
    // One recorded call of the frame.
    struct Command {
        enum class Kind : uint8_t { Clear, Sprites, Strip } Op = Kind::Clear;
        BlendState Blend;
        uint32_t Texture = 0;
        uint32_t First = 0, Count = 0;  // rectangles of Quads(), or vertices of StripVertices()
        uint32_t Color = 0;             // the clear colour
        PixelRect Box;                  // a strip's pixels
    };
    // What a replay draws on (the GL device).
    class Target {
    public:
        virtual ~Target() = default;
        virtual void ClearScreen(uint32_t Color) = 0;
        // Rectangles [FirstQuad, FirstQuad + Quads) of Quads(), in C's state.
        virtual void DrawQuads(const Command& C, uint32_t FirstQuad, uint32_t Quads) = 0;
        // C's vertices of StripVertices() as one strip.
        virtual void DrawStrip(const Command& C) = 0;
    };

    // Starts a frame of Width x Height pixels. Implicit: the frame was not begun by the
    // caller (draws outside a frame), so it draws over an unknown picture.
    void Begin(int32_t Width, int32_t Height, bool Implicit);
    bool Recording() const { return recording_; }
    bool Implicit() const { return implicit_; }

    void Clear(uint32_t Color);
    // Count / 6 rectangles (corners 1, 2, 3, 1, 3, 4 each); TextureSerial tells textures
    // apart even where the GPU hands out a released handle again.
    void Sprites(const BlendState& Blend, uint32_t Texture, uint64_t TextureSerial,
                 const SpriteVertex* Vertices, int32_t Count);
    void Strip(const BlendState& Blend, const ColorVertex* Vertices, int32_t Count);

    // Ends recording and works out the damage. DamageLimited false: the whole frame counts
    // as changed (so does a frame that does not open with a clear).
    void End(bool DamageLimited);
    // After End: the whole screen may have changed, or else only Rects() (none: nothing).
    bool Whole() const { return damage_.Whole(); }
    const std::vector<PixelRect>& Rects() const { return damage_.Rects(); }
    // The frame's vertices, for upload.
    const std::vector<QuadVertex>& Quads() const { return quads_; }
    const std::vector<ColorVertex>& StripVertices() const { return strip_; }
    // Draws the frame on T: everything (Clip null) or what reaches into *Clip.
    void Replay(const PixelRect* Clip, Target& T) const;
    // Drops the frame's draws once they are replayed.
    void Reset();
    // The previous frame's picture is gone: the next frame is whole.
    void Forget() { damage_.Forget(); }

private:
    bool recording_ = false, implicit_ = false;
    int32_t width_ = 0, height_ = 0;
    std::vector<Command> commands_;
    std::vector<QuadVertex> quads_;
    std::vector<PixelRect> quadBoxes_;
    std::vector<ColorVertex> strip_;
    FrameDamage damage_;
};

}  // namespace zol
