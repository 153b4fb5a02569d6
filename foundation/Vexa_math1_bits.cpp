// Bits and bytes: powers of two, bit counts, bit reversal, Gray code, single
// bits, byte order.

#include <array>
#include <bit>
#include <cstring>

#include "foundation/Vexa_math1.h"

namespace vexa {

namespace {

/// Each byte mapped to the byte with its eight bits in reverse order, built
/// by rule the first time it is needed.
const std::array<uint8_t, 256>& BitReversalTable() {
  static const std::array<uint8_t, 256> table = [] {
    std::array<uint8_t, 256> t{};
    for (uint32_t b = 0; b < 256; ++b) {
      uint32_t reversed = 0;
      for (uint32_t bit = 0; bit < 8; ++bit) {
        if ((b >> bit) & 1u) reversed |= 1u << (7 - bit);
      }
      t[b] = static_cast<uint8_t>(reversed);
    }
    return t;
  }();
  return table;
}

template <typename T>
T ReverseBytes(T x) {
  std::array<unsigned char, sizeof(T)> bytes;
  std::memcpy(bytes.data(), &x, sizeof(T));
  for (size_t i = 0; i < sizeof(T) / 2; ++i) std::swap(bytes[i], bytes[sizeof(T) - 1 - i]);
  std::memcpy(&x, bytes.data(), sizeof(T));
  return x;
}

}  // namespace

bool CheckPowerOfTwo(uint32_t x) { return (x & (x - 1)) == 0; }

int32_t CountBits(uint8_t b) { return std::popcount(b); }

uint8_t BitReversal(uint8_t b) { return BitReversalTable()[b]; }

uint16_t GrayCode(uint16_t w) { return static_cast<uint16_t>(w ^ (w >> 1)); }

int32_t DecodeBit(int32_t n) { return n >= 0 && n <= 7 ? 1 << n : 0; }

int32_t DecodeLong(int32_t n) {
  // Bit 31 as an unsigned shift, then the 32-bit pattern (INT32_MIN).
  return n >= 0 && n <= 31 ? static_cast<int32_t>(1u << n) : 0;
}

int32_t EncodeLong(int32_t x) {
  const int32_t zeros = std::countr_zero(static_cast<uint32_t>(x));
  return zeros > 31 ? 31 : zeros;
}

double ConvertEndian(double x) { return ReverseBytes(x); }
float ConvertEndian(float x) { return ReverseBytes(x); }
uint16_t ConvertEndian(uint16_t x) { return ReverseBytes(x); }
int32_t ConvertEndian(int32_t x) { return ReverseBytes(x); }

}  // namespace vexa
