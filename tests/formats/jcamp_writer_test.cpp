#include "formats/jcamp_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "core/file_io.h"
#include "core/number_text.h"
#include "formats/file_kinds.h"
#include "formats/jcamp_decoder.h"
#include "formats/jcamp_reader.h"
#include "formats/sp_file.h"
#include "test_support.h"

namespace tesvar {
namespace {

Spectrum MakeSpectrum(double firstX, double step, const std::vector<double>& t) {
  Spectrum s;
  s.SetComment("polystyrene film");
  s.OperatorName = "J. Smith";
  s.AcqDate = "26/12/01";
  s.AcqTime = "10:00:00.00";
  s.Model = 1;
  s.NScans = 16;
  s.NPoints = static_cast<int32_t>(t.size());
  s.LastIndex = s.NPoints - 1;
  s.XStart = s.FirstX = firstX;
  s.XStep = step;
  s.XEnd = s.LastX = firstX - step * s.LastIndex;
  for (std::size_t i = 0; i < t.size(); ++i) s.TransY[i] = static_cast<float>(t[i]);
  return s;
}

// The worked example: Y = round(T x 100000) = 85300 85310 85320 85320 85320
// 85300 85270.
Spectrum WorkedExample() {
  return MakeSpectrum(4000, 1, {0.853, 0.8531, 0.8532, 0.8532, 0.8532, 0.853, 0.8527});
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t p; (p = text.find("\r\n", start)) != std::string::npos; start = p + 2) {
    lines.push_back(text.substr(start, p - start));
  }
  EXPECT_EQ(start, text.size()) << "text does not end in CR LF";
  return lines;
}

// The data lines between "##XYDATA=" and "##END=".
std::vector<std::string> DataLines(const std::string& text) {
  std::vector<std::string> all = Lines(text);
  std::vector<std::string> data;
  bool in = false;
  for (const auto& l : all) {
    if (l.rfind("##END=", 0) == 0) break;
    if (in) data.push_back(l);
    if (l.rfind("##XYDATA=", 0) == 0) in = true;
  }
  return data;
}

// Header lines as the label table gives them; FIRSTY is 0.853f = 0.8529999852
// rounded at 5 decimals, MAXY the largest (0.8532), MINY the smallest (0.8527).
TEST(JcampWriter, WorkedExampleFixIsExact) {
  std::string expected =
      "##TITLE= polystyrene film\r\n"
      "##JCAMP-DX= 4.24\r\n"
      "##DATA TYPE= INFRARED SPECTRUM\r\n"
      "##$ASDF FORM= FIX\r\n"
      "##ORIGIN= PERKIN-ELMER 1600 FT-IR\r\n"
      "##OWNER= J. Smith\r\n"
      "##DATE= 26/12/01\r\n"
      "##TIME= 10:00:00.00\r\n"
      "##SPECTROMETER/DATA SYSTEM= PERKIN-ELMER 1600 FT-IR\r\n"
      "##INSTRUMENT PARAMETERS= 16 scans\r\n"
      "##DATA PROCESSING= \r\n"
      "##XUNITS= 1/CM\r\n"
      "##YUNITS= TRANSMITTANCE\r\n"
      "##XFACTOR= 1.0\r\n"
      "##YFACTOR= 0.00001\r\n"
      "##FIRSTX= 4000.0\r\n"
      "##LASTX= 3994.0\r\n"
      "##NPOINTS= 7\r\n"
      "##FIRSTY= 0.85300\r\n"
      "##MAXY= 0.85320\r\n"
      "##MINY= 0.85270\r\n"
      "##XYDATA= (X++(Y..Y))\r\n"
      "4000.0 85300 85310 85320 85320 85320 85300\r\n"
      "3994.0 85270\r\n"
      "##END= \r\n";
  EXPECT_EQ(BuildJcampText(WorkedExample(), JcampForm::kFix), expected);
}

// SQZ 85300 = H5300, +10 = J0 twice (J0, DUP 2 = T), 0 = % twice (%, T),
// -20 = k0, -30 = l0.
TEST(JcampWriter, WorkedExampleDifDup) {
  std::string text = BuildJcampText(WorkedExample(), JcampForm::kDifDup);
  EXPECT_NE(text.find("\r\n##$ASDF FORM= DIFDUP\r\n"), std::string::npos);
  EXPECT_EQ(DataLines(text), std::vector<std::string>{"4000.0H5300J0T%Tk0l0"});
}

// Y = 50000, then +1000/-1000 alternately for 14 points (J000/j000, line at
// 11 + 56 = 67 characters), +7 three times (P, then DUP 3 = U), -21 (k1):
// the run is closed by "U" with the line now at 71 > 70 characters, so the
// next point starts a new line: X(18) = 3982.0, the check value
// Y(18) = 50000 again as SQZ (E0000), and a fresh DIF token, +5 = N.
TEST(JcampWriter, DifDupLineLimitAndYCheck) {
  std::vector<double> t = {0.5};
  for (int i = 1; i <= 14; ++i) t.push_back(i % 2 == 1 ? 0.51 : 0.5);
  for (double v : {0.50007, 0.50014, 0.50021, 0.5, 0.50005}) t.push_back(v);
  std::string text = BuildJcampText(MakeSpectrum(4000, 1, t), JcampForm::kDifDup);
  std::string first = "4000.0E0000";
  for (int i = 0; i < 7; ++i) first += "J000j000";
  first += "PUk1";
  EXPECT_EQ(DataLines(text), (std::vector<std::string>{first, "3982.0E0000N"}));
}

TEST(JcampWriter, DataLineShapes) {
  struct Case {
    const char* name;
    double firstX;
    double step;
    std::vector<double> t;
    JcampForm form;
    std::vector<std::string> lines;
  } cases[] = {
      // Two points: X(0), SQZ of Y(0), one DIF token.
      {"TwoPointsDifDup", 4000, 3550, {0.9, 0.85}, JcampForm::kDifDup, {"4000.0I0000n000"}},
      // X below 10 is padded to four characters.
      {"SmallX", 9.5, 0.5, {0.1, 0.2}, JcampForm::kFix, {" 9.5 10000 20000"}},
      // A run of one difference to the end is one DIF and its DUP count:
      // +1 for 99 points = J and DUP 99 (s9).
      {"LongRun", 4000, 1, {}, JcampForm::kDifDup, {"4000.0E0000Js9"}},
      // Six ordinates per FIX line; the next X belongs to its first one.
      {"FixSix",
       4000,
       2,
       {0, 0, 0, 0, 0, 0, 0, 0},
       JcampForm::kFix,
       {"4000.0 0 0 0 0 0 0", "3988.0 0 0"}},
      // Negative and above-one ordinates keep their sign and digits.
      {"Signs", 4000, 1, {-0.01, 1.5, 0}, JcampForm::kDifDup, {"4000.0a000J51000j50000"}},
  };
  for (auto& c : cases) {
    if (std::string(c.name) == "LongRun") {
      for (int i = 0; i < 100; ++i) c.t.push_back((50000 + i) / 100000.0);
    }
    std::string text = BuildJcampText(MakeSpectrum(c.firstX, c.step, c.t), c.form);
    EXPECT_EQ(DataLines(text), c.lines) << c.name;
  }
}

TEST(JcampWriter, HeaderVariants) {
  struct Case {
    const char* name;
    void (*change)(Spectrum&);
    std::vector<std::string> wanted;
  } cases[] = {
      {"Model0",
       [](Spectrum& s) { s.Model = 0; },
       {"##ORIGIN= PERKIN-ELMER 2000 FT-IR",
        "##SPECTROMETER/DATA SYSTEM= PERKIN-ELMER 2000 FT-IR"}},
      {"Model2", [](Spectrum& s) { s.Model = 2; }, {"##ORIGIN= PERKIN-ELMER 2000 FT-IR"}},
      {"EmptyTexts",
       [](Spectrum& s) {
         s.SetComment("");
         s.OperatorName.clear();
       },
       {"##TITLE= ", "##OWNER= "}},
      {"Scans", [](Spectrum& s) { s.NScans = 3; }, {"##INSTRUMENT PARAMETERS= 3 scans"}},
      {"AllAboveOne",
       [](Spectrum& s) {
         for (int i = 0; i <= s.LastIndex; ++i) s.TransY[i] = 1.25f;
       },
       {"##MAXY= 1.25000", "##MINY= 1.00000"}},
      {"AllNegative",
       [](Spectrum& s) {
         for (int i = 0; i <= s.LastIndex; ++i) s.TransY[i] = -0.5f;
       },
       {"##FIRSTY= -0.50000", "##MAXY= 0.00000", "##MINY= -0.50000"}},
      {"FractionalX",
       [](Spectrum& s) {
         s.FirstX = 4000.04;
         s.LastX = -0.05;
       },
       {"##FIRSTX= 4000.0", "##LASTX= -0.1"}},
      // A line break in a text would end the header line early.
      {"LineBreakInComment",
       [](Spectrum& s) { s.SetComment("two\nlines\r"); },
       {"##TITLE= two lines "}},
      {"LongComment",
       [](Spectrum& s) { s.SetComment(std::string(255, 'c')); },
       {"##TITLE= " + std::string(246, 'c')}},
  };
  for (const auto& c : cases) {
    Spectrum s = WorkedExample();
    c.change(s);
    std::vector<std::string> lines = Lines(BuildJcampText(s, JcampForm::kFix));
    for (const auto& w : c.wanted) {
      EXPECT_NE(std::find(lines.begin(), lines.end(), w), lines.end()) << c.name << ": " << w;
    }
  }
}

// Decodes DIFDUP data lines back into integers with the import's decoder.
std::vector<double> DecodeData(const std::vector<std::string>& lines, int slots) {
  Spectrum target;
  XyDecodeState st;
  st.OrdinateKind = OrdinateKind::kTransmittance;
  for (const auto& l : lines) {
    std::string message = DecodeXyDataLine(l, st, target);
    EXPECT_EQ(message, "") << l;
  }
  EXPECT_EQ(st.PointsRead, slots);
  std::vector<double> y;
  for (int i = 0; i < slots; ++i) y.push_back(target.TransY[i]);
  return y;
}

// Ordinate patterns that stress the line building: every DIFDUP data line
// stays within 70 characters plus one DIF and one DUP token, and decodes to
// exactly the integers written.
TEST(JcampWriter, DifDupLinesDecodeToTheWrittenIntegers) {
  std::vector<std::vector<int>> patterns;
  std::vector<int> p;
  for (int i = 0; i < 500; ++i) p.push_back((i / 7) % 3 == 0 ? 50000 + i * 11 : 50000 - i);
  patterns.push_back(p);
  p.clear();
  unsigned seed = 12345;
  for (int i = 0; i < 3000; ++i) {
    seed = seed * 1103515245u + 12345u;
    p.push_back(static_cast<int>((seed >> 8) % 200001) - 100000);
  }
  patterns.push_back(p);
  p.assign(1000, 77777);  // flat: one DIF 0 and one long DUP
  patterns.push_back(p);
  for (const auto& y : patterns) {
    std::vector<double> t;
    for (int v : y) t.push_back(v / 100000.0);
    std::string text = BuildJcampText(MakeSpectrum(4000, 1, t), JcampForm::kDifDup);
    std::vector<std::string> lines = DataLines(text);
    for (const auto& l : lines) EXPECT_LE(l.size(), 70u + 11u + 10u) << l;
    std::vector<double> back = DecodeData(lines, static_cast<int>(y.size()));
    for (std::size_t i = 0; i < y.size(); ++i) {
      ASSERT_EQ(back[i], y[i]) << "point " << i;
    }
  }
}

TEST(JcampWriter, WriteStampsAndWrites) {
  std::string dir = test::MakeTempDir();
  Spectrum s = WorkedExample();
  RecordedMessages m;
  setenv("SOURCE_DATE_EPOCH", "1796601600", 1);  // 2026-12-07 00:00:00 UTC
  ASSERT_TRUE(test::Told(WriteJcampFile(dir + "/a.jdx", s, JcampForm::kDifDup), m));
  unsetenv("SOURCE_DATE_EPOCH");
  EXPECT_TRUE(m.errors.empty());
  EXPECT_EQ(s.ModDate, "26/12/07");
  EXPECT_EQ(s.ModTime, "00:00:00.00");
  EXPECT_EQ(test::ReadFile(dir + "/a.jdx"), BuildJcampText(s, JcampForm::kDifDup));

  // Exports one after the other, long and short, in both forms: each file
  // holds its own text and nothing of an earlier, longer one.
  std::vector<double> t(3000);
  for (std::size_t i = 0; i < t.size(); ++i) t[i] = 0.5 + 0.4 * std::sin(0.01 * i);
  Spectrum longer = MakeSpectrum(4000, 1, t);
  for (Spectrum* next : {&longer, &s, &longer, &s}) {
    for (JcampForm form : {JcampForm::kFix, JcampForm::kDifDup}) {
      ASSERT_TRUE(test::Told(WriteJcampFile(dir + "/b.jdx", *next, form), m));
      EXPECT_EQ(test::ReadFile(dir + "/b.jdx"), BuildJcampText(*next, form))
          << next->NPoints << (form == JcampForm::kFix ? " FIX" : " DIFDUP");
    }
  }
}

TEST(JcampWriter, CannotCreateShowsTheBox) {
  std::string dir = test::MakeTempDir();
  std::string path = dir + "/missing/a.jdx";
  Spectrum s = WorkedExample();
  s.ModDate = "old";
  RecordedMessages m;
  EXPECT_FALSE(test::Told(WriteJcampFile(path, s, JcampForm::kFix), m));
  ASSERT_EQ(m.errors.size(), 1u);
  EXPECT_EQ(m.errors[0], "Could not create file " + path);
  EXPECT_NE(s.ModDate, "old");  // stamped before the file was tried
  EXPECT_FALSE(FileExists(path));
}

// Spectra for the independent reader. With TESVAR_PEER_EXPORT_DIR set (the
// jcampconverter peer test) the files stay there, each with a ".expected"
// file of its point count, FIRSTX, LASTX and TransY values; in an ordinary
// run they go to a temporary folder. Either way each file must import again
// to the same ordinates.
TEST(JcampPeerExport, WritesBothFormsForThePeer) {
  const char* env = std::getenv("TESVAR_PEER_EXPORT_DIR");
  std::string dir = env != nullptr && *env != '\0' ? env : test::MakeTempDir();

  std::vector<std::pair<std::string, Spectrum>> spectra;
  Spectrum sample;
  ASSERT_TRUE(
      ReadSpFile(std::string(TESVAR_SOURCE_DIR) + "/samples/polystyrene.sp", sample).loaded());
  spectra.emplace_back("polystyrene", sample);

  std::vector<double> edges = {0.5, 0.5, 0.5, 1.0, 0.0, -0.02, 1.7, 1.7, 0.00001, 0.99999};
  for (int i = 0; i < 120; ++i) edges.push_back(0.3 + 0.001 * (i % 40));  // runs for DUP
  for (int i = 0; i < 60; ++i) edges.push_back(i % 2 == 0 ? 0.123456 : 0.654321);
  spectra.emplace_back("edges", MakeSpectrum(4000, 3.5, edges));
  spectra.emplace_back("two_points", MakeSpectrum(3000, 2000, {0.25, 0.75}));

  std::vector<double> full;
  for (int i = 0; i < kMaxPoints; ++i) full.push_back(0.55 + 0.4 * std::sin(i * 0.013));
  spectra.emplace_back("full", MakeSpectrum(7999.5, 0.5, full));

  for (auto& [name, s] : spectra) {
    std::ostringstream expected;
    expected << s.NPoints << "\n"
             << FormatFixed(s.FirstX, 1) << "\n"
             << FormatFixed(s.LastX, 1) << "\n";
    char buf[32];
    for (int i = 0; i <= s.LastIndex; ++i) {
      std::snprintf(buf, sizeof buf, "%.9g\n", static_cast<double>(s.TransY[i]));
      expected << buf;
    }
    test::WriteFile(dir + "/" + name + ".expected", expected.str());
    for (JcampForm form : {JcampForm::kFix, JcampForm::kDifDup}) {
      std::string path = dir + "/" + name + (form == JcampForm::kFix ? "_fix" : "_difdup") + ".jdx";
      RecordedMessages m;
      ASSERT_TRUE(test::Told(WriteJcampFile(path, s, form), m)) << path;
      Spectrum back;
      ASSERT_TRUE(ReadJcampFile(path, back).loaded()) << path;
      ASSERT_EQ(back.NPoints, s.NPoints) << path;
      for (int i = 0; i <= s.LastIndex; ++i) {
        // Half a unit of the fifth decimal, plus the float rounding of the
        // value read back.
        ASSERT_NEAR(back.TransY[i], s.TransY[i], 0.000005 + 6e-8) << path << " point " << i;
      }
    }
  }
}

}  // namespace
}  // namespace tesvar
