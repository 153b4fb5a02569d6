// Array routines: element-wise arithmetic, normalising, thresholds.
//
// One template per kind of operation on the box walker of the array core;
// the public overloads only pass the cell operation. Integer cells wrap in
// 32 bits (CellAdd, CellSub, CellMul).

#include <algorithm>
#include <cmath>
#include <vector>

#include "arrays/Vexa_openarrays.h"
#include "arrays/internal/Vexa_arraycore.h"
#include "platform/Vexa_intmath.h"

namespace vexa {

namespace {

using arraycore::CellAdd;
using arraycore::CellMul;
using arraycore::CellSub;
using arraycore::RankOf;
using arraycore::TShape;

/// The shape of a non-empty rectangular array; false otherwise.
template <class A>
bool NonEmptyShape(const A& Data, TShape<RankOf<A>>& Shape) {
  return arraycore::TryShape(Data, Shape) && !arraycore::IsEmptyShape(Shape);
}

double AbsCell(double x) noexcept { return std::fabs(x); }
int32_t AbsCell(int32_t x) noexcept { return WrapAbs32(x); }

/// Every cell x of A becomes Op(x). 0, or -1 for an empty array.
template <class A, class TOp>
int32_t InPlace(A& Data, TOp&& Op) {
  TShape<RankOf<A>> Shape{};
  if (!NonEmptyShape(Data, Shape)) {
    return -1;
  }
  arraycore::ForEachCell(arraycore::WholeBox(Shape), [&Op](auto&& x) { x = Op(x); }, Data);
  return 0;
}

/// C = Op(A) cell by cell into a new array of A's shape.
template <class A, class TOp>
int32_t Unary(const A& X, A& C, TOp&& Op) {
  TShape<RankOf<A>> Shape{};
  if (!NonEmptyShape(X, Shape)) {
    return -1;
  }
  A Result = arraycore::NewArray<A>("Array arithmetic", Shape);
  arraycore::ForEachCell(arraycore::WholeBox(Shape), [&Op](auto&& r, auto x) { r = Op(x); }, Result, X);
  C.swap(Result);
  return 0;
}

/// Status of two operands: -1 empty (or ragged), -2 different shapes.
template <class A>
int32_t CheckOperands(const A& X, const A& Y, TShape<RankOf<A>>& Shape) {
  TShape<RankOf<A>> Other{};
  if (!NonEmptyShape(X, Shape) || !NonEmptyShape(Y, Other)) {
    return -1;
  }
  return Shape == Other ? 0 : -2;
}

/// C = Op(A, B) cell by cell into a new array of the operands' shape.
template <class A, class TOp>
int32_t Binary(const A& X, const A& Y, A& C, TOp&& Op) {
  TShape<RankOf<A>> Shape{};
  if (const int32_t Status = CheckOperands(X, Y, Shape); Status != 0) {
    return Status;
  }
  A Result = arraycore::NewArray<A>("Array arithmetic", Shape);
  arraycore::ForEachCell(
      arraycore::WholeBox(Shape), [&Op](auto&& r, auto x, auto y) { r = Op(x, y); }, Result, X, Y);
  C.swap(Result);
  return 0;
}

template <class A, class T>
int32_t Accumulate(A& X, const A& Y, T Factor) {
  TShape<RankOf<A>> Shape{};
  if (const int32_t Status = CheckOperands(X, Y, Shape); Status != 0) {
    return Status;
  }
  arraycore::ForEachCell(
      arraycore::WholeBox(Shape), [Factor](auto&& x, auto y) { x = CellAdd(x, CellMul(Factor, y)); },
      X, Y);
  return 0;
}

// ---------------------------------------------------------------- lines of a 2-D array

/// Cell k of line Line: columns are A[Line][k], rows A[k][Line].
double& LineCell(TDouble2DArray& A, bool Columns, size_t Line, size_t k) {
  return Columns ? A[Line][k] : A[k][Line];
}

/// Euclidean norm of a line, scaled by its largest magnitude so that the
/// squares cannot overflow or underflow.
double LineNorm(TDouble2DArray& A, bool Columns, size_t Line, size_t Length) {
  double Largest = 0.0;
  for (size_t k = 0; k < Length; ++k) {
    Largest = std::max(Largest, std::fabs(LineCell(A, Columns, Line, k)));
  }
  if (Largest == 0.0 || !std::isfinite(Largest)) {
    return Largest;
  }
  double Sum = 0.0;
  for (size_t k = 0; k < Length; ++k) {
    const double x = LineCell(A, Columns, Line, k) / Largest;
    Sum += x * x;
  }
  return Largest * std::sqrt(Sum);
}

int32_t NormalizeLines(TDouble2DArray& A, bool Columns) {
  TShape<2> Shape{};
  if (!NonEmptyShape(A, Shape)) {
    return -1;
  }
  const auto NrLines = static_cast<size_t>(Columns ? Shape[0] : Shape[1]);
  const auto Length = static_cast<size_t>(Columns ? Shape[1] : Shape[0]);
  int32_t Result = 0;
  for (size_t Line = 0; Line < NrLines; ++Line) {
    const double Norm = LineNorm(A, Columns, Line, Length);
    if (Norm == 0.0) {
      Result = -1;
      continue;
    }
    for (size_t k = 0; k < Length; ++k) {
      LineCell(A, Columns, Line, k) /= Norm;
    }
  }
  return Result;
}

int32_t MeanCenterLines(TDouble2DArray& A, bool Columns, TDoubleArray& Means) {
  TShape<2> Shape{};
  if (!NonEmptyShape(A, Shape)) {
    return -1;
  }
  const auto NrLines = static_cast<size_t>(Columns ? Shape[0] : Shape[1]);
  const auto Length = static_cast<size_t>(Columns ? Shape[1] : Shape[0]);
  TDoubleArray LineMeans(NrLines);
  for (size_t Line = 0; Line < NrLines; ++Line) {
    double Sum = 0.0;
    for (size_t k = 0; k < Length; ++k) {
      Sum += LineCell(A, Columns, Line, k);
    }
    LineMeans[Line] = Sum / static_cast<double>(Length);
    for (size_t k = 0; k < Length; ++k) {
      LineCell(A, Columns, Line, k) -= LineMeans[Line];
    }
  }
  if (!Means.empty()) {
    Means.swap(LineMeans);
  }
  return 0;
}

// ---------------------------------------------------------------- thresholds

template <class A, class TBoolA, class TTest>
int32_t Dichotomize(const A& Data, TBoolA& Result, TTest&& Test) {
  TShape<RankOf<A>> Shape{};
  if (!NonEmptyShape(Data, Shape)) {
    return -1;
  }
  TBoolA Flags = arraycore::NewArray<TBoolA>("DichotomizeArray", Shape);
  arraycore::ForEachCell(arraycore::WholeBox(Shape), [&Test](auto&& f, auto x) { f = Test(x); },
                         Flags, Data);
  Result.swap(Flags);
  return 0;
}

template <class T>
auto AboveTest(T Threshold) {
  return [Threshold](T x) { return x > Threshold; };
}

template <class T>
auto WithinTest(T Low, T High) {
  if (High < Low) {
    std::swap(Low, High);
  }
  return [Low, High](T x) { return Low <= x && x <= High; };
}

}  // namespace

// ---------------------------------------------------------------- in place

int32_t AbsValArray(TDoubleArray& A) { return InPlace(A, [](auto x) { return AbsCell(x); }); }
int32_t AbsValArray(TDouble2DArray& A) { return InPlace(A, [](auto x) { return AbsCell(x); }); }
int32_t AbsValArray(TDouble3DArray& A) { return InPlace(A, [](auto x) { return AbsCell(x); }); }
int32_t AbsValArray(TDouble4DArray& A) { return InPlace(A, [](auto x) { return AbsCell(x); }); }
int32_t AbsValArray(TIntArray& A) { return InPlace(A, [](auto x) { return AbsCell(x); }); }
int32_t AbsValArray(TInt2DArray& A) { return InPlace(A, [](auto x) { return AbsCell(x); }); }
int32_t AbsValArray(TInt3DArray& A) { return InPlace(A, [](auto x) { return AbsCell(x); }); }
int32_t AbsValArray(TInt4DArray& A) { return InPlace(A, [](auto x) { return AbsCell(x); }); }

int32_t IncArray(TDoubleArray& A, double Increment) {
  return InPlace(A, [Increment](auto x) { return CellAdd(x, Increment); });
}
int32_t IncArray(TDouble2DArray& A, double Increment) {
  return InPlace(A, [Increment](auto x) { return CellAdd(x, Increment); });
}
int32_t IncArray(TDouble3DArray& A, double Increment) {
  return InPlace(A, [Increment](auto x) { return CellAdd(x, Increment); });
}
int32_t IncArray(TDouble4DArray& A, double Increment) {
  return InPlace(A, [Increment](auto x) { return CellAdd(x, Increment); });
}
int32_t IncArray(TIntArray& A, int32_t Increment) {
  return InPlace(A, [Increment](auto x) { return CellAdd(x, Increment); });
}
int32_t IncArray(TInt2DArray& A, int32_t Increment) {
  return InPlace(A, [Increment](auto x) { return CellAdd(x, Increment); });
}
int32_t IncArray(TInt3DArray& A, int32_t Increment) {
  return InPlace(A, [Increment](auto x) { return CellAdd(x, Increment); });
}
int32_t IncArray(TInt4DArray& A, int32_t Increment) {
  return InPlace(A, [Increment](auto x) { return CellAdd(x, Increment); });
}

int32_t MultiplyArrayByScalar(TDoubleArray& A, double Factor) {
  return InPlace(A, [Factor](auto x) { return CellMul(x, Factor); });
}
int32_t MultiplyArrayByScalar(TDouble2DArray& A, double Factor) {
  return InPlace(A, [Factor](auto x) { return CellMul(x, Factor); });
}
int32_t MultiplyArrayByScalar(TDouble3DArray& A, double Factor) {
  return InPlace(A, [Factor](auto x) { return CellMul(x, Factor); });
}
int32_t MultiplyArrayByScalar(TDouble4DArray& A, double Factor) {
  return InPlace(A, [Factor](auto x) { return CellMul(x, Factor); });
}
int32_t MultiplyArrayByScalar(TIntArray& A, int32_t Factor) {
  return InPlace(A, [Factor](auto x) { return CellMul(x, Factor); });
}
int32_t MultiplyArrayByScalar(TInt2DArray& A, int32_t Factor) {
  return InPlace(A, [Factor](auto x) { return CellMul(x, Factor); });
}
int32_t MultiplyArrayByScalar(TInt3DArray& A, int32_t Factor) {
  return InPlace(A, [Factor](auto x) { return CellMul(x, Factor); });
}
int32_t MultiplyArrayByScalar(TInt4DArray& A, int32_t Factor) {
  return InPlace(A, [Factor](auto x) { return CellMul(x, Factor); });
}

int32_t ReciprocalArray(TDoubleArray& A, double ZeroValue) {
  return InPlace(A, [ZeroValue](double x) { return x == 0.0 ? ZeroValue : 1.0 / x; });
}
int32_t ReciprocalArray(TDouble2DArray& A, double ZeroValue) {
  return InPlace(A, [ZeroValue](double x) { return x == 0.0 ? ZeroValue : 1.0 / x; });
}
int32_t ReciprocalArray(TDouble3DArray& A, double ZeroValue) {
  return InPlace(A, [ZeroValue](double x) { return x == 0.0 ? ZeroValue : 1.0 / x; });
}
int32_t ReciprocalArray(TDouble4DArray& A, double ZeroValue) {
  return InPlace(A, [ZeroValue](double x) { return x == 0.0 ? ZeroValue : 1.0 / x; });
}

// ---------------------------------------------------------------- into a result

int32_t AddArrays(const TDoubleArray& A, const TDoubleArray& B, TDoubleArray& C) {
  return Binary(A, B, C, [](auto x, auto y) { return CellAdd(x, y); });
}
int32_t AddArrays(const TDouble2DArray& A, const TDouble2DArray& B, TDouble2DArray& C) {
  return Binary(A, B, C, [](auto x, auto y) { return CellAdd(x, y); });
}
int32_t AddArrays(const TDouble3DArray& A, const TDouble3DArray& B, TDouble3DArray& C) {
  return Binary(A, B, C, [](auto x, auto y) { return CellAdd(x, y); });
}
int32_t AddArrays(const TDouble4DArray& A, const TDouble4DArray& B, TDouble4DArray& C) {
  return Binary(A, B, C, [](auto x, auto y) { return CellAdd(x, y); });
}
int32_t AddArrays(const TIntArray& A, const TIntArray& B, TIntArray& C) {
  return Binary(A, B, C, [](auto x, auto y) { return CellAdd(x, y); });
}
int32_t AddArrays(const TInt2DArray& A, const TInt2DArray& B, TInt2DArray& C) {
  return Binary(A, B, C, [](auto x, auto y) { return CellAdd(x, y); });
}
int32_t AddArrays(const TInt3DArray& A, const TInt3DArray& B, TInt3DArray& C) {
  return Binary(A, B, C, [](auto x, auto y) { return CellAdd(x, y); });
}
int32_t AddArrays(const TInt4DArray& A, const TInt4DArray& B, TInt4DArray& C) {
  return Binary(A, B, C, [](auto x, auto y) { return CellAdd(x, y); });
}

int32_t SubtractArrays(const TDoubleArray& A, const TDoubleArray& B, TDoubleArray& C) {
  return Binary(A, B, C, [](auto x, auto y) { return CellSub(x, y); });
}
int32_t SubtractArrays(const TDouble2DArray& A, const TDouble2DArray& B, TDouble2DArray& C) {
  return Binary(A, B, C, [](auto x, auto y) { return CellSub(x, y); });
}
int32_t SubtractArrays(const TDouble3DArray& A, const TDouble3DArray& B, TDouble3DArray& C) {
  return Binary(A, B, C, [](auto x, auto y) { return CellSub(x, y); });
}
int32_t SubtractArrays(const TDouble4DArray& A, const TDouble4DArray& B, TDouble4DArray& C) {
  return Binary(A, B, C, [](auto x, auto y) { return CellSub(x, y); });
}
int32_t SubtractArrays(const TIntArray& A, const TIntArray& B, TIntArray& C) {
  return Binary(A, B, C, [](auto x, auto y) { return CellSub(x, y); });
}
int32_t SubtractArrays(const TInt2DArray& A, const TInt2DArray& B, TInt2DArray& C) {
  return Binary(A, B, C, [](auto x, auto y) { return CellSub(x, y); });
}
int32_t SubtractArrays(const TInt3DArray& A, const TInt3DArray& B, TInt3DArray& C) {
  return Binary(A, B, C, [](auto x, auto y) { return CellSub(x, y); });
}
int32_t SubtractArrays(const TInt4DArray& A, const TInt4DArray& B, TInt4DArray& C) {
  return Binary(A, B, C, [](auto x, auto y) { return CellSub(x, y); });
}

int32_t MultiplyArraysElemw(const TDoubleArray& A, const TDoubleArray& B, TDoubleArray& C) {
  return Binary(A, B, C, [](auto x, auto y) { return CellMul(x, y); });
}
int32_t MultiplyArraysElemw(const TDouble2DArray& A, const TDouble2DArray& B, TDouble2DArray& C) {
  return Binary(A, B, C, [](auto x, auto y) { return CellMul(x, y); });
}
int32_t MultiplyArraysElemw(const TIntArray& A, const TIntArray& B, TIntArray& C) {
  return Binary(A, B, C, [](auto x, auto y) { return CellMul(x, y); });
}
int32_t MultiplyArraysElemw(const TInt2DArray& A, const TInt2DArray& B, TInt2DArray& C) {
  return Binary(A, B, C, [](auto x, auto y) { return CellMul(x, y); });
}

int32_t AddScalarToArray(const TDoubleArray& A, double Scalar, TDoubleArray& C) {
  return Unary(A, C, [Scalar](auto x) { return CellAdd(x, Scalar); });
}
int32_t AddScalarToArray(const TDouble2DArray& A, double Scalar, TDouble2DArray& C) {
  return Unary(A, C, [Scalar](auto x) { return CellAdd(x, Scalar); });
}
int32_t AddScalarToArray(const TDouble3DArray& A, double Scalar, TDouble3DArray& C) {
  return Unary(A, C, [Scalar](auto x) { return CellAdd(x, Scalar); });
}
int32_t AddScalarToArray(const TDouble4DArray& A, double Scalar, TDouble4DArray& C) {
  return Unary(A, C, [Scalar](auto x) { return CellAdd(x, Scalar); });
}
int32_t AddScalarToArray(const TIntArray& A, int32_t Scalar, TIntArray& C) {
  return Unary(A, C, [Scalar](auto x) { return CellAdd(x, Scalar); });
}
int32_t AddScalarToArray(const TInt2DArray& A, int32_t Scalar, TInt2DArray& C) {
  return Unary(A, C, [Scalar](auto x) { return CellAdd(x, Scalar); });
}
int32_t AddScalarToArray(const TInt3DArray& A, int32_t Scalar, TInt3DArray& C) {
  return Unary(A, C, [Scalar](auto x) { return CellAdd(x, Scalar); });
}
int32_t AddScalarToArray(const TInt4DArray& A, int32_t Scalar, TInt4DArray& C) {
  return Unary(A, C, [Scalar](auto x) { return CellAdd(x, Scalar); });
}

int32_t MultiplyArrayByScalar(const TDoubleArray& A, double Factor, TDoubleArray& C) {
  return Unary(A, C, [Factor](auto x) { return CellMul(x, Factor); });
}
int32_t MultiplyArrayByScalar(const TDouble2DArray& A, double Factor, TDouble2DArray& C) {
  return Unary(A, C, [Factor](auto x) { return CellMul(x, Factor); });
}
int32_t MultiplyArrayByScalar(const TDouble3DArray& A, double Factor, TDouble3DArray& C) {
  return Unary(A, C, [Factor](auto x) { return CellMul(x, Factor); });
}
int32_t MultiplyArrayByScalar(const TDouble4DArray& A, double Factor, TDouble4DArray& C) {
  return Unary(A, C, [Factor](auto x) { return CellMul(x, Factor); });
}
int32_t MultiplyArrayByScalar(const TIntArray& A, int32_t Factor, TIntArray& C) {
  return Unary(A, C, [Factor](auto x) { return CellMul(x, Factor); });
}
int32_t MultiplyArrayByScalar(const TInt2DArray& A, int32_t Factor, TInt2DArray& C) {
  return Unary(A, C, [Factor](auto x) { return CellMul(x, Factor); });
}
int32_t MultiplyArrayByScalar(const TInt3DArray& A, int32_t Factor, TInt3DArray& C) {
  return Unary(A, C, [Factor](auto x) { return CellMul(x, Factor); });
}
int32_t MultiplyArrayByScalar(const TInt4DArray& A, int32_t Factor, TInt4DArray& C) {
  return Unary(A, C, [Factor](auto x) { return CellMul(x, Factor); });
}

int32_t AccumulateArray(TDoubleArray& A, const TDoubleArray& B, double Factor) {
  return Accumulate(A, B, Factor);
}
int32_t AccumulateArray(TDouble2DArray& A, const TDouble2DArray& B, double Factor) {
  return Accumulate(A, B, Factor);
}
int32_t AccumulateArray(TDouble3DArray& A, const TDouble3DArray& B, double Factor) {
  return Accumulate(A, B, Factor);
}
int32_t AccumulateArray(TDouble4DArray& A, const TDouble4DArray& B, double Factor) {
  return Accumulate(A, B, Factor);
}
int32_t AccumulateArray(TIntArray& A, const TIntArray& B, int32_t Factor) {
  return Accumulate(A, B, Factor);
}
int32_t AccumulateArray(TInt2DArray& A, const TInt2DArray& B, int32_t Factor) {
  return Accumulate(A, B, Factor);
}
int32_t AccumulateArray(TInt3DArray& A, const TInt3DArray& B, int32_t Factor) {
  return Accumulate(A, B, Factor);
}
int32_t AccumulateArray(TInt4DArray& A, const TInt4DArray& B, int32_t Factor) {
  return Accumulate(A, B, Factor);
}

// ---------------------------------------------------------------- normalising

int32_t NormalizeColumns(TDouble2DArray& A) { return NormalizeLines(A, true); }
int32_t NormalizeRows(TDouble2DArray& A) { return NormalizeLines(A, false); }
int32_t MeanCenterColumnsOfArray(TDouble2DArray& A, TDoubleArray& Means) {
  return MeanCenterLines(A, true, Means);
}
int32_t MeanCenterRowsOfArray(TDouble2DArray& A, TDoubleArray& Means) {
  return MeanCenterLines(A, false, Means);
}

// ---------------------------------------------------------------- thresholds

int32_t DichotomizeArray(const TDouble2DArray& Data, double Threshold, TBool2DArray& Result) {
  return Dichotomize(Data, Result, AboveTest(Threshold));
}
int32_t DichotomizeArray(const TDouble2DArray& Data, double Low, double High, TBool2DArray& Result) {
  return Dichotomize(Data, Result, WithinTest(Low, High));
}
int32_t DichotomizeArray(const TInt2DArray& Data, int32_t Threshold, TBool2DArray& Result) {
  return Dichotomize(Data, Result, AboveTest(Threshold));
}
int32_t DichotomizeArray(const TInt2DArray& Data, int32_t Low, int32_t High, TBool2DArray& Result) {
  return Dichotomize(Data, Result, WithinTest(Low, High));
}
int32_t DichotomizeArray(const TIntArray& Data, int32_t Threshold, TBoolArray& Result) {
  return Dichotomize(Data, Result, AboveTest(Threshold));
}
int32_t DichotomizeArray(const TIntArray& Data, int32_t Low, int32_t High, TBoolArray& Result) {
  return Dichotomize(Data, Result, WithinTest(Low, High));
}

int32_t DiscretizeArray(TDouble2DArray& A, int32_t NumLevels, double LowThresh, double HighThresh,
                        double LowVal, double HighVal) {
  if (!(LowThresh < HighThresh)) {
    return -2;
  }
  if (NumLevels < 3) {
    return -1;
  }
  const double BinWidth = (HighThresh - LowThresh) / (NumLevels - 2.0);
  const double LevelStep = (HighVal - LowVal) / (NumLevels - 1.0);
  return InPlace(A, [&](double x) {
    if (x <= LowThresh) {
      return LowVal;
    }
    if (x >= HighThresh) {
      return HighVal;
    }
    // h stays a double: no conversion of a NaN or huge quotient to an integer.
    const double h = std::floor((x - LowThresh) / BinWidth);
    return LowVal + LevelStep * (h + 1.0);
  });
}

int32_t InvertArray(TBoolArray& A) {
  return InPlace(A, [](bool b) { return !b; });
}
int32_t InvertArray(TBool2DArray& A) {
  return InPlace(A, [](bool b) { return !b; });
}

}  // namespace vexa
