#include "platform/controls/Vexa_extctrls.h"

#include <algorithm>

namespace vexa {

namespace {

/// Draws a bevel of Width pixels inside R and shrinks R by it.
void DrawBevel(TCanvas& Canvas, TRect& R, TBevelCut Cut, int32_t Width) {
  if (Cut == bvNone) return;
  for (int32_t i = 0; i < Width && !R.IsEmpty(); ++i) {
    if (Cut != bvSpace) {
      const TColor topLeft = Cut == bvRaised ? clBtnHighlight : clBtnShadow;
      const TColor bottomRight = Cut == bvRaised ? clBtnShadow : clBtnHighlight;
      Canvas.Pen().SetColor(topLeft);
      Canvas.MoveTo(R.Left, R.Bottom - 1);
      Canvas.LineTo(R.Left, R.Top);
      Canvas.LineTo(R.Right - 1, R.Top);
      Canvas.Pen().SetColor(bottomRight);
      Canvas.LineTo(R.Right - 1, R.Bottom - 1);
      Canvas.LineTo(R.Left, R.Bottom - 1);
    }
    R = Rect(R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1);
  }
}

}  // namespace

TPanel::TPanel(TComponent* AOwner) : TCustomControl(AOwner) { SetBounds(0, 0, 185, 41); }

void TPanel::SetBevelOuter(TBevelCut Value) {
  FBevelOuter = Value;
  Invalidate();
}

void TPanel::SetBevelInner(TBevelCut Value) {
  FBevelInner = Value;
  Invalidate();
}

void TPanel::SetBevelWidth(int32_t Value) {
  FBevelWidth = std::max(Value, 1);
  Invalidate();
}

void TPanel::SetBorderWidth(int32_t Value) {
  FBorderWidth = std::max(Value, 0);
  Invalidate();
}

void TPanel::SetAlignment(TAlignment Value) {
  FAlignment = Value;
  Invalidate();
}

void TPanel::SetShowCaption(bool Value) {
  FShowCaption = Value;
  Invalidate();
}

void TPanel::Paint() {
  TCanvas& canvas = Canvas();
  TRect r = ClientRect();
  DrawBevel(canvas, r, FBevelOuter, FBevelWidth);
  const int32_t border = std::min<int32_t>(FBorderWidth, static_cast<int32_t>(std::max<int64_t>(r.Width(), 0)));
  r = Rect(r.Left + border, r.Top + border, r.Right - border, r.Bottom - border);
  DrawBevel(canvas, r, FBevelInner, FBevelWidth);
  if (!FShowCaption || Caption().empty() || r.IsEmpty()) return;
  const int32_t width = canvas.TextWidth(Caption());
  int64_t x = r.Left + 2;
  if (FAlignment == taRightJustify) x = int64_t{r.Right} - 2 - width;
  else if (FAlignment == taCenter) x = r.Left + (r.Width() - width) / 2;
  const int64_t y = r.Top + (r.Height() - canvas.TextHeight("Ag")) / 2;
  canvas.IntersectClipRect(r);
  canvas.Brush().SetStyle(bsClear);
  canvas.Font().SetColor(EffectivelyEnabled() ? Font().Color() : clGrayText);
  canvas.TextOut(static_cast<int32_t>(x), static_cast<int32_t>(y), Caption());
  canvas.Brush().SetStyle(bsSolid);
}

}  // namespace vexa
