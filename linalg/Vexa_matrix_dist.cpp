// TMatrix as a table of objects (rows) and features (columns): distances,
// the distance matrix, resampling, edge vectors and thresholding. The
// aggregates and distances are the array routines' cores.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "arrays/internal/Vexa_arraycore.h"
#include "arrays/internal/Vexa_arrayshapes.h"
#include "linalg/Vexa_matrix.h"
#include "platform/Vexa_intmath.h"
#include "platform/Vexa_random.h"

namespace vexa {

// ---------------------------------------------------------------- distances

double TMatrix::DistanceOfObjects(TDistMode Mode, int32_t obj1, int32_t obj2) {
  if (Mode == dmUserDefined) {
    double Distance = 0.0;
    if (OnCalcDistance) {
      OnCalcDistance(this, obj1, obj2, Distance);
    }
    return Distance;
  }
  return arraycore::ObjectDistanceCore(
      Mode, 1, FNCol, [&](int64_t c) { return Elem(static_cast<int32_t>(c), obj1); },
      [&](int64_t c) { return Elem(static_cast<int32_t>(c), obj2); });
}

int32_t TMatrix::CalcDistMat(TDistMode Mode, TMatrix* DMat) {
  if (DMat == nullptr) {
    return -1;
  }
  if (DMat->NrOfColumns() != FNRow) {
    return -2;
  }
  if (DMat->NrOfRows() != DMat->NrOfColumns()) {
    return -1;
  }
  const size_t Objects = static_cast<size_t>(FNRow);
  const size_t Features = static_cast<size_t>(FNCol);
  std::vector<double> Result = NewBuffer(FNRow, FNRow);
  auto Store = [&](size_t i, size_t j, double Distance) {
    Result[i * Objects + j] = Distance;
    Result[j * Objects + i] = Distance;
  };
  if (Mode == dmUserDefined) {
    for (size_t i = 0; i < Objects; ++i) {
      for (size_t j = i + 1; j < Objects; ++j) {
        Store(i, j, DistanceOfObjects(Mode, static_cast<int32_t>(i + 1), static_cast<int32_t>(j + 1)));
      }
    }
  } else {
    // Row-contiguous copy: the features of one object lie side by side.
    std::vector<double> ByObject = NewBuffer(FNRow, FNCol);
    for (size_t c = 0; c < Features; ++c) {
      for (size_t r = 0; r < Objects; ++r) {
        ByObject[r * Features + c] = FData[c * Objects + r];
      }
    }
    for (size_t i = 0; i < Objects; ++i) {
      const double* X = &ByObject[i * Features];
      for (size_t j = i + 1; j < Objects; ++j) {
        const double* Y = &ByObject[j * Features];
        Store(i, j,
              arraycore::ObjectDistanceCore(
                  Mode, 0, static_cast<int64_t>(Features) - 1, [X](int64_t k) { return X[k]; },
                  [Y](int64_t k) { return Y[k]; }));
      }
    }
  }
  // DMat may be Self: everything was computed before the first write.
  if (DMat->OnChange) {
    for (int32_t c = 1; c <= FNRow; ++c) {
      for (int32_t r = 1; r <= FNRow; ++r) {
        DMat->SetElem(c, r, Result[static_cast<size_t>(c - 1) * Objects + static_cast<size_t>(r - 1)]);
      }
    }
  } else {
    DMat->FData.swap(Result);
  }
  return 0;
}

// ---------------------------------------------------------------- resampling

namespace {

/// round(Count · Percent / 100) (ties to even) when 1 ≤ it and Percent ≤ 100.
bool ResampleCount(int32_t Count, double Percent, int32_t& Result) {
  if (!(Percent <= 100.0)) {
    return false;  // also NaN
  }
  const double Rounded = RoundHalfEven(static_cast<double>(Count) * Percent / 100.0);
  if (!(Rounded >= 1.0)) {
    return false;
  }
  Result = static_cast<int32_t>(Rounded);  // 1 … Count, since Percent ≤ 100
  return true;
}

/// Count 1-based indices out of 1 … Available: all in order when InOrder,
/// with repetitions when Repeated, else distinct (uniform partial
/// Fisher–Yates). False when the draw is impossible.
bool DrawIndices(int32_t Available, int32_t Count, bool InOrder, bool Repeated, TIntArray& Indices) {
  Indices.assign(static_cast<size_t>(Count), 0);
  if (InOrder) {
    for (int32_t k = 0; k < Count; ++k) {
      Indices[static_cast<size_t>(k)] = k + 1;
    }
    return true;
  }
  Randomize();
  if (Repeated) {
    for (int32_t& Index : Indices) {
      Index = 1 + Random(Available);
    }
    return true;
  }
  std::vector<int64_t> Drawn;
  if (!arraycore::DrawWithoutRepetition(1, Available, static_cast<size_t>(Count), Drawn)) {
    return false;
  }
  std::transform(Drawn.begin(), Drawn.end(), Indices.begin(), [](int64_t v) { return static_cast<int32_t>(v); });
  return true;
}

}  // namespace

int32_t TMatrix::ResampleExtMat(const TMatrix* SrcMat, double colpct, double rowpct, bool BootStrap,
                                TIntArray& RndColIx, TIntArray& RndRowIx) {
  if (SrcMat == nullptr) {
    return -3;
  }
  if (RndColIx.empty() || RndRowIx.empty()) {
    return -5;
  }
  int32_t nc = 0, nr = 0;
  if (!ResampleCount(SrcMat->FNRow, rowpct, nr)) {
    return -2;
  }
  if (!ResampleCount(SrcMat->FNCol, colpct, nc)) {
    return -1;
  }
  TIntArray Cols, Rows;
  if (!DrawIndices(SrcMat->FNCol, nc, nc == SrcMat->FNCol, false, Cols) ||
      !DrawIndices(SrcMat->FNRow, nr, false, BootStrap, Rows)) {
    return -6;
  }
  // Built apart from Self, which may be SrcMat.
  std::vector<double> Result = NewBuffer(nc, nr);
  for (size_t c = 0; c < Cols.size(); ++c) {
    const auto Src = SrcMat->Column(Cols[c]);
    for (size_t r = 0; r < Rows.size(); ++r) {
      Result[c * Rows.size() + r] = Src[static_cast<size_t>(Rows[r] - 1)];
    }
  }
  FData.swap(Result);
  FNCol = nc;
  FNRow = nr;
  RndColIx.swap(Cols);
  RndRowIx.swap(Rows);
  Changed();
  Resized();
  return 0;
}

// ---------------------------------------------------------------- edge vectors, thresholds

int32_t TMatrix::EdgeVector(TOrientation Orient, TEdgeOp EdgeOp, TVector* Dest) const {
  return EdgeVector(Orient, EdgeOp, TIntArray{}, Dest);
}

int32_t TMatrix::EdgeVector(TOrientation Orient, TEdgeOp EdgeOp, const TIntArray& EdgeIx, TVector* Dest) const {
  if (Dest == nullptr) {
    return -1;
  }
  const size_t Rows = static_cast<size_t>(FNRow);
  auto CellAt = [this, Rows](int64_t c, int64_t r) {
    return FData[static_cast<size_t>(c) * Rows + static_cast<size_t>(r)];
  };
  // orVertical: one value per row, aggregated across the columns.
  TDoubleArray Values;
  const int32_t Result = arraycore::EdgeVectorCore(FNCol, FNRow, CellAt, Orient == orVertical, EdgeOp,
                                                   std::span<const int32_t>(EdgeIx), 1, Values);
  const auto n = static_cast<int32_t>(Values.size());
  Dest->Resize(n);
  for (int32_t k = 1; k <= n; ++k) {
    Dest->SetElem(k, Values[static_cast<size_t>(k - 1)]);
  }
  return Result;
}

int32_t TMatrix::Dichotomize(double Threshold, TBool2DArray& ResultArray) const {
  TBool2DArray Flags = NewStorage<EVexaMatrixError, TBool2DArray>(*this, {FNCol, FNRow});
  int64_t Count = 0;
  for (int32_t c = 1; c <= FNCol; ++c) {
    const auto Col = Column(c);
    auto& Out = Flags[static_cast<size_t>(c - 1)];
    for (size_t r = 0; r < Col.size(); ++r) {
      const bool Above = Col[r] > Threshold;
      Out[r] = Above;
      Count += Above ? 1 : 0;
    }
  }
  ResultArray.swap(Flags);
  // More than 2³¹ − 1 cells above the threshold cannot be counted in the result.
  return static_cast<int32_t>(std::min<int64_t>(Count, INT32_MAX));
}

}  // namespace vexa
