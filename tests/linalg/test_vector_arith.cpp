// Vectors: arithmetic with other vectors, correlation and integration.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "linalg/Vexa_vector.h"
#include "support/VectorValues.h"

namespace vexa {
namespace {

using vexa::testing::SetValues;

using ::testing::StrEq;
using ::testing::ThrowsMessage;

const double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(VectorArith, ElementWiseOperationsAndTheirMessages) {
  TVector a(nullptr), b(nullptr), c(nullptr);
  a.SetName("VecA");
  SetValues(a, std::vector<double>{1, 2, 3});
  SetValues(b, std::vector<double>{10, 20, 30});
  SetValues(c, std::vector<double>{1, 2});
  a.Add(&b);
  EXPECT_EQ(a.Elem(3), 33);
  a.Subtract(&b);
  a.SMult(2);
  EXPECT_EQ(a.Elem(2), 4);
  EXPECT_EQ(a.DotProduct(&b), 2 * 10 + 4 * 20 + 6 * 30);
  EXPECT_DOUBLE_EQ(a.EuclideanDistance(&b), std::sqrt(64.0 + 256 + 576));
  a.Add(nullptr);
  EXPECT_EQ(a.DotProduct(nullptr), 0);
  EXPECT_EQ(a.EuclideanDistance(nullptr), 0);
  const auto Different = StrEq("Component \"VecA\": vectors have different dimensions");
  EXPECT_THAT([&] { a.Add(&c); }, ThrowsMessage<EVexaVectorError>(Different));
  EXPECT_THAT([&] { a.Subtract(&c); }, ThrowsMessage<EVexaVectorError>(Different));
  EXPECT_THAT([&] { a.DotProduct(&c); }, ThrowsMessage<EVexaVectorError>(Different));
  EXPECT_THAT([&] { a.EuclideanDistance(&c); },
              ThrowsMessage<EVexaVectorError>(StrEq("EuclideanDistance: dimensions of vectors do not match")));
}

TEST(VectorArith, IntegerArithmeticWraps) {
  TIntVector a(nullptr), b(nullptr);
  SetValues(a, std::vector<int32_t>{INT32_MAX, 1});
  SetValues(b, std::vector<int32_t>{2, 3});
  EXPECT_EQ(a.DotProduct(&b), 1);  // 2·(2³¹−1) + 3 wraps to 1
  a.Add(&b);
  EXPECT_EQ(a.Elem(1), INT32_MIN + 1);
  a.SMult(-1);
  EXPECT_EQ(a.Elem(1), INT32_MAX);
  SetValues(a, std::vector<int32_t>{INT32_MIN});
  SetValues(b, std::vector<int32_t>{1});
  a.Subtract(&b);
  EXPECT_EQ(a.Elem(1), INT32_MAX);
  EXPECT_DOUBLE_EQ(a.EuclideanDistance(&b), 2147483646.0);
}

TEST(VectorArith, PearsonDoesNotCancelOnOffsetData) {
  struct Case {
    std::vector<double> x, y;
    double r;
  };
  const Case Cases[] = {
      // Perfectly correlated with a large offset (the one-pass sums gave 0.79).
      {{1e8 + 1, 1e8 + 2, 1e8 + 3}, {1, 2, 3}, 1.0},
      // Reference from exact rational sums.
      {{1e8 + 1, 1e8 + 2, 1e8 + 3, 1e8 + 4}, {2, 4, 6, 9}, 0.99437671268436891257},
      {{1, 2, 3, 4}, {2, 4, 6, 9}, 0.99437671268436891257},
      {{1, 2, 3}, {3, 2, 1}, -1.0},
      {{1, 2, 3}, {5, 5, 5}, 0.0},  // no spread
      {{0, 0, 0}, {1, 2, 3}, 0.0},
      {{1}, {1}, 0.0},             // one element
  };
  for (const Case& c : Cases) {
    TVector x(nullptr), y(nullptr);
    SetValues(x, c.x);
    SetValues(y, c.y);
    EXPECT_NEAR(x.PearsonCorrCoeff(&y), c.r, 1e-12) << c.x[0];
  }
  TVector x(nullptr), y(nullptr);
  SetValues(x, std::vector<double>{1, 2, 3});
  SetValues(y, std::vector<double>{1, 2});
  EXPECT_EQ(x.PearsonCorrCoeff(&y), 0.0);
  EXPECT_EQ(x.PearsonCorrCoeff(nullptr), 0.0);
}

TEST(VectorArith, CorrelateConventionsOfTheTwoClasses) {
  struct Case {
    int32_t Shift;
    double Real;     // Σ xᵢ·y(i−shift) over at least two overlapping elements
    int32_t Integer;  // Σ xᵢ·y(i+shift), missing partners count 0
  };
  const Case Cases[] = {
      {0, 10 + 40 + 90, 10 + 40 + 90},
      {1, 20 + 60 + 120, 20 + 60},
      {-1, 20 + 60, 20 + 60 + 120},
      {3, 0, 0},   // one overlapping element: 0 on TVector
      {-2, 0, 30 + 80},
      {INT32_MAX, 0, 0},
      {INT32_MIN, 0, 0},
  };
  for (const Case& c : Cases) {
    TVector x(nullptr), y(nullptr);
    SetValues(x, std::vector<double>{1, 2, 3, 4});
    SetValues(y, std::vector<double>{10, 20, 30});
    TIntVector ix(nullptr), iy(nullptr);
    SetValues(ix, std::vector<int32_t>{1, 2, 3, 4});
    SetValues(iy, std::vector<int32_t>{10, 20, 30});
    EXPECT_EQ(x.Correlate(&y, c.Shift), c.Real) << c.Shift;
    EXPECT_EQ(ix.Correlate(&iy, c.Shift), c.Integer) << c.Shift;
  }
  TIntVector a(nullptr);
  SetValues(a, std::vector<int32_t>{65536});
  EXPECT_EQ(a.Correlate(&a, 0), 0);  // 2³² wraps
  EXPECT_EQ(a.Correlate(nullptr, 0), 0);
}

TEST(VectorArith, IsDichotomous) {
  struct Case {
    std::vector<double> Values;
    bool Result;
    double v1, v2;
  };
  const Case Cases[] = {
      {{1, 0, 1, 0}, true, 1, 0},
      {{2, 2, 2}, true, 2, 2},
      {{1, 2, 3}, false, 1, 2},
      {{5}, false, 0, 0},
      {{1, kNaN}, false, 1, kNaN},
  };
  for (const Case& c : Cases) {
    TVector v(nullptr);
    SetValues(v, c.Values);
    double v1 = -7, v2 = -7;
    EXPECT_EQ(v.IsDichotomous(v1, v2), c.Result);
    EXPECT_EQ(v1, c.v1);
    if (!std::isnan(c.v2)) {
      EXPECT_EQ(v2, c.v2);
    }
  }
}

TEST(VectorArith, IntegrateMatchesExactIntegrals) {
  // Linear samples f(t) = 3t − 2 at t = 1..6: trapezoids, head and tail
  // pieces and every inner rule are exact, ∫ = 1.5t² − 2t.
  auto Linear = [](double a, double b) { return 1.5 * b * b - 2 * b - (1.5 * a * a - 2 * a); };
  // Cubic samples f(t) = t³ at t = 1..10: the rules for m = 2..4 and the
  // extended rule for m ≥ 5 are exact on cubics, ∫ = (b⁴ − a⁴)/4.
  auto Cubic = [](double a, double b) { return (b * b * b * b - a * a * a * a) / 4; };
  struct Case {
    bool UseCubic;
    double Low, High;
    TIntegMethod Method;
    double Expected;
  };
  const Case Cases[] = {
      {false, 1, 6, imTrapezoidal, Linear(1, 6)},
      {false, 1.25, 4.5, imTrapezoidal, Linear(1.25, 4.5)},
      {false, 2.2, 2.7, imTrapezoidal, Linear(2.2, 2.7)},  // no sample inside
      {false, 4.5, 1.25, imSimpson, Linear(1.25, 4.5)},     // reversed bounds
      {false, -5, 99, imSimpson, Linear(1, 6)},             // clamped
      {false, 1.5, 5.75, imSimpson, Linear(1.5, 5.75)},
      {false, 2, 5, imSimple, Linear(2, 5)},                // mean of samples times width
      {false, 3, 3, imSimpson, 0},
      {true, 1, 2, imSimpson, (1.0 + 8) / 2},               // m = 1: one trapezoid
      {true, 1, 3, imSimpson, Cubic(1, 3)},                 // m = 2
      {true, 2, 5, imSimpson, Cubic(2, 5)},                 // m = 3
      {true, 3, 7, imSimpson, Cubic(3, 7)},                 // m = 4
      {true, 1, 6, imSimpson, Cubic(1, 6)},                 // m = 5
      {true, 1, 7, imSimpson, Cubic(1, 7)},                 // m = 6
      {true, 1, 10, imSimpson, Cubic(1, 10)},               // m = 9
  };
  for (const Case& c : Cases) {
    TVector v(nullptr);
    v.Resize(c.UseCubic ? 10 : 6);
    for (int32_t t = 1; t <= v.NrOfElem(); ++t) {
      v.SetElem(t, c.UseCubic ? double(t) * t * t : 3.0 * t - 2);
    }
    EXPECT_NEAR(v.Integrate(c.Low, c.High, c.Method), c.Expected, 1e-10 * (1 + std::fabs(c.Expected)))
        << c.Low << ".." << c.High << " method " << int(c.Method);
  }
}

TEST(VectorArith, IntegrateSmallCasesAndBadArguments) {
  TVector v(nullptr);
  SetValues(v, std::vector<double>{1, 2, 3});
  EXPECT_DOUBLE_EQ(v.Integrate(1, 3, imTrapezoidal), 4);
  SetValues(v, std::vector<double>{1, 4, 9});
  EXPECT_DOUBLE_EQ(v.Integrate(1, 3, imSimpson), 26.0 / 3);
  SetValues(v, std::vector<double>{1, 3});
  EXPECT_DOUBLE_EQ(v.Integrate(1.2, 1.8, imSimple), (1 + 3) / 2.0 * 0.6);
  // A bound on the last sample reads nothing beyond the data.
  EXPECT_DOUBLE_EQ(v.Integrate(1.5, 2, imTrapezoidal), (2 + 3) / 2.0 * 0.5);
  EXPECT_TRUE(std::isnan(v.Integrate(kNaN, 2, imSimpson)));
  EXPECT_TRUE(std::isnan(v.Integrate(1, kNaN, imSimple)));
  EXPECT_EQ(v.Integrate(1, 2, static_cast<TIntegMethod>(7)), 0.0);
  TVector One(nullptr);
  One.SetElem(1, 5);
  EXPECT_EQ(One.Integrate(0, 9, imSimpson), 0.0);
}

}  // namespace
}  // namespace vexa
