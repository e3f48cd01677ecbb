// What a frame can have changed, from its draws: the diff against the last frame, the
// cases that fall back to the whole screen, and the rectangle list's limits. The GL pixel
// test checks the same idea against real pixels.
#include <gtest/gtest.h>

#include <random>

#include "framework/graphics/FrameDamage.h"

namespace zol {
namespace {

constexpr int32_t W = 480, H = 288;

struct Drawn {
    uint64_t Key;
    PixelRect Box;
};

// Records one frame of draws and ends it.
void Frame(FrameDamage& d, const std::vector<Drawn>& draws, bool comparable = true) {
    d.Begin(W, H);
    for (const Drawn& x : draws) d.Add(x.Key, x.Box);
    d.End(comparable);
}

int64_t DamageArea(const FrameDamage& d) {
    int64_t area = 0;
    for (const PixelRect& r : d.Rects()) area += r.Area();
    return area;
}

bool Covers(const std::vector<PixelRect>& rects, const PixelRect& r) {
    for (const PixelRect& c : rects)
        if (c.X0 <= r.X0 && c.Y0 <= r.Y0 && r.X1 <= c.X1 && r.Y1 <= c.Y1) return true;
    return false;
}

TEST(FrameDamage, OnlyTheDrawsThatCameOrWentAreDamage) {
    FrameDamage d;
    const Drawn background{1, {0, 0, W, H}};
    const Drawn a{2, {10, 10, 58, 58}}, b{3, {100, 100, 148, 148}}, c{4, {300, 20, 320, 40}};
    Frame(d, {background, a, b});
    EXPECT_TRUE(d.Whole());  // nothing to compare with yet

    Frame(d, {background, a, b});
    EXPECT_FALSE(d.Whole());
    EXPECT_TRUE(d.Rects().empty());  // the same frame changes nothing

    // b moved: its old and its new place; a stays out of it.
    const Drawn moved{3, {104, 100, 152, 148}};
    Frame(d, {background, a, moved});
    ASSERT_FALSE(d.Whole());
    ASSERT_EQ(d.Rects().size(), 1u);  // the two boxes overlap, so they are one
    EXPECT_EQ(d.Rects()[0], (PixelRect{100, 100, 152, 148}));

    // One draw inserted in the middle and one removed at the end.
    Frame(d, {background, c, a});
    ASSERT_FALSE(d.Whole());
    EXPECT_TRUE(Covers(d.Rects(), c.Box));
    EXPECT_TRUE(Covers(d.Rects(), moved.Box));
    EXPECT_FALSE(Covers(d.Rects(), a.Box));

    // The order of two overlapping draws changed: both places may differ.
    const Drawn over{5, {20, 20, 40, 40}};
    Frame(d, {background, a, over});
    Frame(d, {background, over, a});
    ASSERT_FALSE(d.Whole());
    EXPECT_TRUE(Covers(d.Rects(), Union(a.Box, over.Box)));

    // The same draw in a new state (a different key) is a change too.
    Frame(d, {background, Drawn{99, a.Box}, over});
    ASSERT_FALSE(d.Whole());
    EXPECT_TRUE(Covers(d.Rects(), a.Box));

    // Boxes are clipped to the screen; a draw entirely off it is no change at all.
    Frame(d, {background, Drawn{99, a.Box}, over, Drawn{7, {-50, -50, -1, -1}}});
    EXPECT_FALSE(d.Whole());
    EXPECT_TRUE(d.Rects().empty());
    Frame(d, {background, Drawn{99, a.Box}, over, Drawn{8, {470, 280, 600, 400}}});
    ASSERT_EQ(d.Rects().size(), 1u);
    EXPECT_EQ(d.Rects()[0], (PixelRect{470, 280, W, H}));
}

TEST(FrameDamage, FramesThatCannotBeComparedAreWhole) {
    FrameDamage d;
    const Drawn background{1, {0, 0, W, H}}, a{2, {10, 10, 20, 20}};
    Frame(d, {background, a});
    Frame(d, {background, a});
    ASSERT_FALSE(d.Whole());

    // A frame that draws over the last picture: itself whole, and the next one too, as
    // its picture does not follow from its draws.
    Frame(d, {a}, false);
    EXPECT_TRUE(d.Whole());
    Frame(d, {background, a});
    EXPECT_TRUE(d.Whole());
    Frame(d, {background, a});
    EXPECT_FALSE(d.Whole());

    // A lost picture and a new screen size.
    d.Forget();
    Frame(d, {background, a});
    EXPECT_TRUE(d.Whole());
    d.Begin(W / 2, H);
    d.Add(background.Key, background.Box);
    d.End(true);
    EXPECT_TRUE(d.Whole());

    // Damage over half the screen is redrawn whole; half of it exactly is not.
    for (int32_t rows : {H / 2, H / 2 + 1}) {
        Frame(d, {background, a});
        Frame(d, {background, a, Drawn{3, {0, 0, W, rows}}});
        EXPECT_EQ(d.Whole(), rows > H / 2) << rows;
    }

    // More edits than the search allows (sparks that all move): every draw between the
    // common head and tail is damage, the rest of the screen is not; the next frame is
    // searched again.
    std::vector<Drawn> many{background}, others{background};
    for (int i = 0; i < FrameDamage::kMaxEdits; ++i) {
        many.push_back({100u + i, {i % 40, 0, i % 40 + 1, 1}});
        others.push_back({100000u + i, {i % 40, 2, i % 40 + 1, 3}});
    }
    many.push_back(a);
    others.push_back(a);
    Frame(d, many);
    Frame(d, others);
    ASSERT_FALSE(d.Whole());
    for (int32_t x = 0; x < 40; ++x) {
        EXPECT_TRUE(Covers(d.Rects(), {x, 0, x + 1, 1})) << x;
        EXPECT_TRUE(Covers(d.Rects(), {x, 2, x + 1, 3})) << x;
    }
    for (const PixelRect& r : d.Rects()) EXPECT_FALSE(r.Overlaps(a.Box));
    EXPECT_LE(DamageArea(d), 40 * 3);
    others.back() = Drawn{2, {10, 10, 21, 20}};
    Frame(d, others);
    ASSERT_FALSE(d.Whole());
    ASSERT_EQ(d.Rects().size(), 1u);
    EXPECT_EQ(d.Rects()[0], (PixelRect{10, 10, 21, 20}));
}

// A pixel outside the damage must be covered by the same sequence of keys in both frames.
void ExpectSamePixelsOutside(const FrameDamage& d, const std::vector<Drawn>& last,
                             const std::vector<Drawn>& next, int32_t w, int32_t h, int frame) {
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            bool damaged = false;
            for (const PixelRect& r : d.Rects())
                damaged |= x >= r.X0 && x < r.X1 && y >= r.Y0 && y < r.Y1;
            if (damaged) continue;
            auto seen = [&](const std::vector<Drawn>& draws) {
                std::vector<uint64_t> keys;
                for (const Drawn& z : draws)
                    if (x >= z.Box.X0 && x < z.Box.X1 && y >= z.Box.Y0 && y < z.Box.Y1)
                        keys.push_back(z.Key);
                return keys;
            };
            ASSERT_EQ(seen(last), seen(next)) << "frame " << frame << " pixel " << x << "," << y;
        }
    }
}

// Random edits of a long frame: every draw that is not in both frames at the same place
// in the common order must lie inside the damage. Checked by brute force: a pixel outside
// the damage must be covered by the same sequence of keys in both frames.
TEST(FrameDamage, PixelsOutsideTheDamageSeeTheSameDrawsInRandomFrames) {
    std::mt19937 rng(7);
    constexpr int32_t w = 64, h = 32;
    auto randomBox = [&] {
        std::uniform_int_distribution<int32_t> x(-8, w), y(-8, h), s(1, 12);
        const int32_t x0 = x(rng), y0 = y(rng);
        return PixelRect{x0, y0, x0 + s(rng), y0 + s(rng)};
    };
    std::vector<Drawn> last;
    FrameDamage d;
    int partial = 0;
    constexpr uint64_t kSpark = 1000;
    for (int frame = 0; frame < 300; ++frame) {
        std::vector<Drawn> next = last;
        const int edits = frame % 25 == 0 ? 0 : std::uniform_int_distribution<int>(0, 6)(rng);
        for (int e = 0; e < edits; ++e) {
            const size_t at = next.empty() ? 0 : rng() % (next.size() + 1);
            switch (rng() % 3) {
                case 0: next.insert(next.begin() + at, {rng() % 5, randomBox()}); break;
                case 1:
                    if (at < next.size()) next.erase(next.begin() + at);
                    break;
                default:
                    if (at < next.size()) next[at].Box = randomBox();
                    break;
            }
        }
        // Now and then, and alone, a cloud of sparks moves from one corner to the other:
        // too many edits to search for.
        if (frame % 25 == 0) {
            std::erase_if(next, [](const Drawn& x) { return x.Key >= kSpark; });
            const size_t at = next.size() / 2;
            std::vector<Drawn> sparks;
            const int32_t left = frame % 50 == 0 ? 0 : w - 14;
            for (int i = 0; i < FrameDamage::kMaxEdits; ++i) {
                const int32_t x = left + (i * 7 + frame) % 12, y = (i * 3 + frame) % 6;
                sparks.push_back({kSpark + static_cast<uint64_t>(i), {x, y, x + 2, y + 2}});
            }
            next.insert(next.begin() + static_cast<ptrdiff_t>(at), sparks.begin(), sparks.end());
        }
        d.Begin(w, h);
        for (const Drawn& x : next) d.Add(x.Key, x.Box);
        d.End(true);
        if (frame > 0 && !d.Whole()) {
            ++partial;
            EXPECT_LE(d.Rects().size(), 6u);
            ExpectSamePixelsOutside(d, last, next, w, h, frame);
        }
        last = next;
    }
    EXPECT_GT(partial, 250);
}

TEST(DamageList, StaysDisjointAndWithinItsLimit) {
    DamageList list(3);
    list.Add({0, 0, 10, 10});
    list.Add({5, 5, 15, 15});  // overlaps: one rectangle
    ASSERT_EQ(list.Rects().size(), 1u);
    EXPECT_EQ(list.Rects()[0], (PixelRect{0, 0, 15, 15}));
    list.Add({100, 0, 110, 10});
    list.Add({0, 100, 10, 110});
    list.Add({}); // empty: nothing
    EXPECT_EQ(list.Rects().size(), 3u);
    // A fourth: the nearest pair merges, and the merge may swallow another one.
    list.Add({112, 0, 120, 10});
    ASSERT_EQ(list.Rects().size(), 3u);
    EXPECT_TRUE(Covers(list.Rects(), {100, 0, 120, 10}));
    // A rectangle bridging two of them joins all three.
    list.Add({5, 5, 105, 105});
    ASSERT_EQ(list.Rects().size(), 1u);
    EXPECT_EQ(list.Rects()[0], (PixelRect{0, 0, 120, 110}));
    for (size_t i = 0; i < list.Rects().size(); ++i)
        for (size_t j = i + 1; j < list.Rects().size(); ++j)
            EXPECT_FALSE(list.Rects()[i].Overlaps(list.Rects()[j]));
    list.Clear();
    EXPECT_EQ(list.Area(), 0);

    // Full, the pair whose union adds the fewest pixels merges, however large the pair.
    DamageList near(3);
    near.Add({0, 0, 100, 100});
    near.Add({0, 101, 100, 102});  // a row below the big one: joining them adds 100 pixels
    near.Add({200, 0, 201, 1});
    near.Add({400, 0, 401, 1});  // joining the two small ones would add 199
    EXPECT_EQ(near.Area(), 100 * 102 + 1 + 1);
}

}  // namespace
}  // namespace zol
