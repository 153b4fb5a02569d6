#include "platform/graphics/Vexa_bitmap.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <new>
#include <random>
#include <system_error>

#include "platform/graphics/Vexa_canvas.h"
#include "platform/graphics/Vexa_resources.h"

namespace vexa {

namespace {

std::atomic<int64_t> gMaxPixelCount{int64_t{1} << 26};

/// The 16 colours of the default 4-bit palette.
constexpr TColor kVgaColors[16] = {clBlack, clMaroon, clGreen, clOlive, clNavy, clPurple,
                                   clTeal,  clGray,   clSilver, clRed,  clLime, clYellow,
                                   clBlue,  clFuchsia, clAqua,  clWhite};

std::vector<TColor> DefaultPalette(int32_t Bits) {
  std::vector<TColor> palette;
  if (Bits == 1) {
    palette = {clBlack, clWhite};
  } else if (Bits == 4) {
    palette.assign(std::begin(kVgaColors), std::end(kVgaColors));
  } else {
    // 8 bits: the 16 colours, a 6x6x6 colour cube, then a gray ramp.
    palette.assign(std::begin(kVgaColors), std::end(kVgaColors));
    for (int b = 0; b < 6; ++b)
      for (int g = 0; g < 6; ++g)
        for (int r = 0; r < 6; ++r)
          palette.push_back(RGB(static_cast<uint8_t>(r * 51), static_cast<uint8_t>(g * 51),
                                static_cast<uint8_t>(b * 51)));
    for (int i = 0; palette.size() < 256; ++i) {
      const auto level = static_cast<uint8_t>(8 + i * 10);
      palette.push_back(RGB(level, level, level));
    }
  }
  return palette;
}

int32_t ColorDistance(TColor a, TColor b) {
  const int32_t dr = GetRValue(a) - GetRValue(b);
  const int32_t dg = GetGValue(a) - GetGValue(b);
  const int32_t db = GetBValue(a) - GetBValue(b);
  return dr * dr + dg * dg + db * db;
}

}  // namespace

int64_t MaxPixelCount() { return gMaxPixelCount.load(); }

void SetMaxPixelCount(int64_t Limit) { gMaxPixelCount.store(std::clamp<int64_t>(Limit, 1, MaxPixelLimit)); }

void CheckPixelCount(int64_t Width, int64_t Height) {
  // Both sides fit into 32 bits, so the product cannot overflow 64 bits.
  if (Width < 0 || Height < 0 || Width > INT32_MAX || Height > INT32_MAX ||
      Width * Height > MaxPixelCount())
    throw EOutOfMemory("Out of memory: a picture of " + std::to_string(Width) + " x " +
                       std::to_string(Height) + " pixels exceeds the pixel limit");
}

void CheckImageSize(const std::string& Format, int64_t Width, int64_t Height) {
  const std::string size = std::to_string(Width) + " x " + std::to_string(Height);
  if (Width < 1 || Height < 1 || Width > MaxImageSide || Height > MaxImageSide)
    throw EInvalidGraphic(Format + ": invalid size " + size);
  if (Width * Height > MaxPixelCount())
    throw EInvalidGraphic(Format + ": picture of " + size + " pixels exceeds the pixel limit");
}

int32_t PixelFormatBits(TPixelFormat Format) {
  switch (Format) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf15bit:
    case pf16bit: return 16;
    case pf32bit: return 32;
    default: return 24;
  }
}

// ---------------------------------------------------------------- TGraphic

void TGraphic::LoadFromFile(const std::string& FileName) {
  // Read through the file itself: each decoder checks sizes before it reads,
  // so a huge file is never taken into memory whole.
  TFileStream file(FileName, fmOpenRead);
  LoadFromStream(file);
}

void TGraphic::SaveToFile(const std::string& FileName) const {
  namespace fs = std::filesystem;
  const fs::path target(FileName);
  std::random_device random;
  const fs::path temporary =
      target.parent_path() / (target.filename().string() + ".tmp" + std::to_string(random()));
  try {
    {
      TFileStream file(temporary.string(), fmCreate);
      SaveToStream(file);
      file.Flush();
    }
    std::error_code error;
    fs::rename(temporary, target, error);
    if (error)
      throw EFCreateError("Cannot create file \"" + FileName + "\". " + error.message());
  } catch (...) {
    std::error_code ignored;
    fs::remove(temporary, ignored);
    throw;
  }
}

// ---------------------------------------------------------------- TBitmap

TBitmap::TBitmap() = default;
TBitmap::~TBitmap() = default;

void TBitmap::SetSize(int32_t NewWidth, int32_t NewHeight) {
  if (NewWidth == FWidth && NewHeight == FHeight) return;
  if (NewWidth < 0 || NewHeight < 0)
    throw EInvalidGraphic("Bitmap: invalid size " + std::to_string(NewWidth) + " x " +
                          std::to_string(NewHeight));
  CheckPixelCount(NewWidth, NewHeight);
  const size_t count = static_cast<size_t>(NewWidth) * static_cast<size_t>(NewHeight);
  std::vector<uint32_t> pixels;
  std::vector<uint8_t> indices;
  try {
    pixels.assign(count, 0xFF000000u);
    if (!FPalette.empty()) indices.assign(count, 0);
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory("Out of memory: no room for a bitmap of " + std::to_string(NewWidth) +
                       " x " + std::to_string(NewHeight) + " pixels");
  }
  // Keep the overlapping top-left part.
  const int32_t keepWidth = std::min(FWidth, NewWidth);
  const int32_t keepHeight = std::min(FHeight, NewHeight);
  for (int32_t y = 0; y < keepHeight; ++y) {
    const size_t from = static_cast<size_t>(y) * static_cast<size_t>(FWidth);
    const size_t to = static_cast<size_t>(y) * static_cast<size_t>(NewWidth);
    std::copy_n(FPixels.begin() + static_cast<ptrdiff_t>(from), keepWidth,
                pixels.begin() + static_cast<ptrdiff_t>(to));
    if (!indices.empty() && !FIndices.empty())
      std::copy_n(FIndices.begin() + static_cast<ptrdiff_t>(from), keepWidth,
                  indices.begin() + static_cast<ptrdiff_t>(to));
  }
  FPixels.swap(pixels);
  FIndices.swap(indices);
  FWidth = NewWidth;
  FHeight = NewHeight;
  Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat Format) {
  if (Format == FPixelFormat) return;
  const int32_t bits = PixelFormatBits(Format);
  if (bits <= 8) {
    const size_t entries = size_t{1} << bits;
    if (FPalette.empty() || FPalette.size() > entries) {
      std::vector<TColor> palette = DefaultPalette(bits);
      std::vector<uint8_t> indices(FPixels.size(), 0);
      FPalette.swap(palette);
      FIndices.swap(indices);
      // Pixels keep their colours; their indices become the nearest entries.
      for (int32_t y = 0; y < FHeight; ++y)
        for (int32_t x = 0; x < FWidth; ++x)
          FIndices[static_cast<size_t>(y) * FWidth + x] = PaletteIndex(x, y);
    }
  } else {
    FPalette.clear();
    FIndices.clear();
  }
  FPixelFormat = Format;
  Changed();
}

void TBitmap::SetPalette(const std::vector<TColor>& Colors) {
  const int32_t bits = PixelFormatBits(FPixelFormat);
  if (bits > 8 || Colors.empty() || Colors.size() > (size_t{1} << bits))
    throw ERangeError("Bitmap: palette of " + std::to_string(Colors.size()) +
                      " colours does not fit the pixel format");
  std::vector<TColor> palette(Colors.size());
  std::transform(Colors.begin(), Colors.end(), palette.begin(), ColorToRGB);
  if (FIndices.size() != FPixels.size()) FIndices.assign(FPixels.size(), 0);
  FPalette.swap(palette);
}

uint8_t TBitmap::PaletteIndex(int32_t X, int32_t Y) const {
  if (FPalette.empty() || X < 0 || Y < 0 || X >= FWidth || Y >= FHeight) return 0;
  const size_t at = static_cast<size_t>(Y) * static_cast<size_t>(FWidth) + static_cast<size_t>(X);
  const TColor color = PixelToColor(FPixels[at]);
  if (at < FIndices.size() && FIndices[at] < FPalette.size() && FPalette[FIndices[at]] == color)
    return FIndices[at];
  size_t best = 0;
  for (size_t i = 1; i < FPalette.size(); ++i)
    if (ColorDistance(FPalette[i], color) < ColorDistance(FPalette[best], color)) best = i;
  return static_cast<uint8_t>(best);
}

void TBitmap::SetPaletteIndex(int32_t X, int32_t Y, uint8_t Index) {
  if (Index >= FPalette.size() || X < 0 || Y < 0 || X >= FWidth || Y >= FHeight) return;
  const size_t at = static_cast<size_t>(Y) * static_cast<size_t>(FWidth) + static_cast<size_t>(X);
  FPixels[at] = ColorToPixel(FPalette[Index]);
  FIndices[at] = Index;
}

uint32_t* TBitmap::ScanLine(int32_t Y) {
  return const_cast<uint32_t*>(static_cast<const TBitmap*>(this)->ScanLine(Y));
}

const uint32_t* TBitmap::ScanLine(int32_t Y) const {
  if (Y < 0 || Y >= FHeight) throw ERangeError("Scan line index out of range");
  return FPixels.data() + static_cast<size_t>(Y) * static_cast<size_t>(FWidth);
}

TCanvas& TBitmap::Canvas() {
  if (!FCanvas) FCanvas = std::make_unique<TCanvas>(*this);
  return *FCanvas;
}

TColor TBitmap::TransparentColor() const {
  if (FTransparentMode == tmFixed) return FTransparentColor;
  if (FWidth == 0 || FHeight == 0) return clDefault;
  return PixelToColor(ScanLine(FHeight - 1)[0]);
}

void TBitmap::SetTransparentColor(TColor Color) {
  FTransparentColor = Color;
  FTransparentMode = tmFixed;
}

void TBitmap::Assign(const TPersistent& Source) {
  const auto* other = dynamic_cast<const TBitmap*>(&Source);
  if (!other) {
    TGraphic::Assign(Source);
    return;
  }
  if (other == this) return;
  std::vector<uint32_t> pixels;
  std::vector<uint8_t> indices;
  try {
    pixels = other->FPixels;
    indices = other->FIndices;
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory("Out of memory: no room to copy a bitmap");
  }
  FPixels.swap(pixels);
  FIndices.swap(indices);
  FPalette = other->FPalette;
  FWidth = other->FWidth;
  FHeight = other->FHeight;
  FPixelFormat = other->FPixelFormat;
  FTransparent = other->FTransparent;
  FTransparentMode = other->FTransparentMode;
  FTransparentColor = other->FTransparentColor;
  Changed();
}

void TBitmap::TakePixelsFrom(TBitmap& Other) {
  FPixels.swap(Other.FPixels);
  FIndices.swap(Other.FIndices);
  FPalette.swap(Other.FPalette);
  std::swap(FWidth, Other.FWidth);
  std::swap(FHeight, Other.FHeight);
  std::swap(FPixelFormat, Other.FPixelFormat);
  Changed();
}

void TBitmap::LoadFromResourceName(const std::string& ResName) {
  TBitmap picture;
  CreateResourceBitmap(ResName, picture);
  TakePixelsFrom(picture);
}

}  // namespace vexa
