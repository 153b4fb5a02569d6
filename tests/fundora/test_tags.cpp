// The element readers on strings, text files and streams, against a table of
// small documents, malformed and truncated ones included.

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>
#include <vector>

#include "fundora/Vexa_streams.h"
#include "fundora/Vexa_stringl.h"
#include "support/TempDir.h"

namespace vexa {
namespace {

const std::array<std::string, 7> kTags = {"geomap", "/geomap", "calline", "cell", "landmark", "root",
                                          "invalidtag"};
constexpr int32_t kInvalid = 6;

struct Element {
  int32_t Index;
  std::string Attributes;
  std::string Content;
  friend bool operator==(const Element&, const Element&) = default;
};

std::ostream& operator<<(std::ostream& os, const Element& e) {
  return os << "{" << e.Index << ", [" << e.Attributes << "], [" << e.Content << "]}";
}

/// Reads elements from a string until the invalid index comes.
std::vector<Element> ReadAllFromString(const std::string& Text) {
  std::vector<Element> elements;
  int32_t startAt = 1;
  for (int guard = 0; guard < 100; ++guard) {
    Element e;
    e.Index = ReadNextTagInString(Text, startAt, kTags, e.Attributes, e.Content);
    elements.push_back(e);
    if (e.Index == kInvalid) break;
  }
  return elements;
}

std::vector<Element> ReadAllFromStream(TStream& Stream) {
  std::vector<Element> elements;
  for (int guard = 0; guard < 100; ++guard) {
    Element e;
    e.Index = ReadNextTagInStream(Stream, kTags, e.Attributes, e.Content);
    elements.push_back(e);
    if (e.Index == kInvalid) break;
  }
  return elements;
}

std::vector<Element> ReadAllFromTextFile(TTextReader& Reader) {
  std::vector<Element> elements;
  for (int guard = 0; guard < 100; ++guard) {
    Element e;
    e.Index = ReadNextTagInTextFile(Reader, kTags, e.Attributes, e.Content);
    elements.push_back(e);
    if (e.Index == kInvalid) break;
  }
  return elements;
}

struct Fixture {
  const char* What;
  std::string Text;
  std::vector<Element> Expected;  // up to and including the first invalid index
};

const Fixture kFixtures[] = {
    {"empty input", "", {{kInvalid, "", ""}}},
    {"plain text only", "no tags here", {{kInvalid, "", ""}}},
    {"element with attributes and content",
     "<calline type=\"meridian\" npoints=\"2\">[1,2] [3,4]</calline>",
     {{2, "type=\"meridian\" npoints=\"2\"", "[1,2] [3,4]"}, {kInvalid, "", ""}}},
    {"names ignore case, text between elements is skipped",
     "junk <CELL ix=\"1\">5</Cell> more <Cell>6</CELL>",
     {{3, "ix=\"1\"", "5"}, {3, "", "6"}, {kInvalid, "", ""}}},
    {"empty element and end tag",
     "<landmark lat=\"48.2\" id=\"a\" /></geomap>",
     {{4, "lat=\"48.2\" id=\"a\"", ""}, {1, "", ""}, {kInvalid, "", ""}}},
    {"comments, declarations and instructions are skipped",
     "<?xml version=\"1.0\"?>\n<!DOCTYPE x>\n<!-- a <cell> -- b > c -->\n<cell>1</cell>",
     {{3, "", "1"}, {kInvalid, "", ""}}},
    {"nested elements of the same name are counted",
     "<root id=\"r\"><root>in</root><cell>2</cell></root><cell>3</cell>",
     {{5, "id=\"r\"", "<root>in</root><cell>2</cell>"}, {3, "", "3"}, {kInvalid, "", ""}}},
    {"content keeps line ends and inner markup as they are",
     "<root>\n  <cell ix=\"1\">7</cell>\n</root>",
     {{5, "", "\n  <cell ix=\"1\">7</cell>\n"}, {kInvalid, "", ""}}},
    {"'>' inside quotes does not end a tag",
     "<landmark captext=\"a > b\"/>",
     {{4, "captext=\"a > b\"", ""}, {kInvalid, "", ""}}},
    {"a stray '<' is plain text",
     "x < y <cell>1 < 2</cell>",
     {{3, "", "1 < 2"}, {kInvalid, "", ""}}},
    {"unknown element gives the invalid index with its parts",
     "<other a=\"1\">t</other><cell>1</cell>",
     {{kInvalid, "a=\"1\"", "t"}}},
    {"truncated inside a tag", "<cell ix=\"1", {{kInvalid, "", ""}}},
    {"truncated before the end tag", "<cell>12", {{kInvalid, "", ""}}},
    {"unbalanced quote swallows the rest", "<cell a=\"1>2</cell>", {{kInvalid, "", ""}}},
    {"unterminated comment", "<!-- never closed <cell>1</cell>", {{kInvalid, "", ""}}},
    {"end tag only in its own element", "</cell><cell>1</cell>", {{kInvalid, "", ""}}},
};

TEST(ReadNextTag, StringTextFileAndStreamAgreeOnEveryFixture) {
  vexa::testing::TempDir dir;
  for (const Fixture& f : kFixtures) {
    EXPECT_EQ(ReadAllFromString(f.Text), f.Expected) << f.What;

    TMemoryStream stream;
    stream.WriteBuffer(f.Text.data(), static_cast<int64_t>(f.Text.size()));
    stream.SetPosition(0);
    EXPECT_EQ(ReadAllFromStream(stream), f.Expected) << f.What << " (stream)";

    const std::string file = dir.Write("tags.xml", f.Text);
    TTextReader reader;
    ASSERT_TRUE(reader.Open(file));
    EXPECT_EQ(ReadAllFromTextFile(reader), f.Expected) << f.What << " (text file)";
  }
}

TEST(ReadNextTag, PositionsMovePastEachElement) {
  const std::string text = "<cell>1</cell> <cell>2</cell>";
  int32_t startAt = 1;
  std::string attributes, content;
  EXPECT_EQ(ReadNextTagInString(text, startAt, kTags, attributes, content), 3);
  EXPECT_EQ(startAt, 15);  // just after the first "</cell>"
  EXPECT_EQ(ReadNextTagInString(text, startAt, kTags, attributes, content), 3);
  EXPECT_EQ(content, "2");
  EXPECT_EQ(startAt, static_cast<int32_t>(text.size()) + 1);
  EXPECT_EQ(ReadNextTagInString(text, startAt, kTags, attributes, content), kInvalid);
  EXPECT_EQ(startAt, static_cast<int32_t>(text.size()) + 1);
  startAt = 1000;
  EXPECT_EQ(ReadNextTagInString(text, startAt, kTags, attributes, content), kInvalid);

  // The stream is left right after the element, for the caller's own reading.
  TMemoryStream stream;
  const std::string doc = "<cell>1</cell>tail";
  stream.WriteBuffer(doc.data(), static_cast<int64_t>(doc.size()));
  stream.SetPosition(0);
  EXPECT_EQ(ReadNextTagInStream(stream, kTags, attributes, content), 3);
  EXPECT_EQ(stream.Position(), 14);
  std::string rest;
  EXPECT_TRUE(ReadLnStream(stream, rest));
  EXPECT_EQ(rest, "tail");
}

TEST(ReadNextTag, EmptyTableGivesMinusOne) {
  int32_t startAt = 1;
  std::string attributes, content;
  EXPECT_EQ(ReadNextTagInString("<cell>1</cell>", startAt, {}, attributes, content), -1);
}

TEST(ReadNextTag, OversizedTagIsRejectedAndReadingGoesOn) {
  const std::string text = "<cell a=\"" + std::string(kMaxTagLength, 'x') + "\">1</cell><cell>2</cell>";
  int32_t startAt = 1;
  std::string attributes, content;
  EXPECT_EQ(ReadNextTagInString(text, startAt, kTags, attributes, content), kInvalid);
  EXPECT_TRUE(attributes.empty());
  // The reader does not hang on what is left: it ends or reaches the next element.
  int32_t index = 0;
  for (int guard = 0; guard < 10 && index != 3; ++guard)
    index = ReadNextTagInString(text, startAt, kTags, attributes, content);
  EXPECT_EQ(index, 3);
  EXPECT_EQ(content, "2");
}

TEST(ReadNextTag, LargeContentAcrossStreamBlocks) {
  std::string body;
  for (int i = 0; i < 5000; ++i) body += "<cell ix=\"" + std::to_string(i) + "\">" + std::to_string(i) + "</cell>\r\n";
  const std::string text = "<root>" + body + "</root><geomap/>";
  TMemoryStream stream;
  stream.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
  stream.SetPosition(0);
  std::string attributes, content;
  EXPECT_EQ(ReadNextTagInStream(stream, kTags, attributes, content), 5);
  EXPECT_EQ(content, body);
  EXPECT_EQ(ReadNextTagInStream(stream, kTags, attributes, content), 0);
  // The content is itself readable element by element.
  int32_t startAt = 1;
  int32_t cells = 0;
  while (ReadNextTagInString(body, startAt, kTags, attributes, content) == 3) ++cells;
  EXPECT_EQ(cells, 5000);
}

TEST(ReadNextTag, MutatedDocumentsAlwaysMakeProgressAndFormsAgree) {
  const std::string valid =
      "<?xml version=\"1.0\"?>\n<!-- map -->\n<geomap id=\"x\">\n"
      "<calline type=\"parallel\" value=\"48.5\" npoints=\"2\">\n[10,20] [30,40]\n</calline>\n"
      "<root><cell ix=\"1\" iy=\"2\">3.5</cell><root>n</root></root>\n"
      "<landmark captext=\"a > b\" id=\"lm\"/>\n</geomap>\n";
  const char specials[] = "<>/\"!-? \n";
  std::mt19937 generator(99);
  for (int trial = 0; trial < 3000; ++trial) {
    std::string text = valid;
    const int edits = 1 + static_cast<int>(generator() % 6);
    for (int e = 0; e < edits && !text.empty(); ++e) {
      const size_t at = generator() % text.size();
      switch (generator() % 4) {
        case 0: text[at] = specials[generator() % (sizeof specials - 1)]; break;
        case 1: text.insert(at, 1, specials[generator() % (sizeof specials - 1)]); break;
        case 2: text.erase(at, 1 + generator() % 8); break;
        default: text.resize(at); break;  // truncation
      }
    }
    TMemoryStream stream;
    stream.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
    stream.SetPosition(0);
    int32_t startAt = 1;
    while (startAt <= static_cast<int32_t>(text.size())) {
      const int32_t before = startAt;
      Element fromString, fromStream;
      fromString.Index = ReadNextTagInString(text, startAt, kTags, fromString.Attributes, fromString.Content);
      fromStream.Index = ReadNextTagInStream(stream, kTags, fromStream.Attributes, fromStream.Content);
      ASSERT_GT(startAt, before) << "trial " << trial;
      ASSERT_EQ(fromString, fromStream) << "trial " << trial;
      ASSERT_EQ(stream.Position(), startAt - 1) << "trial " << trial;
    }
  }
}

}  // namespace
}  // namespace vexa
