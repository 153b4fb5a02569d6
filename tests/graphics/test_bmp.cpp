// BMP reader and writer: round trips at every depth, the header variants,
// RLE, and hostile files.
#include <climits>

#include "GraphicsTestSupport.h"
#include "ImageTestFiles.h"
#include "platform/Vexa_datastreams.h"

namespace vexa {
namespace {

using testing::BmpFile;
using testing::ColorAt;
using testing::TBmpLayout;
using testing::TBytes;

using testing::TBytesStream;

std::string BytesOf(const TBitmap& Bitmap) { return testing::SavedBytes(Bitmap); }

void LoadBytes(TBitmap& Bitmap, const std::string& Bytes) {
  TBytesStream stream(Bytes);
  Bitmap.LoadFromStream(stream);
}

TEST(BmpTest, PalettedDepthsRoundTripWithTheirIndices) {
  for (const TPixelFormat format : {pf1bit, pf4bit, pf8bit}) {
    const int bits = PixelFormatBits(format);
    TBitmap bmp;
    bmp.SetPixelFormat(format);
    std::vector<TColor> palette;
    // Two entries share a colour, so only the stored index tells them apart.
    for (int i = 0; i < (1 << bits); ++i) palette.push_back(i == 1 ? TColor{0x102030} : RGB(uint8_t(i * 37), uint8_t(i * 11), uint8_t(255 - i)));
    if (bits > 1) palette[0] = 0x102030;
    bmp.SetPalette(palette);
    bmp.SetSize(13, 5);  // rows of odd length exercise the padding
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 13; ++x) bmp.SetPaletteIndex(x, y, static_cast<uint8_t>((x * 7 + y * 3) % (1 << bits)));
    TBitmap loaded;
    LoadBytes(loaded, BytesOf(bmp));
    EXPECT_EQ(loaded.PixelFormat(), format);
    EXPECT_EQ(loaded.Palette(), palette);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 13; ++x) EXPECT_EQ(loaded.PaletteIndex(x, y), (x * 7 + y * 3) % (1 << bits)) << bits << " bits";
    EXPECT_TRUE(testing::BitmapsEqual(loaded, bmp, "bmp_paletted"));
  }
}

TEST(BmpTest, DirectColourDepthsRoundTrip) {
  TBitmap bmp;
  bmp.SetSize(7, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 7; ++x)
      bmp.ScanLine(y)[x] = (uint32_t(x * 36) << 24) | ColorToPixel(RGB(uint8_t(x * 40), uint8_t(y * 120), uint8_t(x * y * 20)));
  for (const TPixelFormat format : {pf24bit, pf32bit, pfDevice}) {
    bmp.SetPixelFormat(format);
    TBitmap loaded;
    LoadBytes(loaded, BytesOf(bmp));
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 7; ++x) {
        EXPECT_EQ(ColorAt(loaded, x, y), ColorAt(bmp, x, y));
        if (format == pf32bit) {
          EXPECT_EQ(loaded.ScanLine(y)[x] >> 24, bmp.ScanLine(y)[x] >> 24);  // alpha kept
        }
      }
  }
  // 16 bits: five bits per channel; full and empty channels stay exact.
  bmp.SetPixelFormat(pf15bit);
  TBitmap loaded;
  LoadBytes(loaded, BytesOf(bmp));
  EXPECT_EQ(loaded.PixelFormat(), pf15bit);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 7; ++x)
      for (int shift : {0, 8, 16})
        EXPECT_NEAR((ColorAt(loaded, x, y) >> shift) & 0xFF, (ColorAt(bmp, x, y) >> shift) & 0xFF, 4);
}

TEST(BmpTest, RedPixelIsStoredAsTheFormatPrescribes) {
  // Read the file bytes directly: BGR order, bottom-up rows padded to 4 bytes.
  TBitmap bmp;
  bmp.SetPixelFormat(pf24bit);
  bmp.SetSize(2, 2);
  bmp.Canvas().SetPixels(0, 1, 0x0000FF);  // bottom-left: first in the file
  const std::string bytes = BytesOf(bmp);
  ASSERT_EQ(bytes.size(), 14u + 40u + 2u * 8u);
  const uint32_t offset = uint8_t(bytes[10]) | (uint8_t(bytes[11]) << 8);
  EXPECT_EQ(offset, 54u);
  EXPECT_EQ(uint8_t(bytes[offset]), 0x00);      // blue
  EXPECT_EQ(uint8_t(bytes[offset + 1]), 0x00);  // green
  EXPECT_EQ(uint8_t(bytes[offset + 2]), 0xFF);  // red
}

TEST(BmpTest, ReadsTopDownBitfieldsCoreHeadersAndRle) {
  TBitmap bmp;
  // Top-down 24 bit: the first row in the file is the top row.
  TBmpLayout topDown;
  topDown.Width = 1;
  topDown.Height = -2;
  topDown.Pixels = std::string("\x00\x00\xFF\x00\x00\xFF\x00\x00", 8);
  LoadBytes(bmp, BmpFile(topDown));
  EXPECT_EQ(ColorAt(bmp, 0, 0), clRed);
  EXPECT_EQ(ColorAt(bmp, 0, 1), clLime);

  // 16-bit 5-6-5 bit fields after a 40-byte header, and inside a V4 header.
  for (const uint32_t infoSize : {40u, 108u}) {
    TBmpLayout fields;
    fields.Width = 3;
    fields.Bits = 16;
    fields.Compression = 3;
    fields.InfoSize = infoSize;
    fields.Masks = {0xF800, 0x07E0, 0x001F};
    fields.Pixels = TBytes().U16(0xF800).U16(0x07E0).U16(0x001F).U16(0).Data;
    LoadBytes(bmp, BmpFile(fields));
    EXPECT_EQ(bmp.PixelFormat(), pf16bit);
    EXPECT_EQ(ColorAt(bmp, 0, 0), clRed) << infoSize;
    EXPECT_EQ(ColorAt(bmp, 1, 0), clLime);
    EXPECT_EQ(ColorAt(bmp, 2, 0), clBlue);
  }
  // 32-bit bit fields in an unusual order, and zero masks (channels read 0).
  TBmpLayout shuffled;
  shuffled.Width = 1;
  shuffled.Bits = 32;
  shuffled.Compression = 3;
  shuffled.Masks = {0x0000FF00, 0x00FF0000, 0xFF000000};
  shuffled.Pixels = TBytes().U32(0x11223344).Data;
  LoadBytes(bmp, BmpFile(shuffled));
  EXPECT_EQ(ColorAt(bmp, 0, 0), RGB(0x33, 0x22, 0x11));
  shuffled.Masks = {0, 0, 0};
  LoadBytes(bmp, BmpFile(shuffled));
  EXPECT_EQ(ColorAt(bmp, 0, 0), clBlack);

  // OS/2 core header with a 3-byte palette.
  TBytes core;
  core.U8('B').U8('M').U32(14 + 12 + 6 + 4).U32(0).U32(14 + 12 + 6);
  core.U32(12).U16(2).U16(1).U16(1).U16(1);
  core.U8(0).U8(0).U8(0).U8(0xFF).U8(0xFF).U8(0xFF);  // black, white
  core.U8(0x40).U8(0).U8(0).U8(0);                     // 0 1 -> black, white
  LoadBytes(bmp, core.Data);
  EXPECT_EQ(ColorAt(bmp, 0, 0), clBlack);
  EXPECT_EQ(ColorAt(bmp, 1, 0), clWhite);

  // RLE8: a run, an absolute block, end of line, a delta, end of bitmap.
  TBmpLayout rle8;
  rle8.Width = 5;
  rle8.Height = 3;
  rle8.Bits = 8;
  rle8.Compression = 1;
  rle8.ClrUsed = 4;
  rle8.Palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  rle8.Pixels = std::string("\x02\x01" "\x00\x03\x02\x03\x02\x00" "\x00\x00" "\x00\x02\x01\x01" "\x01\x03" "\x00\x01", 18);
  LoadBytes(bmp, BmpFile(rle8));
  EXPECT_EQ(bmp.PixelFormat(), pf8bit);
  const TColor bottom[5] = {clRed, clRed, clLime, clBlue, clLime};  // palette $RRGGBB
  for (int x = 0; x < 5; ++x) EXPECT_EQ(ColorAt(bmp, x, 2), bottom[x]) << x;
  EXPECT_EQ(ColorAt(bmp, 1, 0), clBlue);  // after the delta (1, 1): row 2 from the bottom
  EXPECT_EQ(bmp.PaletteIndex(1, 0), 3);
  EXPECT_EQ(ColorAt(bmp, 0, 0), clBlack);  // untouched: index 0

  // RLE4: runs alternate the two nibbles.
  TBmpLayout rle4 = rle8;
  rle4.Bits = 4;
  rle4.Compression = 2;
  rle4.Height = 1;
  rle4.Pixels = std::string("\x05\x12" "\x00\x01", 4);
  LoadBytes(bmp, BmpFile(rle4));
  const TColor row[5] = {clRed, clLime, clRed, clLime, clRed};
  for (int x = 0; x < 5; ++x) EXPECT_EQ(ColorAt(bmp, x, 0), row[x]) << x;
}

TEST(BmpTest, IndicesPastThePaletteReadBlack) {
  TBmpLayout layout;
  layout.Width = 2;
  layout.Bits = 8;
  layout.ClrUsed = 2;
  layout.Palette = {0xFFFFFF, 0xFF0000};
  layout.Pixels = std::string("\x01\x07\x00\x00", 4);
  TBitmap bmp;
  LoadBytes(bmp, BmpFile(layout));
  EXPECT_EQ(ColorAt(bmp, 0, 0), clRed);
  EXPECT_EQ(ColorAt(bmp, 1, 0), clBlack);
}

/// A hostile file must raise EInvalidGraphic and leave the bitmap unchanged.
void ExpectRejected(const std::string& Bytes, const std::string& Name) {
  TBitmap bmp;
  testing::MakeBitmap(bmp, 3, 2, clTeal);
  TBitmap before;
  before.Assign(bmp);
  TBytesStream stream(Bytes);
  EXPECT_THROW(bmp.LoadFromStream(stream), EInvalidGraphic) << Name;
  EXPECT_TRUE(testing::SamePixels(bmp, before)) << Name;
}

TEST(BmpTest, HostileHeadersAreRejected) {
  TBmpLayout valid;
  valid.Width = 2;
  valid.Height = 2;
  valid.Pixels = std::string(16, '\x7F');
  const struct {
    const char* Name;
    std::function<void(TBmpLayout&)> Change;
  } cases[] = {
      {"zero width", [](TBmpLayout& s) { s.Width = 0; }},
      {"zero height", [](TBmpLayout& s) { s.Height = 0; }},
      {"negative width", [](TBmpLayout& s) { s.Width = -2; }},
      {"INT_MIN height", [](TBmpLayout& s) { s.Height = INT32_MIN; }},
      {"INT_MIN width", [](TBmpLayout& s) { s.Width = INT32_MIN; }},
      {"65535 x 65535", [](TBmpLayout& s) { s.Width = 65535; s.Height = 65535; }},
      {"above the pixel limit", [](TBmpLayout& s) { s.Width = 65000; s.Height = 65000; }},
      {"bit depth 7", [](TBmpLayout& s) { s.Bits = 7; }},
      {"unknown compression", [](TBmpLayout& s) { s.Compression = 4; }},
      {"RLE8 at 24 bits", [](TBmpLayout& s) { s.Compression = 1; }},
      {"huge palette", [](TBmpLayout& s) { s.Bits = 8; s.ClrUsed = 0x40000000; }},
      {"palette past 2^bits", [](TBmpLayout& s) { s.Bits = 1; s.ClrUsed = 3; s.Palette = {0, 0, 0}; }},
      {"offset past the end", [](TBmpLayout& s) { s.DataOffset = 1000; s.Pixels.clear(); }},
      {"offset inside the header", [](TBmpLayout& s) { s.DataOffset = 20; }},
      {"rows past the end", [](TBmpLayout& s) { s.Pixels.resize(15); }},
      {"info size 41", [](TBmpLayout& s) { s.InfoSize = 41; }},
      {"top-down RLE", [](TBmpLayout& s) { s.Bits = 8; s.Compression = 1; s.Height = -2; s.Pixels = std::string("\x00\x01", 2); }},
      {"RLE run past the row", [](TBmpLayout& s) { s.Bits = 8; s.Compression = 1; s.Pixels = std::string("\x03\x00\x00\x01", 4); }},
      {"RLE absolute past the row", [](TBmpLayout& s) { s.Bits = 8; s.Compression = 1; s.Pixels = std::string("\x00\x04\x01\x01\x01\x01\x00\x01", 8); }},
      {"RLE delta past the bitmap", [](TBmpLayout& s) { s.Bits = 8; s.Compression = 1; s.Pixels = std::string("\x00\x02\x00\x05\x00\x01", 6); }},
      {"RLE without end code", [](TBmpLayout& s) { s.Bits = 8; s.Compression = 1; s.Pixels = std::string("\x02\x00\x00\x00", 4); }},
      {"RLE4 run past the row", [](TBmpLayout& s) { s.Bits = 4; s.Compression = 2; s.Pixels = std::string("\x03\x11\x00\x01", 4); }},
  };
  for (const auto& c : cases) {
    TBmpLayout layout = valid;
    c.Change(layout);
    ExpectRejected(BmpFile(layout), c.Name);
  }
  ExpectRejected("", "empty");
  ExpectRejected("BM", "signature only");
  ExpectRejected("PK\x03\x04 not a bitmap at all", "wrong signature");
}

TEST(BmpTest, EveryTruncationIsRejected) {
  TBmpLayout layout;
  layout.Width = 3;
  layout.Height = 2;
  layout.Bits = 8;
  layout.Compression = 1;
  layout.ClrUsed = 2;
  layout.Palette = {0, 0xFFFFFF};
  layout.Pixels = std::string("\x03\x01\x00\x00\x00\x03\x01\x00\x01\x00\x00\x01", 12);
  const std::string rle = BmpFile(layout);
  TBitmap ok;
  LoadBytes(ok, rle);  // the whole file is fine
  EXPECT_EQ(ColorAt(ok, 1, 0), clBlack);
  layout.Compression = 0;
  layout.Pixels = std::string(8, '\x01');
  const std::string plain = BmpFile(layout);
  for (const std::string* file : {&rle, &plain})
    for (size_t length = 0; length < file->size(); ++length)
      ExpectRejected(file->substr(0, length), "prefix of " + std::to_string(length) + " bytes");
}

TEST(BmpTest, ProbeGivesTheSizeWithoutDecoding) {
  TBmpLayout layout;
  layout.Width = 640;
  layout.Height = -480;
  layout.Pixels = "not even the pixels";  // rows missing: the probe does not look at them
  TBytesStream stream(BmpFile(layout));
  int32_t w = 0, h = 0;
  ASSERT_TRUE(ProbeBMPHeader(stream, w, h));
  EXPECT_EQ(w, 640);
  EXPECT_EQ(h, 480);
  EXPECT_EQ(stream.Position(), 0);
  layout.Width = 0;
  TBytesStream bad(BmpFile(layout));
  EXPECT_FALSE(ProbeBMPHeader(bad, w, h));
}

}  // namespace
}  // namespace vexa
