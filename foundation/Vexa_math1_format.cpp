// Number text of Vexa_math1: fixed, exponent and engineering notation,
// degrees, digit strings in bases 2, 8, 10 and 16, IEEE bit patterns, Roman
// numerals.

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>

#include "foundation/Vexa_errors.h"
#include "foundation/Vexa_math1.h"
#include "fundora/Vexa_stringl.h"
#include "platform/Vexa_intmath.h"
#include "platform/Vexa_numtext.h"

namespace vexa {

namespace {

constexpr const char* kDegreeSign = "\xC2\xB0";  // "°" in UTF-8
constexpr const char* kDigitChars = "0123456789ABCDEF";

/// Prefix letters of the powers 10^(3e), e = −6 … 4.
constexpr std::array<const char*, 11> kEngPrefixes = {"a", "f", "p", "n", "u", "m",
                                                      "",  "k", "M", "G", "T"};
constexpr int32_t kLowestEngExponent = -6;
constexpr int32_t kHighestEngExponent = 4;

struct TRomanPair {
  int32_t Value;
  const char* Letters;
};
constexpr std::array<TRomanPair, 13> kRomanTable = {{{1000, "M"},
                                                     {900, "CM"},
                                                     {500, "D"},
                                                     {400, "CD"},
                                                     {100, "C"},
                                                     {90, "XC"},
                                                     {50, "L"},
                                                     {40, "XL"},
                                                     {10, "X"},
                                                     {9, "IX"},
                                                     {5, "V"},
                                                     {4, "IV"},
                                                     {1, "I"}}};

/// The steps an angle is rounded to by RoundDegrees; minutes and seconds use
/// the first nine.
constexpr std::array<int64_t, 12> kNiceAngleSteps = {1, 2, 3, 5, 10, 15, 20, 30, 60, 90, 180, 360};
constexpr size_t kSubUnitSteps = 9;

std::string NonFiniteText(double x) {
  if (std::isnan(x)) return "NAN";
  return x < 0 ? "-INF" : "INF";
}

std::string PadLeft(std::string Text, int32_t Width) {
  if (Width > 0 && Text.size() < static_cast<size_t>(Width)) {
    Text.insert(0, static_cast<size_t>(Width) - Text.size(), ' ');
  }
  return Text;
}

/// 10^n for 0 <= n <= 22, exact in a double.
double ExactPowerOfTen(int32_t n) {
  double p = 1;
  for (int32_t i = 0; i < n; ++i) p *= 10;
  return p;
}

/// v·10^n with a single rounding, for |n| <= 22.
double ScaleByPowerOfTen(double v, int32_t n) {
  return n >= 0 ? v * ExactPowerOfTen(n) : v / ExactPowerOfTen(-n);
}

/// The integral digits of a non-negative whole number held in a double.
std::string WholeNumberText(double x) { return FormatReal(x, 1, 0); }

}  // namespace

// ---------------------------------------------------------------- strf

std::string strf(double x, int32_t Width, int32_t Decimals) {
  if (!std::isfinite(x)) return PadLeft(NonFiniteText(x), Width);
  if (Decimals != -2) return FormatReal(x, Width, Decimals);
  // Exponent form two characters wider, then the two leading exponent digits
  // are dropped ("E+0003" -> "E+03").
  const int32_t wideWidth = static_cast<int32_t>(std::min<int64_t>(int64_t{Width} + 2, INT32_MAX));
  std::string text = FormatReal(x, wideWidth, -1);
  const size_t e = text.find('E');
  if (e == std::string::npos || e + 3 >= text.size()) return text;
  const bool fitsTwoDigits = text[e + 2] == '0' && text[e + 3] == '0';
  text.erase(e + 2, 2);
  if (!fitsTwoDigits) text.assign(text.size(), '*');
  return text;
}

// ---------------------------------------------------------------- MakeEFormat

std::string MakeEFormat(double Value, int32_t Width, int32_t Decimals) {
  Decimals = std::clamp(Decimals, 2, 15);
  Width = std::clamp(Width, 8, 40);
  if (!std::isfinite(Value)) return PadLeft(NonFiniteText(Value), Width);

  // "d.ddde+xx" with Decimals significant digits, correctly rounded; a carry
  // (9.99996 -> 1.000e+01) is already in the exponent.
  char buf[64];
  const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(Value),
                                 std::chars_format::scientific, Decimals - 1);
  const std::string sci(buf, res.ptr);
  const size_t e = sci.find('e');
  std::string digits = sci.substr(0, 1) + sci.substr(2, e - 2);
  int32_t exponent = 0;
  std::from_chars(sci.data() + e + 1 + (sci[e + 1] == '+' ? 1 : 0), sci.data() + sci.size(),
                  exponent);
  // Mantissa 0.d1d2... has an exponent one higher than d1.d2...; zero keeps 0.
  if (Value != 0) exponent += 1;

  std::string expDigits = std::to_string(exponent < 0 ? -exponent : exponent);
  if (expDigits.size() < 2) expDigits.insert(0, "0");
  std::string text = (Value < 0 ? "-" : " ");
  text += "0." + digits + "E" + (exponent < 0 ? "-" : "+") + expDigits;
  return PadLeft(text, Width);
}

// ---------------------------------------------------------------- EEngStr

std::string EEngStr(double Value, int32_t Digits) {
  if (!std::isfinite(Value)) return NonFiniteText(Value);
  Digits = std::clamp(Digits, -9, 9);
  const int32_t decimals = Digits >= 2 ? Digits - 1 : (Digits <= -2 ? -(Digits + 1) : 0);
  if (Value == 0) return strff(0.0, 1, decimals);

  const double v = std::fabs(Value);
  const double lgv = std::log10(v);  // exact at powers of ten: lg 1000 = 3
  // |lgv| < 330, so both conversions are exact and in range.
  const int32_t k = TruncToInt32(std::floor(lgv));
  const int32_t e =
      std::clamp(TruncToInt32(std::floor(lgv / 3)), kLowestEngExponent, kHighestEngExponent);
  const double scaled = ScaleByPowerOfTen(v, -3 * e);
  std::string text = strff(scaled, 1, std::max(0, decimals + 3 * e - k));

  if (e != 0) {
    const std::string prefix = kEngPrefixes[static_cast<size_t>(e - kLowestEngExponent)];
    const size_t point = text.find('.');
    if (Digits < 0 && point != std::string::npos) {
      text.replace(point, 1, prefix);
    } else {
      text += prefix;
    }
  }
  if (Value < 0) text.insert(0, "-");
  return text;
}

// ---------------------------------------------------------------- degrees

namespace {

struct TSplitAngle {
  double Degrees = 0;  ///< whole degrees
  int64_t Minutes = 0;
  double Rest = 0;  ///< decimal minutes (DM form) or decimal seconds (DMS form)
};

/// Splits |Value| (finite) rounded to Decimals places of the smallest unit
/// (minutes when WithSeconds is false, else seconds). The fraction of a
/// degree is counted in whole units of the last written digit, so the split
/// is exact and no "60" can appear; a fraction that rounds up to a full
/// degree carries into the degrees.
TSplitAngle SplitAngle(double Value, int32_t Decimals, bool WithSeconds) {
  const int64_t scale = static_cast<int64_t>(ExactPowerOfTen(Decimals));
  const int64_t unitsPerMinute = WithSeconds ? 60 * scale : scale;
  const int64_t unitsPerDegree = 60 * unitsPerMinute;  // at most 3.6e11
  const double magnitude = std::fabs(Value);
  TSplitAngle split;
  split.Degrees = std::floor(magnitude);
  const double fraction = magnitude - split.Degrees;  // exact
  int64_t units = static_cast<int64_t>(
      RoundHalfEven(fraction * static_cast<double>(unitsPerDegree)));  // 0 … unitsPerDegree
  if (units >= unitsPerDegree) {
    split.Degrees += 1;
    units = 0;
  }
  if (WithSeconds) {
    split.Minutes = units / unitsPerMinute;
    split.Rest = static_cast<double>(units % unitsPerMinute) / static_cast<double>(scale);
  } else {
    split.Rest = static_cast<double>(units) / static_cast<double>(scale);
  }
  return split;
}

}  // namespace

std::string DegreeToStr(double Value, TDegreeFormat Format, int32_t Decimals) {
  Decimals = std::clamp(Decimals, 0, 8);
  if (!std::isfinite(Value)) return NonFiniteText(Value);
  const std::string sign = Value < 0 ? "-" : "";
  switch (Format) {
    case dfDecDeg:
      return FormatReal(Value, 1, Decimals) + kDegreeSign;
    case dfDegMin: {
      const TSplitAngle a = SplitAngle(Value, Decimals, false);
      return sign + WholeNumberText(a.Degrees) + kDegreeSign + " " +
             FormatReal(a.Rest, Decimals + 3, Decimals) + "'";
    }
    case dfDegMinSec: {
      const TSplitAngle a = SplitAngle(Value, Decimals, true);
      return sign + WholeNumberText(a.Degrees) + kDegreeSign + " " +
             FormatReal(static_cast<double>(a.Minutes), 2, 0) + "' " +
             FormatReal(a.Rest, Decimals + 3, Decimals) + "\"";
    }
    default:
      return FormatReal(Value, 1, Decimals);
  }
}

void ConvertDegrees(double& Deg, double& Min, double& Sec, TDegreeFormat FromFormat,
                    TDegreeFormat ToFormat) {
  // Written so that NaN fails the checks.
  if (!(Min >= 0 && Min <= 60)) {
    throw EVexaMath1Error(RoutineMessage("ConvertDegrees", "invalid range of minutes"));
  }
  if (!(Sec >= 0 && Sec <= 60)) {
    throw EVexaMath1Error(RoutineMessage("ConvertDegrees", "invalid range of seconds"));
  }
  // Minutes and seconds are magnitudes; the angle's sign is that of Deg,
  // including a negative zero ((-0°, 30') is -0.5°).
  const double sign = std::signbit(Deg) ? -1.0 : 1.0;
  const auto frac = [](double x) { return x - std::trunc(x); };
  const double oldDeg = Deg;
  const double oldMin = Min;

  if (FromFormat == dfDecDeg && ToFormat == dfDecDeg) {
    Min = 0;
    Sec = 0;
  } else if (FromFormat == dfDecDeg && ToFormat == dfDegMin) {
    Min = frac(std::fabs(oldDeg)) * 60;
    Deg = std::trunc(oldDeg);
    Sec = 0;
  } else if (FromFormat == dfDecDeg && ToFormat == dfDegMinSec) {
    const double m = frac(std::fabs(oldDeg)) * 60;
    Deg = std::trunc(oldDeg);
    Min = std::trunc(m);
    Sec = frac(m) * 60;
  } else if (FromFormat == dfDegMin && ToFormat == dfDecDeg) {
    Deg = std::trunc(oldDeg) + sign * (oldMin / 60);
    Min = 0;
    Sec = 0;
  } else if (FromFormat == dfDegMin && ToFormat == dfDegMin) {
    Sec = 0;
  } else if (FromFormat == dfDegMin && ToFormat == dfDegMinSec) {
    Min = std::trunc(oldMin);
    Sec = frac(std::fabs(oldMin)) * 60;
  } else if (FromFormat == dfDegMinSec && ToFormat == dfDecDeg) {
    Deg = std::trunc(oldDeg) + sign * (std::trunc(oldMin) / 60 + Sec / 3600);
    Min = 0;
    Sec = 0;
  } else if (FromFormat == dfDegMinSec && ToFormat == dfDegMin) {
    Min = oldMin + Sec / 60;
    Sec = 0;
  }
}

namespace {

/// The first of the first Count steps with step·Unit >= x, or 0 if none.
int64_t FirstStepAtLeast(int64_t x, int64_t Unit, size_t Count) {
  for (size_t i = 0; i < Count; ++i) {
    if (kNiceAngleSteps[i] * Unit >= x) return kNiceAngleSteps[i];
  }
  return 0;
}

/// The last of the first Count steps with step·Unit <= x, at least the first step.
int64_t LastStepAtMost(int64_t x, int64_t Unit, size_t Count) {
  int64_t found = kNiceAngleSteps[0];
  for (size_t i = 0; i < Count; ++i) {
    if (kNiceAngleSteps[i] * Unit <= x) found = kNiceAngleSteps[i];
  }
  return found;
}

}  // namespace

void RoundDegrees(int32_t& Deg, int32_t& Min, int32_t& Sec, bool RoundUp) {
  if (Deg < 0 || Min < 0 || Sec < 0) {
    Deg = Min = Sec = 0;
    return;
  }
  Min = std::min(Min, 59);
  Sec = std::min(Sec, 59);
  // The angle in whole seconds: every comparison below is exact.
  const int64_t seconds = int64_t{Deg} * 3600 + int64_t{Min} * 60 + Sec;
  if (Deg >= 1) {
    Min = Sec = 0;
    if (RoundUp) {
      const int64_t step = FirstStepAtLeast(seconds, 3600, kNiceAngleSteps.size());
      Deg = static_cast<int32_t>(step == 0 ? kNiceAngleSteps.back() : step);
    } else {
      Deg = static_cast<int32_t>(LastStepAtMost(seconds, 3600, kNiceAngleSteps.size()));
    }
  } else if (Min >= 1) {
    Sec = 0;
    if (RoundUp) {
      const int64_t step = FirstStepAtLeast(seconds, 60, kSubUnitSteps);
      if (step == 60) {
        Deg = 1;
        Min = 0;
      } else {
        Min = static_cast<int32_t>(step);
      }
    } else {
      Min = static_cast<int32_t>(LastStepAtMost(seconds, 60, kSubUnitSteps));
    }
  } else if (Sec >= 1) {
    if (RoundUp) {
      const int64_t step = FirstStepAtLeast(seconds, 1, kSubUnitSteps);
      if (step == 60) {
        Min = 1;
        Sec = 0;
      } else {
        Sec = static_cast<int32_t>(step);
      }
    } else {
      Sec = static_cast<int32_t>(LastStepAtMost(seconds, 1, kSubUnitSteps));
    }
  }
}

// ---------------------------------------------------------------- digit strings

namespace {

/// Exactly Digits digits of the 32-bit pattern in base 2^BitsPerDigit.
std::string PatternDigits(int32_t Value, int32_t Digits, int32_t BitsPerDigit) {
  uint64_t v = static_cast<uint32_t>(Value);
  const uint64_t mask = (uint64_t{1} << BitsPerDigit) - 1;
  std::string text(static_cast<size_t>(Digits), '0');
  for (size_t i = text.size(); i-- > 0 && v != 0;) {
    text[i] = kDigitChars[v & mask];
    v >>= BitsPerDigit;
  }
  return text;
}

}  // namespace

std::string Hex(int32_t Value, int32_t Digits) {
  return PatternDigits(Value, std::clamp(Digits, 1, 16), 4);
}

std::string Octal(int32_t Value, int32_t Digits) {
  return PatternDigits(Value, std::clamp(Digits, 1, 11), 3);
}

std::string Bin(int32_t Value, int32_t Digits) {
  return PatternDigits(Value, std::clamp(Digits, 1, 32), 1);
}

std::string Decimal(int32_t Value, int32_t Digits) {
  Digits = std::clamp(Digits, 1, 20);
  uint64_t v = static_cast<uint64_t>(std::abs(int64_t{Value}));  // |INT32_MIN| fits
  std::string text(static_cast<size_t>(Digits), '0');
  for (size_t i = text.size(); i-- > 0 && v != 0;) {
    text[i] = kDigitChars[v % 10];
    v /= 10;
  }
  if (Value < 0) text.insert(0, "-");
  return text;
}

// ---------------------------------------------------------------- IEEE patterns

namespace {

std::string BigEndianHex(uint64_t Bits, int32_t Bytes) {
  std::string text(static_cast<size_t>(2 * Bytes), '0');
  for (size_t i = text.size(); i-- > 0;) {
    text[i] = kDigitChars[Bits & 0xF];
    Bits >>= 4;
  }
  return text;
}

int32_t HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

/// The bytes of S read as a big- or little-endian number of Bytes bytes;
/// false when S is not exactly 2·Bytes hex digits.
bool ParseHexBytes(const std::string& S, int32_t Bytes, bool BigEndian, uint64_t& Bits) {
  if (S.size() != static_cast<size_t>(2 * Bytes)) return false;
  Bits = 0;
  for (int32_t b = 0; b < Bytes; ++b) {
    const int32_t hi = HexDigitValue(S[static_cast<size_t>(2 * b)]);
    const int32_t lo = HexDigitValue(S[static_cast<size_t>(2 * b + 1)]);
    if (hi < 0 || lo < 0) return false;
    const uint64_t byte = static_cast<uint64_t>(hi * 16 + lo);
    const int32_t shift = BigEndian ? 8 * (Bytes - 1 - b) : 8 * b;
    Bits |= byte << shift;
  }
  return true;
}

}  // namespace

std::string FPNumToHex(double x) { return BigEndianHex(std::bit_cast<uint64_t>(x), 8); }

std::string FPNumToHex(float x) { return BigEndianHex(std::bit_cast<uint32_t>(x), 4); }

double HexToDouble(const std::string& S, bool BigEndian) {
  uint64_t bits = 0;
  if (!ParseHexBytes(S, 8, BigEndian, bits)) {
    throw EVexaError(RoutineMessage("HexToDouble", "invalid hex string \"" + S + "\""));
  }
  return std::bit_cast<double>(bits);
}

float HexToSingle(const std::string& S, bool BigEndian) {
  uint64_t bits = 0;
  if (!ParseHexBytes(S, 4, BigEndian, bits)) {
    throw EVexaError(RoutineMessage("HexToSingle", "invalid hex string \"" + S + "\""));
  }
  return std::bit_cast<float>(static_cast<uint32_t>(bits));
}

// ---------------------------------------------------------------- Roman, integers

std::string Roman(int32_t Value) {
  if (Value <= 0 || Value >= 30000) return "";
  std::string text;
  for (const TRomanPair& pair : kRomanTable) {
    while (Value >= pair.Value) {
      text += pair.Letters;
      Value -= pair.Value;
    }
  }
  return text;
}

int32_t StrToIntDefault(const std::string& S, int32_t Default) {
  int32_t value = Default;
  return TryStrToInt(S, value) ? value : Default;
}

}  // namespace vexa
