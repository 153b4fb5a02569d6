#pragma once
/// @file
/// The control tree: TControl (a rectangle on a parent with mouse input),
/// TGraphicControl (drawn on its parent's surface), TWinControl (a control
/// holding children, with keyboard focus) and TCustomControl (a window
/// control with its own canvas).
///
/// Every shown form keeps a retained surface (a TBitmap). Painting happens
/// into that surface: Invalidate marks an area for the next pass of the loop
/// (deferred), Repaint paints it at once. A pass paints the form's controls
/// back to front, each clipped to its own rectangle and its parents' client
/// areas; a graphic control is drawn over whatever its parent drew beneath.
/// Drawing on a control's Canvas outside Paint goes straight into the
/// surface and stays there until that area is repainted.
///
/// Messages: Perform builds a TMessage and hands it to the virtual WndProc,
/// which calls Dispatch; Dispatch routes the ids of Vexa_messages.h to the
/// virtual handlers (MouseDown, KeyDown, ...). Overriding WndProc sees every
/// message first; overriding Dispatch adds handlers for further ids.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Vexa_classes.h"
#include "platform/controls/Vexa_backend.h"
#include "platform/controls/Vexa_messages.h"
#include "platform/graphics/Vexa_canvas.h"

namespace vexa {

class TWinControl;
class TForm;
class TPopupMenu;
class TInputRouter;
class TControlPainter;

/// How a control places itself in its parent's client area.
enum TAlign : uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum TAnchorKind : uint8_t { akLeft, akTop, akRight, akBottom };
/// Set of TAnchorKind ordinals as bits (stored only).
using TAnchors = uint32_t;
enum TDragMode : uint8_t { dmManual, dmAutomatic };
enum TDragKind : uint8_t { dkDrag, dkDock };
enum TStyleElement : uint8_t { seFont, seClient, seBorder };
/// Set of TStyleElement ordinals as bits (stored only).
using TStyleElements = uint32_t;

/// Size limits of a control (stored only; bounds are not limited by them).
struct TSizeConstraints {
  int32_t MinWidth = 0;
  int32_t MinHeight = 0;
  int32_t MaxWidth = 0;
  int32_t MaxHeight = 0;
};

/// Behaviour flags of a control class.
enum TControlStyleItem : uint8_t {
  csAcceptsControls,  ///< may be a parent in the designer (informational)
  csCaptureMouse,     ///< (all controls capture; informational)
  csClickEvents,      ///< a left button release over the control calls Click
  csDoubleClicks,     ///< a second press in time calls DblClick
  csOpaque            ///< paints its whole rectangle (informational)
};
/// Set of TControlStyleItem ordinals as bits.
using TControlStyle = uint32_t;
constexpr TControlStyle ControlStyleBit(TControlStyleItem Item) { return TControlStyle{1} << Item; }

// Stock cursor ids.
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
constexpr TCursor crMultiDrag = -16;
constexpr TCursor crSQLWait = -17;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;
constexpr TCursor crSize = -22;

/// Packs client coordinates into a mouse message's LParam (16-bit signed
/// halves, clamped).
intptr_t PackMousePos(int32_t X, int32_t Y);
TPoint UnpackMousePos(intptr_t LParam);

/// A weak reference to a control: reads nullptr once the control is freed.
/// The framework keeps its references to controls (capture, pointer,
/// pending clicks) in these, so freeing a control in its own handler is safe.
class TControlRef {
public:
  TControlRef() = default;
  explicit TControlRef(const class TControl* Control);
  TControl* Get() const { return FToken ? *FToken : nullptr; }
  explicit operator bool() const { return Get() != nullptr; }

private:
  std::shared_ptr<TControl*> FToken;
};

/// A rectangle on a parent with mouse input, font, colour and caption.
class TControl : public TComponent {
public:
  explicit TControl(TComponent* AOwner);
  ~TControl() override;

  // Place in the tree.
  TWinControl* Parent() const { return FParent; }
  /// Moves the control into NewParent's children (on top), or out of the tree.
  virtual void SetParent(TWinControl* NewParent);

  // Bounds, relative to the parent's client area.
  int32_t Left() const { return FLeft; }
  int32_t Top() const { return FTop; }
  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }
  void SetLeft(int32_t Value) { SetBounds(Value, FTop, FWidth, FHeight); }
  void SetTop(int32_t Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
  void SetWidth(int32_t Value) { SetBounds(FLeft, FTop, Value, FHeight); }
  void SetHeight(int32_t Value) { SetBounds(FLeft, FTop, FWidth, Value); }
  /// Moves and sizes the control (negative sizes count as 0); a change
  /// repaints the old and new area, calls Resize when the size changed and
  /// realigns the children.
  virtual void SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight);
  /// Left, Top, Left + Width, Top + Height (sums saturate at the int32 range).
  TRect BoundsRect() const;
  void SetBoundsRect(const TRect& R);
  /// The client area in client coordinates: (0, 0, Width, Height).
  virtual TRect ClientRect() const;
  int32_t ClientWidth() const { return static_cast<int32_t>(ClientRect().Width()); }
  int32_t ClientHeight() const { return static_cast<int32_t>(ClientRect().Height()); }
  /// Screen position of the client point (0, 0). Headless: a form's client
  /// origin is its Left/Top.
  virtual TPoint ClientOrigin() const;
  TPoint ClientToScreen(const TPoint& P) const;
  TPoint ScreenToClient(const TPoint& P) const;
  /// This control's rectangle in the coordinates of its form's client area.
  TRect FormRect() const;

  // State.
  bool Visible() const { return FVisible; }
  virtual void SetVisible(bool Value);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  bool Enabled() const { return FEnabled; }
  virtual void SetEnabled(bool Value);
  /// Visible with all its parents, on a form that is shown.
  bool Showing() const;
  /// Enabled with all its parents.
  bool EffectivelyEnabled() const;

  // Looks.
  /// The control's font; changing it clears ParentFont.
  TFont& Font() { return *FFont; }
  const TFont& Font() const { return *FFont; }
  void SetFont(const TFont& Value) { FFont->Assign(Value); }
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool Value);
  const std::string& Caption() const { return FText; }
  void SetCaption(const std::string& Value) { SetText(Value); }
  const std::string& Text() const { return FText; }
  /// Sets the text; a change sends CM_TEXTCHANGED and repaints.
  virtual void SetText(const std::string& Value);
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value);
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& Value) { FHint = Value; }
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool Value) { FShowHint = Value; }
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  /// Sets the menu shown on a right click (cleared when the menu is freed).
  void SetPopupMenu(TPopupMenu* Value);
  TAlign Align() const { return FAlign; }
  /// Sets the alignment; the parent realigns (deferred while loading).
  void SetAlign(TAlign Value);

  // Stored only.
  TAnchors Anchors() const { return FAnchors; }
  void SetAnchors(TAnchors Value) { FAnchors = Value; }
  TSizeConstraints& Constraints() { return FConstraints; }
  TDragMode DragMode() const { return FDragMode; }
  void SetDragMode(TDragMode Value) { FDragMode = Value; }
  TDragKind DragKind() const { return FDragKind; }
  void SetDragKind(TDragKind Value) { FDragKind = Value; }
  TCursor DragCursor() const { return FDragCursor; }
  void SetDragCursor(TCursor Value) { FDragCursor = Value; }
  TStyleElements StyleElements() const { return FStyleElements; }
  void SetStyleElements(TStyleElements Value) { FStyleElements = Value; }
  bool Ctl3D() const { return FCtl3D; }
  void SetCtl3D(bool Value) { FCtl3D = Value; }
  bool DoubleBuffered() const { return FDoubleBuffered; }
  void SetDoubleBuffered(bool Value) { FDoubleBuffered = Value; }

  TControlStyle ControlStyle() const { return FControlStyle; }
  void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }

  // Painting.
  /// Marks the control's area for repainting at the next pass of the loop.
  virtual void Invalidate();
  /// Paints the control's area now (the pending areas of its form too).
  virtual void Repaint();
  void Refresh() { Repaint(); }
  /// Paints what is pending on the control's form now.
  void Update();

  // Messages.
  /// Sends a message to the control (WndProc) and returns its Result.
  intptr_t Perform(uint32_t Msg, intptr_t WParam, intptr_t LParam);
  /// First receiver of every message; the default calls Dispatch.
  virtual void WndProc(TMessage& Message);
  /// Routes a message by id to its handler; unknown ids are ignored.
  virtual void Dispatch(TMessage& Message);

  /// True while the control holds the mouse capture.
  bool MouseCapture() const;
  /// Takes or releases the mouse capture explicitly.
  void SetMouseCapture(bool Value);

  /// Puts the control above or below its siblings.
  void BringToFront();
  void SendToBack();

  /// Fires OnClick (and is what a left click calls); public so that code can
  /// "click" a control.
  virtual void Click();

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TMouseWheelEvent OnMouseWheel;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TNotifyEvent OnResize;

protected:
  virtual void DblClick();
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y);
  virtual void MouseMove(TShiftState Shift, int32_t X, int32_t Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y);
  /// Wheel turned over or for this control; true when handled (the default
  /// fires OnMouseWheel and reports its Handled).
  virtual bool DoMouseWheel(TShiftState Shift, int32_t WheelDelta, TPoint MousePos);
  /// Called after the size changed; fires OnResize.
  virtual void Resize();
  /// Pointer entered or left the control (CM_MOUSEENTER/LEAVE); fire the events.
  virtual void MouseEnter();
  virtual void MouseLeave();
  /// Font, colour or text changed (after CM_FONTCHANGED, ...); default repaints.
  virtual void FontChanged();
  virtual void ColorChanged();
  virtual void TextChanged();
  virtual void EnabledChanged();
  virtual void VisibleChanged();

  /// Paints the control into its form's surface; Canvas is the canvas to use
  /// (clipped already). TControl paints nothing.
  virtual void PaintControl(TCanvas& Canvas);
  /// A canvas drawing on the form's surface over this control's rectangle
  /// (a private empty bitmap while the control is on no form).
  TCanvas& ControlCanvas();

  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  /// Stores the visibility without notifications (forms show themselves).
  void SetVisibleFlag(bool Value) { FVisible = Value; }
  /// Stores the bounds without notifications.
  void StoreBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight);

private:
  friend class TWinControl;
  friend class TControlRef;
  friend class TInputRouter;
  friend class TControlPainter;

  void FontObjectChanged();
  void NotifyChildren(uint32_t Msg);
  void ParentFontChanged();
  void ParentColorChanged();
  void InvalidateFormRect(const TRect& R);
  void RequestParentRealign();

  std::shared_ptr<TControl*> FSelf;
  TWinControl* FParent = nullptr;
  int32_t FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  bool FVisible = true;
  bool FEnabled = true;
  std::unique_ptr<TFont> FFont;
  bool FParentFont = true;
  bool FSyncingFont = false;
  TColor FColor = clBtnFace;
  bool FParentColor = false;
  std::string FText;
  TCursor FCursor = crDefault;
  std::string FHint;
  bool FShowHint = false;
  TPopupMenu* FPopupMenu = nullptr;
  TAlign FAlign = alNone;
  TAnchors FAnchors = (1u << akLeft) | (1u << akTop);
  TSizeConstraints FConstraints;
  TDragMode FDragMode = dmManual;
  TDragKind FDragKind = dkDrag;
  TCursor FDragCursor = crDrag;
  TStyleElements FStyleElements = (1u << seFont) | (1u << seClient) | (1u << seBorder);
  bool FCtl3D = true;
  bool FDoubleBuffered = false;
  TControlStyle FControlStyle =
      ControlStyleBit(csClickEvents) | ControlStyleBit(csDoubleClicks) | ControlStyleBit(csCaptureMouse);
  // Canvas on the form surface, rebuilt when the surface or rectangle changes.
  std::unique_ptr<TCanvas> FCanvas;
  const TBitmap* FCanvasSurface = nullptr;
  TRect FCanvasArea;
  std::unique_ptr<TBitmap> FDetachedSurface;
};

/// A control without a window of its own: it paints on its parent's
/// surface and takes no focus.
class TGraphicControl : public TControl {
public:
  explicit TGraphicControl(TComponent* AOwner);
  /// Canvas over the control's rectangle on the form's surface.
  TCanvas& Canvas() { return ControlCanvas(); }

protected:
  /// Draws the control; Canvas has the control's font and colour. Default: nothing.
  virtual void Paint();
  void PaintControl(TCanvas& Canvas) override;
};

/// A control that holds child controls and can take the keyboard focus.
class TWinControl : public TControl {
public:
  explicit TWinControl(TComponent* AOwner);
  /// Frees the children first (each leaves its owner's list too).
  ~TWinControl() override;

  int32_t ControlCount() const { return static_cast<int32_t>(FControls.size()); }
  /// Child at a 0-based z-order index (0 = bottom); nullptr outside.
  TControl* Controls(int32_t Index) const;
  /// Topmost visible child containing the client point (optionally also
  /// disabled ones), or nullptr.
  TControl* ControlAtPos(const TPoint& P, bool AllowDisabled) const;

  /// True once CreateWnd ran (when the form is shown).
  bool HandleAllocated() const { return FHandleAllocated; }
  /// Runs CreateWnd for this control and its window children if not done.
  void HandleNeeded();

  /// Sends a message to every child until one sets a non-zero Result.
  void Broadcast(TMessage& Message);

  // Focus.
  /// Takes the keyboard focus; ignored when it cannot (CanFocus false).
  virtual void SetFocus();
  /// True when this control has the focus of its form.
  bool Focused() const;
  /// Visible and enabled with all parents up to its form.
  virtual bool CanFocus() const;
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool Value) { FTabStop = Value; }
  /// Position among the parent's window children in Tab order (0-based).
  int32_t TabOrder() const;
  /// Moves the control to a Tab order position (clamped).
  void SetTabOrder(int32_t Value);
  /// The window descendants in Tab order (depth first).
  std::vector<TWinControl*> TabOrderList() const;
  /// The next (or previous) control after CurControl that can take the
  /// focus, among this control's descendants; nullptr when there is none.
  TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop) const;
  /// Moves the focus to FindNextControl's result, wrapping around.
  void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);

  /// Realigns the children by their Align (alTop, alBottom, alLeft,
  /// alRight, then alClient in the space left).
  void Realign();

  /// Claims a key the form would otherwise use for navigation or its
  /// Default/Cancel buttons (Tab, Enter, Escape). Default: false.
  virtual bool ClaimsKey(uint16_t Key, TShiftState Shift) const;

  TKeyEvent OnKeyDown;
  TKeyPressEvent OnKeyPress;
  TKeyEvent OnKeyUp;
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;

protected:
  /// Called once when the control gets its window (the form is shown).
  virtual void CreateWnd();
  virtual void KeyDown(uint16_t& Key, TShiftState Shift);
  virtual void KeyPress(char32_t& Key);
  virtual void KeyUp(uint16_t& Key, TShiftState Shift);
  /// The focus moved into / out of this control (or a descendant): fire
  /// OnEnter / OnExit.
  virtual void DoEnter();
  virtual void DoExit();
  /// Focus received or lost by this very control (WM_SETFOCUS/WM_KILLFOCUS).
  virtual void FocusGained();
  virtual void FocusLost();
  void Dispatch(TMessage& Message) override;
  void PaintControl(TCanvas& Canvas) override;
  void Loaded() override;
  /// Frees every child (used by destructors that must do it early).
  void DestroyChildren();

private:
  friend class TControl;
  friend class TInputRouter;
  void InsertControl(TControl* Control);
  void RemoveControl(TControl* Control);
  void RaiseControl(TControl* Control, bool ToTop);
  void CollectTabOrder(std::vector<TWinControl*>& List) const;
  std::vector<TWinControl*> WindowChildren() const;

  std::vector<TControl*> FControls;     // z-order, bottom first
  std::vector<TWinControl*> FTabList;   // window children in Tab order
  bool FTabStop = false;
  bool FHandleAllocated = false;
  bool FAligning = false;
};

/// A window control with its own canvas, drawn by an overridable Paint.
class TCustomControl : public TWinControl {
public:
  explicit TCustomControl(TComponent* AOwner);
  /// Canvas over the control's rectangle on the form's surface.
  TCanvas& Canvas() { return ControlCanvas(); }

protected:
  /// Draws the control after its background was filled with Color; Canvas
  /// has the control's font and colour. Default: nothing.
  virtual void Paint();
  void PaintControl(TCanvas& Canvas) override;
};

/// The form a control lives on, or nullptr.
TForm* GetParentForm(const TControl* Control);

/// Style services: themes are not drawn; Enabled() is always false.
class TStyleServices {
public:
  bool Enabled() const { return false; }
};
TStyleServices StyleServices();

}  // namespace vexa
