#include "fundora/Vexa_filesys.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/Vexa_random.h"
#include "support/TempDir.h"

namespace vexa {
namespace {

// ---------------------------------------------------------------- ReadHeaderOfASC

struct ASCFixture {
  const char* What;
  std::string Text;
  int32_t Code;
  // Expected header when Code is ascOK.
  int32_t Columns = 0, Rows = 0;
  bool Flags[4] = {false, false, false, false};
};

std::vector<ASCFixture> ASCFixtures() {
  const std::string vectorFile =
      "Exported by Vexa TVector component: v.asc\n1\t;nr. of columns\n3\t;nr. of rows\n"
      "FALSE FALSE FALSE FALSE\t;row attributes, column names, row names, nominal variables\n"
      "      1.0000\n      2.0000\n      3.0000\n";
  return {
      {"vector file with four flags", vectorFile, ascOK, 1, 3, {false, false, false, false}},
      {"three flags, CRLF line ends",
       "fit\r\n2\t;nr. of columns\r\n5\t;nr. of rows\r\nFALSE TRUE FALSE\t;row attributes, column names, row names\r\n",
       ascOK, 2, 5, {false, true, false, false}},
      {"any case, no comments, no final line end", "c\n4\n2\ntrue False TRUE true", ascOK, 4, 2,
       {true, false, true, true}},
      {"';' ends the flags, blanks around counts", "c\n 7 ;cols\n\t8\n FALSE  TRUE FALSE;x y\n", ascOK, 7, 8,
       {false, true, false, false}},
      {"empty file", "", ascBadColumnCount},
      {"comment only", "just a comment\n", ascBadColumnCount},
      {"column count not a number", "c\nabc\t;nr. of columns\n1\nFALSE FALSE FALSE\n", ascBadColumnCount},
      {"column count negative", "c\n-1\n1\nFALSE FALSE FALSE\n", ascBadColumnCount},
      {"column count zero", "c\n0\n1\nFALSE FALSE FALSE\n", ascBadColumnCount},
      {"column count beyond 32 bits", "c\n99999999999\n1\nFALSE FALSE FALSE\n", ascBadColumnCount},
      {"column count real", "c\n2.5\n1\nFALSE FALSE FALSE\n", ascBadColumnCount},
      {"overlong column line", "c\n1" + std::string(kMaxASCHeaderLine, ' ') + "\n1\nFALSE FALSE FALSE\n",
       ascBadColumnCount},
      {"binary garbage", std::string("\x00\x01\xFF\xFE\n\x80\x81\n", 8), ascBadColumnCount},
      {"row line missing", "c\n1\n", ascBadRowCount},
      {"row count not a number", "c\n1\n1e3\nFALSE FALSE FALSE\n", ascBadRowCount},
      {"absurd cell count in a small file", "c\n100000\n100000\nFALSE FALSE FALSE\n1 2 3\n", ascBadRowCount},
      {"largest row count in a small file", "c\n1\n2147483647\nFALSE FALSE FALSE\n", ascBadRowCount},
      {"flags line missing", "c\n1\n1\n", ascBadFlags},
      {"two flags", "c\n1\n1\nFALSE FALSE\t;x\n", ascBadFlags},
      {"five flags", "c\n1\n1\nFALSE FALSE FALSE FALSE FALSE\n", ascBadFlags},
      {"a word that is no flag", "c\n1\n1\nFALSE MAYBE FALSE\n", ascBadFlags},
      {"flags written as numbers", "c\n1\n1\n0 0 0\n", ascBadFlags},
  };
}

TEST(ReadHeaderOfASC, FixturesOfValidMalformedTruncatedAndOversizedHeaders) {
  vexa::testing::TempDir dir;
  for (const ASCFixture& f : ASCFixtures()) {
    const std::string file = dir.Write("h.asc", f.Text);
    TASCHeader header;
    header.Comment = "untouched";
    header.NrColumns = -99;
    EXPECT_EQ(ReadHeaderOfASC(file, header), f.Code) << f.What;
    if (f.Code != ascOK) {
      EXPECT_EQ(header.Comment, "untouched") << f.What;
      EXPECT_EQ(header.NrColumns, -99) << f.What;
      continue;
    }
    EXPECT_EQ(header.NrColumns, f.Columns) << f.What;
    EXPECT_EQ(header.NrRows, f.Rows) << f.What;
    EXPECT_EQ(header.RowAttributes, f.Flags[0]) << f.What;
    EXPECT_EQ(header.ColumnNames, f.Flags[1]) << f.What;
    EXPECT_EQ(header.RowNames, f.Flags[2]) << f.What;
    EXPECT_EQ(header.NominalVars, f.Flags[3]) << f.What;
  }
}

TEST(ReadHeaderOfASC, CommentIsReadAndCutToTheLineLimit) {
  vexa::testing::TempDir dir;
  TASCHeader header;
  ASSERT_EQ(ReadHeaderOfASC(dir.Write("a.asc", "My data\t(2026)\n1\n1\nFALSE FALSE FALSE\n1\n"), header), ascOK);
  EXPECT_EQ(header.Comment, "My data\t(2026)");
  const std::string longComment(kMaxASCHeaderLine + 500, 'c');
  ASSERT_EQ(ReadHeaderOfASC(dir.Write("b.asc", longComment + "\n2\n3\nTRUE TRUE TRUE\n"), header), ascOK);
  EXPECT_EQ(header.Comment, longComment.substr(0, kMaxASCHeaderLine));
  EXPECT_EQ(header.NrRows, 3);
}

TEST(ReadHeaderOfASC, LargeHeaderIsAcceptedWhenTheFileHoldsItsCells) {
  vexa::testing::TempDir dir;
  const std::string head = "c\n2000\n1000\nFALSE FALSE FALSE\n";
  TASCHeader header;
  EXPECT_EQ(ReadHeaderOfASC(dir.Write("small.asc", head + "1 2 3\n"), header), ascBadRowCount);
  EXPECT_EQ(ReadHeaderOfASC(dir.Write("big.asc", head + std::string(2000 * 1000, '7')), header), ascOK);
  EXPECT_EQ(header.NrColumns, 2000);
}

TEST(ReadHeaderOfASC, MissingFile) {
  vexa::testing::TempDir dir;
  TASCHeader header;
  EXPECT_EQ(ReadHeaderOfASC(dir.File("none.asc"), header), ascCannotOpen);
}

// ---------------------------------------------------------------- words and names

TEST(ReadNextWordInTextFile, WordsAcrossLinesAndOverlongWords) {
  TTextReader reader;
  reader.OpenText("  12.5\tNAN\r\n\r\n ### x\n" + std::string(kMaxWordLength + 1, 'w') + " last");
  const char* expected[] = {"12.5", "NAN", "###", "x", "", "last", "", ""};
  for (const char* word : expected) EXPECT_EQ(ReadNextWordInTextFile(reader), word);
}

TEST(FileNames, PartsAndParentFolders) {
  struct Case {
    std::string Actual, Expected;
  };
  const Case cases[] = {
      {StripExtension("/data/run.1/values.tar.gz"), "/data/run.1/values.tar"},
      {StripExtension("values.asc"), "values"},
      {StripExtension("values"), "values"},
      {StripPath("/data/run.1/values.asc"), "values.asc"},
      {StripPath("values.asc"), "values.asc"},
      {StripPath("/data/"), ""},
      {ParentDir("/data/run/maps"), "/data/run"},
      {ParentDir("/data/run/maps/"), "/data/run"},
      {ParentDir("data/run"), "data"},
      {ParentDir("/data"), "/"},
      {ParentDir("/"), ""},
      {ParentDir("data"), ""},
      {ParentDir(""), ""},
  };
  for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(cases[i].Actual, cases[i].Expected) << "case " << i;
}

TEST(FileNames, DirExists) {
  vexa::testing::TempDir dir;
  EXPECT_TRUE(DirExists(dir.Path().string()));
  EXPECT_FALSE(DirExists(dir.Write("f.txt", "x")));
  EXPECT_FALSE(DirExists(dir.File("missing")));
  EXPECT_FALSE(DirExists(""));
}

TEST(InventPassword, LengthAlphabetAndReproducibility) {
  const std::string allowed = "ABCDEFGHJKLMNPQRSTUVWXYZabcdefghijkmnpqrstuvwxyz23456789";
  SetRandSeed(12345);
  const std::string first = InventPassword(40);
  ASSERT_EQ(first.size(), 40u);
  EXPECT_EQ(first.find_first_not_of(allowed), std::string::npos);
  SetRandSeed(12345);
  EXPECT_EQ(InventPassword(40), first);
  EXPECT_NE(InventPassword(40), first);
  EXPECT_EQ(InventPassword(0), "");
  EXPECT_EQ(InventPassword(-3), "");
  EXPECT_EQ(InventPassword(1 << 30).size(), static_cast<size_t>(kMaxPasswordLength));
}

}  // namespace
}  // namespace vexa
