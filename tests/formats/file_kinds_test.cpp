#include "formats/file_kinds.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formats/jcamp_writer.h"
#include "formats/sp_file.h"
#include "reader_fixture.h"
#include "test_support.h"

namespace tesvar {
namespace {

using Notice = LoadNotice;
using NoticeKind = LoadNotice::Kind;

// Which reader takes a file by its name: a listed extension first, else
// the marks anywhere in the upper-cased path, a later kind's mark winning.
TEST(FileKinds, ReaderByName) {
  struct Case {
    const char* path;
    const char* reader;  // "" for none
    bool import;
  } cases[] = {
      {"a.sp", "PESP", false},
      {"/data/A.SP", "PESP", false},
      {"a.spx", "PESP", false},
      {"x.jdx", "JDX", true},
      {"C:\\SPECTRA.SP\\X.JDX", "JDX", true},
      {"x.Asc", "ASC", true},
      {"list.jdx.asc", "ASC", true},
      {"x.asc.sp", "ASC", true},
      {"x.xyz", "", false},
      {"x.dx", "JDX", true},
      {"X.JCM", "JDX", true},
      {"x.Jcamp", "JDX", true},
      {"x.asc.dx", "JDX", true},
      {"x.dx.asc", "ASC", true},
      {"x.dxa", "", false},
      {"", "", false},
  };
  for (const Case& c : cases) {
    const FileKindInfo* kind = ClassifyPath(c.path);
    EXPECT_STREQ(PathKindName(kind), c.reader) << c.path;
    EXPECT_EQ(ClassifyFile(c.path, "PE IR"), kind) << c.path;  // "PE IR" is no JCAMP-DX text
    if (kind == nullptr) continue;
    EXPECT_NE(kind->read, nullptr) << c.path;
    EXPECT_EQ(kind->loadsAsImport, c.import) << c.path;
    EXPECT_STREQ(kind->readFailureText, c.import ? "File read error!" : nullptr) << c.path;
  }
}

// A file through the load entry, chosen by name: each reader loads its own
// kind, and a name no reader takes is not even opened.
TEST(FileKinds, LoadEntryChoosesTheReader) {
  const std::string dir = test::MakeTempDir();
  Spectrum source = test::ShownSpectrum();
  source.IdentLine = "PE IR";
  ASSERT_TRUE(WriteSpFile(dir + "/a.sp", source).saved());
  RecordedMessages quiet;
  ASSERT_TRUE(test::Told(WriteJcampFile(dir + "/a.jdx", source, JcampForm::kDifDup), quiet));
  test::WriteFile(dir + "/a.asc", test::Join({"4000 0.85", "3999 0.86", "3998 0.87"}));

  for (const char* name : {"a.sp", "a.jdx", "a.asc"}) {
    Spectrum s;
    const LoadResult result = LoadSpectrumFile(dir + "/" + name, s);
    EXPECT_TRUE(result.loaded()) << name << ": " << result.refusal;
    EXPECT_EQ(result.kind, ClassifyPath(name)) << name;
    EXPECT_EQ(result.refusal, "") << name;
    EXPECT_EQ(s.NPoints, std::string(name) == "a.asc" ? 3 : 5) << name;
  }

  for (const std::string& path : {dir + "/a.xyz", dir + "/missing.xyz"}) {
    Spectrum s = test::ShownSpectrum();
    const LoadResult result = LoadSpectrumFile(path, s);
    EXPECT_EQ(result.outcome, LoadOutcome::kNoReader) << path;
    EXPECT_EQ(result.kind, nullptr) << path;
    EXPECT_TRUE(result.notices.empty()) << path;
    EXPECT_TRUE(test::SameRecord(s, test::ShownSpectrum())) << path;
  }
}

// A refused load: the record as it was, the refusal as the user is shown
// it, and every notice in the order the reader gave it; Tell says them so.
TEST(FileKinds, RefusalKeepsTheRecordAndTheNotices) {
  const std::string badSp = "PE IR\r\n-1\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n450\r\nmany\r\n";
  struct Case {
    const char* name;
    FileKind kind;
    std::string text;
    std::vector<Notice> notices;
  };
  const std::vector<Case> cases = {
      {"SpBellThenNoData",
       FileKind::kSp,
       badSp,
       {{NoticeKind::kBell, 0, ""}, {NoticeKind::kErrorBox, 0, "Data section not found!"}}},
      {"SpUnknown",
       FileKind::kSp,
       "pe ir\r\n",
       {{NoticeKind::kErrorBox, 0, "Unknown file format!"}}},
      {"JcampHeader",
       FileKind::kJcampFix,
       "##DATA TYPE= UV/VIS\r\n",
       {{NoticeKind::kStatusText, 2, ""}, {NoticeKind::kErrorBox, 0, "no IR spectrum"}}},
      // The data line fails after the first line's ordinates were decoded.
      {"JcampDataLine",
       FileKind::kJcampFix,
       test::Join({"##DATA TYPE= INFRARED SPECTRUM", "##YUNITS= TRANSMITTANCE", "##FIRSTX= 4000",
                   "##LASTX= 3996", "##NPOINTS= 5", "##XYDATA= (X++(Y..Y))", "4000 0.8 0.7",
                   "3998 0.6;0.5", "##END="}),
       {{NoticeKind::kStatusText, 2, ""},
        {NoticeKind::kStatusText, 2, "invalid data line 3998 0.6;0.5"}}},
      {"AsciiBadX",
       FileKind::kAsciiList,
       test::Join({"4000 0.85", "3999 0.86", "4000-85"}),
       {{NoticeKind::kStatusText, 2, "invalid X value: 4000-85"}}},
      {"AsciiTooFew",
       FileKind::kAsciiList,
       test::Join({"4000 0.85"}),
       {{NoticeKind::kErrorBox, 0, "Not enough data points!"}}},
  };
  for (const Case& c : cases) {
    Spectrum shown = test::ShownSpectrum();
    const LoadResult result = LoadSpectrumText(c.text, "", InfoFor(c.kind), shown);
    EXPECT_EQ(result.outcome, LoadOutcome::kRefused) << c.name;
    EXPECT_EQ(result.notices, c.notices) << c.name;
    EXPECT_EQ(result.refusal, c.notices.back().text) << c.name;
    EXPECT_TRUE(test::SameRecord(shown, test::ShownSpectrum())) << c.name;

    RecordedMessages told;
    result.Tell(told);
    int boxes = 0, texts = 0, bells = 0;
    for (const Notice& n : c.notices) {
      if (n.kind == NoticeKind::kErrorBox) {
        EXPECT_EQ(told.errors.at(boxes++), n.text) << c.name;
      } else if (n.kind == NoticeKind::kStatusText) {
        EXPECT_EQ(told.statusLog.at(texts++), n.text) << c.name;
      }
      bells += n.kind == NoticeKind::kBell;
    }
    EXPECT_EQ(told.errors.size(), static_cast<std::size_t>(boxes)) << c.name;
    EXPECT_EQ(told.statusLog.size(), static_cast<std::size_t>(texts)) << c.name;
    EXPECT_EQ(told.bells, bells) << c.name;
  }
}

}  // namespace
}  // namespace tesvar
