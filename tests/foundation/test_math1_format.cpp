// Number text of Vexa_math1. Expected strings were computed with Python's
// correctly rounded formatting (format(x, ".Ne") / ".Nf", round half to even
// on the exact binary value), independently of the C++ code.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "foundation/Vexa_errors.h"
#include "foundation/Vexa_math1.h"

namespace vexa {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(Math1Format, MakeEFormatRoundsTiesToEvenAndCarriesIntoTheExponent) {
  struct Case {
    double Value;
    int32_t Width;
    int32_t Decimals;
    const char* Expected;
  };
  const Case cases[] = {
      {1234.56, 12, 4, "  0.1235E+04"},
      {9.99996, 12, 4, "  0.1000E+02"},   // carry moves the exponent
      {1e100, 12, 4, " 0.1000E+101"},     // three exponent digits
      {-1e-100, 8, 4, "-0.1000E-99"},     // longer than Width: unpadded
      {0.125, 10, 2, "  0.12E+00"},       // exact tie: to even
      {0.375, 10, 2, "  0.38E+00"},
      {-2.5e-5, 14, 6, " -0.250000E-04"},
      {1.7976931348623157e308, 25, 15, "   0.179769313486232E+309"},
      {5e-324, 12, 3, "  0.494E-323"},
      {0.0, 12, 4, "  0.0000E+00"},
      {1.0, 5, 1, " 0.10E+01"},           // Width 8 and Decimals 2 at least
      {123456789.0, 50, 20, "                   0.123456789000000E+09"},  // at most 40 / 15
      {kNaN, 10, 4, "       NAN"},
      {kInf, 10, 4, "       INF"},
      {-kInf, 10, 4, "      -INF"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MakeEFormat(c.Value, c.Width, c.Decimals), c.Expected) << c.Value;
  }
}

TEST(Math1Format, StrfExponentFormHasTwoExponentDigitsOrStars) {
  EXPECT_EQ(strf(1234.5, 10, -2), " 1.234E+03");  // tie 1.2345 -> 1.234
  EXPECT_EQ(strf(-0.000125, 11, -2), "-1.2500E-04");
  EXPECT_EQ(strf(1e200, 10, -2), "**********");   // needs three exponent digits
  EXPECT_EQ(strf(3.14159, 8, 3), "   3.142");
  EXPECT_EQ(strf(kNaN, 5, 2), "  NAN");
  EXPECT_EQ(strf(-kInf, 1, -2), "-INF");
}

TEST(Math1Format, EEngStrUsesPrefixLetters) {
  struct Case {
    double Value;
    int32_t Digits;
    const char* Expected;
  };
  const Case cases[] = {
      {4700, 2, "4.7k"},        {4700, -2, "4k7"},         {1000, 3, "1.00k"},
      {0.00123, 3, "1.23m"},    {0, 3, "0.00"},            {-0.00123, -3, "-1m23"},
      {999.6, 2, "1000"},       {1e-20, 3, "0.0100a"},    {2.5e15, 4, "2500T"},
      {123456, 1, "123k"},      {0.5, 9, "500.000000m"},   {-1.5e-7, -4, "-150n0"},
      {0.0015, 2, "1.5m"},      {0.5, 99, "500.000000m"},  // Digits limited to 9
      {kNaN, 3, "NAN"},         {-kInf, 3, "-INF"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EEngStr(c.Value, c.Digits), c.Expected) << c.Value << " " << c.Digits;
  }
  const std::string huge = EEngStr(1e300, 2);  // beyond the prefixes: keeps "T"
  EXPECT_EQ(huge.back(), 'T');
}

TEST(Math1Format, DegreeToStrForms) {
  struct Case {
    double Value;
    TDegreeFormat Format;
    int32_t Decimals;
    const char* Expected;
  };
  const Case cases[] = {
      {-0.5, dfDegMin, 1, "-0\xC2\xB0 30.0'"},
      {12.5, dfDecDeg, 2, "12.50\xC2\xB0"},
      {12.5, dfPlain, 2, "12.50"},
      {12.508333333333333, dfDegMinSec, 1, "12\xC2\xB0 30' 30.0\""},
      {-12.508333333333333, dfDegMinSec, 1, "-12\xC2\xB0 30' 30.0\""},
      {10.99999999, dfDegMin, 0, "11\xC2\xB0   0'"},     // rounds up to whole degrees
      {10.9999999, dfDegMinSec, 2, "11\xC2\xB0  0'  0.00\""},
      {0.0125, dfDegMinSec, 0, "0\xC2\xB0  0'  45\""},
      {1.25, dfDegMin, 12, "1\xC2\xB0 15.00000000'"},    // Decimals limited to 8
      {kNaN, dfDegMin, 1, "NAN"},
      {-kInf, dfDecDeg, 1, "-INF"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DegreeToStr(c.Value, c.Format, c.Decimals), c.Expected) << c.Value;
  }
  // Huge values write whole degrees only and do not overflow.
  EXPECT_EQ(DegreeToStr(1e20, dfDegMinSec, 0), "100000000000000000000\xC2\xB0  0'   0\"");
}

TEST(Math1Format, ConvertDegreesRoundTripsNegativeAnglesInAllDirections) {
  // (−10°, 30') is −10.5°: the sign of the degrees applies to the minutes.
  const struct {
    TDegreeFormat From, To;
  } directions[] = {{dfDecDeg, dfDegMin}, {dfDegMin, dfDecDeg}, {dfDecDeg, dfDegMinSec},
                    {dfDegMinSec, dfDecDeg}, {dfDegMin, dfDegMinSec}, {dfDegMinSec, dfDegMin}};
  for (const double angle : {-10.5125, -0.5125, 10.5125}) {
    // The same angle in all three notations (exact binary fractions here).
    const double whole = std::trunc(angle);
    const double triple[3][3] = {{angle, 0, 0}, {whole, 30.75, 0}, {whole, 30, 45}};
    for (const auto& d : directions) {
      double deg = triple[d.From][0];
      double min = triple[d.From][1];
      double sec = triple[d.From][2];
      if (angle > -1 && angle < 0 && d.From != dfDecDeg) deg = -0.0;  // the sign of −0°
      ConvertDegrees(deg, min, sec, d.From, d.To);
      double expectDeg = triple[d.To][0];
      if (angle > -1 && angle < 0 && d.To != dfDecDeg) expectDeg = -0.0;
      EXPECT_NEAR(deg, expectDeg, 1e-12) << angle << " " << int(d.From) << "->" << int(d.To);
      EXPECT_EQ(std::signbit(deg), std::signbit(expectDeg));
      EXPECT_NEAR(min, triple[d.To][1], 1e-9);
      EXPECT_NEAR(sec, triple[d.To][2], 1e-9);
    }
  }
  double deg = 5, min = 30.5, sec = 0;
  ConvertDegrees(deg, min, sec, dfDegMin, dfDegMinSec);
  EXPECT_EQ(min, 30);
  EXPECT_EQ(sec, 30);
}

TEST(Math1Format, ConvertDegreesRejectsMinutesAndSecondsOutOfRange) {
  const struct {
    double Min, Sec;
    const char* Message;
  } cases[] = {{61, 0, "ConvertDegrees: invalid range of minutes"},
               {-1, 0, "ConvertDegrees: invalid range of minutes"},
               {kNaN, 0, "ConvertDegrees: invalid range of minutes"},
               {0, 60.5, "ConvertDegrees: invalid range of seconds"},
               {0, kNaN, "ConvertDegrees: invalid range of seconds"}};
  for (const auto& c : cases) {
    double deg = 1, min = c.Min, sec = c.Sec;
    try {
      ConvertDegrees(deg, min, sec, dfDegMinSec, dfDecDeg);
      ADD_FAILURE() << "no error for " << c.Min << " " << c.Sec;
    } catch (const EVexaMath1Error& e) {
      EXPECT_EQ(e.Message(), c.Message);
    }
  }
  // Plain format: nothing changes after the check.
  double deg = 1.5, min = 60, sec = 60;
  ConvertDegrees(deg, min, sec, dfPlain, dfDecDeg);
  EXPECT_EQ(deg, 1.5);
  EXPECT_EQ(min, 60);
}

TEST(Math1Format, RoundDegreesPicksNiceSteps) {
  const struct {
    int32_t Deg, Min, Sec;
    bool Up;
    int32_t ExpDeg, ExpMin, ExpSec;
  } cases[] = {
      {0, 25, 0, true, 0, 30, 0},    {0, 45, 0, true, 1, 0, 0},   {0, 25, 0, false, 0, 20, 0},
      {0, 30, 0, true, 0, 30, 0},    {0, 0, 40, true, 0, 1, 0}, {0, 0, 4, false, 0, 0, 3},
      {0, 0, 0, true, 0, 0, 0},      {7, 10, 0, true, 10, 0, 0},  {7, 10, 0, false, 5, 0, 0},
      {400, 0, 0, true, 360, 0, 0},  {1, 0, 1, true, 2, 0, 0},    {1, 0, 0, false, 1, 0, 0},
      {-1, 5, 5, true, 0, 0, 0},     {0, 99, 0, false, 0, 30, 0}, {INT32_MAX, 99, 99, true, 360, 0, 0},
  };
  for (const auto& c : cases) {
    int32_t d = c.Deg, m = c.Min, s = c.Sec;
    RoundDegrees(d, m, s, c.Up);
    EXPECT_EQ(d, c.ExpDeg) << c.Deg << " " << c.Min << " " << c.Sec << " " << c.Up;
    EXPECT_EQ(m, c.ExpMin) << c.Deg << " " << c.Min << " " << c.Sec << " " << c.Up;
    EXPECT_EQ(s, c.ExpSec) << c.Deg << " " << c.Min << " " << c.Sec << " " << c.Up;
  }
}

TEST(Math1Format, DigitStrings) {
  EXPECT_EQ(Hex(255, 4), "00FF");
  EXPECT_EQ(Hex(-1, 8), "FFFFFFFF");
  EXPECT_EQ(Hex(-1, 10), "00FFFFFFFF");
  EXPECT_EQ(Hex(0x12345678, 2), "78");
  EXPECT_EQ(Hex(1, 99), std::string(15, '0') + "1");
  EXPECT_EQ(Octal(INT32_MIN, 11), "20000000000");
  EXPECT_EQ(Octal(8, 0), "0");
  EXPECT_EQ(Bin(5, 0), "1");
  EXPECT_EQ(Bin(5, 4), "0101");
  EXPECT_EQ(Bin(-1, 40), std::string(32, '1'));
  EXPECT_EQ(Decimal(-42, 5), "-00042");
  EXPECT_EQ(Decimal(INT32_MIN, 12), "-002147483648");
  EXPECT_EQ(Decimal(12345, 3), "345");
  EXPECT_EQ(Decimal(7, 0), "7");
  EXPECT_EQ(Decimal(7, -5), "7");
}

TEST(Math1Format, IeeePatterns) {
  EXPECT_EQ(FPNumToHex(1.0), "3FF0000000000000");
  EXPECT_EQ(FPNumToHex(-2.5), "C004000000000000");
  EXPECT_EQ(FPNumToHex(1.0f), "3F800000");
  EXPECT_EQ(HexToDouble("3ff0000000000000"), 1.0);
  EXPECT_EQ(HexToDouble("000000000000F03F", false), 1.0);
  EXPECT_EQ(HexToSingle("3F800000"), 1.0f);
  EXPECT_EQ(HexToSingle("0000803f", false), 1.0f);
  for (const double x : {0.1, -1e300, 5e-324, kInf}) EXPECT_EQ(HexToDouble(FPNumToHex(x)), x);

  const struct {
    const char* Text;
    bool Single;
  } bad[] = {{"3FF000000000000", false}, {"3FF00000000000000", false}, {"3FF000000000000G", false},
             {"", false}, {"3F80000", true}, {"3F80000x", true}, {"3F80 000", true}};
  for (const auto& b : bad) {
    const std::string routine = b.Single ? "HexToSingle" : "HexToDouble";
    try {
      if (b.Single) {
        (void)HexToSingle(b.Text);
      } else {
        (void)HexToDouble(b.Text, false);
      }
      ADD_FAILURE() << b.Text;
    } catch (const EVexaMath1Error&) {
      ADD_FAILURE() << "wrong class for " << b.Text;
    } catch (const EVexaError& e) {
      EXPECT_EQ(e.Message(), routine + ": invalid hex string \"" + b.Text + "\"");
    }
  }
}

TEST(Math1Format, RomanAndStrToIntDefault) {
  EXPECT_EQ(Roman(1994), "MCMXCIV");
  EXPECT_EQ(Roman(4000), "MMMM");
  EXPECT_EQ(Roman(3888), "MMMDCCCLXXXVIII");
  EXPECT_EQ(Roman(29999), std::string(29, 'M') + "CMXCIX");
  EXPECT_EQ(Roman(0), "");
  EXPECT_EQ(Roman(-5), "");
  EXPECT_EQ(Roman(30000), "");

  EXPECT_EQ(StrToIntDefault("123", 7), 123);
  EXPECT_EQ(StrToIntDefault("-2147483648", 7), INT32_MIN);
  EXPECT_EQ(StrToIntDefault("2147483648", 7), 7);  // overflow
  EXPECT_EQ(StrToIntDefault("", 7), 7);
  EXPECT_EQ(StrToIntDefault("12a", 7), 7);
}

}  // namespace
}  // namespace vexa
