#include "platform/graphics/Vexa_clipbrd.h"

namespace vexa {

TClipboard::TClipboard() = default;
TClipboard::~TClipboard() = default;

bool TClipboard::HasFormat(TClipboardFormat Format) const { return FFormat == Format; }

void TClipboard::Clear() {
  FText.clear();
  FBitmap.reset();
  FFormat = static_cast<TClipboardFormat>(0);
}

std::string TClipboard::AsText() const { return FFormat == CF_TEXT ? FText : std::string(); }

void TClipboard::SetAsText(const std::string& Text) {
  std::string copy = Text;
  Clear();
  FText.swap(copy);
  FFormat = CF_TEXT;
}

void TClipboard::Assign(const TPersistent& Source) {
  // Convert first, so that a failure leaves the old content in place.
  auto picture = std::make_unique<TBitmap>();
  picture->Assign(Source);
  Clear();
  FBitmap = std::move(picture);
  FFormat = CF_BITMAP;
}

void TClipboard::CopyBitmapTo(TBitmap& Dest) const {
  if (FFormat != CF_BITMAP) throw EConvertError("The clipboard holds no bitmap");
  Dest.Assign(*FBitmap);
}

void TClipboard::AssignTo(TPersistent& Dest) const {
  if (auto* bitmap = dynamic_cast<TBitmap*>(&Dest); bitmap && FFormat == CF_BITMAP) {
    bitmap->Assign(*FBitmap);
    return;
  }
  TPersistent::AssignTo(Dest);
}

TClipboard& Clipboard() {
  static TClipboard clipboard;
  return clipboard;
}

}  // namespace vexa
