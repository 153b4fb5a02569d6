#pragma once
/// @file
/// Forms, the application object and the screen.
///
/// A form is a top-level window control with a retained surface. Show makes
/// it visible (its controls get their windows, the surface is painted and
/// the backend shows it); ShowModal shows it and waits for a ModalResult.
/// The modal handler (SetModalHandler) lets tests script modal forms: it is
/// asked first; under the headless backend a modal form that no handler
/// closed ends with mrCancel at once.

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls/Vexa_controls.h"

namespace vexa {

/// An operation is not allowed in the object's current state.
VEXA_DECLARE_EXCEPTION(EInvalidOperation, Exception);

/// Results of a modal form.
using TModalResult = int32_t;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;
constexpr TModalResult mrClose = 8;
constexpr TModalResult mrHelp = 9;
constexpr TModalResult mrTryAgain = 10;
constexpr TModalResult mrContinue = 11;
constexpr TModalResult mrAll = 12;
constexpr TModalResult mrNoToAll = 13;
constexpr TModalResult mrYesToAll = 14;

/// What Close does with the form after OnClose.
enum TCloseAction : uint8_t { caNone, caHide, caFree, caMinimize };
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;
enum TFormBorderStyle : uint8_t { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };

/// A top-level window: the root of a control tree.
class TForm : public TCustomControl {
public:
  explicit TForm(TComponent* AOwner);
  ~TForm() override;

  /// With KeyPreview the form sees every key before the focused control.
  bool KeyPreview() const { return FKeyPreview; }
  void SetKeyPreview(bool Value) { FKeyPreview = Value; }
  /// The control with the focus (nullptr: the form itself).
  TWinControl* ActiveControl() const;
  /// Moves the focus to a control of this form (ignored when it cannot take it).
  void SetActiveControl(TWinControl* Control);
  TModalResult ModalResult() const { return FModalResult; }
  /// Setting a non-zero result on a modal form closes it.
  void SetModalResult(TModalResult Value);
  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle Value) { FBorderStyle = Value; }
  /// True while ShowModal runs for this form.
  bool Modal() const { return FModalLevel > 0; }

  void SetVisible(bool Value) override;
  /// Asks OnCloseQuery, fires OnClose and hides (or frees, or keeps) the
  /// form; a modal form without a result gets mrCancel.
  void Close();
  /// Shows the form modally and returns its ModalResult (see file comment).
  TModalResult ShowModal();
  /// Frees the form at the next pass of the loop.
  void Release();

  /// Copies the form's current picture (controls and an open popup menu)
  /// into Dest, resizing it to the form's size.
  void PaintTo(TBitmap& Dest);
  /// The retained surface (backends copy it to the screen).
  TBitmap& Surface() { return FSurface; }
  /// Paints the pending areas now; true when anything was painted.
  bool PaintPending();
  /// Marks a rectangle (form client coordinates) for repainting.
  void InvalidateArea(const TRect& R);

  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;
  TNotifyEvent OnPaint;
  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;

  /// Also resizes the surface (raises EOutOfMemory over the pixel limit,
  /// keeping the old size).
  void SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) override;
  /// The form's Left/Top: the client area starts at the form's position.
  TPoint ClientOrigin() const override;

protected:
  void Paint() override;
  /// Tells the backend about the new caption of a shown form.
  void TextChanged() override;

private:
  friend class TControl;
  friend class TWinControl;
  friend class TInputRouter;
  void FocusControl(TWinControl* Control);
  void ControlGone(TControl* Control);
  void ResizeSurface();
  void DrawOverlays(TBitmap& Dest);

  bool FKeyPreview = false;
  TControlRef FActiveControl;
  TModalResult FModalResult = mrNone;
  bool FCloseFired = false;
  TFormBorderStyle FBorderStyle = bsSizeable;
  int32_t FModalLevel = 0;
  TBitmap FSurface;
  TRect FDirty;
  bool FFullPaintNeeded = true;
};

/// Handles an exception of a dispatched event.
using TExceptionEvent = std::function<void(TObject* Sender, const std::exception& E)>;
/// Scripts a modal form (tests): it may click, type or set ModalResult.
using TModalHandler = std::function<void(TForm& Form)>;

/// The application: main form, message loop and exception handling.
class TApplication : public TComponent {
public:
  explicit TApplication(TComponent* AOwner);
  ~TApplication() override;

  /// The first form shown by Run (or set explicitly).
  TForm* MainForm() const { return FMainForm; }
  void SetMainForm(TForm* Form);
  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& Value) { FTitle = Value; }

  /// Shows the main form and runs the loop until Terminate or the main form
  /// closes. Under the headless backend it returns as soon as nothing is
  /// left to do (no event can arrive without the test driving it).
  void Run();
  /// Routes arrived events, fires due timers, frees released forms and
  /// paints pending areas, without waiting.
  void ProcessMessages();
  void Terminate() { FTerminated = true; }
  bool Terminated() const { return FTerminated; }
  /// Clears the terminated flag (tests that run the loop again).
  void ResetTerminated() { FTerminated = false; }

  /// Handles the exception being thrown (call inside a catch block):
  /// OnException when assigned, else its message is recorded and printed
  /// to standard error. EAbort is silent.
  void HandleException(TObject* Sender);
  /// Messages of the exceptions handled without OnException (for tests).
  const std::vector<std::string>& HandledExceptions() const { return FHandled; }
  void ClearHandledExceptions() { FHandled.clear(); }

  TExceptionEvent OnException;

private:
  friend class TForm;
  void FreeReleasedForms();
  void PaintForms();

  TForm* FMainForm = nullptr;
  std::string FTitle;
  bool FTerminated = false;
  std::vector<std::string> FHandled;
  std::vector<TControlRef> FReleased;
};

/// A cursor picture: image and mask (same size) and the hot spot.
struct TCursorImage {
  std::shared_ptr<TBitmap> Image;
  std::shared_ptr<TBitmap> Mask;
  TPoint HotSpot;
};

/// The screen: forms, cursor and metrics.
class TScreen : public TComponent {
public:
  explicit TScreen(TComponent* AOwner);
  ~TScreen() override;

  int32_t FormCount() const { return static_cast<int32_t>(FForms.size()); }
  /// Form at a 0-based index in creation order; nullptr outside.
  TForm* Forms(int32_t Index) const;
  /// The form that received input last (the top modal form while one runs).
  TForm* ActiveForm() const { return FActiveForm; }
  /// Makes a form the one that receives keys (nullptr: none).
  void SetActiveForm(TForm* Form) { FActiveForm = Form; }
  /// The focused control of the active form.
  TWinControl* ActiveControl() const;

  /// The cursor forced over every control (crDefault: each control's own).
  TCursor Cursor() const { return FCursor; }
  /// Sets the forced cursor; every change is appended to CursorLog.
  void SetCursor(TCursor Value);
  const std::vector<TCursor>& CursorLog() const { return FCursorLog; }
  void ClearCursorLog() { FCursorLog.clear(); }
  /// The picture of an application cursor (id > 0); nullptr for stock ids
  /// and unknown ones.
  const TCursorImage* Cursors(TCursor Id) const;
  /// Sets (or, with an empty image, removes) an application cursor.
  void SetCursors(TCursor Id, const TCursorImage& Image);
  /// Loads an application cursor from the bitmap resources: the picture
  /// ResName and its mask ResName + "_MASK" (all-opaque when absent).
  /// Raises EResNotFound when the picture is not registered.
  void LoadCursorFromResource(TCursor Id, const std::string& ResName, TPoint HotSpot);
  /// Reports the cursor of the control under the pointer (the input router does).
  void SetCursorUnderPointer(TCursor ControlCursor);
  /// The cursor the pointer shows now (forced one, else the control's under it).
  TCursor EffectiveCursor() const { return FEffectiveCursor; }

  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }
  void SetSize(int32_t AWidth, int32_t AHeight);
  int32_t PixelsPerInch() const { return 96; }

private:
  friend class TForm;
  friend class TInputRouter;
  void AddForm(TForm* Form);
  void RemoveForm(TForm* Form);

  std::vector<TForm*> FForms;
  TForm* FActiveForm = nullptr;
  TCursor FCursor = crDefault;
  TCursor FEffectiveCursor = crDefault;
  std::vector<TCursor> FCursorLog;
  std::vector<std::pair<TCursor, TCursorImage>> FCursors;
  int32_t FWidth = 1920;
  int32_t FHeight = 1080;
};

TApplication& Application();
TScreen& Screen();

/// Installs the modal handler and returns the previous one (empty: none).
TModalHandler SetModalHandler(TModalHandler Handler);

}  // namespace vexa
