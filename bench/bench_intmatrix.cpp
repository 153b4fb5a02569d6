// Speed of filling a sparse TIntMatrix: one million cells written in
// column-major order (each write appends to the entry list), next to a plain
// std::vector push_back of the same entries as the reference, and the
// binary-search reads of those cells.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "linalg/Vexa_intmatrix.h"

namespace {

constexpr int32_t kCells = 1'000'000;
constexpr int32_t kRows = 1000;  // 1000 columns of 1000 rows
constexpr int32_t kAllocBy = 1000;

/// Cell i in column-major order.
int32_t ColumnOf(int32_t i) { return i / kRows + 1; }
int32_t RowOf(int32_t i) { return i % kRows + 1; }

void BM_SparseAppends(benchmark::State& state) {
  for (auto _ : state) {
    vexa::TIntMatrix m(nullptr, vexa::SparseForm, kAllocBy);
    for (int32_t i = 0; i < kCells; ++i) {
      m.SetElem(ColumnOf(i), RowOf(i), i + 1);
    }
    benchmark::DoNotOptimize(m.SparseNumElem());
  }
  state.SetItemsProcessed(state.iterations() * kCells);
}

void BM_ReferencePushBack(benchmark::State& state) {
  for (auto _ : state) {
    std::vector<vexa::TSpMatElemInt> Entries;
    for (int32_t i = 0; i < kCells; ++i) {
      Entries.push_back(vexa::TSpMatElemInt{ColumnOf(i), RowOf(i), i + 1});
    }
    benchmark::DoNotOptimize(Entries.data());
  }
  state.SetItemsProcessed(state.iterations() * kCells);
}

void BM_SparseReads(benchmark::State& state) {
  vexa::TIntMatrix m(nullptr, vexa::SparseForm, kAllocBy);
  for (int32_t i = 0; i < kCells; ++i) {
    m.SetElem(ColumnOf(i), RowOf(i), i + 1);
  }
  for (auto _ : state) {
    int64_t Sum = 0;
    for (int32_t i = 0; i < kCells; ++i) {
      Sum += m.Elem(ColumnOf(i), RowOf(i));
    }
    benchmark::DoNotOptimize(Sum);
  }
  state.SetItemsProcessed(state.iterations() * kCells);
}

}  // namespace

BENCHMARK(BM_SparseAppends)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReferencePushBack)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SparseReads)->Unit(benchmark::kMillisecond);
