// The grid's in-place editor: when texts are fetched and stored, Escape,
// the pick list, and freeing the grid while the editor is open.

#include <map>
#include <sstream>

#include "ControlsTestSupport.h"
#include "platform/controls/Vexa_grids.h"

namespace vexa::testing {
namespace {

using GridEditorTest = ControlsTest;

// A grid whose column 2 edits with a pick list.
class TPickGrid : public TDrawGrid {
public:
  using TDrawGrid::TDrawGrid;

protected:
  TEditStyle GetEditStyle(int32_t ACol, int32_t) override { return ACol == 2 ? esPickList : esSimple; }
};

// An editing grid on a shown form over a store of cell texts; every stored
// text is logged as "set c,r=text".
struct EditFixture {
  TForm Form{nullptr};
  TPickGrid* Grid = nullptr;
  TInputSimulator Sim;
  std::map<std::pair<int32_t, int32_t>, std::string> Cells;
  std::vector<std::string> Log;

  explicit EditFixture(TGridOptions Extra = 0) {
    Form.SetBounds(0, 0, 400, 300);
    Grid = Place(&Form, new TPickGrid(&Form), 0, 0, 300, 150);
    Grid->SetOptions(DefaultGridOptions | GridOptionBit(goEditing) | Extra);
    Cells[{1, 1}] = "a";
    Grid->OnGetEditText = [this](TObject*, int32_t C, int32_t R, std::string& Value) { Value = Cells[{C, R}]; };
    Grid->OnSetEditText = [this](TObject*, int32_t C, int32_t R, const std::string& Value) {
      Cells[{C, R}] = Value;
      Log.push_back("set " + std::to_string(C) + "," + std::to_string(R) + "=" + Value);
    };
    Grid->OnGetPickListItems = [](int32_t, int32_t, std::vector<std::string>& Items) {
      Items = {"low", "mid", "high"};
    };
    Form.Show();
    Grid->SetFocus();
  }

  // Runs a script of blank-separated steps: a key name (F2 F4 Enter Esc Up
  // Down Left Right Tab Back), "type:<text>", "click:<col>,<row>", "hide".
  void Run(const std::string& Script) {
    std::istringstream steps(Script);
    std::string step;
    const std::map<std::string, uint16_t> keys = {
        {"F2", VK_F2}, {"F4", VK_F4}, {"Enter", VK_RETURN}, {"Esc", VK_ESCAPE}, {"Up", VK_UP}, {"Down", VK_DOWN},
        {"Left", VK_LEFT}, {"Right", VK_RIGHT}, {"Tab", VK_TAB}, {"Back", VK_BACK}};
    while (steps >> step) {
      if (keys.contains(step)) {
        Sim.PressKey(keys.at(step));
      } else if (step.starts_with("type:")) {
        Sim.Type(step.substr(5));
      } else if (step.starts_with("click:")) {
        int32_t col = step[6] - '0', row = step[8] - '0';
        const TRect r = Grid->CellRect(col, row);
        Sim.MoveTo(*Grid, r.Left + 5, (r.Top + r.Bottom) / 2);
        Sim.Click();
      } else if (step == "hide") {
        Grid->HideEditor();
      } else {
        ADD_FAILURE() << "unknown step " << step;
      }
    }
  }
  std::string EditorText() const { return Grid->InplaceEditor() ? Grid->InplaceEditor()->Text() : "<none>"; }
};

TEST_F(GridEditorTest, TextsAreStoredAtCommitOnlyWhenChangedAndEscapeRestores) {
  struct Case {
    std::string Script;
    std::vector<std::string> Stored;
    bool EditorMode;
    int32_t Col, Row;
  };
  const std::vector<Case> cases = {
      {"F2 type:12 Enter", {"set 1,1=12"}, false, 1, 1},
      {"F2 Enter", {}, false, 1, 1},                              // unchanged: nothing stored
      {"F2 type:x Esc", {}, false, 1, 1},                         // Escape drops the edit
      {"type:7", {}, true, 1, 1},                                 // typing opens the editor
      {"type:7 Down", {"set 1,1=7"}, false, 1, 2},                // moving commits
      {"Enter type:9 Tab", {"set 1,1=9"}, false, 2, 1},           // Enter opens; Tab moves (goTabs)
      {"F2 type:5 hide", {"set 1,1=5"}, false, 1, 1},
      {"click:1,1 type:q click:3,2", {"set 1,1=q"}, false, 3, 2},  // a click on the current cell opens
      {"click:2,2", {}, false, 2, 2},                             // a click elsewhere only moves
      {"F2 Right Back Back type:bc Enter", {"set 1,1=bc"}, false, 1, 1},
      {"F2 Right type:é€ Left Back Enter", {"set 1,1=a€"}, false, 1, 1},  // code points, not bytes
  };
  for (const Case& c : cases) {
    EditFixture f(GridOptionBit(goTabs));
    f.Run(c.Script);
    EXPECT_EQ(f.Log, c.Stored) << c.Script;
    EXPECT_EQ(f.Grid->EditorMode(), c.EditorMode) << c.Script;
    EXPECT_EQ(f.Grid->Col(), c.Col) << c.Script;
    EXPECT_EQ(f.Grid->Row(), c.Row) << c.Script;
    if (!c.EditorMode) {
      EXPECT_TRUE(f.Grid->Focused()) << c.Script;
    }
  }
}

TEST_F(GridEditorTest, EscapeShowsTheStoredTextAgainAndAlwaysShowEditorStaysOpen) {
  EditFixture f;
  f.Run("F2 type:zz Esc F2");
  EXPECT_EQ(f.EditorText(), "a");
  EXPECT_EQ(f.Grid->InplaceEditor()->SelLength(), 1);  // the whole text selected
  EditFixture always(GridOptionBit(goAlwaysShowEditor));
  always.Grid->ShowEditor();
  always.Run("type:1 Enter");
  EXPECT_EQ(always.Log, (std::vector<std::string>{"set 1,1=1"}));
  EXPECT_TRUE(always.Grid->EditorMode());
  always.Run("type:2 Esc Down");
  EXPECT_TRUE(always.Grid->EditorMode());
  EXPECT_EQ(always.Log, (std::vector<std::string>{"set 1,1=1"}));
  EXPECT_EQ(always.EditorText(), "");  // cell (1, 2) holds nothing
  // The editor lies over the current cell.
  const TRect cell = always.Grid->CellRect(1, 2);
  EXPECT_EQ(always.Grid->InplaceEditor()->BoundsRect(), cell);
  // Row select and a missing goEditing keep the editor closed.
  EditFixture rows(GridOptionBit(goRowSelect));
  rows.Run("F2 type:x");
  EXPECT_FALSE(rows.Grid->EditorMode());
}

TEST_F(GridEditorTest, PickListChoosesByKeysAndByMouse) {
  EditFixture f;
  f.Run("click:2,1 F2 F4");
  auto* editor = dynamic_cast<TInplaceEditList*>(f.Grid->InplaceEditor());
  ASSERT_NE(editor, nullptr);
  EXPECT_TRUE(editor->ListVisible());
  f.Run("Down Down Enter");  // the list takes Enter
  EXPECT_FALSE(editor->ListVisible());
  EXPECT_EQ(f.EditorText(), "mid");
  EXPECT_TRUE(f.Log.empty());
  f.Run("Enter");  // the grid takes this one
  EXPECT_EQ(f.Log, (std::vector<std::string>{"set 2,1=mid"}));

  // The button opens the list below the cell; a click on an item takes it.
  f.Log.clear();
  f.Run("F2");
  editor->SetDropDownRows(2);
  const TRect cell = f.Grid->CellRect(2, 1);
  f.Sim.MoveTo(*f.Grid, cell.Right - 3, cell.Top + 5);
  f.Sim.Click();
  ASSERT_TRUE(editor->ListVisible());
  TControl* list = f.Form.Controls(f.Form.ControlCount() - 1);
  EXPECT_EQ(list->Top(), cell.Bottom);
  const int32_t itemHeight = (list->Height() - 2) / 2;  // two rows shown
  EXPECT_EQ(editor->ItemIndex(), 1);  // the cell's text
  f.Sim.MoveTo(*list, 5, 1 + itemHeight / 2);
  f.Sim.Click();
  EXPECT_FALSE(editor->ListVisible());
  EXPECT_EQ(f.EditorText(), "low");
  f.Run("F4 Esc");  // Escape closes only the list
  EXPECT_TRUE(f.Grid->EditorMode());
  f.Run("Esc");
  EXPECT_FALSE(f.Grid->EditorMode());
  EXPECT_TRUE(f.Log.empty());
  // A plain column shows no list.
  f.Run("click:1,1 F2 F4");
  EXPECT_FALSE(editor->ListVisible());
}

TEST_F(GridEditorTest, FreeingTheGridOrFormWithTheEditorOpen) {
  {
    EditFixture f;
    f.Run("click:2,1 F2 F4 type:x");
    TBitmap picture;
    f.Form.PaintTo(picture);
    delete f.Grid;  // with the editor focused and its list dropped
    EXPECT_EQ(f.Form.ControlCount(), 0);
    f.Form.PaintTo(picture);
    f.Sim.PressKey(VK_DOWN);
  }
  {
    auto* f = new EditFixture();
    f->Run("click:2,1 F2 F4");
    delete f;  // the form frees the list, the grid and its editor
  }
  // The grid freed by its own store handler while the editor commits.
  EditFixture f;
  f.Grid->OnSetEditText = [slot = &f.Grid](TObject*, int32_t, int32_t, const std::string&) {
    TPickGrid* doomed = *slot;
    *slot = nullptr;
    delete doomed;
  };
  f.Run("F2 type:x Enter");
  EXPECT_EQ(f.Grid, nullptr);
}

}  // namespace
}  // namespace vexa::testing
