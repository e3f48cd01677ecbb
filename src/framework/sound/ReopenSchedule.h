// ReopenSchedule: when to try again to open an audio device that went away or never came.
//
// What it does: spaces the attempts out on the framework's millisecond clock: the first
// at once, the next after 1 s, then twice as long each time up to 8 s, so a sound server
// that is gone costs a failed open now and then rather than one per sound. A clock that
// steps either way makes one attempt due at once: never a burst of attempts, never a wait
// for the clock to catch up.
// Who owns what: plain value, one per audio module.
// Failure: none.
#pragma once

#include <cstdint>

namespace zol {

class ReopenSchedule {
public:
    static constexpr int32_t kFirstMs = 1000;
    static constexpr int32_t kLongestMs = 8000;

    // Forgets earlier attempts: the next one is due at once.
    void Reset() { tried_ = false; interval_ = kFirstMs; }
    // True when an attempt is due at Now.
    bool Due(int32_t Now) const;
    // Records an attempt begun at Now; the one after waits longer.
    void Tried(int32_t Now);

private:
    bool tried_ = false;
    int32_t last_ = 0;
    int32_t interval_ = kFirstMs;
};

}  // namespace zol
