// PerkinElmer binary data sets ("PEPE" .sp files): the real files of the
// shared test data, damaged copies of them, and small data sets built here
// for the unit and y quantity rules.
#include "formats/pe_data_set.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "formats/file_kinds.h"
#include "reader_fixture.h"
#include "test_support.h"

namespace tesvar {
namespace {

const std::string kDamaged = "damaged PerkinElmer data set: ";

struct RealFile {
  const char* file;
  const char* refusal;  // "" when it loads
  int points;
  double firstX, lastX;
  int scans;
  const char* operatorName;
  const char* comment;
  const char* acqDate;
  const char* acqTime;
  const char* modTime;
  std::vector<std::pair<int, double>> transY;  // index, value
};

// Expected values read from the bytes (od/python, offsets as in the walk of
// the block tree): in spectra.sp the data set block 0078 starts at byte 44;
// 8B72 at 1329 holds the range 4000, 700; 8B75 at 1393 the count 3301; 8B78
// at 1429 the y label "A"; 8B7C at 1495 the type 7516, L = 26408 = 8 x 3301
// and the float64 ordinates from byte 1507: A = 0.03723936007346753 (index
// 0), 0.03718613516196354 (1), 0.011194380626662198 (1650, at 14707) and
// 0.004175562077308466 (3300, at 27907), so T = 10^-A = 0.9178266,
// 0.9179391, 0.9745534, 0.9904315. The history 8B7F at 50: the newest
// record (date at 102, "Thu Mar 09 09:19:21 2006", no operator), an older
// one (operator "Admin" at 192), and the creation record in 007A (date
// "Thu Mar 09 09:17:56 2006" at 363, no operator, sample description at
// 407) with the IR header 007C whose 8C00 at 602 holds 32. The alias 8B81
// at 1478 is "strip01".
// BevFilter20.Sample.sp: 8B77 at 1880 is "nm", 8B79 at 1892 is 11.
const std::vector<RealFile>& RealFiles() {
  static const std::vector<RealFile> files = {
      {"pe-binary/spectra.sp",
       "",
       3301,
       4000,
       700,
       32,
       "Admin",
       "strip01: Spectrum at 5673,-2148,294 Micrometers  Aperture: 100,100",
       "09/03/2006",
       "09:17:56",
       "09:19:21",
       {{0, 0.9178266}, {1, 0.9179391}, {1650, 0.9745534}, {3300, 0.9904315}}},
      {"pe-binary/BevFilter20.Sample.sp",
       "not an infrared spectrum: x in nm",
       0,
       0,
       0,
       0,
       "",
       "",
       "",
       "",
       "",
       {}},
  };
  return files;
}

TEST(PeDataSetRealFiles, LoadOrRefuse) {
  for (const RealFile& e : RealFiles()) {
    const std::string path = test::SharedTestData(e.file);
    if (path.empty()) GTEST_SKIP() << "shared test data " << e.file << " not present";
    // Chosen by content whatever the name, and so through the SP open too.
    EXPECT_EQ(ClassifyFile("renamed.txt", test::ReadFile(path)), &InfoFor(FileKind::kPeDataSet));
    for (bool asSp : {false, true}) {
      Spectrum s = test::ShownSpectrum();
      const Spectrum before = s;
      const LoadResult result =
          asSp ? LoadSpectrumFile(path, InfoFor(FileKind::kSp), s) : LoadSpectrumFile(path, s);
      EXPECT_EQ(result.kind, &InfoFor(FileKind::kPeDataSet)) << e.file;
      SCOPED_TRACE(e.file);
      if (!test::LoadedAsExpected(result, e.refusal, s, before)) continue;
      test::ExpectAbscissae(s, {e.points, e.firstX, e.lastX, (e.firstX - e.lastX) / (e.points - 1),
                                (e.firstX - e.lastX) / (e.points - 1)});
      EXPECT_EQ(s.NScans, e.scans);
      EXPECT_EQ(s.OperatorName, e.operatorName);
      EXPECT_EQ(s.Comment, e.comment);
      EXPECT_EQ(std::tie(s.AcqDate, s.AcqTime, s.ModDate, s.ModTime),
                std::tie(e.acqDate, e.acqTime, e.acqDate, e.modTime));
      EXPECT_EQ(s.IdentLine, kImportIdentLine);
      for (const auto& [index, value] : e.transY) {
        EXPECT_NEAR(s.TransY[index], value, 1e-6) << e.file << " index " << index;
      }
      EXPECT_EQ(result.notes, std::vector<std::string>{"absorbance converted to transmittance"});
    }
  }
}

void Put32(std::string& bytes, std::size_t at, uint32_t value) {
  std::memcpy(bytes.data() + at, &value, sizeof value);
}

// Every damaged copy is refused with a message, the record untouched.
void ExpectRefused(const std::string& bytes, const std::string& what) {
  Spectrum s = test::ShownSpectrum();
  const Spectrum before = s;
  RecordedMessages m;
  EXPECT_FALSE(test::Read(FileKind::kPeDataSet, bytes, "", s, m)) << what;
  ASSERT_EQ(m.errors.size(), 1u) << what;
  EXPECT_FALSE(m.errors[0].empty()) << what;
  EXPECT_TRUE(test::SameRecord(s, before)) << what;
}

TEST(PeDataSetRealFiles, DamagedCopiesAreRefused) {
  for (const RealFile& e : RealFiles()) {
    const std::string path = test::SharedTestData(e.file);
    if (path.empty()) GTEST_SKIP() << "shared test data " << e.file << " not present";
    const std::string bytes = test::ReadFile(path);
    for (std::size_t cut :
         {std::size_t{3}, std::size_t{44}, std::size_t{47}, std::size_t{100}, std::size_t{1400},
          bytes.size() / 2, bytes.size() - 9, bytes.size() - 1}) {
      ExpectRefused(bytes.substr(0, cut), std::string(e.file) + " cut at " + std::to_string(cut));
    }
    std::string huge = bytes;
    Put32(huge, 46, 0xFFFFFFFFu);  // the data set block's size
    ExpectRefused(huge, std::string(e.file) + " data set size");
  }
  const std::string path = test::SharedTestData("pe-binary/spectra.sp");
  if (path.empty()) GTEST_SKIP() << "shared test data pe-binary/spectra.sp not present";
  const std::string bytes = test::ReadFile(path);
  struct Patch {
    std::size_t at;
    uint32_t value;
    std::string message;
  };
  const std::vector<Patch> patches = {
      {1401, 0x7FFFFFFF, "Too many data points!"},  // 8B75's count
      {1401, 3300, kDamaged + "the ordinates do not match the point count at byte 1495"},
      {1503, 0xFFFFFFF8, kDamaged + "array 8B7C of a wrong length at byte 1495"},
      {1497, 0xFFFFFFF0, kDamaged + "block 8B7C runs past its end at byte 1495"},
      {1484, 0x7FFF7523, kDamaged + "text 8B81 too long at byte 1478"},  // type, length
      {1395, 0x00000004, kDamaged + "member 8B75 is not an integer at byte 1393"},
  };
  for (const Patch& p : patches) {
    std::string patched = bytes;
    Put32(patched, p.at, p.value);
    Spectrum s;
    RecordedMessages m;
    EXPECT_FALSE(test::Read(FileKind::kPeDataSet, patched, "", s, m)) << p.message;
    EXPECT_EQ(m.errors, std::vector<std::string>{p.message});
  }
}

// A small data set: blocks as the files hold them.
std::string Block(uint16_t id, const std::string& data) {
  std::string out(6, '\0');
  const auto size = static_cast<uint32_t>(data.size());
  std::memcpy(out.data(), &id, 2);
  std::memcpy(out.data() + 2, &size, 4);
  return out + data;
}
template <class T>
std::string Value(uint16_t type, T value) {
  std::string out(2 + sizeof value, '\0');
  std::memcpy(out.data(), &type, 2);
  std::memcpy(out.data() + 2, &value, sizeof value);
  return out;
}
std::string Text(const std::string& text) {
  return Value<uint16_t>(0x7523, static_cast<uint16_t>(text.size())) + text;
}

std::string DataSet(const std::string& xLabel, const std::string& yLabel,
                    const std::vector<double>& y, double interval) {
  std::string range = Value<double>(0x751D, 1000);
  const double last = 1000 + interval * static_cast<double>(y.size() - 1);
  range.append(reinterpret_cast<const char*>(&last), 8);
  std::string array = Value<uint32_t>(0x7516, static_cast<uint32_t>(8 * y.size()));
  array.append(reinterpret_cast<const char*>(y.data()), 8 * y.size());
  const std::string members =
      Block(0x8B72, range) + Block(0x8B74, Value<double>(0x751B, interval)) +
      Block(0x8B75, Value<int32_t>(0x752B, static_cast<int32_t>(y.size()))) +
      Block(0x8B77, Text(xLabel)) + Block(0x8B78, Text(yLabel)) + Block(0x8B7C, array);
  std::string head = "PEPE2D constant interval DataSet file";
  head.resize(44, '\0');
  return head + Block(0x0078, members);
}

TEST(PeDataSetUnits, QuantitiesConvertedOrRefusedByName) {
  struct Case {
    const char* xLabel;
    const char* yLabel;
    const char* said;  // the rule applied, or the refusal
    float firstT;      // TransY of the first point (y = 50, 0.5, 1)
  };
  const std::vector<Case> cases = {
      {"cm-1", "%T", "percent transmittance", 0.5f},
      {"cm-1", "T", "transmittance as a fraction", 0.5f},
      {"cm-1", "A", "absorbance converted to transmittance", 0.1f},
      {"cm-1", "%R", "not a transmittance or absorbance spectrum: y in reflectance", 0},
      {"cm-1", "INT", "not a transmittance or absorbance spectrum: y in intensity", 0},
      {"cm-1", "Volts", "not a transmittance or absorbance spectrum: y in Volts", 0},
      {"nm", "A", "not an infrared spectrum: x in nm", 0},
      {"s", "A", "not an infrared spectrum: x in s", 0},
  };
  for (const Case& c : cases) {
    const std::vector<double> y = std::string(c.yLabel) == "%T" ? std::vector<double>{50, 60, 70}
                                  : std::string(c.yLabel) == "A"
                                      ? std::vector<double>{1, 0.5, 0}
                                      : std::vector<double>{0.5, 0.6, 0.7};
    Spectrum s;
    RecordedMessages m;
    const bool loaded =
        test::Read(FileKind::kPeDataSet, DataSet(c.xLabel, c.yLabel, y, 2), "", s, m);
    if (c.firstT == 0) {
      EXPECT_FALSE(loaded) << c.yLabel;
      EXPECT_EQ(m.errors, std::vector<std::string>{c.said});
      continue;
    }
    ASSERT_TRUE(loaded) << c.yLabel << ": " << (m.errors.empty() ? "" : m.errors[0]);
    EXPECT_EQ(m.status[2], c.said);
    // Ascending in the file: index 0 holds the last point, 1004 cm-1.
    test::ExpectAbscissae(s, {3, 1004, 1000, 2, 2});
    EXPECT_NEAR(s.TransY[2], c.firstT, 1e-7) << c.yLabel;
    EXPECT_EQ(s.Comment, "imported PerkinElmer data set");
  }
}

TEST(PeDataSetUnits, IntervalAndOrdinatesMustBeSound) {
  std::string bytes = DataSet("cm-1", "%T", {50, 60, 70}, 2);
  const std::size_t intervalAt = bytes.find(std::string("\x74\x8B", 2));
  double wrong = 3;
  std::memcpy(bytes.data() + intervalAt + 8, &wrong, 8);
  RecordedMessages m;
  Spectrum s;
  EXPECT_FALSE(test::Read(FileKind::kPeDataSet, bytes, "", s, m));
  EXPECT_EQ(m.errors, std::vector<std::string>{kDamaged +
                                               "the x interval does not fit the x "
                                               "range at byte " +
                                               std::to_string(intervalAt)});

  RecordedMessages nan;
  EXPECT_FALSE(
      test::Read(FileKind::kPeDataSet, DataSet("cm-1", "%T", {50, NAN, 70}, 2), "", s, nan));
  ASSERT_EQ(nan.errors.size(), 1u);
  EXPECT_EQ(nan.errors[0].rfind(kDamaged + "ordinate 2 not a number", 0), 0u) << nan.errors[0];
}

}  // namespace
}  // namespace tesvar
