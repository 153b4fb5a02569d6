#pragma once
/// @file
/// Internal helpers of the second half of the array routines (shapes,
/// filling, copying, random fills, files), on top of Vexa_arraycore.h: the
/// status-routine shape test, the uniform draw without repetition and the
/// header of the block file, which the matrices share. Not installed.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "arrays/internal/Vexa_arraycore.h"
#include "platform/Vexa_datastreams.h"

namespace vexa::arraycore {

/// Shape of Arr when it is rectangular and has cells; false otherwise (the
/// status routines report a ragged array like an empty one).
template <class A>
bool NonEmptyShape(const A& Arr, TShape<RankOf<A>>& Shape) {
  return TryShape(Arr, Shape) && !IsEmptyShape(Shape);
}

/// Count distinct integers drawn uniformly from Low..High by a partial
/// Fisher-Yates shuffle that keeps only the displaced entries, so the memory
/// is O(Count) however wide the range; every value can come first. Draws
/// from the platform generator without re-seeding it. False (Values
/// unchanged) when the range holds fewer than Count values.
bool DrawWithoutRepetition(int64_t Low, int64_t High, size_t Count, std::vector<int64_t>& Values);

// ---------------------------------------------------------------- block file

/// Size of one record of the block file.
inline constexpr int64_t BlockRecordSize = 4096;
/// Format codes of the block file.
inline constexpr int32_t BlockFormatDouble = 1;
inline constexpr int32_t BlockFormatInt32 = 2;

/// Record 0 of the block file: sizes (0 for an absent axis), identifier and format.
struct TBlockHeader {
  int32_t NrColumns = 0;
  int32_t NrRows = 0;
  int32_t NrLayers = 0;
  int32_t NrTimeSlots = 0;
  std::string Identifier;  ///< at most 255 bytes are stored
  int32_t Format = BlockFormatDouble;
};

/// Writes Header as record 0 (the identifier cut to 255 bytes). Write errors
/// raise the stream's error.
void WriteBlockHeader(TStream& Stream, const TBlockHeader& Header);
/// Reads record 0; false when the stream is shorter than a record, a size is
/// negative, the format is unknown, or the values the sizes promise exceed the
/// stream (so no caller allocates for data that is not there).
bool ReadBlockHeader(TStream& Stream, TBlockHeader& Header);
/// Number of values the header promises: columns × rows × layers × slots,
/// absent axes counting 1; false when a size is negative or the product
/// does not fit into 64 bits.
bool TryBlockValueCount(const TBlockHeader& Header, int64_t& Count);
/// Values per record of a format (512 doubles, 1024 integers).
int64_t BlockValuesPerRecord(int32_t Format);

}  // namespace vexa::arraycore
