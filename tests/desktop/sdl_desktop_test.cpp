// The SDL host on the desktop, run for real under SDL's offscreen driver: window mode,
// full-screen keys, mouse mapping at other sizes, and game controllers through SDL's
// virtual joysticks, plugged in and pulled out while the loop runs.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "game/frmMain.h"
#include "platform/sdl/SdlHost.h"
#include "support/SdlEvents.h"

namespace zol::sdl {
namespace {

struct RecordingWindow final : WindowEvents {
    std::vector<std::string> Calls;
    void Form_KeyDown(int k, int) override { Calls.push_back("down " + std::to_string(k)); }
    void Form_KeyUp(int k, int) override { Calls.push_back("up " + std::to_string(k)); }
    void Front_MouseDown(int b, int, float x, float y) override {
        Calls.push_back("mouse " + std::to_string(b) + " " + std::to_string(static_cast<int>(x)) +
                        " " + std::to_string(static_cast<int>(y)));
    }
    void Form_Activate() override {}
    void Form_Deactivate() override {}
    void Form_GotFocus() override {}
    void Form_LostFocus() override { Calls.push_back("lostfocus"); }
    void Form_Unload() override {}
    void tmrMain_Timer() override {}
    void DescribeWindow(WindowContent& c) override { c.Layout = kWindowLayout; }
};

struct NullPresenter final : WindowPresenter {
    int Presents = 0;
    void Present(const ChromeImage&, bool, int, int) override { ++Presents; }
    bool ReadFront(uint32_t*, int, int) override { return false; }
    void Invalidate() override {}
};

class SdlDesktopTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Offscreen no window has the keyboard focus; pads are to be heard all the same.
        SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
        std::string error;
        host = SdlHost::Create(&error);
        if (!host) GTEST_SKIP() << "SDL video unavailable: " << error;
        host->SetEvents(&window);
        host->SetPresenter(&presenter);
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
    void Key(Uint32 type, SDL_Keycode key, Uint16 mod = KMOD_NONE, Uint8 repeat = 0) {
        SDL_Event e = test::KeyEvent(host->Window(), type, key, mod, repeat);
        ASSERT_EQ(SDL_PushEvent(&e), 1);
    }
    void Click(int x, int y) {
        SDL_Event e = test::ClickEvent(host->Window(), x, y);
        ASSERT_EQ(SDL_PushEvent(&e), 1);
    }
    void Drain() {
        for (int i = 0; i < 5 && host->Pump(0); ++i) {
        }
    }
    RecordingWindow window;
    NullPresenter presenter;
    std::unique_ptr<SdlHost> host;
};

TEST_F(SdlDesktopTest, WindowIsResizableHighDensityAwareAndCarriesTheDesktopClass) {
    host->ShowWindow();  // sized by the layout the window describes
    const Uint32 flags = SDL_GetWindowFlags(host->Window());
    EXPECT_TRUE(flags & SDL_WINDOW_RESIZABLE);
    EXPECT_TRUE(flags & SDL_WINDOW_ALLOW_HIGHDPI);
    EXPECT_FALSE(host->IsFullscreen());
    int w = 0, h = 0;
    SDL_GetWindowMinimumSize(host->Window(), &w, &h);
    EXPECT_EQ(w, 580);
    EXPECT_EQ(h, 388);
    // The first size is a whole multiple of the layout.
    SDL_GetWindowSize(host->Window(), &w, &h);
    ASSERT_GT(w, 0);
    EXPECT_EQ(w % 580, 0);
    EXPECT_EQ(h % 388, 0);
    EXPECT_EQ(w / 580, h / 388);
    const char* wmClass = std::getenv("SDL_VIDEO_X11_WMCLASS");
    ASSERT_NE(wmClass, nullptr);
    EXPECT_STREQ(wmClass, SdlHost::kDesktopId);
}

TEST_F(SdlDesktopTest, FullScreenKeysSwitchTheWindowAndNeverReachTheGame) {
    host->ShowWindow();
    window.Calls.clear();
    Key(SDL_KEYDOWN, SDLK_F11);
    Key(SDL_KEYDOWN, SDLK_F11, KMOD_NONE, 1);  // held: repeats do not switch again
    Key(SDL_KEYUP, SDLK_F11);
    Drain();
    EXPECT_TRUE(host->IsFullscreen());
    EXPECT_TRUE(SDL_GetWindowFlags(host->Window()) & SDL_WINDOW_FULLSCREEN_DESKTOP);
    Key(SDL_KEYDOWN, SDLK_LALT, KMOD_LALT);
    Key(SDL_KEYDOWN, SDLK_RETURN, KMOD_LALT);
    Key(SDL_KEYUP, SDLK_LALT);
    Key(SDL_KEYUP, SDLK_RETURN);  // after Alt: still the window's key
    Drain();
    EXPECT_FALSE(host->IsFullscreen());
    // Alt alone is an ordinary key; Enter without Alt is the game's bomb key again; an
    // Enter already held as a game key stays one when Alt joins while it repeats.
    Key(SDL_KEYDOWN, SDLK_RETURN);
    Key(SDL_KEYDOWN, SDLK_RETURN, KMOD_LALT, 1);
    Key(SDL_KEYUP, SDLK_RETURN);
    Drain();
    EXPECT_FALSE(host->IsFullscreen());
    const std::vector<std::string> expected = {"down 18", "up 18", "down 13", "down 13", "up 13"};
    EXPECT_EQ(window.Calls, expected);
}

TEST_F(SdlDesktopTest, MousePressesMapThroughTheScaleAndBarsOfAnyWindowSize) {
    host->ShowWindow();
    // Double size plus bars of 50 across and 20 down.
    SDL_SetWindowSize(host->Window(), 1160 + 100, 776 + 40);
    Drain();
    int w = 0, h = 0;
    SDL_GetWindowSize(host->Window(), &w, &h);
    ASSERT_EQ(w, 1260);
    ASSERT_EQ(h, 816);
    window.Calls.clear();
    const int left = 50, top = 20;
    Click(left + 2 * 50, top + 2 * 50);          // the logical screen's first pixel
    Click(left + 2 * 529 + 1, top + 2 * 337 + 1);  // its last
    Click(left + 2 * 48, top + 2 * 100);         // the chrome left of the drawing area
    Click(10, 300);                              // a bar
    Click(left + 2 * 580, 300);                  // the right bar
    Drain();
    const std::vector<std::string> expected = {"mouse 1 0 0", "mouse 1 479 287"};
    EXPECT_EQ(window.Calls, expected);
    // The picture is presented again when the size changes, even without ticks.
    const int before = presenter.Presents;
    SDL_SetWindowSize(host->Window(), 700, 500);
    Drain();
    EXPECT_GT(presenter.Presents, before);
}

// A virtual pad laid out as a game controller: every standard button and axis.
int AttachVirtualPad() {
    SDL_VirtualJoystickDesc d{};
    d.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    d.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    d.naxes = SDL_CONTROLLER_AXIS_MAX;
    d.nbuttons = SDL_CONTROLLER_BUTTON_DPAD_RIGHT + 1;
    d.button_mask = (1u << d.nbuttons) - 1;
    d.axis_mask = (1u << d.naxes) - 1;
    d.name = "Zol test pad";
    return SDL_JoystickAttachVirtualEx(&d);
}

TEST_F(SdlDesktopTest, PadsPlugInPlayThroughTheKeyProceduresAndPullOut) {
    if (!SDL_WasInit(SDL_INIT_GAMECONTROLLER)) GTEST_SKIP() << "no controller subsystem";
    host->ShowWindow();
    const int index = AttachVirtualPad();
    ASSERT_GE(index, 0) << SDL_GetError();
    ASSERT_TRUE(SDL_IsGameController(index));
    Drain();
    ASSERT_EQ(host->Gamepad().Count(), 1);
    SDL_Joystick* joy = SDL_JoystickFromInstanceID(SDL_JoystickGetDeviceInstanceID(index));
    ASSERT_NE(joy, nullptr);
    window.Calls.clear();

    const auto press = [&](int button, bool down) {
        SDL_JoystickSetVirtualButton(joy, button, down ? 1 : 0);
        Drain();
    };
    press(SDL_CONTROLLER_BUTTON_A, true);
    press(SDL_CONTROLLER_BUTTON_A, false);
    press(SDL_CONTROLLER_BUTTON_B, true);
    press(SDL_CONTROLLER_BUTTON_B, false);
    press(SDL_CONTROLLER_BUTTON_START, true);
    press(SDL_CONTROLLER_BUTTON_START, false);
    SDL_JoystickSetVirtualAxis(joy, SDL_CONTROLLER_AXIS_LEFTY, 30000);  // stick down
    Drain();
    SDL_JoystickSetVirtualAxis(joy, SDL_CONTROLLER_AXIS_LEFTY, 2000);   // back to rest
    SDL_JoystickSetVirtualAxis(joy, SDL_CONTROLLER_AXIS_LEFTX, -30000);  // stick left
    Drain();
    const std::vector<std::string> played = {
        "down 32", "mouse 1 240 144", "up 32", "down 13", "up 13", "down 80", "up 80",
        "down 40", "down 37", "up 40"};  // axes report X first
    EXPECT_EQ(window.Calls, played);

    // Pulled out while the stick holds Left: Left is released.
    window.Calls.clear();
    ASSERT_EQ(SDL_JoystickDetachVirtual(index), 0);
    Drain();
    EXPECT_EQ(host->Gamepad().Count(), 0);
    EXPECT_EQ(window.Calls, std::vector<std::string>{"up 37"});

    // Plugged in again, it plays again.
    const int again = AttachVirtualPad();
    ASSERT_GE(again, 0);
    Drain();
    ASSERT_EQ(host->Gamepad().Count(), 1);
    joy = SDL_JoystickFromInstanceID(SDL_JoystickGetDeviceInstanceID(again));
    ASSERT_NE(joy, nullptr);
    window.Calls.clear();
    press(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
    EXPECT_EQ(window.Calls, std::vector<std::string>{"down 37"});
    SDL_JoystickDetachVirtual(again);
    Drain();
}

TEST_F(SdlDesktopTest, InTheInputBoxAAcceptsAndBCancels) {
    if (!SDL_WasInit(SDL_INIT_GAMECONTROLLER)) GTEST_SKIP() << "no controller subsystem";
    host->ShowWindow();
    const int index = AttachVirtualPad();
    ASSERT_GE(index, 0) << SDL_GetError();
    Drain();
    SDL_Joystick* joy = SDL_JoystickFromInstanceID(SDL_JoystickGetDeviceInstanceID(index));
    ASSERT_NE(joy, nullptr);
    window.Calls.clear();
    // The button goes down while the box waits for events.
    SDL_JoystickSetVirtualButton(joy, SDL_CONTROLLER_BUTTON_A, 1);
    const auto name = host->InputBox("Please enter your Name for the Highscore:", "Game Over", "Ann");
    ASSERT_TRUE(name.has_value());
    EXPECT_EQ(*name, "Ann");
    SDL_JoystickSetVirtualButton(joy, SDL_CONTROLLER_BUTTON_A, 0);
    SDL_JoystickSetVirtualButton(joy, SDL_CONTROLLER_BUTTON_B, 1);
    EXPECT_FALSE(host->InputBox("p", "t", "x").has_value());
    SDL_JoystickSetVirtualButton(joy, SDL_CONTROLLER_BUTTON_B, 0);
    Drain();
    // None of it reached the game's keys.
    for (const std::string& c : window.Calls) EXPECT_EQ(c, "lostfocus");
    SDL_JoystickDetachVirtual(index);
    Drain();
}

}  // namespace
}  // namespace zol::sdl
