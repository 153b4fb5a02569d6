#pragma once
/// @file
/// The X11 backend: each shown form gets a real window on an X display.
///
/// The framework stays the same as under the headless backend; this backend
/// only shows each form's retained surface in its window (XPutImage on
/// Expose and after every repaint), turns the window system's events into
/// calls of the routing functions of Vexa_input.h, and waits for events with
/// poll() until the next timer is due. Timers run on the real monotonic
/// clock; Now() reads the system clock.
///
/// - Windows need a 24-bit TrueColor visual (red, green and blue bytes); a
///   display without one is refused with a message.
/// - Keys: the key symbol gives the virtual key (the platform's numbers),
///   the text of the key (Latin-1, or a Unicode key symbol) the characters.
/// - Closing a window (WM_DELETE_WINDOW) calls the form's Close; a modal
///   form's window is transient for the form that was active before it.
/// - Clipboard: while the in-process clipboard holds text, the backend owns
///   the CLIPBOARD selection and serves that text as UTF8_STRING and STRING
///   (and the TARGETS list). Nothing is read from other programs.
///
/// The headless backend stays the default; an application opts in:
/// @code
/// std::string why;
/// if (!vexa::InstallX11Backend(why)) std::fprintf(stderr, "%s\n", why.c_str());
/// @endcode

#include <cstdint>
#include <memory>
#include <string>

#include "platform/controls/Vexa_backend.h"

namespace vexa {

/// A backend showing forms as windows on an X display.
class TX11Backend : public TBackend {
public:
  /// Connects to a display (empty name: the DISPLAY environment variable)
  /// and checks its visual. Returns nullptr and sets ErrorMessage when there
  /// is no display or no 24-bit TrueColor visual.
  static std::unique_ptr<TX11Backend> Open(const std::string& DisplayName, std::string& ErrorMessage);
  ~TX11Backend() override;
  TX11Backend(const TX11Backend&) = delete;
  TX11Backend& operator=(const TX11Backend&) = delete;

  int64_t TickCount() override;
  int64_t WallClockMs() override;
  void FormShown(TForm& Form) override;
  void FormHidden(TForm& Form) override;
  void FormChanged(TForm& Form) override;
  void FormPainted(TForm& Form, const TRect& Area) override;
  void SetPointerCursor(TCursor Cursor) override;
  void Beep() override;
  bool PumpEvents(bool Wait, int64_t Deadline) override;

  /// The X window showing a form (0 when the form has none).
  unsigned long WindowOf(const TForm& Form) const;
  /// The name of the display connected to (as Xlib reports it).
  std::string DisplayName() const;
  /// Waits until the server has handled every request sent so far (its
  /// errors are then counted).
  void Sync();
  /// Width and height of the display's screen in pixels.
  TPoint ScreenSize() const;
  /// Protocol errors the server reported on the connection of the newest
  /// backend (counted instead of ending the program; errors of other Xlib
  /// connections of the process are ignored).
  static int64_t ProtocolErrorCount();

private:
  struct TImpl;
  explicit TX11Backend(std::unique_ptr<TImpl> Impl);
  std::unique_ptr<TImpl> F;
};

/// Opens the display (empty name: DISPLAY) and installs the X11 backend;
/// the screen size follows the display. On failure the current backend
/// stays and ErrorMessage says why.
bool InstallX11Backend(std::string& ErrorMessage, const std::string& DisplayName = {});
/// The X11 backend in use, or nullptr under another backend.
TX11Backend* X11Backend();

/// The virtual key (the platform's number) of an X key symbol; 0 for keys
/// without one.
uint16_t KeysymToVirtualKey(uint32_t Keysym);

}  // namespace vexa
