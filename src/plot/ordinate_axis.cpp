#include "plot/ordinate_axis.h"

#include <algorithm>
#include <cmath>

#include "core/number_text.h"

namespace tesvar {

namespace {

// A value within this share of a tick step of a tick counts as on it: the
// ordinates are floats, so 95.5 %T is held as 95.4999983, and that must not
// add a tick for the last bits.
constexpr double kSnap = 1e-4;

// The round step (1, 2 or 5 x 10^k) for a number every `raw` units. The
// thresholds keep the axis between about 6 and 14 tick intervals (the
// fixed axis has 10): a raw step of 2.8 takes 5, giving 5.6 intervals,
// rather than 2, giving 14.
double RoundStep(double raw) {
  const double decade = std::pow(10.0, std::floor(std::log10(raw)));
  const double mantissa = raw / decade;
  if (mantissa < 1.4) return decade;
  if (mantissa < 2.8) return 2 * decade;
  if (mantissa < 7) return 5 * decade;
  return 10 * decade;
}

}  // namespace

int OrdinateRange::TickCount() const {
  return static_cast<int>(std::lround((high - low) / tickStep)) + 1;
}

double OrdinateRange::TickValue(int i) const {
  // From the whole number of steps, so that a long axis does not drift.
  return (std::round(low / tickStep) + i) * tickStep;
}

std::string OrdinateRange::TickText(int i) const {
  const double steps = std::round(low / tickStep) + i;
  if (std::fmod(std::abs(steps), 2.0) != 0) return std::string();
  return FormatFixed(steps * tickStep, decimals, 1);
}

OrdinateRange FitOrdinateRange(double minValue, double maxValue) {
  double span = maxValue - minValue;
  // A flat spectrum is shown in a band a tenth of its value wide (at least
  // one unit wide near zero), so the trace runs through the middle.
  if (!(span > 0)) {
    span = std::max(std::abs(minValue) * 0.1, 1.0);
    minValue -= span / 2;
    maxValue += span / 2;
  }
  OrdinateRange range;
  range.labelStep = RoundStep(span / 5);
  range.tickStep = range.labelStep / 2;
  range.low = std::floor(minValue / range.tickStep + kSnap) * range.tickStep;
  range.high = std::ceil(maxValue / range.tickStep - kSnap) * range.tickStep;
  if (range.high <= range.low) range.high = range.low + range.tickStep;
  range.decimals = std::max(0, -static_cast<int>(std::floor(std::log10(range.labelStep) + kSnap)));
  return range;
}

}  // namespace tesvar
