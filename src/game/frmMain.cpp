// Placeholder: the rules of the game are not built yet.
#include "game/frmMain.h"

#include "framework/core/qKeys.h"

namespace zol {

GameRecord Game;

frmMain::frmMain(WindowHost& host) : barLevel(ui::Bar::LevelBarDesign()), host_(host) {}

void frmMain::Form_KeyDown(int KeyCode, int) {
    if (IsKeyCode(KeyCode)) Keys[KeyCode] = true;
}
void frmMain::Form_KeyUp(int KeyCode, int) {
    if (IsKeyCode(KeyCode)) Keys[KeyCode] = false;
}
void frmMain::Front_MouseDown(int, int, float, float) {}
void frmMain::Form_Activate() { ClearInput(); }
void frmMain::Form_Deactivate() { ClearInput(); }
void frmMain::Form_GotFocus() { ClearInput(); }
void frmMain::Form_LostFocus() { ClearInput(); }
void frmMain::tmrMain_Timer() {}
bool frmMain::CheckMapCollision(int32_t, int32_t) { return true; }
bool frmMain::CheckCollision(int32_t, int32_t) { return true; }
bool frmMain::CheckBoundaries() { return false; }
bool frmMain::CheckForFalling() { return false; }
void frmMain::UpdateFalling() {}
void frmMain::CheckFallingEvents() {}
bool frmMain::AnimateBlocks() { return false; }
const std::vector<cBlock*>& frmMain::FindPairs() { return pairs_; }
void frmMain::UpdatePairs() {}
void frmMain::AddScore(float, float, int32_t) {}
void frmMain::CreateEditBlock(int32_t, int32_t, int32_t, int32_t) {}
void frmMain::CreateEditBlocks() {}
void frmMain::UpdateEdit() {}
void frmMain::UpdateSpecials() {}
void frmMain::UseBomb() {}
void frmMain::ResetGame(bool) {}
void frmMain::GameOver() {}
void frmMain::UpdateGameOver() {}
void frmMain::WriteLabels() {}

}  // namespace zol
