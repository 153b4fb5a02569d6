// Block files of the matrices: SaveBinary, LoadBinary and ReadBinary (with a
// handler that does nothing) in bytes per second, against one sequential
// write or read of the same number of bytes with the C library. The ratio of
// the two shows what the record streaming and the value conversion cost.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "linalg/Vexa_mat4d.h"
#include "linalg/Vexa_matrix.h"

namespace {

// 256 × 256 × 8 layers × 2 slots: 1 Mi values, 8 MiB of data.
constexpr int32_t kCols = 256, kRows = 256, kLayers = 8, kSlots = 2;
constexpr int64_t kBytes = int64_t{kCols} * kRows * kLayers * kSlots * 8;

std::string TempFile(const char* Name) { return (std::filesystem::temp_directory_path() / Name).string(); }

vexa::TMat4D& Stack() {
  static vexa::TMat4D m(nullptr);
  if (m.NrOfColumns() != kCols) {
    m.Resize(kCols, kRows, kLayers, kSlots);
    m.FillRandomUniform(-1.0, 1.0);
  }
  return m;
}

void BM_Mat4DSaveBinary(benchmark::State& State) {
  const std::string File = TempFile("vexa_bench_save.bin");
  for (auto _ : State) {
    benchmark::DoNotOptimize(Stack().SaveBinary(File, 0, 0));
  }
  State.SetBytesProcessed(State.iterations() * kBytes);
  std::filesystem::remove(File);
}
BENCHMARK(BM_Mat4DSaveBinary)->Unit(benchmark::kMillisecond);

void BM_Mat4DLoadBinary(benchmark::State& State) {
  const std::string File = TempFile("vexa_bench_load.bin");
  Stack().SaveBinary(File, 0, 0);
  vexa::TMat4D m(nullptr);
  for (auto _ : State) {
    benchmark::DoNotOptimize(m.LoadBinary(File, 0, 0));
  }
  State.SetBytesProcessed(State.iterations() * kBytes);
  std::filesystem::remove(File);
}
BENCHMARK(BM_Mat4DLoadBinary)->Unit(benchmark::kMillisecond);

void BM_Mat4DReadBinaryNoOpHandler(benchmark::State& State) {
  const std::string File = TempFile("vexa_bench_read.bin");
  Stack().SaveBinary(File, 0, 0);
  vexa::TMat4D m(nullptr);
  double Sink = 0;
  m.OnReadElement = [&Sink](vexa::TObject*, int32_t, int32_t, int32_t, int32_t, double v) {
    benchmark::DoNotOptimize(Sink = v);
  };
  for (auto _ : State) {
    benchmark::DoNotOptimize(m.ReadBinary(File, 0, 0));
  }
  State.SetBytesProcessed(State.iterations() * kBytes);
  std::filesystem::remove(File);
}
BENCHMARK(BM_Mat4DReadBinaryNoOpHandler)->Unit(benchmark::kMillisecond);

// 1024 × 1024 doubles: the 2-D file is the transpose of the storage.
void BM_MatrixSaveLoadBinary(benchmark::State& State) {
  const std::string File = TempFile("vexa_bench_matrix.bin");
  vexa::TMatrix m(nullptr);
  m.Resize(1024, 1024);
  m.FillRandomUniform(-1.0, 1.0);
  for (auto _ : State) {
    benchmark::DoNotOptimize(m.SaveBinary(File));
    benchmark::DoNotOptimize(m.LoadBinary(File));
  }
  State.SetBytesProcessed(State.iterations() * 2 * int64_t{1024} * 1024 * 8);
  std::filesystem::remove(File);
}
BENCHMARK(BM_MatrixSaveLoadBinary)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- references

void BM_SequentialWrite(benchmark::State& State) {
  const std::string File = TempFile("vexa_bench_seqw.bin");
  const std::vector<double> Data(Stack().Data().begin(), Stack().Data().end());
  for (auto _ : State) {
    std::FILE* f = std::fopen(File.c_str(), "wb");
    benchmark::DoNotOptimize(std::fwrite(Data.data(), sizeof(double), Data.size(), f));
    std::fclose(f);
  }
  State.SetBytesProcessed(State.iterations() * kBytes);
  std::filesystem::remove(File);
}
BENCHMARK(BM_SequentialWrite)->Unit(benchmark::kMillisecond);

void BM_SequentialRead(benchmark::State& State) {
  const std::string File = TempFile("vexa_bench_seqr.bin");
  std::vector<double> Data(Stack().Data().begin(), Stack().Data().end());
  {
    std::FILE* f = std::fopen(File.c_str(), "wb");
    std::fwrite(Data.data(), sizeof(double), Data.size(), f);
    std::fclose(f);
  }
  for (auto _ : State) {
    std::vector<double> In(Data.size());
    std::FILE* f = std::fopen(File.c_str(), "rb");
    benchmark::DoNotOptimize(std::fread(In.data(), sizeof(double), In.size(), f));
    std::fclose(f);
    benchmark::DoNotOptimize(In.data());
  }
  State.SetBytesProcessed(State.iterations() * kBytes);
  std::filesystem::remove(File);
}
BENCHMARK(BM_SequentialRead)->Unit(benchmark::kMillisecond);

}  // namespace
