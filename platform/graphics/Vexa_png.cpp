// PNG pictures through libpng's simplified interface, which reports errors
// as results instead of jumping out of the caller.
#include <png.h>

#include <cstring>
#include <vector>

#include "platform/graphics/Vexa_imagefiles.h"

namespace vexa {

namespace {

[[noreturn]] void Fail(const std::string& Cause) { throw EInvalidGraphic("PNG: " + Cause); }

/// Reads the rest of a stream, refusing more than a PNG of the pixel limit
/// could reasonably need (raw 16-bit RGBA plus the filter bytes, at worst
/// stored uncompressed, and room for ancillary chunks).
std::vector<uint8_t> ReadRest(TStream& Stream) {
  const int64_t available = Stream.Remaining();
  const int64_t most = 8 * MaxPixelCount() + 2 * int64_t{MaxImageSide} + (int64_t{64} << 20);
  if (available <= 0) Fail("empty stream");
  if (available > most) Fail("file larger than any picture within the pixel limit");
  std::vector<uint8_t> bytes(static_cast<size_t>(available));
  Stream.ReadBuffer(bytes.data(), available);
  return bytes;
}

}  // namespace

TPNGImage::TPNGImage() : FBitmap(std::make_unique<TBitmap>()) {}
TPNGImage::~TPNGImage() = default;

void TPNGImage::LoadFromStream(TStream& Stream) {
  const std::vector<uint8_t> bytes = ReadRest(Stream);
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()))
    Fail(image.message);
  // The size is checked before the pixel buffer is taken.
  try {
    CheckImageSize("PNG", image.width, image.height);
  } catch (...) {
    png_image_free(&image);
    throw;
  }
  const bool alpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
  image.format = PNG_FORMAT_BGRA;
  TBitmap decoded;
  decoded.SetPixelFormat(alpha ? pf32bit : pf24bit);
  std::vector<uint8_t> pixels;
  try {
    decoded.SetSize(static_cast<int32_t>(image.width), static_cast<int32_t>(image.height));
    pixels.resize(PNG_IMAGE_SIZE(image));
  } catch (...) {
    png_image_free(&image);
    throw;
  }
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) Fail(image.message);
  for (int32_t y = 0; y < decoded.Height(); ++y) {
    uint32_t* row = decoded.ScanLine(y);
    const uint8_t* src = pixels.data() + static_cast<size_t>(y) * image.width * 4;
    for (int32_t x = 0; x < decoded.Width(); ++x, src += 4)
      row[x] = uint32_t{src[0]} | (uint32_t{src[1]} << 8) | (uint32_t{src[2]} << 16) |
               (uint32_t{src[3]} << 24);
  }
  FBitmap->TakePixelsFrom(decoded);
  Changed();
}

void TPNGImage::SaveToStream(TStream& Stream) const {
  const bool alpha = FBitmap->PixelFormat() == pf32bit;
  const int channels = alpha ? 4 : 3;
  if (FBitmap->Empty()) Fail("cannot write an empty picture");
  std::vector<uint8_t> pixels(static_cast<size_t>(FBitmap->Width()) * FBitmap->Height() * channels);
  uint8_t* out = pixels.data();
  for (int32_t y = 0; y < FBitmap->Height(); ++y) {
    const uint32_t* row = FBitmap->ScanLine(y);
    for (int32_t x = 0; x < FBitmap->Width(); ++x) {
      *out++ = static_cast<uint8_t>(row[x] >> 16);  // R
      *out++ = static_cast<uint8_t>(row[x] >> 8);   // G
      *out++ = static_cast<uint8_t>(row[x]);        // B
      if (alpha) *out++ = static_cast<uint8_t>(row[x] >> 24);
    }
  }
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(FBitmap->Width());
  image.height = static_cast<png_uint_32>(FBitmap->Height());
  image.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  png_alloc_size_t size = 0;
  if (!png_image_write_get_memory_size(image, size, 0, pixels.data(), 0, nullptr))
    Fail(image.message);
  std::vector<uint8_t> encoded(size);
  if (!png_image_write_to_memory(&image, encoded.data(), &size, 0, pixels.data(), 0, nullptr))
    Fail(image.message);
  Stream.WriteBuffer(encoded.data(), static_cast<int64_t>(size));
}

void TPNGImage::Assign(const TPersistent& Source) {
  if (const auto* png = dynamic_cast<const TPNGImage*>(&Source)) {
    FBitmap->Assign(*png->FBitmap);
  } else if (const auto* bitmap = dynamic_cast<const TBitmap*>(&Source)) {
    FBitmap->Assign(*bitmap);
  } else {
    TGraphic::Assign(Source);
    return;
  }
  Changed();
}

void TPNGImage::AssignTo(TPersistent& Dest) const {
  if (auto* bitmap = dynamic_cast<TBitmap*>(&Dest)) {
    bitmap->Assign(*FBitmap);
    return;
  }
  TGraphic::AssignTo(Dest);
}

}  // namespace vexa
