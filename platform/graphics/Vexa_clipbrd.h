#pragma once
/// @file
/// The in-process clipboard: it holds one content at a time, text or a
/// bitmap. Exchange with other programs belongs to the control framework.

#include <memory>
#include <string>

#include "platform/graphics/Vexa_bitmap.h"

namespace vexa {

/// Clipboard formats.
enum TClipboardFormat : uint8_t { CF_TEXT = 1, CF_BITMAP = 2 };

class TClipboard : public TPersistent {
public:
  TClipboard();
  ~TClipboard() override;

  /// True when the clipboard holds content of that format.
  bool HasFormat(TClipboardFormat Format) const;
  /// Empties the clipboard.
  void Clear();
  /// The text held ("" when it holds no text).
  std::string AsText() const;
  /// Replaces the content with text.
  void SetAsText(const std::string& Text);
  /// Replaces the content with a copy of a bitmap (or a picture that can be
  /// assigned to one).
  void Assign(const TPersistent& Source) override;
  /// Copies the bitmap held into Dest; EConvertError when there is none.
  void CopyBitmapTo(TBitmap& Dest) const;

protected:
  /// Lets a bitmap take the clipboard's picture: Bitmap.Assign(Clipboard()).
  /// EConvertError when the clipboard holds no bitmap.
  void AssignTo(TPersistent& Dest) const override;

private:
  std::string FText;
  std::unique_ptr<TBitmap> FBitmap;
  TClipboardFormat FFormat = static_cast<TClipboardFormat>(0);
};

/// The process-wide clipboard.
TClipboard& Clipboard();

}  // namespace vexa
