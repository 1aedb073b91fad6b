#include "cli/converter.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <sstream>

#include "cli/spectrum_report.h"
#include "core/file_io.h"
#include "formats/file_kinds.h"
#include "formats/sp_file.h"
#include "test_support.h"

namespace tesvar::cli {
namespace {

// A spectrum of n points from xStart down by xStep at transmittance 0.9,
// with sharp bands (0.8, 0.7, 0.5, 0.7, 0.8 around the given indices) that
// the band search finds by its first pattern.
Spectrum WithBands(int n, double xStart, double xStep, const std::vector<int>& bands,
                   float base = 0.9f) {
  Spectrum s;
  s.IdentLine = "PE IR       SPECTRUM    BINARY      1600        11.00";
  s.AcqDate = s.ModDate = "03/04/05";
  s.AcqTime = s.ModTime = "10:11:12.00";
  s.OperatorName = "Ann";
  s.SetComment("two\nlines");
  s.NScans = 16;
  s.NPoints = n;
  s.LastIndex = n - 1;
  s.XStart = s.FirstX = xStart;
  s.XEnd = s.LastX = xStart - xStep * (n - 1);
  s.XStep = xStep;
  s.DeltaX = -xStep;
  for (int i = 0; i < n; ++i) s.TransY[i] = base;
  for (int b : bands) {
    s.TransY[b] = base - 0.4f;
    s.TransY[b - 1] = s.TransY[b + 1] = base - 0.2f;
    s.TransY[b - 2] = s.TransY[b + 2] = base - 0.1f;
  }
  return s;
}

std::string WriteSp(const std::string& dir, const std::string& name, Spectrum s) {
  std::string path = dir + "/" + name;
  test::WriteFile(path, BuildSpBytes(s));
  return path;
}

struct CommandRun {
  int status;
  std::string out;
  std::string err;
};

CommandRun Command(const std::vector<std::string>& args,
                   std::function<void(const std::string&)> afterWrite = nullptr) {
  std::ostringstream out, err;
  ParseResult parsed = ParseConvertOptions(args);
  int status;
  if (parsed.ok && (parsed.options.mode != Mode::kHelp && parsed.options.mode != Mode::kVersion)) {
    Converter converter(out, err, nullptr);
    converter.afterWrite = std::move(afterWrite);
    status = converter.Run(parsed.options);
  } else {
    status = RunConvertCommand(args, out, err, nullptr);
  }
  return {status, out.str(), err.str()};
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class ConverterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = test::MakeTempDir();
    good = WriteSp(dir, "good.sp", WithBands(40, 1000, 1.25, {10, 25}));
    test::WriteFile(dir + "/bad.sp", "not a spectrum\r\n");
  }
  std::string dir;
  std::string good;
};

TEST_F(ConverterTest, ExitStatusAndMessages) {
  const struct {
    std::vector<std::string> args;
    int status;
    const char* err;  // part of standard error; "" for none at all
  } cases[] = {
      {{"--version"}, 0, ""},
      {{"--help"}, 0, ""},
      {{"good.sp", "out.jdx"}, 0, ""},
      {{"good.sp", "out.txt"}, 2, "cannot tell the output format"},
      {{"--nonsense"}, 2, "Try 'tesvar-convert --help'"},
      {{"missing.sp", "out.jdx"}, 1, "tesvar-convert: DIR/missing.sp: File not found.\n"},
      {{"bad.sp", "out.jdx"}, 1, "tesvar-convert: DIR/bad.sp: Unknown file format!\n"},
      {{"good.sp", "nofolder/out.svg"},
       1,
       "tesvar-convert: DIR/nofolder/out.svg: Could not create file DIR/nofolder/out.svg\n"},
      {{"notes.xyz", "out.jdx"}, 1, "unknown file kind"},
      {{"good.sp", "out.png"}, 1, "not available in this build"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args;
    for (const std::string& a : c.args) args.push_back(a[0] == '-' ? a : dir + "/" + a);
    std::string expectedErr = c.err;
    for (std::size_t at; (at = expectedErr.find("DIR")) != std::string::npos;) {
      expectedErr.replace(at, 3, dir);
    }
    CommandRun r = Command(args);
    EXPECT_EQ(r.status, c.status) << c.args.front() << ": " << r.err;
    if (expectedErr.empty()) {
      EXPECT_EQ(r.err, "");
    } else {
      EXPECT_TRUE(Contains(r.err, expectedErr)) << r.err;
    }
  }
  EXPECT_EQ(Command({"--version"}).out, "tesvar-convert 1.5a\n");
  EXPECT_TRUE(FileExists(dir + "/out.jdx"));
}

TEST_F(ConverterTest, BatchGoesOnPastABadFile) {
  std::string second = WriteSp(dir, "second.sp", WithBands(40, 1000, 1.25, {20}));
  CommandRun r = Command({"--to", "asc", "--output-dir", dir + "/out", good, dir + "/bad.sp",
                          dir + "/missing.jdx", second});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(FileExists(dir + "/out/good.asc"));
  EXPECT_TRUE(FileExists(dir + "/out/second.asc"));
  EXPECT_FALSE(FileExists(dir + "/out/bad.asc"));
  EXPECT_TRUE(Contains(r.err, dir + "/bad.sp: Unknown file format!"));
  // The JCAMP-DX import has its own text for a file it cannot read.
  EXPECT_TRUE(Contains(r.err, dir + "/missing.jdx: File read error!"));
}

TEST_F(ConverterTest, BatchDoesNotLetTwoInputsShareAnOutput) {
  ASSERT_EQ(::mkdir((dir + "/other").c_str(), 0777), 0);
  std::string twin = WriteSp(dir + "/other", "good.sp", WithBands(40, 1000, 1.25, {}));
  CommandRun r = Command({"--to", "sp", "--output-dir", dir + "/out", good, twin});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Contains(r.err, twin + ": not converted: " + dir + "/out/good.sp"));
  // The first one's output is the one kept: it has the bands.
  Spectrum back;
  ASSERT_TRUE(ReadSpFile(dir + "/out/good.sp", back).loaded());
  EXPECT_EQ(BandIndices(back), (std::vector<int>{10, 25}));
}

TEST_F(ConverterTest, InfoLinesByHand) {
  // Written by BuildSpBytes and read back: FirstX 6 decimals, DeltaX as
  // -|DeltaX| with 2 decimals (-0.964 -> "-0.96"), LastX 45.25 shown with
  // one decimal, halves away from zero, padded to 5: " 45.3". The lone LF
  // of the comment stays in the SP line (only CR ends it) and is shown '?'.
  Spectrum s = WithBands(40, 4000, 1.25, {});
  s.LastX = 45.25;
  s.DeltaX = -0.964;
  std::string path = WriteSp(dir, "info.sp", s);
  CommandRun r = Command({"--info", path});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "Date of acquisition: 03/04/05,  10:11:12.00\n"
            "Last modification: 03/04/05,  10:11:12.00\n"
            "Operator: Ann\n"
            "Comment: two?lines\n"
            "First X (1/cm): 4000.0\n"
            "Last X (1/cm):  45.3\n"
            "Delta X (1/cm): -0.96\n"
            "Number of data points: 40\n"
            "Number of scans: 16\n");
}

TEST_F(ConverterTest, PeaksOfSeveralFiles) {
  // Bands at indices 10 and 25 of 1000 - 1.25 i: 987.5 and 968.75, the
  // second shown as 968.8 (one decimal, half away from zero; at least four
  // characters wide, which both exceed).
  std::string flat = WriteSp(dir, "flat.sp", WithBands(40, 1000, 1.25, {}));
  CommandRun r = Command({"--peaks", good, dir + "/bad.sp", flat});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "==> " + good + " <==\n987.5\n968.8\n\n==> " + flat + " <==\n");
  EXPECT_TRUE(Contains(r.err, "bad.sp: Unknown file format!"));
  // One file: no heading.
  EXPECT_EQ(Command({"--peaks", good}).out, "987.5\n968.8\n");
}

TEST(SpectrumReport, BandListOfAFinelySampledSpectrum) {
  // 16000 points from 4000 to 400 1/cm (0.225 1/cm apart, a stride of 4)
  // with Lorentzian bands of 50, 30 and 60 %T at 2900, 1700 and 1100 1/cm
  // (half width 10 1/cm): the list holds all three, each at its lowest point.
  Spectrum s = WithBands(16000, 4000, 3600.0 / 15999, {});
  for (int i = 0; i <= s.LastIndex; ++i) {
    double absorbance = 0;
    for (auto [at, t] : {std::pair{2900.0, 0.5}, {1700.0, 0.3}, {1100.0, 0.6}}) {
      const double u = (s.PointX(i) - at) / 10;
      absorbance += -std::log10(t) / (1 + u * u);
    }
    s.TransY[i] = static_cast<float>(std::pow(10.0, -absorbance));
  }
  const std::vector<int> bands = BandIndices(s);
  ASSERT_EQ(bands.size(), 3u);
  for (int i : bands) {
    EXPECT_LT(s.TransY[i], s.TransY[i - 1]) << i;
    EXPECT_LE(s.TransY[i], s.TransY[i + 1]) << i;
  }
  // The grid points nearest the bands: 2899.906, 1699.906 and 1100.019.
  EXPECT_EQ(PeakLines(s), (std::vector<std::string>{"2899.9", "1699.9", "1100.0"}));
}

TEST(SpectrumReport, BandLabelsStopAt255) {
  // A band every 6 points from index 6: 333 of them in 2000 points.
  std::vector<int> bands;
  for (int b = 6; b + 6 < 2000; b += 6) bands.push_back(b);
  Spectrum s = WithBands(2000, 4000, 1, bands);
  ASSERT_EQ(BandIndices(s), bands);
  LabelList labels = BandLabels(s);
  ASSERT_EQ(labels.Count(), kMaxLabels);
  for (int i = 0; i < labels.Count(); ++i) {
    EXPECT_EQ(labels[i].X, 4000 - bands[i]);  // from the left, in list order
    EXPECT_NEAR(labels[i].Y, 0.5 - kBandLabelDrop, 1e-6);
    EXPECT_EQ(labels[i].Kind, 0);
  }
}

// --verify on outputs spoiled between writing and checking.
TEST_F(ConverterTest, VerifyCatchesSpoiledOutputs) {
  auto replace = [](const std::string& from, const std::string& to) {
    return [=](const std::string& path) {
      std::string text = test::ReadFile(path);
      std::size_t at = text.find(from);
      ASSERT_NE(at, std::string::npos) << from;
      text.replace(at, from.size(), to);
      test::WriteFile(path, text);
    };
  };
  auto truncate = [](std::size_t keep) {
    return [=](const std::string& path) {
      test::WriteFile(path, test::ReadFile(path).substr(0, keep));
    };
  };
  auto lastBytesFlipped = [](const std::string& path) {
    std::string bytes = test::ReadFile(path);
    bytes[bytes.size() - 2] ^= 0x40;  // the last point's integer, high half
    test::WriteFile(path, bytes);
  };
  const struct {
    const char* output;
    std::function<void(const std::string&)> spoil;
    const char* problem;
  } cases[] = {
      {"a.sp", lastBytesFlipped, "largest ordinate difference"},
      {"a.sp", replace("#HDR", "#HRD"), "cannot be read back: Data section not found!"},
      // Ordinate 90000 (0.9) of the first FIX line becomes 80000.
      {"a.jdx", replace(" 90000", " 80000"), "largest ordinate difference 0.10000"},
      {"a.jdx", replace("##FIRSTX= 1000.0", "##FIRSTX= 1001.0"), "reads back from 1001.0000"},
      // Missing data lines load as zeros (with a "##NPOINTS=" warning).
      {"a.jdx", truncate(700), "largest ordinate difference 0.90000"},
      // Lines of 20 bytes ("1000.0000\t0.900000\r\n"), then of 19.
      {"a.asc", truncate(20 + 4 * 19), "reads back with 5 points instead of 40"},
      {"a.asc", [](const std::string& p) { test::WriteFile(p, ""); },
       "cannot be read back: Not enough data points!"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.output);
    const std::string output = dir + "/" + c.output;
    CommandRun r = Command({"--verify", good, output}, c.spoil);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Contains(r.err, output + ": verify failed: " + c.problem)) << r.err;
  }
  // Unspoiled, each passes and says by how much it differs.
  for (const char* output : {"a.sp", "a.jdx", "a.asc"}) {
    CommandRun r = Command({"--verify", good, dir + "/" + output});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Contains(r.out, dir + "/" + output + ": largest ordinate difference 0.0000"))
        << r.out;
  }
}

TEST_F(ConverterTest, VerifyNamesTheImportsRescaling) {
  // Everything at or below 0.1: both imports multiply by 10 on the way back.
  std::string dim = WriteSp(dir, "dim.sp", WithBands(40, 1000, 1.25, {}, 0.05f));
  for (const char* output : {"dim.asc", "dim.jdx"}) {
    CommandRun r = Command({"--verify", dim, dir + "/" + output});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Contains(r.err, "the import rescales the ordinates by a factor of 10,")) << r.err;
  }
  // The SP reader takes its ordinates as they are.
  EXPECT_EQ(Command({"--verify", dim, dir + "/dim.sp"}).status, 0);
}

TEST_F(ConverterTest, ReaderWarningsArePrintedButProgressIsNot) {
  // Declares 10 points and holds 8; ordinates in percent (rescaled, with
  // the progress text "adjusting ordinate..." that the reader clears).
  test::WriteFile(dir + "/short.jdx",
                  "##TITLE= short\r\n##JCAMP-DX= 4.24\r\n##DATA TYPE= INFRARED SPECTRUM\r\n"
                  "##YUNITS= TRANSMITTANCE\r\n##FIRSTX= 1000\r\n##LASTX= 991\r\n"
                  "##NPOINTS= 10\r\n##XYDATA= (X++(Y..Y))\r\n"
                  "1000 90 90 90 90\r\n996 90 90 90 90\r\n##END=\r\n");
  CommandRun r = Command({dir + "/short.jdx", dir + "/short.sp"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "tesvar-convert: " + dir + "/short.jdx: ##NPOINTS= 10 (8)\n");
}

}  // namespace
}  // namespace tesvar::cli

namespace tesvar::cli {
namespace {

// Comparisons are drawn with each INPUT; one that cannot be read fails the
// conversion before anything is written.
TEST_F(ConverterTest, ComparisonsInPicturesAndTheirFailures) {
  WriteSp(dir, "other.sp", WithBands(40, 1000, 1.25, {5}, 0.8f));
  CommandRun r = Command({"--compare", dir + "/other.sp", good, dir + "/both.svg"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string svg = test::ReadFile(dir + "/both.svg");
  EXPECT_TRUE(Contains(svg, "stroke=\"#e69f00\"")) << "the first comparison's orange";
  EXPECT_TRUE(Contains(svg, ">good.sp</text>"));
  EXPECT_TRUE(Contains(svg, ">other.sp</text>"));

  r = Command({"--compare", dir + "/other.sp", "--absorbance", good, dir + "/both.plt"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string plt = test::ReadFile(dir + "/both.plt");
  EXPECT_TRUE(Contains(plt, "SP2;PU ")) << "the comparison with pen 2";
  EXPECT_TRUE(Contains(plt, "LBA\x03")) << "the absorbance axis's unit";
  EXPECT_TRUE(Contains(plt, "LBother.sp\x03"));

  const struct {
    std::vector<std::string> args;
    const char* err;
  } failed[] = {
      {{"--compare", "bad.sp", "good.sp", "out.svg"}, "DIR/bad.sp: Unknown file format!\n"},
      {{"--compare", "missing.sp", "--to", "svg", "--output-dir", "outdir", "good.sp"},
       "DIR/missing.sp: File not found.\n"},
      {{"--compare", "notes.xyz", "good.sp", "out.svg"}, "DIR/notes.xyz: unknown file kind"},
  };
  test::WriteFile(dir + "/notes.xyz", "text\n");
  for (const auto& f : failed) {
    std::vector<std::string> args;
    for (const std::string& a : f.args) {
      args.push_back(a[0] == '-' || a == "svg" ? a : dir + "/" + a);
    }
    std::string expected = f.err;
    expected.replace(expected.find("DIR"), 3, dir);
    r = Command(args);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_TRUE(Contains(r.err, expected)) << r.err;
    EXPECT_TRUE(Contains(r.err, "not converted: a comparison spectrum could not be read")) << r.err;
    EXPECT_FALSE(FileExists(dir + "/out.svg"));
    EXPECT_FALSE(FileExists(dir + "/outdir/good.svg"));
  }
}

}  // namespace
}  // namespace tesvar::cli

namespace tesvar::cli {
namespace {

// --index and --search over a small library: the members' order, the hit
// quality of a file against itself, the exit status of an unreadable INPUT.
TEST_F(ConverterTest, LibrarySearchAndIndex) {
  const std::string lib = dir + "/lib";
  std::filesystem::create_directories(lib + "/deeper");
  WriteSp(lib, "deeper/same.sp", WithBands(400, 1000, 1.25, {100, 250}));
  WriteSp(lib, "other.sp", WithBands(400, 1000, 1.25, {50, 300, 350}, 0.8f));
  test::WriteFile(lib + "/broken.sp", "nothing");
  const std::string query = WriteSp(dir, "query.sp", WithBands(400, 1000, 1.25, {100, 250}));

  const auto run = [&](std::vector<std::string> args) {
    std::ostringstream out, err;
    ParseResult parsed = ParseConvertOptions(args);
    EXPECT_TRUE(parsed.ok) << parsed.error;
    Converter converter(out, err, nullptr);
    converter.libraryCache = dir + "/cache";
    const int status = converter.Run(parsed.options);
    return CommandRun{status, out.str(), err.str()};
  };
  CommandRun r = run({"--index", lib, "--verbose"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, lib + ": 2 members; read 2, skipped 1, removed 0\n");
  EXPECT_TRUE(Contains(r.err, lib + "/broken.sp: skipped: ")) << r.err;

  r = run({"--search", lib, "--hits", "1", query});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "1\t100.0\t" + lib + "/deeper/same.sp\ttwo lines\n");

  r = run({"--search", lib, query, dir + "/missing.sp", good});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Contains(r.err, "missing.sp: File not found.")) << r.err;
  EXPECT_TRUE(Contains(r.out, "==> " + query + " <==\n1\t100.0\t")) << r.out;
  EXPECT_TRUE(Contains(r.out, "\n\n==> " + good + " <==\n")) << r.out;

  r = run({"--search", dir + "/no-such-folder", query});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Contains(r.err, "not a folder")) << r.err;
}

TEST(ConvertOptions, LibraryUsageErrors) {
  const struct {
    std::vector<std::string> args;
    const char* says;
  } cases[] = {
      {{"--search", "lib"}, "--search needs at least one INPUT"},
      {{"--index", "lib", "a.sp"}, "--index takes no INPUT"},
      {{"--search", "lib", "--hits", "0", "a.sp"}, "--hits '0': expected a number"},
      {{"--search", "lib", "--hits", "x", "a.sp"}, "expected a number"},
      {{"--index", "lib", "--hits", "3"}, "--hits is for --search"},
      {{"--hits", "3", "a.sp", "b.sp"}, "--hits is for --search"},
      {{"--search", "lib", "--grid", "a.sp"}, "--search cannot be combined with --grid"},
      {{"--search", "lib", "--index", "lib"}, "cannot be combined"},
      {{"--search", "lib", "--info", "a.sp"}, "--search cannot be combined with --info"},
      {{"--verbose", "a.sp", "b.sp"}, "--verbose is for --search and --index"},
  };
  for (const auto& c : cases) {
    const ParseResult r = ParseConvertOptions(c.args);
    EXPECT_FALSE(r.ok) << c.says;
    EXPECT_NE(r.error.find(c.says), std::string::npos) << "got: " << r.error;
  }
  const ParseResult ok = ParseConvertOptions({"--search=lib", "--hits=3", "a.sp", "b.jdx"});
  ASSERT_TRUE(ok.ok) << ok.error;
  EXPECT_EQ(ok.options.mode, Mode::kSearch);
  EXPECT_EQ(ok.options.library, "lib");
  EXPECT_EQ(ok.options.hits, 3);
  EXPECT_EQ(ok.options.inputs, (std::vector<std::string>{"a.sp", "b.jdx"}));
}

}  // namespace
}  // namespace tesvar::cli
