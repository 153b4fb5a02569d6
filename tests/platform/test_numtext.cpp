#include "platform/Vexa_numtext.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>

#include "platform/Vexa_exceptions.h"

namespace vexa {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Restores the decimal separator when a test changed it.
class NumTextTest : public ::testing::Test {
protected:
  void TearDown() override { SetDecimalSeparator('.'); }
};

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// ---------------------------------------------------------------- formatting

TEST_F(NumTextTest, FormatRealExponentNotation) {
  struct Case {
    long double x;
    int32_t width;
    std::string expected;
  };
  // Digits from exact decimal expansions (Python's decimal module).
  const Case cases[] = {
      {1234.5L, 14, " 1.23450E+0003"},
      {-1234.5L, 13, "-1.2345E+0003"},
      {1234.5L, 12, " 1.234E+0003"},  // exact tie: to the even digit
      {0.0L, 13, " 0.0000E+0000"},
      {-0.0L, 13, " 0.0000E+0000"},
      {0.1, 26, " 1.00000000000000006E-0001"},   // the double 0.1, 18 digits
      {0.1L, 26, " 1.00000000000000000E-0001"},  // the extended 0.1
      {0.1L, 30, "     1.00000000000000000E-0001"},  // at most 18 digits, padded
      {9.99996L, 12, " 1.000E+0001"},                 // rounding carries into the exponent
      {1e-300L, 10, " 1.0E-0300"},
      {1.5e4000L, 10, " 1.5E+4000"},
      {-2.0L, 5, "-2.0E+0000"},  // too narrow: at least one decimal, not cut
      {2.0L, INT32_MIN, " 2.0E+0000"},
      {2.0L, INT32_MAX, std::string(4070, ' ') + " 2.00000000000000000E+0000"},  // width capped at 4096
  };
  for (const Case& c : cases) EXPECT_EQ(FormatReal(c.x, c.width, -1), c.expected) << c.width;
  EXPECT_EQ(FormatReal(1234.5L, 14, -7), " 1.23450E+0003");  // any negative count
}

TEST_F(NumTextTest, FormatRealFixedAndSpecials) {
  EXPECT_EQ(FormatReal(3.14159L, 10, 3), "     3.142");
  EXPECT_EQ(FormatReal(2.5L, 1, 0), "2");
  EXPECT_EQ(FormatReal(-1.005, 1, 2), "-1.00");  // the double is 1.00499999...
  EXPECT_EQ(FormatReal(1e20L, 1, 1), "100000000000000000000.0");
  EXPECT_EQ(FormatReal(-0.0L, 6, 2), "  0.00");
  EXPECT_EQ(FormatReal(-7.25L, 0, 2), "-7.25");
  EXPECT_EQ(FormatReal(kNaN, 5, 2), "  Nan");
  EXPECT_EQ(FormatReal(kInf, 1, -1), "+Inf");
  EXPECT_EQ(FormatReal(-kInf, 6, 3), "  -Inf");
}

TEST_F(NumTextTest, FormatGeneralMatchesPrintf) {
  // Reference: glibc's printf "%*.*Lg" in the C locale.
  const long double values[] = {0.0L, 1234.5L, -0.000123456L, 1e-10L, 123456789.0L, 1e300L, 0.1L, 100.0L, 5e-324L};
  for (long double x : values) {
    for (int32_t precision : {1, 3, 6, 15, 17, 21}) {
      for (int32_t width : {1, 12}) {
        char reference[128];
        std::snprintf(reference, sizeof reference, "%*.*Lg", width, precision, x);
        EXPECT_EQ(FormatGeneral(x, precision, width), reference) << precision << " " << width;
      }
    }
  }
  EXPECT_EQ(FormatGeneral(1234.5L, 0), "1e+03");    // precision 0 counts as 1
  EXPECT_EQ(FormatGeneral(1234.5L, -1), "1234.5");  // negative counts as 6
}

TEST_F(NumTextTest, FloatToStrFFormats) {
  struct Case {
    long double x;
    TFloatFormat format;
    int32_t precision, digits;
    const char* expected;
  };
  const Case cases[] = {
      {0, ffGeneral, 15, 0, "0"},
      {1e15L, ffGeneral, 15, 0, "1E15"},
      {1.5e-5L, ffGeneral, 15, 0, "1.5E-5"},
      {1e-4L, ffGeneral, 15, 0, "0.0001"},
      {1234.5678L, ffGeneral, 15, 0, "1234.5678"},
      {123456789012345678.0L, ffGeneral, 15, 0, "1.23456789012346E17"},
      {-0.001L, ffGeneral, 15, 0, "-0.001"},
      {2.5e-7L, ffGeneral, 15, 3, "2.5E-007"},
      {1234.5678L, ffExponent, 4, 2, "1.235E+03"},
      {-1234.5678L, ffExponent, 4, 4, "-1.235E+0003"},
      {0.00012L, ffExponent, 3, 0, "1.20E-4"},
      {1234.5678L, ffFixed, 15, 2, "1234.57"},
      {1.23456789L, ffFixed, 3, 5, "1.23000"},  // rounded to 3 significant digits first
      {-0.001L, ffFixed, 15, 2, "0.00"},
      {1e20L, ffFixed, 15, 2, "1E20"},
      {1234567.891L, ffNumber, 15, 2, "1,234,567.89"},
      {-999.5L, ffNumber, 15, 0, "-1,000"},
      {1e20L, ffNumber, 15, 2, "1E20"},
  };
  for (const Case& c : cases) EXPECT_EQ(FloatToStrF(c.x, c.format, c.precision, c.digits), c.expected) << c.expected;
  EXPECT_EQ(FloatToStr(kNaN), "NAN");
  EXPECT_EQ(FloatToStr(-kInf), "-INF");
  EXPECT_EQ(FloatToStr(0.1), "0.1");
  EXPECT_EQ(IntToStr(std::numeric_limits<int64_t>::min()), "-9223372036854775808");
}

TEST_F(NumTextTest, FloatToStrFUsesTheSystemSeparator) {
  SetDecimalSeparator(',');
  EXPECT_EQ(FloatToStrF(1234.5678L, ffNumber, 15, 2), "1.234,57");
  EXPECT_EQ(FloatToStrF(1.5e-5L, ffGeneral, 15, 0), "1,5E-5");
  EXPECT_EQ(FloatToStr(0.25L), "0,25");
  EXPECT_EQ(FormatReal(0.25L, 1, 2), "0.25");  // the platform's Str always uses '.'
}

// ---------------------------------------------------------------- parsing

TEST_F(NumTextTest, TryStrToFloatIsCorrectlyRounded) {
  struct Case {
    const char* text;
    double expected;  // Python's float(), which rounds correctly
  };
  const Case cases[] = {
      {"0.1", 0.1},
      {"1.5E+0003", 1500.0},
      {" -2.5 ", -2.5},
      {"1.", 1.0},
      {".5", 0.5},
      {"+.5e-3", 0.0005},
      {"9007199254740993", 9007199254740992.0},  // tie to even
      {"2.2250738585072011e-308", 2.225073858507201e-308},
      {"1e23", 1e23},
      {"1.7976931348623157e308", DBL_MAX},
      {"2.4703282292062328e-324", 5e-324},
      {"2.4703282292062327e-324", 0.0},  // below half the smallest subnormal
      {"1e-400", 0.0},
      {"0e999999999999999999", 0.0},
      {"000000000000000000000000000123.4500000000000000000000000000", 123.45},
  };
  for (const Case& c : cases) {
    double value = -99;
    EXPECT_TRUE(TryStrToFloat(c.text, value)) << c.text;
    EXPECT_TRUE(SameBits(value, c.expected)) << c.text << " gave " << value;
  }
  double negativeZero = 1;
  ASSERT_TRUE(TryStrToFloat("-1e-5000", negativeZero));
  EXPECT_TRUE(SameBits(negativeZero, -0.0));
}

TEST_F(NumTextTest, TryStrToFloatRejectsInvalidText) {
  const char* invalid[] = {"",     "   ",  "abc",  "1e",  "+",    "-",   ".",     "1.2.3", "1e+",    "1 2",
                           "inf",  "nan",  "0x10", "1,5", "--1",  "1e400", "1.8e308", "e5",  "1.5E+0003x",
                           "1e99999999999999999999"};
  for (const char* text : invalid) {
    double value = 7.5;
    EXPECT_FALSE(TryStrToFloat(text, value)) << text;
    EXPECT_EQ(value, 7.5) << text;
  }
  long double wide = 1;
  EXPECT_FALSE(TryStrToFloat("1.2e4933", wide));
  EXPECT_EQ(wide, 1);
}

TEST_F(NumTextTest, TryStrToFloatLongDoubleIsCorrectlyRounded) {
  // Nearest 64-bit-mantissa values, worked out with Python's fractions.
  struct Case {
    const char* text;
    long double expected;
  };
  const Case cases[] = {
      {"0.1", 0xCCCCCCCCCCCCCCCDp-67L},
      {"3.14159265358979323846264338327950288", 0xC90FDAA22168C235p-62L},
      {"1e-4000", 0x9C3D73864F3805C0p-13351L},
      {"1.18973149535723176502e4932", 0xFFFFFFFFFFFFFFFFp16320L},
      {"123456789012345678901234567890", 0xC77487FB61B9F077p33L},
  };
  for (const Case& c : cases) {
    long double value = 0;
    EXPECT_TRUE(TryStrToFloat(c.text, value)) << c.text;
    EXPECT_EQ(value, c.expected) << c.text;
  }
}

TEST_F(NumTextTest, DecimalSeparatorSettingAndOverloads) {
  double value = 0;
  SetDecimalSeparator(',');
  EXPECT_TRUE(TryStrToFloat("1,5", value));
  EXPECT_EQ(value, 1.5);
  EXPECT_FALSE(TryStrToFloat("2.5", value));
  EXPECT_TRUE(TryStrToFloat("2.5", value, '.'));  // explicit separator wins
  EXPECT_EQ(value, 2.5);
  SetDecimalSeparator('.');
  long double wide = 0;
  EXPECT_TRUE(TryStrToFloat("-3,25e1", wide, ','));
  EXPECT_EQ(wide, -32.5L);
  EXPECT_EQ(StrToFloat("6.25"), 6.25);
  try {
    StrToFloat("x1");
    FAIL() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'x1' is not a valid floating point value");
  }
}

TEST_F(NumTextTest, FormattedDoublesParseBackExactly) {
  // 17 significant digits identify every double.
  std::vector<double> values = {0.0,     -0.0,    0.1,        1.0 / 3,   DBL_MIN,  DBL_MAX, -DBL_MAX,
                                5e-324,  3 * 5e-324, DBL_EPSILON, 1e22,   1e23,     2.5,     9007199254740993.0,
                                123.456, -1e-300, 0.30000000000000004};
  std::mt19937_64 bits(20240611);
  while (values.size() < 20000) {
    const uint64_t pattern = bits();
    double x;
    std::memcpy(&x, &pattern, sizeof x);
    if (std::isfinite(x)) values.push_back(x);
  }
  for (double x : values) {
    double fromExponent = 0, fromGeneral = 0, fromFloatToStr = 0;
    ASSERT_TRUE(TryStrToFloat(FormatReal(x, 25, -1), fromExponent)) << FormatReal(x, 25, -1);
    ASSERT_TRUE(TryStrToFloat(FormatGeneral(x, 17), fromGeneral));
    ASSERT_TRUE(TryStrToFloat(FloatToStrF(x, ffExponent, 17, 0), fromFloatToStr));
    // FormatReal and FloatToStrF write no sign for a negative zero.
    EXPECT_TRUE(x == 0 ? fromExponent == 0 : SameBits(fromExponent, x)) << FormatReal(x, 25, -1);
    EXPECT_TRUE(SameBits(fromGeneral, x)) << FormatGeneral(x, 17);
    EXPECT_TRUE(x == 0 ? fromFloatToStr == 0 : SameBits(fromFloatToStr, x)) << FloatToStrF(x, ffExponent, 17, 0);
  }
}

TEST_F(NumTextTest, FormattedLongDoublesParseBackExactly) {
  // 21 significant digits identify every 64-bit-mantissa value.
  std::mt19937_64 bits(77);
  std::uniform_int_distribution<int> exponent(-16000, 16000);
  for (int i = 0; i < 5000; ++i) {
    const long double mantissa = static_cast<long double>(bits() | (1ull << 63)) * 0x1p-64L;
    const long double x = std::ldexp(i % 2 ? -mantissa : mantissa, exponent(bits));
    long double parsed = 0;
    ASSERT_TRUE(TryStrToFloat(FormatGeneral(x, 21), parsed)) << FormatGeneral(x, 21);
    EXPECT_EQ(parsed, x) << FormatGeneral(x, 21);
  }
}

TEST_F(NumTextTest, StringToInteger) {
  struct Case {
    const char* text;
    bool valid;
    int32_t expected;
  };
  const Case cases[] = {
      {"0", true, 0},
      {"  12", true, 12},
      {"+7", true, 7},
      {"-2147483648", true, INT32_MIN},
      {"2147483647", true, INT32_MAX},
      {"2147483648", false, 0},
      {"-2147483649", false, 0},
      {"99999999999999999999999", false, 0},
      {"$ff", true, 255},
      {"0x7FFFFFFF", true, INT32_MAX},
      {"-$10", true, -16},
      {"$FFFFFFFF", false, 0},
      {"12 ", false, 0},
      {"", false, 0},
      {"-", false, 0},
      {"$", false, 0},
      {"0x", false, 0},
      {"--1", false, 0},
      {"+-1", false, 0},
      {"1.0", false, 0},
      {"1e3", false, 0},
      {"12a", false, 0},
  };
  for (const Case& c : cases) {
    int32_t value = 4321;
    EXPECT_EQ(TryStrToInt(c.text, value), c.valid) << c.text;
    EXPECT_EQ(value, c.valid ? c.expected : 4321) << c.text;
    EXPECT_EQ(StrToIntDef(c.text, -5), c.valid ? c.expected : -5) << c.text;
  }
  int64_t wide = 0;
  EXPECT_TRUE(TryStrToInt64("-9223372036854775808", wide));
  EXPECT_EQ(wide, INT64_MIN);
  EXPECT_FALSE(TryStrToInt64("9223372036854775808", wide));
  EXPECT_TRUE(TryStrToInt64("$7fffffffffffffff", wide));
  EXPECT_EQ(wide, INT64_MAX);
  try {
    StrToInt("4x");
    FAIL() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'4x' is not a valid integer value");
  }
}

}  // namespace
}  // namespace vexa
