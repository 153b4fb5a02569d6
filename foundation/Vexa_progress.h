#pragma once
/// @file
/// One progress step of a long computation.

namespace vexa {

/// Adds Amount to ProcStat, calls MathFeedBackProc (if assigned) with the new
/// counter, and returns true when AbortMathProc is set (the caller stops).
/// Call it only from the calling thread: it may run the feedback procedure.
bool ProgressStep(double Amount = 1.0);

}  // namespace vexa
