#pragma once
/// @file
/// The drawing half of the base package: framed and filled rectangles, the
/// 51 marks, and the month and weekday name tables. Included at the end of
/// Vexa_vexabase.h.

#include <cstdint>
#include <string>

#include "fundora/Vexa_vexabase.h"
#include "platform/graphics/Vexa_canvas.h"

namespace vexa {

/// Draws a frame of the given style along the inclusive rectangle R
/// (callers pass (0, 0, W-1, H-1)); lines only, never a fill. Styles:
/// 1 (fsSimple) outline in Border; 2 (fsLowered) outer ring Shadow top-left
/// and Light bottom-right, inner ring DarkShadow / Highlight; 3 (fsRaised)
/// outer Highlight / DarkShadow, inner Light / Shadow; 4 (fsEmbossed) Shadow
/// outline (L+1, T+1, R, B), then Light outline (L, T, R-1, B-1); 5
/// (fsEngraved) the same with the two colours exchanged; others nothing.
/// The top-left part of a ring is its top row without the right end and its
/// left column without the bottom end. Pen, brush and pen position are restored.
void DrawFrame(TCanvas& Canvas, TFrameStyle Style, const TRect& R, TColor Light, TColor Highlight,
               TColor Shadow, TColor DarkShadow, TColor Border);

/// Outlines the inclusive rectangle R in LineColor and fills its inside with
/// FillColor (no fill for clNone). Pen, brush and pen position are restored.
void DrawRectangle(TCanvas& Canvas, const TRect& R, TColor LineColor, TColor FillColor);

/// Number of marks DrawMarkOnCanvas knows (1 ... 51).
constexpr int32_t MarkCount = 51;
/// Draws mark 1 ... 51, a distinct shape inside the 9 x 9 square centred on
/// (X, Y), in Color; mark 0 and values outside 1 ... 51 draw nothing. Pen
/// and brush are not used.
void DrawMarkOnCanvas(TCanvas& Canvas, int32_t Mark, int32_t X, int32_t Y, TColor Color);
/// Whether mark Mark sets the pixel at offset (Dx, Dy) from its centre
/// (both in -4 ... 4).
bool MarkCoversPixel(int32_t Mark, int32_t Dx, int32_t Dy);

/// Month names (Month 1 ... 12) and weekday names (Day 0 = Monday ... 6),
/// UTF-8, in English, German, French or Spanish; other languages give the
/// English names, other indices "".
std::string MonthShort(TLanguage Language, int32_t Month);
std::string MonthLong(TLanguage Language, int32_t Month);
std::string WeekDayShort(TLanguage Language, int32_t Day);

}  // namespace vexa
