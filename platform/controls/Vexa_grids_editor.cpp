// The grid's in-place editors: a one-line edit over the current cell and
// its pick-list variant with a drop-down list on the form.

#include <algorithm>

#include "platform/controls/Vexa_grids.h"
#include "platform/controls/Vexa_headless.h"
#include "platform/graphics/Vexa_fontcache.h"

namespace vexa {

namespace {

bool HasShift(TShiftState Shift, TShiftStateItem Item) { return (Shift & ShiftBit(Item)) != 0; }

/// Byte offsets of the code points of Text, then Text.size(). A valid UTF-8
/// sequence is one position; any other byte is a position of its own (the
/// font decoder reads it as Latin-1).
std::vector<size_t> CodePointOffsets(const std::string& Text) {
  std::vector<size_t> starts;
  size_t offset = 0;
  for (const uint32_t code : fontcache::DecodeText(Text)) {
    starts.push_back(offset);
    const std::string encoded = EncodeUtf8(code);
    offset += Text.compare(offset, encoded.size(), encoded) == 0 ? encoded.size() : 1;
  }
  starts.push_back(Text.size());
  return starts;
}

constexpr int32_t TextIndent = 2;

}  // namespace

// ---------------------------------------------------------------- TInplaceEdit

TInplaceEdit::TInplaceEdit(TComponent* AOwner, TCustomGrid& Grid) : TCustomControl(AOwner), FGrid(Grid) {
  SetTabStop(false);
  SetColor(clWindow);
}

void TInplaceEdit::Reindex() { FStarts = CodePointOffsets(Text()); }

void TInplaceEdit::LoadText(const std::string& Value) {
  SetText(Value);
  Reindex();
  FModified = false;
  SelectAll();
}

void TInplaceEdit::SelectAll() {
  FAnchor = 0;
  FCaret = Length();
  Invalidate();
}

void TInplaceEdit::SetCaret(size_t Pos, bool Extend) {
  FCaret = std::min(Pos, Length());
  if (!Extend) FAnchor = FCaret;
  Invalidate();
}

void TInplaceEdit::SetUserText(const std::string& Value, size_t NewCaret) {
  SetText(Value);
  Reindex();
  FCaret = FAnchor = std::min(NewCaret, Length());
  FModified = true;
  Invalidate();
  UserChanged();
}

void TInplaceEdit::InsertText(const std::string& Value) {
  const std::string& text = Text();
  const size_t from = ByteOffset(SelStart()), to = ByteOffset(SelStart() + SelLength());
  const size_t caret = SelStart() + (CodePointOffsets(Value).size() - 1);
  SetUserText(text.substr(0, from) + Value + text.substr(to), caret);
}

void TInplaceEdit::DeleteRange(size_t From, size_t To) {
  const std::string& text = Text();
  SetUserText(text.substr(0, ByteOffset(From)) + text.substr(ByteOffset(To)), From);
}

bool TInplaceEdit::ClaimsKey(uint16_t Key, TShiftState Shift) const {
  (void)Shift;
  if (Key == VK_TAB) return FGrid.HasOption(goTabs);
  return Key == VK_RETURN || Key == VK_ESCAPE;
}

void TInplaceEdit::KeyDown(uint16_t& Key, TShiftState Shift) {
  const bool extend = HasShift(Shift, ssShift);
  const bool noSelection = SelLength() == 0;
  bool toGrid = false;
  switch (Key) {
    case VK_UP: case VK_DOWN: case VK_PRIOR: case VK_NEXT: case VK_ESCAPE: toGrid = true; break;
    case VK_TAB: toGrid = !HasShift(Shift, ssAlt); break;
    case VK_LEFT: case VK_HOME: toGrid = HasShift(Shift, ssCtrl) || (FCaret == 0 && noSelection); break;
    case VK_RIGHT: case VK_END: toGrid = HasShift(Shift, ssCtrl) || (FCaret == Length() && noSelection); break;
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
  if (!self || Key == 0) return;
  TCustomControl::KeyDown(Key, Shift);
  if (!self || Key == 0) return;
  switch (Key) {
    case VK_LEFT:
      if (!extend && !noSelection) SetCaret(SelStart(), false);
      else SetCaret(FCaret - 1, extend);
      break;
    case VK_RIGHT:
      if (!extend && !noSelection) SetCaret(SelStart() + SelLength(), false);
      else SetCaret(FCaret + 1, extend);
      break;
    case VK_HOME: SetCaret(0, extend); break;
    case VK_END: SetCaret(Length(), extend); break;
    case VK_DELETE:
      if (!noSelection) DeleteRange(SelStart(), SelStart() + SelLength());
      else if (FCaret < Length()) DeleteRange(FCaret, FCaret + 1);
      break;
    default: return;
  }
  Key = 0;
}

void TInplaceEdit::KeyPress(char32_t& Key) {
  const TControlRef self(this);
  FGrid.KeyPress(Key);
  if (!self || Key == 0) return;
  if (Key == U'\b') {
    if (SelLength() > 0) DeleteRange(SelStart(), SelStart() + SelLength());
    else if (FCaret > 0) DeleteRange(FCaret - 1, FCaret);
  } else if (Key == 1) {  // Ctrl+A
    SelectAll();
  } else if (Key >= U' ' && Key != 0x7F) {
    InsertText(EncodeUtf8(Key));
  }
  Key = 0;
}

void TInplaceEdit::MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) {
  const TControlRef self(this);
  if (Button == mbLeft) {
    if (!Focused() && CanFocus()) SetFocus();
    if (!self) return;
    // The caret goes to the character boundary nearest to the click.
    TCanvas& canvas = Canvas();
    canvas.Font().Assign(Font());
    int64_t x = TextIndent;
    size_t pos = 0;
    for (; pos < Length(); ++pos) {
      const int32_t w = canvas.TextWidth(Text().substr(ByteOffset(pos), ByteOffset(pos + 1) - ByteOffset(pos)));
      if (X < x + w / 2) break;
      x += w;
    }
    SetCaret(pos, HasShift(Shift, ssShift));
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TInplaceEdit::Paint() {
  TCanvas& canvas = Canvas();
  const std::string& text = Text();
  const int32_t y = (Height() - canvas.TextHeight("Wg")) / 2;
  const auto xAt = [&](size_t Pos) { return TextIndent + canvas.TextWidth(text.substr(0, ByteOffset(Pos))); };
  // Keep the caret inside the field: long texts shift left.
  const int32_t room = std::max(Width() - ButtonWidth() - 2 * TextIndent, 1);
  const int32_t shift = std::max(xAt(FCaret) - TextIndent - room, 0);
  canvas.SetOrigin(Point(canvas.Origin().X - shift, canvas.Origin().Y));
  canvas.Brush().SetStyle(bsClear);
  canvas.TextOut(TextIndent, y, text);
  if (SelLength() > 0 && Focused()) {
    const size_t from = SelStart(), to = SelStart() + SelLength();
    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetColor(clHighlight);
    canvas.Font().SetColor(clHighlightText);
    canvas.TextOut(xAt(from), y, text.substr(ByteOffset(from), ByteOffset(to) - ByteOffset(from)));
  }
  if (Focused()) {
    canvas.Pen().SetColor(clBlack);
    canvas.Pen().SetStyle(psSolid);
    canvas.MoveTo(xAt(FCaret), 1);
    canvas.LineTo(xAt(FCaret), Height() - 1);
  }
  canvas.SetOrigin(Point(canvas.Origin().X + shift, canvas.Origin().Y));
  canvas.Brush().SetStyle(bsSolid);
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
