// Matrices: construction, dimensions and their events, assignment, fills,
// exchanges, mirroring, sorting of rows and columns, search and extremes.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "foundation/Vexa_storage.h"
#include "linalg/Vexa_matrix.h"
#include "support/MatrixCells.h"
#include "platform/Vexa_random.h"

namespace vexa {
namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

/// Column-major cells, one inner vector per column.
using vexa::testing::CellsOf;
using vexa::testing::SetCells;
using vexa::testing::TCols;

/// Records the events of a matrix in order: 'C' change, 'R' resize, 'X' exchange.
struct TEventLog {
  std::string Events;
  std::vector<std::tuple<int, int, int, int, int>> Exchanges;
  void Attach(TMatrix& m) {
    m.OnChange = [this](TObject*) { Events += 'C'; };
    m.OnResize = [this](TObject*) { Events += 'R'; };
    m.OnSortExchange = [this](TObject*, uint8_t Kind, int32_t i1, int32_t i2, int32_t f, int32_t l) {
      Events += 'X';
      Exchanges.emplace_back(Kind, i1, i2, f, l);
    };
  }
};

TEST(MatrixStructure, NewMatrixIsOneZeroCellWithDefaults) {
  TMatrix m(nullptr);
  EXPECT_EQ(m.NrOfColumns(), 1);
  EXPECT_EQ(m.NrOfRows(), 1);
  EXPECT_EQ(m.Elem(1, 1), 0.0);
  EXPECT_EQ(m.DataID(), "");
  EXPECT_EQ(m.Precision(1), 15);
  EXPECT_EQ(m.Precision(2), -1);
  m.SetPrecision(0, 40);  // index ≤ 1 is the first value; clamped to 25
  m.SetPrecision(7, -9);  // index > 1 the second; clamped to −1
  EXPECT_EQ(m.Precision(1), 25);
  EXPECT_EQ(m.Precision(2), -1);
}

TEST(MatrixStructure, ElementAccessOutsideIsIgnored) {
  TMatrix m(nullptr);
  m.Resize(2, 3);
  TEventLog Log;
  Log.Attach(m);
  for (const auto& [c, r] : std::vector<std::pair<int, int>>{{0, 1}, {3, 1}, {1, 0}, {1, 4}, {-1, -1}}) {
    m.SetElem(c, r, 5.0);
    EXPECT_EQ(m.Elem(c, r), 0.0);
  }
  EXPECT_EQ(Log.Events, "");
  m.SetElem(2, 3, 5.0);
  EXPECT_EQ(m.Elem(2, 3), 5.0);
  EXPECT_EQ(Log.Events, "C");
}

TEST(MatrixStructure, ResizeKeepsTopLeftBlockAndNotifies) {
  TMatrix m(nullptr);
  TEventLog Log;
  Log.Attach(m);
  EXPECT_TRUE(m.Resize(3, 2));
  EXPECT_EQ(Log.Events, "CR");
  EXPECT_FALSE(m.Resize(3, 2));  // current size: nothing
  EXPECT_FALSE(m.Resize(0, 2));
  EXPECT_FALSE(m.Resize(3, -1));
  EXPECT_EQ(Log.Events, "CR");
  m.FillSerial(1, 1);  // columns (1 2) (3 4) (5 6); fires nothing
  EXPECT_EQ(Log.Events, "CR");
  EXPECT_TRUE(m.Resize(2, 1));
  EXPECT_EQ(CellsOf(m), (TCols{{1}, {3}}));
  EXPECT_TRUE(m.Resize(3, 2));
  EXPECT_EQ(CellsOf(m), (TCols{{1, 0}, {3, 0}, {0, 0}}));
  m.SetNrOfRows(0);  // ignored
  m.SetNrOfColumns(-4);
  EXPECT_EQ(m.NrOfColumns(), 3);
  EXPECT_EQ(m.NrOfRows(), 2);
  m.SetNrOfRows(4);
  EXPECT_EQ(m.NrOfRows(), 4);
}

TEST(MatrixStructure, ResizeBeyondTheStorageLimitRaisesAndKeepsTheMatrix) {
  TMatrix m(nullptr);
  m.SetName("M");
  SetCells(m, {{1, 2}, {3, 4}});
  SetStorageLimit(1 << 20);
  TEventLog Log;
  Log.Attach(m);
  try {
    m.Resize(1000, 1000);
    ADD_FAILURE() << "no exception";
  } catch (const EVexaMatrixError& e) {
    EXPECT_STREQ(e.what(), "Component \"M\": not enough memory on heap");
  }
  EXPECT_THROW(m.Resize(INT32_MAX, INT32_MAX), EVexaMatrixError);
  SetStorageLimit(0);
  EXPECT_EQ(CellsOf(m), (TCols{{1, 2}, {3, 4}}));
  EXPECT_EQ(Log.Events, "");
}

TEST(MatrixStructure, ResizeAndClear) {
  TMatrix m(nullptr);
  SetCells(m, {{1, 2}, {3, 4}});
  TEventLog Log;
  Log.Attach(m);
  EXPECT_FALSE(m.ResizeAndClear(2, 2));  // current size: data kept, no event
  EXPECT_EQ(CellsOf(m), (TCols{{1, 2}, {3, 4}}));
  EXPECT_EQ(Log.Events, "");
  EXPECT_TRUE(m.ResizeAndClear(3, 2));
  EXPECT_EQ(CellsOf(m), (TCols{{0, 0}, {0, 0}, {0, 0}}));
  EXPECT_EQ(Log.Events, "CRCR");
}

TEST(MatrixStructure, TransposeAndRemoveColumnsAndRows) {
  TMatrix m(nullptr);
  SetCells(m, {{1, 2}, {3, 4}, {5, 6}});  // 3 columns × 2 rows
  TEventLog Log;
  Log.Attach(m);
  EXPECT_TRUE(m.Transpose());
  EXPECT_EQ(CellsOf(m), (TCols{{1, 3, 5}, {2, 4, 6}}));
  EXPECT_EQ(Log.Events, "CR");
  EXPECT_TRUE(m.RemoveRow(2));
  EXPECT_EQ(CellsOf(m), (TCols{{1, 5}, {2, 6}}));
  EXPECT_TRUE(m.RemoveColumn(1));
  EXPECT_EQ(CellsOf(m), (TCols{{2, 6}}));
  EXPECT_EQ(Log.Events, "CRCRCR");
  EXPECT_FALSE(m.RemoveColumn(1));  // the only column
  EXPECT_FALSE(m.RemoveRow(3));
  EXPECT_FALSE(m.RemoveRow(0));
  EXPECT_TRUE(m.RemoveRow(1));
  EXPECT_FALSE(m.RemoveRow(1));  // the only row
  EXPECT_EQ(CellsOf(m), (TCols{{6}}));
}

TEST(MatrixStructure, AssignCopiesEverythingSilentlyCloneOnlyDataWithEvents) {
  TMatrix a(nullptr), b(nullptr), c(nullptr);
  SetCells(a, {{1, 2, 3}, {4, 5, 6}});
  a.SetDataID("id");
  a.SetPrecision(1, 7);
  a.SetPrecision(2, 3);
  int Calls = 0;
  a.OnChange = [&](TObject*) { ++Calls; };
  a.OnCalcDistance = [](TObject*, int32_t, int32_t, double& d) { d = 42; };
  b.Assign(a);
  EXPECT_EQ(Calls, 0);
  EXPECT_EQ(CellsOf(b), CellsOf(a));
  EXPECT_EQ(b.DataID(), "id");
  EXPECT_EQ(b.Precision(1), 7);
  EXPECT_EQ(b.Precision(2), 3);
  ASSERT_TRUE(b.OnCalcDistance);
  b.SetElem(1, 1, 9);  // the copied handler counts b's change
  EXPECT_EQ(Calls, 1);
  a.AssignTo(c);
  EXPECT_EQ(CellsOf(c), CellsOf(a));
  TVector v(nullptr);
  EXPECT_THROW(v.Assign(a), EConvertError);

  TMatrix d(nullptr);
  TEventLog Log;
  Log.Attach(d);
  d.Clone(&a);
  EXPECT_EQ(CellsOf(d), CellsOf(a));
  EXPECT_EQ(d.DataID(), "");
  // resize, one change per cell, then change and resize
  EXPECT_EQ(Log.Events, "CR" + std::string(6, 'C') + "CR");
  d.Clone(nullptr);
}

TEST(MatrixStructure, RangeValidation) {
  TMatrix m(nullptr);
  m.Resize(5, 3);
  struct Case {
    int32_t Lo, Hi, ExpLo, ExpHi;
    bool Result;
  };
  for (const Case& c : {Case{0, 0, 1, 5, false}, Case{7, -2, 1, 5, true}, Case{4, 2, 2, 4, true},
                        Case{2, 4, 2, 4, false}}) {
    int32_t Lo = c.Lo, Hi = c.Hi;
    EXPECT_EQ(m.MakeValidColRange(Lo, Hi), c.Result);
    EXPECT_EQ(Lo, c.ExpLo);
    EXPECT_EQ(Hi, c.ExpHi);
  }
  int32_t Lo = 0, Hi = 9;
  EXPECT_TRUE(m.MakeValidRowRange(Lo, Hi));
  EXPECT_EQ(Lo, 1);
  EXPECT_EQ(Hi, 3);
}

TEST(MatrixFill, FillsWriteTheirCellsAndNotifyOnce) {
  TMatrix m(nullptr);
  m.Resize(3, 4);
  TEventLog Log;
  Log.Attach(m);
  m.Fill(2.0);
  m.Fill(3, 2, 4, 0, 7.0);  // columns 2..3, rows 1..4 (reversed and clamped)
  EXPECT_EQ(CellsOf(m), (TCols{{2, 2, 2, 2}, {7, 7, 7, 7}, {7, 7, 7, 7}}));
  m.Fill(1, 1, 2, 3, -1.0);  // asymmetric: one column, rows 2..3
  m.FillDiag(9.0);
  EXPECT_EQ(CellsOf(m), (TCols{{9, -1, -1, 2}, {7, 9, 7, 7}, {7, 7, 9, 7}}));
  EXPECT_EQ(Log.Events, "CCCC");
  m.FillSerial(0.5, 0.25);
  EXPECT_EQ(CellsOf(m), (TCols{{0.5, 0.75, 1, 1.25}, {1.5, 1.75, 2, 2.25}, {2.5, 2.75, 3, 3.25}}));
  EXPECT_EQ(Log.Events, "CCCC");  // the serial fill fires nothing
}

TEST(MatrixFill, RandomFillsStayInTheirRectangleAndRange) {
  TMatrix m(nullptr);
  m.Resize(4, 5);
  m.Fill(-100.0);
  SetRandSeed(3);
  m.FillRandomUniform(2, 3, 4, 5, 10.0, 20.0);  // columns 2..3, rows 4..5
  for (int32_t c = 1; c <= 4; ++c) {
    for (int32_t r = 1; r <= 5; ++r) {
      const bool Inside = c >= 2 && c <= 3 && r >= 4;
      const double x = m.Elem(c, r);
      EXPECT_TRUE(Inside ? (x >= 10.0 && x < 20.0) : x == -100.0) << c << "," << r;
    }
  }
  m.FillRandomGauss(5.0, 0.0);  // zero spread: every cell is the mean
  for (const auto& Col : CellsOf(m)) {
    for (double x : Col) {
      EXPECT_EQ(x, 5.0);
    }
  }
}

TEST(MatrixReorder, ExchangeAndMirror) {
  TMatrix m(nullptr);
  SetCells(m, {{1, 2, 3}, {4, 5, 6}});
  TEventLog Log;
  Log.Attach(m);
  m.ExchangeColumns(1, 2);
  m.ExchangeRows(1, 3);
  EXPECT_EQ(CellsOf(m), (TCols{{6, 5, 4}, {3, 2, 1}}));
  m.ExchangeColumns(0, 2);  // indices outside are ignored, no event
  m.ExchangeRows(1, 4);
  EXPECT_EQ(Log.Events, "CC");
  m.MirrorColumns();
  m.MirrorRows();
  EXPECT_EQ(CellsOf(m), (TCols{{1, 2, 3}, {4, 5, 6}}));
  EXPECT_EQ(Log.Events, "CCCC");
}

TEST(MatrixReorder, SortRowsMovesOnlyTheRangeAndTheKeyColumn) {
  TMatrix m(nullptr);
  SetCells(m, {{10, 20, 30, 40}, {4, 2, 3, 1}, {100, 200, 300, 400}});  // 3 columns × 4 rows
  TEventLog Log;
  Log.Attach(m);
  m.SortRows(2, true, 1, 0, 1, 0);
  EXPECT_EQ(CellsOf(m), (TCols{{40, 20, 30, 10}, {1, 2, 3, 4}, {100, 200, 300, 400}}));
  ASSERT_FALSE(Log.Exchanges.empty());
  for (const auto& [Kind, i1, i2, First, Last] : Log.Exchanges) {
    EXPECT_EQ(Kind, sekRows);
    EXPECT_LT(i1, i2);
    EXPECT_EQ(First, 1);
    EXPECT_EQ(Last, 1);
  }
  EXPECT_EQ(Log.Events.back(), 'C');
  EXPECT_EQ(std::count(Log.Events.begin(), Log.Events.end(), 'C'), 1);

  // Descending over rows 2..4 only (asymmetric range), all columns.
  m.SortRows(2, false, 0, 2, 0, 4);
  EXPECT_EQ(CellsOf(m), (TCols{{40, 10, 30, 20}, {1, 4, 3, 2}, {100, 400, 300, 200}}));
}

TEST(MatrixReorder, SortColsAndKeysOutsideOrNaN) {
  TMatrix m(nullptr);
  SetCells(m, {{3, 30}, {1, 10}, {2, 20}});  // keys in row 1: 3, 1, 2
  TEventLog Log;
  Log.Attach(m);
  m.SortCols(1, true, 0, 2, 0, 2);  // moves row 2 and the key row 1
  EXPECT_EQ(CellsOf(m), (TCols{{1, 10}, {2, 20}, {3, 30}}));
  EXPECT_EQ(std::get<0>(Log.Exchanges[0]), sekCols);
  EXPECT_EQ(std::get<3>(Log.Exchanges[0]), 2);
  EXPECT_EQ(std::get<4>(Log.Exchanges[0]), 2);
  Log.Events.clear();
  m.SortCols(5, false, 0, 0, 0, 0);  // key row outside: keys read 0, no exchange
  m.SortRows(-1, true, 0, 0, 0, 0);
  EXPECT_EQ(Log.Events, "CC");
  EXPECT_EQ(CellsOf(m), (TCols{{1, 10}, {2, 20}, {3, 30}}));
  // NaN and infinite keys finish without touching memory outside.
  SetCells(m, {{kNaN, 1, -std::numeric_limits<double>::infinity(), kNaN, 0}});
  m.SortRows(1, true, 0, 0, 0, 0);
  m.SortRows(1, false, 0, 0, 0, 0);
  EXPECT_EQ(m.NrOfRows(), 5);
}

TEST(MatrixSearch, FindMinMaxAndSortedColumn) {
  TMatrix m(nullptr);
  SetCells(m, {{5, 1, 9}, {2, 8, 1}, {7, 3, kNaN}});
  int32_t c = 0, r = 0;
  m.Find(0, 0, 0, 0, 1.2, c, r);
  EXPECT_EQ(c, 1);  // first of the two 1s in column-major order
  EXPECT_EQ(r, 2);
  m.Find(2, 3, 3, 3, 0.0, c, r);  // asymmetric: columns 2..3, row 3 only
  EXPECT_EQ(c, 2);
  EXPECT_EQ(r, 3);
  double Lo = 0, Hi = 0;
  m.MinMax(2, 1, 3, 2, Lo, Hi);  // LowCol, LowRow, HighCol, HighRow
  EXPECT_EQ(Lo, 2.0);
  EXPECT_EQ(Hi, 8.0);
  m.MinMax(0, 0, 0, 0, Lo, Hi);  // NaN takes no part
  EXPECT_EQ(Lo, 1.0);
  EXPECT_EQ(Hi, 9.0);

  TMatrix s(nullptr);
  SetCells(s, {{1, 3, 5, 7, 9}, {9, 7, 5, 3, 1}});
  struct Case {
    int32_t Col;
    bool Ascending;
    double Value;
    int32_t Row;
  };
  for (const Case& k : {Case{1, true, 7, 4}, Case{1, true, 4, 3}, Case{1, true, 100, 5}, Case{1, true, -5, 1},
                        Case{2, false, 3, 4}, Case{2, false, 6, 3}, Case{0, true, 3, 0}, Case{3, true, 3, 0}}) {
    EXPECT_EQ(s.FindInSortedColumn(k.Col, k.Ascending, k.Value), k.Row) << k.Col << " " << k.Value;
  }
}

TEST(MatrixSearch, CRCofDataLanesFollowTheStorageOrder) {
  TMatrix m(nullptr), t(nullptr);
  SetCells(m, {{1, 2}, {3, 4}});
  t.Assign(m);
  t.Transpose();
  EXPECT_EQ(m.CRCofData().size(), 64u);
  EXPECT_NE(m.CRCofData(), t.CRCofData());
  // A single cell 0: every lane is the CRC-32 of one zero byte (D202EF8D).
  TMatrix z(nullptr);
  std::string Expected;
  for (int i = 0; i < 8; ++i) {
    Expected += "D202EF8D";
  }
  EXPECT_EQ(z.CRCofData(), Expected);
}

}  // namespace
}  // namespace vexa
