#include "test_support.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace tesvar::test {

namespace {

struct TempDirs {
  std::vector<std::string> dirs;
  ~TempDirs() {
    std::error_code ec;
    for (const auto& d : dirs) std::filesystem::remove_all(d, ec);
  }
};

TempDirs& AllTempDirs() {
  static TempDirs dirs;
  return dirs;
}

}  // namespace

std::string SharedTestData(const std::string& relative) {
  std::filesystem::path p =
      std::filesystem::path(TESVAR_SOURCE_DIR) / ".." / "shared" / "testdata" / relative;
  return std::filesystem::exists(p) ? p.lexically_normal().string() : std::string();
}

std::string MakeTempDir() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "tesvar-test-XXXXXX").string();
  if (::mkdtemp(tmpl.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  AllTempDirs().dirs.push_back(tmpl);
  return tmpl;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
  if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace tesvar::test
