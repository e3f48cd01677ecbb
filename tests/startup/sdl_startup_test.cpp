// The whole start-up on the real SDL host under the offscreen driver, as main() runs it.
#include <gtest/gtest.h>

#include <SDL.h>

#include "framework/core/qCore.h"
#include "game/frmMain.h"
#include "framework/sound/qDMusic.h"
#include "framework/sound/qDSound.h"
#include "platform/sdl/SdlHost.h"
#include "support/RecordingMusicDevice.h"
#include "support/RecordingSoundDevice.h"

namespace zol {
namespace {

struct CountingPresenter final : sdl::WindowPresenter {
    int Presents = 0, Hidden = 0;
    void Present(const sdl::ChromeImage& c, bool visible, int fx, int fy) override {
        ++Presents;
        EXPECT_EQ(c.Width, 580);
        EXPECT_EQ(c.Height, 388);
        Hidden += !visible;
        EXPECT_EQ(fx, 50);
        EXPECT_EQ(fy, 50);
    }
    bool ReadFront(uint32_t*, int, int) override { return false; }
    void Invalidate() override {}
};

TEST(SdlStartup, FormLoadShowsTheWindowTicksAndTheCloseButtonEndsTheProgram) {
    std::string error;
    auto host = sdl::SdlHost::Create(&error);
    if (!host) GTEST_SKIP() << "SDL video unavailable: " << error;
    SetSystemHost(host.get());
    CountingPresenter presenter;
    host->SetPresenter(&presenter);
    // Sound and music open, so the question is the only box.
    SetSoundDeviceFactory(RecordingSoundFactory(std::make_shared<SoundRecord>()));
    SetMusicDeviceFactory(RecordingMusicFactory(std::make_shared<MusicRecord>()));
    // A waiting code: the question is shown in the window, before the game draws
    // anything (the drawing area hidden); Escape answers No and the game starts as usual.
    host->SetClipboardText("1,520 [1D-ABC]");
    SDL_Event escape{};
    escape.type = SDL_KEYDOWN;
    escape.key.keysym.sym = SDLK_ESCAPE;
    SDL_PushEvent(&escape);
    {
        frmMain form(*host);
        host->SetEvents(&form);
        form.Form_Load();
        ASSERT_FALSE(host->Closed());
        EXPECT_STREQ(SDL_GetWindowTitle(host->Window()), "Zol 1.1.38");
        EXPECT_TRUE(SDL_GetWindowFlags(host->Window()) & SDL_WINDOW_SHOWN);
        // The timer drives the loop: run it for a few ticks, then press the close button.
        for (int i = 0; i < 4; ++i) host->Pump(40);
        EXPECT_GE(presenter.Presents, 1);
        EXPECT_GE(presenter.Hidden, 1);
        SDL_Event close{};
        close.type = SDL_WINDOWEVENT;
        close.window.event = SDL_WINDOWEVENT_CLOSE;
        close.window.windowID = SDL_GetWindowID(host->Window());
        SDL_PushEvent(&close);
        EXPECT_EQ(host->Run(), 0);
        EXPECT_TRUE(host->Closed());
        host->SetEvents(nullptr);
    }
    SetSoundDeviceFactory(nullptr);
    SetMusicDeviceFactory(nullptr);
    SetSystemHost(nullptr);
}

}  // namespace
}  // namespace zol
