#pragma once
// Helpers of the graphics tests: bitmaps from text pictures, pixel sets,
// colour counts, ink boxes and bitmap comparison.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/Vexa_datastreams.h"
#include "platform/graphics/Vexa_bitmap.h"
#include "platform/graphics/Vexa_canvas.h"

namespace vexa::testing {

using TPixelSet = std::set<std::pair<int32_t, int32_t>>;  // (x, y)

/// A memory stream holding the given bytes, positioned at the start.
class TBytesStream : public TMemoryStream {
public:
  explicit TBytesStream(const std::string& Bytes) {
    Write(Bytes.data(), static_cast<int64_t>(Bytes.size()));
    SetPosition(0);
  }
  std::string Bytes() const { return std::string(reinterpret_cast<const char*>(Memory()), FSize()); }

private:
  size_t FSize() const { return static_cast<size_t>(const_cast<TBytesStream*>(this)->Size()); }
};

/// What a picture writes to a stream.
template <class Picture>
std::string SavedBytes(const Picture& P) {
  TBytesStream stream("");
  P.SaveToStream(stream);
  return stream.Bytes();
}

/// A bitmap of the given size filled with one colour.
inline void MakeBitmap(TBitmap& Bitmap, int32_t Width, int32_t Height, TColor Fill = clWhite) {
  Bitmap.SetSize(Width, Height);
  for (int32_t y = 0; y < Height; ++y)
    for (int32_t x = 0; x < Width; ++x) Bitmap.ScanLine(y)[x] = ColorToPixel(Fill);
}

inline TColor ColorAt(const TBitmap& Bitmap, int32_t X, int32_t Y) {
  return PixelToColor(Bitmap.ScanLine(Y)[X]);
}

/// The pixels that do not have the background colour.
inline TPixelSet PixelsNot(const TBitmap& Bitmap, TColor Background) {
  TPixelSet set;
  for (int32_t y = 0; y < Bitmap.Height(); ++y)
    for (int32_t x = 0; x < Bitmap.Width(); ++x)
      if (ColorAt(Bitmap, x, y) != Background) set.insert({x, y});
  return set;
}

/// The pixels that have the colour.
inline TPixelSet PixelsOf(const TBitmap& Bitmap, TColor Color) {
  TPixelSet set;
  for (int32_t y = 0; y < Bitmap.Height(); ++y)
    for (int32_t x = 0; x < Bitmap.Width(); ++x)
      if (ColorAt(Bitmap, x, y) == Color) set.insert({x, y});
  return set;
}

/// Number of distinct colours in the bitmap.
inline size_t ColorCount(const TBitmap& Bitmap) {
  std::set<TColor> colors;
  for (int32_t y = 0; y < Bitmap.Height(); ++y)
    for (int32_t x = 0; x < Bitmap.Width(); ++x) colors.insert(ColorAt(Bitmap, x, y));
  return colors.size();
}

/// Bounding box (right/bottom exclusive) of the pixels not in the background
/// colour; an empty rectangle when there are none.
inline TRect InkBox(const TBitmap& Bitmap, TColor Background) {
  TRect box{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  bool any = false;
  for (int32_t y = 0; y < Bitmap.Height(); ++y)
    for (int32_t x = 0; x < Bitmap.Width(); ++x)
      if (ColorAt(Bitmap, x, y) != Background) {
        any = true;
        box = TRect{std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1),
                    std::max(box.Bottom, y + 1)};
      }
  return any ? box : TRect{};
}

/// All pixels (with alpha) equal.
inline bool SamePixels(const TBitmap& A, const TBitmap& B) {
  if (A.Width() != B.Width() || A.Height() != B.Height()) return false;
  for (int32_t y = 0; y < A.Height(); ++y)
    for (int32_t x = 0; x < A.Width(); ++x)
      if (A.ScanLine(y)[x] != B.ScanLine(y)[x]) return false;
  return true;
}

/// Rectangle of pixels [L,R) x [T,B) as a set.
inline TPixelSet RectPixels(int32_t L, int32_t T, int32_t R, int32_t B) {
  TPixelSet set;
  for (int32_t y = T; y < B; ++y)
    for (int32_t x = L; x < R; ++x) set.insert({x, y});
  return set;
}

/// Compares two bitmaps; on a difference both are saved as PNG files into
/// the folder named by VEXA_TEST_ARTIFACTS (or the temporary folder) and the
/// first differing pixel is reported.
::testing::AssertionResult BitmapsEqual(const TBitmap& Actual, const TBitmap& Expected,
                                        const std::string& Name);

}  // namespace vexa::testing
