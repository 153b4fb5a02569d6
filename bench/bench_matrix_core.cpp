// Matrix core benchmarks: TMatrix::Multiply against Eigen's product
// (MatrixXd, noalias) for square matrices of n = 100 and 500.
//
// Run: build/<dir>/bench/bench_bench_matrix_core

#include <benchmark/benchmark.h>

#include <Eigen/Dense>

#include "linalg/Vexa_matrix.h"
#include "platform/Vexa_random.h"

namespace {

void FillBoth(vexa::TMatrix& m, Eigen::MatrixXd& e, int n) {
  m.Resize(n, n);
  m.FillRandomUniform(-1.0, 1.0);
  e.resize(n, n);
  for (int c = 1; c <= n; ++c) {
    for (int r = 1; r <= n; ++r) {
      e(r - 1, c - 1) = m.Elem(c, r);
    }
  }
}

void BM_MultiplyVexa(benchmark::State& State) {
  const int n = static_cast<int>(State.range(0));
  vexa::SetRandSeed(1);
  vexa::TMatrix a(nullptr), b(nullptr), res(nullptr);
  Eigen::MatrixXd ea, eb;
  FillBoth(a, ea, n);
  FillBoth(b, eb, n);
  for (auto _ : State) {
    a.Multiply(&b, &res);
    benchmark::DoNotOptimize(res.Elem(1, 1));
  }
  State.SetItemsProcessed(State.iterations() * static_cast<int64_t>(n) * n * n);
}

void BM_MultiplyEigen(benchmark::State& State) {
  const int n = static_cast<int>(State.range(0));
  vexa::SetRandSeed(1);
  vexa::TMatrix a(nullptr), b(nullptr);
  Eigen::MatrixXd ea, eb, eres(n, n);
  FillBoth(a, ea, n);
  FillBoth(b, eb, n);
  for (auto _ : State) {
    eres.noalias() = ea * eb;
    benchmark::DoNotOptimize(eres.data());
  }
  State.SetItemsProcessed(State.iterations() * static_cast<int64_t>(n) * n * n);
}

}  // namespace

BENCHMARK(BM_MultiplyVexa)->Arg(100)->Arg(500)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MultiplyEigen)->Arg(100)->Arg(500)->Unit(benchmark::kMillisecond);
