// The X11 backend in a real window on an X server (a private Xvfb unless
// DISPLAY names one). Events come from a second connection, as another
// program (or the window system) would send them; every wait has a generous
// upper bound and checks a condition, never a duration.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls/Vexa_buttons.h"
#include "platform/controls/Vexa_forms.h"
#include "platform/controls/Vexa_headless.h"
#include "platform/controls/Vexa_menus.h"
#include "platform/controls/Vexa_stdctrls.h"
#include "platform/controls/Vexa_timers.h"
#include "platform/graphics/Vexa_clipbrd.h"
#include "platform/graphics/Vexa_imagefiles.h"
#include "platform/x11/Vexa_x11.h"
#include "tests/support/TempDir.h"
#include "tests/x11/X11TestServer.h"

// Xlib's macros (KeyPress, None, ...) must come after the framework's headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace vexa {
namespace {

using namespace std::chrono_literals;

/// Runs the loop until Done holds; false after 20 s (a bound for slow
/// machines, not a measured time).
bool WaitUntil(const std::function<bool()>& Done) {
  const auto limit = std::chrono::steady_clock::now() + 20s;
  while (std::chrono::steady_clock::now() < limit) {
    Application().ProcessMessages();
    if (Done()) return true;
    Backend().PumpEvents(true, Backend().TickCount() + 20);
  }
  return Done();
}

bool SamePixels(TBitmap& A, TBitmap& B) {
  if (A.Width() != B.Width() || A.Height() != B.Height()) return false;
  for (int32_t y = 0; y < A.Height(); ++y) {
    for (int32_t x = 0; x < A.Width(); ++x) {
      if (A.ScanLine(y)[x] != B.ScanLine(y)[x]) return false;
    }
  }
  return true;
}

/// A form with an edit and a speed button at a fixed place on the screen;
/// counts the clicks of both.
struct TTestForm {
  TTestForm() : Form(new TForm(nullptr)) {
    Form->SetBounds(40, 30, 240, 120);
    Form->SetCaption("Vexa X11 test");
    Form->SetColor(0x00C0E0F0);
    Edit = new TEdit(Form.get());
    Edit->SetParent(Form.get());
    Edit->SetBounds(10, 10, 150, 24);
    Edit->OnClick = [this](TObject*) { ++EditClicks; };
    Button = new TSpeedButton(Form.get());
    Button->SetParent(Form.get());
    Button->SetBounds(10, 60, 80, 40);
    Button->SetCaption("Press");
    Button->OnClick = [this](TObject*) { ++ButtonClicks; };
  }
  std::unique_ptr<TForm> Form;
  TEdit* Edit;
  TSpeedButton* Button;
  int EditClicks = 0;
  int ButtonClicks = 0;
};

class X11BackendTest : public ::testing::Test {
protected:
  void SetUp() override {
    std::string reason;
    const std::string& display = testing::TestDisplay(reason);
    if (display.empty()) VEXA_SKIP_WITHOUT_X(reason);
    if (!X11Backend()) {
      std::string why;
      if (!InstallX11Backend(why, display)) VEXA_SKIP_WITHOUT_X(why);
    }
    Peer = XOpenDisplay(display.c_str());
    if (!Peer) VEXA_SKIP_WITHOUT_X("cannot open " + display);
    Application().ResetTerminated();
    Application().ClearHandledExceptions();
  }
  void TearDown() override {
    if (Peer) XCloseDisplay(Peer);
  }

  Window WindowOf(const TForm& Form) const { return X11Backend()->WindowOf(Form); }

  /// Shows the form and waits until its window shows its surface.
  void ShowAndSettle(TForm& Form) {
    Form.Show();
    ASSERT_NE(WindowOf(Form), 0u);
    ASSERT_TRUE(WaitUntil([&] { return DifferingPixels(Form) == 0; }))
        << DifferingPixels(Form) << " pixels of the window differ from PaintTo";
  }

  /// Pixels (RGB) in which the window's contents differ from PaintTo; -1
  /// when the window cannot be read yet.
  int64_t DifferingPixels(TForm& Form, TBitmap* Shot = nullptr) {
    TBitmap expected;
    Form.PaintTo(expected);
    XImage* image = XGetImage(Peer, WindowOf(Form), 0, 0, static_cast<unsigned>(expected.Width()),
                              static_cast<unsigned>(expected.Height()), AllPlanes, ZPixmap);
    if (!image) return -1;
    if (Shot) Shot->SetSize(expected.Width(), expected.Height());
    int64_t differing = 0;
    for (int32_t y = 0; y < expected.Height(); ++y) {
      for (int32_t x = 0; x < expected.Width(); ++x) {
        const uint32_t shown = static_cast<uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFF;
        if (Shot) Shot->ScanLine(y)[x] = 0xFF000000 | shown;
        if (shown != (expected.ScanLine(y)[x] & 0xFFFFFF)) ++differing;
      }
    }
    XDestroyImage(image);
    return differing;
  }

  void SendButton(Window W, int Type, unsigned Button, int X, int Y, unsigned State) {
    XEvent e{};
    e.xbutton.type = Type;
    e.xbutton.window = W;
    e.xbutton.root = DefaultRootWindow(Peer);
    e.xbutton.x = X;
    e.xbutton.y = Y;
    e.xbutton.button = Button;
    e.xbutton.state = State;
    e.xbutton.same_screen = True;
    XSendEvent(Peer, W, True, Type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &e);
    XFlush(Peer);
  }

  void SendKey(Window W, KeySym Sym, unsigned State) {
    XEvent e{};
    e.xkey.window = W;
    e.xkey.root = DefaultRootWindow(Peer);
    e.xkey.keycode = XKeysymToKeycode(Peer, Sym);
    e.xkey.state = State;
    e.xkey.same_screen = True;
    e.xkey.type = KeyPress;
    XSendEvent(Peer, W, True, KeyPressMask, &e);
    e.xkey.type = KeyRelease;
    XSendEvent(Peer, W, True, KeyReleaseMask, &e);
    XFlush(Peer);
  }

  void SendDeleteWindow(Window W) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = W;
    e.xclient.message_type = XInternAtom(Peer, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(Peer, "WM_DELETE_WINDOW", False));
    XSendEvent(Peer, W, False, NoEventMask, &e);
    XFlush(Peer);
  }

  Display* Peer = nullptr;
};

TEST_F(X11BackendTest, WindowShowsTheSurfacePixelForPixel) {
  TTestForm t;
  ShowAndSettle(*t.Form);
  TBitmap shot;
  EXPECT_EQ(DifferingPixels(*t.Form, &shot), 0);
  testing::TempDir dir;
  TPNGImage png;
  png.Assign(shot);
  png.SaveToFile(dir.File("window.png"));
  TPNGImage back;
  back.LoadFromFile(dir.File("window.png"));
  EXPECT_EQ(back.Width(), t.Form->Width());

  // A repaint reaches the window too.
  t.Edit->SetText("changed");
  t.Button->SetCaption("Again");
  EXPECT_TRUE(WaitUntil([&] { return DifferingPixels(*t.Form) == 0; }));
  X11Backend()->Sync();
  EXPECT_EQ(TX11Backend::ProtocolErrorCount(), 0);
}

TEST_F(X11BackendTest, OpenPopupMenuShowsInTheWindow) {
  TTestForm t;
  TPopupMenu menu(t.Form.get());
  for (const char* caption : {"First", "Second"}) {
    auto* item = new TMenuItem(&menu);
    item->SetCaption(caption);
    menu.Items().Add(item);
  }
  menu.SetPopupComponent(t.Form.get());
  ShowAndSettle(*t.Form);
  TBitmap plain;
  t.Form->PaintTo(plain);
  menu.Popup(t.Form->Left() + 100, t.Form->Top() + 20);
  TBitmap withMenu;
  t.Form->PaintTo(withMenu);
  ASSERT_FALSE(SamePixels(plain, withMenu));  // the menu is drawn over the form
  EXPECT_TRUE(WaitUntil([&] { return DifferingPixels(*t.Form) == 0; }));
  bool closed = false;
  menu.OnClose = [&](TObject*) { closed = true; };
  SendKey(WindowOf(*t.Form), XK_Escape, 0);  // closing it restores the window
  ASSERT_TRUE(WaitUntil([&] { return closed; }));
  EXPECT_TRUE(WaitUntil([&] { return DifferingPixels(*t.Form) == 0; }));
}

TEST_F(X11BackendTest, SentClickFiresOnClick) {
  TTestForm t;
  ShowAndSettle(*t.Form);
  const Window w = WindowOf(*t.Form);
  SendButton(w, ButtonPress, Button1, 30, 80, 0);
  SendButton(w, ButtonRelease, Button1, 30, 80, Button1Mask);
  ASSERT_TRUE(WaitUntil([&] { return t.ButtonClicks == 1; }));
  EXPECT_EQ(t.EditClicks, 0);
  // Released outside the pressed control: no click.
  SendButton(w, ButtonPress, Button1, 30, 80, 0);
  SendButton(w, ButtonRelease, Button1, 30, 20, Button1Mask);
  SendButton(w, ButtonPress, Button1, 20, 20, 0);  // then a click on the edit, to know all arrived
  SendButton(w, ButtonRelease, Button1, 20, 20, Button1Mask);
  ASSERT_TRUE(WaitUntil([&] { return t.EditClicks == 1; }));
  EXPECT_EQ(t.ButtonClicks, 1);
}

TEST_F(X11BackendTest, SentKeysReachTheEditsText) {
  TTestForm t;
  t.Form->SetActiveControl(t.Edit);
  ShowAndSettle(*t.Form);
  const Window w = WindowOf(*t.Form);
  struct TKeyCase {
    std::vector<std::pair<KeySym, unsigned>> Keys;
    std::string Text;
  };
  // Each row continues from the text the previous one left.
  const TKeyCase cases[] = {
      {{{XK_h, ShiftMask}, {XK_i, 0}, {XK_5, 0}}, "Hi5"},      // characters, Shift
      {{{XK_Left, 0}, {XK_x, 0}, {XK_space, 0}}, "Hix 5"},     // a key without a character moves the caret
      {{{XK_BackSpace, 0}, {XK_End, 0}, {XK_period, 0}}, "Hix5."},
      {{{XK_a, ControlMask}, {XK_z, 0}}, "z"},                 // Ctrl+A selects all, typing replaces it
  };
  for (const TKeyCase& c : cases) {
    for (const auto& [sym, state] : c.Keys) SendKey(w, sym, state);
    ASSERT_TRUE(WaitUntil([&] { return t.Edit->Text() == c.Text; })) << t.Edit->Text() << " instead of " << c.Text;
  }
}

TEST_F(X11BackendTest, WheelMovesAndCrossingReachTheControls) {
  TTestForm t;
  ShowAndSettle(*t.Form);
  const Window w = WindowOf(*t.Form);
  std::vector<std::string> log;
  t.Edit->OnMouseWheel = [&](TObject*, TShiftState, int32_t delta, TPoint, bool& handled) {
    log.push_back("wheel " + std::to_string(delta));
    handled = true;
  };
  t.Button->OnMouseEnter = [&](TObject*) { log.push_back("enter button"); };
  t.Button->OnMouseLeave = [&](TObject*) { log.push_back("leave button"); };
  auto send = [&](int type, int x, int y) {
    XEvent e{};
    e.type = type;
    if (type == MotionNotify) {
      e.xmotion.window = w;
      e.xmotion.x = x;
      e.xmotion.y = y;
      XSendEvent(Peer, w, True, PointerMotionMask, &e);
    } else {
      e.xcrossing.window = w;
      e.xcrossing.mode = NotifyNormal;
      e.xcrossing.x = x;
      e.xcrossing.y = y;
      XSendEvent(Peer, w, True, type == EnterNotify ? EnterWindowMask : LeaveWindowMask, &e);
    }
    XFlush(Peer);
  };
  // The wheel goes to the control under the pointer (nothing has the focus).
  // Moves keep their place among the other events.
  t.Form->SetActiveControl(nullptr);
  send(EnterNotify, 30, 80);
  send(MotionNotify, 200, 20);
  SendButton(w, ButtonPress, Button4, 20, 20, 0);
  SendButton(w, ButtonRelease, Button4, 20, 20, 0);
  SendButton(w, ButtonPress, Button5, 20, 20, 0);
  send(MotionNotify, 30, 90);
  send(LeaveNotify, -1, 90);
  const std::vector<std::string> expected = {"enter button", "leave button", "wheel 120",
                                             "wheel -120",   "enter button", "leave button"};
  ASSERT_TRUE(WaitUntil([&] { return log.size() >= expected.size(); })) << ::testing::PrintToString(log);
  EXPECT_EQ(log, expected);
}

TEST_F(X11BackendTest, WindowResizedOnTheServerResizesTheForm) {
  TTestForm t;
  ShowAndSettle(*t.Form);
  int resized = 0;
  t.Form->OnResize = [&](TObject*) { ++resized; };
  XResizeWindow(Peer, WindowOf(*t.Form), 300, 150);
  XFlush(Peer);
  ASSERT_TRUE(WaitUntil([&] { return t.Form->Width() == 300 && t.Form->Height() == 150; }));
  EXPECT_EQ(resized, 1);
  EXPECT_EQ(t.Form->Left(), 40);  // the position stays
  EXPECT_TRUE(WaitUntil([&] { return DifferingPixels(*t.Form) == 0; }));
}

TEST_F(X11BackendTest, TimerTicksOnTheRealClock) {
  std::vector<int64_t> ticks;
  const HWND h = AllocateHWnd([&](TMessage& m) {
    if (m.Msg == WM_TIMER) ticks.push_back(Backend().TickCount());
  });
  const int64_t armed = Backend().TickCount();
  ASSERT_TRUE(SetTimer(h, 1, 100));
  const bool ticked = WaitUntil([&] { return ticks.size() >= 3; });
  DeallocateHWnd(h);
  ASSERT_TRUE(ticked);
  // The k-th tick never comes before its deadline.
  for (size_t k = 0; k < 3; ++k) EXPECT_GE(ticks[k], armed + 100 * static_cast<int64_t>(k + 1));
}

TEST_F(X11BackendTest, ClosingTheWindowEndsRun) {
  TTestForm t;
  ShowAndSettle(*t.Form);
  Application().SetMainForm(t.Form.get());
  bool watchdogFired = false;
  // A guard against a hang: ends Run if the close never arrives.
  const HWND guard = AllocateHWnd([&](TMessage&) {
    watchdogFired = true;
    Application().Terminate();
  });
  SetTimer(guard, 1, 20000);
  SendDeleteWindow(WindowOf(*t.Form));
  Application().Run();
  DeallocateHWnd(guard);
  EXPECT_FALSE(watchdogFired);
  EXPECT_FALSE(t.Form->Visible());
  EXPECT_EQ(WindowOf(*t.Form), 0u);
  Application().SetMainForm(nullptr);
}

TEST_F(X11BackendTest, ClipboardTextIsServedToOtherPrograms) {
  const std::string text = "Gr\xC3\xBC\xC3\x9F" "e \xCF\x80";  // "Grüße π"
  Clipboard().SetAsText(text);
  const Atom clipboard = XInternAtom(Peer, "CLIPBOARD", False);
  const Atom property = XInternAtom(Peer, "VEXA_TEST", False);
  const Atom targetsAtom = XInternAtom(Peer, "TARGETS", False);
  const Atom utf8 = XInternAtom(Peer, "UTF8_STRING", False);
  ASSERT_TRUE(WaitUntil([&] { return XGetSelectionOwner(Peer, clipboard) != None; }));
  const Window requestor = XCreateSimpleWindow(Peer, DefaultRootWindow(Peer), 0, 0, 1, 1, 0, 0, 0);

  // Asks for the clipboard in a format; the bytes and type of the answer.
  auto request = [&](Atom Target, Atom& Type) {
    XConvertSelection(Peer, clipboard, Target, property, requestor, CurrentTime);
    XFlush(Peer);
    XEvent e{};
    if (!WaitUntil([&] { return XCheckTypedWindowEvent(Peer, requestor, SelectionNotify, &e) != 0; })) return std::string("<no answer>");
    if (e.xselection.property == None) return std::string("<refused>");
    int format = 0;
    unsigned long count = 0, rest = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(Peer, requestor, property, 0, 1 << 16, True, AnyPropertyType, &Type, &format, &count, &rest,
                       &data);
    std::string bytes;
    if (data) {
      const size_t unit = format == 32 ? sizeof(long) : static_cast<size_t>(format / 8);
      bytes.assign(reinterpret_cast<const char*>(data), count * unit);
      XFree(data);
    }
    return bytes;
  };

  struct TCase {
    Atom Target;
    std::string Expected;
  };
  const TCase cases[] = {
      {utf8, text},
      {XA_STRING, "Gr\xFC\xDF" "e ?"},  // Latin-1; pi has no Latin-1 form
  };
  for (const TCase& c : cases) {
    Atom type = 0;
    EXPECT_EQ(request(c.Target, type), c.Expected);
    EXPECT_EQ(type, c.Target);
  }
  Atom type = 0;
  const std::string targets = request(targetsAtom, type);
  ASSERT_EQ(targets.size(), 3 * sizeof(long));
  const auto* atoms = reinterpret_cast<const long*>(targets.data());
  const std::vector<long> got(atoms, atoms + 3);
  EXPECT_EQ(got, (std::vector<long>{static_cast<long>(targetsAtom), static_cast<long>(utf8), static_cast<long>(XA_STRING)}));
  EXPECT_EQ(request(XInternAtom(Peer, "image/png", False), type), "<refused>");

  // A clipboard without text gives the selection up.
  Clipboard().Clear();
  EXPECT_TRUE(WaitUntil([&] { return XGetSelectionOwner(Peer, clipboard) == None; }));
  XDestroyWindow(Peer, requestor);
}

TEST_F(X11BackendTest, ModalFormIsATransientWindowInANestedLoop) {
  TTestForm t;
  ShowAndSettle(*t.Form);
  TForm modal(nullptr);
  modal.SetBounds(80, 60, 120, 60);
  Window owner = 0;
  bool closeSent = false;
  // Runs inside ShowModal's loop: a click on the main form (ignored while
  // the modal form runs), then the window manager's close of the modal form.
  const HWND script = AllocateHWnd([&](TMessage&) {
    const Window w = WindowOf(modal);
    if (closeSent || w == 0) return;
    XGetTransientForHint(Peer, w, &owner);
    SendButton(WindowOf(*t.Form), ButtonPress, Button1, 30, 80, 0);
    SendButton(WindowOf(*t.Form), ButtonRelease, Button1, 30, 80, Button1Mask);
    SendDeleteWindow(w);
    closeSent = true;
  });
  SetTimer(script, 1, 50);
  const TModalResult result = modal.ShowModal();
  DeallocateHWnd(script);
  EXPECT_TRUE(closeSent);
  EXPECT_EQ(result, mrCancel);
  EXPECT_EQ(owner, WindowOf(*t.Form));
  EXPECT_EQ(WindowOf(modal), 0u);
  EXPECT_EQ(t.ButtonClicks, 0);
}

TEST_F(X11BackendTest, CursorsOfEveryKindAreAccepted) {
  TTestForm t;
  ShowAndSettle(*t.Form);
  TCursorImage picture;
  picture.Image = std::make_shared<TBitmap>();
  picture.Image->SetSize(16, 16);
  picture.Image->Canvas().Brush().SetColor(clWhite);
  picture.Image->Canvas().FillRect(Rect(0, 0, 8, 16));
  picture.HotSpot = Point(40, -3);  // outside: clamped to the picture
  Screen().SetCursors(1, picture);
  const int64_t errorsBefore = TX11Backend::ProtocolErrorCount();
  for (const TCursor c : {TCursor{1}, crNone, crHandPoint, crIBeam, crSizeNESW, TCursor{2}, crDefault})
    Screen().SetCursor(c);
  // A new picture for the same id makes a new cursor.
  picture.Image = std::make_shared<TBitmap>();
  picture.Image->SetSize(8, 8);
  Screen().SetCursors(1, picture);
  Screen().SetCursor(1);
  Screen().SetCursor(crDefault);
  X11Backend()->Beep();
  X11Backend()->Sync();
  EXPECT_EQ(TX11Backend::ProtocolErrorCount(), errorsBefore);
  Screen().SetCursors(1, TCursorImage{});
}

TEST(X11BackendSwitch, TimerTimeContinuesFromTheHeadlessClock) {
  std::string reason;
  const std::string display = testing::TestDisplay(reason);
  if (display.empty()) VEXA_SKIP_WITHOUT_X(reason);
  SetBackend(nullptr);
  TestClock().Advance(5000);
  int64_t ticks = 0;
  const HWND h = AllocateHWnd([&](TMessage&) { ++ticks; });
  SetTimer(h, 1, 100);  // due at 5100 on the headless clock
  std::string why;
  ASSERT_TRUE(InstallX11Backend(why, display)) << why;
  EXPECT_GE(Backend().TickCount(), 5000);
  // Deadlines stay meaningful: no burst of ticks to catch up with another clock.
  EXPECT_TRUE(WaitUntil([&] { return ticks >= 1; }));
  EXPECT_LT(ticks, 1000);
  DeallocateHWnd(h);
  SetBackend(nullptr);
}

TEST(X11BackendVisual, DisplayWithoutTrueColorIsRefused) {
  testing::TXvfb server("640x480x16");
  if (server.Display().empty()) VEXA_SKIP_WITHOUT_X(server.Error());
  std::string why;
  EXPECT_EQ(TX11Backend::Open(server.Display(), why), nullptr);
  EXPECT_NE(why.find("24-bit TrueColor"), std::string::npos) << why;
  EXPECT_EQ(TX11Backend::Open(":65000", why), nullptr);  // no such server
  EXPECT_NE(why.find("Cannot open the X display"), std::string::npos) << why;
}

}  // namespace
}  // namespace vexa
