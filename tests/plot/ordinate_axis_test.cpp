#include "plot/ordinate_axis.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tesvar {
namespace {

// The numbered ticks from the bottom, "." for a tick without a number.
std::string Texts(const OrdinateRange& r) {
  std::string all;
  for (int i = 0; i < r.TickCount(); ++i) {
    const std::string text = r.TickText(i);
    all += (all.empty() ? "" : " ") + (text.empty() ? std::string(".") : text);
  }
  return all;
}

TEST(FitOrdinateRange, RangesTicksAndNumbers) {
  struct Case {
    const char* name;
    double min, max;
    double low, high, tickStep;
    const char* texts;
  } cases[] = {
      // The whole 0-100 range comes out as the fixed axis.
      {"0 to 100", 0, 100, 0, 100, 10, "0 . 20 . 40 . 60 . 80 . 100"},
      // A weak spectrum: half-percent ticks, a number at every percent.
      {"weak, 95.3 to 99.8", 95.3, 99.8, 95, 100, 0.5, "95 . 96 . 97 . 98 . 99 . 100"},
      // Files converted from other instruments hold values above 100 %T.
      {"above 100", 3, 102, 0, 110, 10, "0 . 20 . 40 . 60 . 80 . 100 ."},
      {"just above 100", 99.2, 101.7, 99, 101.75, 0.25,
       "99.0 . 99.5 . 100.0 . 100.5 . 101.0 . 101.5 ."},
      {"below zero", -3, 40, -5, 40, 5, ". 0 . 10 . 20 . 30 . 40"},
      // A value a conversion left a hair off a tick gets no tick of its own.
      {"on a tick but for rounding", 95.00000001, 99.99999999, 95, 100, 0.5,
       "95 . 96 . 97 . 98 . 99 . 100"},
      {"narrow", 42.11, 42.17, 42.11, 42.17, 0.005,
       "42.11 . 42.12 . 42.13 . 42.14 . 42.15 . 42.16 . 42.17"},
      // A flat spectrum is shown in a band a tenth of its value wide.
      {"flat at 50", 50, 50, 47.5, 52.5, 0.5, ". 48 . 49 . 50 . 51 . 52 ."},
      {"flat at 0", 0, 0, -0.5, 0.5, 0.1, ". -0.4 . -0.2 . 0.0 . 0.2 . 0.4 ."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const OrdinateRange r = FitOrdinateRange(c.min, c.max);
    EXPECT_NEAR(r.low, c.low, 1e-9);
    EXPECT_NEAR(r.high, c.high, 1e-9);
    EXPECT_NEAR(r.tickStep, c.tickStep, 1e-12);
    EXPECT_NEAR(r.labelStep, 2 * c.tickStep, 1e-12);
    EXPECT_EQ(Texts(r), c.texts);
    // Never an empty range, both ends on ticks, the data inside.
    EXPECT_LT(r.low, r.high);
    EXPECT_NEAR(r.TickValue(0), r.low, 1e-9);
    EXPECT_NEAR(r.TickValue(r.TickCount() - 1), r.high, 1e-9);
    EXPECT_LE(r.low, c.min + 1e-6);
    EXPECT_GE(r.high, c.max - 1e-6);
  }
}

// About as many ticks as the fixed axis's eleven, whatever the span.
TEST(FitOrdinateRange, TickCountStaysNearTheFixedAxis) {
  for (double span : {1e-4, 0.03, 0.7, 1.0, 1.5, 3.2, 7.1, 13.0, 29.0, 64.0, 140.0, 1e4}) {
    for (double min : {-20.0, 0.0, 37.3, 95.0}) {
      SCOPED_TRACE(std::to_string(min) + " + " + std::to_string(span));
      const int count = FitOrdinateRange(min, min + span).TickCount();
      EXPECT_GE(count, 6);
      EXPECT_LE(count, 17);
    }
  }
}

}  // namespace
}  // namespace tesvar
