#include "plot/peak_search.h"

#include "core/spectrum.h"

namespace tesvar {

namespace {

// Every pattern reads at most 3 points beyond a candidate, and the broad
// pattern 30; candidates lie in 3 .. N - 3, so all reads stay in 0 .. N.
bool IsPeak(const float* transY, int lastIndex, int a) {
  const double c = transY[a];
  auto d = [&](int k) { return static_cast<double>(transY[a + k]) - c; };

  if (d(-1) > MinRise1 && d(-2) > MinRise2 && d(-3) > MinRise3 && d(+1) >= MinRise1 &&
      d(+2) > MinRise2) {
    return true;
  }
  if (d(-1) > MinRise1 && d(-2) > MinRise2 && d(+1) > MinRise1 && d(+2) > MinRise2 &&
      d(+3) > MinRise3) {
    return true;
  }
  if (30 < a && a < lastIndex - 30) {
    return d(-1) > MinRise1 && d(-2) > 2 * MinRise1 && d(-3) > 3 * MinRise1 &&
           d(-4) > 4 * MinRise1 && d(-5) > 5 * MinRise1 && d(-30) > MinRise3 && d(+1) >= MinRise1 &&
           d(+2) > 2 * MinRise1 && d(+3) > 3 * MinRise1 && d(+4) > 4 * MinRise1 &&
           d(+5) > 5 * MinRise1 && d(+30) > MinRise3;
  }
  return false;
}

}  // namespace

void FindPeak(const float* transY, int lastIndex, int& index, PeakDirection direction) {
  const int n = lastIndex;
  const int p = index;
  int a;
  int step;
  if (direction == PeakDirection::kRight) {
    if (!(p < n - 3)) return;
    a = p > 3 ? p + 1 : 4;
    step = 1;
  } else {
    if (!(p > 3)) return;
    a = p < n - 3 ? p - 1 : n - 4;
    step = -1;
  }
  // Only in spectra of fewer than 8 points does the first candidate fall
  // outside the scan bounds; testing it would read past the last point.
  if (a < 3 || a > n - 3) return;
  for (;;) {
    if (IsPeak(transY, n, a)) {
      index = a;
      return;
    }
    a += step;
    if (a <= 3 || a >= n - 3) return;
  }
}

PeakJump PeakJumpTarget(const Spectrum& spectrum, int cursorIndex, PeakDirection direction) {
  const int last = spectrum.LastIndex;
  int index = cursorIndex;
  FindPeak(spectrum.TransY.data(), last, index, direction);
  // No band sends the cursor to the end of the spectrum it was heading for.
  if (direction == PeakDirection::kRight) {
    if (index < 0) index = 0;
    if (index > last || index == cursorIndex) index = last;
  } else {
    if (index < 0 || index == cursorIndex) index = 0;
    if (index > last) index = last;
  }
  PeakJump jump;
  jump.index = index;
  jump.cursorX = spectrum.PointX(index);
  if (jump.cursorX < spectrum.XEnd) jump.cursorX = spectrum.XEnd;
  if (jump.cursorX > spectrum.XStart) jump.cursorX = spectrum.XStart;
  return jump;
}

}  // namespace tesvar
