// A new game, the end of a game and the game-over screen.
#include "framework/core/qCore.h"
#include "framework/core/qKeys.h"
#include "framework/core/qRandom.h"
#include "framework/graphics/qDDraw.h"
#include "framework/sound/qDMusic.h"
#include "framework/sound/qDSound.h"
#include "game/frmMain.h"

namespace zol {

void frmMain::ResetGame(bool Initial) {
    ClearInput();  // also when the reset is refused
    if (!Initial) {
        const MsgAnswer answer = host_.MessageBox("Do you really want to RESET the game?", "Zol",
                                                  MsgButtons::YesNoCancel, MsgIcon::Question);
        if (answer != MsgAnswer::Yes) return;
    }

    ScoresShown = false;
    recordedThisGame_ = false;

    GameRecord& g = Game;
    g.BlockSize = 48;
    g.MapMaxX = kMapColumns - 1;
    g.MapMaxY = kMapRows - 1;
    for (int32_t x = 0; x <= g.MapMaxX; ++x) {
        for (int32_t y = 0; y <= g.MapMaxY; ++y) {
            cBlock& b = g.Map[x][y];
            b = cBlock{};
            b.X = static_cast<float>(x * g.BlockSize);
            b.Y = static_cast<float>(y * g.BlockSize);
        }
    }

    g.GamePhase = PhaseEdit;
    g.GameFrames = 0;
    SingleStep = true;
    g.CurrentChain = 0;
    g.CurrentExplodes = 0;
    g.Score = 0;
    g.Level = 1;
    DelayFactor = 1.0f;
    g.StepPairs = 0;
    g.MaxChains = 0;
    g.MaxExplodes = 0;
    g.NextLevelScore = 100;
    g.LevelBaseScore = 0;
    g.NextEditFrame = 20;
    Paused = false;
    PauseFade = 0;
    EditCount = 0;
    Bombs = 0;
    ScoreFade = 0;
    Code.clear();
    CodeCopied = false;

    if (!Initial) {
        AddText(g.FontMinco, ScreenWidth / 3.0f, ScreenHeight / 2.0f,
                "Try again, " + PlayerName + "!", 10, 0, 20, 1000, 5000, 50);
    }
    PlayMidiFile("back.mid", true, 0.8f, 0, 0, 110600, 0);
}

void frmMain::GameOver() {
    GameRecord& g = Game;
    g.GamePhase = PhaseGameOver;
    for (int32_t y = 0; y <= g.MapMaxY; ++y) {
        for (int32_t x = 0; x <= g.MapMaxX; ++x) {
            if (g.Map[x][y].Kind > 0) g.Map[x][y].GameOver();
        }
    }
    MidiStop();
    Paused = false;
    if (Rnd() < 0.5) {
        PlayWaveFile("gameover.wav", false, 0, 0.5f, false, 0);
    } else {
        PlayWaveFile("gameover2.wav", false, 0, 0, false, 0);
    }
}

void frmMain::UpdateGameOver() {
    GameRecord& g = Game;
    if (Rnd() < 0.1) {
        const bool credit = Rnd() < 0.3;
        const double r1 = Rnd(), r2 = Rnd(), r3 = Rnd();
        // Both texts fit the string's inline storage: no heap use on this screen.
        const std::string text = credit ? kCreditCaption : "GAME OVER";
        AddText(g.FontMinco, static_cast<float>(r1 * ScreenWidth),
                static_cast<float>(r2 * ScreenHeight), text, 30, 0, 24, 0, 1000,
                CLng(50 * r3 + 20));
    }
    for (int32_t x = 0; x <= g.MapMaxX; ++x) {
        for (int32_t y = 0; y <= g.MapMaxY; ++y) {
            const double r = Rnd();  // one draw per cell, whatever it holds
            if (g.Map[x][y].Kind > 0 && r < 0.01) g.Map[x][y].GameOver();
        }
    }
}

}  // namespace zol
