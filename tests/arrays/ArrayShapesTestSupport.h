#pragma once
// Helpers of the tests of the shapes, filling, copying, random and file
// routines: arrays of a given shape and their cells in index order.

#include <cstdint>
#include <vector>

#include "arrays/internal/Vexa_arraycore.h"

namespace vexa::testing {

/// An array of type A with the given dimensions (outermost first), cells 0.
template <class A>
A Shaped(std::vector<size_t> Dims) {
  if constexpr (arraycore::RankOf<A> == 1) {
    return A(Dims[0]);
  } else {
    const size_t Count = Dims[0];
    Dims.erase(Dims.begin());
    return A(Count, Shaped<typename A::value_type>(Dims));
  }
}

/// A cubic array of type A with Size indices per dimension.
template <class A>
A Cube(size_t Size) {
  return Shaped<A>(std::vector<size_t>(arraycore::RankOf<A>, Size));
}

/// The cells of A as doubles, in index order (last index fastest).
template <class A>
std::vector<double> Cells(const A& Arr) {
  std::vector<double> Values;
  if constexpr (arraycore::RankOf<A> == 1) {
    for (const auto v : Arr) {
      Values.push_back(static_cast<double>(v));
    }
  } else {
    for (const auto& Inner : Arr) {
      const auto More = Cells(Inner);
      Values.insert(Values.end(), More.begin(), More.end());
    }
  }
  return Values;
}

/// A (for rank >= 2) with its last column one cell short: a ragged array.
template <class A>
A MakeRagged(A Arr) {
  if constexpr (arraycore::RankOf<A> == 2) {
    Arr.back().pop_back();
  } else if constexpr (arraycore::RankOf<A> > 2) {
    Arr.back() = MakeRagged(Arr.back());
  }
  return Arr;
}

using AllNumericArrays = ::testing::Types<TDoubleArray, TDouble2DArray, TDouble3DArray, TDouble4DArray, TIntArray,
                                          TInt2DArray, TInt3DArray, TInt4DArray>;

}  // namespace vexa::testing
