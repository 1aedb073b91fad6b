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

// The data lines are written in place, through a pointer into room made
// ahead in the text (appending each token of one to four bytes to a string
// cost a call for each): 16000 ordinates make this the writer's hottest
// code.
class TextWriter {
 public:
  // expected: the size the text will likely reach, taken at the first
  // growth.
  TextWriter(std::string& out, std::size_t expected)
      : out_(out), len_(out.size()), expected_(expected) {}
  ~TextWriter() { out_.resize(len_); }

  // Where to write next, with room for n bytes.
  char* Room(std::size_t n) {
    if (len_ + n > out_.size()) Grow(n);
    return out_.data() + len_;
  }
  // The bytes up to end are written.
  void Wrote(const char* end) { len_ = static_cast<std::size_t>(end - out_.data()); }
  std::size_t Size() const { return len_; }

  void CrLf() {
    char* p = Room(2);
    p[0] = '\r';
    p[1] = '\n';
    Wrote(p + 2);
  }
  // RealToText41's text of an abscissa.
  void Abscissa(double x) {
    if (char* end = PutRealToText41(Room(16), x)) {
      Wrote(end);
    } else {
      const std::string text = RealToText41(x);
      char* p = Room(text.size());
      Wrote(std::copy(text.begin(), text.end(), p));
    }
  }

 private:
  // The expected size is taken at once; past it the text grows by half.
  [[gnu::noinline]] void Grow(std::size_t n) {
    out_.resize(std::max({len_ + n, expected_, out_.size() + out_.size() / 2}));
  }

  std::string& out_;
  std::size_t len_;
  std::size_t expected_;
};

// The FIX lines: X and six ordinates in FormatInt's text (decimal, '-' for
// negatives), each after one blank.
void AppendFixData(std::string& out, std::size_t expected, const Spectrum& s,
                   const std::vector<int32_t>& y) {
  constexpr std::size_t kMaxOrdinateText = 12;  // blank, sign, 10 digits
  const int n = static_cast<int>(y.size());
  TextWriter w(out, expected);
  for (int i = 0; i < n; ++i) {
    if (i % 6 == 0) {
      w.CrLf();
      w.Abscissa(s.PointX(i));
    }
    char* p = w.Room(kMaxOrdinateText);
    *p++ = ' ';
    w.Wrote(std::to_chars(p, p + kMaxOrdinateText - 1, y[static_cast<std::size_t>(i)]).ptr);
  }
  w.CrLf();
}

// The DIFDUP lines: X, the SQZ value of the line's first point, then DIF
// tokens with DUP counts for runs of equal differences, closed once a line
// holds more than 70 characters.
void AppendDifDupData(std::string& out, std::size_t expected, const Spectrum& s,
                      const std::vector<int32_t>& y) {
  const int n = static_cast<int>(y.size());
  TextWriter w(out, expected);
  w.CrLf();
  if (n == 0) return;
  auto put = [&w](char* (*token)(char*, int64_t), int64_t value) {
    w.Wrote(token(w.Room(kMaxAsdfToken), value));
  };
  std::size_t lineStart = w.Size();
  w.Abscissa(s.PointX(0));
  put(PutSqz, y[0]);
  int64_t last = y[0];
  int64_t prev = 0;
  int dup = 1;
  bool first = true;
  for (int i = 1; i < n; ++i) {
    if (w.Size() - lineStart > kDifDupLineLimit) {
      if (dup > 1) put(PutDup, dup);
      w.CrLf();
      // The new line repeats the last ordinate: the reader's Y check.
      lineStart = w.Size();
      w.Abscissa(s.PointX(i - 1));
      put(PutSqz, y[static_cast<std::size_t>(i - 1)]);
      last = y[static_cast<std::size_t>(i - 1)];
      dup = 1;
      first = true;
    }
    int64_t d = y[static_cast<std::size_t>(i)] - last;
    if (first) {
      put(PutDif, d);
      prev = d;
      first = false;
    } else if (d == prev) {
      ++dup;
    } else {
      if (dup > 1) {
        put(PutDup, dup);
        dup = 1;
      }
      put(PutDif, d);
      prev = d;
    }
    last = y[static_cast<std::size_t>(i)];
    if (i == n - 1 && dup > 1) {
      put(PutDup, dup);
      dup = 1;
    }
  }
  w.CrLf();
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

namespace {

// The text for the record into out (emptied first), whose room is used as
// it is and kept.
void BuildJcampTextInto(const Spectrum& s, JcampForm form, std::string& out) {
  int n = PointCount(s);
  // The ordinates as integers; their room is kept from call to call too.
  thread_local std::vector<int32_t> y;
  y.resize(static_cast<std::size_t>(n));
  // MaxT never below 0.0, MinT never above 1.0: the scan starts from there.
  double maxT = 0.0;
  double minT = 1.0;
  int64_t largest = 0;  // of the ordinates' magnitudes
  for (int i = 0; i < n; ++i) {
    double t = CarriedOrdinate(s.TransY[static_cast<std::size_t>(i)]);
    if (t > maxT) maxT = t;
    if (t < minT) minT = t;
    const int32_t r = RoundToInt32Inline(t * 100000.0);
    y[static_cast<std::size_t>(i)] = r;
    largest = std::max(largest, std::abs(static_cast<int64_t>(r)));
  }

  const char* model = s.Model == 1 ? "PERKIN-ELMER 1600 FT-IR" : "PERKIN-ELMER 2000 FT-IR";
  out.clear();
  // Room for the whole text as a rule: FIX ordinates take a blank, a sign
  // and the digits of the largest, a line its break and abscissa besides;
  // DIFDUP tokens take about three bytes.
  const std::size_t ordinateText = 2 + std::to_string(largest).size();
  const std::size_t abscissaText =
      std::max(RealToText41(s.PointX(0)).size(), RealToText41(s.PointX(std::max(n - 1, 0))).size());
  const std::size_t expected =
      1024 + static_cast<std::size_t>(n) * (form == JcampForm::kFix ? ordinateText : 4) +
      static_cast<std::size_t>(n / 6 + 1) * (2 + abscissaText);
  out.reserve(expected);
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
    AppendFixData(out, expected, s, y);
  } else {
    AppendDifDupData(out, expected, s, y);
  }
  line("##END= ");
}

}  // namespace

std::string BuildJcampText(const Spectrum& s, JcampForm form) {
  std::string out;
  BuildJcampTextInto(s, form, out);
  return out;
}

SaveResult WriteJcampFile(const std::string& path, Spectrum& spectrum, JcampForm form) {
  StampModification(spectrum.ModDate, spectrum.ModTime);
  // The text's room is kept for the next export: a new text of 100 KB and
  // more at each export took fresh pages from the system, each faulted in.
  thread_local std::string text;
  BuildJcampTextInto(spectrum, form, text);
  SaveResult result = SaveFile(path, text);
  if (TooLargeToKeep(text)) std::string().swap(text);
  return result;
}

}  // namespace tesvar
