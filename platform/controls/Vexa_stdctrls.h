#pragma once
/// @file
/// The standard controls: one-line edit (TCustomEdit, TEdit), multi-line
/// edit (TMemo), label (TCustomLabel, TLabel), push button (TButton) and
/// combo box (TCustomComboBox, TComboBox), with the string list (TStringItems)
/// behind a memo's Lines and a combo box's Items.
///
/// Text positions (SelStart, SelLength) count code points of the UTF-8 text;
/// no operation splits a multi-byte character. Setting Text from code puts
/// the caret at 0 and calls Change synchronously (also when a Change handler
/// sets Text again). A combo box fires nothing when code changes ItemIndex or
/// Items; a user's pick fires Click, then Change. The dropped list of a combo
/// box is an overlay on the form (like a popup menu): it shows in PaintTo and
/// takes the form's mouse and navigation keys while open.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/controls/Vexa_forms.h"
#include "platform/controls/Vexa_timers.h"
#include "platform/controls/internal/Vexa_editbuffer.h"

namespace vexa {

/// Horizontal placement of text.
enum TAlignment : uint8_t { taLeftJustify, taRightJustify, taCenter };
/// Vertical placement of text.
enum TTextLayout : uint8_t { tlTop, tlCenter, tlBottom };

/// An ordered list of strings that reports its changes (OnChange after each
/// change).
class TStringItems {
public:
  int32_t Count() const { return static_cast<int32_t>(FItems.size()); }
  /// String at a 0-based index; EListError ("List index out of bounds (i)") outside.
  const std::string& Strings(int32_t Index) const;
  void SetStrings(int32_t Index, const std::string& Value);
  /// Appends a string and returns its index.
  int32_t Add(const std::string& Value);
  /// Inserts at 0 ... Count; EListError outside.
  void Insert(int32_t Index, const std::string& Value);
  /// Removes the string at Index; EListError outside.
  void Delete(int32_t Index);
  void Clear();
  /// Index of the first string equal to Value, -1 when none.
  int32_t IndexOf(const std::string& Value) const;
  /// The strings joined by line feeds (each line ended by one).
  std::string Text() const;
  /// Replaces the strings by the lines of Value (LF, CRLF or CR ends; a
  /// last line without an end counts).
  void SetText(const std::string& Value);
  /// Replaces the strings (one OnChange).
  void Assign(const std::vector<std::string>& Values);
  const std::vector<std::string>& Items() const { return FItems; }

  std::function<void()> OnChange;

private:
  void CheckIndex(int32_t Index, int32_t Limit) const;
  void Changed();
  std::vector<std::string> FItems;
};

// ------------------------------------------------------------------- edits

/// A one-line text field: typing, caret and Shift selection by keys and
/// mouse, Ctrl+A/C/X/V with the clipboard, a blinking caret while focused.
class TCustomEdit : public TCustomControl {
public:
  explicit TCustomEdit(TComponent* AOwner);
  ~TCustomEdit() override;

  /// Sets the text, puts the caret at 0 and calls Change (see file comment).
  void SetText(const std::string& Value) override;

  /// Start of the selection (or the caret), in code points.
  int32_t SelStart() const { return static_cast<int32_t>(FBuffer.SelStart()); }
  /// Moves the caret to Value (clamped) and clears the selection.
  void SetSelStart(int32_t Value);
  /// Length of the selection in code points.
  int32_t SelLength() const { return static_cast<int32_t>(FBuffer.SelLength()); }
  /// Selects Value code points from SelStart (clamped to the text).
  void SetSelLength(int32_t Value);
  /// The caret position (the moving end of the selection).
  int32_t CaretPos() const { return static_cast<int32_t>(FBuffer.Caret()); }
  std::string SelText() const { return FBuffer.SelText(); }
  /// Replaces the selection (also when ReadOnly: code may edit).
  void SetSelText(const std::string& Value);
  void SelectAll();
  void ClearSelection();
  void Clear() { SetText(""); }
  void CopyToClipboard() const;
  /// Copies and removes the selection (copies only when ReadOnly).
  void CutToClipboard();
  /// Replaces the selection by the clipboard text (nothing when ReadOnly).
  void PasteFromClipboard();

  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }
  /// Select the whole text when the edit receives the focus (default true).
  bool AutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool Value) { FAutoSelect = Value; }
  /// Show the selection only while focused (default true).
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool Value);
  /// Most code points the user may type or paste (0: no limit).
  int32_t MaxLength() const { return FMaxLength; }
  void SetMaxLength(int32_t Value) { FMaxLength = std::max(Value, 0); }
  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle Value);
  /// Stored only (default true): the height stays what the caller sets.
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value) { FAutoSize = Value; }
  /// Set by every user edit; code may clear it.
  bool Modified() const { return FModified; }
  void SetModified(bool Value) { FModified = Value; }
  /// True while the blinking caret is in its visible phase (focused only).
  bool CaretVisible() const { return FCaretShown; }

  /// Half period of the caret blink in milliseconds.
  static constexpr uint32_t CaretBlinkTime = 500;

  TNotifyEvent OnChange;

protected:
  /// Called after every change of the text (typing, editing commands,
  /// SetText); fires OnChange.
  virtual void Change();
  /// Applies a user edit: the new text with the caret at NewCaret (no
  /// effect when ReadOnly or beyond MaxLength).
  void UserEdit(const std::string& NewText, size_t NewCaret);
  /// Inserts text typed or pasted by the user at the selection.
  void UserInsert(const std::string& Text);
  /// The position nearest to a client point (for mouse clicks).
  virtual size_t PositionAt(int32_t X, int32_t Y);
  /// Canvas with the control's font, for measuring outside Paint.
  TCanvas& MeasureCanvas();
  /// Left edge of the text in client coordinates.
  int32_t TextLeft() const;
  /// Selection shown now (focused or HideSelection off).
  bool SelectionShown() const;
  /// Restarts the blink with the caret shown (after any caret movement).
  void RestartCaret();
  /// Multi-line edits take line breaks from pastes; one-line edits keep the
  /// first line.
  virtual std::string PasteText(const std::string& Clip) const;

  void KeyDown(uint16_t& Key, TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) override;
  void MouseMove(TShiftState Shift, int32_t X, int32_t Y) override;
  void FocusGained() override;
  void FocusLost() override;
  void TextChanged() override;
  void Paint() override;
  /// Handles caret keys for one-line editing; true when Key was one.
  virtual bool NavigationKey(uint16_t Key, TShiftState Shift);

  framework::TEditBuffer FBuffer;

private:
  void BlinkTick(TMessage& Message);
  void StopCaret();

  bool FReadOnly = false;
  bool FAutoSelect = true;
  bool FHideSelection = true;
  bool FModified = false;
  bool FAutoSize = true;
  int32_t FMaxLength = 0;
  TFormBorderStyle FBorderStyle = bsSingle;
  bool FHasPendingCaret = false;
  size_t FPendingCaret = 0;
  bool FCaretShown = false;
  int32_t FScrollX = 0;
  HWND FBlinkWindow = 0;
};

/// The one-line edit as placed on forms.
class TEdit : public TCustomEdit {
public:
  explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
};

/// A multi-line edit: Lines is a view of Text split at line feeds; Enter
/// starts a new line, Up/Down move between lines.
class TMemo : public TCustomEdit {
public:
  explicit TMemo(TComponent* AOwner);

  /// The lines; changing them rewrites Text (and calls Change).
  TStringItems& Lines() { return FLines; }
  /// Enter inserts a line break instead of reaching the Default button (default true).
  bool WantReturns() const { return FWantReturns; }
  void SetWantReturns(bool Value) { FWantReturns = Value; }
  /// Tab inserts a tab instead of moving the focus (default false).
  bool WantTabs() const { return FWantTabs; }
  void SetWantTabs(bool Value) { FWantTabs = Value; }
  /// Index of the first line shown.
  int32_t TopLine() const { return FTopLine; }
  bool ClaimsKey(uint16_t Key, TShiftState Shift) const override;

protected:
  void KeyPress(char32_t& Key) override;
  bool NavigationKey(uint16_t Key, TShiftState Shift) override;
  size_t PositionAt(int32_t X, int32_t Y) override;
  void TextChanged() override;
  void Paint() override;
  std::string PasteText(const std::string& Clip) const override;

private:
  int32_t LineHeight();
  /// Positions where the lines start (the first is 0).
  std::vector<size_t> LineStarts() const;
  /// Line (0-based) of a position.
  size_t LineOf(const std::vector<size_t>& Starts, size_t Pos) const;
  /// Position after the last character of a line (before its line feed).
  size_t LineEnd(const std::vector<size_t>& Starts, size_t Line) const;
  void ScrollToCaret();

  TStringItems FLines;
  bool FSyncingLines = false;
  bool FWantReturns = true;
  bool FWantTabs = false;
  int32_t FTopLine = 0;
};

// ------------------------------------------------------------------ labels

/// A text drawn on its parent: alignment, automatic size, transparency.
class TCustomLabel : public TGraphicControl {
public:
  explicit TCustomLabel(TComponent* AOwner);

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TTextLayout Layout() const { return FLayout; }
  void SetLayout(TTextLayout Value);
  /// Size follows the text (default true); a right-aligned label keeps its
  /// right edge, a centred one its centre.
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);
  /// Leave the parent visible behind the text (default false: fill with Color).
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  /// Resizes the control to its text when AutoSize is on.
  void AdjustBounds();

protected:
  /// The text step: with MeasureOnly, sets Rect's Right and Bottom to fit
  /// the text (lines split at line feeds) and draws nothing; otherwise
  /// draws the text inside Rect by Alignment and Layout on Canvas.
  virtual void DoDrawText(TCanvas& Canvas, TRect& Rect, bool MeasureOnly);
  void Paint() override;
  void TextChanged() override;
  void FontChanged() override;
  void Loaded() override;

private:
  TAlignment FAlignment = taLeftJustify;
  TTextLayout FLayout = tlTop;
  bool FAutoSize = true;
  bool FTransparent = false;
};

class TLabel : public TCustomLabel {
public:
  explicit TLabel(TComponent* AOwner) : TCustomLabel(AOwner) {}
};

// ----------------------------------------------------------------- buttons

/// A push button. A click sets its form's ModalResult (when ModalResult is
/// not mrNone), then fires OnClick. The Default button takes Enter, the
/// Cancel button Escape (as the form's dialog keys); a focused button
/// takes Enter itself and Space.
class TButton : public TCustomControl {
public:
  explicit TButton(TComponent* AOwner);

  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }
  bool Default() const { return FDefault; }
  void SetDefault(bool Value);
  bool Cancel() const { return FCancel; }
  void SetCancel(bool Value) { FCancel = Value; }
  /// True while the left button holds it down with the pointer over it.
  bool Pressed() const { return FPressed && FPointerInside; }
  void Click() override;

protected:
  void Dispatch(TMessage& Message) override;
  void KeyPress(char32_t& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) override;
  void MouseMove(TShiftState Shift, int32_t X, int32_t Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) override;
  void Paint() override;

private:
  bool TakesDialogKey(intptr_t Key) const;
  TModalResult FModalResult = mrNone;
  bool FDefault = false;
  bool FCancel = false;
  bool FPressed = false;
  bool FPointerInside = false;
};

// -------------------------------------------------------------- combo boxes

enum TComboBoxStyle : uint8_t { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
enum TOwnerDrawStateItem : uint8_t { odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odComboBoxEdit };
/// Set of TOwnerDrawStateItem ordinals as bits.
using TOwnerDrawState = uint32_t;
constexpr TOwnerDrawState OwnerDrawBit(TOwnerDrawStateItem Item) { return TOwnerDrawState{1} << Item; }
using TDrawItemEvent =
    std::function<void(TWinControl* Control, int32_t Index, const TRect& Rect, TOwnerDrawState State)>;

/// A field with a list that drops down. Styles: csDropDown (editable text),
/// csDropDownList (pick only), csOwnerDrawFixed (pick only, items drawn by
/// DrawItem in rows of ItemHeight); csSimple and csOwnerDrawVariable behave
/// as csDropDown and csOwnerDrawFixed.
class TCustomComboBox : public TCustomControl {
public:
  explicit TCustomComboBox(TComponent* AOwner);
  ~TCustomComboBox() override;

  TComboBoxStyle Style() const { return FStyle; }
  void SetStyle(TComboBoxStyle Value);
  /// The entries; changing them fires nothing (the selection stays on its
  /// entry, or is lost with it).
  TStringItems& Items() { return FItems; }
  /// Selected entry, -1 for none. Setting it from code fires nothing.
  int32_t ItemIndex() const { return FItemIndex; }
  void SetItemIndex(int32_t Value);
  /// Rows shown by the dropped list before it scrolls (default 8, at least 1).
  int32_t DropDownCount() const { return FDropDownCount; }
  void SetDropDownCount(int32_t Value) { FDropDownCount = std::max(Value, 1); }
  /// Height of a list row (default 16).
  int32_t ItemHeight() const { return FItemHeight; }
  void SetItemHeight(int32_t Value);
  /// Text of the field: the selected entry, or what was typed (csDropDown).
  void SetText(const std::string& Value) override;

  /// Opens or closes the list (DroppedDown := true calls DropDown first).
  bool DroppedDown() const;
  void SetDroppedDown(bool Value);
  /// Rectangle of the open list in form client coordinates (empty when closed).
  TRect DropDownRect() const;
  /// Index of the highlighted row of the open list (-1 none) and the first row shown.
  int32_t HoverIndex() const { return FHover; }
  int32_t TopIndex() const { return FTopIndex; }
  /// The drawing surface: the field while it paints, the list row while
  /// DrawItem draws the open list.
  TCanvas& Canvas();

  TNotifyEvent OnChange;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;
  TDrawItemEvent OnDrawItem;

protected:
  /// Draws an entry in Rect on Canvas(); the default fills the row with
  /// the brush (highlight when selected) and writes the entry (OnDrawItem
  /// when assigned).
  virtual void DrawItem(int32_t Index, const TRect& Rect, TOwnerDrawState State);
  /// Called before the list opens; fires OnDropDown.
  virtual void DropDown();
  /// Called after a user change of the text or selection; fires OnChange.
  virtual void Change();
  /// Called when the list closed; fires OnCloseUp.
  virtual void CloseUp();
  bool ClaimsKey(uint16_t Key, TShiftState Shift) const override;
  void KeyDown(uint16_t& Key, TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) override;
  bool DoMouseWheel(TShiftState Shift, int32_t WheelDelta, TPoint MousePos) override;
  void FocusLost() override;
  void TextChanged() override;
  void VisibleChanged() override;
  void EnabledChanged() override;
  void Paint() override;

private:
  friend class TComboDropDown;
  bool Editable() const { return FStyle == csDropDown || FStyle == csSimple; }
  bool OwnerDrawn() const { return FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable; }
  TRect ButtonRect() const;
  void ItemsChanged();
  /// A user's choice of an entry: closes the list, then Click and Change
  /// when the entry differs from the current one.
  void Pick(int32_t Index);
  void StepSelection(int32_t Step);
  void OpenList();
  void SetTextKeepingIndex(const std::string& Value);
  void DrawItemOn(TCanvas& Target, int32_t Index, const TRect& Rect, TOwnerDrawState State);

  TStringItems FItems;
  TComboBoxStyle FStyle = csDropDown;
  int32_t FItemIndex = -1;
  int32_t FDropDownCount = 8;
  int32_t FItemHeight = 16;
  int32_t FHover = -1;
  int32_t FTopIndex = 0;
  bool FDropping = false;  // DropDown runs
  TCanvas* FDrawCanvas = nullptr;
  framework::TEditBuffer FEdit;  // text and caret of the csDropDown field
};

class TComboBox : public TCustomComboBox {
public:
  explicit TComboBox(TComponent* AOwner) : TCustomComboBox(AOwner) {}
};

}  // namespace vexa
