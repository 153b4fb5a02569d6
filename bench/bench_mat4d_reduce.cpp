// Speed of the four layer reductions of TMat4D on 256 × 256 pixels × 32
// layers × 4 time slots (64 MiB of doubles) with 1 and 2 threads, next to a
// plain single-threaded loop that walks the cells once in storage order and
// keeps one accumulator per pixel. Wall-clock times (threads); the counter
// "bytes_per_second" is the size of the stack over the time of one reduction.
//
// Arguments: the reduction (0 mean, 1 maximum, 2 minimum, 3 standard
// deviation) and, for TMat4D, the number of threads.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fundora/Vexa_univconst.h"
#include "linalg/Vexa_mat4d.h"
#include "linalg/Vexa_matrix.h"

namespace {

constexpr int32_t kSide = 256, kLayers = 32, kSlots = 4;
constexpr size_t kPixels = size_t{kSide} * kSide;

/// The stack, filled once with fixed pseudo-random values.
const vexa::TMat4D& Stack() {
  static vexa::TMat4D* Matrix = [] {
    auto* m = new vexa::TMat4D(nullptr);
    m->Resize(kSide, kSide, kLayers, kSlots);
    uint64_t State = 2026;
    for (double& x : m->Data()) {
      State = State * 6364136223846793005ull + 1442695040888963407ull;
      x = 100.0 + static_cast<double>(State >> 11) / 9007199254740992.0;
    }
    return m;
  }();
  return *Matrix;
}

void SetBytes(benchmark::State& State) {
  State.SetBytesProcessed(static_cast<int64_t>(State.iterations()) * static_cast<int64_t>(Stack().Data().size()) *
                          static_cast<int64_t>(sizeof(double)));
}

void BM_LayerReduction_TMat4D(benchmark::State& State) {
  const vexa::TMat4D& m = Stack();
  const auto Threads = static_cast<int32_t>(State.range(1));
  vexa::TMatrix Dest(nullptr);
  for (auto _ : State) {
    switch (State.range(0)) {
      case 0: m.MeanOfLayersToMatrix(&Dest, 0, 0, 0, 0, 0, 0, 0, 0, Threads); break;
      case 1: m.MaximumOfLayersToMatrix(&Dest, 0, 0, 0, 0, 0, 0, 0, 0, Threads); break;
      case 2: m.MinimumOfLayersToMatrix(&Dest, 0, 0, 0, 0, 0, 0, 0, 0, Threads); break;
      default: m.StdDevOfLayersToMatrix(&Dest, 0, 0, 0, 0, 0, 0, 0, 0, Threads); break;
    }
    benchmark::ClobberMemory();
  }
  SetBytes(State);
}
BENCHMARK(BM_LayerReduction_TMat4D)
    ->ArgsProduct({{0, 1, 2, 3}, {1, 2}})
    ->ArgNames({"kind", "threads"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

/// Calls Visit(x, p) for every cell in storage order: x the plane, p the pixel.
template <class TVisit>
void ForEachCell(const double* Cells, TVisit&& Visit) {
  for (size_t Plane = 0; Plane < size_t{kLayers} * kSlots; ++Plane) {
    const double* x = Cells + Plane * kPixels;
    for (size_t p = 0; p < kPixels; ++p) {
      Visit(x, p);
    }
  }
}

/// The plain loop: the cells once in storage order, one accumulator (two
/// for the deviation) per pixel, each pixel's values in the same order.
std::vector<double> PlainReduction(const vexa::TMat4D& m, int64_t Kind) {
  const double* Cells = m.Data().data();
  const double N = double{kLayers} * kSlots;
  std::vector<double> Acc(kPixels, Kind == 1 ? -vexa::uc_MaxReal : Kind == 2 ? vexa::uc_MaxReal : 0.0);
  if (Kind == 0) {
    ForEachCell(Cells, [&](const double* x, size_t p) { Acc[p] += x[p]; });
    for (double& a : Acc) {
      a /= N;
    }
  } else if (Kind == 1) {
    ForEachCell(Cells, [&](const double* x, size_t p) { Acc[p] = x[p] > Acc[p] ? x[p] : Acc[p]; });
  } else if (Kind == 2) {
    ForEachCell(Cells, [&](const double* x, size_t p) { Acc[p] = x[p] < Acc[p] ? x[p] : Acc[p]; });
  } else {
    std::vector<double> Squares(kPixels, 0.0);
    ForEachCell(Cells, [&](const double* x, size_t p) {
      const double d = x[p] - Cells[p];  // deviation from the pixel's first value
      Acc[p] += d;
      Squares[p] += d * d;
    });
    for (size_t p = 0; p < kPixels; ++p) {
      const double Mean = Acc[p] / N;
      Acc[p] = std::sqrt(std::fmax(0.0, Squares[p] / N - Mean * Mean));
    }
  }
  return Acc;
}

void BM_LayerReduction_PlainLoop(benchmark::State& State) {
  const vexa::TMat4D& m = Stack();
  for (auto _ : State) {
    benchmark::DoNotOptimize(PlainReduction(m, State.range(0)));
  }
  SetBytes(State);
}
BENCHMARK(BM_LayerReduction_PlainLoop)
    ->ArgsProduct({{0, 1, 2, 3}})
    ->ArgNames({"kind"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
