#pragma once
/// @file
/// The headless backend (the default, used by every unit test), its test
/// clock and an input simulator.
///
/// The test clock stands still until a test calls Advance(ms): the clock
/// then walks from deadline to deadline, firing each due timer with the
/// clock reading its deadline, paints pending areas, and ends at the target
/// time. The wall clock (WallClockMs, the source of Now) moves with it.
///
/// The simulator feeds the same routing functions (Vexa_input.h) as a real
/// window system: positions are form client coordinates (or a control's
/// client coordinates), keys go to the active form.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/controls/Vexa_backend.h"
#include "platform/controls/Vexa_controls.h"

namespace vexa {

class TForm;
class TControl;

/// The clock of the headless backend. While the headless backend is
/// installed, Now() of Vexa_dateutils reads this wall clock (as local time).
class TTestClock {
public:
  /// Timer time in milliseconds (starts at 0).
  int64_t TickCount() const { return FTick; }
  /// Wall clock in milliseconds since 1970-01-01 UTC (starts at
  /// 2000-01-01 00:00 UTC).
  int64_t WallClockMs() const { return FWallBase + FTick; }
  /// Sets the wall clock's current reading (timer time is not touched).
  void SetWallClockMs(int64_t MsSinceEpoch) { FWallBase = MsSinceEpoch - FTick; }
  /// Moves both clocks forward by Ms (ignored when not positive), firing
  /// the timers that fall due on the way, then processes pending work.
  void Advance(int64_t Ms);

private:
  int64_t FTick = 0;
  int64_t FWallBase = 946684800000;  // 2000-01-01 00:00 UTC
};

/// Backend without a window system: forms live only in their surfaces.
class THeadlessBackend : public TBackend {
public:
  int64_t TickCount() override { return FClock.TickCount(); }
  int64_t WallClockMs() override { return FClock.WallClockMs(); }
  void SetPointerCursor(TCursor Cursor) override { FPointerCursor = Cursor; }
  /// Nothing arrives by itself: returns false at once.
  bool PumpEvents(bool Wait, int64_t Deadline) override;

  TTestClock& Clock() { return FClock; }
  /// The pointer shape last set by the framework.
  TCursor PointerCursor() const { return FPointerCursor; }

private:
  TTestClock FClock;
  TCursor FPointerCursor = 0;
};

/// The headless backend in use, or nullptr under another backend.
THeadlessBackend* HeadlessBackend();
/// The test clock of the headless backend; raises EComponentError when
/// another backend is installed.
TTestClock& TestClock();

/// Synthetic user input for tests (and the gallery).
class TInputSimulator {
public:
  /// Modifier keys held for the following events (ssShift, ssCtrl, ssAlt).
  void SetModifiers(TShiftState Modifiers) { FModifiers = Modifiers & 0x7; }

  /// Moves the pointer to a point of a form's client area.
  void MoveTo(TForm& Form, int32_t X, int32_t Y);
  /// Moves the pointer to a point of a control's client area (its form).
  void MoveTo(TControl& Control, int32_t X, int32_t Y);
  /// Moves the pointer out of its form.
  void Leave();
  void ButtonDown(TMouseButton Button = mbLeft);
  void ButtonUp(TMouseButton Button = mbLeft);
  /// Down and up at the current position.
  void Click(TMouseButton Button = mbLeft);
  /// Two clicks at the current position (no time passes in between).
  void DoubleClick();
  /// Moves to the centre of a control and clicks.
  void ClickControl(TControl& Control, TMouseButton Button = mbLeft);
  /// Turns the wheel (+120 per notch away from the user).
  void Wheel(int32_t Delta);

  /// Key down to the active form; false when the form took it as a dialog key.
  bool KeyDown(uint16_t Key);
  void KeyUp(uint16_t Key);
  /// Down, its character (for keys that have one, unless the form took
  /// the key), up.
  void PressKey(uint16_t Key);
  /// One character to the active form.
  void TypeChar(char32_t Char);
  /// Types UTF-8 text: one character per code point; Tab, Enter, Escape and
  /// Backspace are pressed as keys. Invalid bytes count as Latin-1.
  void Type(const std::string& Text);

  TForm* Form() const;

private:
  TShiftState ButtonsHeld() const;
  TForm* KeyForm() const;
  TControlRef FForm;
  TPoint FPos;
  TShiftState FModifiers = 0;
  uint32_t FButtons = 0;
};

/// Encodes one code point as UTF-8 (invalid code points as U+FFFD).
std::string EncodeUtf8(char32_t CodePoint);

}  // namespace vexa
