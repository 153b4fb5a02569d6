// Combo box: code changes versus user picks, the dropped list overlay, owner drawing.

#include "ControlsTestSupport.h"
#include "platform/controls/Vexa_stdctrls.h"

namespace vexa::testing {
namespace {

using ComboTest = ControlsTest;

/// A combo box on a form whose events are logged.
struct TComboForm {
  explicit TComboForm(std::vector<std::string>& Log, TComboBoxStyle Style = csDropDownList) : Form(nullptr) {
    Form.SetBounds(0, 0, 300, 300);
    Combo = Place(&Form, new TComboBox(&Form), 20, 20, 150, 21);
    Combo->SetStyle(Style);
    for (const char* item : {"zero", "one", "two", "three", "four"}) Combo->Items().Add(item);
    Combo->OnClick = [&Log](TObject*) { Log.push_back("click"); };
    Combo->OnChange = [&Log](TObject*) { Log.push_back("change"); };
    Combo->OnDropDown = [&Log](TObject*) { Log.push_back("dropdown"); };
    Combo->OnCloseUp = [&Log](TObject*) { Log.push_back("closeup"); };
    Form.Show();
  }
  /// Moves to the middle of a row of the open list.
  void MoveToRow(TInputSimulator& Sim, int32_t Row) const {
    const TRect list = Combo->DropDownRect();
    Sim.MoveTo(const_cast<TForm&>(Form), list.Left + 10,
               list.Top + 1 + (Row - Combo->TopIndex()) * Combo->ItemHeight() + Combo->ItemHeight() / 2);
  }
  TForm Form;
  TComboBox* Combo = nullptr;
};

TEST_F(ComboTest, CodeChangesFireNothingUserPicksFireClickThenChange) {
  TComboForm f(Log);
  TComboBox& combo = *f.Combo;
  combo.SetItemIndex(2);
  combo.SetText("four");
  combo.Items().Insert(0, "minus one");
  combo.Items().Delete(5);  // the selected entry goes: no selection
  EXPECT_TRUE(Log.empty());
  EXPECT_EQ(combo.ItemIndex(), -1);
  EXPECT_EQ(combo.Text(), "");
  combo.SetText("no such entry");  // a pick-only field shows entries only
  EXPECT_EQ(combo.Text(), "");

  TInputSimulator sim;
  sim.ClickControl(combo);
  ASSERT_TRUE(combo.DroppedDown());
  f.MoveToRow(sim, 3);
  EXPECT_EQ(combo.HoverIndex(), 3);
  sim.Click();
  EXPECT_FALSE(combo.DroppedDown());
  EXPECT_EQ(Log, (std::vector<std::string>{"dropdown", "closeup", "click", "change"}));
  EXPECT_EQ(combo.ItemIndex(), 3);
  EXPECT_EQ(combo.Text(), "two");

  struct Step {
    std::string Name;
    std::vector<uint16_t> Keys;
    TShiftState Modifiers;
    int32_t Index;
    std::vector<std::string> Events;
  };
  const std::vector<Step> steps = {
      {"down on the closed field picks the next", {VK_DOWN}, 0, 4, {"click", "change"}},
      {"down at the last entry changes nothing", {VK_DOWN}, 0, 4, {}},
      {"alt+down opens, up twice, enter picks", {VK_DOWN}, ShiftBit(ssAlt), 4, {"dropdown"}},
      {"", {VK_UP, VK_UP, VK_RETURN}, 0, 2, {"closeup", "click", "change"}},
      {"escape closes without a pick", {VK_F4, VK_DOWN, VK_ESCAPE}, 0, 2, {"dropdown", "closeup"}},
      {"picking the current entry fires nothing", {VK_F4, VK_RETURN}, 0, 2, {"dropdown", "closeup"}},
  };
  for (const Step& s : steps) {
    Log.clear();
    sim.SetModifiers(s.Modifiers);
    for (uint16_t key : s.Keys) sim.PressKey(key);
    sim.SetModifiers(0);
    EXPECT_EQ(combo.ItemIndex(), s.Index) << s.Name;
    EXPECT_EQ(Log, s.Events) << s.Name;
  }
}

TEST_F(ComboTest, ClickOutsideTheListOnlyClosesIt) {
  TComboForm f(Log);
  auto* below = Place(&f.Form, new TLogControl(&f.Form, Log, "Below"), 20, 50, 150, 100);
  f.Combo->OnDropDown = [&](TObject*) {
    Log.push_back("dropdown");
    f.Combo->SetDroppedDown(true);  // asking again from the handler opens the list once
  };
  TInputSimulator sim;
  sim.ClickControl(*f.Combo);
  ASSERT_TRUE(f.Combo->DroppedDown());
  EXPECT_EQ(Log, (std::vector<std::string>{"dropdown"}));
  Log.clear();
  sim.MoveTo(f.Form, 250, 250);
  sim.Click();
  EXPECT_FALSE(f.Combo->DroppedDown());
  EXPECT_EQ(Log, (std::vector<std::string>{"closeup"}));  // the press reached no control
  sim.ClickControl(*below);  // and the next one does
  EXPECT_NE(std::find(Log.begin(), Log.end(), "Below:click"), Log.end());
}

TEST_F(ComboTest, DroppedListIsAnOverlayPlacedByDropDownCount) {
  struct Case {
    int32_t ComboTop;
    int32_t DropDownCount;
    int32_t ExpectedTop;  // of the list, form client coordinates
    int32_t ExpectedHeight;
  };
  const std::vector<Case> cases = {
      {20, 8, 41, 5 * 16 + 2},    // five entries: five rows below the field
      {20, 3, 41, 3 * 16 + 2},    // three rows, the rest scrolls
      {260, 8, 260 - 82, 82},     // no room below: above the field
  };
  for (const Case& c : cases) {
    TComboForm f(Log);
    f.Combo->SetTop(c.ComboTop);
    f.Combo->SetDropDownCount(c.DropDownCount);
    f.Combo->SetItemIndex(4);
    f.Combo->SetDroppedDown(true);
    const TRect list = f.Combo->DropDownRect();
    EXPECT_EQ(list.Top, c.ExpectedTop) << c.ComboTop;
    EXPECT_EQ(list.Height(), c.ExpectedHeight) << c.ComboTop;
    EXPECT_EQ(list.Left, 20);
    EXPECT_EQ(f.Combo->HoverIndex(), 4);  // the selected entry is highlighted and in view
    EXPECT_LE(f.Combo->TopIndex(), 4);
    EXPECT_GT(f.Combo->TopIndex() + c.DropDownCount, 4);
    TBitmap shot;
    f.Form.PaintTo(shot);
    const int32_t hoverY = list.Top + 1 + (4 - f.Combo->TopIndex()) * 16 + 8;
    EXPECT_EQ(shot.Canvas().Pixels(list.Right - 4, hoverY), ColorToRGB(clHighlight));
    EXPECT_NE(f.Form.Surface().Canvas().Pixels(list.Right - 4, hoverY), ColorToRGB(clHighlight));  // not in the surface
    f.Form.Hide();  // closes the list
    EXPECT_FALSE(f.Combo->DroppedDown());
  }
  TComboForm huge(Log);  // rows times height beyond 32 bits: the list is cut to the form
  huge.Combo->SetItemHeight(INT32_MAX);
  huge.Combo->SetDropDownCount(INT32_MAX);
  huge.Combo->SetDroppedDown(true);
  EXPECT_EQ(huge.Combo->DropDownRect(), Rect(20, 0, 170, 300));
  TBitmap shot;
  huge.Form.PaintTo(shot);
}

/// An owner-drawn list: each entry is a bar of the colour its text names.
class TColorCombo : public TCustomComboBox {
public:
  explicit TColorCombo(TComponent* AOwner) : TCustomComboBox(AOwner) { SetStyle(csOwnerDrawFixed); }
  std::vector<TColor> Colors;
  std::vector<std::pair<int32_t, TOwnerDrawState>> Drawn;

protected:
  void DrawItem(int32_t Index, const TRect& R, TOwnerDrawState State) override {
    Drawn.emplace_back(Index, State);
    Canvas().FillRect(R);  // the highlight of a selected row
    Canvas().Brush().SetColor(Colors[static_cast<size_t>(Index)]);
    Canvas().FillRect(Rect(R.Left + 2, R.Top + 2, R.Left + 30, R.Bottom - 2));
  }
};

TEST_F(ComboTest, OwnerDrawnEntriesAreDrawnInTheFieldAndTheList) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 300);
  auto* combo = Place(&form, new TColorCombo(&form), 10, 10, 120, 22);
  combo->Colors = {clRed, clLime, clBlue};
  for (const char* name : {"red", "lime", "blue"}) combo->Items().Add(name);
  combo->SetItemHeight(20);
  combo->SetItemIndex(1);
  form.Show();
  TBitmap shot;
  form.PaintTo(shot);
  EXPECT_EQ(shot.Canvas().Pixels(20, 21), ColorToRGB(clLime));  // the field shows the selected entry
  ASSERT_FALSE(combo->Drawn.empty());
  EXPECT_NE(combo->Drawn.back().second & OwnerDrawBit(odComboBoxEdit), 0u);

  combo->SetDroppedDown(true);
  combo->Drawn.clear();
  form.PaintTo(shot);
  const TRect list = combo->DropDownRect();
  for (int32_t row = 0; row < 3; ++row)
    EXPECT_EQ(shot.Canvas().Pixels(list.Left + 15, list.Top + 1 + row * 20 + 10),
              ColorToRGB(combo->Colors[static_cast<size_t>(row)]))
        << row;
  EXPECT_EQ(shot.Canvas().Pixels(list.Right - 5, list.Top + 1 + 20 + 10), ColorToRGB(clHighlight));
  ASSERT_EQ(combo->Drawn.size(), 3u);
  EXPECT_EQ(combo->Drawn[1].second, OwnerDrawBit(odSelected) | OwnerDrawBit(odFocused));
  EXPECT_EQ(combo->Drawn[0].second, 0u);
}

TEST_F(ComboTest, EditableFieldTypingFiresChangeAndMatchesEntries) {
  TComboForm f(Log, csDropDown);
  f.Combo->SetFocus();
  TInputSimulator sim;
  sim.Type("tw\xC3\xB6\b");
  sim.Type("o");
  EXPECT_EQ(f.Combo->Text(), "two");
  EXPECT_EQ(f.Combo->ItemIndex(), 2);
  EXPECT_EQ(Log, (std::vector<std::string>(5, "change")));
  f.Combo->SetText("free text");  // code: nothing fires
  EXPECT_EQ(f.Combo->ItemIndex(), -1);
  EXPECT_EQ(Log.size(), 5u);
}

TEST_F(ComboTest, FreeingTheComboInsideItsClickOrWhileOpen) {
  for (int variant = 0; variant < 2; ++variant) {
    TComboForm f(Log);
    TComboBox* combo = f.Combo;
    if (variant == 0) combo->OnClick = [combo](TObject*) { delete combo; };
    TInputSimulator sim;
    sim.ClickControl(*combo);
    ASSERT_TRUE(combo->DroppedDown());
    if (variant == 1) {
      delete combo;  // while its list is open
    } else {
      f.MoveToRow(sim, 1);
      sim.Click();
    }
    EXPECT_EQ(f.Form.ControlCount(), 0) << variant;
    TBitmap shot;
    f.Form.PaintTo(shot);
    sim.PressKey(VK_DOWN);
    sim.MoveTo(f.Form, 30, 60);
    sim.Click();
  }
}

}  // namespace
}  // namespace vexa::testing
