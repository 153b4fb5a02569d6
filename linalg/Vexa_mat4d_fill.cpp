// TMat4D: fills and the operations on whole layers.

#include <algorithm>
#include <cstdint>
#include <functional>

#include "arrays/internal/Vexa_arraycore.h"
#include "foundation/Vexa_math1.h"
#include "linalg/Vexa_mat4d.h"
#include "platform/Vexa_random.h"

namespace vexa {

namespace {

/// True when Arr is exactly [NrCols][NrRows] (a ragged array never is).
bool HasLayerShape(const TDouble2DArray& Arr, int32_t NrCols, int32_t NrRows) {
  arraycore::TShape<2> Shape{};
  return arraycore::TryShape(Arr, Shape) && Shape[0] == NrCols && Shape[1] == NrRows;
}

/// True when Low..High lies on the axis 1..N after the (0, 0) rule and the
/// exchange of a reversed pair.
bool RangeOnAxis(int32_t& Low, int32_t& High, int32_t N) {
  if (Low == 0 && High == 0) {
    Low = 1;
    High = N;
    return true;
  }
  if (High < Low) {
    std::swap(Low, High);
  }
  return Low >= 1 && High <= N;
}

}  // namespace

// ---------------------------------------------------------------- whole matrix

void TMat4D::Fill(double Value) {
  std::fill(FData.begin(), FData.end(), Value);
  Changed();
}

void TMat4D::FillDiag(double Value) {
  const int32_t n = std::min({FNumX, FNumY, FNumZ, FNumT});
  for (int32_t i = 1; i <= n; ++i) {
    FData[CellIndex(i, i, i, i)] = Value;
  }
  Changed();
}

void TMat4D::FillSerial(double Offset, double Diff) {
  // Repeated addition, not Offset + k·Diff: the rounding of the running
  // value is part of the result.
  double Value = Offset;
  for (double& x : FData) {
    x = Value;
    Value += Diff;
  }
}

void TMat4D::FillRandomUniform(double RangeLow, double RangeHigh) {
  for (double& x : FData) {
    x = RangeLow + (RangeHigh - RangeLow) * Random();
  }
  Changed();
}

void TMat4D::FillRandomGauss(double Mean, double StdDev) {
  for (double& x : FData) {
    x = Mean + StdDev * GRandom();
  }
  Changed();
}

// ---------------------------------------------------------------- layers

void TMat4D::FillLayer(int32_t Layer, double Value) {
  if (Layer < 1 || Layer > FNumZ) {
    return;
  }
  const auto LayerSize = static_cast<size_t>(FNumX) * static_cast<size_t>(FNumY);
  for (int32_t t = 1; t <= FNumT; ++t) {
    const auto First = FData.begin() + static_cast<ptrdiff_t>(CellIndex(1, 1, Layer, t));
    std::fill_n(First, LayerSize, Value);
  }
  Changed();
}

int32_t TMat4D::FillLayer(int32_t Layer, int32_t TimeSlot, int32_t Mode, double par1, double par2) {
  std::function<double()> NextValue;
  switch (Mode) {
    case 0: NextValue = [&] { return par1; }; break;
    case 1: NextValue = [&] { return par1 + (par2 - par1) * Random(); }; break;
    case 2: NextValue = [&] { return par1 + par2 * GRandom(); }; break;
    default: return -3;
  }
  if (TimeSlot < 1 || TimeSlot > FNumT) {
    return -2;
  }
  if (Layer < 1 || Layer > FNumZ) {
    return -1;
  }
  // One layer of one time slot is a contiguous block of rows.
  const auto First = FData.begin() + static_cast<ptrdiff_t>(CellIndex(1, 1, Layer, TimeSlot));
  std::generate_n(First, static_cast<size_t>(FNumX) * static_cast<size_t>(FNumY), NextValue);
  Changed();
  return 0;
}

int32_t TMat4D::AccumulateLayer(int32_t Layer, int32_t TimeSlot, const TDouble2DArray& SrcArray) {
  if (!HasLayerShape(SrcArray, FNumX, FNumY)) {
    return -1;
  }
  if (Layer < 1 || Layer > FNumZ) {
    return -2;
  }
  if (TimeSlot < 1 || TimeSlot > FNumT) {
    return -3;
  }
  for (int32_t c = 1; c <= FNumX; ++c) {
    const TDoubleArray& Column = SrcArray[static_cast<size_t>(c - 1)];
    for (int32_t r = 1; r <= FNumY; ++r) {
      FData[CellIndex(c, r, Layer, TimeSlot)] += Column[static_cast<size_t>(r - 1)];
    }
  }
  Changed();
  return 0;
}

int32_t TMat4D::MultiplyLayersByArray(const TDouble2DArray& FactorArray, int32_t LowCol, int32_t HighCol,
                                      int32_t LowRow, int32_t HighRow, int32_t LowLayer, int32_t HighLayer,
                                      int32_t LowTimeSlot, int32_t HighTimeSlot) {
  if (!HasLayerShape(FactorArray, FNumX, FNumY)) {
    return -1;
  }
  if (!RangeOnAxis(LowCol, HighCol, FNumX)) {
    return -2;
  }
  if (!RangeOnAxis(LowRow, HighRow, FNumY)) {
    return -3;
  }
  if (!RangeOnAxis(LowLayer, HighLayer, FNumZ)) {
    return -4;
  }
  if (!RangeOnAxis(LowTimeSlot, HighTimeSlot, FNumT)) {
    return -5;
  }
  for (int32_t t = LowTimeSlot; t <= HighTimeSlot; ++t) {
    for (int32_t l = LowLayer; l <= HighLayer; ++l) {
      for (int32_t r = LowRow; r <= HighRow; ++r) {
        for (int32_t c = LowCol; c <= HighCol; ++c) {
          FData[CellIndex(c, r, l, t)] *= FactorArray[static_cast<size_t>(c - 1)][static_cast<size_t>(r - 1)];
        }
      }
    }
  }
  Changed();
  return 0;
}

}  // namespace vexa
