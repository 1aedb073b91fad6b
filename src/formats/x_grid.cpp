#include "formats/x_grid.h"

#include <cmath>

namespace tesvar {

bool EvenlySpaced(const double* x, std::size_t count) {
  if (count < 2) return false;
  const double first = x[0];
  const double last = x[count - 1];
  if (!std::isfinite(first) || !std::isfinite(last) || first == last) return false;
  const double step = (last - first) / static_cast<double>(count - 1);
  const double tolerance = 0.01 * std::fabs(step);
  for (std::size_t i = 0; i < count; ++i) {
    const double grid = first + step * static_cast<double>(i);
    // Written so that a NaN fails it.
    if (!(std::fabs(x[i] - grid) <= tolerance)) return false;
  }
  return true;
}

}  // namespace tesvar
