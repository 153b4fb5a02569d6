// Speed of the vector's sort and statistics on one million random doubles,
// each next to a plain standard-library reference computing the same result.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "linalg/Vexa_vector.h"

namespace {

constexpr int32_t kSize = 1'000'000;

std::vector<double> RandomData() {
  std::mt19937_64 rng(42);
  std::uniform_real_distribution<double> dist(-1000, 1000);
  std::vector<double> Data(kSize);
  for (double& x : Data) {
    x = dist(rng);
  }
  return Data;
}

/// A vector holding the random data.
void Load(vexa::TVector& v, const std::vector<double>& Data) {
  v.CopyFrom(Data, 0, 0, 1);
}

/// The interpolating percentile by two selections on a copy.
double ReferencePercentile(std::vector<double> Copy, double prob) {
  const double Pos = (Copy.size() - 1) * prob / 100;
  const auto k = static_cast<size_t>(Pos);
  std::nth_element(Copy.begin(), Copy.begin() + k, Copy.end());
  const double Lower = Copy[k];
  const double Upper = *std::min_element(Copy.begin() + k + 1, Copy.end());
  return Lower + (Upper - Lower) * (Pos - k);
}

/// The three quartiles by the (n + 1)·q rule, by selection on one copy.
double ReferenceQuartiles(std::vector<double> Copy) {
  const size_t n = Copy.size();
  double Sum = 0;
  for (const double q : {0.25, 0.5, 0.75}) {
    const double Pos = (n + 1) * q;
    const auto k = static_cast<size_t>(Pos);
    std::nth_element(Copy.begin(), Copy.begin() + (k - 1), Copy.end());
    const double Lower = Copy[k - 1];
    const double Upper = *std::min_element(Copy.begin() + k, Copy.end());
    Sum += Lower + (Upper - Lower) * (Pos - k);
  }
  return Sum;
}

void BM_SortElems(benchmark::State& state) {
  const std::vector<double> Data = RandomData();
  vexa::TVector v(nullptr);
  v.Resize(kSize);
  for (auto _ : state) {
    state.PauseTiming();
    Load(v, Data);
    state.ResumeTiming();
    v.SortElems(true, 0, 0);
  }
}

void BM_StdSort(benchmark::State& state) {
  const std::vector<double> Data = RandomData();
  std::vector<double> Work;
  for (auto _ : state) {
    state.PauseTiming();
    Work = Data;
    state.ResumeTiming();
    std::sort(Work.begin(), Work.end());
    benchmark::DoNotOptimize(Work.data());
  }
}

void BM_Percentile(benchmark::State& state) {
  vexa::TVector v(nullptr);
  v.Resize(kSize);
  Load(v, RandomData());
  for (auto _ : state) {
    benchmark::DoNotOptimize(v.Percentile(37.5, 0, 0));
  }
}

void BM_PercentileReference(benchmark::State& state) {
  const std::vector<double> Data = RandomData();
  for (auto _ : state) {
    benchmark::DoNotOptimize(ReferencePercentile(Data, 37.5));
  }
}

void BM_Quartiles(benchmark::State& state) {
  vexa::TVector v(nullptr);
  v.Resize(kSize);
  Load(v, RandomData());
  double q1 = 0, q2 = 0, q3 = 0;
  for (auto _ : state) {
    v.Quartiles(0, 0, q1, q2, q3);
    benchmark::DoNotOptimize(q1 + q2 + q3);
  }
}

void BM_QuartilesReference(benchmark::State& state) {
  const std::vector<double> Data = RandomData();
  for (auto _ : state) {
    benchmark::DoNotOptimize(ReferenceQuartiles(Data));
  }
}

void BM_MeanVar(benchmark::State& state) {
  vexa::TVector v(nullptr);
  v.Resize(kSize);
  Load(v, RandomData());
  double Mean = 0, Variance = 0;
  for (auto _ : state) {
    v.MeanVar(0, 0, Mean, Variance);
    benchmark::DoNotOptimize(Mean + Variance);
  }
}

void BM_MeanVarReference(benchmark::State& state) {
  const std::vector<double> Data = RandomData();
  for (auto _ : state) {
    double Sum = 0, SumSquares = 0;
    for (const double x : Data) {
      Sum += x;
      SumSquares += x * x;
    }
    const double n = static_cast<double>(Data.size());
    benchmark::DoNotOptimize((SumSquares - Sum * Sum / n) / (n - 1));
  }
}

BENCHMARK(BM_SortElems)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdSort)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Percentile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PercentileReference)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Quartiles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QuartilesReference)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MeanVar)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MeanVarReference)->Unit(benchmark::kMillisecond);

}  // namespace
