// Helpers shared by the test programs.
#pragma once

#include <string>

namespace tesvar::test {

// A path below the shared real-world test files (../shared/testdata from the
// project root), or "" when that folder is absent.
std::string SharedTestData(const std::string& relative);

// A fresh, empty directory for one test; removed at exit.
std::string MakeTempDir();

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);

}  // namespace tesvar::test
