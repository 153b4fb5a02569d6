// TMat4D: reductions over layers and time slots into a TMatrix (mean,
// maximum, minimum, population standard deviation per pixel), computed by
// worker threads into a buffer and written to the matrix by the calling
// thread.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <thread>
#include <vector>

#include "foundation/Vexa_storage.h"
#include "linalg/Vexa_mat4d.h"
#include "linalg/internal/Vexa_layerreduce.h"

namespace vexa {

namespace {

using matrix_detail::TLayerReduction;

/// The platform's processor count, at least 1.
int32_t ProcessorCount() {
  const unsigned Processors = std::thread::hardware_concurrency();
  return Processors > 1 ? static_cast<int32_t>(std::min(Processors, 1024u)) : 1;
}

/// The ranges of one reduction, 1-based as passed by the caller.
struct TReductionRanges {
  int32_t LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer, LowTimeSlot, HighTimeSlot;
};

/// Validates the ranges, computes every pixel into a buffer on
/// min(NThreads, processors) workers, then resizes and clears DestMat and
/// writes the pixels through its setter, column by column, on this thread.
void ReduceIntoMatrix(const TMat4D& Self, TMatrix* DestMat, TLayerReduction Kind, TReductionRanges R,
                      int32_t NThreads) {
  if (DestMat == nullptr) {
    return;
  }
  Self.MakeValidColRange(R.LowCol, R.HighCol);
  Self.MakeValidRowRange(R.LowRow, R.HighRow);
  Self.MakeValidLayerRange(R.LowLayer, R.HighLayer);
  Self.MakeValidTSlotRange(R.LowTimeSlot, R.HighTimeSlot);
  const int32_t Width = R.HighCol - R.LowCol + 1;
  const int32_t Height = R.HighRow - R.LowRow + 1;
  // Both buffers are had before DestMat is touched, so a failure leaves it as it was.
  std::vector<double> Pixels = NewFlatStorage<EVexaMatrixError, double>(Self, {Height, Width});
  std::vector<double> Scratch;
  if (Kind == TLayerReduction::lrStdDev) {
    Scratch = NewFlatStorage<EVexaMatrixError, double>(Self, {Height, Width});
  }
  DestMat->Resize(Width, Height);
  DestMat->Fill(0.0);

  const matrix_detail::TLayerStack Stack{Self.Data().data(), Self.NrOfColumns(), Self.NrOfRows(),
                                         Self.NrOfLayers(), Self.NrOfTimeSlots()};
  const matrix_detail::TLayerBox Box{R.LowCol - 1,   R.HighCol - 1,  R.LowRow - 1,      R.HighRow - 1,
                                     R.LowLayer - 1, R.HighLayer - 1, R.LowTimeSlot - 1, R.HighTimeSlot - 1};
  const int32_t Workers = std::clamp(NThreads, 1, ProcessorCount());
  matrix_detail::ReduceLayers(Stack, Box, Kind, Workers, Pixels, Scratch);

  const auto RowLength = static_cast<size_t>(Width);
  for (int32_t c = 0; c < Width; ++c) {
    for (int32_t r = 0; r < Height; ++r) {
      DestMat->SetElem(c + 1, r + 1, Pixels[static_cast<size_t>(r) * RowLength + static_cast<size_t>(c)]);
    }
  }
}

}  // namespace

void TMat4D::MeanOfLayersToMatrix(TMatrix* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                                  int32_t HighRow, int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot,
                                  int32_t HighTimeSlot) const {
  MeanOfLayersToMatrix(DestMat, LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer, LowTimeSlot, HighTimeSlot,
                       ProcessorCount());
}

void TMat4D::MeanOfLayersToMatrix(TMatrix* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                                  int32_t HighRow, int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot,
                                  int32_t HighTimeSlot, int32_t NThreads) const {
  ReduceIntoMatrix(*this, DestMat, TLayerReduction::lrMean,
                   {LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer, LowTimeSlot, HighTimeSlot}, NThreads);
}

void TMat4D::MaximumOfLayersToMatrix(TMatrix* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                                     int32_t HighRow, int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot,
                                     int32_t HighTimeSlot) const {
  MaximumOfLayersToMatrix(DestMat, LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer, LowTimeSlot,
                          HighTimeSlot, ProcessorCount());
}

void TMat4D::MaximumOfLayersToMatrix(TMatrix* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                                     int32_t HighRow, int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot,
                                     int32_t HighTimeSlot, int32_t NThreads) const {
  ReduceIntoMatrix(*this, DestMat, TLayerReduction::lrMaximum,
                   {LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer, LowTimeSlot, HighTimeSlot}, NThreads);
}

void TMat4D::MinimumOfLayersToMatrix(TMatrix* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                                     int32_t HighRow, int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot,
                                     int32_t HighTimeSlot) const {
  MinimumOfLayersToMatrix(DestMat, LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer, LowTimeSlot,
                          HighTimeSlot, ProcessorCount());
}

void TMat4D::MinimumOfLayersToMatrix(TMatrix* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                                     int32_t HighRow, int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot,
                                     int32_t HighTimeSlot, int32_t NThreads) const {
  ReduceIntoMatrix(*this, DestMat, TLayerReduction::lrMinimum,
                   {LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer, LowTimeSlot, HighTimeSlot}, NThreads);
}

void TMat4D::StdDevOfLayersToMatrix(TMatrix* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                                    int32_t HighRow, int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot,
                                    int32_t HighTimeSlot) const {
  StdDevOfLayersToMatrix(DestMat, LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer, LowTimeSlot, HighTimeSlot,
                         ProcessorCount());
}

void TMat4D::StdDevOfLayersToMatrix(TMatrix* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                                    int32_t HighRow, int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot,
                                    int32_t HighTimeSlot, int32_t NThreads) const {
  ReduceIntoMatrix(*this, DestMat, TLayerReduction::lrStdDev,
                   {LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer, LowTimeSlot, HighTimeSlot}, NThreads);
}

}  // namespace vexa
