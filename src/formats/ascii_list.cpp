#include "formats/ascii_list.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <utility>

#include "core/date_stamp.h"
#include "core/number_text.h"
#include "formats/import_rules.h"
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

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Lists written where the comma is the decimal sign hold lines such as
// "3998.0 0,92"; read as two numbers the comma would split, they give y 0
// and a false band down to zero. The comma is taken as a decimal sign only
// where it can be nothing else: x is followed by blanks or tabs, the
// ordinate is digits, the comma and digits, and the line holds no other
// comma (so "1275.0000,0.169503" stays x then y). On a match, yText becomes
// the ordinate with a point ("0.92") and rest what follows it.
bool TakeDecimalCommaOrdinate(std::string_view line, std::string_view& rest, std::string& yText) {
  if (std::count(line.begin(), line.end(), ',') != 1) return false;
  std::size_t i = 0;
  while (i < rest.size() && (rest[i] == ' ' || rest[i] == '\t')) ++i;
  if (i == 0) return false;
  const std::size_t start = i;
  while (i < rest.size() && IsDigit(rest[i])) ++i;
  const std::size_t comma = i;
  if (comma == start || comma == rest.size() || rest[comma] != ',') return false;
  ++i;
  while (i < rest.size() && IsDigit(rest[i])) ++i;
  if (i == comma + 1) return false;
  if (i < rest.size() && !IsSeparator(rest[i])) return false;
  yText.assign(rest.substr(start, i - start));
  yText[comma - start] = '.';
  rest.remove_prefix(i);
  return true;
}

}  // namespace

bool ReadAsciiListText(const std::string& text, const std::string& path, Spectrum& s,
                       Messages& messages) {
  double firstX = 0;
  double lastX = 0;
  double peakT = 0;
  int32_t scanCount = 1;
  int stored = 0;
  bool decimalCommas = false;
  std::string commaY;

  TextLineReader lines(text);
  while (!lines.AtEnd()) {
    // Lines are read up to the longest text the record keeps.
    std::string_view line = lines.Next().substr(0, kMaxText);
    ScanCountFromLine(line, scanCount);
    if (!IsDataLine(line)) continue;
    // One line more than the record holds refuses the file at once.
    if (TooManyPoints(static_cast<std::size_t>(stored) + 1, messages)) return false;

    std::string_view rest = line;
    std::string_view xText = TakeNumber(rest);
    double x;
    if (!ParseDecimal(xText, x)) {
      messages.StatusText(2, "invalid X value: " + std::string(xText));
      return false;
    }
    if (stored == 0) firstX = x;
    lastX = x;

    std::string_view yText;
    if (TakeDecimalCommaOrdinate(line, rest, commaY)) {
      yText = commaY;
      decimalCommas = true;
    } else {
      yText = TakeNumber(rest);
    }
    double y;
    if (!ParseDecimal(yText, y)) {
      messages.StatusText(2, "invalid Y value: " + std::string(yText));
      return false;
    }
    s.TransY[stored] = OrdinateToFloat(y);
    if (y > peakT) peakT = y;
    ++stored;
  }

  if (!PointCountAllowed(static_cast<std::size_t>(stored), messages)) return false;
  if (firstX == lastX) return Refuse(messages, "First and last X are equal!");
  // Each x is finite, but the span may not be (1e308 down to -1e308): the
  // step would be infinite and every point's abscissa NaN.
  if (!std::isfinite(firstX - lastX)) return Refuse(messages, "Invalid abscissa values!");

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
  if (decimalCommas) messages.Note("decimal commas read");
  return true;
}

}  // namespace tesvar
