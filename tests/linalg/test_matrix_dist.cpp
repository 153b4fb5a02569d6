// TMatrix as objects (rows) × features (columns): distances, the distance
// matrix, resampling, edge vectors and thresholding.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "linalg/Vexa_matrix.h"
#include "linalg/Vexa_vector.h"
#include "test_matrix_linalg_support.h"

namespace vexa {
namespace {

using testing::ExpectNearRows;
using testing::GetRows;
using testing::SameBits;
using testing::SetRows;
using testing::TRows;

// ---------------------------------------------------------------- distances

TEST(MatrixDistTest, DistanceOfObjectsInEveryMode) {
  struct TCase {
    std::string Name;
    TRows Rows;
    double Tanimoto, Manhattan, Euclidean, SqrEuclidean, Dice;
  };
  // Reference values by hand / mpmath: rows (1,2,3,4) and (2,0,5,1):
  // Σxy 21, Σx² 30, Σy² 30.
  const std::vector<TCase> Cases = {
      {"unit rows", {{1, 0}, {0, 1}}, 0, 2, std::sqrt(2.0), 2, 0},
      {"general", {{1, 2, 3, 4}, {2, 0, 5, 1}}, 0.53846153846153846154, 8, 4.2426406871192851464, 18, 0.7},
      {"all zero", {{0, 0, 0}, {0, 0, 0}}, 0, 0, 0, 0, 0},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TMatrix M(nullptr);
    SetRows(M, Case.Rows);
    EXPECT_NEAR(M.DistanceOfObjects(dmTanimoto, 1, 2), Case.Tanimoto, 1e-16);
    EXPECT_EQ(M.DistanceOfObjects(dmManhattan, 1, 2), Case.Manhattan);
    EXPECT_NEAR(M.DistanceOfObjects(dmEuclidean, 2, 1), Case.Euclidean, 1e-15);
    EXPECT_EQ(M.DistanceOfObjects(dmSqrEuclidean, 1, 2), Case.SqrEuclidean);
    EXPECT_NEAR(M.DistanceOfObjects(dmDice, 1, 2), Case.Dice, 1e-16);
    EXPECT_EQ(M.DistanceOfObjects(dmUserDefined, 1, 2), 0.0);  // no handler
    EXPECT_EQ(M.DistanceOfObjects(static_cast<TDistMode>(17), 1, 2), 0.0);
  }
}

TEST(MatrixDistTest, InvalidRowReadsAsZerosAndTheHandlerDecidesUserDistances) {
  TMatrix M(nullptr);
  SetRows(M, {{3, 4}, {1, 1}});
  EXPECT_EQ(M.DistanceOfObjects(dmEuclidean, 1, 9), 5.0);
  EXPECT_EQ(M.DistanceOfObjects(dmManhattan, 0, 2), 2.0);

  std::vector<std::pair<int32_t, int32_t>> Calls;
  M.OnCalcDistance = [&](TObject* Sender, int32_t Row1, int32_t Row2, double& Distance) {
    EXPECT_EQ(Sender, &M);
    EXPECT_EQ(Distance, 0.0);
    Calls.emplace_back(Row1, Row2);
    Distance = 10.0 * Row1 + Row2;
  };
  EXPECT_EQ(M.DistanceOfObjects(dmUserDefined, 2, 1), 21.0);
  ASSERT_EQ(Calls.size(), 1u);
}

TEST(MatrixDistTest, DistanceMatrixOfAllRows) {
  // Objects (0,0), (3,4), (6,8), (1,1): Euclidean distances by hand.
  TMatrix M(nullptr), D(nullptr);
  SetRows(M, {{0, 0}, {3, 4}, {6, 8}, {1, 1}});
  D.Resize(4, 4);
  D.Fill(-1.0);
  ASSERT_EQ(M.CalcDistMat(dmEuclidean, &D), 0);
  const double s2 = std::sqrt(2.0), s13 = std::sqrt(13.0), s74 = std::sqrt(74.0);
  ExpectNearRows(D, {{0, 5, 10, s2}, {5, 0, 5, s13}, {10, 5, 0, s74}, {s2, s13, s74, 0}}, 1e-15);

  // Similarity modes keep a zero diagonal; the user mode calls the handler per pair.
  ASSERT_EQ(M.CalcDistMat(dmDice, &D), 0);
  EXPECT_EQ(D.Elem(2, 2), 0.0);
  EXPECT_NEAR(D.Elem(2, 3), 0.8, 1e-16);  // (3,4) and (6,8): 100/125
  int Calls = 0;
  M.OnCalcDistance = [&Calls](TObject*, int32_t Row1, int32_t Row2, double& Distance) {
    ++Calls;
    Distance = Row1 * 10 + Row2;
  };
  ASSERT_EQ(M.CalcDistMat(dmUserDefined, &D), 0);
  EXPECT_EQ(Calls, 6);
  EXPECT_EQ(D.Elem(1, 4), 14.0);
  EXPECT_EQ(D.Elem(4, 1), 14.0);

  // Per-cell events when a handler is assigned.
  int Changes = 0;
  D.OnChange = [&Changes](TObject*) { ++Changes; };
  ASSERT_EQ(M.CalcDistMat(dmManhattan, &D), 0);
  EXPECT_EQ(Changes, 16);
}

TEST(MatrixDistTest, DistanceMatrixRefusalsWriteNothing) {
  TMatrix M(nullptr);
  SetRows(M, {{0, 0}, {3, 4}, {6, 8}});
  const std::vector<std::tuple<std::string, int32_t, int32_t, int32_t>> Cases = {
      {"too few columns", 2, 2, -2}, {"too many columns", 4, 3, -2}, {"not square", 3, 2, -1}};
  for (const auto& [Name, Cols, Rows, Code] : Cases) {
    SCOPED_TRACE(Name);
    TMatrix D(nullptr);
    D.Resize(Cols, Rows);
    D.Fill(7.0);
    const TRows Before = GetRows(D);
    EXPECT_EQ(M.CalcDistMat(dmEuclidean, &D), Code);
    EXPECT_TRUE(SameBits(GetRows(D), Before));
  }
  EXPECT_EQ(M.CalcDistMat(dmEuclidean, nullptr), -1);

  // Aliasing: a square Self as its own distance matrix.
  SetRows(M, {{0, 3}, {4, 0}});
  ASSERT_EQ(M.CalcDistMat(dmEuclidean, &M), 0);
  ExpectNearRows(M, {{0, 5}, {5, 0}}, 0.0);
}

// ---------------------------------------------------------------- resampling

TEST(MatrixDistTest, ResampleResultCodesChangeNothing) {
  TMatrix Src(nullptr), M(nullptr);
  SetRows(Src, {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}});
  const double NaN = std::numeric_limits<double>::quiet_NaN();
  struct TCase {
    std::string Name;
    double colpct, rowpct;
    bool EmptyIndices;
    int32_t Code;
  };
  const std::vector<TCase> Cases = {
      {"empty index arrays", 50, 50, true, -5}, {"colpct above 100", 101, 50, false, -1},
      {"colpct too small", 10, 50, false, -1},  {"colpct NaN", NaN, 50, false, -1},
      {"rowpct above 100", 50, 101, false, -2}, {"rowpct NaN", 50, NaN, false, -2},
      {"both bad: -2 wins", 0, 0, false, -2},   {"rowpct too small", 50, 12, false, -2},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    SetRows(M, {{42}});
    TIntArray ColIx = Case.EmptyIndices ? TIntArray{} : TIntArray{-7};
    TIntArray RowIx = {-8};
    EXPECT_EQ(M.ResampleExtMat(&Src, Case.colpct, Case.rowpct, false, ColIx, RowIx), Case.Code);
    EXPECT_TRUE(SameBits(GetRows(M), {{42}}));
    EXPECT_EQ(RowIx, TIntArray{-8});
  }
  TIntArray ColIx = {0}, RowIx = {0};
  EXPECT_EQ(M.ResampleExtMat(nullptr, 50, 50, false, ColIx, RowIx), -3);
}

TEST(MatrixDistTest, ResampleCopiesTheDrawnCells) {
  TMatrix Src(nullptr), M(nullptr);
  SetRows(Src, {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}});
  for (bool BootStrap : {false, true}) {
    SCOPED_TRACE(BootStrap);
    TIntArray ColIx = {0}, RowIx = {0};
    int Changes = 0, Resizes = 0;
    M.OnChange = [&Changes](TObject*) { ++Changes; };
    M.OnResize = [&Resizes](TObject*) { ++Resizes; };
    // 67 % of 3 columns = 2.01 → 2; 50 % of 4 rows = 2.
    ASSERT_EQ(M.ResampleExtMat(&Src, 67, 50, BootStrap, ColIx, RowIx), 0);
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(Resizes, 1);
    ASSERT_EQ(ColIx.size(), 2u);
    ASSERT_EQ(RowIx.size(), 2u);
    EXPECT_NE(ColIx[0], ColIx[1]);
    if (!BootStrap) {
      EXPECT_NE(RowIx[0], RowIx[1]);
    }
    ASSERT_EQ(M.NrOfColumns(), 2);
    ASSERT_EQ(M.NrOfRows(), 2);
    for (int32_t c = 1; c <= 2; ++c) {
      for (int32_t r = 1; r <= 2; ++r) {
        EXPECT_EQ(M.Elem(c, r), Src.Elem(ColIx[static_cast<size_t>(c - 1)], RowIx[static_cast<size_t>(r - 1)]));
      }
    }
  }
  // 100 % of the columns keeps them all, in order; Self may be the source.
  TIntArray ColIx = {0}, RowIx = {0};
  ASSERT_EQ(Src.ResampleExtMat(&Src, 100, 100, false, ColIx, RowIx), 0);
  EXPECT_EQ(ColIx, (TIntArray{1, 2, 3}));
  std::vector<int32_t> SortedRows = RowIx;
  std::sort(SortedRows.begin(), SortedRows.end());
  EXPECT_EQ(SortedRows, (std::vector<int32_t>{1, 2, 3, 4}));
  for (int32_t r = 1; r <= 4; ++r) {
    EXPECT_EQ(Src.Elem(1, r), 3.0 * RowIx[static_cast<size_t>(r - 1)] - 2.0);
  }
}

TEST(MatrixDistTest, ResampleDrawsEveryColumn) {
  // Drawing 1 of 3 columns: each column turns up (a cyclic shuffle never
  // picks column 1). 200 draws miss a column with probability 3·(2/3)^200.
  TMatrix Src(nullptr), M(nullptr);
  SetRows(Src, {{1, 2, 3}});
  std::set<int32_t> Seen;
  for (int k = 0; k < 200; ++k) {
    TIntArray ColIx = {0}, RowIx = {0};
    ASSERT_EQ(M.ResampleExtMat(&Src, 100.0 / 3.0, 100, false, ColIx, RowIx), 0);
    ASSERT_EQ(ColIx.size(), 1u);
    Seen.insert(ColIx[0]);
    EXPECT_EQ(M.Elem(1, 1), static_cast<double>(ColIx[0]));
  }
  EXPECT_EQ(Seen, (std::set<int32_t>{1, 2, 3}));
}

TEST(MatrixDistTest, ResampleFromMoreThanAMillionRows) {
  TMatrix Src(nullptr), M(nullptr);
  Src.Resize(1, 1000001);
  Src.FillSerial(1.0, 1.0);
  TIntArray ColIx = {0}, RowIx = {0};
  const int32_t Code = M.ResampleExtMat(&Src, 100, 50, false, ColIx, RowIx);
  ASSERT_EQ(Code, 0);
  ASSERT_EQ(RowIx.size(), 500000u);  // 500000.5 rounds to even
  std::vector<bool> Used(1000002, false);
  for (int32_t Row : RowIx) {
    ASSERT_GE(Row, 1);
    ASSERT_LE(Row, 1000001);
    EXPECT_FALSE(Used[static_cast<size_t>(Row)]);
    Used[static_cast<size_t>(Row)] = true;
  }
  EXPECT_EQ(M.Elem(1, 7), static_cast<double>(RowIx[6]));
}

// ---------------------------------------------------------------- edge vectors, thresholds

TEST(MatrixDistTest, EdgeVectorsPerRowAndPerColumn) {
  // Columns (1, 4, 9, 16) and (2, 2, 2, 2), (0, −1, 5, 3).
  TMatrix M(nullptr);
  TVector V(nullptr);
  SetRows(M, {{1, 2, 0}, {4, 2, -1}, {9, 2, 5}, {16, 2, 3}});
  struct TCase {
    std::string Name;
    TOrientation Orient;
    TEdgeOp Op;
    TIntArray Ix;
    int32_t Code;
    std::vector<double> Expected;
  };
  const std::vector<TCase> Cases = {
      {"column means", orHorizontal, eoMean, {}, 0, {7.5, 2, 1.75}},
      {"column means of rows 1, 3", orHorizontal, eoMean, {1, 3}, 0, {5, 2, 2.5}},
      {"row 0 skipped, row 2 used", orHorizontal, eoMean, {0, 2}, -2, {4, 2, -1}},
      {"column deviations (mpmath)", orHorizontal, eoStdDev, {}, 0, {6.5574385243020006523, 0, 2.753785273643051}},
      {"row sums", orVertical, eoSum, {}, 0, {3, 5, 16, 21}},
      {"row maxima of columns 1, 3", orVertical, eoMaximum, {3, 1}, 0, {1, 4, 9, 16}},
      {"row minima", orVertical, eoMinimum, {}, 0, {0, -1, 2, 2}},
      {"stddev of two cells", orVertical, eoStdDev, {1, 2}, 0, {0, 0, 0, 0}},
      {"only outside indices", orVertical, eoMean, {4, -1}, -2, {0, 0, 0, 0}},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    EXPECT_EQ(M.EdgeVector(Case.Orient, Case.Op, Case.Ix, &V), Case.Code);
    ASSERT_EQ(V.NrOfElem(), static_cast<int32_t>(Case.Expected.size()));
    for (size_t k = 0; k < Case.Expected.size(); ++k) {
      EXPECT_NEAR(V.Elem(static_cast<int32_t>(k + 1)), Case.Expected[k], 1e-14) << k;
    }
  }
  EXPECT_EQ(M.EdgeVector(orHorizontal, eoSum, &V), 0);
  EXPECT_EQ(V.Elem(1), 30.0);
  EXPECT_EQ(M.EdgeVector(orHorizontal, eoSum, nullptr), -1);
}

TEST(MatrixDistTest, DichotomizeCountsCellsAboveTheThreshold) {
  TMatrix M(nullptr);
  const double NaN = std::numeric_limits<double>::quiet_NaN();
  SetRows(M, {{1, 5, NaN}, {3, 3, 4}});
  TBool2DArray Flags;
  EXPECT_EQ(M.Dichotomize(3.0, Flags), 2);
  EXPECT_EQ(Flags, (TBool2DArray{{false, false}, {true, false}, {false, true}}));
  EXPECT_EQ(M.Dichotomize(-10.0, Flags), 5);
}

}  // namespace
}  // namespace vexa
