// Whole games through the real tick: the piece, the window keys, specials, game over.
#include <gtest/gtest.h>

#include "framework/core/qKeys.h"
#include "framework/core/qRandom.h"
#include "framework/graphics/mDText.h"
#include "game/mParticles.h"
#include "support/GameHarness.h"

namespace zol::test {
namespace {

// The draws of one two-block piece: kinds 1 and 2 side by side, no extras.
std::unique_ptr<ScriptedRandom> OnePiece() {
    return std::make_unique<ScriptedRandom>(
        std::deque<double>{0.5, 0.5, 0.5, 0.1, 0.0, 0.3, 0.5, 0.5});
}

TEST(Play, APieceAppearsStepsIsSteeredCycledAndPlaced) {
    GameHarness h(OnePiece());
    frmMain& f = h.game;
    h.Tick(20);
    EXPECT_EQ(f.EditCount, 0) << "the piece waits until GameFrames passes NextEditFrame";
    h.Tick();
    ASSERT_EQ(f.EditCount, 2);
    EXPECT_EQ(f.EditX, 10);
    EXPECT_EQ(f.EditY, 0);
    EXPECT_EQ(f.EditBlocks[1].Kind, 1);
    EXPECT_EQ(f.EditBlocks[2].Kind, 2);
    EXPECT_EQ(h.G().NextEditFrame, 31);
    h.Tick(10);
    EXPECT_EQ(f.EditX, 10);
    h.Tick();
    EXPECT_EQ(f.EditX, 9) << "steps every 11 frames at DelayFactor 1";
    h.Tick(10);
    EXPECT_EQ(f.EditX, 9);
    h.Tick();
    EXPECT_EQ(f.EditX, 8);

    h.Press(vk::Down);
    h.Tick();
    EXPECT_EQ(f.EditY, 1);
    EXPECT_FALSE(Keys[vk::Down]) << "single step: once per press";
    h.Press(vk::Down);  // a key repeat acts again
    h.Tick();
    EXPECT_EQ(f.EditY, 2);
    h.Press(vk::W);
    h.Tick();
    EXPECT_EQ(f.EditY, 1);

    h.Press(vk::Space);
    h.Tick();
    EXPECT_EQ(f.EditBlocks[1].X, 1.0f) << "kinds move round the cells";
    EXPECT_EQ(f.EditBlocks[2].X, 0.0f);
    for (int key : {vk::Right, vk::D, vk::E, vk::Shift}) {  // the other keys that cycle
        const float before = f.EditBlocks[1].X;
        h.Press(key);
        h.Tick();
        EXPECT_NE(f.EditBlocks[1].X, before) << key;
    }

    h.Press(vk::Left);  // held: one column per tick
    const int before = h.Ticks();
    ASSERT_TRUE(h.TickUntil([&] { return h.Phase() == PhasePairs; }, 100));
    h.Release(vk::Left);
    EXPECT_LE(h.Ticks() - before, 11 + 8) << "pushed left, then placed at the next step";
    EXPECT_EQ(f.EditCount, 0);
    EXPECT_EQ(h.Cell(0, 1).Kind, 2);
    EXPECT_EQ(h.Cell(1, 1).Kind, 1);
    EXPECT_EQ(h.Cell(0, 1).State, cBlock::Appearing);
    EXPECT_EQ(h.CountSound("hit.wav"), 2);

    const int placedAt = h.G().GameFrames;
    ASSERT_TRUE(h.TickUntil([&] { return h.Phase() == PhaseEdit; }, 20));
    EXPECT_EQ(h.G().GameFrames, placedAt + 5) << "four ticks of appearing, then the pairs step";
    EXPECT_EQ(h.G().NextEditFrame, h.G().GameFrames + 20);
}

TEST(Play, SingleStepOffMovesWhileHeldAndBombKeysWithoutStock) {
    GameHarness h;
    frmMain& f = h.game;
    h.SetPiece(10, 0, {{0, 0, 0, 3}});
    h.G().NextEditFrame = 1000;
    h.Press(vk::Back);
    h.Tick();
    EXPECT_FALSE(f.SingleStep);
    h.Press(vk::S);
    h.Tick(8);
    h.Release(vk::S);
    EXPECT_EQ(f.EditY, 5) << "one row per tick until the bottom refuses";

    h.Press(vk::Return);
    h.Press(vk::Up);
    h.Tick();
    EXPECT_EQ(h.CountSound("ammo.wav"), 1);
    EXPECT_EQ(f.EditCount, 1) << "no bomb: the piece stays";
    EXPECT_EQ(f.EditY, 4) << "and the other keys still act";
    EXPECT_FALSE(Keys[vk::Return]);
}

TEST(Play, GameEndsWhenAPieceRestsPartlyOutside) {
    GameHarness h(3);
    for (int y = 0; y < kMapRows; ++y) h.Put(9, y, 1 + y % 2);
    h.Put(0, 5, 0, 1);
    h.Cell(0, 5).Timer = 1000000;
    ASSERT_TRUE(h.TickUntil([&] { return h.Phase() == PhaseGameOver; }, 100));
    EXPECT_EQ(h.G().GameFrames, 32) << "the first step left collides";
    EXPECT_EQ(ParticleCount, 36) << "six per block, none for the timed block";
    EXPECT_EQ(h.CountSound("gameover.wav") + h.CountSound("gameover2.wav"), 1);
    ASSERT_FALSE(h.music.empty());
    EXPECT_EQ(h.music.back(), "stop");
    EXPECT_FALSE(h.game.Paused);

    h.Tick(10);
    EXPECT_EQ(h.G().GameFrames, 32) << "the clock stops at game over";
    h.Press(vk::P);
    h.Tick();
    EXPECT_FALSE(h.game.Paused) << "P does nothing on the game-over screen";
    EXPECT_EQ(h.CountSound("pause.wav"), 0);

    // Losing the foreground: the game-over screen never stays paused, but skips its update.
    h.host.Foreground = false;
    const uint64_t draws = RndDrawCount();
    h.Tick();
    EXPECT_FALSE(h.game.Paused);
    EXPECT_EQ(RndDrawCount(), draws);
    h.host.Foreground = true;
    h.Tick();
    EXPECT_GE(RndDrawCount(), draws + 60) << "one draw per cell in UpdateGameOver";
    EXPECT_EQ(h.Cell(0, 5).Special, 1) << "no timed block turns after the game";

    h.host.InputAnswers.push_back(std::string("Ann"));
    h.game.Front_MouseDown(1, 0, 10, 10);
    ASSERT_EQ(h.host.Inputs.size(), 1u);
    EXPECT_EQ(h.host.Inputs[0].Prompt, "Please enter your Name for the Highscore:");

    h.host.MessageAnswers.push_back(MsgAnswer::Yes);
    const int32_t glyphs = LiveGlyphCount();
    h.game.ResetGame(false);
    EXPECT_EQ(h.Phase(), PhaseEdit);
    EXPECT_EQ(h.Cell(9, 0).Kind, 0);
    EXPECT_EQ(h.music.back(), "play back.mid");
    EXPECT_EQ(LiveGlyphCount(), glyphs + 15) << "\"Try again, Ann!\"";
    EXPECT_EQ(h.game.PlayerName, "Ann") << "a reset keeps the name";

    h.game.Front_MouseDown(1, 0, 10, 10);
    EXPECT_EQ(h.host.Inputs.size(), 1u) << "a mouse press during play does nothing";
}

TEST(Play, PauseKeysAutoPauseAndVerify) {
    GameHarness h;
    frmMain& f = h.game;
    h.host.Foreground = false;
    h.Tick();
    EXPECT_FALSE(f.Paused) << "no auto-pause before the first counted frame";
    h.Tick();
    EXPECT_TRUE(f.Paused);
    EXPECT_EQ(h.G().GameFrames, 1);
    h.host.Foreground = true;
    h.Press(vk::P);
    h.Tick();
    EXPECT_FALSE(f.Paused);
    EXPECT_EQ(h.G().GameFrames, 2);
    EXPECT_EQ(f.PauseFade, 0.0f) << "the key sets 0.1 and the same tick's frame draws its one flash";

    // Holding P: every key repeat toggles.
    for (int i = 0; i < 3; ++i) {
        h.Press(vk::P);
        h.Tick();
    }
    EXPECT_TRUE(f.Paused);
    EXPECT_EQ(h.G().GameFrames, 3) << "frozen while paused";
    h.Press(vk::Q);
    h.Tick();
    EXPECT_FALSE(f.Paused);
    EXPECT_EQ(h.CountSound("pause.wav"), 5);

    h.Press(vk::V);
    h.Tick();
    EXPECT_TRUE(f.Paused);
    EXPECT_EQ(f.PauseFade, 1.0f);
    ASSERT_EQ(h.host.Inputs.size(), 1u);
    EXPECT_EQ(h.host.Inputs[0].Prompt, "Enter Code to verify:");
    EXPECT_EQ(h.host.Inputs[0].Title, "Verify Code");
    h.Tick(3);
    EXPECT_TRUE(f.Paused) << "stays paused after the check";
}

TEST(Play, EscapeEndsTheTickAtOnceAndRefusedResetOnlyReleasesKeys) {
    GameHarness h;
    h.Tick(3);
    h.Press(vk::P);
    h.Tick();
    ASSERT_TRUE(h.game.Paused);
    const std::string frames = h.game.lblFrames.Caption;
    h.G().GameFrames = 77;
    h.Press(vk::Escape);
    h.Tick();
    EXPECT_TRUE(h.host.Closed) << "Escape acts while paused";
    EXPECT_EQ(h.game.lblFrames.Caption, frames) << "nothing after step 2 ran";

    GameHarness j;
    j.Put(2, 5, 3);
    j.G().Score = 50;
    j.Tick();
    j.Press(vk::Left);
    j.Press(vk::F12);
    j.host.MessageAnswers.push_back(MsgAnswer::No);
    j.Tick();
    ASSERT_EQ(j.host.Messages.size(), 1u);
    EXPECT_EQ(j.host.Messages[0].Text, "Do you really want to RESET the game?");
    EXPECT_EQ(j.host.Messages[0].Buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(j.host.Messages[0].Icon, MsgIcon::Question);
    EXPECT_EQ(j.G().Score, 50);
    EXPECT_EQ(j.Cell(2, 5).Kind, 3);
    EXPECT_EQ(j.G().GameFrames, 2);
    EXPECT_FALSE(Keys[vk::Left]) << "every key is released, even when refused";
    EXPECT_TRUE(j.music.size() == 1) << "the music starts only at the first reset";
}

TEST(Play, LabelsAndBusyBoard) {
    GameHarness h;
    h.Tick();
    EXPECT_EQ(h.game.lblScore.Caption, "0");
    EXPECT_EQ(h.game.lblLevel.Caption, "Level 1");
    EXPECT_EQ(h.game.lblCurrentChain.Caption, "0 / 0");
    EXPECT_EQ(h.game.lblFrames.Caption, "1");
    EXPECT_EQ(h.game.lblFPS.Caption.substr(h.game.lblFPS.Caption.size() - 4), " FPS");
    EXPECT_EQ(h.game.barLevel.Value(), 0.0f);
    h.G().Score = 250;
    h.G().Level = 2;
    h.G().LevelBaseScore = 100;
    h.G().NextLevelScore = 300;
    h.G().CurrentExplodes = 1;
    h.G().MaxExplodes = 4;
    h.Tick();
    EXPECT_EQ(h.game.barLevel.Value(), 75.0f);
    EXPECT_EQ(h.game.lblCurrentExplodes.Caption, "1 / 4");
    h.G().Score = 1234567;
    h.Tick();
    EXPECT_EQ(h.game.lblScore.Caption, "1,234,567");

    // While blocks animate the phase waits, but the clock, particles and texts go on.
    GameHarness j;
    j.G().GamePhase = PhasePairs;
    j.Put(0, 0, 1);
    j.Put(1, 0, 1);
    j.Cell(0, 0).State = cBlock::Appearing;
    AddParticle(0, 0, 1, 1);
    for (int i = 0; i < 4; ++i) {
        j.Tick();
        EXPECT_EQ(j.Cell(1, 0).Kind, 1) << i;
    }
    EXPECT_EQ(j.G().GameFrames, 4);
    EXPECT_EQ(Particles[1].Life, 42);
    j.Tick();
    EXPECT_EQ(j.Cell(0, 0).Kind, 2) << "merged once the board is still";
}

TEST(Specials, TimedBlocksTurnAfterTheirTimer) {
    GameHarness h;
    h.Put(2, 2, 0, 1);
    h.Cell(2, 2).Timer = 3;
    h.Tick(3);
    EXPECT_EQ(h.Cell(2, 2).Special, 1) << "Timer equal to GameFrames does not turn yet";
    h.Tick();
    EXPECT_EQ(h.Cell(2, 2).Special, 0);
    EXPECT_GE(h.Cell(2, 2).Kind, 1);
    EXPECT_LE(h.Cell(2, 2).Kind, 5);
    EXPECT_EQ(h.Cell(2, 2).State, cBlock::Appearing);
}

TEST(Specials, BombOnAFullBoard) {
    GameHarness h(11);
    const std::vector<std::string> full = {"1234512345", "2345123451", "3451234512",
                                           "4512345123", "5123451234", "1234512345"};
    h.SetBoard(full);
    h.Put(4, 4, 0, 1);
    h.Cell(4, 4).Timer = 5000;
    h.SetPiece(10, 0, {{0, 0, 0, 1}});
    h.game.Bombs = 1;
    h.Press(vk::R);
    h.Tick();
    EXPECT_EQ(h.game.Bombs, 0);
    EXPECT_EQ(h.game.EditCount, 0) << "the piece is thrown away";
    EXPECT_EQ(h.Phase(), PhaseEdit);
    int timed = 0;
    for (int x = 0; x < kMapColumns; ++x) {
        for (int y = 0; y < kMapRows; ++y) {
            EXPECT_EQ(h.Cell(x, y).Kind, 0);
            timed += h.Cell(x, y).Special == 1;
        }
    }
    EXPECT_EQ(h.Cell(4, 4).Timer, 5000) << "an old timed block is left alone";
    EXPECT_EQ(timed - 1, h.CountSound("hit.wav"));
    EXPECT_EQ(h.CountSound("ready.wav"), 59);
    EXPECT_EQ(h.CountSound("bomb.wav"), 1);

    // On average one ordinary block in ten becomes a timed block.
    int total = 0;
    const int throws = 200;
    for (int i = 0; i < throws; ++i) {
        h.SetBoard(full);
        h.game.Bombs = 1;
        h.game.UseBomb();
        for (int x = 0; x < kMapColumns; ++x)
            for (int y = 0; y < kMapRows; ++y) total += h.Cell(x, y).Special == 1;
    }
    EXPECT_NEAR(total / double(throws), 6.0, 0.7);

    // An empty board still spends the bomb and makes the noise.
    h.SetBoard({});
    h.game.Bombs = 2;
    h.ClearRecords();
    h.game.UseBomb();
    EXPECT_EQ(h.game.Bombs, 1);
    EXPECT_EQ(h.CountSound("bomb.wav"), 1);
}

TEST(Play, CreateEditBlocksShapesAndRareFives) {
    GameHarness h(5);
    frmMain& f = h.game;
    h.G().Level = 100;
    f.CreateEditBlocks();
    ASSERT_EQ(f.EditCount, 1) << "every level roll passes: a lone timed block";
    EXPECT_EQ(f.EditBlocks[1].Special, 1);
    EXPECT_EQ(f.EditBlocks[1].Kind, 1);

    h.G().Level = 1;
    int fives = 0, kinds = 0;
    for (int i = 0; i < 4000; ++i) {
        f.CreateEditBlocks();
        ASSERT_GE(f.EditCount, 1);
        ASSERT_LE(f.EditCount, 4);
        for (int b = 1; b <= f.EditCount; ++b) {
            const cBlock& e = f.EditBlocks[b];
            ASSERT_GE(e.X, 0);
            ASSERT_LE(e.X, 2);
            ASSERT_GE(e.Y, 0);
            ASSERT_LE(e.Y, 1);
            if (e.Special == 0) {
                ++kinds;
                fives += e.Kind == 5;
            }
        }
    }
    EXPECT_NEAR(fives / double(kinds), 1.0 / 25, 0.012);
    // A repeated offset adds nothing.
    f.EditCount = 0;
    f.CreateEditBlock(0, 0, 0, 2);
    f.CreateEditBlock(0, 0, 0, 3);
    EXPECT_EQ(f.EditCount, 1);
    EXPECT_EQ(f.EditBlocks[1].Kind, 2);
}

}  // namespace
}  // namespace zol::test
