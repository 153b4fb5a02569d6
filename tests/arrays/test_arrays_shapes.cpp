// Shapes and regions of the array unit: mask shapes, flood fill, edge
// vectors, object distances, hat matrix, serialising, cell lists, bounding
// boxes, permutations, rescaling.

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <deque>
#include <limits>
#include <random>

#include "arrays/Vexa_openarrays.h"

namespace vexa {
namespace {

const double NaN = std::numeric_limits<double>::quiet_NaN();

/// A mask of L1 x L2 cells with the listed cells (i, j) set.
TBool2DArray MaskWith(size_t L1, size_t L2, std::initializer_list<std::pair<size_t, size_t>> Set) {
  TBool2DArray Mask(L1, TBoolArray(L2, false));
  for (const auto& [i, j] : Set) {
    Mask[i][j] = true;
  }
  return Mask;
}

/// A mask of L1 x L2 cells with the cells where Inside(i, j) holds set.
template <class F>
TBool2DArray MaskWhere(size_t L1, size_t L2, F&& Inside) {
  TBool2DArray Mask(L1, TBoolArray(L2, false));
  for (size_t i = 0; i < L1; ++i) {
    for (size_t j = 0; j < L2; ++j) {
      Mask[i][j] = Inside(static_cast<int>(i), static_cast<int>(j));
    }
  }
  return Mask;
}

TEST(MaskShape, ShapesSetTheirCellsOnly) {
  struct Case {
    const char* What;
    TShapeKind Kind;
    TIntArray Params;
    size_t L1, L2;
    TBool2DArray Expected;
  };
  const Case Cases[] = {
      {"rectangle", skRectangle, {1, 1, 2, 3}, 4, 5,
       MaskWhere(4, 5, [](int i, int j) { return i >= 1 && i <= 2 && j >= 1 && j <= 3; })},
      {"rectangle clipped to the mask", skRectangle, {-5, 3, 100, 100}, 3, 5,
       MaskWhere(3, 5, [](int, int j) { return j >= 3; })},
      {"rectangle high below low", skRectangle, {2, 0, 1, 4}, 3, 5, MaskWith(3, 5, {})},
      {"ellipse of even spans: whole rectangle", skEllipse, {0, 0, 4, 4}, 5, 5,
       MaskWhere(5, 5, [](int, int) { return true; })},
      // Centre (1, 1), halved squared spans 4: (i-1)^2/4 + (j-1)^2/4 <= 1.
      {"ellipse of odd spans", skEllipse, {0, 0, 3, 3}, 4, 4,
       MaskWhere(4, 4, [](int i, int j) { return !((i == 3 && j != 1) || (j == 3 && i != 1)); })},
      {"ellipse of span 0: the strip", skEllipse, {2, 0, 2, 4}, 5, 5,
       MaskWhere(5, 5, [](int i, int) { return i == 2; })},
      {"ellipse of spans 1 and 0", skEllipse, {1, 1, 2, 1}, 4, 4, MaskWith(4, 4, {{1, 1}, {2, 1}})},
      {"ellipse of the widest spans", skEllipse, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, 3, 3,
       MaskWhere(3, 3, [](int, int) { return true; })},
      {"disc of radius 0", skDisc, {5, 5, 0}, 8, 8, MaskWith(8, 8, {{5, 5}})},
      {"disc", skDisc, {1, 1, 1}, 3, 4, MaskWith(3, 4, {{0, 1}, {1, 0}, {1, 1}, {1, 2}, {2, 1}})},
      {"disc of radius 2^30", skDisc, {1, 1, 1 << 30}, 3, 3, MaskWhere(3, 3, [](int, int) { return true; })},
      {"disc far outside", skDisc, {INT_MIN, 0, INT_MAX}, 3, 3, MaskWith(3, 3, {})},
      {"ring", skRing, {2, 2, 1, 2}, 5, 5,
       MaskWhere(5, 5, [](int i, int j) { const int d = (i - 2) * (i - 2) + (j - 2) * (j - 2); return d >= 1 && d <= 4; })},
      {"ring with exchanged radii", skRing, {2, 2, 2, 1}, 5, 5,
       MaskWhere(5, 5, [](int i, int j) { const int d = (i - 2) * (i - 2) + (j - 2) * (j - 2); return d >= 1 && d <= 4; })},
  };
  for (const Case& c : Cases) {
    TBool2DArray Mask(c.L1, TBoolArray(c.L2, false));
    EXPECT_EQ(CreateMaskShape(Mask, c.Kind, c.Params), 0) << c.What;
    EXPECT_EQ(Mask, c.Expected) << c.What;
  }
}

TEST(MaskShape, CodesAndCellsNeverCleared) {
  struct Case {
    TShapeKind Kind;
    TIntArray Params;
    int32_t Status;
  };
  const Case Cases[] = {
      {skDisc, {5, 5}, -1},         {skDisc, {1, 1, 1, 1}, -1},  {skRectangle, {0, 0, 1}, -1},
      {skDisc, {1, 1, -1}, -2},     {skRing, {1, 1, 2, -1}, -2}, {static_cast<TShapeKind>(9), {0, 0, 1, 1}, -1},
  };
  for (const Case& c : Cases) {
    TBool2DArray Mask(3, TBoolArray(3, false));
    EXPECT_EQ(CreateMaskShape(Mask, c.Kind, c.Params), c.Status);
    EXPECT_EQ(Mask, TBool2DArray(3, TBoolArray(3, false)));  // nothing drawn on failure
  }
  TBool2DArray Empty;
  EXPECT_EQ(CreateMaskShape(Empty, skDisc, {0, 0, 1}), -1);
  TBool2DArray Ragged{{false, false}, {false}};
  EXPECT_EQ(CreateMaskShape(Ragged, skDisc, {0, 0, 1}), -1);
  TBool2DArray Mask = MaskWith(3, 3, {{0, 0}});
  ASSERT_EQ(CreateMaskShape(Mask, skDisc, {2, 2, 0}), 0);
  EXPECT_EQ(Mask, MaskWith(3, 3, {{0, 0}, {2, 2}}));
}

// ---------------------------------------------------------------- flood fill

/// Region grown from the seed by a breadth-first search: the reference.
TBool2DArray ReferenceRegion(const TInt2DArray& A, int i0, int j0, bool FourConnected) {
  const int L1 = static_cast<int>(A.size());
  const int L2 = static_cast<int>(A[0].size());
  TBool2DArray In(A.size(), TBoolArray(A[0].size(), false));
  std::deque<std::pair<int, int>> Queue{{i0, j0}};
  In[i0][j0] = true;
  while (!Queue.empty()) {
    const auto [i, j] = Queue.front();
    Queue.pop_front();
    for (int di = -1; di <= 1; ++di) {
      for (int dj = -1; dj <= 1; ++dj) {
        const int ni = i + di, nj = j + dj;
        const bool Neighbour = (di != 0 || dj != 0) && (!FourConnected || di == 0 || dj == 0);
        if (Neighbour && ni >= 0 && ni < L1 && nj >= 0 && nj < L2 && !In[ni][nj] && A[ni][nj] == A[i0][j0]) {
          In[ni][nj] = true;
          Queue.push_back({ni, nj});
        }
      }
    }
  }
  return In;
}

TEST(FloodFill, SquareOfZerosAndItsCodes) {
  TInt2DArray A(3, TIntArray(3, 0));
  int32_t MaxJ = -9, MinJ = -9, MinI = -9, MaxI = -9;
  EXPECT_EQ(FloodFillArray(1, 1, 7, true, A, MaxJ, MinJ, MinI, MaxI), 9);
  EXPECT_EQ(A, TInt2DArray(3, TIntArray(3, 7)));
  EXPECT_EQ((std::array{MaxJ, MinJ, MinI, MaxI}), (std::array{2, 0, 0, 2}));
  EXPECT_EQ(FloodFillArray(1, 1, 7, true, A, MaxJ, MinJ, MinI, MaxI), -2);
  EXPECT_EQ(FloodFillArray(3, 1, 1, true, A, MaxJ, MinJ, MinI, MaxI), -1);
  EXPECT_EQ(FloodFillArray(0, -1, 1, true, A, MaxJ, MinJ, MinI, MaxI), -1);
  TInt2DArray Ragged{{0, 0}, {0}};
  EXPECT_EQ(FloodFillArray(0, 0, 1, true, Ragged, MaxJ, MinJ, MinI, MaxI), -1);
}

TEST(FloodFill, DiagonalLineIsOneRegionOnlyWithDiagonals) {
  for (const bool FourConnected : {true, false}) {
    TInt2DArray A(5, TIntArray(5, 0));
    for (size_t k = 0; k < 5; ++k) {
      A[k][k] = 1;
    }
    int32_t MaxJ, MinJ, MinI, MaxI;
    EXPECT_EQ(FloodFillArray(0, 0, 2, FourConnected, A, MaxJ, MinJ, MinI, MaxI), FourConnected ? 1 : 5);
    EXPECT_EQ(MaxI, FourConnected ? 0 : 4);
    EXPECT_EQ(MaxJ, FourConnected ? 0 : 4);
  }
}

TEST(FloodFill, RandomGridsMatchABreadthFirstSearch) {
  std::mt19937 Gen(12345);
  for (int Trial = 0; Trial < 200; ++Trial) {
    const size_t L1 = 1 + Gen() % 30, L2 = 1 + Gen() % 30;
    TInt2DArray A(L1, TIntArray(L2));
    for (auto& Column : A) {
      for (auto& Cell : Column) {
        Cell = static_cast<int32_t>(Gen() % 3 == 0);  // mazes of 0 with walls of 1
      }
    }
    const int i0 = static_cast<int>(Gen() % L1), j0 = static_cast<int>(Gen() % L2);
    const bool FourConnected = Trial % 2 == 0;
    const TBool2DArray Region = ReferenceRegion(A, i0, j0, FourConnected);
    TInt2DArray Expected = A;
    int32_t Count = 0, MinI = INT_MAX, MaxI = -1, MinJ = INT_MAX, MaxJ = -1;
    for (size_t i = 0; i < L1; ++i) {
      for (size_t j = 0; j < L2; ++j) {
        if (Region[i][j]) {
          Expected[i][j] = 5;
          ++Count;
          MinI = std::min(MinI, static_cast<int32_t>(i));
          MaxI = std::max(MaxI, static_cast<int32_t>(i));
          MinJ = std::min(MinJ, static_cast<int32_t>(j));
          MaxJ = std::max(MaxJ, static_cast<int32_t>(j));
        }
      }
    }
    int32_t OutMaxJ, OutMinJ, OutMinI, OutMaxI;
    ASSERT_EQ(FloodFillArray(i0, j0, 5, FourConnected, A, OutMaxJ, OutMinJ, OutMinI, OutMaxI), Count) << Trial;
    ASSERT_EQ(A, Expected) << Trial;
    EXPECT_EQ((std::array{OutMaxJ, OutMinJ, OutMinI, OutMaxI}), (std::array{MaxJ, MinJ, MinI, MaxI})) << Trial;
  }
}

TEST(FloodFill, RealFormUsesABandAroundTheSeed) {
  const TDouble2DArray Data{{1.0, 1.4, 2.0}, {0.7, 1.2, 5.0}, {NaN, 0.5, 1.1}};
  int32_t MaxJ, MinJ, MinI, MaxI;
  TDouble2DArray A = Data;
  // Band 0.6 .. 1.4 (negative tolerance taken as its size); 9 lies outside it.
  EXPECT_EQ(FloodFillArray(0, 0, -0.4, 9.0, true, A, MaxJ, MinJ, MinI, MaxI), 4);
  EXPECT_EQ(A[0][0], 9.0);
  EXPECT_EQ(A[0][1], 9.0);
  EXPECT_EQ(A[1][0], 9.0);
  EXPECT_EQ(A[1][1], 9.0);
  EXPECT_EQ(A[0][2], 2.0);
  EXPECT_EQ(A[2][1], 0.5);
  EXPECT_EQ(A[2][2], 1.1);  // only diagonally connected
  A = Data;
  // A new value inside the band: every cell is still filled once.
  EXPECT_EQ(FloodFillArray(0, 0, 0.4, 1.0, false, A, MaxJ, MinJ, MinI, MaxI), 5);
  EXPECT_EQ(A[2][2], 1.0);
  for (const double Tolerance : {NaN, 0.5}) {
    A = Data;
    const int32_t i0 = std::isnan(Tolerance) ? 0 : 2;  // a NaN tolerance, or a NaN seed
    EXPECT_EQ(FloodFillArray(i0, 0, Tolerance, 3.0, false, A, MaxJ, MinJ, MinI, MaxI), 0);
    EXPECT_EQ(A[0][0], 1.0);
  }
}

TEST(FloodFill, LargeRegionNeedsNoDeepRecursion) {
  // A serpentine corridor: every run is short, so the pending runs pile up.
  const size_t N = 1001;
  TInt2DArray A(N, TIntArray(N, 0));
  for (size_t i = 1; i < N; i += 2) {
    for (size_t j = 0; j < N; ++j) {
      A[i][j] = 1;
    }
    A[i][(i / 2) % 2 == 0 ? N - 1 : 0] = 0;  // the wall's gap alternates ends
  }
  int32_t MaxJ, MinJ, MinI, MaxI;
  const int32_t Filled = FloodFillArray(0, 0, 2, true, A, MaxJ, MinJ, MinI, MaxI);
  EXPECT_EQ(Filled, static_cast<int32_t>((N / 2 + 1) * N + N / 2));
  EXPECT_EQ(MaxI, static_cast<int32_t>(N - 1));
}

// ---------------------------------------------------------------- edge vectors, distances

TEST(EdgeVectors, ListsAndOrientations) {
  const TDouble2DArray A{{1, 2, 4}, {3, 5, 9}};  // 2 first indices, 3 second indices
  TDoubleArray R;
  EXPECT_EQ(EdgeVector(A, orHorizontal, eoMean, {0, 2}, R), 0);
  EXPECT_EQ(R, (TDoubleArray{2.5, 6.0}));
  EXPECT_EQ(EdgeVector(A, orHorizontal, eoMean, {0, 5}, R), -2);
  EXPECT_EQ(R, (TDoubleArray{1.0, 3.0}));
  EXPECT_EQ(EdgeVector(A, orVertical, eoSum, R), 0);
  EXPECT_EQ(R, (TDoubleArray{4, 7, 13}));
  const TInt2DArray I{{1, 2, 4}, {3, 5, 9}};
  EXPECT_EQ(EdgeVector(I, orHorizontal, eoMaximum, R), 0);
  EXPECT_EQ(R, (TDoubleArray{4, 9}));
  // Standard deviation of 3, 5, 9: sqrt(28/3 ... ) = sqrt(((3-17/3)^2 + (5-17/3)^2 + (9-17/3)^2) / 2).
  EXPECT_EQ(EdgeVector(I, orHorizontal, eoStdDev, {0, 1, 2}, R), 0);
  EXPECT_NEAR(R[1], 3.0550504633038935, 1e-15);
  EXPECT_EQ(R[0], std::sqrt(7.0 / 3.0));
  TDoubleArray Untouched{42};
  EXPECT_EQ(EdgeVector(TDouble2DArray{}, orVertical, eoSum, Untouched), -1);
  EXPECT_EQ(EdgeVector(TInt2DArray{{1}, {}}, orVertical, eoSum, Untouched), -1);
  EXPECT_EQ(Untouched, TDoubleArray{42});
}

TEST(Distances, ModesAndCheckOrder) {
  const TDouble2DArray A{{1, 0, 0}, {0, 1, 0}};  // features 0..1 of objects 0..2
  struct Case {
    TDistMode Mode;
    double Distance;
  };
  const Case Cases[] = {{dmManhattan, 2.0}, {dmEuclidean, std::sqrt(2.0)}, {dmSqrEuclidean, 2.0},
                        {dmTanimoto, 0.0},  {dmDice, 0.0}};
  for (const Case& c : Cases) {
    double d = -1;
    EXPECT_EQ(DistanceOfObjects(A, c.Mode, 0, 1, 0, 1, d), 0);
    EXPECT_EQ(d, c.Distance) << static_cast<int>(c.Mode);
  }
  double d = -1;
  EXPECT_EQ(DistanceOfObjects(A, dmTanimoto, 2, 2, 0, 1, d), 0);  // both all zero: 0, not NaN
  EXPECT_EQ(d, 0.0);
  EXPECT_EQ(DistanceOfObjects(A, dmDice, 2, 2, 0, 1, d), 0);
  EXPECT_EQ(d, 0.0);
  const TDouble2DArray B{{1, 2}, {2, 2}, {3, 1}};
  EXPECT_EQ(DistanceOfObjects(B, dmTanimoto, 0, 1, 0, 2, d), 0);
  EXPECT_DOUBLE_EQ(d, 9.0 / (14 + 9 - 9));  // xy = 2+4+3, xx = 14, yy = 9
  EXPECT_EQ(DistanceOfObjects(B, dmDice, 0, 1, 0, 2, d), 0);
  EXPECT_DOUBLE_EQ(d, 18.0 / 23.0);

  struct Codes {
    TDistMode Mode;
    int32_t o1, o2, First, Last;
    int32_t Status;
  };
  const Codes Checks[] = {
      {dmUserDefined, 0, 1, 0, 1, -1}, {dmEuclidean, 0, 3, 0, 1, -2}, {dmEuclidean, -1, 0, 0, 1, -2},
      {dmEuclidean, 0, 1, 0, 2, -3},   {dmEuclidean, 0, 1, 1, 0, -4}, {dmUserDefined, 0, 3, 0, 1, -2},
      {dmUserDefined, 5, 5, 7, 6, -4},
  };
  for (const Codes& c : Checks) {
    d = -1;
    EXPECT_EQ(DistanceOfObjects(A, c.Mode, c.o1, c.o2, c.First, c.Last, d), c.Status);
    EXPECT_EQ(d, 0.0);
  }
}

TEST(HatMatrix, AgreesWithExactArithmetic) {
  // X: 2 columns (intercept, x = 1, 2, 4) of 3 rows; H by fractions: 5/7 3/7 -1/7; 3/7 5/14 3/14; -1/7 3/14 13/14.
  const TDouble2DArray X{{1, 1, 1}, {1, 2, 4}};
  const double Expected[3][3] = {{5.0 / 7, 3.0 / 7, -1.0 / 7}, {3.0 / 7, 5.0 / 14, 3.0 / 14}, {-1.0 / 7, 3.0 / 14, 13.0 / 14}};
  TDouble2DArray H;
  ASSERT_EQ(CalcHatMatrix(X, H), 0);
  ASSERT_EQ(H.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    ASSERT_EQ(H[i].size(), 3u);
    for (size_t j = 0; j < 3; ++j) {
      EXPECT_NEAR(H[i][j], Expected[i][j], 1e-14) << i << " " << j;
    }
  }
  TDouble2DArray Untouched{{42}};
  EXPECT_EQ(CalcHatMatrix(TDouble2DArray{{1, 2}, {3, 4}, {5, 6}}, Untouched), -3);  // more columns than rows
  EXPECT_EQ(CalcHatMatrix(TDouble2DArray{{1, 2, 3}, {2, 4, 6}}, Untouched), -3);    // dependent columns
  EXPECT_EQ(CalcHatMatrix(TDouble2DArray{{1, 2, 3}, {2, 4}}, Untouched), -1);
  EXPECT_EQ(CalcHatMatrix(TDouble2DArray{}, Untouched), -1);
  EXPECT_EQ(Untouched, TDouble2DArray{{42}});
}

// ---------------------------------------------------------------- serialising, cells, boxes

TEST(Serialize, BothOrders) {
  const TDouble2DArray A{{1, 2, 3}, {4, 5, 6}};
  TDoubleArray R;
  SerializeArray(A, true, R);
  EXPECT_EQ(R, (TDoubleArray{1, 2, 3, 4, 5, 6}));
  SerializeArray(A, false, R);
  EXPECT_EQ(R, (TDoubleArray{1, 4, 2, 5, 3, 6}));
  TIntArray Ints{9};
  SerializeArray(TInt2DArray{}, true, Ints);
  EXPECT_EQ(Ints, TIntArray{9});  // nothing happens for an empty array
  try {
    SerializeArray(TInt2DArray{{1, 2}, {3}}, true, Ints);
    FAIL() << "no error for a ragged array";
  } catch (const EVexaError& e) {
    EXPECT_STREQ(e.what(), "SerializeArray: array is not rectangular");
  }
}

TEST(CellPositions, ListsInIndexOrderUpToTheLimit) {
  TIntArray P;
  EXPECT_EQ(ListCellPositions(TBoolArray{true, false, true, true}, true, 0, 10, P), 3);
  EXPECT_EQ(P, (TIntArray{10, 12, 13}));
  EXPECT_EQ(ListCellPositions(TBoolArray{true, false, true, true}, true, 2, 0, P), 2);
  EXPECT_EQ(P, (TIntArray{0, 2}));
  EXPECT_EQ(ListCellPositions(TBoolArray{true}, false, 5, 0, P), 0);
  EXPECT_TRUE(P.empty());
  EXPECT_EQ(ListCellPositions(TBoolArray{}, false, 5, 0, P), -1);
  TInt2DArray Q;
  EXPECT_EQ(ListCellPositions(TBool2DArray{{false, true}, {true, true}}, true, 2, 1, Q), 2);
  EXPECT_EQ(Q, (TInt2DArray{{1, 2}, {2, 1}}));
  EXPECT_EQ(ListCellPositions(TBool2DArray{{false, true}, {true}}, true, 2, 1, Q), -1);
  EXPECT_EQ(Q, (TInt2DArray{{1, 2}, {2, 1}}));
}

TEST(BoundingBox, NonZeroAndNaNCellsCount) {
  int32_t a, b, c, d;
  TDouble2DArray A(3, TDoubleArray(4, 0.0));
  A[2][3] = -1;
  BoundingRect(A, a, b, c, d);
  EXPECT_EQ((std::array{a, b, c, d}), (std::array{2, 2, 3, 3}));
  A[0][1] = NaN;
  BoundingRect(A, a, b, c, d);
  EXPECT_EQ((std::array{a, b, c, d}), (std::array{0, 2, 1, 3}));
  BoundingRect(TInt2DArray(2, TIntArray(2, 0)), a, b, c, d);
  EXPECT_EQ((std::array{a, b, c, d}), (std::array{-1, -1, -1, -1}));
  BoundingRect(TInt2DArray{}, a, b, c, d);
  EXPECT_EQ((std::array{a, b, c, d}), (std::array{-1, -1, -1, -1}));
  EXPECT_THROW(BoundingRect(TInt2DArray{{1}, {}}, a, b, c, d), EVexaError);
}

// ---------------------------------------------------------------- permutations, rescaling

TEST(Permute, PerColumnPerRowAndInverse) {
  const TDouble2DArray D{{1, 2, 3}, {4, 5, 6}};
  TDouble2DArray R;
  ASSERT_EQ(PermuteArray(D, {{2, 0, 1}, {0, 2, 1}}, acrColumns, false, R), 0);
  EXPECT_EQ(R, (TDouble2DArray{{3, 1, 2}, {4, 6, 5}}));
  TDouble2DArray Back;
  ASSERT_EQ(PermuteArray(R, {{2, 0, 1}, {0, 2, 1}}, acrColumns, true, Back), 0);
  EXPECT_EQ(Back, D);
  ASSERT_EQ(PermuteArray(D, {{1, 0}, {0, 1}, {1, 0}}, acrRows, false, R), 0);
  EXPECT_EQ(R, (TDouble2DArray{{4, 2, 6}, {1, 5, 3}}));
  ASSERT_EQ(PermuteArray(R, {{1, 0}, {0, 1}, {1, 0}}, acrRows, true, Back), 0);
  EXPECT_EQ(Back, D);

  TDouble2DArray Untouched{{42}};
  EXPECT_EQ(PermuteArray(TDouble2DArray{}, {{0}}, acrColumns, false, Untouched), -1);
  EXPECT_EQ(PermuteArray(D, {{0, 1}, {0, 1}}, acrColumns, false, Untouched), -2);
  EXPECT_EQ(PermuteArray(D, {{0, 1, 2}, {0, 1, 2}}, acrRows, false, Untouched), -2);
  EXPECT_EQ(PermuteArray(D, {{0, 1, 2}, {0, 1, 2}}, acrBoth, false, Untouched), -2);
  EXPECT_EQ(PermuteArray(D, {{0, 1, 1}, {0, 1, 2}}, acrColumns, false, Untouched), -3);
  EXPECT_EQ(PermuteArray(D, {{0, 1, 3}, {0, 1, 2}}, acrColumns, false, Untouched), -3);
  EXPECT_EQ(PermuteArray(D, {{0, 1, -1}, {0, 1, 2}}, acrColumns, false, Untouched), -3);
  EXPECT_EQ(Untouched, TDouble2DArray{{42}});
}

TEST(Rescale, ModesGiveOffsetAndFactor) {
  // Mean 3.75 and sample deviation 1.2583057392117916 of 2, 4, 4, 5 (Python's statistics module).
  const double Mean = 3.75, StdDev = 1.2583057392117916;
  TDoubleArray A{9, 2, 4, 4, 5, 9};
  double Offset = 0, Factor = 0;
  ASSERT_EQ(RescaleArray(A, 1, 4, rsmStandardize, Offset, Factor), 0);
  EXPECT_DOUBLE_EQ(Offset, Mean);
  EXPECT_DOUBLE_EQ(Factor, 1.0 / StdDev);
  EXPECT_EQ(A[0], 9.0);
  EXPECT_EQ(A[5], 9.0);
  EXPECT_NEAR(A[1], (2 - Mean) / StdDev, 1e-15);
  EXPECT_NEAR(A[4], (5 - Mean) / StdDev, 1e-15);

  A = {2, 4, NaN, 6};
  ASSERT_EQ(RescaleArray(A, 0, 3, rsmUnitRange, Offset, Factor), 0);
  EXPECT_EQ(Offset, 2.0);
  EXPECT_EQ(Factor, 0.25);
  EXPECT_EQ(A[0], 0.0);
  EXPECT_EQ(A[1], 0.5);
  EXPECT_TRUE(std::isnan(A[2]));
  EXPECT_EQ(A[3], 1.0);

  TDouble2DArray M{{1, 3}, {5, 7}};
  Offset = -1;  // target range -1 .. 1
  Factor = 1;
  ASSERT_EQ(RescaleArray(M, 0, 0, 1, 1, rsmToRange, Offset, Factor), 0);
  EXPECT_EQ(M, (TDouble2DArray{{-1, -1.0 / 3}, {1.0 / 3, 1}}));
  EXPECT_EQ(Factor, 1.0 / 3);
  M = {{1, 3}, {5, 7}};
  ASSERT_EQ(RescaleArray(M, 1, 0, 1, 1, rsmMeanCenter, Offset, Factor), 0);
  EXPECT_EQ(M, (TDouble2DArray{{1, 3}, {-1, 1}}));
  EXPECT_EQ(Offset, 6.0);
  EXPECT_EQ(Factor, 1.0);
}

TEST(Rescale, CodesLeaveDataAndOutputs) {
  struct Case {
    TDoubleArray Data;
    int32_t First, Last;
    TRescaleMode Mode;
    double Offset, Factor;
    int32_t Status;
  };
  const Case Cases[] = {
      {{}, 0, 0, rsmUnitRange, 5, 6, -1},        {{1, 2}, 0, 2, rsmUnitRange, 5, 6, -2},
      {{1, 2}, 1, 0, rsmUnitRange, 5, 6, -2},    {{3, 3, 3}, 0, 2, rsmUnitRange, 5, 6, -3},
      {{3, 3, 3}, 0, 2, rsmStandardize, 5, 6, -3}, {{3}, 0, 0, rsmStandardize, 5, 6, -3},
      {{NaN, NaN}, 0, 1, rsmMeanCenter, 5, 6, -3}, {{1, 2}, 0, 1, rsmToRange, 6, 5, -2},
      {{1, 2}, 0, 1, rsmToRange, NaN, 5, -2},
  };
  for (const Case& c : Cases) {
    TDoubleArray A = c.Data;
    double Offset = c.Offset, Factor = c.Factor;
    EXPECT_EQ(RescaleArray(A, c.First, c.Last, c.Mode, Offset, Factor), c.Status);
    EXPECT_EQ(A.size(), c.Data.size());
    for (size_t k = 0; k < A.size(); ++k) {
      EXPECT_TRUE(A[k] == c.Data[k] || (std::isnan(A[k]) && std::isnan(c.Data[k])));
    }
    EXPECT_TRUE(Offset == c.Offset || std::isnan(c.Offset));
    EXPECT_EQ(Factor, c.Factor);
  }
}

}  // namespace
}  // namespace vexa
