#pragma once
/// @file
/// Internal: the rules of the descriptive-statistics family, held once and
/// shared by the vectors, the matrices and the array routines. Not installed
/// (the build installs only the headers directly in a source folder).
///
/// Every routine works on a range of values given as a forward range that can
/// be walked more than once (a std::span over a vector's storage, a view over
/// a matrix rectangle, ...). Values are taken as doubles. The routines that
/// need order work on a temporary copy made by GuardedCopy, so that a failed
/// allocation raises the caller's error class with its "not enough memory on
/// heap" message.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <limits>
#include <ranges>
#include <span>
#include <string>
#include <vector>

#include "foundation/Vexa_storage.h"
#include "fundora/Vexa_vexabase.h"
#include "platform/Vexa_classes.h"
#include "platform/Vexa_intmath.h"

namespace vexa::statcore {

/// A range of values that can be walked more than once.
template <class R>
concept ValueRange = std::ranges::forward_range<R> &&
                     std::convertible_to<std::ranges::range_value_t<R>, double>;

// ---------------------------------------------------------------- order

/// Total order on doubles with every NaN after all numbers (NaNs equal among
/// themselves). Sorting or selecting with a plain < on data holding NaN is
/// undefined behaviour; with this order it is well defined.
struct TNaNLastLess {
  bool operator()(double a, double b) const noexcept {
    if (std::isnan(b)) {
      return !std::isnan(a);
    }
    return a < b;
  }
};

/// The values of Values as doubles in a new array, allocated under the guard
/// of the storage unit (EError with "Component \"<Name>\": not enough memory
/// on heap" when it cannot be had).
template <class EError, ValueRange R>
std::vector<double> GuardedCopy(const TComponent& Owner, const R& Values) {
  const auto Count = static_cast<uint64_t>(std::ranges::distance(Values));
  return GuardedAllocation<EError>(Owner, true, Count * sizeof(double), [&] {
    std::vector<double> Copy;
    Copy.reserve(static_cast<size_t>(Count));
    for (const auto& v : Values) {
      Copy.push_back(static_cast<double>(v));
    }
    return Copy;
  });
}

/// Sorts ascending in the total order with NaN last.
void SortNaNLast(std::span<double> Values);

// ---------------------------------------------------------------- moments

/// Running sums of deviations from a shift (the first value), so that the
/// variance of data with a large common offset does not cancel:
/// (1e8+1, 1e8+2, 1e8+3) has variance 1, not 0.
class TShiftedSums {
public:
  void Add(double x) noexcept {
    if (FCount == 0) {
      FShift = x;
    }
    ++FCount;
    FSum += x;
    const double d = x - FShift;
    FDevSum += d;
    FDevSquares += d * d;
  }
  /// Count values equal to x at once (a run of zeros of a sparse matrix);
  /// for Count 1 the same bits as Add(x).
  void AddRepeated(double x, int64_t Count) noexcept {
    if (Count <= 0) {
      return;
    }
    if (FCount == 0) {
      FShift = x;
    }
    FCount += Count;
    const auto n = static_cast<double>(Count);
    FSum += x * n;
    const double d = x - FShift;
    FDevSum += d * n;
    FDevSquares += (d * d) * n;
  }
  int64_t Count() const noexcept { return FCount; }
  /// Σx / n (0 for no values).
  double Mean() const noexcept { return FCount > 0 ? FSum / static_cast<double>(FCount) : 0.0; }
  /// Σ(x − m)² computed as Σd² − (Σd)²/n with d = x − shift.
  double CentredSquares() const noexcept {
    return FCount > 0 ? FDevSquares - FDevSum * FDevSum / static_cast<double>(FCount) : 0.0;
  }

private:
  int64_t FCount = 0;
  double FShift = 0.0;
  double FSum = 0.0;
  double FDevSum = 0.0;
  double FDevSquares = 0.0;
};

/// The family's variance from n and the centred sum of squares: 1.0 when
/// n ≤ 2, otherwise S/(n − 1) with a negative result replaced by 0.
double FamilyVariance(int64_t n, double CentredSquares) noexcept;

/// Values given as runs: ForEachRun(Visit) calls Visit(value, count) for
/// each run of count equal values in range order. A range of single values
/// is the same as runs of count 1 (same bits).
template <ValueRange R>
auto RunsOf(const R& Values) {
  return [&Values](auto&& Visit) {
    for (const auto& v : Values) {
      Visit(static_cast<double>(v), int64_t{1});
    }
  };
}

/// Mean (Σx/n) and variance by the family's rule, over runs of values.
template <class TForEachRun>
void MeanVarOfRuns(TForEachRun&& ForEachRun, double& Mean, double& Variance) {
  TShiftedSums Sums;
  ForEachRun([&](double x, int64_t Count) { Sums.AddRepeated(x, Count); });
  Mean = Sums.Mean();
  Variance = FamilyVariance(Sums.Count(), Sums.CentredSquares());
}

/// Mean (Σx/n) and variance by the family's rule.
template <ValueRange R>
void MeanVar(const R& Values, double& Mean, double& Variance) {
  MeanVarOfRuns(RunsOf(Values), Mean, Variance);
}

/// Plain running sum in range order, no compensation.
template <ValueRange R>
double SumDouble(const R& Values) {
  double Sum = 0.0;
  for (const auto& v : Values) {
    Sum += static_cast<double>(v);
  }
  return Sum;
}

/// Sum of 32-bit integers that wraps on overflow like the library's integers.
template <std::ranges::forward_range R>
int32_t SumWrapped(const R& Values) {
  int32_t Sum = 0;
  for (const auto& v : Values) {
    Sum = WrapAdd32(Sum, static_cast<int32_t>(v));
  }
  return Sum;
}

/// Skewness, excess kurtosis and the count n. Computed only when
/// n ≥ MinCount (vectors: 4, matrices: 2), else both 0; both 0 when the
/// sample standard deviation is 0. True when the moments were computed.
template <class TForEachRun>
bool SkewKurtOfRuns(TForEachRun&& ForEachRun, int64_t MinCount, double& Skewness, double& Kurtosis,
                    int64_t& NumData) {
  TShiftedSums Sums;
  ForEachRun([&](double x, int64_t Count) { Sums.AddRepeated(x, Count); });
  NumData = Sums.Count();
  Skewness = 0.0;
  Kurtosis = 0.0;
  if (NumData < MinCount || NumData < 2) {
    return false;
  }
  const double n = static_cast<double>(NumData);
  const double Mean = Sums.Mean();
  double SumC = 0.0, SumC2 = 0.0, SumC3 = 0.0, SumC4 = 0.0;
  ForEachRun([&](double x, int64_t Count) {
    // Times the run length; for a single value (Count 1) the plain terms.
    const auto m = static_cast<double>(Count);
    const double c = x - Mean;
    const double c2 = c * c;
    SumC += c * m;
    SumC2 += c2 * m;
    SumC3 += (c2 * c) * m;
    SumC4 += (c2 * c2) * m;
  });
  const double s = std::sqrt(std::max(0.0, (SumC2 - SumC * SumC / n) / (n - 1.0)));
  if (s == 0.0) {
    return false;
  }
  const double s2 = s * s;
  Skewness = (SumC3 / n) / (s2 * s);
  Kurtosis = (SumC4 / n) / (s2 * s2) - 3.0;
  return true;
}

/// SkewKurtOfRuns over a range of single values.
template <ValueRange R>
bool SkewKurtIntern(const R& Values, int64_t MinCount, double& Skewness, double& Kurtosis,
                    int64_t& NumData) {
  return SkewKurtOfRuns(RunsOf(Values), MinCount, Skewness, Kurtosis, NumData);
}

/// Small-sample corrections of the moments SkewKurtIntern computed; both 0
/// when n < 4 or when the moments were not computed (Computed false: too few
/// values or no spread, where the correction would turn 0 into a kurtosis of
/// 26.5 for four equal values).
void SampleCorrection(bool Computed, int64_t NumData, double& Skewness, double& Kurtosis) noexcept;

/// exp(Σ ln x / n); 0 when a value is 0. A negative value raises EError with
/// ComponentMessage(Owner, "\": negative argument passed to " + Name) at once.
template <class EError, ValueRange R>
double GeometricMean(const TComponent& Owner, const std::string& Name, const R& Values) {
  double SumLn = 0.0;
  int64_t n = 0;
  bool HasZero = false;
  for (const auto& v : Values) {
    const double x = static_cast<double>(v);
    if (x < 0.0) {
      throw EError(ComponentMessage(Owner, "\": negative argument passed to " + Name));
    }
    HasZero = HasZero || x == 0.0;
    if (!HasZero) {
      SumLn += std::log(x);
    }
    ++n;
  }
  if (HasZero || n == 0) {
    return 0.0;
  }
  return std::exp(SumLn / static_cast<double>(n));
}

/// n / Σ(1/x). A value ≤ 0 raises EError with
/// ComponentMessage(Owner, "\": negative or zero argument passed to " + Name).
template <class EError, ValueRange R>
double HarmonicMean(const TComponent& Owner, const std::string& Name, const R& Values) {
  double SumInv = 0.0;
  int64_t n = 0;
  for (const auto& v : Values) {
    const double x = static_cast<double>(v);
    if (x <= 0.0) {
      throw EError(ComponentMessage(Owner, "\": negative or zero argument passed to " + Name));
    }
    SumInv += 1.0 / x;
    ++n;
  }
  return n == 0 ? 0.0 : static_cast<double>(n) / SumInv;
}

// ---------------------------------------------------------------- order statistics

/// Interpolating percentile of a copy of the range (prob in percent, clamped
/// to 0..100; NaN gives NaN): pos = (n − 1)·prob/100, x(k+1) + (x(k+2) −
/// x(k+1))·f. The copy is reordered (partial selection, NaN last).
double InterpolatingPercentile(std::span<double> Copy, double prob);

/// Selecting percentile of a copy (prob clamped to 0..100; NaN gives NaN):
/// the value of 0-based rank round(prob·n/100) (ties to even, at most
/// n − 1), found with QuickSelect. NaN values rank last.
double SelectingPercentile(std::span<double> Copy, double prob);

/// Quartiles of a copy (reordered by selection) by the rule pos = (n + 1)·q.
/// All three 0 for an empty copy.
void Quartiles(std::span<double> Copy, double& Q1, double& Q2, double& Q3);

/// The value with the longest run in the sorted copy (sorted in place); the
/// smaller value wins equal runs; x(1) when nothing repeats; 0 when empty.
double Mode(std::span<double> Copy);

// ---------------------------------------------------------------- histograms

/// Counts of a histogram being built: 64-bit while counting, saturated to
/// int32 when written out.
class THistoCounts {
public:
  explicit THistoCounts(int32_t NrBins) : FBins(static_cast<size_t>(NrBins), 0) {}
  void AddToBin(int32_t Bin, int64_t Count) noexcept { FBins[static_cast<size_t>(Bin)] += Count; }
  void AddUnderflow(int64_t Count) noexcept { FUnderflow += Count; }
  void AddOverflow(int64_t Count) noexcept { FOverflow += Count; }
  /// Writes the counts (resizing Histo to the number of bins) and the largest bin.
  void WriteOut(TIntArray& Histo, int32_t& Underflow, int32_t& Overflow, int32_t& MaxCnt) const;
  int32_t NrBins() const noexcept { return static_cast<int32_t>(FBins.size()); }

private:
  std::vector<int64_t> FBins;
  int64_t FUnderflow = 0;
  int64_t FOverflow = 0;
};

/// Where a value falls in a histogram.
enum THistoClass : int8_t { hcBin, hcUnderflow, hcOverflow, hcNowhere };

/// Bins of the double histogram: FirstBin, BinWidth and round(|LastBin −
/// FirstBin|/BinWidth) + 1 bins.
class TDoubleBins {
public:
  /// False for a BinWidth ≤ 0, non-finite arguments, or a bin count (taken
  /// in double before any conversion) that is not finite or above MaxBins
  /// (the array routines allow 1000).
  bool Setup(double FirstBin, double LastBin, double BinWidth, int32_t MaxBins = 500) noexcept;
  int32_t NrBins() const noexcept { return FNrBins; }
  /// v < FirstBin: underflow; v ≥ LastBin + BinWidth or a bin index ≥ the
  /// number of bins: overflow; NaN: nowhere.
  THistoClass Classify(double v, int32_t& Bin) const noexcept;

private:
  double FFirst = 0.0, FLast = 0.0, FWidth = 1.0;
  int32_t FNrBins = 0;
};

/// Bins of the integer histogram, in 64-bit arithmetic: a BinWidth ≤ 0 counts
/// as 1, |LastBin − FirstBin| div BinWidth + 1 bins.
class TIntBins {
public:
  /// False when the bin count is not within 1..500.
  bool Setup(int32_t FirstBin, int32_t LastBin, int32_t BinWidth) noexcept;
  int32_t NrBins() const noexcept { return FNrBins; }
  /// v < FirstBin: underflow; v ≥ LastBin + BinWidth or a bin index ≥ the
  /// number of bins: overflow.
  THistoClass Classify(int64_t v, int32_t& Bin) const noexcept;

private:
  int64_t FFirst = 0, FLast = 0, FWidth = 1;
  int32_t FNrBins = 0;
};

/// Adds Count occurrences of the value v to Counts according to Bins.
template <class TBins, class TValue>
void CountValue(const TBins& Bins, TValue v, int64_t Count, THistoCounts& Counts) noexcept {
  int32_t Bin = 0;
  switch (Bins.Classify(v, Bin)) {
    case hcBin: Counts.AddToBin(Bin, Count); break;
    case hcUnderflow: Counts.AddUnderflow(Count); break;
    case hcOverflow: Counts.AddOverflow(Count); break;
    case hcNowhere: break;
  }
}

}  // namespace vexa::statcore
