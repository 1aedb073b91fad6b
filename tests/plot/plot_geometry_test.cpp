#include "plot/plot_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/spectrum.h"
#include "plot/view_state.h"

namespace tesvar {
namespace {

// "Arial Narrow" -12 in the test metrics: 6 pixels per character, 14 high.
constexpr FrameMetrics kScreenMetrics{30, 14, 6};

PlotFrame ScreenFrame(int width, int height, double xStart, double xEnd, double xStep = 1) {
  return PlotFrame::Layout(ScreenFrameRules(), kScreenMetrics, width, height, xStart, xEnd, xStep);
}

TEST(PlotFrame, LayoutOfEachRenderer) {
  struct Case {
    const char* name;
    FrameRules rules;
    FrameMetrics metrics;
    int width, height;
    int left, plotWidth, bottom, yScale, labelUnit;
  } cases[] = {
      // Screen: left = width("00000") = 30; (553-1) - 30 - 2 = 520; 143 - 2*14;
      // 3*14 - 142 = -100, so the top is th + 1 = 15.
      {"screen", ScreenFrameRules(), kScreenMetrics, 553, 143, 30, 520, 115, -100, 3},
      // Print at 29 px: left = width("000000") = 6*14 = 84; (2200-1) - 84 - 40
      // = 2075; 1100 - 2*31 = 1038; 3*31 + 100 - 1099 = -906; Round(0.7*14) = 10.
      {"print", PrintFrameRules(), {84, 31, 14}, 2200, 1100, 84, 2075, 1038, -906, 10},
      // Metafile at 19 px on a 1024 x 768 screen: L = 2 * width("000") = 54;
      // FW = 1022 - (54 + 4) = 964; B = 767 - 3*21 = 704; FH = -(766 - 84).
      {"metafile", MetafileFrameRules(), {27, 21, 9}, 1024, 768, 54, 964, 704, -682, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PlotFrame f = PlotFrame::Layout(c.rules, c.metrics, c.width, c.height, 4000, 400, 1);
    EXPECT_EQ(f.PlotLeft, c.left);
    EXPECT_EQ(f.PlotWidth, c.plotWidth);
    EXPECT_EQ(f.PlotBottom, c.bottom);
    EXPECT_EQ(f.PlotYScale, c.yScale);
    EXPECT_EQ(f.LabelUnit, c.labelUnit);
  }
}

TEST(PlotFrame, TwoScaleAxisFrom4000To400) {
  PlotFrame f = ScreenFrame(553, 143, 4000, 400);  // PlotWidth 520
  EXPECT_DOUBLE_EQ(f.XSpan, 5200);                 // 2000 + 2 * 1600
  EXPECT_DOUBLE_EQ(f.PlotXScale, 0.1);
  EXPECT_DOUBLE_EQ(f.PlotXScaleLow, 0.2);
  EXPECT_EQ(f.BreakOffset, 200);  // 2000 of 5200 parts: 38 % of the width
  EXPECT_EQ(f.PlotRight(), 553 - 3);
  EXPECT_EQ(f.XToColumn(4000), 30);
  EXPECT_EQ(f.XToColumn(2000), 230);
  EXPECT_EQ(f.XToColumn(1000), 430);  // 230 + 1000 * 0.2
  EXPECT_EQ(f.XToColumn(400), 550);
  // At the break the upper formula applies; one column further the lower
  // one: Round((200 + 400 - 201) / 0.2) = 1995.
  EXPECT_DOUBLE_EQ(f.ColumnToWavenumber(229), 2010);
  EXPECT_DOUBLE_EQ(f.ColumnToWavenumber(230), 2000);
  EXPECT_DOUBLE_EQ(f.ColumnToWavenumber(231), 1995);
  EXPECT_DOUBLE_EQ(f.ColumnToWavenumber(550), 400);
}

TEST(PlotFrame, TicksRunFromTheHighestHundredDown) {
  struct Case {
    double xEnd;
    int lowest;
  } cases[] = {{450, 500}, {400, 400}, {401, 500}};  // Round(xEnd + 99) div 100
  for (const Case& c : cases) {
    std::vector<WavenumberTick> ticks = WavenumberTicks(ScreenFrame(553, 143, 4000, c.xEnd));
    ASSERT_FALSE(ticks.empty());
    EXPECT_EQ(ticks.front().wavenumber, 4000);
    EXPECT_EQ(ticks.back().wavenumber, c.lowest) << c.xEnd;
    EXPECT_EQ(ticks.size(), static_cast<std::size_t>((4000 - c.lowest) / 100 + 1));
  }
  std::vector<WavenumberTick> ticks = WavenumberTicks(ScreenFrame(553, 143, 4000, 400));
  EXPECT_TRUE(ticks[22].unit);  // 1800
  EXPECT_FALSE(ticks[22].major);
  EXPECT_EQ(ticks[35].text, " 500");
}

TEST(PlotFrame, RangesWithoutTheBreakUseOneLinearScale) {
  struct Case {
    double xStart, xEnd;
    std::vector<int> majors;       // wavenumbers of the texts
    std::vector<int> gridColumns;  // 500 apart at and above 2000, 100 below
    bool unit;
  } cases[] = {
      // 520 px for 1500 1/cm: 500 1/cm = 173.33 px.
      {4000, 2500, {4000, 3500, 3000, 2500}, {30, 203, 377, 550}, false},
      // 520 px for 1400 1/cm: 100 1/cm = 37.14 px.
      {1800,
       400,
       {1500, 1000, 500},
       {30, 67, 104, 141, 179, 216, 253, 290, 327, 364, 401, 439, 476, 513, 550},
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.xStart);
    PlotFrame f = ScreenFrame(553, 143, c.xStart, c.xEnd);
    EXPECT_EQ(f.XToColumn(c.xStart), f.PlotLeft);
    EXPECT_EQ(f.XToColumn(c.xEnd), f.PlotRight());
    EXPECT_DOUBLE_EQ(f.ColumnToWavenumber(f.PlotLeft), c.xStart);
    EXPECT_DOUBLE_EQ(f.ColumnToWavenumber(f.PlotRight()), c.xEnd);
    std::vector<int> majors;
    bool unit = false;
    for (const WavenumberTick& t : WavenumberTicks(f)) {
      if (t.major) majors.push_back(t.wavenumber);
      unit = unit || t.unit;
    }
    EXPECT_EQ(majors, c.majors);
    EXPECT_EQ(unit, c.unit);
    EXPECT_EQ(GridColumns(f), c.gridColumns);
  }
}

TEST(PlotFrame, RowsAndTransmittance) {
  PlotFrame f = ScreenFrame(553, 143, 4000, 400);  // bottom 115, 100 px per unit
  struct Case {
    double t;
    int row, traceRow;
  } cases[] = {
      {0.5, 65, 65},   {0.125, 103, 103},  // -12.5 rounds to even
      {1.5, -35, 15},  {-0.2, 135, 115},   // the trace stays on the frame
      {NAN, 115, 115},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(f.TToRow(c.t), c.row) << c.t;
    EXPECT_EQ(f.TraceRow(c.t), c.traceRow) << c.t;
  }
  EXPECT_DOUBLE_EQ(f.RowToT(65), 0.5);
  EXPECT_DOUBLE_EQ(f.RowToT(135), -0.2);
}

TEST(PlotFrame, WavenumberToIndexIsUnclampedAndRoundsToEven) {
  PlotFrame f = ScreenFrame(553, 143, 4000, 400, 0.5);
  EXPECT_EQ(f.WavenumberToIndex(3999.25), 2);  // 1.5
  EXPECT_EQ(f.WavenumberToIndex(3998.75), 2);  // 2.5
  EXPECT_EQ(f.WavenumberToIndex(4001), -2);
  EXPECT_EQ(f.WavenumberToIndex(0), 8000);
  EXPECT_EQ(ScreenFrame(553, 143, 1000, 1000, 0).WavenumberToIndex(900), 0);  // one point
}

TEST(PlotFrame, TraceKeepsTheFirstPointOfEachColumn) {
  // 2200 to 1700 on 400 px: 0.5 px per 1/cm above 2000, so point i (0.25
  // 1/cm apart) lies at column 30 + Round(0.125 i): column 31 is first
  // reached by i = 5 (i = 4 gives 0.5, rounded to 0), column 32 by i = 12
  // (1.5 -> 2) and column 33 by i = 21 (i = 20 gives 2.5 -> 2).
  PlotFrame f = ScreenFrame(433, 143, 2200, 1700, 0.25);
  std::vector<float> t(2001);
  for (int i = 0; i <= 2000; ++i) t[i] = i % 2 ? 0.9f : 0.1f;  // odd points at row 25
  std::vector<PlotPoint> v = TraceVertices(f, t.data(), 2000);
  ASSERT_EQ(v.size(), 401u);  // every column from 30 to 430 once
  EXPECT_EQ(v[0], (PlotPoint{30, 105}));
  EXPECT_EQ(v[1], (PlotPoint{31, 25}));
  EXPECT_EQ(v[2], (PlotPoint{32, 105}));
  EXPECT_EQ(v[3], (PlotPoint{33, 25}));
  EXPECT_EQ(v.back().x, 430);
}

TEST(PlotFrame, DegenerateSpectraStayInsideTheFrame) {
  PlotFrame one = ScreenFrame(553, 143, 1000, 1000, 0);
  float t = 0.5f;
  EXPECT_EQ(TraceVertices(one, &t, 0), (std::vector<PlotPoint>{{30, 65}}));
  EXPECT_EQ(one.XToColumn(1000), 30);
  // No infrared spectrum spans 10^9 1/cm: no ticks rather than millions.
  PlotFrame absurd = ScreenFrame(553, 143, 1e9, 0);
  EXPECT_TRUE(WavenumberTicks(absurd).empty());
  EXPECT_TRUE(GridColumns(absurd).empty());
}

TEST(PlotFrame, ViewStateKeepsTheFrameForTheMouse) {
  PlotFrame f = ScreenFrame(553, 143, 4000, 400);
  ViewState view;
  view.LabelUnit = 0;
  f.CopyTo(view);
  EXPECT_EQ(view.PlotLeft, 30);
  EXPECT_EQ(view.PlotYScale, -100);
  EXPECT_EQ(view.LabelUnit, 3);
  Spectrum s;
  s.XStart = 4000;
  s.XEnd = 400;
  s.XStep = 1;
  PlotFrame back = PlotFrame::FromViewState(view, s);
  EXPECT_EQ(back.BreakOffset, 200);
  for (int column : {30, 229, 230, 231, 550}) {
    EXPECT_EQ(back.ColumnToWavenumber(column), f.ColumnToWavenumber(column));
  }
  EXPECT_EQ(back.XToColumn(1234.5), f.XToColumn(1234.5));
}

// A weak spectrum between 95.3 and 99.8 %T on the fitted axis 95-100: the
// 100 px frame height spans 5 %T.
TEST(PlotFrame, FittedOrdinateMapsItsRangeOntoTheFrame) {
  PlotFrame f = ScreenFrame(553, 143, 4000, 400);  // bottom 115, top 15
  f.FitOrdinate(FitOrdinateRange(95.3, 99.8));
  struct Case {
    double t;
    int row, traceRow;
  } cases[] = {
      {0.95, 115, 115}, {1.0, 15, 15},   {0.975, 65, 65},
      {1.02, -25, 15},  {0.9, 215, 115},  // the trace stays on the frame
      {NAN, 115, 115},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(f.TToRow(c.t), c.row) << c.t;
    EXPECT_EQ(f.TraceRow(c.t), c.traceRow) << c.t;
  }
  EXPECT_NEAR(f.RowToT(65), 0.975, 1e-12);
  EXPECT_NEAR(f.RowToT(215), 0.9, 1e-12);

  std::vector<TransmittanceTick> ticks = TransmittanceTicks(f);
  ASSERT_EQ(ticks.size(), 11u);
  for (int i = 0; i <= 10; ++i) {
    EXPECT_EQ(ticks[i].row, 115 - 10 * i) << i;
    EXPECT_EQ(ticks[i].text, i % 2 ? "" : std::to_string(95 + i / 2)) << i;
  }
  EXPECT_EQ(GridRows(f), (std::vector<int>{105, 95, 85, 75, 65, 55, 45, 35, 25}));
}

TEST(PlotFrame, FittedRangeOfThePlottedPoints) {
  const float t[] = {0.2f, 0.953f, NAN, 0.998f, INFINITY, -INFINITY, 0.5f};
  struct Case {
    const char* name;
    int first, last;
    double low, high;
  } cases[] = {
      // Values that are not finite are left out.
      {"inner points", 1, 5, 95, 100},
      // The points outside first .. last do not count.
      {"all points", 0, 6, 20, 100},
      {"only NaN", 2, 2, 0, 100},
      {"none", 3, 2, 0, 100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    OrdinateRange r = FitTransmittanceRange(t, c.first, c.last);
    EXPECT_NEAR(r.low, c.low, 1e-9);
    EXPECT_NEAR(r.high, c.high, 1e-9);
  }
}

// 4000 to 400 1/cm, 10 1/cm apart, shown from point 100 (3000) to point 300
// (1000): one 1/cm above 2000 takes 520 / 3000 px.
TEST(PlotFrame, ShownRangeSpansTheFrame) {
  PlotFrame f = ScreenFrame(553, 143, 4000, 400, 10);
  f.ShowRange(3000, 1000);
  EXPECT_TRUE(f.Zoomed);
  EXPECT_EQ(f.XToColumn(3000), 30);
  EXPECT_EQ(f.XToColumn(2000), 203);
  EXPECT_EQ(f.XToColumn(1000), 550);
  EXPECT_EQ(f.ColumnToWavenumber(30), 3000);
  EXPECT_EQ(f.ColumnToWavenumber(550), 1000);
  // The points keep their abscissae.
  EXPECT_EQ(f.WavenumberToIndex(3000), 100);
  EXPECT_DOUBLE_EQ(f.PointX(300), 1000);
  EXPECT_TRUE(f.ShowsWavenumber(1000));
  EXPECT_FALSE(f.ShowsWavenumber(3010));
  EXPECT_FALSE(f.ShowsWavenumber(990));
  // The ticks of the shown range only: 3000 down to 1000.
  std::vector<WavenumberTick> ticks = WavenumberTicks(f);
  ASSERT_EQ(ticks.size(), 21u);
  EXPECT_EQ(ticks.front().wavenumber, 3000);
  EXPECT_EQ(ticks.front().column, 30);
  EXPECT_EQ(ticks.back().column, 550);

  // The trace of the shown points runs from edge to edge.
  std::vector<float> t(361, 0.5f);
  std::vector<PlotPoint> v = TraceVertices(f, t.data(), 300, 100);
  ASSERT_FALSE(v.empty());
  EXPECT_EQ(v.front(), (PlotPoint{30, 65}));
  EXPECT_EQ(v.back(), (PlotPoint{550, 65}));
}

TEST(PlotFrame, ViewStateKeepsTheShownRangeAndOrdinate) {
  PlotFrame f = ScreenFrame(553, 143, 4000, 400, 10);
  f.ShowRange(3000, 1000);
  f.FitOrdinate(FitOrdinateRange(95.3, 99.8));
  ViewState view;
  f.CopyTo(view);
  view.ZoomFirst = 100;
  view.ZoomLast = 300;
  Spectrum s;
  s.XStart = 4000;
  s.XEnd = 400;
  s.XStep = 10;
  PlotFrame back = PlotFrame::FromViewState(view, s);
  for (int column : {30, 202, 203, 204, 550}) {
    EXPECT_EQ(back.ColumnToWavenumber(column), f.ColumnToWavenumber(column)) << column;
  }
  for (double t : {0.95, 0.97, 1.0}) EXPECT_EQ(back.TToRow(t), f.TToRow(t)) << t;
  EXPECT_EQ(back.WavenumberToIndex(1000), 300);
}

}  // namespace
}  // namespace tesvar
