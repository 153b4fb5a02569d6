#include "platform/controls/Vexa_menus.h"

#include <algorithm>

#include "platform/Vexa_strutils.h"
#include "platform/controls/Vexa_forms.h"
#include "platform/controls/internal/Vexa_framework.h"
#include "platform/graphics/Vexa_canvas.h"

namespace vexa {

// --------------------------------------------------------------- TMenuItem

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner), FSelf(std::make_shared<TMenuItem*>(this)) {}

TMenuItem::~TMenuItem() {
  *FSelf = nullptr;
  while (!FItems.empty()) delete FItems.back();  // a child removes itself
  if (FParent) FParent->Remove(this);
}

TMenuItem* TMenuItem::Items(int32_t Index) const {
  if (Index < 0 || Index >= Count()) return nullptr;
  return FItems[static_cast<size_t>(Index)];
}

void TMenuItem::Add(TMenuItem* Item) { Insert(Count(), Item); }

void TMenuItem::Insert(int32_t Index, TMenuItem* Item) {
  if (!Item) return;
  for (const TMenuItem* p = this; p; p = p->FParent)
    if (p == Item) throw EComponentError("A menu item cannot contain itself");
  if (Item->FParent) Item->FParent->Remove(Item);
  const auto at = static_cast<size_t>(std::clamp(Index, 0, Count()));
  FItems.insert(FItems.begin() + static_cast<std::ptrdiff_t>(at), Item);
  Item->FParent = this;
}

void TMenuItem::Remove(TMenuItem* Item) {
  std::erase(FItems, Item);
  if (Item && Item->FParent == this) Item->FParent = nullptr;
}

TMenuItem* TMenuItem::FindByName(const std::string& AName) const {
  for (TMenuItem* item : FItems) {
    if (SameText(item->Name(), AName)) return item;
    if (TMenuItem* inner = item->FindByName(AName)) return inner;
  }
  return nullptr;
}

TMenuItem* TMenuItem::Find(const std::string& ACaption) const {
  for (TMenuItem* item : FItems)
    if (item->FCaption == ACaption) return item;
  return nullptr;
}

void TMenuItem::Click() {
  if (FEnabled && OnClick) OnClick(this);
}

// -------------------------------------------------------- the open menu

namespace {

/// One open level: the entry that opened it (the root for level 0), its
/// rectangle on the form and the shown entries with their rectangles.
struct TLevel {
  TMenuRef Opener;
  TRect Bounds;
  std::vector<std::pair<TMenuRef, TRect>> Entries;
  int32_t Hover = -1;
};

struct TOpenMenu {
  TPopupMenu* Menu = nullptr;
  TControlRef Form;
  std::vector<TLevel> Levels;
  bool SwallowUp = false;  // the release of the press that closed the menu
};

TOpenMenu& Open() {
  static TOpenMenu* open = new TOpenMenu();  // lives until exit
  return *open;
}

constexpr int32_t kTextIndent = 22;
constexpr int32_t kArrowSpace = 20;

int32_t EntryHeight(const TMenuItem& Item) { return Item.IsLine() ? MenuLineHeight : MenuItemHeight; }

/// Lays out a level of Opener's visible children with its top-left near
/// (X, Y), moved so that it fits the form where possible.
TLevel LayoutLevel(TMenuItem& Opener, int32_t X, int32_t Y, const TForm& Form) {
  TLevel level;
  level.Opener = TMenuRef(&Opener);
  TBitmap scratch;
  TCanvas& canvas = scratch.Canvas();
  int32_t width = 100, height = 4;
  for (int32_t i = 0; i < Opener.Count(); ++i) {
    const TMenuItem* item = Opener.Items(i);
    if (!item->Visible()) continue;
    width = std::max(width, canvas.TextWidth(item->Caption()) + kTextIndent + kArrowSpace);
    height += EntryHeight(*item);
  }
  X = std::max(0, std::min(X, Form.Width() - width));
  Y = std::max(0, std::min(Y, Form.Height() - height));
  level.Bounds = Rect(X, Y, X + width, Y + height);
  int32_t top = Y + 2;
  for (int32_t i = 0; i < Opener.Count(); ++i) {
    TMenuItem* item = Opener.Items(i);
    if (!item->Visible()) continue;
    const int32_t h = EntryHeight(*item);
    level.Entries.emplace_back(TMenuRef(item), Rect(X + 2, top, X + width - 2, top + h));
    top += h;
  }
  return level;
}

bool Inside(const TRect& R, TPoint P) { return P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom; }

bool HasVisibleChildren(const TMenuItem& Item) {
  for (int32_t i = 0; i < Item.Count(); ++i)
    if (Item.Items(i)->Visible()) return true;
  return false;
}

TForm* OpenForm() { return static_cast<TForm*>(Open().Form.Get()); }

void RefreshOverlay() {
  if (TForm* form = OpenForm(); form && form->Visible())
    Backend().FormPainted(*form, Rect(0, 0, form->Width(), form->Height()));
}

/// Closes everything; OnClose fires when Notify is set.
void CloseAll(bool Notify) {
  TOpenMenu& open = Open();
  TPopupMenu* menu = open.Menu;
  if (!menu) return;
  // Forget the menu first: the window then shows the form without it.
  const TControlRef form = open.Form;
  open.Menu = nullptr;
  open.Levels.clear();
  open.Form = TControlRef();
  if (auto* shown = static_cast<TForm*>(form.Get()); shown && shown->Visible())
    Backend().FormPainted(*shown, Rect(0, 0, shown->Width(), shown->Height()));
  if (Notify && menu->OnClose) menu->OnClose(menu);
}

/// Opens the submenu of the hovered entry of a level (closing deeper ones).
void OpenSubmenu(size_t LevelIndex, TForm& Form) {
  TOpenMenu& open = Open();
  open.Levels.resize(LevelIndex + 1);
  TLevel& level = open.Levels[LevelIndex];
  if (level.Hover < 0) return;
  const auto& [ref, rect] = level.Entries[static_cast<size_t>(level.Hover)];
  TMenuItem* item = ref.Get();
  if (!item || !item->Enabled() || !HasVisibleChildren(*item)) return;
  open.Levels.push_back(LayoutLevel(*item, level.Bounds.Right - 2, rect.Top - 2, Form));
  RefreshOverlay();
}

/// Finds the level and entry under a form point; false when outside all levels.
bool EntryAt(TPoint P, size_t& LevelIndex, int32_t& Entry) {
  const TOpenMenu& open = Open();
  for (size_t l = open.Levels.size(); l-- > 0;) {
    const TLevel& level = open.Levels[l];
    if (!Inside(level.Bounds, P)) continue;
    LevelIndex = l;
    Entry = -1;
    for (size_t e = 0; e < level.Entries.size(); ++e)
      if (Inside(level.Entries[e].second, P)) Entry = static_cast<int32_t>(e);
    return true;
  }
  return false;
}

/// Chooses an entry: a submenu opens, a leaf closes the menu and clicks.
void Choose(size_t LevelIndex, int32_t Entry, TForm& Form) {
  TOpenMenu& open = Open();
  TLevel& level = open.Levels[LevelIndex];
  level.Hover = Entry;
  TMenuItem* item = level.Entries[static_cast<size_t>(Entry)].first.Get();
  if (!item || item->IsLine() || !item->Enabled()) return;
  if (HasVisibleChildren(*item)) {
    OpenSubmenu(LevelIndex, Form);
    return;
  }
  const TMenuRef chosen(item);
  CloseAll(true);
  if (TMenuItem* still = chosen.Get()) still->Click();
}

/// Moves the hover of the deepest level by Step over selectable entries.
void MoveHover(int32_t Step) {
  TLevel& level = Open().Levels.back();
  const auto count = static_cast<int32_t>(level.Entries.size());
  int32_t index = level.Hover;
  for (int32_t tries = 0; tries < count; ++tries) {
    index = index < 0 ? (Step > 0 ? 0 : count - 1) : (index + Step + count) % count;
    const TMenuItem* item = level.Entries[static_cast<size_t>(index)].first.Get();
    if (item && !item->IsLine() && item->Enabled()) {
      level.Hover = index;
      RefreshOverlay();
      return;
    }
  }
}

bool IsOpenOn(const TForm& Form) { return Open().Menu && OpenForm() == &Form; }

void DrawLevel(TCanvas& Canvas, const TLevel& Level) {
  Canvas.Brush().SetStyle(bsSolid);
  Canvas.Brush().SetColor(clMenu);
  Canvas.Pen().SetColor(clBtnShadow);
  Canvas.Rectangle(Level.Bounds);
  for (size_t e = 0; e < Level.Entries.size(); ++e) {
    const TMenuItem* item = Level.Entries[e].first.Get();
    const TRect r = Level.Entries[e].second;
    if (!item) continue;
    if (item->IsLine()) {
      const int32_t y = (r.Top + r.Bottom) / 2;
      Canvas.Pen().SetColor(clBtnShadow);
      Canvas.MoveTo(r.Left + 2, y);
      Canvas.LineTo(r.Right - 2, y);
      continue;
    }
    const bool hover = static_cast<int32_t>(e) == Level.Hover && item->Enabled();
    Canvas.Brush().SetColor(hover ? clHighlight : clMenu);
    Canvas.FillRect(r);
    Canvas.Brush().SetStyle(bsClear);
    Canvas.Font().SetColor(!item->Enabled() ? clGrayText : hover ? clHighlightText : clMenuText);
    const int32_t textTop = r.Top + (MenuItemHeight - Canvas.TextHeight(item->Caption())) / 2;
    Canvas.TextOut(r.Left + kTextIndent, textTop, item->Caption());
    if (!item->Bitmap().Empty())
      Canvas.Draw(r.Left + 3, r.Top + 2, item->Bitmap());
    else if (item->Checked())
      Canvas.TextOut(r.Left + 6, textTop, "\xE2\x9C\x93");  // check mark
    if (HasVisibleChildren(*item)) Canvas.TextOut(r.Right - kArrowSpace + 6, textTop, "\xE2\x96\xB8");
    Canvas.Brush().SetStyle(bsSolid);
  }
}

}  // namespace

namespace framework {

bool MenuMouseMove(TForm& Form, TPoint P) {
  if (!IsOpenOn(Form)) return false;
  size_t levelIndex = 0;
  int32_t entry = -1;
  if (EntryAt(P, levelIndex, entry) && entry >= 0) {
    TLevel& level = Open().Levels[levelIndex];
    if (level.Hover != entry) {
      level.Hover = entry;
      OpenSubmenu(levelIndex, Form);
    }
  }
  return true;
}

bool MenuMouseButton(TForm& Form, TMouseButton Button, bool Down, TPoint P) {
  (void)Button;
  if (!Down && Open().SwallowUp) {
    Open().SwallowUp = false;
    return true;
  }
  if (!IsOpenOn(Form)) return false;
  size_t levelIndex = 0;
  int32_t entry = -1;
  const bool inside = EntryAt(P, levelIndex, entry);
  if (!inside) {
    if (Down) {
      CloseAll(true);
      Open().SwallowUp = true;
    }
    return true;
  }
  if (!Down && entry >= 0) Choose(levelIndex, entry, Form);
  return true;
}

bool MenuKeyDown(TForm& Form, uint16_t Key) {
  if (!IsOpenOn(Form)) return false;
  TOpenMenu& open = Open();
  switch (Key) {
    case VK_ESCAPE:
    case VK_LEFT:
      if (open.Levels.size() > 1) {
        open.Levels.pop_back();
        RefreshOverlay();
      } else if (Key == VK_ESCAPE) {
        CloseAll(true);
      }
      break;
    case VK_UP: MoveHover(-1); break;
    case VK_DOWN: MoveHover(1); break;
    case VK_RIGHT: OpenSubmenu(open.Levels.size() - 1, Form); break;
    case VK_RETURN:
      if (open.Levels.back().Hover >= 0) Choose(open.Levels.size() - 1, open.Levels.back().Hover, Form);
      break;
    default: break;
  }
  return true;
}

void PaintMenuOverlays(const TForm& Form, TBitmap& Dest) {
  if (!Open().Menu || OpenForm() != &Form) return;
  TCanvas canvas(Dest);
  for (const TLevel& level : Open().Levels) DrawLevel(canvas, level);
}

bool MenuOpenOn(const TForm& Form) { return IsOpenOn(Form); }

void CloseMenusOf(const TForm& Form) {
  if (IsOpenOn(Form)) CloseAll(true);
}

}  // namespace framework

// -------------------------------------------------------------- TPopupMenu

TPopupMenu::TPopupMenu(TComponent* AOwner) : TComponent(AOwner), FItems(std::make_unique<TMenuItem>(nullptr)) {}

TPopupMenu::~TPopupMenu() {
  if (Open().Menu == this) CloseAll(false);
}

void TPopupMenu::SetPopupComponent(TComponent* Value) {
  if (Value == FPopupComponent) return;
  if (FPopupComponent) RemoveFreeNotification(FPopupComponent);
  FPopupComponent = Value;
  if (FPopupComponent) FreeNotification(FPopupComponent);
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FPopupComponent) FPopupComponent = nullptr;
}

void TPopupMenu::Popup(int32_t X, int32_t Y) {
  CloseAll(true);  // one menu open at a time
  FPopupPoint = Point(X, Y);
  if (OnPopup) OnPopup(this);
  TForm* form = GetParentForm(dynamic_cast<TControl*>(FPopupComponent));
  if (!form) form = Screen().ActiveForm();
  if (!form || !HasVisibleChildren(*FItems)) {
    if (OnClose) OnClose(this);
    return;
  }
  TOpenMenu& open = Open();
  open.Menu = this;
  open.Form = TControlRef(form);
  const TPoint origin = form->ClientOrigin();
  open.Levels.push_back(LayoutLevel(*FItems, X - origin.X, Y - origin.Y, *form));
  RefreshOverlay();
}

bool TPopupMenu::IsOpen() const { return Open().Menu == this; }

void TPopupMenu::CloseMenu() {
  if (IsOpen()) CloseAll(true);
}

TRect TPopupMenu::ItemScreenRect(const TMenuItem* Item) const {
  if (!IsOpen() || !Item) return TRect{};
  const TPoint origin = OpenForm()->ClientOrigin();
  for (const TLevel& level : Open().Levels)
    for (const auto& [ref, rect] : level.Entries)
      if (ref.Get() == Item)
        return Rect(rect.Left + origin.X, rect.Top + origin.Y, rect.Right + origin.X, rect.Bottom + origin.Y);
  return TRect{};
}

}  // namespace vexa
