// The block entity: its animations, its events and what they leave behind.
#include <gtest/gtest.h>

#include "game/mParticles.h"
#include "support/GameHarness.h"

namespace zol::test {
namespace {

std::unique_ptr<ScriptedRandom> Script(std::deque<double> v) {
    return std::make_unique<ScriptedRandom>(std::move(v));
}

TEST(Block, MoveHandsKindAndSpecialToPartnerOnTheFifthCall) {
    GameHarness h;
    cBlock& a = h.Cell(3, 2);
    cBlock& b = h.Cell(3, 3);
    a.Kind = 4;
    a.Special = 0;
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
    EXPECT_EQ(a.Special, 0);
    EXPECT_EQ(a.State, cBlock::Idle);
    EXPECT_EQ(a.Partner, nullptr);
    EXPECT_EQ(a.Progress, 0.0f);

    // A move that lost its partner ends without touching anything else.
    a.Kind = 2;
    a.State = cBlock::Moving;
    a.Progress = 1;
    a.Partner = nullptr;
    EXPECT_FALSE(a.Animate());
    EXPECT_EQ(a.State, cBlock::Idle);
    EXPECT_EQ(a.Kind, 2);
}

TEST(Block, AppearRunsFourTicksAndChangeRunsTwentyThenFlashes) {
    GameHarness h;
    cBlock& b = h.Cell(0, 0);
    b.Kind = 2;
    b.State = cBlock::Appearing;
    int running = 0;
    while (b.Animate()) ++running;
    EXPECT_EQ(running, 4);
    EXPECT_EQ(b.State, cBlock::Idle);

    b.State = cBlock::Changing;
    b.Progress = 0;
    b.Flashing = false;
    running = 0;
    while (b.Animate()) {
        ++running;
        EXPECT_FALSE(b.Flashing);
    }
    EXPECT_EQ(running, 20);
    EXPECT_TRUE(b.Flashing) << "DoneChanging runs on the call that ends the change";
    EXPECT_EQ(b.FlashCount, 0);
    EXPECT_FALSE(b.Animate()) << "idle";
}

TEST(Block, LevelUpLowersButNotBelowOneAndAlwaysAnimates) {
    GameHarness h;
    cBlock& one = h.Cell(1, 1);
    one.Kind = 1;
    one.LevelUp();
    EXPECT_EQ(one.Kind, 1);
    EXPECT_EQ(one.OldKind, 1);
    EXPECT_EQ(one.State, cBlock::Changing);
    EXPECT_EQ(ParticleCount, 6);

    cBlock& four = h.Cell(2, 1);
    four.Kind = 4;
    four.LevelUp();
    EXPECT_EQ(four.Kind, 3);
    EXPECT_EQ(four.OldKind, 4);

    cBlock& empty = h.Cell(3, 1);
    empty.LevelUp();
    EXPECT_EQ(empty.Kind, 0);
    EXPECT_EQ(empty.State, cBlock::Changing);
    EXPECT_EQ(ParticleCount, 12) << "an empty cell throws no particles";

    // Game over breaks up occupied cells only and changes no field.
    empty.GameOver();
    EXPECT_EQ(ParticleCount, 12);
    four.GameOver();
    EXPECT_EQ(ParticleCount, 18);
    EXPECT_EQ(four.Kind, 3);
}

TEST(Block, DoneEditingTimesSpecialsAndAnimatesNormalBlocks) {
    GameHarness h(Script({0.25, 0.99}));
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
}

TEST(Block, FlashToggleDependsOnHistoryAndDisappearAlwaysBursts) {
    GameHarness h;
    cBlock& fresh = h.Cell(0, 0);
    cBlock& used = h.Cell(1, 0);
    fresh.Kind = used.Kind = 1;
    used.Flash();  // not flashing: only the toggle moves
    fresh.DoneChanging();
    used.DoneChanging();
    auto callsUntilDone = [](cBlock& b) {
        int calls = 0;
        while (b.Flashing && calls < 100) {
            b.Flash();
            ++calls;
        }
        return calls;
    };
    EXPECT_EQ(callsUntilDone(fresh), 9);
    EXPECT_EQ(callsUntilDone(used), 10);

    cBlock& gone = h.Cell(2, 0);
    gone.Special = 1;
    gone.Disappear();
    EXPECT_EQ(gone.Kind, 0);
    EXPECT_EQ(gone.Special, 1) << "Disappear leaves the special";
    EXPECT_EQ(ParticleCount, 6);
    EXPECT_EQ(h.CountSound("ready.wav"), 1);
}

}  // namespace
}  // namespace zol::test
