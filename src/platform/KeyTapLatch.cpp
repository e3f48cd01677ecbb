#include "platform/KeyTapLatch.h"

namespace zol::platform {

void KeyTapLatch::Down(int KeyCode) {
    if (KeyCode < 0 || KeyCode >= 256) return;
    downSinceTick_[KeyCode] = true;
    heldShift_[KeyCode] = -1;  // pressed again: the earlier release no longer applies
}

bool KeyTapLatch::Up(int KeyCode, int Shift) {
    if (KeyCode < 0 || KeyCode >= 256 || !downSinceTick_[KeyCode]) return true;
    heldShift_[KeyCode] = static_cast<int16_t>(Shift & 0x7FFF);
    return false;
}

}  // namespace zol::platform
