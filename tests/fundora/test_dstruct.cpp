#include "fundora/Vexa_dstruct.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <vector>

namespace vexa {
namespace {

uint32_t CRC32ByteSteps(const std::vector<uint8_t>& Data) {
  uint32_t crc = 0xFFFFFFFFu;
  for (uint8_t byte : Data) crc = CalcNextCRC32(byte, crc);
  return ~crc;
}

uint32_t ZlibCRC32(const std::vector<uint8_t>& Data) {
  return static_cast<uint32_t>(crc32(0L, Data.data(), static_cast<uInt>(Data.size())));
}

TEST(CalcNextCRC32, CheckValueOfTheStandardTestString) {
  const std::string text = "123456789";
  const std::vector<uint8_t> data(text.begin(), text.end());
  EXPECT_EQ(CRC32ByteSteps(data), 0xCBF43926u);
  EXPECT_EQ(CRC32ByteSteps({}), 0u);
}

TEST(CalcNextCRC32, AgreesWithZlibOverRandomBuffers) {
  std::mt19937 generator(20261211);
  std::uniform_int_distribution<int> byteDist(0, 255);
  std::uniform_int_distribution<int> lengthDist(0, 3000);
  for (int trial = 0; trial < 200; ++trial) {
    std::vector<uint8_t> data(static_cast<size_t>(lengthDist(generator)));
    for (uint8_t& byte : data) byte = static_cast<uint8_t>(byteDist(generator));
    ASSERT_EQ(CRC32ByteSteps(data), ZlibCRC32(data)) << "length " << data.size();
  }
}

TEST(CalcNextCRC32, OneStepIsTheUnconditionedRegisterUpdate) {
  // A zero register fed a zero byte stays zero; the step itself never complements.
  EXPECT_EQ(CalcNextCRC32(0, 0), 0u);
  EXPECT_EQ(CalcNextCRC32(1, 0), 0x77073096u);  // entry 1 of the reflected table
  EXPECT_EQ(CalcNextCRC32(0x80, 0), 0xEDB88320u);
}

// ---------------------------------------------------------------- TBitFld

/// Reference model of a bit field: a plain vector of bools.
std::vector<bool> Bits(const TBitFld& Field) {
  std::vector<bool> bits;
  for (int32_t i = 0; i < Field.Size(); ++i) bits.push_back(Field.GetBit(i));
  return bits;
}

void SetPattern(TBitFld& Field, uint32_t Seed) {
  std::mt19937 generator(Seed);
  for (int32_t i = 0; i < Field.Size(); ++i) Field.SetBit(i, (generator() & 1u) != 0);
}

TEST(TBitFld, GetAndSetAreBoundsSafe) {
  TBitFld field(70);
  field.SetBit(-1, true);
  field.SetBit(70, true);
  field.SetBit(1 << 30, true);
  EXPECT_EQ(field.CountTrueBits(), 0);
  EXPECT_FALSE(field.GetBit(-1));
  EXPECT_FALSE(field.GetBit(70));
  field.SetBit(69, true);
  field.SetBit(0, true);
  EXPECT_TRUE(field.GetBit(69));
  EXPECT_TRUE(field.GetBit(0));
  EXPECT_EQ(field.CountTrueBits(), 2);
  field.SetBit(69, false);
  EXPECT_FALSE(field.GetBit(69));

  TBitFld empty(-5);
  EXPECT_EQ(empty.Size(), 0);
  EXPECT_EQ(empty.FirstTrueBit(), -1);
  empty.Invert();
  EXPECT_EQ(empty.CountTrueBits(), 0);
}

TEST(TBitFld, ResizingKeepsLowBitsAndNeverRevivesCutOnes) {
  TBitFld field(130);
  field.Invert();
  ASSERT_EQ(field.CountTrueBits(), 130);
  field.SetSize(65);
  EXPECT_EQ(field.CountTrueBits(), 65);
  field.SetSize(200);
  EXPECT_EQ(field.CountTrueBits(), 65);
  EXPECT_FALSE(field.GetBit(65));
  EXPECT_FALSE(field.GetBit(129));
  EXPECT_TRUE(field.GetBit(64));
  field.Clear();
  EXPECT_EQ(field.CountTrueBits(), 0);
  EXPECT_EQ(field.Size(), 200);
}

TEST(TBitFld, InvertCountAndFirstTrueBitAtWordEdges) {
  for (int32_t size : {1, 63, 64, 65, 127, 128, 129}) {
    TBitFld field(size);
    EXPECT_EQ(field.FirstTrueBit(), -1);
    field.Invert();
    EXPECT_EQ(field.CountTrueBits(), size) << size;
    EXPECT_EQ(field.FirstTrueBit(), 0);
    field.Invert();
    field.SetBit(size - 1, true);
    EXPECT_EQ(field.FirstTrueBit(), size - 1) << size;
    EXPECT_EQ(field.CountTrueBits(), 1);
  }
}

TEST(TBitFld, CloneIsAnIndependentCopy) {
  TBitFld field(100);
  SetPattern(field, 7);
  const auto copy = field.Clone();
  EXPECT_EQ(Bits(*copy), Bits(field));
  copy->Invert();
  EXPECT_NE(Bits(*copy), Bits(field));
}

TEST(TBitFld, CombineWithMatchesTheBitwiseModelForEveryOperation) {
  struct Case {
    TLogicOp Op;
    bool (*Model)(bool, bool);
  };
  const Case cases[] = {
      {loAnd, [](bool a, bool b) { return a && b; }},
      {loOr, [](bool a, bool b) { return a || b; }},
      {loXor, [](bool a, bool b) { return a != b; }},
      {loAndNot, [](bool a, bool b) { return a && !b; }},
      {loOrNot, [](bool a, bool b) { return a || !b; }},
      {loXorNot, [](bool a, bool b) { return a != !b; }},
  };
  // Operand shorter, equal and longer than the field: bits beyond the operand count as false.
  for (int32_t operandSize : {40, 150, 300}) {
    for (const Case& c : cases) {
      TBitFld field(150);
      TBitFld operand(operandSize);
      SetPattern(field, 1);
      SetPattern(operand, 2);
      const std::vector<bool> before = Bits(field);
      field.CombineWith(operand, c.Op);
      ASSERT_EQ(field.Size(), 150);
      for (int32_t i = 0; i < 150; ++i)
        ASSERT_EQ(field.GetBit(i), c.Model(before[i], operand.GetBit(i)))
            << "op " << int(c.Op) << " operand size " << operandSize << " bit " << i;
      int32_t expectedCount = 0;
      for (int32_t i = 0; i < 150; ++i) expectedCount += field.GetBit(i) ? 1 : 0;
      EXPECT_EQ(field.CountTrueBits(), expectedCount);  // no stray bits beyond the size
    }
  }
}

}  // namespace
}  // namespace vexa
