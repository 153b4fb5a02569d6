// The control tree: painting into the retained surface, bounds, alignment,
// font and colour inheritance, messages.

#include "ControlsTestSupport.h"

namespace vexa::testing {
namespace {

using PaintTest = ControlsTest;

/// A graphic control that draws only a horizontal line through its middle
/// (not opaque: the parent shows around the line).
class TLine : public TGraphicControl {
public:
  explicit TLine(TComponent* AOwner) : TGraphicControl(AOwner) {}
  int Paints = 0;

protected:
  void Paint() override {
    ++Paints;
    Canvas().Pen().SetColor(clRed);
    Canvas().MoveTo(0, Height() / 2);
    Canvas().LineTo(Width(), Height() / 2);
  }
};

TColor PixelAt(TBitmap& B, int32_t X, int32_t Y) { return PixelToColor(B.ScanLine(Y)[X]); }

TEST_F(PaintTest, PaintToDrawsChildrenBackToFrontClippedToParents) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 100, 80);
  form.SetColor(clWhite);
  auto* panel = Place(&form, new TCustomControl(&form), 10, 10, 50, 40);
  panel->SetColor(clBlue);
  auto* inner = Place(panel, new TCustomControl(&form), 40, 30, 30, 30);  // sticks out of the panel
  inner->SetColor(clLime);
  auto* line = Place(panel, new TLine(&form), 0, 0, 20, 11);
  TBitmap shot;
  form.PaintTo(shot);
  ASSERT_EQ(shot.Width(), 100);
  struct Probe {
    int32_t X, Y;
    TColor Expected;
  };
  const std::vector<Probe> probes = {
      {5, 5, clWhite},   {12, 12, clBlue},  {55, 45, clLime},   // inner inside the panel
      {65, 45, clWhite},                                          // inner clipped by the panel
      {15, 15, clRed},   {15, 14, clBlue},  {15, 16, clBlue},   // the line over the panel
  };
  for (const Probe& p : probes) EXPECT_EQ(PixelAt(shot, p.X, p.Y), p.Expected) << p.X << "," << p.Y;
  EXPECT_EQ(line->Paints, 1);
}

TEST_F(PaintTest, InvalidateIsDeferredRepaintIsImmediateAndOutsideDrawingStays) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 60, 40);
  auto* box = Place(&form, new TCustomControl(&form), 0, 0, 20, 20);
  box->SetColor(clBlue);
  form.Show();
  box->SetColor(clRed);  // invalidates only
  EXPECT_EQ(PixelAt(form.Surface(), 5, 5), clBlue);
  Application().ProcessMessages();
  EXPECT_EQ(PixelAt(form.Surface(), 5, 5), clRed);
  // Drawing outside Paint goes to the surface and stays until repainted.
  box->Canvas().Brush().SetColor(clYellow);
  box->Canvas().FillRect(Rect(0, 0, 4, 4));
  Application().ProcessMessages();
  EXPECT_EQ(PixelAt(form.Surface(), 1, 1), clYellow);
  box->Repaint();
  EXPECT_EQ(PixelAt(form.Surface(), 1, 1), clRed);
}

TEST_F(PaintTest, CoordinatesAlignmentAndInheritance) {
  TForm form(nullptr);
  form.SetBounds(100, 50, 200, 150);
  auto* panel = Place(&form, new TCustomControl(&form), 10, 20, 100, 100);
  auto* child = Place(panel, new TCustomControl(&form), 5, 6, 10, 10);
  EXPECT_EQ(child->ClientToScreen(Point(1, 1)), Point(116, 77));
  EXPECT_EQ(child->ScreenToClient(Point(116, 77)), Point(1, 1));

  auto* top = Place(&form, new TCustomControl(&form), 0, 0, 10, 30);
  auto* left = Place(&form, new TCustomControl(&form), 0, 0, 40, 10);
  auto* client = Place(&form, new TCustomControl(&form), 0, 0, 1, 1);
  panel->Hide();
  form.BeginLoading();  // alignment waits until loading ends
  top->SetAlign(alTop);
  left->SetAlign(alLeft);
  client->SetAlign(alClient);
  EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 10, 30));
  form.EndLoading();
  EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 200, 30));
  EXPECT_EQ(left->BoundsRect(), Rect(0, 30, 40, 150));
  EXPECT_EQ(client->BoundsRect(), Rect(40, 30, 200, 150));
  form.SetBounds(100, 50, 300, 150);
  EXPECT_EQ(client->BoundsRect(), Rect(40, 30, 300, 150));

  // Far-off coordinates saturate instead of overflowing.
  auto* far = Place(panel, new TCustomControl(&form), INT32_MAX - 5, INT32_MIN + 5, 100, 100);
  EXPECT_EQ(far->FormRect(), Rect(INT32_MAX, INT32_MIN + 25, INT32_MAX, INT32_MIN + 125));
  EXPECT_EQ(far->ClientToScreen(Point(10, -10)).X, INT32_MAX);
  EXPECT_EQ(far->ScreenToClient(Point(INT32_MIN, 0)).X, INT32_MIN);
  far->Invalidate();
  delete far;

  form.Font().SetName("Courier New");
  EXPECT_EQ(child->Font().Name(), "Courier New");  // parent font followed down two levels
  child->Font().SetSize(20);
  EXPECT_FALSE(child->ParentFont());
  form.Font().SetName("Arial");
  EXPECT_EQ(child->Font().Name(), "Courier New");
  child->SetParentColor(true);
  panel->SetColor(clAqua);
  EXPECT_EQ(child->Color(), clAqua);
}

TEST_F(PaintTest, WindowsAreCreatedWhenTheFormIsShown) {
  struct TCounting : TCustomControl {
    explicit TCounting(TComponent* AOwner) : TCustomControl(AOwner) {}
    int Creates = 0;
    void CreateWnd() override { ++Creates; }
  };
  TForm form(nullptr);
  auto* early = Place(&form, new TCounting(&form), 0, 0, 10, 10);
  auto* nested = Place(early, new TCounting(&form), 0, 0, 5, 5);
  EXPECT_FALSE(early->HandleAllocated());
  form.Show();
  form.Hide();
  form.Show();
  auto* late = Place(&form, new TCounting(&form), 0, 0, 10, 10);
  for (TCounting* c : {early, nested, late}) {
    EXPECT_TRUE(c->HandleAllocated());
    EXPECT_EQ(c->Creates, 1);
  }
}

TEST_F(PaintTest, MessagesGoThroughWndProcAndDispatch) {
  struct TSpy : TCustomControl {
    explicit TSpy(TComponent* AOwner) : TCustomControl(AOwner) {}
    std::vector<uint32_t> Seen;
    void WndProc(TMessage& M) override {
      Seen.push_back(M.Msg);
      if (M.Msg == CM_BUTTONPRESSED) M.Result = M.WParam;  // answers the group index
      TCustomControl::WndProc(M);
    }
  };
  EXPECT_EQ(CM_BUTTONPRESSED, 0xB018u);
  TForm form(nullptr);
  auto* first = Place(&form, new TSpy(&form), 0, 0, 10, 10);
  auto* second = Place(&form, new TSpy(&form), 0, 0, 10, 10);
  TMessage pressed{CM_BUTTONPRESSED, 0, reinterpret_cast<intptr_t>(first), 0};
  form.Broadcast(pressed);  // goes on while nobody answers
  EXPECT_EQ(second->Seen.back(), CM_BUTTONPRESSED);
  TMessage grouped{CM_BUTTONPRESSED, 3, 0, 0};
  second->Seen.clear();
  form.Broadcast(grouped);  // the first answers: the broadcast stops
  EXPECT_EQ(grouped.Result, 3);
  EXPECT_TRUE(second->Seen.empty());
  first->SetText("x");
  EXPECT_EQ(first->Seen.back(), CM_TEXTCHANGED);
  int clicks = 0;
  first->OnMouseDown = [&](TObject*, TMouseButton b, TShiftState, int32_t x, int32_t y) {
    clicks += (b == mbRight && x == -5 && y == 7) ? 1 : 100;
  };
  first->Perform(WM_RBUTTONDOWN, 0, PackMousePos(-5, 7));
  EXPECT_EQ(clicks, 1);
}

}  // namespace
}  // namespace vexa::testing
