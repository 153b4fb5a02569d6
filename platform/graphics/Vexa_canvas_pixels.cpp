// Canvas operations on single pixels and pictures: arcs and pies (per-pixel
// angle tests), Pixels, FloodFill, Draw, StretchDraw and CopyRect.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/Vexa_intmath.h"
#include "platform/graphics/Vexa_canvas.h"
#include "platform/graphics/Vexa_raster.h"

namespace vexa {

using raster::int128;
using raster::TDeviceRect;
using raster::TSpanSet;

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

/// Angle of a vector given in pixel directions (y down), counter-clockwise
/// on the screen, in [0, 2 pi).
double ScreenAngle(double Dx, double Dy) {
  double angle = std::atan2(-Dy, Dx);
  if (angle < 0) angle += kTwoPi;
  return angle;
}

/// The pixels of Spans whose centres pass the test.
template <class Test>
TSpanSet FilterPixels(const TSpanSet& Spans, Test test) {
  TSpanSet kept;
  for (const auto& [y, spans] : Spans.Rows())
    for (const auto& [x0, x1] : spans)
      for (int64_t x = x0; x < x1; ++x)
        if (test(x, y)) kept.Add(y, x, x + 1);
  kept.Normalize();
  return kept;
}

}  // namespace

void TCanvas::ArcOrPie(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3,
                       int32_t X4, int32_t Y4, bool IsPie) {
  int64_t l = DeviceX(X1), t = DeviceY(Y1), r = DeviceX(X2), b = DeviceY(Y2);
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  if (l == r || t == b) return;
  TSpanSet ring, inner;
  EllipseSpans(l, t, r, b, ring, inner);
  // Doubled centre, so that pixel centres (2x + 1) stay integral.
  const int64_t cx2 = l + r, cy2 = t + b;
  const double du3 = static_cast<double>(2 * DeviceX(X3) - cx2);
  const double dv3 = static_cast<double>(2 * DeviceY(Y3) - cy2);
  const double du4 = static_cast<double>(2 * DeviceX(X4) - cx2);
  const double dv4 = static_cast<double>(2 * DeviceY(Y4) - cy2);
  const double start = ScreenAngle(du3, dv3);
  double sweep = ScreenAngle(du4, dv4) - start;
  while (sweep <= 0) sweep += kTwoPi;  // equal radials: the whole ellipse
  auto inSweep = [&](int64_t x, int64_t y) {
    double offset = ScreenAngle(static_cast<double>(2 * x + 1 - cx2),
                                static_cast<double>(2 * y + 1 - cy2)) - start;
    if (offset < 0) offset += kTwoPi;
    return offset <= sweep;
  };
  TSpanSet outline = FilterPixels(ring, inSweep);
  TSpanSet interior;
  if (IsPie) {
    if (FBrush->Style() != bsClear) interior = FilterPixels(inner, inSweep);
    if (PenVisible()) {
      // The two radii, from the centre to where the radials meet the ellipse.
      const double a = static_cast<double>(r - l) / 2, bHalf = static_cast<double>(b - t) / 2;
      const int64_t cx = RoundToInt64(static_cast<double>(cx2) / 2);
      const int64_t cy = RoundToInt64(static_cast<double>(cy2) / 2);
      for (const auto& [du, dv] : {std::make_pair(du3, dv3), std::make_pair(du4, dv4)}) {
        const double scale = std::hypot(du / (2 * a), dv / (2 * bHalf));
        if (scale == 0) continue;
        int64_t phase = 0;
        AddLine(outline, cx, cy,
                RoundToInt64(static_cast<double>(cx2) / 2 + du / 2 / scale),
                RoundToInt64(static_cast<double>(cy2) / 2 + dv / 2 / scale), phase);
      }
    }
  }
  DrawShape(outline, interior);
}

// ---------------------------------------------------------------- pixels

TColor TCanvas::Pixels(int32_t X, int32_t Y) const {
  const int64_t x = DeviceX(X), y = DeviceY(Y);
  const TDeviceRect clip = DeviceClip();
  if (x < clip.Left || x >= clip.Right || y < clip.Top || y >= clip.Bottom) return PixelOutside;
  return PixelToColor(FSurface.ScanLine(static_cast<int32_t>(y))[x]);
}

void TCanvas::SetPixels(int32_t X, int32_t Y, TColor Color) {
  const int64_t x = DeviceX(X), y = DeviceY(Y);
  const TDeviceRect clip = DeviceClip();
  if (x < clip.Left || x >= clip.Right || y < clip.Top || y >= clip.Bottom) return;
  PixelAt(x, y) = ColorToPixel(ColorToRGB(Color));
}

void TCanvas::FloodFill(int32_t X, int32_t Y, TColor Color, TFillStyle FillStyle) {
  const TDeviceRect clip = DeviceClip();
  const int64_t seedX = DeviceX(X), seedY = DeviceY(Y);
  if (FBrush->Style() == bsClear || seedX < clip.Left || seedX >= clip.Right ||
      seedY < clip.Top || seedY >= clip.Bottom)
    return;
  const TColor target = ColorToRGB(Color);
  const uint32_t fill = ColorToPixel(ColorToRGB(FBrush->Color()));
  const int64_t width = clip.Right - clip.Left, height = clip.Bottom - clip.Top;
  // Visited marks make the fill end also when the fill colour matches the region.
  std::vector<bool> visited(static_cast<size_t>(width * height), false);
  auto index = [&](int64_t x, int64_t y) {
    return static_cast<size_t>((y - clip.Top) * width + (x - clip.Left));
  };
  auto belongs = [&](int64_t x, int64_t y) {
    if (visited[index(x, y)]) return false;
    const bool same = PixelToColor(PixelAt(x, y)) == target;
    return FillStyle == fsSurface ? same : !same;
  };
  if (!belongs(seedX, seedY)) return;
  // Scan-line fill with an explicit stack of seed points.
  std::vector<std::pair<int64_t, int64_t>> seeds{{seedX, seedY}};
  while (!seeds.empty()) {
    const auto [sx, sy] = seeds.back();
    seeds.pop_back();
    if (!belongs(sx, sy)) continue;
    int64_t left = sx, right = sx + 1;
    while (left > clip.Left && belongs(left - 1, sy)) --left;
    while (right < clip.Right && belongs(right, sy)) ++right;
    for (int64_t x = left; x < right; ++x) {
      visited[index(x, sy)] = true;
      PixelAt(x, sy) = fill;
    }
    for (const int64_t ny : {sy - 1, sy + 1}) {
      if (ny < clip.Top || ny >= clip.Bottom) continue;
      bool inRun = false;
      for (int64_t x = left; x < right; ++x) {
        const bool b = belongs(x, ny);
        if (b && !inRun) seeds.emplace_back(x, ny);
        inRun = b;
      }
    }
  }
}

// ---------------------------------------------------------------- pictures

namespace {

/// Source sample positions of one axis for the visible destination indices.
/// Source indices are absolute picture coordinates.
struct TAxisTaps {
  std::vector<int64_t> Nearest;  ///< nearest source index per destination index
  std::vector<int64_t> First;    ///< halftone: first source index per destination index
  std::vector<uint32_t> Offset;  ///< halftone: start of its weights in Weights
  std::vector<uint32_t> Count;
  std::vector<float> Weights;    ///< normalised to sum 1 per destination index
};

/// Destination index d (of D) shows source index ((2d+1) S) div (2D); with
/// halftone, shrinking averages the covered source area and enlarging
/// interpolates between the two nearest source centres. Taps outside the
/// picture [0, Size) are dropped, so their number stays bounded by the picture.
TAxisTaps AxisTaps(int64_t VisibleFrom, int64_t VisibleTo, int64_t D, int64_t S, int64_t SourceStart,
                   int64_t Size, bool Mirror, bool Halftone) {
  TAxisTaps taps;
  const size_t count = static_cast<size_t>(VisibleTo - VisibleFrom);
  taps.Nearest.reserve(count);
  for (int64_t v = VisibleFrom; v < VisibleTo; ++v) {
    const int64_t d = Mirror ? D - 1 - v : v;
    taps.Nearest.push_back(SourceStart + static_cast<int64_t>((int128{2 * d + 1} * S) / (int128{2} * D)));
    if (!Halftone) continue;
    // The covered source interval [from, to) relative to the source start.
    double from = 0, to = 0;
    const double ratio = static_cast<double>(S) / static_cast<double>(D);
    if (D < S) {
      from = static_cast<double>(d) * ratio;
      to = static_cast<double>(d + 1) * ratio;
    } else {
      const double centre = std::clamp((static_cast<double>(d) + 0.5) * ratio - 0.5, 0.0, static_cast<double>(S - 1));
      from = std::floor(centre);
      to = centre;  // interpolation between floor(centre) and the next sample
    }
    const int64_t lo = std::max<int64_t>(static_cast<int64_t>(std::floor(from)), -SourceStart);
    const int64_t hi = std::min<int64_t>(D < S ? static_cast<int64_t>(std::ceil(to)) : lo + 2,
                                         std::min(S, Size - SourceStart));
    taps.Offset.push_back(static_cast<uint32_t>(taps.Weights.size()));
    taps.First.push_back(SourceStart + lo);
    double total = 0;
    for (int64_t j = lo; j < hi; ++j) {
      double w = 0;
      if (D < S) {
        w = std::min(to, static_cast<double>(j + 1)) - std::max(from, static_cast<double>(j));
      } else {
        const double f = to - from;
        w = j == static_cast<int64_t>(from) ? 1 - f : f;
      }
      taps.Weights.push_back(static_cast<float>(w));
      total += w;
    }
    for (size_t k = taps.Offset.back(); k < taps.Weights.size(); ++k)
      taps.Weights[k] = total > 0 ? static_cast<float>(taps.Weights[k] / total) : 0.0f;
    taps.Count.push_back(static_cast<uint32_t>(taps.Weights.size() - taps.Offset.back()));
  }
  return taps;
}

/// Weighted mean of the taps (all inside the picture), per channel with alpha.
uint32_t HalftonePixel(const TBitmap& Picture, const TAxisTaps& Xs, size_t Col, const TAxisTaps& Ys,
                       size_t Row) {
  float sum[4] = {0, 0, 0, 0};
  for (uint32_t ty = 0; ty < Ys.Count[Row]; ++ty) {
    const uint32_t* line = Picture.ScanLine(static_cast<int32_t>(Ys.First[Row] + ty)) + Xs.First[Col];
    const float wy = Ys.Weights[Ys.Offset[Row] + ty];
    const float* wx = &Xs.Weights[Xs.Offset[Col]];
    for (uint32_t tx = 0; tx < Xs.Count[Col]; ++tx) {
      const uint32_t p = line[tx];
      const float w = wy * wx[tx];
      sum[0] += w * static_cast<float>(p & 0xFF);
      sum[1] += w * static_cast<float>((p >> 8) & 0xFF);
      sum[2] += w * static_cast<float>((p >> 16) & 0xFF);
      sum[3] += w * static_cast<float>(p >> 24);
    }
  }
  uint32_t result = 0;
  for (int c = 0; c < 4; ++c) {
    // The weights sum to 1, so the mean lies in [0, 255] up to rounding.
    const float mean = std::clamp(sum[c], 0.0f, 255.0f);
    result |= static_cast<uint32_t>(mean + 0.5f) << (8 * c);
  }
  return result;
}

}  // namespace

void TCanvas::BlitStretched(const TDeviceRect& Dest, bool MirrorX, bool MirrorY,
                            const TBitmap& Picture, const TDeviceRect& Source, bool Transparent,
                            TColor TransparentColor) {
  const TDeviceRect visible = Dest.Intersect(DeviceClip());
  if (visible.IsEmpty() || Source.IsEmpty() || Picture.Empty()) return;
  const int64_t dw = Dest.Right - Dest.Left, dh = Dest.Bottom - Dest.Top;
  const int64_t sw = Source.Right - Source.Left, sh = Source.Bottom - Source.Top;
  const bool halftone = FStretchMode == smHalftone && (dw != sw || dh != sh);
  const TAxisTaps xs = AxisTaps(visible.Left - Dest.Left, visible.Right - Dest.Left, dw, sw, Source.Left,
                                Picture.Width(), MirrorX, halftone);
  const TAxisTaps ys = AxisTaps(visible.Top - Dest.Top, visible.Bottom - Dest.Top, dh, sh, Source.Top,
                                Picture.Height(), MirrorY, halftone);
  const uint8_t rop = static_cast<uint8_t>(FCopyMode >> 16);
  const uint32_t pattern = ColorToPixel(ColorToRGB(FBrush->Color()));
  const TColor transparent = ColorToRGB(TransparentColor);
  const int64_t pw = Picture.Width(), ph = Picture.Height();

  for (size_t row = 0; row < ys.Nearest.size(); ++row) {
    const int64_t nearestY = ys.Nearest[row];
    if (nearestY < 0 || nearestY >= ph) continue;
    const uint32_t* sourceLine = Picture.ScanLine(static_cast<int32_t>(nearestY));
    uint32_t* target = FSurface.ScanLine(static_cast<int32_t>(visible.Top + static_cast<int64_t>(row))) + visible.Left;
    for (size_t col = 0; col < xs.Nearest.size(); ++col) {
      const int64_t nearestX = xs.Nearest[col];
      if (nearestX < 0 || nearestX >= pw) continue;
      uint32_t source = sourceLine[nearestX];
      if (Transparent && PixelToColor(source) == transparent) continue;
      if (halftone && xs.Count[col] > 0 && ys.Count[row] > 0) source = HalftonePixel(Picture, xs, col, ys, row);
      uint32_t& d = target[col];
      const uint32_t alpha = rop == 0xCC ? (source & 0xFF000000u) : (d & 0xFF000000u);
      d = alpha | raster::ApplyRop3(rop, pattern, source, d);
    }
  }
}

void TCanvas::Draw(int32_t X, int32_t Y, const TBitmap& Picture) {
  const TDeviceRect dest{DeviceX(X), DeviceY(Y), DeviceX(X) + Picture.Width(),
                         DeviceY(Y) + Picture.Height()};
  const TDeviceRect source{0, 0, Picture.Width(), Picture.Height()};
  if (&Picture == &FSurface) {
    TBitmap copy;
    copy.Assign(Picture);
    BlitStretched(dest, false, false, copy, source, Picture.Transparent(), Picture.TransparentColor());
    return;
  }
  BlitStretched(dest, false, false, Picture, source, Picture.Transparent(), Picture.TransparentColor());
}

void TCanvas::StretchDraw(const TRect& R, const TBitmap& Picture) {
  int64_t l = DeviceX(R.Left), t = DeviceY(R.Top), r = DeviceX(R.Right), b = DeviceY(R.Bottom);
  const bool mirrorX = r < l, mirrorY = b < t;
  if (mirrorX) std::swap(l, r);
  if (mirrorY) std::swap(t, b);
  const TDeviceRect source{0, 0, Picture.Width(), Picture.Height()};
  if (&Picture == &FSurface) {
    TBitmap copy;
    copy.Assign(Picture);
    BlitStretched({l, t, r, b}, mirrorX, mirrorY, copy, source, Picture.Transparent(),
                  Picture.TransparentColor());
    return;
  }
  BlitStretched({l, t, r, b}, mirrorX, mirrorY, Picture, source, Picture.Transparent(),
                Picture.TransparentColor());
}

void TCanvas::CopyRect(const TRect& Dest, TCanvas& Canvas, const TRect& Source) {
  int64_t l = DeviceX(Dest.Left), t = DeviceY(Dest.Top), r = DeviceX(Dest.Right), b = DeviceY(Dest.Bottom);
  int64_t sl = Canvas.DeviceX(Source.Left), st = Canvas.DeviceY(Source.Top);
  int64_t sr = Canvas.DeviceX(Source.Right), sb = Canvas.DeviceY(Source.Bottom);
  // A rectangle reversed on one side only mirrors the picture on that axis.
  const bool mirrorX = (r < l) != (sr < sl), mirrorY = (b < t) != (sb < st);
  if (r < l) std::swap(l, r);
  if (b < t) std::swap(t, b);
  if (sr < sl) std::swap(sl, sr);
  if (sb < st) std::swap(st, sb);
  const TDeviceRect source{sl, st, sr, sb};
  if (&Canvas.FSurface == &FSurface) {
    TBitmap copy;
    copy.Assign(FSurface);
    BlitStretched({l, t, r, b}, mirrorX, mirrorY, copy, source, false, clNone);
    return;
  }
  BlitStretched({l, t, r, b}, mirrorX, mirrorY, Canvas.FSurface, source, false, clNone);
}

}  // namespace vexa
