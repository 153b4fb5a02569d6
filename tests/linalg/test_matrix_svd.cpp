// The shared singular value decomposition: singular values against a
// 40-digit reference (mpmath svd_r), reconstruction, orthogonality, signs,
// progress/abort, and hostile inputs.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "fundora/Vexa_vexabase.h"
#include "linalg/internal/Vexa_svd.h"

namespace vexa {
namespace {

using svd::SingularValueDecomposition;

/// The package's [column][row] array from a matrix written row by row.
TDouble2DArray FromRows(const std::vector<std::vector<double>>& Rows) {
  TDouble2DArray A(Rows[0].size(), TDoubleArray(Rows.size()));
  for (size_t r = 0; r < Rows.size(); ++r) {
    for (size_t c = 0; c < Rows[r].size(); ++c) {
      A[c][r] = Rows[r][c];
    }
  }
  return A;
}

struct TSvdCase {
  std::string Name;
  std::vector<std::vector<double>> Rows;
  std::vector<double> Expected;  // non-zero singular values, descending (mpmath, 40 digits)
};

/// Resets the progress globals around each test.
class SvdTest : public ::testing::Test {
protected:
  void SetUp() override { ResetHooks(); }
  void TearDown() override { ResetHooks(); }
  static void ResetHooks() {
    AbortMathProc = false;
    MathFeedBackProc = nullptr;
    ProcStat = 0.0;
  }
};

TEST_F(SvdTest, SingularValuesReconstructionAndOrthogonality) {
  const std::vector<TSvdCase> Cases = {
      {"tall 4x3",
       {{4, 1, -2}, {2, 3, 0.5}, {-1, 2, 5}, {0.25, -3, 1}},
       {6.1977340523153664081, 5.3624924029818380421, 2.672876324249331847}},
      {"square 3x3", {{2, -1, 0}, {-1, 2, -1}, {0, -1, 2}}, {3.4142135623730950488, 2.0, 0.5857864376269049512}},
      {"wide 2x4", {{1, 2, 3, 4}, {2, -1, 0.5, 3}}, {6.1444283288301955807, 2.5487252719485028734, 0, 0}},
      {"rank deficient 3x3", {{1, 2, 3}, {2, 4, 6}, {1, 0, 1}}, {8.4354485157870468418, 0.91826376249207860599, 0}},
      {"single cell", {{-3}}, {3}},
      {"huge cells", {{3e300, 0}, {4e300, 5e300}}, {6.7082039324993690892e300, 2.2360679774997896964e300}},
      {"tiny cells", {{3e-300, 0}, {4e-300, 5e-300}}, {6.7082039324993690892e-300, 2.2360679774997896964e-300}},
      {"zero 2x2", {{0, 0}, {0, 0}}, {0, 0}},
  };
  for (const TSvdCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    const TDouble2DArray A = FromRows(Case.Rows);
    const size_t n = A.size();
    const size_t m = A[0].size();
    TDouble2DArray U, V;
    TDoubleArray W;
    ASSERT_EQ(SingularValueDecomposition(A, U, W, V), svd::svdConverged);
    ASSERT_EQ(U.size(), n);
    ASSERT_EQ(U[0].size(), m);
    ASSERT_EQ(W.size(), n);
    ASSERT_EQ(V.size(), n);
    ASSERT_EQ(V[0].size(), n);

    TDoubleArray Sorted = W;
    std::sort(Sorted.begin(), Sorted.end(), std::greater<>());
    const double Scale = Case.Expected[0] > 0.0 ? Case.Expected[0] : 1.0;
    for (size_t k = 0; k < n; ++k) {
      EXPECT_GE(W[k], 0.0);
      EXPECT_NEAR(Sorted[k], Case.Expected[k], 1e-14 * Scale) << "k = " << k;
    }
    for (size_t c = 0; c < n; ++c) {
      for (size_t r = 0; r < m; ++r) {
        double Cell = 0.0;
        for (size_t k = 0; k < n; ++k) {
          Cell += U[k][r] * W[k] * V[k][c];
        }
        EXPECT_NEAR(Cell, A[c][r], 1e-14 * Scale) << "cell " << c << "," << r;
      }
    }
    for (size_t i = 0; i < n; ++i) {
      for (size_t j = 0; j < n; ++j) {
        double VtV = 0.0, UtU = 0.0;
        for (size_t k = 0; k < n; ++k) {
          VtV += V[i][k] * V[j][k];
        }
        for (size_t r = 0; r < m; ++r) {
          UtU += U[i][r] * U[j][r];
        }
        EXPECT_NEAR(VtV, i == j ? 1.0 : 0.0, 1e-14);
        if (W[i] > 1e-12 * Scale && W[j] > 1e-12 * Scale) {
          EXPECT_NEAR(UtU, i == j ? 1.0 : 0.0, 1e-14);
        }
      }
    }
  }
}

TEST_F(SvdTest, OneProgressStepPerOuterStepAndAbortKeepsOutputs) {
  const TDouble2DArray A = FromRows({{4, 1, -2}, {2, 3, 0.5}, {-1, 2, 5}, {0.25, -3, 1}});
  TDouble2DArray U, V;
  TDoubleArray W;
  int Calls = 0;
  MathFeedBackProc = [&Calls](double) { ++Calls; };
  ASSERT_EQ(SingularValueDecomposition(A, U, W, V), svd::svdConverged);
  // n steps each for bidiagonalisation, V, U (min(m, n) = n) and the diagonal.
  EXPECT_EQ(Calls, 12);
  EXPECT_EQ(ProcStat.load(), 12.0);

  for (int AbortAt : {1, 5, 12}) {
    SCOPED_TRACE(AbortAt);
    TDouble2DArray U2 = {{7.0}}, V2 = {{8.0}};
    TDoubleArray W2 = {9.0};
    Calls = 0;
    AbortMathProc = false;
    MathFeedBackProc = [&Calls, AbortAt](double) {
      if (++Calls == AbortAt) {
        AbortMathProc = true;
      }
    };
    EXPECT_EQ(SingularValueDecomposition(A, U2, W2, V2), svd::svdAborted);
    EXPECT_EQ(Calls, AbortAt);
    EXPECT_EQ(U2, TDouble2DArray{{7.0}});
    EXPECT_EQ(V2, TDouble2DArray{{8.0}});
    EXPECT_EQ(W2, TDoubleArray{9.0});
  }
}

TEST_F(SvdTest, HostileInputsEndWithAStatus) {
  TDouble2DArray U, V;
  TDoubleArray W;
  EXPECT_EQ(SingularValueDecomposition({}, U, W, V), svd::svdBadShape);
  EXPECT_EQ(SingularValueDecomposition({{}}, U, W, V), svd::svdBadShape);
  EXPECT_EQ(SingularValueDecomposition({{1.0, 2.0}, {3.0}}, U, W, V), svd::svdBadShape);
  EXPECT_TRUE(U.empty());

  const double NaN = std::numeric_limits<double>::quiet_NaN();
  const double Inf = std::numeric_limits<double>::infinity();
  for (double Bad : {NaN, Inf, -Inf}) {
    SCOPED_TRACE(Bad);
    TDouble2DArray A = FromRows({{1, 2, 3}, {4, Bad, 6}, {7, 8, 10}});
    EXPECT_EQ(SingularValueDecomposition(A, U, W, V), svd::svdNotConverged);
    EXPECT_EQ(W.size(), 3u);
  }
}

}  // namespace
}  // namespace vexa
