// TIntMatrix, sparse form: growth of the dimensions with the writes,
// conversions, the sparse-aware operations, equality with the dense form,
// the refused operations, and allocation failures.

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "foundation/Vexa_storage.h"
#include "linalg/Vexa_intmatrix.h"
#include "linalg/test_intmatrix_support.h"

namespace vexa {
namespace {

using testing::IntCellsOf;
using testing::ReferenceCRC;
using testing::SetIntCells;
using testing::StorageOrder;
using testing::TIntCols;
using testing::TIntEventLog;

/// The entries as (column, row, value) triples.
std::vector<std::tuple<int32_t, int32_t, int32_t>> EntriesOf(const TIntMatrix& m) {
  std::vector<std::tuple<int32_t, int32_t, int32_t>> Result;
  for (const TSpMatElemInt& e : m.SparseEntries()) {
    Result.emplace_back(e.colidx, e.rowidx, e.value);
  }
  return Result;
}

bool StrictlyOrdered(const TIntMatrix& m) {
  const auto e = m.SparseEntries();
  for (size_t i = 1; i < e.size(); ++i) {
    if (std::pair(e[i - 1].colidx, e[i - 1].rowidx) >= std::pair(e[i].colidx, e[i].rowidx)) {
      return false;
    }
  }
  return true;
}

TEST(IntMatrixSparse, DimensionsFollowTheWrites) {
  TIntMatrix m(nullptr, SparseForm, 10);
  EXPECT_TRUE(m.IsSparse());
  EXPECT_EQ(m.NrOfColumns(), 0);
  EXPECT_EQ(m.NrOfRows(), 0);
  EXPECT_EQ(m.SparseAllocated(), 10);
  TIntEventLog Log;
  Log.Attach(m);
  m.SetElem(5, 3, 7);
  EXPECT_EQ(m.NrOfColumns(), 5);
  EXPECT_EQ(m.NrOfRows(), 3);
  EXPECT_EQ(IntCellsOf(m), (TIntCols{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 7}}));
  m.SetElem(2, 7, -4);
  EXPECT_EQ(m.NrOfColumns(), 5);
  EXPECT_EQ(m.NrOfRows(), 7);
  int32_t LoC = 0, HiC = 0, LoR = 0, HiR = 0;
  m.SparseBox(LoC, HiC, LoR, HiR);
  EXPECT_EQ(std::tuple(LoC, HiC, LoR, HiR), std::tuple(2, 5, 3, 7));
  EXPECT_EQ(m.Elem(1, 1), 0);  // outside the box
  EXPECT_EQ(m.Elem(0, 3), 0);
  // Writing 0 keeps the entry; indices below 1 are ignored.
  m.SetElem(5, 3, 0);
  m.SetElem(0, 1, 9);
  EXPECT_EQ(EntriesOf(m), (std::vector<std::tuple<int32_t, int32_t, int32_t>>{{2, 7, -4}, {5, 3, 0}}));
  EXPECT_EQ(Log.Events, "CCC");
  // Fill(0) removes every entry and empties the box; the room goes back to AllocBy.
  m.SetElem(9, 9, 1);
  m.Fill(0);
  EXPECT_EQ(m.SparseNumElem(), 0);
  EXPECT_EQ(m.SparseAllocated(), 10);
  m.SparseBox(LoC, HiC, LoR, HiR);
  EXPECT_EQ(std::tuple(LoC, HiC, LoR, HiR), std::tuple(INT32_MAX, 1, INT32_MAX, 1));
  // A non-zero Fill sets the stored entries only.
  m.SetElem(2, 2, 1);
  m.SetElem(3, 1, 1);
  m.Fill(6);
  EXPECT_EQ(m.Sum(0, 0, 0, 0), 12);
}

TEST(IntMatrixSparse, ConversionsAndResize) {
  TIntMatrix m(nullptr);
  SetIntCells(m, {{0, 4, 0}, {0, 0, 0}, {0, 0, 0}});
  m.SetElem(2, 1, 9);  // non-zero cells (1, 2) and (2, 1)
  TIntEventLog Log;
  Log.Attach(m);
  m.ArrayToSparse(4);
  EXPECT_EQ(Log.Events, "R");
  EXPECT_EQ(EntriesOf(m), (std::vector<std::tuple<int32_t, int32_t, int32_t>>{{1, 2, 4}, {2, 1, 9}}));
  EXPECT_EQ(m.NrOfColumns(), 3);
  EXPECT_EQ(m.NrOfRows(), 3);
  m.ArrayToSparse(4);  // already sparse: nothing
  EXPECT_EQ(Log.Events, "R");
  TIntMatrix back(nullptr);
  back.Assign(m);
  back.SparseToArray();
  EXPECT_FALSE(back.IsSparse());
  EXPECT_EQ(IntCellsOf(back), (TIntCols{{0, 4}, {9, 0}}));  // as large as the box
  // A write makes the dimensions the box's high corner, also shrinking them.
  m.SetElem(1, 1, 3);
  EXPECT_EQ(m.NrOfColumns(), 2);
  EXPECT_EQ(m.NrOfRows(), 2);
  // Resize drops the entries outside and cuts the box.
  Log.Events.clear();
  EXPECT_TRUE(m.Resize(4, 1));
  EXPECT_EQ(Log.Events, "RC");
  EXPECT_EQ(EntriesOf(m), (std::vector<std::tuple<int32_t, int32_t, int32_t>>{{1, 1, 3}, {2, 1, 9}}));
  EXPECT_EQ(m.NrOfColumns(), 4);
  EXPECT_FALSE(m.Resize(4, 1));
  EXPECT_FALSE(m.Resize(0, 3));
  EXPECT_TRUE(m.ResizeAndClear(2, 2));
  EXPECT_EQ(m.SparseNumElem(), 0);
  // No entries: SparseToArray gives 1 × 1.
  m.SparseToArray();
  EXPECT_EQ(IntCellsOf(m), (TIntCols{{0}}));
}

TEST(IntMatrixSparse, TransposeKeepsTheListOrdered) {
  std::mt19937 Gen(11);
  std::uniform_int_distribution<int32_t> Index(1, 40), Value(-100, 100);
  TIntMatrix m(nullptr, SparseForm, 3);
  for (int i = 0; i < 300; ++i) {
    m.SetElem(Index(Gen), Index(Gen) / 2 + 1, Value(Gen));
  }
  const TIntCols Before = IntCellsOf(m);
  TIntEventLog Log;
  Log.Attach(m);
  ASSERT_TRUE(m.Transpose());
  EXPECT_EQ(Log.Events, "CR");
  EXPECT_TRUE(StrictlyOrdered(m));
  ASSERT_EQ(m.NrOfColumns(), static_cast<int32_t>(Before[0].size()));
  ASSERT_EQ(m.NrOfRows(), static_cast<int32_t>(Before.size()));
  for (int32_t c = 1; c <= m.NrOfColumns(); ++c) {
    for (int32_t r = 1; r <= m.NrOfRows(); ++r) {
      ASSERT_EQ(m.Elem(c, r), Before[static_cast<size_t>(r - 1)][static_cast<size_t>(c - 1)]);
    }
  }
}

TEST(IntMatrixSparse, AddOfASparseOperandAddsOnlyItsEntries) {
  TIntMatrix s(nullptr, SparseForm, 2);
  s.SetElem(1, 2, 5);
  s.SetElem(2, 1, -3);  // 2 × 2
  TIntMatrix d(nullptr);
  SetIntCells(d, {{1, 1, 1}, {1, 1, 1}, {1, 1, 1}});
  ASSERT_TRUE(d.Add(&s));
  EXPECT_EQ(IntCellsOf(d), (TIntCols{{1, 6, 1}, {-2, 1, 1}, {1, 1, 1}}));
  ASSERT_TRUE(d.Subtract(&s));
  EXPECT_EQ(IntCellsOf(d), (TIntCols{{1, 1, 1}, {1, 1, 1}, {1, 1, 1}}));
  TIntMatrix one(nullptr);
  EXPECT_FALSE(one.Add(&s));  // the box does not fit into 1 × 1
  EXPECT_FALSE(s.Add(&d));    // a sparse Self is refused
  EXPECT_FALSE(d.Add(nullptr));
}

/// A random sparse matrix and its dense twin, written through the setters.
struct TTwins {
  TIntMatrix Sparse{nullptr, SparseForm, 5};
  TIntMatrix Dense{nullptr};
  std::map<std::pair<int32_t, int32_t>, int32_t> Written;

  explicit TTwins(uint32_t Seed, int32_t Nc = 23, int32_t Nr = 17, int Writes = 120) {
    std::mt19937 Gen(Seed);
    std::uniform_int_distribution<int32_t> Col(1, Nc), Row(1, Nr);
    // Large values so that the sums wrap; some zeros written on purpose.
    std::uniform_int_distribution<int32_t> Value(-2000000000, 2000000000);
    Dense.Resize(Nc, Nr);
    Sparse.SetElem(Nc, Nr, 0);  // fixes the dimensions
    Written[{Nc, Nr}] = 0;
    for (int i = 0; i < Writes; ++i) {
      const int32_t c = Col(Gen), r = Row(Gen);
      const int32_t v = i % 7 == 0 ? 0 : Value(Gen);
      Sparse.SetElem(c, r, v);
      Dense.SetElem(c, r, v);
      Written[{c, r}] = v;
    }
  }
};

TEST(IntMatrixSparse, EqualsTheDenseFormAfterRandomWrites) {
  for (uint32_t Seed : {1u, 2u, 3u}) {
    TTwins t(Seed);
    const TIntCols Cells = IntCellsOf(t.Dense);
    ASSERT_EQ(IntCellsOf(t.Sparse), Cells);
    EXPECT_EQ(t.Sparse.CRCofData(), ReferenceCRC(StorageOrder(Cells)));
    EXPECT_EQ(t.Dense.CRCofData(), ReferenceCRC(StorageOrder(Cells)));
    // A TMatrix of the same values is the reference of the moments.
    TMatrix Ref(nullptr);
    Ref.Resize(t.Dense.NrOfColumns(), t.Dense.NrOfRows());
    Ref.CopyFrom(&t.Sparse, 0, 0, INT32_MAX, INT32_MAX, 1, 1);
    std::mt19937 Gen(Seed + 100);
    std::uniform_int_distribution<int32_t> Col(0, 25), Row(0, 19);
    for (int k = 0; k < 40; ++k) {
      const int32_t c1 = Col(Gen), r1 = Row(Gen), c2 = Col(Gen), r2 = Row(Gen);
      // The wrapped sum against an exact 64-bit sum reduced modulo 2³².
      int32_t Lc = c1, Hc = c2, Lr = r1, Hr = r2;
      t.Dense.MakeValidColRange(Lc, Hc);
      t.Dense.MakeValidRowRange(Lr, Hr);
      int64_t Exact = 0;
      for (int32_t c = Lc; c <= Hc; ++c) {
        for (int32_t r = Lr; r <= Hr; ++r) {
          Exact += Cells[static_cast<size_t>(c - 1)][static_cast<size_t>(r - 1)];
        }
      }
      EXPECT_EQ(t.Sparse.Sum(c1, r1, c2, r2), testing::Wrap32(Exact));
      EXPECT_EQ(t.Dense.Sum(c1, r1, c2, r2), testing::Wrap32(Exact));
      double Ms = 0, Vs = 0, Md = 0, Vd = 0, Mr = 0, Vr = 0;
      t.Sparse.MeanVar(c1, r1, c2, r2, Ms, Vs);
      t.Dense.MeanVar(c1, r1, c2, r2, Md, Vd);
      Ref.MeanVar(c1, r1, c2, r2, Mr, Vr);
      EXPECT_EQ(std::bit_cast<uint64_t>(Ms), std::bit_cast<uint64_t>(Md));
      EXPECT_EQ(std::bit_cast<uint64_t>(Vs), std::bit_cast<uint64_t>(Vd));
      // Cells up to 2·10⁹: the squares round, in another order than TMatrix's.
      EXPECT_EQ(Ms, Mr);
      EXPECT_NEAR(Vs, Vr, 1e-12 * Vr);
      double Ss = 0, Ks = 0, Sd = 0, Kd = 0, Sr = 0, Kr = 0;
      t.Sparse.SkewKurt(c1, r1, c2, r2, Ss, Ks);
      t.Dense.SkewKurt(c1, r1, c2, r2, Sd, Kd);
      Ref.SkewKurt(c1, r1, c2, r2, Sr, Kr);
      EXPECT_EQ(std::bit_cast<uint64_t>(Ss), std::bit_cast<uint64_t>(Sd));
      EXPECT_EQ(std::bit_cast<uint64_t>(Ks), std::bit_cast<uint64_t>(Kd));
      EXPECT_NEAR(Ss, Sr, 1e-9);
      EXPECT_NEAR(Ks, Kr, 1e-9);
      // Counting takes (LowCol, HighCol, LowRow, HighRow).
      EXPECT_EQ(t.Sparse.CountValues(c1, c2, r1, r2, -5, 1000000000),
                t.Dense.CountValues(c1, c2, r1, r2, -5, 1000000000));
      EXPECT_EQ(t.Sparse.CountMaskedZeros(c1, c2, r1, r2, 0x10u), t.Dense.CountMaskedZeros(c1, c2, r1, r2, 0x10u));
      EXPECT_EQ(t.Sparse.Percentile(30, c1, r1, c2, r2), t.Dense.Percentile(30, c1, r1, c2, r2));
      // MinMax of the sparse form: the stored entries inside the rectangle only.
      int32_t Lo = 0, Hi = 0;
      t.Sparse.MinMax(c1, r1, c2, r2, Lo, Hi);
      int32_t RefLo = 2147483647, RefHi = -2147483647;
      for (const auto& [Pos, v] : t.Written) {
        if (Pos.first >= Lc && Pos.first <= Hc && Pos.second >= Lr && Pos.second <= Hr) {
          RefLo = std::min(RefLo, v);
          RefHi = std::max(RefHi, v);
        }
      }
      EXPECT_EQ(Lo, RefLo);
      EXPECT_EQ(Hi, RefHi);
    }
    // Copies out and search read the sparse form through its getter.
    TInt2DArray A, B;
    A.assign(1, TIntArray(1));
    B = A;
    EXPECT_EQ(t.Sparse.DuplicateDataAsArray(A), 0);
    EXPECT_EQ(t.Dense.DuplicateDataAsArray(B), 0);
    EXPECT_EQ(A, B);
    TIntVector Vs(nullptr), Vd(nullptr);
    Vs.Resize(30);
    Vd.Resize(30);
    t.Sparse.CopyRowToVec(&Vs, 4, 0, 0);
    t.Dense.CopyRowToVec(&Vd, 4, 0, 0);
    for (int32_t i = 1; i <= 30; ++i) {
      EXPECT_EQ(Vs.Elem(i), Vd.Elem(i));
    }
    int32_t C1 = 0, R1 = 0, C2 = 0, R2 = 0;
    t.Sparse.Find(0, 0, 0, 0, 123456789, C1, R1);
    t.Dense.Find(0, 0, 0, 0, 123456789, C2, R2);
    EXPECT_EQ(std::pair(C1, R1), std::pair(C2, R2));
  }
}

TEST(IntMatrixSparse, SparseOperandsOfProductsGiveTheDenseResults) {
  TTwins a(5, 6, 4, 12);
  TIntMatrix b(nullptr), ResS(nullptr), ResD(nullptr);
  b.Resize(3, 6);
  b.FillSerial(1073741000, 977);
  ASSERT_TRUE(a.Sparse.Multiply(&b, &ResS));
  ASSERT_TRUE(a.Dense.Multiply(&b, &ResD));
  EXPECT_EQ(IntCellsOf(ResS), IntCellsOf(ResD));
  TIntMatrix bt(nullptr);
  bt.Resize(4, 3);
  bt.FillSerial(-1073741000, 12345);
  ASSERT_TRUE(bt.Multiply(&a.Sparse, &ResS));
  ASSERT_TRUE(bt.Multiply(&a.Dense, &ResD));
  EXPECT_EQ(IntCellsOf(ResS), IntCellsOf(ResD));
  ASSERT_TRUE(a.Sparse.TransposeAndMultiply(&a.Sparse, &ResS));
  ASSERT_TRUE(a.Dense.TransposeAndMultiply(&a.Dense, &ResD));
  EXPECT_EQ(IntCellsOf(ResS), IntCellsOf(ResD));
  ASSERT_TRUE(a.Sparse.MultiplyTransposed(&a.Sparse, &ResS));
  ASSERT_TRUE(a.Dense.MultiplyTransposed(&a.Dense, &ResD));
  EXPECT_EQ(IntCellsOf(ResS), IntCellsOf(ResD));
  ASSERT_TRUE(a.Sparse.EMult(&a.Dense, &ResS));
  ASSERT_TRUE(a.Dense.EMult(&a.Dense, &ResD));
  EXPECT_EQ(IntCellsOf(ResS), IntCellsOf(ResD));
  EXPECT_EQ(a.Sparse.Trace(), 0);  // 6 × 4 is not square
  a.Sparse.Resize(4, 4);
  a.Dense.Resize(4, 4);
  EXPECT_EQ(a.Sparse.Trace(), a.Dense.Trace());
}

TEST(IntMatrixSparse, RefusedOperationsChangeNothingAndFireNothing) {
  TIntMatrix m(nullptr, SparseForm, 4);
  m.SetElem(1, 1, 4);
  m.SetElem(3, 2, -8);
  TIntMatrix dense(nullptr), res(nullptr);
  SetIntCells(dense, {{1, 2}, {3, 4}, {5, 6}});
  TIntVector vec(nullptr);
  vec.Resize(2);
  const TIntArray a1{1, 2};
  const TDoubleArray d1{1.0, 2.0};
  const TInt2DArray a2{{1}};
  const TDouble2DArray d2{{1.0}};
  struct TCase {
    const char* Name;
    std::function<int32_t(TIntMatrix&)> Run;  // the returned result
    int32_t Expected;
  };
  const TCase Cases[] = {
      {"Fill(rect)", [](TIntMatrix& x) { x.Fill(1, 2, 1, 2, 5); return 0; }, 0},
      {"FillDiag", [](TIntMatrix& x) { x.FillDiag(5); return 0; }, 0},
      {"FillSerial", [](TIntMatrix& x) { x.FillSerial(1, 1); return 0; }, 0},
      {"ExchangeColumns", [](TIntMatrix& x) { x.ExchangeColumns(1, 3); return 0; }, 0},
      {"ExchangeRows", [](TIntMatrix& x) { x.ExchangeRows(1, 2); return 0; }, 0},
      {"MirrorColumns", [](TIntMatrix& x) { x.MirrorColumns(); return 0; }, 0},
      {"MirrorRows", [](TIntMatrix& x) { x.MirrorRows(); return 0; }, 0},
      {"SortRows", [](TIntMatrix& x) { x.SortRows(1, true, 0, 0, 0, 0); return 0; }, 0},
      {"SortCols", [](TIntMatrix& x) { x.SortCols(1, true, 0, 0, 0, 0); return 0; }, 0},
      {"SAdd", [](TIntMatrix& x) { x.SAdd(1); return 0; }, 0},
      {"CopyFrom", [&](TIntMatrix& x) { x.CopyFrom(&dense, 0, 0, 3, 2, 1, 1); return 0; }, 0},
      {"CopyFromVec", [&](TIntMatrix& x) { x.CopyFromVec(&vec, 0, 0, 1, 1); return 0; }, 0},
      {"CopyFromVec(AsColumn)", [&](TIntMatrix& x) { x.CopyFromVec(&vec, 0, 0, 1, 1, false); return 0; }, 0},
      {"CopyFromVec(Dim)", [&](TIntMatrix& x) { x.CopyFromVec(dimRows, &vec, 0, 0, 1, 1); return 0; }, 0},
      {"RemoveColumn", [](TIntMatrix& x) { return static_cast<int32_t>(x.RemoveColumn(1)); }, 0},
      {"RemoveRow", [](TIntMatrix& x) { return static_cast<int32_t>(x.RemoveRow(1)); }, 0},
      {"Add", [&](TIntMatrix& x) { return static_cast<int32_t>(x.Add(&dense)); }, 0},
      {"Subtract", [&](TIntMatrix& x) { return static_cast<int32_t>(x.Subtract(&dense)); }, 0},
      {"CopyFromArray(int)", [&](TIntMatrix& x) { return x.CopyFromArray(a1, 0, 0, 1, 1, true); }, mcSparseForm},
      {"CopyFromArray(double)", [&](TIntMatrix& x) { return x.CopyFromArray(d1, 0, 0, 1, 1, true); },
       mcSparseForm},
      {"CopyFromArray(int 2-D)", [&](TIntMatrix& x) { return x.CopyFromArray(a2, 0, 0, 0, 0, 1, 1); },
       mcSparseForm},
      {"CopyFromArray(double 2-D)", [&](TIntMatrix& x) { return x.CopyFromArray(d2, 0, 0, 0, 0, 1, 1); },
       mcSparseForm},
      {"Clone(dense)", [&](TIntMatrix& x) { x.Clone(&dense); return 0; }, 0},
  };
  TIntEventLog Log;
  Log.Attach(m);
  for (const TCase& c : Cases) {
    const auto Entries = EntriesOf(m);
    Log.Events.clear();
    EXPECT_EQ(c.Run(m), c.Expected) << c.Name;
    EXPECT_EQ(Log.Events, "") << c.Name;
    EXPECT_EQ(EntriesOf(m), Entries) << c.Name;
    EXPECT_EQ(m.NrOfColumns(), 3) << c.Name;
    EXPECT_EQ(m.NrOfRows(), 2) << c.Name;
    EXPECT_TRUE(m.IsSparse()) << c.Name;
  }
  // A sparse result container of a product is refused too.
  TIntMatrix sparseRes(nullptr, SparseForm, 1);
  TIntEventLog ResLog;
  ResLog.Attach(sparseRes);
  EXPECT_FALSE(m.MultiplyTransposed(&dense, &sparseRes));
  EXPECT_FALSE(dense.EMult(&dense, &sparseRes));
  EXPECT_EQ(ResLog.Events, "");
  EXPECT_EQ(sparseRes.SparseNumElem(), 0);
  // SMult is not refused: it scales the entries.
  m.SMult(-2);
  EXPECT_EQ(EntriesOf(m), (std::vector<std::tuple<int32_t, int32_t, int32_t>>{{1, 1, -8}, {3, 2, 16}}));
}

TEST(IntMatrixSparse, GrowthIsGeometricAndFailuresKeepTheState) {
  TIntMatrix m(nullptr, SparseForm, 10);
  m.SetName("SP");
  std::vector<int32_t> Rooms;
  for (int32_t i = 1; i <= 90; ++i) {
    m.SetElem(i, 1, i);
    if (Rooms.empty() || Rooms.back() != m.SparseAllocated()) {
      Rooms.push_back(m.SparseAllocated());
    }
  }
  EXPECT_EQ(Rooms, (std::vector<int32_t>{10, 20, 40, 80, 160}));
  TIntEventLog Log;
  Log.Attach(m);
  auto ExpectNoMemory = [](const std::function<void()>& Run) {
    try {
      Run();
      ADD_FAILURE() << "no exception";
    } catch (const EVexaMatrixError& e) {
      EXPECT_STREQ(e.what(), "Component \"SP\": not enough memory on heap");
    }
  };
  // Growth beyond the storage limit: the 161st entry.
  for (int32_t i = 91; i <= 160; ++i) {
    m.SetElem(i, 1, i);
  }
  Log.Events.clear();
  const auto Full = EntriesOf(m);
  SetStorageLimit(1000);
  ExpectNoMemory([&] { m.SetElem(500, 1, 1); });
  SetStorageLimit(0);
  EXPECT_EQ(EntriesOf(m), Full);
  EXPECT_EQ(Log.Events, "");
  EXPECT_EQ(m.NrOfColumns(), 160);
  // The dense cells of a huge box cannot be had: still sparse, unchanged.
  m.SetElem(2000000000, 2000000000, 1);
  const auto Huge = EntriesOf(m);
  Log.Events.clear();
  ExpectNoMemory([&] { m.SparseToArray(); });
  EXPECT_TRUE(m.IsSparse());
  EXPECT_EQ(EntriesOf(m), Huge);
  EXPECT_EQ(m.NrOfColumns(), 2000000000);
  EXPECT_EQ(Log.Events, "");
  // A product reads a sparse operand a column at a time; a column too long
  // for memory raises before anything is written.
  TIntMatrix tall(nullptr, SparseForm, 1), res(nullptr);
  tall.SetName("SP");
  tall.SetElem(2, 50000000, 1);
  SetStorageLimit(1 << 20);
  ExpectNoMemory([&] { tall.TransposeAndMultiply(&tall, &res); });
  SetStorageLimit(0);
  EXPECT_EQ(res.NrOfColumns(), 1);
}

TEST(IntMatrixSparse, AMatrixWithoutCellsGivesEmptyResults) {
  TIntMatrix m(nullptr, SparseForm, 1);
  m.SetName("SP");
  double Mean = -1, Var = -1, Q1 = -1, Q2 = -1, Q3 = -1, Skew = -1, Kurt = -1;
  m.MeanVar(0, 0, 0, 0, Mean, Var);
  EXPECT_EQ(std::pair(Mean, Var), std::pair(0.0, 0.0));
  EXPECT_FALSE(m.Quartiles(0, 0, 0, 0, Q1, Q2, Q3));
  EXPECT_EQ(Q2, 0.0);
  m.SkewKurt(0, 0, 0, 0, Skew, Kurt);
  EXPECT_EQ(std::pair(Skew, Kurt), std::pair(0.0, 0.0));
  EXPECT_EQ(m.Percentile(50, 0, 0, 0, 0), 0.0);
  EXPECT_EQ(m.Percentile(50, 0, 0, 0, 0, 3), 0.0);
  EXPECT_EQ(m.Sum(0, 0, 0, 0), 0);
  EXPECT_EQ(m.Trace(), 0);
  EXPECT_EQ(m.CountValues(0, 0, 0, 0, -1, 1), 0);
  EXPECT_EQ(m.GeometricMean(0, 0, 0, 0), 0.0);
  int32_t C = -1, R = -1;
  m.Find(0, 0, 0, 0, 3, C, R);
  EXPECT_EQ(std::pair(C, R), std::pair(0, 0));
  int32_t Lo = 0, Hi = 0;
  m.MinMax(0, 0, 0, 0, Lo, Hi);
  EXPECT_EQ(std::pair(Lo, Hi), std::pair(2147483647, -2147483647));
  EXPECT_EQ(m.CRCofData(), ReferenceCRC({}));
  TIntVector v(nullptr);
  m.CopyColToVec(&v, 1, 0, 0);
  TMatrix d(nullptr);
  d.CopyFrom(&m, 0, 0, 0, 0, 1, 1);
  EXPECT_EQ(d.Elem(1, 1), 0.0);
  // The means' messages on the sparse form; missing cells count as zeros.
  m.SetElem(2, 2, -3);
  try {
    m.GeometricMean(0, 0, 0, 0);
    ADD_FAILURE() << "no exception";
  } catch (const EVexaMatrixError& e) {
    EXPECT_STREQ(e.what(), "Component \"SP\": negative argument passed to GeometricMean");
  }
  m.SetElem(2, 2, 3);
  try {
    m.HarmonicMean(0, 0, 0, 0);
    ADD_FAILURE() << "no exception";
  } catch (const EVexaMatrixError& e) {
    EXPECT_STREQ(e.what(), "Component \"SP\": negative or zero argument passed to HarmonicMean");
  }
  EXPECT_EQ(m.HarmonicMean(2, 2, 2, 2), 3.0);
}

TEST(IntMatrixSparse, CloneAndAssign) {
  TIntMatrix a(nullptr, SparseForm, 3), b(nullptr, SparseForm, 8), d(nullptr);
  a.SetElem(2, 3, 7);
  a.SetDataID("counts");
  TIntEventLog Log;
  Log.Attach(b);
  b.Clone(&a);
  EXPECT_EQ(Log.Events, "CR");
  EXPECT_EQ(EntriesOf(b), EntriesOf(a));
  EXPECT_EQ(b.SparseAllocBy(), 3);
  EXPECT_EQ(b.NrOfColumns(), 2);
  EXPECT_EQ(b.NrOfRows(), 3);
  EXPECT_EQ(b.DataID(), "");
  d.Clone(&a);  // different forms: nothing
  EXPECT_FALSE(d.IsSparse());
  EXPECT_EQ(d.NrOfColumns(), 1);
  d.Assign(a);
  EXPECT_TRUE(d.IsSparse());
  EXPECT_EQ(EntriesOf(d), EntriesOf(a));
  EXPECT_EQ(d.DataID(), "counts");
  EXPECT_EQ(d.Elem(2, 3), 7);
}

}  // namespace
}  // namespace vexa
