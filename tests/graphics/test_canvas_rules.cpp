// Pixel rules of the rectangle, line and shape primitives.
#include <cmath>
#include <functional>

#include "GraphicsTestSupport.h"

namespace vexa {
namespace {

using testing::ColorAt;
using testing::MakeBitmap;
using testing::PixelsOf;
using testing::RectPixels;
using testing::TPixelSet;

TPixelSet Union(TPixelSet a, const TPixelSet& b) {
  a.insert(b.begin(), b.end());
  return a;
}

TEST(CanvasRectTest, FillFrameAndRectangleEdges) {
  enum TOp { opFill, opFrame, opRectangle };
  const TPixelSet none;
  const struct {
    const char* Name;
    TOp Op;
    TRect R;
    TPixelSet Pen, Brush;
  } cases[] = {
      {"fill", opFill, {2, 3, 7, 6}, none, RectPixels(2, 3, 7, 6)},
      {"fill 1x1", opFill, {4, 4, 5, 5}, none, {{4, 4}}},
      {"fill empty", opFill, {4, 4, 4, 9}, none, none},
      {"fill reversed", opFill, {7, 6, 2, 3}, none, none},
      {"frame", opFrame, {2, 3, 7, 6}, none,
       Union(Union(RectPixels(2, 3, 7, 4), RectPixels(2, 5, 7, 6)), Union(RectPixels(2, 3, 3, 6), RectPixels(6, 3, 7, 6)))},
      {"frame 1 wide", opFrame, {2, 3, 3, 6}, none, RectPixels(2, 3, 3, 6)},
      {"frame empty", opFrame, {2, 3, 2, 6}, none, none},
      {"frame reversed", opFrame, {7, 6, 2, 3}, none, none},
      {"rectangle", opRectangle, {2, 3, 7, 7},
       Union(Union(RectPixels(2, 3, 7, 4), RectPixels(2, 6, 7, 7)), Union(RectPixels(2, 3, 3, 7), RectPixels(6, 3, 7, 7))),
       RectPixels(3, 4, 6, 6)},
      {"rectangle reversed", opRectangle, {7, 7, 2, 3},
       Union(Union(RectPixels(2, 3, 7, 4), RectPixels(2, 6, 7, 7)), Union(RectPixels(2, 3, 3, 7), RectPixels(6, 3, 7, 7))),
       RectPixels(3, 4, 6, 6)},
      {"rectangle 1 wide", opRectangle, {2, 3, 3, 7}, RectPixels(2, 3, 3, 7), none},
      {"rectangle 2x2", opRectangle, {2, 3, 4, 5}, RectPixels(2, 3, 4, 5), none},
      {"rectangle empty", opRectangle, {2, 3, 2, 7}, none, none},
  };
  for (const auto& c : cases) {
    TBitmap bmp;
    MakeBitmap(bmp, 12, 12);
    TCanvas& canvas = bmp.Canvas();
    canvas.Pen().SetColor(clBlue);
    canvas.Brush().SetColor(clRed);
    switch (c.Op) {
      case opFill: canvas.FillRect(c.R); break;
      case opFrame: canvas.FrameRect(c.R); break;
      case opRectangle: canvas.Rectangle(c.R); break;
    }
    EXPECT_EQ(PixelsOf(bmp, clBlue), c.Pen) << c.Name;
    EXPECT_EQ(PixelsOf(bmp, clRed), c.Brush) << c.Name;
  }
}

TEST(CanvasRectTest, ClearBrushInvertAndFocusRect) {
  TBitmap bmp;
  MakeBitmap(bmp, 10, 10, clGreen);
  TCanvas& canvas = bmp.Canvas();
  canvas.Brush().SetStyle(bsClear);
  canvas.FillRect(Rect(0, 0, 10, 10));
  canvas.Rectangle(1, 1, 9, 9);  // outline only
  EXPECT_EQ(PixelsOf(bmp, clGreen).size(), 100u - 28u);
  canvas.InvertRect(Rect(0, 0, 1, 2));
  EXPECT_EQ(ColorAt(bmp, 0, 1), ColorToRGB(clGreen) ^ 0xFFFFFF);
  // A focus rectangle inverts every other border pixel; a second one removes it.
  TBitmap before;
  before.Assign(bmp);
  canvas.DrawFocusRect(Rect(2, 2, 8, 7));
  EXPECT_EQ(testing::PixelsNot(bmp, clGreen).size(), testing::PixelsNot(before, clGreen).size() + 9);
  canvas.DrawFocusRect(Rect(2, 2, 8, 7));
  EXPECT_TRUE(testing::BitmapsEqual(bmp, before, "focus_rect_twice"));
}

/// Reference line: for each step along the major axis the minor coordinate
/// is the rounded proportional share (halves away from the start), computed
/// in floating point.
TPixelSet ReferenceLine(int x0, int y0, int x1, int y1) {
  TPixelSet set;
  const int dx = x1 - x0, dy = y1 - y0;
  const int steps = std::max(std::abs(dx), std::abs(dy));
  for (int i = 0; i < steps; ++i) {
    const double t = static_cast<double>(i) / steps;
    const auto round = [](double v) { return static_cast<int>(std::floor(std::fabs(v) + 0.5)) * (v < 0 ? -1 : 1); };
    set.insert({x0 + round(t * dx), y0 + round(t * dy)});
  }
  return set;
}

TEST(CanvasLineTest, LineToLeavesOutTheEndPointInAllOctants) {
  const int ends[][2] = {{12, 5},  {5, 12},  {-5, 12}, {-12, 5},  {-12, -5}, {-5, -12}, {5, -12},
                         {12, -5}, {12, 0},  {0, 12},  {-12, 0},  {0, -12},  {9, 9},    {-9, 9},
                         {-9, -9}, {9, -9},  {12, 3},  {-7, 2},   {1, 0},    {0, -1},   {0, 0}};
  for (const auto& e : ends) {
    TBitmap bmp;
    MakeBitmap(bmp, 41, 41);
    TCanvas& canvas = bmp.Canvas();
    canvas.MoveTo(20, 20);
    canvas.LineTo(20 + e[0], 20 + e[1]);
    EXPECT_EQ(PixelsOf(bmp, clBlack), ReferenceLine(20, 20, 20 + e[0], 20 + e[1])) << e[0] << "," << e[1];
    EXPECT_EQ(ColorAt(bmp, 20 + e[0], 20 + e[1]), clWhite);
    EXPECT_EQ(canvas.PenPos(), Point(20 + e[0], 20 + e[1]));
  }
}

TEST(CanvasLineTest, PolylineDrawsJointsOnceAndLeavesOutOnlyTheLastPoint) {
  TBitmap bmp;
  MakeBitmap(bmp, 16, 16);
  bmp.Canvas().Polyline({{2, 2}, {10, 2}, {10, 8}, {2, 12}});
  const TPixelSet expected =
      Union(Union(ReferenceLine(2, 2, 10, 2), ReferenceLine(10, 2, 10, 8)), ReferenceLine(10, 8, 2, 12));
  EXPECT_EQ(PixelsOf(bmp, clBlack), expected);
  EXPECT_TRUE(expected.count({10, 2}) && expected.count({10, 8}));
  EXPECT_EQ(ColorAt(bmp, 2, 12), clWhite);
}

TEST(CanvasLineTest, DashPatternsContinueAlongAPolyline) {
  TBitmap bmp;
  MakeBitmap(bmp, 40, 4);
  TCanvas& canvas = bmp.Canvas();
  canvas.Pen().SetStyle(psDot);
  canvas.Polyline({{0, 1}, {4, 1}, {30, 1}});
  std::string row;
  for (int x = 0; x < 30; ++x) row += ColorAt(bmp, x, 1) == clBlack ? '#' : '.';
  EXPECT_EQ(row, "###...###...###...###...###...");
  canvas.Pen().SetStyle(psDash);
  canvas.MoveTo(0, 2);
  canvas.LineTo(40, 2);
  row.clear();
  for (int x = 0; x < 40; ++x) row += ColorAt(bmp, x, 2) == clBlack ? '#' : '.';
  EXPECT_EQ(row, "##################......################");
}

TEST(CanvasLineTest, HugeCoordinatesCostOnlyTheVisiblePixels) {
  TBitmap bmp;
  MakeBitmap(bmp, 64, 64);
  TCanvas& canvas = bmp.Canvas();
  canvas.MoveTo(-1000000000, -1000000000);
  canvas.LineTo(1000000000, 1000000000);
  for (int i = 0; i < 64; ++i) EXPECT_EQ(ColorAt(bmp, i, i), clBlack) << i;
  EXPECT_EQ(PixelsOf(bmp, clBlack).size(), 64u);
  canvas.Pen().SetWidth(5);
  canvas.Pen().SetColor(clRed);
  canvas.MoveTo(INT32_MIN, 32);
  canvas.LineTo(INT32_MAX, 32);
  EXPECT_EQ(PixelsOf(bmp, clRed), RectPixels(0, 30, 64, 35));
  canvas.Polygon({{INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MIN}, {INT32_MAX, INT32_MAX}});
  canvas.Ellipse(-2000000000, -2000000000, 2000000000, 2000000000);
  canvas.Rectangle(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX);
}

TEST(CanvasShapeTest, WidePenDrawsACentredSquarePerLinePixel) {
  TBitmap bmp;
  MakeBitmap(bmp, 30, 30);
  TCanvas& canvas = bmp.Canvas();
  canvas.Pen().SetWidth(3);
  canvas.MoveTo(5, 5);
  canvas.LineTo(20, 12);
  TPixelSet expected;
  for (const auto& [x, y] : ReferenceLine(5, 5, 20, 12)) expected = Union(expected, RectPixels(x - 1, y - 1, x + 2, y + 2));
  EXPECT_EQ(PixelsOf(bmp, clBlack), expected);
}

TEST(CanvasShapeTest, EllipseFillsPixelCentresInsideItsBox) {
  for (const TRect box : {Rect(3, 4, 20, 13), Rect(0, 0, 1, 1), Rect(2, 2, 4, 9), Rect(20, 13, 3, 4)}) {
    TBitmap bmp;
    MakeBitmap(bmp, 24, 16);
    TCanvas& canvas = bmp.Canvas();
    canvas.Pen().SetStyle(psClear);
    canvas.Brush().SetColor(clRed);
    canvas.Ellipse(box);
    const double l = std::min(box.Left, box.Right), r = std::max(box.Left, box.Right);
    const double t = std::min(box.Top, box.Bottom), b = std::max(box.Top, box.Bottom);
    TPixelSet expected;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 24; ++x) {
        const double u = (x + 0.5 - (l + r) / 2) / ((r - l) / 2), v = (y + 0.5 - (t + b) / 2) / ((b - t) / 2);
        if (u * u + v * v <= 1) expected.insert({x, y});
      }
    EXPECT_EQ(PixelsOf(bmp, clRed), expected);
    // With a pen the outline takes the outer ring and the brush the rest.
    MakeBitmap(bmp, 24, 16);
    canvas.Pen().SetStyle(psSolid);
    canvas.Ellipse(box);
    EXPECT_EQ(Union(PixelsOf(bmp, clRed), PixelsOf(bmp, clBlack)), expected);
  }
}

TEST(CanvasShapeTest, PolygonFillsEvenOddPixelCentres) {
  TBitmap bmp;
  MakeBitmap(bmp, 40, 40);
  TCanvas& canvas = bmp.Canvas();
  canvas.Pen().SetStyle(psClear);
  canvas.Brush().SetColor(clRed);
  // A pentagram: its centre lies inside twice, so it stays empty.
  const std::vector<TPoint> star{{20, 2}, {31, 36}, {2, 14}, {38, 14}, {9, 36}};
  canvas.Polygon(star);
  EXPECT_EQ(ColorAt(bmp, 20, 20), clWhite);
  EXPECT_EQ(ColorAt(bmp, 20, 6), clRed);
  EXPECT_EQ(ColorAt(bmp, 5, 15), clRed);
  // A right triangle: exactly the centres below the diagonal.
  MakeBitmap(bmp, 40, 40);
  canvas.Polygon({{0, 0}, {10, 0}, {0, 10}});
  TPixelSet expected;
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x)
      if ((x + 0.5) + (y + 0.5) < 10) expected.insert({x, y});
  EXPECT_EQ(PixelsOf(bmp, clRed), expected);
}

TEST(CanvasShapeTest, NotAndXorPenModesRestoreThePictureWhenDrawnTwice) {
  const std::vector<std::function<void(TCanvas&)>> shapes = {
      [](TCanvas& c) { c.Polyline({{3, 3}, {30, 5}, {12, 25}, {3, 3}}); },
      [](TCanvas& c) { c.Polyline({{3, 3}, {30, 25}, {30, 3}, {3, 25}}); },
      [](TCanvas& c) { c.Rectangle(4, 4, 28, 20); },
      [](TCanvas& c) { c.Ellipse(2, 3, 29, 27); },
      [](TCanvas& c) { c.Polygon({{5, 2}, {28, 9}, {4, 27}}); },
      [](TCanvas& c) { c.Pie(2, 2, 28, 28, 28, 15, 15, 2); },
      [](TCanvas& c) { c.Arc(2, 2, 28, 28, 2, 15, 28, 15); },
      [](TCanvas& c) { c.MoveTo(1, 30); c.LineTo(30, 1); },
  };
  TBitmap original;
  original.SetSize(32, 32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) original.ScanLine(y)[x] = ColorToPixel(RGB(x * 8, y * 8, (x * y) & 0xFF));
  for (const TPenMode mode : {pmXor, pmNot, pmNotXor}) {
    for (const int width : {1, 4}) {
      for (size_t k = 0; k < shapes.size(); ++k) {
        TBitmap bmp;
        bmp.Assign(original);
        TCanvas& canvas = bmp.Canvas();
        canvas.Pen().SetMode(mode);
        canvas.Pen().SetWidth(width);
        canvas.Pen().SetColor(RGB(0x5A, 0xC3, 0x0F));
        canvas.Brush().SetColor(RGB(0x11, 0x22, 0xF0));
        shapes[k](canvas);
        EXPECT_FALSE(testing::SamePixels(bmp, original)) << "shape " << k;
        shapes[k](canvas);
        EXPECT_TRUE(testing::BitmapsEqual(bmp, original, "penmode_twice_" + std::to_string(k)))
            << "mode " << int(mode) << " width " << width << " shape " << k;
      }
    }
  }
}

TEST(CanvasShapeTest, FillRectAndFrameRectIgnoreThePenMode) {
  TBitmap bmp;
  MakeBitmap(bmp, 8, 8, clYellow);
  TCanvas& canvas = bmp.Canvas();
  canvas.Pen().SetMode(pmXor);
  canvas.Brush().SetColor(clBlue);
  canvas.FillRect(Rect(0, 0, 4, 4));
  canvas.FrameRect(Rect(4, 4, 8, 8));
  EXPECT_EQ(PixelsOf(bmp, clBlue).size(), 16u + 12u);
}

TEST(CanvasShapeTest, PieAndArcFollowTheRadialsCounterClockwise) {
  TBitmap bmp;
  MakeBitmap(bmp, 41, 41);
  TCanvas& canvas = bmp.Canvas();
  canvas.Brush().SetColor(clRed);
  // From the radial to the right counter-clockwise to the one upwards: the
  // upper right quarter.
  canvas.Pie(0, 0, 41, 41, 40, 20, 20, 0);
  EXPECT_EQ(ColorAt(bmp, 30, 10), clRed);
  EXPECT_EQ(ColorAt(bmp, 10, 10), clWhite);
  EXPECT_EQ(ColorAt(bmp, 10, 30), clWhite);
  EXPECT_EQ(ColorAt(bmp, 30, 30), clWhite);
  EXPECT_EQ(testing::InkBox(bmp, clWhite), Rect(20, 0, 41, 21));
  MakeBitmap(bmp, 41, 41);
  canvas.Arc(0, 0, 41, 41, 20, 0, 40, 20);  // the other three quarters
  EXPECT_EQ(ColorAt(bmp, 0, 20), clBlack);
  EXPECT_EQ(ColorAt(bmp, 20, 40), clBlack);
  EXPECT_EQ(ColorAt(bmp, 36, 6), clWhite);
}

}  // namespace
}  // namespace vexa
