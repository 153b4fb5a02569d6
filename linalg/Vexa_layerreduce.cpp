// The engine of TMat4D's layer reductions: a chunk of adjacent columns per
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
  /// Offset of the first result of row Row (0-based in the stack), relative to LowCol.
  size_t ResultRow(int32_t Row) const { return static_cast<size_t>(Row - FBox.LowRow) * FWidth; }
  /// Values per pixel (layers · time slots).
  double ValuesPerPixel() const {
    return static_cast<double>(FBox.HighLayer - FBox.LowLayer + 1) *
           static_cast<double>(FBox.HighTimeSlot - FBox.LowTimeSlot + 1);
  }
  const TLayerBox& Box() const { return FBox; }

  /// Calls Visit(Row, Values) for every (time slot, layer, row) of the box
  /// in the reduction order (time slot outer, layer inner, then row);
  /// Values points at column FirstCol of that row.
  template <class TVisit>
  void ForEachRow(int32_t FirstCol, TVisit&& Visit) const {
    for (int32_t t = FBox.LowTimeSlot; t <= FBox.HighTimeSlot; ++t) {
      for (int32_t l = FBox.LowLayer; l <= FBox.HighLayer; ++l) {
        for (int32_t r = FBox.LowRow; r <= FBox.HighRow; ++r) {
          Visit(r, RowOf(t, l, r) + FirstCol);
        }
      }
    }
  }

private:
  TLayerStack FStack;
  TLayerBox FBox;
  size_t FWidth;
};

/// Reduces the columns FirstCol … FirstCol + Count − 1 (0-based in the stack).
void ReduceChunk(const TReductionPlan& Plan, TLayerReduction Kind, int32_t FirstCol, int32_t Count,
                 std::span<double> Result, std::span<double> Scratch) {
  const TLayerBox& Box = Plan.Box();
  const auto n = static_cast<size_t>(Count);
  const size_t Offset = static_cast<size_t>(FirstCol - Box.LowCol);
  auto Acc = [&](std::span<double> Buffer, int32_t Row) { return Buffer.data() + Plan.ResultRow(Row) + Offset; };
  const double Start = Kind == TLayerReduction::lrMaximum ? -uc_MaxReal
                       : Kind == TLayerReduction::lrMinimum ? uc_MaxReal
                                                              : 0.0;
  for (int32_t r = Box.LowRow; r <= Box.HighRow; ++r) {
    std::fill_n(Acc(Result, r), n, Start);
    if (Kind == TLayerReduction::lrStdDev) {
      std::fill_n(Acc(Scratch, r), n, 0.0);
    }
  }
  switch (Kind) {
    case TLayerReduction::lrMean:
      Plan.ForEachRow(FirstCol, [&](int32_t r, const double* x) {
        double* Sum = Acc(Result, r);
        for (size_t c = 0; c < n; ++c) {
          Sum[c] += x[c];
        }
      });
      break;
    case TLayerReduction::lrMaximum:
      Plan.ForEachRow(FirstCol, [&](int32_t r, const double* x) {
        double* Max = Acc(Result, r);
        for (size_t c = 0; c < n; ++c) {
          if (x[c] > Max[c]) {
            Max[c] = x[c];
          }
        }
      });
      break;
    case TLayerReduction::lrMinimum:
      Plan.ForEachRow(FirstCol, [&](int32_t r, const double* x) {
        double* Min = Acc(Result, r);
        for (size_t c = 0; c < n; ++c) {
          if (x[c] < Min[c]) {
            Min[c] = x[c];
          }
        }
      });
      break;
    case TLayerReduction::lrStdDev:
      // Sums of the deviations from the pixel's first value: the same
      // population variance as Σx²/N − (Σx/N)², without the cancellation
      // that formula suffers when the values are large against their spread.
      Plan.ForEachRow(FirstCol, [&](int32_t r, const double* x) {
        const double* Shift = Plan.RowOf(Box.LowTimeSlot, Box.LowLayer, r) + FirstCol;
        double* Sum = Acc(Result, r);
        double* SquaredSum = Acc(Scratch, r);
        for (size_t c = 0; c < n; ++c) {
          const double d = x[c] - Shift[c];
          Sum[c] += d;
          SquaredSum[c] += d * d;
        }
      });
      break;
  }
  if (Kind == TLayerReduction::lrMean || Kind == TLayerReduction::lrStdDev) {
    const double N = Plan.ValuesPerPixel();
    for (int32_t r = Box.LowRow; r <= Box.HighRow; ++r) {
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
  const int32_t Width = Box.HighCol - Box.LowCol + 1;
  const int32_t NrChunks = (Width - 1) / kReduceChunkColumns + 1;
  auto Kernel = [&](int32_t Chunk) {
    const int32_t FirstCol = Box.LowCol + Chunk * kReduceChunkColumns;
    const int32_t Count = std::min(kReduceChunkColumns, Box.HighCol - FirstCol + 1);
    ReduceChunk(Plan, Kind, FirstCol, Count, Result, Scratch);
  };
  const double StepPerChunk = 100.0 / NrChunks;
  auto Progress = [StepPerChunk](int32_t Chunks) {
    ProgressStep(StepPerChunk * Chunks);
    return false;  // a reduction is not aborted
  };
  RunColumnPool(NrChunks, NrWorkers, Kernel, Progress);
}

}  // namespace vexa::matrix_detail
