#include "formats/sp_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <tuple>

#include "core/file_io.h"
#include "core/io_error.h"
#include "core/number_text.h"
#include "reader_fixture.h"
#include "test_support.h"

namespace tesvar {
namespace {

std::string Le32(int32_t v) {
  uint32_t u = static_cast<uint32_t>(v);
  std::string s;
  for (int i = 0; i < 4; ++i) s += static_cast<char>((u >> (8 * i)) & 0xFF);
  return s;
}

// The pieces of a hand-made SP file; tests change what they need.
struct SpText {
  std::string ident = "PE IR       SPECTRUM";
  std::string comment = "a comment";
  std::string lastX = "450";
  std::string nScans = "16";
  std::string line21 = "";
  std::string yMode = "%T";
  std::string firstX = "4000.000000";
  std::string deltaX = "-1.00";
  std::string nPoints = "3";
  std::string eol = "\r\n";
  bool withHdr = true;
  bool withData = true;
  std::vector<int32_t> data = {4194304, 2097152, 0};

  std::string Bytes() const {
    std::vector<std::string> lines = {ident,         "-1",       "line three",  "26/12/01",
                                      "10:00:00.00", "26/12/02", "11:00:00.00", "operator",
                                      comment,       lastX,      nScans};
    for (int i = 12; i <= 20; ++i) lines.push_back("");
    lines.push_back(line21);
    for (int i = 22; i <= 38; ++i) lines.push_back("");
    if (withHdr) {
      for (const char* l : {"#HDR", "-1", "-1", "#GR", "CM-1"}) lines.push_back(l);
      lines.push_back(yMode);
      lines.push_back("2.38418579101563e-05");
      lines.push_back("0.0");
      lines.push_back(firstX);
      lines.push_back(deltaX);
      lines.push_back(nPoints);
      lines.push_back("");
      lines.push_back("");
      lines.push_back("");
    }
    if (withData) lines.push_back("#DATA");
    std::string out;
    for (const auto& l : lines) out += l + eol;
    for (int32_t v : data) out += Le32(v);
    return out;
  }
};

using test::ShownSpectrum;

void ExpectSameSpectrum(const Spectrum& a, const Spectrum& b) {
  EXPECT_EQ(std::tie(a.OperatorName, a.Comment, a.FirstX, a.NPoints, a.XStep),
            std::tie(b.OperatorName, b.Comment, b.FirstX, b.NPoints, b.XStep));
  EXPECT_EQ(a.TransY, b.TransY);
  EXPECT_EQ(a.RawY, b.RawY);
}

TEST(SpReader, ReadsHeaderAndPercentData) {
  SpText f;
  Spectrum s;
  RecordedMessages m;
  ASSERT_TRUE(test::Read(FileKind::kSp, f.Bytes(), "", s, m));
  EXPECT_TRUE(m.errors.empty());
  EXPECT_EQ(s.IdentLine, "PE IR       SPECTRUM");
  EXPECT_EQ(s.HeaderLine3, "line three");
  EXPECT_EQ(s.AcqDate, "26/12/01");
  EXPECT_EQ(s.ModTime, "11:00:00.00");
  EXPECT_EQ(s.OperatorName, "operator");
  EXPECT_EQ(s.Comment, "a comment");
  EXPECT_EQ(s.NScans, 16);
  test::ExpectAbscissae(s, {3, 4000, 450, 1775, -1});  // DeltaX as the header holds it
  EXPECT_EQ(s.YScale, kPercentYScale);
  EXPECT_EQ(s.Model, 1);
  EXPECT_FLOAT_EQ(s.TransY[0], 1.0f);
  EXPECT_FLOAT_EQ(s.TransY[1], 0.5f);
  EXPECT_FLOAT_EQ(s.TransY[2], 0.0f);
  EXPECT_TRUE(s.DataLoaded && s.YConverted);
}

TEST(SpReader, OrdinateUnits) {
  struct Case {
    const char* yMode;
    int32_t raw;
    double scale;
    double trans;
  } cases[] = {
      {"A", 0, kAbsorbanceYScale, 1.0},
      {"A", 16777216, kAbsorbanceYScale, 0.01},
      {"ABS", 8388608, kAbsorbanceYScale, 0.1},
      {"%T", 4194304, kPercentYScale, 1.0},
      {"%T", 2097152, kPercentYScale, 0.5},
      {"xyz", 2097152, kPercentYScale, 0.5},      // no 'A': percent
      {"A T", 8388608, kAbsorbanceYScale, 0.01},  // 'A' and 'T': scaled, not exponential
      {"a", 2097152, kPercentYScale, 0.5},        // the test is case-sensitive
  };
  for (const auto& c : cases) {
    SpText f;
    f.yMode = c.yMode;
    f.nPoints = "2";
    f.data = {c.raw, c.raw};
    Spectrum s;
    RecordedMessages m;
    ASSERT_TRUE(test::Read(FileKind::kSp, f.Bytes(), "", s, m)) << c.yMode;
    EXPECT_EQ(s.YScale, c.scale) << c.yMode;
    EXPECT_NEAR(s.TransY[0], c.trans, 1e-7) << c.yMode;
  }
}

TEST(SpReader, ModelFromLine21) {
  struct Case {
    const char* line21;
    const char* ident;
    int model;
  } cases[] = {
      {"", "PE IR", 1},
      {"PE 1600 FT-IR", "PE IR", 1},
      {"PE 2000", "PE IR", 2},
      {"1600 and 2000", "PE IR", 2},
      {"neither", "PE IR   PEDS 2000", 1},  // line 1 does not choose the model
  };
  for (const auto& c : cases) {
    SpText f;
    f.line21 = c.line21;
    f.ident = c.ident;
    Spectrum s;
    RecordedMessages m;
    ASSERT_TRUE(test::Read(FileKind::kSp, f.Bytes(), "", s, m));
    EXPECT_EQ(s.Model, c.model) << c.line21;
  }
}

TEST(SpReader, LineEndsAndLongLines) {
  // CR alone ends a line; a lone LF is part of the line; 255 characters kept.
  SpText f;
  f.eol = "\r";
  f.comment = "two\nparts";
  Spectrum s;
  RecordedMessages m;
  ASSERT_TRUE(test::Read(FileKind::kSp, f.Bytes(), "", s, m));
  EXPECT_EQ(s.Comment, "two\nparts");

  SpText g;
  g.comment = std::string(300, 'c');
  ASSERT_TRUE(test::Read(FileKind::kSp, g.Bytes(), "", s, m));
  EXPECT_EQ(s.Comment, std::string(255, 'c'));
  EXPECT_EQ(s.ShortComment, std::string(50, 'c'));
}

TEST(SpReader, CommentWithHashDDoesNotMoveTheData) {
  SpText f;
  f.comment = "sample #D7 from batch #DATA";
  Spectrum s;
  RecordedMessages m;
  ASSERT_TRUE(test::Read(FileKind::kSp, f.Bytes(), "", s, m));
  EXPECT_EQ(s.Comment, "sample #D7 from batch #DATA");
  EXPECT_FLOAT_EQ(s.TransY[1], 0.5f);
}

TEST(SpReader, MalformedScansRingsAndGoesOn) {
  SpText f;
  f.nScans = "16 scans";
  Spectrum s;
  RecordedMessages m;
  ASSERT_TRUE(test::Read(FileKind::kSp, f.Bytes(), "", s, m));
  EXPECT_EQ(m.bells, 1);
  EXPECT_EQ(s.NScans, 0);
}

TEST(SpReader, PointLimits) {
  SpText f;
  f.nPoints = "16000";
  f.data.assign(16000, 4194304);
  Spectrum s;
  RecordedMessages m;
  ASSERT_TRUE(test::Read(FileKind::kSp, f.Bytes(), "", s, m));
  EXPECT_EQ(s.LastIndex, 15999);

  // More integers than NPoints (within the capacity) are ignored.
  f.nPoints = "10";
  ASSERT_TRUE(test::Read(FileKind::kSp, f.Bytes(), "", s, m));
  EXPECT_EQ(s.NPoints, 10);

  // A final group of 1-3 bytes is ignored.
  SpText g;
  std::string bytes = g.Bytes() + "ab";
  ASSERT_TRUE(test::Read(FileKind::kSp, bytes, "", s, m));
}

// Every refused file names its reason and leaves the shown spectrum as it was.
TEST(SpReader, RefusedFilesLeaveTheRecordUnchanged) {
  struct Case {
    const char* name;
    std::function<void(SpText&)> change;
    std::string extra;
    const char* message;
  };
  std::vector<Case> cases = {
      {"UnknownFormat", [](SpText& f) { f.ident = "pe ir"; }, "", "Unknown file format!"},
      {"NoHdr",
       [](SpText& f) {
         f.withHdr = false;
         f.withData = false;
       },
       "", "Data section not found!"},
      {"NoData",
       [](SpText& f) {
         f.withData = false;
         f.data.clear();
       },
       "", "Data section not found!"},
      {"TooManyIntegers", [](SpText& f) { f.data.assign(16001, 1); }, "", "Too many data points!"},
      {"TooManyDeclared",
       [](SpText& f) {
         f.nPoints = "16001";
         f.data.assign(16000, 1);
       },
       "", "Too many data points!"},
      {"FewerIntegersThanPoints", [](SpText& f) { f.nPoints = "4"; }, "",
       "Data section incomplete!"},
      {"OnePoint", [](SpText& f) { f.nPoints = "1"; }, "", "Invalid number of data points!"},
      {"NegativePoints", [](SpText& f) { f.nPoints = "-3"; }, "", "Invalid number of data points!"},
      {"UnreadablePoints", [](SpText& f) { f.nPoints = "three"; }, "",
       "Invalid number of data points!"},
      {"UnreadableFirstX", [](SpText& f) { f.firstX = "4000,0"; }, "", "Invalid abscissa values!"},
      {"UnreadableLastX", [](SpText& f) { f.lastX = ""; }, "", "Invalid abscissa values!"},
      {"EqualX", [](SpText& f) { f.lastX = "4000"; }, "", "First and last X are equal!"},
      {"CtrlZInHeader", [](SpText& f) { f.line21 = std::string("\x1a"); }, "",
       "Data section not found!"},
  };
  for (const auto& c : cases) {
    SpText f;
    c.change(f);
    Spectrum shown = ShownSpectrum();
    Spectrum before = shown;
    RecordedMessages m;
    EXPECT_FALSE(test::Read(FileKind::kSp, f.Bytes() + c.extra, "", shown, m)) << c.name;
    ASSERT_EQ(m.errors.size(), 1u) << c.name;
    EXPECT_EQ(m.errors[0], c.message) << c.name;
    EXPECT_TRUE(test::SameRecord(shown, before)) << c.name;
    ExpectSameSpectrum(before, shown);
  }
}

// An SP file that cannot be read is refused with the generic error report
// of its I/O failure, and the record keeps every value.
TEST(SpReader, MissingFileGivesTheIoErrorReport) {
  Spectrum s = ShownSpectrum();
  const LoadResult result = ReadSpFile("/nonexistent/dir/x.sp", s);
  EXPECT_EQ(result.outcome, LoadOutcome::kRefused);
  EXPECT_TRUE(result.refusal == "Path not found." || result.refusal == "File not found.")
      << result.refusal;
  EXPECT_EQ(result.notices,
            (std::vector<LoadNotice>{{LoadNotice::Kind::kReport, 0, result.refusal}}));
  EXPECT_TRUE(test::SameRecord(s, ShownSpectrum()));
}

// The writer's bytes, derived line by line from the file layout: lines 1-11,
// 27 empty lines, "#HDR", the fixed block lines, FirstX with 6 decimals,
// -|DeltaX| with 2, NPoints, 3 empty lines, "#DATA", then round(T x 4194304)
// as little-endian integers: 1.0 -> 00 00 40 00, -0.001 -> -4194 -> 9E EF FF FF.
TEST(SpWriter, ExactBytes) {
  Spectrum s;
  s.IdentLine = "PE IR";
  s.HeaderLine3 = "h3";
  s.AcqDate = "ad";
  s.AcqTime = "at";
  s.ModDate = "md";
  s.ModTime = "mt";
  s.OperatorName = "op";
  s.SetComment("title");
  s.LastX = 450;
  s.NScans = 16;
  s.FirstX = 4000;
  s.DeltaX = 1;
  s.NPoints = 2;
  s.LastIndex = 1;
  s.TransY[0] = 1.0f;
  s.TransY[1] = -0.001f;
  std::string expected =
      "PE IR\r\n-1\r\nh3\r\nad\r\nat\r\nmd\r\nmt\r\nop\r\ntitle\r\n"
      " 4.50000000000000E+0002\r\n16\r\n";
  for (int i = 0; i < 27; ++i) expected += "\r\n";
  expected +=
      "#HDR\r\n-1\r\n-1\r\n#GR\r\nCM-1\r\n%T\r\n2.38418579101563e-05\r\n0.0\r\n"
      "4000.000000\r\n-1.00\r\n2\r\n\r\n\r\n\r\n#DATA\r\n";
  expected += std::string("\x00\x00\x40\x00", 4);
  expected += std::string("\x9E\xEF\xFF\xFF", 4);
  EXPECT_EQ(BuildSpBytes(s), expected);
  EXPECT_EQ(s.RawY[0], 4194304);
  EXPECT_EQ(s.RawY[1], -4194);
}

TEST(SpWriter, AbsorbanceFileRoundTripsAsPercent) {
  SpText f;
  f.yMode = "A";
  f.nPoints = "3";
  f.data = {0, 8388608, 4194304};
  Spectrum s;
  RecordedMessages m;
  ASSERT_TRUE(test::Read(FileKind::kSp, f.Bytes(), "", s, m));
  std::string written = BuildSpBytes(s);
  EXPECT_NE(written.find("\r\n%T\r\n"), std::string::npos);
  Spectrum back;
  ASSERT_TRUE(test::Read(FileKind::kSp, written, "", back, m));
  EXPECT_EQ(back.YScale, kPercentYScale);
  for (int i = 0; i < 3; ++i) {
    EXPECT_NEAR(back.TransY[i], s.TransY[i], 0.5 / kRawPerFraction) << i;
    EXPECT_EQ(back.RawY[i], RoundToInt32(s.TransY[i] * kRawPerFraction));
  }
  EXPECT_NEAR(back.TransY[1], 0.1, 1e-6);
}

TEST(SpWriter, FileRoundTripKeepsTheFields) {
  std::string dir = test::MakeTempDir();
  SpText f;
  f.firstX = "4000.1234567";
  f.deltaX = "0.964";
  f.line21 = "2000";
  Spectrum s;
  RecordedMessages m;
  ASSERT_TRUE(test::Read(FileKind::kSp, f.Bytes(), "", s, m));
  setenv("SOURCE_DATE_EPOCH", "1796601600", 1);  // 2026-12-07 00:00:00 UTC
  ASSERT_TRUE(WriteSpFile(dir + "/a.sp", s).saved());
  unsetenv("SOURCE_DATE_EPOCH");
  EXPECT_EQ(s.ModTime, "00:00:00.00");
  Spectrum back;
  ASSERT_TRUE(ReadSpFile(dir + "/a.sp", back).loaded());
  EXPECT_EQ(back.Comment, s.Comment);
  EXPECT_EQ(back.OperatorName, s.OperatorName);
  EXPECT_EQ(back.HeaderLine3, s.HeaderLine3);
  EXPECT_EQ(back.ModDate, s.ModDate);
  EXPECT_EQ(back.FirstX, 4000.123457);
  EXPECT_EQ(back.DeltaX, -0.96);
  EXPECT_EQ(back.LastX, 450);
  EXPECT_EQ(back.Model, 1);
  EXPECT_EQ(back.NPoints, 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(back.TransY[i], s.TransY[i]);
}

TEST(SpWriter, FailedSaveLeavesTheOldFile) {
  std::string dir = test::MakeTempDir();
  std::string target = dir + "/sub/a.sp";
  Spectrum s;
  s.NPoints = 2;
  s.LastIndex = 1;
  // The folder does not exist.
  EXPECT_EQ(WriteSpFile(target, s).outcome, SaveOutcome::kCannotCreate);
  EXPECT_FALSE(FileExists(target));
}

}  // namespace
}  // namespace tesvar
