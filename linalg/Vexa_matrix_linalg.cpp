// TMatrix as a linear-algebra object: inversion, determinant, LU and
// Cholesky factors, norms, balancing, correlation, differences, hat matrix.
// The factorisations run on the array routines of Vexa_openarrays over a
// [column][row] copy of the cells, so a failure never touches Self.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "arrays/Vexa_openarrays.h"
#include "linalg/Vexa_matrix.h"
#include "linalg/internal/Vexa_svd.h"

namespace vexa {

namespace {

/// Largest number of balancing passes.
constexpr int kMaxBalancePasses = 100;

/// Message of a failed spectral norm.
constexpr char sNearSingular[] = "near singular covariance matrix";

}  // namespace

// ---------------------------------------------------------------- helpers

TDouble2DArray TMatrix::CellsAsArray() const {
  auto Cells = NewStorage<EVexaMatrixError, TDouble2DArray>(*this, {FNCol, FNRow});
  for (int32_t c = 1; c <= FNCol; ++c) {
    const auto Col = Column(c);
    std::copy(Col.begin(), Col.end(), Cells[static_cast<size_t>(c - 1)].begin());
  }
  return Cells;
}

void TMatrix::WriteCellsQuietly(TMatrix& Dest, const TDouble2DArray& Cells) {
  const auto Nc = static_cast<int32_t>(Cells.size());
  const auto Nr = static_cast<int32_t>(Cells[0].size());
  Dest.Resize(Nc, Nr);
  for (int32_t c = 1; c <= Nc; ++c) {
    const TDoubleArray& Src = Cells[static_cast<size_t>(c - 1)];
    std::copy(Src.begin(), Src.end(), Dest.Column(c).begin());
  }
}

namespace {

/// Dest := Cells ([column][row]) through the element setter, after a resize.
void WriteCellsBySetter(TMatrix& Dest, const TDouble2DArray& Cells) {
  const auto Nc = static_cast<int32_t>(Cells.size());
  const auto Nr = static_cast<int32_t>(Cells[0].size());
  Dest.Resize(Nc, Nr);
  for (int32_t c = 1; c <= Nc; ++c) {
    for (int32_t r = 1; r <= Nr; ++r) {
      Dest.SetElem(c, r, Cells[static_cast<size_t>(c - 1)][static_cast<size_t>(r - 1)]);
    }
  }
}

}  // namespace

// ---------------------------------------------------------------- inverse, determinant, LU

bool TMatrix::Invert() {
  if (FNCol != FNRow) {
    return false;
  }
  TDouble2DArray Work;
  try {
    Work = CellsAsArray();
  } catch (const EVexaMatrixError&) {
    return false;  // out of memory: reported as a failed inversion
  }
  if (InvertArray(Work) != 0) {
    return false;
  }
  for (int32_t c = 1; c <= FNCol; ++c) {
    const TDoubleArray& Src = Work[static_cast<size_t>(c - 1)];
    std::copy(Src.begin(), Src.end(), Column(c).begin());
  }
  return true;
}

double TMatrix::Determinant() const {
  if (FNCol != FNRow) {
    return 0.0;
  }
  return vexa::Determinant(CellsAsArray());
}

bool TMatrix::LUdecomposition(TMatrix* MatL, TMatrix* MatU) const {
  if (FNCol != FNRow || MatL == nullptr || MatU == nullptr || MatL == MatU) {
    return false;
  }
  TDouble2DArray L, U;
  if (vexa::LUdecomposition(CellsAsArray(), L, U) != 0) {
    return false;
  }
  WriteCellsBySetter(*MatL, L);
  WriteCellsBySetter(*MatU, U);
  return true;
}

// ---------------------------------------------------------------- Cholesky

bool TMatrix::CholeskyDecomp(TMatrix* MatL) {
  if (FNCol != FNRow || MatL == nullptr) {
    return false;
  }
  const int32_t n = FNCol;
  // a(i, j) is storage cell [i][j], i.e. cell (column i, row j); the factor
  // element of row j, column i (j > i) goes to a(i, j)'s mirror a(j, i).
  std::vector<double> a = NewBuffer(n, n);
  std::copy(FData.begin(), FData.end(), a.begin());
  const size_t N = static_cast<size_t>(n);
  auto At = [&a, N](size_t i, size_t j) -> double& { return a[i * N + j]; };
  std::vector<double> Diagonal(N);
  for (size_t i = 0; i < N; ++i) {
    for (size_t j = i; j < N; ++j) {
      double s = At(i, j);
      for (size_t k = 0; k < i; ++k) {
        s -= At(i, k) * At(j, k);
      }
      if (i == j) {
        if (!(s > 0.0)) {
          return false;  // not positive definite (or NaN): nothing is written
        }
        Diagonal[i] = std::sqrt(s);
      } else {
        At(j, i) = s / Diagonal[i];
      }
    }
  }
  TDouble2DArray Factor(N, TDoubleArray(N, 0.0));
  for (size_t c = 0; c < N; ++c) {
    Factor[c][c] = Diagonal[c];
    for (size_t r = c + 1; r < N; ++r) {
      Factor[c][r] = At(r, c);
    }
  }
  FData.swap(a);
  WriteCellsBySetter(*MatL, Factor);
  return true;
}

// ---------------------------------------------------------------- norms

namespace {

/// The larger of Best and x; a NaN x makes the result NaN.
double MaxKeepingNaN(double Best, double x) noexcept { return (x > Best || std::isnan(x)) ? x : Best; }

/// √Σx² without overflow or underflow of the squares.
double FrobeniusNorm(const std::vector<double>& Cells) {
  double Largest = 0.0;
  for (double x : Cells) {
    Largest = MaxKeepingNaN(Largest, std::fabs(x));
  }
  if (Largest == 0.0 || !std::isfinite(Largest)) {
    return Largest;
  }
  double Sum = 0.0;
  for (double x : Cells) {
    const double Scaled = x / Largest;
    Sum += Scaled * Scaled;
  }
  return Largest * std::sqrt(Sum);
}

}  // namespace

double TMatrix::Norm(TNormType nt) const {
  switch (nt) {
    case ntColwise: {
      double Best = 0.0;
      for (int32_t c = 1; c <= FNCol; ++c) {
        double Sum = 0.0;
        for (double x : Column(c)) {
          Sum += std::fabs(x);
        }
        Best = MaxKeepingNaN(Best, Sum);
      }
      return Best;
    }
    case ntRowwise: {
      std::vector<double> RowSums(static_cast<size_t>(FNRow), 0.0);
      for (int32_t c = 1; c <= FNCol; ++c) {
        const auto Col = Column(c);
        for (size_t r = 0; r < RowSums.size(); ++r) {
          RowSums[r] += std::fabs(Col[r]);
        }
      }
      double Best = 0.0;
      for (double Sum : RowSums) {
        Best = MaxKeepingNaN(Best, Sum);
      }
      return Best;
    }
    case ntSpectral: {
      TDouble2DArray U, V;
      TDoubleArray W;
      if (svd::SingularValueDecomposition(CellsAsArray(), U, W, V) != svd::svdConverged) {
        throw EVexaMatrixError(sNearSingular);
      }
      return *std::max_element(W.begin(), W.end());
    }
    case ntFrobenius: return FrobeniusNorm(FData);
  }
  return 0.0;
}

// ---------------------------------------------------------------- balancing

namespace {

/// One balancing pass over the n × n cells (column-major); returns the
/// largest scaling departure max(f, 1/f) applied.
double BalancePass(std::vector<double>& Cells, size_t n) {
  auto At = [&Cells, n](size_t Col, size_t Row) -> double& { return Cells[Col * n + Row]; };
  double Largest = 1.0;
  for (size_t j = 0; j < n; ++j) {
    double ColSum = 0.0, RowSum = 0.0;
    for (size_t k = 0; k < n; ++k) {
      if (k != j) {
        ColSum += std::fabs(At(j, k));
        RowSum += std::fabs(At(k, j));
      }
    }
    if (ColSum == 0.0 || RowSum == 0.0) {
      continue;  // nothing to balance against (also avoids f = 0 or ∞)
    }
    const double f = std::sqrt(ColSum / RowSum);
    if (!std::isfinite(f) || f == 0.0) {
      continue;  // infinite or NaN sums: scaling would only spread them
    }
    // D·A·D⁻¹ with d_j = 1/f: column j divided by f, row j multiplied by f.
    for (size_t k = 0; k < n; ++k) {
      if (k != j) {
        At(j, k) /= f;
        At(k, j) *= f;
      }
    }
    Largest = std::max({Largest, f, 1.0 / f});
  }
  return Largest;
}

}  // namespace

bool TMatrix::Balance(double Tolerance) {
  if (FNCol != FNRow) {
    return false;
  }
  const double Threshold = std::min(Tolerance >= 1.000001 ? Tolerance : 1.000001, 1.05);
  const size_t n = static_cast<size_t>(FNCol);
  int Passes = 0;
  double Largest = 0.0;
  do {
    Largest = BalancePass(FData, n);
    ++Passes;
  } while (Largest > Threshold && Passes < kMaxBalancePasses);
  return !(Largest > Threshold);
}

// ---------------------------------------------------------------- correlation, differences

double TMatrix::Correlate(const TMatrix* OtherMat) const {
  if (OtherMat == nullptr || OtherMat->FNCol != FNCol || OtherMat->FNRow != FNRow) {
    throw EVexaMatrixError(ComponentMessage(*this, "\": matrices do not match"));
  }
  const size_t n = FData.size();
  if (n <= 2) {
    return 0.0;
  }
  // Sums about the first pair, still one pass: no cancellation for data far
  // from zero.
  const double x0 = FData[0], y0 = OtherMat->FData[0];
  double Sx = 0.0, Sy = 0.0, Sxx = 0.0, Syy = 0.0, Sxy = 0.0;
  for (size_t k = 0; k < n; ++k) {
    const double dx = FData[k] - x0;
    const double dy = OtherMat->FData[k] - y0;
    Sx += dx;
    Sy += dy;
    Sxx += dx * dx;
    Syy += dy * dy;
    Sxy += dx * dy;
  }
  const double Count = static_cast<double>(n);
  const double Cxx = Sxx - Sx * Sx / Count;
  const double Cyy = Syy - Sy * Sy / Count;
  if (Cxx == 0.0 || Cyy == 0.0) {
    return 0.0;
  }
  return (Sxy - Sx * Sy / Count) / (std::sqrt(std::fabs(Cxx)) * std::sqrt(std::fabs(Cyy)));
}

namespace {

/// Order-fold differences of Line (Length values, Stride apart) into Out
/// (Length − Order values, OutStride apart).
void DifferenceLine(const double* Line, size_t Stride, size_t Length, int32_t Order, double* Out,
                    size_t OutStride, std::vector<double>& Work) {
  Work.resize(Length);
  for (size_t k = 0; k < Length; ++k) {
    Work[k] = Line[k * Stride];
  }
  size_t Valid = Length;
  for (int32_t p = 0; p < Order; ++p) {
    --Valid;
    for (size_t k = 0; k < Valid; ++k) {
      Work[k] = Work[k + 1] - Work[k];
    }
  }
  for (size_t k = 0; k < Valid; ++k) {
    Out[k * OutStride] = Work[k];
  }
}

}  // namespace

int32_t TMatrix::Diff(int32_t Order, TApplyColRow Mode) {
  if (Order < 1 || Order > 10) {
    return -1;
  }
  if (Mode != acrColumns && Mode != acrRows) {
    return 0;
  }
  const bool DownColumns = Mode == acrColumns;
  if (Order >= (DownColumns ? FNRow : FNCol)) {
    return -2;
  }
  const int32_t NewCols = DownColumns ? FNCol : FNCol - Order;
  const int32_t NewRows = DownColumns ? FNRow - Order : FNRow;
  std::vector<double> Result = NewBuffer(NewCols, NewRows);
  std::vector<double> Work;
  const size_t Rows = static_cast<size_t>(FNRow);
  const size_t OutRows = static_cast<size_t>(NewRows);
  if (DownColumns) {
    for (size_t c = 0; c < static_cast<size_t>(FNCol); ++c) {
      DifferenceLine(&FData[c * Rows], 1, Rows, Order, &Result[c * OutRows], 1, Work);
    }
  } else {
    for (size_t r = 0; r < Rows; ++r) {
      DifferenceLine(&FData[r], Rows, static_cast<size_t>(FNCol), Order, &Result[r], OutRows, Work);
    }
  }
  FData.swap(Result);
  FNCol = NewCols;
  FNRow = NewRows;
  Changed();
  Resized();
  return 0;
}

// ---------------------------------------------------------------- hat matrix

int32_t TMatrix::CalcHatMatrix(TMatrix* HatMat) const {
  if (HatMat == nullptr) {
    return -1;
  }
  if (FNCol > FNRow) {
    return -3;  // XᵀX is singular for more features than objects
  }
  TDouble2DArray X;
  try {
    X = CellsAsArray();
  } catch (const EVexaMatrixError&) {
    return -2;
  }
  TDouble2DArray H;
  const int32_t Result = vexa::CalcHatMatrix(X, H);
  if (Result != 0) {
    return Result;
  }
  WriteCellsQuietly(*HatMat, H);
  return 0;
}

}  // namespace vexa
