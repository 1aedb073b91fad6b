#include "plot/drawing_surface.h"

namespace tesvar {

int FontHeightForPoints(int points, int dpi) {
  // points x dpi / 72 in integers, rounded half away from zero.
  long long num = static_cast<long long>(points) * dpi;
  long long q = (num + (num >= 0 ? 36 : -36)) / 72;
  return -static_cast<int>(q);
}

}  // namespace tesvar
