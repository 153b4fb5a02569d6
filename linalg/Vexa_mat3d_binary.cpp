// TMat3D: block files (foundation/internal/Vexa_blockfile.h). The file holds
// the cells layer by layer, each row by row (column fastest), while the
// storage keeps the layer fastest: cell (c, r, l) at ((c−1)·rows + r−1)·layers + l−1.

#include "foundation/internal/Vexa_blockfile.h"
#include "linalg/Vexa_mat3d.h"

namespace vexa {

namespace bf = blockfile;

bool TMat3D::ReadBinaryHeader(const std::string& FName, int32_t& NrColumns, int32_t& NrRows, int32_t& NrLayers,
                              int32_t& NrTimeSlots, std::string& DataID, int32_t& Format) {
  bf::TBlockHeader Header;
  if (!bf::ReadHeaderOfFile(FName, Header)) {
    return false;
  }
  NrColumns = Header.NrColumns;
  NrRows = Header.NrRows;
  NrLayers = Header.NrLayers;
  NrTimeSlots = Header.NrTimeSlots;
  DataID = Header.Identifier;
  Format = Header.Format;
  return bf::HasRank(Header, 3) && Header.Format == bf::kFormatDouble;
}

bool TMat3D::SaveBinary(const std::string& FName) const {
  bf::TBlockHeader Header;
  Header.NrColumns = FNumX;
  Header.NrRows = FNumY;
  Header.NrLayers = FNumZ;
  Header.Identifier = FDataID;
  Header.Format = bf::kFormatDouble;
  const auto Rows = static_cast<size_t>(FNumY);
  const auto Layers = static_cast<size_t>(FNumZ);
  try {
    TFileStream Out(FName, fmCreate);
    bf::WriteHeader(Out, Header);
    bf::TValueWriter Values(Out, Header.Format);
    for (size_t Layer = 0; Layer < Layers; ++Layer) {
      for (size_t Row = 0; Row < Rows; ++Row) {
        for (size_t Col = 0; Col < static_cast<size_t>(FNumX); ++Col) {
          Values.Put(FData[(Col * Rows + Row) * Layers + Layer]);
        }
      }
    }
    Values.Finish();
    Out.Flush();
  } catch (const Exception&) {
    return false;
  }
  return true;
}

int32_t TMat3D::LoadBinary(const std::string& FName) {
  bf::TOpenedFile File;
  if (const int32_t Code = bf::OpenForLoading(FName, File); Code != 0) {
    return Code;
  }
  const bf::TBlockHeader& Header = File.Header;
  int64_t Count = 0;
  if (!bf::HasRank(Header, 3) || Header.Format != bf::kFormatDouble || !bf::TryValueCount(Header, Count)) {
    return bf::kLoadHeaderInvalid;
  }
  if (!bf::HoldsValues(File.Stream->Size(), 0, Count, bf::ValueSize(Header.Format))) {
    return bf::kLoadTruncated;
  }
  std::vector<double> Cells;
  if (!bf::TryAllocate(Cells, Count)) {
    return bf::kLoadUnreadable;
  }
  const auto Rows = static_cast<size_t>(Header.NrRows);
  const auto Layers = static_cast<size_t>(Header.NrLayers);
  try {
    bf::TValueReader Values(*File.Stream, FName, Header.Format, 0, Count);
    for (size_t Layer = 0; Layer < Layers; ++Layer) {
      for (size_t Row = 0; Row < Rows; ++Row) {
        for (size_t Col = 0; Col < static_cast<size_t>(Header.NrColumns); ++Col) {
          Cells[(Col * Rows + Row) * Layers + Layer] = Values.NextDouble();
        }
      }
    }
  } catch (const Exception&) {
    return bf::kLoadUnreadable;
  }
  FData.swap(Cells);
  FNumX = Header.NrColumns;
  FNumY = Header.NrRows;
  FNumZ = Header.NrLayers;
  FDataID = Header.Identifier;
  Changed();
  Resized();
  return 0;
}

}  // namespace vexa
