#pragma once
// Block files built and taken apart byte by byte for the matrix file tests,
// independently of the library's reader and writer.

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace vexa::testing {

/// Record 0 and the values of a block file as plain fields.
struct TBlockFileContents {
  int32_t Cols = 0, Rows = 0, Layers = 0, Slots = 0;
  std::string Id;
  int32_t Format = 1;
  std::vector<double> Doubles;  ///< written when Ints is empty, whatever the format code
  std::vector<int32_t> Ints;    ///< written as 4-byte values when not empty
  bool Pad = true;              ///< zero-pad the last record to 4096 bytes
};

/// A file of doubles (any format code) with the given header sizes.
inline TBlockFileContents DoubleFile(int32_t Cols, int32_t Rows, int32_t Layers, int32_t Slots,
                                 std::vector<double> Values, std::string Id = "", int32_t Format = 1,
                                 bool Pad = true) {
  TBlockFileContents Contents;
  Contents.Cols = Cols;
  Contents.Rows = Rows;
  Contents.Layers = Layers;
  Contents.Slots = Slots;
  Contents.Id = std::move(Id);
  Contents.Format = Format;
  Contents.Doubles = std::move(Values);
  Contents.Pad = Pad;
  return Contents;
}

/// A 2-D file of int32 values (format 2).
inline TBlockFileContents IntFile(int32_t Cols, int32_t Rows, std::vector<int32_t> Values, std::string Id = "",
                              bool Pad = true) {
  TBlockFileContents Contents = DoubleFile(Cols, Rows, 0, 0, {}, std::move(Id), 2, Pad);
  Contents.Ints = std::move(Values);
  return Contents;
}

inline void AppendLE(std::string& Bytes, uint64_t Value, int Width) {
  for (int k = 0; k < Width; ++k) {
    Bytes.push_back(static_cast<char>((Value >> (8 * k)) & 0xFF));
  }
}

/// The bytes of a block file: 4096-byte header record, values, padding.
inline std::string BlockFileBytes(const TBlockFileContents& Contents) {
  std::string Bytes;
  for (const int32_t Size : {Contents.Cols, Contents.Rows, Contents.Layers, Contents.Slots}) {
    AppendLE(Bytes, static_cast<uint32_t>(Size), 4);
  }
  Bytes.push_back(static_cast<char>(Contents.Id.size()));
  Bytes += Contents.Id;
  Bytes.resize(272, '\0');
  AppendLE(Bytes, static_cast<uint32_t>(Contents.Format), 4);
  Bytes.resize(4096, '\0');
  if (!Contents.Ints.empty()) {
    for (const int32_t v : Contents.Ints) {
      AppendLE(Bytes, static_cast<uint32_t>(v), 4);
    }
  } else {
    for (const double v : Contents.Doubles) {
      AppendLE(Bytes, std::bit_cast<uint64_t>(v), 8);
    }
  }
  if (Contents.Pad && Bytes.size() % 4096 != 0) {
    Bytes.resize((Bytes.size() / 4096 + 1) * 4096, '\0');
  }
  return Bytes;
}

/// Little-endian unsigned field of Width bytes at Offset.
inline uint64_t FieldAt(const std::string& Bytes, size_t Offset, int Width) {
  uint64_t Value = 0;
  for (int k = 0; k < Width; ++k) {
    Value |= static_cast<uint64_t>(static_cast<uint8_t>(Bytes.at(Offset + static_cast<size_t>(k)))) << (8 * k);
  }
  return Value;
}

inline int32_t Int32At(const std::string& Bytes, size_t Offset) {
  return static_cast<int32_t>(static_cast<uint32_t>(FieldAt(Bytes, Offset, 4)));
}

/// Value k (0-based) of a double block file.
inline uint64_t DoubleBitsOfValue(const std::string& Bytes, size_t k) { return FieldAt(Bytes, 4096 + 8 * k, 8); }

/// True when every byte in [From, To) is zero.
inline bool AllZero(const std::string& Bytes, size_t From, size_t To) {
  for (size_t i = From; i < To; ++i) {
    if (Bytes.at(i) != '\0') {
      return false;
    }
  }
  return true;
}

}  // namespace vexa::testing
