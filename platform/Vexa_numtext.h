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
/// Decimals >= 0: fixed notation with that many decimals;
/// Decimals < 0: exponent notation "-d.ddddE+dddd" (sign position is a blank
/// for positive values, four-digit exponent) with as many mantissa digits as
/// fit into Width (at least one decimal).
/// The text is right-aligned in Width characters; a longer text is not cut.
/// NaN and infinities give "Nan", "+Inf", "-Inf" (right-aligned).
/// Always uses '.'.
std::string FormatReal(long double x, int32_t Width, int32_t Decimals);

/// Shortest general form with Precision significant digits, like printf
/// "%*.*g" (exponent at least two digits), right-aligned in Width. Uses '.'.
std::string FormatGeneral(long double x, int32_t Precision, int32_t Width = 1);

/// The platform's FloatToStrF with the system decimal separator:
/// ffGeneral: shortest of fixed and scientific with Precision significant
/// digits ("1E15", "1.5E-5"), ffExponent: "d.dddE+dddd" with Precision digits
/// and Digits (0..4) minimum exponent digits, ffFixed: Digits decimals,
/// ffNumber: as ffFixed with thousands separators.
std::string FloatToStrF(long double x, TFloatFormat Format, int32_t Precision, int32_t Digits);
/// FloatToStrF(x, ffGeneral, 15, 0).
std::string FloatToStr(long double x);

std::string IntToStr(int64_t Value);

/// The platform's string-to-integer conversion: optional blanks before,
/// optional sign, decimal digits or '$'/"0x" followed by hex digits; no
/// trailing characters. False (Value unchanged) when the text is not a valid
/// integer or does not fit.
bool TryStrToInt(const std::string& S, int32_t& Value);
bool TryStrToInt64(const std::string& S, int64_t& Value);
/// As TryStrToInt; raises EConvertError "'<S>' is not a valid integer value".
int32_t StrToInt(const std::string& S);
int32_t StrToIntDef(const std::string& S, int32_t Default);

/// The platform's decimal-to-extended conversion: optional blanks around,
/// optional sign, digits with at most one decimal separator, optional
/// exponent ("E", "e", sign, digits). Separator is the system decimal
/// separator. Correctly rounded. False (Value unchanged) on any other text,
/// including an exponent beyond the range (overflow).
bool TryStrToFloat(const std::string& S, double& Value);
bool TryStrToFloat(const std::string& S, long double& Value);
/// The same with an explicit decimal separator.
bool TryStrToFloat(const std::string& S, double& Value, char Separator);
bool TryStrToFloat(const std::string& S, long double& Value, char Separator);
/// As TryStrToFloat; raises EConvertError "'<S>' is not a valid floating point value".
double StrToFloat(const std::string& S);

}  // namespace vexa
