// Matrices: filling, exchanging, mirroring and sorting of rows and columns.

#include <algorithm>
#include <utility>

#include "foundation/Vexa_combsort.h"
#include "foundation/Vexa_math1.h"
#include "linalg/internal/Vexa_matrix_detail.h"
#include "platform/Vexa_intmath.h"
#include "platform/Vexa_random.h"

namespace vexa {

namespace {

/// a + b for the serial fill: wrapping for 32-bit integers.
inline double AddSerial(double a, double b) noexcept { return a + b; }
inline int32_t AddSerial(int32_t a, int32_t b) noexcept { return WrapAdd32(a, b); }

}  // namespace

// ---------------------------------------------------------------- fills

template <class Self, class TElem>
void TMatrixBase<Self, TElem>::Fill(TElem Value) {
  std::fill(FData.begin(), FData.end(), Value);
  Changed();
}

template <class Self, class TElem>
void TMatrixBase<Self, TElem>::Fill(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                                    TElem Value) {
  MakeValidColRange(LowCol, HighCol);
  MakeValidRowRange(LowRow, HighRow);
  for (int32_t c = LowCol; c <= HighCol; ++c) {
    const auto Col = Column(c);
    std::fill(Col.begin() + (LowRow - 1), Col.begin() + HighRow, Value);
  }
  Changed();
}

template <class Self, class TElem>
void TMatrixBase<Self, TElem>::FillDiag(TElem Value) {
  const int32_t Count = std::min(FNCol, FNRow);
  for (int32_t i = 1; i <= Count; ++i) {
    Cell(i, i) = Value;
  }
  Changed();
}

template <class Self, class TElem>
void TMatrixBase<Self, TElem>::FillSerial(TElem Offset, TElem Diff) {
  // Repeated addition in storage order, as the library has always filled.
  TElem Value = Offset;
  for (TElem& x : FData) {
    x = Value;
    Value = AddSerial(Value, Diff);
  }
}

// ---------------------------------------------------------------- exchanging, mirroring

template <class Self, class TElem>
void TMatrixBase<Self, TElem>::ExchangeColumns(int32_t c1, int32_t c2) {
  if (c1 < 1 || c1 > FNCol || c2 < 1 || c2 > FNCol) {
    return;
  }
  if (c1 != c2) {
    std::ranges::swap_ranges(Column(c1), Column(c2));
  }
  Changed();
}

template <class Self, class TElem>
void TMatrixBase<Self, TElem>::ExchangeRows(int32_t r1, int32_t r2) {
  if (r1 < 1 || r1 > FNRow || r2 < 1 || r2 > FNRow) {
    return;
  }
  for (int32_t c = 1; c <= FNCol; ++c) {
    std::swap(Cell(c, r1), Cell(c, r2));
  }
  Changed();
}

template <class Self, class TElem>
void TMatrixBase<Self, TElem>::MirrorColumns() {
  for (int32_t c = 1; c <= FNCol / 2; ++c) {
    std::ranges::swap_ranges(Column(c), Column(FNCol + 1 - c));
  }
  Changed();
}

template <class Self, class TElem>
void TMatrixBase<Self, TElem>::MirrorRows() {
  for (int32_t c = 1; c <= FNCol; ++c) {
    std::ranges::reverse(Column(c));
  }
  Changed();
}

// ---------------------------------------------------------------- sorting

namespace {

/// The comb sort shared by SortRows and SortCols over the lines First..Last:
/// OutOfOrder(i, j) tells whether line i must come after line j, Exchange(i, j)
/// swaps them (and reports it).
template <class TOutOfOrder, class TExchange>
void CombSortLines(int32_t First, int32_t Last, TOutOfOrder OutOfOrder, TExchange Exchange) {
  int32_t Gap = Last - First;
  bool Exchanged = false;
  do {
    Gap = NextCombGap(Gap);
    Exchanged = false;
    for (int32_t i = First; i <= Last - Gap; ++i) {
      // Comparisons with NaN are false: NaN keys are never moved, and the sort ends.
      if (OutOfOrder(i, i + Gap)) {
        Exchange(i, i + Gap);
        Exchanged = true;
      }
    }
  } while (Gap > 1 || Exchanged);
}

}  // namespace

template <class Self, class TElem>
void TMatrixBase<Self, TElem>::SortRows(int32_t SortColIx, bool Ascending, int32_t LowCol, int32_t LowRow,
                                        int32_t HighCol, int32_t HighRow) {
  MakeValidColRange(LowCol, HighCol);
  MakeValidRowRange(LowRow, HighRow);
  if (HighRow - LowRow < 1) {
    return;
  }
  // A key column outside the matrix reads as 0 everywhere: nothing is out of order.
  const bool KeyInside = SortColIx >= 1 && SortColIx <= FNCol;
  if (KeyInside) {
    const bool KeyMovesExtra = SortColIx < LowCol || SortColIx > HighCol;
    auto OutOfOrder = [&](int32_t Upper, int32_t Lower) {
      const TElem a = Cell(SortColIx, Upper);
      const TElem b = Cell(SortColIx, Lower);
      return Ascending ? a > b : b > a;
    };
    auto Exchange = [&](int32_t r1, int32_t r2) {
      for (int32_t c = LowCol; c <= HighCol; ++c) {
        std::swap(Cell(c, r1), Cell(c, r2));
      }
      if (KeyMovesExtra) {
        std::swap(Cell(SortColIx, r1), Cell(SortColIx, r2));
      }
      this->SortExchange(sekRows, r1, r2, LowCol, HighCol);
    };
    CombSortLines(LowRow, HighRow, OutOfOrder, Exchange);
  }
  Changed();
}

template <class Self, class TElem>
void TMatrixBase<Self, TElem>::SortCols(int32_t SortRowIx, bool Ascending, int32_t LowCol, int32_t LowRow,
                                        int32_t HighCol, int32_t HighRow) {
  MakeValidColRange(LowCol, HighCol);
  MakeValidRowRange(LowRow, HighRow);
  if (HighCol - LowCol < 1) {
    return;
  }
  const bool KeyInside = SortRowIx >= 1 && SortRowIx <= FNRow;
  if (KeyInside) {
    const bool KeyMovesExtra = SortRowIx < LowRow || SortRowIx > HighRow;
    auto OutOfOrder = [&](int32_t Left, int32_t Right) {
      const TElem a = Cell(Left, SortRowIx);
      const TElem b = Cell(Right, SortRowIx);
      return Ascending ? a > b : b > a;
    };
    auto Exchange = [&](int32_t c1, int32_t c2) {
      const auto Col1 = Column(c1);
      const auto Col2 = Column(c2);
      std::swap_ranges(Col1.begin() + (LowRow - 1), Col1.begin() + HighRow, Col2.begin() + (LowRow - 1));
      if (KeyMovesExtra) {
        std::swap(Cell(c1, SortRowIx), Cell(c2, SortRowIx));
      }
      this->SortExchange(sekCols, c1, c2, LowRow, HighRow);
    };
    CombSortLines(LowCol, HighCol, OutOfOrder, Exchange);
  }
  Changed();
}

#define VEXA_MATRIX_FILL(Self, TElem)                                                                   \
  template void TMatrixBase<Self, TElem>::Fill(TElem);                                                  \
  template void TMatrixBase<Self, TElem>::Fill(int32_t, int32_t, int32_t, int32_t, TElem);              \
  template void TMatrixBase<Self, TElem>::FillDiag(TElem);                                              \
  template void TMatrixBase<Self, TElem>::FillSerial(TElem, TElem);                                     \
  template void TMatrixBase<Self, TElem>::ExchangeColumns(int32_t, int32_t);                            \
  template void TMatrixBase<Self, TElem>::ExchangeRows(int32_t, int32_t);                               \
  template void TMatrixBase<Self, TElem>::MirrorColumns();                                              \
  template void TMatrixBase<Self, TElem>::MirrorRows();                                                 \
  template void TMatrixBase<Self, TElem>::SortRows(int32_t, bool, int32_t, int32_t, int32_t, int32_t);  \
  template void TMatrixBase<Self, TElem>::SortCols(int32_t, bool, int32_t, int32_t, int32_t, int32_t);

VEXA_FOR_ALL_MATRICES(VEXA_MATRIX_FILL)

// ---------------------------------------------------------------- TMatrix: random fills

namespace {

/// Writes Draw() into the cells of the rectangle, column by column, top to bottom.
template <class TDraw>
void FillRectangle(TMatrix& M, std::span<double> Data, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                   int32_t HighRow, TDraw Draw) {
  const auto Rows = static_cast<size_t>(M.NrOfRows());
  for (int32_t c = LowCol; c <= HighCol; ++c) {
    for (int32_t r = LowRow; r <= HighRow; ++r) {
      Data[static_cast<size_t>(c - 1) * Rows + static_cast<size_t>(r - 1)] = Draw();
    }
  }
}

}  // namespace

void TMatrix::FillRandomUniform(double RangeLow, double RangeHigh) {
  FillRandomUniform(0, 0, 0, 0, RangeLow, RangeHigh);
}

void TMatrix::FillRandomUniform(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                                double RangeLow, double RangeHigh) {
  MakeValidColRange(LowCol, HighCol);
  MakeValidRowRange(LowRow, HighRow);
  FillRectangle(*this, FData, LowCol, HighCol, LowRow, HighRow,
                [&] { return RangeLow + (RangeHigh - RangeLow) * Random(); });
  Changed();
}

void TMatrix::FillRandomGauss(double Mean, double StdDev) { FillRandomGauss(0, 0, 0, 0, Mean, StdDev); }

void TMatrix::FillRandomGauss(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, double Mean,
                              double StdDev) {
  MakeValidColRange(LowCol, HighCol);
  MakeValidRowRange(LowRow, HighRow);
  FillRectangle(*this, FData, LowCol, HighCol, LowRow, HighRow, [&] { return Mean + StdDev * GRandom(); });
  Changed();
}

}  // namespace vexa
