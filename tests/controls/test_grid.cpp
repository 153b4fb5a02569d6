// Grid core: geometry, keys, mouse selection, column sizing, painting order,
// scrolling. Expected positions follow from the layout rules: a cell of
// width w starting at x covers [x, x + w), the line after it [x + w, x + w + 1).

#include "ControlsTestSupport.h"
#include "platform/controls/Vexa_grids.h"

namespace vexa::testing {
namespace {

using GridTest = ControlsTest;

// A 200 x 100 grid on a shown form: with the default sizes (64 x 24, line
// 1) the client shows columns at x = 0, 65, 130, 195 and rows at
// y = 0, 25, 50, 75.
struct GridFixture {
  TForm Form{nullptr};
  TDrawGrid* Grid = nullptr;
  TInputSimulator Sim;
  int32_t TopLeftChanges = 0;

  explicit GridFixture(int32_t Cols = 10, int32_t Rows = 10) {
    Form.SetBounds(0, 0, 400, 300);
    Grid = Place(&Form, new TDrawGrid(&Form), 0, 0, 200, 100);
    Grid->SetColCount(Cols);
    Grid->SetRowCount(Rows);
    Grid->OnTopLeftChanged = [this](TObject*) { ++TopLeftChanges; };
    Form.Show();
    Grid->SetFocus();
  }
  void Press(uint16_t Key, TShiftState Modifiers = 0) {
    Sim.SetModifiers(Modifiers);
    Sim.PressKey(Key);
    Sim.SetModifiers(0);
  }
  // Centre of a cell on screen (the cell must be visible).
  TPoint Centre(int32_t Col, int32_t Row) {
    const TRect r = Grid->CellRect(Col, Row);
    return Point((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
  }
};

constexpr TShiftState Shift = ShiftBit(ssShift);
constexpr TShiftState Ctrl = ShiftBit(ssCtrl);

TEST_F(GridTest, DefaultsAndFixedCountLimits) {
  TDrawGrid grid(nullptr);
  EXPECT_EQ(grid.ColCount(), 5);
  EXPECT_EQ(grid.RowCount(), 5);
  EXPECT_EQ(grid.FixedCols(), 1);
  EXPECT_EQ(grid.FixedRows(), 1);
  EXPECT_EQ(grid.DefaultColWidth(), 64);
  EXPECT_EQ(grid.DefaultRowHeight(), 24);
  EXPECT_EQ(grid.GridLineWidth(), 1);
  EXPECT_EQ(grid.Col(), 1);
  EXPECT_EQ(grid.Row(), 1);
  EXPECT_EQ(grid.TopRow(), 1);
  EXPECT_EQ(grid.LeftCol(), 1);
  EXPECT_EQ(grid.Selection(), (TGridRect{1, 1, 1, 1}));
  EXPECT_EQ(grid.GridWidth(), 5 * 65);
  EXPECT_THROW(grid.SetFixedCols(5), EInvalidGridOperation);
  EXPECT_THROW(grid.SetFixedRows(-1), EInvalidGridOperation);
  // Fewer columns than fixed ones: the fixed count follows.
  grid.SetFixedCols(3);
  grid.SetColCount(2);
  EXPECT_EQ(grid.FixedCols(), 1);
  grid.SetColCount(0);
  EXPECT_EQ(grid.ColCount(), 1);
  EXPECT_EQ(grid.FixedCols(), 0);
  grid.SetColWidths(7, 10);  // outside: ignored
  EXPECT_EQ(grid.ColWidths(7), 64);
  // Fixed rows by the billion: extents come from the default size, not row by row.
  TDrawGrid tall(nullptr);  // 320 x 120
  tall.SetRowCount(INT32_MAX);
  tall.SetFixedRows(INT32_MAX - 1);
  EXPECT_EQ(tall.Row(), INT32_MAX - 1);
  EXPECT_EQ(tall.CellRect(1, 4), Rect(65, 100, 129, 124));
  EXPECT_EQ(tall.VisibleRowCount(), 0);
  EXPECT_EQ(tall.GridHeight(), INT32_MAX);  // saturated
}

TEST_F(GridTest, CellRectAndMouseToCellWithFixedCellsAndScrolling) {
  GridFixture f(20, 20);
  f.Grid->SetColWidths(0, 30);  // fixed column 30 wide: scrolled columns start at 31
  f.Grid->SetTopRow(5);
  f.Grid->SetLeftCol(3);
  EXPECT_EQ(f.Grid->VisibleColCount(), 2);  // 31..95 and 96..160 whole, 161..225 cut
  EXPECT_EQ(f.Grid->VisibleRowCount(), 3);
  struct Case {
    int32_t X, Y;
    TGridCoord Cell;
  };
  const std::vector<Case> hits = {
      {0, 0, {0, 0}},      {29, 23, {0, 0}},   {30, 24, {0, 0}},  // a line counts to the cell before it
      {31, 25, {3, 5}},    {95, 49, {3, 5}},   {96, 50, {4, 6}},
      {199, 99, {5, 7}},   {10, 60, {0, 6}},   {120, 5, {4, 0}},
      {200, 50, {-1, -1}}, {50, 100, {-1, -1}}, {-1, 5, {-1, -1}},
  };
  for (const Case& c : hits) {
    int32_t col = 0, row = 0;
    f.Grid->MouseToCell(c.X, c.Y, col, row);
    EXPECT_EQ((TGridCoord{col, row}), c.Cell) << c.X << "," << c.Y;
  }
  struct RectCase {
    int32_t Col, Row;
    TRect Rect;
  };
  const std::vector<RectCase> rects = {
      {0, 0, Rect(0, 0, 30, 24)},     {3, 5, Rect(31, 25, 95, 49)},    {4, 0, Rect(96, 0, 160, 24)},
      {5, 7, Rect(161, 75, 225, 99)},  // partly shown: the whole cell
      {0, 6, Rect(0, 50, 30, 74)},    {1, 1, TRect{}},                  // scrolled away
      {6, 5, TRect{}},                {3, 8, TRect{}},                  // beyond the client
  };
  for (const RectCase& c : rects) EXPECT_EQ(f.Grid->CellRect(c.Col, c.Row), c.Rect) << c.Col << "," << c.Row;
  // Wider lines widen the gaps; without lines there is no gap.
  f.Grid->SetGridLineWidth(3);
  EXPECT_EQ(f.Grid->CellRect(4, 6), Rect(100, 54, 164, 78));
  f.Grid->SetGridLineWidth(1);
  f.Grid->SetOptions(0);
  EXPECT_EQ(f.Grid->CellRect(4, 6), Rect(94, 48, 158, 72));
}

TEST_F(GridTest, NavigationKeysMoveAndScroll) {
  GridFixture f;
  f.Grid->SetOptions(f.Grid->Options() | GridOptionBit(goTabs));
  struct Step {
    uint16_t Key;
    TShiftState Modifiers;
    int32_t Col, Row, TopRow, LeftCol;
  };
  // 3 whole rows and 2 whole columns fit; the last top row is 7, the last
  // left column 8.
  const std::vector<Step> steps = {
      {VK_DOWN, 0, 1, 2, 1, 1},     {VK_DOWN, 0, 1, 3, 1, 1},     {VK_DOWN, 0, 1, 4, 2, 1},
      {VK_NEXT, 0, 1, 7, 5, 1},     {VK_NEXT, 0, 1, 9, 7, 1},     {VK_NEXT, 0, 1, 9, 7, 1},
      {VK_PRIOR, 0, 1, 6, 4, 1},    {VK_END, 0, 9, 6, 4, 8},      {VK_HOME, 0, 1, 6, 4, 1},
      {VK_END, Ctrl, 9, 9, 7, 8},   {VK_HOME, Ctrl, 1, 1, 1, 1},  {VK_UP, 0, 1, 1, 1, 1},
      {VK_LEFT, 0, 1, 1, 1, 1},     {VK_RIGHT, 0, 2, 1, 1, 1},    {VK_RIGHT, 0, 3, 1, 1, 2},
      {VK_TAB, 0, 4, 1, 1, 3},      {VK_TAB, Shift, 3, 1, 1, 3},  {VK_HOME, Ctrl, 1, 1, 1, 1},
      {VK_TAB, Shift, 9, 9, 7, 8},  // wraps to the last cell
      {VK_TAB, 0, 1, 1, 1, 1},      // and back to the first
  };
  for (size_t i = 0; i < steps.size(); ++i) {
    const Step& s = steps[i];
    f.Press(s.Key, s.Modifiers);
    EXPECT_EQ(f.Grid->Col(), s.Col) << "step " << i;
    EXPECT_EQ(f.Grid->Row(), s.Row) << "step " << i;
    EXPECT_EQ(f.Grid->TopRow(), s.TopRow) << "step " << i;
    EXPECT_EQ(f.Grid->LeftCol(), s.LeftCol) << "step " << i;
  }
  // Shift extends the selection from the anchor.
  f.Press(VK_DOWN, Shift);
  f.Press(VK_RIGHT, Shift);
  EXPECT_EQ(f.Grid->Selection(), (TGridRect{1, 1, 2, 2}));
  // SelectCell may refuse a cell.
  f.Grid->OnSelectCell = [](TObject*, int32_t ACol, int32_t, bool& CanSelect) { CanSelect = ACol != 3; };
  f.Press(VK_RIGHT);
  EXPECT_EQ(f.Grid->Col(), 2);
  // Without goTabs, Tab leaves the grid.
  auto* other = Place(&f.Form, new TLogControl(&f.Form, Log, "Other"), 250, 0, 40, 20);
  f.Grid->SetOptions(DefaultGridOptions);
  f.Press(VK_TAB);
  EXPECT_TRUE(other->Focused());
  EXPECT_EQ(f.Grid->Col(), 2);
}

TEST_F(GridTest, RowSelectSpansTheRowAndMillionRowsScroll) {
  GridFixture f(4, 1000000);
  f.Grid->SetOptions(f.Grid->Options() | GridOptionBit(goRowSelect));
  f.Press(VK_END, Ctrl);
  EXPECT_EQ(f.Grid->Row(), 999999);
  EXPECT_EQ(f.Grid->TopRow(), 999997);
  EXPECT_EQ(f.Grid->Selection(), (TGridRect{1, 999999, 3, 999999}));
  EXPECT_EQ(f.Grid->CellRect(2, 999999), Rect(130, 75, 194, 99));
  f.Grid->SetTopRow(2000000000);
  EXPECT_EQ(f.Grid->TopRow(), 999997);
  EXPECT_EQ(f.Grid->GridHeight(), 25000000);
}

TEST_F(GridTest, DragSelectsARangeAndShiftClickExtends) {
  struct Case {
    TGridOptions Options;
    TGridCoord From, To;
    TGridRect Expected;
  };
  const TGridOptions range = DefaultGridOptions;
  const TGridOptions noRange = DefaultGridOptions & ~GridOptionBit(goRangeSelect);
  const std::vector<Case> cases = {
      {range, {1, 1}, {2, 3}, {1, 1, 2, 3}},
      {range, {2, 3}, {1, 1}, {1, 1, 2, 3}},  // dragging up-left
      {noRange, {1, 1}, {2, 3}, {2, 3, 2, 3}},
      {range | GridOptionBit(goRowSelect), {1, 1}, {2, 3}, {1, 1, 9, 3}},
  };
  for (const Case& c : cases) {
    GridFixture f;
    f.Grid->SetOptions(c.Options);
    const TPoint from = f.Centre(c.From.X, c.From.Y), to = f.Centre(c.To.X, c.To.Y);
    f.Sim.MoveTo(*f.Grid, from.X, from.Y);
    f.Sim.ButtonDown();
    f.Sim.MoveTo(*f.Grid, to.X, to.Y);
    f.Sim.ButtonUp();
    EXPECT_EQ(f.Grid->Selection(), c.Expected);
  }
  // Past the bottom edge the selection grows one row per move and scrolls.
  GridFixture f;
  const TPoint start = f.Centre(1, 2);
  f.Sim.MoveTo(*f.Grid, start.X, start.Y);
  f.Sim.ButtonDown();
  f.Sim.MoveTo(*f.Grid, start.X, 150);
  f.Sim.MoveTo(*f.Grid, start.X, 151);
  f.Sim.ButtonUp();
  EXPECT_EQ(f.Grid->Selection(), (TGridRect{1, 2, 1, 4}));
  EXPECT_EQ(f.Grid->TopRow(), 2);
  // Shift+click extends from the anchor.
  f.Sim.SetModifiers(Shift);
  const TPoint p = f.Centre(2, 4);
  f.Sim.MoveTo(*f.Grid, p.X, p.Y);
  f.Sim.Click();
  EXPECT_EQ(f.Grid->Selection(), (TGridRect{1, 2, 2, 4}));
}

TEST_F(GridTest, DraggingAHeaderBorderSizesTheColumn) {
  struct Case {
    int32_t FromX, FromY, ToX;
    int32_t Col, Width;  // Col -1: no sizing happens
  };
  const std::vector<Case> cases = {
      {64, 10, 100, 0, 100},  // the line right of column 0
      {63, 10, 30, 0, 30},    // 1 px left of it
      {130, 5, 150, 1, 85},   // 2 px right of column 1's line: still its border
      {129, 10, 20, 1, 1},    // past the left edge: 1 px
      {100, 10, 150, -1, 0},  // inside a header cell
      {64, 40, 100, -1, 0},   // a border in the data rows
  };
  for (const Case& c : cases) {
    GridFixture f;
    f.Grid->SetOptions(f.Grid->Options() | GridOptionBit(goColSizing));
    f.Sim.MoveTo(*f.Grid, c.FromX, c.FromY);
    EXPECT_EQ(f.Grid->Cursor(), c.Col >= 0 ? crHSplit : crDefault) << c.FromX;
    f.Sim.ButtonDown();
    EXPECT_EQ(f.Grid->GridState(), c.Col >= 0 ? gsColSizing : gsNormal) << c.FromX;
    f.Sim.MoveTo(*f.Grid, c.ToX, c.FromY);
    f.Sim.ButtonUp();
    EXPECT_EQ(f.Grid->GridState(), gsNormal);
    for (int32_t col = 0; col < 3; ++col)
      EXPECT_EQ(f.Grid->ColWidths(col), col == c.Col ? c.Width : 64) << c.FromX << " col " << col;
  }
  // Without goColSizing a border press selects nothing special.
  GridFixture f;
  f.Sim.MoveTo(*f.Grid, 64, 10);
  f.Sim.ButtonDown();
  f.Sim.MoveTo(*f.Grid, 100, 10);
  f.Sim.ButtonUp();
  EXPECT_EQ(f.Grid->ColWidths(0), 64);
}

TEST_F(GridTest, LinesFirstThenCellsRowMajorClippedToTheClientOnly) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 200);
  form.SetColor(clWhite);
  auto* grid = Place(&form, new TDrawGrid(&form), 10, 10, 200, 60);
  grid->SetColCount(3);
  grid->SetRowCount(2);
  grid->SetDefaultDrawing(false);
  std::vector<TGridCoord> order;
  constexpr TColor title = 0x0000FF, today = 0x00FF00, wide = 0xFF0000;
  grid->OnDrawCell = [&](TObject*, int32_t ACol, int32_t ARow, TRect R, TGridDrawState) {
    order.push_back({ACol, ARow});
    TCanvas& c = grid->Canvas();
    c.Brush().SetStyle(bsSolid);
    if (ACol == 2 && ARow == 0) {  // a title over cells 0..2 of row 0
      c.Brush().SetColor(title);
      c.FillRect(Rect(0, R.Top, R.Right, R.Bottom));
    } else if (ACol == 0 && ARow == 1) {  // a cell drawn over rows 0 and 1
      c.Brush().SetColor(today);
      c.FillRect(Rect(R.Left, 0, R.Right, R.Bottom));
    } else if (ACol == 1 && ARow == 1) {  // past the grid's own edges
      c.Brush().SetColor(wide);
      c.FillRect(Rect(R.Left, R.Top, 1000, 1000));
    }
  };
  form.Show();
  TBitmap picture;
  form.PaintTo(picture);
  EXPECT_EQ(order, (std::vector<TGridCoord>{{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}}));
  struct Pixel {
    int32_t X, Y;  // form coordinates (the grid is at 10, 10)
    TColor Color;
  };
  const std::vector<Pixel> pixels = {
      {10 + 70, 10 + 5, title},   // cell (1, 0) under the title
      {10 + 64, 10 + 5, title},   // the line between: drawn before the title
      {10 + 5, 10 + 5, today},    // (0, 1)'s drawing over (0, 0)
      {10 + 100, 10 + 40, wide},  // (1, 1)
      {10 + 199, 10 + 59, wide},  // up to the grid's last pixel
      {10 + 200, 10 + 40, clWhite},  // not beyond the grid
      {10 + 100, 10 + 60, clWhite},
  };
  for (const Pixel& p : pixels)
    EXPECT_EQ(PixelToColor(picture.ScanLine(p.Y)[p.X]), ColorToRGB(p.Color)) << p.X << "," << p.Y;
}

TEST_F(GridTest, TopLeftChangedAndTheWheel) {
  GridFixture f;
  struct Step {
    std::function<void(GridFixture&)> Action;
    int32_t TopRow, LeftCol, Row, Changes;
  };
  const std::vector<Step> steps = {
      {[](GridFixture& g) { g.Grid->SetTopRow(4); }, 4, 1, 1, 1},
      {[](GridFixture& g) { g.Grid->SetTopRow(4); }, 4, 1, 1, 1},     // no change: no call
      {[](GridFixture& g) { g.Grid->SetTopRow(0); }, 1, 1, 1, 2},     // raised to the fixed rows
      {[](GridFixture& g) { g.Grid->SetTopRow(99); }, 7, 1, 1, 3},    // limited to the last page
      {[](GridFixture& g) { g.Grid->SetLeftCol(5); }, 7, 5, 1, 4},
      {[](GridFixture& g) { g.Sim.Wheel(-240); }, 2, 1, 3, 5},        // two notches down: current row + 2,
      {[](GridFixture& g) { g.Press(VK_HOME, Ctrl); }, 1, 1, 1, 6},   // scrolled into view once
      {[](GridFixture& g) { g.Sim.Wheel(-120 * 4); }, 3, 1, 5, 8},
      {[](GridFixture& g) { g.Sim.Wheel(120); }, 3, 1, 4, 8},
  };
  f.Sim.MoveTo(*f.Grid, 100, 50);
  for (size_t i = 0; i < steps.size(); ++i) {
    steps[i].Action(f);
    EXPECT_EQ(f.Grid->TopRow(), steps[i].TopRow) << "step " << i;
    EXPECT_EQ(f.Grid->LeftCol(), steps[i].LeftCol) << "step " << i;
    EXPECT_EQ(f.Grid->Row(), steps[i].Row) << "step " << i;
    EXPECT_EQ(f.TopLeftChanges, steps[i].Changes) << "step " << i;
  }
  // A handler that takes the wheel keeps the current row.
  f.Grid->OnMouseWheelDown = [](TObject*, TShiftState, TPoint, bool& Handled) { Handled = true; };
  f.Sim.Wheel(-120);
  EXPECT_EQ(f.Grid->Row(), 4);
}

}  // namespace
}  // namespace vexa::testing
