// Matrices: element-wise arithmetic and products (results against exact
// rational references), result events, aliasing, unfit operands.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "linalg/Vexa_matrix.h"
#include "support/MatrixCells.h"
#include "platform/Vexa_random.h"

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

/// Cells within a few units in the last place of an exact reference.
void ExpectNearCells(const TCols& Actual, const TCols& Expected) {
  ASSERT_EQ(Actual.size(), Expected.size());
  for (size_t c = 0; c < Actual.size(); ++c) {
    ASSERT_EQ(Actual[c].size(), Expected[c].size());
    for (size_t r = 0; r < Actual[c].size(); ++r) {
      EXPECT_NEAR(Actual[c][r], Expected[c][r], 1e-14 * (1 + std::abs(Expected[c][r]))) << c << "," << r;
    }
  }
}

// A: 2 columns × 3 rows. References computed exactly with rationals.
const TCols kA = {{0.1, 0.2, 0.3}, {1.5, -2.25, 7.0}};

TEST(MatrixArith, ProductsMatchExactReferences) {
  TMatrix a(nullptr), b(nullptr), res(nullptr);
  SetCells(a, kA);
  SetCells(b, {{1, -1}, {2, 0.5}, {0, 3}, {-2, 1}});  // 4 columns × 2 rows
  ASSERT_TRUE(a.Multiply(&b, &res));
  ExpectNearCells(CellsOf(res), {{-1.4, 2.45, -6.7}, {0.95, -0.725, 4.1}, {4.5, -6.75, 21.0}, {1.3, -2.65, 6.4}});

  SetCells(b, {{1, 2, 3}, {4, 5, -6}});  // 2 columns × 3 rows: Self · Bᵀ
  ASSERT_TRUE(a.MultiplyTransposed(&b, &res));
  ExpectNearCells(CellsOf(res), {{6.1, -8.8, 28.3}, {7.7, -10.85, 35.6}, {-8.7, 14.1, -41.1}});

  SetCells(b, {{1, 0, 2}, {-1, 3, 0.5}});  // Selfᵀ · B
  ASSERT_TRUE(a.TransposeAndMultiply(&b, &res));
  ExpectNearCells(CellsOf(res), {{0.7, 15.5}, {0.65, -4.75}});

  ASSERT_TRUE(a.EMult(&b, &res));
  ExpectNearCells(CellsOf(res), {{0.1, 0, 0.6}, {-1.5, -6.75, 3.5}});

  TVector v(nullptr), vr(nullptr);
  SetValues(v, {2, -1});
  ASSERT_TRUE(a.Multiply(&v, &vr));
  ExpectNearCells({ValuesOf(vr)}, {{-1.3, 2.65, -6.4}});
  SetValues(v, {1, 2, 3});
  ASSERT_TRUE(a.TransposeAndMultiply(&v, &vr));
  ExpectNearCells({ValuesOf(vr)}, {{1.4, 18.0}});
}

TEST(MatrixArith, ProductIsThePlainSumInColumnOrderBitForBit) {
  // The fast loop order must give the bits of the plain triple loop
  // Σ_k a(i,k)·b(k,j), k ascending, from 0.
  TMatrix a(nullptr), b(nullptr), res(nullptr);
  SetRandSeed(11);
  a.Resize(37, 23);
  b.Resize(19, 37);
  a.FillRandomGauss(0, 1e3);
  b.FillRandomUniform(-1, 1);
  ASSERT_TRUE(a.Multiply(&b, &res));
  for (int32_t j = 1; j <= 19; ++j) {
    for (int32_t i = 1; i <= 23; ++i) {
      double Sum = 0.0;
      for (int32_t k = 1; k <= 37; ++k) {
        Sum += a.Elem(k, i) * b.Elem(j, k);
      }
      ASSERT_EQ(res.Elem(j, i), Sum) << j << "," << i;
    }
  }
}

TEST(MatrixArith, UnfitOrMissingOperandsChangeNothing) {
  TMatrix a(nullptr), b(nullptr), res(nullptr);
  SetCells(a, kA);                       // 2 × 3
  SetCells(b, {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {1, 1, 1}});  // 4 × 3
  SetCells(res, {{42}});
  int Changes = 0;
  a.OnChange = [&](TObject*) { ++Changes; };
  EXPECT_FALSE(a.Multiply(&b, &res));  // 2 columns vs 3 rows
  EXPECT_FALSE(a.Multiply(nullptr, &res));
  EXPECT_FALSE(a.Multiply(&b, static_cast<TMatrix*>(nullptr)));
  EXPECT_FALSE(a.MultiplyTransposed(&b, &res));
  EXPECT_FALSE(a.EMult(&b, &res));
  EXPECT_FALSE(a.Add(&b));
  EXPECT_FALSE(a.Subtract(nullptr));
  TMatrix wide(nullptr);
  wide.Resize(3, 2);
  EXPECT_FALSE(a.TransposeAndMultiply(&wide, &res));
  TVector v(nullptr), vr(nullptr);
  SetValues(v, {1, 2, 3});
  EXPECT_FALSE(a.Multiply(&v, &vr));
  SetValues(v, {1, 2});
  EXPECT_FALSE(a.TransposeAndMultiply(&v, &vr));
  EXPECT_EQ(CellsOf(res), (TCols{{42}}));
  EXPECT_EQ(CellsOf(a), kA);
  EXPECT_EQ(Changes, 0);
}

TEST(MatrixArith, ResultEventsAndSelfNotification) {
  TMatrix a(nullptr), b(nullptr), res(nullptr);
  SetCells(a, kA);
  SetCells(b, {{1, -1}, {2, 0.5}, {0, 3}, {-2, 1}});
  std::string ResLog, SelfLog;
  res.OnChange = [&](TObject*) { ResLog += 'C'; };
  res.OnResize = [&](TObject*) { ResLog += 'R'; };
  a.OnChange = [&](TObject*) { SelfLog += 'C'; };
  ASSERT_TRUE(a.Multiply(&b, &res));  // resize 1×1 → 4×3, then 12 cells
  EXPECT_EQ(ResLog, "CR" + std::string(12, 'C'));
  EXPECT_EQ(SelfLog, "C");
  ResLog.clear();
  ASSERT_TRUE(a.Multiply(&b, &res));  // same size: the cells only
  EXPECT_EQ(ResLog, std::string(12, 'C'));
  SelfLog.clear();
  TMatrix d(nullptr);
  SetCells(d, {{1, 0, 2}, {-1, 3, 0.5}});
  ASSERT_TRUE(a.TransposeAndMultiply(&d, &res));
  TVector v(nullptr), vr(nullptr);
  SetValues(v, {1, 2, 3});
  ASSERT_TRUE(a.TransposeAndMultiply(&v, &vr));
  EXPECT_EQ(SelfLog, "");  // the transposed products leave Self silent
  ASSERT_TRUE(a.EMult(&d, &res));
  SetValues(v, {1, 1});
  ASSERT_TRUE(a.Multiply(&v, &vr));
  ASSERT_TRUE(a.MultiplyTransposed(&d, &res));
  EXPECT_EQ(SelfLog, "CCC");
}

TEST(MatrixArith, ResultThatIsAnOperandGetsTheRightValues) {
  TMatrix a(nullptr), b(nullptr);
  SetCells(a, {{1, 2}, {3, 4}});  // [[1 3] [2 4]]
  SetCells(b, {{5, 6}, {7, 8}});  // [[5 7] [6 8]]
  ASSERT_TRUE(a.Multiply(&b, &a));  // a := a·b = [[23 31] [34 46]]
  EXPECT_EQ(CellsOf(a), (TCols{{23, 34}, {31, 46}}));
  SetCells(a, {{1, 2}, {3, 4}});
  ASSERT_TRUE(a.Multiply(&b, &b));  // b := a·b
  EXPECT_EQ(CellsOf(b), (TCols{{23, 34}, {31, 46}}));
  SetCells(a, {{1, 2}, {3, 4}});
  ASSERT_TRUE(a.MultiplyTransposed(&a, &a));  // a·aᵀ = [[10 14] [14 20]]
  EXPECT_EQ(CellsOf(a), (TCols{{10, 14}, {14, 20}}));
  SetCells(a, {{1, 2}, {3, 4}});
  ASSERT_TRUE(a.TransposeAndMultiply(&a, &a));  // aᵀ·a = [[5 11] [11 25]]
  EXPECT_EQ(CellsOf(a), (TCols{{5, 11}, {11, 25}}));
  SetCells(a, {{1, 2}, {3, 4}});
  TVector v(nullptr);
  SetValues(v, {1, -1});
  ASSERT_TRUE(a.Multiply(&v, &v));  // VecRes = VecB
  EXPECT_EQ(ValuesOf(v), (std::vector<double>{-2, -2}));
  ASSERT_TRUE(a.TransposeAndMultiply(&v, &v));
  EXPECT_EQ(ValuesOf(v), (std::vector<double>{-6, -14}));
}

TEST(MatrixArith, ElementWiseAndTrace) {
  TMatrix a(nullptr), b(nullptr);
  SetCells(a, {{1, 2}, {3, 4}});
  SetCells(b, {{0.5, 0.25}, {-1, 2}});
  int Changes = 0;
  a.OnChange = [&](TObject*) { ++Changes; };
  ASSERT_TRUE(a.Add(&b));
  EXPECT_EQ(CellsOf(a), (TCols{{1.5, 2.25}, {2, 6}}));
  ASSERT_TRUE(a.Subtract(&a));  // Self as operand
  EXPECT_EQ(CellsOf(a), (TCols{{0, 0}, {0, 0}}));
  a.SAdd(2);
  a.SMult(-1.5);
  EXPECT_EQ(CellsOf(a), (TCols{{-3, -3}, {-3, -3}}));
  EXPECT_EQ(Changes, 4);
  EXPECT_EQ(a.Trace(), -6.0);
  a.Resize(3, 2);
  EXPECT_EQ(a.Trace(), 0.0);  // not square
}

}  // namespace
}  // namespace vexa
