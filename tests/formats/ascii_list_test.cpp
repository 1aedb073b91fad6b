#include "formats/ascii_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <vector>

#include "core/number_text.h"
#include "formats/import_rules.h"
#include "reader_fixture.h"
#include "test_support.h"

namespace tesvar {
namespace {

using test::Join;
using test::ShownSpectrum;

TEST(AsciiList, ImportsTheRecord) {
  Spectrum s = ShownSpectrum();
  RecordedMessages m;
  ASSERT_TRUE(
      test::Read(FileKind::kAsciiList, Join({"4000 0.85", "3999 0.86", "3998 0.87"}), "", s, m));
  EXPECT_TRUE(m.errors.empty());
  test::ExpectAbscissae(s, {3, 4000, 3998, 1, 1});
  EXPECT_EQ(s.NScans, 1);
  EXPECT_EQ(s.YScale, kPercentYScale);
  EXPECT_EQ(s.IdentLine, kImportIdentLine);
  EXPECT_EQ(s.Comment, "imported ASCII list");
  EXPECT_EQ(s.OperatorName, "");
  EXPECT_EQ(s.AcqDate, "");  // no file to take a date from
  const float t[] = {0.85f, 0.86f, 0.87f};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(s.TransY[i], t[i]);
    EXPECT_EQ(s.RawY[i], RoundToInt32(t[i] * kRawPerFraction));
  }
  EXPECT_EQ(s.TransY[3], 0.0f);
  EXPECT_TRUE(s.DataLoaded && s.YConverted);
}

// Each list must give the record of the basic list: 4000, 3999, 3998 1/cm
// with 0.85, 0.86, 0.87 (and the stated NScans).
TEST(AsciiList, ListVariants) {
  struct Case {
    const char* name;
    std::string text;
    int32_t scans;
  };
  std::vector<Case> cases = {
      {"Ascending", Join({"3998 0.87", "3999 0.86", "4000 0.85"}), 1},
      {"CommaAndTab", Join({"4000,0.85", "3999\t0.86", " ,\t3998 ,0.87"}), 1},
      {"SemicolonLineSkipped", Join({"4000 0.85", "3000;0.1", "3999 0.86", "3998 0.87"}), 1},
      {"Headings",
       Join({"Wavenumber  %T", "Spectrum, 32 scans", "", "##TITLE= 17", "4000 0.85", "3999 0.86",
             "3998 0.87"}),
       32},
      {"Percent", Join({"4000 85", "3999 86", "3998 87"}), 1},
      {"PerMille", Join({"4000 850", "3999 860", "3998 870"}), 1},
      {"TooSmall", Join({"4000 0.085", "3999 0.086", "3998 0.087"}), 1},
      {"ThirdNumberIgnored", Join({"4000 0.85 1.3", "3999 0.86 , 5", "3998 0.87 0"}), 1},
      {"TrailingDotDropped", Join({"4000 0.85.", "3999 0.86", "3998. 0.87"}), 1},
      {"Exponents", Join({"4.0E3 8.5e-1", "+3.999e3 0.86", "3998 87E-2"}), 1},
      {"LineFeeds", Join({"4000 0.85", "3999 0.86", "3998 0.87"}, "\n"), 1},
      {"CarriageReturns", Join({"4000 0.85", "3999 0.86", "3998 0.87"}, "\r"), 1},
      {"NoLastLineEnd", "4000 0.85\r\n3999 0.86\r\n3998 0.87", 1},
      // Characters beyond 255 are dropped, letters there too.
      {"LongLine", Join({"4000 0.85" + std::string(250, ' ') + "junk", "3999 0.86", "3998 0.87"}),
       1},
  };
  for (const auto& c : cases) {
    Spectrum s = ShownSpectrum();
    RecordedMessages m;
    ASSERT_TRUE(test::Read(FileKind::kAsciiList, c.text, "", s, m))
        << c.name << ": " << m.status[2];
    EXPECT_EQ(s.NPoints, 3) << c.name;
    EXPECT_EQ(s.FirstX, 4000) << c.name;
    EXPECT_EQ(s.LastX, 3998) << c.name;
    EXPECT_EQ(s.XStep, 1) << c.name;
    EXPECT_EQ(s.NScans, c.scans) << c.name;
    const float t[] = {0.85f, 0.86f, 0.87f};
    for (int i = 0; i < 3; ++i) EXPECT_FLOAT_EQ(s.TransY[i], t[i]) << c.name << " " << i;
  }
}

// A comma between digits after blanks or a tab is a decimal sign; every other
// comma separates numbers, so those lists give the record of the same list
// with the comma replaced by a blank.
TEST(AsciiList, DecimalCommas) {
  struct Case {
    const char* name;
    std::vector<std::string> lines;
    bool decimalComma;  // else: read as with the comma replaced by a blank
  };
  const std::vector<Case> cases = {
      {"Blank", {"4000 0,85", "3999 0,86", "3998 0,87"}, true},
      {"TabAndBlanks", {"4000\t0,85", "3999 \t 0,86", "3998.0   0,87"}, true},
      {"OneLineOfThree", {"4000 0.85", "3998.0 0,92", "3998 0.87"}, true},
      {"Percent", {"4000 85,5", "3999 86,25", "3998 87,0"}, true},
      {"ThirdNumberAfter", {"4000 0,85 12", "3999 0,86\t7", "3998 0,87"}, true},
      {"TrailingDot", {"4000 0,85.", "3999 0,86", "3998 0,87"}, true},
      {"CommaBetweenXAndY", {"4000.0000,0.85", "3999.0000,0.86", "3998.0000,0.87"}, false},
      {"CommaAfterBlanks", {"4000 ,85", "3999 0.86", "3998 0.87"}, false},
      {"TwoCommasInALine", {"4000 0.85", "3999 0,86,5", "3998 0.87"}, false},
      {"CommaInX", {"4000,5 0.85", "3999 0.86", "3998 0.87"}, false},
      {"CommaInXAndY", {"4000,0 0,85", "3999 0.86", "3998 0.87"}, false},
      {"NoDigitsAfter", {"4000 0.85", "3999 86,", "3998 0.87"}, false},
      {"PointAfterDigits", {"4000 0.85", "3999 0,8.6", "3998 0.87"}, false},
      {"SignedOrdinate", {"4000 0.85", "3999 +0,86", "3998 0.87"}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Spectrum s = ShownSpectrum();
    const std::string text = Join(c.lines);
    const LoadResult result = LoadSpectrumText(text, "", InfoFor(FileKind::kAsciiList), s);
    ASSERT_TRUE(result.loaded());
    const bool noted = std::find(result.notes.begin(), result.notes.end(), "decimal commas read") !=
                       result.notes.end();
    EXPECT_EQ(noted, c.decimalComma);

    // The oracle: the list written with points, or with blanks for commas.
    std::vector<std::string> plain;
    for (std::string line : c.lines) {
      std::replace(line.begin(), line.end(), ',', c.decimalComma ? '.' : ' ');
      plain.push_back(line);
    }
    Spectrum expected = ShownSpectrum();
    ASSERT_TRUE(
        LoadSpectrumText(Join(plain), "", InfoFor(FileKind::kAsciiList), expected).loaded());
    EXPECT_EQ(s.NPoints, expected.NPoints);
    EXPECT_EQ(s.FirstX, expected.FirstX);
    EXPECT_EQ(s.LastX, expected.LastX);
    for (int i = 0; i < s.NPoints; ++i) EXPECT_EQ(s.TransY[i], expected.TransY[i]) << i;
  }
}

TEST(AsciiList, DecimalCommaReadsTheOrdinate) {
  Spectrum s;
  const LoadResult result = LoadSpectrumText(Join({"4000.0 0,90", "3998.0 0,92", "3996.0 0,5"}), "",
                                             InfoFor(FileKind::kAsciiList), s);
  ASSERT_TRUE(result.loaded());
  EXPECT_EQ(result.notes, std::vector<std::string>{"decimal commas read"});
  EXPECT_EQ(s.TransY[0], 0.90f);
  EXPECT_EQ(s.TransY[1], 0.92f);
  EXPECT_EQ(s.TransY[2], 0.5f);
}

// An unreadable value beside decimal commas is refused as before.
TEST(AsciiList, UnreadableValueBesideDecimalCommas) {
  test::ExpectRefusedKeepsShown(FileKind::kAsciiList, Join({"4000 0,85", "3999 1..5 7"}),
                                "invalid Y value: 1..5", true, "BadYDots");
  test::ExpectRefusedKeepsShown(FileKind::kAsciiList, Join({"4000 0,85", "3999"}),
                                "invalid Y value: ", true, "OnlyX");
}

TEST(AsciiList, UnevenXUsesOnlyTheEnds) {
  Spectrum s;
  RecordedMessages m;
  ASSERT_TRUE(
      test::Read(FileKind::kAsciiList, Join({"4000 0.5", "3000 0.6", "2999 0.7"}), "", s, m));
  EXPECT_EQ(s.XStep, 500.5);
  EXPECT_EQ(s.DeltaX, 500.5);
}

TEST(AsciiList, RefusedListsLeaveTheRecordUnchanged) {
  std::string tooMany;
  for (int i = 0; i <= kMaxPoints; ++i) tooMany += FormatInt(20000 - i) + " 0.5\r\n";
  struct Case {
    const char* name;
    std::string text;
    const char* message;
    bool inStatusPanel;
  };
  std::vector<Case> cases = {
      {"NoSeparatorBetween", Join({"4000 0.85", "4000-85"}), "invalid X value: 4000-85", true},
      {"OnlyX", Join({"4000 0.85", "3999"}), "invalid Y value: ", true},
      {"BadY", Join({"4000 0.85", "3999 e"}), "invalid Y value: e", true},
      {"BadYDots", Join({"4000 0.85", "3999 1..5 7"}), "invalid Y value: 1..5", true},
      {"Empty", "", "Not enough data points!", false},
      {"OnlyHeadings", Join({"Wavenumber %T", "x,y"}), "Not enough data points!", false},
      {"OneLine", Join({"4000 0.85"}), "Not enough data points!", false},
      {"EqualEnds", Join({"4000 0.85", "3000 0.8", "4000 0.86"}), "First and last X are equal!",
       false},
      {"TooManyLines", tooMany, "Too many data points!", false},
  };
  for (const auto& c : cases) {
    test::ExpectRefusedKeepsShown(FileKind::kAsciiList, c.text, c.message, c.inStatusPanel, c.name);
  }
}

TEST(AsciiList, SixteenThousandLinesLoad) {
  std::string text;
  for (int i = 0; i < kMaxPoints; ++i) text += FormatInt(20000 - i) + " 0.5\r\n";
  Spectrum s;
  RecordedMessages m;
  ASSERT_TRUE(test::Read(FileKind::kAsciiList, text, "", s, m));
  EXPECT_EQ(s.NPoints, kMaxPoints);
  EXPECT_EQ(s.LastX, 4001);
}

TEST(AsciiList, ReverseSpectrum) {
  for (int n : {2, 3, 6}) {
    Spectrum s;
    s.LastIndex = n - 1;
    for (int i = 0; i < n; ++i) {
      s.TransY[i] = static_cast<float>(i);
      s.RawY[i] = 10 * i;
    }
    s.TransY[n] = 99;
    ReverseSpectrum(s);
    for (int i = 0; i < n; ++i) {
      EXPECT_EQ(s.TransY[i], n - 1 - i) << n;
      EXPECT_EQ(s.RawY[i], 10 * (n - 1 - i)) << n;
    }
    EXPECT_EQ(s.TransY[n], 99) << n;
  }
}

TEST(AsciiList, FileDateAndReadErrors) {
  test::ExpectDatesFromFileStamp("a.asc", Join({"4000 85", "3000 80"}), &ReadAsciiList);

  std::string dir = test::MakeTempDir();
  for (const std::string& bad : {dir + "/missing.asc", dir}) {
    Spectrum shown = ShownSpectrum();
    RecordedMessages e;
    EXPECT_FALSE(test::Told(ReadAsciiList(bad, shown), e)) << bad;
    EXPECT_EQ(e.errors, std::vector<std::string>{"File read error!"}) << bad;
    EXPECT_EQ(shown.AcqDate, "01/01/2001");
  }
}

}  // namespace
}  // namespace tesvar
