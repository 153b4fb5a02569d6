#pragma once
/// @file
/// Validation of index ranges (low, high) on an axis of N entries, 1-based.
///
/// (0, 0) means the whole axis (result false); otherwise each bound is
/// clamped to 1..N (result true if one was changed); a reversed pair is then
/// exchanged.

#include <cstdint>

namespace vexa {

/// Range of a matrix, 3-D or 4-D axis: exchanging a reversed pair also makes
/// the result true.
bool MakeValidAxisRange(int32_t& Low, int32_t& High, int32_t N) noexcept;
/// Range of vector elements: exchanging a reversed pair does not change the result.
bool MakeValidElemRangeOfVector(int32_t& Low, int32_t& High, int32_t N) noexcept;

}  // namespace vexa
