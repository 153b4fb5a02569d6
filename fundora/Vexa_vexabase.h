#pragma once
/// @file
/// Base types of the Vexa family: the base error class, records, dynamic
/// array types, shared enumerations, event types and the progress globals.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Vexa_classes.h"
#include "platform/Vexa_exceptions.h"

namespace vexa {

/// Base of the family's error classes.
VEXA_DECLARE_EXCEPTION(EVexaError, Exception);

// ---------------------------------------------------------------- records

struct TPointDouble {
  double X = 0;
  double Y = 0;
  friend bool operator==(const TPointDouble&, const TPointDouble&) = default;
};

struct TRectDouble {
  double Left = 0;
  double Top = 0;
  double Right = 0;
  double Bottom = 0;
  friend bool operator==(const TRectDouble&, const TRectDouble&) = default;
};

/// A point with a colour (TColor value, $00BBGGRR).
struct TColoredPoint {
  double X = 0;
  double Y = 0;
  uint32_t Color = 0;
  friend bool operator==(const TColoredPoint&, const TColoredPoint&) = default;
};

// ---------------------------------------------------------------- dynamic arrays
// 0-based; multi-dimensional arrays are indexed [column][row][layer][time slot].

using TIntArray = std::vector<int32_t>;
using TDoubleArray = std::vector<double>;
using TSingleArray = std::vector<float>;
using TBoolArray = std::vector<bool>;
using TPDblArray = std::vector<TPointDouble>;
using TStrArray = std::vector<std::string>;

using TInt2DArray = std::vector<TIntArray>;
using TInt3DArray = std::vector<TInt2DArray>;
using TInt4DArray = std::vector<TInt3DArray>;
using TDouble2DArray = std::vector<TDoubleArray>;
using TDouble3DArray = std::vector<TDouble2DArray>;
using TDouble4DArray = std::vector<TDouble3DArray>;
using TSingle2DArray = std::vector<TSingleArray>;
using TSingle3DArray = std::vector<TSingle2DArray>;
using TSingle4DArray = std::vector<TSingle3DArray>;
using TBool2DArray = std::vector<TBoolArray>;
using TBool3DArray = std::vector<TBool2DArray>;
using TBool4DArray = std::vector<TBool3DArray>;
using TStr2DArray = std::vector<TStrArray>;

// ---------------------------------------------------------------- event types

/// OnSortExchange: kind of exchange, the two exchanged indices, and the first
/// and last index of the cross range that moved with them.
using TSortExchgEvent = std::function<void(TObject* Sender, uint8_t ExchgWhat, int32_t Index1,
                                           int32_t Index2, int32_t First, int32_t Last)>;
/// OnPercentDone: the percentage of a lengthy operation that is done.
using TOnPercentDoneEvent = std::function<void(TObject* Sender, int32_t Percent)>;

// ---------------------------------------------------------------- progress globals

/// Progress counter of long computations. Worker threads add to it, hence atomic.
extern std::atomic<double> ProcStat;
/// Feedback procedure called with ProcStat by long computations, on the
/// calling thread only. Empty means none.
extern std::function<void(double ProcStat)> MathFeedBackProc;
/// Abort flag polled by long computations; set it (from any thread) to stop them.
extern std::atomic<bool> AbortMathProc;

}  // namespace vexa
