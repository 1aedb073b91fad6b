#include "formats/jcamp_instrument.h"

#include <charconv>
#include <vector>

#include "core/number_text.h"
#include "formats/x_grid.h"

namespace tesvar {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

struct Line {
  std::string_view content;
  std::string_view end;  // "\r\n", "\n", "\r" or "" at the end of the text
};

std::vector<Line> SplitLines(std::string_view text) {
  std::vector<Line> lines;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t stop = pos;
    while (stop < text.size() && text[stop] != '\r' && text[stop] != '\n') ++stop;
    if (stop == text.size()) {
      lines.push_back({text.substr(pos), {}});
      break;
    }
    std::size_t after = stop + 1;
    if (text[stop] == '\r' && after < text.size() && text[after] == '\n') ++after;
    lines.push_back({text.substr(pos, stop - pos), text.substr(stop, after - stop)});
    pos = after;
  }
  return lines;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view v) {
  while (!v.empty() && IsBlank(v.front())) v.remove_prefix(1);
  while (!v.empty() && IsBlank(v.back())) v.remove_suffix(1);
  return v;
}

// A value without its "$$" comment and the blanks around it.
std::string_view DropComment(std::string_view value) {
  std::size_t at = value.find("$$");
  return Trim(at == std::string_view::npos ? value : value.substr(0, at));
}

bool HasComment(std::string_view text) { return text.find("$$") != std::string_view::npos; }

char Capital(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Capitals without blanks, tabs and "-_/\": how labels, and the values
// named by fixed words (data types), are compared.
std::string Normal(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (!IsBlank(c) && c != '-' && c != '_' && c != '/' && c != '\\') out += Capital(c);
  }
  return out;
}

struct Label {
  bool isLabel = false;
  std::string key;        // "##DATATYPE"
  std::string_view head;  // the label as written, up to and with its '='
  std::string_view value;
};

// A line that starts with "##" (after blanks, or a byte order mark) and
// holds an '='.
Label LabelOf(std::string_view content) {
  if (content.starts_with(kByteOrderMark)) content.remove_prefix(kByteOrderMark.size());
  content = Trim(content);
  Label label;
  if (!content.starts_with("##")) return label;
  std::size_t e = content.find('=');
  if (e == std::string_view::npos) return label;
  label.isLabel = true;
  label.key = Normal(content.substr(0, e));
  label.head = content.substr(0, e + 1);
  label.value = content.substr(e + 1);
  return label;
}

bool IsNumericLabel(std::string_view key) {
  for (std::string_view k : {"##XFACTOR", "##YFACTOR", "##FIRSTX", "##LASTX", "##NPOINTS",
                             "##FIRSTY", "##MAXY", "##MINY"}) {
    if (key == k) return true;
  }
  return false;
}

enum class TypeClass { kNone, kInfrared, kOtherIrSpelling, kOther };

// "INFRARED SPECTRUM" is what the reader has always taken; the other
// spellings of an infrared spectrum need wavenumbers to be taken. Peak
// tables and interferograms are no curve to show; a link block holds none.
TypeClass ClassOfType(std::string_view value) {
  const std::string n = Normal(DropComment(value));
  if (n.find("PEAK") != std::string::npos || n.find("INTERFEROGRAM") != std::string::npos ||
      n == "LINK") {
    return TypeClass::kOther;
  }
  if (n.find("INFRARED") != std::string::npos) return TypeClass::kInfrared;
  if (n == "IR" || n.starts_with("IRSPECTRUM") || n.find("FTIR") != std::string::npos) {
    return TypeClass::kOtherIrSpelling;
  }
  return TypeClass::kOther;
}

bool IsWavenumberUnit(std::string_view value) {
  std::string n;
  for (char c : DropComment(value)) {
    if (!IsBlank(c)) n += Capital(c);
  }
  return n.starts_with("1/CM") || n.starts_with("CM-1") || n.starts_with("CM^-1") ||
         n.starts_with("WAVENUMBER");
}

bool IsTransmittanceOrAbsorbance(std::string_view value) {
  std::string n(DropComment(value));
  for (char& c : n) c = Capital(c);
  return n.find("TRANS") != std::string::npos || n.find("ABSORB") != std::string::npos;
}

enum class DataForm { kNone, kYList, kXyTable };

// What the header of a block says, from its first line up to its data
// label (or its end).
struct BlockHeader {
  bool hasType = false, hasXUnits = false, hasYUnits = false;
  std::string_view type, xUnits, yUnits, xFactor;
  std::size_t dataLabel = 0;  // line index; valid when form is not kNone
  DataForm form = DataForm::kNone;
};

BlockHeader ScanHeader(const std::vector<Line>& lines, std::size_t first, std::size_t limit) {
  BlockHeader h;
  for (std::size_t i = first; i < limit; ++i) {
    Label label = LabelOf(lines[i].content);
    if (!label.isLabel) continue;
    if (label.key == "##DATATYPE") {
      h.hasType = true;
      h.type = label.value;
    } else if (label.key == "##XUNITS") {
      h.hasXUnits = true;
      h.xUnits = label.value;
    } else if (label.key == "##YUNITS") {
      h.hasYUnits = true;
      h.yUnits = label.value;
    } else if (label.key == "##XFACTOR") {
      h.xFactor = DropComment(label.value);
    } else if (label.key == "##XYPOINTS" || label.key == "##XYDATA") {
      h.dataLabel = i;
      h.form = label.key == "##XYPOINTS" || Normal(label.value).find("XY..XY") != std::string::npos
                   ? DataForm::kXyTable
                   : DataForm::kYList;
      return h;
    } else if (label.key == "##END" || (i > first && label.key == "##TITLE")) {
      return h;
    }
  }
  return h;
}

bool IsShownSpectrum(const BlockHeader& h) {
  const TypeClass type = h.hasType ? ClassOfType(h.type) : TypeClass::kOther;
  return (type == TypeClass::kInfrared || type == TypeClass::kOtherIrSpelling) &&
         (!h.hasXUnits || IsWavenumberUnit(h.xUnits)) && h.hasYUnits &&
         IsTransmittanceOrAbsorbance(h.yUnits) && h.form != DataForm::kNone;
}

void Append(std::string& out, std::string_view content, std::string_view end) {
  out.append(content);
  out.append(end.empty() ? std::string_view("\n") : end);
}

std::string FormatX(double x) {
  char buffer[64];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, x);
  return ec == std::errc() ? std::string(buffer, end) : std::string("0");
}

// The (XY..XY) table after lines[dataLabel] up to the next label, written
// as "x y" lines the reader reads as plain numbers, with FIRSTX, LASTX and
// NPOINTS taken from it. Returns the index of the first line after the
// table, or sets refusal.
std::size_t RewriteTable(const std::vector<Line>& lines, const BlockHeader& h, std::string& out,
                         std::string& refusal) {
  std::vector<std::string_view> tokens;
  std::size_t i = h.dataLabel + 1;
  for (; i < lines.size(); ++i) {
    std::string_view content = lines[i].content;
    if (LabelOf(content).isLabel) break;
    content = DropComment(content);
    std::size_t p = 0;
    while (p < content.size()) {
      std::size_t start = content.find_first_not_of(" \t,;", p);
      if (start == std::string_view::npos) break;
      std::size_t stop = content.find_first_of(" \t,;", start);
      if (stop == std::string_view::npos) stop = content.size();
      tokens.push_back(content.substr(start, stop - start));
      p = stop;
    }
  }
  double xFactor = 1.0;
  if (!h.xFactor.empty() && (!ParseDecimal(h.xFactor, xFactor) || xFactor == 0)) xFactor = 1.0;
  std::vector<double> xs;
  for (std::size_t k = 0; k < tokens.size(); k += 2) {
    double x = 0, y = 0;
    if (!ParseDecimal(tokens[k], x)) {
      refusal = "invalid data point: " + std::string(tokens[k]);
      return i;
    }
    if (k + 1 == tokens.size()) {
      refusal = "invalid data point: -----";
      return i;
    }
    if (!ParseDecimal(tokens[k + 1], y)) {
      refusal = "invalid data point: " + std::string(tokens[k + 1]);
      return i;
    }
    xs.push_back(x * xFactor);
  }
  if (xs.size() >= 2 && !EvenlySpaced(xs.data(), xs.size())) {
    refusal = kUnevenXMessage;
    return i;
  }
  if (!xs.empty()) {
    out += "##FIRSTX= " + FormatX(xs.front()) + "\n";
    out += "##LASTX= " + FormatX(xs.back()) + "\n";
  }
  out += "##NPOINTS= " + FormatInt(static_cast<int64_t>(xs.size())) + "\n";
  out += "##XYDATA= (XY..XY)\n";
  for (std::size_t k = 0; k + 1 < tokens.size(); k += 2) {
    out.append(tokens[k]);
    out += ' ';
    out.append(tokens[k + 1]);
    out += '\n';
  }
  return i;
}

// Lines [first, limit) of one block in the reader's form: comments gone
// from numeric values and data lines, another spelling
// of the infrared data type written as the reader's, a table as y values.
void RewriteBlock(const std::vector<Line>& lines, std::size_t first, std::size_t limit,
                  const BlockHeader& h, InstrumentJcamp& result) {
  std::string& out = result.text;
  const bool otherSpelling = h.hasType && ClassOfType(h.type) == TypeClass::kOtherIrSpelling;
  bool inData = false;
  for (std::size_t i = first; i < limit; ++i) {
    const Line& line = lines[i];
    Label label = LabelOf(line.content);
    if (h.form != DataForm::kNone && i == h.dataLabel) {
      if (h.form == DataForm::kXyTable) {
        result.table = true;
        std::size_t next = RewriteTable(lines, h, out, result.refusal);
        if (!result.refusal.empty()) return;
        i = next - 1;
        continue;
      }
      inData = true;
    }
    if (!label.isLabel) {
      if (inData && HasComment(line.content)) {
        Append(out, DropComment(line.content), line.end);
      } else {
        Append(out, line.content, line.end);
      }
      continue;
    }
    // Labels stay as written (the reader compares them its own way); only
    // their values change where a comment or another spelling stands.
    if (label.key == "##END") inData = false;
    if (IsNumericLabel(label.key) && HasComment(label.value)) {
      Append(out, std::string(label.head) + " " + std::string(DropComment(label.value)), line.end);
    } else if (label.key == "##DATATYPE" && otherSpelling) {
      Append(out, std::string(label.head) + " INFRARED SPECTRUM", line.end);
    } else {
      Append(out, line.content, line.end);
    }
  }
}

}  // namespace

InstrumentJcamp RewriteInstrumentJcamp(std::string_view text) {
  InstrumentJcamp result;
  const std::vector<Line> lines = SplitLines(text);

  // The link header: up to the second "##TITLE=" (the first child block).
  std::size_t firstTitle = lines.size(), secondTitle = lines.size();
  bool compound = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    Label label = LabelOf(lines[i].content);
    if (!label.isLabel) continue;
    if (label.key == "##TITLE") {
      if (firstTitle == lines.size()) {
        firstTitle = i;
        continue;
      }
      secondTitle = i;
      break;
    }
    if (label.key == "##XYDATA" || label.key == "##XYPOINTS") break;
    if (label.key == "##BLOCKS" ||
        (label.key == "##DATATYPE" && Normal(DropComment(label.value)) == "LINK")) {
      compound = true;
    }
  }

  // Child blocks: each "##TITLE=" after the link header up to its "##END=".
  // A link header without a child block is read as a block of its own.
  struct Child {
    std::size_t first, limit;
  };
  std::vector<Child> children;
  std::size_t open = lines.size();
  for (std::size_t i = secondTitle; compound && i < lines.size(); ++i) {
    Label label = LabelOf(lines[i].content);
    if (!label.isLabel) continue;
    if (label.key == "##TITLE") {
      open = i;
    } else if (label.key == "##END" && open != lines.size()) {
      children.push_back({open, i + 1});
      open = lines.size();
    }
  }
  if (!children.empty()) {
    for (std::size_t k = 0; k < children.size(); ++k) {
      BlockHeader h = ScanHeader(lines, children[k].first, children[k].limit);
      if (!IsShownSpectrum(h)) continue;
      result.block =
          "block " + FormatInt(int64_t(k + 1)) + " of " + FormatInt(int64_t(children.size()));
      RewriteBlock(lines, children[k].first, children[k].limit, h, result);
      if (!result.refusal.empty()) result.text.clear();
      return result;
    }
    result.refusal = "no IR spectrum";
    return result;
  }

  BlockHeader h = ScanHeader(lines, 0, lines.size());
  if (h.hasType) {
    const TypeClass type = ClassOfType(h.type);
    if (type == TypeClass::kOther) {
      result.refusal = "no IR spectrum";
      return result;
    }
    if (h.hasXUnits && !IsWavenumberUnit(h.xUnits)) {
      result.refusal = "x units are not wavenumbers: " + std::string(DropComment(h.xUnits));
      return result;
    }
    if (type == TypeClass::kOtherIrSpelling && !h.hasXUnits) {
      result.refusal = "no IR spectrum";
      return result;
    }
  }
  RewriteBlock(lines, 0, lines.size(), h, result);
  if (!result.refusal.empty()) result.text.clear();
  return result;
}

bool LooksLikeJcamp(std::string_view firstBytes) {
  if (firstBytes.starts_with(kByteOrderMark)) firstBytes.remove_prefix(kByteOrderMark.size());
  std::size_t start = firstBytes.find_first_not_of(" \t\r\n");
  if (start == std::string_view::npos) return false;
  const std::vector<Line> lines = SplitLines(firstBytes.substr(start));
  if (lines.empty() || LabelOf(lines[0].content).key != "##TITLE") return false;
  for (const Line& line : lines) {
    if (LabelOf(line.content).key == "##JCAMPDX") return true;
  }
  return false;
}

}  // namespace tesvar
