// Array files: the text format (StoreArray / LoadArray) and the block file
// (SaveBinaryArray / LoadBinaryArray / ReadBinaryArrayHeader): bit-exact
// round trips, the byte layout, and hostile files.

#include <gtest/gtest.h>

#include <bit>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>

#include "support/TempDir.h"
#include "arrays/Vexa_openarrays.h"
#include "platform/Vexa_exceptions.h"

namespace vexa {
namespace {

using vexa::testing::TempDir;

const double NaN = std::numeric_limits<double>::quiet_NaN();
const double Inf = std::numeric_limits<double>::infinity();

/// Bit patterns of the cells, so that NaN and -0 compare exactly.
std::vector<uint64_t> Bits(const TDoubleArray& A) {
  std::vector<uint64_t> B;
  for (const double x : A) {
    B.push_back(std::bit_cast<uint64_t>(x));
  }
  return B;
}
std::vector<uint64_t> Bits(const TDouble2DArray& A) {
  std::vector<uint64_t> B;
  for (const auto& Column : A) {
    const auto More = Bits(Column);
    B.insert(B.end(), More.begin(), More.end());
  }
  return B;
}
std::vector<uint64_t> Bits(const TDouble3DArray& A) {
  std::vector<uint64_t> B;
  for (const auto& Plane : A) {
    const auto More = Bits(Plane);
    B.insert(B.end(), More.begin(), More.end());
  }
  return B;
}

/// Values whose text is hard to get right.
const TDoubleArray Awkward{0.1, -0.0, 5e-324, 2.2250738585072014e-308, 1.7976931348623157e308, -1.0 / 3, NaN,
                           Inf, -Inf, 123456789012345678.0, 1e-7};

// ---------------------------------------------------------------- text files

TEST(TextFiles, RoundTripsBitExactly) {
  TempDir Dir;
  std::string Comment;
  TDoubleArray Line;
  ASSERT_EQ(StoreArray(Dir.File("a.txt"), Awkward, "one\tline\nonly"), 0);
  ASSERT_EQ(LoadArray(Dir.File("a.txt"), Line, Comment), 0);
  EXPECT_EQ(Bits(Line), Bits(Awkward));
  EXPECT_EQ(Comment, "one line only");  // control characters blanked

  TDouble2DArray Square{{Awkward[0], Awkward[1], Awkward[2]}, {Awkward[6], Awkward[7], Awkward[8]}};
  TDouble2DArray Square2;
  ASSERT_EQ(StoreArray(Dir.File("b.txt"), Square, ""), 0);
  ASSERT_EQ(LoadArray(Dir.File("b.txt"), Square2, Comment), 0);
  EXPECT_EQ(Bits(Square2), Bits(Square));
  EXPECT_EQ(Comment, "");

  const TDouble3DArray Cube{{{1, 2}, {3, 4}}, {{5, 6}, {NaN, 1e300}}, {{-1, -2}, {-3, -4}}};
  for (const bool Labels : {false, true}) {
    TDouble3DArray Cube2;
    ASSERT_EQ(StoreArray(Dir.File("c.txt"), Cube, Labels, "cube"), 0);
    ASSERT_EQ(LoadArray(Dir.File("c.txt"), Cube2, Comment), 0);
    EXPECT_EQ(Bits(Cube2), Bits(Cube));
    const std::string Text = TempDir::Read(Dir.File("c.txt"));
    EXPECT_EQ(Text.find("\n# [2]\n") != std::string::npos, Labels) << Text;
  }

  const TInt3DArray Ints{{{INT_MIN, INT_MAX, 0}}, {{-1, 1, 7}}};
  TInt3DArray Ints2;
  ASSERT_EQ(StoreArray(Dir.File("d.txt"), Ints, "ints"), 0);
  ASSERT_EQ(LoadArray(Dir.File("d.txt"), Ints2, Comment), 0);
  EXPECT_EQ(Ints2, Ints);
  TIntArray Flat;
  ASSERT_EQ(StoreArray(Dir.File("e.txt"), TIntArray{3, -4}, "x"), 0);
  ASSERT_EQ(LoadArray(Dir.File("e.txt"), Flat, Comment), 0);
  EXPECT_EQ(Flat, (TIntArray{3, -4}));
}

TEST(TextFiles, LayoutOfA4DArrayWithLabels) {
  TempDir Dir;
  const TInt4DArray A{{{{1, 2}}, {{3, 4}}}};  // 1 x 2 x 1 x 2
  ASSERT_EQ(StoreArray(Dir.File("f.txt"), A, true, "four"), 0);
  EXPECT_EQ(TempDir::Read(Dir.File("f.txt")), "four\n4 1 2 1 2\n# [0][0]\n1 2\n# [0][1]\n3 4\n");
  TDouble2DArray Empty;
  EXPECT_EQ(StoreArray(Dir.File("g.txt"), Empty, "none"), -1);
  EXPECT_EQ(StoreArray(Dir.File("g.txt"), TDouble2DArray{{1}, {}}, "ragged"), -1);
  EXPECT_THROW(StoreArray(Dir.File("no/such/folder/g.txt"), TDoubleArray{1}, ""), EInOutError);
}

TEST(TextFiles, HostileFilesLeaveTheDestination) {
  TempDir Dir;
  struct Case {
    const char* What;
    std::string Text;
    int32_t Status;
  };
  const Case Cases[] = {
      {"empty file", "", -2},
      {"comment only", "c\n", -2},
      {"rank 5", "c\n5 1 1 1 1 1\n1\n", -2},
      {"rank 1", "c\n1 2\n1 2\n", -3},
      {"negative size", "c\n2 -1 2\n1 2\n", -2},
      {"zero size", "c\n2 0 2\n", -2},
      {"size beyond int32", "c\n2 4294967297 1\n1\n", -2},
      {"huge sizes", "c\n2 2000000000 2000000000\n1 2\n", -2},
      {"truncated", "c\n2 2 2\n1 2\n3\n", -2},
      {"extra value", "c\n2 1 2\n1 2 3\n", -2},
      {"not a number", "c\n2 1 2\n1 abc\n", -2},
      {"overflowing number", "c\n2 1 2\n1 1e999\n", -2},
  };
  const TDouble2DArray Before{{42}};
  for (const Case& c : Cases) {
    const std::string File = Dir.Write("h.txt", c.Text);
    TDouble2DArray A = Before;
    std::string Comment = "keep";
    EXPECT_EQ(LoadArray(File, A, Comment), c.Status) << c.What;
    EXPECT_EQ(A, Before) << c.What;
    EXPECT_EQ(Comment, "keep") << c.What;
  }
  TIntArray Ints{7};
  std::string Comment = "keep";
  EXPECT_EQ(LoadArray(Dir.Write("i.txt", "c\n1 2\n1 2.5\n"), Ints, Comment), -3);  // a real where integers belong
  EXPECT_EQ(LoadArray(Dir.File("missing.txt"), Ints, Comment), -1);
  EXPECT_EQ(Ints, TIntArray{7});
  // A long comment, "#" lines among the values, CRLF line ends.
  const std::string LongComment(1 << 20, 'x');
  ASSERT_EQ(LoadArray(Dir.Write("j.txt", LongComment + "\r\n1 3\r\n# note\r\n1\r\n2 3\r\n"), Ints, Comment), 0);
  EXPECT_EQ(Ints, (TIntArray{1, 2, 3}));
  EXPECT_EQ(Comment, LongComment);
}

// ---------------------------------------------------------------- block files

/// Bytes of a block-file header record.
std::string HeaderBytes(int32_t Cols, int32_t Rows, int32_t Layers, int32_t Slots, const std::string& Id,
                        int32_t Format) {
  std::string Record(4096, '\0');
  const int32_t Fields[4] = {Cols, Rows, Layers, Slots};
  std::memcpy(&Record[0], Fields, sizeof(Fields));  // the test machine is little-endian
  Record[16] = static_cast<char>(Id.size());
  std::memcpy(&Record[17], Id.data(), Id.size());
  std::memcpy(&Record[272], &Format, 4);
  return Record;
}

template <class T>
std::string ValueBytes(std::initializer_list<T> Values, size_t PadTo = 4096) {
  std::string Bytes;
  for (const T v : Values) {
    Bytes.append(reinterpret_cast<const char*>(&v), sizeof(T));
  }
  Bytes.resize(std::max(Bytes.size(), PadTo), '\0');
  return Bytes;
}

TEST(BlockFiles, RoundTripsAndLayout) {
  TempDir Dir;
  const TDouble2DArray A{{Awkward[0], Awkward[1], Awkward[2]}, {Awkward[6], Awkward[7], Awkward[4]}};  // 2 columns, 3 rows
  ASSERT_EQ(SaveBinaryArray(Dir.File("a.bin"), A, "two by three"), 0);
  const std::string Bytes = TempDir::Read(Dir.File("a.bin"));
  ASSERT_EQ(Bytes.size(), 2u * 4096);
  EXPECT_EQ(Bytes.substr(0, 4096), HeaderBytes(2, 3, 0, 0, "two by three", 1));
  // Column fastest: A[0][0], A[1][0], A[0][1], A[1][1], ...
  double Third;
  std::memcpy(&Third, &Bytes[4096 + 2 * 8], 8);
  EXPECT_EQ(Third, A[0][1]);
  TDouble2DArray B;
  std::string Comment;
  ASSERT_EQ(LoadBinaryArray(Dir.File("a.bin"), B, Comment, true), 0);
  EXPECT_EQ(Bits(B), Bits(A));
  EXPECT_EQ(Comment, "two by three");

  int32_t Cols = 0, Rows = 0, Layers = -1, Slots = -1, Format = 0;
  ASSERT_TRUE(ReadBinaryArrayHeader(Dir.File("a.bin"), Cols, Rows, Layers, Slots, Comment, Format));
  EXPECT_EQ((std::array{Cols, Rows, Layers, Slots, Format}), (std::array{2, 3, 0, 0, 1}));

  // 1025 integers need two data records of 1024.
  TInt2DArray Ints(1025, TIntArray(1));
  FillArraySerial(Ints, INT_MAX - 1024, 1);
  ASSERT_EQ(SaveBinaryArray(Dir.File("b.bin"), Ints, std::string(300, 'i')), 0);
  EXPECT_EQ(TempDir::Read(Dir.File("b.bin")).size(), 3u * 4096);
  TInt2DArray Ints2;
  ASSERT_EQ(LoadBinaryArray(Dir.File("b.bin"), Ints2, Comment, true), 0);
  EXPECT_EQ(Ints2, Ints);
  EXPECT_EQ(Comment, std::string(255, 'i'));  // the identifier holds 255 characters

  TDouble4DArray Four(3, TDouble3DArray(2, TDouble2DArray(2, TDoubleArray(200))));
  FillArraySerial(Four, -5.0, 0.25);
  TDouble4DArray Four2;
  ASSERT_EQ(SaveBinaryArray(Dir.File("c.bin"), Four, "4d"), 0);
  ASSERT_EQ(LoadBinaryArray(Dir.File("c.bin"), Four2, Comment, true), 0);
  EXPECT_EQ(Four2, Four);
  ASSERT_TRUE(ReadBinaryArrayHeader(Dir.File("c.bin"), Cols, Rows, Layers, Slots, Comment, Format));
  EXPECT_EQ((std::array{Cols, Rows, Layers, Slots}), (std::array{3, 2, 2, 200}));

  TDouble3DArray Three{{{1}, {2}}, {{3}, {4}}};
  TDouble3DArray Three2;
  ASSERT_EQ(SaveBinaryArray(Dir.File("d.bin"), Three, ""), 0);
  ASSERT_EQ(LoadBinaryArray(Dir.File("d.bin"), Three2, Comment, true), 0);
  EXPECT_EQ(Three2, Three);

  EXPECT_EQ(SaveBinaryArray(Dir.File("e.bin"), TDouble2DArray{}, ""), -1);
  EXPECT_THROW(SaveBinaryArray(Dir.File("no/such/e.bin"), A, ""), EStreamError);
}

TEST(BlockFiles, StrictAndConvertingLoads) {
  TempDir Dir;
  std::string Comment;
  const std::string IntFile = Dir.Write("i.bin", HeaderBytes(2, 1, 0, 0, "i", 2) + ValueBytes<int32_t>({-7, INT_MAX}));
  const std::string RealFile =
      Dir.Write("r.bin", HeaderBytes(1, 3, 0, 0, "r", 1) + ValueBytes<double>({2.5, NaN, -1e300}));
  const std::string File3D = Dir.Write("3.bin", HeaderBytes(1, 1, 2, 0, "3", 1) + ValueBytes<double>({1, 2}));

  TDouble2DArray Reals{{42}};
  EXPECT_EQ(LoadBinaryArray(IntFile, Reals, Comment, true), -3);
  EXPECT_EQ(LoadBinaryArray(File3D, Reals, Comment, false), -3);  // more dimensions than the array
  EXPECT_EQ(Reals, TDouble2DArray{{42}});
  ASSERT_EQ(LoadBinaryArray(IntFile, Reals, Comment, false), 0);
  EXPECT_EQ(Reals, (TDouble2DArray{{-7}, {2147483647.0}}));

  TInt2DArray Ints;
  EXPECT_EQ(LoadBinaryArray(RealFile, Ints, Comment, true), -3);
  ASSERT_EQ(LoadBinaryArray(RealFile, Ints, Comment, false), 0);
  EXPECT_EQ(Ints, (TInt2DArray{{2, 0, INT_MIN}}));  // ties to even, NaN 0, saturated

  TDouble3DArray Cube;
  EXPECT_EQ(LoadBinaryArray(RealFile, Cube, Comment, true), -3);
  ASSERT_EQ(LoadBinaryArray(RealFile, Cube, Comment, false), 0);  // absent layers: one
  ASSERT_EQ(Cube.size(), 1u);
  ASSERT_EQ(Cube[0].size(), 3u);
  EXPECT_EQ(Cube[0][0], TDoubleArray{2.5});
  TDouble4DArray Four;
  ASSERT_EQ(LoadBinaryArray(File3D, Four, Comment, false), 0);
  EXPECT_EQ(Four, (TDouble4DArray{{{{1}, {2}}}}));
}

TEST(BlockFiles, HostileFilesLeaveTheDestination) {
  TempDir Dir;
  struct Case {
    const char* What;
    std::string Bytes;
    int32_t Status;
    bool HeaderValid;
  };
  const std::string Values = ValueBytes<double>({1, 2, 3, 4});
  const Case Cases[] = {
      {"empty", "", -2, false},
      {"short header", HeaderBytes(2, 2, 0, 0, "x", 1).substr(0, 4000), -2, false},
      {"negative columns", HeaderBytes(-2, 2, 0, 0, "x", 1) + Values, -2, false},
      {"negative layers", HeaderBytes(2, 2, -1, 0, "x", 1) + Values, -2, false},
      {"slots without layers", HeaderBytes(2, 2, 0, 3, "x", 1) + Values, -2, false},
      {"unknown format", HeaderBytes(2, 2, 0, 0, "x", 3) + Values, -2, false},
      {"huge sizes", HeaderBytes(INT_MAX, INT_MAX, INT_MAX, INT_MAX, "x", 1) + Values, -2, false},
      {"truncated values", HeaderBytes(2, 2, 0, 0, "x", 1) + Values.substr(0, 31), -2, false},
      {"no columns", HeaderBytes(0, 2, 0, 0, "x", 1), -2, true},
      {"wrong format", HeaderBytes(2, 2, 0, 0, "x", 2) + Values, -3, true},
      {"wrong rank", HeaderBytes(1, 2, 2, 0, "x", 1) + Values, -3, true},
  };
  for (const Case& c : Cases) {
    const std::string File = Dir.Write("h.bin", c.Bytes);
    TDouble2DArray A{{42}};
    std::string Comment = "keep";
    EXPECT_EQ(LoadBinaryArray(File, A, Comment, true), c.Status) << c.What;
    EXPECT_EQ(A, TDouble2DArray{{42}}) << c.What;
    EXPECT_EQ(Comment, "keep") << c.What;
    int32_t Cols = -9, Rows = -9, Layers = -9, Slots = -9, Format = -9;
    EXPECT_EQ(ReadBinaryArrayHeader(File, Cols, Rows, Layers, Slots, Comment, Format), c.HeaderValid) << c.What;
    if (!c.HeaderValid) {
      EXPECT_EQ((std::array{Cols, Rows, Layers, Slots, Format}), (std::array{-9, -9, -9, -9, -9})) << c.What;
    }
  }
  TDouble2DArray A{{42}};
  std::string Comment;
  int32_t x = 0;
  EXPECT_EQ(LoadBinaryArray(Dir.File("missing.bin"), A, Comment, false), -1);
  EXPECT_FALSE(ReadBinaryArrayHeader(Dir.File("missing.bin"), x, x, x, x, Comment, x));
  EXPECT_EQ(LoadBinaryArray(Dir.Path().string(), A, Comment, false), -1);  // a folder
  EXPECT_EQ(A, TDouble2DArray{{42}});
}

}  // namespace
}  // namespace vexa
