// The grid's in-place editors: a one-line edit over the current cell and
// its pick-list variant with a drop-down list on the form.

#include <algorithm>

#include "platform/controls/Vexa_grids.h"
#include "platform/controls/Vexa_headless.h"

namespace vexa {

namespace {

bool HasShift(TShiftState Shift, TShiftStateItem Item) { return (Shift & ShiftBit(Item)) != 0; }

}  // namespace

// ---------------------------------------------------------------- TInplaceEdit

TInplaceEdit::TInplaceEdit(TComponent* AOwner, TCustomGrid& Grid) : TCustomEdit(AOwner), FGrid(Grid) {
  SetTabStop(false);
  SetBorderStyle(bsNone);
  SetAutoSelect(true);
}

void TInplaceEdit::LoadText(const std::string& Value) {
  SetText(Value);
  SetModified(false);
  SelectAll();
}

bool TInplaceEdit::ClaimsKey(uint16_t Key, TShiftState Shift) const {
  (void)Shift;
  if (Key == VK_TAB) return FGrid.HasOption(goTabs);
  return Key == VK_RETURN || Key == VK_ESCAPE;
}

void TInplaceEdit::KeyDown(uint16_t& Key, TShiftState Shift) {
  const bool noSelection = FBuffer.SelLength() == 0;
  const bool atStart = FBuffer.Caret() == 0 && noSelection;
  const bool atEnd = FBuffer.Caret() == FBuffer.Length() && noSelection;
  bool toGrid = false;
  switch (Key) {
    case VK_UP: case VK_DOWN: case VK_PRIOR: case VK_NEXT: case VK_ESCAPE: toGrid = true; break;
    case VK_TAB: toGrid = !HasShift(Shift, ssAlt); break;
    case VK_LEFT: case VK_HOME: toGrid = HasShift(Shift, ssCtrl) || atStart; break;
    case VK_RIGHT: case VK_END: toGrid = HasShift(Shift, ssCtrl) || atEnd; break;
    default: break;
  }
  if (toGrid) {
    // The grid may close (or free) this editor: nothing is touched afterwards.
    FGrid.KeyDown(Key, Shift);
    Key = 0;
    return;
  }
  const TControlRef self(this);
  if (FGrid.OnKeyDown) FGrid.OnKeyDown(&FGrid, Key, Shift);
  if (self && Key != 0) TCustomEdit::KeyDown(Key, Shift);
}

void TInplaceEdit::KeyPress(char32_t& Key) {
  const TControlRef self(this);
  FGrid.KeyPress(Key);
  if (!self || Key == 0) return;
  if (Key == U'\t' || Key == U'\r' || Key == 0x1B) {
    Key = 0;
    return;
  }
  TCustomEdit::KeyPress(Key);
}

// ---------------------------------------------------------------- drop-down list

/// The list a pick-list editor drops below its cell: a child of the form,
/// drawn over the other controls; it never takes the focus.
class TPickListBox : public TCustomControl {
public:
  TPickListBox(TInplaceEditList& Editor) : TCustomControl(&Editor), FEditor(Editor) {
    SetColor(clWindow);
    SetTabStop(false);
  }

  int32_t ItemHeight() {
    Canvas().Font().Assign(Font());
    return std::max(Canvas().TextHeight("Wg") + 2, 4);
  }
  int32_t Rows() { return std::max((Height() - 2) / ItemHeight(), 1); }
  void ShowItem(int32_t Index) {
    if (Index < 0) return;
    if (Index < FTop) FTop = Index;
    else if (Index >= FTop + Rows()) FTop = Index - Rows() + 1;
    Invalidate();
  }
  int32_t ItemAt(int32_t Y) {
    if (Y < 1) return -1;
    const int64_t index = int64_t{FTop} + (Y - 1) / ItemHeight();
    return index < static_cast<int64_t>(FEditor.FPickList.size()) ? static_cast<int32_t>(index) : -1;
  }

protected:
  void Paint() override {
    TCanvas& canvas = Canvas();
    const int32_t h = ItemHeight();
    const auto& items = FEditor.FPickList;
    for (int32_t row = 0; row < Rows() && static_cast<size_t>(FTop + row) < items.size(); ++row) {
      const int32_t index = FTop + row;
      const bool chosen = index == FEditor.FItemIndex;
      canvas.Brush().SetStyle(bsSolid);
      canvas.Brush().SetColor(chosen ? clHighlight : Color());
      canvas.Font().SetColor(chosen ? clHighlightText : Font().Color());
      canvas.TextRect(Rect(1, 1 + row * h, Width() - 1, 1 + (row + 1) * h), 3, 1 + row * h + 1,
                      items[static_cast<size_t>(index)]);
    }
    canvas.Brush().SetColor(clBlack);
    canvas.FrameRect(ClientRect());
  }
  void MouseMove(TShiftState Shift, int32_t X, int32_t Y) override {
    if (const int32_t index = ItemAt(Y); index >= 0 && index != FEditor.FItemIndex) FEditor.SetItemIndex(index);
    TCustomControl::MouseMove(Shift, X, Y);
  }
  void MouseUp(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) override {
    const TControlRef self(this);
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (!self || Button != mbLeft || X < 0 || X >= Width()) return;
    if (const int32_t index = ItemAt(Y); index >= 0) {
      FEditor.SetItemIndex(index);
      FEditor.CloseUp(true);  // frees this list: nothing is touched afterwards
    }
  }
  bool DoMouseWheel(TShiftState Shift, int32_t WheelDelta, TPoint MousePos) override {
    (void)Shift;
    (void)MousePos;
    const int64_t maxTop = std::max<int64_t>(0, static_cast<int64_t>(FEditor.FPickList.size()) - Rows());
    FTop = static_cast<int32_t>(std::clamp<int64_t>(int64_t{FTop} - WheelDelta / 120, 0, maxTop));
    Invalidate();
    return true;
  }

private:
  TInplaceEditList& FEditor;
  int32_t FTop = 0;
};

// ---------------------------------------------------------------- TInplaceEditList

TInplaceEditList::TInplaceEditList(TComponent* AOwner, TCustomGrid& Grid) : TInplaceEdit(AOwner, Grid) {}

TInplaceEditList::~TInplaceEditList() { delete FList.Get(); }

void TInplaceEditList::SetEditStyle(TEditStyle Value) {
  if (Value == FEditStyle) return;
  if (Value != esPickList) CloseUp(false);
  FEditStyle = Value;
  Invalidate();
}

bool TInplaceEditList::ListVisible() const { return static_cast<bool>(FList); }

void TInplaceEditList::SetItemIndex(int32_t Value) {
  FItemIndex = std::clamp(Value, -1, static_cast<int32_t>(FPickList.size()) - 1);
  if (auto* list = static_cast<TPickListBox*>(FList.Get())) list->ShowItem(FItemIndex);
}

void TInplaceEditList::DropDown() {
  if (FEditStyle != esPickList || ListVisible()) return;
  const TControlRef self(this);
  if (OnGetPickListItems) {
    FPickList.clear();
    OnGetPickListItems(Grid().Col(), Grid().Row(), FPickList);
    if (!self) return;
  }
  TForm* form = GetParentForm(this);
  if (FPickList.empty() || !form) return;
  auto* list = new TPickListBox(*this);
  const int64_t rows = std::min<int64_t>(FDropDownRows, static_cast<int64_t>(FPickList.size()));
  const int64_t height = rows * list->ItemHeight() + 2;
  const TRect cell = FormRect();
  // Below the cell, or above it when the form has no room below.
  int64_t top = cell.Bottom;
  if (top + height > form->ClientHeight() && cell.Top - height >= 0) top = cell.Top - height;
  list->SetBounds(cell.Left, static_cast<int32_t>(top), Width(), static_cast<int32_t>(height));
  list->SetParent(form);
  list->BringToFront();
  FList = TControlRef(list);
  const auto it = std::find(FPickList.begin(), FPickList.end(), Text());
  SetItemIndex(it == FPickList.end() ? -1 : static_cast<int32_t>(it - FPickList.begin()));
  Invalidate();
}

void TInplaceEditList::CloseUp(bool Accept) {
  TControl* list = FList.Get();
  if (!list) return;
  FList = TControlRef();
  delete list;
  if (Accept && FItemIndex >= 0 && static_cast<size_t>(FItemIndex) < FPickList.size()) {
    SelectAll();
    InsertText(FPickList[static_cast<size_t>(FItemIndex)]);
    SelectAll();
  }
  Invalidate();
}

void TInplaceEditList::KeyDown(uint16_t& Key, TShiftState Shift) {
  const bool toggle = FEditStyle == esPickList &&
                      (Key == VK_F4 || (Key == VK_DOWN && HasShift(Shift, ssAlt)));
  if (toggle) {
    if (ListVisible()) CloseUp(false);
    else DropDown();
    Key = 0;
    return;
  }
  if (ListVisible()) {
    const auto last = static_cast<int32_t>(FPickList.size()) - 1;
    switch (Key) {
      case VK_UP: SetItemIndex(std::max(FItemIndex - 1, 0)); Key = 0; return;
      case VK_DOWN: SetItemIndex(std::min(FItemIndex + 1, last)); Key = 0; return;
      case VK_ESCAPE: CloseUp(false); Key = 0; return;
      default: break;
    }
  }
  TInplaceEdit::KeyDown(Key, Shift);
}

void TInplaceEditList::KeyPress(char32_t& Key) {
  if (ListVisible() && Key == U'\r') {
    CloseUp(true);
    Key = 0;
    return;
  }
  TInplaceEdit::KeyPress(Key);
}

void TInplaceEditList::MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) {
  if (Button == mbLeft && ButtonWidth() > 0 && X >= Width() - ButtonWidth()) {
    const TControlRef self(this);
    if (!Focused() && CanFocus()) SetFocus();
    if (!self) return;
    if (FEditStyle == esEllipsis) {
      if (OnEditButtonClick) OnEditButtonClick(this);
    } else if (ListVisible()) {
      CloseUp(false);
    } else {
      DropDown();
    }
    return;
  }
  TInplaceEdit::MouseDown(Button, Shift, X, Y);
}

void TInplaceEditList::Paint() {
  TInplaceEdit::Paint();
  if (ButtonWidth() == 0) return;
  TCanvas& canvas = Canvas();
  const TRect button = Rect(Width() - ButtonWidth(), 0, Width(), Height());
  canvas.Brush().SetStyle(bsSolid);
  canvas.Brush().SetColor(clBtnFace);
  canvas.FillRect(button);
  canvas.Pen().SetColor(clBlack);
  canvas.Brush().SetColor(clBlack);
  const int32_t cx = (button.Left + button.Right) / 2, cy = Height() / 2;
  if (FEditStyle == esPickList) {
    canvas.Polygon({Point(cx - 3, cy - 1), Point(cx + 3, cy - 1), Point(cx, cy + 2)});
  } else {
    for (int32_t dx : {-4, 0, 4}) canvas.FillRect(Rect(cx + dx - 1, cy, cx + dx + 1, cy + 2));
  }
}

void TInplaceEditList::FocusLost() {
  CloseUp(false);
  TInplaceEdit::FocusLost();
}

}  // namespace vexa
