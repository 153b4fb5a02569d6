#include "platform/graphics/Vexa_colors.h"

#include <array>
#include <cctype>

#include "platform/Vexa_exceptions.h"
#include "platform/Vexa_numtext.h"

namespace vexa {

namespace {

/// The light-theme system colour table, indexed by the low bits of a system
/// colour (index 25 is unused and black).
constexpr std::array<TColor, SystemColorCount> kSystemColors = {
    RGB(200, 200, 200),  // 0 scroll bar
    RGB(0, 0, 0),        // 1 desktop background
    RGB(153, 180, 209),  // 2 active caption
    RGB(191, 205, 219),  // 3 inactive caption
    RGB(240, 240, 240),  // 4 menu
    RGB(255, 255, 255),  // 5 window
    RGB(100, 100, 100),  // 6 window frame
    RGB(0, 0, 0),        // 7 menu text
    RGB(0, 0, 0),        // 8 window text
    RGB(0, 0, 0),        // 9 caption text
    RGB(180, 180, 180),  // 10 active border
    RGB(244, 247, 252),  // 11 inactive border
    RGB(171, 171, 171),  // 12 application workspace
    RGB(0, 120, 215),    // 13 highlight
    RGB(255, 255, 255),  // 14 highlight text
    RGB(240, 240, 240),  // 15 button face
    RGB(160, 160, 160),  // 16 button shadow
    RGB(109, 109, 109),  // 17 gray text
    RGB(0, 0, 0),        // 18 button text
    RGB(0, 0, 0),        // 19 inactive caption text
    RGB(255, 255, 255),  // 20 button highlight
    RGB(105, 105, 105),  // 21 3-D dark shadow
    RGB(227, 227, 227),  // 22 3-D light
    RGB(0, 0, 0),        // 23 tooltip text
    RGB(255, 255, 225),  // 24 tooltip background
    RGB(0, 0, 0),        // 25 unused
    RGB(0, 102, 204),    // 26 hot-tracked item
    RGB(185, 209, 234),  // 27 active caption gradient
    RGB(215, 228, 242),  // 28 inactive caption gradient
    RGB(0, 120, 215),    // 29 menu highlight
    RGB(240, 240, 240),  // 30 menu bar
};

struct TColorIdent {
  TColor Color;
  const char* Name;
};

/// Identifiers of the named colours. Where two names share a value the first
/// one is what ColorToString gives.
constexpr TColorIdent kColorIdents[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clSkyBlue, "clSkyBlue"},
    {clCream, "clCream"},
    {clMedGray, "clMedGray"},
    {clActiveBorder, "clActiveBorder"},
    {clActiveCaption, "clActiveCaption"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clBackground, "clBackground"},
    {clBtnFace, "clBtnFace"},
    {clBtnHighlight, "clBtnHighlight"},
    {clBtnShadow, "clBtnShadow"},
    {clBtnText, "clBtnText"},
    {clCaptionText, "clCaptionText"},
    {clDefault, "clDefault"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clGrayText, "clGrayText"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clHotLight, "clHotLight"},
    {clInactiveBorder, "clInactiveBorder"},
    {clInactiveCaption, "clInactiveCaption"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clInfoBk, "clInfoBk"},
    {clInfoText, "clInfoText"},
    {clMenu, "clMenu"},
    {clMenuBar, "clMenuBar"},
    {clMenuHighlight, "clMenuHighlight"},
    {clMenuText, "clMenuText"},
    {clNone, "clNone"},
    {clScrollBar, "clScrollBar"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clWindowText, "clWindowText"},
    {clLtGray, "clLtGray"},
    {clDkGray, "clDkGray"},
};

bool SameTextAscii(const std::string& a, const char* b) {
  size_t i = 0;
  for (; i < a.size() && b[i] != '\0'; ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return i == a.size() && b[i] == '\0';
}

std::string HexColor(TColor Color) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text = "$";
  for (int shift = 28; shift >= 0; shift -= 4) text += kDigits[(Color >> shift) & 0xF];
  return text;
}

}  // namespace

TColor ColorToRGB(TColor Color) {
  if ((Color & 0xFF000000u) == clSystemColor) {
    const TColor index = Color & 0x00FFFFFFu;
    if (index < static_cast<TColor>(SystemColorCount)) return kSystemColors[index];
  }
  return Color & 0x00FFFFFFu;
}

bool ColorToIdent(TColor Color, std::string& Ident) {
  for (const auto& entry : kColorIdents) {
    if (entry.Color == Color) {
      Ident = entry.Name;
      return true;
    }
  }
  return false;
}

bool IdentToColor(const std::string& Ident, TColor& Color) {
  for (const auto& entry : kColorIdents) {
    if (SameTextAscii(Ident, entry.Name)) {
      Color = entry.Color;
      return true;
    }
  }
  return false;
}

std::string ColorToString(TColor Color) {
  std::string ident;
  return ColorToIdent(Color, ident) ? ident : HexColor(Color);
}

TColor StringToColor(const std::string& S) {
  TColor color = 0;
  if (IdentToColor(S, color)) return color;
  int64_t value = 0;
  // Integers of the platform's syntax; 32-bit values of either sign are accepted
  // and read as their bit pattern ("$FF000005" and "-16777211" both name clWindow).
  if (TryStrToInt64(S, value) && value >= INT32_MIN && value <= UINT32_MAX)
    return static_cast<TColor>(value);
  throw EConvertError("'" + S + "' is not a valid integer value");
}

}  // namespace vexa
