// The key mapping of the SDL host and the timer's scheduling rule.
#include <gtest/gtest.h>

#include "framework/core/qKeys.h"
#include "platform/sdl/SdlKeys.h"
#include "ui/TickTimer.h"

namespace zol {
namespace {

using sdl::VirtualKeyFromSdl;

TEST(SdlKeys, EveryKeyTheGameReadsMapsToItsVirtualKeyCode) {
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_ESCAPE), vk::Escape);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_F12), vk::F12);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_F1), 112);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_F11), vk::F11);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_p), vk::P);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_q), vk::Q);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_v), vk::V);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_a), vk::A);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_d), vk::D);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_e), vk::E);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_r), vk::R);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_s), vk::S);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_w), vk::W);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_z), 'Z');
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_0), '0');
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_9), '9');
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_LEFT), vk::Left);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_UP), vk::Up);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_RIGHT), vk::Right);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_DOWN), vk::Down);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_SPACE), vk::Space);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_BACKSPACE), vk::Back);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_RETURN), vk::Return);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_KP_ENTER), vk::Return);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_LSHIFT), vk::Shift);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_RSHIFT), vk::Shift);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_LCTRL), vk::Control);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_RALT), vk::Menu);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_TAB), 9);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_DELETE), 46);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_INSERT), 45);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_HOME), 36);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_END), 35);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_PAGEUP), 33);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_PAGEDOWN), 34);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_KP_0), 96);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_KP_5), 101);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_KP_9), 105);
    // Keys without a code are not passed on, and no code leaves the key table.
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_AUDIOPLAY), 0);
    for (SDL_Keycode k : {SDLK_a, SDLK_F12, SDLK_KP_9, SDLK_DELETE, SDLK_UNKNOWN})
        EXPECT_TRUE(IsKeyCode(VirtualKeyFromSdl(k)));
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
    ui::TickTimer t(30, 2);
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

}  // namespace
}  // namespace zol
