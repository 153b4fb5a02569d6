// Matrix XML files: the tag handler, the writers' exact text, round trips of
// every bit, selection by id, and tables of damaged files that must leave the
// matrix unchanged without events.

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "foundation/Vexa_storage.h"
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

struct EventLog {
  explicit EventLog(TMatrix& m) {
    m.OnChange = [this](TObject*) { Events += 'C'; };
    m.OnResize = [this](TObject*) { Events += 'R'; };
  }
  std::string Events;
};

/// Rewinds a memory stream holding Text.
void Fill(TMemoryStream& s, const std::string& Text) {
  s.Write(Text.data(), static_cast<int64_t>(Text.size()));
  s.SetPosition(0);
}

std::string TextOf(TMemoryStream& s) {
  return std::string(reinterpret_cast<const char*>(s.Memory()), static_cast<size_t>(s.Size()));
}

const TCols kOld{{7, 8}, {9, 10}};

/// A matrix element with the given inner text.
std::string MatrixXml(const std::string& Inner, const std::string& ID = "m") {
  return "<matrix id=\"" + ID + "\">" + Inner + "</matrix>";
}

TEST(MatrixXml, WriterTextAndPrecision) {
  TMatrix m(nullptr);
  SetCells(m, {{0.1, -kInf}, {1e21, kNaN}});
  TMemoryStream s;
  ASSERT_TRUE(m.WriteToXMLStream(&s, true, "a&b<\"c\">"));
  EXPECT_EQ(TextOf(s),
            "<?xml version=\"1.0\"?>\n<matrix id=\"a&amp;b&lt;&quot;c&quot;&gt;\">\n"
            "  <numcols>2</numcols>\n  <numrows>2</numrows>\n"
            "  <cell ix=\"1\" iy=\"1\">0.1</cell>\n  <cell ix=\"1\" iy=\"2\">-INF</cell>\n"
            "  <cell ix=\"2\" iy=\"1\">1e+21</cell>\n  <cell ix=\"2\" iy=\"2\">NAN</cell>\n</matrix>\n");

  TMatrix Short(nullptr);
  SetCells(Short, {{1.005}});
  Short.SetPrecision(2, 2);
  TMemoryStream t;
  ASSERT_TRUE(Short.WriteToXMLStream(&t, false, ""));
  EXPECT_EQ(TextOf(t), "<matrix id=\"\">\n  <numcols>1</numcols>\n  <numrows>1</numrows>\n"
                       "  <cell ix=\"1\" iy=\"1\">1.00</cell>\n</matrix>\n");
  EXPECT_FALSE(m.WriteToXMLStream(nullptr, true, ""));
}

TEST(MatrixXml, RoundTripsEveryBitThroughFileAndStream) {
  TempDir Dir;
  const TCols Cells{{1.5, -0.0, kInf}, {0.0, -kInf, kNaN}, {0.1, 4.9e-324, -1.7976931348623157e308}};
  TMatrix m(nullptr);
  SetCells(m, Cells);
  ASSERT_TRUE(m.SaveAsXMLFile(Dir.File("m.xml"), "x<&>"));
  TMatrix Loaded(nullptr);
  EventLog Log(Loaded);
  EXPECT_TRUE(Loaded.LoadFromXMLFile(Dir.File("m.xml"), "x<&>"));
  ExpectSameCells(Loaded, Cells);
  EXPECT_EQ(Loaded.DataID(), "x<&>");
  EXPECT_EQ(Log.Events, "CR");

  TMemoryStream s;
  ASSERT_TRUE(m.WriteToXMLStream(&s, false, ""));
  s.SetPosition(0);
  TMatrix FromStream(nullptr);
  FromStream.SetDataID("old");
  EXPECT_TRUE(FromStream.ReadFromXMLStream(&s, ""));
  ExpectSameCells(FromStream, Cells);
  EXPECT_EQ(FromStream.DataID(), "");
  EXPECT_FALSE(m.SaveAsXMLFile(Dir.File("no/such/folder.xml"), ""));
}

TEST(MatrixXml, SelectsByIdAndStopsAfterTheElement) {
  TempDir Dir;
  const std::string Text = "<?xml version=\"1.0\"?>\n<!-- two matrices -->\n<data>" +
                           MatrixXml("<numcols>1</numcols><numrows>1</numrows><cell ix=\"1\" iy=\"1\">1</cell>",
                                     "first") +
                           MatrixXml("<numcols>2</numcols><numrows>1</numrows><cell ix=\"2\" iy=\"1\">2</cell>",
                                     "second") +
                           "</data>\n" +
                           MatrixXml("<numrows>1</numrows><numcols>1</numcols><cell ix=\"1\" iy=\"1\">3</cell>",
                                     "third");
  const std::string Path = Dir.Write("many.xml", Text);
  TMatrix m(nullptr);
  EXPECT_TRUE(m.LoadFromXMLFile(Path, "second"));
  ExpectSameCells(m, {{0}, {2}});
  EXPECT_EQ(m.DataID(), "second");
  EXPECT_TRUE(m.LoadFromXMLFile(Path, "third"));
  ExpectSameCells(m, {{3}});
  EXPECT_FALSE(m.LoadFromXMLFile(Path, "fourth"));

  // An open file is read matrix by matrix.
  TTextReader In;
  ASSERT_TRUE(In.Open(Dir.Write("two.xml", MatrixXml("<numcols>1</numcols><numrows>1</numrows>", "a") +
                                                "\n" + MatrixXml("<numcols>1</numcols><numrows>2</numrows>", "b"))));
  EXPECT_TRUE(m.ReadFromOpenXMLFile(In, ""));
  EXPECT_EQ(m.DataID(), "a");
  EXPECT_TRUE(m.ReadFromOpenXMLFile(In, ""));
  EXPECT_EQ(m.DataID(), "b");
  ExpectSameCells(m, {{0, 0}});
  EXPECT_FALSE(m.ReadFromOpenXMLFile(In, ""));
}

TEST(MatrixXml, OmittedCellsAreZeroOnEveryLoad) {
  TMatrix m(nullptr);
  SetCells(m, {{5, 5}, {5, 5}});
  TMemoryStream s;
  Fill(s, MatrixXml("<numcols>2</numcols><numrows>2</numrows><cell ix=\"2\" iy=\"1\">4</cell>"));
  EXPECT_TRUE(m.ReadFromXMLStream(&s, "m"));
  ExpectSameCells(m, {{0, 0}, {4, 0}});

  // The tag handler alone: the first cell zero-fills, a second matrix again.
  TMatrix h(nullptr);
  SetCells(h, {{5}});
  for (int Pass = 0; Pass < 2; ++Pass) {
    EXPECT_EQ(h.ProcessXmlTag(xmlMatBegin, "id=\"\"", ""), 0);
    EXPECT_EQ(h.ProcessXmlTag(xmlMatNumCols, "", " 2 "), 0);
    EXPECT_EQ(h.ProcessXmlTag(xmlMatNumRows, "", "+1"), 0);
    EXPECT_EQ(h.ProcessXmlTag(xmlMatCell, Pass == 0 ? "ix=\"1\" iy=\"1\"" : "ix=\"2\" iy=\"1\"", "3"), 0);
    EXPECT_EQ(h.ProcessXmlTag(xmlMatEnd, "", ""), 1);
    ExpectSameCells(h, Pass == 0 ? TCols{{3}, {0}} : TCols{{0}, {3}});
  }
  EXPECT_EQ(h.ProcessXmlTag(xmlInvalid, "", ""), -1);
  // A matrix without cells is all zeros.
  h.ProcessXmlTag(xmlMatBegin, "", "");
  h.ProcessXmlTag(xmlMatNumCols, "", "1");
  h.ProcessXmlTag(xmlMatNumRows, "", "1");
  EXPECT_EQ(h.ProcessXmlTag(xmlMatEnd, "", ""), 1);
  ExpectSameCells(h, {{0}});
}

TEST(MatrixXml, CellAttributesMatchWholeWordsAndSkipBadCells) {
  TMatrix m(nullptr);
  TMemoryStream s;
  Fill(s, MatrixXml("<numcols>2</numcols><numrows>2</numrows>"
                    "<cell xix=\"2\" ix = '1' wiy=\"2\" iy=\"1\">1.5</cell>"  // lookalikes ignored
                    "<cell ix=\"4294967297\" iy=\"1\">9</cell>"             // overflowing index
                    "<cell ix=\"3\" iy=\"1\">9</cell>"                      // outside
                    "<cell iy=\"2\">9</cell>"                               // no column
                    "<cell ix=\"2\" iy=\"2\">1e999</cell>"                  // value overflows
                    "<cell ix=\"1\" iy=\"2\">\n -2.5e-1 \n</cell>"));
  EXPECT_TRUE(m.ReadFromXMLStream(&s, ""));
  ExpectSameCells(m, {{1.5, -0.25}, {0, 0}});
}

TEST(MatrixXml, DamagedFilesChangeNothing) {
  const std::string Dims = "<numcols>2</numcols><numrows>1</numrows>";
  const std::string Cell = "<cell ix=\"1\" iy=\"1\">1</cell>";
  struct Case {
    const char* Name;
    std::string Text;
  };
  const std::vector<Case> Cases{
      {"no matrix", "<other>1</other>"},
      {"numcols missing", MatrixXml("<numrows>1</numrows>" + Cell)},
      {"numrows zero", MatrixXml("<numcols>1</numcols><numrows>0</numrows>" + Cell)},
      {"numcols overflowing", MatrixXml("<numcols>2147483648</numcols><numrows>1</numrows>" + Cell)},
      {"numcols not a number", MatrixXml("<numcols>two</numcols><numrows>1</numrows>")},
      {"dims after the first cell", MatrixXml("<numcols>2</numcols>" + Cell + "<numrows>1</numrows>")},
      {"dims missing, no cells", MatrixXml("")},
      {"layers on a 2-D matrix", MatrixXml(Dims + "<numplanes>2</numplanes>" + Cell)},
      {"unknown element inside", MatrixXml(Dims + "<note>x</note>" + Cell)},
      {"unterminated cell", MatrixXml(Dims + "<cell ix=\"1\" iy=\"1\">1")},
      {"unterminated matrix", "<matrix id=\"m\">" + Dims + Cell},
      {"unterminated tag", MatrixXml(Dims + "<cell ix=\"1\" iy=\"1\"")},
      {"nested matrix", MatrixXml(Dims + MatrixXml(Dims))},
      {"dims beyond the storage limit", MatrixXml("<numcols>2000000000</numcols><numrows>2000000000</numrows>")},
  };
  for (const Case& c : Cases) {
    SCOPED_TRACE(c.Name);
    TMatrix m(nullptr);
    SetCells(m, kOld);
    m.SetDataID("kept");
    EventLog Log(m);
    TMemoryStream s;
    Fill(s, c.Text);
    EXPECT_FALSE(m.ReadFromXMLStream(&s, ""));
    ExpectSameCells(m, kOld);
    EXPECT_EQ(m.DataID(), "kept");
    EXPECT_EQ(Log.Events, "");
  }
  TMatrix m(nullptr);
  EXPECT_FALSE(m.ReadFromXMLStream(nullptr, ""));
  EXPECT_FALSE(m.LoadFromXMLFile("/no/such/file.xml", ""));
}

}  // namespace
}  // namespace vexa
