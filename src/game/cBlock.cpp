// Placeholder: the block entity is not built yet.
#include "game/cBlock.h"

namespace zol {

bool cBlock::Animate() { return false; }
void cBlock::Disappear() {}
void cBlock::DoneChanging() {}
void cBlock::DoneFalling() {}
void cBlock::DoneEditing(int32_t, int32_t) {}
void cBlock::DoneSpecial() {}
void cBlock::Flash() {}
void cBlock::LevelUp() {}
void cBlock::GameOver() {}
void cBlock::Render() {}
void cBlock::RenderAdd() {}

}  // namespace zol
