#include "platform/Vexa_intmath.h"

#include <cmath>
#include <limits>

namespace vexa {

namespace {

// Every double of magnitude 2^52 or more (every long double of 2^63 or more)
// is already an integer.
constexpr double kDoubleIntegral = 4503599627370496.0;             // 2^52
constexpr long double kLongDoubleIntegral = 9223372036854775808.0L;  // 2^63

constexpr double kTwo31 = 2147483648.0;            // 2^31
constexpr double kTwo63 = 9223372036854775808.0;  // 2^63
constexpr long double kTwo63L = 9223372036854775808.0L;

// Rounds |x| < Integral to nearest, ties to even. std::trunc and the
// subtraction below are exact, so the result does not depend on the current
// rounding mode (std::nearbyint would).
template <class Real>
Real RoundHalfEvenBelow(Real x) {
  const Real whole = std::trunc(x);
  const Real fraction = x - whole;  // exact: both share x's grid
  const Real step = x < 0 ? Real(-1) : Real(1);
  const Real absFraction = std::fabs(fraction);
  if (absFraction > Real(0.5)) return whole + step;
  if (absFraction < Real(0.5)) return whole;
  const bool wholeIsOdd = std::fmod(whole, Real(2)) != 0;
  return wholeIsOdd ? whole + step : whole;
}

// Saturating conversion of an integral real r (no NaN) to a signed integer type
// whose range is [-Limit, Limit - 1], Limit being a power of two.
template <class Int, class Real>
Int SaturateIntegral(Real r, Real limit) {
  if (r >= limit) return std::numeric_limits<Int>::max();
  if (r <= -limit) return std::numeric_limits<Int>::min();
  return static_cast<Int>(r);
}

}  // namespace

double RoundHalfEven(double x) noexcept {
  if (!(std::fabs(x) < kDoubleIntegral)) return x;  // NaN, infinities, large integers
  return RoundHalfEvenBelow(x);
}

long double RoundHalfEven(long double x) noexcept {
  if (!(std::fabs(x) < kLongDoubleIntegral)) return x;
  return RoundHalfEvenBelow(x);
}

int32_t RoundToInt32(double x) noexcept {
  if (std::isnan(x)) return 0;
  return SaturateIntegral<int32_t>(RoundHalfEven(x), kTwo31);
}

int64_t RoundToInt64(double x) noexcept {
  if (std::isnan(x)) return 0;
  return SaturateIntegral<int64_t>(RoundHalfEven(x), kTwo63);
}

int64_t RoundToInt64(long double x) noexcept {
  if (std::isnan(x)) return 0;
  return SaturateIntegral<int64_t>(RoundHalfEven(x), kTwo63L);
}

int32_t TruncToInt32(double x) noexcept {
  if (std::isnan(x)) return 0;
  return SaturateIntegral<int32_t>(std::trunc(x), kTwo31);
}

int64_t TruncToInt64(double x) noexcept {
  if (std::isnan(x)) return 0;
  return SaturateIntegral<int64_t>(std::trunc(x), kTwo63);
}

bool TryRoundToInt32(double x, int32_t& Value) noexcept {
  const double r = RoundHalfEven(x);
  if (!(r >= -kTwo31 && r < kTwo31)) return false;  // also NaN
  Value = static_cast<int32_t>(r);
  return true;
}

bool TryRoundToInt64(double x, int64_t& Value) noexcept {
  const double r = RoundHalfEven(x);
  if (!(r >= -kTwo63 && r < kTwo63)) return false;
  Value = static_cast<int64_t>(r);
  return true;
}

// Unsigned arithmetic wraps by definition; the conversion back to int32_t is
// modular since C++20.
int32_t WrapAdd32(int32_t a, int32_t b) noexcept {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

int32_t WrapSub32(int32_t a, int32_t b) noexcept {
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

int32_t WrapMul32(int32_t a, int32_t b) noexcept {
  return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}

int32_t WrapNeg32(int32_t a) noexcept { return static_cast<int32_t>(0u - static_cast<uint32_t>(a)); }

int32_t WrapAbs32(int32_t a) noexcept { return a < 0 ? WrapNeg32(a) : a; }

}  // namespace vexa
