// Pixels, flood fill, clipping and picture copies (copy modes, transparency,
// stretching).
#include <functional>

#include "GraphicsTestSupport.h"

namespace vexa {
namespace {

using testing::ColorAt;
using testing::MakeBitmap;
using testing::PixelsOf;
using testing::RectPixels;

TEST(CanvasPixelsTest, PixelsOutsideTheBitmapOrClipReadMinusOneAndIgnoreWrites) {
  TBitmap bmp;
  MakeBitmap(bmp, 10, 10, clAqua);
  TCanvas& canvas = bmp.Canvas();
  canvas.SetPixels(3, 4, clRed);
  EXPECT_EQ(canvas.Pixels(3, 4), clRed);
  EXPECT_EQ(canvas.Pixels(10, 0), PixelOutside);
  EXPECT_EQ(canvas.Pixels(-1, 0), PixelOutside);
  canvas.IntersectClipRect(Rect(2, 2, 5, 5));
  EXPECT_EQ(canvas.Pixels(5, 4), PixelOutside);
  canvas.SetPixels(5, 4, clRed);
  canvas.SetPixels(INT32_MIN, INT32_MAX, clRed);
  EXPECT_EQ(PixelsOf(bmp, clRed).size(), 1u);
  EXPECT_EQ(canvas.ClipRect(), Rect(2, 2, 5, 5));
  canvas.ResetClipRect();
  EXPECT_EQ(canvas.ClipRect(), Rect(0, 0, 10, 10));
}

TEST(CanvasPixelsTest, SubRectangleCanvasHasItsOriginAndClip) {
  TBitmap bmp;
  MakeBitmap(bmp, 30, 30);
  TCanvas part(bmp, Rect(10, 5, 20, 25));
  part.Brush().SetColor(clRed);
  part.FillRect(Rect(-100, -100, 100, 100));
  EXPECT_EQ(PixelsOf(bmp, clRed), RectPixels(10, 5, 20, 25));
  EXPECT_EQ(part.ClipRect(), Rect(0, 0, 10, 20));
  part.SetPixels(0, 0, clBlue);
  EXPECT_EQ(ColorAt(bmp, 10, 5), clBlue);
}

TEST(CanvasFloodFillTest, SurfaceAndBorderStylesFillFourConnectedRegions) {
  TBitmap bmp;
  MakeBitmap(bmp, 12, 12);
  TCanvas& canvas = bmp.Canvas();
  canvas.Brush().SetStyle(bsClear);
  canvas.Rectangle(1, 1, 8, 8);          // black frame around 6x6 white cells
  canvas.SetPixels(8, 8, clBlack);       // touches the frame corner diagonally only
  canvas.Brush().SetStyle(bsSolid);
  canvas.Brush().SetColor(clRed);
  canvas.FloodFill(4, 4, clWhite, fsSurface);
  EXPECT_EQ(PixelsOf(bmp, clRed), RectPixels(2, 2, 7, 7));
  // Border style: everything that is not black, starting outside the frame.
  canvas.Brush().SetColor(clLime);
  canvas.FloodFill(0, 0, clBlack, fsBorder);
  EXPECT_EQ(PixelsOf(bmp, clLime).size(), 144u - 24u - 1u - 25u);
  EXPECT_EQ(PixelsOf(bmp, clRed).size(), 25u);
  // A fill colour equal to the surface ends at once and changes nothing.
  TBitmap before;
  before.Assign(bmp);
  canvas.Brush().SetColor(clRed);
  canvas.FloodFill(4, 4, clRed, fsSurface);
  EXPECT_TRUE(testing::SamePixels(bmp, before));
  // The same for the border style: the fill colour is the border colour.
  canvas.Brush().SetColor(clBlack);
  canvas.FloodFill(0, 0, clBlack, fsBorder);
  EXPECT_EQ(PixelsOf(bmp, clLime).size(), 0u);
  EXPECT_EQ(PixelsOf(bmp, clRed).size(), 25u);
}

TEST(CanvasFloodFillTest, StaysInsideTheClipAndHandlesLargeRegions) {
  TBitmap bmp;
  MakeBitmap(bmp, 4096, 4096);
  TCanvas& canvas = bmp.Canvas();
  canvas.Brush().SetColor(clRed);
  canvas.FloodFill(2000, 3000, clWhite, fsSurface);
  EXPECT_EQ(ColorAt(bmp, 0, 0), clRed);
  EXPECT_EQ(ColorAt(bmp, 4095, 4095), clRed);
  size_t red = 0;
  for (int32_t y = 0; y < 4096; ++y)
    for (int32_t x = 0; x < 4096; ++x) red += bmp.ScanLine(y)[x] == ColorToPixel(clRed);
  EXPECT_EQ(red, 4096u * 4096u);
  MakeBitmap(bmp, 20, 20);
  canvas.IntersectClipRect(Rect(5, 5, 10, 10));
  canvas.FloodFill(7, 7, clWhite, fsSurface);
  EXPECT_EQ(PixelsOf(bmp, clRed), RectPixels(5, 5, 10, 10));
  canvas.FloodFill(0, 0, clWhite, fsSurface);  // seed outside the clip
  EXPECT_EQ(PixelsOf(bmp, clRed).size(), 25u);
}

/// Every primitive drawn with a clip rectangle equals the unclipped drawing
/// inside the clip and leaves the rest untouched.
TEST(CanvasClipTest, EveryPrimitiveMatchesTheUnclippedDrawingInsideTheClip) {
  TBitmap picture;
  MakeBitmap(picture, 9, 7, clNavy);
  picture.Canvas().SetPixels(2, 2, clYellow);
  const std::vector<std::pair<const char*, std::function<void(TCanvas&)>>> primitives = {
      {"FillRect", [](TCanvas& c) { c.FillRect(Rect(3, 2, 27, 19)); }},
      {"FrameRect", [](TCanvas& c) { c.FrameRect(Rect(3, 2, 27, 19)); }},
      {"InvertRect", [](TCanvas& c) { c.InvertRect(Rect(3, 2, 27, 19)); }},
      {"DrawFocusRect", [](TCanvas& c) { c.DrawFocusRect(Rect(3, 2, 27, 19)); }},
      {"Rectangle", [](TCanvas& c) { c.Rectangle(3, 2, 27, 19); }},
      {"LineTo", [](TCanvas& c) { c.MoveTo(-5, 3); c.LineTo(31, 17); }},
      {"Polyline", [](TCanvas& c) { c.Polyline({{1, 1}, {28, 6}, {4, 18}, {20, 0}}); }},
      {"Polygon", [](TCanvas& c) { c.Polygon({{15, -4}, {33, 12}, {2, 22}}); }},
      {"Ellipse", [](TCanvas& c) { c.Ellipse(2, 1, 29, 21); }},
      {"Arc", [](TCanvas& c) { c.Arc(2, 1, 29, 21, 0, 0, 30, 20); }},
      {"Pie", [](TCanvas& c) { c.Pie(2, 1, 29, 21, 0, 0, 30, 20); }},
      {"Pixels", [](TCanvas& c) { for (int i = 0; i < 30; ++i) c.SetPixels(i, i % 20, clRed); }},
      {"FloodFill", [](TCanvas& c) { c.FloodFill(10, 10, clWhite, fsSurface); }},
      {"Draw", [&picture](TCanvas& c) { c.Draw(5, 4, picture); }},
      {"StretchDraw", [&picture](TCanvas& c) { c.StretchDraw(Rect(1, 2, 28, 19), picture); }},
      {"StretchDraw halftone", [&picture](TCanvas& c) { c.SetStretchMode(smHalftone); c.StretchDraw(Rect(1, 2, 28, 19), picture); }},
      {"TextOut", [](TCanvas& c) { c.Font().SetHeight(-14); c.TextOut(1, 1, "Wg|Wg|Wg"); }},
      {"TextOut rotated", [](TCanvas& c) { c.Font().SetHeight(-14); c.Font().SetOrientation(300); c.TextOut(2, 18, "Wg|Wg"); }},
      {"TextRect", [](TCanvas& c) { c.Font().SetHeight(-14); c.TextRect(Rect(3, 3, 25, 17), 4, 2, "Wg|Wg|Wg"); }},
  };
  SetFontFileOverride("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
  const TRect clip = Rect(6, 5, 17, 12);
  for (const auto& [name, draw] : primitives) {
    for (const int width : {1, 3}) {
      TBitmap full, clipped;
      MakeBitmap(full, 30, 20);
      MakeBitmap(clipped, 30, 20);
      for (TBitmap* b : {&full, &clipped}) {
        b->Canvas().Pen().SetWidth(width);
        b->Canvas().Brush().SetColor(clGreen);
      }
      draw(full.Canvas());
      clipped.Canvas().IntersectClipRect(clip);
      draw(clipped.Canvas());
      TBitmap expected;
      MakeBitmap(expected, 30, 20);
      for (int y = clip.Top; y < clip.Bottom; ++y)
        for (int x = clip.Left; x < clip.Right; ++x) expected.ScanLine(y)[x] = full.ScanLine(y)[x];
      EXPECT_TRUE(testing::BitmapsEqual(clipped, expected, std::string("clip_") + name))
          << name << " width " << width;
      EXPECT_FALSE(testing::SamePixels(full, expected)) << name << ": the drawing should reach outside the clip";
    }
  }
  SetFontFileOverride("");
}

TEST(CanvasCopyTest, CopyModesCombineEachChannel) {
  const TColor src = RGB(0x0F, 0x3C, 0x5A), dst = RGB(0x33, 0xCC, 0x99), brush = RGB(0xF0, 0x0F, 0x55);
  const struct {
    TCopyMode Mode;
    TColor Expected;
  } cases[] = {
      {cmSrcCopy, src},
      {cmSrcAnd, RGB(0x0F & 0x33, 0x3C & 0xCC, 0x5A & 0x99)},
      {cmSrcPaint, RGB(0x0F | 0x33, 0x3C | 0xCC, 0x5A | 0x99)},
      {cmSrcInvert, RGB(0x0F ^ 0x33, 0x3C ^ 0xCC, 0x5A ^ 0x99)},
      {cmNotSrcCopy, RGB(0xF0, 0xC3, 0xA5)},
      {cmDstInvert, RGB(0xCC, 0x33, 0x66)},
      {cmSrcErase, RGB(0x0F & 0xCC, 0x3C & 0x33, 0x5A & 0x66)},
      {cmMergeCopy, RGB(0x0F & 0xF0, 0x3C & 0x0F, 0x5A & 0x55)},
      {cmPatCopy, brush},
      {cmBlackness, clBlack},
      {cmWhiteness, clWhite},
  };
  TBitmap source;
  MakeBitmap(source, 3, 2, src);
  for (const auto& c : cases) {
    TBitmap bmp;
    MakeBitmap(bmp, 5, 4, dst);
    bmp.Canvas().SetCopyMode(c.Mode);
    bmp.Canvas().Brush().SetColor(brush);
    bmp.Canvas().Draw(1, 1, source);
    EXPECT_EQ(ColorAt(bmp, 2, 2), c.Expected) << std::hex << c.Mode;
    EXPECT_EQ(ColorAt(bmp, 0, 0), dst);
    EXPECT_EQ(PixelsOf(bmp, dst).size(), c.Expected == dst ? 20u : 14u);
  }
}

TEST(CanvasCopyTest, TransparentPicturesSkipTheirTransparentColour) {
  TBitmap sprite;
  MakeBitmap(sprite, 4, 3, clFuchsia);
  sprite.Canvas().SetPixels(1, 1, clBlue);
  sprite.Canvas().SetPixels(3, 0, clRed);
  sprite.SetTransparent(true);
  EXPECT_EQ(sprite.TransparentColor(), clFuchsia);  // bottom-left pixel in auto mode
  TBitmap bmp;
  MakeBitmap(bmp, 8, 8, clGray);
  bmp.Canvas().Draw(2, 2, sprite);
  EXPECT_EQ(PixelsOf(bmp, clGray).size(), 62u);
  EXPECT_EQ(ColorAt(bmp, 3, 3), clBlue);
  EXPECT_EQ(ColorAt(bmp, 5, 2), clRed);
  sprite.SetTransparentColor(clRed);
  EXPECT_EQ(sprite.TransparentMode(), tmFixed);
  MakeBitmap(bmp, 8, 8, clGray);
  bmp.Canvas().StretchDraw(Rect(0, 0, 8, 6), sprite);
  EXPECT_EQ(PixelsOf(bmp, clGray).size(), 64u - 44u);
}

TEST(CanvasStretchTest, NearestPicksSourceIndexByTheIndexTable) {
  // Destination d of D shows source ((2d + 1) S) div (2D), worked by hand.
  const struct {
    int S, D;
    std::vector<int> Index;
  } cases[] = {
      {3, 7, {0, 0, 1, 1, 1, 2, 2}},
      {7, 3, {1, 3, 5}},
      {4, 4, {0, 1, 2, 3}},
      {5, 2, {1, 3}},
      {2, 5, {0, 0, 1, 1, 1}},
  };
  for (const auto& c : cases) {
    TBitmap source;
    source.SetSize(c.S, 1);
    for (int i = 0; i < c.S; ++i) source.ScanLine(0)[i] = ColorToPixel(RGB(static_cast<uint8_t>(10 * i), 0, 0));
    TBitmap bmp;
    MakeBitmap(bmp, c.D, 2);
    bmp.Canvas().StretchDraw(Rect(0, 0, c.D, 2), source);
    TBitmap mirrored;
    MakeBitmap(mirrored, c.D, 1);
    mirrored.Canvas().StretchDraw(Rect(c.D, 0, 0, 1), source);
    for (int d = 0; d < c.D; ++d) {
      EXPECT_EQ(ColorAt(bmp, d, 1), RGB(static_cast<uint8_t>(10 * c.Index[d]), 0, 0)) << c.S << "->" << c.D;
      EXPECT_EQ(ColorAt(mirrored, c.D - 1 - d, 0), ColorAt(bmp, d, 1));
    }
  }
}

/// Independent reference of halftone shrinking: for every destination pixel
/// the exact area mean over the source pixels it covers, computed in 2-D.
TColor AreaMean(const TBitmap& Source, int Dw, int Dh, int X, int Y) {
  const double sx = double(Source.Width()) / Dw, sy = double(Source.Height()) / Dh;
  double sum[3] = {0, 0, 0}, area = 0;
  for (int j = 0; j < Source.Height(); ++j)
    for (int i = 0; i < Source.Width(); ++i) {
      const double ox = std::max(0.0, std::min((X + 1) * sx, i + 1.0) - std::max(X * sx, double(i)));
      const double oy = std::max(0.0, std::min((Y + 1) * sy, j + 1.0) - std::max(Y * sy, double(j)));
      const TColor c = ColorAt(Source, i, j);
      sum[0] += ox * oy * GetRValue(c);
      sum[1] += ox * oy * GetGValue(c);
      sum[2] += ox * oy * GetBValue(c);
      area += ox * oy;
    }
  return RGB(uint8_t(sum[0] / area + 0.5), uint8_t(sum[1] / area + 0.5), uint8_t(sum[2] / area + 0.5));
}

TEST(CanvasStretchTest, HalftoneAveragesWhenShrinkingAndInterpolatesWhenEnlarging) {
  TBitmap source;
  source.SetSize(23, 17);
  for (int y = 0; y < 17; ++y)
    for (int x = 0; x < 23; ++x)
      source.ScanLine(y)[x] = ColorToPixel(RGB(uint8_t(x * 11), uint8_t((x * y * 7) % 256), uint8_t(y * 15)));
  TBitmap small;
  MakeBitmap(small, 7, 5);
  small.Canvas().SetStretchMode(smHalftone);
  small.Canvas().StretchDraw(Rect(0, 0, 7, 5), source);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) {
      const TColor got = ColorAt(small, x, y), want = AreaMean(source, 7, 5, x, y);
      EXPECT_NEAR(GetRValue(got), GetRValue(want), 1) << x << "," << y;
      EXPECT_NEAR(GetGValue(got), GetGValue(want), 1) << x << "," << y;
      EXPECT_NEAR(GetBValue(got), GetBValue(want), 1) << x << "," << y;
    }
  // Enlarging 2 pixels (0 and 200 red) to 8: centres at (d + 1/2) / 4 - 1/2.
  TBitmap pair;
  pair.SetSize(2, 1);
  pair.ScanLine(0)[0] = ColorToPixel(RGB(0, 0, 0));
  pair.ScanLine(0)[1] = ColorToPixel(RGB(200, 0, 0));
  TBitmap wide;
  MakeBitmap(wide, 8, 1);
  wide.Canvas().SetStretchMode(smHalftone);
  wide.Canvas().StretchDraw(Rect(0, 0, 8, 1), pair);
  const int expected[8] = {0, 0, 25, 75, 125, 175, 200, 200};
  for (int d = 0; d < 8; ++d) EXPECT_NEAR(GetRValue(ColorAt(wide, d, 0)), expected[d], 1) << d;
}

TEST(CanvasStretchTest, HugeRectanglesCostOnlyTheVisiblePart) {
  TBitmap source;
  MakeBitmap(source, 16, 16, clRed);
  TBitmap bmp;
  MakeBitmap(bmp, 8, 8);
  for (const TStretchMode mode : {smNearest, smHalftone}) {
    bmp.Canvas().SetStretchMode(mode);
    bmp.Canvas().StretchDraw(Rect(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX), source);
    EXPECT_EQ(PixelsOf(bmp, clRed).size(), 64u);
    MakeBitmap(bmp, 8, 8);
    // A source rectangle far larger than the picture: only its pixels count.
    bmp.Canvas().CopyRect(Rect(0, 0, 8, 8), source.Canvas(), Rect(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX));
    MakeBitmap(bmp, 8, 8);
  }
}

TEST(CanvasCopyTest, CopyRectStretchesBetweenCanvasesAndWithinOne) {
  TBitmap a, b;
  MakeBitmap(a, 10, 10, clWhite);
  a.Canvas().Brush().SetColor(clRed);
  a.Canvas().FillRect(Rect(0, 0, 2, 2));
  MakeBitmap(b, 10, 10, clBlack);
  b.Canvas().CopyRect(Rect(4, 4, 8, 8), a.Canvas(), Rect(0, 0, 2, 2));
  EXPECT_EQ(PixelsOf(b, clRed), RectPixels(4, 4, 8, 8));
  // Overlapping copy inside one bitmap reads the picture as it was.
  a.Canvas().CopyRect(Rect(1, 1, 3, 3), a.Canvas(), Rect(0, 0, 2, 2));
  testing::TPixelSet expected = RectPixels(0, 0, 2, 2);
  for (const auto& p : RectPixels(1, 1, 3, 3)) expected.insert(p);
  EXPECT_EQ(PixelsOf(a, clRed), expected);
}

}  // namespace
}  // namespace vexa
