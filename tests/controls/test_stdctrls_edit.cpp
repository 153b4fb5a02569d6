// One-line edit and memo: typing, selection, clipboard, change events, caret blink.

#include "ControlsTestSupport.h"
#include "platform/controls/Vexa_stdctrls.h"
#include "platform/graphics/Vexa_clipbrd.h"

namespace vexa::testing {
namespace {

using EditTest = ControlsTest;

/// One user action: a key with modifiers, or typed text.
struct TAction {
  TShiftState Modifiers = 0;
  uint16_t Key = 0;
  std::string Typed;
};

TAction Key(uint16_t K, TShiftState Modifiers = 0) { return TAction{Modifiers, K, ""}; }
TAction Typed(const std::string& Text) { return TAction{0, 0, Text}; }
constexpr TShiftState kShift = ShiftBit(ssShift);
constexpr TShiftState kCtrl = ShiftBit(ssCtrl);

void Perform(TInputSimulator& Sim, const std::vector<TAction>& Actions) {
  for (const TAction& a : Actions) {
    Sim.SetModifiers(a.Modifiers);
    if (a.Key) Sim.PressKey(a.Key);
    else Sim.Type(a.Typed);
  }
  Sim.SetModifiers(0);
}

TEST_F(EditTest, TypingSelectionAndClipboardCountCodePoints) {
  struct Case {
    std::string Name;
    std::string Start;  // text before, caret at the end
    bool ReadOnly;
    int32_t MaxLength;
    std::vector<TAction> Actions;
    std::string Text;
    int32_t SelStart, SelLength;
    std::string Clip;  // clipboard afterwards ("-" when untouched)
    int32_t Changes;
  };
  const std::string grin = "\xF0\x9F\x98\x80";  // U+1F600, four bytes
  const std::vector<Case> cases = {
      {"type multi-byte", "", false, 0, {Typed("ü€" + grin)}, "ü€" + grin, 3, 0, "-", 3},
      {"backspace removes a whole code point", "aé" + grin, false, 0, {Key(VK_BACK)}, "aé", 2, 0, "-", 1},
      {"shift selection and copy", "aé" + grin + "b", false, 0,
       {Key(VK_LEFT), Key(VK_LEFT, kShift), Key(VK_LEFT, kShift), Key('C', kCtrl)}, "aé" + grin + "b", 1, 2,
       "é" + grin, 0},
      {"paste at the end", "aé" + grin + "b", false, 0,
       {Key(VK_LEFT), Key(VK_LEFT, kShift), Key(VK_LEFT, kShift), Key('C', kCtrl), Key(VK_END), Key('V', kCtrl)},
       "aé" + grin + "bé" + grin, 6, 0, "é" + grin, 1},
      {"select all and cut", "héllo", false, 0, {Key('A', kCtrl), Key('X', kCtrl)}, "", 0, 0, "héllo", 1},
      {"typing replaces the selection", "héllo", false, 0, {Key(VK_HOME), Key(VK_END, kShift), Typed("ß")}, "ß", 1,
       0, "-", 1},
      {"delete before a four-byte character", grin + "x", false, 0, {Key(VK_HOME), Key(VK_DELETE)}, "x", 0, 0, "-",
       1},
      {"left collapses a selection to its start", "abcd", false, 0, {Key(VK_LEFT, kShift), Key(VK_LEFT, kShift),
       Key(VK_LEFT)}, "abcd", 2, 0, "-", 0},
      {"stray byte is one position and stays", "a\xFF" "b", false, 0, {Key(VK_LEFT), Key(VK_LEFT, kShift)},
       "a\xFF" "b", 1, 1, "-", 0},
      {"read-only ignores edits but copies", "héllo", true, 0,
       {Typed("x\b"), Key(VK_DELETE), Key('A', kCtrl), Key('X', kCtrl), Key('V', kCtrl)}, "héllo", 0, 5, "héllo",
       0},
      {"max length stops typing", "ab", false, 3, {Typed("cd")}, "abc", 3, 0, "-", 1},
      {"control characters are not text", "ab", false, 0, {Key('B', kCtrl), Typed("\x01\x7F")}, "ab", 2, 0, "-", 0},
  };
  for (const Case& c : cases) {
    Clipboard().SetAsText("-");
    TForm form(nullptr);
    auto* edit = Place(&form, new TEdit(&form), 10, 10, 200, 24);
    edit->SetText(c.Start);
    edit->SetReadOnly(c.ReadOnly);
    edit->SetMaxLength(c.MaxLength);
    edit->SetAutoSelect(false);
    form.Show();
    edit->SetSelStart(1000);  // clamped to the end
    int32_t changes = 0;
    edit->OnChange = [&](TObject*) { ++changes; };
    TInputSimulator sim;
    Perform(sim, c.Actions);
    EXPECT_EQ(edit->Text(), c.Text) << c.Name;
    EXPECT_EQ(edit->SelStart(), c.SelStart) << c.Name;
    EXPECT_EQ(edit->SelLength(), c.SelLength) << c.Name;
    EXPECT_EQ(Clipboard().AsText(), c.Clip) << c.Name;
    EXPECT_EQ(changes, c.Changes) << c.Name;
  }
}

TEST_F(EditTest, SettingTextFiresChangeAtOnceAlsoFromItsOwnHandler) {
  TForm form(nullptr);
  auto* edit = Place(&form, new TEdit(&form), 0, 0, 100, 24);
  std::vector<std::string> seen;
  edit->OnChange = [&](TObject*) {
    seen.push_back(edit->Text());
    if (edit->Text() == "abc") edit->SetText("ABC");  // puts another text back, as a checking field does
  };
  edit->SetText("abc");
  EXPECT_EQ(seen, (std::vector<std::string>{"abc", "ABC"}));
  EXPECT_EQ(edit->Text(), "ABC");
  EXPECT_EQ(edit->SelStart(), 0);
  edit->SetText("ABC");  // unchanged: no event
  EXPECT_EQ(seen.size(), 2u);
  // Code can select and replace; positions count code points.
  edit->SetText("x\xC3\xA9y\xE2\x82\xACz");  // xéy€z
  edit->SetSelStart(1);
  edit->SetSelLength(3);
  EXPECT_EQ(edit->SelText(), "\xC3\xA9y\xE2\x82\xAC");
  edit->SetSelText("-");
  EXPECT_EQ(edit->Text(), "x-z");
  EXPECT_EQ(edit->SelStart(), 2);
}

TEST_F(EditTest, MouseClickAndDragPlaceCaretAndSelection) {
  TForm form(nullptr);
  auto* edit = Place(&form, new TEdit(&form), 10, 10, 300, 24);
  edit->SetText("wide text here");
  form.Show();
  TInputSimulator sim;
  TCanvas& measure = edit->Canvas();
  measure.Font().Assign(edit->Font());
  const int32_t afterWide = 3 + measure.TextWidth("wide");  // text starts 3 px inside the border
  sim.MoveTo(*edit, afterWide, 12);
  sim.ButtonDown();
  sim.MoveTo(*edit, 3 + measure.TextWidth("wide text"), 12);
  sim.ButtonUp();
  EXPECT_TRUE(edit->Focused());
  EXPECT_EQ(edit->SelStart(), 4);
  EXPECT_EQ(edit->SelText(), " text");
  sim.MoveTo(*edit, 290, 12);  // beyond the text: caret at the end
  sim.Click();
  EXPECT_EQ(edit->SelStart(), 14);
  EXPECT_EQ(edit->SelLength(), 0);
}

TEST_F(EditTest, CaretBlinksOnTheLoopTimerWhileFocused) {
  TForm form(nullptr);
  auto* first = Place(&form, new TEdit(&form), 0, 0, 100, 24);
  auto* second = Place(&form, new TEdit(&form), 0, 30, 100, 24);
  second->SetText("selected");
  form.Show();
  ASSERT_TRUE(first->Focused());
  const int64_t half = TCustomEdit::CaretBlinkTime;
  struct Step {
    int64_t Advance;
    bool Visible;
  };
  for (const Step& s : std::vector<Step>{{half - 1, true}, {1, false}, {half, true}, {half, false}}) {
    TestClock().Advance(s.Advance);
    EXPECT_EQ(first->CaretVisible(), s.Visible) << TestClock().TickCount();
  }
  TInputSimulator sim;
  sim.Type("a");  // typing shows the caret again and restarts the period
  EXPECT_TRUE(first->CaretVisible());
  TestClock().Advance(half - 1);
  EXPECT_TRUE(first->CaretVisible());
  sim.PressKey(VK_TAB);  // AutoSelect selects the whole text of the next edit
  EXPECT_FALSE(first->CaretVisible());
  EXPECT_EQ(second->SelLength(), 8);
  TestClock().Advance(10 * half);
  EXPECT_FALSE(first->CaretVisible());

  SetTimersRefused(true);  // no timer: the caret stays shown
  sim.PressKey(VK_TAB);
  TestClock().Advance(3 * half);
  EXPECT_TRUE(first->CaretVisible());
}

TEST_F(EditTest, CaretAndSelectionArePainted) {
  TForm form(nullptr);
  form.SetColor(clWhite);
  auto* edit = Place(&form, new TEdit(&form), 0, 0, 100, 24);
  auto* other = Place(&form, new TEdit(&form), 0, 40, 100, 24);
  edit->SetText("MMMM");
  form.Show();
  TBitmap shot;
  auto highlighted = [&] {
    form.PaintTo(shot);
    int32_t count = 0;
    for (int32_t x = 0; x < 100; ++x) count += shot.Canvas().Pixels(x, 12) == ColorToRGB(clHighlight);
    return count;
  };
  EXPECT_GT(highlighted(), 10);  // focused with AutoSelect: the whole text is highlighted
  other->SetFocus();
  EXPECT_EQ(highlighted(), 0);  // HideSelection
  edit->SetHideSelection(false);
  EXPECT_GT(highlighted(), 10);
}

TEST_F(EditTest, MemoLinesFollowTheTextAndKeysMoveBetweenLines) {
  TForm form(nullptr);
  auto* memo = Place(&form, new TMemo(&form), 0, 0, 200, 100);
  auto* ok = Place(&form, new TButton(&form), 0, 120, 75, 25);
  ok->SetDefault(true);
  int32_t clicks = 0, changes = 0;
  ok->OnClick = [&](TObject*) { ++clicks; };
  memo->OnChange = [&](TObject*) { ++changes; };
  memo->Lines().Add("first");
  memo->Lines().Add("ü2");
  EXPECT_EQ(memo->Text(), "first\nü2");
  EXPECT_EQ(changes, 2);
  form.Show();
  memo->SetSelStart(3);  // fir|st
  TInputSimulator sim;
  sim.PressKey(VK_DOWN);  // same column, clamped to the shorter line
  EXPECT_EQ(memo->SelStart(), 8);
  sim.Type("\rnew");  // Enter belongs to the memo, not the Default button
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(memo->Text(), "first\nü2\nnew");
  EXPECT_EQ(memo->Lines().Items(), (std::vector<std::string>{"first", "ü2", "new"}));
  sim.PressKey(VK_UP);
  sim.PressKey(VK_HOME);
  sim.SetModifiers(kShift);
  sim.PressKey(VK_END);
  sim.SetModifiers(0);
  EXPECT_EQ(memo->SelText(), "ü2");
  Clipboard().SetAsText("a\r\nb\rc");
  sim.SetModifiers(kCtrl);
  sim.PressKey('V');
  sim.SetModifiers(0);
  EXPECT_EQ(memo->Lines().Items(), (std::vector<std::string>{"first", "a", "b", "c", "new"}));
  memo->SetWantReturns(false);
  sim.PressKey(VK_RETURN);
  EXPECT_EQ(clicks, 1);
}

TEST_F(EditTest, FreeingTheEditInsideItsChangeLeavesNothingBehind) {
  TForm form(nullptr);
  auto* edit = Place(&form, new TEdit(&form), 0, 0, 100, 24);
  form.Show();
  edit->OnChange = [edit](TObject*) { delete edit; };
  TInputSimulator sim;
  sim.Type("x");
  EXPECT_EQ(form.ControlCount(), 0);
  TestClock().Advance(2000);  // no blink tick reaches the freed edit
  sim.Type("yz");
}

}  // namespace
}  // namespace vexa::testing
