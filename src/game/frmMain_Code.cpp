// Placeholder until the score code exists: the name is asked for and kept.
#include "game/frmMain.h"

namespace zol {

void frmMain::BuildScoreCode() {
    const auto answer =
        Host().InputBox("Please enter your Name for the Highscore:", "Game Over", PlayerName);
    PlayerName = answer.value_or("");
    if (PlayerName.empty()) PlayerName = "(noname)";
}

bool frmMain::VerifyCode(const std::string&) { return false; }

}  // namespace zol
