// Matrices: search, extremes and the content fingerprint.

#include <array>
#include <bit>
#include <cmath>
#include <limits>
#include <type_traits>

#include "foundation/Vexa_math1.h"
#include "fundora/Vexa_dstruct.h"
#include "linalg/internal/Vexa_matrix_detail.h"

namespace vexa {

namespace {

/// |a − b| as a double (exact for 32-bit integers; NaN for a NaN cell).
inline double CellDistance(double a, double b) noexcept { return std::fabs(a - b); }
inline double CellDistance(int32_t a, int32_t b) noexcept {
  return std::fabs(static_cast<double>(static_cast<int64_t>(a) - b));
}

}  // namespace

template <class Self, class TElem>
void TMatrixBase<Self, TElem>::Find(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                                    TElem Value, int32_t& ColIx, int32_t& RowIx) const {
  MakeValidColRange(LowCol, HighCol);
  MakeValidRowRange(LowRow, HighRow);
  ColIx = LowCol;
  RowIx = LowRow;
  // NaN distances never compare smaller: NaN cells are never chosen over a number.
  double Best = std::numeric_limits<double>::infinity();
  bool Found = false;
  for (int32_t c = LowCol; c <= HighCol; ++c) {
    for (int32_t r = LowRow; r <= HighRow; ++r) {
      const double d = CellDistance(CellValue(c, r), Value);
      if (d < Best || (!Found && d == Best)) {
        Best = d;
        ColIx = c;
        RowIx = r;
        Found = true;
      }
    }
  }
}

template <class Self, class TElem>
int32_t TMatrixBase<Self, TElem>::FindInSortedColumn(int32_t Col, bool ColIsAscending, TElem Value) const {
  if (Col < 1 || Col > FNCol) {
    return 0;
  }
  auto At = [&](int32_t Row) { return CellValue(Col, Row); };
  int32_t Lo = 1;
  int32_t Hi = FNRow;
  while (Hi - Lo > 1) {
    const int32_t Mid = Lo + (Hi - Lo) / 2;
    if (At(Mid) == Value) {
      return Mid;
    }
    if ((Value < At(Mid)) == ColIsAscending) {
      Hi = Mid;
    } else {
      Lo = Mid;
    }
  }
  // The tie between the final pair goes to the higher row.
  return CellDistance(At(Hi), Value) > CellDistance(At(Lo), Value) ? Lo : Hi;
}

template <class Self, class TElem>
void TMatrixBase<Self, TElem>::MinMax(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                                      TElem& Minimum, TElem& Maximum) const {
  MakeValidColRange(LowCol, HighCol);
  MakeValidRowRange(LowRow, HighRow);
  // The scan starts from the largest magnitudes with strict comparisons, as
  // the library always did: NaN cells take no part.
  Minimum = Traits::kMinMaxStart;
  Maximum = -Traits::kMinMaxStart;
  for (int32_t c = LowCol; c <= HighCol; ++c) {
    const auto Col = Column(c);
    for (int32_t r = LowRow; r <= HighRow; ++r) {
      const TElem x = Col[static_cast<size_t>(r - 1)];
      if (x < Minimum) {
        Minimum = x;
      }
      if (x > Maximum) {
        Maximum = x;
      }
    }
  }
}

template <class Self, class TElem>
std::string TMatrixBase<Self, TElem>::CRCofData() const {
  using TBits = std::conditional_t<sizeof(TElem) == 8, uint64_t, uint32_t>;
  constexpr int Lanes = Traits::kCRCLanes;
  static_assert(sizeof(TBits) == Lanes);
  std::array<uint32_t, Lanes> CRC;
  CRC.fill(0xFFFFFFFFu);
  // Storage order: column by column, top to bottom.
  for (int32_t c = 1; c <= FNCol; ++c) {
    for (int32_t r = 1; r <= FNRow; ++r) {
      // Byte j of the value's bit pattern (0 = least significant), whatever
      // the host's byte order.
      const auto Bits = std::bit_cast<TBits>(CellValue(c, r));
      for (int j = 0; j < Lanes; ++j) {
        CRC[static_cast<size_t>(j)] =
            CalcNextCRC32(static_cast<uint8_t>(Bits >> (8 * j)), CRC[static_cast<size_t>(j)]);
      }
    }
  }
  std::string Result;
  for (const uint32_t Lane : CRC) {
    Result += Hex(static_cast<int32_t>(~Lane), 8);
  }
  return Result;
}

#define VEXA_MATRIX_SEARCH(Self, TElem)                                                                      \
  template void TMatrixBase<Self, TElem>::Find(int32_t, int32_t, int32_t, int32_t, TElem, int32_t&, int32_t&) \
      const;                                                                                                 \
  template int32_t TMatrixBase<Self, TElem>::FindInSortedColumn(int32_t, bool, TElem) const;                 \
  template void TMatrixBase<Self, TElem>::MinMax(int32_t, int32_t, int32_t, int32_t, TElem&, TElem&) const;  \
  template std::string TMatrixBase<Self, TElem>::CRCofData() const;

VEXA_FOR_ALL_MATRICES(VEXA_MATRIX_SEARCH)

}  // namespace vexa
