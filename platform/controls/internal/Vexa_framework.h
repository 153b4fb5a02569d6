#pragma once
// Internal links between the units of the control framework (not installed
// for users): the router asks the open popup menu first, forms paint the
// menu overlay, and the painter draws a form's control tree.

#include <cstdint>

#include "platform/controls/Vexa_messages.h"
#include "platform/graphics/Vexa_bitmap.h"

namespace vexa {
class TForm;
class TControl;
}  // namespace vexa

namespace vexa::framework {

// Popup menus (Vexa_menus.cpp). Each returns true when an open menu on the
// form consumed the input.
bool MenuMouseMove(TForm& Form, TPoint P);
bool MenuMouseButton(TForm& Form, TMouseButton Button, bool Down, TPoint P);
bool MenuKeyDown(TForm& Form, uint16_t Key);
/// Draws the open menus of the form over Dest (form client coordinates).
void PaintMenuOverlays(const TForm& Form, TBitmap& Dest);
/// True while a menu is open on the form.
bool MenuOpenOn(const TForm& Form);
/// Closes the menus open on a form that goes away.
void CloseMenusOf(const TForm& Form);

// Dropped lists of combo boxes (Vexa_stdctrls_combo.cpp), asked after the
// popup menu; each returns true when an open list on the form consumed the input.
bool DropDownMouseMove(TForm& Form, TPoint P);
bool DropDownMouseButton(TForm& Form, TMouseButton Button, bool Down, TPoint P);
bool DropDownKeyDown(TForm& Form, uint16_t Key, TShiftState Shift);
/// Draws the open list of the form over Dest (form client coordinates).
void PaintDropDownOverlay(const TForm& Form, TBitmap& Dest);
/// True while a combo box's list is open on the form.
bool DropDownOpenOn(const TForm& Form);
/// Closes the list open on a form that is hidden or goes away.
void CloseDropDownsOf(const TForm& Form);

// Forms (Vexa_forms.cpp).
/// The modal form on top, or nullptr.
TForm* TopModalForm();
/// Paints the control tree of a form inside Clip (form client coordinates).
void PaintTree(TControl& Control, const TRect& Clip);
/// True while a popup menu or a dropped list lies over the form's surface.
bool HasOverlays(const TForm& Form);
/// Draws the form's overlays (dropped list, then menus) over Dest, which
/// holds the form's surface: what a screen shows of the form.
void PaintOverlays(const TForm& Form, TBitmap& Dest);

}  // namespace vexa::framework
