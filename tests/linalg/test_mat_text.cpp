// TMatrix: streams, plain text files (with auto-detection) and ASC files;
// exact round trips, byte and text layouts written out by hand, and tables
// of damaged inputs that must leave the matrix unchanged without events.

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "foundation/Vexa_storage.h"
#include "fundora/Vexa_streams.h"
#include "linalg/Vexa_matrix.h"
#include "support/MatrixCells.h"
#include "support/TempDir.h"

namespace vexa {
namespace {

using testing::CellsOf;
using testing::SetCells;
using testing::TCols;
using testing::TempDir;

constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

/// Same bits, so that NaN, −0 and +0 compare as stored.
void ExpectSameCells(const TMatrix& m, const TCols& Expected) {
  const TCols Actual = CellsOf(m);
  ASSERT_EQ(Actual.size(), Expected.size());
  for (size_t c = 0; c < Actual.size(); ++c) {
    ASSERT_EQ(Actual[c].size(), Expected[c].size());
    for (size_t r = 0; r < Actual[c].size(); ++r) {
      EXPECT_EQ(std::bit_cast<uint64_t>(Actual[c][r]), std::bit_cast<uint64_t>(Expected[c][r]))
          << "cell (" << c + 1 << ", " << r + 1 << ")";
    }
  }
}

/// Records the events of a matrix as a string: 'C' OnChange, 'R' OnResize.
struct EventLog {
  explicit EventLog(TMatrix& m) {
    m.OnChange = [this](TObject*) { Events += 'C'; };
    m.OnResize = [this](TObject*) { Events += 'R'; };
  }
  std::string Events;
};

const TCols kSpecial{{1.5, -0.0, kInf}, {0.0, -kInf, kNaN}, {0.1, 1e-310, -1.7976931348623157e308}};
const TCols kOld{{7, 8}, {9, 10}};

/// Extended-real bytes of small integers (x87 layout, written out by hand).
std::string Ext(int Value) {
  switch (Value) {
    case 1: return std::string("\0\0\0\0\0\0\0\x80\xff\x3f", 10);
    case 2: return std::string("\0\0\0\0\0\0\0\x80\x00\x40", 10);
    case 3: return std::string("\0\0\0\0\0\0\0\xc0\x00\x40", 10);
    default: return std::string("\0\0\0\0\0\0\0\xa0\x00\xc0", 10);  // −2.5
  }
}

std::string StreamBytes(TMemoryStream& s) {
  return std::string(reinterpret_cast<const char*>(s.Memory()), static_cast<size_t>(s.Size()));
}

/// Fills s with Bytes and rewinds it.
void Fill(TMemoryStream& s, const std::string& Bytes) {
  s.Write(Bytes.data(), static_cast<int64_t>(Bytes.size()));
  s.SetPosition(0);
}

// ---------------------------------------------------------------- streams

TEST(MatrixStream, RoundTripsEveryBitAndPlacesSubRectangles) {
  TMatrix m(nullptr);
  SetCells(m, kSpecial);
  TMemoryStream* Stream = nullptr;
  m.SaveToStream(Stream, 0, 0, 0, 0);
  m.SaveToStream(Stream, 3, 3, 2, 2);  // reversed corners are exchanged: cells (2..3, 2..3)
  ASSERT_NE(Stream, nullptr);
  Stream->SetPosition(0);

  TMatrix Whole(nullptr);
  EventLog Log(Whole);
  EXPECT_TRUE(Whole.LoadFromStream(Stream, true));
  ExpectSameCells(Whole, kSpecial);
  EXPECT_EQ(Log.Events, "CR");

  TMatrix Part(nullptr);
  SetCells(Part, {{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}, {13, 14, 15, 16}});
  EXPECT_TRUE(Part.LoadFromStream(Stream, false));  // 4 × 4 holds the rectangle: size kept
  ExpectSameCells(Part, {{1, 2, 3, 4}, {5, -kInf, kNaN, 8}, {9, 1e-310, -1.7976931348623157e308, 12},
                         {13, 14, 15, 16}});
  delete Stream;
}

TEST(MatrixStream, LayoutIsFourIndicesThenCellsColumnByColumn) {
  TMatrix m(nullptr);
  SetCells(m, {{1, 2}, {-2.5, 1}});
  TMemoryStream* Stream = nullptr;
  m.SaveToStream(Stream, 2, 1, 2, 2);
  ASSERT_NE(Stream, nullptr);
  EXPECT_EQ(StreamBytes(*Stream), Ext(2) + Ext(1) + Ext(2) + Ext(2) + Ext(-2) + Ext(1));
  delete Stream;

  // AdjustMatrixSize gives HiC × HiR: column 1 keeps the old cells, new cells 0.
  TMemoryStream In;
  Fill(In, Ext(2) + Ext(1) + Ext(2) + Ext(2) + Ext(-2) + Ext(1));
  TMatrix Target(nullptr);
  SetCells(Target, {{7}});
  EXPECT_TRUE(Target.LoadFromStream(&In, true));
  ExpectSameCells(Target, {{7, 0}, {-2.5, 1}});
}

TEST(MatrixStream, DamagedStreamsChangeNothing) {
  const std::string Good = Ext(1) + Ext(1) + Ext(1) + Ext(2) + Ext(1) + Ext(2);
  const std::string NaNIndex = std::string("\0\0\0\0\0\0\0\xc0\xff\x7f", 10);
  const std::string Huge = std::string("\0\0\0\0\0\0\0\x80\x1f\x40", 10);  // 2^32
  struct Case {
    const char* Name;
    std::string Bytes;
    bool Adjust;
  };
  const std::vector<Case> Cases{
      {"truncated value", Good.substr(0, Good.size() - 1), true},
      {"truncated header", Good.substr(0, 25), true},
      {"NaN index", NaNIndex + Ext(1) + Ext(1) + Ext(1) + Ext(2), true},
      {"index beyond int32", Ext(1) + Ext(1) + Huge + Ext(1) + Ext(2), true},
      {"low above high", Ext(2) + Ext(1) + Ext(1) + Ext(1) + Ext(2), true},
      {"negative index", Ext(-2) + Ext(1) + Ext(1) + Ext(1) + Ext(2), true},
      {"forged count", Ext(1) + Ext(1) + Ext(2) + Ext(2) + Ext(1), true},
      {"matrix too small", Ext(1) + Ext(1) + Ext(1) + Ext(3) + Ext(2) + Ext(2) + Ext(1), false},
  };
  for (const Case& c : Cases) {
    SCOPED_TRACE(c.Name);
    TMatrix m(nullptr);
    SetCells(m, kOld);
    EventLog Log(m);
    TMemoryStream s;
    Fill(s, c.Bytes);
    EXPECT_FALSE(m.LoadFromStream(&s, c.Adjust));
    ExpectSameCells(m, kOld);
    EXPECT_EQ(Log.Events, "");
  }
  TMatrix m(nullptr);
  EXPECT_FALSE(m.LoadFromStream(nullptr, true));
}

TEST(MatrixStream, FileStreamRoundTrip) {
  TempDir Dir;
  TMatrix m(nullptr);
  SetCells(m, kSpecial);
  {
    TFileStream Out(Dir.File("m.bin"), fmCreate);
    m.SaveToStream(&Out, 0, 0, 0, 0);
  }
  TFileStream In(Dir.File("m.bin"), fmOpenRead);
  TMatrix Loaded(nullptr);
  EXPECT_TRUE(Loaded.LoadFromStream(&In, true));
  ExpectSameCells(Loaded, kSpecial);
}

// ---------------------------------------------------------------- plain text

TEST(MatrixText, WritesRowsWithThePrecisionAndReadsThemBack) {
  TempDir Dir;
  TMatrix m(nullptr);
  SetCells(m, {{1.25, -3.5}, {2.0, kInf}, {1234.5678, kNaN}});
  struct Case {
    int32_t Precision;
    const char* Text;
    TCols Read;
  };
  const std::vector<Case> Cases{
      {3, "1 1 3 2\n1.250 2.000 1234.568\n-3.500 +Inf Nan\n", {{1.25, -3.5}, {2, kInf}, {1234.568, kNaN}}},
      {0, "1 1 3 2\n1 2 1235\n-4 +Inf Nan\n", {{1, -4}, {2, kInf}, {1235, kNaN}}},
      {-1, "1 1 3 2\n1.2500E+0000 2.0000E+0000 1.2346E+0003\n-3.5000E+0000 +Inf Nan\n",
       {{1.25, -3.5}, {2, kInf}, {1234.6, kNaN}}},
  };
  for (const Case& c : Cases) {
    SCOPED_TRACE(c.Precision);
    m.SetPrecision(1, c.Precision);
    ASSERT_TRUE(m.StoreOnFile(0, 0, 0, 0, Dir.File("m.txt")));
    EXPECT_EQ(TempDir::Read(Dir.File("m.txt")), c.Text);
    TMatrix Loaded(nullptr);
    EventLog Log(Loaded);
    EXPECT_TRUE(Loaded.LoadFromFile(Dir.File("m.txt"), true));
    ExpectSameCells(Loaded, c.Read);
    EXPECT_EQ(Log.Events, "CR");
  }
  // A sub-rectangle, without resizing.
  m.SetPrecision(1, 2);
  ASSERT_TRUE(m.StoreOnFile(2, 1, 2, 2, Dir.File("part.txt")));
  EXPECT_EQ(TempDir::Read(Dir.File("part.txt")), "2 1 2 2\n2.00\n+Inf\n");
  TMatrix Target(nullptr);
  SetCells(Target, {{1, 1, 1}, {1, 1, 1}});
  EXPECT_TRUE(Target.LoadFromFile(Dir.File("part.txt"), false));
  ExpectSameCells(Target, {{1, 1, 1}, {2, kInf, 1}});
  EXPECT_FALSE(m.StoreOnFile(0, 0, 0, 0, Dir.File("no/such/folder.txt")));
}

TEST(MatrixText, DamagedFilesChangeNothing) {
  TempDir Dir;
  struct Case {
    const char* Name;
    const char* Text;
    bool Adjust;
  };
  const std::vector<Case> Cases{
      {"empty", "", true},
      {"three indices", "1 1 2\n", true},
      {"low above high", "2 1 1 1\n5\n", true},
      {"zero index", "0 1 1 1\n5\n", true},
      {"value missing", "1 1 2 2\n1 2\n3\n", true},
      {"not a number", "1 1 2 1\n1 x\n", true},
      {"forged count", "1 1 100000 100000\n1 2 3\n", true},
      {"matrix too small", "1 1 3 1\n1 2 3\n", false},
  };
  for (const Case& c : Cases) {
    SCOPED_TRACE(c.Name);
    TMatrix m(nullptr);
    SetCells(m, kOld);
    EventLog Log(m);
    EXPECT_FALSE(m.LoadFromFile(Dir.Write("bad.txt", c.Text), c.Adjust));
    ExpectSameCells(m, kOld);
    EXPECT_EQ(Log.Events, "");
  }
  TMatrix m(nullptr);
  EXPECT_FALSE(m.LoadFromFile(Dir.File("missing.txt"), true));
}

TEST(MatrixText, AutoDetectTakesNonEmptyLinesAsRows) {
  TempDir Dir;
  const std::string Path =
      Dir.Write("auto.txt", "// header comment\n1 2.5 -3 // first row\n\n  \n4\t5e1 Inf\r\n-0 7 8\n");
  TMatrix m(nullptr);
  EventLog Log(m);
  EXPECT_TRUE(m.LoadFromFile(Path, true, true));
  ExpectSameCells(m, {{1, 4, -0.0}, {2.5, 50, 7}, {-3, kInf, 8}});
  EXPECT_EQ(Log.Events, "CR");

  TMatrix Larger(nullptr);
  SetCells(Larger, {{9, 9, 9, 9}, {9, 9, 9, 9}, {9, 9, 9, 9}, {9, 9, 9, 9}});
  EXPECT_TRUE(Larger.LoadFromFile(Path, false, true));
  ExpectSameCells(Larger, {{1, 4, -0.0, 9}, {2.5, 50, 7, 9}, {-3, kInf, 8, 9}, {9, 9, 9, 9}});

  struct Case {
    const char* Name;
    const char* Text;
    bool Adjust;
  };
  const std::vector<Case> Cases{
      {"only comments", "// nothing\n\n", true},
      {"jagged rows", "1 2\n3\n", true},
      {"not a number", "1 2\n3 x\n", true},
      {"matrix too small", "1 2 3\n", false},
  };
  for (const Case& c : Cases) {
    SCOPED_TRACE(c.Name);
    TMatrix Old(nullptr);
    SetCells(Old, kOld);
    EventLog OldLog(Old);
    EXPECT_FALSE(Old.LoadFromFile(Dir.Write("bad.txt", c.Text), c.Adjust, true));
    ExpectSameCells(Old, kOld);
    EXPECT_EQ(OldLog.Events, "");
  }
}

// ---------------------------------------------------------------- ASC

TEST(MatrixASC, WritesHeaderRowsAndCustomDataAndReadsThemBack) {
  TempDir Dir;
  TMatrix m(nullptr);
  SetCells(m, {{1.5, -2}, {1234.5678, kNaN}, {0.0625, kInf}});
  const std::string Path = Dir.File("m.asc");
  ASSERT_EQ(m.ExportAsASC(Path, 3, "two\nlines"), 0);
  const std::string Header =
      "two lines\n3\t;nr. of columns\n2\t;nr. of rows\n"
      "FALSE FALSE FALSE FALSE\t;row attributes, column names, row names, nominal variables\n";
  const std::string Rows = "       1.500\t    1234.568\t       0.062\n      -2.000\t         NAN\t         ###\n";
  EXPECT_EQ(TempDir::Read(Path), Header + Rows);

  TMatrix Loaded(nullptr);
  EventLog Log(Loaded);
  std::string Comment;
  EXPECT_EQ(Loaded.ImportASC(Path, Comment), 0);
  EXPECT_EQ(Comment, "two lines");
  ExpectSameCells(Loaded, {{1.5, -2}, {1234.568, 0}, {0.062, 0}});
  EXPECT_EQ(Log.Events, "CR");

  // Custom data: [column][row], quotes doubled, line ends as blanks, a short column padded.
  const TStr2DArray Custom{{"a \"quoted\" name", "x\r\ny"}, {"tab\there"}};
  ASSERT_EQ(m.ExportAsASC(Path, 3, "", Custom), 0);
  EXPECT_EQ(TempDir::Read(Path),
            "Exported by Vexa TMatrix component: " + Path + Header.substr(Header.find('\n')) + Rows +
                "CUSTDATA\t2\t2\n\"a \"\"quoted\"\" name\"\t\"tab\there\"\n\"x  y\"\t\"\"\n");
  TStr2DArray Read{{"old"}};
  EXPECT_EQ(Loaded.ImportASC(Path, Comment, Read), 0);
  EXPECT_EQ(Read, (TStr2DArray{{"a \"quoted\" name", "x  y"}, {"tab\there", ""}}));

  // A file without the block gives empty custom data.
  ASSERT_EQ(m.ExportAsASC(Path, 3, "c"), 0);
  EXPECT_EQ(Loaded.ImportASC(Path, Comment, Read), 0);
  EXPECT_TRUE(Read.empty());
}

TEST(MatrixASC, ReadsRowAttributesAndNames) {
  TempDir Dir;
  const std::string Path = Dir.Write("named.asc",
                                     "named\n2\n2\nTRUE TRUE TRUE\n\"col a\" \"col b\"\n"
                                     "1.5 \"row one\" 1 2\n-2 \"row two\" 3 4\n");
  TMatrix m(nullptr);
  std::string Comment;
  EXPECT_EQ(m.ImportASC(Path, Comment), 0);
  ExpectSameCells(m, {{1, 3}, {2, 4}});
}

TEST(MatrixASC, DamagedFilesGiveTheirCodeAndChangeNothing) {
  TempDir Dir;
  const std::string Header = "c\n2\t;cols\n2\t;rows\nFALSE FALSE FALSE FALSE\n";
  struct Case {
    const char* Name;
    std::string Text;
    int32_t Code;
  };
  const std::vector<Case> Cases{
      {"bad column count", "c\nx\n2\nFALSE FALSE FALSE\n1 2\n3 4\n", -2},
      {"bad flags", "c\n2\n2\nMAYBE\n1 2\n3 4\n", -4},
      {"nominal variables", "c\n2\n2\nFALSE FALSE FALSE TRUE\n1 2\n3 4\n", -7},
      {"bad row attribute", "c\n2\n2\nTRUE FALSE FALSE\nx 1 2\n1 3 4\n", -5},
      {"bad value", Header + "1 2\n3 y\n", -6},
      {"short row", Header + "1 2\n3\n4 5\n", -6},
      {"long row", Header + "1 2 3\n4 5\n", -6},
      {"forged row count", "c\n2\n1000\nFALSE FALSE FALSE\n1 2\n3 4\n", -6},
      {"missing row name", "c\n2\n2\nFALSE FALSE TRUE\n\"a\" 1 2\n3 4\n", -6},
      {"custom data: no keyword", Header + "1 2\n3 4\nCUSTOM\t1\t1\n\"a\"\n", -9},
      {"custom data: unclosed quote", Header + "1 2\n3 4\nCUSTDATA\t1\t1\n\"a\n", -9},
      {"custom data: field missing", Header + "1 2\n3 4\nCUSTDATA\t2\t1\n\"a\"\n", -9},
      {"custom data: row missing", Header + "1 2\n3 4\nCUSTDATA\t1\t2\n\"a\"\n", -9},
      {"custom data: forged count", Header + "1 2\n3 4\nCUSTDATA\t100000\t100000\n\"a\"\n", -9},
  };
  for (const Case& c : Cases) {
    SCOPED_TRACE(c.Name);
    TMatrix m(nullptr);
    SetCells(m, kOld);
    EventLog Log(m);
    std::string Comment = "kept";
    TStr2DArray Custom{{"kept"}};
    EXPECT_EQ(m.ImportASC(Dir.Write("bad.asc", c.Text), Comment, Custom), c.Code);
    ExpectSameCells(m, kOld);
    EXPECT_EQ(Log.Events, "");
    EXPECT_EQ(Comment, "kept");
    EXPECT_EQ(Custom, TStr2DArray{{"kept"}});
  }
  TMatrix m(nullptr);
  std::string Comment;
  EXPECT_EQ(m.ImportASC(Dir.File("missing.asc"), Comment), -8);
  EXPECT_EQ(m.ExportAsASC(Dir.File("no/such/folder.asc"), 2, ""), -1);
}

}  // namespace
}  // namespace vexa
