// Matrices: construction, element access, dimensions, assignment and the
// result writer shared by the operations. The other topics are in
// Vexa_matrix_*.cpp.

#include "linalg/Vexa_matrix.h"

#include <algorithm>
#include <utility>

#include "foundation/Vexa_ranges.h"
#include "linalg/internal/Vexa_matrix_detail.h"

namespace vexa {

// ---------------------------------------------------------------- construction, access

template <class Self, class TElem>
TMatrixBase<Self, TElem>::TMatrixBase(TComponent* AOwner)
    : TContainer(AOwner), FData(NewFlatStorage<EVexaMatrixError, TElem>(*this, {1, 1})) {}

template <class Self, class TElem>
void TMatrixBase<Self, TElem>::SetNrOfColumns(int32_t NC) {
  Resize(std::max(NC, 0), FNRow);
}

template <class Self, class TElem>
void TMatrixBase<Self, TElem>::SetNrOfRows(int32_t NR) {
  Resize(FNCol, std::max(NR, 0));
}

template <class Self, class TElem>
TElem TMatrixBase<Self, TElem>::Elem(int32_t Col, int32_t Row) const {
  if (Col < 1 || Col > FNCol || Row < 1 || Row > FNRow) {
    return TElem{0};
  }
  return Cell(Col, Row);
}

template <class Self, class TElem>
void TMatrixBase<Self, TElem>::SetElem(int32_t Col, int32_t Row, TElem Value) {
  if (Col < 1 || Col > FNCol || Row < 1 || Row > FNRow) {
    return;
  }
  Cell(Col, Row) = Value;
  Changed();
}

template <class Self, class TElem>
std::vector<TElem> TMatrixBase<Self, TElem>::NewBuffer(int64_t Nc, int64_t Nr) const {
  return NewFlatStorage<EVexaMatrixError, TElem>(*this, {Nc, Nr});
}

// ---------------------------------------------------------------- dimensions

template <class Self, class TElem>
bool TMatrixBase<Self, TElem>::Resize(int32_t Nc, int32_t Nr) {
  if (Nc <= 0 || Nr <= 0 || (Nc == FNCol && Nr == FNRow)) {
    return false;
  }
  ResizeFlatStorage<EVexaMatrixError>(*this, FData, {FNCol, FNRow}, {Nc, Nr});
  FNCol = Nc;
  FNRow = Nr;
  if constexpr (Traits::kResizedBeforeChanged) {
    Resized();
    Changed();
  } else {
    Changed();
    Resized();
  }
  return true;
}

template <class Self, class TElem>
bool TMatrixBase<Self, TElem>::ResizeAndClear(int32_t Nc, int32_t Nr) {
  if (!Resize(Nc, Nr)) {
    return false;
  }
  std::fill(FData.begin(), FData.end(), TElem{0});
  Changed();
  Resized();
  return true;
}

template <class Self, class TElem>
bool TMatrixBase<Self, TElem>::Transpose() {
  std::vector<TElem> Swapped = NewBuffer(FNRow, FNCol);
  // Column-major target: the new column r holds the old row r.
  for (int32_t c = 1; c <= FNCol; ++c) {
    for (int32_t r = 1; r <= FNRow; ++r) {
      Swapped[static_cast<size_t>(r - 1) * static_cast<size_t>(FNCol) + static_cast<size_t>(c - 1)] =
          Cell(c, r);
    }
  }
  FData.swap(Swapped);
  std::swap(FNCol, FNRow);
  Changed();
  Resized();
  return true;
}

template <class Self, class TElem>
bool TMatrixBase<Self, TElem>::RemoveColumn(int32_t Col) {
  if (Col < 1 || Col > FNCol || FNCol == 1) {
    return false;
  }
  std::vector<TElem> Rest = NewBuffer(FNCol - 1, FNRow);
  // Columns are contiguous: everything before the column, then everything after it.
  const auto Begin = FData.begin() + static_cast<ptrdiff_t>(CellIndex(Col, 1));
  const auto End = Begin + FNRow;
  const auto Next = std::copy(FData.begin(), Begin, Rest.begin());
  std::copy(End, FData.end(), Next);
  FData.swap(Rest);
  --FNCol;
  Changed();
  Resized();
  return true;
}

template <class Self, class TElem>
bool TMatrixBase<Self, TElem>::RemoveRow(int32_t Row) {
  if (Row < 1 || Row > FNRow || FNRow == 1) {
    return false;
  }
  std::vector<TElem> Rest = NewBuffer(FNCol, FNRow - 1);
  auto Out = Rest.begin();
  for (int32_t c = 1; c <= FNCol; ++c) {
    const auto Col = Column(c);
    Out = std::copy(Col.begin(), Col.begin() + (Row - 1), Out);
    Out = std::copy(Col.begin() + Row, Col.end(), Out);
  }
  FData.swap(Rest);
  --FNRow;
  Changed();
  Resized();
  return true;
}

// ---------------------------------------------------------------- copies of whole matrices

template <class Self, class TElem>
void TMatrixBase<Self, TElem>::Clone(const Self* MatSource) {
  if (MatSource == nullptr || MatSource == this) {
    return;
  }
  Resize(MatSource->FNCol, MatSource->FNRow);
  for (int32_t c = 1; c <= FNCol; ++c) {
    for (int32_t r = 1; r <= FNRow; ++r) {
      SetElem(c, r, MatSource->Cell(c, r));
    }
  }
  Changed();
  Resized();
}

template <class Self, class TElem>
void TMatrixBase<Self, TElem>::AssignCommon(const Self& Other) {
  std::vector<TElem> Cells = NewBuffer(Other.FNCol, Other.FNRow);
  std::copy(Other.FData.begin(), Other.FData.end(), Cells.begin());
  FData.swap(Cells);
  FNCol = Other.FNCol;
  FNRow = Other.FNRow;
  OnChange = Other.OnChange;
  OnResize = Other.OnResize;
  this->OnSortExchange = Other.OnSortExchange;
  this->OnPercentDone = Other.OnPercentDone;
}

template <class Self, class TElem>
void TMatrixBase<Self, TElem>::AssignTo(TPersistent& Dest) const {
  if (auto* Target = dynamic_cast<Self*>(&Dest)) {
    Target->Assign(*this);
    return;
  }
  TContainer::AssignTo(Dest);
}

template <class Self, class TElem>
bool TMatrixBase<Self, TElem>::MakeValidColRange(int32_t& LowCol, int32_t& HighCol) const {
  return MakeValidAxisRange(LowCol, HighCol, FNCol);
}

template <class Self, class TElem>
bool TMatrixBase<Self, TElem>::MakeValidRowRange(int32_t& LowRow, int32_t& HighRow) const {
  return MakeValidAxisRange(LowRow, HighRow, FNRow);
}

template <class Self, class TElem>
void TMatrixBase<Self, TElem>::StoreResult(int32_t Nc, int32_t Nr, std::span<const TElem> Cells) {
  Resize(Nc, Nr);
  if (!OnChange) {
    std::copy(Cells.begin(), Cells.end(), FData.begin());
    return;
  }
  // A handler sees every cell being written, as through the element setter.
  size_t Index = 0;
  for (int32_t c = 1; c <= Nc; ++c) {
    for (int32_t r = 1; r <= Nr; ++r) {
      SetElem(c, r, Cells[Index++]);
    }
  }
}

// ---------------------------------------------------------------- TMatrix only

void TMatrix::SetPrecision(int32_t ix, int32_t Value) {
  FPrecis[ix <= 1 ? 0 : 1] = std::clamp(Value, -1, 25);
}

void TMatrix::Assign(const TPersistent& Source) {
  const auto* Other = dynamic_cast<const TMatrix*>(&Source);
  if (Other == nullptr) {
    TMatrixBase::Assign(Source);
    return;
  }
  if (Other == this) {
    return;
  }
  AssignCommon(*Other);
  FDataID = Other->FDataID;
  FPrecis[0] = Other->FPrecis[0];
  FPrecis[1] = Other->FPrecis[1];
  OnCalcDistance = Other->OnCalcDistance;
}

// Members defined in this file and the inline ones; the other topic files
// instantiate their own members.
template class TMatrixBase<TMatrix, double>;
template class TMatrixBase<TIntMatrix, int32_t>;

}  // namespace vexa
