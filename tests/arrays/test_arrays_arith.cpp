// Array routines: element-wise arithmetic, normalising and thresholds.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "arrays/Vexa_openarrays.h"

namespace vexa {
namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(ArraysArith, InPlaceOperationsOverRanksAndTypes) {
  TDoubleArray d{-1.5, 2};
  EXPECT_EQ(AbsValArray(d), 0);
  EXPECT_EQ(d, (TDoubleArray{1.5, 2}));
  TInt2DArray i{{INT32_MIN, -3}, {4, -5}};
  EXPECT_EQ(AbsValArray(i), 0);
  EXPECT_EQ(i, (TInt2DArray{{INT32_MIN, 3}, {4, 5}}));  // |INT_MIN| wraps to itself
  TInt3DArray i3{{{INT32_MAX}}};
  EXPECT_EQ(IncArray(i3, 1), 0);
  EXPECT_EQ(i3[0][0][0], INT32_MIN);
  TDouble4DArray d4{{{{1, 2}}}};
  EXPECT_EQ(MultiplyArrayByScalar(d4, 2.5), 0);
  EXPECT_EQ(d4, (TDouble4DArray{{{{2.5, 5}}}}));
  TIntArray m{65536};
  EXPECT_EQ(MultiplyArrayByScalar(m, 65536), 0);
  EXPECT_EQ(m, TIntArray{0});
  TDoubleArray r{2, 0};
  EXPECT_EQ(ReciprocalArray(r, 99), 0);
  EXPECT_EQ(r, (TDoubleArray{0.5, 99}));

  TDoubleArray Empty;
  EXPECT_EQ(AbsValArray(Empty), -1);
  TDouble2DArray Ragged{{1, 2}, {3}};
  EXPECT_EQ(IncArray(Ragged, 1.0), -1);
  EXPECT_EQ(Ragged, (TDouble2DArray{{1, 2}, {3}}));
  TDouble3DArray NoCells{{}};
  EXPECT_EQ(ReciprocalArray(NoCells, 0), -1);
}

TEST(ArraysArith, ResultsTakeTheOperandsShape) {
  TDouble2DArray C{{7}};
  EXPECT_EQ(AddArrays(TDouble2DArray{{1, 2}, {3, 4}}, TDouble2DArray{{1, 1}, {1, 1}}, C), 0);
  EXPECT_EQ(C, (TDouble2DArray{{2, 3}, {4, 5}}));
  EXPECT_EQ(SubtractArrays(TDouble2DArray{{1, 2}}, TDouble2DArray{{1}, {2}}, C), -2);
  EXPECT_EQ(SubtractArrays(TDouble2DArray{}, TDouble2DArray{}, C), -1);
  EXPECT_EQ(C, (TDouble2DArray{{2, 3}, {4, 5}}));
  TIntArray ci;
  EXPECT_EQ(SubtractArrays(TIntArray{INT32_MIN}, TIntArray{1}, ci), 0);
  EXPECT_EQ(ci, TIntArray{INT32_MAX});
  TInt2DArray e;
  EXPECT_EQ(MultiplyArraysElemw(TInt2DArray{{2, 3}}, TInt2DArray{{4, 5}}, e), 0);
  EXPECT_EQ(e, (TInt2DArray{{8, 15}}));
  TInt4DArray c4;
  EXPECT_EQ(AddArrays(TInt4DArray{{{{1}}}}, TInt4DArray{{{{2}}}}, c4), 0);
  EXPECT_EQ(c4, TInt4DArray{{{{3}}}});
  TDouble3DArray c3;
  EXPECT_EQ(AddScalarToArray(TDouble3DArray{{{1, 2}}}, 0.5, c3), 0);
  EXPECT_EQ(c3, (TDouble3DArray{{{1.5, 2.5}}}));
  TIntArray s;
  EXPECT_EQ(MultiplyArrayByScalar(TIntArray{3, -4}, -2, s), 0);
  EXPECT_EQ(s, (TIntArray{-6, 8}));
  // The result may be one of the operands.
  TDoubleArray a{1, 2};
  EXPECT_EQ(AddArrays(a, a, a), 0);
  EXPECT_EQ(a, (TDoubleArray{2, 4}));
}

TEST(ArraysArith, AccumulateAddsAScaledArray) {
  TDouble2DArray A{{1, 2}, {3, 4}};
  EXPECT_EQ(AccumulateArray(A, TDouble2DArray{{1, 1}, {2, 2}}, 0.5), 0);
  EXPECT_EQ(A, (TDouble2DArray{{1.5, 2.5}, {4, 5}}));
  EXPECT_EQ(AccumulateArray(A, TDouble2DArray{{1, 1}}, 0.5), -2);
  TIntArray I{INT32_MAX};
  EXPECT_EQ(AccumulateArray(I, TIntArray{1}, 1), 0);
  EXPECT_EQ(I, TIntArray{INT32_MIN});
  TIntArray Empty;
  EXPECT_EQ(AccumulateArray(Empty, TIntArray{1}, 1), -1);
}

TEST(ArraysArith, NormalisingAndCentring) {
  TDouble2DArray A{{3, 4}, {0, 0}, {1e200, 1e200}};
  EXPECT_EQ(NormalizeColumns(A), -1);  // the zero column stays
  EXPECT_EQ(A[0], (TDoubleArray{0.6, 0.8}));
  EXPECT_EQ(A[1], (TDoubleArray{0, 0}));
  EXPECT_NEAR(A[2][0], std::sqrt(0.5), 1e-15);  // no overflow of the squares

  TDouble2DArray R{{3, 1}, {4, 0}};
  EXPECT_EQ(NormalizeRows(R), 0);
  EXPECT_EQ(R, (TDouble2DArray{{0.6, 1}, {0.8, 0}}));

  TDouble2DArray C{{1, 3}, {10, 20}};
  TDoubleArray Means{0};
  EXPECT_EQ(MeanCenterColumnsOfArray(C, Means), 0);
  EXPECT_EQ(C, (TDouble2DArray{{-1, 1}, {-5, 5}}));
  EXPECT_EQ(Means, (TDoubleArray{2, 15}));
  TDouble2DArray Rows{{1, 3}, {3, 7}};
  TDoubleArray NoMeans;
  EXPECT_EQ(MeanCenterRowsOfArray(Rows, NoMeans), 0);
  EXPECT_EQ(Rows, (TDouble2DArray{{-1, -2}, {1, 2}}));
  EXPECT_TRUE(NoMeans.empty());  // an empty Means is not filled
  TDouble2DArray Empty;
  EXPECT_EQ(MeanCenterRowsOfArray(Empty, Means), -1);
}

TEST(ArraysArith, Thresholds) {
  TBool2DArray B;
  EXPECT_EQ(DichotomizeArray(TDouble2DArray{{1, 5}, {3, kNaN}}, 2.0, B), 0);
  EXPECT_EQ(B, (TBool2DArray{{false, true}, {true, false}}));
  EXPECT_EQ(DichotomizeArray(TInt2DArray{{1, 5}, {3, 4}}, 4, 3, B), 0);  // reversed pair
  EXPECT_EQ(B, (TBool2DArray{{false, false}, {true, true}}));
  TBoolArray b;
  EXPECT_EQ(DichotomizeArray(TIntArray{1, 2, 3}, 1, b), 0);
  EXPECT_EQ(b, (TBoolArray{false, true, true}));
  EXPECT_EQ(DichotomizeArray(TIntArray{1, 2, 3}, 2, 2, b), 0);
  EXPECT_EQ(b, (TBoolArray{false, true, false}));
  EXPECT_EQ(DichotomizeArray(TDouble2DArray{}, 1.0, 2.0, B), -1);

  // 5 levels between 0 and 10 at thresholds 0 and 3: bins of width 1.
  TDouble2DArray D{{-1, 0, 0.5, 1.5, 2.9, 3, kNaN}};
  EXPECT_EQ(DiscretizeArray(D, 5, 0, 3, 0, 10), 0);
  EXPECT_EQ(D[0][0], 0.0);
  EXPECT_EQ(D[0][1], 0.0);
  EXPECT_EQ(D[0][2], 2.5);
  EXPECT_EQ(D[0][3], 5.0);
  EXPECT_EQ(D[0][4], 7.5);
  EXPECT_EQ(D[0][5], 10.0);
  EXPECT_TRUE(std::isnan(D[0][6]));

  TDouble2DArray Keep{{1, 2}};
  EXPECT_EQ(DiscretizeArray(Keep, 2, 0, 3, 0, 10), -1);
  EXPECT_EQ(DiscretizeArray(Keep, 5, 3, 3, 0, 10), -2);
  EXPECT_EQ(DiscretizeArray(Keep, 5, kNaN, 3, 0, 10), -2);
  EXPECT_EQ(Keep, (TDouble2DArray{{1, 2}}));

  TBool2DArray Inv{{true, false}};
  EXPECT_EQ(InvertArray(Inv), 0);
  EXPECT_EQ(Inv, (TBool2DArray{{false, true}}));
  TBoolArray Inv1;
  EXPECT_EQ(InvertArray(Inv1), -1);
}

}  // namespace
}  // namespace vexa
