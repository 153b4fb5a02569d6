#include "linalg/internal/Vexa_svd.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <new>
#include <stdexcept>
#include <vector>

#include "foundation/Vexa_progress.h"
#include "foundation/Vexa_storage.h"

namespace vexa::svd {

namespace {

/// A dense m × n matrix, one contiguous buffer, each column contiguous.
class TDense {
public:
  TDense(size_t Rows, size_t Cols) : FRows(Rows), FCells(Rows * Cols, 0.0) {}
  double& operator()(size_t Row, size_t Col) noexcept { return FCells[Col * FRows + Row]; }
  double operator()(size_t Row, size_t Col) const noexcept { return FCells[Col * FRows + Row]; }

private:
  size_t FRows;
  std::vector<double> FCells;
};

/// |a| with the sign of b (b = 0 counts as positive).
double WithSignOf(double a, double b) noexcept { return b >= 0.0 ? std::fabs(a) : -std::fabs(a); }

/// The working state of one decomposition: a (m × n) becomes U, v becomes V,
/// w the diagonal and e the superdiagonal of the bidiagonal form (e[0] = 0).
struct TSvdWork {
  TSvdWork(size_t Rows, size_t Cols) : m(Rows), n(Cols), a(Rows, Cols), v(Cols, Cols), w(Cols), e(Cols) {}

  size_t m, n;
  TDense a, v;
  std::vector<double> w, e;
  double ANorm = 0.0;  // largest |w| + |e|: the scale of "negligible"
  bool Converged = true;

  bool Negligible(double x) const noexcept { return std::fabs(x) + ANorm == ANorm; }
};

/// Householder reflection that zeroes a(i+1..m-1, i); returns the new w[i].
double ReflectColumn(TSvdWork& S, size_t i) {
  TDense& a = S.a;
  double Scale = 0.0;
  for (size_t k = i; k < S.m; ++k) {
    Scale += std::fabs(a(k, i));
  }
  if (Scale == 0.0) {
    return 0.0;
  }
  double Sum = 0.0;
  for (size_t k = i; k < S.m; ++k) {
    a(k, i) /= Scale;
    Sum += a(k, i) * a(k, i);
  }
  const double f = a(i, i);
  const double g = -WithSignOf(std::sqrt(Sum), f);
  const double h = f * g - Sum;
  a(i, i) = f - g;
  for (size_t j = i + 1; j < S.n; ++j) {
    double Dot = 0.0;
    for (size_t k = i; k < S.m; ++k) {
      Dot += a(k, i) * a(k, j);
    }
    const double Factor = Dot / h;
    for (size_t k = i; k < S.m; ++k) {
      a(k, j) += Factor * a(k, i);
    }
  }
  for (size_t k = i; k < S.m; ++k) {
    a(k, i) *= Scale;
  }
  return Scale * g;
}

/// Householder reflection that zeroes a(i, i+2..n-1); returns the value that
/// becomes the superdiagonal entry e[i+1]. Rv is scratch of length n.
double ReflectRow(TSvdWork& S, size_t i, std::vector<double>& Rv) {
  TDense& a = S.a;
  const size_t l = i + 1;
  double Scale = 0.0;
  for (size_t k = l; k < S.n; ++k) {
    Scale += std::fabs(a(i, k));
  }
  if (Scale == 0.0) {
    return 0.0;
  }
  double Sum = 0.0;
  for (size_t k = l; k < S.n; ++k) {
    a(i, k) /= Scale;
    Sum += a(i, k) * a(i, k);
  }
  const double f = a(i, l);
  const double g = -WithSignOf(std::sqrt(Sum), f);
  const double h = f * g - Sum;
  a(i, l) = f - g;
  for (size_t k = l; k < S.n; ++k) {
    Rv[k] = a(i, k) / h;
  }
  for (size_t j = l; j < S.m; ++j) {
    double Dot = 0.0;
    for (size_t k = l; k < S.n; ++k) {
      Dot += a(j, k) * a(i, k);
    }
    for (size_t k = l; k < S.n; ++k) {
      a(j, k) += Dot * Rv[k];
    }
  }
  for (size_t k = l; k < S.n; ++k) {
    a(i, k) *= Scale;
  }
  return Scale * g;
}

/// Householder reduction to bidiagonal form. False when aborted.
bool Bidiagonalise(TSvdWork& S) {
  std::vector<double> Rv(S.n, 0.0);
  for (size_t i = 0; i < S.n; ++i) {
    if (ProgressStep()) {
      return false;
    }
    S.w[i] = i < S.m ? ReflectColumn(S, i) : 0.0;
    const double Super = (i < S.m && i + 1 < S.n) ? ReflectRow(S, i, Rv) : 0.0;
    if (i + 1 < S.n) {
      S.e[i + 1] = Super;
    }
    S.ANorm = std::max(S.ANorm, std::fabs(S.w[i]) + std::fabs(S.e[i]));
  }
  return true;
}

/// Builds V from the row reflections kept in a (right-hand transformations).
bool AccumulateRight(TSvdWork& S) {
  TDense& a = S.a;
  TDense& v = S.v;
  for (size_t i = S.n; i-- > 0;) {
    if (ProgressStep()) {
      return false;
    }
    const size_t l = i + 1;
    if (l < S.n) {
      const double g = S.e[l];
      if (g != 0.0 && i < S.m) {
        // Double division avoids a possible underflow of a(i, l) * g.
        for (size_t j = l; j < S.n; ++j) {
          v(j, i) = (a(i, j) / a(i, l)) / g;
        }
        for (size_t j = l; j < S.n; ++j) {
          double Dot = 0.0;
          for (size_t k = l; k < S.n; ++k) {
            Dot += a(i, k) * v(k, j);
          }
          for (size_t k = l; k < S.n; ++k) {
            v(k, j) += Dot * v(k, i);
          }
        }
      }
      for (size_t j = l; j < S.n; ++j) {
        v(i, j) = 0.0;
        v(j, i) = 0.0;
      }
    }
    v(i, i) = 1.0;
  }
  return true;
}

/// Turns a into U from the column reflections (left-hand transformations).
bool AccumulateLeft(TSvdWork& S) {
  TDense& a = S.a;
  for (size_t i = std::min(S.m, S.n); i-- > 0;) {
    if (ProgressStep()) {
      return false;
    }
    const size_t l = i + 1;
    for (size_t j = l; j < S.n; ++j) {
      a(i, j) = 0.0;
    }
    if (S.w[i] != 0.0) {
      const double g = 1.0 / S.w[i];
      for (size_t j = l; j < S.n; ++j) {
        double Dot = 0.0;
        for (size_t k = l; k < S.m; ++k) {
          Dot += a(k, i) * a(k, j);
        }
        const double f = (Dot / a(i, i)) * g;
        for (size_t k = i; k < S.m; ++k) {
          a(k, j) += f * a(k, i);
        }
      }
      for (size_t j = i; j < S.m; ++j) {
        a(j, i) *= g;
      }
    } else {
      for (size_t j = i; j < S.m; ++j) {
        a(j, i) = 0.0;
      }
    }
    a(i, i) += 1.0;
  }
  return true;
}

/// Plane rotation of two columns of M (Rows entries each): (x, y) → (x·c + y·s, y·c − x·s).
void RotateColumns(TDense& M, size_t Rows, size_t ColX, size_t ColY, double c, double s) {
  for (size_t r = 0; r < Rows; ++r) {
    const double x = M(r, ColX);
    const double y = M(r, ColY);
    M(r, ColX) = x * c + y * s;
    M(r, ColY) = y * c - x * s;
  }
}

/// The start l of the unreduced block that ends at k: e[l] negligible, or
/// w[l − 1] negligible (then SplitAtZero is set and e[l] must be cancelled).
size_t FindBlockStart(const TSvdWork& S, size_t k, bool& SplitAtZero) {
  for (size_t l = k; l > 0; --l) {
    if (S.Negligible(S.e[l])) {
      SplitAtZero = false;
      return l;
    }
    if (S.Negligible(S.w[l - 1])) {
      SplitAtZero = true;
      return l;
    }
  }
  SplitAtZero = false;  // e[0] is zero by construction
  return 0;
}

/// w[l − 1] is negligible: rotate e[l … k] away into it.
void CancelSuperdiagonal(TSvdWork& S, size_t l, size_t k) {
  const size_t nm = l - 1;
  double c = 0.0;
  double s = 1.0;
  for (size_t i = l; i <= k; ++i) {
    const double f = s * S.e[i];
    S.e[i] = c * S.e[i];
    if (S.Negligible(f)) {
      break;
    }
    const double g = S.w[i];
    const double h = std::hypot(f, g);
    S.w[i] = h;
    c = g / h;
    s = -f / h;
    RotateColumns(S.a, S.m, nm, i, c, s);
  }
}

/// One implicit-shift QR sweep over the block l … k (Wilkinson shift from
/// the trailing 2 × 2 block).
void QRSweep(TSvdWork& S, size_t l, size_t k) {
  double x = S.w[l];
  const size_t nm = k - 1;
  double y = S.w[nm];
  double g = S.e[nm];
  double h = S.e[k];
  const double z0 = S.w[k];
  double f = ((y - z0) * (y + z0) + (g - h) * (g + h)) / (2.0 * h * y);
  g = std::hypot(f, 1.0);
  f = ((x - z0) * (x + z0) + h * ((y / (f + WithSignOf(g, f))) - h)) / x;
  double c = 1.0;
  double s = 1.0;
  for (size_t j = l; j <= nm; ++j) {
    const size_t i = j + 1;
    g = S.e[i];
    y = S.w[i];
    h = s * g;
    g = c * g;
    double z = std::hypot(f, h);
    S.e[j] = z;
    c = f / z;
    s = h / z;
    f = x * c + g * s;
    g = g * c - x * s;
    h = y * s;
    y *= c;
    RotateColumns(S.v, S.n, j, i, c, s);
    z = std::hypot(f, h);
    S.w[j] = z;
    if (z != 0.0) {
      c = f / z;
      s = h / z;
    }
    f = c * g + s * y;
    x = c * y - s * g;
    RotateColumns(S.a, S.m, j, i, c, s);
  }
  S.e[l] = 0.0;
  S.e[k] = f;
  S.w[k] = x;
}

/// Makes w[k] non-negative by negating column k of V.
void MakeNonNegative(TSvdWork& S, size_t k) {
  if (S.w[k] < 0.0) {
    S.w[k] = -S.w[k];
    for (size_t r = 0; r < S.n; ++r) {
      S.v(r, k) = -S.v(r, k);
    }
  }
}

/// Diagonalises the bidiagonal form, one singular value k at a time from the
/// last. False when aborted.
bool Diagonalise(TSvdWork& S) {
  for (size_t k = S.n; k-- > 0;) {
    if (ProgressStep()) {
      return false;
    }
    for (int Iteration = 1;; ++Iteration) {
      bool SplitAtZero = false;
      const size_t l = FindBlockStart(S, k, SplitAtZero);
      if (SplitAtZero) {
        CancelSuperdiagonal(S, l, k);
      }
      if (l == k) {
        break;  // w[k] has converged
      }
      if (Iteration >= kMaxQRIterations) {
        S.Converged = false;  // keep what we have and go on with the next value
        break;
      }
      QRSweep(S, l, k);
    }
    MakeNonNegative(S, k);
  }
  return true;
}

/// Binary exponent of the largest finite |cell| (0 when there is none).
int ScaleExponent(const TDouble2DArray& A) {
  double Largest = 0.0;
  for (const TDoubleArray& Col : A) {
    for (double x : Col) {
      if (std::isfinite(x)) {
        Largest = std::max(Largest, std::fabs(x));
      }
    }
  }
  int Exponent = 0;
  if (Largest > 0.0) {
    std::frexp(Largest, &Exponent);
  }
  return Exponent;
}

bool IsRectangular(const TDouble2DArray& A) {
  if (A.empty() || A[0].empty()) {
    return false;
  }
  return std::all_of(A.begin(), A.end(), [&A](const TDoubleArray& Col) { return Col.size() == A[0].size(); });
}

/// Working storage of an m × n decomposition (a, v, and the outputs) in bytes.
bool WorkFits(size_t m, size_t n) {
  const int64_t Cells[] = {static_cast<int64_t>(2 * m + 2 * n), static_cast<int64_t>(n), 8};
  uint64_t Bytes = 0;
  return TryMultiplyDims(Cells, Bytes) && StorageFits(Bytes);
}

void WriteOutputs(const TSvdWork& S, TDouble2DArray& U, TDoubleArray& W, TDouble2DArray& V) {
  TDouble2DArray NewU(S.n, TDoubleArray(S.m));
  TDouble2DArray NewV(S.n, TDoubleArray(S.n));
  for (size_t c = 0; c < S.n; ++c) {
    for (size_t r = 0; r < S.m; ++r) {
      NewU[c][r] = S.a(r, c);
    }
    for (size_t r = 0; r < S.n; ++r) {
      NewV[c][r] = S.v(r, c);
    }
  }
  TDoubleArray NewW = S.w;
  U.swap(NewU);
  V.swap(NewV);
  W.swap(NewW);
}

TSvdStatus Decompose(const TDouble2DArray& A, TDouble2DArray& U, TDoubleArray& W, TDouble2DArray& V) {
  const size_t n = A.size();
  const size_t m = A[0].size();
  TSvdWork S(m, n);
  // The shift computation squares singular values: cells near the overflow
  // (or underflow) limit would break it. Scaling by a power of two near the
  // largest |cell| is exact and undone on the singular values at the end.
  const int Exponent = ScaleExponent(A);
  for (size_t c = 0; c < n; ++c) {
    for (size_t r = 0; r < m; ++r) {
      S.a(r, c) = std::ldexp(A[c][r], -Exponent);
    }
  }
  if (!Bidiagonalise(S) || !AccumulateRight(S) || !AccumulateLeft(S) || !Diagonalise(S)) {
    return svdAborted;
  }
  for (double& w : S.w) {
    w = std::ldexp(w, Exponent);
  }
  // NaN or infinite input cannot meet the convergence test; say so even if
  // the sweep count happened to run out quietly.
  const bool Finite = std::all_of(S.w.begin(), S.w.end(), [](double x) { return std::isfinite(x); });
  WriteOutputs(S, U, W, V);
  return S.Converged && Finite ? svdConverged : svdNotConverged;
}

}  // namespace

TSvdStatus SingularValueDecomposition(const TDouble2DArray& A, TDouble2DArray& U, TDoubleArray& W,
                                      TDouble2DArray& V) {
  if (!IsRectangular(A)) {
    return svdBadShape;
  }
  if (!WorkFits(A[0].size(), A.size())) {
    return svdOutOfMemory;
  }
  try {
    return Decompose(A, U, W, V);
  } catch (const std::bad_alloc&) {
    return svdOutOfMemory;
  } catch (const std::length_error&) {
    return svdOutOfMemory;
  }
}

}  // namespace vexa::svd
