// TMat4D: cutting, resampling, transposing, mirroring and the fingerprint.

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "linalg/Vexa_mat4d.h"
#include "linalg/internal/Vexa_mat3d_detail.h"

namespace vexa {

namespace {

/// One axis of a resampling: every Div-th cell from Offset (0-based).
struct TResampleAxis {
  int32_t Div = 1;
  int32_t Offset = 0;
  int32_t NewCount = 1;

  /// A Div below 1 counts as 1, the offset is reduced modulo Div (floored,
  /// so a negative offset counts back from Div); false when the offset then
  /// still reaches beyond the axis of Count cells.
  bool Setup(int32_t ADiv, int32_t AOffset, int32_t Count) {
    Div = std::max(ADiv, 1);
    Offset = AOffset % Div;
    if (Offset < 0) {
      Offset += Div;
    }
    if (Offset >= Count) {
      return false;
    }
    NewCount = (Count - Offset - 1) / Div + 1;
    return true;
  }
  /// First old index (1-based) of new cell q (1-based).
  int32_t FirstOld(int32_t q) const { return Offset + (q - 1) * Div + 1; }
  /// Last old index of new cell q that exists on an axis of Count cells.
  int32_t LastOld(int32_t q, int32_t Count) const {
    return static_cast<int32_t>(std::min<int64_t>(int64_t{Offset} + int64_t{q} * Div, Count));
  }
};

/// Percent of Done out of Total, rounded down.
int32_t PercentOf(int64_t Done, int64_t Total) {
  return static_cast<int32_t>(Done * 100 / Total);
}

}  // namespace

// ---------------------------------------------------------------- cut, resample

void TMat4D::Cut(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, int32_t LowLayer,
                 int32_t HighLayer, int32_t LowTimeslot, int32_t HighTimeslot) {
  MakeValidColRange(LowCol, HighCol);
  MakeValidRowRange(LowRow, HighRow);
  MakeValidLayerRange(LowLayer, HighLayer);
  MakeValidTSlotRange(LowTimeslot, HighTimeslot);
  const int32_t Nc = HighCol - LowCol + 1;
  const int32_t Nr = HighRow - LowRow + 1;
  const int32_t Nl = HighLayer - LowLayer + 1;
  const int32_t Nt = HighTimeslot - LowTimeslot + 1;
  std::vector<double> Block = NewFlatStorage<EVexaMatrixError, double>(*this, {Nt, Nl, Nr, Nc});
  auto Out = Block.begin();
  for (int32_t t = LowTimeslot; t <= HighTimeslot; ++t) {
    for (int32_t l = LowLayer; l <= HighLayer; ++l) {
      for (int32_t r = LowRow; r <= HighRow; ++r) {
        const auto Row = FData.begin() + static_cast<ptrdiff_t>(CellIndex(LowCol, r, l, t));
        Out = std::copy_n(Row, Nc, Out);
      }
    }
  }
  TakeCells(std::move(Block), Nc, Nr, Nl, Nt);
  Changed();
  Resized();
}

void TMat4D::Resample(int32_t XDiv, int32_t XOffset, int32_t YDiv, int32_t YOffset, int32_t ZDiv, int32_t ZOffset,
                      int32_t TDiv, int32_t TOffset, bool Average) {
  TResampleAxis X, Y, Z, T;
  if (!X.Setup(XDiv, XOffset, FNumX) || !Y.Setup(YDiv, YOffset, FNumY) || !Z.Setup(ZDiv, ZOffset, FNumZ) ||
      !T.Setup(TDiv, TOffset, FNumT)) {
    return;
  }
  std::vector<double> Result =
      NewFlatStorage<EVexaMatrixError, double>(*this, {T.NewCount, Z.NewCount, Y.NewCount, X.NewCount});
  // The box volume in double: the product of four divisors may exceed 64 bits.
  const double BoxVolume = static_cast<double>(X.Div) * Y.Div * Z.Div * T.Div;
  // Sum of the old cells of a box that exist (boxes at the upper edges are
  // cut, but still divided by the full volume).
  auto BoxSum = [&](int32_t qx, int32_t qy, int32_t qz, int32_t qt) {
    double Sum = 0.0;
    for (int32_t t = T.FirstOld(qt); t <= T.LastOld(qt, FNumT); ++t) {
      for (int32_t l = Z.FirstOld(qz); l <= Z.LastOld(qz, FNumZ); ++l) {
        for (int32_t r = Y.FirstOld(qy); r <= Y.LastOld(qy, FNumY); ++r) {
          for (int32_t c = X.FirstOld(qx); c <= X.LastOld(qx, FNumX); ++c) {
            Sum += FData[CellIndex(c, r, l, t)];
          }
        }
      }
    }
    return Sum;
  };
  const int64_t Planes = int64_t{T.NewCount} * Z.NewCount;
  int64_t PlanesDone = 0;
  auto Out = Result.begin();
  for (int32_t qt = 1; qt <= T.NewCount; ++qt) {
    for (int32_t qz = 1; qz <= Z.NewCount; ++qz) {
      for (int32_t qy = 1; qy <= Y.NewCount; ++qy) {
        for (int32_t qx = 1; qx <= X.NewCount; ++qx) {
          *Out++ = Average ? BoxSum(qx, qy, qz, qt) / BoxVolume
                           : FData[CellIndex(X.FirstOld(qx), Y.FirstOld(qy), Z.FirstOld(qz), T.FirstOld(qt))];
        }
      }
      PercDone(this, PercentOf(++PlanesDone, Planes));
    }
  }
  TakeCells(std::move(Result), X.NewCount, Y.NewCount, Z.NewCount, T.NewCount);
  Changed();
  Resized();
}

// ---------------------------------------------------------------- transpose, mirrors

bool TMat4D::Transpose() {
  const int32_t Nc = FNumY;  // the new dimensions
  const int32_t Nr = FNumX;
  std::vector<double> Swapped = NewFlatStorage<EVexaMatrixError, double>(*this, {FNumT, FNumZ, Nr, Nc});
  const auto LayerSize = static_cast<size_t>(FNumX) * static_cast<size_t>(FNumY);
  const auto Planes = static_cast<size_t>(FNumZ) * static_cast<size_t>(FNumT);
  for (int32_t c = 1; c <= FNumX; ++c) {
    if (AbortMathProc) {
      return false;  // nothing has been changed yet
    }
    // Old cell (c, r) of every plane becomes new cell (r, c): new row c.
    for (size_t Plane = 0; Plane < Planes; ++Plane) {
      const size_t Base = Plane * LayerSize;
      for (int32_t r = 1; r <= FNumY; ++r) {
        const size_t Old = Base + static_cast<size_t>(r - 1) * static_cast<size_t>(FNumX) + static_cast<size_t>(c - 1);
        const size_t New = Base + static_cast<size_t>(c - 1) * static_cast<size_t>(Nc) + static_cast<size_t>(r - 1);
        Swapped[New] = FData[Old];
      }
    }
    PercDone(this, PercentOf(c, FNumX));
  }
  TakeCells(std::move(Swapped), Nc, Nr, FNumZ, FNumT);
  Changed();
  Resized();
  return true;
}

void TMat4D::MirrorColumns() {
  const auto RowLength = static_cast<ptrdiff_t>(FNumX);
  for (auto Row = FData.begin(); Row != FData.end(); Row += RowLength) {
    std::reverse(Row, Row + RowLength);
  }
  Changed();
}

namespace {

/// Reverses the order of Count consecutive blocks of BlockSize cells within
/// every group of Count blocks of Cells.
void MirrorBlocks(std::vector<double>& Cells, size_t BlockSize, size_t Count) {
  const size_t GroupSize = BlockSize * Count;
  for (size_t Group = 0; Group < Cells.size(); Group += GroupSize) {
    for (size_t i = 0, j = Count - 1; i < j; ++i, --j) {
      const auto First = Cells.begin() + static_cast<ptrdiff_t>(Group + i * BlockSize);
      const auto Second = Cells.begin() + static_cast<ptrdiff_t>(Group + j * BlockSize);
      std::swap_ranges(First, First + static_cast<ptrdiff_t>(BlockSize), Second);
    }
  }
}

}  // namespace

void TMat4D::MirrorRows() {
  MirrorBlocks(FData, static_cast<size_t>(FNumX), static_cast<size_t>(FNumY));
  Changed();
}

void TMat4D::MirrorLayers() {
  MirrorBlocks(FData, static_cast<size_t>(FNumX) * static_cast<size_t>(FNumY), static_cast<size_t>(FNumZ));
  Changed();
}

void TMat4D::MirrorTimeSlots() {
  MirrorBlocks(FData, static_cast<size_t>(FNumX) * static_cast<size_t>(FNumY) * static_cast<size_t>(FNumZ),
               static_cast<size_t>(FNumT));
  Changed();
}

// ---------------------------------------------------------------- fingerprint

std::string TMat4D::CRCofData() {
  return CRCofData(1);
}

std::string TMat4D::CRCofData(int32_t Sample) {
  Sample = std::max(1, std::min(Sample, FNumZ / 2));
  const int64_t Pixels = int64_t{FNumX} * FNumY;
  const int64_t Step = std::max<int64_t>(1, Pixels / 100);
  mat3d_detail::TByteLaneCRC CRC;
  int64_t PixelsDone = 0;
  for (int32_t c = 1; c <= FNumX; ++c) {
    for (int32_t r = 1; r <= FNumY; ++r) {
      for (int64_t l = Sample; l <= FNumZ; l += Sample) {  // 64 bits: no overflow past the last layer
        for (int32_t t = 1; t <= FNumT; ++t) {
          CRC.Add(FData[CellIndex(c, r, static_cast<int32_t>(l), t)]);
        }
      }
      if (++PixelsDone % Step == 0) {
        PercDone(this, PercentOf(PixelsDone, Pixels));
      }
    }
  }
  return CRC.Text();
}

}  // namespace vexa
