// Vectors: construction, size, events, fills, sorting, shuffling, search and extremes.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <string>
#include <cmath>
#include <limits>
#include <map>
#include <vector>

#include "foundation/Vexa_storage.h"
#include "linalg/Vexa_vector.h"
#include "support/VectorValues.h"
#include "platform/Vexa_random.h"

namespace vexa {
namespace {

using vexa::testing::SetValues;
using vexa::testing::ValuesOf;

constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

/// Counts the events a vector fires.
struct TEventCounter {
  int Changes = 0, Resizes = 0, Exchanges = 0;
  template <class TVec>
  void Attach(TVec& v) {
    v.OnChange = [this](TObject*) { ++Changes; };
    v.OnResize = [this](TObject*) { ++Resizes; };
    v.OnSortExchange = [this](TObject*, uint8_t, int32_t, int32_t, int32_t, int32_t) { ++Exchanges; };
  }
};

TEST(VectorStructure, NewVectorHasOneZeroElementAndIsEmpty) {
  TVector v(nullptr);
  TIntVector iv(nullptr);
  EXPECT_EQ(v.NrOfElem(), 1);
  EXPECT_EQ(v.Elem(1), 0.0);
  EXPECT_TRUE(v.IsEmpty());
  EXPECT_EQ(iv.NrOfElem(), 1);
  EXPECT_TRUE(iv.IsEmpty());
  EXPECT_EQ(v.Elem(0), 0.0);
  EXPECT_EQ(v.Elem(2), 0.0);
}

TEST(VectorStructure, ResizeKeepsLeadingValuesAndRefusesNonPositiveSizes) {
  struct Case {
    int32_t NewSize;
    bool Result;
    std::vector<double> After;
    int Changes, Resizes;
  };
  const Case Cases[] = {
      {3, true, {1, 2, 3}, 0, 0},      // the current size: nothing
      {0, false, {1, 2, 3}, 0, 0},
      {-5, false, {1, 2, 3}, 0, 0},
      {5, true, {1, 2, 3, 0, 0}, 1, 1},  // grows with zeros
      {2, true, {1, 2}, 1, 1},           // shrinks keeping the leading values
  };
  for (const Case& c : Cases) {
    SCOPED_TRACE(c.NewSize);
    TVector v(nullptr);
    SetValues(v, std::vector<double>{1, 2, 3});
    TEventCounter Events;
    Events.Attach(v);
    EXPECT_EQ(v.Resize(c.NewSize), c.Result);
    EXPECT_EQ(ValuesOf(v), c.After);
    EXPECT_EQ(Events.Changes, c.Changes);
    EXPECT_EQ(Events.Resizes, c.Resizes);
  }
  TVector v(nullptr);
  v.SetNrOfElem(-5);
  EXPECT_EQ(v.NrOfElem(), 1);
}

TEST(VectorStructure, FailedAllocationKeepsTheVectorAndNamesIt) {
  TVector v(nullptr);
  v.SetName("Vec1");
  SetValues(v, std::vector<double>{1, 2, 3});
  SetStorageLimit(1 << 20);
  EXPECT_THAT([&] { v.Resize(1 << 20); },
              ::testing::ThrowsMessage<EVexaVectorError>(::testing::StrEq("Component \"Vec1\": not enough memory")));
  TDoubleArray Dest{7};
  EXPECT_THAT([&] { v.CopyToArray(Dest, 1, 3, 1 << 30); },
              ::testing::ThrowsMessage<EVexaVectorError>(
                  ::testing::StrEq("Component \"Vec1\": not enough memory on heap")));
  TVector Big(nullptr);
  Big.SetName("Big");
  SetStorageLimit(0);
  Big.Resize(200000);
  SetStorageLimit(1 << 20);
  double q1 = 0, q2 = 0, q3 = 0;
  EXPECT_THAT([&] { Big.Quartiles(0, 0, q1, q2, q3); },
              ::testing::ThrowsMessage<EVexaVectorError>(
                  ::testing::StrEq("Component \"Big\": not enough memory on heap")));
  SetStorageLimit(0);
  EXPECT_EQ(ValuesOf(v), (std::vector<double>{1, 2, 3}));
  EXPECT_EQ(Dest, TDoubleArray{7});
}

// One table for the notifications of representative operations.
TEST(VectorStructure, EventCounts) {
  struct Case {
    const char* Name;
    std::function<void(TVector&, TVector&)> Operation;  // (vector, 3-element source)
    int Changes, Resizes, Exchanges;
  };
  const Case Cases[] = {
      {"setter in range", [](TVector& v, TVector&) { v.SetElem(2, 9); }, 1, 0, 0},
      {"setter out of range", [](TVector& v, TVector&) { v.SetElem(5, 9); }, 0, 0, 0},
      {"resize", [](TVector& v, TVector&) { v.Resize(4); }, 1, 1, 0},
      {"clone, same size", [](TVector& v, TVector& s) { v.Clone(&s); }, 3 + 1, 0, 0},
      {"clone, other size", [](TVector& v, TVector& s) { s.Resize(2); v.Clone(&s); }, 1 + 2 + 1, 1, 0},
      {"copy from vector", [](TVector& v, TVector& s) { v.CopyFrom(&s, 1, 2, 1); }, 2 + 1, 0, 0},
      {"copy from array", [](TVector& v, TVector&) { v.CopyFrom(TDoubleArray{1, 2, 3}, 0, 0, 1); }, 3 + 1, 0, 0},
      {"sort", [](TVector& v, TVector&) { v.SortElems(true, 0, 0); }, 1, 0, 2},
      {"sort, sorted already", [](TVector& v, TVector&) { v.SortElems(false, 0, 0); }, 1, 0, 0},
      {"sort, one element", [](TVector& v, TVector&) { v.SortElems(true, 2, 2); }, 0, 0, 0},
      {"fill", [](TVector& v, TVector&) { v.Fill(1); }, 1, 0, 0},
      {"add", [](TVector& v, TVector& s) { v.Add(&s); }, 1, 0, 0},
      {"shuffle", [](TVector& v, TVector&) { v.ShuffleElems(); }, 0, 0, 0},
      {"standardize", [](TVector& v, TVector&) { double m, s; v.Standardize(m, s); }, 0, 0, 0},
      {"mean centre", [](TVector& v, TVector&) { v.MeanCenter(); }, 0, 0, 0},
      {"qnormalize", [](TVector& v, TVector&) { double m, d; v.QNormalize(25, m, d); }, 0, 0, 0},
      {"assign", [](TVector& v, TVector& s) { v.Assign(s); }, 0, 0, 0},
      {"statistics", [](TVector& v, TVector&) { double m, s; v.MeanVar(0, 0, m, s); v.Percentile(50, 0, 0); }, 0, 0, 0},
      {"stream load", [](TVector& v, TVector& s) {
         TMemoryStream* Stream = nullptr;
         s.SaveToStream(Stream, 0, 0);
         Stream->SetPosition(0);
         v.LoadFromStream(Stream, false);
         delete Stream;
       }, 3 + 1, 0, 0},
  };
  for (const Case& c : Cases) {
    SCOPED_TRACE(c.Name);
    TVector v(nullptr), Source(nullptr);
    SetValues(v, std::vector<double>{3, 1, 2});  // sorting it ascending takes two exchanges
    SetValues(Source, std::vector<double>{4, 5, 6});
    if (std::string(c.Name) == "sort, sorted already") {
      SetValues(v, std::vector<double>{3, 2, 1});
    }
    TEventCounter Events;
    Events.Attach(v);
    c.Operation(v, Source);
    EXPECT_EQ(Events.Changes, c.Changes);
    EXPECT_EQ(Events.Resizes, c.Resizes);
    EXPECT_EQ(Events.Exchanges, c.Exchanges);
  }
}

TEST(VectorStructure, SortReportsEachExchangeAfterItIsDone) {
  TVector v(nullptr);
  SetValues(v, std::vector<double>{3, 1, 2});
  std::vector<std::vector<double>> Seen;
  std::vector<std::array<int32_t, 5>> Args;
  v.OnSortExchange = [&](TObject* Sender, uint8_t Kind, int32_t i1, int32_t i2, int32_t First, int32_t Last) {
    EXPECT_EQ(Sender, &v);
    Args.push_back({Kind, i1, i2, First, Last});
    Seen.push_back(ValuesOf(v));
  };
  v.SortElems(true, 0, 0);
  EXPECT_EQ(ValuesOf(v), (std::vector<double>{1, 2, 3}));
  // The first gap is 2·10 div 13 = 1: (1,2) gives 1 3 2, then (2,3) gives 1 2 3.
  ASSERT_EQ(Args.size(), 2u);
  EXPECT_EQ(Args[0], (std::array<int32_t, 5>{0, 1, 2, 0, 0}));
  EXPECT_EQ(Seen[0], (std::vector<double>{1, 3, 2}));
  EXPECT_EQ(Args[1], (std::array<int32_t, 5>{0, 2, 3, 0, 0}));
}

TEST(VectorStructure, SortRangesAndDirections) {
  struct Case {
    bool Ascending;
    int32_t First, Last;
    std::vector<int32_t> After;
  };
  const Case Cases[] = {
      {true, 0, 0, {1, 2, 3, 5, 8, 9}},
      {false, 0, 0, {9, 8, 5, 3, 2, 1}},
      {true, 5, 2, {5, 1, 3, 8, 9, 2}},   // reversed pair: elements 2..5
      {true, -3, 3, {1, 5, 9, 3, 8, 2}},  // clamped to 1..3
      {true, 6, 99, {5, 9, 1, 3, 8, 2}},  // one element: nothing
  };
  for (const Case& c : Cases) {
    TIntVector v(nullptr);
    SetValues(v, std::vector<int32_t>{5, 9, 1, 3, 8, 2});
    v.SortElems(c.Ascending, c.First, c.Last);
    EXPECT_EQ(ValuesOf(v), c.After) << c.First << ".." << c.Last;
  }
  // A large random vector ends sorted; NaNs do not break the sort.
  TVector Big(nullptr);
  Big.Resize(5000);
  SetRandSeed(7);
  Big.FillRandomUniform(-1, 1);
  Big.SortElems(true, 0, 0);
  const auto Sorted = ValuesOf(Big);
  EXPECT_TRUE(std::is_sorted(Sorted.begin(), Sorted.end()));
  SetValues(Big, std::vector<double>{3, kNaN, 1});
  Big.SortElems(true, 0, 0);
  EXPECT_EQ(Big.NrOfElem(), 3);
}

TEST(VectorStructure, ShuffleGivesEveryPermutationOfFourAlike) {
  SetRandSeed(12345);
  TIntVector v(nullptr);
  SetValues(v, std::vector<int32_t>{1, 2, 3, 4});
  std::map<std::vector<int32_t>, int> Counts;
  constexpr int kDraws = 24000;
  for (int i = 0; i < kDraws; ++i) {
    v.ShuffleElems();
    ++Counts[ValuesOf(v)];
  }
  ASSERT_EQ(Counts.size(), 24u);
  // Chi-square with 23 degrees of freedom: 49.7 is the 0.1 % point. The
  // old "n random transpositions" shuffle gives values in the hundreds.
  double ChiSquare = 0;
  const double Expected = kDraws / 24.0;
  for (const auto& [Perm, Count] : Counts) {
    ChiSquare += (Count - Expected) * (Count - Expected) / Expected;
  }
  EXPECT_LT(ChiSquare, 49.7);
}

TEST(VectorStructure, FillsClearAndIsEmpty) {
  TVector v(nullptr);
  v.Resize(4);
  EXPECT_TRUE(v.IsEmpty());
  v.FillSerial(1, 0.1);
  EXPECT_FALSE(v.IsEmpty());
  // Repeated addition: 1 + 0.1 + 0.1 + 0.1, not 1 + 3·0.1.
  EXPECT_EQ(v.Elem(4), ((1 + 0.1) + 0.1) + 0.1);
  v.Clear();
  EXPECT_TRUE(v.IsEmpty());
  EXPECT_EQ(ValuesOf(v), (std::vector<double>(4, 0.0)));
  v.SetElem(7, 1);  // outside: IsEmpty stays
  EXPECT_TRUE(v.IsEmpty());
  v.SetElem(2, 1);
  EXPECT_FALSE(v.IsEmpty());

  TIntVector iv(nullptr);
  iv.Resize(3);
  iv.FillSerial(INT32_MAX - 1, 1);  // wraps like the library's integers
  EXPECT_EQ(ValuesOf(iv), (std::vector<int32_t>{INT32_MAX - 1, INT32_MAX, INT32_MIN}));
  iv.Fill(INT32_MIN);
  iv.AbsVal();
  EXPECT_EQ(iv.Elem(1), INT32_MIN);

  SetValues(v, std::vector<double>{-0.0, -2, -kNaN, 3});
  v.AbsVal();
  EXPECT_FALSE(std::signbit(v.Elem(1)));
  EXPECT_FALSE(std::signbit(v.Elem(3)));
  EXPECT_EQ(v.Elem(2), 2);
  v.Mirror();
  EXPECT_EQ(v.Elem(1), 3);
  EXPECT_EQ(v.Elem(3), 2);
}

TEST(VectorStructure, RandomFillsUseTheirRanges) {
  SetRandSeed(99);
  TVector v(nullptr);
  v.Resize(20000);
  v.FillRandomUniform(2, 5);
  double Lo = 0, Hi = 0;
  v.MinMax(0, 0, Lo, Hi);
  EXPECT_GE(Lo, 2);
  EXPECT_LT(Hi, 5);
  v.FillRandomGauss(10, 2);
  double Mean = 0, Variance = 0;
  v.MeanVar(0, 0, Mean, Variance);
  EXPECT_NEAR(Mean, 10, 0.1);
  EXPECT_NEAR(std::sqrt(Variance), 2, 0.1);
}

TEST(VectorStructure, AssignCloneAndTheirLimits) {
  TVector a(nullptr), b(nullptr);
  SetValues(a, std::vector<double>{1, 2, 3});
  int Calls = 0;
  a.OnChange = [&](TObject*) { ++Calls; };
  b.Assign(a);
  EXPECT_EQ(ValuesOf(b), ValuesOf(a));
  EXPECT_FALSE(b.IsEmpty());
  b.SetElem(1, 5);  // the handler came along
  EXPECT_EQ(Calls, 1);
  TIntVector iv(nullptr);
  EXPECT_THROW(iv.Assign(a), EConvertError);
  EXPECT_THROW(a.Assign(iv), EConvertError);
  TVector c(nullptr);
  a.AssignTo(c);
  EXPECT_EQ(ValuesOf(c), ValuesOf(a));
  c.Clone(nullptr);
  EXPECT_EQ(c.NrOfElem(), 3);
}

TEST(VectorStructure, LengthAvoidsOverflowAndUnderflow) {
  TVector v(nullptr);
  SetValues(v, std::vector<double>{3, 4});
  EXPECT_EQ(v.Leng(), 5.0);
  SetValues(v, std::vector<double>{3e200, 4e200});
  EXPECT_DOUBLE_EQ(v.Leng(), 5e200);
  v.SetLeng(10);  // the old plain sum made this zero the vector
  EXPECT_DOUBLE_EQ(v.Elem(1), 6);
  EXPECT_DOUBLE_EQ(v.Elem(2), 8);
  SetValues(v, std::vector<double>{3e-200, 4e-200});
  EXPECT_DOUBLE_EQ(v.Leng(), 5e-200);
  SetValues(v, std::vector<double>{1, kInf});
  EXPECT_EQ(v.Leng(), kInf);
  v.Fill(0);
  v.SetLeng(3);  // length 0: nothing
  EXPECT_EQ(v.Elem(1), 0.0);
  TIntVector iv(nullptr);
  SetValues(iv, std::vector<int32_t>{INT32_MIN, INT32_MIN});
  EXPECT_DOUBLE_EQ(iv.Leng(), std::sqrt(2.0) * 2147483648.0);
}

TEST(VectorStructure, MinMaxStartsAtTheFirstNumber) {
  struct Case {
    std::vector<double> Values;
    double Min, Max;
    int32_t MinIx, MaxIx;
  };
  const Case Cases[] = {
      {{2, 7, 1, 7, 1}, 1, 7, 3, 2},
      {{kInf, kInf}, kInf, kInf, 1, 1},       // the old ±1.7e308 start reported no index
      {{-kInf, 5}, -kInf, 5, 1, 2},
      {{kNaN, 4, kNaN, -2}, -2, 4, 4, 2},
      {{kNaN, kNaN}, 1.7e308, -1.7e308, 1, 1},
  };
  for (const Case& c : Cases) {
    TVector v(nullptr);
    SetValues(v, c.Values);
    double Min = 0, Max = 0;
    int32_t MinIx = -1, MaxIx = -1;
    v.MinMax(0, 0, Min, Max, MinIx, MaxIx);
    EXPECT_EQ(Min, c.Min);
    EXPECT_EQ(Max, c.Max);
    EXPECT_EQ(MinIx, c.MinIx);
    EXPECT_EQ(MaxIx, c.MaxIx);
  }
  TIntVector iv(nullptr);
  SetValues(iv, std::vector<int32_t>{5, INT32_MIN, INT32_MAX});
  int32_t Min = 0, Max = 0;
  iv.MinMax(2, 3, Min, Max);
  EXPECT_EQ(Min, INT32_MIN);
  EXPECT_EQ(Max, INT32_MAX);
}

TEST(VectorStructure, FindAndFindExact) {
  TVector v(nullptr);
  SetValues(v, std::vector<double>{5, 1, 3, 1, 4});
  EXPECT_EQ(v.Find(0, 0, 2.0), 2);     // tie between 1 and 3: lowest index
  EXPECT_EQ(v.Find(3, 5, 0.0), 4);
  EXPECT_EQ(v.Find(0, 0, kNaN), 1);    // always an index in the range
  EXPECT_EQ(v.FindExact(0, 0, 1.0), 2);
  EXPECT_EQ(v.FindExact(3, 5, 1.0), 4);
  EXPECT_EQ(v.FindExact(0, 0, 7.0), 0);
  TIntVector iv(nullptr);
  SetValues(iv, std::vector<int32_t>{INT32_MIN, INT32_MAX});
  // Differences of 2³¹ and more are computed without overflow.
  EXPECT_EQ(iv.Find(0, 0, -1), 1);
  EXPECT_EQ(iv.Find(0, 0, 0), 2);
}

TEST(VectorStructure, FindInSortedVector) {
  struct Case {
    std::vector<double> Values;
    bool Ascending;
    double Value;
    int32_t Index;
  };
  const Case Cases[] = {
      {{1, 2, 3, 4}, true, 2.5, 3},  // tie of the final pair goes to the higher index
      {{1, 2, 3, 4}, true, 2.4, 2},
      {{1, 2, 3, 4}, true, 3, 3},
      {{1, 2, 3, 4}, true, -9, 1},
      {{1, 2, 3, 4}, true, 9, 4},
      {{4, 3, 2, 1}, false, 2.2, 3},
      {{7}, true, 1, 1},
  };
  for (const Case& c : Cases) {
    TVector v(nullptr);
    SetValues(v, c.Values);
    EXPECT_EQ(v.FindInSortedVector(c.Ascending, c.Value), c.Index) << c.Value;
  }
}

}  // namespace
}  // namespace vexa
