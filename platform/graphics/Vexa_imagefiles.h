#pragma once
/// @file
/// PNG and JPEG pictures, a loader that picks the decoder by the file's
/// first bytes, and a header probe that gives the size without decoding.
///
/// Decoders treat files as hostile: width and height must lie in
/// 1 ... MaxImageSide and the pixel count within MaxPixelCount(), checked
/// before any pixel memory is taken. Failures raise EInvalidGraphic naming
/// the format and the cause, and leave the picture unchanged.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/graphics/Vexa_bitmap.h"

namespace vexa {

/// A PNG picture (8-bit RGB, or RGBA for pf32bit bitmaps, when written).
class TPNGImage : public TGraphic {
public:
  TPNGImage();
  ~TPNGImage() override;
  int32_t Width() const override { return FBitmap->Width(); }
  int32_t Height() const override { return FBitmap->Height(); }
  /// The decoded pixels (pf32bit when the file has alpha, else pf24bit).
  const TBitmap& Bitmap() const { return *FBitmap; }

  void LoadFromStream(TStream& Stream) override;
  /// Writes RGB (RGBA for pf32bit) with zlib's default compression level.
  void SaveToStream(TStream& Stream) const override;
  /// From a TBitmap or another TPNGImage.
  void Assign(const TPersistent& Source) override;

protected:
  /// Into a TBitmap.
  void AssignTo(TPersistent& Dest) const override;

private:
  std::unique_ptr<TBitmap> FBitmap;
};

enum TProgressStage : uint8_t { psStarting, psRunning, psEnding };
/// Progress of a lengthy picture operation: stage, percent done (non-decreasing).
using TProgressEvent = std::function<void(TObject* Sender, TProgressStage Stage,
                                          uint8_t PercentDone, bool RedrawNow, const TRect& R,
                                          const std::string& Msg)>;

/// A JPEG picture. Reads baseline and progressive files in grayscale, RGB,
/// CMYK and YCCK; writes 8-bit RGB (baseline unless ProgressiveEncoding).
class TJPEGImage : public TGraphic {
public:
  TJPEGImage();
  ~TJPEGImage() override;
  int32_t Width() const override { return FBitmap->Width(); }
  int32_t Height() const override { return FBitmap->Height(); }
  const TBitmap& Bitmap() const { return *FBitmap; }

  /// Quality of written files, 1 ... 100 (default 90; other values are clamped).
  int32_t CompressionQuality() const { return FQuality; }
  void SetCompressionQuality(int32_t Value);
  bool ProgressiveEncoding() const { return FProgressive; }
  void SetProgressiveEncoding(bool Value) { FProgressive = Value; }

  /// Decodes; OnProgress reports psStarting, psRunning with the percentage of
  /// rows done, psEnding. Files with more than 500 scans are rejected.
  void LoadFromStream(TStream& Stream) override;
  /// Encodes; raises EInvalidGraphic when the picture cannot be written
  /// (for example wider than 65500 pixels).
  void SaveToStream(TStream& Stream) const override;
  void Assign(const TPersistent& Source) override;

  TProgressEvent OnProgress;

protected:
  void AssignTo(TPersistent& Dest) const override;

private:
  void Progress(TProgressStage Stage, uint8_t Percent);
  std::unique_ptr<TBitmap> FBitmap;
  int32_t FQuality = 90;
  bool FProgressive = false;
};

enum TImageFileFormat : uint8_t { iffUnknown, iffBMP, iffPNG, iffJPEG };

/// The format a stream's first bytes announce (the position is kept).
TImageFileFormat DetectImageFormat(TStream& Stream);
/// Format, width and height from the header alone (the position is kept);
/// false when the header is not a valid BMP, PNG or JPEG header.
bool ProbeImageHeader(TStream& Stream, TImageFileFormat& Format, int32_t& Width, int32_t& Height);
/// Decodes a BMP, PNG or JPEG stream (chosen by its first bytes) into Picture.
/// Raises EInvalidGraphic for an unknown format or a broken file; Picture is
/// then unchanged.
void LoadPictureFromStream(TStream& Stream, TBitmap& Picture);
void LoadPictureFromFile(const std::string& FileName, TBitmap& Picture);

}  // namespace vexa
