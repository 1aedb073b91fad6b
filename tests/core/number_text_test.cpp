#include "core/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace tesvar {
namespace {

TEST(RoundHalfEven, TiesGoToEven) {
  struct Case {
    double in;
    int64_t out;
  } cases[] = {{0.5, 0},       {1.5, 2},       {2.5, 2},       {-0.5, 0},    {-1.5, -2},
               {-2.5, -2},     {1450.5, 1450}, {1451.5, 1452}, {0.49999, 0}, {2.50001, 3},
               {-2.50001, -3}, {3.0, 3},       {-7.0, -7}};
  for (const auto& c : cases) EXPECT_EQ(RoundHalfEven(c.in), c.out) << c.in;
}

TEST(RoundHalfEven, ClampsAndNaN) {
  EXPECT_EQ(RoundHalfEven(std::nan("")), 0);
  EXPECT_EQ(RoundToInt32(1e12), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(RoundToInt32(-1e12), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(RoundToInt32(-4194.304), -4194);
}

TEST(RoundToInt32Inline, AgreesWithRoundToInt32) {
  const double inf = std::numeric_limits<double>::infinity();
  const double cases[] = {
      // Halves, both signs, and the largest double below a half.
      0.0, -0.0, 0.5, 1.5, 2.5, -0.5, -1.5, -2.5, 0.49999999999999994, -0.49999999999999994,
      // Ordinates as the readers and writers scale them.
      4194304.0 * 0.123456789, -4194.304, 99999.5, 100000.5,
      // Near the ends of the int32 range, where the fast path stops.
      2147483646.4, 2147483646.5, 2147483646.6, 2147483647.0, 2147483647.5, 2147483648.0,
      -2147483646.5, -2147483647.0, -2147483647.5, -2147483648.0, -2147483648.5, -2147483649.0,
      1e12, -1e12, inf, -inf, std::nan("")};
  for (double v : cases) EXPECT_EQ(RoundToInt32Inline(v), RoundToInt32(v)) << v;
  // Every whole and half number within +-2^20 and the quarters between them;
  // quarters, halves and wholes spread out to just beyond +-2^31.
  for (int i = -(1 << 21); i <= (1 << 21); ++i) {
    for (double v : {i * 0.5, i * 0.5 + 0.25, i * 1024.25}) {
      ASSERT_EQ(RoundToInt32Inline(v), RoundToInt32(v)) << v;
    }
  }
}

TEST(RoundHalfAway, HalvesGoAwayFromZeroAndAgreeWithFormatFixed) {
  struct Case {
    double in;
    int64_t out;
  } cases[] = {{0.5, 1},
               {1.5, 2},
               {2.5, 3},
               {-0.5, -1},
               {-2.5, -3},
               {-0.3, 0},
               {1002.5, 1003},
               {4461.538, 4462},
               {2.4999999999999996, 2},
               {-1e300, std::numeric_limits<int64_t>::min()},
               {std::nan(""), 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(RoundHalfAway(c.in), c.out) << c.in;
    if (std::isfinite(c.in) && std::fabs(c.in) < 1e15 && c.out != 0) {
      EXPECT_EQ(FormatInt(RoundHalfAway(c.in)), FormatFixed(c.in, 0)) << c.in;
    }
  }
}

TEST(FormatFixed, RoundsHalfAwayOnTheDecimalExpansion) {
  struct Case {
    double value;
    int decimals, width;
    const char* text;
  } cases[] = {
      {5, 1, 4, " 5.0"},
      {1234.56, 1, 4, "1234.6"},
      {0.25, 1, 4, " 0.3"},
      {-0.04, 1, 4, "-0.0"},
      {399.96, 1, 4, "400.0"},
      {4000, 1, 4, "4000.0"},
      {7, 1, 4, " 7.0"},
      {-0.25, 1, 4, "-0.3"},
      {9.96, 1, 4, "10.0"},
      // The double nearest 9.95 expands to 9.94999999999999929: rounds down.
      {9.95, 1, 4, " 9.9"},
      {0.05, 1, 0, "0.1"},
      {4000, 6, 0, "4000.000000"},
      {-1, 2, 0, "-1.00"},
      {-0.964, 2, 0, "-0.96"},
      {1, 2, 3, "1.00"},
      {450, 1, 5, "450.0"},
      {0.853, 5, 0, "0.85300"},
      {0, 5, 0, "0.00000"},
      {12.074, 2, 2, "12.07"},
      {100, 2, 2, "100.00"},
      {0.000004, 5, 0, "0.00000"},
      {0.000005, 5, 0, "0.00001"},
      {123456789012.5, 0, 0, "123456789013"},
      {1e-30, 1, 0, "0.0"},
      {-1e-30, 1, 0, "-0.0"},
      {0.5, 0, 4, "   1"},
      {2.5, 0, 0, "3"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatFixed(c.value, c.decimals, c.width), c.text) << c.value;
  }
}

// Values of a whole number of units of the last place (as abscissae are),
// and their neighbours one step of the double away, have the digits of that
// number: the text the C library gives for them (no halves are near).
TEST(FormatFixed, WholeUnitsOfTheLastPlaceAndTheirNeighbours) {
  std::mt19937_64 rng(4711);
  for (int n = 0; n < 20000; ++n) {
    const int decimals = static_cast<int>(rng() % 7);
    const uint64_t units = rng() % (n % 2 == 0 ? 100000 : 1000000000000);
    double value = static_cast<double>(units) / std::pow(10.0, decimals);
    if (rng() % 2 == 0 && units != 0) value = -value;
    for (double v : {value, std::nextafter(value, 1e300), std::nextafter(value, -1e300)}) {
      if (v == 0 || (units == 0 && v < 0)) continue;  // "-0.0" is C's, not ours
      char expected[64];
      std::snprintf(expected, sizeof expected, "%.*f", decimals, v);
      ASSERT_EQ(FormatFixed(v, decimals), expected) << v << " with " << decimals;
    }
  }
}

TEST(RealToText41, Examples) {
  EXPECT_EQ(RealToText41(1715.3), "1715.3");
  EXPECT_EQ(RealToText41(399.96), "400.0");
  EXPECT_EQ(RealToText41(9.5), " 9.5");
  EXPECT_EQ(RealToText41(-12.34), "-12.3");
}

// The writer's form writes RealToText41's text for whole numbers of tenths
// below 10^11, and declines every other value.
TEST(RealToText41, PutFormWritesTheSameText) {
  std::vector<double> whole = {0.0,   -0.0,    0.5,           -0.5,          1.0,    9.9,
                               -9.9,  10.0,    99.9,          -99.9,         7999.5, 4000.0,
                               450.0, -1234.5, 99999999999.9, -99999999999.9};
  for (double step : {0.5, 1.0, 2.0, 0.1 * 3}) {
    for (int i = 0; i < 400; ++i) whole.push_back(std::round((8000 - step * i) * 10) / 10);
  }
  for (double v : whole) {
    char text[16];
    const char* end = PutRealToText41(text, v);
    ASSERT_NE(end, nullptr) << v;
    EXPECT_EQ(std::string(text, static_cast<std::size_t>(end - text)), RealToText41(v)) << v;
  }
  const double declined[] = {
      0.25,     -0.04, 1e11, -1e11, 1e300, std::nan(""), std::numeric_limits<double>::infinity(),
      0.1 + 0.2};
  for (double v : declined) {
    char text[16];
    EXPECT_EQ(PutRealToText41(text, v), nullptr) << v;
  }
}

TEST(FormatExp23, TwentyThreeCharacters) {
  struct Case {
    double value;
    const char* text;
  } cases[] = {
      {450, " 4.50000000000000E+0002"},     {-450, "-4.50000000000000E+0002"},
      {0, " 0.00000000000000E+0000"},       {4000, " 4.00000000000000E+0003"},
      {0.001, " 1.00000000000000E-0003"},   {1.0 / 3, " 3.33333333333333E-0001"},
      {2.0 / 3, " 6.66666666666667E-0001"}, {9.999999999999999, " 1.00000000000000E+0001"},
      {449.99, " 4.49990000000000E+0002"},
  };
  for (const auto& c : cases) {
    std::string t = FormatExp23(c.value);
    EXPECT_EQ(t, c.text);
    EXPECT_EQ(t.size(), 23u);
  }
}

TEST(ParseStrict, Reals) {
  struct Case {
    const char* text;
    bool ok;
    double value;
  } cases[] = {
      {"450", true, 450},  {"  4.5E+0002", true, 450},
      {"-1.00", true, -1}, {"+3", true, 3},
      {"1e3", true, 1000}, {" 4.50000000000000E+0002", true, 450},
      {".5", true, 0.5},   {"5.", true, 5},
      {"", false, 0},      {"450 ", false, 0},
      {"4 50", false, 0},  {"abc", false, 0},
      {"1e", false, 0},    {"-", false, 0},
      {"1.0.", false, 0},  {"1e999", false, 0},
      {"inf", false, 0},   {"nan", false, 0},
  };
  for (const auto& c : cases) {
    double v = -12345;
    EXPECT_EQ(ParseStrictReal(c.text, v), c.ok) << c.text;
    if (c.ok) {
      EXPECT_DOUBLE_EQ(v, c.value) << c.text;
    }
  }
}

TEST(ParseStrict, Integers) {
  struct Case {
    const char* text;
    bool ok;
    int32_t value;
  } cases[] = {
      {"16", true, 16},
      {"  3551", true, 3551},
      {"-5", true, -5},
      {"$10", true, 16},
      {"$ff", true, 255},
      {"-$A", true, -10},
      {"2147483647", true, 2147483647},
      {"-2147483648", true, -2147483647 - 1},
      {"2147483648", false, 0},
      {"$FFFFFFFF", false, 0},
      {"", false, 0},
      {"16 ", false, 0},
      {"1.0", false, 0},
      {"$", false, 0},
      {"12x", false, 0},
  };
  for (const auto& c : cases) {
    int32_t v = -1;
    EXPECT_EQ(ParseStrictInt(c.text, v), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.text;
    }
  }
}

TEST(ParseDecimal, ImporterNumbers) {
  double v = 0;
  EXPECT_TRUE(ParseDecimal("4.0E3", v));
  EXPECT_DOUBLE_EQ(v, 4000);
  EXPECT_TRUE(ParseDecimal("-85", v));
  EXPECT_DOUBLE_EQ(v, -85);
  EXPECT_FALSE(ParseDecimal("4000-85", v));
  EXPECT_FALSE(ParseDecimal(" 1", v));
  EXPECT_FALSE(ParseDecimal("", v));
}

}  // namespace
}  // namespace tesvar
