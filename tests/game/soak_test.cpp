// A long random game: presses and holds from a seeded source, a new game after each end,
// and the board's invariants checked after every tick. ZOL_SOAK_TICKS sets the length.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "framework/core/qKeys.h"
#include "support/GameHarness.h"

namespace zol::test {
namespace {

constexpr int kPieceKeys[] = {vk::Left,  vk::Up, vk::Down, vk::Space, vk::Right, vk::Return,
                              vk::R,     vk::Back, vk::A,  vk::S,     vk::W,     vk::D,
                              vk::E,     vk::Shift};
constexpr int kPieceKeyCount = sizeof kPieceKeys / sizeof kPieceKeys[0];

int64_t SoakTicks() {
    if (const char* env = std::getenv("ZOL_SOAK_TICKS")) {
        const long long n = std::atoll(env);
        if (n > 0) return n;
    }
    return 500000;
}

// What is wrong with the game now, or "" when every invariant holds.
std::string CheckInvariants(GameHarness& h, int32_t lastScore) {
    std::ostringstream why;
    const GameRecord& g = h.G();
    for (int x = 0; x < kMapColumns; ++x) {
        for (int y = 0; y < kMapRows; ++y) {
            const cBlock& b = h.Cell(x, y);
            if (b.Kind < 0 || b.Kind > 6) why << "kind " << b.Kind << " at " << x << "," << y << "; ";
            if (b.State == cBlock::Moving && !b.Partner) why << "moving without partner at " << x << "," << y << "; ";
        }
    }
    for (int i = 1; i <= h.game.EditCount; ++i) {
        const int32_t k = h.game.EditBlocks[i].Kind;
        if (k < 1 || k > 5) why << "piece kind " << k << "; ";
    }
    if (h.game.Bombs < 0 || h.game.Bombs > 3) why << "bombs " << h.game.Bombs << "; ";
    if (g.Score < lastScore) why << "score fell from " << lastScore << " to " << g.Score << "; ";
    const int64_t L = g.Level;
    if (g.NextLevelScore != 50 * L * (L + 1) || g.LevelBaseScore != 50 * (L - 1) * L ||
        g.Score > g.NextLevelScore) {
        why << "level " << L << " with score " << g.Score << ", base " << g.LevelBaseScore
            << ", next " << g.NextLevelScore << "; ";
    }
    return why.str();
}

TEST(Soak, RandomPlayKeepsTheBoardSound) {
    const int64_t ticks = SoakTicks();
    GameHarness h(20261206, false);
    SplitMix64 input(77);  // the player's hand, apart from the game's own numbers
    int32_t lastScore = 0;
    int games = 1, overTicks = 0, maxLevel = 1;
    for (int64_t t = 0; t < ticks; ++t) {
        const double r = input.Next();
        if (r < 0.12) {
            h.Press(kPieceKeys[static_cast<int>(input.Next() * kPieceKeyCount)]);
        } else if (r < 0.20) {
            h.Release(kPieceKeys[static_cast<int>(input.Next() * kPieceKeyCount)]);
        } else if (r < 0.201) {
            h.Press(vk::P);
        } else if (r < 0.2012) {
            h.Press(vk::V);
        } else if (r < 0.2014) {
            h.host.MessageAnswers.push_back(MsgAnswer::No);
            h.Press(vk::F12);
        } else if (r < 0.2016) {
            h.host.Foreground = !h.host.Foreground;
        }
        if (h.game.Paused && input.Next() < 0.05) h.Press(vk::P);
        if (!h.host.Foreground && input.Next() < 0.05) h.host.Foreground = true;

        if (h.Phase() == PhaseGameOver && ++overTicks > 40) {
            h.host.InputAnswers.push_back(std::string("soak"));
            h.game.Front_MouseDown(1, 0, 0, 0);
            h.host.MessageAnswers.push_back(MsgAnswer::Yes);
            h.Press(vk::F12);
            h.Tick();
            ASSERT_EQ(h.Phase(), PhaseEdit) << "tick " << t;
            ASSERT_EQ(h.G().Score, 0);
            lastScore = 0;
            overTicks = 0;
            ++games;
            // The host keeps every dialog; a long soak does not need the history.
            h.host.Messages.clear();
            h.host.Inputs.clear();
            continue;
        }
        h.Tick();
        const std::string why = CheckInvariants(h, lastScore);
        if (!why.empty()) FAIL() << "tick " << t << ", game " << games << ": " << why;
        lastScore = h.G().Score;
        if (h.G().Level > maxLevel) maxLevel = h.G().Level;
    }
    EXPECT_GT(games, 5) << "the random player should lose now and then";
    RecordProperty("games", games);
    RecordProperty("max_level", maxLevel);
    std::printf("soak: %lld ticks, %d games, highest level %d\n", static_cast<long long>(ticks),
                games, maxLevel);
}

}  // namespace
}  // namespace zol::test
