// TMat4D: block files (foundation/internal/Vexa_blockfile.h). The storage
// order [time slot][layer][row][column] is the file order, so whole slots
// move as one run of values and a layer is addressed directly by its index.

#include <algorithm>
#include <array>

#include "foundation/Vexa_storage.h"
#include "foundation/internal/Vexa_blockfile.h"
#include "linalg/Vexa_mat4d.h"
#include "platform/Vexa_fileutils.h"
#include "platform/Vexa_intmath.h"

namespace vexa {

namespace bf = blockfile;

namespace {

/// Time slots First … First + Count − 1 chosen from Available slots.
struct TSlotChoice {
  int32_t First = 1;
  int32_t Count = 0;
};

/// The slot selection of the 4-D readers and writers: false when TSlotStart
/// exceeds Available; TSlotStart or TSlotEnd < 1 selects all, otherwise
/// TSlotStart … min(TSlotEnd, Available) (Count 0 for a reversed pair).
bool ChooseSlots(int32_t Available, int32_t TSlotStart, int32_t TSlotEnd, TSlotChoice& Choice) {
  if (TSlotStart > Available) {
    return false;
  }
  if (TSlotStart < 1 || TSlotEnd < 1) {
    Choice = {1, Available};
  } else {
    Choice = {TSlotStart, std::max(0, std::min(TSlotEnd, Available) - TSlotStart + 1)};
  }
  return true;
}

/// Values per time slot as the readers count them: columns × rows × layers
/// (a file without layers has none); false on overflow or a negative size.
bool TryValuesPerSlot(const bf::TBlockHeader& Header, int64_t& Count) {
  const std::array<int64_t, 3> Sizes{Header.NrColumns, Header.NrRows, Header.NrLayers};
  uint64_t Product = 0;
  if (!TryMultiplyDims(Sizes, Product) || Product > static_cast<uint64_t>(INT64_MAX)) {
    return false;
  }
  Count = static_cast<int64_t>(Product);
  return true;
}

/// A · B for non-negative factors; false when the product exceeds int64.
bool TryProduct(int64_t A, int64_t B, int64_t& Product) {
  const std::array<int64_t, 2> Factors{A, B};
  uint64_t Wide = 0;
  if (!TryMultiplyDims(Factors, Wide) || Wide > static_cast<uint64_t>(INT64_MAX)) {
    return false;
  }
  Product = static_cast<int64_t>(Wide);
  return true;
}

/// Progress of a reader: OnPercentDone every max(1, Total/100) values.
class TProgress {
public:
  explicit TProgress(int64_t Total) : FTotal(Total), FStep(std::max<int64_t>(1, Total / 100)) {}
  /// True when value number Count (1-based) is a reporting point.
  bool Due(int64_t Count) const { return Count % FStep == 0; }
  int32_t Percent(int64_t Count) const {
    return RoundToInt32(static_cast<double>(Count) * 100.0 / static_cast<double>(FTotal));
  }

private:
  int64_t FTotal;
  int64_t FStep;
};

/// A block file of doubles opened for reading a layer: its header and the
/// number of values per slot, after the checks every layer reader makes.
struct TLayerFile {
  bf::TOpenedFile File;
  int64_t PerSlot = 0;
};

/// Opens FName for a layer reader: false when it cannot be opened or read,
/// is shorter than one record, holds negative sizes, another format than 1
/// or fewer values than its header promises.
bool OpenLayerFile(const std::string& FName, TLayerFile& Layer) {
  int64_t Total = 0;
  if (bf::OpenForLoading(FName, Layer.File) != 0) {
    return false;
  }
  const bf::TBlockHeader& Header = Layer.File.Header;
  return bf::SizesValid(Header) && Header.Format == bf::kFormatDouble && TryValuesPerSlot(Header, Layer.PerSlot) &&
         bf::TryValueCount(Header, Total) &&
         bf::HoldsValues(Layer.File.Stream->Size(), 0, Total, bf::ValueSize(Header.Format));
}

/// The values of layer Layer in slot TSlot (both within the file) in file
/// order (row by row, column fastest); false when they cannot be read or
/// held in memory.
bool ReadLayerValues(TLayerFile& Layer, const std::string& FName, int32_t LayerIx, int32_t TSlot,
                     std::vector<double>& Values) {
  const bf::TBlockHeader& Header = Layer.File.Header;
  const int64_t PerLayer = static_cast<int64_t>(Header.NrColumns) * Header.NrRows;
  // Within the file: the header's value count was checked against its size.
  const int64_t First = PerLayer * (static_cast<int64_t>(Header.NrLayers) * (TSlot - 1) + (LayerIx - 1));
  if (!bf::TryAllocate(Values, PerLayer)) {
    return false;
  }
  try {
    bf::TValueReader Reader(*Layer.File.Stream, FName, Header.Format, First, PerLayer);
    Reader.NextDoubles(Values.data(), Values.size());
  } catch (const Exception&) {
    return false;
  }
  return true;
}

/// True when Arr is exactly Cols arrays of Rows values.
bool HasShape(const TDouble2DArray& Arr, int32_t Cols, int32_t Rows) {
  return Arr.size() == static_cast<size_t>(Cols) &&
         std::all_of(Arr.begin(), Arr.end(),
                     [Rows](const TDoubleArray& Column) { return Column.size() == static_cast<size_t>(Rows); });
}

}  // namespace

// ---------------------------------------------------------------- header, delivery

bool TMat4D::ReadBinaryHeader(const std::string& FName, int32_t& NrColumns, int32_t& NrRows, int32_t& NrLayers,
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
  return bf::HasRank(Header, 4) && Header.Format == bf::kFormatDouble;
}

int32_t TMat4D::ReadBinary(const std::string& FName, int32_t TSlotStart, int32_t TSlotEnd) {
  const auto In = bf::TryOpen(FName, fmOpenRead);
  if (!In) {
    bf::RaiseReadError(FName, "the file cannot be opened");
  }
  bf::TBlockHeader Header;
  if (!bf::ReadHeaderRecord(*In, Header)) {
    bf::RaiseReadError(FName, "the file is shorter than its header");
  }
  int64_t PerSlot = 0;
  if (!TryValuesPerSlot(Header, PerSlot) || Header.NrTimeSlots < 0) {
    bf::RaiseReadError(FName, "the header holds invalid sizes");
  }
  TSlotChoice Slots;
  if (!ChooseSlots(Header.NrTimeSlots, TSlotStart, TSlotEnd, Slots)) {
    return -1;
  }
  int64_t First = 0;
  int64_t Total = 0;
  if (!TryProduct(PerSlot, Slots.First - 1, First) || !TryProduct(PerSlot, Slots.Count, Total)) {
    bf::RaiseReadError(FName, "the header holds invalid sizes");
  }
  if (Total == 0) {
    return 0;  // nothing selected, or slots without values
  }
  // The format code is not examined: the values are doubles.
  const int64_t Size = bf::ValueSize(bf::kFormatDouble);
  if (!bf::HoldsValues(In->Size(), First, Total, Size)) {
    bf::RaiseReadError(FName, "the file ends before its values");
  }
  bf::TValueReader Values(*In, FName, bf::kFormatDouble, First, Total);
  const TProgress Progress(Total);
  int64_t Count = 0;
  for (int32_t it = 1; it <= Slots.Count; ++it) {
    for (int32_t il = 1; il <= Header.NrLayers; ++il) {
      for (int32_t iy = 1; iy <= Header.NrRows; ++iy) {
        for (int32_t ix = 1; ix <= Header.NrColumns; ++ix) {
          ReadElement(this, ix, iy, il, it, Values.NextDouble());
          if (Progress.Due(++Count)) {
            PercDone(this, Progress.Percent(Count));
          }
        }
      }
    }
  }
  return 0;
}

// ---------------------------------------------------------------- loaders

int32_t TMat4D::ReadLayer(const std::string& FName, int32_t Layer, int32_t TSlot) {
  TLayerFile File;
  if (!OpenLayerFile(FName, File)) {
    return -4;
  }
  const bf::TBlockHeader& Header = File.File.Header;
  // Every check runs; the last failing one gives the code.
  int32_t Code = 0;
  if (TSlot < 1 || TSlot > Header.NrTimeSlots || TSlot > FNumT) {
    Code = -1;
  }
  if (Layer < 1 || Layer > Header.NrLayers || Layer > FNumZ) {
    Code = -2;
  }
  if (Header.NrColumns != FNumX || Header.NrRows != FNumY) {
    Code = -3;
  }
  if (Code != 0) {
    return Code;
  }
  std::vector<double> Values;
  if (!ReadLayerValues(File, FName, Layer, TSlot, Values)) {
    return -4;
  }
  const size_t Start = (static_cast<size_t>(TSlot - 1) * static_cast<size_t>(FNumZ) + static_cast<size_t>(Layer - 1)) *
                       Values.size();
  const TProgress Progress(static_cast<int64_t>(Values.size()));
  for (size_t k = 0; k < Values.size(); ++k) {
    FData[Start + k] = Values[k];
    if (Progress.Due(static_cast<int64_t>(k) + 1)) {
      PercDone(this, Progress.Percent(static_cast<int64_t>(k) + 1));
    }
  }
  Changed();
  return 0;
}

int32_t TMat4D::LoadSlots(const std::string& FName, int32_t TSlotStart, int32_t TSlotEnd, bool CheckFormat,
                          bool ReportProgress) {
  bf::TOpenedFile File;
  if (const int32_t Code = bf::OpenForLoading(FName, File); Code != 0) {
    return Code;
  }
  const bf::TBlockHeader& Header = File.Header;
  int64_t PerSlot = 0;
  int64_t Total = 0;
  if (!bf::HasRank(Header, 4) || (CheckFormat && Header.Format != bf::kFormatDouble) ||
      !TryValuesPerSlot(Header, PerSlot) || !bf::TryValueCount(Header, Total)) {
    return bf::kLoadHeaderInvalid;
  }
  TSlotChoice Slots;
  if (!ChooseSlots(Header.NrTimeSlots, TSlotStart, TSlotEnd, Slots) || Slots.Count == 0) {
    return bf::kLoadSlotOutside;
  }
  const int64_t Size = bf::ValueSize(bf::kFormatDouble);  // doubles, whatever the code says
  if (!bf::HoldsValues(File.Stream->Size(), 0, Total, Size)) {
    return bf::kLoadTruncated;
  }
  // Both within the file's value count.
  const int64_t First = PerSlot * (Slots.First - 1);
  const int64_t Count = PerSlot * Slots.Count;
  std::vector<double> Cells;
  if (!bf::TryAllocate(Cells, Count)) {
    return bf::kLoadUnreadable;
  }
  try {
    bf::TValueReader Values(*File.Stream, FName, bf::kFormatDouble, First, Count);
    const TProgress Progress(Count);
    const int64_t Step = std::max<int64_t>(1, Count / 100);
    for (int64_t Done = 0; Done < Count;) {
      const int64_t Run = ReportProgress ? std::min(Step, Count - Done) : Count;
      Values.NextDoubles(&Cells[static_cast<size_t>(Done)], static_cast<size_t>(Run));
      Done += Run;
      if (ReportProgress && Progress.Due(Done)) {
        PercDone(this, Progress.Percent(Done));
      }
    }
  } catch (const Exception&) {
    return bf::kLoadUnreadable;
  }
  TakeCells(std::move(Cells), Header.NrColumns, Header.NrRows, Header.NrLayers, Slots.Count);
  FDataID = Header.Identifier;
  Changed();
  Resized();
  return 0;
}

int32_t TMat4D::LoadBinary(const std::string& FName, int32_t TSlotStart, int32_t TSlotEnd) {
  return LoadSlots(FName, TSlotStart, TSlotEnd, true, true);
}

int32_t TMat4D::LoadBinaryIntern(const std::string& FName, int32_t TSlotStart, int32_t TSlotEnd) {
  return LoadSlots(FName, TSlotStart, TSlotEnd, true, false);
}

int32_t TMat4D::LoadBinaryNoFmtCheck(const std::string& FName, int32_t TSlotStart, int32_t TSlotEnd) {
  return LoadSlots(FName, TSlotStart, TSlotEnd, false, true);
}

// ---------------------------------------------------------------- writers

bool TMat4D::SaveBinary(const std::string& FName, int32_t TSlotStart, int32_t TSlotEnd) const {
  TSlotChoice Slots;
  if (!ChooseSlots(FNumT, TSlotStart, TSlotEnd, Slots) || Slots.Count == 0) {
    return false;
  }
  bf::TBlockHeader Header;
  Header.NrColumns = FNumX;
  Header.NrRows = FNumY;
  Header.NrLayers = FNumZ;
  Header.NrTimeSlots = Slots.Count;
  Header.Identifier = FDataID;
  Header.Format = bf::kFormatDouble;
  const size_t PerSlot = FData.size() / static_cast<size_t>(FNumT);
  try {
    TFileStream Out(FName, fmCreate);
    bf::WriteHeader(Out, Header);
    bf::TValueWriter Values(Out, Header.Format);
    Values.PutDoubles(&FData[PerSlot * static_cast<size_t>(Slots.First - 1)],
                      PerSlot * static_cast<size_t>(Slots.Count));
    Values.Finish();
    Out.Flush();
  } catch (const Exception&) {
    return false;
  }
  return true;
}

int32_t TMat4D::AppendToBinaryFile(const std::string& FName, int32_t TSlotStart, int32_t TSlotEnd) const {
  TSlotChoice Slots;
  if (!ChooseSlots(FNumT, TSlotStart, TSlotEnd, Slots) || Slots.Count == 0) {
    return -1;
  }
  if (!FileExists(FName)) {
    return SaveBinary(FName, TSlotStart, TSlotEnd) ? 0 : -4;
  }
  const auto File = bf::TryOpen(FName, fmOpenReadWrite);
  if (!File) {
    return -4;
  }
  try {
    bf::TBlockHeader Header;
    if (!bf::ReadHeaderRecord(*File, Header)) {
      return -3;
    }
    int64_t Old = 0;
    if (!bf::HasRank(Header, 4) || Header.Format != bf::kFormatDouble || Header.NrColumns != FNumX ||
        Header.NrRows != FNumY || Header.NrLayers != FNumZ || Header.NrTimeSlots > INT32_MAX - Slots.Count ||
        !bf::TryValueCount(Header, Old)) {
      return -2;
    }
    const auto PerSlot = static_cast<int64_t>(FData.size() / static_cast<size_t>(FNumT));
    const int64_t Added = PerSlot * Slots.Count;
    if (!bf::HoldsValues(File->Size(), 0, Old, bf::ValueSize(Header.Format))) {
      return -3;
    }
    if (Old > INT64_MAX / 8 - Added - bf::kRecordSize) {
      return -2;  // the grown file would not be addressable
    }
    // Values first (over the old padding), the slot count last.
    bf::TValueWriter Values(*File, Header.Format, Old);
    Values.PutDoubles(&FData[static_cast<size_t>(PerSlot) * static_cast<size_t>(Slots.First - 1)],
                      static_cast<size_t>(Added));
    Values.Finish();
    File->Flush();
    bf::WriteTimeSlotCount(*File, Header.NrTimeSlots + Slots.Count);
    File->Flush();
  } catch (const Exception&) {
    return -4;
  }
  return 0;
}

// ---------------------------------------------------------------- free layer readers

int32_t Read4DLayer(const std::string& FName, int32_t Layer, int32_t TSlot, TDouble2DArray& Layer2D) {
  TLayerFile File;
  if (!OpenLayerFile(FName, File)) {
    return -3;
  }
  const bf::TBlockHeader& Header = File.File.Header;
  if (TSlot < 1 || TSlot > Header.NrTimeSlots) {
    return -1;
  }
  if (Layer < 1 || Layer > Header.NrLayers) {
    return -2;
  }
  std::vector<double> Values;
  if (!ReadLayerValues(File, FName, Layer, TSlot, Values)) {
    return -3;
  }
  const auto Cols = static_cast<size_t>(Header.NrColumns);
  const auto Rows = static_cast<size_t>(Header.NrRows);
  // A header of many columns without rows promises no values: the size of
  // the nested array itself is checked too.
  const std::array<int64_t, 2> Dims{Header.NrColumns, Header.NrRows};
  uint64_t Bytes = 0;
  if (!TryNestedStorageBytes(Dims, sizeof(double), sizeof(TDoubleArray), Bytes) || !StorageFits(Bytes)) {
    return -3;
  }
  TDouble2DArray Result;
  try {
    Result.assign(Cols, TDoubleArray(Rows));
  } catch (const std::bad_alloc&) {
    return -3;
  } catch (const std::length_error&) {
    return -3;
  }
  for (size_t Row = 0; Row < Rows; ++Row) {
    for (size_t Col = 0; Col < Cols; ++Col) {
      Result[Col][Row] = Values[Row * Cols + Col];
    }
  }
  Layer2D.swap(Result);
  return 0;
}

int32_t Read4DLayerAndAccumulate(const std::string& FName, int32_t Layer, int32_t TSlot, TDouble2DArray& Layer2D) {
  TLayerFile File;
  if (!OpenLayerFile(FName, File)) {
    return -4;
  }
  const bf::TBlockHeader& Header = File.File.Header;
  if (Layer < 1 || Layer > Header.NrLayers) {
    return -1;
  }
  if (TSlot < 1 || TSlot > Header.NrTimeSlots) {
    return -2;
  }
  if (!HasShape(Layer2D, Header.NrColumns, Header.NrRows)) {
    return -3;
  }
  std::vector<double> Values;
  if (!ReadLayerValues(File, FName, Layer, TSlot, Values)) {
    return -4;
  }
  const auto Cols = static_cast<size_t>(Header.NrColumns);
  for (size_t Row = 0; Row < static_cast<size_t>(Header.NrRows); ++Row) {
    for (size_t Col = 0; Col < Cols; ++Col) {
      Layer2D[Col][Row] += Values[Row * Cols + Col];
    }
  }
  return 0;
}

}  // namespace vexa
