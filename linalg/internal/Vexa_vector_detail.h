#pragma once
// Internal to the vector unit (not installed): helpers shared by its .cpp files.
//
// The members of TVectorBase are defined in several .cpp files by topic. The
// whole class is explicitly instantiated in Vexa_vector.cpp; every other file
// instantiates the members it defines with VEXA_FOR_BOTH_VECTORS, which
// expands a member list once for each of the two classes.

#include <cstdint>
#include <type_traits>

#include "linalg/Vexa_vector.h"
#include "platform/Vexa_intmath.h"

/// Expands LIST(Self, TElem) for TVector and for TIntVector.
#define VEXA_FOR_BOTH_VECTORS(LIST) \
  LIST(::vexa::TVector, double)     \
  LIST(::vexa::TIntVector, int32_t)

namespace vexa::vector_detail {

/// True for TVector's element type.
template <class TElem>
inline constexpr bool kIsReal = std::is_same_v<TElem, double>;

/// a + b, wrapping for 32-bit integers.
inline double AddElems(double a, double b) noexcept { return a + b; }
inline int32_t AddElems(int32_t a, int32_t b) noexcept { return WrapAdd32(a, b); }
/// a − b, wrapping for 32-bit integers.
inline double SubElems(double a, double b) noexcept { return a - b; }
inline int32_t SubElems(int32_t a, int32_t b) noexcept { return WrapSub32(a, b); }
/// a · b, wrapping for 32-bit integers.
inline double MulElems(double a, double b) noexcept { return a * b; }
inline int32_t MulElems(int32_t a, int32_t b) noexcept { return WrapMul32(a, b); }

/// |a − b| as a double (exact for 32-bit integers).
inline double Distance(double a, double b) noexcept { return a > b ? a - b : b - a; }
inline double Distance(int32_t a, int32_t b) noexcept {
  const int64_t d = static_cast<int64_t>(a) - b;
  return static_cast<double>(d < 0 ? -d : d);
}

}  // namespace vexa::vector_detail
