// Filling routines of the array unit: constant, boxed, masked, serial and
// diagonal fills, boolean arrays to numbers.

#include <gtest/gtest.h>

#include <climits>

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
class FillTyped : public ::testing::Test {};
TYPED_TEST_SUITE(FillTyped, testing::AllNumericArrays);

/// FillArray with a box given as all lows, then all highs.
template <class A>
int32_t FillBox(A& Arr, ElemOf<A> v, const std::vector<int32_t>& b) {
  if constexpr (RankOf<A> == 1) {
    return FillArray(Arr, v, b[0], b[1]);
  } else if constexpr (RankOf<A> == 2) {
    return FillArray(Arr, v, b[0], b[1], b[2], b[3]);
  } else if constexpr (RankOf<A> == 3) {
    return FillArray(Arr, v, b[0], b[1], b[2], b[3], b[4], b[5]);
  } else {
    return FillArray(Arr, v, b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7]);
  }
}

/// Box arguments with the same low and high in every dimension.
std::vector<int32_t> UniformBox(size_t Rank, int32_t Low, int32_t High) {
  std::vector<int32_t> Args(Rank, Low);
  Args.insert(Args.end(), Rank, High);
  return Args;
}

TYPED_TEST(FillTyped, WholeFillSetsEveryCellAndRefusesEmptyOrRaggedArrays) {
  using A = TypeParam;
  A Arr = Cube<A>(3);
  EXPECT_EQ(FillArray(Arr, ElemOf<A>(7)), 0);
  for (const double v : Cells(Arr)) {
    EXPECT_EQ(v, 7);
  }
  A Empty;
  EXPECT_EQ(FillArray(Empty, ElemOf<A>(7)), -1);
  if constexpr (RankOf<A> > 1) {
    A NoRows = Shaped<A>(std::vector<size_t>(RankOf<A>, 0));
    NoRows.resize(2);  // two columns without rows
    EXPECT_EQ(FillArray(NoRows, ElemOf<A>(7)), -1);
    A Ragged = MakeRagged(Cube<A>(2));
    const A Before = Ragged;
    EXPECT_EQ(FillArray(Ragged, ElemOf<A>(7)), -1);
    EXPECT_EQ(Ragged, Before);
  }
}

TYPED_TEST(FillTyped, BoxFillSetsTheInclusiveBoxOnly) {
  using A = TypeParam;
  constexpr size_t R = RankOf<A>;
  A Arr = Cube<A>(3);
  ASSERT_EQ(FillBox(Arr, ElemOf<A>(5), UniformBox(R, 1, 2)), 0);
  // Cell k in index order has digits (base 3) as indices; inside when all are 1 or 2.
  const auto Values = Cells(Arr);
  size_t Inside = 0;
  for (size_t k = 0; k < Values.size(); ++k) {
    bool In = true;
    for (size_t d = 0, m = k; d < R; ++d, m /= 3) {
      In = In && m % 3 != 0;
    }
    EXPECT_EQ(Values[k], In ? 5 : 0) << "cell " << k;
    Inside += In ? 1 : 0;
  }
  EXPECT_EQ(Inside, size_t{1} << R);

  for (const auto& Bad : {UniformBox(R, -1, 1), UniformBox(R, 0, 3), UniformBox(R, 2, 1)}) {
    A Copy = Cube<A>(3);
    EXPECT_EQ(FillBox(Copy, ElemOf<A>(5), Bad), -2);
    EXPECT_EQ(Copy, Cube<A>(3));
  }
  A Empty;
  EXPECT_EQ(FillBox(Empty, ElemOf<A>(5), UniformBox(R, 0, 0)), -1);
}

TYPED_TEST(FillTyped, SerialFillCountsInIndexOrder) {
  using A = TypeParam;
  using T = ElemOf<A>;
  if constexpr (std::is_same_v<T, int32_t> && RankOf<A> == 4) {
    GTEST_SKIP() << "no integer 4-D serial fill";
  } else {
    A Arr = Cube<A>(3);
    const T Start = std::is_same_v<T, double> ? T(0.5) : T(3);
    const T Step = std::is_same_v<T, double> ? T(0.25) : T(-2);
    ASSERT_EQ(FillArraySerial(Arr, Start, Step), 0);
    const auto Values = Cells(Arr);
    for (size_t k = 0; k < Values.size(); ++k) {
      EXPECT_EQ(Values[k], static_cast<double>(Start) + static_cast<double>(k) * static_cast<double>(Step));
    }
    if constexpr (RankOf<A> < 4) {
      A Plain = Cube<A>(2);
      ASSERT_EQ(FillArraySerial(Plain), 0);
      EXPECT_EQ(Cells(Plain).back(), static_cast<double>(Cells(Plain).size() - 1));
    }
    A Empty;
    EXPECT_EQ(FillArraySerial(Empty, Start, Step), -1);
  }
}

TYPED_TEST(FillTyped, DiagonalFillNeedsEqualDimensions) {
  using A = TypeParam;
  constexpr size_t R = RankOf<A>;
  if constexpr (R == 1) {
    GTEST_SKIP() << "no 1-D diagonal fill";
  } else {
    A Arr = Cube<A>(3);
    ASSERT_EQ(FillArray(Arr, ElemOf<A>(9)), 0);
    ASSERT_EQ(FillDiagArray(Arr, ElemOf<A>(4)), 0);
    const auto Values = Cells(Arr);
    for (size_t k = 0; k < Values.size(); ++k) {
      bool Diagonal = true;
      for (size_t d = 1, m = k / 3; d < R; ++d, m /= 3) {
        Diagonal = Diagonal && m % 3 == k % 3;
      }
      EXPECT_EQ(Values[k], Diagonal ? 4 : 0) << "cell " << k;  // all other cells cleared
    }
    std::vector<size_t> Dims(R, 3);
    Dims.back() = 2;
    A NotCubic = Shaped<A>(Dims);
    EXPECT_EQ(FillDiagArray(NotCubic, ElemOf<A>(4)), -2);
    A Empty;
    EXPECT_EQ(FillDiagArray(Empty, ElemOf<A>(4)), -1);
  }
}

TEST(FillSerial, IntegerSerialFillsWrapAround) {
  TIntArray Line(3);
  ASSERT_EQ(FillArraySerial(Line, INT_MAX - 1, 1), 0);
  EXPECT_EQ(Line, (TIntArray{INT_MAX - 1, INT_MAX, INT_MIN}));
  TInt2DArray Square(2, TIntArray(2));
  ASSERT_EQ(FillArraySerial(Square, INT_MIN, -1), 0);
  EXPECT_EQ(Square, (TInt2DArray{{INT_MIN, INT_MAX}, {INT_MAX - 1, INT_MAX - 2}}));
}

TEST(FillBool, BooleanArraysFillWholly) {
  TBoolArray Line(3, false);
  EXPECT_EQ(FillArray(Line, true), 0);
  EXPECT_EQ(Line, TBoolArray(3, true));
  TBool2DArray Mask(2, TBoolArray(2, true));
  EXPECT_EQ(FillArray(Mask, false), 0);
  EXPECT_EQ(Mask, TBool2DArray(2, TBoolArray(2, false)));
  TBool2DArray Empty;
  EXPECT_EQ(FillArray(Empty, true), -1);
}

TEST(FillMasked, FillsTheUnmaskedCellsAndCountsThem) {
  struct Case {
    const char* What;
    TBool2DArray Mask;
    int32_t Result;
    TDouble2DArray After;
  };
  const TDouble2DArray Data{{1, 2}, {3, 4}, {5, 6}};
  const Case Cases[] = {
      {"no mask", {}, 6, {{9, 9}, {9, 9}, {9, 9}}},
      {"mask", {{true, false}, {false, false}, {true, true}}, 3, {{1, 9}, {9, 9}, {5, 6}}},
      {"mask of another size", {{true, false}, {false, false}}, -1, Data},
      {"ragged mask", {{true, false}, {false}, {true, true}}, -1, Data},
  };
  for (const Case& c : Cases) {
    TDouble2DArray A = Data;
    EXPECT_EQ(FillArrayMasked(A, 9.0, c.Mask), c.Result) << c.What;
    EXPECT_EQ(A, c.After) << c.What;
  }
  TInt2DArray Ints{{1, 2}};
  EXPECT_EQ(FillArrayMasked(Ints, 0, TBool2DArray{{false, true}}), 1);
  EXPECT_EQ(Ints, (TInt2DArray{{0, 2}}));
  TInt2DArray Empty;
  EXPECT_EQ(FillArrayMasked(Empty, 0, TBool2DArray{}), -2);
  TInt2DArray Ragged{{1, 2}, {3}};
  EXPECT_EQ(FillArrayMasked(Ragged, 0, TBool2DArray{}), -2);
}

TEST(BoolToNum, TakesTheShapeAndMapsBothValues) {
  TIntArray Ints{42};
  ASSERT_EQ(BoolToNumArray(TBoolArray{true, false, true}, -1, 1, Ints), 0);
  EXPECT_EQ(Ints, (TIntArray{1, -1, 1}));
  TDouble2DArray Reals;
  ASSERT_EQ(BoolToNumArray(TBool2DArray{{true, false}, {false, false}}, 0.5, 2.5, Reals), 0);
  EXPECT_EQ(Reals, (TDouble2DArray{{2.5, 0.5}, {0.5, 0.5}}));
  TInt2DArray Untouched{{7}};
  EXPECT_EQ(BoolToNumArray(TBool2DArray{}, 0, 1, Untouched), -1);
  EXPECT_EQ(BoolToNumArray(TBool2DArray{{true}, {}}, 0, 1, Untouched), -1);
  EXPECT_EQ(Untouched, (TInt2DArray{{7}}));
}

}  // namespace
}  // namespace vexa
