// TIntMatrix: streams, plain text, ASC, the sparse file and XML in both
// forms; exact layouts written out by hand, round trips, and tables of
// damaged inputs that leave the matrix unchanged without events.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "linalg/Vexa_intmatrix.h"
#include "support/TempDir.h"

namespace vexa {
namespace {

using testing::TempDir;

using TIntCols = std::vector<std::vector<int32_t>>;

void SetIntCells(TIntMatrix& m, const TIntCols& Cols) {
  m.Resize(static_cast<int32_t>(Cols.size()), static_cast<int32_t>(Cols[0].size()));
  for (size_t c = 0; c < Cols.size(); ++c) {
    for (size_t r = 0; r < Cols[c].size(); ++r) {
      m.SetElem(static_cast<int32_t>(c + 1), static_cast<int32_t>(r + 1), Cols[c][r]);
    }
  }
}

TIntCols IntCellsOf(const TIntMatrix& m) {
  TIntCols Cols(static_cast<size_t>(m.NrOfColumns()));
  for (int32_t c = 1; c <= m.NrOfColumns(); ++c) {
    for (int32_t r = 1; r <= m.NrOfRows(); ++r) {
      Cols[static_cast<size_t>(c - 1)].push_back(m.Elem(c, r));
    }
  }
  return Cols;
}

/// The entries of a sparse matrix as (col, row, value) triples.
std::vector<std::vector<int32_t>> EntriesOf(const TIntMatrix& m) {
  std::vector<std::vector<int32_t>> Result;
  for (const TSpMatElemInt& e : m.SparseEntries()) {
    Result.push_back({e.colidx, e.rowidx, e.value});
  }
  return Result;
}

struct EventLog {
  explicit EventLog(TIntMatrix& m) {
    m.OnChange = [this](TObject*) { Events += 'C'; };
    m.OnResize = [this](TObject*) { Events += 'R'; };
  }
  std::string Events;
};

std::string Int32(uint32_t v) {
  return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF), static_cast<char>((v >> 16) & 0xFF),
          static_cast<char>(v >> 24)};
}

const TIntCols kOld{{7, 8}, {9, 10}};
constexpr int32_t kMin = INT32_MIN;
constexpr int32_t kMax = INT32_MAX;

/// A sparse 4 × 5 matrix with entries (1, 2) = 0, (3, 1) = −5, (3, 4) = INT32_MIN.
void MakeSparse(TIntMatrix& m) {
  m.SetElem(3, 4, kMin);
  m.SetElem(1, 2, 0);
  m.SetElem(3, 1, -5);
  m.Resize(4, 5);
}

TEST(IntMatrixStream, LayoutRoundTripAndDamagedStreams) {
  TIntMatrix m(nullptr);
  SetIntCells(m, {{1, -2}, {kMin, kMax}});
  TMemoryStream* Stream = nullptr;
  m.SaveToStream(Stream, 0, 0, 0, 0);
  ASSERT_NE(Stream, nullptr);
  const std::string Expected = Int32(1) + Int32(1) + Int32(2) + Int32(2) + Int32(1) + Int32(0xFFFFFFFE) +
                               Int32(0x80000000) + Int32(0x7FFFFFFF);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(Stream->Memory()), static_cast<size_t>(Stream->Size())),
            Expected);
  Stream->SetPosition(0);
  TIntMatrix Loaded(nullptr);
  EventLog Log(Loaded);
  EXPECT_TRUE(Loaded.LoadFromStream(Stream, true));
  EXPECT_EQ(IntCellsOf(Loaded), IntCellsOf(m));
  EXPECT_EQ(Log.Events, "CR");
  delete Stream;

  struct Case {
    const char* Name;
    std::string Bytes;
  };
  const std::vector<Case> Cases{
      {"truncated", Expected.substr(0, Expected.size() - 1)},
      {"zero index", Int32(0) + Expected.substr(4)},
      {"forged count", Int32(1) + Int32(1) + Int32(0x7FFFFFFF) + Int32(0x7FFFFFFF) + Int32(5)},
  };
  for (const Case& c : Cases) {
    SCOPED_TRACE(c.Name);
    TIntMatrix Old(nullptr);
    SetIntCells(Old, kOld);
    EventLog OldLog(Old);
    TMemoryStream s;
    s.Write(c.Bytes.data(), static_cast<int64_t>(c.Bytes.size()));
    s.SetPosition(0);
    EXPECT_FALSE(Old.LoadFromStream(&s, true));
    EXPECT_EQ(IntCellsOf(Old), kOld);
    EXPECT_EQ(OldLog.Events, "");
  }
}

TEST(IntMatrixText, PlainTextAndASCRoundTrip) {
  TempDir Dir;
  TIntMatrix m(nullptr);
  SetIntCells(m, {{1, -2}, {kMin, kMax}, {0, 3}});
  ASSERT_TRUE(m.StoreOnFile(0, 0, 0, 0, Dir.File("m.txt")));
  EXPECT_EQ(TempDir::Read(Dir.File("m.txt")), "1 1 3 2\n1 -2147483648 0\n-2 2147483647 3\n");
  TIntMatrix Loaded(nullptr);
  EXPECT_TRUE(Loaded.LoadFromFile(Dir.File("m.txt"), true));
  EXPECT_EQ(IntCellsOf(Loaded), IntCellsOf(m));
  EXPECT_FALSE(Loaded.LoadFromFile(Dir.Write("real.txt", "1 1 1 1\n2.5\n"), true));

  ASSERT_EQ(m.ExportAsASC(Dir.File("m.asc"), ""), 0);
  EXPECT_EQ(TempDir::Read(Dir.File("m.asc")),
            "Exported by Vexa TIntMatrix component: " + Dir.File("m.asc") +
                "\n3\t;nr. of columns\n2\t;nr. of rows\n"
                "FALSE FALSE FALSE FALSE\t;row attributes, column names, row names, nominal variables\n"
                "1\t-2147483648\t0\n-2\t2147483647\t3\n");
  TIntMatrix FromASC(nullptr);
  std::string Comment;
  EXPECT_EQ(FromASC.ImportASC(Dir.File("m.asc"), Comment), 0);
  EXPECT_EQ(IntCellsOf(FromASC), IntCellsOf(m));
  // Reals are rounded to nearest, ties to even, and saturated.
  EXPECT_EQ(FromASC.ImportASC(Dir.Write("r.asc", "c\n4\n1\nFALSE FALSE FALSE\n2.5 3.5 -2.5 1e10\n"), Comment), 0);
  EXPECT_EQ(IntCellsOf(FromASC), (TIntCols{{2}, {4}, {-2}, {kMax}}));
}

TEST(IntMatrixText, SparseFileRoundTripsBothForms) {
  TempDir Dir;
  TIntMatrix Dense(nullptr);
  SetIntCells(Dense, {{0, 4}, {0, 0}, {kMin, 0}});
  ASSERT_TRUE(Dense.StoreSparseMat(Dir.File("d.txt")));
  EXPECT_EQ(TempDir::Read(Dir.File("d.txt")), "3 2 2\n1 2 4\n3 1 -2147483648\n");
  TIntMatrix FromDense(nullptr);
  EventLog Log(FromDense);
  EXPECT_TRUE(FromDense.LoadSparseMat(Dir.File("d.txt")));
  EXPECT_TRUE(FromDense.IsSparse());
  EXPECT_EQ(FromDense.NrOfColumns(), 3);
  EXPECT_EQ(FromDense.NrOfRows(), 2);
  EXPECT_EQ(IntCellsOf(FromDense), IntCellsOf(Dense));
  EXPECT_EQ(Log.Events, "CR");

  TIntMatrix Sparse(nullptr, SparseForm, 2);
  MakeSparse(Sparse);
  ASSERT_TRUE(Sparse.StoreSparseMat(Dir.File("s.txt")));
  EXPECT_EQ(TempDir::Read(Dir.File("s.txt")), "4 5 3\n1 2 0\n3 1 -5\n3 4 -2147483648\n");
  TIntMatrix FromSparse(nullptr);
  EXPECT_TRUE(FromSparse.LoadSparseMat(Dir.File("s.txt")));
  EXPECT_EQ(EntriesOf(FromSparse), EntriesOf(Sparse));
  EXPECT_EQ(FromSparse.CRCofData(), Sparse.CRCofData());
  EXPECT_EQ(FromSparse.NrOfColumns(), 4);
  EXPECT_EQ(FromSparse.NrOfRows(), 5);
}

TEST(IntMatrixText, DamagedSparseFilesChangeNothing) {
  TempDir Dir;
  struct Case {
    const char* Name;
    const char* Text;
  };
  const std::vector<Case> Cases{
      {"unsorted", "3 3 2\n2 1 5\n1 1 5\n"},
      {"duplicate", "3 3 2\n1 1 5\n1 1 6\n"},
      {"row before column order", "3 3 2\n1 2 5\n1 1 5\n"},
      {"index outside", "3 3 1\n4 1 5\n"},
      {"zero index", "3 3 1\n0 1 5\n"},
      {"more entries than cells", "1 1 2\n1 1 5\n"},
      {"entries the file cannot hold", "100000 100000 1000000\n1 1 5\n"},
      {"entry missing", "3 3 2\n1 1 5\n"},
      {"value overflows", "3 3 1\n1 1 2147483648\n"},
      {"trailing data", "3 3 1\n1 1 5\n2 2 5\n"},
      {"negative size", "-3 3 0\n"},
      {"empty", ""},
  };
  for (const Case& c : Cases) {
    SCOPED_TRACE(c.Name);
    TIntMatrix m(nullptr);
    SetIntCells(m, kOld);
    EventLog Log(m);
    EXPECT_FALSE(m.LoadSparseMat(Dir.Write("bad.txt", c.Text)));
    EXPECT_FALSE(m.IsSparse());
    EXPECT_EQ(IntCellsOf(m), kOld);
    EXPECT_EQ(Log.Events, "");
  }
}

TEST(IntMatrixText, DenseFormatReadersRefuseTheSparseForm) {
  TempDir Dir;
  TIntMatrix Source(nullptr);
  SetIntCells(Source, {{1}});
  TMemoryStream* Stream = nullptr;
  Source.SaveToStream(Stream, 0, 0, 0, 0);
  Stream->SetPosition(0);
  ASSERT_TRUE(Source.StoreOnFile(0, 0, 0, 0, Dir.File("m.txt")));
  ASSERT_EQ(Source.ExportAsASC(Dir.File("m.asc"), ""), 0);

  TIntMatrix m(nullptr, SparseForm, 4);
  MakeSparse(m);
  EventLog Log(m);
  std::string Comment;
  TStr2DArray Custom;
  EXPECT_FALSE(m.LoadFromStream(Stream, true));
  EXPECT_FALSE(m.LoadFromFile(Dir.File("m.txt"), true));
  EXPECT_EQ(m.ImportASC(Dir.File("m.asc"), Comment), -10);
  EXPECT_EQ(m.ImportASC(Dir.File("m.asc"), Comment, Custom), -10);
  EXPECT_EQ(EntriesOf(m), (std::vector<std::vector<int32_t>>{{1, 2, 0}, {3, 1, -5}, {3, 4, kMin}}));
  EXPECT_EQ(Log.Events, "");
  delete Stream;

  // The writers read the sparse form through its getter.
  ASSERT_TRUE(m.StoreOnFile(0, 0, 0, 0, Dir.File("s.txt")));
  TIntMatrix Dense(nullptr);
  EXPECT_TRUE(Dense.LoadFromFile(Dir.File("s.txt"), true));
  EXPECT_EQ(IntCellsOf(Dense), IntCellsOf(m));
}

TEST(IntMatrixXml, RoundTripsBothFormsAndSkipsOverflowingValues) {
  TIntMatrix Sparse(nullptr, SparseForm, 2);
  MakeSparse(Sparse);
  TMemoryStream s;
  ASSERT_TRUE(Sparse.WriteToXMLStream(&s, false, "sp"));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(s.Memory()), static_cast<size_t>(s.Size())),
            "<matrix id=\"sp\">\n  <numcols>4</numcols>\n  <numrows>5</numrows>\n"
            "  <cell ix=\"1\" iy=\"2\">0</cell>\n  <cell ix=\"3\" iy=\"1\">-5</cell>\n"
            "  <cell ix=\"3\" iy=\"4\">-2147483648</cell>\n</matrix>\n");

  // Into a sparse matrix: the entries and the dimensions of the file.
  s.SetPosition(0);
  TIntMatrix IntoSparse(nullptr, SparseForm, 1);
  IntoSparse.SetElem(9, 9, 1);
  EXPECT_TRUE(IntoSparse.ReadFromXMLStream(&s, "sp"));
  EXPECT_EQ(EntriesOf(IntoSparse), EntriesOf(Sparse));
  EXPECT_EQ(IntoSparse.NrOfColumns(), 4);
  EXPECT_EQ(IntoSparse.NrOfRows(), 5);
  EXPECT_EQ(IntoSparse.DataID(), "sp");

  // Into a dense matrix: every cell.
  s.SetPosition(0);
  TIntMatrix IntoDense(nullptr);
  EXPECT_TRUE(IntoDense.ReadFromXMLStream(&s, ""));
  EXPECT_FALSE(IntoDense.IsSparse());
  EXPECT_EQ(IntCellsOf(IntoDense), IntCellsOf(Sparse));

  TMemoryStream t;
  const std::string Text =
      "<matrix><numcols>2</numcols><numrows>1</numrows><cell ix=\"1\" iy=\"1\">2147483648</cell>"
      "<cell ix=\"2\" iy=\"1\"> -2147483648 </cell></matrix>";
  t.Write(Text.data(), static_cast<int64_t>(Text.size()));
  t.SetPosition(0);
  EXPECT_TRUE(IntoDense.ReadFromXMLStream(&t, ""));
  EXPECT_EQ(IntCellsOf(IntoDense), (TIntCols{{0}, {kMin}}));
}

TEST(IntMatrixXml, SparseReadTakesCellsInAnyOrderLastOneWinning) {
  // Cells listed backwards, (2, 1) twice: the entries come out ordered and
  // the later value of a place wins, as when writing the cells in file order.
  const std::string Text =
      "<matrix><numcols>3</numcols><numrows>2</numrows>"
      "<cell ix=\"3\" iy=\"2\">7</cell><cell ix=\"2\" iy=\"1\">1</cell>"
      "<cell ix=\"1\" iy=\"2\">5</cell><cell ix=\"2\" iy=\"1\">4</cell></matrix>";
  TMemoryStream s;
  s.Write(Text.data(), static_cast<int64_t>(Text.size()));
  s.SetPosition(0);
  TIntMatrix m(nullptr, SparseForm, 1);
  ASSERT_TRUE(m.ReadFromXMLStream(&s, ""));
  const std::vector<std::vector<int32_t>> Expected{{1, 2, 5}, {2, 1, 4}, {3, 2, 7}};
  EXPECT_EQ(EntriesOf(m), Expected);
  EXPECT_EQ(m.NrOfColumns(), 3);
  EXPECT_EQ(m.NrOfRows(), 2);
}

}  // namespace
}  // namespace vexa
