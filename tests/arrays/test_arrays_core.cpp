// Machinery of the array routines: shapes, boxes, the walker, the edge
// vector and distance cores.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "arrays/internal/Vexa_arraycore.h"

namespace vexa::arraycore {
namespace {

TEST(ArrayCore, ShapeOfRectangularAndRaggedArrays) {
  TShape<2> Shape{};
  EXPECT_TRUE(TryShape(TDouble2DArray{{1, 2, 3}, {4, 5, 6}}, Shape));
  EXPECT_EQ(Shape, (TShape<2>{2, 3}));
  EXPECT_FALSE(TryShape(TDouble2DArray{{1, 2, 3}, {4, 5}}, Shape));
  EXPECT_FALSE(IsRectangular(TDouble2DArray{{1}, {4, 5}}));  // a longer later row counts too
  EXPECT_TRUE(IsRectangular(TDouble2DArray{}));
  EXPECT_TRUE(IsEmptyShape(RectangularShape(TDouble2DArray{{}, {}}, "X")));

  // Ragged deep inside a 3-D array.
  const TInt3DArray Deep{{{1, 2}, {3, 4}}, {{5, 6}, {7}}};
  EXPECT_FALSE(IsRectangular(Deep));
  try {
    RectangularShape(Deep, "MeanArray");
    FAIL() << "no error for a ragged array";
  } catch (const EVexaError& e) {
    EXPECT_STREQ(e.what(), "MeanArray: array is not rectangular");
  }
  EXPECT_TRUE(IsRectangular(TBool2DArray{{true, false}, {false, true}}));
}

TEST(ArrayCore, BoxesTakeAllLowsThenAllHighs) {
  const TBox<3> Box = MakeBox<3>({1, 2, 3, 4, 5, 6});
  EXPECT_EQ(Box.Low, (TShape<3>{1, 2, 3}));
  EXPECT_EQ(Box.High, (TShape<3>{4, 5, 6}));

  struct Case {
    TShape<2> Shape;
    std::array<int64_t, 4> Args;
    int32_t Status;
  };
  const Case Cases[] = {
      {{2, 3}, {0, 0, 1, 2}, 0},  {{2, 3}, {1, 2, 1, 2}, 0},  {{0, 0}, {0, 0, 0, 0}, -1},
      {{2, 0}, {0, 0, 0, 0}, -1}, {{2, 3}, {-1, 0, 1, 2}, -2}, {{2, 3}, {0, 0, 2, 2}, -2},
      {{2, 3}, {0, 2, 1, 1}, -2},  // high below low
  };
  for (const Case& c : Cases) {
    EXPECT_EQ(ValidateBox(c.Shape, MakeBox<2>(c.Args)), c.Status);
  }
}

TEST(ArrayCore, WalkerVisitsTheBoxInIndexOrderAndWritesThrough) {
  TInt3DArray A(2, TInt2DArray(3, TIntArray(4, 0)));
  int32_t Serial = 0;
  ForEachCell(WholeBox<3>({2, 3, 4}), [&](auto&& x) { x = Serial++; }, A);
  EXPECT_EQ(A[1][2][3], 23);  // last index fastest
  EXPECT_EQ(A[0][1][0], 4);

  std::vector<TShape<3>> Visited;
  ForEachIndexedCell(MakeBox<3>({1, 1, 2, 1, 2, 3}),
                     [&](const TShape<3>& Ix, int32_t) { Visited.push_back(Ix); }, A);
  const std::vector<TShape<3>> Expected{{1, 1, 2}, {1, 1, 3}, {1, 2, 2}, {1, 2, 3}};
  EXPECT_EQ(Visited, Expected);

  // Several arrays at once, one of them boolean (proxy cells).
  TBool2DArray Mask{{false, true}, {true, false}};
  const TDouble2DArray D{{1, 2}, {3, 4}};
  double Sum = 0;
  ForEachCell(WholeBox<2>({2, 2}), [&](auto&& m, double x) {
    if (m) Sum += x;
    m = !m;
  }, Mask, D);
  EXPECT_EQ(Sum, 5.0);
  EXPECT_EQ(Mask, (TBool2DArray{{true, false}, {false, true}}));
}

TEST(ArrayCore, EdgeVectorCoreAggregatesListedLines) {
  // 2 columns × 3 rows: cell [i][j].
  const TDouble2DArray A{{1, 2, 4}, {10, 20, 40}};
  auto Cell = [&](int64_t i, int64_t j) { return A[size_t(i)][size_t(j)]; };
  TDoubleArray Dest;

  // One result per first index, mean over the second indices 0 and 2.
  const TIntArray List02{0, 2};
  EXPECT_EQ(EdgeVectorCore(2, 3, Cell, false, eoMean, List02, 0, Dest), 0);
  EXPECT_EQ(Dest, (TDoubleArray{2.5, 25}));

  // Index 5 does not exist: skipped, status −2.
  const TIntArray List05{0, 5};
  EXPECT_EQ(EdgeVectorCore(2, 3, Cell, false, eoMean, List05, 0, Dest), -2);
  EXPECT_EQ(Dest, (TDoubleArray{1, 10}));

  // The same list counted from 1 (the matrices' convention).
  const TIntArray List13{1, 3};
  EXPECT_EQ(EdgeVectorCore(2, 3, Cell, false, eoMean, List13, 1, Dest), 0);
  EXPECT_EQ(Dest, (TDoubleArray{2.5, 25}));

  // No listed index valid: mean 0 (not 0/0), minimum stays at its start value.
  const TIntArray Invalid{7};
  EXPECT_EQ(EdgeVectorCore(2, 3, Cell, true, eoMean, Invalid, 0, Dest), -2);
  EXPECT_EQ(Dest, (TDoubleArray{0, 0, 0}));
  EXPECT_EQ(EdgeVectorCore(2, 3, Cell, true, eoMinimum, Invalid, 0, Dest), -2);
  EXPECT_EQ(Dest[0], uc_MaxDouble);

  // One result per second index over all first indices.
  EXPECT_EQ(EdgeVectorCore(2, 3, Cell, true, eoSum, {}, 0, Dest), 0);
  EXPECT_EQ(Dest, (TDoubleArray{11, 22, 44}));
  EXPECT_EQ(EdgeVectorCore(2, 3, Cell, true, eoMaximum, {}, 0, Dest), 0);
  EXPECT_EQ(Dest, (TDoubleArray{10, 20, 40}));
  EXPECT_EQ(EdgeVectorCore(2, 3, Cell, false, eoStdDev, {}, 0, Dest), 0);
  // Sample standard deviations of (1, 2, 4) and (10, 20, 40): √(7/3), 10·√(7/3).
  EXPECT_DOUBLE_EQ(Dest[0], std::sqrt(7.0 / 3.0));
  EXPECT_DOUBLE_EQ(Dest[1], 10 * std::sqrt(7.0 / 3.0));
}

TEST(ArrayCore, EdgeStdDevOfShiftedDataAndOfTwoCells) {
  const TDouble2DArray A{{1e8 + 1, 1e8 + 2, 1e8 + 3}};
  auto Cell = [&](int64_t i, int64_t j) { return A[size_t(i)][size_t(j)]; };
  TDoubleArray Dest;
  EXPECT_EQ(EdgeVectorCore(1, 3, Cell, false, eoStdDev, {}, 0, Dest), 0);
  EXPECT_EQ(Dest[0], 1.0);
  const TIntArray Two{0, 1};
  EXPECT_EQ(EdgeVectorCore(1, 3, Cell, false, eoStdDev, Two, 0, Dest), 0);
  EXPECT_EQ(Dest[0], 0.0);  // fewer than three cells
}

TEST(ArrayCore, ObjectDistanceCoreModes) {
  const double x[] = {1, 0}, y[] = {0, 1};
  auto X = [&](int64_t k) { return x[k]; };
  auto Y = [&](int64_t k) { return y[k]; };
  EXPECT_EQ(ObjectDistanceCore(dmManhattan, 0, 1, X, Y), 2.0);
  EXPECT_EQ(ObjectDistanceCore(dmEuclidean, 0, 1, X, Y), std::sqrt(2.0));
  EXPECT_EQ(ObjectDistanceCore(dmSqrEuclidean, 0, 1, X, Y), 2.0);
  EXPECT_EQ(ObjectDistanceCore(dmTanimoto, 0, 1, X, Y), 0.0);
  EXPECT_EQ(ObjectDistanceCore(dmDice, 0, 1, X, Y), 0.0);
  EXPECT_EQ(ObjectDistanceCore(dmUserDefined, 0, 1, X, Y), 0.0);

  const double a[] = {1, 2, 3}, b[] = {2, 2, 1};
  auto A = [&](int64_t k) { return a[k]; };
  auto B = [&](int64_t k) { return b[k]; };
  // Σab = 9, Σa² = 14, Σb² = 9: Tanimoto 9/14, Dice 18/23.
  EXPECT_DOUBLE_EQ(ObjectDistanceCore(dmTanimoto, 0, 2, A, B), 9.0 / 14.0);
  EXPECT_DOUBLE_EQ(ObjectDistanceCore(dmDice, 0, 2, A, B), 18.0 / 23.0);
  EXPECT_EQ(ObjectDistanceCore(dmManhattan, 1, 2, A, B), 2.0);  // features 1..2 only

  // Both objects all zero: the similarity is 0, not NaN.
  const double z[] = {0, 0};
  auto Z = [&](int64_t k) { return z[k]; };
  EXPECT_EQ(ObjectDistanceCore(dmTanimoto, 0, 1, Z, Z), 0.0);
  EXPECT_EQ(ObjectDistanceCore(dmDice, 0, 1, Z, Z), 0.0);
}

TEST(ArrayCore, NewArrayIsGuarded) {
  const auto A = NewArray<TInt3DArray>("X", {2, 3, 1});
  EXPECT_EQ(A, TInt3DArray(2, TInt2DArray(3, TIntArray(1, 0))));
  try {
    NewArray<TDouble2DArray>("CloneArray", {int64_t(1) << 40, int64_t(1) << 40});
    FAIL() << "no error for a huge array";
  } catch (const EVexaError& e) {
    EXPECT_STREQ(e.what(), "CloneArray: not enough memory");
  }
}

}  // namespace
}  // namespace vexa::arraycore
