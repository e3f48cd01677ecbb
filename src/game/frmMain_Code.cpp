// The score code in the game window: building it at game over, verifying a pasted one.
#include "game/frmMain.h"
#include "game/mZol.h"

namespace zol {

void frmMain::BuildScoreCode() {
    const auto answer =
        Host().InputBox("Please enter your Name for the Highscore:", "Game Over", PlayerName);
    // The box went with the window: no code, and the clipboard stays the user's.
    if (Host().IsClosing()) return;
    // A ";" would split the payload's fields and the code would never verify.
    PlayerName = HighscoreName(answer.value_or(""));
    const ScoreCode made = MakeScoreCode(
        {PlayerName, Game.Score, Game.Level, Game.MaxChains, Game.MaxExplodes, Game.GameFrames});
    Code = made.Code;
    if (Code.empty()) return;
    Host().SetClipboardText(made.ClipboardText);
    CodeCopied = true;
    RecordResult();
}

bool frmMain::VerifyCode(const std::string& CodeInput) {
    const CodeReport report = CheckScoreCode(CodeInput);
    switch (report.Verdict) {
        case CodeVerdict::Rejected:
            Host().MessageBox(kInvalidCodeText, kCodeTitle, MsgButtons::OK, MsgIcon::Error);
            return false;
        case CodeVerdict::OlderVersion:
            Host().MessageBox(kOlderCodeText, kCodeTitle, MsgButtons::OK, MsgIcon::Warning);
            if (Host().IsClosing()) return false;
            break;
        case CodeVerdict::Accepted:
            break;
    }
    Host().MessageBox(report.Report, kCodeTitle, MsgButtons::OK, MsgIcon::Information);
    return true;
}

}  // namespace zol
