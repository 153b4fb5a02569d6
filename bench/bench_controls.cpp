// Speed of the control framework next to naive in-tree baselines: painting a
// form of 200 controls (pending areas and clipping vs painting everything),
// routing 10,000 pointer moves over 1,000 controls (nested hit test with
// enter/leave vs a linear scan over every control), and advancing the test
// clock over 10,000 timers (deadline queue vs scanning all timers per tick).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/controls/Vexa_forms.h"
#include "platform/controls/Vexa_headless.h"
#include "platform/controls/Vexa_input.h"
#include "platform/controls/Vexa_timers.h"

namespace {

using namespace vexa;

/// The picture of one tile: background, frame, a diagonal and a label. Both
/// the controls and the baseline draw with it, so they do the same work.
void DrawTile(TCanvas& C, const TRect& R, int32_t Index) {
  C.Brush().SetColor(static_cast<TColor>(0x00404040 + (Index * 0x030507 & 0x7F7F7F)));
  C.FillRect(R);
  C.Pen().SetColor(clNavy);
  C.MoveTo(R.Left, R.Top);
  C.LineTo(R.Right - 1, R.Bottom - 1);
  C.Brush().SetColor(clWhite);
  C.Rectangle(R.Left + 2, R.Top + 2, R.Left + 12, R.Top + 10);
  C.TextOut(R.Left + 14, R.Top + 1, std::to_string(Index));
}

class TTile : public TCustomControl {
public:
  TTile(TComponent* AOwner, int32_t AIndex) : TCustomControl(AOwner), FIndex(AIndex) {}

protected:
  void Paint() override { DrawTile(Canvas(), ClientRect(), FIndex); }

private:
  int32_t FIndex;
};

/// A form of Cols x Rows tiles of W x H pixels, grouped into panels of
/// PanelCols x PanelRows tiles (nesting as real forms have it).
struct TTileForm {
  TTileForm(int32_t Cols, int32_t Rows, int32_t W, int32_t H, int32_t PanelCols, int32_t PanelRows)
      : Form(new TForm(nullptr)) {
    Form->SetBounds(0, 0, Cols * W, Rows * H);
    int32_t index = 0;
    for (int32_t py = 0; py < Rows / PanelRows; ++py) {
      for (int32_t px = 0; px < Cols / PanelCols; ++px) {
        auto* panel = new TCustomControl(Form.get());
        panel->SetParent(Form.get());
        panel->SetBounds(px * PanelCols * W, py * PanelRows * H, PanelCols * W, PanelRows * H);
        for (int32_t y = 0; y < PanelRows; ++y) {
          for (int32_t x = 0; x < PanelCols; ++x) {
            auto* tile = new TTile(Form.get(), index++);
            tile->SetParent(panel);
            tile->SetBounds(x * W, y * H, W, H);
            Tiles.push_back(tile);
          }
        }
      }
    }
    Form->Show();
  }
  ~TTileForm() { Form->Hide(); }
  std::unique_ptr<TForm> Form;
  std::vector<TTile*> Tiles;
};

// ---------------------------------------------------------------- painting

/// The naive painter: every tile drawn in full, in form coordinates, on
/// every pass (no pending area, no clipping).
void PaintEverything(TBitmap& Dest, const TTileForm& F) {
  TCanvas& c = Dest.Canvas();
  c.Brush().SetColor(F.Form->Color());
  c.FillRect(Rect(0, 0, Dest.Width(), Dest.Height()));
  for (size_t i = 0; i < F.Tiles.size(); ++i) DrawTile(c, F.Tiles[i]->FormRect(), static_cast<int32_t>(i));
}

// 200 controls (20 x 10 tiles of 40 x 24 in panels of 5 x 5); one tile changes.
void BM_PaintTo_OneChanged(benchmark::State& state) {
  TTileForm f(20, 10, 40, 24, 5, 5);
  TBitmap out;
  size_t next = 0;
  for (auto _ : state) {
    f.Tiles[next++ % f.Tiles.size()]->Invalidate();
    f.Form->PaintTo(out);
    benchmark::DoNotOptimize(out.ScanLine(0));
  }
}
BENCHMARK(BM_PaintTo_OneChanged);

// The same form painted in full (the whole form invalidated).
void BM_PaintTo_All(benchmark::State& state) {
  TTileForm f(20, 10, 40, 24, 5, 5);
  TBitmap out;
  for (auto _ : state) {
    f.Form->Invalidate();
    f.Form->PaintTo(out);
    benchmark::DoNotOptimize(out.ScanLine(0));
  }
}
BENCHMARK(BM_PaintTo_All);

void BM_Naive_PaintEverything(benchmark::State& state) {
  TTileForm f(20, 10, 40, 24, 5, 5);
  TBitmap out;
  out.SetSize(f.Form->Width(), f.Form->Height());
  for (auto _ : state) {
    PaintEverything(out, f);
    benchmark::DoNotOptimize(out.ScanLine(0));
  }
}
BENCHMARK(BM_Naive_PaintEverything);

// ----------------------------------------------------------- pointer moves

/// 10,000 pointer positions spread over the form (a fixed pseudo-random walk).
std::vector<TPoint> MovePath(int32_t W, int32_t H) {
  std::vector<TPoint> path;
  uint32_t s = 12345;
  for (int i = 0; i < 10000; ++i) {
    s = s * 1664525u + 1013904223u;
    path.push_back(Point(static_cast<int32_t>((s >> 8) % static_cast<uint32_t>(W)),
                         static_cast<int32_t>((s >> 20) % static_cast<uint32_t>(H))));
  }
  return path;
}

// 1,000 controls (40 x 25 tiles of 20 x 16 in panels of 8 x 5): routed moves
// with hit test, enter/leave messages and cursor updates.
void BM_RouteMouseMove_1000(benchmark::State& state) {
  TTileForm f(40, 25, 20, 16, 8, 5);
  const std::vector<TPoint> path = MovePath(f.Form->Width(), f.Form->Height());
  for (auto _ : state)
    for (const TPoint& p : path) RouteMouseMove(*f.Form, p, 0);
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(path.size()));
}
BENCHMARK(BM_RouteMouseMove_1000);

// The naive hit test: every control's form rectangle (computed beforehand)
// checked for every move, the last one containing the point wins.
void BM_Naive_LinearHitTest_1000(benchmark::State& state) {
  TTileForm f(40, 25, 20, 16, 8, 5);
  const std::vector<TPoint> path = MovePath(f.Form->Width(), f.Form->Height());
  std::vector<TRect> rects;
  for (const TTile* t : f.Tiles) rects.push_back(t->FormRect());
  for (auto _ : state) {
    for (const TPoint& p : path) {
      const TControl* hit = f.Form.get();
      for (size_t i = 0; i < rects.size(); ++i) {
        const TRect& r = rects[i];
        if (p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom) hit = f.Tiles[i];
      }
      benchmark::DoNotOptimize(hit);
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(path.size()));
}
BENCHMARK(BM_Naive_LinearHitTest_1000);

// ------------------------------------------------------------------ timers

/// Periods of the 10,000 timers: 100 ... 999 ms.
uint32_t PeriodOf(int32_t I) { return 100 + static_cast<uint32_t>(I * 37 % 900); }

// Advance(1000) over 10,000 armed timers (about 19,000 ticks).
void BM_Advance_10000Timers(benchmark::State& state) {
  int64_t ticks = 0;
  const HWND h = AllocateHWnd([&ticks](TMessage&) { ++ticks; });
  for (int32_t i = 0; i < 10000; ++i) SetTimer(h, static_cast<uintptr_t>(i + 1), PeriodOf(i));
  for (auto _ : state) TestClock().Advance(1000);
  DeallocateHWnd(h);
  state.counters["ticks/iter"] = static_cast<double>(ticks) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_Advance_10000Timers)->Unit(benchmark::kMillisecond);

// The naive loop: every tick found by scanning all timers for the earliest
// deadline (ties by index), the same ticks fired in the same order.
void BM_Naive_ScanAllTimers_10000(benchmark::State& state) {
  struct TNaiveTimer {
    int64_t Period, Deadline;
  };
  std::vector<TNaiveTimer> timers;
  for (int32_t i = 0; i < 10000; ++i) timers.push_back({PeriodOf(i), PeriodOf(i)});
  int64_t now = 0, ticks = 0;
  const std::function<void()> tick = [&ticks] { ++ticks; };
  for (auto _ : state) {
    const int64_t target = now + 1000;
    for (;;) {
      size_t best = 0;
      for (size_t i = 1; i < timers.size(); ++i)
        if (timers[i].Deadline < timers[best].Deadline) best = i;
      if (timers[best].Deadline > target) break;
      now = timers[best].Deadline;
      timers[best].Deadline += timers[best].Period;
      tick();
    }
    now = target;
  }
  state.counters["ticks/iter"] = static_cast<double>(ticks) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_Naive_ScanAllTimers_10000)->Unit(benchmark::kMillisecond);

}  // namespace
