#pragma once
// Internal to the 3-D and 4-D matrices (not installed): helpers shared by
// their .cpp files.

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>

#include "foundation/Vexa_math1.h"
#include "foundation/Vexa_progress.h"
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

/// One axis of a box inside a flat buffer: the 0-based first index on the
/// axis, the number of indices and the buffer distance between neighbours.
struct TBoxAxis {
  size_t First = 0;
  size_t Count = 1;
  size_t Stride = 1;
};

/// Axis of a validated 1-based range Low..High with the given stride.
inline TBoxAxis BoxAxis(int32_t Low, int32_t High, size_t Stride) {
  return {static_cast<size_t>(Low - 1), static_cast<size_t>(High - Low + 1), Stride};
}

/// Number of cells of a box.
template <size_t Rank>
uint64_t BoxCount(const std::array<TBoxAxis, Rank>& Axes) {
  uint64_t n = 1;
  for (const TBoxAxis& Axis : Axes) {
    n *= Axis.Count;  // a box of an existing buffer: the product fits
  }
  return n;
}

/// Calls Visit(offset) for every cell of the box, axes given outermost
/// first, so that a box whose innermost axis has stride 1 is walked in
/// storage order.
template <size_t Level = 0, size_t Rank, class TVisit>
void ForEachInBox(const std::array<TBoxAxis, Rank>& Axes, TVisit&& Visit, size_t Base = 0) {
  const TBoxAxis& Axis = Axes[Level];
  for (size_t i = 0; i < Axis.Count; ++i) {
    const size_t Offset = Base + (Axis.First + i) * Axis.Stride;
    if constexpr (Level + 1 == Rank) {
      Visit(Offset);
    } else {
      ForEachInBox<Level + 1>(Axes, Visit, Offset);
    }
  }
}

/// The search of Find: keeps the smallest distance offered so far. NaN
/// distances never compare smaller, so a NaN cell is never chosen over a
/// number; a tie keeps the earlier cell.
class TClosest {
public:
  /// True when Distance is the new best.
  bool Offer(double Distance) noexcept {
    if (Distance < FBest || (!FFound && Distance == FBest)) {
      FBest = Distance;
      FFound = true;
      return true;
    }
    return false;
  }

private:
  double FBest = std::numeric_limits<double>::infinity();
  bool FFound = false;
};

/// Calls ProgressStep about a hundred times over Total items: Tick() once per item.
class TProgressTicker {
public:
  explicit TProgressTicker(uint64_t Total) : FStep(Total / 100 > 0 ? Total / 100 : 1) {}
  void Tick() {
    if (++FCount % FStep == 0) {
      ProgressStep();  // statistics are not aborted: the flag is not consulted
    }
  }

private:
  uint64_t FStep;
  uint64_t FCount = 0;
};

}  // namespace vexa::mat3d_detail
