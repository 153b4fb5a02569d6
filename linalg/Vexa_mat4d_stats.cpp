// TMat4D: search and descriptive statistics over a box of cells, on the
// shared rules of the statistics family (foundation/internal/Vexa_statcore.h).

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include "foundation/Vexa_math1.h"
#include "foundation/internal/Vexa_statcore.h"
#include "fundora/Vexa_univconst.h"
#include "linalg/Vexa_mat4d.h"
#include "linalg/internal/Vexa_mat3d_detail.h"
#include "platform/Vexa_intmath.h"
#include "platform/Vexa_random.h"

namespace vexa {

namespace {

using mat3d_detail::TBoxAxis;
using TBox4D = std::array<TBoxAxis, 4>;

/// Number of cells drawn to guess the abundant (background) value.
constexpr int32_t kAbundantProbes = 15;
/// Occurrences among the probes that make a value abundant.
constexpr int32_t kAbundantMinCount = 7;

/// The ranges of a box, validated in place.
struct TRanges4D {
  int32_t LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer, LowSlot, HighSlot;

  void Validate(const TMat4D& m) {
    m.MakeValidColRange(LowCol, HighCol);
    m.MakeValidRowRange(LowRow, HighRow);
    m.MakeValidLayerRange(LowLayer, HighLayer);
    m.MakeValidTSlotRange(LowSlot, HighSlot);
  }
  /// The box, axes outermost first (time slot, layer, row, column: the column is contiguous).
  TBox4D Box(const TMat4D& m) const {
    const auto Row = static_cast<size_t>(m.NrOfColumns());
    const auto Layer = Row * static_cast<size_t>(m.NrOfRows());
    const auto Slot = Layer * static_cast<size_t>(m.NrOfLayers());
    return {mat3d_detail::BoxAxis(LowSlot, HighSlot, Slot), mat3d_detail::BoxAxis(LowLayer, HighLayer, Layer),
            mat3d_detail::BoxAxis(LowRow, HighRow, Row), mat3d_detail::BoxAxis(LowCol, HighCol, 1)};
  }
  /// Index of a uniformly drawn cell of the box (column, row, layer, time slot in that order).
  size_t RandomCell(const TMat4D& m) const {
    const int32_t c = LowCol + Random(HighCol - LowCol + 1);
    const int32_t r = LowRow + Random(HighRow - LowRow + 1);
    const int32_t l = LowLayer + Random(HighLayer - LowLayer + 1);
    const int32_t t = LowSlot + Random(HighSlot - LowSlot + 1);
    return m.CellIndex(c, r, l, t);
  }
};

TBox4D ValidBox(const TMat4D& m, TRanges4D Ranges) {
  Ranges.Validate(m);
  return Ranges.Box(m);
}

/// The cells of a box in storage order, as a guarded copy.
std::vector<double> BoxCopy(const TMat4D& m, const TBox4D& Box) {
  std::vector<double> Copy =
      NewFlatStorage<EVexaMatrixError, double>(m, {static_cast<int64_t>(mat3d_detail::BoxCount(Box))});
  const std::span<const double> Cells = m.Data();
  size_t Next = 0;
  mat3d_detail::ForEachInBox(Box, [&](size_t Offset) { Copy[Next++] = Cells[Offset]; });
  return Copy;
}

/// SampleSize cells drawn with replacement after re-seeding the generator.
std::vector<double> RandomSample(const TMat4D& m, const TRanges4D& Ranges, int32_t SampleSize) {
  std::vector<double> Sample = NewFlatStorage<EVexaMatrixError, double>(m, {SampleSize});
  Randomize();
  const std::span<const double> Cells = m.Data();
  for (double& x : Sample) {
    x = Cells[Ranges.RandomCell(m)];
  }
  return Sample;
}

/// The abundant value of a few drawn cells: the first that occurs at least
/// kAbundantMinCount times among them, else their smallest.
double GuessAbundantValue(const std::array<double, kAbundantProbes>& Probes) {
  for (const double x : Probes) {
    if (std::count(Probes.begin(), Probes.end(), x) >= kAbundantMinCount) {
      return x;
    }
  }
  return *std::min_element(Probes.begin(), Probes.end(), statcore::TNaNLastLess());
}

/// Rank round(prob·n/100) (ties to even), limited to 0 … n − 1; prob clamped to 0 … 100.
int64_t SelectionRank(double prob, size_t n) {
  const double Percent = std::clamp(prob, 0.0, 100.0);
  return std::min<int64_t>(RoundToInt64(Percent * static_cast<double>(n) / 100.0), static_cast<int64_t>(n) - 1);
}

}  // namespace

void TMat4D::Find(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, int32_t LowLayer,
                  int32_t HighLayer, int32_t LowTimeSlot, int32_t HighTimeSlot, double Value, int32_t& ColIx,
                  int32_t& RowIx, int32_t& LayerIx, int32_t& TimeSlotIx) const {
  TRanges4D R{LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer, LowTimeSlot, HighTimeSlot};
  R.Validate(*this);
  ColIx = R.LowCol;
  RowIx = R.LowRow;
  LayerIx = R.LowLayer;
  TimeSlotIx = R.LowSlot;
  mat3d_detail::TClosest Closest;
  for (int32_t t = R.LowSlot; t <= R.HighSlot; ++t) {
    for (int32_t l = R.LowLayer; l <= R.HighLayer; ++l) {
      for (int32_t r = R.LowRow; r <= R.HighRow; ++r) {
        for (int32_t c = R.LowCol; c <= R.HighCol; ++c) {
          if (Closest.Offer(std::fabs(FData[CellIndex(c, r, l, t)] - Value))) {
            ColIx = c;
            RowIx = r;
            LayerIx = l;
            TimeSlotIx = t;
          }
        }
      }
    }
  }
}

void TMat4D::MinMax(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, int32_t LowLayer,
                    int32_t HighLayer, int32_t LowTimeSlot, int32_t HighTimeSlot, double& Minimum,
                    double& Maximum) const {
  Minimum = uc_MaxReal;
  Maximum = -uc_MaxReal;
  const TBox4D Box = ValidBox(*this, {LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer, LowTimeSlot, HighTimeSlot});
  mat3d_detail::ForEachInBox(Box, [&](size_t Offset) {
    const double x = FData[Offset];
    if (x < Minimum) {
      Minimum = x;
    }
    if (x > Maximum) {
      Maximum = x;
    }
  });
}

void TMat4D::MeanVar(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, int32_t LowLayer,
                     int32_t HighLayer, int32_t LowTimeSlot, int32_t HighTimeSlot, double& Mean,
                     double& Variance) const {
  const TBox4D Box = ValidBox(*this, {LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer, LowTimeSlot, HighTimeSlot});
  mat3d_detail::TProgressTicker Progress(mat3d_detail::BoxCount(Box));
  statcore::TShiftedSums Sums;
  mat3d_detail::ForEachInBox(Box, [&](size_t Offset) {
    Sums.Add(FData[Offset]);
    Progress.Tick();
  });
  Mean = Sums.Mean();
  Variance = statcore::FamilyVariance(Sums.Count(), Sums.CentredSquares());
}

double TMat4D::Sum(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, int32_t LowLayer,
                   int32_t HighLayer, int32_t LowTimeSlot, int32_t HighTimeSlot) const {
  const TBox4D Box = ValidBox(*this, {LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer, LowTimeSlot, HighTimeSlot});
  double Total = 0.0;
  mat3d_detail::ForEachInBox(Box, [&](size_t Offset) { Total += FData[Offset]; });
  return Total;
}

double TMat4D::SquaredSum(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, int32_t LowLayer,
                          int32_t HighLayer, int32_t LowTimeSlot, int32_t HighTimeSlot) const {
  const TBox4D Box = ValidBox(*this, {LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer, LowTimeSlot, HighTimeSlot});
  double Total = 0.0;
  mat3d_detail::ForEachInBox(Box, [&](size_t Offset) { Total += FData[Offset] * FData[Offset]; });
  return Total;
}

int32_t TMat4D::CountValues(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, int32_t LowLayer,
                            int32_t HighLayer, int32_t LowTimeSlot, int32_t HighTimeSlot, double RangeLow,
                            double RangeHigh) const {
  const TBox4D Box = ValidBox(*this, {LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer, LowTimeSlot, HighTimeSlot});
  int64_t Count = 0;
  mat3d_detail::ForEachInBox(Box, [&](size_t Offset) {
    Count += RangeLow <= FData[Offset] && FData[Offset] <= RangeHigh ? 1 : 0;
  });
  // A matrix may hold more than 2^31 − 1 cells: the count saturates.
  return static_cast<int32_t>(std::min<int64_t>(Count, INT32_MAX));
}

// ---------------------------------------------------------------- percentiles

double TMat4D::Percentile(double prob, int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                          int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot, int32_t HighTimeSlot) const {
  TRanges4D R{LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer, LowTimeSlot, HighTimeSlot};
  R.Validate(*this);
  if (std::isnan(prob)) {
    return prob;
  }
  // Guess the background value from a few cells (the generator is not re-seeded).
  std::array<double, kAbundantProbes> Probes;
  for (double& x : Probes) {
    x = FData[R.RandomCell(*this)];
  }
  const double Abundant = GuessAbundantValue(Probes);
  std::vector<double> Copy = BoxCopy(*this, R.Box(*this));
  const auto Equal = static_cast<int64_t>(std::count(Copy.begin(), Copy.end(), Abundant));
  // Ranks below the count of the background value give the value itself
  // (meant for data where it is the smallest).
  if (SelectionRank(prob, Copy.size()) < Equal) {
    return Abundant;
  }
  return statcore::SelectingPercentile(Copy, prob);
}

double TMat4D::Percentile(double prob, int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                          int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot, int32_t HighTimeSlot,
                          int32_t SampleSize) const {
  TRanges4D R{LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer, LowTimeSlot, HighTimeSlot};
  R.Validate(*this);
  const TBox4D Box = R.Box(*this);
  if (SampleSize <= 0 || static_cast<uint64_t>(SampleSize) >= mat3d_detail::BoxCount(Box) || std::isnan(prob)) {
    std::vector<double> Copy = BoxCopy(*this, Box);
    return statcore::SelectingPercentile(Copy, prob);
  }
  std::vector<double> Sample = RandomSample(*this, R, SampleSize);
  return statcore::SelectingPercentile(Sample, prob);
}

double TMat4D::Percentile(double prob, int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                          int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot, int32_t HighTimeSlot,
                          int32_t SampleSize, double AbundantVal) const {
  TRanges4D R{LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer, LowTimeSlot, HighTimeSlot};
  R.Validate(*this);
  if (std::isnan(prob)) {
    return prob;
  }
  const TBox4D Box = R.Box(*this);
  const bool Sampled = SampleSize > 0 && static_cast<uint64_t>(SampleSize) < mat3d_detail::BoxCount(Box);
  std::vector<double> Values = Sampled ? RandomSample(*this, R, SampleSize) : BoxCopy(*this, Box);
  const int64_t Rank = SelectionRank(prob, Values.size());
  if (Values.size() <= static_cast<size_t>(INT32_MAX)) {
    return QuickSelect(std::span<const double>(Values), static_cast<int32_t>(Rank), 0,
                       static_cast<int32_t>(Values.size()) - 1, AbundantVal);
  }
  // Beyond the index range of QuickSelect: the plain selection of the same rank.
  return statcore::SelectingPercentile(Values, prob);
}

}  // namespace vexa
