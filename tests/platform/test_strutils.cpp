#include "platform/Vexa_strutils.h"

#include <gtest/gtest.h>

namespace vexa {
namespace {

TEST(StrUtilsTest, CaseAndComparisonAreAsciiOnly) {
  EXPECT_EQ(UpperCase("abc XYZ 09_z"), "ABC XYZ 09_Z");
  EXPECT_EQ(LowerCase("ABC xyz @[`{"), "abc xyz @[`{");
  EXPECT_EQ(UpperCase("gr\xC3\xBC\xC3\x9F"), "GR\xC3\xBC\xC3\x9F");  // UTF-8 bytes untouched
  EXPECT_TRUE(SameText("Matrix1", "mATRIX1"));
  EXPECT_FALSE(SameText("Matrix1", "Matrix"));
  EXPECT_FALSE(SameText("@", "`"));  // neighbours of the letter ranges
  EXPECT_TRUE(SameText("", ""));
}

TEST(StrUtilsTest, TrimRemovesBlanksAndControlCharacters) {
  EXPECT_EQ(Trim(" \t\r\n x y \x01"), "x y");
  EXPECT_EQ(TrimLeft("  x "), "x ");
  EXPECT_EQ(TrimRight("  x \n"), "  x");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(Trim("\xC3\xA4"), "\xC3\xA4");  // bytes above 127 are not blanks
}

TEST(StrUtilsTest, PosIsOneBased) {
  EXPECT_EQ(Pos("b", "abcb"), 2);
  EXPECT_EQ(Pos("abcb", "abcb"), 1);
  EXPECT_EQ(Pos("x", "abc"), 0);
  EXPECT_EQ(Pos("", "abc"), 0);
  EXPECT_EQ(Pos("abcd", "abc"), 0);
}

}  // namespace
}  // namespace vexa
