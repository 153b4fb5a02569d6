#pragma once
/// @file
/// Stream routines of the base package: fixed-width binary values (32-bit
/// integers, 10-byte extended reals), text lines on streams, the element
/// reader on text files and streams, and TMixedFStream, a file stream of
/// mixed values. Byte layouts are recorded in docs/FORMATS.md.

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "platform/Vexa_datastreams.h"
#include "platform/Vexa_exceptions.h"
#include "platform/Vexa_textfile.h"

namespace vexa {

// ---------------------------------------------------------------- binary values

/// Writes Value as 4 bytes, two's complement, little-endian. Raises EWriteError
/// when the stream takes fewer bytes.
void WriteLongintToStream(TStream& OutStream, int32_t Value);
/// Reads 4 bytes written by WriteLongintToStream. False, with Value unchanged,
/// when the stream ends first (the bytes that were there are consumed).
bool ReadLongintFromStream(TStream& InStream, int32_t& Value);

/// Size of an extended real in a stream.
inline constexpr size_t kExtendedSize = 10;

/// The 10-byte x87 extended format, little-endian: bytes 0..7 the 64-bit
/// mantissa with its explicit integer bit (bit 63), bytes 8..9 the biased
/// exponent (bits 0..14, bias 16383) and the sign (bit 15). Built from the
/// value's sign, exponent and mantissa, so it does not depend on the host's
/// long double: a value with more than 64 mantissa bits is rounded to nearest,
/// ties to even; one beyond the format's range becomes an infinity; NaN is
/// written as the quiet NaN $C000000000000000 with the value's sign.
std::array<uint8_t, kExtendedSize> EncodeExtended(long double Value) noexcept;
/// The value of 10 bytes in the format of EncodeExtended, as near as the host's
/// long double holds it. Exponent $7FFF gives an infinity when the mantissa
/// apart from the integer bit is zero, else NaN; every other pattern is read
/// as mantissa * 2^(exponent - 16446) (exponent 1 for the denormals of exponent 0).
long double DecodeExtended(std::span<const uint8_t, kExtendedSize> Bytes) noexcept;

/// Writes Value as 10 bytes (EncodeExtended). Raises EWriteError when the
/// stream takes fewer bytes.
void WriteExtendedToStream(TStream& OutStream, long double Value);
/// Reads 10 bytes written by WriteExtendedToStream. False, with Value
/// unchanged, when the stream ends first (the bytes that were there are consumed).
bool ReadExtendedFromStream(TStream& InStream, long double& Value);

// ---------------------------------------------------------------- text lines

/// Longest line the line readers of this unit accept, in bytes.
inline constexpr size_t kMaxStreamLineLength = size_t{16} << 20;

/// Writes Line and the line break sLineBreak ("\n"). Raises EWriteError when
/// the stream takes fewer bytes.
void WriteLnStream(TStream& OutStream, const std::string& Line);
/// Reads the next line (without its end; LF, CRLF and CR all end a line) and
/// moves past its end; a last line without a line end counts as a line.
/// False, with Line empty, when nothing is left, and also for a line longer
/// than kMaxStreamLineLength (the stream is then left after the first
/// kMaxStreamLineLength bytes of it).
bool ReadLnStream(TStream& InStream, std::string& Line);

// ---------------------------------------------------------------- elements

/// Reads the next XML-like element from a text file, with the rules and
/// results of ReadNextTagFromSource (Vexa_stringl.h): the 0-based index of
/// the element's name in TagNames, the last index for an unknown, malformed or
/// truncated element and at the end of the file. Line ends in Content are "\n".
int32_t ReadNextTagInTextFile(TTextReader& InFile, std::span<const std::string> TagNames,
                              std::string& Attributes, std::string& Content);
/// The same on a stream from its position; the stream is left just after the
/// element. Content keeps the line ends as they are in the stream.
int32_t ReadNextTagInStream(TStream& InStream, std::span<const std::string> TagNames,
                            std::string& Attributes, std::string& Content);

// ---------------------------------------------------------------- TMixedFStream

/// A file stream that writes and reads values of mixed types in fixed
/// little-endian layouts (docs/FORMATS.md). A file is read back with the same
/// sequence of calls that wrote it.
///
/// The writers raise EWriteError when the file takes fewer bytes. The readers
/// raise EReadError "Stream read error" when the file ends before the value is
/// complete, and EReadError with the reader's name for a malformed value.
class TMixedFStream : public TFileStream {
public:
  /// Opens FileName as TFileStream does (fmCreate to write a new file,
  /// fmOpenRead to read one); raises EFOpenError / EFCreateError.
  TMixedFStream(const std::string& FileName, TFileMode Mode);

  void WriteByte(uint8_t Value);
  uint8_t ReadByte();
  /// 4 bytes, two's complement.
  void WriteInteger(int32_t Value);
  int32_t ReadInteger();
  /// 8 bytes, two's complement.
  void WriteInt64(int64_t Value);
  int64_t ReadInt64();
  /// 4 bytes, IEEE 754 single.
  void WriteSingle(float Value);
  float ReadSingle();
  /// 8 bytes, IEEE 754 double.
  void WriteDouble(double Value);
  double ReadDouble();
  /// 10 bytes, x87 extended (EncodeExtended).
  void WriteExtended(long double Value);
  long double ReadExtended();
  /// The length as 4-byte integer, then the bytes of the text; any bytes,
  /// line ends included.
  void WriteString(const std::string& Value);
  /// Raises EReadError "TMixedFStream.ReadString: invalid length" when the
  /// length is negative or larger than the rest of the file.
  std::string ReadString();
  /// The bytes of the text, then "\n". A text with line ends (LF or CR)
  /// reads back as several lines; WriteString keeps any text whole.
  void WriteLn(const std::string& Line);
  /// The text up to the next line end (LF, CRLF or CR), moving past it. Raises
  /// EReadError "Stream read error" when the file ends before the line end,
  /// and "TMixedFStream.ReadLn: line too long" beyond kMaxStreamLineLength.
  std::string ReadLn();

private:
  /// Reads exactly sizeof(T) little-endian bytes or raises EReadError.
  template <class T>
  T ReadValue();
};

}  // namespace vexa
