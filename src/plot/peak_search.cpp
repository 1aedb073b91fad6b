#include "plot/peak_search.h"

#include <cmath>

#include "core/spectrum.h"

namespace tesvar {

namespace {

// A stride beyond every record's length finds no band, whatever its size;
// the cap keeps 30 strides within an int.
constexpr int kMaxStride = 1000000;

// Every pattern reads at most 3 strides beyond a candidate, and the broad
// pattern 30; candidates lie in 3g .. N - 3g, so all reads stay in 0 .. N.
bool IsPeak(const float* transY, int lastIndex, int g, int a) {
  const double c = transY[a];
  auto d = [&](int k) { return static_cast<double>(transY[a + k * g]) - c; };

  if (d(-1) > MinRise1 && d(-2) > MinRise2 && d(-3) > MinRise3 && d(+1) >= MinRise1 &&
      d(+2) > MinRise2) {
    return true;
  }
  if (d(-1) > MinRise1 && d(-2) > MinRise2 && d(+1) > MinRise1 && d(+2) > MinRise2 &&
      d(+3) > MinRise3) {
    return true;
  }
  if (30 * g < a && a < lastIndex - 30 * g) {
    return d(-1) > MinRise1 && d(-2) > 2 * MinRise1 && d(-3) > 3 * MinRise1 &&
           d(-4) > 4 * MinRise1 && d(-5) > 5 * MinRise1 && d(-30) > MinRise3 && d(+1) >= MinRise1 &&
           d(+2) > 2 * MinRise1 && d(+3) > 3 * MinRise1 && d(+4) > 4 * MinRise1 &&
           d(+5) > 5 * MinRise1 && d(+30) > MinRise3;
  }
  return false;
}

// Within one stride the candidate is the lowest point, the first of equals,
// so that a band is not found again at its neighbour.
bool LowestOfItsStride(const float* transY, int g, int a) {
  for (int k = 1; k < g; ++k) {
    if (!(transY[a] < transY[a - k]) || transY[a] > transY[a + k]) return false;
  }
  return true;
}

}  // namespace

int BandStride(double xStep) {
  const double step = std::fabs(xStep);
  if (!(step > 0) || !std::isfinite(step)) return 1;
  // A step read from a file as a float is off by some 1e-7 of itself; the
  // tolerance keeps a tie a tie.
  const double stride = std::floor(1 / step + 0.5 - 1e-6);
  if (!(stride > 1)) return 1;
  return stride > kMaxStride ? kMaxStride : static_cast<int>(stride);
}

void FindPeak(const float* transY, int lastIndex, double xStep, int& index,
              PeakDirection direction) {
  const int g = BandStride(xStep);
  const int n = lastIndex;
  const int p = index;
  const int low = 3 * g;
  const int high = n - 3 * g;
  int a;
  int step;
  if (direction == PeakDirection::kRight) {
    if (!(p < high)) return;
    a = p > low ? p + 1 : low + 1;
    step = 1;
  } else {
    if (!(p > low)) return;
    a = p < high ? p - 1 : high - 1;
    step = -1;
  }
  // Only in spectra of fewer than 6g + 2 points does the first candidate
  // fall outside the scan bounds; testing it would read past the last point.
  if (a < low || a > high) return;
  for (;;) {
    if (IsPeak(transY, n, g, a) && LowestOfItsStride(transY, g, a)) {
      index = a;
      return;
    }
    a += step;
    if (a <= low || a >= high) return;
  }
}

PeakJump PeakJumpTarget(const Spectrum& spectrum, int cursorIndex, PeakDirection direction) {
  const int last = spectrum.LastIndex;
  int index = cursorIndex;
  FindPeak(spectrum.TransY.data(), last, spectrum.XStep, index, direction);
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
