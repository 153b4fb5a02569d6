#include "platform/Vexa_intmath.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <limits>

namespace vexa {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr int32_t kMax32 = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin32 = std::numeric_limits<int32_t>::min();

struct TRoundCase {
  double x;
  int32_t rounded;    // RoundToInt32
  int32_t truncated;  // TruncToInt32
  bool fits;          // TryRoundToInt32 succeeds
};

// Expected values worked out by hand: nearest integer, ties to the even one,
// saturated at the int32_t limits.
const TRoundCase kRoundCases[] = {
    {0.0, 0, 0, true},
    {0.5, 0, 0, true},
    {-0.5, 0, 0, true},
    {1.5, 2, 1, true},
    {2.5, 2, 2, true},
    {-2.5, -2, -2, true},
    {-3.5, -4, -3, true},
    {0.49999999999999994, 0, 0, true},  // largest double below 0.5: x + 0.5 would round up
    {2.7, 3, 2, true},
    {-2.7, -3, -2, true},
    {2147483646.5, 2147483646, 2147483646, true},
    {2147483647.0, kMax32, kMax32, true},
    {2147483647.4999998, kMax32, kMax32, true},
    {2147483647.5, kMax32, kMax32, false},  // ties to 2^31, one beyond the range
    {2147483648.0, kMax32, kMax32, false},
    {-2147483648.0, kMin32, kMin32, true},
    {-2147483648.5, kMin32, kMin32, true},  // ties to the even -2^31
    {-2147483649.5, kMin32, kMin32, false},
    {1e300, kMax32, kMax32, false},
    {-1e300, kMin32, kMin32, false},
    {kInf, kMax32, kMax32, false},
    {-kInf, kMin32, kMin32, false},
    {kNaN, 0, 0, false},
};

TEST(IntMathTest, RoundAndTruncToInt32AtTheEdges) {
  for (const TRoundCase& c : kRoundCases) {
    SCOPED_TRACE(c.x);
    EXPECT_EQ(RoundToInt32(c.x), c.rounded);
    EXPECT_EQ(TruncToInt32(c.x), c.truncated);
    int32_t value = 12345;
    EXPECT_EQ(TryRoundToInt32(c.x, value), c.fits);
    EXPECT_EQ(value, c.fits ? c.rounded : 12345);  // unchanged on failure
  }
}

TEST(IntMathTest, RoundHalfEvenDoesNotDependOnTheRoundingMode) {
  const double inputs[] = {0.5, 1.5, 2.5, -2.5, 2.4999999999999996, 4503599627370495.5, -4503599627370495.5, 0.3};
  const double expected[] = {0.0, 2.0, 2.0, -2.0, 2.0, 4503599627370496.0, -4503599627370496.0, 0.0};
  for (int mode : {FE_TONEAREST, FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO}) {
    ASSERT_EQ(std::fesetround(mode), 0);
    for (size_t i = 0; i < std::size(inputs); ++i) {
      EXPECT_EQ(RoundHalfEven(inputs[i]), expected[i]) << "mode " << mode << " x " << inputs[i];
      EXPECT_EQ(RoundHalfEven(static_cast<long double>(inputs[i])), static_cast<long double>(expected[i]));
    }
  }
  std::fesetround(FE_TONEAREST);
}

TEST(IntMathTest, RoundHalfEvenKeepsSpecialsAndLargeIntegers) {
  EXPECT_TRUE(std::isnan(RoundHalfEven(kNaN)));
  EXPECT_EQ(RoundHalfEven(kInf), kInf);
  EXPECT_EQ(RoundHalfEven(-kInf), -kInf);
  EXPECT_EQ(RoundHalfEven(9007199254740992.0), 9007199254740992.0);
  // 2^53 + 1 is exact in long double; 2^63 - 0.5 ties to the even 2^63.
  EXPECT_EQ(RoundHalfEven(9007199254740993.0L), 9007199254740993.0L);
  EXPECT_EQ(RoundHalfEven(9007199254740992.5L), 9007199254740992.0L);
  EXPECT_EQ(RoundHalfEven(9223372036854775807.5L), 9223372036854775808.0L);
  EXPECT_TRUE(std::signbit(RoundHalfEven(-0.4)));  // the sign of zero is kept
}

TEST(IntMathTest, Int64ConversionsSaturate) {
  constexpr int64_t kMax64 = std::numeric_limits<int64_t>::max();
  constexpr int64_t kMin64 = std::numeric_limits<int64_t>::min();
  EXPECT_EQ(RoundToInt64(9007199254740993.0L), 9007199254740993);
  EXPECT_EQ(RoundToInt64(2.5), 2);
  EXPECT_EQ(RoundToInt64(9223372036854775808.0), kMax64);
  EXPECT_EQ(RoundToInt64(-9223372036854775808.0), kMin64);
  EXPECT_EQ(RoundToInt64(9223372036854775807.5L), kMax64);
  EXPECT_EQ(RoundToInt64(9223372036854775806.5L), 9223372036854775806);
  EXPECT_EQ(RoundToInt64(kNaN), 0);
  EXPECT_EQ(RoundToInt64(static_cast<long double>(kNaN)), 0);
  EXPECT_EQ(TruncToInt64(-kInf), kMin64);
  EXPECT_EQ(TruncToInt64(-1e18 - 0.5), -1000000000000000000);
  int64_t value = 7;
  EXPECT_FALSE(TryRoundToInt64(9223372036854775808.0, value));
  EXPECT_FALSE(TryRoundToInt64(kNaN, value));
  EXPECT_EQ(value, 7);
  EXPECT_TRUE(TryRoundToInt64(-9223372036854775808.0, value));
  EXPECT_EQ(value, kMin64);
}

TEST(IntMathTest, WrappingArithmeticMatchesModulo2To32) {
  // Reference: exact 64-bit result reduced modulo 2^32 into the signed range.
  auto wrap = [](int64_t v) {
    int64_t r = v % 4294967296LL;
    if (r >= 2147483648LL) r -= 4294967296LL;
    if (r < -2147483648LL) r += 4294967296LL;
    return static_cast<int32_t>(r);
  };
  const int32_t values[] = {0, 1, -1, 2, 65536, 46341, kMax32, kMin32, kMax32 - 1, kMin32 + 1, 123456789};
  for (int32_t a : values) {
    for (int32_t b : values) {
      SCOPED_TRACE(::testing::Message() << a << ", " << b);
      EXPECT_EQ(WrapAdd32(a, b), wrap(int64_t{a} + b));
      EXPECT_EQ(WrapSub32(a, b), wrap(int64_t{a} - b));
      EXPECT_EQ(WrapMul32(a, b), wrap(int64_t{a} * b));
    }
    EXPECT_EQ(WrapNeg32(a), wrap(-int64_t{a}));
    EXPECT_EQ(WrapAbs32(a), wrap(a < 0 ? -int64_t{a} : a));
  }
  EXPECT_EQ(WrapAbs32(kMin32), kMin32);
}

}  // namespace
}  // namespace vexa
