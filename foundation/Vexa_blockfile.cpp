// The block file shared by the matrices and the array routines: header
// record, value streaming in records, size checks. See Vexa_blockfile.h.

#include "foundation/internal/Vexa_blockfile.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "foundation/Vexa_storage.h"
#include "platform/Vexa_exceptions.h"
#include "platform/Vexa_fileutils.h"
#include "platform/Vexa_intmath.h"

namespace vexa::blockfile {

namespace {

constexpr size_t kIdentifierOffset = 16;
constexpr size_t kFormatOffset = 272;
/// Records moved per read or write call: 256 KiB.
constexpr size_t kChunkBytes = 64 * static_cast<size_t>(kRecordSize);

void PutUInt(uint8_t* Bytes, uint64_t Value, int Width) {
  for (int k = 0; k < Width; ++k) {
    Bytes[k] = static_cast<uint8_t>(Value >> (8 * k));
  }
}

uint64_t GetUInt(const uint8_t* Bytes, int Width) {
  uint64_t Value = 0;
  for (int k = 0; k < Width; ++k) {
    Value |= static_cast<uint64_t>(Bytes[k]) << (8 * k);
  }
  return Value;
}

void PutInt32(uint8_t* Bytes, int32_t Value) { PutUInt(Bytes, static_cast<uint32_t>(Value), 4); }
int32_t GetInt32(const uint8_t* Bytes) { return static_cast<int32_t>(static_cast<uint32_t>(GetUInt(Bytes, 4))); }

}  // namespace

int64_t ValueSize(int32_t Format) noexcept { return Format == kFormatInt32 ? 4 : 8; }

int64_t ValuesPerRecord(int32_t Format) noexcept { return kRecordSize / ValueSize(Format); }

bool FormatKnown(int32_t Format) noexcept { return Format == kFormatDouble || Format == kFormatInt32; }

bool SizesValid(const TBlockHeader& Header) noexcept {
  return Header.NrColumns >= 0 && Header.NrRows >= 0 && Header.NrLayers >= 0 && Header.NrTimeSlots >= 0 &&
         (Header.NrTimeSlots == 0 || Header.NrLayers > 0);
}

bool TrySlotValueCount(const TBlockHeader& Header, int64_t& Count) noexcept {
  const std::array<int64_t, 3> Sizes{Header.NrColumns, Header.NrRows, std::max(Header.NrLayers, 1)};
  uint64_t Product = 0;
  if (!TryMultiplyDims(Sizes, Product)) {
    return false;
  }
  if (Product > static_cast<uint64_t>(INT64_MAX)) {
    return false;
  }
  Count = static_cast<int64_t>(Product);
  return true;
}

bool TryValueCount(const TBlockHeader& Header, int64_t& Count) noexcept {
  const std::array<int64_t, 4> Sizes{Header.NrColumns, Header.NrRows, std::max(Header.NrLayers, 1),
                                     std::max(Header.NrTimeSlots, 1)};
  uint64_t Product = 0;
  if (!TryMultiplyDims(Sizes, Product) || Product > static_cast<uint64_t>(INT64_MAX)) {
    return false;
  }
  Count = static_cast<int64_t>(Product);
  return true;
}

bool HoldsValues(int64_t FileSize, int64_t First, int64_t Count, int64_t ValueSize) noexcept {
  if (First < 0 || Count < 0 || ValueSize <= 0 || FileSize < kRecordSize) {
    return false;
  }
  const int64_t Room = (FileSize - kRecordSize) / ValueSize;  // whole values after the header
  return First <= Room && Count <= Room - First;
}

int64_t ValueOffset(int64_t Index, int64_t ValueSize) noexcept { return kRecordSize + Index * ValueSize; }

void WriteHeader(TStream& Stream, const TBlockHeader& Header) {
  std::vector<uint8_t> Record(static_cast<size_t>(kRecordSize), 0);
  PutInt32(&Record[0], Header.NrColumns);
  PutInt32(&Record[4], Header.NrRows);
  PutInt32(&Record[8], Header.NrLayers);
  PutInt32(&Record[12], Header.NrTimeSlots);
  const size_t Length = std::min(Header.Identifier.size(), kMaxIdentifierLength);
  Record[kIdentifierOffset] = static_cast<uint8_t>(Length);
  std::memcpy(&Record[kIdentifierOffset + 1], Header.Identifier.data(), Length);
  PutInt32(&Record[kFormatOffset], Header.Format);
  Stream.SetPosition(0);
  Stream.WriteBuffer(Record.data(), kRecordSize);
}

void WriteTimeSlotCount(TStream& Stream, int32_t NrTimeSlots) {
  uint8_t Bytes[4];
  PutInt32(Bytes, NrTimeSlots);
  Stream.SetPosition(12);
  Stream.WriteBuffer(Bytes, 4);
}

bool ReadHeaderRecord(TStream& Stream, TBlockHeader& Header) {
  if (Stream.Size() < kRecordSize) {
    return false;
  }
  std::vector<uint8_t> Record(static_cast<size_t>(kRecordSize));
  Stream.SetPosition(0);
  if (Stream.Read(Record.data(), kRecordSize) != kRecordSize) {
    return false;
  }
  TBlockHeader Read;
  Read.NrColumns = GetInt32(&Record[0]);
  Read.NrRows = GetInt32(&Record[4]);
  Read.NrLayers = GetInt32(&Record[8]);
  Read.NrTimeSlots = GetInt32(&Record[12]);
  Read.Identifier.assign(reinterpret_cast<const char*>(&Record[kIdentifierOffset + 1]), Record[kIdentifierOffset]);
  Read.Format = GetInt32(&Record[kFormatOffset]);
  Header = std::move(Read);
  return true;
}

bool ReadHeader(TStream& Stream, TBlockHeader& Header) {
  TBlockHeader Read;
  int64_t Count = 0;
  if (!ReadHeaderRecord(Stream, Read) || !SizesValid(Read) || !FormatKnown(Read.Format) ||
      !TryValueCount(Read, Count) || !HoldsValues(Stream.Size(), 0, Count, ValueSize(Read.Format))) {
    return false;
  }
  Header = std::move(Read);
  return true;
}

bool HasRank(const TBlockHeader& Header, int Rank) noexcept {
  if (Header.NrColumns < 1 || Header.NrRows < 1) {
    return false;
  }
  switch (Rank) {
    case 2:
      return Header.NrLayers == 0 && Header.NrTimeSlots == 0;
    case 3:
      return Header.NrLayers > 0 && Header.NrTimeSlots == 0;
    case 4:
      return Header.NrLayers > 0 && Header.NrTimeSlots > 0;
    default:
      return false;
  }
}

std::unique_ptr<TFileStream> TryOpen(const std::string& FileName, TFileMode Mode) {
  if (Mode != fmCreate && !FileExists(FileName)) {
    return nullptr;
  }
  try {
    return std::make_unique<TFileStream>(FileName, Mode);
  } catch (const EStreamError&) {
    return nullptr;
  }
}

void RaiseReadError(const std::string& FileName, const std::string& Reason) {
  throw EInOutError("Cannot read file \"" + FileName + "\": " + Reason);
}

int32_t OpenForLoading(const std::string& FileName, TOpenedFile& File) {
  auto Stream = TryOpen(FileName, fmOpenRead);
  if (!Stream) {
    return kLoadUnreadable;
  }
  TBlockHeader Header;
  try {
    if (!ReadHeaderRecord(*Stream, Header)) {
      return kLoadTruncated;
    }
  } catch (const Exception&) {
    return kLoadUnreadable;  // a folder or a failing device
  }
  File.Stream = std::move(Stream);
  File.Header = std::move(Header);
  return 0;
}

bool ReadHeaderOfFile(const std::string& FileName, TBlockHeader& Header) {
  if (!FileExists(FileName)) {
    return false;
  }
  const auto Stream = TryOpen(FileName, fmOpenRead);
  if (!Stream) {
    RaiseReadError(FileName, "the file cannot be opened");
  }
  if (!ReadHeaderRecord(*Stream, Header)) {
    RaiseReadError(FileName, "the file is shorter than its header");
  }
  return true;
}

// ---------------------------------------------------------------- TValueWriter

TValueWriter::TValueWriter(TStream& Out, int32_t Format, int64_t First)
    : FOut(Out),
      FValueSize(ValueSize(Format)),
      FRecordFill(First * ValueSize(Format) % kRecordSize),
      FBuffer(kChunkBytes) {
  FOut.SetPosition(ValueOffset(First, FValueSize));
}

uint8_t* TValueWriter::Slot() {
  if (FUsed + static_cast<size_t>(FValueSize) > FBuffer.size()) {
    FlushBuffer();
  }
  uint8_t* Start = &FBuffer[FUsed];
  FUsed += static_cast<size_t>(FValueSize);
  return Start;
}

void TValueWriter::FlushBuffer() {
  FOut.WriteBuffer(FBuffer.data(), static_cast<int64_t>(FUsed));
  FRecordFill = (FRecordFill + static_cast<int64_t>(FUsed)) % kRecordSize;
  FUsed = 0;
}

void TValueWriter::Put(double Value) {
  if (FValueSize == 4) {
    PutInt32(Slot(), RoundToInt32(Value));
  } else {
    PutUInt(Slot(), std::bit_cast<uint64_t>(Value), 8);
  }
}

void TValueWriter::Put(int32_t Value) {
  if (FValueSize == 4) {
    PutInt32(Slot(), Value);
  } else {
    PutUInt(Slot(), std::bit_cast<uint64_t>(static_cast<double>(Value)), 8);
  }
}

void TValueWriter::PutDoubles(const double* Values, size_t Count) {
  if (std::endian::native != std::endian::little || FValueSize != 8) {
    for (size_t k = 0; k < Count; ++k) {
      Put(Values[k]);
    }
    return;
  }
  // On a little-endian host the doubles are the file bytes: copy them in
  // runs of the buffer's free room.
  while (Count > 0) {
    if (FUsed == FBuffer.size()) {
      FlushBuffer();
    }
    const size_t Run = std::min(Count, (FBuffer.size() - FUsed) / 8);
    std::memcpy(&FBuffer[FUsed], Values, Run * 8);
    FUsed += Run * 8;
    Values += Run;
    Count -= Run;
  }
}

void TValueWriter::Finish() {
  // Pad the record the last value ended in (the buffer holds whole values,
  // so the padding never exceeds its room after a flush).
  const auto Used = (FRecordFill + static_cast<int64_t>(FUsed)) % kRecordSize;
  if (Used != 0) {
    const auto Padding = static_cast<size_t>(kRecordSize - Used);
    if (FUsed + Padding > FBuffer.size()) {
      FlushBuffer();
    }
    std::fill_n(FBuffer.begin() + static_cast<ptrdiff_t>(FUsed), Padding, uint8_t{0});
    FUsed += Padding;
  }
  FlushBuffer();
}

// ---------------------------------------------------------------- TValueReader

TValueReader::TValueReader(TStream& In, const std::string& FileName, int32_t Format, int64_t First, int64_t Count)
    : FIn(In), FFileName(FileName), FValueSize(ValueSize(Format)), FBytesLeft(Count * ValueSize(Format)) {
  FIn.SetPosition(ValueOffset(First, FValueSize));
}

void TValueReader::Refill() {
  // Values never straddle two fills: the chunk and the bytes left are whole
  // numbers of values.
  const auto Bytes = static_cast<size_t>(std::min<int64_t>(FBytesLeft, static_cast<int64_t>(kChunkBytes)));
  if (Bytes == 0) {
    RaiseReadError(FFileName, "read beyond the values requested");
  }
  FBuffer.resize(Bytes);
  if (FIn.Read(FBuffer.data(), static_cast<int64_t>(Bytes)) != static_cast<int64_t>(Bytes)) {
    RaiseReadError(FFileName, "the file ends early");
  }
  FBytesLeft -= static_cast<int64_t>(Bytes);
  FUsed = 0;
}

const uint8_t* TValueReader::Take(size_t Bytes) {
  if (FUsed + Bytes > FBuffer.size()) {
    Refill();
  }
  const uint8_t* Start = &FBuffer[FUsed];
  FUsed += Bytes;
  return Start;
}

double TValueReader::NextDouble() {
  if (FValueSize == 4) {
    return static_cast<double>(NextInt32());
  }
  return std::bit_cast<double>(GetUInt(Take(8), 8));
}

int32_t TValueReader::NextInt32() {
  if (FValueSize == 8) {
    return RoundToInt32(NextDouble());
  }
  return GetInt32(Take(4));
}

void TValueReader::NextDoubles(double* Dest, size_t Count) {
  if (std::endian::native != std::endian::little || FValueSize != 8) {
    for (size_t k = 0; k < Count; ++k) {
      Dest[k] = NextDouble();
    }
    return;
  }
  // On a little-endian host the file bytes are the doubles: copy them in
  // runs of what the buffer holds.
  while (Count > 0) {
    if (FUsed == FBuffer.size()) {
      Refill();
    }
    const size_t Run = std::min(Count, (FBuffer.size() - FUsed) / 8);
    std::memcpy(Dest, &FBuffer[FUsed], Run * 8);
    FUsed += Run * 8;
    Dest += Run;
    Count -= Run;
  }
}

}  // namespace vexa::blockfile
