// TIntMatrix: the two forms, element access, dimensions, assignment, and the
// members of the shared matrix template with the sparse form's rules (work
// through the getter, or refuse). Arithmetic and statistics are in
// Vexa_intmatrix_arith.cpp and Vexa_intmatrix_stats.cpp.

#include "linalg/Vexa_intmatrix.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "foundation/Vexa_combsort.h"
#include "foundation/Vexa_ranges.h"
#include "linalg/internal/Vexa_matrix_detail.h"

namespace vexa {

namespace {

constexpr int32_t kEmptyBoxLow = std::numeric_limits<int32_t>::max();

/// Order of the entry list: by column, then by row.
bool EntryBefore(const TSpMatElemInt& a, const TSpMatElemInt& b) noexcept {
  return a.colidx != b.colidx ? a.colidx < b.colidx : a.rowidx < b.rowidx;
}

}  // namespace

// ---------------------------------------------------------------- construction, assignment

TIntMatrix::TIntMatrix(TComponent* AOwner, TSparseForm, int32_t AllocBy) : TMatrixBase(AOwner) {
  FAllocBy = std::max(AllocBy, 1);
  FSpMat = NewEntryList(FAllocBy);
  std::vector<int32_t>().swap(FData);
  FNCol = 0;
  FNRow = 0;
  FIsSparse = true;
}

void TIntMatrix::Assign(const TPersistent& Source) {
  const auto* Other = dynamic_cast<const TIntMatrix*>(&Source);
  if (Other == nullptr) {
    TMatrixBase::Assign(Source);
    return;
  }
  if (Other == this) {
    return;
  }
  // Both copies are made before anything is replaced: a failure keeps Self.
  std::vector<int32_t> Cells = CopyStorage<EVexaMatrixError>(*this, Other->FData);
  std::vector<TSpMatElemInt> Entries = CopyStorage<EVexaMatrixError>(*this, Other->FSpMat);
  FData.swap(Cells);
  FSpMat.swap(Entries);
  FNCol = Other->FNCol;
  FNRow = Other->FNRow;
  FIsSparse = Other->FIsSparse;
  FSparseNumElem = Other->FSparseNumElem;
  FAllocBy = Other->FAllocBy;
  FSparseLowCol = Other->FSparseLowCol;
  FSparseHighCol = Other->FSparseHighCol;
  FSparseLowRow = Other->FSparseLowRow;
  FSparseHighRow = Other->FSparseHighRow;
  FDataID = Other->FDataID;
  OnChange = Other->OnChange;
  OnResize = Other->OnResize;
  OnSortExchange = Other->OnSortExchange;
  OnPercentDone = Other->OnPercentDone;
}

// ---------------------------------------------------------------- the entry list

std::vector<TSpMatElemInt> TIntMatrix::NewEntryList(int64_t Count) const {
  return NewFlatStorage<EVexaMatrixError, TSpMatElemInt>(*this, {Count});
}

size_t TIntMatrix::SparseLowerBound(int32_t Col, int32_t Row) const {
  const auto Used = FSpMat.begin() + FSparseNumElem;
  const TSpMatElemInt Key{Col, Row, 0};
  return static_cast<size_t>(std::lower_bound(FSpMat.begin(), Used, Key, EntryBefore) - FSpMat.begin());
}

void TIntMatrix::SparseReserve(int64_t Needed) {
  const auto Allocated = static_cast<int64_t>(FSpMat.size());
  if (Needed <= Allocated) {
    return;
  }
  constexpr int64_t kMaxEntries = std::numeric_limits<int32_t>::max();
  if (Needed > kMaxEntries) {
    throw EVexaMatrixError(ComponentMessage(*this, sNotEnoughMemoryOnHeap));
  }
  // Geometric growth keeps appends amortised O(1); never by less than FAllocBy.
  const int64_t Grown = Allocated + std::max<int64_t>(FAllocBy, Allocated);
  std::vector<TSpMatElemInt> Larger = NewEntryList(std::min(std::max(Needed, Grown), kMaxEntries));
  std::copy_n(FSpMat.begin(), FSparseNumElem, Larger.begin());
  FSpMat.swap(Larger);
}

void TIntMatrix::EmptySparseBox() {
  FSparseLowCol = kEmptyBoxLow;
  FSparseHighCol = 1;
  FSparseLowRow = kEmptyBoxLow;
  FSparseHighRow = 1;
}

void TIntMatrix::ClearSparse() {
  std::vector<TSpMatElemInt> Fresh = NewEntryList(FAllocBy);
  FSpMat.swap(Fresh);
  FSparseNumElem = 0;
  EmptySparseBox();
}

std::span<const TSpMatElemInt> TIntMatrix::SparseEntries() const {
  return std::span<const TSpMatElemInt>(FSpMat).first(static_cast<size_t>(FSparseNumElem));
}

void TIntMatrix::SparseBox(int32_t& LowCol, int32_t& HighCol, int32_t& LowRow, int32_t& HighRow) const {
  LowCol = FSparseLowCol;
  HighCol = FSparseHighCol;
  LowRow = FSparseLowRow;
  HighRow = FSparseHighRow;
}

// ---------------------------------------------------------------- conversions

void TIntMatrix::ArrayToSparse(int32_t AllocBy) {
  if (FIsSparse) {
    return;
  }
  const int32_t Step = std::max(AllocBy, 1);
  const auto NonZero = static_cast<int64_t>(std::ranges::count_if(FData, [](int32_t x) { return x != 0; }));
  // The room the list would reach by appending the cells one by one.
  int64_t Room = Step;
  while (Room < NonZero) {
    Room += std::max<int64_t>(Step, Room);
  }
  if (NonZero > std::numeric_limits<int32_t>::max()) {
    throw EVexaMatrixError(ComponentMessage(*this, sNotEnoughMemoryOnHeap));
  }
  std::vector<TSpMatElemInt> Entries =
      NewEntryList(std::min<int64_t>(Room, std::numeric_limits<int32_t>::max()));
  FAllocBy = Step;
  EmptySparseBox();
  size_t Count = 0;
  for (int32_t c = 1; c <= FNCol; ++c) {
    for (int32_t r = 1; r <= FNRow; ++r) {
      const int32_t Value = Cell(c, r);
      if (Value != 0) {
        Entries[Count++] = TSpMatElemInt{c, r, Value};
        FSparseLowCol = std::min(FSparseLowCol, c);
        FSparseHighCol = std::max(FSparseHighCol, c);
        FSparseLowRow = std::min(FSparseLowRow, r);
        FSparseHighRow = std::max(FSparseHighRow, r);
      }
    }
  }
  FSpMat.swap(Entries);
  FSparseNumElem = static_cast<int32_t>(Count);
  std::vector<int32_t>().swap(FData);
  FIsSparse = true;
  Resized();
}

void TIntMatrix::SparseToArray() {
  if (!FIsSparse) {
    return;
  }
  const int32_t Nc = FSparseHighCol;
  const int32_t Nr = FSparseHighRow;
  std::vector<int32_t> Cells = NewBuffer(Nc, Nr);
  for (const TSpMatElemInt& e : SparseEntries()) {
    Cells[static_cast<size_t>(e.colidx - 1) * static_cast<size_t>(Nr) + static_cast<size_t>(e.rowidx - 1)] =
        e.value;
  }
  FData.swap(Cells);
  std::vector<TSpMatElemInt>().swap(FSpMat);
  FSparseNumElem = 0;
  EmptySparseBox();
  FNCol = Nc;
  FNRow = Nr;
  FIsSparse = false;
  Resized();
}

// ---------------------------------------------------------------- element access

int32_t TIntMatrix::StoredCell(int32_t Col, int32_t Row) const {
  if (!FIsSparse) {
    return Cell(Col, Row);
  }
  // Outside the bounding box there is no entry: no search needed.
  if (Col < FSparseLowCol || Col > FSparseHighCol || Row < FSparseLowRow || Row > FSparseHighRow) {
    return 0;
  }
  const size_t Pos = SparseLowerBound(Col, Row);
  if (Pos < static_cast<size_t>(FSparseNumElem) && FSpMat[Pos].colidx == Col && FSpMat[Pos].rowidx == Row) {
    return FSpMat[Pos].value;
  }
  return 0;
}

int32_t TIntMatrix::Elem(int32_t Col, int32_t Row) const {
  if (!FIsSparse) {
    return Base::Elem(Col, Row);
  }
  return StoredCell(Col, Row);
}

void TIntMatrix::SetElem(int32_t Col, int32_t Row, int32_t Value) {
  if (!FIsSparse) {
    Base::SetElem(Col, Row, Value);
    return;
  }
  if (Col < 1 || Row < 1) {
    return;
  }
  const size_t Pos = SparseLowerBound(Col, Row);
  const auto Used = static_cast<size_t>(FSparseNumElem);
  if (Pos < Used && FSpMat[Pos].colidx == Col && FSpMat[Pos].rowidx == Row) {
    FSpMat[Pos].value = Value;  // writing 0 keeps the entry
  } else {
    SparseReserve(static_cast<int64_t>(Used) + 1);
    std::move_backward(FSpMat.begin() + static_cast<ptrdiff_t>(Pos), FSpMat.begin() + static_cast<ptrdiff_t>(Used),
                       FSpMat.begin() + static_cast<ptrdiff_t>(Used + 1));
    FSpMat[Pos] = TSpMatElemInt{Col, Row, Value};
    ++FSparseNumElem;
  }
  FSparseLowCol = std::min(FSparseLowCol, Col);
  FSparseHighCol = std::max(FSparseHighCol, Col);
  FSparseLowRow = std::min(FSparseLowRow, Row);
  FSparseHighRow = std::max(FSparseHighRow, Row);
  // The dimensions follow the bounding box's high corner (also shrinking
  // them after a Resize or ArrayToSparse left them larger).
  FNCol = FSparseHighCol;
  FNRow = FSparseHighRow;
  Changed();
}

std::span<const int32_t> TIntMatrix::ReadColumn(int32_t Col, std::vector<int32_t>& Scratch) const {
  if (!FIsSparse) {
    return Column(Col);
  }
  const auto Rows = static_cast<size_t>(FNRow);
  GuardedAllocation<EVexaMatrixError>(*this, true, Rows * sizeof(int32_t), [&] { Scratch.assign(Rows, 0); });
  for (size_t i = SparseLowerBound(Col, 1); i < static_cast<size_t>(FSparseNumElem) && FSpMat[i].colidx == Col;
       ++i) {
    Scratch[static_cast<size_t>(FSpMat[i].rowidx - 1)] = FSpMat[i].value;
  }
  return Scratch;
}

// ---------------------------------------------------------------- dimensions

void TIntMatrix::SetNrOfColumns(int32_t NC) { Resize(std::max(NC, 0), FNRow); }

void TIntMatrix::SetNrOfRows(int32_t NR) { Resize(FNCol, std::max(NR, 0)); }

bool TIntMatrix::Resize(int32_t Nc, int32_t Nr) {
  if (!FIsSparse) {
    return Base::Resize(Nc, Nr);
  }
  if (Nc <= 0 || Nr <= 0 || (Nc == FNCol && Nr == FNRow)) {
    return false;
  }
  // Drop the entries outside Nc × Nr, keeping the order of the others.
  const auto Used = FSpMat.begin() + FSparseNumElem;
  const auto Kept = std::remove_if(FSpMat.begin(), Used,
                                   [&](const TSpMatElemInt& e) { return e.colidx > Nc || e.rowidx > Nr; });
  std::fill(Kept, Used, TSpMatElemInt{});
  FSparseNumElem = static_cast<int32_t>(Kept - FSpMat.begin());
  FSparseHighCol = std::min(FSparseHighCol, Nc);
  FSparseLowCol = std::min(FSparseLowCol, Nc);
  FSparseHighRow = std::min(FSparseHighRow, Nr);
  FSparseLowRow = std::min(FSparseLowRow, Nr);
  FNCol = Nc;
  FNRow = Nr;
  // The dimensions changed (and entries may be gone): tell the listeners, in
  // the order of the dense form.
  Resized();
  Changed();
  return true;
}

bool TIntMatrix::ResizeAndClear(int32_t Nc, int32_t Nr) {
  if (!FIsSparse) {
    return Base::ResizeAndClear(Nc, Nr);
  }
  if (!Resize(Nc, Nr)) {
    return false;
  }
  ClearSparse();
  Changed();
  Resized();
  return true;
}

bool TIntMatrix::Transpose() {
  if (!FIsSparse) {
    return Base::Transpose();
  }
  const std::span<TSpMatElemInt> Entries(FSpMat.data(), static_cast<size_t>(FSparseNumElem));
  for (TSpMatElemInt& e : Entries) {
    std::swap(e.colidx, e.rowidx);
  }
  // Comb sort back into (column, row) order, exchanging a pair when the
  // later entry is the smaller.
  int64_t Gap = static_cast<int64_t>(Entries.size()) - 1;
  if (Gap > 0) {
    bool Exchanged = false;
    do {
      Gap = NextCombGap(Gap);
      Exchanged = false;
      for (size_t i = 0; i + static_cast<size_t>(Gap) < Entries.size(); ++i) {
        if (EntryBefore(Entries[i + static_cast<size_t>(Gap)], Entries[i])) {
          std::swap(Entries[i], Entries[i + static_cast<size_t>(Gap)]);
          Exchanged = true;
        }
      }
    } while (Gap > 1 || Exchanged);
  }
  std::swap(FSparseLowCol, FSparseLowRow);
  std::swap(FSparseHighCol, FSparseHighRow);
  std::swap(FNCol, FNRow);
  Changed();
  Resized();
  return true;
}

bool TIntMatrix::RemoveColumn(int32_t Col) { return !FIsSparse && Base::RemoveColumn(Col); }

bool TIntMatrix::RemoveRow(int32_t Row) { return !FIsSparse && Base::RemoveRow(Row); }

void TIntMatrix::Clone(const TIntMatrix* MatSource) {
  if (MatSource == nullptr || MatSource == this || MatSource->FIsSparse != FIsSparse) {
    return;
  }
  if (!FIsSparse) {
    Base::Clone(MatSource);
    return;
  }
  std::vector<TSpMatElemInt> Entries = CopyStorage<EVexaMatrixError>(*this, MatSource->FSpMat);
  FSpMat.swap(Entries);
  FSparseNumElem = MatSource->FSparseNumElem;
  FAllocBy = MatSource->FAllocBy;
  FSparseLowCol = MatSource->FSparseLowCol;
  FSparseHighCol = MatSource->FSparseHighCol;
  FSparseLowRow = MatSource->FSparseLowRow;
  FSparseHighRow = MatSource->FSparseHighRow;
  FNCol = MatSource->FNCol;
  FNRow = MatSource->FNRow;
  Changed();
  Resized();
}

// ---------------------------------------------------------------- filling, reordering

void TIntMatrix::Fill(int32_t Value) {
  if (!FIsSparse) {
    Base::Fill(Value);
    return;
  }
  if (Value == 0) {
    ClearSparse();
  } else {
    for (TSpMatElemInt& e : std::span<TSpMatElemInt>(FSpMat.data(), static_cast<size_t>(FSparseNumElem))) {
      e.value = Value;
    }
  }
  Changed();
}

// The dense-only members: on the sparse form they change nothing and fire nothing.

void TIntMatrix::Fill(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, int32_t Value) {
  if (!FIsSparse) {
    Base::Fill(LowCol, HighCol, LowRow, HighRow, Value);
  }
}

void TIntMatrix::FillDiag(int32_t Value) {
  if (!FIsSparse) {
    Base::FillDiag(Value);
  }
}

void TIntMatrix::FillSerial(int32_t Offset, int32_t Diff) {
  if (!FIsSparse) {
    Base::FillSerial(Offset, Diff);
  }
}

void TIntMatrix::ExchangeColumns(int32_t c1, int32_t c2) {
  if (!FIsSparse) {
    Base::ExchangeColumns(c1, c2);
  }
}

void TIntMatrix::ExchangeRows(int32_t r1, int32_t r2) {
  if (!FIsSparse) {
    Base::ExchangeRows(r1, r2);
  }
}

void TIntMatrix::MirrorColumns() {
  if (!FIsSparse) {
    Base::MirrorColumns();
  }
}

void TIntMatrix::MirrorRows() {
  if (!FIsSparse) {
    Base::MirrorRows();
  }
}

void TIntMatrix::SortRows(int32_t SortColIx, bool Ascending, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                          int32_t HighRow) {
  if (!FIsSparse) {
    Base::SortRows(SortColIx, Ascending, LowCol, LowRow, HighCol, HighRow);
  }
}

void TIntMatrix::SortCols(int32_t SortRowIx, bool Ascending, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                          int32_t HighRow) {
  if (!FIsSparse) {
    Base::SortCols(SortRowIx, Ascending, LowCol, LowRow, HighCol, HighRow);
  }
}

// ---------------------------------------------------------------- copies in (dense only)

void TIntMatrix::CopyFrom(const TIntMatrix* MatSource, int32_t SourceColLo, int32_t SourceRowLo,
                          int32_t SourceColHi, int32_t SourceRowHi, int32_t DestCol, int32_t DestRow) {
  // A sparse source is read through its getter; one without cells has nothing to give.
  if (FIsSparse || MatSource == nullptr || MatSource->HasNoCells()) {
    return;
  }
  Base::CopyFrom(MatSource, SourceColLo, SourceRowLo, SourceColHi, SourceRowHi, DestCol, DestRow);
}

void TIntMatrix::CopyFromVec(const TIntVector* Src, int32_t FirstElem, int32_t LastElem, int32_t DestCol,
                             int32_t DestRow) {
  if (!FIsSparse) {
    Base::CopyFromVec(Src, FirstElem, LastElem, DestCol, DestRow);
  }
}

void TIntMatrix::CopyFromVec(const TIntVector* Src, int32_t FirstElem, int32_t LastElem, int32_t DestCol,
                             int32_t DestRow, bool AsColumn) {
  if (!FIsSparse) {
    Base::CopyFromVec(Src, FirstElem, LastElem, DestCol, DestRow, AsColumn);
  }
}

void TIntMatrix::CopyFromVec(TDims Dim, const TIntVector* Src, int32_t FirstElem, int32_t LastElem,
                             int32_t DestCol, int32_t DestRow) {
  if (!FIsSparse) {
    Base::CopyFromVec(Dim, Src, FirstElem, LastElem, DestCol, DestRow);
  }
}

int32_t TIntMatrix::CopyFromArray(const TDoubleArray& Src, int32_t FirstElem, int32_t LastElem, int32_t Col,
                                  int32_t Row, bool AsColumn) {
  return FIsSparse ? mcSparseForm : Base::CopyFromArray(Src, FirstElem, LastElem, Col, Row, AsColumn);
}

int32_t TIntMatrix::CopyFromArray(const TIntArray& Src, int32_t FirstElem, int32_t LastElem, int32_t Col,
                                  int32_t Row, bool AsColumn) {
  return FIsSparse ? mcSparseForm : Base::CopyFromArray(Src, FirstElem, LastElem, Col, Row, AsColumn);
}

int32_t TIntMatrix::CopyFromArray(const TDouble2DArray& Src, int32_t SrcColLo, int32_t SrcRowLo, int32_t SrcColHi,
                                  int32_t SrcRowHi, int32_t Col, int32_t Row) {
  return FIsSparse ? mcSparseForm : Base::CopyFromArray(Src, SrcColLo, SrcRowLo, SrcColHi, SrcRowHi, Col, Row);
}

int32_t TIntMatrix::CopyFromArray(const TInt2DArray& Src, int32_t SrcColLo, int32_t SrcRowLo, int32_t SrcColHi,
                                  int32_t SrcRowHi, int32_t Col, int32_t Row) {
  return FIsSparse ? mcSparseForm : Base::CopyFromArray(Src, SrcColLo, SrcRowLo, SrcColHi, SrcRowHi, Col, Row);
}

// ---------------------------------------------------------------- copies out (either form)
// The template reads the cells through StoredCell; a matrix without cells
// (a new sparse one) has no line to copy.

void TIntMatrix::CopyRowToVec(TIntVector* DestVec, int32_t Row, int32_t FirstCol, int32_t LastCol) const {
  if (!HasNoCells()) {
    Base::CopyRowToVec(DestVec, Row, FirstCol, LastCol);
  }
}

void TIntMatrix::CopyRowToVec(TIntVector* DestVec, int32_t Row, int32_t FirstCol, int32_t LastCol,
                              int32_t DestElem) const {
  if (!HasNoCells()) {
    Base::CopyRowToVec(DestVec, Row, FirstCol, LastCol, DestElem);
  }
}

void TIntMatrix::CopyColToVec(TIntVector* DestVec, int32_t Col, int32_t FirstRow, int32_t LastRow) const {
  if (!HasNoCells()) {
    Base::CopyColToVec(DestVec, Col, FirstRow, LastRow);
  }
}

void TIntMatrix::CopyColToVec(TIntVector* DestVec, int32_t Col, int32_t FirstRow, int32_t LastRow,
                              int32_t DestElem) const {
  if (!HasNoCells()) {
    Base::CopyColToVec(DestVec, Col, FirstRow, LastRow, DestElem);
  }
}

void TIntMatrix::CopyRowTo1DArray(TIntArray& Dest, int32_t Row, int32_t FirstCol, int32_t LastCol,
                                  int32_t DestElem) const {
  if (!HasNoCells()) {
    Base::CopyRowTo1DArray(Dest, Row, FirstCol, LastCol, DestElem);
  }
}

void TIntMatrix::CopyColTo1DArray(TIntArray& Dest, int32_t Col, int32_t FirstRow, int32_t LastRow,
                                  int32_t DestElem) const {
  if (!HasNoCells()) {
    Base::CopyColTo1DArray(Dest, Col, FirstRow, LastRow, DestElem);
  }
}

int32_t TIntMatrix::CopyToArray(TDouble2DArray& Dest, int32_t SrcColLo, int32_t SrcRowLo, int32_t SrcColHi,
                                int32_t SrcRowHi, int32_t DestCol, int32_t DestRow) const {
  return Base::CopyToArray(Dest, SrcColLo, SrcRowLo, SrcColHi, SrcRowHi, DestCol, DestRow);
}

int32_t TIntMatrix::CopyToArray(TInt2DArray& Dest, int32_t SrcColLo, int32_t SrcRowLo, int32_t SrcColHi,
                                int32_t SrcRowHi, int32_t DestCol, int32_t DestRow) const {
  return Base::CopyToArray(Dest, SrcColLo, SrcRowLo, SrcColHi, SrcRowHi, DestCol, DestRow);
}

int32_t TIntMatrix::DuplicateDataAsArray(TInt2DArray& Dest) const { return Base::DuplicateDataAsArray(Dest); }

// ---------------------------------------------------------------- search

void TIntMatrix::Find(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, int32_t Value,
                      int32_t& ColIx, int32_t& RowIx) const {
  if (HasNoCells()) {
    ColIx = 0;
    RowIx = 0;
    return;
  }
  Base::Find(LowCol, HighCol, LowRow, HighRow, Value, ColIx, RowIx);
}

int32_t TIntMatrix::FindInSortedColumn(int32_t Col, bool ColIsAscending, int32_t Value) const {
  return Base::FindInSortedColumn(Col, ColIsAscending, Value);
}

void TIntMatrix::MinMax(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow, int32_t& Minimum,
                        int32_t& Maximum) const {
  if (!FIsSparse) {
    Base::MinMax(LowCol, LowRow, HighCol, HighRow, Minimum, Maximum);
    return;
  }
  // Only the stored entries inside the rectangle take part.
  MakeValidColRange(LowCol, HighCol);
  MakeValidRowRange(LowRow, HighRow);
  Minimum = Traits::kMinMaxStart;
  Maximum = -Traits::kMinMaxStart;
  for (const TSpMatElemInt& e : SparseEntries()) {
    if (e.colidx >= LowCol && e.colidx <= HighCol && e.rowidx >= LowRow && e.rowidx <= HighRow) {
      Minimum = std::min(Minimum, e.value);
      Maximum = std::max(Maximum, e.value);
    }
  }
}

std::string TIntMatrix::CRCofData() const { return Base::CRCofData(); }

}  // namespace vexa
