#pragma once
/// @file
/// The element names of the matrix XML files, shared by TMatrix, TIntMatrix,
/// TMat3D and TMat4D, and the tag ordinals their ProcessXmlTag handlers take.
///
/// @code
/// <?xml version="1.0"?>
/// <matrix id="counts">
///   <numcols>2</numcols>
///   <numrows>1</numrows>
///   <cell ix="1" iy="1">1.5</cell>
///   <cell ix="2" iy="1">-INF</cell>
/// </matrix>
/// @endcode

#include <array>
#include <cstdint>
#include <string>

namespace vexa {

/// Tags of the matrix XML files; xmlInvalid stands for every unknown or
/// malformed element.
enum TMatXmlTag : uint8_t {
  xmlMatNumCols,       ///< "numcols": number of columns
  xmlMatNumRows,       ///< "numrows": number of rows
  xmlMatNumLayers,     ///< "numplanes": number of layers (3-D and 4-D)
  xmlMatNumTimeSlots,  ///< "numtimeslots": number of time slots (4-D)
  xmlMatCell,          ///< "cell": one cell, attributes ix, iy (and iz, or il and it)
  xmlMatBegin,         ///< "matrix": start of a matrix, attribute id
  xmlMatEnd,           ///< "/matrix": end of a matrix
  xmlInvalid           ///< "invalidtag": anything else
};

/// The element names in the order of TMatXmlTag.
inline const std::array<std::string, 8> kMatXmlTagNames{
    "numcols", "numrows", "numplanes", "numtimeslots", "cell", "matrix", "/matrix", "invalidtag"};

/// A dimension element that has not appeared (TMatXmlPending::Dims).
inline constexpr int32_t kMatXmlDimNotGiven = -1;

/// What ProcessXmlTag keeps in a matrix between calls: the pending
/// dimensions (columns, rows, layers, time slots; kMatXmlDimNotGiven, 0 for
/// an unreadable or non-positive count, or the count) and whether the next
/// cell is the first of a matrix (which resizes and zero-fills it).
struct TMatXmlPending {
  std::array<int32_t, 4> Dims{kMatXmlDimNotGiven, kMatXmlDimNotGiven, kMatXmlDimNotGiven, kMatXmlDimNotGiven};
  bool FirstCell = true;
};

}  // namespace vexa
