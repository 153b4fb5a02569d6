#pragma once
/// @file
/// Complex numbers in rectangular and polar form, with arithmetic, comparison
/// and conversion. All routines are pure functions on values; only CpxDiv
/// raises (EVexaComplexError).

#include <cmath>
#include <numbers>

namespace vexa {

/// A complex number in rectangular form.
struct TComplex {
  double re = 0;
  double im = 0;
};

/// A complex number in polar form: magnitude and angle in radians.
struct TComplexPolar {
  double r = 0;
  double phi = 0;
};

/// Tolerance of CpxIsNearEqual and CpxIsZero. 1e-15 at start-up (the unit's
/// package hook sets it when the package loads); applications
/// may change it, and the new value acts at once. Shared without locking.
extern double CpxNearZero;

/// The complex number (re, im); the extended arguments are stored as doubles.
inline TComplex Cpx(long double re, long double im) {
  return TComplex{static_cast<double>(re), static_cast<double>(im)};
}

inline TComplex CpxAdd(const TComplex& a, const TComplex& b) { return {a.re + b.re, a.im + b.im}; }
inline TComplex CpxSub(const TComplex& a, const TComplex& b) { return {a.re - b.re, a.im - b.im}; }

/// (a.re·b.re − a.im·b.im, a.re·b.im + a.im·b.re), without special handling
/// of infinities.
inline TComplex CpxMult(const TComplex& a, const TComplex& b) {
  return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}

/// a / b by the textbook formula with d = b.re² + b.im² (no scaling).
/// Raises EVexaComplexError "CpxDiv: division by zero" when d is 0 (also when
/// it underflows to 0), or when d, a numerator or a quotient is not finite
/// while no input part is NaN (so infinite inputs and overflow raise).
/// A NaN input part gives a NaN result without an error.
TComplex CpxDiv(const TComplex& a, const TComplex& b);

/// (re, −im): the sign bit of im is inverted, so 0 becomes −0.
inline TComplex CpxConj(const TComplex& a) { return {a.re, -a.im}; }
/// (−re, −im): both sign bits are inverted.
inline TComplex CpxNeg(const TComplex& a) { return {-a.re, -a.im}; }

/// re² + im².
inline double CpxAbsSqr(const TComplex& a) { return a.re * a.re + a.im * a.im; }
/// √(re² + im²) computed directly: overflows for parts beyond about 1e154.
inline double CpxAbs(const TComplex& a) { return std::sqrt(CpxAbsSqr(a)); }

/// Both parts exactly equal (0 equals −0; false when a part is NaN).
inline bool CpxIsEqual(const TComplex& a, const TComplex& b) {
  return a.re == b.re && a.im == b.im;
}
/// Both parts differ by less than CpxNearZero.
inline bool CpxIsNearEqual(const TComplex& a, const TComplex& b) {
  return std::fabs(a.re - b.re) < CpxNearZero && std::fabs(a.im - b.im) < CpxNearZero;
}
/// Each part is 0 or smaller in magnitude than CpxNearZero.
inline bool CpxIsZero(const TComplex& a) {
  return (a.re == 0 || std::fabs(a.re) < CpxNearZero) &&
         (a.im == 0 || std::fabs(a.im) < CpxNearZero);
}

/// (CpxAbs(a), atan2(im, re)); the angle lies in (−π, π]: the −π that
/// atan2 gives for a negative zero imaginary part is returned as +π.
inline TComplexPolar ConvertRectToPolar(const TComplex& a) {
  double phi = std::atan2(a.im, a.re);
  if (phi == -std::numbers::pi) phi = std::numbers::pi;
  return {CpxAbs(a), phi};
}
/// (r·cos phi, r·sin phi).
inline TComplex ConvertPolarToRect(const TComplexPolar& p) {
  return {p.r * std::cos(p.phi), p.r * std::sin(p.phi)};
}

}  // namespace vexa
