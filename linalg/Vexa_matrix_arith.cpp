// TMatrix: element-wise arithmetic and the matrix and matrix-vector products.
//
// The products keep the library's summation order (each result cell is the
// plain sum over k = 1, 2, ... of its products, without compensation) but
// walk the column-major storage contiguously: result column, then k, then
// rows. Results are computed into a temporary first, so a result container
// that is also an operand gets the right values.

#include <span>
#include <vector>

#include "arrays/internal/Vexa_arraycore.h"
#include "linalg/internal/Vexa_matrix_detail.h"

namespace vexa {

namespace {

/// Σ a[i]·b[i] in index order.
double Dot(std::span<const double> a, std::span<const double> b) noexcept {
  double Sum = 0.0;
  for (size_t i = 0; i < a.size(); ++i) {
    Sum += a[i] * b[i];
  }
  return Sum;
}

/// Acc[i] += a[i]·Factor, with the vectorised kernel of the array routines
/// (Acc is always a temporary, so the two never overlap).
void AddScaled(std::span<double> Acc, std::span<const double> a, double Factor) noexcept {
  arraycore::AddScaled(Acc.data(), a.data(), Factor, Acc.size());
}

/// Writes Values to the elements 1.. of Vec, resized first (its own events),
/// through the element setter.
void StoreVector(TVector& Vec, std::span<const double> Values) {
  Vec.Resize(static_cast<int32_t>(Values.size()));
  for (size_t i = 0; i < Values.size(); ++i) {
    Vec.SetElem(static_cast<int32_t>(i + 1), Values[i]);
  }
}

/// The elements of Vec in a guarded buffer.
std::vector<double> VectorValues(const TMatrix& Owner, const TVector& Vec) {
  std::vector<double> Values = NewFlatStorage<EVexaMatrixError, double>(Owner, {Vec.NrOfElem()});
  for (int32_t i = 1; i <= Vec.NrOfElem(); ++i) {
    Values[static_cast<size_t>(i - 1)] = Vec.Elem(i);
  }
  return Values;
}

}  // namespace

// ---------------------------------------------------------------- element-wise

bool TMatrix::Add(const TMatrix* MatB) {
  if (MatB == nullptr || MatB->FNCol != FNCol || MatB->FNRow != FNRow) {
    return false;
  }
  for (size_t i = 0; i < FData.size(); ++i) {
    FData[i] += MatB->FData[i];
  }
  Changed();
  return true;
}

bool TMatrix::Subtract(const TMatrix* MatB) {
  if (MatB == nullptr || MatB->FNCol != FNCol || MatB->FNRow != FNRow) {
    return false;
  }
  for (size_t i = 0; i < FData.size(); ++i) {
    FData[i] -= MatB->FData[i];
  }
  Changed();
  return true;
}

void TMatrix::SMult(double Scalar) {
  for (double& x : FData) {
    x *= Scalar;
  }
  Changed();
}

void TMatrix::SAdd(double Scalar) {
  for (double& x : FData) {
    x += Scalar;
  }
  Changed();
}

bool TMatrix::EMult(const TMatrix* MatB, TMatrix* MatRes) {
  if (MatB == nullptr || MatRes == nullptr || MatB->FNCol != FNCol || MatB->FNRow != FNRow) {
    return false;
  }
  std::vector<double> Result = NewBuffer(FNCol, FNRow);
  for (size_t i = 0; i < FData.size(); ++i) {
    Result[i] = FData[i] * MatB->FData[i];
  }
  MatRes->StoreResult(FNCol, FNRow, Result);
  Changed();
  return true;
}

// ---------------------------------------------------------------- products

bool TMatrix::Multiply(const TMatrix* MatB, TMatrix* MatRes) {
  if (MatB == nullptr || MatRes == nullptr || FNCol != MatB->FNRow) {
    return false;
  }
  const int32_t ResCols = MatB->FNCol;
  std::vector<double> Result = NewBuffer(ResCols, FNRow);
  const auto Rows = static_cast<size_t>(FNRow);
  for (int32_t j = 1; j <= ResCols; ++j) {
    const std::span<double> Acc(Result.data() + static_cast<size_t>(j - 1) * Rows, Rows);
    const auto ColB = MatB->Column(j);
    for (int32_t k = 1; k <= FNCol; ++k) {
      AddScaled(Acc, Column(k), ColB[static_cast<size_t>(k - 1)]);
    }
  }
  MatRes->StoreResult(ResCols, FNRow, Result);
  Changed();
  return true;
}

bool TMatrix::MultiplyTransposed(const TMatrix* MatB, TMatrix* MatRes) {
  if (MatB == nullptr || MatRes == nullptr || FNCol != MatB->FNCol) {
    return false;
  }
  const int32_t ResCols = MatB->FNRow;
  std::vector<double> Result = NewBuffer(ResCols, FNRow);
  const auto Rows = static_cast<size_t>(FNRow);
  for (int32_t j = 1; j <= ResCols; ++j) {
    const std::span<double> Acc(Result.data() + static_cast<size_t>(j - 1) * Rows, Rows);
    for (int32_t k = 1; k <= FNCol; ++k) {
      AddScaled(Acc, Column(k), MatB->Cell(k, j));
    }
  }
  MatRes->StoreResult(ResCols, FNRow, Result);
  Changed();
  return true;
}

bool TMatrix::TransposeAndMultiply(const TMatrix* MatB, TMatrix* MatRes) const {
  if (MatB == nullptr || MatRes == nullptr || FNRow != MatB->FNRow) {
    return false;
  }
  const int32_t ResCols = MatB->FNCol;
  std::vector<double> Result = NewBuffer(ResCols, FNCol);
  size_t Index = 0;
  for (int32_t j = 1; j <= ResCols; ++j) {
    const auto ColB = MatB->Column(j);
    for (int32_t i = 1; i <= FNCol; ++i) {
      Result[Index++] = Dot(Column(i), ColB);
    }
  }
  MatRes->StoreResult(ResCols, FNCol, Result);
  return true;
}

bool TMatrix::Multiply(const TVector* VecB, TVector* VecRes) {
  if (VecB == nullptr || VecRes == nullptr || FNCol != VecB->NrOfElem()) {
    return false;
  }
  const std::vector<double> B = VectorValues(*this, *VecB);
  std::vector<double> Result = NewFlatStorage<EVexaMatrixError, double>(*this, {FNRow});
  for (int32_t k = 1; k <= FNCol; ++k) {
    AddScaled(Result, Column(k), B[static_cast<size_t>(k - 1)]);
  }
  StoreVector(*VecRes, Result);
  Changed();
  return true;
}

bool TMatrix::TransposeAndMultiply(const TVector* VecB, TVector* VecRes) const {
  if (VecB == nullptr || VecRes == nullptr || FNRow != VecB->NrOfElem()) {
    return false;
  }
  const std::vector<double> B = VectorValues(*this, *VecB);
  std::vector<double> Result = NewFlatStorage<EVexaMatrixError, double>(*this, {FNCol});
  for (int32_t i = 1; i <= FNCol; ++i) {
    Result[static_cast<size_t>(i - 1)] = Dot(Column(i), B);
  }
  StoreVector(*VecRes, Result);
  return true;
}

double TMatrix::Trace() const {
  if (FNCol != FNRow) {
    return 0.0;
  }
  double Sum = 0.0;
  for (int32_t i = 1; i <= FNCol; ++i) {
    Sum += Cell(i, i);
  }
  return Sum;
}

}  // namespace vexa
