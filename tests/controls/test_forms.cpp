// Forms, modality, dialogs, popup menus, cursors, printer, clipboard, beep.

#include "ControlsTestSupport.h"

#include "platform/controls/Vexa_dialogs.h"
#include "platform/controls/Vexa_menus.h"
#include "platform/graphics/Vexa_clipbrd.h"
#include "platform/graphics/Vexa_resources.h"

namespace vexa::testing {
namespace {

using FormsTest = ControlsTest;

TControl& Child(TForm& Form, const std::string& Name) {
  auto* control = dynamic_cast<TControl*>(Form.FindComponent(Name));
  if (!control) throw EComponentError("no control " + Name);
  return *control;
}

TEST_F(FormsTest, ModalHandlerScriptsFormsNestedAndWithoutHandlerCancels) {
  TForm outer(nullptr), inner(nullptr);
  outer.SetName("Outer");
  inner.SetName("Inner");
  auto* ok = Place(&outer, new TTestButton(&outer), 10, 10, 60, 24);
  ok->SetName("OK");
  ok->Result = mrOk;
  auto* yes = Place(&inner, new TTestButton(&inner), 10, 10, 60, 24);
  yes->SetName("Yes");
  yes->Result = mrYes;
  std::vector<std::string> seen;
  TModalResult innerResult = mrNone;
  SetModalHandler([&](TForm& form) {
    seen.push_back(form.Name() + (form.Modal() ? " modal" : ""));
    TInputSimulator sim;
    if (form.Name() == "Outer") {
      innerResult = inner.ShowModal();  // a modal form over a modal form
      EXPECT_FALSE(inner.Visible());
    }
    sim.ClickControl(Child(form, form.Name() == "Outer" ? "OK" : "Yes"));
  });
  EXPECT_EQ(outer.ShowModal(), mrOk);
  EXPECT_EQ(innerResult, mrYes);
  EXPECT_EQ(seen, (std::vector<std::string>{"Outer modal", "Inner modal"}));
  EXPECT_FALSE(outer.Visible());

  SetModalHandler(nullptr);
  std::vector<std::string> closes;
  outer.OnClose = [&](TObject*, TCloseAction&) { closes.push_back("close"); };
  EXPECT_EQ(outer.ShowModal(), mrCancel);  // headless, nobody answers
  EXPECT_EQ(closes.size(), 1u);
  // Close on a modal form gives mrCancel; OnClose fires once.
  SetModalHandler([](TForm& form) { form.Close(); });
  closes.clear();
  EXPECT_EQ(outer.ShowModal(), mrCancel);
  EXPECT_EQ(closes.size(), 1u);
  // A handler that vetoes closing keeps the result unset until a button answers.
  outer.OnCloseQuery = [](TObject*, bool& canClose) { canClose = false; };
  SetModalHandler([&](TForm& form) {
    form.Close();
    EXPECT_EQ(form.ModalResult(), mrNone);
    TestClock().Advance(DoubleClickTime + 1);  // not a double click with the first OK
    TInputSimulator sim;
    sim.ClickControl(*ok);
  });
  EXPECT_EQ(outer.ShowModal(), mrOk);
  outer.OnCloseQuery = nullptr;
  outer.Show();
  EXPECT_THROW(outer.ShowModal(), EInvalidOperation);
}

TEST_F(FormsTest, ModalFormBlocksInputToOtherForms) {
  TForm main(nullptr), dialog(nullptr);
  auto* target = Place(&main, new TLogControl(&main, Log, "Target"), 0, 0, 50, 50);
  main.Show();
  Log.clear();
  SetModalHandler([&](TForm&) {
    TInputSimulator sim;
    sim.ClickControl(*target);
  });
  dialog.ShowModal();
  EXPECT_TRUE(Log.empty());
}

TEST_F(FormsTest, FileAndColourDialogsConfirmedAndCancelled) {
  struct Case {
    std::string Keys;  // typed into the focused edit
    std::string Button;
    bool Expected;
    std::string ExpectedName;
  };
  const std::vector<Case> cases = {
      {"\b\b\b\bdata.csv", "OKButton", true, "/tmp/base/olddata.csv"},
      {"x", "CancelButton", false, "old.txt"},
      {"\b\bé😀", "OKButton", true, "/tmp/base/old.té😀"},  // Backspace removes whole code points
      {"\r", "", true, "/tmp/base/old.txt"},                   // Enter: the default button
      {"\x1b", "", false, "old.txt"},                          // Escape: the cancel button
  };
  for (const Case& c : cases) {
    TOpenDialog dialog(nullptr);
    dialog.SetFileName("old.txt");
    dialog.SetInitialDir("/tmp/base");
    std::string formName;
    SetModalHandler([&](TForm& form) {
      formName = form.Name();
      TInputSimulator sim;
      sim.Type(c.Keys);
      if (!c.Button.empty()) sim.ClickControl(Child(form, c.Button));
    });
    EXPECT_EQ(dialog.Execute(), c.Expected) << c.Keys;
    EXPECT_EQ(dialog.FileName(), c.ExpectedName) << c.Keys;
    EXPECT_EQ(formName, "OpenDialog");
  }
  TSaveDialog save(nullptr);
  SetModalHandler([](TForm& form) { EXPECT_EQ(form.Name(), "SaveDialog"); });
  EXPECT_FALSE(save.Execute());

  TColorDialog colour(nullptr);
  colour.SetColor(clRed);
  SetModalHandler([](TForm& form) {
    EXPECT_EQ(Child(form, "HexEdit").Text(), "FF0000");
    TInputSimulator sim;
    sim.ClickControl(Child(form, "Color12"));  // blue
    sim.ClickControl(Child(form, "OKButton"));
  });
  EXPECT_TRUE(colour.Execute());
  EXPECT_EQ(colour.Color(), clBlue);
  SetModalHandler([](TForm& form) {
    TInputSimulator sim;
    sim.ClickControl(Child(form, "Color9"));
    sim.PressKey(VK_ESCAPE);
  });
  EXPECT_FALSE(colour.Execute());
  EXPECT_EQ(colour.Color(), clBlue);
  SetModalHandler([](TForm& form) {
    TInputSimulator sim;
    sim.ClickControl(Child(form, "HexEdit"));
    sim.Type("\b\b\b\b\b\b12aBcD\r");  // typed hex, either case
    (void)form;
  });
  EXPECT_TRUE(colour.Execute());
  EXPECT_EQ(colour.Color(), RGB(0x12, 0xAB, 0xCD));
}

TEST_F(FormsTest, PopupMenuPositionHiddenItemsSubmenuAndClose) {
  TForm form(nullptr);
  form.SetBounds(100, 100, 300, 200);
  auto* box = Place(&form, new TLogControl(&form, Log, "Box"), 10, 10, 100, 100);
  auto* menu = new TPopupMenu(&form);
  auto item = [&](TMenuItem& parent, const std::string& name, const std::string& caption) {
    auto* i = new TMenuItem(&form);
    i->SetName(name);
    i->SetCaption(caption);
    i->OnClick = [this, name](TObject*) { Log.push_back("click " + name); };
    parent.Add(i);
    return i;
  };
  item(menu->Items(), "Copy", "Copy");
  TMenuItem* hidden = item(menu->Items(), "Secret", "Secret");
  hidden->SetVisible(false);
  TMenuItem* more = item(menu->Items(), "More", "More");
  TMenuItem* deep = item(*more, "Deep", "Deep");
  menu->OnPopup = [&](TObject*) { Log.push_back("popup"); };
  menu->OnClose = [&](TObject*) { Log.push_back("close"); };
  box->SetPopupMenu(menu);
  form.Show();

  TInputSimulator sim;
  sim.MoveTo(*box, 20, 30);
  Log.clear();
  sim.Click(mbRight);
  ASSERT_TRUE(menu->IsOpen());
  EXPECT_EQ(menu->PopupPoint(), Point(100 + 30, 100 + 40));  // screen coordinates
  EXPECT_EQ(menu->PopupComponent(), box);
  const TRect copyRect = menu->ItemScreenRect(menu->ItemByName("Copy"));
  EXPECT_EQ(copyRect.Top, 140 + 2);
  EXPECT_TRUE(menu->ItemScreenRect(hidden).IsEmpty());  // hidden items take no row
  EXPECT_EQ(menu->ItemScreenRect(more).Top, copyRect.Bottom);
  // The overlay shows in PaintTo.
  TBitmap shot;
  form.PaintTo(shot);
  EXPECT_EQ(PixelToColor(shot.ScanLine(copyRect.Top - 100 + 5)[copyRect.Left - 100 + 60]), ColorToRGB(clMenu));

  // Hover "More" to open its submenu, then choose "Deep".
  sim.MoveTo(form, menu->ItemScreenRect(more).Left - 100 + 5, menu->ItemScreenRect(more).Top - 100 + 5);
  const TRect deepRect = menu->ItemScreenRect(deep);
  ASSERT_FALSE(deepRect.IsEmpty());
  sim.MoveTo(form, deepRect.Left - 100 + 5, deepRect.Top - 100 + 5);
  sim.Click();
  EXPECT_FALSE(menu->IsOpen());
  auto menuLog = [this] {
    std::vector<std::string> lines;
    for (const auto& l : Log)
      if (!l.ends_with("enter") && !l.ends_with("leave")) lines.push_back(l);
    return lines;
  };
  // The right button's own down and up reach the box; the menu opens after.
  EXPECT_EQ(menuLog(), (std::vector<std::string>{"Box:down 20,30", "Box:up 20,30", "popup", "close", "click Deep"}));

  // A click outside closes without choosing; the click does not reach the box.
  Log.clear();
  menu->Popup(150, 150);
  sim.MoveTo(form, 290, 190);
  sim.Click();
  EXPECT_EQ(menuLog(), (std::vector<std::string>{"popup", "close"}));
  // Freeing the control whose menu is open leaves the menu without it.
  menu->Popup(150, 150);
  delete box;
  EXPECT_EQ(menu->PopupComponent(), nullptr);
  sim.PressKey(VK_ESCAPE);
  EXPECT_FALSE(menu->IsOpen());
}

TEST_F(FormsTest, ScreenCursorLogAndResourceCursors) {
  TForm form(nullptr);
  auto* box = Place(&form, new TLogControl(&form, Log, "Box"), 0, 0, 50, 50);
  box->SetCursor(crHandPoint);
  form.Show();
  Screen().ClearCursorLog();
  TInputSimulator sim;
  sim.MoveTo(form, 10, 10);
  EXPECT_EQ(HeadlessBackend()->PointerCursor(), crHandPoint);
  Screen().SetCursor(crHourGlass);
  EXPECT_EQ(HeadlessBackend()->PointerCursor(), crHourGlass);
  Screen().SetCursor(crDefault);
  EXPECT_EQ(HeadlessBackend()->PointerCursor(), crHandPoint);
  EXPECT_EQ(Screen().CursorLog(), (std::vector<TCursor>{crHourGlass, crDefault}));
  form.SetCursor(crCross);  // the box's own cursor still wins
  EXPECT_EQ(HeadlessBackend()->PointerCursor(), crHandPoint);
  box->SetCursor(crDefault);  // falls back to the parent's, at once
  EXPECT_EQ(HeadlessBackend()->PointerCursor(), crCross);

  RegisterBitmapResource("TESTCURSOR", [](TBitmap& b) { b.SetSize(16, 16); });
  Screen().LoadCursorFromResource(5, "TestCursor", Point(3, 40));
  const TCursorImage* image = Screen().Cursors(5);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->HotSpot, Point(3, 15));  // clamped into the picture
  EXPECT_EQ(image->Mask->Width(), 16);
  EXPECT_EQ(Screen().Cursors(crArrow), nullptr);
  EXPECT_THROW(Screen().LoadCursorFromResource(6, "NoSuchCursor", Point(0, 0)), EResNotFound);
  UnregisterBitmapResource("TESTCURSOR");
}

TEST_F(FormsTest, PrinterPagesReadBackAsBitmaps) {
  TPrinter& printer = Printer();
  EXPECT_THROW(printer.NewPage(), EInvalidOperation);
  printer.SetPageSize(100, 50);
  printer.BeginDoc();
  printer.Canvas().Brush().SetColor(clRed);
  printer.Canvas().FillRect(Rect(10, 10, 20, 20));
  printer.NewPage();
  EXPECT_THROW(printer.SetPageSize(10, 10), EInvalidOperation);
  printer.EndDoc();
  ASSERT_EQ(printer.PageCount(), 2);
  const TBitmap& page = printer.Pages(0);
  EXPECT_EQ(page.Width(), 100);
  EXPECT_EQ(PixelToColor(page.ScanLine(15)[15]), clRed);
  EXPECT_EQ(PixelToColor(page.ScanLine(5)[5]), clWhite);
  EXPECT_EQ(PixelToColor(printer.Pages(1).ScanLine(15)[15]), clWhite);
  EXPECT_THROW(printer.Pages(2), ERangeError);
}

TEST_F(FormsTest, ClipboardBitmapRoundTripAndBeepCount) {
  TBitmap picture;
  picture.SetSize(3, 2);
  picture.Canvas().SetPixels(1, 1, clLime);
  Clipboard().Assign(picture);
  EXPECT_TRUE(Clipboard().HasFormat(CF_BITMAP));
  TBitmap back;
  back.Assign(Clipboard());
  EXPECT_EQ(back.Width(), 3);
  EXPECT_EQ(PixelToColor(back.ScanLine(1)[1]), clLime);
  Clipboard().SetAsText("text");
  EXPECT_THROW(back.Assign(Clipboard()), EConvertError);  // a set replaces all formats
  Clipboard().Clear();

  ResetBeepCount();
  Beep();
  Beep();
  EXPECT_EQ(BeepCount(), 2);
}

TEST_F(FormsTest, RunClosesWithTheMainFormAndReleasedFormsAreFreed) {
  auto* main = new TForm(nullptr);
  Application().SetMainForm(main);
  Application().Run();  // headless: shows the form and returns when idle
  EXPECT_TRUE(main->Visible());
  main->OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
  main->Close();
  EXPECT_TRUE(Application().Terminated());
  Application().ProcessMessages();  // frees the released form
  EXPECT_EQ(Application().MainForm(), nullptr);
  EXPECT_EQ(Screen().FormCount(), 0);
}

}  // namespace
}  // namespace vexa::testing
