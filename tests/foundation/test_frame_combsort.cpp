#include "foundation/Vexa_combsort.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace vexa {
namespace {

__extension__ using Int128 = __int128;

// The classic 32-bit formula needs gap * 100000000 to fit: it overflows from gap 22.
static_assert(int64_t{21} * 100000000 <= INT32_MAX);
static_assert(int64_t{22} * 100000000 > INT32_MAX);

/// The classic gap formula evaluated exactly, with its floor of 1.
int64_t ClassicGap(int64_t Gap) {
  const Int128 Next = (Int128{Gap} * 100000000 / 13000) / 10000;
  return Next < 1 ? 1 : static_cast<int64_t>(Next);
}

TEST(CombGapTest, MatchesExactClassicFormulaUpToSeveralMillion) {
  for (int32_t Gap = 1; Gap <= 5'000'000; ++Gap) {
    const int64_t Expected = ClassicGap(Gap);
    if (NextCombGap(Gap) != Expected || NextCombGap(int64_t{Gap}) != Expected) {
      FAIL() << "gap " << Gap << ": 32-bit " << NextCombGap(Gap) << ", 64-bit "
             << NextCombGap(int64_t{Gap}) << ", exact " << Expected;
    }
  }
}

TEST(CombGapTest, ExtremesMatchExactClassicFormula) {
  // Expected values computed with Python's integers: (g*100000000//13000)//10000.
  struct Case {
    int64_t Gap;
    int64_t Expected;
  };
  const Case Cases64[] = {
      {INT64_MAX, 7094901566811366005},
      {INT64_MAX - 1, 7094901566811366004},
      {INT64_MAX - 12, 7094901566811365996},
      {int64_t{13} << 59, int64_t{5} << 60},
      {INT32_MAX, 1651910497},
  };
  for (const Case& c : Cases64) {
    SCOPED_TRACE(c.Gap);
    EXPECT_EQ(ClassicGap(c.Gap), c.Expected);  // the reference itself
    EXPECT_EQ(NextCombGap(c.Gap), c.Expected);
  }
  EXPECT_EQ(NextCombGap(int32_t{INT32_MAX}), 1651910497);
  EXPECT_EQ(NextCombGap(int32_t{INT32_MAX - 1}), 1651910496);
  for (int64_t Gap = INT64_MAX; Gap > INT64_MAX - 1000; --Gap) {
    ASSERT_EQ(NextCombGap(Gap), ClassicGap(Gap)) << Gap;
  }
  for (int32_t Gap = INT32_MAX; Gap > INT32_MAX - 1000; --Gap) {
    ASSERT_EQ(NextCombGap(Gap), ClassicGap(Gap)) << Gap;
  }
}

TEST(CombGapTest, NeverBelowOne) {
  for (const int64_t Gap : {int64_t{1}, int64_t{0}, int64_t{-1}, int64_t{-100}, int64_t{INT64_MIN}}) {
    EXPECT_EQ(NextCombGap(Gap), 1) << Gap;
  }
  EXPECT_EQ(NextCombGap(int32_t{INT32_MIN}), 1);
  EXPECT_EQ(NextCombGap(int32_t{2}), 1);
}

}  // namespace
}  // namespace vexa
