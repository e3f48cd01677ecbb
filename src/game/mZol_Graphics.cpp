// Placeholder: the game's graphics are not loaded yet.
#include "game/mZol.h"

namespace zol {

void LoadGraphics() {}

}  // namespace zol
