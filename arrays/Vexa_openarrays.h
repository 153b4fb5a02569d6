#pragma once
/// @file
/// Routines over plain dynamic arrays of one to four dimensions (0-based;
/// multi-dimensional arrays indexed [column][row][layer][time slot]):
/// statistics, search, sorting, arithmetic and linear algebra; shapes,
/// masks, copying, filling, random fills and array files.

#include <cstdint>
#include <string>

#include "fundora/Vexa_vexabase.h"

namespace vexa {

// ======================================================================
// Statistics, search, sorting, arithmetic, linear algebra
// ======================================================================
//
// Status results: 0 success; -1 an empty array (a ragged array counts as
// empty); -2 a range index outside the array, a high index below its low
// one, or arrays of different sizes; further codes as listed. Range
// arguments come as all low indices, then all high indices, in dimension
// order. Routines that return a value instead of a status raise EVexaError
// "<routine>: array is not rectangular" for a ragged array; Boolean ones
// return false. Integer cell arithmetic wraps in 32 bits.
//
// Matrices in 2-D arrays: A[c][r] is the cell of column c and row r.

// ---------------------------------------------------------------- linear algebra

/// Inverts the square matrix A in place (Crout LU with scaled partial
/// pivoting on a row-contiguous copy). Returns 0; -1 empty, ragged or not
/// square; -2 out of memory; -3 singular (a row of zeros, or a pivot below
/// 1e-100); -4 aborted through AbortMathProc. A is changed only on success.
/// One ProgressStep per column of the factorisation and per solved column.
int32_t InvertArray(TDouble2DArray& A);

/// LU factors of the square matrix A with partial pivoting: L = Pᵀ·(unit
/// lower triangle), U upper, so that L·U = A. Singular matrices factor too.
/// Returns 0, or -1 (empty, ragged, not square; L and U unchanged).
int32_t LUdecomposition(const TDouble2DArray& A, TDouble2DArray& L, TDouble2DArray& U);
/// LU factors with the row permutation kept apart: L unit lower, U upper,
/// and row k of L·U is row Perm[k] of A (0-based). Returns 0 or -1 as
/// LUdecomposition.
int32_t LUPdecomposition(const TDouble2DArray& A, TDouble2DArray& L, TDouble2DArray& U,
                         TIntArray& Perm);
/// Determinant of a square matrix by partial-pivoting LU: the sign of the
/// row permutation times the product of U's diagonal; 0 for an empty or
/// non-square array.
double Determinant(const TDouble2DArray& A);

/// Matrix products C = A·B, C resized to [columns of B][rows of A]; the
/// matrix·column forms take the 1-D operand as a column (result: one value
/// per row of A), the row·matrix forms as a row (one value per column of
/// B). Returns 0; -1 an empty operand; -2 inner sizes differ. Integer
/// products wrap in 32 bits.
int32_t MultiplyArrays(const TDouble2DArray& A, const TDouble2DArray& B, TDouble2DArray& C);
int32_t MultiplyArrays(const TDouble2DArray& A, const TDoubleArray& B, TDoubleArray& C);
int32_t MultiplyArrays(const TDoubleArray& A, const TDouble2DArray& B, TDoubleArray& C);
int32_t MultiplyArrays(const TInt2DArray& A, const TInt2DArray& B, TInt2DArray& C);
int32_t MultiplyArrays(const TInt2DArray& A, const TIntArray& B, TIntArray& C);
int32_t MultiplyArrays(const TIntArray& A, const TInt2DArray& B, TIntArray& C);

/// Σ A[k]·B[k]. Returns 0; -1 empty; -2 lengths differ (Product unchanged).
int32_t VectorDotProduct(const TDoubleArray& A, const TDoubleArray& B, double& Product);
int32_t VectorDotProduct(const TIntArray& A, const TIntArray& B, int32_t& Product);
/// The cross product A × B of two vectors of length 3 into C. Returns 0;
/// -1 empty; -2 a length other than 3.
int32_t VectorCrossProduct(const TDoubleArray& A, const TDoubleArray& B, TDoubleArray& C);
int32_t VectorCrossProduct(const TIntArray& A, const TIntArray& B, TIntArray& C);

/// Eigenvalues and eigenvectors of a symmetric matrix by the cyclic Jacobi
/// method on a copy: EigVecs[k] is the unit eigenvector of EigVals[k]. With
/// SortDescending the eigenvalues are sorted from the largest down, their
/// vectors with them. Returns 0; -1 empty, ragged or not square; -2 not
/// symmetric (|A[i][j] − A[j][i]| above 1e-12 times the largest |cell|);
/// -3 no convergence within 100 sweeps; -4 aborted (one ProgressStep per
/// sweep). The outputs are changed only on success.
int32_t EigenDecomposition(const TDouble2DArray& A, bool SortDescending, TDouble2DArray& EigVecs,
                           TDoubleArray& EigVals);

// ======================================================================
// Shapes, masks, copying, filling, random fills, files
// ======================================================================

}  // namespace vexa
