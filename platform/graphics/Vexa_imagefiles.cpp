#include "platform/graphics/Vexa_imagefiles.h"

#include <algorithm>
#include <vector>

namespace vexa {

namespace {

/// Up to Count bytes from the stream's position; the position is kept.
std::vector<uint8_t> Peek(TStream& Stream, size_t Count) {
  std::vector<uint8_t> bytes(Count);
  const int64_t start = Stream.Position();
  const int64_t got = Stream.Read(bytes.data(), static_cast<int64_t>(Count));
  Stream.SetPosition(start);
  bytes.resize(static_cast<size_t>(std::max<int64_t>(got, 0)));
  return bytes;
}

uint32_t BigEndian32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

bool ValidSize(int64_t Width, int64_t Height) {
  return Width >= 1 && Height >= 1 && Width <= MaxImageSide && Height <= MaxImageSide;
}

bool ProbePNG(TStream& Stream, int32_t& Width, int32_t& Height) {
  // Signature, then the IHDR chunk: length 13, type, width, height.
  const std::vector<uint8_t> head = Peek(Stream, 24);
  if (head.size() < 24 || BigEndian32(&head[8]) != 13 ||
      !std::equal(head.begin() + 12, head.begin() + 16, "IHDR"))
    return false;
  const uint32_t w = BigEndian32(&head[16]), h = BigEndian32(&head[20]);
  if (!ValidSize(w, h)) return false;
  Width = static_cast<int32_t>(w);
  Height = static_cast<int32_t>(h);
  return true;
}

bool ProbeJPEG(TStream& Stream, int32_t& Width, int32_t& Height) {
  // Walk the marker segments up to the first start-of-frame; every length is
  // checked against what the stream holds.
  const int64_t start = Stream.Position();
  const int64_t size = Stream.Size();
  int64_t at = start + 2;
  uint8_t buffer[9];
  bool found = false;
  while (at + 4 <= size) {
    Stream.SetPosition(at);
    if (Stream.Read(buffer, 4) != 4 || buffer[0] != 0xFF) break;
    const uint8_t marker = buffer[1];
    if (marker == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    const int64_t length = (int64_t{buffer[2]} << 8) | buffer[3];
    if (length < 2) break;
    const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (frame) {
      if (Stream.Read(buffer, 5) != 5) break;
      const int32_t h = (buffer[1] << 8) | buffer[2], w = (buffer[3] << 8) | buffer[4];
      found = ValidSize(w, h);
      Width = w;
      Height = h;
      break;
    }
    if (marker == 0xD9 || marker == 0xDA) break;  // end of image or scan data before a frame
    at += 2 + length;
  }
  Stream.SetPosition(start);
  return found;
}

}  // namespace

TImageFileFormat DetectImageFormat(TStream& Stream) {
  static constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  const std::vector<uint8_t> head = Peek(Stream, 8);
  if (head.size() >= 2 && head[0] == 'B' && head[1] == 'M') return iffBMP;
  if (head.size() >= 8 && std::equal(head.begin(), head.end(), kPngSignature)) return iffPNG;
  if (head.size() >= 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF) return iffJPEG;
  return iffUnknown;
}

bool ProbeImageHeader(TStream& Stream, TImageFileFormat& Format, int32_t& Width, int32_t& Height) {
  const TImageFileFormat format = DetectImageFormat(Stream);
  bool ok = false;
  switch (format) {
    case iffBMP: ok = ProbeBMPHeader(Stream, Width, Height); break;
    case iffPNG: ok = ProbePNG(Stream, Width, Height); break;
    case iffJPEG: ok = ProbeJPEG(Stream, Width, Height); break;
    default: break;
  }
  if (ok) Format = format;
  return ok;
}

void LoadPictureFromStream(TStream& Stream, TBitmap& Picture) {
  switch (DetectImageFormat(Stream)) {
    case iffBMP: {
      TBitmap decoded;
      decoded.LoadFromStream(Stream);
      Picture.TakePixelsFrom(decoded);
      return;
    }
    case iffPNG: {
      TPNGImage png;
      png.LoadFromStream(Stream);
      Picture.Assign(png.Bitmap());
      return;
    }
    case iffJPEG: {
      TJPEGImage jpeg;
      jpeg.LoadFromStream(Stream);
      Picture.Assign(jpeg.Bitmap());
      return;
    }
    default:
      throw EInvalidGraphic("Unknown picture format (neither BMP, PNG nor JPEG)");
  }
}

void LoadPictureFromFile(const std::string& FileName, TBitmap& Picture) {
  TFileStream file(FileName, fmOpenRead);
  LoadPictureFromStream(file, Picture);
}

}  // namespace vexa
