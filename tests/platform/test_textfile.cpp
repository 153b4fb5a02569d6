#include "platform/Vexa_textfile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Vexa_exceptions.h"
#include "support/TempDir.h"

namespace vexa {
namespace {

using testing::TempDir;

std::vector<std::string> AllLines(TTextReader& reader) {
  std::vector<std::string> lines;
  std::string line;
  while (reader.ReadLine(line)) lines.push_back(line);
  return lines;
}

TEST(TextReaderTest, AcceptsLfCrLfAndCrLineEnds) {
  const std::string text = "one\ntwo\r\nthree\rfour\r\n\r\nsix";
  const std::vector<std::string> expected = {"one", "two", "three", "four", "", "six"};
  TTextReader memory;
  memory.OpenText(text);
  EXPECT_EQ(AllLines(memory), expected);

  TempDir dir;
  TTextReader file;
  ASSERT_TRUE(file.Open(dir.Write("mixed.txt", text)));
  EXPECT_EQ(AllLines(file), expected);
  EXPECT_TRUE(file.Eof());
}

TEST(TextReaderTest, LongLinesAndLineEndsAcrossBufferBoundaries) {
  // The file is read in chunks; a CRLF split between two chunks is still one
  // line end, and a line longer than a chunk comes back whole.
  const std::string first(65535, 'a');
  const std::string second(200000, 'b');
  TempDir dir;
  TTextReader reader;
  ASSERT_TRUE(reader.Open(dir.Write("long.txt", first + "\r\n" + second + "\r\nend")));
  EXPECT_EQ(AllLines(reader), (std::vector<std::string>{first, second, "end"}));
}

TEST(TextReaderTest, ReadsWordsAndNumbersLikeRead) {
  TTextReader reader;
  reader.OpenText("  12\t-7 $1F\r\n  2.5 -1.5E+0003  xyz 3\n\n 1e-3 9999999999 \n");
  int32_t i = 0;
  EXPECT_TRUE(reader.ReadInteger(i));
  EXPECT_EQ(i, 12);
  EXPECT_TRUE(reader.ReadInteger(i));
  EXPECT_EQ(i, -7);
  EXPECT_TRUE(reader.ReadInteger(i));
  EXPECT_EQ(i, 31);
  double x = 0;
  EXPECT_TRUE(reader.ReadReal(x));  // across the line end
  EXPECT_EQ(x, 2.5);
  EXPECT_TRUE(reader.ReadReal(x));
  EXPECT_EQ(x, -1500.0);
  EXPECT_FALSE(reader.ReadReal(x));  // "xyz" is consumed, x unchanged
  EXPECT_EQ(x, -1500.0);
  long double wide = 0;
  EXPECT_TRUE(reader.ReadReal(wide));
  EXPECT_EQ(wide, 3.0L);
  EXPECT_TRUE(reader.ReadReal(x));
  EXPECT_EQ(x, 1e-3);
  EXPECT_FALSE(reader.ReadInteger(i));  // does not fit
  int64_t big = 0;
  EXPECT_FALSE(reader.ReadInt64(big));  // nothing left
  EXPECT_TRUE(reader.SeekEof());
}

TEST(TextReaderTest, CharactersEolnAndSeeking) {
  TTextReader reader;
  reader.OpenText("ab \t\r\ncd");
  EXPECT_EQ(reader.PeekChar(), 'a');
  EXPECT_EQ(reader.ReadChar(), 'a');
  EXPECT_EQ(reader.ReadChar(), 'b');
  EXPECT_FALSE(reader.Eoln());
  EXPECT_TRUE(reader.SeekEoln());  // skips the blank and the tab
  EXPECT_EQ(reader.PeekChar(), '\n');
  EXPECT_EQ(reader.ReadChar(), '\n');  // CRLF as one '\n'
  EXPECT_EQ(reader.Offset(), 6);
  std::string word;
  EXPECT_TRUE(reader.ReadWord(word));
  EXPECT_EQ(word, "cd");
  EXPECT_TRUE(reader.Eof());
  EXPECT_TRUE(reader.Eoln());
  EXPECT_EQ(reader.ReadChar(), -1);
  EXPECT_FALSE(reader.ReadWord(word));
  EXPECT_FALSE(reader.ReadLine(word));
  EXPECT_EQ(word, "");
}

TEST(TextReaderTest, SkipLineAndMissingFiles) {
  TTextReader reader;
  reader.OpenText("header\rvalue 5\n");
  reader.SkipLine();
  std::string word;
  EXPECT_TRUE(reader.ReadWord(word));
  EXPECT_EQ(word, "value");

  TempDir dir;
  TTextReader missing;
  EXPECT_FALSE(missing.Open(dir.File("absent.txt")));
  EXPECT_FALSE(missing.IsOpen());
  EXPECT_FALSE(missing.Open(dir.Path().string()));  // a folder is not a text file
  EXPECT_TRUE(missing.Eof());
}

TEST(TextWriterTest, WritesAndAppends) {
  TempDir dir;
  const std::string name = dir.File("out.txt");
  {
    TTextWriter writer;
    writer.Rewrite(name);
    writer.Write("x = ");
    writer.WriteLn("1.5");
    writer.WriteLn();
    writer.Close();
    EXPECT_FALSE(writer.IsOpen());
  }
  {
    TTextWriter writer;
    writer.Append(name);
    writer.WriteLn("more");
  }  // closed by the destructor
  EXPECT_EQ(TempDir::Read(name), "x = 1.5\n\nmore\n");
}

TEST(TextWriterTest, EveryFailureRaisesWithTheFileName) {
  // /dev/full accepts the open but fails every write with ENOSPC; the small
  // text sits in the buffer until Close, the large one fails in Write.
  TTextWriter small;
  small.Rewrite("/dev/full");
  small.WriteLn("lost");
  try {
    small.Close();
    FAIL() << "no exception";
  } catch (const EInOutError& e) {
    EXPECT_NE(e.Message().find("/dev/full"), std::string::npos) << e.Message();
    EXPECT_NE(e.Message().find("No space left on device"), std::string::npos) << e.Message();
    EXPECT_NE(e.ErrorCode, 0);
  }
  EXPECT_FALSE(small.IsOpen());

  TTextWriter large;
  large.Rewrite("/dev/full");
  EXPECT_THROW(large.Write(std::string(1 << 20, 'z')), EInOutError);

  TempDir dir;
  TTextWriter writer;
  const std::string inMissingFolder = dir.File("no/such/folder.txt");
  try {
    writer.Rewrite(inMissingFolder);
    FAIL() << "no exception";
  } catch (const EInOutError& e) {
    EXPECT_NE(e.Message().find(inMissingFolder), std::string::npos) << e.Message();
  }
  EXPECT_FALSE(writer.TryRewrite(inMissingFolder));
  EXPECT_THROW(writer.Write("not open"), EInOutError);
  {
    TTextWriter unchecked;
    unchecked.Rewrite("/dev/full");
    unchecked.WriteLn("the destructor swallows the failure");
  }
}

}  // namespace
}  // namespace vexa
