#pragma once
/// @file
/// The gap sequence of the comb sorts used throughout the library.

#include <cstdint>

namespace vexa {

/// Next comb-sort gap: Gap * 10 div 13 computed without overflow, at least 1.
/// Gives the same gaps as the classic (gap * 100000000 div 13000) div 10000
/// wherever that 32-bit formula does not overflow.
int32_t NextCombGap(int32_t Gap) noexcept;
int64_t NextCombGap(int64_t Gap) noexcept;

}  // namespace vexa
