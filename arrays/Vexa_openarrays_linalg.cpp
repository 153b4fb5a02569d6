// Array routines: inversion, LU factors, determinant, products, dot and
// cross products, symmetric eigendecomposition.
//
// The matrix routines work on a contiguous copy held column by column
// (cell (r, c) at c·n + r, which is the array's own [column][row] order), so
// the inner loops run down contiguous columns.

#include <algorithm>
#include <cmath>
#include <new>
#include <numeric>
#include <type_traits>
#include <vector>

#include "arrays/Vexa_openarrays.h"
#include "arrays/internal/Vexa_arraycore.h"
#include "foundation/Vexa_progress.h"

namespace vexa {

namespace {

using arraycore::CellAdd;
using arraycore::CellMul;
using arraycore::CellSub;
using arraycore::TShape;

/// Smallest pivot magnitude the inversion accepts; smaller pivots mark the
/// matrix as singular.
constexpr double kTinyPivot = 1e-100;

/// Order of a square, rectangular, non-empty matrix; 0 otherwise.
size_t SquareOrder(const TDouble2DArray& A) {
  TShape<2> Shape{};
  if (!arraycore::TryShape(A, Shape) || arraycore::IsEmptyShape(Shape) || Shape[0] != Shape[1]) {
    return 0;
  }
  return static_cast<size_t>(Shape[0]);
}

/// A square matrix held column by column, with the row exchanges made while
/// factoring it.
struct TLUWork {
  size_t n = 0;
  std::vector<double> M;          ///< cell (r, c) at c·n + r
  std::vector<int32_t> RowOf;     ///< row k of the factors is row RowOf[k] of the input
  std::vector<double> RowScale;   ///< pivot weight per current row (1 for plain pivoting)
  int Sign = 1;                   ///< sign of the row permutation

  double& At(size_t r, size_t c) { return M[c * n + r]; }

  /// Copies A; throws std::bad_alloc when memory runs out.
  explicit TLUWork(const TDouble2DArray& A) : n(A.size()), M(n * n), RowOf(n), RowScale(n, 1.0) {
    for (size_t c = 0; c < n; ++c) {
      std::copy(A[c].begin(), A[c].end(), M.begin() + static_cast<ptrdiff_t>(c * n));
    }
    std::iota(RowOf.begin(), RowOf.end(), 0);
  }

  void ExchangeRows(size_t a, size_t b) {
    for (size_t c = 0; c < n; ++c) {
      std::swap(At(a, c), At(b, c));
    }
    std::swap(RowOf[a], RowOf[b]);
    std::swap(RowScale[a], RowScale[b]);
    Sign = -Sign;
  }
};

/// Applies the finished columns 0 … j−1 to column j (Crout's sums, taken in
/// the same order).
void EliminateColumn(TLUWork& W, size_t j) {
  double* Col = &W.M[j * W.n];
  for (size_t k = 0; k < j; ++k) {
    const double x = Col[k];
    if (x == 0.0) {
      continue;
    }
    const double* Lk = &W.M[k * W.n];
    arraycore::SubtractScaled(Col + k + 1, Lk + k + 1, x, W.n - k - 1);
  }
}

/// Row of the pivot of column j: the largest RowScale·|value| from row j
/// down; on equal weights the later row wins.
size_t PivotRow(TLUWork& W, size_t j) {
  size_t Best = j;
  double BestWeight = -1.0;
  for (size_t i = j; i < W.n; ++i) {
    const double Weight = W.RowScale[i] * std::fabs(W.At(i, j));
    if (Weight >= BestWeight) {
      BestWeight = Weight;
      Best = i;
    }
  }
  return Best;
}

/// Divides the cells below the pivot of column j by it.
void ScaleBelowPivot(TLUWork& W, size_t j, double Pivot) {
  double* Col = &W.M[j * W.n];
  for (size_t i = j + 1; i < W.n; ++i) {
    Col[i] /= Pivot;
  }
}

/// Plain partial pivoting (LUdecomposition, Determinant). A zero pivot
/// means the rest of the column is zero too; it is left as it is.
void FactorPlain(TLUWork& W) {
  for (size_t j = 0; j < W.n; ++j) {
    EliminateColumn(W, j);
    const size_t p = PivotRow(W, j);
    if (p != j) {
      W.ExchangeRows(p, j);
    }
    const double Pivot = W.At(j, j);
    if (Pivot != 0.0) {
      ScaleBelowPivot(W, j, Pivot);
    }
  }
}

// ---------------------------------------------------------------- inversion

/// Scales of the rows (1 / largest |cell|); −3 for a row of zeros, −4 when aborted.
int32_t SetRowScales(TLUWork& W) {
  bool ZeroRow = false;
  for (size_t r = 0; r < W.n; ++r) {
    if (AbortMathProc.load()) {
      return -4;
    }
    double Largest = 0.0;
    for (size_t c = 0; c < W.n; ++c) {
      Largest = std::max(Largest, std::fabs(W.At(r, c)));
    }
    ZeroRow = ZeroRow || Largest == 0.0;
    W.RowScale[r] = Largest == 0.0 ? 0.0 : 1.0 / Largest;
  }
  return ZeroRow ? -3 : 0;
}

/// Crout factorisation with scaled pivoting; a pivot below kTinyPivot is
/// replaced by it and makes the result −3. −4 when aborted.
int32_t FactorScaled(TLUWork& W) {
  int32_t Result = 0;
  for (size_t j = 0; j < W.n; ++j) {
    if (ProgressStep()) {
      return -4;
    }
    EliminateColumn(W, j);
    const size_t p = PivotRow(W, j);
    if (p != j) {
      W.ExchangeRows(p, j);
    }
    double& Pivot = W.At(j, j);
    if (std::fabs(Pivot) < kTinyPivot) {
      Pivot = kTinyPivot;
      Result = -3;
    }
    ScaleBelowPivot(W, j, Pivot);
  }
  return Result;
}

/// Column Target of the inverse: solves L·U·x = P·e(Target) into x.
void SolveUnitColumn(const TLUWork& W, size_t Target, std::vector<double>& x) {
  const size_t n = W.n;
  std::fill(x.begin(), x.end(), 0.0);
  size_t First = n;
  for (size_t k = 0; k < n; ++k) {
    if (static_cast<size_t>(W.RowOf[k]) == Target) {
      x[k] = 1.0;
      First = k;
    }
  }
  // Forward substitution with the unit lower triangle, from the one non-zero entry on.
  for (size_t k = First; k < n; ++k) {
    const double xk = x[k];
    if (xk == 0.0) {
      continue;
    }
    const double* Lk = &W.M[k * n];
    arraycore::SubtractScaled(x.data() + k + 1, Lk + k + 1, xk, n - k - 1);
  }
  // Back substitution with the upper triangle.
  for (size_t k = n; k-- > 0;) {
    const double* Uk = &W.M[k * n];
    x[k] /= Uk[k];
    arraycore::SubtractScaled(x.data(), Uk, x[k], k);
  }
}

int32_t InvertFactored(const TLUWork& W, TDouble2DArray& Inverse) {
  std::vector<double> x(W.n);
  for (size_t i = 0; i < W.n; ++i) {
    if (ProgressStep()) {
      return -4;
    }
    SolveUnitColumn(W, i, x);
    std::copy(x.begin(), x.end(), Inverse[i].begin());
  }
  return 0;
}

/// Bytes of the working storage of an inversion of order n (copy and result).
bool InversionFits(size_t n) {
  uint64_t Bytes = 0;
  const int64_t Dims[] = {2, static_cast<int64_t>(n), static_cast<int64_t>(n)};
  return TryMultiplyDims(Dims, Bytes) && Bytes <= UINT64_MAX / sizeof(double) &&
         StorageFits(Bytes * sizeof(double));
}

// ---------------------------------------------------------------- LU output

/// Writes the factors as [column][row] arrays: U the upper triangle, L the
/// unit lower triangle with its rows placed at PlaceRow(k).
template <class TPlace>
void WriteFactors(TLUWork& W, TDouble2DArray& L, TDouble2DArray& U, TPlace&& PlaceRow) {
  const auto n = static_cast<int64_t>(W.n);
  auto NewL = arraycore::NewArray<TDouble2DArray>("LUdecomposition", {n, n});
  auto NewU = arraycore::NewArray<TDouble2DArray>("LUdecomposition", {n, n});
  for (size_t c = 0; c < W.n; ++c) {
    for (size_t r = 0; r < W.n; ++r) {
      const size_t Row = PlaceRow(r);
      if (r <= c) {
        NewU[c][r] = W.At(r, c);
      }
      if (r == c) {
        NewL[c][Row] = 1.0;
      } else if (r > c) {
        NewL[c][Row] = W.At(r, c);
      }
    }
  }
  L.swap(NewL);
  U.swap(NewU);
}

// ---------------------------------------------------------------- products

template <class T>
using T2D = std::vector<std::vector<T>>;

/// Rows and columns of a matrix operand; false when empty or ragged.
template <class T>
bool MatrixShape(const T2D<T>& A, TShape<2>& Shape) {
  return arraycore::TryShape(A, Shape) && !arraycore::IsEmptyShape(Shape);
}

template <class T>
int32_t MatrixTimesMatrix(const T2D<T>& A, const T2D<T>& B, T2D<T>& C) {
  TShape<2> SA{}, SB{};
  if (!MatrixShape(A, SA) || !MatrixShape(B, SB)) {
    return -1;
  }
  if (SA[0] != SB[1]) {
    return -2;
  }
  const int64_t Rows = SA[1], Cols = SB[0], Inner = SA[0];
  auto Product = arraycore::NewArray<T2D<T>>("MultiplyArrays", {Cols, Rows});
  for (int64_t c = 0; c < Cols; ++c) {
    auto& Out = Product[static_cast<size_t>(c)];
    for (int64_t k = 0; k < Inner; ++k) {
      const T b = B[static_cast<size_t>(c)][static_cast<size_t>(k)];
      const auto& Ak = A[static_cast<size_t>(k)];
      if constexpr (std::is_same_v<T, double>) {
        arraycore::AddScaled(Out.data(), Ak.data(), b, Out.size());
      } else {
        for (size_t r = 0; r < Out.size(); ++r) {
          Out[r] = CellAdd(Out[r], CellMul(Ak[r], b));
        }
      }
    }
  }
  C.swap(Product);
  return 0;
}

template <class T>
int32_t MatrixTimesColumn(const T2D<T>& A, const std::vector<T>& B, std::vector<T>& C) {
  TShape<2> SA{};
  if (!MatrixShape(A, SA) || B.empty()) {
    return -1;
  }
  if (SA[0] != static_cast<int64_t>(B.size())) {
    return -2;
  }
  auto Product = arraycore::NewArray<std::vector<T>>("MultiplyArrays", {SA[1]});
  for (size_t k = 0; k < B.size(); ++k) {
    for (size_t r = 0; r < Product.size(); ++r) {
      Product[r] = CellAdd(Product[r], CellMul(A[k][r], B[k]));
    }
  }
  C.swap(Product);
  return 0;
}

template <class T>
int32_t RowTimesMatrix(const std::vector<T>& A, const T2D<T>& B, std::vector<T>& C) {
  TShape<2> SB{};
  if (A.empty() || !MatrixShape(B, SB)) {
    return -1;
  }
  if (static_cast<int64_t>(A.size()) != SB[1]) {
    return -2;
  }
  auto Product = arraycore::NewArray<std::vector<T>>("MultiplyArrays", {SB[0]});
  for (size_t c = 0; c < Product.size(); ++c) {
    T Sum = 0;
    for (size_t k = 0; k < A.size(); ++k) {
      Sum = CellAdd(Sum, CellMul(A[k], B[c][k]));
    }
    Product[c] = Sum;
  }
  C.swap(Product);
  return 0;
}

template <class T>
int32_t DotProduct(const std::vector<T>& A, const std::vector<T>& B, T& Product) {
  if (A.empty() || B.empty()) {
    return -1;
  }
  if (A.size() != B.size()) {
    return -2;
  }
  T Sum = 0;
  for (size_t k = 0; k < A.size(); ++k) {
    Sum = CellAdd(Sum, CellMul(A[k], B[k]));
  }
  Product = Sum;
  return 0;
}

template <class T>
int32_t CrossProduct(const std::vector<T>& A, const std::vector<T>& B, std::vector<T>& C) {
  if (A.empty() || B.empty()) {
    return -1;
  }
  if (A.size() != 3 || B.size() != 3) {
    return -2;
  }
  auto Term = [&](size_t i, size_t j) { return CellSub(CellMul(A[i], B[j]), CellMul(A[j], B[i])); };
  std::vector<T> Product{Term(1, 2), Term(2, 0), Term(0, 1)};
  C.swap(Product);
  return 0;
}

// ---------------------------------------------------------------- eigenvalues

constexpr int kMaxJacobiSweeps = 100;
constexpr double kSymmetryTolerance = 1e-12;

bool IsSymmetric(const TDouble2DArray& A) {
  double Largest = 0.0;
  for (const auto& Col : A) {
    for (double x : Col) {
      Largest = std::max(Largest, std::fabs(x));
    }
  }
  const double Limit = kSymmetryTolerance * Largest;
  for (size_t i = 0; i < A.size(); ++i) {
    for (size_t j = i + 1; j < A.size(); ++j) {
      if (!(std::fabs(A[i][j] - A[j][i]) <= Limit)) {
        return false;
      }
    }
  }
  return true;
}

/// State of a cyclic Jacobi run on a symmetric matrix a (row by row, only
/// the upper triangle is used), with the eigenvector columns in v.
class TJacobi {
public:
  explicit TJacobi(const TDouble2DArray& A)
      : n(A.size()), a(n * n), v(n * n, 0.0), d(n), b(n), z(n, 0.0) {
    for (size_t i = 0; i < n; ++i) {
      for (size_t j = 0; j < n; ++j) {
        a[i * n + j] = A[j][i];
      }
      v[i * n + i] = 1.0;
      d[i] = b[i] = a[i * n + i];
    }
  }

  /// 0 converged, −3 not within the sweep limit, −4 aborted.
  int32_t Run() {
    for (int Sweep = 1; Sweep <= kMaxJacobiSweeps; ++Sweep) {
      const double OffSum = OffDiagonalSum();
      if (OffSum == 0.0) {
        return 0;
      }
      if (ProgressStep()) {
        return -4;
      }
      const double Threshold = Sweep < 4 ? 0.2 * OffSum / static_cast<double>(n * n) : 0.0;
      for (size_t p = 0; p + 1 < n; ++p) {
        for (size_t q = p + 1; q < n; ++q) {
          RotateIfNeeded(Sweep, p, q, Threshold);
        }
      }
      for (size_t p = 0; p < n; ++p) {
        b[p] += z[p];
        d[p] = b[p];
        z[p] = 0.0;
      }
    }
    return OffDiagonalSum() == 0.0 ? 0 : -3;
  }

  const std::vector<double>& Values() const { return d; }
  double Vector(size_t k, size_t Row) const { return v[Row * n + k]; }

private:
  double OffDiagonalSum() const {
    double Sum = 0.0;
    for (size_t p = 0; p + 1 < n; ++p) {
      for (size_t q = p + 1; q < n; ++q) {
        Sum += std::fabs(a[p * n + q]);
      }
    }
    return Sum;
  }

  void RotateIfNeeded(int Sweep, size_t p, size_t q, double Threshold) {
    double& apq = a[p * n + q];
    const double g = 100.0 * std::fabs(apq);
    // After four sweeps an element too small to change the diagonal is dropped.
    if (Sweep > 4 && std::fabs(d[p]) + g == std::fabs(d[p]) &&
        std::fabs(d[q]) + g == std::fabs(d[q])) {
      apq = 0.0;
      return;
    }
    if (!(std::fabs(apq) > Threshold)) {
      return;
    }
    const double h = d[q] - d[p];
    double t = 0.0;
    if (std::fabs(h) + g == std::fabs(h)) {
      t = apq / h;
    } else {
      const double theta = 0.5 * h / apq;
      t = 1.0 / (std::fabs(theta) + std::sqrt(1.0 + theta * theta));
      if (theta < 0.0) {
        t = -t;
      }
    }
    const double c = 1.0 / std::sqrt(1.0 + t * t);
    const double s = t * c;
    const double tau = s / (1.0 + c);
    const double hh = t * apq;
    z[p] -= hh;
    z[q] += hh;
    d[p] -= hh;
    d[q] += hh;
    apq = 0.0;
    auto Rotate = [&](std::vector<double>& m, size_t i, size_t j, size_t k, size_t l) {
      const double gg = m[i * n + j];
      const double hv = m[k * n + l];
      m[i * n + j] = gg - s * (hv + gg * tau);
      m[k * n + l] = hv + s * (gg - hv * tau);
    };
    for (size_t j = 0; j < p; ++j) Rotate(a, j, p, j, q);
    for (size_t j = p + 1; j < q; ++j) Rotate(a, p, j, j, q);
    for (size_t j = q + 1; j < n; ++j) Rotate(a, p, j, q, j);
    for (size_t j = 0; j < n; ++j) Rotate(v, j, p, j, q);
  }

  size_t n;
  std::vector<double> a, v, d, b, z;
};

}  // namespace

// ---------------------------------------------------------------- public routines

int32_t InvertArray(TDouble2DArray& A) {
  const size_t n = SquareOrder(A);
  if (n == 0) {
    return -1;
  }
  if (!InversionFits(n)) {
    return -2;
  }
  try {
    TLUWork W(A);
    TDouble2DArray Inverse(n, TDoubleArray(n));
    int32_t Result = SetRowScales(W);
    if (Result == 0) {
      Result = FactorScaled(W);
    }
    if (Result == 0) {
      Result = InvertFactored(W, Inverse);
    }
    if (Result == 0) {
      A.swap(Inverse);
    }
    return Result;
  } catch (const std::bad_alloc&) {
    return -2;
  }
}

int32_t LUdecomposition(const TDouble2DArray& A, TDouble2DArray& L, TDouble2DArray& U) {
  if (SquareOrder(A) == 0) {
    return -1;
  }
  TLUWork W(A);
  FactorPlain(W);
  // L = Pᵀ·(unit lower): row k of the factor goes back to the input row it came from.
  WriteFactors(W, L, U, [&W](size_t k) { return static_cast<size_t>(W.RowOf[k]); });
  return 0;
}

int32_t LUPdecomposition(const TDouble2DArray& A, TDouble2DArray& L, TDouble2DArray& U,
                         TIntArray& Perm) {
  if (SquareOrder(A) == 0) {
    return -1;
  }
  TLUWork W(A);
  FactorPlain(W);
  WriteFactors(W, L, U, [](size_t k) { return k; });
  Perm = W.RowOf;
  return 0;
}

double Determinant(const TDouble2DArray& A) {
  if (SquareOrder(A) == 0) {
    return 0.0;
  }
  TLUWork W(A);
  FactorPlain(W);
  double Product = W.Sign;
  for (size_t k = 0; k < W.n; ++k) {
    Product *= W.At(k, k);
  }
  return Product;
}

int32_t MultiplyArrays(const TDouble2DArray& A, const TDouble2DArray& B, TDouble2DArray& C) {
  return MatrixTimesMatrix(A, B, C);
}
int32_t MultiplyArrays(const TDouble2DArray& A, const TDoubleArray& B, TDoubleArray& C) {
  return MatrixTimesColumn(A, B, C);
}
int32_t MultiplyArrays(const TDoubleArray& A, const TDouble2DArray& B, TDoubleArray& C) {
  return RowTimesMatrix(A, B, C);
}
int32_t MultiplyArrays(const TInt2DArray& A, const TInt2DArray& B, TInt2DArray& C) {
  return MatrixTimesMatrix(A, B, C);
}
int32_t MultiplyArrays(const TInt2DArray& A, const TIntArray& B, TIntArray& C) {
  return MatrixTimesColumn(A, B, C);
}
int32_t MultiplyArrays(const TIntArray& A, const TInt2DArray& B, TIntArray& C) {
  return RowTimesMatrix(A, B, C);
}

int32_t VectorDotProduct(const TDoubleArray& A, const TDoubleArray& B, double& Product) {
  return DotProduct(A, B, Product);
}
int32_t VectorDotProduct(const TIntArray& A, const TIntArray& B, int32_t& Product) {
  return DotProduct(A, B, Product);
}
int32_t VectorCrossProduct(const TDoubleArray& A, const TDoubleArray& B, TDoubleArray& C) {
  return CrossProduct(A, B, C);
}
int32_t VectorCrossProduct(const TIntArray& A, const TIntArray& B, TIntArray& C) {
  return CrossProduct(A, B, C);
}

int32_t EigenDecomposition(const TDouble2DArray& A, bool SortDescending, TDouble2DArray& EigVecs,
                           TDoubleArray& EigVals) {
  const size_t n = SquareOrder(A);
  if (n == 0) {
    return -1;
  }
  if (!IsSymmetric(A)) {
    return -2;
  }
  TJacobi Jacobi(A);
  if (const int32_t Result = Jacobi.Run(); Result != 0) {
    return Result;
  }
  std::vector<size_t> Order(n);
  std::iota(Order.begin(), Order.end(), 0);
  if (SortDescending) {
    const auto& d = Jacobi.Values();
    std::stable_sort(Order.begin(), Order.end(), [&d](size_t i, size_t j) { return d[i] > d[j]; });
  }
  TDouble2DArray Vectors(n, TDoubleArray(n));
  TDoubleArray Values(n);
  for (size_t k = 0; k < n; ++k) {
    Values[k] = Jacobi.Values()[Order[k]];
    for (size_t r = 0; r < n; ++r) {
      Vectors[k][r] = Jacobi.Vector(Order[k], r);
    }
  }
  EigVecs.swap(Vectors);
  EigVals.swap(Values);
  return 0;
}

}  // namespace vexa
