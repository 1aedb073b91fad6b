// The OMNIC .spa reader: the real files of the shared test data, damaged
// copies of them, and the rules on small files built here.
#include "formats/omnic_spa.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "formats/file_kinds.h"
#include "reader_fixture.h"
#include "test_support.h"

namespace tesvar {
namespace {

struct RealSpa {
  const char* file;
  const char* refusal;  // "" when the file loads
  int32_t points;
  double firstX;  // index 0: the highest wavenumber
  double lastX;
  std::vector<std::pair<int, double>> transY;  // index, value
};

TEST(OmnicSpaRealFiles, Decisions) {
  // clang-format off
  const std::vector<RealSpa> cases = {
      // Read with od: directory count 7 at 294; entry 0 (304) key 2 at 560,
      // entry 6 (400) key 3 at 1916, 6952 bytes. Header at 560: u32 3, 1738,
      // 1 (cm-1), 17 (absorbance); f32 at 576 3999.7031, 649.90356 (od -t f4;
      // the float values 3999.703125 and 649.903564453125). Ordinates at
      // 1916 (od -t f4): 0.043998364, 0.043122765; at 1916 + 4 * 869
      // 0.017834395; the last two 6.0. T = 10^-A: 0.90365288, 0.90547661,
      // 0.95976654, 1e-6.
      {"spa/sample1.spa", "", 1738, 3999.703125, 649.903564453125,
       {{0, 0.90365288}, {1, 0.90547661}, {869, 0.95976654}, {1737, 1e-6}}},
      // Header at 560: 1738 points, x unit 1, y quantity 11 (%R).
      {"spa/ftir_polyethylene_reflectance_adjustment_not_working.spa",
       "not a transmittance or absorbance spectrum: y in reflectance", 0, 0, 0, {}},
  };
  // clang-format on
  for (const RealSpa& e : cases) {
    SCOPED_TRACE(e.file);
    const std::string path = test::SharedTestData(e.file);
    if (path.empty()) GTEST_SKIP() << "shared test data " << e.file << " not present";
    Spectrum s = test::ShownSpectrum();
    const Spectrum before = s;
    const LoadResult result = LoadSpectrumFile(path, s);
    ASSERT_NE(result.kind, nullptr);
    EXPECT_EQ(result.kind->kind, FileKind::kOmnicSpa);
    if (!test::LoadedAsExpected(result, e.refusal, s, before)) continue;
    EXPECT_EQ(result.notes, std::vector<std::string>{"absorbance converted to transmittance"});
    const double step = (e.firstX - e.lastX) / (e.points - 1);
    test::ExpectAbscissae(s, {e.points, e.firstX, e.lastX, step, step});
    for (const auto& [index, value] : e.transY) {
      EXPECT_NEAR(s.TransY[index], value, 1e-6 * value) << "index " << index;
    }
  }
}

// The texts of sample1.spa: the title at 30 (233 bytes up to its NUL, with
// Latin-1 'µ' and '²'), the acquisition time at 296, u32 3637622741 s after
// 1899-12-31 = 42102 days + 9941 s = 2015-04-09 02:45:41 UTC (the title
// says 04:46:25 GMT+2), and 32 scans at header + 36.
TEST(OmnicSpaRealFiles, HeaderTexts) {
  const std::string path = test::SharedTestData("spa/sample1.spa");
  if (path.empty()) GTEST_SKIP() << "shared test data spa/sample1.spa not present";
  Spectrum s;
  ASSERT_TRUE(LoadSpectrumFile(path, s).loaded());
  EXPECT_EQ(s.Comment.size(), 233u);
  EXPECT_EQ(s.Comment.substr(0, 14), "Z:\\COM-SMIS\\IN");
  EXPECT_NE(s.Comment.find("12x12\xB5m\xB2 SR XL.map - Spectrum #20"), std::string::npos);
  EXPECT_EQ(s.Comment.substr(s.Comment.size() - 11), "(GMT+02:00)");
  EXPECT_EQ(s.AcqDate, "09/04/2015");
  EXPECT_EQ(s.AcqTime, "02:45:41");
  EXPECT_EQ(s.NScans, 32);
}

void PutU32(std::string& bytes, std::size_t at, uint32_t value) {
  std::memcpy(bytes.data() + at, &value, sizeof value);
}

// Damaged copies of each real file are refused with a message, and leave
// the record alone.
TEST(OmnicSpaRealFiles, DamagedCopiesRefused) {
  struct Damage {
    const char* name;
    std::size_t cutAt;  // 0: not truncated
    std::size_t patchAt;
    uint32_t patch;  // written at patchAt when patchAt != 0
    const char* refusal;
  };
  constexpr uint32_t kHuge = 0xFFFFFFF0u;
  const char* const kPastEnd = "damaged SPA file: a block runs past the end of the file";
  // Both files keep their header at 560 (entry 0 at 304, offset at 306,
  // size at 310); the count of entries at 294.
  const std::vector<Damage> damages = {
      {"cut in the magic", 10, 0, 0, "Unknown file format!"},
      {"cut before the directory", 300, 0, 0, "damaged SPA file: it ends before its directory"},
      {"cut in the directory", 320, 0, 0,
       "damaged SPA file: its directory runs past the end of the file"},
      {"cut in the header", 600, 0, 0, kPastEnd},
      {"cut in the ordinates", 2000, 0, 0, kPastEnd},
      {"entry count huge", 0, 294, 0x7FFF,
       "damaged SPA file: its directory runs past the end of the file"},
      {"entry count negative", 0, 294, 0xFFFF,
       "damaged SPA file: its directory runs past the end of the file"},
      {"header offset huge", 0, 306, kHuge, kPastEnd},
      {"header size huge", 0, 310, kHuge, kPastEnd},
      {"header size short", 0, 310, 20, "damaged SPA file: the spectral header is too short"},
      {"no header", 0, 304, 0x63, "damaged SPA file: no spectral header"},
      {"point count huge", 0, 564, kHuge, "Too many data points!"},
      {"more points than ordinates", 0, 564, 1739, "damaged SPA file: fewer ordinates than points"},
  };
  const std::string folder = test::MakeTempDir();
  for (const char* file :
       {"spa/sample1.spa", "spa/ftir_polyethylene_reflectance_adjustment_not_working.spa"}) {
    const std::string source = test::SharedTestData(file);
    if (source.empty()) GTEST_SKIP() << "shared test data " << file << " not present";
    const std::string original = test::ReadFile(source);
    // The reflectance file is refused for its y quantity unless it says
    // percent transmittance (16), so that the damage is what refuses it.
    std::string intact = original;
    PutU32(intact, 572, 16);
    for (const Damage& d : damages) {
      SCOPED_TRACE(std::string(file) + ": " + d.name);
      std::string bytes = d.cutAt != 0 ? intact.substr(0, d.cutAt) : intact;
      if (d.patchAt == 294) {
        const auto count = static_cast<uint16_t>(d.patch);
        std::memcpy(bytes.data() + 294, &count, sizeof count);
      } else if (d.patchAt == 304) {
        bytes[304] = static_cast<char>(d.patch);
      } else if (d.patchAt != 0) {
        PutU32(bytes, d.patchAt, d.patch);
      }
      const std::string path = folder + "/damaged.spa";
      test::WriteFile(path, bytes);
      Spectrum s = test::ShownSpectrum();
      const Spectrum before = s;
      const LoadResult result = LoadSpectrumFile(path, s);
      ASSERT_NE(result.kind, nullptr);
      EXPECT_EQ(result.kind->kind, FileKind::kOmnicSpa);
      (void)test::LoadedAsExpected(result, d.refusal, s, before);
    }
  }
}

// A small file in the layout of the real ones: title, directory of two
// entries and its end, the header at 400 and the ordinates after it.
struct SmallSpa {
  std::string title = "small";
  uint32_t xUnit = 1;
  uint32_t yQuantity = 16;
  float firstX = 4000;
  float lastX = 3998;
  std::vector<float> ys = {50, 25, 100};
  uint32_t acquired = 3637622741u;

  std::string Bytes() const {
    std::string b(400 + 40 + 4 * ys.size(), '\0');
    std::memcpy(b.data(), "Spectral Data File\r\n", 20);
    std::memcpy(b.data() + 30, title.data(), std::min<std::size_t>(title.size(), 256));
    const int16_t entries = 2;
    std::memcpy(b.data() + 294, &entries, sizeof entries);
    PutU32(b, 296, acquired);
    b[304] = 2;
    PutU32(b, 306, 400);
    PutU32(b, 310, 40);
    b[320] = 3;
    PutU32(b, 322, 440);
    PutU32(b, 326, static_cast<uint32_t>(4 * ys.size()));
    PutU32(b, 400, 3);
    PutU32(b, 404, static_cast<uint32_t>(ys.size()));
    PutU32(b, 408, xUnit);
    PutU32(b, 412, yQuantity);
    std::memcpy(b.data() + 416, &firstX, 4);
    std::memcpy(b.data() + 420, &lastX, 4);
    PutU32(b, 436, 16);  // scans
    std::memcpy(b.data() + 440, ys.data(), 4 * ys.size());
    return b;
  }
};

SmallSpa With(void (*change)(SmallSpa&)) {
  SmallSpa f;
  change(f);
  return f;
}

TEST(OmnicSpa, Rules) {
  struct Case {
    const char* name;
    SmallSpa file;
    const char* refusal;                         // "" when it loads
    std::vector<std::pair<int, double>> transY;  // index, value
  };
  // clang-format off
  const std::vector<Case> cases = {
      {"percent transmittance", SmallSpa{}, "", {{0, 0.5}, {1, 0.25}, {2, 1.0}}},
      {"absorbance", With([](SmallSpa& f) { f.yQuantity = 17; f.ys = {0, 1, 2}; }), "",
       {{0, 1.0}, {1, 0.1}, {2, 0.01}}},
      {"ascending x", With([](SmallSpa& f) { f.firstX = 3998; f.lastX = 4000; }), "",
       {{0, 1.0}, {2, 0.5}}},
      {"nm", With([](SmallSpa& f) { f.xUnit = 3; }), "not an infrared spectrum: x in nm", {}},
      {"Raman shift", With([](SmallSpa& f) { f.xUnit = 32; }),
       "not an infrared spectrum: x in Raman shift", {}},
      {"x unit unknown", With([](SmallSpa& f) { f.xUnit = 9; }),
       "not an infrared spectrum: x in x unit 9", {}},
      {"Kubelka-Munk", With([](SmallSpa& f) { f.yQuantity = 20; }),
       "not a transmittance or absorbance spectrum: y in Kubelka-Munk", {}},
      {"single beam", With([](SmallSpa& f) { f.yQuantity = 15; }),
       "not a transmittance or absorbance spectrum: y in single beam", {}},
      {"y quantity unknown", With([](SmallSpa& f) { f.yQuantity = 99; }),
       "not a transmittance or absorbance spectrum: y in y quantity 99", {}},
      {"one point", With([](SmallSpa& f) { f.ys = {50}; }), "Not enough data points!", {}},
      {"equal ends", With([](SmallSpa& f) { f.lastX = 4000; }), "First and last X are equal!", {}},
      {"ordinate not a number", With([](SmallSpa& f) { f.ys = {50, std::numeric_limits<float>::quiet_NaN(), 50}; }),
       "damaged SPA file: ordinate 2 is not a number", {}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Spectrum s = test::ShownSpectrum();
    const Spectrum before = s;
    const LoadResult result = LoadSpectrumText(c.file.Bytes(), "", InfoFor(FileKind::kOmnicSpa), s);
    if (!test::LoadedAsExpected(result, c.refusal, s, before)) continue;
    EXPECT_EQ(s.NPoints, 3);
    EXPECT_EQ(s.FirstX, 4000);
    EXPECT_EQ(s.NScans, 16);
    for (const auto& [index, value] : c.transY) {
      EXPECT_NEAR(s.TransY[index], value, 1e-6) << "index " << index;
    }
  }
}

TEST(OmnicSpa, TitleAndDate) {
  // Control characters of a title become blanks; no title, a name of its own.
  Spectrum s;
  RecordedMessages said;
  SmallSpa f;
  f.title = "line one\r\nline two";
  ASSERT_TRUE(test::Read(FileKind::kOmnicSpa, f.Bytes(), "", s, said));
  EXPECT_EQ(s.Comment, "line one  line two");
  f.title.clear();
  ASSERT_TRUE(test::Read(FileKind::kOmnicSpa, f.Bytes(), "", s, said));
  EXPECT_EQ(s.Comment, "imported SPA file");
  // 1 s before 2000-03-01 (36585 days after 1899-12-31): a leap day.
  f.acquired = 36585u * 86400u - 1;
  ASSERT_TRUE(test::Read(FileKind::kOmnicSpa, f.Bytes(), "", s, said));
  EXPECT_EQ(s.AcqDate, "29/02/2000");
  EXPECT_EQ(s.AcqTime, "23:59:59");
  // No acquisition time: the file's time stamp stands in.
  f.acquired = 0;
  test::ExpectDatesFromFileStamp("stamp.spa", f.Bytes(), &LoadSpectrumFile);
}

TEST(OmnicSpa, ChosenByContentThenName) {
  const std::string bytes = SmallSpa{}.Bytes();
  EXPECT_EQ(ClassifyFile("x.dat", bytes), &InfoFor(FileKind::kOmnicSpa));
  EXPECT_EQ(ClassifyPath("DIR/X.SPA"), &InfoFor(FileKind::kOmnicSpa));
  EXPECT_EQ(ClassifyPath("dir.spa/x.sp"), &InfoFor(FileKind::kSp));
  EXPECT_EQ(ClassifyFile("x.sp", "PE IR\r\n"), &InfoFor(FileKind::kSp));
}

}  // namespace
}  // namespace tesvar
