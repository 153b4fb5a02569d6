#pragma once
/// @file
/// Universal limits of the family. Real numbers are doubles throughout the
/// family, so the "real" and "double" limits are the same values.

#include <cstdint>
#include <limits>

namespace vexa {

/// The largest finite double, 1.7976931348623157e308. Scans for a minimum
/// start from it (and scans for a maximum from its negative).
inline constexpr double uc_MaxDouble = std::numeric_limits<double>::max();
/// The largest finite real; the same value as uc_MaxDouble, so that a scan
/// started from it is right for every finite double.
inline constexpr double uc_MaxReal = std::numeric_limits<double>::max();
/// The largest Int64, 9223372036854775807.
inline constexpr int64_t uc_MaxInt64 = std::numeric_limits<int64_t>::max();
/// The smallest positive normalised double, 2.2250738585072014e-308.
inline constexpr double uc_MinDouble = std::numeric_limits<double>::min();

}  // namespace vexa
