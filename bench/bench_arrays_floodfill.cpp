// Speed of FloodFillArray on one region of 4096 x 4096 cells next to a
// reference in the same run: a breadth-first search with an explicit queue
// over the same nested array. The counter "ratio" is FloodFillArray's time
// per fill divided by the reference's.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <utility>
#include <vector>

#include "arrays/Vexa_openarrays.h"

namespace {

constexpr size_t kSide = 4096;

/// A square of zeros with a few walls of ones that leave the zeros connected,
/// so that the fill has to turn around them.
vexa::TInt2DArray Region() {
  vexa::TInt2DArray A(kSide, vexa::TIntArray(kSide, 0));
  for (size_t i = 512; i < kSide; i += 512) {
    for (size_t j = (i / 512) % 2 == 0 ? 0 : 64; j < kSide - ((i / 512) % 2 == 0 ? 64 : 0); ++j) {
      A[i][j] = 1;
    }
  }
  return A;
}

/// Four-connected breadth-first fill from (i0, j0); returns the cells filled.
int64_t ReferenceFill(vexa::TInt2DArray& A, int32_t i0, int32_t j0, int32_t NewValue) {
  const int32_t Old = A[size_t(i0)][size_t(j0)];
  const auto L1 = static_cast<int32_t>(A.size());
  const auto L2 = static_cast<int32_t>(A[0].size());
  std::vector<std::pair<int32_t, int32_t>> Queue{{i0, j0}};
  A[size_t(i0)][size_t(j0)] = NewValue;
  size_t Head = 0;
  while (Head < Queue.size()) {
    const auto [i, j] = Queue[Head++];
    const std::pair<int32_t, int32_t> Next[4] = {{i - 1, j}, {i + 1, j}, {i, j - 1}, {i, j + 1}};
    for (const auto& [ni, nj] : Next) {
      if (ni >= 0 && ni < L1 && nj >= 0 && nj < L2 && A[size_t(ni)][size_t(nj)] == Old) {
        A[size_t(ni)][size_t(nj)] = NewValue;
        Queue.push_back({ni, nj});
      }
    }
  }
  return static_cast<int64_t>(Queue.size());
}

double SecondsOf(auto&& Work) {
  const auto Start = std::chrono::steady_clock::now();
  Work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
}

void BM_FloodFillArray_4096(benchmark::State& state) {
  const vexa::TInt2DArray A = Region();
  double Seconds = 0;
  int64_t Fills = 0;
  for (auto _ : state) {
    state.PauseTiming();
    vexa::TInt2DArray Work = A;
    state.ResumeTiming();
    int32_t MaxJ, MinJ, MinI, MaxI;
    Seconds += SecondsOf([&] { benchmark::DoNotOptimize(vexa::FloodFillArray(0, 0, 7, true, Work, MaxJ, MinJ, MinI, MaxI)); });
    ++Fills;
  }
  // The reference on the same input, after the timed loop.
  double ReferenceSeconds = 0;
  for (int Run = 0; Run < 3; ++Run) {
    vexa::TInt2DArray Work = A;
    ReferenceSeconds += SecondsOf([&] { benchmark::DoNotOptimize(ReferenceFill(Work, 0, 0, 7)); });
  }
  state.counters["ratio"] = (Seconds / double(Fills)) / (ReferenceSeconds / 3.0);
}

void BM_FloodFill_ReferenceBFS_4096(benchmark::State& state) {
  const vexa::TInt2DArray A = Region();
  for (auto _ : state) {
    state.PauseTiming();
    vexa::TInt2DArray Work = A;
    state.ResumeTiming();
    benchmark::DoNotOptimize(ReferenceFill(Work, 0, 0, 7));
  }
}

}  // namespace

BENCHMARK(BM_FloodFillArray_4096)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FloodFill_ReferenceBFS_4096)->Unit(benchmark::kMillisecond);
