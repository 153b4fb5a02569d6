#include "platform/controls/Vexa_timers.h"

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <tuple>

#include "platform/controls/Vexa_backend.h"
#include "platform/controls/Vexa_forms.h"

namespace vexa {

namespace {

struct TTimerKey {
  HWND Wnd;
  uintptr_t Id;
  auto operator<=>(const TTimerKey&) const = default;
};

struct TTimer {
  uint32_t Period;
  int64_t Deadline;
  uint64_t ArmOrder;  // ties of equal deadlines go in arming order
};

/// Queue entry: ordered by deadline, then arming order.
using TQueueEntry = std::tuple<int64_t, uint64_t, HWND, uintptr_t>;

struct TTimerState {
  std::map<HWND, std::shared_ptr<TWndMethod>> Windows;
  std::map<TTimerKey, TTimer> Timers;
  std::set<TQueueEntry> Queue;
  HWND NextHandle = 1;
  uint64_t NextArmOrder = 0;
  bool Refused = false;
  bool InTick = false;
};

TTimerState& State() {
  static TTimerState* state = new TTimerState();  // lives until exit; controls may outlive statics
  return *state;
}

TQueueEntry EntryOf(const TTimerKey& Key, const TTimer& Timer) {
  return {Timer.Deadline, Timer.ArmOrder, Key.Wnd, Key.Id};
}

void RemoveTimer(TTimerState& S, std::map<TTimerKey, TTimer>::iterator It) {
  S.Queue.erase(EntryOf(It->first, It->second));
  S.Timers.erase(It);
}

}  // namespace

HWND AllocateHWnd(TWndMethod Method) {
  TTimerState& s = State();
  const HWND handle = s.NextHandle++;
  s.Windows[handle] = std::make_shared<TWndMethod>(std::move(Method));
  return handle;
}

void DeallocateHWnd(HWND Wnd) {
  TTimerState& s = State();
  if (s.Windows.erase(Wnd) == 0) return;
  auto it = s.Timers.lower_bound(TTimerKey{Wnd, 0});
  while (it != s.Timers.end() && it->first.Wnd == Wnd) {
    auto next = std::next(it);
    RemoveTimer(s, it);
    it = next;
  }
}

bool SetTimer(HWND Wnd, uintptr_t IDEvent, uint32_t Elapse) {
  TTimerState& s = State();
  if (s.Refused || !s.Windows.contains(Wnd)) return false;
  const TTimerKey key{Wnd, IDEvent};
  if (auto it = s.Timers.find(key); it != s.Timers.end()) RemoveTimer(s, it);
  const uint32_t period = std::max(Elapse, MinTimerPeriod);
  const TTimer timer{period, Backend().TickCount() + period, s.NextArmOrder++};
  s.Timers.emplace(key, timer);
  s.Queue.insert(EntryOf(key, timer));
  return true;
}

bool KillTimer(HWND Wnd, uintptr_t IDEvent) {
  TTimerState& s = State();
  auto it = s.Timers.find(TTimerKey{Wnd, IDEvent});
  if (it == s.Timers.end()) return false;
  RemoveTimer(s, it);
  return true;
}

void SetTimersRefused(bool Refuse) { State().Refused = Refuse; }
bool TimersRefused() { return State().Refused; }

void SendWindowMessage(HWND Wnd, TMessage& Message) {
  TTimerState& s = State();
  auto it = s.Windows.find(Wnd);
  if (it == s.Windows.end()) return;
  // A copy keeps the procedure alive when it deallocates its own window.
  const std::shared_ptr<TWndMethod> method = it->second;
  if (*method) (*method)(Message);
}

int32_t ActiveTimerCount() { return static_cast<int32_t>(State().Timers.size()); }

int64_t NextTimerDeadline() {
  const TTimerState& s = State();
  if (s.InTick || s.Queue.empty()) return -1;
  return std::get<0>(*s.Queue.begin());
}

bool FireNextTimer(int64_t UpTo) {
  TTimerState& s = State();
  if (s.InTick || s.Queue.empty()) return false;
  const auto [deadline, order, wnd, id] = *s.Queue.begin();
  if (deadline > UpTo) return false;
  // Schedule the next tick before this one runs, so that a kill or re-arm
  // inside the tick acts on the timer as it will stand afterwards.
  auto it = s.Timers.find(TTimerKey{wnd, id});
  s.Queue.erase(s.Queue.begin());
  int64_t next = deadline + it->second.Period;
  const int64_t now = Backend().TickCount();
  if (next <= now) next += ((now - next) / it->second.Period + 1) * it->second.Period;  // late real clock
  it->second.Deadline = next;
  s.Queue.insert(EntryOf(it->first, it->second));

  TMessage message{WM_TIMER, static_cast<intptr_t>(id), 0, 0};
  s.InTick = true;
  try {
    SendWindowMessage(wnd, message);
  } catch (...) {
    s.InTick = false;
    Application().HandleException(nullptr);
    return true;
  }
  s.InTick = false;
  return true;
}

}  // namespace vexa
