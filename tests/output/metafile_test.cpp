#include "output/metafile.h"

#include <gtest/gtest.h>

#include <map>

namespace tesvar {
namespace {

// Measures every text as 7 pixels per character and 16 high.
class FixedMetrics : public DrawingSurface {
 public:
  void SetPenColor(Rgb) override {}
  void SetPenStyle(PenStyle) override {}
  void SetPenMode(PenMode) override {}
  void SetFont(const std::string& name, int height) override { font = name + ":" + std::to_string(height); }
  void MoveTo(int, int) override {}
  void LineTo(int, int) override {}
  void TextOut(int, int, const std::string&) override {}
  int TextWidth(const std::string& text) override { return 7 * static_cast<int>(text.size()); }
  int TextHeight(const std::string&) override { return 16; }
  std::string font;
};

uint16_t U16(const std::string& b, std::size_t at) {
  return static_cast<uint16_t>(static_cast<unsigned char>(b[at]) |
                               static_cast<unsigned char>(b[at + 1]) << 8);
}
uint32_t U32(const std::string& b, std::size_t at) { return U16(b, at) | uint32_t{U16(b, at + 2)} << 16; }

struct Record {
  uint16_t function;
  std::vector<uint16_t> params;
};

// A small, independent reader of placeable metafiles: checks the header
// fields and the record chain, and returns the records.
struct ParsedWmf {
  int left, top, right, bottom, inch;
  uint16_t objects;
  uint32_t maxRecord;
  std::vector<Record> records;
};

ParsedWmf Parse(const std::string& b) {
  ParsedWmf w{};
  EXPECT_GE(b.size(), 40u);
  EXPECT_EQ(U32(b, 0), 0x9AC6CDD7u);
  uint16_t x = 0;
  for (int i = 0; i < 10; ++i) x ^= U16(b, 2 * i);
  EXPECT_EQ(U16(b, 20), x) << "placeable checksum";
  w.left = static_cast<int16_t>(U16(b, 6));
  w.top = static_cast<int16_t>(U16(b, 8));
  w.right = static_cast<int16_t>(U16(b, 10));
  w.bottom = static_cast<int16_t>(U16(b, 12));
  w.inch = U16(b, 14);
  EXPECT_EQ(U32(b, 16), 0u);
  // Standard header at 22.
  EXPECT_EQ(U16(b, 22), 1);
  EXPECT_EQ(U16(b, 24), 9);
  EXPECT_EQ(U16(b, 26), 0x0300);
  EXPECT_EQ(U32(b, 28) * 2, b.size() - 22) << "size in words";
  w.objects = U16(b, 32);
  w.maxRecord = U32(b, 34);
  std::size_t at = 22 + 18;
  uint32_t largest = 0;
  while (at < b.size()) {
    uint32_t size = U32(b, at);
    EXPECT_GE(size, 3u);
    EXPECT_LE(at + 2 * size, b.size());
    Record r{U16(b, at + 4), {}};
    for (uint32_t i = 3; i < size; ++i) r.params.push_back(U16(b, at + 2 * i));
    largest = std::max(largest, size);
    w.records.push_back(r);
    at += 2 * size;
    if (r.function == 0) break;
  }
  EXPECT_EQ(at, b.size()) << "EOF record is last";
  EXPECT_EQ(largest, w.maxRecord);
  return w;
}

TEST(Metafile, HeaderAndRecordChain) {
  FixedMetrics metrics;
  RecordingSurface rec(metrics);
  rec.SetPenColor(kBlack);
  rec.SetPenStyle(PenStyle::kSolid);
  rec.SetFont("Arial Narrow", FontHeightForPoints(14, 96));
  EXPECT_EQ(metrics.font, "Arial Narrow:-19");  // 14 pt at 96 dpi = 18.67 px
  EXPECT_EQ(rec.TextWidth("000"), 21);
  rec.SetPenColor(kGrey);
  rec.SetPenStyle(PenStyle::kDot);
  rec.MoveTo(10, 20);
  rec.LineTo(300, -5);
  rec.SetPenColor(kBlack);
  rec.SetPenStyle(PenStyle::kSolid);
  rec.TextOut(3, 4, "%T");
  rec.TextOut(5, 6, "abc");
  rec.TextOut(7, 8, "");

  std::string bytes = BuildPlaceableMetafile(rec.ops(), 1279, 1023);
  ParsedWmf w = Parse(bytes);
  EXPECT_EQ(w.left, 0);
  EXPECT_EQ(w.top, 0);
  EXPECT_EQ(w.right, 1279);
  EXPECT_EQ(w.bottom, 1023);
  EXPECT_EQ(w.inch, 100);

  std::map<uint16_t, int> count;
  for (const auto& r : w.records) ++count[r.function];
  EXPECT_EQ(w.records.back().function, 0);
  EXPECT_EQ(count[0x0214], 1);  // MoveTo
  EXPECT_EQ(count[0x0213], 1);  // LineTo
  EXPECT_EQ(count[0x0521], 3);  // TextOut
  EXPECT_EQ(count[0x02FB], 1);  // one font created
  // Pens: the initial black, grey solid, grey dotted, black dotted, black solid;
  // the repeated black/solid at the start create nothing.
  EXPECT_EQ(count[0x02FA], 5);
  EXPECT_EQ(count[0x01F0], 4);  // every replaced pen is deleted
  EXPECT_EQ(w.objects, 3);      // a pen, a font, and the new pen before the old is deleted

  for (const auto& r : w.records) {
    if (r.function == 0x0213) {
      EXPECT_EQ(r.params, (std::vector<uint16_t>{static_cast<uint16_t>(-5), 300}));  // y, x
    }
    if (r.function == 0x02FB) {
      EXPECT_EQ(static_cast<int16_t>(r.params[0]), -19);
      std::string face;
      for (std::size_t i = 9; i < r.params.size(); ++i) {
        face += static_cast<char>(r.params[i] & 0xFF);
        face += static_cast<char>(r.params[i] >> 8);
      }
      EXPECT_EQ(face.substr(0, face.find('\0')), "Arial Narrow");
    }
  }
  // "abc": length 3, bytes padded to two words, then y, x.
  std::vector<uint16_t> abc = {3, 'a' | 'b' << 8, 'c', 6, 5};
  bool found = false;
  for (const auto& r : w.records) found |= r.function == 0x0521 && r.params == abc;
  EXPECT_TRUE(found);
}

TEST(Metafile, ReplayDrawsTheSameOperations) {
  FixedMetrics metrics;
  RecordingSurface rec(metrics);
  rec.SetFont("Arial", -12);
  rec.MoveTo(1, 2);
  rec.LineTo(3, 4);
  rec.TextOut(5, 6, "x");
  FixedMetrics m2;
  RecordingSurface again(m2);
  ReplayRecording(rec.ops(), again);
  ASSERT_EQ(again.ops().size(), rec.ops().size());
  for (std::size_t i = 0; i < rec.ops().size(); ++i) {
    EXPECT_EQ(again.ops()[i].kind, rec.ops()[i].kind);
    EXPECT_EQ(again.ops()[i].x, rec.ops()[i].x);
    EXPECT_EQ(again.ops()[i].y, rec.ops()[i].y);
    EXPECT_EQ(again.ops()[i].text, rec.ops()[i].text);
  }
  EXPECT_EQ(m2.font, "Arial:-12");
}

TEST(Metafile, CoordinatesBeyondSixteenBitsAreClamped) {
  FixedMetrics metrics;
  RecordingSurface rec(metrics);
  rec.MoveTo(40000, -40000);
  ParsedWmf w = Parse(BuildPlaceableMetafile(rec.ops(), 100, 100));
  for (const auto& r : w.records) {
    if (r.function == 0x0214) {
      EXPECT_EQ(static_cast<int16_t>(r.params[0]), -32768);
      EXPECT_EQ(static_cast<int16_t>(r.params[1]), 32767);
    }
  }
}

}  // namespace
}  // namespace tesvar
