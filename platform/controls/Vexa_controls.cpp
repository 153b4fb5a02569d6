#include "platform/controls/Vexa_controls.h"

#include <algorithm>

#include "platform/controls/Vexa_forms.h"
#include "platform/controls/Vexa_input.h"
#include "platform/controls/Vexa_menus.h"
#include "platform/controls/internal/Vexa_framework.h"

namespace vexa {

namespace {

/// Coordinates are summed in 64 bits and saturated, so far-off controls
/// never overflow.
int32_t Saturate(int64_t V) { return static_cast<int32_t>(std::clamp<int64_t>(V, INT32_MIN, INT32_MAX)); }

TPoint Offset(TPoint P, int64_t DX, int64_t DY) { return Point(Saturate(P.X + DX), Saturate(P.Y + DY)); }

int16_t ClampToInt16(int32_t V) { return static_cast<int16_t>(std::clamp<int32_t>(V, INT16_MIN, INT16_MAX)); }

}  // namespace

intptr_t PackMousePos(int32_t X, int32_t Y) {
  const auto x = static_cast<uint16_t>(ClampToInt16(X));
  const auto y = static_cast<uint16_t>(ClampToInt16(Y));
  return static_cast<intptr_t>((uint32_t{y} << 16) | x);
}

TPoint UnpackMousePos(intptr_t LParam) {
  const auto bits = static_cast<uint32_t>(LParam);
  return Point(static_cast<int16_t>(bits & 0xFFFF), static_cast<int16_t>(bits >> 16));
}

TControlRef::TControlRef(const TControl* Control) {
  if (Control) FToken = Control->FSelf;
}

// ---------------------------------------------------------------- TControl

TControl::TControl(TComponent* AOwner)
    : TComponent(AOwner), FSelf(std::make_shared<TControl*>(this)), FFont(std::make_unique<TFont>()) {
  FFont->OnChange = [this](TObject*) { FontObjectChanged(); };
}

TControl::~TControl() {
  *FSelf = nullptr;
  if (FParent) {
    InvalidateFormRect(FormRect());
    FParent->RemoveControl(this);
    FParent = nullptr;
  }
}

void TControl::SetParent(TWinControl* NewParent) {
  if (NewParent == FParent) return;
  for (TWinControl* p = NewParent; p; p = p->Parent())
    if (p == this) throw EComponentError("A control cannot be its own parent");
  if (FParent) {
    InvalidateFormRect(FormRect());
    FParent->RemoveControl(this);
  }
  FParent = NewParent;
  if (!FParent) return;
  FParent->InsertControl(this);
  if (FParentFont) ParentFontChanged();
  if (FParentColor) ParentColorChanged();
  if (FAlign != alNone) RequestParentRealign();
  if (auto* self = dynamic_cast<TWinControl*>(this); self && FParent->HandleAllocated()) self->HandleNeeded();
  Invalidate();
}

void TControl::StoreBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) {
  FLeft = ALeft;
  FTop = ATop;
  FWidth = std::max(AWidth, 0);
  FHeight = std::max(AHeight, 0);
}

void TControl::SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) {
  AWidth = std::max(AWidth, 0);
  AHeight = std::max(AHeight, 0);
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  const bool resized = AWidth != FWidth || AHeight != FHeight;
  const TRect oldArea = FormRect();
  StoreBounds(ALeft, ATop, AWidth, AHeight);
  InvalidateFormRect(oldArea);
  Invalidate();
  if (resized) {
    if (auto* self = dynamic_cast<TWinControl*>(this)) self->Realign();
    Resize();
  }
  if (FAlign != alNone) RequestParentRealign();
}

void TControl::SetBoundsRect(const TRect& R) {
  SetBounds(R.Left, R.Top, static_cast<int32_t>(R.Width()), static_cast<int32_t>(R.Height()));
}

TRect TControl::BoundsRect() const {
  return Rect(FLeft, FTop, Saturate(int64_t{FLeft} + FWidth), Saturate(int64_t{FTop} + FHeight));
}

TRect TControl::ClientRect() const { return Rect(0, 0, FWidth, FHeight); }

TPoint TControl::ClientOrigin() const {
  if (!FParent) return Point(FLeft, FTop);
  return Offset(FParent->ClientOrigin(), FLeft, FTop);
}

TPoint TControl::ClientToScreen(const TPoint& P) const {
  const TPoint o = ClientOrigin();
  return Offset(P, o.X, o.Y);
}

TPoint TControl::ScreenToClient(const TPoint& P) const {
  const TPoint o = ClientOrigin();
  return Offset(P, -int64_t{o.X}, -int64_t{o.Y});
}

TRect TControl::FormRect() const {
  // The form's own rectangle is its client area; children add their offsets.
  if (!FParent) return Rect(0, 0, FWidth, FHeight);
  int64_t x = FLeft, y = FTop;
  for (const TControl* p = FParent; p && p->FParent; p = p->FParent) {
    x += p->FLeft;
    y += p->FTop;
  }
  return Rect(Saturate(x), Saturate(y), Saturate(x + FWidth), Saturate(y + FHeight));
}

void TControl::SetVisible(bool Value) {
  if (Value == FVisible) return;
  if (!Value) Invalidate();  // the area beneath shows again
  FVisible = Value;
  if (Value) Invalidate();
  if (FAlign != alNone) RequestParentRealign();
  Perform(CM_VISIBLECHANGED, Value ? 1 : 0, 0);
}

void TControl::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  Perform(CM_ENABLEDCHANGED, 0, 0);
}

bool TControl::Showing() const {
  const TControl* c = this;
  for (; c->FParent; c = c->FParent)
    if (!c->FVisible) return false;
  const auto* form = dynamic_cast<const TForm*>(c);
  return form && form->Visible();
}

bool TControl::EffectivelyEnabled() const {
  for (const TControl* c = this; c; c = c->FParent)
    if (!c->FEnabled) return false;
  return true;
}

void TControl::SetParentFont(bool Value) {
  FParentFont = Value;
  if (Value) ParentFontChanged();
}

void TControl::SetColor(TColor Value) {
  FParentColor = false;
  if (Value == FColor) return;
  FColor = Value;
  Perform(CM_COLORCHANGED, 0, 0);
  NotifyChildren(CM_PARENTCOLORCHANGED);
}

void TControl::NotifyChildren(uint32_t Msg) {
  auto* self = dynamic_cast<TWinControl*>(this);
  if (!self) return;
  const std::vector<TControlRef> children(self->FControls.begin(), self->FControls.end());
  for (const TControlRef& ref : children)
    if (TControl* child = ref.Get()) child->Perform(Msg, 0, 0);
}

void TControl::SetParentColor(bool Value) {
  FParentColor = Value;
  if (Value) ParentColorChanged();
}

void TControl::SetText(const std::string& Value) {
  if (Value == FText) return;
  FText = Value;
  Perform(CM_TEXTCHANGED, 0, 0);
}

void TControl::SetCursor(TCursor Value) {
  if (Value == FCursor) return;
  FCursor = Value;
  Perform(CM_CURSORCHANGED, 0, 0);
  // The pointer shows the new shape at once when it is over this control.
  TControl* over = MouseControl();
  bool affected = false;
  for (TControl* c = over; c && !affected; c = c->Parent()) affected = c == this;
  if (!affected) return;
  TCursor shown = crDefault;
  for (TControl* c = over; c && shown == crDefault; c = c->Parent()) shown = c->Cursor();
  Screen().SetCursorUnderPointer(shown);
}

void TControl::SetPopupMenu(TPopupMenu* Value) {
  if (Value == FPopupMenu) return;
  if (FPopupMenu) RemoveFreeNotification(FPopupMenu);
  FPopupMenu = Value;
  if (FPopupMenu) FreeNotification(FPopupMenu);
}

void TControl::SetAlign(TAlign Value) {
  if (Value == FAlign) return;
  FAlign = Value;
  RequestParentRealign();
}

void TControl::RequestParentRealign() {
  if (FParent && !FParent->InState(csLoading) && !InState(csLoading)) FParent->Realign();
}

void TControl::Invalidate() { InvalidateFormRect(FormRect()); }

void TControl::InvalidateFormRect(const TRect& R) {
  if (TForm* form = GetParentForm(this)) form->InvalidateArea(R);
}

void TControl::Repaint() {
  Invalidate();
  Update();
}

void TControl::Update() {
  if (TForm* form = GetParentForm(this)) form->PaintPending();
}

intptr_t TControl::Perform(uint32_t Msg, intptr_t WParam, intptr_t LParam) {
  TMessage message{Msg, WParam, LParam, 0};
  WndProc(message);
  return message.Result;
}

void TControl::WndProc(TMessage& Message) { Dispatch(Message); }

namespace {

bool IsButtonMessage(uint32_t Msg, uint32_t First) { return Msg >= First && Msg <= First + 2; }

}  // namespace

void TControl::Dispatch(TMessage& Message) {
  const auto shift = static_cast<TShiftState>(Message.WParam);
  const TPoint p = UnpackMousePos(Message.LParam);
  const uint32_t m = Message.Msg;
  if (m >= WM_LBUTTONDOWN && m <= WM_MBUTTONDBLCLK) {
    const TMouseButton button = IsButtonMessage(m, WM_LBUTTONDOWN)   ? mbLeft
                                : IsButtonMessage(m, WM_RBUTTONDOWN) ? mbRight
                                                                     : mbMiddle;
    const uint32_t kind = (m - WM_LBUTTONDOWN) % 3;  // 0 down, 1 up, 2 double
    if (kind == 1) {
      MouseUp(button, shift, p.X, p.Y);
    } else if (kind == 2) {
      const TControlRef self(this);
      if (button == mbLeft) DblClick();
      if (self) MouseDown(button, shift | ShiftBit(ssDouble), p.X, p.Y);
    } else {
      MouseDown(button, shift, p.X, p.Y);
    }
    return;
  }
  switch (m) {
    case WM_MOUSEMOVE: MouseMove(shift, p.X, p.Y); break;
    case WM_MOUSEWHEEL: {
      const auto delta = static_cast<int16_t>(static_cast<uint32_t>(Message.WParam) >> 16);
      Message.Result = DoMouseWheel(shift & 0xFFFF, delta, p) ? 1 : 0;
      break;
    }
    case CM_MOUSEENTER: MouseEnter(); break;
    case CM_MOUSELEAVE: MouseLeave(); break;
    case CM_FONTCHANGED: FontChanged(); break;
    case CM_COLORCHANGED: ColorChanged(); break;
    case CM_TEXTCHANGED: TextChanged(); break;
    case CM_ENABLEDCHANGED: EnabledChanged(); break;
    case CM_VISIBLECHANGED: VisibleChanged(); break;
    case CM_PARENTFONTCHANGED: ParentFontChanged(); break;
    case CM_PARENTCOLORCHANGED: ParentColorChanged(); break;
    default: break;
  }
}

bool TControl::MouseCapture() const { return CaptureControl() == this; }

void TControl::SetMouseCapture(bool Value) {
  if (Value) SetCaptureControl(this);
  else if (MouseCapture()) SetCaptureControl(nullptr);
}

void TControl::BringToFront() {
  if (FParent) FParent->RaiseControl(this, true);
}

void TControl::SendToBack() {
  if (FParent) FParent->RaiseControl(this, false);
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int32_t X, int32_t Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

bool TControl::DoMouseWheel(TShiftState Shift, int32_t WheelDelta, TPoint MousePos) {
  bool handled = false;
  if (OnMouseWheel) OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
  return handled;
}

void TControl::Resize() {
  if (OnResize) OnResize(this);
}

void TControl::MouseEnter() {
  if (OnMouseEnter) OnMouseEnter(this);
}

void TControl::MouseLeave() {
  if (OnMouseLeave) OnMouseLeave(this);
}

void TControl::FontChanged() { Invalidate(); }
void TControl::ColorChanged() { Invalidate(); }
void TControl::TextChanged() { Invalidate(); }
void TControl::EnabledChanged() { Invalidate(); }
void TControl::VisibleChanged() {}

void TControl::FontObjectChanged() {
  if (!FSyncingFont) FParentFont = false;
  Perform(CM_FONTCHANGED, 0, 0);
  NotifyChildren(CM_PARENTFONTCHANGED);
}

void TControl::ParentFontChanged() {
  if (!FParentFont || !FParent) return;
  FSyncingFont = true;
  try {
    FFont->Assign(FParent->Font());
  } catch (...) {
    FSyncingFont = false;
    throw;
  }
  FSyncingFont = false;
}

void TControl::ParentColorChanged() {
  if (!FParentColor || !FParent || FColor == FParent->Color()) return;
  FColor = FParent->Color();
  Perform(CM_COLORCHANGED, 0, 0);
  NotifyChildren(CM_PARENTCOLORCHANGED);
}

void TControl::PaintControl(TCanvas& Canvas) { (void)Canvas; }

TCanvas& TControl::ControlCanvas() {
  TForm* form = GetParentForm(this);
  TBitmap* surface = nullptr;
  TRect area = Rect(0, 0, FWidth, FHeight);
  if (form) {
    surface = &form->Surface();
    area = FormRect();
  } else {
    if (!FDetachedSurface) FDetachedSurface = std::make_unique<TBitmap>();
    surface = FDetachedSurface.get();
  }
  if (!FCanvas || FCanvasSurface != surface || !(FCanvasArea == area)) {
    auto canvas = std::make_unique<TCanvas>(*surface, area);
    if (FCanvas) canvas->Assign(*FCanvas);
    else {
      canvas->Font().Assign(*FFont);
      canvas->Brush().SetColor(FColor);
    }
    FCanvas = std::move(canvas);
    FCanvasSurface = surface;
    FCanvasArea = area;
  }
  return *FCanvas;
}

void TControl::Loaded() {
  TComponent::Loaded();
  if (FAlign != alNone) RequestParentRealign();
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FPopupMenu) FPopupMenu = nullptr;
}

// --------------------------------------------------------- TGraphicControl

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) {}

void TGraphicControl::Paint() {}

void TGraphicControl::PaintControl(TCanvas& Canvas) {
  (void)Canvas;
  Paint();
}

// ------------------------------------------------------------- TWinControl

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() { DestroyChildren(); }

void TWinControl::DestroyChildren() {
  // A child deletes itself out of FControls (and out of its owner's list).
  while (!FControls.empty()) delete FControls.back();
}

TControl* TWinControl::Controls(int32_t Index) const {
  if (Index < 0 || Index >= ControlCount()) return nullptr;
  return FControls[static_cast<size_t>(Index)];
}

TControl* TWinControl::ControlAtPos(const TPoint& P, bool AllowDisabled) const {
  for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
    TControl* c = *it;
    if (!c->Visible() || (!AllowDisabled && !c->Enabled())) continue;
    const TRect r = c->BoundsRect();
    if (P.X >= r.Left && P.X < r.Right && P.Y >= r.Top && P.Y < r.Bottom) return c;
  }
  return nullptr;
}

void TWinControl::HandleNeeded() {
  if (!FHandleAllocated) {
    FHandleAllocated = true;
    CreateWnd();
  }
  for (TWinControl* child : WindowChildren()) child->HandleNeeded();
}

void TWinControl::CreateWnd() {}

void TWinControl::Broadcast(TMessage& Message) {
  const std::vector<TControlRef> children(FControls.begin(), FControls.end());
  for (const TControlRef& ref : children) {
    TControl* child = ref.Get();
    if (!child) continue;
    child->WndProc(Message);
    if (Message.Result != 0) break;
  }
}

void TWinControl::SetFocus() {
  if (auto* form = dynamic_cast<TForm*>(this)) {
    Screen().SetActiveForm(form);
    return;
  }
  if (!CanFocus()) return;
  if (TForm* form = GetParentForm(this)) form->FocusControl(this);
}

bool TWinControl::Focused() const {
  const TForm* form = GetParentForm(this);
  return form && form->ActiveControl() == this;
}

bool TWinControl::CanFocus() const {
  const TControl* c = this;
  for (; c->Parent(); c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return dynamic_cast<const TForm*>(c) != nullptr && c->Enabled();
}

int32_t TWinControl::TabOrder() const {
  if (!Parent()) return -1;
  const auto& list = Parent()->FTabList;
  return static_cast<int32_t>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TWinControl::SetTabOrder(int32_t Value) {
  if (!Parent()) return;
  auto& list = Parent()->FTabList;
  list.erase(std::find(list.begin(), list.end(), this));
  const auto at = static_cast<size_t>(std::clamp<int32_t>(Value, 0, static_cast<int32_t>(list.size())));
  list.insert(list.begin() + static_cast<std::ptrdiff_t>(at), this);
}

std::vector<TWinControl*> TWinControl::TabOrderList() const {
  std::vector<TWinControl*> list;
  CollectTabOrder(list);
  return list;
}

void TWinControl::CollectTabOrder(std::vector<TWinControl*>& List) const {
  for (TWinControl* child : FTabList) {
    List.push_back(child);
    child->CollectTabOrder(List);
  }
}

std::vector<TWinControl*> TWinControl::WindowChildren() const { return FTabList; }

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop) const {
  const std::vector<TWinControl*> list = TabOrderList();
  const auto count = static_cast<std::ptrdiff_t>(list.size());
  if (count == 0) return nullptr;
  std::ptrdiff_t index = std::find(list.begin(), list.end(), CurControl) - list.begin();
  if (index == count) index = GoForward ? count - 1 : 0;  // not in the list: start at an end
  for (std::ptrdiff_t step = 0; step < count; ++step) {
    index = GoForward ? (index + 1) % count : (index - 1 + count) % count;
    TWinControl* candidate = list[static_cast<size_t>(index)];
    if (candidate == CurControl) return nullptr;
    if (candidate->CanFocus() && (!CheckTabStop || candidate->TabStop())) return candidate;
  }
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
  if (TWinControl* next = FindNextControl(CurControl, GoForward, CheckTabStop)) next->SetFocus();
}

void TWinControl::Realign() {
  if (FAligning || InState(csLoading)) return;
  FAligning = true;
  try {
    // The space left for the next aligned child, in 64 bits.
    const TRect client = ClientRect();
    int64_t left = client.Left, top = client.Top, right = client.Right, bottom = client.Bottom;
    for (TAlign pass : {alTop, alBottom, alLeft, alRight, alClient}) {
      const std::vector<TControl*> children = FControls;
      for (TControl* c : children) {
        if (c->Align() != pass || !c->Visible()) continue;
        const int32_t w = Saturate(std::max<int64_t>(right - left, 0));
        const int32_t h = Saturate(std::max<int64_t>(bottom - top, 0));
        const int32_t cw = c->Width(), ch = c->Height();
        switch (pass) {
          case alTop: c->SetBounds(Saturate(left), Saturate(top), w, ch); top += ch; break;
          case alBottom: bottom -= ch; c->SetBounds(Saturate(left), Saturate(bottom), w, ch); break;
          case alLeft: c->SetBounds(Saturate(left), Saturate(top), cw, h); left += cw; break;
          case alRight: right -= cw; c->SetBounds(Saturate(right), Saturate(top), cw, h); break;
          default: c->SetBounds(Saturate(left), Saturate(top), w, h); break;
        }
      }
    }
  } catch (...) {
    FAligning = false;
    throw;
  }
  FAligning = false;
}

bool TWinControl::ClaimsKey(uint16_t Key, TShiftState Shift) const {
  (void)Key;
  (void)Shift;
  return false;
}

void TWinControl::KeyDown(uint16_t& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyPress(char32_t& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
}

void TWinControl::KeyUp(uint16_t& Key, TShiftState Shift) {
  if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

void TWinControl::FocusGained() { Invalidate(); }
void TWinControl::FocusLost() { Invalidate(); }

void TWinControl::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_KEYDOWN:
    case WM_KEYUP: {
      auto key = static_cast<uint16_t>(Message.WParam);
      const auto shift = static_cast<TShiftState>(Message.LParam);
      if (Message.Msg == WM_KEYDOWN) KeyDown(key, shift);
      else KeyUp(key, shift);
      Message.WParam = key;
      break;
    }
    case WM_CHAR: {
      auto ch = static_cast<char32_t>(Message.WParam);
      KeyPress(ch);
      Message.WParam = static_cast<intptr_t>(ch);
      break;
    }
    case WM_SETFOCUS: FocusGained(); break;
    case WM_KILLFOCUS: FocusLost(); break;
    case CM_ENTER: DoEnter(); break;
    case CM_EXIT: DoExit(); break;
    default: TControl::Dispatch(Message); break;
  }
}

void TWinControl::PaintControl(TCanvas& Canvas) {
  Canvas.Brush().SetStyle(bsSolid);
  Canvas.Brush().SetColor(Color());
  Canvas.FillRect(ClientRect());
}

void TWinControl::Loaded() {
  TControl::Loaded();
  Realign();
}

void TWinControl::InsertControl(TControl* Control) {
  FControls.push_back(Control);
  if (auto* win = dynamic_cast<TWinControl*>(Control)) FTabList.push_back(win);
}

void TWinControl::RemoveControl(TControl* Control) {
  if (TForm* form = GetParentForm(this)) {
    // The focus leaves with the control (no exit events: it is going away).
    for (TControl* c = form->ActiveControl(); c; c = c->Parent())
      if (c == Control) {
        form->FActiveControl = TControlRef();
        break;
      }
  }
  std::erase(FControls, Control);
  std::erase(FTabList, Control);
}

void TWinControl::RaiseControl(TControl* Control, bool ToTop) {
  std::erase(FControls, Control);
  if (ToTop) FControls.push_back(Control);
  else FControls.insert(FControls.begin(), Control);
  Control->Invalidate();
}

// ---------------------------------------------------------- TCustomControl

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {}

void TCustomControl::Paint() {}

void TCustomControl::PaintControl(TCanvas& Canvas) {
  TWinControl::PaintControl(Canvas);
  Paint();
}

TForm* GetParentForm(const TControl* Control) {
  const TControl* c = Control;
  if (!c) return nullptr;
  while (c->Parent()) c = c->Parent();
  return dynamic_cast<TForm*>(const_cast<TControl*>(c));
}

TStyleServices StyleServices() { return TStyleServices(); }

}  // namespace vexa
