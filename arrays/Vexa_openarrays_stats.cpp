// Array routines: descriptive statistics, extremes, counting, histograms.
//
// Each family is one template over element type and rank on the box walker
// of the array core; the public overloads only build the box.

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>
#include <span>
#include <type_traits>
#include <vector>

#include "arrays/Vexa_openarrays.h"
#include "arrays/internal/Vexa_arraycore.h"
#include "foundation/internal/Vexa_statcore.h"
#include "platform/Vexa_intmath.h"

namespace vexa {

namespace {

using arraycore::ElemOf;
using arraycore::MakeBox;
using arraycore::RankOf;
using arraycore::TBox;
using arraycore::TShape;

/// Validation of a box over an array: -1 empty or ragged, -2 range.
template <class A>
int32_t CheckBox(const A& Data, const TBox<RankOf<A>>& Box) {
  TShape<RankOf<A>> Shape{};
  if (!arraycore::TryShape(Data, Shape)) {
    return -1;
  }
  return arraycore::ValidateBox(Shape, Box);
}

/// Shifted sums of the box (validated by the caller).
template <class A>
statcore::TShiftedSums BoxSums(const A& Data, const TBox<RankOf<A>>& Box) {
  statcore::TShiftedSums Sums;
  arraycore::ForEachCell(Box, [&Sums](auto x) { Sums.Add(static_cast<double>(x)); }, Data);
  return Sums;
}

template <class A>
int32_t MeanOfBox(const A& Data, const TBox<RankOf<A>>& Box, double& Mean) {
  if (const int32_t Status = CheckBox(Data, Box); Status != 0) {
    return Status;
  }
  Mean = BoxSums(Data, Box).Mean();
  return 0;
}

template <class A>
int32_t StdDevOfBox(const A& Data, const TBox<RankOf<A>>& Box, double& StdDev) {
  if (const int32_t Status = CheckBox(Data, Box); Status != 0) {
    return Status;
  }
  const auto Sums = BoxSums(Data, Box);
  const int64_t n = Sums.Count();
  StdDev = n < 2 ? 0.0
                 : std::sqrt(std::max(0.0, Sums.CentredSquares() / static_cast<double>(n - 1)));
  return 0;
}

template <class A>
int32_t MeanVarOfBox(const A& Data, const TBox<RankOf<A>>& Box, double& Mean, double& Variance) {
  if (const int32_t Status = CheckBox(Data, Box); Status != 0) {
    return Status;
  }
  const auto Sums = BoxSums(Data, Box);
  Mean = Sums.Mean();
  Variance = statcore::FamilyVariance(Sums.Count(), Sums.CentredSquares());
  return 0;
}

template <class T>
int32_t MeanAbsDevOf(const std::vector<T>& Data, int32_t NumData, double& Mad) {
  if (Data.empty()) {
    return -1;
  }
  const size_t n = NumData <= 0 || static_cast<size_t>(NumData) > Data.size()
                       ? Data.size()
                       : static_cast<size_t>(NumData);
  const std::span<const T> Values(Data.data(), n);
  double Mean = 0.0, Unused = 0.0;
  statcore::MeanVar(Values, Mean, Unused);
  double Sum = 0.0;
  for (T x : Values) {
    Sum += std::fabs(static_cast<double>(x) - Mean);
  }
  Mad = Sum / static_cast<double>(n);
  return 0;
}

// ---------------------------------------------------------------- percentile

/// A pair of indices clamped into 0 … Size − 1 and put in order.
void ClampAndOrder(int64_t Size, int64_t& Low, int64_t& High) {
  Low = std::clamp<int64_t>(Low, 0, Size - 1);
  High = std::clamp<int64_t>(High, 0, Size - 1);
  if (High < Low) {
    std::swap(Low, High);
  }
}

template <class A>
double PercentileOf(double p, const A& Data, std::array<int64_t, 2 * RankOf<A>> LowsThenHighs) {
  const auto Shape = arraycore::RectangularShape(Data, "PercentileArray");
  if (arraycore::IsEmptyShape(Shape)) {
    return 0.0;
  }
  auto Box = MakeBox<RankOf<A>>(LowsThenHighs);
  for (size_t k = 0; k < RankOf<A>; ++k) {
    ClampAndOrder(Shape[k], Box.Low[k], Box.High[k]);
  }
  auto Copy = arraycore::CopyBoxToDoubles("PercentileArray", Data, Box);
  return statcore::SelectingPercentile(Copy, p);
}

// ---------------------------------------------------------------- extremes

template <class T>
bool IsNaNCell(T x) noexcept {
  if constexpr (std::is_floating_point_v<T>) {
    return std::isnan(x);
  } else {
    return false;
  }
}

/// The largest (Largest) or smallest non-NaN cell of the box and the index
/// of its first occurrence; false when there is none.
template <bool Largest, class A>
bool FindExtreme(const A& Data, const TBox<RankOf<A>>& Box, ElemOf<A>& Value,
                 TShape<RankOf<A>>& Index) {
  bool Found = false;
  arraycore::ForEachIndexedCell(
      Box,
      [&](const TShape<RankOf<A>>& Ix, ElemOf<A> x) {
        if (IsNaNCell(x)) {
          return;
        }
        const bool Better = Largest ? x > Value : x < Value;
        if (!Found || Better) {
          Found = true;
          Value = x;
          Index = Ix;
        }
      },
      Data);
  return Found;
}

/// The result type of MaxArray and MinArray: double for real arrays.
template <class A>
using TExtremeResult = std::conditional_t<std::is_same_v<ElemOf<A>, int32_t>, int32_t, double>;

/// MaxArray / MinArray with the indices written to Out (rank entries).
template <bool Largest, class A>
TExtremeResult<A> ExtremeOf(const A& Data, std::span<int32_t* const> Out, const char* Routine) {
  const auto Shape = arraycore::RectangularShape(Data, Routine);
  const TExtremeResult<A> Sentinel = Largest ? INT32_MIN : INT32_MAX;
  if (arraycore::IsEmptyShape(Shape)) {
    return Sentinel;
  }
  ElemOf<A> Value{};
  TShape<RankOf<A>> Index{};
  if (!FindExtreme<Largest>(Data, arraycore::WholeBox(Shape), Value, Index)) {
    return Sentinel;
  }
  for (size_t k = 0; k < Out.size(); ++k) {
    *Out[k] = static_cast<int32_t>(Index[k]);
  }
  return static_cast<TExtremeResult<A>>(Value);
}

template <class T>
constexpr T LargestOf() noexcept {
  return std::numeric_limits<T>::max();
}

/// Min and max of the non-NaN cells of the box; the seeds (largest value and
/// its negative) stay when there is none.
template <class A>
void MinMaxOfBox(const A& Data, const TBox<RankOf<A>>& Box, ElemOf<A>& Min, ElemOf<A>& Max,
                 TShape<RankOf<A>>& IxMin, TShape<RankOf<A>>& IxMax) {
  using T = ElemOf<A>;
  T Value{};
  TShape<RankOf<A>> Index{};
  Min = LargestOf<T>();
  if (FindExtreme<false>(Data, Box, Value, Index)) {
    Min = Value;
    IxMin = Index;
  }
  Max = -LargestOf<T>();
  if (FindExtreme<true>(Data, Box, Value, Index)) {
    Max = Value;
    IxMax = Index;
  }
}

/// MinMaxArray of an open array: the same rule without a nested shape.
template <class T>
int32_t MinMaxSpan(std::span<const T> Data, T& Min, T& Max) {
  if (Data.empty()) {
    return -1;
  }
  bool Found = false;
  T Low{}, High{};
  for (T x : Data) {
    if (!IsNaNCell(x)) {
      Low = Found ? std::min(Low, x) : x;
      High = Found ? std::max(High, x) : x;
      Found = true;
    }
  }
  Min = Found ? Low : LargestOf<T>();
  Max = Found ? High : -LargestOf<T>();
  return 0;
}

template <class A>
int32_t MinMaxWhole(const A& Data, ElemOf<A>& Min, ElemOf<A>& Max) {
  TShape<RankOf<A>> Shape{};
  if (!arraycore::TryShape(Data, Shape) || arraycore::IsEmptyShape(Shape)) {
    return -1;
  }
  TShape<RankOf<A>> IxMin{}, IxMax{};
  MinMaxOfBox(Data, arraycore::WholeBox(Shape), Min, Max, IxMin, IxMax);
  return 0;
}

template <class A>
int32_t MinMaxRanged(const A& Data, const TBox<RankOf<A>>& Box, ElemOf<A>& Min, ElemOf<A>& Max,
                     std::span<int32_t* const> OutMin, std::span<int32_t* const> OutMax) {
  using T = ElemOf<A>;
  Min = LargestOf<T>();
  Max = -LargestOf<T>();
  for (size_t k = 0; k < OutMin.size(); ++k) {
    *OutMin[k] = 0;
    *OutMax[k] = 0;
  }
  if (const int32_t Status = CheckBox(Data, Box); Status != 0) {
    return Status;
  }
  TShape<RankOf<A>> IxMin{}, IxMax{};
  for (size_t k = 0; k < RankOf<A>; ++k) {
    IxMin[k] = *OutMin[k];
    IxMax[k] = *OutMax[k];
  }
  MinMaxOfBox(Data, Box, Min, Max, IxMin, IxMax);
  for (size_t k = 0; k < RankOf<A>; ++k) {
    *OutMin[k] = static_cast<int32_t>(IxMin[k]);
    *OutMax[k] = static_cast<int32_t>(IxMax[k]);
  }
  return 0;
}

// ---------------------------------------------------------------- counting

/// A count saturated to int32 (status results share the type).
int32_t SaturatedCount(int64_t Count) noexcept {
  return static_cast<int32_t>(std::min<int64_t>(Count, INT32_MAX));
}

template <class A>
int32_t CountInBox(const A& Data, const TBox<RankOf<A>>& Box, ElemOf<A> Low, ElemOf<A> High) {
  if (const int32_t Status = CheckBox(Data, Box); Status != 0) {
    return Status;
  }
  if (High < Low) {
    return -2;
  }
  int64_t Count = 0;
  arraycore::ForEachCell(Box, [&](ElemOf<A> v) { Count += (Low <= v && v <= High) ? 1 : 0; }, Data);
  return SaturatedCount(Count);
}

template <class A>
int32_t CountTrue(const A& Data, const TBox<RankOf<A>>& Box) {
  int64_t Count = 0;
  arraycore::ForEachCell(Box, [&Count](bool b) { Count += b ? 1 : 0; }, Data);
  return SaturatedCount(Count);
}

template <class A>
int32_t CountTrueWhole(const A& Data) {
  const auto Shape = arraycore::RectangularShape(Data, "CountTrueCellsOfArray");
  return arraycore::IsEmptyShape(Shape) ? 0 : CountTrue(Data, arraycore::WholeBox(Shape));
}

// ---------------------------------------------------------------- histogram

/// Largest number of bins of the array histogram.
constexpr int32_t kMaxArrayHistoBins = 1000;

/// Range checks of the histogram: an all-zero box is the whole array; -1 an
/// index outside the array (or no cells), -2 a reversed pair.
template <size_t R>
int32_t HistogramBox(const TShape<R>& Shape, TBox<R>& Box) {
  if (arraycore::IsEmptyShape(Shape)) {
    return -1;
  }
  if (arraycore::IsZeroBox(Box)) {
    Box = arraycore::WholeBox(Shape);
  }
  for (size_t k = 0; k < R; ++k) {
    const bool Inside = Box.Low[k] >= 0 && Box.Low[k] < Shape[k] && Box.High[k] >= 0 &&
                        Box.High[k] < Shape[k];
    if (!Inside) {
      return -1;
    }
  }
  for (size_t k = 0; k < R; ++k) {
    if (Box.High[k] < Box.Low[k]) {
      return -2;
    }
  }
  return 0;
}

/// The bins of the histogram, or the status that refuses them.
int32_t HistogramBins(double FirstBin, double LastBin, double BinWidth, statcore::TDoubleBins& Bins) {
  if (!(LastBin > FirstBin)) {
    return -3;
  }
  if (!(BinWidth > 0.0)) {
    return -4;
  }
  return Bins.Setup(FirstBin, LastBin, BinWidth, kMaxArrayHistoBins) ? 0 : -5;
}

/// Histogram of the cells of Data in the box for which Take(index) holds.
template <class A, class TTake>
int32_t FrequDist(const A& Data, TBox<RankOf<A>> Box, double FirstBin, double LastBin,
                  double BinWidth, TTake&& Take, TIntArray& Histo, int32_t& Underflow,
                  int32_t& Overflow, int32_t& MaxCnt) {
  TShape<RankOf<A>> Shape{};
  if (!arraycore::TryShape(Data, Shape)) {
    return -1;
  }
  if (const int32_t Status = HistogramBox(Shape, Box); Status != 0) {
    return Status;
  }
  statcore::TDoubleBins Bins;
  if (const int32_t Status = HistogramBins(FirstBin, LastBin, BinWidth, Bins); Status != 0) {
    return Status;
  }
  statcore::THistoCounts Counts(Bins.NrBins());
  arraycore::ForEachIndexedCell(
      Box,
      [&](const TShape<RankOf<A>>& Ix, double v) {
        if (Take(Ix)) {
          statcore::CountValue(Bins, v, 1, Counts);
        }
      },
      Data);
  Counts.WriteOut(Histo, Underflow, Overflow, MaxCnt);
  return 0;
}

// ---------------------------------------------------------------- sums

template <class A>
int32_t TraceOf(const A& Data, ElemOf<A>& Trace) {
  TShape<2> Shape{};
  if (!arraycore::TryShape(Data, Shape) || arraycore::IsEmptyShape(Shape)) {
    return -1;
  }
  if (Shape[0] != Shape[1]) {
    return -2;
  }
  ElemOf<A> Sum = 0;
  for (size_t i = 0; i < Data.size(); ++i) {
    Sum = arraycore::CellAdd(Sum, Data[i][i]);
  }
  Trace = Sum;
  return 0;
}

template <class A>
int32_t SumMasked(const A& Data, const TBool2DArray& Mask, double& Sum) {
  TShape<2> Shape{}, MaskShape{};
  if (!arraycore::TryShape(Data, Shape) || arraycore::IsEmptyShape(Shape)) {
    return -2;
  }
  const bool MaskRectangular = arraycore::TryShape(Mask, MaskShape);
  const bool NoMask = Mask.empty();
  if (!NoMask && (!MaskRectangular || MaskShape != Shape)) {
    return -1;
  }
  double Total = 0.0;
  int64_t Count = 0;
  const auto Box = arraycore::WholeBox(Shape);
  arraycore::ForEachIndexedCell(
      Box,
      [&](const TShape<2>& Ix, auto x) {
        if (NoMask || !Mask[static_cast<size_t>(Ix[0])][static_cast<size_t>(Ix[1])]) {
          Total += static_cast<double>(x);
          ++Count;
        }
      },
      Data);
  Sum = Total;
  return SaturatedCount(Count);
}

double SquaredDiffs(std::span<const double> A, std::span<const double> B) {
  double Sum = 0.0;
  for (size_t k = 0; k < A.size(); ++k) {
    const double d = A[k] - B[k];
    Sum += d * d;
  }
  return Sum;
}

}  // namespace

// ---------------------------------------------------------------- MeanArray, StdDevArray, MeanVarArray

int32_t MeanArray(const TDoubleArray& Data, int32_t First, int32_t Last, double& Mean) {
  return MeanOfBox(Data, MakeBox<1>({First, Last}), Mean);
}
int32_t MeanArray(const TDouble2DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Hi1, int32_t Hi2,
                  double& Mean) {
  return MeanOfBox(Data, MakeBox<2>({Lo1, Lo2, Hi1, Hi2}), Mean);
}
int32_t MeanArray(const TDouble3DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Lo3, int32_t Hi1,
                  int32_t Hi2, int32_t Hi3, double& Mean) {
  return MeanOfBox(Data, MakeBox<3>({Lo1, Lo2, Lo3, Hi1, Hi2, Hi3}), Mean);
}
int32_t MeanArray(const TDouble4DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Lo3, int32_t Lo4,
                  int32_t Hi1, int32_t Hi2, int32_t Hi3, int32_t Hi4, double& Mean) {
  return MeanOfBox(Data, MakeBox<4>({Lo1, Lo2, Lo3, Lo4, Hi1, Hi2, Hi3, Hi4}), Mean);
}
int32_t MeanArray(const TIntArray& Data, int32_t First, int32_t Last, double& Mean) {
  return MeanOfBox(Data, MakeBox<1>({First, Last}), Mean);
}
int32_t MeanArray(const TInt2DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Hi1, int32_t Hi2,
                  double& Mean) {
  return MeanOfBox(Data, MakeBox<2>({Lo1, Lo2, Hi1, Hi2}), Mean);
}
int32_t MeanArray(const TInt3DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Lo3, int32_t Hi1,
                  int32_t Hi2, int32_t Hi3, double& Mean) {
  return MeanOfBox(Data, MakeBox<3>({Lo1, Lo2, Lo3, Hi1, Hi2, Hi3}), Mean);
}
int32_t MeanArray(const TInt4DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Lo3, int32_t Lo4,
                  int32_t Hi1, int32_t Hi2, int32_t Hi3, int32_t Hi4, double& Mean) {
  return MeanOfBox(Data, MakeBox<4>({Lo1, Lo2, Lo3, Lo4, Hi1, Hi2, Hi3, Hi4}), Mean);
}

int32_t StdDevArray(const TDoubleArray& Data, int32_t First, int32_t Last, double& StdDev) {
  return StdDevOfBox(Data, MakeBox<1>({First, Last}), StdDev);
}
int32_t StdDevArray(const TDouble2DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Hi1, int32_t Hi2,
                    double& StdDev) {
  return StdDevOfBox(Data, MakeBox<2>({Lo1, Lo2, Hi1, Hi2}), StdDev);
}
int32_t StdDevArray(const TDouble3DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Lo3, int32_t Hi1,
                    int32_t Hi2, int32_t Hi3, double& StdDev) {
  return StdDevOfBox(Data, MakeBox<3>({Lo1, Lo2, Lo3, Hi1, Hi2, Hi3}), StdDev);
}
int32_t StdDevArray(const TDouble4DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Lo3, int32_t Lo4,
                    int32_t Hi1, int32_t Hi2, int32_t Hi3, int32_t Hi4, double& StdDev) {
  return StdDevOfBox(Data, MakeBox<4>({Lo1, Lo2, Lo3, Lo4, Hi1, Hi2, Hi3, Hi4}), StdDev);
}
int32_t StdDevArray(const TIntArray& Data, int32_t First, int32_t Last, double& StdDev) {
  return StdDevOfBox(Data, MakeBox<1>({First, Last}), StdDev);
}
int32_t StdDevArray(const TInt2DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Hi1, int32_t Hi2,
                    double& StdDev) {
  return StdDevOfBox(Data, MakeBox<2>({Lo1, Lo2, Hi1, Hi2}), StdDev);
}
int32_t StdDevArray(const TInt3DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Lo3, int32_t Hi1,
                    int32_t Hi2, int32_t Hi3, double& StdDev) {
  return StdDevOfBox(Data, MakeBox<3>({Lo1, Lo2, Lo3, Hi1, Hi2, Hi3}), StdDev);
}
int32_t StdDevArray(const TInt4DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Lo3, int32_t Lo4,
                    int32_t Hi1, int32_t Hi2, int32_t Hi3, int32_t Hi4, double& StdDev) {
  return StdDevOfBox(Data, MakeBox<4>({Lo1, Lo2, Lo3, Lo4, Hi1, Hi2, Hi3, Hi4}), StdDev);
}

int32_t MeanVarArray(const TDoubleArray& Data, int32_t First, int32_t Last, double& Mean,
                     double& Variance) {
  return MeanVarOfBox(Data, MakeBox<1>({First, Last}), Mean, Variance);
}
int32_t MeanVarArray(const TDouble2DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Hi1, int32_t Hi2,
                     double& Mean, double& Variance) {
  return MeanVarOfBox(Data, MakeBox<2>({Lo1, Lo2, Hi1, Hi2}), Mean, Variance);
}
int32_t MeanVarArray(const TIntArray& Data, int32_t First, int32_t Last, double& Mean,
                     double& Variance) {
  return MeanVarOfBox(Data, MakeBox<1>({First, Last}), Mean, Variance);
}
int32_t MeanVarArray(const TInt2DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Hi1, int32_t Hi2,
                     double& Mean, double& Variance) {
  return MeanVarOfBox(Data, MakeBox<2>({Lo1, Lo2, Hi1, Hi2}), Mean, Variance);
}

int32_t MeanAbsDev(const TDoubleArray& Data, int32_t NumData, double& Mad) {
  return MeanAbsDevOf(Data, NumData, Mad);
}
int32_t MeanAbsDev(const TIntArray& Data, int32_t NumData, double& Mad) {
  return MeanAbsDevOf(Data, NumData, Mad);
}

// ---------------------------------------------------------------- PercentileArray

double PercentileArray(double p, const TDoubleArray& Data) {
  return PercentileOf(p, Data, {0, static_cast<int64_t>(Data.size()) - 1});
}
double PercentileArray(double p, const TDoubleArray& Data, int32_t First, int32_t Last) {
  return PercentileOf(p, Data, {First, Last});
}
double PercentileArray(double p, const TIntArray& Data) {
  return PercentileOf(p, Data, {0, static_cast<int64_t>(Data.size()) - 1});
}
double PercentileArray(double p, const TDouble2DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Hi1,
                       int32_t Hi2) {
  return PercentileOf(p, Data, {Lo1, Lo2, Hi1, Hi2});
}

// ---------------------------------------------------------------- MaxArray, MinArray

double MaxArray(const TDoubleArray& Data) { return ExtremeOf<true>(Data, {}, "MaxArray"); }
double MaxArray(const TDoubleArray& Data, int32_t& Index) {
  int32_t* const Out[] = {&Index};
  return ExtremeOf<true>(Data, Out, "MaxArray");
}
double MaxArray(const TDouble2DArray& Data) { return ExtremeOf<true>(Data, {}, "MaxArray"); }
double MaxArray(const TDouble2DArray& Data, int32_t& Index1, int32_t& Index2) {
  int32_t* const Out[] = {&Index1, &Index2};
  return ExtremeOf<true>(Data, Out, "MaxArray");
}
double MaxArray(const TDouble3DArray& Data) { return ExtremeOf<true>(Data, {}, "MaxArray"); }
double MaxArray(const TDouble4DArray& Data) { return ExtremeOf<true>(Data, {}, "MaxArray"); }
int32_t MaxArray(const TIntArray& Data) { return ExtremeOf<true>(Data, {}, "MaxArray"); }
int32_t MaxArray(const TIntArray& Data, int32_t& Index) {
  int32_t* const Out[] = {&Index};
  return ExtremeOf<true>(Data, Out, "MaxArray");
}
int32_t MaxArray(const TInt2DArray& Data) { return ExtremeOf<true>(Data, {}, "MaxArray"); }
int32_t MaxArray(const TInt2DArray& Data, int32_t& Index1, int32_t& Index2) {
  int32_t* const Out[] = {&Index1, &Index2};
  return ExtremeOf<true>(Data, Out, "MaxArray");
}
int32_t MaxArray(const TInt3DArray& Data) { return ExtremeOf<true>(Data, {}, "MaxArray"); }
int32_t MaxArray(const TInt4DArray& Data) { return ExtremeOf<true>(Data, {}, "MaxArray"); }

double MinArray(const TDoubleArray& Data) { return ExtremeOf<false>(Data, {}, "MinArray"); }
double MinArray(const TDoubleArray& Data, int32_t& Index) {
  int32_t* const Out[] = {&Index};
  return ExtremeOf<false>(Data, Out, "MinArray");
}
double MinArray(const TDouble2DArray& Data) { return ExtremeOf<false>(Data, {}, "MinArray"); }
double MinArray(const TDouble2DArray& Data, int32_t& Index1, int32_t& Index2) {
  int32_t* const Out[] = {&Index1, &Index2};
  return ExtremeOf<false>(Data, Out, "MinArray");
}
double MinArray(const TDouble3DArray& Data) { return ExtremeOf<false>(Data, {}, "MinArray"); }
double MinArray(const TDouble4DArray& Data) { return ExtremeOf<false>(Data, {}, "MinArray"); }
int32_t MinArray(const TIntArray& Data) { return ExtremeOf<false>(Data, {}, "MinArray"); }
int32_t MinArray(const TIntArray& Data, int32_t& Index) {
  int32_t* const Out[] = {&Index};
  return ExtremeOf<false>(Data, Out, "MinArray");
}
int32_t MinArray(const TInt2DArray& Data) { return ExtremeOf<false>(Data, {}, "MinArray"); }
int32_t MinArray(const TInt2DArray& Data, int32_t& Index1, int32_t& Index2) {
  int32_t* const Out[] = {&Index1, &Index2};
  return ExtremeOf<false>(Data, Out, "MinArray");
}
int32_t MinArray(const TInt3DArray& Data) { return ExtremeOf<false>(Data, {}, "MinArray"); }
int32_t MinArray(const TInt4DArray& Data) { return ExtremeOf<false>(Data, {}, "MinArray"); }

// ---------------------------------------------------------------- MinMaxArray

int32_t MinMaxArray(const TDoubleArray& Data, double& Min, double& Max) {
  return MinMaxWhole(Data, Min, Max);
}
int32_t MinMaxArray(const TSingleArray& Data, float& Min, float& Max) {
  return MinMaxWhole(Data, Min, Max);
}
int32_t MinMaxArray(std::span<const double> Data, double& Min, double& Max) {
  return MinMaxSpan(Data, Min, Max);
}
int32_t MinMaxArray(const TDouble2DArray& Data, double& Min, double& Max) {
  return MinMaxWhole(Data, Min, Max);
}
int32_t MinMaxArray(const TDouble3DArray& Data, double& Min, double& Max) {
  return MinMaxWhole(Data, Min, Max);
}
int32_t MinMaxArray(const TDouble4DArray& Data, double& Min, double& Max) {
  return MinMaxWhole(Data, Min, Max);
}
int32_t MinMaxArray(const TIntArray& Data, int32_t& Min, int32_t& Max) {
  return MinMaxWhole(Data, Min, Max);
}
int32_t MinMaxArray(std::span<const int32_t> Data, int32_t& Min, int32_t& Max) {
  return MinMaxSpan(Data, Min, Max);
}
int32_t MinMaxArray(const TInt2DArray& Data, int32_t& Min, int32_t& Max) {
  return MinMaxWhole(Data, Min, Max);
}
int32_t MinMaxArray(const TInt3DArray& Data, int32_t& Min, int32_t& Max) {
  return MinMaxWhole(Data, Min, Max);
}
int32_t MinMaxArray(const TInt4DArray& Data, int32_t& Min, int32_t& Max) {
  return MinMaxWhole(Data, Min, Max);
}

int32_t MinMaxArray(const TDoubleArray& Data, int32_t First, int32_t Last, double& Min, double& Max,
                    int32_t& IxMin, int32_t& IxMax) {
  int32_t* const OutMin[] = {&IxMin};
  int32_t* const OutMax[] = {&IxMax};
  return MinMaxRanged(Data, MakeBox<1>({First, Last}), Min, Max, OutMin, OutMax);
}
int32_t MinMaxArray(const TIntArray& Data, int32_t First, int32_t Last, int32_t& Min, int32_t& Max,
                    int32_t& IxMin, int32_t& IxMax) {
  int32_t* const OutMin[] = {&IxMin};
  int32_t* const OutMax[] = {&IxMax};
  return MinMaxRanged(Data, MakeBox<1>({First, Last}), Min, Max, OutMin, OutMax);
}
int32_t MinMaxArray(const TDouble2DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Hi1, int32_t Hi2,
                    double& Min, double& Max, int32_t& IxMin1, int32_t& IxMin2, int32_t& IxMax1,
                    int32_t& IxMax2) {
  int32_t* const OutMin[] = {&IxMin1, &IxMin2};
  int32_t* const OutMax[] = {&IxMax1, &IxMax2};
  return MinMaxRanged(Data, MakeBox<2>({Lo1, Lo2, Hi1, Hi2}), Min, Max, OutMin, OutMax);
}
int32_t MinMaxArray(const TInt2DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Hi1, int32_t Hi2,
                    int32_t& Min, int32_t& Max, int32_t& IxMin1, int32_t& IxMin2, int32_t& IxMax1,
                    int32_t& IxMax2) {
  int32_t* const OutMin[] = {&IxMin1, &IxMin2};
  int32_t* const OutMax[] = {&IxMax1, &IxMax2};
  return MinMaxRanged(Data, MakeBox<2>({Lo1, Lo2, Hi1, Hi2}), Min, Max, OutMin, OutMax);
}

// ---------------------------------------------------------------- counting

int32_t CountValues(const TDoubleArray& Data, int32_t First, int32_t Last, double Low, double High) {
  return CountInBox(Data, MakeBox<1>({First, Last}), Low, High);
}
int32_t CountValues(const TDouble2DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Hi1, int32_t Hi2,
                    double Low, double High) {
  return CountInBox(Data, MakeBox<2>({Lo1, Lo2, Hi1, Hi2}), Low, High);
}
int32_t CountValues(const TDouble3DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Lo3, int32_t Hi1,
                    int32_t Hi2, int32_t Hi3, double Low, double High) {
  return CountInBox(Data, MakeBox<3>({Lo1, Lo2, Lo3, Hi1, Hi2, Hi3}), Low, High);
}
int32_t CountValues(const TDouble4DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Lo3, int32_t Lo4,
                    int32_t Hi1, int32_t Hi2, int32_t Hi3, int32_t Hi4, double Low, double High) {
  return CountInBox(Data, MakeBox<4>({Lo1, Lo2, Lo3, Lo4, Hi1, Hi2, Hi3, Hi4}), Low, High);
}
int32_t CountValues(const TIntArray& Data, int32_t First, int32_t Last, int32_t Low, int32_t High) {
  return CountInBox(Data, MakeBox<1>({First, Last}), Low, High);
}
int32_t CountValues(const TInt2DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Hi1, int32_t Hi2,
                    int32_t Low, int32_t High) {
  return CountInBox(Data, MakeBox<2>({Lo1, Lo2, Hi1, Hi2}), Low, High);
}
int32_t CountValues(const TInt3DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Lo3, int32_t Hi1,
                    int32_t Hi2, int32_t Hi3, int32_t Low, int32_t High) {
  return CountInBox(Data, MakeBox<3>({Lo1, Lo2, Lo3, Hi1, Hi2, Hi3}), Low, High);
}
int32_t CountValues(const TInt4DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Lo3, int32_t Lo4,
                    int32_t Hi1, int32_t Hi2, int32_t Hi3, int32_t Hi4, int32_t Low, int32_t High) {
  return CountInBox(Data, MakeBox<4>({Lo1, Lo2, Lo3, Lo4, Hi1, Hi2, Hi3, Hi4}), Low, High);
}

int32_t CountTrueCellsOfArray(const TBoolArray& Data) { return CountTrueWhole(Data); }
int32_t CountTrueCellsOfArray(const TBool2DArray& Data) { return CountTrueWhole(Data); }
int32_t CountTrueCellsOfArray(const TBool2DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Hi1,
                              int32_t Hi2) {
  TShape<2> Shape{};
  if (!arraycore::TryShape(Data, Shape) || arraycore::IsEmptyShape(Shape)) {
    return -1;
  }
  auto Box = MakeBox<2>({Lo1, Lo2, Hi1, Hi2});
  for (size_t k = 0; k < 2; ++k) {
    if (Box.Low[k] == 0 && Box.High[k] == 0) {
      Box.High[k] = Shape[k] - 1;
    } else if (Box.High[k] < Box.Low[k]) {
      std::swap(Box.Low[k], Box.High[k]);
    }
  }
  if (arraycore::ValidateBox(Shape, Box) != 0) {
    return -2;
  }
  return CountTrue(Data, Box);
}

// ---------------------------------------------------------------- FrequDistOfArray

int32_t FrequDistOfArray(const TDoubleArray& Data, int32_t First, int32_t Last, double FirstBin,
                         double LastBin, double BinWidth, TIntArray& Histo, int32_t& Underflow,
                         int32_t& Overflow, int32_t& MaxCnt) {
  return FrequDist(Data, MakeBox<1>({First, Last}), FirstBin, LastBin, BinWidth,
                   [](const TShape<1>&) { return true; }, Histo, Underflow, Overflow, MaxCnt);
}
int32_t FrequDistOfArray(const TDouble2DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Hi1,
                         int32_t Hi2, double FirstBin, double LastBin, double BinWidth,
                         TIntArray& Histo, int32_t& Underflow, int32_t& Overflow, int32_t& MaxCnt) {
  return FrequDist(Data, MakeBox<2>({Lo1, Lo2, Hi1, Hi2}), FirstBin, LastBin, BinWidth,
                   [](const TShape<2>&) { return true; }, Histo, Underflow, Overflow, MaxCnt);
}
int32_t FrequDistOfArray(const TDouble2DArray& Data, const TBool2DArray& Mask, int32_t Lo1,
                         int32_t Lo2, int32_t Hi1, int32_t Hi2, double FirstBin, double LastBin,
                         double BinWidth, TIntArray& Histo, int32_t& Underflow, int32_t& Overflow,
                         int32_t& MaxCnt) {
  TShape<2> Shape{}, MaskShape{};
  const bool DataOk = arraycore::TryShape(Data, Shape);
  auto Box = MakeBox<2>({Lo1, Lo2, Hi1, Hi2});
  if (!DataOk) {
    return -1;
  }
  // Range and bin checks come first; the mask is checked last.
  auto Probe = Box;
  if (const int32_t Status = HistogramBox(Shape, Probe); Status != 0) {
    return Status;
  }
  statcore::TDoubleBins Bins;
  if (const int32_t Status = HistogramBins(FirstBin, LastBin, BinWidth, Bins); Status != 0) {
    return Status;
  }
  if (!arraycore::TryShape(Mask, MaskShape) || MaskShape != Shape) {
    return -6;
  }
  return FrequDist(
      Data, Box, FirstBin, LastBin, BinWidth,
      [&Mask](const TShape<2>& Ix) { return !Mask[static_cast<size_t>(Ix[0])][static_cast<size_t>(Ix[1])]; },
      Histo, Underflow, Overflow, MaxCnt);
}

// ---------------------------------------------------------------- sums and correlation

double SumOfSquaredDiffs(const TDoubleArray& A, const TDoubleArray& B) {
  if (A.empty() || B.empty()) {
    return -1;
  }
  if (A.size() != B.size()) {
    return -2;
  }
  return SquaredDiffs(A, B);
}

double SumOfSquaredDiffs(const TDoubleArray& A, const TDouble2DArray& B, int32_t Column) {
  TShape<2> Shape{};
  if (A.empty() || !arraycore::TryShape(B, Shape) || arraycore::IsEmptyShape(Shape)) {
    return -1;
  }
  if (Column < 0 || Column >= Shape[0]) {
    return -3;
  }
  if (static_cast<int64_t>(A.size()) != Shape[1]) {
    return -2;
  }
  return SquaredDiffs(A, B[static_cast<size_t>(Column)]);
}

int32_t TraceOfArray(const TDouble2DArray& Data, double& Trace) { return TraceOf(Data, Trace); }
int32_t TraceOfArray(const TInt2DArray& Data, int32_t& Trace) { return TraceOf(Data, Trace); }

int32_t SumArrayMasked(const TDouble2DArray& Data, const TBool2DArray& Mask, double& Sum) {
  return SumMasked(Data, Mask, Sum);
}
int32_t SumArrayMasked(const TInt2DArray& Data, const TBool2DArray& Mask, double& Sum) {
  return SumMasked(Data, Mask, Sum);
}

double PearsonCorrCoeffColsOfArray(const TDouble2DArray& Data, int32_t Col1, int32_t Col2) {
  const auto Shape = arraycore::RectangularShape(Data, "PearsonCorrCoeffColsOfArray");
  const int64_t n = Shape[1];
  if (Col1 < 0 || Col1 >= Shape[0] || Col2 < 0 || Col2 >= Shape[0] || n <= 2) {
    return 0.0;
  }
  const auto& X = Data[static_cast<size_t>(Col1)];
  const auto& Y = Data[static_cast<size_t>(Col2)];
  // Deviations from the first pair keep the sums of data with a large offset accurate.
  double SumXX = 0, SumYY = 0, SumDx = 0, SumDy = 0, SumDxx = 0, SumDyy = 0, SumDxy = 0;
  for (size_t k = 0; k < X.size(); ++k) {
    SumXX += X[k] * X[k];
    SumYY += Y[k] * Y[k];
    const double dx = X[k] - X[0], dy = Y[k] - Y[0];
    SumDx += dx;
    SumDy += dy;
    SumDxx += dx * dx;
    SumDyy += dy * dy;
    SumDxy += dx * dy;
  }
  const double nd = static_cast<double>(n);
  const double Sxx = std::max(0.0, SumDxx - SumDx * SumDx / nd);
  const double Syy = std::max(0.0, SumDyy - SumDy * SumDy / nd);
  if (!(SumXX > 0.0) || !(SumYY > 0.0) || Sxx == 0.0 || Syy == 0.0) {
    return 0.0;
  }
  return (SumDxy - SumDx * SumDy / nd) / std::sqrt(Sxx * Syy);
}

}  // namespace vexa
