#include "framework/sound/ReopenSchedule.h"

namespace zol {

bool ReopenSchedule::Due(int32_t Now) const {
    if (!tried_) return true;
    // The clock wraps every 49.7 days, so times are compared by their difference; one
    // that reads as negative means the clock went back.
    const uint32_t since = static_cast<uint32_t>(Now) - static_cast<uint32_t>(last_);
    return since >= static_cast<uint32_t>(interval_) || since >= 0x80000000u;
}

void ReopenSchedule::Tried(int32_t Now) {
    if (tried_) interval_ = interval_ * 2 > kLongestMs ? kLongestMs : interval_ * 2;
    tried_ = true;
    last_ = Now;
}

}  // namespace zol
