#pragma once
/// @file
/// Internal machinery of the array routines (not installed): the shape of a
/// nested array and the check that it is rectangular, index boxes and their
/// validation, a rank-generic walker over a box of one or several arrays of
/// the same shape, guarded allocation of result arrays, and the cores of the
/// edge vectors and of the distance between two objects, which the matrices
/// share (they map their 1-based indices onto the 0-based ones used here).
///
/// Arrays are nested std::vector of rank 1..4, indexed
/// [column][row][layer][time slot]. Every routine first takes the shape of
/// its arguments with RectangularShape, so ragged input never reaches the
/// loops, which then index without further checks.
///
/// @code
/// auto Shape = arraycore::RectangularShape(A, "MeanArray");  // raises when ragged
/// arraycore::TBox<2> Box = arraycore::MakeBox<2>({lo1, lo2, hi1, hi2});
/// if (int32_t Status = arraycore::ValidateBox(Shape, Box); Status != 0) return Status;
/// arraycore::ForEachCell(Box, [&](auto x) { Sum += x; }, A);
/// @endcode

#include <algorithm>
#include <array>
#include <cmath>
#include <concepts>
#include <cstdint>
#include <new>
#include <span>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "foundation/Vexa_errors.h"
#include "foundation/Vexa_storage.h"
#include "foundation/internal/Vexa_statcore.h"
#include "fundora/Vexa_univconst.h"
#include "fundora/Vexa_vexabase.h"
#include "platform/Vexa_intmath.h"

namespace vexa::arraycore {

/// Number of nesting levels of an array type (TDouble2DArray: 2).
template <class A>
inline constexpr size_t RankOf = TStorageTraits<A>::Rank;

/// Element type of an array type (TBool2DArray: bool).
template <class A>
using ElemOf = typename TStorageTraits<A>::Elem;

/// Sizes of an array per dimension, outermost first.
template <size_t R>
using TShape = std::array<int64_t, R>;

// ---------------------------------------------------------------- shapes

namespace detail {

/// True when every sub-array of Arr has the sizes Shape[Level..].
template <class A, size_t R>
bool HasShape(const A& Arr, const TShape<R>& Shape, size_t Level) {
  if (static_cast<int64_t>(Arr.size()) != Shape[Level]) {
    return false;
  }
  if constexpr (RankOf<A> > 1) {
    for (const auto& Inner : Arr) {
      if (!HasShape(Inner, Shape, Level + 1)) {
        return false;
      }
    }
  }
  return true;
}

/// Writes the sizes of the first sub-array at each level (0 below an empty level).
template <class A, size_t R>
void FirstSizes(const A& Arr, TShape<R>& Shape, size_t Level) {
  Shape[Level] = static_cast<int64_t>(Arr.size());
  if constexpr (RankOf<A> > 1) {
    if (Arr.empty()) {
      for (size_t k = Level + 1; k < R; ++k) {
        Shape[k] = 0;
      }
    } else {
      FirstSizes(Arr[0], Shape, Level + 1);
    }
  }
}

}  // namespace detail

/// The sizes of Arr taken from its first sub-arrays; false when another
/// sub-array differs from them (a ragged array). Shape is written in both cases.
template <class A>
bool TryShape(const A& Arr, TShape<RankOf<A>>& Shape) {
  detail::FirstSizes(Arr, Shape, 0);
  return detail::HasShape(Arr, Shape, 0);
}

/// True when Arr is rectangular (every sub-array as long as its first sibling).
template <class A>
bool IsRectangular(const A& Arr) {
  TShape<RankOf<A>> Shape{};
  return TryShape(Arr, Shape);
}

/// Message of the error raised for a ragged array: "<Routine>: array is not rectangular".
inline std::string NotRectangularMessage(const std::string& Routine) {
  return RoutineMessage(Routine, "array is not rectangular");
}

/// The shape of Arr; a ragged array raises EVexaError with
/// NotRectangularMessage(Routine).
template <class A>
TShape<RankOf<A>> RectangularShape(const A& Arr, const std::string& Routine) {
  TShape<RankOf<A>> Shape{};
  if (!TryShape(Arr, Shape)) {
    throw EVexaError(NotRectangularMessage(Routine));
  }
  return Shape;
}

/// True when any dimension is 0 (no cells).
template <size_t R>
bool IsEmptyShape(const TShape<R>& Shape) noexcept {
  for (int64_t Size : Shape) {
    if (Size <= 0) {
      return true;
    }
  }
  return false;
}

/// Number of cells of a shape (a shape that exists in memory cannot overflow).
template <size_t R>
int64_t CellCount(const TShape<R>& Shape) noexcept {
  int64_t Count = 1;
  for (int64_t Size : Shape) {
    Count *= Size;
  }
  return Count;
}

// ---------------------------------------------------------------- boxes

/// An inclusive box of indices, one low and one high index per dimension.
template <size_t R>
struct TBox {
  TShape<R> Low{};
  TShape<R> High{};
};

/// The box of range arguments given as all low indices, then all high
/// indices, in dimension order: {lo1, lo2, hi1, hi2} for rank 2.
template <size_t R>
TBox<R> MakeBox(const std::array<int64_t, 2 * R>& LowsThenHighs) noexcept {
  TBox<R> Box;
  for (size_t k = 0; k < R; ++k) {
    Box.Low[k] = LowsThenHighs[k];
    Box.High[k] = LowsThenHighs[R + k];
  }
  return Box;
}

/// The box of all cells of a (non-empty) shape.
template <size_t R>
TBox<R> WholeBox(const TShape<R>& Shape) noexcept {
  TBox<R> Box;
  for (size_t k = 0; k < R; ++k) {
    Box.Low[k] = 0;
    Box.High[k] = Shape[k] - 1;
  }
  return Box;
}

/// True when every index of Box is all zeros (callers read it as "whole array").
template <size_t R>
bool IsZeroBox(const TBox<R>& Box) noexcept {
  for (size_t k = 0; k < R; ++k) {
    if (Box.Low[k] != 0 || Box.High[k] != 0) {
      return false;
    }
  }
  return true;
}

/// Status of a box over a shape: −1 when the shape has no cells, −2 when an
/// index is negative or beyond its dimension or a high index is below its
/// low one, 0 otherwise.
template <size_t R>
int32_t ValidateBox(const TShape<R>& Shape, const TBox<R>& Box) noexcept {
  if (IsEmptyShape(Shape)) {
    return -1;
  }
  for (size_t k = 0; k < R; ++k) {
    const bool Inside = Box.Low[k] >= 0 && Box.High[k] < Shape[k] && Box.Low[k] <= Box.High[k];
    if (!Inside) {
      return -2;
    }
  }
  return 0;
}

// ---------------------------------------------------------------- walking

namespace detail {

template <size_t Level, size_t R, class F, class... As>
void WalkLevel(const TBox<R>& Box, TShape<R>& Index, F& Visit, As&... Arrays) {
  for (int64_t i = Box.Low[Level]; i <= Box.High[Level]; ++i) {
    Index[Level] = i;
    const auto u = static_cast<size_t>(i);
    if constexpr (Level + 1 == R) {
      Visit(static_cast<const TShape<R>&>(Index), Arrays[u]...);
    } else {
      WalkLevel<Level + 1>(Box, Index, Visit, Arrays[u]...);
    }
  }
}

}  // namespace detail

/// Calls Visit(Index, cell...) for every index of Box in index order (last
/// index fastest), with the cell of each array at that index. The arrays
/// must hold every index of the box (validate first). Cells of non-const
/// arrays can be assigned (std::vector<bool> passes its proxy: take the
/// cells as auto&&).
template <size_t R, class F, class... As>
void ForEachIndexedCell(const TBox<R>& Box, F&& Visit, As&... Arrays) {
  static_assert(sizeof...(As) > 0);
  TShape<R> Index{};
  detail::WalkLevel<0>(Box, Index, Visit, Arrays...);
}

/// As ForEachIndexedCell without the index: Visit(cell...).
template <size_t R, class F, class... As>
void ForEachCell(const TBox<R>& Box, F&& Visit, As&... Arrays) {
  ForEachIndexedCell(
      Box, [&Visit](const TShape<R>&, auto&&... Cells) { Visit(std::forward<decltype(Cells)>(Cells)...); },
      Arrays...);
}

// ---------------------------------------------------------------- cell arithmetic

/// Cell arithmetic of the element types: doubles and singles as usual,
/// 32-bit integers wrapping on overflow like the library's integers.
template <class T>
T CellAdd(T a, T b) noexcept {
  if constexpr (std::is_same_v<T, int32_t>) {
    return WrapAdd32(a, b);
  } else {
    return a + b;
  }
}
template <class T>
T CellSub(T a, T b) noexcept {
  if constexpr (std::is_same_v<T, int32_t>) {
    return WrapSub32(a, b);
  } else {
    return a - b;
  }
}
template <class T>
T CellMul(T a, T b) noexcept {
  if constexpr (std::is_same_v<T, int32_t>) {
    return WrapMul32(a, b);
  } else {
    return a * b;
  }
}

// ---------------------------------------------------------------- vector kernels

/// y[i] += a·x[i] for i < n, on non-overlapping ranges. The hot loop of the
/// products, factorisations and substitutions: asked to vectorise with the
/// dynamic cost model, which the -O2 default (very cheap) refuses for loops
/// of unknown length. The arithmetic is the same as the plain loop.
__attribute__((optimize("-fvect-cost-model=dynamic"))) inline void AddScaled(
    double* __restrict y, const double* __restrict x, double a, size_t n) noexcept {
  for (size_t i = 0; i < n; ++i) {
    y[i] += a * x[i];
  }
}

/// y[i] −= a·x[i] for i < n, on non-overlapping ranges (see AddScaled).
__attribute__((optimize("-fvect-cost-model=dynamic"))) inline void SubtractScaled(
    double* __restrict y, const double* __restrict x, double a, size_t n) noexcept {
  for (size_t i = 0; i < n; ++i) {
    y[i] -= a * x[i];
  }
}

// ---------------------------------------------------------------- allocation

/// Message of the error raised when a routine cannot get memory for a result
/// or a working copy: "<Routine>: not enough memory".
inline std::string NoMemoryMessage(const std::string& Routine) {
  return RoutineMessage(Routine, "not enough memory");
}

/// Runs Build (which allocates Bytes) and turns a refused size,
/// std::bad_alloc or std::length_error into EVexaError(NoMemoryMessage(Routine)).
template <class TBuild>
auto RoutineAllocation(const std::string& Routine, bool SizeKnown, uint64_t Bytes, TBuild&& Build) {
  if (SizeKnown && StorageFits(Bytes)) {
    try {
      return std::forward<TBuild>(Build)();
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
  }
  throw EVexaError(NoMemoryMessage(Routine));
}

/// A new zero-filled (false-filled) array of the given shape, guarded as
/// RoutineAllocation.
template <class A>
A NewArray(const std::string& Routine, const TShape<RankOf<A>>& Shape) {
  uint64_t Bytes = 0;
  const bool SizeKnown = TryNestedStorageBytes(Shape, sizeof(ElemOf<A>), sizeof(A), Bytes);
  return RoutineAllocation(Routine, SizeKnown, Bytes,
                           [&] { return storage_detail::MakeNested<A>(Shape); });
}

/// The cells of Box of Arr as doubles in one contiguous array (index order),
/// guarded as RoutineAllocation.
template <class A>
std::vector<double> CopyBoxToDoubles(const std::string& Routine, const A& Arr,
                                     const TBox<RankOf<A>>& Box) {
  TShape<RankOf<A>> Sizes{};
  for (size_t k = 0; k < RankOf<A>; ++k) {
    Sizes[k] = Box.High[k] - Box.Low[k] + 1;
  }
  uint64_t Count = 0;
  const bool SizeKnown = TryMultiplyDims(Sizes, Count) && Count <= UINT64_MAX / sizeof(double);
  return RoutineAllocation(Routine, SizeKnown, Count * sizeof(double), [&] {
    std::vector<double> Copy;
    Copy.reserve(static_cast<size_t>(Count));
    ForEachCell(Box, [&Copy](auto x) { Copy.push_back(static_cast<double>(x)); }, Arr);
    return Copy;
  });
}

// ---------------------------------------------------------------- edge vectors

/// Aggregates of edge vectors.
///
/// One result per line of a 2-D array of L1 × L2 cells, Cell(i, j) giving
/// the cell [i][j] as a double. With AcrossFirstIndex there is one result per
/// second index j, aggregating Cell(k, j) over the listed first indices k;
/// otherwise one result per first index i, aggregating Cell(i, k) over the
/// listed second indices k. The list holds indices counted from IndexBase
/// (0 for arrays, 1 for the matrices); an empty list means all indices in
/// order. Dest is resized to the number of results.
///
/// The aggregates by TEdgeOp: minimum (starting from +uc_MaxDouble), maximum
/// (from −uc_MaxDouble), sum, mean (0 when no cell was aggregated), standard
/// deviation (0 for fewer than three cells; shifted sums, never negative).
/// Returns 0, or −2 when a listed index lies outside its dimension (it is
/// skipped). An unknown op gives zeros. The caller checks for empty data.
template <class TCell>
int32_t EdgeVectorCore(int64_t L1, int64_t L2, TCell&& Cell, bool AcrossFirstIndex, TEdgeOp Op,
                       std::span<const int32_t> List, int32_t IndexBase, TDoubleArray& Dest);

/// The distance or similarity between two objects whose features are given
/// as X(k), Y(k) for k = First … Last (the caller has checked the range):
/// Tanimoto Σxy/(Σx² + Σy² − Σxy), Manhattan Σ|x − y|, Euclidean √Σ(x − y)²,
/// squared Euclidean Σ(x − y)², Dice 2Σxy/(Σx² + Σy²). A zero denominator
/// gives 0. The caller-supplied mode and unknown modes give 0.
template <class TX, class TY>
double ObjectDistanceCore(TDistMode Mode, int64_t First, int64_t Last, TX&& X, TY&& Y);

// ---------------------------------------------------------------- definitions

namespace detail {

/// Running aggregate of one edge vector.
class TEdgeAggregate {
public:
  explicit TEdgeAggregate(TEdgeOp Op) noexcept : FOp(Op) {}
  void Add(double x) noexcept {
    FMin = std::min(FMin, x);
    FMax = std::max(FMax, x);
    FSum += x;
    FSums.Add(x);
  }
  double Result() const noexcept {
    const int64_t m = FSums.Count();
    switch (FOp) {
      case eoMinimum: return FMin;
      case eoMaximum: return FMax;
      case eoSum: return FSum;
      case eoMean: return m > 0 ? FSum / static_cast<double>(m) : 0.0;
      case eoStdDev:
        if (m < 3) {
          return 0.0;
        }
        return std::sqrt(std::max(0.0, FSums.CentredSquares() / static_cast<double>(m - 1)));
    }
    return 0.0;
  }

private:
  TEdgeOp FOp;
  double FMin = uc_MaxDouble;
  double FMax = -uc_MaxDouble;
  double FSum = 0.0;
  statcore::TShiftedSums FSums;
};

}  // namespace detail

template <class TCell>
int32_t EdgeVectorCore(int64_t L1, int64_t L2, TCell&& Cell, bool AcrossFirstIndex, TEdgeOp Op,
                       std::span<const int32_t> List, int32_t IndexBase, TDoubleArray& Dest) {
  const int64_t NrResults = AcrossFirstIndex ? L2 : L1;
  const int64_t NrAcross = AcrossFirstIndex ? L1 : L2;
  TDoubleArray Result = NewArray<TDoubleArray>("EdgeVector", {NrResults});
  bool SkippedIndex = false;
  for (int64_t Line = 0; Line < NrResults; ++Line) {
    detail::TEdgeAggregate Aggregate(Op);
    auto AddCell = [&](int64_t k) {
      Aggregate.Add(AcrossFirstIndex ? Cell(k, Line) : Cell(Line, k));
    };
    if (List.empty()) {
      for (int64_t k = 0; k < NrAcross; ++k) {
        AddCell(k);
      }
    } else {
      for (int32_t Listed : List) {
        const int64_t k = static_cast<int64_t>(Listed) - IndexBase;
        if (k < 0 || k >= NrAcross) {
          SkippedIndex = true;
        } else {
          AddCell(k);
        }
      }
    }
    Result[static_cast<size_t>(Line)] = Aggregate.Result();
  }
  Dest.swap(Result);
  return SkippedIndex ? -2 : 0;
}

template <class TX, class TY>
double ObjectDistanceCore(TDistMode Mode, int64_t First, int64_t Last, TX&& X, TY&& Y) {
  double SumXY = 0.0, SumXX = 0.0, SumYY = 0.0, SumAbs = 0.0, SumSqr = 0.0;
  for (int64_t k = First; k <= Last; ++k) {
    const double x = static_cast<double>(X(k));
    const double y = static_cast<double>(Y(k));
    SumXY += x * y;
    SumXX += x * x;
    SumYY += y * y;
    SumAbs += std::fabs(x - y);
    SumSqr += (x - y) * (x - y);
  }
  auto Ratio = [](double Num, double Den) { return Den == 0.0 ? 0.0 : Num / Den; };
  switch (Mode) {
    case dmTanimoto: return Ratio(SumXY, SumXX + SumYY - SumXY);
    case dmManhattan: return SumAbs;
    case dmEuclidean: return std::sqrt(SumSqr);
    case dmSqrEuclidean: return SumSqr;
    case dmDice: return Ratio(2.0 * SumXY, SumXX + SumYY);
    case dmUserDefined: return 0.0;
  }
  return 0.0;
}

}  // namespace vexa::arraycore
