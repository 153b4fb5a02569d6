#pragma once
// Internal to the vector and matrix units (not installed): the value codecs
// of their stream and text formats, shared by the vector files and the
// 2-D matrix files.

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <type_traits>

#include "fundora/Vexa_streams.h"
#include "fundora/Vexa_stringl.h"
#include "platform/Vexa_intmath.h"
#include "platform/Vexa_numtext.h"
#include "platform/Vexa_textfile.h"

namespace vexa::fileio_detail {

// ---------------------------------------------------------------- stream values

/// Bytes of one value in the stream format: extended reals for the double
/// containers, 32-bit integers for the integer ones.
template <class TElem>
inline constexpr int64_t kStreamValueBytes =
    std::is_same_v<TElem, double> ? static_cast<int64_t>(kExtendedSize) : 4;

/// An extended value as double; values beyond the double range become ±Inf
/// (converting them directly would be undefined).
inline double ExtendedToDouble(long double Value) noexcept {
  if (std::fabs(Value) > std::numeric_limits<double>::max()) {
    return std::signbit(Value) ? -std::numeric_limits<double>::infinity()
                               : std::numeric_limits<double>::infinity();
  }
  return static_cast<double>(Value);
}

inline void WriteStreamValue(TStream& OutStream, double Value) { WriteExtendedToStream(OutStream, Value); }
inline void WriteStreamValue(TStream& OutStream, int32_t Value) { WriteLongintToStream(OutStream, Value); }

/// Reads one value; false when the stream ends first.
inline bool ReadStreamValue(TStream& InStream, double& Value) {
  long double Read = 0.0L;
  if (!ReadExtendedFromStream(InStream, Read)) {
    return false;
  }
  Value = ExtendedToDouble(Read);
  return true;
}
inline bool ReadStreamValue(TStream& InStream, int32_t& Value) { return ReadLongintFromStream(InStream, Value); }

/// A stream index: the double containers write it as an extended value,
/// which must be finite and round (ties to even) into the int32 range.
/// Values beyond 4e9 cannot, and are refused before the conversion to double.
inline bool ReadStreamIndex(TStream& InStream, double, int32_t& Index) {
  long double Read = 0.0L;
  if (!ReadExtendedFromStream(InStream, Read) || !std::isfinite(Read) || std::fabs(Read) > 4.0e9L) {
    return false;
  }
  return TryRoundToInt32(static_cast<double>(Read), Index);
}
inline bool ReadStreamIndex(TStream& InStream, int32_t, int32_t& Index) {
  return ReadLongintFromStream(InStream, Index);
}

// ---------------------------------------------------------------- number text

/// A real number of a text file: decimal text with '.', or the words the
/// plain text writer uses for values without digits ("Nan", "+Inf", "-Inf").
inline bool ParseTextValue(const std::string& Word, double& Value) {
  if (TryStrToFloat(Word, Value, '.')) {
    return true;
  }
  static const std::array<std::string, 4> Words{"Nan", "+Inf", "Inf", "-Inf"};
  const int32_t Ix = StringIx(Word, Words);
  if (Ix == 0) {
    return false;
  }
  constexpr double Inf = std::numeric_limits<double>::infinity();
  Value = Ix == 1 ? std::numeric_limits<double>::quiet_NaN() : (Ix == 4 ? -Inf : Inf);
  return true;
}
/// The integer containers take integer words only.
inline bool ParseTextValue(const std::string& Word, int32_t& Value) { return TryStrToInt(Word, Value); }

/// A value of an ASC data line: "NAN" and "###" stand for missing values and
/// give 0; integers are rounded ties to even, saturating.
inline bool ParseASCValue(const std::string& Word, double& Value) {
  const std::string Text = StripLTBlanks(Word);
  if (Text == "NAN" || Text == "###") {
    Value = 0.0;
    return true;
  }
  return TryStrToFloat(Text, Value, '.');
}
inline bool ParseASCValue(const std::string& Word, int32_t& Value) {
  double Real = 0.0;
  if (!ParseASCValue(Word, Real)) {
    return false;
  }
  Value = RoundToInt32(Real);
  return true;
}

// ---------------------------------------------------------------- text files

/// Skips Count lines; false when the text ends first.
inline bool SkipLines(TTextReader& Reader, int Count) {
  std::string Line;
  for (int i = 0; i < Count; ++i) {
    if (!Reader.ReadLine(Line)) {
      return false;
    }
  }
  return true;
}

/// Counts the words left in Reader, stopping at Limit.
inline int64_t CountWords(TTextReader& Reader, int64_t Limit) {
  int64_t Count = 0;
  std::string Word;
  while (Count < Limit && Reader.ReadWord(Word)) {
    ++Count;
  }
  return Count;
}

/// The number of lines of the ASC header.
inline constexpr int kASCHeaderLines = 4;

}  // namespace vexa::fileio_detail
