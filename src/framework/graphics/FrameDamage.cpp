#include "framework/graphics/FrameDamage.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <limits>
#include <utility>

namespace zol {

PixelRect Union(const PixelRect& A, const PixelRect& B) {
    if (A.Empty()) return B;
    if (B.Empty()) return A;
    return {std::min(A.X0, B.X0), std::min(A.Y0, B.Y0), std::max(A.X1, B.X1),
            std::max(A.Y1, B.Y1)};
}

PixelRect ClipTo(const PixelRect& R, int32_t Width, int32_t Height) {
    return {std::clamp(R.X0, 0, Width), std::clamp(R.Y0, 0, Height), std::clamp(R.X1, 0, Width),
            std::clamp(R.Y1, 0, Height)};
}

void DamageList::Add(const PixelRect& R) {
    if (R.Empty()) return;
    // Overlapping rectangles become one, so the list stays disjoint and no pixel is
    // redrawn twice; the union may reach further ones, hence the repeat.
    PixelRect grown = R;
    for (bool merged = true; merged;) {
        merged = false;
        for (size_t i = 0; i < rects_.size(); ++i) {
            if (rects_[i].Overlaps(grown)) {
                grown = Union(grown, rects_[i]);
                rects_[i] = rects_.back();
                rects_.pop_back();
                merged = true;
                break;
            }
        }
    }
    rects_.push_back(grown);
    if (static_cast<int>(rects_.size()) <= maxRects_) return;
    // Full: the pair whose union adds the fewest pixels becomes one.
    size_t bi = 0, bj = 1;
    int64_t best = std::numeric_limits<int64_t>::max();
    for (size_t i = 0; i < rects_.size(); ++i) {
        for (size_t j = i + 1; j < rects_.size(); ++j) {
            const int64_t added =
                Union(rects_[i], rects_[j]).Area() - rects_[i].Area() - rects_[j].Area();
            if (added < best) best = added, bi = i, bj = j;
        }
    }
    const PixelRect both = Union(rects_[bi], rects_[bj]);
    rects_.erase(rects_.begin() + static_cast<ptrdiff_t>(bj));
    rects_.erase(rects_.begin() + static_cast<ptrdiff_t>(bi));
    Add(both);
}

int64_t DamageList::Area() const {
    int64_t a = 0;
    for (const PixelRect& r : rects_) a += r.Area();
    return a;
}

void FrameDamage::Begin(int32_t Width, int32_t Height) {
    if (Width != width_ || Height != height_) havePrevious_ = false;
    width_ = Width;
    height_ = Height;
    current_.clear();
}

void FrameDamage::Add(uint64_t Key, const PixelRect& Box) {
    const PixelRect clipped = ClipTo(Box, width_, height_);
    // A draw that touches no pixel changes nothing, wherever it comes or goes.
    if (clipped.Empty()) return;
    current_.push_back({Key, clipped});
}

void FrameDamage::End(bool Comparable) {
    damage_.Clear();
    whole_ = !(Comparable && havePrevious_);
    if (!whole_) Diff();
    // Scissored passes repeat the vertex work; past half the screen one pass does better.
    if (!whole_ && damage_.Area() * 2 > int64_t{width_} * height_) whole_ = true;
    if (whole_) damage_.Clear();
    std::swap(previous_, current_);
    current_.clear();
    havePrevious_ = Comparable;
}

void FrameDamage::Damage(const PixelRect& Box) { damage_.Add(Box); }

void FrameDamage::Diff() {
    // The common head and tail need no search.
    size_t lo = 0;
    size_t endA = previous_.size(), endB = current_.size();
    while (lo < endA && lo < endB && previous_[lo] == current_[lo]) ++lo;
    while (endA > lo && endB > lo && previous_[endA - 1] == current_[endB - 1]) --endA, --endB;
    const Draw* a = previous_.data() + lo;
    const Draw* b = current_.data() + lo;
    const int32_t n = static_cast<int32_t>(endA - lo), m = static_cast<int32_t>(endB - lo);
    // Too many edits to search for (a cloud of sparks that all move): every draw between
    // the common head and tail counts as changed. Elsewhere each pixel still sees the
    // same draws in the same order, so that is never too little.
    const auto damageAll = [&] {
        for (int32_t i = 0; i < n; ++i) Damage(a[i].Box);
        for (int32_t j = 0; j < m; ++j) Damage(b[j].Box);
    };
    if (std::abs(n - m) > kMaxEdits) return damageAll();  // at least that many edits

    // Myers' greedy search: after d edits, the furthest x reached on each diagonal
    // k = x - y, kept for every d (at d*d + d + k) so the path can be walked back, with
    // the step that reached it. A step down inserts b[y], a step right deletes a[x];
    // steps that would leave the grid are not taken.
    constexpr int32_t kNone = std::numeric_limits<int32_t>::min();
    const int32_t maxD = std::min(kMaxEdits, n + m);
    auto at = [](int32_t d, int32_t k) { return static_cast<size_t>(d * d + d + k); };
    int32_t found = -1;
    for (int32_t d = 0; d <= maxD && found < 0; ++d) {
        const size_t need = static_cast<size_t>((d + 1) * (d + 1));
        if (furthest_.size() < need) furthest_.resize(need), down_.resize(need);
        for (int32_t k = -d; k <= d; k += 2) {
            int32_t x = 0;
            bool down = false;
            if (d > 0) {
                const int32_t above = k + 1 <= d - 1 ? furthest_[at(d - 1, k + 1)] : kNone;
                const int32_t left = k - 1 >= -(d - 1) ? furthest_[at(d - 1, k - 1)] : kNone;
                const bool aboveOk = above != kNone && above - k <= m;
                const bool leftOk = left != kNone && left + 1 <= n;
                if (!aboveOk && !leftOk) {
                    furthest_[at(d, k)] = kNone;
                    continue;
                }
                down = aboveOk && (!leftOk || above >= left + 1);
                x = down ? above : left + 1;
            }
            int32_t y = x - k;
            while (x < n && y < m && a[x] == b[y]) ++x, ++y;
            furthest_[at(d, k)] = x;
            down_[at(d, k)] = down;
            if (x == n && y == m) {
                found = d;
                break;
            }
        }
    }
    if (found < 0) return damageAll();
    int32_t x = n, y = m;
    for (int32_t d = found; d > 0; --d) {
        const int32_t k = x - y;
        const bool down = down_[at(d, k)] != 0;
        const int32_t pk = down ? k + 1 : k - 1;
        const int32_t px = furthest_[at(d - 1, pk)], py = px - pk;
        Damage(down ? b[py].Box : a[px].Box);
        x = px, y = py;
    }
}

}  // namespace zol
