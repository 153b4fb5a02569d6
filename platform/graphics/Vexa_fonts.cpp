#include "platform/graphics/Vexa_fonts.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_ADVANCES_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <tuple>

#include "platform/graphics/Vexa_fontcache.h"
#include "platform/graphics/Vexa_graphtypes.h"

namespace vexa {

namespace {

/// a * b / c rounded half away from zero, as the platform's MulDiv.
int32_t MulDiv(int32_t A, int32_t B, int32_t C) {
  const int64_t product = int64_t{A} * B;
  const int64_t magnitude = ((product < 0 ? -product : product) + C / 2) / C;
  return static_cast<int32_t>(product < 0 ? -magnitude : magnitude);
}

}  // namespace

// ---------------------------------------------------------------- TFont

TFont::TFont() = default;

void TFont::Changed() {
  if (OnChange) OnChange(this);
}

void TFont::SetName(const std::string& Value) {
  if (Value == FName) return;
  FName = Value;
  Changed();
}

int32_t TFont::Size() const { return -MulDiv(FHeight, 72, 96); }

void TFont::SetSize(int32_t Value) {
  // Clamped so that the conversion cannot overflow.
  Value = std::clamp(Value, -1000000, 1000000);
  SetHeight(-MulDiv(Value, 96, 72));
}

void TFont::SetHeight(int32_t Value) {
  if (Value == FHeight) return;
  FHeight = Value;
  Changed();
}

void TFont::SetColor(TColor Value) {
  if (Value == FColor) return;
  FColor = Value;
  Changed();
}

void TFont::SetStyle(TFontStyles Value) {
  Value &= 0xF;
  if (Value == FStyle) return;
  FStyle = Value;
  Changed();
}

void TFont::SetOrientation(int32_t Value) {
  if (Value == FOrientation) return;
  FOrientation = Value;
  Changed();
}

void TFont::SetQuality(TFontQuality Value) {
  if (Value == FQuality) return;
  FQuality = Value;
  Changed();
}

void TFont::SetPitch(TFontPitch Value) {
  if (Value == FPitch) return;
  FPitch = Value;
  Changed();
}

void TFont::SetCharSet(TFontCharset Value) {
  if (Value == FCharSet) return;
  FCharSet = Value;
  Changed();
}

void TFont::Assign(const TPersistent& Source) {
  const auto* font = dynamic_cast<const TFont*>(&Source);
  if (!font) {
    TPersistent::Assign(Source);
    return;
  }
  FName = font->FName;
  FHeight = font->FHeight;
  FColor = font->FColor;
  FStyle = font->FStyle;
  FOrientation = font->FOrientation;
  FQuality = font->FQuality;
  FPitch = font->FPitch;
  FCharSet = font->FCharSet;
  Changed();
}

// ---------------------------------------------------------------- font files

namespace {

std::mutex gFontLock;
std::string gOverride;

constexpr const char* kFallbackFamily = "DejaVu Sans";
constexpr const char* kFallbackFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

/// Generic family for the names of the platform's common fonts.
std::string FamilyFor(const std::string& Name) {
  static const std::map<std::string, std::string> kGeneric = {
      {"ms sans serif", "sans-serif"}, {"microsoft sans serif", "sans-serif"},
      {"tahoma", "sans-serif"},        {"arial", "sans-serif"},
      {"segoe ui", "sans-serif"},      {"verdana", "sans-serif"},
      {"ms serif", "serif"},           {"times new roman", "serif"},
      {"courier new", "monospace"},    {"courier", "monospace"},
      {"consolas", "monospace"},       {"lucida console", "monospace"},
  };
  std::string lower = Name;
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  const auto found = kGeneric.find(lower);
  return found == kGeneric.end() ? Name : found->second;
}

/// Starts fontconfig once and has it release its configuration at exit.
bool StartFontconfig() {
  static const bool started = [] {
    if (!FcInit()) return false;
    std::atexit(FcFini);
    return true;
  }();
  return started;
}

std::string FontconfigMatch(const std::string& Family, TFontStyles Style) {
  if (!StartFontconfig()) return "";
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return "";
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(Family.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT,
                      (Style & FontStyleBit(fsBold)) ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT,
                      (Style & FontStyleBit(fsItalic)) ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  std::string file;
  FcChar8* path = nullptr;
  if (match && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path)
    file = reinterpret_cast<const char*>(path);
  if (match) FcPatternDestroy(match);
  FcPatternDestroy(pattern);
  return file;
}

bool IsFile(const std::string& Path) {
  std::error_code error;
  return !Path.empty() && std::filesystem::is_regular_file(Path, error);
}

}  // namespace

void SetFontFileOverride(const std::string& FileName) {
  std::lock_guard guard(gFontLock);
  gOverride = FileName;
}

const std::string& FontFileOverride() { return gOverride; }

std::string ResolveFontFile(const std::string& Name, TFontStyles Style) {
  std::string file;
  {
    std::lock_guard guard(gFontLock);
    if (!gOverride.empty()) file = gOverride;
  }
  if (file.empty()) {
    static std::mutex cacheLock;
    static std::map<std::pair<std::string, TFontStyles>, std::string> resolved;
    std::lock_guard guard(cacheLock);
    const auto key = std::make_pair(Name, Style & (FontStyleBit(fsBold) | FontStyleBit(fsItalic)));
    const auto found = resolved.find(key);
    if (found != resolved.end()) return found->second;
    file = FontconfigMatch(FamilyFor(Name), key.second);
    if (!IsFile(file)) file = FontconfigMatch(kFallbackFamily, key.second);
    if (!IsFile(file)) file = kFallbackFile;
    if (IsFile(file)) resolved[key] = file;
  }
  if (!IsFile(file))
    throw EInvalidGraphic("Font: no usable font file for \"" + Name + "\" (" + file + ")");
  return file;
}

// ---------------------------------------------------------------- faces and glyphs

namespace fontcache {

namespace {

constexpr int32_t kMaxEmPixels = 2048;

/// Creating and freeing faces of the one FreeType library must not overlap.
std::mutex gLibraryLock;
constexpr size_t kMaxCachedGlyphs = 4096;
constexpr size_t kMaxCachedFaces = 32;

FT_Library Library() {
  static FT_Library library = [] {
    FT_Library created = nullptr;
    if (FT_Init_FreeType(&created) != 0) created = nullptr;
    return created;
  }();
  if (!library) throw EInvalidGraphic("Font: the font engine could not be started");
  return library;
}

int32_t CeilScale(int64_t Units, int32_t Em, int32_t UnitsPerEm) {
  const int64_t scaled = Units * Em;
  return static_cast<int32_t>((scaled + UnitsPerEm - 1) / UnitsPerEm);
}

class TFreeTypeFace : public TSizedFace {
public:
  TFreeTypeFace(const std::string& File, int32_t Height, TFontStyles Style) {
    std::lock_guard guard(gLibraryLock);
    if (FT_New_Face(Library(), File.c_str(), 0, &FFace) != 0 || !FT_IS_SCALABLE(FFace)) {
      if (FFace) FT_Done_Face(FFace);
      FFace = nullptr;
      throw EInvalidGraphic("Font: cannot read font file \"" + File + "\"");
    }
    const int32_t unitsPerEm = std::max<int32_t>(FFace->units_per_EM, 1);
    int64_t ascentUnits = FFace->ascender, descentUnits = -int64_t{FFace->descender};
    if (const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(FFace, FT_SFNT_OS2));
        os2 && os2->usWinAscent + os2->usWinDescent > 0) {
      ascentUnits = os2->usWinAscent;
      descentUnits = os2->usWinDescent;
    }
    ascentUnits = std::max<int64_t>(ascentUnits, 0);
    descentUnits = std::max<int64_t>(descentUnits, 0);
    // Negative heights give the em size; positive ones the whole cell.
    int64_t em = Height < 0 ? -int64_t{Height} : int64_t{Height};
    if (Height > 0 && ascentUnits + descentUnits > 0)
      em = em * unitsPerEm / (ascentUnits + descentUnits);
    FEm = static_cast<int32_t>(std::clamp<int64_t>(em == 0 ? 16 : em, 1, kMaxEmPixels));
    FAscent = CeilScale(ascentUnits, FEm, unitsPerEm);
    FDescent = CeilScale(descentUnits, FEm, unitsPerEm);
    FUnitsPerEm = unitsPerEm;
    FEmbolden = (Style & FontStyleBit(fsBold)) && !(FFace->style_flags & FT_STYLE_FLAG_BOLD);
    FSlant = (Style & FontStyleBit(fsItalic)) && !(FFace->style_flags & FT_STYLE_FLAG_ITALIC);
    FT_Set_Pixel_Sizes(FFace, 0, static_cast<FT_UInt>(FEm));
  }
  ~TFreeTypeFace() override {
    std::lock_guard guard(gLibraryLock);
    if (FFace) FT_Done_Face(FFace);
  }
  TFreeTypeFace(const TFreeTypeFace&) = delete;
  TFreeTypeFace& operator=(const TFreeTypeFace&) = delete;

  int32_t Ascent() const override { return FAscent; }
  int32_t Descent() const override { return FDescent; }
  int32_t EmPixels() const override { return FEm; }

  int32_t Advance(uint32_t CodePoint) override {
    std::lock_guard guard(FLock);
    return UnlockedAdvance(CodePoint);
  }

  std::shared_ptr<const TGlyph> Glyph(uint32_t CodePoint, bool Antialiased) override {
    std::lock_guard guard(FLock);
    auto& cache = Antialiased ? FSmooth : FSharp;
    const auto found = cache.find(CodePoint);
    if (found != cache.end()) return found->second;
    if (cache.size() >= kMaxCachedGlyphs) cache.clear();
    auto glyph = std::make_shared<const TGlyph>(Render(CodePoint, Antialiased));
    cache.emplace(CodePoint, glyph);
    return glyph;
  }

private:
  int32_t UnlockedAdvance(uint32_t CodePoint) {
    // Advances come from the unscaled metrics, rounded per glyph, so they
    // depend only on the font file.
    const FT_UInt index = FT_Get_Char_Index(FFace, CodePoint);
    FT_Fixed units = 0;
    if (FT_Get_Advance(FFace, index, FT_LOAD_NO_SCALE, &units) != 0) return 0;
    const int64_t scaled = int64_t{units} * FEm;
    return static_cast<int32_t>((2 * scaled + FUnitsPerEm) / (2 * int64_t{FUnitsPerEm}));
  }

  TGlyph Render(uint32_t CodePoint, bool Antialiased) {
    TGlyph glyph;
    glyph.Advance = UnlockedAdvance(CodePoint);
    const FT_UInt index = FT_Get_Char_Index(FFace, CodePoint);
    const FT_Int32 flags = FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP |
                           (Antialiased ? FT_LOAD_TARGET_NORMAL : FT_LOAD_TARGET_MONO);
    if (FT_Load_Glyph(FFace, index, flags) != 0) return glyph;
    FT_GlyphSlot slot = FFace->glyph;
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
      if (FEmbolden) FT_Outline_Embolden(&slot->outline, std::max<FT_Pos>(FEm * 64 / 24, 32));
      if (FSlant) {
        const FT_Matrix shear{0x10000, 0x0366A, 0, 0x10000};  // about 12 degrees
        FT_Outline_Transform(&slot->outline, &shear);
      }
    }
    if (FT_Render_Glyph(slot, Antialiased ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO) != 0)
      return glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    glyph.Left = slot->bitmap_left;
    glyph.Top = slot->bitmap_top;
    glyph.Width = static_cast<int32_t>(bitmap.width);
    glyph.Rows = static_cast<int32_t>(bitmap.rows);
    glyph.Coverage.assign(static_cast<size_t>(glyph.Width) * static_cast<size_t>(glyph.Rows), 0);
    for (int32_t y = 0; y < glyph.Rows; ++y) {
      const unsigned char* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
      for (int32_t x = 0; x < glyph.Width; ++x) {
        uint8_t value = 0;
        if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
          value = ((row[x >> 3] >> (7 - (x & 7))) & 1) ? 255 : 0;
        else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY)
          value = row[x];
        glyph.Coverage[static_cast<size_t>(y) * glyph.Width + x] = value;
      }
    }
    return glyph;
  }

  FT_Face FFace = nullptr;
  int32_t FEm = 16;
  int32_t FAscent = 0;
  int32_t FDescent = 0;
  int32_t FUnitsPerEm = 2048;
  bool FEmbolden = false;
  bool FSlant = false;
  std::mutex FLock;
  std::map<uint32_t, std::shared_ptr<const TGlyph>> FSharp;
  std::map<uint32_t, std::shared_ptr<const TGlyph>> FSmooth;
};

}  // namespace

std::shared_ptr<TSizedFace> FaceFor(const TFont& Font) {
  const std::string file = ResolveFontFile(Font.Name(), Font.Style());
  static std::mutex lock;
  static std::map<std::tuple<std::string, int32_t, TFontStyles>, std::shared_ptr<TSizedFace>> faces;
  std::lock_guard guard(lock);
  const auto key = std::make_tuple(file, Font.Height(),
                                   Font.Style() & (FontStyleBit(fsBold) | FontStyleBit(fsItalic)));
  const auto found = faces.find(key);
  if (found != faces.end()) return found->second;
  if (faces.size() >= kMaxCachedFaces) faces.clear();
  auto face = std::make_shared<TFreeTypeFace>(file, Font.Height(), std::get<2>(key));
  faces.emplace(key, face);
  return face;
}

std::vector<uint32_t> DecodeText(const std::string& Text) {
  std::vector<uint32_t> codes;
  const auto* bytes = reinterpret_cast<const unsigned char*>(Text.data());
  const size_t n = Text.size();
  for (size_t i = 0; i < n;) {
    const unsigned char lead = bytes[i];
    size_t length = 0;
    uint32_t code = 0, minimum = 0;
    if (lead < 0x80) { codes.push_back(lead); ++i; continue; }
    if ((lead & 0xE0) == 0xC0) { length = 2; code = lead & 0x1F; minimum = 0x80; }
    else if ((lead & 0xF0) == 0xE0) { length = 3; code = lead & 0x0F; minimum = 0x800; }
    else if ((lead & 0xF8) == 0xF0) { length = 4; code = lead & 0x07; minimum = 0x10000; }
    bool valid = length > 0 && i + length <= n;
    for (size_t k = 1; valid && k < length; ++k) {
      if ((bytes[i + k] & 0xC0) != 0x80) valid = false;
      else code = (code << 6) | (bytes[i + k] & 0x3F);
    }
    valid = valid && code >= minimum && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
    if (valid) {
      codes.push_back(code);
      i += length;
    } else {
      codes.push_back(lead);  // not UTF-8: the byte as Latin-1
      ++i;
    }
  }
  return codes;
}

}  // namespace fontcache

}  // namespace vexa
