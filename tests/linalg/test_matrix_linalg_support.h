#pragma once
// Helpers of the matrix linear-algebra, distance and Square tests: matrices
// written row by row, bitwise snapshots, and the progress globals reset
// around each test.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "fundora/Vexa_vexabase.h"
#include "linalg/Vexa_matrix.h"

namespace vexa::testing {

using TRows = std::vector<std::vector<double>>;

/// Resizes M to the shape of Rows (columns = length of a row) and fills it.
inline void SetRows(TMatrix& M, const TRows& Rows) {
  M.Resize(static_cast<int32_t>(Rows[0].size()), static_cast<int32_t>(Rows.size()));
  for (size_t r = 0; r < Rows.size(); ++r) {
    for (size_t c = 0; c < Rows[r].size(); ++c) {
      M.SetElem(static_cast<int32_t>(c + 1), static_cast<int32_t>(r + 1), Rows[r][c]);
    }
  }
}

/// The cells of M row by row.
inline TRows GetRows(const TMatrix& M) {
  TRows Rows(static_cast<size_t>(M.NrOfRows()), std::vector<double>(static_cast<size_t>(M.NrOfColumns())));
  for (int32_t r = 1; r <= M.NrOfRows(); ++r) {
    for (int32_t c = 1; c <= M.NrOfColumns(); ++c) {
      Rows[static_cast<size_t>(r - 1)][static_cast<size_t>(c - 1)] = M.Elem(c, r);
    }
  }
  return Rows;
}

/// Every cell within Tolerance of the expected one (same shape).
inline void ExpectNearRows(const TMatrix& M, const TRows& Expected, double Tolerance) {
  ASSERT_EQ(M.NrOfRows(), static_cast<int32_t>(Expected.size()));
  ASSERT_EQ(M.NrOfColumns(), static_cast<int32_t>(Expected[0].size()));
  for (int32_t r = 1; r <= M.NrOfRows(); ++r) {
    for (int32_t c = 1; c <= M.NrOfColumns(); ++c) {
      EXPECT_NEAR(M.Elem(c, r), Expected[static_cast<size_t>(r - 1)][static_cast<size_t>(c - 1)], Tolerance)
          << "cell (" << c << ", " << r << ")";
    }
  }
}

/// Bitwise equality of shape and cells (NaN equal to NaN of the same bits).
inline bool SameBits(const TRows& a, const TRows& b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (size_t r = 0; r < a.size(); ++r) {
    if (a[r].size() != b[r].size()) {
      return false;
    }
    for (size_t c = 0; c < a[r].size(); ++c) {
      if (std::memcmp(&a[r][c], &b[r][c], sizeof(double)) != 0) {
        return false;
      }
    }
  }
  return true;
}

/// Resets ProcStat, MathFeedBackProc and AbortMathProc before and after each test.
class ProgressHooksTest : public ::testing::Test {
protected:
  void SetUp() override { Reset(); }
  void TearDown() override { Reset(); }
  static void Reset() {
    AbortMathProc = false;
    MathFeedBackProc = nullptr;
    ProcStat = 0.0;
  }
};

}  // namespace vexa::testing
