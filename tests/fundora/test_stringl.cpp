#include "fundora/Vexa_stringl.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>

#include "platform/Vexa_numtext.h"

namespace vexa {
namespace {

TEST(strff, FixedNotationRightAlignedWithPointAndMissingValueWords) {
  struct Case {
    long double X;
    int32_t Width, Decimals;
    const char* Expected;
  };
  // Expected digits from exact decimal expansions of the binary values
  // (2.675 is 2.67499999... in binary, 0.0005 is 0.000500000000000000010...).
  const Case cases[] = {
      {2.675, 1, 2, "2.67"},
      {1.0 / 3.0, 10, 5, "   0.33333"},
      {1e20, 1, 0, "100000000000000000000"},
      {123456.789, 12, 1, "    123456.8"},
      {0.0005, 6, 3, " 0.001"},
      {-42.0, 8, 2, "  -42.00"},
      {1234.5, 14, -1, " 1.23450E+0003"},
      {std::numeric_limits<long double>::quiet_NaN(), 6, 2, "   NAN"},
      {std::numeric_limits<long double>::infinity(), 5, 1, "  ###"},
      {-std::numeric_limits<long double>::infinity(), 1, 1, "###"},
  };
  const char savedSeparator = DecimalSeparator();
  SetDecimalSeparator(',');  // files never follow the system separator
  for (const Case& c : cases)
    EXPECT_EQ(strff(c.X, c.Width, c.Decimals), c.Expected)
        << static_cast<double>(c.X) << ":" << c.Width << ":" << c.Decimals;
  SetDecimalSeparator(savedSeparator);
}

TEST(StringRoutines, StrippingAndReplacing) {
  struct Case {
    std::string Actual, Expected;
  };
  const Case cases[] = {
      {StripLTBlanks(" \t a b \t "), "a b"},
      {StripLTBlanks("\n x \n"), "\n x \n"},  // only blanks and tabs
      {StripLTBlanks("   "), ""},
      {StripLeadingChars("00012300", "0"), "12300"},
      {StripLeadingChars("-+-x-", "+-"), "x-"},
      {StripLeadingChars("aaa", "a"), ""},
      {StripTrailingChars("12300", "0"), "123"},
      {StripTrailingChars("path//\\", "/\\"), "path"},
      {StripTrailingChars("", "x"), ""},
      {RemoveControlChars(std::string("a\tb\r\nc\x7f" "d\0e", 10) + "\xc3\xa9"), "abcde\xc3\xa9"},
      {ReplaceCharInString("a.b.c", '.', ','), "a,b,c"},
      {ReplaceCharInString("abc", 'x', 'y'), "abc"},
      {EnsureTrailingChar("abc", ';'), "abc;"},
      {EnsureTrailingChar("abc;", ';'), "abc;"},
      {EnsureTrailingChar("", ';'), ";"},
      {EnsureTrailingBkSlash("/tmp/data"), "/tmp/data/"},
      {EnsureTrailingBkSlash("/tmp/data/"), "/tmp/data/"},
  };
  for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(cases[i].Actual, cases[i].Expected) << "case " << i;
}

TEST(StringRoutines, FileNameReductionKeepsOnlySafe83Characters) {
  struct Case {
    const char* Input;
    const char* Expected;
  };
  const Case cases[] = {
      {"Map of Vienna (1900).png", "MapofVienna(1900).png"},
      {"../../etc/passwd", "etcpasswd"},
      {"..", ""},
      {".hidden", "hidden"},
      {"a\\b:c*d?e\"f<g>h|i", "abcdefghi"},
      {"caf\xc3\xa9_~!#%&-{}@'`^$", "caf_~!#%&-{}@'`^$"},
      {"                    ", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ReduceStringToFN83CompliantChars(c.Input), c.Expected) << c.Input;
}

TEST(StringIx, OneBasedCaseInsensitiveLookUp) {
  const std::array<std::string, 3> table = {"Euclidean", "Manhattan", "Mahalanobis"};
  const char* const names[] = {"wgs84", nullptr, "Bessel"};
  EXPECT_EQ(StringIx("euclidean", table), 1);
  EXPECT_EQ(StringIx("MAHALANOBIS", table), 3);
  EXPECT_EQ(StringIx("Manhattan ", table), 0);  // no trimming
  EXPECT_EQ(StringIx("", table), 0);
  EXPECT_EQ(StringIx("WGS84", names), 1);
  EXPECT_EQ(StringIx("bessel", names), 3);
  EXPECT_EQ(StringIx("x", std::span<const std::string>()), 0);
}

TEST(Tokenize, EveryDelimiterEndsAField) {
  struct Case {
    const char* Input;
    const char* Delimiters;
    TStrArray Expected;
  };
  const Case cases[] = {
      {"a,b,c", ",", {"a", "b", "c"}},
      {"a,,b", ",", {"a", "", "b"}},
      {"a,", ",", {"a", ""}},
      {",a", ",", {"", "a"}},
      {"x;y z", "; ", {"x", "y", "z"}},
      {"abc", ",", {"abc"}},
      {"", ",", {}},
      {"a,b", "", {"a,b"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Tokenize(c.Input, c.Delimiters), c.Expected) << c.Input;
}

TEST(ParseQuotedName, StringForm) {
  struct Case {
    std::string Input;
    int32_t StartAt;
    bool Ok;
    std::string Name;
    int32_t NextStart;  // StartAt afterwards
  };
  const Case cases[] = {
      {"\"Column 1\" \"B\"", 1, true, "Column 1", 11},
      {"\"Column 1\" \"B\"", 11, true, "B", 15},
      {" \t\n\"\"rest", 1, true, "", 6},
      {"x\"a\"", 1, false, "", 1},      // something else before the delimiter
      {"\"open", 1, false, "", 1},      // no closing delimiter
      {"\"two\nlines\"", 1, false, "", 1},
      {"\"a\"", 5, false, "", 5},       // beyond the end
      {"\"a\"", -3, true, "a", 4},      // a start below 1 counts as 1
  };
  for (const Case& c : cases) {
    int32_t startAt = c.StartAt;
    std::string name;
    EXPECT_EQ(ParseQuotedName(c.Input, startAt, '"', name), c.Ok) << c.Input;
    EXPECT_EQ(name, c.Name) << c.Input;
    EXPECT_EQ(startAt, c.NextStart) << c.Input;
  }
  int32_t startAt = 1;
  std::string name;
  EXPECT_TRUE(ParseQuotedName("'it''s'", startAt, '\'', name));
  EXPECT_EQ(name, "it");
}

TEST(ParseQuotedName, TextFileForm) {
  TTextReader reader;
  reader.OpenText("  \"x\"\t\"Col B\"\r\n\"Row 1\" 2.5\n\"cut");
  std::string name;
  ASSERT_TRUE(ParseQuotedName(reader, '"', name));
  EXPECT_EQ(name, "x");
  ASSERT_TRUE(ParseQuotedName(reader, '"', name));
  EXPECT_EQ(name, "Col B");
  ASSERT_TRUE(ParseQuotedName(reader, '"', name));  // across the line end
  EXPECT_EQ(name, "Row 1");
  EXPECT_FALSE(ParseQuotedName(reader, '"', name));  // "2.5" is not quoted ...
  std::string word;
  ASSERT_TRUE(reader.ReadWord(word));                 // ... and stays in the file
  EXPECT_EQ(word, "2.5");
  EXPECT_FALSE(ParseQuotedName(reader, '"', name));   // truncated
  EXPECT_FALSE(ParseQuotedName(reader, '"', name));   // at the end

  TTextReader longName;
  longName.OpenText("\"" + std::string(kMaxQuotedNameLength + 1, 'n') + "\"");
  EXPECT_FALSE(ParseQuotedName(longName, '"', name));
}

}  // namespace
}  // namespace vexa
