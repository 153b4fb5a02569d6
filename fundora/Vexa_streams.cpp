#include "fundora/Vexa_streams.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "fundora/Vexa_stringl.h"
#include "platform/Vexa_exceptions.h"

namespace vexa {

namespace {

// ---------------------------------------------------------------- extended format

constexpr int kExtendedBias = 16383;
constexpr uint16_t kExtendedMaxExponent = 0x7FFF;
constexpr uint64_t kIntegerBit = uint64_t{1} << 63;
constexpr uint64_t kQuietNaNMantissa = uint64_t{3} << 62;

/// Mantissa >> Shift, rounded to nearest, ties to even.
uint64_t ShiftRightRounded(uint64_t Mantissa, int Shift) {
  if (Shift <= 0) return Mantissa;
  if (Shift > 64) return 0;
  const uint64_t quotient = Shift == 64 ? 0 : Mantissa >> Shift;
  const uint64_t remainder = Shift == 64 ? Mantissa : Mantissa & ((uint64_t{1} << Shift) - 1);
  const uint64_t half = uint64_t{1} << (Shift - 1);
  const bool roundUp = remainder > half || (remainder == half && (quotient & 1u) != 0);
  return quotient + (roundUp ? 1 : 0);
}

/// Rounds a non-negative value below 2^64 to an integer, ties to even. A value
/// that rounds up to 2^64 gives 0 (the caller handles the carry).
uint64_t RoundToUInt64(long double Value) {
  const long double whole = std::floor(Value);
  const long double fraction = Value - whole;
  uint64_t result = static_cast<uint64_t>(whole);
  if (fraction > 0.5L || (fraction == 0.5L && (result & 1u) != 0)) ++result;
  return result;
}

struct TExtendedParts {
  bool Negative = false;
  uint16_t Exponent = 0;  // biased
  uint64_t Mantissa = 0;  // with the explicit integer bit
};

/// Splits a finite, non-zero magnitude into x87 exponent and mantissa.
TExtendedParts SplitFinite(long double Magnitude) {
  TExtendedParts parts;
  int exponent = 0;
  // Magnitude = fraction * 2^exponent with fraction in [0.5, 1); the x87 value
  // is mantissa * 2^(biased - 16383 - 63) with mantissa in [2^63, 2^64).
  const long double fraction = std::frexp(Magnitude, &exponent);
  uint64_t mantissa = RoundToUInt64(std::ldexp(fraction, 64));
  int64_t biased = static_cast<int64_t>(exponent) + kExtendedBias - 1;
  if (mantissa == 0) {  // rounding carried out of 64 bits
    mantissa = kIntegerBit;
    ++biased;
  }
  if (biased >= kExtendedMaxExponent) {
    parts.Exponent = kExtendedMaxExponent;
    parts.Mantissa = kIntegerBit;  // infinity
  } else if (biased <= 0) {
    // Denormal: exponent field 0 stands for the exponent 1, without integer bit.
    parts.Mantissa = ShiftRightRounded(mantissa, static_cast<int>(1 - biased));
    parts.Exponent = (parts.Mantissa & kIntegerBit) != 0 ? 1 : 0;  // rounded up to a normal
  } else {
    parts.Exponent = static_cast<uint16_t>(biased);
    parts.Mantissa = mantissa;
  }
  return parts;
}

TExtendedParts SplitExtended(long double Value) {
  TExtendedParts parts;
  if (std::isnan(Value)) {
    parts.Exponent = kExtendedMaxExponent;
    parts.Mantissa = kQuietNaNMantissa;
  } else if (std::isinf(Value)) {
    parts.Exponent = kExtendedMaxExponent;
    parts.Mantissa = kIntegerBit;
  } else if (Value != 0) {
    parts = SplitFinite(std::fabs(Value));
  }
  parts.Negative = std::signbit(Value);
  return parts;
}

// ---------------------------------------------------------------- lines

enum class TLineRead {
  Line,      ///< a line ended by LF, CRLF or CR
  LastLine,  ///< text up to the end of the stream, without line end
  End,       ///< nothing left
  TooLong    ///< longer than kMaxStreamLineLength
};

/// Reads one line in blocks and gives the bytes read beyond it back to the stream.
TLineRead ScanLine(TStream& InStream, std::string& Line) {
  Line.clear();
  char block[4096];
  bool readAny = false;
  for (;;) {
    const int64_t count = InStream.Read(block, sizeof block);
    if (count <= 0) return readAny ? TLineRead::LastLine : TLineRead::End;
    readAny = true;
    for (int64_t i = 0; i < count; ++i) {
      const char c = block[i];
      if (c == '\n' || c == '\r') {
        int64_t used = i + 1;
        if (c == '\r') {
          if (used < count) {
            if (block[used] == '\n') ++used;
          } else {
            char next = 0;  // CR ends the block: look at the next byte of the stream
            if (InStream.Read(&next, 1) == 1 && next != '\n') InStream.Seek(-1, soCurrent);
          }
        }
        InStream.Seek(used - count, soCurrent);
        return TLineRead::Line;
      }
      if (Line.size() >= kMaxStreamLineLength) {
        InStream.Seek(i - count, soCurrent);
        Line.clear();
        return TLineRead::TooLong;
      }
      Line += c;
    }
  }
}

}  // namespace

// ---------------------------------------------------------------- binary values

void WriteLongintToStream(TStream& OutStream, int32_t Value) { OutStream.WriteLE(Value); }

bool ReadLongintFromStream(TStream& InStream, int32_t& Value) { return InStream.ReadLE(Value); }

std::array<uint8_t, kExtendedSize> EncodeExtended(long double Value) noexcept {
  const TExtendedParts parts = SplitExtended(Value);
  std::array<uint8_t, kExtendedSize> bytes{};
  for (size_t i = 0; i < 8; ++i) bytes[i] = static_cast<uint8_t>(parts.Mantissa >> (8 * i));
  const uint16_t signAndExponent =
      static_cast<uint16_t>(parts.Exponent | (parts.Negative ? 0x8000u : 0u));
  bytes[8] = static_cast<uint8_t>(signAndExponent & 0xFFu);
  bytes[9] = static_cast<uint8_t>(signAndExponent >> 8);
  return bytes;
}

long double DecodeExtended(std::span<const uint8_t, kExtendedSize> Bytes) noexcept {
  uint64_t mantissa = 0;
  for (size_t i = 0; i < 8; ++i) mantissa |= static_cast<uint64_t>(Bytes[i]) << (8 * i);
  const unsigned signAndExponent = Bytes[8] | (static_cast<unsigned>(Bytes[9]) << 8);
  const bool negative = (signAndExponent & 0x8000u) != 0;
  const int exponent = static_cast<int>(signAndExponent & kExtendedMaxExponent);
  long double magnitude = 0;
  if (exponent == kExtendedMaxExponent) {
    magnitude = (mantissa & ~kIntegerBit) == 0 ? std::numeric_limits<long double>::infinity()
                                               : std::numeric_limits<long double>::quiet_NaN();
  } else {
    const int effectiveExponent = exponent == 0 ? 1 : exponent;
    magnitude = std::ldexp(static_cast<long double>(mantissa), effectiveExponent - kExtendedBias - 63);
  }
  return negative ? -magnitude : magnitude;
}

void WriteExtendedToStream(TStream& OutStream, long double Value) {
  const auto bytes = EncodeExtended(Value);
  OutStream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

bool ReadExtendedFromStream(TStream& InStream, long double& Value) {
  std::array<uint8_t, kExtendedSize> bytes{};
  if (InStream.Read(bytes.data(), static_cast<int64_t>(bytes.size())) !=
      static_cast<int64_t>(bytes.size()))
    return false;
  Value = DecodeExtended(bytes);
  return true;
}

// ---------------------------------------------------------------- text lines

void WriteLnStream(TStream& OutStream, const std::string& Line) {
  const std::string text = Line + sLineBreak;
  OutStream.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}

bool ReadLnStream(TStream& InStream, std::string& Line) {
  const TLineRead result = ScanLine(InStream, Line);
  return result == TLineRead::Line || result == TLineRead::LastLine;
}

// ---------------------------------------------------------------- elements

int32_t ReadNextTagInTextFile(TTextReader& InFile, std::span<const std::string> TagNames,
                              std::string& Attributes, std::string& Content) {
  const TCharSource source = [&InFile]() { return InFile.ReadChar(); };
  return ReadNextTagFromSource(source, TagNames, Attributes, Content);
}

int32_t ReadNextTagInStream(TStream& InStream, std::span<const std::string> TagNames,
                            std::string& Attributes, std::string& Content) {
  // The stream is read in blocks; what the element reader did not take is
  // given back to the stream at the end.
  char block[4096];
  int64_t filled = 0;
  int64_t used = 0;
  const TCharSource source = [&]() -> int {
    if (used == filled) {
      filled = std::max<int64_t>(InStream.Read(block, sizeof block), 0);
      used = 0;
      if (filled == 0) return -1;
    }
    return static_cast<unsigned char>(block[used++]);
  };
  const int32_t result = ReadNextTagFromSource(source, TagNames, Attributes, Content);
  if (used < filled) InStream.Seek(used - filled, soCurrent);
  return result;
}

// ---------------------------------------------------------------- TMixedFStream

TMixedFStream::TMixedFStream(const std::string& FileName, TFileMode Mode)
    : TFileStream(FileName, Mode) {}

template <class T>
T TMixedFStream::ReadValue() {
  T value{};
  if (!ReadLE(value)) throw EReadError("Stream read error");
  return value;
}

void TMixedFStream::WriteByte(uint8_t Value) { WriteLE(Value); }
uint8_t TMixedFStream::ReadByte() { return ReadValue<uint8_t>(); }
void TMixedFStream::WriteInteger(int32_t Value) { WriteLE(Value); }
int32_t TMixedFStream::ReadInteger() { return ReadValue<int32_t>(); }
void TMixedFStream::WriteInt64(int64_t Value) { WriteLE(Value); }
int64_t TMixedFStream::ReadInt64() { return ReadValue<int64_t>(); }
void TMixedFStream::WriteSingle(float Value) { WriteLE(Value); }
float TMixedFStream::ReadSingle() { return ReadValue<float>(); }
void TMixedFStream::WriteDouble(double Value) { WriteLE(Value); }
double TMixedFStream::ReadDouble() { return ReadValue<double>(); }

void TMixedFStream::WriteExtended(long double Value) { WriteExtendedToStream(*this, Value); }

long double TMixedFStream::ReadExtended() {
  long double value = 0;
  if (!ReadExtendedFromStream(*this, value)) throw EReadError("Stream read error");
  return value;
}

void TMixedFStream::WriteString(const std::string& Value) {
  if (Value.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
    throw EWriteError("TMixedFStream.WriteString: text too long");
  WriteInteger(static_cast<int32_t>(Value.size()));
  WriteBuffer(Value.data(), static_cast<int64_t>(Value.size()));
}

std::string TMixedFStream::ReadString() {
  const int32_t length = ReadInteger();
  // The length is checked against the file before anything is allocated.
  if (length < 0 || length > Remaining()) throw EReadError("TMixedFStream.ReadString: invalid length");
  std::string value(static_cast<size_t>(length), '\0');
  ReadBuffer(value.data(), length);
  return value;
}

void TMixedFStream::WriteLn(const std::string& Line) { WriteLnStream(*this, Line); }

std::string TMixedFStream::ReadLn() {
  std::string line;
  switch (ScanLine(*this, line)) {
    case TLineRead::Line: return line;
    case TLineRead::TooLong: throw EReadError("TMixedFStream.ReadLn: line too long");
    case TLineRead::LastLine:
    case TLineRead::End: break;
  }
  throw EReadError("Stream read error");
}

}  // namespace vexa
