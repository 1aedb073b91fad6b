// The one-pass decoder of the usual data lines against the general decoder:
// for many generated lines, both must leave the same TransY, the same state
// and the same message, bit for bit. The lines mix the usual forms with
// everything the one-pass decoder has to hand over (decimals in tokens,
// commas, blanks inside numbers, long digit runs, failing Y checks, '#' and
// '$', stores at the ends of the arrays).
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "core/messages.h"
#include "formats/decoder_paths.h"
#include "formats/import_rules.h"
#include "formats/jcamp_decoder.h"
#include "formats/jcamp_reader.h"
#include "formats/reader_fixture.h"

namespace tesvar {
namespace {

class LineMaker {
 public:
  // oddOneIn: how rarely a byte the one-pass decoder hands over is put in.
  LineMaker(uint32_t seed, int oddOneIn) : rng_(seed), oddOneIn_(oddOneIn) {}

  int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
  bool OneIn(int n) { return Below(n) == 0; }

  std::string Digits(int count) {
    std::string s;
    for (int i = 0; i < count; ++i) s += static_cast<char>('0' + Below(10));
    return s;
  }

  // Mostly short, now and then up to 17 digits, a point or a bad form.
  std::string Number() {
    int kind = Below(20);
    if (kind == 0) return Digits(1 + Below(17));
    if (kind == 1) return Digits(Below(4)) + "." + Digits(Below(6));
    if (kind == 2) return Digits(1 + Below(3)) + "." + Digits(1) + "." + Digits(1);
    if (kind == 3) return "1419480" + Digits(3);  // around the limit of plain numbers
    if (kind == 4) return "0";
    return Digits(1 + Below(6));
  }

  std::string Abscissa() {
    switch (Below(8)) {
      case 0:
        return Digits(1 + Below(4)) + "." + Digits(1 + Below(2));
      case 1:
        return "." + Digits(1 + Below(2));
      case 2:
        return Number();
      default:
        return Digits(3 + Below(2));
    }
  }

  std::string Token() {
    static const std::string kSqz = "@ABCDEFGHIabcdefghi";
    static const std::string kDif = "%JKLMNOPQRjklmnopqr";
    static const std::string kDup = "STUVWXYZs";
    int kind = Below(30);
    std::string token;
    if (kind < 14) {
      token = kDif[static_cast<std::size_t>(Below(19))];
      token += Digits(Below(4));
    } else if (kind < 20) {
      token = kSqz[static_cast<std::size_t>(Below(19))];
      token += Digits(Below(6));
    } else if (kind < 24) {
      token = kDup[static_cast<std::size_t>(Below(9))];
      token += Digits(Below(kind == 23 ? 5 : 2));
    } else if (kind < 26) {
      token = "?";
      if (OneIn(4)) token += Digits(1);
    } else if (kind == 26) {
      token = kSqz[static_cast<std::size_t>(Below(19))] + Digits(1 + Below(15));
    } else if (kind == 27) {
      token = kDif[static_cast<std::size_t>(Below(19))] + Digits(1) + "." + Digits(1);
    } else {
      token = OneIn(oddOneIn_ / 4) ? Odd() : "J";
    }
    return token;
  }

  // Bytes the one-pass decoder hands over.
  std::string Odd() {
    static const char* const kOdd[] = {",", "+", "-",  ".",  " ", "\t", "#",     "$",
                                       "x", ";", "  ", " 1", "?", "E1", "##END="};
    return kOdd[Below(static_cast<int>(std::size(kOdd)))];
  }

  // startWithRepeat: a "?" first, which passes the Y check.
  std::string AsdfLine(bool startWithRepeat = false) {
    std::string line = Abscissa();
    if (OneIn(4)) line += " ";
    if (startWithRepeat) line += "?";
    int tokens = Below(30);
    for (int i = 0; i < tokens; ++i) {
      line += Token();
      if (OneIn(12)) line += OneIn(2) ? " " : "\t";
    }
    if (OneIn(8)) line += " ";
    return line;
  }

  std::string Separator() {
    static const char* const kSeparators[] = {" ",  " ",  " ", "  ", "-",  "+",  " -",
                                              "\t", " +", ",", ",,", " ,", ",,,"};
    return kSeparators[Below(static_cast<int>(std::size(kSeparators)))];
  }

  std::string PlainLine() {
    std::string line = OneIn(10) ? Separator() + Abscissa() : Abscissa();
    int numbers = Below(10);
    for (int i = 0; i < numbers; ++i) {
      line += Separator();
      line += OneIn(oddOneIn_) ? Odd() : Number();
    }
    int trailing = Below(6);
    if (trailing == 0) line += " ";
    if (trailing == 1) line += "  ";
    if (trailing == 2) line += "-";
    return line;
  }

  std::string Line() {
    int kind = Below(10);
    if (kind == 0) return std::string(static_cast<std::size_t>(Below(3)), '5');
    return kind < 6 ? AsdfLine() : PlainLine();
  }

  XyDecodeState State() {
    XyDecodeState st;
    static const int32_t kStarts[] = {0, 1, 15998, 15999, 16000, -3, 16005};
    st.PointIndex = OneIn(4) ? kStarts[Below(7)] : Below(16001);
    st.IndexStep = OneIn(20) ? 2 : (OneIn(2) ? 1 : -1);
    st.PointsRead = OneIn(30) ? std::numeric_limits<int32_t>::max() - Below(3) : Below(16000);
    static const double kLast[] = {
        0.0, -0.0, 85320.0, -12.0, 0.5, 1e17, std::numeric_limits<double>::quiet_NaN()};
    st.LastValue = OneIn(2) ? kLast[Below(7)] : static_cast<double>(Below(200000) - 100000);
    st.DifMode = OneIn(2);
    st.LastFromDif = OneIn(2);
    st.PeakT = OneIn(3) ? 0.0 : Below(1000) / 100.0;
    st.LineX = 1234.5;
    static const OrdinateKind kKinds[] = {OrdinateKind::kTransmittance, OrdinateKind::kAbsorbance,
                                          OrdinateKind::kNone};
    st.OrdinateKind = kKinds[OneIn(3) ? Below(3) : 0];
    static const double kFactors[] = {1.0, 0.00001, 0.01, 1e300, 0.0, -1.0};
    st.YFactor = kFactors[Below(6)];
    return st;
  }

 private:
  std::mt19937 rng_;
  int oddOneIn_;
};

uint64_t Bits(double v) { return std::bit_cast<uint64_t>(v); }

// Bitwise equality of two states, with the first field that differs.
std::string StateDifference(const XyDecodeState& a, const XyDecodeState& b) {
  if (a.PointIndex != b.PointIndex) return "PointIndex";
  if (a.IndexStep != b.IndexStep) return "IndexStep";
  if (a.PointsRead != b.PointsRead) return "PointsRead";
  if (Bits(a.LastValue) != Bits(b.LastValue)) return "LastValue";
  if (a.DifMode != b.DifMode) return "DifMode";
  if (a.LastFromDif != b.LastFromDif) return "LastFromDif";
  if (Bits(a.PeakT) != Bits(b.PeakT)) return "PeakT";
  if (Bits(a.LineX) != Bits(b.LineX)) return "LineX";
  return "";
}

// The first slot whose bits differ, or -1.
int SlotDifference(const Spectrum& a, const Spectrum& b) {
  if (std::memcmp(a.TransY.data(), b.TransY.data(), sizeof(float) * kArraySlots) == 0) return -1;
  for (int i = 0; i < kArraySlots; ++i) {
    if (std::bit_cast<uint32_t>(a.TransY[i]) != std::bit_cast<uint32_t>(b.TransY[i])) return i;
  }
  return -1;
}

// The one-pass readers on each path that has them, and the import of whole
// data sections on every path.
class JcampUsualLines : public OnEachDecoderPath {};
class JcampSectionImport : public OnEachDecoderPath {};

INSTANTIATE_TEST_SUITE_P(OnePassPaths, JcampUsualLines, ::testing::ValuesIn(kOnePassDecoderPaths),
                         DecoderPathTestName);
INSTANTIATE_TEST_SUITE_P(EveryPath, JcampSectionImport, ::testing::ValuesIn(kEveryDecoderPath),
                         DecoderPathTestName);

TEST_P(JcampUsualLines, SameResultAsTheGeneralDecoder) {
  LineMaker make(20261208, 25);
  Spectrum general, combined, usualOnly;
  for (int i = 0; i < kArraySlots; ++i) {
    general.TransY[i] = combined.TransY[i] = usualOnly.TransY[i] = static_cast<float>(i % 97);
  }
  int decodedInOnePass = 0;
  constexpr int kLines = 40000;
  for (int n = 0; n < kLines; ++n) {
    std::string line = make.Line();
    XyDecodeState start = make.State();
    XyDecodeState stGeneral = start, stCombined = start, stUsual = start;

    std::string expected = DecodeXyDataLineGeneral(line, stGeneral, general);
    std::string message = DecodeXyDataLine(line, stCombined, combined);
    ASSERT_EQ(message, expected) << "line \"" << line << "\"";
    ASSERT_EQ(StateDifference(stCombined, stGeneral), "") << "line \"" << line << "\"";
    ASSERT_EQ(SlotDifference(combined, general), -1) << "line \"" << line << "\"";

    std::size_t length = DecodeUsualXyDataLine(line, line.size(), stUsual, usualOnly);
    if (length == kNotUsualLine) {
      // Handed over: nothing may have changed.
      ASSERT_EQ(StateDifference(stUsual, start), "") << "line \"" << line << "\"";
      usualOnly.TransY = general.TransY;  // catch up for the next line
    } else {
      ++decodedInOnePass;
      ASSERT_EQ(length, line.size()) << "line \"" << line << "\"";
      ASSERT_EQ(expected, "") << "line \"" << line << "\"";
      ASSERT_EQ(StateDifference(stUsual, stGeneral), "") << "line \"" << line << "\"";
      ASSERT_EQ(SlotDifference(usualOnly, general), -1) << "line \"" << line << "\"";
    }
  }
  // The generated lines must exercise both ways, not only the hand-over.
  EXPECT_GT(decodedInOnePass, kLines / 5);
  EXPECT_LT(decodedInOnePass, kLines * 4 / 5);
}

// Compact ASDF lines (a letter and digits per token, no blanks), which the
// one-pass decoder reads sixteen bytes at a time when the text runs on
// after the line, against the general decoder. The lines run up to 150
// bytes, so across every block and mask boundary; their tokens are mostly
// DIF tokens of one to four bytes, with SQZ and DUP tokens, longer tokens,
// '%' and a matching Y check in between.
class CompactLineMaker {
 public:
  explicit CompactLineMaker(uint32_t seed) : make_(seed, 1000) {}

  // An SQZ token for an integer value.
  static std::string Sqz(int64_t v) {
    std::string digits = std::to_string(v < 0 ? -v : v);
    int lead = digits[0] - '0';
    char letter = v < 0 ? static_cast<char>('a' + lead - 1) : static_cast<char>('@' + lead);
    return letter + digits.substr(1);
  }

  std::string Token(bool mostlyDif) {
    static const std::string kDif = "%JKLMNOPQRjklmnopqr";
    static const std::string kDup = "STUVWXYZs";
    int kind = make_.Below(100);
    if (kind < (mostlyDif ? 93 : 60)) {
      return kDif[static_cast<std::size_t>(make_.Below(19))] + make_.Digits(make_.Below(4));
    }
    if (kind < 96)
      return kDup[static_cast<std::size_t>(make_.Below(9))] + make_.Digits(make_.Below(2));
    if (kind < 98) return Sqz(make_.Below(2000000) - 1000000);
    return kDif[static_cast<std::size_t>(make_.Below(19))] + make_.Digits(4 + make_.Below(5));
  }

  // A line for the state st: after a DIF line it mostly starts with the Y
  // check, else with an SQZ value or now and then a DIF or DUP token.
  std::string Line(const XyDecodeState& st) {
    std::string line = make_.Digits(1 + make_.Below(4));
    if (make_.OneIn(3)) line += "." + make_.Digits(1);
    double last = st.LastValue;
    if (st.LastFromDif && !make_.OneIn(10) && std::fabs(last) < 1e15 && last == std::trunc(last)) {
      line += Sqz(static_cast<int64_t>(last));
    } else if (make_.OneIn(8)) {
      line += Token(false);
    } else {
      line += Sqz(make_.Below(200000) - 50000);
    }
    bool mostlyDif = !make_.OneIn(4);
    int length = make_.OneIn(6) ? 100 + make_.Below(50) : 20 + make_.Below(70);
    while (static_cast<int>(line.size()) < length) line += Token(mostlyDif);
    return line;
  }

  XyDecodeState State() {
    XyDecodeState st = make_.State();
    st.PointIndex = make_.OneIn(10) ? 15990 + make_.Below(11) : make_.Below(15000);
    if (make_.OneIn(8)) st.IndexStep = -1;
    st.PointsRead = make_.Below(16000);
    return st;
  }

  LineMaker& make() { return make_; }

 private:
  LineMaker make_;
};

// Decodes each line the way the import meets it (the text running on after
// it, or the line cut by maxLen, or the line ending the text) and through
// the general decoder; returns how many were read in one pass.
template <typename MakeLine>
int CompareWithTheGeneralDecoder(CompactLineMaker& make, int lines, MakeLine makeLine) {
  Spectrum general, usual;
  int decodedInOnePass = 0;
  for (int n = 0; n < lines; ++n) {
    XyDecodeState start = make.State();
    std::string line = makeLine(start);
    std::string text = line;
    std::size_t maxLen = 255;
    const std::string next = "7999.5I2723K9l0M0l4mL6m5j2\r\n##END=\r\n";
    switch (make.make().Below(8)) {
      case 0:
        maxLen = static_cast<std::size_t>(make.make().Below(static_cast<int>(line.size()) + 1));
        text += "\r\n" + next;
        break;
      case 1:
        break;  // no bytes to read ahead
      default:
        text += (make.make().OneIn(2) ? "\r\n" : "\n") + next;
    }
    std::string_view raw(text.data(), std::min(maxLen, line.size()));

    XyDecodeState stGeneral = start, stUsual = start;
    std::string expected = DecodeXyDataLineGeneral(raw, stGeneral, general);
    std::size_t length = DecodeUsualXyDataLine(text, maxLen, stUsual, usual);
    if (length == kNotUsualLine) {
      EXPECT_EQ(StateDifference(stUsual, start), "") << "line \"" << raw << "\"";
    } else {
      ++decodedInOnePass;
      EXPECT_EQ(length, raw.size()) << "line \"" << raw << "\"";
      EXPECT_EQ(expected, "") << "line \"" << raw << "\"";
      EXPECT_EQ(StateDifference(stUsual, stGeneral), "") << "line \"" << raw << "\"";
      EXPECT_EQ(SlotDifference(usual, general), -1) << "line \"" << raw << "\"";
    }
    if (::testing::Test::HasFailure()) break;
    usual.TransY = general.TransY;
  }
  return decodedInOnePass;
}

TEST_P(JcampUsualLines, CompactLinesSameAsTheGeneralDecoder) {
  CompactLineMaker make(4242);
  constexpr int kLines = 30000;
  int read = CompareWithTheGeneralDecoder(make, kLines,
                                          [&](const XyDecodeState& st) { return make.Line(st); });
  EXPECT_GT(read, kLines / 2);
}

// Plain lines of integers between blanks and tabs, of one to nine digits,
// with up to two blanks at the end, up to 150 bytes long.
TEST_P(JcampUsualLines, IntegerLinesSameAsTheGeneralDecoder) {
  CompactLineMaker make(777);
  LineMaker& m = make.make();
  constexpr int kLines = 30000;
  int read = CompareWithTheGeneralDecoder(make, kLines, [&](const XyDecodeState&) {
    std::string line = m.Digits(1 + m.Below(4));
    if (m.OneIn(2)) line += "." + m.Digits(1 + m.Below(2));
    int length = m.OneIn(6) ? 100 + m.Below(50) : m.Below(80);
    int width = m.OneIn(3) ? 0 : 1 + m.Below(8);  // numbers of one width, as FIX writers give
    while (static_cast<int>(line.size()) < length) {
      line += m.OneIn(10) ? (m.OneIn(2) ? "\t" : "  ") : " ";
      line += m.Digits(width != 0 ? width : 1 + m.Below(m.OneIn(20) ? 9 : 8));
    }
    line += std::string(static_cast<std::size_t>(m.OneIn(3) ? m.Below(3) : 0), ' ');
    return line;
  });
  EXPECT_GT(read, kLines / 2);
}

// A DIFDUP section as a writer gives it, line after line with the Y check,
// through the import: every ordinate as the general decoder gives it.
TEST_P(JcampSectionImport, CompactSectionImportsAsLineByLine) {
  CompactLineMaker make(99);
  for (int file = 0; file < 40; ++file) {
    XyDecodeState st;
    st.OrdinateKind = OrdinateKind::kTransmittance;
    st.YFactor = file % 2 == 0 ? 0.00001 : 1e30;
    const bool ascending = file % 4 == 2;  // the slots filled from the end
    if (ascending) {
      st.IndexStep = -1;
      st.PointIndex = kMaxPoints - 1;
    }
    Spectrum expected;
    std::string data;
    while (st.PointsRead < 15000) {
      std::string line = make.Line(st);
      if (!DecodeXyDataLineGeneral(line, st, expected).empty()) break;
      data += line + "\r\n";
    }
    std::string text =
        "##TITLE= t\r\n##YUNITS= TRANSMITTANCE\r\n##YFACTOR= " +
        std::string(file % 2 == 0 ? "0.00001" : "1E30") +
        (ascending ? "\r\n##FIRSTX= 400\r\n##LASTX= 4000" : "\r\n##FIRSTX= 4000\r\n##LASTX= 400") +
        "\r\n##NPOINTS= 16000\r\n##XYDATA= (X++(Y..Y))\r\n" + data + "##END=\r\n";
    Spectrum s;
    RecordedMessages m;
    ASSERT_TRUE(test::Read(FileKind::kJcampFix, text, "", s, m)) << m.status[2];
    expected.LastIndex = kMaxPoints - 1;
    SilentMessages silent;
    if (st.PeakT > 2.0 || st.PeakT <= 0.1) AdjustOrdinate(expected, silent);
    ASSERT_EQ(std::memcmp(s.TransY.data(), expected.TransY.data(), sizeof(float) * kMaxPoints), 0)
        << "file " << file;
  }
}

// The import of a data section against reading it raw line by raw line
// through the general decoder: the same ordinates (bit for bit), count,
// message or warning.
enum class Import { kLoaded, kRefused, kNothing };

Import ImportAgainstLineByLine(const std::string& text) {
  Spectrum expected;
  XyDecodeState st;
  JcampHeader header;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::string_view raw = ReadRawLine(text, pos);
    std::string line = std::string(raw);
    if (line.find("##") == std::string::npos) continue;
    for (char& c : line) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(ParseJcampLabel(line, header), "");
    if (line.find("##XYDATA") != std::string::npos) break;
  }
  st.OrdinateKind = header.OrdinateKind;
  st.YFactor = header.YFactor;
  if (header.FirstXValue < header.LastXValue) {
    st.IndexStep = -1;
    st.PointIndex = header.DeclaredPoints - 1;
  }
  std::string message;
  while (pos < text.size() && message.empty()) {
    std::string_view line = ReadRawLine(text, pos);
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    if (line.find("##END=") != std::string_view::npos) break;
    if (line.empty() || line.find("##") != std::string_view::npos ||
        line.find('$') != std::string_view::npos) {
      continue;
    }
    message = DecodeXyDataLineGeneral(line, st, expected);
  }
  Spectrum s;
  RecordedMessages m;
  bool loaded = test::Read(FileKind::kJcampFix, text, "", s, m);
  EXPECT_EQ(loaded, message.empty() && st.PointsRead > 0) << text;
  if (!message.empty()) {
    EXPECT_EQ(m.status[2], message) << text;
    return Import::kRefused;
  }
  if (!loaded) return Import::kNothing;
  EXPECT_EQ(s.NPoints, header.DeclaredPoints);
  if (st.PointsRead != header.DeclaredPoints) {
    EXPECT_EQ(m.status[2], "##NPOINTS= " + std::to_string(header.DeclaredPoints) + " (" +
                               std::to_string(st.PointsRead) + ")")
        << text;
  }
  // The import brings the ordinates into range by powers of ten, those of
  // the declared points.
  expected.LastIndex = header.DeclaredPoints - 1;
  SilentMessages silent;
  if (st.PeakT > 2.0 || st.PeakT <= 0.1) AdjustOrdinate(expected, silent);
  EXPECT_EQ(std::memcmp(s.TransY.data(), expected.TransY.data(), sizeof(float) * kArraySlots), 0)
      << text;
  return Import::kLoaded;
}

// Data sections of FIX lines, which the import reads a run at a time,
// with now and then a line of another form within them (a trailing blank, a
// tab, two blanks, a sign, a decimal, eight or nine digits, an ASDF line, a
// comment, an empty line, a line of 255 bytes or more), lone CR or LF, the
// last line without its end, X ascending or descending, near the end of the
// arrays, and under an absorbance or a huge YFACTOR (no run reading then).
TEST_P(JcampSectionImport, FixSectionsImportAsLineByLine) {
  LineMaker m(31337, 1000);
  const char* const kEnds[] = {"\r\n", "\r\n", "\r\n", "\n", "\r", "\r\n\r\n"};
  int loads = 0;
  for (int file = 0; file < 200; ++file) {
    int width = 1 + m.Below(7);
    int perLine = 1 + m.Below(10);
    std::string data;
    int lines = 1 + m.Below(m.OneIn(4) ? 2500 : 60);
    for (int i = 0; i < lines; ++i) {
      std::string line = std::to_string(8000 - i) + (m.OneIn(2) ? ".5" : "");
      for (int k = 0; k < perLine; ++k) line += " " + m.Digits(width);
      if (m.OneIn(40)) {
        static const char* const kOdd[] = {" ",         "\t5",        "  5",  " -5",     " 5.5",
                                           " 12345678", " 123456789", "A1B2", " $$ note"};
        line += kOdd[m.Below(9)];
      }
      if (m.OneIn(200)) {
        // Beyond the import's raw lines of 255 bytes, in numbers of the run
        // form (the bytes after 255 are read as the next raw line).
        for (int k = 0; k < 55; ++k) line += " 1234";
      }
      if (m.OneIn(100)) data += "\r\n";
      data += line;
      if (i + 1 < lines || !m.OneIn(4)) data += kEnds[m.Below(6)];
    }
    bool ascending = m.OneIn(4);
    const char* const kUnits[] = {"TRANSMITTANCE", "TRANSMITTANCE", "TRANSMITTANCE", "ABSORBANCE"};
    const char* const kFactors[] = {"0.00001", "1.0", "0.001", "1E30"};
    std::string text = std::string("##TITLE= t\r\n##YUNITS= ") + kUnits[m.Below(4)] +
                       "\r\n##YFACTOR= " + kFactors[m.Below(4)] +
                       "\r\n##FIRSTX= " + (ascending ? "400" : "4000") +
                       "\r\n##LASTX= " + (ascending ? "4000" : "400") +
                       "\r\n##NPOINTS= " + std::to_string(m.OneIn(3) ? 16000 : 2 + m.Below(15999)) +
                       "\r\n##XYDATA= (X++(Y..Y))\r\n" + data + "##END=\r\n";
    if (ImportAgainstLineByLine(text) == Import::kLoaded) ++loads;
    if (::testing::Test::HasFailure()) break;
  }
  EXPECT_GT(loads, 100);
}

// The run reader itself: where it stops, and that it stops before a line
// it does not read, leaving that line and the state as they were.
TEST_P(JcampUsualLines, PlainRunsStopAtTheFirstOtherLine) {
  const std::string tail = "\r\n##END=\r\n";
  // Runs read a line only with 64 bytes of text from its start on.
  const std::string longTail = tail + std::string(64, ' ');
  const std::string header = "##XYDATA= (X++(Y..Y))\r\n";
  struct Case {
    const char* name;
    std::string text;
    int32_t start;
    OrdinateKind kind;
    std::string stopsBefore;  // "" for the end of the text
    int32_t read;
  } cases[] = {
      {"TwoLinesThenAsdf", "4000 1 2 3\r\n3999.5 4 5\r\n3998A1" + tail, 0,
       OrdinateKind::kTransmittance, "3998A1", 5},
      {"EmptyLinesBetween", "4000 1\n\n\r\n3999 2\r\n3998 3 " + tail, 0,
       OrdinateKind::kTransmittance, "3998 3 ", 2},
      {"TwoBlanks", "4000 1  2" + tail, 0, OrdinateKind::kTransmittance, "4000 1  2", 0},
      {"EightDigits", "4000 1 12345678" + tail, 0, OrdinateKind::kTransmittance, "4000 1 12345678",
       0},
      {"Tab", "4000 1\t2" + tail, 0, OrdinateKind::kTransmittance, "4000 1\t2", 0},
      {"PastTheArrays", "4000 1 2\r\n3999 3 4 5" + tail, 15997, OrdinateKind::kTransmittance,
       "3999 3 4 5", 2},
      {"Absorbance", "4000 1 2" + tail, 0, OrdinateKind::kAbsorbance, "4000 1 2", 0},
      {"NoNumbers", "4000\r\n3999 1" + tail, 0, OrdinateKind::kTransmittance, "4000\r\n", 0},
      {"LastLineWithoutEnd", "4000 1\r\n3999 2", 0, OrdinateKind::kTransmittance, "3999 2", 1},
      // Lines of one shape, then one with the same digits elsewhere alike
      // (after a header line: runs take no line in the first eight bytes).
      {"TabAfterLinesOfOneShape", header + "4000 11 22\r\n3999 11 22\r\n3998\t11 22" + longTail, 0,
       OrdinateKind::kTransmittance, "3998\t11 22", 4},
      {"CommaAfterLinesOfOneShape",
       header + "4000.5 11 22\r\n3999.5 11 22\r\n3998,5 11 22" + longTail, 0,
       OrdinateKind::kTransmittance, "3998,5 11 22", 4},
      {"LinesOfOneShapeThenLonger", header + "4000 11 22\r\n3999 11 22\r\n3998 11 22 3" + longTail,
       0, OrdinateKind::kTransmittance, "##END=", 7},
  };
  for (const Case& c : cases) {
    Spectrum s;
    XyDecodeState st;
    st.OrdinateKind = c.kind;
    st.YFactor = 0.5;
    st.PointIndex = c.start;
    st.LastValue = -7;
    const std::size_t from = c.text.starts_with(header) ? header.size() : 0;
    std::size_t pos = DecodePlainXyDataLines(c.text, from, st, s);
    std::size_t expected = c.stopsBefore.empty() ? c.text.size() : c.text.find(c.stopsBefore, from);
    EXPECT_EQ(pos, expected) << c.name;
    EXPECT_EQ(st.PointsRead, c.read) << c.name;
    EXPECT_EQ(st.PointIndex, c.start + c.read) << c.name;
    if (c.read == 0) {
      EXPECT_EQ(st.LastValue, -7) << c.name;
    }
    // The line it stopped at is the one-pass decoder's or the general one's.
    for (int i = c.start + c.read; i < kArraySlots; ++i) ASSERT_EQ(s.TransY[i], 0.0f) << c.name;
  }
}

// Decodes the data section of text from pos (lines, then "##END=") by a run
// reader where it reads and raw line by raw line through the general
// decoder elsewhere, and through the general decoder alone: both must give
// the same ordinates, state and message. Returns how many lines the runs
// read.
template <typename Runs>
int RunsAgainstLineByLine(const std::string& text, std::size_t from, const XyDecodeState& start,
                          Runs runs) {
  Spectrum expected, s;
  XyDecodeState stLines = start, stRuns = start;
  std::string expectedMessage, message;
  for (std::size_t pos = from; pos < text.size();) {
    std::string_view line = ReadRawLine(text, pos);
    if (line.starts_with("##")) break;
    if (line.empty()) continue;
    expectedMessage = DecodeXyDataLineGeneral(line, stLines, expected);
    if (!expectedMessage.empty()) break;
  }
  int linesInRuns = 0;
  for (std::size_t pos = from; pos < text.size();) {
    std::size_t next = runs(text, pos, stRuns, s);
    for (std::size_t k = pos; k < next; ++k) linesInRuns += text[k] == '\n' ? 1 : 0;
    pos = next;
    std::string_view line = ReadRawLine(text, pos);
    if (line.starts_with("##")) break;
    if (line.empty()) continue;
    message = DecodeXyDataLineGeneral(line, stRuns, s);
    if (!message.empty()) break;
  }
  EXPECT_EQ(message, expectedMessage) << text;
  EXPECT_EQ(StateDifference(stRuns, stLines), "") << text;
  EXPECT_EQ(SlotDifference(s, expected), -1) << text;
  return linesInRuns;
}

// A start state for a run: of any kind and factor now and then, mostly a
// transmittance under a factor the runs take, X either way.
XyDecodeState RunStart(CompactLineMaker& make) {
  LineMaker& m = make.make();
  XyDecodeState start = make.State();
  start.IndexStep = m.OneIn(3) ? -1 : 1;
  if (!m.OneIn(6)) {
    start.OrdinateKind = OrdinateKind::kTransmittance;
    start.YFactor = m.OneIn(2) ? 0.00001 : (m.OneIn(2) ? 1.0 : -0.5);
  }
  return start;
}

int LineCount(const std::string& text) {
  return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

// Sections of compact ASDF lines as a writer gives them, one after the
// other, each made for the state the lines before it leave (the first
// failing line ends the section), through the DIF run reader. The states
// vary (slots near the ends, X ascending, large last values, other factors
// and kinds), so that runs stop at every check.
TEST_P(JcampUsualLines, DifRunsSameAsLineByLine) {
  if (!DifRunsAvailable()) GTEST_SKIP() << "no runs are read on this path";
  CompactLineMaker make(2027);
  LineMaker& m = make.make();
  const char* const kEnds[] = {"\r\n", "\r\n", "\n", "\r\n\r\n"};
  int lines = 0, linesInRuns = 0;
  for (int section = 0; section < 400; ++section) {
    XyDecodeState start = RunStart(make);
    if (m.OneIn(2)) start.LastValue = static_cast<double>(m.Below(200000) - 100000);
    Spectrum scratch;
    XyDecodeState st = start;
    std::string text;
    int count = 1 + m.Below(40);
    for (int i = 0; i < count; ++i) {
      std::string line = make.Line(st);
      text += line + kEnds[m.Below(4)];
      if (!DecodeXyDataLineGeneral(line, st, scratch).empty()) break;
    }
    text += "##END=\r\n" + std::string(40, ' ');
    linesInRuns += RunsAgainstLineByLine(text, 0, start, DecodeDifXyDataLines);
    lines += LineCount(text);
    if (::testing::Test::HasFailure()) break;
  }
  EXPECT_GT(linesInRuns, lines / 6);
}

// Sections of FIX lines (numbers of one to eight digits after single
// blanks, lines of up to about 100 bytes, odd lines among them) through the
// plain run reader, from the start of the text or after a header line, with
// the same variety of states.
TEST_P(JcampUsualLines, PlainRunsSameAsLineByLine) {
  CompactLineMaker make(4711);
  LineMaker& m = make.make();
  const char* const kEnds[] = {"\r\n", "\r\n", "\n", "\r\n\r\n"};
  const char* const kOdd[] = {" ",         "\t5",        "  5",  " -5",     " 5.5",
                              " 12345678", " 123456789", "A1B2", " $$ note"};
  int lines = 0, linesInRuns = 0;
  for (int section = 0; section < 400; ++section) {
    XyDecodeState start = RunStart(make);
    const std::string header = m.OneIn(3) ? "" : "##XYDATA= (X++(Y..Y))\r\n";
    std::string text = header;
    int width = m.OneIn(4) ? 0 : 1 + m.Below(7);  // 0: numbers of any width
    int perLine = 1 + m.Below(m.OneIn(4) ? 16 : 8);
    int count = 1 + m.Below(40);
    for (int i = 0; i < count; ++i) {
      std::string line = std::to_string(8000 - i) + (m.OneIn(3) ? ".5" : "");
      for (int k = 0; k < perLine; ++k) {
        line += " " + m.Digits(width != 0 ? width : 1 + m.Below(m.OneIn(30) ? 8 : 7));
      }
      if (m.OneIn(25)) line += kOdd[m.Below(9)];
      text += line + kEnds[m.Below(4)];
    }
    text += "##END=\r\n" + std::string(40, ' ');
    linesInRuns += RunsAgainstLineByLine(text, header.size(), start, DecodePlainXyDataLines);
    lines += LineCount(text);
    if (::testing::Test::HasFailure()) break;
  }
  EXPECT_GT(linesInRuns, lines / 3);
}

// The run reader itself: where it stops, and that it stops before a line it
// does not read, leaving that line and the state as they were.
TEST_P(JcampUsualLines, DifRunsStopAtTheFirstOtherLine) {
  if (!DifRunsAvailable()) GTEST_SKIP() << "no runs are read on this path";
  // Runs read a line only with 128 bytes of text from its start on.
  const std::string tail = "##END=\r\n" + std::string(128, ' ');
  struct Case {
    const char* name;
    std::string lines;
    std::string stopsBefore;  // "" for the tail
    int32_t read;
    int32_t start = 0;
    int32_t step = 1;
    OrdinateKind kind = OrdinateKind::kTransmittance;
    double last = -7;
  } cases[] = {
      // 11, +12, +23; the Y check 46, +11, a DUP of the last difference.
      {"DifAndDupLines", "4000A1J2K3\r\n3999D6J1T\r\n", "", 5},
      {"EmptyLinesBetween", "4000A1J2\n\n\r\n3999B3J\r\n", "", 3},
      {"DupCountOne", "4000A1J2S\r\n", "", 3},
      {"FirstTokenDif", "4000J1K\r\n", "", 2},
      {"DupAfterTheFirstToken", "4000A1J2\r\n3999B3S2\r\n", "3999B3S2", 2},
      {"FiveByteToken", "4000A1J2345\r\n", "4000A1J2345", 0},
      {"SqzAfterTheFirstToken", "4000A1J2A3\r\n", "4000A1J2A3", 0},
      {"OneTokenOnly", "4000A1\r\n", "4000A1", 0},
      {"BlankBeforeTheTokens", "4000 A1J2\r\n", "4000 A1J2", 0},
      {"TabAmongTheTokens", "4000A1J2\r\n3999B3\tJ\r\n", "3999B3", 2},
      {"ByteAbove127AmongTheTokens", "4000A1J2\r\n3999B3J\xB5\r\n", "3999B3", 2},
      {"NulAmongTheTokens", std::string("4000A1J2\r\n3999B3J\0K\r\n", 21), "3999B3", 2},
      {"Repeat", "4000A1J2?\r\n", "4000A1J2?", 0},
      {"FailingYCheck", "4000A1J2\r\n3999A1J2\r\n", "3999A1J2", 2},
      {"TwoPoints", "40.0.0A1J2\r\n", "40.0.0A1J2", 0},
      {"SixteenDigitAbscissa", "1234567890123456A1J2\r\n", "1234567890123456A1J2", 0},
      {"PastTheArrays", "4000A1J2\r\n3999B3J\r\n", "3999B3J", 2, 15998},
      {"Ascending", "4000A1J2\r\n3999B3J\r\n", "", 3, 100, -1},
      {"Absorbance", "4000A1J2\r\n", "4000A1J2", 0, 0, 1, OrdinateKind::kAbsorbance},
      {"LastValueBeyond2To30", "4000A1J2\r\n", "4000A1J2", 0, 0, 1, OrdinateKind::kTransmittance,
       1073741825.0},
      {"LastValueNoInteger", "4000A1J2\r\n", "4000A1J2", 0, 0, 1, OrdinateKind::kTransmittance,
       0.5},
      {"LongLine", "4000A1" + std::string(130, 'J') + "\r\n", "4000A1JJ", 0},
  };
  for (const Case& c : cases) {
    const std::string text = c.lines + tail;
    Spectrum s;
    XyDecodeState st;
    st.OrdinateKind = c.kind;
    st.YFactor = 0.5;
    st.PointIndex = c.start;
    st.IndexStep = c.step;
    st.LastValue = c.last;
    st.LineX = 1.5;
    std::size_t pos = DecodeDifXyDataLines(text, 0, st, s);
    std::size_t expected = text.find(c.stopsBefore.empty() ? tail : c.stopsBefore);
    EXPECT_EQ(pos, expected) << c.name;
    EXPECT_EQ(st.PointsRead, c.read) << c.name;
    EXPECT_EQ(st.PointIndex, c.start + c.step * c.read) << c.name;
    if (c.read == 0) {
      EXPECT_EQ(st.LastValue, c.last) << c.name;
      EXPECT_EQ(st.LineX, 1.5) << c.name;
    }
    for (int i = c.start + c.step * c.read; i >= 0 && i < kArraySlots; i += c.step) {
      ASSERT_EQ(s.TransY[i], 0.0f) << c.name << " slot " << i;
    }
  }
  // Lines closer than 128 bytes to the end of the text are left alone: the
  // first line (10 bytes) is read from 109 bytes of room after the second
  // (9 bytes) on, the second from 119.
  for (int room : {0, 108, 109, 118, 119, 200}) {
    const std::string text = "4000A1J2\r\n3999B3J\r\n" + std::string(room, ' ');
    Spectrum s;
    XyDecodeState st;
    st.OrdinateKind = OrdinateKind::kTransmittance;
    st.YFactor = 0.5;
    const std::size_t pos = DecodeDifXyDataLines(text, 0, st, s);
    const int read = room >= 119 ? 3 : room >= 109 ? 2 : 0;
    EXPECT_EQ(st.PointsRead, read) << room;
    EXPECT_EQ(pos, read == 3 ? 19u : read == 2 ? 10u : 0u) << room;
  }
  // A five-byte token ("J2345", bytes 6 + 2 pairs on) across the middle of
  // the line (bytes 63 and 64), with its digits on both sides of it or after.
  for (int pairs : {26, 27, 28, 29, 30}) {
    std::string line = "4000A1";
    for (int k = 0; k < pairs; ++k) line += "J1";
    line += "J2345";
    const std::string text = line + "\r\n" + tail;
    Spectrum s;
    XyDecodeState st;
    st.OrdinateKind = OrdinateKind::kTransmittance;
    st.YFactor = 0.5;
    EXPECT_EQ(DecodeDifXyDataLines(text, 0, st, s), 0u) << pairs;
    EXPECT_EQ(st.PointsRead, 0) << pairs;
  }

  // The ordinates and state the first case leaves.
  Spectrum s;
  XyDecodeState st;
  st.OrdinateKind = OrdinateKind::kTransmittance;
  st.YFactor = 0.5;
  ASSERT_EQ(DecodeDifXyDataLines(cases[0].lines + tail, 0, st, s), cases[0].lines.size());
  const float kExpected[] = {5.5f, 11.5f, 23.0f, 28.5f, 34.0f};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(s.TransY[i], kExpected[i]) << i;
  EXPECT_EQ(st.LastValue, 68.0);
  EXPECT_TRUE(st.DifMode);
  EXPECT_TRUE(st.LastFromDif);
  EXPECT_EQ(st.LineX, 3999.0);
  EXPECT_EQ(st.PeakT, 34.0);

  // Under a tiny YFACTOR small ordinates of both signs become -0 and +0
  // (-11 stays the smallest float below 0): the largest of such a line is
  // the zero stored first, as the general decoder keeps it.
  for (const std::string line : {"4000a1J0K", "4000a1J2l", "4000a1%J0K", "4000a1%J2l"}) {
    XyDecodeState initial;
    initial.OrdinateKind = OrdinateKind::kTransmittance;
    initial.YFactor = 1e-46;
    initial.PeakT = -1;
    Spectrum general, runs, usual;
    XyDecodeState stGeneral = initial, stRuns = initial, stUsual = initial;
    ASSERT_EQ(DecodeXyDataLineGeneral(line, stGeneral, general), "");
    EXPECT_EQ(stGeneral.PeakT, 0.0) << line;
    ASSERT_EQ(DecodeDifXyDataLines(line + "\r\n" + tail, 0, stRuns, runs), line.size() + 2);
    EXPECT_EQ(StateDifference(stRuns, stGeneral), "") << line;
    // The one-pass decoder of single lines keeps it the same way.
    ASSERT_EQ(DecodeUsualXyDataLine(line + "\r\n" + tail, 255, stUsual, usual), line.size());
    EXPECT_EQ(StateDifference(stUsual, stGeneral), "") << line;
  }
}

// Where the one-pass decoder sees a line end: at CR or LF, after maxLen bytes
// or at the end of the text, never reading a byte of the next line as its own.
TEST_P(JcampUsualLines, LineEnds) {
  struct Case {
    const char* name;
    std::string text;
    std::size_t maxLen;
    std::size_t length;
    std::vector<float> stored;
  } cases[] = {
      {"AtCr", "4000 1 2\r\n3998 3 4", 255, 8, {1, 2}},
      {"AtLf", "4000A1B2\n3998C", 255, 8, {11, 22}},
      {"AfterMaxLen", "4000 1 23456", 9, 9, {1, 23}},
      {"MaxLenInsideAToken", "4000A12345678B", 8, 8, {1123}},
      {"EmptyLine", "\n4000 1", 255, 0, {}},
      {"AtTextEnd", "4000 12345678", 255, 13, {12345678}},
  };
  for (const Case& c : cases) {
    Spectrum s;
    XyDecodeState st;
    st.OrdinateKind = OrdinateKind::kTransmittance;
    EXPECT_EQ(DecodeUsualXyDataLine(c.text, c.maxLen, st, s), c.length) << c.name;
    EXPECT_EQ(st.PointsRead, static_cast<int32_t>(c.stored.size())) << c.name;
    for (std::size_t i = 0; i < c.stored.size(); ++i) {
      EXPECT_EQ(s.TransY[i], c.stored[i]) << c.name << " slot " << i;
    }
  }
}

// The import, data section and all, against reading it raw line by raw line
// through the general decoder: the same ordinates, count and message. The
// data sections hold long lines (cut at 255 bytes), CR LF and lone CR or LF,
// leading blanks, comments and lines the import skips.
TEST_P(JcampSectionImport, ImportSameAsLineByLine) {
  LineMaker make(7, 400);
  const char* const kEnds[] = {"\r\n", "\n", "\r", "\r\n\r\n"};
  int loads = 0, refusals = 0;
  for (int file = 0; file < 300; ++file) {
    std::string data;
    int lines = 1 + make.Below(15);
    for (int i = 0; i < lines; ++i) {
      if (make.OneIn(6)) data += std::string(static_cast<std::size_t>(make.Below(3)), ' ');
      std::string line = make.OneIn(2) ? make.AsdfLine(!make.OneIn(20)) : make.PlainLine();
      if (make.OneIn(8)) line += make.Token() + line + line;  // now and then beyond 255 bytes
      if (make.OneIn(15)) line += " $$ note";
      data += line;
      data += kEnds[make.Below(4)];
    }
    std::string text =
        "##TITLE= t\r\n##YUNITS= TRANSMITTANCE\r\n##FIRSTX= 4000\r\n##LASTX= 400\r\n"
        "##NPOINTS= 16000\r\n##XYDATA= (X++(Y..Y))\r\n" +
        data + "##END=\r\n";

    Import outcome = ImportAgainstLineByLine(text);
    loads += outcome == Import::kLoaded;
    refusals += outcome == Import::kRefused;
    if (::testing::Test::HasFailure()) break;
  }
  EXPECT_GT(loads, 30) << refusals << " refused";
  EXPECT_GT(refusals, 30) << loads << " loaded";
}

}  // namespace
}  // namespace tesvar

namespace tesvar {
namespace {

// The raw integers of an import, taken four at a time where the machine
// allows: halves go to the even integer, magnitudes beyond the int32 range
// are clamped and NaN gives 0, wherever in the array they stand.
TEST(JcampRawIntegers, RoundHalvesToEvenAndClamp) {
  constexpr float kUnit = 1.0f / 4194304.0f;  // one raw step
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Value {
    float transY;
    int32_t raw;
  } values[] = {
      {0.5f * kUnit, 0},          {1.5f * kUnit, 2},
      {2.5f * kUnit, 2},          {3.5f * kUnit, 4},
      {-0.5f * kUnit, 0},         {-1.5f * kUnit, -2},
      {-2.5f * kUnit, -2},        {1.0f, 4194304},
      {0.85f, 3565158},           {511.99f, 2147441664},
      {512.0f, 2147483647},       {-512.0f, -2147483647 - 1},
      {-600.0f, -2147483647 - 1}, {inf, 2147483647},
      {-inf, -2147483647 - 1},    {nan, 0},
      {0.25f * kUnit, 0},         {0.75f * kUnit, 1},
  };
  // Each value at every position of a group of four, eight or sixteen, and
  // in a last group that is not complete. (0.85f is 14260634 / 2^24: x 2^22 a
  // half; 511.99f is 511.989990234375.)
  for (int shift = 0; shift < 8; ++shift) {
    for (int count : {61, 62, 63, 64, 127, 128}) {
      Spectrum s;
      s.LastIndex = count - 1;
      for (int i = 0; i < count; ++i) s.TransY[i] = 0.5f;
      std::vector<int> at;
      for (int i = shift, k = 0; i < count; i += 3, ++k) {
        s.TransY[i] = values[k % std::size(values)].transY;
        at.push_back(k % static_cast<int>(std::size(values)));
      }
      ASSERT_GE(at.size(), std::size(values));
      RawFromTransY(s);
      for (int i = 0, k = 0; i < count; ++i) {
        if (i >= shift && (i - shift) % 3 == 0) {
          EXPECT_EQ(s.RawY[i], values[at[static_cast<std::size_t>(k++)]].raw)
              << "slot " << i << " of " << count;
        } else {
          EXPECT_EQ(s.RawY[i], 2097152) << "slot " << i << " of " << count;
        }
      }
      EXPECT_EQ(s.RawY[count], 0);  // beyond LastIndex nothing is written
    }
  }
}

}  // namespace
}  // namespace tesvar
