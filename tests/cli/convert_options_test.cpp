#include "cli/convert_options.h"

#include <gtest/gtest.h>

namespace tesvar::cli {
namespace {

struct GoodLine {
  std::vector<std::string> args;
  Mode mode;
  FileKind kind;
  std::vector<std::string> inputs;
  std::string output;  // OUTPUT or DIR
};

TEST(ConvertOptions, CommandLinesThatParse) {
  const GoodLine cases[] = {
      {{"a.sp", "b.jdx"}, Mode::kConvertOne, FileKind::kJcampFix, {"a.sp"}, "b.jdx"},
      {{"--compressed", "a.sp", "b.JDX"},
       Mode::kConvertOne,
       FileKind::kJcampDifDup,
       {"a.sp"},
       "b.JDX"},
      // The extension of the file name, not of a folder with a dot.
      {{"a.sp", "out.d/b.asc"}, Mode::kConvertOne, FileKind::kAsciiList, {"a.sp"}, "out.d/b.asc"},
      {{"a.jdx", "b.png", "--size", "640x480"},
       Mode::kConvertOne,
       FileKind::kPng,
       {"a.jdx"},
       "b.png"},
      {{"--to", "jdx", "--compressed", "--output-dir", "o", "a.sp", "b.sp"},
       Mode::kBatch,
       FileKind::kJcampDifDup,
       {"a.sp", "b.sp"},
       "o"},
      {{"--to=.SVG", "--output-dir=o", "a.sp"}, Mode::kBatch, FileKind::kSvg, {"a.sp"}, "o"},
      {{"--to", "pdf", "--output-dir", "o", "--", "-odd.sp"},
       Mode::kBatch,
       FileKind::kPdf,
       {"-odd.sp"},
       "o"},
      {{"--info", "a.sp", "b.jdx"}, Mode::kInfo, FileKind::kSp, {"a.sp", "b.jdx"}, ""},
      {{"--compare", "r.sp", "--compare=s.jdx", "--absorbance", "--scale-comparisons", "a.sp",
        "b.plt"},
       Mode::kConvertOne,
       FileKind::kHpgl,
       {"a.sp"},
       "b.plt"},
      // Help and version end the parsing: what follows is not looked at.
      {{"a.sp", "--help", "--bogus"}, Mode::kHelp, FileKind::kSp, {}, ""},
      {{"--version", "x"}, Mode::kVersion, FileKind::kSp, {}, ""},
  };
  for (const GoodLine& c : cases) {
    SCOPED_TRACE(c.args.front());
    ParseResult r = ParseConvertOptions(c.args);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.options.mode, c.mode);
    if (c.mode == Mode::kVersion || c.mode == Mode::kHelp) continue;
    EXPECT_EQ(r.options.inputs, c.inputs);
    if (c.mode == Mode::kConvertOne || c.mode == Mode::kBatch) {
      EXPECT_EQ(r.options.outputKind, c.kind);
      EXPECT_EQ(c.mode == Mode::kBatch ? r.options.outputDir : r.options.output, c.output);
    }
  }
  const ParseResult compared = ParseConvertOptions(cases[8].args);
  EXPECT_EQ(compared.options.compare, (std::vector<std::string>{"r.sp", "s.jdx"}));
  EXPECT_TRUE(compared.options.absorbance && compared.options.scaleComparisons);
}

TEST(ConvertOptions, PictureSizesAndTheirDefaults) {
  ParseResult r = ParseConvertOptions({"a.sp", "b.wmf"});
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.options.screen.width, 1280);
  EXPECT_EQ(r.options.screen.height, 1024);
  EXPECT_EQ(r.options.size.width, 1200);
  EXPECT_EQ(r.options.size.height, 400);

  r = ParseConvertOptions({"--screen=800x600", "--size", "16384X1", "--grid", "--label-peaks",
                           "--verify", "a.sp", "b.wmf"});
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.options.screen.width, 800);
  EXPECT_EQ(r.options.screen.height, 600);
  EXPECT_EQ(r.options.size.width, 16384);
  EXPECT_EQ(r.options.size.height, 1);
  EXPECT_TRUE(r.options.grid);
  EXPECT_TRUE(r.options.labelPeaks);
  EXPECT_TRUE(r.options.verify);

  for (const char* bad : {"", "800", "x600", "800x", "0x600", "800x0", "16385x10", "-5x10",
                          "80 0x600", "800x600x2", "9999999x1"}) {
    PictureSize size{7, 7};
    EXPECT_FALSE(ParsePictureSize(bad, size)) << bad;
    EXPECT_EQ(size.width, 7) << "a refused size must leave the old one";
  }
}

TEST(ConvertOptions, UsageErrorsNameTheProblem) {
  const struct {
    std::vector<std::string> args;
    const char* says;
  } cases[] = {
      {{}, "missing INPUT and OUTPUT"},
      {{"a.sp"}, "missing OUTPUT"},
      {{"a.sp", "b.sp", "c.sp"}, "too many files"},
      {{"a.sp", "b.txt"}, "cannot tell the output format"},
      {{"a.sp", "dir.jdx/b"}, "cannot tell the output format"},
      {{"--frobnicate", "a.sp", "b.sp"}, "unknown option '--frobnicate'"},
      {{"--grid=yes", "a.sp", "b.svg"}, "takes no value"},
      {{"a.sp", "b.sp", "--to"}, "needs a value"},
      {{"--to", "doc", "--output-dir", "o", "a.sp"}, "no writer for this extension"},
      {{"--to", "jdx", "a.sp"}, "--to needs --output-dir"},
      {{"--output-dir", "o", "a.sp"}, "--output-dir needs --to"},
      {{"--to", "jdx", "--output-dir", "o"}, "no INPUT"},
      {{"--output-dir=", "--to", "jdx", "a.sp"}, "needs a folder name"},
      {{"--screen", "big", "a.sp", "b.wmf"}, "expected WIDTHxHEIGHT"},
      {{"--info", "--grid", "a.sp"}, "--info cannot be combined with --grid"},
      {{"--peaks", "--to", "jdx", "a.sp"}, "--peaks cannot be combined with --to"},
      // Comparisons and the absorbance view are drawn: data outputs refuse them.
      {{"--compare", "r.sp", "a.sp", "b.jdx"},
       "--compare is for picture outputs (plt, svg, wmf, png, pdf), not .jdx"},
      {{"--absorbance", "--to", "asc", "--output-dir", "o", "a.sp"},
       "--absorbance is for picture outputs (plt, svg, wmf, png, pdf), not .asc"},
      {{"--absorbance", "--scale-comparisons", "a.sp", "b.sp"}, "--absorbance is for"},
      {{"--scale-comparisons", "--compare", "r.sp", "a.sp", "b.svg"},
       "--scale-comparisons needs --absorbance"},
      {{"--compare=", "a.sp", "b.svg"}, "--compare needs a file name"},
      {{"--compare", "1",         "--compare", "2",         "--compare", "3",         "--compare",
        "4",         "--compare", "5",         "--compare", "6",         "--compare", "7",
        "--compare", "8",         "--compare", "9",         "a.sp",      "b.svg"},
       "--compare: at most 8 comparison spectra"},
      {{"--info", "--absorbance", "a.sp"}, "--info cannot be combined with --absorbance"},
  };
  for (const auto& c : cases) {
    ParseResult r = ParseConvertOptions(c.args);
    EXPECT_FALSE(r.ok) << c.says;
    EXPECT_NE(r.error.find(c.says), std::string::npos) << "got: " << r.error;
  }
}

TEST(ConvertOptions, ExtensionListComesFromTheFileKindTable) {
  // JCAMP-DX has two rows in the table (FIX and DIFDUP) but one extension.
  EXPECT_EQ(OutputExtensionList(), ".sp, .jdx, .asc, .plt, .wmf, .svg, .png, .pdf");
  FileKind kind;
  EXPECT_TRUE(OutputKindFor("JDX", true, kind));
  EXPECT_EQ(kind, FileKind::kJcampDifDup);
  EXPECT_TRUE(OutputKindFor("svg", true, kind));  // --compressed means nothing there
  EXPECT_EQ(kind, FileKind::kSvg);
  EXPECT_FALSE(OutputKindFor("", false, kind));
}

// The kinds table says which kinds are written, the writers table how: a
// kind written without a row (or a row for a kind only read) would send the
// converter to no writer, and its extension must be the one it is chosen by.
TEST(ConvertOptions, EveryWrittenKindHasItsWriterRow) {
  std::size_t count = 0;
  const FileKindInfo* kinds = AllFileKinds(count);
  std::size_t written = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const WriterInfo* writer = WriterFor(kinds[i].kind);
    ASSERT_EQ(writer != nullptr, !kinds[i].readOnly) << kinds[i].description;
    if (writer == nullptr) continue;
    ++written;
    EXPECT_STREQ(writer->extension, kinds[i].extension) << kinds[i].description;
    EXPECT_NE(writer->write, nullptr) << kinds[i].description;
  }
  EXPECT_EQ(AllWriters().size(), written);  // one row a kind
}

}  // namespace
}  // namespace tesvar::cli
