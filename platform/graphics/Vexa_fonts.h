#pragma once
/// @file
/// TFont, the font description a canvas draws text with, and the mapping of
/// font names to installed font files.
///
/// Sizes are in points at 96 dpi: Height = -MulDiv(Size, 96, 72) pixels
/// (negative: character height without internal leading). Glyphs come from
/// FreeType; fontconfig maps names ("MS Sans Serif", "Arial", ...) to
/// installed fonts, with DejaVu Sans as the fallback. Tests pin all names to
/// one file with SetFontFileOverride, so metrics depend only on that file.

#include <cstdint>
#include <string>

#include "platform/Vexa_classes.h"
#include "platform/graphics/Vexa_colors.h"

namespace vexa {

enum TFontStyle : uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };
/// Set of TFontStyle ordinals as bits (1 << fsBold, ...).
using TFontStyles = uint32_t;
constexpr TFontStyles FontStyleBit(TFontStyle Style) { return TFontStyles{1} << Style; }

enum TFontPitch : uint8_t { fpDefault, fpVariable, fpFixed };
/// Anti-aliasing: fqAntialiased, fqClearType, fqClearTypeNatural and fqProof
/// draw smoothed glyphs; fqDefault, fqDraft and fqNonAntialiased draw two colours.
enum TFontQuality : uint8_t {
  fqDefault, fqDraft, fqProof, fqNonAntialiased, fqAntialiased, fqClearType, fqClearTypeNatural
};
using TFontCharset = uint8_t;
constexpr TFontCharset DEFAULT_CHARSET = 1;

/// A font description. Setters fire OnChange when the value changes.
class TFont : public TPersistent {
public:
  TFont();

  const std::string& Name() const { return FName; }
  void SetName(const std::string& Value);
  /// Size in points (0 when Height is 0).
  int32_t Size() const;
  /// Sets Height to -MulDiv(Value, 96, 72).
  void SetSize(int32_t Value);
  int32_t Height() const { return FHeight; }
  void SetHeight(int32_t Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles Value);
  /// Rotation in tenths of a degree, counter-clockwise.
  int32_t Orientation() const { return FOrientation; }
  void SetOrientation(int32_t Value);
  TFontQuality Quality() const { return FQuality; }
  void SetQuality(TFontQuality Value);
  TFontPitch Pitch() const { return FPitch; }
  void SetPitch(TFontPitch Value);
  TFontCharset CharSet() const { return FCharSet; }
  void SetCharSet(TFontCharset Value);

  /// Copies every property from another TFont (fires OnChange once).
  void Assign(const TPersistent& Source) override;

  TNotifyEvent OnChange;

private:
  void Changed();

  std::string FName = "Tahoma";
  int32_t FHeight = -11;
  TColor FColor = clWindowText;
  TFontStyles FStyle = 0;
  int32_t FOrientation = 0;
  TFontQuality FQuality = fqDefault;
  TFontPitch FPitch = fpDefault;
  TFontCharset FCharSet = DEFAULT_CHARSET;
};

/// Maps every font name to one font file (empty: back to fontconfig). Used by
/// tests and the render tool to pin the metrics.
void SetFontFileOverride(const std::string& FileName);
const std::string& FontFileOverride();
/// The file a font name and style resolve to: the override, else fontconfig's
/// match, else DejaVu Sans. Raises EInvalidGraphic "Font: ..." when no usable
/// font file exists.
std::string ResolveFontFile(const std::string& Name, TFontStyles Style);

}  // namespace vexa
