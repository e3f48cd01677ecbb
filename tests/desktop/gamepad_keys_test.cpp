// Game controllers as keyboard keys: buttons, stick hysteresis, several pads, hot-plug.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/GamepadKeys.h"

namespace zol::platform {
namespace {

// "down 38", "up 38", "press": one word per action, in order.
std::vector<std::string> Words(const PadActions& a) {
    std::vector<std::string> out;
    for (const PadAction& x : a) {
        switch (x.What) {
            case PadAction::Kind::KeyDown: out.push_back("down " + std::to_string(x.KeyCode)); break;
            case PadAction::Kind::KeyUp: out.push_back("up " + std::to_string(x.KeyCode)); break;
            case PadAction::Kind::Press: out.push_back("press"); break;
        }
    }
    return out;
}
using W = std::vector<std::string>;

TEST(GamepadKeys, ButtonsAreTheKeysOfTheGame) {
    GamepadKeys k;
    ASSERT_TRUE(k.Attach(7));
    // A is Space and a press on the drawing area (which only acts on the game-over screen).
    EXPECT_EQ(Words(k.Button(7, PadButton::A, true, 0)), (W{"down 32", "press"}));
    EXPECT_EQ(Words(k.Button(7, PadButton::A, true, 0)), W{});  // no new edge: nothing
    EXPECT_EQ(Words(k.Button(7, PadButton::A, false, 0)), (W{"up 32"}));
    EXPECT_EQ(Words(k.Button(7, PadButton::B, true, 0)), (W{"down 13"}));
    EXPECT_EQ(Words(k.Button(7, PadButton::Start, true, 0)), (W{"down 80"}));
    EXPECT_EQ(Words(k.Button(7, PadButton::DpadUp, true, 0)), (W{"down 38"}));
    EXPECT_EQ(Words(k.Button(7, PadButton::DpadDown, true, 0)), (W{"down 40"}));
    EXPECT_EQ(Words(k.Button(7, PadButton::DpadLeft, true, 0)), (W{"down 37"}));
    EXPECT_EQ(Words(k.Button(7, PadButton::DpadLeft, false, 0)), (W{"up 37"}));
    // Unmapped buttons and events of unknown pads do nothing.
    for (PadButton b : {PadButton::X, PadButton::Y, PadButton::Back, PadButton::Guide,
                        PadButton::DpadRight, PadButton::LeftShoulder, PadButton::Count})
        EXPECT_TRUE(k.Button(7, b, true, 0).Empty());
    EXPECT_TRUE(k.Button(99, PadButton::A, true, 0).Empty());
    EXPECT_TRUE(k.Axis(99, PadAxis::LeftX, -32768, 0).Empty());
}

TEST(GamepadKeys, StickHasADeadZoneAndHysteresis) {
    GamepadKeys k;
    k.Attach(1);
    const int engage = GamepadKeys::kStickEngage, release = GamepadKeys::kStickRelease;
    // A resting, drifting or trembling stick sends nothing.
    for (int v : {0, 3000, -3000, engage - 1, -(engage - 1), release, -release})
        EXPECT_TRUE(k.Axis(1, PadAxis::LeftX, v, 0).Empty()) << v;
    EXPECT_EQ(Words(k.Axis(1, PadAxis::LeftX, -engage, 0)), (W{"down 37"}));
    // Wobbling between the thresholds holds the key: no chatter.
    for (int v : {-engage + 2000, -32768, -release - 1, -engage})
        EXPECT_TRUE(k.Axis(1, PadAxis::LeftX, v, 0).Empty()) << v;
    EXPECT_EQ(Words(k.Axis(1, PadAxis::LeftX, -release, 0)), (W{"up 37"}));
    // Right on the stick is not a game direction (right cycles the kinds on the keyboard).
    EXPECT_TRUE(k.Axis(1, PadAxis::LeftX, 32767, 0).Empty());
    // Y grows downwards; a flick from full up to full down goes straight across.
    EXPECT_EQ(Words(k.Axis(1, PadAxis::LeftY, -32768, 0)), (W{"down 38"}));
    EXPECT_EQ(Words(k.Axis(1, PadAxis::LeftY, 32767, 0)), (W{"up 38", "down 40"}));
    EXPECT_EQ(Words(k.Axis(1, PadAxis::LeftY, 0, 0)), (W{"up 40"}));
    // The stick and the D-pad hold the same key: it goes up when both let go.
    k.Axis(1, PadAxis::LeftY, -32768, 0);
    EXPECT_TRUE(k.Button(1, PadButton::DpadUp, true, 0).Empty());
    EXPECT_TRUE(k.Axis(1, PadAxis::LeftY, 0, 0).Empty());
    EXPECT_EQ(Words(k.Button(1, PadButton::DpadUp, false, 0)), (W{"up 38"}));
    // The other sticks and the triggers are not used.
    EXPECT_TRUE(k.Axis(1, PadAxis::RightX, -32768, 0).Empty());
    EXPECT_TRUE(k.Axis(1, PadAxis::TriggerLeft, 32767, 0).Empty());
}

TEST(GamepadKeys, SeveralPadsAndHotPlug) {
    GamepadKeys k;
    ASSERT_TRUE(k.Attach(1));
    ASSERT_TRUE(k.Attach(2));
    EXPECT_TRUE(k.Attach(2));  // announced twice: one pad
    EXPECT_EQ(k.PadCount(), 2);
    EXPECT_EQ(Words(k.Button(1, PadButton::DpadLeft, true, 0)), (W{"down 37"}));
    EXPECT_TRUE(k.Button(2, PadButton::DpadLeft, true, 0).Empty());
    EXPECT_TRUE(k.Button(1, PadButton::DpadLeft, false, 0).Empty());  // pad 2 still holds it
    // Every new press of A clicks, even while the other pad holds A.
    EXPECT_EQ(Words(k.Button(1, PadButton::A, true, 0)), (W{"down 32", "press"}));
    EXPECT_EQ(Words(k.Button(2, PadButton::A, true, 0)), (W{"press"}));
    // Pulling out a pad releases what only it held.
    EXPECT_EQ(Words(k.Detach(2)), (W{"up 37"}));
    EXPECT_EQ(k.PadCount(), 1);
    EXPECT_TRUE(k.Detach(2).Empty());
    EXPECT_EQ(Words(k.Detach(1)), (W{"up 32"}));
    // Events from a removed pad are ignored; plugged in again it starts clean.
    EXPECT_TRUE(k.Button(1, PadButton::A, false, 0).Empty());
    ASSERT_TRUE(k.Attach(1));
    EXPECT_EQ(Words(k.Button(1, PadButton::B, true, 0)), (W{"down 13"}));
    // Beyond the pads it keeps, a pad is refused and the others go on.
    GamepadKeys full;
    for (int i = 0; i < GamepadKeys::kMaxPads; ++i) ASSERT_TRUE(full.Attach(100 + i));
    EXPECT_FALSE(full.Attach(999));
    EXPECT_TRUE(full.Button(999, PadButton::A, true, 0).Empty());
    full.Detach(100);
    EXPECT_TRUE(full.Attach(999));
}

TEST(GamepadKeys, HeldDirectionsRepeatLikeKeyboardKeys) {
    GamepadKeys k;
    k.Attach(1);
    const int64_t t0 = 1000, delay = GamepadKeys::kRepeatDelayMs,
                  every = GamepadKeys::kRepeatIntervalMs;
    EXPECT_EQ(Words(k.Button(1, PadButton::DpadDown, true, t0)), (W{"down 40"}));
    k.Button(1, PadButton::A, true, t0);
    k.Button(1, PadButton::Start, true, t0);
    EXPECT_TRUE(k.Repeat(t0 + delay - 1).Empty());
    // Only the direction repeats (A and Start act once per press); a late call sends one
    // repeat, not the ones it missed.
    EXPECT_EQ(Words(k.Repeat(t0 + delay + 5 * every)), (W{"down 40"}));
    EXPECT_TRUE(k.Repeat(t0 + delay + 5 * every + every - 1).Empty());
    EXPECT_EQ(Words(k.Repeat(t0 + delay + 6 * every)), (W{"down 40"}));
    k.Button(1, PadButton::DpadDown, false, t0 + 2000);
    EXPECT_TRUE(k.Repeat(t0 + 5000).Empty());
}

TEST(GamepadKeys, AfterTheWindowReleasedItsKeysHeldButtonsComeBackWithTheNextChange) {
    GamepadKeys k;
    k.Attach(1);
    k.Button(1, PadButton::DpadLeft, true, 0);
    k.Button(1, PadButton::A, true, 0);
    k.Forget();  // a dialog took the focus and every key was released
    // Letting go of A sends no stray release; Left, still held, goes down again.
    EXPECT_EQ(Words(k.Button(1, PadButton::A, false, 0)), (W{"down 37"}));
    EXPECT_EQ(Words(k.Button(1, PadButton::DpadLeft, false, 0)), (W{"up 37"}));
    // Nothing repeats for keys that were forgotten.
    k.Button(1, PadButton::DpadUp, true, 0);
    k.Forget();
    EXPECT_TRUE(k.Repeat(100000).Empty());
}

}  // namespace
}  // namespace zol::platform
