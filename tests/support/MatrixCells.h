#pragma once
// Writing a matrix from a list of columns and reading its cells back, for the
// matrix tests.

#include <cstdint>
#include <vector>

#include "linalg/Vexa_matrix.h"

namespace vexa::testing {

/// Cells as columns: Cols[c][r] is the cell (c + 1, r + 1).
using TCols = std::vector<std::vector<double>>;

/// Resizes m to the columns given and writes every cell through the setter.
inline void SetCells(TMatrix& m, const TCols& Cols) {
  m.Resize(static_cast<int32_t>(Cols.size()), static_cast<int32_t>(Cols[0].size()));
  for (size_t c = 0; c < Cols.size(); ++c) {
    for (size_t r = 0; r < Cols[c].size(); ++r) {
      m.SetElem(static_cast<int32_t>(c + 1), static_cast<int32_t>(r + 1), Cols[c][r]);
    }
  }
}

/// All cells of m as columns.
inline TCols CellsOf(const TMatrix& m) {
  TCols Cols(static_cast<size_t>(m.NrOfColumns()));
  for (int32_t c = 1; c <= m.NrOfColumns(); ++c) {
    for (int32_t r = 1; r <= m.NrOfRows(); ++r) {
      Cols[static_cast<size_t>(c - 1)].push_back(m.Elem(c, r));
    }
  }
  return Cols;
}

}  // namespace vexa::testing
