#include "formats/asp_text.h"

#include <cmath>
#include <vector>

#include "core/date_stamp.h"
#include "core/number_text.h"
#include "formats/import_rules.h"
#include "formats/spc_codes.h"
#include "formats/text_lines.h"
#include "formats/unit_names.h"

namespace tesvar {

namespace {

// A header line that must be a whole number (count or type code).
bool WholeNumber(std::string_view line, int& value) {
  double number = 0;
  if (!ParseDecimal(TrimBlanks(line), number)) return false;
  if (!(number >= 0 && number <= 1e9) || number != std::floor(number)) return false;
  value = static_cast<int>(number);
  return true;
}

}  // namespace

bool ReadAspText(const std::string& text, const std::string& path, Spectrum& s,
                 Messages& messages) {
  TextLineReader lines(text);
  std::string_view header[6];
  for (std::string_view& line : header) {
    if (lines.AtEnd()) return Refuse(messages, "Unknown file format!");
    line = TrimBlanks(lines.Next());
  }
  int declared = 0;
  double firstX = 0;
  double lastX = 0;
  int xType = 0;
  int yType = 0;
  if (!WholeNumber(header[0], declared)) {
    return Refuse(messages, "invalid number of points: " + std::string(header[0]));
  }
  if (!ParseDecimal(header[1], firstX) || !ParseDecimal(header[2], lastX)) {
    return Refuse(messages, "Invalid abscissa values!");
  }
  if (!WholeNumber(header[3], xType)) {
    return Refuse(messages, "invalid x type: " + std::string(header[3]));
  }
  if (!WholeNumber(header[4], yType)) {
    return Refuse(messages, "invalid y type: " + std::string(header[4]));
  }
  // Line 6, the resolution, has no place in the record.

  if (xType != 1) return Refuse(messages, ForeignXMessage(XTypeName(xType)));
  OrdinateRule rule = OrdinateRule::kAsListed;
  switch (yType) {
    case 0:
    case 128:
      rule = OrdinateRule::kAsListed;
      break;
    case 2:
      rule = OrdinateRule::kAbsorbance;
      break;
    case 11:
      rule = OrdinateRule::kPercent;
      break;
    default:
      return Refuse(messages, ForeignYMessage(YTypeName(yType)));
  }
  if (TooManyPoints(static_cast<std::size_t>(declared), messages)) return false;

  std::string comment;
  std::vector<double> ys;
  bool first = true;
  while (!lines.AtEnd() && (declared == 0 || ys.size() < static_cast<std::size_t>(declared))) {
    const std::string_view line = TrimBlanks(lines.Next());
    if (first && !line.empty() && line.front() == '\'') {
      comment = std::string(line.substr(1));
      first = false;
      continue;
    }
    first = false;
    if (line.empty()) {
      if (declared == 0) continue;  // counted files may end in blank lines
      return Refuse(messages, "Data section incomplete!");
    }
    double y = 0;
    if (!ParseDecimal(line, y)) {
      messages.StatusText(2, "invalid Y value: " + std::string(line));
      return false;
    }
    if (TooManyPoints(ys.size() + 1, messages)) return false;
    ys.push_back(y);
  }
  if (declared != 0 && ys.size() < static_cast<std::size_t>(declared)) {
    return Refuse(messages, "Data section incomplete!");
  }

  if (!FillFromColumns(firstX, lastX, ys, rule, s, messages)) return false;
  s.NScans = 1;
  std::string date, time;
  if (FileDateStamp(path, date, time)) {
    s.AcqDate = s.ModDate = date;
    s.AcqTime = s.ModTime = time;
  }
  s.SetComment(comment.empty() ? "imported ASP file" : CutText(comment));
  return true;
}

}  // namespace tesvar
