#pragma once
/// @file
/// Safe conversions between reals and integers and wrapping 32-bit integer
/// arithmetic. Converting a NaN or out-of-range double to an integer type is
/// undefined behaviour in C++; these helpers never do it.

#include <cstdint>

namespace vexa {

/// x rounded to the nearest integer, ties to even (independent of the
/// current floating-point rounding mode). NaN and infinities are returned as they are.
double RoundHalfEven(double x) noexcept;
long double RoundHalfEven(long double x) noexcept;

/// Round to nearest, ties to even, saturated to the range of the result
/// type; NaN gives 0.
int32_t RoundToInt32(double x) noexcept;
int64_t RoundToInt64(double x) noexcept;
int64_t RoundToInt64(long double x) noexcept;
/// Truncation toward zero, saturated; NaN gives 0.
int32_t TruncToInt32(double x) noexcept;
int64_t TruncToInt64(double x) noexcept;
/// Round to nearest, ties to even; false (Value unchanged) when x is NaN or
/// the rounded value does not fit.
bool TryRoundToInt32(double x, int32_t& Value) noexcept;
bool TryRoundToInt64(double x, int64_t& Value) noexcept;

/// Two's-complement wrapping 32-bit arithmetic, for the places where the
/// library's integers wrap on overflow.
int32_t WrapAdd32(int32_t a, int32_t b) noexcept;
int32_t WrapSub32(int32_t a, int32_t b) noexcept;
int32_t WrapMul32(int32_t a, int32_t b) noexcept;
int32_t WrapNeg32(int32_t a) noexcept;
/// |a| with wrap: WrapAbs32(INT32_MIN) == INT32_MIN.
int32_t WrapAbs32(int32_t a) noexcept;

}  // namespace vexa
