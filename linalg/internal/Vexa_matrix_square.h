#pragma once
// Internal to the matrix unit (not installed): the worker pool behind
// TMatrix::Square and the layer reductions of TMat4D.
//
// RunColumnPool runs Kernel(c) once for every column c = 0 … NrColumns − 1.
// With one worker the columns run in order on the calling thread, with a
// ProgressStep() before each. With k > 1 workers, k = min(NrWorkers,
// NrColumns) threads take the next unprocessed column in increasing order
// as they finish; the calling thread waits (with a short timeout, never
// spinning), does one ProgressStep() per finished column and watches
// AbortMathProc. Workers touch no global state and fire no event: Kernel
// must only write cells that belong to its own column.
//
// The progress reporting can be replaced (TColumnProgress): the reductions
// report once per wake-up instead of once per column and never abort.
//
// On an abort no further column is handed out, every worker is joined, and
// the result says so; the columns 0 … ColumnsStarted − 1 are then complete.
// No worker outlives the call.

#include <cstdint>
#include <functional>

namespace vexa::matrix_detail {

/// What RunColumnPool did.
struct TColumnPoolResult {
  bool Completed = false;       ///< every column ran (false: aborted)
  int32_t ColumnsStarted = 0;   ///< columns 0 … ColumnsStarted − 1 were computed
  int32_t WorkersStarted = 0;   ///< threads started (0 when run on the calling thread)
};

/// Progress report of the pool, always called on the calling thread. With
/// one worker it is called before each column with Columns = 1; with k > 1
/// workers after every wake-up with the number of columns finished since the
/// previous call (0 when the wait timed out). True stops the pool (abort).
using TColumnProgress = std::function<bool(int32_t Columns)>;

/// Square's progress: one ProgressStep() per column; true once AbortMathProc is set.
bool StepPerColumn(int32_t Columns);

/// Runs Kernel for every column on min(NrWorkers, NrColumns) workers
/// (NrWorkers < 1 counts as 1), reporting through StepPerColumn; see the
/// top of this file.
TColumnPoolResult RunColumnPool(int32_t NrColumns, int32_t NrWorkers, const std::function<void(int32_t)>& Kernel);
/// The same with the progress reported through Progress.
TColumnPoolResult RunColumnPool(int32_t NrColumns, int32_t NrWorkers, const std::function<void(int32_t)>& Kernel,
                                const TColumnProgress& Progress);

/// The default number of workers: processors − 1, at least 1.
int32_t DefaultWorkerCount();

}  // namespace vexa::matrix_detail
