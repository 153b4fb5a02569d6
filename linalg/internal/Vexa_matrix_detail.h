#pragma once
// Internal to the matrix unit (not installed): helpers shared by its .cpp files.
//
// The members of TMatrixBase are defined in several .cpp files by topic. The
// class is explicitly instantiated in Vexa_matrix.cpp for the members defined
// there; every other file instantiates the members it defines with
// VEXA_FOR_ALL_MATRICES, which expands a member list once per matrix class.

#include <cstdint>

#include "linalg/Vexa_intmatrix.h"
#include "linalg/Vexa_matrix.h"

/// Expands LIST(Self, TElem) for every matrix class built on TMatrixBase.
#define VEXA_FOR_ALL_MATRICES(LIST) \
  LIST(::vexa::TMatrix, double)      \
  LIST(::vexa::TIntMatrix, int32_t)
