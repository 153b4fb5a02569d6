// Number theory and bits. Expected values were computed with Python
// (math.gcd, math.factorial, sympy.factorint and primerange).

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <numeric>
#include <vector>

#include "foundation/Vexa_errors.h"
#include "foundation/Vexa_math1.h"

namespace vexa {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(Math1NumberTheory, IntegerGcd) {
  const struct {
    int32_t a, b, Expected;
  } cases[] = {
      {12, 18, 6},          {-12, 18, 6},       {12, -18, 6},     {7, 0, 7},
      {0, -7, 7},           {0, 0, 0},          {1234567890, 987654321, 9},
      {INT32_MIN, 6, 2},    {INT32_MIN, INT32_MAX, 1},
      {INT32_MIN, 0, INT32_MIN},                // 2^31 does not fit: documented wrap
      {INT32_MIN, INT32_MIN, INT32_MIN},
  };
  for (const auto& c : cases) EXPECT_EQ(GreatestCommonDivisor(c.a, c.b), c.Expected) << c.a << " " << c.b;
  EXPECT_EQ(GreatestCommonDivisor(std::vector<int32_t>{}), 0);
  EXPECT_EQ(GreatestCommonDivisor(std::vector<int32_t>{-4}), -4);  // a single value as it is
  EXPECT_EQ(GreatestCommonDivisor(std::vector<int32_t>{12, -18, 27}), 3);
}

TEST(Math1NumberTheory, RealGcdReturnsOnEveryInput) {
  EXPECT_NEAR(GreatestCommonDivisor(1.2, 0.8, 6), 0.4, 1e-6);
  EXPECT_NEAR(GreatestCommonDivisor(-7.5, 2.5, 3), 2.5, 1e-9);
  EXPECT_EQ(GreatestCommonDivisor(5.0, 0.0, 3), 5.0);
  EXPECT_EQ(GreatestCommonDivisor(3.0, 0.5, -4), 3.0);  // tolerance 1: 0.5 counts as 0
  // Inputs that made the textbook loop run for ever.
  EXPECT_TRUE(std::isnan(GreatestCommonDivisor(kNaN, 1.0, 3)));
  EXPECT_TRUE(std::isnan(GreatestCommonDivisor(1.0, kInf, 3)));
  EXPECT_TRUE(std::isnan(GreatestCommonDivisor(-kInf, kNaN, 3)));
  const double huge = GreatestCommonDivisor(1.7e308, 1.1e-12, 12);  // a/b overflows
  EXPECT_TRUE(std::isfinite(huge));
  EXPECT_TRUE(std::isfinite(GreatestCommonDivisor(1e300, 3e-12, 100)));
  EXPECT_EQ(GreatestCommonDivisor(std::vector<double>{}, 3), 0);
  EXPECT_NEAR(GreatestCommonDivisor(std::vector<double>{0.6, 0.9, 1.5}, 6), 0.3, 1e-6);
}

TEST(Math1NumberTheory, Primes) {
  // The table: 4792 primes, the last 46337, sum 104578593, the 1000th 7919.
  int64_t sum = 0;
  for (int32_t i = 1; i <= 4792; ++i) sum += ListOfPrimes(i);
  EXPECT_EQ(sum, 104578593);
  EXPECT_EQ(ListOfPrimes(1), 2);
  EXPECT_EQ(ListOfPrimes(1000), 7919);
  EXPECT_EQ(ListOfPrimes(4792), 46337);
  for (const int32_t ix : {0, -1, 4793, INT32_MIN, INT32_MAX}) EXPECT_EQ(ListOfPrimes(ix), 0);

  const struct {
    int32_t n;
    bool Prime;
  } cases[] = {{-1, true}, {0, true},  {1, true},  {2, true},  {4, false}, {-7, true},
               {2147483647, true}, {2147483629, true}, {2147483646, false},
               {2147117569, false},  // 46337²
               {INT32_MIN, false},   {-2147483647, true}};
  for (const auto& c : cases) EXPECT_EQ(IsPrime(c.n), c.Prime) << c.n;

  const struct {
    int32_t n;
    TIntArray Factors;
  } factors[] = {{2147483646, {2, 3, 3, 7, 11, 31, 151, 331}},
                 {2147483647, {2147483647}},
                 {600851475, {3, 3, 5, 5, 7, 7, 54499}},
                 {2147117569, {46337, 46337}},
                 {1073741824, TIntArray(30, 2)},
                 {2147395600, {2, 2, 2, 2, 5, 5, 7, 7, 331, 331}},
                 {1, {}},
                 {0, {}},
                 {INT32_MIN, {}}};
  for (const auto& f : factors) EXPECT_EQ(FindPrimeFactors(f.n), f.Factors) << f.n;
}

TEST(Math1NumberTheory, CancelFraction) {
  const struct {
    int32_t n, d, ExpN, ExpD;
  } cases[] = {
      {6, 8, 3, 4},   {-6, 8, -3, 4},  {6, -8, 3, -4},  {0, 8, 0, 8},  {8, 0, 8, 0},
      {2147483647, 2147483646, 2147483647, 2147483646},  // large co-prime pair, fast
      {INT32_MIN, 2, -1073741824, 1},  {INT32_MIN, INT32_MIN, -1, -1},
      {INT32_MIN, 2147483647, INT32_MIN, 2147483647},
  };
  for (const auto& c : cases) {
    int32_t n = c.n, d = c.d;
    CancelFraction(n, d);
    EXPECT_EQ(n, c.ExpN) << c.n << "/" << c.d;
    EXPECT_EQ(d, c.ExpD) << c.n << "/" << c.d;
  }
}

TEST(Math1NumberTheory, FactorialAndProducts) {
  EXPECT_EQ(Factorial(0), 1);
  EXPECT_EQ(Factorial(1), 1);
  EXPECT_EQ(Factorial(20), 2432902008176640000.0);
  // 170! = 7.257415615307998967...e306: the double product is within a few ulps.
  EXPECT_NEAR(Factorial(170), 7.257415615307999e306, 1e-13 * 7.257415615307999e306);
  EXPECT_EQ(Factorial(171), kInf);
  EXPECT_EQ(Factorial(1000), kInf);
  const struct {
    int32_t n;
    const char* Message;
  } errors[] = {{-1, "Factorial: negative argument"}, {INT32_MIN, "Factorial: negative argument"},
                {1001, "Factorial: argument too big"}, {INT32_MAX, "Factorial: argument too big"}};
  for (const auto& e : errors) {
    try {
      (void)Factorial(e.n);
      ADD_FAILURE() << e.n;
    } catch (const EVexaMath1Error& x) {
      EXPECT_EQ(x.Message(), e.Message);
    }
  }

  const struct {
    int32_t a, b;
    int64_t Expected;
  } products[] = {{3, 5, 60},   {5, 3, 60},    {0, 7, 0},     {-1, 2, -2},   {1, 30, -1},
                  {1, 20, 2432902008176640000},  {1, 21, -1},  {4, 4, 4},
                  {INT32_MAX, INT32_MAX, INT32_MAX},  {INT32_MAX - 1, INT32_MAX, 4611686011984936962},
                  {1, INT32_MAX, -1},  {INT32_MIN, INT32_MAX, -2}, {2147483645, INT32_MAX, -1}};
  for (const auto& p : products) EXPECT_EQ(ProductConsecInts(p.a, p.b), p.Expected) << p.a << " " << p.b;

  EXPECT_DOUBLE_EQ(modr(7.5, 2), 1.5);
  EXPECT_DOUBLE_EQ(modr(-7.5, 2), -1.5);
  EXPECT_DOUBLE_EQ(modr(7.5, -2), 1.5);
  EXPECT_EQ(modr(1, 0.1), 0);  // 1/0.1 is exactly 10 in doubles
  EXPECT_TRUE(std::isnan(modr(1, 0)));
  EXPECT_TRUE(std::isnan(modr(kInf, 2)));
}

TEST(Math1Bits, BitsAndBytes) {
  EXPECT_TRUE(CheckPowerOfTwo(0));
  EXPECT_TRUE(CheckPowerOfTwo(1));
  EXPECT_TRUE(CheckPowerOfTwo(0x80000000u));
  EXPECT_FALSE(CheckPowerOfTwo(6));
  EXPECT_FALSE(CheckPowerOfTwo(0xFFFFFFFFu));
  for (uint32_t b = 0; b < 256; ++b) {
    EXPECT_EQ(CountBits(static_cast<uint8_t>(b)), std::popcount(b));
    EXPECT_EQ(BitReversal(BitReversal(static_cast<uint8_t>(b))), b);
  }
  EXPECT_EQ(BitReversal(1), 128);
  EXPECT_EQ(BitReversal(6), 96);
  EXPECT_EQ(BitReversal(0xF0), 0x0F);
  EXPECT_EQ(BitReversal(0x5A), 0x5A);
  EXPECT_EQ(GrayCode(0), 0);
  EXPECT_EQ(GrayCode(7), 4);
  EXPECT_EQ(GrayCode(0xFFFF), 0x8000);
  const struct {
    int32_t n, Bit, Long;
  } decode[] = {{0, 1, 1}, {7, 128, 128}, {8, 0, 256}, {31, 0, INT32_MIN}, {32, 0, 0},
                {-1, 0, 0}, {INT32_MIN, 0, 0}, {INT32_MAX, 0, 0}};
  for (const auto& d : decode) {
    EXPECT_EQ(DecodeBit(d.n), d.Bit) << d.n;
    EXPECT_EQ(DecodeLong(d.n), d.Long) << d.n;
  }
  EXPECT_EQ(EncodeLong(0), 31);
  EXPECT_EQ(EncodeLong(1), 0);
  EXPECT_EQ(EncodeLong(12), 2);
  EXPECT_EQ(EncodeLong(INT32_MIN), 31);
  EXPECT_EQ(ConvertEndian(int32_t{0x12345678}), 0x78563412);
  EXPECT_EQ(ConvertEndian(uint16_t{0x1234}), 0x3412);
  EXPECT_EQ(ConvertEndian(ConvertEndian(1.0)), 1.0);
  EXPECT_EQ(ConvertEndian(1.0), std::bit_cast<double>(uint64_t{0x000000000000F03F}));
  EXPECT_EQ(ConvertEndian(1.5f), std::bit_cast<float>(uint32_t{0x0000C03F}));
}

}  // namespace
}  // namespace vexa
