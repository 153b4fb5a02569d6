#pragma once
// Filling a vector from a list of values and reading its values back, for the
// vector tests (works for TVector and TIntVector).

#include <cstdint>
#include <vector>

namespace vexa::testing {

/// Resizes v to the list's length and writes the values through the setter.
template <class TVec, class T>
void SetValues(TVec& v, const std::vector<T>& Values) {
  v.Resize(static_cast<int32_t>(Values.size()));
  for (size_t i = 0; i < Values.size(); ++i) {
    v.SetElem(static_cast<int32_t>(i + 1), Values[i]);
  }
}

/// The elements 1 … NrOfElem of v.
template <class TVec>
auto ValuesOf(const TVec& v) {
  std::vector<decltype(v.Elem(1))> Values;
  for (int32_t i = 1; i <= v.NrOfElem(); ++i) {
    Values.push_back(v.Elem(i));
  }
  return Values;
}

}  // namespace vexa::testing
