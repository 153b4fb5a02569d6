// Vectors: copies from other vectors and from and to dynamic arrays.

#include <algorithm>
#include <utility>

#include "linalg/internal/Vexa_vector_detail.h"

namespace vexa {

namespace {

/// True when the 2-D array has at least one column and one row and all its
/// columns have the same length; only then are its rows well defined.
template <class TArray2D>
bool IsRectangular(const TArray2D& Array) {
  if (Array.empty() || Array.front().empty()) {
    return false;
  }
  const size_t Rows = Array.front().size();
  return std::all_of(Array.begin(), Array.end(), [Rows](const auto& Col) { return Col.size() == Rows; });
}

/// Index clamped into 0..Count−1 (Count ≥ 1).
int64_t ClampIndex(int64_t Index, size_t Count) {
  return std::clamp<int64_t>(Index, 0, static_cast<int64_t>(Count) - 1);
}

}  // namespace

template <class Self, class TElem>
int32_t TVectorBase<Self, TElem>::CopyFrom(const Self* Src, int32_t SrcElemLo, int32_t SrcElemHi,
                                           int32_t DestElem) {
  if (Src == nullptr) {
    return vcSourceMissing;
  }
  if (SrcElemLo == 0 && SrcElemHi == 0) {
    SrcElemLo = 1;
    SrcElemHi = Src->NrOfElem();
  } else if (DestElem < 1 || DestElem > FNElem) {
    return vcDestRange;
  } else if (SrcElemLo < 1 || SrcElemLo > Src->NrOfElem() || SrcElemHi < 1 || SrcElemHi > Src->NrOfElem()) {
    return vcSourceRange;
  }
  if (SrcElemLo > SrcElemHi) {
    std::swap(SrcElemLo, SrcElemHi);
  }
  // A snapshot of the source range, so that copying a vector onto an
  // overlapping part of itself gives the source values, not smeared ones.
  const std::span<const TElem> Range = Src->RangeValues(SrcElemLo, SrcElemHi);
  const auto Snapshot = GuardedAllocation<EVexaVectorError>(
      *this, true, Range.size() * sizeof(TElem), [&] { return std::vector<TElem>(Range.begin(), Range.end()); });
  for (size_t k = 0; k < Snapshot.size(); ++k) {
    const int64_t Dest = static_cast<int64_t>(DestElem) + static_cast<int64_t>(k);
    if (Dest > FNElem) {
      break;
    }
    if (Dest >= 1) {
      SetElem(static_cast<int32_t>(Dest), Snapshot[k]);
    }
  }
  Changed();
  return 0;
}

template <class Self, class TElem>
int32_t TVectorBase<Self, TElem>::CopyFrom(const TArray& Src, int32_t SrcElemLo, int32_t SrcElemHi,
                                           int32_t DestElem) {
  // Each check runs; a later failure overwrites the code of an earlier one.
  int32_t Result = 0;
  const auto Length = static_cast<int64_t>(Src.size());
  if (Src.empty()) {
    Result = vcSourceMissing;
  }
  int64_t Lo = SrcElemLo, Hi = SrcElemHi;
  if (Lo == 0 && Hi == 0) {
    Hi = Length - 1;
  }
  if (Lo < 0 || Lo >= Length || Hi < 0 || Hi >= Length) {
    Result = vcSourceRange;
  }
  if (DestElem < 1 || DestElem > FNElem) {
    Result = vcDestRange;
  }
  if (Result != 0) {
    return Result;
  }
  if (Lo > Hi) {
    std::swap(Lo, Hi);
  }
  for (int64_t s = Lo; s <= Hi; ++s) {
    const int64_t Dest = DestElem + (s - Lo);
    if (Dest > FNElem) {
      break;
    }
    SetElem(static_cast<int32_t>(Dest), Src[static_cast<size_t>(s)]);
  }
  Changed();
  return 0;
}

template <class Self, class TElem>
void TVectorBase<Self, TElem>::CopyFrom2DArrayRow(const TArray2D& SrcArray, int32_t Row, int32_t FirstCol,
                                                  int32_t LastCol, int32_t DestElem) {
  if (!IsRectangular(SrcArray)) {
    return;
  }
  const int64_t R = ClampIndex(Row, SrcArray.front().size());
  int64_t First = ClampIndex(FirstCol, SrcArray.size());
  int64_t Last = ClampIndex(LastCol, SrcArray.size());
  if (First > Last) {
    std::swap(First, Last);
  }
  if (static_cast<int64_t>(DestElem) + (Last - First) < 1 || DestElem > FNElem) {
    return;
  }
  for (int64_t c = First; c <= Last; ++c) {
    const int64_t Dest = DestElem + (c - First);
    if (Dest >= 1 && Dest <= FNElem) {
      SetElem(static_cast<int32_t>(Dest), SrcArray[static_cast<size_t>(c)][static_cast<size_t>(R)]);
    }
  }
  Changed();
}

template <class Self, class TElem>
void TVectorBase<Self, TElem>::CopyFrom2DArrayColumn(const TArray2D& SrcArray, int32_t Col, int32_t FirstRow,
                                                     int32_t LastRow, int32_t DestElem) {
  if (!IsRectangular(SrcArray)) {
    return;
  }
  const auto& Column = SrcArray[static_cast<size_t>(ClampIndex(Col, SrcArray.size()))];
  int64_t First = ClampIndex(FirstRow, Column.size());
  int64_t Last = ClampIndex(LastRow, Column.size());
  if (First > Last) {
    std::swap(First, Last);
  }
  if (static_cast<int64_t>(DestElem) + (Last - First) < 1 || DestElem > FNElem) {
    return;
  }
  for (int64_t r = First; r <= Last; ++r) {
    const int64_t Dest = DestElem + (r - First);
    if (Dest >= 1 && Dest <= FNElem) {
      SetElem(static_cast<int32_t>(Dest), Column[static_cast<size_t>(r)]);
    }
  }
  Changed();
}

template <class Self, class TElem>
void TVectorBase<Self, TElem>::CopyToArray(TArray& DestArray, int32_t LowElem, int32_t HighElem,
                                           int32_t DestElem) const {
  MakeValidElemRange(LowElem, HighElem);
  const int64_t Start = std::max(DestElem, 0);
  const int64_t Count = static_cast<int64_t>(HighElem) - LowElem + 1;
  // Guarded: a refused length raises "...on heap" and leaves the array as it was.
  ResizeStorage<EVexaVectorError>(*this, DestArray, {Start + Count});
  const std::span<const TElem> Range = RangeValues(LowElem, HighElem);
  std::copy(Range.begin(), Range.end(), DestArray.begin() + Start);
}

template <class Self, class TElem>
void TVectorBase<Self, TElem>::CopyToArray(TArray2D& DestArray, int32_t LowElem, int32_t HighElem,
                                           int32_t DestCol, int32_t DestRow, bool AsColumn) const {
  if (!IsRectangular(DestArray)) {
    return;
  }
  const size_t NrCols = DestArray.size();
  const size_t NrRows = DestArray.front().size();
  auto Col = static_cast<size_t>(ClampIndex(DestCol, NrCols));
  auto Row = static_cast<size_t>(ClampIndex(DestRow, NrRows));
  for (const TElem x : RangeValues(LowElem, HighElem)) {
    if (Col >= NrCols || Row >= NrRows) {
      break;  // the rest would fall beyond the array
    }
    DestArray[Col][Row] = x;
    (AsColumn ? Row : Col) += 1;
  }
}

#define VEXA_VECTOR_COPY(Self, TElem)                                                                  \
  template int32_t TVectorBase<Self, TElem>::CopyFrom(const Self*, int32_t, int32_t, int32_t);         \
  template int32_t TVectorBase<Self, TElem>::CopyFrom(const TVectorTraits<TElem>::Array&, int32_t,     \
                                                      int32_t, int32_t);                              \
  template void TVectorBase<Self, TElem>::CopyFrom2DArrayRow(const TVectorTraits<TElem>::Array2D&,     \
                                                             int32_t, int32_t, int32_t, int32_t);     \
  template void TVectorBase<Self, TElem>::CopyFrom2DArrayColumn(const TVectorTraits<TElem>::Array2D&,  \
                                                                int32_t, int32_t, int32_t, int32_t);  \
  template void TVectorBase<Self, TElem>::CopyToArray(TVectorTraits<TElem>::Array&, int32_t, int32_t,  \
                                                      int32_t) const;                                 \
  template void TVectorBase<Self, TElem>::CopyToArray(TVectorTraits<TElem>::Array2D&, int32_t,         \
                                                      int32_t, int32_t, int32_t, bool) const;

VEXA_FOR_BOTH_VECTORS(VEXA_VECTOR_COPY)

}  // namespace vexa
