// Label and push button.

#include <algorithm>

#include "platform/controls/Vexa_stdctrls.h"

namespace vexa {

namespace {

/// The caption's lines (split at line feeds; an empty caption is one empty line).
std::vector<std::string> CaptionLines(const std::string& Text) {
  std::vector<std::string> lines;
  size_t from = 0;
  for (size_t lf = Text.find('\n'); lf != std::string::npos; lf = Text.find('\n', from)) {
    lines.push_back(Text.substr(from, lf - from));
    from = lf + 1;
  }
  lines.push_back(Text.substr(from));
  return lines;
}

/// A raised (or, pressed, sunken) edge inside R.
void DrawEdge(TCanvas& Canvas, const TRect& R, bool Sunken) {
  Canvas.Pen().SetColor(Sunken ? clBtnShadow : clBtnHighlight);
  Canvas.MoveTo(R.Left, R.Bottom - 1);
  Canvas.LineTo(R.Left, R.Top);
  Canvas.LineTo(R.Right - 1, R.Top);
  Canvas.Pen().SetColor(Sunken ? clBtnHighlight : clBtnShadow);
  Canvas.LineTo(R.Right - 1, R.Bottom - 1);
  Canvas.LineTo(R.Left, R.Bottom - 1);
}

bool Inside(const TRect& R, int32_t X, int32_t Y) { return X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom; }

}  // namespace

// ------------------------------------------------------------ TCustomLabel

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetBounds(0, 0, 65, 17);
  SetControlStyle(ControlStyle() & ~ControlStyleBit(csOpaque));
}

void TCustomLabel::SetAlignment(TAlignment Value) {
  if (Value == FAlignment) return;
  FAlignment = Value;
  Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout Value) {
  if (Value == FLayout) return;
  FLayout = Value;
  Invalidate();
}

void TCustomLabel::SetAutoSize(bool Value) {
  if (Value == FAutoSize) return;
  FAutoSize = Value;
  AdjustBounds();
}

void TCustomLabel::SetTransparent(bool Value) {
  if (Value == FTransparent) return;
  FTransparent = Value;
  Invalidate();
}

void TCustomLabel::AdjustBounds() {
  if (!FAutoSize || InState(csLoading)) return;
  TBitmap scratch;
  TCanvas& canvas = scratch.Canvas();
  canvas.Font().Assign(Font());
  TRect r = Rect(0, 0, Width(), Height());
  DoDrawText(canvas, r, true);
  const int32_t width = static_cast<int32_t>(std::clamp<int64_t>(r.Width(), 0, INT32_MAX));
  const int32_t height = static_cast<int32_t>(std::clamp<int64_t>(r.Height(), 0, INT32_MAX));
  // The edge the alignment names stays where it is.
  int64_t left = Left();
  if (FAlignment == taRightJustify) left += int64_t{Width()} - width;
  else if (FAlignment == taCenter) left += (int64_t{Width()} - width) / 2;
  SetBounds(static_cast<int32_t>(std::clamp<int64_t>(left, INT32_MIN, INT32_MAX)), Top(), width, height);
}

void TCustomLabel::DoDrawText(TCanvas& Canvas, TRect& R, bool MeasureOnly) {
  const std::vector<std::string> lines = CaptionLines(Caption());
  const int32_t lineHeight = Canvas.TextHeight("Ag");
  const int64_t total = int64_t{lineHeight} * static_cast<int64_t>(lines.size());
  if (MeasureOnly) {
    int32_t width = 0;
    for (const std::string& line : lines) width = std::max(width, Canvas.TextWidth(line));
    R.Right = static_cast<int32_t>(std::min<int64_t>(int64_t{R.Left} + width, INT32_MAX));
    R.Bottom = static_cast<int32_t>(std::min<int64_t>(R.Top + total, INT32_MAX));
    return;
  }
  int64_t y = R.Top;
  if (FLayout == tlCenter) y += (R.Height() - total) / 2;
  else if (FLayout == tlBottom) y += R.Height() - total;
  Canvas.Brush().SetStyle(bsClear);
  Canvas.Font().SetColor(EffectivelyEnabled() ? Font().Color() : clGrayText);
  for (const std::string& line : lines) {
    const int32_t width = Canvas.TextWidth(line);
    int64_t x = R.Left;
    if (FAlignment == taRightJustify) x = int64_t{R.Right} - width;
    else if (FAlignment == taCenter) x += (R.Width() - width) / 2;
    Canvas.TextOut(static_cast<int32_t>(std::clamp<int64_t>(x, INT32_MIN, INT32_MAX)),
                   static_cast<int32_t>(std::clamp<int64_t>(y, INT32_MIN, INT32_MAX)), line);
    y += lineHeight;
  }
  Canvas.Brush().SetStyle(bsSolid);
}

void TCustomLabel::Paint() {
  TCanvas& canvas = Canvas();
  if (!FTransparent) {
    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetColor(Color());
    canvas.FillRect(ClientRect());
  }
  TRect r = ClientRect();
  DoDrawText(canvas, r, false);
}

void TCustomLabel::TextChanged() {
  TGraphicControl::TextChanged();
  AdjustBounds();
}

void TCustomLabel::FontChanged() {
  TGraphicControl::FontChanged();
  AdjustBounds();
}

void TCustomLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

// ----------------------------------------------------------------- TButton

TButton::TButton(TComponent* AOwner) : TCustomControl(AOwner) {
  SetTabStop(true);
  SetBounds(0, 0, 75, 25);
  // Every press is a click of its own: no double clicks.
  SetControlStyle(ControlStyle() & ~ControlStyleBit(csDoubleClicks));
}

void TButton::SetDefault(bool Value) {
  if (Value == FDefault) return;
  FDefault = Value;
  Invalidate();
}

void TButton::Click() {
  if (TForm* form = GetParentForm(this); form && FModalResult != mrNone) form->SetModalResult(FModalResult);
  TCustomControl::Click();  // last: the handler may free the button
}

bool TButton::TakesDialogKey(intptr_t Key) const {
  if (!Visible() || !EffectivelyEnabled()) return false;
  if (Key == VK_ESCAPE) return FCancel;
  if (Key != VK_RETURN) return false;
  // A focused button takes Enter itself; the Default button takes it
  // unless another button has the focus.
  if (Focused()) return true;
  const TForm* form = GetParentForm(this);
  return FDefault && !(form && dynamic_cast<TButton*>(form->ActiveControl()));
}

void TButton::Dispatch(TMessage& Message) {
  if (Message.Msg == CM_DIALOGKEY && TakesDialogKey(Message.WParam)) {
    Message.Result = 1;
    Click();
    return;
  }
  TCustomControl::Dispatch(Message);
}

void TButton::KeyPress(char32_t& Key) {
  TCustomControl::KeyPress(Key);
  if (Key != U' ') return;
  Key = 0;
  Click();
}

void TButton::MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) {
  const TControlRef self(this);
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (!self || Button != mbLeft) return;
  SetFocus();
  if (!self) return;
  FPressed = true;
  FPointerInside = true;
  Invalidate();
}

void TButton::MouseMove(TShiftState Shift, int32_t X, int32_t Y) {
  const TControlRef self(this);
  TCustomControl::MouseMove(Shift, X, Y);
  if (!self || !FPressed) return;
  const bool inside = Inside(ClientRect(), X, Y);
  if (inside == FPointerInside) return;
  FPointerInside = inside;
  Invalidate();
}

void TButton::MouseUp(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) {
  if (Button == mbLeft && FPressed) {
    FPressed = false;
    Invalidate();
  }
  TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TButton::Paint() {
  TCanvas& canvas = Canvas();
  TRect r = ClientRect();
  const bool focusedOrDefault = Focused() || (FDefault && EffectivelyEnabled());
  if (focusedOrDefault) {
    canvas.Brush().SetStyle(bsClear);
    canvas.Pen().SetColor(clWindowFrame);
    canvas.Rectangle(r);
    r = Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
  }
  DrawEdge(canvas, r, Pressed());
  const int32_t shift = Pressed() ? 1 : 0;
  const std::string& caption = Caption();
  canvas.Brush().SetStyle(bsClear);
  canvas.Font().SetColor(EffectivelyEnabled() ? Font().Color() : clGrayText);
  canvas.TextOut((Width() - canvas.TextWidth(caption)) / 2 + shift, (Height() - canvas.TextHeight("Ag")) / 2 + shift,
                 caption);
  canvas.Brush().SetStyle(bsSolid);
  if (Focused()) canvas.DrawFocusRect(Rect(4, 4, Width() - 4, Height() - 4));
}

}  // namespace vexa
