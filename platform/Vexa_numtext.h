#pragma once
/// @file
/// Locale-independent conversion between numbers and text, as the platform
/// formats and parses them. Never touches or depends on the C locale.
///
/// The "system" decimal separator is a setting of this unit (default '.');
/// only the routines that say so use it, all others use '.'.

#include <cstdint>
#include <string>

namespace vexa {

/// The system decimal separator (default '.').
char DecimalSeparator();
void SetDecimalSeparator(char Separator);

enum TFloatFormat : uint8_t { ffGeneral, ffExponent, ffFixed, ffNumber };

/// Formatted real, as the platform writes `x:Width:Decimals`:
/// - Decimals >= 0: fixed notation with that many decimals (at most 1000),
///   correctly rounded ("3.142" for pi with 3 decimals; "-" for negatives,
///   no sign for positives and for negative zero).
/// - Decimals < 0: exponent notation "Sd.ddddE+dddd": S is a blank for
///   positive values and zero, "-" for negatives; the exponent has a sign and
///   four digits; the mantissa has Width - 8 significant digits, at least 2
///   and at most 18 (so the text is exactly Width characters for Width 10..26):
///   FormatReal(1234.5, 14, -1) == " 1.23450E+0003",
///   FormatReal(-1234.5, 13, -1) == "-1.2345E+0003".
/// The text is right-aligned in Width characters (Width counts up to 4096); a
/// longer text is not cut. NaN and infinities give "Nan", "+Inf", "-Inf"
/// (right-aligned). Always uses '.'.
std::string FormatReal(long double x, int32_t Width, int32_t Decimals);

/// Shortest general form with Precision significant digits, like printf
/// "%*.*g" in the C locale ("1.23e+03", "0.001"; exponent at least two
/// digits; a negative Precision counts as 6, 0 as 1, at most 120),
/// right-aligned in Width (no padding for Width <= 0). NaN and infinities give
/// "nan", "inf", "-inf". Uses '.'.
std::string FormatGeneral(long double x, int32_t Precision, int32_t Width = 1);

/// The platform's FloatToStrF with the system decimal separator. The value is
/// first rounded to Precision (1..18) significant digits, ties to even.
/// - ffGeneral: fixed notation unless the value needs more than Precision
///   integer digits or is below 0.0001, then scientific; trailing zeros and a
///   bare separator dropped; the exponent has a '-' only when negative and at
///   least Digits (0..4) digits: "1E15", "1.5E-5", "0.0001", "1234.5678".
/// - ffExponent: "d.dddE+dddd" with Precision significant digits and a signed
///   exponent of at least Digits (0..4) digits: "1.235E+03" (Precision 4, Digits 2).
/// - ffFixed: Digits (0..18) decimals; digits beyond the Precision significant
///   ones show as zeros; a value with more than Precision integer digits is
///   written as ffGeneral.
/// - ffNumber: as ffFixed with thousands separators in the integer part (','
///   or, when the decimal separator is ',', '.').
/// A minus sign is written only when a non-zero digit is shown ("0.00" for
/// -0.001 with two decimals). NaN and infinities give "NAN", "INF", "-INF".
std::string FloatToStrF(long double x, TFloatFormat Format, int32_t Precision, int32_t Digits);
/// FloatToStrF(x, ffGeneral, 15, 0).
std::string FloatToStr(long double x);

std::string IntToStr(int64_t Value);

/// The platform's string-to-integer conversion: optional blanks before,
/// optional sign, decimal digits or '$'/"0x" followed by hex digits ("-$10"
/// is -16); no trailing characters. A hexadecimal text denotes its value like
/// a decimal one ("$FFFFFFFF" does not fit an int32_t). False (Value
/// unchanged) when the text is not a valid integer or does not fit.
bool TryStrToInt(const std::string& S, int32_t& Value);
bool TryStrToInt64(const std::string& S, int64_t& Value);
/// As TryStrToInt; raises EConvertError "'<S>' is not a valid integer value".
int32_t StrToInt(const std::string& S);
int32_t StrToIntDef(const std::string& S, int32_t Default);

/// The platform's decimal-to-extended conversion: optional blanks around,
/// optional sign, digits with at most one decimal separator, optional
/// exponent ("E", "e", sign, digits). Separator is the system decimal
/// separator. At least one digit; "1." and ".5" are accepted. Correctly
/// rounded. A value below the smallest subnormal gives a (signed) zero. False
/// (Value unchanged) on any other text, including "inf", "nan", hexadecimal
/// and a value beyond the range (overflow).
bool TryStrToFloat(const std::string& S, double& Value);
bool TryStrToFloat(const std::string& S, long double& Value);
/// The same with an explicit decimal separator.
bool TryStrToFloat(const std::string& S, double& Value, char Separator);
bool TryStrToFloat(const std::string& S, long double& Value, char Separator);
/// As TryStrToFloat; raises EConvertError "'<S>' is not a valid floating point value".
double StrToFloat(const std::string& S);

}  // namespace vexa
