#include "plot/comparisons.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "formats/ascii_list_writer.h"
#include "logging_surface.h"
#include "plot/plot_geometry.h"
#include "plot/plot_painter.h"
#include "test_support.h"

namespace tesvar {
namespace {

// n points from x0 down by `step`, transmittances given by t(i).
template <typename F>
Spectrum Made(double x0, double step, int n, F t) {
  Spectrum s;
  s.XStart = x0;
  s.XStep = step;
  s.LastIndex = n - 1;
  s.XEnd = x0 - step * (n - 1);
  s.NPoints = n;
  for (int i = 0; i < n; ++i) s.TransY[i] = static_cast<float>(t(i));
  s.DataLoaded = s.YConverted = true;
  return s;
}

// The absorbance axis: rounded down to 0 (or below, for negative
// absorbance), rounded up to a step of 1, 2 or 5 x 10^k, T <= 0 left out.
// Worked out from A = -log10 T: 0.95 -> 0.0223, 0.001 -> 3, 1.05 -> -0.0212,
// 0.5 -> 0.3010.
TEST(AbsorbanceAxis, RangeAndSteps) {
  const struct {
    const char* what;
    std::vector<float> t;
    double low, high, labelStep;
    int decimals;
  } cases[] = {
      {"weak", {0.99f, 0.97f, 0.95f}, 0, 0.0225, 0.005, 3},
      {"strong", {0.9f, 0.001f, 0.5f}, 0, 3, 0.5, 1},
      {"negative", {1.05f, 0.5f}, -0.025, 0.325, 0.05, 2},
      {"T <= 0 left out", {0.5f, 0.0f, -0.1f}, 0, 0.325, 0.05, 2},
      {"nothing to plot", {0.0f, NAN}, 0, 1, 0.2, 1},
      {"flat at 100 %T", {1.0f, 1.0f}, 0, 0.01, 0.002, 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const OrdinateRange r = FitAbsorbanceRange(c.t.data(), 0, static_cast<int>(c.t.size()) - 1);
    EXPECT_NEAR(r.low, c.low, 1e-12);
    EXPECT_NEAR(r.high, c.high, 1e-12);
    EXPECT_NEAR(r.labelStep, c.labelStep, 1e-12);
    EXPECT_EQ(r.decimals, c.decimals);
  }
}

// A frame 100 px high over 0-2 A: bands point up, T <= 0 at the top, NaN
// at the bottom; the unclamped row of a label may leave the frame.
TEST(AbsorbanceAxis, Rows) {
  PlotFrame f;
  f.PlotBottom = 115;
  f.PlotYScale = -100;
  f.ShowAbsorbance(FitOrdinateRange(0, 2));
  const struct {
    double t;
    int traceRow, labelRow;
  } rows[] = {{1.0, 115, 115}, {0.1, 65, 65},  {0.01, 15, 15}, {0.001, 15, -35},
              {0.0, 15, 15},   {-0.2, 15, 15}, {NAN, 115, 15}, {2.0, 115, 130}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.t);
    EXPECT_EQ(f.TraceRow(r.t), r.traceRow);
    EXPECT_EQ(f.TToRow(r.t), r.labelRow);
  }
  EXPECT_NEAR(f.RowToT(65), 0.1, 1e-12);
  const std::vector<TransmittanceTick> ticks = TransmittanceTicks(f);
  ASSERT_EQ(ticks.size(), 9u);
  EXPECT_EQ(ticks[0].row, 115);
  EXPECT_EQ(ticks[0].text, "0.0");
  EXPECT_EQ(ticks[2].row, 90);
  EXPECT_EQ(ticks[2].text, "0.5");
  EXPECT_EQ(ticks[8].row, 15);
  EXPECT_EQ(ticks[8].text, "2.0");
}

TEST(Comparisons, ScaleToTheShownLargestAbsorbance) {
  // Shown: A up to 1 (T 0.1); comparison: A up to 0.5 (T 0.316) inside
  // 3000..1000, and a stronger band outside that range which is not counted.
  const Spectrum shown = Made(4000, 10, 361, [](int i) { return i == 150 ? 0.1 : 0.9; });
  const Spectrum other = Made(4000, 10, 361, [](int i) {
    return i == 50 ? 0.001 : i == 200 ? std::pow(10.0, -0.5) : 0.9;
  });
  const double largest = LargestAbsorbance(shown, 3000, 1000);
  EXPECT_NEAR(largest, 1, 1e-6);
  EXPECT_NEAR(LargestAbsorbance(other, 3000, 1000), 0.5, 1e-6);
  const double scale = ComparisonScale(other, largest, 3000, 1000);
  EXPECT_NEAR(scale, 2, 1e-5);
  // Drawn on a 0-2 A frame 100 px high: A 0.5 doubled stands at 1 (row
  // 65), A 0.0458 (T 0.9) doubled at 0.0915 (row 110), T 0.001 (A 3) at the
  // top edge whatever the scale.
  PlotFrame f;
  f.PlotBottom = 115;
  f.PlotYScale = -100;
  f.PlotWidth = 3600;
  f.ShowAbsorbance(FitOrdinateRange(0, 2));
  f.ShowRange(4000, 400);
  const std::vector<PlotPoint> v =
      OverlayVertices(f, other.TransY.data(), other.LastIndex, other.XStart, other.XStep, scale);
  ASSERT_EQ(v.size(), 361u);
  EXPECT_EQ(v[200].y, 65);
  EXPECT_EQ(v[0].y, 110);
  EXPECT_EQ(v[50].y, 15);
  // Nothing to scale by: a comparison without absorbance in the range.
  const Spectrum flat = Made(4000, 10, 361, [](int) { return 1.0; });
  EXPECT_EQ(ComparisonScale(flat, largest, 3000, 1000), 1);
  EXPECT_EQ(ComparisonScale(other, -INFINITY, 3000, 1000), 1);
}

// A comparison over 5000-300 1/cm in the frame of a spectrum over
// 2200-1700: only its points between the frame's edges are drawn.
TEST(Comparisons, TraceClippedToTheFrame) {
  test::LoggingSurface s;
  const PlotStyle style = ScreenPlotStyle();
  s.SetFont(style.axisFont.name, style.axisFont.height);
  const Spectrum shown = Made(2200, 100, 6, [](int) { return 0.5; });
  PlotFrame f = PlotFrame::Measure(style.frame, s, 433, 143, shown);
  const Spectrum wide = Made(5000, 50, 95, [](int) { return 0.5; });
  const std::vector<PlotPoint> v =
      OverlayVertices(f, wide.TransY.data(), wide.LastIndex, wide.XStart, wide.XStep);
  ASSERT_FALSE(v.empty());
  EXPECT_EQ(v.front().x, f.XToColumn(2200));
  EXPECT_EQ(v.back().x, f.XToColumn(1700));
  // 2200, 2150 ... 1700: 11 points, each in a column of its own.
  EXPECT_EQ(v.size(), 11u);
  // A comparison wholly outside the frame draws nothing.
  const Spectrum far = Made(4000, 10, 100, [](int) { return 0.5; });
  EXPECT_TRUE(OverlayVertices(f, far.TransY.data(), far.LastIndex, far.XStart, far.XStep).empty());
}

TEST(Comparisons, LegendNamesAndColours) {
  ComparisonList list;
  for (const char* path : {"/data/ref/polystyrene.sp", "C:\\spectra\\Müller 3.jdx"}) {
    ASSERT_TRUE(list.Add({path, LegendName(path), Made(2200, 100, 6, [](int) { return 0.5; })}));
  }
  EXPECT_EQ(list[1].name, "M\xfcller 3.jdx");              // the 8-bit set of the plot's texts
  EXPECT_EQ(LegendName("/x/\xff\xfe.sp"), "\xff\xfe.sp");  // not UTF-8: kept
  EXPECT_EQ(LegendName("/x/\xc5\x82.sp"), "?.sp");         // "ł" has no byte
  PlotOverlay overlay{&list, "sample.sp"};
  const Spectrum shown = Made(2200, 100, 6, [](int) { return 0.25; });

  test::LoggingSurface s;
  const PlotStyle style = ScreenPlotStyle();
  s.SetFont(style.axisFont.name, style.axisFont.height);
  PlotFrame f = PlotFrame::Measure(style.frame, s, 433, 143, shown);
  s.ops.clear();
  DrawLegend(s, f, shown, overlay);
  // Widest text "polystyrene.sp": 14 x 6 = 84 px, so the texts start at
  // 430 - 6 - 84 = 340, and the lines, 3 x 6 px long, end 3 + 1 px before
  // them (318..336); rows 14 px apart from
  // the top edge (15) + 3.
  EXPECT_EQ(s.Take(),
            "pen 0,0,0, move 318 25, line 336 25, move 318 26, line 336 26, "
            "text 340 18 'sample.sp', "
            "pen 230,159,0, move 318 39, line 336 39, move 318 40, line 336 40, "
            "text 340 32 'polystyrene.sp', "
            "pen 86,180,233, move 318 53, line 336 53, move 318 54, line 336 54, "
            "text 340 46 'M\xfcller 3.jdx', pen 0,0,0");

  // Scaled comparisons say so and by how much (here A 0.301 against 0.602).
  overlay.absorbance = overlay.scaleComparisons = true;
  const std::vector<std::string> texts = LegendTexts(shown, overlay, 2200, 1700);
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[1], "polystyrene.sp (scaled x2.00)");
  // Without comparisons: no legend at all.
  list.Clear();
  DrawLegend(s, f, shown, overlay);
  EXPECT_TRUE(s.ops.empty());
}

TEST(Comparisons, AddFileRefusesAndKeepsTheList) {
  const std::string d = test::MakeTempDir();
  const Spectrum sample = Made(4000, 10, 361, [](int i) { return 0.5 + i / 1000.0; });
  ASSERT_TRUE(WriteAsciiListFile(d + "/good.asc", sample).saved());
  test::WriteFile(d + "/notes.xyz", "not a spectrum\n");
  test::WriteFile(d + "/short.asc", "4000 0.5\n");

  ComparisonList list;
  const LoadResult good = list.AddFile(d + "/good.asc");
  ASSERT_TRUE(good.loaded()) << good.refusal;
  ASSERT_EQ(list.Size(), 1);
  EXPECT_EQ(list[0].name, "good.asc");
  EXPECT_EQ(list[0].spectrum.LastIndex, 360);
  EXPECT_NEAR(list[0].spectrum.TransY[100], 0.6, 1e-6);

  const struct {
    const char* file;
    bool startsWith;  // the refusal starts with `why`
    std::string why;
  } refused[] = {
      {"missing.sp", false, "File not found."},
      {"notes.xyz", true, "Unknown file kind! Read are: "},
      {"short.asc", false, "Not enough data points!"},
  };
  for (const auto& r : refused) {
    SCOPED_TRACE(r.file);
    const LoadResult result = list.AddFile(d + "/" + r.file);
    EXPECT_FALSE(result.loaded());
    if (r.startsWith) {
      EXPECT_EQ(result.refusal.rfind(r.why, 0), 0u) << result.refusal;
    } else {
      EXPECT_EQ(result.refusal, r.why);
    }
    EXPECT_EQ(list.Size(), 1);
  }

  for (int i = 1; i < kMaxComparisons; ++i) ASSERT_TRUE(list.AddFile(d + "/good.asc").loaded());
  const LoadResult ninth = list.AddFile(d + "/good.asc");
  EXPECT_FALSE(ninth.loaded());
  EXPECT_EQ(ninth.refusal, "At most 8 comparison spectra can be shown.");
  EXPECT_EQ(list.Size(), kMaxComparisons);
  list.Remove(0);
  list.Remove(42);  // no such comparison: nothing
  EXPECT_EQ(list.Size(), kMaxComparisons - 1);
}

}  // namespace
}  // namespace tesvar
