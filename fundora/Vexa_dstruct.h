#pragma once
/// @file
/// Data structures of the base package: a bit field with logical combination,
/// one step of the CRC-32 checksum, the unit's error class and the event of
/// the string array's sort.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "fundora/Vexa_vexabase.h"

namespace vexa {

/// Error class of the data-structure unit.
VEXA_DECLARE_EXCEPTION(EVexaDStructError, EVexaError);

/// Logical operation combining a bit field with an operand: AND, OR, XOR, and
/// the same three with the complemented operand (a AND NOT b, ...).
enum TLogicOp : uint8_t { loAnd, loOr, loXor, loAndNot, loOrNot, loXorNot };

/// Called by the string array before it exchanges two rows while sorting
/// (row indices as the array counts them).
using TBeforeSortExchgEvent = std::function<void(TObject* Sender, int32_t Row1, int32_t Row2)>;

/// A field of bits, indexed from 0 to Size() - 1, all false when created.
/// Bounds-safe: GetBit outside the field gives false, SetBit outside it is ignored.
class TBitFld : public TObject {
public:
  TBitFld() = default;
  /// A field of NumBits false bits (negative counts as 0).
  explicit TBitFld(int32_t NumBits);

  /// Number of bits.
  int32_t Size() const { return FSize; }
  /// Resizes the field; bits below the new size keep their values, new bits
  /// are false; a negative size counts as 0. Raises EVexaDStructError
  /// "TBitFld.SetSize: not enough memory" when the storage cannot be had (the
  /// field is then unchanged).
  void SetSize(int32_t NumBits);
  /// Sets every bit to false.
  void Clear();
  /// The bit at Ix; false outside the field.
  bool GetBit(int32_t Ix) const;
  /// Sets the bit at Ix; ignored outside the field.
  void SetBit(int32_t Ix, bool Value);
  /// A new field of the same size and bits.
  std::unique_ptr<TBitFld> Clone() const;
  /// Complements every bit.
  void Invert();
  /// Number of true bits.
  int32_t CountTrueBits() const;
  /// Index of the lowest true bit; -1 when no bit is true.
  int32_t FirstTrueBit() const;
  /// Combines every bit of this field with the bit of Operand at the same
  /// index: bit := bit Op operand-bit. Bits beyond Operand's size count as
  /// false (as true when complemented). The size of this field is kept.
  void CombineWith(const TBitFld& Operand, TLogicOp Op);

private:
  using TWord = uint64_t;
  static constexpr int32_t kWordBits = 64;
  /// Word WordIx of the storage; 0 beyond its end.
  TWord WordAt(size_t WordIx) const { return WordIx < FWords.size() ? FWords[WordIx] : 0; }
  /// Clears the unused bits of the last word, so counting and searching see none.
  void MaskTail();

  std::vector<TWord> FWords;
  int32_t FSize = 0;
};

/// One step of the standard reflected CRC-32 (polynomial $EDB88320, as used by
/// zlib, PNG and Ethernet): feeds the byte Data into the register CRC and
/// returns the new register, CRC := Table[(CRC xor Data) and $FF] xor (CRC shr 8).
///
/// The step does no conditioning: the caller starts the register at $FFFFFFFF
/// and complements it after the last byte. Feeding the bytes b1 ... bn that way,
///   not CalcNextCRC32(bn, ... CalcNextCRC32(b1, $FFFFFFFF))
/// is the CRC-32 of the sequence (zlib's crc32()).
uint32_t CalcNextCRC32(uint8_t Data, uint32_t CRC) noexcept;

}  // namespace vexa
