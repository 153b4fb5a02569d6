#include "foundation/Vexa_ranges.h"

#include <utility>

namespace vexa {
namespace {

/// Clamps Index into 1..N; true when it had to be moved.
bool ClampIndex(int32_t& Index, int32_t N) noexcept {
  if (Index < 1) {
    Index = 1;
    return true;
  }
  if (Index > N) {
    Index = N;
    return true;
  }
  return false;
}

/// The common rule; ExchangeCounts tells whether exchanging a reversed pair
/// counts as a correction.
bool MakeValidRange(int32_t& Low, int32_t& High, int32_t N, bool ExchangeCounts) noexcept {
  if (N < 1) {
    // An axis without entries (only a sparse integer matrix created empty has
    // one): 1..0 makes every loop over the range run zero times instead of
    // touching index 0 or N + 1.
    const bool WholeAxis = Low == 0 && High == 0;
    Low = 1;
    High = 0;
    return !WholeAxis;
  }
  if (Low == 0 && High == 0) {
    Low = 1;
    High = N;
    return false;
  }
  const bool LowMoved = ClampIndex(Low, N);
  const bool HighMoved = ClampIndex(High, N);
  bool Corrected = LowMoved || HighMoved;
  if (High < Low) {
    std::swap(Low, High);
    Corrected = Corrected || ExchangeCounts;
  }
  return Corrected;
}

}  // namespace

bool MakeValidAxisRange(int32_t& Low, int32_t& High, int32_t N) noexcept {
  return MakeValidRange(Low, High, N, true);
}

bool MakeValidElemRangeOfVector(int32_t& Low, int32_t& High, int32_t N) noexcept {
  return MakeValidRange(Low, High, N, false);
}

}  // namespace vexa
