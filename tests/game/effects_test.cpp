// Particles and the animated glyph table.
#include <gtest/gtest.h>

#include <tuple>

#include "framework/core/qCore.h"
#include "framework/graphics/mDText.h"
#include "game/mParticles.h"
#include "support/GameHarness.h"

namespace zol::test {
namespace {

const FontRecord kFont{1, 5, 10};

TEST(Particles, FadeGrowAndCompactInOrder) {
    GameHarness h(std::make_unique<ScriptedRandom>(std::deque<double>{0.99, 0.0}));
    AddParticle(100, 50, 0, 1);
    ASSERT_EQ(ParticleCount, 1);
    EXPECT_EQ(Particles[1].Frame, 192.0f);
    EXPECT_EQ(Particles[1].Brightness, 255.0f);
    UpdateParticles();
    EXPECT_FLOAT_EQ(Particles[1].Brightness, 244.8f);
    EXPECT_FLOAT_EQ(32 * Particles[1].Scale, 33.6f);
    UpdateParticles();
    EXPECT_FLOAT_EQ(32 * Particles[1].Scale, 35.2f);

    for (int i = 0; i < 8; ++i) UpdateParticles();
    AddParticle(7, 8, 1, 2);  // dust does not grow
    for (int i = 0; i < 15; ++i) UpdateParticles();
    ASSERT_EQ(ParticleCount, 1) << "the first particle is gone after its 25th update";
    EXPECT_EQ(Particles[1].X, 7.0f);
    EXPECT_EQ(Particles[1].Scale, 2.0f);
    EXPECT_EQ(Particles[1].Life, 20);
    EXPECT_FLOAT_EQ(Particles[1].R, 0.8f);
    for (int i = 0; i < 10; ++i) UpdateParticles();
    EXPECT_EQ(ParticleCount, 0);
    RenderParticles(-1);  // nothing left to draw, and nothing breaks
}

TEST(Glyphs, EscapesLineBreaksTabsAndDelays) {
    GameHarness h;
    TickCount = 1000;
    AddText(kFont, 10, 20, "A\\nB", 10, 0, 24, 0, 100, 50);
    ASSERT_EQ(GlyphCount, 2);
    EXPECT_EQ(Glyphs[1].Char, 'A');
    EXPECT_EQ(Glyphs[2].Char, 'B');
    EXPECT_EQ(Glyphs[2].X, 10.0f);
    EXPECT_EQ(Glyphs[2].Y, 30.0f);
    EXPECT_EQ(Glyphs[2].StartTick - Glyphs[1].StartTick, 100) << "the line break counts";
    EXPECT_EQ(Glyphs[1].EndTick, Glyphs[1].StartTick + 100);

    ClearTexts();
    // A doubled backslash before n still ends the line, after one backslash; a tab is 4 widths.
    AddText(kFont, 0, 0, "a\\\\nb\\tc d", 0, 0, 0, 0, 0, 0);
    ASSERT_EQ(GlyphCount, 6);
    EXPECT_EQ(Glyphs[2].Char, '\\');
    EXPECT_EQ(Glyphs[3].Char, 'b');
    EXPECT_EQ(Glyphs[3].Y, 10.0f);
    EXPECT_EQ(Glyphs[4].X, 25.0f) << "b, then a tab of 20 pixels";
    EXPECT_EQ(Glyphs[4].Char, 'c');
    EXPECT_EQ(Glyphs[5].Char, ' ') << "a space is not drawn but takes its slot and advance";
    EXPECT_EQ(Glyphs[6].X, 35.0f);
    EXPECT_EQ(Glyphs[6].EndTick, 0);

    ClearTexts();
    AddText(kFont, 0, 0, "", 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(GlyphCount, 0);
    AddText(kFont, 0, 0, "\xC3\xA9!", 0, 0, 0, 0, 0, 0);  // UTF-8 e-acute
    ASSERT_EQ(GlyphCount, 2);
    EXPECT_EQ(Glyphs[1].Char, 0xE9);
    ClearTexts();
    AddText(kFont, 0, 0, std::string(300, 'x'), 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(GlyphCount, 300) << "long texts take the slow path, not a truncated buffer";
}

TEST(Glyphs, LifecycleFlashInThenLeaveAndRecycleSlots) {
    GameHarness h;
    TickCount = 1000;
    AddText(kFont, 0, 0, "Hi", 10, 0, 12, 0, 2000, 0);
    UpdateTexts();
    EXPECT_EQ(Glyphs[1].State, GlyphWaiting) << "starts only once the clock passes StartTick";
    TickCount = 1001;
    int steps = 0;
    while (Glyphs[1].State != GlyphShowing && steps < 100) {
        UpdateTexts();
        ++steps;
    }
    EXPECT_EQ(steps, 21);
    EXPECT_LT(Glyphs[1].Glow, 0.01f);
    UpdateTexts();
    EXPECT_EQ(Glyphs[1].State, GlyphShowing);
    TickCount = 3001;
    UpdateTexts();
    EXPECT_EQ(Glyphs[1].State, GlyphLeaving);
    steps = 1;
    while (Glyphs[1].State != GlyphFree && steps < 100) {
        UpdateTexts();
        ++steps;
    }
    EXPECT_EQ(steps, 44) << "a fade-out ends after 44 steps";
    EXPECT_EQ(LiveGlyphCount(), 0);
    AddText(kFont, 0, 0, "xyz", 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(GlyphCount, 3) << "two freed slots reused, one added";
    EXPECT_EQ(LiveGlyphCount(), 3);

    // Unknown effects never finish; Duration 0 shows forever.
    ClearTexts();
    AddText(kFont, 0, 0, "u", 99, 0, 0, -900, 0, 0);
    for (int i = 0; i < 50; ++i) UpdateTexts();
    EXPECT_EQ(Glyphs[1].State, GlyphEntering);
}

TEST(Glyphs, EffectsFloatGrowFadeAndFlicker) {
    // One step of each leaving effect on a glyph at (10, 20): (effect, x, y, scale, alpha).
    const std::tuple<int32_t, float, float, float, float> steps[] = {
        {12, 10, 20, 1, 0.9f},                  // fades by a tenth
        {20, 10, 20.1f, 1, 1 - 1.0f / 15},      // sinks
        {21, 10, 19.9f, 1, 1 - 1.0f / 15},      // rises
        {24, 9.75f, 19.5f, 1.1f, 1 - 1.0f / 15},  // grows about its centre
    };
    GameHarness h(std::make_unique<ScriptedRandom>(std::deque<double>{0.05, 0.25, 0.5}));
    for (auto [effect, x, y, scale, alpha] : steps) {
        ClearTexts();
        TickCount = 1000;
        AddText(kFont, 10, 20, "A", 0, 0, effect, 0, 100, 0);
        TickCount = 1001;
        UpdateTexts();
        UpdateTexts();
        TickCount = 1200;
        UpdateTexts();
        const TextGlyph& g = Glyphs[1];
        ASSERT_EQ(g.State, GlyphLeaving) << effect;
        EXPECT_FLOAT_EQ(g.X, x) << effect;
        EXPECT_FLOAT_EQ(g.Y, y) << effect;
        EXPECT_FLOAT_EQ(g.Scale, scale) << effect;
        EXPECT_FLOAT_EQ(g.Alpha, alpha) << effect;
    }
    // Flicker: one draw in ten picks a new target in -1..1, which the alpha walks to by 0.1.
    ClearTexts();
    AddText(kFont, 0, 0, "b", 0, 30, 0, -100, 0, 0);
    UpdateTexts();
    UpdateTexts();
    UpdateTexts();  // 0.05: a new target, -0.5
    EXPECT_FLOAT_EQ(Glyphs[1].Alpha, 0.9f);
    UpdateTexts();  // 0.5: the same target
    EXPECT_FLOAT_EQ(Glyphs[1].Alpha, 0.8f);
    EXPECT_FLOAT_EQ(Glyphs[1].Target, -0.5f);
}

TEST(Glyphs, ApproachAndBlink) {
    // (start, target, divisor, mode, result): mode 1 steps by a fixed amount, 2 by a
    // fraction of the distance, others do nothing; none passes its target.
    const std::tuple<float, float, float, int, float> steps[] = {
        {0.95f, 1, 0.1f, 1, 1}, {1, 0, 4, 2, 0.75f}, {0.75f, 0.75f, 4, 2, 0.75f}, {0.75f, 0, 1, 7, 0.75f}};
    for (auto [v, target, by, mode, result] : steps) {
        Approach(v, target, by, mode);
        EXPECT_EQ(v, result) << mode;
    }

    GameHarness h(std::make_unique<ScriptedRandom>(
        std::deque<double>{0.005, 0.5, 0.5, 0.5, 0.005}));
    TickCount = 1000;
    AddText(kFont, 0, 0, "b", 0, 31, 0, -100, 0, 0);
    UpdateTexts();  // waiting -> entering (effect 0 is done at once)
    UpdateTexts();  // -> showing
    ASSERT_EQ(Glyphs[1].State, GlyphShowing);
    UpdateTexts();  // blink: target 0.7
    EXPECT_FLOAT_EQ(Glyphs[1].Alpha, 0.9f);
    UpdateTexts();
    UpdateTexts();
    UpdateTexts();
    EXPECT_FLOAT_EQ(Glyphs[1].Alpha, 0.7f);
    UpdateTexts();  // blink back towards 1
    EXPECT_FLOAT_EQ(Glyphs[1].Alpha, 0.8f);
}

}  // namespace
}  // namespace zol::test
