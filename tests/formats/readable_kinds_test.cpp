#include "formats/readable_kinds.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tesvar {
namespace {

TEST(ReadableKinds, TheKindsReadTodayInTableOrder) {
  std::vector<FileKind> kinds;
  for (const FileKindInfo* info : OpenableKinds()) kinds.push_back(info->kind);
  // The three kinds read today come first and in this order; the
  // compressed JCAMP-DX row (read back by the converter's check only) and
  // the written-only kinds are not openable.
  ASSERT_GE(kinds.size(), 3u);
  EXPECT_EQ(kinds[0], FileKind::kSp);
  EXPECT_EQ(kinds[1], FileKind::kJcampFix);
  EXPECT_EQ(kinds[2], FileKind::kAsciiList);
  for (FileKind never : {FileKind::kJcampDifDup, FileKind::kHpgl, FileKind::kWindowsMetafile,
                         FileKind::kSvg, FileKind::kPng, FileKind::kPdf}) {
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), never), 0);
  }
}

// Every pattern the "All spectra" entry offers names files that the
// registry hands to a reader: the dialog offers nothing that is then
// refused for its name. A kind whose names say nothing (a running counter
// as the extension) is chosen by its first bytes alone.
TEST(ReadableKinds, EveryPatternOfferedIsRead) {
  const std::vector<std::string> patterns = OpenablePatterns();
  ASSERT_FALSE(patterns.empty());
  for (const std::string& pattern : patterns) {
    SCOPED_TRACE(pattern);
    ASSERT_EQ(pattern.rfind("*.", 0), 0u);
    EXPECT_EQ(std::count(patterns.begin(), patterns.end(), pattern), 1);
    if (pattern == InfoFor(FileKind::kOpus).pattern) {
      EXPECT_EQ(ClassifyPath("/data/sample.0"), nullptr);
      EXPECT_NE(InfoFor(FileKind::kOpus).signature, nullptr);
      continue;
    }
    const FileKindInfo* chosen = ClassifyPath("/data/sample" + pattern.substr(1));
    ASSERT_NE(chosen, nullptr);
    EXPECT_NE(chosen->read, nullptr);
  }
}

TEST(ReadableKinds, AnySpectrumFilterListsAllThenEachKind) {
  const std::string filter = AnySpectrumFilter();
  std::vector<std::string> entries;
  for (std::size_t from = 0;;) {
    const std::size_t bar = filter.find(";;", from);
    entries.push_back(filter.substr(from, bar - from));
    if (bar == std::string::npos) break;
    from = bar + 2;
  }
  ASSERT_GE(entries.size(), 4u);
  std::string all;
  for (const std::string& p : OpenablePatterns()) all += (all.empty() ? "" : " ") + p;
  EXPECT_EQ(entries[0], "All spectra (" + all + ")");
  EXPECT_EQ(entries[1], "Perkin-Elmer 1600 (*.sp)");
  EXPECT_EQ(entries[2], "JCAMP-DX (*.jdx *.dx *.jcm *.jcamp)");
  EXPECT_EQ(entries[3], DialogFilter(FileKind::kAsciiList));
  // Each kind once, though JCAMP-DX has two rows.
  for (const std::string& entry : entries) {
    EXPECT_EQ(std::count(entries.begin(), entries.end(), entry), 1) << entry;
  }
}

TEST(ReadableKinds, KindsTextNamesEachDescription) {
  const std::string text = OpenableKindsText();
  EXPECT_EQ(text.rfind("Perkin-Elmer 1600 (*.sp), ", 0), 0u) << text;
  for (const FileKindInfo* info : OpenableKinds()) {
    EXPECT_NE(text.find(info->description), std::string::npos) << info->description;
  }
}

}  // namespace
}  // namespace tesvar
