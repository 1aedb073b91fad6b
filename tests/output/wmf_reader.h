// A small reader of placeable Windows metafiles, written for the tests
// independently of the writer: it checks the 22-byte placeable header (key,
// reserved word, checksum), the standard header (type, size, version, size
// in words, largest record) and the record chain, and returns the records.
// Anything wrong goes into `problems`, so that gtest and QtTest programs
// can both use it.
//
// Record functions of the Windows metafile format that the tests look for:
//   0x0000 EOF, 0x02FA CreatePenIndirect, 0x02FB CreateFontIndirect,
//   0x012D SelectObject, 0x01F0 DeleteObject, 0x0214 MoveTo, 0x0213 LineTo,
//   0x0521 TextOut, 0x0104 SetROP2.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace tesvar::test {

enum WmfFunction : uint16_t {
  kWmfEof = 0x0000,
  kWmfSetRop2 = 0x0104,
  kWmfSelectObject = 0x012D,
  kWmfDeleteObject = 0x01F0,
  kWmfLineTo = 0x0213,
  kWmfMoveTo = 0x0214,
  kWmfCreatePen = 0x02FA,
  kWmfCreateFont = 0x02FB,
  kWmfTextOut = 0x0521,
};

inline uint16_t WmfU16(const std::string& b, std::size_t at) {
  if (at + 2 > b.size()) return 0;
  return static_cast<uint16_t>(static_cast<unsigned char>(b[at]) |
                               static_cast<unsigned char>(b[at + 1]) << 8);
}
inline uint32_t WmfU32(const std::string& b, std::size_t at) {
  return WmfU16(b, at) | uint32_t{WmfU16(b, at + 2)} << 16;
}

struct WmfRecord {
  uint16_t function = 0;
  std::vector<uint16_t> params;  // the 16-bit words after the function
};

struct ParsedWmf {
  int left = 0, top = 0, right = 0, bottom = 0, inch = 0;
  uint16_t objects = 0;
  uint32_t maxRecord = 0;
  std::vector<WmfRecord> records;
  std::vector<std::string> problems;

  bool ok() const { return problems.empty(); }
  std::string Problems() const {
    std::string all;
    for (const std::string& p : problems) all += p + "; ";
    return all;
  }
};

inline ParsedWmf ParseWmf(const std::string& b) {
  ParsedWmf w;
  auto check = [&w](bool good, const std::string& what) {
    if (!good) w.problems.push_back(what);
  };
  if (b.size() < 22 + 18 + 6) {
    w.problems.push_back("shorter than two headers and an EOF record");
    return w;
  }
  check(WmfU32(b, 0) == 0x9AC6CDD7u, "placeable key");
  check(WmfU16(b, 4) == 0, "handle word not 0");
  uint16_t x = 0;
  for (int i = 0; i < 10; ++i) x ^= WmfU16(b, 2 * static_cast<std::size_t>(i));
  check(WmfU16(b, 20) == x, "placeable checksum");
  w.left = static_cast<int16_t>(WmfU16(b, 6));
  w.top = static_cast<int16_t>(WmfU16(b, 8));
  w.right = static_cast<int16_t>(WmfU16(b, 10));
  w.bottom = static_cast<int16_t>(WmfU16(b, 12));
  w.inch = WmfU16(b, 14);
  check(WmfU32(b, 16) == 0, "reserved word not 0");
  // Standard header at 22.
  check(WmfU16(b, 22) == 1, "metafile type");
  check(WmfU16(b, 24) == 9, "header size");
  check(WmfU16(b, 26) == 0x0300, "version");
  check(WmfU32(b, 28) * 2 == b.size() - 22, "file size in words");
  w.objects = WmfU16(b, 32);
  w.maxRecord = WmfU32(b, 34);
  std::size_t at = 22 + 18;
  uint32_t largest = 0;
  bool sawEof = false;
  while (at + 6 <= b.size()) {
    const uint32_t size = WmfU32(b, at);
    if (size < 3 || at + 2 * std::size_t{size} > b.size()) {
      w.problems.push_back("record at byte " + std::to_string(at) + " has a bad size");
      return w;
    }
    WmfRecord r{WmfU16(b, at + 4), {}};
    for (uint32_t i = 3; i < size; ++i) r.params.push_back(WmfU16(b, at + 2 * std::size_t{i}));
    largest = std::max(largest, size);
    w.records.push_back(r);
    at += 2 * std::size_t{size};
    if (r.function == kWmfEof) {
      sawEof = true;
      break;
    }
  }
  check(sawEof, "no EOF record");
  check(at == b.size(), "bytes after the EOF record");
  check(largest == w.maxRecord, "largest record size");
  return w;
}

// The string of a TextOut record (length word, bytes padded to words, y, x).
inline std::string WmfText(const WmfRecord& r) {
  if (r.params.empty()) return {};
  const std::size_t n = r.params[0];
  std::string text;
  for (std::size_t i = 0; i < n && 1 + i / 2 < r.params.size(); ++i) {
    const uint16_t word = r.params[1 + i / 2];
    text += static_cast<char>(i % 2 == 0 ? word & 0xFF : word >> 8);
  }
  return text;
}

// The face name of a CreateFontIndirect record (after 9 words of LOGFONT).
inline std::string WmfFaceName(const WmfRecord& r) {
  std::string face;
  for (std::size_t i = 9; i < r.params.size(); ++i) {
    face += static_cast<char>(r.params[i] & 0xFF);
    face += static_cast<char>(r.params[i] >> 8);
  }
  return face.substr(0, face.find('\0'));
}

}  // namespace tesvar::test
