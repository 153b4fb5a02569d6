// Array routines: predicates, search, sorting, local means and medians,
// linearity check.

#include <algorithm>
#include <cmath>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

#include "arrays/Vexa_openarrays.h"
#include "arrays/internal/Vexa_arraycore.h"
#include "foundation/Vexa_combsort.h"
#include "foundation/Vexa_math1.h"
#include "foundation/Vexa_progress.h"
#include "foundation/internal/Vexa_statcore.h"
#include "platform/Vexa_strutils.h"

namespace vexa {

namespace {

template <class T>
bool HasNaN(const std::vector<T>& Data) {
  if constexpr (std::is_floating_point_v<T>) {
    return std::any_of(Data.begin(), Data.end(), [](T x) { return std::isnan(x); });
  } else {
    return false;
  }
}

/// Sign of a − b by comparison (no subtraction, so integers cannot
/// overflow); 0 for equal values and for NaN.
template <class T>
int StepSign(T a, T b) noexcept {
  return a > b ? 1 : (a < b ? -1 : 0);
}

template <class T>
bool Monotone(const std::vector<T>& Data) {
  if (Data.size() < 3) {
    return true;
  }
  if (HasNaN(Data)) {
    return false;
  }
  int First = 0;
  for (size_t k = 0; k + 1 < Data.size(); ++k) {
    const int Sign = StepSign(Data[k], Data[k + 1]);
    if (Sign == 0) {
      continue;
    }
    if (First == 0) {
      First = Sign;
    } else if (Sign != First) {
      return false;
    }
  }
  return true;
}

template <class T>
bool StrictlyMonotone(const std::vector<T>& Data) {
  if (Data.size() < 3) {
    return true;
  }
  const int First = StepSign(Data[0], Data[1]);
  if (First == 0) {
    return false;
  }
  for (size_t k = 1; k + 1 < Data.size(); ++k) {
    if (StepSign(Data[k], Data[k + 1]) != First) {
      return false;
    }
  }
  return true;
}

template <class T>
bool Dichotomous(const std::vector<T>& Data, T& v1, T& v2) {
  if (Data.size() < 2 || HasNaN(Data)) {
    return false;
  }
  const T First = Data[0];
  bool HaveSecond = false;
  T Second{};
  for (T x : Data) {
    if (x == First || (HaveSecond && x == Second)) {
      continue;
    }
    if (HaveSecond) {
      return false;
    }
    Second = x;
    HaveSecond = true;
  }
  if (!HaveSecond) {
    return false;
  }
  v1 = std::min(First, Second);
  v2 = std::max(First, Second);
  return true;
}

template <class A>
bool Equal(const A& a, const A& b) {
  return arraycore::IsRectangular(a) && arraycore::IsRectangular(b) && a == b;
}

// ---------------------------------------------------------------- sorting

/// True when a and b stand in the wrong order for the sort direction; NaN
/// is never out of order.
template <class T>
bool OutOfOrder(T a, T b, bool Ascending) noexcept {
  return Ascending ? a > b : a < b;
}

/// One comb-sort pass at the given gap; true when something was exchanged.
template <class T>
bool CombPass(std::vector<T>& Data, TIntArray& Index, size_t Gap, bool Ascending) {
  bool Exchanged = false;
  for (size_t i = 0; i + Gap < Data.size(); ++i) {
    if (OutOfOrder(Data[i], Data[i + Gap], Ascending)) {
      std::swap(Data[i], Data[i + Gap]);
      std::swap(Index[i], Index[i + Gap]);
      Exchanged = true;
    }
  }
  return Exchanged;
}

template <class T>
int32_t CombSortWithIndex(bool Ascending, std::vector<T>& Data, TIntArray& Index) {
  AbortMathProc = false;
  const size_t n = Data.size();
  TIntArray Positions = arraycore::NewArray<TIntArray>("SortArray", {static_cast<int64_t>(n)});
  for (size_t k = 0; k < n; ++k) {
    Positions[k] = static_cast<int32_t>(k + 1);
  }
  Index.swap(Positions);
  if (n < 2) {
    return -1;
  }
  int64_t Gap = static_cast<int64_t>(n) - 1;
  bool Exchanged = true;
  while (Gap > 1 || Exchanged) {
    Gap = NextCombGap(Gap);
    if (ProgressStep()) {
      return -2;
    }
    Exchanged = CombPass(Data, Index, static_cast<size_t>(Gap), Ascending);
  }
  return 0;
}

// ---------------------------------------------------------------- local statistics

/// The centre and the neighbours LocalMean and LocalMedian take, as doubles.
template <class T>
std::vector<double> LocalValues(const std::vector<T>& Data, int32_t Ix, int32_t Range,
                                int32_t LowLim, int32_t HighLim) {
  const int64_t Last = static_cast<int64_t>(Data.size()) - 1;
  const int64_t Centre = std::clamp<int64_t>(Ix, 0, Last);
  const int64_t Reach = std::clamp<int64_t>(Range, 0, Last);
  const int64_t Low = std::clamp<int64_t>(LowLim, 0, Last);
  const int64_t High = std::clamp<int64_t>(HighLim, 0, Last);
  std::vector<double> Values{static_cast<double>(Data[static_cast<size_t>(Centre)])};
  for (int64_t k = 1; k <= Reach; ++k) {
    for (const int64_t i : {Centre - k, Centre + k}) {
      if (i >= Low && i <= High) {
        Values.push_back(static_cast<double>(Data[static_cast<size_t>(i)]));
      }
    }
  }
  return Values;
}

template <class T>
double LocalMeanOf(const std::vector<T>& Data, int32_t Ix, int32_t Range, int32_t LowLim,
                   int32_t HighLim) {
  if (Data.empty()) {
    return 0.0;
  }
  const auto Values = LocalValues(Data, Ix, Range, LowLim, HighLim);
  return statcore::SumDouble(Values) / static_cast<double>(Values.size());
}

template <class T>
double LocalMedianOf(const std::vector<T>& Data, int32_t Ix, int32_t Range, int32_t LowLim,
                     int32_t HighLim) {
  if (Data.empty()) {
    return 0.0;
  }
  auto Values = LocalValues(Data, Ix, Range, LowLim, HighLim);
  statcore::SortNaNLast(Values);
  const size_t m = Values.size();
  return m % 2 == 1 ? Values[m / 2] : (Values[m / 2 - 1] + Values[m / 2]) / 2.0;
}

// ---------------------------------------------------------------- linearity

template <class T, class TDeparts>
int32_t Linearity(const std::vector<T>& Data, TIntArray& Breaks, TDeparts&& Departs) {
  if (Data.size() < 3) {
    return 0;
  }
  // Steps in the widest type, so integer steps cannot overflow.
  using TStep = std::conditional_t<std::is_integral_v<T>, int64_t, double>;
  auto Step = [&Data](size_t k) {
    return static_cast<TStep>(Data[k + 1]) - static_cast<TStep>(Data[k]);
  };
  TIntArray Found;
  TStep Reference = Step(0);
  for (size_t k = 1; k + 1 < Data.size(); ++k) {
    const TStep Current = Step(k);
    if (Departs(Current, Reference)) {
      Found.push_back(static_cast<int32_t>(k));
      Reference = Current;
    }
  }
  Breaks.swap(Found);
  return static_cast<int32_t>(Breaks.size());
}

}  // namespace

// ---------------------------------------------------------------- predicates

bool IsMonotone(const TDoubleArray& Data) { return Monotone(Data); }
bool IsMonotone(const TIntArray& Data) { return Monotone(Data); }
bool IsStrictlyMonotone(const TDoubleArray& Data) { return StrictlyMonotone(Data); }
bool IsStrictlyMonotone(const TIntArray& Data) { return StrictlyMonotone(Data); }
bool IsDichotomous(const TDoubleArray& Data, double& v1, double& v2) {
  return Dichotomous(Data, v1, v2);
}
bool IsDichotomous(const TIntArray& Data, int32_t& v1, int32_t& v2) {
  return Dichotomous(Data, v1, v2);
}
bool EqualArrays(const TIntArray& A, const TIntArray& B) { return Equal(A, B); }
bool EqualArrays(const TInt2DArray& A, const TInt2DArray& B) { return Equal(A, B); }
bool EqualArrays(const TInt3DArray& A, const TInt3DArray& B) { return Equal(A, B); }
bool EqualArrays(const TInt4DArray& A, const TInt4DArray& B) { return Equal(A, B); }

// ---------------------------------------------------------------- search

int32_t FindInArray(int32_t Value, const TIntArray& Data) {
  if (Data.empty()) {
    return -1;
  }
  const auto Hit = std::find(Data.begin(), Data.end(), Value);
  return Hit == Data.end() ? -2 : static_cast<int32_t>(Hit - Data.begin());
}

int32_t FindInArray(const std::string& Text, const TStrArray& Data, bool IgnoreCase, bool Partial) {
  if (Data.empty()) {
    return -1;
  }
  const std::string Wanted = IgnoreCase ? LowerCase(Text) : Text;
  for (size_t k = 0; k < Data.size(); ++k) {
    const std::string Element = IgnoreCase ? LowerCase(Data[k]) : Data[k];
    const bool Match = Partial ? Element.find(Wanted) != std::string::npos : Element == Wanted;
    if (Match) {
      return static_cast<int32_t>(k);
    }
  }
  return -2;
}

int32_t FindInSortedArray(double x, const TDoubleArray& Data, bool Ascending) {
  if (Data.empty()) {
    return -1;
  }
  const size_t n = Data.size();
  const double Low = Ascending ? Data[0] : Data[n - 1];
  const double High = Ascending ? Data[n - 1] : Data[0];
  if (!(x >= Low && x <= High)) {
    return -2;
  }
  // Positions lo and hi are 1-based and bracket x.
  size_t lo = 1, hi = n;
  while (hi - lo > 1) {
    const size_t mid = (lo + hi) / 2;
    const double v = Data[mid - 1];
    if (v == x) {
      return static_cast<int32_t>(mid - 1);
    }
    if ((x > v) == Ascending) {
      lo = mid;
    } else {
      hi = mid;
    }
  }
  const double DistLow = std::fabs(x - Data[lo - 1]);
  const double DistHigh = std::fabs(x - Data[hi - 1]);
  return static_cast<int32_t>(DistLow < DistHigh ? lo - 1 : hi - 1);
}

// ---------------------------------------------------------------- sorting

int32_t SortArray(bool Ascending, TDoubleArray& Data, TIntArray& Index) {
  return CombSortWithIndex(Ascending, Data, Index);
}
int32_t SortArray(bool Ascending, TIntArray& Data, TIntArray& Index) {
  return CombSortWithIndex(Ascending, Data, Index);
}

int32_t SortAndRemoveDuplicates(TIntArray& Data, bool Ascending) {
  if (Data.size() < 2) {
    return -1;
  }
  TIntArray Sorted = Data;
  SortArray(std::span<int32_t>(Sorted), Ascending);
  Sorted.erase(std::unique(Sorted.begin(), Sorted.end()), Sorted.end());
  const auto Removed = static_cast<int32_t>(Data.size() - Sorted.size());
  Data.swap(Sorted);
  return Removed;
}

// ---------------------------------------------------------------- local statistics

double LocalMean(const TDoubleArray& Data, int32_t Ix, int32_t Range, int32_t LowLim,
                 int32_t HighLim) {
  return LocalMeanOf(Data, Ix, Range, LowLim, HighLim);
}
double LocalMean(const TIntArray& Data, int32_t Ix, int32_t Range, int32_t LowLim, int32_t HighLim) {
  return LocalMeanOf(Data, Ix, Range, LowLim, HighLim);
}
double LocalMedian(const TDoubleArray& Data, int32_t Ix, int32_t Range, int32_t LowLim,
                   int32_t HighLim) {
  return LocalMedianOf(Data, Ix, Range, LowLim, HighLim);
}
double LocalMedian(const TIntArray& Data, int32_t Ix, int32_t Range, int32_t LowLim,
                   int32_t HighLim) {
  return LocalMedianOf(Data, Ix, Range, LowLim, HighLim);
}

// ---------------------------------------------------------------- linearity

int32_t CheckLinearity(const TDoubleArray& Data, double Tolerance, TIntArray& Breaks) {
  return Linearity(Data, Breaks, [Tolerance](double Step, double Reference) {
    return std::fabs(Step - Reference) > Tolerance;
  });
}
int32_t CheckLinearity(const TIntArray& Data, TIntArray& Breaks) {
  return Linearity(Data, Breaks, [](int64_t Step, int64_t Reference) { return Step != Reference; });
}

}  // namespace vexa
