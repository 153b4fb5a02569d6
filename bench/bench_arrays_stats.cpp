// Speed of the array routines next to a reference computing the same result
// in the same run: the median by PercentileArray against a copy and
// std::nth_element, SortArray with its index against std::sort of
// (value, position) pairs, and the matrix product and inverse at n = 500
// against Eigen.

#include <benchmark/benchmark.h>

#include <Eigen/Dense>

#include <algorithm>
#include <cstdint>
#include <random>
#include <utility>
#include <vector>

#include "arrays/Vexa_openarrays.h"

namespace {

std::vector<double> RandomData(size_t Count, uint64_t Seed) {
  std::mt19937_64 rng(Seed);
  std::uniform_real_distribution<double> dist(-1000, 1000);
  std::vector<double> Data(Count);
  for (double& x : Data) {
    x = dist(rng);
  }
  return Data;
}

/// A well-conditioned random n × n array ([column][row]) with a strong diagonal.
vexa::TDouble2DArray RandomMatrix(size_t n, uint64_t Seed) {
  const auto Cells = RandomData(n * n, Seed);
  vexa::TDouble2DArray A(n, vexa::TDoubleArray(n));
  for (size_t c = 0; c < n; ++c) {
    for (size_t r = 0; r < n; ++r) {
      A[c][r] = Cells[c * n + r] / 1000.0 + (c == r ? double(n) : 0.0);
    }
  }
  return A;
}

Eigen::MatrixXd ToEigen(const vexa::TDouble2DArray& A) {
  const auto n = static_cast<Eigen::Index>(A.size());
  Eigen::MatrixXd M(n, n);
  for (Eigen::Index c = 0; c < n; ++c) {
    for (Eigen::Index r = 0; r < n; ++r) {
      M(r, c) = A[size_t(c)][size_t(r)];
    }
  }
  return M;
}

constexpr size_t kMedianSize = 10'000'000;
constexpr size_t kSortSize = 1'000'000;
constexpr size_t kOrder = 500;

void BM_PercentileArray_Median(benchmark::State& state) {
  const auto Data = RandomData(kMedianSize, 1);
  for (auto _ : state) {
    benchmark::DoNotOptimize(vexa::PercentileArray(50, Data));
  }
}

void BM_PercentileArray_Reference(benchmark::State& state) {
  const auto Data = RandomData(kMedianSize, 1);
  for (auto _ : state) {
    std::vector<double> Copy = Data;
    const size_t k = Copy.size() / 2;  // the same rank: round(50·n/100)
    std::nth_element(Copy.begin(), Copy.begin() + static_cast<ptrdiff_t>(k), Copy.end());
    benchmark::DoNotOptimize(Copy[k]);
  }
}

void BM_SortArray_WithIndex(benchmark::State& state) {
  const auto Data = RandomData(kSortSize, 2);
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<double> Copy = Data;
    vexa::TIntArray Index;
    state.ResumeTiming();
    benchmark::DoNotOptimize(vexa::SortArray(true, Copy, Index));
  }
}

void BM_SortArray_ReferencePairs(benchmark::State& state) {
  const auto Data = RandomData(kSortSize, 2);
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<double> Copy = Data;
    state.ResumeTiming();
    std::vector<std::pair<double, int32_t>> Pairs(Copy.size());
    for (size_t k = 0; k < Copy.size(); ++k) {
      Pairs[k] = {Copy[k], static_cast<int32_t>(k + 1)};
    }
    std::sort(Pairs.begin(), Pairs.end());
    benchmark::DoNotOptimize(Pairs.data());
  }
}

void BM_MultiplyArrays_500(benchmark::State& state) {
  const auto A = RandomMatrix(kOrder, 3), B = RandomMatrix(kOrder, 4);
  vexa::TDouble2DArray C;
  for (auto _ : state) {
    benchmark::DoNotOptimize(vexa::MultiplyArrays(A, B, C));
  }
}

void BM_MultiplyArrays_Eigen(benchmark::State& state) {
  const Eigen::MatrixXd A = ToEigen(RandomMatrix(kOrder, 3)), B = ToEigen(RandomMatrix(kOrder, 4));
  Eigen::MatrixXd C(A.rows(), B.cols());
  for (auto _ : state) {
    C.noalias() = A * B;
    benchmark::DoNotOptimize(C.data());
  }
}

void BM_InvertArray_500(benchmark::State& state) {
  const auto A = RandomMatrix(kOrder, 5);
  for (auto _ : state) {
    state.PauseTiming();
    vexa::TDouble2DArray Work = A;
    state.ResumeTiming();
    benchmark::DoNotOptimize(vexa::InvertArray(Work));
  }
}

void BM_InvertArray_Eigen(benchmark::State& state) {
  const Eigen::MatrixXd A = ToEigen(RandomMatrix(kOrder, 5));
  Eigen::MatrixXd Inverse(A.rows(), A.cols());
  for (auto _ : state) {
    Inverse = A.partialPivLu().inverse();
    benchmark::DoNotOptimize(Inverse.data());
  }
}

}  // namespace

BENCHMARK(BM_PercentileArray_Median)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PercentileArray_Reference)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortArray_WithIndex)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortArray_ReferencePairs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MultiplyArrays_500)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MultiplyArrays_Eigen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InvertArray_500)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InvertArray_Eigen)->Unit(benchmark::kMillisecond);
