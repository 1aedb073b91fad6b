// The even-spacing rule for x values that a file lists point by point (x/y
// tables, text exports, x arrays). The record keeps only the first and last
// x and an even step, so a file is read only when its x values lie on that
// grid: every x within 1 % of a step of the straight grid from the first x
// to the last. x values written with few decimals stay on it; a missing or a
// repeated point moves every later x by a whole step and does not.
#pragma once

#include <cstddef>

namespace tesvar {

// The message of a file whose x values fail the rule.
inline constexpr const char* kUnevenXMessage = "x values are not evenly spaced";

// Whether x[0 .. count-1] lie on the even grid from x[0] to x[count-1],
// ascending or descending. False for fewer than two points, equal ends, and
// values that are not finite.
bool EvenlySpaced(const double* x, std::size_t count);

}  // namespace tesvar
