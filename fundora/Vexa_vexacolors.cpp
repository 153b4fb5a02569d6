#include "fundora/Vexa_vexacolors.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vexa {

const std::array<TColor, PredefinedColorCount> PredefinedColors = {
    clBlack, clMaroon, clGreen, clOlive, clNavy, clPurple, clTeal, clGray, clSilver, clRed, clLime,
    clYellow, clBlue, clFuchsia, clAqua, clWhite,
    clMoneyGreen, clSkyBlue, clCream, clMedGray,
    clScrollBar, clBackground, clActiveCaption, clInactiveCaption, clMenu, clWindow, clWindowFrame,
    clMenuText, clWindowText, clCaptionText, clActiveBorder, clInactiveBorder, clAppWorkSpace,
    clHighlight, clHighlightText, clBtnFace, clBtnShadow, clGrayText, clBtnText, clInactiveCaptionText,
    clBtnHighlight, cl3DDkShadow, cl3DLight, clInfoText, clInfoBk, clHotLight, clGradientActiveCaption,
};

void TColorArray::SetNumColors(int32_t Count) { FColors.resize(static_cast<size_t>(std::max(Count, 0)), clBlack); }

TColor TColorArray::GetColorElem(int32_t Index) const {
  return (Index >= 1 && Index <= NumColors()) ? FColors[static_cast<size_t>(Index - 1)] : 0;
}

void TColorArray::SetColorElem(int32_t Index, TColor Color) {
  if (Index >= 1 && Index <= NumColors()) FColors[static_cast<size_t>(Index - 1)] = Color;
}

void TColorArray::Assign(const TPersistent& Source) {
  if (const auto* other = dynamic_cast<const TColorArray*>(&Source)) {
    FColors = other->FColors;
    return;
  }
  TPersistent::Assign(Source);
}

TColor MeanColor(TColor A, TColor B) {
  const TColor a = ColorToRGB(A), b = ColorToRGB(B);
  return RGB(static_cast<uint8_t>((GetRValue(a) + GetRValue(b)) / 2),
             static_cast<uint8_t>((GetGValue(a) + GetGValue(b)) / 2),
             static_cast<uint8_t>((GetBValue(a) + GetBValue(b)) / 2));
}

int32_t RGBToGray(TColor Color) {
  const TColor c = ColorToRGB(Color);
  // In thousandths, exactly: 299 R + 587 G + 114 B; then rounded half to even.
  const int32_t thousandths = 299 * GetRValue(c) + 587 * GetGValue(c) + 114 * GetBValue(c);
  int32_t gray = thousandths / 1000;
  const int32_t rest = thousandths % 1000;
  if (rest > 500 || (rest == 500 && gray % 2 == 1)) ++gray;
  return gray;
}

void RGBToHSI(TColor Color, double& Hue, double& Saturation, double& Intensity) {
  const TColor c = ColorToRGB(Color);
  const double r = GetRValue(c) / 255.0, g = GetGValue(c) / 255.0, b = GetBValue(c) / 255.0;
  const double sum = r + g + b;
  Intensity = sum / 3;
  Saturation = sum > 0 ? 1 - 3 * std::min({r, g, b}) / sum : 0;
  Hue = 0;
  const double denominator = std::sqrt((r - g) * (r - g) + (r - b) * (g - b));
  if (denominator > 0) {
    // The argument is clamped, rounding may push it just outside [-1, 1].
    const double cosine = std::clamp(((r - g) + (r - b)) / (2 * denominator), -1.0, 1.0);
    Hue = std::acos(cosine) * 180 / std::numbers::pi;
    if (b > g) Hue = 360 - Hue;
    if (Hue >= 360) Hue -= 360;
  }
}

}  // namespace vexa
