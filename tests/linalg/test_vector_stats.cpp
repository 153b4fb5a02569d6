// Vectors: descriptive statistics and normalisations. Reference values are
// hand-worked or come from exact rational arithmetic (python fractions and
// 50-digit decimals), not from this library.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "linalg/Vexa_vector.h"
#include "support/VectorValues.h"

namespace vexa {
namespace {

using vexa::testing::SetValues;
using vexa::testing::ValuesOf;

using ::testing::StrEq;
using ::testing::ThrowsMessage;

constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(VectorStats, MeanVarFollowsTheFamilyRuleAndSurvivesOffsets) {
  struct Case {
    std::vector<double> Values;
    int32_t Low, High;
    double Mean, Variance;
  };
  const Case Cases[] = {
      {{2, 4}, 0, 0, 3, 1},          // n = 2: variance 1.0 by rule
      {{7}, 0, 0, 7, 1},
      {{2, 4, 6}, 0, 0, 4, 4},
      {{9, 2, 4, 6, 9}, 2, 4, 4, 4},  // a sub-range
      // The one-pass Σx² − (Σx)²/n gave 0 here.
      {{1e8 + 1, 1e8 + 2, 1e8 + 3}, 0, 0, 1e8 + 2, 1},
      // Exact: mean 400000013/4, variance 83/12.
      {{1e8 + 1, 1e8 + 2, 1e8 + 3, 1e8 + 7}, 0, 0, 100000003.25, 83.0 / 12},
  };
  for (const Case& c : Cases) {
    TVector v(nullptr);
    SetValues(v, c.Values);
    double Mean = 0, Variance = 0;
    v.MeanVar(c.Low, c.High, Mean, Variance);
    EXPECT_DOUBLE_EQ(Mean, c.Mean) << c.Values[0];
    EXPECT_NEAR(Variance, c.Variance, 1e-9 * c.Variance) << c.Values[0];
  }
  TIntVector iv(nullptr);
  SetValues(iv, std::vector<int32_t>{INT32_MAX, INT32_MAX, INT32_MAX - 3});
  double Mean = 0, Variance = 0;
  iv.MeanVar(0, 0, Mean, Variance);
  EXPECT_DOUBLE_EQ(Mean, INT32_MAX - 1.0);
  EXPECT_DOUBLE_EQ(Variance, 3.0);
}

TEST(VectorStats, SumsOfBothClasses) {
  TVector v(nullptr);
  SetValues(v, std::vector<double>{1.5, 2.5, 4});
  EXPECT_EQ(v.Sum(0, 0), 8.0);
  EXPECT_EQ(v.Sum(2, 3), 6.5);
  TIntVector iv(nullptr);
  SetValues(iv, std::vector<int32_t>{INT32_MAX, 1, 5});
  EXPECT_EQ(iv.Sum(1, 2), INT32_MIN);  // wraps
  EXPECT_EQ(iv.Sum(0, 0), INT32_MIN + 5);
}

TEST(VectorStats, InterpolatingPercentile) {
  struct Case {
    std::vector<double> Values;
    double Prob, Result;
  };
  const Case Cases[] = {
      {{1, 2, 3, 4}, 50, 2.5},
      {{4, 1, 3, 2}, 50, 2.5},  // order of the data does not matter
      {{1, 2, 3, 4}, 100, 4},
      {{1, 2, 3, 4}, 0, 1},
      {{1, 2, 3, 4}, 25, 1.75},
      {{1, 2, 3, 4}, 250, 4},   // clamped
      {{1, 2, 3, 4}, kInf, 4},
      {{1, 2, 3, 4}, -kInf, 1},
      {{8}, 30, 8},
      {{1, kNaN, 3}, 50, 3},    // NaN sorts last: 1, 3, NaN
      {{1, kInf}, 0, 1},        // no Inf·0
      {{-kInf, -kInf, 5}, 25, -kInf},
  };
  for (const Case& c : Cases) {
    TVector v(nullptr);
    SetValues(v, c.Values);
    EXPECT_EQ(v.Percentile(c.Prob, 0, 0), c.Result) << c.Prob;
  }
  TVector v(nullptr);
  SetValues(v, std::vector<double>{1, 2, 3});
  EXPECT_TRUE(std::isnan(v.Percentile(kNaN, 0, 0)));  // clamping let NaN through
  EXPECT_EQ(ValuesOf(v), (std::vector<double>{1, 2, 3}));  // the vector is not reordered
  TIntVector iv(nullptr);
  SetValues(iv, std::vector<int32_t>{10, 40, 20, 30});
  EXPECT_EQ(iv.Percentile(50, 0, 0), 25.0);
  EXPECT_EQ(iv.Percentile(50, 2, 3), 30.0);
}

TEST(VectorStats, QuartilesUseTheirOwnPositionRule) {
  struct Case {
    std::vector<double> Values;
    double Q1, Q2, Q3;
  };
  const Case Cases[] = {
      {{1, 2, 3}, 1, 2, 3},
      {{5}, 5, 5, 5},
      {{7, 6, 5, 4, 3, 2, 1}, 2, 4, 6},
      {{1, 2, 3, 4}, 1.25, 2.5, 3.75},
      {{kNaN, 1, 2, 3}, 1.25, 2.5, 3 + (kNaN - 3) * 0.75},  // NaN ranks last
  };
  for (const Case& c : Cases) {
    TVector v(nullptr);
    SetValues(v, c.Values);
    double Q1 = 0, Q2 = 0, Q3 = 0;
    EXPECT_TRUE(v.Quartiles(0, 0, Q1, Q2, Q3));
    EXPECT_EQ(Q1, c.Q1);
    EXPECT_EQ(Q2, c.Q2);
    if (std::isnan(c.Q3)) {
      EXPECT_TRUE(std::isnan(Q3));
    } else {
      EXPECT_EQ(Q3, c.Q3);
    }
  }
}

TEST(VectorStats, SkewnessAndKurtosis) {
  // References: exact rational moments, 50-digit square roots.
  struct Case {
    std::vector<double> Values;
    double Skew, Kurt, SampleSkew, SampleKurt;
  };
  const Case Cases[] = {
      {{1, 2, 4, 8, 16}, 0.63615106071043436773, -1.5113978494623655914, 1.3253147098134049328,
       1.3037634408602150538},
      {{1e8 + 1, 1e8 + 2, 1e8 + 4, 1e8 + 8, 1e8 + 16}, 0.63615106071043436773, -1.5113978494623655914,
       1.3253147098134049328, 1.3037634408602150538},
      {{3, -1, 4, 1, 5, 9, 2, 6}, 0.20609056345722454619, -1.1623145978958721244, 0.31404276336338978466,
       0.14050853148560788743},
      {{1, 2, 9}, 0, 0, 0, 0},     // n ≤ 3
      {{4, 4, 4, 4}, 0, 0, 0, 0},  // no spread (the correction alone gave a kurtosis of 26.5)
  };
  for (const Case& c : Cases) {
    TVector v(nullptr);
    SetValues(v, c.Values);
    double Skew = -9, Kurt = -9;
    v.SkewKurt(0, 0, Skew, Kurt);
    EXPECT_NEAR(Skew, c.Skew, 1e-7);
    EXPECT_NEAR(Kurt, c.Kurt, 1e-7);
    v.SkewKurtSample(0, 0, Skew, Kurt);
    EXPECT_NEAR(Skew, c.SampleSkew, 1e-7);
    EXPECT_NEAR(Kurt, c.SampleKurt, 1e-7);
  }
}

TEST(VectorStats, GeometricAndHarmonicMeansAndTheirMessages) {
  TVector v(nullptr);
  v.SetName("Vec1");
  SetValues(v, std::vector<double>{1, 2, 4, 8, 16});
  EXPECT_NEAR(v.GeometricMean(0, 0), 4.0, 1e-14);
  EXPECT_NEAR(v.HarmonicMean(0, 0), 80.0 / 31, 1e-14);
  SetValues(v, std::vector<double>{4, 0, 9});
  EXPECT_EQ(v.GeometricMean(0, 0), 0.0);
  EXPECT_THAT([&] { v.HarmonicMean(0, 0); },
              ThrowsMessage<EVexaVectorError>(
                  StrEq("Component \"Vec1\": negative or zero argument passed to HarmonicMean")));
  SetValues(v, std::vector<double>{4, -1});
  EXPECT_THAT([&] { v.GeometricMean(0, 0); },
              ThrowsMessage<EVexaVectorError>(StrEq("Component \"Vec1\": negative argument passed to GeometricMean")));
  EXPECT_EQ(v.GeometricMean(1, 1), 4.0);
  TIntVector iv(nullptr);
  SetValues(iv, std::vector<int32_t>{2, 8});
  EXPECT_NEAR(iv.GeometricMean(0, 0), 4.0, 1e-14);
  EXPECT_NEAR(iv.HarmonicMean(0, 0), 3.2, 1e-14);
}

TEST(VectorStats, Mode) {
  struct Case {
    std::vector<double> Values;
    double Mode;
  };
  const Case Cases[] = {
      {{3, 1, 3, 1}, 1},          // equal runs: the smaller value
      {{5, 2, 7}, 2},             // nothing repeats: the smallest
      {{1, 3, 2, 3, 2, 3}, 3},
      {{kNaN, kNaN, 4}, 4},       // NaNs are never equal
  };
  for (const Case& c : Cases) {
    TVector v(nullptr);
    SetValues(v, c.Values);
    EXPECT_EQ(v.Mode(0, 0), c.Mode);
  }
  TIntVector iv(nullptr);
  SetValues(iv, std::vector<int32_t>{9, -4, 9, -4, -4});
  EXPECT_EQ(iv.Mode(0, 0), -4);
  EXPECT_EQ(iv.Mode(1, 4), -4);
}

struct HistoResult {
  bool Ok;
  TIntArray Bins;
  int32_t Under, Over, MaxCnt;
};

HistoResult RunHistogram(const std::vector<double>& Values, int32_t First, int32_t Last, double FirstBin,
                         double LastBin, double BinWidth) {
  TVector v(nullptr);
  SetValues(v, Values);
  HistoResult r{false, {-1}, -1, -1, -1};
  r.Ok = v.Histogram(First, Last, FirstBin, LastBin, BinWidth, r.Bins, r.Under, r.Over, r.MaxCnt);
  return r;
}

TEST(VectorStats, DoubleHistogram) {
  // The example: 10 bins, −1 under, 10 over (≥ LastBin + BinWidth).
  HistoResult r = RunHistogram({-1, 0, 9.5, 10}, 1, 4, 0, 9, 1);
  ASSERT_TRUE(r.Ok);
  EXPECT_EQ(r.Bins, (TIntArray{1, 0, 0, 0, 0, 0, 0, 0, 0, 1}));
  EXPECT_EQ(r.Under, 1);
  EXPECT_EQ(r.Over, 1);
  EXPECT_EQ(r.MaxCnt, 1);
  // 5/2 rounds to 2: three bins; 6 would fall into a fourth bin: overflow.
  r = RunHistogram({0, 1, 2, 4.5, 6}, 1, 5, 0, 5, 2);
  ASSERT_TRUE(r.Ok);
  EXPECT_EQ(r.Bins, (TIntArray{2, 1, 1}));
  EXPECT_EQ(r.Over, 1);
  EXPECT_EQ(r.MaxCnt, 2);
  // NaN values are counted nowhere.
  r = RunHistogram({kNaN, 1, kInf, -kInf}, 1, 4, 0, 3, 1);
  EXPECT_EQ(r.Bins, (TIntArray{0, 1, 0, 0}));
  EXPECT_EQ(r.Under, 1);
  EXPECT_EQ(r.Over, 1);
}

TEST(VectorStats, DoubleHistogramRefusesBadBins) {
  struct Case {
    double FirstBin, LastBin, BinWidth;
  };
  const Case Cases[] = {
      {0, 9, 0}, {0, 9, -1}, {0, 9, kNaN}, {kNaN, 9, 1}, {0, kInf, 1}, {0, 500, 1}, {0, 1e300, 1e-300},
  };
  for (const Case& c : Cases) {
    const HistoResult r = RunHistogram({1, 2}, 1, 2, c.FirstBin, c.LastBin, c.BinWidth);
    EXPECT_FALSE(r.Ok) << c.FirstBin << " " << c.LastBin << " " << c.BinWidth;
    EXPECT_EQ(r.Bins, TIntArray{-1});  // outputs unchanged
    EXPECT_EQ(r.Under, -1);
  }
  EXPECT_TRUE(RunHistogram({1}, 1, 1, 0, 499, 1).Ok);  // exactly 500 bins
}

TEST(VectorStats, HistogramRangeIsTakenAsGiven) {
  // (0, 0) is not "the whole vector" here: element 0 reads as one 0.
  EXPECT_EQ(RunHistogram({1, 2, 3}, 0, 0, 0, 3, 1).Bins, (TIntArray{1, 0, 0, 0}));
  // Indices outside the vector read as 0: elements 0, 4, 5 add three zeros.
  HistoResult r = RunHistogram({1, 2, 3}, 0, 5, 0, 3, 1);
  EXPECT_EQ(r.Bins, (TIntArray{3, 1, 1, 1}));
  // A reversed range counts nothing.
  r = RunHistogram({1, 2, 3}, 3, 1, 0, 3, 1);
  ASSERT_TRUE(r.Ok);
  EXPECT_EQ(r.Bins, (TIntArray{0, 0, 0, 0}));
  EXPECT_EQ(r.MaxCnt, 0);
  // The widest range is counted arithmetically and saturates.
  r = RunHistogram({1, 2, 3}, INT32_MIN, INT32_MAX, 0, 3, 1);
  EXPECT_EQ(r.Bins, (TIntArray{INT32_MAX, 1, 1, 1}));
  EXPECT_EQ(r.MaxCnt, INT32_MAX);
}

TEST(VectorStats, IntegerHistogram) {
  TIntVector v(nullptr);
  v.SetName("IV");
  SetValues(v, std::vector<int32_t>{-3, 0, 1, 2, 5, 6, 7, INT32_MAX, INT32_MIN});
  TIntArray Bins;
  int32_t Under = 0, Over = 0, MaxCnt = 0;
  // (F 0, L 5, W 2): 3 bins; 6 would be bin 3 of 3: overflow, as 7 and 2³¹−1.
  ASSERT_TRUE(v.Histogram(1, 9, 0, 5, 2, Bins, Under, Over, MaxCnt));
  EXPECT_EQ(Bins, (TIntArray{2, 1, 1}));
  EXPECT_EQ(Under, 2);
  EXPECT_EQ(Over, 3);
  EXPECT_EQ(MaxCnt, 2);
  // BinWidth 0 behaves as 1.
  ASSERT_TRUE(v.Histogram(2, 4, 0, 2, 0, Bins, Under, Over, MaxCnt));
  EXPECT_EQ(Bins, (TIntArray{1, 1, 1}));
  const auto Invalid = StrEq("Component \"IV.Histogram\": invalid number of bins");
  EXPECT_THAT([&] { v.Histogram(0, 0, 0, 1000, 1, Bins, Under, Over, MaxCnt); },
              ThrowsMessage<EVexaVectorError>(Invalid));
  EXPECT_THAT([&] { v.Histogram(0, 0, INT32_MIN, INT32_MAX, 1, Bins, Under, Over, MaxCnt); },
              ThrowsMessage<EVexaVectorError>(Invalid));
  // Into a TIntVector: resized to the bin count, one setter call per bin.
  TIntVector Histo(nullptr);
  EXPECT_TRUE(v.Histogram(1, 9, 0, 5, 2, &Histo, Under, Over, MaxCnt));
  EXPECT_EQ(ValuesOf(Histo), (std::vector<int32_t>{2, 1, 1}));
  EXPECT_FALSE(v.Histogram(0, 0, 0, 5, 2, nullptr, Under, Over, MaxCnt));
  TVector d(nullptr);
  SetValues(d, std::vector<double>{0.5, 0.7});
  EXPECT_TRUE(d.Histogram(1, 2, 0.0, 1.0, 0.5, &Histo, Under, Over, MaxCnt));
  EXPECT_EQ(ValuesOf(Histo), (std::vector<int32_t>{0, 2, 0}));
}

TEST(VectorStats, Normalisations) {
  TVector v(nullptr);
  SetValues(v, std::vector<double>{2, 4, 6});
  double Mean = 0, StdDev = 0;
  v.Standardize(Mean, StdDev);
  EXPECT_EQ(Mean, 4);
  EXPECT_EQ(StdDev, 2);
  EXPECT_EQ(ValuesOf(v), (std::vector<double>{-1, 0, 1}));
  SetValues(v, std::vector<double>{1, 3});  // variance 1 by rule: centred only
  v.Standardize(Mean, StdDev);
  EXPECT_EQ(ValuesOf(v), (std::vector<double>{-1, 1}));
  SetValues(v, std::vector<double>{5, 5, 5});
  v.Standardize(Mean, StdDev);
  EXPECT_EQ(StdDev, 0);
  EXPECT_EQ(ValuesOf(v), (std::vector<double>{5, 5, 5}));

  SetValues(v, std::vector<double>{5, 1, 4, 2, 3});
  double Median = 0, QuantDiff = 0;
  v.QNormalize(25, Median, QuantDiff);
  EXPECT_EQ(Median, 3);
  EXPECT_EQ(QuantDiff, 1);
  EXPECT_EQ(ValuesOf(v), (std::vector<double>{2, -2, 1, -1, 0}));

  SetValues(v, std::vector<double>{1, 2, 6});
  EXPECT_EQ(v.MeanCenter(), 3);
  EXPECT_EQ(ValuesOf(v), (std::vector<double>{-2, -1, 3}));
}

}  // namespace
}  // namespace vexa
