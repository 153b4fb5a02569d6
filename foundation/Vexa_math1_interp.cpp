// Polynomials and table interpolation.

#include <algorithm>
#include <cmath>
#include <limits>

#include "foundation/Vexa_errors.h"
#include "foundation/Vexa_math1.h"

namespace vexa {

namespace {

void CheckPolynomialOrder(std::span<const double> Coeffs, int32_t Order) {
  if (Order < 0 || static_cast<size_t>(Order) >= Coeffs.size()) {
    throw EVexaMath1Error(RoutineMessage("Polynomial", "invalid order of polynomial"));
  }
}

/// Σ Coeffs[i]·tⁱ for i = 0…Order, powers by repeated multiplication.
double PowerSum(std::span<const double> Coeffs, int32_t Order, double t) {
  double sum = 0;
  double power = 1;
  for (size_t i = 0; i <= static_cast<size_t>(Order); ++i) {
    sum += Coeffs[i] * power;
    power *= t;
  }
  return sum;
}

}  // namespace

double Polynomial(std::span<const double> Coeffs, int32_t Order, double x) {
  CheckPolynomialOrder(Coeffs, Order);
  return PowerSum(Coeffs, Order, x);
}

double CenteredPolynomial(std::span<const double> Coeffs, int32_t Order, double Center, double x) {
  CheckPolynomialOrder(Coeffs, Order);
  return PowerSum(Coeffs, Order, x - Center);
}

// ---------------------------------------------------------------- InterpolTable

namespace {

template <typename T>
double InterpolateEquallySpaced(double x, double Low, double High, std::span<const T> Table) {
  const size_t n = Table.size();
  if (n < 2) {
    throw EVexaMath1Error(
        RoutineMessage("InterpolTable", "pivot array must contain at least 2 values"));
  }
  if (Low == High) {
    throw EVexaMath1Error(RoutineMessage("InterpolTable", "specified range of pivot array is zero"));
  }
  if (std::isnan(x)) return std::numeric_limits<double>::quiet_NaN();
  const auto t = [&](size_t i) { return static_cast<double>(Table[i]); };
  const double last = static_cast<double>(n - 1);
  // Entry 0 belongs to Low also when High < Low: positions count from Low.
  const bool ascending = Low < High;
  const bool beforeLow = ascending ? x < Low : x > Low;
  const bool beyondHigh = ascending ? x > High : x < High;
  const double p = (x - Low) / (High - Low) * last;
  if (beforeLow) return t(0) + (t(1) - t(0)) * p;
  if (beyondHigh) return t(n - 1) + (t(n - 1) - t(n - 2)) * ((x - High) / (High - Low) * last);
  if (x == High) return t(n - 1);
  if (std::isnan(p)) return p;
  // Just below High the position may round up to n − 1: keep the segment
  // index inside the table.
  const double f = std::clamp(std::floor(p), 0.0, last - 1);
  const size_t i = static_cast<size_t>(f);
  return t(i) + (t(i + 1) - t(i)) * (p - f);
}

}  // namespace

double InterpolTable(double x, double Low, double High, std::span<const double> Table) {
  return InterpolateEquallySpaced(x, Low, High, Table);
}

double InterpolTable(double x, double Low, double High, std::span<const int32_t> Table) {
  return InterpolateEquallySpaced(x, Low, High, Table);
}

// ---------------------------------------------------------------- InterpolXYTable

namespace {

/// y on the line through pivots i and j at x; a zero-length segment gives
/// the y of pivot j.
double OnSegment(const TDoubleArray& xs, const TDoubleArray& ys, size_t i, size_t j, double x) {
  const double dx = xs[j] - xs[i];
  if (dx == 0) return ys[j];
  return ys[i] + (ys[j] - ys[i]) * (x - xs[i]) / dx;
}

}  // namespace

double InterpolXYTable(double x, const TDouble2DArray& Pivots, bool Extrapolate) {
  if (Pivots.size() != 2) {
    throw EVexaMath1Error(RoutineMessage("InterpolXYTable", "pivot array must contain 2 columns"));
  }
  const TDoubleArray& xs = Pivots[0];
  const TDoubleArray& ys = Pivots[1];
  const size_t n = std::min(xs.size(), ys.size());
  if (n < 2) {
    throw EVexaMath1Error(
        RoutineMessage("InterpolXYTable", "pivot array must contain at least 2 rows"));
  }
  if (std::isnan(x)) return std::numeric_limits<double>::quiet_NaN();
  const bool ascending = xs[n - 1] >= xs[0];
  // "Before" and "beyond" in the direction of the pivots.
  const auto before = [&](double a, double b) { return ascending ? a < b : a > b; };
  if (before(x, xs[0])) return Extrapolate ? OnSegment(xs, ys, 0, 1, x) : 0.0;
  if (before(xs[n - 1], x)) return Extrapolate ? OnSegment(xs, ys, n - 2, n - 1, x) : 0.0;
  // The first pivot not before x, and its predecessor; x at the first pivot
  // uses the first segment.
  size_t j = 1;
  while (j < n - 1 && before(xs[j], x)) ++j;
  return OnSegment(xs, ys, j - 1, j, x);
}

double InterpolZofXYRect(double Z00, double Z01, double Z10, double Z11, double FracX,
                         double FracY) {
  const double a = Z00 + FracX * (Z10 - Z00);
  const double b = Z01 + FracX * (Z11 - Z01);
  return a + FracY * (b - a);
}

}  // namespace vexa
