#pragma once
// Helpers of the integer matrix tests: cells written and read as columns,
// an event log, and the independent references (wrapping arithmetic through
// 64-bit integers, CRC-32 lanes through zlib).

#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "linalg/Vexa_intmatrix.h"

namespace vexa::testing {

/// Cells as columns: Cols[c][r] is the cell (c + 1, r + 1).
using TIntCols = std::vector<std::vector<int32_t>>;

/// Resizes m to the columns given and writes every cell through the setter.
inline void SetIntCells(TIntMatrix& m, const TIntCols& Cols) {
  m.Resize(static_cast<int32_t>(Cols.size()), static_cast<int32_t>(Cols[0].size()));
  for (size_t c = 0; c < Cols.size(); ++c) {
    for (size_t r = 0; r < Cols[c].size(); ++r) {
      m.SetElem(static_cast<int32_t>(c + 1), static_cast<int32_t>(r + 1), Cols[c][r]);
    }
  }
}

/// All cells of m as columns, through the getter.
inline TIntCols IntCellsOf(const TIntMatrix& m) {
  TIntCols Cols(static_cast<size_t>(m.NrOfColumns()));
  for (int32_t c = 1; c <= m.NrOfColumns(); ++c) {
    for (int32_t r = 1; r <= m.NrOfRows(); ++r) {
      Cols[static_cast<size_t>(c - 1)].push_back(m.Elem(c, r));
    }
  }
  return Cols;
}

/// Records the events of a matrix in order: 'C' change, 'R' resize.
struct TIntEventLog {
  std::string Events;
  void Attach(TIntMatrix& m) {
    m.OnChange = [this](TObject*) { Events += 'C'; };
    m.OnResize = [this](TObject*) { Events += 'R'; };
  }
};

/// x modulo 2³² as an int32 (the reference of wrapping arithmetic, computed
/// from the exact 64-bit value).
inline int32_t Wrap32(int64_t x) {
  const int64_t Low = ((x % 4294967296LL) + 4294967296LL) % 4294967296LL;
  return static_cast<int32_t>(Low >= 2147483648LL ? Low - 4294967296LL : Low);
}

/// The four CRC-32 lanes of cells given in storage order, by zlib: lane j
/// is the CRC-32 of byte j (little-endian) of every cell; uppercase hex.
inline std::string ReferenceCRC(const std::vector<int32_t>& Cells) {
  std::string Result;
  for (int Lane = 0; Lane < 4; ++Lane) {
    std::vector<unsigned char> Bytes;
    for (const int32_t x : Cells) {
      Bytes.push_back(static_cast<unsigned char>(static_cast<uint32_t>(x) >> (8 * Lane)));
    }
    const uLong Crc = crc32(0L, Bytes.data(), static_cast<uInt>(Bytes.size()));
    char Hex[9];
    std::snprintf(Hex, sizeof Hex, "%08lX", static_cast<unsigned long>(Crc));
    Result += Hex;
  }
  return Result;
}

/// The cells of Cols in storage order (column by column).
inline std::vector<int32_t> StorageOrder(const TIntCols& Cols) {
  std::vector<int32_t> Cells;
  for (const auto& Col : Cols) {
    Cells.insert(Cells.end(), Col.begin(), Col.end());
  }
  return Cells;
}

}  // namespace vexa::testing
