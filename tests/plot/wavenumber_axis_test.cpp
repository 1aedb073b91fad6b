#include "plot/wavenumber_axis.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/number_text.h"
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

TEST(WavenumberAxis, TicksMarkEveryHundredByOneRule) {
  // One row a tick: wavenumber, then major / grid / unit as "M", "G", "U".
  struct Case {
    double start, end;
    std::vector<std::string> ticks;
  } cases[] = {
      {2650,
       1349.6,  // Round(2650) div 100 = 26 down to Round(1448.6) div 100 = 14
       {"2600 ", "2500 MG", "2400 ", "2300 ", "2200 ", "2100 ", "2000 MG", "1900 G", "1800 GU",
        "1700 G", "1600 G", "1500 MG", "1400 G"}},
      {750, 449.5, {"700 G", "600 G", "500 MG"}},  // Round(548.5) = 548: down to 500
      {99, -201, {"0 MG", "-100 G"}},              // hundreds below zero are ticks too
      {4000, 4099, {}},                            // XEnd above XStart: none
      {1e12, -1e12, {}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> got;
    for (const AxisTick& t : WavenumberAxis(c.start, c.end, 1000).Ticks()) {
      got.push_back(std::to_string(t.wavenumber) + " " + (t.major ? "M" : "") +
                    (t.grid ? "G" : "") + (t.unit ? "U" : ""));
      EXPECT_EQ(t.text, t.major ? PadLeft(std::to_string(t.wavenumber), 4) : "");
    }
    EXPECT_EQ(got, c.ticks) << c.start << " " << c.end;
  }
  EXPECT_EQ(WavenumberAxis(4000, 450, 1).Ticks().back().text, " 500");
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
