// Reading whole files: every byte, whatever the size says.
#include "core/file_io.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "test_support.h"

namespace tesvar {
namespace {

// Files around the sizes where the reading changes: empty, one byte, the
// first guess for files that give no size, and beyond the sizes a single
// read is known to return.
// Read into one kept buffer too, the sizes up and then down again: no byte
// of a longer file read before may stay behind a shorter one.
TEST(ReadWholeFile, EveryByteOfFilesOfManySizes) {
  const std::string dir = test::MakeTempDir();
  std::string kept;
  for (std::size_t size :
       {0, 1, 4095, 4096, 4097, 65535, 65536, 65537, 300000, 65536, 4097, 1, 0}) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + size) & 0xFF);
    const std::string path = dir + "/f" + std::to_string(size);
    std::ofstream(path, std::ios::binary) << bytes;
    EXPECT_EQ(ReadWholeFile(path), bytes) << size;
    ReadWholeFileInto(path, kept);
    EXPECT_EQ(kept, bytes) << size;
    std::remove(path.c_str());
  }
}

// A regular file whose size reads 0 although it holds text (as files of
// /proc do) is read to its end all the same.
TEST(ReadWholeFile, FileWithoutASize) {
  const std::string text = ReadWholeFile("/proc/self/status");
  EXPECT_NE(text.find("Name:"), std::string::npos);
  EXPECT_EQ(text.back(), '\n');
}

}  // namespace
}  // namespace tesvar
