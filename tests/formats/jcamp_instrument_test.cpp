// JCAMP-DX files as instruments and their programs write them: the real
// files of the shared test data by their content, and the forms the reader
// takes only from files it used to refuse (comments, data type spellings,
// compound files, (XY..XY) tables, exponent numbers).
#include "formats/jcamp_instrument.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "formats/file_kinds.h"
#include "formats/jcamp_decoder.h"
#include "formats/jcamp_reader.h"
#include "formats/x_grid.h"
#include "reader_fixture.h"
#include "test_support.h"

namespace tesvar {
namespace {

struct Load {
  bool loaded = false;
  std::string refusal;
  std::vector<std::string> notes;
  std::string status;  // status panel 2 afterwards
  Spectrum s;
};

// What a table row expects of a load: its refusal ("" for a load), and of a
// loaded spectrum the point count, the ends and some ordinates, each within
// `tolerance`. Returns whether it loaded.
bool LoadedAsRowSays(const Load& load, const char* refusal, int32_t points, double firstX,
                     double lastX, const std::vector<std::pair<int, double>>& transY,
                     double tolerance) {
  EXPECT_EQ(load.loaded, *refusal == '\0') << load.refusal;
  EXPECT_EQ(load.refusal, refusal);
  if (!load.loaded) return false;
  EXPECT_EQ(load.s.NPoints, points);
  EXPECT_DOUBLE_EQ(load.s.FirstX, firstX);
  EXPECT_DOUBLE_EQ(load.s.LastX, lastX);
  for (const auto& [index, value] : transY) {
    EXPECT_NEAR(load.s.TransY[index], value, tolerance) << "index " << index;
  }
  return true;
}

// A text through the registry as a file named `name` would go.
Load LoadAs(const std::string& name, const std::string& text) {
  Load load;
  const FileKindInfo* kind = ClassifyFile(name, text);
  if (kind == nullptr) return load;
  LoadResult result = LoadSpectrumText(text, "", *kind, load.s);
  RecordedMessages m;
  load.loaded = test::Told(result, m);
  load.refusal = result.refusal;
  load.notes = result.notes;
  load.status = m.status[2];
  return load;
}

struct RealFile {
  const char* file;
  const char* refusal;  // "" when it loads
  int32_t points;
  double firstX, lastX;
  std::vector<std::pair<int, double>> transY;  // index, value
};

// Each file of the shared JCAMP-DX test data under a name no reader takes
// by name ("spectrum.dat"): its content alone picks the JCAMP-DX reader.
// The values were read by hand from each file's own lines.
TEST(InstrumentJcamp, RealFilesByContent) {
  // clang-format off
  const std::vector<RealFile> files = {
      // "4400H225J3RJ1MmR": 8225, +13, +9, +11, +4 = 8262, -4 = 8258 at
      // index 5; YFACTOR 0.01 gives percent, divided by 100. "450G858": 7858.
      {"jcamp/dupdec1.jdx", "", 3951, 4400, 450, {{0, 0.8225}, {4, 0.8262}, {5, 0.8258}, {3950, 0.7858}}},
      // Six values on the first line: the third is 68145600, the second
      // line starts with 68304000 (index 6), the last value is 70168000;
      // x 9.5367E-7 / 100.
      {"jcamp/fixdec1.jdx", "", 3951, 4400.007, 450, {{2, 0.6498841}, {6, 0.6513948}, {3950, 0.6691712}}},
      // "4000 +10160+10159+10159+10158+10158+10157": index 5 is 101.57 %;
      // the last line "708 ... +10138+10124" ends the 3301 points.
      {"jcamp/pacdec1.jdx", "", 3301, 4000, 700, {{3, 1.0158}, {5, 1.0157}, {3299, 1.0138}, {3300, 1.0124}}},
      // Ascending, one pair a line, YFACTOR 0.0001: "400 4480" is the last
      // index, "4000 7456" index 0.
      {"jcamp/xyinc1.jdx", "", 3601, 4000, 400, {{0, 0.7456}, {1, 0.7457}, {3600, 0.4480}}},
      // Ascending, YFACTOR 1E-7: "599.9D15824699M60816J3307342" is
      // 415824699, +460816, +13307342 = 429592857 from the last index down;
      // "4000.4I31095581" is index 0.
      {"jcamp/ethanol2.jdx", "", 1764, 4000.36425781, 599.86169434,
       {{1763, 0.415824699}, {1761, 0.429592857}, {0, 0.931095581}}},
      // Absorbance, ascending: "2561A058O445j574" is 1058, 7503, 5929 from
      // the last index down, T = 10^-(v x 2.840445172462317941E-05); the
      // last line, after its Y check E3 (53), sums its differences to 66.
      {"jcamp/isopropanol_asdf.jdx", "", 9541, 5000.042, 400.1963,
       {{9540, 0.9331428}, {9539, 0.6121832}, {9538, 0.6785627}, {0, 0.9956927}}},
      // A link file of NMR blocks and a UV/VIS spectrum.
      {"jcamp/ethanol_nmr.jdx", "no IR spectrum", 0, 0, 0, {}},
      {"jcamp/toluene_uvvis.jdx", "no IR spectrum", 0, 0, 0, {}},
  };
  // clang-format on
  for (const RealFile& f : files) {
    const std::string path = test::SharedTestData(f.file);
    if (path.empty()) GTEST_SKIP() << "shared test data " << f.file << " not present";
    const std::string text = test::ReadFile(path);
    ASSERT_EQ(ClassifyFile("spectrum.dat", text), &InfoFor(FileKind::kJcampFix)) << f.file;
    SCOPED_TRACE(f.file);
    Load load = LoadAs("spectrum.dat", text);
    LoadedAsRowSays(load, f.refusal, f.points, f.firstX, f.lastX, f.transY, 2e-6);
  }
}

// A text export that borrows "##TITLE=" and "##YUNITS=" lines but carries no
// "##JCAMP-DX=" label is not JCAMP-DX by its content.
TEST(InstrumentJcamp, SignatureNeedsTitleFirstAndTheVersionLabel) {
  const std::string shimadzu = test::SharedTestData("text/shimadzu_ftirtext_020.txt");
  if (!shimadzu.empty()) {
    EXPECT_FALSE(LooksLikeJcamp(test::ReadFile(shimadzu).substr(0, 512)));
  }
  struct Case {
    const char* bytes;
    bool jcamp;
  } cases[] = {
      {"##TITLE= a\r\n##JCAMP-DX= 4.24\r\n", true},
      {"\xEF\xBB\xBF\r\n\r\n##TITLE= a\n##jcamp_dx= 5.01 $$ writer\n", true},
      {"## Title = a\n##DATA TYPE= INFRARED SPECTRUM\n##JCAMPDX= 4.24\n", true},
      {"##TITLE= a\n##YUNITS= %T\n1000\t50\n", false},
      {"$$ written by\n##TITLE= a\n##JCAMP-DX= 4.24\n", false},
      {"##JCAMP-DX= 4.24\n##TITLE= a\n", false},
      {"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(LooksLikeJcamp(c.bytes), c.jcamp) << c.bytes;
}

std::string Header(const std::vector<std::string>& extra) {
  std::vector<std::string> lines = {"##TITLE= made here", "##JCAMP-DX= 4.24"};
  lines.insert(lines.end(), extra.begin(), extra.end());
  return test::Join(lines);
}

struct Form {
  const char* name;
  std::string text;
  const char* refusal;  // "" when it loads
  int32_t points;
  double firstX, lastX;
  std::vector<std::pair<int, double>> transY;
  std::vector<std::string> notes;
  const char* status;
};

// Files the reader has always refused, each for one form instruments write,
// under the name ".dx". Values follow from each file's own lines.
TEST(InstrumentJcamp, FormsReadFromRefusedFiles) {
  const std::vector<std::string> ir = {"##DATA TYPE= INFRARED SPECTRUM", "##XUNITS= 1/CM",
                                       "##YUNITS= TRANSMITTANCE", "##YFACTOR= 0.01"};
  auto with = [&](std::vector<std::string> extra, std::vector<std::string> data) {
    std::vector<std::string> all = ir;
    all.insert(all.end(), extra.begin(), extra.end());
    all.insert(all.end(), data.begin(), data.end());
    all.push_back("##END=");
    return Header(all);
  };
  const std::vector<std::string> y4 = {"##FIRSTX= 4000", "##LASTX= 3997", "##NPOINTS= 4",
                                       "##XYDATA= (X++(Y..Y))", "4000 85 86 87 88"};
  std::vector<std::string> manyPairs;
  for (int i = 0; i <= 16000; ++i) manyPairs.push_back(std::to_string(20000 - i) + ", 50");
  std::vector<std::string> irType = y4;
  irType.insert(irType.begin(), "##XUNITS= cm-1");

  // clang-format off
  const std::vector<Form> forms = {
      {"comments after numeric values and on data lines",
       with({"##FIRSTX= 4000 $$ from the instrument", "##LASTX= 3997.", "##NPOINTS= 4 $$ counted"},
            {"##XYDATA= (X++(Y..Y))", "4000 85 86 $$ first two", "3998 87 88"}),
       "", 4, 4000, 3997, {{0, 0.85}, {1, 0.86}, {3, 0.88}}, {}, ""},
      {"data type FTIR with x in cm-1",
       Header({"##DATA TYPE= FTIR", "##YUNITS= TRANSMITTANCE", "##YFACTOR= 0.01", irType[0],
               irType[1], irType[2], irType[3], irType[4], irType[5], "##END="}),
       "", 4, 4000, 3997, {{0, 0.85}, {3, 0.88}}, {}, ""},
      {"data type IR SPECTRUM with x in micrometres",
       Header({"##DATA TYPE= IR SPECTRUM", "##XUNITS= MICROMETERS", "##YUNITS= TRANSMITTANCE",
               y4[0], y4[1], y4[2], y4[3], y4[4], "##END="}),
       "x units are not wavenumbers: MICROMETERS", 0, 0, 0, {}, {}, ""},
      {"an infrared peak table",
       Header({"##DATA TYPE= INFRARED PEAK TABLE", "##XUNITS= 1/CM", "##YUNITS= TRANSMITTANCE",
               "##NPOINTS= 2 $$ peaks", "##PEAK TABLE= (XY..XY)", "1600, 20", "1450, 35", "##END="}),
       "no IR spectrum", 0, 0, 0, {}, {}, ""},
      {"exponent numbers on plain lines",
       with({"##FIRSTX= 4000", "##LASTX= 3997", "##NPOINTS= 4"},
            {"##XYDATA= (X++(Y..Y))", "4.000E+03 8.5e+01 86.0 8.7E1 0.88e+2"}),
       "", 4, 4000, 3997, {{0, 0.85}, {1, 0.86}, {2, 0.87}, {3, 0.88}}, {}, ""},
      {"an even (XY..XY) table, ascending, with few decimals",
       with({"##XFACTOR= 2", "##XYPOINTS= (XY..XY)"},
            {"200.0, 50; 200.333, 51", "200.667, 52", "201.0, 53 $$ last"}),
       "", 4, 402, 400, {{0, 0.53}, {1, 0.52}, {3, 0.50}}, {}, ""},
      {"pairs after \"##XYDATA= (XY..XY)\", several to a line",
       with({"##XYDATA= (XY..XY)"}, {"4000;50 3999;51", "3998;52"}),
       "", 3, 4000, 3998, {{0, 0.50}, {1, 0.51}, {2, 0.52}}, {}, ""},
      {"a table of more than 16000 points", with({"##XYPOINTS= (XY..XY)"}, manyPairs),
       "too many data points", 0, 0, 0, {}, {}, ""},
      {"a (XY..XY) table with a missing point",
       with({"##XYDATA= (XY..XY)"}, {"4000, 50", "3999, 51", "3997, 53"}),
       kUnevenXMessage, 0, 0, 0, {}, {}, ""},
      {"a link file with the spectrum in its second block",
       Header({"##DATA TYPE= LINK", "##BLOCKS= 3",
               "##TITLE= structure", "##JCAMP-CS= 3.7", "##BLOCK_ID= 1", "##END=",
               "##TITLE= absorbance", "##JCAMP-DX= 5.00", "##BLOCK_ID= 2",
               "##DATA TYPE= INFRARED SPECTRUM", "##XUNITS= 1/CM", "##YUNITS= ABSORBANCE",
               "##FIRSTX= 1000", "##LASTX= 1003", "##NPOINTS= 4", "##XYDATA= (X++(Y..Y))",
               "1000 0 0.5 1 2", "##END=",
               "##TITLE= another", "##DATA TYPE= INFRARED SPECTRUM", "##XUNITS= 1/CM",
               "##YUNITS= TRANSMITTANCE", "##END=", "##END="}),
       "", 4, 1003, 1000, {{0, 0.01}, {1, 0.1}, {2, 0.3162278}, {3, 1.0}},
       {"absorbance converted to transmittance", "block 2 of 3"}, "block 2 of 3"},
      {"a link file without an infrared block",
       Header({"##DATA TYPE= LINK", "##BLOCKS= 1", "##TITLE= nmr", "##DATA TYPE= NMR SPECTRUM",
               "##XUNITS= HZ", "##YUNITS= ARBITRARY UNITS", "##XYDATA= (X++(Y..Y))", "1 2 3",
               "##END=", "##END="}),
       "no IR spectrum", 0, 0, 0, {}, {}, ""},
  };
  // clang-format on
  for (const Form& f : forms) {
    SCOPED_TRACE(f.name);
    Load load = LoadAs("spectrum.dx", f.text);
    if (!LoadedAsRowSays(load, f.refusal, f.points, f.firstX, f.lastX, f.transY, 1e-6)) continue;
    EXPECT_EQ(load.notes, f.notes) << f.name;
    EXPECT_EQ(load.status, f.status) << f.name;
  }
}

// A file the reader has always taken keeps what it gave, exponent-looking
// tokens included: "8.5E1" holds the SQZ letter 'E' and is read as the ASDF
// line "40008.5E1" (abscissa 40008.5, then E1 = 51), and the file loads.
TEST(InstrumentJcamp, FilesReadBeforeKeepTheirReading) {
  const std::string text =
      Header({"##DATA TYPE= INFRARED SPECTRUM", "##YUNITS= TRANSMITTANCE", "##YFACTOR= 0.01",
              "##FIRSTX= 4000", "##LASTX= 3999", "##NPOINTS= 2", "##XYDATA= (X++(Y..Y))",
              "4000 8.5E1", "3999 52", "##END="});
  Load load = LoadAs("x.jdx", text);
  ASSERT_TRUE(load.loaded) << load.refusal;
  EXPECT_NEAR(load.s.TransY[0], 0.51, 1e-6);
  EXPECT_NEAR(load.s.TransY[1], 0.52, 1e-6);
  EXPECT_TRUE(load.notes.empty());
}

// The exponent forms on one line, read as numbers only where the state asks
// for them; without, signed exponents are no ASDF token and unsigned ones are
// SQZ letters.
TEST(InstrumentJcamp, ExponentNumbersOnDataLines) {
  struct Case {
    const char* line;
    bool exponents;
    const char* message;
    std::vector<double> raw;  // ordinates stored, transmittance, YFACTOR 1
  } cases[] = {
      {"4000 4.6e-05 1.2E+3", true, "", {4.6e-05, 1200}},
      {"4000 1.2E3,,-7e0", true, "", {1200, 1200, -7}},
      {"4000 4.6e-05", false, "invalid SQZ number: 5-05", {}},
      {"4000 1.2E3", false, "", {53}},
      {"4000 1.2E3", true, "", {1200}},
      {"4000E3", true, "", {53}},  // one number: an ASDF line as ever
      {"4000 1E3A1", true, "", {53, 11}},
      {"4000 1e99 5", true, "invalid data point: 1e99", {}},
  };
  for (const Case& c : cases) {
    for (DecoderPath path : {DecoderPath::kReference, DecoderPath::kScalar}) {
      ASSERT_TRUE(ForceDecoderPath(path));
      Spectrum s;
      XyDecodeState st;
      st.OrdinateKind = OrdinateKind::kTransmittance;
      st.ExponentNumbers = c.exponents;
      EXPECT_EQ(DecodeXyDataLine(c.line, st, s), c.message) << c.line;
      ASSERT_EQ(st.PointsRead, static_cast<int32_t>(c.raw.size())) << c.line;
      for (std::size_t i = 0; i < c.raw.size(); ++i) {
        EXPECT_FLOAT_EQ(s.TransY[i], static_cast<float>(c.raw[i])) << c.line << " " << i;
      }
    }
  }
  ForceDecoderPath(DecoderPath::kAuto);
}

// For the jcampconverter peer check (jcampconverter_peer_test.sh): every
// real JCAMP-DX file of the shared test data that loads, as NAME.real: the
// file's path, then TransY from the highest wavenumber down. The peer reads
// the file itself and converts its y values as the import does.
TEST(JcampPeerExport, RealFilesAsRead) {
  const std::string folder = test::SharedTestData("jcamp");
  if (folder.empty()) GTEST_SKIP() << "shared test data jcamp/ not present";
  const char* env = std::getenv("TESVAR_PEER_EXPORT_DIR");
  const std::string dir = env != nullptr && *env != '\0' ? env : test::MakeTempDir();
  std::vector<std::string> paths;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    paths.push_back(entry.path().string());
  }
  std::sort(paths.begin(), paths.end());
  int written = 0;
  for (const std::string& path : paths) {
    Spectrum s;
    if (!LoadSpectrumFile(path, s).loaded()) continue;
    const std::string name = std::filesystem::path(path).stem().string();
    test::WriteFile(dir + "/" + name + ".real", test::OrdinateDump(path, s));
    ++written;
  }
  EXPECT_GT(written, 0);
}

}  // namespace
}  // namespace tesvar
