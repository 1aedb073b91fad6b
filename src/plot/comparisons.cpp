#include "plot/comparisons.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/code_page.h"
#include "core/number_text.h"
#include "formats/file_kinds.h"
#include "formats/readable_kinds.h"

namespace tesvar {

Rgb ComparisonColor(int index) {
  static constexpr Rgb kPalette[kMaxComparisons] = {
      {230, 159, 0},    // orange
      {86, 180, 233},   // sky blue
      {0, 158, 115},    // bluish green
      {0, 114, 178},    // blue
      {213, 94, 0},     // vermillion
      {204, 121, 167},  // reddish purple
      {128, 128, 128},  // grey
      {136, 34, 85},    // wine
  };
  return kPalette[static_cast<unsigned>(index) % kMaxComparisons];
}

namespace {

// The UTF-8 sequence at text[i], or -1 (with `length` 1) where none starts.
char32_t DecodeUtf8(const std::string& text, std::size_t i, std::size_t& length) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  length = 1;
  if (lead < 0x80) return lead;
  std::size_t count = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : 0;
  if (count == 0 || lead > 0xF4 || i + count >= text.size()) return static_cast<char32_t>(-1);
  char32_t c = lead & (0x3F >> count);
  for (std::size_t k = 1; k <= count; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return static_cast<char32_t>(-1);
    c = (c << 6) | (byte(i + k) & 0x3F);
  }
  length = count + 1;
  return c;
}

}  // namespace

std::string LegendName(const std::string& path) {
  const std::string name = FileNamePart(path);
  std::string text;
  for (std::size_t i = 0; i < name.size();) {
    std::size_t length = 1;
    const char32_t c = DecodeUtf8(name, i, length);
    if (c == static_cast<char32_t>(-1)) {
      text += name[i];
    } else {
      const int code = UnicodeToCodePage(c);
      text += code < 0 ? '?' : static_cast<char>(code);
    }
    i += length;
  }
  return text;
}

std::string ComparisonsFullText() {
  return "At most " + FormatInt(kMaxComparisons) + " comparison spectra can be shown.";
}

std::string NoComparisonReaderText() {
  return "Unknown file kind! Read are: " + OpenableKindsText();
}

LoadResult ComparisonList::AddFile(const std::string& path) {
  LoadResult result;
  if (Size() >= kMaxComparisons) {
    result.outcome = LoadOutcome::kRefused;
    result.refusal = ComparisonsFullText();
    return result;
  }
  Comparison comparison{path, LegendName(path), Spectrum()};
  result = LoadSpectrumFile(path, comparison.spectrum);
  if (result.outcome == LoadOutcome::kNoReader) result.refusal = NoComparisonReaderText();
  if (result.loaded()) items_.push_back(std::move(comparison));
  return result;
}

bool ComparisonList::Add(Comparison comparison) {
  if (Size() >= kMaxComparisons) return false;
  items_.push_back(std::move(comparison));
  return true;
}

void ComparisonList::Remove(int index) {
  if (index >= 0 && index < Size()) items_.erase(items_.begin() + index);
}

double AbsorbanceOf(double t) {
  if (std::isnan(t)) return t;
  return t > 0 ? -std::log10(t) : INFINITY;
}

double LargestAbsorbance(const Spectrum& spectrum, double high, double low) {
  // The largest absorbance is that of the smallest positive transmittance:
  // one logarithm rather than one a point.
  float smallest = INFINITY;
  const int last = std::min<int>(spectrum.LastIndex, static_cast<int>(spectrum.TransY.size()) - 1);
  for (int i = 0; i <= last; ++i) {
    const double x = spectrum.PointX(i);
    if (!(x <= high && x >= low)) continue;
    const float t = spectrum.TransY[i];
    if (t > 0 && t < smallest) smallest = t;
  }
  return smallest == INFINITY ? -INFINITY : -std::log10(static_cast<double>(smallest));
}

double ComparisonScale(const Spectrum& comparison, double shownLargest, double high, double low) {
  const double own = LargestAbsorbance(comparison, high, low);
  if (!(shownLargest > 0) || !(own > 0) || !std::isfinite(shownLargest)) return 1;
  return shownLargest / own;
}

double DrawnScale(const Spectrum& shown, const PlotOverlay& overlay, int index, double high,
                  double low) {
  if (!overlay.Scaled()) return 1;
  return ComparisonScale((*overlay.comparisons)[index].spectrum,
                         LargestAbsorbance(shown, high, low), high, low);
}

std::vector<std::string> LegendTexts(const Spectrum& shown, const PlotOverlay& overlay, double high,
                                     double low) {
  std::vector<std::string> texts{overlay.shownName};
  if (!overlay.HasComparisons()) return texts;
  const double shownLargest = overlay.Scaled() ? LargestAbsorbance(shown, high, low) : 0;
  for (const Comparison& c : *overlay.comparisons) {
    std::string text = c.name;
    if (overlay.Scaled()) {
      const double scale = ComparisonScale(c.spectrum, shownLargest, high, low);
      text += " (scaled x" + FormatFixed(scale, 2, 1) + ")";
    }
    texts.push_back(std::move(text));
  }
  return texts;
}

}  // namespace tesvar
