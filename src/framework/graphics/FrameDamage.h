// FrameDamage: which pixels a frame can have changed, told from its draws alone.
//
// What it does: a frame is recorded as the sequence of its draws, each a 64-bit key of
// what it draws (state, texture, vertices) and the rectangle of pixels it may touch.
// Against the previous frame's sequence, a shortest edit script (Myers' diff) keeps the
// draws that stayed, in their order; only the rectangles of the draws that came or went
// can differ. A pixel outside all of them is covered by the same draws in the same order
// in both frames, so it keeps its colour, as long as both frames start from the same
// picture: only frames that open by clearing the whole screen are compared.
// The damage is a few rectangles. When the edits are too many to search for, every draw
// between the frames' common head and tail is damage; when the rectangles would cover
// most of the screen, the whole screen is.
// Who owns what: the tracker owns its buffers; they grow to the largest frame and are kept,
// so a steady game allocates nothing per frame.
// Failure: none.
#pragma once

#include <cstdint>
#include <vector>

namespace zol {

// Pixels [X0, X1) x [Y0, Y1).
struct PixelRect {
    int32_t X0 = 0, Y0 = 0, X1 = 0, Y1 = 0;
    bool Empty() const { return X1 <= X0 || Y1 <= Y0; }
    int64_t Area() const { return Empty() ? 0 : int64_t{X1 - X0} * (Y1 - Y0); }
    bool Overlaps(const PixelRect& Other) const {
        return X0 < Other.X1 && Other.X0 < X1 && Y0 < Other.Y1 && Other.Y0 < Y1;
    }
    bool operator==(const PixelRect&) const = default;
};

// The smallest rectangle holding both (an empty one adds nothing).
PixelRect Union(const PixelRect& A, const PixelRect& B);
// The part of r inside [0, Width) x [0, Height); empty when there is none.
PixelRect ClipTo(const PixelRect& R, int32_t Width, int32_t Height);

// Keeps a list of at most MaxRects disjoint rectangles covering everything added.
class DamageList {
public:
    explicit DamageList(int MaxRects = 6) : maxRects_(MaxRects) {}
    void Clear() { rects_.clear(); }
    // Adds a rectangle: merged with every one it overlaps, and when the list is full,
    // the two whose union grows the covered area least become one.
    void Add(const PixelRect& R);
    const std::vector<PixelRect>& Rects() const { return rects_; }
    int64_t Area() const;

private:
    int maxRects_;
    std::vector<PixelRect> rects_;
};

class FrameDamage {
public:
    // More edits than this between two frames are not searched for: every draw outside
    // the frames' common head and tail counts as changed.
    static constexpr int32_t kMaxEdits = 192;

    // Starts recording a frame of Width x Height pixels.
    void Begin(int32_t Width, int32_t Height);
    // One draw of the frame, in drawing order.
    void Add(uint64_t Key, const PixelRect& Box);
    // Ends the frame. Comparable: it began with a clear of the whole screen, so its picture
    // follows from its draws alone. Afterwards Whole() and Rects() tell the damage.
    void End(bool Comparable);
    // Forgets the previous frame (its picture is gone): the next frame is whole.
    void Forget() { havePrevious_ = false; }

    // The whole screen may have changed.
    bool Whole() const { return whole_; }
    // Otherwise the rectangles that may have changed (none: the picture is the same).
    const std::vector<PixelRect>& Rects() const { return damage_.Rects(); }

private:
    struct Draw {
        uint64_t Key;
        PixelRect Box;
        bool operator==(const Draw&) const = default;
    };
    // Adds the boxes of the draws that differ between previous_ and current_ to damage_.
    void Diff();
    void Damage(const PixelRect& Box);

    int32_t width_ = 0, height_ = 0;
    std::vector<Draw> previous_, current_;
    bool havePrevious_ = false;
    bool whole_ = true;
    DamageList damage_;
    // The diff's search: the furthest x per diagonal after each number of edits, and
    // whether it was reached by a step down.
    std::vector<int32_t> furthest_;
    std::vector<uint8_t> down_;
};

}  // namespace zol
