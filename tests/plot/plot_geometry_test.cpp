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

}  // namespace
}  // namespace tesvar
