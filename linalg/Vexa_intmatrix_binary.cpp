// TIntMatrix: block files of 32-bit integers
// (linalg/internal/Vexa_matbinary_detail.h). A sparse matrix is written
// through its entries and cannot load a file.

#include "linalg/Vexa_intmatrix.h"
#include "linalg/internal/Vexa_matbinary_detail.h"

namespace vexa {

namespace mb = matbinary_detail;

namespace {

/// LoadBinary's code for a sparse matrix, which dense files cannot fill.
constexpr int32_t kLoadIntoSparse = -5;

}  // namespace

bool TIntMatrix::ReadBinaryHeader(const std::string& FName, int32_t& NrColumns, int32_t& NrRows,
                                  std::string& DataID, int32_t& Format) {
  return mb::ReadHeader2D(FName, blockfile::kFormatInt32, NrColumns, NrRows, DataID, Format);
}

bool TIntMatrix::SaveBinary(const std::string& FName) const {
  if (HasNoCells()) {
    return false;  // a sparse matrix without entries: no file a loader accepts
  }
  return mb::Save2D(FName, FNCol, FNRow, FDataID, blockfile::kFormatInt32,
                    [this](int32_t Col, int32_t Row) { return StoredCell(Col, Row); });
}

int32_t TIntMatrix::LoadBinary(const std::string& FName) {
  if (FIsSparse) {
    return kLoadIntoSparse;
  }
  std::vector<int32_t> Cells;
  blockfile::TBlockHeader Header;
  if (const int32_t Code = mb::Load2D(FName, blockfile::kFormatInt32, Cells, Header); Code != 0) {
    return Code;
  }
  FData.swap(Cells);
  FNCol = Header.NrColumns;
  FNRow = Header.NrRows;
  FDataID = Header.Identifier;
  Changed();
  Resized();
  return 0;
}

}  // namespace vexa
