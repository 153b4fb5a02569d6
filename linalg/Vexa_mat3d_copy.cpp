// Copies between a layer of a TMat3D and a TMatrix, in both directions
// (TMat3D::CopyLayerToMatrix, TMat3D::CopyMatrixToLayer,
// TMatrix::CopyFrom of a layer).

#include <algorithm>
#include <cstdint>
#include <utility>

#include "linalg/Vexa_mat3d.h"
#include "linalg/Vexa_matrix.h"

namespace vexa {

void TMat3D::CopyLayerToMatrix(TMatrix* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                               int32_t HighRow, int32_t Layer) const {
  if (DestMat == nullptr) {
    return;
  }
  CheckLayerInRange(*this, Layer, FNumZ);
  MakeValidColRange(LowCol, HighCol);
  MakeValidRowRange(LowRow, HighRow);
  DestMat->Resize(HighCol - LowCol + 1, HighRow - LowRow + 1);
  for (int32_t c = LowCol; c <= HighCol; ++c) {
    for (int32_t r = LowRow; r <= HighRow; ++r) {
      DestMat->SetElem(c - LowCol + 1, r - LowRow + 1, FData[CellIndex(c, r, Layer)]);
    }
  }
}

void TMat3D::CopyMatrixToLayer(const TMatrix* SrcMat, int32_t SrcLowCol, int32_t SrcHighCol, int32_t SrcLowRow,
                               int32_t SrcHighRow, int32_t Layer, int32_t LayLowCol, int32_t LayLowRow) {
  if (SrcMat == nullptr) {
    return;
  }
  CheckLayerInRange(*this, Layer, FNumZ);
  SrcMat->MakeValidColRange(SrcLowCol, SrcHighCol);
  SrcMat->MakeValidRowRange(SrcLowRow, SrcHighRow);
  for (int32_t c = SrcLowCol; c <= SrcHighCol; ++c) {
    const int64_t DestCol = int64_t{LayLowCol} + (c - SrcLowCol);
    for (int32_t r = SrcLowRow; r <= SrcHighRow; ++r) {
      const int64_t DestRow = int64_t{LayLowRow} + (r - SrcLowRow);
      if (DestCol >= 1 && DestCol <= FNumX && DestRow >= 1 && DestRow <= FNumY) {
        SetElem(static_cast<int32_t>(DestCol), static_cast<int32_t>(DestRow), Layer, SrcMat->Elem(c, r));
      }
    }
  }
  Changed();
}

void TMatrix::CopyFrom(const TMat3D* MatSource, int32_t SourceColLo, int32_t SourceRowLo, int32_t SourceColHi,
                       int32_t SourceRowHi, int32_t SourceLayer, int32_t DestCol, int32_t DestRow) {
  if (MatSource == nullptr) {
    return;
  }
  // The layer is clamped into the source like the corners.
  const int32_t Layer = std::clamp(SourceLayer, 1, MatSource->NrOfLayers());
  const int32_t SrcCols = MatSource->NrOfColumns();
  const int32_t SrcRows = MatSource->NrOfRows();
  int32_t ColLo = std::clamp(SourceColLo, 1, SrcCols);
  int32_t ColHi = std::clamp(SourceColHi, 1, SrcCols);
  int32_t RowLo = std::clamp(SourceRowLo, 1, SrcRows);
  int32_t RowHi = std::clamp(SourceRowHi, 1, SrcRows);
  if (ColLo > ColHi) {
    std::swap(ColLo, ColHi);
  }
  if (RowLo > RowHi) {
    std::swap(RowLo, RowHi);
  }
  for (int32_t c = ColLo; c <= ColHi; ++c) {
    const int64_t Dc = int64_t{DestCol} + (c - ColLo);
    for (int32_t r = RowLo; r <= RowHi; ++r) {
      const int64_t Dr = int64_t{DestRow} + (r - RowLo);
      if (Dc >= 1 && Dc <= FNCol && Dr >= 1 && Dr <= FNRow) {
        SetElem(static_cast<int32_t>(Dc), static_cast<int32_t>(Dr), MatSource->Elem(c, r, Layer));
      }
    }
  }
  Changed();
}

}  // namespace vexa
