#include "formats/delimited_text.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "core/date_stamp.h"
#include "core/number_text.h"
#include "formats/import_rules.h"
#include "formats/text_lines.h"
#include "formats/unit_names.h"
#include "formats/x_grid.h"

namespace tesvar {

namespace {

// A line cut into fields, and whether its commas are decimal points.
struct Fields {
  std::vector<std::string_view> items;
  bool decimalComma = false;
};

// Splits at every byte of `separators`, trims blanks, drops empty fields
// (aligned columns repeat their separators).
void SplitAt(std::string_view line, std::string_view separators, Fields& out) {
  std::size_t start = 0;
  while (start <= line.size()) {
    std::size_t end = line.find_first_of(separators, start);
    if (end == std::string_view::npos) end = line.size();
    std::string_view field = TrimBlanks(line.substr(start, end - start));
    if (!field.empty()) out.items.push_back(field);
    start = end + 1;
  }
}

bool HoldsDecimalComma(std::string_view field) {
  const std::size_t comma = field.find(',');
  return comma != std::string_view::npos && comma > 0 && comma + 1 < field.size() &&
         field.find(',', comma + 1) == std::string_view::npos;
}

Fields SplitLine(std::string_view line) {
  Fields fields;
  if (line.find_first_of("\t;") != std::string_view::npos) {
    SplitAt(line, "\t;", fields);
    fields.decimalComma = true;
    return fields;
  }
  if (line.find(',') != std::string_view::npos) {
    Fields byBlanks;
    SplitAt(line, " ", byBlanks);
    if (byBlanks.items.size() >= 2 &&
        std::all_of(byBlanks.items.begin(), byBlanks.items.end(), HoldsDecimalComma)) {
      byBlanks.decimalComma = true;
      return byBlanks;
    }
    SplitAt(line, ",", fields);
    return fields;
  }
  SplitAt(line, " ", fields);
  return fields;
}

bool FieldNumber(std::string_view field, bool decimalComma, double& value) {
  if (decimalComma && field.find(',') != std::string_view::npos) {
    std::string copy(field);
    std::replace(copy.begin(), copy.end(), ',', '.');
    return ParseDecimal(copy, value);
  }
  return ParseDecimal(field, value);
}

// The x and y of a data line; false for any other line.
bool DataPair(std::string_view line, double& x, double& y) {
  const Fields fields = SplitLine(line);
  return fields.items.size() >= 2 && FieldNumber(fields.items[0], fields.decimalComma, x) &&
         FieldNumber(fields.items[1], fields.decimalComma, y);
}

// A header line "KEY=value", "##KEY=value", "KEY,value", "KEY: value":
// the key upper-cased without blanks, '-', '_' and '/', and the value
// without blanks around it and without a "$$" comment.
bool KeyValue(std::string_view line, std::string& key, std::string_view& value) {
  line = TrimBlanks(line);
  while (!line.empty() && line.front() == '#') line.remove_prefix(1);
  const std::size_t end = line.find_first_of("=,;\t:");
  if (end == std::string_view::npos || end == 0) return false;
  key.clear();
  for (char c : line.substr(0, end)) {
    if (c == ' ' || c == '-' || c == '_' || c == '/') continue;
    key += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  }
  value = line.substr(end + 1);
  const std::size_t comment = value.find("$$");
  if (comment != std::string_view::npos) value = value.substr(0, comment);
  value = TrimBlanks(value);
  return true;
}

// What the header says about the file.
struct HeaderNames {
  bool haveXUnits = false;
  bool haveYUnits = false;
  std::string xUnits;
  std::string yUnits;
  std::string title;
  std::string owner;
  std::string lastLine;  // the last non-empty header line: the column headings
};

void ReadHeaderLine(std::string_view line, HeaderNames& names) {
  if (TrimBlanks(line).empty()) return;
  names.lastLine = std::string(line);
  std::string key;
  std::string_view value;
  if (!KeyValue(line, key, value)) return;
  if (key == "XUNITS") {
    names.haveXUnits = true;
    names.xUnits = std::string(value);
  } else if (key == "YUNITS") {
    names.haveYUnits = true;
    names.yUnits = std::string(value);
  } else if (key == "TITLE") {
    names.title = CutText(std::string(value));
  } else if (key == "OWNER") {
    names.owner = CutText(std::string(value));
  }
}

}  // namespace

bool ReadDelimitedText(const std::string& text, const std::string& path, Spectrum& s,
                       Messages& messages) {
  std::vector<double> xs;
  std::vector<double> ys;
  HeaderNames names;
  int32_t scanCount = 1;
  bool dataEnded = false;

  TextLineReader lines(text);
  while (!lines.AtEnd()) {
    const std::string_view line = lines.Next();
    double x = 0;
    double y = 0;
    if (!dataEnded && DataPair(line, x, y)) {
      // One more than the record holds is enough to refuse the file.
      if (CheckPointCount(xs.size()) == PointCountFault::kTooMany) break;
      xs.push_back(x);
      ys.push_back(y);
      continue;
    }
    ScanCountFromLine(line.substr(0, std::min(line.size(), kMaxText)), scanCount);
    if (xs.empty()) {
      ReadHeaderLine(line, names);
    } else if (!TrimBlanks(line).empty()) {
      dataEnded = true;  // the footer
    }
  }

  // The units: named lines first, else the column headings.
  std::string xName = names.xUnits;
  std::string yName = names.yUnits;
  if (!names.haveXUnits || !names.haveYUnits) {
    const Fields headings = SplitLine(names.lastLine);
    if (headings.items.size() >= 2) {
      if (!names.haveXUnits) xName = std::string(headings.items[0]);
      if (!names.haveYUnits) yName = std::string(headings.items[1]);
    }
  }
  const XUnitName xUnit = ClassifyXUnit(xName);
  if (!xUnit.foreign.empty()) return Refuse(messages, ForeignXMessage(xUnit.foreign));
  const YUnitName yUnit = ClassifyYUnit(yName);
  if (!yUnit.foreign.empty()) return Refuse(messages, ForeignYMessage(yUnit.foreign));

  if (!PointCountAllowed(xs.size(), messages)) return false;
  if (!EvenlySpaced(xs.data(), xs.size())) return Refuse(messages, kUnevenXMessage);

  if (!FillFromColumns(xs.front(), xs.back(), ys, yUnit.rule, s, messages)) return false;
  s.NScans = scanCount;
  std::string date, time;
  if (FileDateStamp(path, date, time)) {
    s.AcqDate = s.ModDate = date;
    s.AcqTime = s.ModTime = time;
  }
  s.OperatorName = names.owner;
  s.SetComment(names.title.empty() ? "imported text export" : names.title);
  return true;
}

}  // namespace tesvar
