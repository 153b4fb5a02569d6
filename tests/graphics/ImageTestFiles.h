#pragma once
// Hand-made image files for the decoder tests, written byte by byte so that
// they do not depend on our own writers.

#include <cstdint>
#include <string>
#include <vector>

namespace vexa::testing {

/// Little-endian byte builder.
struct TBytes {
  std::string Data;
  TBytes& U8(uint32_t v) { Data += static_cast<char>(v & 0xFF); return *this; }
  TBytes& U16(uint32_t v) { return U8(v).U8(v >> 8); }
  TBytes& U32(uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
  TBytes& Raw(const std::string& s) { Data += s; return *this; }
};

/// The fields of a BMP file; offsets and sizes are filled in unless given.
struct TBmpLayout {
  int32_t Width = 1;
  int32_t Height = 1;
  uint16_t Bits = 24;
  uint32_t Compression = 0;
  uint32_t InfoSize = 40;
  uint32_t ClrUsed = 0;
  std::vector<uint32_t> Palette;  ///< RGBQUAD values $00RRGGBB
  std::vector<uint32_t> Masks;    ///< written after a 40-byte header, or inside larger ones
  std::string Pixels;
  int64_t DataOffset = -1;  ///< -1: right after header, masks and palette
};

inline std::string BmpFile(const TBmpLayout& s) {
  TBytes info;
  info.U32(s.InfoSize).U32(static_cast<uint32_t>(s.Width)).U32(static_cast<uint32_t>(s.Height)).U16(1).U16(s.Bits)
      .U32(s.Compression).U32(0).U32(3780).U32(3780).U32(s.ClrUsed).U32(0);
  std::string masks;
  for (uint32_t m : s.Masks) masks += TBytes().U32(m).Data;
  if (s.InfoSize > 40) {
    info.Raw(masks);
    masks.clear();
    while (info.Data.size() < s.InfoSize) info.U8(0);
  }
  std::string palette;
  for (uint32_t c : s.Palette) palette += TBytes().U32(c).Data;
  const size_t offset = s.DataOffset >= 0 ? static_cast<size_t>(s.DataOffset)
                                          : 14 + info.Data.size() + masks.size() + palette.size();
  std::string body = info.Data + masks + palette;
  while (14 + body.size() < offset) body += '\0';
  body += s.Pixels;
  TBytes file;
  file.U8('B').U8('M').U32(static_cast<uint32_t>(14 + body.size())).U32(0).U32(static_cast<uint32_t>(offset));
  return file.Data + body;
}

}  // namespace vexa::testing
