#include "plot/wavenumber_axis.h"

#include <gtest/gtest.h>

#include "plot/peak_labels.h"

namespace tesvar {
namespace {

TEST(WavenumberAxis, TwoScaleFrom4000To400) {
  WavenumberAxis axis(4000, 400, 5200);
  EXPECT_TRUE(axis.TwoScale());
  EXPECT_DOUBLE_EQ(axis.Span(), 5200);
  EXPECT_DOUBLE_EQ(axis.ScaleHigh(), 1);
  EXPECT_DOUBLE_EQ(axis.ScaleLow(), 2);
  EXPECT_EQ(axis.BreakOffset(), 2000);
  EXPECT_DOUBLE_EQ(axis.Offset(4000), 0);
  EXPECT_DOUBLE_EQ(axis.Offset(2000), 2000);
  EXPECT_DOUBLE_EQ(axis.Offset(1000), 4000);
  EXPECT_DOUBLE_EQ(axis.Offset(400), 5200);
  EXPECT_DOUBLE_EQ(axis.WavenumberAt(2000), 2000);  // the break uses the upper formula
  EXPECT_DOUBLE_EQ(axis.WavenumberAt(2001), 2000);  // 1999.5 rounds to even
  EXPECT_DOUBLE_EQ(axis.WavenumberAt(2002), 1999);
  EXPECT_EQ(axis.TickHigh(), 40);
  EXPECT_EQ(axis.TickLow(), 4);
}

TEST(WavenumberAxis, FractionalStartKeepsItsFractionAboveTheBreak) {
  WavenumberAxis axis(3999.6, 450, 5199.2);  // W = 1999.6 + 3100
  EXPECT_TRUE(axis.TwoScale());
  EXPECT_DOUBLE_EQ(axis.WavenumberAt(10), 3999.6 - 10);
  EXPECT_EQ(axis.TickLow(), 5);  // Round(549) div 100
}

TEST(WavenumberAxis, RangesWithoutTheBreakAreLinear) {
  struct Case {
    double start, end;
  } cases[] = {{4000, 2500}, {1800, 400}, {2500, 2001}};
  for (const auto& c : cases) {
    WavenumberAxis axis(c.start, c.end, 1000);
    EXPECT_FALSE(axis.TwoScale());
    EXPECT_DOUBLE_EQ(axis.Offset(c.start), 0);
    EXPECT_NEAR(axis.Offset(c.end), 1000, 1e-9);
    EXPECT_NEAR(axis.Offset((c.start + c.end) / 2), 500, 1e-9);
    EXPECT_EQ(axis.BreakOffset(), 1000);
    EXPECT_DOUBLE_EQ(axis.WavenumberAt(0), c.start);
    EXPECT_DOUBLE_EQ(axis.WavenumberAt(1000), c.start - (c.start - c.end));
  }
  // The break exactly at an end keeps the two scales.
  EXPECT_TRUE(WavenumberAxis(2000, 400, 100).TwoScale());
  EXPECT_TRUE(WavenumberAxis(4000, 2000, 100).TwoScale());
}

TEST(WavenumberAxis, AbsurdRangesHaveNoTicks) {
  WavenumberAxis huge(1e12, -1e12, 1000);
  EXPECT_GT(huge.TickLow(), huge.TickHigh());
  WavenumberAxis wide(500000, 0, 1000);  // 5000 hundreds: still none
  EXPECT_GT(wide.TickLow(), wide.TickHigh());
  WavenumberAxis ok(499000, 0, 1000);
  EXPECT_EQ(ok.TickHigh(), 4990);
  EXPECT_EQ(ok.TickLow(), 0);
}

TEST(LabelList, OrderedInsertionAndLimit) {
  LabelList list;
  for (double x : {1715.0, 2925.3, 1450.6, 1715.0}) {
    PeakLabel l;
    l.X = x;
    l.Kind = x == 1715.0 && list.Count() == 3 ? 3 : 0;
    EXPECT_TRUE(list.Insert(l));
  }
  ASSERT_EQ(list.Count(), 4);
  EXPECT_EQ(list[0].X, 2925.3);
  EXPECT_EQ(list[1].X, 1715.0);
  EXPECT_EQ(list[2].Kind, 3);  // an equal X goes after the existing one
  EXPECT_EQ(list[3].X, 1450.6);
  EXPECT_EQ(list.PeakListText(), "2925, 1715, 1715, 1451");
  for (int i = list.Count(); i < kMaxLabels; ++i) EXPECT_TRUE(list.Insert(PeakLabel{}));
  EXPECT_FALSE(list.Insert(PeakLabel{}));
  EXPECT_EQ(list.Count(), kMaxLabels);
}

TEST(LabelList, PeakListTextRoundsTiesToEven) {
  LabelList list;
  EXPECT_EQ(list.PeakListText(), "");
  list.Insert(PeakLabel{1451.5, 0, 0});
  list.Insert(PeakLabel{1450.5, 0, 0});
  list.Insert(PeakLabel{-3.5, 0, 0});
  EXPECT_EQ(list.PeakListText(), "1452, 1450, -4");
}

}  // namespace
}  // namespace tesvar
