// vexa_render: draws the galleries of the graphics core into PNG files.
//
//   vexa_render [--out <folder>] [--font <file.ttf>] [--verify]
//
// Writes frames.png (DrawFrame styles 0-5), marks.png (marks 0-51, numbered),
// primitives.png (pens, shapes, copy and stretch modes) and text.png (text at
// 0, 45, 90, 180 and 270 degrees, plain and anti-aliased). Small pictures are
// enlarged four times. With --verify each file is read back and compared.
#include <string>
#include <vector>

#include "fundora/Vexa_vexabase.h"
#include "platform/graphics/Vexa_canvas.h"
#include "platform/graphics/Vexa_imagefiles.h"
#include "tools/PictureTool.h"

namespace {

using namespace vexa;

constexpr int kZoom = 4;
constexpr TColor kLight = RGB(255, 255, 255), kHighlight = RGB(192, 192, 192), kShadow = RGB(128, 128, 128),
                 kDarkShadow = RGB(64, 64, 64), kBorder = RGB(0, 0, 160);

void Clear(TBitmap& Bmp, int32_t W, int32_t H, TColor Color) {
  Bmp.SetPixelFormat(pf24bit);
  Bmp.SetSize(W, H);
  Bmp.Canvas().Brush().SetStyle(bsSolid);
  Bmp.Canvas().Brush().SetColor(Color);
  Bmp.Canvas().FillRect(Rect(0, 0, W, H));
}

/// The picture enlarged kZoom times, nearest neighbour, so pixels stay visible.
void Zoom(const TBitmap& Small, TBitmap& Large) {
  Large.SetPixelFormat(pf24bit);
  Large.SetSize(Small.Width() * kZoom, Small.Height() * kZoom);
  Large.Canvas().StretchDraw(Rect(0, 0, Large.Width(), Large.Height()), Small);
}

void Label(TCanvas& Canvas, int32_t X, int32_t Y, const std::string& Text) {
  Canvas.Brush().SetStyle(bsClear);
  Canvas.Font().SetColor(clBlack);
  Canvas.TextOut(X, Y, Text);
  Canvas.Brush().SetStyle(bsSolid);
}

void FrameSheet(TBitmap& Sheet) {
  TBitmap small;
  Clear(small, 6 * 18 + 2, 3 * 18 + 2, clSilver);
  const int32_t sizes[3] = {14, 2, 1};
  for (int style = 0; style <= 5; ++style)
    for (int row = 0; row < 3; ++row) {
      const int32_t x = 2 + style * 18, y = 2 + row * 18, s = sizes[row];
      DrawFrame(small.Canvas(), static_cast<TFrameStyle>(style), Rect(x, y, x + s - 1, y + s - 1), kLight, kHighlight,
                kShadow, kDarkShadow, kBorder);
    }
  TBitmap zoomed;
  Zoom(small, zoomed);
  Clear(Sheet, zoomed.Width(), zoomed.Height() + 20, clWhite);
  Sheet.Canvas().Draw(0, 20, zoomed);
  for (int style = 0; style <= 5; ++style) Label(Sheet.Canvas(), 8 + style * 18 * kZoom, 2, "style " + std::to_string(style));
}

void MarkSheet(TBitmap& Sheet) {
  // 13 columns x 4 rows of 13 x 13 cells, the marks in black, zoomed.
  TBitmap small;
  Clear(small, 13 * 13, 4 * 13, clWhite);
  for (int mark = 0; mark <= 51; ++mark)
    DrawMarkOnCanvas(small.Canvas(), mark, (mark % 13) * 13 + 6, (mark / 13) * 13 + 6, clBlack);
  TBitmap zoomed;
  Zoom(small, zoomed);
  Clear(Sheet, zoomed.Width(), zoomed.Height() + 4 * 14, clWhite);
  TCanvas& canvas = Sheet.Canvas();
  for (int row = 0; row < 4; ++row) {
    TBitmap band;
    band.SetSize(zoomed.Width(), 13 * kZoom);
    band.Canvas().CopyRect(Rect(0, 0, band.Width(), band.Height()), zoomed.Canvas(),
                           Rect(0, row * 13 * kZoom, zoomed.Width(), (row + 1) * 13 * kZoom));
    canvas.Draw(0, row * (13 * kZoom + 14) + 14, band);
    for (int col = 0; col < 13; ++col)
      Label(canvas, col * 13 * kZoom + 2, row * (13 * kZoom + 14), std::to_string(row * 13 + col));
  }
}

void PrimitiveSheet(TBitmap& Sheet) {
  Clear(Sheet, 640, 480, clWhite);
  TCanvas& c = Sheet.Canvas();
  // Pens: widths and dash styles.
  const TPenStyle styles[] = {psSolid, psDash, psDot, psDashDot, psDashDotDot};
  for (int k = 0; k < 5; ++k) {
    c.Pen().SetStyle(styles[k]);
    c.MoveTo(10, 20 + 12 * k);
    c.LineTo(200, 20 + 12 * k);
  }
  c.Pen().SetStyle(psSolid);
  for (int w = 1; w <= 5; ++w) {
    c.Pen().SetWidth(w);
    c.MoveTo(220 + 20 * w, 15);
    c.LineTo(300 + 20 * w, 75);
  }
  c.Pen().SetWidth(1);
  Label(c, 10, 2, "pen styles and widths");
  // Shapes.
  c.Brush().SetColor(clYellow);
  c.Rectangle(10, 100, 80, 160);
  c.Ellipse(90, 100, 180, 160);
  c.Polygon({{200, 160}, {240, 100}, {280, 160}, {210, 120}, {270, 120}});
  c.Brush().SetColor(clAqua);
  c.Pie(290, 100, 370, 160, 370, 130, 330, 100);
  c.Arc(380, 100, 460, 160, 460, 130, 380, 130);
  c.Pen().SetWidth(4);
  c.Brush().SetColor(clLime);
  c.Ellipse(480, 100, 620, 160);
  c.Pen().SetWidth(1);
  Label(c, 10, 82, "Rectangle, Ellipse, Polygon (even-odd), Pie, Arc, wide Ellipse");
  // Pen modes over a colour ramp: each shape drawn once.
  for (int x = 0; x < 620; ++x) {
    c.Pen().SetColor(RGB(uint8_t(x * 255 / 620), 128, uint8_t(255 - x * 255 / 620)));
    c.MoveTo(10 + x, 190);
    c.LineTo(10 + x, 250);
  }
  const TPenMode modes[] = {pmCopy, pmNot, pmXor, pmNotXor};
  for (int k = 0; k < 4; ++k) {
    c.Pen().SetMode(modes[k]);
    c.Pen().SetColor(clRed);
    c.Pen().SetWidth(3);
    c.Brush().SetColor(clBlue);
    c.Rectangle(20 + 150 * k, 195, 140 + 150 * k, 245);
  }
  c.Pen().SetMode(pmCopy);
  c.Pen().SetWidth(1);
  c.Pen().SetColor(clBlack);
  Label(c, 10, 172, "pen modes copy, not, xor, not-xor over a ramp");
  // Copy modes and stretching of a small picture.
  TBitmap tile;
  Clear(tile, 8, 8, RGB(0x0F, 0x3C, 0x5A));
  tile.Canvas().Brush().SetColor(RGB(0xF0, 0xC3, 0xA5));
  tile.Canvas().FillRect(Rect(0, 0, 4, 4));
  tile.Canvas().FillRect(Rect(4, 4, 8, 8));
  const TCopyMode copyModes[] = {cmSrcCopy, cmSrcAnd, cmSrcPaint, cmSrcInvert};
  for (int k = 0; k < 4; ++k) {
    c.Brush().SetColor(RGB(0x33, 0xCC, 0x99));
    c.FillRect(Rect(10 + 70 * k, 290, 74 + 70 * k, 354));
    c.SetCopyMode(copyModes[k]);
    c.StretchDraw(Rect(18 + 70 * k, 298, 66 + 70 * k, 346), tile);
  }
  c.SetCopyMode(cmSrcCopy);
  Label(c, 10, 272, "copy, and, or, xor");
  TBitmap photo;
  photo.SetSize(64, 48);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) photo.ScanLine(y)[x] = ColorToPixel(RGB(uint8_t(x * 4), uint8_t(y * 5), uint8_t((x ^ y) * 4)));
  c.SetStretchMode(smNearest);
  c.StretchDraw(Rect(300, 290, 460, 410), photo);
  c.SetStretchMode(smHalftone);
  c.StretchDraw(Rect(470, 290, 630, 410), photo);
  c.SetStretchMode(smNearest);
  Label(c, 300, 272, "stretch nearest, halftone");
}

void TextSheet(TBitmap& Sheet) {
  Clear(Sheet, 720, 420, clWhite);
  TCanvas& c = Sheet.Canvas();
  c.Font().SetHeight(-18);
  const int32_t angles[] = {0, 450, 900, 1800, 2700};
  for (int row = 0; row < 2; ++row) {
    c.Font().SetQuality(row == 0 ? fqNonAntialiased : fqAntialiased);
    for (int k = 0; k < 5; ++k) {
      const int32_t x = 70 + 140 * k, y = 100 + 200 * row;
      c.Font().SetOrientation(0);
      c.Pen().SetColor(clRed);
      c.MoveTo(x - 5, y);
      c.LineTo(x + 6, y);
      c.MoveTo(x, y - 5);
      c.LineTo(x, y + 6);
      c.Font().SetOrientation(angles[k]);
      c.Brush().SetColor(clCream);
      c.TextOut(x, y, "Vexa " + std::to_string(angles[k] / 10) + "\xC2\xB0");
    }
  }
  c.Font().SetOrientation(0);
  c.Font().SetQuality(fqDefault);
  c.Brush().SetStyle(bsClear);
  c.TextOut(10, 5, "Text at 0, 45, 90, 180, 270 degrees; top row plain, bottom row anti-aliased");
}

const tools::TSheet kSheets[] = {{"frames.png", FrameSheet}, {"marks.png", MarkSheet},
                                 {"primitives.png", PrimitiveSheet}, {"text.png", TextSheet}};

}  // namespace

int main(int argc, char** argv) { return vexa::tools::PictureToolMain(argc, argv, "vexa_render", "render", kSheets); }
