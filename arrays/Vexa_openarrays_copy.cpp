// Cloning, copying and reshaping routines of Vexa_openarrays.

#include <algorithm>
#include <cmath>
#include <limits>

#include "arrays/Vexa_openarrays.h"
#include "arrays/internal/Vexa_arrayshapes.h"
#include "platform/Vexa_intmath.h"

namespace vexa {

namespace {

using namespace arraycore;

// ---------------------------------------------------------------- conversions

/// A double as single: rounded to nearest; finite values beyond the single
/// range become +-infinity (a plain cast of them is undefined behaviour).
float DoubleToSingle(double x) {
  constexpr double MaxSingle = std::numeric_limits<float>::max();
  if (std::isfinite(x) && std::fabs(x) > MaxSingle) {
    // Halfway between the largest single and 2^128; a tie rounds to 2^128
    // (the largest single has an odd mantissa).
    const double Halfway = std::ldexp(1.0, 128) - std::ldexp(1.0, 103);
    const float Limit = std::fabs(x) < Halfway ? std::numeric_limits<float>::max()
                                                : std::numeric_limits<float>::infinity();
    return std::signbit(x) ? -Limit : Limit;
  }
  return static_cast<float>(x);
}

/// One cell converted to the destination's element type: real to integer
/// saturating and rounded ties to even (NaN 0), integer and single to double
/// exactly, double to single rounded.
template <class TDest, class TSource>
TDest ConvertCell(TSource Value) {
  if constexpr (std::is_same_v<TDest, int32_t> && std::is_floating_point_v<TSource>) {
    return RoundToInt32(static_cast<double>(Value));
  } else if constexpr (std::is_same_v<TDest, float> && std::is_same_v<TSource, double>) {
    return DoubleToSingle(Value);
  } else {
    return static_cast<TDest>(Value);
  }
}

// ---------------------------------------------------------------- cloning

template <class TSource, class TDest>
int32_t Clone(const TSource& Src, TDest& Dest) {
  TShape<RankOf<TSource>> Shape{};
  if (!NonEmptyShape(Src, Shape)) {
    return -1;
  }
  auto Copy = NewArray<TDest>("CloneArray", Shape);
  ForEachCell(WholeBox(Shape), [](auto Value, auto&& Cell) { Cell = ConvertCell<ElemOf<TDest>>(Value); },
              Src, Copy);
  Dest.swap(Copy);
  return 0;
}

template <class TSource, class TDest>
int32_t CloneReversed(const TSource& Src, TDest& Dest) {
  if (Src.empty()) {
    return -1;
  }
  const auto Count = static_cast<int64_t>(Src.size());
  auto Copy = NewArray<TDest>("CloneAndReverseArray", {Count});
  for (size_t k = 0; k < Src.size(); ++k) {
    Copy[k] = ConvertCell<ElemOf<TDest>>(static_cast<ElemOf<TSource>>(Src[Src.size() - 1 - k]));
  }
  Dest.swap(Copy);
  return 0;
}

// ---------------------------------------------------------------- copying into a destination

/// The cell of Arr at Index (by value).
template <size_t Level = 0, class A, size_t R>
ElemOf<A> ValueAt(const A& Arr, const TShape<R>& Index) {
  const auto& Sub = Arr[static_cast<size_t>(Index[Level])];
  if constexpr (RankOf<A> == 1) {
    return Sub;
  } else {
    return ValueAt<Level + 1>(Sub, Index);
  }
}

/// Copies the block SrcBox of Src to Dest from the offsets on; the caller has
/// checked that the block fits.
template <class A, size_t R = RankOf<A>>
void CopyBlock(const A& Src, const TBox<R>& SrcBox, const TShape<R>& Offsets, A& Dest) {
  TBox<R> DestBox;
  for (size_t d = 0; d < R; ++d) {
    DestBox.Low[d] = Offsets[d];
    DestBox.High[d] = Offsets[d] + (SrcBox.High[d] - SrcBox.Low[d]);
  }
  ForEachIndexedCell(DestBox, [&](const TShape<R>& Index, auto&& Cell) {
    TShape<R> SrcIndex{};
    for (size_t d = 0; d < R; ++d) {
      SrcIndex[d] = Index[d] - Offsets[d] + SrcBox.Low[d];
    }
    Cell = ValueAt(Src, SrcIndex);
  }, Dest);
}

/// Status of a block of Sizes cells placed at Offsets in a destination of DestShape:
/// -2 when an offset lies outside or the block does not fit.
template <size_t R>
int32_t FitsAt(const TShape<R>& Sizes, const TShape<R>& Offsets, const TShape<R>& DestShape) {
  for (size_t d = 0; d < R; ++d) {
    if (Offsets[d] < 0 || Offsets[d] >= DestShape[d] || Offsets[d] + Sizes[d] > DestShape[d]) {
      return -2;
    }
  }
  return 0;
}

template <class A, size_t R = RankOf<A>>
int32_t CopyWhole(const A& Src, const TShape<R>& Offsets, A& Dest) {
  TShape<R> SrcShape{};
  TShape<R> DestShape{};
  if (!NonEmptyShape(Src, SrcShape) || !NonEmptyShape(Dest, DestShape)) {
    return -1;
  }
  if (const int32_t Status = FitsAt(SrcShape, Offsets, DestShape); Status != 0) {
    return Status;
  }
  CopyBlock(Src, WholeBox(SrcShape), Offsets, Dest);
  return 0;
}

template <class A, size_t R = RankOf<A>>
int32_t CopyPart(const A& Src, const std::array<int64_t, 2 * R>& LowsThenHighs, const TShape<R>& Offsets,
                 A& Dest) {
  TShape<R> SrcShape{};
  TShape<R> DestShape{};
  if (!NonEmptyShape(Src, SrcShape) || !NonEmptyShape(Dest, DestShape)) {
    return -1;
  }
  const auto Box = MakeBox<R>(LowsThenHighs);
  if (const int32_t Status = ValidateBox(SrcShape, Box); Status != 0) {
    return Status;
  }
  TShape<R> Sizes{};
  for (size_t d = 0; d < R; ++d) {
    Sizes[d] = Box.High[d] - Box.Low[d] + 1;
  }
  if (const int32_t Status = FitsAt(Sizes, Offsets, DestShape); Status != 0) {
    return Status;
  }
  CopyBlock(Src, Box, Offsets, Dest);
  return 0;
}

/// Checks of a column (AlongSecond) or row range of a 2-D source: -1 empty,
/// -2 range (First, Last outside the line or reversed), -3 line index outside.
template <class A>
int32_t CheckLineRange(const A& Src, bool AlongSecond, int32_t Line, int32_t First, int32_t Last) {
  TShape<2> Shape{};
  if (!NonEmptyShape(Src, Shape)) {
    return -1;
  }
  const int64_t Length = AlongSecond ? Shape[1] : Shape[0];
  const int64_t NrLines = AlongSecond ? Shape[0] : Shape[1];
  if (First < 0 || Last < First || Last >= Length) {
    return -2;
  }
  if (Line < 0 || Line >= NrLines) {
    return -3;
  }
  return 0;
}

/// Cell k of the line: Src[Line][First + k] along the second index, else Src[First + k][Line].
template <class A>
ElemOf<A> LineCell(const A& Src, bool AlongSecond, int32_t Line, int64_t Index) {
  const auto i = static_cast<size_t>(AlongSecond ? Line : Index);
  const auto j = static_cast<size_t>(AlongSecond ? Index : Line);
  return Src[i][j];
}

template <class A, class TResult>
int32_t CopyLine(const A& Src, bool AlongSecond, int32_t Line, int32_t First, int32_t Last, TResult& R,
                 const char* Routine) {
  if (const int32_t Status = CheckLineRange(Src, AlongSecond, Line, First, Last); Status != 0) {
    return Status;
  }
  const int64_t Count = static_cast<int64_t>(Last) - First + 1;
  auto Result = NewArray<TResult>(Routine, {Count});
  for (int64_t k = 0; k < Count; ++k) {
    Result[static_cast<size_t>(k)] = LineCell(Src, AlongSecond, Line, First + k);
  }
  R.swap(Result);
  return 0;
}

int32_t CopyLineInto(const TDouble2DArray& Src, bool AlongSecond, int32_t Line, int32_t First, int32_t Last,
                     TDoubleArray& Dest, int32_t Offset) {
  if (const int32_t Status = CheckLineRange(Src, AlongSecond, Line, First, Last); Status != 0) {
    return Status;
  }
  if (Offset < 0 || static_cast<size_t>(Offset) >= Dest.size()) {
    return -4;
  }
  const int64_t Count = std::min<int64_t>(static_cast<int64_t>(Last) - First + 1,
                                          static_cast<int64_t>(Dest.size()) - Offset);
  for (int64_t k = 0; k < Count; ++k) {
    Dest[static_cast<size_t>(Offset + k)] = LineCell(Src, AlongSecond, Line, First + k);
  }
  return 0;
}

/// Src[First..Last] (0, 0: all) into a column (AlongSecond) or row of Dest
/// from (Column, Row) on, up to the end of that line.
template <class TSource, class TDest>
int32_t CopyIntoLine(const TSource& Src, int32_t First, int32_t Last, int32_t Column, int32_t Row,
                     bool AlongSecond, TDest& Dest) {
  int64_t From = First;
  int64_t To = Last;
  if (First == 0 && Last == 0) {
    To = static_cast<int64_t>(Src.size()) - 1;
  }
  const auto SrcSize = static_cast<int64_t>(Src.size());
  if (Src.empty() || From < 0 || From >= SrcSize || To < 0 || To >= SrcSize) {
    return -1;
  }
  TShape<2> Shape{};
  if (!NonEmptyShape(Dest, Shape) || Column < 0 || Column >= Shape[0] || Row < 0 || Row >= Shape[1]) {
    return -2;
  }
  const int64_t Room = AlongSecond ? Shape[1] - Row : Shape[0] - Column;
  for (int64_t k = 0; From + k <= To && k < Room; ++k) {
    const auto i = static_cast<size_t>(AlongSecond ? Column : Column + k);
    const auto j = static_cast<size_t>(AlongSecond ? Row + k : Row);
    Dest[i][j] = Src[static_cast<size_t>(From + k)];
  }
  return 0;
}

[[noreturn]] void RaiseDeprecated() { throw EVexaError("deprecated function, see help for details"); }

// ---------------------------------------------------------------- reshaping

template <class A>
int32_t Transpose(A& Arr) {
  TShape<2> Shape{};
  if (!NonEmptyShape(Arr, Shape)) {
    return -1;
  }
  auto Result = NewArray<A>("TransposeArray", {Shape[1], Shape[0]});
  ForEachIndexedCell(WholeBox(Shape), [&](const TShape<2>& Index, auto Value) {
    Result[static_cast<size_t>(Index[1])][static_cast<size_t>(Index[0])] = Value;
  }, std::as_const(Arr));
  Arr.swap(Result);
  return 0;
}

/// Reverses every line of Arr along the dimension Level levels down (0: Arr itself).
template <class A>
void ReverseAtLevel(A& Arr, int32_t Level) {
  if (Level == 0) {
    std::reverse(Arr.begin(), Arr.end());
    return;
  }
  if constexpr (RankOf<A> > 1) {
    for (auto& Inner : Arr) {
      ReverseAtLevel(Inner, Level - 1);
    }
  }
}

template <class A>
int32_t FlipDim(A& Arr, int32_t Dim) {
  TShape<RankOf<A>> Shape{};
  if (!NonEmptyShape(Arr, Shape)) {
    return -1;
  }
  if (Dim < 1 || Dim > static_cast<int32_t>(RankOf<A>)) {
    return -2;
  }
  ReverseAtLevel(Arr, Dim - 1);
  return 0;
}

template <class A>
bool RemoveSecondIndex(A& Arr, int32_t Row) {
  TShape<2> Shape{};
  if (!NonEmptyShape(Arr, Shape) || Row < 0 || Row >= Shape[1]) {
    return false;
  }
  for (auto& Column : Arr) {
    Column.erase(Column.begin() + Row);
  }
  return true;
}

template <class A>
bool RemoveFirstIndex(A& Arr, int32_t Column) {
  TShape<2> Shape{};
  if (!NonEmptyShape(Arr, Shape) || Column < 0 || Column >= Shape[0]) {
    return false;
  }
  Arr.erase(Arr.begin() + Column);
  return true;
}

}  // namespace

int32_t CloneArray(const TBoolArray& Source, TBoolArray& Dest) { return Clone(Source, Dest); }
int32_t CloneArray(const TBool2DArray& Source, TBool2DArray& Dest) { return Clone(Source, Dest); }
int32_t CloneArray(const TDoubleArray& Source, TDoubleArray& Dest) { return Clone(Source, Dest); }
int32_t CloneArray(const TDouble2DArray& Source, TDouble2DArray& Dest) { return Clone(Source, Dest); }
int32_t CloneArray(const TDouble3DArray& Source, TDouble3DArray& Dest) { return Clone(Source, Dest); }
int32_t CloneArray(const TDouble4DArray& Source, TDouble4DArray& Dest) { return Clone(Source, Dest); }
int32_t CloneArray(const TIntArray& Source, TIntArray& Dest) { return Clone(Source, Dest); }
int32_t CloneArray(const TInt2DArray& Source, TInt2DArray& Dest) { return Clone(Source, Dest); }
int32_t CloneArray(const TInt3DArray& Source, TInt3DArray& Dest) { return Clone(Source, Dest); }
int32_t CloneArray(const TInt4DArray& Source, TInt4DArray& Dest) { return Clone(Source, Dest); }
int32_t CloneArray(const TSingleArray& Source, TDoubleArray& Dest) { return Clone(Source, Dest); }
int32_t CloneArray(const TDoubleArray& Source, TSingleArray& Dest) { return Clone(Source, Dest); }
int32_t CloneArray(const TDoubleArray& Source, TIntArray& Dest) { return Clone(Source, Dest); }
int32_t CloneArray(const TDouble2DArray& Source, TInt2DArray& Dest) { return Clone(Source, Dest); }
int32_t CloneArray(const TDouble3DArray& Source, TInt3DArray& Dest) { return Clone(Source, Dest); }
int32_t CloneArray(const TDouble4DArray& Source, TInt4DArray& Dest) { return Clone(Source, Dest); }
int32_t CloneArray(const TIntArray& Source, TDoubleArray& Dest) { return Clone(Source, Dest); }
int32_t CloneArray(const TInt2DArray& Source, TDouble2DArray& Dest) { return Clone(Source, Dest); }
int32_t CloneArray(const TInt3DArray& Source, TDouble3DArray& Dest) { return Clone(Source, Dest); }
int32_t CloneArray(const TInt4DArray& Source, TDouble4DArray& Dest) { return Clone(Source, Dest); }

int32_t CloneAndReverseArray(const TBoolArray& Source, TBoolArray& Dest) { return CloneReversed(Source, Dest); }
int32_t CloneAndReverseArray(const TIntArray& Source, TIntArray& Dest) { return CloneReversed(Source, Dest); }
int32_t CloneAndReverseArray(const TDoubleArray& Source, TDoubleArray& Dest) { return CloneReversed(Source, Dest); }
int32_t CloneAndReverseArray(const TSingleArray& Source, TDoubleArray& Dest) { return CloneReversed(Source, Dest); }
int32_t CloneAndReverseArray(const TDoubleArray& Source, TSingleArray& Dest) { return CloneReversed(Source, Dest); }
int32_t CloneAndReverseArray(const TDoubleArray& Source, TIntArray& Dest) { return CloneReversed(Source, Dest); }
int32_t CloneAndReverseArray(const TIntArray& Source, TDoubleArray& Dest) { return CloneReversed(Source, Dest); }

int32_t CopyArray(const TBoolArray& Src, int32_t O1, TBoolArray& Dest) { return CopyWhole(Src, {O1}, Dest); }
int32_t CopyArray(const TBool2DArray& Src, int32_t O1, int32_t O2, TBool2DArray& Dest) {
  return CopyWhole(Src, {O1, O2}, Dest);
}
int32_t CopyArray(const TDoubleArray& Src, int32_t O1, TDoubleArray& Dest) { return CopyWhole(Src, {O1}, Dest); }
int32_t CopyArray(const TDouble2DArray& Src, int32_t O1, int32_t O2, TDouble2DArray& Dest) {
  return CopyWhole(Src, {O1, O2}, Dest);
}
int32_t CopyArray(const TDouble3DArray& Src, int32_t O1, int32_t O2, int32_t O3, TDouble3DArray& Dest) {
  return CopyWhole(Src, {O1, O2, O3}, Dest);
}
int32_t CopyArray(const TDouble4DArray& Src, int32_t O1, int32_t O2, int32_t O3, int32_t O4,
                  TDouble4DArray& Dest) {
  return CopyWhole(Src, {O1, O2, O3, O4}, Dest);
}
int32_t CopyArray(const TIntArray& Src, int32_t O1, TIntArray& Dest) { return CopyWhole(Src, {O1}, Dest); }
int32_t CopyArray(const TInt2DArray& Src, int32_t O1, int32_t O2, TInt2DArray& Dest) {
  return CopyWhole(Src, {O1, O2}, Dest);
}
int32_t CopyArray(const TInt3DArray& Src, int32_t O1, int32_t O2, int32_t O3, TInt3DArray& Dest) {
  return CopyWhole(Src, {O1, O2, O3}, Dest);
}
int32_t CopyArray(const TInt4DArray& Src, int32_t O1, int32_t O2, int32_t O3, int32_t O4,
                  TInt4DArray& Dest) {
  return CopyWhole(Src, {O1, O2, O3, O4}, Dest);
}

int32_t CopyArray(const TDoubleArray& Src, int32_t Lo1, int32_t Hi1, int32_t O1, TDoubleArray& Dest) {
  return CopyPart(Src, {Lo1, Hi1}, {O1}, Dest);
}
int32_t CopyArray(const TDouble2DArray& Src, int32_t Lo1, int32_t Lo2, int32_t Hi1, int32_t Hi2,
                  int32_t O1, int32_t O2, TDouble2DArray& Dest) {
  return CopyPart(Src, {Lo1, Lo2, Hi1, Hi2}, {O1, O2}, Dest);
}
int32_t CopyArray(const TDouble3DArray& Src, int32_t Lo1, int32_t Lo2, int32_t Lo3, int32_t Hi1,
                  int32_t Hi2, int32_t Hi3, int32_t O1, int32_t O2, int32_t O3, TDouble3DArray& Dest) {
  return CopyPart(Src, {Lo1, Lo2, Lo3, Hi1, Hi2, Hi3}, {O1, O2, O3}, Dest);
}
int32_t CopyArray(const TDouble4DArray& Src, int32_t Lo1, int32_t Lo2, int32_t Lo3, int32_t Lo4,
                  int32_t Hi1, int32_t Hi2, int32_t Hi3, int32_t Hi4, int32_t O1, int32_t O2,
                  int32_t O3, int32_t O4, TDouble4DArray& Dest) {
  return CopyPart(Src, {Lo1, Lo2, Lo3, Lo4, Hi1, Hi2, Hi3, Hi4}, {O1, O2, O3, O4}, Dest);
}
int32_t CopyArray(const TIntArray& Src, int32_t Lo1, int32_t Hi1, int32_t O1, TIntArray& Dest) {
  return CopyPart(Src, {Lo1, Hi1}, {O1}, Dest);
}
int32_t CopyArray(const TInt2DArray& Src, int32_t Lo1, int32_t Lo2, int32_t Hi1, int32_t Hi2,
                  int32_t O1, int32_t O2, TInt2DArray& Dest) {
  return CopyPart(Src, {Lo1, Lo2, Hi1, Hi2}, {O1, O2}, Dest);
}
int32_t CopyArray(const TInt3DArray& Src, int32_t Lo1, int32_t Lo2, int32_t Lo3, int32_t Hi1,
                  int32_t Hi2, int32_t Hi3, int32_t O1, int32_t O2, int32_t O3, TInt3DArray& Dest) {
  return CopyPart(Src, {Lo1, Lo2, Lo3, Hi1, Hi2, Hi3}, {O1, O2, O3}, Dest);
}
int32_t CopyArray(const TInt4DArray& Src, int32_t Lo1, int32_t Lo2, int32_t Lo3, int32_t Lo4,
                  int32_t Hi1, int32_t Hi2, int32_t Hi3, int32_t Hi4, int32_t O1, int32_t O2,
                  int32_t O3, int32_t O4, TInt4DArray& Dest) {
  return CopyPart(Src, {Lo1, Lo2, Lo3, Lo4, Hi1, Hi2, Hi3, Hi4}, {O1, O2, O3, O4}, Dest);
}

int32_t CopyArrayColumn(const TDouble2DArray& Src, int32_t Column, int32_t First, int32_t Last,
                        TDoubleArray& R) {
  return CopyLine(Src, true, Column, First, Last, R, "CopyArrayColumn");
}
int32_t CopyArrayColumn(const TInt2DArray& Src, int32_t Column, int32_t First, int32_t Last, TIntArray& R) {
  return CopyLine(Src, true, Column, First, Last, R, "CopyArrayColumn");
}
int32_t CopyArrayColumn(const TBool2DArray& Src, int32_t Column, int32_t First, int32_t Last,
                        TBoolArray& R) {
  return CopyLine(Src, true, Column, First, Last, R, "CopyArrayColumn");
}
int32_t CopyArrayRow(const TDouble2DArray& Src, int32_t Row, int32_t First, int32_t Last, TDoubleArray& R) {
  return CopyLine(Src, false, Row, First, Last, R, "CopyArrayRow");
}
int32_t CopyArrayRow(const TInt2DArray& Src, int32_t Row, int32_t First, int32_t Last, TIntArray& R) {
  return CopyLine(Src, false, Row, First, Last, R, "CopyArrayRow");
}
int32_t CopyArrayRow(const TBool2DArray& Src, int32_t Row, int32_t First, int32_t Last, TBoolArray& R) {
  return CopyLine(Src, false, Row, First, Last, R, "CopyArrayRow");
}

int32_t Copy2DColTo1DArray(const TDouble2DArray& Src, int32_t Column, int32_t First, int32_t Last,
                           TDoubleArray& Dest, int32_t Offset) {
  return CopyLineInto(Src, true, Column, First, Last, Dest, Offset);
}
int32_t Copy2DRowTo1DArray(const TDouble2DArray& Src, int32_t Row, int32_t First, int32_t Last,
                           TDoubleArray& Dest, int32_t Offset) {
  return CopyLineInto(Src, false, Row, First, Last, Dest, Offset);
}

int32_t CopyToArrayColumn(const TDoubleArray& Src, int32_t First, int32_t Last, int32_t Column,
                          int32_t Row0, TDouble2DArray& Dest) {
  return CopyIntoLine(Src, First, Last, Column, Row0, true, Dest);
}
int32_t CopyToArrayColumn(const TIntArray& Src, int32_t First, int32_t Last, int32_t Column, int32_t Row0,
                          TInt2DArray& Dest) {
  return CopyIntoLine(Src, First, Last, Column, Row0, true, Dest);
}
int32_t CopyToArrayColumn(const TBoolArray& Src, int32_t First, int32_t Last, int32_t Column,
                          int32_t Row0, TBool2DArray& Dest) {
  return CopyIntoLine(Src, First, Last, Column, Row0, true, Dest);
}
int32_t CopyToArrayRow(const TDoubleArray& Src, int32_t First, int32_t Last, int32_t Column0, int32_t Row,
                       TDouble2DArray& Dest) {
  return CopyIntoLine(Src, First, Last, Column0, Row, false, Dest);
}
int32_t CopyToArrayRow(const TIntArray& Src, int32_t First, int32_t Last, int32_t Column0, int32_t Row,
                       TInt2DArray& Dest) {
  return CopyIntoLine(Src, First, Last, Column0, Row, false, Dest);
}
int32_t CopyToArrayRow(const TBoolArray& Src, int32_t First, int32_t Last, int32_t Column0, int32_t Row,
                       TBool2DArray& Dest) {
  return CopyIntoLine(Src, First, Last, Column0, Row, false, Dest);
}

int32_t CopyVectorToArrayColumn(const TDoubleArray&, int32_t, int32_t, int32_t, int32_t, TDouble2DArray&) {
  RaiseDeprecated();
}
int32_t CopyVectorToArrayColumn(const TIntArray&, int32_t, int32_t, int32_t, int32_t, TInt2DArray&) {
  RaiseDeprecated();
}
int32_t CopyVectorToArrayColumn(const TBoolArray&, int32_t, int32_t, int32_t, int32_t, TBool2DArray&) {
  RaiseDeprecated();
}
int32_t CopyVectorToArrayRow(const TDoubleArray&, int32_t, int32_t, int32_t, int32_t, TDouble2DArray&) {
  RaiseDeprecated();
}
int32_t CopyVectorToArrayRow(const TIntArray&, int32_t, int32_t, int32_t, int32_t, TInt2DArray&) {
  RaiseDeprecated();
}
int32_t CopyVectorToArrayRow(const TBoolArray&, int32_t, int32_t, int32_t, int32_t, TBool2DArray&) {
  RaiseDeprecated();
}

int32_t TransposeArray(TDouble2DArray& A) { return Transpose(A); }
int32_t TransposeArray(TInt2DArray& A) { return Transpose(A); }
int32_t TransposeArray(TBool2DArray& A) { return Transpose(A); }

int32_t FlipDimArray(TDoubleArray& A, int32_t Dim) { return FlipDim(A, Dim); }
int32_t FlipDimArray(TDouble2DArray& A, int32_t Dim) { return FlipDim(A, Dim); }
int32_t FlipDimArray(TDouble3DArray& A, int32_t Dim) { return FlipDim(A, Dim); }
int32_t FlipDimArray(TDouble4DArray& A, int32_t Dim) { return FlipDim(A, Dim); }
int32_t FlipDimArray(TIntArray& A, int32_t Dim) { return FlipDim(A, Dim); }
int32_t FlipDimArray(TInt2DArray& A, int32_t Dim) { return FlipDim(A, Dim); }
int32_t FlipDimArray(TInt3DArray& A, int32_t Dim) { return FlipDim(A, Dim); }
int32_t FlipDimArray(TInt4DArray& A, int32_t Dim) { return FlipDim(A, Dim); }

bool RemoveRow(TDouble2DArray& A, int32_t Row) { return RemoveSecondIndex(A, Row); }
bool RemoveRow(TInt2DArray& A, int32_t Row) { return RemoveSecondIndex(A, Row); }
bool RemoveColumn(TDouble2DArray& A, int32_t Column) { return RemoveFirstIndex(A, Column); }
bool RemoveColumn(TInt2DArray& A, int32_t Column) { return RemoveFirstIndex(A, Column); }

}  // namespace vexa
