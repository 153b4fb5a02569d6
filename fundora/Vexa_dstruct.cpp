#include "fundora/Vexa_dstruct.h"

#include <algorithm>
#include <array>
#include <bit>
#include <new>

namespace vexa {

namespace {

/// Number of 64-bit words that hold NumBits bits.
size_t WordsFor(int32_t NumBits) {
  return (static_cast<size_t>(NumBits) + 63) / 64;
}

/// The operand word as the operation uses it (complemented for the "not" forms).
uint64_t OperandWord(uint64_t Word, TLogicOp Op) {
  return (Op == loAndNot || Op == loOrNot || Op == loXorNot) ? ~Word : Word;
}

uint64_t Combine(uint64_t Own, uint64_t Operand, TLogicOp Op) {
  switch (Op) {
    case loAnd:
    case loAndNot: return Own & Operand;
    case loOr:
    case loOrNot: return Own | Operand;
    case loXor:
    case loXorNot: return Own ^ Operand;
  }
  return Own;  // an ordinal outside the enumeration changes nothing
}

constexpr std::array<uint32_t, 256> MakeCRC32Table() {
  std::array<uint32_t, 256> table{};
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1u) ? (0xEDB88320u ^ (c >> 1)) : (c >> 1);
    table[n] = c;
  }
  return table;
}

constexpr std::array<uint32_t, 256> kCRC32Table = MakeCRC32Table();

}  // namespace

TBitFld::TBitFld(int32_t NumBits) { SetSize(NumBits); }

void TBitFld::SetSize(int32_t NumBits) {
  if (NumBits < 0) NumBits = 0;
  try {
    FWords.resize(WordsFor(NumBits), 0);
  } catch (const std::bad_alloc&) {
    throw EVexaDStructError("TBitFld.SetSize: not enough memory");
  }
  FSize = NumBits;
  // Bits that were cut off must not come back as true when the field grows again.
  MaskTail();
}

void TBitFld::Clear() { std::fill(FWords.begin(), FWords.end(), 0); }

bool TBitFld::GetBit(int32_t Ix) const {
  if (Ix < 0 || Ix >= FSize) return false;
  return (FWords[Ix / kWordBits] >> (Ix % kWordBits)) & 1u;
}

void TBitFld::SetBit(int32_t Ix, bool Value) {
  if (Ix < 0 || Ix >= FSize) return;
  const TWord mask = TWord{1} << (Ix % kWordBits);
  if (Value)
    FWords[Ix / kWordBits] |= mask;
  else
    FWords[Ix / kWordBits] &= ~mask;
}

std::unique_ptr<TBitFld> TBitFld::Clone() const {
  auto copy = std::make_unique<TBitFld>();
  copy->FWords = FWords;
  copy->FSize = FSize;
  return copy;
}

void TBitFld::Invert() {
  for (TWord& word : FWords) word = ~word;
  MaskTail();
}

int32_t TBitFld::CountTrueBits() const {
  int32_t count = 0;
  for (TWord word : FWords) count += std::popcount(word);
  return count;
}

int32_t TBitFld::FirstTrueBit() const {
  for (size_t i = 0; i < FWords.size(); ++i) {
    if (FWords[i] != 0) return static_cast<int32_t>(i) * kWordBits + std::countr_zero(FWords[i]);
  }
  return -1;
}

void TBitFld::CombineWith(const TBitFld& Operand, TLogicOp Op) {
  for (size_t i = 0; i < FWords.size(); ++i)
    FWords[i] = Combine(FWords[i], OperandWord(Operand.WordAt(i), Op), Op);
  MaskTail();
}

void TBitFld::MaskTail() {
  const int32_t usedInLast = FSize % kWordBits;
  if (usedInLast != 0 && !FWords.empty()) FWords.back() &= (TWord{1} << usedInLast) - 1;
}

uint32_t CalcNextCRC32(uint8_t Data, uint32_t CRC) noexcept {
  return kCRC32Table[(CRC ^ Data) & 0xFFu] ^ (CRC >> 8);
}

}  // namespace vexa
