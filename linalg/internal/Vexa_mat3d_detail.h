#pragma once
// Internal to the 3-D and 4-D matrices (not installed): helpers shared by
// their .cpp files.

#include <array>
#include <bit>
#include <cstdint>
#include <string>

#include "foundation/Vexa_math1.h"
#include "fundora/Vexa_dstruct.h"

namespace vexa::mat3d_detail {

/// The fingerprint of the 3-D and 4-D matrices: eight CRC-32 registers, byte
/// j of every double's bit pattern (0 = least significant) feeding register
/// j; the complemented registers as 8 hex digits each.
class TByteLaneCRC {
public:
  TByteLaneCRC() { FRegisters.fill(0xFFFFFFFFu); }
  void Add(double x) noexcept {
    const auto Bits = std::bit_cast<uint64_t>(x);
    for (size_t j = 0; j < FRegisters.size(); ++j) {
      FRegisters[j] = CalcNextCRC32(static_cast<uint8_t>(Bits >> (8 * j)), FRegisters[j]);
    }
  }
  std::string Text() const {
    std::string Result;
    for (const uint32_t Register : FRegisters) {
      Result += Hex(static_cast<int32_t>(~Register), 8);
    }
    return Result;
  }

private:
  std::array<uint32_t, 8> FRegisters;
};

}  // namespace vexa::mat3d_detail
