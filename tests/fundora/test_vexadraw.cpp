// The drawing half of the base package: frames, rectangles, marks, name
// tables and the colour helpers.
#include <gtest/gtest.h>

#include <set>

#include "fundora/Vexa_vexabase.h"
#include "fundora/Vexa_vexacolors.h"

namespace vexa {
namespace {

constexpr TColor kLight = RGB(1, 1, 1), kHighlight = RGB(2, 2, 2), kShadow = RGB(3, 3, 3),
                 kDark = RGB(4, 4, 4), kBorder = RGB(5, 5, 5), kPaper = clWhite;

/// The picture as rows of letters: L, H, S, D, B for the five frame colours,
/// '.' for paper, '?' for anything else.
std::vector<std::string> Letters(const TBitmap& Bmp, int X0, int Y0, int W, int H) {
  std::vector<std::string> rows;
  for (int y = Y0; y < Y0 + H; ++y) {
    std::string row;
    for (int x = X0; x < X0 + W; ++x) {
      const TColor c = PixelToColor(Bmp.ScanLine(y)[x]);
      row += c == kLight ? 'L' : c == kHighlight ? 'H' : c == kShadow ? 'S' : c == kDark ? 'D'
           : c == kBorder ? 'B' : c == kPaper ? '.' : '?';
    }
    rows.push_back(row);
  }
  return rows;
}

void Paper(TBitmap& Bmp, int W, int H) {
  Bmp.SetSize(W, H);
  Bmp.Canvas().Brush().SetStyle(bsSolid);
  Bmp.Canvas().Brush().SetColor(kPaper);
  Bmp.Canvas().FillRect(Rect(0, 0, W, H));
}

/// Pen and brush settings that DrawFrame and friends must leave as they were.
void OddPenAndBrush(TCanvas& Canvas) {
  Canvas.Pen().SetColor(clFuchsia);
  Canvas.Pen().SetWidth(3);
  Canvas.Pen().SetStyle(psDot);
  Canvas.Pen().SetMode(pmXor);
  Canvas.Brush().SetColor(clOlive);
  Canvas.Brush().SetStyle(bsClear);
  Canvas.MoveTo(-7, 9);
}

void ExpectOddPenAndBrush(TCanvas& Canvas) {
  EXPECT_EQ(Canvas.Pen().Color(), clFuchsia);
  EXPECT_EQ(Canvas.Pen().Width(), 3);
  EXPECT_EQ(Canvas.Pen().Style(), psDot);
  EXPECT_EQ(Canvas.Pen().Mode(), pmXor);
  EXPECT_EQ(Canvas.Brush().Color(), clOlive);
  EXPECT_EQ(Canvas.Brush().Style(), bsClear);
  EXPECT_EQ(Canvas.PenPos(), Point(-7, 9));
}

TEST(DrawFrameTest, StyleMapOnSmallRectangles) {
  using Rows = std::vector<std::string>;
  const struct {
    int Style, Size;
    Rows Expected;
  } cases[] = {
      {1, 4, {"BBBB", "B..B", "B..B", "BBBB"}},
      {2, 4, {"SSSL", "SDHL", "SHHL", "LLLL"}},
      {3, 4, {"HHHD", "HLSD", "HSSD", "DDDD"}},
      {4, 4, {"LLL.", "LSLS", "LLLS", ".SSS"}},
      {5, 4, {"SSS.", "SLSL", "SSSL", ".LLL"}},
      {0, 4, {"....", "....", "....", "...."}},
      {6, 4, {"....", "....", "....", "...."}},
      {1, 2, {"BB", "BB"}},
      {2, 2, {"SL", "LL"}},
      {3, 2, {"HD", "DD"}},
      {4, 2, {"L.", ".S"}},
      {5, 2, {"S.", ".L"}},
      {1, 1, {"B"}},
      {2, 1, {"L"}},
      {3, 1, {"D"}},
      {4, 1, {"."}},
      {5, 1, {"."}},
  };
  for (const auto& c : cases) {
    TBitmap bmp;
    Paper(bmp, c.Size + 4, c.Size + 4);
    OddPenAndBrush(bmp.Canvas());
    DrawFrame(bmp.Canvas(), static_cast<TFrameStyle>(c.Style), Rect(2, 2, 2 + c.Size - 1, 2 + c.Size - 1), kLight,
              kHighlight, kShadow, kDark, kBorder);
    EXPECT_EQ(Letters(bmp, 2, 2, c.Size, c.Size), c.Expected) << "style " << c.Style << " size " << c.Size;
    // Nothing outside the rectangle.
    size_t paper = 0;
    for (const auto& row : Letters(bmp, 0, 0, c.Size + 4, c.Size + 4)) paper += std::count(row.begin(), row.end(), '.');
    size_t inside = 0;
    for (const auto& row : c.Expected) inside += std::count(row.begin(), row.end(), '.');
    EXPECT_EQ(paper, inside + (c.Size + 4) * (c.Size + 4) - c.Size * c.Size);
    ExpectOddPenAndBrush(bmp.Canvas());
  }
}

TEST(DrawFrameTest, DrawRectangleOutlinesAndFills) {
  TBitmap bmp;
  Paper(bmp, 7, 6);
  OddPenAndBrush(bmp.Canvas());
  DrawRectangle(bmp.Canvas(), Rect(1, 1, 5, 4), kBorder, kShadow);
  const std::vector<std::string> filled = {".......", ".BBBBB.", ".BSSSB.", ".BSSSB.", ".BBBBB.", "......."};
  EXPECT_EQ(Letters(bmp, 0, 0, 7, 6), filled);
  ExpectOddPenAndBrush(bmp.Canvas());
  Paper(bmp, 7, 6);
  DrawRectangle(bmp.Canvas(), Rect(1, 1, 5, 4), kBorder, clNone);
  const std::vector<std::string> outline = {".......", ".BBBBB.", ".B...B.", ".B...B.", ".BBBBB.", "......."};
  EXPECT_EQ(Letters(bmp, 0, 0, 7, 6), outline);
}

TEST(DrawMarkTest, MarksStayInTheirBoxAndDifferPairwise) {
  std::set<std::set<std::pair<int, int>>> shapes;
  for (int mark = 1; mark <= MarkCount; ++mark) {
    TBitmap bmp;
    Paper(bmp, 21, 21);
    OddPenAndBrush(bmp.Canvas());
    DrawMarkOnCanvas(bmp.Canvas(), mark, 10, 10, clRed);
    std::set<std::pair<int, int>> pixels;
    for (int y = 0; y < 21; ++y)
      for (int x = 0; x < 21; ++x)
        if (PixelToColor(bmp.ScanLine(y)[x]) != kPaper) {
          EXPECT_EQ(PixelToColor(bmp.ScanLine(y)[x]), clRed);
          EXPECT_TRUE(x >= 6 && x <= 14 && y >= 6 && y <= 14) << "mark " << mark << " at " << x << "," << y;
          pixels.insert({x, y});
        }
    EXPECT_FALSE(pixels.empty()) << mark;
    EXPECT_TRUE(shapes.insert(pixels).second) << "mark " << mark << " repeats an earlier shape";
    ExpectOddPenAndBrush(bmp.Canvas());
  }
  for (const int mark : {0, -1, 52, INT32_MIN}) {
    TBitmap bmp;
    Paper(bmp, 21, 21);
    DrawMarkOnCanvas(bmp.Canvas(), mark, 10, 10, clRed);
    for (const auto& row : Letters(bmp, 0, 0, 21, 21)) EXPECT_EQ(row, std::string(21, '.')) << mark;
  }
  // Near the coordinate limits nothing overflows.
  TBitmap bmp;
  Paper(bmp, 4, 4);
  DrawMarkOnCanvas(bmp.Canvas(), 10, INT32_MAX, INT32_MIN, clRed);
  DrawFrame(bmp.Canvas(), fsRaised, Rect(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX), kLight, kHighlight, kShadow, kDark, kBorder);
}

TEST(NameTableTest, MonthsAndWeekdaysInFourLanguages) {
  for (const TLanguage language : {lgEnglish, lgGerman, lgFrench, lgSpanish}) {
    std::set<std::string> shortNames, longNames, days;
    for (int m = 1; m <= 12; ++m) {
      shortNames.insert(MonthShort(language, m));
      longNames.insert(MonthLong(language, m));
    }
    for (int d = 0; d < 7; ++d) days.insert(WeekDayShort(language, d));
    EXPECT_EQ(shortNames.size(), 12u);
    EXPECT_EQ(longNames.size(), 12u);
    EXPECT_EQ(days.size(), 7u);
    EXPECT_FALSE(shortNames.count("") || longNames.count("") || days.count(""));
  }
  EXPECT_EQ(MonthLong(lgGerman, 3), "M\xC3\xA4rz");
  EXPECT_EQ(MonthLong(lgFrench, 8), "ao\xC3\xBBt");
  EXPECT_EQ(MonthShort(lgSpanish, 1), "ene");
  EXPECT_EQ(WeekDayShort(lgEnglish, 0), "Mo");
  EXPECT_EQ(WeekDayShort(lgGerman, 6), "So");
  EXPECT_EQ(MonthLong(lgNone, 12), "December");
  EXPECT_EQ(MonthLong(static_cast<TLanguage>(9), 1), "January");
  EXPECT_EQ(MonthShort(lgEnglish, 0), "");
  EXPECT_EQ(MonthShort(lgEnglish, 13), "");
  EXPECT_EQ(WeekDayShort(lgEnglish, 7), "");
  EXPECT_EQ(WeekDayShort(lgEnglish, -1), "");
}

TEST(VexaColorsTest, PredefinedColorsInOrder) {
  EXPECT_EQ(PredefinedColors[0], clBlack);
  EXPECT_EQ(PredefinedColors[8], clSilver);
  EXPECT_EQ(PredefinedColors[15], clWhite);
  EXPECT_EQ(PredefinedColors[16], clMoneyGreen);
  EXPECT_EQ(PredefinedColors[19], clMedGray);
  EXPECT_EQ(PredefinedColors[20], clScrollBar);
  EXPECT_EQ(PredefinedColors[44], clInfoBk);
  EXPECT_EQ(PredefinedColors[45], clHotLight);
  EXPECT_EQ(PredefinedColors[46], clGradientActiveCaption);
  EXPECT_EQ(std::set<TColor>(PredefinedColors.begin(), PredefinedColors.end()).size(), 47u);
}

TEST(VexaColorsTest, ColorArrayIsOneBased) {
  TColorArray colors;
  EXPECT_EQ(colors.NumColors(), 0);
  colors.SetNumColors(3);
  colors.SetColorElem(1, clRed);
  colors.SetColorElem(3, clBlue);
  colors.SetColorElem(4, clLime);
  colors.SetColorElem(0, clLime);
  EXPECT_EQ(colors.GetColorElem(1), clRed);
  EXPECT_EQ(colors.GetColorElem(2), clBlack);
  EXPECT_EQ(colors.GetColorElem(3), clBlue);
  EXPECT_EQ(colors.GetColorElem(0), 0u);
  EXPECT_EQ(colors.GetColorElem(4), 0u);
  TColorArray copy;
  copy.Assign(colors);
  EXPECT_EQ(copy.GetColorElem(3), clBlue);
  colors.SetNumColors(-5);
  EXPECT_EQ(colors.NumColors(), 0);
}

TEST(VexaColorsTest, MeanGrayAndHsiSpotValues) {
  EXPECT_EQ(MeanColor(clRed, clBlue), RGB(127, 0, 127));
  EXPECT_EQ(MeanColor(clBtnFace, clWhite), RGB(247, 247, 247));
  EXPECT_EQ(MeanColor(clBlack, clBlack), clBlack);
  // 0.299 R + 0.587 G + 0.114 B, exact values worked out in fractions.
  EXPECT_EQ(RGBToGray(clRed), 76);     // 76.245
  EXPECT_EQ(RGBToGray(clLime), 150);   // 149.685
  EXPECT_EQ(RGBToGray(clBlue), 29);    // 29.07
  EXPECT_EQ(RGBToGray(clWhite), 255);
  EXPECT_EQ(RGBToGray(RGB(1, 123, 0)), 72);  // 72.5: tie to even
  EXPECT_EQ(RGBToGray(RGB(3, 123, 0)), 73);  // 73.098
  const struct {
    TColor Color;
    double H, S, I;
  } cases[] = {
      {clRed, 0, 1, 1.0 / 3},           {clLime, 120, 1, 1.0 / 3},
      {clBlue, 240, 1, 1.0 / 3},        {clYellow, 60, 1, 2.0 / 3},
      {clAqua, 180, 1, 2.0 / 3},        {clFuchsia, 300, 1, 2.0 / 3},
      {clBlack, 0, 0, 0},               {RGB(128, 128, 128), 0, 0, 128.0 / 255},
      {RGB(200, 100, 50), 19.106605350869078, 0.5714285714285714, 0.45751633986928103},
      {RGB(30, 60, 220), 231.55546374591245, 0.7096774193548387, 0.4052287581699347},
  };
  for (const auto& c : cases) {
    double h = -1, s = -1, i = -1;
    RGBToHSI(c.Color, h, s, i);
    EXPECT_NEAR(h, c.H, 1e-9) << std::hex << c.Color;
    EXPECT_NEAR(s, c.S, 1e-12);
    EXPECT_NEAR(i, c.I, 1e-12);
  }
}

}  // namespace
}  // namespace vexa
