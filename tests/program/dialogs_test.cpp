// The real program's boxes, drawn in its window: answered there by keys, clicks and a
// pad, and cancelled by a close request.
#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <string>
#include <vector>

#include "game/mZol.h"
#include "program/ProgramRun.h"
#include "support/SdlEvents.h"
#include "ui/InputBox.h"

namespace zol::test {
namespace {

void PushKey(SDL_Keycode key) {
    SDL_Event e = KeyEvent(true, key);
    SDL_PushEvent(&e);
}

void PushPad(SDL_GameControllerButton button) {
    SDL_Event e{};
    e.type = SDL_CONTROLLERBUTTONDOWN;
    e.cbutton.button = static_cast<Uint8>(button);
    e.cbutton.state = SDL_PRESSED;
    SDL_PushEvent(&e);
}

TEST(ProgramDialogs, AreAnsweredInTheWindowByKeysClicksAndAPad) {
    ProgramRun run;
    run.Options.Use.Music = SilentFluidSynth();
    const std::string code = MakeScoreCode({"Ann", 1520, 4, 3, 1, 9000}).Code;
    SDL_Window* window = nullptr;
    run.Options.OnStart = [&](app::Program& p) { window = p.Host().Window(); };
    std::vector<std::string> boxes;
    run.Options.OnBox = [&](const std::string& title) {
        boxes.push_back(title);
        switch (boxes.size()) {
            case 1:  // the reset question: Right, then Enter presses No
                PushKey(SDLK_RIGHT);
                PushKey(SDLK_RETURN);
                break;
            case 2: {  // the verify box: the code typed, then a click on OK
                for (size_t at = 0; at < code.size(); at += 20) {
                    SDL_Event text = TextEvent(code.substr(at, 20).c_str());
                    SDL_PushEvent(&text);
                }
                const ui::Rect ok = ui::InputBox::Layout(580, 388).Ok;
                SDL_Event click = ClickEvent(window, ok.X + ok.W / 2, ok.Y + ok.H / 2);
                SDL_PushEvent(&click);
                break;
            }
            case 3: PushPad(SDL_CONTROLLER_BUTTON_B); break;  // the report: closed (OK)
            case 4: PushPad(SDL_CONTROLLER_BUTTON_A); break;  // the reset question: Yes
            default: PushKey(SDLK_ESCAPE); break;
        }
    };
    run.Tap(3, SDLK_F12);
    run.Tap(6, SDLK_v);
    run.Tap(10, SDLK_F12);
    run.QuitAfter(16);
    ASSERT_EQ(run.Run(), 0);

    EXPECT_EQ(boxes, (std::vector<std::string>{"Zol", "Verify Code", "Zol", "Zol"}));
    ASSERT_EQ(run.Messages.size(), 3u);
    EXPECT_EQ(run.Messages[0].Text, "Do you really want to RESET the game?");
    EXPECT_EQ(run.Messages[0].Buttons, MsgButtons::YesNoCancel);
    // The typed code verified: its report, not "Invalid code!".
    EXPECT_EQ(run.Messages[1].Text.rfind("Code from:         Ann\r\n", 0), 0u) << run.Messages[1].Text;
    EXPECT_EQ(run.Messages[1].Icon, MsgIcon::Information);
    EXPECT_EQ(run.Messages[2].Text, run.Messages[0].Text);
    // No kept the game going; Yes started a new one.
    ASSERT_GE(run.Ticks.size(), 12u);
    EXPECT_GT(run.Ticks[5].GameFrames, run.Ticks[2].GameFrames);
    EXPECT_LE(run.Ticks[10].GameFrames, 1);
    EXPECT_GT(run.Ticks[9].GameFrames, 5);
}

// SIGTERM (as the desktop sends it when the session ends) or the close button while a
// box is open: the box goes, nothing it would have led to happens (no reset, no "Invalid code!", no code on
// the clipboard), and the program ends at once.
TEST(ProgramDialogs, ACloseRequestWhileAnyBoxIsOpenEndsTheProgramAndLeavesTheClipboard) {
    enum class Box { StartupQuestion, ResetQuestion, Verify, Name };
    for (const Box box : {Box::StartupQuestion, Box::ResetQuestion, Box::Verify, Box::Name}) {
        SCOPED_TRACE(static_cast<int>(box));
        ProgramRun run;
        run.Options.Use.Music = SilentFluidSynth();
        SDL_Window* window = nullptr;
        run.Options.OnStart = [&, box](app::Program& p) {
            window = p.Host().Window();
            SDL_SetClipboardText(box == Box::StartupQuestion ? "1,520 [1D-ABC]" : "the user's");
        };
        std::vector<std::string> written;
        run.Options.OnClipboard = [&](const std::string& text) { written.push_back(text); };
        std::vector<std::string> boxes;
        size_t ticksAtBox = 0;
        run.Options.OnBox = [&](const std::string& title) {
            boxes.push_back(title);
            ticksAtBox = run.Ticks.size();
            if (box == Box::ResetQuestion) {  // the window's close button this time
                SDL_Event close = WindowEventOf(window, SDL_WINDOWEVENT_CLOSE);
                SDL_PushEvent(&close);
            } else {
                raise(SIGTERM);  // SDL turns it into a quit request
            }
        };
        switch (box) {
            case Box::StartupQuestion: break;
            case Box::ResetQuestion: run.Tap(3, SDLK_F12); break;
            case Box::Verify: run.Tap(3, SDLK_v); break;
            case Box::Name: {
                // The game ends after tick 3; a click on the drawing area asks for the name.
                const auto record = run.Options.OnTick;
                run.Options.OnTick = [record](const frmMain& f, int32_t tick) {
                    record(f, tick);
                    if (tick == 3) Game.GamePhase = PhaseGameOver;
                };
                SDL_Event click{};
                click.type = SDL_MOUSEBUTTONDOWN;
                click.button.button = SDL_BUTTON_LEFT;
                click.button.state = SDL_PRESSED;
                click.button.x = click.button.y = 100;
                run.Options.Script.push_back({4, click});
                break;
            }
        }
        run.QuitAfter(40);  // never reached
        EXPECT_EQ(run.Run(), 0);
        EXPECT_EQ(boxes.size(), 1u);
        // The tick that opened the box (if one did) was the last.
        EXPECT_LE(run.Ticks.size(), ticksAtBox + 1);
        EXPECT_EQ(run.Messages.size(), box == Box::Verify || box == Box::Name ? 0u : 1u);
        EXPECT_TRUE(written.empty()) << written.front();
    }
}

}  // namespace
}  // namespace zol::test
