#pragma once
// Internal to the matrix unit (not installed): the engine of the layer
// reductions of TMat4D (mean, maximum, minimum and population standard
// deviation over a box of layers and time slots, one value per pixel).
//
// It works on a raw [time slot][layer][row][column] buffer, column fastest,
// and hands the box out to the worker pool of TMatrix::Square
// (Vexa_matrix_square.h) in bands of a few adjacent rows over all columns of
// the box: the rows are contiguous in the buffer, so each worker reads long
// runs of memory (single columns would give runs of one cell at a stride of
// a whole row). Each pixel is reduced by one worker in a fixed order (time
// slot outer, layer inner), so every worker count gives bitwise the same
// result. Workers write only their own pixels of the result buffer and
// touch no global state.
//
// Progress: the calling thread adds 100 · (finished bands / bands) to
// ProcStat through ProgressStep() and so calls MathFeedBackProc once per
// wake-up of the pool (once per band with one worker). AbortMathProc is not
// consulted: a reduction always runs to the end.

#include <cstdint>
#include <span>

namespace vexa::matrix_detail {

/// The four reductions.
enum class TLayerReduction : uint8_t {
  lrMean,     ///< Σx / N
  lrMaximum,  ///< largest value, starting from −uc_MaxReal (NaN never wins)
  lrMinimum,  ///< smallest value, starting from +uc_MaxReal (NaN never wins)
  lrStdDev,   ///< √max(0, Σd²/N − (Σd/N)²), d = x − the pixel's first value
};

/// A read-only [time slot][layer][row][column] buffer and its dimensions
/// (all ≥ 1; Data holds their product).
struct TLayerStack {
  const double* Data = nullptr;
  int32_t NrColumns = 0;
  int32_t NrRows = 0;
  int32_t NrLayers = 0;
  int32_t NrTimeSlots = 0;
};

/// The box to reduce, 0-based inclusive bounds inside the stack.
struct TLayerBox {
  int32_t LowCol = 0, HighCol = 0;
  int32_t LowRow = 0, HighRow = 0;
  int32_t LowLayer = 0, HighLayer = 0;
  int32_t LowTimeSlot = 0, HighTimeSlot = 0;
};

/// Rows handed out to a worker at a time.
inline constexpr int32_t kReduceBandRows = 16;

/// Reduces every pixel (c, r) of Box over its layers and time slots into
/// Result[(r − LowRow)·width + (c − LowCol)] (row by row, width = HighCol −
/// LowCol + 1). Result must hold width·height values; for lrStdDev Scratch
/// must be as large (it holds Σd²), otherwise it may be empty. Runs on
/// min(NrWorkers, bands) workers (NrWorkers < 1 counts as 1).
void ReduceLayers(const TLayerStack& Stack, const TLayerBox& Box, TLayerReduction Kind, int32_t NrWorkers,
                  std::span<double> Result, std::span<double> Scratch);

}  // namespace vexa::matrix_detail
