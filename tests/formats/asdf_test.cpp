#include "formats/asdf.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace tesvar {
namespace {

TEST(Asdf, Encoders) {
  struct Case {
    const char* kind;
    int64_t value;
    const char* text;
  } cases[] = {
      {"sqz", 0, "@"},
      {"sqz", 85300, "H5300"},
      {"sqz", -25, "b5"},
      {"sqz", 9, "I"},
      {"sqz", -1, "a"},
      {"sqz", 10000000, "A0000000"},
      {"sqz", 2147483647, "B147483647"},
      {"sqz", -2147483648LL, "b147483648"},
      {"dif", 0, "%"},
      {"dif", 12, "J2"},
      {"dif", -7, "p"},
      {"dif", -130, "j30"},
      {"dif", 9, "R"},
      {"dif", -10000000, "j0000000"},
      // The difference of the two int32 extremes needs 64 bits.
      {"dif", -4294967295LL, "m294967295"},
      {"dif", std::numeric_limits<int64_t>::min(), "r223372036854775808"},
      {"dup", 1, "S"},
      {"dup", 2, "T"},
      {"dup", 3, "U"},
      {"dup", 8, "Z"},
      {"dup", 9, "s"},
      {"dup", 12, "S2"},
      {"dup", 90, "s0"},
  };
  for (const auto& c : cases) {
    std::string kind = c.kind;
    std::string got = kind == "sqz"   ? EncodeSqz(c.value)
                      : kind == "dif" ? EncodeDif(c.value)
                                      : EncodeDup(c.value);
    EXPECT_EQ(got, c.text) << kind << " " << c.value;
  }
}

TEST(Asdf, DecodesTokens) {
  struct Case {
    const char* token;
    AsdfKind kind;
    bool ok;
    double value;
  } cases[] = {
      {"@", AsdfKind::kSqz, true, 0},
      {"H5300", AsdfKind::kSqz, true, 85300},
      {"b5", AsdfKind::kSqz, true, -25},
      {"A2.5", AsdfKind::kSqz, true, 12.5},
      {"i.5", AsdfKind::kSqz, true, -9.5},
      {"A2,5", AsdfKind::kSqz, false, 0},
      {"A+5", AsdfKind::kSqz, false, 0},
      {"%", AsdfKind::kDif, true, 0},
      {"j", AsdfKind::kDif, true, -1},
      {"j30", AsdfKind::kDif, true, -130},
      {"R", AsdfKind::kDif, true, 9},
      {"J2.25", AsdfKind::kDif, true, 12.25},
      {"J2..5", AsdfKind::kDif, false, 0},
      {"s", AsdfKind::kDup, true, 9},
      {"S", AsdfKind::kDup, true, 1},
      {"S2", AsdfKind::kDup, true, 12},
      {"S2.5", AsdfKind::kDup, false, 0},          // a count is an integer
      {"U99999999999", AsdfKind::kDup, false, 0},  // beyond the int32 range
      {"?", AsdfKind::kRepeat, true, 0},
      {"?77", AsdfKind::kRepeat, true, 0},
      {",", AsdfKind::kNone, false, 0},
      {"5", AsdfKind::kNone, false, 0},
      // Long tokens leave the integer shortcut and keep every digit.
      {"A23456789012345678", AsdfKind::kSqz, true, 123456789012345678.0},
  };
  for (const auto& c : cases) {
    AsdfValue v;
    EXPECT_EQ(DecodeAsdfToken(c.token, v), c.ok) << c.token;
    EXPECT_EQ(v.kind, c.kind) << c.token;
    if (c.ok && c.kind != AsdfKind::kRepeat) {
      EXPECT_EQ(v.value, c.value) << c.token;
    }
  }
}

// Every encoded value decodes to itself: the writer's tokens are what the
// decoder reads. Magnitudes cover each leading digit and length.
TEST(Asdf, EncodeDecodeAgree) {
  std::vector<int64_t> values = {std::numeric_limits<int32_t>::min(),
                                 std::numeric_limits<int32_t>::max()};
  for (int64_t m = 1; m < 10000000000LL; m *= 10) {
    for (int64_t d = 1; d <= 9; ++d) {
      values.push_back(d * m);
      values.push_back(d * m + 7);
      values.push_back(-d * m);
      values.push_back(-(d * m + 3));
    }
  }
  values.push_back(0);
  for (int64_t v : values) {
    AsdfValue sqz, dif;
    ASSERT_TRUE(DecodeAsdfToken(EncodeSqz(v), sqz)) << v;
    EXPECT_EQ(sqz.kind, AsdfKind::kSqz);
    EXPECT_EQ(sqz.value, static_cast<double>(v));
    ASSERT_TRUE(DecodeAsdfToken(EncodeDif(v), dif)) << v;
    EXPECT_EQ(dif.kind, AsdfKind::kDif);
    EXPECT_EQ(dif.value, static_cast<double>(v));
    if (v >= 1 && v <= std::numeric_limits<int32_t>::max()) {
      AsdfValue dup;
      ASSERT_TRUE(DecodeAsdfToken(EncodeDup(v), dup)) << v;
      EXPECT_EQ(dup.kind, AsdfKind::kDup);
      EXPECT_EQ(dup.value, static_cast<double>(v));
    }
  }
}

}  // namespace
}  // namespace tesvar
