#include "platform/TickTimer.h"

namespace zol::platform {

void TickTimer::Start(int64_t Now) {
    enabled_ = true;
    due_ = Now + interval_;
}

bool TickTimer::SteppedBack(int64_t Now) const {
    // A tick never leaves the next one more than an interval ahead, so a reading before
    // that can only come from a clock that was set back.
    return Now < due_ - interval_;
}

bool TickTimer::IsDue(int64_t Now) const { return enabled_ && (Now >= due_ || SteppedBack(Now)); }

void TickTimer::TickRan(int64_t Now) {
    // A wake-up a millisecond or two late is the clock's granularity, not a late tick:
    // keeping the cadence then holds the rate at one tick per interval. A clock that
    // stepped either way starts the cadence again from the tick that ran.
    if (Now - due_ <= slack_ && !SteppedBack(Now))
        due_ += interval_;
    else
        due_ = Now + interval_;
    // Even an on-time tick never leaves the next one already due (a clock jump forwards).
    if (due_ <= Now) due_ = Now + interval_;
}

int64_t TickTimer::WaitMs(int64_t Now) const {
    if (!enabled_) return -1;
    return IsDue(Now) ? 0 : due_ - Now;
}

}  // namespace zol::platform
