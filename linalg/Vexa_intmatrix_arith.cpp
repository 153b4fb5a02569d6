// TIntMatrix: element-wise arithmetic and the matrix and matrix-vector
// products in 32-bit arithmetic that wraps on overflow.
//
// Cells are added and multiplied as uint32_t (the same bits as wrapping
// int32 arithmetic, without signed overflow). Operands are read a column at
// a time (a sparse operand's column is expanded into a scratch buffer);
// results are computed into a temporary and then written into the result
// container, which must be dense.

#include <span>
#include <vector>

#include "linalg/internal/Vexa_matrix_detail.h"

namespace vexa {

namespace {

/// Wrapping accumulation of a·b.
inline void AddProduct(uint32_t& Acc, int32_t a, int32_t b) noexcept {
  Acc += static_cast<uint32_t>(a) * static_cast<uint32_t>(b);
}

/// The accumulated cells as int32 (modulo 2³²).
std::vector<int32_t> ToCells(const std::vector<uint32_t>& Acc, std::vector<int32_t> Cells) {
  for (size_t i = 0; i < Acc.size(); ++i) {
    Cells[i] = static_cast<int32_t>(Acc[i]);
  }
  return Cells;
}

/// Writes Values to the elements 1.. of Vec, resized first (its own events),
/// through the element setter.
void StoreVector(TIntVector& Vec, std::span<const int32_t> Values) {
  Vec.Resize(static_cast<int32_t>(Values.size()));
  for (size_t i = 0; i < Values.size(); ++i) {
    Vec.SetElem(static_cast<int32_t>(i + 1), Values[i]);
  }
}

/// The elements of Vec in a guarded buffer.
std::vector<int32_t> VectorValues(const TIntMatrix& Owner, const TIntVector& Vec) {
  std::vector<int32_t> Values = NewFlatStorage<EVexaMatrixError, int32_t>(Owner, {Vec.NrOfElem()});
  for (int32_t i = 1; i <= Vec.NrOfElem(); ++i) {
    Values[static_cast<size_t>(i - 1)] = Vec.Elem(i);
  }
  return Values;
}

/// True when a matrix operand can take part in a product (it has cells).
bool HasCells(const TIntMatrix& M) noexcept { return M.NrOfColumns() >= 1 && M.NrOfRows() >= 1; }

}  // namespace

// ---------------------------------------------------------------- element-wise

bool TIntMatrix::AddSigned(const TIntMatrix* MatB, bool Negate) {
  if (MatB == nullptr || FIsSparse) {
    return false;
  }
  auto Combine = [Negate](int32_t& x, int32_t b) { x = Negate ? WrapSub32(x, b) : WrapAdd32(x, b); };
  if (MatB->FIsSparse) {
    // Only the stored entries count; they must all lie inside Self.
    if (MatB->FSparseHighCol > FNCol || MatB->FSparseHighRow > FNRow) {
      return false;
    }
    for (const TSpMatElemInt& e : MatB->SparseEntries()) {
      Combine(Cell(e.colidx, e.rowidx), e.value);
    }
  } else {
    if (MatB->FNCol != FNCol || MatB->FNRow != FNRow) {
      return false;
    }
    for (size_t i = 0; i < FData.size(); ++i) {
      Combine(FData[i], MatB->FData[i]);
    }
  }
  Changed();
  return true;
}

bool TIntMatrix::Add(const TIntMatrix* MatB) { return AddSigned(MatB, false); }

bool TIntMatrix::Subtract(const TIntMatrix* MatB) { return AddSigned(MatB, true); }

void TIntMatrix::SMult(int32_t Scalar) {
  if (FIsSparse) {
    for (TSpMatElemInt& e : std::span<TSpMatElemInt>(FSpMat.data(), static_cast<size_t>(FSparseNumElem))) {
      e.value = WrapMul32(e.value, Scalar);
    }
  } else {
    for (int32_t& x : FData) {
      x = WrapMul32(x, Scalar);
    }
  }
  Changed();
}

void TIntMatrix::SAdd(int32_t Scalar) {
  if (FIsSparse) {
    return;  // would fill every missing cell: refused
  }
  for (int32_t& x : FData) {
    x = WrapAdd32(x, Scalar);
  }
  Changed();
}

bool TIntMatrix::EMult(const TIntMatrix* MatB, TIntMatrix* MatRes) {
  if (MatB == nullptr || MatRes == nullptr || MatRes->FIsSparse || !HasCells(*this) || MatB->FNCol != FNCol ||
      MatB->FNRow != FNRow) {
    return false;
  }
  std::vector<int32_t> Result = NewBuffer(FNCol, FNRow);
  std::vector<int32_t> ScratchA, ScratchB;
  for (int32_t c = 1; c <= FNCol; ++c) {
    const auto a = ReadColumn(c, ScratchA);
    const auto b = MatB->ReadColumn(c, ScratchB);
    for (size_t r = 0; r < a.size(); ++r) {
      Result[CellIndex(c, 1) + r] = WrapMul32(a[r], b[r]);
    }
  }
  MatRes->StoreResult(FNCol, FNRow, Result);
  Changed();
  return true;
}

// ---------------------------------------------------------------- products

bool TIntMatrix::Multiply(const TIntMatrix* MatB, TIntMatrix* MatRes) {
  if (MatB == nullptr || MatRes == nullptr || MatRes->FIsSparse || !HasCells(*this) || !HasCells(*MatB) ||
      FNCol != MatB->FNRow) {
    return false;
  }
  const int32_t ResCols = MatB->FNCol;
  const auto Rows = static_cast<size_t>(FNRow);
  std::vector<uint32_t> Acc = NewFlatStorage<EVexaMatrixError, uint32_t>(*this, {ResCols, FNRow});
  std::vector<int32_t> ScratchA, ScratchB;
  for (int32_t j = 1; j <= ResCols; ++j) {
    const std::span<uint32_t> Target(Acc.data() + static_cast<size_t>(j - 1) * Rows, Rows);
    const auto ColB = MatB->ReadColumn(j, ScratchB);
    for (int32_t k = 1; k <= FNCol; ++k) {
      const auto ColA = ReadColumn(k, ScratchA);
      const int32_t Factor = ColB[static_cast<size_t>(k - 1)];
      for (size_t i = 0; i < Rows; ++i) {
        AddProduct(Target[i], ColA[i], Factor);
      }
    }
  }
  MatRes->StoreResult(ResCols, FNRow, ToCells(Acc, NewBuffer(ResCols, FNRow)));
  Changed();
  return true;
}

bool TIntMatrix::MultiplyTransposed(const TIntMatrix* MatB, TIntMatrix* MatRes) {
  if (MatB == nullptr || MatRes == nullptr || MatRes->FIsSparse || !HasCells(*this) || !HasCells(*MatB) ||
      FNCol != MatB->FNCol) {
    return false;
  }
  const int32_t ResCols = MatB->FNRow;
  const auto Rows = static_cast<size_t>(FNRow);
  std::vector<uint32_t> Acc = NewFlatStorage<EVexaMatrixError, uint32_t>(*this, {ResCols, FNRow});
  std::vector<int32_t> ScratchA;
  for (int32_t j = 1; j <= ResCols; ++j) {
    const std::span<uint32_t> Target(Acc.data() + static_cast<size_t>(j - 1) * Rows, Rows);
    for (int32_t k = 1; k <= FNCol; ++k) {
      const auto ColA = ReadColumn(k, ScratchA);
      const int32_t Factor = MatB->StoredCell(k, j);
      for (size_t i = 0; i < Rows; ++i) {
        AddProduct(Target[i], ColA[i], Factor);
      }
    }
  }
  MatRes->StoreResult(ResCols, FNRow, ToCells(Acc, NewBuffer(ResCols, FNRow)));
  Changed();
  return true;
}

bool TIntMatrix::TransposeAndMultiply(const TIntMatrix* MatB, TIntMatrix* MatRes) const {
  if (MatB == nullptr || MatRes == nullptr || MatRes->FIsSparse || !HasCells(*this) || !HasCells(*MatB) ||
      FNRow != MatB->FNRow) {
    return false;
  }
  const int32_t ResCols = MatB->FNCol;
  std::vector<int32_t> Result = NewBuffer(ResCols, FNCol);
  std::vector<int32_t> ScratchA, ScratchB;
  size_t Index = 0;
  for (int32_t j = 1; j <= ResCols; ++j) {
    const auto ColB = MatB->ReadColumn(j, ScratchB);
    for (int32_t i = 1; i <= FNCol; ++i) {
      const auto ColA = ReadColumn(i, ScratchA);
      uint32_t Dot = 0;
      for (size_t r = 0; r < ColA.size(); ++r) {
        AddProduct(Dot, ColA[r], ColB[r]);
      }
      Result[Index++] = static_cast<int32_t>(Dot);
    }
  }
  MatRes->StoreResult(ResCols, FNCol, Result);
  return true;
}

bool TIntMatrix::Multiply(const TIntVector* VecB, TIntVector* VecRes) {
  if (VecB == nullptr || VecRes == nullptr || !HasCells(*this) || FNCol != VecB->NrOfElem()) {
    return false;
  }
  const std::vector<int32_t> B = VectorValues(*this, *VecB);
  std::vector<uint32_t> Acc = NewFlatStorage<EVexaMatrixError, uint32_t>(*this, {FNRow});
  std::vector<int32_t> Scratch;
  for (int32_t k = 1; k <= FNCol; ++k) {
    const auto ColA = ReadColumn(k, Scratch);
    for (size_t i = 0; i < Acc.size(); ++i) {
      AddProduct(Acc[i], ColA[i], B[static_cast<size_t>(k - 1)]);
    }
  }
  StoreVector(*VecRes, ToCells(Acc, NewFlatStorage<EVexaMatrixError, int32_t>(*this, {FNRow})));
  Changed();
  return true;
}

bool TIntMatrix::TransposeAndMultiply(const TIntVector* VecB, TIntVector* VecRes) const {
  if (VecB == nullptr || VecRes == nullptr || !HasCells(*this) || FNRow != VecB->NrOfElem()) {
    return false;
  }
  const std::vector<int32_t> B = VectorValues(*this, *VecB);
  std::vector<int32_t> Result = NewFlatStorage<EVexaMatrixError, int32_t>(*this, {FNCol});
  std::vector<int32_t> Scratch;
  for (int32_t i = 1; i <= FNCol; ++i) {
    const auto ColA = ReadColumn(i, Scratch);
    uint32_t Dot = 0;
    for (size_t r = 0; r < ColA.size(); ++r) {
      AddProduct(Dot, ColA[r], B[r]);
    }
    Result[static_cast<size_t>(i - 1)] = static_cast<int32_t>(Dot);
  }
  StoreVector(*VecRes, Result);
  return true;
}

int32_t TIntMatrix::Trace() const {
  // Square by the dimensions, in either form (a sparse matrix resized to a
  // square keeps its diagonal entries).
  if (FNCol != FNRow || HasNoCells()) {
    return 0;
  }
  uint32_t Sum = 0;
  if (FIsSparse) {
    for (const TSpMatElemInt& e : SparseEntries()) {
      Sum += e.colidx == e.rowidx ? static_cast<uint32_t>(e.value) : 0u;
    }
  } else {
    for (int32_t i = 1; i <= FNCol; ++i) {
      Sum += static_cast<uint32_t>(Cell(i, i));
    }
  }
  return static_cast<int32_t>(Sum);
}

}  // namespace vexa
