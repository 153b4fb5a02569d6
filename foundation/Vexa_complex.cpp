#include "foundation/Vexa_complex.h"

#include <limits>

#include "foundation/Vexa_errors.h"

namespace vexa {

double CpxNearZero = 1e-15;

namespace package_hooks {
/// Unit start-up: the default tolerance of the near-equality tests.
void InitializeComplex() { CpxNearZero = 1e-15; }
}  // namespace package_hooks

namespace {

[[noreturn]] void RaiseDivisionByZero() {
  throw EVexaComplexError(RoutineMessage("CpxDiv", "division by zero"));
}

bool AnyNaN(const TComplex& a, const TComplex& b) {
  return std::isnan(a.re) || std::isnan(a.im) || std::isnan(b.re) || std::isnan(b.im);
}

}  // namespace

TComplex CpxDiv(const TComplex& a, const TComplex& b) {
  // C++ does not trap on floating-point exceptions, so the conditions that
  // would trap (zero divide, overflow, invalid operation) are checked on the
  // values. NaN inputs propagate quietly: they carry no new error.
  if (AnyNaN(a, b)) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    return {nan, nan};
  }
  const double d = b.re * b.re + b.im * b.im;
  if (d == 0 || !std::isfinite(d)) RaiseDivisionByZero();
  const double numRe = a.re * b.re + a.im * b.im;
  const double numIm = a.im * b.re - a.re * b.im;
  if (!std::isfinite(numRe) || !std::isfinite(numIm)) RaiseDivisionByZero();
  const TComplex q{numRe / d, numIm / d};
  if (!std::isfinite(q.re) || !std::isfinite(q.im)) RaiseDivisionByZero();
  return q;
}

}  // namespace vexa
