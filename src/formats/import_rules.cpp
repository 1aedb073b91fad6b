#include "formats/import_rules.h"

#include <algorithm>
#include <cmath>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define TESVAR_AVX2_RAW 1
#endif

#include "core/number_text.h"

namespace tesvar {

namespace {

constexpr double kLn10 = 2.302585092994045684;

}  // namespace

bool Refuse(Messages& messages, const std::string& text) {
  messages.ErrorBox(text);
  return false;
}

PointCountFault CheckPointCount(std::size_t count) {
  if (count > static_cast<std::size_t>(kMaxPoints)) return PointCountFault::kTooMany;
  if (count < 2) return PointCountFault::kTooFew;
  return PointCountFault::kNone;
}

bool PointCountAllowed(std::size_t count, Messages& messages) {
  switch (CheckPointCount(count)) {
    case PointCountFault::kTooMany:
      return Refuse(messages, "Too many data points!");
    case PointCountFault::kTooFew:
      return Refuse(messages, "Not enough data points!");
    case PointCountFault::kNone:
      break;
  }
  return true;
}

bool TooManyPoints(std::size_t count, Messages& messages) {
  return CheckPointCount(count) == PointCountFault::kTooMany && !PointCountAllowed(count, messages);
}

namespace {

// Whether text holds "SCANS" in any mix of cases (ASCII letters only). Every
// raw line of a header is searched, so without a copy.
bool ContainsScans(std::string_view text) {
  constexpr std::string_view kScans = "SCANS";
  // Only where an 'S' or 's' stands (found by memchr) can the word begin.
  for (const char first : {'S', 's'}) {
    for (std::size_t i = text.find(first);
         i != std::string_view::npos && i + kScans.size() <= text.size();
         i = text.find(first, i + 1)) {
      std::size_t k = 1;
      while (k < kScans.size() && (text[i + k] & ~0x20) == kScans[k]) ++k;
      if (k == kScans.size()) return true;
    }
  }
  return false;
}

}  // namespace

void ScanCountFromLine(std::string_view line, int32_t& scanCount) {
  if (!ContainsScans(line)) return;
  std::size_t start = line.find_first_of("0123456789");
  std::size_t end = start;
  while (end < line.size() && line[end] >= '0' && line[end] <= '9') ++end;
  int32_t count = 1;
  if (start == std::string_view::npos || !ParseStrictInt(line.substr(start, end - start), count)) {
    count = 1;
  }
  scanCount = count;
}

void AdjustOrdinate(Spectrum& s, Messages& messages) {
  messages.StatusText(2, "adjusting ordinate...");
  int n = std::clamp(s.LastIndex + 1, 0, kArraySlots);
  auto largest = [&] {
    double m = 0;
    for (int i = 0; i < n; ++i) m = std::max(m, static_cast<double>(s.TransY[i]));
    return m;
  };
  // Down by tens while the largest value is 2 or more ...
  double peak = largest();
  double f = 1;
  while (peak / f >= 2 && f < 10000) f *= 10;
  if (f > 1) {
    for (int i = 0; i < n; ++i) s.TransY[i] = static_cast<float>(s.TransY[i] / f);
    peak = largest();
  }
  // ... then up by tens while it is 0.1 or less (all values <= 0 give 10000).
  double g = 1;
  while (g * peak <= 0.1 && g < 10000) g *= 10;
  if (g > 1) {
    for (int i = 0; i < n; ++i) s.TransY[i] = static_cast<float>(s.TransY[i] * g);
  }
  messages.StatusText(2, "");
}

#if defined(TESVAR_AVX2_RAW)
namespace {

// The loop of RawFromTransY sixteen and then eight at a time, on processors
// with AVX2 (the function carries it as its target; the rest runs on any
// x86-64). The conversion gives INT32_MIN for NaN and for anything beyond
// the int32 range: a group holding it (or INT32_MIN itself) is left to the
// loops after. Returns where it stopped.
__attribute__((target("avx2"))) int RawFromTransYAvx2(const float* in, int32_t* out, int n) {
  const __m256 scale = _mm256_set1_ps(static_cast<float>(kRawPerFraction));
  const __m256i invalid = _mm256_set1_epi32(std::numeric_limits<int32_t>::min());
  int i = 0;
  for (; i + 16 <= n; i += 16) {
    const __m256i a = _mm256_cvtps_epi32(_mm256_mul_ps(_mm256_loadu_ps(in + i), scale));
    const __m256i b = _mm256_cvtps_epi32(_mm256_mul_ps(_mm256_loadu_ps(in + i + 8), scale));
    const __m256i bad =
        _mm256_or_si256(_mm256_cmpeq_epi32(a, invalid), _mm256_cmpeq_epi32(b, invalid));
    if (!_mm256_testz_si256(bad, bad)) break;
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), a);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i + 8), b);
  }
  for (; i + 8 <= n; i += 8) {
    const __m256i a = _mm256_cvtps_epi32(_mm256_mul_ps(_mm256_loadu_ps(in + i), scale));
    const __m256i bad = _mm256_cmpeq_epi32(a, invalid);
    if (!_mm256_testz_si256(bad, bad)) break;
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), a);
  }
  return i;
}

}  // namespace
#endif

void RawFromTransY(Spectrum& s) {
  int n = std::clamp(s.LastIndex + 1, 0, kArraySlots);
  int i = 0;
#if defined(TESVAR_AVX2_RAW)
  static const bool haveAvx2 = __builtin_cpu_supports("avx2");
  if (haveAvx2) i = RawFromTransYAvx2(s.TransY.data(), s.RawY.data(), n);
#endif
#if defined(__SSE2__)
  // Four at a time: TransY x 2^22 is exact in float arithmetic (a power of
  // two), and the conversion rounds to the nearest integer, halves to even,
  // in the default rounding mode. A group holding anything of magnitude
  // 2^31 or more, or NaN, is left to the loop below.
  const __m128 scale = _mm_set1_ps(static_cast<float>(kRawPerFraction));
  const __m128 limit = _mm_set1_ps(2147483648.0f);
  const __m128 magnitude = _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF));
  // The arrays' addresses are held apart: a vector store may alias
  // anything, the vectors' own pointers too, which would then be loaded
  // again after every store.
  const float* const in = s.TransY.data();
  int32_t* const out = s.RawY.data();
  for (; i + 4 <= n; i += 4) {
    __m128 v = _mm_mul_ps(_mm_loadu_ps(in + i), scale);
    if (_mm_movemask_ps(_mm_cmplt_ps(_mm_and_ps(v, magnitude), limit)) != 0xF) break;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_cvtps_epi32(v));
  }
#endif
  for (; i < n; ++i) {
    s.RawY[i] = RoundToInt32Inline(static_cast<double>(s.TransY[i]) * kRawPerFraction);
  }
}

void PlaceListedPoints(Spectrum& s, int count, double firstX, double lastX) {
  s.NPoints = count;
  s.LastIndex = count - 1;
  if (lastX <= firstX) {
    s.XStart = firstX;
    s.XEnd = lastX;
  } else {
    ReverseSpectrum(s);
    s.XStart = lastX;
    s.XEnd = firstX;
  }
  s.FirstX = s.XStart;
  s.LastX = s.XEnd;
  s.DeltaX = std::fabs(s.FirstX - s.LastX) / (s.NPoints - 1);
}

void ReverseSpectrum(Spectrum& s) {
  int last = std::min(s.LastIndex, kArraySlots - 1);
  for (int i = 0; i <= last / 2; ++i) {
    std::swap(s.TransY[i], s.TransY[last - i]);
    std::swap(s.RawY[i], s.RawY[last - i]);
  }
}

bool FillFromColumns(double firstX, double lastX, const std::vector<double>& y, OrdinateRule rule,
                     Spectrum& s, Messages& messages) {
  if (!PointCountAllowed(y.size(), messages)) return false;
  if (firstX == lastX) {
    messages.ErrorBox("First and last X are equal!");
    return false;
  }
  // Both ends finite is not enough: 1e308 down to -1e308 spans more than a
  // double holds, and an infinite step puts every point at NaN.
  if (!std::isfinite(firstX) || !std::isfinite(lastX) || !std::isfinite(firstX - lastX)) {
    messages.ErrorBox("Invalid abscissa values!");
    return false;
  }

  const int count = static_cast<int>(y.size());
  double peakT = 0;
  for (int i = 0; i < count; ++i) {
    double t = y[i];
    switch (rule) {
      case OrdinateRule::kAsListed:
      case OrdinateRule::kFraction:
        break;
      case OrdinateRule::kPercent:
        t = y[i] / 100.0;
        break;
      case OrdinateRule::kAbsorbance:
        t = 1.0 / std::exp(y[i] * kLn10);
        break;
    }
    s.TransY[i] = OrdinateToFloat(t);
    if (t > peakT) peakT = t;
  }

  s.YConverted = true;
  // First and last x differ (checked above), so the direction is plain.
  PlaceListedPoints(s, count, firstX, lastX);
  s.XStep = (s.XStart - s.XEnd) / (s.NPoints - 1);

  std::string said;
  switch (rule) {
    case OrdinateRule::kAsListed:
      if (peakT > 2.0 || peakT <= 0.1) {
        AdjustOrdinate(s, messages);
        said = "transmittance, ordinate adjusted";
      } else {
        said = "transmittance as listed";
      }
      break;
    case OrdinateRule::kPercent:
      said = "percent transmittance";
      break;
    case OrdinateRule::kFraction:
      said = "transmittance as a fraction";
      break;
    case OrdinateRule::kAbsorbance:
      said = "absorbance converted to transmittance";
      break;
  }
  messages.StatusText(2, said);
  messages.Note(said);

  s.YScale = kPercentYScale;
  s.IdentLine = kImportIdentLine;
  RawFromTransY(s);
  return true;
}

}  // namespace tesvar
