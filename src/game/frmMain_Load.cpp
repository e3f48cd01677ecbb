// Placeholder: start-up and shutdown are not built yet.
#include "game/frmMain.h"

namespace zol {

void frmMain::Form_Load() {}
void frmMain::Form_Unload() {}
void frmMain::DescribeWindow(WindowContent&) {}

}  // namespace zol
