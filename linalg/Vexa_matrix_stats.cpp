// TMatrix: descriptive statistics and the normalisations of columns and rows,
// on the shared rules of the statistics family (foundation/internal/Vexa_statcore.h).

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <iterator>
#include <limits>
#include <vector>

#include "foundation/internal/Vexa_statcore.h"
#include "linalg/internal/Vexa_matrix_detail.h"
#include "platform/Vexa_random.h"

namespace vexa {

namespace {

/// Skewness and kurtosis of a matrix are computed from two values on.
constexpr int64_t kMatrixSkewKurtMinCount = 2;

/// The cells of a rectangle of a column-major buffer as a forward range,
/// column by column, top to bottom, without copying them.
class TRectangleView {
public:
  class Iterator {
  public:
    using iterator_concept = std::forward_iterator_tag;
    using value_type = double;
    using difference_type = std::ptrdiff_t;

    Iterator() = default;
    Iterator(const double* Data, size_t Index, size_t Height, size_t Skip)
        : FData(Data), FIndex(Index), FLeft(Height), FHeight(Height), FSkip(Skip) {}
    double operator*() const { return FData[FIndex]; }
    Iterator& operator++() {
      ++FIndex;
      if (--FLeft == 0) {  // end of this column's part: on to the next column
        FIndex += FSkip;
        FLeft = FHeight;
      }
      return *this;
    }
    Iterator operator++(int) {
      Iterator Old = *this;
      ++*this;
      return Old;
    }
    bool operator==(const Iterator& Other) const { return FIndex == Other.FIndex; }

  private:
    const double* FData = nullptr;
    size_t FIndex = 0;
    size_t FLeft = 1;
    size_t FHeight = 1;
    size_t FSkip = 0;
  };

  /// The validated rectangle (LowCol..HighCol) × (LowRow..HighRow) of Data
  /// with NrRows rows per column.
  TRectangleView(std::span<const double> Data, int32_t NrRows, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                 int32_t HighRow)
      : FData(Data.data()),
        FFirst(static_cast<size_t>(LowCol - 1) * static_cast<size_t>(NrRows) + static_cast<size_t>(LowRow - 1)),
        FEnd(FFirst + static_cast<size_t>(HighCol - LowCol + 1) * static_cast<size_t>(NrRows)),
        FHeight(static_cast<size_t>(HighRow - LowRow + 1)),
        FSkip(static_cast<size_t>(NrRows) - FHeight) {}

  Iterator begin() const { return Iterator(FData, FFirst, FHeight, FSkip); }
  Iterator end() const { return Iterator(FData, FEnd, FHeight, FSkip); }

private:
  const double* FData;
  size_t FFirst, FEnd, FHeight, FSkip;
};

static_assert(statcore::ValueRange<TRectangleView>);

/// Resizes an optional output vector to Count elements and writes Values.
void StoreOptional(TVector* Vec, std::span<const double> Values) {
  if (Vec == nullptr) {
    return;
  }
  Vec->Resize(static_cast<int32_t>(Values.size()));
  for (size_t i = 0; i < Values.size(); ++i) {
    Vec->SetElem(static_cast<int32_t>(i + 1), Values[i]);
  }
}

}  // namespace

// ---------------------------------------------------------------- range helpers

std::vector<double> TMatrix::RectangleCopy(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                           int32_t HighRow) const {
  MakeValidColRange(LowCol, HighCol);
  MakeValidRowRange(LowRow, HighRow);
  return statcore::GuardedCopy<EVexaMatrixError>(
      *this, TRectangleView(FData, FNRow, LowCol, LowRow, HighCol, HighRow));
}

#define VEXA_RECTANGLE(LowCol, LowRow, HighCol, HighRow)                   \
  MakeValidColRange(LowCol, HighCol);                                      \
  MakeValidRowRange(LowRow, HighRow);                                      \
  const TRectangleView Cells(FData, FNRow, LowCol, LowRow, HighCol, HighRow)

// ---------------------------------------------------------------- moments and means

void TMatrix::MeanVar(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow, double& Mean,
                      double& Variance) const {
  VEXA_RECTANGLE(LowCol, LowRow, HighCol, HighRow);
  statcore::MeanVar(Cells, Mean, Variance);
}

double TMatrix::Sum(int32_t LoC, int32_t LoR, int32_t HiC, int32_t HiR) const {
  VEXA_RECTANGLE(LoC, LoR, HiC, HiR);
  return statcore::SumDouble(Cells);
}

void TMatrix::SkewKurt(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow, double& Skewness,
                       double& Kurtosis) const {
  VEXA_RECTANGLE(LowCol, LowRow, HighCol, HighRow);
  int64_t NumData = 0;
  statcore::SkewKurtIntern(Cells, kMatrixSkewKurtMinCount, Skewness, Kurtosis, NumData);
}

void TMatrix::SkewKurtSample(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                             double& Skewness, double& Kurtosis) const {
  VEXA_RECTANGLE(LowCol, LowRow, HighCol, HighRow);
  int64_t NumData = 0;
  const bool Computed = statcore::SkewKurtIntern(Cells, kMatrixSkewKurtMinCount, Skewness, Kurtosis, NumData);
  statcore::SampleCorrection(Computed, NumData, Skewness, Kurtosis);
}

double TMatrix::GeometricMean(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow) const {
  VEXA_RECTANGLE(LowCol, LowRow, HighCol, HighRow);
  return statcore::GeometricMean<EVexaMatrixError>(*this, "GeometricMean", Cells);
}

double TMatrix::HarmonicMean(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow) const {
  VEXA_RECTANGLE(LowCol, LowRow, HighCol, HighRow);
  return statcore::HarmonicMean<EVexaMatrixError>(*this, "HarmonicMean", Cells);
}

// ---------------------------------------------------------------- order statistics

double TMatrix::Percentile(double prob, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                           int32_t HighRow) const {
  std::vector<double> Copy = RectangleCopy(LowCol, LowRow, HighCol, HighRow);
  return statcore::SelectingPercentile(Copy, prob);
}

double TMatrix::Percentile(double prob, int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                           int32_t SampleSize) const {
  MakeValidColRange(LowCol, HighCol);
  MakeValidRowRange(LowRow, HighRow);
  const int32_t Width = HighCol - LowCol + 1;
  const int32_t Height = HighRow - LowRow + 1;
  const int64_t n = static_cast<int64_t>(Width) * Height;
  // A sample no smaller than the data (or none asked for) is the full selection.
  if (SampleSize <= 0 || SampleSize >= n || std::isnan(prob)) {
    return Percentile(prob, LowCol, LowRow, HighCol, HighRow);
  }
  std::vector<double> Sample = NewFlatStorage<EVexaMatrixError, double>(*this, {SampleSize});
  Randomize();
  int64_t Negatives = 0, Zeros = 0;
  for (double& x : Sample) {
    const int32_t c = LowCol + Random(Width);
    const int32_t r = LowRow + Random(Height);
    x = Cell(c, r);
    Negatives += x < 0.0 ? 1 : 0;
    Zeros += x == 0.0 ? 1 : 0;
  }
  // The zero rule: a percentile that falls among the drawn zeros is 0.
  const double Fraction = std::clamp(prob, 0.0, 100.0) / 100.0;
  const auto Size = static_cast<double>(SampleSize);
  if (static_cast<double>(Negatives) / Size < Fraction && Fraction < static_cast<double>(Negatives + Zeros) / Size) {
    return 0.0;
  }
  return statcore::SelectingPercentile(Sample, prob);
}

bool TMatrix::Quartiles(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow, double& Q1, double& Q2,
                        double& Q3) const {
  std::vector<double> Copy = RectangleCopy(LowCol, LowRow, HighCol, HighRow);
  statcore::Quartiles(Copy, Q1, Q2, Q3);
  return true;
}

// ---------------------------------------------------------------- counting

bool TMatrix::Histogram(int32_t LoX, int32_t LoY, int32_t HiX, int32_t HiY, double FirstBin, double LastBin,
                        double BinWidth, TIntArray& Histo, int32_t& Underflow, int32_t& Overflow,
                        int32_t& MaxCnt) const {
  statcore::TDoubleBins Bins;
  if (!Bins.Setup(FirstBin, LastBin, BinWidth)) {
    return false;
  }
  VEXA_RECTANGLE(LoX, LoY, HiX, HiY);
  statcore::THistoCounts Counts(Bins.NrBins());
  for (const double v : Cells) {
    statcore::CountValue(Bins, v, 1, Counts);
  }
  Counts.WriteOut(Histo, Underflow, Overflow, MaxCnt);
  return true;
}

bool TMatrix::Histogram(int32_t LoX, int32_t LoY, int32_t HiX, int32_t HiY, double FirstBin, double LastBin,
                        double BinWidth, TIntVector* Histo, int32_t& Underflow, int32_t& Overflow,
                        int32_t& MaxCnt) const {
  if (Histo == nullptr) {
    return false;
  }
  TIntArray Bins;
  int32_t Under = 0, Over = 0, Max = 0;
  if (!Histogram(LoX, LoY, HiX, HiY, FirstBin, LastBin, BinWidth, Bins, Under, Over, Max)) {
    return false;
  }
  Histo->SetNrOfElem(static_cast<int32_t>(Bins.size()));
  for (size_t i = 0; i < Bins.size(); ++i) {
    Histo->SetElem(static_cast<int32_t>(i + 1), Bins[i]);
  }
  Underflow = Under;
  Overflow = Over;
  MaxCnt = Max;
  return true;
}

int32_t TMatrix::CountValues(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, double RangeLow,
                             double RangeHigh) const {
  VEXA_RECTANGLE(LowCol, LowRow, HighCol, HighRow);
  int64_t Count = 0;
  for (const double v : Cells) {
    Count += (RangeLow <= v && v <= RangeHigh) ? 1 : 0;
  }
  // At most NrOfColumns·NrOfRows cells; a count beyond int32 saturates.
  return static_cast<int32_t>(std::min<int64_t>(Count, INT32_MAX));
}

#undef VEXA_RECTANGLE

// ---------------------------------------------------------------- per column and per row
// Column statistics walk each contiguous column; row statistics keep one
// accumulator per row and walk the columns once.

namespace {

/// Mean and the family's variance of every column (Rows false) or row of a
/// column-major buffer.
void LineMeanVars(std::span<const double> Data, int32_t NrCols, int32_t NrRows, bool Rows,
                  std::vector<double>& Means, std::vector<double>& Variances) {
  const auto Height = static_cast<size_t>(NrRows);
  if (!Rows) {
    for (size_t c = 0; c < Means.size(); ++c) {
      statcore::MeanVar(Data.subspan(c * Height, Height), Means[c], Variances[c]);
    }
    return;
  }
  std::vector<statcore::TShiftedSums> Sums(Height);
  for (size_t c = 0; c < static_cast<size_t>(NrCols); ++c) {
    for (size_t r = 0; r < Height; ++r) {
      Sums[r].Add(Data[c * Height + r]);
    }
  }
  for (size_t r = 0; r < Height; ++r) {
    Means[r] = Sums[r].Mean();
    Variances[r] = statcore::FamilyVariance(Sums[r].Count(), Sums[r].CentredSquares());
  }
}

}  // namespace

void TMatrix::MeanVec(TDims Dim, TVector* Means) const {
  if (Means == nullptr) {
    return;
  }
  const bool Rows = Dim == dimRows;
  const int32_t Count = Rows ? FNRow : FNCol;
  std::vector<double> Mean = NewFlatStorage<EVexaMatrixError, double>(*this, {Count});
  std::vector<double> Variance = NewFlatStorage<EVexaMatrixError, double>(*this, {Count});
  LineMeanVars(FData, FNCol, FNRow, Rows, Mean, Variance);
  StoreOptional(Means, Mean);
}

void TMatrix::StandardizeLines(bool Rows, TVector* Means, TVector* StdDevs) {
  const int32_t Count = Rows ? FNRow : FNCol;
  std::vector<double> Mean = NewFlatStorage<EVexaMatrixError, double>(*this, {Count});
  std::vector<double> StdDev = NewFlatStorage<EVexaMatrixError, double>(*this, {Count});
  LineMeanVars(FData, FNCol, FNRow, Rows, Mean, StdDev);
  for (double& s : StdDev) {
    s = std::sqrt(s);
  }
  for (int32_t c = 1; c <= FNCol; ++c) {
    const auto Col = Column(c);
    for (int32_t r = 1; r <= FNRow; ++r) {
      const auto Line = static_cast<size_t>((Rows ? r : c) - 1);
      if (StdDev[Line] > 0.0) {
        double& x = Col[static_cast<size_t>(r - 1)];
        x = (x - Mean[Line]) / StdDev[Line];
      }
    }
  }
  StoreOptional(Means, Mean);
  StoreOptional(StdDevs, StdDev);
  Changed();
}

void TMatrix::StandardizeColumns(TVector* Means, TVector* StdDevs) { StandardizeLines(false, Means, StdDevs); }
void TMatrix::StandardizeRows(TVector* Means, TVector* StdDevs) { StandardizeLines(true, Means, StdDevs); }

void TMatrix::MeanCenterLines(bool Rows, TVector* Means) {
  const int32_t Count = Rows ? FNRow : FNCol;
  std::vector<double> Mean = NewFlatStorage<EVexaMatrixError, double>(*this, {Count});
  std::vector<double> Variance = NewFlatStorage<EVexaMatrixError, double>(*this, {Count});
  LineMeanVars(FData, FNCol, FNRow, Rows, Mean, Variance);
  for (int32_t c = 1; c <= FNCol; ++c) {
    const auto Col = Column(c);
    for (int32_t r = 1; r <= FNRow; ++r) {
      Col[static_cast<size_t>(r - 1)] -= Mean[static_cast<size_t>((Rows ? r : c) - 1)];
    }
  }
  StoreOptional(Means, Mean);
  Changed();
}

void TMatrix::MeanCenterColumns(TVector* Means) { MeanCenterLines(false, Means); }
void TMatrix::MeanCenterRows(TVector* Means) { MeanCenterLines(true, Means); }

void TMatrix::QNormalizeLines(bool Rows, double RefQuant, TVector* Medians, TVector* QuantDiffs) {
  const int32_t Count = Rows ? FNRow : FNCol;
  const int32_t Length = Rows ? FNCol : FNRow;
  std::vector<double> Median = NewFlatStorage<EVexaMatrixError, double>(*this, {Count});
  std::vector<double> QuantDiff = NewFlatStorage<EVexaMatrixError, double>(*this, {Count});
  std::vector<double> Line = NewFlatStorage<EVexaMatrixError, double>(*this, {Length});
  for (int32_t i = 1; i <= Count; ++i) {
    // Gather the line (selection reorders the copy), take both percentiles,
    // then rewrite the line in the matrix.
    for (int32_t k = 1; k <= Length; ++k) {
      Line[static_cast<size_t>(k - 1)] = Rows ? Cell(k, i) : Cell(i, k);
    }
    const double Quantile = statcore::SelectingPercentile(Line, RefQuant);
    const double Med = statcore::SelectingPercentile(Line, 50.0);
    const double Diff = std::fabs(Med - Quantile);
    Median[static_cast<size_t>(i - 1)] = Med;
    QuantDiff[static_cast<size_t>(i - 1)] = Diff;
    if (Diff > 0.0) {
      for (int32_t k = 1; k <= Length; ++k) {
        double& x = Rows ? Cell(k, i) : Cell(i, k);
        x = (x - Med) / Diff;
      }
    }
  }
  StoreOptional(Medians, Median);
  StoreOptional(QuantDiffs, QuantDiff);
  Changed();
}

void TMatrix::QNormalizeColumns(double RefQuant, TVector* Medians, TVector* QuantDiffs) {
  QNormalizeLines(false, RefQuant, Medians, QuantDiffs);
}

void TMatrix::QNormalizeRows(double RefQuant, TVector* Medians, TVector* QuantDiffs) {
  QNormalizeLines(true, RefQuant, Medians, QuantDiffs);
}

}  // namespace vexa
