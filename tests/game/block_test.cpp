// The block entity: its animations, its events and what they leave behind.
#include <gtest/gtest.h>

#include "game/mParticles.h"
#include "support/GameHarness.h"

namespace zol::test {
namespace {

// How many calls of Animate run before the block is still again.
int Running(cBlock& b) {
    int n = 0;
    while (b.Animate() && n < 100) ++n;
    return n;
}

TEST(Block, AnimationsRunTheirTicksAndHandOverAtTheEnd) {
    GameHarness h;
    cBlock& a = h.Cell(3, 2);
    cBlock& b = h.Cell(3, 3);
    a.Kind = 4;
    a.Timer = 77;
    a.State = cBlock::Moving;
    a.Partner = &b;
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(a.Animate()) << i;
    EXPECT_EQ(b.Kind, 0) << "the cell below stays empty until the move ends";
    EXPECT_FALSE(a.Animate());
    EXPECT_EQ(b.Kind, 4);
    EXPECT_TRUE(b.Landed);
    EXPECT_EQ(b.Timer, 0) << "the timer is not handed over";
    EXPECT_EQ(a.Kind, 0);
    EXPECT_EQ(a.State, cBlock::Idle);
    EXPECT_EQ(a.Partner, nullptr);
    // A move that lost its partner ends without touching anything else.
    a.Kind = 2;
    a.State = cBlock::Moving;
    a.Progress = 1;
    EXPECT_FALSE(a.Animate());
    EXPECT_EQ(a.State, cBlock::Idle);
    EXPECT_EQ(a.Kind, 2);

    b.State = cBlock::Appearing;
    EXPECT_EQ(Running(b), 4);
    b.State = cBlock::Changing;
    b.Progress = 0;
    b.Flashing = false;
    EXPECT_EQ(Running(b), 20);
    EXPECT_TRUE(b.Flashing) << "DoneChanging runs on the call that ends the change";
    EXPECT_EQ(b.FlashCount, 0);
}

TEST(Block, LevelUpGameOverAndDisappearThrowParticlesOnlyForBlocks) {
    GameHarness h;
    cBlock& one = h.Cell(1, 1);
    cBlock& four = h.Cell(2, 1);
    cBlock& empty = h.Cell(3, 1);
    one.Kind = 1;
    four.Kind = 4;
    one.LevelUp();  // not below 1, but it still animates
    EXPECT_EQ(one.Kind, 1);
    EXPECT_EQ(one.State, cBlock::Changing);
    four.LevelUp();
    EXPECT_EQ(four.Kind, 3);
    EXPECT_EQ(four.OldKind, 4);
    empty.LevelUp();
    EXPECT_EQ(empty.Kind, 0);
    EXPECT_EQ(ParticleCount, 12);
    empty.GameOver();
    four.GameOver();  // breaks the block up and changes no field
    EXPECT_EQ(ParticleCount, 18);
    EXPECT_EQ(four.Kind, 3);
    empty.Special = 1;
    empty.Disappear();
    EXPECT_EQ(empty.Special, 1) << "Disappear leaves the special";
    EXPECT_EQ(ParticleCount, 24);
    EXPECT_EQ(h.CountSound("ready.wav"), 1);
}

TEST(Block, DoneEditingTimesSpecialsAndFlashesDependOnHistory) {
    GameHarness h(std::make_unique<ScriptedRandom>(std::deque<double>{0.25, 0.99}));
    h.G().Level = 2;
    h.G().GameFrames = 7;
    cBlock& timed = h.Cell(4, 4);
    timed.DoneEditing(1, 0);
    EXPECT_EQ(timed.Timer, 2000 / 2 * 0.25 + 7);
    EXPECT_EQ(timed.State, cBlock::Idle) << "specials do not animate";
    EXPECT_TRUE(timed.Flashing);
    timed.DoneSpecial();  // Int(5 * 0.99) + 1
    EXPECT_EQ(timed.Kind, 5);
    EXPECT_EQ(timed.Special, 0);
    EXPECT_EQ(timed.State, cBlock::Appearing);
    EXPECT_EQ(h.CountSound("hit.wav"), 2);

    // A flash ends after nine toggles, or ten when one came before it.
    cBlock& fresh = h.Cell(0, 0);
    cBlock& used = h.Cell(1, 0);
    fresh.Kind = used.Kind = 1;
    used.Flash();  // not flashing: only the toggle moves
    for (auto [block, calls] : {std::pair{&fresh, 9}, {&used, 10}}) {
        block->DoneChanging();
        int n = 0;
        while (block->Flashing && n < 100) block->Flash(), ++n;
        EXPECT_EQ(n, calls);
    }
}

}  // namespace
}  // namespace zol::test
