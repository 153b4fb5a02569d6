// Matrices: copies between matrices, vectors and arrays, with their result
// codes, clamping, overlapping self-copies and jagged arrays.

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "linalg/Vexa_matrix.h"
#include "support/MatrixCells.h"

namespace vexa {
namespace {

using vexa::testing::CellsOf;
using vexa::testing::SetCells;
using vexa::testing::TCols;

void SetValues(TVector& v, const std::vector<double>& Values) {
  v.Resize(static_cast<int32_t>(Values.size()));
  for (size_t i = 0; i < Values.size(); ++i) {
    v.SetElem(static_cast<int32_t>(i + 1), Values[i]);
  }
}

std::vector<double> ValuesOf(const TVector& v) {
  std::vector<double> Values;
  for (int32_t i = 1; i <= v.NrOfElem(); ++i) {
    Values.push_back(v.Elem(i));
  }
  return Values;
}

// 3 columns × 3 rows, cell (c, r) = 10·c + r.
const TCols kM = {{11, 12, 13}, {21, 22, 23}, {31, 32, 33}};

TEST(MatrixCopy, CopyFromMatrixClampsDropsAndNotifies) {
  TMatrix src(nullptr), dst(nullptr);
  SetCells(src, kM);
  dst.Resize(3, 3);
  std::string Log;
  dst.OnChange = [&](TObject*) { Log += 'C'; };
  // Corners (3, 0) and (2, 9): columns 2..3 and rows 1..3 (clamped, exchanged),
  // landing at (2, 2): the cells beyond column 3 or row 3 are dropped.
  dst.CopyFrom(&src, 3, 0, 2, 9, 2, 2);
  EXPECT_EQ(CellsOf(dst), (TCols{{0, 0, 0}, {0, 21, 22}, {0, 31, 32}}));
  EXPECT_EQ(Log, "CCCCC");  // four cells, then once
  dst.CopyFrom(nullptr, 1, 1, 1, 1, 1, 1);
  EXPECT_EQ(Log, "CCCCC");
}

TEST(MatrixCopy, OverlappingCopyWithinSelfReadsTheOldCells) {
  TMatrix m(nullptr);
  SetCells(m, kM);
  m.CopyFrom(&m, 1, 1, 2, 3, 2, 1);  // columns 1..2 shifted right by one
  EXPECT_EQ(CellsOf(m), (TCols{{11, 12, 13}, {11, 12, 13}, {21, 22, 23}}));
  SetCells(m, kM);
  m.CopyFrom(&m, 1, 1, 3, 2, 1, 2);  // rows 1..2 shifted down by one
  EXPECT_EQ(CellsOf(m), (TCols{{11, 11, 12}, {21, 21, 22}, {31, 31, 32}}));
}

TEST(MatrixCopy, CopyFromVectorDownOrAlong) {
  TMatrix m(nullptr);
  m.Resize(3, 3);
  TVector v(nullptr);
  SetValues(v, {1, 2, 3, 4});
  m.CopyFromVec(&v, 2, 9, 2, 2);  // elements 2..4 down column 2 from row 2; one dropped
  EXPECT_EQ(CellsOf(m), (TCols{{0, 0, 0}, {0, 2, 3}, {0, 0, 0}}));
  m.CopyFromVec(&v, 0, 0, 1, 3, false);  // all along row 3 from column 1
  EXPECT_EQ(CellsOf(m), (TCols{{0, 0, 1}, {0, 2, 2}, {0, 0, 3}}));
  m.CopyFromVec(dimColumns, &v, 4, 4, 1, 1);  // along the row
  m.CopyFromVec(dimRows, &v, 3, 4, 3, 1);     // down the column
  EXPECT_EQ(CellsOf(m), (TCols{{4, 0, 1}, {0, 2, 2}, {3, 4, 3}}));
  m.CopyFromVec(nullptr, 1, 1, 1, 1);
}

TEST(MatrixCopy, RowsAndColumnsToVectors) {
  TMatrix m(nullptr);
  SetCells(m, kM);
  TVector v(nullptr);
  SetValues(v, {9, 9});
  std::string Log;
  v.OnChange = [&](TObject*) { Log += 'C'; };
  m.CopyRowToVec(&v, 2, 0, 0);  // three cells, cut to the vector's two
  EXPECT_EQ(ValuesOf(v), (std::vector<double>{12, 22}));
  EXPECT_EQ(Log, "CCC");  // zero fill, then per element
  m.CopyColToVec(&v, 9, 3, 2);  // column clamped to 3, rows 2..3
  EXPECT_EQ(ValuesOf(v), (std::vector<double>{32, 33}));

  SetValues(v, {9, 9, 9, 9});
  struct Case {
    int32_t First, Last, DestElem;
    std::vector<double> Expected;
  };
  for (const Case& k : {Case{1, 3, 3, {0, 0, 11, 21}},     // cut to end at the last element
                        Case{1, 3, 0, {21, 31, 0, 0}},     // element 0 dropped
                        Case{1, 3, -1, {31, 0, 0, 0}},     // two dropped
                        Case{1, 3, -2, {31, 0, 0, 0}},     // whole span below 1: nothing happens
                        Case{1, 3, 5, {31, 0, 0, 0}}}) {   // beyond the vector: nothing happens
    m.CopyRowToVec(&v, 1, k.First, k.Last, k.DestElem);
    EXPECT_EQ(ValuesOf(v), k.Expected) << k.DestElem;
  }
  m.CopyColToVec(&v, 2, 2, 3, 2);
  EXPECT_EQ(ValuesOf(v), (std::vector<double>{0, 22, 23, 0}));
  m.CopyRowToVec(nullptr, 1, 1, 1);
}

TEST(MatrixCopy, RowsAndColumnsToOneDimensionalArrays) {
  TMatrix m(nullptr);
  SetCells(m, kM);
  TDoubleArray a(4, 9.0);
  m.CopyRowTo1DArray(a, 0, 2, 3, 1);  // row clamped to 1, columns 2..3 to positions 1..2
  EXPECT_EQ(a, (TDoubleArray{0, 21, 31, 0}));
  m.CopyColTo1DArray(a, 3, 1, 3, 2);  // position 4 does not exist
  EXPECT_EQ(a, (TDoubleArray{0, 0, 31, 32}));
  m.CopyColTo1DArray(a, 1, 1, 3, -2);  // only position 0 lies inside
  EXPECT_EQ(a, (TDoubleArray{13, 0, 0, 0}));
  m.CopyColTo1DArray(a, 1, 1, 3, -3);  // whole span below 0: unchanged
  m.CopyColTo1DArray(a, 1, 1, 3, 4);   // beyond the end: unchanged
  EXPECT_EQ(a, (TDoubleArray{13, 0, 0, 0}));
  TDoubleArray Empty;
  m.CopyRowTo1DArray(Empty, 1, 1, 3, 0);
  EXPECT_TRUE(Empty.empty());
}

TEST(MatrixCopy, CopyToArrayResultCodesAndCutting) {
  TMatrix m(nullptr);
  SetCells(m, kM);
  struct Case {
    std::string Name;
    int32_t ColLo, RowLo, ColHi, RowHi, DestCol, DestRow;
    int32_t Code;
  };
  const Case Cases[] = {
      {"all", 0, 0, 0, 0, 0, 0, 0},
      {"reversed columns", 3, 1, 1, 3, 0, 0, mcColRange},
      {"column beyond", 1, 1, 4, 3, 0, 0, mcColRange},
      {"row below", 1, -1, 3, 3, 0, 0, mcRowRange},
      {"dest column", 1, 1, 3, 3, 4, 0, mcElemRange},
      {"dest row", 1, 1, 3, 3, 0, -1, mcElemRange},
  };
  for (const Case& k : Cases) {
    TDouble2DArray Dest(4, TDoubleArray(3, -1.0));
    EXPECT_EQ(m.CopyToArray(Dest, k.ColLo, k.RowLo, k.ColHi, k.RowHi, k.DestCol, k.DestRow), k.Code) << k.Name;
  }
  TDouble2DArray Empty;
  EXPECT_EQ(m.CopyToArray(Empty, 0, 0, 0, 0, 0, 0), mcDestEmpty);
  TDouble2DArray EmptyColumn(2);
  EXPECT_EQ(m.CopyToArray(EmptyColumn, 0, 0, 0, 0, 0, 0), mcDestEmpty);

  // Asymmetric rectangle (columns 2..3, rows 1..3) cut at a jagged destination.
  TDouble2DArray Jagged = {{0, 0, 0}, {0, 0}, {0}};
  ASSERT_EQ(m.CopyToArray(Jagged, 2, 1, 3, 3, 1, 0), 0);
  EXPECT_EQ(Jagged, (TDouble2DArray{{0, 0, 0}, {21, 22}, {31}}));

  SetCells(m, {{1.5, 2.5, -0.5}, {std::numeric_limits<double>::quiet_NaN(), 1e300, -3.5}});
  TInt2DArray Ints(2, TIntArray(3, 7));
  ASSERT_EQ(m.CopyToArray(Ints, 0, 0, 0, 0, 0, 0), 0);
  // Nearest, ties to even; NaN 0; saturated.
  EXPECT_EQ(Ints, (TInt2DArray{{2, 2, 0}, {0, INT32_MAX, -4}}));
}

TEST(MatrixCopy, CopyFromOneDimensionalArray) {
  TMatrix m(nullptr);
  m.Resize(3, 4);
  const TDoubleArray Src = {1, 2, 3, 4};
  struct Case {
    int32_t First, Last, Col, Row;
    bool AsColumn;
    int32_t Code;
  };
  for (const Case& k : {Case{0, 4, 1, 1, true, mcElemRange}, Case{-1, 2, 1, 1, true, mcElemRange},
                        Case{0, 1, 4, 1, true, mcCellOutside}, Case{0, 1, 1, 0, false, mcCellOutside}}) {
    EXPECT_EQ(m.CopyFromArray(Src, k.First, k.Last, k.Col, k.Row, k.AsColumn), k.Code);
  }
  EXPECT_EQ(m.CopyFromArray(TDoubleArray{}, 0, 0, 1, 1, true), mcDestEmpty);
  EXPECT_EQ(CellsOf(m), (TCols{{0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}}));
  // Position 2 goes to row Row + 2, not Row; a reversed pair is exchanged.
  ASSERT_EQ(m.CopyFromArray(Src, 3, 2, 1, 1, true), 0);
  EXPECT_EQ(CellsOf(m), (TCols{{0, 0, 3, 4}, {0, 0, 0, 0}, {0, 0, 0, 0}}));
  ASSERT_EQ(m.CopyFromArray(TIntArray{5, 6, 7, 8}, 0, 0, 1, 2, false), 0);  // row mode, cells beyond dropped
  EXPECT_EQ(CellsOf(m), (TCols{{0, 5, 3, 4}, {0, 6, 0, 0}, {0, 7, 0, 0}}));
}

TEST(MatrixCopy, CopyFromTwoDimensionalArrayChecksEveryInnerArray) {
  TMatrix m(nullptr);
  m.Resize(3, 3);
  const TDouble2DArray Src = {{1, 2, 3}, {4, 5, 6}};
  struct Case {
    std::string Name;
    int32_t ColLo, RowLo, ColHi, RowHi, Col, Row;
    int32_t Code;
  };
  const TDouble2DArray Jagged = {{1, 2, 3}, {4}};
  for (const Case& k : {Case{"column", 0, 0, 2, 0, 1, 1, mcColRange}, Case{"row", 0, 0, 1, 3, 1, 1, mcRowRange},
                        Case{"cell", 0, 0, 0, 0, 4, 1, mcCellOutside}}) {
    EXPECT_EQ(m.CopyFromArray(Src, k.ColLo, k.RowLo, k.ColHi, k.RowHi, k.Col, k.Row), k.Code) << k.Name;
  }
  // Rows 1..2 of both columns: the second inner array is too short.
  EXPECT_EQ(m.CopyFromArray(Jagged, 0, 1, 1, 2, 1, 1), mcRowRange);
  EXPECT_EQ(m.CopyFromArray(TDouble2DArray{}, 0, 0, 0, 0, 1, 1), mcDestEmpty);
  EXPECT_EQ(m.CopyFromArray(TDouble2DArray{{}}, 0, 0, 0, 0, 1, 1), mcDestEmpty);
  EXPECT_EQ(CellsOf(m), (TCols{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}));
  // Array cell [i][j] goes to (Col + i, Row + j).
  ASSERT_EQ(m.CopyFromArray(Src, 0, 1, 1, 2, 1, 1), 0);
  EXPECT_EQ(CellsOf(m), (TCols{{0, 2, 3}, {0, 5, 6}, {0, 0, 0}}));
  ASSERT_EQ(m.CopyFromArray(TInt2DArray{{7, 8}}, 0, 0, 0, 0, 3, 2), 0);
  EXPECT_EQ(CellsOf(m), (TCols{{0, 2, 3}, {0, 5, 6}, {0, 7, 8}}));
}

TEST(MatrixCopy, DuplicateDataAsArray) {
  TMatrix m(nullptr);
  SetCells(m, {{1, 2}, {3, 4}, {5, 6}});
  TDouble2DArray Dest;
  EXPECT_EQ(m.DuplicateDataAsArray(Dest), mcDestEmpty);
  EXPECT_TRUE(Dest.empty());
  Dest = {{0}};
  ASSERT_EQ(m.DuplicateDataAsArray(Dest), 0);
  EXPECT_EQ(Dest, (TDouble2DArray{{1, 2}, {3, 4}, {5, 6}}));
}

}  // namespace
}  // namespace vexa
