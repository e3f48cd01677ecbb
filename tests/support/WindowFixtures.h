// The game window's own layout and level bar, for tests that build window content by hand.
#pragma once

#include "game/frmMain.h"
#include "ui/Bar.h"
#include "ui/WindowContent.h"

namespace zol::test {

// The level bar as the game window draws it, filled to Fill of its maximum (0..1; values
// outside are limited as the control limits them).
inline WindowBar LevelBar(float Fill) {
    ui::Bar bar = ui::Bar::LevelBarDesign();
    bar.SetValue(Fill * static_cast<float>(bar.Max()));
    return bar.Draw(52, 342, 477, 7);
}

}  // namespace zol::test
