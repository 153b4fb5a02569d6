// Grid painting: the grid visits only the cells it shows, so a paint costs
// the same for 100 rows as for 1,000,000. The reference is a naive grid
// control that draws every cell and leaves the clipping to the canvas.

#include <benchmark/benchmark.h>

#include <string>

#include "platform/controls/Vexa_forms.h"
#include "platform/controls/Vexa_grids.h"

namespace {

using namespace vexa;

constexpr int32_t Columns = 6;
constexpr int32_t CellWidth = 64, CellHeight = 24, Line = 1;

/// What both grids draw into a cell: its background and a short text.
void DrawCellContent(TCanvas& Canvas, const TRect& R, int32_t Col, int32_t Row) {
  Canvas.Brush().SetColor(((Col + Row) & 1) ? clWhite : clSilver);
  Canvas.TextRect(R, R.Left + 2, R.Top + 2, std::to_string(Row));
}

/// The baseline: every cell of the grid is drawn at its place, visible or not.
class TNaiveGrid : public TCustomControl {
public:
  TNaiveGrid(TComponent* AOwner, int32_t Rows) : TCustomControl(AOwner), FRows(Rows) {}

protected:
  void Paint() override {
    TCanvas& canvas = Canvas();
    for (int32_t row = 0; row < FRows; ++row)
      for (int32_t col = 0; col < Columns; ++col) {
        const int64_t left = int64_t{col} * (CellWidth + Line), top = int64_t{row} * (CellHeight + Line);
        if (top > INT32_MAX - CellHeight) return;
        const TRect r = Rect(static_cast<int32_t>(left), static_cast<int32_t>(top),
                             static_cast<int32_t>(left + CellWidth), static_cast<int32_t>(top + CellHeight));
        DrawCellContent(canvas, r, col, row);
      }
  }

private:
  int32_t FRows;
};

/// A shown 600 x 400 form holding one grid control.
struct TPaintSetup {
  TForm Form{nullptr};
  TControl* Control = nullptr;
  TPaintSetup() { Form.SetBounds(0, 0, 600, 400); }
  void Show(TControl* C) {
    Control = C;
    C->SetParent(&Form);
    C->SetBounds(0, 0, 600, 400);
    Form.Show();
  }
};

void BM_GridPaint(benchmark::State& State) {
  TPaintSetup setup;
  auto* grid = new TDrawGrid(&setup.Form);
  grid->SetColCount(Columns);
  grid->SetRowCount(static_cast<int32_t>(State.range(0)));
  grid->SetOptions(grid->Options() & ~(GridOptionBit(goFixedVertLine) | GridOptionBit(goFixedHorzLine)));
  grid->SetFixedCols(0);
  grid->SetFixedRows(0);
  grid->SetDefaultDrawing(false);
  grid->OnDrawCell = [grid](TObject*, int32_t ACol, int32_t ARow, TRect R, TGridDrawState) {
    DrawCellContent(grid->Canvas(), R, ACol, ARow);
  };
  setup.Show(grid);
  for (auto _ : State) grid->Repaint();
}

void BM_NaivePaint(benchmark::State& State) {
  TPaintSetup setup;
  auto* grid = new TNaiveGrid(&setup.Form, static_cast<int32_t>(State.range(0)));
  setup.Show(grid);
  for (auto _ : State) grid->Repaint();
}

BENCHMARK(BM_GridPaint)->Arg(100)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NaivePaint)->Arg(100)->Arg(1000000)->Unit(benchmark::kMicrosecond);

}  // namespace
