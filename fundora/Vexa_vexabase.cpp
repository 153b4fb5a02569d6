#include "fundora/Vexa_vexabase.h"

namespace vexa {

std::atomic<double> ProcStat{0.0};
std::function<void(double)> MathFeedBackProc;
std::atomic<bool> AbortMathProc{false};

}  // namespace vexa
