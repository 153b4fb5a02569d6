#pragma once
/// @file
/// The backend interface: what the control framework needs from a window
/// system. The framework itself (control tree, painting into each form's
/// retained surface, input routing, timers) is the same for every backend; a
/// backend supplies the clocks, shows the forms' surfaces, feeds native input
/// into the routing functions of Vexa_input.h and waits for events.
///
/// The headless backend (Vexa_headless.h) is the default and runs every unit
/// test: its clock only moves when a test advances it.

#include <cstdint>
#include <memory>

#include "platform/graphics/Vexa_graphtypes.h"

namespace vexa {

class TForm;

/// Cursor id: 0 the default, negative the platform's stock cursors, positive
/// the application's own (Screen().SetCursors).
using TCursor = int16_t;

/// A window system the framework runs on.
class TBackend {
public:
  virtual ~TBackend() = default;

  /// Milliseconds of the event loop's monotonic clock (timer time).
  virtual int64_t TickCount() = 0;
  /// Wall clock: milliseconds since 1970-01-01 00:00 UTC.
  virtual int64_t WallClockMs() = 0;

  /// A form became visible; its surface is already painted.
  virtual void FormShown(TForm& Form) { (void)Form; }
  /// A form was hidden or is being destroyed.
  virtual void FormHidden(TForm& Form) { (void)Form; }
  /// A shown form's bounds or caption changed.
  virtual void FormChanged(TForm& Form) { (void)Form; }
  /// Part of a shown form's surface was repainted (form client coordinates).
  virtual void FormPainted(TForm& Form, const TRect& Area) {
    (void)Form;
    (void)Area;
  }
  /// The pointer shape to show changed.
  virtual void SetPointerCursor(TCursor Cursor) { (void)Cursor; }
  /// Sounds the system's default beep.
  virtual void Beep() {}
  /// Routes the native events that have arrived and, when Wait is true,
  /// first waits for one until the tick count reaches Deadline (-1: no
  /// deadline). Returns false when no event can ever arrive without the
  /// program's help (the headless backend): loops must then not wait.
  virtual bool PumpEvents(bool Wait, int64_t Deadline) = 0;
};

/// The backend in use (the headless one unless another was installed).
TBackend& Backend();
/// Installs a backend (nullptr: back to a fresh headless backend). Forms
/// shown under the old backend should be hidden first.
void SetBackend(std::unique_ptr<TBackend> NewBackend);

/// Sounds the beep through the backend and counts it.
void Beep();
/// Number of beeps since start or the last ResetBeepCount (for tests).
int64_t BeepCount();
void ResetBeepCount();

}  // namespace vexa
