// Cloning, copying and reshaping routines of the array unit.

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "ArrayShapesTestSupport.h"
#include "arrays/Vexa_openarrays.h"

namespace vexa {
namespace {

using arraycore::ElemOf;
using arraycore::RankOf;
using testing::Cells;
using testing::Cube;
using testing::MakeRagged;
using testing::Shaped;

template <class A>
class CopyTyped : public ::testing::Test {};
TYPED_TEST_SUITE(CopyTyped, testing::AllNumericArrays);

/// A cube of Size per dimension holding 1, 2, 3, ... in index order.
template <class A>
A Serial(size_t Size) {
  A Arr = Cube<A>(Size);
  if constexpr (std::is_same_v<ElemOf<A>, int32_t> && RankOf<A> == 4) {
    // No integer 4-D serial fill: each 3-D block goes on where the last one ended.
    const auto BlockCells = static_cast<int32_t>(Size * Size * Size);
    for (size_t k = 0; k < Arr.size(); ++k) {
      FillArraySerial(Arr[k], 1 + static_cast<int32_t>(k) * BlockCells, 1);
    }
  } else {
    FillArraySerial(Arr, ElemOf<A>(1), ElemOf<A>(1));
  }
  return Arr;
}

/// CopyArray of the whole source at the same offset in every dimension.
template <class A>
int32_t CopyAt(const A& Src, int32_t o, A& Dest) {
  if constexpr (RankOf<A> == 1) {
    return CopyArray(Src, o, Dest);
  } else if constexpr (RankOf<A> == 2) {
    return CopyArray(Src, o, o, Dest);
  } else if constexpr (RankOf<A> == 3) {
    return CopyArray(Src, o, o, o, Dest);
  } else {
    return CopyArray(Src, o, o, o, o, Dest);
  }
}

/// CopyArray of the block Lo..Hi (same in every dimension) at offset o.
template <class A>
int32_t CopyBlockAt(const A& Src, int32_t Lo, int32_t Hi, int32_t o, A& Dest) {
  if constexpr (RankOf<A> == 1) {
    return CopyArray(Src, Lo, Hi, o, Dest);
  } else if constexpr (RankOf<A> == 2) {
    return CopyArray(Src, Lo, Lo, Hi, Hi, o, o, Dest);
  } else if constexpr (RankOf<A> == 3) {
    return CopyArray(Src, Lo, Lo, Lo, Hi, Hi, Hi, o, o, o, Dest);
  } else {
    return CopyArray(Src, Lo, Lo, Lo, Lo, Hi, Hi, Hi, Hi, o, o, o, o, Dest);
  }
}

/// Index number k of a cube of Size per dimension split into its indices.
std::vector<size_t> IndexOf(size_t k, size_t Size, size_t Rank) {
  std::vector<size_t> Index(Rank);
  for (size_t d = Rank; d-- > 0; k /= Size) {
    Index[d] = k % Size;
  }
  return Index;
}

TYPED_TEST(CopyTyped, CloneCopiesShapeAndCellsAndRefusesEmptySources) {
  using A = TypeParam;
  const A Src = Serial<A>(3);
  A Dest = Cube<A>(1);
  ASSERT_EQ(CloneArray(Src, Dest), 0);
  EXPECT_EQ(Dest, Src);
  A Untouched = Cube<A>(1);
  EXPECT_EQ(CloneArray(A{}, Untouched), -1);
  if constexpr (RankOf<A> > 1) {
    EXPECT_EQ(CloneArray(MakeRagged(Src), Untouched), -1);
  }
  EXPECT_EQ(Untouched, Cube<A>(1));
}

TYPED_TEST(CopyTyped, WholeCopyLandsAtTheOffsetsWhenItFits) {
  using A = TypeParam;
  constexpr size_t R = RankOf<A>;
  const A Src = Serial<A>(2);
  A Dest = Cube<A>(4);
  ASSERT_EQ(CopyAt(Src, 1, Dest), 0);
  const auto Values = Cells(Dest);
  for (size_t k = 0; k < Values.size(); ++k) {
    const auto Index = IndexOf(k, 4, R);
    bool Inside = true;
    size_t SrcNumber = 0;
    for (size_t d = 0; d < R; ++d) {
      Inside = Inside && Index[d] >= 1 && Index[d] <= 2;
      SrcNumber = SrcNumber * 2 + (Index[d] - 1);
    }
    EXPECT_EQ(Values[k], Inside ? static_cast<double>(SrcNumber + 1) : 0.0) << "cell " << k;
  }
  A Fresh = Cube<A>(4);
  EXPECT_EQ(CopyAt(Src, 2, Fresh), 0);  // ends exactly at the border
  for (const int32_t Bad : {3, 4, -1}) {
    A Other = Cube<A>(4);
    EXPECT_EQ(CopyAt(Src, Bad, Other), -2) << Bad;
    EXPECT_EQ(Other, Cube<A>(4));
  }
  A Empty;
  EXPECT_EQ(CopyAt(Src, 0, Empty), -1);
  EXPECT_EQ(CopyAt(A{}, 0, Fresh), -1);
}

TYPED_TEST(CopyTyped, BlockCopyTakesTheInclusiveBox) {
  using A = TypeParam;
  constexpr size_t R = RankOf<A>;
  const A Src = Serial<A>(3);
  A Dest = Cube<A>(2);
  ASSERT_EQ(CopyBlockAt(Src, 1, 2, 0, Dest), 0);
  const auto Values = Cells(Dest);
  for (size_t k = 0; k < Values.size(); ++k) {
    const auto Index = IndexOf(k, 2, R);
    size_t SrcNumber = 0;
    for (size_t d = 0; d < R; ++d) {
      SrcNumber = SrcNumber * 3 + Index[d] + 1;
    }
    EXPECT_EQ(Values[k], static_cast<double>(SrcNumber + 1)) << "cell " << k;
  }
  struct Bad {
    int32_t Lo, Hi, Offset;
  };
  for (const Bad b : {Bad{2, 1, 0}, Bad{-1, 0, 0}, Bad{1, 3, 0}, Bad{0, 1, 1}, Bad{0, 0, 2}, Bad{0, 0, -1}}) {
    A Other = Cube<A>(2);
    EXPECT_EQ(CopyBlockAt(Src, b.Lo, b.Hi, b.Offset, Other), -2) << b.Lo << " " << b.Hi << " " << b.Offset;
    EXPECT_EQ(Other, Cube<A>(2));
  }
}

TYPED_TEST(CopyTyped, FlipReversesOneDimension) {
  using A = TypeParam;
  constexpr size_t R = RankOf<A>;
  const A Src = Serial<A>(3);
  for (int32_t Dim = 1; Dim <= static_cast<int32_t>(R); ++Dim) {
    A Flipped = Src;
    ASSERT_EQ(FlipDimArray(Flipped, Dim), 0);
    const auto Values = Cells(Flipped);
    for (size_t k = 0; k < Values.size(); ++k) {
      auto Index = IndexOf(k, 3, R);
      Index[static_cast<size_t>(Dim - 1)] = 2 - Index[static_cast<size_t>(Dim - 1)];
      size_t SrcNumber = 0;
      for (size_t d = 0; d < R; ++d) {
        SrcNumber = SrcNumber * 3 + Index[d];
      }
      EXPECT_EQ(Values[k], static_cast<double>(SrcNumber + 1)) << "dim " << Dim << " cell " << k;
    }
  }
  A Copy = Src;
  EXPECT_EQ(FlipDimArray(Copy, 0), -2);
  EXPECT_EQ(FlipDimArray(Copy, static_cast<int32_t>(R) + 1), -2);  // a 1-D array takes only 1
  EXPECT_EQ(Copy, Src);
  A Empty;
  EXPECT_EQ(FlipDimArray(Empty, 1), -1);
}

TEST(CloneConvert, RealToIntegerSaturatesAndRoundsTiesToEven) {
  const double NaN = std::numeric_limits<double>::quiet_NaN();
  const TDoubleArray Src{2.5, 3.5, -2.5, 0.49999999999999994, NaN, 1e300, -1e300, 2147483647.4, -2147483648.6};
  TIntArray Dest;
  ASSERT_EQ(CloneArray(Src, Dest), 0);
  EXPECT_EQ(Dest, (TIntArray{2, 4, -2, 0, 0, INT_MAX, INT_MIN, INT_MAX, INT_MIN}));
  TIntArray Reversed;
  ASSERT_EQ(CloneAndReverseArray(TDoubleArray{0.5, 1.5, 2.5}, Reversed), 0);
  EXPECT_EQ(Reversed, (TIntArray{2, 2, 0}));
  TInt2DArray Dest2;
  ASSERT_EQ(CloneArray(TDouble2DArray{{1.5, -0.5}}, Dest2), 0);
  EXPECT_EQ(Dest2, (TInt2DArray{{2, 0}}));
}

TEST(CloneConvert, DoubleToSingleRoundsAndOverflowsToInfinity) {
  const float MaxSingle = std::numeric_limits<float>::max();
  const float Inf = std::numeric_limits<float>::infinity();
  // 2^128 - 2^103 lies halfway between the largest single and 2^128.
  const double Halfway = 3.4028235677973366e+38;
  const double BelowHalfway = 3.402823567797336e+38;
  const TDoubleArray Src{0.1, 1e300, -1e300, BelowHalfway, Halfway, -BelowHalfway};
  TSingleArray Dest;
  ASSERT_EQ(CloneArray(Src, Dest), 0);
  EXPECT_EQ(Dest, (TSingleArray{0.1f, Inf, -Inf, MaxSingle, Inf, -MaxSingle}));
  TDoubleArray Back;
  ASSERT_EQ(CloneAndReverseArray(TSingleArray{0.1f, 2.0f}, Back), 0);
  EXPECT_EQ(Back, (TDoubleArray{2.0, static_cast<double>(0.1f)}));
  TDoubleArray FromInts;
  ASSERT_EQ(CloneArray(TIntArray{INT_MIN, INT_MAX}, FromInts), 0);
  EXPECT_EQ(FromInts, (TDoubleArray{-2147483648.0, 2147483647.0}));
}

TEST(CloneReverse, ReversesEveryElementType) {
  TBoolArray Flags;
  ASSERT_EQ(CloneAndReverseArray(TBoolArray{true, false, false}, Flags), 0);
  EXPECT_EQ(Flags, (TBoolArray{false, false, true}));
  TIntArray Ints{9};
  ASSERT_EQ(CloneAndReverseArray(TIntArray{1, 2, 3}, Ints), 0);
  EXPECT_EQ(Ints, (TIntArray{3, 2, 1}));
  EXPECT_EQ(CloneAndReverseArray(TIntArray{}, Ints), -1);
  EXPECT_EQ(Ints, (TIntArray{3, 2, 1}));
  TBool2DArray Mask;
  ASSERT_EQ(CloneArray(TBool2DArray{{true}, {false}}, Mask), 0);
  EXPECT_EQ(Mask, (TBool2DArray{{true}, {false}}));
}

TEST(CopyLines, ColumnAndRowRangesWithTheirCodes) {
  const TDouble2DArray Src{{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}};  // 3 columns, 4 rows
  struct Case {
    bool Column;
    int32_t Line, First, Last;
    int32_t Status;
    TDoubleArray Result;
  };
  const Case Cases[] = {
      {true, 1, 1, 3, 0, {6, 7, 8}},   {true, 2, 0, 0, 0, {9}},      {false, 3, 0, 2, 0, {4, 8, 12}},
      {true, 1, -1, 2, -2, {}},        {true, 1, 2, 1, -2, {}},      {true, 1, 0, 4, -2, {}},
      {false, 0, 0, 3, -2, {}},        {true, 3, 0, 1, -3, {}},      {false, 4, 0, 1, -3, {}},
      {false, -1, 0, 1, -3, {}},
  };
  for (const Case& c : Cases) {
    TDoubleArray R{-1};
    const int32_t Status =
        c.Column ? CopyArrayColumn(Src, c.Line, c.First, c.Last, R) : CopyArrayRow(Src, c.Line, c.First, c.Last, R);
    EXPECT_EQ(Status, c.Status) << c.Column << " " << c.Line << " " << c.First << " " << c.Last;
    EXPECT_EQ(R, c.Status == 0 ? c.Result : TDoubleArray{-1});
  }
  TBoolArray Flags;
  EXPECT_EQ(CopyArrayRow(TBool2DArray{{true, false}, {false, true}}, 1, 0, 1, Flags), 0);
  EXPECT_EQ(Flags, (TBoolArray{false, true}));
  TIntArray Ints;
  EXPECT_EQ(CopyArrayColumn(TInt2DArray{}, 0, 0, 0, Ints), -1);
  EXPECT_EQ(CopyArrayColumn(TInt2DArray{{1, 2}, {3}}, 0, 0, 0, Ints), -1);
}

TEST(CopyLines, IntoAOneDimensionalDestinationStopsAtItsEnd) {
  TDouble2DArray Src(2, TDoubleArray(12));
  FillArraySerial(Src, 0.0, 1.0);  // column 0 holds 0..11
  TDoubleArray Dest{-1, -1, -1, -1};
  ASSERT_EQ(Copy2DColTo1DArray(Src, 0, 1, 10, Dest, 1), 0);
  EXPECT_EQ(Dest, (TDoubleArray{-1, 1, 2, 3}));
  ASSERT_EQ(Copy2DRowTo1DArray(Src, 5, 0, 1, Dest, 2), 0);
  EXPECT_EQ(Dest, (TDoubleArray{-1, 1, 5, 17}));
  EXPECT_EQ(Copy2DColTo1DArray(Src, 0, 1, 10, Dest, 4), -4);
  EXPECT_EQ(Copy2DColTo1DArray(Src, 0, 1, 10, Dest, -1), -4);
  EXPECT_EQ(Copy2DColTo1DArray(Src, 2, 1, 10, Dest, 0), -3);
  EXPECT_EQ(Copy2DRowTo1DArray(Src, 0, 0, 2, Dest, 0), -2);
  EXPECT_EQ(Dest, (TDoubleArray{-1, 1, 5, 17}));
}

TEST(CopyLines, IntoAColumnOrRowOfADestination) {
  const TIntArray Src{1, 2, 3, 4, 5};
  TInt2DArray Dest(3, TIntArray(3, 0));
  ASSERT_EQ(CopyToArrayColumn(Src, 0, 0, 1, 1, Dest), 0);  // 0, 0: the whole source, up to the column's end
  EXPECT_EQ(Dest, (TInt2DArray{{0, 0, 0}, {0, 1, 2}, {0, 0, 0}}));
  ASSERT_EQ(CopyToArrayRow(Src, 3, 4, 0, 0, Dest), 0);
  EXPECT_EQ(Dest, (TInt2DArray{{4, 0, 0}, {5, 1, 2}, {0, 0, 0}}));
  ASSERT_EQ(CopyToArrayRow(Src, 4, 2, 0, 2, Dest), 0);  // a reversed range copies nothing
  EXPECT_EQ(Dest, (TInt2DArray{{4, 0, 0}, {5, 1, 2}, {0, 0, 0}}));
  EXPECT_EQ(CopyToArrayColumn(Src, 0, 5, 0, 0, Dest), -1);
  EXPECT_EQ(CopyToArrayColumn(Src, -1, 2, 0, 0, Dest), -1);
  EXPECT_EQ(CopyToArrayColumn(Src, 0, 2, 3, 0, Dest), -2);
  EXPECT_EQ(CopyToArrayRow(Src, 0, 2, 0, 3, Dest), -2);
  EXPECT_EQ(Dest, (TInt2DArray{{4, 0, 0}, {5, 1, 2}, {0, 0, 0}}));
  TBool2DArray Mask(2, TBoolArray(2, false));
  ASSERT_EQ(CopyToArrayRow(TBoolArray{true, true, true}, 0, 0, 1, 1, Mask), 0);
  EXPECT_EQ(Mask, (TBool2DArray{{false, false}, {false, true}}));
}

TEST(CopyLines, TheVectorFormsAreWithdrawn) {
  TDouble2DArray Dest(2, TDoubleArray(2, 0.0));
  try {
    CopyVectorToArrayRow(TDoubleArray{1, 2}, 0, 1, 0, 0, Dest);
    FAIL() << "no error";
  } catch (const EVexaError& e) {
    EXPECT_STREQ(e.what(), "deprecated function, see help for details");
  }
  TBool2DArray Mask(2, TBoolArray(2, false));
  EXPECT_THROW(CopyVectorToArrayColumn(TBoolArray{true}, 0, 0, 0, 0, Mask), EVexaError);
  EXPECT_EQ(Dest, TDouble2DArray(2, TDoubleArray(2, 0.0)));
}

TEST(Reshape, TransposeSwapsTheIndices) {
  TDouble2DArray A{{1, 2, 3}, {4, 5, 6}};
  ASSERT_EQ(TransposeArray(A), 0);
  EXPECT_EQ(A, (TDouble2DArray{{1, 4}, {2, 5}, {3, 6}}));
  TBool2DArray Mask{{true, false}};
  ASSERT_EQ(TransposeArray(Mask), 0);
  EXPECT_EQ(Mask, (TBool2DArray{{true}, {false}}));
  TInt2DArray Ragged{{1, 2}, {3}};
  EXPECT_EQ(TransposeArray(Ragged), -1);
  EXPECT_EQ(Ragged, (TInt2DArray{{1, 2}, {3}}));
}

TEST(Reshape, RemoveRowsAndColumns) {
  TInt2DArray A{{1, 2, 3}, {4, 5, 6}};
  EXPECT_TRUE(RemoveRow(A, 1));
  EXPECT_EQ(A, (TInt2DArray{{1, 3}, {4, 6}}));
  EXPECT_FALSE(RemoveRow(A, 2));
  EXPECT_FALSE(RemoveRow(A, -1));
  EXPECT_TRUE(RemoveColumn(A, 0));
  EXPECT_EQ(A, (TInt2DArray{{4, 6}}));
  EXPECT_FALSE(RemoveColumn(A, 1));
  TDouble2DArray Ragged{{1, 2}, {3}};
  EXPECT_FALSE(RemoveRow(Ragged, 0));
  EXPECT_FALSE(RemoveColumn(Ragged, 0));
  TDouble2DArray Empty;
  EXPECT_FALSE(RemoveColumn(Empty, 0));
}

}  // namespace
}  // namespace vexa
