// Text scanners and validators: one contract (1-based position, blanks
// skipped, longest valid prefix, 0 and position unchanged on failure).

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "foundation/Vexa_math1.h"
#include "platform/Vexa_numtext.h"

namespace vexa {
namespace {

struct ScanResult {
  double Value;
  int32_t Pos;
};

using TScanFn = double (*)(const std::string&, int32_t&);

double Hex_(const std::string& s, int32_t& p) { return ScanHex(s, p); }
double Oct_(const std::string& s, int32_t& p) { return ScanOctal(s, p); }
double Bin_(const std::string& s, int32_t& p) { return ScanBin(s, p); }
double Dec_(const std::string& s, int32_t& p) { return ScanDecimal(s, p); }
double Real_(const std::string& s, int32_t& p) { return ScanFPNum(s, true, dpsPoint, p); }
double Deg_(const std::string& s, int32_t& p) {
  int32_t format = -1;
  return ScanDegrees(s, format, true, p);
}
double Date_(const std::string& s, int32_t& p) {
  return ScanDateTime(s, "yyyymmddHHMMSS", lgNone, p);
}

TEST(Math1Scan, EveryScannerFailsTheSameWay) {
  // Inputs every scanner must reject: 0 returned, position unchanged.
  const struct {
    const char* Text;
    int32_t Pos;
  } common[] = {{"", 1}, {"   \t ", 1}, {"12", 0}, {"12", 4}, {"12", -5}, {"12", INT32_MIN},
                {"+", 1}, {"-", 1}, {"x12", 1}};
  const TScanFn scanners[] = {Hex_, Oct_, Bin_, Dec_, Real_, Deg_, Date_};
  for (const TScanFn scan : scanners) {
    for (const auto& c : common) {
      int32_t pos = c.Pos;
      EXPECT_EQ(scan(c.Text, pos), 0) << "'" << c.Text << "' at " << c.Pos;
      EXPECT_EQ(pos, c.Pos) << "'" << c.Text << "' at " << c.Pos;
    }
  }
}

TEST(Math1Scan, ScannerTable) {
  const struct {
    TScanFn Scan;
    const char* Text;
    int32_t StartPos;
    double Value;
    int32_t EndPos;  // unchanged StartPos means failure
  } cases[] = {
      // integers
      {Dec_, "  -2147483648 ", 1, -2147483648.0, 14},
      {Dec_, "2147483647x", 1, 2147483647, 11},
      {Dec_, "2147483648", 1, 0, 1},  // overflow: no partial number
      {Dec_, "99999999999999999999", 1, 0, 1},
      {Dec_, "a+17b", 2, 17, 5},
      {Dec_, "- 5", 1, 0, 1},
      {Hex_, "FF00FF00", 1, static_cast<int32_t>(0xFF00FF00u), 9},
      {Hex_, "\t$ff;", 1, 255, 5},
      {Hex_, "000000001234ABCD", 1, 0x1234ABCD, 17},  // leading zeros are free
      {Hex_, "123456789", 1, 0, 1},                    // nine significant digits
      {Hex_, "$", 1, 0, 1},
      {Hex_, "-1", 1, 0, 1},                           // patterns have no sign
      {Oct_, "37777777777", 1, -1, 12},
      {Oct_, "40000000000", 1, 0, 1},
      {Oct_, "178", 1, 15, 3},
      {Bin_, "11111111111111111111111111111111", 1, -1, 33},
      {Bin_, "100000000000000000000000000000000", 1, 0, 1},  // 33 digits
      {Bin_, "1012", 1, 5, 4},
      // reals
      {Real_, "1e", 1, 1, 2},
      {Real_, "1e+", 1, 1, 2},
      {Real_, "1e99999", 1, 0, 1},
      {Real_, "-1.5E-3x", 1, -0.0015, 8},
      {Real_, " .5", 1, 0.5, 4},
      {Real_, "5.", 1, 5, 3},
      {Real_, ".", 1, 0, 1},
      {Real_, "1.2.3", 1, 1.2, 4},
      {Real_, "NAN", 1, 0, 1},
      {Real_, "INF", 1, 0, 1},
      {Real_, "1,5", 1, 1, 2},  // comma is not the point separator
      {Real_, "0.1000E+101", 1, 1e100, 12},
      {Real_, "4.9e-324", 1, 4.9e-324, 9},
      // dates
      {Date_, "20261211124733", 1, 46367.53302083333, 15},
      {Date_, "20260230000000", 1, 0, 1},  // 30 February
      {Date_, "20240229235959", 1, 45351.99998842592, 15},
      {Date_, "20260101240000", 1, 0, 1},  // hour 24
      {Date_, "2026121112473", 1, 0, 1},   // truncated
      {Date_, "18991229060000", 1, -1.25, 15},
  };
  for (const auto& c : cases) {
    int32_t pos = c.StartPos;
    const double v = c.Scan(c.Text, pos);
    EXPECT_EQ(pos, c.EndPos) << c.Text;
    if (std::fabs(c.Value) > 1e-300 && std::fabs(c.Value) < 1e6) {
      EXPECT_NEAR(v, c.Value, 1e-10 * std::fabs(c.Value)) << c.Text;
    } else {
      EXPECT_EQ(v, c.Value) << c.Text;
    }
  }
}

TEST(Math1Scan, SeparatorModes) {
  SetDecimalSeparator(',');
  const struct {
    const char* Text;
    int32_t Mode;
    double Value;
    int32_t EndPos;
  } cases[] = {{"1,5", dpsSystem, 1.5, 4}, {"1.5", dpsSystem, 1, 2}, {"1.5", dpsPoint, 1.5, 4},
               {"1,5", dpsComma, 1.5, 4},  {"1.5", dpsBoth, 1.5, 4}, {"1,5", dpsBoth, 1.5, 4},
               {"1,5", 7, 0, 1}};
  for (const auto& c : cases) {
    int32_t pos = 1;
    EXPECT_EQ(ScanFPNum(c.Text, true, c.Mode, pos), c.Value) << c.Text << " " << c.Mode;
    EXPECT_EQ(pos, c.EndPos) << c.Text << " " << c.Mode;
  }
  SetDecimalSeparator('.');
  int32_t pos = 1;
  EXPECT_EQ(ScanFPNum("2.5e3", false, dpsPoint, pos), 2.5);  // exponent not allowed
  EXPECT_EQ(pos, 4);
}

TEST(Math1Scan, FormatterOutputReadsBack) {
  for (const int32_t v : {0, 1, -1, 255, INT32_MIN, INT32_MAX, 0x00FF00FF}) {
    int32_t pos = 1;
    EXPECT_EQ(ScanHex(Hex(v, 8), pos), v);
    pos = 1;
    EXPECT_EQ(ScanOctal(Octal(v, 11), pos), v);
    pos = 1;
    EXPECT_EQ(ScanBin(Bin(v, 32), pos), v);
    pos = 1;
    EXPECT_EQ(ScanDecimal(Decimal(v, 10), pos), v);
  }
  for (const double x : {0.0, 1.0, -1234.5678, 6.02214076e23, -1.6e-19, 1e300}) {
    // Exponent forms: the scanned value written again gives the same text.
    const struct {
      std::string Text;
      std::string (*Write)(double);
    } forms[] = {
        {strf(x, 20, -1), [](double y) { return strf(y, 20, -1); }},
        {strf(x, 12, -2), [](double y) { return strf(y, 12, -2); }},
        {MakeEFormat(x, 16, 10), [](double y) { return MakeEFormat(y, 16, 10); }},
        {MakeEFormat(x, 20, 15), [](double y) { return MakeEFormat(y, 20, 15); }},
        {FormatGeneral(x, 15), [](double y) { return FormatGeneral(y, 15); }},
    };
    for (const auto& f : forms) {
      if (f.Text.find('*') != std::string::npos) continue;  // not representable
      int32_t pos = 1;
      const double y = ScanFPNum(f.Text, true, dpsPoint, pos);
      EXPECT_EQ(pos, static_cast<int32_t>(f.Text.size()) + 1) << f.Text;
      EXPECT_EQ(f.Write(y), f.Text);
    }
    // Fixed form: within half a unit of the last written digit.
    const std::string fixed = strf(x, 1, 3);
    int32_t pos = 1;
    const double y = ScanFPNum(fixed, true, dpsPoint, pos);
    EXPECT_EQ(pos, static_cast<int32_t>(fixed.size()) + 1) << fixed;
    EXPECT_LE(std::fabs(y - x), 0.0005 + 1e-15 * std::fabs(x)) << fixed;
  }
}

TEST(Math1Scan, DegreeFormsReadBack) {
  const struct {
    double Value;
    int32_t Decimals;
  } angles[] = {{12.508333333333333, 1}, {-0.5, 2}, {-45.25, 0}, {359.99, 3}, {0, 0}};
  for (const auto& a : angles) {
    for (const TDegreeFormat f : {dfDecDeg, dfDegMin, dfDegMinSec, dfPlain}) {
      const std::string text = DegreeToStr(a.Value, f, a.Decimals);
      int32_t pos = 1;
      int32_t format = -1;
      const double v = ScanDegrees(text, format, true, pos);
      EXPECT_EQ(pos, static_cast<int32_t>(text.size()) + 1) << text;
      EXPECT_EQ(format, static_cast<int32_t>(f)) << text;
      EXPECT_EQ(DegreeToStr(v, f, a.Decimals), text);
    }
  }
  const struct {
    const char* Text;
    bool AllowSign;
    double Value;
    int32_t Format;
    int32_t EndPos;
  } cases[] = {
      {"-0\xC2\xB0 30.0'", true, -0.5, dfDegMin, 11},
      {"-0\xC2\xB0 30.0'", false, 0, -1, 1},             // sign not allowed
      {"12\xB0 30' 15\"", true, 12.504166666666666, dfDegMinSec, 12},  // single byte B0h
      {"12\xC2\xB0 60'", true, 12, dfDecDeg, 5},         // minutes must be below 60
      {"12\xC2\xB0 30' 60\"", true, 12.5, dfDegMin, 9},  // seconds too
      {"12.5\xC2\xB0 30'", true, 12.5, dfDecDeg, 7},     // no minutes after decimal degrees
      {"12\xC2\xB0 30.5' 15\"", true, 12 + 30.5 / 60, dfDegMin, 11},
      {"7.25 x", true, 7.25, dfPlain, 5},
      {"\xC2\xB0", true, 0, -1, 1},
  };
  for (const auto& c : cases) {
    int32_t pos = 1;
    int32_t format = -1;
    const double v = ScanDegrees(c.Text, format, c.AllowSign, pos);
    EXPECT_NEAR(v, c.Value, 1e-12) << c.Text;
    EXPECT_EQ(format, c.Format) << c.Text;
    EXPECT_EQ(pos, c.EndPos) << c.Text;
  }
}

TEST(Math1Scan, Validators) {
  const struct {
    const char* Text;
    bool Dec, Hex, Oct, Bin, Double, FPNum;
  } cases[] = {
      // text             dec    hex    oct    bin    double fpnum
      {"", false, false, false, false, false, false},
      {"101", true, true, true, true, true, true},
      {" 101", false, false, false, false, false, false},
      {"101 ", false, false, false, false, false, false},
      {"-12", true, false, false, false, true, true},
      {"+", false, false, false, false, false, true},
      {"5.", false, false, false, false, true, true},
      {"1e-", false, false, false, false, false, true},
      {"1e-5", false, false, false, false, true, true},
      {"1e99999", false, true, false, false, false, false},  // hex digits
      {".", false, false, false, false, false, true},
      {"e5", false, true, false, false, false, false},
      {"$FF", false, true, false, false, false, false},
      {"FFFFFFFFF", false, false, false, false, false, false},
      {"2147483648", false, false, false, false, true, true},
      {"-2147483648", true, false, false, false, true, true},
      {"1.5.", false, false, false, false, false, false},
      {"1x", false, false, false, false, false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsValidDecInt(c.Text), c.Dec) << "'" << c.Text << "'";
    EXPECT_EQ(IsValidHex(c.Text), c.Hex) << "'" << c.Text << "'";
    EXPECT_EQ(IsValidOct(c.Text), c.Oct) << "'" << c.Text << "'";
    EXPECT_EQ(IsValidBin(c.Text), c.Bin) << "'" << c.Text << "'";
    EXPECT_EQ(IsValidDouble(c.Text, true, dpsPoint), c.Double) << "'" << c.Text << "'";
    EXPECT_EQ(IsValidFPNum(c.Text, dpsPoint), c.FPNum) << "'" << c.Text << "'";
  }
  EXPECT_FALSE(IsValidDouble("1e5", false, dpsPoint));
  EXPECT_TRUE(IsValidDouble("1,5", true, dpsComma));
  EXPECT_FALSE(IsValidDouble("1,5", true, dpsPoint));
}

}  // namespace
}  // namespace vexa
