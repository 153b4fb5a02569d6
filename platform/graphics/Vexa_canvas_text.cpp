// Canvas text: measuring and drawing strings with the canvas font, rotated
// counter-clockwise about the top-left of the text cell.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/graphics/Vexa_canvas.h"
#include "platform/graphics/Vexa_fontcache.h"
#include "platform/graphics/Vexa_raster.h"

namespace vexa {

using raster::TDeviceRect;

namespace {

/// Maps between the text cell (u along the text, v downwards in it) and the
/// surface, for a rotation about the cell's top-left corner.
struct TTextFrame {
  double OriginX = 0, OriginY = 0;  ///< surface position of the cell's top-left
  double Cos = 1, Sin = 0;

  TTextFrame(int64_t X, int64_t Y, int32_t Orientation)
      : OriginX(static_cast<double>(X)), OriginY(static_cast<double>(Y)) {
    int32_t tenths = Orientation % 3600;
    if (tenths < 0) tenths += 3600;
    // Multiples of 90 degrees exactly, so such text lands on whole pixels.
    switch (tenths) {
      case 0: Cos = 1; Sin = 0; break;
      case 900: Cos = 0; Sin = 1; break;
      case 1800: Cos = -1; Sin = 0; break;
      case 2700: Cos = 0; Sin = -1; break;
      default: {
        const double angle = tenths * std::numbers::pi / 1800.0;
        Cos = std::cos(angle);
        Sin = std::sin(angle);
      }
    }
  }

  /// The surface pixels whose centres may map into the cell area
  /// [U0,U1) x [V0,V1), cut to Clip.
  TDeviceRect Bounds(double U0, double V0, double U1, double V1, const TDeviceRect& Clip) const {
    double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
    for (const double u : {U0, U1})
      for (const double v : {V0, V1}) {
        const double x = OriginX + Cos * u + Sin * v;
        const double y = OriginY - Sin * u + Cos * v;
        minX = std::min(minX, x); maxX = std::max(maxX, x);
        minY = std::min(minY, y); maxY = std::max(maxY, y);
      }
    auto cut = [](double value, int64_t lo, int64_t hi) {
      return static_cast<int64_t>(std::clamp(value, static_cast<double>(lo), static_cast<double>(hi)));
    };
    return {cut(std::floor(minX) - 1, Clip.Left, Clip.Right), cut(std::floor(minY) - 1, Clip.Top, Clip.Bottom),
            cut(std::ceil(maxX) + 1, Clip.Left, Clip.Right), cut(std::ceil(maxY) + 1, Clip.Top, Clip.Bottom)};
  }

  /// Calls Visit(x, y, cellX, cellY) for every surface pixel inside Clip whose
  /// centre lies in the cell area [U0,U1) x [V0,V1); cellX/cellY are the
  /// whole cell coordinates it samples.
  template <class Visit>
  void ForEachPixel(double U0, double V0, double U1, double V1, const TDeviceRect& Clip,
                    Visit visit) const {
    if (Cos == 1 && Sin == 0) {
      // Unrotated: pixel x samples cell column x - OriginX (areas have whole bounds).
      const auto ox = static_cast<int64_t>(OriginX), oy = static_cast<int64_t>(OriginY);
      const int64_t x0 = std::max(Clip.Left, ox + static_cast<int64_t>(std::ceil(U0)));
      const int64_t x1 = std::min(Clip.Right, ox + static_cast<int64_t>(std::ceil(U1)));
      const int64_t y0 = std::max(Clip.Top, oy + static_cast<int64_t>(std::ceil(V0)));
      const int64_t y1 = std::min(Clip.Bottom, oy + static_cast<int64_t>(std::ceil(V1)));
      for (int64_t y = y0; y < y1; ++y)
        for (int64_t x = x0; x < x1; ++x) visit(x, y, x - ox, y - oy);
      return;
    }
    const TDeviceRect box = Bounds(U0, V0, U1, V1, Clip);
    for (int64_t y = box.Top; y < box.Bottom; ++y) {
      const double dy = static_cast<double>(y) + 0.5 - OriginY;
      for (int64_t x = box.Left; x < box.Right; ++x) {
        const double dx = static_cast<double>(x) + 0.5 - OriginX;
        const double u = Cos * dx - Sin * dy, v = Sin * dx + Cos * dy;
        if (u < U0 || u >= U1 || v < V0 || v >= V1) continue;
        visit(x, y, static_cast<int64_t>(std::floor(u)), static_cast<int64_t>(std::floor(v)));
      }
    }
  }
};

bool IsAntialiased(TFontQuality Quality) {
  return Quality == fqAntialiased || Quality == fqClearType || Quality == fqClearTypeNatural ||
         Quality == fqProof;
}

/// Ink of the given coverage over a pixel, per channel.
uint32_t BlendInk(uint32_t Ink, uint32_t Dest, uint32_t Coverage) {
  uint32_t result = 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    const uint32_t i = (Ink >> shift) & 0xFF, d = (Dest >> shift) & 0xFF;
    result |= ((i * Coverage + d * (255 - Coverage) + 127) / 255) << shift;
  }
  return result;
}

}  // namespace

TSize TCanvas::TextExtent(const std::string& Text) {
  const auto face = fontcache::FaceFor(*FFont);
  int64_t width = 0;
  for (const uint32_t code : fontcache::DecodeText(Text)) width += face->Advance(code);
  return TSize{static_cast<int32_t>(std::min<int64_t>(width, INT32_MAX)),
               face->Ascent() + face->Descent()};
}

int32_t TCanvas::TextWidth(const std::string& Text) { return TextExtent(Text).cx; }

int32_t TCanvas::TextHeight(const std::string& Text) { return TextExtent(Text).cy; }

void TCanvas::TextOut(int32_t X, int32_t Y, const std::string& Text) {
  DrawText(X, Y, Text, nullptr, false);
}

void TCanvas::TextRect(const TRect& R, int32_t X, int32_t Y, const std::string& Text) {
  DrawText(X, Y, Text, &R, true);
}

void TCanvas::DrawText(int32_t X, int32_t Y, const std::string& Text, const TRect* Clip,
                       bool FillClip) {
  const auto face = fontcache::FaceFor(*FFont);
  const std::vector<uint32_t> codes = fontcache::DecodeText(Text);
  int64_t width = 0;
  for (const uint32_t code : codes) width += face->Advance(code);
  const int64_t height = face->Ascent() + face->Descent();
  FPenPos = Point(static_cast<int32_t>(std::clamp<int64_t>(int64_t{X} + width, INT32_MIN, INT32_MAX)), Y);

  TDeviceRect clip = DeviceClip();
  if (Clip) {
    if (Clip->IsEmpty()) return;
    clip = clip.Intersect({DeviceX(Clip->Left), DeviceY(Clip->Top), DeviceX(Clip->Right), DeviceY(Clip->Bottom)});
  }
  if (clip.IsEmpty()) return;
  const TTextFrame frame(DeviceX(X), DeviceY(Y), FFont->Orientation());
  const uint32_t brush = ColorToPixel(ColorToRGB(FBrush->Color()));
  const uint32_t ink = ColorToPixel(ColorToRGB(FFont->Color()));

  // Background: all of the clip rectangle for TextRect, else the text cell.
  if (FBrush->Style() != bsClear) {
    if (FillClip) {
      for (int64_t y = clip.Top; y < clip.Bottom; ++y) PaintSpan(y, clip.Left, clip.Right, brush, false);
    } else {
      frame.ForEachPixel(0, 0, static_cast<double>(width), static_cast<double>(height), clip,
                         [&](int64_t x, int64_t y, int64_t, int64_t) { PixelAt(x, y) = brush; });
    }
  }

  const bool smooth = IsAntialiased(FFont->Quality());
  int64_t penX = 0;
  for (const uint32_t code : codes) {
    const auto shared = face->Glyph(code, smooth);
    const fontcache::TGlyph& glyph = *shared;
    const int64_t left = penX + glyph.Left, top = int64_t{face->Ascent()} - glyph.Top;
    penX += glyph.Advance;
    if (glyph.Width == 0 || glyph.Rows == 0) continue;
    frame.ForEachPixel(static_cast<double>(left), static_cast<double>(top),
                       static_cast<double>(left + glyph.Width), static_cast<double>(top + glyph.Rows), clip,
                       [&](int64_t x, int64_t y, int64_t u, int64_t v) {
                         const int64_t gx = u - left, gy = v - top;
                         if (gx < 0 || gy < 0 || gx >= glyph.Width || gy >= glyph.Rows) return;
                         const uint32_t coverage = glyph.Coverage[static_cast<size_t>(gy * glyph.Width + gx)];
                         if (coverage == 0) return;
                         uint32_t& pixel = PixelAt(x, y);
                         pixel = (!smooth || coverage == 255) ? ink : BlendInk(ink, pixel, coverage);
                       });
  }

  // Underline and strike-out as bars across the whole text.
  const int64_t thickness = std::max<int64_t>(1, face->EmPixels() / 14);
  auto bar = [&](int64_t top) {
    frame.ForEachPixel(0, static_cast<double>(top), static_cast<double>(width), static_cast<double>(top + thickness),
                       clip, [&](int64_t x, int64_t y, int64_t, int64_t) { PixelAt(x, y) = ink; });
  };
  if (FFont->Style() & FontStyleBit(fsUnderline))
    bar(face->Ascent() + std::max<int64_t>(1, face->Descent() / 3));
  if (FFont->Style() & FontStyleBit(fsStrikeOut)) bar(face->Ascent() - face->Ascent() * 3 / 10);
}

}  // namespace vexa
