#include "formats/sp_file.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/date_stamp.h"
#include "core/file_io.h"
#include "core/number_text.h"
#include "formats/import_rules.h"

namespace tesvar {

namespace {

constexpr char kCtrlZ = 26;

// SP header lines: a line ends at CR (an LF right after it belongs to the
// line end, as files in the field have CR LF), a lone LF is an ordinary
// character of the line, so comments may carry one; Ctrl-Z ends the header
// as it ends a text file, and only the first 255 characters of a line are
// kept.
class HeaderLines {
 public:
  explicit HeaderLines(const std::string& bytes) : bytes_(bytes) {}

  bool AtEnd() const { return pos_ >= bytes_.size() || bytes_[pos_] == kCtrlZ; }

  // The next line; an empty line at the end of the file.
  std::string Next() {
    std::string line;
    if (AtEnd()) return line;
    std::size_t start = pos_;
    while (pos_ < bytes_.size() && bytes_[pos_] != '\r' && bytes_[pos_] != kCtrlZ) ++pos_;
    line.assign(bytes_, start, std::min<std::size_t>(pos_ - start, kMaxText));
    if (pos_ < bytes_.size() && bytes_[pos_] == '\r') {
      ++pos_;
      if (pos_ < bytes_.size() && bytes_[pos_] == '\n') ++pos_;
    }
    return line;
  }

  void Skip(int count) {
    for (int i = 0; i < count; ++i) Next();
  }

  std::size_t Position() const { return pos_; }

 private:
  const std::string& bytes_;
  std::size_t pos_ = 0;
};

bool Contains(const std::string& text, const char* part) {
  return text.find(part) != std::string::npos;
}

int32_t ReadLe32(const unsigned char* p) {
  uint32_t v = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
               static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
  return static_cast<int32_t>(v);
}

void StoreLe32(char* p, int32_t value) {
  uint32_t v = static_cast<uint32_t>(value);
  p[0] = static_cast<char>(v & 0xFF);
  p[1] = static_cast<char>((v >> 8) & 0xFF);
  p[2] = static_cast<char>((v >> 16) & 0xFF);
  p[3] = static_cast<char>((v >> 24) & 0xFF);
}

}  // namespace

bool ReadSpBytes(const std::string& bytes, const std::string&, Spectrum& s, Messages& messages) {
  HeaderLines lines(bytes);

  std::string ident = lines.Next();
  if (ident.compare(0, 5, "PE IR") != 0) return Refuse(messages, "Unknown file format!");
  s.Model = 1;
  s.IdentLine = ident;

  lines.Skip(1);
  s.HeaderLine3 = lines.Next();
  s.AcqDate = lines.Next();
  s.AcqTime = lines.Next();
  s.ModDate = lines.Next();
  s.ModTime = lines.Next();
  s.OperatorName = lines.Next();
  s.SetComment(lines.Next());

  bool lastXOk = ParseStrictReal(lines.Next(), s.LastX);
  if (!ParseStrictInt(lines.Next(), s.NScans)) {
    messages.Bell();
    s.NScans = 0;
  }

  lines.Skip(9);  // lines 12-20
  std::string instrument = lines.Next();
  if (Contains(instrument, "1600")) s.Model = 1;
  if (Contains(instrument, "2000")) s.Model = 2;

  bool haveHdr = false;
  while (!lines.AtEnd()) {
    if (Contains(lines.Next(), "#HDR")) {
      haveHdr = true;
      break;
    }
  }
  if (!haveHdr || lines.AtEnd()) return Refuse(messages, "Data section not found!");

  lines.Skip(4);  // H+1 .. H+4
  std::string yMode = lines.Next();
  s.YScale = kPercentYScale;
  if (Contains(yMode, "A")) {
    s.YScale = kAbsorbanceYScale;
  } else {
    yMode = "%T";
  }
  lines.Skip(2);  // H+6, H+7
  bool firstXOk = ParseStrictReal(lines.Next(), s.FirstX);
  if (!ParseStrictReal(lines.Next(), s.DeltaX)) s.DeltaX = 0;
  bool nPointsOk = ParseStrictInt(lines.Next(), s.NPoints);

  // The data follow the "#DATA" line of the header block.
  bool haveData = false;
  while (!lines.AtEnd()) {
    if (lines.Next().compare(0, 5, "#DATA") == 0) {
      haveData = true;
      break;
    }
  }
  if (!haveData) return Refuse(messages, "Data section not found!");
  std::size_t dataStart = lines.Position();

  // Both ends finite is not enough: 1e308 down to -1e308 spans more than a
  // double holds, and an infinite step puts every point at NaN.
  if (!firstXOk || !lastXOk || !std::isfinite(s.FirstX - s.LastX)) {
    return Refuse(messages, "Invalid abscissa values!");
  }
  if (s.FirstX == s.LastX) return Refuse(messages, "First and last X are equal!");
  if (!nPointsOk || s.NPoints < 2) return Refuse(messages, "Invalid number of data points!");

  // The ordinates run to the end of the file: more of them than the record
  // holds refuse the file, as does a larger declared count.
  std::size_t count = (bytes.size() - dataStart) / 4;
  if (TooManyPoints(std::max(count, static_cast<std::size_t>(s.NPoints)), messages)) return false;
  if (count < static_cast<std::size_t>(s.NPoints))
    return Refuse(messages, "Data section incomplete!");

  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data() + dataStart);
  for (std::size_t i = 0; i < count; ++i) s.RawY[i] = ReadLe32(data + 4 * i);

  s.XStart = s.FirstX;
  s.XEnd = s.LastX;
  s.LastIndex = s.NPoints - 1;
  s.XStep = (s.XStart - s.XEnd) / (s.NPoints - 1);

  bool absorbance = s.YScale == kAbsorbanceYScale && !Contains(yMode, "T");
  for (int i = 0; i <= s.LastIndex; ++i) {
    double r = s.RawY[i];
    if (absorbance) {
      // 10^(-A) as 1 / e^(ln 10 x A), in extended precision: the floats
      // this way of computing gives are the ones the golden files hold.
      long double e = std::exp(2.302585092994045684017991454684364L * r / s.YScale);
      s.TransY[i] = static_cast<float>(1.0L / e);
    } else {
      s.TransY[i] = static_cast<float>((r / s.YScale) * 0.01);
    }
  }

  s.YConverted = true;
  return true;
}

std::string BuildSpBytes(Spectrum& spectrum) {
  const std::string crlf = "\r\n";
  std::string out;
  out.reserve(1024 + 4 * static_cast<std::size_t>(spectrum.LastIndex + 1));
  auto line = [&](const std::string& text) {
    out += text;
    out += crlf;
  };
  // Header texts may come from imports, whose lines can hold a Ctrl-Z or
  // (from other sources) a CR: written as they are, the reader would end
  // the header or the line there, lose every line after it and refuse the
  // file. They become blanks.
  auto textLine = [&](const std::string& text) {
    std::size_t start = out.size();
    out += text;
    for (std::size_t i = start; i < out.size(); ++i) {
      if (out[i] == kCtrlZ || out[i] == '\r') out[i] = ' ';
    }
    out += crlf;
  };
  textLine(spectrum.IdentLine);
  line("-1");
  textLine(spectrum.HeaderLine3);
  textLine(spectrum.AcqDate);
  textLine(spectrum.AcqTime);
  textLine(spectrum.ModDate);
  textLine(spectrum.ModTime);
  textLine(spectrum.OperatorName);
  textLine(spectrum.Comment);
  line(FormatExp23(spectrum.LastX));
  line(FormatInt(spectrum.NScans));
  for (int i = 12; i <= 38; ++i) line("");
  line("#HDR");
  line("-1");
  line("-1");
  line("#GR");
  line("CM-1");
  line("%T");
  line("2.38418579101563e-05");
  line("0.0");
  line(FormatFixed(spectrum.FirstX, 6));
  line(FormatFixed(-std::fabs(spectrum.DeltaX), 2));
  line(FormatInt(spectrum.NPoints));
  line("");
  line("");
  line("");
  line("#DATA");
  int count = std::min(spectrum.LastIndex + 1, kArraySlots);
  std::size_t dataStart = out.size();
  out.resize(dataStart + 4 * static_cast<std::size_t>(std::max(count, 0)));
  for (int i = 0; i < count; ++i) {
    int32_t v = RoundToInt32(static_cast<double>(spectrum.TransY[i]) * kRawPerFraction);
    spectrum.RawY[i] = v;
    StoreLe32(&out[dataStart + 4 * static_cast<std::size_t>(i)], v);
  }
  return out;
}

SaveResult WriteSpFile(const std::string& path, Spectrum& spectrum) {
  StampModification(spectrum.ModDate, spectrum.ModTime);
  return SaveFile(path, BuildSpBytes(spectrum));
}

}  // namespace tesvar
