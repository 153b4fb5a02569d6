#include "platform/controls/internal/Vexa_editbuffer.h"

#include <algorithm>

#include "platform/controls/Vexa_headless.h"
#include "platform/graphics/Vexa_fontcache.h"

namespace vexa::framework {

std::vector<size_t> CodePointStarts(const std::string& Text) {
  // The font decoder reads a valid sequence as its code point and any other
  // byte as Latin-1. A code point whose UTF-8 form stands at the offset was a
  // valid sequence of that length; otherwise it was a single stray byte.
  std::vector<size_t> starts;
  size_t offset = 0;
  for (const uint32_t code : fontcache::DecodeText(Text)) {
    starts.push_back(offset);
    const std::string encoded = EncodeUtf8(code);
    offset += Text.compare(offset, encoded.size(), encoded) == 0 ? encoded.size() : 1;
  }
  starts.push_back(Text.size());
  return starts;
}

size_t CodePointCount(const std::string& Text) { return CodePointStarts(Text).size() - 1; }

void TEditBuffer::Reset(const std::string& Text, size_t Caret) {
  FText = Text;
  FStarts = CodePointStarts(FText);
  FCaret = FAnchor = std::min(Caret, Length());
}

void TEditBuffer::MoveCaret(size_t Pos, bool Extend) {
  FCaret = std::min(Pos, Length());
  if (!Extend) FAnchor = FCaret;
}

void TEditBuffer::Select(size_t Start, size_t Length) {
  FAnchor = std::min(Start, this->Length());
  FCaret = FAnchor + std::min(Length, this->Length() - FAnchor);
}

std::string TEditBuffer::Slice(size_t From, size_t To) const {
  const size_t from = ByteOffset(From), to = ByteOffset(To);
  return to > from ? FText.substr(from, to - from) : std::string();
}

std::string TEditBuffer::ReplacedSelection(const std::string& Insert, size_t& NewCaret) const {
  NewCaret = SelStart() + CodePointCount(Insert);
  return FText.substr(0, ByteOffset(SelStart())) + Insert + FText.substr(ByteOffset(SelStart() + SelLength()));
}

std::string TEditBuffer::Removed(size_t From, size_t To) const {
  return FText.substr(0, ByteOffset(From)) + FText.substr(ByteOffset(std::max(From, To)));
}

}  // namespace vexa::framework
