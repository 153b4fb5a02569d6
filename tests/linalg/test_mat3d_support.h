#pragma once
// References for the 3-D and 4-D matrix tests, computed independently of the
// library: the fingerprint through zlib's crc32, moments of integer data in
// exact integer arithmetic, ranks by a full sort.

#include <zlib.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace vexa::testing {

/// Eight CRC-32 over byte j of every value (zlib), as 8 upper-case hex digits each.
inline std::string ByteLaneCRC(const std::vector<double>& Values) {
  std::string Result;
  for (int j = 0; j < 8; ++j) {
    std::vector<Bytef> Lane;
    for (const double x : Values) {
      Lane.push_back(static_cast<Bytef>(std::bit_cast<uint64_t>(x) >> (8 * j)));
    }
    char Hex[9];
    std::snprintf(Hex, sizeof Hex, "%08lX", crc32(0L, Lane.data(), static_cast<uInt>(Lane.size())));
    Result += Hex;
  }
  return Result;
}

/// Mean and the family's variance of integer values from exact integer sums:
/// (n·Σx² − (Σx)²) / (n(n − 1)), and 1 for n ≤ 2.
inline void ExactMeanVar(const std::vector<int64_t>& Values, double& Mean, double& Variance) {
  const auto n = static_cast<int64_t>(Values.size());
  int64_t Sum = 0, Squares = 0;
  for (const int64_t x : Values) {
    Sum += x;
    Squares += x * x;
  }
  Mean = static_cast<double>(Sum) / static_cast<double>(n);
  Variance = n <= 2 ? 1.0 : static_cast<double>(n * Squares - Sum * Sum) / static_cast<double>(n * (n - 1));
}

/// The value of rank round(prob·n/100) (ties to even, at most n − 1) of a
/// sorted copy, for a whole-number prob in 0 … 100.
inline double RankedValue(std::vector<int64_t> Values, int64_t prob) {
  std::sort(Values.begin(), Values.end());
  const auto n = static_cast<int64_t>(Values.size());
  const int64_t Whole = prob * n / 100;
  const int64_t Rest = prob * n % 100;
  int64_t k = Whole + (Rest > 50 || (Rest == 50 && Whole % 2 == 1) ? 1 : 0);
  k = std::min(k, n - 1);
  return static_cast<double>(Values[static_cast<size_t>(k)]);
}

}  // namespace vexa::testing
