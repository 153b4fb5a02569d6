// NaN, infinities, huge values and the int32 limits through every routine of
// Vexa_math1 that converts to integers, indexes or loops. Run under the
// sanitizers, this shows that none of them has undefined behaviour; the
// documented values are checked where they are fixed.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "foundation/Vexa_math1.h"

namespace vexa {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kSpecials[] = {kNaN, kInf, -kInf, 1e300, -1e300, 1.7976931348623157e308,
                            5e-324, -0.0, 2147483648.0, -2147483649.0};
const int32_t kIntLimits[] = {INT32_MIN, INT32_MIN + 1, -1, 0, 1, INT32_MAX};

TEST(Math1Extremes, NumberTextOfSpecialValues) {
  for (const double x : kSpecials) {
    for (const int32_t width : kIntLimits) {
      if (width > 100) continue;  // a huge width is a huge text, not a fault
      for (const int32_t decimals : {-2, -1, 0, 3}) (void)strf(x, width, decimals);
      (void)MakeEFormat(x, width, 4);
    }
    for (const int32_t digits : kIntLimits) (void)EEngStr(x, digits);
    for (const int32_t decimals : kIntLimits) {
      for (const TDegreeFormat f : {dfDecDeg, dfDegMin, dfDegMinSec, dfPlain}) {
        (void)DegreeToStr(x, f, decimals);
      }
    }
  }
  EXPECT_EQ(EEngStr(kNaN, 3), "NAN");
  EXPECT_EQ(DegreeToStr(kInf, dfDegMinSec, 2), "INF");
  EXPECT_EQ(MakeEFormat(-kInf, 8, 4), "    -INF");
  EXPECT_EQ(DegreeToStr(1.7976931348623157e308, dfDegMin, 8).back(), '\'');
  for (const int32_t v : kIntLimits) {
    for (const int32_t digits : kIntLimits) {
      (void)Hex(v, digits);
      (void)Octal(v, digits);
      (void)Bin(v, digits);
      (void)Decimal(v, digits);
    }
    (void)Roman(v);
  }
  int32_t d = INT32_MAX, m = INT32_MAX, s = INT32_MAX;
  RoundDegrees(d, m, s, false);
  EXPECT_EQ(d, 360);
}

TEST(Math1Extremes, RoundingInterpolationAndGeometry) {
  const std::vector<double> table = {1, 2, 3};
  const TDouble2DArray pivots = {{0, 1, 2}, {5, 6, 7}};
  for (const double x : kSpecials) {
    (void)Round125(x);
    (void)RoundPos125(x);
    (void)RoundNeg125(x);
    (void)RoundLimit(x, INT64_MIN, INT64_MAX);
    (void)IntPos(x);
    (void)IntNeg(x);
    for (const int32_t ticks : kIntLimits) {
      long double first = 0, distance = 0;
      uint16_t minor = 0;
      CalcScalePars(ticks, x, 0, first, distance, minor);
      CalcScalePars(ticks, 0, x, first, distance, minor);
    }
    (void)InterpolTable(x, 0, 1, table);
    (void)InterpolTable(0.5, x, 1, table);
    if (x != 0) (void)InterpolTable(0.5, 0, x, table);  // Low = High raises
    (void)InterpolXYTable(x, pivots, true);
    double offset = 0;
    (void)HistoBinRef(x, 0, 1, offset);
    (void)HistoBinRef(1, x, 1e-300, offset);
    TPointDouble nearest;
    (void)DistFromEllipse({x, 1}, 0, 0, x, 2, nearest);
    (void)DistFromEllipse({1, 1}, 0, 0, 3, x, nearest);
    (void)GreatestCommonDivisor(x, 1.5, 3);
    (void)GreatestCommonDivisor(1e300, x, 12);
    (void)modr(x, 3);
    (void)modr(3, x);
    (void)Squash(x, 0, 1, 1);
    (void)CanonicalAngleRadians(x);
    (void)AngleToXAxis(x, 1);
  }
  for (const int32_t a : kIntLimits) {
    for (const int32_t b : kIntLimits) {
      (void)DistFromRect(TPoint{a, b}, TRect{b, a, a, b});
      (void)GreatestCommonDivisor(a, b);
      (void)ProductConsecInts(a, b);
      int32_t n = a, den = b;
      CancelFraction(n, den);
    }
    (void)IsPrime(a);
    (void)FindPrimeFactors(a);
    (void)ListOfPrimes(a);
    (void)DecodeBit(a);
    (void)DecodeLong(a);
    (void)EncodeLong(a);
    (void)LongRand(a);
    std::vector<double> v = {3, 1, 2};
    (void)QuickSelect(v, a, a, a);
    (void)QuickSelect(v, a, INT32_MIN, a, 1.0);
    InsertIntoArray(v, 0.0, a);
  }
  EXPECT_EQ(IntPos(kNaN), 0);
  EXPECT_EQ(IntNeg(-kInf), INT64_MIN);
  EXPECT_EQ(RoundLimit(kNaN, 3, 1), 1);
  double offset = 0;
  EXPECT_EQ(HistoBinRef(kInf, 0, 1, offset), INT32_MAX);
  EXPECT_EQ(HistoBinRef(-1e300, 0, 1, offset), INT32_MIN);
}

}  // namespace
}  // namespace vexa
