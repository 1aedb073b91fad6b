#include "formats/x_grid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace tesvar {
namespace {

TEST(EvenlySpaced, OnlyXOnTheGridFromFirstToLast) {
  const double nan = std::nan("");
  struct Case {
    const char* what;
    std::vector<double> x;
    bool even;
  } cases[] = {
      {"exact, descending", {4000, 3999, 3998, 3997}, true},
      {"exact, ascending", {400, 402, 404}, true},
      // Step 0.964: 2 decimals are at most 0.005 off, 0.5 % of a step.
      {"two decimals", {4000.00, 3999.04, 3998.07, 3997.11, 3996.14}, true},
      {"off by 1.1 % of a step", {10, 11.011, 12}, false},
      {"a point missing", {10, 11, 13, 14}, false},
      {"a point repeated", {10, 11, 11, 12, 13}, false},
      {"turns back", {10, 11, 12, 11}, false},
      {"one point", {10}, false},
      {"equal ends", {10, 11, 10}, false},
      {"not a number", {10, nan, 12}, false},
      {"infinite end", {10, 11, INFINITY}, false},
  };
  for (const Case& c : cases) EXPECT_EQ(EvenlySpaced(c.x.data(), c.x.size()), c.even) << c.what;
}

}  // namespace
}  // namespace tesvar
