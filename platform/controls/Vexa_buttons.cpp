#include "platform/controls/Vexa_buttons.h"

#include <algorithm>

namespace vexa {

namespace {

bool Inside(const TRect& R, int32_t X, int32_t Y) { return X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom; }

void DrawEdge(TCanvas& Canvas, const TRect& R, bool Sunken) {
  Canvas.Pen().SetColor(Sunken ? clBtnShadow : clBtnHighlight);
  Canvas.MoveTo(R.Left, R.Bottom - 1);
  Canvas.LineTo(R.Left, R.Top);
  Canvas.LineTo(R.Right - 1, R.Top);
  Canvas.Pen().SetColor(Sunken ? clBtnHighlight : clBtnShadow);
  Canvas.LineTo(R.Right - 1, R.Bottom - 1);
  Canvas.LineTo(R.Left, R.Bottom - 1);
}

}  // namespace

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetBounds(0, 0, 23, 22);
  // Every press is a click of its own: no double clicks.
  SetControlStyle(ControlStyle() & ~ControlStyleBit(csDoubleClicks));
}

void TSpeedButton::SetGlyph(const TBitmap& Value) {
  FGlyph.Assign(Value);
  Invalidate();
}

void TSpeedButton::SetNumGlyphs(int32_t Value) {
  FNumGlyphs = std::clamp(Value, 1, 4);
  Invalidate();
}

void TSpeedButton::SetDown(bool Value) {
  if (FGroupIndex == 0) Value = false;
  if (Value == FDown) return;
  if (FDown && !FAllowAllUp) return;  // the group keeps one button down
  FDown = Value;
  Invalidate();
  if (Value) UpdateExclusive();
}

void TSpeedButton::SetGroupIndex(int32_t Value) {
  if (Value == FGroupIndex) return;
  FGroupIndex = Value;
  if (FGroupIndex == 0 && FDown) {
    FDown = false;
    Invalidate();
  }
  UpdateExclusive();
}

void TSpeedButton::SetAllowAllUp(bool Value) {
  if (Value == FAllowAllUp) return;
  FAllowAllUp = Value;
  UpdateExclusive();  // the group shares the setting
}

void TSpeedButton::SetFlat(bool Value) {
  FFlat = Value;
  Invalidate();
}

void TSpeedButton::SetSpacing(int32_t Value) {
  FSpacing = Value;
  Invalidate();
}

void TSpeedButton::UpdateExclusive() {
  if (FGroupIndex == 0 || !Parent() || InState(csLoading)) return;
  TMessage message{CM_BUTTONPRESSED, FGroupIndex, reinterpret_cast<intptr_t>(static_cast<TControl*>(this)), 0};
  Parent()->Broadcast(message);
}

void TSpeedButton::ButtonPressed(const TMessage& Message) {
  if (Message.WParam != FGroupIndex || FGroupIndex == 0) return;
  // LParam is the sending control; only speed buttons are heard.
  auto* sender = dynamic_cast<TSpeedButton*>(reinterpret_cast<TControl*>(Message.LParam));
  if (!sender || sender == this) return;
  if (sender->FDown && FDown) {
    FDown = false;
    Invalidate();
  }
  FAllowAllUp = sender->FAllowAllUp;
}

void TSpeedButton::Dispatch(TMessage& Message) {
  if (Message.Msg == CM_BUTTONPRESSED) {
    ButtonPressed(Message);
    return;
  }
  TGraphicControl::Dispatch(Message);
}

TButtonState TSpeedButton::State() const {
  if (!EffectivelyEnabled()) return bsDisabled;
  if (FDragging && FPressedInside) return FDown ? bsExclusive : bsDown;
  return FDown ? bsExclusive : bsUp;
}

void TSpeedButton::Click() { TGraphicControl::Click(); }

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) {
  const TControlRef self(this);
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (!self || Button != mbLeft || !EffectivelyEnabled()) return;
  FDragging = true;
  FPressedInside = true;
  Invalidate();
}

void TSpeedButton::MouseMove(TShiftState Shift, int32_t X, int32_t Y) {
  const TControlRef self(this);
  TGraphicControl::MouseMove(Shift, X, Y);
  if (!self || !FDragging) return;
  const bool inside = Inside(ClientRect(), X, Y);
  if (inside == FPressedInside) return;
  FPressedInside = inside;
  Invalidate();
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) {
  if (Button == mbLeft && FDragging) {
    FDragging = false;
    // A release over the button toggles a grouped one; the framework then calls Click.
    if (Inside(ClientRect(), X, Y) && FGroupIndex != 0) SetDown(!FDown);
    Invalidate();
  }
  TGraphicControl::MouseUp(Button, Shift, X, Y);
}

void TSpeedButton::MouseEnter() {
  FMouseInControl = true;
  if (FFlat) Invalidate();
  TGraphicControl::MouseEnter();
}

void TSpeedButton::MouseLeave() {
  FMouseInControl = false;
  if (FFlat) Invalidate();
  TGraphicControl::MouseLeave();
}

void TSpeedButton::DrawGlyphCell(TCanvas& Canvas, int32_t X, int32_t Y, TButtonState Drawn) {
  const int32_t cellWidth = FGlyph.Width() / FNumGlyphs;
  if (cellWidth <= 0 || FGlyph.Height() <= 0) return;
  // A missing cell falls back: down to pressed, pressed and disabled to up.
  int32_t cell = 0;
  if (Drawn == bsExclusive) cell = FNumGlyphs > 3 ? 3 : FNumGlyphs > 2 ? 2 : 0;
  else if (Drawn == bsDown) cell = FNumGlyphs > 2 ? 2 : 0;
  else if (Drawn == bsDisabled) cell = FNumGlyphs > 1 ? 1 : 0;
  TBitmap picture;
  picture.SetSize(cellWidth, FGlyph.Height());
  picture.Canvas().CopyRect(Rect(0, 0, cellWidth, FGlyph.Height()), FGlyph.Canvas(),
                            Rect(cell * cellWidth, 0, (cell + 1) * cellWidth, FGlyph.Height()));
  picture.SetTransparent(true);
  picture.SetTransparentMode(tmAuto);
  Canvas.Draw(X, Y, picture);
}

void TSpeedButton::Paint() {
  TCanvas& canvas = Canvas();
  const TButtonState drawn = State();
  const bool sunken = drawn == bsDown || drawn == bsExclusive;
  if (!FFlat) {
    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetColor(drawn == bsExclusive ? clBtnHighlight : Color());
    canvas.FillRect(ClientRect());
  }
  if (!FFlat || sunken || (FMouseInControl && drawn != bsDisabled)) DrawEdge(canvas, ClientRect(), sunken);
  const int32_t offset = sunken ? 1 : 0;
  const int32_t glyphWidth = FGlyph.Width() / FNumGlyphs, glyphHeight = FGlyph.Height();
  const std::string& caption = Caption();
  const int32_t textWidth = caption.empty() ? 0 : canvas.TextWidth(caption);
  const int64_t gap = glyphWidth > 0 && textWidth > 0 ? FSpacing : 0;
  // Picture and caption side by side, centred together (in 64 bits: Spacing is the caller's).
  const int64_t left = (int64_t{Width()} - (glyphWidth + gap + textWidth)) / 2 + offset;
  auto clamp32 = [](int64_t V) { return static_cast<int32_t>(std::clamp<int64_t>(V, INT32_MIN, INT32_MAX)); };
  if (glyphWidth > 0) DrawGlyphCell(canvas, clamp32(left), (Height() - glyphHeight) / 2 + offset, drawn);
  if (textWidth > 0) {
    canvas.Brush().SetStyle(bsClear);
    canvas.Font().SetColor(drawn == bsDisabled ? clGrayText : Font().Color());
    canvas.TextOut(clamp32(left + glyphWidth + gap), (Height() - canvas.TextHeight("Ag")) / 2 + offset, caption);
    canvas.Brush().SetStyle(bsSolid);
  }
}

}  // namespace vexa
