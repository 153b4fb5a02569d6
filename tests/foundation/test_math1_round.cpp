// Round-figure values and axis scales. The 1-2-5 expectations were computed
// with Python's decimal module (the step times 10^k as the nearest double).

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "foundation/Vexa_math1.h"

namespace vexa {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(Math1Round, Series125) {
  const struct {
    double x, Nearest, Up, Down;
  } cases[] = {
      {0.0234, 0.02, 0.05, 0.02},
      {347, 500.0, 500.0, 200.0},
      {0.15, 0.2, 0.2, 0.1},  // mantissa 1.5 goes to 2
      {-347, -500.0, -200.0, -500.0},
      {200, 200.0, 200.0, 200.0},
      {-200, -200.0, -200.0, -200.0},
      {0.05, 0.05, 0.05, 0.05},  // the decimal value, not 5·0.01
      {7.9999, 5.0, 10.0, 5.0},
      {8, 10.0, 10.0, 5.0},
      {1e-05, 1e-05, 1e-05, 1e-05},
      {3e+300, 5e+300, 5e+300, 2e+300},
      {1.7e+308, kInf, kInf, 1e+308},
      {-0.3, -0.5, -0.2, -0.5},
      {1, 1.0, 1.0, 1.0},
      {25, 20.0, 50.0, 20.0},
      {1.5, 2.0, 2.0, 1.0},
      {2.0000000000000004, 2.0, 5.0, 2.0},
      {0.7, 0.5, 1.0, 0.5},
      {-0.7, -0.5, -0.5, -1.0},
      {123456789, 100000000.0, 200000000.0, 100000000.0},
      // lg-based mantissas are off by an ulp here (10^(lg 30 − 1) < 3):
      // the comparisons with the decimal boundaries keep them exact.
      {30, 50, 50, 20},
      {5, 5, 5, 5},
      {0.8, 1, 1, 0.5},
      {0, 0, 0, 0},
      {kInf, kInf, kInf, kInf},
      {-kInf, -kInf, -kInf, -kInf},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Round125(c.x), c.Nearest) << c.x;
    EXPECT_EQ(RoundPos125(c.x), c.Up) << c.x;
    EXPECT_EQ(RoundNeg125(c.x), c.Down) << c.x;
  }
  EXPECT_TRUE(std::isnan(Round125(kNaN)));
  EXPECT_TRUE(std::isnan(RoundPos125(kNaN)));
  EXPECT_GT(Round125(5e-324), 0);  // subnormals stay safe
}

TEST(Math1Round, IntegerLimits) {
  const struct {
    double x;
    int64_t Low, High, Limited, Pos, Neg;
  } cases[] = {
      {2.5, -10, 10, 2, 3, 2},           // ties to even
      {-2.5, -10, 10, -2, -2, -3},
      {3.5, -10, 10, 4, 4, 3},
      {99, -10, 10, 10, 99, 99},
      {-99, -10, 10, -10, -99, -99},
      {5, 10, 0, 0, 5, 5},               // High wins when Low > High
      {kNaN, -10, 10, -10, 0, 0},        // NaN counts as Low
      {kNaN, 20, 10, 10, 0, 0},
      {kInf, INT64_MIN, INT64_MAX, INT64_MAX, INT64_MAX, INT64_MAX},
      {-kInf, INT64_MIN, INT64_MAX, INT64_MIN, INT64_MIN, INT64_MIN},
      {1e300, 0, 5, 5, INT64_MAX, INT64_MAX},
      {-1e300, 0, 5, 0, INT64_MIN, INT64_MIN},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RoundLimit(c.x, c.Low, c.High), c.Limited) << c.x;
    EXPECT_EQ(IntPos(c.x), c.Pos) << c.x;
    EXPECT_EQ(IntNeg(c.x), c.Neg) << c.x;
  }
}

TEST(Math1Round, CalcScaleParsExamples) {
  const struct {
    int32_t NumTicks;
    long double Low, High, FirstTick, Distance;
    uint16_t Minor;
  } cases[] = {
      {4, 0, 100, 0, 20, 4},
      {4, 3, 100, 20, 20, 4},
      {4, 100, 0, 100, -20, 4},
      {5, 0, 100, 0, 10, 5},            // exactly 2·10^k falls into the lower class
      {-4, 0, 100, 0, 20, 4},           // a negative count counts as its magnitude
      {INT32_MIN, 0, 1e12L, 0, 200, 4},     // 1e12 / 2^31 = 465.7
      {3, 0, 0.7L, 0, 0.2L, 4},         // 2/10, formed exactly
      {4, 0, 1e-3L, 0, 0.0002L, 4},
      {5, 0, 1e-3L, 0, 0.0001L, 5},
      {2, -7, 7, -5, 5, 5},
      {0, 2.5L, 4, 3, 1, 5},            // unit spacing
      {0, 2.5L, 40, 3, 1, 1},
      {0, 2.5L, -40, 1, 1, 1},          // descending: the start below Low is kept
      {3, 5, 5, 5, 0, 1},               // Low = High
  };
  for (const auto& c : cases) {
    long double first = -1, distance = -1;
    uint16_t minor = 0;
    CalcScalePars(c.NumTicks, c.Low, c.High, first, distance, minor);
    EXPECT_EQ(first, c.FirstTick) << c.NumTicks << " " << static_cast<double>(c.Low);
    EXPECT_EQ(distance, c.Distance) << c.NumTicks << " " << static_cast<double>(c.Low);
    EXPECT_EQ(minor, c.Minor) << c.NumTicks << " " << static_cast<double>(c.Low);
  }
}

TEST(Math1Round, CalcScaleParsReturnsWhereTheStepIsAbsorbed) {
  // 2^64 + 2: a step of 1 no longer changes a first tick near it.
  const long double low = 18446744073709551616.0L + 2;
  for (const int32_t ticks : {0, 1000}) {
    long double first = 0, distance = 0;
    uint16_t minor = 0;
    CalcScalePars(ticks, low, low + 1000, first, distance, minor);
    EXPECT_EQ(distance, 1);
    EXPECT_LE(low - first, 2);
  }
  // Non-finite ends and a range beyond the type give the Low = High result.
  const long double inf = std::numeric_limits<long double>::infinity();
  const long double big = std::numeric_limits<long double>::max();
  const struct {
    long double Low, High;
  } degenerate[] = {{0, inf}, {-inf, 0}, {std::numeric_limits<long double>::quiet_NaN(), 1},
                    {-big, big}};
  for (const auto& d : degenerate) {
    long double first = 7, distance = 7;
    uint16_t minor = 7;
    CalcScalePars(5, d.Low, d.High, first, distance, minor);
    EXPECT_EQ(distance, 0);
    EXPECT_EQ(minor, 1);
  }
}

}  // namespace
}  // namespace vexa
