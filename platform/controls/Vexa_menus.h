#pragma once
/// @file
/// Popup menus. Popup(X, Y) opens the menu at a screen point and returns at
/// once: the menu is an overlay on the form of its PopupComponent (or the
/// active form), clamped to the form, drawn by PaintTo and taking the
/// form's input while open. Choosing an item closes the menu, fires
/// OnClose, then the item's OnClick; any other way of closing fires OnClose.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Vexa_classes.h"
#include "platform/graphics/Vexa_bitmap.h"

namespace vexa {

class TPopupMenu;

/// A menu entry; an entry with visible children opens a submenu. The
/// caption "-" makes a separator line.
class TMenuItem : public TComponent {
public:
  explicit TMenuItem(TComponent* AOwner);
  /// Frees the child entries too.
  ~TMenuItem() override;

  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value) { FCaption = Value; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value) { FVisible = Value; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value) { FEnabled = Value; }
  bool Checked() const { return FChecked; }
  void SetChecked(bool Value) { FChecked = Value; }
  /// Picture drawn left of the caption (16 x 16 shown; empty: none).
  TBitmap& Bitmap() { return FBitmap; }
  const TBitmap& Bitmap() const { return FBitmap; }
  bool IsLine() const { return FCaption == "-"; }

  int32_t Count() const { return static_cast<int32_t>(FItems.size()); }
  /// Child at a 0-based index; nullptr outside.
  TMenuItem* Items(int32_t Index) const;
  /// Appends a child (taken out of its former parent).
  void Add(TMenuItem* Item);
  void Insert(int32_t Index, TMenuItem* Item);
  /// Takes a child out without freeing it.
  void Remove(TMenuItem* Item);
  TMenuItem* Parent() const { return FParent; }
  /// First descendant (depth first) with that component name (case-blind), or nullptr.
  TMenuItem* FindByName(const std::string& AName) const;
  /// First child with that caption, or nullptr.
  TMenuItem* Find(const std::string& ACaption) const;

  /// Fires OnClick when enabled.
  virtual void Click();
  TNotifyEvent OnClick;

private:
  friend class TMenuRef;
  std::shared_ptr<TMenuItem*> FSelf;
  std::string FCaption;
  bool FVisible = true;
  bool FEnabled = true;
  bool FChecked = false;
  TBitmap FBitmap;
  std::vector<TMenuItem*> FItems;
  TMenuItem* FParent = nullptr;
};

/// A weak reference to a menu item (nullptr once freed).
class TMenuRef {
public:
  TMenuRef() = default;
  explicit TMenuRef(const TMenuItem* Item) {
    if (Item) FToken = Item->FSelf;
  }
  TMenuItem* Get() const { return FToken ? *FToken : nullptr; }

private:
  std::shared_ptr<TMenuItem*> FToken;
};

/// A menu opened at a point, for example by a right click on its control.
class TPopupMenu : public TComponent {
public:
  explicit TPopupMenu(TComponent* AOwner);
  ~TPopupMenu() override;

  /// The top-level entries.
  TMenuItem& Items() { return *FItems; }
  /// Opens on a right click over a control that has this menu (default true).
  bool AutoPopup() const { return FAutoPopup; }
  void SetAutoPopup(bool Value) { FAutoPopup = Value; }
  /// The control (or component) the menu was opened for.
  TComponent* PopupComponent() const { return FPopupComponent; }
  void SetPopupComponent(TComponent* Value);
  /// Screen point of the last Popup.
  TPoint PopupPoint() const { return FPopupPoint; }

  /// Fires OnPopup and opens the menu at a screen point (see file comment).
  void Popup(int32_t X, int32_t Y);
  /// True while the menu is open.
  bool IsOpen() const;
  /// Closes the menu (and its submenus) without choosing; fires OnClose.
  void CloseMenu();
  /// Screen rectangle of a shown entry of the open menu (empty when not shown).
  TRect ItemScreenRect(const TMenuItem* Item) const;
  /// Entry by component name among all levels (case-blind), or nullptr.
  TMenuItem* ItemByName(const std::string& AName) const { return FItems->FindByName(AName); }

  TNotifyEvent OnPopup;
  TNotifyEvent OnClose;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  std::unique_ptr<TMenuItem> FItems;
  bool FAutoPopup = true;
  TComponent* FPopupComponent = nullptr;
  TPoint FPopupPoint;
};

/// Height of a menu entry and of a separator, in pixels.
constexpr int32_t MenuItemHeight = 20;
constexpr int32_t MenuLineHeight = 8;

}  // namespace vexa
