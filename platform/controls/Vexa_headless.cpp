#include "platform/controls/Vexa_headless.h"

#include "platform/Vexa_dateutils.h"
#include "platform/controls/Vexa_forms.h"
#include "platform/controls/Vexa_input.h"
#include "platform/controls/Vexa_timers.h"
#include "platform/controls/internal/Vexa_framework.h"
#include "platform/graphics/Vexa_fontcache.h"

namespace vexa {

// ------------------------------------------------------------ backend slot

namespace {

struct TBackendSlot {
  std::unique_ptr<TBackend> Current;
  int64_t Beeps = 0;
};

TBackendSlot& Slot() {
  static TBackendSlot* slot = new TBackendSlot();  // lives until exit
  return *slot;
}

void InstallHeadless(TBackendSlot& S) {
  auto headless = std::make_unique<THeadlessBackend>();
  THeadlessBackend* raw = headless.get();
  S.Current = std::move(headless);
  // Now() follows the test clock while the headless backend is in use.
  SetClock([raw] {
    return UnixDateDelta + static_cast<double>(raw->Clock().WallClockMs()) / static_cast<double>(MSecsPerDay);
  });
}

}  // namespace

TBackend& Backend() {
  TBackendSlot& s = Slot();
  if (!s.Current) InstallHeadless(s);
  return *s.Current;
}

void SetBackend(std::unique_ptr<TBackend> NewBackend) {
  TBackendSlot& s = Slot();
  if (!NewBackend) {
    InstallHeadless(s);
    return;
  }
  ResetClock();
  s.Current = std::move(NewBackend);
}

void Beep() {
  ++Slot().Beeps;
  Backend().Beep();
}

int64_t BeepCount() { return Slot().Beeps; }
void ResetBeepCount() { Slot().Beeps = 0; }

THeadlessBackend* HeadlessBackend() { return dynamic_cast<THeadlessBackend*>(&Backend()); }

TTestClock& TestClock() {
  THeadlessBackend* headless = HeadlessBackend();
  if (!headless) throw EComponentError("The test clock needs the headless backend");
  return headless->Clock();
}

// ------------------------------------------------------------------- clock

void TTestClock::Advance(int64_t Ms) {
  if (Ms <= 0) return;
  const int64_t target = FTick + Ms;
  for (;;) {
    const int64_t deadline = NextTimerDeadline();
    if (deadline < 0 || deadline > target) break;
    if (deadline > FTick) FTick = deadline;
    FireNextTimer(FTick);
  }
  FTick = target;
  Application().ProcessMessages();
}

bool THeadlessBackend::PumpEvents(bool Wait, int64_t Deadline) {
  (void)Wait;
  (void)Deadline;
  return false;
}

// --------------------------------------------------------------- simulator

std::string EncodeUtf8(char32_t CodePoint) {
  uint32_t c = CodePoint;
  if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
  std::string out;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

namespace {

/// The character a key produces, 0 when it produces none.
char32_t KeyChar(uint16_t Key, TShiftState Modifiers) {
  const bool shift = (Modifiers & ShiftBit(ssShift)) != 0;
  const bool ctrl = (Modifiers & ShiftBit(ssCtrl)) != 0;
  if (Modifiers & ShiftBit(ssAlt)) return 0;
  switch (Key) {
    case VK_BACK: case VK_TAB: case VK_RETURN: case VK_ESCAPE: return Key;
    case VK_SPACE: return ctrl ? 0 : U' ';
    default: break;
  }
  if (Key >= 'A' && Key <= 'Z') {
    if (ctrl) return static_cast<char32_t>(Key - 'A' + 1);  // Ctrl+A is character 1
    return shift ? Key : static_cast<char32_t>(Key + ('a' - 'A'));
  }
  if (Key >= '0' && Key <= '9' && !ctrl) return Key;
  return 0;
}

uint16_t KeyOfChar(char32_t C) {
  switch (C) {
    case U'\t': return VK_TAB;
    case U'\r': case U'\n': return VK_RETURN;
    case 0x1B: return VK_ESCAPE;
    case 0x08: return VK_BACK;
    default: return 0;
  }
}

}  // namespace

TForm* TInputSimulator::Form() const { return static_cast<TForm*>(FForm.Get()); }

TShiftState TInputSimulator::ButtonsHeld() const {
  TShiftState s = FModifiers;
  if (FButtons & 1) s |= ShiftBit(ssLeft);
  if (FButtons & 2) s |= ShiftBit(ssRight);
  if (FButtons & 4) s |= ShiftBit(ssMiddle);
  return s;
}

TForm* TInputSimulator::KeyForm() const {
  if (TForm* modal = framework::TopModalForm()) return modal;
  if (TForm* active = Screen().ActiveForm()) return active;
  return Form();
}

void TInputSimulator::MoveTo(TForm& Form, int32_t X, int32_t Y) {
  if (TForm* old = this->Form(); old && old != &Form) RouteMouseExit(*old);
  FForm = TControlRef(&Form);
  FPos = Point(X, Y);
  RouteMouseMove(Form, FPos, ButtonsHeld());
}

void TInputSimulator::MoveTo(TControl& Control, int32_t X, int32_t Y) {
  TForm* form = GetParentForm(&Control);
  if (!form) return;
  const TRect r = Control.FormRect();
  MoveTo(*form, r.Left + X, r.Top + Y);
}

void TInputSimulator::Leave() {
  if (TForm* form = Form()) RouteMouseExit(*form);
  FForm = TControlRef();
}

void TInputSimulator::ButtonDown(TMouseButton Button) {
  TForm* form = Form();
  if (!form) return;
  FButtons |= 1u << Button;
  RouteMouseButton(*form, Button, true, FPos, ButtonsHeld());
}

void TInputSimulator::ButtonUp(TMouseButton Button) {
  FButtons &= ~(1u << Button);
  TForm* form = Form();
  if (!form) return;
  RouteMouseButton(*form, Button, false, FPos, ButtonsHeld());
}

void TInputSimulator::Click(TMouseButton Button) {
  ButtonDown(Button);
  ButtonUp(Button);
}

void TInputSimulator::DoubleClick() {
  Click();
  Click();
}

void TInputSimulator::ClickControl(TControl& Control, TMouseButton Button) {
  MoveTo(Control, Control.Width() / 2, Control.Height() / 2);
  Click(Button);
}

void TInputSimulator::Wheel(int32_t Delta) {
  if (TForm* form = Form()) RouteMouseWheel(*form, Delta, FPos, ButtonsHeld());
}

bool TInputSimulator::KeyDown(uint16_t Key) {
  TForm* form = KeyForm();
  return form && RouteKeyDown(*form, Key, FModifiers);
}

void TInputSimulator::KeyUp(uint16_t Key) {
  if (TForm* form = KeyForm()) RouteKeyUp(*form, Key, FModifiers);
}

void TInputSimulator::PressKey(uint16_t Key) {
  const bool usedByForm = KeyDown(Key);
  const char32_t c = KeyChar(Key, FModifiers);
  if (c != 0 && !usedByForm) TypeChar(c);
  KeyUp(Key);
}

void TInputSimulator::TypeChar(char32_t Char) {
  if (TForm* form = KeyForm()) RouteChar(*form, Char);
}

void TInputSimulator::Type(const std::string& Text) {
  for (const uint32_t c : fontcache::DecodeText(Text)) {
    if (const uint16_t key = KeyOfChar(c)) PressKey(key);
    else TypeChar(c);
  }
}

}  // namespace vexa
