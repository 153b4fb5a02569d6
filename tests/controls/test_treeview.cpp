// Tree view: nodes, lazy expansion, mouse and keys, deleting the selection.

#include "ControlsTestSupport.h"
#include "platform/controls/Vexa_treeview.h"

namespace vexa::testing {
namespace {

using TreeViewTest = ControlsTest;

// A tree on a shown form: root "R" with children "A" (with "A1", "A2") and
// "B"; records the events.
struct TreeFixture {
  TForm Form{nullptr};
  TTreeView* Tree = nullptr;
  TTreeNode* R = nullptr;
  TTreeNode* A = nullptr;
  TTreeNode* A1 = nullptr;
  TTreeNode* A2 = nullptr;
  TTreeNode* B = nullptr;
  std::vector<std::string> Events;
  TInputSimulator Sim;

  TreeFixture() {
    Form.SetBounds(0, 0, 300, 300);
    Tree = Place(&Form, new TTreeView(&Form), 10, 10, 200, 200);
    R = Tree->Items().Add(nullptr, "R");
    A = Tree->Items().AddChild(R, "A");
    A1 = Tree->Items().AddChild(A, "A1");
    A2 = Tree->Items().AddChild(A, "A2");
    B = Tree->Items().AddChild(R, "B");
    Tree->OnChange = [this](TObject*, TTreeNode* N) { Events.push_back("change " + (N ? N->Text() : "-")); };
    Tree->OnExpanded = [this](TObject*, TTreeNode* N) { Events.push_back("expanded " + N->Text()); };
    Tree->OnCollapsed = [this](TObject*, TTreeNode* N) { Events.push_back("collapsed " + N->Text()); };
    Form.Show();
    Tree->SetFocus();
  }
  int32_t LineY(int32_t Line) { return Line * Tree->ItemHeight() + Tree->ItemHeight() / 2; }
  // x of the button / the text of a node at a level (ShowRoot on, indent 19).
  int32_t ButtonX(int32_t Level) { return (Level + 1) * Tree->Indent() - Tree->Indent() / 2; }
  int32_t TextX(int32_t Level) { return (Level + 1) * Tree->Indent() + 6; }
};

TEST_F(TreeViewTest, NodesKeepTreeOrderCountsAndNavigation) {
  TreeFixture f;
  TTreeNodes& items = f.Tree->Items();
  EXPECT_EQ(items.Count(), 5);
  std::vector<std::string> order;
  for (int32_t i = 0; i < items.Count(); ++i) order.push_back(items.Item(i)->Text());
  EXPECT_EQ(order, (std::vector<std::string>{"R", "A", "A1", "A2", "B"}));
  EXPECT_EQ(items.Item(5), nullptr);
  EXPECT_EQ(items.Item(-1), nullptr);
  EXPECT_EQ(f.A2->Level(), 2);
  EXPECT_EQ(f.A2->AbsoluteIndex(), 3);
  EXPECT_EQ(f.B->GetPrev(), f.A2);
  EXPECT_EQ(f.A2->GetNext(), f.B);
  EXPECT_EQ(f.B->GetNext(), nullptr);
  EXPECT_TRUE(f.A1->HasAsParent(f.R));
  TTreeNode* first = items.AddChildFirst(f.R, "First");
  TTreeNode* before = items.Insert(f.B, "BeforeB");
  EXPECT_EQ(f.R->Item(0), first);
  EXPECT_EQ(before->GetNextSibling(), f.B);
  EXPECT_EQ(items.Count(), 7);
  f.A->Delete();
  EXPECT_EQ(items.Count(), 4);
  items.Clear();
  EXPECT_EQ(items.Count(), 0);
  EXPECT_EQ(items.GetFirstNode(), nullptr);
}

TEST_F(TreeViewTest, LazyExpansionWithVetoAndPlaceholder) {
  TreeFixture f;
  f.Tree->Items().Clear();
  TTreeNode* root = f.Tree->Items().Add(nullptr, "C:\\");
  f.Tree->Items().AddChild(root, "Child");  // placeholder until loaded
  int32_t loads = 0;
  bool veto = true;
  f.Tree->OnExpanding = [&](TObject*, TTreeNode* N, bool& Allow) {
    if (veto) {
      Allow = false;
      return;
    }
    if (N->Data()) return;  // loaded already
    ++loads;
    N->DeleteChildren();
    for (const char* name : {"alpha", "Beta"}) f.Tree->Items().AddChild(N, name)->SetHasChildren(true);
    N->SetData(&loads);
  };
  root->Expand(false);
  EXPECT_FALSE(root->Expanded());
  EXPECT_EQ(root->Item(0)->Text(), "Child");
  veto = false;
  root->Expand(false);
  ASSERT_TRUE(root->Expanded());
  EXPECT_EQ(root->Count(), 2);
  EXPECT_EQ(root->Item(1)->Text(), "Beta");
  EXPECT_TRUE(root->Item(1)->HasChildren());
  EXPECT_EQ(f.Tree->Items().Count(), 3);
  root->Collapse(false);
  root->Expand(false);
  EXPECT_EQ(loads, 1);
  // A node marked as having children whose handler adds none stays closed
  // and loses its button.
  TTreeNode* beta = root->Item(1);
  f.Tree->OnExpanding = [](TObject*, TTreeNode* N, bool&) { N->DeleteChildren(); };
  beta->Expand(false);
  EXPECT_FALSE(beta->Expanded());
  EXPECT_FALSE(beta->HasChildren());
}

TEST_F(TreeViewTest, ButtonClickTogglesTextClickSelects) {
  TreeFixture f;
  f.Sim.MoveTo(*f.Tree, f.ButtonX(0), f.LineY(0));
  f.Sim.Click();
  EXPECT_TRUE(f.R->Expanded());
  EXPECT_EQ(f.Tree->Selected(), nullptr);  // the button does not select
  struct Case {
    int32_t X, Line;
    std::string Selected;
    bool AExpanded;
  };
  const std::vector<Case> cases = {
      {f.TextX(1), 1, "A", false},    // text of A selects it
      {f.ButtonX(1), 1, "A", true},   // A's button expands A
      {f.TextX(2), 3, "A2", true},    // A2 is on line 3 now
      {f.ButtonX(1), 1, "A", false},  // collapsing A moves the selection from A2 to A
      {150, 4, "A", false},           // right of everything: nothing
  };
  for (const Case& c : cases) {
    f.Sim.MoveTo(*f.Tree, c.X, f.LineY(c.Line));
    f.Sim.Click();
    ASSERT_NE(f.Tree->Selected(), nullptr);
    EXPECT_EQ(f.Tree->Selected()->Text(), c.Selected) << c.X << "," << c.Line;
    EXPECT_EQ(f.A->Expanded(), c.AExpanded) << c.X << "," << c.Line;
  }
  EXPECT_EQ(f.Events, (std::vector<std::string>{"expanded R", "change A", "expanded A", "change A2", "change A",
                                                "collapsed A"}));
  // A double click on a text toggles the node.
  f.Sim.MoveTo(*f.Tree, f.TextX(1), f.LineY(1));
  f.Sim.DoubleClick();
  EXPECT_TRUE(f.A->Expanded());
}

TEST_F(TreeViewTest, KeysMoveExpandAndCollapse) {
  TreeFixture f;
  f.Tree->SetSelected(f.R);
  struct Step {
    uint16_t Key;
    std::string Selected;
    bool RExpanded, AExpanded;
  };
  const std::vector<Step> steps = {
      {VK_RIGHT, "R", true, false},      // expands
      {VK_RIGHT, "A", true, false},      // to the first child
      {VK_ADD, "A", true, true},         // keypad +
      {VK_DOWN, "A1", true, true},
      {VK_END, "B", true, true},
      {VK_UP, "A2", true, true},
      {VK_LEFT, "A", true, true},        // to the parent
      {VK_SUBTRACT, "A", true, false},   // keypad -
      {VK_LEFT, "R", true, false},
      {VK_LEFT, "R", false, false},      // collapses
      {VK_DOWN, "R", false, false},      // nothing below
      {VK_HOME, "R", false, false},
  };
  for (const Step& s : steps) {
    f.Sim.PressKey(s.Key);
    ASSERT_NE(f.Tree->Selected(), nullptr);
    EXPECT_EQ(f.Tree->Selected()->Text(), s.Selected) << s.Key;
    EXPECT_EQ(f.R->Expanded(), s.RExpanded) << s.Key;
    EXPECT_EQ(f.A->Expanded(), s.AExpanded) << s.Key;
  }
  f.Sim.TypeChar(U'+');
  EXPECT_TRUE(f.R->Expanded());
  f.Sim.TypeChar(U'-');
  EXPECT_FALSE(f.R->Expanded());
}

TEST_F(TreeViewTest, FullCollapseAndFullExpand) {
  TreeFixture f;
  f.Tree->FullExpand();
  EXPECT_TRUE(f.R->Expanded());
  EXPECT_TRUE(f.A->Expanded());
  EXPECT_FALSE(f.B->Expanded());  // no children
  f.Tree->SetSelected(f.A2);
  f.Tree->FullCollapse();
  EXPECT_FALSE(f.R->Expanded());
  EXPECT_FALSE(f.A->Expanded());
  EXPECT_EQ(f.Tree->Selected(), f.R);
  // Selecting a hidden node opens its parents.
  f.Tree->SetSelected(f.A1);
  EXPECT_TRUE(f.R->Expanded());
  EXPECT_TRUE(f.A->Expanded());
  EXPECT_TRUE(f.A1->IsVisible());
}

TEST_F(TreeViewTest, DeletingTheSelectionMovesItToANeighbour) {
  struct Case {
    std::string Deleted;
    std::string Selected;  // before the deletion
    std::string Heir;
  };
  const std::vector<Case> cases = {
      {"A1", "A1", "A2"},  // next sibling
      {"A2", "A2", "A1"},  // previous sibling
      {"A", "A1", "B"},    // the selection inside the deleted subtree
      {"B", "B", "A"},
      {"R", "A2", "-"},    // nothing left
      {"B", "A1", "A1"},   // another node: the selection stays, no event
  };
  for (const Case& c : cases) {
    TreeFixture f;
    f.Tree->FullExpand();
    const auto find = [&f](const std::string& Text) {
      for (int32_t i = 0; i < f.Tree->Items().Count(); ++i)
        if (f.Tree->Items().Item(i)->Text() == Text) return f.Tree->Items().Item(i);
      return static_cast<TTreeNode*>(nullptr);
    };
    f.Tree->SetSelected(find(c.Selected));
    f.Events.clear();
    std::vector<std::string> deleted;
    f.Tree->OnDeletion = [&deleted](TObject*, TTreeNode* N) { deleted.push_back(N->Text()); };
    find(c.Deleted)->Delete();
    TTreeNode* now = f.Tree->Selected();
    EXPECT_EQ(now ? now->Text() : "-", c.Heir) << c.Deleted;
    if (c.Heir != c.Selected) EXPECT_EQ(f.Events, (std::vector<std::string>{"change " + c.Heir})) << c.Deleted;
    else EXPECT_TRUE(f.Events.empty()) << c.Deleted;
    EXPECT_EQ(deleted.back(), c.Deleted);  // children are announced first
    TBitmap picture;
    f.Form.PaintTo(picture);  // paints without the deleted nodes
  }
}

TEST_F(TreeViewTest, ClearAndFreeingInsideHandlersLeaveNothingDangling) {
  TreeFixture f;
  f.Tree->SetSelected(f.A);
  f.Events.clear();
  f.Tree->Items().Clear();
  EXPECT_EQ(f.Tree->Selected(), nullptr);
  EXPECT_TRUE(f.Events.empty());
  // A handler that clears the tree while a node expands.
  TTreeNode* n = f.Tree->Items().Add(nullptr, "N");
  f.Tree->Items().AddChild(n, "x");
  f.Tree->OnExpanding = [&f](TObject*, TTreeNode*, bool&) { f.Tree->Items().Clear(); };
  n->Expand(true);
  EXPECT_EQ(f.Tree->Items().Count(), 0);
  // Freeing the view from its change handler.
  TTreeNode* m = f.Tree->Items().Add(nullptr, "M");
  f.Tree->OnExpanding = nullptr;
  f.Tree->OnChange = [slot = &f.Tree](TObject*, TTreeNode*) {
    TTreeView* doomed = *slot;  // the closure dies with the view: touch nothing after
    *slot = nullptr;
    delete doomed;
  };
  f.Sim.MoveTo(f.Form, 10 + f.TextX(0), 10 + f.LineY(0));
  (void)m;
  f.Sim.Click();
  EXPECT_EQ(f.Tree, nullptr);
  EXPECT_EQ(SetWindowTheme(nullptr, "explorer", ""), 0);
}

}  // namespace
}  // namespace vexa::testing
