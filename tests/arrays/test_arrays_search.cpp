// Array routines: predicates, search, sorting, local statistics, linearity.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "arrays/Vexa_openarrays.h"

namespace vexa {
namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(ArraysSearch, MonotonePredicates) {
  struct Case {
    TDoubleArray Data;
    bool Monotone, Strict;
  };
  const Case Cases[] = {
      {{}, true, true},
      {{2, 2}, true, true},  // fewer than 3 values
      {{1, 1, 2, 3}, true, false},
      {{3, 3, 2, 2, 1}, true, false},
      {{1, 2, 1}, false, false},
      {{1, 2, 3}, true, true},
      {{3, 2, 1}, true, true},
      {{1, 2, 2}, true, false},
      {{1, kNaN, 3}, false, false},
  };
  for (const Case& c : Cases) {
    EXPECT_EQ(IsMonotone(c.Data), c.Monotone) << ::testing::PrintToString(c.Data);
    EXPECT_EQ(IsStrictlyMonotone(c.Data), c.Strict) << ::testing::PrintToString(c.Data);
  }
  // Integer steps are compared, not subtracted: no overflow at the limits.
  EXPECT_TRUE(IsStrictlyMonotone(TIntArray{INT32_MIN, 0, INT32_MAX}));
  EXPECT_FALSE(IsMonotone(TIntArray{INT32_MAX, INT32_MIN, INT32_MAX}));
}

TEST(ArraysSearch, DichotomyAndEquality) {
  double a = -1, b = -1;
  EXPECT_TRUE(IsDichotomous(TDoubleArray{5, 2, 5, 2}, a, b));
  EXPECT_EQ(a, 2.0);
  EXPECT_EQ(b, 5.0);
  a = b = -1;
  EXPECT_FALSE(IsDichotomous(TDoubleArray{5, 5}, a, b));
  EXPECT_FALSE(IsDichotomous(TDoubleArray{1, 2, 3}, a, b));
  EXPECT_FALSE(IsDichotomous(TDoubleArray{1, kNaN}, a, b));
  EXPECT_FALSE(IsDichotomous(TDoubleArray{1}, a, b));
  EXPECT_EQ(a, -1.0);
  int32_t i = 0, j = 0;
  EXPECT_TRUE(IsDichotomous(TIntArray{INT32_MAX, INT32_MIN}, i, j));
  EXPECT_EQ(i, INT32_MIN);
  EXPECT_EQ(j, INT32_MAX);

  EXPECT_TRUE(EqualArrays(TIntArray{1, 2}, TIntArray{1, 2}));
  EXPECT_FALSE(EqualArrays(TIntArray{1, 2}, TIntArray{1, 2, 3}));
  EXPECT_FALSE(EqualArrays(TInt2DArray{{1, 2}, {3, 4}}, TInt2DArray{{1, 2}, {3, 5}}));
  EXPECT_FALSE(EqualArrays(TInt2DArray{{1, 2}}, TInt2DArray{{1}, {2}}));  // full shapes compared
  EXPECT_FALSE(EqualArrays(TInt2DArray{{1}, {2, 3}}, TInt2DArray{{1}, {2, 3}}));  // ragged
  EXPECT_TRUE(EqualArrays(TInt3DArray{{{1}}}, TInt3DArray{{{1}}}));
  EXPECT_TRUE(EqualArrays(TInt4DArray{{{{1, 2}}}}, TInt4DArray{{{{1, 2}}}}));
}

TEST(ArraysSearch, FindInArrays) {
  EXPECT_EQ(FindInArray(3, TIntArray{1, 3, 3}), 1);
  EXPECT_EQ(FindInArray(4, TIntArray{1, 3}), -2);
  EXPECT_EQ(FindInArray(4, TIntArray{}), -1);
  const TStrArray Names{"Alpha", "beta", "GammaRay"};
  struct Case {
    const char* Text;
    bool IgnoreCase, Partial;
    int32_t Result;
  };
  const Case Cases[] = {
      {"beta", false, false, 1}, {"BETA", false, false, -2}, {"BETA", true, false, 1},
      {"ray", false, true, -2},  {"ray", true, true, 2},     {"Gamma", false, false, -2},
      {"Gamma", false, true, 2},
  };
  for (const Case& c : Cases) {
    EXPECT_EQ(FindInArray(c.Text, Names, c.IgnoreCase, c.Partial), c.Result) << c.Text;
  }
  EXPECT_EQ(FindInArray("x", TStrArray{}, true, true), -1);
}

TEST(ArraysSearch, FindInSortedArrayTakesTheNearerNeighbour) {
  const TDoubleArray Up{1, 2, 3, 4};
  const TDoubleArray Down{4, 3, 2, 1};
  struct Case {
    double x;
    bool Ascending;
    int32_t Result;
  };
  const Case Cases[] = {
      {2.5, true, 2},   // equally near: the upper one
      {2.4, true, 1},   {3, true, 2},    {1, true, 0},   {4, true, 3},
      {5, true, -2},    {0.5, true, -2}, {kNaN, true, -2},
      {2.5, false, 2},  {3.9, false, 0}, {1, false, 3},  {4.5, false, -2},
  };
  for (const Case& c : Cases) {
    EXPECT_EQ(FindInSortedArray(c.x, c.Ascending ? Up : Down, c.Ascending), c.Result)
        << c.x << (c.Ascending ? " up" : " down");
  }
  EXPECT_EQ(FindInSortedArray(2, TDoubleArray{1, 2, 2, 2, 3}, true), 2);  // a run: the middle hit
  EXPECT_EQ(FindInSortedArray(1, TDoubleArray{}, true), -1);
  EXPECT_EQ(FindInSortedArray(7, TDoubleArray{7}, true), 0);
}

TEST(ArraysSearch, SortArrayCarriesTheIndex) {
  TDoubleArray d{3, 1, 2};
  TIntArray Index{99};
  ASSERT_EQ(SortArray(true, d, Index), 0);
  EXPECT_EQ(d, (TDoubleArray{1, 2, 3}));
  EXPECT_EQ(Index, (TIntArray{2, 3, 1}));

  TIntArray i{5, 1, 5, 3};
  ASSERT_EQ(SortArray(false, i, Index), 0);
  EXPECT_EQ(i, (TIntArray{5, 5, 3, 1}));
  EXPECT_EQ(Index[2], 4);
  EXPECT_EQ(Index[3], 2);

  TDoubleArray One{4};
  EXPECT_EQ(SortArray(true, One, Index), -1);
  EXPECT_EQ(Index, (TIntArray{1}));

  // A larger shuffle against std::sort; the index maps back to the input.
  TDoubleArray Data(1000);
  for (size_t k = 0; k < Data.size(); ++k) Data[k] = std::fmod(double(k) * 7919.0, 1009.0);
  const TDoubleArray Input = Data;
  TDoubleArray Reference = Data;
  std::sort(Reference.begin(), Reference.end());
  ASSERT_EQ(SortArray(true, Data, Index), 0);
  EXPECT_EQ(Data, Reference);
  for (size_t k = 0; k < Data.size(); ++k) EXPECT_EQ(Input[size_t(Index[k] - 1)], Data[k]);
}

TEST(ArraysSearch, SortArrayReportsProgressAndAborts) {
  TDoubleArray d{5, 4, 3, 2, 1, 0};
  TIntArray Index;
  int Steps = 0;
  AbortMathProc = true;  // cleared at the start
  MathFeedBackProc = [&Steps](double) {
    if (++Steps == 2) AbortMathProc = true;
  };
  EXPECT_EQ(SortArray(true, d, Index), -2);
  MathFeedBackProc = nullptr;
  AbortMathProc = false;
  EXPECT_EQ(Steps, 2);
  EXPECT_FALSE(std::is_sorted(d.begin(), d.end()));
}

TEST(ArraysSearch, SortAndRemoveDuplicates) {
  TIntArray a{3, 1, 3, 2, 1};
  EXPECT_EQ(SortAndRemoveDuplicates(a, true), 2);
  EXPECT_EQ(a, (TIntArray{1, 2, 3}));
  TIntArray b{3, 1, 3};
  EXPECT_EQ(SortAndRemoveDuplicates(b, false), 1);
  EXPECT_EQ(b, (TIntArray{3, 1}));
  TIntArray c{7};
  EXPECT_EQ(SortAndRemoveDuplicates(c, true), -1);
  EXPECT_EQ(c, TIntArray{7});
}

TEST(ArraysSearch, LocalMeanAndMedian) {
  const TDoubleArray Data{1, 2, 3, 4, 5};
  EXPECT_EQ(LocalMean(Data, 2, 1, 0, 4), 3.0);
  EXPECT_EQ(LocalMean(Data, 2, 1, 2, 4), 3.5);  // (3 + 4)/2
  EXPECT_EQ(LocalMean(Data, 9, 1, 0, 9), 4.5);   // Ix and limits clamped
  EXPECT_EQ(LocalMean(TDoubleArray{}, 0, 1, 0, 0), 0.0);
  EXPECT_EQ(LocalMean(TIntArray{INT32_MAX, INT32_MAX}, 0, 1, 0, 1), double(INT32_MAX));

  EXPECT_EQ(LocalMedian(TDoubleArray{9, 1, 5, 7, 3}, 2, 2, 0, 4), 5.0);
  EXPECT_EQ(LocalMedian(TIntArray{9, 1, 5, 7, 3}, 2, 1, 2, 4), 6.0);  // 5 and 7
  EXPECT_EQ(LocalMedian(TDoubleArray{kNaN, 1, 2}, 1, 1, 0, 2), 2.0);  // NaN ranks last
  EXPECT_EQ(LocalMedian(TIntArray{}, 0, 0, 0, 0), 0.0);
}

TEST(ArraysSearch, CheckLinearityListsExactlyTheBreaks) {
  TIntArray Breaks{77, 78};
  EXPECT_EQ(CheckLinearity(TDoubleArray{0, 1, 2, 4, 6}, 0.1, Breaks), 1);
  EXPECT_EQ(Breaks, TIntArray{2});
  EXPECT_EQ(CheckLinearity(TDoubleArray{0, 1, 2, 3}, 0.1, Breaks), 0);
  EXPECT_TRUE(Breaks.empty());
  Breaks = {5};
  EXPECT_EQ(CheckLinearity(TDoubleArray{0, 1}, 0.1, Breaks), 0);
  EXPECT_EQ(Breaks, TIntArray{5});  // fewer than 3 values: unchanged
  EXPECT_EQ(CheckLinearity(TIntArray{0, 1, 3, 5, 5}, Breaks), 2);
  EXPECT_EQ(Breaks, (TIntArray{1, 3}));
  // Steps of the full integer range do not overflow.
  EXPECT_EQ(CheckLinearity(TIntArray{INT32_MIN, INT32_MAX, INT32_MIN}, Breaks), 1);
  EXPECT_EQ(Breaks, TIntArray{1});
}

}  // namespace
}  // namespace vexa
