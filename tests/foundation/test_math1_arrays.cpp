// Array helpers, random numbers, elementary functions, exchange and
// compensated summation. Selections and sorts are checked against std::sort.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "foundation/Vexa_math1.h"
#include "platform/Vexa_random.h"

namespace vexa {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(Math1Arrays, SortIntoArrayKeepsTheBestValues) {
  const struct {
    std::vector<double> Before;
    double x;
    bool Ascending, AllowDuplicates;
    int32_t Position;
    std::vector<double> After;
  } cases[] = {
      {{1, 3, 5, 7}, 4, true, true, 2, {1, 3, 4, 5}},
      {{1, 3, 5, 7}, 0, true, true, 0, {0, 1, 3, 5}},
      {{1, 3, 5, 7}, 7, true, true, 3, {1, 3, 5, 7}},
      {{1, 3, 5, 7}, 8, true, true, -1, {1, 3, 5, 7}},   // after the last
      {{1, 3, 5, 7}, 3, true, false, -1, {1, 3, 5, 7}},  // no duplicates
      {{1, 3, 5, 7}, 3, true, true, 1, {1, 3, 3, 5}},
      {{7, 5, 3, 1}, 4, false, true, 2, {7, 5, 4, 3}},
      {{7, 5, 3, 1}, 0, false, true, -1, {7, 5, 3, 1}},
      {{}, 1, true, true, -1, {}},                        // empty: nothing written
  };
  for (const auto& c : cases) {
    std::vector<double> a = c.Before;
    EXPECT_EQ(SortIntoArray(a, c.x, c.Ascending, c.AllowDuplicates), c.Position) << c.x;
    EXPECT_EQ(a, c.After) << c.x;
    // The other element types and the generic form agree.
    std::vector<int32_t> ai(c.Before.begin(), c.Before.end());
    EXPECT_EQ(SortIntoArray(ai, static_cast<int32_t>(c.x), c.Ascending, c.AllowDuplicates),
              c.Position);
    std::vector<float> af(c.Before.begin(), c.Before.end());
    EXPECT_EQ(SortIntoArray(af, static_cast<float>(c.x), c.Ascending, c.AllowDuplicates),
              c.Position);
    std::vector<double> ag = c.Before;
    EXPECT_EQ(SortIntoArray(ag.data(), static_cast<int32_t>(ag.size()), vkReal, &c.x, c.Ascending,
                            c.AllowDuplicates),
              c.Position + 1);
    EXPECT_EQ(ag, c.After);
  }
  double x = 1;
  std::vector<double> a = {5};
  EXPECT_EQ(SortIntoArray(a.data(), 0, vkDouble, &x, true, true), 0);
  EXPECT_EQ(SortIntoArray(a.data(), -5, vkDouble, &x, true, true), 0);
  EXPECT_EQ(SortIntoArray(a.data(), 1, vkByte, &x, true, true), 0);  // not a handled kind
  EXPECT_EQ(SortIntoArray(nullptr, 1, vkDouble, &x, true, true), 0);
  EXPECT_EQ(a, std::vector<double>{5});
}

TEST(Math1Arrays, InsertIntoArrayIgnoresIndicesOutside) {
  const struct {
    int32_t Index;
    std::vector<int32_t> After;
  } cases[] = {{0, {9, 1, 2}}, {2, {1, 2, 9}}, {3, {1, 2, 3}}, {-1, {1, 2, 3}},
               {INT32_MIN, {1, 2, 3}}, {INT32_MAX, {1, 2, 3}}};
  for (const auto& c : cases) {
    std::vector<int32_t> a = {1, 2, 3};
    InsertIntoArray(a, 9, c.Index);
    EXPECT_EQ(a, c.After) << c.Index;
    std::vector<int32_t> g = {1, 2, 3};
    const int32_t v = 9;
    InsertIntoArray(g.data(), 3, vkLongint, &v, c.Index);
    EXPECT_EQ(g, c.After) << c.Index;
  }
  std::vector<float> f = {1, 2};
  InsertIntoArray(f, 0.5f, 1);
  EXPECT_EQ(f, (std::vector<float>{1, 0.5f}));
  std::vector<double> empty;
  InsertIntoArray(empty, 1.0, 0);
  EXPECT_TRUE(empty.empty());
}

TEST(Math1Arrays, SortArrayAgreesWithStdSort) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> dist(-1e6, 1e6);
  int32_t feedbackCalls = 0;
  MathFeedBackProc = [&](double) { ++feedbackCalls; };
  for (const size_t n : {0u, 1u, 2u, 3u, 100u, 1000u}) {
    std::vector<double> a(n);
    for (double& v : a) v = std::round(dist(rng) / 1000);  // with duplicates
    std::vector<double> ref = a;
    std::sort(ref.begin(), ref.end());
    std::vector<double> up = a;
    SortArray(up, true);
    EXPECT_EQ(up, ref);
    std::vector<double> down = a;
    SortArray(down, false);
    EXPECT_TRUE(std::equal(down.begin(), down.end(), ref.rbegin()));
    std::vector<int32_t> ints(a.begin(), a.end());
    SortArray(ints.data(), static_cast<int32_t>(ints.size()), vkInteger, true);
    EXPECT_TRUE(std::is_sorted(ints.begin(), ints.end()));
    std::vector<float> floats(a.begin(), a.end());
    SortArray(floats.data(), static_cast<int32_t>(floats.size()), vkSingle, false);
    EXPECT_TRUE(std::is_sorted(floats.rbegin(), floats.rend()));
  }
  MathFeedBackProc = nullptr;
  EXPECT_GT(feedbackCalls, 0);
  // NaN elements stay where they are and the sort ends.
  std::vector<double> withNaN = {3, kNaN, 1, 2, kNaN, 0};
  SortArray(withNaN, true);
  EXPECT_TRUE(std::isnan(withNaN[1]) && std::isnan(withNaN[4]));

  double a = 1, b = 2;
  EXPECT_FALSE(SortSwap(a, b, true));
  EXPECT_TRUE(SortSwap(a, b, false));
  EXPECT_EQ(a, 2);
  EXPECT_EQ(b, 1);
}

TEST(Math1Arrays, QuickSelectClampsItsRangeAndHandlesEqualValues) {
  const std::vector<double> data = {9, 1, 8, 2, 7, 3, 6, 4, 5, 0};
  const struct {
    int32_t k, First, Last;
    double Expected;
  } cases[] = {
      {0, 0, 9, 0},       {9, 0, 9, 9},      {4, 0, 9, 4},
      {3, 2, 5, 3},       // 2..5 sorted = {2, 3, 7, 8}: index 3 holds rank 1
      {-5, -5, 100, 0},   // First and k clamped to 0, Last to 9
      {100, -5, 100, 9},  // k clamped to Last
      {1, 5, 2, 0},       // Last < First: 0
      {INT32_MIN, INT32_MIN, INT32_MAX, 0},
  };
  for (const auto& c : cases) {
    std::vector<double> a = data;
    EXPECT_EQ(QuickSelect(a, c.k, c.First, c.Last), c.Expected) << c.k << " " << c.First;
    EXPECT_EQ(QuickSelect(data, c.k, c.First, c.Last, 5.0), c.Expected) << c.k << " " << c.First;
  }
  std::vector<double> empty;
  EXPECT_EQ(QuickSelect(empty, 0, 0, 0), 0);

  // 10^6 values, almost all equal: every rank as a full sort gives it.
  std::vector<double> many(1000000, 42.0);
  std::mt19937 rng(3);
  for (size_t i = 0; i < many.size(); i += 97) many[i] = static_cast<double>(rng() % 100);
  std::vector<double> sorted = many;
  std::sort(sorted.begin(), sorted.end());
  for (const int32_t k : {0, 5000, 500000, 999999}) {
    std::vector<double> a = many;
    EXPECT_EQ(QuickSelect(a, k, 0, 999999), sorted[static_cast<size_t>(k)]) << k;
    EXPECT_EQ(QuickSelect(many, k, 0, 999999, 42.0), sorted[static_cast<size_t>(k)]) << k;
  }
  // NaN elements: the selection returns and stays inside the array.
  std::vector<double> nan = {kNaN, 3, kNaN, 1, 2};
  (void)QuickSelect(nan, 2, 0, 4);
  (void)QuickSelect(nan, 2, 0, 4, kNaN);
}

TEST(Math1Arrays, HistoBinRefAndSquash) {
  const struct {
    double x, First, Width;
    int32_t Bin;
    double Offset;
  } cases[] = {{2.5, 0, 1, 2, 0.5},   {-0.5, 0, 1, -1, 0.5}, {5, 1, 2, 2, 0},
               {3, 1, 0, 0, 2},       {kNaN, 0, 1, 0, kNaN}, {1e300, 0, 1e-10, INT32_MAX, 1e300 - INT32_MAX * 1e-10}};
  for (const auto& c : cases) {
    double offset = 0;
    EXPECT_EQ(HistoBinRef(c.x, c.First, c.Width, offset), c.Bin) << c.x;
    if (std::isnan(c.Offset)) {
      EXPECT_TRUE(std::isnan(offset));
    } else {
      EXPECT_DOUBLE_EQ(offset, c.Offset) << c.x;
    }
  }
  EXPECT_NEAR(Squash(1, 0, 1, 2), 2 * std::tanh(0.5), 1e-15);
  EXPECT_NEAR(Squash(-1, 0, 1, 2), -2 * std::tanh(0.5), 1e-15);
  EXPECT_EQ(Squash(1000, 0, 1, 2), 2);
  EXPECT_EQ(Squash(-1000, 0, 1, 2), -2);
  EXPECT_EQ(Squash(1, 0, 1, 0), 0);
  EXPECT_TRUE(std::isnan(Squash(kNaN, 0, 1, 1)));
}

TEST(Math1Random, GeneratorsAreSafeAndReproducible) {
  // LongRand: a seed that is a multiple of 990923 no longer sticks at 0.
  const double a1 = LongRand(990923);
  const double a2 = LongRand(0);
  EXPECT_NE(a1, 0);
  EXPECT_NE(a2, 0);
  EXPECT_NE(a1, a2);
  for (const int32_t seed : {1, -1, 12345, INT32_MIN, INT32_MAX}) {
    std::vector<double> first, second;
    first.push_back(LongRand(seed));
    for (int i = 0; i < 20; ++i) first.push_back(LongRand(0));
    second.push_back(LongRand(seed));
    for (int i = 0; i < 20; ++i) second.push_back(LongRand(0));
    EXPECT_EQ(first, second) << seed;
    for (const double v : first) EXPECT_TRUE(v >= 0 && v < 1);
  }

  // GRandom: the pair (0.5, 0.5) gives s = 0; it is drawn again.
  std::vector<double> uniforms = {0.5, 0.5, 0.75, 0.5};
  size_t next = 0;
  detail::SetGRandomUniformSource([&] { return uniforms[next++ % uniforms.size()]; });
  const double g1 = GRandom();
  const double g2 = GRandom();
  detail::SetGRandomUniformSource(nullptr);
  // v1 = 0.5, v2 = 0: f = sqrt(-2 ln 0.25 / 0.25); returned v2·f = 0, stored v1·f.
  EXPECT_EQ(g1, 0);
  EXPECT_NEAR(g2, 0.5 * std::sqrt(-2 * std::log(0.25) / 0.25), 1e-15);

  SetRandSeed(11);
  double sum = 0, sumSq = 0;
  const int n = 200000;
  for (int i = 0; i < n; ++i) {
    const double g = GRandom();
    ASSERT_TRUE(std::isfinite(g));
    sum += g;
    sumSq += g * g;
  }
  EXPECT_NEAR(sum / n, 0, 0.02);
  EXPECT_NEAR(sumSq / n, 1, 0.02);

  EXPECT_TRUE(BRandom(1));
  EXPECT_TRUE(BRandom(kInf));
  EXPECT_FALSE(BRandom(0));
  EXPECT_FALSE(BRandom(kNaN));
  for (int i = 0; i < 100; ++i) EXPECT_TRUE(std::isfinite(CRandom(1, 2)));
}

TEST(Math1Elementary, FunctionsAndErrors) {
  EXPECT_EQ(lg(1000), 3);
  EXPECT_EQ(lg(1e-300), -300);
  EXPECT_EQ(ld(8), 3);
  EXPECT_EQ(ld(0.125), -3);
  const struct {
    double (*Fn)(double);
    double x;
    const char* Message;
  } errors[] = {{lg, 0, "logarithm: invalid argument"},  {lg, -1, "logarithm: invalid argument"},
                {ld, -kInf, "logarithm: invalid argument"}, {cot, 0, "cotangens overflow"},
                {cot, -0.0, "cotangens overflow"}};
  for (const auto& e : errors) {
    try {
      (void)e.Fn(e.x);
      ADD_FAILURE() << e.Message << " " << e.x;
    } catch (const EMathError& x) {
      EXPECT_EQ(x.Message(), e.Message);
    }
  }
  EXPECT_TRUE(std::isnan(lg(kNaN)));
  EXPECT_EQ(tg(0), 0);
  EXPECT_NEAR(tg(0.5), std::sin(0.5) / std::cos(0.5), 1e-16);
  EXPECT_NEAR(cot(0.5), std::cos(0.5) / std::sin(0.5), 1e-15);
  // References from mpmath.
  EXPECT_NEAR(sinh(1e-10), 1.0000000000000000364e-10, 1e-26);
  EXPECT_NEAR(tgh(1e-10), 1.0e-10, 1e-26);
  EXPECT_NEAR(cosh(3), 10.067661995777765842, 1e-14);
  EXPECT_EQ(tgh(1000), 1);
  EXPECT_EQ(tgh(-1000), -1);
  EXPECT_EQ(Signum(0), 1);
  EXPECT_EQ(Signum(-0.0), 1);
  EXPECT_EQ(Signum(-1e-300), -1);
}

TEST(Math1Exchange, ValuesBytesAndKahanSum) {
  int64_t i1 = 1, i2 = 2;
  ExChange(i1, i2);
  EXPECT_EQ(i1, 2);
  std::string s1 = "a", s2 = "bb";
  ExChange(s1, s2);
  EXPECT_EQ(s1, "bb");
  long double l1 = 1, l2 = 2;
  ExChange(l1, l2);
  EXPECT_EQ(l1, 2);
  char buf[] = "abcdef";
  ExChange(buf, buf + 1, 3);  // overlapping: byte by byte from the first
  EXPECT_STREQ(buf, "bcdaef");
  ExChange(buf, buf + 3, 0);
  EXPECT_STREQ(buf, "bcdaef");

  TKahanSum k(nullptr);
  EXPECT_EQ(k.Sum, 0);
  k.Add(1.0);
  double naive = 1.0;
  for (int i = 0; i < 10000; ++i) {
    k.Add(1e-16);
    naive += 1e-16;
  }
  // Exact sum of the doubles (Python fractions): 1.000000000001.
  EXPECT_NEAR(k.Sum, 1.000000000001, 1e-15);
  EXPECT_EQ(naive, 1.0);
  k.Reset();
  EXPECT_EQ(k.Sum, 0);
  EXPECT_EQ(k.cps, 0);
}

}  // namespace
}  // namespace vexa
