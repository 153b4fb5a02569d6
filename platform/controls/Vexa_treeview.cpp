#include "platform/controls/Vexa_treeview.h"

#include <algorithm>
#include <cstdlib>

namespace vexa {

namespace {

int32_t Clamp32(int64_t V) { return static_cast<int32_t>(std::clamp<int64_t>(V, INT32_MIN, INT32_MAX)); }

int32_t SubtreeSize(const TTreeNode& Node) {
  int32_t size = 1;
  for (int32_t i = 0; i < Node.Count(); ++i) size += SubtreeSize(*Node.Item(i));
  return size;
}

// Side of the square expand/collapse button.
constexpr int32_t ButtonSize = 9;
// Free space around a node's text.
constexpr int32_t TextMargin = 2;
constexpr int32_t WheelNotch = 120;
constexpr int32_t LinesPerNotch = 3;

}  // namespace

// ---------------------------------------------------------------- TTreeNode

TTreeNodeRef::TTreeNodeRef(const TTreeNode* Node) : FToken(Node ? Node->FSelf : nullptr) {}

TTreeNode::TTreeNode(TTreeNodes& Owner, TTreeNode* Parent, const std::string& Text, void* Data)
    : FOwner(Owner), FParent(Parent), FText(Text), FData(Data), FSelf(std::make_shared<TTreeNode*>(this)) {}

TTreeNode::~TTreeNode() { *FSelf = nullptr; }

TCustomTreeView& TTreeNode::TreeView() const { return FOwner.Owner(); }

void TTreeNode::SetText(const std::string& Value) {
  if (Value == FText) return;
  FText = Value;
  FOwner.Changed();
}

int32_t TTreeNode::Level() const {
  int32_t level = 0;
  for (const TTreeNode* p = FParent; p; p = p->FParent) ++level;
  return level;
}

TTreeNode* TTreeNode::Item(int32_t Index) const {
  if (Index < 0 || Index >= Count()) return nullptr;
  return FChildren[static_cast<size_t>(Index)].get();
}

std::vector<std::unique_ptr<TTreeNode>>& TTreeNode::Siblings() const { return FOwner.ChildList(FParent); }

int32_t TTreeNode::Index() const {
  const auto& siblings = Siblings();
  for (size_t i = 0; i < siblings.size(); ++i)
    if (siblings[i].get() == this) return static_cast<int32_t>(i);
  return -1;
}

int32_t TTreeNode::AbsoluteIndex() const {
  int32_t index = 0;
  for (const TTreeNode* n = FOwner.GetFirstNode(); n && n != this; n = n->GetNext()) ++index;
  return index;
}

TTreeNode* TTreeNode::GetNextSibling() const {
  const auto& siblings = Siblings();
  const size_t next = static_cast<size_t>(Index()) + 1;
  return next < siblings.size() ? siblings[next].get() : nullptr;
}

TTreeNode* TTreeNode::GetPrevSibling() const {
  const int32_t index = Index();
  return index > 0 ? Siblings()[static_cast<size_t>(index) - 1].get() : nullptr;
}

TTreeNode* TTreeNode::GetNext() const {
  if (!FChildren.empty()) return FChildren.front().get();
  for (const TTreeNode* n = this; n; n = n->FParent)
    if (TTreeNode* sibling = n->GetNextSibling()) return sibling;
  return nullptr;
}

TTreeNode* TTreeNode::GetPrev() const {
  TTreeNode* prev = GetPrevSibling();
  if (!prev) return FParent;
  while (prev->Count() > 0) prev = prev->GetLastChild();
  return prev;
}

bool TTreeNode::HasAsParent(const TTreeNode* Node) const {
  if (!Node) return false;
  for (const TTreeNode* p = FParent; p; p = p->FParent)
    if (p == Node) return true;
  return false;
}

void TTreeNode::SetHasChildren(bool Value) {
  if (Value == FHasChildren) return;
  FHasChildren = Value;
  FOwner.Changed();
}

void TTreeNode::SetExpanded(bool Value) {
  if (Value) Expand(false);
  else Collapse(false);
}

void TTreeNode::Expand(bool Recurse) {
  const TTreeNodeRef self(this);
  TCustomTreeView& view = TreeView();
  if (!FExpanded && HasChildren()) {
    if (!view.CanExpand(this) || !self) return;
    // A node whose expanding handler left it without children stays closed.
    if (!FChildren.empty()) {
      FExpanded = true;
      view.Expand(this);
      if (!self) return;
    }
    FOwner.Changed();
  }
  if (!Recurse) return;
  for (int32_t i = 0; self && i < Count(); ++i) Item(i)->Expand(true);
}

void TTreeNode::Collapse(bool Recurse) {
  const TTreeNodeRef self(this);
  TCustomTreeView& view = TreeView();
  if (FExpanded) {
    if (!view.CanCollapse(this) || !self) return;
    FExpanded = false;
    if (TTreeNode* selected = view.Selected(); selected && selected->HasAsParent(this)) view.SetSelected(this);
    if (!self) return;
    view.Collapse(this);
    if (!self) return;
    FOwner.Changed();
  }
  if (!Recurse) return;
  for (int32_t i = 0; self && i < Count(); ++i) Item(i)->Collapse(true);
}

bool TTreeNode::Selected() const { return TreeView().Selected() == this; }

void TTreeNode::SetSelected(bool Value) {
  if (Value) TreeView().SetSelected(this);
  else if (Selected()) TreeView().SetSelected(nullptr);
}

bool TTreeNode::IsVisible() const {
  for (const TTreeNode* p = FParent; p; p = p->FParent)
    if (!p->FExpanded) return false;
  return true;
}

void TTreeNode::MakeVisible() {
  const TTreeNodeRef self(this);
  std::vector<TTreeNodeRef> ancestors;
  for (TTreeNode* p = FParent; p; p = p->FParent) ancestors.emplace_back(p);
  for (auto it = ancestors.rbegin(); it != ancestors.rend(); ++it)
    if (TTreeNode* p = it->Get()) p->Expand(false);
  if (self) TreeView().ScrollTo(this);
}

TRect TTreeNode::DisplayRect(bool TextOnly) const {
  TCustomTreeView& view = TreeView();
  const std::vector<TTreeNode*> shown = view.ShownNodes();
  const auto it = std::find(shown.begin(), shown.end(), this);
  if (it == shown.end()) return TRect{};
  const int64_t line = (it - shown.begin()) - int64_t{view.FTopIndex};
  const int32_t height = view.ItemHeight();
  if (line < 0 || line * height >= view.ClientHeight()) return TRect{};
  const int32_t top = Clamp32(line * height);
  if (!TextOnly) return Rect(0, top, view.ClientWidth(), Clamp32(int64_t{top} + height));
  view.Canvas().Font().Assign(view.Font());
  const int32_t left = view.TextLeft(this);
  return Rect(left, top, Clamp32(int64_t{left} + view.Canvas().TextWidth(FText) + 2 * TextMargin),
              Clamp32(int64_t{top} + height));
}

void TTreeNode::DeleteChildren() {
  if (FChildren.empty() && !FHasChildren && !FExpanded) return;
  const TTreeNodeRef self(this);
  TCustomTreeView& view = TreeView();
  if (TTreeNode* selected = view.Selected(); selected && selected->HasAsParent(this)) view.SetSelected(this);
  while (self && !FChildren.empty()) FOwner.Remove(FChildren.back().get(), true);
  if (!self) return;
  FHasChildren = false;
  FExpanded = false;
  FOwner.Changed();
}

void TTreeNode::Delete() { FOwner.Delete(this); }

// ---------------------------------------------------------------- TTreeNodes

TTreeNodes::~TTreeNodes() = default;

std::vector<std::unique_ptr<TTreeNode>>& TTreeNodes::ChildList(TTreeNode* Parent) {
  return Parent ? Parent->FChildren : FRoots;
}

TTreeNode* TTreeNodes::Item(int32_t Index) const {
  if (Index < 0 || Index >= FCount) return nullptr;
  TTreeNode* node = GetFirstNode();
  for (int32_t i = 0; i < Index && node; ++i) node = node->GetNext();
  return node;
}

TTreeNode* TTreeNodes::GetFirstNode() const { return FRoots.empty() ? nullptr : FRoots.front().get(); }

TTreeNode* TTreeNodes::InsertAt(TTreeNode* Parent, size_t Position, const std::string& S, void* Ptr) {
  auto& list = ChildList(Parent);
  auto node = std::unique_ptr<TTreeNode>(new TTreeNode(*this, Parent, S, Ptr));
  TTreeNode* result = node.get();
  list.insert(list.begin() + static_cast<std::ptrdiff_t>(std::min(Position, list.size())), std::move(node));
  ++FCount;
  Changed();
  return result;
}

TTreeNode* TTreeNodes::AddObject(TTreeNode* Sibling, const std::string& S, void* Ptr) {
  TTreeNode* parent = Sibling ? Sibling->Parent() : nullptr;
  return InsertAt(parent, ChildList(parent).size(), S, Ptr);
}

TTreeNode* TTreeNodes::AddObjectFirst(TTreeNode* Sibling, const std::string& S, void* Ptr) {
  return InsertAt(Sibling ? Sibling->Parent() : nullptr, 0, S, Ptr);
}

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* Parent, const std::string& S, void* Ptr) {
  return InsertAt(Parent, ChildList(Parent).size(), S, Ptr);
}

TTreeNode* TTreeNodes::AddChildObjectFirst(TTreeNode* Parent, const std::string& S, void* Ptr) {
  return InsertAt(Parent, 0, S, Ptr);
}

TTreeNode* TTreeNodes::InsertObject(TTreeNode* Sibling, const std::string& S, void* Ptr) {
  if (!Sibling) return AddObject(nullptr, S, Ptr);
  return InsertAt(Sibling->Parent(), static_cast<size_t>(Sibling->Index()), S, Ptr);
}

void TTreeNodes::Delete(TTreeNode* Node) {
  if (!Node) return;
  TCustomTreeView& view = FOwner;
  TTreeNode* selected = view.Selected();
  const bool losesSelection = selected && (selected == Node || selected->HasAsParent(Node));
  TTreeNodeRef next;
  if (losesSelection) {
    TTreeNode* heir = Node->GetNextSibling();
    if (!heir) heir = Node->GetPrevSibling();
    if (!heir) heir = Node->Parent();
    next = TTreeNodeRef(heir);
  }
  const TControlRef viewAlive(&view);
  Remove(Node, true);
  if (!viewAlive || !losesSelection) return;
  // The deleted node held the selection: its heir takes it without a veto.
  view.FSelected = next;
  if (TTreeNode* heir = next.Get()) view.ScrollTo(heir);
  view.Invalidate();
  view.Change(next.Get());
}

void TTreeNodes::Remove(TTreeNode* Node, bool NotifyView) {
  const TTreeNodeRef alive(Node);
  if (NotifyView) FOwner.NodeRemoving(Node);
  if (!alive) return;
  auto& list = ChildList(Node->Parent());
  const auto it = std::find_if(list.begin(), list.end(), [Node](const auto& p) { return p.get() == Node; });
  if (it == list.end()) return;
  FCount -= SubtreeSize(*Node);
  const std::unique_ptr<TTreeNode> doomed = std::move(*it);
  list.erase(it);
  Changed();
}

void TTreeNodes::Clear() {
  std::vector<std::unique_ptr<TTreeNode>> doomed;
  doomed.swap(FRoots);
  FCount = 0;
  doomed.clear();
  FOwner.FTopIndex = 0;
  Changed();
}

void TTreeNodes::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0) Changed();
}

void TTreeNodes::Changed() {
  if (FUpdateCount == 0) FOwner.NodesChanged();
}

// ---------------------------------------------------------------- TCustomTreeView

TCustomTreeView::TCustomTreeView(TComponent* AOwner)
    : TCustomControl(AOwner), FItems(std::make_unique<TTreeNodes>(*this)) {
  SetColor(clWindow);
  SetTabStop(true);
  StoreBounds(0, 0, 121, 97);
}

TCustomTreeView::~TCustomTreeView() {
  FDestroying = true;
  FItems.reset();
}

void TCustomTreeView::NodesChanged() {
  if (!FDestroying) Invalidate();
}

void TCustomTreeView::NodeRemoving(TTreeNode* Node) {
  if (FDestroying) return;
  // Children are announced before their parent.
  std::vector<TTreeNodeRef> doomed;
  const auto collect = [&doomed](const auto& self, TTreeNode* N) -> void {
    for (int32_t i = 0; i < N->Count(); ++i) self(self, N->Item(i));
    doomed.emplace_back(N);
  };
  collect(collect, Node);
  const TControlRef alive(this);
  for (const TTreeNodeRef& ref : doomed)
    if (TTreeNode* n = ref.Get(); n && alive) Delete(n);
}

void TCustomTreeView::SetSelected(TTreeNode* Node) {
  if (Node == Selected()) return;
  const TControlRef self(this);
  const TTreeNodeRef target(Node);
  if (!CanChange(Node) || !self || (Node && !target)) return;
  FSelected = target;
  if (Node) {
    Node->MakeVisible();
    if (!self) return;
  }
  Invalidate();
  Change(target.Get());
}

TTreeNode* TCustomTreeView::TopItem() const {
  const std::vector<TTreeNode*> shown = ShownNodes();
  return static_cast<size_t>(FTopIndex) < shown.size() ? shown[static_cast<size_t>(FTopIndex)] : nullptr;
}

void TCustomTreeView::SetTopItem(TTreeNode* Node) {
  const std::vector<TTreeNode*> shown = ShownNodes();
  const auto it = std::find(shown.begin(), shown.end(), Node);
  if (it == shown.end()) return;
  FTopIndex = static_cast<int32_t>(it - shown.begin());
  ClampTop(shown.size());
  Invalidate();
}

void TCustomTreeView::SetShowButtons(bool Value) {
  FShowButtons = Value;
  Invalidate();
}

void TCustomTreeView::SetShowLines(bool Value) {
  FShowLines = Value;
  Invalidate();
}

void TCustomTreeView::SetShowRoot(bool Value) {
  FShowRoot = Value;
  Invalidate();
}

void TCustomTreeView::SetIndent(int32_t Value) {
  FIndent = std::clamp(Value, 0, 1000);
  Invalidate();
}

void TCustomTreeView::SetHideSelection(bool Value) {
  FHideSelection = Value;
  Invalidate();
}

int32_t TCustomTreeView::ItemHeight() {
  TCanvas& canvas = Canvas();
  canvas.Font().Assign(Font());
  return std::max(16, canvas.TextHeight("Wg") + 2);
}

void TCustomTreeView::FullCollapse() {
  for (int32_t i = 0; i < static_cast<int32_t>(FItems->FRoots.size()); ++i) {
    const TControlRef self(this);
    FItems->FRoots[static_cast<size_t>(i)]->Collapse(true);
    if (!self) return;
  }
}

void TCustomTreeView::FullExpand() {
  for (int32_t i = 0; i < static_cast<int32_t>(FItems->FRoots.size()); ++i) {
    const TControlRef self(this);
    FItems->FRoots[static_cast<size_t>(i)]->Expand(true);
    if (!self) return;
  }
}

std::vector<TTreeNode*> TCustomTreeView::ShownNodes() const {
  std::vector<TTreeNode*> shown;
  // Depth first through the expanded nodes, with an explicit stack (deep
  // trees must not exhaust the call stack).
  std::vector<TTreeNode*> stack;
  for (auto it = FItems->FRoots.rbegin(); it != FItems->FRoots.rend(); ++it) stack.push_back(it->get());
  while (!stack.empty()) {
    TTreeNode* node = stack.back();
    stack.pop_back();
    shown.push_back(node);
    if (node->Expanded())
      for (int32_t i = node->Count() - 1; i >= 0; --i) stack.push_back(node->Item(i));
  }
  return shown;
}

int32_t TCustomTreeView::LinesFit() { return std::max(1, ClientHeight() / ItemHeight()); }

void TCustomTreeView::ClampTop(size_t ShownCount) {
  const int64_t maxTop = std::max<int64_t>(0, static_cast<int64_t>(ShownCount) - LinesFit());
  FTopIndex = static_cast<int32_t>(std::clamp<int64_t>(FTopIndex, 0, maxTop));
}

void TCustomTreeView::ScrollTo(const TTreeNode* Node) {
  const std::vector<TTreeNode*> shown = ShownNodes();
  const auto it = std::find(shown.begin(), shown.end(), Node);
  if (it == shown.end()) return;
  const auto index = static_cast<int32_t>(it - shown.begin());
  const int32_t fit = LinesFit();
  if (index < FTopIndex) FTopIndex = index;
  else if (index >= FTopIndex + fit) FTopIndex = index - fit + 1;
  ClampTop(shown.size());
  Invalidate();
}

bool TCustomTreeView::HasButtonColumn(const TTreeNode* Node) const { return FShowRoot || Node->Parent() != nullptr; }

int32_t TCustomTreeView::TextLeft(const TTreeNode* Node) const {
  return Clamp32((int64_t{Node->Level()} + (FShowRoot ? 1 : 0)) * FIndent + TextMargin);
}

// ---------------------------------------------------------------- painting

void TCustomTreeView::Paint() {
  const std::vector<TTreeNode*> shown = ShownNodes();
  ClampTop(shown.size());
  const int32_t height = ItemHeight();
  TCanvas& canvas = Canvas();
  int64_t top = 0;
  for (size_t i = static_cast<size_t>(FTopIndex); i < shown.size() && top < ClientHeight(); ++i, top += height) {
    if (FShowLines) DrawLines(canvas, shown[i], static_cast<int32_t>(top), height);
    if (FShowButtons) DrawButton(canvas, shown[i], static_cast<int32_t>(top), height);
    DrawText(canvas, shown[i], static_cast<int32_t>(top), height);
  }
}

void TCustomTreeView::DrawLines(TCanvas& Canvas, const TTreeNode* Node, int32_t Top, int32_t Height) {
  Canvas.Pen().SetColor(clGray);
  Canvas.Pen().SetStyle(psDot);
  Canvas.Pen().SetWidth(1);
  const int32_t mid = Top + Height / 2;
  const auto column = [this](const TTreeNode* N) { return TextLeft(N) - TextMargin - FIndent / 2 - 1; };
  if (HasButtonColumn(Node)) {
    const int32_t x = column(Node);
    Canvas.MoveTo(x, mid);
    Canvas.LineTo(TextLeft(Node) - TextMargin, mid);
    const bool firstOfAll = !Node->Parent() && Node->Index() == 0;
    Canvas.MoveTo(x, firstOfAll ? mid : Top);
    Canvas.LineTo(x, Node->GetNextSibling() ? Top + Height : mid);
  }
  for (const TTreeNode* a = Node->Parent(); a; a = a->Parent())
    if (HasButtonColumn(a) && a->GetNextSibling()) {
      const int32_t x = column(a);
      Canvas.MoveTo(x, Top);
      Canvas.LineTo(x, Top + Height);
    }
  Canvas.Pen().SetStyle(psSolid);
}

void TCustomTreeView::DrawButton(TCanvas& Canvas, const TTreeNode* Node, int32_t Top, int32_t Height) {
  if (!HasButtonColumn(Node) || !Node->HasChildren()) return;
  const int32_t cx = TextLeft(Node) - TextMargin - FIndent / 2 - 1;
  const int32_t cy = Top + Height / 2;
  const int32_t half = ButtonSize / 2;
  Canvas.Pen().SetColor(clGray);
  Canvas.Pen().SetStyle(psSolid);
  Canvas.Brush().SetStyle(bsSolid);
  Canvas.Brush().SetColor(clWhite);
  Canvas.Rectangle(cx - half, cy - half, cx + half + 1, cy + half + 1);
  Canvas.Pen().SetColor(clBlack);
  Canvas.MoveTo(cx - 2, cy);
  Canvas.LineTo(cx + 3, cy);
  if (!Node->Expanded()) {
    Canvas.MoveTo(cx, cy - 2);
    Canvas.LineTo(cx, cy + 3);
  }
}

void TCustomTreeView::DrawText(TCanvas& Canvas, const TTreeNode* Node, int32_t Top, int32_t Height) {
  Canvas.Font().Assign(Font());
  const int32_t left = TextLeft(Node);
  const int32_t textHeight = Canvas.TextHeight(Node->Text().empty() ? "Wg" : Node->Text());
  const TRect box = Rect(left, Top, Clamp32(int64_t{left} + Canvas.TextWidth(Node->Text()) + 2 * TextMargin),
                         Top + Height);
  const bool selected = Node == Selected();
  const bool showSelection = selected && (Focused() || !FHideSelection);
  if (showSelection) {
    Canvas.Brush().SetStyle(bsSolid);
    Canvas.Brush().SetColor(clHighlight);
    Canvas.FillRect(box);
    Canvas.Font().SetColor(clHighlightText);
  }
  Canvas.Brush().SetStyle(bsClear);
  Canvas.TextOut(left + TextMargin, Top + (Height - textHeight) / 2, Node->Text());
  Canvas.Brush().SetStyle(bsSolid);
  if (selected && Focused()) Canvas.DrawFocusRect(box);
}

// ---------------------------------------------------------------- input

void TCustomTreeView::Toggle(TTreeNode* Node) {
  if (Node->Expanded()) Node->Collapse(false);
  else Node->Expand(false);
}

void TCustomTreeView::MoveSelection(const std::vector<TTreeNode*>& Shown, int64_t Index) {
  if (Shown.empty()) return;
  SetSelected(Shown[static_cast<size_t>(std::clamp<int64_t>(Index, 0, static_cast<int64_t>(Shown.size()) - 1))]);
}

void TCustomTreeView::KeyDown(uint16_t& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if (Key == 0) return;
  const std::vector<TTreeNode*> shown = ShownNodes();
  TTreeNode* node = Selected();
  const auto found = std::find(shown.begin(), shown.end(), node);
  const int64_t index = found == shown.end() ? -1 : found - shown.begin();
  const int64_t page = std::max(LinesFit() - 1, 1);
  switch (Key) {
    case VK_UP: MoveSelection(shown, index < 0 ? 0 : index - 1); break;
    case VK_DOWN: MoveSelection(shown, index + 1); break;
    case VK_HOME: MoveSelection(shown, 0); break;
    case VK_END: MoveSelection(shown, static_cast<int64_t>(shown.size()) - 1); break;
    case VK_PRIOR: MoveSelection(shown, index - page); break;
    case VK_NEXT: MoveSelection(shown, index + page); break;
    case VK_RIGHT:
      if (!node) break;
      if (!node->Expanded()) node->Expand(false);
      else if (node->Count() > 0) SetSelected(node->GetFirstChild());
      break;
    case VK_LEFT:
      if (!node) break;
      if (node->Expanded()) node->Collapse(false);
      else if (node->Parent()) SetSelected(node->Parent());
      break;
    case VK_ADD:
      if (node) node->Expand(false);
      break;
    case VK_SUBTRACT:
      if (node) node->Collapse(false);
      break;
    default: return;
  }
  Key = 0;
}

void TCustomTreeView::KeyPress(char32_t& Key) {
  TCustomControl::KeyPress(Key);
  if (Key != U'+' && Key != U'-') return;
  if (TTreeNode* node = Selected()) {
    if (Key == U'+') node->Expand(false);
    else node->Collapse(false);
  }
  Key = 0;
}

THitTests TCustomTreeView::GetHitTestInfoAt(int32_t X, int32_t Y) {
  if (Y < 0) return HitTestBit(htAbove);
  const std::vector<TTreeNode*> shown = ShownNodes();
  const int64_t index = int64_t{FTopIndex} + Y / ItemHeight();
  if (index >= static_cast<int64_t>(shown.size())) return HitTestBit(htNowhere);
  const TTreeNode* node = shown[static_cast<size_t>(index)];
  const int64_t textLeft = TextLeft(node) - TextMargin;
  if (X < 0) return HitTestBit(htToLeft);
  if (X < textLeft) {
    const bool onButton = FShowButtons && HasButtonColumn(node) && node->HasChildren() && X >= textLeft - FIndent;
    return HitTestBit(onButton ? htOnButton : htOnIndent);
  }
  Canvas().Font().Assign(Font());
  const int64_t textRight = textLeft + Canvas().TextWidth(node->Text()) + 2 * TextMargin;
  if (X < textRight) return HitTestBit(htOnItem) | HitTestBit(htOnLabel);
  return HitTestBit(htOnRight);
}

TTreeNode* TCustomTreeView::GetNodeAt(int32_t X, int32_t Y) {
  (void)X;
  if (Y < 0) return nullptr;
  const std::vector<TTreeNode*> shown = ShownNodes();
  const int64_t index = int64_t{FTopIndex} + Y / ItemHeight();
  return index < static_cast<int64_t>(shown.size()) ? shown[static_cast<size_t>(index)] : nullptr;
}

void TCustomTreeView::MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) {
  const TControlRef self(this);
  if (!Focused() && CanFocus()) SetFocus();
  if (self && Button == mbLeft) {
    TTreeNode* node = GetNodeAt(X, Y);
    const THitTests hit = GetHitTestInfoAt(X, Y);
    if (node && (hit & HitTestBit(htOnButton))) {
      Toggle(node);
    } else if (node && (hit & HitTestBit(htOnItem))) {
      const TTreeNodeRef ref(node);
      SetSelected(node);
      if ((Shift & ShiftBit(ssDouble)) && self && ref) Toggle(node);
    }
  }
  if (self) TCustomControl::MouseDown(Button, Shift, X, Y);
}

bool TCustomTreeView::DoMouseWheel(TShiftState Shift, int32_t WheelDelta, TPoint MousePos) {
  if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  const int64_t lines = int64_t{-WheelDelta} * LinesPerNotch / WheelNotch;
  FTopIndex = Clamp32(int64_t{FTopIndex} + lines);
  ClampTop(ShownNodes().size());
  Invalidate();
  return true;
}

// ---------------------------------------------------------------- hooks

bool TCustomTreeView::CanExpand(TTreeNode* Node) {
  bool allow = true;
  if (OnExpanding) OnExpanding(this, Node, allow);
  return allow;
}

void TCustomTreeView::Expand(TTreeNode* Node) {
  if (OnExpanded) OnExpanded(this, Node);
}

bool TCustomTreeView::CanCollapse(TTreeNode* Node) {
  bool allow = true;
  if (OnCollapsing) OnCollapsing(this, Node, allow);
  return allow;
}

void TCustomTreeView::Collapse(TTreeNode* Node) {
  if (OnCollapsed) OnCollapsed(this, Node);
}

bool TCustomTreeView::CanChange(TTreeNode* Node) {
  bool allow = true;
  if (OnChanging) OnChanging(this, Node, allow);
  return allow;
}

void TCustomTreeView::Change(TTreeNode* Node) {
  if (OnChange) OnChange(this, Node);
}

void TCustomTreeView::Delete(TTreeNode* Node) {
  if (OnDeletion) OnDeletion(this, Node);
}

int32_t SetWindowTheme(TWinControl* Control, const std::string& SubAppName, const std::string& SubIdList) {
  (void)Control;
  (void)SubAppName;
  (void)SubIdList;
  return 0;
}

}  // namespace vexa
