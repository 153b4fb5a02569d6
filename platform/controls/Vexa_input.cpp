#include "platform/controls/Vexa_input.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/controls/Vexa_forms.h"
#include "platform/controls/Vexa_menus.h"
#include "platform/controls/internal/Vexa_framework.h"

namespace vexa {

namespace {

struct TRouterState {
  TControlRef Capture;
  uint32_t ButtonsDown = 0;
  TControlRef Over;           // innermost control under the pointer
  TControlRef PressControl;   // receiver of the last left press
  bool PressWasDouble = false;
  TControlRef LastDownControl;
  TMouseButton LastDownButton = mbLeft;
  int64_t LastDownTime = 0;
  TPoint LastDownPos;
  bool LastWasDouble = false;
  TPoint CursorScreen;
};

TRouterState& Router() {
  static TRouterState* state = new TRouterState();  // lives until exit
  return *state;
}

/// Runs a dispatch; an exception goes to the application's handler.
template <typename F>
void Guarded(TObject* Sender, F&& Action) {
  try {
    Action();
  } catch (...) {
    Application().HandleException(Sender);
  }
}

/// Input reaches a form unless a modal form above it runs or it is disabled.
bool InputAllowed(const TForm& Form) {
  const TForm* modal = framework::TopModalForm();
  return Form.Enabled() && (!modal || modal == &Form);
}

/// Topmost visible control at a form client point (disabled ones included).
TControl* HitTest(TForm& Form, TPoint P) {
  TControl* hit = &Form;
  TWinControl* container = &Form;
  while (container) {
    TControl* child = container->ControlAtPos(P, true);
    if (!child) break;
    hit = child;
    P = Point(P.X - child->Left(), P.Y - child->Top());
    container = dynamic_cast<TWinControl*>(child);
  }
  return hit;
}

/// The control that takes the input of a hit control: the nearest one on
/// its chain below which nothing is disabled.
TControl* InputTarget(TControl* Hit) {
  TControl* target = Hit;
  for (TControl* c = Hit; c; c = c->Parent())
    if (!c->Enabled()) target = c->Parent();
  return target;
}

TPoint LocalPoint(const TControl& Control, TPoint Screen) { return Control.ScreenToClient(Screen); }

TCursor CursorOf(const TControl* Control) {
  for (const TControl* c = Control; c; c = c->Parent())
    if (c->Cursor() != crDefault) return c->Cursor();
  return crDefault;
}

void SetOver(TControl* Control) {
  TRouterState& r = Router();
  TControl* old = r.Over.Get();
  if (old == Control) return;
  r.Over = TControlRef(Control);
  const TControlRef entering(Control);
  if (old) Guarded(old, [old] { old->Perform(CM_MOUSELEAVE, 0, 0); });
  if (TControl* c = entering.Get(); c && Router().Over.Get() == c)
    Guarded(c, [c] { c->Perform(CM_MOUSEENTER, 0, 0); });
  Screen().SetCursorUnderPointer(CursorOf(Router().Over.Get()));
}

uint32_t DownMessage(TMouseButton Button, bool Double) {
  const uint32_t base = Button == mbLeft ? WM_LBUTTONDOWN : Button == mbRight ? WM_RBUTTONDOWN : WM_MBUTTONDOWN;
  return Double ? base + 2 : base;
}

uint32_t UpMessage(TMouseButton Button) { return DownMessage(Button, false) + 1; }

bool IsSecondClick(const TRouterState& R, const TControl* Receiver, TMouseButton Button, int64_t Now) {
  return !R.LastWasDouble && R.LastDownControl.Get() == Receiver && R.LastDownButton == Button &&
         Now - R.LastDownTime <= DoubleClickTime &&
         std::abs(R.CursorScreen.X - R.LastDownPos.X) <= DoubleClickDistance &&
         std::abs(R.CursorScreen.Y - R.LastDownPos.Y) <= DoubleClickDistance &&
         (Receiver->ControlStyle() & ControlStyleBit(csDoubleClicks)) != 0;
}

void PressButton(TForm& Form, TMouseButton Button, TPoint P, TShiftState Shift) {
  TRouterState& r = Router();
  TControl* target = InputTarget(HitTest(Form, P));
  SetOver(target);
  r.ButtonsDown |= 1u << Button;
  if (!r.Capture) r.Capture = TControlRef(target);
  TControl* receiver = r.Capture.Get();
  if (!receiver) return;
  const int64_t now = Backend().TickCount();
  const bool isDouble = IsSecondClick(r, receiver, Button, now);
  r.LastDownControl = TControlRef(receiver);
  r.LastDownButton = Button;
  r.LastDownTime = now;
  r.LastDownPos = r.CursorScreen;
  r.LastWasDouble = isDouble;
  if (Button == mbLeft) {
    r.PressControl = TControlRef(receiver);
    r.PressWasDouble = isDouble;
  }
  const TPoint local = LocalPoint(*receiver, r.CursorScreen);
  Guarded(receiver, [&] { receiver->Perform(DownMessage(Button, isDouble), Shift, PackMousePos(local.X, local.Y)); });
}

void OpenPopupFor(TControl* Control, TPoint Screen) {
  for (TControl* c = Control; c; c = c->Parent()) {
    TPopupMenu* menu = c->PopupMenu();
    if (!menu) continue;
    if (menu->AutoPopup()) {
      menu->SetPopupComponent(c);
      menu->Popup(Screen.X, Screen.Y);
    }
    return;
  }
}

void ReleaseButton(TForm& Form, TMouseButton Button, TPoint P, TShiftState Shift) {
  TRouterState& r = Router();
  TControl* target = InputTarget(HitTest(Form, P));
  r.ButtonsDown &= ~(1u << Button);
  TControl* receiver = r.Capture ? r.Capture.Get() : target;
  if (r.ButtonsDown == 0) r.Capture = TControlRef();
  if (receiver) {
    const TControlRef ref(receiver);
    const TPoint local = LocalPoint(*receiver, r.CursorScreen);
    Guarded(receiver, [&] { receiver->Perform(UpMessage(Button), Shift, PackMousePos(local.X, local.Y)); });
    const bool clicked = Button == mbLeft && !r.PressWasDouble && r.PressControl.Get() == receiver;
    if (Button == mbLeft) r.PressControl = TControlRef();
    if (clicked && ref && (receiver->ControlStyle() & ControlStyleBit(csClickEvents)) != 0) {
      const TRect client = receiver->ClientRect();
      if (local.X >= client.Left && local.X < client.Right && local.Y >= client.Top && local.Y < client.Bottom)
        Guarded(receiver, [&] { receiver->Click(); });
    }
  }
  if (Button == mbRight) {
    TControl* under = InputTarget(HitTest(Form, P));
    Guarded(under, [&] { OpenPopupFor(under, r.CursorScreen); });
  }
  SetOver(InputTarget(HitTest(Form, P)));
}

/// Sends a key message to a control and returns the key it leaves.
uint32_t SendKey(TWinControl& Control, uint32_t Msg, uint32_t Key, TShiftState Shift) {
  TMessage message{Msg, static_cast<intptr_t>(Key), static_cast<intptr_t>(Shift), 0};
  Guarded(&Control, [&] { Control.WndProc(message); });
  return static_cast<uint32_t>(message.WParam);
}

/// Offers CM_DIALOGKEY to every control of a tree, depth first, until one takes it.
bool OfferDialogKey(TWinControl& Container, TMessage& Message) {
  for (int32_t i = 0; i < Container.ControlCount(); ++i) {
    const TControlRef ref(Container.Controls(i));
    TControl* child = ref.Get();
    if (!child || !child->Visible()) continue;
    Guarded(child, [&] { child->WndProc(Message); });
    if (Message.Result != 0) return true;
    if (auto* inner = dynamic_cast<TWinControl*>(ref.Get()); inner && OfferDialogKey(*inner, Message)) return true;
  }
  return false;
}

bool DialogKey(TForm& Form, TWinControl* Focused, uint16_t Key, TShiftState Shift) {
  if (Key == VK_TAB) {
    if (Shift & (ShiftBit(ssCtrl) | ShiftBit(ssAlt))) return false;
    Guarded(&Form, [&] { Form.SelectNext(Focused, (Shift & ShiftBit(ssShift)) == 0, true); });
    return true;
  }
  TMessage message{CM_DIALOGKEY, Key, static_cast<intptr_t>(Shift), 0};
  return OfferDialogKey(Form, message);
}

}  // namespace

void RouteMouseMove(TForm& Form, TPoint P, TShiftState Shift) {
  if (!InputAllowed(Form)) return;
  TRouterState& r = Router();
  r.CursorScreen = Form.ClientToScreen(P);
  if (framework::MenuMouseMove(Form, P) || framework::DropDownMouseMove(Form, P)) return;
  const TControlRef formRef(&Form);
  SetOver(InputTarget(HitTest(Form, P)));
  if (!formRef) return;
  TControl* receiver = r.Capture ? r.Capture.Get() : r.Over.Get();
  if (!receiver) return;
  const TPoint local = LocalPoint(*receiver, r.CursorScreen);
  Guarded(receiver, [&] { receiver->Perform(WM_MOUSEMOVE, Shift, PackMousePos(local.X, local.Y)); });
}

void RouteMouseButton(TForm& Form, TMouseButton Button, bool Down, TPoint P, TShiftState Shift) {
  if (!InputAllowed(Form)) return;
  Router().CursorScreen = Form.ClientToScreen(P);
  if (framework::MenuMouseButton(Form, Button, Down, P) || framework::DropDownMouseButton(Form, Button, Down, P))
    return;
  Screen().SetActiveForm(&Form);
  if (Down) PressButton(Form, Button, P, Shift);
  else ReleaseButton(Form, Button, P, Shift);
}

void RouteMouseWheel(TForm& Form, int32_t WheelDelta, TPoint P, TShiftState Shift) {
  if (!InputAllowed(Form)) return;
  TRouterState& r = Router();
  r.CursorScreen = Form.ClientToScreen(P);
  TControl* start = Form.ActiveControl();
  if (!start) start = InputTarget(HitTest(Form, P));
  const auto delta = static_cast<uint16_t>(static_cast<int16_t>(std::clamp(WheelDelta, -32768, 32767)));
  const intptr_t wparam = static_cast<intptr_t>((uint32_t{delta} << 16) | (Shift & 0xFFFF));
  std::vector<TControlRef> chain;
  for (TControl* c = start; c; c = c->Parent()) chain.emplace_back(c);
  for (const TControlRef& ref : chain) {
    TControl* c = ref.Get();
    if (!c) continue;
    const TPoint local = LocalPoint(*c, r.CursorScreen);
    intptr_t handled = 0;
    Guarded(c, [&] { handled = c->Perform(WM_MOUSEWHEEL, wparam, PackMousePos(local.X, local.Y)); });
    if (handled) break;
  }
}

void RouteMouseExit(TForm& Form) {
  TControl* over = Router().Over.Get();
  if (over && GetParentForm(over) == &Form) SetOver(nullptr);
}

bool RouteKeyDown(TForm& Form, uint16_t Key, TShiftState Shift) {
  if (!InputAllowed(Form)) return false;
  if (framework::MenuKeyDown(Form, Key) || framework::DropDownKeyDown(Form, Key, Shift)) return true;
  Screen().SetActiveForm(&Form);
  const TControlRef formRef(&Form);
  uint32_t key = Key;
  TWinControl* focused = Form.ActiveControl();
  const TControlRef focusedRef(focused);
  if (focused && Form.KeyPreview()) key = SendKey(Form, WM_KEYDOWN, key, Shift);
  if (key == 0 || !formRef) return false;
  TWinControl* target = focused ? static_cast<TWinControl*>(focusedRef.Get()) : &Form;
  if (!target) return false;
  key = SendKey(*target, WM_KEYDOWN, key, Shift);
  if (key == 0 || !formRef) return false;
  if (key != VK_TAB && key != VK_RETURN && key != VK_ESCAPE) return false;
  focused = static_cast<TWinControl*>(focusedRef.Get());
  if (focused && focused->ClaimsKey(static_cast<uint16_t>(key), Shift)) return false;
  return DialogKey(Form, Form.ActiveControl(), static_cast<uint16_t>(key), Shift);
}

void RouteKeyUp(TForm& Form, uint16_t Key, TShiftState Shift) {
  if (!InputAllowed(Form)) return;
  const TControlRef formRef(&Form);
  uint32_t key = Key;
  TWinControl* focused = Form.ActiveControl();
  const TControlRef focusedRef(focused);
  if (focused && Form.KeyPreview()) key = SendKey(Form, WM_KEYUP, key, Shift);
  if (key == 0 || !formRef) return;
  TWinControl* target = focused ? static_cast<TWinControl*>(focusedRef.Get()) : &Form;
  if (target) SendKey(*target, WM_KEYUP, key, Shift);
}

void RouteChar(TForm& Form, char32_t Char) {
  if (!InputAllowed(Form)) return;
  const TControlRef formRef(&Form);
  uint32_t c = Char;
  TWinControl* focused = Form.ActiveControl();
  const TControlRef focusedRef(focused);
  if (focused && Form.KeyPreview()) c = SendKey(Form, WM_CHAR, c, 0);
  if (c == 0 || !formRef) return;
  TWinControl* target = focused ? static_cast<TWinControl*>(focusedRef.Get()) : &Form;
  if (target) SendKey(*target, WM_CHAR, c, 0);
}

TControl* CaptureControl() { return Router().Capture.Get(); }

void SetCaptureControl(TControl* Control) { Router().Capture = TControlRef(Control); }

TControl* MouseControl() { return Router().Over.Get(); }

TPoint CursorPos() { return Router().CursorScreen; }

}  // namespace vexa
