// TMatrix::Square and its column worker pool: the cross-product matrix
// against exact values, bitwise equality across thread counts, the number of
// workers, progress, abort with every worker joined, events, aliasing.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "linalg/Vexa_matrix.h"
#include "linalg/internal/Vexa_matrix_square.h"
#include "test_matrix_linalg_support.h"

namespace vexa {
namespace {

using matrix_detail::RunColumnPool;
using testing::ExpectNearRows;
using testing::GetRows;
using testing::ProgressHooksTest;
using testing::SameBits;
using testing::SetRows;
using testing::TRows;

using MatrixSquareTest = ProgressHooksTest;

/// A matrix of Cols columns and Rows rows with irregular values (fixed seed).
void FillIrregular(TMatrix& M, int32_t Cols, int32_t Rows) {
  M.Resize(Cols, Rows);
  uint64_t State = 12345;
  for (int32_t c = 1; c <= Cols; ++c) {
    for (int32_t r = 1; r <= Rows; ++r) {
      State = State * 6364136223846793005ull + 1442695040888963407ull;
      M.SetElem(c, r, static_cast<double>(State >> 11) / 9007199254740992.0 - 0.5);
    }
  }
}

TEST_F(MatrixSquareTest, CrossProductDividedByNorm) {
  // Columns (1,2,3,4,5), (2,−1,0,3,1), (0.5,0.25,−2,1,3); XᵀX/4 is exact in binary.
  TMatrix M(nullptr), R(nullptr);
  SetRows(M, {{1, 2, 0.5}, {2, -1, 0.25}, {3, 0, -2}, {4, 3, 1}, {5, 1, 3}});
  const TRows Expected = {{13.75, 4.25, 3.5}, {4.25, 3.75, 1.6875}, {3.5, 1.6875, 3.578125}};
  for (int32_t Threads : {1, 2, 8}) {
    SCOPED_TRACE(Threads);
    ASSERT_TRUE(M.Square(&R, 4.0, Threads));
    EXPECT_TRUE(SameBits(GetRows(R), Expected));
  }
  ASSERT_TRUE(M.Square(&R, 4.0));  // default thread count
  EXPECT_TRUE(SameBits(GetRows(R), Expected));
}

TEST_F(MatrixSquareTest, BitwiseEqualForEveryThreadCount) {
  TMatrix M(nullptr), One(nullptr), Many(nullptr);
  FillIrregular(M, 37, 203);
  ASSERT_TRUE(M.Square(&One, 3.0, 1));
  for (int32_t Threads : {2, 3, 8, 0, -4}) {
    SCOPED_TRACE(Threads);
    ASSERT_TRUE(M.Square(&Many, 3.0, Threads));
    EXPECT_TRUE(SameBits(GetRows(One), GetRows(Many)));
  }
  // And close to a plain reference in long double.
  const TRows Cells = GetRows(M);
  for (size_t i = 0; i < 37; i += 9) {
    for (size_t j = 0; j < 37; j += 7) {
      long double Sum = 0.0L;
      for (const auto& Row : Cells) {
        Sum += static_cast<long double>(Row[i]) * Row[j];
      }
      EXPECT_NEAR(One.Elem(static_cast<int32_t>(i + 1), static_cast<int32_t>(j + 1)),
                  static_cast<double>(Sum / 3.0L), 1e-14);
    }
  }
}

TEST_F(MatrixSquareTest, PoolStartsOneWorkerPerColumnAtMost) {
  const std::vector<std::tuple<int32_t, int32_t, int32_t>> Cases = {
      // columns, threads asked for, threads started
      {3, 8, 3}, {10, 2, 2}, {1, 8, 0}, {5, 1, 0}, {5, 0, 0}};
  for (const auto& [Columns, Asked, Started] : Cases) {
    SCOPED_TRACE(std::to_string(Columns) + " columns, " + std::to_string(Asked) + " threads");
    std::vector<std::atomic<int>> Runs(static_cast<size_t>(Columns));
    const auto Result = RunColumnPool(Columns, Asked, [&](int32_t c) { ++Runs[static_cast<size_t>(c)]; });
    EXPECT_TRUE(Result.Completed);
    EXPECT_EQ(Result.WorkersStarted, Started);
    EXPECT_EQ(Result.ColumnsStarted, Columns);
    for (const auto& Count : Runs) {
      EXPECT_EQ(Count.load(), 1);
    }
    EXPECT_EQ(ProcStat.load(), static_cast<double>(Columns));  // one step per column
    ProcStat = 0.0;
  }
}

TEST_F(MatrixSquareTest, AbortJoinsEveryWorkerBeforeReturning) {
  for (int32_t Threads : {1, 2, 4}) {
    SCOPED_TRACE(Threads);
    std::atomic<int> Running{0};
    std::atomic<int> Started{0};
    AbortMathProc = false;
    int Feedbacks = 0;
    MathFeedBackProc = [&Feedbacks](double) {
      if (++Feedbacks == 2) {
        AbortMathProc = true;
      }
    };
    const auto Result = RunColumnPool(50, Threads, [&](int32_t) {
      ++Running;
      ++Started;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
      --Running;
    });
    EXPECT_FALSE(Result.Completed);
    EXPECT_EQ(Running.load(), 0);  // nothing runs after the return
    EXPECT_EQ(Result.ColumnsStarted, Started.load());
    EXPECT_LT(Started.load(), 50);
  }
}

TEST_F(MatrixSquareTest, AbortedSquareReturnsFalseAndMatResCanGoAtOnce) {
  TMatrix M(nullptr);
  FillIrregular(M, 64, 2000);
  for (int32_t Threads : {1, 2, 8}) {
    SCOPED_TRACE(Threads);
    AbortMathProc = false;
    MathFeedBackProc = [](double) { AbortMathProc = true; };
    auto R = std::make_unique<TMatrix>(nullptr);
    int Changes = 0;
    R->OnChange = [&Changes](TObject*) { ++Changes; };
    EXPECT_FALSE(M.Square(R.get(), 1.0, Threads));
    EXPECT_EQ(R->NrOfColumns(), 64);
    EXPECT_EQ(Changes, 2);  // the resize's, then one at the end
    R.reset();  // no worker may touch it any more (ASan/TSan would see it)
  }
  // An aborted Square into Self leaves Self unchanged.
  const TRows Before = GetRows(M);
  EXPECT_FALSE(M.Square(&M, 1.0, 2));
  EXPECT_TRUE(SameBits(GetRows(M), Before));
}

TEST_F(MatrixSquareTest, EventsRefusalsAndAliasing) {
  TMatrix M(nullptr), R(nullptr);
  SetRows(M, {{1, 2}, {3, 4}});
  int Changes = 0, Resizes = 0;
  R.OnChange = [&Changes](TObject*) { ++Changes; };
  R.OnResize = [&Resizes](TObject*) { ++Resizes; };
  SetRows(R, {{9}});
  Changes = 0;
  for (int32_t Threads : {1, 2}) {
    Changes = Resizes = 0;
    R.Resize(1, 1);
    Changes = Resizes = 0;
    ASSERT_TRUE(M.Square(&R, 1.0, Threads));
    EXPECT_EQ(Changes, 2);  // resize, then one OnChange for all cells
    EXPECT_EQ(Resizes, 1);
  }
  Changes = Resizes = 0;
  ASSERT_TRUE(M.Square(&R, 1.0, 2));  // same size: no resize events
  EXPECT_EQ(Changes, 1);
  EXPECT_EQ(Resizes, 0);

  const TRows Before = GetRows(R);
  EXPECT_FALSE(M.Square(&R, 0.0, 2));
  EXPECT_FALSE(M.Square(nullptr, 1.0, 2));
  EXPECT_TRUE(SameBits(GetRows(R), Before));

  // Aliasing: Self as the result.
  ASSERT_TRUE(M.Square(&M, 2.0, 2));
  ExpectNearRows(M, {{5, 7}, {7, 10}}, 0.0);
}

}  // namespace
}  // namespace vexa
