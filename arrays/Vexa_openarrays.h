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

// ======================================================================
// Shapes, masks, copying, filling, random fills, files
// ======================================================================

}  // namespace vexa
