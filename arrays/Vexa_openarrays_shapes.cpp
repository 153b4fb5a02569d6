// Shapes and regions of Vexa_openarrays: mask shapes, flood fill, edge
// vectors, object distances, the hat matrix, serialising, cell lists,
// bounding boxes, permutations and rescaling.

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "arrays/Vexa_openarrays.h"
#include "arrays/internal/Vexa_arrayshapes.h"
#include "foundation/internal/Vexa_statcore.h"
#include "platform/Vexa_intmath.h"

namespace vexa {

namespace {

using namespace arraycore;

// ---------------------------------------------------------------- mask shapes

/// Index range Low..High clipped to 0..Size - 1 (empty when Low > High after clipping).
struct TSpan {
  int64_t Low;
  int64_t High;
};
TSpan Clip(int64_t Low, int64_t High, int64_t Size) { return {std::max<int64_t>(Low, 0), std::min(High, Size - 1)}; }

/// Sets the cells of the clipped box for which Inside(i, j) holds.
template <class TInside>
void SetCells(TBool2DArray& Mask, const TShape<2>& Shape, int64_t i1, int64_t j1, int64_t i2, int64_t j2,
              TInside&& Inside) {
  const TSpan I = Clip(i1, i2, Shape[0]);
  const TSpan J = Clip(j1, j2, Shape[1]);
  for (int64_t i = I.Low; i <= I.High; ++i) {
    for (int64_t j = J.Low; j <= J.High; ++j) {
      if (Inside(i, j)) {
        Mask[static_cast<size_t>(i)][static_cast<size_t>(j)] = true;
      }
    }
  }
}

/// Squared distance of (i, j) from (ci, cj); the callers' clipping keeps
/// both differences within a 32-bit radius, so the sum fits.
int64_t SquaredDistance(int64_t i, int64_t j, int64_t ci, int64_t cj) {
  return (i - ci) * (i - ci) + (j - cj) * (j - cj);
}

/// (d * d) / Halved with Halved = span² div 2; a halved span of 0 (span 0 or
/// 1) makes the term 0, so such a strip qualifies throughout.
double EllipseTerm(int64_t d, int64_t Halved) {
  return Halved == 0 ? 0.0 : static_cast<double>(d * d) / static_cast<double>(Halved);
}

/// span² div 2 for a span of 0 .. 2^32 - 1: the square fits into 64 bits
/// only unsigned, its half also signed.
int64_t HalvedSquare(int64_t Span) {
  const auto u = static_cast<uint64_t>(Span);
  return static_cast<int64_t>(u * u / 2);
}

void DrawEllipse(TBool2DArray& Mask, const TShape<2>& Shape, int64_t i1, int64_t j1, int64_t i2, int64_t j2) {
  const int64_t ci = (i1 + i2) / 2;
  const int64_t cj = (j1 + j2) / 2;
  const TSpan I = Clip(i1, i2, Shape[0]);
  const TSpan J = Clip(j1, j2, Shape[1]);
  if (I.Low > I.High || J.Low > J.High) {
    return;
  }
  const int64_t a = HalvedSquare(i2 - i1);
  const int64_t b = HalvedSquare(j2 - j1);
  SetCells(Mask, Shape, I.Low, J.Low, I.High, J.High,
           [&](int64_t i, int64_t j) { return EllipseTerm(i - ci, a) + EllipseTerm(j - cj, b) <= 1.0; });
}

/// Number of parameters a shape kind takes; 0 for an unknown kind.
size_t ShapeParamCount(TShapeKind Kind) {
  switch (Kind) {
    case skRectangle:
    case skEllipse:
    case skRing: return 4;
    case skDisc: return 3;
  }
  return 0;
}

// ---------------------------------------------------------------- flood fill

/// Extent of the filled cells, as the outs of FloodFillArray.
struct TExtent {
  int64_t MinFirst, MaxFirst, MinSecond, MaxSecond;
};

/// Scan-line fill along the first index. Matches(i, j) tells whether a cell
/// belongs to the region and has not been filled; Fill(i, j) fills it.
/// Pending runs are kept on a heap stack, so the call depth is constant.
template <class TMatches, class TFill>
int64_t ScanLineFill(const TShape<2>& Shape, int64_t i0, int64_t j0, bool FourConnected, TMatches&& Matches,
                     TFill&& Fill, TExtent& Extent) {
  struct TSeed {
    int64_t i, j;
  };
  std::vector<TSeed> Pending{{i0, j0}};
  int64_t Filled = 0;
  const int64_t Widen = FourConnected ? 0 : 1;
  while (!Pending.empty()) {
    const TSeed Seed = Pending.back();
    Pending.pop_back();
    if (!Matches(Seed.i, Seed.j)) {
      continue;  // filled meanwhile through another run
    }
    int64_t Low = Seed.i;
    int64_t High = Seed.i;
    while (Low > 0 && Matches(Low - 1, Seed.j)) {
      --Low;
    }
    while (High + 1 < Shape[0] && Matches(High + 1, Seed.j)) {
      ++High;
    }
    for (int64_t i = Low; i <= High; ++i) {
      Fill(i, Seed.j);
    }
    Filled += High - Low + 1;
    Extent.MinFirst = std::min(Extent.MinFirst, Low);
    Extent.MaxFirst = std::max(Extent.MaxFirst, High);
    Extent.MinSecond = std::min(Extent.MinSecond, Seed.j);
    Extent.MaxSecond = std::max(Extent.MaxSecond, Seed.j);
    const int64_t From = std::max<int64_t>(Low - Widen, 0);
    const int64_t To = std::min(High + Widen, Shape[0] - 1);
    for (const int64_t j : {Seed.j - 1, Seed.j + 1}) {
      if (j < 0 || j >= Shape[1]) {
        continue;
      }
      // One seed per run of matching cells on the neighbouring line.
      bool InRun = false;
      for (int64_t i = From; i <= To; ++i) {
        const bool Match = Matches(i, j);
        if (Match && !InRun) {
          Pending.push_back({i, j});
        }
        InRun = Match;
      }
    }
  }
  return Filled;
}

void SetExtentOuts(const TExtent& Extent, int32_t& MaxSecond, int32_t& MinSecond, int32_t& MinFirst,
                   int32_t& MaxFirst) {
  // Indices of an existing array that the caller addressed with 32-bit seeds.
  MaxSecond = static_cast<int32_t>(Extent.MaxSecond);
  MinSecond = static_cast<int32_t>(Extent.MinSecond);
  MinFirst = static_cast<int32_t>(Extent.MinFirst);
  MaxFirst = static_cast<int32_t>(Extent.MaxFirst);
}

/// Shape of Data when the seed lies inside it; false otherwise (also for
/// empty or ragged data).
template <class A>
bool SeedInside(const A& Data, int32_t i0, int32_t j0, TShape<2>& Shape) {
  return NonEmptyShape(Data, Shape) && i0 >= 0 && i0 < Shape[0] && j0 >= 0 && j0 < Shape[1];
}

int32_t CountResult(int64_t Count) { return static_cast<int32_t>(std::min<int64_t>(Count, INT32_MAX)); }

// ---------------------------------------------------------------- edge vectors, distances

template <class A>
int32_t Edges(const A& Data, TOrientation Orient, TEdgeOp Op, const TIntArray& Indices, TDoubleArray& Result) {
  TShape<2> Shape{};
  if (!NonEmptyShape(Data, Shape)) {
    return -1;
  }
  auto Cell = [&Data](int64_t i, int64_t j) {
    return static_cast<double>(Data[static_cast<size_t>(i)][static_cast<size_t>(j)]);
  };
  return EdgeVectorCore(Shape[0], Shape[1], Cell, Orient == orVertical, Op, Indices, 0, Result);
}

// ---------------------------------------------------------------- serialising, cells, boxes

template <class A, class TResult>
void Serialize(const A& Data, bool SecondIndexFastest, TResult& Result) {
  const TShape<2> Shape = RectangularShape(Data, "SerializeArray");
  if (IsEmptyShape(Shape)) {
    return;
  }
  auto Row = NewArray<TResult>("SerializeArray", {CellCount(Shape)});
  ForEachIndexedCell(WholeBox(Shape), [&](const TShape<2>& Index, auto Value) {
    const int64_t k = SecondIndexFastest ? Index[0] * Shape[1] + Index[1] : Index[0] + Shape[0] * Index[1];
    Row[static_cast<size_t>(k)] = Value;
  }, Data);
  Result.swap(Row);
}

/// The number of positions to list: MaxCount, or all cells when MaxCount is
/// not positive or larger.
int64_t ListLimit(int32_t MaxCount, int64_t Cells) { return (MaxCount <= 0 || MaxCount > Cells) ? Cells : MaxCount; }

bool IsNonZero(double x) { return x != 0.0; }  // NaN != 0 holds: a NaN counts as non-zero
bool IsNonZero(int32_t x) { return x != 0; }

template <class A>
void Bounds(const A& Data, int32_t& FirstLow, int32_t& FirstHigh, int32_t& SecondLow, int32_t& SecondHigh) {
  const TShape<2> Shape = RectangularShape(Data, "BoundingRect");
  FirstLow = FirstHigh = SecondLow = SecondHigh = -1;
  if (IsEmptyShape(Shape)) {
    return;
  }
  int64_t MinI = Shape[0], MaxI = -1, MinJ = Shape[1], MaxJ = -1;
  ForEachIndexedCell(WholeBox(Shape), [&](const TShape<2>& Index, auto Value) {
    if (IsNonZero(Value)) {
      MinI = std::min(MinI, Index[0]);
      MaxI = std::max(MaxI, Index[0]);
      MinJ = std::min(MinJ, Index[1]);
      MaxJ = std::max(MaxJ, Index[1]);
    }
  }, Data);
  if (MaxI >= 0) {
    FirstLow = static_cast<int32_t>(MinI);
    FirstHigh = static_cast<int32_t>(MaxI);
    SecondLow = static_cast<int32_t>(MinJ);
    SecondHigh = static_cast<int32_t>(MaxJ);
  }
}

// ---------------------------------------------------------------- permutations

/// True when List holds every index 0 .. List.size() - 1 once.
bool IsPermutation(const TIntArray& List) {
  std::vector<bool> Seen(List.size(), false);
  for (const int32_t k : List) {
    if (k < 0 || static_cast<size_t>(k) >= List.size() || Seen[static_cast<size_t>(k)]) {
      return false;
    }
    Seen[static_cast<size_t>(k)] = true;
  }
  return true;
}

// ---------------------------------------------------------------- rescaling

/// The affine map x' = (x - Offset) * Factor of a rescale mode over Values
/// (NaN cells ignored); -3 for degenerate data, -2 for an invalid target range.
template <class TValues>
int32_t RescaleMap(const TValues& Values, TRescaleMode Mode, double& Offset, double& Factor) {
  statcore::TShiftedSums Sums;
  double Min = INFINITY;
  double Max = -INFINITY;
  for (const double x : Values) {
    if (!std::isnan(x)) {
      Sums.Add(x);
      Min = std::min(Min, x);
      Max = std::max(Max, x);
    }
  }
  const double Range = Max - Min;
  switch (Mode) {
    case rsmUnitRange:
    case rsmToRange: {
      const double TargetLow = Mode == rsmToRange ? Offset : 0.0;
      const double TargetHigh = Mode == rsmToRange ? Factor : 1.0;
      if (!(TargetLow < TargetHigh) || !std::isfinite(TargetHigh - TargetLow)) {
        return -2;
      }
      if (Sums.Count() == 0 || !(Range > 0.0) || !std::isfinite(Range)) {
        return -3;
      }
      Factor = (TargetHigh - TargetLow) / Range;
      Offset = Min - TargetLow / Factor;
      return 0;
    }
    case rsmStandardize: {
      const int64_t n = Sums.Count();
      const double Variance = n < 2 ? 0.0 : std::max(0.0, Sums.CentredSquares()) / static_cast<double>(n - 1);
      if (!(Variance > 0.0) || !std::isfinite(Variance)) {
        return -3;
      }
      Offset = Sums.Mean();
      Factor = 1.0 / std::sqrt(Variance);
      return 0;
    }
    case rsmMeanCenter:
      if (Sums.Count() == 0 || !std::isfinite(Sums.Mean())) {
        return -3;
      }
      Offset = Sums.Mean();
      Factor = 1.0;
      return 0;
  }
  return -2;
}

template <class A, size_t R = RankOf<A>>
int32_t Rescale(A& Data, const std::array<int64_t, 2 * R>& LowsThenHighs, TRescaleMode Mode, double& Offset,
                double& Factor) {
  TShape<R> Shape{};
  if (!NonEmptyShape(Data, Shape)) {
    return -1;
  }
  const auto Box = MakeBox<R>(LowsThenHighs);
  if (const int32_t Status = ValidateBox(Shape, Box); Status != 0) {
    return Status;
  }
  const std::vector<double> Values = CopyBoxToDoubles("RescaleArray", Data, Box);
  double NewOffset = Offset;
  double NewFactor = Factor;
  if (const int32_t Status = RescaleMap(Values, Mode, NewOffset, NewFactor); Status != 0) {
    return Status;
  }
  ForEachCell(Box, [&](double& x) { x = (x - NewOffset) * NewFactor; }, Data);
  Offset = NewOffset;
  Factor = NewFactor;
  return 0;
}

}  // namespace

int32_t CreateMaskShape(TBool2DArray& Mask, TShapeKind Kind, const TIntArray& Params) {
  TShape<2> Shape{};
  const size_t NrParams = ShapeParamCount(Kind);
  if (!NonEmptyShape(Mask, Shape) || NrParams == 0 || Params.size() != NrParams) {
    return -1;
  }
  const int64_t p0 = Params[0], p1 = Params[1], p2 = Params[2];
  const int64_t p3 = NrParams > 3 ? Params[3] : 0;
  switch (Kind) {
    case skRectangle:
      SetCells(Mask, Shape, p0, p1, p2, p3, [](int64_t, int64_t) { return true; });
      break;
    case skEllipse:
      DrawEllipse(Mask, Shape, p0, p1, p2, p3);
      break;
    case skDisc:
      if (p2 < 0) {
        return -2;
      }
      SetCells(Mask, Shape, p0 - p2, p1 - p2, p0 + p2, p1 + p2,
               [&](int64_t i, int64_t j) { return SquaredDistance(i, j, p0, p1) <= p2 * p2; });
      break;
    case skRing: {
      if (p2 < 0 || p3 < 0) {
        return -2;
      }
      const int64_t Inner = std::min(p2, p3);
      const int64_t Outer = std::max(p2, p3);
      SetCells(Mask, Shape, p0 - Outer, p1 - Outer, p0 + Outer, p1 + Outer, [&](int64_t i, int64_t j) {
        const int64_t d2 = SquaredDistance(i, j, p0, p1);
        return Inner * Inner <= d2 && d2 <= Outer * Outer;
      });
      break;
    }
  }
  return 0;
}

int32_t FloodFillArray(int32_t i0, int32_t j0, int32_t NewValue, bool FourConnected, TInt2DArray& Data,
                       int32_t& MaxSecond, int32_t& MinSecond, int32_t& MinFirst, int32_t& MaxFirst) {
  TShape<2> Shape{};
  if (!SeedInside(Data, i0, j0, Shape)) {
    return -1;
  }
  const int32_t Old = Data[static_cast<size_t>(i0)][static_cast<size_t>(j0)];
  if (Old == NewValue) {
    return -2;
  }
  TExtent Extent{i0, i0, j0, j0};
  // Filled cells hold NewValue != Old, so they stop matching by themselves.
  const int64_t Filled = ScanLineFill(
      Shape, i0, j0, FourConnected,
      [&](int64_t i, int64_t j) { return Data[static_cast<size_t>(i)][static_cast<size_t>(j)] == Old; },
      [&](int64_t i, int64_t j) { Data[static_cast<size_t>(i)][static_cast<size_t>(j)] = NewValue; }, Extent);
  SetExtentOuts(Extent, MaxSecond, MinSecond, MinFirst, MaxFirst);
  return CountResult(Filled);
}

int32_t FloodFillArray(int32_t i0, int32_t j0, double Tolerance, double NewValue, bool FourConnected,
                       TDouble2DArray& Data, int32_t& MaxSecond, int32_t& MinSecond, int32_t& MinFirst,
                       int32_t& MaxFirst) {
  TShape<2> Shape{};
  if (!SeedInside(Data, i0, j0, Shape)) {
    return -1;
  }
  const double Seed = Data[static_cast<size_t>(i0)][static_cast<size_t>(j0)];
  const double t = std::fabs(Tolerance);
  const double BandLow = Seed - t;
  const double BandHigh = Seed + t;
  TExtent Extent{i0, i0, j0, j0};
  // A NaN seed or tolerance makes the band NaN: no cell (not even the seed) matches.
  std::vector<bool> Done(static_cast<size_t>(CellCount(Shape)), false);
  auto CellIndex = [&](int64_t i, int64_t j) { return static_cast<size_t>(i * Shape[1] + j); };
  const int64_t Filled = ScanLineFill(
      Shape, i0, j0, FourConnected,
      [&](int64_t i, int64_t j) {
        const double v = Data[static_cast<size_t>(i)][static_cast<size_t>(j)];
        return !Done[CellIndex(i, j)] && BandLow <= v && v <= BandHigh;
      },
      [&](int64_t i, int64_t j) {
        Data[static_cast<size_t>(i)][static_cast<size_t>(j)] = NewValue;
        Done[CellIndex(i, j)] = true;
      },
      Extent);
  SetExtentOuts(Extent, MaxSecond, MinSecond, MinFirst, MaxFirst);
  return CountResult(Filled);
}

int32_t EdgeVector(const TDouble2DArray& A, TOrientation Orient, TEdgeOp Op, TDoubleArray& Result) {
  return Edges(A, Orient, Op, {}, Result);
}
int32_t EdgeVector(const TInt2DArray& A, TOrientation Orient, TEdgeOp Op, TDoubleArray& Result) {
  return Edges(A, Orient, Op, {}, Result);
}
int32_t EdgeVector(const TDouble2DArray& A, TOrientation Orient, TEdgeOp Op, const TIntArray& Indices,
                   TDoubleArray& Result) {
  return Edges(A, Orient, Op, Indices, Result);
}
int32_t EdgeVector(const TInt2DArray& A, TOrientation Orient, TEdgeOp Op, const TIntArray& Indices,
                   TDoubleArray& Result) {
  return Edges(A, Orient, Op, Indices, Result);
}

int32_t DistanceOfObjects(const TDouble2DArray& A, TDistMode Mode, int32_t Object1, int32_t Object2,
                          int32_t First, int32_t Last, double& Distance) {
  Distance = 0.0;
  TShape<2> Shape{};
  if (!TryShape(A, Shape)) {
    Shape = {0, 0};  // ragged data has no valid object or feature
  }
  int32_t Status = 0;
  if (Mode == dmUserDefined) {
    Status = -1;
  }
  if (Object1 < 0 || Object1 >= Shape[1] || Object2 < 0 || Object2 >= Shape[1]) {
    Status = -2;
  }
  if (First < 0 || First >= Shape[0] || Last < 0 || Last >= Shape[0]) {
    Status = -3;
  }
  if (Last < First) {
    Status = -4;
  }
  if (Status != 0) {
    return Status;
  }
  const auto o1 = static_cast<size_t>(Object1);
  const auto o2 = static_cast<size_t>(Object2);
  Distance = ObjectDistanceCore(
      Mode, First, Last, [&](int64_t k) { return A[static_cast<size_t>(k)][o1]; },
      [&](int64_t k) { return A[static_cast<size_t>(k)][o2]; });
  return 0;
}

int32_t CalcHatMatrix(const TDouble2DArray& X, TDouble2DArray& H) {
  TShape<2> Shape{};
  if (!NonEmptyShape(X, Shape)) {
    return -1;
  }
  if (Shape[0] > Shape[1]) {
    return -3;  // more columns (features) than rows (objects): X'X is singular
  }
  TDouble2DArray Xt;
  if (const int32_t Status = CloneArray(X, Xt); Status != 0) {
    return Status;
  }
  TransposeArray(Xt);
  TDouble2DArray P;
  MultiplyArrays(Xt, X, P);  // X'X
  if (const int32_t Status = InvertArray(P); Status != 0) {
    return Status;
  }
  TDouble2DArray XP;
  MultiplyArrays(X, P, XP);  // X (X'X)^-1
  TDouble2DArray Hat;
  MultiplyArrays(XP, Xt, Hat);
  H.swap(Hat);
  return 0;
}

void SerializeArray(const TDouble2DArray& A, bool SecondIndexFastest, TDoubleArray& Result) {
  Serialize(A, SecondIndexFastest, Result);
}
void SerializeArray(const TInt2DArray& A, bool SecondIndexFastest, TIntArray& Result) {
  Serialize(A, SecondIndexFastest, Result);
}

int32_t ListCellPositions(const TBoolArray& Data, bool Value, int32_t MaxCount, int32_t Offset,
                          TIntArray& Positions) {
  if (Data.empty()) {
    return -1;
  }
  const int64_t Limit = ListLimit(MaxCount, static_cast<int64_t>(Data.size()));
  TIntArray Listed;
  for (size_t k = 0; k < Data.size() && static_cast<int64_t>(Listed.size()) < Limit; ++k) {
    if (Data[k] == Value) {
      Listed.push_back(WrapAdd32(static_cast<int32_t>(k), Offset));
    }
  }
  Positions.swap(Listed);
  return static_cast<int32_t>(Positions.size());
}

int32_t ListCellPositions(const TBool2DArray& Data, bool Value, int32_t MaxCount, int32_t Offset,
                          TInt2DArray& Positions) {
  TShape<2> Shape{};
  if (!NonEmptyShape(Data, Shape)) {
    return -1;
  }
  const int64_t Limit = ListLimit(MaxCount, CellCount(Shape));
  TInt2DArray Listed(2);
  for (size_t i = 0; i < Data.size(); ++i) {
    for (size_t j = 0; j < Data[i].size() && static_cast<int64_t>(Listed[0].size()) < Limit; ++j) {
      if (Data[i][j] == Value) {
        Listed[0].push_back(WrapAdd32(static_cast<int32_t>(i), Offset));
        Listed[1].push_back(WrapAdd32(static_cast<int32_t>(j), Offset));
      }
    }
  }
  Positions.swap(Listed);
  return static_cast<int32_t>(Positions[0].size());
}

void BoundingRect(const TDouble2DArray& A, int32_t& FirstLow, int32_t& FirstHigh, int32_t& SecondLow,
                  int32_t& SecondHigh) {
  Bounds(A, FirstLow, FirstHigh, SecondLow, SecondHigh);
}
void BoundingRect(const TInt2DArray& A, int32_t& FirstLow, int32_t& FirstHigh, int32_t& SecondLow,
                  int32_t& SecondHigh) {
  Bounds(A, FirstLow, FirstHigh, SecondLow, SecondHigh);
}

int32_t PermuteArray(const TDouble2DArray& D, const TInt2DArray& P, TApplyColRow Mode, bool Inverse,
                     TDouble2DArray& R) {
  TShape<2> Shape{};
  if (!NonEmptyShape(D, Shape)) {
    return -1;
  }
  TShape<2> PermShape{};
  const bool PerColumn = Mode == acrColumns;
  const TShape<2> Wanted = PerColumn ? Shape : TShape<2>{Shape[1], Shape[0]};
  if ((Mode != acrColumns && Mode != acrRows) || !TryShape(P, PermShape) || PermShape != Wanted) {
    return -2;
  }
  if (!std::all_of(P.begin(), P.end(), IsPermutation)) {
    return -3;
  }
  auto Result = NewArray<TDouble2DArray>("PermuteArray", Shape);
  for (size_t i = 0; i < D.size(); ++i) {
    for (size_t j = 0; j < D[i].size(); ++j) {
      // The list of column i (rows: of row j) maps position to source index.
      const auto k = static_cast<size_t>(PerColumn ? P[i][j] : P[j][i]);
      if (PerColumn) {
        (Inverse ? Result[i][k] : Result[i][j]) = Inverse ? D[i][j] : D[i][k];
      } else {
        (Inverse ? Result[k][j] : Result[i][j]) = Inverse ? D[i][j] : D[k][j];
      }
    }
  }
  R.swap(Result);
  return 0;
}

int32_t RescaleArray(TDoubleArray& A, int32_t First, int32_t Last, TRescaleMode Mode, double& Offset,
                     double& Factor) {
  return Rescale(A, {First, Last}, Mode, Offset, Factor);
}
int32_t RescaleArray(TDouble2DArray& A, int32_t FirstLow, int32_t SecondLow, int32_t FirstHigh,
                     int32_t SecondHigh, TRescaleMode Mode, double& Offset, double& Factor) {
  return Rescale(A, {FirstLow, SecondLow, FirstHigh, SecondHigh}, Mode, Offset, Factor);
}

}  // namespace vexa
