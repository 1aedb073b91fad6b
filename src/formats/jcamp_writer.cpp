#include "formats/jcamp_writer.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <vector>

#include "core/date_stamp.h"
#include "core/file_io.h"
#include "core/number_text.h"
#include "formats/asdf.h"

namespace tesvar {

namespace {

constexpr const char* kCrLf = "\r\n";
// A DIFDUP line is closed before the next point once it is longer than this.
constexpr std::size_t kDifDupLineLimit = 70;

// Header lines that carry free text are cut at 255 characters. A line break
// inside the text (an SP comment may hold a lone LF) would end the header
// line early and let the rest be read as a line of its own, so it becomes a
// blank.
std::string TextLine(const std::string& label, const std::string& text) {
  std::string line = CutText(label + text);
  std::replace(line.begin(), line.end(), '\r', ' ');
  std::replace(line.begin(), line.end(), '\n', ' ');
  return line;
}

// Number of points the record holds, bounded by the arrays.
int PointCount(const Spectrum& s) { return std::clamp(s.LastIndex + 1, 0, kArraySlots); }

// The FIX lines are written in place into a buffer that grows line by line:
// 16000 ordinates make this the writer's hottest loop. The ordinates have
// FormatInt's text (decimal, '-' for negatives, no blanks).
void AppendFixData(std::string& out, const Spectrum& s, const std::vector<int32_t>& y) {
  constexpr std::size_t kMaxOrdinateText = 12;  // blank, sign, 10 digits
  int n = static_cast<int>(y.size());
  std::size_t len = out.size();
  for (int i = 0; i < n; ++i) {
    if (i % 6 == 0) {
      std::string x = RealToText41(s.PointX(i));
      std::size_t need = len + 2 + x.size() + 6 * kMaxOrdinateText + 2;
      if (need > out.size()) out.resize(std::max(need, out.size() + out.size() / 2));
      out[len++] = '\r';
      out[len++] = '\n';
      x.copy(&out[len], x.size());
      len += x.size();
    }
    out[len++] = ' ';
    char* end =
        std::to_chars(&out[len], out.data() + out.size(), y[static_cast<std::size_t>(i)]).ptr;
    len = static_cast<std::size_t>(end - out.data());
  }
  out.resize(len);
  out += kCrLf;
}

void AppendDifDupData(std::string& out, const Spectrum& s, const std::vector<int32_t>& y) {
  int n = static_cast<int>(y.size());
  out += kCrLf;
  if (n == 0) return;
  std::string line = RealToText41(s.PointX(0));
  AppendSqz(line, y[0]);
  int64_t last = y[0];
  int64_t prev = 0;
  int dup = 1;
  bool first = true;
  for (int i = 1; i < n; ++i) {
    if (line.size() > kDifDupLineLimit) {
      if (dup > 1) AppendDup(line, dup);
      out += line;
      out += kCrLf;
      // The new line repeats the last ordinate: the reader's Y check.
      line = RealToText41(s.PointX(i - 1));
      AppendSqz(line, y[static_cast<std::size_t>(i - 1)]);
      last = y[static_cast<std::size_t>(i - 1)];
      dup = 1;
      first = true;
    }
    int64_t d = y[static_cast<std::size_t>(i)] - last;
    if (first) {
      AppendDif(line, d);
      prev = d;
      first = false;
    } else if (d == prev) {
      ++dup;
    } else {
      if (dup > 1) {
        AppendDup(line, dup);
        dup = 1;
      }
      AppendDif(line, d);
      prev = d;
    }
    last = y[static_cast<std::size_t>(i)];
    if (i == n - 1 && dup > 1) {
      AppendDup(line, dup);
      dup = 1;
    }
  }
  out += line;
  out += kCrLf;
}

// The ordinate as the data lines carry it, for the header's FIRSTY, MAXY
// and MINY: an infinite or huge TransY is written as the int32 bound its
// rounding is clamped to, and NaN as the 0 it becomes, never as "INF" or
// "NAN", which no reader takes for a number. Identity for every ordinate a
// spectrum really has.
double CarriedOrdinate(double t) {
  if (std::isnan(t)) return 0.0;
  return std::clamp(t, INT32_MIN / 100000.0, INT32_MAX / 100000.0);
}

}  // namespace

std::string BuildJcampText(const Spectrum& s, JcampForm form) {
  int n = PointCount(s);
  std::vector<int32_t> y(static_cast<std::size_t>(n));
  // MaxT never below 0.0, MinT never above 1.0: the scan starts from there.
  double maxT = 0.0;
  double minT = 1.0;
  for (int i = 0; i < n; ++i) {
    double t = CarriedOrdinate(s.TransY[static_cast<std::size_t>(i)]);
    if (t > maxT) maxT = t;
    if (t < minT) minT = t;
    y[static_cast<std::size_t>(i)] = RoundToInt32(t * 100000.0);
  }

  const char* model = s.Model == 1 ? "PERKIN-ELMER 1600 FT-IR" : "PERKIN-ELMER 2000 FT-IR";
  std::string out;
  out.reserve(1024 + static_cast<std::size_t>(n) * (form == JcampForm::kFix ? 8 : 4));
  auto line = [&](const std::string& text) {
    out += text;
    out += kCrLf;
  };
  line(TextLine("##TITLE= ", s.Comment));
  line("##JCAMP-DX= 4.24");
  line("##DATA TYPE= INFRARED SPECTRUM");
  line(form == JcampForm::kFix ? "##$ASDF FORM= FIX" : "##$ASDF FORM= DIFDUP");
  line(std::string("##ORIGIN= ") + model);
  line(TextLine("##OWNER= ", s.OperatorName));
  line(TextLine("##DATE= ", s.AcqDate));
  line(TextLine("##TIME= ", s.AcqTime));
  line(std::string("##SPECTROMETER/DATA SYSTEM= ") + model);
  line("##INSTRUMENT PARAMETERS= " + FormatInt(s.NScans) + " scans");
  line("##DATA PROCESSING= ");
  line("##XUNITS= 1/CM");
  line("##YUNITS= TRANSMITTANCE");
  line("##XFACTOR= 1.0");
  line("##YFACTOR= 0.00001");
  line("##FIRSTX= " + FormatFixed(s.FirstX, 1));
  line("##LASTX= " + FormatFixed(s.LastX, 1));
  line("##NPOINTS= " + FormatInt(s.NPoints));
  line("##FIRSTY= " + FormatFixed(CarriedOrdinate(s.TransY[0]), 5));
  line("##MAXY= " + FormatFixed(maxT, 5));
  line("##MINY= " + FormatFixed(minT, 5));
  out += "##XYDATA= (X++(Y..Y))";
  if (form == JcampForm::kFix) {
    AppendFixData(out, s, y);
  } else {
    AppendDifDupData(out, s, y);
  }
  line("##END= ");
  return out;
}

bool WriteJcampFile(const std::string& path, Spectrum& spectrum, JcampForm form,
                    Messages& messages) {
  StampModification(spectrum.ModDate, spectrum.ModTime);
  std::string text = BuildJcampText(spectrum, form);
  return WriteFileOrReport(path, text, messages);
}

}  // namespace tesvar
