// The game window's set-up, its input events, the tick and the labels.
#include "game/frmMain.h"

#include <charconv>

#include "framework/core/qKeys.h"
#include "framework/core/qText.h"
#include "framework/graphics/qDDraw.h"
#include "framework/sound/qDSound.h"
#include "game/mParticles.h"

namespace zol {

GameRecord Game;

namespace {

ui::Label DesignLabel(int32_t left, int32_t top, int32_t width, int32_t height, float points,
                      bool bold, const char* caption) {
    ui::Label l;
    l.Left = left;
    l.Top = top;
    l.Width = width;
    l.Height = height;
    l.FontPoints = points;
    l.Bold = bold;
    l.Caption = caption;
    return l;
}

// Writes a number in plain decimal into a caption, reusing the caption's storage.
void AppendNumber(std::string& out, int64_t value) {
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, r.ptr);
}

void SetCounter(ui::Label& label, int32_t current, int32_t max) {
    label.Caption.clear();
    AppendNumber(label.Caption, current);
    label.Caption += " / ";
    AppendNumber(label.Caption, max);
}

}  // namespace

frmMain::frmMain(WindowHost& Host) : barLevel(ui::Bar::LevelBarDesign()), host_(Host) {
    lblLevel = DesignLabel(40, 12, 145, 27, 18, true, "Level 0");
    lblScore = DesignLabel(288, 12, 253, 27, 18, true, "0");
    lblCurrentChain = DesignLabel(172, 356, 85, 21, 14, true, "0");
    lblCurrentExplodes = DesignLabel(268, 356, 81, 21, 14, true, "0");
    lblFrames = DesignLabel(408, 364, 93, 15, 8, false, "0");
    lblFrames.HasBackColor = true;
    lblFrames.BackColor = 0x8080FF;
    lblFPS = DesignLabel(520, 364, 45, 15, 8, false, "0 FPS");
    lblTiva = DesignLabel(12, 364, 121, 15, 8, false, kCreditCaption);
    // Room for the largest piece and every pair a full board can hold, so that neither
    // list grows during play.
    EditBlocks.reserve(8);
    EditBlocks.resize(1);
    pairs_.reserve(2 * (kMapRows * (kMapColumns - 1) + kMapColumns * (kMapRows - 1)));
}

void frmMain::Form_KeyDown(int KeyCode, int) {
    if (IsKeyCode(KeyCode)) Keys[KeyCode] = true;
}
void frmMain::Form_KeyUp(int KeyCode, int) {
    if (IsKeyCode(KeyCode)) Keys[KeyCode] = false;
}
void frmMain::Front_MouseDown(int, int, float, float) {
    if (Game.GamePhase == PhaseGameOver) BuildScoreCode();
}
void frmMain::Form_Activate() { ClearInput(); }
void frmMain::Form_Deactivate() { ClearInput(); }
void frmMain::Form_GotFocus() { ClearInput(); }
void frmMain::Form_LostFocus() { ClearInput(); }

void frmMain::tmrMain_Timer() {
    GameRecord& g = Game;
    if (!host_.IsForeground() && g.GameFrames > 0) Paused = true;

    if (ScoresShown && Keys[vk::Escape]) {
        Keys[vk::Escape] = false;  // closes the table, not the game
        ShowScores(false);
    }
    if (Keys[vk::Escape]) {
        host_.CloseWindow();
        return;  // the window is gone: nothing else of this tick runs
    }
    if (Keys[vk::F12]) {
        Keys[vk::F12] = false;
        ResetGame(false);
        if (host_.IsClosing()) return;  // the question went with the window
    }
    if (g.GamePhase != PhaseGameOver && (Keys[vk::P] || Keys[vk::Q])) {
        Keys[vk::P] = Keys[vk::Q] = false;
        PauseFade = 0.1f;
        Paused = !Paused;
        PlayWaveFile("pause.wav", false, 0, 0, false, 0);
    }
    if (Keys[vk::V]) {
        Keys[vk::V] = false;
        if (!Paused) {
            PauseFade = 1;
            Paused = true;
            PlayWaveFile("pause.wav", false, 0, 0, false, 0);
        }
        const auto text = host_.InputBox("Enter Code to verify:", "Verify Code", "");
        if (host_.IsClosing()) return;  // the box went with the window: nothing to verify
        VerifyCode(text.value_or(std::string()));
    }
    KeptKeys();

    BeginScene(ColorRGB(0, 0.5f, 1), 0);
    if (!Paused) {
        if (g.GamePhase != PhaseGameOver) {
            if (g.GameFrames < kLastGameFrame) {
                ++g.GameFrames;
            } else {
                GameOver();
            }
        }
        const bool busy = AnimateBlocks();
        if (!busy) {
            switch (g.GamePhase) {
            case PhaseEdit: UpdateEdit(); break;
            case PhasePairs: UpdatePairs(); break;
            case PhaseFalling: UpdateFalling(); break;
            case PhaseGameOver: UpdateGameOver(); break;
            default: break;
            }
            if (g.GamePhase != PhaseGameOver) UpdateSpecials();
        }
        UpdateParticles();
        UpdateTexts();
    }
    RenderFrame();  // its game-over overlay also clears Paused, so that screen never stays paused
    EndScene();
    WriteLabels();
}

void frmMain::WriteLabels() {
    const GameRecord& g = Game;
    SetCounter(lblCurrentChain, g.CurrentChain, g.MaxChains);
    SetCounter(lblCurrentExplodes, g.CurrentExplodes, g.MaxExplodes);
    lblScore.Caption = FormatGrouped(g.Score);  // short enough for the inline storage
    lblLevel.Caption = "Level ";
    AppendNumber(lblLevel.Caption, g.Level);
    const int32_t span = g.NextLevelScore - g.LevelBaseScore;
    if (span != 0) {
        barLevel.SetValue(static_cast<float>(
            (static_cast<double>(g.Score) - g.LevelBaseScore) * (100.0 / span)));
    }
    lblFrames.Caption.clear();
    AppendNumber(lblFrames.Caption, g.GameFrames);
    lblFPS.Caption.clear();
    AppendNumber(lblFPS.Caption, Fps);
    lblFPS.Caption += " FPS";
}

}  // namespace zol
