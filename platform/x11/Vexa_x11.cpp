// The X11 backend: connection, windows, painting, event translation, the
// event wait, cursors and the CLIPBOARD selection.

#include "platform/x11/Vexa_x11.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <chrono>
#include <climits>
#include <cstdio>
#include <optional>
#include <utility>
#include <vector>

#include "platform/controls/Vexa_forms.h"
#include "platform/controls/Vexa_input.h"
#include "platform/controls/internal/Vexa_framework.h"
#include "platform/graphics/Vexa_clipbrd.h"
#include "platform/graphics/Vexa_fontcache.h"

// Xlib defines macros named like framework members (KeyPress, None, ...):
// it comes after the framework's headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <poll.h>

namespace vexa {

namespace {

std::atomic<int64_t> GProtocolErrors{0};
std::atomic<Display*> GCountedDisplay{nullptr};  // the connection of the backend in use

/// Xlib's default handler ends the program on any protocol error (for
/// example a window that vanished between two requests); count the errors
/// of the backend's connection instead and ignore those of other ones.
int RecordProtocolError(Display* Dpy, XErrorEvent*) {
  if (Dpy == GCountedDisplay.load()) GProtocolErrors.fetch_add(1);
  return 0;
}

/// A cursor made for an id; Source is the picture of an application cursor
/// (a new picture for the id makes a new cursor).
struct TCursorEntry {
  TCursor Id;
  const TBitmap* Source;
  Cursor Handle;
};

/// A window showing a form.
struct TFormWindow {
  Window Handle = 0;
  TControlRef Form;
};

/// The font cursor of a stock cursor id (0: none, use the default).
unsigned int FontCursorShape(TCursor Cursor) {
  switch (Cursor) {
    case crArrow: return XC_left_ptr;
    case crCross: return XC_crosshair;
    case crIBeam: return XC_xterm;
    case crSizeNESW: return XC_bottom_left_corner;
    case crSizeNWSE: return XC_bottom_right_corner;
    case crSizeNS: case crVSplit: return XC_sb_v_double_arrow;
    case crSizeWE: case crHSplit: return XC_sb_h_double_arrow;
    case crUpArrow: return XC_sb_up_arrow;
    case crHourGlass: case crSQLWait: case crAppStart: return XC_watch;
    case crDrag: case crMultiDrag: return XC_fleur;
    case crNoDrop: case crNo: return XC_circle;
    case crHelp: return XC_question_arrow;
    case crHandPoint: return XC_hand2;
    case crSizeAll: return XC_fleur;
    default: return 0;
  }
}

/// The framework's shift state of an X modifier and button state.
TShiftState ShiftOf(unsigned int State) {
  TShiftState s = 0;
  if (State & ShiftMask) s |= ShiftBit(ssShift);
  if (State & ControlMask) s |= ShiftBit(ssCtrl);
  if (State & Mod1Mask) s |= ShiftBit(ssAlt);
  if (State & Button1Mask) s |= ShiftBit(ssLeft);
  if (State & Button2Mask) s |= ShiftBit(ssMiddle);
  if (State & Button3Mask) s |= ShiftBit(ssRight);
  return s;
}

/// The framework's button of an X button number (1 left, 2 middle, 3 right).
std::optional<TMouseButton> ButtonOf(unsigned int XButton) {
  switch (XButton) {
    case Button1: return mbLeft;
    case Button2: return mbMiddle;
    case Button3: return mbRight;
    default: return std::nullopt;
  }
}

TShiftStateItem ShiftItemOf(TMouseButton Button) {
  return Button == mbLeft ? ssLeft : Button == mbRight ? ssRight : ssMiddle;
}

/// Latin-1 bytes of UTF-8 text; characters beyond Latin-1 become '?'.
std::string Latin1Of(const std::string& Utf8) {
  std::string out;
  for (const uint32_t c : fontcache::DecodeText(Utf8)) out += static_cast<char>(c <= 0xFF ? c : '?');
  return out;
}

}  // namespace

struct TX11Backend::TImpl {
  Display* Dpy = nullptr;
  int ScreenNo = 0;
  Visual* VisualPtr = nullptr;
  int Depth = 24;
  Colormap Cmap = 0;
  bool OwnColormap = false;
  Window Helper = 0;  // unmapped window owning the CLIPBOARD selection
  GC Gc = nullptr;
  Atom WmProtocols = 0, WmDeleteWindow = 0, Utf8String = 0, Targets = 0, ClipboardAtom = 0, NetWmName = 0;
  std::vector<TFormWindow> Windows;
  std::vector<TCursorEntry> Cursors;
  TCursor PointerCursor = crDefault;
  // Timer time continues from the backend in use when this one was opened,
  // so timers armed before the switch keep their deadlines.
  int64_t TickOrigin = 0;
  std::chrono::steady_clock::time_point OpenedAt;
  bool ApplyingServerGeometry = false;
  bool OwnsClipboard = false;
  std::optional<std::string> ClaimedText;  // the clipboard text last offered
  TBitmap Composed;  // a form's surface with its popup menu or dropped list drawn over it

  ~TImpl();
  TFormWindow* FindWindow(Window W);
  TFormWindow* FindForm(const TForm& Form);
  Window CreateFormWindow(TForm& Form);
  void UpdateTitle(Window W, const TForm& Form);
  void UpdateSizeHints(Window W, const TForm& Form);
  void PutSurface(Window W, TForm& Form, TRect Area);
  Cursor CursorFor(TCursor Id);
  Cursor CreateBlankCursor();
  Cursor CreateImageCursor(const TCursorImage& Image);
  bool DrainEvents();
  void HandleEvent(XEvent& E);
  void HandleFormEvent(XEvent& E, TForm& Form);
  void SkipToLatestMove(XEvent& E);
  void HandleButton(const XButtonEvent& E, TForm& Form);
  void HandleKey(XKeyEvent& E, TForm& Form);
  void HandleConfigure(const XConfigureEvent& E, TForm& Form);
  void HandleClientMessage(const XClientMessageEvent& E, TForm& Form);
  void ServeSelection(const XSelectionRequestEvent& E);
  void OfferClipboard();
  size_t MaxPropertyBytes() const;
};

TX11Backend::TImpl::~TImpl() {
  if (!Dpy) return;
  for (const TFormWindow& w : Windows) XDestroyWindow(Dpy, w.Handle);
  for (const TCursorEntry& c : Cursors) XFreeCursor(Dpy, c.Handle);
  if (Gc) XFreeGC(Dpy, Gc);
  if (Helper) XDestroyWindow(Dpy, Helper);
  if (OwnColormap) XFreeColormap(Dpy, Cmap);
  XCloseDisplay(Dpy);
}

TFormWindow* TX11Backend::TImpl::FindWindow(Window W) {
  for (TFormWindow& w : Windows)
    if (w.Handle == W) return &w;
  return nullptr;
}

TFormWindow* TX11Backend::TImpl::FindForm(const TForm& Form) {
  for (TFormWindow& w : Windows)
    if (w.Form.Get() == &Form) return &w;
  return nullptr;
}

// ------------------------------------------------------------------ windows

Window TX11Backend::TImpl::CreateFormWindow(TForm& Form) {
  XSetWindowAttributes a{};
  a.background_pixmap = None;  // the surface covers the whole window
  a.border_pixel = 0;
  a.colormap = Cmap;
  a.bit_gravity = NorthWestGravity;
  a.event_mask = ExposureMask | KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                 PointerMotionMask | EnterWindowMask | LeaveWindowMask | FocusChangeMask | StructureNotifyMask;
  const Window w = XCreateWindow(Dpy, RootWindow(Dpy, ScreenNo), Form.Left(), Form.Top(),
                                 static_cast<unsigned>(std::max(Form.Width(), 1)),
                                 static_cast<unsigned>(std::max(Form.Height(), 1)), 0, Depth, InputOutput,
                                 VisualPtr, CWBackPixmap | CWBorderPixel | CWColormap | CWBitGravity | CWEventMask, &a);
  Atom protocols[] = {WmDeleteWindow};
  XSetWMProtocols(Dpy, w, protocols, 1);
  XWMHints wmHints{};
  wmHints.flags = InputHint;
  wmHints.input = True;  // the window takes the keyboard focus when the window manager offers it
  XSetWMHints(Dpy, w, &wmHints);
  UpdateTitle(w, Form);
  UpdateSizeHints(w, Form);
  if (Form.Modal()) {
    // A modal form stays above the form that was active when it opened.
    TForm* owner = Screen().ActiveForm();
    if (!owner || owner == &Form) owner = Application().MainForm();
    if (owner && owner != &Form)
      if (const TFormWindow* ow = FindForm(*owner)) XSetTransientForHint(Dpy, w, ow->Handle);
  }
  if (const Cursor c = CursorFor(PointerCursor)) XDefineCursor(Dpy, w, c);
  return w;
}

void TX11Backend::TImpl::UpdateTitle(Window W, const TForm& Form) {
  const std::string& title = Form.Caption();
  const std::string latin1 = Latin1Of(title);
  XStoreName(Dpy, W, latin1.c_str());
  XChangeProperty(Dpy, W, NetWmName, Utf8String, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(title.data()), static_cast<int>(std::min<size_t>(title.size(), INT_MAX)));
}

void TX11Backend::TImpl::UpdateSizeHints(Window W, const TForm& Form) {
  XSizeHints hints{};
  hints.flags = USPosition | USSize;
  hints.x = Form.Left();
  hints.y = Form.Top();
  hints.width = std::max(Form.Width(), 1);
  hints.height = std::max(Form.Height(), 1);
  const TFormBorderStyle border = Form.BorderStyle();
  if (border != bsSizeable && border != bsSizeToolWin) {
    hints.flags |= PMinSize | PMaxSize;
    hints.min_width = hints.max_width = hints.width;
    hints.min_height = hints.max_height = hints.height;
  }
  XSetWMNormalHints(Dpy, W, &hints);
}

void TX11Backend::TImpl::PutSurface(Window W, TForm& Form, TRect Area) {
  // An open popup menu or dropped list is no part of the surface: the window
  // then shows a composed copy, as PaintTo does.
  TBitmap* shown = &Form.Surface();
  if (framework::HasOverlays(Form)) {
    Composed.Assign(Form.Surface());
    framework::PaintOverlays(Form, Composed);
    shown = &Composed;
  }
  TBitmap& surface = *shown;
  Area = IntersectRect(Area, Rect(0, 0, surface.Width(), surface.Height()));
  if (Area.IsEmpty()) return;
  // The surface's 32-bit pixels ($AARRGGBB in host order) are a ZPixmap of
  // the 24-bit TrueColor visual: describe them in place, without a copy.
  XImage image{};
  image.width = surface.Width();
  image.height = surface.Height();
  image.format = ZPixmap;
  image.data = reinterpret_cast<char*>(surface.ScanLine(0));
  image.byte_order = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;
  image.bitmap_unit = 32;
  image.bitmap_bit_order = image.byte_order;
  image.bitmap_pad = 32;
  image.depth = Depth;
  image.bytes_per_line = surface.Width() * 4;
  image.bits_per_pixel = 32;
  image.red_mask = 0xFF0000;
  image.green_mask = 0xFF00;
  image.blue_mask = 0xFF;
  if (!XInitImage(&image)) return;
  XPutImage(Dpy, W, Gc, &image, Area.Left, Area.Top, Area.Left, Area.Top, static_cast<unsigned>(Area.Width()),
            static_cast<unsigned>(Area.Height()));
}

// ------------------------------------------------------------------ cursors

Cursor TX11Backend::TImpl::CursorFor(TCursor Id) {
  if (Id == crDefault) return None;
  const TCursorImage* image = Id > 0 ? Screen().Cursors(Id) : nullptr;
  const TBitmap* source = image ? image->Image.get() : nullptr;
  for (auto it = Cursors.begin(); it != Cursors.end(); ++it) {
    if (it->Id != Id) continue;
    if (it->Source == source) return it->Handle;
    XFreeCursor(Dpy, it->Handle);  // the application replaced the picture
    Cursors.erase(it);
    break;
  }
  Cursor made = None;
  if (Id == crNone) made = CreateBlankCursor();
  else if (image) made = CreateImageCursor(*image);
  else if (const unsigned int shape = FontCursorShape(Id)) made = XCreateFontCursor(Dpy, shape);
  if (made != None) Cursors.push_back({Id, source, made});
  return made;
}

Cursor TX11Backend::TImpl::CreateBlankCursor() {
  const char zero = 0;
  const Pixmap empty = XCreateBitmapFromData(Dpy, Helper, &zero, 1, 1);
  XColor black{};
  const Cursor c = XCreatePixmapCursor(Dpy, empty, empty, &black, &black, 0, 0);
  XFreePixmap(Dpy, empty);
  return c;
}

Cursor TX11Backend::TImpl::CreateImageCursor(const TCursorImage& Image) {
  const TBitmap& picture = *Image.Image;
  const int32_t w = picture.Width(), h = picture.Height();
  unsigned int bestW = 0, bestH = 0;
  XQueryBestCursor(Dpy, Helper, static_cast<unsigned>(std::max(w, 1)), static_cast<unsigned>(std::max(h, 1)), &bestW,
                   &bestH);
  if (w <= 0 || h <= 0 || static_cast<unsigned>(w) > bestW || static_cast<unsigned>(h) > bestH) return None;
  const bool haveMask = Image.Mask && Image.Mask->Width() == w && Image.Mask->Height() == h;
  // Bitmaps in XBM layout: rows padded to bytes, least significant bit first.
  const size_t stride = (static_cast<size_t>(w) + 7) / 8;
  std::vector<char> source(stride * static_cast<size_t>(h)), mask(source.size());
  for (int32_t y = 0; y < h; ++y) {
    const uint32_t* row = picture.ScanLine(y);
    const uint32_t* maskRow = haveMask ? Image.Mask->ScanLine(y) : nullptr;
    for (int32_t x = 0; x < w; ++x) {
      const uint32_t p = row[x];
      const uint32_t luma = ((p >> 16) & 0xFF) * 299 + ((p >> 8) & 0xFF) * 587 + (p & 0xFF) * 114;
      const bool dark = luma < 128000;
      const bool shown = !maskRow || (maskRow[x] & 0xFFFFFF) == 0;  // black mask pixels are shown
      const size_t at = static_cast<size_t>(y) * stride + static_cast<size_t>(x) / 8;
      const char bit = static_cast<char>(1 << (x % 8));
      if (dark) source[at] = static_cast<char>(source[at] | bit);
      if (shown) mask[at] = static_cast<char>(mask[at] | bit);
    }
  }
  const Pixmap sourceMap = XCreateBitmapFromData(Dpy, Helper, source.data(), static_cast<unsigned>(w), static_cast<unsigned>(h));
  const Pixmap maskMap = XCreateBitmapFromData(Dpy, Helper, mask.data(), static_cast<unsigned>(w), static_cast<unsigned>(h));
  XColor black{}, white{};
  white.red = white.green = white.blue = 0xFFFF;
  const unsigned hotX = static_cast<unsigned>(std::clamp(Image.HotSpot.X, 0, w - 1));
  const unsigned hotY = static_cast<unsigned>(std::clamp(Image.HotSpot.Y, 0, h - 1));
  const Cursor c = XCreatePixmapCursor(Dpy, sourceMap, maskMap, &black, &white, hotX, hotY);
  XFreePixmap(Dpy, sourceMap);
  XFreePixmap(Dpy, maskMap);
  return c;
}

// ------------------------------------------------------------------- events

bool TX11Backend::TImpl::DrainEvents() {
  bool any = false;
  while (XPending(Dpy) > 0) {
    XEvent e;
    XNextEvent(Dpy, &e);
    any = true;
    HandleEvent(e);
  }
  return any;
}

void TX11Backend::TImpl::HandleEvent(XEvent& E) {
  switch (E.type) {
    case SelectionRequest:
      ServeSelection(E.xselectionrequest);
      return;
    case SelectionClear:
      if (E.xselectionclear.selection == ClipboardAtom) OwnsClipboard = false;
      return;
    case MappingNotify:
      XRefreshKeyboardMapping(&E.xmapping);
      return;
    default:
      break;
  }
  const TFormWindow* w = FindWindow(E.xany.window);
  TForm* form = w ? static_cast<TForm*>(w->Form.Get()) : nullptr;
  if (!form) return;  // a window already gone
  const TControlRef formRef(form);
  try {
    HandleFormEvent(E, *form);
  } catch (...) {
    Application().HandleException(formRef.Get());  // the form may be gone by now
  }
}

void TX11Backend::TImpl::HandleFormEvent(XEvent& E, TForm& Form) {
  switch (E.type) {
    case Expose:
      PutSurface(E.xexpose.window, Form,
                 Rect(E.xexpose.x, E.xexpose.y, E.xexpose.x + E.xexpose.width, E.xexpose.y + E.xexpose.height));
      break;
    case ConfigureNotify: HandleConfigure(E.xconfigure, Form); break;
    case ClientMessage: HandleClientMessage(E.xclient, Form); break;
    case ButtonPress:
    case ButtonRelease: HandleButton(E.xbutton, Form); break;
    case MotionNotify:
      SkipToLatestMove(E);
      RouteMouseMove(Form, Point(E.xmotion.x, E.xmotion.y), ShiftOf(E.xmotion.state));
      break;
    case EnterNotify:
      RouteMouseMove(Form, Point(E.xcrossing.x, E.xcrossing.y), ShiftOf(E.xcrossing.state));
      break;
    case LeaveNotify:
      if (E.xcrossing.mode == NotifyNormal) RouteMouseExit(Form);
      break;
    case KeyPress:
    case KeyRelease: HandleKey(E.xkey, Form); break;
    case FocusIn:
      if (E.xfocus.mode != NotifyGrab && E.xfocus.mode != NotifyUngrab) Screen().SetActiveForm(&Form);
      break;
    default: break;
  }
}

void TX11Backend::TImpl::SkipToLatestMove(XEvent& E) {
  // Moves of the same window that directly follow each other collapse into
  // the last one; a move behind any other event stays behind it.
  while (XEventsQueued(Dpy, QueuedAlready) > 0) {
    XEvent next;
    XPeekEvent(Dpy, &next);
    if (next.type != MotionNotify || next.xmotion.window != E.xmotion.window) break;
    XNextEvent(Dpy, &E);
  }
}

void TX11Backend::TImpl::HandleButton(const XButtonEvent& E, TForm& Form) {
  const TPoint p = Point(E.x, E.y);
  const bool down = E.type == ButtonPress;
  if (E.button == Button4 || E.button == Button5) {
    if (down) RouteMouseWheel(Form, E.button == Button4 ? 120 : -120, p, ShiftOf(E.state));
    return;
  }
  const std::optional<TMouseButton> button = ButtonOf(E.button);
  if (!button) return;
  // X reports the state before the event; the framework wants it after.
  TShiftState shift = ShiftOf(E.state);
  if (down) shift |= ShiftBit(ShiftItemOf(*button));
  else shift &= ~ShiftBit(ShiftItemOf(*button));
  RouteMouseButton(Form, *button, down, p, shift);
}

void TX11Backend::TImpl::HandleKey(XKeyEvent& E, TForm& Form) {
  std::array<char, 32> text{};
  KeySym keysym = NoSymbol;
  const int count = XLookupString(&E, text.data(), static_cast<int>(text.size()), &keysym, nullptr);
  // The key of the symbol typed, else of the key's unshifted symbol (Shift+1 is still the key '1').
  uint16_t key = KeysymToVirtualKey(static_cast<uint32_t>(keysym));
  if (key == 0) key = KeysymToVirtualKey(static_cast<uint32_t>(XLookupKeysym(&E, 0)));
  const TShiftState shift = ShiftOf(E.state) & (ShiftBit(ssShift) | ShiftBit(ssCtrl) | ShiftBit(ssAlt));
  if (E.type == KeyRelease) {
    if (key) RouteKeyUp(Form, key, shift);
    return;
  }
  const TControlRef formRef(&Form);
  if (key && RouteKeyDown(Form, key, shift)) return;  // used by the form: no character
  if (!formRef || (shift & ShiftBit(ssAlt))) return;
  if (count > 0) {
    for (int i = 0; i < count && formRef; ++i) {
      const auto c = static_cast<unsigned char>(text[static_cast<size_t>(i)]);
      if (c != 0x7F) RouteChar(Form, c);  // Delete is a key, not a character
    }
  } else if ((keysym & 0xFF000000) == 0x01000000) {
    RouteChar(Form, static_cast<char32_t>(keysym & 0x00FFFFFF));  // a Unicode key symbol
  }
}

void TX11Backend::TImpl::HandleConfigure(const XConfigureEvent& E, TForm& Form) {
  // The position on the root window (a window manager's frame moves the
  // window without telling it its own root position).
  int rootX = E.x, rootY = E.y;
  if (!E.send_event) {
    Window child = 0;
    XTranslateCoordinates(Dpy, E.window, RootWindow(Dpy, ScreenNo), 0, 0, &rootX, &rootY, &child);
  }
  if (rootX == Form.Left() && rootY == Form.Top() && E.width == Form.Width() && E.height == Form.Height()) return;
  ApplyingServerGeometry = true;
  try {
    Form.SetBounds(rootX, rootY, E.width, E.height);
  } catch (...) {
    ApplyingServerGeometry = false;
    throw;
  }
  ApplyingServerGeometry = false;
}

void TX11Backend::TImpl::HandleClientMessage(const XClientMessageEvent& E, TForm& Form) {
  if (E.message_type != WmProtocols || E.format != 32 || static_cast<Atom>(E.data.l[0]) != WmDeleteWindow) return;
  // While a modal form runs, only it can be closed.
  const TForm* modal = framework::TopModalForm();
  if (modal && modal != &Form) return;
  Form.Close();
}

// ---------------------------------------------------------------- clipboard

size_t TX11Backend::TImpl::MaxPropertyBytes() const {
  long units = XExtendedMaxRequestSize(Dpy);
  if (units <= 0) units = XMaxRequestSize(Dpy);
  // Request size in 4-byte units, less room for the request's header.
  return units > 64 ? static_cast<size_t>(units - 64) * 4 : 0;
}

void TX11Backend::TImpl::OfferClipboard() {
  if (!Clipboard().HasFormat(CF_TEXT)) {
    if (OwnsClipboard) XSetSelectionOwner(Dpy, ClipboardAtom, None, CurrentTime);
    OwnsClipboard = false;
    ClaimedText.reset();
    return;
  }
  std::string text = Clipboard().AsText();
  if (ClaimedText && *ClaimedText == text) return;  // offered already (or another program took over since)
  XSetSelectionOwner(Dpy, ClipboardAtom, Helper, CurrentTime);
  OwnsClipboard = XGetSelectionOwner(Dpy, ClipboardAtom) == Helper;
  ClaimedText = std::move(text);
}

void TX11Backend::TImpl::ServeSelection(const XSelectionRequestEvent& E) {
  XEvent reply{};
  reply.xselection.type = SelectionNotify;
  reply.xselection.display = Dpy;
  reply.xselection.requestor = E.requestor;
  reply.xselection.selection = E.selection;
  reply.xselection.target = E.target;
  reply.xselection.time = E.time;
  reply.xselection.property = None;  // refused unless served below
  const Atom property = E.property != None ? E.property : E.target;  // old clients name no property
  const bool serving = E.selection == ClipboardAtom && OwnsClipboard && Clipboard().HasFormat(CF_TEXT);
  if (serving && E.target == Targets) {
    const Atom targets[] = {Targets, Utf8String, XA_STRING};
    XChangeProperty(Dpy, E.requestor, property, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(targets), 3);
    reply.xselection.property = property;
  } else if (serving && (E.target == Utf8String || E.target == XA_STRING)) {
    const std::string text = E.target == Utf8String ? Clipboard().AsText() : Latin1Of(Clipboard().AsText());
    // Text beyond one request would need the incremental protocol: refuse it
    // rather than send a request the server must reject.
    if (text.size() <= MaxPropertyBytes()) {
      XChangeProperty(Dpy, E.requestor, property, E.target, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
      reply.xselection.property = property;
    }
  }
  XSendEvent(Dpy, E.requestor, False, NoEventMask, &reply);
}

// ------------------------------------------------------------------ backend

TX11Backend::TX11Backend(std::unique_ptr<TImpl> Impl) : F(std::move(Impl)) { GCountedDisplay.store(F->Dpy); }

TX11Backend::~TX11Backend() {
  Display* mine = F->Dpy;
  GCountedDisplay.compare_exchange_strong(mine, nullptr);
}

std::unique_ptr<TX11Backend> TX11Backend::Open(const std::string& DisplayName, std::string& ErrorMessage) {
  XSetErrorHandler(RecordProtocolError);
  Display* dpy = XOpenDisplay(DisplayName.empty() ? nullptr : DisplayName.c_str());
  if (!dpy) {
    const char* name = XDisplayName(DisplayName.empty() ? nullptr : DisplayName.c_str());
    ErrorMessage = std::string("Cannot open the X display \"") + (name ? name : "") + "\"";
    return nullptr;
  }
  auto impl = std::make_unique<TImpl>();
  impl->Dpy = dpy;
  impl->ScreenNo = DefaultScreen(dpy);
  XVisualInfo info{};
  if (!XMatchVisualInfo(dpy, impl->ScreenNo, 24, TrueColor, &info) || info.red_mask != 0xFF0000 ||
      info.green_mask != 0xFF00 || info.blue_mask != 0xFF) {
    ErrorMessage = "The X display \"" + std::string(DisplayString(dpy)) +
                   "\" offers no 24-bit TrueColor visual with 8-bit red, green and blue; the X11 backend needs one";
    return nullptr;  // impl closes the display
  }
  impl->VisualPtr = info.visual;
  impl->Depth = info.depth;
  const Window root = RootWindow(dpy, impl->ScreenNo);
  if (info.visual == DefaultVisual(dpy, impl->ScreenNo)) {
    impl->Cmap = DefaultColormap(dpy, impl->ScreenNo);
  } else {
    impl->Cmap = XCreateColormap(dpy, root, info.visual, AllocNone);
    impl->OwnColormap = true;
  }
  // The helper window has the forms' visual, so one GC serves every window.
  XSetWindowAttributes a{};
  a.colormap = impl->Cmap;
  impl->Helper = XCreateWindow(dpy, root, 0, 0, 1, 1, 0, impl->Depth, InputOutput, info.visual,
                               CWBorderPixel | CWColormap, &a);
  impl->Gc = XCreateGC(dpy, impl->Helper, 0, nullptr);
  impl->WmProtocols = XInternAtom(dpy, "WM_PROTOCOLS", False);
  impl->WmDeleteWindow = XInternAtom(dpy, "WM_DELETE_WINDOW", False);
  impl->Utf8String = XInternAtom(dpy, "UTF8_STRING", False);
  impl->Targets = XInternAtom(dpy, "TARGETS", False);
  impl->ClipboardAtom = XInternAtom(dpy, "CLIPBOARD", False);
  impl->NetWmName = XInternAtom(dpy, "_NET_WM_NAME", False);
  impl->TickOrigin = Backend().TickCount();
  impl->OpenedAt = std::chrono::steady_clock::now();
  return std::unique_ptr<TX11Backend>(new TX11Backend(std::move(impl)));
}

int64_t TX11Backend::TickCount() {
  using namespace std::chrono;
  return F->TickOrigin + duration_cast<milliseconds>(steady_clock::now() - F->OpenedAt).count();
}

int64_t TX11Backend::WallClockMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

void TX11Backend::FormShown(TForm& Form) {
  if (F->FindForm(Form)) return;
  const Window w = F->CreateFormWindow(Form);
  F->Windows.push_back({w, TControlRef(&Form)});
  XMapRaised(F->Dpy, w);
  XFlush(F->Dpy);
}

void TX11Backend::FormHidden(TForm& Form) {
  TFormWindow* w = F->FindForm(Form);
  if (!w) return;
  XDestroyWindow(F->Dpy, w->Handle);
  std::erase_if(F->Windows, [&](const TFormWindow& e) { return e.Form.Get() == &Form; });
  XFlush(F->Dpy);
}

void TX11Backend::FormChanged(TForm& Form) {
  TFormWindow* w = F->FindForm(Form);
  if (!w) return;
  F->UpdateTitle(w->Handle, Form);
  if (F->ApplyingServerGeometry) return;  // the window is already there
  F->UpdateSizeHints(w->Handle, Form);
  XMoveResizeWindow(F->Dpy, w->Handle, Form.Left(), Form.Top(), static_cast<unsigned>(std::max(Form.Width(), 1)),
                    static_cast<unsigned>(std::max(Form.Height(), 1)));
}

void TX11Backend::FormPainted(TForm& Form, const TRect& Area) {
  const TFormWindow* w = F->FindForm(Form);
  if (!w) return;
  F->PutSurface(w->Handle, Form, Area);
  XFlush(F->Dpy);  // a Repaint outside the loop shows at once
}

void TX11Backend::SetPointerCursor(TCursor Cursor) {
  F->PointerCursor = Cursor;
  const ::Cursor c = F->CursorFor(Cursor);
  for (const TFormWindow& w : F->Windows) {
    if (c != None) XDefineCursor(F->Dpy, w.Handle, c);
    else XUndefineCursor(F->Dpy, w.Handle);
  }
}

void TX11Backend::Beep() { XBell(F->Dpy, 0); }

bool TX11Backend::PumpEvents(bool Wait, int64_t Deadline) {
  F->OfferClipboard();
  XFlush(F->Dpy);
  if (F->DrainEvents() || !Wait) {
    XFlush(F->Dpy);
    return true;
  }
  int timeout = -1;
  if (Deadline >= 0) timeout = static_cast<int>(std::clamp<int64_t>(Deadline - TickCount(), 0, INT_MAX));
  pollfd p{ConnectionNumber(F->Dpy), POLLIN, 0};
  if (timeout != 0) poll(&p, 1, timeout);  // EINTR simply ends the wait early
  F->DrainEvents();
  XFlush(F->Dpy);
  return true;
}

unsigned long TX11Backend::WindowOf(const TForm& Form) const {
  const TFormWindow* w = F->FindForm(Form);
  return w ? w->Handle : 0;
}

void TX11Backend::Sync() { XSync(F->Dpy, False); }

std::string TX11Backend::DisplayName() const { return DisplayString(F->Dpy); }

TPoint TX11Backend::ScreenSize() const {
  return Point(DisplayWidth(F->Dpy, F->ScreenNo), DisplayHeight(F->Dpy, F->ScreenNo));
}

int64_t TX11Backend::ProtocolErrorCount() { return GProtocolErrors.load(); }

bool InstallX11Backend(std::string& ErrorMessage, const std::string& DisplayName) {
  std::unique_ptr<TX11Backend> backend = TX11Backend::Open(DisplayName, ErrorMessage);
  if (!backend) return false;
  const TPoint size = backend->ScreenSize();
  SetBackend(std::move(backend));
  Screen().SetSize(size.X, size.Y);
  return true;
}

TX11Backend* X11Backend() { return dynamic_cast<TX11Backend*>(&Backend()); }

}  // namespace vexa
