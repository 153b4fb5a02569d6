// BMP files: a reader that treats every field as hostile and a writer of
// BI_RGB bottom-up files at the bitmap's nominal depth.
#include <algorithm>
#include <bit>
#include <cstring>

#include "platform/graphics/Vexa_bitmap.h"

namespace vexa {

namespace {

constexpr uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3, kBiAlphaBitfields = 6;
constexpr size_t kFileHeaderSize = 14;

[[noreturn]] void Fail(const std::string& Cause) { throw EInvalidGraphic("BMP: " + Cause); }

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Get32(const uint8_t* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}
int32_t GetSigned32(const uint8_t* p) { return static_cast<int32_t>(Get32(p)); }

/// The header fields that matter, already validated.
struct TBmpHeader {
  int64_t Width = 0;
  int64_t Height = 0;  ///< positive
  bool TopDown = false;
  uint32_t Bits = 0;
  uint32_t Compression = kBiRgb;
  uint32_t Masks[4] = {0, 0, 0, 0};  ///< red, green, blue, alpha
  bool HasAlphaMask = false;
  uint64_t PaletteOffset = 0;  ///< from the start of the file
  uint32_t PaletteEntries = 0;
  uint32_t PaletteEntrySize = 4;
  uint64_t DataOffset = 0;
};

/// Parses and checks the file and info headers from the first bytes of the file.
TBmpHeader ParseHeader(const std::vector<uint8_t>& Bytes, uint64_t FileSize) {
  if (Bytes.size() < kFileHeaderSize + 4) Fail("file too short for a header");
  if (Bytes[0] != 'B' || Bytes[1] != 'M') Fail("not a BMP file (no \"BM\" signature)");
  TBmpHeader h;
  h.DataOffset = Get32(&Bytes[10]);
  const uint32_t infoSize = Get32(&Bytes[14]);
  const uint8_t* info = &Bytes[14];
  if (infoSize != 12 && infoSize != 40 && infoSize != 52 && infoSize != 56 && infoSize != 108 &&
      infoSize != 124)
    Fail("unsupported info header size " + std::to_string(infoSize));
  if (Bytes.size() < kFileHeaderSize + infoSize) Fail("truncated info header");
  int64_t height = 0;
  uint32_t planes = 0, clrUsed = 0;
  if (infoSize == 12) {
    h.Width = Get16(info + 4);
    height = Get16(info + 6);
    planes = Get16(info + 8);
    h.Bits = Get16(info + 10);
    h.PaletteEntrySize = 3;
  } else {
    h.Width = GetSigned32(info + 4);
    height = GetSigned32(info + 8);
    planes = Get16(info + 12);
    h.Bits = Get16(info + 14);
    h.Compression = Get32(info + 16);
    clrUsed = Get32(info + 32);
  }
  // 64-bit values, so that INT32_MIN can be negated.
  h.TopDown = height < 0;
  h.Height = height < 0 ? -height : height;
  CheckImageSize("BMP", h.Width, h.Height);
  if (planes != 1) Fail("invalid plane count " + std::to_string(planes));
  if (h.Bits != 1 && h.Bits != 4 && h.Bits != 8 && h.Bits != 16 && h.Bits != 24 && h.Bits != 32)
    Fail("unsupported bit depth " + std::to_string(h.Bits));
  const bool bitfields = h.Compression == kBiBitfields || h.Compression == kBiAlphaBitfields;
  const bool valid = h.Compression == kBiRgb || (h.Compression == kBiRle8 && h.Bits == 8) ||
                     (h.Compression == kBiRle4 && h.Bits == 4) ||
                     (bitfields && (h.Bits == 16 || h.Bits == 32));
  if (!valid)
    Fail("unsupported compression " + std::to_string(h.Compression) + " at " +
         std::to_string(h.Bits) + " bits");
  if (h.TopDown && (h.Compression == kBiRle8 || h.Compression == kBiRle4))
    Fail("compressed images cannot be top-down");

  uint64_t after = kFileHeaderSize + infoSize;
  if (bitfields) {
    const int maskCount = h.Compression == kBiAlphaBitfields ? 4 : 3;
    // Masks are in the header from version 2 on, else right after it.
    const uint64_t maskAt = infoSize >= 52 ? kFileHeaderSize + 40 : after;
    if (Bytes.size() < maskAt + 4 * static_cast<uint64_t>(maskCount)) Fail("truncated bit field masks");
    for (int k = 0; k < maskCount; ++k) h.Masks[k] = Get32(&Bytes[maskAt + 4 * k]);
    if (infoSize >= 56) {
      h.Masks[3] = Get32(&Bytes[kFileHeaderSize + 52]);
      h.HasAlphaMask = true;
    }
    h.HasAlphaMask = h.HasAlphaMask || maskCount == 4;
    if (infoSize < 52) after += 4 * static_cast<uint64_t>(maskCount);
  } else if (h.Bits == 16) {
    h.Masks[0] = 0x7C00; h.Masks[1] = 0x03E0; h.Masks[2] = 0x001F;
  } else if (h.Bits == 32) {
    h.Masks[0] = 0x00FF0000; h.Masks[1] = 0x0000FF00; h.Masks[2] = 0x000000FF; h.Masks[3] = 0xFF000000;
    h.HasAlphaMask = true;
  }
  if (h.Bits <= 8) {
    const uint32_t most = 1u << h.Bits;
    h.PaletteEntries = clrUsed == 0 ? most : clrUsed;
    if (h.PaletteEntries > most)
      Fail("palette of " + std::to_string(clrUsed) + " entries at " + std::to_string(h.Bits) + " bits");
    h.PaletteOffset = after;
    after += uint64_t{h.PaletteEntries} * h.PaletteEntrySize;
    if (after > FileSize) Fail("palette extends past the end of the file");
  }
  if (h.DataOffset < after && h.Bits <= 8) Fail("pixel data overlaps the palette");
  if (h.DataOffset < kFileHeaderSize + infoSize) Fail("pixel data overlaps the header");
  if (h.DataOffset >= FileSize) Fail("pixel data offset past the end of the file");
  return h;
}

/// Converts a bit-field channel to 8 bits; a zero mask gives Default.
struct TChannel {
  uint32_t Mask = 0;
  int Shift = 0;
  uint64_t Max = 0;
  explicit TChannel(uint32_t M) : Mask(M) {
    if (Mask == 0) return;
    Shift = std::countr_zero(Mask);
    const int width = 32 - std::countl_zero(Mask) - Shift;
    Max = (width >= 32) ? 0xFFFFFFFFull : ((uint64_t{1} << width) - 1);
  }
  uint32_t Get(uint32_t Value, uint32_t Default) const {
    if (Mask == 0) return Default;
    const uint64_t raw = (Value & Mask) >> Shift;
    return static_cast<uint32_t>((raw * 255 + Max / 2) / Max);
  }
};

uint64_t RowBytes(int64_t Width, uint32_t Bits) {
  return ((static_cast<uint64_t>(Width) * Bits + 31) / 32) * 4;
}

void DecodeUncompressed(const TBmpHeader& h, const std::vector<uint8_t>& Bytes,
                        const std::vector<TColor>& Palette, TBitmap& Picture) {
  const uint64_t rowBytes = RowBytes(h.Width, h.Bits);
  if (h.DataOffset + rowBytes * static_cast<uint64_t>(h.Height) > Bytes.size())
    Fail("pixel rows extend past the end of the file");
  const TChannel red(h.Masks[0]), green(h.Masks[1]), blue(h.Masks[2]), alpha(h.Masks[3]);
  bool anyAlpha = false;
  for (int64_t row = 0; row < h.Height; ++row) {
    const int64_t y = h.TopDown ? row : h.Height - 1 - row;
    const uint8_t* src = &Bytes[h.DataOffset + rowBytes * static_cast<uint64_t>(row)];
    uint32_t* dst = Picture.ScanLine(static_cast<int32_t>(y));
    for (int64_t x = 0; x < h.Width; ++x) {
      if (h.Bits <= 8) {
        const uint64_t bit = static_cast<uint64_t>(x) * h.Bits;
        const uint32_t index = (src[bit / 8] >> (8 - h.Bits - bit % 8)) & ((1u << h.Bits) - 1);
        // Indices past the palette read as black.
        if (index < Palette.size())
          Picture.SetPaletteIndex(static_cast<int32_t>(x), static_cast<int32_t>(y), static_cast<uint8_t>(index));
        else
          dst[x] = 0xFF000000u;
        continue;
      }
      uint32_t value = 0;
      if (h.Bits == 16) value = Get16(src + 2 * x);
      else if (h.Bits == 24) value = uint32_t{src[3 * x]} | (uint32_t{src[3 * x + 1]} << 8) | (uint32_t{src[3 * x + 2]} << 16);
      else value = Get32(src + 4 * x);
      if (h.Bits == 24) {
        dst[x] = 0xFF000000u | value;
        continue;
      }
      const uint32_t a = h.HasAlphaMask ? alpha.Get(value, 255) : 255;
      anyAlpha = anyAlpha || (h.HasAlphaMask && alpha.Mask != 0 && a != 0);
      dst[x] = (a << 24) | (red.Get(value, 0) << 16) | (green.Get(value, 0) << 8) | blue.Get(value, 0);
    }
  }
  // A 32-bit file whose alpha bytes are all zero does not use them: opaque.
  if (h.Bits >= 16 && h.HasAlphaMask && !anyAlpha)
    for (int32_t y = 0; y < Picture.Height(); ++y) {
      uint32_t* row = Picture.ScanLine(y);
      for (int32_t x = 0; x < Picture.Width(); ++x) row[x] |= 0xFF000000u;
    }
}

/// RLE8 and RLE4: every run, absolute block and delta is checked against the
/// bitmap; data ending before the end-of-bitmap code is an error.
void DecodeRle(const TBmpHeader& h, const std::vector<uint8_t>& Bytes,
               const std::vector<TColor>& Palette, TBitmap& Picture) {
  const bool four = h.Compression == kBiRle4;
  size_t at = h.DataOffset;
  int64_t x = 0, row = 0;  // row counts from the bottom
  auto put = [&](uint32_t index) {
    if (x >= h.Width || row >= h.Height) Fail("run outside the bitmap");
    const auto px = static_cast<int32_t>(x), py = static_cast<int32_t>(h.Height - 1 - row);
    if (index < Palette.size()) Picture.SetPaletteIndex(px, py, static_cast<uint8_t>(index));
    else Picture.ScanLine(py)[px] = 0xFF000000u;
    ++x;
  };
  auto need = [&](size_t count) {
    if (at + count > Bytes.size()) Fail("compressed data ends before the end-of-bitmap code");
  };
  for (;;) {
    need(2);
    const uint8_t count = Bytes[at], value = Bytes[at + 1];
    at += 2;
    if (count > 0) {
      if (x + count > h.Width) Fail("run longer than the row");
      for (int k = 0; k < count; ++k) put(four ? ((k % 2 == 0) ? value >> 4 : value & 0xF) : value);
      continue;
    }
    if (value == 0) {  // end of line
      x = 0;
      ++row;
      continue;
    }
    if (value == 1) return;  // end of bitmap
    if (value == 2) {        // delta
      need(2);
      const uint8_t dx = Bytes[at], dy = Bytes[at + 1];
      at += 2;
      x += dx;
      row += dy;
      if (x > h.Width || row > h.Height || (row == h.Height && (x > 0 || dy == 0)))
        Fail("delta moves outside the bitmap");
      continue;
    }
    // Absolute block of `value` pixels, padded to a 16-bit boundary.
    const size_t dataBytes = four ? (value + 1u) / 2 : value;
    need(dataBytes + (dataBytes & 1));
    if (x + value > h.Width) Fail("absolute block longer than the row");
    for (int k = 0; k < value; ++k) {
      const uint8_t byte = Bytes[at + (four ? k / 2 : k)];
      put(four ? ((k % 2 == 0) ? byte >> 4 : byte & 0xF) : byte);
    }
    at += dataBytes + (dataBytes & 1);
  }
}

TPixelFormat FormatOf(const TBmpHeader& h) {
  switch (h.Bits) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 16: return h.Masks[1] == 0x07E0 ? pf16bit : pf15bit;
    case 24: return pf24bit;
    default: return pf32bit;
  }
}

/// Reads the header bytes (file header, info header, masks, palette: at most
/// 14 + 124 + 16 + 1024 bytes) and rewinds.
std::vector<uint8_t> ReadHead(TStream& Stream, uint64_t Available) {
  std::vector<uint8_t> head(static_cast<size_t>(std::min<uint64_t>(Available, 14 + 124 + 16 + 1024)));
  const int64_t start = Stream.Position();
  const int64_t got = Stream.Read(head.data(), static_cast<int64_t>(head.size()));
  head.resize(static_cast<size_t>(std::max<int64_t>(got, 0)));
  Stream.SetPosition(start);
  return head;
}

}  // namespace

bool ProbeBMPHeader(TStream& Stream, int32_t& Width, int32_t& Height) {
  try {
    const int64_t available = Stream.Remaining();
    if (available <= 0) return false;
    const TBmpHeader h = ParseHeader(ReadHead(Stream, static_cast<uint64_t>(available)),
                                     static_cast<uint64_t>(available));
    Width = static_cast<int32_t>(h.Width);
    Height = static_cast<int32_t>(h.Height);
    return true;
  } catch (const Exception&) {
    return false;
  }
}

void TBitmap::LoadFromStream(TStream& Stream) {
  const int64_t available = Stream.Remaining();
  if (available <= 0) Fail("empty stream");
  const TBmpHeader h = ParseHeader(ReadHead(Stream, static_cast<uint64_t>(available)),
                                   static_cast<uint64_t>(available));
  // Read only as much as the image can use: the rows, or for compressed data
  // the most a valid encoding of this size can take.
  const bool rle = h.Compression == kBiRle8 || h.Compression == kBiRle4;
  const uint64_t pixels = static_cast<uint64_t>(h.Width) * static_cast<uint64_t>(h.Height);
  const uint64_t dataSize = rle ? 2 * pixels + 4 * static_cast<uint64_t>(h.Height) + 16
                                : RowBytes(h.Width, h.Bits) * static_cast<uint64_t>(h.Height);
  const uint64_t wanted = std::min<uint64_t>(static_cast<uint64_t>(available), h.DataOffset + dataSize);
  std::vector<uint8_t> bytes(static_cast<size_t>(wanted));
  Stream.ReadBuffer(bytes.data(), static_cast<int64_t>(wanted));

  std::vector<TColor> palette;
  for (uint32_t k = 0; k < h.PaletteEntries; ++k) {
    const uint8_t* entry = &bytes[h.PaletteOffset + uint64_t{k} * h.PaletteEntrySize];
    palette.push_back(RGB(entry[2], entry[1], entry[0]));
  }
  TBitmap decoded;
  decoded.SetPixelFormat(FormatOf(h));
  if (!palette.empty()) decoded.SetPalette(palette);
  decoded.SetSize(static_cast<int32_t>(h.Width), static_cast<int32_t>(h.Height));
  if (rle) DecodeRle(h, bytes, palette, decoded);
  else DecodeUncompressed(h, bytes, palette, decoded);
  TakePixelsFrom(decoded);
}

void TBitmap::SaveToStream(TStream& Stream) const {
  const auto bits = static_cast<uint32_t>(PixelFormatBits(FPixelFormat));
  std::vector<TColor> palette = FPalette;
  if (bits <= 8 && palette.empty()) palette.assign(size_t{1} << bits, clBlack);
  const uint64_t rowBytes = RowBytes(FWidth, bits);
  const uint64_t paletteBytes = 4 * static_cast<uint64_t>(palette.size());
  const uint64_t offset = kFileHeaderSize + 40 + paletteBytes;
  const uint64_t fileSize = offset + rowBytes * static_cast<uint64_t>(FHeight);
  if (fileSize > UINT32_MAX) Fail("image too large for a BMP file");
  std::vector<uint8_t> out(static_cast<size_t>(fileSize), 0);
  auto put16 = [&](size_t at, uint32_t v) { out[at] = static_cast<uint8_t>(v); out[at + 1] = static_cast<uint8_t>(v >> 8); };
  auto put32 = [&](size_t at, uint32_t v) { put16(at, v & 0xFFFF); put16(at + 2, v >> 16); };
  out[0] = 'B';
  out[1] = 'M';
  put32(2, static_cast<uint32_t>(fileSize));
  put32(10, static_cast<uint32_t>(offset));
  put32(14, 40);
  put32(18, static_cast<uint32_t>(FWidth));
  put32(22, static_cast<uint32_t>(FHeight));
  put16(26, 1);
  put16(28, bits);
  put32(34, static_cast<uint32_t>(rowBytes * static_cast<uint64_t>(FHeight)));
  put32(38, 3780);  // 96 dpi
  put32(42, 3780);
  put32(46, static_cast<uint32_t>(palette.size()));
  for (size_t k = 0; k < palette.size(); ++k) {
    const size_t at = kFileHeaderSize + 40 + 4 * k;
    out[at] = GetBValue(palette[k]);
    out[at + 1] = GetGValue(palette[k]);
    out[at + 2] = GetRValue(palette[k]);
  }
  for (int32_t y = 0; y < FHeight; ++y) {
    uint8_t* row = &out[offset + rowBytes * static_cast<uint64_t>(FHeight - 1 - y)];
    const uint32_t* src = ScanLine(y);
    for (int32_t x = 0; x < FWidth; ++x) {
      const uint32_t p = src[x];
      switch (bits) {
        case 1: case 4: case 8: {
          const uint64_t bit = static_cast<uint64_t>(x) * bits;
          row[bit / 8] = static_cast<uint8_t>(row[bit / 8] | (PaletteIndex(x, y) << (8 - bits - bit % 8)));
          break;
        }
        case 16: {
          // Each channel rounded to the nearest of the 32 levels.
          auto level = [](uint32_t v8) { return (v8 * 31 + 127) / 255; };
          const uint32_t v = (level((p >> 16) & 0xFF) << 10) | (level((p >> 8) & 0xFF) << 5) | level(p & 0xFF);
          row[2 * x] = static_cast<uint8_t>(v);
          row[2 * x + 1] = static_cast<uint8_t>(v >> 8);
          break;
        }
        case 24:
          row[3 * x] = static_cast<uint8_t>(p);
          row[3 * x + 1] = static_cast<uint8_t>(p >> 8);
          row[3 * x + 2] = static_cast<uint8_t>(p >> 16);
          break;
        default:
          std::memcpy(row + 4 * x, &p, 4);  // B, G, R, A on little-endian machines
          if constexpr (std::endian::native == std::endian::big) std::reverse(row + 4 * x, row + 4 * x + 4);
      }
    }
  }
  Stream.WriteBuffer(out.data(), static_cast<int64_t>(out.size()));
}

}  // namespace vexa
