// String list, one-line edit and memo.

#include <algorithm>

#include "platform/controls/Vexa_headless.h"
#include "platform/controls/Vexa_stdctrls.h"
#include "platform/graphics/Vexa_clipbrd.h"

namespace vexa {

namespace {

constexpr uintptr_t kBlinkTimer = 1;

bool Has(TShiftState Shift, TShiftStateItem Item) { return (Shift & ShiftBit(Item)) != 0; }

/// Splits at LF, CRLF and CR; a last line without an end counts.
std::vector<std::string> SplitAtLineEnds(const std::string& Text) {
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < Text.size(); ++i) {
    const char c = Text[i];
    if (c != '\n' && c != '\r') {
      line += c;
      continue;
    }
    if (c == '\r' && i + 1 < Text.size() && Text[i + 1] == '\n') ++i;
    lines.push_back(std::move(line));
    line.clear();
  }
  if (!line.empty()) lines.push_back(std::move(line));
  return lines;
}

}  // namespace

// ------------------------------------------------------------ TStringItems

void TStringItems::CheckIndex(int32_t Index, int32_t Limit) const {
  if (Index < 0 || Index >= Limit) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
}

void TStringItems::Changed() {
  if (OnChange) OnChange();
}

const std::string& TStringItems::Strings(int32_t Index) const {
  CheckIndex(Index, Count());
  return FItems[static_cast<size_t>(Index)];
}

void TStringItems::SetStrings(int32_t Index, const std::string& Value) {
  CheckIndex(Index, Count());
  FItems[static_cast<size_t>(Index)] = Value;
  Changed();
}

int32_t TStringItems::Add(const std::string& Value) {
  Insert(Count(), Value);
  return Count() - 1;
}

void TStringItems::Insert(int32_t Index, const std::string& Value) {
  CheckIndex(Index, Count() + 1);
  FItems.insert(FItems.begin() + Index, Value);
  Changed();
}

void TStringItems::Delete(int32_t Index) {
  CheckIndex(Index, Count());
  FItems.erase(FItems.begin() + Index);
  Changed();
}

void TStringItems::Clear() {
  if (FItems.empty()) return;
  FItems.clear();
  Changed();
}

int32_t TStringItems::IndexOf(const std::string& Value) const {
  const auto it = std::find(FItems.begin(), FItems.end(), Value);
  return it == FItems.end() ? -1 : static_cast<int32_t>(it - FItems.begin());
}

std::string TStringItems::Text() const {
  std::string text;
  for (const std::string& line : FItems) text += line + "\n";
  return text;
}

void TStringItems::SetText(const std::string& Value) { Assign(SplitAtLineEnds(Value)); }

void TStringItems::Assign(const std::vector<std::string>& Values) {
  FItems = Values;
  Changed();
}

// ------------------------------------------------------------- TCustomEdit

TCustomEdit::TCustomEdit(TComponent* AOwner) : TCustomControl(AOwner) {
  SetTabStop(true);
  SetColor(clWindow);
  SetCursor(crIBeam);
  SetBounds(0, 0, 121, 21);
  FBlinkWindow = AllocateHWnd([this](TMessage& Message) { BlinkTick(Message); });
}

TCustomEdit::~TCustomEdit() { DeallocateHWnd(FBlinkWindow); }

void TCustomEdit::SetText(const std::string& Value) {
  FHasPendingCaret = false;
  TCustomControl::SetText(Value);
}

void TCustomEdit::TextChanged() {
  TCustomControl::TextChanged();
  FBuffer.Reset(Text(), FHasPendingCaret ? FPendingCaret : 0);
  FHasPendingCaret = false;
  RestartCaret();
  Change();  // last: the handler may set Text again or free the control
}

void TCustomEdit::Change() {
  if (OnChange) OnChange(this);
}

void TCustomEdit::UserEdit(const std::string& NewText, size_t NewCaret) {
  if (FReadOnly) return;
  if (FMaxLength > 0 && NewText.size() > Text().size() &&
      framework::CodePointCount(NewText) > static_cast<size_t>(FMaxLength))
    return;
  FModified = true;
  if (NewText == Text()) {
    FBuffer.MoveCaret(NewCaret, false);
    RestartCaret();
    return;
  }
  FHasPendingCaret = true;
  FPendingCaret = NewCaret;
  TCustomControl::SetText(NewText);
}

void TCustomEdit::UserInsert(const std::string& Inserted) {
  size_t caret = 0;
  const std::string text = FBuffer.ReplacedSelection(Inserted, caret);
  UserEdit(text, caret);
}

void TCustomEdit::SetSelStart(int32_t Value) {
  FBuffer.MoveCaret(static_cast<size_t>(std::max(Value, 0)), false);
  RestartCaret();
  Invalidate();
}

void TCustomEdit::SetSelLength(int32_t Value) {
  FBuffer.Select(FBuffer.SelStart(), static_cast<size_t>(std::max(Value, 0)));
  Invalidate();
}

void TCustomEdit::SetSelText(const std::string& Value) {
  size_t caret = 0;
  const std::string text = FBuffer.ReplacedSelection(Value, caret);
  if (text == Text()) return;
  FHasPendingCaret = true;
  FPendingCaret = caret;
  TCustomControl::SetText(text);
}

void TCustomEdit::SelectAll() {
  FBuffer.Select(0, FBuffer.Length());
  Invalidate();
}

void TCustomEdit::ClearSelection() {
  if (FBuffer.SelLength() > 0) SetSelText("");
}

void TCustomEdit::CopyToClipboard() const {
  if (FBuffer.SelLength() > 0) Clipboard().SetAsText(FBuffer.SelText());
}

void TCustomEdit::CutToClipboard() {
  if (FBuffer.SelLength() == 0) return;
  CopyToClipboard();
  UserInsert("");
}

void TCustomEdit::PasteFromClipboard() {
  if (FReadOnly || !Clipboard().HasFormat(CF_TEXT)) return;
  UserInsert(PasteText(Clipboard().AsText()));
}

std::string TCustomEdit::PasteText(const std::string& Clip) const {
  return Clip.substr(0, Clip.find_first_of("\r\n"));
}

void TCustomEdit::SetHideSelection(bool Value) {
  FHideSelection = Value;
  Invalidate();
}

void TCustomEdit::SetBorderStyle(TFormBorderStyle Value) {
  FBorderStyle = Value;
  Invalidate();
}

bool TCustomEdit::SelectionShown() const { return Focused() || !FHideSelection; }

void TCustomEdit::KeyDown(uint16_t& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if (Key == 0) return;
  const bool ctrl = Has(Shift, ssCtrl) && !Has(Shift, ssAlt);
  const bool shift = Has(Shift, ssShift);
  if (ctrl && Key == 'A') SelectAll();
  else if ((ctrl && Key == 'C') || (ctrl && Key == VK_INSERT)) CopyToClipboard();
  else if ((ctrl && Key == 'X') || (shift && Key == VK_DELETE)) CutToClipboard();
  else if ((ctrl && Key == 'V') || (shift && Key == VK_INSERT)) PasteFromClipboard();
  else if (Key == VK_DELETE && FBuffer.SelLength() > 0) UserInsert("");
  else if (Key == VK_DELETE) UserEdit(FBuffer.Removed(FBuffer.Caret(), FBuffer.Caret() + 1), FBuffer.Caret());
  else if (NavigationKey(Key, Shift)) {
    RestartCaret();
    Invalidate();
  }
}

bool TCustomEdit::NavigationKey(uint16_t Key, TShiftState Shift) {
  const bool extend = Has(Shift, ssShift);
  const size_t caret = FBuffer.Caret();
  switch (Key) {
    case VK_LEFT:
      if (FBuffer.SelLength() > 0 && !extend) FBuffer.MoveCaret(FBuffer.SelStart(), false);
      else FBuffer.MoveCaret(caret > 0 ? caret - 1 : 0, extend);
      return true;
    case VK_RIGHT:
      if (FBuffer.SelLength() > 0 && !extend) FBuffer.MoveCaret(FBuffer.SelStart() + FBuffer.SelLength(), false);
      else FBuffer.MoveCaret(caret + 1, extend);
      return true;
    case VK_HOME: FBuffer.MoveCaret(0, extend); return true;
    case VK_END: FBuffer.MoveCaret(FBuffer.Length(), extend); return true;
    default: return false;
  }
}

void TCustomEdit::KeyPress(char32_t& Key) {
  TCustomControl::KeyPress(Key);
  if (Key == 0) return;
  if (Key == U'\b') {
    const size_t caret = FBuffer.Caret();
    if (FBuffer.SelLength() > 0) UserInsert("");
    else if (caret > 0) UserEdit(FBuffer.Removed(caret - 1, caret), caret - 1);
    return;
  }
  if (Key < 32 || Key == 127) return;  // control characters are commands, not text
  UserInsert(EncodeUtf8(Key));
}

TCanvas& TCustomEdit::MeasureCanvas() {
  TCanvas& canvas = Canvas();
  canvas.Font().Assign(Font());
  return canvas;
}

int32_t TCustomEdit::TextLeft() const { return FBorderStyle == bsNone ? 1 : 3; }

size_t TCustomEdit::PositionAt(int32_t X, int32_t Y) {
  (void)Y;
  TCanvas& canvas = MeasureCanvas();
  const int32_t target = X - TextLeft() + FScrollX;
  size_t best = 0;
  int32_t bestDistance = INT32_MAX;
  for (size_t pos = 0; pos <= FBuffer.Length(); ++pos) {
    const int32_t distance = std::abs(canvas.TextWidth(FBuffer.Slice(0, pos)) - target);
    if (distance >= bestDistance) break;  // widths grow with the position
    bestDistance = distance;
    best = pos;
  }
  return best;
}

void TCustomEdit::MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) {
  const TControlRef self(this);
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (!self || Button != mbLeft) return;
  SetFocus();
  if (!self) return;
  FBuffer.MoveCaret(PositionAt(X, Y), Has(Shift, ssShift));
  RestartCaret();
  Invalidate();
}

void TCustomEdit::MouseMove(TShiftState Shift, int32_t X, int32_t Y) {
  const TControlRef self(this);
  TCustomControl::MouseMove(Shift, X, Y);
  if (!self || !Has(Shift, ssLeft) || !MouseCapture()) return;
  const size_t pos = PositionAt(X, Y);
  if (pos == FBuffer.Caret()) return;
  FBuffer.MoveCaret(pos, true);
  Invalidate();
}

void TCustomEdit::FocusGained() {
  TCustomControl::FocusGained();
  if (FAutoSelect) FBuffer.Select(0, FBuffer.Length());
  RestartCaret();
}

void TCustomEdit::FocusLost() {
  TCustomControl::FocusLost();
  StopCaret();
}

void TCustomEdit::RestartCaret() {
  if (!Focused()) return;
  FCaretShown = true;
  SetTimer(FBlinkWindow, kBlinkTimer, CaretBlinkTime);  // a refused timer leaves the caret shown
  Invalidate();
}

void TCustomEdit::StopCaret() {
  KillTimer(FBlinkWindow, kBlinkTimer);
  FCaretShown = false;
}

void TCustomEdit::BlinkTick(TMessage& Message) {
  if (Message.Msg != WM_TIMER) return;
  if (!Focused()) {
    StopCaret();
    return;
  }
  FCaretShown = !FCaretShown;
  Invalidate();
}

void TCustomEdit::Paint() {
  TCanvas& canvas = Canvas();
  if (FBorderStyle != bsNone) {
    canvas.Pen().SetColor(clBtnShadow);
    canvas.Brush().SetStyle(bsClear);
    canvas.Rectangle(ClientRect());
  }
  const int32_t left = TextLeft();
  const int32_t inner = std::max(Width() - 2 * left, 1);
  const int32_t textHeight = canvas.TextHeight("Ag");
  const int32_t top = (Height() - textHeight) / 2;
  // Scroll so that the caret stays inside the field.
  const int32_t caretX = canvas.TextWidth(FBuffer.Slice(0, FBuffer.Caret()));
  if (caretX - FScrollX > inner - 1) FScrollX = caretX - inner + 1;
  if (caretX < FScrollX) FScrollX = caretX;
  FScrollX = std::max(FScrollX, 0);
  canvas.IntersectClipRect(Rect(left - 1, 1, Width() - left + 1, Height() - 1));
  const int32_t origin = left - FScrollX;
  canvas.Brush().SetStyle(bsClear);
  canvas.Font().SetColor(Enabled() ? clWindowText : clGrayText);
  canvas.TextOut(origin, top, Text());
  if (FBuffer.SelLength() > 0 && SelectionShown()) {
    const size_t from = FBuffer.SelStart(), to = from + FBuffer.SelLength();
    const int32_t x0 = origin + canvas.TextWidth(FBuffer.Slice(0, from));
    const int32_t x1 = origin + canvas.TextWidth(FBuffer.Slice(0, to));
    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetColor(clHighlight);
    canvas.FillRect(Rect(x0, top, x1, top + textHeight));
    canvas.Brush().SetStyle(bsClear);
    canvas.Font().SetColor(clHighlightText);
    canvas.TextOut(x0, top, FBuffer.Slice(from, to));
  }
  if (Focused() && FCaretShown) {
    canvas.Pen().SetColor(clWindowText);
    canvas.MoveTo(origin + caretX, top);
    canvas.LineTo(origin + caretX, top + textHeight);
  }
  canvas.Brush().SetStyle(bsSolid);
}

// -------------------------------------------------------------------- TMemo

namespace {

/// The memo's lines: the text split at every line feed; an empty text has none.
std::vector<std::string> MemoLines(const std::string& Text) {
  std::vector<std::string> lines;
  if (Text.empty()) return lines;
  size_t from = 0;
  for (size_t lf = Text.find('\n'); lf != std::string::npos; lf = Text.find('\n', from)) {
    lines.push_back(Text.substr(from, lf - from));
    from = lf + 1;
  }
  lines.push_back(Text.substr(from));
  return lines;
}

std::string JoinLines(const std::vector<std::string>& Lines) {
  std::string text;
  for (size_t i = 0; i < Lines.size(); ++i) text += (i ? "\n" : "") + Lines[i];
  return text;
}

}  // namespace

TMemo::TMemo(TComponent* AOwner) : TCustomEdit(AOwner) {
  SetAutoSelect(false);
  SetBounds(0, 0, 185, 89);
  FLines.OnChange = [this] {
    if (!FSyncingLines) TCustomEdit::SetText(JoinLines(FLines.Items()));
  };
}

void TMemo::TextChanged() {
  FSyncingLines = true;
  try {
    FLines.Assign(MemoLines(Text()));
  } catch (...) {
    FSyncingLines = false;
    throw;
  }
  FSyncingLines = false;
  TCustomEdit::TextChanged();
}

bool TMemo::ClaimsKey(uint16_t Key, TShiftState Shift) const {
  (void)Shift;
  return (Key == VK_RETURN && FWantReturns) || (Key == VK_TAB && FWantTabs);
}

void TMemo::KeyPress(char32_t& Key) {
  if ((Key == U'\r' && FWantReturns) || (Key == U'\t' && FWantTabs)) {
    TCustomControl::KeyPress(Key);  // OnKeyPress may still take it
    if (Key == U'\r') UserInsert("\n");
    else if (Key == U'\t') UserInsert("\t");
    return;
  }
  TCustomEdit::KeyPress(Key);
}

std::string TMemo::PasteText(const std::string& Clip) const {
  // CRLF and CR become the memo's line feed.
  std::string text;
  for (size_t i = 0; i < Clip.size(); ++i) {
    if (Clip[i] != '\r') text += Clip[i];
    else if (i + 1 < Clip.size() && Clip[i + 1] == '\n') continue;
    else text += '\n';
  }
  return text;
}

std::vector<size_t> TMemo::LineStarts() const {
  std::vector<size_t> starts{0};
  // A line feed byte is never part of a longer UTF-8 sequence.
  const std::string& text = FBuffer.Text();
  for (size_t pos = 0; pos < FBuffer.Length(); ++pos)
    if (text[FBuffer.ByteOffset(pos)] == '\n') starts.push_back(pos + 1);
  return starts;
}

size_t TMemo::LineOf(const std::vector<size_t>& Starts, size_t Pos) const {
  return static_cast<size_t>(std::upper_bound(Starts.begin(), Starts.end(), Pos) - Starts.begin()) - 1;
}

size_t TMemo::LineEnd(const std::vector<size_t>& Starts, size_t Line) const {
  return Line + 1 < Starts.size() ? Starts[Line + 1] - 1 : FBuffer.Length();
}

bool TMemo::NavigationKey(uint16_t Key, TShiftState Shift) {
  const bool extend = Has(Shift, ssShift);
  const std::vector<size_t> starts = LineStarts();
  const size_t line = LineOf(starts, FBuffer.Caret());
  const size_t column = FBuffer.Caret() - starts[line];
  const bool ctrl = Has(Shift, ssCtrl);
  switch (Key) {
    case VK_UP:
    case VK_DOWN: {
      if ((Key == VK_UP && line == 0) || (Key == VK_DOWN && line + 1 >= starts.size())) return true;
      const size_t target = Key == VK_UP ? line - 1 : line + 1;
      FBuffer.MoveCaret(std::min(starts[target] + column, LineEnd(starts, target)), extend);
      break;
    }
    case VK_HOME: FBuffer.MoveCaret(ctrl ? 0 : starts[line], extend); break;
    case VK_END: FBuffer.MoveCaret(ctrl ? FBuffer.Length() : LineEnd(starts, line), extend); break;
    default:
      if (!TCustomEdit::NavigationKey(Key, Shift)) return false;
      break;
  }
  ScrollToCaret();
  return true;
}

int32_t TMemo::LineHeight() { return std::max(MeasureCanvas().TextHeight("Ag"), 1); }

void TMemo::ScrollToCaret() {
  const std::vector<size_t> starts = LineStarts();
  const auto line = static_cast<int32_t>(LineOf(starts, FBuffer.Caret()));
  const int32_t visible = std::max((Height() - 4) / LineHeight(), 1);
  if (line < FTopLine) FTopLine = line;
  if (line >= FTopLine + visible) FTopLine = line - visible + 1;
}

size_t TMemo::PositionAt(int32_t X, int32_t Y) {
  const std::vector<size_t> starts = LineStarts();
  const int32_t row = FTopLine + std::max(Y - 2, 0) / LineHeight();
  const size_t line = std::min(static_cast<size_t>(std::max(row, 0)), starts.size() - 1);
  TCanvas& canvas = MeasureCanvas();
  const int32_t target = X - TextLeft();
  size_t best = starts[line];
  int32_t bestDistance = INT32_MAX;
  for (size_t pos = starts[line]; pos <= LineEnd(starts, line); ++pos) {
    const int32_t distance = std::abs(canvas.TextWidth(FBuffer.Slice(starts[line], pos)) - target);
    if (distance >= bestDistance) break;
    bestDistance = distance;
    best = pos;
  }
  return best;
}

void TMemo::Paint() {
  ScrollToCaret();
  TCanvas& canvas = Canvas();
  if (BorderStyle() != bsNone) {
    canvas.Pen().SetColor(clBtnShadow);
    canvas.Brush().SetStyle(bsClear);
    canvas.Rectangle(ClientRect());
  }
  canvas.IntersectClipRect(Rect(1, 1, Width() - 1, Height() - 1));
  const int32_t lineHeight = std::max(canvas.TextHeight("Ag"), 1);
  const int32_t left = TextLeft();
  const std::vector<size_t> starts = LineStarts();
  const size_t selFrom = FBuffer.SelStart(), selTo = selFrom + FBuffer.SelLength();
  const bool showSelection = FBuffer.SelLength() > 0 && SelectionShown();
  for (size_t line = static_cast<size_t>(FTopLine); line < starts.size(); ++line) {
    const int32_t y = 2 + static_cast<int32_t>(line - static_cast<size_t>(FTopLine)) * lineHeight;
    if (y >= Height()) break;
    const size_t from = starts[line], to = LineEnd(starts, line);
    canvas.Brush().SetStyle(bsClear);
    canvas.Font().SetColor(Enabled() ? clWindowText : clGrayText);
    canvas.TextOut(left, y, FBuffer.Slice(from, to));
    const size_t a = std::max(from, selFrom), b = std::min(to, selTo);
    if (showSelection && a < b) {
      const int32_t x0 = left + canvas.TextWidth(FBuffer.Slice(from, a));
      const int32_t x1 = left + canvas.TextWidth(FBuffer.Slice(from, b));
      canvas.Brush().SetStyle(bsSolid);
      canvas.Brush().SetColor(clHighlight);
      canvas.FillRect(Rect(x0, y, x1, y + lineHeight));
      canvas.Brush().SetStyle(bsClear);
      canvas.Font().SetColor(clHighlightText);
      canvas.TextOut(x0, y, FBuffer.Slice(a, b));
    }
    if (Focused() && CaretVisible() && LineOf(starts, FBuffer.Caret()) == line) {
      const int32_t x = left + canvas.TextWidth(FBuffer.Slice(from, FBuffer.Caret()));
      canvas.Pen().SetColor(clWindowText);
      canvas.MoveTo(x, y);
      canvas.LineTo(x, y + lineHeight);
    }
  }
  canvas.Brush().SetStyle(bsSolid);
}

}  // namespace vexa
