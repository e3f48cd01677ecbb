#include "framework/core/qEase.h"

#include <algorithm>

namespace zol {

void EaseTowards(float& Value, float Target, float Divisor, float MinStep, float MaxStep) {
    if (Value == Target || Divisor == 0) return;
    // The quotient is formed in double and stored as Single, as the glide's steps are.
    float step = static_cast<float>((static_cast<double>(Target) - Value) / Divisor);
    if (Value < Target) {
        step = std::min(step, MaxStep);
        step = std::max(step, MinStep);
        Value = Value + step;
        if (Value > Target) Value = Target;
    } else {
        step = std::max(step, -MaxStep);
        step = std::min(step, -MinStep);
        Value = Value + step;
        if (Value < Target) Value = Target;
    }
}

}  // namespace zol
