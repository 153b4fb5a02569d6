// Push buttons, speed-button groups, labels, panels and the date-time picker.

#include <cmath>
#include <limits>

#include "ControlsTestSupport.h"
#include "platform/controls/Vexa_buttons.h"
#include "platform/controls/Vexa_datetimepicker.h"
#include "platform/controls/Vexa_extctrls.h"
#include "platform/controls/Vexa_stdctrls.h"

namespace vexa::testing {
namespace {

using StdButtonsTest = ControlsTest;

TEST_F(StdButtonsTest, DefaultAndCancelButtonsAnswerEnterAndEscapeWithTheirResults) {
  struct Case {
    std::string Name;
    uint16_t Key;
    std::string Focus;  // control focused first
    bool DefaultEnabled;
    TModalResult Expected;
    std::vector<std::string> Clicks;
  };
  const std::vector<Case> cases = {
      {"enter in the edit: default", VK_RETURN, "Edit", true, mrOk, {"OK"}},
      {"escape: cancel", VK_ESCAPE, "Edit", true, mrCancel, {"Cancel"}},
      {"enter on a focused button: that button", VK_RETURN, "Other", true, mrRetry, {"Other"}},
      {"space on a focused button", VK_SPACE, "Other", true, mrRetry, {"Other"}},
      {"disabled default: nothing (headless ends the form)", VK_RETURN, "Edit", false, mrCancel, {}},
  };
  for (const Case& c : cases) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    auto* edit = Place(&form, new TEdit(&form), 10, 10, 100, 24);
    edit->SetName("Edit");
    std::vector<std::string> clicks;
    auto button = [&](const std::string& name, TModalResult result, int32_t left) {
      auto* b = Place(&form, new TButton(&form), left, 100, 75, 25);
      b->SetName(name);
      b->SetModalResult(result);
      b->OnClick = [&clicks, name](TObject*) { clicks.push_back(name); };
      return b;
    };
    auto* ok = button("OK", mrOk, 10);
    button("Cancel", mrCancel, 90)->SetCancel(true);
    auto* other = button("Other", mrRetry, 170);
    ok->SetDefault(true);
    ok->SetEnabled(c.DefaultEnabled);
    SetModalHandler([&](TForm&) {
      (c.Focus == "Edit" ? static_cast<TWinControl*>(edit) : other)->SetFocus();
      TInputSimulator sim;
      sim.PressKey(c.Key);
    });
    EXPECT_EQ(form.ShowModal(), c.Expected) << c.Name;
    EXPECT_EQ(clicks, c.Clicks) << c.Name;
  }
}

TEST_F(StdButtonsTest, FreeingAButtonInsideItsOwnClick) {
  TForm form(nullptr);
  auto* button = Place(&form, new TButton(&form), 10, 10, 75, 25);
  auto* speed = Place(&form, new TSpeedButton(&form), 100, 10, 25, 25);
  button->OnClick = [button](TObject*) { delete button; };
  speed->SetGroupIndex(1);
  speed->OnClick = [speed](TObject*) { delete speed; };
  form.Show();
  TInputSimulator sim;
  sim.ClickControl(*button);
  sim.ClickControl(*speed);
  EXPECT_EQ(form.ControlCount(), 0);
  sim.Click();
  sim.PressKey(VK_RETURN);
  TBitmap shot;
  form.PaintTo(shot);
}

/// A control that broadcasts the grouped-button message as if it were a
/// grouped button of another kind.
class TForeignGroupMember : public TCustomControl {
public:
  explicit TForeignGroupMember(TComponent* AOwner) : TCustomControl(AOwner) {}
  void Announce(int32_t Group, intptr_t Sender) {
    TMessage message{CM_BUTTONPRESSED, Group, Sender, 0};
    Parent()->Broadcast(message);
  }
};

TEST_F(StdButtonsTest, SpeedButtonGroupsKeepOneDownAndHearOnlySpeedButtons) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 200);
  std::vector<TSpeedButton*> b;
  for (int32_t i = 0; i < 3; ++i) {
    b.push_back(Place(&form, new TSpeedButton(&form), 10 + i * 30, 10, 25, 25));
    b.back()->SetGroupIndex(1);
  }
  auto* loner = Place(&form, new TSpeedButton(&form), 10, 50, 25, 25);  // group 0
  auto* panel = Place(&form, new TPanel(&form), 100, 50, 100, 50);
  auto* elsewhere = Place(panel, new TSpeedButton(&form), 5, 5, 25, 25);  // same index, other parent
  elsewhere->SetGroupIndex(1);
  elsewhere->SetDown(true);
  auto* foreign = Place(&form, new TForeignGroupMember(&form), 200, 10, 20, 20);
  form.Show();
  TInputSimulator sim;
  auto downs = [&] {
    std::string s;
    for (auto* button : b) s += button->Down() ? '1' : '0';
    return s;
  };
  struct Step {
    std::string Name;
    std::function<void()> Action;
    std::string Expected;
  };
  const std::vector<Step> steps = {
      {"click the first", [&] { sim.ClickControl(*b[0]); }, "100"},
      {"click the second", [&] { sim.ClickControl(*b[1]); }, "010"},
      {"the down one stays down", [&] { sim.ClickControl(*b[1]); }, "010"},
      {"code may not lift it either", [&] { b[1]->SetDown(false); }, "010"},
      {"a foreign sender is ignored", [&] { foreign->Announce(1, reinterpret_cast<intptr_t>(static_cast<TControl*>(foreign))); }, "010"},
      {"a message without sender is ignored", [&] { foreign->Announce(1, 0); }, "010"},
      {"code puts the third down", [&] { b[2]->SetDown(true); }, "001"},
      {"allow-all-up is shared by the group", [&] { b[0]->SetAllowAllUp(true); }, "001"},
      {"now the down one comes up", [&] { sim.ClickControl(*b[2]); }, "000"},
      {"and goes down again", [&] { sim.ClickControl(*b[2]); }, "001"},
  };
  for (const Step& s : steps) {
    s.Action();
    EXPECT_EQ(downs(), s.Expected) << s.Name;
  }
  EXPECT_TRUE(b[2]->AllowAllUp());
  EXPECT_TRUE(elsewhere->Down());  // another parent's group
  loner->SetDown(true);            // group 0 never stays down
  EXPECT_FALSE(loner->Down());
  int32_t clicks = 0;
  loner->OnClick = [&](TObject*) { ++clicks; };
  sim.ClickControl(*loner);
  sim.ClickControl(*loner);  // quick second press: still a click of its own
  EXPECT_EQ(clicks, 2);
}

TEST_F(StdButtonsTest, SpeedButtonDrawsTheGlyphCellOfItsState) {
  TForm form(nullptr);
  auto* button = Place(&form, new TSpeedButton(&form), 0, 0, 30, 30);
  TBitmap glyph;  // four 10 x 10 cells: red, gray, blue, green, each with a white corner pixel
  glyph.SetSize(40, 10);
  const TColor cells[4] = {clRed, clGray, clBlue, clGreen};
  for (int32_t i = 0; i < 4; ++i) {
    glyph.Canvas().Brush().SetColor(cells[i]);
    glyph.Canvas().FillRect(Rect(i * 10, 0, i * 10 + 10, 10));
    glyph.Canvas().SetPixels(i * 10, 9, clWhite);  // bottom-left: the transparent colour
  }
  button->SetGlyph(glyph);
  button->SetNumGlyphs(4);
  button->SetGroupIndex(3);
  form.Show();
  TBitmap shot;
  auto centre = [&] {
    form.PaintTo(shot);
    return shot.Canvas().Pixels(15, 15);
  };
  EXPECT_EQ(centre(), ColorToRGB(clRed));
  TInputSimulator sim;
  sim.MoveTo(*button, 15, 15);
  sim.ButtonDown();  // held: the pressed cell
  EXPECT_EQ(centre(), ColorToRGB(clBlue));
  sim.ButtonUp();  // released: down in its group
  EXPECT_TRUE(button->Down());
  EXPECT_EQ(centre(), ColorToRGB(clGreen));
  button->SetEnabled(false);
  EXPECT_EQ(centre(), ColorToRGB(clGray));
  // The corner pixel is transparent: the button face shows through.
  EXPECT_NE(shot.Canvas().Pixels(10, 19), ColorToRGB(clWhite));
  button->SetCaption("far away");
  button->SetSpacing(INT32_MAX);  // laid out in 64 bits, drawn off the button
  EXPECT_EQ(centre(), ColorToRGB(clBtnFace));
}

/// A label whose text step logs its calls.
class TLoggingLabel : public TCustomLabel {
public:
  explicit TLoggingLabel(TComponent* AOwner) : TCustomLabel(AOwner) {}
  std::vector<bool> MeasureCalls;

protected:
  void DoDrawText(TCanvas& Canvas, TRect& R, bool MeasureOnly) override {
    MeasureCalls.push_back(MeasureOnly);
    TCustomLabel::DoDrawText(Canvas, R, MeasureOnly);
  }
};

TEST_F(StdButtonsTest, LabelAutoSizeMeasuresThroughTheTextStepAndKeepsItsAnchor) {
  TBitmap scratch;
  TCanvas& reference = scratch.Canvas();  // the graphics core measures independently of the label
  const int32_t lineHeight = reference.TextHeight("Ag");
  struct Case {
    TAlignment Alignment;
    std::string Caption;
    int32_t Width, Height;
  };
  const std::vector<Case> cases = {
      {taLeftJustify, "Hello", reference.TextWidth("Hello"), lineHeight},
      {taRightJustify, "Hello, world", reference.TextWidth("Hello, world"), lineHeight},
      {taCenter, "one\nlonger line", reference.TextWidth("longer line"), 2 * lineHeight},
      {taLeftJustify, "", 0, lineHeight},
  };
  for (const Case& c : cases) {
    TForm form(nullptr);
    auto* label = Place(&form, new TLoggingLabel(&form), 100, 10, 200, 40);
    label->SetAlignment(c.Alignment);
    label->SetCaption(c.Caption);
    label->AdjustBounds();  // an unchanged (empty) caption does not resize by itself
    EXPECT_EQ(label->Width(), c.Width) << c.Caption;
    EXPECT_EQ(label->Height(), c.Height) << c.Caption;
    // Left edge, right edge or centre of the 200-pixel box stays.
    const int32_t expectedLeft = c.Alignment == taLeftJustify    ? 100
                                 : c.Alignment == taRightJustify ? 300 - c.Width
                                                                 : 100 + (200 - c.Width) / 2;
    EXPECT_EQ(label->Left(), expectedLeft) << c.Caption;
    ASSERT_FALSE(label->MeasureCalls.empty());
    EXPECT_TRUE(label->MeasureCalls.back());
    label->MeasureCalls.clear();
    form.Show();  // painting draws, never measures (an empty label has no pixel to paint)
    EXPECT_EQ(label->MeasureCalls, std::vector<bool>(c.Width > 0 ? 1 : 0, false)) << c.Caption;
  }
  TForm form(nullptr);
  auto* fixed = Place(&form, new TLabel(&form), 0, 0, 50, 50);
  fixed->SetAutoSize(false);
  fixed->SetCaption("a much longer caption than fits");
  EXPECT_EQ(fixed->Width(), 50);
}

TEST_F(StdButtonsTest, TransparentLabelShowsItsParentBehindTheText) {
  TForm form(nullptr);
  form.SetColor(clYellow);
  auto* label = Place(&form, new TLabel(&form), 10, 10, 50, 20);
  label->SetAutoSize(false);
  label->SetColor(clAqua);
  label->SetCaption("");
  form.Show();
  TBitmap shot;
  form.PaintTo(shot);
  EXPECT_EQ(shot.Canvas().Pixels(30, 20), ColorToRGB(clAqua));
  label->SetTransparent(true);
  form.PaintTo(shot);
  EXPECT_EQ(shot.Canvas().Pixels(30, 20), ColorToRGB(clYellow));
}

TEST_F(StdButtonsTest, DatePickerArrowsPickAndStepFieldsAcrossMonthEnds) {
  // Expected calendar dates checked with Python's datetime (days per month,
  // leap years 2024 and not 2023/2025).
  struct Case {
    int32_t Y, M, D, H, N;
    int32_t Field;  // 0 year, 1 month, 2 day, 3 hour, 4 minute of "yyyy-MM-dd HH:mm"
    int32_t Step;
    int32_t EY, EM, ED, EH, EN;
  };
  const std::vector<Case> cases = {
      {2024, 1, 31, 12, 0, 1, +1, 2024, 2, 29, 12, 0},    // day clamped to the leap February
      {2023, 1, 31, 12, 0, 1, +1, 2023, 2, 28, 12, 0},
      {2024, 3, 31, 12, 0, 1, -1, 2024, 2, 29, 12, 0},
      {2024, 12, 31, 12, 0, 1, +1, 2024, 1, 31, 12, 0},   // the month wraps, the year stays
      {2024, 2, 29, 12, 0, 2, +1, 2024, 2, 1, 12, 0},     // the day wraps inside its month
      {2024, 3, 1, 12, 0, 2, -1, 2024, 3, 31, 12, 0},
      {2023, 2, 28, 12, 0, 2, +1, 2023, 2, 1, 12, 0},
      {2024, 2, 29, 12, 0, 0, +1, 2025, 2, 28, 12, 0},
      {2024, 12, 31, 23, 59, 3, +1, 2024, 12, 31, 0, 59},
      {2024, 12, 31, 23, 59, 4, +1, 2024, 12, 31, 23, 0},
      {1, 1, 1, 0, 0, 0, -1, 1, 1, 1, 0, 0},              // the year stops at 1 ...
      {9999, 12, 31, 0, 0, 0, +1, 9999, 12, 31, 0, 0},    // ... and at 9999
  };
  for (const Case& c : cases) {
    TForm form(nullptr);
    auto* picker = Place(&form, new TDateTimePicker(&form), 0, 0, 200, 24);
    picker->SetFormat("yyyy-MM-dd HH:mm");
    picker->SetDateTime(EncodeDateTime(c.Y, c.M, c.D, c.H, c.N, 0, 0));
    int32_t changes = 0;
    picker->OnChange = [&](TObject*) { ++changes; };
    form.Show();
    TInputSimulator sim;
    sim.PressKey(VK_LEFT);  // already at the first field
    for (int32_t i = 0; i < c.Field; ++i) sim.PressKey(VK_RIGHT);
    EXPECT_EQ(picker->SelectedField(), c.Field);
    sim.PressKey(c.Step > 0 ? VK_UP : VK_DOWN);
    uint16_t y, mo, d, h, mi, s, ms;
    DecodeDateTime(picker->DateTime(), y, mo, d, h, mi, s, ms);
    EXPECT_EQ((std::vector<int32_t>{y, mo, d, h, mi}), (std::vector<int32_t>{c.EY, c.EM, c.ED, c.EH, c.EN}))
        << c.Y << "-" << c.M << "-" << c.D << " field " << c.Field;
    const bool moved = !(c.Y == c.EY && c.M == c.EM && c.D == c.ED && c.H == c.EH && c.N == c.EN);
    EXPECT_EQ(changes, moved ? 1 : 0);
  }
  // 2024-02-29 12:00 is day 45351.5 after 1899-12-30 (Python: (datetime(2024,2,29,12) - datetime(1899,12,30)))
  TDateTimePicker picker(nullptr);
  picker.SetFormat("d 'of' MMMM yyyy");
  picker.SetDateTime(45351.5);
  EXPECT_EQ(picker.DisplayText(), "29 of February 2024");
  EXPECT_EQ(picker.FieldCount(), 3);
  EXPECT_EQ(picker.FieldLetter(1), 'M');
  EXPECT_THROW(picker.SetDateTime(std::numeric_limits<double>::quiet_NaN()), EConvertError);
  EXPECT_THROW(picker.SetDateTime(1e9), EConvertError);
  EXPECT_EQ(picker.DateTime(), 45351.5);
}

}  // namespace
}  // namespace vexa::testing
