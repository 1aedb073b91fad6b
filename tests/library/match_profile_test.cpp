#include "library/match_profile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "core/spectrum.h"

namespace tesvar {
namespace {

struct Band {
  double centre, height, width;
};

// Absorbance bands (Gaussian) plus `offset` and a baseline sloping by
// `slope` per 1000 1/cm, all times `scale`, sampled from high down to low
// every `step`.
Spectrum Sampled(const std::vector<Band>& bands, double high, double low, double step,
                 double scale = 1, double offset = 0, double slope = 0) {
  Spectrum s;
  const int n = static_cast<int>(std::lround((high - low) / step)) + 1;
  s.XStart = high;
  s.XStep = step;
  s.LastIndex = n - 1;
  s.NPoints = n;
  s.XEnd = s.PointX(n - 1);
  for (int i = 0; i < n; ++i) {
    const double x = s.PointX(i);
    double a = offset + slope * (x - low) / 1000;
    for (const Band& b : bands) a += b.height * std::exp(-std::pow((x - b.centre) / b.width, 2));
    s.TransY[i] = static_cast<float>(std::pow(10.0, -scale * a));
  }
  return s;
}

const std::vector<Band> kPolymer = {{2920, 0.8, 20}, {2850, 0.5, 15}, {1730, 1.2, 12},
                                    {1460, 0.4, 10}, {1240, 0.6, 25}, {720, 0.3, 8}};
const std::vector<Band> kOther = {
    {3300, 0.9, 80}, {1650, 1.0, 30}, {1550, 0.7, 25}, {1050, 0.8, 40}};

double Quality(const Spectrum& query, const Spectrum& member) {
  return HitQuality(MakeMatchProfile(query), MakeMatchProfile(member));
}

TEST(MatchProfile, GridAndRange) {
  // 4000 .. 400 1/cm: grid points 4250 .. 6050, less 4 at each end for the
  // derivative's window.
  const MatchProfile p = MakeMatchProfile(Sampled(kPolymer, 4000, 400, 1));
  EXPECT_EQ(p.first, 4254);
  EXPECT_EQ(p.Last(), 6046);
  // An ascending spectrum covers the same grid points.
  Spectrum ascending = Sampled(kPolymer, 4000, 400, 1);
  const int n = ascending.LastIndex + 1;
  for (int i = 0; i < n / 2; ++i) std::swap(ascending.TransY[i], ascending.TransY[n - 1 - i]);
  ascending.XStart = 400;
  ascending.XStep = -1;
  const MatchProfile q = MakeMatchProfile(ascending);
  EXPECT_EQ(q.first, p.first);
  EXPECT_EQ(q.values, p.values);
  // Too short for the window, or no spacing at all: nothing to match.
  EXPECT_TRUE(MakeMatchProfile(Sampled(kPolymer, 1000, 986, 1)).Empty());
  Spectrum flat = Sampled(kPolymer, 4000, 400, 1);
  flat.XStep = 0;
  EXPECT_TRUE(MakeMatchProfile(flat).Empty());
}

// The score's properties, each over the polymer spectrum as the query.
TEST(HitQuality, Properties) {
  const Spectrum query = Sampled(kPolymer, 4000, 400, 1);
  const struct {
    const char* what;
    Spectrum member;
    double low, high;  // the hit quality lies in [low, high]
  } cases[] = {
      {"itself", query, 100, 100},
      {"a constant absorbance offset", Sampled(kPolymer, 4000, 400, 1, 1, 0.3), 99.9, 100},
      // Up to A = 2: beyond it transmittance is clamped.
      {"half again the path length", Sampled(kPolymer, 4000, 400, 1, 1.5), 99.9, 100},
      {"a saturated band", Sampled(kPolymer, 4000, 400, 1, 2), 99.0, 100},
      {"a sloping baseline", Sampled(kPolymer, 4000, 400, 1, 1, 0, 0.05), 99.0, 100},
      {"resampled every 4 1/cm", Sampled(kPolymer, 3998, 402, 4), 99.0, 100},
      {"finer, every 0.5 1/cm", Sampled(kPolymer, 4000, 400, 0.5), 99.5, 100},
      {"another substance", Sampled(kOther, 4000, 400, 1), 0, 30},
      {"two thirds of the range", Sampled(kPolymer, 4000, 1600, 1), 99.0, 100},
      // The near infrared adds grid points the query does not hold.
      {"wider than the query", Sampled(kPolymer, 7000, 400, 2), 99.0, 100},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const double q = Quality(query, c.member);
    EXPECT_GE(q, c.low - 1e-9);
    EXPECT_LE(q, c.high + 1e-9);
  }
  // Identity to the last digit, and symmetry over a shared range.
  EXPECT_NEAR(Quality(query, query), 100, 1e-9);
  const Spectrum other = Sampled(kOther, 4000, 400, 1);
  EXPECT_DOUBLE_EQ(Quality(query, other), Quality(other, query));
}

TEST(HitQuality, MembersThatAreNotScored) {
  const Spectrum query = Sampled(kPolymer, 4000, 400, 1);
  // Less than half of the query's 3600 1/cm: 4000 .. 2500 shares 1500.
  EXPECT_LT(Quality(query, Sampled(kPolymer, 4000, 2500, 1)), 0);
  // No shared range at all.
  EXPECT_LT(Quality(query, Sampled(kPolymer, 12000, 5000, 4)), 0);
  // A flat member has no shape to correlate.
  EXPECT_LT(Quality(query, Sampled({}, 4000, 400, 1)), 0);
  EXPECT_LT(HitQuality(MatchProfile(), MakeMatchProfile(query)), 0);
  // Anticorrelated shapes score 0, not below.
  MatchProfile negated = MakeMatchProfile(query);
  for (int16_t& v : negated.values) v = static_cast<int16_t>(-v);
  EXPECT_EQ(HitQuality(MakeMatchProfile(query), negated), 0);
}

// Transmittance at or below the floor (a saturated band, a baseline
// corrected below zero) and NaN give finite values.
TEST(MatchProfile, SaturatedAndBrokenPointsStayFinite) {
  Spectrum s = Sampled(kPolymer, 4000, 400, 1);
  s.TransY[1000] = 0;
  s.TransY[1001] = -0.2f;
  s.TransY[1002] = NAN;
  const MatchProfile p = MakeMatchProfile(s);
  ASSERT_FALSE(p.Empty());
  EXPECT_GT(HitQuality(p, MakeMatchProfile(Sampled(kPolymer, 4000, 400, 1))), 50);
}

}  // namespace
}  // namespace tesvar
