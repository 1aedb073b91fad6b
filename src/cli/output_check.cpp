#include "cli/output_check.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/number_text.h"
#include "output/writers.h"

namespace tesvar::cli {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// Reads the file back; "" or what went wrong.
std::string ReadBack(const std::string& path, FileKind kind, Spectrum& back) {
  const LoadResult result = LoadSpectrumFile(path, InfoFor(kind), back);
  if (result.loaded()) return std::string();
  if (!result.refusal.empty()) return result.refusal;
  return "not loaded";
}

double LargestDifference(const Spectrum& back, const Spectrum& written, double factor) {
  double largest = 0;
  for (int i = 0; i <= written.LastIndex; ++i) {
    double d = std::fabs(static_cast<double>(back.TransY[i]) -
                         static_cast<double>(written.TransY[i]) * factor);
    if (std::isnan(d)) return kInfinity;
    largest = std::max(largest, d);
  }
  return largest;
}

// "1000", "0.01": 10 to the power e.
std::string PowerOfTen(int e) {
  if (e >= 0) return "1" + std::string(static_cast<std::size_t>(e), '0');
  return "0." + std::string(static_cast<std::size_t>(-e - 1), '0') + "1";
}

bool SameX(double a, double b, double rounding) {
  return std::fabs(a - b) <= rounding + 1e-9 * std::max(1.0, std::fabs(b));
}

}  // namespace

OutputCheck CheckWrittenFile(const std::string& path, FileKind kind, const Spectrum& written) {
  OutputCheck check;
  check.largestDifference = kInfinity;
  const int count = std::min(written.LastIndex, kArraySlots - 1) + 1;
  double peak = 0;     // largest magnitude, for the float rounding
  double largest = 0;  // largest value from 0 up, as the imports judge it
  for (int i = 0; i < count; ++i) {
    peak = std::max(peak, std::fabs(static_cast<double>(written.TransY[i])));
    largest = std::max(largest, static_cast<double>(written.TransY[i]));
  }
  const WriterInfo& writer = *WriterFor(kind);
  check.allowed = writer.ordinateRounding + std::ldexp(peak, -23);

  Spectrum back;
  std::string failure = ReadBack(path, kind, back);
  if (!failure.empty()) {
    check.problem = "cannot be read back: " + failure;
    return check;
  }
  if (back.NPoints != written.NPoints || back.LastIndex != written.LastIndex) {
    check.problem = "reads back with " + FormatInt(back.NPoints) + " points instead of " +
                    FormatInt(written.NPoints);
    return check;
  }
  const double xRounding = writer.abscissaRounding;
  if (!SameX(back.XStart, written.XStart, xRounding) ||
      !SameX(back.XEnd, written.XEnd, xRounding)) {
    check.problem = "reads back from " + FormatFixed(back.XStart, 4) + " to " +
                    FormatFixed(back.XEnd, 4) + " 1/cm instead of " +
                    FormatFixed(written.XStart, 4) + " to " + FormatFixed(written.XEnd, 4);
    return check;
  }

  check.largestDifference = LargestDifference(back, written, 1.0);
  if (check.largestDifference <= check.allowed) {
    check.ok = true;
    return check;
  }
  // Not hidden, but named: the import's power-of-ten rescaling.
  for (int e = -4; e <= 4; ++e) {
    if (e == 0) continue;
    double factor = std::pow(10.0, e);
    if (LargestDifference(back, written, factor) <= check.allowed * std::max(1.0, factor)) {
      check.problem = "the import rescales the ordinates by a factor of " + PowerOfTen(e) +
                      ", as it does when the largest lies above 2.0 or at or below 0.1 (here " +
                      FormatFixed(largest, 6) + ")";
      return check;
    }
  }
  check.problem = "largest ordinate difference " + FormatFixed(check.largestDifference, 9) +
                  " exceeds " + FormatFixed(check.allowed, 9);
  return check;
}

}  // namespace tesvar::cli
