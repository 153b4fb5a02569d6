// Matrices: descriptive statistics (references computed in high precision
// with rationals and 40-digit decimals) and the normalisations.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "linalg/Vexa_matrix.h"
#include "support/MatrixCells.h"

namespace vexa {
namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
using vexa::testing::CellsOf;
using vexa::testing::SetCells;
using vexa::testing::TCols;

std::vector<double> ValuesOf(const TVector& v) {
  std::vector<double> Values;
  for (int32_t i = 1; i <= v.NrOfElem(); ++i) {
    Values.push_back(v.Elem(i));
  }
  return Values;
}

// 2 columns × 5 rows holding 2 3 5 7 11 | 13 17 19 23 1 (storage order).
const TCols kData = {{2, 3, 5, 7, 11}, {13, 17, 19, 23, 1}};

TEST(MatrixStats, MomentsAndMeansMatchHighPrecisionReferences) {
  TMatrix m(nullptr);
  SetCells(m, kData);
  double Mean = 0, Var = 0, Skew = 0, Kurt = 0;
  m.MeanVar(0, 0, 0, 0, Mean, Var);
  EXPECT_NEAR(Mean, 10.1, 1e-14);
  EXPECT_NEAR(Var, 59.655555555555555556, 1e-12);
  EXPECT_EQ(m.Sum(0, 0, 0, 0), 101.0);
  m.SkewKurt(0, 0, 0, 0, Skew, Kurt);
  EXPECT_NEAR(Skew, 0.30382735744998870814, 1e-13);
  EXPECT_NEAR(Kurt, -1.5731980831578648298, 1e-13);
  m.SkewKurtSample(0, 0, 0, 0, Skew, Kurt);
  EXPECT_NEAR(Skew, 0.42198244090276209463, 1e-13);
  EXPECT_NEAR(Kurt, -1.2252339116540700650, 1e-13);
  EXPECT_NEAR(m.GeometricMean(0, 0, 0, 0), 6.8367322073471922257, 1e-13);
  EXPECT_NEAR(m.HarmonicMean(0, 0, 0, 0), 4.0016710766305955461, 1e-13);

  // Asymmetric rectangle given reversed: columns 1..2, rows 2..4 (3 5 7 17 19 23).
  m.MeanVar(2, 2, 1, 4, Mean, Var);
  EXPECT_NEAR(Mean, 37.0 / 3.0, 1e-14);
  EXPECT_NEAR(Var, 1048.0 / 15.0, 1e-12);
  EXPECT_EQ(m.Sum(2, 2, 2, 3), 36.0);  // LoC, LoR, HiC, HiR
}

TEST(MatrixStats, VarianceRulesAndCancellation) {
  TMatrix m(nullptr);
  struct Case {
    TCols Cells;
    double Mean, Variance;
  };
  for (const Case& k : {Case{{{2, 4}}, 3, 1},              // n = 2: variance 1.0
                        Case{{{2}, {4}, {6}}, 4, 4},
                        Case{{{7}}, 7, 1},
                        Case{{{1e8 + 1, 1e8 + 2, 1e8 + 3}}, 1e8 + 2, 1}}) {  // no cancellation
    SetCells(m, k.Cells);
    double Mean = 0, Var = 0;
    m.MeanVar(0, 0, 0, 0, Mean, Var);
    EXPECT_EQ(Mean, k.Mean);
    EXPECT_EQ(Var, k.Variance);
  }
  SetCells(m, {{5, 5, 5}});
  double Skew = 1, Kurt = 1;
  m.SkewKurt(0, 0, 0, 0, Skew, Kurt);  // no spread
  EXPECT_EQ(Skew, 0.0);
  EXPECT_EQ(Kurt, 0.0);
  SetCells(m, {{1, 2, 4}});
  m.SkewKurtSample(0, 0, 0, 0, Skew, Kurt);  // three values: 0, 0
  EXPECT_EQ(Skew, 0.0);
  EXPECT_EQ(Kurt, 0.0);
  m.SkewKurt(0, 0, 0, 0, Skew, Kurt);  // but the plain moments exist from two values on
  EXPECT_NE(Skew, 0.0);
}

TEST(MatrixStats, MeansRaiseTheirMessagesAndZeroGivesZero) {
  TMatrix m(nullptr);
  m.SetName("M");
  SetCells(m, {{4, 0, 9}});
  EXPECT_EQ(m.GeometricMean(0, 0, 0, 0), 0.0);
  SetCells(m, {{4, -1}});
  try {
    m.GeometricMean(0, 0, 0, 0);
    ADD_FAILURE();
  } catch (const EVexaMatrixError& e) {
    EXPECT_STREQ(e.what(), "Component \"M\": negative argument passed to GeometricMean");
  }
  SetCells(m, {{1, 0}});
  try {
    m.HarmonicMean(0, 0, 0, 0);
    ADD_FAILURE();
  } catch (const EVexaMatrixError& e) {
    EXPECT_STREQ(e.what(), "Component \"M\": negative or zero argument passed to HarmonicMean");
  }
}

TEST(MatrixStats, SelectingPercentileAndQuartiles) {
  TMatrix m(nullptr);
  SetCells(m, kData);  // sorted: 1 2 3 5 7 11 13 17 19 23
  struct Case {
    double Prob, Expected;
  };
  // rank round(prob·10/100), ties to even, at most 9
  for (const Case& k : {Case{0, 1}, Case{25, 3}, Case{35, 7}, Case{50, 11}, Case{100, 23}, Case{-5, 1},
                        Case{250, 23}}) {
    EXPECT_EQ(m.Percentile(k.Prob, 0, 0, 0, 0), k.Expected) << k.Prob;
    EXPECT_EQ(m.Percentile(k.Prob, 0, 0, 0, 0, 0), k.Expected) << k.Prob;   // no sample: full selection
    EXPECT_EQ(m.Percentile(k.Prob, 0, 0, 0, 0, 10), k.Expected) << k.Prob;  // sample as big as the data
    EXPECT_EQ(m.Percentile(k.Prob, 0, 0, 0, 0, -3), k.Expected) << k.Prob;
  }
  EXPECT_TRUE(std::isnan(m.Percentile(kNaN, 0, 0, 0, 0)));
  EXPECT_TRUE(std::isnan(m.Percentile(kNaN, 0, 0, 0, 0, 4)));
  EXPECT_EQ(m.Percentile(50, 2, 1, 2, 3), 19.0);  // column 2, rows 1..3: 13 17 19, rank round(1.5) = 2
  double Q1 = 0, Q2 = 0, Q3 = 0;
  ASSERT_TRUE(m.Quartiles(0, 0, 0, 0, Q1, Q2, Q3));
  EXPECT_EQ(Q1, 2.75);
  EXPECT_EQ(Q2, 9.0);
  EXPECT_EQ(Q3, 17.5);

  SetCells(m, {{1, 2, 3, 4}});
  EXPECT_EQ(m.Percentile(50, 0, 0, 0, 0), 3.0);  // the upper middle value
  SetCells(m, {{1, 2, 3, 4, 5, 6, 7}});
  ASSERT_TRUE(m.Quartiles(0, 0, 0, 0, Q1, Q2, Q3));
  EXPECT_EQ(Q1, 2.0);
  EXPECT_EQ(Q2, 4.0);
  EXPECT_EQ(Q3, 6.0);
  // NaN cells: no hang or fault; they rank last.
  SetCells(m, {{kNaN, 3, kNaN, 1, 2}});
  EXPECT_EQ(m.Percentile(0, 0, 0, 0, 0), 1.0);
  m.Quartiles(0, 0, 0, 0, Q1, Q2, Q3);
}

TEST(MatrixStats, SampledPercentileAndItsZeroRule) {
  TMatrix m(nullptr);
  m.Resize(10, 10);
  m.SetElem(3, 3, 1.0);  // 99 zeros and one 1
  // Among 50 drawn cells nearly all are zero: the median falls among them.
  EXPECT_EQ(m.Percentile(50, 0, 0, 0, 0, 50), 0.0);
  m.Fill(-2.0);  // no zeros: the rank is selected from the sample
  EXPECT_EQ(m.Percentile(50, 0, 0, 0, 0, 50), -2.0);
  m.Fill(0, 0, 1, 5, 7.0);  // asymmetric range: rows 1..5 of all columns hold 7
  EXPECT_EQ(m.Percentile(30, 1, 1, 10, 5, 20), 7.0);
}

TEST(MatrixStats, HistogramBinsOverflowAndRefusals) {
  TMatrix m(nullptr);
  SetCells(m, {{-1, 0}, {9.5, 10}, {kNaN, 3}});
  TIntArray Histo;
  int32_t Under = -1, Over = -1, MaxCnt = -1;
  ASSERT_TRUE(m.Histogram(1, 1, 2, 2, 0, 9, 1, Histo, Under, Over, MaxCnt));  // columns 1..2
  EXPECT_EQ(Histo, (TIntArray{1, 0, 0, 0, 0, 0, 0, 0, 0, 1}));
  EXPECT_EQ(Under, 1);
  EXPECT_EQ(Over, 1);
  EXPECT_EQ(MaxCnt, 1);
  ASSERT_TRUE(m.Histogram(0, 0, 0, 0, 0, 9, 1, Histo, Under, Over, MaxCnt));  // NaN counted nowhere
  EXPECT_EQ(Histo[3], 1);
  EXPECT_EQ(Under + Over, 2);

  // F 0, L 1, W 0.4: round(2.5) + 1 = 3 bins; 1.3 < L + W but its index 3 ≥ 3: overflow.
  SetCells(m, {{1.3, 0.1}});
  ASSERT_TRUE(m.Histogram(0, 0, 0, 0, 0, 1, 0.4, Histo, Under, Over, MaxCnt));
  EXPECT_EQ(Histo, (TIntArray{1, 0, 0}));
  EXPECT_EQ(Over, 1);

  struct Case {
    double First, Last, Width;
  };
  for (const Case& k : {Case{0, 1, 0}, Case{0, 1, -1}, Case{0, 1, kNaN}, Case{0, 1000, 1}, Case{kNaN, 1, 1}}) {
    TIntArray Untouched = {7};
    Under = Over = MaxCnt = -1;
    EXPECT_FALSE(m.Histogram(0, 0, 0, 0, k.First, k.Last, k.Width, Untouched, Under, Over, MaxCnt));
    EXPECT_EQ(Untouched, (TIntArray{7}));
    EXPECT_EQ(Under, -1);
  }
  TIntVector hv(nullptr);
  ASSERT_TRUE(m.Histogram(0, 0, 0, 0, 0, 1, 0.4, &hv, Under, Over, MaxCnt));
  EXPECT_EQ(hv.NrOfElem(), 3);
  EXPECT_EQ(hv.Elem(1), 1);
  EXPECT_FALSE(m.Histogram(0, 0, 0, 0, 0, 1, 0.4, static_cast<TIntVector*>(nullptr), Under, Over, MaxCnt));
}

TEST(MatrixStats, CountValuesUsesItsOwnRangeOrder) {
  TMatrix m(nullptr);
  SetCells(m, {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}});
  EXPECT_EQ(m.CountValues(0, 0, 0, 0, 2, 8), 7);
  EXPECT_EQ(m.CountValues(2, 3, 1, 2, 4, 8), 4);  // LowCol, HighCol, LowRow, HighRow: 4 5 7 8
  EXPECT_EQ(m.CountValues(0, 0, 0, 0, 8, 2), 0);
}

TEST(MatrixStats, MeanVecAndCentring) {
  TMatrix m(nullptr);
  SetCells(m, {{1, 3}, {2, 6}, {4, 12}});  // 3 columns × 2 rows
  TVector Means(nullptr);
  m.MeanVec(dimColumns, &Means);
  EXPECT_EQ(ValuesOf(Means), (std::vector<double>{2, 4, 8}));
  m.MeanVec(dimRows, &Means);
  EXPECT_EQ(ValuesOf(Means), (std::vector<double>{7.0 / 3.0, 7}));
  m.MeanVec(dimRows, nullptr);

  int Changes = 0;
  m.OnChange = [&](TObject*) { ++Changes; };
  m.MeanCenterRows(&Means);
  EXPECT_EQ(ValuesOf(Means), (std::vector<double>{7.0 / 3.0, 7}));
  m.MeanCenterColumns(nullptr);
  EXPECT_EQ(Changes, 2);
  for (int32_t c = 1; c <= 3; ++c) {
    EXPECT_NEAR(m.Elem(c, 1) + m.Elem(c, 2), 0.0, 1e-15);
  }
}

TEST(MatrixStats, StandardizeRowsAndColumns) {
  TMatrix m(nullptr);
  SetCells(m, {{1, 10}, {2, 20}, {4, 40}, {8, 80}});  // 4 columns × 2 rows
  TVector Means(nullptr), Devs(nullptr);
  int Changes = 0;
  m.OnChange = [&](TObject*) { ++Changes; };
  m.StandardizeRows(&Means, &Devs);
  EXPECT_EQ(Changes, 1);
  // Row 1: mean 15/4, variance 115/12; row 2: mean 75/2, variance 2875/3.
  EXPECT_NEAR(Means.Elem(1), 3.75, 1e-15);
  EXPECT_NEAR(Devs.Elem(1), 3.0956959368344520, 1e-14);
  EXPECT_NEAR(Devs.Elem(2), 30.956959368344520, 1e-13);
  EXPECT_NEAR(m.Elem(4, 1), (8 - 3.75) / 3.0956959368344520, 1e-14);
  EXPECT_NEAR(m.Elem(1, 2), (10 - 37.5) / 30.956959368344520, 1e-14);

  // A column of two cells has variance 1: centred, not scaled.
  SetCells(m, {{1, 5}, {2, 2}});
  m.StandardizeColumns(&Means, nullptr);
  EXPECT_EQ(CellsOf(m), (TCols{{-2, 2}, {0, 0}}));
  EXPECT_EQ(ValuesOf(Means), (std::vector<double>{3, 2}));
}

TEST(MatrixStats, QuantileNormalisationPerColumnAndRow) {
  TMatrix m(nullptr);
  SetCells(m, {{1, 2, 3, 4, 5}, {7, 7, 7, 7, 7}});
  TVector Medians(nullptr), Diffs(nullptr);
  int Changes = 0;
  m.OnChange = [&](TObject*) { ++Changes; };
  // Column 1: median (rank 2) 3, 25 % (rank round(1.25) = 1) 2, difference 1.
  // Column 2: difference 0, left as it is.
  m.QNormalizeColumns(25, &Medians, &Diffs);
  EXPECT_EQ(CellsOf(m), (TCols{{-2, -1, 0, 1, 2}, {7, 7, 7, 7, 7}}));
  EXPECT_EQ(ValuesOf(Medians), (std::vector<double>{3, 7}));
  EXPECT_EQ(ValuesOf(Diffs), (std::vector<double>{1, 0}));
  EXPECT_EQ(Changes, 1);

  SetCells(m, {{0, 10}, {4, 10}, {8, 30}});  // rows (0 4 8) and (10 10 30)
  // Medians of three values are rank round(1.5) = 2: 8 and 30; minima 0 and 10.
  m.QNormalizeRows(0, &Medians, nullptr);
  EXPECT_EQ(CellsOf(m), (TCols{{-1, -1}, {-0.5, -1}, {0, 0}}));
  EXPECT_EQ(ValuesOf(Medians), (std::vector<double>{8, 30}));
}

}  // namespace
}  // namespace vexa
