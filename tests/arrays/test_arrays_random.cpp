// Random fills of the array unit: cyclic shuffle, uniform and Gaussian fills,
// resampling, and the shared draw without repetition.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <numeric>
#include <set>

#include "ArrayShapesTestSupport.h"
#include "arrays/Vexa_openarrays.h"
#include "arrays/internal/Vexa_arrayshapes.h"
#include "platform/Vexa_random.h"

namespace vexa {
namespace {

using arraycore::ElemOf;
using arraycore::RankOf;
using testing::Cells;
using testing::Cube;
using testing::MakeRagged;

const double NaN = std::numeric_limits<double>::quiet_NaN();

TEST(Shuffle, EveryElementLeavesItsPlace) {
  for (int Trial = 0; Trial < 50; ++Trial) {
    TIntArray Pair{1, 2};
    ASSERT_EQ(ShuffleArray(Pair), 0);
    EXPECT_EQ(Pair, (TIntArray{2, 1}));
    TDoubleArray A(10);
    std::iota(A.begin(), A.end(), 0.0);
    ASSERT_EQ(ShuffleArray(A), 0);
    for (size_t k = 0; k < A.size(); ++k) {
      EXPECT_NE(A[k], static_cast<double>(k));
    }
    std::sort(A.begin(), A.end());
    for (size_t k = 0; k < A.size(); ++k) {
      EXPECT_EQ(A[k], static_cast<double>(k));
    }
  }
  TIntArray One{5};
  EXPECT_EQ(ShuffleArray(One), -1);
  TDoubleArray None;
  EXPECT_EQ(ShuffleArray(None), -1);
}

template <class A>
class RandomTyped : public ::testing::Test {};
TYPED_TEST_SUITE(RandomTyped, testing::AllNumericArrays);

TYPED_TEST(RandomTyped, UniformFillStaysInItsRangeAndChecksArguments) {
  using A = TypeParam;
  using T = ElemOf<A>;
  A Arr = Cube<A>(6);
  ASSERT_EQ(FillRandomUniform(Arr, T(-3), T(5)), 0);
  std::set<double> Seen;
  for (const double v : Cells(Arr)) {
    EXPECT_GE(v, -3.0);
    EXPECT_LT(v, 5.0);  // High itself is never drawn
    Seen.insert(v);
  }
  EXPECT_GT(Seen.size(), 1u);
  ASSERT_EQ(FillRandomUniform(Arr, T(2), T(2)), 0);
  for (const double v : Cells(Arr)) {
    EXPECT_EQ(v, 2.0);
  }
  A Copy = Arr;
  EXPECT_EQ(FillRandomUniform(Copy, T(5), T(4)), -2);
  A Empty;
  EXPECT_EQ(FillRandomUniform(Empty, T(0), T(1)), -1);
  if constexpr (RankOf<A> > 1) {
    A Ragged = MakeRagged(Cube<A>(2));
    EXPECT_EQ(FillRandomUniform(Ragged, T(0), T(1)), -1);
  }
  EXPECT_EQ(Copy, Arr);
}

TEST(RandomUniform, ExtremeBoundsStayFiniteAndInRange) {
  TDoubleArray A(1000);
  const double Max = std::numeric_limits<double>::max();
  ASSERT_EQ(FillRandomUniform(A, -Max, Max), 0);
  for (const double v : A) {
    EXPECT_TRUE(std::isfinite(v));
  }
  EXPECT_EQ(FillRandomUniform(A, NaN, 1.0), -2);
  EXPECT_EQ(FillRandomUniform(A, 0.0, NaN), -2);
  TIntArray I(1000);
  ASSERT_EQ(FillRandomUniform(I, INT_MIN, INT_MAX), 0);
  EXPECT_EQ(std::count(I.begin(), I.end(), INT_MAX), 0);
  ASSERT_EQ(FillRandomUniform(I, INT_MAX - 1, INT_MAX), 0);
  EXPECT_EQ(std::count(I.begin(), I.end(), INT_MAX - 1), 1000);
}

TEST(RandomUniform, ConsecutiveFillsDifferEvenAfterSeeding) {
  TDoubleArray A(100), B(100);
  SetRandSeed(1);
  ASSERT_EQ(FillRandomUniform(A, 0.0, 1.0), 0);
  SetRandSeed(1);
  ASSERT_EQ(FillRandomUniform(B, 0.0, 1.0), 0);
  EXPECT_NE(A, B);
  TIntArray C(100), D(100);
  ASSERT_EQ(FillRandomUniform(C, 1, 1000000, false), 0);
  ASSERT_EQ(FillRandomUniform(D, 1, 1000000, false), 0);
  EXPECT_NE(C, D);
}

TEST(RandomUniform, DrawsWithAndWithoutRepetition) {
  struct Case {
    size_t Cells;
    int32_t Low, High;
    bool Repeated;
    int32_t Status;
  };
  const Case Cases[] = {
      {5, 1, 4, false, -3}, {5, 1, 5, false, 0},       {3, 0, 1000000, false, -4}, {3, 1, 1000000, false, 0},
      {3, 2, 1, true, -2},  {3, 2, 1, false, -2},      {0, 1, 5, true, -1},        {50, INT_MIN, INT_MAX, true, 0},
      {4, 7, 7, true, 0},   {1, INT_MAX, INT_MAX, false, 0},
  };
  for (const Case& c : Cases) {
    TIntArray A(c.Cells, -99);
    EXPECT_EQ(FillRandomUniform(A, c.Low, c.High, c.Repeated), c.Status) << c.Cells << " " << c.Low << " " << c.High;
    if (c.Status != 0) {
      EXPECT_EQ(A, TIntArray(c.Cells, -99));
      continue;
    }
    for (const int32_t v : A) {
      EXPECT_GE(v, c.Low);
      EXPECT_LE(v, c.High);  // High inclusive in this form
    }
    if (!c.Repeated) {
      EXPECT_EQ(std::set<int32_t>(A.begin(), A.end()).size(), A.size());
    }
  }
}

TEST(RandomUniform, OneCellWithoutRepetitionReachesEveryValue) {
  std::set<int32_t> Seen;
  for (int Trial = 0; Trial < 200 && Seen.size() < 2; ++Trial) {
    TIntArray A(1);
    ASSERT_EQ(FillRandomUniform(A, 1, 2, false), 0);
    Seen.insert(A[0]);
  }
  EXPECT_EQ(Seen, (std::set<int32_t>{1, 2}));  // probability of failing: 2^-199
}

TEST(RandomNormal, MomentsAndCodes) {
  TDoubleArray A(100000);
  ASSERT_EQ(FillRandomNormal(A, 10.0, 2.0), 0);
  const double Mean = std::accumulate(A.begin(), A.end(), 0.0) / static_cast<double>(A.size());
  double Squares = 0;
  for (const double v : A) {
    Squares += (v - Mean) * (v - Mean);
  }
  // Six standard errors: 2/sqrt(1e5) = 0.0063 for the mean, about 0.0045 for the deviation.
  EXPECT_NEAR(Mean, 10.0, 0.04);
  EXPECT_NEAR(std::sqrt(Squares / static_cast<double>(A.size() - 1)), 2.0, 0.03);
  TDouble3DArray Cube3(2, TDouble2DArray(2, TDoubleArray(2)));
  ASSERT_EQ(FillRandomNormal(Cube3, 1.5, 0.0), 0);
  EXPECT_EQ(Cells(Cube3), std::vector<double>(8, 1.5));
  EXPECT_EQ(FillRandomNormal(Cube3, 0.0, -1.0), -2);
  EXPECT_EQ(FillRandomNormal(Cube3, 0.0, NaN), -2);
  TDouble4DArray Empty;
  EXPECT_EQ(FillRandomNormal(Empty, 0.0, 1.0), -1);
  EXPECT_EQ(Cells(Cube3), std::vector<double>(8, 1.5));
}

// ---------------------------------------------------------------- resampling

TEST(Resample, DrawsIndicesAndCopiesTheirCells) {
  TDouble2DArray D(5, TDoubleArray(8));
  FillArraySerial(D, 0.0, 1.0);  // D[i][j] = 8 i + j
  TDouble2DArray R{{0}};
  TIntArray I1{0}, I2{0};
  ASSERT_EQ(Resample2DArray(D, R, 100, 50, false, I1, I2), 0);
  EXPECT_EQ(I1, (TIntArray{1, 2, 3, 4, 5}));
  ASSERT_EQ(I2.size(), 4u);
  EXPECT_EQ(std::set<int32_t>(I2.begin(), I2.end()).size(), 4u);
  ASSERT_EQ(R.size(), 5u);
  for (size_t a = 0; a < 5; ++a) {
    ASSERT_EQ(R[a].size(), 4u);
    for (size_t b = 0; b < 4; ++b) {
      EXPECT_GE(I2[b], 1);
      EXPECT_LE(I2[b], 8);
      EXPECT_EQ(R[a][b], 8.0 * (I1[a] - 1) + (I2[b] - 1));
    }
  }
  // 5 * 50 % = 2.5 rounds to 2, 8 * 43.75 % = 3.5 rounds to 4 (ties to even).
  ASSERT_EQ(Resample2DArray(D, R, 50, 43.75, true, I1, I2), 0);
  EXPECT_EQ(I1.size(), 2u);
  EXPECT_NE(I1[0], I1[1]);
  EXPECT_EQ(I2.size(), 4u);
}

TEST(Resample, CodesInCheckOrderLeaveTheOutputs) {
  const TDouble2DArray D(4, TDoubleArray(4, 1.0));
  struct Case {
    const char* What;
    TDouble2DArray Data, R;
    TIntArray I1, I2;
    double p1, p2;
    int32_t Status;
  };
  const Case Cases[] = {
      {"missing data", {}, {{0}}, {0}, {0}, 50, 50, -3},
      {"ragged data", {{1, 2}, {3}}, {{0}}, {0}, {0}, 50, 50, -3},
      {"missing result", D, {}, {0}, {0}, 50, 50, -4},
      {"missing index", D, {{0}}, {0}, {}, 50, 50, -5},
      {"no first index", D, {{0}}, {0}, {0}, 10, 50, -1},
      {"first percent above 100", D, {{0}}, {0}, {0}, 101, 50, -1},
      {"NaN first percent", D, {{0}}, {0}, {0}, NaN, 50, -1},
      {"NaN second percent", D, {{0}}, {0}, {0}, 50, NaN, -2},
      {"both percents wrong: the second wins", D, {{0}}, {0}, {0}, 0, -5, -2},
  };
  for (const Case& c : Cases) {
    TDouble2DArray R = c.R;
    TIntArray I1 = c.I1, I2 = c.I2;
    EXPECT_EQ(Resample2DArray(c.Data, R, c.p1, c.p2, false, I1, I2), c.Status) << c.What;
    EXPECT_EQ(R, c.R) << c.What;
    EXPECT_EQ(I1, c.I1) << c.What;
    EXPECT_EQ(I2, c.I2) << c.What;
  }
}

TEST(DrawWithoutRepetition, DistinctValuesFromAnyRange) {
  std::vector<int64_t> Values{42};
  EXPECT_FALSE(arraycore::DrawWithoutRepetition(1, 3, 4, Values));
  EXPECT_EQ(Values, std::vector<int64_t>{42});
  ASSERT_TRUE(arraycore::DrawWithoutRepetition(1, 3, 3, Values));
  std::sort(Values.begin(), Values.end());
  EXPECT_EQ(Values, (std::vector<int64_t>{1, 2, 3}));
  // A range far wider than memory could hold as a list.
  ASSERT_TRUE(arraycore::DrawWithoutRepetition(-(int64_t{1} << 40), int64_t{1} << 40, 1000, Values));
  EXPECT_EQ(std::set<int64_t>(Values.begin(), Values.end()).size(), 1000u);
  // Each of three values comes first about a third of the time.
  int First[3] = {0, 0, 0};
  for (int Trial = 0; Trial < 3000; ++Trial) {
    ASSERT_TRUE(arraycore::DrawWithoutRepetition(0, 2, 2, Values));
    ++First[Values[0]];
  }
  for (const int Count : First) {
    EXPECT_NEAR(Count, 1000, 150);  // about six standard deviations (25.8)
  }
}

}  // namespace
}  // namespace vexa
