#pragma once
/// @file
/// Timers owned by the event loop. A timer belongs to a window handle made
/// by AllocateHWnd and delivers WM_TIMER (WParam = timer id) to that
/// handle's message procedure from the loop (ProcessMessages, Run, the
/// headless clock's Advance).
///
/// Rules: periods below 10 ms count as 10; timers fire in deadline order,
/// ties in arming order; the k-th tick of a timer armed at t0 is due at
/// t0 + k * period, and during a tick the loop's clock reads that deadline.
/// Killing or re-arming a timer inside a tick acts at once. While a tick
/// runs, a nested loop (ProcessMessages) fires no other tick. An exception
/// leaving a tick goes to Application().HandleException; the loop goes on.

#include <cstdint>
#include <functional>

#include "platform/controls/Vexa_messages.h"

namespace vexa {

/// Handle of a message window (0 = none).
using HWND = uintptr_t;
/// Procedure receiving the messages of a window made by AllocateHWnd.
using TWndMethod = std::function<void(TMessage& Message)>;

/// Shortest timer period in milliseconds; shorter periods are raised to it.
constexpr uint32_t MinTimerPeriod = 10;

/// Makes a message window whose messages go to Method.
HWND AllocateHWnd(TWndMethod Method);
/// Destroys a message window and kills its timers (no effect on 0 or an
/// unknown handle; safe inside the window's own tick).
void DeallocateHWnd(HWND Wnd);
/// Arms timer IDEvent of Wnd with a period of Elapse ms, replacing a timer
/// of the same id. False when Wnd is unknown or timers are refused.
bool SetTimer(HWND Wnd, uintptr_t IDEvent, uint32_t Elapse);
/// Stops a timer; false when it was not running.
bool KillTimer(HWND Wnd, uintptr_t IDEvent);
/// Makes SetTimer refuse every request (tests of "no timer available").
void SetTimersRefused(bool Refuse);
bool TimersRefused();
/// Sends a message to a window made by AllocateHWnd (no effect on unknown handles).
void SendWindowMessage(HWND Wnd, TMessage& Message);

/// Number of running timers.
int32_t ActiveTimerCount();
/// Deadline of the next due timer in tick-count milliseconds, -1 when none
/// (or while a tick is running).
int64_t NextTimerDeadline();
/// Fires the earliest timer whose deadline is at most UpTo; false when none
/// is due (or a tick is already running). Used by the loop and the clock.
bool FireNextTimer(int64_t UpTo);

}  // namespace vexa
