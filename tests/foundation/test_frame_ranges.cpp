#include "foundation/Vexa_ranges.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace vexa {
namespace {

constexpr int32_t Min32 = INT32_MIN;
constexpr int32_t Max32 = INT32_MAX;

struct RangeCase {
  int32_t Low, High, N;
  int32_t ExpectedLow, ExpectedHigh;
  bool AxisResult;    // matrix, 3-D and 4-D axes
  bool VectorResult;  // vector elements: an exchange alone is no correction
};

const RangeCase RangeCases[] = {
    {0, 0, 5, 1, 5, false, false},  // whole axis
    {7, -2, 5, 1, 5, true, true},   // both clamped, then exchanged
    {4, 2, 5, 2, 4, true, false},   // only exchanged
    {2, 4, 5, 2, 4, false, false},  // already valid
    {5, 5, 5, 5, 5, false, false},
    {0, 3, 5, 1, 3, true, true},    // a single 0 is clamped, not "whole axis"
    {3, 0, 5, 1, 3, true, true},
    {6, 6, 5, 5, 5, true, true},
    {Min32, Max32, 5, 1, 5, true, true},
    {Max32, Min32, 5, 1, 5, true, true},
    {Max32, Max32, Max32, Max32, Max32, false, false},
    {Max32, 1, Max32, 1, Max32, true, false},
    {Min32, Min32, Max32, 1, 1, true, true},
    {0, 0, Max32, 1, Max32, false, false},
    {0, 0, 1, 1, 1, false, false},  // N = 1
    {1, 1, 1, 1, 1, false, false},
    {2, 5, 1, 1, 1, true, true},
    {-3, 0, 1, 1, 1, true, true},
    {Max32, Min32, 1, 1, 1, true, true},
    // An axis without entries gives the empty range 1..0, never index 0.
    {0, 0, 0, 1, 0, false, false},
    {3, 4, 0, 1, 0, true, true},
    {-1, 2, -5, 1, 0, true, true},
};

TEST(RangeValidationTest, TableOfCases) {
  for (const RangeCase& c : RangeCases) {
    SCOPED_TRACE(::testing::Message() << "(" << c.Low << ", " << c.High << ") on " << c.N);
    int32_t Low = c.Low;
    int32_t High = c.High;
    EXPECT_EQ(MakeValidAxisRange(Low, High, c.N), c.AxisResult);
    EXPECT_EQ(Low, c.ExpectedLow);
    EXPECT_EQ(High, c.ExpectedHigh);

    Low = c.Low;
    High = c.High;
    EXPECT_EQ(MakeValidElemRangeOfVector(Low, High, c.N), c.VectorResult);
    EXPECT_EQ(Low, c.ExpectedLow);
    EXPECT_EQ(High, c.ExpectedHigh);
  }
}

}  // namespace
}  // namespace vexa
