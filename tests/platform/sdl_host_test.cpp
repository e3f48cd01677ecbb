// The SDL window host and its painter, run for real under SDL's offscreen driver.
#include <gtest/gtest.h>

#include <SDL.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <SDL_image.h>

#include <cstdlib>

#include "platform/sdl/SdlHost.h"
#include "platform/sdl/WindowPainter.h"
#include "support/SdlEvents.h"
#include "support/WindowFixtures.h"

namespace zol::sdl {
namespace {

// With ZOL_TEST_SHOTS set to a folder, writes an image there to look at.
void MaybeSave(const uint32_t* rgba, const char* name) {
    const char* dir = std::getenv("ZOL_TEST_SHOTS");
    if (!dir || !rgba) return;
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(rgba), 580, 388, 32,
                                                        580 * 4, SDL_PIXELFORMAT_RGBA32);
    if (!s) return;
    IMG_SavePNG(s, (std::string(dir) + "/" + name).c_str());
    SDL_FreeSurface(s);
}

// Records every event procedure the host calls.
struct RecordingWindow final : WindowEvents {
    std::vector<std::string> Calls;
    int Ticks = 0;
    std::function<void()> OnTick;
    WindowContent Content{kWindowLayout, {}, {}};

    void Form_KeyDown(int k, int s) override {
        Calls.push_back("down " + std::to_string(k) + " " + std::to_string(s));
    }
    void Form_KeyUp(int k, int s) override {
        Calls.push_back("up " + std::to_string(k) + " " + std::to_string(s));
    }
    void Front_MouseDown(int b, int s, float x, float y) override {
        Calls.push_back("mouse " + std::to_string(b) + " " + std::to_string(s) + " " +
                        std::to_string(static_cast<int>(x)) + " " +
                        std::to_string(static_cast<int>(y)));
    }
    void Form_Activate() override { Calls.push_back("activate"); }
    void Form_Deactivate() override { Calls.push_back("deactivate"); }
    void Form_GotFocus() override { Calls.push_back("gotfocus"); }
    void Form_LostFocus() override { Calls.push_back("lostfocus"); }
    void Form_Unload() override { Calls.push_back("unload"); }
    void tmrMain_Timer() override {
        ++Ticks;
        Calls.push_back("tick");
        if (OnTick) OnTick();
    }
    void DescribeWindow(WindowContent& c) override { c = Content; }
};

// Keeps the last image it was given.
struct RecordingPresenter final : WindowPresenter {
    int Presents = 0;
    int Invalidates = 0;
    bool InvalidBeforePresent = false;  // the last present followed an Invalidate
    bool invalid_ = false;
    uint64_t Version = 0;
    int FrontX = 0, FrontY = 0;
    std::vector<uint32_t> Image;
    bool CanReadFront = false;
    bool FrontVisible = false;
    std::vector<uint32_t> DialogImage;  // the last image shown with the screen hidden
    void Present(const ChromeImage& c, bool visible, int fx, int fy) override {
        ++Presents;
        if (!visible) DialogImage.assign(c.Rgba, c.Rgba + static_cast<size_t>(c.Width) * c.Height);
        InvalidBeforePresent = invalid_;
        invalid_ = false;
        Version = c.Version;
        FrontVisible = visible, FrontX = fx, FrontY = fy;
        Image.assign(c.Rgba, c.Rgba + static_cast<size_t>(c.Width) * c.Height);
    }
    bool ReadFront(uint32_t* rgba, int w, int h) override {
        if (!CanReadFront) return false;
        for (int i = 0; i < w * h; ++i) rgba[i] = 0xFF0000FFu;  // opaque red, bytes R G B A
        return true;
    }
    void Invalidate() override { ++Invalidates, invalid_ = true; }
};

class SdlHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        host = SdlHost::Create(&error);
        if (!host) GTEST_SKIP() << "SDL video unavailable: " << error;
        host->SetEvents(&window);
        host->SetPresenter(&presenter);
    }
    void Push(Uint32 type, SDL_Keycode key, Uint16 mod = KMOD_NONE, Uint8 repeat = 0) {
        SDL_Event e = test::KeyEvent(host->Window(), type, key, mod, repeat);
        ASSERT_EQ(SDL_PushEvent(&e), 1);
    }
    void PushText(const char* text) {
        SDL_Event e = test::TextEvent(text);
        ASSERT_EQ(SDL_PushEvent(&e), 1);
    }
    void PushClick(int x, int y, Uint8 button = SDL_BUTTON_LEFT) {
        SDL_Event e = test::ClickEvent(host->Window(), x, y, button);
        ASSERT_EQ(SDL_PushEvent(&e), 1);
    }
    void PushWindowEvent(Uint8 what) {
        SDL_Event e = test::WindowEventOf(host->Window(), what);
        ASSERT_EQ(SDL_PushEvent(&e), 1);
    }
    void Drain() {
        for (int i = 0; i < 5 && host->Pump(0); ++i) {
        }
    }
    RecordingWindow window;
    RecordingPresenter presenter;
    std::unique_ptr<SdlHost> host;
};

TEST_F(SdlHostTest, KeysMouseAndFocusReachTheWindowsProcedures) {
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    host->ShowWindow();
    window.Calls.clear();
    Push(SDL_KEYDOWN, SDLK_LEFT);
    Push(SDL_KEYDOWN, SDLK_LEFT, KMOD_NONE, 1);  // SDL's key repeat: another key-down
    Push(SDL_KEYUP, SDLK_LEFT);
    Push(SDL_KEYDOWN, SDLK_F12, KMOD_LSHIFT | KMOD_LCTRL);
    Push(SDL_KEYDOWN, SDLK_KP_ENTER);
    Push(SDL_KEYDOWN, SDLK_AUDIOPLAY);  // no code: dropped
    PushClick(50, 50);                  // the logical screen's first pixel
    PushClick(529, 337, SDL_BUTTON_RIGHT);
    PushClick(48, 100);   // left of the drawing area: not a press on it
    PushClick(300, 339);  // just below it
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    Drain();
    const std::vector<std::string> expected = {
        "down 37 0",         "down 37 0", "up 37 0",    "down 123 3", "down 13 0", "mouse 1 0 0 0",
        "mouse 2 0 479 287", "lostfocus", "deactivate", "activate",   "gotfocus"};
    EXPECT_EQ(window.Calls, expected);
    EXPECT_FALSE(host->Closed());
}

TEST_F(SdlHostTest, AKeyTappedBetweenTwoTicksIsSeenByTheNextTick) {
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    host->SetTimerEnabled(true);
    window.Calls.clear();
    Push(SDL_KEYDOWN, SDLK_p);
    Push(SDL_KEYUP, SDLK_p);
    while (window.Ticks < 1) host->Pump(50);
    Push(SDL_KEYDOWN, SDLK_LEFT);
    while (window.Ticks < 2) host->Pump(50);
    Push(SDL_KEYUP, SDLK_LEFT);  // held across a tick: released at once
    host->Pump(0);
    const std::vector<std::string> expected = {"down 80 0", "tick", "up 80 0",
                                               "down 37 0", "tick", "up 37 0"};
    EXPECT_EQ(window.Calls, expected);
}

TEST_F(SdlHostTest, AnUncoveredWindowIsShownWholeAgainAtOnce) {
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    host->ShowWindow();
    host->SetTimerEnabled(true);
    while (window.Ticks < 1) host->Pump(50);
    host->SetTimerEnabled(false);
    for (const Uint8 what : {SDL_WINDOWEVENT_EXPOSED, SDL_WINDOWEVENT_SIZE_CHANGED}) {
        const int presents = presenter.Presents, invalidates = presenter.Invalidates;
        PushWindowEvent(what);
        Drain();
        EXPECT_EQ(presenter.Invalidates, invalidates + 1);
        EXPECT_GT(presenter.Presents, presents);  // without waiting for the next tick
        EXPECT_TRUE(presenter.InvalidBeforePresent);
        EXPECT_TRUE(presenter.FrontVisible);
        EXPECT_EQ(presenter.FrontX, kWindowLayout.Screen.X);
    }
}

TEST_F(SdlHostTest, TheCloseButtonUnloadsOnceAndEndsTheLoop) {
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    host->ShowWindow();
    host->SetTimerEnabled(true);
    PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    EXPECT_FALSE(host->Pump(0));
    EXPECT_TRUE(host->Closed());
    host->CloseWindow();  // a second close (Escape in the same tick) does not unload again
    int unloads = 0;
    for (const auto& c : window.Calls) unloads += c == "unload";
    EXPECT_EQ(unloads, 1);
    EXPECT_EQ(window.Ticks, 0);
    EXPECT_FALSE(host->IsForeground());
    EXPECT_EQ(host->Run(), 0);  // returns at once
}

TEST_F(SdlHostTest, TimerTicksOnlyWhenEnabledAndNeverCatchesUpAfterAStall) {
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    host->Pump(40);
    EXPECT_EQ(window.Ticks, 0);  // disabled until start-up enables it
    host->SetTimerEnabled(true);
    // The first tick stalls far beyond several intervals.
    window.OnTick = [&] {
        if (window.Ticks == 1) std::this_thread::sleep_for(std::chrono::milliseconds(200));
    };
    const auto start = std::chrono::steady_clock::now();
    while (window.Ticks < 1) host->Pump(50);
    const auto afterStall = std::chrono::steady_clock::now();
    // Spin the loop for a while: the ticks after the stall come no faster than one per
    // interval, so the missed ones were not queued.
    while (std::chrono::steady_clock::now() - afterStall < std::chrono::milliseconds(100))
        host->Pump(0);
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
                             std::chrono::steady_clock::now() - afterStall)
                             .count();
    EXPECT_LE(window.Ticks - 1, elapsed / 30 + 1);
    EXPECT_GE(window.Ticks, 2);
    EXPECT_GE(afterStall - start, std::chrono::milliseconds(200));
    EXPECT_GT(presenter.Presents, 0);  // every tick is followed by a present
    host->SetTimerEnabled(false);
    const int ticks = window.Ticks;
    host->Pump(60);
    EXPECT_EQ(window.Ticks, ticks);
}

TEST_F(SdlHostTest, AnErrorInATickIsReportedAndClosesTheWindow) {
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    host->SetTimerEnabled(true);
    window.OnTick = [&] {
        Push(SDL_KEYDOWN, SDLK_RETURN);  // answers the error's box
        throw std::runtime_error("Subscript out of range");
    };
    for (int i = 0; i < 10 && host->Pump(50); ++i) {
    }
    EXPECT_TRUE(host->Closed());
    EXPECT_TRUE(host->ErrorShown());
    EXPECT_EQ(window.Ticks, 1);
    ASSERT_FALSE(window.Calls.empty());
    EXPECT_EQ(window.Calls.back(), "unload");
    EXPECT_FALSE(presenter.DialogImage.empty());  // the box was shown in the window
}

TEST_F(SdlHostTest, ClipboardMessageBoxesAndClock) {
    host->SetClipboardText("1,520 [AB-cd]");
    EXPECT_EQ(host->GetClipboardText().value_or(""), "1,520 [AB-cd]");
    host->SetClipboardText("");
    EXPECT_FALSE(host->GetClipboardText().has_value());  // an empty clipboard holds no text
    // Without a presenter the window cannot show a box, and offscreen SDL cannot show its
    // own either: it answers as if closed.
    host->SetPresenter(nullptr);
    EXPECT_FALSE(host->CanShowDialog());
    ASSERT_FALSE(host->CanShowMessageBoxes());
    EXPECT_FALSE(host->ErrorShown());
    EXPECT_FALSE(host->WasShown());
    EXPECT_EQ(host->MessageBox("a\r\nb", "t", MsgButtons::OK, MsgIcon::Error), MsgAnswer::OK);
    EXPECT_TRUE(host->ErrorShown());
    EXPECT_EQ(host->MessageBox("q", "t", MsgButtons::YesNo, MsgIcon::Question), MsgAnswer::No);
    EXPECT_EQ(host->MessageBox("q", "t", MsgButtons::YesNoCancel, MsgIcon::Question),
              MsgAnswer::Cancel);
    const double t = host->TimeOfDay();
    EXPECT_GE(t, 0.0);
    EXPECT_LT(t, 86400.0);
    const int32_t a = host->GetTickCount();
    SDL_Delay(5);
    EXPECT_GE(host->GetTickCount() - a, 4);
    host->SetCaption("Zol 1.1.38");
    EXPECT_STREQ(SDL_GetWindowTitle(host->Window()), "Zol 1.1.38");
}

TEST_F(SdlHostTest, InputBoxRunsItsOwnLoopWithoutTicksAndAnswersTheText) {
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    host->ShowWindow();
    host->SetTimerEnabled(true);
    presenter.CanReadFront = true;
    window.Calls.clear();
    host->SetClipboardText("XY");
    PushText("a");
    PushText("\xC3\xA9");
    Push(SDL_KEYDOWN, SDLK_BACKSPACE);
    Push(SDL_KEYDOWN, SDLK_v, KMOD_LCTRL);
    Push(SDL_KEYDOWN, SDLK_RETURN);
    const auto answer = host->InputBox("Enter Code to verify:", "Verify Code", "1");
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(*answer, "1aXY");
    EXPECT_EQ(window.Ticks, 0);  // no game tick while the box was open
    // Its keys never reached the game; the box took the focus and gave it back, so keys
    // held before it opened are released.
    const std::vector<std::string> focus = {"lostfocus", "deactivate", "activate", "gotfocus"};
    EXPECT_EQ(window.Calls, focus);
    // After it closes the window is shown again with the logical screen at its place.
    EXPECT_TRUE(presenter.FrontVisible);
        EXPECT_EQ(presenter.FrontX, kWindowLayout.Screen.X);

    Push(SDL_KEYDOWN, SDLK_ESCAPE);
    EXPECT_FALSE(host->InputBox("p", "t", "keep").has_value());

    // A click on Cancel cancels; the dialog was drawn over a copy of the last frame.
    const auto layout = ui::InputBox::Layout(kWindowLayout.ClientWidth, kWindowLayout.ClientHeight);
    PushClick(layout.Cancel.X + 3, layout.Cancel.Y + 3);
    int presentsBefore = presenter.Presents;
    EXPECT_FALSE(host->InputBox("p", "t", "").has_value());
    EXPECT_GT(presenter.Presents, presentsBefore);

    // The close button cancels the box and then closes the window.
    PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    EXPECT_FALSE(host->InputBox("p", "t", "x").has_value());
    EXPECT_FALSE(host->Closed());
    EXPECT_FALSE(host->Pump(0));
    EXPECT_TRUE(host->Closed());
    EXPECT_EQ(window.Calls.back(), "unload");
    EXPECT_FALSE(host->InputBox("p", "t", "x").has_value());  // no window: cancelled at once
}

// The colour 0xRRGGBB of client pixel (X, Y) of a presented image.
uint32_t ColorIn(const std::vector<uint32_t>& image, int x, int y) {
    const auto* b = reinterpret_cast<const uint8_t*>(&image[static_cast<size_t>(y) * 580 + x]);
    return (uint32_t{b[0]} << 16) | (uint32_t{b[1]} << 8) | b[2];
}

TEST_F(SdlHostTest, MessageBoxesAreDrawnInTheWindowAndAnsweredByKeysAndClicks) {
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    // Asked before the game shows its window (the start-up question): the box shows the
    // window for itself, with the drawing area hidden.
    Push(SDL_KEYDOWN, SDLK_ESCAPE);
    EXPECT_EQ(host->MessageBox("Verify copied code? 1,520 [1D-ABC]", "Zol", MsgButtons::YesNo,
                               MsgIcon::Question),
              MsgAnswer::No);
    EXPECT_TRUE(SDL_GetWindowFlags(host->Window()) & SDL_WINDOW_SHOWN);
    EXPECT_FALSE(presenter.FrontVisible);
    EXPECT_FALSE(host->WasShown());

    host->ShowWindow();
    host->SetTimerEnabled(true);
    presenter.CanReadFront = true;
    window.Calls.clear();
    const auto ask = [&](MsgButtons buttons) {
        return host->MessageBox("Do you really want to RESET the game?", "Zol", buttons,
                                MsgIcon::Question);
    };
    // Enter presses the focused button, the first at first; a repeat of an Enter held
    // in the game does not.
    Push(SDL_KEYDOWN, SDLK_RETURN, KMOD_NONE, 1);
    Push(SDL_KEYDOWN, SDLK_RIGHT);
    Push(SDL_KEYDOWN, SDLK_RETURN);
    EXPECT_EQ(ask(MsgButtons::YesNoCancel), MsgAnswer::No);

    // A click on a button presses it; it lies where the box's layout puts it.
    ui::MessageBox model("Do you really want to RESET the game?", "Zol", MsgButtons::YesNoCancel,
                         MsgIcon::Question);
    WindowPainter& painter = host->Painter();
    const auto L = ui::MessageBox::Layout(
        model, 580, 388, [&](const std::string& t) { return painter.DialogTextWidth(t); },
        painter.DialogLineHeight());
    PushClick(L.Buttons[2].X + 3, L.Buttons[2].Y + 3);
    EXPECT_EQ(ask(MsgButtons::YesNoCancel), MsgAnswer::Cancel);
    // Drawn over a copy of the last frame, the live screen hidden, the focus in blue.
    ASSERT_FALSE(presenter.DialogImage.empty());
    EXPECT_EQ(ColorIn(presenter.DialogImage, 60, 60), 0xFF0000u);
    EXPECT_EQ(ColorIn(presenter.DialogImage, L.Buttons[0].X, L.Buttons[0].Y + 5), 0x2F94ECu);
    EXPECT_NE(ColorIn(presenter.DialogImage, L.Buttons[1].X, L.Buttons[1].Y + 5), 0x2F94ECu);
    // No game tick ran and no key reached the game while the boxes were open; after them
    // the window shows the live screen again.
    EXPECT_EQ(window.Ticks, 0);
    for (const std::string& c : window.Calls) EXPECT_EQ(c.find("down"), std::string::npos) << c;
    EXPECT_TRUE(presenter.FrontVisible);
    EXPECT_FALSE(host->IsClosing());
}

TEST_F(SdlHostTest, DialogsArePaintedOverTheLastFrame) {
    presenter.CanReadFront = true;
    host->ShowWindow();
    Push(SDL_KEYDOWN, SDLK_ESCAPE);
    host->InputBox("Enter Code to verify:", "Verify Code", "");
    ASSERT_FALSE(presenter.DialogImage.empty());
    MaybeSave(presenter.DialogImage.data(), "dialog.png");
    EXPECT_EQ(ColorIn(presenter.DialogImage, 60, 60), 0xFF0000u);  // the copied frame
    const auto L = ui::InputBox::Layout(580, 388);
    EXPECT_EQ(ColorIn(presenter.DialogImage, L.Field.X + L.Field.W - 3, L.Field.Y + L.Field.H / 2),
              0xFFFFFFu);  // the white field
}

TEST(WindowPainter, LabelsAndBarAreRasterisedWhereTheyBelong) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) GTEST_SKIP() << SDL_GetError();
    {
        {
            // Another painter coming and going must not take the font library with it.
            WindowPainter other("");
        }
        WindowPainter painter("");  // no art: a plain frame
        EXPECT_FALSE(WindowPainter(std::string()).Paint(WindowContent{}));  // no layout, no image
        if (!painter.HasFonts()) GTEST_SKIP() << "no font matches Arial";
        WindowContent c;
        WindowLabel level;
        level.Left = 40, level.Top = 12, level.Width = 145, level.Height = 27;
        level.Caption = "Level 12";
        level.FontPoints = 18, level.Bold = true, level.ForeColor = 0x000000;
        WindowLabel frames;
        frames.Left = 408, frames.Top = 364, frames.Width = 93, frames.Height = 15;
        frames.Caption = "";
        frames.HasBackColor = true, frames.BackColor = 0x8080FF;
        c.Layout = kWindowLayout;
        c.Labels = {level, frames};
        c.Bar = test::LevelBar(0.5f);
        ASSERT_TRUE(painter.Paint(c));
        MaybeSave(painter.Pixels(), "labels.png");
        const uint64_t v = painter.Version();
        EXPECT_FALSE(painter.Paint(c));  // nothing changed: no repaint
        EXPECT_EQ(painter.Version(), v);

        int dark = 0, darkOutside = 0;
        for (int y = 0; y < 45; ++y)
            for (int x = 0; x < 300; ++x) {
                const uint32_t rgb = painter.ColorAt(x, y);
                const bool isDark =
                    ((rgb >> 16) & 0xFF) < 100 && ((rgb >> 8) & 0xFF) < 100 && (rgb & 0xFF) < 100;
                const bool inLabel = x >= 40 && x < 185 && y >= 12 && y < 39;
                if (isDark) (inLabel ? dark : darkOutside)++;
            }
        EXPECT_GT(dark, 100);                             // the text is there...
        EXPECT_EQ(darkOutside, 0);                        // ...and nowhere outside its label
        EXPECT_EQ(painter.ColorAt(450, 370), 0x8080FFu);  // a label's back colour
        // The bar: a flat black frame, the filled half in the fore colour, the rest in the back
        // colour.
        EXPECT_EQ(painter.ColorAt(52, 345), 0x000000u);
        EXPECT_EQ(painter.ColorAt(528, 345), 0x000000u);
        EXPECT_EQ(painter.ColorAt(53, 345), 0x800000u);
        EXPECT_EQ(painter.ColorAt(52 + 1 + 236, 345), 0x800000u);
        EXPECT_EQ(painter.ColorAt(52 + 1 + 240, 345), 0xFFC0C0u);
        EXPECT_EQ(painter.ColorAt(527, 345), 0xFFC0C0u);

        // A changed number repaints; an overlong caption stays clipped to its label.
        c.Labels[0].Caption = std::string(200, 'W');
        c.Bar = test::LevelBar(2.0f);  // beyond full: full
        ASSERT_TRUE(painter.Paint(c));
        EXPECT_GT(painter.Version(), v);
        EXPECT_EQ(painter.ColorAt(190, 20), 0xC8C8C8u);
        EXPECT_EQ(painter.ColorAt(527, 345), 0x800000u);
        c.Bar = test::LevelBar(-1.0f);
        painter.Paint(c);
        EXPECT_EQ(painter.ColorAt(53, 345), 0xFFC0C0u);

        // Only changed parts are painted again, and nothing of their old look remains:
        // a shorter caption, then a label moved away from where it was.
        const auto darkIn = [&](int x0, int y0, int x1, int y1) {
            int n = 0;
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x) n += (painter.ColorAt(x, y) & 0xF0F0F0) == 0;
            return n;
        };
        c.Labels[0].Caption = "L";
        ASSERT_TRUE(painter.Paint(c));
        EXPECT_GT(darkIn(40, 12, 60, 39), 20);
        EXPECT_EQ(darkIn(60, 12, 185, 39), 0);
        c.Labels[0].Top = 100;
        ASSERT_TRUE(painter.Paint(c));
        EXPECT_EQ(darkIn(40, 12, 185, 39), 0);
        EXPECT_GT(darkIn(40, 100, 60, 127), 20);
        EXPECT_EQ(painter.ColorAt(450, 370), 0x8080FFu);  // untouched labels stay
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

}  // namespace
}  // namespace zol::sdl
