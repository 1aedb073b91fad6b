// The ordinates of the synthetic spectrum the interaction tests plot: 361
// points from 4000 to 400 1/cm, 10 1/cm apart, with values whose read-outs
// and band positions can be worked out by hand. Shared by the window tests
// and the plot tests, which pin the same pixels on the same frame shape.
#pragma once

#include <cstdlib>
#include <vector>

namespace tesvar::test {

inline constexpr int kPoints = 361;

// 0.25 + i / 2000 (25 %T at 4000 1/cm, 30 at 3000, 43 at 400).
inline std::vector<float> RisingOrdinates() {
  std::vector<float> t(kPoints);
  for (int i = 0; i < kPoints; ++i) t[i] = static_cast<float>(0.25 + i / 2000.0);
  return t;
}

// Flat at 0.9 with V-shaped bands at points 100 (3000 1/cm) and 250
// (1500 1/cm): 0.5 at the bottom and 0.1 higher per point up to 4 points
// away. Each band matches the first pattern of the band search (rises of
// 0.1, 0.2, 0.3 to the left and 0.1, 0.2 to the right).
inline std::vector<float> TwoBands() {
  std::vector<float> t(kPoints, 0.9f);
  for (int centre : {100, 250}) {
    for (int k = -3; k <= 3; ++k) t[centre + k] = static_cast<float>(0.5 + 0.1 * std::abs(k));
  }
  return t;
}

}  // namespace tesvar::test
