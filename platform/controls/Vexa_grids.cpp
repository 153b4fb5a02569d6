#include "platform/controls/Vexa_grids.h"

#include <algorithm>
#include <cstdlib>

#include "platform/controls/Vexa_forms.h"
#include "platform/controls/Vexa_headless.h"

namespace vexa {

namespace {

int32_t Clamp32(int64_t V) { return static_cast<int32_t>(std::clamp<int64_t>(V, INT32_MIN, INT32_MAX)); }

bool HasShift(TShiftState Shift, TShiftStateItem Item) { return (Shift & ShiftBit(Item)) != 0; }

bool InGridRect(const TGridRect& R, int32_t X, int32_t Y) {
  return X >= R.Left && X <= R.Right && Y >= R.Top && Y <= R.Bottom;
}

// Tolerance around a column border where a press starts column sizing.
constexpr int32_t SizingTolerance = 2;
// Width of one wheel notch.
constexpr int32_t WheelNotch = 120;

}  // namespace

// ---------------------------------------------------------------- geometry

int32_t TCustomGrid::TAxis::Size(int32_t Index) const {
  if (Index < 0 || Index >= Count) return DefaultSize;
  const auto it = Sizes.find(Index);
  return it == Sizes.end() ? DefaultSize : it->second;
}

int32_t TCustomGrid::ColGap() const {
  return HasOption(goVertLine) || HasOption(goFixedVertLine) ? FGridLineWidth : 0;
}

int32_t TCustomGrid::RowGap() const {
  return HasOption(goHorzLine) || HasOption(goFixedHorzLine) ? FGridLineWidth : 0;
}

int64_t TCustomGrid::FixedExtent(const TAxis& Axis, int32_t Gap) {
  // From the default size and the few sizes set, not cell by cell: a grid
  // may have millions of fixed rows.
  int64_t extent = int64_t{Axis.Fixed} * (int64_t{Axis.DefaultSize} + Gap);
  for (auto it = Axis.Sizes.begin(); it != Axis.Sizes.end() && it->first < Axis.Fixed; ++it)
    extent += int64_t{it->second} - Axis.DefaultSize;
  return extent;
}

std::vector<TCustomGrid::TAxisCell> TCustomGrid::VisibleCells(const TAxis& Axis, int32_t Gap, int64_t Extent) {
  std::vector<TAxisCell> cells;
  int64_t pos = 0;
  for (int32_t i = 0; i < Axis.Fixed && pos < Extent; ++i) {
    cells.push_back({i, pos, Axis.Size(i)});
    pos += int64_t{Axis.Size(i)} + Gap;
  }
  for (int32_t i = Axis.First; i < Axis.Count && pos < Extent; ++i) {
    cells.push_back({i, pos, Axis.Size(i)});
    pos += int64_t{Axis.Size(i)} + Gap;
  }
  return cells;
}

int32_t TCustomGrid::MaxFirst(const TAxis& Axis, int32_t Gap, int64_t Extent) {
  // Walk back from the last cell while the cells from there on still fit.
  const int64_t available = Extent - FixedExtent(Axis, Gap);
  int32_t first = Axis.Count - 1;
  int64_t used = Axis.Size(first);
  while (first - 1 >= Axis.Fixed && used + Gap + Axis.Size(first - 1) <= available) {
    --first;
    used += int64_t{Gap} + Axis.Size(first);
  }
  return std::max(first, Axis.Fixed);
}

int32_t TCustomGrid::FullyVisibleCount(const TAxis& Axis, int32_t Gap, int64_t Extent) {
  int64_t pos = FixedExtent(Axis, Gap);
  int32_t count = 0;
  for (int32_t i = Axis.First; i < Axis.Count && pos + Axis.Size(i) <= Extent; ++i) {
    ++count;
    pos += int64_t{Axis.Size(i)} + Gap;
  }
  return count;
}

int32_t TCustomGrid::FirstToShow(const TAxis& Axis, int32_t Gap, int64_t Extent, int32_t Index) {
  if (Index < Axis.Fixed) return Axis.First;
  if (Index <= Axis.First) return Index;
  // Already shown completely with the present first cell?
  int64_t pos = FixedExtent(Axis, Gap);
  for (int32_t i = Axis.First; i < Index && pos <= Extent; ++i) pos += int64_t{Axis.Size(i)} + Gap;
  if (pos + Axis.Size(Index) <= Extent) return Axis.First;
  // Otherwise the cell goes to the far end: the smallest first cell showing it.
  const int64_t available = Extent - FixedExtent(Axis, Gap);
  int32_t first = Index;
  int64_t used = Axis.Size(Index);
  while (first - 1 >= Axis.Fixed && used + Gap + Axis.Size(first - 1) <= available) {
    --first;
    used += int64_t{Gap} + Axis.Size(first);
  }
  return first;
}

int32_t TCustomGrid::CoordAt(const TAxis& Axis, int32_t Gap, int64_t Extent, int64_t Pos) {
  if (Pos < 0 || Pos >= Extent) return -1;
  for (const TAxisCell& cell : VisibleCells(Axis, Gap, Extent))
    if (Pos < cell.Start + cell.Size + Gap) return cell.Index;
  return -1;
}

// ---------------------------------------------------------------- TCustomGrid

TCustomGrid::TCustomGrid(TComponent* AOwner) : TCustomControl(AOwner) {
  FCols.DefaultSize = 64;
  FRows.DefaultSize = 24;
  SetColor(clWindow);
  SetTabStop(true);
  StoreBounds(0, 0, 320, 120);
}

TCustomGrid::~TCustomGrid() {
  // The editor goes first, while the grid it refers to is still whole.
  FEditor = nullptr;
  DestroyChildren();
}

void TCustomGrid::SetCount(TAxis& Axis, int32_t Value) {
  Value = std::max(Value, 1);
  if (Value == Axis.Count) return;
  if (FEditorMode) HideEditor();
  Axis.Count = Value;
  if (Axis.Fixed >= Value) Axis.Fixed = Value - 1;
  Axis.Sizes.erase(Axis.Sizes.lower_bound(Value), Axis.Sizes.end());
  ClampCurrent();
  ClampTopLeft();
  UpdateEditor();
  Invalidate();
}

void TCustomGrid::SetColCount(int32_t Value) {
  SetCount(FCols, Value);
  std::erase_if(FTabStops, [this](const auto& entry) { return entry.first >= FCols.Count; });
}

void TCustomGrid::SetRowCount(int32_t Value) { SetCount(FRows, Value); }

void TCustomGrid::SetFixedCols(int32_t Value) {
  if (Value < 0 || Value >= FCols.Count) throw EInvalidGridOperation("Fixed column count must be less than column count");
  if (Value == FCols.Fixed) return;
  FCols.Fixed = Value;
  ClampCurrent();
  ClampTopLeft();
  UpdateEditor();
  Invalidate();
}

void TCustomGrid::SetFixedRows(int32_t Value) {
  if (Value < 0 || Value >= FRows.Count) throw EInvalidGridOperation("Fixed row count must be less than row count");
  if (Value == FRows.Fixed) return;
  FRows.Fixed = Value;
  ClampCurrent();
  ClampTopLeft();
  UpdateEditor();
  Invalidate();
}

void TCustomGrid::SetDefaultColWidth(int32_t Value) {
  FCols.DefaultSize = std::max(Value, 0);
  FCols.Sizes.clear();
  ColWidthsChanged();
}

void TCustomGrid::SetDefaultRowHeight(int32_t Value) {
  FRows.DefaultSize = std::max(Value, 0);
  FRows.Sizes.clear();
  RowHeightsChanged();
}

void TCustomGrid::SetSize(TAxis& Axis, int32_t Index, int32_t Value) {
  Value = std::max(Value, 0);
  if (Value == Axis.DefaultSize) Axis.Sizes.erase(Index);
  else Axis.Sizes[Index] = Value;
}

void TCustomGrid::SetColWidths(int32_t Index, int32_t Value) {
  if (Index < 0 || Index >= FCols.Count || ColWidths(Index) == std::max(Value, 0)) return;
  SetSize(FCols, Index, Value);
  ColWidthsChanged();
}

void TCustomGrid::SetRowHeights(int32_t Index, int32_t Value) {
  if (Index < 0 || Index >= FRows.Count || RowHeights(Index) == std::max(Value, 0)) return;
  SetSize(FRows, Index, Value);
  RowHeightsChanged();
}

void TCustomGrid::SetGridLineWidth(int32_t Value) {
  Value = std::max(Value, 0);
  if (Value == FGridLineWidth) return;
  FGridLineWidth = Value;
  UpdateEditor();
  Invalidate();
}

int32_t TCustomGrid::GridWidth() const {
  int64_t width = int64_t{FCols.Count} * (int64_t{FCols.DefaultSize} + ColGap());
  for (const auto& [index, size] : FCols.Sizes) width += int64_t{size} - FCols.DefaultSize;
  return Clamp32(width);
}

int32_t TCustomGrid::GridHeight() const {
  int64_t height = int64_t{FRows.Count} * (int64_t{FRows.DefaultSize} + RowGap());
  for (const auto& [index, size] : FRows.Sizes) height += int64_t{size} - FRows.DefaultSize;
  return Clamp32(height);
}

void TCustomGrid::ColWidthsChanged() {
  UpdateEditor();
  Invalidate();
}

void TCustomGrid::RowHeightsChanged() {
  UpdateEditor();
  Invalidate();
}

void TCustomGrid::SetOptions(TGridOptions Value) {
  if (Value == FOptions) return;
  FOptions = Value;
  if (!HasOption(goEditing) || HasOption(goRowSelect)) HideEditor();
  if (HasOption(goRowSelect)) {
    FCurrent.X = FCols.Fixed;
    FAnchor = FCurrent;
  }
  if (HasOption(goAlwaysShowEditor) && HasOption(goEditing)) ShowEditor();
  UpdateEditor();
  Invalidate();
}

void TCustomGrid::SetFixedColor(TColor Value) {
  if (Value == FFixedColor) return;
  FFixedColor = Value;
  Invalidate();
}

void TCustomGrid::SetDefaultDrawing(bool Value) {
  if (Value == FDefaultDrawing) return;
  FDefaultDrawing = Value;
  Invalidate();
}

bool TCustomGrid::TabStops(int32_t Col) const { return !FTabStops.contains(Col); }

void TCustomGrid::SetTabStops(int32_t Col, bool Value) {
  if (Col < 0 || Col >= FCols.Count) return;
  if (Value) FTabStops.erase(Col);
  else FTabStops[Col] = false;
}

void TCustomGrid::SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) {
  TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  UpdateEditor();
}

// ------------------------------------------------------- current cell, scrolling

void TCustomGrid::ClampCurrent() {
  const auto clampCell = [this](TGridCoord& C) {
    C.X = std::clamp(C.X, FCols.Fixed, FCols.Count - 1);
    C.Y = std::clamp(C.Y, FRows.Fixed, FRows.Count - 1);
  };
  clampCell(FCurrent);
  clampCell(FAnchor);
  if (HasOption(goRowSelect)) FCurrent.X = FCols.Fixed;
}

void TCustomGrid::ClampTopLeft() {
  const int32_t left = std::clamp(FCols.First, FCols.Fixed, MaxFirst(FCols, ColGap(), ClientWidth()));
  const int32_t top = std::clamp(FRows.First, FRows.Fixed, MaxFirst(FRows, RowGap(), ClientHeight()));
  MoveTopLeft(left, top);
}

void TCustomGrid::MoveTopLeft(int32_t ALeft, int32_t ATop) {
  if (ALeft == FCols.First && ATop == FRows.First) return;
  FCols.First = ALeft;
  FRows.First = ATop;
  UpdateEditor();
  Invalidate();
  TopLeftChanged();
}

void TCustomGrid::SetTopRow(int32_t Value) {
  MoveTopLeft(FCols.First, std::clamp(Value, FRows.Fixed, MaxFirst(FRows, RowGap(), ClientHeight())));
}

void TCustomGrid::SetLeftCol(int32_t Value) {
  MoveTopLeft(std::clamp(Value, FCols.Fixed, MaxFirst(FCols, ColGap(), ClientWidth())), FRows.First);
}

int32_t TCustomGrid::VisibleRowCount() const { return FullyVisibleCount(FRows, RowGap(), ClientHeight()); }
int32_t TCustomGrid::VisibleColCount() const { return FullyVisibleCount(FCols, ColGap(), ClientWidth()); }

void TCustomGrid::ScrollIntoView(int32_t ACol, int32_t ARow) {
  MoveTopLeft(FirstToShow(FCols, ColGap(), ClientWidth(), ACol), FirstToShow(FRows, RowGap(), ClientHeight(), ARow));
}

TGridRect TCustomGrid::Selection() const {
  TGridRect sel{std::min(FAnchor.X, FCurrent.X), std::min(FAnchor.Y, FCurrent.Y), std::max(FAnchor.X, FCurrent.X),
                std::max(FAnchor.Y, FCurrent.Y)};
  if (HasOption(goRowSelect)) {
    sel.Left = FCols.Fixed;
    sel.Right = FCols.Count - 1;
  }
  return sel;
}

bool TCustomGrid::MoveCurrent(int32_t ACol, int32_t ARow, bool MoveAnchor, bool Show) {
  if (HasOption(goRowSelect)) ACol = FCols.Fixed;
  if (ACol < FCols.Fixed || ACol >= FCols.Count || ARow < FRows.Fixed || ARow >= FRows.Count) return false;
  const TControlRef self(this);
  if (!SelectCell(ACol, ARow) || !self) return false;
  const TGridRect oldSel = Selection();
  const bool cellChanged = !(FCurrent == TGridCoord{ACol, ARow});
  if (cellChanged && FEditorMode) {
    CommitEditor();
    if (!self) return false;
    if (!HasOption(goAlwaysShowEditor)) HideEditor();
  }
  FCurrent = {ACol, ARow};
  if (MoveAnchor || !HasOption(goRangeSelect)) FAnchor = FCurrent;
  if (Show) ScrollIntoView(ACol, ARow);
  if (cellChanged && HasOption(goAlwaysShowEditor) && FEditorMode) {
    FEditCell = FCurrent;
    if (FEditor) FEditor->LoadText(GetEditText(ACol, ARow));
  }
  UpdateEditor();
  Invalidate();
  if (!(oldSel == Selection()) || cellChanged) SelectionMoved(oldSel);
  return true;
}

void TCustomGrid::SetCol(int32_t Value) { MoveCurrent(Value, FCurrent.Y, true, true); }
void TCustomGrid::SetRow(int32_t Value) { MoveCurrent(FCurrent.X, Value, true, true); }

void TCustomGrid::SetSelection(const TGridRect& Value) {
  const auto clampX = [this](int32_t X) { return std::clamp(X, FCols.Fixed, FCols.Count - 1); };
  const auto clampY = [this](int32_t Y) { return std::clamp(Y, FRows.Fixed, FRows.Count - 1); };
  const TGridCoord anchor{clampX(Value.Left), clampY(Value.Top)};
  if (!MoveCurrent(clampX(Value.Right), clampY(Value.Bottom), true, true)) return;
  if (HasOption(goRangeSelect)) FAnchor = anchor;
  Invalidate();
}

TRect TCustomGrid::CellRect(int32_t ACol, int32_t ARow) const {
  const auto find = [](const std::vector<TAxisCell>& Cells, int32_t Index) -> const TAxisCell* {
    for (const TAxisCell& cell : Cells)
      if (cell.Index == Index) return &cell;
    return nullptr;
  };
  const auto cols = VisibleCells(FCols, ColGap(), ClientWidth());
  const auto rows = VisibleCells(FRows, RowGap(), ClientHeight());
  const TAxisCell* c = find(cols, ACol);
  const TAxisCell* r = find(rows, ARow);
  if (!c || !r) return TRect{};
  return Rect(Clamp32(c->Start), Clamp32(r->Start), Clamp32(c->Start + c->Size), Clamp32(r->Start + r->Size));
}

TGridCoord TCustomGrid::MouseCoord(int32_t X, int32_t Y) const {
  const int32_t col = CoordAt(FCols, ColGap(), ClientWidth(), X);
  const int32_t row = CoordAt(FRows, RowGap(), ClientHeight(), Y);
  if (col < 0 || row < 0) return {-1, -1};
  return {col, row};
}

void TCustomGrid::MouseToCell(int32_t X, int32_t Y, int32_t& ACol, int32_t& ARow) const {
  const TGridCoord cell = MouseCoord(X, Y);
  ACol = cell.X;
  ARow = cell.Y;
}

void TCustomGrid::InvalidateCell(int32_t ACol, int32_t ARow) {
  (void)ACol;
  (void)ARow;
  // Cells may draw across their neighbours, so a cell repaints the grid.
  Invalidate();
}

void TCustomGrid::InvalidateRow(int32_t ARow) { InvalidateCell(0, ARow); }
void TCustomGrid::InvalidateCol(int32_t ACol) { InvalidateCell(ACol, 0); }

// ---------------------------------------------------------------- virtual hooks

void TCustomGrid::DrawCell(int32_t ACol, int32_t ARow, const TRect& ARect, TGridDrawState AState) {
  (void)ACol;
  (void)ARow;
  (void)ARect;
  (void)AState;
}

bool TCustomGrid::SelectCell(int32_t ACol, int32_t ARow) {
  (void)ACol;
  (void)ARow;
  return true;
}

std::string TCustomGrid::GetEditText(int32_t ACol, int32_t ARow) {
  (void)ACol;
  (void)ARow;
  return {};
}

void TCustomGrid::SetEditText(int32_t ACol, int32_t ARow, const std::string& Value) {
  (void)ACol;
  (void)ARow;
  (void)Value;
}

std::string TCustomGrid::GetEditMask(int32_t ACol, int32_t ARow) {
  (void)ACol;
  (void)ARow;
  return {};
}

bool TCustomGrid::CanEditShow() {
  return HasOption(goEditing) && !HasOption(goRowSelect) && FCurrent.X >= FCols.Fixed && FCurrent.Y >= FRows.Fixed;
}

TEditStyle TCustomGrid::GetEditStyle(int32_t ACol, int32_t ARow) {
  (void)ACol;
  (void)ARow;
  return esSimple;
}

TInplaceEdit* TCustomGrid::CreateEditor() { return new TInplaceEditList(this, *this); }

void TCustomGrid::TopLeftChanged() {}

void TCustomGrid::SelectionMoved(const TGridRect& OldSel) { (void)OldSel; }

// ---------------------------------------------------------------- painting

TGridDrawState TCustomGrid::CellState(int32_t ACol, int32_t ARow, const TGridRect& Sel) const {
  if (ACol < FCols.Fixed || ARow < FRows.Fixed) return GridDrawBit(gdFixed);
  TGridDrawState state = 0;
  if (ACol == FCurrent.X && ARow == FCurrent.Y) state |= GridDrawBit(gdFocused);
  if (InGridRect(Sel, ACol, ARow)) {
    state |= GridDrawBit(gdSelected);
    if (HasOption(goRowSelect)) state |= GridDrawBit(gdRowSelected);
  }
  return state;
}

void TCustomGrid::Paint() {
  const auto cols = VisibleCells(FCols, ColGap(), ClientWidth());
  const auto rows = VisibleCells(FRows, RowGap(), ClientHeight());
  DrawLines(cols, rows);
  const TGridRect sel = Selection();
  const TControlRef self(this);
  for (const TAxisCell& row : rows)
    for (const TAxisCell& col : cols) {
      DrawOneCell(col, row, sel);
      if (!self) return;
    }
}

void TCustomGrid::DrawLines(const std::vector<TAxisCell>& Cols, const std::vector<TAxisCell>& Rows) {
  if (Cols.empty() || Rows.empty()) return;
  TCanvas& canvas = Canvas();
  canvas.Brush().SetStyle(bsSolid);
  const int32_t colGap = ColGap(), rowGap = RowGap();
  const int64_t right = Cols.back().Start + Cols.back().Size + colGap;
  const int64_t bottom = Rows.back().Start + Rows.back().Size + rowGap;
  const int64_t fixedRight = FixedExtent(FCols, colGap), fixedBottom = FixedExtent(FRows, rowGap);
  const auto fill = [&canvas](int64_t L, int64_t T, int64_t R, int64_t B, TColor Color) {
    if (R <= L || B <= T) return;
    canvas.Brush().SetColor(Color);
    canvas.FillRect(Rect(Clamp32(L), Clamp32(T), Clamp32(R), Clamp32(B)));
  };
  const bool fixedV = HasOption(goFixedVertLine), dataV = HasOption(goVertLine);
  const bool fixedH = HasOption(goFixedHorzLine), dataH = HasOption(goHorzLine);
  for (const TAxisCell& c : Cols) {
    const int64_t x = c.Start + c.Size;
    const bool fixedCol = c.Index < FCols.Fixed;
    if (fixedV) fill(x, 0, x + colGap, std::min(fixedBottom, bottom), clBlack);
    if (fixedCol ? fixedV : dataV) fill(x, fixedBottom, x + colGap, bottom, fixedCol ? clBlack : clSilver);
  }
  for (const TAxisCell& r : Rows) {
    const int64_t y = r.Start + r.Size;
    const bool fixedRow = r.Index < FRows.Fixed;
    if (fixedH) fill(0, y, std::min(fixedRight, right), y + rowGap, clBlack);
    if (fixedRow ? fixedH : dataH) fill(fixedRight, y, right, y + rowGap, fixedRow ? clBlack : clSilver);
  }
}

void TCustomGrid::DrawOneCell(const TAxisCell& C, const TAxisCell& R, const TGridRect& Sel) {
  const TRect rect = Rect(Clamp32(C.Start), Clamp32(R.Start), Clamp32(C.Start + C.Size), Clamp32(R.Start + R.Size));
  const TGridDrawState state = CellState(C.Index, R.Index, Sel);
  TCanvas& canvas = Canvas();
  const bool focused = (state & GridDrawBit(gdFocused)) != 0;
  if (FDefaultDrawing) {
    const bool highlighted = (state & GridDrawBit(gdSelected)) &&
                             (!focused || HasOption(goDrawFocusSelected) || HasOption(goRowSelect));
    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetColor((state & GridDrawBit(gdFixed)) ? FFixedColor : highlighted ? clHighlight : Color());
    canvas.Font().SetColor(highlighted ? clHighlightText : Font().Color());
    canvas.FillRect(rect);
  }
  const TControlRef self(this);
  DrawCell(C.Index, R.Index, rect, state);
  if (!self) return;
  if (FDefaultDrawing && focused && Focused() && !FEditorMode && !HasOption(goRowSelect))
    canvas.DrawFocusRect(rect);
}

// ---------------------------------------------------------------- keys

bool TCustomGrid::ClaimsKey(uint16_t Key, TShiftState Shift) const {
  (void)Shift;
  switch (Key) {
    case VK_TAB: return HasOption(goTabs);
    case VK_RETURN: return HasOption(goEditing);
    case VK_ESCAPE: return FEditorMode;
    default: return false;
  }
}

void TCustomGrid::MoveBy(int32_t DCol, int32_t DRow, TShiftState Shift) {
  const bool extend = HasShift(Shift, ssShift) && HasOption(goRangeSelect);
  const int32_t col = std::clamp(FCurrent.X + DCol, FCols.Fixed, FCols.Count - 1);
  const int32_t row = std::clamp(FCurrent.Y + DRow, FRows.Fixed, FRows.Count - 1);
  MoveCurrent(col, row, !extend, true);
}

void TCustomGrid::MoveByPage(int32_t Direction, TShiftState Shift) {
  const int32_t page = std::max(VisibleRowCount(), 1);
  const int64_t top = int64_t{FRows.First} + int64_t{Direction} * page;
  const int64_t row = int64_t{FCurrent.Y} + int64_t{Direction} * page;
  SetTopRow(Clamp32(top));
  MoveBy(0, Clamp32(std::clamp<int64_t>(row, FRows.Fixed, FRows.Count - 1) - FCurrent.Y), Shift);
}

void TCustomGrid::TabToNext(bool Backward) {
  TGridCoord next = FCurrent;
  // At most one round through the columns (and wrapping rows) for a Tab stop.
  for (int32_t step = 0; step < FCols.Count; ++step) {
    if (Backward) {
      if (--next.X < FCols.Fixed) {
        next.X = FCols.Count - 1;
        if (--next.Y < FRows.Fixed) next.Y = FRows.Count - 1;
      }
    } else if (++next.X >= FCols.Count) {
      next.X = FCols.Fixed;
      if (++next.Y >= FRows.Count) next.Y = FRows.Fixed;
    }
    if (TabStops(next.X) || next.X == FCurrent.X) break;
  }
  MoveCurrent(next.X, next.Y, true, true);
}

void TCustomGrid::KeyDown(uint16_t& Key, TShiftState Shift) {
  const TControlRef self(this);
  TCustomControl::KeyDown(Key, Shift);
  if (!self || Key == 0) return;
  const bool ctrl = HasShift(Shift, ssCtrl);
  const bool rowSelect = HasOption(goRowSelect);
  switch (Key) {
    case VK_UP: MoveBy(0, -1, Shift); break;
    case VK_DOWN: MoveBy(0, 1, Shift); break;
    case VK_LEFT:
      if (rowSelect) SetLeftCol(FCols.First - 1);
      else MoveBy(-1, 0, Shift);
      break;
    case VK_RIGHT:
      if (rowSelect) SetLeftCol(FCols.First + 1);
      else MoveBy(1, 0, Shift);
      break;
    case VK_PRIOR: MoveByPage(-1, Shift); break;
    case VK_NEXT: MoveByPage(1, Shift); break;
    case VK_HOME:
      if (ctrl || rowSelect) MoveBy(FCols.Fixed - FCurrent.X, FRows.Fixed - FCurrent.Y, Shift);
      else MoveBy(FCols.Fixed - FCurrent.X, 0, Shift);
      break;
    case VK_END:
      if (ctrl || rowSelect) MoveBy(FCols.Count - 1 - FCurrent.X, FRows.Count - 1 - FCurrent.Y, Shift);
      else MoveBy(FCols.Count - 1 - FCurrent.X, 0, Shift);
      break;
    case VK_TAB:
      if (!HasOption(goTabs) || HasShift(Shift, ssAlt)) return;
      TabToNext(HasShift(Shift, ssShift));
      break;
    case VK_F2:
      if (!HasOption(goEditing)) return;
      ShowEditor();
      break;
    case VK_ESCAPE:
      if (!FEditorMode) return;
      CancelEditor();
      break;
    default: return;
  }
  Key = 0;
}

void TCustomGrid::KeyPress(char32_t& Key) {
  const TControlRef self(this);
  TCustomControl::KeyPress(Key);
  if (!self || Key == 0) return;
  if (Key == U'\r') {
    if (FEditorMode) {
      CommitEditor();
      if (!self) {
        Key = 0;
        return;
      }
      if (HasOption(goAlwaysShowEditor)) {
        if (FEditor) FEditor->LoadText(GetEditText(FCurrent.X, FCurrent.Y));
      } else {
        HideEditor();
      }
    } else if (HasOption(goEditing)) {
      ShowEditor();
    }
    Key = 0;
    return;
  }
  const bool typed = Key == U'\b' || Key >= U' ';
  if (typed && !FEditorMode && HasOption(goEditing)) {
    // A typed character opens the editor and replaces its (selected) text.
    ShowEditor();
    if (!self || !FEditorMode || !FEditor) return;
    if (Key == U'\b') FEditor->InsertText("");
    else FEditor->InsertText(EncodeUtf8(Key));
    Key = 0;
  }
}

// ---------------------------------------------------------------- mouse

int32_t TCustomGrid::SizingColumnAt(int32_t X, int32_t Y) const {
  if (!HasOption(goColSizing) || FRows.Fixed == 0 || Y < 0 || Y >= FixedExtent(FRows, RowGap())) return -1;
  const int32_t gap = ColGap();
  int32_t found = -1;
  int64_t best = SizingTolerance + 1;
  for (const TAxisCell& c : VisibleCells(FCols, gap, ClientWidth())) {
    const int64_t border = c.Start + c.Size;  // the line right of the column starts here
    const int64_t distance = X < border ? border - X : (X < border + gap ? 0 : X - (border + gap) + 1);
    if (distance <= best) {
      best = distance;
      found = c.Index;
    }
  }
  return found;
}

void TCustomGrid::FocusGrid() {
  if (!Focused() && CanFocus() && !(FEditor && FEditor->Focused())) SetFocus();
}

void TCustomGrid::MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) {
  const TControlRef self(this);
  if (Button == mbLeft) {
    FocusGrid();
    if (!self) return;
    if (const int32_t col = SizingColumnAt(X, Y); col >= 0 && !HasShift(Shift, ssDouble)) {
      FGridState = gsColSizing;
      FSizingCol = col;
      FSizingOrigin = 0;
      for (const TAxisCell& c : VisibleCells(FCols, ColGap(), ClientWidth()))
        if (c.Index == col) FSizingOrigin = c.Start;
    } else if (const TGridCoord cell = MouseCoord(X, Y);
               cell.X >= FCols.Fixed && cell.Y >= FRows.Fixed) {
      const bool sameCell = cell == FCurrent || (HasOption(goRowSelect) && cell.Y == FCurrent.Y);
      if (HasOption(goEditing) && sameCell && !HasShift(Shift, ssDouble) && !HasShift(Shift, ssShift)) {
        ShowEditor();
      } else if (HasShift(Shift, ssShift) && HasOption(goRangeSelect)) {
        MoveCurrent(cell.X, cell.Y, false, true);
      } else {
        // Dragging then extends the selection (or, without goRangeSelect,
        // moves the current cell along).
        MoveCurrent(cell.X, cell.Y, true, true);
        FGridState = gsSelecting;
      }
    }
  }
  if (self) TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomGrid::MouseMove(TShiftState Shift, int32_t X, int32_t Y) {
  const TControlRef self(this);
  if (FGridState == gsColSizing) {
    SetColWidths(FSizingCol, Clamp32(std::max<int64_t>(int64_t{X} - FSizingOrigin, 1)));
  } else if (FGridState == gsSelecting) {
    // Past an edge the selection grows by one cell beyond the last one shown.
    const auto target = [](int32_t Pos, int32_t Extent, int32_t Hit, int32_t Current, int32_t Last) {
      if (Pos >= Extent) return std::min(Current + 1, Last);
      return Hit < 0 ? Current : Hit;
    };
    const TGridCoord hit{CoordAt(FCols, ColGap(), ClientWidth(), X), CoordAt(FRows, RowGap(), ClientHeight(), Y)};
    int32_t col = target(X, ClientWidth(), hit.X, FCurrent.X, FCols.Count - 1);
    int32_t row = target(Y, ClientHeight(), hit.Y, FCurrent.Y, FRows.Count - 1);
    if (col < FCols.Fixed) col = std::max(FCols.First - 1, FCols.Fixed);
    if (row < FRows.Fixed) row = std::max(FRows.First - 1, FRows.Fixed);
    if (!(TGridCoord{col, row} == FCurrent)) MoveCurrent(col, row, false, true);
  } else {
    const bool overBorder = SizingColumnAt(X, Y) >= 0;
    if (overBorder != FSizingCursorShown) {
      if (overBorder) FSavedCursor = Cursor();
      FSizingCursorShown = overBorder;
      SetCursor(overBorder ? crHSplit : FSavedCursor);
    }
  }
  if (self) TCustomControl::MouseMove(Shift, X, Y);
}

void TCustomGrid::MouseUp(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) {
  if (Button == mbLeft) {
    FGridState = gsNormal;
    FSizingCol = -1;
  }
  TCustomControl::MouseUp(Button, Shift, X, Y);
}

bool TCustomGrid::DoMouseWheel(TShiftState Shift, int32_t WheelDelta, TPoint MousePos) {
  if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  const int32_t notches = std::max(std::abs(WheelDelta) / WheelNotch, 1);
  const TControlRef self(this);
  for (int32_t i = 0; i < notches && self; ++i) {
    if (WheelDelta < 0) DoMouseWheelDown(Shift, MousePos);
    else if (WheelDelta > 0) DoMouseWheelUp(Shift, MousePos);
  }
  return WheelDelta != 0;
}

bool TCustomGrid::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
  bool handled = false;
  if (OnMouseWheelDown) OnMouseWheelDown(this, Shift, MousePos, handled);
  if (!handled && FCurrent.Y < FRows.Count - 1) MoveCurrent(FCurrent.X, FCurrent.Y + 1, true, true);
  return true;
}

bool TCustomGrid::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
  bool handled = false;
  if (OnMouseWheelUp) OnMouseWheelUp(this, Shift, MousePos, handled);
  if (!handled && FCurrent.Y > FRows.Fixed) MoveCurrent(FCurrent.X, FCurrent.Y - 1, true, true);
  return true;
}

void TCustomGrid::DoExit() {
  const TControlRef self(this);
  TCustomControl::DoExit();
  if (!self) return;
  CommitEditor();
  if (self && !HasOption(goAlwaysShowEditor)) HideEditor();
}

// ---------------------------------------------------------------- editor

void TCustomGrid::SetEditorMode(bool Value) {
  if (Value) ShowEditor();
  else HideEditor();
}

void TCustomGrid::FocusGained() {
  TCustomControl::FocusGained();
  // An open editor takes the focus the grid receives.
  if (FEditorMode && FEditor && FEditor->Visible()) FEditor->SetFocus();
}

void TCustomGrid::ShowEditor() {
  if (FEditorMode || !CanEditShow()) return;
  if (!FEditor) {
    FEditor = CreateEditor();
    FEditor->SetVisible(false);
    FEditor->SetParent(this);
  }
  FEditorMode = true;
  FEditCell = FCurrent;
  if (auto* list = dynamic_cast<TInplaceEditList*>(FEditor)) list->SetEditStyle(GetEditStyle(FCurrent.X, FCurrent.Y));
  FEditor->SetEditMask(GetEditMask(FCurrent.X, FCurrent.Y));
  const TControlRef self(this);
  const std::string text = GetEditText(FCurrent.X, FCurrent.Y);
  if (!self || !FEditor) return;
  FEditor->LoadText(text);
  UpdateEditor();
  if (Focused()) FEditor->SetFocus();
  Invalidate();
}

void TCustomGrid::CommitEditor() {
  if (!FEditorMode || !FEditor || !FEditor->Modified()) return;
  FEditor->SetModified(false);
  SetEditText(FEditCell.X, FEditCell.Y, FEditor->Text());
}

void TCustomGrid::HideEditor() {
  if (!FEditorMode) return;
  const TControlRef self(this);
  CommitEditor();
  if (!self || (HasOption(goAlwaysShowEditor) && HasOption(goEditing) && CanEditShow())) return;
  CancelEditor();
}

void TCustomGrid::CancelEditor() {
  if (!FEditorMode || !FEditor) return;
  if (auto* list = dynamic_cast<TInplaceEditList*>(FEditor)) list->CloseUp(false);
  if (HasOption(goAlwaysShowEditor) && CanEditShow()) {
    // The editor stays: it shows the stored text again.
    FEditor->LoadText(GetEditText(FEditCell.X, FEditCell.Y));
    return;
  }
  FEditorMode = false;
  const bool hadFocus = FEditor->Focused();
  FEditor->SetModified(false);
  FEditor->SetVisible(false);
  if (hadFocus && CanFocus()) SetFocus();
  Invalidate();
}

void TCustomGrid::UpdateEditor() {
  if (!FEditor || !FEditorMode) return;
  const TRect r = CellRect(FEditCell.X, FEditCell.Y);
  if (r.IsEmpty()) {
    FEditor->SetVisible(false);
    return;
  }
  FEditor->SetBounds(r.Left, r.Top, static_cast<int32_t>(r.Width()), static_cast<int32_t>(r.Height()));
  FEditor->SetVisible(true);
}

// ---------------------------------------------------------------- TCustomDrawGrid

void TCustomDrawGrid::DrawCell(int32_t ACol, int32_t ARow, const TRect& ARect, TGridDrawState AState) {
  if (OnDrawCell) OnDrawCell(this, ACol, ARow, ARect, AState);
}

bool TCustomDrawGrid::SelectCell(int32_t ACol, int32_t ARow) {
  bool canSelect = true;
  if (OnSelectCell) OnSelectCell(this, ACol, ARow, canSelect);
  return canSelect;
}

std::string TCustomDrawGrid::GetEditText(int32_t ACol, int32_t ARow) {
  std::string value;
  if (OnGetEditText) OnGetEditText(this, ACol, ARow, value);
  return value;
}

void TCustomDrawGrid::SetEditText(int32_t ACol, int32_t ARow, const std::string& Value) {
  if (OnSetEditText) OnSetEditText(this, ACol, ARow, Value);
}

std::string TCustomDrawGrid::GetEditMask(int32_t ACol, int32_t ARow) {
  std::string value;
  if (OnGetEditMask) OnGetEditMask(this, ACol, ARow, value);
  return value;
}

void TCustomDrawGrid::TopLeftChanged() {
  if (OnTopLeftChanged) OnTopLeftChanged(this);
}

TInplaceEdit* TCustomDrawGrid::CreateEditor() {
  auto* editor = new TInplaceEditList(this, *this);
  editor->OnGetPickListItems = [this](int32_t ACol, int32_t ARow, std::vector<std::string>& Items) {
    if (OnGetPickListItems) OnGetPickListItems(ACol, ARow, Items);
  };
  return editor;
}

}  // namespace vexa
