// Block files of the 4-D matrix: slot selection of the reader and the
// loaders, single layers, appending, the free layer readers, and damaged
// files that must leave the matrix (or array) as it was.

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "BlockFileBytes.h"
#include "linalg/Vexa_mat4d.h"
#include "platform/Vexa_exceptions.h"
#include "support/TempDir.h"

namespace vexa {
namespace {

using testing::AllZero;
using testing::BlockFileBytes;
using testing::DoubleBitsOfValue;
using testing::DoubleFile;
using testing::Int32At;
using testing::IntFile;
using testing::TempDir;

const double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

/// Value of cell (c, r, l, t) in the test files: its digits, so that every
/// value names its own position.
double Tag(int32_t c, int32_t r, int32_t l, int32_t t) { return 1000.0 * t + 100.0 * l + 10.0 * r + c; }

/// Values of a Cols × Rows × Layers × Slots file in file order, tagged.
std::vector<double> TaggedValues(int32_t Cols, int32_t Rows, int32_t Layers, int32_t Slots) {
  std::vector<double> Values;
  for (int32_t t = 1; t <= Slots; ++t) {
    for (int32_t l = 1; l <= Layers; ++l) {
      for (int32_t r = 1; r <= Rows; ++r) {
        for (int32_t c = 1; c <= Cols; ++c) {
          Values.push_back(Tag(c, r, l, t));
        }
      }
    }
  }
  return Values;
}

std::string TaggedFile(const TempDir& Dir, const std::string& Name, int32_t Cols, int32_t Rows, int32_t Layers,
                       int32_t Slots, bool Pad = true) {
  return Dir.Write(Name, BlockFileBytes(DoubleFile(Cols, Rows, Layers, Slots,
                                                   TaggedValues(Cols, Rows, Layers, Slots), "tag", 1, Pad)));
}

/// All cells of m in storage order (column fastest).
std::vector<uint64_t> BitsOf(const TMat4D& m) {
  std::vector<uint64_t> Bits;
  for (const double v : m.Data()) {
    Bits.push_back(std::bit_cast<uint64_t>(v));
  }
  return Bits;
}

struct Events {
  std::string Kinds;                  ///< C OnChange, R OnResize, P OnPercentDone
  std::vector<int32_t> Percents;
  std::vector<std::tuple<int32_t, int32_t, int32_t, int32_t, double>> Delivered;

  void Attach(TMat4D& m) {
    m.OnChange = [this](TObject*) { Kinds += 'C'; };
    m.OnResize = [this](TObject*) { Kinds += 'R'; };
    m.OnPercentDone = [this](TObject*, int32_t Percent) {
      Kinds += 'P';
      Percents.push_back(Percent);
    };
    m.OnReadElement = [this](TObject*, int32_t ix, int32_t iy, int32_t il, int32_t it, double v) {
      Delivered.emplace_back(ix, iy, il, it, v);
    };
  }
};

/// A 2 × 2 × 2 × 3 matrix with every cell set to a distinct value.
void FillTagged(TMat4D& m, int32_t Cols = 2, int32_t Rows = 2, int32_t Layers = 2, int32_t Slots = 3) {
  m.Resize(Cols, Rows, Layers, Slots);
  for (int32_t t = 1; t <= Slots; ++t) {
    for (int32_t l = 1; l <= Layers; ++l) {
      for (int32_t r = 1; r <= Rows; ++r) {
        for (int32_t c = 1; c <= Cols; ++c) {
          m.SetElem(c, r, l, t, Tag(c, r, l, t));
        }
      }
    }
  }
}

// ---------------------------------------------------------------- round trips and bytes

TEST(Mat4DBinary, RoundTripsSelectedSlotsExactly) {
  const TempDir Dir;
  TMat4D Source(nullptr);
  FillTagged(Source, 3, 2, 2, 4);
  Source.SetElem(1, 1, 1, 1, -0.0);
  Source.SetElem(2, 1, 1, 1, kNaN);
  Source.SetElem(3, 1, 1, 1, -kInf);
  Source.SetDataID("stack");
  struct Case {
    int32_t Start, End, First, Count;
  };
  // (0, 0) all; 2..3; 3..99 clipped to 3..4.
  for (const Case& c : std::vector<Case>{{0, 0, 1, 4}, {2, 3, 2, 2}, {3, 99, 3, 2}}) {
    SCOPED_TRACE(std::to_string(c.Start) + ".." + std::to_string(c.End));
    const std::string File = Dir.File("s.bin");
    ASSERT_TRUE(Source.SaveBinary(File, c.Start, c.End));
    TMat4D Loaded(nullptr);
    Events e;
    e.Attach(Loaded);
    EXPECT_EQ(Loaded.LoadBinaryIntern(File, 0, 0), 0);
    EXPECT_EQ(e.Kinds, "CR");
    EXPECT_EQ(Loaded.NrOfTimeSlots(), c.Count);
    EXPECT_EQ(Loaded.DataID(), "stack");
    for (int32_t t = 1; t <= c.Count; ++t) {
      for (int32_t l = 1; l <= 2; ++l) {
        for (int32_t r = 1; r <= 2; ++r) {
          for (int32_t col = 1; col <= 3; ++col) {
            EXPECT_EQ(std::bit_cast<uint64_t>(Loaded.Elem(col, r, l, t)),
                      std::bit_cast<uint64_t>(Source.Elem(col, r, l, c.First + t - 1)));
          }
        }
      }
    }
  }
  EXPECT_FALSE(Source.SaveBinary(Dir.File("none.bin"), 5, 6));  // beyond the slots
  EXPECT_FALSE(Source.SaveBinary(Dir.File("none.bin"), 3, 2));  // reversed
  EXPECT_FALSE(std::filesystem::exists(Dir.File("none.bin")));
}

TEST(Mat4DBinary, WrittenBytesDecodeByHand) {
  const TempDir Dir;
  TMat4D m(nullptr);
  FillTagged(m, 2, 2, 2, 1);
  const std::string File = Dir.File("m.bin");
  ASSERT_TRUE(m.SaveBinary(File, 0, 0));
  const std::string Bytes = TempDir::Read(File);
  ASSERT_EQ(Bytes.size(), 8192u);
  EXPECT_EQ(Int32At(Bytes, 0), 2);
  EXPECT_EQ(Int32At(Bytes, 8), 2);
  EXPECT_EQ(Int32At(Bytes, 12), 1);
  EXPECT_EQ(Int32At(Bytes, 272), 1);
  EXPECT_TRUE(AllZero(Bytes, 276, 4096));
  const std::vector<double> FileOrder = TaggedValues(2, 2, 2, 1);  // slot, layer, row, column fastest
  for (size_t k = 0; k < FileOrder.size(); ++k) {
    EXPECT_EQ(DoubleBitsOfValue(Bytes, k), std::bit_cast<uint64_t>(FileOrder[k])) << "value " << k;
  }
  EXPECT_TRUE(AllZero(Bytes, 4096 + 8 * FileOrder.size(), Bytes.size()));
}

// ---------------------------------------------------------------- ReadBinary

TEST(Mat4DBinary, ReadBinaryDeliversTheSelectedSlots) {
  const TempDir Dir;
  const std::string File = TaggedFile(Dir, "r.bin", 2, 1, 1, 4, false);
  struct Case {
    int32_t Start, End, Result;
    std::vector<int32_t> FileSlots;  ///< delivered, in order, as it = 1, 2, ...
  };
  const std::vector<Case> Cases{
      {3, 10, 0, {3, 4}}, {5, 6, -1, {}},     {0, 0, 0, {1, 2, 3, 4}}, {-1, 3, 0, {1, 2, 3, 4}},
      {2, 2, 0, {2}},     {3, 2, 0, {}},      {4, 4, 0, {4}},
  };
  for (const Case& c : Cases) {
    SCOPED_TRACE(std::to_string(c.Start) + ".." + std::to_string(c.End));
    TMat4D m(nullptr);
    Events e;
    e.Attach(m);
    EXPECT_EQ(m.ReadBinary(File, c.Start, c.End), c.Result);
    std::vector<std::tuple<int32_t, int32_t, int32_t, int32_t, double>> Expected;
    for (size_t k = 0; k < c.FileSlots.size(); ++k) {
      for (int32_t col = 1; col <= 2; ++col) {
        Expected.emplace_back(col, 1, 1, static_cast<int32_t>(k) + 1, Tag(col, 1, 1, c.FileSlots[k]));
      }
    }
    EXPECT_EQ(e.Delivered, Expected);
    // Fewer than 100 values: a report after every value, ending at 100 %.
    EXPECT_EQ(e.Percents.size(), Expected.size());
    if (!Expected.empty()) {
      EXPECT_EQ(e.Percents.back(), 100);
    }
    EXPECT_EQ(e.Kinds.find_first_not_of('P'), std::string::npos);  // the matrix is not changed
  }
}

TEST(Mat4DBinary, ReadBinaryReportsEveryHundredthValue) {
  const TempDir Dir;
  const std::string File = TaggedFile(Dir, "p.bin", 25, 10, 1, 1);  // 250 values: step 2
  TMat4D m(nullptr);
  Events e;
  e.Attach(m);
  EXPECT_EQ(m.ReadBinary(File, 0, 0), 0);
  ASSERT_EQ(e.Percents.size(), 125u);
  EXPECT_EQ(e.Percents[0], 1);   // 2 of 250 = 0.8 %
  EXPECT_EQ(e.Percents[1], 2);   // 4 of 250 = 1.6 %
  EXPECT_EQ(e.Percents.back(), 100);
}

TEST(Mat4DBinary, ReadBinaryOfOddFiles) {
  const TempDir Dir;
  // A 2-D file has no time slots: nothing to read, and slot 1 is beyond it.
  const std::string Flat = Dir.Write("flat.bin", BlockFileBytes(DoubleFile(3, 2, 0, 0, {1, 2, 3, 4, 5, 6})));
  TMat4D m(nullptr);
  Events e;
  e.Attach(m);
  EXPECT_EQ(m.ReadBinary(Flat, 0, 0), 0);
  EXPECT_EQ(m.ReadBinary(Flat, 1, 1), -1);
  EXPECT_TRUE(e.Kinds.empty());
  EXPECT_TRUE(e.Delivered.empty());

  const std::string Good = BlockFileBytes(DoubleFile(2, 1, 1, 2, {1, 2, 3, 4}, "", 1, false));
  const std::vector<std::pair<const char*, std::string>> Raising{
      {"negative columns", BlockFileBytes(DoubleFile(-2, 1, 1, 2, {1, 2, 3, 4}))},
      {"negative slots", BlockFileBytes(DoubleFile(2, 1, 1, -2, {1, 2, 3, 4}))},
      {"last value cut", Good.substr(0, Good.size() - 1)},
      {"header cut", Good.substr(0, 100)},
      {"huge sizes", BlockFileBytes(DoubleFile(2147483647, 2147483647, 2147483647, 2, {1}))},
  };
  for (const auto& [What, Bytes] : Raising) {
    SCOPED_TRACE(What);
    EXPECT_THROW(m.ReadBinary(Dir.Write("bad.bin", Bytes), 0, 0), EInOutError);
    EXPECT_TRUE(e.Delivered.empty());
  }
  EXPECT_THROW(m.ReadBinary(Dir.File("missing.bin"), 0, 0), EInOutError);
  // The format code is not examined: an integer file is read as doubles.
  EXPECT_EQ(m.ReadBinary(Dir.Write("fmt.bin", BlockFileBytes(DoubleFile(2, 1, 1, 1, {7, 8}, "", 2))), 0, 0), 0);
  EXPECT_EQ(e.Delivered.size(), 2u);
}

// ---------------------------------------------------------------- ReadLayer

TEST(Mat4DBinary, ReadLayerCodesAndCommit) {
  const TempDir Dir;
  const std::string Good = TaggedFile(Dir, "good.bin", 2, 2, 2, 3);
  const std::string OtherRows = TaggedFile(Dir, "rows.bin", 2, 3, 2, 3);
  const std::string Short = Dir.Write("short.bin", TempDir::Read(Good).substr(0, 4096 + 8 * 20));
  struct Case {
    const char* What;
    std::string File;
    int32_t Layer, TSlot, Code;
  };
  // The matrix has 2 × 2 × 2 × 2: slot 3 exists in the file but not in the matrix.
  const std::vector<Case> Cases{
      {"slot beyond the file", Good, 1, 4, -1},
      {"slot beyond the matrix", Good, 1, 3, -1},
      {"slot 0", Good, 1, 0, -1},
      {"layer 0", Good, 0, 1, -2},
      {"layer and slot bad: layer wins", Good, 3, 9, -2},
      {"rows differ", OtherRows, 1, 1, -3},
      {"rows differ and layer bad: rows win", OtherRows, 5, 1, -3},
      {"file ends early", Short, 1, 1, -4},
      {"file ends early and slot bad", Short, 1, 9, -4},
      {"missing file", Dir.File("missing.bin"), 1, 1, -4},
      {"integer format", Dir.Write("int.bin", BlockFileBytes(DoubleFile(2, 2, 1, 1, {1, 2, 3, 4}, "", 2))), 1, 1,
       -4},
  };
  for (const Case& c : Cases) {
    SCOPED_TRACE(c.What);
    TMat4D m(nullptr);
    m.Resize(2, 2, 2, 2);
    m.Fill(-5.0);
    Events e;
    e.Attach(m);
    const auto Before = BitsOf(m);
    EXPECT_EQ(m.ReadLayer(c.File, c.Layer, c.TSlot), c.Code);
    EXPECT_EQ(BitsOf(m), Before);
    EXPECT_EQ(e.Kinds, "");
  }
  TMat4D m(nullptr);
  m.Resize(2, 2, 2, 2);
  m.Fill(-5.0);
  Events e;
  e.Attach(m);
  EXPECT_EQ(m.ReadLayer(Good, 2, 2), 0);
  EXPECT_EQ(e.Kinds, "PPPPC");  // 4 values, then OnChange
  for (int32_t r = 1; r <= 2; ++r) {
    for (int32_t c = 1; c <= 2; ++c) {
      EXPECT_EQ(m.Elem(c, r, 2, 2), Tag(c, r, 2, 2));
      EXPECT_EQ(m.Elem(c, r, 1, 2), -5.0);  // other layers untouched
      EXPECT_EQ(m.Elem(c, r, 2, 1), -5.0);
    }
  }
}

// ---------------------------------------------------------------- loaders

TEST(Mat4DBinary, LoadersRefuseHostileFiles) {
  const TempDir Dir;
  const std::string Good = BlockFileBytes(DoubleFile(2, 1, 1, 4, TaggedValues(2, 1, 1, 4), "", 1, false));
  struct Case {
    const char* What;
    std::string Bytes;
    int32_t Start, End, Code;
  };
  const std::vector<Case> Cases{
      {"start beyond the slots", Good, 5, 9, -1},
      {"reversed pair", Good, 3, 2, -1},
      {"2-D header", BlockFileBytes(DoubleFile(2, 1, 0, 0, {1, 2})), 0, 0, -2},
      {"3-D header", BlockFileBytes(DoubleFile(2, 1, 1, 0, {1, 2})), 0, 0, -2},
      {"integer format", BlockFileBytes(DoubleFile(2, 1, 1, 1, {1, 2}, "", 2)), 0, 0, -2},
      {"zero columns", BlockFileBytes(DoubleFile(0, 1, 1, 1, {})), 0, 0, -2},
      {"negative layers", BlockFileBytes(DoubleFile(2, 1, -1, 1, {1, 2})), 0, 0, -2},
      {"sizes overflowing 64 bits", BlockFileBytes(DoubleFile(2147483647, 2147483647, 2147483647, 4, {1})), 0,
       0, -2},
      {"huge sizes", BlockFileBytes(DoubleFile(65536, 65536, 1, 1, {1})), 0, 0, -3},
      {"last value cut", Good.substr(0, Good.size() - 1), 1, 1, -3},
      {"header cut", Good.substr(0, 4000), 0, 0, -3},
      {"empty", "", 0, 0, -3},
  };
  for (const Case& c : Cases) {
    SCOPED_TRACE(c.What);
    TMat4D m(nullptr);
    FillTagged(m);
    m.SetDataID("kept");
    Events e;
    e.Attach(m);
    const auto Before = BitsOf(m);
    EXPECT_EQ(m.LoadBinary(Dir.Write("h.bin", c.Bytes), c.Start, c.End), c.Code);
    EXPECT_EQ(BitsOf(m), Before);
    EXPECT_EQ(m.NrOfTimeSlots(), 3);
    EXPECT_EQ(m.DataID(), "kept");
    EXPECT_EQ(e.Kinds, "");
  }
  TMat4D m(nullptr);
  EXPECT_EQ(m.LoadBinary(Dir.File("missing.bin"), 0, 0), -4);
  EXPECT_EQ(m.LoadBinary(Dir.Path().string(), 0, 0), -4);
}

TEST(Mat4DBinary, LoadersSelectSlotsAndFormatCheck) {
  const TempDir Dir;
  const std::string File = TaggedFile(Dir, "t.bin", 2, 1, 1, 4, false);  // a complete unpadded file
  TMat4D m(nullptr);
  Events e;
  e.Attach(m);
  EXPECT_EQ(m.LoadBinary(File, 3, 10), 0);
  EXPECT_EQ(m.NrOfTimeSlots(), 2);
  EXPECT_EQ(m.Elem(2, 1, 1, 1), Tag(2, 1, 1, 3));
  EXPECT_EQ(m.Elem(1, 1, 1, 2), Tag(1, 1, 1, 4));
  EXPECT_EQ(e.Kinds, "PPPPCR");  // 4 values: a report each, then the commit

  // A file whose format code is not 1 loads only without the check.
  const std::string Odd = Dir.Write("odd.bin", BlockFileBytes(DoubleFile(2, 1, 1, 1, {1.5, -2.5}, "x", 7)));
  EXPECT_EQ(m.LoadBinary(Odd, 0, 0), -2);
  EXPECT_EQ(m.LoadBinaryNoFmtCheck(Odd, 0, 0), 0);
  EXPECT_EQ(m.Elem(1, 1, 1, 1), 1.5);
  EXPECT_EQ(m.Elem(2, 1, 1, 1), -2.5);
  EXPECT_EQ(m.DataID(), "x");
}

// ---------------------------------------------------------------- appending

TEST(Mat4DBinary, AppendGrowsACompleteFile) {
  const TempDir Dir;
  TMat4D Source(nullptr);
  FillTagged(Source, 3, 2, 2, 5);  // 12 values per slot: slots end inside records
  const std::string File = Dir.File("a.bin");
  EXPECT_EQ(Source.AppendToBinaryFile(File, 1, 2), 0);  // creates the file
  EXPECT_EQ(Source.AppendToBinaryFile(File, 3, 3), 0);
  EXPECT_EQ(Source.AppendToBinaryFile(File, 4, 99), 0);
  EXPECT_EQ(std::filesystem::file_size(File) % 4096, 0u);

  TMat4D Loaded(nullptr);
  ASSERT_EQ(Loaded.LoadBinary(File, 0, 0), 0);
  EXPECT_EQ(Loaded.NrOfTimeSlots(), 5);
  EXPECT_EQ(BitsOf(Loaded), BitsOf(Source));
  EXPECT_EQ(Source.AppendToBinaryFile(File, 6, 6), -1);  // beyond the matrix's slots
}

TEST(Mat4DBinary, AppendRefusesMismatchingFiles) {
  const TempDir Dir;
  TMat4D Source(nullptr);
  FillTagged(Source);  // 2 × 2 × 2 × 3
  const std::string Complete = BlockFileBytes(DoubleFile(2, 2, 2, 1, TaggedValues(2, 2, 2, 1), "", 1, false));
  struct Case {
    const char* What;
    std::string Bytes;
    int32_t Code;
  };
  const std::vector<Case> Cases{
      {"other rows", BlockFileBytes(DoubleFile(2, 3, 2, 1, TaggedValues(2, 3, 2, 1))), -2},
      {"other layers", BlockFileBytes(DoubleFile(2, 2, 1, 1, TaggedValues(2, 2, 1, 1))), -2},
      {"2-D file", BlockFileBytes(DoubleFile(2, 2, 0, 0, {1, 2, 3, 4})), -2},
      {"integer format", BlockFileBytes(DoubleFile(2, 2, 2, 1, TaggedValues(2, 2, 2, 1), "", 2)), -2},
      {"slot count at its limit", BlockFileBytes(DoubleFile(2, 2, 2, 2147483647, {})), -2},
      {"values missing", Complete.substr(0, Complete.size() - 8), -3},
      {"header cut", Complete.substr(0, 10), -3},
  };
  for (const Case& c : Cases) {
    SCOPED_TRACE(c.What);
    const std::string File = Dir.Write("m.bin", c.Bytes);
    EXPECT_EQ(Source.AppendToBinaryFile(File, 1, 1), c.Code);
    EXPECT_EQ(TempDir::Read(File), c.Bytes);  // the file is untouched
  }
  EXPECT_EQ(Source.AppendToBinaryFile(Dir.Path().string(), 1, 1), -4);  // a folder
}

// ---------------------------------------------------------------- free layer readers

TEST(Mat4DBinary, Read4DLayerCodesAndValues) {
  const TempDir Dir;
  const std::string Good = TaggedFile(Dir, "g.bin", 3, 2, 2, 2);
  const std::string Short = Dir.Write("s.bin", TempDir::Read(Good).substr(0, 4096 + 8));
  const TDouble2DArray Kept{{42.0}};
  struct Case {
    const char* What;
    std::string File;
    int32_t Layer, TSlot, Code;
  };
  // File problems are reported first.
  const std::vector<Case> Cases{
      {"slot beyond", Good, 1, 3, -1},  {"layer beyond", Good, 3, 1, -2},     {"both bad", Good, 0, 0, -1},
      {"file ends early", Short, 9, 9, -3}, {"missing", Dir.File("no.bin"), 1, 1, -3},
      {"many columns, no rows", Dir.Write("w.bin", BlockFileBytes(DoubleFile(2147483647, 0, 1, 1, {}))), 1, 1,
       -3},
  };
  for (const Case& c : Cases) {
    SCOPED_TRACE(c.What);
    TDouble2DArray Layer = Kept;
    EXPECT_EQ(Read4DLayer(c.File, c.Layer, c.TSlot, Layer), c.Code);
    EXPECT_EQ(Layer, Kept);
  }
  TDouble2DArray Layer = Kept;
  EXPECT_EQ(Read4DLayer(Good, 2, 2, Layer), 0);
  EXPECT_EQ(Layer, (TDouble2DArray{{Tag(1, 1, 2, 2), Tag(1, 2, 2, 2)},
                                   {Tag(2, 1, 2, 2), Tag(2, 2, 2, 2)},
                                   {Tag(3, 1, 2, 2), Tag(3, 2, 2, 2)}}));
}

TEST(Mat4DBinary, Read4DLayerAndAccumulateCodesAndSums) {
  const TempDir Dir;
  const std::string Good = TaggedFile(Dir, "g.bin", 2, 1, 2, 2);
  const std::string Short = Dir.Write("s.bin", TempDir::Read(Good).substr(0, 4096 + 8));
  const TDouble2DArray Start{{0.5}, {-1.0}};
  struct Case {
    const char* What;
    std::string File;
    int32_t Layer, TSlot;
    TDouble2DArray Layer2D;
    int32_t Code;
  };
  const std::vector<Case> Cases{
      {"layer beyond", Good, 3, 1, Start, -1},
      {"slot beyond", Good, 1, 3, Start, -2},
      {"both bad", Good, 0, 0, Start, -1},
      {"wrong shape", Good, 1, 1, {{0.5, 1.0}, {-1.0, 2.0}}, -3},
      {"jagged", Good, 1, 1, {{0.5}, {}}, -3},
      {"file ends early", Short, 1, 1, Start, -4},
      {"missing", Dir.File("no.bin"), 1, 1, Start, -4},
  };
  for (const Case& c : Cases) {
    SCOPED_TRACE(c.What);
    TDouble2DArray Layer = c.Layer2D;
    EXPECT_EQ(Read4DLayerAndAccumulate(c.File, c.Layer, c.TSlot, Layer), c.Code);
    EXPECT_EQ(Layer, c.Layer2D);
  }
  TDouble2DArray Layer = Start;
  EXPECT_EQ(Read4DLayerAndAccumulate(Good, 2, 1, Layer), 0);
  EXPECT_EQ(Layer, (TDouble2DArray{{0.5 + Tag(1, 1, 2, 1)}, {-1.0 + Tag(2, 1, 2, 1)}}));
}

}  // namespace
}  // namespace vexa
