// Random fills of Vexa_openarrays: shuffling, uniform and Gaussian fills,
// resampling, and the draw without repetition they share.

#include <cmath>
#include <unordered_map>
#include <utility>

#include "arrays/Vexa_openarrays.h"
#include "arrays/internal/Vexa_arrayshapes.h"
#include "platform/Vexa_intmath.h"
#include "platform/Vexa_random.h"

namespace vexa {

namespace arraycore {

bool DrawWithoutRepetition(int64_t Low, int64_t High, size_t Count, std::vector<int64_t>& Values) {
  if (High < Low) {
    return Count == 0;
  }
  // High - Low + 1 fits: both bounds come from 32-bit values or checked sizes.
  const int64_t RangeSize = High - Low + 1;
  if (static_cast<uint64_t>(RangeSize) < Count) {
    return false;
  }
  // Virtual array Pool[k] = k (offsets from Low); Moved holds the entries
  // that differ from their index after the swaps made so far.
  std::unordered_map<int64_t, int64_t> Moved;
  Moved.reserve(Count * 2);
  auto PoolAt = [&](int64_t k) {
    const auto Found = Moved.find(k);
    return Found == Moved.end() ? k : Found->second;
  };
  std::vector<int64_t> Drawn(Count);
  for (size_t n = 0; n < Count; ++n) {
    const auto k = static_cast<int64_t>(n);
    const int64_t r = k + Random(RangeSize - k);  // uniform over k .. RangeSize - 1
    const int64_t Picked = PoolAt(r);
    Moved[r] = PoolAt(k);
    Drawn[n] = Low + Picked;
  }
  Values.swap(Drawn);
  return true;
}

}  // namespace arraycore

namespace {

using namespace arraycore;

/// Exchanges every element with one at a smaller index: a random cyclic
/// permutation in which no element stays in place.
template <class T>
int32_t ShuffleCyclic(std::vector<T>& A) {
  if (A.size() < 2) {
    return -1;
  }
  for (size_t k = A.size() - 1; k >= 1; --k) {
    const auto r = static_cast<size_t>(Random(static_cast<int64_t>(k)));
    std::swap(A[k], A[r]);
  }
  return 0;
}

/// low + u (high - low), u in [0, 1); the weighted form keeps the value
/// finite when high - low overflows.
double UniformBetween(double Low, double High) {
  const double u = Random();
  const double Span = High - Low;
  if (std::isfinite(Span)) {
    return Low + u * Span;
  }
  return (1.0 - u) * Low + u * High;
}

template <class TArray>
int32_t FillUniformReal(TArray& A, double Low, double High) {
  Randomize();
  TShape<RankOf<TArray>> Shape{};
  if (!NonEmptyShape(A, Shape)) {
    return -1;
  }
  if (!(Low <= High)) {  // also refuses NaN bounds
    return -2;
  }
  ForEachCell(WholeBox(Shape), [&](double& Cell) { Cell = UniformBetween(Low, High); }, A);
  return 0;
}

/// floor(low + u (high - low)): High itself only when Low = High. The
/// product is rounded, so the draw is clamped to High - 1 when Low < High.
int32_t UniformIntBelowHigh(int32_t Low, int32_t High) {
  const double Span = static_cast<double>(High) - static_cast<double>(Low);
  const double Value = std::floor(static_cast<double>(Low) + Random() * Span);
  const int32_t Drawn = TruncToInt32(Value);
  return (Low < High && Drawn >= High) ? High - 1 : Drawn;
}

template <class TArray>
int32_t FillUniformInt(TArray& A, int32_t Low, int32_t High) {
  Randomize();
  TShape<RankOf<TArray>> Shape{};
  if (!NonEmptyShape(A, Shape)) {
    return -1;
  }
  if (High < Low) {
    return -2;
  }
  ForEachCell(WholeBox(Shape), [&](int32_t& Cell) { Cell = UniformIntBelowHigh(Low, High); }, A);
  return 0;
}

template <class TArray>
int32_t FillNormal(TArray& A, double Mean, double StdDev) {
  Randomize();
  TShape<RankOf<TArray>> Shape{};
  if (!NonEmptyShape(A, Shape)) {
    return -1;
  }
  if (!(StdDev >= 0)) {  // also refuses a NaN deviation
    return -2;
  }
  ForEachCell(WholeBox(Shape), [&](double& Cell) { Cell = RandG(Mean, StdDev); }, A);
  return 0;
}

/// Largest range FillRandomUniform draws from without repetition.
constexpr int64_t MaxRangeWithoutRepetition = 1000000;

/// k = round(L * p / 100), ties to even; false for a NaN p, p > 100 or k < 1.
bool ResampleCount(size_t L, double Percent, size_t& k) {
  if (!(Percent <= 100.0)) {
    return false;
  }
  const double Rounded = RoundHalfEven(static_cast<double>(L) * Percent / 100.0);
  if (!(Rounded >= 1.0)) {
    return false;
  }
  k = static_cast<size_t>(Rounded);  // 1 <= k <= L, since p <= 100
  return true;
}

/// Count 1-based indices out of 1..L: all in order when Count = L and
/// InOrder, else drawn (distinct unless Repeated).
TIntArray ResampleIndices(size_t L, size_t Count, bool Repeated, bool InOrder) {
  TIntArray Indices(Count);
  if (InOrder && Count == L) {
    for (size_t k = 0; k < Count; ++k) {
      Indices[k] = static_cast<int32_t>(k + 1);
    }
  } else if (Repeated) {
    for (auto& Index : Indices) {
      Index = static_cast<int32_t>(1 + Random(static_cast<int64_t>(L)));
    }
  } else {
    std::vector<int64_t> Drawn;
    DrawWithoutRepetition(1, static_cast<int64_t>(L), Count, Drawn);  // Count <= L
    for (size_t k = 0; k < Count; ++k) {
      Indices[k] = static_cast<int32_t>(Drawn[k]);
    }
  }
  return Indices;
}

}  // namespace

int32_t ShuffleArray(TDoubleArray& A) { return ShuffleCyclic(A); }
int32_t ShuffleArray(TIntArray& A) { return ShuffleCyclic(A); }

int32_t FillRandomUniform(TDoubleArray& A, double Low, double High) { return FillUniformReal(A, Low, High); }
int32_t FillRandomUniform(TDouble2DArray& A, double Low, double High) { return FillUniformReal(A, Low, High); }
int32_t FillRandomUniform(TDouble3DArray& A, double Low, double High) { return FillUniformReal(A, Low, High); }
int32_t FillRandomUniform(TDouble4DArray& A, double Low, double High) { return FillUniformReal(A, Low, High); }
int32_t FillRandomUniform(TIntArray& A, int32_t Low, int32_t High) { return FillUniformInt(A, Low, High); }
int32_t FillRandomUniform(TInt2DArray& A, int32_t Low, int32_t High) { return FillUniformInt(A, Low, High); }
int32_t FillRandomUniform(TInt3DArray& A, int32_t Low, int32_t High) { return FillUniformInt(A, Low, High); }
int32_t FillRandomUniform(TInt4DArray& A, int32_t Low, int32_t High) { return FillUniformInt(A, Low, High); }

int32_t FillRandomUniform(TIntArray& A, int32_t Low, int32_t High, bool Repeated) {
  if (A.empty()) {
    return -1;
  }
  if (High < Low) {
    return -2;
  }
  const int64_t RangeSize = static_cast<int64_t>(High) - Low + 1;
  if (!Repeated) {
    if (RangeSize < static_cast<int64_t>(A.size())) {
      return -3;
    }
    if (RangeSize > MaxRangeWithoutRepetition) {
      return -4;
    }
  }
  Randomize();
  if (Repeated) {
    for (auto& Cell : A) {
      Cell = static_cast<int32_t>(Low + Random(RangeSize));
    }
    return 0;
  }
  std::vector<int64_t> Drawn;
  DrawWithoutRepetition(Low, High, A.size(), Drawn);  // the range holds enough values
  for (size_t k = 0; k < A.size(); ++k) {
    A[k] = static_cast<int32_t>(Drawn[k]);
  }
  return 0;
}

int32_t FillRandomNormal(TDoubleArray& A, double Mean, double StdDev) { return FillNormal(A, Mean, StdDev); }
int32_t FillRandomNormal(TDouble2DArray& A, double Mean, double StdDev) { return FillNormal(A, Mean, StdDev); }
int32_t FillRandomNormal(TDouble3DArray& A, double Mean, double StdDev) { return FillNormal(A, Mean, StdDev); }
int32_t FillRandomNormal(TDouble4DArray& A, double Mean, double StdDev) { return FillNormal(A, Mean, StdDev); }

int32_t Resample2DArray(const TDouble2DArray& D, TDouble2DArray& R, double Percent1, double Percent2,
                        bool Repeated, TIntArray& I1, TIntArray& I2) {
  TShape<2> Shape{};
  if (!NonEmptyShape(D, Shape)) {
    return -3;
  }
  if (R.empty()) {
    return -4;
  }
  if (I1.empty() || I2.empty()) {
    return -5;
  }
  const auto L1 = static_cast<size_t>(Shape[0]);
  const auto L2 = static_cast<size_t>(Shape[1]);
  size_t k1 = 0;
  size_t k2 = 0;
  int32_t Status = 0;
  if (!ResampleCount(L1, Percent1, k1)) {
    Status = -1;
  }
  if (!ResampleCount(L2, Percent2, k2)) {
    Status = -2;
  }
  if (Status != 0) {
    return Status;
  }
  Randomize();
  TIntArray Index1 = ResampleIndices(L1, k1, false, true);
  TIntArray Index2 = ResampleIndices(L2, k2, Repeated, false);
  auto Sample = NewArray<TDouble2DArray>("Resample2DArray", {static_cast<int64_t>(k1), static_cast<int64_t>(k2)});
  for (size_t a = 0; a < k1; ++a) {
    const TDoubleArray& Column = D[static_cast<size_t>(Index1[a] - 1)];
    for (size_t b = 0; b < k2; ++b) {
      Sample[a][b] = Column[static_cast<size_t>(Index2[b] - 1)];
    }
  }
  R.swap(Sample);
  I1.swap(Index1);
  I2.swap(Index2);
  return 0;
}

}  // namespace vexa
