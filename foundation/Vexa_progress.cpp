#include "foundation/Vexa_progress.h"

#include "fundora/Vexa_vexabase.h"

namespace vexa {

bool ProgressStep(double Amount) {
  // fetch_add returns the value before this step; worker threads may add at
  // the same time, so the feedback gets the value this step produced.
  const double NewValue = ProcStat.fetch_add(Amount) + Amount;
  if (MathFeedBackProc) {
    MathFeedBackProc(NewValue);
  }
  return AbortMathProc.load();
}

}  // namespace vexa
