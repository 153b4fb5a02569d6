// TMatrix linear algebra: inverse, determinant, LU and Cholesky factors,
// norms, balancing, correlation, differences and the hat matrix. Reference
// values come from mpmath at 40 digits (or are exact by hand).

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "foundation/Vexa_errors.h"
#include "linalg/Vexa_matrix.h"
#include "test_matrix_linalg_support.h"

namespace vexa {
namespace {

using testing::ExpectNearRows;
using testing::GetRows;
using testing::ProgressHooksTest;
using testing::SameBits;
using testing::SetRows;
using testing::TRows;

const double NaN = std::numeric_limits<double>::quiet_NaN();
const double Inf = std::numeric_limits<double>::infinity();

/// Counts OnChange and OnResize of a matrix.
struct TEventCounter {
  int Changes = 0;
  int Resizes = 0;
  void Attach(TMatrix& M) {
    M.OnChange = [this](TObject*) { ++Changes; };
    M.OnResize = [this](TObject*) { ++Resizes; };
  }
};

/// Product of two matrices given row by row.
TRows Product(const TRows& a, const TRows& b) {
  TRows c(a.size(), std::vector<double>(b[0].size(), 0.0));
  for (size_t i = 0; i < a.size(); ++i) {
    for (size_t j = 0; j < b[0].size(); ++j) {
      for (size_t k = 0; k < b.size(); ++k) {
        c[i][j] += a[i][k] * b[k][j];
      }
    }
  }
  return c;
}

TRows Transposed(const TRows& a) {
  TRows t(a[0].size(), std::vector<double>(a.size()));
  for (size_t i = 0; i < a.size(); ++i) {
    for (size_t j = 0; j < a[0].size(); ++j) {
      t[j][i] = a[i][j];
    }
  }
  return t;
}

void ExpectNear(const TRows& Actual, const TRows& Expected, double Tolerance) {
  ASSERT_EQ(Actual.size(), Expected.size());
  for (size_t i = 0; i < Actual.size(); ++i) {
    ASSERT_EQ(Actual[i].size(), Expected[i].size());
    for (size_t j = 0; j < Actual[i].size(); ++j) {
      EXPECT_NEAR(Actual[i][j], Expected[i][j], Tolerance) << "row " << i << ", column " << j;
    }
  }
}

using MatrixLinalgTest = ProgressHooksTest;

// ---------------------------------------------------------------- Invert

TEST_F(MatrixLinalgTest, InvertMatchesReference) {
  struct TCase {
    std::string Name;
    TRows Input, Inverse;
  };
  const std::vector<TCase> Cases = {
      {"diagonal", {{2, 0}, {0, 4}}, {{0.5, 0}, {0, 0.25}}},
      {"permutation", {{0, 1}, {1, 0}}, {{0, 1}, {1, 0}}},
      {"3x3 (mpmath)",
       {{4, -2, 1}, {3, 6, -4}, {2, 1, 8}},
       {{0.19771863117870722433, 0.064638783269961977186, 0.0076045627376425855513},
        {-0.12167300380228136882, 0.11406844106463878327, 0.072243346007604562738},
        {-0.034220532319391634981, -0.030418250950570342205, 0.11406844106463878327}}},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TMatrix M(nullptr);
    SetRows(M, Case.Input);
    TEventCounter Events;
    Events.Attach(M);
    EXPECT_TRUE(M.Invert());
    ExpectNearRows(M, Case.Inverse, 1e-16);
    EXPECT_EQ(Events.Changes, 0);  // Invert fires no event of Self
  }
}

TEST_F(MatrixLinalgTest, FailedInvertLeavesSelfBitwiseUnchanged) {
  const std::vector<std::pair<std::string, TRows>> Cases = {
      {"row of zeros", {{1, 2, 3}, {0, 0, 0}, {4, 5, 7}}},
      {"column of zeros", {{1, 0, 3}, {2, 0, 5}, {4, 0, 7}}},
      {"dependent rows", {{1, 2, 3}, {2, 4, 6}, {1, 0, 1}}},
      {"not square", {{1, 2, 3}, {4, 5, 6}}},
      {"zero 1x1", {{0}}},
  };
  for (const auto& [Name, Input] : Cases) {
    SCOPED_TRACE(Name);
    TMatrix M(nullptr);
    SetRows(M, Input);
    EXPECT_FALSE(M.Invert());
    EXPECT_TRUE(SameBits(GetRows(M), Input));
  }
}

TEST_F(MatrixLinalgTest, InvertAbortedOrWithNonFiniteCellsEndsCleanly) {
  const TRows Input = {{4, -2, 1}, {3, 6, -4}, {2, 1, 8}};
  TMatrix M(nullptr);
  SetRows(M, Input);
  MathFeedBackProc = [](double) { AbortMathProc = true; };
  EXPECT_FALSE(M.Invert());
  EXPECT_TRUE(SameBits(GetRows(M), Input));
  AbortMathProc = false;
  MathFeedBackProc = nullptr;

  for (double Bad : {NaN, Inf, -Inf}) {
    SCOPED_TRACE(Bad);
    const TRows WithBad = {{4, -2, 1}, {3, Bad, -4}, {2, 1, 8}};
    SetRows(M, WithBad);
    if (!M.Invert()) {
      EXPECT_TRUE(SameBits(GetRows(M), WithBad));
    }
  }
}

// ---------------------------------------------------------------- Determinant, LU

TEST_F(MatrixLinalgTest, DeterminantCarriesThePermutationSign) {
  const std::vector<std::tuple<std::string, TRows, double>> Cases = {
      {"exchange", {{0, 1}, {1, 0}}, -1.0},
      {"3x3 (mpmath)", {{4, -2, 1}, {3, 6, -4}, {2, 1, 8}}, 263.0},
      {"4x4 zero corner (mpmath)", {{0, 2, 1, 3}, {1, 1, 0, 2}, {4, 0, 3, 1}, {2, 5, 1, 0}}, 86.0},
      {"single cell", {{-3}}, -3.0},
      {"singular", {{1, 2}, {2, 4}}, 0.0},
      {"not square", {{1, 2, 3}, {4, 5, 6}}, 0.0},
  };
  for (const auto& [Name, Input, Expected] : Cases) {
    SCOPED_TRACE(Name);
    TMatrix M(nullptr);
    SetRows(M, Input);
    EXPECT_NEAR(M.Determinant(), Expected, 1e-12 * std::max(1.0, std::fabs(Expected)));
    EXPECT_TRUE(SameBits(GetRows(M), Input));
  }
}

TEST_F(MatrixLinalgTest, LUFactorsReconstructSelf) {
  const std::vector<TRows> Inputs = {
      {{0, 1}, {1, 0}},
      {{4, -2, 1}, {3, 6, -4}, {2, 1, 8}},
      {{0, 2, 1, 3}, {1, 1, 0, 2}, {4, 0, 3, 1}, {2, 5, 1, 0}},
      {{1, 2}, {2, 4}},  // singular matrices factor too
  };
  for (const TRows& Input : Inputs) {
    SCOPED_TRACE(Input.size());
    TMatrix M(nullptr), L(nullptr), U(nullptr);
    SetRows(M, Input);
    L.Resize(5, 2);
    L.Fill(99.0);  // junk that must not survive
    U.Resize(1, 7);
    U.Fill(-99.0);
    ASSERT_TRUE(M.LUdecomposition(&L, &U));
    const TRows Lr = GetRows(L), Ur = GetRows(U);
    ExpectNear(Product(Lr, Ur), Input, 1e-14);
    for (size_t r = 0; r < Ur.size(); ++r) {
      for (size_t c = 0; c < r; ++c) {
        EXPECT_EQ(Ur[r][c], 0.0);
      }
    }
  }
}

TEST_F(MatrixLinalgTest, LUDecompositionRefusals) {
  TMatrix M(nullptr), L(nullptr), U(nullptr);
  SetRows(M, {{1, 2}, {3, 4}});
  SetRows(L, {{7}});
  EXPECT_FALSE(M.LUdecomposition(nullptr, &U));
  EXPECT_FALSE(M.LUdecomposition(&L, nullptr));
  EXPECT_FALSE(M.LUdecomposition(&L, &L));
  SetRows(M, {{1, 2, 3}, {3, 4, 5}});
  EXPECT_FALSE(M.LUdecomposition(&L, &U));
  EXPECT_TRUE(SameBits(GetRows(L), {{7}}));
}

// ---------------------------------------------------------------- Cholesky

TEST_F(MatrixLinalgTest, CholeskyFactorWithJunkInMatL) {
  // S = L·Lᵀ with L = [[2,0,0],[1,3,0],[-1,5/3,√(47/9)]], exact by hand.
  const TRows S = {{4, 2, -2}, {2, 10, 4}, {-2, 4, 9}};
  const TRows Expected = {{2, 0, 0}, {1, 3, 0}, {-1, 5.0 / 3.0, std::sqrt(47.0 / 9.0)}};
  TMatrix M(nullptr), L(nullptr);
  SetRows(M, S);
  SetRows(L, {{7, 7, 7}, {7, 7, 7}, {7, 7, 7}});
  ASSERT_TRUE(M.CholeskyDecomp(&L));
  ExpectNearRows(L, Expected, 1e-15);
  ExpectNear(Product(GetRows(L), Transposed(GetRows(L))), S, 1e-14);
  // Self: the cells (c, r ≥ c) keep the input, the cells (c, r < c) hold the
  // factor's off-diagonal values (factor row c, column r).
  const TRows After = GetRows(M);
  for (size_t r = 0; r < 3; ++r) {
    for (size_t c = 0; c < 3; ++c) {
      EXPECT_NEAR(After[r][c], r >= c ? S[r][c] : Expected[c][r], 1e-15) << r << "," << c;
    }
  }

  // Aliasing: the factor replaces Self.
  SetRows(M, S);
  ASSERT_TRUE(M.CholeskyDecomp(&M));
  ExpectNearRows(M, Expected, 1e-15);
}

TEST_F(MatrixLinalgTest, FailedCholeskyLeavesSelfAndMatLUnchanged) {
  const std::vector<std::pair<std::string, TRows>> Cases = {
      {"indefinite", {{1, 2}, {2, 1}}},
      {"indefinite late", {{4, 2, 0}, {2, 10, 4}, {0, 4, 1}}},
      {"zero pivot", {{0, 0}, {0, 1}}},
      {"NaN pivot", {{1, 0}, {0, NaN}}},
      {"not square", {{1, 2, 3}, {4, 5, 6}}},
  };
  for (const auto& [Name, Input] : Cases) {
    SCOPED_TRACE(Name);
    TMatrix M(nullptr), L(nullptr);
    SetRows(M, Input);
    SetRows(L, {{7, 8}});
    EXPECT_FALSE(M.CholeskyDecomp(&L));
    EXPECT_TRUE(SameBits(GetRows(M), Input));
    EXPECT_TRUE(SameBits(GetRows(L), {{7, 8}}));
  }
  TMatrix M(nullptr);
  SetRows(M, {{4}});
  EXPECT_FALSE(M.CholeskyDecomp(nullptr));
}

// ---------------------------------------------------------------- norms

TEST_F(MatrixLinalgTest, NormsOfSquareTallAndWideMatrices) {
  struct TCase {
    std::string Name;
    TRows Input;
    double Colwise, Rowwise, Spectral, Frobenius;
  };
  const std::vector<TCase> Cases = {
      {"square", {{1, 3}, {-2, 4}}, 7, 6, 5.116672736016927288, std::sqrt(30.0)},
      {"tall", {{1, 2}, {3, -4}, {0.5, 6}}, 12, 7, 7.5529513444252900623, std::sqrt(66.25)},
      {"wide", {{1, 3, 0.5}, {2, -4, 6}}, 7, 12, 7.5529513444252900623, std::sqrt(66.25)},
      {"huge cells", {{1e200, 1e200}, {1e200, 1e200}}, 2e200, 2e200, 2e200, 2e200},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TMatrix M(nullptr);
    SetRows(M, Case.Input);
    EXPECT_DOUBLE_EQ(M.Norm(ntColwise), Case.Colwise);
    EXPECT_DOUBLE_EQ(M.Norm(ntRowwise), Case.Rowwise);
    EXPECT_NEAR(M.Norm(ntSpectral), Case.Spectral, 1e-14 * Case.Spectral);
    EXPECT_NEAR(M.Norm(ntFrobenius), Case.Frobenius, 1e-15 * Case.Frobenius);
  }
}

TEST_F(MatrixLinalgTest, NormsOfNonFiniteCells) {
  TMatrix M(nullptr);
  SetRows(M, {{1, 2}, {NaN, 4}});
  EXPECT_TRUE(std::isnan(M.Norm(ntColwise)));
  EXPECT_TRUE(std::isnan(M.Norm(ntRowwise)));
  EXPECT_TRUE(std::isnan(M.Norm(ntFrobenius)));
  try {
    M.Norm(ntSpectral);
    ADD_FAILURE() << "no exception";
  } catch (const EVexaMatrixError& E) {
    EXPECT_EQ(std::string(E.what()), "near singular covariance matrix");
  }
  SetRows(M, {{1, 2}, {Inf, 4}});
  EXPECT_EQ(M.Norm(ntFrobenius), Inf);
  EXPECT_EQ(M.Norm(ntColwise), Inf);
  EXPECT_THROW(M.Norm(ntSpectral), EVexaMatrixError);

  SetRows(M, {{1, 3}, {-2, 4}});
  MathFeedBackProc = [](double) { AbortMathProc = true; };
  EXPECT_THROW(M.Norm(ntSpectral), EVexaMatrixError);
}

// ---------------------------------------------------------------- Balance

TEST_F(MatrixLinalgTest, BalanceKeepsEigenvaluesAndEvensOutTheScales) {
  const TRows D = {{2, -300, 5000}, {0.001, 4, -20}, {0.00005, 0.3, 1}};
  TMatrix M(nullptr);
  SetRows(M, D);
  const double Before = M.Norm(ntFrobenius);
  EXPECT_TRUE(M.Balance(1.01));
  const TRows B = GetRows(M);
  // The characteristic polynomial's coefficients (mpmath on the input):
  // trace 7, sum of principal 2 × 2 minors 20.05, determinant 21.1.
  EXPECT_NEAR(B[0][0] + B[1][1] + B[2][2], 7.0, 1e-13);
  double Minors = 0.0;
  for (size_t i = 0; i < 3; ++i) {
    for (size_t j = i + 1; j < 3; ++j) {
      Minors += B[i][i] * B[j][j] - B[i][j] * B[j][i];
    }
  }
  EXPECT_NEAR(Minors, 20.049999999999999772, 1e-11);
  EXPECT_NEAR(M.Determinant(), 21.099999999999999504, 1e-11);
  EXPECT_LT(M.Norm(ntFrobenius), Before / 50.0);
}

TEST_F(MatrixLinalgTest, BalanceSkipsEmptyLinesAndSurvivesNonFiniteCells) {
  TMatrix M(nullptr);
  // Row 1 and column 3 have no off-diagonal weight: those indices are skipped.
  SetRows(M, {{1, 0, 0}, {5, 2, 0}, {3, 4, 6}});
  M.Balance(1.0);
  for (const auto& Row : GetRows(M)) {
    for (double x : Row) {
      EXPECT_TRUE(std::isfinite(x));
    }
  }
  for (double Bad : {NaN, Inf}) {
    SetRows(M, {{1, 2, 3}, {4, Bad, 6}, {7, 8, 9}});
    M.Balance(1.0);  // ends, whatever it returns
    SetRows(M, {{1, Bad}, {3, 4}});
    M.Balance(NaN);
  }
  SetRows(M, {{1, 2, 3}, {4, 5, 6}});
  EXPECT_FALSE(M.Balance(1.0));
}

// ---------------------------------------------------------------- Correlate

TEST_F(MatrixLinalgTest, CorrelateAgainstReference) {
  struct TCase {
    std::string Name;
    TRows x, y;
    double Expected;
  };
  const std::vector<TCase> Cases = {
      {"2x3 (mpmath)", {{1, 2, 3}, {4, 5, 7}}, {{2, 1, 4}, {3, 7, 8}}, 0.90803349684457356008},
      {"far from zero", {{1e8 + 1, 1e8 + 2, 1e8 + 3}}, {{1, 2, 3}}, 1.0},
      {"negated", {{1, 5}, {2, 3}}, {{-1, -5}, {-2, -3}}, -1.0},
      {"no spread", {{2, 2, 2}}, {{1, 2, 3}}, 0.0},
      {"two cells", {{1, 2}}, {{2, 1}}, 0.0},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TMatrix x(nullptr), y(nullptr);
    SetRows(x, Case.x);
    SetRows(y, Case.y);
    EXPECT_NEAR(x.Correlate(&y), Case.Expected, 1e-15);
  }
}

TEST_F(MatrixLinalgTest, CorrelateOfMismatchedMatricesRaises) {
  TMatrix x(nullptr), y(nullptr);
  x.SetName("M");
  SetRows(x, {{1, 2, 3}});
  SetRows(y, {{1}, {2}, {3}});
  for (const TMatrix* Other : {static_cast<const TMatrix*>(&y), static_cast<const TMatrix*>(nullptr)}) {
    try {
      x.Correlate(Other);
      ADD_FAILURE() << "no exception";
    } catch (const EVexaMatrixError& E) {
      EXPECT_EQ(std::string(E.what()), "Component \"M\": matrices do not match");
    }
  }
}

// ---------------------------------------------------------------- Diff

TEST_F(MatrixLinalgTest, DiffAlongColumnsAndRows) {
  struct TCase {
    std::string Name;
    TRows Input;
    int32_t Order;
    TApplyColRow Mode;
    TRows Expected;
  };
  const std::vector<TCase> Cases = {
      {"down, order 1", {{1, 10}, {4, 20}, {9, 40}, {16, 80}}, 1, acrColumns, {{3, 10}, {5, 20}, {7, 40}}},
      {"down, order 2", {{1, 10}, {4, 20}, {9, 40}, {16, 80}}, 2, acrColumns, {{2, 10}, {2, 20}}},
      {"down, order 3", {{1, 10}, {4, 20}, {9, 40}, {16, 80}}, 3, acrColumns, {{0, 10}}},
      {"along, order 1", {{1, 4, 9, 16}, {0, 1, 0, 1}}, 1, acrRows, {{3, 5, 7}, {1, -1, 1}}},
      {"along, order 2", {{1, 4, 9, 16}, {0, 1, 0, 1}}, 2, acrRows, {{2, 2}, {-2, 2}}},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TMatrix M(nullptr);
    SetRows(M, Case.Input);
    TEventCounter Events;
    Events.Attach(M);
    EXPECT_EQ(M.Diff(Case.Order, Case.Mode), 0);
    EXPECT_TRUE(SameBits(GetRows(M), Case.Expected));
    EXPECT_EQ(Events.Changes, 1);
    EXPECT_EQ(Events.Resizes, 1);
  }
}

TEST_F(MatrixLinalgTest, DiffResultCodesChangeNothing) {
  const TRows Input = {{1, 2}, {4, 3}, {9, 5}};
  const std::vector<std::tuple<int32_t, TApplyColRow, int32_t>> Cases = {
      {0, acrColumns, -1}, {11, acrColumns, -1}, {-5, acrRows, -1}, {3, acrColumns, -2},
      {2, acrRows, -2},    {1, acrBoth, 0},      {10, acrColumns, -2},
  };
  for (const auto& [Order, Mode, Code] : Cases) {
    SCOPED_TRACE(Order);
    TMatrix M(nullptr);
    SetRows(M, Input);
    TEventCounter Events;
    Events.Attach(M);
    EXPECT_EQ(M.Diff(Order, Mode), Code);
    EXPECT_TRUE(SameBits(GetRows(M), Input));
    EXPECT_EQ(Events.Changes, 0);
  }
}

// ---------------------------------------------------------------- hat matrix

TEST_F(MatrixLinalgTest, HatMatrixIsTheProjectionOntoTheColumns) {
  const TRows X = {{1, 2}, {1, 3}, {1, 5}, {1, 7}};
  const TRows Expected = {
      {0.59322033898305084746, 0.44067796610169491525, 0.13559322033898305085, -0.16949152542372881356},
      {0.44067796610169491525, 0.35593220338983050847, 0.18644067796610169492, 0.016949152542372881356},
      {0.13559322033898305085, 0.18644067796610169492, 0.28813559322033898305, 0.38983050847457627119},
      {-0.16949152542372881356, 0.016949152542372881356, 0.38983050847457627119, 0.76271186440677966102}};
  TMatrix M(nullptr), H(nullptr);
  SetRows(M, X);
  TEventCounter Events;
  Events.Attach(H);
  ASSERT_EQ(M.CalcHatMatrix(&H), 0);
  ExpectNearRows(H, Expected, 1e-14);
  EXPECT_EQ(Events.Changes, 1);  // from the resize only
  EXPECT_EQ(Events.Resizes, 1);
  const TRows Hr = GetRows(H);
  ExpectNear(Product(Hr, Hr), Hr, 1e-14);
  ExpectNear(Hr, Transposed(Hr), 1e-15);
  EXPECT_NEAR(Hr[0][0] + Hr[1][1] + Hr[2][2] + Hr[3][3], 2.0, 1e-14);

  // Aliasing: HatMat = Self.
  ASSERT_EQ(M.CalcHatMatrix(&M), 0);
  ExpectNearRows(M, Expected, 1e-14);
}

TEST_F(MatrixLinalgTest, HatMatrixResultCodes) {
  const std::vector<std::tuple<std::string, TRows, int32_t>> Cases = {
      {"more columns than rows", {{1, 2, 3}, {4, 5, 6}}, -3},
      {"dependent columns", {{1, 2}, {2, 4}, {3, 6}}, -3},
  };
  for (const auto& [Name, Input, Code] : Cases) {
    SCOPED_TRACE(Name);
    TMatrix M(nullptr), H(nullptr);
    SetRows(M, Input);
    SetRows(H, {{5, 6}});
    EXPECT_EQ(M.CalcHatMatrix(&H), Code);
    EXPECT_TRUE(SameBits(GetRows(H), {{5, 6}}));
    EXPECT_EQ(M.CalcHatMatrix(&M), Code);
    EXPECT_TRUE(SameBits(GetRows(M), Input));
  }
  TMatrix M(nullptr);
  EXPECT_EQ(M.CalcHatMatrix(nullptr), -1);
}

}  // namespace
}  // namespace vexa
