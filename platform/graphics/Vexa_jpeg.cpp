// JPEG pictures through libjpeg(-turbo). The library reports errors by
// jumping out of error_exit, so every library call runs inside a small
// trampoline function that holds no C++ objects: the jump lands in the
// trampoline, which returns false, and the caller raises the error.
// jpeglib.h needs size_t and FILE declared first.
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

#include <algorithm>
#include <climits>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/graphics/Vexa_imagefiles.h"

namespace vexa {

namespace {

constexpr int kMaxScans = 500;

/// The error manager with the jump target of the running trampoline.
struct TJpegError {
  jpeg_error_mgr Manager;
  jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
};

/// The progress monitor used to count the scans of progressive files.
struct TJpegScanLimit {
  jpeg_progress_mgr Manager;
  int TooManyScans;
};

extern "C" void JpegErrorExit(j_common_ptr Info) {
  auto* error = reinterpret_cast<TJpegError*>(Info->err);
  (*Info->err->format_message)(Info, error->Message);
  std::longjmp(error->Jump, 1);
}

extern "C" void JpegSilentMessage(j_common_ptr, int) {}

extern "C" void JpegCountScans(j_common_ptr Info) {
  if (Info->is_decompressor == 0) return;
  auto* decompress = reinterpret_cast<j_decompress_ptr>(Info);
  if (decompress->input_scan_number > kMaxScans) {
    auto* limit = reinterpret_cast<TJpegScanLimit*>(Info->progress);
    auto* error = reinterpret_cast<TJpegError*>(Info->err);
    limit->TooManyScans = 1;
    std::snprintf(error->Message, sizeof error->Message, "more than %d scans", kMaxScans);
    std::longjmp(error->Jump, 1);
  }
}

void InitError(TJpegError& Error) {
  std::memset(&Error, 0, sizeof Error);
  jpeg_std_error(&Error.Manager);
  Error.Manager.error_exit = JpegErrorExit;
  Error.Manager.emit_message = JpegSilentMessage;
}

// ---- trampolines: each wraps one library call and holds no C++ objects.

bool TryCreateDecompress(jpeg_decompress_struct* Info, TJpegError* Error) {
  if (setjmp(Error->Jump)) return false;
  jpeg_create_decompress(Info);
  return true;
}

bool TryReadHeader(jpeg_decompress_struct* Info, TJpegError* Error, const uint8_t* Data,
                   unsigned long Size) {
  if (setjmp(Error->Jump)) return false;
  jpeg_mem_src(Info, Data, Size);
  return jpeg_read_header(Info, TRUE) == JPEG_HEADER_OK;
}

bool TryStartDecompress(jpeg_decompress_struct* Info, TJpegError* Error) {
  if (setjmp(Error->Jump)) return false;
  return jpeg_start_decompress(Info) == TRUE;
}

bool TryReadRow(jpeg_decompress_struct* Info, TJpegError* Error, JSAMPROW Row) {
  if (setjmp(Error->Jump)) return false;
  return jpeg_read_scanlines(Info, &Row, 1) == 1;
}

bool TryFinishDecompress(jpeg_decompress_struct* Info, TJpegError* Error) {
  if (setjmp(Error->Jump)) return false;
  jpeg_finish_decompress(Info);
  return true;
}

bool TryCreateCompress(jpeg_compress_struct* Info, TJpegError* Error) {
  if (setjmp(Error->Jump)) return false;
  jpeg_create_compress(Info);
  return true;
}

bool TryStartCompress(jpeg_compress_struct* Info, TJpegError* Error, unsigned char** Buffer,
                      unsigned long* Size, JDIMENSION Width, JDIMENSION Height, int Quality,
                      boolean Progressive) {
  if (setjmp(Error->Jump)) return false;
  jpeg_mem_dest(Info, Buffer, Size);
  Info->image_width = Width;
  Info->image_height = Height;
  Info->input_components = 3;
  Info->in_color_space = JCS_RGB;
  jpeg_set_defaults(Info);
  jpeg_set_quality(Info, Quality, TRUE);
  if (Progressive) jpeg_simple_progression(Info);
  jpeg_start_compress(Info, TRUE);
  return true;
}

bool TryWriteRow(jpeg_compress_struct* Info, TJpegError* Error, JSAMPROW Row) {
  if (setjmp(Error->Jump)) return false;
  return jpeg_write_scanlines(Info, &Row, 1) == 1;
}

bool TryFinishCompress(jpeg_compress_struct* Info, TJpegError* Error) {
  if (setjmp(Error->Jump)) return false;
  jpeg_finish_compress(Info);
  return true;
}

[[noreturn]] void Fail(const std::string& Cause) { throw EInvalidGraphic("JPEG: " + Cause); }

std::vector<uint8_t> ReadRest(TStream& Stream) {
  const int64_t available = Stream.Remaining();
  // A JPEG file within the pixel limit is far smaller than raw RGB, plus room
  // for metadata; anything larger is refused before it is read.
  const int64_t most = 4 * MaxPixelCount() + (int64_t{64} << 20);
  if (available <= 0) Fail("empty stream");
  if (available > most) Fail("file larger than any picture within the pixel limit");
  std::vector<uint8_t> bytes(static_cast<size_t>(available));
  Stream.ReadBuffer(bytes.data(), available);
  return bytes;
}

/// Decoder state freed on every path.
struct TDecoder {
  jpeg_decompress_struct Info;
  TJpegError Error;
  TJpegScanLimit Limit;
  bool Created = false;
  TDecoder() {
    std::memset(&Info, 0, sizeof Info);
    std::memset(&Limit, 0, sizeof Limit);
    InitError(Error);
    Info.err = &Error.Manager;
  }
  ~TDecoder() {
    if (Created) jpeg_destroy_decompress(&Info);
  }
  TDecoder(const TDecoder&) = delete;
  TDecoder& operator=(const TDecoder&) = delete;
  [[noreturn]] void Raise() { Fail(Error.Message[0] ? Error.Message : "decoding failed"); }
};

/// An output row of the library's colour space as opaque pixels.
void ConvertRow(const uint8_t* Row, int Components, J_COLOR_SPACE Space, bool InvertedCmyk,
                uint32_t* Out, int32_t Width) {
  for (int32_t x = 0; x < Width; ++x, Row += Components) {
    uint32_t r = 0, g = 0, b = 0;
    if (Components == 1) {
      r = g = b = Row[0];
    } else if (Space == JCS_CMYK) {
      // Adobe writes CMYK inverted; others plain.
      const uint32_t c = InvertedCmyk ? Row[0] : 255 - Row[0];
      const uint32_t m = InvertedCmyk ? Row[1] : 255 - Row[1];
      const uint32_t y = InvertedCmyk ? Row[2] : 255 - Row[2];
      const uint32_t k = InvertedCmyk ? Row[3] : 255 - Row[3];
      r = (c * k + 127) / 255;
      g = (m * k + 127) / 255;
      b = (y * k + 127) / 255;
    } else {
      r = Row[0];
      g = Row[1];
      b = Row[2];
    }
    Out[x] = 0xFF000000u | (r << 16) | (g << 8) | b;
  }
}

}  // namespace

TJPEGImage::TJPEGImage() : FBitmap(std::make_unique<TBitmap>()) {}
TJPEGImage::~TJPEGImage() = default;

void TJPEGImage::SetCompressionQuality(int32_t Value) { FQuality = std::clamp(Value, 1, 100); }

void TJPEGImage::Progress(TProgressStage Stage, uint8_t Percent) {
  if (OnProgress) OnProgress(this, Stage, Percent, false, TRect{0, 0, Width(), Height()}, "");
}

void TJPEGImage::LoadFromStream(TStream& Stream) {
  const std::vector<uint8_t> bytes = ReadRest(Stream);
  TDecoder decoder;
  if (!TryCreateDecompress(&decoder.Info, &decoder.Error)) decoder.Raise();
  decoder.Created = true;
  decoder.Limit.Manager.progress_monitor = JpegCountScans;
  decoder.Info.progress = &decoder.Limit.Manager;
  if (!TryReadHeader(&decoder.Info, &decoder.Error, bytes.data(), static_cast<unsigned long>(bytes.size())))
    decoder.Raise();
  jpeg_decompress_struct& info = decoder.Info;
  CheckImageSize("JPEG", info.image_width, info.image_height);
  // The library's own working memory (coefficient buffers of progressive
  // files) is held to a multiple of the pixel limit as well.
  info.mem->max_memory_to_use = static_cast<long>(std::min<int64_t>(16 * MaxPixelCount(), LONG_MAX));
  const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
  info.out_color_space = cmyk ? JCS_CMYK : info.num_components == 1 ? JCS_GRAYSCALE : JCS_RGB;

  TBitmap decoded;
  decoded.SetPixelFormat(pf24bit);
  decoded.SetSize(static_cast<int32_t>(info.image_width), static_cast<int32_t>(info.image_height));
  Progress(psStarting, 0);
  if (!TryStartDecompress(&info, &decoder.Error)) decoder.Raise();
  const int components = info.output_components;
  if (info.output_width != info.image_width || (components != 1 && components != 3 && components != 4))
    Fail("unexpected output layout");
  std::vector<uint8_t> row(static_cast<size_t>(info.output_width) * static_cast<size_t>(components));
  uint8_t lastPercent = 0;
  while (info.output_scanline < info.output_height) {
    const auto y = static_cast<int32_t>(info.output_scanline);
    if (!TryReadRow(&info, &decoder.Error, row.data())) decoder.Raise();
    ConvertRow(row.data(), components, info.out_color_space, info.saw_Adobe_marker != 0,
               decoded.ScanLine(y), decoded.Width());
    const auto percent = static_cast<uint8_t>(uint64_t{info.output_scanline} * 100 / info.output_height);
    if (percent != lastPercent) {
      lastPercent = percent;
      Progress(psRunning, percent);
    }
  }
  if (!TryFinishDecompress(&info, &decoder.Error)) decoder.Raise();
  FBitmap->TakePixelsFrom(decoded);
  Progress(psEnding, 100);
  Changed();
}

namespace {

/// Encoder state freed on every path.
struct TEncoder {
  jpeg_compress_struct Info;
  TJpegError Error;
  unsigned char* Buffer = nullptr;
  unsigned long Size = 0;
  bool Created = false;
  TEncoder() {
    std::memset(&Info, 0, sizeof Info);
    InitError(Error);
    Info.err = &Error.Manager;
  }
  ~TEncoder() {
    if (Created) jpeg_destroy_compress(&Info);
    std::free(Buffer);  // the library's memory destination takes it with malloc
  }
  TEncoder(const TEncoder&) = delete;
  TEncoder& operator=(const TEncoder&) = delete;
  [[noreturn]] void Raise() { Fail(Error.Message[0] ? Error.Message : "encoding failed"); }
};

}  // namespace

void TJPEGImage::SaveToStream(TStream& Stream) const {
  if (FBitmap->Empty()) Fail("cannot write an empty picture");
  if (FBitmap->Width() > MaxImageSide || FBitmap->Height() > MaxImageSide)
    Fail("picture of " + std::to_string(FBitmap->Width()) + " x " + std::to_string(FBitmap->Height()) +
         " pixels is too large for a JPEG file");
  TEncoder encoder;
  if (!TryCreateCompress(&encoder.Info, &encoder.Error)) encoder.Raise();
  encoder.Created = true;
  if (!TryStartCompress(&encoder.Info, &encoder.Error, &encoder.Buffer, &encoder.Size,
                        static_cast<JDIMENSION>(FBitmap->Width()), static_cast<JDIMENSION>(FBitmap->Height()),
                        FQuality, FProgressive ? TRUE : FALSE))
    encoder.Raise();
  std::vector<uint8_t> row(static_cast<size_t>(FBitmap->Width()) * 3);
  for (int32_t y = 0; y < FBitmap->Height(); ++y) {
    const uint32_t* src = FBitmap->ScanLine(y);
    for (int32_t x = 0; x < FBitmap->Width(); ++x) {
      row[3 * x] = static_cast<uint8_t>(src[x] >> 16);
      row[3 * x + 1] = static_cast<uint8_t>(src[x] >> 8);
      row[3 * x + 2] = static_cast<uint8_t>(src[x]);
    }
    if (!TryWriteRow(&encoder.Info, &encoder.Error, row.data())) encoder.Raise();
  }
  if (!TryFinishCompress(&encoder.Info, &encoder.Error)) encoder.Raise();
  Stream.WriteBuffer(encoder.Buffer, static_cast<int64_t>(encoder.Size));
}

void TJPEGImage::Assign(const TPersistent& Source) {
  if (const auto* jpeg = dynamic_cast<const TJPEGImage*>(&Source)) {
    FBitmap->Assign(*jpeg->FBitmap);
    FQuality = jpeg->FQuality;
    FProgressive = jpeg->FProgressive;
  } else if (const auto* bitmap = dynamic_cast<const TBitmap*>(&Source)) {
    FBitmap->Assign(*bitmap);
  } else {
    TGraphic::Assign(Source);
    return;
  }
  Changed();
}

void TJPEGImage::AssignTo(TPersistent& Dest) const {
  if (auto* bitmap = dynamic_cast<TBitmap*>(&Dest)) {
    bitmap->Assign(*FBitmap);
    bitmap->SetPixelFormat(pf24bit);
    return;
  }
  TGraphic::AssignTo(Dest);
}

}  // namespace vexa
