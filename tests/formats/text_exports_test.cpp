// The readers of instrument text exports: delimited text, PerkinElmer
// ASCII exports and Agilent .asp files, chosen by the file kind registry.
// Real files come from the shared test data; the rules are checked on
// small texts written here.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "formats/ascii_list.h"
#include "formats/file_kinds.h"
#include "reader_fixture.h"
#include "test_support.h"

namespace tesvar {
namespace {

struct RealFile {
  const char* file;
  FileKind kind;
  const char* refusal;  // "" when the file loads
  int32_t points;
  double firstX;  // index 0: the highest wavenumber
  double lastX;
  const char* note;                            // the unit rule applied
  std::vector<std::pair<int, double>> transY;  // index, value
};

TEST(TextExportRealFiles, Decisions) {
  // clang-format off
  const std::vector<RealFile> cases = {
      // "XUNITS,1/CM", "YUNITS,ABSORBANCE"; 12447 lines from "999.9101,0.572538"
      // up to "7000.3350,0.0295649" (ascending, so reversed). T = 10^-A:
      // 10^-0.0295649 = 0.93418976, 10^-0.0300084 (the line before it) =
      // 0.93323625, 10^-0.572538 = 0.26758515. The Extended Information
      // footer after the blank line is not data.
      {"ascii/ftir_test.csv", FileKind::kDelimitedText, "", 12447, 7000.3350, 999.9101,
       "absorbance converted to transmittance",
       {{0, 0.93418976}, {1, 0.93323625}, {12445, 0.26916464}, {12446, 0.26758515}}},
      // No header: tab-separated "1.00\t10.0" ... "10.00\t9.5", ascending.
      // Largest y 23.3 (x 5), so AdjustOrdinate divides by 100: index 0 is
      // x 10 (9.5 -> 0.095), index 5 x 5 (0.233), index 9 x 1 (0.100).
      {"ascii/sample.dpt", FileKind::kDelimitedText, "", 10, 10, 1,
       "transmittance, ordinate adjusted", {{0, 0.095}, {5, 0.233}, {9, 0.100}}},
      // Lines 1-6: 1932, 3999.43349933624, 400.688817501068, 1 (cm-1), 2
      // (absorbance), 4. First values 0.00861804045400133 ->
      // 10^-A = 0.98035182, 0.00883599455932377 -> 0.97985995; last
      // 0.113463051924005 -> 0.77008196.
      {"text/2024-10-10_FeSO4_ref.asp", FileKind::kAspText, "", 1932, 3999.43349933624,
       400.688817501068, "absorbance converted to transmittance",
       {{0, 0.98035182}, {1, 0.97985995}, {1931, 0.77008196}}},
      // "##YUNITS=%T"; 27 lines "399.264912 \t81.708257" ... "449.414128
      // \t90.973063" (ascending): index 0 90.973063 %T, index 25 is
      // 401.193728 at 82.091553, index 26 81.708257.
      {"text/shimadzu_ftirtext_020.txt", FileKind::kDelimitedText, "", 27, 449.414128, 399.264912,
       "percent transmittance", {{0, 0.90973063}, {25, 0.82091553}, {26, 0.81708257}}},
  };
  // clang-format on
  for (const RealFile& e : cases) {
    SCOPED_TRACE(e.file);
    const std::string path = test::SharedTestData(e.file);
    if (path.empty()) GTEST_SKIP() << "shared test data " << e.file << " not present";
    Spectrum s = test::ShownSpectrum();
    const LoadResult result = LoadSpectrumFile(path, s);
    ASSERT_NE(result.kind, nullptr);
    EXPECT_EQ(result.kind->kind, e.kind);
    EXPECT_EQ(result.refusal, e.refusal);
    if (*e.refusal != '\0') continue;
    ASSERT_TRUE(result.loaded());
    EXPECT_EQ(result.notes, std::vector<std::string>{e.note});
    EXPECT_EQ(s.NPoints, e.points);
    EXPECT_DOUBLE_EQ(s.FirstX, e.firstX);
    EXPECT_DOUBLE_EQ(s.LastX, e.lastX);
    EXPECT_DOUBLE_EQ(s.XStep, (e.firstX - e.lastX) / (e.points - 1));
    for (const auto& [index, value] : e.transY) {
      EXPECT_NEAR(s.TransY[index], value, 2e-6) << "index " << index;
    }
  }
}

// Named *.asc, every file that is not a PerkinElmer export goes to the
// ASCII list reader and gives exactly the record that reader gives it.
TEST(TextExportRealFiles, AscNamesKeepTheAsciiListReader) {
  const std::string folder = test::MakeTempDir();
  for (const char* file : {"ascii/ftir_test.csv", "ascii/sample.dpt",
                           "text/2024-10-10_FeSO4_ref.asp", "text/shimadzu_ftirtext_020.txt"}) {
    SCOPED_TRACE(file);
    const std::string source = test::SharedTestData(file);
    if (source.empty()) GTEST_SKIP() << "shared test data " << file << " not present";
    const std::string text = test::ReadFile(source);
    const std::string path = folder + "/copy.asc";
    test::WriteFile(path, text);
    Spectrum byRegistry = test::ShownSpectrum();
    Spectrum direct = test::ShownSpectrum();
    const LoadResult result = LoadSpectrumFile(path, byRegistry);
    RecordedMessages said;
    const bool loaded = test::Read(FileKind::kAsciiList, text, path, direct, said);
    ASSERT_NE(result.kind, nullptr);
    EXPECT_EQ(result.kind->kind, FileKind::kAsciiList);
    EXPECT_EQ(result.loaded(), loaded);
    EXPECT_TRUE(test::SameRecord(byRegistry, direct));
  }
}

struct TextCase {
  const char* name;
  std::string text;
  const char* refusal;  // "" when the text loads
  const char* note;
  std::vector<std::pair<int, double>> transY;  // index, value
  int32_t points = 3;
  double firstX = 4000;
};

void CheckTexts(FileKind kind, const std::vector<TextCase>& cases) {
  for (const TextCase& c : cases) {
    SCOPED_TRACE(c.name);
    Spectrum s = test::ShownSpectrum();
    const Spectrum before = s;
    const LoadResult result = LoadSpectrumText(c.text, "", InfoFor(kind), s);
    if (!test::LoadedAsExpected(result, c.refusal, s, before)) continue;
    EXPECT_EQ(result.notes, std::vector<std::string>{c.note});
    EXPECT_EQ(s.NPoints, c.points);
    EXPECT_DOUBLE_EQ(s.FirstX, c.firstX);
    for (const auto& [index, value] : c.transY) {
      EXPECT_NEAR(s.TransY[index], value, 1e-6) << "index " << index;
    }
  }
}

std::string Many(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += std::to_string(4000 - i) + ",0.5\n";
  return text;
}

TEST(DelimitedText, Rules) {
  // clang-format off
  CheckTexts(FileKind::kDelimitedText, {
      {"semicolons and decimal commas", "Wavenumber;%T\n4000,0;85,5\n3999,0;86,0\n3998,0;87,0\n",
       "", "percent transmittance", {{0, 0.855}, {1, 0.86}, {2, 0.87}}},
      {"blanks and decimal commas", "4000,5 0,5\n3999,5 0,6\n3998,5 0,7\n", "",
       "transmittance as listed", {{0, 0.5}, {2, 0.7}}, 3, 4000.5},
      {"commas, a heading and a footer",
       "Wavenumber (cm-1),Absorbance\n3998,1\n3999,0\n4000,2\n\nsaved by: someone, 2\n", "",
       "absorbance converted to transmittance", {{0, 0.01}, {1, 1.0}, {2, 0.1}}},
      {"tab, short names", "cm-1\tA\n4000\t0.30103\n3999\t0\n3998\t1\n", "",
       "absorbance converted to transmittance", {{0, 0.5}, {1, 1.0}, {2, 0.1}}},
      {"transmittance without a scale", "x,transmittance\n4000,95\n3999,50\n3998,5\n", "",
       "transmittance, ordinate adjusted", {{0, 0.95}, {1, 0.5}, {2, 0.05}}},
      {"transmittance as a fraction", "x;Transmittance (fraction)\n4000;0.05\n3999;0.02\n3998;0.01\n",
       "", "transmittance as a fraction", {{0, 0.05}, {2, 0.01}}},
      {"named unit lines", "##XUNITS=1/CM\n##YUNITS=%T\n4000 50\n3999 60\n3998 70\n", "",
       "percent transmittance", {{0, 0.5}, {2, 0.7}}},
      {"x in nm", "Wavelength (nm),Absorbance\n400,0.1\n401,0.2\n402,0.3\n",
       "not an infrared spectrum: x in nm", "", {}},
      {"Raman shift", "Raman shift (cm-1)\tIntensity\n400\t1\n401\t2\n402\t3\n",
       "not an infrared spectrum: x in Raman shift", "", {}},
      {"counts", "Wavenumber,Counts\n4000,1\n3999,2\n3998,3\n",
       "not a transmittance or absorbance spectrum: y in counts", "", {}},
      {"reflectance", "XUNITS=1/CM\nYUNITS=%R\n4000,1\n3999,2\n3998,3\n",
       "not a transmittance or absorbance spectrum: y in reflectance", "", {}},
      {"Kubelka-Munk", "cm-1;Kubelka-Munk\n4000;1\n3999;2\n3998;3\n",
       "not a transmittance or absorbance spectrum: y in Kubelka-Munk", "", {}},
      {"a missing point", "4000,0.5\n3999,0.5\n3997,0.5\n3996,0.5\n",
       "x values are not evenly spaced", "", {}},
      {"a repeated point", "4000,0.5\n3999,0.5\n3999,0.5\n3998,0.5\n",
       "x values are not evenly spaced", "", {}},
      {"one point", "Wavenumber,%T\n4000,50\n", "Not enough data points!", "", {}},
      {"prose", "This is a letter, not a spectrum.\n", "Not enough data points!", "", {}},
      {"16000 points", Many(16000), "", "transmittance as listed", {{15999, 0.5}}, 16000},
      {"16001 points", Many(16001), "Too many data points!", "", {}},
  });
  // clang-format on
}

// A PerkinElmer ASCII export written from the layout of real exports
// (six 12-character fields on line 1, the SP header up to "#HDR", an
// instrument block, "#GR" and its seven values, "#DATA"): no real IR export
// could be kept in the test data.
std::string PeExport(const std::string& xUnit, const std::string& yUnit,
                     const std::vector<std::string>& data, int declared) {
  std::vector<std::string> lines = {"PE IR       SPECTRUM    ASCII       PEDS        1.60        ",
                                    "  -1",
                                    "~SP.SP",
                                    "24/03/05",
                                    "10:11:12",
                                    "24/03/06",
                                    "13:14:15",
                                    "pili",
                                    "polystyrene film",
                                    "3998.000000",
                                    "4"};
  for (int i = 12; i <= 20; ++i) lines.push_back("");
  lines.insert(lines.end(),
               {"SPECTRUM 100,CPU32 MAIN 00.02.8200", "MIR", "4.000000", "STRONG", "#HDR", "-1",
                "-1", "#GR", xUnit, yUnit, "0.00002384185791015625", "0.0", "4000.000000",
                "-1.000000", std::to_string(declared), "8", "90.0", "50.0", "#DATA"});
  lines.insert(lines.end(), data.begin(), data.end());
  return test::Join(lines);
}

TEST(PeAsciiExport, Rules) {
  const std::vector<std::string> data = {"4000.000000\t50.000000  ", "3999.000000\t60.000000  ",
                                         "3998.000000\t90.000000  "};
  // clang-format off
  CheckTexts(FileKind::kPeAscii, {
      {"percent transmittance", PeExport("CM-1", "%T", data, 3), "", "percent transmittance",
       {{0, 0.5}, {1, 0.6}, {2, 0.9}}},
      {"absorbance", PeExport("CM-1", "A", {"4000.0\t1", "3999.0\t0", "3998.0\t2"}, 3), "",
       "absorbance converted to transmittance", {{0, 0.1}, {1, 1.0}, {2, 0.01}}},
      {"fluorescence in nm", PeExport("NM", "", data, 3), "not an infrared spectrum: x in nm", "",
       {}},
      {"reflectance", PeExport("CM-1", "%R", data, 3),
       "not a transmittance or absorbance spectrum: y in reflectance", "", {}},
      {"fewer data lines than points", PeExport("CM-1", "%T", data, 4),
       "Data section incomplete!", "", {}},
      {"a damaged y", PeExport("CM-1", "%T", {"4000.0\t50", "3999.0\t5x"}, 2),
       "invalid Y value: 5x", "", {}},
      {"uneven x", PeExport("CM-1", "%T", {"4000.0\t50", "3999.0\t50", "3990.0\t50"}, 3),
       "x values are not evenly spaced", "", {}},
  });
  // clang-format on
  Spectrum s;
  ASSERT_TRUE(LoadSpectrumText(PeExport("CM-1", "%T", data, 3), "", InfoFor(FileKind::kPeAscii), s)
                  .loaded());
  EXPECT_EQ(s.HeaderLine3, "~SP.SP");
  EXPECT_EQ(s.AcqDate, "24/03/05");
  EXPECT_EQ(s.AcqTime, "10:11:12");
  EXPECT_EQ(s.ModDate, "24/03/06");
  EXPECT_EQ(s.ModTime, "13:14:15");
  EXPECT_EQ(s.OperatorName, "pili");
  EXPECT_EQ(s.Comment, "polystyrene film");
  EXPECT_EQ(s.NScans, 4);
  EXPECT_EQ(s.IdentLine, kImportIdentLine);  // saved as SP, it must read back as SP
}

TEST(PeAsciiExport, ChosenByItsFirstLineWhateverTheName) {
  const std::string export_ = PeExport("CM-1", "%T", {"4000\t50", "3999\t60"}, 2);
  for (const char* name : {"a.asc", "a.txt", "a.jdx", "noextension"}) {
    EXPECT_EQ(ClassifyFile(name, export_), &InfoFor(FileKind::kPeAscii)) << name;
  }
  // The binary SP file's first line also starts "PE IR", but names BINARY.
  EXPECT_EQ(ClassifyFile("a.asc", std::string(kImportIdentLine) + "\r\n"),
            &InfoFor(FileKind::kAsciiList));
  EXPECT_EQ(ClassifyFile("a.asc", "4000 0.5\r\n3999 0.6\r\n"), &InfoFor(FileKind::kAsciiList));
  EXPECT_EQ(ClassifyPath("A.DPT"), &InfoFor(FileKind::kDelimitedText));
  EXPECT_EQ(ClassifyPath("b.Asp"), &InfoFor(FileKind::kAspText));
  EXPECT_FALSE(KindForExtension("csv").has_value());  // read only: never written
}

std::string Asp(const std::string& types, const std::string& values, int points = 3) {
  return std::to_string(points) + "\r\n4000\r\n3998\r\n" + types + "\r\n" + values;
}

TEST(AspText, Rules) {
  // clang-format off
  CheckTexts(FileKind::kAspText, {
      {"absorbance", Asp("1\r\n2\r\n4", "1\r\n0\r\n2\r\n"), "",
       "absorbance converted to transmittance", {{0, 0.1}, {1, 1.0}, {2, 0.01}}},
      {"percent", Asp("1\r\n11\r\n4", "50\r\n60\r\n70\r\n"), "", "percent transmittance",
       {{0, 0.5}, {2, 0.7}}},
      {"arbitrary", Asp("1\r\n0\r\n4", "50\r\n60\r\n70\r\n"), "",
       "transmittance, ordinate adjusted", {{0, 0.5}, {2, 0.7}}},
      {"transmission", Asp("1\r\n128\r\n4", "0.5\r\n0.6\r\n0.7\r\n"), "",
       "transmittance as listed", {{0, 0.5}, {2, 0.7}}},
      {"ascending, with a comment", "3\n3998\n4000\n1\n11\n4\n'film\n50\n60\n70\n", "",
       "percent transmittance", {{0, 0.7}, {2, 0.5}}},
      {"counted", Asp("1\r\n11\r\n4", "50\r\n60\r\n70\r\n\r\n", 0), "", "percent transmittance",
       {{0, 0.5}, {2, 0.7}}},
      {"x in nm", Asp("3\r\n2\r\n4", "1\r\n1\r\n1\r\n"), "not an infrared spectrum: x in nm", "",
       {}},
      {"y in counts", Asp("1\r\n4\r\n4", "1\r\n1\r\n1\r\n"),
       "not a transmittance or absorbance spectrum: y in counts", "", {}},
      {"fewer values than points", Asp("1\r\n2\r\n4", "1\r\n1\r\n", 4), "Data section incomplete!",
       "", {}},
      {"a damaged value", Asp("1\r\n2\r\n4", "1\r\n1x\r\n1\r\n"), "invalid Y value: 1x", "", {}},
      {"too many", Asp("1\r\n2\r\n4", "1\r\n", 16001), "Too many data points!", "", {}},
      {"cut short", "1932\r\n4000\r\n", "Unknown file format!", "", {}},
  });
  // clang-format on
}

}  // namespace
}  // namespace tesvar
