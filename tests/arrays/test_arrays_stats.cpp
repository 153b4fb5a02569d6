// Array routines: means, deviations, percentiles, extremes, counts,
// histograms, sums and correlation.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "arrays/Vexa_openarrays.h"

namespace vexa {
namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

TEST(ArraysStats, MeanArrayOverEveryRankAndType) {
  double m = -1;
  EXPECT_EQ(MeanArray(TDoubleArray{1, 2, 3}, 0, 2, m), 0);
  EXPECT_EQ(m, 2.0);
  EXPECT_EQ(MeanArray(TIntArray{1, 2, 3}, 1, 2, m), 0);
  EXPECT_EQ(m, 2.5);
  EXPECT_EQ(MeanArray(TDouble2DArray{{1, 2}, {3, 4}}, 0, 1, 1, 1, m), 0);  // cells 2 and 4
  EXPECT_EQ(m, 3.0);
  EXPECT_EQ(MeanArray(TInt2DArray{{1, 2}, {3, 4}}, 1, 0, 1, 1, m), 0);
  EXPECT_EQ(m, 3.5);
  const TDouble3DArray D3{{{1, 2}, {3, 4}}, {{5, 6}, {7, 8}}};
  EXPECT_EQ(MeanArray(D3, 1, 0, 1, 1, 1, 1, m), 0);  // [1][0..1][1]: 6, 8
  EXPECT_EQ(m, 7.0);
  const TInt4DArray I4(2, TInt3DArray(2, TInt2DArray(2, TIntArray{1, 3})));
  EXPECT_EQ(MeanArray(I4, 0, 0, 0, 0, 1, 1, 1, 1, m), 0);
  EXPECT_EQ(m, 2.0);

  // Status codes leave the mean alone.
  m = 42;
  struct Case {
    int32_t First, Last, Status;
  };
  for (const Case& c : {Case{2, 0, -2}, Case{-1, 1, -2}, Case{0, 3, -2}}) {
    EXPECT_EQ(MeanArray(TDoubleArray{1, 2, 3}, c.First, c.Last, m), c.Status);
  }
  EXPECT_EQ(MeanArray(TDoubleArray{}, 0, 0, m), -1);
  EXPECT_EQ(MeanArray(TDouble2DArray{{1, 2}, {3}}, 0, 0, 0, 0, m), -1);  // ragged
  EXPECT_EQ(MeanArray(TDouble2DArray{{}, {}}, 0, 0, 0, 0, m), -1);
  EXPECT_EQ(m, 42.0);
}

TEST(ArraysStats, DeviationsUseShiftedSums) {
  double s = -1, Mean = -1, Var = -1;
  EXPECT_EQ(StdDevArray(TDoubleArray{5}, 0, 0, s), 0);
  EXPECT_EQ(s, 0.0);
  EXPECT_EQ(StdDevArray(TDoubleArray{1e8 + 1, 1e8 + 2, 1e8 + 3}, 0, 2, s), 0);
  EXPECT_EQ(s, 1.0);
  EXPECT_EQ(StdDevArray(TInt2DArray{{2, 4}, {4, 4}, {5, 5}, {7, 9}}, 0, 0, 3, 1, s), 0);
  EXPECT_DOUBLE_EQ(s, std::sqrt(32.0 / 7.0));  // sum of squares 32 over 7

  EXPECT_EQ(MeanVarArray(TDoubleArray{1e8 + 1, 1e8 + 2, 1e8 + 3}, 0, 2, Mean, Var), 0);
  EXPECT_EQ(Mean, 1e8 + 2);
  EXPECT_EQ(Var, 1.0);
  EXPECT_EQ(MeanVarArray(TIntArray{3, 9}, 0, 1, Mean, Var), 0);
  EXPECT_EQ(Mean, 6.0);
  EXPECT_EQ(Var, 1.0);  // two values: the family's variance 1
  EXPECT_EQ(MeanVarArray(TInt2DArray{{1, 2}, {3, 4}}, 0, 0, 1, 1, Mean, Var), 0);
  EXPECT_DOUBLE_EQ(Var, 5.0 / 3.0);
  EXPECT_EQ(MeanVarArray(TDoubleArray{1, 2}, 1, 0, Mean, Var), -2);
  EXPECT_DOUBLE_EQ(Var, 5.0 / 3.0);

  double Mad = -1;
  EXPECT_EQ(MeanAbsDev(TDoubleArray{1, 2, 3, 4}, 0, Mad), 0);
  EXPECT_EQ(Mad, 1.0);
  EXPECT_EQ(MeanAbsDev(TIntArray{1, 2, 30}, 2, Mad), 0);  // first two values only
  EXPECT_EQ(Mad, 0.5);
  EXPECT_EQ(MeanAbsDev(TIntArray{1, 3}, 7, Mad), 0);  // beyond the length: all
  EXPECT_EQ(Mad, 1.0);
  EXPECT_EQ(MeanAbsDev(TIntArray{}, 1, Mad), -1);
  EXPECT_EQ(Mad, 1.0);
}

TEST(ArraysStats, PercentileSelectsARank) {
  const TDoubleArray Data{1, 2, 3, 4};
  EXPECT_EQ(PercentileArray(50, Data), 3.0);
  EXPECT_EQ(PercentileArray(50, Data, 3, 1), 4.0);  // 2, 3, 4: rank round(1.5) = 2
  EXPECT_EQ(PercentileArray(0, Data, -5, 99), 1.0);  // clamped into the array
  EXPECT_EQ(PercentileArray(250, Data), 4.0);
  EXPECT_TRUE(std::isnan(PercentileArray(kNaN, Data)));
  EXPECT_EQ(PercentileArray(50, TDoubleArray{}), 0.0);
  EXPECT_EQ(PercentileArray(50, TIntArray{9, 7, 8}), 9.0);  // rank round(1.5) = 2
  EXPECT_EQ(PercentileArray(25, TDoubleArray{kNaN, 2, 1, kNaN}), 2.0);  // NaN ranks last
  const TDouble2DArray D2{{1, 5, 9}, {2, 6, 10}, {3, 7, 11}};
  EXPECT_EQ(PercentileArray(100, D2, 0, 0, 1, 1), 6.0);
  EXPECT_EQ(PercentileArray(0, D2, 2, 2, 1, 1), 6.0);  // swapped pairs
  EXPECT_THROW(PercentileArray(50, TDouble2DArray{{1}, {}}, 0, 0, 0, 0), EVexaError);
}

TEST(ArraysStats, ExtremesSkipNaNAndKeepFirstOccurrence) {
  int32_t i = -7, j = -7;
  EXPECT_EQ(MaxArray(TIntArray{}), INT32_MIN);
  EXPECT_EQ(MinArray(TIntArray{}, i), INT32_MAX);
  EXPECT_EQ(i, -7);
  EXPECT_EQ(MaxArray(TDoubleArray{}), -2147483648.0);
  EXPECT_EQ(MaxArray(TIntArray{INT32_MIN, INT32_MIN}, i), INT32_MIN);
  EXPECT_EQ(i, 0);
  EXPECT_EQ(MaxArray(TDoubleArray{kNaN, 2, 5, 5, kNaN}, i), 5.0);
  EXPECT_EQ(i, 2);
  EXPECT_EQ(MinArray(TDoubleArray{3, -kInf, 1}, i), -kInf);
  EXPECT_EQ(i, 1);
  i = -7;
  EXPECT_EQ(MinArray(TDoubleArray{kNaN, kNaN}, i), 2147483647.0);
  EXPECT_EQ(i, -7);
  EXPECT_EQ(MaxArray(TDouble2DArray{{1, 8}, {8, 2}}, i, j), 8.0);
  EXPECT_EQ(i, 0);
  EXPECT_EQ(j, 1);
  EXPECT_EQ(MinArray(TInt2DArray{{4, 3}, {1, 1}}, i, j), 1);
  EXPECT_EQ(i, 1);
  EXPECT_EQ(j, 0);
  EXPECT_EQ(MaxArray(TInt3DArray{{{1, 9}}, {{3, 4}}}), 9);
  EXPECT_EQ(MinArray(TDouble4DArray{{{{1, -9}}}, {{{3, 4}}}}), -9.0);
  EXPECT_THROW(MaxArray(TInt2DArray{{1, 2}, {3}}), EVexaError);

  double Lo = 0, Hi = 0;
  EXPECT_EQ(MinMaxArray(TDoubleArray{kNaN, 4, -1, kInf}, Lo, Hi), 0);
  EXPECT_EQ(Lo, -1.0);
  EXPECT_EQ(Hi, kInf);
  EXPECT_EQ(MinMaxArray(TDoubleArray{kNaN}, Lo, Hi), 0);
  EXPECT_EQ(Lo, std::numeric_limits<double>::max());
  EXPECT_EQ(Hi, -std::numeric_limits<double>::max());
  EXPECT_EQ(MinMaxArray(TDoubleArray{}, Lo, Hi), -1);
  const double Open[] = {2, 7, 1};
  EXPECT_EQ(MinMaxArray(std::span<const double>(Open), Lo, Hi), 0);
  EXPECT_EQ(Lo, 1.0);
  EXPECT_EQ(Hi, 7.0);
  float fLo = 0, fHi = 0;
  EXPECT_EQ(MinMaxArray(TSingleArray{2.5f, -1.5f}, fLo, fHi), 0);
  EXPECT_EQ(fLo, -1.5f);
  EXPECT_EQ(fHi, 2.5f);
  int32_t iLo = 0, iHi = 0;
  EXPECT_EQ(MinMaxArray(TIntArray{INT32_MIN, INT32_MIN}, iLo, iHi), 0);
  EXPECT_EQ(iLo, INT32_MIN);
  EXPECT_EQ(iHi, INT32_MIN);
  const int32_t OpenInt[] = {INT32_MIN};
  EXPECT_EQ(MinMaxArray(std::span<const int32_t>(OpenInt), iLo, iHi), 0);
  EXPECT_EQ(iHi, INT32_MIN);
  EXPECT_EQ(MinMaxArray(TInt4DArray{{{{5, 6}}}}, iLo, iHi), 0);
  EXPECT_EQ(iLo, 5);
  EXPECT_EQ(iHi, 6);

  int32_t a = -1, b = -1, c = -1, d = -1;
  EXPECT_EQ(MinMaxArray(TDoubleArray{9, 3, 7, 3, 7}, 1, 4, Lo, Hi, a, b), 0);
  EXPECT_EQ(Lo, 3.0);
  EXPECT_EQ(a, 1);
  EXPECT_EQ(Hi, 7.0);
  EXPECT_EQ(b, 2);
  EXPECT_EQ(MinMaxArray(TInt2DArray{{1, 2}, {3, 4}, {0, 9}}, 1, 0, 2, 1, iLo, iHi, a, b, c, d), 0);
  EXPECT_EQ(iLo, 0);
  EXPECT_EQ(a, 2);
  EXPECT_EQ(b, 0);
  EXPECT_EQ(iHi, 9);
  EXPECT_EQ(c, 2);
  EXPECT_EQ(d, 1);
  EXPECT_EQ(MinMaxArray(TIntArray{1, 2}, 1, 0, iLo, iHi, a, b), -2);
  EXPECT_EQ(iLo, INT32_MAX);  // preset before the checks
  EXPECT_EQ(a, 0);
}

TEST(ArraysStats, CountsOfValuesAndTrueCells) {
  EXPECT_EQ(CountValues(TDoubleArray{1, 2, kNaN, 3, 4}, 0, 4, 2.0, 3.0), 2);
  EXPECT_EQ(CountValues(TDoubleArray{1, 2}, 0, 1, 3.0, 2.0), -2);
  EXPECT_EQ(CountValues(TDoubleArray{}, 0, 0, 0.0, 1.0), -1);
  EXPECT_EQ(CountValues(TInt2DArray{{1, 5}, {5, 9}}, 0, 0, 1, 1, 5, 9), 3);
  EXPECT_EQ(CountValues(TInt3DArray{{{1, 5}}}, 0, 0, 0, 0, 0, 2, 0, 9), -2);
  EXPECT_EQ(CountValues(TDouble4DArray{{{{1, 5}}}}, 0, 0, 0, 1, 0, 0, 0, 1, 5.0, 5.0), 1);

  EXPECT_EQ(CountTrueCellsOfArray(TBoolArray{true, false, true}), 2);
  EXPECT_EQ(CountTrueCellsOfArray(TBool2DArray{{true, true}, {false, true}}), 3);
  const TBool2DArray B{{true, true, false}, {false, true, true}};
  EXPECT_EQ(CountTrueCellsOfArray(B, 0, 0, 0, 0), 4);  // (0, 0) pairs: whole dimensions
  EXPECT_EQ(CountTrueCellsOfArray(B, 1, 2, 0, 1), 3);  // reversed pairs swapped
  EXPECT_EQ(CountTrueCellsOfArray(B, 0, 0, 2, 1), -2);
  EXPECT_EQ(CountTrueCellsOfArray(TBool2DArray{}, 0, 0, 0, 0), -1);
}

TEST(ArraysStats, FrequencyDistribution) {
  TIntArray Histo{7};
  int32_t Under = -1, Over = -1, MaxCnt = -1;
  // Bins of width 1 from 0: [0,1) [1,2) [2,3); 3 and above overflow.
  const TDoubleArray Data{-0.5, 0, 0.5, 1, 2.9, 3, kNaN, 10};
  ASSERT_EQ(FrequDistOfArray(Data, 0, 0, 0.0, 2.0, 1.0, Histo, Under, Over, MaxCnt), 0);
  EXPECT_EQ(Histo, (TIntArray{2, 1, 1}));
  EXPECT_EQ(Under, 1);
  EXPECT_EQ(Over, 2);  // the NaN cell counts nowhere
  EXPECT_EQ(MaxCnt, 2);
  ASSERT_EQ(FrequDistOfArray(Data, 1, 3, 0.0, 2.0, 1.0, Histo, Under, Over, MaxCnt), 0);
  EXPECT_EQ(Histo, (TIntArray{2, 1, 0}));

  struct Case {
    int32_t First, Last;
    double FirstBin, LastBin, Width;
    int32_t Status;
  };
  const Case Cases[] = {
      {0, 9, 0, 2, 1, -1},      {-1, 2, 0, 2, 1, -1},   {3, 1, 0, 2, 1, -2},
      {0, 1, 2, 2, 1, -3},      {0, 1, kNaN, 2, 1, -3}, {0, 1, 0, 2, 0, -4},
      {0, 1, 0, 2, kNaN, -4},   {0, 1, 0, 10, 0.001, -5}, {0, 1, 0, 999, 1, 0},
      {0, 1, 0, 1000, 1, -5},
  };
  for (const Case& c : Cases) {
    EXPECT_EQ(FrequDistOfArray(Data, c.First, c.Last, c.FirstBin, c.LastBin, c.Width, Histo, Under,
                               Over, MaxCnt),
              c.Status)
        << c.First << " " << c.Last << " " << c.FirstBin << " " << c.LastBin << " " << c.Width;
  }

  const TDouble2DArray D2{{0.5, 1.5}, {1.5, 5}};
  TBool2DArray Mask{{false, true}, {false, false}};
  ASSERT_EQ(FrequDistOfArray(D2, Mask, 0, 0, 0, 0, 0.0, 1.0, 1.0, Histo, Under, Over, MaxCnt), 0);
  EXPECT_EQ(Histo, (TIntArray{1, 1}));
  EXPECT_EQ(Over, 1);
  ASSERT_EQ(FrequDistOfArray(D2, 0, 1, 1, 1, 0.0, 1.0, 1.0, Histo, Under, Over, MaxCnt), 0);
  EXPECT_EQ(Histo, (TIntArray{0, 1}));  // cells 1.5 and 5 of the second row
  EXPECT_EQ(Over, 1);
  EXPECT_EQ(FrequDistOfArray(D2, TBool2DArray{{false, true}, {false}}, 0, 0, 0, 0, 0.0, 1.0, 1.0,
                             Histo, Under, Over, MaxCnt),
            -6);
  EXPECT_EQ(FrequDistOfArray(D2, TBool2DArray{{false}}, 0, 0, 0, 0, 0.0, 1.0, 1.0, Histo, Under,
                             Over, MaxCnt),
            -6);
}

TEST(ArraysStats, SumsTraceAndCorrelation) {
  EXPECT_EQ(SumOfSquaredDiffs(TDoubleArray{1, 2}, TDoubleArray{3, 5}), 13.0);
  EXPECT_EQ(SumOfSquaredDiffs(TDoubleArray{1, 2}, TDoubleArray{3}), -2.0);
  EXPECT_EQ(SumOfSquaredDiffs(TDoubleArray{}, TDoubleArray{3}), -1.0);
  const TDouble2DArray B{{1, 1}, {3, 5}};
  EXPECT_EQ(SumOfSquaredDiffs(TDoubleArray{1, 2}, B, 1), 13.0);
  EXPECT_EQ(SumOfSquaredDiffs(TDoubleArray{1, 2}, B, 2), -3.0);
  EXPECT_EQ(SumOfSquaredDiffs(TDoubleArray{1}, B, 0), -2.0);

  double t = 0;
  EXPECT_EQ(TraceOfArray(TDouble2DArray{{1, 2}, {3, 4}}, t), 0);
  EXPECT_EQ(t, 5.0);
  EXPECT_EQ(TraceOfArray(TDouble2DArray{{1, 2}}, t), -2);
  EXPECT_EQ(TraceOfArray(TDouble2DArray{}, t), -1);
  int32_t ti = 0;
  EXPECT_EQ(TraceOfArray(TInt2DArray{{INT32_MAX, 0}, {0, 1}}, ti), 0);
  EXPECT_EQ(ti, INT32_MIN);  // wraps like the library's integers

  double Sum = 0;
  const TInt2DArray I{{1, 2}, {3, 4}};
  EXPECT_EQ(SumArrayMasked(I, TBool2DArray{}, Sum), 4);
  EXPECT_EQ(Sum, 10.0);
  EXPECT_EQ(SumArrayMasked(I, TBool2DArray{{true, false}, {false, true}}, Sum), 2);
  EXPECT_EQ(Sum, 5.0);
  EXPECT_EQ(SumArrayMasked(I, TBool2DArray{{true, false}, {false}}, Sum), -1);
  EXPECT_EQ(SumArrayMasked(TDouble2DArray{}, TBool2DArray{}, Sum), -2);

  // r of (1, 2, 3, 5) and (2, 1, 4, 3): (7/2)/√(35/4 · 5), computed exactly.
  const TDouble2DArray C{{1, 2, 3, 5}, {2, 1, 4, 3}, {0, 0, 0, 0}};
  EXPECT_NEAR(PearsonCorrCoeffColsOfArray(C, 0, 1), 0.52915026221291811810, 1e-15);
  EXPECT_EQ(PearsonCorrCoeffColsOfArray(C, 0, 2), 0.0);  // no spread
  EXPECT_EQ(PearsonCorrCoeffColsOfArray(C, 0, 3), 0.0);  // column outside
  EXPECT_EQ(PearsonCorrCoeffColsOfArray(C, -1, 0), 0.0);
  const TDouble2DArray Shifted{{1e8 + 1, 1e8 + 2, 1e8 + 3, 1e8 + 5}, {2, 1, 4, 3}};
  EXPECT_NEAR(PearsonCorrCoeffColsOfArray(Shifted, 0, 1), 0.52915026221291811810, 1e-15);
  EXPECT_EQ(PearsonCorrCoeffColsOfArray(TDouble2DArray{{1, 2}, {2, 1}}, 0, 1), 0.0);  // n ≤ 2
  EXPECT_THROW(PearsonCorrCoeffColsOfArray(TDouble2DArray{{1, 2}, {2}}, 0, 1), EVexaError);
}

}  // namespace
}  // namespace vexa
