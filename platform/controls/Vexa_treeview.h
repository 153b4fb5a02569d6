#pragma once
/// @file
/// The tree view: TTreeNodes holds a tree of TTreeNode (text, an untyped
/// data pointer, children), TCustomTreeView shows the nodes whose parents
/// are expanded, one per line, and lets the user select and expand them.
///
/// Expanding asks CanExpand (OnExpanding) first, so children may be loaded
/// only when a node opens: a node with SetHasChildren(true) shows a button
/// before it has children. Collapsing a node that holds the selection moves
/// the selection to it. Deleting the selected node selects its next
/// sibling, else its previous sibling, else its parent (Change fires);
/// Clear leaves no selection and fires nothing.
///
/// Mouse: a click on a node's button toggles it, a click on its text
/// selects it, a double click on the text toggles it. Keys: Up/Down,
/// Home/End, Page Up/Down move the selection; Right expands (or goes to the
/// first child), Left collapses (or goes to the parent); + and - (keypad
/// keys or characters) expand and collapse. No scroll bars: keys, the wheel
/// and TopItem scroll. Node texts are not edited in place.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls/Vexa_controls.h"

namespace vexa {

class TTreeNode;
class TTreeNodes;
class TCustomTreeView;

using TTVChangedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;
using TTVChangingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowChange)>;
using TTVExpandingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowExpansion)>;
using TTVCollapsingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowCollapse)>;
using TTVExpandedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;

/// Where a point lies relative to the nodes (GetHitTestInfoAt).
enum THitTest : uint8_t { htAbove, htBelow, htNowhere, htOnItem, htOnButton, htOnIcon, htOnIndent, htOnLabel,
                          htOnRight, htOnStateIcon, htToLeft, htToRight };
/// Set of THitTest ordinals as bits.
using THitTests = uint32_t;
constexpr THitTests HitTestBit(THitTest Item) { return THitTests{1} << Item; }

/// A weak reference to a node: reads nullptr once the node is deleted.
class TTreeNodeRef {
public:
  TTreeNodeRef() = default;
  explicit TTreeNodeRef(const TTreeNode* Node);
  TTreeNode* Get() const { return FToken ? *FToken : nullptr; }
  explicit operator bool() const { return Get() != nullptr; }

private:
  std::shared_ptr<TTreeNode*> FToken;
};

/// One node of a tree view. Nodes are made and freed by TTreeNodes.
class TTreeNode {
public:
  TTreeNode(const TTreeNode&) = delete;
  TTreeNode& operator=(const TTreeNode&) = delete;
  ~TTreeNode();

  const std::string& Text() const { return FText; }
  void SetText(const std::string& Value);
  /// The application's pointer (never dereferenced or freed by the tree).
  void* Data() const { return FData; }
  void SetData(void* Value) { FData = Value; }
  int32_t ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int32_t Value) { FImageIndex = Value; }
  int32_t SelectedIndex() const { return FSelectedIndex; }
  void SetSelectedIndex(int32_t Value) { FSelectedIndex = Value; }

  TTreeNode* Parent() const { return FParent; }
  /// 0 for a top-level node.
  int32_t Level() const;
  int32_t Count() const { return static_cast<int32_t>(FChildren.size()); }
  /// Child at a 0-based index, nullptr outside.
  TTreeNode* Item(int32_t Index) const;
  /// Position among the siblings.
  int32_t Index() const;
  /// Position in tree order among all nodes.
  int32_t AbsoluteIndex() const;
  /// True when the node has children or was marked as having some.
  bool HasChildren() const { return FHasChildren || !FChildren.empty(); }
  /// Marks the node as having children (shows a button before they exist).
  void SetHasChildren(bool Value);
  bool Expanded() const { return FExpanded; }
  void SetExpanded(bool Value);
  /// Expands (asking CanExpand), optionally all descendants too.
  void Expand(bool Recurse);
  void Collapse(bool Recurse);
  bool Selected() const;
  void SetSelected(bool Value);
  bool Focused() const { return Selected(); }
  /// True when every ancestor is expanded.
  bool IsVisible() const;
  /// Expands the ancestors and scrolls the node into view.
  void MakeVisible();
  /// Rectangle of the node's line (or of its text) in client coordinates;
  /// empty when not shown.
  TRect DisplayRect(bool TextOnly) const;

  TTreeNode* GetFirstChild() const { return Item(0); }
  TTreeNode* GetLastChild() const { return Item(Count() - 1); }
  TTreeNode* GetNextSibling() const;
  TTreeNode* GetPrevSibling() const;
  /// The next node in tree order (children first), nullptr at the end.
  TTreeNode* GetNext() const;
  TTreeNode* GetPrev() const;
  /// True when Node is this node's parent, grandparent, ...
  bool HasAsParent(const TTreeNode* Node) const;

  /// Deletes the children; the node is collapsed and has no children after.
  void DeleteChildren();
  /// Deletes the node and its children.
  void Delete();

  TTreeNodes& Owner() const { return FOwner; }
  TCustomTreeView& TreeView() const;

private:
  friend class TTreeNodes;
  friend class TTreeNodeRef;
  TTreeNode(TTreeNodes& Owner, TTreeNode* Parent, const std::string& Text, void* Data);
  std::vector<std::unique_ptr<TTreeNode>>& Siblings() const;

  TTreeNodes& FOwner;
  TTreeNode* FParent;
  std::string FText;
  void* FData;
  int32_t FImageIndex = -1;
  int32_t FSelectedIndex = -1;
  bool FHasChildren = false;
  bool FExpanded = false;
  std::vector<std::unique_ptr<TTreeNode>> FChildren;
  std::shared_ptr<TTreeNode*> FSelf;
};

/// The nodes of a tree view.
class TTreeNodes {
public:
  explicit TTreeNodes(TCustomTreeView& Owner) : FOwner(Owner) {}
  TTreeNodes(const TTreeNodes&) = delete;
  TTreeNodes& operator=(const TTreeNodes&) = delete;
  ~TTreeNodes();

  /// Number of nodes at all levels.
  int32_t Count() const { return FCount; }
  /// Node at a 0-based position in tree order (walks the tree), nullptr outside.
  TTreeNode* Item(int32_t Index) const;
  TTreeNode* GetFirstNode() const;

  /// Adds a node as the last sibling of Sibling (top level when nullptr).
  TTreeNode* Add(TTreeNode* Sibling, const std::string& S) { return AddObject(Sibling, S, nullptr); }
  TTreeNode* AddObject(TTreeNode* Sibling, const std::string& S, void* Ptr);
  /// Adds a node as the first sibling of Sibling.
  TTreeNode* AddFirst(TTreeNode* Sibling, const std::string& S) { return AddObjectFirst(Sibling, S, nullptr); }
  TTreeNode* AddObjectFirst(TTreeNode* Sibling, const std::string& S, void* Ptr);
  /// Adds a node as the last child of Parent (top level when nullptr).
  TTreeNode* AddChild(TTreeNode* Parent, const std::string& S) { return AddChildObject(Parent, S, nullptr); }
  TTreeNode* AddChildObject(TTreeNode* Parent, const std::string& S, void* Ptr);
  TTreeNode* AddChildFirst(TTreeNode* Parent, const std::string& S) { return AddChildObjectFirst(Parent, S, nullptr); }
  TTreeNode* AddChildObjectFirst(TTreeNode* Parent, const std::string& S, void* Ptr);
  /// Inserts a node before Sibling (at the end of the top level when nullptr).
  TTreeNode* Insert(TTreeNode* Sibling, const std::string& S) { return InsertObject(Sibling, S, nullptr); }
  TTreeNode* InsertObject(TTreeNode* Sibling, const std::string& S, void* Ptr);

  /// Deletes a node with its children (nullptr: nothing).
  void Delete(TTreeNode* Node);
  /// Deletes every node; no node is selected afterwards.
  void Clear();
  /// Painting waits until the matching EndUpdate.
  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate();
  TCustomTreeView& Owner() const { return FOwner; }

private:
  friend class TTreeNode;
  friend class TCustomTreeView;
  TTreeNode* InsertAt(TTreeNode* Parent, size_t Position, const std::string& S, void* Ptr);
  std::vector<std::unique_ptr<TTreeNode>>& ChildList(TTreeNode* Parent);
  void Remove(TTreeNode* Node, bool NotifyView);
  void Changed();

  TCustomTreeView& FOwner;
  std::vector<std::unique_ptr<TTreeNode>> FRoots;
  int32_t FCount = 0;
  int32_t FUpdateCount = 0;
};

/// The tree view control.
class TCustomTreeView : public TCustomControl {
public:
  explicit TCustomTreeView(TComponent* AOwner);
  ~TCustomTreeView() override;

  TTreeNodes& Items() { return *FItems; }
  const TTreeNodes& Items() const { return *FItems; }
  TTreeNode* Selected() const { return FSelected.Get(); }
  /// Selects a node (CanChange may refuse); its parents are expanded and it
  /// is scrolled into view; Change fires. nullptr clears the selection.
  void SetSelected(TTreeNode* Node);
  /// The first node shown at the top.
  TTreeNode* TopItem() const;
  void SetTopItem(TTreeNode* Node);

  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }
  bool ShowButtons() const { return FShowButtons; }
  void SetShowButtons(bool Value);
  bool ShowLines() const { return FShowLines; }
  void SetShowLines(bool Value);
  /// Buttons and lines also for the top-level nodes.
  bool ShowRoot() const { return FShowRoot; }
  void SetShowRoot(bool Value);
  /// Horizontal step per level in pixels (default 19).
  int32_t Indent() const { return FIndent; }
  void SetIndent(int32_t Value);
  /// Hide the selection while the control has no focus (default true).
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool Value);
  // Stored only.
  bool HotTrack() const { return FHotTrack; }
  void SetHotTrack(bool Value) { FHotTrack = Value; }
  bool RowSelect() const { return FRowSelect; }
  void SetRowSelect(bool Value) { FRowSelect = Value; }
  bool MultiSelect() const { return FMultiSelect; }
  void SetMultiSelect(bool Value) { FMultiSelect = Value; }
  bool AutoExpand() const { return FAutoExpand; }
  void SetAutoExpand(bool Value) { FAutoExpand = Value; }

  /// Height of one line: the font's text height + 2, at least 16.
  int32_t ItemHeight();
  /// Collapses (expands) every node.
  void FullCollapse();
  void FullExpand();
  /// The node on the line under a client point, or nullptr.
  TTreeNode* GetNodeAt(int32_t X, int32_t Y);
  /// Where a client point lies: htOnButton, htOnLabel (with htOnItem),
  /// htOnIndent, htOnRight, htNowhere (below the last line).
  THitTests GetHitTestInfoAt(int32_t X, int32_t Y);

  TTVExpandingEvent OnExpanding;
  TTVExpandedEvent OnExpanded;
  TTVCollapsingEvent OnCollapsing;
  TTVExpandedEvent OnCollapsed;
  TTVChangingEvent OnChanging;
  TTVChangedEvent OnChange;
  TTVExpandedEvent OnDeletion;

protected:
  friend class TTreeNode;
  friend class TTreeNodes;

  /// Asked before a node expands; fires OnExpanding (true when unassigned).
  virtual bool CanExpand(TTreeNode* Node);
  /// A node expanded: fires OnExpanded.
  virtual void Expand(TTreeNode* Node);
  virtual bool CanCollapse(TTreeNode* Node);
  virtual void Collapse(TTreeNode* Node);
  /// Asked before the selection moves to Node; fires OnChanging.
  virtual bool CanChange(TTreeNode* Node);
  /// The selection moved to Node (may be nullptr): fires OnChange.
  virtual void Change(TTreeNode* Node);
  /// A node is about to be deleted: fires OnDeletion.
  virtual void Delete(TTreeNode* Node);

  void Paint() override;
  void KeyDown(uint16_t& Key, TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) override;
  bool DoMouseWheel(TShiftState Shift, int32_t WheelDelta, TPoint MousePos) override;

private:
  /// The nodes shown (every parent expanded), in tree order.
  std::vector<TTreeNode*> ShownNodes() const;
  int32_t LinesFit();
  void ClampTop(size_t ShownCount);
  void ScrollTo(const TTreeNode* Node);
  /// Left edge of a node's text area (after indentation and button).
  int32_t TextLeft(const TTreeNode* Node) const;
  bool HasButtonColumn(const TTreeNode* Node) const;
  void DrawLines(TCanvas& Canvas, const TTreeNode* Node, int32_t Top, int32_t Height);
  void DrawButton(TCanvas& Canvas, const TTreeNode* Node, int32_t Top, int32_t Height);
  void DrawText(TCanvas& Canvas, const TTreeNode* Node, int32_t Top, int32_t Height);
  void Toggle(TTreeNode* Node);
  void MoveSelection(const std::vector<TTreeNode*>& Shown, int64_t Index);
  void NodeRemoving(TTreeNode* Node);
  void NodesChanged();

  std::unique_ptr<TTreeNodes> FItems;
  TTreeNodeRef FSelected;
  int32_t FTopIndex = 0;
  bool FReadOnly = false;
  bool FShowButtons = true;
  bool FShowLines = true;
  bool FShowRoot = true;
  int32_t FIndent = 19;
  bool FHideSelection = true;
  bool FHotTrack = false;
  bool FRowSelect = false;
  bool FMultiSelect = false;
  bool FAutoExpand = false;
  bool FDestroying = false;
};

/// The tree view as placed on forms.
class TTreeView : public TCustomTreeView {
public:
  explicit TTreeView(TComponent* AOwner) : TCustomTreeView(AOwner) {}
};

/// Switches a control between the classic and a themed look. Themes are
/// not drawn, so this does nothing and reports success (0).
int32_t SetWindowTheme(TWinControl* Control, const std::string& SubAppName, const std::string& SubIdList);

}  // namespace vexa
