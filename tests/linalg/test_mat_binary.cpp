// Block files of the 2-D and 3-D matrices: exact round trips, the bytes we write
// decoded by hand, files built byte by byte, and damaged files that must
// leave the matrix as it was.

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "BlockFileBytes.h"
#include "linalg/Vexa_intmatrix.h"
#include "linalg/Vexa_mat3d.h"
#include "linalg/Vexa_matrix.h"
#include "platform/Vexa_exceptions.h"
#include "support/MatrixCells.h"
#include "support/TempDir.h"

namespace vexa {
namespace {

using testing::AllZero;
using testing::BlockFileBytes;
using testing::CellsOf;
using testing::DoubleBitsOfValue;
using testing::DoubleFile;
using testing::IntFile;
using testing::Int32At;
using testing::SetCells;
using testing::TBlockFileContents;
using testing::TCols;
using testing::TempDir;

constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kPayloadNaN = std::bit_cast<double>(uint64_t{0xFFF4000000000123});

/// Records "C" for OnChange and "R" for OnResize.
template <class M>
void RecordEvents(M& m, std::string& Events) {
  m.OnChange = [&Events](TObject*) { Events += 'C'; };
  m.OnResize = [&Events](TObject*) { Events += 'R'; };
}

void ExpectSameBits(const TCols& Actual, const TCols& Expected) {
  ASSERT_EQ(Actual.size(), Expected.size());
  for (size_t c = 0; c < Actual.size(); ++c) {
    ASSERT_EQ(Actual[c].size(), Expected[c].size());
    for (size_t r = 0; r < Actual[c].size(); ++r) {
      EXPECT_EQ(std::bit_cast<uint64_t>(Actual[c][r]), std::bit_cast<uint64_t>(Expected[c][r]))
          << "cell " << c + 1 << ", " << r + 1;
    }
  }
}

/// Columns × rows of distinct values with the special ones spread over them.
TCols Pattern(size_t Cols, size_t Rows) {
  const std::vector<double> Specials{0.0, -0.0, kInf, -kInf, kNaN, kPayloadNaN, 5e-324, -1.7976931348623157e308};
  TCols Cells(Cols, std::vector<double>(Rows));
  size_t k = 0;
  for (auto& Column : Cells) {
    for (double& v : Column) {
      v = k < Specials.size() ? Specials[k] : 0.1 * static_cast<double>(k) - 7.0;
      ++k;
    }
  }
  return Cells;
}

// ---------------------------------------------------------------- TMatrix

TEST(MatrixBinary, RoundTripsExactlyWithEventsInOrder) {
  const TempDir Dir;
  struct Case {
    size_t Cols, Rows;
    std::string Id;
  };
  // 512 values fill one record exactly; 513 and 1400 cross record ends.
  const std::vector<Case> Cases{{1, 1, ""}, {3, 2, "pressure"}, {16, 32, "full record"}, {513, 1, "x"},
                                {2, 700, std::string("a\0\xFF", 3)}};
  for (const Case& c : Cases) {
    SCOPED_TRACE(std::to_string(c.Cols) + " x " + std::to_string(c.Rows));
    TMatrix Source(nullptr);
    SetCells(Source, Pattern(c.Cols, c.Rows));
    Source.SetDataID(c.Id);
    const std::string File = Dir.File("m.bin");
    ASSERT_TRUE(Source.SaveBinary(File));
    EXPECT_EQ(std::filesystem::file_size(File) % 4096, 0u);

    TMatrix Loaded(nullptr);
    std::string Events;
    RecordEvents(Loaded, Events);
    EXPECT_EQ(Loaded.LoadBinary(File), 0);
    EXPECT_EQ(Events, "CR");
    EXPECT_EQ(Loaded.DataID(), c.Id);
    ExpectSameBits(CellsOf(Loaded), Pattern(c.Cols, c.Rows));
  }
}

TEST(MatrixBinary, WrittenBytesDecodeByHand) {
  const TempDir Dir;
  TMatrix m(nullptr);
  SetCells(m, {{1.5, -2.0}, {kInf, 0.25}, {-0.0, 3.0}});  // 3 columns, 2 rows
  m.SetDataID(std::string(300, 'q'));                     // cut to 255 bytes
  const std::string File = Dir.File("m.bin");
  ASSERT_TRUE(m.SaveBinary(File));
  const std::string Bytes = TempDir::Read(File);

  ASSERT_EQ(Bytes.size(), 8192u);  // header record + one padded value record
  EXPECT_EQ(Int32At(Bytes, 0), 3);
  EXPECT_EQ(Int32At(Bytes, 4), 2);
  EXPECT_EQ(Int32At(Bytes, 8), 0);
  EXPECT_EQ(Int32At(Bytes, 12), 0);
  EXPECT_EQ(static_cast<uint8_t>(Bytes[16]), 255);
  EXPECT_EQ(Bytes.substr(17, 255), std::string(255, 'q'));
  EXPECT_EQ(Int32At(Bytes, 272), 1);
  EXPECT_TRUE(AllZero(Bytes, 276, 4096));
  // Row 1 (columns 1..3), then row 2.
  const std::vector<double> FileOrder{1.5, kInf, -0.0, -2.0, 0.25, 3.0};
  for (size_t k = 0; k < FileOrder.size(); ++k) {
    EXPECT_EQ(DoubleBitsOfValue(Bytes, k), std::bit_cast<uint64_t>(FileOrder[k])) << "value " << k;
  }
  EXPECT_TRUE(AllZero(Bytes, 4096 + 6 * 8, Bytes.size()));
}

TEST(MatrixBinary, LoadsFilesBuiltByteByByte) {
  const TempDir Dir;
  // File order is row by row: 1 2 3 / 4 5 6 gives columns {1,4} {2,5} {3,6}.
  for (const bool Pad : {true, false}) {
    SCOPED_TRACE(Pad ? "padded" : "unpadded");
    const std::string File =
        Dir.Write("b.bin", BlockFileBytes(DoubleFile(3, 2, 0, 0, {1, 2, 3, 4, 5, 6}, "id", 1, Pad)));
    TMatrix m(nullptr);
    EXPECT_EQ(m.LoadBinary(File), 0);
    ExpectSameBits(CellsOf(m), {{1, 4}, {2, 5}, {3, 6}});
    EXPECT_EQ(m.DataID(), "id");

    int32_t Cols = 0, Rows = 0, Format = 0;
    std::string Id;
    EXPECT_TRUE(TMatrix::ReadBinaryHeader(File, Cols, Rows, Id, Format));
    EXPECT_EQ(Cols, 3);
    EXPECT_EQ(Rows, 2);
    EXPECT_EQ(Id, "id");
    EXPECT_EQ(Format, 1);
  }
}

/// A damaged or foreign file and the code LoadBinary gives for it.
struct HostileCase {
  const char* What;
  std::string Bytes;
  int32_t Code;
};

std::vector<HostileCase> HostileMatrixFiles() {
  const std::string Good = BlockFileBytes(DoubleFile(3, 2, 0, 0, {1, 2, 3, 4, 5, 6}, "", 1, false));
  return {
      {"empty file", "", -3},
      {"header cut short", Good.substr(0, 4095), -3},
      {"last value cut short", Good.substr(0, Good.size() - 1), -3},
      {"header only", Good.substr(0, 4096), -3},
      {"3-D header", BlockFileBytes(DoubleFile(3, 2, 1, 0, {1, 2, 3, 4, 5, 6})), -2},
      {"integer format", BlockFileBytes(IntFile(3, 2, {1, 2, 3, 4, 5, 6})), -2},
      {"unknown format", BlockFileBytes(DoubleFile(3, 2, 0, 0, {1, 2, 3, 4, 5, 6}, "", 0)), -2},
      {"negative columns", BlockFileBytes(DoubleFile(-3, 2, 0, 0, {1, 2, 3, 4, 5, 6})), -2},
      {"zero rows", BlockFileBytes(DoubleFile(3, 0, 0, 0, {1})), -2},
      {"negative layers", BlockFileBytes(DoubleFile(3, 2, -1, 0, {1, 2, 3, 4, 5, 6})), -2},
      {"slots without layers", BlockFileBytes(DoubleFile(3, 2, 0, 2, {1, 2, 3, 4, 5, 6})), -2},
      {"huge sizes", BlockFileBytes(DoubleFile(2147483647, 2147483647, 0, 0, {1, 2})), -3},
  };
}

TEST(MatrixBinary, HostileFilesLeaveTheMatrixUnchanged) {
  const TempDir Dir;
  for (const HostileCase& c : HostileMatrixFiles()) {
    SCOPED_TRACE(c.What);
    TMatrix m(nullptr);
    SetCells(m, {{9, 8}});
    m.SetDataID("kept");
    std::string Events;
    RecordEvents(m, Events);
    EXPECT_EQ(m.LoadBinary(Dir.Write("h.bin", c.Bytes)), c.Code);
    ExpectSameBits(CellsOf(m), {{9, 8}});
    EXPECT_EQ(m.DataID(), "kept");
    EXPECT_EQ(Events, "");
  }
  TMatrix m(nullptr);
  EXPECT_EQ(m.LoadBinary(Dir.File("missing.bin")), -4);
  EXPECT_EQ(m.LoadBinary(Dir.Path().string()), -4);  // a folder
}

TEST(MatrixBinary, HeaderCheckAndErrors) {
  const TempDir Dir;
  struct Case {
    const char* What;
    TBlockFileContents Contents;
    bool Accepted;
  };
  // A header record alone is enough for the header check.
  const std::vector<Case> Cases{
      {"3 x 2, no layers, format 1", DoubleFile(3, 2, 0, 0, {}, "h"), true},
      {"3-D", DoubleFile(3, 2, 2, 0, {}, "h"), false},
      {"format 2", IntFile(3, 2, {}, "h"), false},
      {"no columns", DoubleFile(0, 2, 0, 0, {}, "h"), false},
  };
  for (const Case& c : Cases) {
    SCOPED_TRACE(c.What);
    int32_t Cols = 0, Rows = 0, Format = 0;
    std::string Id;
    EXPECT_EQ(TMatrix::ReadBinaryHeader(Dir.Write("h.bin", BlockFileBytes(c.Contents)), Cols, Rows, Id, Format),
              c.Accepted);
    EXPECT_EQ(Cols, c.Contents.Cols);  // the outputs show what the header holds
    EXPECT_EQ(Format, c.Contents.Format);
  }
  int32_t Cols = 7, Rows = 7, Format = 7;
  std::string Id = "unchanged";
  EXPECT_FALSE(TMatrix::ReadBinaryHeader(Dir.File("missing.bin"), Cols, Rows, Id, Format));
  EXPECT_EQ(Cols, 7);
  EXPECT_EQ(Id, "unchanged");
  EXPECT_THROW(TMatrix::ReadBinaryHeader(Dir.Write("short.bin", std::string(100, 'x')), Cols, Rows, Id, Format),
               EInOutError);
}

TEST(MatrixBinary, SaveFailuresGiveFalse) {
  const TempDir Dir;
  TMatrix m(nullptr);
  EXPECT_FALSE(m.SaveBinary(Dir.Path().string()));                   // a folder
  EXPECT_FALSE(m.SaveBinary(Dir.File("no/such/folder/m.bin")));      // missing folder
  if (std::filesystem::exists("/dev/full")) {
    EXPECT_FALSE(m.SaveBinary("/dev/full"));  // every write fails
  }
}

// ---------------------------------------------------------------- TIntMatrix

/// All cells of an integer matrix as columns.
std::vector<std::vector<int32_t>> IntCellsOf(const TIntMatrix& m) {
  std::vector<std::vector<int32_t>> Cols(static_cast<size_t>(m.NrOfColumns()));
  for (int32_t c = 1; c <= m.NrOfColumns(); ++c) {
    for (int32_t r = 1; r <= m.NrOfRows(); ++r) {
      Cols[static_cast<size_t>(c - 1)].push_back(m.Elem(c, r));
    }
  }
  return Cols;
}

TEST(IntMatrixBinary, RoundTripsDenseAndSparseAndDecodesByHand) {
  const TempDir Dir;
  TIntMatrix Dense(nullptr);
  Dense.Resize(3, 2);
  const std::vector<std::vector<int32_t>> Cells{{INT32_MIN, -1}, {0, 7}, {INT32_MAX, 123456}};
  for (int32_t c = 1; c <= 3; ++c) {
    for (int32_t r = 1; r <= 2; ++r) {
      Dense.SetElem(c, r, Cells[static_cast<size_t>(c - 1)][static_cast<size_t>(r - 1)]);
    }
  }
  Dense.SetDataID("counts");
  const std::string File = Dir.File("i.bin");
  ASSERT_TRUE(Dense.SaveBinary(File));
  const std::string Bytes = TempDir::Read(File);
  ASSERT_EQ(Bytes.size(), 8192u);
  EXPECT_EQ(Int32At(Bytes, 0), 3);
  EXPECT_EQ(Int32At(Bytes, 4), 2);
  EXPECT_EQ(Int32At(Bytes, 272), 2);
  const std::vector<int32_t> FileOrder{INT32_MIN, 0, INT32_MAX, -1, 7, 123456};  // row by row
  for (size_t k = 0; k < FileOrder.size(); ++k) {
    EXPECT_EQ(Int32At(Bytes, 4096 + 4 * k), FileOrder[k]) << "value " << k;
  }
  EXPECT_TRUE(AllZero(Bytes, 4096 + 4 * FileOrder.size(), Bytes.size()));

  TIntMatrix Loaded(nullptr);
  std::string Events;
  RecordEvents(Loaded, Events);
  EXPECT_EQ(Loaded.LoadBinary(File), 0);
  EXPECT_EQ(Events, "CR");
  EXPECT_EQ(IntCellsOf(Loaded), Cells);
  EXPECT_EQ(Loaded.DataID(), "counts");

  // A sparse matrix writes its missing cells as 0 and cannot load.
  TIntMatrix Sparse(nullptr, SparseForm, 4);
  EXPECT_FALSE(Sparse.SaveBinary(Dir.File("empty.bin")));  // 0 x 0
  Sparse.SetElem(3, 1, -9);
  Sparse.SetElem(1, 2, 5);
  ASSERT_TRUE(Sparse.SaveBinary(File));
  EXPECT_EQ(Loaded.LoadBinary(File), 0);
  EXPECT_EQ(IntCellsOf(Loaded), (std::vector<std::vector<int32_t>>{{0, 5}, {0, 0}, {-9, 0}}));
  EXPECT_EQ(Sparse.LoadBinary(File), -5);
  EXPECT_TRUE(Sparse.IsSparse());
}

TEST(IntMatrixBinary, RefusesOtherFormatsAndDamage) {
  const TempDir Dir;
  const std::string Good = BlockFileBytes(IntFile(2, 2, {1, 2, 3, 4}, "", false));
  const std::vector<HostileCase> Cases{
      {"double format", BlockFileBytes(DoubleFile(2, 2, 0, 0, {1, 2, 3, 4})), -2},
      {"3-D header", BlockFileBytes(DoubleFile(2, 2, 1, 0, {}, "", 2)), -2},
      {"last value cut", Good.substr(0, Good.size() - 1), -3},
      {"header cut", Good.substr(0, 300), -3},
  };
  for (const HostileCase& c : Cases) {
    SCOPED_TRACE(c.What);
    TIntMatrix m(nullptr);
    m.SetElem(1, 1, 77);
    std::string Events;
    RecordEvents(m, Events);
    EXPECT_EQ(m.LoadBinary(Dir.Write("h.bin", c.Bytes)), c.Code);
    EXPECT_EQ(IntCellsOf(m), (std::vector<std::vector<int32_t>>{{77}}));
    EXPECT_EQ(Events, "");
  }
  int32_t Cols = 0, Rows = 0, Format = 0;
  std::string Id;
  EXPECT_TRUE(TIntMatrix::ReadBinaryHeader(Dir.Write("g.bin", Good), Cols, Rows, Id, Format));
  EXPECT_FALSE(TIntMatrix::ReadBinaryHeader(Dir.Write("d.bin", Cases[0].Bytes), Cols, Rows, Id, Format));
}

// ---------------------------------------------------------------- TMat3D

TEST(Mat3DBinary, RoundTripsAndDecodesByHand) {
  const TempDir Dir;
  TMat3D m(nullptr);
  m.Resize(2, 3, 2);
  const auto Value = [](int32_t c, int32_t r, int32_t l) { return 100.0 * l + 10.0 * r + c; };
  for (int32_t c = 1; c <= 2; ++c) {
    for (int32_t r = 1; r <= 3; ++r) {
      for (int32_t l = 1; l <= 2; ++l) {
        m.SetElem(c, r, l, Value(c, r, l));
      }
    }
  }
  m.SetElem(2, 3, 2, kPayloadNaN);
  m.SetDataID("vol");
  const std::string File = Dir.File("v.bin");
  ASSERT_TRUE(m.SaveBinary(File));
  const std::string Bytes = TempDir::Read(File);
  EXPECT_EQ(Int32At(Bytes, 8), 2);
  EXPECT_EQ(Int32At(Bytes, 12), 0);
  size_t k = 0;  // layer, row, column fastest
  for (int32_t l = 1; l <= 2; ++l) {
    for (int32_t r = 1; r <= 3; ++r) {
      for (int32_t c = 1; c <= 2; ++c, ++k) {
        EXPECT_EQ(DoubleBitsOfValue(Bytes, k), std::bit_cast<uint64_t>(m.Elem(c, r, l))) << "value " << k;
      }
    }
  }

  TMat3D Loaded(nullptr);
  std::string Events;
  RecordEvents(Loaded, Events);
  EXPECT_EQ(Loaded.LoadBinary(File), 0);
  EXPECT_EQ(Events, "CR");
  ASSERT_EQ(Loaded.Data().size(), m.Data().size());
  for (size_t i = 0; i < m.Data().size(); ++i) {
    EXPECT_EQ(std::bit_cast<uint64_t>(Loaded.Data()[i]), std::bit_cast<uint64_t>(m.Data()[i]));
  }
  EXPECT_EQ(Loaded.DataID(), "vol");
}

TEST(Mat3DBinary, TwoDimensionalHeaderIsAcceptedOnlyBy2DMatrices) {
  const TempDir Dir;
  // 3 columns, 2 rows, 0 layers, 0 time slots, format 1: the header alone.
  const std::string File = Dir.Write("h.bin", BlockFileBytes(DoubleFile(3, 2, 0, 0, {})));
  int32_t Cols = 0, Rows = 0, Layers = -1, Slots = -1, Format = 0;
  std::string Id;
  EXPECT_TRUE(TMatrix::ReadBinaryHeader(File, Cols, Rows, Id, Format));
  EXPECT_FALSE(TMat3D::ReadBinaryHeader(File, Cols, Rows, Layers, Slots, Id, Format));
  EXPECT_EQ(Layers, 0);
  EXPECT_TRUE(TMat3D::ReadBinaryHeader(Dir.Write("v.bin", BlockFileBytes(DoubleFile(3, 2, 4, 0, {}))), Cols,
                                       Rows, Layers, Slots, Id, Format));

  TMat3D m(nullptr);
  std::string Events;
  RecordEvents(m, Events);
  const std::vector<HostileCase> Cases{
      {"2-D file", BlockFileBytes(DoubleFile(3, 2, 0, 0, {1, 2, 3, 4, 5, 6})), -2},
      {"4-D file", BlockFileBytes(DoubleFile(1, 1, 1, 1, {1})), -2},
      {"values missing", BlockFileBytes(DoubleFile(3, 2, 4, 0, {1, 2, 3}, "", 1, false)), -3},
  };
  for (const HostileCase& c : Cases) {
    SCOPED_TRACE(c.What);
    EXPECT_EQ(m.LoadBinary(Dir.Write("x.bin", c.Bytes)), c.Code);
    EXPECT_EQ(m.NrOfLayers(), 1);
  }
  EXPECT_EQ(Events, "");
}

}  // namespace
}  // namespace vexa
