#include "platform/TickTimer.h"

namespace zol::platform {

void TickTimer::Start(int64_t Now) {
    enabled_ = true;
    due_ = Now + interval_;
}

void TickTimer::TickRan(int64_t Now) {
    // A wake-up a millisecond or two late is the clock's granularity, not a late tick:
    // keeping the cadence then holds the rate at one tick per interval.
    if (Now - due_ <= slack_)
        due_ += interval_;
    else
        due_ = Now + interval_;
    // Even an on-time tick never leaves the next one already due (a clock jump forwards).
    if (due_ <= Now) due_ = Now + interval_;
}

int64_t TickTimer::WaitMs(int64_t Now) const {
    if (!enabled_) return -1;
    return Now >= due_ ? 0 : due_ - Now;
}

}  // namespace zol::platform
