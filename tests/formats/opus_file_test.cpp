// The Bruker OPUS reader: the real files of the shared test data, damaged
// copies of the ATR polystyrene file, and the choice of a reader by the
// first bytes whatever the name.
#include "formats/opus_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "formats/file_kinds.h"
#include "reader_fixture.h"
#include "test_support.h"

namespace tesvar {
namespace {

struct RealOpus {
  const char* file;
  int32_t points;
  double firstX;  // index 0: the highest wavenumber
  double lastX;
  std::vector<std::pair<int, double>> transY;  // index, value
  std::vector<std::string> notes;
  const char* comment;
  const char* operatorName;
  const char* acquired;  // date, time
  int32_t scans;
};

// The values were read from the files with od (little-endian):
// the directory from offset 24 (od -t d4: type, length in words, offset),
// the data-status block's FXV and LXV (od -t f8 after each key's 8-byte
// record head), and the absorbances of the data block (od -t f4 -j
// OFFSET+4*i -N 4), turned into T = 10^-A with a calculator.
TEST(OpusRealFiles, Decisions) {
  // clang-format off
  const std::vector<RealOpus> cases = {
      // Absorbance 0x4000100F at 128240 (2126 words), status 0x4000101F at
      // 267848: NPT 2126, FXV 4497.5367913246155, LXV 399.2238918542862.
      // A 0x0048100F block (extra type bits, 1124 words) is not the
      // spectrum. A: 0.023617154, 0.020583302, 0.016602015.
      {"opus/ftir_ps.0", 2126, 4497.5367913246155, 399.2238918542862,
       {{0, 0.947071671}, {1063, 0.953710794}, {2125, 0.962493898}},
       {"absorbance converted to transmittance"},
       "sample1_PSnew", "MAXHELMBERGER", "28/10/2020 14:33:02", 60},
      // Absorbance 0x0000100F at 141352 (4928 words), status at 244320:
      // NPT 4927 (one value fewer than the block), FXV 9997.720922928467 (near
      // infrared reaches past 4000), LXV 499.4039959572754.
      // A: 0.008768924, 0.100674234, 0.023398848.
      {"opus/file.0", 4927, 9997.720922928467, 499.4039959572754,
       {{0, 0.980011283}, {2463, 0.793096012}, {4926, 0.947547853}},
       {"absorbance converted to transmittance"},
       "File Test", "Duran", "03/05/2019 13:34:44", 50},
      // Absorbance as measured 0x4000100F at 8296 (A[0] 0.123221688) and
      // processed 0x0000100F at 26560, status 0x0000101F at 33424: NPT 1716,
      // FXV 3997.396811017969, LXV 499.6746013772461. The processed block's
      // A: 0.123978466, 0.29775217, 0.55176604.
      {"opus/BF_lo_01_soil_cal.1", 1716, 3997.396811017969, 499.6746013772461,
       {{0, 0.751660163}, {858, 0.503788013}, {1715, 0.280694537}},
       {"processed absorbance read, not as measured", "absorbance converted to transmittance"},
       "BF_lo_01_soil_cal", "Default", "06/11/2015 14:38:14", 64},
  };
  // clang-format on
  for (const RealOpus& e : cases) {
    SCOPED_TRACE(e.file);
    const std::string path = test::SharedTestData(e.file);
    if (path.empty()) GTEST_SKIP() << "shared test data " << e.file << " not present";
    Spectrum s = test::ShownSpectrum();
    const LoadResult result = LoadSpectrumFile(path, s);
    EXPECT_EQ(result.kind, &InfoFor(FileKind::kOpus));
    ASSERT_TRUE(result.loaded()) << result.refusal;
    EXPECT_EQ(result.notes, e.notes);
    const double step = (e.firstX - e.lastX) / (e.points - 1);
    test::ExpectAbscissae(s, {e.points, e.firstX, e.lastX, step, step});
    for (const auto& [index, value] : e.transY) {
      EXPECT_NEAR(s.TransY[index], value, 1e-6 * value) << "index " << index;
    }
    EXPECT_EQ(s.Comment, e.comment);
    EXPECT_EQ(s.OperatorName, e.operatorName);
    EXPECT_EQ(s.AcqDate + " " + s.AcqTime, e.acquired);
    EXPECT_EQ(s.ModDate + " " + s.ModTime, e.acquired);
    EXPECT_EQ(s.NScans, e.scans);
  }
}

// The file that holds its absorbance twice says which one it read in status
// panel 2, with the ordinate rule.
TEST(OpusRealFiles, ProcessedBlockSaidInStatusPanel) {
  const std::string path = test::SharedTestData("opus/BF_lo_01_soil_cal.1");
  if (path.empty()) GTEST_SKIP() << "shared test data not present";
  Spectrum s;
  RecordedMessages m;
  ASSERT_TRUE(test::Told(LoadSpectrumFile(path, s), m));
  EXPECT_EQ(m.status[2],
            "processed absorbance read, not as measured; absorbance converted to transmittance");
}

// ftir_ps.0's layout, from its directory (od -t d4 -j 24): entry k at
// 24 + 12k; entry 8 the absorbance data block (at 128240, 2126 words),
// entry 17 its status block (at 267848, 44 words).
constexpr std::size_t kDataEntry = 24 + 8 * 12;
constexpr std::size_t kStatusEntry = 24 + 17 * 12;
constexpr std::size_t kStatusBlock = 267848;

void PutInt32(std::string& bytes, std::size_t at, int32_t value) {
  std::memcpy(bytes.data() + at, &value, sizeof value);
}

// The offset of a parameter record's value in the status block.
std::size_t ValueOf(const std::string& bytes, const std::string& key) {
  return bytes.find(key + std::string(1, '\0'), kStatusBlock) + 8;
}

struct Damage {
  const char* what;
  void (*apply)(std::string& bytes);
  const char* refusal;  // "" when the copy still loads
};

TEST(OpusDamagedCopies, RefusedWithAMessage) {
  const std::string path = test::SharedTestData("opus/ftir_ps.0");
  if (path.empty()) GTEST_SKIP() << "shared test data not present";
  const std::string original = test::ReadFile(path);
  const std::string past = "damaged OPUS file: a block runs past the end of the file";
  const std::string dirPast = "damaged OPUS file: its directory runs past the end of the file";
  // clang-format off
  const std::vector<Damage> cases = {
      {"directory offset beyond the file", [](std::string& b) { PutInt32(b, 12, 0x7FFFFFFF); }, dirPast.c_str()},
      {"directory offset negative", [](std::string& b) { PutInt32(b, 12, -24); }, dirPast.c_str()},
      {"blocks in use beyond the file", [](std::string& b) { PutInt32(b, 20, 30000); }, dirPast.c_str()},
      {"blocks in use negative", [](std::string& b) { PutInt32(b, 20, -1); }, dirPast.c_str()},
      {"directory elsewhere: moved to the end", [](std::string& b) {
         const std::string directory = b.substr(24, 22 * 12);
         PutInt32(b, 12, static_cast<int32_t>(b.size()));
         b += directory;
       }, ""},
      {"data block offset beyond the file", [](std::string& b) { PutInt32(b, kDataEntry + 8, 0x7FFFFFF0); }, past.c_str()},
      {"data block offset negative", [](std::string& b) { PutInt32(b, kDataEntry + 8, -4); }, past.c_str()},
      {"data block length beyond the file", [](std::string& b) { PutInt32(b, kDataEntry + 4, 0x7FFFFFFF); }, past.c_str()},
      {"data block length negative", [](std::string& b) { PutInt32(b, kDataEntry + 4, -1); }, past.c_str()},
      {"data block shorter than NPT", [](std::string& b) { PutInt32(b, kDataEntry + 4, 2125); },
       "damaged OPUS file: fewer values than points"},
      {"status block beyond the file", [](std::string& b) { PutInt32(b, kStatusEntry + 8, 300000); }, past.c_str()},
      {"status block lost", [](std::string& b) { PutInt32(b, kStatusEntry, 0x4000FFFF); },
       "damaged OPUS file: the spectrum has no data-status block"},
      {"NPT too large", [](std::string& b) { PutInt32(b, ValueOf(b, "NPT"), 16001); }, "Too many data points!"},
      {"NPT 1", [](std::string& b) { PutInt32(b, ValueOf(b, "NPT"), 1); }, "Not enough data points!"},
      {"NPT negative", [](std::string& b) { PutInt32(b, ValueOf(b, "NPT"), -2126); }, "Not enough data points!"},
      {"NPT beyond its block", [](std::string& b) { PutInt32(b, ValueOf(b, "NPT"), 2133); },
       "damaged OPUS file: fewer values than points"},
      {"DXU micrometres", [](std::string& b) { b.replace(ValueOf(b, "DXU"), 2, "MI"); },
       "not an infrared spectrum: x in \xC2\xB5m"},
      {"DXU points", [](std::string& b) { b.replace(ValueOf(b, "DXU"), 3, "PNT"); },
       "not an infrared spectrum: x in points"},
      {"DPF 2", [](std::string& b) { PutInt32(b, ValueOf(b, "DPF"), 2); },
       "damaged OPUS file: data point format 2"},
      {"record size past its block", [](std::string& b) {
         const int16_t words = 0x7FFF;
         std::memcpy(b.data() + ValueOf(b, "DAT") - 2, &words, 2);
       }, "damaged OPUS file: the parameter DAT runs past its block"},
      {"no absorbance: the file then holds single channels", [](std::string& b) {
         PutInt32(b, kDataEntry, 0x40000000);
       }, "not a transmittance or absorbance spectrum: a single channel"},
      {"reflectance instead of absorbance", [](std::string& b) {
         PutInt32(b, kDataEntry, 0x4000300F);
       }, "not a transmittance or absorbance spectrum: reflectance"},
      {"truncated in its header", [](std::string& b) { b.resize(20); },
       "damaged OPUS file: it ends in its header"},
      {"truncated in the directory", [](std::string& b) { b.resize(200); }, dirPast.c_str()},
      {"truncated in the data block", [](std::string& b) { b.resize(128240 + 4000); }, past.c_str()},
      {"truncated after the spectrum's blocks: a report cut", [](std::string& b) { b.resize(275000); }, ""},
  };
  // clang-format on
  for (const Damage& d : cases) {
    SCOPED_TRACE(d.what);
    std::string bytes = original;
    d.apply(bytes);
    Spectrum s = test::ShownSpectrum();
    const Spectrum before = s;
    const LoadResult result = LoadSpectrumText(bytes, "", InfoFor(FileKind::kOpus), s);
    if (test::LoadedAsExpected(result, d.refusal, s, before)) {
      EXPECT_EQ(s.NPoints, 2126);
      EXPECT_NEAR(s.TransY[0], 0.947071671, 1e-6);
    }
  }
}

// A transmittance block is read when there is no absorbance, with the
// ASCII list's rule: the file does not say fraction or percent. The
// polystyrene absorbances (0.013 to 0.61) taken as transmittance lie
// above 0.1, so they stand as listed.
TEST(OpusDamagedCopies, TransmittanceBlockReadAsListed) {
  const std::string path = test::SharedTestData("opus/ftir_ps.0");
  if (path.empty()) GTEST_SKIP() << "shared test data not present";
  std::string bytes = test::ReadFile(path);
  PutInt32(bytes, kDataEntry, 0x4000140F);
  PutInt32(bytes, kStatusEntry, 0x4000141F);
  Spectrum s;
  const LoadResult result = LoadSpectrumText(bytes, "", InfoFor(FileKind::kOpus), s);
  ASSERT_TRUE(result.loaded()) << result.refusal;
  EXPECT_EQ(result.notes, std::vector<std::string>{"transmittance as listed"});
  EXPECT_FLOAT_EQ(s.TransY[0], 0.023617154f);
}

// The first bytes choose the reader whatever the name; a name with a
// counter extension chooses nothing by itself.
TEST(OpusChoice, ByContentNotByName) {
  const std::string path = test::SharedTestData("opus/ftir_ps.0");
  if (path.empty()) GTEST_SKIP() << "shared test data not present";
  const std::string dir = test::MakeTempDir();
  const std::string bytes = test::ReadFile(path);
  for (const char* name : {"/run.001", "/test.0000", "/polystyrene.sp", "/noname"}) {
    SCOPED_TRACE(name);
    test::WriteFile(dir + name, bytes);
    Spectrum s;
    const LoadResult result = LoadSpectrumFile(dir + name, s);
    ASSERT_NE(result.kind, nullptr);
    EXPECT_EQ(result.kind->kind, FileKind::kOpus);
    EXPECT_TRUE(result.loaded());
  }
  test::WriteFile(dir + "/sample.0", "3998.0 0.92\r\n3996.0 0.91\r\n");
  Spectrum s;
  EXPECT_EQ(LoadSpectrumFile(dir + "/sample.0", s).kind, nullptr);
}

}  // namespace
}  // namespace tesvar
