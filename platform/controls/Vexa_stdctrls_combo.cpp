// Combo box and its dropped list, an overlay on the form.

#include <algorithm>

#include "platform/controls/Vexa_headless.h"
#include "platform/controls/Vexa_stdctrls.h"
#include "platform/controls/internal/Vexa_framework.h"

namespace vexa {

namespace {

constexpr int32_t kButtonWidth = 17;

/// The one list open at a time.
struct TOpenList {
  TControlRef Combo;
  TControlRef Form;
  TRect Bounds;              // form client coordinates
  bool PressInList = false;  // the list took the press of the button now down
  bool SwallowUp = false;    // the release of the press that closed the list
};

TOpenList& ListState() {
  static TOpenList* open = new TOpenList();  // lives until exit
  return *open;
}

bool Inside(const TRect& R, TPoint P) { return P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom; }

bool Has(TShiftState Shift, TShiftStateItem Item) { return (Shift & ShiftBit(Item)) != 0; }

/// Runs a user action of the list; an exception goes to the application's handler.
template <typename F>
void Guarded(TControl& Sender, F&& Action) {
  const TControlRef sender(&Sender);
  try {
    Action();
  } catch (...) {
    Application().HandleException(sender.Get());
  }
}

void RefreshForm(TControl* Form) {
  if (auto* form = dynamic_cast<TForm*>(Form); form && form->Visible())
    Backend().FormPainted(*form, Rect(0, 0, form->Width(), form->Height()));
}

}  // namespace

/// The overlay's access to the combo box it shows (a friend).
class TComboDropDown {
public:
  static TCustomComboBox* Open() { return static_cast<TCustomComboBox*>(ListState().Combo.Get()); }
  static bool OpenOn(const TForm& Form) { return Open() && ListState().Form.Get() == &Form; }

  /// Forgets the open list; CloseUp runs when Notify is set.
  static void Close(bool Notify) {
    TOpenList& open = ListState();
    TCustomComboBox* combo = Open();
    // Forget the list first: the window then shows the form without it.
    const TControlRef form = open.Form;
    open.Combo = TControlRef();
    open.Form = TControlRef();
    open.PressInList = false;
    RefreshForm(form.Get());
    if (combo && Notify) combo->CloseUp();
  }

  static void Pick(TCustomComboBox& Combo, int32_t Index) { Combo.Pick(Index); }

  static int32_t RowAt(const TCustomComboBox& Combo, TPoint P) {
    const TRect& b = ListState().Bounds;
    if (!Inside(b, P) || P.Y <= b.Top || P.Y >= b.Bottom - 1) return -1;
    const int32_t index = Combo.FTopIndex + (P.Y - b.Top - 1) / Combo.FItemHeight;
    return index < Combo.FItems.Count() ? index : -1;
  }

  static int32_t VisibleRows(const TCustomComboBox& Combo) {
    return std::max(1, std::min(Combo.FItems.Count(), Combo.FDropDownCount));
  }

  /// Puts the highlight on Index and scrolls it into view.
  static void Hover(TCustomComboBox& Combo, int32_t Index) {
    const int32_t count = Combo.FItems.Count();
    if (count == 0) return;
    Index = std::clamp(Index, 0, count - 1);
    Combo.FHover = Index;
    const int32_t rows = VisibleRows(Combo);
    if (Index < Combo.FTopIndex) Combo.FTopIndex = Index;
    if (Index >= Combo.FTopIndex + rows) Combo.FTopIndex = Index - rows + 1;
    RefreshForm(ListState().Form.Get());
  }

  static void Scroll(TCustomComboBox& Combo, int32_t Rows) {
    const int32_t last = std::max(Combo.FItems.Count() - VisibleRows(Combo), 0);
    Combo.FTopIndex = std::clamp(Combo.FTopIndex + Rows, 0, last);
    RefreshForm(ListState().Form.Get());
  }

  static void Paint(TCustomComboBox& Combo, TBitmap& Dest) {
    const TRect& b = ListState().Bounds;
    TCanvas canvas(Dest);
    canvas.Font().Assign(Combo.Font());
    canvas.Pen().SetColor(clWindowFrame);
    canvas.Brush().SetColor(Combo.Color());
    canvas.Rectangle(b);
    const TControlRef alive(&Combo);
    for (int32_t row = 0; row < VisibleRows(Combo); ++row) {
      const int32_t index = Combo.FTopIndex + row;
      if (!alive || index >= Combo.FItems.Count()) break;
      const int64_t top = b.Top + 1 + int64_t{row} * Combo.FItemHeight;
      if (top >= b.Bottom - 1) break;
      const TRect r = Rect(b.Left + 1, static_cast<int32_t>(top), b.Right - 1,
                           static_cast<int32_t>(std::min<int64_t>(top + Combo.FItemHeight, b.Bottom - 1)));
      canvas.ResetClipRect();
      canvas.IntersectClipRect(r);
      const TOwnerDrawState state =
          index == Combo.FHover ? OwnerDrawBit(odSelected) | OwnerDrawBit(odFocused) : TOwnerDrawState{0};
      try {
        Combo.DrawItemOn(canvas, index, r, state);
      } catch (...) {
        Application().HandleException(&Combo);
      }
    }
  }
};

// ------------------------------------------------------ framework entries

namespace framework {

bool DropDownMouseMove(TForm& Form, TPoint P) {
  if (!TComboDropDown::OpenOn(Form)) return false;
  TCustomComboBox& combo = *TComboDropDown::Open();
  const int32_t row = TComboDropDown::RowAt(combo, P);
  if (row < 0) return Inside(ListState().Bounds, P);
  if (row != combo.HoverIndex()) TComboDropDown::Hover(combo, row);
  return true;
}

bool DropDownMouseButton(TForm& Form, TMouseButton Button, bool Down, TPoint P) {
  (void)Button;
  TOpenList& open = ListState();
  if (!Down && open.SwallowUp) {
    open.SwallowUp = false;
    return true;
  }
  if (!TComboDropDown::OpenOn(Form)) return false;
  TCustomComboBox& combo = *TComboDropDown::Open();
  if (Down) {
    if (Inside(open.Bounds, P)) {
      open.PressInList = true;
    } else {
      open.SwallowUp = true;  // a press outside only closes the list
      Guarded(combo, [] { TComboDropDown::Close(true); });
    }
    return true;
  }
  if (!open.PressInList) return false;  // the release of the press that dropped the list
  open.PressInList = false;
  const int32_t row = TComboDropDown::RowAt(combo, P);
  if (row >= 0) Guarded(combo, [&] { TComboDropDown::Pick(combo, row); });
  return true;
}

namespace {

/// Navigation keys of the open list; false for keys that go on to the field.
bool ListKey(TCustomComboBox& combo, uint16_t Key, TShiftState Shift) {
  const int32_t rows = TComboDropDown::VisibleRows(combo);
  const int32_t hover = combo.HoverIndex();
  switch (Key) {
    case VK_UP:
      if (Has(Shift, ssAlt)) TComboDropDown::Close(true);
      else TComboDropDown::Hover(combo, hover < 0 ? 0 : hover - 1);
      return true;
    case VK_DOWN:
      if (Has(Shift, ssAlt)) TComboDropDown::Close(true);
      else TComboDropDown::Hover(combo, hover + 1);
      return true;
    case VK_PRIOR: TComboDropDown::Hover(combo, hover - rows); return true;
    case VK_NEXT: TComboDropDown::Hover(combo, hover < 0 ? rows - 1 : hover + rows); return true;
    case VK_HOME: TComboDropDown::Hover(combo, 0); return true;
    case VK_END: TComboDropDown::Hover(combo, combo.Items().Count() - 1); return true;
    case VK_RETURN:
      if (hover >= 0) TComboDropDown::Pick(combo, hover);
      else TComboDropDown::Close(true);
      return true;
    case VK_ESCAPE:
    case VK_F4: TComboDropDown::Close(true); return true;
    case VK_TAB: TComboDropDown::Close(true); return false;  // the focus still moves
    default: return false;
  }
}

}  // namespace

bool DropDownKeyDown(TForm& Form, uint16_t Key, TShiftState Shift) {
  if (!TComboDropDown::OpenOn(Form)) return false;
  TCustomComboBox& combo = *TComboDropDown::Open();
  bool used = false;
  Guarded(combo, [&] { used = ListKey(combo, Key, Shift); });
  return used;
}

void PaintDropDownOverlay(const TForm& Form, TBitmap& Dest) {
  if (TComboDropDown::OpenOn(Form)) TComboDropDown::Paint(*TComboDropDown::Open(), Dest);
}

bool DropDownOpenOn(const TForm& Form) { return TComboDropDown::OpenOn(Form); }

void CloseDropDownsOf(const TForm& Form) {
  if (TComboDropDown::OpenOn(Form)) TComboDropDown::Close(true);
}

}  // namespace framework

// --------------------------------------------------------- TCustomComboBox

TCustomComboBox::TCustomComboBox(TComponent* AOwner) : TCustomControl(AOwner) {
  SetTabStop(true);
  SetColor(clWindow);
  SetBounds(0, 0, 145, 21);
  // A click on the field drops the list; Click means a pick.
  SetControlStyle(ControlStyle() & ~(ControlStyleBit(csClickEvents) | ControlStyleBit(csDoubleClicks)));
  FItems.OnChange = [this] { ItemsChanged(); };
}

TCustomComboBox::~TCustomComboBox() {
  if (TComboDropDown::Open() == this) TComboDropDown::Close(false);
}

void TCustomComboBox::SetStyle(TComboBoxStyle Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  if (!Editable()) SetTextKeepingIndex(FItemIndex >= 0 ? FItems.Strings(FItemIndex) : "");
  Invalidate();
}

void TCustomComboBox::SetItemHeight(int32_t Value) {
  if (Value < 1 || Value == FItemHeight) return;
  FItemHeight = Value;
  Invalidate();
}

void TCustomComboBox::ItemsChanged() {
  // The selection stays on its entry when others come or go; it is lost
  // with the entry.
  if (FItemIndex >= 0 && (FItemIndex >= FItems.Count() || FItems.Strings(FItemIndex) != Text())) {
    FItemIndex = FItems.IndexOf(Text());
    if (FItemIndex < 0 && !Editable()) SetTextKeepingIndex("");
  }
  FHover = std::min(FHover, FItems.Count() - 1);
  FTopIndex = std::clamp(FTopIndex, 0, std::max(FItems.Count() - 1, 0));
  Invalidate();
  if (DroppedDown()) RefreshForm(ListState().Form.Get());
}

void TCustomComboBox::SetItemIndex(int32_t Value) {
  if (Value < -1 || Value >= FItems.Count()) Value = -1;
  if (Value == FItemIndex) return;
  FItemIndex = Value;
  SetTextKeepingIndex(Value >= 0 ? FItems.Strings(Value) : "");
  Invalidate();
}

void TCustomComboBox::SetText(const std::string& Value) {
  const int32_t index = FItems.IndexOf(Value);
  if (!Editable()) {
    // A pick-only field shows entries only.
    if (index >= 0 || Value.empty()) SetItemIndex(index);
    return;
  }
  FItemIndex = index;
  SetTextKeepingIndex(Value);
}

void TCustomComboBox::SetTextKeepingIndex(const std::string& Value) { TCustomControl::SetText(Value); }

void TCustomComboBox::TextChanged() {
  TCustomControl::TextChanged();
  FEdit.Reset(Text(), framework::CodePointCount(Text()));
}

bool TCustomComboBox::DroppedDown() const { return TComboDropDown::Open() == this; }

void TCustomComboBox::SetDroppedDown(bool Value) {
  if (Value == DroppedDown()) return;
  if (!Value) {
    TComboDropDown::Close(true);
    return;
  }
  if (!Showing() || FDropping) return;  // a DropDown handler asking again is ignored
  const TControlRef self(this);
  FDropping = true;
  try {
    DropDown();
  } catch (...) {
    if (self) FDropping = false;
    throw;
  }
  if (!self) return;
  FDropping = false;
  if (Showing() && !DroppedDown()) this->OpenList();
}

void TCustomComboBox::OpenList() {
  TForm* form = GetParentForm(this);
  if (!form) return;
  if (TComboDropDown::Open()) TComboDropDown::Close(true);  // one list at a time
  if (framework::TopModalForm() && framework::TopModalForm() != form) return;
  const TRect field = FormRect();
  // Rows times their height in 64 bits; a list taller than the form is cut to it.
  const int64_t rowsHeight = int64_t{TComboDropDown::VisibleRows(*this)} * FItemHeight + 2;
  const int32_t height = static_cast<int32_t>(std::min<int64_t>(rowsHeight, std::max(form->Height(), 2)));
  int64_t top = field.Bottom;
  if (top + height > form->Height() && int64_t{field.Top} - height >= 0) top = int64_t{field.Top} - height;
  top = std::clamp<int64_t>(top, 0, std::max(form->Height() - height, 0));
  const int64_t left = std::clamp<int64_t>(field.Left, 0, std::max(form->Width() - Width(), 0));
  TOpenList& open = ListState();
  open.Combo = TControlRef(this);
  open.Form = TControlRef(form);
  open.Bounds = Rect(static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(left + Width()),
                     static_cast<int32_t>(top + height));
  open.PressInList = false;
  FTopIndex = 0;
  FHover = -1;
  if (FItemIndex >= 0) TComboDropDown::Hover(*this, FItemIndex);
  RefreshForm(form);
}

TRect TCustomComboBox::DropDownRect() const { return DroppedDown() ? ListState().Bounds : TRect{}; }

void TCustomComboBox::Pick(int32_t Index) {
  const TControlRef self(this);
  if (DroppedDown()) TComboDropDown::Close(true);
  if (!self || Index < 0 || Index >= FItems.Count() || Index == FItemIndex) return;
  FItemIndex = Index;
  SetTextKeepingIndex(FItems.Strings(Index));
  Click();
  if (self) Change();
}

void TCustomComboBox::StepSelection(int32_t Step) {
  if (FItems.Count() == 0) return;
  const int32_t from = FItemIndex < 0 ? (Step > 0 ? -1 : FItems.Count()) : FItemIndex;
  Pick(std::clamp(from + Step, 0, FItems.Count() - 1));
}

void TCustomComboBox::DropDown() {
  if (OnDropDown) OnDropDown(this);
}

void TCustomComboBox::Change() {
  if (OnChange) OnChange(this);
}

void TCustomComboBox::CloseUp() {
  Invalidate();
  if (OnCloseUp) OnCloseUp(this);
}

bool TCustomComboBox::ClaimsKey(uint16_t Key, TShiftState Shift) const {
  (void)Shift;
  return DroppedDown() && (Key == VK_RETURN || Key == VK_ESCAPE);
}

void TCustomComboBox::KeyDown(uint16_t& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if (Key == 0) return;
  if ((Key == VK_DOWN && Has(Shift, ssAlt)) || Key == VK_F4) {
    SetDroppedDown(true);
    return;
  }
  switch (Key) {
    case VK_UP: StepSelection(-1); return;
    case VK_DOWN: StepSelection(1); return;
    default: break;
  }
  if (!Editable()) {
    if (Key == VK_HOME) StepSelection(-FItems.Count());
    else if (Key == VK_END) StepSelection(FItems.Count());
    return;
  }
  // Caret keys and Delete of the editable field.
  const bool extend = Has(Shift, ssShift);
  const size_t caret = FEdit.Caret();
  switch (Key) {
    case VK_LEFT: FEdit.MoveCaret(caret > 0 ? caret - 1 : 0, extend); break;
    case VK_RIGHT: FEdit.MoveCaret(caret + 1, extend); break;
    case VK_HOME: FEdit.MoveCaret(0, extend); break;
    case VK_END: FEdit.MoveCaret(FEdit.Length(), extend); break;
    case VK_DELETE: {
      size_t newCaret = FEdit.SelStart();
      const std::string text =
          FEdit.SelLength() > 0 ? FEdit.ReplacedSelection("", newCaret) : FEdit.Removed(caret, caret + 1);
      if (text == Text()) return;
      FItemIndex = FItems.IndexOf(text);
      SetTextKeepingIndex(text);
      FEdit.MoveCaret(newCaret, false);
      Change();
      return;
    }
    default: return;
  }
  Invalidate();
}

void TCustomComboBox::KeyPress(char32_t& Key) {
  TCustomControl::KeyPress(Key);
  if (Key == 0 || !Editable()) return;
  size_t caret = FEdit.Caret();
  std::string text;
  if (Key == U'\b') {
    if (FEdit.SelLength() > 0) text = FEdit.ReplacedSelection("", caret);
    else if (caret > 0) text = FEdit.Removed(--caret, FEdit.Caret());
    else return;
  } else if (Key >= 32 && Key != 127) {
    text = FEdit.ReplacedSelection(EncodeUtf8(Key), caret);
  } else {
    return;
  }
  FItemIndex = FItems.IndexOf(text);
  SetTextKeepingIndex(text);
  FEdit.MoveCaret(caret, false);
  Change();
}

void TCustomComboBox::MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) {
  const TControlRef self(this);
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (!self || Button != mbLeft) return;
  SetFocus();
  if (!self) return;
  const TRect button = ButtonRect();
  if (!Editable() || Inside(button, Point(X, Y))) SetDroppedDown(true);
}

bool TCustomComboBox::DoMouseWheel(TShiftState Shift, int32_t WheelDelta, TPoint MousePos) {
  if (!DroppedDown()) return TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos);
  TComboDropDown::Scroll(*this, -WheelDelta / 120);
  return true;
}

void TCustomComboBox::FocusLost() {
  TCustomControl::FocusLost();
  if (DroppedDown()) TComboDropDown::Close(true);
}

void TCustomComboBox::VisibleChanged() {
  TCustomControl::VisibleChanged();
  if (!Visible() && DroppedDown()) TComboDropDown::Close(true);
}

void TCustomComboBox::EnabledChanged() {
  TCustomControl::EnabledChanged();
  if (!Enabled() && DroppedDown()) TComboDropDown::Close(true);
}

TRect TCustomComboBox::ButtonRect() const {
  return Rect(std::max(Width() - kButtonWidth - 1, 0), 1, std::max(Width() - 1, 0), std::max(Height() - 1, 0));
}

TCanvas& TCustomComboBox::Canvas() { return FDrawCanvas ? *FDrawCanvas : TCustomControl::Canvas(); }

void TCustomComboBox::DrawItemOn(TCanvas& Target, int32_t Index, const TRect& R, TOwnerDrawState State) {
  const bool selected = (State & OwnerDrawBit(odSelected)) != 0;
  Target.Brush().SetStyle(bsSolid);
  Target.Brush().SetColor(selected ? clHighlight : Color());
  Target.Font().Assign(Font());
  Target.Font().SetColor(selected ? clHighlightText : Font().Color());
  TCanvas* previous = FDrawCanvas;
  FDrawCanvas = &Target;
  try {
    DrawItem(Index, R, State);
  } catch (...) {
    FDrawCanvas = previous;
    throw;
  }
  FDrawCanvas = previous;
}

void TCustomComboBox::DrawItem(int32_t Index, const TRect& R, TOwnerDrawState State) {
  if (OnDrawItem) {
    OnDrawItem(this, Index, R, State);
    return;
  }
  TCanvas& canvas = Canvas();
  canvas.FillRect(R);
  if (Index < 0 || Index >= FItems.Count()) return;
  canvas.Brush().SetStyle(bsClear);
  canvas.TextOut(R.Left + 2, R.Top + static_cast<int32_t>((R.Height() - canvas.TextHeight("Ag")) / 2),
                 FItems.Strings(Index));
  canvas.Brush().SetStyle(bsSolid);
}

void TCustomComboBox::Paint() {
  TCanvas& canvas = TCustomControl::Canvas();
  canvas.Pen().SetColor(clBtnShadow);
  canvas.Brush().SetStyle(bsClear);
  canvas.Rectangle(ClientRect());
  // The drop button with its arrow.
  const TRect button = ButtonRect();
  canvas.Brush().SetStyle(bsSolid);
  canvas.Brush().SetColor(clBtnFace);
  canvas.FillRect(button);
  const int32_t cx = (button.Left + button.Right) / 2, cy = (button.Top + button.Bottom) / 2;
  canvas.Pen().SetColor(EffectivelyEnabled() ? clBtnText : clGrayText);
  canvas.Brush().SetColor(EffectivelyEnabled() ? clBtnText : clGrayText);
  canvas.Polygon({Point(cx - 4, cy - 2), Point(cx + 4, cy - 2), Point(cx, cy + 2)});
  const TRect field = Rect(2, 2, std::max(button.Left - 1, 2), std::max(Height() - 2, 2));
  canvas.IntersectClipRect(field);
  if (!Editable()) {
    const bool highlighted = Focused() && !DroppedDown();
    const TOwnerDrawState state = OwnerDrawBit(odComboBoxEdit) |
                                  (highlighted ? OwnerDrawBit(odSelected) | OwnerDrawBit(odFocused) : 0u);
    if (OwnerDrawn() && FItemIndex >= 0) {
      DrawItemOn(canvas, FItemIndex, field, state);
    } else {
      canvas.Brush().SetColor(highlighted ? clHighlight : Color());
      canvas.FillRect(field);
      canvas.Brush().SetStyle(bsClear);
      canvas.Font().SetColor(!EffectivelyEnabled() ? clGrayText : highlighted ? clHighlightText : Font().Color());
      canvas.TextOut(field.Left + 2, (Height() - canvas.TextHeight("Ag")) / 2, Text());
    }
    canvas.Brush().SetStyle(bsSolid);
    return;
  }
  canvas.Brush().SetStyle(bsClear);
  canvas.Font().SetColor(EffectivelyEnabled() ? Font().Color() : clGrayText);
  const int32_t top = (Height() - canvas.TextHeight("Ag")) / 2;
  canvas.TextOut(field.Left + 1, top, Text());
  if (Focused()) {
    const int32_t x = field.Left + 1 + canvas.TextWidth(FEdit.Slice(0, FEdit.Caret()));
    canvas.Pen().SetColor(clWindowText);
    canvas.MoveTo(x, top);
    canvas.LineTo(x, top + canvas.TextHeight("Ag"));
  }
  canvas.Brush().SetStyle(bsSolid);
}

}  // namespace vexa
