// Vectors: binary streams, plain text files, the ASC format and the CRC
// fingerprint; round trips and tables of damaged inputs.

#include <gtest/gtest.h>
#include <zlib.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "foundation/Vexa_storage.h"
#include "fundora/Vexa_streams.h"
#include "linalg/Vexa_vector.h"
#include "support/VectorValues.h"
#include "support/TempDir.h"

namespace vexa {
namespace {

using vexa::testing::SetValues;
using vexa::testing::ValuesOf;

using testing::TempDir;

constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

/// Same bits, so that NaN, −0 and +0 compare as stored.
void ExpectSameBits(const std::vector<double>& Actual, const std::vector<double>& Expected) {
  ASSERT_EQ(Actual.size(), Expected.size());
  for (size_t i = 0; i < Actual.size(); ++i) {
    EXPECT_EQ(std::bit_cast<uint64_t>(Actual[i]), std::bit_cast<uint64_t>(Expected[i])) << "element " << i + 1;
  }
}

/// Restores the default allocation limit at the end of a test.
struct LimitGuard {
  explicit LimitGuard(uint64_t Bytes) { SetStorageLimit(Bytes); }
  ~LimitGuard() { SetStorageLimit(0); }
};

// ---------------------------------------------------------------- streams

TEST(VectorStream, RoundTripsOfBothClasses) {
  const std::vector<double> Values{1.5, -0.0, 0.0, kInf, -kInf, 1e-310, -3.25};
  TVector v(nullptr);
  SetValues(v, Values);
  TMemoryStream* Stream = nullptr;
  v.SaveToStream(Stream, 0, 0);
  v.SaveToStream(Stream, 5, 3);  // a sub-range, reversed pair exchanged
  ASSERT_NE(Stream, nullptr);
  Stream->SetPosition(0);
  TVector w(nullptr);
  EXPECT_TRUE(w.LoadFromStream(Stream, true));
  ExpectSameBits(ValuesOf(w), Values);
  TVector Part(nullptr);
  EXPECT_TRUE(Part.LoadFromStream(Stream, true));  // resized to high = 5, elements 3..5 read
  ExpectSameBits(ValuesOf(Part), {0, 0, 0.0, kInf, -kInf});
  delete Stream;

  TIntVector iv(nullptr), iw(nullptr);
  SetValues(iv, std::vector<int32_t>{INT32_MIN, -1, 0, INT32_MAX});
  TMemoryStream* IntStream = nullptr;
  iv.SaveToStream(IntStream, 0, 0);
  IntStream->SetPosition(0);
  EXPECT_TRUE(iw.LoadFromStream(IntStream, true));
  EXPECT_EQ(ValuesOf(iw), ValuesOf(iv));
  delete IntStream;

  TempDir Dir;
  {
    TFileStream File(Dir.File("v.bin"), fmCreate);
    v.SaveToStream(&File, 2, 3);
    v.SaveToStream(static_cast<TFileStream*>(nullptr), 0, 0);  // nothing
  }
  TFileStream File(Dir.File("v.bin"), fmOpenRead);
  EXPECT_EQ(File.Size(), 4 * 10);
  TVector x(nullptr);
  SetValues(x, std::vector<double>{7, 7, 7});
  EXPECT_TRUE(x.LoadFromStream(&File, false));
  ExpectSameBits(ValuesOf(x), {7, -0.0, 0.0});
}

/// Builds a stream of extended values (TVector's format).
TMemoryStream* ExtendedStream(const std::vector<long double>& Values, int64_t CutBytes = 0) {
  auto* Stream = new TMemoryStream();
  for (const long double x : Values) {
    WriteExtendedToStream(*Stream, x);
  }
  Stream->SetSize(Stream->Size() - CutBytes);
  Stream->SetPosition(0);
  return Stream;
}

TEST(VectorStream, DamagedStreamsGiveFalseAndLeaveTheDataAsStated) {
  struct Case {
    const char* Name;
    std::vector<long double> Content;
    int64_t CutBytes;
    bool Adjust;
    std::vector<double> After;  // from 1, 2, 3, 4, 5
    int Changes;
  };
  const long double Inf = std::numeric_limits<long double>::infinity();
  const long double NaN = std::numeric_limits<long double>::quiet_NaN();
  const Case Cases[] = {
      {"empty", {}, 0, true, {1, 2, 3, 4, 5}, 0},
      {"truncated header", {1, 2}, 5, true, {1, 2, 3, 4, 5}, 0},
      {"NaN low", {NaN, 2, 9, 9}, 0, true, {1, 2, 3, 4, 5}, 0},
      {"Inf high", {1, Inf, 9}, 0, true, {1, 2, 3, 4, 5}, 0},
      {"huge index", {1, 1e300L, 9}, 0, true, {1, 2, 3, 4, 5}, 0},
      {"index beyond int32", {1, 3e9L, 9}, 0, true, {1, 2, 3, 4, 5}, 0},
      {"low above high", {3, 2, 9, 9}, 0, true, {1, 2, 3, 4, 5}, 0},
      {"low below 1", {0, 2, 9, 9, 9}, 0, true, {1, 2, 3, 4, 5}, 0},
      // Past the header: OnChange fires even on failure.
      {"high 10, no adjusting", {1, 10, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9}, 0, false, {1, 2, 3, 4, 5}, 1},
      {"values missing", {2, 4, 9, 8}, 0, false, {1, 9, 8, 4, 5}, 1 + 2},
      {"last value truncated", {2, 3, 9, 8}, 3, false, {1, 9, 3, 4, 5}, 1 + 1},
      // Too few values to justify growing: no resize.
      {"adjust, values missing", {1, 8, 9}, 0, true, {1, 2, 3, 4, 5}, 1},
      {"adjust, forged size", {1, 2147483647.0L, 9}, 0, true, {1, 2, 3, 4, 5}, 1},
      {"index 2.5 rounds to 2", {1, 2.5L, 9, 8}, 0, true, {9, 8}, 1 + 2 + 1},
  };
  LimitGuard Limit(1 << 20);
  for (const Case& c : Cases) {
    SCOPED_TRACE(c.Name);
    TVector v(nullptr);
    SetValues(v, std::vector<double>{1, 2, 3, 4, 5});
    int Changes = 0;
    v.OnChange = [&](TObject*) { ++Changes; };
    TMemoryStream* Stream = ExtendedStream(c.Content, c.CutBytes);
    bool Result = true;
    EXPECT_NO_THROW(Result = v.LoadFromStream(Stream, c.Adjust));
    delete Stream;
    EXPECT_EQ(Result, std::string(c.Name) == "index 2.5 rounds to 2");
    EXPECT_EQ(ValuesOf(v), c.After);
    EXPECT_EQ(Changes, c.Changes);
  }
  TVector v(nullptr);
  EXPECT_FALSE(v.LoadFromStream(nullptr, true));
}

TEST(VectorStream, AnIntegerStreamIsNotReadAsReals) {
  TIntVector iv(nullptr);
  SetValues(iv, std::vector<int32_t>{1, 2, 3, 4, 5, 6});
  TMemoryStream* Stream = nullptr;
  iv.SaveToStream(Stream, 0, 0);
  Stream->SetPosition(0);
  TVector v(nullptr);
  SetValues(v, std::vector<double>{7, 7});
  EXPECT_FALSE(v.LoadFromStream(Stream, true));
  EXPECT_EQ(ValuesOf(v), (std::vector<double>{7, 7}));
  delete Stream;
}

// ---------------------------------------------------------------- plain text

TEST(VectorText, RoundTripsAndPrecision) {
  TempDir Dir;
  const std::vector<double> Values{0.1, -0.0, 0.0, kInf, -kInf, 1.0 / 3, -2.5e-300};
  TVector v(nullptr);
  SetValues(v, Values);
  ASSERT_TRUE(v.StoreOnFile(0, 0, -2, Dir.File("a.txt")));  // (0, 0) is written as 1 7
  TVector w(nullptr);
  EXPECT_TRUE(w.LoadFromFile(Dir.File("a.txt"), true));
  EXPECT_EQ(ValuesOf(w), Values);  // equal values; the text of −0 has no sign
  EXPECT_EQ(TempDir::Read(Dir.File("a.txt")).substr(0, 4), "1 7\n");

  ASSERT_TRUE(v.StoreOnFile(6, 2, 3, Dir.File("b.txt")));
  EXPECT_EQ(TempDir::Read(Dir.File("b.txt")), "2 6\n0.000\n0.000\n+Inf\n-Inf\n0.333\n");
  ASSERT_TRUE(v.StoreOnFile(1, 1, -5, Dir.File("c.txt")));  // below −2: two decimals
  EXPECT_EQ(TempDir::Read(Dir.File("c.txt")), "1 1\n0.10\n");
  ASSERT_TRUE(v.StoreOnFile(6, 6, -1, Dir.File("d.txt")));  // exponent form, 13 wide
  EXPECT_EQ(TempDir::Read(Dir.File("d.txt")), "6 6\n 3.3333E-0001\n");
  EXPECT_FALSE(v.StoreOnFile(0, 0, 2, Dir.File("no/such/folder.txt")));
  if (FILE* Full = std::fopen("/dev/full", "w")) {  // writes there fail with "no space left"
    std::fclose(Full);
    EXPECT_FALSE(v.StoreOnFile(0, 0, 2, "/dev/full"));
    EXPECT_EQ(v.ExportAsASC("/dev/full", 2, ""), -1);
  }

  TIntVector iv(nullptr), iw(nullptr);
  SetValues(iv, std::vector<int32_t>{INT32_MIN, 0, INT32_MAX});
  ASSERT_TRUE(iv.StoreOnFile(0, 0, Dir.File("i.txt")));
  EXPECT_EQ(TempDir::Read(Dir.File("i.txt")), "1 3\n-2147483648\n0\n2147483647\n");
  EXPECT_TRUE(iw.LoadFromFile(Dir.File("i.txt"), true));
  EXPECT_EQ(ValuesOf(iw), ValuesOf(iv));
}

TEST(VectorText, DamagedFiles) {
  struct Case {
    const char* Name;
    std::string Content;
    bool Adjust;
    bool Result;
    std::vector<double> After;  // from 7, 7, 7
  };
  const Case Cases[] = {
      {"empty file", "", true, false, {7, 7, 7}},
      {"header only", "1 3\n", true, false, {7, 7, 7}},
      {"header only, growing", "1 5\n", true, false, {7, 7, 7}},
      {"low above high", "3 1\n1\n2\n3\n", true, false, {7, 7, 7}},
      {"low below 1", "0 2\n1\n2\n", true, false, {7, 7, 7}},
      {"header not integers", "1.0 2\n1\n2\n", true, false, {7, 7, 7}},
      {"decimal comma", "1 2\n1,5\n2\n", false, false, {7, 2, 7}},
      {"unreadable middle value", "1 3\n1\nabc\n3\n", false, false, {1, 7, 3}},
      {"truncated values", "2 3\n5", false, false, {7, 5, 7}},
      {"CRLF", "1 2\r\n1.5\r\n2.5\r\n", false, true, {1.5, 2.5, 7}},
      {"values across lines", "1 3 4 5\n6", false, true, {4, 5, 6}},
      {"binary junk", std::string("\x00\xff\x01\x02 \x7f", 6), true, false, {7, 7, 7}},
      {"forged size", "1 2147483647\n1\n", true, false, {7, 7, 7}},
      {"grows when the values are there", "1 4\n1\n2\n3\n4\n", true, true, {1, 2, 3, 4}},
      {"too short a vector", "1 4\n1\n2\n3\n4\n", false, false, {7, 7, 7}},
  };
  TempDir Dir;
  LimitGuard Limit(1 << 20);
  for (const Case& c : Cases) {
    SCOPED_TRACE(c.Name);
    TVector v(nullptr);
    SetValues(v, std::vector<double>{7, 7, 7});
    const std::string Path = Dir.Write("t.txt", c.Content);
    bool Result = !c.Result;
    EXPECT_NO_THROW(Result = v.LoadFromFile(Path, c.Adjust));
    EXPECT_EQ(Result, c.Result);
    EXPECT_EQ(ValuesOf(v), c.After);
  }
  TVector v(nullptr);
  EXPECT_FALSE(v.LoadFromFile(Dir.File("missing.txt"), true));
  TIntVector iv(nullptr);
  SetValues(iv, std::vector<int32_t>{7, 7});
  EXPECT_FALSE(iv.LoadFromFile(Dir.Write("r.txt", "1 2\n1\n2.5\n"), false));  // integers only
  EXPECT_EQ(ValuesOf(iv), (std::vector<int32_t>{1, 7}));
}

TEST(VectorText, AutoDetectingLoad) {
  TempDir Dir;
  const std::string Path = Dir.Write("dig.txt", "1.5 //dig\n2.5 //dig\n\nfoo\r\n3.5 //dig\n");
  TVector v(nullptr);
  EXPECT_TRUE(v.LoadFromFile(Path, true, true));
  EXPECT_EQ(ValuesOf(v), (std::vector<double>{1.5, 2.5, 3.5}));
  SetValues(v, std::vector<double>{7, 7, 7, 7, 7});
  EXPECT_FALSE(v.LoadFromFile(Path, false, true));  // fewer numbers than elements
  EXPECT_EQ(ValuesOf(v), (std::vector<double>{1.5, 2.5, 3.5, 7, 7}));
  EXPECT_FALSE(v.LoadFromFile(Dir.File("missing.txt"), true, true));
  // Without AutoDetect it is the plain format.
  EXPECT_TRUE(v.LoadFromFile(Dir.Write("p.txt", "1 2\n4\n5\n"), true, false));
  EXPECT_EQ(ValuesOf(v), (std::vector<double>{4, 5}));
}

// ---------------------------------------------------------------- ASC

TEST(VectorASC, ExportWritesTheHeaderAndImportReadsItBack) {
  TempDir Dir;
  TVector v(nullptr);
  SetValues(v, std::vector<double>{1.5, -0.0, kNaN, kInf, -2});
  ASSERT_EQ(v.ExportAsASC(Dir.File("v.asc"), 3, "line one\nline two\rend"), 0);
  EXPECT_EQ(TempDir::Read(Dir.File("v.asc")),
            "line one line two end\n1\t;nr. of columns\n5\t;nr. of rows\n"
            "FALSE FALSE FALSE FALSE\t;row attributes, column names, row names, nominal variables\n"
            "       1.500\n       0.000\n         NAN\n         ###\n      -2.000\n");
  TVector w(nullptr);
  std::string Comment;
  EXPECT_EQ(w.ImportASC(Dir.File("v.asc"), Comment), 0);
  EXPECT_EQ(Comment, "line one line two end");
  // NaN and the infinities have no number text and come back as 0.
  EXPECT_EQ(ValuesOf(w), (std::vector<double>{1.5, 0, 0, 0, -2}));

  ASSERT_EQ(v.ExportAsASC(Dir.File("e.asc"), 1, ""), 0);
  EXPECT_EQ(TempDir::Read(Dir.File("e.asc")).substr(0, 60),
            ("Exported by Vexa TVector component: " + Dir.File("e.asc")).substr(0, 60));
  EXPECT_EQ(v.ExportAsASC(Dir.File("no/such/dir.asc"), 1, ""), -1);

  TIntVector iv(nullptr), iw(nullptr);
  SetValues(iv, std::vector<int32_t>{INT32_MIN, 0, INT32_MAX});
  ASSERT_EQ(iv.ExportAsASC(Dir.File("i.asc"), ""), 0);
  EXPECT_NE(TempDir::Read(Dir.File("i.asc")).find("Exported by Vexa TIntVector component: "), std::string::npos);
  EXPECT_EQ(iw.ImportASC(Dir.File("i.asc"), Comment), 0);
  EXPECT_EQ(ValuesOf(iw), ValuesOf(iv));
}

std::string Header(const std::string& Rows, const std::string& Flags = "FALSE FALSE FALSE FALSE",
                   const std::string& Columns = "1") {
  return "comment\n" + Columns + "\t;nr. of columns\n" + Rows + "\t;nr. of rows\n" + Flags + "\t;flags\n";
}

TEST(VectorASC, DamagedFiles) {
  struct Case {
    const char* Name;
    std::string Content;
    int32_t Code;
    std::vector<double> After;  // from 7, 7, 7, 7
  };
  const Case Cases[] = {
      {"two columns", Header("2", "FALSE FALSE FALSE FALSE", "2") + "1 2\n3 4\n", -7, {7, 7, 7, 7}},
      {"bad column count", Header("2", "FALSE FALSE FALSE FALSE", "x") + "1\n2\n", -2, {7, 7, 7, 7}},
      {"bad row count", Header("x") + "1\n", -3, {7, 7, 7, 7}},
      {"zero rows", Header("0") + "1\n", -3, {7, 7, 7, 7}},
      {"bad flags", Header("1", "TRUE MAYBE FALSE FALSE") + "1\n", -4, {7, 7, 7, 7}},
      {"empty file", "", -2, {7, 7, 7, 7}},
      {"header only", Header("2"), -6, {7}},
      {"missing data line", Header("3") + "1\n2\n", -6, {1, 2, 7}},
      {"NAN and ###", Header("3") + "NAN\n###\n2.5\n", 0, {0, 0, 2.5}},
      {"decimal comma", Header("3") + "1\n2,5\n3\n", -6, {1, 7}},
      {"CRLF", Header("2") + "1.5\r\n-2\r\n", 0, {1.5, -2}},
      {"row attributes", Header("2", "TRUE FALSE FALSE FALSE") + "10 1\n20 2\n", 0, {1, 2}},
      {"bad row attribute", Header("2", "TRUE FALSE FALSE FALSE") + "10 1\nx 2\n", -5, {1, 7}},
      {"row names", Header("2", "FALSE FALSE TRUE FALSE") + "\"a b\" 1\n\"c\" 2\n", 0, {1, 2}},
      {"unterminated row name", Header("2", "FALSE FALSE TRUE FALSE") + "\"a\" 1\n\"c 2\n", -6, {1, 7}},
      {"column names", Header("2", "FALSE TRUE FALSE FALSE") + "\"x\"\n1\n2\n", 0, {1, 2}},
      {"binary junk values", Header("2") + std::string("\x01\xfe\x00", 3), -6, {7}},
      // The row count is within what a header may claim without data; the
      // vector is sized by the words present, not by the claim.
      {"forged row count", Header("1000000") + "1\n2\n", -6, {1, 2, 7}},
      {"forged 2^31 rows", Header("2147483647") + "1\n2\n", -3, {7, 7, 7, 7}},
  };
  TempDir Dir;
  LimitGuard Limit(1 << 20);
  for (const Case& c : Cases) {
    SCOPED_TRACE(c.Name);
    TVector v(nullptr);
    SetValues(v, std::vector<double>{7, 7, 7, 7});
    std::string Comment;
    int32_t Code = 1;
    EXPECT_NO_THROW(Code = v.ImportASC(Dir.Write("d.asc", c.Content), Comment));
    EXPECT_EQ(Code, c.Code);
    EXPECT_EQ(ValuesOf(v), c.After);
  }
  TVector v(nullptr);
  std::string Comment;
  EXPECT_EQ(v.ImportASC(Dir.File("missing.asc"), Comment), -8);
  TIntVector iv(nullptr);
  EXPECT_EQ(iv.ImportASC(Dir.Write("i.asc", Header("4") + "2.5\n3.5\n-1e20\n7\n"), Comment), 0);
  EXPECT_EQ(ValuesOf(iv), (std::vector<int32_t>{2, 4, INT32_MIN, 7}));  // ties to even, saturating
}

// ---------------------------------------------------------------- CRC

/// zlib's CRC-32 of the byte lanes: lane j holds byte j of every value.
template <class T>
std::string ReferenceCRC(const std::vector<T>& Values) {
  using TBits = std::conditional_t<sizeof(T) == 8, uint64_t, uint32_t>;
  std::string Result;
  for (size_t j = 0; j < sizeof(T); ++j) {
    std::vector<unsigned char> Lane;
    for (const T x : Values) {
      Lane.push_back(static_cast<unsigned char>(std::bit_cast<TBits>(x) >> (8 * j)));
    }
    char Hex[9];
    std::snprintf(Hex, sizeof Hex, "%08lX", crc32(0L, Lane.data(), static_cast<uInt>(Lane.size())));
    Result += Hex;
  }
  return Result;
}

TEST(VectorCRC, LanesMatchAnIndependentCRC32) {
  TVector v(nullptr);
  const std::string Fresh = v.CRCofData();
  ASSERT_EQ(Fresh.size(), 64u);
  EXPECT_EQ(Fresh, ReferenceCRC(std::vector<double>{0.0}));
  EXPECT_EQ(Fresh.substr(0, 8), Fresh.substr(56, 8));  // all lanes saw the same zero byte
  const std::vector<double> Values{1.5, -0.0, kInf, 1e-310, 3.14159};
  SetValues(v, Values);
  EXPECT_EQ(v.CRCofData(), ReferenceCRC(Values));
  // One changed bit of one element changes the fingerprint.
  v.SetElem(5, std::bit_cast<double>(std::bit_cast<uint64_t>(3.14159) ^ 1));
  EXPECT_NE(v.CRCofData(), ReferenceCRC(Values));

  TIntVector iv(nullptr);
  const std::vector<int32_t> Ints{1, -1, INT32_MIN, 123456789};
  SetValues(iv, Ints);
  EXPECT_EQ(iv.CRCofData().size(), 32u);
  EXPECT_EQ(iv.CRCofData(), ReferenceCRC(Ints));
}

}  // namespace
}  // namespace vexa
