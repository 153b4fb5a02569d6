// The rules of the descriptive-statistics family that need no template.

#include "foundation/internal/Vexa_statcore.h"

#include "foundation/Vexa_math1.h"

namespace vexa::statcore {

namespace {

/// Largest number of bins a histogram may have.
constexpr int32_t kMaxHistoBins = 500;

/// prob clamped to 0..100; NaN stays NaN.
double ClampPercent(double prob) noexcept {
  if (std::isnan(prob)) {
    return prob;
  }
  return std::clamp(prob, 0.0, 100.0);
}

/// Lower + (Upper − Lower)·f without the NaN that Inf − Inf or Inf·0 would give
/// when the two neighbours are equal or f is 0.
double Interpolate(double Lower, double Upper, double f) noexcept {
  if (f == 0.0 || Lower == Upper) {
    return Lower;
  }
  return Lower + (Upper - Lower) * f;
}

/// Moves the NaNs to the end; returns the number of other values.
size_t PartitionNaNLast(std::span<double> Values) {
  const auto FirstNaN =
      std::stable_partition(Values.begin(), Values.end(), [](double v) { return !std::isnan(v); });
  return static_cast<size_t>(FirstNaN - Values.begin());
}

/// Order statistics of a copy by successive selection, for ranks asked in
/// non-decreasing order: after selecting rank k everything behind it is
/// not smaller, so the next selection only needs the part behind k. Gives
/// the values a full sort would give, in linear expected time.
class TRankSelector {
public:
  explicit TRankSelector(std::span<double> Copy) : FCopy(Copy) {}
  /// The value of 0-based rank k (k below the previous rank is not allowed).
  double Rank(size_t k) {
    if (k >= FNext) {
      std::nth_element(FCopy.begin() + static_cast<ptrdiff_t>(FNext), FCopy.begin() + static_cast<ptrdiff_t>(k),
                       FCopy.end(), TNaNLastLess{});
      FNext = k + 1;
    }
    return FCopy[k];
  }

private:
  std::span<double> FCopy;
  size_t FNext = 0;  // ranks below this are in place
};

int32_t SaturateToInt32(int64_t Count) noexcept {
  return static_cast<int32_t>(std::min<int64_t>(Count, INT32_MAX));
}

}  // namespace

void SortNaNLast(std::span<double> Values) {
  std::sort(Values.begin(), Values.end(), TNaNLastLess{});
}

double FamilyVariance(int64_t n, double CentredSquares) noexcept {
  if (n <= 2) {
    return 1.0;
  }
  const double Variance = CentredSquares / static_cast<double>(n - 1);
  return Variance < 0.0 ? 0.0 : Variance;
}

void SampleCorrection(bool Computed, int64_t NumData, double& Skewness, double& Kurtosis) noexcept {
  if (!Computed || NumData < 4) {
    Skewness = 0.0;
    Kurtosis = 0.0;
    return;
  }
  const double n = static_cast<double>(NumData);
  Skewness = Skewness * n * n / ((n - 1.0) * (n - 2.0));
  Kurtosis = (Kurtosis + 3.0) * n * n * (n + 1.0) / ((n - 1.0) * (n - 2.0) * (n - 3.0)) -
             3.0 * (n - 1.0) * (n - 1.0) / ((n - 2.0) * (n - 3.0));
}

double InterpolatingPercentile(std::span<double> Copy, double prob) {
  prob = ClampPercent(prob);
  const size_t n = Copy.size();
  if (std::isnan(prob) || n == 0) {
    return n == 0 ? 0.0 : prob;
  }
  if (n == 1) {
    return Copy[0];
  }
  if (prob == 100.0) {
    return *std::max_element(Copy.begin(), Copy.end(), TNaNLastLess{});
  }
  const double Pos = static_cast<double>(n - 1) * prob / 100.0;
  const double Floor = std::floor(Pos);
  const auto k = static_cast<size_t>(Floor);  // 0 <= Pos < n - 1
  const double f = Pos - Floor;
  // Selection gives the same two order statistics as a full sort.
  std::nth_element(Copy.begin(), Copy.begin() + static_cast<ptrdiff_t>(k), Copy.end(), TNaNLastLess{});
  const double Lower = Copy[k];
  const double Upper =
      *std::min_element(Copy.begin() + static_cast<ptrdiff_t>(k + 1), Copy.end(), TNaNLastLess{});
  return Interpolate(Lower, Upper, f);
}

double SelectingPercentile(std::span<double> Copy, double prob) {
  prob = ClampPercent(prob);
  const size_t n = Copy.size();
  if (std::isnan(prob) || n == 0) {
    return n == 0 ? 0.0 : prob;
  }
  const int64_t Rank = std::min<int64_t>(
      RoundToInt64(prob * static_cast<double>(n) / 100.0), static_cast<int64_t>(n) - 1);
  const size_t Numbers = PartitionNaNLast(Copy);
  if (static_cast<size_t>(Rank) >= Numbers) {
    return std::numeric_limits<double>::quiet_NaN();
  }
  if (Numbers <= static_cast<size_t>(INT32_MAX)) {
    return QuickSelect(Copy.first(Numbers), static_cast<int32_t>(Rank), 0,
                       static_cast<int32_t>(Numbers) - 1);
  }
  // Beyond the index range of QuickSelect.
  std::nth_element(Copy.begin(), Copy.begin() + Rank, Copy.begin() + static_cast<ptrdiff_t>(Numbers));
  return Copy[static_cast<size_t>(Rank)];
}

void Quartiles(std::span<double> Copy, double& Q1, double& Q2, double& Q3) {
  const size_t n = Copy.size();
  if (n == 0) {
    Q1 = Q2 = Q3 = 0.0;
    return;
  }
  TRankSelector Sorted(Copy);
  // x(k) + (x(k+1) − x(k))·f at pos = (n + 1)·q, with x(1) and x(n) at the ends.
  auto Quartile = [&](double q) {
    const double Pos = static_cast<double>(n + 1) * q;
    const double Floor = std::floor(Pos);
    const auto k = static_cast<size_t>(Floor);
    if (k == 0) {
      return Sorted.Rank(0);
    }
    if (k >= n) {
      return Sorted.Rank(n - 1);
    }
    const double Lower = Sorted.Rank(k - 1);
    return Interpolate(Lower, Sorted.Rank(k), Pos - Floor);
  };
  Q1 = Quartile(0.25);
  Q2 = Quartile(0.5);
  Q3 = Quartile(0.75);
}

double Mode(std::span<double> Copy) {
  if (Copy.empty()) {
    return 0.0;
  }
  SortNaNLast(Copy);
  double Best = Copy[0];
  size_t BestRun = 1;
  size_t RunStart = 0;
  for (size_t i = 1; i <= Copy.size(); ++i) {
    if (i < Copy.size() && Copy[i] == Copy[RunStart]) {
      continue;
    }
    // Strictly longer only: on equal runs the smaller (earlier) value stays.
    if (i - RunStart > BestRun) {
      BestRun = i - RunStart;
      Best = Copy[RunStart];
    }
    RunStart = i;
  }
  return Best;
}

void THistoCounts::WriteOut(TIntArray& Histo, int32_t& Underflow, int32_t& Overflow,
                            int32_t& MaxCnt) const {
  TIntArray Counts(FBins.size());
  int32_t Max = 0;
  for (size_t i = 0; i < FBins.size(); ++i) {
    Counts[i] = SaturateToInt32(FBins[i]);
    Max = std::max(Max, Counts[i]);
  }
  Histo.swap(Counts);
  Underflow = SaturateToInt32(FUnderflow);
  Overflow = SaturateToInt32(FOverflow);
  MaxCnt = Max;
}

bool TDoubleBins::Setup(double FirstBin, double LastBin, double BinWidth, int32_t MaxBins) noexcept {
  if (!std::isfinite(FirstBin) || !std::isfinite(LastBin) || !std::isfinite(BinWidth) ||
      BinWidth <= 0.0) {
    return false;
  }
  const double Count = RoundHalfEven(std::fabs(LastBin - FirstBin) / BinWidth) + 1.0;
  if (!std::isfinite(Count) || Count > MaxBins) {
    return false;
  }
  FFirst = FirstBin;
  FLast = LastBin;
  FWidth = BinWidth;
  FNrBins = static_cast<int32_t>(Count);  // 1..MaxBins
  return true;
}

THistoClass TDoubleBins::Classify(double v, int32_t& Bin) const noexcept {
  if (std::isnan(v)) {
    return hcNowhere;
  }
  if (v < FFirst) {
    return hcUnderflow;
  }
  if (v >= FLast + FWidth) {
    return hcOverflow;
  }
  const double Index = std::floor((v - FFirst) / FWidth);
  // A bin span that is not a whole multiple of the width can reach past the last bin.
  if (!(Index < static_cast<double>(FNrBins))) {
    return hcOverflow;
  }
  Bin = static_cast<int32_t>(Index);
  return hcBin;
}

bool TIntBins::Setup(int32_t FirstBin, int32_t LastBin, int32_t BinWidth) noexcept {
  const int64_t Width = BinWidth <= 0 ? 1 : BinWidth;
  const int64_t Span = static_cast<int64_t>(LastBin) - FirstBin;
  const int64_t Count = (Span < 0 ? -Span : Span) / Width + 1;
  if (Count <= 0 || Count > kMaxHistoBins) {
    return false;
  }
  FFirst = FirstBin;
  FLast = LastBin;
  FWidth = Width;
  FNrBins = static_cast<int32_t>(Count);
  return true;
}

THistoClass TIntBins::Classify(int64_t v, int32_t& Bin) const noexcept {
  if (v < FFirst) {
    return hcUnderflow;
  }
  if (v >= FLast + FWidth) {
    return hcOverflow;
  }
  const int64_t Index = (v - FFirst) / FWidth;
  if (Index >= FNrBins) {
    return hcOverflow;
  }
  Bin = static_cast<int32_t>(Index);
  return hcBin;
}

}  // namespace vexa::statcore
