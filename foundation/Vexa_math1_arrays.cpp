// Small array helpers: sorted insertion, comb sort, selection of the k-th
// smallest value, histogram bins, squashing.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "foundation/Vexa_combsort.h"
#include "foundation/Vexa_math1.h"
#include "foundation/Vexa_progress.h"
#include "platform/Vexa_intmath.h"

namespace vexa {

// ---------------------------------------------------------------- SortIntoArray

namespace {

template <typename T>
int32_t SortIntoSpan(std::span<T> A, T x, bool Ascending, bool AllowDuplicates) {
  if (A.empty()) return -1;
  const size_t last = A.size() - 1;
  // x belongs before the first element that is not "better" than it.
  const auto comesBefore = [Ascending](T value, T element) {
    return Ascending ? value <= element : value >= element;
  };
  size_t pos = 0;
  while (pos < last && !comesBefore(x, A[pos])) ++pos;
  const bool afterLast = Ascending ? x > A[last] : x < A[last];
  if (afterLast) return -1;
  if (!AllowDuplicates && x == A[pos]) return -1;
  std::move_backward(A.begin() + static_cast<std::ptrdiff_t>(pos),
                     A.begin() + static_cast<std::ptrdiff_t>(last),
                     A.begin() + static_cast<std::ptrdiff_t>(last) + 1);
  A[pos] = x;
  return static_cast<int32_t>(pos);
}

template <typename T>
void InsertIntoSpan(std::span<T> A, T x, int32_t Index) {
  if (Index < 0 || static_cast<size_t>(Index) >= A.size()) return;
  const auto at = A.begin() + Index;
  std::move_backward(at, A.end() - 1, A.end());
  *at = x;
}

/// Reads a value of type T from memory that may not be aligned for T.
template <typename T>
T LoadValue(const void* p) {
  T value;
  std::memcpy(&value, p, sizeof(T));
  return value;
}

/// The element type of a generic array; false for kinds the generic
/// routines do not handle.
enum TElemType { etDouble, etSingle, etInt32 };
bool ElemTypeOfKind(TVarKind Kind, TElemType& Type) {
  switch (Kind) {
    case vkDouble:
    case vkReal:
      Type = etDouble;
      return true;
    case vkSingle:
      Type = etSingle;
      return true;
    case vkInteger:
    case vkLongint:
      Type = etInt32;
      return true;
    default:
      return false;
  }
}

/// Runs Action(span) on p viewed as NumElems elements of the kind's type.
/// Generic arrays come from callers that may not align them for the type, so
/// the elements are copied into an aligned buffer and written back.
template <typename T, typename TAction>
void WithTypedArray(void* p, int32_t NumElems, TAction&& Action) {
  std::vector<T> buffer(static_cast<size_t>(NumElems));
  std::memcpy(buffer.data(), p, buffer.size() * sizeof(T));
  Action(std::span<T>(buffer));
  std::memcpy(p, buffer.data(), buffer.size() * sizeof(T));
}

}  // namespace

int32_t SortIntoArray(std::span<double> A, double x, bool Ascending, bool AllowDuplicates) {
  return SortIntoSpan(A, x, Ascending, AllowDuplicates);
}
int32_t SortIntoArray(std::span<float> A, float x, bool Ascending, bool AllowDuplicates) {
  return SortIntoSpan(A, x, Ascending, AllowDuplicates);
}
int32_t SortIntoArray(std::span<int32_t> A, int32_t x, bool Ascending, bool AllowDuplicates) {
  return SortIntoSpan(A, x, Ascending, AllowDuplicates);
}

int32_t SortIntoArray(void* p, int32_t NumElems, TVarKind Kind, const void* pValue,
                      bool Ascending, bool AllowDuplicates) {
  TElemType type = etDouble;
  if (p == nullptr || pValue == nullptr || NumElems <= 0 || !ElemTypeOfKind(Kind, type)) return 0;
  int32_t position = -1;
  const auto insert = [&](auto span) {
    using T = typename decltype(span)::element_type;
    position = SortIntoSpan(span, LoadValue<T>(pValue), Ascending, AllowDuplicates);
  };
  switch (type) {
    case etDouble: WithTypedArray<double>(p, NumElems, insert); break;
    case etSingle: WithTypedArray<float>(p, NumElems, insert); break;
    case etInt32: WithTypedArray<int32_t>(p, NumElems, insert); break;
  }
  return position + 1;  // 1-based; 0 when not inserted
}

void InsertIntoArray(std::span<double> A, double x, int32_t Index) { InsertIntoSpan(A, x, Index); }
void InsertIntoArray(std::span<float> A, float x, int32_t Index) { InsertIntoSpan(A, x, Index); }
void InsertIntoArray(std::span<int32_t> A, int32_t x, int32_t Index) {
  InsertIntoSpan(A, x, Index);
}

void InsertIntoArray(void* p, int32_t NumElems, TVarKind Kind, const void* pValue, int32_t Index) {
  TElemType type = etDouble;
  if (p == nullptr || pValue == nullptr || NumElems <= 0 || !ElemTypeOfKind(Kind, type)) return;
  if (Index < 0 || Index >= NumElems) return;
  const auto insert = [&](auto span) {
    using T = typename decltype(span)::element_type;
    InsertIntoSpan(span, LoadValue<T>(pValue), Index);
  };
  switch (type) {
    case etDouble: WithTypedArray<double>(p, NumElems, insert); break;
    case etSingle: WithTypedArray<float>(p, NumElems, insert); break;
    case etInt32: WithTypedArray<int32_t>(p, NumElems, insert); break;
  }
}

// ---------------------------------------------------------------- SortArray

namespace {

/// Comb sort; ends after a pass with gap 1 that exchanged nothing. NaN
/// elements never compare as out of order, so they stay where they are and
/// the sort still ends (every exchange removes an inversion of the others).
template <typename T>
void CombSort(std::span<T> A, bool Ascending) {
  if (A.size() < 2) return;
  const int64_t n = static_cast<int64_t>(A.size());
  int64_t gap = n;
  bool exchanged = true;
  while (gap > 1 || exchanged) {
    gap = NextCombGap(gap);
    exchanged = false;
    for (int64_t i = 0; i + gap < n; ++i) {
      T& a = A[static_cast<size_t>(i)];
      T& b = A[static_cast<size_t>(i + gap)];
      if (Ascending ? b < a : a < b) {
        std::swap(a, b);
        exchanged = true;
      }
    }
    ProgressStep();
  }
}

}  // namespace

void SortArray(std::span<double> A, bool Ascending) { CombSort(A, Ascending); }
void SortArray(std::span<float> A, bool Ascending) { CombSort(A, Ascending); }
void SortArray(std::span<int32_t> A, bool Ascending) { CombSort(A, Ascending); }

void SortArray(void* p, int32_t NumElems, TVarKind Kind, bool Ascending) {
  TElemType type = etDouble;
  if (p == nullptr || NumElems < 2 || !ElemTypeOfKind(Kind, type)) return;
  const auto sort = [&](auto span) { CombSort(span, Ascending); };
  switch (type) {
    case etDouble: WithTypedArray<double>(p, NumElems, sort); break;
    case etSingle: WithTypedArray<float>(p, NumElems, sort); break;
    case etInt32: WithTypedArray<int32_t>(p, NumElems, sort); break;
  }
}

bool SortSwap(double& a, double& b, bool Ascending) {
  if ((b > a) == Ascending) return false;
  std::swap(a, b);
  return true;
}

// ---------------------------------------------------------------- QuickSelect

namespace {

/// Hoare's selection of rank k in A[lo…hi] (absolute indices, lo <= k <= hi).
/// The partition stops its scans on elements equal to the pivot, so many
/// equal values split evenly instead of making it quadratic; the scans are
/// bounded, so NaN elements (which compare false) cannot run them off the range.
double SelectInRange(std::span<double> A, size_t k, size_t lo, size_t hi) {
  while (lo < hi) {
    const double pivot = A[lo + (hi - lo) / 2];
    size_t i = lo;
    size_t j = hi;
    while (i <= j) {
      while (i < hi && A[i] < pivot) ++i;
      while (j > lo && pivot < A[j]) --j;
      if (i > j) break;
      std::swap(A[i], A[j]);
      ++i;
      if (j == 0) break;
      --j;
    }
    // Now A[lo…j] <= pivot <= A[i…hi] and anything between equals the pivot.
    if (k <= j && j < hi) {
      hi = j;
    } else if (k >= i && i > lo) {
      lo = i;
    } else {
      return A[k];
    }
  }
  return A[k];
}

struct TSelectRange {
  size_t First = 0;
  size_t Last = 0;
  size_t k = 0;
};

/// First and Last clamped into an array of n elements (n > 0) and k into
/// First…Last; false when the range is empty.
bool ClampSelectRange(size_t n, int32_t k, int32_t First, int32_t Last, TSelectRange& Range) {
  const int64_t top = static_cast<int64_t>(n) - 1;
  const int64_t first = std::clamp<int64_t>(First, 0, top);
  const int64_t last = std::clamp<int64_t>(Last, 0, top);
  if (last < first) return false;
  Range.First = static_cast<size_t>(first);
  Range.Last = static_cast<size_t>(last);
  Range.k = static_cast<size_t>(std::clamp<int64_t>(k, first, last));
  return true;
}

}  // namespace

double QuickSelect(std::span<double> A, int32_t k, int32_t First, int32_t Last) {
  TSelectRange r;
  if (A.empty() || !ClampSelectRange(A.size(), k, First, Last, r)) return 0;
  return SelectInRange(A, r.k, r.First, r.Last);
}

double QuickSelect(std::span<const double> A, int32_t k, int32_t First, int32_t Last,
                   double SetAside) {
  TSelectRange r;
  if (A.empty() || !ClampSelectRange(A.size(), k, First, Last, r)) return 0;
  std::vector<double> others;
  size_t numSmaller = 0;
  size_t numEqual = 0;
  for (size_t i = r.First; i <= r.Last; ++i) {
    if (A[i] == SetAside) {
      ++numEqual;
      continue;
    }
    if (A[i] < SetAside) ++numSmaller;
    others.push_back(A[i]);
  }
  const size_t rank = r.k - r.First;
  if (rank < numSmaller) return SelectInRange(others, rank, 0, others.size() - 1);
  if (rank < numSmaller + numEqual) return SetAside;
  return SelectInRange(others, rank - numEqual, 0, others.size() - 1);
}

// ---------------------------------------------------------------- bins, squash

int32_t HistoBinRef(double x, double FirstBin, double BinWidth, double& Offset) {
  const int32_t bin = BinWidth == 0 ? 0 : TruncToInt32(std::floor((x - FirstBin) / BinWidth));
  Offset = x - (FirstBin + bin * BinWidth);
  return bin;
}

double Squash(double x, double x0, double Slope, double Limit) {
  if (Limit == 0) return 0;
  const double u = Slope * (x - x0) / Limit;
  const double exponent = -2 * u;
  if (std::fabs(exponent) >= 200) return u > 0 ? Limit : -Limit;
  return Limit * (2 / (std::exp(exponent) + 1) - 1);
}

}  // namespace vexa
