// TMat4D: construction, element access, dimensions, assignment and the 3-D
// addresses of a time slot. Fills and layer operations are in
// Vexa_mat4d_fill.cpp, statistics in Vexa_mat4d_stats.cpp, cutting,
// resampling, transposing, mirroring and the fingerprint in
// Vexa_mat4d_reshape.cpp.

#include "linalg/Vexa_mat4d.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "foundation/Vexa_ranges.h"

namespace vexa {

// ---------------------------------------------------------------- construction, access

TMat4D::TMat4D(TComponent* AOwner)
    : TContainer(AOwner), FData(NewFlatStorage<EVexaMatrixError, double>(*this, {1, 1, 1, 1})) {}

void TMat4D::SetNrOfColumns(int32_t Value) {
  Resize(Value, FNumY, FNumZ, FNumT);
}

void TMat4D::SetNrOfRows(int32_t Value) {
  Resize(FNumX, Value, FNumZ, FNumT);
}

void TMat4D::SetNrOfLayers(int32_t Value) {
  Resize(FNumX, FNumY, Value, FNumT);
}

void TMat4D::SetNrOfTimeSlots(int32_t Value) {
  Resize(FNumX, FNumY, FNumZ, Value);
}

double TMat4D::Elem(int32_t Col, int32_t Row, int32_t Layer, int32_t TimeSlot) const {
  if (Col < 1 || Col > FNumX || Row < 1 || Row > FNumY || Layer < 1 || Layer > FNumZ || TimeSlot < 1 ||
      TimeSlot > FNumT) {
    return 0.0;
  }
  return FData[CellIndex(Col, Row, Layer, TimeSlot)];
}

void TMat4D::SetElem(int32_t Col, int32_t Row, int32_t Layer, int32_t TimeSlot, double Value) {
  if (Col < 1 || Col > FNumX || Row < 1 || Row > FNumY || Layer < 1 || Layer > FNumZ || TimeSlot < 1 ||
      TimeSlot > FNumT) {
    return;
  }
  FData[CellIndex(Col, Row, Layer, TimeSlot)] = Value;
  Changed();
}

void TMat4D::ReadElement(TObject* /*Sender*/, int32_t ix, int32_t iy, int32_t il, int32_t it, double Value) {
  if (OnReadElement) {
    OnReadElement(this, ix, iy, il, it, Value);
  }
}

// ---------------------------------------------------------------- dimensions

bool TMat4D::Resize(int32_t Nc, int32_t Nr, int32_t Nl, int32_t Nt) {
  if (Nc <= 0 || Nr <= 0 || Nl <= 0 || Nt <= 0 || (Nc == FNumX && Nr == FNumY && Nl == FNumZ && Nt == FNumT)) {
    return false;
  }
  // The buffer's outermost dimension is the time slot, its innermost the column.
  ResizeFlatStorage<EVexaMatrixError>(*this, FData, {FNumT, FNumZ, FNumY, FNumX}, {Nt, Nl, Nr, Nc});
  FNumX = Nc;
  FNumY = Nr;
  FNumZ = Nl;
  FNumT = Nt;
  Changed();
  Resized();
  return true;
}

bool TMat4D::ResizeAndClear(int32_t Nc, int32_t Nr, int32_t Nl, int32_t Nt) {
  if (!Resize(Nc, Nr, Nl, Nt)) {
    return false;
  }
  std::fill(FData.begin(), FData.end(), 0.0);
  Changed();
  Resized();
  return true;
}

void TMat4D::TakeCells(std::vector<double>&& Cells, int32_t Nc, int32_t Nr, int32_t Nl, int32_t Nt) {
  FData = std::move(Cells);
  FNumX = Nc;
  FNumY = Nr;
  FNumZ = Nl;
  FNumT = Nt;
}

void TMat4D::Assign(const TPersistent& Source) {
  const auto* Other = dynamic_cast<const TMat4D*>(&Source);
  if (Other == nullptr) {
    TContainer::Assign(Source);
    return;
  }
  if (Other == this) {
    return;
  }
  std::vector<double> Cells =
      NewFlatStorage<EVexaMatrixError, double>(*this, {Other->FNumT, Other->FNumZ, Other->FNumY, Other->FNumX});
  std::copy(Other->FData.begin(), Other->FData.end(), Cells.begin());
  TakeCells(std::move(Cells), Other->FNumX, Other->FNumY, Other->FNumZ, Other->FNumT);
  FDataID = Other->FDataID;
  OnChange = Other->OnChange;
  OnResize = Other->OnResize;
  OnPercentDone = Other->OnPercentDone;
  OnReadElement = Other->OnReadElement;
}

void TMat4D::AssignTo(TPersistent& Dest) const {
  if (auto* Target = dynamic_cast<TMat4D*>(&Dest)) {
    Target->Assign(*this);
    return;
  }
  TContainer::AssignTo(Dest);
}

void TMat4D::Clone(const TMat4D* MatSource) {
  if (MatSource == nullptr || MatSource == this) {
    return;
  }
  Resize(MatSource->FNumX, MatSource->FNumY, MatSource->FNumZ, MatSource->FNumT);
  if (!OnChange) {
    std::copy(MatSource->FData.begin(), MatSource->FData.end(), FData.begin());
  } else {
    // A handler sees every cell being written, as through the element setter.
    for (size_t i = 0; i < FData.size(); ++i) {
      FData[i] = MatSource->FData[i];
      Changed();
    }
  }
  Changed();
  Resized();
}

bool TMat4D::MakeValidColRange(int32_t& LowCol, int32_t& HighCol) const {
  return MakeValidAxisRange(LowCol, HighCol, FNumX);
}

bool TMat4D::MakeValidRowRange(int32_t& LowRow, int32_t& HighRow) const {
  return MakeValidAxisRange(LowRow, HighRow, FNumY);
}

bool TMat4D::MakeValidLayerRange(int32_t& LowLayer, int32_t& HighLayer) const {
  return MakeValidAxisRange(LowLayer, HighLayer, FNumZ);
}

bool TMat4D::MakeValidTSlotRange(int32_t& LowTSlot, int32_t& HighTSlot) const {
  return MakeValidAxisRange(LowTSlot, HighTSlot, FNumT);
}

double TMat4D::MemoryConsumed() const {
  return static_cast<double>(FData.size()) * 8.0 / 1048576.0;
}

// ---------------------------------------------------------------- 3-D addresses

namespace {

/// Columns·rows·layers, or INT64_MAX when that exceeds the int32 range (the
/// product of three int32 values may not fit into 64 bits).
int64_t VoxelCount(int32_t Nc, int32_t Nr, int32_t Nl) {
  const int64_t Pixels = int64_t{Nc} * Nr;  // < 2^62
  if (Pixels > INT32_MAX) {
    return INT64_MAX;
  }
  return Pixels * Nl;  // < 2^62
}

}  // namespace

int32_t TMat4D::Lin3DAddr(int32_t ix, int32_t iy, int32_t il) const {
  if (VoxelCount(FNumX, FNumY, FNumZ) > INT32_MAX) {
    return -2;
  }
  if (ix < 1 || ix > FNumX || iy < 1 || iy > FNumY || il < 1 || il > FNumZ) {
    return -1;
  }
  return static_cast<int32_t>((int64_t{iy - 1} * FNumX + (ix - 1)) * FNumZ + (il - 1));
}

bool TMat4D::ConvertLinTo3DAddr(int32_t LinAddr, int32_t& ix, int32_t& iy, int32_t& il) const {
  if (LinAddr < 0 || LinAddr >= VoxelCount(FNumX, FNumY, FNumZ)) {
    return false;
  }
  il = LinAddr % FNumZ + 1;
  ix = (LinAddr / FNumZ) % FNumX + 1;
  iy = LinAddr / FNumZ / FNumX + 1;
  return true;
}

}  // namespace vexa
