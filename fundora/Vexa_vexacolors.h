#pragma once
/// @file
/// Colour helpers of the base package: a resizable colour list, the 47
/// predefined colours, the mean of two colours and the RGB-to-gray and
/// RGB-to-HSI conversions used by the image routines.

#include <array>
#include <cstdint>
#include <vector>

#include "platform/Vexa_classes.h"
#include "platform/graphics/Vexa_colors.h"

namespace vexa {

/// A list of colours indexed from 1.
class TColorArray : public TPersistent {
public:
  int32_t NumColors() const { return static_cast<int32_t>(FColors.size()); }
  /// Resizes the list (negative counts as 0); new entries are clBlack (0).
  void SetNumColors(int32_t Count);
  /// Colour Index (1 ... NumColors); 0 outside.
  TColor GetColorElem(int32_t Index) const;
  /// Sets colour Index; ignored outside 1 ... NumColors.
  void SetColorElem(int32_t Index, TColor Color);
  /// Copies another TColorArray.
  void Assign(const TPersistent& Source) override;

private:
  std::vector<TColor> FColors;
};

/// Number of predefined colours.
constexpr int32_t PredefinedColorCount = 47;
/// The predefined colours in order: the 16 standard colours (clBlack ...
/// clWhite), clMoneyGreen, clSkyBlue, clCream, clMedGray, then the system
/// colours with indices 0 ... 24, 26 and 27. Entry k of the library's 1-based
/// list is PredefinedColors[k - 1].
extern const std::array<TColor, PredefinedColorCount> PredefinedColors;

/// Per channel (a + b) div 2 of the two colours' RGB values (ColorToRGB).
TColor MeanColor(TColor A, TColor B);
/// Gray value 0 ... 255: 0.299 R + 0.587 G + 0.114 B, rounded to nearest, ties to even.
int32_t RGBToGray(TColor Color);
/// Hue (degrees, [0, 360), 0 for grays), saturation and intensity ([0, 1])
/// of a colour by the textbook HSI formulas; never NaN.
void RGBToHSI(TColor Color, double& Hue, double& Saturation, double& Intensity);

}  // namespace vexa
