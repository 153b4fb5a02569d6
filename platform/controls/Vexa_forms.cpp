#include "platform/controls/Vexa_forms.h"

#include <algorithm>
#include <cstdio>

#include "platform/controls/Vexa_input.h"
#include "platform/controls/Vexa_timers.h"
#include "platform/controls/internal/Vexa_framework.h"
#include "platform/graphics/Vexa_resources.h"

namespace vexa {

/// Paints control trees into their form's surface (a friend of TControl).
class TControlPainter {
public:
  static void Paint(TControl& Control, const TRect& Clip) {
    const TRect area = Control.FormRect();
    const TRect visible = IntersectRect(area, Clip);
    if (visible.IsEmpty()) return;
    TCanvas& canvas = Control.ControlCanvas();
    canvas.ResetClipRect();
    canvas.IntersectClipRect(Rect(visible.Left - area.Left, visible.Top - area.Top, visible.Right - area.Left,
                                  visible.Bottom - area.Top));
    canvas.Font().Assign(Control.Font());
    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetColor(Control.Color());
    const TControlRef alive(&Control);
    try {
      Control.PaintControl(canvas);
    } catch (...) {
      Application().HandleException(&Control);
    }
    auto* parent = dynamic_cast<TWinControl*>(alive.Get());
    if (!parent) return;
    std::vector<TControlRef> children;
    for (int32_t i = 0; i < parent->ControlCount(); ++i) children.emplace_back(parent->Controls(i));
    for (const TControlRef& ref : children)
      if (TControl* child = ref.Get(); child && child->Visible()) Paint(*child, visible);
  }
};

namespace {

TRect UnionRect(const TRect& A, const TRect& B) {
  if (A.IsEmpty()) return B;
  if (B.IsEmpty()) return A;
  return Rect(std::min(A.Left, B.Left), std::min(A.Top, B.Top), std::max(A.Right, B.Right),
              std::max(A.Bottom, B.Bottom));
}

struct TModalState {
  std::vector<TForm*> Stack;
  TModalHandler Handler;
};

TModalState& ModalState() {
  static TModalState* state = new TModalState();  // lives until exit
  return *state;
}

}  // namespace

namespace framework {

TForm* TopModalForm() { return ModalState().Stack.empty() ? nullptr : ModalState().Stack.back(); }

void PaintTree(TControl& Control, const TRect& Clip) { TControlPainter::Paint(Control, Clip); }

bool HasOverlays(const TForm& Form) { return MenuOpenOn(Form) || DropDownOpenOn(Form); }

void PaintOverlays(const TForm& Form, TBitmap& Dest) {
  PaintDropDownOverlay(Form, Dest);
  PaintMenuOverlays(Form, Dest);
}

}  // namespace framework

TModalHandler SetModalHandler(TModalHandler Handler) {
  TModalHandler old = std::move(ModalState().Handler);
  ModalState().Handler = std::move(Handler);
  return old;
}

// ------------------------------------------------------------------- TForm

TForm::TForm(TComponent* AOwner) : TCustomControl(AOwner) {
  StoreBounds(0, 0, 320, 240);
  SetVisibleFlag(false);
  FSurface.SetSize(320, 240);
  Screen().AddForm(this);
}

TForm::~TForm() {
  if (OnDestroy) {
    try {
      OnDestroy(this);
    } catch (...) {
      Application().HandleException(this);
    }
  }
  framework::CloseMenusOf(*this);
  framework::CloseDropDownsOf(*this);
  if (Visible()) Backend().FormHidden(*this);
  std::erase(ModalState().Stack, this);
  Screen().RemoveForm(this);
  if (Application().MainForm() == this) Application().SetMainForm(nullptr);
  // Children go while the surface they draw on still exists.
  DestroyChildren();
}

TWinControl* TForm::ActiveControl() const { return static_cast<TWinControl*>(FActiveControl.Get()); }

void TForm::SetActiveControl(TWinControl* Control) {
  if (!Control) {
    FocusControl(nullptr);
    return;
  }
  if (GetParentForm(Control) == this) Control->SetFocus();
}

void TForm::FocusControl(TWinControl* Control) {
  TWinControl* old = ActiveControl();
  if (old == Control) return;
  // The controls the focus leaves and enters, below their common ancestor.
  std::vector<TControlRef> oldChain, newChain;
  for (TControl* c = old; c && c != this; c = c->Parent()) oldChain.emplace_back(c);
  for (TControl* c = Control; c && c != this; c = c->Parent()) newChain.emplace_back(c);
  while (!oldChain.empty() && !newChain.empty() && oldChain.back().Get() == newChain.back().Get()) {
    oldChain.pop_back();
    newChain.pop_back();
  }
  FActiveControl = TControlRef(Control);
  if (old) old->Perform(WM_KILLFOCUS, 0, 0);
  for (const TControlRef& ref : oldChain)
    if (TControl* c = ref.Get()) c->Perform(CM_EXIT, 0, 0);
  for (auto it = newChain.rbegin(); it != newChain.rend(); ++it)
    if (TControl* c = it->Get()) c->Perform(CM_ENTER, 0, 0);
  if (TWinControl* now = ActiveControl(); now && now == Control) now->Perform(WM_SETFOCUS, 0, 0);
}

void TForm::SetModalResult(TModalResult Value) { FModalResult = Value; }

void TForm::SetVisible(bool Value) {
  if (Value == Visible()) return;
  SetVisibleFlag(Value);
  if (Value) {
    HandleNeeded();
    FFullPaintNeeded = true;
    if (OnShow) OnShow(this);
    if (!ActiveControl()) SelectNext(nullptr, true, true);
    PaintPending();
    Backend().FormShown(*this);
    Screen().SetActiveForm(this);
  } else {
    framework::CloseMenusOf(*this);
    framework::CloseDropDownsOf(*this);
    if (OnHide) OnHide(this);
    Backend().FormHidden(*this);
    if (Screen().ActiveForm() == this) Screen().SetActiveForm(nullptr);
  }
}

void TForm::Close() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  if (!canClose) return;
  TCloseAction action = caHide;
  if (OnClose) OnClose(this, action);
  if (action == caNone) return;
  FCloseFired = true;
  if (Modal()) {
    if (FModalResult == mrNone) FModalResult = mrCancel;
    if (action == caFree) Release();
    return;  // ShowModal hides the form
  }
  if (action == caFree) Release();
  else Hide();
  if (Application().MainForm() == this) Application().Terminate();
}

TModalResult TForm::ShowModal() {
  if (Visible() || Modal()) throw EInvalidOperation("Cannot make a visible window modal");
  FModalResult = mrNone;
  FCloseFired = false;
  ++FModalLevel;
  ModalState().Stack.push_back(this);
  TForm* previousActive = Screen().ActiveForm();
  const TControlRef self(this);
  auto finish = [&] {
    if (!self) return;
    std::erase(ModalState().Stack, this);
    --FModalLevel;
    Hide();
    if (previousActive && Screen().FForms.end() !=
                              std::find(Screen().FForms.begin(), Screen().FForms.end(), previousActive))
      Screen().SetActiveForm(previousActive);
  };
  try {
    Show();
    if (TModalHandler handler = ModalState().Handler) handler(*this);
    while (self && FModalResult == mrNone) {
      Application().ProcessMessages();
      if (!self || FModalResult != mrNone) break;
      if (Application().Terminated() || !Backend().PumpEvents(true, NextTimerDeadline())) FModalResult = mrCancel;
    }
  } catch (...) {
    finish();
    throw;
  }
  if (!self) return mrCancel;  // freed by a handler while modal
  if (!FCloseFired && OnClose) {
    TCloseAction action = caHide;
    OnClose(this, action);
    if (action == caFree) Release();
  }
  const TModalResult result = FModalResult;
  finish();
  return result;
}

void TForm::Release() { Application().FReleased.emplace_back(this); }

void TForm::SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) {
  const bool resized = std::max(AWidth, 0) != Width() || std::max(AHeight, 0) != Height();
  if (resized) FSurface.SetSize(std::max(AWidth, 0), std::max(AHeight, 0));  // raises before any change
  const TRect old = BoundsRect();
  TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (resized) FFullPaintNeeded = true;
  if (Visible() && !(old == BoundsRect())) Backend().FormChanged(*this);
}

void TForm::TextChanged() {
  TCustomControl::TextChanged();
  if (Visible()) Backend().FormChanged(*this);
}

TPoint TForm::ClientOrigin() const { return Point(Left(), Top()); }

void TForm::Paint() {
  if (OnPaint) OnPaint(this);
}

void TForm::InvalidateArea(const TRect& R) {
  const TRect clipped = IntersectRect(R, Rect(0, 0, Width(), Height()));
  if (!clipped.IsEmpty()) FDirty = UnionRect(FDirty, clipped);
}

bool TForm::PaintPending() {
  TRect area;
  if (FFullPaintNeeded) area = Rect(0, 0, Width(), Height());
  else area = FDirty;
  FFullPaintNeeded = false;
  FDirty = TRect{};
  if (area.IsEmpty()) return false;
  framework::PaintTree(*this, area);
  if (Visible()) Backend().FormPainted(*this, area);
  return true;
}

void TForm::PaintTo(TBitmap& Dest) {
  PaintPending();
  Dest.Assign(FSurface);
  framework::PaintOverlays(*this, Dest);
}

// ------------------------------------------------------------ TApplication

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {}
TApplication::~TApplication() = default;

void TApplication::SetMainForm(TForm* Form) { FMainForm = Form; }

void TApplication::Run() {
  if (!FMainForm && Screen().FormCount() > 0) FMainForm = Screen().Forms(0);
  if (FMainForm && !FMainForm->Visible()) FMainForm->Show();
  while (!FTerminated) {
    ProcessMessages();
    if (FTerminated || !FMainForm || !FMainForm->Visible()) break;
    if (!Backend().PumpEvents(true, NextTimerDeadline())) break;
  }
}

void TApplication::ProcessMessages() {
  try {
    Backend().PumpEvents(false, -1);
  } catch (...) {
    HandleException(this);
  }
  const int64_t now = Backend().TickCount();
  while (FireNextTimer(now)) {
  }
  FreeReleasedForms();
  PaintForms();
}

void TApplication::FreeReleasedForms() {
  std::vector<TControlRef> released;
  released.swap(FReleased);
  for (const TControlRef& ref : released) delete ref.Get();
}

void TApplication::PaintForms() {
  std::vector<TControlRef> forms;
  for (int32_t i = 0; i < Screen().FormCount(); ++i) forms.emplace_back(Screen().Forms(i));
  for (const TControlRef& ref : forms)
    if (auto* form = static_cast<TForm*>(ref.Get()); form && form->Visible()) form->PaintPending();
}

void TApplication::HandleException(TObject* Sender) {
  if (!std::current_exception()) return;
  std::string message;
  try {
    throw;
  } catch (const EAbort&) {
    return;
  } catch (const std::exception& e) {
    if (OnException) {
      try {
        OnException(Sender, e);
        return;
      } catch (const std::exception& inner) {
        message = inner.what();
      } catch (...) {
        message = "Unknown exception in the exception handler";
      }
    } else {
      message = e.what();
    }
  } catch (...) {
    message = "Unknown exception";
  }
  FHandled.push_back(message);
  std::fprintf(stderr, "Exception: %s\n", message.c_str());
}

// ----------------------------------------------------------------- TScreen

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {}
TScreen::~TScreen() = default;

TForm* TScreen::Forms(int32_t Index) const {
  if (Index < 0 || Index >= FormCount()) return nullptr;
  return FForms[static_cast<size_t>(Index)];
}

TWinControl* TScreen::ActiveControl() const { return FActiveForm ? FActiveForm->ActiveControl() : nullptr; }

void TScreen::AddForm(TForm* Form) { FForms.push_back(Form); }

void TScreen::RemoveForm(TForm* Form) {
  std::erase(FForms, Form);
  if (FActiveForm == Form) FActiveForm = nullptr;
}

void TScreen::SetCursor(TCursor Value) {
  FCursorLog.push_back(Value);
  FCursor = Value;
  TCursor under = crDefault;
  for (TControl* c = MouseControl(); c && under == crDefault; c = c->Parent()) under = c->Cursor();
  SetCursorUnderPointer(under);
}

void TScreen::SetCursorUnderPointer(TCursor ControlCursor) {
  const TCursor effective = FCursor != crDefault ? FCursor : ControlCursor;
  if (effective == FEffectiveCursor) return;
  FEffectiveCursor = effective;
  Backend().SetPointerCursor(effective);
}

const TCursorImage* TScreen::Cursors(TCursor Id) const {
  for (const auto& [id, image] : FCursors)
    if (id == Id) return &image;
  return nullptr;
}

void TScreen::SetCursors(TCursor Id, const TCursorImage& Image) {
  std::erase_if(FCursors, [Id](const auto& entry) { return entry.first == Id; });
  if (Id > 0 && Image.Image && !Image.Image->Empty()) FCursors.emplace_back(Id, Image);
}

void TScreen::LoadCursorFromResource(TCursor Id, const std::string& ResName, TPoint HotSpot) {
  TCursorImage cursor;
  cursor.Image = std::make_shared<TBitmap>();
  CreateResourceBitmap(ResName, *cursor.Image);
  cursor.Mask = std::make_shared<TBitmap>();
  if (BitmapResourceExists(ResName + "_MASK")) {
    CreateResourceBitmap(ResName + "_MASK", *cursor.Mask);
  } else {
    cursor.Mask->SetSize(cursor.Image->Width(), cursor.Image->Height());  // black: every pixel shown
  }
  if (cursor.Mask->Width() != cursor.Image->Width() || cursor.Mask->Height() != cursor.Image->Height())
    throw EInvalidGraphic("Cursor: the mask of " + ResName + " differs in size from the picture");
  cursor.HotSpot = Point(std::clamp(HotSpot.X, 0, std::max(cursor.Image->Width() - 1, 0)),
                         std::clamp(HotSpot.Y, 0, std::max(cursor.Image->Height() - 1, 0)));
  SetCursors(Id, cursor);
}

void TScreen::SetSize(int32_t AWidth, int32_t AHeight) {
  FWidth = std::max(AWidth, 1);
  FHeight = std::max(AHeight, 1);
}

TApplication& Application() {
  static TApplication* application = new TApplication(nullptr);  // lives until exit
  return *application;
}

TScreen& Screen() {
  static TScreen* screen = new TScreen(nullptr);  // lives until exit
  return *screen;
}

}  // namespace vexa
