#include "plot/wavenumber_axis.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <utility>

#include "core/number_text.h"

namespace tesvar {

WavenumberAxis::WavenumberAxis(double xStart, double xEnd, double width)
    : xStart_(xStart), xEnd_(xEnd), width_(width) {
  twoScale_ = xEnd <= 2000 && 2000 <= xStart && xStart > xEnd;
  if (twoScale_) {
    span_ = (xStart - 2000) + 2 * (2000 - xEnd);
    scaleHigh_ = width / span_;
    scaleLow_ = 2 * width / span_;
    breakOffset_ = static_cast<int>(RoundHalfEven((xStart - 2000) * scaleHigh_));
  } else {
    span_ = xStart - xEnd;
    scaleHigh_ = span_ != 0 ? width / span_ : 0;
    scaleLow_ = scaleHigh_;
    breakOffset_ = static_cast<int>(RoundHalfEven(width));
  }
}

double WavenumberAxis::Offset(double w) const {
  if (twoScale_ && w < 2000) return (xStart_ - 2000) * scaleHigh_ + (2000 - w) * scaleLow_;
  return (xStart_ - w) * scaleHigh_;
}

double WavenumberAxis::WavenumberAt(int rel) const {
  if (!twoScale_) {
    return scaleHigh_ != 0 ? xStart_ - static_cast<double>(RoundHalfEven(rel / scaleHigh_))
                           : xStart_;
  }
  if (rel <= breakOffset_) return xStart_ - static_cast<double>(RoundHalfEven(rel / scaleHigh_));
  return static_cast<double>(
      RoundHalfEven(((xStart_ - 2000) * scaleHigh_ + 2000 * scaleLow_ - rel) / scaleLow_));
}

namespace {

// More hundreds than any infrared range has; a file with absurd abscissae
// gets no ticks rather than millions of them.
constexpr int64_t kMaxTickCount = 5000;
// Every tick's wavenumber, 100 x k, must be an int: hundreds beyond this
// (abscissae past +-2147483647 1/cm) get no ticks either.
constexpr int64_t kMaxHundred = INT32_MAX / 100;

// The hundreds from hi down to lo, or the empty range 0 ... 1.
void TickRange(double xStart, double xEnd, int64_t& hi, int64_t& lo) {
  hi = RoundHalfEven(xStart) / 100;
  lo = RoundHalfEven(xEnd + 99) / 100;
  auto beyond = [](int64_t k) { return k > kMaxHundred || k < -kMaxHundred; };
  if (hi - lo >= kMaxTickCount || beyond(hi) || beyond(lo)) {
    hi = 0;
    lo = 1;
  }
}

}  // namespace

int WavenumberAxis::TickHigh() const {
  int64_t hi, lo;
  TickRange(xStart_, xEnd_, hi, lo);
  return static_cast<int>(hi);
}

int WavenumberAxis::TickLow() const {
  int64_t hi, lo;
  TickRange(xStart_, xEnd_, hi, lo);
  return static_cast<int>(lo);
}

std::vector<AxisTick> WavenumberAxis::Ticks() const {
  int64_t hi, lo;
  TickRange(xStart_, xEnd_, hi, lo);
  std::vector<AxisTick> ticks;
  if (hi >= lo) ticks.reserve(static_cast<std::size_t>(hi - lo + 1));
  for (int64_t k = hi; k >= lo; --k) {
    AxisTick t;
    t.wavenumber = static_cast<int>(100 * k);
    t.major = t.wavenumber % 500 == 0;
    t.grid = t.major || t.wavenumber < 2000;
    t.unit = t.wavenumber == 1800;
    if (t.major) t.text = PadLeft(FormatInt(t.wavenumber), 4);
    ticks.push_back(std::move(t));
  }
  return ticks;
}

}  // namespace tesvar
