// TMatrix linear algebra next to Eigen and OpenBLAS:
//  - Invert at n = 100 and 500 against Eigen's partial-pivoting LU inverse;
//  - Square (XᵀX) of 100000 rows × 50 columns with 1 and 2 threads against
//    OpenBLAS dsyrk with as many threads;
//  - CalcDistMat (Euclidean, 2000 objects × 20 features) against the same
//    pair loop over an Eigen row-major matrix.

#include <benchmark/benchmark.h>
#include <cblas.h>

#include <Eigen/Dense>
#include <cstdint>
#include <vector>

#include "linalg/Vexa_matrix.h"

namespace {

/// Fixed pseudo-random values in [−0.5, 0.5).
class TValues {
public:
  double Next() {
    FState = FState * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<double>(FState >> 11) / 9007199254740992.0 - 0.5;
  }

private:
  uint64_t FState = 2024;
};

/// A TMatrix and an Eigen matrix (column-major, Rows × Cols) with the same
/// cells; the diagonal is raised so that square ones are well conditioned.
void MakeMatrices(int32_t Cols, int32_t Rows, vexa::TMatrix& M, Eigen::MatrixXd& E) {
  TValues Values;
  M.Resize(Cols, Rows);
  E.resize(Rows, Cols);
  for (int32_t c = 1; c <= Cols; ++c) {
    for (int32_t r = 1; r <= Rows; ++r) {
      const double x = Values.Next() + (c == r ? Cols : 0);
      M.SetElem(c, r, x);
      E(r - 1, c - 1) = x;
    }
  }
}

void BM_Invert_Vexa(benchmark::State& State) {
  const auto n = static_cast<int32_t>(State.range(0));
  vexa::TMatrix Source(nullptr), M(nullptr);
  Eigen::MatrixXd Unused;
  MakeMatrices(n, n, Source, Unused);
  for (auto _ : State) {
    State.PauseTiming();
    M.Assign(Source);
    State.ResumeTiming();
    benchmark::DoNotOptimize(M.Invert());
  }
}
BENCHMARK(BM_Invert_Vexa)->Arg(100)->Arg(500)->Unit(benchmark::kMillisecond);

void BM_Invert_Eigen(benchmark::State& State) {
  const auto n = static_cast<int32_t>(State.range(0));
  vexa::TMatrix Unused(nullptr);
  Eigen::MatrixXd E, Inverse;
  MakeMatrices(n, n, Unused, E);
  for (auto _ : State) {
    Inverse = E.partialPivLu().inverse();
    benchmark::DoNotOptimize(Inverse.data());
  }
}
BENCHMARK(BM_Invert_Eigen)->Arg(100)->Arg(500)->Unit(benchmark::kMillisecond);

constexpr int32_t kSquareRows = 100000;
constexpr int32_t kSquareCols = 50;

void BM_Square_Vexa(benchmark::State& State) {
  const auto Threads = static_cast<int32_t>(State.range(0));
  vexa::TMatrix M(nullptr), Result(nullptr);
  Eigen::MatrixXd Unused;
  MakeMatrices(kSquareCols, kSquareRows, M, Unused);
  for (auto _ : State) {
    benchmark::DoNotOptimize(M.Square(&Result, 1.0, Threads));
  }
}
BENCHMARK(BM_Square_Vexa)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Square_OpenBLAS_dsyrk(benchmark::State& State) {
  openblas_set_num_threads(static_cast<int>(State.range(0)));
  vexa::TMatrix Unused(nullptr);
  Eigen::MatrixXd E;
  MakeMatrices(kSquareCols, kSquareRows, Unused, E);
  std::vector<double> C(static_cast<size_t>(kSquareCols) * kSquareCols);
  for (auto _ : State) {
    // C := Aᵀ·A (upper triangle), A column-major with kSquareRows rows.
    cblas_dsyrk(CblasColMajor, CblasUpper, CblasTrans, kSquareCols, kSquareRows, 1.0, E.data(), kSquareRows,
                0.0, C.data(), kSquareCols);
    benchmark::DoNotOptimize(C.data());
  }
}
BENCHMARK(BM_Square_OpenBLAS_dsyrk)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

constexpr int32_t kObjects = 2000;
constexpr int32_t kFeatures = 20;

void BM_CalcDistMat_Vexa(benchmark::State& State) {
  vexa::TMatrix M(nullptr), D(nullptr);
  Eigen::MatrixXd Unused;
  MakeMatrices(kFeatures, kObjects, M, Unused);
  D.Resize(kObjects, kObjects);
  for (auto _ : State) {
    benchmark::DoNotOptimize(M.CalcDistMat(vexa::dmEuclidean, &D));
  }
}
BENCHMARK(BM_CalcDistMat_Vexa)->Unit(benchmark::kMillisecond);

void BM_CalcDistMat_Eigen(benchmark::State& State) {
  vexa::TMatrix Unused(nullptr);
  Eigen::MatrixXd E;
  MakeMatrices(kFeatures, kObjects, Unused, E);
  const Eigen::Matrix<double, Eigen::Dynamic, Eigen::Dynamic, Eigen::RowMajor> X = E;
  Eigen::MatrixXd D(kObjects, kObjects);
  for (auto _ : State) {
    for (Eigen::Index i = 0; i < kObjects; ++i) {
      D(i, i) = 0.0;
      for (Eigen::Index j = i + 1; j < kObjects; ++j) {
        const double Distance = (X.row(i) - X.row(j)).norm();
        D(i, j) = Distance;
        D(j, i) = Distance;
      }
    }
    benchmark::DoNotOptimize(D.data());
  }
}
BENCHMARK(BM_CalcDistMat_Eigen)->Unit(benchmark::kMillisecond);

}  // namespace
