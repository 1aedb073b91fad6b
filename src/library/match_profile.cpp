#include "library/match_profile.h"

#include <algorithm>
#include <cmath>

#include "core/spectrum.h"

namespace tesvar {

namespace {

// Savitzky-Golay first derivative, quadratic over 2 x kHalfWindow + 1
// points: coefficient k / sum(k^2) for k = -4 .. 4, sum(k^2) = 60.
constexpr int kHalfWindow = 4;
constexpr double kWindowNorm = 60;

// A little more than rounding: a grid point on the spectrum's first or
// last abscissa counts as inside.
constexpr double kEdge = 1e-9;

double Absorbance(float t) {
  const double clamped = t >= kTransmittanceFloor ? t : kTransmittanceFloor;  // also NaN
  return -std::log10(clamped);
}

}  // namespace

MatchProfile MakeMatchProfile(const Spectrum& spectrum) {
  MatchProfile prepared;
  const int n = std::min<int>(spectrum.LastIndex, static_cast<int>(spectrum.TransY.size()) - 1) + 1;
  const double step = spectrum.XStep;
  if (n < 2 || !(std::abs(step) > 0) || !std::isfinite(spectrum.XStart)) return prepared;
  const double end = spectrum.XStart - step * (n - 1);
  const double high = std::max(spectrum.XStart, end);
  const double low = std::min(spectrum.XStart, end);
  const int gridFirst =
      std::max(0, static_cast<int>(std::ceil((kGridHigh - high) / kGridStep - kEdge)));
  const int gridLast = std::min(
      kGridPoints - 1, static_cast<int>(std::floor((kGridHigh - low) / kGridStep + kEdge)));
  if (gridLast - gridFirst + 1 < 2 * kHalfWindow + 1) return prepared;

  // Absorbance on the grid, by linear interpolation between the two
  // neighbouring points of the spectrum.
  std::vector<double> a(static_cast<std::size_t>(gridLast - gridFirst + 1));
  for (int g = gridFirst; g <= gridLast; ++g) {
    const double at = std::clamp((spectrum.XStart - GridWavenumber(g)) / step, 0.0, n - 1.0);
    const int i = std::min(static_cast<int>(at), n - 2);
    const double f = at - i;
    a[g - gridFirst] =
        (1 - f) * Absorbance(spectrum.TransY[i]) + f * Absorbance(spectrum.TransY[i + 1]);
  }

  // The derivative where the whole window lies on the spectrum.
  std::vector<double> d(a.size() - 2 * kHalfWindow);
  double largest = 0;
  for (std::size_t j = 0; j < d.size(); ++j) {
    double sum = 0;
    for (int k = -kHalfWindow; k <= kHalfWindow; ++k) sum += k * a[j + kHalfWindow + k];
    d[j] = sum / kWindowNorm;
    largest = std::max(largest, std::abs(d[j]));
  }
  prepared.first = gridFirst + kHalfWindow;
  prepared.values.resize(d.size());
  const double scale = largest > 0 ? 32767 / largest : 0;
  for (std::size_t j = 0; j < d.size(); ++j) {
    prepared.values[j] = static_cast<int16_t>(std::lround(d[j] * scale));
  }
  return prepared;
}

double HitQuality(const MatchProfile& query, const MatchProfile& member) {
  if (query.Empty() || member.Empty()) return -1;
  const int first = std::max(query.first, member.first);
  const int last = std::min(query.Last(), member.Last());
  const int shared = last - first + 1;
  if (shared <= 0 || 2 * static_cast<int64_t>(shared) < static_cast<int64_t>(query.values.size())) {
    return -1;
  }
  const int16_t* q = query.values.data() + (first - query.first);
  const int16_t* m = member.values.data() + (first - member.first);
  int64_t sq = 0, sm = 0, sqq = 0, smm = 0, sqm = 0;
  for (int i = 0; i < shared; ++i) {
    const int64_t x = q[i];
    const int64_t y = m[i];
    sq += x;
    sm += y;
    sqq += x * x;
    smm += y * y;
    sqm += x * y;
  }
  const double count = shared;
  const double varQ = count * static_cast<double>(sqq) - static_cast<double>(sq) * sq;
  const double varM = count * static_cast<double>(smm) - static_cast<double>(sm) * sm;
  if (!(varQ > 0) || !(varM > 0)) return -1;
  const double r =
      (count * static_cast<double>(sqm) - static_cast<double>(sq) * sm) / std::sqrt(varQ * varM);
  return 100 * std::clamp(r, 0.0, 1.0);
}

}  // namespace tesvar
