#include "fundora/Vexa_streams.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <random>

#include "support/TempDir.h"

namespace vexa {
namespace {

using Bytes10 = std::array<uint8_t, kExtendedSize>;

std::string StreamBytes(TMemoryStream& Stream) {
  return std::string(reinterpret_cast<const char*>(Stream.Memory()), static_cast<size_t>(Stream.Size()));
}

void Load(TMemoryStream& Stream, const std::string& Data) {
  Stream.Clear();
  Stream.WriteBuffer(Data.data(), static_cast<int64_t>(Data.size()));
  Stream.SetPosition(0);
}

// ---------------------------------------------------------------- longint

TEST(LongintStream, LittleEndianRoundTripAndTruncation) {
  TMemoryStream stream;
  WriteLongintToStream(stream, 0x01020304);
  WriteLongintToStream(stream, -2);
  WriteLongintToStream(stream, std::numeric_limits<int32_t>::min());
  EXPECT_EQ(StreamBytes(stream), std::string("\x04\x03\x02\x01\xFE\xFF\xFF\xFF\x00\x00\x00\x80", 12));

  stream.SetPosition(0);
  int32_t value = 0;
  ASSERT_TRUE(ReadLongintFromStream(stream, value));
  EXPECT_EQ(value, 0x01020304);
  ASSERT_TRUE(ReadLongintFromStream(stream, value));
  EXPECT_EQ(value, -2);
  ASSERT_TRUE(ReadLongintFromStream(stream, value));
  EXPECT_EQ(value, std::numeric_limits<int32_t>::min());

  for (int cut = 0; cut < 4; ++cut) {
    Load(stream, std::string("\x01\x02\x03\x04", 4).substr(0, static_cast<size_t>(cut)));
    value = 77;
    EXPECT_FALSE(ReadLongintFromStream(stream, value)) << cut;
    EXPECT_EQ(value, 77);
  }
}

// ---------------------------------------------------------------- extended

TEST(ExtendedStream, KnownBytePatterns) {
  struct Case {
    long double Value;
    Bytes10 Expected;
  };
  // Sign, exponent and mantissa worked out by hand: 1 = 1.0 * 2^0 (exponent
  // $3FFF), -2.5 = -1.25 * 2^1, the smallest denormal 2^-16445 (mantissa 1,
  // exponent 0), the largest value (all mantissa bits, exponent $7FFE).
  const Case cases[] = {
      {1.0L, {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}},
      {-2.5L, {0, 0, 0, 0, 0, 0, 0, 0xA0, 0x00, 0xC0}},
      {0.0L, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {-0.0L, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80}},
      {std::numeric_limits<long double>::infinity(), {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x7F}},
      {-std::numeric_limits<long double>::infinity(), {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0xFF}},
      {std::numeric_limits<long double>::quiet_NaN(), {0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x7F}},
      {0.1, {0x00, 0xD0, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xFB, 0x3F}},  // the double 0.1
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EncodeExtended(c.Value), c.Expected) << static_cast<double>(c.Value);
    const long double back = DecodeExtended(c.Expected);
    if (std::isnan(c.Value)) {
      EXPECT_TRUE(std::isnan(back));
    } else {
      EXPECT_EQ(back, c.Value);
      EXPECT_EQ(std::signbit(back), std::signbit(c.Value));
    }
  }
  if constexpr (std::numeric_limits<long double>::digits == 64) {
    EXPECT_EQ(EncodeExtended(std::numeric_limits<long double>::denorm_min()),
              (Bytes10{1, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(EncodeExtended(std::numeric_limits<long double>::max()),
              (Bytes10{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0x7F}));
  }
}

TEST(ExtendedStream, AgreesWithTheHostsX87FormatOnRandomPatterns) {
  if constexpr (std::numeric_limits<long double>::digits != 64) {
    GTEST_SKIP() << "the host's long double is not the x87 extended format";
  } else {
    // On x86-64 the host's long double is itself the x87 format: its first ten
    // bytes are the independent reference for both directions.
    std::mt19937_64 generator(42);
    for (int trial = 0; trial < 20000; ++trial) {
      const uint64_t random = generator();
      const int kind = trial % 4;
      uint64_t mantissa = random | (uint64_t{1} << 63);  // normal
      uint16_t exponent = static_cast<uint16_t>(1 + generator() % 0x7FFE);
      if (kind == 1) {  // denormal
        mantissa = random >> 1;
        exponent = 0;
      } else if (kind == 2) {  // near the ends of the range
        exponent = (generator() & 1) ? static_cast<uint16_t>(1 + generator() % 64)
                                     : static_cast<uint16_t>(0x7FFE - generator() % 64);
      }
      const uint16_t signAndExponent = static_cast<uint16_t>(exponent | ((generator() & 1) << 15));
      Bytes10 bytes{};
      for (int i = 0; i < 8; ++i) bytes[i] = static_cast<uint8_t>(mantissa >> (8 * i));
      bytes[8] = static_cast<uint8_t>(signAndExponent);
      bytes[9] = static_cast<uint8_t>(signAndExponent >> 8);

      long double host = 0;
      std::memcpy(&host, bytes.data(), bytes.size());
      const long double decoded = DecodeExtended(bytes);
      ASSERT_EQ(decoded, host) << "trial " << trial;
      ASSERT_EQ(EncodeExtended(host), bytes) << "trial " << trial;
    }
  }
}

TEST(ExtendedStream, DecodesEdgePatterns) {
  const Bytes10 allOnes = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x3F};
  EXPECT_EQ(DecodeExtended(allOnes), 2.0L - std::ldexp(1.0L, -63));
  const Bytes10 pseudoInfinity = {0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0x7F};  // integer bit clear
  EXPECT_TRUE(std::isinf(DecodeExtended(pseudoInfinity)));
  const Bytes10 signalingNaN = {1, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0xFF};
  EXPECT_TRUE(std::isnan(DecodeExtended(signalingNaN)));
}

TEST(ExtendedStream, RoundTripAndTruncationAtEveryByte) {
  const long double values[] = {3.14159265358979323846L, -1e4000L, 1e-4940L, 0.0L,
                                std::numeric_limits<long double>::infinity(),
                                -std::numeric_limits<long double>::quiet_NaN()};
  TMemoryStream stream;
  for (long double v : values) WriteExtendedToStream(stream, v);
  ASSERT_EQ(stream.Size(), static_cast<int64_t>(std::size(values) * kExtendedSize));
  stream.SetPosition(0);
  for (long double v : values) {
    long double back = 0;
    ASSERT_TRUE(ReadExtendedFromStream(stream, back));
    if (std::isnan(v)) {
      EXPECT_TRUE(std::isnan(back));
      EXPECT_TRUE(std::signbit(back));
    } else {
      EXPECT_EQ(back, v);
    }
  }
  const std::string one = StreamBytes(stream).substr(0, kExtendedSize);
  for (size_t cut = 0; cut < kExtendedSize; ++cut) {
    Load(stream, one.substr(0, cut));
    long double value = 5;
    EXPECT_FALSE(ReadExtendedFromStream(stream, value)) << cut;
    EXPECT_EQ(value, 5);
  }
}

// ---------------------------------------------------------------- lines

TEST(LineStream, LineEndsLastLineAndBlockEdges) {
  TMemoryStream stream;
  WriteLnStream(stream, "first");
  WriteLnStream(stream, "");
  EXPECT_EQ(StreamBytes(stream), "first\n\n");

  struct Case {
    std::string Input;
    std::vector<std::string> Lines;
  };
  const std::string longLine(5000, 'x');
  const std::string crAtBlockEnd = std::string(4095, 'a') + "\r\nb";  // CR is byte 4096
  const std::string lfAfterCr = std::string(4095, 'a') + "\rb";
  const Case cases[] = {
      {"a\nb\r\nc\rd", {"a", "b", "c", "d"}},
      {"a\n\nb\n", {"a", "", "b"}},
      {"\r\r\n", {"", ""}},
      {"", {}},
      {longLine + "\n" + longLine, {longLine, longLine}},
      {crAtBlockEnd, {std::string(4095, 'a'), "b"}},
      {lfAfterCr, {std::string(4095, 'a'), "b"}},
  };
  for (const Case& c : cases) {
    Load(stream, c.Input);
    std::vector<std::string> lines;
    std::string line;
    while (ReadLnStream(stream, line)) lines.push_back(line);
    EXPECT_EQ(lines, c.Lines) << c.Input.substr(0, 20);
    EXPECT_TRUE(line.empty());
  }
}

TEST(LineStream, OverlongLineIsRefused) {
  TMemoryStream stream;
  Load(stream, std::string(kMaxStreamLineLength + 10, 'z') + "\nshort\n");
  std::string line;
  EXPECT_FALSE(ReadLnStream(stream, line));
  EXPECT_TRUE(line.empty());
  EXPECT_EQ(stream.Position(), static_cast<int64_t>(kMaxStreamLineLength));
}

// ---------------------------------------------------------------- TMixedFStream

/// One item of a mixed file: how to write it and how to read and check it.
struct MixedItem {
  std::function<void(TMixedFStream&)> Write;
  std::function<bool(TMixedFStream&)> ReadAndCheck;
};

std::vector<MixedItem> SampleItems() {
  return {
      {[](TMixedFStream& s) { s.WriteString("TMemBasedLearner"); },
       [](TMixedFStream& s) { return s.ReadString() == "TMemBasedLearner"; }},
      {[](TMixedFStream& s) { s.WriteInteger(-123456); },
       [](TMixedFStream& s) { return s.ReadInteger() == -123456; }},
      {[](TMixedFStream& s) { s.WriteByte(0xAB); }, [](TMixedFStream& s) { return s.ReadByte() == 0xAB; }},
      {[](TMixedFStream& s) { s.WriteLn("vers=1.001"); },
       [](TMixedFStream& s) { return s.ReadLn() == "vers=1.001"; }},
      {[](TMixedFStream& s) { s.WriteDouble(-0.1); }, [](TMixedFStream& s) { return s.ReadDouble() == -0.1; }},
      {[](TMixedFStream& s) { s.WriteInt64(int64_t{1} << 40); },
       [](TMixedFStream& s) { return s.ReadInt64() == int64_t{1} << 40; }},
      {[](TMixedFStream& s) { s.WriteSingle(1.5f); }, [](TMixedFStream& s) { return s.ReadSingle() == 1.5f; }},
      {[](TMixedFStream& s) { s.WriteExtended(1e300L * 1e300L); },
       [](TMixedFStream& s) { return s.ReadExtended() == 1e300L * 1e300L; }},
      {[](TMixedFStream& s) { s.WriteString(std::string("a\nb\0c", 5)); },
       [](TMixedFStream& s) { return s.ReadString() == std::string("a\nb\0c", 5); }},
      {[](TMixedFStream& s) { s.WriteLn(""); }, [](TMixedFStream& s) { return s.ReadLn().empty(); }},
  };
}

TEST(TMixedFStream, LayoutOfEachKindOfValue) {
  vexa::testing::TempDir dir;
  const std::string file = dir.File("mixed.bin");
  {
    TMixedFStream out(file, fmCreate);
    out.WriteString("ab");
    out.WriteInteger(1);
    out.WriteByte(2);
    out.WriteLn("x");
    out.WriteDouble(1.0);
  }
  EXPECT_EQ(vexa::testing::TempDir::Read(file),
            std::string("\x02\x00\x00\x00" "ab" "\x01\x00\x00\x00" "\x02" "x\n"
                        "\x00\x00\x00\x00\x00\x00\xF0\x3F", 21));
}

TEST(TMixedFStream, RoundTripAndTruncationAtEveryByte) {
  vexa::testing::TempDir dir;
  const std::string file = dir.File("full.bin");
  const std::vector<MixedItem> items = SampleItems();
  std::vector<int64_t> ends;  // file size after each item
  {
    TMixedFStream out(file, fmCreate);
    for (const MixedItem& item : items) {
      item.Write(out);
      ends.push_back(out.Position());
    }
  }
  const std::string full = vexa::testing::TempDir::Read(file);
  ASSERT_EQ(static_cast<int64_t>(full.size()), ends.back());

  for (size_t cut = 0; cut <= full.size(); ++cut) {
    const std::string part = dir.Write("part.bin", full.substr(0, cut));
    TMixedFStream in(part, fmOpenRead);
    size_t complete = 0;  // items that fit wholly into the cut file
    while (complete < ends.size() && ends[complete] <= static_cast<int64_t>(cut)) ++complete;
    for (size_t i = 0; i < items.size(); ++i) {
      if (i < complete) {
        ASSERT_TRUE(items[i].ReadAndCheck(in)) << "cut " << cut << " item " << i;
      } else {
        EXPECT_THROW(items[i].ReadAndCheck(in), EReadError) << "cut " << cut << " item " << i;
        break;
      }
    }
  }
}

TEST(TMixedFStream, HostileStringLengthsAreRefusedBeforeAllocating) {
  vexa::testing::TempDir dir;
  struct Case {
    const char* What;
    std::string Bytes;
  };
  const Case cases[] = {
      {"negative length", std::string("\xFF\xFF\xFF\xFF" "abc", 7)},
      {"length beyond the file", std::string("\xFF\xFF\xFF\x7F" "abc", 7)},
      {"length one past the end", std::string("\x04\x00\x00\x00" "abc", 7)},
  };
  for (const Case& c : cases) {
    TMixedFStream in(dir.Write("s.bin", c.Bytes), fmOpenRead);
    try {
      (void)in.ReadString();
      ADD_FAILURE() << c.What;
    } catch (const EReadError& e) {
      EXPECT_STREQ(e.what(), "TMixedFStream.ReadString: invalid length") << c.What;
    }
  }
  TMixedFStream in(dir.Write("ln.bin", "no line end"), fmOpenRead);
  EXPECT_THROW((void)in.ReadLn(), EReadError);
}

}  // namespace
}  // namespace vexa
