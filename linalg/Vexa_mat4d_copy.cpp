// TMat4D: copies of blocks, layers, time slots and pixels to and from 4-D,
// 3-D and 2-D matrices, vectors and dynamic arrays.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "foundation/Vexa_storage.h"
#include "linalg/Vexa_mat4d.h"

namespace vexa {

namespace {

/// True when the 1-based Index lies within 1 … Count.
bool InAxis(int64_t Index, int32_t Count) noexcept { return Index >= 1 && Index <= Count; }

/// Number of indices Low … High of a validated range.
int32_t Span(int32_t Low, int32_t High) noexcept { return High - Low + 1; }

/// Destination index Dest + (Index − Low), in 64 bits (it may leave int32).
int64_t Shifted(int32_t Dest, int32_t Index, int32_t Low) noexcept {
  return int64_t{Dest} + (int64_t{Index} - Low);
}

}  // namespace

// ---------------------------------------------------------------- 4-D blocks

void TMat4D::CopyFrom(const TMat4D* MatSource, int32_t SrcLowCol, int32_t SrcHighCol, int32_t SrcLowRow,
                      int32_t SrcHighRow, int32_t SrcLowLayer, int32_t SrcHighLayer, int32_t SrcLowTSlot,
                      int32_t SrcHighTSlot, int32_t DestCol, int32_t DestRow, int32_t DestLayer,
                      int32_t DestTSlot) {
  if (MatSource == nullptr) {
    return;
  }
  MatSource->MakeValidColRange(SrcLowCol, SrcHighCol);
  MatSource->MakeValidRowRange(SrcLowRow, SrcHighRow);
  MatSource->MakeValidLayerRange(SrcLowLayer, SrcHighLayer);
  MatSource->MakeValidTSlotRange(SrcLowTSlot, SrcHighTSlot);
  const int32_t NCols = Span(SrcLowCol, SrcHighCol), NRows = Span(SrcLowRow, SrcHighRow);
  const int32_t NLayers = Span(SrcLowLayer, SrcHighLayer), NSlots = Span(SrcLowTSlot, SrcHighTSlot);
  // The block is read from a copy taken before the first write, so that a
  // copy within Self reads the old cells where source and destination overlap.
  std::vector<double> Block = NewFlatStorage<EVexaMatrixError, double>(*this, {NSlots, NLayers, NRows, NCols});
  auto BlockCell = Block.begin();
  for (int32_t t = SrcLowTSlot; t <= SrcHighTSlot; ++t) {
    for (int32_t l = SrcLowLayer; l <= SrcHighLayer; ++l) {
      for (int32_t r = SrcLowRow; r <= SrcHighRow; ++r) {
        const auto First = MatSource->FData.begin() +
                           static_cast<std::ptrdiff_t>(MatSource->CellIndex(SrcLowCol, r, l, t));
        BlockCell = std::copy_n(First, NCols, BlockCell);
      }
    }
  }
  BlockCell = Block.begin();
  for (int32_t t = SrcLowTSlot; t <= SrcHighTSlot; ++t) {
    const int64_t Dt = Shifted(DestTSlot, t, SrcLowTSlot);
    for (int32_t l = SrcLowLayer; l <= SrcHighLayer; ++l) {
      const int64_t Dl = Shifted(DestLayer, l, SrcLowLayer);
      for (int32_t r = SrcLowRow; r <= SrcHighRow; ++r) {
        const int64_t Dr = Shifted(DestRow, r, SrcLowRow);
        for (int32_t c = SrcLowCol; c <= SrcHighCol; ++c, ++BlockCell) {
          const int64_t Dc = Shifted(DestCol, c, SrcLowCol);
          if (InAxis(Dc, FNumX) && InAxis(Dr, FNumY) && InAxis(Dl, FNumZ) && InAxis(Dt, FNumT)) {
            SetElem(static_cast<int32_t>(Dc), static_cast<int32_t>(Dr), static_cast<int32_t>(Dl),
                    static_cast<int32_t>(Dt), *BlockCell);
          }
        }
      }
    }
  }
  Changed();
}

// ---------------------------------------------------------------- layers

void TMat4D::CopyLayerToMatrix(TMatrix* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                               int32_t Layer, int32_t TimeSlot) const {
  if (DestMat == nullptr) {
    return;
  }
  CheckLayerInRange(*this, Layer, FNumZ);
  CheckTimeSlotInRange(*this, TimeSlot, FNumT);
  MakeValidColRange(LowCol, HighCol);
  MakeValidRowRange(LowRow, HighRow);
  DestMat->Resize(Span(LowCol, HighCol), Span(LowRow, HighRow));
  for (int32_t c = LowCol; c <= HighCol; ++c) {
    for (int32_t r = LowRow; r <= HighRow; ++r) {
      DestMat->SetElem(c - LowCol + 1, r - LowRow + 1, FData[CellIndex(c, r, Layer, TimeSlot)]);
    }
  }
}

void TMat4D::CopyLayerToArray(TDouble2DArray& DestArray, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                              int32_t HighRow, int32_t Layer, int32_t TimeSlot) const {
  CheckLayerInRange(*this, Layer, FNumZ);
  CheckTimeSlotInRange(*this, TimeSlot, FNumT);
  MakeValidColRange(LowCol, HighCol);
  MakeValidRowRange(LowRow, HighRow);
  auto Result = NewStorage<EVexaMatrixError, TDouble2DArray>(*this, {Span(LowCol, HighCol), Span(LowRow, HighRow)});
  for (int32_t c = LowCol; c <= HighCol; ++c) {
    TDoubleArray& Column = Result[static_cast<size_t>(c - LowCol)];
    for (int32_t r = LowRow; r <= HighRow; ++r) {
      Column[static_cast<size_t>(r - LowRow)] = FData[CellIndex(c, r, Layer, TimeSlot)];
    }
  }
  DestArray = std::move(Result);
}

void TMat4D::CopyMatrixToLayer(const TMatrix* SrcMat, int32_t SrcLowCol, int32_t SrcHighCol, int32_t SrcLowRow,
                               int32_t SrcHighRow, int32_t Layer, int32_t TimeSlot, int32_t LayLowCol,
                               int32_t LayLowRow) {
  if (SrcMat == nullptr) {
    return;
  }
  CheckLayerInRange(*this, Layer, FNumZ);
  CheckTimeSlotInRange(*this, TimeSlot, FNumT);
  SrcMat->MakeValidColRange(SrcLowCol, SrcHighCol);
  SrcMat->MakeValidRowRange(SrcLowRow, SrcHighRow);
  for (int32_t c = SrcLowCol; c <= SrcHighCol; ++c) {
    const int64_t Dc = Shifted(LayLowCol, c, SrcLowCol);
    for (int32_t r = SrcLowRow; r <= SrcHighRow; ++r) {
      const int64_t Dr = Shifted(LayLowRow, r, SrcLowRow);
      if (InAxis(Dc, FNumX) && InAxis(Dr, FNumY)) {
        SetElem(static_cast<int32_t>(Dc), static_cast<int32_t>(Dr), Layer, TimeSlot, SrcMat->Elem(c, r));
      }
    }
  }
  Changed();
}

void TMat4D::CopyArrayToLayer(const TDouble2DArray& Src2D, int32_t Layer, int32_t TimeSlot, int32_t LayLowCol,
                              int32_t LayLowRow) {
  CheckLayerInRange(*this, Layer, FNumZ);
  CheckTimeSlotInRange(*this, TimeSlot, FNumT);
  for (size_t i = 0; i < Src2D.size(); ++i) {
    const int64_t Dc = int64_t{LayLowCol} + static_cast<int64_t>(i);
    for (size_t j = 0; j < Src2D[i].size(); ++j) {
      const int64_t Dr = int64_t{LayLowRow} + static_cast<int64_t>(j);
      if (InAxis(Dc, FNumX) && InAxis(Dr, FNumY)) {
        SetElem(static_cast<int32_t>(Dc), static_cast<int32_t>(Dr), Layer, TimeSlot, Src2D[i][j]);
      }
    }
  }
  Changed();
}

// ---------------------------------------------------------------- time slots

void TMat4D::CopyTimeSlotToMat3D(TMat3D* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                                 int32_t HighRow, int32_t LowLay, int32_t HighLay, int32_t TimeSlot) const {
  if (DestMat == nullptr) {
    return;
  }
  CheckTimeSlotInRange(*this, TimeSlot, FNumT);
  MakeValidColRange(LowCol, HighCol);
  MakeValidRowRange(LowRow, HighRow);
  MakeValidLayerRange(LowLay, HighLay);
  DestMat->Resize(Span(LowCol, HighCol), Span(LowRow, HighRow), Span(LowLay, HighLay));
  for (int32_t c = LowCol; c <= HighCol; ++c) {
    for (int32_t r = LowRow; r <= HighRow; ++r) {
      for (int32_t l = LowLay; l <= HighLay; ++l) {
        DestMat->SetElem(c - LowCol + 1, r - LowRow + 1, l - LowLay + 1, FData[CellIndex(c, r, l, TimeSlot)]);
      }
    }
  }
}

void TMat4D::CopyTimeSlotToArray(TDouble3DArray& Dest3D, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                                 int32_t HighRow, int32_t LowLay, int32_t HighLay, int32_t TimeSlot) const {
  CheckTimeSlotInRange(*this, TimeSlot, FNumT);
  MakeValidColRange(LowCol, HighCol);
  MakeValidRowRange(LowRow, HighRow);
  MakeValidLayerRange(LowLay, HighLay);
  auto Result = NewStorage<EVexaMatrixError, TDouble3DArray>(
      *this, {Span(LowCol, HighCol), Span(LowRow, HighRow), Span(LowLay, HighLay)});
  for (int32_t c = LowCol; c <= HighCol; ++c) {
    for (int32_t r = LowRow; r <= HighRow; ++r) {
      TDoubleArray& Pixel = Result[static_cast<size_t>(c - LowCol)][static_cast<size_t>(r - LowRow)];
      for (int32_t l = LowLay; l <= HighLay; ++l) {
        Pixel[static_cast<size_t>(l - LowLay)] = FData[CellIndex(c, r, l, TimeSlot)];
      }
    }
  }
  Dest3D = std::move(Result);
}

void TMat4D::CopyMat3DToTimeSlot(const TMat3D* SrcMat, int32_t SrcLowCol, int32_t SrcHighCol, int32_t SrcLowRow,
                                 int32_t SrcHighRow, int32_t SrcLowLay, int32_t SrcHighLay, int32_t TimeSlot,
                                 int32_t DestCol, int32_t DestRow, int32_t DestLayer) {
  if (SrcMat == nullptr) {
    return;
  }
  CheckTimeSlotInRange(*this, TimeSlot, FNumT);
  SrcMat->MakeValidColRange(SrcLowCol, SrcHighCol);
  SrcMat->MakeValidRowRange(SrcLowRow, SrcHighRow);
  SrcMat->MakeValidLayerRange(SrcLowLay, SrcHighLay);
  for (int32_t c = SrcLowCol; c <= SrcHighCol; ++c) {
    const int64_t Dc = Shifted(DestCol, c, SrcLowCol);
    for (int32_t r = SrcLowRow; r <= SrcHighRow; ++r) {
      const int64_t Dr = Shifted(DestRow, r, SrcLowRow);
      for (int32_t l = SrcLowLay; l <= SrcHighLay; ++l) {
        const int64_t Dl = Shifted(DestLayer, l, SrcLowLay);
        if (InAxis(Dc, FNumX) && InAxis(Dr, FNumY) && InAxis(Dl, FNumZ)) {
          SetElem(static_cast<int32_t>(Dc), static_cast<int32_t>(Dr), static_cast<int32_t>(Dl), TimeSlot,
                  SrcMat->Elem(c, r, l));
        }
      }
    }
  }
  Changed();
}

void TMat4D::CopyArrayToTimeSlot(const TDouble3DArray& Src3D, int32_t TimeSlot, int32_t DestCol, int32_t DestRow,
                                 int32_t DestLayer) {
  CheckTimeSlotInRange(*this, TimeSlot, FNumT);
  for (size_t i = 0; i < Src3D.size(); ++i) {
    const int64_t Dc = int64_t{DestCol} + static_cast<int64_t>(i);
    for (size_t j = 0; j < Src3D[i].size(); ++j) {
      const int64_t Dr = int64_t{DestRow} + static_cast<int64_t>(j);
      for (size_t k = 0; k < Src3D[i][j].size(); ++k) {
        const int64_t Dl = int64_t{DestLayer} + static_cast<int64_t>(k);
        if (InAxis(Dc, FNumX) && InAxis(Dr, FNumY) && InAxis(Dl, FNumZ)) {
          SetElem(static_cast<int32_t>(Dc), static_cast<int32_t>(Dr), static_cast<int32_t>(Dl), TimeSlot,
                  Src3D[i][j][k]);
        }
      }
    }
  }
  Changed();
}

// ---------------------------------------------------------------- pixels (along the layers)

void TMat4D::CopyPixelToVector(TVector* Dest, int32_t Col, int32_t Row, int32_t LowLayer, int32_t HighLayer,
                               int32_t TimeSlot) const {
  if (Dest == nullptr) {
    return;
  }
  CheckTimeSlotInRange(*this, TimeSlot, FNumT);
  Col = std::clamp(Col, 1, FNumX);
  Row = std::clamp(Row, 1, FNumY);
  MakeValidLayerRange(LowLayer, HighLayer);
  Dest->Resize(Span(LowLayer, HighLayer));
  for (int32_t l = LowLayer; l <= HighLayer; ++l) {
    Dest->SetElem(l - LowLayer + 1, FData[CellIndex(Col, Row, l, TimeSlot)]);
  }
}

void TMat4D::CopyPixelTo1DArray(TDoubleArray& Dest, int32_t Col, int32_t Row, int32_t LowLayer, int32_t HighLayer,
                                int32_t TimeSlot) const {
  CheckTimeSlotInRange(*this, TimeSlot, FNumT);
  Col = std::clamp(Col, 1, FNumX);
  Row = std::clamp(Row, 1, FNumY);
  MakeValidLayerRange(LowLayer, HighLayer);
  auto Result = NewStorage<EVexaMatrixError, TDoubleArray>(*this, {Span(LowLayer, HighLayer)});
  for (int32_t l = LowLayer; l <= HighLayer; ++l) {
    Result[static_cast<size_t>(l - LowLayer)] = FData[CellIndex(Col, Row, l, TimeSlot)];
  }
  Dest = std::move(Result);
}

void TMat4D::CopyVectorToPixel(const TVector* Src, int32_t Col, int32_t Row, int32_t FirstLayer, int32_t TimeSlot) {
  if (Src == nullptr) {
    return;
  }
  CheckTimeSlotInRange(*this, TimeSlot, FNumT);
  if (InAxis(Col, FNumX) && InAxis(Row, FNumY)) {
    for (int32_t i = 1; i <= Src->NrOfElem(); ++i) {
      const int64_t Layer = Shifted(FirstLayer, i, 1);
      if (InAxis(Layer, FNumZ)) {
        SetElem(Col, Row, static_cast<int32_t>(Layer), TimeSlot, Src->Elem(i));
      }
    }
  }
  Changed();
}

void TMat4D::Copy1DArrayToPixel(const TDoubleArray& Src, int32_t Col, int32_t Row, int32_t FirstLayer,
                                int32_t TimeSlot) {
  CheckTimeSlotInRange(*this, TimeSlot, FNumT);
  if (InAxis(Col, FNumX) && InAxis(Row, FNumY)) {
    for (size_t i = 0; i < Src.size(); ++i) {
      const int64_t Layer = int64_t{FirstLayer} + static_cast<int64_t>(i);
      if (InAxis(Layer, FNumZ)) {
        SetElem(Col, Row, static_cast<int32_t>(Layer), TimeSlot, Src[i]);
      }
    }
  }
  Changed();
}

}  // namespace vexa
