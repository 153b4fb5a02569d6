// TMat3D: construction, element access, dimensions, assignment, fills and
// the fingerprint. Statistics and the copies to and from matrices are in
// Vexa_mat3d_stats.cpp and Vexa_mat3d_copy.cpp.

#include "linalg/Vexa_mat3d.h"

#include <algorithm>

#include "foundation/Vexa_math1.h"
#include "foundation/Vexa_ranges.h"
#include "linalg/internal/Vexa_mat3d_detail.h"
#include "platform/Vexa_random.h"

namespace vexa {

// ---------------------------------------------------------------- range messages

void CheckLayerInRange(const TComponent& Owner, int32_t Layer, int32_t NrOfLayers) {
  if (Layer < 1 || Layer > NrOfLayers) {
    throw EVexaMatrixError(ComponentMessage(Owner, sLayerBeyondDataRange));
  }
}

void CheckTimeSlotInRange(const TComponent& Owner, int32_t TimeSlot, int32_t NrOfTimeSlots) {
  if (TimeSlot < 1 || TimeSlot > NrOfTimeSlots) {
    throw EVexaMatrixError(ComponentMessage(Owner, sTimeSlotBeyondDataRange));
  }
}

// ---------------------------------------------------------------- construction, access

TMat3D::TMat3D(TComponent* AOwner)
    : TContainer(AOwner), FData(NewFlatStorage<EVexaMatrixError, double>(*this, {1, 1, 1})) {}

void TMat3D::SetNrOfColumns(int32_t Value) {
  Resize(Value, FNumY, FNumZ);
}

void TMat3D::SetNrOfRows(int32_t Value) {
  Resize(FNumX, Value, FNumZ);
}

void TMat3D::SetNrOfLayers(int32_t Value) {
  Resize(FNumX, FNumY, Value);
}

double TMat3D::Elem(int32_t Col, int32_t Row, int32_t Layer) const {
  if (Col < 1 || Col > FNumX || Row < 1 || Row > FNumY || Layer < 1 || Layer > FNumZ) {
    return 0.0;
  }
  return FData[CellIndex(Col, Row, Layer)];
}

void TMat3D::SetElem(int32_t Col, int32_t Row, int32_t Layer, double Value) {
  if (Col < 1 || Col > FNumX || Row < 1 || Row > FNumY || Layer < 1 || Layer > FNumZ) {
    return;
  }
  FData[CellIndex(Col, Row, Layer)] = Value;
  Changed();
}

// ---------------------------------------------------------------- dimensions

bool TMat3D::Resize(int32_t Nc, int32_t Nr, int32_t Nl) {
  if (Nc <= 0 || Nr <= 0 || Nl <= 0 || (Nc == FNumX && Nr == FNumY && Nl == FNumZ)) {
    return false;
  }
  ResizeFlatStorage<EVexaMatrixError>(*this, FData, {FNumX, FNumY, FNumZ}, {Nc, Nr, Nl});
  FNumX = Nc;
  FNumY = Nr;
  FNumZ = Nl;
  Changed();
  Resized();
  return true;
}

bool TMat3D::ResizeAndClear(int32_t Nc, int32_t Nr, int32_t Nl) {
  if (!Resize(Nc, Nr, Nl)) {
    return false;
  }
  std::fill(FData.begin(), FData.end(), 0.0);
  Changed();
  Resized();
  return true;
}

void TMat3D::Clone(const TMat3D* MatSource) {
  if (MatSource == nullptr || MatSource == this) {
    return;
  }
  Resize(MatSource->FNumX, MatSource->FNumY, MatSource->FNumZ);
  if (!OnChange) {
    std::copy(MatSource->FData.begin(), MatSource->FData.end(), FData.begin());
  } else {
    // A handler sees every cell being written, as through the element setter.
    for (int32_t c = 1; c <= FNumX; ++c) {
      for (int32_t r = 1; r <= FNumY; ++r) {
        for (int32_t l = 1; l <= FNumZ; ++l) {
          SetElem(c, r, l, MatSource->FData[CellIndex(c, r, l)]);
        }
      }
    }
  }
  Changed();
  Resized();
}

void TMat3D::Assign(const TPersistent& Source) {
  const auto* Other = dynamic_cast<const TMat3D*>(&Source);
  if (Other == nullptr) {
    TContainer::Assign(Source);
    return;
  }
  if (Other == this) {
    return;
  }
  std::vector<double> Cells = NewFlatStorage<EVexaMatrixError, double>(*this, {Other->FNumX, Other->FNumY, Other->FNumZ});
  std::copy(Other->FData.begin(), Other->FData.end(), Cells.begin());
  FData.swap(Cells);
  FNumX = Other->FNumX;
  FNumY = Other->FNumY;
  FNumZ = Other->FNumZ;
  FDataID = Other->FDataID;
  OnChange = Other->OnChange;
  OnResize = Other->OnResize;
  OnPercentDone = Other->OnPercentDone;
}

void TMat3D::AssignTo(TPersistent& Dest) const {
  if (auto* Target = dynamic_cast<TMat3D*>(&Dest)) {
    Target->Assign(*this);
    return;
  }
  TContainer::AssignTo(Dest);
}

bool TMat3D::MakeValidColRange(int32_t& LowCol, int32_t& HighCol) const {
  return MakeValidAxisRange(LowCol, HighCol, FNumX);
}

bool TMat3D::MakeValidRowRange(int32_t& LowRow, int32_t& HighRow) const {
  return MakeValidAxisRange(LowRow, HighRow, FNumY);
}

bool TMat3D::MakeValidLayerRange(int32_t& LowLayer, int32_t& HighLayer) const {
  return MakeValidAxisRange(LowLayer, HighLayer, FNumZ);
}

// ---------------------------------------------------------------- fills

void TMat3D::Fill(double Value) {
  std::fill(FData.begin(), FData.end(), Value);
  Changed();
}

void TMat3D::FillDiag(double Value) {
  const int32_t n = std::min({FNumX, FNumY, FNumZ});
  for (int32_t i = 1; i <= n; ++i) {
    FData[CellIndex(i, i, i)] = Value;
  }
  Changed();
}

void TMat3D::FillSerial(double Offset, double Diff) {
  // Repeated addition, not Offset + k·Diff: the rounding of the running
  // value is part of the result.
  double Value = Offset;
  for (double& x : FData) {
    x = Value;
    Value += Diff;
  }
}

void TMat3D::FillRandomUniform(double RangeLow, double RangeHigh) {
  for (double& x : FData) {
    x = RangeLow + (RangeHigh - RangeLow) * Random();
  }
  Changed();
}

void TMat3D::FillRandomGauss(double Mean, double StdDev) {
  for (double& x : FData) {
    x = Mean + StdDev * GRandom();
  }
  Changed();
}

// ---------------------------------------------------------------- fingerprint

std::string TMat3D::CRCofData() const {
  mat3d_detail::TByteLaneCRC CRC;
  for (const double x : FData) {  // column, row, layer nested: storage order
    CRC.Add(x);
  }
  return CRC.Text();
}

}  // namespace vexa
