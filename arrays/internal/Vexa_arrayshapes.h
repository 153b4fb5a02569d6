#pragma once
/// @file
/// Internal helpers of the second half of the array routines (shapes,
/// filling, copying, random fills, files), on top of Vexa_arraycore.h: the
/// status-routine shape test and the uniform draw without repetition. Not
/// installed.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "arrays/internal/Vexa_arraycore.h"

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

}  // namespace vexa::arraycore
