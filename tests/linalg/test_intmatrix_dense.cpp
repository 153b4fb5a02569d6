// TIntMatrix, dense form: the differences from TMatrix (event order of
// Resize, rounded double input, wrapping arithmetic, CRC lanes, MinMax
// start values), its statistics and counting, and TMatrix::CopyFrom.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
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
using testing::Wrap32;

const double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(IntMatrixDense, ResizeFiresResizeBeforeChange) {
  TIntMatrix m(nullptr);
  TIntEventLog Log;
  Log.Attach(m);
  EXPECT_TRUE(m.Resize(3, 2));
  EXPECT_EQ(Log.Events, "RC");
  EXPECT_FALSE(m.Resize(3, 2));
  m.SetNrOfRows(0);
  EXPECT_EQ(Log.Events, "RC");
  Log.Events.clear();
  m.SetElem(3, 2, 9);
  EXPECT_TRUE(m.ResizeAndClear(2, 2));
  EXPECT_EQ(Log.Events, "CRCCR");  // the set, the resize, then the clearing pair
  EXPECT_EQ(IntCellsOf(m), (TIntCols{{0, 0}, {0, 0}}));
}

TEST(IntMatrixDense, DoublesBecomeCellsRoundedTiesToEven) {
  struct TCase {
    double In;
    int32_t Out;
  };
  const TCase Cases[] = {{2.5, 2},        {3.5, 4},          {-2.5, -2},         {-3.5, -4},
                         {0.49999, 0},    {kNaN, 0},         {1e10, INT32_MAX},  {-1e10, INT32_MIN},
                         {2147483646.5, 2147483646}, {-2147483648.4, INT32_MIN}};
  TIntMatrix m(nullptr);
  m.Resize(1, static_cast<int32_t>(std::size(Cases)));
  TDoubleArray Src;
  for (const TCase& c : Cases) {
    Src.push_back(c.In);
  }
  ASSERT_EQ(m.CopyFromArray(Src, 0, 0, 1, 1, true), 0);
  for (size_t i = 0; i < std::size(Cases); ++i) {
    EXPECT_EQ(m.Elem(1, static_cast<int32_t>(i + 1)), Cases[i].Out) << "input " << Cases[i].In;
  }
  // The 2-D copy rounds the same way.
  TIntMatrix n(nullptr);
  n.Resize(2, 1);
  EXPECT_EQ(n.CopyFromArray(TDouble2DArray{{2.5}, {3.5}}, 0, 0, 0, 0, 1, 1), 0);
  EXPECT_EQ(IntCellsOf(n), (TIntCols{{2}, {4}}));
}

// Operands near 2³⁰ whose products and sums wrap; the expected values were
// computed with exact integers in Python, reduced modulo 2³² to int32.
const TIntCols kA = {{1073741827, -1073741789}, {1073741823, 536870917}};
const TIntCols kB = {{1073741831, 3}, {-1073741825, 1073741824}};

TEST(IntMatrixDense, ProductsWrapLikeInt32) {
  TIntMatrix a(nullptr), b(nullptr), res(nullptr);
  SetIntCells(a, kA);
  SetIntCells(b, kB);
  struct TCase {
    const char* Name;
    bool (*Run)(TIntMatrix&, TIntMatrix&, TIntMatrix&);
    TIntCols Expected;
  };
  const TCase Cases[] = {
      {"Multiply", [](TIntMatrix& x, TIntMatrix& y, TIntMatrix& r) { return x.Multiply(&y, &r); },
       {{1073741842, 1610612996}, {-1073741827, -1073741859}}},
      {"MultiplyTransposed",
       [](TIntMatrix& x, TIntMatrix& y, TIntMatrix& r) { return x.MultiplyTransposed(&y, &r); },
       {{-2147483626, -1610612496}, {-2147483639, -2147483543}}},
      {"TransposeAndMultiply",
       [](TIntMatrix& x, TIntMatrix& y, TIntMatrix& r) { return x.TransposeAndMultiply(&y, &r); },
       {{-1073741698, -536870904}, {-1073741827, 1073741825}}},
      {"EMult", [](TIntMatrix& x, TIntMatrix& y, TIntMatrix& r) { return x.EMult(&y, &r); },
       {{-2147483627, 1073741929}, {1, 1073741824}}},
  };
  for (const TCase& c : Cases) {
    ASSERT_TRUE(c.Run(a, b, res)) << c.Name;
    EXPECT_EQ(IntCellsOf(res), c.Expected) << c.Name;
  }
  EXPECT_EQ(a.Sum(0, 0, 0, 0), 1610612778);
  EXPECT_EQ(a.Trace(), 1610612744);

  TIntVector v(nullptr), out(nullptr);
  v.Resize(2);
  v.SetElem(1, 1073741825);
  v.SetElem(2, -7);
  ASSERT_TRUE(a.Multiply(&v, &out));
  EXPECT_EQ(out.Elem(1), 1073741834);
  EXPECT_EQ(out.Elem(2), -1610612736);
  ASSERT_TRUE(a.TransposeAndMultiply(&v, &out));
  EXPECT_EQ(out.Elem(1), -1073742066);
  EXPECT_EQ(out.Elem(2), 536870876);

  TIntMatrix s(nullptr);
  SetIntCells(s, kA);
  s.SMult(4);
  EXPECT_EQ(IntCellsOf(s), (TIntCols{{12, 140}, {-4, -2147483628}}));
  SetIntCells(s, kA);
  s.SAdd(1073741824);
  EXPECT_EQ(IntCellsOf(s), (TIntCols{{-2147483645, 35}, {2147483647, 1610612741}}));
  SetIntCells(s, kA);
  ASSERT_TRUE(s.Add(&b));
  ASSERT_TRUE(s.Subtract(&b));
  EXPECT_EQ(IntCellsOf(s), kA);  // wrapping is undone exactly
}

TEST(IntMatrixDense, RandomProductsMatchAnExactReference) {
  std::mt19937 Gen(7);
  std::uniform_int_distribution<int32_t> Near(-(1 << 30) - 50, (1 << 30) + 50);
  TIntMatrix a(nullptr), b(nullptr), res(nullptr);
  a.Resize(5, 4);  // 5 columns, 4 rows
  b.Resize(3, 5);
  for (TIntMatrix* m : {&a, &b}) {
    for (int32_t c = 1; c <= m->NrOfColumns(); ++c) {
      for (int32_t r = 1; r <= m->NrOfRows(); ++r) {
        m->SetElem(c, r, Near(Gen));
      }
    }
  }
  ASSERT_TRUE(a.Multiply(&b, &res));
  ASSERT_EQ(res.NrOfColumns(), 3);
  ASSERT_EQ(res.NrOfRows(), 4);
  for (int32_t j = 1; j <= 3; ++j) {
    for (int32_t i = 1; i <= 4; ++i) {
      // Each product fits into int64; the sum is reduced modulo 2³² at the end.
      uint64_t Exact = 0;
      for (int32_t k = 1; k <= 5; ++k) {
        Exact += static_cast<uint64_t>(static_cast<int64_t>(a.Elem(k, i)) * b.Elem(j, k));
      }
      EXPECT_EQ(res.Elem(j, i), Wrap32(static_cast<int64_t>(Exact & 0xFFFFFFFFu))) << j << "," << i;
    }
  }
  EXPECT_FALSE(a.Multiply(&a, &res));  // 5 columns against 4 rows
  EXPECT_FALSE(a.Multiply(static_cast<TIntMatrix*>(nullptr), &res));
}

TEST(IntMatrixDense, CRCofDataHasFourLanesOfTheLittleEndianBytes) {
  const TIntCols Cols = {{1, -2, 0x12345678}, {INT32_MIN, 255, -1}};
  TIntMatrix m(nullptr);
  SetIntCells(m, Cols);
  EXPECT_EQ(m.CRCofData().size(), 32u);
  EXPECT_EQ(m.CRCofData(), ReferenceCRC(StorageOrder(Cols)));
  m.Transpose();
  EXPECT_EQ(m.CRCofData(), ReferenceCRC({1, INT32_MIN, -2, 255, 0x12345678, -1}));
}

TEST(IntMatrixDense, MinMaxStartsFromTheLargestMagnitudes) {
  TIntMatrix m(nullptr);
  SetIntCells(m, {{5, -3}, {INT32_MIN, 7}});
  int32_t Lo = 0, Hi = 0;
  m.MinMax(0, 0, 0, 0, Lo, Hi);
  EXPECT_EQ(Lo, INT32_MIN);
  EXPECT_EQ(Hi, 7);
  // A range holding only INT32_MIN never beats the start −2147483647 as maximum.
  m.MinMax(2, 1, 2, 1, Lo, Hi);
  EXPECT_EQ(Lo, INT32_MIN);
  EXPECT_EQ(Hi, -2147483647);
}

TEST(IntMatrixDense, StatisticsAndCounting) {
  TIntMatrix m(nullptr);
  m.SetName("IM");
  SetIntCells(m, {{2, 4, 6}, {1, 2, 3}, {7, 0, 12}});
  double Mean = 0, Var = 0;
  m.MeanVar(1, 1, 1, 3, Mean, Var);
  EXPECT_EQ(Mean, 4.0);
  EXPECT_EQ(Var, 4.0);
  m.MeanVar(1, 1, 1, 2, Mean, Var);  // two values: the family's variance 1
  EXPECT_EQ(Var, 1.0);
  // 1 × 4 of 1, 2, 3, 4: the selecting percentile takes rank round(2) = 2.
  TIntMatrix p(nullptr);
  SetIntCells(p, {{1}, {2}, {3}, {4}});
  EXPECT_EQ(p.Percentile(50, 0, 0, 0, 0), 3.0);
  EXPECT_EQ(p.Percentile(100, 0, 0, 0, 0), 4.0);
  double Q1 = 0, Q2 = 0, Q3 = 0;
  EXPECT_TRUE(m.Quartiles(1, 1, 1, 3, Q1, Q2, Q3));
  EXPECT_EQ(Q1, 2.0);
  EXPECT_EQ(Q2, 4.0);
  EXPECT_EQ(Q3, 6.0);
  // Counting with integer bounds and with a bit mask (ranges LowCol, HighCol, LowRow, HighRow).
  EXPECT_EQ(m.CountValues(0, 0, 0, 0, 2, 6), 5);
  EXPECT_EQ(m.CountMaskedZeros(0, 0, 0, 0, 0x1u), 6);   // the even cells 2 4 6 2 0 12
  EXPECT_EQ(m.CountMaskedZeros(0, 0, 0, 0, 0x6u), 2);   // neither bit 1 nor 2: 1, 0
  EXPECT_EQ(m.CountMaskedZeros(3, 3, 1, 3, 0x0u), 3);   // an empty mask matches every cell
  EXPECT_EQ(m.GeometricMean(3, 1, 3, 3), 0.0);          // a zero cell
  // The messages of the means name the component.
  m.SetElem(2, 1, -1);
  try {
    m.GeometricMean(0, 0, 0, 0);
    ADD_FAILURE() << "no exception";
  } catch (const EVexaMatrixError& e) {
    EXPECT_STREQ(e.what(), "Component \"IM\": negative argument passed to GeometricMean");
  }
  try {
    m.HarmonicMean(3, 1, 3, 3);
    ADD_FAILURE() << "no exception";
  } catch (const EVexaMatrixError& e) {
    EXPECT_STREQ(e.what(), "Component \"IM\": negative or zero argument passed to HarmonicMean");
  }
  EXPECT_DOUBLE_EQ(m.HarmonicMean(1, 1, 1, 3), 3.0 / (1.0 / 2 + 1.0 / 4 + 1.0 / 6));
}

TEST(IntMatrixDense, HugeResizeRaisesAndKeepsTheMatrix) {
  TIntMatrix m(nullptr);
  m.SetName("IM");
  SetIntCells(m, {{1, 2}, {3, 4}});
  TIntEventLog Log;
  Log.Attach(m);
  SetStorageLimit(1 << 20);
  try {
    m.Resize(1000, 1000);
    ADD_FAILURE() << "no exception";
  } catch (const EVexaMatrixError& e) {
    EXPECT_STREQ(e.what(), "Component \"IM\": not enough memory on heap");
  }
  SetStorageLimit(0);
  EXPECT_EQ(IntCellsOf(m), (TIntCols{{1, 2}, {3, 4}}));
  EXPECT_EQ(Log.Events, "");
}

TEST(IntMatrixDense, EdgeVectorAndDichotomize) {
  TIntMatrix m(nullptr);
  SetIntCells(m, {{1, 5}, {3, -2}, {8, 0}});  // rows: (1, 3, 8) and (5, −2, 0)
  TVector Dest(nullptr);
  EXPECT_EQ(m.EdgeVector(orVertical, eoSum, &Dest), 0);
  ASSERT_EQ(Dest.NrOfElem(), 2);
  EXPECT_EQ(Dest.Elem(1), 12.0);
  EXPECT_EQ(Dest.Elem(2), 3.0);
  EXPECT_EQ(m.EdgeVector(orHorizontal, eoMaximum, TIntArray{1, 9}, &Dest), -2);  // row 9 skipped
  ASSERT_EQ(Dest.NrOfElem(), 3);
  EXPECT_EQ(Dest.Elem(3), 8.0);
  TBool2DArray Flags;
  EXPECT_EQ(m.Dichotomize(2, Flags), 3);
  EXPECT_EQ(Flags, (TBool2DArray{{false, true}, {true, false}, {true, false}}));
}

TEST(IntMatrixDense, TMatrixCopiesFromAnIntegerMatrix) {
  TIntMatrix src(nullptr);
  SetIntCells(src, {{1, 2, 3}, {4, 5, INT32_MIN}});
  TMatrix dst(nullptr);
  dst.Resize(3, 3);
  int Changes = 0;
  dst.OnChange = [&](TObject*) { ++Changes; };
  // Corners are clamped into the source; (2, 2) lands on (1, 2).
  dst.CopyFrom(&src, 2, 2, 9, 9, 1, 2);
  EXPECT_EQ(dst.Elem(1, 2), 5.0);
  EXPECT_EQ(dst.Elem(1, 3), static_cast<double>(INT32_MIN));
  EXPECT_EQ(dst.Elem(2, 2), 0.0);
  EXPECT_EQ(Changes, 3);  // two cells and the final notification
  dst.CopyFrom(static_cast<const TIntMatrix*>(nullptr), 1, 1, 1, 1, 1, 1);
  EXPECT_EQ(Changes, 3);
}

}  // namespace
}  // namespace vexa
