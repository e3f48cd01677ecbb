// A pad plays the real game: its actions go to the game window's key and mouse
// procedures just as the host delivers them, during play and on the game-over screen.
#include <gtest/gtest.h>

#include "framework/core/qKeys.h"
#include "support/GameHarness.h"
#include "platform/GamepadKeys.h"

namespace zol::test {
namespace {

using platform::PadButton;

// Delivers a pad's actions to the game as the window host does.
void Deliver(GameHarness& h, const platform::PadActions& actions) {
    for (const platform::PadAction& a : actions) switch (a.What) {
            case platform::PadAction::Kind::KeyDown: h.game.Form_KeyDown(a.KeyCode, 0); break;
            case platform::PadAction::Kind::KeyUp: h.game.Form_KeyUp(a.KeyCode, 0); break;
            case platform::PadAction::Kind::Press: h.game.Front_MouseDown(1, 0, 240, 144); break;
        }
}

TEST(PadGame, ACyclesBThrowsABombStartPausesAndAAtGameOverMakesTheCode) {
    GameHarness h(5);
    frmMain& f = h.game;
    platform::GamepadKeys pad;
    pad.Attach(0);
    const auto push = [&](PadButton b) {
        Deliver(h, pad.Button(0, b, true, h.Ticks() * 30));
        h.Tick();
        Deliver(h, pad.Button(0, b, false, h.Ticks() * 30));
    };
    ASSERT_TRUE(h.TickUntil([&] { return f.EditCount > 0; }, 40));
    h.SetPiece(f.EditX, 2, {{0, 0, 0, 1}, {1, 0, 0, 2}});  // kinds 1, 2 side by side

    // A during play cycles the kinds; its press on the drawing area does nothing.
    push(PadButton::A);
    EXPECT_EQ(f.EditBlocks[1].X, 1.0f);
    EXPECT_EQ(f.EditBlocks[2].X, 0.0f);
    EXPECT_TRUE(h.host.Inputs.empty());

    // The stick pushes down once per push (single step), and again with each repeat.
    const int y = f.EditY;
    Deliver(h, pad.Axis(0, platform::PadAxis::LeftY, 32767, h.Ticks() * 30));
    h.Tick();
    EXPECT_EQ(f.EditY, y + 1);
    h.Tick(3);
    EXPECT_EQ(f.EditY, y + 1);
    Deliver(h, pad.Repeat(h.Ticks() * 30 + platform::GamepadKeys::kRepeatDelayMs));
    h.Tick();
    EXPECT_EQ(f.EditY, y + 2);
    Deliver(h, pad.Axis(0, platform::PadAxis::LeftY, 0, h.Ticks() * 30));

    // Start pauses once however long it is held, and again resumes.
    Deliver(h, pad.Button(0, PadButton::Start, true, 0));
    h.Tick(5);
    EXPECT_TRUE(f.Paused);
    Deliver(h, pad.Button(0, PadButton::Start, false, 0));
    push(PadButton::Start);
    EXPECT_FALSE(f.Paused);

    // B throws a bomb in stock: the piece is gone.
    f.Bombs = 1;
    push(PadButton::B);
    EXPECT_EQ(f.Bombs, 0);
    EXPECT_EQ(f.EditCount, 0);

    // On the game-over screen A asks for the name and makes the code.
    f.GameOver();
    h.Tick();
    h.host.InputAnswers.push_back(std::string("Pad"));
    push(PadButton::A);
    ASSERT_EQ(h.host.Inputs.size(), 1u);
    EXPECT_EQ(h.host.Inputs[0].Title, "Game Over");
    EXPECT_EQ(f.PlayerName, "Pad");
    EXPECT_FALSE(f.Code.empty());
    EXPECT_TRUE(f.CodeCopied);
}

}  // namespace
}  // namespace zol::test
