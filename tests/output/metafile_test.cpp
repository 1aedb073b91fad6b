#include "output/metafile.h"

#include <gtest/gtest.h>

#include <map>

#include "output/wmf_reader.h"

namespace tesvar {
namespace {

// Measures every text as 7 pixels per character and 16 high.
class FixedMetrics : public DrawingSurface {
 public:
  void SetPenColor(Rgb) override {}
  void SetPenStyle(PenStyle) override {}
  void SetPenMode(PenMode) override {}
  void SetFont(const std::string& name, int height) override {
    font = name + ":" + std::to_string(height);
  }
  void MoveTo(int, int) override {}
  void LineTo(int, int) override {}
  void TextOut(int, int, const std::string&) override {}
  int TextWidth(const std::string& text) override { return 7 * static_cast<int>(text.size()); }
  int TextHeight(const std::string&) override { return 16; }
  std::string font;
};

using test::ParsedWmf;

ParsedWmf Parse(const std::string& bytes) {
  ParsedWmf w = test::ParseWmf(bytes);
  EXPECT_TRUE(w.ok()) << w.Problems();
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
      EXPECT_EQ(test::WmfFaceName(r), "Arial Narrow");
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
