// The engine of TMat4D's layer reductions: a band of adjacent rows per
// task, each pixel reduced in the fixed order time slot, then layer.

#include "linalg/internal/Vexa_layerreduce.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "foundation/Vexa_progress.h"
#include "fundora/Vexa_univconst.h"
#include "linalg/internal/Vexa_matrix_square.h"

namespace vexa::matrix_detail {

namespace {

/// The geometry of one call: where a pixel's values and its result live.
class TReductionPlan {
public:
  TReductionPlan(const TLayerStack& Stack, const TLayerBox& Box)
      : FStack(Stack), FBox(Box), FWidth(static_cast<size_t>(Box.HighCol - Box.LowCol) + 1) {}

  /// Row Row (0-based) of layer Layer of time slot TimeSlot.
  const double* RowOf(int32_t TimeSlot, int32_t Layer, int32_t Row) const {
    const size_t Plane = static_cast<size_t>(TimeSlot) * static_cast<size_t>(FStack.NrLayers) +
                         static_cast<size_t>(Layer);
    return FStack.Data +
           (Plane * static_cast<size_t>(FStack.NrRows) + static_cast<size_t>(Row)) *
               static_cast<size_t>(FStack.NrColumns);
  }
  /// Offset of the first result of row Row (0-based in the stack).
  size_t ResultRow(int32_t Row) const { return static_cast<size_t>(Row - FBox.LowRow) * FWidth; }
  /// Pixels per row of the box.
  size_t Width() const { return FWidth; }
  /// Values per pixel (layers · time slots).
  double ValuesPerPixel() const {
    return static_cast<double>(FBox.HighLayer - FBox.LowLayer + 1) *
           static_cast<double>(FBox.HighTimeSlot - FBox.LowTimeSlot + 1);
  }
  const TLayerBox& Box() const { return FBox; }

  /// Calls Visit(Row, Values) for every time slot, layer and row FirstRow …
  /// LastRow of the box in the reduction order (time slot outer, layer
  /// inner, then row); Values points at column LowCol of that row.
  template <class TVisit>
  void ForEachRow(int32_t FirstRow, int32_t LastRow, TVisit&& Visit) const {
    for (int32_t t = FBox.LowTimeSlot; t <= FBox.HighTimeSlot; ++t) {
      for (int32_t l = FBox.LowLayer; l <= FBox.HighLayer; ++l) {
        for (int32_t r = FirstRow; r <= LastRow; ++r) {
          Visit(r, RowOf(t, l, r) + FBox.LowCol);
        }
      }
    }
  }

private:
  TLayerStack FStack;
  TLayerBox FBox;
  size_t FWidth;
};

// The row kernels: one value of each pixel of a row into its accumulators.
// Element by element, so their order of operations per pixel is that of a
// plain loop; asked to vectorise with the dynamic cost model, which the -O2
// default (very cheap) refuses for loops of unknown length.

/// Sum[c] += x[c].
__attribute__((optimize("-fvect-cost-model=dynamic"))) void AddRow(double* __restrict Sum,
                                                                 const double* __restrict x, size_t n) noexcept {
  for (size_t c = 0; c < n; ++c) {
    Sum[c] += x[c];
  }
}

/// Max[c] := x[c] where x[c] > Max[c] (a NaN never replaces the maximum).
__attribute__((optimize("-fvect-cost-model=dynamic"))) void MaxRow(double* __restrict Max,
                                                                 const double* __restrict x, size_t n) noexcept {
  for (size_t c = 0; c < n; ++c) {
    Max[c] = x[c] > Max[c] ? x[c] : Max[c];
  }
}

/// Min[c] := x[c] where x[c] < Min[c] (a NaN never replaces the minimum).
__attribute__((optimize("-fvect-cost-model=dynamic"))) void MinRow(double* __restrict Min,
                                                                 const double* __restrict x, size_t n) noexcept {
  for (size_t c = 0; c < n; ++c) {
    Min[c] = x[c] < Min[c] ? x[c] : Min[c];
  }
}

/// Sums of d and d², d = x[c] − Shift[c].
__attribute__((optimize("-fvect-cost-model=dynamic"))) void DeviationRow(double* __restrict Sum,
                                                                       double* __restrict SquaredSum,
                                                                       const double* __restrict x,
                                                                       const double* __restrict Shift,
                                                                       size_t n) noexcept {
  for (size_t c = 0; c < n; ++c) {
    const double d = x[c] - Shift[c];
    Sum[c] += d;
    SquaredSum[c] += d * d;
  }
}

/// Reduces the pixels of the rows FirstRow … LastRow (0-based in the stack).
void ReduceBand(const TReductionPlan& Plan, TLayerReduction Kind, int32_t FirstRow, int32_t LastRow,
                std::span<double> Result, std::span<double> Scratch) {
  const TLayerBox& Box = Plan.Box();
  const size_t n = Plan.Width();
  auto Acc = [&](std::span<double> Buffer, int32_t Row) { return Buffer.data() + Plan.ResultRow(Row); };
  const double Start = Kind == TLayerReduction::lrMaximum ? -uc_MaxReal
                       : Kind == TLayerReduction::lrMinimum ? uc_MaxReal
                                                              : 0.0;
  for (int32_t r = FirstRow; r <= LastRow; ++r) {
    std::fill_n(Acc(Result, r), n, Start);
    if (Kind == TLayerReduction::lrStdDev) {
      std::fill_n(Acc(Scratch, r), n, 0.0);
    }
  }
  switch (Kind) {
    case TLayerReduction::lrMean:
      Plan.ForEachRow(FirstRow, LastRow, [&](int32_t r, const double* x) { AddRow(Acc(Result, r), x, n); });
      break;
    case TLayerReduction::lrMaximum:
      Plan.ForEachRow(FirstRow, LastRow, [&](int32_t r, const double* x) { MaxRow(Acc(Result, r), x, n); });
      break;
    case TLayerReduction::lrMinimum:
      Plan.ForEachRow(FirstRow, LastRow, [&](int32_t r, const double* x) { MinRow(Acc(Result, r), x, n); });
      break;
    case TLayerReduction::lrStdDev:
      // Sums of the deviations from the pixel's first value: the same
      // population variance as Σx²/N − (Σx/N)², without the cancellation
      // that formula suffers when the values are large against their spread.
      Plan.ForEachRow(FirstRow, LastRow, [&](int32_t r, const double* x) {
        const double* Shift = Plan.RowOf(Box.LowTimeSlot, Box.LowLayer, r) + Box.LowCol;
        DeviationRow(Acc(Result, r), Acc(Scratch, r), x, Shift, n);
      });
      break;
  }
  if (Kind == TLayerReduction::lrMean || Kind == TLayerReduction::lrStdDev) {
    const double N = Plan.ValuesPerPixel();
    for (int32_t r = FirstRow; r <= LastRow; ++r) {
      double* Value = Acc(Result, r);
      const double* SquaredSum = Kind == TLayerReduction::lrStdDev ? Acc(Scratch, r) : nullptr;
      for (size_t c = 0; c < n; ++c) {
        const double Mean = Value[c] / N;
        if (SquaredSum == nullptr) {
          Value[c] = Mean;
        } else {
          const double Variance = SquaredSum[c] / N - Mean * Mean;
          Value[c] = Variance < 0.0 ? 0.0 : std::sqrt(Variance);  // NaN stays NaN
        }
      }
    }
  }
}

}  // namespace

void ReduceLayers(const TLayerStack& Stack, const TLayerBox& Box, TLayerReduction Kind, int32_t NrWorkers,
                  std::span<double> Result, std::span<double> Scratch) {
  const TReductionPlan Plan(Stack, Box);
  const int32_t Height = Box.HighRow - Box.LowRow + 1;
  const int32_t NrBands = (Height - 1) / kReduceBandRows + 1;
  auto Kernel = [&](int32_t Band) {
    const int32_t FirstRow = Box.LowRow + Band * kReduceBandRows;
    ReduceBand(Plan, Kind, FirstRow, std::min(Box.HighRow, FirstRow + (kReduceBandRows - 1)), Result, Scratch);
  };
  const double StepPerBand = 100.0 / NrBands;
  auto Progress = [StepPerBand](int32_t Bands) {
    ProgressStep(StepPerBand * Bands);
    return false;  // a reduction is not aborted
  };
  RunColumnPool(NrBands, NrWorkers, Kernel, Progress);
}

}  // namespace vexa::matrix_detail
