// KeyTapLatch: keeps a quick key tap visible to the next tick.
//
// What it does: the game reads keys from a table once per 30 ms tick, so a key pressed
// and released between two ticks would never be seen. The latch holds back the release
// of a key that went down since the last tick until that tick has run; a key that goes
// down again before then keeps its new press.
// Who owns what: plain value; the window host owns one.
// Failure: codes outside 0..255 pass through untouched.
#pragma once

#include <array>
#include <cstdint>

namespace zol::platform {

class KeyTapLatch {
public:
    // A key went down.
    void Down(int KeyCode);
    // A key went up: true when its release may be passed on now, false when it is held
    // back until the next tick has run.
    bool Up(int KeyCode, int Shift);
    // The tick has run: calls Release(KeyCode, Shift) for every held-back release.
    template <class Fn>
    void TickRan(Fn&& Release) {
        for (int code = 0; code < 256; ++code) {
            const int shift = heldShift_[code];
            downSinceTick_[code] = false;
            if (shift >= 0) {
                heldShift_[code] = -1;
                Release(code, shift);
            }
        }
    }

private:
    std::array<bool, 256> downSinceTick_{};
    std::array<int16_t, 256> heldShift_ = Unheld();  // -1: no release held back
    static std::array<int16_t, 256> Unheld() {
        std::array<int16_t, 256> a{};
        a.fill(-1);
        return a;
    }
};

}  // namespace zol::platform
