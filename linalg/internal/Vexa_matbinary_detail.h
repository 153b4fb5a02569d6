#pragma once
// Internal to the matrix unit (not installed): the block files of the 2-D
// matrices, shared by TMatrix (doubles) and TIntMatrix (32-bit integers).
// The file holds the cells row by row (column fastest), the transpose of
// the column-major storage.

#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "foundation/internal/Vexa_blockfile.h"
#include "platform/Vexa_datastreams.h"
#include "platform/Vexa_exceptions.h"

namespace vexa::matbinary_detail {

namespace bf = blockfile;

/// The header of a block file as ReadBinaryHeader reports it; true when it
/// describes 2-D data of Format. False (outputs unchanged) without a header.
inline bool ReadHeader2D(const std::string& FName, int32_t Format, int32_t& NrColumns, int32_t& NrRows,
                         std::string& DataID, int32_t& FileFormat) {
  bf::TBlockHeader Header;
  if (!bf::ReadHeaderOfFile(FName, Header)) {
    return false;
  }
  NrColumns = Header.NrColumns;
  NrRows = Header.NrRows;
  DataID = Header.Identifier;
  FileFormat = Header.Format;
  return bf::HasRank(Header, 2) && Header.Format == Format;
}

/// Writes Nc × Nr cells, CellAt(Col, Row), as a 2-D block file of Format;
/// false on any write or close failure.
template <class TCellAt>
bool Save2D(const std::string& FName, int32_t Nc, int32_t Nr, const std::string& DataID, int32_t Format,
            TCellAt CellAt) {
  bf::TBlockHeader Header;
  Header.NrColumns = Nc;
  Header.NrRows = Nr;
  Header.Identifier = DataID;
  Header.Format = Format;
  try {
    TFileStream Out(FName, fmCreate);
    bf::WriteHeader(Out, Header);
    bf::TValueWriter Values(Out, Header.Format);
    for (int32_t Row = 1; Row <= Nr; ++Row) {
      for (int32_t Col = 1; Col <= Nc; ++Col) {
        Values.Put(CellAt(Col, Row));
      }
    }
    Values.Finish();
    Out.Flush();
  } catch (const Exception&) {
    return false;
  }
  return true;
}

/// Reads a 2-D block file of Format into column-major Cells and its Header:
/// 0, or the loaders' codes (cannot open, header invalid, truncated,
/// unreadable). Cells and Header are meaningful only at 0.
template <class TElem>
int32_t Load2D(const std::string& FName, int32_t Format, std::vector<TElem>& Cells, bf::TBlockHeader& Header) {
  bf::TOpenedFile File;
  if (const int32_t Code = bf::OpenForLoading(FName, File); Code != 0) {
    return Code;
  }
  Header = File.Header;
  if (!bf::HasRank(Header, 2) || Header.Format != Format) {
    return bf::kLoadHeaderInvalid;
  }
  const int64_t Count = static_cast<int64_t>(Header.NrColumns) * Header.NrRows;  // below 2^62
  if (!bf::HoldsValues(File.Stream->Size(), 0, Count, bf::ValueSize(Header.Format))) {
    return bf::kLoadTruncated;
  }
  if (!bf::TryAllocate(Cells, Count)) {
    return bf::kLoadUnreadable;
  }
  const auto Rows = static_cast<size_t>(Header.NrRows);
  const auto Cols = static_cast<size_t>(Header.NrColumns);
  try {
    bf::TValueReader Values(*File.Stream, FName, Header.Format, 0, Count);
    for (size_t Row = 0; Row < Rows; ++Row) {
      for (size_t Col = 0; Col < Cols; ++Col) {
        if constexpr (std::is_same_v<TElem, double>) {
          Cells[Col * Rows + Row] = Values.NextDouble();
        } else {
          Cells[Col * Rows + Row] = Values.NextInt32();
        }
      }
    }
  } catch (const Exception&) {
    return bf::kLoadUnreadable;
  }
  return 0;
}

}  // namespace vexa::matbinary_detail
