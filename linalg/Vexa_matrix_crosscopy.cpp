// TMatrix: copies from the other matrix classes.

#include "linalg/internal/Vexa_matrix_detail.h"

namespace vexa {

void TMatrix::CopyFrom(const TIntMatrix* MatSource, int32_t SourceColLo, int32_t SourceRowLo,
                       int32_t SourceColHi, int32_t SourceRowHi, int32_t DestCol, int32_t DestRow) {
  // A sparse integer matrix without cells (created empty) has nothing to give.
  if (MatSource == nullptr || MatSource->NrOfColumns() < 1 || MatSource->NrOfRows() < 1) {
    return;
  }
  CopyFromMatrix(MatSource, SourceColLo, SourceRowLo, SourceColHi, SourceRowHi, DestCol, DestRow);
}

}  // namespace vexa
