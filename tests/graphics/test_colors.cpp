#include <gtest/gtest.h>

#include "platform/Vexa_exceptions.h"
#include "platform/graphics/Vexa_colors.h"

namespace vexa {
namespace {

TEST(ColorsTest, ColorToRGBUsesTheSystemTableAndOtherwiseTheLow24Bits) {
  const struct {
    TColor Color;
    TColor Expected;
  } cases[] = {
      {clRed, 0x0000FF},
      {clBtnFace, RGB(240, 240, 240)},
      {clWindow, RGB(255, 255, 255)},
      {clWindowText, 0},
      {clHighlight, RGB(0, 120, 215)},
      {clBtnShadow, RGB(160, 160, 160)},
      {cl3DDkShadow, RGB(105, 105, 105)},
      {clInfoBk, RGB(255, 255, 225)},
      {clMenuBar, RGB(240, 240, 240)},
      {clSystemColor | 25, 0},           // unused index
      {clSystemColor | 31, 31},          // past the table: low bits
      {0x6088FFF0, 0x88FFF0},            // foreign high byte
      {clNone, 0xFFFFFF},
      {clDefault, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(ColorToRGB(c.Color), c.Expected) << std::hex << c.Color;
}

TEST(ColorsTest, StringConversionRoundTrips) {
  EXPECT_EQ(ColorToString(clRed), "clRed");
  EXPECT_EQ(ColorToString(clSilver), "clSilver");  // shares its value with clLtGray
  EXPECT_EQ(ColorToString(clBtnFace), "clBtnFace");
  EXPECT_EQ(ColorToString(clNone), "clNone");
  EXPECT_EQ(ColorToString(0x123456), "$00123456");
  EXPECT_EQ(ColorToString(0x6088FFF0), "$6088FFF0");
  for (const TColor c : {clBlack, clMoneyGreen, clCream, clMedGray, clSkyBlue, clHotLight, clDefault,
                         TColor{0x00ABCDEF}, TColor{0xFF0000FF}, TColor{0x7FFFFFFF}})
    EXPECT_EQ(StringToColor(ColorToString(c)), c) << ColorToString(c);
  EXPECT_EQ(StringToColor("CLLTGRAY"), clSilver);
  EXPECT_EQ(StringToColor("clDkGray"), clGray);
  EXPECT_EQ(StringToColor("255"), clRed);
  EXPECT_EQ(StringToColor("-16777211"), clWindow);
  EXPECT_THROW(StringToColor("clNothing"), EConvertError);
  EXPECT_THROW(StringToColor("$1FFFFFFFF"), EConvertError);
  EXPECT_THROW(StringToColor(""), EConvertError);
}

}  // namespace
}  // namespace vexa
