#include <gtest/gtest.h>

#include <vector>

#include "foundation/Vexa_errors.h"
#include "foundation/Vexa_progress.h"
#include "fundora/Vexa_vexabase.h"

namespace vexa {
namespace {

TEST(FrameMessageTest, ComponentAndRoutineMessages) {
  TComponent Matrix(nullptr);
  Matrix.SetName("Matrix1");
  EXPECT_EQ(ComponentMessage(Matrix, "\": not enough memory on heap"),
            "Component \"Matrix1\": not enough memory on heap");
  EXPECT_EQ(ComponentMessage(Matrix, ".Histogram\": invalid number of bins"),
            "Component \"Matrix1.Histogram\": invalid number of bins");
  EXPECT_EQ(RoutineMessage("Polynomial", "invalid order of polynomial"),
            "Polynomial: invalid order of polynomial");
  // The unit's classes are EVexaError except the straight line's.
  EXPECT_THROW(throw EVexaMatrixError("x"), EVexaError);
  EXPECT_THROW(throw EVexaSLineError("x"), Exception);
}

/// Saves and restores the shared progress globals.
class ProgressTest : public ::testing::Test {
protected:
  ~ProgressTest() override {
    ProcStat = 0.0;
    MathFeedBackProc = nullptr;
    AbortMathProc = false;
  }
};

TEST_F(ProgressTest, StepAddsCallsFeedbackAndReportsAbort) {
  ProcStat = 5.0;
  AbortMathProc = false;
  EXPECT_FALSE(ProgressStep());  // no feedback assigned
  EXPECT_EQ(ProcStat.load(), 6.0);

  std::vector<double> Seen;
  MathFeedBackProc = [&](double Value) { Seen.push_back(Value); };
  EXPECT_FALSE(ProgressStep(1.5));
  AbortMathProc = true;
  EXPECT_TRUE(ProgressStep(0.25));
  EXPECT_EQ(Seen, (std::vector<double>{7.5, 7.75}));
  EXPECT_EQ(ProcStat.load(), 7.75);
}

}  // namespace
}  // namespace vexa
