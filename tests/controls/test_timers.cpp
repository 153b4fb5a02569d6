// Timers owned by the event loop and the headless test clock.

#include "ControlsTestSupport.h"

#include "platform/Vexa_dateutils.h"

namespace vexa::testing {
namespace {

using TimersTest = ControlsTest;

/// A message window that logs "<name>@<tick>" for each WM_TIMER.
struct TTickLog {
  std::vector<std::string> Lines;
  HWND Add(const std::string& Name, std::function<void(uintptr_t)> Extra = nullptr) {
    return AllocateHWnd([this, Name, Extra](TMessage& m) {
      if (m.Msg != WM_TIMER) return;
      Lines.push_back(Name + "@" + std::to_string(TestClock().TickCount()));
      if (Extra) Extra(static_cast<uintptr_t>(m.WParam));
    });
  }
};

TEST_F(TimersTest, DeadlineOrderTiesByArmingOrderAndNowIsTheDeadline) {
  TTickLog log;
  const HWND a = log.Add("A30"), b = log.Add("B20"), c = log.Add("C30");
  const int64_t t0 = TestClock().TickCount();
  ASSERT_TRUE(SetTimer(a, 1, 30));
  ASSERT_TRUE(SetTimer(b, 1, 20));
  ASSERT_TRUE(SetTimer(c, 1, 30));
  TestClock().Advance(60);
  auto at = [t0](const char* name, int64_t t) { return std::string(name) + "@" + std::to_string(t0 + t); };
  const std::vector<std::string> expected = {at("B20", 20), at("A30", 30), at("C30", 30), at("B20", 40),
                                             at("A30", 60), at("B20", 60), at("C30", 60)};
  // At 60 all three are due: they fire in arming order A, B, C.
  EXPECT_EQ(log.Lines, expected);
  EXPECT_EQ(TestClock().TickCount(), t0 + 60);
  for (HWND h : {a, b, c}) DeallocateHWnd(h);
}

TEST_F(TimersTest, KillAndRearmInsideATickActAtOnce) {
  TTickLog log;
  HWND other = 0, self = 0;
  int selfTicks = 0;
  self = log.Add("Self", [&](uintptr_t) {
    if (++selfTicks == 1) {
      KillTimer(other, 1);    // due at the same moment: must not fire
      SetTimer(self, 1, 50);  // re-armed: next tick 50 ms from now
    }
  });
  other = log.Add("Other");
  const int64_t t0 = TestClock().TickCount();
  SetTimer(self, 1, 20);
  SetTimer(other, 1, 20);
  TestClock().Advance(100);
  EXPECT_EQ(log.Lines, (std::vector<std::string>{"Self@" + std::to_string(t0 + 20), "Self@" + std::to_string(t0 + 70)}));
  DeallocateHWnd(self);
  DeallocateHWnd(other);
}

TEST_F(TimersTest, RefusalShortPeriodsReplacementAndUnknownHandles) {
  TTickLog log;
  const HWND h = log.Add("T");
  SetTimersRefused(true);
  EXPECT_FALSE(SetTimer(h, 1, 100));
  SetTimersRefused(false);
  EXPECT_FALSE(SetTimer(0, 1, 100));
  EXPECT_FALSE(KillTimer(h, 1));
  ASSERT_TRUE(SetTimer(h, 1, 0));  // period 0 counts as the minimum
  TestClock().Advance(MinTimerPeriod * 3);
  EXPECT_EQ(log.Lines.size(), 3u);
  ASSERT_TRUE(SetTimer(h, 1, 1000));  // same id replaces
  EXPECT_EQ(ActiveTimerCount(), 1);
  TestClock().Advance(999);
  EXPECT_EQ(log.Lines.size(), 3u);
  DeallocateHWnd(h);
  EXPECT_EQ(ActiveTimerCount(), 0);
}

TEST_F(TimersTest, ThrowingTickReachesOnExceptionAndTheLoopGoesOn) {
  std::vector<std::string> caught;
  Application().OnException = [&](TObject*, const std::exception& e) { caught.push_back(e.what()); };
  int ticks = 0;
  const HWND h = AllocateHWnd([&](TMessage&) {
    ++ticks;
    throw EConvertError("tick failed");
  });
  SetTimer(h, 7, 10);
  TestClock().Advance(30);
  EXPECT_EQ(ticks, 3);
  EXPECT_EQ(caught, (std::vector<std::string>(3, "tick failed")));
  DeallocateHWnd(h);
}

TEST_F(TimersTest, DeallocatingInsideItsOwnTickAndNoNestedTicks) {
  HWND h = 0;
  int ticks = 0, nestedOther = 0;
  const HWND other = AllocateHWnd([&](TMessage&) { ++nestedOther; });
  h = AllocateHWnd([&](TMessage&) {
    ++ticks;
    Application().ProcessMessages();  // the other timer is due too, but waits
    EXPECT_EQ(nestedOther, 0);
    DeallocateHWnd(h);
  });
  SetTimer(h, 1, 10);
  SetTimer(other, 1, 10);
  TestClock().Advance(10);
  EXPECT_EQ(ticks, 1);
  EXPECT_EQ(nestedOther, 1);
  TestClock().Advance(100);
  EXPECT_EQ(ticks, 1);
  DeallocateHWnd(other);
}

TEST_F(TimersTest, ControlFreedInsideItsOwnTick) {
  // A control with its own timer window, as a caret or auto-repeat needs.
  struct TTicker : TCustomControl {
    explicit TTicker(TComponent* AOwner) : TCustomControl(AOwner) {
      Wnd = AllocateHWnd([this](TMessage& m) {
        if (m.Msg == WM_TIMER && OnTick) OnTick();
      });
    }
    ~TTicker() override { DeallocateHWnd(Wnd); }
    HWND Wnd = 0;
    std::function<void()> OnTick;
  };
  TForm form(nullptr);
  auto* ticker = new TTicker(&form);
  ticker->SetParent(&form);
  int ticks = 0;
  ticker->OnTick = [&ticks, ticker] {
    ++ticks;
    delete ticker;
  };
  ASSERT_TRUE(SetTimer(ticker->Wnd, 1, 10));
  TestClock().Advance(50);
  EXPECT_EQ(ticks, 1);
  EXPECT_EQ(form.ControlCount(), 0);
  EXPECT_EQ(ActiveTimerCount(), 0);
}

TEST_F(TimersTest, AdvanceMovesTheWallClockOfNow) {
  TTestClock& clock = TestClock();
  clock.SetWallClockMs(int64_t{1700000000} * 1000);  // 2023-11-14 22:13:20 UTC
  // Reference from Python: datetime(2023,11,14,22,13,20) - datetime(1899,12,30)
  // = 45244 days and 80000 s.
  const double expected = 45244.0 + 80000.0 / 86400.0;
  EXPECT_NEAR(Now(), expected, 1e-9);
  clock.Advance(86400000);
  EXPECT_NEAR(Now(), expected + 1.0, 1e-9);
  clock.Advance(-5);  // time never runs backwards
  EXPECT_NEAR(Now(), expected + 1.0, 1e-9);
}

}  // namespace
}  // namespace vexa::testing
