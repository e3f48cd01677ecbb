// Placeholder: the game's frame is not drawn yet.
#include "game/frmMain.h"

namespace zol {

void frmMain::RenderFrame() {}
void frmMain::RenderBack() {}
void frmMain::RenderMap() {}
void frmMain::RenderMapAdd() {}
void frmMain::RenderEdit() {}
void frmMain::RenderFlashes() {}

}  // namespace zol
