// Tests run once on each path of the data line decoder (DecoderPath): a
// fixture derived from OnEachDecoderPath, TEST_P for its tests, and
// INSTANTIATE_TEST_SUITE_P with the paths it covers and DecoderPathTestName.
// Paths this processor cannot run are skipped.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "formats/jcamp_decoder.h"

namespace tesvar {

// Every path, the general decoder alone first.
inline constexpr DecoderPath kEveryDecoderPath[] = {DecoderPath::kReference, DecoderPath::kScalar,
                                                    DecoderPath::kSse2, DecoderPath::kAvx2};
// The paths on which the one-pass readers (DecodeUsualXyDataLine,
// DecodePlainXyDataLines) read.
inline constexpr DecoderPath kOnePassDecoderPaths[] = {DecoderPath::kScalar, DecoderPath::kSse2,
                                                       DecoderPath::kAvx2};

class OnEachDecoderPath : public ::testing::TestWithParam<DecoderPath> {
 protected:
  void SetUp() override {
    if (!CanRunDecoderPath(GetParam())) {
      GTEST_SKIP() << "this processor cannot run the path " << DecoderPathName(GetParam());
    }
    ASSERT_TRUE(ForceDecoderPath(GetParam()));
  }
  void TearDown() override { ForceDecoderPath(DecoderPath::kAuto); }
};

// Test names and messages show the path by its name.
inline void PrintTo(DecoderPath path, std::ostream* out) { *out << DecoderPathName(path); }

inline std::string DecoderPathTestName(const ::testing::TestParamInfo<DecoderPath>& info) {
  return DecoderPathName(info.param);
}

}  // namespace tesvar
