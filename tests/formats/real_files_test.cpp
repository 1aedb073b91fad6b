// Real JCAMP-DX and ASCII files written by other programs and instruments
// (the shared test data, with their sources listed in its README). The
// expected values were read by hand from each file's own header and first
// and last data lines; the derivation is given beside each case.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "formats/ascii_list.h"
#include "formats/jcamp_reader.h"
#include "reader_fixture.h"
#include "test_support.h"

namespace tesvar {
namespace {

struct Expected {
  const char* file;
  int32_t points;
  double firstX;  // index 0: the highest wavenumber
  double lastX;
  int32_t scans;
  const char* comment;
  const char* operatorName;
  std::vector<std::pair<int, double>> transY;  // index, value
};

void CheckImport(const Expected& e, bool jcamp) {
  std::string path = test::SharedTestData(e.file);
  if (path.empty()) GTEST_SKIP() << "shared test data " << e.file << " not present";
  Spectrum s;
  RecordedMessages m;
  bool ok = test::Told(jcamp ? ReadJcampFile(path, s) : ReadAsciiList(path, s), m);
  ASSERT_TRUE(ok) << e.file << ": " << (m.errors.empty() ? m.status[2] : m.errors[0]);
  EXPECT_TRUE(m.errors.empty()) << e.file;
  EXPECT_EQ(m.status[2], "") << e.file;  // no "##NPOINTS= n (m)": every point was read
  EXPECT_EQ(s.NPoints, e.points) << e.file;
  EXPECT_DOUBLE_EQ(s.FirstX, e.firstX) << e.file;
  EXPECT_DOUBLE_EQ(s.LastX, e.lastX) << e.file;
  EXPECT_DOUBLE_EQ(s.XStep, (e.firstX - e.lastX) / (e.points - 1)) << e.file;
  EXPECT_EQ(s.NScans, e.scans) << e.file;
  EXPECT_EQ(s.Comment, e.comment) << e.file;
  EXPECT_EQ(s.OperatorName, e.operatorName) << e.file;
  EXPECT_FALSE(s.AcqDate.empty()) << e.file;
  for (const auto& [index, value] : e.transY) {
    EXPECT_NEAR(s.TransY[index], value, 2e-6) << e.file << " index " << index;
  }
}

TEST(RealJcampFiles, Load) {
  // clang-format off
  std::vector<Expected> cases = {
      // DIFDUP, %T with YFACTOR 0.01: "4400H225J3RJ1..." is 8225, +13, +9,
      // +11 = 82.25 ... 82.58 %T. The last line "450G858" repeats the last
      // point (7858) as the Y check. "   16 scans; ..." sits on a free line
      // inside "##INSTRUMENT PARAMETERS=".
      {"jcamp/dupdec1.jdx", 3951, 4400, 450, 16, "dupdec1.jdx", "public domain",
       {{0, 0.8225}, {1, 0.8238}, {2, 0.8247}, {3, 0.8258}, {3950, 0.7858}}},
      // FIX columns, YFACTOR 9.5367E-7: 68068800 x 9.5367E-7 = 64.91516 %T,
      // 68092800 -> 64.93805; last line " 452 ... 70168000" -> 66.91711.
      {"jcamp/fixdec1.jdx", 3951, 4400.007, 450, 1, "fixdec1.jdx", "public domain",
       {{0, 0.6491516}, {1, 0.6493805}, {3950, 0.6691711}}},
      // Signs as separators: "4000 +10160+10159+10159", YFACTOR 0.01 ->
      // 101.60 %T (above 100 in the file itself); last value 10124.
      {"jcamp/pacdec1.jdx", 3301, 4000, 700, 1, "pacdec1.jdx", "public domain",
       {{0, 1.0160}, {1, 1.0159}, {2, 1.0159}, {3300, 1.0124}}},
      // Ascending X (400 -> 4000), one pair per line, YFACTOR 0.0001:
      // "4000 7456" lands at index 0, "401 4618" and "400 4480" at the end.
      // The file writes "##DataClass= ##XYDATA=" before its header labels;
      // its header goes on after it, as only a "##XYDATA" label ends it.
      {"jcamp/xyinc1.jdx", 3601, 4000, 400, 1, "Indene     (FILE:  xyinc1.jdx)", "Public Domain",
       {{0, 0.7456}, {1, 0.7457}, {3599, 0.4618}, {3600, 0.4480}}},
      // Ascending X, YFACTOR 1E-7: "599.9D15824699M60816" is 415824699
      // (41.58 %T) at the low end, +460816 next to it; "3998.4I31173401p7820"
      // ends at 931095581, which "4000.4I31095581" repeats as the Y check.
      // The title is "$$ Begin of the data block": the reader keeps a "$$"
      // comment that stands where the title's value should be.
      {"jcamp/ethanol2.jdx", 1764, 4000.36425781, 599.86169434, 1, "$$ Begin of the data block", "",
       {{1763, 0.415824699}, {1762, 0.416285515}, {0, 0.931095581}}},
      // Absorbance, ascending, YFACTOR 2.840445172462317941E-05, MAXY 0.37:
      // "2561A058O445" is 1058 (A 0.030052, T = 10^-A = 0.933143) at 400 1/cm
      // and 1058 + 6445 = 7503 (A 0.213119, T 0.612183) next to it.
      {"jcamp/isopropanol_asdf.jdx", 9541, 5000.042, 400.1963, 1, "Isopropyl alcohol", "",
       {{9540, 0.933143}, {9539, 0.612183}}},
  };
  // clang-format on
  for (const auto& e : cases) CheckImport(e, true);
}

// Both say in "##DATA TYPE=" that they are no infrared spectra
// ("LINK" of an NMR file, "UV/VIS SPECTRUM").
TEST(RealJcampFiles, RefuseOtherSpectra) {
  for (const char* file : {"jcamp/ethanol_nmr.jdx", "jcamp/toluene_uvvis.jdx"}) {
    std::string path = test::SharedTestData(file);
    if (path.empty()) GTEST_SKIP() << "shared test data " << file << " not present";
    Spectrum s;
    RecordedMessages m;
    EXPECT_FALSE(test::Told(ReadJcampFile(path, s), m)) << file;
    EXPECT_EQ(m.errors, std::vector<std::string>{"no IR spectrum"}) << file;
    EXPECT_FALSE(s.DataLoaded);
  }
}

TEST(RealAsciiFiles, Load) {
  // clang-format off
  std::vector<Expected> cases = {
      // "x,y" lines from "999.9101,0.572538" up to "7000.3350,0.0295649",
      // 12447 of them; the "KEY,value" headings and the Japanese trailer hold
      // letters or other bytes and are skipped. The file says "YUNITS,
      // ABSORBANCE", but a list carries no units: its y values are taken as
      // transmittance, and as they lie between 0.1 and 2 they stay as read.
      {"ascii/ftir_test.csv", 12447, 7000.3350, 999.9101, 1, "imported ASCII list", "",
       {{0, 0.0295649}, {1, 0.0300084}, {12445, 0.569982}, {12446, 0.572538}}},
      // Tab-separated, ascending 1 ... 10 with 10.0 ... 9.5: a list in
      // percent, so divided by 100; index 0 holds x = 10 (9.5).
      {"ascii/sample.dpt", 10, 10, 1, 1, "imported ASCII list", "",
       {{0, 0.095}, {1, 0.102}, {8, 0.111}, {9, 0.100}}},
  };
  // clang-format on
  for (const auto& e : cases) CheckImport(e, false);
}

}  // namespace
}  // namespace tesvar
