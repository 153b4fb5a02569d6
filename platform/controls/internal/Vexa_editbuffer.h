#pragma once
// The text and selection of an edit field, counted in code points (not
// installed for users). Positions run from 0 to Length(); a position never
// falls inside a UTF-8 sequence. Bytes that do not form valid UTF-8 count as
// one position each and are kept as they are.

#include <cstddef>
#include <string>
#include <vector>

namespace vexa::framework {

/// Byte offsets of the code points of Text, followed by Text.size().
std::vector<size_t> CodePointStarts(const std::string& Text);

class TEditBuffer {
public:
  const std::string& Text() const { return FText; }
  /// Takes a new text and puts the caret (and the selection anchor) at Caret.
  void Reset(const std::string& Text, size_t Caret);
  /// Number of positions (code points).
  size_t Length() const { return FStarts.size() - 1; }

  size_t Caret() const { return FCaret; }
  size_t Anchor() const { return FAnchor; }
  size_t SelStart() const { return FCaret < FAnchor ? FCaret : FAnchor; }
  size_t SelLength() const { return FCaret < FAnchor ? FAnchor - FCaret : FCaret - FAnchor; }
  /// Moves the caret; Extend keeps the anchor (selection), else both move.
  void MoveCaret(size_t Pos, bool Extend);
  /// Selects Length positions from Start (both clamped); the caret ends at
  /// the far end.
  void Select(size_t Start, size_t Length);

  /// Byte offset of a position (clamped to the end).
  size_t ByteOffset(size_t Pos) const { return FStarts[Pos < FStarts.size() ? Pos : FStarts.size() - 1]; }
  /// The text of positions [From, To).
  std::string Slice(size_t From, size_t To) const;
  std::string SelText() const { return Slice(SelStart(), SelStart() + SelLength()); }
  /// The text with the selection replaced by Insert; NewCaret receives the
  /// position right after the inserted text.
  std::string ReplacedSelection(const std::string& Insert, size_t& NewCaret) const;
  /// The text with positions [From, To) removed.
  std::string Removed(size_t From, size_t To) const;

private:
  std::string FText;
  std::vector<size_t> FStarts{0};
  size_t FCaret = 0;
  size_t FAnchor = 0;
};

/// Number of code points of a text (the edit's way of counting).
size_t CodePointCount(const std::string& Text);

}  // namespace vexa::framework
