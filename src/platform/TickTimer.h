// TickTimer: when the window's periodic timer is next due.
//
// What it does: keeps the due time of a fixed-interval timer on a millisecond clock the
// caller supplies. A tick that runs on time (or only a little late) keeps the cadence;
// a tick that runs late pushes the next one a full interval past the moment it ran, so
// missed ticks are never queued and never run back to back. A clock that steps either
// way (forwards by weeks, or backwards) costs exactly one tick: the step makes one tick
// due at once and the cadence starts again from there, never a burst and never a wait
// for the clock to catch up. The wait until the next tick lets the caller sleep instead
// of spinning.
// Who owns what: plain value; the window host owns one and feeds it its clock.
// Failure: none.
#pragma once

#include <cstdint>

namespace zol::platform {

class TickTimer {
public:
    // A timer of IntervalMs; ticks later than SlackMs count as late.
    explicit TickTimer(int64_t IntervalMs = 30, int64_t SlackMs = 2)
        : interval_(IntervalMs), slack_(SlackMs) {}

    // Enables the timer; the first tick is due one interval after Now.
    void Start(int64_t Now);
    // Disables the timer.
    void Stop() { enabled_ = false; }
    bool Enabled() const { return enabled_; }
    // The clock value at which the next tick is due (meaningless while disabled).
    int64_t DueAt() const { return due_; }

    // True when enabled and the tick is due at Now (or the clock went back since the last one).
    bool IsDue(int64_t Now) const;
    // Records that the due tick runs at Now and schedules the next one.
    void TickRan(int64_t Now);
    // Milliseconds to wait from Now for the next tick: 0 when due, -1 when disabled.
    int64_t WaitMs(int64_t Now) const;

private:
    bool SteppedBack(int64_t Now) const;
    int64_t interval_;
    int64_t slack_;
    int64_t due_ = 0;
    bool enabled_ = false;
};

}  // namespace zol::platform
