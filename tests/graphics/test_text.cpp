// Fonts and text with the font pinned to DejaVu Sans, so that the metrics
// depend only on that file. Reference advances and heights were read from
// the font's hmtx and OS/2 tables independently (16 px em: advance*16/2048
// rounded; ascent ceil(1901*16/2048) = 15, descent ceil(483*16/2048) = 4).
#include <thread>

#include "GraphicsTestSupport.h"

namespace vexa {
namespace {

using testing::ColorAt;
using testing::InkBox;
using testing::MakeBitmap;

constexpr const char* kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

class TextTest : public ::testing::Test {
protected:
  void SetUp() override { SetFontFileOverride(kDejaVu); }
  void TearDown() override { SetFontFileOverride(""); }
  /// A canvas with a 16-pixel black font on white.
  TCanvas& Prepare(TBitmap& Bitmap, int32_t W, int32_t H) {
    MakeBitmap(Bitmap, W, H, clWhite);
    TCanvas& canvas = Bitmap.Canvas();
    canvas.Font().SetHeight(-16);
    canvas.Font().SetColor(clBlack);
    return canvas;
  }
};

TEST_F(TextTest, FontSizeAndHeightFollowNinetySixDpi) {
  TFont font;
  int changes = 0;
  font.OnChange = [&](TObject*) { ++changes; };
  font.SetSize(8);
  EXPECT_EQ(font.Height(), -11);
  font.SetSize(12);
  EXPECT_EQ(font.Height(), -16);
  EXPECT_EQ(font.Size(), 12);
  font.SetSize(12);
  EXPECT_EQ(changes, 1);  // size 8 is the default height -11
  TFont copy;
  font.SetStyle(FontStyleBit(fsBold) | FontStyleBit(fsUnderline));
  font.SetOrientation(450);
  copy.Assign(font);
  EXPECT_EQ(copy.Style(), font.Style());
  EXPECT_EQ(copy.Orientation(), 450);
  EXPECT_EQ(copy.Height(), -16);
}

TEST_F(TextTest, MetricsComeFromTheFontFile) {
  TBitmap bmp;
  TCanvas& canvas = Prepare(bmp, 10, 10);
  EXPECT_EQ(canvas.TextWidth("Hello"), 40);
  EXPECT_EQ(canvas.TextWidth("W"), 16);
  EXPECT_EQ(canvas.TextHeight("Hello"), 19);
  EXPECT_EQ(canvas.TextHeight(""), 19);
  EXPECT_EQ(canvas.TextExtent("i"), (TSize{4, 19}));
  // The width is the sum of the character widths: no kerning.
  int sum = 0;
  for (const char* c : {"A", "V", "A", "T", "o"}) sum += canvas.TextWidth(c);
  EXPECT_EQ(canvas.TextWidth("AVATo"), sum);
  // UTF-8, and bytes that are not UTF-8 read as Latin-1.
  EXPECT_EQ(canvas.TextWidth("\xC3\xA9"), 10);
  EXPECT_EQ(canvas.TextWidth("\xE9"), 10);
  canvas.Font().SetHeight(-11);
  EXPECT_EQ(canvas.TextHeight("x"), 14);
}

TEST_F(TextTest, SolidBrushFillsExactlyTheCellAndPlainTextHasTwoColours) {
  TBitmap bmp;
  TCanvas& canvas = Prepare(bmp, 80, 40);
  canvas.Brush().SetColor(clYellow);
  canvas.TextOut(7, 9, "Hello");
  EXPECT_EQ(InkBox(bmp, clWhite), Rect(7, 9, 47, 28));
  EXPECT_EQ(testing::ColorCount(bmp), 3u);  // white, yellow cell, black ink
  EXPECT_EQ(canvas.PenPos(), Point(47, 9));
  // Anti-aliased text has shades between ink and brush.
  canvas.Font().SetQuality(fqAntialiased);
  canvas.TextOut(7, 9, "Hello");
  EXPECT_GT(testing::ColorCount(bmp), 4u);
  EXPECT_EQ(InkBox(bmp, clWhite), Rect(7, 9, 47, 28));
}

TEST_F(TextTest, ClearBrushChangesOnlyInkPixels) {
  TBitmap bmp;
  TCanvas& canvas = Prepare(bmp, 80, 40);
  canvas.Brush().SetStyle(bsClear);
  canvas.Font().SetColor(clRed);
  canvas.TextOut(5, 5, "Wave");
  EXPECT_EQ(testing::ColorCount(bmp), 2u);
  const TRect ink = InkBox(bmp, clWhite);
  EXPECT_GE(ink.Left, 5);
  EXPECT_GE(ink.Top, 5);
  EXPECT_LE(ink.Right, 5 + canvas.TextWidth("Wave"));
  EXPECT_LE(ink.Bottom, 5 + 19);
  EXPECT_GT(ink.Width() * ink.Height(), 100);
}

TEST_F(TextTest, RotatedInkBoxesAreTheUnrotatedBoxRotated) {
  auto inkOf = [&](int32_t orientation, int32_t& w, int32_t& h) {
    TBitmap bmp;
    TCanvas& canvas = Prepare(bmp, 120, 120);
    canvas.Brush().SetStyle(bsClear);
    canvas.Font().SetOrientation(orientation);
    canvas.TextOut(60, 60, "Rotate");
    w = canvas.TextWidth("Rotate");
    h = canvas.TextHeight("Rotate");
    return InkBox(bmp, clWhite);
  };
  int32_t w = 0, h = 0;
  const TRect flat = inkOf(0, w, h);
  ASSERT_FALSE(flat.IsEmpty());
  // Offsets of the flat ink box from the anchor (60, 60).
  const int32_t l = flat.Left - 60, t = flat.Top - 60, r = flat.Right - 60, b = flat.Bottom - 60;
  auto near = [](const TRect& got, const TRect& want) {
    return std::abs(got.Left - want.Left) <= 1 && std::abs(got.Top - want.Top) <= 1 &&
           std::abs(got.Right - want.Right) <= 1 && std::abs(got.Bottom - want.Bottom) <= 1;
  };
  // 90 degrees counter-clockwise: (u, v) -> (v, -u).
  const TRect up = inkOf(900, w, h);
  EXPECT_TRUE(near(up, Rect(60 + t, 60 - r, 60 + b, 60 - l)))
      << up.Left << "," << up.Top << "," << up.Right << "," << up.Bottom;
  // 180 degrees: (u, v) -> (-u, -v).
  const TRect down = inkOf(1800, w, h);
  EXPECT_TRUE(near(down, Rect(60 - r, 60 - b, 60 - l, 60 - t)))
      << down.Left << "," << down.Top << "," << down.Right << "," << down.Bottom;
  // 270 degrees: (u, v) -> (-v, u).
  const TRect side = inkOf(2700, w, h);
  EXPECT_TRUE(near(side, Rect(60 - b, 60 + l, 60 - t, 60 + r)));
  // A rotated solid cell covers the rotated cell rectangle.
  TBitmap bmp;
  TCanvas& canvas = Prepare(bmp, 120, 120);
  canvas.Brush().SetColor(clAqua);
  canvas.Font().SetOrientation(900);
  canvas.TextOut(60, 60, "Rotate");
  EXPECT_EQ(InkBox(bmp, clWhite), Rect(60, 60 - w, 60 + h, 60));
}

TEST_F(TextTest, TextRectFillsAndStaysInsideItsRectangle) {
  TBitmap bmp;
  TCanvas& canvas = Prepare(bmp, 60, 30);
  canvas.Brush().SetColor(clSilver);
  const TRect box = Rect(10, 5, 30, 15);
  canvas.TextRect(box, 12, 3, "Clipped text");
  EXPECT_EQ(InkBox(bmp, clWhite), box);
  EXPECT_EQ(testing::PixelsOf(bmp, clBlack).empty(), false);
  // A clear brush: ink only, still inside.
  MakeBitmap(bmp, 60, 30, clWhite);
  canvas.Brush().SetStyle(bsClear);
  canvas.TextRect(box, 0, 0, "Clipped text");
  const TRect ink = InkBox(bmp, clWhite);
  EXPECT_TRUE(ink.Left >= box.Left && ink.Top >= box.Top && ink.Right <= box.Right && ink.Bottom <= box.Bottom);
}

TEST_F(TextTest, StylesAndUnknownNamesStillDraw) {
  TBitmap bmp;
  TCanvas& canvas = Prepare(bmp, 80, 30);
  canvas.Brush().SetStyle(bsClear);
  canvas.TextOut(2, 2, "Hello");
  const size_t plain = testing::PixelsOf(bmp, clBlack).size();
  MakeBitmap(bmp, 80, 30, clWhite);
  canvas.Font().SetStyle(FontStyleBit(fsBold));
  canvas.TextOut(2, 2, "Hello");
  EXPECT_GT(testing::PixelsOf(bmp, clBlack).size(), plain);
  MakeBitmap(bmp, 80, 30, clWhite);
  canvas.Font().SetStyle(FontStyleBit(fsUnderline));
  canvas.TextOut(2, 2, "Hello");
  // The underline runs under the whole text.
  bool fullRow = false;
  for (int y = 2; y < 2 + 19; ++y) {
    int count = 0;
    for (int x = 2; x < 42; ++x) count += ColorAt(bmp, x, y) == clBlack;
    fullRow = fullRow || count == 40;
  }
  EXPECT_TRUE(fullRow);
}

TEST_F(TextTest, CanvasesOnSeveralThreadsShareTheGlyphCache) {
  auto draw = [](int32_t height, TBitmap& bmp) {
    MakeBitmap(bmp, 200, 60, clWhite);
    bmp.Canvas().Font().SetHeight(height);
    bmp.Canvas().Font().SetQuality(fqAntialiased);
    bmp.Canvas().TextOut(1, 1, "Threads \xC3\xA4\xC3\xB6\xC3\xBC 0123456789");
  };
  TBitmap expected[4];
  for (int k = 0; k < 4; ++k) draw(-10 - 3 * k, expected[k]);
  std::vector<std::thread> threads;
  bool same[4] = {true, true, true, true};
  for (int k = 0; k < 4; ++k)
    threads.emplace_back([&, k] {
      for (int round = 0; round < 20; ++round) {
        TBitmap bmp;
        draw(-10 - 3 * k, bmp);
        same[k] = same[k] && testing::SamePixels(bmp, expected[k]);
      }
    });
  for (auto& t : threads) t.join();
  for (int k = 0; k < 4; ++k) EXPECT_TRUE(same[k]) << k;
}

TEST(FontFileTest, NamesResolveThroughFontconfigAndMissingFilesRaise) {
  SetFontFileOverride("");
  for (const char* name : {"MS Sans Serif", "Arial", "Courier New", "No Such Font Family"})
    EXPECT_FALSE(ResolveFontFile(name, 0).empty()) << name;
  SetFontFileOverride("/nonexistent/font.ttf");
  TBitmap bmp;
  bmp.SetSize(4, 4);
  EXPECT_THROW(bmp.Canvas().TextWidth("x"), EInvalidGraphic);
  EXPECT_THROW(bmp.Canvas().TextOut(0, 0, "x"), EInvalidGraphic);
  SetFontFileOverride("");
}

}  // namespace
}  // namespace vexa
