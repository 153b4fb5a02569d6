#pragma once
/// @file
/// The block file of the matrices and the array routines: records of 4096
/// bytes, record 0 the header, the values back to back from record 1 on
/// (512 doubles or 1024 int32 per record, little-endian), the last record
/// padded with zeros. Value k starts at byte 4096 + k·(value size), so a
/// value is addressed directly by its index; readers also accept files whose
/// last record is not padded. Not installed.
///
/// Header (record 0):
///
/// | Offset | Size | Content                                               |
/// |--------|------|-------------------------------------------------------|
/// | 0      | 4    | columns (int32)                                       |
/// | 4      | 4    | rows                                                  |
/// | 8      | 4    | layers, 0 for 2-D data                                |
/// | 12     | 4    | time slots, 0 for 2-D and 3-D data                    |
/// | 16     | 256  | identifier: length byte, up to 255 bytes, zero-padded |
/// | 272    | 4    | format: 1 doubles, 2 int32                            |
/// | 276    | 3820 | zero                                                  |
///
/// Values are in the order time slot (slowest), layer, row, column (fastest).
///
/// Everything read is hostile: the header is judged by the caller (which
/// shapes it accepts), and HoldsValues checks a promised count against the
/// file's size before anything is allocated or sought.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "foundation/Vexa_storage.h"
#include "platform/Vexa_datastreams.h"

namespace vexa::blockfile {

/// Size of one record.
inline constexpr int64_t kRecordSize = 4096;
/// Format code of 8-byte IEEE 754 doubles.
inline constexpr int32_t kFormatDouble = 1;
/// Format code of 32-bit two's complement integers.
inline constexpr int32_t kFormatInt32 = 2;
/// Longest identifier stored; longer ones are cut.
inline constexpr size_t kMaxIdentifierLength = 255;

/// Record 0: sizes (0 for an absent axis), identifier and format.
struct TBlockHeader {
  int32_t NrColumns = 0;
  int32_t NrRows = 0;
  int32_t NrLayers = 0;
  int32_t NrTimeSlots = 0;
  std::string Identifier;  ///< raw bytes; at most 255 are stored
  int32_t Format = kFormatDouble;
};

/// Bytes per value: 4 for kFormatInt32, else 8 (unknown codes are read as doubles).
int64_t ValueSize(int32_t Format) noexcept;
/// Values per record: 1024 for kFormatInt32, else 512.
int64_t ValuesPerRecord(int32_t Format) noexcept;
/// True for kFormatDouble and kFormatInt32.
bool FormatKnown(int32_t Format) noexcept;
/// No size negative, and time slots only with layers.
bool SizesValid(const TBlockHeader& Header) noexcept;
/// Values of one time slot (columns × rows × layers, absent layers counting
/// 1) and of the whole file (× slots, absent slots counting 1), in 64 bits;
/// false when a size is negative or a product overflows.
bool TrySlotValueCount(const TBlockHeader& Header, int64_t& Count) noexcept;
bool TryValueCount(const TBlockHeader& Header, int64_t& Count) noexcept;
/// True when a file of FileSize bytes holds the Count values from value
/// index First on, each ValueSize bytes (no overflow for any argument).
bool HoldsValues(int64_t FileSize, int64_t First, int64_t Count, int64_t ValueSize) noexcept;
/// Byte offset of value Index (which HoldsValues has accepted).
int64_t ValueOffset(int64_t Index, int64_t ValueSize) noexcept;

/// Writes Header as record 0 at the stream's start (identifier cut to 255
/// bytes). Write errors raise the stream's error.
void WriteHeader(TStream& Stream, const TBlockHeader& Header);
/// Overwrites only the time-slot count of record 0 (bytes 12-15).
void WriteTimeSlotCount(TStream& Stream, int32_t NrTimeSlots);
/// Reads record 0 as it is, without judging it; false when the stream is
/// shorter than one record.
bool ReadHeaderRecord(TStream& Stream, TBlockHeader& Header);
/// ReadHeaderRecord, then false unless the sizes are valid, the format is
/// known and the stream holds every value the header promises.
bool ReadHeader(TStream& Stream, TBlockHeader& Header);

/// True when Header describes data of Rank 2 (layers and slots 0), 3 (layers
/// > 0, slots 0) or 4 (both > 0) with at least one column and one row.
bool HasRank(const TBlockHeader& Header, int Rank) noexcept;

/// Opens FileName in Mode; nullptr when it cannot be opened (missing, a
/// folder, no permission).
std::unique_ptr<TFileStream> TryOpen(const std::string& FileName, TFileMode Mode);
/// Raises EInOutError "Cannot read file \"<FileName>\": <Reason>".
[[noreturn]] void RaiseReadError(const std::string& FileName, const std::string& Reason);

// ---------------------------------------------------------------- matrix loaders

/// Result codes of the matrix loaders.
inline constexpr int32_t kLoadSlotOutside = -1;    ///< first time slot beyond the file's
inline constexpr int32_t kLoadHeaderInvalid = -2;  ///< the header does not describe the class's data
inline constexpr int32_t kLoadTruncated = -3;      ///< the file ends before its header or its values
inline constexpr int32_t kLoadUnreadable = -4;     ///< cannot open or read, or no memory for the values

/// A block file opened for reading, with its header record.
struct TOpenedFile {
  std::unique_ptr<TFileStream> Stream;
  TBlockHeader Header;
};
/// Opens FileName and reads record 0: 0, kLoadTruncated when the file is
/// shorter than one record, kLoadUnreadable when it cannot be opened or read.
int32_t OpenForLoading(const std::string& FileName, TOpenedFile& File);
/// Record 0 of FileName for the ReadBinaryHeader members: false when the
/// file does not exist; EInOutError when it cannot be opened or is shorter
/// than one record.
bool ReadHeaderOfFile(const std::string& FileName, TBlockHeader& Header);
/// Values := Count zeros when Count values fit StorageLimit() and can be
/// allocated; false (Values unchanged) otherwise.
template <class T>
bool TryAllocate(std::vector<T>& Values, int64_t Count) {
  if (Count < 0 || static_cast<uint64_t>(Count) > UINT64_MAX / sizeof(T) ||
      !StorageFits(static_cast<uint64_t>(Count) * sizeof(T))) {
    return false;
  }
  try {
    std::vector<T>(static_cast<size_t>(Count)).swap(Values);
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
  return true;
}

// ---------------------------------------------------------------- values

/// Streams values into records from value index First on, in large chunks;
/// Finish writes what is pending and pads the last record with zeros.
/// Write errors raise the stream's error.
class TValueWriter {
public:
  TValueWriter(TStream& Out, int32_t Format, int64_t First = 0);
  /// Appends one value in the writer's format: a double into an integer file
  /// is rounded (RoundToInt32), an integer into a double file is exact.
  void Put(double Value);
  void Put(int32_t Value);
  /// Appends Count doubles (the writer's format must be kFormatDouble).
  void PutDoubles(const double* Values, size_t Count);
  /// Writes the pending bytes, zero-padded to the end of their record.
  void Finish();

private:
  /// Room for the next value in the buffer (flushing it when full).
  uint8_t* Slot();
  void FlushBuffer();

  TStream& FOut;
  int64_t FValueSize;
  int64_t FRecordFill;  ///< bytes of the current record written before the buffer
  std::vector<uint8_t> FBuffer;
  size_t FUsed = 0;
};

/// Reads Count values from value index First on, in large chunks. The caller
/// has checked with HoldsValues that the file holds them; a file that ends
/// early all the same raises EInOutError.
class TValueReader {
public:
  TValueReader(TStream& In, const std::string& FileName, int32_t Format, int64_t First, int64_t Count);
  /// The next value: integers read as doubles exactly, doubles read as
  /// integers through RoundToInt32.
  double NextDouble();
  int32_t NextInt32();
  /// The next Count doubles into Dest.
  void NextDoubles(double* Dest, size_t Count);

private:
  const uint8_t* Take(size_t Bytes);
  void Refill();

  TStream& FIn;
  std::string FFileName;
  int64_t FValueSize;
  int64_t FBytesLeft;  ///< bytes of the requested values not yet in the buffer
  std::vector<uint8_t> FBuffer;
  size_t FUsed = 0;
};

}  // namespace vexa::blockfile
