// TIntMatrix: descriptive statistics, counting, edge vectors and thresholds,
// on the shared rules of the statistics family
// (foundation/internal/Vexa_statcore.h).
//
// The cells of a rectangle are visited as runs (value, count) in storage
// order, with consecutive zeros merged into one run. The sparse form produces
// the same runs from its entries and the gaps between them, so both forms
// give the same bits while the sparse form does O(entries) work.

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "arrays/internal/Vexa_arraycore.h"
#include "foundation/internal/Vexa_statcore.h"
#include "linalg/internal/Vexa_matrix_detail.h"
#include "platform/Vexa_random.h"

namespace vexa {

namespace {

/// Skewness and kurtosis of a matrix are computed from two values on.
constexpr int64_t kMatrixSkewKurtMinCount = 2;

/// Merges the cells it is given into runs: consecutive zeros become one run,
/// every other value a run of 1.
template <class TVisit>
class TRunMerger {
public:
  explicit TRunMerger(TVisit& Visit) : FVisit(Visit) {}
  void Add(int32_t Value, int64_t Count) {
    if (Count <= 0) {
      return;
    }
    if (Value == 0) {
      FZeros += Count;
      return;
    }
    Flush();
    FVisit(static_cast<double>(Value), int64_t{1});
  }
  void Flush() {
    if (FZeros > 0) {
      FVisit(0.0, FZeros);
      FZeros = 0;
    }
  }

private:
  TVisit& FVisit;
  int64_t FZeros = 0;
};

/// Saturates a count of cells into the int32 result.
int32_t CountResult(int64_t Count) noexcept {
  return static_cast<int32_t>(std::min<int64_t>(Count, std::numeric_limits<int32_t>::max()));
}

}  // namespace

// ---------------------------------------------------------------- walking a rectangle

template <class TVisit>
void TIntMatrix::ForEachRun(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                            TVisit&& Visit) const {
  MakeValidColRange(LowCol, HighCol);
  MakeValidRowRange(LowRow, HighRow);
  if (HighCol < LowCol || HighRow < LowRow) {
    return;  // no cells
  }
  TRunMerger Runs(Visit);
  if (!FIsSparse) {
    for (int32_t c = LowCol; c <= HighCol; ++c) {
      const auto Col = Column(c);
      for (int32_t r = LowRow; r <= HighRow; ++r) {
        Runs.Add(Col[static_cast<size_t>(r - 1)], 1);
      }
    }
    Runs.Flush();
    return;
  }
  // Position of a cell within the rectangle in storage order; the entries
  // inside the rectangle come in that order, the gaps between them are zeros.
  const int64_t Height = HighRow - LowRow + 1;
  auto Position = [&](int32_t c, int32_t r) { return (c - LowCol) * Height + (r - LowRow); };
  int64_t Next = 0;  // the first position not yet visited
  for (size_t i = SparseLowerBound(LowCol, LowRow); i < static_cast<size_t>(FSparseNumElem); ++i) {
    const TSpMatElemInt& e = FSpMat[i];
    if (e.colidx > HighCol) {
      break;
    }
    if (e.rowidx < LowRow || e.rowidx > HighRow) {
      continue;
    }
    const int64_t At = Position(e.colidx, e.rowidx);
    Runs.Add(0, At - Next);
    Runs.Add(e.value, 1);
    Next = At + 1;
  }
  Runs.Add(0, Position(HighCol, HighRow) + 1 - Next);
  Runs.Flush();
}

std::vector<double> TIntMatrix::RectangleCopy(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                              int32_t HighRow) const {
  MakeValidColRange(LowCol, HighCol);
  MakeValidRowRange(LowRow, HighRow);
  const int64_t Width = std::max(HighCol - LowCol + 1, 0);
  const int64_t Height = std::max(HighRow - LowRow + 1, 0);
  std::vector<double> Copy = NewFlatStorage<EVexaMatrixError, double>(*this, {Width, Height});
  size_t Index = 0;
  ForEachRun(LowCol, LowRow, HighCol, HighRow, [&](double x, int64_t Count) {
    std::fill_n(Copy.begin() + static_cast<ptrdiff_t>(Index), Count, x);
    Index += static_cast<size_t>(Count);
  });
  return Copy;
}

// ---------------------------------------------------------------- moments and means

void TIntMatrix::MeanVar(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow, double& Mean,
                         double& Variance) const {
  Mean = 0.0;
  Variance = 0.0;
  if (HasNoCells()) {
    return;
  }
  statcore::MeanVarOfRuns(
      [&](auto&& Visit) { ForEachRun(LowCol, LowRow, HighCol, HighRow, Visit); }, Mean, Variance);
}

int32_t TIntMatrix::Sum(int32_t LoC, int32_t LoR, int32_t HiC, int32_t HiR) const {
  // Zeros add nothing: only the single values of the runs count.
  uint32_t Total = 0;
  ForEachRun(LoC, LoR, HiC, HiR, [&](double x, int64_t) {
    Total += static_cast<uint32_t>(static_cast<int32_t>(x));  // x is an int32 cell
  });
  return static_cast<int32_t>(Total);
}

void TIntMatrix::SkewKurt(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow, double& Skewness,
                          double& Kurtosis) const {
  int64_t NumData = 0;
  statcore::SkewKurtOfRuns([&](auto&& Visit) { ForEachRun(LowCol, LowRow, HighCol, HighRow, Visit); },
                           kMatrixSkewKurtMinCount, Skewness, Kurtosis, NumData);
}

void TIntMatrix::SkewKurtSample(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                                double& Skewness, double& Kurtosis) const {
  int64_t NumData = 0;
  const bool Computed =
      statcore::SkewKurtOfRuns([&](auto&& Visit) { ForEachRun(LowCol, LowRow, HighCol, HighRow, Visit); },
                               kMatrixSkewKurtMinCount, Skewness, Kurtosis, NumData);
  statcore::SampleCorrection(Computed, NumData, Skewness, Kurtosis);
}

double TIntMatrix::GeometricMean(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow) const {
  const std::vector<double> Copy = RectangleCopy(LowCol, LowRow, HighCol, HighRow);
  return statcore::GeometricMean<EVexaMatrixError>(*this, "GeometricMean", Copy);
}

double TIntMatrix::HarmonicMean(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow) const {
  const std::vector<double> Copy = RectangleCopy(LowCol, LowRow, HighCol, HighRow);
  return statcore::HarmonicMean<EVexaMatrixError>(*this, "HarmonicMean", Copy);
}

// ---------------------------------------------------------------- order statistics

double TIntMatrix::Percentile(double prob, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                              int32_t HighRow) const {
  if (HasNoCells()) {
    return 0.0;
  }
  std::vector<double> Copy = RectangleCopy(LowCol, LowRow, HighCol, HighRow);
  return statcore::SelectingPercentile(Copy, prob);
}

double TIntMatrix::Percentile(double prob, int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                              int32_t SampleSize) const {
  if (HasNoCells()) {
    return 0.0;
  }
  MakeValidColRange(LowCol, HighCol);
  MakeValidRowRange(LowRow, HighRow);
  const int32_t Width = HighCol - LowCol + 1;
  const int32_t Height = HighRow - LowRow + 1;
  const int64_t n = static_cast<int64_t>(Width) * Height;
  if (SampleSize <= 0 || SampleSize >= n || std::isnan(prob)) {
    return Percentile(prob, LowCol, LowRow, HighCol, HighRow);
  }
  // Drawn with replacement; unlike TMatrix there is no rule for drawn zeros.
  std::vector<double> Sample = NewFlatStorage<EVexaMatrixError, double>(*this, {SampleSize});
  Randomize();
  for (double& x : Sample) {
    const int32_t c = LowCol + Random(Width);
    const int32_t r = LowRow + Random(Height);
    x = StoredCell(c, r);
  }
  return statcore::SelectingPercentile(Sample, prob);
}

bool TIntMatrix::Quartiles(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow, double& Q1,
                           double& Q2, double& Q3) const {
  Q1 = 0.0;
  Q2 = 0.0;
  Q3 = 0.0;
  if (HasNoCells()) {
    return false;
  }
  std::vector<double> Copy = RectangleCopy(LowCol, LowRow, HighCol, HighRow);
  statcore::Quartiles(Copy, Q1, Q2, Q3);
  return true;
}

// ---------------------------------------------------------------- counting

int32_t TIntMatrix::CountValues(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                                int32_t RangeLow, int32_t RangeHigh) const {
  int64_t Count = 0;
  ForEachRun(LowCol, LowRow, HighCol, HighRow, [&](double x, int64_t n) {
    Count += (RangeLow <= x && x <= RangeHigh) ? n : 0;
  });
  return CountResult(Count);
}

int32_t TIntMatrix::CountMaskedZeros(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                                     uint32_t Bitmask) const {
  int64_t Count = 0;
  ForEachRun(LowCol, LowRow, HighCol, HighRow, [&](double x, int64_t n) {
    const auto Bits = static_cast<uint32_t>(static_cast<int32_t>(x));  // x is an int32 cell
    Count += (Bits & Bitmask) == 0 ? n : 0;
  });
  return CountResult(Count);
}

void TIntMatrix::MeanVec(TDims Dim, TVector* Means) const {
  if (Means == nullptr) {
    return;
  }
  // Each mean divides the line's sum by the full line length; the sum does
  // not depend on where the zeros are.
  const bool Rows = Dim == dimRows;
  const int32_t Count = Rows ? FNRow : FNCol;
  const int32_t Length = Rows ? FNCol : FNRow;
  std::vector<double> Mean = NewFlatStorage<EVexaMatrixError, double>(*this, {std::max(Count, 0)});
  for (int32_t i = 1; i <= Count; ++i) {
    statcore::TShiftedSums Sums;
    for (int32_t k = 1; k <= Length; ++k) {
      Sums.Add(Rows ? StoredCell(k, i) : StoredCell(i, k));
    }
    Mean[static_cast<size_t>(i - 1)] = Sums.Mean();
  }
  Means->Resize(Count);
  for (int32_t i = 1; i <= Count; ++i) {
    Means->SetElem(i, Mean[static_cast<size_t>(i - 1)]);
  }
}

// ---------------------------------------------------------------- edge vectors, thresholds

int32_t TIntMatrix::EdgeVector(TOrientation Orient, TEdgeOp EdgeOp, TVector* Dest) const {
  return EdgeVector(Orient, EdgeOp, TIntArray{}, Dest);
}

int32_t TIntMatrix::EdgeVector(TOrientation Orient, TEdgeOp EdgeOp, const TIntArray& EdgeIx,
                               TVector* Dest) const {
  if (Dest == nullptr) {
    return -1;
  }
  auto CellAt = [this](int64_t c, int64_t r) {
    return static_cast<double>(StoredCell(static_cast<int32_t>(c + 1), static_cast<int32_t>(r + 1)));
  };
  // orVertical: one value per row, aggregated across the columns.
  TDoubleArray Values;
  const int32_t Result = arraycore::EdgeVectorCore(FNCol, FNRow, CellAt, Orient == orVertical, EdgeOp,
                                                   std::span<const int32_t>(EdgeIx), 1, Values);
  const auto n = static_cast<int32_t>(Values.size());
  Dest->Resize(n);
  for (int32_t k = 1; k <= n; ++k) {
    Dest->SetElem(k, Values[static_cast<size_t>(k - 1)]);
  }
  return Result;
}

int32_t TIntMatrix::Dichotomize(int32_t Threshold, TBool2DArray& ResultArray) const {
  TBool2DArray Flags = NewStorage<EVexaMatrixError, TBool2DArray>(*this, {FNCol, FNRow});
  int64_t Count = 0;
  for (int32_t c = 1; c <= FNCol; ++c) {
    auto& Out = Flags[static_cast<size_t>(c - 1)];
    for (int32_t r = 1; r <= FNRow; ++r) {
      const bool Above = StoredCell(c, r) > Threshold;
      Out[static_cast<size_t>(r - 1)] = Above;
      Count += Above ? 1 : 0;
    }
  }
  ResultArray.swap(Flags);
  return CountResult(Count);
}

}  // namespace vexa
