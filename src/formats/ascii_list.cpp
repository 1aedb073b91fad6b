#include "formats/ascii_list.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <utility>

#include "core/date_stamp.h"
#include "core/number_text.h"
#include "formats/file_kinds.h"
#include "formats/jcamp_decoder.h"
#include "formats/jcamp_reader.h"
#include "formats/text_lines.h"

namespace tesvar {

namespace {

bool IsSeparator(char c) { return c == ' ' || c == ',' || c == '\t'; }

bool IsNumberChar(char c) {
  return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' || c == 'e' || c == 'E';
}

bool IsDataLine(std::string_view line) {
  if (line.empty() || line.find("##") != std::string_view::npos) return false;
  return std::all_of(line.begin(), line.end(),
                     [](char c) { return IsSeparator(c) || IsNumberChar(c); });
}

// Takes the next number text from rest (leading separators dropped) and
// leaves in rest what follows it. A '.' at the very end of the line goes
// before the number is converted ("4000 85." reads y 85).
std::string_view TakeNumber(std::string_view& rest) {
  std::size_t i = 0;
  while (i < rest.size() && IsSeparator(rest[i])) ++i;
  std::size_t start = i;
  while (i < rest.size() && IsNumberChar(rest[i])) ++i;
  std::string_view number = rest.substr(start, i - start);
  rest.remove_prefix(i);
  if (!rest.empty() && rest.back() == '.') rest.remove_suffix(1);
  return number;
}

// A refusal leaves `current` as it was: the new spectrum is built apart.
bool Fail(Spectrum&) { return false; }

}  // namespace

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

bool ParseAsciiList(const std::string& text, const std::string& path, Spectrum& current,
                    Messages& messages) {
  Spectrum s = Spectrum::FreshFrom(current);
  double firstX = 0;
  double lastX = 0;
  double peakT = 0;
  int32_t scanCount = 1;
  int stored = 0;

  TextLineReader lines(text);
  while (!lines.AtEnd()) {
    // Lines are read up to the longest text the record keeps.
    std::string_view line = lines.Next().substr(0, kMaxText);
    ScanCountFromLine(line, scanCount);
    if (!IsDataLine(line)) continue;
    if (stored == kMaxPoints) {
      messages.ErrorBox("Too many data points!");
      return Fail(current);
    }

    std::string_view rest = line;
    std::string_view xText = TakeNumber(rest);
    double x;
    if (!ParseDecimal(xText, x)) {
      messages.StatusText(2, "invalid X value: " + std::string(xText));
      return Fail(current);
    }
    if (stored == 0) firstX = x;
    lastX = x;

    std::string_view yText = TakeNumber(rest);
    double y;
    if (!ParseDecimal(yText, y)) {
      messages.StatusText(2, "invalid Y value: " + std::string(yText));
      return Fail(current);
    }
    s.TransY[stored] = OrdinateToFloat(y);
    if (y > peakT) peakT = y;
    ++stored;
  }

  if (stored < 2) {
    messages.ErrorBox("Not enough data points!");
    return Fail(current);
  }
  if (firstX == lastX) {
    messages.ErrorBox("First and last X are equal!");
    return Fail(current);
  }
  // Each x is finite, but the span may not be (1e308 down to -1e308): the
  // step would be infinite and every point's abscissa NaN.
  if (!std::isfinite(firstX - lastX)) {
    messages.ErrorBox("Invalid abscissa values!");
    return Fail(current);
  }

  s.DataLoaded = true;
  s.YConverted = true;
  s.NScans = scanCount;
  PlaceListedPoints(s, stored, firstX, lastX);
  if (peakT > 2.0 || peakT <= 0.1) AdjustOrdinate(s, messages);
  s.XStep = (s.XStart - s.XEnd) / (s.NPoints - 1);
  s.YScale = kPercentYScale;
  s.IdentLine = kImportIdentLine;
  RawFromTransY(s);

  std::string date, time;
  if (FileDateStamp(path, date, time)) {
    s.AcqDate = s.ModDate = date;
    s.AcqTime = s.ModTime = time;
  }
  s.OperatorName.clear();
  s.SetComment("imported ASCII list");

  Spectrum::Replace(current, std::move(s));
  return true;
}

LoadResult ReadAsciiList(const std::string& path, Spectrum& current) {
  return LoadSpectrumFile(path, InfoFor(FileKind::kAsciiList), current);
}

}  // namespace tesvar
