// Helpers shared by the test programs.
#pragma once

#include <string>

#include "core/messages.h"
#include "core/save_result.h"

namespace tesvar::test {

// A path below the shared real-world test files (../shared/testdata from the
// project root), or "" when that folder is absent.
std::string SharedTestData(const std::string& relative);

// A fresh, empty directory for one test; removed at exit.
std::string MakeTempDir();

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);

// Says what a save refused through messages; returns whether it saved.
inline bool Told(const SaveResult& result, Messages& messages) {
  result.Tell(messages);
  return result.saved();
}

}  // namespace tesvar::test
