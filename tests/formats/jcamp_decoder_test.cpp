#include "formats/jcamp_decoder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <map>
#include <vector>

#include "formats/decoder_paths.h"

namespace tesvar {
namespace {

constexpr OrdinateKind kT = OrdinateKind::kTransmittance;
constexpr OrdinateKind kA = OrdinateKind::kAbsorbance;
constexpr OrdinateKind kNoUnits = OrdinateKind::kNone;

struct Case {
  const char* name;
  std::vector<const char*> lines;  // decoded in order; all but the last must succeed
  std::string message;             // result of the last line
  std::vector<double> stored;      // TransY from the first slot on
  OrdinateKind kind = kT;
  double yFactor = 1.0;
  double lastValue = 0;  // LastValue before the first line
};

void RunCase(const Case& c, int32_t startIndex = 0, int32_t step = 1) {
  Spectrum target;
  XyDecodeState st;
  st.OrdinateKind = c.kind;
  st.YFactor = c.yFactor;
  st.LastValue = c.lastValue;
  st.PointIndex = startIndex;
  st.IndexStep = step;
  std::string result;
  for (std::size_t i = 0; i < c.lines.size(); ++i) {
    result = DecodeXyDataLine(c.lines[i], st, target);
    if (i + 1 < c.lines.size()) {
      ASSERT_EQ(result, "") << c.name << " line " << i;
    }
  }
  EXPECT_EQ(result, c.message) << c.name;
  for (std::size_t i = 0; i < c.stored.size(); ++i) {
    EXPECT_NEAR(target.TransY[startIndex + step * static_cast<int>(i)], c.stored[i], 1e-6)
        << c.name << " slot " << i;
  }
  // Nothing beyond the stored ordinates was touched.
  int after = startIndex + step * static_cast<int>(c.stored.size());
  if (after >= 0 && after < kArraySlots) {
    EXPECT_EQ(target.TransY[after], 0.0f) << c.name;
  }
}

// Every path decodes single lines alike.
class JcampDecoder : public OnEachDecoderPath {};

INSTANTIATE_TEST_SUITE_P(EveryPath, JcampDecoder, ::testing::ValuesIn(kEveryDecoderPath),
                         DecoderPathTestName);

TEST_P(JcampDecoder, PlainNumberLines) {
  std::vector<Case> cases = {
      {"AbscissaDropped", {"4000 85 86 87"}, "", {0.85, 0.86, 0.87}, kT, 0.01},
      {"SignPerNumber", {"4000 85 -3 7"}, "", {85, -3, 7}},
      {"PlusMinusAsSeparators", {"4000+10160+10159-5"}, "", {10160, 10159, -5}},
      {"CommaRepeat", {"4000 85,,86"}, "", {85, 85, 86}},
      {"ThreeCommasRepeatTwice", {"4000 85,,,86"}, "", {85, 85, 85, 86}},
      // A comma repeat before the first number makes that number an ordinate.
      {"LeadingCommaRepeat", {",,85 86"}, "", {7, 85, 86}, kT, 1.0, 7},
      {"TrailingSeparator", {"4000 85 "}, "", {85}},
      {"TwoTrailingSeparators", {"4000 85  "}, "invalid data point: -----", {85}},
      {"Decimals", {"4000 .5 5. 0.25"}, "", {0.5, 5, 0.25}},
      {"BadCharacter", {"4000 85;86"}, "invalid data line 4000 85;86", {}},
      {"TwoDecimalPoints", {"4000 1.2.3"}, "invalid data point: 1.2.3", {}},
      {"LargestNumber", {"4000 1419480975"}, "", {1.419480975}, kT, 1e-9},
      {"TooLarge", {"4000 1 1419480976"}, "invalid data point: 1419480976", {1}},
      {"OneCharacterLine", {"5"}, "", {}},
      {"EmptyLine", {""}, "", {}},
      {"Absorbance", {"4000 1 0 0.5"}, "", {0.1, 1.0, 0.316228}, kA},
      {"NoUnitsIsAbsorbance", {"4000 2"}, "", {0.01}, kNoUnits},
      {"AbsorbanceFactor", {"4000 500"}, "", {0.1}, kA, 0.002},
  };
  for (const auto& c : cases) RunCase(c);
}

TEST_P(JcampDecoder, AsdfLines) {
  std::vector<Case> cases = {
      {"BlanksRemoved", {"4000 H5300 J0"}, "", {85300, 85310}},
      // 'E' makes it an ASDF line: X "40008.5", then SQZ "E1" = 51.
      {"ExponentIsSqz", {"4000 8.5E1"}, "", {51}},
      {"RepeatAfterSqz", {"4000@A?"}, "", {0, 1, 1}},
      {"RepeatAfterDif", {"4000@J?"}, "", {0, 1, 2}},
      // "U" (3) after "J": three points, each 1 above the one before.
      {"DupAfterDif", {"4000@JU"}, "", {0, 1, 2, 3}},
      {"DupAfterSqz", {"4000AT"}, "", {1, 1}},
      {"DupOfOneActsLikeTwo", {"4000AS"}, "", {1, 1}},
      {"DecimalTokens", {"4000A2.5J.5"}, "", {12.5, 14}},  // J.5 is 1.5
      {"NegativeSqz", {"4000b5j"}, "", {-25, -26}},
      // With no value on the line yet, a DUP repeats the last ordinate read.
      {"DupFirstRepeatsLastValue", {"4000T"}, "", {5}, kT, 1.0, 5},
      {"NotAToken", {"4000,H5300"}, "not an ASDF number: , 0", {}},
      {"NotATokenCount", {"4000 1 2 3", "3997,H5300"}, "not an ASDF number: , 3", {1, 2, 3}},
      {"BadX", {"A123"}, "invalid X value", {}},
      {"BadSqz", {"4000@A2,5"}, "invalid SQZ number: 12,5", {0}},
      {"BadDif", {"4000@J2,5"}, "invalid DIF number: 12,5", {0}},
      {"BadDup", {"4000@S2.5"}, "invalid DUP number: 12.5", {0}},
      {"YFactorAndKind", {"4000H5300J0"}, "", {0.853, 0.8531}, kT, 0.00001},
      {"AbsorbanceAsdf", {"4000A"}, "", {0.1}, kA},
  };
  for (const auto& c : cases) RunCase(c);
}

// After a line that ended in DIF form, the first value of the next line
// repeats the last ordinate and is checked, not stored.
TEST_P(JcampDecoder, YCheck) {
  std::vector<Case> cases = {
      {"Passes",
       {"4000.0H5300J0J0", "3994.0H5320J0T"},
       "",
       {0.853, 0.8531, 0.8532, 0.8533, 0.8534},
       kT,
       0.00001},
      {"Fails",
       {"4000.0H5300J0J0", "3994.0H5310J0"},
       "Y check failed: 85320.0/85310.0 at 3994.0",
       {85300, 85310, 85320}},
      // DIF and DUP tokens have no value to compare: always a failure.
      {"DifInCheckPlace", {"4000@J", "3999J"}, "Y check failed:  1.0/ 1.0 at 3999.0", {0, 1}},
      {"DupInCheckPlace", {"4000@J", "3999T"}, "Y check failed:  1.0/ 2.0 at 3999.0", {0, 1}},
      {"RepeatInCheckPlace", {"4000@J", "3999?K"}, "", {0, 1, 3}},
      // After a check the line is in SQZ mode: a DUP repeats the value.
      {"DupAfterCheck", {"4000@J", "3999AT"}, "", {0, 1, 1}},
      {"NoCheckAfterSqzLine", {"4000@A", "3998B"}, "", {0, 1, 2}},
      {"NoCheckAfterPlainLine", {"4000 5", "3999E"}, "", {5, 5}},
  };
  for (const auto& c : cases) RunCase(c);
}

// Every store stays within the arrays: at an end of the range the index
// stops and later ordinates overwrite the same slot.
TEST_P(JcampDecoder, SlotIndexStaysInRange) {
  struct Bound {
    const char* name;
    int32_t start;
    int32_t step;
    const char* line;
    std::map<int, float> slots;
    int32_t pointsRead;
  } bounds[] = {
      {"DownwardStopsAtZero", 0, -1, "4000 1 2 3", {{0, 3.0f}, {1, 0.0f}}, 3},
      {"UpwardStopsAtSpareSlot", 15999, 1, "4000 1 2 3", {{15999, 1.0f}, {16000, 3.0f}}, 3},
      // Comma repeats move only within 1 ... 15999.
      {"CommaRepeatStopsEarlier",
       15998,
       1,
       "4000 5,,,6",
       {{15998, 5.0f}, {15999, 6.0f}, {16000, 0.0f}},
       4},
      // A state pointing outside the arrays is brought back in.
      {"StartBeyondArray", 20000, 1, "4000 1", {{16000, 1.0f}}, 1},
      {"StartNegative", -5, -1, "4000 1", {{0, 1.0f}}, 1},
      // DUP 19999 after +1 from 0: 2 ... 16000 fill the slots, the last
      // value 19999 stays in the spare one.
      {"LongDifRunFillsThenStops",
       0,
       1,
       "4000@JS9999",
       {{1, 1.0f}, {15999, 15999.0f}, {16000, 19999.0f}},
       20000},
  };
  for (const auto& b : bounds) {
    Spectrum target;
    XyDecodeState st;
    st.OrdinateKind = kT;
    st.PointIndex = b.start;
    st.IndexStep = b.step;
    EXPECT_EQ(DecodeXyDataLine(b.line, st, target), "") << b.name;
    for (const auto& [slot, value] : b.slots) {
      EXPECT_EQ(target.TransY[slot], value) << b.name << " slot " << slot;
    }
    EXPECT_EQ(st.PointsRead, b.pointsRead) << b.name;
  }
}

// A DUP count of hundreds of millions ends at once with the result the
// single steps would give: the last value in the slot, PeakT the largest of
// the run, every point counted.
TEST_P(JcampDecoder, HugeDupCountsFinishAtOnce) {
  struct Run {
    const char* name;
    const char* line;
    double slot0;
    double peak;
    double lastValue;
    int32_t pointsRead;
  } runs[] = {
      {"RisingDifRun", "4000A0JZ9", 99, 99, 99, 90},
      {"FallingDifRun", "4000A0jZ9", -79, 10, -79, 90},
      {"HugeDifRun", "4000@JZ99999999", 899999999, 899999999, 899999999, 900000000},
      {"HugeSqzRun", "4000AZ99999999", 1, 1, 1, 899999999},
  };
  for (const auto& r : runs) {
    Spectrum target;
    XyDecodeState st;
    st.OrdinateKind = kT;
    st.IndexStep = -1;  // slot 0 and no further: every point lands there
    // A guard against point-by-point work (seconds per token), not a speed goal.
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(DecodeXyDataLine(r.line, st, target), "") << r.name;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << r.name;
    EXPECT_EQ(target.TransY[0], static_cast<float>(r.slot0)) << r.name;
    EXPECT_EQ(st.PeakT, static_cast<float>(r.peak)) << r.name;
    EXPECT_EQ(st.LastValue, r.lastValue) << r.name;
    EXPECT_EQ(st.PointsRead, r.pointsRead) << r.name;
  }
  // The count of points read saturates instead of overflowing.
  Spectrum target;
  XyDecodeState st;
  st.OrdinateKind = kT;
  for (int i = 0; i < 4; ++i) ASSERT_EQ(DecodeXyDataLine("4000AZ99999999", st, target), "");
  EXPECT_EQ(st.PointsRead, std::numeric_limits<int32_t>::max());
}

TEST_P(JcampDecoder, PeakIgnoresCommaRepeats) {
  Spectrum target;
  XyDecodeState st;
  st.OrdinateKind = kT;
  st.LastValue = 50;
  EXPECT_EQ(DecodeXyDataLine("4000,,3", st, target), "");
  EXPECT_EQ(target.TransY[0], 50.0f);
  EXPECT_EQ(target.TransY[1], 3.0f);
  EXPECT_EQ(st.PeakT, 3.0);
  EXPECT_EQ(st.LastValue, 3.0);
}

// Values beyond the float range become infinities; nothing is undefined.
TEST_P(JcampDecoder, OutOfRangeValuesBecomeInfinite) {
  Spectrum target;
  XyDecodeState st;
  st.OrdinateKind = kT;
  st.YFactor = 1e300;
  EXPECT_EQ(DecodeXyDataLine("4000 5 -5", st, target), "");
  EXPECT_TRUE(std::isinf(target.TransY[0]) && target.TransY[0] > 0);
  EXPECT_TRUE(std::isinf(target.TransY[1]) && target.TransY[1] < 0);
  st.OrdinateKind = kA;
  EXPECT_EQ(DecodeXyDataLine("4000 -5 5", st, target), "");
  EXPECT_TRUE(std::isinf(target.TransY[2]));
  EXPECT_EQ(target.TransY[3], 0.0f);
}

}  // namespace
}  // namespace tesvar
