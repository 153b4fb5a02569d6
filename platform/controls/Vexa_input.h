#pragma once
/// @file
/// Input routing, shared by every backend: a backend (or the headless input
/// simulator) reports what happened in a form, in the form's client
/// coordinates, and these functions deliver it to controls.
///
/// Mouse: the receiver is the topmost visible control under the pointer; a
/// disabled one passes its input to its nearest enabled ancestor. A button
/// press captures the mouse for the receiver until all buttons are up:
/// moves and the release reach it in its own coordinates, even outside. A
/// left release inside the pressing control calls Click. A second press of
/// the same button within 500 ms and 4 px on the same control is a double
/// click: DblClick, then MouseDown with ssDouble, and its release calls no
/// Click. CM_MOUSELEAVE / CM_MOUSEENTER go out whenever the innermost
/// control under the pointer changes, also during capture. The wheel goes
/// to the focused control, else to the control under the pointer, and
/// bubbles to the parents until handled. A right release over a control
/// with a PopupMenu opens it at the pointer.
///
/// Keys: a previewing form (KeyPreview) sees a key first and may zero it;
/// then the focused control (or the form when none has the focus); then,
/// unless the control claims it (ClaimsKey) or zeroed it, Tab/Shift+Tab
/// move the focus and Enter/Escape go to the Default/Cancel button as
/// CM_DIALOGKEY. Every handler exception goes to Application().HandleException.

#include <cstdint>

#include "platform/controls/Vexa_messages.h"

namespace vexa {

class TForm;
class TControl;

/// Double-click limits.
constexpr int64_t DoubleClickTime = 500;
constexpr int32_t DoubleClickDistance = 4;

void RouteMouseMove(TForm& Form, TPoint P, TShiftState Shift);
void RouteMouseButton(TForm& Form, TMouseButton Button, bool Down, TPoint P, TShiftState Shift);
void RouteMouseWheel(TForm& Form, int32_t WheelDelta, TPoint P, TShiftState Shift);
/// The pointer left the form's window.
void RouteMouseExit(TForm& Form);
/// A key went down. True when the form used it for navigation or a
/// Default/Cancel button, so the backend must not deliver its character.
bool RouteKeyDown(TForm& Form, uint16_t Key, TShiftState Shift);
void RouteKeyUp(TForm& Form, uint16_t Key, TShiftState Shift);
/// A character was typed (a Unicode code point).
void RouteChar(TForm& Form, char32_t Char);

/// The control holding the mouse capture, or nullptr.
TControl* CaptureControl();
/// Gives the capture to a control (nullptr releases it).
void SetCaptureControl(TControl* Control);
/// The innermost control under the pointer, or nullptr.
TControl* MouseControl();
/// Last pointer position reported, in screen coordinates.
TPoint CursorPos();

}  // namespace vexa
