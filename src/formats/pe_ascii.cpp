#include "formats/pe_ascii.h"

#include <algorithm>
#include <vector>

#include "core/number_text.h"
#include "formats/import_rules.h"
#include "formats/text_lines.h"
#include "formats/unit_names.h"
#include "formats/x_grid.h"

namespace tesvar {

namespace {

bool StartsWith(std::string_view text, std::string_view start) {
  return text.substr(0, start.size()) == start;
}

// Header lines are kept to 255 characters, as every header text is.
std::string HeaderText(std::string_view line) {
  return std::string(line.substr(0, std::min(line.size(), kMaxText)));
}

// Skips lines up to and including the first one that starts with `mark`.
bool SkipPast(TextLineReader& lines, std::string_view mark) {
  while (!lines.AtEnd()) {
    if (StartsWith(TrimBlanks(lines.Next()), mark)) return true;
  }
  return false;
}

// The next two numbers of a data line, separated by tabs or blanks.
bool TakeField(std::string_view& rest, std::string_view& field) {
  std::size_t i = 0;
  while (i < rest.size() && (rest[i] == ' ' || rest[i] == '\t')) ++i;
  std::size_t start = i;
  while (i < rest.size() && rest[i] != ' ' && rest[i] != '\t') ++i;
  field = rest.substr(start, i - start);
  rest.remove_prefix(i);
  return !field.empty();
}

}  // namespace

bool IsPeAsciiExport(std::string_view firstBytes) {
  const std::size_t end = firstBytes.find_first_of("\r\n");
  const std::string_view first = firstBytes.substr(0, end);
  if (!StartsWith(first, "PE IR") && !StartsWith(first, "PE UV") && !StartsWith(first, "PE FL")) {
    return false;
  }
  return first.find("ASCII") != std::string_view::npos;
}

bool ReadPeAsciiText(const std::string& text, const std::string&, Spectrum& s, Messages& messages) {
  TextLineReader lines(text);
  if (!IsPeAsciiExport(text)) return Refuse(messages, "Unknown file format!");
  lines.Next();  // the identification: an import names itself with its own
  lines.Next();
  s.HeaderLine3 = HeaderText(lines.Next());
  s.AcqDate = HeaderText(lines.Next());
  s.AcqTime = HeaderText(lines.Next());
  s.ModDate = HeaderText(lines.Next());
  s.ModTime = HeaderText(lines.Next());
  s.OperatorName = HeaderText(lines.Next());
  s.SetComment(HeaderText(lines.Next()));
  lines.Next();  // the last x: the data lines give it
  if (!ParseStrictInt(TrimBlanks(lines.Next()), s.NScans)) {
    messages.Bell();
    s.NScans = 0;
  }

  if (!SkipPast(lines, "#HDR") || !SkipPast(lines, "#GR")) {
    return Refuse(messages, "Data section not found!");
  }
  const std::string xUnitText(TrimBlanks(lines.Next()));
  const std::string yUnitText(TrimBlanks(lines.Next()));
  lines.Next();  // y factor
  lines.Next();  // y offset
  lines.Next();  // first x
  lines.Next();  // x step
  int32_t declared = 0;
  const bool declaredOk = ParseStrictInt(TrimBlanks(lines.Next()), declared);
  if (!SkipPast(lines, "#DATA")) return Refuse(messages, "Data section not found!");

  const XUnitName xUnit = ClassifyXUnit(xUnitText);
  if (!xUnit.wavenumbers) {
    std::string name = xUnit.foreign;
    if (name.empty()) {
      name = xUnitText.empty() ? std::string("no unit") : xUnitText;
      std::transform(name.begin(), name.end(), name.begin(), [](char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
      });
    }
    return Refuse(messages, ForeignXMessage(name));
  }
  const YUnitName yUnit = ClassifyYUnit(yUnitText);
  if (!yUnit.foreign.empty()) return Refuse(messages, ForeignYMessage(yUnit.foreign));

  if (!declaredOk || declared < 2) return Refuse(messages, "Invalid number of data points!");
  if (TooManyPoints(static_cast<std::size_t>(declared), messages)) return false;

  std::vector<double> xs;
  std::vector<double> ys;
  xs.reserve(static_cast<std::size_t>(declared));
  ys.reserve(static_cast<std::size_t>(declared));
  while (!lines.AtEnd() && xs.size() < static_cast<std::size_t>(declared)) {
    std::string_view rest = lines.Next();
    if (TrimBlanks(rest).empty()) break;
    std::string_view field;
    double x = 0;
    double y = 0;
    if (!TakeField(rest, field) || !ParseDecimal(field, x)) {
      messages.StatusText(2, "invalid X value: " + std::string(field));
      return false;
    }
    if (!TakeField(rest, field) || !ParseDecimal(field, y)) {
      messages.StatusText(2, "invalid Y value: " + std::string(field));
      return false;
    }
    xs.push_back(x);
    ys.push_back(y);
  }
  if (xs.size() < static_cast<std::size_t>(declared)) {
    return Refuse(messages, "Data section incomplete!");
  }
  if (!EvenlySpaced(xs.data(), xs.size())) return Refuse(messages, kUnevenXMessage);

  return FillFromColumns(xs.front(), xs.back(), ys, yUnit.rule, s, messages);
}

}  // namespace tesvar
