#include "platform/Vexa_numtext.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>
#include <type_traits>

#include "platform/Vexa_exceptions.h"

namespace vexa {

namespace {

char gDecimalSeparator = '.';

// Bounds that keep absurd arguments from allocating without limit.
constexpr int32_t kMaxWidth = 4096;
constexpr int32_t kMaxFixedDecimals = 1000;
constexpr int32_t kMaxGeneralPrecision = 120;
// Significant digits an extended value carries.
constexpr int32_t kMaxSignificantDigits = 18;

// ---------------------------------------------------------------- formatting helpers

// std::to_chars into a string that grows until the text fits.
template <class... Format>
std::string ToChars(long double x, Format... format) {
  std::string buffer(64, '\0');
  for (;;) {
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), x, format...);
    if (result.ec == std::errc()) {
      buffer.resize(static_cast<size_t>(result.ptr - buffer.data()));
      return buffer;
    }
    buffer.resize(buffer.size() * 4);
  }
}

std::string PadLeft(std::string text, int32_t width) {
  width = std::clamp(width, 0, kMaxWidth);
  if (static_cast<size_t>(width) > text.size()) text.insert(0, static_cast<size_t>(width) - text.size(), ' ');
  return text;
}

/// A finite non-negative value as decimal digits: Digits[0].Digits[1..] x 10^Exponent.
struct TDecimalDigits {
  std::string Digits;
  int32_t Exponent = 0;
};

/// |x| rounded (correctly, ties to even) to Count significant digits.
TDecimalDigits ToDecimalDigits(long double x, int32_t count) {
  const std::string text = ToChars(std::fabs(x), std::chars_format::scientific, count - 1);
  const size_t ePos = text.find('e');
  TDecimalDigits result;
  for (size_t i = 0; i < ePos; ++i)
    if (text[i] != '.') result.Digits += text[i];
  // The exponent has at most five digits: std::from_chars cannot fail on it.
  const char* expBegin = text.data() + ePos + 1;
  if (*expBegin == '+') ++expBegin;
  std::from_chars(expBegin, text.data() + text.size(), result.Exponent);
  return result;
}

std::string ExponentText(int32_t exponent, int32_t minDigits, bool signAlways) {
  std::string digits = std::to_string(exponent < 0 ? -exponent : exponent);
  if (static_cast<int32_t>(digits.size()) < minDigits)
    digits.insert(0, static_cast<size_t>(minDigits) - digits.size(), '0');
  if (exponent < 0) return "-" + digits;
  return signAlways ? "+" + digits : digits;
}

/// The digits in fixed notation ("123.45", "0.001"), with at least MinDecimals
/// decimals (zeros appended).
std::string PlaceDigits(const TDecimalDigits& d, int32_t minDecimals, char separator) {
  std::string integerPart, fraction;
  if (d.Exponent >= 0) {
    const size_t integerDigits = static_cast<size_t>(d.Exponent) + 1;
    integerPart = d.Digits.substr(0, integerDigits);
    integerPart.resize(integerDigits, '0');
    if (d.Digits.size() > integerDigits) fraction = d.Digits.substr(integerDigits);
  } else {
    integerPart = "0";
    fraction = std::string(static_cast<size_t>(-d.Exponent - 1), '0') + d.Digits;
  }
  if (static_cast<int32_t>(fraction.size()) < minDecimals) fraction.resize(static_cast<size_t>(minDecimals), '0');
  return fraction.empty() ? integerPart : integerPart + separator + fraction;
}

/// "d.dddE<exp>" from the digits (no separator when there is only one digit).
std::string ScientificText(const TDecimalDigits& d, char separator, int32_t expDigits, bool expSignAlways) {
  std::string text(1, d.Digits[0]);
  if (d.Digits.size() > 1) text += separator + d.Digits.substr(1);
  return text + "E" + ExponentText(d.Exponent, expDigits, expSignAlways);
}

void TrimTrailingZeros(std::string& digits) {
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
}

bool HasNonZeroDigit(const std::string& text) {
  return std::any_of(text.begin(), text.end(), [](char c) { return c >= '1' && c <= '9'; });
}

// A minus sign only in front of a text that shows a non-zero digit.
std::string WithSign(bool negative, const std::string& text) {
  return negative && HasNonZeroDigit(text) ? "-" + text : text;
}

char ThousandSeparatorFor(char decimalSeparator) { return decimalSeparator == ',' ? '.' : ','; }

// Thousands separators in the integer part of a fixed-notation text; a text in
// exponent notation stays as it is.
std::string GroupThousands(const std::string& fixedText, char decimalSeparator) {
  if (fixedText.find('E') != std::string::npos) return fixedText;
  const size_t integerEnd = std::min(fixedText.find(decimalSeparator), fixedText.size());
  std::string grouped;
  for (size_t i = 0; i < integerEnd; ++i) {
    if (i > 0 && (integerEnd - i) % 3 == 0) grouped += ThousandSeparatorFor(decimalSeparator);
    grouped += fixedText[i];
  }
  return grouped + fixedText.substr(integerEnd);
}

// ffGeneral: fixed unless the value needs more integer digits than Precision
// or is below 0.0001; trailing zeros and a bare separator are dropped.
std::string GeneralText(long double x, int32_t precision, int32_t expDigits, char separator) {
  if (x == 0) return "0";
  TDecimalDigits d = ToDecimalDigits(x, precision);
  TrimTrailingZeros(d.Digits);
  const bool scientific = d.Exponent >= precision || d.Exponent < -4;
  return scientific ? ScientificText(d, separator, expDigits, false) : PlaceDigits(d, 0, separator);
}

// ffFixed: Decimals decimals, digits beyond Precision significant ones shown as zeros.
std::string FixedText(long double x, int32_t precision, int32_t decimals, char separator) {
  const TDecimalDigits d = ToDecimalDigits(x, precision);
  if (d.Exponent >= precision) return GeneralText(x, precision, 0, separator);
  if (d.Exponent + 1 + decimals <= precision) {
    // The decimals cut before the last significant digit: round there directly.
    std::string text = ToChars(std::fabs(x), std::chars_format::fixed, decimals);
    std::replace(text.begin(), text.end(), '.', separator);
    return text;
  }
  return PlaceDigits(d, decimals, separator);
}

// ---------------------------------------------------------------- parsing helpers

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

size_t SkipDigits(const std::string& s, size_t i) {
  while (i < s.size() && IsDigit(s[i])) ++i;
  return i;
}

template <class Int>
bool ParseInteger(const std::string& s, Int& value) {
  size_t i = 0;
  while (i < s.size() && IsBlank(s[i])) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  int base = 10;
  if (i < s.size() && s[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= s.size() || s[i] == '+' || s[i] == '-') return false;  // from_chars would take a second '-'
  uint64_t magnitude = 0;
  const char* end = s.data() + s.size();
  const auto result = std::from_chars(s.data() + i, end, magnitude, base);
  if (result.ec != std::errc() || result.ptr != end) return false;
  using Unsigned = std::make_unsigned_t<Int>;
  const uint64_t limit = static_cast<uint64_t>(std::numeric_limits<Int>::max()) + (negative ? 1 : 0);
  if (magnitude > limit) return false;
  // Negate in unsigned arithmetic: -2^31 / -2^63 have no positive counterpart.
  const Unsigned bits = negative ? static_cast<Unsigned>(0 - static_cast<Unsigned>(magnitude))
                                 : static_cast<Unsigned>(magnitude);
  value = static_cast<Int>(bits);
  return true;
}

/// The pieces of a syntactically valid decimal number.
struct TNumberText {
  bool Negative = false;
  std::string IntegerDigits, FractionDigits, ExponentDigits;
  bool NegativeExponent = false;
};

// Blanks, sign, digits with at most one separator (at least one digit in all),
// optional exponent, blanks.
bool SplitNumberText(const std::string& s, char separator, TNumberText& number) {
  size_t i = 0, end = s.size();
  while (i < end && IsBlank(s[i])) ++i;
  while (end > i && IsBlank(s[end - 1])) --end;
  const std::string body = s.substr(i, end - i);
  size_t pos = 0;
  if (pos < body.size() && (body[pos] == '+' || body[pos] == '-')) number.Negative = body[pos++] == '-';
  size_t next = SkipDigits(body, pos);
  number.IntegerDigits = body.substr(pos, next - pos);
  pos = next;
  if (pos < body.size() && body[pos] == separator) {
    next = SkipDigits(body, ++pos);
    number.FractionDigits = body.substr(pos, next - pos);
    pos = next;
  }
  if (number.IntegerDigits.empty() && number.FractionDigits.empty()) return false;
  if (pos < body.size() && (body[pos] == 'e' || body[pos] == 'E')) {
    ++pos;
    if (pos < body.size() && (body[pos] == '+' || body[pos] == '-')) number.NegativeExponent = body[pos++] == '-';
    next = SkipDigits(body, pos);
    number.ExponentDigits = body.substr(pos, next - pos);
    if (number.ExponentDigits.empty()) return false;
    pos = next;
  }
  return pos == body.size();
}

// Decimal exponent of the leading non-zero digit; used only to tell overflow
// from underflow. Exponent text of more than nine digits is saturated.
int64_t LeadingDigitExponent(const TNumberText& n) {
  const std::string digits = n.IntegerDigits + n.FractionDigits;
  const size_t firstNonZero = digits.find_first_not_of('0');
  std::string exponentDigits = n.ExponentDigits;
  exponentDigits.erase(0, std::min(exponentDigits.find_first_not_of('0'), exponentDigits.size()));
  int64_t exponent = 1000000000;
  if (exponentDigits.size() <= 9) {
    exponent = 0;
    std::from_chars(exponentDigits.data(), exponentDigits.data() + exponentDigits.size(), exponent);
  }
  if (n.NegativeExponent) exponent = -exponent;
  return exponent + static_cast<int64_t>(n.IntegerDigits.size()) - 1 - static_cast<int64_t>(firstNonZero);
}

template <class Real>
bool ParseReal(const std::string& s, char separator, Real& value) {
  TNumberText number;
  if (!SplitNumberText(s, separator, number)) return false;
  if (!HasNonZeroDigit(number.IntegerDigits + number.FractionDigits)) {
    value = number.Negative ? -Real(0) : Real(0);  // any exponent: zero stays zero
    return true;
  }
  const int64_t leadingExponent = LeadingDigitExponent(number);
  if (leadingExponent > 100000) return false;  // far beyond every range
  if (leadingExponent < -100000) {
    value = number.Negative ? -Real(0) : Real(0);
    return true;
  }
  // Canonical text for std::from_chars: no '+', '.' as separator, short exponent.
  const auto orZero = [](const std::string& digits) { return digits.empty() ? std::string("0") : digits; };
  std::string canonical =
      (number.Negative ? "-" : "") + orZero(number.IntegerDigits) + "." + orZero(number.FractionDigits);
  if (!number.ExponentDigits.empty()) {
    std::string exponentDigits = number.ExponentDigits;
    exponentDigits.erase(0, std::min(exponentDigits.find_first_not_of('0'), exponentDigits.size() - 1));
    canonical += (number.NegativeExponent ? "e-" : "e") + exponentDigits;
  }
  Real parsed = 0;
  const auto result = std::from_chars(canonical.data(), canonical.data() + canonical.size(), parsed);
  if (result.ec == std::errc::result_out_of_range) {
    if (leadingExponent >= 0) return false;  // overflow
    parsed = 0;                                // underflow below half the smallest subnormal
    if (number.Negative) parsed = -parsed;
  } else if (result.ec != std::errc() || result.ptr != canonical.data() + canonical.size()) {
    return false;
  }
  value = parsed;
  return true;
}

}  // namespace

char DecimalSeparator() { return gDecimalSeparator; }

void SetDecimalSeparator(char Separator) { gDecimalSeparator = Separator; }

std::string FormatReal(long double x, int32_t Width, int32_t Decimals) {
  if (std::isnan(x)) return PadLeft("Nan", Width);
  if (std::isinf(x)) return PadLeft(x > 0 ? "+Inf" : "-Inf", Width);
  const bool negative = std::signbit(x) && x != 0;
  if (Decimals >= 0) {
    const std::string digits = ToChars(std::fabs(x), std::chars_format::fixed, std::min(Decimals, kMaxFixedDecimals));
    return PadLeft(negative ? "-" + digits : digits, Width);
  }
  // Sign position, "d.", "E", exponent sign and four exponent digits take 8 characters.
  const int32_t significant = std::clamp(Width, 10, kMaxSignificantDigits + 8) - 8;
  const TDecimalDigits d = ToDecimalDigits(x, significant);
  const std::string text = (negative ? "-" : " ") + ScientificText(d, '.', 4, true);
  return PadLeft(text, Width);
}

std::string FormatGeneral(long double x, int32_t Precision, int32_t Width) {
  if (Precision < 0) Precision = 6;  // as printf treats a negative precision
  Precision = std::clamp(Precision, 1, kMaxGeneralPrecision);
  return PadLeft(ToChars(x, std::chars_format::general, Precision), Width);
}

std::string FloatToStrF(long double x, TFloatFormat Format, int32_t Precision, int32_t Digits) {
  if (std::isnan(x)) return "NAN";
  if (std::isinf(x)) return x > 0 ? "INF" : "-INF";
  Precision = std::clamp(Precision, 1, kMaxSignificantDigits);
  const char separator = gDecimalSeparator;
  const bool negative = std::signbit(x);
  switch (Format) {
    case ffExponent:
      return WithSign(negative, ScientificText(ToDecimalDigits(x, Precision), separator, std::clamp(Digits, 0, 4), true));
    case ffFixed:
      return WithSign(negative, FixedText(x, Precision, std::clamp(Digits, 0, kMaxSignificantDigits), separator));
    case ffNumber:
      return WithSign(negative, GroupThousands(FixedText(x, Precision, std::clamp(Digits, 0, kMaxSignificantDigits), separator), separator));
    case ffGeneral:
    default:
      return WithSign(negative, GeneralText(x, Precision, std::clamp(Digits, 0, 4), separator));
  }
}

std::string FloatToStr(long double x) { return FloatToStrF(x, ffGeneral, 15, 0); }

std::string IntToStr(int64_t Value) { return std::to_string(Value); }

bool TryStrToInt(const std::string& S, int32_t& Value) { return ParseInteger(S, Value); }

bool TryStrToInt64(const std::string& S, int64_t& Value) { return ParseInteger(S, Value); }

int32_t StrToInt(const std::string& S) {
  int32_t value = 0;
  if (!TryStrToInt(S, value)) throw EConvertError("'" + S + "' is not a valid integer value");
  return value;
}

int32_t StrToIntDef(const std::string& S, int32_t Default) {
  int32_t value = Default;
  return TryStrToInt(S, value) ? value : Default;
}

bool TryStrToFloat(const std::string& S, double& Value) { return ParseReal(S, gDecimalSeparator, Value); }

bool TryStrToFloat(const std::string& S, long double& Value) { return ParseReal(S, gDecimalSeparator, Value); }

bool TryStrToFloat(const std::string& S, double& Value, char Separator) { return ParseReal(S, Separator, Value); }

bool TryStrToFloat(const std::string& S, long double& Value, char Separator) {
  return ParseReal(S, Separator, Value);
}

double StrToFloat(const std::string& S) {
  double value = 0;
  if (!TryStrToFloat(S, value)) throw EConvertError("'" + S + "' is not a valid floating point value");
  return value;
}

}  // namespace vexa
