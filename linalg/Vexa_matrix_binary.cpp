// TMatrix: block files of doubles (linalg/internal/Vexa_matbinary_detail.h).

#include "linalg/Vexa_matrix.h"
#include "linalg/internal/Vexa_matbinary_detail.h"

namespace vexa {

namespace mb = matbinary_detail;

bool TMatrix::ReadBinaryHeader(const std::string& FName, int32_t& NrColumns, int32_t& NrRows, std::string& DataID,
                               int32_t& Format) {
  return mb::ReadHeader2D(FName, blockfile::kFormatDouble, NrColumns, NrRows, DataID, Format);
}

bool TMatrix::SaveBinary(const std::string& FName) const {
  return mb::Save2D(FName, FNCol, FNRow, FDataID, blockfile::kFormatDouble,
                    [this](int32_t Col, int32_t Row) { return Cell(Col, Row); });
}

int32_t TMatrix::LoadBinary(const std::string& FName) {
  std::vector<double> Cells;
  blockfile::TBlockHeader Header;
  if (const int32_t Code = mb::Load2D(FName, blockfile::kFormatDouble, Cells, Header); Code != 0) {
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
