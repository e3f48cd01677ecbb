// Collision, falling, pairs, scoring and level-ups.
#include <gtest/gtest.h>

#include <map>

#include "framework/graphics/mDText.h"
#include "game/mParticles.h"
#include "support/GameHarness.h"

namespace zol::test {
namespace {

TEST(Collision, EdgesCellsAndPiecesRightOfTheBoard) {
    GameHarness h;
    frmMain& f = h.game;
    EXPECT_TRUE(f.CheckMapCollision(-1, 0));
    EXPECT_TRUE(f.CheckMapCollision(10, 0));
    EXPECT_TRUE(f.CheckMapCollision(0, 6));
    EXPECT_FALSE(f.CheckMapCollision(0, 0));
    h.Put(2, 3, 0, 1);  // a timed block alone
    EXPECT_TRUE(f.CheckMapCollision(2, 3));

    h.SetPiece(10, 0, {{0, 0, 0, 1}, {1, 0, 0, 2}});
    EXPECT_FALSE(f.CheckCollision(10, 0)) << "wholly right of the board";
    EXPECT_FALSE(f.CheckCollision(10, 5));
    EXPECT_TRUE(f.CheckCollision(10, 6)) << "below the board, even right of it";
    EXPECT_TRUE(f.CheckCollision(10, -1));
    EXPECT_TRUE(f.CheckCollision(-1, 0));
    EXPECT_TRUE(f.CheckCollision(1, 3)) << "its second block would cover the timed block";
    EXPECT_FALSE(f.CheckCollision(0, 3));
    EXPECT_TRUE(f.CheckBoundaries());
    f.EditX = 9;
    EXPECT_TRUE(f.CheckBoundaries()) << "the second block is at column 10";
    f.EditX = 8;
    EXPECT_FALSE(f.CheckBoundaries());
}

TEST(Falling, StackOverTwoGapsThroughTheTick) {
    GameHarness h;
    // Column 4: kinds 1, 2, 3 in rows 1..3 over two empty cells.
    h.Put(4, 1, 1);
    h.Put(4, 2, 2);
    h.Put(4, 3, 3);
    h.G().GamePhase = PhaseFalling;
    h.G().CurrentChain = 1;
    h.G().StepPairs = 4;
    std::map<int, int> started, landed;  // kind -> tick
    int phasePairsAt = 0;
    for (int t = 1; t <= 30; ++t) {
        const int dipsBefore = h.CountSound("dip.wav");
        h.Tick();
        // A landing is the tick whose "dip.wav" belongs to a block not seen landing yet (the
        // frame already advances the flash in the same tick, so its counter tells nothing).
        const bool dipped = h.CountSound("dip.wav") > dipsBefore;
        for (int y = 0; y < kMapRows; ++y) {
            const cBlock& b = h.Cell(4, y);
            if (b.Kind > 0 && b.State == cBlock::Moving && b.Progress == 0 && !started.count(b.Kind))
                started[b.Kind] = t;
            if (dipped && b.Kind > 0 && b.Flashing && !landed.count(b.Kind)) landed[b.Kind] = t;
        }
        if (!phasePairsAt && h.Phase() == PhasePairs) phasePairsAt = t;
    }
    // Rounds run every five ticks from tick 1: round r at tick 5r - 4.
    EXPECT_EQ(started[3], 1);
    EXPECT_EQ(started[2], 6);
    EXPECT_EQ(started[1], 11);
    EXPECT_EQ(landed[3], 11);
    EXPECT_EQ(landed[2], 16);
    EXPECT_EQ(landed[1], 21);
    EXPECT_EQ(phasePairsAt, 21) << "round 5 starts no move";
    EXPECT_EQ(h.CountSound("dip.wav"), 3) << "one landing effect per block";
    EXPECT_EQ(h.Cell(4, 3).Kind, 1);
    EXPECT_EQ(h.Cell(4, 4).Kind, 2);
    EXPECT_EQ(h.Cell(4, 5).Kind, 3);
    EXPECT_EQ(h.G().StepPairs, 0);
    EXPECT_EQ(h.Phase(), PhaseEdit) << "nothing pairs: the chain ends";
}

TEST(Falling, TimedBlocksHoldAndSettledBoardsGoBackToPairs) {
    GameHarness h;
    h.Put(0, 3, 2);
    h.Put(0, 4, 0, 1);
    h.G().StepPairs = 3;
    EXPECT_FALSE(h.game.CheckForFalling()) << "a block resting on a timed block stays";
    h.game.UpdateFalling();
    EXPECT_EQ(h.Phase(), PhasePairs);
    EXPECT_EQ(h.G().StepPairs, 0);
    EXPECT_EQ(h.Cell(0, 3).State, cBlock::Idle);
}

TEST(Scoring, WorkedValuesOfAFirstMergeAndAnExplosion) {
    GameHarness h;
    GameRecord& g = h.G();
    g.GamePhase = PhasePairs;
    h.Put(0, 5, 1);
    h.Put(1, 5, 1);
    h.game.UpdatePairs();
    EXPECT_EQ(g.Score, 12);
    EXPECT_EQ(h.Cell(0, 5).Kind, 2);
    EXPECT_EQ(h.Cell(1, 5).Kind, 0);
    EXPECT_EQ(h.Cell(1, 5).OldKind, 1);
    EXPECT_EQ(h.Cell(0, 5).State, cBlock::Changing);
    EXPECT_EQ(h.CountSound("clack.wav"), 1);
    EXPECT_EQ(LiveGlyphCount(), 2) << "the points \"12\" float up";

    GameHarness h2;
    GameRecord& g2 = h2.G();
    g2.GamePhase = PhasePairs;
    g2.CurrentChain = 2;
    g2.StepPairs = 2;
    g2.NextLevelScore = 1000;  // keep level-ups out of the worked values
    h2.Put(3, 2, 5);
    h2.Put(3, 3, 5);
    h2.game.UpdatePairs();
    EXPECT_EQ(g2.Score, 76 + 73);
    EXPECT_EQ(g2.CurrentExplodes, 1);
    EXPECT_EQ(g2.MaxExplodes, 1);
    EXPECT_EQ(g2.MaxChains, 3);
    EXPECT_EQ(h2.Cell(3, 2).Kind, 0);
    EXPECT_EQ(h2.Cell(3, 3).Kind, 0);
    EXPECT_EQ(h2.CountSound("ready.wav"), 2);
    EXPECT_EQ(h2.CountSound("clack.wav"), 0);
    EXPECT_EQ(ParticleCount, 12);
}

TEST(Scoring, OverlappingPairsScanOrderAndNoPairsEndsTheChain) {
    GameHarness h;
    GameRecord& g = h.G();
    g.GamePhase = PhasePairs;
    h.SetBoard({"..........",
                "..........",
                "..........",
                "...4......",
                "...4......",
                "2224......"});
    h.game.UpdatePairs();
    EXPECT_EQ(h.Cell(0, 5).Kind, 3);
    EXPECT_EQ(h.Cell(1, 5).Kind, 0);
    EXPECT_EQ(h.Cell(2, 5).Kind, 2) << "the overlapping pair is skipped";
    // Column 3: (3,3)-(3,4) merges first in the vertical scan; (3,4)-(3,5) is skipped.
    EXPECT_EQ(h.Cell(3, 3).Kind, 5);
    EXPECT_EQ(h.Cell(3, 4).Kind, 0);
    EXPECT_EQ(h.Cell(3, 5).Kind, 4);
    EXPECT_EQ(g.CurrentChain, 2);

    GameHarness h2;
    h2.G().GamePhase = PhasePairs;
    h2.G().GameFrames = 50;
    h2.SetBoard({"", "", "1", "", "", "2"});  // a block over a gap, no chain yet
    h2.game.UpdatePairs();
    EXPECT_EQ(h2.Phase(), PhaseEdit);
    EXPECT_EQ(h2.G().NextEditFrame, 70);
    EXPECT_EQ(h2.Cell(0, 2).Kind, 1) << "gravity acts only after merges";
    EXPECT_EQ(h2.Cell(0, 2).State, cBlock::Idle);

    // The same board after a merge falls at once.
    h2.G().GamePhase = PhasePairs;
    h2.G().CurrentChain = 1;
    h2.game.UpdatePairs();
    EXPECT_EQ(h2.Phase(), PhaseFalling);
    EXPECT_EQ(h2.Cell(0, 2).State, cBlock::Moving);
}

TEST(Scoring, LevelThresholdsBombsAndMultipleLevelUps) {
    GameHarness h;
    GameRecord& g = h.G();
    h.game.AddScore(0, 0, 100);
    EXPECT_EQ(g.Level, 1) << "100 does not exceed the threshold";
    h.game.AddScore(0, 0, 1);
    EXPECT_EQ(g.Level, 2);
    EXPECT_EQ(g.LevelBaseScore, 100);
    EXPECT_EQ(g.NextLevelScore, 300);
    EXPECT_EQ(h.game.DelayFactor, 0.99f);
    EXPECT_EQ(h.CountSound("hui.wav"), 1);

    GameHarness j;
    GameRecord& k = j.G();
    j.Put(0, 0, 4);
    j.Put(5, 5, 1);
    k.GamePhase = PhasePairs;
    j.game.AddScore(0, 0, 301);
    EXPECT_EQ(k.Level, 3);
    EXPECT_EQ(k.LevelBaseScore, 300);
    EXPECT_EQ(k.NextLevelScore, 600);
    EXPECT_EQ(j.CountSound("hui.wav"), 2);
    EXPECT_EQ(j.Cell(0, 0).Kind, 2) << "two level-ups lower a block two kinds";
    EXPECT_EQ(j.Cell(5, 5).Kind, 1);
    EXPECT_EQ(j.game.Bombs, 0);
    // 1 points text + 2 x ("Level Up" + 41 level numbers).
    EXPECT_EQ(LiveGlyphCount(), 3 + 2 * (8 + 41));

    // One level up from just below each threshold: a bomb at levels 4, 7, 10, ... while the
    // stock is below three, and the piece steps faster until, from level 20 on, every frame.
    const struct {
        int32_t Level, BombsBefore, BombsAfter;
        float Delay;
    } ups[] = {{4, 0, 1, 0.96f}, {7, 3, 3, 0.8775f}, {8, 1, 1, 0.84f},
               {10, 2, 3, 0.75f}, {20, 0, 0, 0},       {21, 0, 0, 0}};
    for (const auto& u : ups) {
        const int32_t L = u.Level;
        k.Level = L - 1;
        k.LevelBaseScore = 50 * (L - 2) * (L - 1);
        k.Score = k.NextLevelScore = 50 * (L - 1) * L;
        j.game.Bombs = u.BombsBefore;
        j.game.AddScore(0, 0, 1);
        EXPECT_EQ(k.Level, L);
        EXPECT_EQ(k.LevelBaseScore, 50 * (L - 1) * L);
        EXPECT_EQ(k.NextLevelScore, 50 * L * (L + 1));
        EXPECT_EQ(j.game.Bombs, u.BombsAfter) << L;
        EXPECT_FLOAT_EQ(j.game.DelayFactor, u.Delay) << L;
    }
}

TEST(Scoring, LevelUpDuringAMergeLowersItAndSkipsLaterPairs) {
    GameHarness h;
    GameRecord& g = h.G();
    g.GamePhase = PhasePairs;
    g.Score = 95;
    h.SetBoard({"33........", "", "", "", "", "11........"});
    h.game.UpdatePairs();
    EXPECT_EQ(g.Level, 2);
    EXPECT_EQ(h.Cell(0, 0).Kind, 3) << "lowered to 2 by the level-up, then merged to 3";
    EXPECT_EQ(h.Cell(1, 0).Kind, 0);
    EXPECT_EQ(h.Cell(0, 5).Kind, 1) << "the later pair is changing and is skipped";
    EXPECT_EQ(h.Cell(1, 5).Kind, 1);
    EXPECT_EQ(g.CurrentChain, 1);
}

}  // namespace
}  // namespace zol::test
