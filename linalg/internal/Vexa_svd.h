#pragma once
// Internal to the numerics package (not installed): the one singular value
// decomposition that the matrix norm, the fitting routines, the multivariate
// routines and the learner share.
//
// Contract of SingularValueDecomposition(A, U, W, V):
//  - A is an m × n matrix in the package's array layout A[column][row]
//    (n = A.size() columns of m = A[0].size() rows); any m, n ≥ 1, also m < n.
//  - Golub–Reinsch: Householder reduction to bidiagonal form, accumulation of
//    both transformations, then implicit-shift QR sweeps on the bidiagonal.
//    Every singular value gets at most 30 QR iterations.
//  - Outputs: U (m × n, U[column][row]), W (n values), V (n × n,
//    V[column][row]) with A = U · diag(W) · Vᵀ to rounding. Every W[k] ≥ 0
//    (a negative value is negated together with column k of V). The columns
//    of U that belong to a non-zero W[k] are orthonormal; those of a zero
//    W[k] are not specified. When m < n, at least n − m of the W are zero.
//    The singular values come unsorted.
//  - Progress: one ProgressStep() (ProcStat + 1, MathFeedBackProc, abort test)
//    per step of each outer loop (bidiagonalisation, the two accumulations,
//    one per singular value in the diagonalisation). Call it on the thread
//    that owns MathFeedBackProc.
//  - Status: svdConverged; svdNotConverged when a singular value did not
//    converge within 30 iterations (the decomposition is still completed and
//    written, but its accuracy is not assured; NaN or infinite input ends
//    here too); svdAborted when AbortMathProc was seen; svdBadShape for an
//    empty or ragged A; svdOutOfMemory when the working storage cannot be
//    had. The outputs are written only for svdConverged and svdNotConverged.

#include <cstdint>

#include "fundora/Vexa_vexabase.h"

namespace vexa::svd {

/// Outcome of SingularValueDecomposition.
enum TSvdStatus : uint8_t { svdConverged, svdNotConverged, svdAborted, svdBadShape, svdOutOfMemory };

/// Largest number of implicit-shift QR iterations per singular value.
inline constexpr int kMaxQRIterations = 30;

/// Decomposes A = U · diag(W) · Vᵀ; see the contract at the top of this file.
TSvdStatus SingularValueDecomposition(const TDouble2DArray& A, TDouble2DArray& U, TDoubleArray& W,
                                      TDouble2DArray& V);

}  // namespace vexa::svd
