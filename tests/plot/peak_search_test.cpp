#include "plot/peak_search.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "core/spectrum.h"

namespace tesvar {
namespace {

// A spectrum of lastIndex + 1 points at 0.5 with one band at `at`: the point
// k places left of it lies left[k-1] higher, k places right right[k-1]
// higher, and points beyond the lists keep the last rise. The values rise
// monotonically away from the band, so no other point can match a pattern.
struct Band {
  int at;
  std::vector<double> left, right;
};

std::vector<float> WithBands(int lastIndex, const std::vector<Band>& bands) {
  std::vector<float> t(lastIndex + 1, 0.9f);
  for (const Band& b : bands) {
    for (int i = 0; i <= lastIndex; ++i) {
      int k = std::abs(i - b.at);
      const std::vector<double>& side = i < b.at ? b.left : b.right;
      double rise = k == 0 ? 0 : side[std::min<std::size_t>(k, side.size()) - 1];
      t[i] = std::min(t[i], static_cast<float>(0.5 + rise));
    }
  }
  return t;
}

// A broad band: the rises of the 5 nearest points, then linear to `far` at
// 30 points.
std::vector<double> Broad(std::vector<double> near = {0.0001, 0.0002, 0.0003, 0.0004, 0.0005},
                          double far = 0.025) {
  for (int k = 6; k <= 30; ++k) near.push_back(near[4] + (far - near[4]) * (k - 5) / 25);
  return near;
}

const std::vector<double> kA3{0.001, 0.015, 0.025};        // rises for pattern A's left side
const std::vector<double> kA2{0.001, 0.015, 0.015, 0.03};  // right: no third rise for B
const std::vector<double> kB2{0.001, 0.015, 0.015};
const std::vector<double> kB3{0.001, 0.015, 0.025};

constexpr PeakDirection R = PeakDirection::kRight;
constexpr PeakDirection L = PeakDirection::kLeft;

// clang-format off
TEST(FindPeak, Patterns) {
  struct Case {
    const char* name;
    int lastIndex;
    Band band;
    int from;
    PeakDirection dir;
    int expected;  // == from: not found
  } cases[] = {
    {"A alone", 40, {20, kA3, kA2}, 10, R, 20},
    {"A needs the third left rise", 40, {20, {0.001, 0.015, 0.0199}, kA2}, 10, R, 10},
    {"A: right neighbour just high enough", 40, {20, kA3, {0.00006, 0.015}}, 10, R, 20},
    {"A: right neighbour too close", 40, {20, kA3, {0.00004, 0.015}}, 10, R, 10},
    {"A: second right rise just above", 40, {20, kA3, {0.001, 0.0101}}, 10, R, 20},
    {"A: second right rise just below", 40, {20, kA3, {0.001, 0.0099}}, 10, R, 10},
    {"B alone", 40, {20, kB2, kB3}, 10, R, 20},
    {"B needs the third right rise", 40, {20, kB2, {0.001, 0.015, 0.0199}}, 10, R, 10},
    {"B: second left rise just below", 40, {20, {0.001, 0.0099}, kB3}, 10, R, 10},
    {"C alone", 100, {50, Broad(), Broad()}, 10, R, 50},
    // Each of the 5 nearest rises must exceed k x 0.00005.
    {"C: 5th rise just above", 100, {50, Broad({6e-5, 12e-5, 18e-5, 24e-5, 25.5e-5}), Broad()}, 90, L, 50},
    {"C: 5th rise just below", 100, {50, Broad({6e-5, 12e-5, 18e-5, 24e-5, 24.5e-5}), Broad()}, 90, L, 90},
    {"C: first rise just below", 100, {50, Broad(), Broad({4.9e-5, 2e-4, 3e-4, 4e-4, 5e-4})}, 10, R, 10},
    {"C: too shallow at 30 points", 100, {50, Broad({1e-4, 2e-4, 3e-4, 4e-4, 5e-4}, 0.0199), Broad()}, 10, R, 10},
    {"C at 31", 100, {31, Broad(), Broad()}, 0, R, 31},
    {"C not at 30", 100, {30, Broad(), Broad()}, 0, R, 0},
    {"C at N - 31", 100, {69, Broad(), Broad()}, 100, L, 69},
    {"C not at N - 30", 100, {70, Broad(), Broad()}, 100, L, 100},
  };
  for (const Case& c : cases) {
    std::vector<float> t = WithBands(c.lastIndex, {c.band});
    int index = c.from;
    FindPeak(t.data(), c.lastIndex, 1.0, index, c.dir);
    EXPECT_EQ(index, c.expected) << c.name;
  }
}

TEST(FindPeak, ScanBoundsAndFirstMatch) {
  struct Case {
    const char* name;
    int lastIndex;
    std::vector<int> bands;  // pattern A; at N - 3 pattern B, which reads the last point
    int from;
    PeakDirection dir;
    int expected;
  } cases[] = {
    {"4 is the first candidate from the start", 20, {4}, 0, R, 4},
    {"3 is never reached going left", 20, {3}, 10, L, 10},
    {"3 is tested as the first candidate", 20, {3}, 4, L, 3},
    {"N - 3 is never reached going right", 20, {17}, 10, R, 10},
    {"N - 3 is tested as the first candidate", 20, {17}, 16, R, 17},
    {"from the end, N - 4 comes first", 20, {16}, 20, L, 16},
    {"from the end, N - 3 is skipped", 20, {17}, 20, L, 20},
    {"no search right from N - 3", 20, {17}, 17, R, 17},
    {"no search left from 3", 20, {3}, 3, L, 3},
    {"nearest band going right", 25, {8, 16}, 12, R, 16},
    {"nearest band going left", 25, {8, 16}, 12, L, 8},
    {"first band from the start", 25, {8, 16}, 0, R, 8},
    {"first band from the end", 25, {8, 16}, 25, L, 16},
    {"8 points: a band at 4 is found", 7, {4}, 0, R, 4},
    {"8 points: a band at 3 is found from the end", 7, {3}, 7, L, 3},
    {"7 points: nothing to the right", 6, {4}, 0, R, 0},
    {"7 points: nothing to the left", 6, {3}, 6, L, 6},
  };
  for (const Case& c : cases) {
    std::vector<Band> bands;
    for (int at : c.bands) {
      bands.push_back(at == c.lastIndex - 3 ? Band{at, kB2, kB3} : Band{at, kA3, kA2});
    }
    std::vector<float> t = WithBands(c.lastIndex, bands);
    int index = c.from;
    FindPeak(t.data(), c.lastIndex, 1.0, index, c.dir);
    EXPECT_EQ(index, c.expected) << c.name;
  }
}
// clang-format on

TEST(FindPeak, NoiseBelowTheFirstThresholdIsNoBand) {
  // Alternating steps of 0.00004 on a slow ramp down and up again.
  std::vector<float> t(201);
  for (int i = 0; i <= 200; ++i) t[i] = 0.5f + 0.00004f * (i % 2) + 0.00001f * std::abs(i - 100);
  for (auto dir : {PeakDirection::kLeft, PeakDirection::kRight}) {
    int index = 100;
    FindPeak(t.data(), 200, 1.0, index, dir);
    EXPECT_EQ(index, 100);
  }
}

TEST(BandStride, WholePointsPerWavenumber) {
  struct Case {
    double xStep;
    int stride;
  } cases[] = {
      {4, 1},
      {2, 1},
      {1, 1},
      {0.9644, 1},
      {0.7, 1},
      // 1.5 points per 1/cm is a tie: spectra at 2/3 1/cm keep stride 1,
      // whether the step was worked out in double or stored as a float.
      {2.0 / 3, 1},
      {3600.0 / 5400, 1},
      {static_cast<float>(2.0 / 3), 1},
      {0.666, 2},
      {0.6, 2},
      {0.5, 2},
      {0.4822, 2},
      {-0.5, 2},
      {0.4, 2},  // 2.5: the tie again goes to the smaller stride
      {0.3, 3},
      {0.25, 4},
      {0.2411, 4},
      {0.125, 8},
      // No usable spacing: the plain pattern test.
      {0, 1},
      {NAN, 1},
      {INFINITY, 1},
  };
  for (const Case& c : cases) EXPECT_EQ(BandStride(c.xStep), c.stride) << c.xStep;
  EXPECT_GT(BandStride(1e-300), 100000);  // capped, not overflowed
}

// A transmittance spectrum from `from` down to `to` 1/cm in `points`
// points with Lorentzian bands (half width 10 1/cm, in absorbance) whose
// lowest transmittances are 50, 30 and 60 %T at 2900, 1700 and 1100 1/cm.
Spectrum ThreeBands(double from, double to, int points) {
  Spectrum s;
  s.XStart = from;
  s.XEnd = to;
  s.LastIndex = points - 1;
  s.XStep = (from - to) / (points - 1);
  const double bands[][2] = {{2900, 0.5}, {1700, 0.3}, {1100, 0.6}};
  for (int i = 0; i < points; ++i) {
    double absorbance = 0;
    for (const auto& b : bands) {
      const double u = (s.PointX(i) - b[0]) / 10;
      absorbance += -std::log10(b[1]) / (1 + u * u);
    }
    s.TransY[i] = static_cast<float>(std::pow(10.0, -absorbance));
  }
  return s;
}

// Every band going right from the start, as the band list collects them.
std::vector<double> BandsFound(const Spectrum& s, double xStep) {
  std::vector<double> xs;
  int index = 0;
  for (;;) {
    const int from = index;
    FindPeak(s.TransY.data(), s.LastIndex, xStep, index, R);
    if (index == from) return xs;
    xs.push_back(s.PointX(index));
  }
}

TEST(FindPeak, FinelySampledBandsAreFound) {
  // 16000 points from 4000 to 400 1/cm, 0.225 1/cm apart: the pattern test
  // at neighbouring points sees only the strongest band.
  const Spectrum s = ThreeBands(4000, 400, 16000);
  const std::vector<double> plain = BandsFound(s, 1.0);
  ASSERT_EQ(plain.size(), 1u);
  EXPECT_NEAR(plain[0], 1100, s.XStep / 2);
  const std::vector<double> xs = BandsFound(s, s.XStep);
  ASSERT_EQ(xs.size(), 3u);
  const double expected[] = {2900, 1700, 1100};
  for (int k = 0; k < 3; ++k) EXPECT_NEAR(xs[k], expected[k], s.XStep / 2) << k;
}

TEST(FindPeak, SameBandsAtEveryPointSpacing) {
  // 2960 to 1040 1/cm holds the three bands on each grid, and 0.125 1/cm
  // still within the record's 16000 points.
  for (double step : {2.0, 1.0, 0.5, 0.25, 0.125}) {
    const int points = static_cast<int>(std::lround(1920 / step)) + 1;
    const Spectrum s = ThreeBands(2960, 1040, points);
    EXPECT_EQ(BandsFound(s, s.XStep), (std::vector<double>{2900, 1700, 1100})) << step;
    // Going left from the end finds the same bands in reverse order.
    std::vector<double> left;
    for (int index = s.LastIndex;;) {
      const int from = index;
      FindPeak(s.TransY.data(), s.LastIndex, s.XStep, index, L);
      if (index == from) break;
      left.push_back(s.PointX(index));
    }
    EXPECT_EQ(left, (std::vector<double>{1100, 1700, 2900})) << step;
    // The cursor buttons search the same way.
    EXPECT_EQ(PeakJumpTarget(s, 0, R).cursorX, 2900) << step;
  }
}

// Pattern A over strides of 2 points (0.5 1/cm): the rises at 2, 4, 6
// points are kA3's, at 2 and 4 points kA2's. The band is found once, at its
// lowest point, though a point beside it may match the pattern too.
TEST(FindPeak, StridesFindABandOnceAtItsLowestPoint) {
  const std::vector<double> left{0.0003, 0.001, 0.008, 0.015, 0.02, 0.025};
  const std::vector<double> right{0.0001, 0.001, 0.012, 0.015, 0.015, 0.015, 0.02, 0.03};
  struct Case {
    const char* name;
    std::vector<double> left;
    std::vector<double> right;
  } cases[] = {
      {"one lowest point", left, right},
      {"flat bottom of two points", left, {0, 0.001, 0.012, 0.015, 0.015, 0.015, 0.02, 0.03}},
      // Point 19 matches pattern A in strides of 2, but 20 lies lower.
      {"shallow shoulder before it", {0.00003, 0.001, 0.008, 0.015, 0.02, 0.025}, right},
  };
  for (const Case& c : cases) {
    std::vector<float> t = WithBands(60, {{20, c.left, c.right}});
    for (auto [from, dir] : {std::pair{0, R}, std::pair{60, L}}) {
      int index = from;
      FindPeak(t.data(), 60, 0.5, index, dir);
      EXPECT_EQ(index, 20) << c.name << " from " << from;
      FindPeak(t.data(), 60, 0.5, index, dir);
      EXPECT_EQ(index, 20) << c.name << ": found twice from " << from;
    }
  }
  // At stride 1 the shoulder is a band of its own, found first going right.
  std::vector<float> t = WithBands(60, {{20, cases[2].left, right}});
  int index = 0;
  FindPeak(t.data(), 60, 1.0, index, R);
  EXPECT_NE(index, 20);
}

TEST(PeakJumpTarget, EndsOfTheSpectrum) {
  Spectrum s;
  s.XStart = 4000;
  s.XStep = 1;
  s.LastIndex = 40;
  s.XEnd = 3960;
  std::vector<float> t = WithBands(40, {{20, kA3, kA2}});
  std::copy(t.begin(), t.end(), s.TransY.begin());
  struct Case {
    int from;
    PeakDirection dir;
    int index;
    double x;
  } cases[] = {
      {0, PeakDirection::kRight, 20, 3980},  {20, PeakDirection::kRight, 40, 3960},
      {40, PeakDirection::kRight, 40, 3960}, {40, PeakDirection::kLeft, 20, 3980},
      {20, PeakDirection::kLeft, 0, 4000},   {0, PeakDirection::kLeft, 0, 4000},
  };
  for (const Case& c : cases) {
    PeakJump jump = PeakJumpTarget(s, c.from, c.dir);
    EXPECT_EQ(jump.index, c.index) << c.from;
    EXPECT_DOUBLE_EQ(jump.cursorX, c.x) << c.from;
  }
  // A header whose XEnd disagrees with the step keeps the cursor inside it.
  s.XEnd = 3960.5;
  EXPECT_DOUBLE_EQ(PeakJumpTarget(s, 20, PeakDirection::kRight).cursorX, 3960.5);
  // Fewer than 8 points: straight to the end.
  s.LastIndex = 6;
  EXPECT_EQ(PeakJumpTarget(s, 0, PeakDirection::kRight).index, 6);
  EXPECT_EQ(PeakJumpTarget(s, 6, PeakDirection::kLeft).index, 0);
}

}  // namespace
}  // namespace tesvar
