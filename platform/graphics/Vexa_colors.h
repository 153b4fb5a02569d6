#pragma once
/// @file
/// Colours: the TColor encoding ($00BBGGRR), the named standard, extended and
/// system colours, and conversion to RGB and to and from text.
///
/// A TColor with high byte $FF is a system colour: its low bits index one
/// fixed light-theme table (see docs/GRAPHICS.md). clNone and clDefault are
/// markers, not colours. Any other value with a non-zero high byte draws
/// with its low 24 bits.

#include <cstdint>
#include <string>

namespace vexa {

using TColor = uint32_t;

/// RGB(r, g, b) as a TColor.
constexpr TColor RGB(uint8_t R, uint8_t G, uint8_t B) {
  return TColor{R} | (TColor{G} << 8) | (TColor{B} << 16);
}
constexpr uint8_t GetRValue(TColor C) { return static_cast<uint8_t>(C); }
constexpr uint8_t GetGValue(TColor C) { return static_cast<uint8_t>(C >> 8); }
constexpr uint8_t GetBValue(TColor C) { return static_cast<uint8_t>(C >> 16); }

// Standard colours.
constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clLtGray = 0xC0C0C0;
constexpr TColor clDkGray = 0x808080;
constexpr TColor clWhite = 0xFFFFFF;

// Extended colours.
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;

// Markers.
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

/// High byte of the system colours.
constexpr TColor clSystemColor = 0xFF000000;
/// Number of entries of the system colour table (indices 0 ... 30).
constexpr int32_t SystemColorCount = 31;

// System colours: clSystemColor + index.
constexpr TColor clScrollBar = clSystemColor | 0;
constexpr TColor clBackground = clSystemColor | 1;
constexpr TColor clActiveCaption = clSystemColor | 2;
constexpr TColor clInactiveCaption = clSystemColor | 3;
constexpr TColor clMenu = clSystemColor | 4;
constexpr TColor clWindow = clSystemColor | 5;
constexpr TColor clWindowFrame = clSystemColor | 6;
constexpr TColor clMenuText = clSystemColor | 7;
constexpr TColor clWindowText = clSystemColor | 8;
constexpr TColor clCaptionText = clSystemColor | 9;
constexpr TColor clActiveBorder = clSystemColor | 10;
constexpr TColor clInactiveBorder = clSystemColor | 11;
constexpr TColor clAppWorkSpace = clSystemColor | 12;
constexpr TColor clHighlight = clSystemColor | 13;
constexpr TColor clHighlightText = clSystemColor | 14;
constexpr TColor clBtnFace = clSystemColor | 15;
constexpr TColor clBtnShadow = clSystemColor | 16;
constexpr TColor clGrayText = clSystemColor | 17;
constexpr TColor clBtnText = clSystemColor | 18;
constexpr TColor clInactiveCaptionText = clSystemColor | 19;
constexpr TColor clBtnHighlight = clSystemColor | 20;
constexpr TColor cl3DDkShadow = clSystemColor | 21;
constexpr TColor cl3DLight = clSystemColor | 22;
constexpr TColor clInfoText = clSystemColor | 23;
constexpr TColor clInfoBk = clSystemColor | 24;
constexpr TColor clHotLight = clSystemColor | 26;
constexpr TColor clGradientActiveCaption = clSystemColor | 27;
constexpr TColor clGradientInactiveCaption = clSystemColor | 28;
constexpr TColor clMenuHighlight = clSystemColor | 29;
constexpr TColor clMenuBar = clSystemColor | 30;

/// The RGB value ($00BBGGRR) a colour draws with: system colours through the
/// fixed table, every other value by its low 24 bits.
TColor ColorToRGB(TColor Color);

/// The colour's identifier ("clRed", "clBtnFace", "clNone") when it has one,
/// else "$" followed by 8 upper-case hex digits.
std::string ColorToString(TColor Color);
/// Inverse of ColorToString: an identifier (any case), or an integer in the
/// platform's syntax (decimal, "$hex", "0xhex"; negative values wrap to 32
/// bits). Raises EConvertError for other text.
TColor StringToColor(const std::string& S);
/// Identifier of a colour; false when it has none.
bool ColorToIdent(TColor Color, std::string& Ident);
/// Colour of an identifier (any case); false when unknown.
bool IdentToColor(const std::string& Ident, TColor& Color);

}  // namespace vexa
