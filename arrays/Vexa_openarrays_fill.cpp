// Filling routines of Vexa_openarrays: constant, masked, serial and diagonal
// fills, and boolean arrays turned into numbers.

#include "arrays/Vexa_openarrays.h"
#include "arrays/internal/Vexa_arrayshapes.h"
#include "platform/Vexa_intmath.h"

namespace vexa {

namespace {

using namespace arraycore;

template <class A, class T>
int32_t FillWhole(A& Arr, T Value) {
  TShape<RankOf<A>> Shape{};
  if (!NonEmptyShape(Arr, Shape)) {
    return -1;
  }
  ForEachCell(WholeBox(Shape), [Value](auto&& Cell) { Cell = Value; }, Arr);
  return 0;
}

template <class A, class T>
int32_t FillBox(A& Arr, T Value, const std::array<int64_t, 2 * RankOf<A>>& LowsThenHighs) {
  TShape<RankOf<A>> Shape{};
  if (!NonEmptyShape(Arr, Shape)) {
    return -1;
  }
  const auto Box = MakeBox<RankOf<A>>(LowsThenHighs);
  if (const int32_t Status = ValidateBox(Shape, Box); Status != 0) {
    return Status;
  }
  ForEachCell(Box, [Value](auto& Cell) { Cell = Value; }, Arr);
  return 0;
}

template <class A, class T>
int32_t FillMasked(A& Arr, T Value, const TBool2DArray& Mask) {
  TShape<2> Shape{};
  if (!NonEmptyShape(Arr, Shape)) {
    return -2;
  }
  if (Mask.empty()) {
    ForEachCell(WholeBox(Shape), [Value](T& Cell) { Cell = Value; }, Arr);
    return static_cast<int32_t>(CellCount(Shape));
  }
  TShape<2> MaskShape{};
  if (!TryShape(Mask, MaskShape) || MaskShape != Shape) {
    return -1;
  }
  int64_t Filled = 0;
  ForEachCell(
      WholeBox(Shape),
      [&](T& Cell, bool Masked) {
        if (!Masked) {
          Cell = Value;
          ++Filled;
        }
      },
      Arr, Mask);
  return static_cast<int32_t>(Filled);
}

/// Next value of a running serial fill (integers wrap).
double SerialNext(double Value, double Step) { return Value + Step; }
int32_t SerialNext(int32_t Value, int32_t Step) { return WrapAdd32(Value, Step); }

/// Value number k of a 1-D serial fill: Start + k * Step (integers wrap).
double SerialAt(double Start, double Step, size_t k) { return Start + static_cast<double>(k) * Step; }
int32_t SerialAt(int32_t Start, int32_t Step, size_t k) {
  const auto Index = static_cast<int32_t>(static_cast<uint32_t>(k));  // k mod 2^32
  return WrapAdd32(Start, WrapMul32(Index, Step));
}

template <class A, class T>
int32_t FillSerial(A& Arr, T Start, T Step) {
  TShape<RankOf<A>> Shape{};
  if (!NonEmptyShape(Arr, Shape)) {
    return -1;
  }
  if constexpr (RankOf<A> == 1) {
    for (size_t k = 0; k < Arr.size(); ++k) {
      Arr[k] = SerialAt(Start, Step, k);
    }
  } else {
    T Running = Start;
    ForEachCell(WholeBox(Shape), [&](T& Cell) {
      Cell = Running;
      Running = SerialNext(Running, Step);
    }, Arr);
  }
  return 0;
}

template <class A, class T>
int32_t FillDiagonal(A& Arr, T Value) {
  TShape<RankOf<A>> Shape{};
  if (!NonEmptyShape(Arr, Shape)) {
    return -1;
  }
  for (const int64_t Size : Shape) {
    if (Size != Shape[0]) {
      return -2;
    }
  }
  ForEachIndexedCell(WholeBox(Shape), [Value](const TShape<RankOf<A>>& Index, T& Cell) {
    const bool OnDiagonal = std::all_of(Index.begin(), Index.end(), [&](int64_t i) { return i == Index[0]; });
    Cell = OnDiagonal ? Value : T{};
  }, Arr);
  return 0;
}

template <class TSource, class TResult, class T>
int32_t BoolToNum(const TSource& Arr, T FalseValue, T TrueValue, TResult& R) {
  TShape<RankOf<TSource>> Shape{};
  if (!NonEmptyShape(Arr, Shape)) {
    return -1;
  }
  auto Result = NewArray<TResult>("BoolToNumArray", Shape);
  ForEachCell(WholeBox(Shape), [&](bool Flag, T& Cell) { Cell = Flag ? TrueValue : FalseValue; }, Arr,
              Result);
  R.swap(Result);
  return 0;
}

}  // namespace

int32_t FillArray(TBoolArray& A, bool Value) { return FillWhole(A, Value); }
int32_t FillArray(TBool2DArray& A, bool Value) { return FillWhole(A, Value); }
int32_t FillArray(TDoubleArray& A, double Value) { return FillWhole(A, Value); }
int32_t FillArray(TDouble2DArray& A, double Value) { return FillWhole(A, Value); }
int32_t FillArray(TDouble3DArray& A, double Value) { return FillWhole(A, Value); }
int32_t FillArray(TDouble4DArray& A, double Value) { return FillWhole(A, Value); }
int32_t FillArray(TIntArray& A, int32_t Value) { return FillWhole(A, Value); }
int32_t FillArray(TInt2DArray& A, int32_t Value) { return FillWhole(A, Value); }
int32_t FillArray(TInt3DArray& A, int32_t Value) { return FillWhole(A, Value); }
int32_t FillArray(TInt4DArray& A, int32_t Value) { return FillWhole(A, Value); }

int32_t FillArray(TDoubleArray& A, double Value, int32_t Lo1, int32_t Hi1) {
  return FillBox(A, Value, {Lo1, Hi1});
}
int32_t FillArray(TDouble2DArray& A, double Value, int32_t Lo1, int32_t Lo2, int32_t Hi1, int32_t Hi2) {
  return FillBox(A, Value, {Lo1, Lo2, Hi1, Hi2});
}
int32_t FillArray(TDouble3DArray& A, double Value, int32_t Lo1, int32_t Lo2, int32_t Lo3, int32_t Hi1,
                  int32_t Hi2, int32_t Hi3) {
  return FillBox(A, Value, {Lo1, Lo2, Lo3, Hi1, Hi2, Hi3});
}
int32_t FillArray(TDouble4DArray& A, double Value, int32_t Lo1, int32_t Lo2, int32_t Lo3, int32_t Lo4,
                  int32_t Hi1, int32_t Hi2, int32_t Hi3, int32_t Hi4) {
  return FillBox(A, Value, {Lo1, Lo2, Lo3, Lo4, Hi1, Hi2, Hi3, Hi4});
}
int32_t FillArray(TIntArray& A, int32_t Value, int32_t Lo1, int32_t Hi1) {
  return FillBox(A, Value, {Lo1, Hi1});
}
int32_t FillArray(TInt2DArray& A, int32_t Value, int32_t Lo1, int32_t Lo2, int32_t Hi1, int32_t Hi2) {
  return FillBox(A, Value, {Lo1, Lo2, Hi1, Hi2});
}
int32_t FillArray(TInt3DArray& A, int32_t Value, int32_t Lo1, int32_t Lo2, int32_t Lo3, int32_t Hi1,
                  int32_t Hi2, int32_t Hi3) {
  return FillBox(A, Value, {Lo1, Lo2, Lo3, Hi1, Hi2, Hi3});
}
int32_t FillArray(TInt4DArray& A, int32_t Value, int32_t Lo1, int32_t Lo2, int32_t Lo3, int32_t Lo4,
                  int32_t Hi1, int32_t Hi2, int32_t Hi3, int32_t Hi4) {
  return FillBox(A, Value, {Lo1, Lo2, Lo3, Lo4, Hi1, Hi2, Hi3, Hi4});
}

int32_t FillArrayMasked(TDouble2DArray& A, double Value, const TBool2DArray& Mask) {
  return FillMasked(A, Value, Mask);
}
int32_t FillArrayMasked(TInt2DArray& A, int32_t Value, const TBool2DArray& Mask) {
  return FillMasked(A, Value, Mask);
}

int32_t FillArraySerial(TDoubleArray& A, double Start, double Step) { return FillSerial(A, Start, Step); }
int32_t FillArraySerial(TDouble2DArray& A, double Start, double Step) { return FillSerial(A, Start, Step); }
int32_t FillArraySerial(TDouble3DArray& A, double Start, double Step) { return FillSerial(A, Start, Step); }
int32_t FillArraySerial(TDouble4DArray& A, double Start, double Step) { return FillSerial(A, Start, Step); }
int32_t FillArraySerial(TIntArray& A, int32_t Start, int32_t Step) { return FillSerial(A, Start, Step); }
int32_t FillArraySerial(TInt2DArray& A, int32_t Start, int32_t Step) { return FillSerial(A, Start, Step); }
int32_t FillArraySerial(TInt3DArray& A, int32_t Start, int32_t Step) { return FillSerial(A, Start, Step); }
int32_t FillArraySerial(TDoubleArray& A) { return FillSerial(A, 0.0, 1.0); }
int32_t FillArraySerial(TDouble2DArray& A) { return FillSerial(A, 0.0, 1.0); }
int32_t FillArraySerial(TDouble3DArray& A) { return FillSerial(A, 0.0, 1.0); }
int32_t FillArraySerial(TIntArray& A) { return FillSerial(A, 0, 1); }
int32_t FillArraySerial(TInt2DArray& A) { return FillSerial(A, 0, 1); }
int32_t FillArraySerial(TInt3DArray& A) { return FillSerial(A, 0, 1); }

int32_t FillDiagArray(TDouble2DArray& A, double Value) { return FillDiagonal(A, Value); }
int32_t FillDiagArray(TDouble3DArray& A, double Value) { return FillDiagonal(A, Value); }
int32_t FillDiagArray(TDouble4DArray& A, double Value) { return FillDiagonal(A, Value); }
int32_t FillDiagArray(TInt2DArray& A, int32_t Value) { return FillDiagonal(A, Value); }
int32_t FillDiagArray(TInt3DArray& A, int32_t Value) { return FillDiagonal(A, Value); }
int32_t FillDiagArray(TInt4DArray& A, int32_t Value) { return FillDiagonal(A, Value); }

int32_t BoolToNumArray(const TBoolArray& A, int32_t FalseValue, int32_t TrueValue, TIntArray& R) {
  return BoolToNum(A, FalseValue, TrueValue, R);
}
int32_t BoolToNumArray(const TBool2DArray& A, int32_t FalseValue, int32_t TrueValue, TInt2DArray& R) {
  return BoolToNum(A, FalseValue, TrueValue, R);
}
int32_t BoolToNumArray(const TBoolArray& A, double FalseValue, double TrueValue, TDoubleArray& R) {
  return BoolToNum(A, FalseValue, TrueValue, R);
}
int32_t BoolToNumArray(const TBool2DArray& A, double FalseValue, double TrueValue, TDouble2DArray& R) {
  return BoolToNum(A, FalseValue, TrueValue, R);
}

}  // namespace vexa
