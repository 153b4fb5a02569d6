// The shared statistics core: the rules the matrices will take from it and
// the vector members do not reach (selecting percentile).

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "foundation/internal/Vexa_statcore.h"

namespace vexa::statcore {
namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(StatCore, SelectingPercentilePicksARankWithoutInterpolation) {
  struct Case {
    std::vector<double> Values;
    double Prob, Result;
  };
  const Case Cases[] = {
      {{1, 2, 3, 4}, 50, 3},       // rank round(2) = 2: the upper middle value
      {{4, 3, 2, 1}, 100, 4},      // rank limited to n − 1
      {{4, 3, 2, 1}, 0, 1},
      {{1, 2, 3, 4, 5}, 50, 3},    // round(2.5) = 2, ties to even
      {{1, 2, 3, 4, 5}, 70, 5},    // round(3.5) = 4
      {{1, 2, 3, 4}, 250, 4},      // clamped
      {{kNaN, 2, 1, kNaN}, 25, 2},  // NaN ranks last: 1, 2, NaN, NaN
  };
  for (const Case& c : Cases) {
    std::vector<double> Copy = c.Values;
    EXPECT_EQ(SelectingPercentile(Copy, c.Prob), c.Result) << c.Prob;
  }
  std::vector<double> Copy{kNaN, 2, 1, kNaN};
  EXPECT_TRUE(std::isnan(SelectingPercentile(Copy, 75)));
  Copy = {1, 2};
  EXPECT_TRUE(std::isnan(SelectingPercentile(Copy, kNaN)));
}

TEST(StatCore, VarianceRuleAndSampleCorrection) {
  EXPECT_EQ(FamilyVariance(1, 0), 1.0);
  EXPECT_EQ(FamilyVariance(2, 8), 1.0);
  EXPECT_EQ(FamilyVariance(3, -1e-12), 0.0);  // rounding below 0 is replaced by 0
  EXPECT_EQ(FamilyVariance(5, 8), 2.0);
  // Matrices compute the moments from two values on.
  const std::vector<double> Pair{1, 3};
  double Skew = 9, Kurt = 9;
  int64_t n = 0;
  EXPECT_TRUE(SkewKurtIntern(Pair, 2, Skew, Kurt, n));
  EXPECT_EQ(n, 2);
  EXPECT_EQ(Skew, 0.0);
  // Σc⁴/n = 1, s² = 2: 1/4 − 3.
  EXPECT_EQ(Kurt, 0.25 - 3);
  EXPECT_FALSE(SkewKurtIntern(Pair, 4, Skew, Kurt, n));
  EXPECT_EQ(Kurt, 0.0);
}

}  // namespace
}  // namespace vexa::statcore
