#include "platform/Vexa_datastreams.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <memory>
#include <string>

#include "platform/Vexa_exceptions.h"
#include "support/TempDir.h"

namespace vexa {
namespace {

using testing::TempDir;

// Writes one value of each width; the byte image below is the little-endian
// layout worked out by hand (IEEE 754 for the reals).
void WriteSampleValues(TStream& s) {
  s.WriteLE<uint8_t>(0xAB);
  s.WriteLE<int16_t>(-2);
  s.WriteLE<uint32_t>(0x01020304u);
  s.WriteLE<int64_t>(-0x0102030405060708LL);
  s.WriteLE<double>(1.0);
  s.WriteLE<float>(-2.0f);
}

const uint8_t kSampleBytes[] = {
    0xAB,                                            // uint8
    0xFE, 0xFF,                                      // int16 -2
    0x04, 0x03, 0x02, 0x01,                          // uint32
    0xF8, 0xF8, 0xF9, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE,  // int64 -0x0102030405060708
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x3F,  // double 1.0
    0x00, 0x00, 0x00, 0xC0,                          // float -2.0
};

void ExpectSampleValues(TStream& s) {
  uint8_t u8 = 0;
  int16_t i16 = 0;
  uint32_t u32 = 0;
  int64_t i64 = 0;
  double d = 0;
  float f = 0;
  ASSERT_TRUE(s.ReadLE(u8));
  ASSERT_TRUE(s.ReadLE(i16));
  ASSERT_TRUE(s.ReadLE(u32));
  ASSERT_TRUE(s.ReadLE(i64));
  ASSERT_TRUE(s.ReadLE(d));
  ASSERT_TRUE(s.ReadLE(f));
  EXPECT_EQ(u8, 0xAB);
  EXPECT_EQ(i16, -2);
  EXPECT_EQ(u32, 0x01020304u);
  EXPECT_EQ(i64, -0x0102030405060708LL);
  EXPECT_EQ(d, 1.0);
  EXPECT_EQ(f, -2.0f);
}

TEST(MemoryStreamTest, LittleEndianRoundTrip) {
  TMemoryStream s;
  WriteSampleValues(s);
  ASSERT_EQ(s.Size(), static_cast<int64_t>(sizeof kSampleBytes));
  EXPECT_EQ(std::memcmp(s.Memory(), kSampleBytes, sizeof kSampleBytes), 0);
  s.SetPosition(0);
  ExpectSampleValues(s);
  EXPECT_EQ(s.Remaining(), 0);
}

TEST(FileStreamTest, LittleEndianRoundTripThroughAFile) {
  TempDir dir;
  const std::string name = dir.File("values.bin");
  {
    TFileStream out(name, fmCreate);
    WriteSampleValues(out);
    out.Flush();
  }
  const std::string bytes = TempDir::Read(name);
  ASSERT_EQ(bytes.size(), sizeof kSampleBytes);
  EXPECT_EQ(std::memcmp(bytes.data(), kSampleBytes, sizeof kSampleBytes), 0);
  TFileStream in(name, fmOpenRead);
  EXPECT_EQ(in.Size(), static_cast<int64_t>(sizeof kSampleBytes));
  ExpectSampleValues(in);
  TMemoryStream copy;
  copy.LoadFromFile(name);
  EXPECT_EQ(copy.Size(), in.Size());
}

TEST(StreamTest, TruncatedDataIsDetected) {
  TempDir dir;
  const std::string name = dir.Write("short.bin", std::string("\x01\x02\x03", 3));
  TMemoryStream memory;
  memory.LoadFromFile(name);
  TFileStream file(name, fmOpenRead);
  for (TStream* s : {static_cast<TStream*>(&memory), static_cast<TStream*>(&file)}) {
    s->SetPosition(0);
    uint32_t value = 77;
    EXPECT_FALSE(s->ReadLE(value));  // three bytes for a four-byte value
    EXPECT_EQ(value, 77u);
    s->SetPosition(1);
    uint8_t buffer[4] = {};
    EXPECT_THROW(s->ReadBuffer(buffer, 4), EReadError);
    s->SetPosition(0);
    EXPECT_NO_THROW(s->ReadBuffer(buffer, 3));
    EXPECT_THROW(s->ReadBuffer(buffer, -1), EReadError);
  }
}

TEST(StreamTest, SeekingPastTheEnd) {
  TempDir dir;
  TMemoryStream memory;
  TFileStream file(dir.File("gap.bin"), fmCreate);
  for (TStream* s : {static_cast<TStream*>(&memory), static_cast<TStream*>(&file)}) {
    s->WriteLE<uint16_t>(0x2211);
    EXPECT_EQ(s->Seek(6, soBeginning), 6);  // beyond the end is allowed
    uint8_t byte = 0;
    EXPECT_FALSE(s->ReadLE(byte));  // nothing to read there
    s->WriteLE<uint8_t>(0x99);      // the gap is filled with zeros
    EXPECT_EQ(s->Size(), 7);
    EXPECT_EQ(s->Seek(-1, soBeginning), -1);  // before the start is refused
    EXPECT_EQ(s->Seek(-7, soEnd), 0);
    uint8_t all[7] = {};
    s->ReadBuffer(all, 7);
    const uint8_t expected[7] = {0x11, 0x22, 0, 0, 0, 0, 0x99};
    EXPECT_EQ(std::memcmp(all, expected, 7), 0);
  }
  EXPECT_EQ(memory.Seek(std::numeric_limits<int64_t>::max(), soCurrent), -1);  // would overflow
}

TEST(StreamTest, CopyFromAndSetSize) {
  TMemoryStream source, dest;
  for (int32_t i = 0; i < 50000; ++i) source.WriteLE(i);  // more than one copy chunk
  EXPECT_EQ(dest.CopyFrom(source, 0), 200000);
  ASSERT_EQ(dest.Size(), 200000);
  EXPECT_EQ(std::memcmp(dest.Memory(), source.Memory(), 200000), 0);
  source.SetPosition(199996);
  EXPECT_THROW(dest.CopyFrom(source, 8), EReadError);  // only 4 bytes left
  dest.SetSize(3);
  EXPECT_EQ(dest.Size(), 3);
  EXPECT_EQ(dest.Position(), 3);  // clamped to the new size
}

TEST(FileStreamTest, OpenFailuresRaise) {
  TempDir dir;
  const std::string missing = dir.File("missing.bin");
  try {
    TFileStream s(missing, fmOpenRead);
    FAIL() << "no exception";
  } catch (const EFOpenError& e) {
    EXPECT_NE(e.Message().find(missing), std::string::npos) << e.Message();
  }
  EXPECT_THROW(TFileStream(missing, fmOpenReadWrite), EFOpenError);
  EXPECT_THROW(TFileStream(dir.File("no/folder/x.bin"), fmCreate), EFCreateError);
  EXPECT_THROW(TFileStream(dir.Path().string(), fmOpenRead), EFOpenError);  // a folder
  TMemoryStream memory;
  EXPECT_THROW(memory.LoadFromFile(missing), EFOpenError);
}

TEST(FileStreamTest, FlushFailureRaises) {
  TFileStream full("/dev/full", fmOpenWrite);
  full.WriteLE<uint32_t>(1);  // buffered
  EXPECT_THROW(full.Flush(), EWriteError);
}

}  // namespace
}  // namespace vexa
