// Long games: every counter at the top of its range either holds or ends the game
// cleanly, and nothing on the way overflows (the sanitizer build turns any signed
// overflow here into a failure).
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "framework/core/qCore.h"
#include "framework/core/qKeys.h"
#include "framework/graphics/mDText.h"
#include "game/mZol.h"
#include "support/GameHarness.h"

namespace zol::test {
namespace {

constexpr int32_t kMaxLong = std::numeric_limits<int32_t>::max();

// The level threshold after level L: 100, 300, 600, ... (100 times the triangle number).
constexpr int64_t Threshold(int64_t level) { return 50 * level * (level + 1); }

TEST(LongGame, TheLastFrameEndsTheGameAndEveryDelayStaysInRange) {
    GameHarness h(7);
    GameRecord& g = h.G();
    // A timed block whose timer is set near the end, and a piece about to be made.
    g.GameFrames = kLastGameFrame - 200;
    g.NextEditFrame = g.GameFrames;
    h.Cell(3, 3).DoneEditing(1, 0);
    EXPECT_GE(h.Cell(3, 3).Timer, g.GameFrames);
    EXPECT_LE(h.Cell(3, 3).Timer, g.GameFrames + 2000);

    // Play on, pieces landing as they come, until the game ends on its own at the limit.
    int ticks = 0;
    ASSERT_TRUE(h.TickUntil([&] { return ++ticks, h.Phase() == PhaseGameOver; }, 400));
    EXPECT_EQ(g.GameFrames, kLastGameFrame);
    EXPECT_GE(ticks, 200);
    EXPECT_GE(g.NextEditFrame, 0) << "a delay past the Long range would have wrapped";
    const int32_t frames = g.GameFrames;
    h.Tick(50);
    EXPECT_EQ(g.GameFrames, frames) << "game over stops the clock";
    EXPECT_EQ(h.Phase(), PhaseGameOver);

    // A reset starts a fresh game from frame 0.
    h.host.MessageAnswers.push_back(MsgAnswer::Yes);
    h.Press(vk::F12);
    h.Tick();
    h.Release(vk::F12);
    EXPECT_NE(h.Phase(), PhaseGameOver);
    EXPECT_LT(g.GameFrames, 10);
}

TEST(LongGame, ScoreAndLevelHoldAtTheTopAndTheBarStaysFinite) {
    GameHarness h(3);
    GameRecord& g = h.G();
    // The last level whose threshold still fits in a Long.
    g.Level = 6553;
    g.LevelBaseScore = static_cast<int32_t>(Threshold(6552));
    g.NextLevelScore = static_cast<int32_t>(Threshold(6553));
    g.Score = g.NextLevelScore;
    h.game.Bombs = 3;
    h.game.AddScore(0, 0, kMaxLong);
    EXPECT_EQ(g.Score, kMaxLong);
    EXPECT_EQ(g.Level, 6554);
    EXPECT_EQ(g.NextLevelScore, kMaxLong) << "the threshold saturates";
    EXPECT_EQ(g.LevelBaseScore, static_cast<int32_t>(Threshold(6553)));
    EXPECT_EQ(h.game.Bombs, 3);

    // Nothing more can be scored or levelled, and the labels still read sensibly.
    h.game.AddScore(0, 0, kMaxLong);
    h.game.AddScore(0, 0, 1);
    EXPECT_EQ(g.Score, kMaxLong);
    EXPECT_EQ(g.Level, 6554);
    h.Tick();
    EXPECT_EQ(h.game.lblLevel.Caption, "Level 6554");
    EXPECT_EQ(h.game.lblScore.Caption, "2,147,483,647");
    EXPECT_FLOAT_EQ(h.game.barLevel.Value(), 100.0f);

    // A merge at this level scores through the saturating path too.
    h.Put(0, 5, 5);
    h.Put(1, 5, 5);
    g.GamePhase = PhasePairs;
    g.CurrentChain = 1000;
    h.Tick(60);
    EXPECT_EQ(g.Score, kMaxLong);
}

TEST(LongGame, ScoreCodesAtTheLimitsAreMadeAndVerifiedOrRefused) {
    // The largest result a game can reach gives a code that verifies to the same values.
    const ScoreValues top{"Ann", kMaxLong, 6554, 60, 30, kLastGameFrame};
    const ScoreCode made = MakeScoreCode(top);
    ASSERT_FALSE(made.Code.empty());
    const CodeReport r = CheckScoreCode(made.ClipboardText);
    EXPECT_EQ(r.Verdict, CodeVerdict::Accepted);
    EXPECT_NE(r.Report.find("2,147,483,647"), std::string::npos) << r.Report;

    // A game that ran to the last frame with no score has a check value past 32 bits:
    // no code, and the game over screen leaves the clipboard alone.
    EXPECT_TRUE(MakeScoreCode({"Bob", 0, 1, 0, 0, kLastGameFrame}).Code.empty());
    GameHarness h(5);
    h.G().GameFrames = kLastGameFrame;
    h.Tick();
    ASSERT_EQ(h.Phase(), PhaseGameOver);
    h.host.InputAnswers.push_back(std::string("Bob"));
    h.game.BuildScoreCode();
    EXPECT_TRUE(h.game.Code.empty());
    EXPECT_FALSE(h.game.CodeCopied);
}

TEST(LongGame, TextsKeepTheirTimesWhereTheMillisecondClockTurnsNegativeAndWraps) {
    const FontRecord font{1, 5, 10};
    // After 24.8 days the clock turns negative; after 49.7 it wraps through 0.
    for (const int32_t start : {kMaxLong - 50, int32_t{-60}}) {
        ClearTexts();
        TickCount = start;
        AddText(font, 0, 0, "A", 10, 0, 12, 100, 200, 0);  // in 100 ms, shown for 200 ms
        const auto at = [&](int64_t ms) {
            TickCount = static_cast<int32_t>(static_cast<uint32_t>(int64_t{start} + ms));
            UpdateTexts();
        };
        at(99);
        EXPECT_EQ(Glyphs[1].State, GlyphWaiting) << start;
        at(101);
        EXPECT_EQ(Glyphs[1].State, GlyphEntering) << start;
        for (int i = 0; i < 100 && Glyphs[1].State == GlyphEntering; ++i) UpdateTexts();
        at(299);
        EXPECT_EQ(Glyphs[1].State, GlyphShowing) << start;
        at(301);
        EXPECT_EQ(Glyphs[1].State, GlyphLeaving) << start;
        for (int i = 0; i < 100 && Glyphs[1].State == GlyphLeaving; ++i) UpdateTexts();
        EXPECT_EQ(LiveGlyphCount(), 0) << "the glyph ends and frees its slot; " << start;
    }
    ClearTexts();
    TickCount = 0;
}

}  // namespace
}  // namespace zol::test
