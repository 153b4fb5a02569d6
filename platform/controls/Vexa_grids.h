#pragma once
/// @file
/// Grids: TCustomGrid (cells in columns and rows, fixed title rows and
/// columns, a current cell and a selection, an in-place editor),
/// TCustomDrawGrid (the same with events for drawing, selecting and editing
/// cells) and TDrawGrid.
///
/// Geometry: fixed columns stay at the left and fixed rows at the top; the
/// other cells scroll, LeftCol and TopRow being the first scrolled column and
/// row shown. Between columns lies a gap of GridLineWidth when vertical lines
/// are on (goVertLine or goFixedVertLine), between rows likewise for
/// horizontal lines. There are no scroll bars: keys, the wheel and
/// TopRow/LeftCol scroll.
///
/// Painting draws the lines first, then every visible cell row by row, left
/// to right, through DrawCell. The canvas is clipped to the client area only,
/// so a cell may draw across its neighbours (later cells draw over earlier
/// ones). Only visible cells are visited: painting costs the same for 100
/// rows as for a million.
///
/// Editing: with goEditing, Enter, F2, a typed character or a click on the
/// current cell opens the in-place editor with GetEditText. The text is
/// stored through SetEditText when the edit is committed (Enter, moving to
/// another cell, HideEditor, the grid losing the focus), and only when the
/// user changed it; Escape restores the text and closes the editor.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/controls/Vexa_controls.h"
#include "platform/controls/Vexa_forms.h"
#include "platform/controls/Vexa_stdctrls.h"

namespace vexa {

/// A grid operation was refused (fixed counts not below the counts).
VEXA_DECLARE_EXCEPTION(EInvalidGridOperation, Exception);

/// A cell: X is the column, Y the row (0-based, fixed cells included).
struct TGridCoord {
  int32_t X = 0;
  int32_t Y = 0;
  friend bool operator==(const TGridCoord&, const TGridCoord&) = default;
};

/// A block of cells, corners included.
struct TGridRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
  friend bool operator==(const TGridRect&, const TGridRect&) = default;
};

enum TGridOption : uint8_t {
  goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect, goDrawFocusSelected,
  goRowSizing, goColSizing, goRowMoving, goColMoving, goEditing, goTabs, goRowSelect,
  goAlwaysShowEditor, goThumbTracking, goFixedColClick, goFixedRowClick, goFixedHotTrack
};
/// Set of TGridOption ordinals as bits. Acting: lines, range select, draw
/// focus selected, column sizing, editing, tabs, row select, always show
/// editor; the others are stored only.
using TGridOptions = uint32_t;
constexpr TGridOptions GridOptionBit(TGridOption Option) { return TGridOptions{1} << Option; }
constexpr TGridOptions DefaultGridOptions =
    GridOptionBit(goFixedVertLine) | GridOptionBit(goFixedHorzLine) | GridOptionBit(goVertLine) |
    GridOptionBit(goHorzLine) | GridOptionBit(goRangeSelect);

enum TGridDrawStateItem : uint8_t { gdSelected, gdFocused, gdFixed, gdRowSelected, gdHotTrack, gdPressed };
/// Set of TGridDrawStateItem ordinals as bits.
using TGridDrawState = uint32_t;
constexpr TGridDrawState GridDrawBit(TGridDrawStateItem Item) { return TGridDrawState{1} << Item; }

/// What a mouse drag in the grid is doing.
enum TGridState : uint8_t { gsNormal, gsSelecting, gsRowSizing, gsColSizing, gsRowMoving, gsColMoving };
/// Editor kind of a cell: a plain edit, an edit with a button, or a pick list.
enum TEditStyle : uint8_t { esSimple, esEllipsis, esPickList };
enum TScrollStyle : uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };
enum TGridDrawingStyle : uint8_t { gdsClassic, gdsThemed, gdsGradient };

using TDrawCellEvent =
    std::function<void(TObject* Sender, int32_t ACol, int32_t ARow, TRect Rect, TGridDrawState State)>;
using TSelectCellEvent = std::function<void(TObject* Sender, int32_t ACol, int32_t ARow, bool& CanSelect)>;
using TGetEditEvent = std::function<void(TObject* Sender, int32_t ACol, int32_t ARow, std::string& Value)>;
using TSetEditEvent = std::function<void(TObject* Sender, int32_t ACol, int32_t ARow, const std::string& Value)>;
using TMovedEvent = std::function<void(TObject* Sender, int32_t FromIndex, int32_t ToIndex)>;
/// Wheel turned down or up: set Handled to stop the grid's own reaction.
using TMouseWheelUpDownEvent =
    std::function<void(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled)>;
using TGetPickListItemsEvent =
    std::function<void(int32_t ACol, int32_t ARow, std::vector<std::string>& Items)>;

class TCustomGrid;
class TPickListBox;

/// The in-place editor: a one-line edit (TCustomEdit) placed over the
/// current cell. Navigation keys it does not use itself (up, down, page
/// keys, Tab, Escape, left/right/home/end at the ends of the text) go to the
/// grid; characters go to the grid's KeyPress first; the keys it keeps fire
/// the grid's OnKeyDown before its own handling.
class TInplaceEdit : public TCustomEdit {
public:
  TInplaceEdit(TComponent* AOwner, TCustomGrid& Grid);
  TCustomGrid& Grid() const { return FGrid; }

  /// Loads a text (not a user change): Modified is cleared and the whole
  /// text selected.
  void LoadText(const std::string& Value);
  /// Replaces the selection by Value as a user edit (sets Modified).
  void InsertText(const std::string& Value) { UserInsert(Value); }
  /// Stored only.
  const std::string& EditMask() const { return FEditMask; }
  void SetEditMask(const std::string& Value) { FEditMask = Value; }

  bool ClaimsKey(uint16_t Key, TShiftState Shift) const override;

protected:
  void KeyDown(uint16_t& Key, TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;
  /// Space at the right kept for a drop-down button.
  virtual int32_t ButtonWidth() const { return 0; }

private:
  TCustomGrid& FGrid;
  std::string FEditMask;
};

/// The in-place editor with a pick list: a button at the right opens a list
/// of PickList items below the cell (DropDownRows lines at most); choosing
/// an item puts it into the edit as a user change. Alt+Down or F4 opens and
/// closes the list; while it is open Up/Down move in it, Enter takes the
/// item, Escape closes it.
class TInplaceEditList : public TInplaceEdit {
public:
  TInplaceEditList(TComponent* AOwner, TCustomGrid& Grid);
  ~TInplaceEditList() override;

  std::vector<std::string>& PickList() { return FPickList; }
  int32_t DropDownRows() const { return FDropDownRows; }
  void SetDropDownRows(int32_t Value) { FDropDownRows = Value < 1 ? 1 : Value; }
  TEditStyle EditStyle() const { return FEditStyle; }
  void SetEditStyle(TEditStyle Value);
  bool ListVisible() const;
  /// Opens the list (the grid's OnGetPickListItems fills it first).
  void DropDown();
  /// Closes the list; with Accept the highlighted item becomes the text.
  void CloseUp(bool Accept);
  /// Index of the highlighted list item (-1 none).
  int32_t ItemIndex() const { return FItemIndex; }
  void SetItemIndex(int32_t Value);

  /// Asked before the list opens (column and row of the cell).
  TGetPickListItemsEvent OnGetPickListItems;
  /// The button of an esEllipsis cell was clicked.
  TNotifyEvent OnEditButtonClick;

protected:
  void KeyDown(uint16_t& Key, TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) override;
  void Paint() override;
  void FocusLost() override;
  int32_t ButtonWidth() const override { return FEditStyle == esSimple ? 0 : 16; }

private:
  friend class TPickListBox;
  std::vector<std::string> FPickList;
  int32_t FDropDownRows = 7;
  TEditStyle FEditStyle = esPickList;
  int32_t FItemIndex = -1;
  TControlRef FList;
};

/// The grid.
class TCustomGrid : public TCustomControl {
public:
  explicit TCustomGrid(TComponent* AOwner);
  ~TCustomGrid() override;

  // Size.
  int32_t ColCount() const { return FCols.Count; }
  /// Sets the number of columns (at least 1; fixed columns shrink to fit).
  void SetColCount(int32_t Value);
  int32_t RowCount() const { return FRows.Count; }
  void SetRowCount(int32_t Value);
  int32_t FixedCols() const { return FCols.Fixed; }
  /// Raises EInvalidGridOperation unless 0 <= Value < ColCount.
  void SetFixedCols(int32_t Value);
  int32_t FixedRows() const { return FRows.Fixed; }
  void SetFixedRows(int32_t Value);
  int32_t DefaultColWidth() const { return FCols.DefaultSize; }
  /// Sets the default width; every column takes it.
  void SetDefaultColWidth(int32_t Value);
  int32_t DefaultRowHeight() const { return FRows.DefaultSize; }
  void SetDefaultRowHeight(int32_t Value);
  /// Width of a column (the default outside the grid).
  int32_t ColWidths(int32_t Index) const { return FCols.Size(Index); }
  /// Sets a column's width (negative counts as 0; ignored outside the grid).
  void SetColWidths(int32_t Index, int32_t Value);
  int32_t RowHeights(int32_t Index) const { return FRows.Size(Index); }
  void SetRowHeights(int32_t Index, int32_t Value);
  int32_t GridLineWidth() const { return FGridLineWidth; }
  void SetGridLineWidth(int32_t Value);
  /// Width and height of all cells with their lines (saturated to int32).
  int32_t GridWidth() const;
  int32_t GridHeight() const;

  // Options and looks.
  TGridOptions Options() const { return FOptions; }
  void SetOptions(TGridOptions Value);
  bool HasOption(TGridOption Option) const { return (FOptions & GridOptionBit(Option)) != 0; }
  TColor FixedColor() const { return FFixedColor; }
  void SetFixedColor(TColor Value);
  /// With DefaultDrawing the grid fills each cell (fixed, selected or normal
  /// colour) before DrawCell and draws the focus frame after it.
  bool DefaultDrawing() const { return FDefaultDrawing; }
  void SetDefaultDrawing(bool Value);
  // Stored only.
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle Value) { FScrollBars = Value; }
  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle Value) { FBorderStyle = Value; }
  TGridDrawingStyle DrawingStyle() const { return FDrawingStyle; }
  void SetDrawingStyle(TGridDrawingStyle Value) { FDrawingStyle = Value; }
  TColor GradientStartColor() const { return FGradientStartColor; }
  void SetGradientStartColor(TColor Value) { FGradientStartColor = Value; }
  TColor GradientEndColor() const { return FGradientEndColor; }
  void SetGradientEndColor(TColor Value) { FGradientEndColor = Value; }
  bool TabStops(int32_t Col) const;
  void SetTabStops(int32_t Col, bool Value);

  // Current cell, selection, scrolling.
  int32_t Col() const { return FCurrent.X; }
  /// Moves the current cell to a column (SelectCell may refuse; fixed and
  /// out-of-range columns are ignored) and scrolls it into view.
  void SetCol(int32_t Value);
  int32_t Row() const { return FCurrent.Y; }
  void SetRow(int32_t Value);
  /// The selected block: from the anchor to the current cell, whole rows
  /// with goRowSelect.
  TGridRect Selection() const;
  /// Selects a block: the anchor goes to (Left, Top), the current cell to
  /// (Right, Bottom) (clamped to the scrolled cells; SelectCell may refuse).
  void SetSelection(const TGridRect& Value);
  int32_t TopRow() const { return FRows.First; }
  /// Scrolls (limited to FixedRows ... the top row that shows the last row
  /// at the bottom); a change calls TopLeftChanged.
  void SetTopRow(int32_t Value);
  int32_t LeftCol() const { return FCols.First; }
  void SetLeftCol(int32_t Value);
  /// Scrolled rows (columns) shown completely from TopRow (LeftCol).
  int32_t VisibleRowCount() const;
  int32_t VisibleColCount() const;
  /// The rectangle of a visible cell in client coordinates (right and bottom
  /// exclusive, lines excluded); an empty rectangle (0,0,0,0) otherwise.
  TRect CellRect(int32_t ACol, int32_t ARow) const;
  /// The cell under a client point (a line counts to the cell at its left or
  /// above); -1 for a coordinate beyond the cells.
  TGridCoord MouseCoord(int32_t X, int32_t Y) const;
  /// MouseCoord as out parameters.
  void MouseToCell(int32_t X, int32_t Y, int32_t& ACol, int32_t& ARow) const;
  TGridState GridState() const { return FGridState; }

  // Editing.
  bool EditorMode() const { return FEditorMode; }
  void SetEditorMode(bool Value);
  /// Opens the editor over the current cell when CanEditShow allows it.
  void ShowEditor();
  /// Commits (when changed) and closes the editor; with goAlwaysShowEditor
  /// it stays open.
  void HideEditor();
  /// The editor once it was created (nullptr before).
  TInplaceEdit* InplaceEditor() const { return FEditor; }

  void InvalidateCell(int32_t ACol, int32_t ARow);
  void InvalidateRow(int32_t ARow);
  void InvalidateCol(int32_t ACol);
  void InvalidateGrid() { Invalidate(); }

  bool ClaimsKey(uint16_t Key, TShiftState Shift) const override;
  void SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) override;

  TMouseWheelUpDownEvent OnMouseWheelDown;
  TMouseWheelUpDownEvent OnMouseWheelUp;

protected:
  friend class TInplaceEdit;
  friend class TInplaceEditList;

  /// Draws one cell inside ARect (the grid's default draws nothing).
  virtual void DrawCell(int32_t ACol, int32_t ARow, const TRect& ARect, TGridDrawState AState);
  /// Asked before a cell becomes current; false refuses.
  virtual bool SelectCell(int32_t ACol, int32_t ARow);
  /// The text the editor starts with (default empty).
  virtual std::string GetEditText(int32_t ACol, int32_t ARow);
  /// Stores an edited text (default nothing).
  virtual void SetEditText(int32_t ACol, int32_t ARow, const std::string& Value);
  virtual std::string GetEditMask(int32_t ACol, int32_t ARow);
  /// Whether the editor may open (goEditing without goRowSelect, a scrolled cell).
  virtual bool CanEditShow();
  /// The editor kind for a cell (esSimple by default).
  virtual TEditStyle GetEditStyle(int32_t ACol, int32_t ARow);
  /// Makes the editor (called once); the default makes a TInplaceEditList,
  /// which behaves as a plain edit for cells of style esSimple.
  virtual TInplaceEdit* CreateEditor();
  /// TopRow or LeftCol changed.
  virtual void TopLeftChanged();
  virtual void ColWidthsChanged();
  virtual void RowHeightsChanged();
  /// The current cell or the selection moved.
  virtual void SelectionMoved(const TGridRect& OldSel);
  virtual bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos);
  virtual bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos);

  /// Moves the current cell; MoveAnchor false extends the selection (with
  /// goRangeSelect); Show scrolls it into view. False when refused.
  bool MoveCurrent(int32_t ACol, int32_t ARow, bool MoveAnchor, bool Show);
  /// Scrolls so that a cell is visible.
  void ScrollIntoView(int32_t ACol, int32_t ARow);

  void Paint() override;
  void KeyDown(uint16_t& Key, TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) override;
  void MouseMove(TShiftState Shift, int32_t X, int32_t Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) override;
  bool DoMouseWheel(TShiftState Shift, int32_t WheelDelta, TPoint MousePos) override;
  void DoExit() override;
  void FocusGained() override;

private:
  /// Columns or rows: count, fixed count, sizes and the first scrolled index.
  struct TAxis {
    int32_t Count = 5;
    int32_t Fixed = 1;
    int32_t DefaultSize = 0;
    int32_t First = 1;
    std::map<int32_t, int32_t> Sizes;  // only sizes other than the default
    int32_t Size(int32_t Index) const;
  };
  /// A cell of an axis shown in the client area: index, start, size.
  struct TAxisCell {
    int32_t Index;
    int64_t Start;
    int32_t Size;
  };

  int32_t ColGap() const;
  int32_t RowGap() const;
  static std::vector<TAxisCell> VisibleCells(const TAxis& Axis, int32_t Gap, int64_t Extent);
  static int64_t FixedExtent(const TAxis& Axis, int32_t Gap);
  static int32_t MaxFirst(const TAxis& Axis, int32_t Gap, int64_t Extent);
  static int32_t FullyVisibleCount(const TAxis& Axis, int32_t Gap, int64_t Extent);
  static int32_t FirstToShow(const TAxis& Axis, int32_t Gap, int64_t Extent, int32_t Index);
  static int32_t CoordAt(const TAxis& Axis, int32_t Gap, int64_t Extent, int64_t Pos);
  void SetCount(TAxis& Axis, int32_t Value);
  void SetSize(TAxis& Axis, int32_t Index, int32_t Value);
  void MoveTopLeft(int32_t ALeft, int32_t ATop);
  void ClampTopLeft();
  void ClampCurrent();

  void DrawLines(const std::vector<TAxisCell>& Cols, const std::vector<TAxisCell>& Rows);
  void DrawOneCell(const TAxisCell& C, const TAxisCell& R, const TGridRect& Sel);
  TGridDrawState CellState(int32_t ACol, int32_t ARow, const TGridRect& Sel) const;

  void MoveBy(int32_t DCol, int32_t DRow, TShiftState Shift);
  void MoveByPage(int32_t Direction, TShiftState Shift);
  void TabToNext(bool Backward);
  int32_t SizingColumnAt(int32_t X, int32_t Y) const;
  void UpdateEditor();
  void CommitEditor();
  void CancelEditor();
  void FocusGrid();

  TAxis FCols;
  TAxis FRows;
  int32_t FGridLineWidth = 1;
  TGridOptions FOptions = DefaultGridOptions;
  TColor FFixedColor = clBtnFace;
  bool FDefaultDrawing = true;
  TScrollStyle FScrollBars = ssBoth;
  TFormBorderStyle FBorderStyle = bsSingle;
  TGridDrawingStyle FDrawingStyle = gdsThemed;
  TColor FGradientStartColor = 0xF0F0F0;
  TColor FGradientEndColor = 0xE0E0E0;
  std::map<int32_t, bool> FTabStops;  // only columns without a Tab stop

  TGridCoord FCurrent{1, 1};
  TGridCoord FAnchor{1, 1};
  TGridState FGridState = gsNormal;
  int32_t FSizingCol = -1;
  int64_t FSizingOrigin = 0;  // client x of the sized column's left edge
  TCursor FSavedCursor = crDefault;
  bool FSizingCursorShown = false;

  TInplaceEdit* FEditor = nullptr;
  bool FEditorMode = false;
  TGridCoord FEditCell{-1, -1};
};

/// A grid whose cells are drawn, selected and edited through events.
class TCustomDrawGrid : public TCustomGrid {
public:
  explicit TCustomDrawGrid(TComponent* AOwner) : TCustomGrid(AOwner) {}

  TDrawCellEvent OnDrawCell;
  TSelectCellEvent OnSelectCell;
  TGetEditEvent OnGetEditText;
  TSetEditEvent OnSetEditText;
  TGetEditEvent OnGetEditMask;
  TNotifyEvent OnTopLeftChanged;
  /// Stored only (rows and columns do not move).
  TMovedEvent OnColumnMoved;
  TMovedEvent OnRowMoved;
  /// Asked for the items of a pick-list cell when its list opens.
  TGetPickListItemsEvent OnGetPickListItems;

protected:
  /// Fires OnDrawCell.
  void DrawCell(int32_t ACol, int32_t ARow, const TRect& ARect, TGridDrawState AState) override;
  /// Fires OnSelectCell (true when unassigned).
  bool SelectCell(int32_t ACol, int32_t ARow) override;
  /// Empty text, passed through OnGetEditText.
  std::string GetEditText(int32_t ACol, int32_t ARow) override;
  /// Fires OnSetEditText.
  void SetEditText(int32_t ACol, int32_t ARow, const std::string& Value) override;
  std::string GetEditMask(int32_t ACol, int32_t ARow) override;
  /// Fires OnTopLeftChanged.
  void TopLeftChanged() override;
  TInplaceEdit* CreateEditor() override;
};

/// The draw grid as placed on forms.
class TDrawGrid : public TCustomDrawGrid {
public:
  explicit TDrawGrid(TComponent* AOwner) : TCustomDrawGrid(AOwner) {}
};

}  // namespace vexa
