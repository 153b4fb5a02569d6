#pragma once
/// @file
/// Pens, brushes and the canvas that draws on a bitmap.
///
/// Pixel rules (right and bottom exclusive; see docs/GRAPHICS.md for the
/// full table): FillRect fills [L,R)x[T,B) in the brush; Rectangle puts the
/// pen on x=L, x=R-1, y=T, y=B-1 and the brush inside; lines are Bresenham
/// lines without their end point; polygons and ellipses fill the pixel
/// centres inside them (even-odd), then draw the outline. Coordinates are
/// logical: the canvas adds its origin, computes in 64 bits and clips before
/// iterating, so the cost of a primitive is bounded by the pixels it may
/// touch inside the clip rectangle.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Vexa_classes.h"
#include "platform/graphics/Vexa_bitmap.h"
#include "platform/graphics/Vexa_colors.h"
#include "platform/graphics/Vexa_fonts.h"
#include "platform/graphics/Vexa_graphtypes.h"

namespace vexa {

namespace raster {
struct TDeviceRect;
class TSpanSet;
}  // namespace raster

/// Dash patterns (width-1 pens): dash 18 on 6 off, dot 3/3, dash-dot 9/6/3/6,
/// dash-dot-dot 9/3/3/3/3/3; gaps are left untouched. psInsideFrame draws solid.
enum TPenStyle : uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
/// How a pen or shape interior combines with the picture (bitwise per channel).
enum TPenMode : uint8_t {
  pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
  pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};
enum TBrushStyle : uint8_t { bsSolid, bsClear };
enum TFillStyle : uint8_t { fsSurface, fsBorder };
/// Stretching: smNearest picks source pixel ((2d+1)*S) div (2D); smHalftone
/// averages the covered area when shrinking and interpolates bilinearly when
/// enlarging, per axis.
enum TStretchMode : uint8_t { smNearest, smHalftone };

/// Raster operations of Draw, CopyRect and StretchDraw (ternary codes of the
/// platform; P is the brush colour, S the source, D the destination).
using TCopyMode = int32_t;
constexpr TCopyMode cmBlackness = 0x00000042;
constexpr TCopyMode cmDstInvert = 0x00550009;
constexpr TCopyMode cmMergeCopy = 0x00C000CA;
constexpr TCopyMode cmMergePaint = 0x00BB0226;
constexpr TCopyMode cmNotSrcCopy = 0x00330008;
constexpr TCopyMode cmNotSrcErase = 0x001100A6;
constexpr TCopyMode cmPatCopy = 0x00F00021;
constexpr TCopyMode cmPatInvert = 0x005A0049;
constexpr TCopyMode cmPatPaint = 0x00FB0A09;
constexpr TCopyMode cmSrcAnd = 0x008800C6;
constexpr TCopyMode cmSrcCopy = 0x00CC0020;
constexpr TCopyMode cmSrcErase = 0x00440328;
constexpr TCopyMode cmSrcInvert = 0x00660046;
constexpr TCopyMode cmSrcPaint = 0x00EE0086;
constexpr TCopyMode cmWhiteness = 0x00FF0062;

/// The pen of a canvas. Setters fire OnChange when the value changes.
class TPen : public TPersistent {
public:
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  /// Width in pixels (values below 1 count as 1); wider pens draw a centred
  /// square per line pixel and are always solid.
  int32_t Width() const { return FWidth; }
  void SetWidth(int32_t Value);
  TPenStyle Style() const { return FStyle; }
  void SetStyle(TPenStyle Value);
  TPenMode Mode() const { return FMode; }
  void SetMode(TPenMode Value);
  void Assign(const TPersistent& Source) override;
  TNotifyEvent OnChange;

private:
  void Changed();
  TColor FColor = clBlack;
  int32_t FWidth = 1;
  TPenStyle FStyle = psSolid;
  TPenMode FMode = pmCopy;
};

/// The brush of a canvas. Setters fire OnChange when the value changes.
class TBrush : public TPersistent {
public:
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TBrushStyle Style() const { return FStyle; }
  void SetStyle(TBrushStyle Value);
  void Assign(const TPersistent& Source) override;
  TNotifyEvent OnChange;

private:
  void Changed();
  TColor FColor = clWhite;
  TBrushStyle FStyle = bsSolid;
};

/// Value Pixels gives outside the bitmap or the clip rectangle (-1).
constexpr TColor PixelOutside = 0xFFFFFFFFu;

/// Draws on a bitmap, or on a sub-rectangle of it with the origin at the
/// sub-rectangle's top-left and the clip inside it.
class TCanvas : public TPersistent {
public:
  explicit TCanvas(TBitmap& Surface);
  TCanvas(TBitmap& Surface, const TRect& Area);
  ~TCanvas() override;

  TPen& Pen() { return *FPen; }
  TBrush& Brush() { return *FBrush; }
  TFont& Font() { return *FFont; }
  TBitmap& Surface() { return FSurface; }

  TPoint PenPos() const { return FPenPos; }
  void SetPenPos(const TPoint& Value) { FPenPos = Value; }
  TCopyMode CopyMode() const { return FCopyMode; }
  void SetCopyMode(TCopyMode Value) { FCopyMode = Value; }
  TStretchMode StretchMode() const { return FStretchMode; }
  void SetStretchMode(TStretchMode Value) { FStretchMode = Value; }

  /// Logical position of the surface pixel (0, 0) is -Origin.
  TPoint Origin() const { return FOrigin; }
  void SetOrigin(const TPoint& Value) { FOrigin = Value; }
  /// The clip rectangle in logical coordinates (always inside the surface).
  TRect ClipRect() const;
  /// Narrows the clip rectangle to its intersection with R (logical).
  void IntersectClipRect(const TRect& R);
  /// Widens the clip rectangle back to the canvas's whole area.
  void ResetClipRect();

  // Rectangles.
  void FillRect(const TRect& R);
  void FrameRect(const TRect& R);
  void InvertRect(const TRect& R);
  void DrawFocusRect(const TRect& R);
  void Rectangle(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2);
  void Rectangle(const TRect& R) { Rectangle(R.Left, R.Top, R.Right, R.Bottom); }

  // Lines and shapes.
  void MoveTo(int32_t X, int32_t Y) { FPenPos = Point(X, Y); }
  void LineTo(int32_t X, int32_t Y);
  void Polyline(const std::vector<TPoint>& Points);
  void Polygon(const std::vector<TPoint>& Points);
  void Ellipse(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2);
  void Ellipse(const TRect& R) { Ellipse(R.Left, R.Top, R.Right, R.Bottom); }
  /// The part of the ellipse's outline from the radial through (X3, Y3)
  /// counter-clockwise to the radial through (X4, Y4).
  void Arc(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3, int32_t X4,
           int32_t Y4);
  /// The sector between the same radials: filled with the brush, outlined
  /// by the arc and the two radii.
  void Pie(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3, int32_t X4,
           int32_t Y4);

  // Pixels.
  /// Colour of a pixel, PixelOutside outside the surface or the clip.
  TColor Pixels(int32_t X, int32_t Y) const;
  /// Sets a pixel (ignored outside the surface or the clip).
  void SetPixels(int32_t X, int32_t Y, TColor Color);
  /// Fills the 4-connected region around (X, Y) inside the clip with the
  /// brush: fsSurface the pixels of Color, fsBorder the pixels that are not Color.
  void FloodFill(int32_t X, int32_t Y, TColor Color, TFillStyle FillStyle);

  // Pictures.
  /// Copies Picture with its top-left at (X, Y) by CopyMode; a Transparent
  /// picture skips its transparent colour.
  void Draw(int32_t X, int32_t Y, const TBitmap& Picture);
  /// Stretches Picture into R (StretchMode, CopyMode, transparency as Draw).
  void StretchDraw(const TRect& R, const TBitmap& Picture);
  /// Stretches the part Source of a canvas (this one too) into Dest by
  /// StretchMode and CopyMode; a rectangle reversed on one side mirrors.
  void CopyRect(const TRect& Dest, TCanvas& Canvas, const TRect& Source);

  // Text (UTF-8; invalid bytes read as Latin-1).
  /// Draws text with (X, Y) the top-left of its TextWidth x TextHeight cell;
  /// a solid brush fills the cell first. Rotation by Font.Orientation about (X, Y).
  void TextOut(int32_t X, int32_t Y, const std::string& Text);
  /// As TextOut, but clipped to R; a solid brush fills all of R.
  void TextRect(const TRect& R, int32_t X, int32_t Y, const std::string& Text);
  int32_t TextWidth(const std::string& Text);
  int32_t TextHeight(const std::string& Text);
  TSize TextExtent(const std::string& Text);

  /// Copies pen, brush, font, copy and stretch mode of another canvas.
  void Assign(const TPersistent& Source) override;

private:
  using TDeviceRect = raster::TDeviceRect;
  using TSpanSet = raster::TSpanSet;

  TDeviceRect AreaRect() const;
  TDeviceRect DeviceClip() const;
  int64_t DeviceX(int32_t X) const { return int64_t{X} + FOrigin.X; }
  int64_t DeviceY(int32_t Y) const { return int64_t{Y} + FOrigin.Y; }
  uint32_t& PixelAt(int64_t X, int64_t Y);
  void PaintSpans(const TSpanSet& Spans, TColor Color, bool UsePenMode);
  void PaintSpan(int64_t Y, int64_t X0, int64_t X1, uint32_t Pixel, bool UsePenMode);
  bool PenVisible() const;
  bool ThinPen() const;
  void DrawThinLine(int64_t X0, int64_t Y0, int64_t X1, int64_t Y1, int64_t& DashPhase);
  void AddLine(TSpanSet& Spans, int64_t X0, int64_t Y0, int64_t X1, int64_t Y1,
               int64_t& DashPhase) const;
  void AddPath(TSpanSet& Spans, const std::vector<TPoint>& Points, bool Closed) const;
  void DrawShape(TSpanSet& Outline, TSpanSet& Interior);
  void EllipseSpans(int64_t L, int64_t T, int64_t R, int64_t B, TSpanSet& Outline,
                    TSpanSet& Interior) const;
  void ArcOrPie(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3,
                int32_t X4, int32_t Y4, bool IsPie);
  void BlitStretched(const TDeviceRect& Dest, bool MirrorX, bool MirrorY, const TBitmap& Picture,
                     const TDeviceRect& Source, bool Transparent, TColor TransparentColor);
  void DrawText(int32_t X, int32_t Y, const std::string& Text, const TRect* Clip, bool FillClip);

  TBitmap& FSurface;
  bool FWholeSurface;
  TRect FArea;  ///< surface coordinates, when not the whole surface
  TRect FClip;  ///< narrowed clip in surface coordinates
  TPoint FOrigin;
  std::unique_ptr<TPen> FPen;
  std::unique_ptr<TBrush> FBrush;
  std::unique_ptr<TFont> FFont;
  TPoint FPenPos;
  TCopyMode FCopyMode = cmSrcCopy;
  TStretchMode FStretchMode = smNearest;
};

}  // namespace vexa
