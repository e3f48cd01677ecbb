// qEase: the smoothed step that cameras and fades glide with.
//
// What it does: moves a single-precision value a fraction of the way towards a target,
// with a smallest and a largest step, never overshooting.
// Who owns what: the caller owns the value; nothing is kept here.
// Failure: none; a divisor of 0 leaves the value alone.
#pragma once

namespace zol {

// Moves Value by (Target - Value) / Divisor, limited to MinStep..MaxStep in size, landing
// exactly on Target instead of passing it.
void EaseTowards(float& Value, float Target, float Divisor, float MinStep, float MaxStep);

}  // namespace zol
