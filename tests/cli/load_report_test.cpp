// What the converter says about how a file was read: the lines --info adds
// after the header, the kinds it names when no reader takes a file, and the
// kinds its help lists.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/converter.h"
#include "cli/spectrum_report.h"
#include "formats/file_kinds.h"
#include "formats/jcamp_writer.h"
#include "formats/sp_file.h"
#include "test_support.h"

namespace tesvar::cli {
namespace {

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

Outcome Convert(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int status = RunConvertCommand(args, out, err, nullptr);
  return {status, out.str(), err.str()};
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// No reader of today writes notes yet, so the results are built here as
// the load entry builds them.
TEST(LoadLines, KindOfAnImportThenEachNote) {
  const struct {
    const char* name;
    FileKind kind;
    std::vector<std::string> notes;
    std::vector<std::string> lines;
  } cases[] = {
      {"SP file, no notes", FileKind::kSp, {}, {}},
      {"SP file with a note", FileKind::kSp, {"block 1 of 2"}, {"Note: block 1 of 2"}},
      {"JCAMP-DX, block and unit",
       FileKind::kJcampFix,
       {"block 2 of 3", "absorbance converted to transmittance"},
       {"File kind: JCAMP-DX (*.jdx)", "Note: block 2 of 3",
        "Note: absorbance converted to transmittance"}},
      {"ASCII list, a note with a line break",
       FileKind::kAsciiList,
       {"two\nlines"},
       {"File kind: ASCII list (*.asc)", "Note: two?lines"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LoadResult result;
    result.kind = &InfoFor(c.kind);
    result.outcome = LoadOutcome::kLoaded;
    result.notes = c.notes;
    EXPECT_EQ(LoadLines(result), c.lines);
  }
  EXPECT_TRUE(LoadLines(LoadResult{}).empty());
}

// --info of a JCAMP-DX and an ASCII file the converter writes itself: the
// nine header lines, then the kind that read the file. The SP file's
// report stays the nine lines.
TEST(LoadLines, InfoOfEachKindReadToday) {
  const std::string dir = test::MakeTempDir();
  Spectrum s;
  s.IdentLine = "PE IR       SPECTRUM";
  s.NPoints = 5;
  s.LastIndex = 4;
  s.XStart = s.FirstX = 4000;
  s.XEnd = s.LastX = 3996;
  s.XStep = 1;
  s.DeltaX = -1;
  s.NScans = 1;
  for (int i = 0; i < 5; ++i) s.TransY[i] = 0.5f;
  ASSERT_TRUE(WriteSpFile(dir + "/a.sp", s).saved());
  ASSERT_EQ(Convert({dir + "/a.sp", dir + "/a.jdx"}).status, 0);
  ASSERT_EQ(Convert({dir + "/a.sp", dir + "/a.asc"}).status, 0);

  const struct {
    const char* file;
    const char* kindLine;  // "" for none
  } cases[] = {
      {"a.sp", ""},
      {"a.jdx", "File kind: JCAMP-DX (*.jdx)"},
      {"a.asc", "File kind: ASCII list (*.asc)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const Outcome r = Convert({"--info", dir + "/" + c.file});
    EXPECT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), std::string(c.kindLine).empty() ? 9u : 10u) << r.out;
    EXPECT_EQ(lines[0].rfind("Date of acquisition: ", 0), 0u);
    EXPECT_EQ(lines[7], "Number of data points: 5");
    if (lines.size() == 10) {
      EXPECT_EQ(lines[9], c.kindLine);
    }
  }
}

TEST(LoadLines, UnknownKindNamesTheKindsRead) {
  const std::string dir = test::MakeTempDir();
  test::WriteFile(dir + "/notes.zzz", "4000 0.5\r\n");
  const Outcome r = Convert({"--info", dir + "/notes.zzz"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind("tesvar-convert: " + dir + "/notes.zzz: unknown file kind (read are: " +
                            "Perkin-Elmer 1600 (*.sp), JCAMP-DX (*.jdx), ASCII list (*.asc)",
                        0),
            0u)
      << r.err;
}

TEST(LoadLines, HelpListsTheKindsRead) {
  const std::string help = HelpText();
  for (const char* line :
       {"\n  Perkin-Elmer 1600 (*.sp)\n", "\n  JCAMP-DX (*.jdx)\n", "\n  ASCII list (*.asc)\n"}) {
    EXPECT_NE(help.find(line), std::string::npos) << line;
  }
}

}  // namespace
}  // namespace tesvar::cli
