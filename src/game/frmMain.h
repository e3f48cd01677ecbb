// frmMain: the game window. Its fields, its event procedures, the tick and the rules.
//
// One tick (tmrMain_Timer, every 30 ms): read the key table and act on the window keys,
// begin a frame, advance the game one step unless paused (animate the blocks; when none
// animates, run the update of the current phase, then the specials; particles and
// floating texts always), draw the frame, end it, then write the labels and the level
// bar. The window host then shows the window.
// Who owns what: the game record (GameRecord.h) is module-level; the window fields and
// the controls are members; the host is borrowed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "game/GameRecord.h"
#include "game/GameStore.h"
#include "game/cBlock.h"
#include "platform/WindowHost.h"
#include "ui/Bar.h"
#include "ui/Label.h"

namespace zol {

class frmMain final : public WindowEvents {
public:
    explicit frmMain(WindowHost& Host);

    // ---- Window fields ----
    bool Paused = false;
    float PauseFade = 0;   // 0..1 through the pause dimming
    float ScoreFade = 0;   // 0..1 through the game-over fade-in
    int32_t Bombs = 0;     // 0..3
    std::string Code;      // the last score code made
    bool CodeCopied = false;
    std::string PlayerName;  // the name last entered (UTF-8); kept across resets
    // The edit piece: EditBlocks[1..EditCount] (slot 0 unused); X, Y are cell offsets.
    int32_t EditCount = 0;
    std::vector<cBlock> EditBlocks;
    int32_t EditX = 0, EditY = 0;
    float DelayFactor = 1.0f;
    bool SingleStep = true;

    // ---- Controls (the host draws them) ----
    std::string Caption = "Zol [1]";
    ui::Label lblLevel, lblScore, lblCurrentChain, lblCurrentExplodes, lblFrames, lblFPS, lblTiva;
    ui::Bar barLevel;

    // ---- Events ----
    void Form_Load();  // start-up: framework, waiting code, devices, graphics, first game
    void Form_KeyDown(int KeyCode, int Shift) override;
    void Form_KeyUp(int KeyCode, int Shift) override;
    void Front_MouseDown(int Button, int Shift, float X, float Y) override;
    void Form_Activate() override;
    void Form_Deactivate() override;
    void Form_GotFocus() override;
    void Form_LostFocus() override;
    void Form_Unload() override;
    void tmrMain_Timer() override;
    void DescribeWindow(WindowContent& Content) override;

    // ---- Falling and collision ----
    bool CheckMapCollision(int32_t X, int32_t Y);
    bool CheckCollision(int32_t PosX, int32_t PosY);
    bool CheckBoundaries();
    bool CheckForFalling();
    void UpdateFalling();
    void CheckFallingEvents();
    bool AnimateBlocks();

    // ---- Pairs, chains and scoring ----
    // All adjacent equal-kind pairs in scan order; entries 2k and 2k+1 form pair k.
    const std::vector<cBlock*>& FindPairs();
    void UpdatePairs();
    void AddScore(float X, float Y, int32_t Points);

    // ---- Placing ----
    void CreateEditBlock(int32_t X, int32_t Y, int32_t Special, int32_t Kind);
    void CreateEditBlocks();
    void UpdateEdit();

    // ---- Specials ----
    void UpdateSpecials();
    void UseBomb();

    // ---- Game over and reset ----
    void ResetGame(bool Initial);
    void GameOver();
    void UpdateGameOver();

    // ---- Drawing (frmMain_Render.cpp) ----
    void RenderFrame();  // every pass of one frame, in order
    void RenderBack();
    void RenderMap();
    void RenderMapAdd();
    void RenderEdit();
    void RenderFlashes();

    // ---- Score code (frmMain_Code.cpp) ----
    // Asks for the name, makes the code and puts it on the clipboard.
    void BuildScoreCode();
    // Shows the verification report of a pasted code; true when it was accepted.
    bool VerifyCode(const std::string& CodeInput);

    // ---- Kept between runs (frmMain_Kept.cpp) ----
    bool ScoresShown = false;  // the best results are shown over the game (H)
    ScoreList ShownScores;     // what the table shows
    // The store that keeps results and settings (borrowed; nullptr: the window's own,
    // which keeps them for this run only).
    void SetStore(GameStore* Store) { store_ = Store ? Store : &ownStore_; }
    // Applies the kept settings (music, sound, the name offered) and tells what the store
    // has to say; start-up runs it before the first game.
    void ApplyKeptSettings();
    // The window keys H (the table of best results), M (music) and N (sound effects).
    void KeptKeys();
    // Records the result of the ended game under the code just made.
    void RecordResult();
    // Opens (pausing the game) or closes the table of best results.
    void ShowScores(bool Show);
    // Draws the table of best results over the frame.
    void RenderScores();
    // The player's latest result (the table marks it), if one was recorded this run.
    const std::optional<ScoreEntry>& LatestResult() const { return latest_; }

    WindowHost& Host() { return host_; }

private:
    void WriteLabels();
    // Floats the store's notices over the top of the board.
    void ShowNotices();
    MemoryStore ownStore_;
    GameStore* store_ = &ownStore_;
    std::optional<ScoreEntry> latest_;
    bool recordedThisGame_ = false;  // latest_ is this game's (a new name replaces it)
    WindowHost& host_;
    std::vector<cBlock*> pairs_;  // FindPairs' result, reused from tick to tick
};

// Where things are in the game window: a 580 x 388 client area, the drawing area Front
// at (49, 49) with its one-pixel border, and the 480 x 288 logical screen inside it.
inline constexpr WindowLayout kWindowLayout{580, 388, {49, 49, 482, 290}, {50, 50, 480, 288}};

// The short credit caption of lblTiva and of the game-over screen's random texts.
inline constexpr const char* kCreditCaption = "ZOL TEAM 2026";

}  // namespace zol
