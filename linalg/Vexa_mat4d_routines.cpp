// Free copy routines between [column][row][layer] arrays, matrices and
// [column][row] arrays.

#include "linalg/Vexa_mat4d_routines.h"

#include <utility>

#include "arrays/internal/Vexa_arraycore.h"

namespace vexa {

namespace {

/// True when Low ≤ High and both lie within 0 … Count − 1.
bool IsRangeInside(int64_t Low, int64_t High, int64_t Count) noexcept {
  return Low >= 0 && Low <= High && High < Count;
}

/// The rectangle and layer of a rectangular 3-D array to copy, or false when
/// the array is ragged or an index lies outside it or a pair is reversed.
bool IsLayerRectInside(const TDouble3DArray& Arr3D, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                       int32_t HighRow, int32_t Layer) {
  arraycore::TShape<3> Shape{};
  return arraycore::TryShape(Arr3D, Shape) && IsRangeInside(LowCol, HighCol, Shape[0]) &&
         IsRangeInside(LowRow, HighRow, Shape[1]) && IsRangeInside(Layer, Layer, Shape[2]);
}

/// Number of indices Low … High (Low ≤ High), in 64 bits.
int64_t Span(int32_t Low, int32_t High) noexcept { return static_cast<int64_t>(High) - Low + 1; }

}  // namespace

void CopyArr3DLayerToMatrix(const TDouble3DArray& Arr3D, TMatrix* DestMat, int32_t LowCol, int32_t HighCol,
                            int32_t LowRow, int32_t HighRow, int32_t Layer) {
  if (DestMat == nullptr || !IsLayerRectInside(Arr3D, LowCol, HighCol, LowRow, HighRow, Layer)) {
    return;
  }
  // The rectangle lies inside an existing array, so each side fits into int32.
  DestMat->Resize(static_cast<int32_t>(Span(LowCol, HighCol)), static_cast<int32_t>(Span(LowRow, HighRow)));
  const auto l = static_cast<size_t>(Layer);
  for (int32_t c = LowCol; c <= HighCol; ++c) {
    const TDouble2DArray& Column = Arr3D[static_cast<size_t>(c)];
    for (int32_t r = LowRow; r <= HighRow; ++r) {
      DestMat->SetElem(c - LowCol + 1, r - LowRow + 1, Column[static_cast<size_t>(r)][l]);
    }
  }
}

void CopyMatrixToArray(const TMatrix* Mat, TDouble2DArray& Arr2D, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                       int32_t HighRow) {
  if (Mat == nullptr || !IsRangeInside(int64_t{LowCol} - 1, int64_t{HighCol} - 1, Mat->NrOfColumns()) ||
      !IsRangeInside(int64_t{LowRow} - 1, int64_t{HighRow} - 1, Mat->NrOfRows())) {
    return;
  }
  auto Result =
      arraycore::NewArray<TDouble2DArray>("CopyMatrixToArray", {Span(LowCol, HighCol), Span(LowRow, HighRow)});
  for (int32_t c = LowCol; c <= HighCol; ++c) {
    TDoubleArray& Column = Result[static_cast<size_t>(c - LowCol)];
    for (int32_t r = LowRow; r <= HighRow; ++r) {
      Column[static_cast<size_t>(r - LowRow)] = Mat->Elem(c, r);
    }
  }
  Arr2D = std::move(Result);
}

void CopyArr3DLayerToArr2D(const TDouble3DArray& Arr3D, TDouble2DArray& Arr2D, int32_t LowCol, int32_t HighCol,
                           int32_t LowRow, int32_t HighRow, int32_t Layer) {
  if (!IsLayerRectInside(Arr3D, LowCol, HighCol, LowRow, HighRow, Layer)) {
    return;
  }
  auto Result =
      arraycore::NewArray<TDouble2DArray>("CopyArr3DLayerToArr2D", {Span(LowCol, HighCol), Span(LowRow, HighRow)});
  const auto l = static_cast<size_t>(Layer);
  for (int32_t c = LowCol; c <= HighCol; ++c) {
    const TDouble2DArray& Column = Arr3D[static_cast<size_t>(c)];
    for (int32_t r = LowRow; r <= HighRow; ++r) {
      Result[static_cast<size_t>(c - LowCol)][static_cast<size_t>(r - LowRow)] = Column[static_cast<size_t>(r)][l];
    }
  }
  Arr2D = std::move(Result);
}

}  // namespace vexa
