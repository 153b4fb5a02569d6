#include "platform/graphics/Vexa_canvas.h"

#include <algorithm>
#include <climits>

#include "platform/graphics/Vexa_raster.h"

namespace vexa {

using raster::int128;
using raster::TDeviceRect;
using raster::TLineWalk;
using raster::TSpanSet;

// ---------------------------------------------------------------- pen and brush

void TPen::Changed() {
  if (OnChange) OnChange(this);
}

void TPen::SetColor(TColor Value) {
  if (Value == FColor) return;
  FColor = Value;
  Changed();
}

void TPen::SetWidth(int32_t Value) {
  Value = std::max(Value, 1);
  if (Value == FWidth) return;
  FWidth = Value;
  Changed();
}

void TPen::SetStyle(TPenStyle Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  Changed();
}

void TPen::SetMode(TPenMode Value) {
  if (Value == FMode) return;
  FMode = Value;
  Changed();
}

void TPen::Assign(const TPersistent& Source) {
  const auto* pen = dynamic_cast<const TPen*>(&Source);
  if (!pen) {
    TPersistent::Assign(Source);
    return;
  }
  FColor = pen->FColor;
  FWidth = pen->FWidth;
  FStyle = pen->FStyle;
  FMode = pen->FMode;
  Changed();
}

void TBrush::Changed() {
  if (OnChange) OnChange(this);
}

void TBrush::SetColor(TColor Value) {
  if (Value == FColor) return;
  FColor = Value;
  Changed();
}

void TBrush::SetStyle(TBrushStyle Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  Changed();
}

void TBrush::Assign(const TPersistent& Source) {
  const auto* brush = dynamic_cast<const TBrush*>(&Source);
  if (!brush) {
    TPersistent::Assign(Source);
    return;
  }
  FColor = brush->FColor;
  FStyle = brush->FStyle;
  Changed();
}

// ---------------------------------------------------------------- helpers

namespace {

constexpr TRect kNoClip{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};

TDeviceRect ToDevice(const TRect& R) { return {R.Left, R.Top, R.Right, R.Bottom}; }

/// Whether the pen of the given style draws at step Phase of its pattern.
bool DashOn(TPenStyle Style, int64_t Phase) {
  static constexpr int64_t kDash[] = {18, 6};
  static constexpr int64_t kDot[] = {3, 3};
  static constexpr int64_t kDashDot[] = {9, 6, 3, 6};
  static constexpr int64_t kDashDotDot[] = {9, 3, 3, 3, 3, 3};
  const int64_t* pattern = nullptr;
  size_t count = 0;
  switch (Style) {
    case psDash: pattern = kDash; count = 2; break;
    case psDot: pattern = kDot; count = 2; break;
    case psDashDot: pattern = kDashDot; count = 4; break;
    case psDashDotDot: pattern = kDashDotDot; count = 6; break;
    default: return true;
  }
  int64_t period = 0;
  for (size_t i = 0; i < count; ++i) period += pattern[i];
  int64_t position = Phase % period;
  if (position < 0) position += period;
  for (size_t i = 0; i < count; ++i) {
    if (position < pattern[i]) return i % 2 == 0;  // even entries draw, odd ones are gaps
    position -= pattern[i];
  }
  return true;
}

/// Sorts two coordinates so that A <= B.
void Order(int64_t& A, int64_t& B) {
  if (A > B) std::swap(A, B);
}

int64_t CeilDiv(int128 Num, int128 Den) {  // Den > 0
  int128 q = Num / Den;
  if (Num % Den != 0 && Num > 0) ++q;
  return static_cast<int64_t>(q);
}

}  // namespace

// ---------------------------------------------------------------- canvas state

TCanvas::TCanvas(TBitmap& Surface)
    : FSurface(Surface),
      FWholeSurface(true),
      FClip(kNoClip),
      FPen(std::make_unique<TPen>()),
      FBrush(std::make_unique<TBrush>()),
      FFont(std::make_unique<TFont>()) {}

TCanvas::TCanvas(TBitmap& Surface, const TRect& Area) : TCanvas(Surface) {
  FWholeSurface = false;
  FArea = Area;
  FOrigin = Point(Area.Left, Area.Top);
}

TCanvas::~TCanvas() = default;

TDeviceRect TCanvas::AreaRect() const {
  const TDeviceRect surface{0, 0, FSurface.Width(), FSurface.Height()};
  return FWholeSurface ? surface : surface.Intersect(ToDevice(FArea));
}

TDeviceRect TCanvas::DeviceClip() const { return AreaRect().Intersect(ToDevice(FClip)); }

TRect TCanvas::ClipRect() const {
  const TDeviceRect clip = DeviceClip();
  if (clip.IsEmpty()) return TRect{};
  return Rect(static_cast<int32_t>(clip.Left - FOrigin.X), static_cast<int32_t>(clip.Top - FOrigin.Y),
              static_cast<int32_t>(clip.Right - FOrigin.X), static_cast<int32_t>(clip.Bottom - FOrigin.Y));
}

void TCanvas::IntersectClipRect(const TRect& R) {
  const TDeviceRect wanted{DeviceX(R.Left), DeviceY(R.Top), DeviceX(R.Right), DeviceY(R.Bottom)};
  TDeviceRect clip = DeviceClip().Intersect(wanted);
  if (clip.IsEmpty()) clip = {0, 0, 0, 0};
  // Inside the surface, so it fits 32 bits.
  FClip = Rect(static_cast<int32_t>(clip.Left), static_cast<int32_t>(clip.Top),
               static_cast<int32_t>(clip.Right), static_cast<int32_t>(clip.Bottom));
}

void TCanvas::ResetClipRect() { FClip = kNoClip; }

void TCanvas::Assign(const TPersistent& Source) {
  const auto* canvas = dynamic_cast<const TCanvas*>(&Source);
  if (!canvas) {
    TPersistent::Assign(Source);
    return;
  }
  FPen->Assign(*canvas->FPen);
  FBrush->Assign(*canvas->FBrush);
  FFont->Assign(*canvas->FFont);
  FCopyMode = canvas->FCopyMode;
  FStretchMode = canvas->FStretchMode;
}

uint32_t& TCanvas::PixelAt(int64_t X, int64_t Y) {
  return FSurface.ScanLine(static_cast<int32_t>(Y))[X];
}

bool TCanvas::PenVisible() const { return FPen->Style() != psClear; }

bool TCanvas::ThinPen() const { return FPen->Width() <= 1; }

void TCanvas::PaintSpan(int64_t Y, int64_t X0, int64_t X1, uint32_t Pixel, bool UsePenMode) {
  uint32_t* row = FSurface.ScanLine(static_cast<int32_t>(Y));
  const TPenMode mode = FPen->Mode();
  if (!UsePenMode || mode == pmCopy) {
    std::fill(row + X0, row + X1, Pixel);
    return;
  }
  for (int64_t x = X0; x < X1; ++x)
    row[x] = 0xFF000000u | raster::ApplyPenMode(mode, Pixel, row[x]);
}

void TCanvas::PaintSpans(const TSpanSet& Spans, TColor Color, bool UsePenMode) {
  const TDeviceRect clip = DeviceClip();
  const uint32_t pixel = ColorToPixel(ColorToRGB(Color));
  for (const auto& [y, spans] : Spans.Rows()) {
    if (y < clip.Top || y >= clip.Bottom) continue;
    for (const auto& [x0, x1] : spans) {
      const int64_t a = std::max(x0, clip.Left), b = std::min(x1, clip.Right);
      if (a < b) PaintSpan(y, a, b, pixel, UsePenMode);
    }
  }
}

// ---------------------------------------------------------------- rectangles

void TCanvas::FillRect(const TRect& R) {
  if (R.IsEmpty() || FBrush->Style() == bsClear) return;
  const TDeviceRect area =
      TDeviceRect{DeviceX(R.Left), DeviceY(R.Top), DeviceX(R.Right), DeviceY(R.Bottom)}.Intersect(
          DeviceClip());
  if (area.IsEmpty()) return;
  const uint32_t pixel = ColorToPixel(ColorToRGB(FBrush->Color()));
  for (int64_t y = area.Top; y < area.Bottom; ++y) PaintSpan(y, area.Left, area.Right, pixel, false);
}

namespace {

/// The one-pixel border of a non-empty rectangle, each pixel once.
TSpanSet BorderSpans(const TDeviceRect& R, const TDeviceRect& Clip) {
  TSpanSet border;
  border.AddRect({R.Left, R.Top, R.Right, R.Top + 1}, Clip);
  border.AddRect({R.Left, R.Bottom - 1, R.Right, R.Bottom}, Clip);
  border.AddRect({R.Left, R.Top + 1, R.Left + 1, R.Bottom - 1}, Clip);
  border.AddRect({R.Right - 1, R.Top + 1, R.Right, R.Bottom - 1}, Clip);
  border.Normalize();
  return border;
}

}  // namespace

void TCanvas::FrameRect(const TRect& R) {
  if (R.IsEmpty() || FBrush->Style() == bsClear) return;
  const TDeviceRect device{DeviceX(R.Left), DeviceY(R.Top), DeviceX(R.Right), DeviceY(R.Bottom)};
  PaintSpans(BorderSpans(device, DeviceClip()), FBrush->Color(), false);
}

void TCanvas::InvertRect(const TRect& R) {
  if (R.IsEmpty()) return;
  const TDeviceRect area =
      TDeviceRect{DeviceX(R.Left), DeviceY(R.Top), DeviceX(R.Right), DeviceY(R.Bottom)}.Intersect(
          DeviceClip());
  if (area.IsEmpty()) return;
  for (int64_t y = area.Top; y < area.Bottom; ++y) {
    uint32_t* row = FSurface.ScanLine(static_cast<int32_t>(y));
    for (int64_t x = area.Left; x < area.Right; ++x) row[x] ^= 0x00FFFFFFu;
  }
}

void TCanvas::DrawFocusRect(const TRect& R) {
  if (R.IsEmpty()) return;
  const TDeviceRect device{DeviceX(R.Left), DeviceY(R.Top), DeviceX(R.Right), DeviceY(R.Bottom)};
  const TSpanSet border = BorderSpans(device, DeviceClip());
  // Every other border pixel (checkerboard in surface coordinates) is inverted,
  // so drawing the same focus rectangle again removes it.
  for (const auto& [y, spans] : border.Rows())
    for (const auto& [x0, x1] : spans)
      for (int64_t x = x0; x < x1; ++x)
        if (((x + y) & 1) == 0) PixelAt(x, y) ^= 0x00FFFFFFu;
}

void TCanvas::Rectangle(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2) {
  int64_t l = DeviceX(X1), t = DeviceY(Y1), r = DeviceX(X2), b = DeviceY(Y2);
  Order(l, r);
  Order(t, b);
  if (l == r || t == b) return;
  const TDeviceRect clip = DeviceClip();
  TSpanSet outline, interior;
  if (PenVisible()) {
    // Each edge pixel grows into the pen's centred square.
    const int64_t before = FPen->Width() / 2, after = FPen->Width() - 1 - before;
    for (const TDeviceRect& edge : {TDeviceRect{l, t, r, t + 1}, TDeviceRect{l, b - 1, r, b},
                                    TDeviceRect{l, t, l + 1, b}, TDeviceRect{r - 1, t, r, b}})
      outline.AddRect(edge.Inflate(before, after), clip);
  }
  if (FBrush->Style() != bsClear) interior.AddRect({l + 1, t + 1, r - 1, b - 1}, clip);
  DrawShape(outline, interior);
}

void TCanvas::DrawShape(TSpanSet& Outline, TSpanSet& Interior) {
  Outline.Normalize();
  Interior.Normalize();
  if (FBrush->Style() != bsClear && !Interior.IsEmpty())
    PaintSpans(Interior.Minus(Outline), FBrush->Color(), true);
  if (PenVisible()) PaintSpans(Outline, FPen->Color(), true);
}

// ---------------------------------------------------------------- lines

void TCanvas::DrawThinLine(int64_t X0, int64_t Y0, int64_t X1, int64_t Y1, int64_t& DashPhase) {
  const TLineWalk walk(X0, Y0, X1, Y1);
  const auto [first, last] = walk.StepsInside(DeviceClip());
  const uint32_t pixel = ColorToPixel(ColorToRGB(FPen->Color()));
  const TPenMode mode = FPen->Mode();
  const TPenStyle style = FPen->Style();
  for (int64_t i = first; i < last; ++i) {
    if (!DashOn(style, DashPhase + i)) continue;
    uint32_t& target = PixelAt(walk.X(i), walk.Y(i));
    target = mode == pmCopy ? pixel : 0xFF000000u | raster::ApplyPenMode(mode, pixel, target);
  }
  DashPhase += walk.Steps();
}

void TCanvas::AddLine(TSpanSet& Spans, int64_t X0, int64_t Y0, int64_t X1, int64_t Y1,
                      int64_t& DashPhase) const {
  const TLineWalk walk(X0, Y0, X1, Y1);
  const TDeviceRect clip = DeviceClip();
  const int64_t steps = walk.Steps();
  if (ThinPen()) {
    const auto [first, last] = walk.StepsInside(clip);
    for (int64_t i = first; i < last; ++i)
      if (DashOn(FPen->Style(), DashPhase + i)) Spans.Add(walk.Y(i), walk.X(i), walk.X(i) + 1);
    DashPhase += steps;
    return;
  }
  DashPhase += steps;
  if (steps == 0 || clip.IsEmpty()) return;
  // A wide pen: every line pixel carries a centred square, so row r holds the
  // squares of the steps whose Y lies in [r - after, r + before]. X moves by at
  // most one per step, so their union on the row is one run.
  const int64_t before = FPen->Width() / 2, after = FPen->Width() - 1 - before;
  const int64_t yFirst = walk.Y(0), yLast = walk.Y(steps - 1);
  const int64_t rowFrom = std::max(std::min(yFirst, yLast) - before, clip.Top);
  const int64_t rowTo = std::min(std::max(yFirst, yLast) + after + 1, clip.Bottom);
  for (int64_t row = rowFrom; row < rowTo; ++row) {
    const auto [a, b] = walk.StepsWithYIn(row - after, row + before + 1);
    if (a >= b) continue;
    const int64_t xa = walk.X(a), xb = walk.X(b - 1);
    const int64_t x0 = std::max(std::min(xa, xb) - before, clip.Left);
    const int64_t x1 = std::min(std::max(xa, xb) + after + 1, clip.Right);
    Spans.Add(row, x0, x1);
  }
}

void TCanvas::AddPath(TSpanSet& Spans, const std::vector<TPoint>& Points, bool Closed) const {
  int64_t phase = 0;
  const size_t segments = Closed ? Points.size() : Points.size() - 1;
  for (size_t k = 0; k < segments; ++k) {
    const TPoint& a = Points[k];
    const TPoint& b = Points[(k + 1) % Points.size()];
    AddLine(Spans, DeviceX(a.X), DeviceY(a.Y), DeviceX(b.X), DeviceY(b.Y), phase);
  }
}

void TCanvas::LineTo(int32_t X, int32_t Y) {
  const TPoint from = FPenPos;
  FPenPos = Point(X, Y);
  if (!PenVisible()) return;
  int64_t phase = 0;
  if (ThinPen()) {
    DrawThinLine(DeviceX(from.X), DeviceY(from.Y), DeviceX(X), DeviceY(Y), phase);
    return;
  }
  TSpanSet spans;
  AddLine(spans, DeviceX(from.X), DeviceY(from.Y), DeviceX(X), DeviceY(Y), phase);
  spans.Normalize();
  PaintSpans(spans, FPen->Color(), true);
}

void TCanvas::Polyline(const std::vector<TPoint>& Points) {
  if (Points.size() < 2 || !PenVisible()) return;
  if (ThinPen()) {
    // Each segment leaves out its end point, which the next one starts with,
    // so only the last point of the polyline stays undrawn.
    int64_t phase = 0;
    for (size_t k = 0; k + 1 < Points.size(); ++k)
      DrawThinLine(DeviceX(Points[k].X), DeviceY(Points[k].Y), DeviceX(Points[k + 1].X),
                   DeviceY(Points[k + 1].Y), phase);
    return;
  }
  TSpanSet spans;
  AddPath(spans, Points, false);
  spans.Normalize();
  PaintSpans(spans, FPen->Color(), true);
}

void TCanvas::Polygon(const std::vector<TPoint>& Points) {
  if (Points.empty()) return;
  const TDeviceRect clip = DeviceClip();
  TSpanSet outline, interior;
  if (PenVisible() && Points.size() >= 2) AddPath(outline, Points, true);
  if (FBrush->Style() != bsClear && Points.size() >= 3 && !clip.IsEmpty()) {
    std::vector<std::pair<int64_t, int64_t>> vertices;
    int64_t top = INT64_MAX, bottom = INT64_MIN;
    for (const TPoint& p : Points) {
      vertices.emplace_back(DeviceX(p.X), DeviceY(p.Y));
      top = std::min(top, vertices.back().second);
      bottom = std::max(bottom, vertices.back().second);
    }
    std::vector<int64_t> crossings;
    for (int64_t y = std::max(top, clip.Top); y < std::min(bottom, clip.Bottom); ++y) {
      // Row y samples the pixel centres at y + 1/2. Each crossing is stored as
      // the first pixel whose centre lies at or right of it.
      crossings.clear();
      for (size_t k = 0; k < vertices.size(); ++k) {
        auto [xa, ya] = vertices[k];
        auto [xb, yb] = vertices[(k + 1) % vertices.size()];
        if (ya == yb) continue;
        if (ya > yb) {
          std::swap(xa, xb);
          std::swap(ya, yb);
        }
        if (y < ya || y >= yb) continue;
        // ceil(x_cross - 1/2) with x_cross = xa + (y + 1/2 - ya)(xb - xa)/(yb - ya).
        const int128 num = int128{2 * xa - 1} * (yb - ya) + int128{2 * (y - ya) + 1} * (xb - xa);
        crossings.push_back(CeilDiv(num, int128{2} * (yb - ya)));
      }
      std::sort(crossings.begin(), crossings.end());
      for (size_t k = 0; k + 1 < crossings.size(); k += 2)
        interior.Add(y, std::max(crossings[k], clip.Left), std::min(crossings[k + 1], clip.Right));
    }
  }
  DrawShape(outline, interior);
}

// ---------------------------------------------------------------- ellipses, arcs, pies

void TCanvas::EllipseSpans(int64_t L, int64_t T, int64_t R, int64_t B, TSpanSet& Outline,
                           TSpanSet& Interior) const {
  const TDeviceRect clip = DeviceClip();
  const bool pen = PenVisible();
  const int64_t before = pen ? FPen->Width() / 2 : 0;
  const int64_t after = pen ? FPen->Width() - 1 - before : 0;
  // The outline is the ring between the box grown by the pen and the box
  // shrunk by it; the interior is what lies inside the ring.
  const TDeviceRect outer{L - before, T - before, R + after, B + after};
  const TDeviceRect inner =
      pen ? TDeviceRect{L + 1 + after, T + 1 + after, R - 1 - before, B - 1 - before} : outer;
  const int64_t rowFrom = std::max(outer.Top, clip.Top), rowTo = std::min(outer.Bottom, clip.Bottom);
  for (int64_t y = rowFrom; y < rowTo; ++y) {
    int64_t ox0 = 0, ox1 = 0, ix0 = 0, ix1 = 0;
    if (!raster::EllipseRowSpan(outer.Left, outer.Top, outer.Right, outer.Bottom, y, ox0, ox1))
      continue;
    const bool hasInner =
        raster::EllipseRowSpan(inner.Left, inner.Top, inner.Right, inner.Bottom, y, ix0, ix1);
    auto add = [&](TSpanSet& set, int64_t a, int64_t b) {
      set.Add(y, std::max(a, clip.Left), std::min(b, clip.Right));
    };
    if (!pen) {
      add(Interior, ox0, ox1);
    } else if (!hasInner) {
      add(Outline, ox0, ox1);
    } else {
      add(Outline, ox0, ix0);
      add(Outline, ix1, ox1);
      add(Interior, ix0, ix1);
    }
  }
}

void TCanvas::Ellipse(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2) {
  int64_t l = DeviceX(X1), t = DeviceY(Y1), r = DeviceX(X2), b = DeviceY(Y2);
  Order(l, r);
  Order(t, b);
  if (l == r || t == b) return;
  TSpanSet outline, interior;
  EllipseSpans(l, t, r, b, outline, interior);
  if (FBrush->Style() == bsClear) interior = TSpanSet();
  DrawShape(outline, interior);
}

void TCanvas::Arc(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3,
                  int32_t X4, int32_t Y4) {
  ArcOrPie(X1, Y1, X2, Y2, X3, Y3, X4, Y4, false);
}

void TCanvas::Pie(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3,
                  int32_t X4, int32_t Y4) {
  ArcOrPie(X1, Y1, X2, Y2, X3, Y3, X4, Y4, true);
}

}  // namespace vexa
