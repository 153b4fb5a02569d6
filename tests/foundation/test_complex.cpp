// Complex numbers. Quotients are checked against std::complex<long double>.

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <limits>
#include <numbers>

#include "foundation/Vexa_complex.h"
#include "foundation/Vexa_errors.h"

namespace vexa {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

/// Restores the tolerance a test changes.
class ComplexTest : public ::testing::Test {
protected:
  void TearDown() override { CpxNearZero = 1e-15; }
};

TEST_F(ComplexTest, ArithmeticMatchesLongDoubleReference) {
  const TComplex values[] = {Cpx(1, 0), Cpx(0, 1), Cpx(3, -4), Cpx(-2.5, 0.125), Cpx(1e10, -1e-10)};
  for (const TComplex& a : values) {
    for (const TComplex& b : values) {
      const std::complex<long double> ra(a.re, a.im), rb(b.re, b.im);
      const std::complex<long double> q = ra / rb;
      const TComplex c = CpxDiv(a, b);
      EXPECT_NEAR(c.re, static_cast<double>(q.real()), 1e-15 * std::abs(q) + 1e-300);
      EXPECT_NEAR(c.im, static_cast<double>(q.imag()), 1e-15 * std::abs(q) + 1e-300);
      const TComplex m = CpxMult(a, b);
      const std::complex<long double> p = ra * rb;
      EXPECT_NEAR(m.re, static_cast<double>(p.real()), 1e-15 * std::abs(p));
      EXPECT_NEAR(m.im, static_cast<double>(p.imag()), 1e-15 * std::abs(p));
    }
  }
  const TComplex q = CpxDiv(Cpx(1, 0), Cpx(0, 1));
  EXPECT_EQ(q.re, 0);
  EXPECT_EQ(q.im, -1);
  const TComplex s = CpxAdd(Cpx(1, 2), Cpx(3, 4));
  const TComplex d = CpxSub(Cpx(1, 2), Cpx(3, 5));
  EXPECT_TRUE(CpxIsEqual(s, Cpx(4, 6)));
  EXPECT_TRUE(CpxIsEqual(d, Cpx(-2, -3)));
  EXPECT_EQ(CpxAbs(Cpx(3, -4)), 5);
  EXPECT_EQ(CpxAbsSqr(Cpx(3, -4)), 25);
  EXPECT_EQ(CpxAbs(Cpx(1e200, 1e200)), kInf);  // no scaling, as documented
}

TEST_F(ComplexTest, CpxDivRaisesOnZeroUnderflowAndOverflow) {
  const struct {
    TComplex a, b;
  } cases[] = {
      {Cpx(1, 0), Cpx(0, 0)},          // zero divisor
      {Cpx(1, 0), Cpx(-0.0, 0)},
      {Cpx(1, 1), Cpx(1e-200, 1e-200)},  // d underflows to 0
      {Cpx(1, 1), Cpx(1e200, 0)},      // d overflows
      {Cpx(1e300, 1e300), Cpx(1e-10, 0)},  // quotient overflows
      {Cpx(kInf, 0), Cpx(1, 0)},       // infinite input
      {Cpx(1, 0), Cpx(kInf, 0)},
  };
  for (const auto& c : cases) {
    try {
      (void)CpxDiv(c.a, c.b);
      ADD_FAILURE() << c.a.re << "," << c.a.im << " / " << c.b.re << "," << c.b.im;
    } catch (const EVexaComplexError& e) {
      EXPECT_EQ(e.Message(), "CpxDiv: division by zero");
    }
  }
  // NaN inputs carry no new error: NaN out.
  for (const TComplex& b : {Cpx(kNaN, 0), Cpx(0, 0)}) {
    const TComplex q = CpxDiv(Cpx(kNaN, 1), b);
    EXPECT_TRUE(std::isnan(q.re) && std::isnan(q.im));
  }
  const TComplex q = CpxDiv(Cpx(1, 1), Cpx(0, kNaN));
  EXPECT_TRUE(std::isnan(q.re) && std::isnan(q.im));
}

TEST_F(ComplexTest, SignFlipsAndComparisons) {
  const TComplex c = CpxConj(Cpx(1, 0));
  EXPECT_TRUE(std::signbit(c.im));
  const TComplex n = CpxNeg(Cpx(0, -0.0));
  EXPECT_TRUE(std::signbit(n.re));
  EXPECT_FALSE(std::signbit(n.im));
  EXPECT_TRUE(CpxIsEqual(Cpx(0, 0), Cpx(0, -0.0)));
  EXPECT_FALSE(CpxIsEqual(Cpx(kNaN, 0), Cpx(kNaN, 0)));
  EXPECT_TRUE(CpxIsNearEqual(Cpx(1, 1), Cpx(1 + 1e-16, 1)));
  EXPECT_FALSE(CpxIsNearEqual(Cpx(1, 1), Cpx(1 + 1e-14, 1)));
  EXPECT_TRUE(CpxIsZero(Cpx(1e-16, -1e-16)));
  EXPECT_FALSE(CpxIsZero(Cpx(1e-14, 0)));
}

TEST_F(ComplexTest, NewToleranceActsAtOnce) {
  CpxNearZero = 1e-13;
  EXPECT_TRUE(CpxIsNearEqual(Cpx(1, 1), Cpx(1 + 1e-14, 1)));
  EXPECT_TRUE(CpxIsZero(Cpx(1e-14, 0)));
  CpxNearZero = 0;
  EXPECT_FALSE(CpxIsNearEqual(Cpx(1, 1), Cpx(1, 1)));
  EXPECT_TRUE(CpxIsZero(Cpx(0, -0.0)));
}

TEST_F(ComplexTest, PolarConversion) {
  const TComplexPolar p = ConvertRectToPolar(Cpx(-1, 0));
  EXPECT_EQ(p.r, 1);
  EXPECT_EQ(p.phi, std::numbers::pi);
  const TComplexPolar pm = ConvertRectToPolar(Cpx(-1, -0.0));
  EXPECT_EQ(pm.phi, std::numbers::pi);  // (−π, π]: −π becomes π
  const TComplex back = ConvertPolarToRect(p);
  EXPECT_EQ(back.re, -1);
  EXPECT_NEAR(back.im, 1.2246467991473532e-16, 1e-31);  // sin(double(π)), from mpmath
  const TComplexPolar q = ConvertRectToPolar(Cpx(1, -1));
  EXPECT_DOUBLE_EQ(q.r, std::sqrt(2.0));
  EXPECT_DOUBLE_EQ(q.phi, -std::numbers::pi / 4);
}

}  // namespace
}  // namespace vexa
