#pragma once
/// @file
/// Faces and rendered glyphs of the fonts a canvas draws with, cached by
/// font file, pixel size and style. Internal to the graphics library.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/graphics/Vexa_fonts.h"

namespace vexa::fontcache {

/// A rendered glyph: coverage 0 ... 255 per pixel, placed relative to the
/// pen position on the baseline.
struct TGlyph {
  int32_t Left = 0;  ///< pixels right of the pen position
  int32_t Top = 0;   ///< pixels above the baseline
  int32_t Width = 0;
  int32_t Rows = 0;
  int32_t Advance = 0;  ///< unhinted advance rounded to whole pixels
  std::vector<uint8_t> Coverage;
};

/// One face at one size; every metric is a whole number of pixels. Faces
/// are shared between canvases (also on different threads): each call locks
/// the face, and glyphs are handed out as shared pointers, so a glyph stays
/// valid while the cache drops entries.
class TSizedFace {
public:
  virtual ~TSizedFace() = default;
  virtual int32_t Ascent() const = 0;
  virtual int32_t Descent() const = 0;
  virtual int32_t EmPixels() const = 0;
  /// The glyph of a code point (the missing-glyph box when the font lacks it).
  virtual std::shared_ptr<const TGlyph> Glyph(uint32_t CodePoint, bool Antialiased) = 0;
  /// Advance only, without rendering.
  virtual int32_t Advance(uint32_t CodePoint) = 0;
};

/// The face for a font's name, height and style; raises EInvalidGraphic when
/// no usable font file exists. Em sizes are limited to 1 ... 2048 pixels.
std::shared_ptr<TSizedFace> FaceFor(const TFont& Font);

/// Code points of UTF-8 text; bytes that do not form valid UTF-8 read as Latin-1.
std::vector<uint32_t> DecodeText(const std::string& Text);

}  // namespace vexa::fontcache
