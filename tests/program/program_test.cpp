// The real program, in-process and headless: the SDL host on the offscreen driver,
// OpenGL on llvmpipe, OpenAL Soft's null output, FluidSynth without an audio driver.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "framework/graphics/qDDraw.h"
#include "program/ProgramRun.h"

namespace zol::test {
namespace {

TEST(Program, PlaysScriptedKeysPausesAndEndsOnEscape) {
    ProgramRun run;
    run.Options.Use.Music = SilentFluidSynth();
    // The first piece enters once 20 game frames have passed.
    run.Tap(25, SDLK_DOWN);
    run.Tap(28, SDLK_UP);
    run.Tap(31, SDLK_LEFT);
    run.Tap(34, SDLK_SPACE);
    run.Tap(37, SDLK_p);
    run.Tap(47, SDLK_p);
    run.QuitAfter(55);
    ASSERT_EQ(run.Run(), 0);

    // Every device opened, so start-up had nothing to say.
    EXPECT_TRUE(run.Messages.empty()) << run.Messages.front().Title;
    ASSERT_GE(run.Ticks.size(), 55u);
    const TickRecord& first = run.Ticks.front();
    EXPECT_TRUE(first.Drawing && first.Sound && first.Music);
    // The window never lost the foreground, so the game advanced on its own ...
    EXPECT_GE(run.Ticks[35].GameFrames, 30);
    // ... the piece followed Down and Up ...
    std::set<int32_t> rows;
    for (const auto& t : run.Ticks)
        if (t.EditCount > 0 && t.Tick < 37) rows.insert(t.EditY);
    EXPECT_TRUE(rows.count(0) && rows.count(1)) << "rows seen: " << rows.size();
    // ... P froze the game frames and P again let them run on ...
    int paused = 0;
    for (size_t i = 1; i < run.Ticks.size(); ++i) {
        if (!run.Ticks[i].Paused) continue;
        ++paused;
        EXPECT_EQ(run.Ticks[i].GameFrames, run.Ticks[i - 1].GameFrames) << "tick " << i + 1;
    }
    EXPECT_GE(paused, 8);
    EXPECT_FALSE(run.Ticks.back().Paused);
    EXPECT_GT(run.Ticks.back().GameFrames, run.Ticks[47].GameFrames);
    // ... and Escape closed the window on the tick after it.
    EXPECT_LE(run.Ticks.back().Tick, 57);

    // Closing released the whole framework.
    EXPECT_EQ(GetRenderDevice(), nullptr);
    EXPECT_FALSE(SoundEnabled);
    EXPECT_FALSE(MusicEnabled);
    EXPECT_EQ(GetSystemHost(), nullptr);
}

}  // namespace
}  // namespace zol::test
