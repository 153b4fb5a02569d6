// Speed of the selection, sorting and fraction routines of Vexa_math1 and of
// the complex division, each next to the standard library's counterpart.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <complex>
#include <cstdint>
#include <numeric>
#include <random>
#include <vector>

#include "foundation/Vexa_complex.h"
#include "foundation/Vexa_math1.h"

namespace {

/// Data shapes of the selection benchmarks.
enum TShape { shDistinct, shHalfEqual, shAllEqual };

std::vector<double> MakeData(size_t n, TShape Shape) {
  std::mt19937_64 rng(42);
  std::uniform_real_distribution<double> dist(0, 1);
  std::vector<double> v(n);
  for (size_t i = 0; i < n; ++i) {
    const bool equal = Shape == shAllEqual || (Shape == shHalfEqual && i % 2 == 0);
    v[i] = equal ? 0.5 : dist(rng);
  }
  return v;
}

constexpr size_t kSelectSize = 10'000'000;
constexpr size_t kSortSize = 1'000'000;

void BM_QuickSelect(benchmark::State& state) {
  const auto shape = static_cast<TShape>(state.range(0));
  const std::vector<double> data = MakeData(kSelectSize, shape);
  std::vector<double> work;
  const int32_t k = static_cast<int32_t>(kSelectSize / 3);
  for (auto _ : state) {
    state.PauseTiming();
    work = data;
    state.ResumeTiming();
    benchmark::DoNotOptimize(vexa::QuickSelect(work, k, 0, static_cast<int32_t>(kSelectSize - 1)));
  }
}

void BM_NthElement(benchmark::State& state) {
  const auto shape = static_cast<TShape>(state.range(0));
  const std::vector<double> data = MakeData(kSelectSize, shape);
  std::vector<double> work;
  const size_t k = kSelectSize / 3;
  for (auto _ : state) {
    state.PauseTiming();
    work = data;
    state.ResumeTiming();
    std::nth_element(work.begin(), work.begin() + static_cast<std::ptrdiff_t>(k), work.end());
    benchmark::DoNotOptimize(work[k]);
  }
}

void BM_SortArray(benchmark::State& state) {
  const std::vector<double> data = MakeData(kSortSize, shDistinct);
  std::vector<double> work;
  for (auto _ : state) {
    state.PauseTiming();
    work = data;
    state.ResumeTiming();
    vexa::SortArray(work, true);
    benchmark::DoNotOptimize(work.data());
  }
}

void BM_StdSort(benchmark::State& state) {
  const std::vector<double> data = MakeData(kSortSize, shDistinct);
  std::vector<double> work;
  for (auto _ : state) {
    state.PauseTiming();
    work = data;
    state.ResumeTiming();
    std::sort(work.begin(), work.end());
    benchmark::DoNotOptimize(work.data());
  }
}

/// Large co-prime pairs (consecutive Fibonacci numbers: the most Euclid steps).
const int32_t kFibA = 1134903170;
const int32_t kFibB = 701408733;

void BM_CancelFraction(benchmark::State& state) {
  for (auto _ : state) {
    int32_t n = kFibA;
    int32_t d = kFibB;
    benchmark::DoNotOptimize(n);
    benchmark::DoNotOptimize(d);
    vexa::CancelFraction(n, d);
    benchmark::DoNotOptimize(n);
  }
}

void BM_StdGcdReduction(benchmark::State& state) {
  for (auto _ : state) {
    int32_t n = kFibA;
    int32_t d = kFibB;
    benchmark::DoNotOptimize(n);
    benchmark::DoNotOptimize(d);
    const int32_t g = std::gcd(n, d);
    n /= g;
    d /= g;
    benchmark::DoNotOptimize(n);
    benchmark::DoNotOptimize(d);
  }
}

void BM_CpxDiv(benchmark::State& state) {
  vexa::TComplex a = vexa::Cpx(1.5, -2.25);
  const vexa::TComplex b = vexa::Cpx(0.75, 3.125);
  for (auto _ : state) {
    benchmark::DoNotOptimize(a);
    benchmark::DoNotOptimize(vexa::CpxDiv(a, b));
  }
}

void BM_StdComplexDiv(benchmark::State& state) {
  std::complex<double> a(1.5, -2.25);
  const std::complex<double> b(0.75, 3.125);
  for (auto _ : state) {
    benchmark::DoNotOptimize(a);
    benchmark::DoNotOptimize(a / b);
  }
}

}  // namespace

BENCHMARK(BM_QuickSelect)->Arg(shDistinct)->Arg(shHalfEqual)->Arg(shAllEqual)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NthElement)->Arg(shDistinct)->Arg(shHalfEqual)->Arg(shAllEqual)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortArray)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdSort)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CancelFraction);
BENCHMARK(BM_StdGcdReduction);
BENCHMARK(BM_CpxDiv);
BENCHMARK(BM_StdComplexDiv);
