// TMat3D: search and descriptive statistics over a box of cells, on the
// shared rules of the statistics family (foundation/internal/Vexa_statcore.h).

#include <cmath>
#include <cstdint>
#include <vector>

#include "foundation/internal/Vexa_statcore.h"
#include "fundora/Vexa_univconst.h"
#include "linalg/Vexa_mat3d.h"
#include "linalg/internal/Vexa_mat3d_detail.h"
#include "platform/Vexa_random.h"

namespace vexa {

namespace {

using mat3d_detail::TBoxAxis;
using TBox3D = std::array<TBoxAxis, 3>;

/// The validated box of a 3-D matrix, axes outermost first (column, row,
/// layer: the layer is contiguous).
TBox3D ValidBox(const TMat3D& m, int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                int32_t LowLayer, int32_t HighLayer) {
  m.MakeValidColRange(LowCol, HighCol);
  m.MakeValidRowRange(LowRow, HighRow);
  m.MakeValidLayerRange(LowLayer, HighLayer);
  const auto Layers = static_cast<size_t>(m.NrOfLayers());
  return {mat3d_detail::BoxAxis(LowCol, HighCol, Layers * static_cast<size_t>(m.NrOfRows())),
          mat3d_detail::BoxAxis(LowRow, HighRow, Layers), mat3d_detail::BoxAxis(LowLayer, HighLayer, 1)};
}

/// The cells of a box in storage order, as a guarded copy.
std::vector<double> BoxCopy(const TMat3D& m, const TBox3D& Box) {
  std::vector<double> Copy =
      NewFlatStorage<EVexaMatrixError, double>(m, {static_cast<int64_t>(mat3d_detail::BoxCount(Box))});
  const std::span<const double> Cells = m.Data();
  size_t Next = 0;
  mat3d_detail::ForEachInBox(Box, [&](size_t Offset) { Copy[Next++] = Cells[Offset]; });
  return Copy;
}

}  // namespace

void TMat3D::Find(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, int32_t LowLayer,
                  int32_t HighLayer, double Value, int32_t& ColIx, int32_t& RowIx, int32_t& LayerIx) const {
  MakeValidColRange(LowCol, HighCol);
  MakeValidRowRange(LowRow, HighRow);
  MakeValidLayerRange(LowLayer, HighLayer);
  ColIx = LowCol;
  RowIx = LowRow;
  LayerIx = LowLayer;
  mat3d_detail::TClosest Closest;
  for (int32_t c = LowCol; c <= HighCol; ++c) {
    for (int32_t r = LowRow; r <= HighRow; ++r) {
      for (int32_t l = LowLayer; l <= HighLayer; ++l) {
        if (Closest.Offer(std::fabs(FData[CellIndex(c, r, l)] - Value))) {
          ColIx = c;
          RowIx = r;
          LayerIx = l;
        }
      }
    }
  }
}

void TMat3D::MinMax(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, int32_t LowLayer,
                    int32_t HighLayer, double& Minimum, double& Maximum) const {
  Minimum = uc_MaxReal;
  Maximum = -uc_MaxReal;
  mat3d_detail::ForEachInBox(ValidBox(*this, LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer),
                             [&](size_t Offset) {
                               const double x = FData[Offset];
                               if (x < Minimum) {
                                 Minimum = x;
                               }
                               if (x > Maximum) {
                                 Maximum = x;
                               }
                             });
}

void TMat3D::MeanVar(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, int32_t LowLayer,
                     int32_t HighLayer, double& Mean, double& Variance) const {
  const TBox3D Box = ValidBox(*this, LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer);
  mat3d_detail::TProgressTicker Progress(mat3d_detail::BoxCount(Box));
  statcore::TShiftedSums Sums;
  mat3d_detail::ForEachInBox(Box, [&](size_t Offset) {
    Sums.Add(FData[Offset]);
    Progress.Tick();
  });
  Mean = Sums.Mean();
  Variance = statcore::FamilyVariance(Sums.Count(), Sums.CentredSquares());
}

double TMat3D::Percentile(double prob, int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                          int32_t LowLayer, int32_t HighLayer) const {
  std::vector<double> Copy = BoxCopy(*this, ValidBox(*this, LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer));
  return statcore::SelectingPercentile(Copy, prob);
}

double TMat3D::Percentile(double prob, int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                          int32_t LowLayer, int32_t HighLayer, int32_t SampleSize) const {
  MakeValidColRange(LowCol, HighCol);
  MakeValidRowRange(LowRow, HighRow);
  MakeValidLayerRange(LowLayer, HighLayer);
  const int32_t Width = HighCol - LowCol + 1;
  const int32_t Height = HighRow - LowRow + 1;
  const int32_t Depth = HighLayer - LowLayer + 1;
  const int64_t n = int64_t{Width} * Height * Depth;  // at most the cells of an existing buffer
  if (SampleSize <= 0 || SampleSize >= n || std::isnan(prob)) {
    return Percentile(prob, LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer);
  }
  std::vector<double> Sample = NewFlatStorage<EVexaMatrixError, double>(*this, {SampleSize});
  Randomize();
  for (double& x : Sample) {
    const int32_t c = LowCol + Random(Width);
    const int32_t r = LowRow + Random(Height);
    const int32_t l = LowLayer + Random(Depth);
    x = FData[CellIndex(c, r, l)];
  }
  return statcore::SelectingPercentile(Sample, prob);
}

}  // namespace vexa
