// Matrices: copies between matrices, vectors and dynamic arrays.

#include <algorithm>
#include <type_traits>
#include <utility>

#include "linalg/internal/Vexa_matrix_detail.h"
#include "platform/Vexa_intmath.h"

namespace vexa {

namespace {

/// Clamps Index into 1..N.
int32_t ClampIndex(int32_t Index, int32_t N) noexcept { return std::clamp(Index, 1, N); }

/// A value of an array of type TSrc as a cell of type TElem.
template <class TElem, class TSrc>
TElem ToCell(TSrc Value) noexcept {
  if constexpr (std::is_same_v<TSrc, double>) {
    return TMatrixTraits<TElem>::FromDouble(Value);
  } else {
    return static_cast<TElem>(Value);
  }
}

/// A cell as an entry of an array of type TDst (doubles to integers round
/// to nearest, ties to even, NaN 0, saturated).
template <class TDst, class TElem>
TDst FromCell(TElem Value) noexcept {
  if constexpr (std::is_same_v<TDst, int32_t> && std::is_same_v<TElem, double>) {
    return RoundToInt32(Value);
  } else {
    return static_cast<TDst>(Value);
  }
}

/// True when Index lies within 0..Count − 1.
bool InArray(int64_t Index, size_t Count) noexcept {
  return Index >= 0 && static_cast<uint64_t>(Index) < Count;
}

}  // namespace

// ---------------------------------------------------------------- from matrices and vectors

template <class Self, class TElem>
void TMatrixBase<Self, TElem>::CopyFrom(const Self* MatSource, int32_t SourceColLo, int32_t SourceRowLo,
                                        int32_t SourceColHi, int32_t SourceRowHi, int32_t DestCol,
                                        int32_t DestRow) {
  CopyFromMatrix(MatSource, SourceColLo, SourceRowLo, SourceColHi, SourceRowHi, DestCol, DestRow);
}

template <class Self, class TElem>
template <class TSource>
void TMatrixBase<Self, TElem>::CopyFromMatrix(const TSource* MatSource, int32_t SourceColLo,
                                              int32_t SourceRowLo, int32_t SourceColHi, int32_t SourceRowHi,
                                              int32_t DestCol, int32_t DestRow) {
  if (MatSource == nullptr) {
    return;
  }
  const int32_t SrcCols = MatSource->NrOfColumns();
  const int32_t SrcRows = MatSource->NrOfRows();
  int32_t ColLo = ClampIndex(SourceColLo, SrcCols), ColHi = ClampIndex(SourceColHi, SrcCols);
  int32_t RowLo = ClampIndex(SourceRowLo, SrcRows), RowHi = ClampIndex(SourceRowHi, SrcRows);
  if (ColLo > ColHi) {
    std::swap(ColLo, ColHi);
  }
  if (RowLo > RowHi) {
    std::swap(RowLo, RowHi);
  }
  // Copying within Self: read from a snapshot so that overlapping source
  // cells are not overwritten before they are read.
  constexpr bool SameClass = std::is_same_v<TSource, Self>;
  const bool FromSelf = static_cast<const void*>(MatSource) == static_cast<const void*>(this);
  std::vector<TElem> Snapshot;
  if (FromSelf) {
    Snapshot = NewBuffer(FNCol, FNRow);
    std::copy(FData.begin(), FData.end(), Snapshot.begin());
  }
  auto SourceCell = [&](int32_t c, int32_t r) -> TElem {
    if (FromSelf) {
      return Snapshot[CellIndex(c, r)];
    }
    if constexpr (SameClass) {
      return MatSource->CellValue(c, r);
    } else {
      return ToCell<TElem>(MatSource->Elem(c, r));  // another class: through its getter
    }
  };
  for (int32_t c = ColLo; c <= ColHi; ++c) {
    const int64_t Dc = static_cast<int64_t>(DestCol) + (c - ColLo);
    for (int32_t r = RowLo; r <= RowHi; ++r) {
      const int64_t Dr = static_cast<int64_t>(DestRow) + (r - RowLo);
      if (Dc >= 1 && Dc <= FNCol && Dr >= 1 && Dr <= FNRow) {
        SetElem(static_cast<int32_t>(Dc), static_cast<int32_t>(Dr), SourceCell(c, r));
      }
    }
  }
  Changed();
}

template <class Self, class TElem>
void TMatrixBase<Self, TElem>::CopyFromVec(const TVec* Src, int32_t FirstElem, int32_t LastElem,
                                           int32_t DestCol, int32_t DestRow) {
  CopyFromVec(Src, FirstElem, LastElem, DestCol, DestRow, true);
}

template <class Self, class TElem>
void TMatrixBase<Self, TElem>::CopyFromVec(const TVec* Src, int32_t FirstElem, int32_t LastElem,
                                           int32_t DestCol, int32_t DestRow, bool AsColumn) {
  if (Src == nullptr) {
    return;
  }
  Src->MakeValidElemRange(FirstElem, LastElem);
  for (int32_t i = FirstElem; i <= LastElem; ++i) {
    const int64_t Step = i - FirstElem;
    const int64_t Dc = AsColumn ? DestCol : DestCol + Step;
    const int64_t Dr = AsColumn ? DestRow + Step : DestRow;
    if (Dc >= 1 && Dc <= FNCol && Dr >= 1 && Dr <= FNRow) {
      SetElem(static_cast<int32_t>(Dc), static_cast<int32_t>(Dr), Src->Elem(i));
    }
  }
  Changed();
}

template <class Self, class TElem>
void TMatrixBase<Self, TElem>::CopyFromVec(TDims Dim, const TVec* Src, int32_t FirstElem, int32_t LastElem,
                                           int32_t DestCol, int32_t DestRow) {
  // dimColumns varies the column (along a row), dimRows the row (down a column).
  CopyFromVec(Src, FirstElem, LastElem, DestCol, DestRow, Dim != dimColumns);
}

// ---------------------------------------------------------------- rows and columns out

template <class Self, class TElem>
void TMatrixBase<Self, TElem>::CopyLineToVec(TVec* DestVec, bool AlongRow, int32_t Line, int32_t First,
                                             int32_t Last, int32_t DestElem) const {
  if (DestVec == nullptr) {
    return;
  }
  if (AlongRow) {
    MakeValidColRange(First, Last);
    Line = ClampIndex(Line, FNRow);
  } else {
    MakeValidRowRange(First, Last);
    Line = ClampIndex(Line, FNCol);
  }
  const int32_t NrElem = DestVec->NrOfElem();
  // Nothing when the span would start after the vector or end before element 1.
  if (DestElem > NrElem || DestElem < First - Last + 1) {
    return;
  }
  // Cut the range so that it ends at the vector's last element.
  Last = static_cast<int32_t>(std::min<int64_t>(Last, static_cast<int64_t>(First) + NrElem - DestElem));
  DestVec->Fill(0);
  for (int32_t k = First; k <= Last; ++k) {
    const int64_t Target = static_cast<int64_t>(DestElem) + (k - First);
    if (Target >= 1) {
      DestVec->SetElem(static_cast<int32_t>(Target), AlongRow ? CellValue(k, Line) : CellValue(Line, k));
    }
  }
}

template <class Self, class TElem>
void TMatrixBase<Self, TElem>::CopyRowToVec(TVec* DestVec, int32_t Row, int32_t FirstCol,
                                            int32_t LastCol) const {
  CopyLineToVec(DestVec, true, Row, FirstCol, LastCol, 1);
}

template <class Self, class TElem>
void TMatrixBase<Self, TElem>::CopyRowToVec(TVec* DestVec, int32_t Row, int32_t FirstCol, int32_t LastCol,
                                            int32_t DestElem) const {
  CopyLineToVec(DestVec, true, Row, FirstCol, LastCol, DestElem);
}

template <class Self, class TElem>
void TMatrixBase<Self, TElem>::CopyColToVec(TVec* DestVec, int32_t Col, int32_t FirstRow,
                                            int32_t LastRow) const {
  CopyLineToVec(DestVec, false, Col, FirstRow, LastRow, 1);
}

template <class Self, class TElem>
void TMatrixBase<Self, TElem>::CopyColToVec(TVec* DestVec, int32_t Col, int32_t FirstRow, int32_t LastRow,
                                            int32_t DestElem) const {
  CopyLineToVec(DestVec, false, Col, FirstRow, LastRow, DestElem);
}

template <class Self, class TElem>
template <class TDst>
void TMatrixBase<Self, TElem>::CopyLineToArray(std::vector<TDst>& Dest, bool AlongRow, int32_t Line,
                                               int32_t First, int32_t Last, int32_t DestElem) const {
  if (Dest.empty()) {
    return;
  }
  if (AlongRow) {
    MakeValidColRange(First, Last);
    Line = ClampIndex(Line, FNRow);
  } else {
    MakeValidRowRange(First, Last);
    Line = ClampIndex(Line, FNCol);
  }
  if (DestElem < 0 ? DestElem < First - Last : static_cast<size_t>(DestElem) > Dest.size() - 1) {
    return;
  }
  std::fill(Dest.begin(), Dest.end(), TDst{0});
  for (int32_t k = First; k <= Last; ++k) {
    const int64_t Target = static_cast<int64_t>(DestElem) + (k - First);
    if (InArray(Target, Dest.size())) {
      Dest[static_cast<size_t>(Target)] = FromCell<TDst>(AlongRow ? CellValue(k, Line) : CellValue(Line, k));
    }
  }
}

template <class Self, class TElem>
void TMatrixBase<Self, TElem>::CopyRowTo1DArray(TArray& Dest, int32_t Row, int32_t FirstCol, int32_t LastCol,
                                                int32_t DestElem) const {
  CopyLineToArray(Dest, true, Row, FirstCol, LastCol, DestElem);
}

template <class Self, class TElem>
void TMatrixBase<Self, TElem>::CopyColTo1DArray(TArray& Dest, int32_t Col, int32_t FirstRow, int32_t LastRow,
                                                int32_t DestElem) const {
  CopyLineToArray(Dest, false, Col, FirstRow, LastRow, DestElem);
}

// ---------------------------------------------------------------- to 2-D arrays

template <class Self, class TElem>
template <class TDst>
int32_t TMatrixBase<Self, TElem>::CopyToArray2D(std::vector<std::vector<TDst>>& Dest, int32_t SrcColLo,
                                                int32_t SrcRowLo, int32_t SrcColHi, int32_t SrcRowHi,
                                                int32_t DestCol, int32_t DestRow) const {
  if (Dest.empty() || Dest[0].empty()) {
    return mcDestEmpty;
  }
  if (MakeValidColRange(SrcColLo, SrcColHi)) {
    return mcColRange;
  }
  if (MakeValidRowRange(SrcRowLo, SrcRowHi)) {
    return mcRowRange;
  }
  if (!InArray(DestCol, Dest.size()) || !InArray(DestRow, Dest[static_cast<size_t>(DestCol)].size())) {
    return mcElemRange;
  }
  // Cut to the destination: columns to the array, rows to each inner array
  // (a jagged array gets only the cells that exist).
  const int64_t Cols = std::min<int64_t>(SrcColHi - SrcColLo + 1, static_cast<int64_t>(Dest.size()) - DestCol);
  for (int64_t i = 0; i < Cols; ++i) {
    auto& Target = Dest[static_cast<size_t>(DestCol + i)];
    const int64_t Room = static_cast<int64_t>(Target.size()) - DestRow;
    const int64_t Rows = std::min<int64_t>(SrcRowHi - SrcRowLo + 1, Room);
    const auto SourceCol = static_cast<int32_t>(SrcColLo + i);
    for (int64_t j = 0; j < Rows; ++j) {
      Target[static_cast<size_t>(DestRow + j)] =
          FromCell<TDst>(CellValue(SourceCol, static_cast<int32_t>(SrcRowLo + j)));
    }
  }
  return 0;
}

template <class Self, class TElem>
int32_t TMatrixBase<Self, TElem>::CopyToArray(TDouble2DArray& Dest, int32_t SrcColLo, int32_t SrcRowLo,
                                              int32_t SrcColHi, int32_t SrcRowHi, int32_t DestCol,
                                              int32_t DestRow) const {
  return CopyToArray2D(Dest, SrcColLo, SrcRowLo, SrcColHi, SrcRowHi, DestCol, DestRow);
}

template <class Self, class TElem>
int32_t TMatrixBase<Self, TElem>::CopyToArray(TInt2DArray& Dest, int32_t SrcColLo, int32_t SrcRowLo,
                                              int32_t SrcColHi, int32_t SrcRowHi, int32_t DestCol,
                                              int32_t DestRow) const {
  return CopyToArray2D(Dest, SrcColLo, SrcRowLo, SrcColHi, SrcRowHi, DestCol, DestRow);
}

template <class Self, class TElem>
int32_t TMatrixBase<Self, TElem>::DuplicateDataAsArray(TArray2D& Dest) const {
  if (Dest.empty()) {
    return mcDestEmpty;
  }
  auto Copy = NewStorage<EVexaMatrixError, TArray2D>(*this, {FNCol, FNRow});
  for (int32_t c = 1; c <= FNCol; ++c) {
    auto& Target = Copy[static_cast<size_t>(c - 1)];
    for (int32_t r = 1; r <= FNRow; ++r) {
      Target[static_cast<size_t>(r - 1)] = CellValue(c, r);
    }
  }
  Dest.swap(Copy);
  return 0;
}

// ---------------------------------------------------------------- from arrays

template <class Self, class TElem>
template <class TSrc>
int32_t TMatrixBase<Self, TElem>::CopyFromArray1D(const std::vector<TSrc>& Src, int32_t FirstElem,
                                                  int32_t LastElem, int32_t Col, int32_t Row, bool AsColumn) {
  if (Src.empty()) {
    return mcDestEmpty;
  }
  if (FirstElem == 0 && LastElem == 0) {
    LastElem = static_cast<int32_t>(std::min<size_t>(Src.size() - 1, INT32_MAX));
  }
  if (!InArray(FirstElem, Src.size()) || !InArray(LastElem, Src.size())) {
    return mcElemRange;
  }
  if (Col < 1 || Col > FNCol || Row < 1 || Row > FNRow) {
    return mcCellOutside;
  }
  if (FirstElem > LastElem) {
    std::swap(FirstElem, LastElem);
  }
  // The destination offset refers to array position 0, not to FirstElem.
  for (int32_t i = FirstElem; i <= LastElem; ++i) {
    const int64_t Dc = AsColumn ? Col : static_cast<int64_t>(Col) + i;
    const int64_t Dr = AsColumn ? static_cast<int64_t>(Row) + i : Row;
    if (Dc > FNCol || Dr > FNRow) {
      break;  // every later position lies further outside
    }
    SetElem(static_cast<int32_t>(Dc), static_cast<int32_t>(Dr), ToCell<TElem>(Src[static_cast<size_t>(i)]));
  }
  return 0;
}

template <class Self, class TElem>
int32_t TMatrixBase<Self, TElem>::CopyFromArray(const TDoubleArray& Src, int32_t FirstElem, int32_t LastElem,
                                                int32_t Col, int32_t Row, bool AsColumn) {
  return CopyFromArray1D(Src, FirstElem, LastElem, Col, Row, AsColumn);
}

template <class Self, class TElem>
int32_t TMatrixBase<Self, TElem>::CopyFromArray(const TIntArray& Src, int32_t FirstElem, int32_t LastElem,
                                                int32_t Col, int32_t Row, bool AsColumn) {
  return CopyFromArray1D(Src, FirstElem, LastElem, Col, Row, AsColumn);
}

template <class Self, class TElem>
template <class TSrc>
int32_t TMatrixBase<Self, TElem>::CopyFromArray2D(const std::vector<std::vector<TSrc>>& Src, int32_t SrcColLo,
                                                  int32_t SrcRowLo, int32_t SrcColHi, int32_t SrcRowHi,
                                                  int32_t Col, int32_t Row) {
  if (Src.empty() || Src[0].empty()) {
    return mcDestEmpty;
  }
  if (SrcColLo == 0 && SrcColHi == 0) {
    SrcColHi = static_cast<int32_t>(std::min<size_t>(Src.size() - 1, INT32_MAX));
  }
  if (SrcRowLo == 0 && SrcRowHi == 0) {
    SrcRowHi = static_cast<int32_t>(std::min<size_t>(Src[0].size() - 1, INT32_MAX));
  }
  if (!InArray(SrcColLo, Src.size()) || !InArray(SrcColHi, Src.size())) {
    return mcColRange;
  }
  // Every inner array the copy reads must hold the row range (jagged arrays).
  for (int32_t i = SrcColLo; i <= SrcColHi; ++i) {
    const size_t Rows = Src[static_cast<size_t>(i)].size();
    if (!InArray(SrcRowLo, Rows) || !InArray(SrcRowHi, Rows)) {
      return mcRowRange;
    }
  }
  if (SrcColLo > SrcColHi && (!InArray(SrcRowLo, Src[0].size()) || !InArray(SrcRowHi, Src[0].size()))) {
    return mcRowRange;
  }
  if (Col < 1 || Col > FNCol || Row < 1 || Row > FNRow) {
    return mcCellOutside;
  }
  // Array cell [i][j] goes to (Col + i, Row + j), like the 1-D copy's offset
  // from position 0; a reversed range copies nothing.
  for (int32_t i = SrcColLo; i <= SrcColHi; ++i) {
    const int64_t Dc = static_cast<int64_t>(Col) + i;
    if (Dc > FNCol) {
      break;
    }
    const auto& Source = Src[static_cast<size_t>(i)];
    for (int32_t j = SrcRowLo; j <= SrcRowHi; ++j) {
      const int64_t Dr = static_cast<int64_t>(Row) + j;
      if (Dr > FNRow) {
        break;
      }
      SetElem(static_cast<int32_t>(Dc), static_cast<int32_t>(Dr), ToCell<TElem>(Source[static_cast<size_t>(j)]));
    }
  }
  return 0;
}

template <class Self, class TElem>
int32_t TMatrixBase<Self, TElem>::CopyFromArray(const TDouble2DArray& Src, int32_t SrcColLo, int32_t SrcRowLo,
                                                int32_t SrcColHi, int32_t SrcRowHi, int32_t Col, int32_t Row) {
  return CopyFromArray2D(Src, SrcColLo, SrcRowLo, SrcColHi, SrcRowHi, Col, Row);
}

template <class Self, class TElem>
int32_t TMatrixBase<Self, TElem>::CopyFromArray(const TInt2DArray& Src, int32_t SrcColLo, int32_t SrcRowLo,
                                                int32_t SrcColHi, int32_t SrcRowHi, int32_t Col, int32_t Row) {
  return CopyFromArray2D(Src, SrcColLo, SrcRowLo, SrcColHi, SrcRowHi, Col, Row);
}

#define VEXA_MATRIX_COPY(Self, TElem)                                                                        \
  template void TMatrixBase<Self, TElem>::CopyFrom(const Self*, int32_t, int32_t, int32_t, int32_t, int32_t,  \
                                                   int32_t);                                                 \
  template void TMatrixBase<Self, TElem>::CopyFromVec(const TMatrixTraits<TElem>::Vector*, int32_t, int32_t, \
                                                      int32_t, int32_t);                                     \
  template void TMatrixBase<Self, TElem>::CopyFromVec(const TMatrixTraits<TElem>::Vector*, int32_t, int32_t, \
                                                      int32_t, int32_t, bool);                               \
  template void TMatrixBase<Self, TElem>::CopyFromVec(TDims, const TMatrixTraits<TElem>::Vector*, int32_t,   \
                                                      int32_t, int32_t, int32_t);                            \
  template void TMatrixBase<Self, TElem>::CopyRowToVec(TMatrixTraits<TElem>::Vector*, int32_t, int32_t,      \
                                                       int32_t) const;                                       \
  template void TMatrixBase<Self, TElem>::CopyRowToVec(TMatrixTraits<TElem>::Vector*, int32_t, int32_t,      \
                                                       int32_t, int32_t) const;                              \
  template void TMatrixBase<Self, TElem>::CopyColToVec(TMatrixTraits<TElem>::Vector*, int32_t, int32_t,      \
                                                       int32_t) const;                                       \
  template void TMatrixBase<Self, TElem>::CopyColToVec(TMatrixTraits<TElem>::Vector*, int32_t, int32_t,      \
                                                       int32_t, int32_t) const;                              \
  template void TMatrixBase<Self, TElem>::CopyRowTo1DArray(TMatrixTraits<TElem>::Array&, int32_t, int32_t,   \
                                                           int32_t, int32_t) const;                          \
  template void TMatrixBase<Self, TElem>::CopyColTo1DArray(TMatrixTraits<TElem>::Array&, int32_t, int32_t,   \
                                                           int32_t, int32_t) const;                          \
  template int32_t TMatrixBase<Self, TElem>::CopyToArray(TDouble2DArray&, int32_t, int32_t, int32_t,         \
                                                         int32_t, int32_t, int32_t) const;                   \
  template int32_t TMatrixBase<Self, TElem>::CopyToArray(TInt2DArray&, int32_t, int32_t, int32_t, int32_t,   \
                                                         int32_t, int32_t) const;                            \
  template int32_t TMatrixBase<Self, TElem>::CopyFromArray(const TDoubleArray&, int32_t, int32_t, int32_t,   \
                                                           int32_t, bool);                                   \
  template int32_t TMatrixBase<Self, TElem>::CopyFromArray(const TIntArray&, int32_t, int32_t, int32_t,      \
                                                           int32_t, bool);                                   \
  template int32_t TMatrixBase<Self, TElem>::CopyFromArray(const TDouble2DArray&, int32_t, int32_t, int32_t, \
                                                           int32_t, int32_t, int32_t);                       \
  template int32_t TMatrixBase<Self, TElem>::CopyFromArray(const TInt2DArray&, int32_t, int32_t, int32_t,    \
                                                           int32_t, int32_t, int32_t);                       \
  template int32_t TMatrixBase<Self, TElem>::DuplicateDataAsArray(TMatrixTraits<TElem>::Array2D&) const;  \
  template void TMatrixBase<Self, TElem>::CopyLineToVec(TMatrixTraits<TElem>::Vector*, bool, int32_t,       \
                                                        int32_t, int32_t, int32_t) const;

VEXA_FOR_ALL_MATRICES(VEXA_MATRIX_COPY)

// TMatrix::CopyFrom from an integer matrix (Vexa_matrix_crosscopy.cpp).
template void TMatrixBase<TMatrix, double>::CopyFromMatrix(const TIntMatrix*, int32_t, int32_t, int32_t, int32_t,
                                                           int32_t, int32_t);

}  // namespace vexa
