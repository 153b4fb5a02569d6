// Mouse and keyboard routing, focus and Tab order.

#include "ControlsTestSupport.h"

namespace vexa::testing {
namespace {

using InputTest = ControlsTest;

TEST_F(InputTest, TabOrderSkipsHiddenDisabledAndNonStopsBothWays) {
  TForm form(nullptr);
  auto* panel1 = Place(&form, new TLogControl(&form, Log, "Panel1"), 0, 0, 200, 100);
  panel1->SetTabStop(false);
  auto* e1 = Place(panel1, new TLogControl(&form, Log, "E1"), 0, 0, 40, 20);
  Place(panel1, new TLogControl(&form, Log, "Hidden"), 50, 0, 40, 20)->Hide();
  Place(panel1, new TLogControl(&form, Log, "Disabled"), 100, 0, 40, 20)->SetEnabled(false);
  auto* panel2 = Place(panel1, new TLogControl(&form, Log, "Panel2"), 0, 40, 200, 50);
  panel2->SetTabStop(false);
  Place(panel2, new TLogControl(&form, Log, "E4"), 0, 0, 40, 20);
  Place(panel2, new TLogControl(&form, Log, "NoStop"), 50, 0, 40, 20)->SetTabStop(false);
  auto* hiddenPanel = Place(&form, new TLogControl(&form, Log, "HiddenPanel"), 0, 150, 100, 50);
  hiddenPanel->SetTabStop(false);
  hiddenPanel->Hide();
  Place(hiddenPanel, new TLogControl(&form, Log, "InHidden"), 0, 0, 40, 20);
  Place(&form, new TLogControl(&form, Log, "E6"), 0, 110, 40, 20);

  form.Show();  // focuses the first Tab stop
  EXPECT_EQ(form.ActiveControl(), e1);
  TInputSimulator sim;
  struct Step {
    TShiftState Shift;
    std::vector<std::string> Expected;
  };
  const std::vector<Step> steps = {
      {0, {"E1:exit", "Panel2:enter", "E4:enter"}},
      {0, {"E4:exit", "Panel2:exit", "Panel1:exit", "E6:enter"}},
      {0, {"E6:exit", "Panel1:enter", "E1:enter"}},  // wraps around
      {ShiftBit(ssShift), {"E1:exit", "Panel1:exit", "E6:enter"}},
      {ShiftBit(ssShift), {"E6:exit", "Panel1:enter", "Panel2:enter", "E4:enter"}},
      {ShiftBit(ssShift), {"E4:exit", "Panel2:exit", "E1:enter"}},
  };
  for (const Step& step : steps) {
    Log.clear();
    sim.SetModifiers(step.Shift);
    sim.PressKey(VK_TAB);
    std::vector<std::string> focusLog;
    for (const auto& line : Log)
      if (line.ends_with("enter") || line.ends_with("exit")) focusLog.push_back(line);
    EXPECT_EQ(focusLog, step.Expected);
  }
}

TEST_F(InputTest, SetFocusThatCannotSucceedIsIgnored) {
  TForm form(nullptr);
  auto* a = Place(&form, new TLogControl(&form, Log, "A"), 0, 0, 40, 20);
  auto* b = Place(&form, new TLogControl(&form, Log, "B"), 50, 0, 40, 20);
  a->SetFocus();
  b->SetEnabled(false);
  b->SetFocus();
  EXPECT_TRUE(a->Focused());
  TLogControl orphan(nullptr, Log, "Orphan");
  orphan.SetFocus();  // on no form
  EXPECT_FALSE(orphan.Focused());
}

TEST_F(InputTest, CaptureKeepsMovesAndReleaseOutsideWithoutClick) {
  TForm form(nullptr);
  auto* a = Place(&form, new TLogControl(&form, Log, "A"), 10, 10, 40, 20);
  Place(&form, new TLogControl(&form, Log, "B"), 100, 10, 40, 20);
  form.Show();
  TInputSimulator sim;
  sim.MoveTo(form, 20, 15);
  sim.ButtonDown();
  EXPECT_TRUE(a->MouseCapture());
  Log.clear();
  sim.MoveTo(form, 110, 15);  // over B, still captured by A
  sim.MoveTo(form, 300, 200);
  sim.ButtonUp();
  const std::vector<std::string> expected = {"A:mouseleave", "B:mouseenter", "B:mouseleave", "A:up 290,190"};
  // The form itself is the innermost control at 300,200; it logs nothing.
  EXPECT_EQ(Log, expected);
  EXPECT_EQ(CaptureControl(), nullptr);
}

TEST_F(InputTest, ClickDoubleClickAndMovesGoToCapturer) {
  TForm form(nullptr);
  auto* a = Place(&form, new TLogControl(&form, Log, "A"), 10, 10, 40, 20);
  std::vector<std::string> moves;
  a->OnMouseMove = [&](TObject*, TShiftState, int32_t x, int32_t y) { moves.push_back(TLogControl::Pos(x, y)); };
  form.Show();
  TInputSimulator sim;
  sim.MoveTo(form, 15, 12);
  Log.clear();
  sim.DoubleClick();
  const std::vector<std::string> expected = {"A:down 5,2", "A:up 5,2", "A:click", "A:dblclick",
                                             "A:down+double 5,2", "A:up 5,2"};
  EXPECT_EQ(Log, expected);
  // Time beyond the limit: two single clicks.
  Log.clear();
  sim.Click();
  TestClock().Advance(DoubleClickTime + 1);
  sim.Click();
  EXPECT_EQ(std::count(Log.begin(), Log.end(), "A:click"), 2);
  EXPECT_EQ(std::count(Log.begin(), Log.end(), "A:dblclick"), 0);
  EXPECT_EQ(moves.front(), " 5,2");
}

TEST_F(InputTest, EnterLeaveAcrossSiblingsAndNesting) {
  TForm form(nullptr);
  auto* outer = Place(&form, new TLogControl(&form, Log, "Outer"), 0, 0, 100, 100);
  Place(outer, new TLogControl(&form, Log, "Inner"), 10, 10, 20, 20);
  Place(&form, new TLogControl(&form, Log, "Sibling"), 120, 0, 50, 50);
  form.Show();
  TInputSimulator sim;
  struct Move {
    int32_t X, Y;
    std::vector<std::string> Expected;
  };
  const std::vector<Move> moves = {
      {5, 5, {"Outer:mouseenter"}},
      {15, 15, {"Outer:mouseleave", "Inner:mouseenter"}},
      {16, 16, {}},
      {130, 10, {"Inner:mouseleave", "Sibling:mouseenter"}},
      {110, 10, {"Sibling:mouseleave"}},  // over the form
  };
  for (const Move& m : moves) {
    Log.clear();
    sim.MoveTo(form, m.X, m.Y);
    std::erase_if(Log, [](const std::string& s) { return !s.ends_with("enter") && !s.ends_with("leave"); });
    EXPECT_EQ(Log, m.Expected) << m.X << "," << m.Y;
  }
  sim.MoveTo(form, 130, 10);
  Log.clear();
  sim.Leave();
  EXPECT_EQ(Log, (std::vector<std::string>{"Sibling:mouseleave"}));
}

TEST_F(InputTest, DisabledControlPassesMouseToEnabledAncestor) {
  TForm form(nullptr);
  auto* panel = Place(&form, new TLogControl(&form, Log, "Panel"), 0, 0, 100, 100);
  auto* box = Place(panel, new TLogControl(&form, Log, "Box"), 10, 10, 50, 50);
  Place(box, new TLogControl(&form, Log, "Leaf"), 5, 5, 20, 20);
  box->SetEnabled(false);
  form.Show();
  TInputSimulator sim;
  sim.MoveTo(form, 20, 20);  // over Leaf inside the disabled Box
  Log.clear();
  sim.Click();
  EXPECT_EQ(Log, (std::vector<std::string>{"Panel:down 20,20", "Panel:up 20,20", "Panel:click"}));
}

TEST_F(InputTest, WheelGoesToFocusedControlAndBubbles) {
  TForm form(nullptr);
  auto* panel = Place(&form, new TLogControl(&form, Log, "Panel"), 0, 0, 100, 100);
  auto* edit = Place(panel, new TLogControl(&form, Log, "Edit"), 10, 10, 50, 20);
  std::vector<std::string> wheel;
  edit->OnMouseWheel = [&](TObject*, TShiftState, int32_t d, TPoint, bool&) { wheel.push_back("edit " + std::to_string(d)); };
  panel->OnMouseWheel = [&](TObject*, TShiftState, int32_t d, TPoint p, bool& handled) {
    wheel.push_back("panel " + std::to_string(d) + TLogControl::Pos(p.X, p.Y));
    handled = true;
  };
  form.Show();
  edit->SetFocus();
  TInputSimulator sim;
  sim.MoveTo(form, 80, 80);
  sim.Wheel(-120);
  EXPECT_EQ(wheel, (std::vector<std::string>{"edit -120", "panel -120 80,80"}));
}

TEST_F(InputTest, KeyPreviewClaimsAndDialogKeys) {
  TForm form(nullptr);
  auto* edit = Place(&form, new TLogControl(&form, Log, "Edit"), 0, 0, 50, 20);
  auto* other = Place(&form, new TLogControl(&form, Log, "Other"), 0, 30, 50, 20);
  auto* ok = Place(&form, new TTestButton(&form), 0, 60, 60, 24);
  auto* cancel = Place(&form, new TTestButton(&form), 70, 60, 60, 24);
  ok->Default = true;
  cancel->Cancel = true;
  std::vector<std::string> buttons;
  ok->OnClick = [&](TObject*) { buttons.push_back("ok"); };
  cancel->OnClick = [&](TObject*) { buttons.push_back("cancel"); };
  std::vector<std::string> preview;
  form.SetKeyPreview(true);
  form.OnKeyDown = [&](TObject*, uint16_t& key, TShiftState) {
    preview.push_back(std::to_string(key));
    if (key == VK_F2) key = 0;  // the form consumes F2
  };
  form.Show();
  edit->SetFocus();
  TInputSimulator sim;

  Log.clear();
  sim.PressKey(VK_F2);
  EXPECT_EQ(Log, std::vector<std::string>{});  // zeroed by the preview: the control never sees it
  sim.PressKey('A');
  EXPECT_EQ(Log, (std::vector<std::string>{"Edit:keydown 65", "Edit:char 97"}));

  edit->ClaimTab = true;  // the control keeps Tab: no navigation, it gets the character
  Log.clear();
  sim.PressKey(VK_TAB);
  EXPECT_TRUE(edit->Focused());
  EXPECT_EQ(Log, (std::vector<std::string>{"Edit:keydown 9", "Edit:char 9"}));
  edit->ClaimTab = false;
  sim.PressKey(VK_TAB);
  EXPECT_TRUE(other->Focused());

  Log.clear();
  sim.PressKey(VK_RETURN);
  sim.PressKey(VK_ESCAPE);
  EXPECT_EQ(buttons, (std::vector<std::string>{"ok", "cancel"}));
  // Enter and Escape went to the buttons, so the control got no character.
  EXPECT_EQ(Log, (std::vector<std::string>{"Other:keydown 13", "Other:keydown 27"}));
  EXPECT_EQ(preview.size(), 6u);  // every key down was previewed once
}

TEST_F(InputTest, FreeingControlsInTheirHandlersLeavesNoDanglingReference) {
  TForm form(nullptr);
  form.Show();
  TInputSimulator sim;
  {
    auto* a = Place(&form, new TLogControl(&form, Log, "A"), 0, 0, 40, 20);
    a->SetFocus();
    a->OnClick = [a](TObject*) { delete a; };
    sim.ClickControl(*a);
    EXPECT_EQ(form.ControlCount(), 0);
    EXPECT_EQ(form.ActiveControl(), nullptr);
    EXPECT_EQ(MouseControl(), &form);
  }
  {
    auto* b = Place(&form, new TLogControl(&form, Log, "B"), 0, 0, 40, 20);
    b->OnMouseDown = [b](TObject*, TMouseButton, TShiftState, int32_t, int32_t) { delete b; };
    sim.ClickControl(*b);
    EXPECT_EQ(CaptureControl(), nullptr);
    sim.MoveTo(form, 5, 5);
  }
  {
    auto* c = Place(&form, new TLogControl(&form, Log, "C"), 0, 0, 40, 20);
    sim.MoveTo(*c, 5, 5);
    sim.ButtonDown();
    delete c;  // freed while captured and under the pointer
    sim.MoveTo(form, 60, 60);
    sim.ButtonUp();
    EXPECT_EQ(CaptureControl(), nullptr);
  }
  {
    auto* d = Place(&form, new TLogControl(&form, Log, "D"), 0, 0, 40, 20);
    d->OnEnter = [d](TObject*) { delete d; };
    d->SetFocus();
    EXPECT_EQ(form.ActiveControl(), nullptr);
  }
}

TEST_F(InputTest, ExceptionInAHandlerReachesTheApplication) {
  TForm form(nullptr);
  auto* a = Place(&form, new TLogControl(&form, Log, "A"), 0, 0, 40, 20);
  a->OnClick = [](TObject*) { throw EConvertError("bad click"); };
  std::vector<std::string> caught;
  Application().OnException = [&](TObject*, const std::exception& e) { caught.push_back(e.what()); };
  form.Show();
  TInputSimulator sim;
  sim.ClickControl(*a);
  EXPECT_EQ(caught, std::vector<std::string>{"bad click"});
}

}  // namespace
}  // namespace vexa::testing
