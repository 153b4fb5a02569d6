// TIntMatrix: block files (foundation/internal/Vexa_blockfile.h) of 32-bit
// integers. The file holds the cells row by row (column fastest), the
// transpose of the column-major storage; a sparse matrix is written through
// its entries and cannot load a file.

#include "foundation/internal/Vexa_blockfile.h"
#include "linalg/Vexa_intmatrix.h"

namespace vexa {

namespace bf = blockfile;

namespace {

/// LoadBinary's code for a sparse matrix, which dense files cannot fill.
constexpr int32_t kLoadIntoSparse = -5;

}  // namespace

bool TIntMatrix::ReadBinaryHeader(const std::string& FName, int32_t& NrColumns, int32_t& NrRows,
                                  std::string& DataID, int32_t& Format) {
  bf::TBlockHeader Header;
  if (!bf::ReadHeaderOfFile(FName, Header)) {
    return false;
  }
  NrColumns = Header.NrColumns;
  NrRows = Header.NrRows;
  DataID = Header.Identifier;
  Format = Header.Format;
  return bf::HasRank(Header, 2) && Header.Format == bf::kFormatInt32;
}

bool TIntMatrix::SaveBinary(const std::string& FName) const {
  if (HasNoCells()) {
    return false;  // a sparse matrix without entries: no file a loader accepts
  }
  bf::TBlockHeader Header;
  Header.NrColumns = FNCol;
  Header.NrRows = FNRow;
  Header.Identifier = FDataID;
  Header.Format = bf::kFormatInt32;
  try {
    TFileStream Out(FName, fmCreate);
    bf::WriteHeader(Out, Header);
    bf::TValueWriter Values(Out, Header.Format);
    for (int32_t Row = 1; Row <= FNRow; ++Row) {
      for (int32_t Col = 1; Col <= FNCol; ++Col) {
        Values.Put(StoredCell(Col, Row));
      }
    }
    Values.Finish();
    Out.Flush();
  } catch (const Exception&) {
    return false;
  }
  return true;
}

int32_t TIntMatrix::LoadBinary(const std::string& FName) {
  if (FIsSparse) {
    return kLoadIntoSparse;
  }
  bf::TOpenedFile File;
  if (const int32_t Code = bf::OpenForLoading(FName, File); Code != 0) {
    return Code;
  }
  const bf::TBlockHeader& Header = File.Header;
  if (!bf::HasRank(Header, 2) || Header.Format != bf::kFormatInt32) {
    return bf::kLoadHeaderInvalid;
  }
  const int64_t Count = static_cast<int64_t>(Header.NrColumns) * Header.NrRows;  // below 2^62
  if (!bf::HoldsValues(File.Stream->Size(), 0, Count, bf::ValueSize(Header.Format))) {
    return bf::kLoadTruncated;
  }
  std::vector<int32_t> Cells;
  if (!bf::TryAllocate(Cells, Count)) {
    return bf::kLoadUnreadable;
  }
  const auto Rows = static_cast<size_t>(Header.NrRows);
  try {
    bf::TValueReader Values(*File.Stream, FName, Header.Format, 0, Count);
    for (size_t Row = 0; Row < Rows; ++Row) {
      for (size_t Col = 0; Col < static_cast<size_t>(Header.NrColumns); ++Col) {
        Cells[Col * Rows + Row] = Values.NextInt32();
      }
    }
  } catch (const Exception&) {
    return bf::kLoadUnreadable;
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
