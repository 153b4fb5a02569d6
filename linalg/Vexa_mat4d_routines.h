#pragma once
/// @file
/// Free copy routines between plain arrays and matrices that go with the
/// 3-D and 4-D matrices: a layer of a [column][row][layer] array into a
/// matrix or a 2-D array, and a rectangle of a matrix into a 2-D array.
///
/// The destination is resized to the rectangle and receives all of it.
/// Array indices are 0-based, matrix indices 1-based; a range is given as
/// (Low, High) per axis and is not made valid: a reversed pair, an index
/// outside the source, a ragged source array or a nullptr do nothing (the
/// destination is left as it was).
///
/// @code
/// vexa::TDouble3DArray stack = ...;             // [column][row][layer]
/// vexa::TDouble2DArray slice;
/// vexa::CopyArr3DLayerToArr2D(stack, slice, 0, 9, 0, 4, 2);  // 10 × 5 of layer 2
/// @endcode

#include <cstdint>

#include "fundora/Vexa_vexabase.h"
#include "linalg/Vexa_matrix.h"

namespace vexa {

/// DestMat := Arr3D[LowCol..HighCol][LowRow..HighRow][Layer] (0-based),
/// resized to the rectangle (its own events when the size changes) and
/// written through its element setter (OnChange per cell).
void CopyArr3DLayerToMatrix(const TDouble3DArray& Arr3D, TMatrix* DestMat, int32_t LowCol, int32_t HighCol,
                            int32_t LowRow, int32_t HighRow, int32_t Layer);
/// Arr2D := the cells (LowCol..HighCol, LowRow..HighRow) of Mat (1-based),
/// as [column][row] from 0.
void CopyMatrixToArray(const TMatrix* Mat, TDouble2DArray& Arr2D, int32_t LowCol, int32_t HighCol,
                       int32_t LowRow, int32_t HighRow);
/// Arr2D := Arr3D[LowCol..HighCol][LowRow..HighRow][Layer] (0-based), as
/// [column][row] from 0.
void CopyArr3DLayerToArr2D(const TDouble3DArray& Arr3D, TDouble2DArray& Arr2D, int32_t LowCol, int32_t HighCol,
                           int32_t LowRow, int32_t HighRow, int32_t Layer);

}  // namespace vexa
