// The key mapping of the SDL host and the timer's scheduling rule.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "framework/core/qKeys.h"
#include "platform/sdl/SdlKeys.h"
#include "platform/KeyTapLatch.h"
#include "platform/TickTimer.h"

namespace zol {
namespace {

using sdl::VirtualKeyFromSdl;

TEST(SdlKeys, EveryKeyTheGameReadsMapsToItsVirtualKeyCode) {
    const std::pair<SDL_Keycode, int> table[] = {
        {SDLK_ESCAPE, vk::Escape}, {SDLK_F12, vk::F12}, {SDLK_F1, 112}, {SDLK_F11, vk::F11},
        {SDLK_p, vk::P}, {SDLK_q, vk::Q}, {SDLK_v, vk::V}, {SDLK_a, vk::A}, {SDLK_d, vk::D},
        {SDLK_e, vk::E}, {SDLK_r, vk::R}, {SDLK_s, vk::S}, {SDLK_w, vk::W}, {SDLK_z, 'Z'},
        {SDLK_0, '0'}, {SDLK_9, '9'}, {SDLK_LEFT, vk::Left}, {SDLK_UP, vk::Up},
        {SDLK_RIGHT, vk::Right}, {SDLK_DOWN, vk::Down}, {SDLK_SPACE, vk::Space},
        {SDLK_BACKSPACE, vk::Back}, {SDLK_RETURN, vk::Return}, {SDLK_KP_ENTER, vk::Return},
        {SDLK_LSHIFT, vk::Shift}, {SDLK_RSHIFT, vk::Shift}, {SDLK_LCTRL, vk::Control},
        {SDLK_RALT, vk::Menu}, {SDLK_TAB, 9}, {SDLK_DELETE, 46}, {SDLK_INSERT, 45},
        {SDLK_HOME, 36}, {SDLK_END, 35}, {SDLK_PAGEUP, 33}, {SDLK_PAGEDOWN, 34},
        {SDLK_KP_0, 96}, {SDLK_KP_5, 101}, {SDLK_KP_9, 105},
        {SDLK_AUDIOPLAY, 0}};  // no code: not passed on
    for (const auto& [key, code] : table) {
        EXPECT_EQ(VirtualKeyFromSdl(key), code) << SDL_GetKeyName(key);
        EXPECT_TRUE(IsKeyCode(VirtualKeyFromSdl(key)));
    }
}

TEST(SdlKeys, ModifiersBecomeTheShiftMaskAndButtonsTheButtonMask) {
    EXPECT_EQ(sdl::ShiftMaskFromSdl(KMOD_NONE), 0);
    EXPECT_EQ(sdl::ShiftMaskFromSdl(KMOD_LSHIFT), 1);
    EXPECT_EQ(sdl::ShiftMaskFromSdl(KMOD_RCTRL), 2);
    EXPECT_EQ(sdl::ShiftMaskFromSdl(KMOD_LALT), 4);
    EXPECT_EQ(sdl::ShiftMaskFromSdl(KMOD_RSHIFT | KMOD_LCTRL | KMOD_RALT), 7);
    // Lock keys are not modifiers of the mask.
    EXPECT_EQ(sdl::ShiftMaskFromSdl(KMOD_NUM | KMOD_CAPS), 0);
    EXPECT_EQ(sdl::ButtonMaskFromSdl(SDL_BUTTON_LEFT), 1);
    EXPECT_EQ(sdl::ButtonMaskFromSdl(SDL_BUTTON_RIGHT), 2);
    EXPECT_EQ(sdl::ButtonMaskFromSdl(SDL_BUTTON_MIDDLE), 4);
}

TEST(TickTimer, OnTimeTicksKeepTheCadenceAndLateTicksAreNeverQueued) {
    platform::TickTimer t(30, 2);
    EXPECT_EQ(t.WaitMs(0), -1);  // disabled: nothing to wait for
    EXPECT_FALSE(t.IsDue(1000));
    t.Start(1000);
    EXPECT_FALSE(t.IsDue(1029));
    EXPECT_EQ(t.WaitMs(1010), 20);  // the caller sleeps until the tick is due
    ASSERT_TRUE(t.IsDue(1030));
    t.TickRan(1030);
    EXPECT_EQ(t.DueAt(), 1060);
    // A wake-up a millisecond late keeps the cadence.
    t.TickRan(1061);
    EXPECT_EQ(t.DueAt(), 1090);
    // Far behind (a long stall): exactly one tick runs, the next is a full interval later.
    ASSERT_TRUE(t.IsDue(1500));
    t.TickRan(1500);
    EXPECT_EQ(t.DueAt(), 1530);
    EXPECT_FALSE(t.IsDue(1500));
    EXPECT_EQ(t.WaitMs(1500), 30);
    // Stopping and starting again schedules from the new start.
    t.Stop();
    EXPECT_FALSE(t.IsDue(5000));
    t.Start(5000);
    EXPECT_EQ(t.DueAt(), 5030);
}

TEST(TickTimer, AClockThatStepsEitherWayCostsOneTickNeverABurstOrAFreeze) {
    platform::TickTimer t(30, 2);
    t.Start(1000);
    t.TickRan(1030);
    // Three weeks forward: one tick at once, then the cadence from there.
    const int64_t weeks = int64_t{21} * 24 * 3600 * 1000;
    ASSERT_TRUE(t.IsDue(1040 + weeks));
    t.TickRan(1040 + weeks);
    EXPECT_FALSE(t.IsDue(1041 + weeks));
    EXPECT_EQ(t.WaitMs(1041 + weeks), 29);
    // An hour back: the tick due next is not an hour away but runs at once, and the
    // cadence restarts from the new time.
    const int64_t back = 1100 + weeks - 3600 * 1000;
    ASSERT_TRUE(t.IsDue(back));
    EXPECT_EQ(t.WaitMs(back), 0);
    t.TickRan(back);
    EXPECT_EQ(t.DueAt(), back + 30);
    EXPECT_FALSE(t.IsDue(back + 29));
    ASSERT_TRUE(t.IsDue(back + 30));
    t.TickRan(back + 30);
    EXPECT_EQ(t.DueAt(), back + 60);
    // Any reading before the last tick is a step back, however small.
    ASSERT_TRUE(t.IsDue(back + 25));
    t.TickRan(back + 25);
    EXPECT_EQ(t.DueAt(), back + 55);
    // Back past the timer's own start (a clock that reads below zero).
    ASSERT_TRUE(t.IsDue(-5000));
    t.TickRan(-5000);
    EXPECT_EQ(t.DueAt(), -4970);
}

TEST(KeyTapLatch, HoldsBackOnlyTheReleaseOfAKeyPressedSinceTheLastTick) {
    platform::KeyTapLatch latch;
    std::vector<std::pair<int, int>> released;
    const auto tick = [&] { latch.TickRan([&](int k, int s) { released.emplace_back(k, s); }); };
    EXPECT_TRUE(latch.Up(vk::Left, 0));  // never went down since a tick: passes
    latch.Down(vk::P);
    EXPECT_FALSE(latch.Up(vk::P, 2));  // a tap: held back
    latch.Down(vk::Space);
    EXPECT_FALSE(latch.Up(vk::Space, 0));
    latch.Down(vk::Space);  // pressed again before the tick: stays down
    tick();
    const std::vector<std::pair<int, int>> expected = {{vk::P, 2}};
    EXPECT_EQ(released, expected);
    EXPECT_TRUE(latch.Up(vk::Space, 0));  // held across the tick: passes at once
    released.clear();
    tick();
    EXPECT_TRUE(released.empty());
    EXPECT_TRUE(latch.Up(300, 0));  // not a key-table code
    latch.Down(-1);
}

}  // namespace
}  // namespace zol
