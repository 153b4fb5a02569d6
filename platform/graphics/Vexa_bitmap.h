#pragma once
/// @file
/// TGraphic, the base of the picture classes, and TBitmap: a picture of
/// 32-bit pixels with a nominal pixel format, the palette indices of images
/// of up to 8 bits per pixel, a canvas to draw on, and BMP files.
///
/// Pixels are stored top-down as 32-bit values $AARRGGBB (bytes B, G, R, A
/// in memory). Drawing writes opaque pixels; alpha is kept, never blended.
/// Every size is checked in 64 bits against the pixel limit before memory is
/// taken; a failed resize or load raises and keeps the old picture.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Vexa_classes.h"
#include "platform/Vexa_datastreams.h"
#include "platform/graphics/Vexa_colors.h"
#include "platform/graphics/Vexa_graphtypes.h"

namespace vexa {

class TCanvas;

/// Largest width or height a decoded image may have.
constexpr int32_t MaxImageSide = 65500;

/// Highest value the pixel limit can be set to (2^40), so that sizes derived
/// from it stay far inside 64 bits.
constexpr int64_t MaxPixelLimit = int64_t{1} << 40;
/// Largest number of pixels a picture may have (default 2^26).
int64_t MaxPixelCount();
/// Sets the pixel limit, clamped to 1 ... MaxPixelLimit; tests lower it.
void SetMaxPixelCount(int64_t Limit);
/// Raises EOutOfMemory when Width x Height is negative or above the pixel limit.
void CheckPixelCount(int64_t Width, int64_t Height);
/// Raises EInvalidGraphic "<Format>: ..." unless both sides lie in
/// 1 ... MaxImageSide and the pixel count is within the limit (decoders call
/// it before they take any memory for pixels).
void CheckImageSize(const std::string& Format, int64_t Width, int64_t Height);

/// A 32-bit pixel ($AARRGGBB) from a colour, opaque.
constexpr uint32_t ColorToPixel(TColor RGBColor) {
  return 0xFF000000u | ((RGBColor & 0xFF) << 16) | (RGBColor & 0xFF00) | ((RGBColor >> 16) & 0xFF);
}
/// The colour ($00BBGGRR) of a 32-bit pixel; alpha is dropped.
constexpr TColor PixelToColor(uint32_t Pixel) {
  return ((Pixel >> 16) & 0xFF) | (Pixel & 0xFF00) | ((Pixel & 0xFF) << 16);
}

/// Base of the pictures that can be loaded and saved.
class TGraphic : public TPersistent {
public:
  virtual int32_t Width() const = 0;
  virtual int32_t Height() const = 0;
  bool Empty() const { return Width() == 0 || Height() == 0; }

  /// Reads the picture from the stream's position. Raises EInvalidGraphic
  /// (naming format and cause) on a broken or unsupported file; the picture
  /// is then unchanged.
  virtual void LoadFromStream(TStream& Stream) = 0;
  virtual void SaveToStream(TStream& Stream) const = 0;
  /// Reads a whole file (EFOpenError when it cannot be opened).
  void LoadFromFile(const std::string& FileName);
  /// Writes a temporary file beside the target and renames it on success, so
  /// a failed write leaves no truncated file and keeps an old one.
  void SaveToFile(const std::string& FileName) const;

  /// Fired after the picture changed as a whole (size, load, assignment).
  TNotifyEvent OnChange;

protected:
  void Changed() {
    if (OnChange) OnChange(this);
  }
};

/// Nominal pixel formats; storage is always 32-bit.
enum TPixelFormat : uint8_t { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
/// How the transparent colour is chosen: the bottom-left pixel or TransparentColor.
enum TTransparentMode : uint8_t { tmAuto, tmFixed };

/// Bits per pixel of a pixel format as written to files (pfDevice and pfCustom: 24).
int32_t PixelFormatBits(TPixelFormat Format);

/// A picture of 32-bit pixels with a canvas.
class TBitmap : public TGraphic {
public:
  TBitmap();
  ~TBitmap() override;

  int32_t Width() const override { return FWidth; }
  int32_t Height() const override { return FHeight; }
  /// Resizes, keeping the overlapping top-left part; new pixels are opaque
  /// black. Raises EInvalidGraphic for a negative side and EOutOfMemory over
  /// the pixel limit or when memory runs out; the picture is then unchanged.
  void SetSize(int32_t NewWidth, int32_t NewHeight);
  void SetWidth(int32_t NewWidth) { SetSize(NewWidth, FHeight); }
  void SetHeight(int32_t NewHeight) { SetSize(FWidth, NewHeight); }

  TPixelFormat PixelFormat() const { return FPixelFormat; }
  /// Sets the nominal format. Formats of up to 8 bits get the default palette
  /// of their depth when they have no palette of that size yet.
  void SetPixelFormat(TPixelFormat Format);

  /// The palette of a format of up to 8 bits (empty otherwise).
  const std::vector<TColor>& Palette() const { return FPalette; }
  /// Sets the palette (1 ... 2^bits entries; ERangeError otherwise, or when
  /// the format has no palette).
  void SetPalette(const std::vector<TColor>& Colors);
  /// Palette index of a pixel: the index it was loaded or set with while the
  /// pixel still has that palette colour, else the nearest palette colour's.
  /// 0 outside the picture or without a palette.
  uint8_t PaletteIndex(int32_t X, int32_t Y) const;
  /// Sets a pixel to a palette entry (ignored outside the picture or palette).
  void SetPaletteIndex(int32_t X, int32_t Y, uint8_t Index);

  /// Row Y of the pixels (Width values $AARRGGBB); ERangeError outside 0 ... Height-1.
  uint32_t* ScanLine(int32_t Y);
  const uint32_t* ScanLine(int32_t Y) const;

  /// The canvas drawing on this bitmap (created at first use).
  TCanvas& Canvas();

  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value) { FTransparent = Value; }
  TTransparentMode TransparentMode() const { return FTransparentMode; }
  void SetTransparentMode(TTransparentMode Mode) { FTransparentMode = Mode; }
  /// In tmAuto the colour of the bottom-left pixel (clDefault for an empty
  /// bitmap), in tmFixed the colour set.
  TColor TransparentColor() const;
  /// Sets the colour and switches to tmFixed.
  void SetTransparentColor(TColor Color);

  /// Copies size, pixels, format, palette and transparency of another bitmap.
  void Assign(const TPersistent& Source) override;

  /// BMP files: 1/4/8/16/24/32 bit, BI_RGB, RLE4/RLE8 and bit fields,
  /// bottom-up and top-down. Written as BI_RGB bottom-up at the nominal depth
  /// (16 bit as 5-5-5, pfDevice and pfCustom as 24 bit).
  void LoadFromStream(TStream& Stream) override;
  void SaveToStream(TStream& Stream) const override;

  /// Replaces the picture with the resource of that name (case-blind).
  /// Raises EResNotFound for an unknown name.
  void LoadFromResourceName(const std::string& ResName);

  /// Exchanges size, pixels, format and palette with Other: this bitmap
  /// takes Other's picture. Loaders use it to commit a decoded image in one
  /// step that cannot fail. Fires OnChange.
  void TakePixelsFrom(TBitmap& Other);

private:
  int32_t FWidth = 0;
  int32_t FHeight = 0;
  std::vector<uint32_t> FPixels;
  TPixelFormat FPixelFormat = pfDevice;
  std::vector<TColor> FPalette;
  /// Palette index per pixel for formats of up to 8 bits (else empty).
  std::vector<uint8_t> FIndices;
  bool FTransparent = false;
  TTransparentMode FTransparentMode = tmAuto;
  TColor FTransparentColor = clDefault;
  std::unique_ptr<TCanvas> FCanvas;
};

/// Reads the width and height of a BMP file from its header without decoding.
/// False when the header is not a valid BMP header.
bool ProbeBMPHeader(TStream& Stream, int32_t& Width, int32_t& Height);

}  // namespace vexa
