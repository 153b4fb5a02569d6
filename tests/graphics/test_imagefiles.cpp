// PNG and JPEG pictures, the loader by magic bytes, the header probe,
// writers that keep an old file on failure, and hostile files.
#include <png.h>
#include <zlib.h>

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <random>

#include <jpeglib.h>

#include "GraphicsTestSupport.h"
#include "ImageTestFiles.h"
#include "platform/graphics/Vexa_imagefiles.h"
#include "tests/support/TempDir.h"

namespace vexa {
namespace {

using testing::ColorAt;
using testing::SavedBytes;
using testing::TBytesStream;

/// Restores the pixel limit when a test lowered it.
struct TPixelLimitGuard {
  int64_t Saved = MaxPixelCount();
  ~TPixelLimitGuard() { SetMaxPixelCount(Saved); }
};

void Gradient(TBitmap& Bitmap, int32_t W, int32_t H) {
  Bitmap.SetSize(W, H);
  for (int32_t y = 0; y < H; ++y)
    for (int32_t x = 0; x < W; ++x)
      Bitmap.ScanLine(y)[x] = ColorToPixel(RGB(uint8_t(x * 255 / W), uint8_t(y * 255 / H), uint8_t((x + y) * 2)));
}

/// A JPEG written by libjpeg directly (not by our encoder): gray, RGB or
/// CMYK samples, optionally progressive.
std::string ReferenceJpeg(int W, int H, J_COLOR_SPACE Space, const std::vector<uint8_t>& Pixel, bool Progressive) {
  jpeg_compress_struct info;
  jpeg_error_mgr error;
  info.err = jpeg_std_error(&error);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(W);
  info.image_height = static_cast<JDIMENSION>(H);
  info.input_components = static_cast<int>(Pixel.size());
  info.in_color_space = Space;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 95, TRUE);
  if (Progressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  std::vector<uint8_t> row;
  for (int x = 0; x < W; ++x) row.insert(row.end(), Pixel.begin(), Pixel.end());
  while (info.next_scanline < info.image_height) {
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&info, &r, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::string bytes(reinterpret_cast<const char*>(buffer), size);
  std::free(buffer);
  return bytes;
}

TEST(PngTest, RoundTripIsExactAndReadsRedThroughLibpng) {
  TBitmap bmp;
  Gradient(bmp, 37, 23);
  bmp.Canvas().SetPixels(0, 0, 0x0000FF);
  TPNGImage png;
  png.Assign(bmp);
  const std::string bytes = SavedBytes(png);
  // An independent decoder (libpng directly) sees pure red at (0, 0).
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()));
  EXPECT_EQ(image.format & PNG_FORMAT_FLAG_ALPHA, 0u);  // 8-bit RGB
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
  EXPECT_EQ(rgb[0], 255);
  EXPECT_EQ(rgb[1], 0);
  EXPECT_EQ(rgb[2], 0);
  TBytesStream stream(bytes);
  TPNGImage loaded;
  loaded.LoadFromStream(stream);
  EXPECT_TRUE(testing::BitmapsEqual(loaded.Bitmap(), bmp, "png_roundtrip"));
  // With alpha for 32-bit bitmaps.
  bmp.SetPixelFormat(pf32bit);
  bmp.ScanLine(3)[4] = (bmp.ScanLine(3)[4] & 0xFFFFFF) | 0x40000000u;
  png.Assign(bmp);
  TBytesStream alphaStream(SavedBytes(png));
  loaded.LoadFromStream(alphaStream);
  EXPECT_EQ(loaded.Bitmap().PixelFormat(), pf32bit);
  EXPECT_TRUE(testing::BitmapsEqual(loaded.Bitmap(), bmp, "png_alpha_roundtrip"));
  TBitmap assigned;
  assigned.Assign(loaded);  // TPNGImage -> TBitmap through AssignTo
  EXPECT_TRUE(testing::SamePixels(assigned, bmp));
}

TEST(JpegTest, RoundTripStaysWithinTolerance) {
  TBitmap bmp;
  Gradient(bmp, 64, 48);
  for (const bool progressive : {false, true}) {
    TJPEGImage jpeg;
    jpeg.Assign(bmp);
    EXPECT_EQ(jpeg.CompressionQuality(), 90);
    jpeg.SetProgressiveEncoding(progressive);
    TBytesStream stream(SavedBytes(jpeg));
    TJPEGImage loaded;
    loaded.LoadFromStream(stream);
    double error = 0;
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 64; ++x)
        for (int shift : {0, 8, 16})
          error += std::abs(int((ColorAt(loaded.Bitmap(), x, y) >> shift) & 0xFF) - int((ColorAt(bmp, x, y) >> shift) & 0xFF));
    EXPECT_LT(error / (64 * 48 * 3), 2.0) << progressive;
  }
  TJPEGImage jpeg;
  jpeg.SetCompressionQuality(500);
  EXPECT_EQ(jpeg.CompressionQuality(), 100);
  jpeg.SetCompressionQuality(-3);
  EXPECT_EQ(jpeg.CompressionQuality(), 1);
}

TEST(JpegTest, ReadsGrayscaleAndCmykFiles) {
  TJPEGImage jpeg;
  TBytesStream gray(ReferenceJpeg(16, 8, JCS_GRAYSCALE, {100}, false));
  jpeg.LoadFromStream(gray);
  EXPECT_NEAR(GetRValue(ColorAt(jpeg.Bitmap(), 5, 5)), 100, 2);
  EXPECT_EQ(GetRValue(ColorAt(jpeg.Bitmap(), 5, 5)), GetBValue(ColorAt(jpeg.Bitmap(), 5, 5)));
  // libjpeg writes CMYK with the Adobe marker, in Adobe's inverted sense:
  // 255 means no ink. No cyan, full magenta and yellow, no black: red.
  TBytesStream cmyk(ReferenceJpeg(16, 8, JCS_CMYK, {255, 0, 0, 255}, false));
  jpeg.LoadFromStream(cmyk);
  const TColor red = ColorAt(jpeg.Bitmap(), 8, 4);
  EXPECT_NEAR(GetRValue(red), 255, 3);
  EXPECT_NEAR(GetGValue(red), 0, 3);
  EXPECT_NEAR(GetBValue(red), 0, 3);
}

TEST(JpegTest, ProgressReportsStartRunningPercentsAndEnd) {
  TBitmap bmp;
  Gradient(bmp, 40, 300);
  TJPEGImage source;
  source.Assign(bmp);
  TBytesStream stream(SavedBytes(source));
  TJPEGImage jpeg;
  std::vector<std::pair<TProgressStage, int>> events;
  jpeg.OnProgress = [&](TObject* sender, TProgressStage stage, uint8_t percent, bool, const TRect&, const std::string&) {
    EXPECT_EQ(sender, &jpeg);
    events.emplace_back(stage, percent);
  };
  jpeg.LoadFromStream(stream);
  ASSERT_GE(events.size(), 3u);
  EXPECT_EQ(events.front().first, psStarting);
  EXPECT_EQ(events.back(), std::make_pair(psEnding, 100));
  int last = 0;
  for (size_t k = 1; k + 1 < events.size(); ++k) {
    EXPECT_EQ(events[k].first, psRunning);
    EXPECT_GE(events[k].second, last);
    last = events[k].second;
  }
  EXPECT_EQ(last, 100);
}

TEST(ImageFileTest, ProbeAndLoaderPickTheFormatByItsFirstBytes) {
  TBitmap bmp;
  Gradient(bmp, 30, 20);
  TPNGImage png;
  png.Assign(bmp);
  TJPEGImage jpeg;
  jpeg.Assign(bmp);
  bmp.SetPixelFormat(pf24bit);
  const struct {
    std::string Bytes;
    TImageFileFormat Format;
  } files[] = {{SavedBytes(bmp), iffBMP}, {SavedBytes(png), iffPNG}, {SavedBytes(jpeg), iffJPEG},
               {ReferenceJpeg(17, 9, JCS_RGB, {1, 2, 3}, true), iffJPEG}};
  for (const auto& f : files) {
    TBytesStream stream(f.Bytes);
    TImageFileFormat format = iffUnknown;
    int32_t w = 0, h = 0;
    ASSERT_TRUE(ProbeImageHeader(stream, format, w, h));
    EXPECT_EQ(format, f.Format);
    EXPECT_EQ(stream.Position(), 0);
    TBitmap loaded;
    LoadPictureFromStream(stream, loaded);
    EXPECT_EQ(w, loaded.Width());
    EXPECT_EQ(h, loaded.Height());
  }
  TBytesStream garbage("GIF89a.....");
  TImageFileFormat format = iffUnknown;
  int32_t w = 0, h = 0;
  EXPECT_FALSE(ProbeImageHeader(garbage, format, w, h));
  TBitmap untouched;
  EXPECT_THROW(LoadPictureFromStream(garbage, untouched), EInvalidGraphic);
}

TEST(ImageFileTest, FailedWritesKeepTheOldFile) {
  vexa::testing::TempDir dir;
  const std::string target = dir.Write("picture.jpg", "old contents");
  TBitmap wide;
  wide.SetSize(70000, 1);
  TJPEGImage jpeg;
  jpeg.Assign(wide);
  EXPECT_THROW(jpeg.SaveToFile(target), EInvalidGraphic);
  EXPECT_EQ(vexa::testing::TempDir::Read(target), "old contents");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);  // no temporary left
  TBitmap small;
  Gradient(small, 4, 4);
  EXPECT_THROW(small.SaveToFile(dir.File("missing/folder/picture.bmp")), EStreamError);
  small.SaveToFile(target);  // success replaces the file
  TBitmap back;
  LoadPictureFromFile(target, back);
  EXPECT_EQ(back.Width(), 4);
  EXPECT_THROW(LoadPictureFromFile(dir.File("absent.png"), back), EFOpenError);
  EXPECT_EQ(back.Width(), 4);
}

TEST(ImageFileTest, PixelLimitIsCheckedBeforeAllocating) {
  TPixelLimitGuard guard;
  TBitmap bmp;
  Gradient(bmp, 20, 20);
  TPNGImage png;
  png.Assign(bmp);
  TJPEGImage jpeg;
  jpeg.Assign(bmp);
  const std::string files[] = {SavedBytes(bmp), SavedBytes(png), SavedBytes(jpeg)};
  SetMaxPixelCount(399);
  for (const auto& bytes : files) {
    TBitmap target;
    TBytesStream stream(bytes);
    try {
      LoadPictureFromStream(stream, target);
      ADD_FAILURE() << "loaded above the limit";
    } catch (const EInvalidGraphic& e) {
      EXPECT_NE(std::string(e.what()).find("pixel limit"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(target.Empty());
  }
  // A failed resize raises and keeps the old picture.
  TBitmap before;
  before.Assign(bmp);
  EXPECT_THROW(bmp.SetSize(20, 21), EOutOfMemory);
  EXPECT_THROW(bmp.SetSize(-1, 5), EInvalidGraphic);
  EXPECT_TRUE(testing::SamePixels(bmp, before));
}

// ---------------------------------------------------------------- hostile files

/// Loading must succeed or raise EInvalidGraphic, leaving the target unchanged.
void ExpectSafeLoad(const std::string& Bytes, const std::string& Name) {
  TBitmap target;
  testing::MakeBitmap(target, 2, 2, clPurple);
  TBitmap before;
  before.Assign(target);
  TBytesStream stream(Bytes);
  try {
    LoadPictureFromStream(stream, target);
  } catch (const EInvalidGraphic&) {
    EXPECT_TRUE(testing::SamePixels(target, before)) << Name;
  } catch (const std::exception& e) {
    ADD_FAILURE() << Name << ": unexpected " << e.what();
  }
}

void ExpectRejected(const std::string& Bytes, const std::string& Name) {
  TBitmap target;
  TBytesStream stream(Bytes);
  EXPECT_THROW(LoadPictureFromStream(stream, target), EInvalidGraphic) << Name;
  EXPECT_TRUE(target.Empty()) << Name;
}

/// Replaces a PNG chunk's data field and fixes its CRC.
std::string WithChunkBytes(std::string Png, size_t ChunkStart, size_t Offset, const std::string& Bytes) {
  const uint32_t length = (uint8_t(Png[ChunkStart]) << 24) | (uint8_t(Png[ChunkStart + 1]) << 16) |
                          (uint8_t(Png[ChunkStart + 2]) << 8) | uint8_t(Png[ChunkStart + 3]);
  Png.replace(ChunkStart + 8 + Offset, Bytes.size(), Bytes);
  const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(Png.data() + ChunkStart + 4), length + 4);
  for (int k = 0; k < 4; ++k) Png[ChunkStart + 8 + length + k] = static_cast<char>(crc >> (24 - 8 * k));
  return Png;
}

TEST(HostileImageTest, BrokenPngChunksAndSizesAreRejected) {
  TBitmap bmp;
  Gradient(bmp, 8, 8);
  TPNGImage png;
  png.Assign(bmp);
  const std::string valid = SavedBytes(png);
  const size_t ihdr = 8;
  ExpectRejected(WithChunkBytes(valid, ihdr, 0, std::string("\0\0\0\0", 4)), "zero width");
  ExpectRejected(WithChunkBytes(valid, ihdr, 0, std::string("\0\1\x11\x70", 4)), "width 70000");
  ExpectRejected(WithChunkBytes(valid, ihdr, 0, std::string("\0\0\xFF\xFF\0\0\xFF\xFF", 8)), "65535 x 65535");
  ExpectRejected(WithChunkBytes(valid, ihdr, 8, std::string("\x07", 1)), "bit depth 7");
  std::string badCrc = valid;
  badCrc[ihdr + 8 + 13] ^= 0x01;
  ExpectRejected(badCrc, "IHDR CRC");
  std::string badData = valid;
  const size_t idat = valid.find("IDAT") - 4;
  badData[idat + 12] ^= 0x55;
  ExpectRejected(badData, "IDAT CRC");
  for (size_t length = 0; length < valid.size() - 12; ++length)  // up to the IEND chunk
    ExpectRejected(valid.substr(0, length), "PNG prefix " + std::to_string(length));
}

TEST(HostileImageTest, JpegWithHugeFramesManyScansOrBrokenDataIsSafe) {
  const std::string valid = ReferenceJpeg(16, 16, JCS_RGB, {200, 10, 10}, true);
  // Huge SOF: 65535 x 65535.
  std::string huge = valid;
  const size_t sof = huge.find("\xFF\xC2");
  ASSERT_NE(sof, std::string::npos);
  huge.replace(sof + 5, 4, "\xFF\xFF\xFF\xFF");
  ExpectRejected(huge, "huge SOF");
  std::string zero = valid;
  zero.replace(sof + 5, 4, std::string(4, '\0'));
  ExpectRejected(zero, "zero-size SOF");
  // Many scans: the first scan repeated 600 times.
  const size_t sos = valid.find("\xFF\xDA");
  size_t next = sos + 2;
  while (!(uint8_t(valid[next]) == 0xFF && uint8_t(valid[next + 1]) != 0 &&
           (uint8_t(valid[next + 1]) < 0xD0 || uint8_t(valid[next + 1]) > 0xD7)))
    ++next;
  std::string manyScans = valid.substr(0, next);
  for (int k = 0; k < 600; ++k) manyScans += valid.substr(sos, next - sos);
  manyScans += valid.substr(next);
  {
    TBitmap target;
    TBytesStream stream(manyScans);
    try {
      LoadPictureFromStream(stream, target);
      ADD_FAILURE() << "600 scans accepted";
    } catch (const EInvalidGraphic& e) {
      EXPECT_NE(std::string(e.what()).find("scans"), std::string::npos) << e.what();
    }
  }
  // Corrupt entropy-coded data: decoded with damage or rejected, never more.
  std::mt19937 random(7);
  for (int trial = 0; trial < 50; ++trial) {
    std::string broken = valid;
    for (int k = 0; k < 4; ++k) broken[sos + 14 + random() % (broken.size() - sos - 16)] = static_cast<char>(random());
    ExpectSafeLoad(broken, "corrupt scan data");
  }
  for (size_t length = 0; length < valid.size(); length += 7) ExpectSafeLoad(valid.substr(0, length), "JPEG prefix");
}

TEST(HostileImageTest, SeededMutationsOfValidFilesLoadOrFailCleanly) {
  TPixelLimitGuard guard;
  SetMaxPixelCount(1 << 16);
  TBitmap bmp;
  Gradient(bmp, 24, 16);
  std::vector<std::string> samples;
  for (const TPixelFormat format : {pf1bit, pf4bit, pf8bit, pf15bit, pf24bit, pf32bit}) {
    bmp.SetPixelFormat(format);
    samples.push_back(SavedBytes(bmp));
  }
  testing::TBmpLayout rle;
  rle.Width = 6;
  rle.Height = 4;
  rle.Bits = 8;
  rle.Compression = 1;
  rle.ClrUsed = 2;
  rle.Palette = {0, 0xFFFFFF};
  rle.Pixels = std::string("\x03\x01\x00\x03\x00\x01\x00\x00\x00\x00\x00\x02\x01\x01\x02\x01\x00\x01", 18);
  samples.push_back(BmpFile(rle));
  rle.Bits = 4;
  rle.Compression = 2;
  samples.push_back(BmpFile(rle));
  testing::TBmpLayout fields;
  fields.Width = 3;
  fields.Bits = 32;
  fields.Compression = 3;
  fields.Masks = {0xFF0000, 0xFF00, 0xFF};
  fields.Pixels = std::string(12, '\x33');
  samples.push_back(BmpFile(fields));
  TPNGImage png;
  png.Assign(bmp);
  samples.push_back(SavedBytes(png));
  samples.push_back(ReferenceJpeg(24, 16, JCS_RGB, {9, 99, 199}, false));
  samples.push_back(ReferenceJpeg(24, 16, JCS_RGB, {9, 99, 199}, true));

  std::mt19937 random(20261211);
  for (size_t s = 0; s < samples.size(); ++s) {
    for (int trial = 0; trial < 300; ++trial) {
      std::string mutated = samples[s];
      const int flips = 1 + static_cast<int>(random() % 6);
      for (int k = 0; k < flips; ++k) {
        const size_t at = random() % mutated.size();
        switch (random() % 3) {
          case 0: mutated[at] = static_cast<char>(random()); break;
          case 1: mutated[at] = static_cast<char>(mutated[at] ^ (1 << (random() % 8))); break;
          default: mutated[at] = static_cast<char>((random() % 2) ? 0xFF : 0x00);
        }
      }
      if (random() % 4 == 0) mutated.resize(random() % mutated.size() + 1);
      ExpectSafeLoad(mutated, "sample " + std::to_string(s) + " trial " + std::to_string(trial));
    }
  }
}

}  // namespace
}  // namespace vexa
