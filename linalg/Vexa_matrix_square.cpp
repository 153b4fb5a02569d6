// TMatrix::Square (the cross-product matrix SelfᵀSelf / Norm) and the column
// worker pool behind it.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "foundation/Vexa_progress.h"
#include "linalg/Vexa_matrix.h"
#include "linalg/internal/Vexa_matrix_square.h"

namespace vexa {

namespace matrix_detail {

namespace {

/// How long the calling thread sleeps at most before it looks at the abort
/// flag again while no column finishes.
constexpr std::chrono::milliseconds kPollInterval{10};

TColumnPoolResult RunOnCallingThread(int32_t NrColumns, const std::function<void(int32_t)>& Kernel,
                                     const TColumnProgress& Progress) {
  TColumnPoolResult Result;
  for (int32_t c = 0; c < NrColumns; ++c) {
    if (Progress(1)) {
      return Result;
    }
    Kernel(c);
    Result.ColumnsStarted = c + 1;
  }
  Result.Completed = true;
  return Result;
}

/// State shared between the calling thread and the workers.
class TColumnQueue {
public:
  TColumnQueue(int32_t NrColumns, const std::function<void(int32_t)>& Kernel)
      : FNrColumns(NrColumns), FKernel(Kernel) {}

  /// Body of one worker: takes columns until none is left or Stop was called.
  void Work() {
    while (!FStop.load()) {
      const int32_t c = FNext.fetch_add(1);
      if (c >= FNrColumns) {
        return;
      }
      FKernel(c);
      {
        std::lock_guard Lock(FMutex);
        ++FFinished;
      }
      FFinishedChanged.notify_one();
    }
  }

  /// Waits until more than AlreadyReported columns have finished or the poll
  /// interval has passed; returns the number finished.
  int32_t WaitForMoreThan(int32_t AlreadyReported) {
    std::unique_lock Lock(FMutex);
    FFinishedChanged.wait_for(Lock, kPollInterval, [&] { return FFinished > AlreadyReported; });
    return FFinished;
  }

  void Stop() { FStop.store(true); }
  /// Columns handed out (each of them is complete once the workers are joined).
  int32_t ColumnsStarted() const { return std::min(FNext.load(), FNrColumns); }

private:
  const int32_t FNrColumns;
  const std::function<void(int32_t)>& FKernel;
  std::atomic<int32_t> FNext{0};
  std::atomic<bool> FStop{false};
  std::mutex FMutex;
  std::condition_variable FFinishedChanged;
  int32_t FFinished = 0;
};

/// Reports finished columns after every wake-up until all are done or
/// Progress asks to stop; true when all are done.
bool ReportProgress(TColumnQueue& Queue, int32_t NrColumns, const TColumnProgress& Progress) {
  int32_t Reported = 0;
  while (Reported < NrColumns) {
    const int32_t Finished = Queue.WaitForMoreThan(Reported);
    const int32_t NewlyFinished = Finished - Reported;
    Reported = Finished;
    if (Progress(NewlyFinished)) {
      return false;
    }
  }
  return true;
}

}  // namespace

bool StepPerColumn(int32_t Columns) {
  for (int32_t c = 0; c < Columns; ++c) {
    if (ProgressStep()) {
      return true;
    }
  }
  return AbortMathProc.load();
}

TColumnPoolResult RunColumnPool(int32_t NrColumns, int32_t NrWorkers, const std::function<void(int32_t)>& Kernel) {
  return RunColumnPool(NrColumns, NrWorkers, Kernel, StepPerColumn);
}

TColumnPoolResult RunColumnPool(int32_t NrColumns, int32_t NrWorkers, const std::function<void(int32_t)>& Kernel,
                                const TColumnProgress& Progress) {
  const int32_t k = std::min(std::max(NrWorkers, 1), NrColumns);
  if (k <= 1) {
    return RunOnCallingThread(NrColumns, Kernel, Progress);
  }
  TColumnQueue Queue(NrColumns, Kernel);
  std::vector<std::thread> Workers;
  Workers.reserve(static_cast<size_t>(k));
  try {
    for (int32_t w = 0; w < k; ++w) {
      Workers.emplace_back([&Queue] { Queue.Work(); });
    }
  } catch (const std::system_error&) {
    // Fewer threads than asked for: the ones that started do all the work
    // (and if none started, this thread does it below).
  }
  TColumnPoolResult Result;
  Result.WorkersStarted = static_cast<int32_t>(Workers.size());
  if (Workers.empty()) {
    return RunOnCallingThread(NrColumns, Kernel, Progress);
  }
  Result.Completed = ReportProgress(Queue, NrColumns, Progress);
  if (!Result.Completed) {
    Queue.Stop();
  }
  for (std::thread& Worker : Workers) {
    Worker.join();
  }
  Result.ColumnsStarted = Queue.ColumnsStarted();
  return Result;
}

int32_t DefaultWorkerCount() {
  const unsigned Processors = std::thread::hardware_concurrency();
  return Processors > 1 ? static_cast<int32_t>(std::min(Processors - 1, 1024u)) : 1;
}

}  // namespace matrix_detail

namespace {

/// Σ a[r]·b[r] in a fixed order: four interleaved partial sums combined as
/// (s0 + s1) + (s2 + s3), then the tail. The order does not depend on the
/// thread that runs it, so every thread count gives the same bits.
double ColumnDot(const double* a, const double* b, size_t n) noexcept {
  double s0 = 0.0, s1 = 0.0, s2 = 0.0, s3 = 0.0;
  size_t r = 0;
  for (; r + 4 <= n; r += 4) {
    s0 += a[r] * b[r];
    s1 += a[r + 1] * b[r + 1];
    s2 += a[r + 2] * b[r + 2];
    s3 += a[r + 3] * b[r + 3];
  }
  double Sum = (s0 + s1) + (s2 + s3);
  for (; r < n; ++r) {
    Sum += a[r] * b[r];
  }
  return Sum;
}

}  // namespace

bool TMatrix::Square(TMatrix* MatRes, double Norm) const {
  return Square(MatRes, Norm, matrix_detail::DefaultWorkerCount());
}

bool TMatrix::Square(TMatrix* MatRes, double Norm, int32_t NThreads) const {
  if (MatRes == nullptr || Norm == 0.0) {
    return false;
  }
  const int32_t n = FNCol;
  const size_t Rows = static_cast<size_t>(FNRow);
  const size_t Order = static_cast<size_t>(n);
  std::vector<double> Result = NewBuffer(n, n);
  const double* Cells = FData.data();
  // Column c writes the cells (c, i) and (i, c) for i ≥ c: no two columns
  // share a cell, so the workers need no lock.
  auto Kernel = [&](int32_t c) {
    const size_t cc = static_cast<size_t>(c);
    for (size_t i = cc; i < Order; ++i) {
      const double Value = ColumnDot(Cells + cc * Rows, Cells + i * Rows, Rows) / Norm;
      Result[cc * Order + i] = Value;
      Result[i * Order + cc] = Value;
    }
  };
  const auto Run = matrix_detail::RunColumnPool(n, NThreads, Kernel);
  if (!Run.Completed && MatRes == this) {
    return false;  // an aborted result would overwrite the input
  }
  MatRes->Resize(n, n);
  MatRes->FData.swap(Result);
  MatRes->Changed();
  return Run.Completed;
}

}  // namespace vexa
