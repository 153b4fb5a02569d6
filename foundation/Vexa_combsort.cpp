#include "foundation/Vexa_combsort.h"

namespace vexa {

// Gap * 10 div 13 without forming Gap * 10: with Gap = 13q + r,
// Gap * 10 div 13 = 10q + (10r) div 13. Gaps below 2 (and negative ones,
// which a sort never produces) give 1.
int64_t NextCombGap(int64_t Gap) noexcept {
  if (Gap < 2) {
    return 1;
  }
  const int64_t Next = (Gap / 13) * 10 + (Gap % 13) * 10 / 13;
  return Next < 1 ? 1 : Next;
}

int32_t NextCombGap(int32_t Gap) noexcept {
  // The result is smaller than Gap, so it fits into 32 bits.
  return static_cast<int32_t>(NextCombGap(static_cast<int64_t>(Gap)));
}

}  // namespace vexa
