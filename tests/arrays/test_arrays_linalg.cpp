// Array routines: inversion, LU factors, determinant, products and the
// symmetric eigendecomposition. Reference values were computed exactly with
// python3's fractions module.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "arrays/Vexa_openarrays.h"

namespace vexa {
namespace {

/// A [column][row] array from a matrix written row by row.
TDouble2DArray FromRows(const std::vector<std::vector<double>>& Rows) {
  TDouble2DArray A(Rows[0].size(), TDoubleArray(Rows.size()));
  for (size_t r = 0; r < Rows.size(); ++r) {
    for (size_t c = 0; c < Rows[r].size(); ++c) {
      A[c][r] = Rows[r][c];
    }
  }
  return A;
}

/// The [column][row] product of two square arrays, computed naively.
TDouble2DArray NaiveProduct(const TDouble2DArray& A, const TDouble2DArray& B) {
  const size_t n = A.size();
  TDouble2DArray C(n, TDoubleArray(n, 0.0));
  for (size_t c = 0; c < n; ++c)
    for (size_t r = 0; r < n; ++r)
      for (size_t k = 0; k < n; ++k) C[c][r] += A[k][r] * B[c][k];
  return C;
}

void ExpectNear(const TDouble2DArray& Actual, const TDouble2DArray& Expected, double Tol) {
  ASSERT_EQ(Actual.size(), Expected.size());
  for (size_t c = 0; c < Actual.size(); ++c) {
    ASSERT_EQ(Actual[c].size(), Expected[c].size());
    for (size_t r = 0; r < Actual[c].size(); ++r) {
      EXPECT_NEAR(Actual[c][r], Expected[c][r], Tol) << "cell [" << c << "][" << r << "]";
    }
  }
}

// Rows (0 2 1; 1 1 0; 3 0 4): the first pivot needs a row exchange.
const std::vector<std::vector<double>> kExchangeRows{{0, 2, 1}, {1, 1, 0}, {3, 0, 4}};
// Rows (4 −2 1 3; 3 6 −4 2; 2 1 8 −5; 1 −3 2 7), determinant 1654.
const std::vector<std::vector<double>> kFourRows{
    {4, -2, 1, 3}, {3, 6, -4, 2}, {2, 1, 8, -5}, {1, -3, 2, 7}};

TEST(ArraysLinalg, InvertArrayMatchesExactInverses) {
  TDouble2DArray A = FromRows(kExchangeRows);
  ASSERT_EQ(InvertArray(A), 0);
  ExpectNear(A, FromRows({{-4. / 11, 8. / 11, 1. / 11},
                          {4. / 11, 3. / 11, -1. / 11},
                          {3. / 11, -6. / 11, 2. / 11}}),
             1e-15);

  TDouble2DArray B = FromRows(kFourRows);
  ASSERT_EQ(InvertArray(B), 0);
  ExpectNear(B, FromRows({{208. / 827, 23. / 827, 8. / 827, -90. / 827},
                          {-133. / 827, 233. / 1654, 117. / 1654, 131. / 1654},
                          {-76. / 827, 15. / 1654, 185. / 1654, 193. / 1654},
                          {-65. / 827, 89. / 1654, -5. / 1654, 263. / 1654}}),
             1e-15);

  TDouble2DArray D = FromRows({{2, 0}, {0, 4}});
  ASSERT_EQ(InvertArray(D), 0);
  EXPECT_EQ(D, FromRows({{0.5, 0}, {0, 0.25}}));
}

TEST(ArraysLinalg, InvertArrayOfALargerMatrixGivesTheIdentity) {
  const size_t n = 60;
  TDouble2DArray A(n, TDoubleArray(n));
  for (size_t c = 0; c < n; ++c)
    for (size_t r = 0; r < n; ++r) A[c][r] = std::sin(double(3 * c + 7 * r + 1)) + (c == r ? 4 : 0);
  TDouble2DArray Inv = A;
  ASSERT_EQ(InvertArray(Inv), 0);
  TDouble2DArray Identity(n, TDoubleArray(n, 0.0));
  for (size_t k = 0; k < n; ++k) Identity[k][k] = 1;
  ExpectNear(NaiveProduct(A, Inv), Identity, 1e-12);
}

TEST(ArraysLinalg, FailedInversionLeavesTheArrayBitIdentical) {
  struct Case {
    TDouble2DArray A;
    int32_t Status;
  };
  const Case Cases[] = {
      {FromRows({{1, 2}, {0, 0}}), -3},                   // a row of zeros
      {FromRows({{1, 0, 2}, {3, 0, 4}, {5, 0, 6}}), -3},  // a column of zeros
      {FromRows({{1, 2}, {2, 4}}), -3},                   // dependent rows
      {FromRows({{1, 2, 3}}), -1},                        // not square
      {TDouble2DArray{}, -1},
      {TDouble2DArray{{1, 2}, {3}}, -1},  // ragged
  };
  for (const Case& c : Cases) {
    TDouble2DArray A = c.A;
    EXPECT_EQ(InvertArray(A), c.Status);
    EXPECT_EQ(A, c.A);
  }
}

TEST(ArraysLinalg, InvertArrayStopsWhenAborted) {
  TDouble2DArray A = FromRows(kFourRows);
  const TDouble2DArray Before = A;
  int Calls = 0;
  MathFeedBackProc = [&Calls](double) {
    if (++Calls == 6) AbortMathProc = true;  // during the solving phase
  };
  EXPECT_EQ(InvertArray(A), -4);
  MathFeedBackProc = nullptr;
  AbortMathProc = false;
  EXPECT_EQ(A, Before);
  EXPECT_EQ(Calls, 6);
}

TEST(ArraysLinalg, LUFactorsReproduceTheMatrix) {
  for (const auto& Rows : {kExchangeRows, kFourRows}) {
    const TDouble2DArray A = FromRows(Rows);
    TDouble2DArray L, U;
    ASSERT_EQ(LUdecomposition(A, L, U), 0);
    ExpectNear(NaiveProduct(L, U), A, 1e-13);
    for (size_t c = 0; c < U.size(); ++c)
      for (size_t r = c + 1; r < U.size(); ++r) EXPECT_EQ(U[c][r], 0.0);

    TDouble2DArray LU, UU;
    TIntArray Perm;
    ASSERT_EQ(LUPdecomposition(A, LU, UU, Perm), 0);
    EXPECT_EQ(UU, U);
    TDouble2DArray Product = NaiveProduct(LU, UU);
    for (size_t k = 0; k < Perm.size(); ++k) {
      EXPECT_EQ(LU[k][k], 1.0);
      for (size_t c = 0; c < A.size(); ++c)
        EXPECT_NEAR(Product[c][k], A[c][size_t(Perm[k])], 1e-13);
    }
  }
  // A singular matrix factors too.
  TDouble2DArray L, U;
  EXPECT_EQ(LUdecomposition(FromRows({{1, 2}, {2, 4}}), L, U), 0);
  ExpectNear(NaiveProduct(L, U), FromRows({{1, 2}, {2, 4}}), 0);
  L = {{7}};
  EXPECT_EQ(LUdecomposition(FromRows({{1, 2, 3}}), L, U), -1);
  EXPECT_EQ(L, TDouble2DArray{{7}});
}

TEST(ArraysLinalg, DeterminantCarriesTheSignOfTheRowExchanges) {
  struct Case {
    std::vector<std::vector<double>> Rows;
    double Det;
  };
  const Case Cases[] = {
      {kExchangeRows, -11},
      {kFourRows, 1654},
      {{{0, 1}, {1, 0}}, -1},
      {{{1, 2}, {2, 4}}, 0},
      {{{5}}, 5},
  };
  for (const Case& c : Cases) {
    EXPECT_NEAR(Determinant(FromRows(c.Rows)), c.Det, 1e-12 * std::max(1.0, std::fabs(c.Det)));
  }
  EXPECT_EQ(Determinant(FromRows({{1, 2, 3}})), 0.0);
  EXPECT_EQ(Determinant(TDouble2DArray{}), 0.0);
}

TEST(ArraysLinalg, ProductsInTheColumnFirstConvention) {
  // A: 2 rows × 3 columns, B: 3 rows × 2 columns; A·B = (4 5; 10 11).
  const TDouble2DArray A = FromRows({{1, 2, 3}, {4, 5, 6}});
  const TDouble2DArray B = FromRows({{1, 0}, {0, 1}, {1, 1}});
  TDouble2DArray C;
  ASSERT_EQ(MultiplyArrays(A, B, C), 0);
  EXPECT_EQ(C, FromRows({{4, 5}, {10, 11}}));
  EXPECT_EQ(MultiplyArrays(A, A, C), -2);
  EXPECT_EQ(MultiplyArrays(A, TDouble2DArray{}, C), -1);

  TDoubleArray v;
  ASSERT_EQ(MultiplyArrays(A, TDoubleArray{1, 1, 1}, v), 0);  // matrix · column
  EXPECT_EQ(v, (TDoubleArray{6, 15}));
  ASSERT_EQ(MultiplyArrays(TDoubleArray{1, -1}, A, v), 0);  // row · matrix
  EXPECT_EQ(v, (TDoubleArray{-3, -3, -3}));
  EXPECT_EQ(MultiplyArrays(A, TDoubleArray{1, 1}, v), -2);

  // Integer products wrap in 32 bits.
  const TInt2DArray I{{65536}}, J{{65536}};
  TInt2DArray K;
  ASSERT_EQ(MultiplyArrays(I, J, K), 0);
  EXPECT_EQ(K, TInt2DArray{{0}});
  TIntArray w;
  ASSERT_EQ(MultiplyArrays(TInt2DArray{{1, 2}, {3, 4}}, TIntArray{1, 10}, w), 0);
  EXPECT_EQ(w, (TIntArray{31, 42}));
}

TEST(ArraysLinalg, DotAndCrossProducts) {
  double d = -1;
  EXPECT_EQ(VectorDotProduct(TDoubleArray{1, 2, 3}, TDoubleArray{4, 5, 6}, d), 0);
  EXPECT_EQ(d, 32.0);
  EXPECT_EQ(VectorDotProduct(TDoubleArray{1, 2}, TDoubleArray{4, 5, 6}, d), -2);
  EXPECT_EQ(VectorDotProduct(TDoubleArray{}, TDoubleArray{4}, d), -1);
  EXPECT_EQ(d, 32.0);
  int32_t i = 0;
  EXPECT_EQ(VectorDotProduct(TIntArray{INT32_MAX, 1}, TIntArray{1, 1}, i), 0);
  EXPECT_EQ(i, INT32_MIN);

  TDoubleArray c;
  EXPECT_EQ(VectorCrossProduct(TDoubleArray{1, 0, 0}, TDoubleArray{0, 1, 0}, c), 0);
  EXPECT_EQ(c, (TDoubleArray{0, 0, 1}));
  TIntArray ci;
  EXPECT_EQ(VectorCrossProduct(TIntArray{1, 2, 3}, TIntArray{4, 5, 6}, ci), 0);
  EXPECT_EQ(ci, (TIntArray{-3, 6, -3}));
  EXPECT_EQ(VectorCrossProduct(TIntArray{1, 2}, TIntArray{4, 5}, ci), -2);
}

TEST(ArraysLinalg, EigenDecompositionOfSymmetricMatrices) {
  // Eigenvalues of the second-difference matrix: 2 − √2, 2, 2 + √2.
  const TDouble2DArray A = FromRows({{2, -1, 0}, {-1, 2, -1}, {0, -1, 2}});
  TDouble2DArray V;
  TDoubleArray Values;
  ASSERT_EQ(EigenDecomposition(A, true, V, Values), 0);
  const double s = std::sqrt(2.0);
  ASSERT_EQ(Values.size(), 3u);
  EXPECT_NEAR(Values[0], 2 + s, 1e-14);
  EXPECT_NEAR(Values[1], 2, 1e-14);
  EXPECT_NEAR(Values[2], 2 - s, 1e-14);
  for (size_t k = 0; k < 3; ++k) {
    double Norm = 0;
    for (size_t r = 0; r < 3; ++r) {
      double Av = 0;
      for (size_t c = 0; c < 3; ++c) Av += A[c][r] * V[k][c];
      EXPECT_NEAR(Av, Values[k] * V[k][r], 1e-14);
      Norm += V[k][r] * V[k][r];
    }
    EXPECT_NEAR(Norm, 1.0, 1e-14);
  }

  TDouble2DArray Vectors{{9}};
  EXPECT_EQ(EigenDecomposition(FromRows({{1, 2}, {3, 1}}), true, Vectors, Values), -2);
  EXPECT_EQ(EigenDecomposition(FromRows({{1, 2, 3}}), true, Vectors, Values), -1);
  EXPECT_EQ(Vectors, TDouble2DArray{{9}});
  // A diagonal matrix is its own decomposition; unsorted keeps the order.
  ASSERT_EQ(EigenDecomposition(FromRows({{1, 0}, {0, 3}}), false, Vectors, Values), 0);
  EXPECT_EQ(Values, (TDoubleArray{1, 3}));
}

}  // namespace
}  // namespace vexa
