#include "formats/jcamp_reader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/date_stamp.h"
#include "core/number_text.h"
#include "formats/import_rules.h"
#include "formats/jcamp_instrument.h"
#include "formats/load_result.h"

namespace tesvar {

namespace {

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

std::string_view DropLeadingBlanks(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  return text.substr(i);
}

std::string_view DropTrailingBlanks(std::string_view text) {
  std::size_t n = text.size();
  while (n > 0 && (text[n - 1] == ' ' || text[n - 1] == '\t')) --n;
  return text.substr(0, n);
}

// The part of a line before its first '=' (all of it when there is none).
std::string_view LabelPart(std::string_view line) { return line.substr(0, line.find('=')); }

// Drops blanks, tabs and "-_/\" from the label part: "##DATA TYPE=" and
// "##SPECTROMETER/DATA SYSTEM=" become "##DATATYPE=" and
// "##SPECTROMETERDATASYSTEM=".
// The result goes to out, whose room is kept from line to line.
void NormaliseLabel(std::string_view line, std::string& out) {
  std::size_t e = line.find('=');
  if (e == std::string_view::npos) e = line.size();
  out.clear();
  for (std::size_t i = 0; i < e; ++i) {
    char c = line[i];
    if (c != ' ' && c != '-' && c != '_' && c != '/' && c != '\\' && c != '\t') out += c;
  }
  out.append(line.substr(e));
}

enum class FieldKind { kText, kDate, kDataType, kYUnits, kReal, kInt };

struct Field {
  std::string_view label;
  FieldKind kind;
  std::string JcampHeader::*text;
  double JcampHeader::*real;
};

// In this order; a label matches wherever it occurs in the line.
constexpr Field kFields[] = {
    {"##TITLE", FieldKind::kText, &JcampHeader::Title, nullptr},
    {"##DATATYPE", FieldKind::kDataType, &JcampHeader::DataType, nullptr},
    {"##ORIGIN", FieldKind::kText, &JcampHeader::Origin, nullptr},
    {"##OWNER", FieldKind::kText, &JcampHeader::Owner, nullptr},
    {"##DATE", FieldKind::kDate, &JcampHeader::Date, nullptr},
    {"##TIME", FieldKind::kDate, &JcampHeader::Time, nullptr},
    {"##SPECTROMETER", FieldKind::kText, &JcampHeader::Spectrometer, nullptr},
    {"##INSTRUMENTPARAMETERS", FieldKind::kText, &JcampHeader::InstrumentParameters, nullptr},
    {"##XUNITS", FieldKind::kText, &JcampHeader::XUnits, nullptr},
    {"##YUNITS", FieldKind::kYUnits, &JcampHeader::YUnits, nullptr},
    {"##XFACTOR", FieldKind::kReal, nullptr, &JcampHeader::XFactor},
    {"##YFACTOR", FieldKind::kReal, nullptr, &JcampHeader::YFactor},
    {"##FIRSTX", FieldKind::kReal, nullptr, &JcampHeader::FirstXValue},
    {"##LASTX", FieldKind::kReal, nullptr, &JcampHeader::LastXValue},
    {"##NPOINTS", FieldKind::kInt, nullptr, nullptr},
    {"##FIRSTY", FieldKind::kReal, nullptr, &JcampHeader::FirstY},
    {"##MAXY", FieldKind::kReal, nullptr, &JcampHeader::MaxY},
    {"##MINY", FieldKind::kReal, nullptr, &JcampHeader::MinY},
    {"##XYDATA", FieldKind::kText, &JcampHeader::XyDataForm, nullptr},
};

constexpr int kFieldCount = static_cast<int>(std::size(kFields));
static_assert(kFieldCount <= 32);

// For each capital, the fields whose label has it after "##" (every label
// is "##" and a capital), as bits of their places in kFields.
constexpr std::array<uint32_t, 26> kFieldsByLetter = [] {
  std::array<uint32_t, 26> byLetter{};
  for (int i = 0; i < kFieldCount; ++i) byLetter[kFields[i].label[2] - 'A'] |= uint32_t{1} << i;
  return byLetter;
}();

void StoreText(std::string& field, std::string_view value) {
  if (!value.empty()) field = std::string(value.substr(0, kMaxJcampText));
}

// The first CR or LF of text, or its size: one pass, sixteen bytes at a
// time where the text has them (header lines are short, and two searches,
// one for each byte, cost more than the line).
std::size_t FirstLineBreak(std::string_view text) {
  std::size_t i = 0;
#if defined(__SSE2__)
  const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
  for (; i + 16 <= text.size(); i += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
    const int m = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)));
    if (m != 0) return i + static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(m)));
  }
#endif
  while (i < text.size() && text[i] != '\r' && text[i] != '\n') ++i;
  return i;
}

}  // namespace

std::string_view ReadRawLine(std::string_view text, std::size_t& pos, std::size_t maxLen) {
  if (pos >= text.size()) return {};
  std::string_view chunk = text.substr(pos, kRawChunk);
  const std::size_t end = FirstLineBreak(chunk);
  pos += end < chunk.size() ? end + 1 : end;
  return chunk.substr(0, std::min(end, maxLen));
}

void UpperCaseText(std::string& text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
}

std::string ParseJcampLabel(std::string_view line, JcampHeader& header) {
  std::size_t e = line.find('=');
  if (e == std::string_view::npos) return "";
  // The upper-case copy; its room is kept from call to call (a header
  // holds a few dozen labels).
  thread_local std::string copy;
  copy.assign(line.data(), line.size());
  for (std::size_t i = 0; i <= e; ++i) {
    char& c = copy[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  std::string_view value = DropLeadingBlanks(std::string_view(copy).substr(e + 1));

  // Every label starts with "##", so it can only stand where "##" does:
  // the places are found once, and each label is compared there alone.
  constexpr int kMarks = 8;
  std::size_t marks[kMarks];
  int markCount = 0;
  bool manyMarks = false;
  for (std::size_t k = copy.find("##"); k != std::string::npos; k = copy.find("##", k + 1)) {
    if (markCount == kMarks) {
      manyMarks = true;
      break;
    }
    marks[markCount++] = k;
  }
  // The fields whose letter follows a mark: only they can be in the line.
  uint32_t candidates = manyMarks ? ~uint32_t{0} : 0;
  for (int i = 0; i < markCount; ++i) {
    const char c = marks[i] + 2 < copy.size() ? copy[marks[i] + 2] : '\0';
    if (c >= 'A' && c <= 'Z') candidates |= kFieldsByLetter[c - 'A'];
  }
  auto holds = [&](std::string_view label) {
    if (manyMarks) return Contains(copy, label);
    // The letter after "##" tells most labels apart before a comparison.
    for (int i = 0; i < markCount; ++i) {
      if (marks[i] + 2 < copy.size() && copy[marks[i] + 2] == label[2] &&
          copy.compare(marks[i], label.size(), label) == 0) {
        return true;
      }
    }
    return false;
  };

  std::string result;
  for (uint32_t m = candidates & ((uint64_t{1} << kFieldCount) - 1); m != 0; m &= m - 1) {
    const Field& f = kFields[std::countr_zero(m)];
    if (!holds(f.label)) continue;
    switch (f.kind) {
      case FieldKind::kText:
        StoreText(header.*f.text, value);
        break;
      case FieldKind::kDate:
        if (value.empty()) {
          header.*f.text = "unknown";
        } else {
          StoreText(header.*f.text, value);
        }
        break;
      case FieldKind::kDataType:
        StoreText(header.DataType, value);
        UpperCaseText(header.DataType);
        if (!Contains(header.DataType, "INFRARED")) result = "no IR spectrum";
        break;
      case FieldKind::kYUnits:
        StoreText(header.YUnits, value);
        UpperCaseText(header.YUnits);
        if (Contains(header.YUnits, "TRANS")) {
          header.OrdinateKind = OrdinateKind::kTransmittance;
        } else if (Contains(header.YUnits, "ABSORB")) {
          header.OrdinateKind = OrdinateKind::kAbsorbance;
        } else {
          result = "no transmittance or absorbance spectrum";
        }
        break;
      case FieldKind::kReal:
      case FieldKind::kInt: {
        std::string_view number = DropTrailingBlanks(value);
        // "4400." is read as 4400; "1.0." stays unreadable.
        std::size_t dot = number.find('.');
        if (dot != std::string_view::npos && dot + 1 == number.size()) number.remove_suffix(1);
        if (number.empty()) break;
        bool ok;
        if (f.kind == FieldKind::kInt) {
          ok = ParseStrictInt(number, header.DeclaredPoints);
        } else {
          double v;
          ok = ParseDecimal(number, v);
          if (ok) header.*f.real = v;
        }
        if (!ok) result = "invalid " + std::string(f.label) + "= " + std::string(number);
        break;
      }
    }
  }
  return result;
}

namespace {

// The reading of one block into s, the fresh record of the load.
// `instrumentForms`: the text comes from RewriteInstrumentJcamp, and numbers
// in exponent form are read on data lines.
bool ReadJcampBlock(std::string_view all, const std::string& path, Spectrum& s, Messages& messages,
                    bool instrumentForms) {
  JcampHeader h;
  int32_t scanCount = 1;
  messages.StatusText(2, "");

  std::size_t pos = 0;
  std::string line;
  while (pos < all.size()) {
    std::string_view raw = ReadRawLine(all, pos);
    ScanCountFromLine(raw, scanCount);
    std::string_view stripped = DropLeadingBlanks(raw);
    if (!Contains(stripped, "##")) continue;
    NormaliseLabel(stripped, line);
    std::string message = ParseJcampLabel(line, h);
    if (!message.empty()) return Refuse(messages, message);
    if (Contains(LabelPart(line), "##XYDATA")) break;
  }

  // Too many points are refused in the header's own words, too few in
  // every kind's.
  const auto declared = static_cast<std::size_t>(std::max(h.DeclaredPoints, 0));
  if (CheckPointCount(declared) == PointCountFault::kTooMany) {
    return Refuse(messages, "too many data points");
  }
  if (!PointCountAllowed(declared, messages)) return false;
  if (h.FirstXValue == h.LastXValue) return Refuse(messages, "##FIRSTX= equal ##LASTX");
  // Each end is finite, but their span may not be (1e308 down to -1e308):
  // the step would be infinite and every point's abscissa NaN.
  if (!std::isfinite(h.FirstXValue - h.LastXValue)) {
    return Refuse(messages, "Invalid abscissa values!");
  }

  XyDecodeState st;
  if (h.FirstXValue > h.LastXValue) {
    st.IndexStep = 1;
    st.PointIndex = 0;
    s.XStart = s.FirstX = h.FirstXValue;
    s.XEnd = s.LastX = h.LastXValue;
  } else {
    st.IndexStep = -1;
    st.PointIndex = h.DeclaredPoints - 1;
    s.XStart = s.FirstX = h.LastXValue;
    s.XEnd = s.LastX = h.FirstXValue;
  }
  st.OrdinateKind = h.OrdinateKind;
  st.YFactor = h.YFactor;
  st.ExponentNumbers = instrumentForms;
  // Absorbances declared with a largest value of 0.1 or less are taken to
  // be given in tenths.
  if (h.OrdinateKind == OrdinateKind::kAbsorbance && h.MaxY <= 0.1) st.YFactor *= 10;

  std::string message = DecodeDataSection(all, pos, st, s);
  if (!message.empty()) {
    messages.StatusText(2, message);
    return false;
  }

  // A header without a single ordinate (a data label the reader does not
  // recognise, a file cut after the header) is not a spectrum.
  if (st.PointsRead == 0) return Refuse(messages, "No data points found!");

  s.YConverted = true;
  s.NPoints = h.DeclaredPoints;
  s.LastIndex = h.DeclaredPoints - 1;
  s.NScans = scanCount;
  s.YScale = kPercentYScale;
  s.IdentLine = kImportIdentLine;
  if (st.PeakT > 2.0 || st.PeakT <= 0.1) AdjustOrdinate(s, messages);
  s.XStep = (s.XStart - s.XEnd) / (s.NPoints - 1);
  RawFromTransY(s);
  if (st.PointsRead != h.DeclaredPoints) {
    messages.StatusText(
        2, "##NPOINTS= " + FormatInt(h.DeclaredPoints) + " (" + FormatInt(st.PointsRead) + ")");
  }

  s.AcqDate = s.ModDate = h.Date;
  s.AcqTime = s.ModTime = h.Time;
  if (s.AcqDate.empty() || Contains(s.AcqDate, "unknown")) {
    std::string date, time;
    if (FileDateStamp(path, date, time)) {
      s.AcqDate = s.ModDate = date;
      s.AcqTime = s.ModTime = time;
    }
  }
  s.OperatorName = h.Owner;
  s.SetComment(h.Title.empty() ? h.Origin : h.Title);
  s.DeltaX = std::fabs(s.FirstX - s.LastX) / (s.NPoints - 1);

  if (h.OrdinateKind == OrdinateKind::kAbsorbance) {
    messages.Note("absorbance converted to transmittance");
  } else if (h.OrdinateKind == OrdinateKind::kNone) {
    messages.Note("no y units: taken as absorbance and converted to transmittance");
  }
  return true;
}

// Says what a reading said, in order.
void Replay(const LoadResult& said, Messages& messages) {
  said.Tell(messages);
  for (const std::string& note : said.notes) messages.Note(note);
}

}  // namespace

bool ReadJcampText(const std::string& text, const std::string& path, Spectrum& fresh,
                   Messages& messages) {
  // The reading every file has always had comes first, so that a file it
  // takes gives the same record and the same messages as ever ...
  LoadResult plain;
  {
    NoticeRecorder recorder(plain.notices, plain.notes);
    if (ReadJcampBlock(text, path, fresh, recorder, false)) {
      Replay(plain, messages);
      return true;
    }
  }
  // ... and only a file it refuses is read again as instruments write it.
  const InstrumentJcamp rewritten = RewriteInstrumentJcamp(text);
  if (!rewritten.refusal.empty()) {
    messages.StatusText(2, "");
    messages.ErrorBox(rewritten.refusal);
    return false;
  }
  LoadResult again;
  NoticeRecorder recorder(again.notices, again.notes);
  fresh.StartAfresh();
  const bool loaded = ReadJcampBlock(rewritten.text, path, fresh, recorder, true);
  if (loaded && !rewritten.block.empty()) {
    // The block goes to the status panel, after any warning of its own.
    std::string status;
    for (const LoadNotice& notice : again.notices) {
      if (notice.kind == LoadNotice::Kind::kStatusText && notice.panel == 2) status = notice.text;
    }
    recorder.StatusText(2, status.empty() ? rewritten.block : rewritten.block + ", " + status);
    recorder.Note(rewritten.block);
  }
  // Refused again: a file the plain reading refused within its data keeps
  // that message (the two readings read data lines alike, but for comments
  // and exponents); one it refused in its header gets the message of the
  // reading that went past the header, unless the rewrite took a block or
  // a table apart, which the plain reading never saw.
  const bool plainRefusedInData =
      !plain.notices.empty() && plain.notices.back().kind == LoadNotice::Kind::kStatusText;
  if (loaded || !plainRefusedInData || !rewritten.block.empty() || rewritten.table) {
    Replay(again, messages);
  } else {
    Replay(plain, messages);
  }
  return loaded;
}

}  // namespace tesvar
