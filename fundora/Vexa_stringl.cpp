#include "fundora/Vexa_stringl.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "platform/Vexa_fileutils.h"
#include "platform/Vexa_numtext.h"
#include "platform/Vexa_strutils.h"

namespace vexa {

namespace {

/// Widest field strff pads to, as FormatReal.
constexpr int32_t kMaxFieldWidth = 4096;

bool IsBlankOrTab(char c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }
bool IsWhite(char c) { return IsBlankOrTab(c) || IsLineEnd(c); }

std::string PadLeft(const std::string& Text, int32_t Width) {
  const size_t width = static_cast<size_t>(std::clamp(Width, 0, kMaxFieldWidth));
  return Text.size() >= width ? Text : std::string(width - Text.size(), ' ') + Text;
}

/// S without the leading (FromLeft) or trailing characters for which Strip is true.
template <class Pred>
std::string StripIf(const std::string& S, bool FromLeft, Pred Strip) {
  if (FromLeft) {
    const auto first = std::find_if_not(S.begin(), S.end(), Strip);
    return std::string(first, S.end());
  }
  const auto last = std::find_if_not(S.rbegin(), S.rend(), Strip);
  return std::string(S.begin(), last.base());
}

bool IsFN83Char(char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
  return c != '\0' && std::strchr("._^$~!#%&-{}()@'`", c) != nullptr;
}

// ---------------------------------------------------------------- tag scanner

/// Outcome of reading the text of one tag after its '<'.
enum class TTagRead {
  Tag,         ///< text up to an unquoted '>'
  Comment,     ///< a complete comment "!-- ... --"
  Restart,     ///< an unquoted '<' came first: the earlier '<' was plain text
  EndOfInput,  ///< the input ended before the '>'
  TooLong      ///< longer than kMaxTagLength
};

/// A tag split into its parts.
struct TParsedTag {
  std::string Name;        ///< lower case; end tags keep their leading '/'
  std::string Attributes;  ///< the rest, trimmed, without the '/' of an empty element
  bool IsEnd = false;      ///< "</name>"
  bool IsEmpty = false;    ///< "<name/>"
};

std::string TrimWhite(const std::string& S) {
  const auto first = std::find_if_not(S.begin(), S.end(), IsWhite);
  const auto last = std::find_if_not(S.rbegin(), S.rend(), IsWhite).base();
  return first < last ? std::string(first, last) : std::string();
}

TParsedTag ParseTag(const std::string& Text) {
  TParsedTag tag;
  tag.IsEnd = !Text.empty() && Text[0] == '/';
  size_t nameEnd = tag.IsEnd ? 1 : 0;
  while (nameEnd < Text.size() && !IsWhite(Text[nameEnd]) && Text[nameEnd] != '/') ++nameEnd;
  tag.Name = LowerCase(Text.substr(0, nameEnd));
  tag.Attributes = TrimWhite(Text.substr(nameEnd));
  if (!tag.IsEnd && !tag.Attributes.empty() && tag.Attributes.back() == '/') {
    tag.IsEmpty = true;
    tag.Attributes.pop_back();
    tag.Attributes = TrimWhite(tag.Attributes);
  }
  return tag;
}

/// Reads tag texts and element contents from a character source.
class TTagScanner {
public:
  explicit TTagScanner(const TCharSource& Source) : FSource(Source) {}

  /// Skips plain text up to and including the next '<'; false at the end of the input.
  bool SkipToTagStart() {
    for (int c = FSource(); c >= 0; c = FSource())
      if (c == '<') return true;
    return false;
  }

  /// Reads the text after a '<' up to its '>' (not included) into Text.
  TTagRead ReadTagText(std::string& Text) {
    Text.clear();
    bool inQuotes = false;
    for (int c = FSource(); c >= 0; c = FSource()) {
      const char ch = static_cast<char>(c);
      if (!inQuotes && ch == '>') return TTagRead::Tag;
      if (!inQuotes && ch == '<') return TTagRead::Restart;
      if (Text.size() >= kMaxTagLength) return TTagRead::TooLong;
      if (ch == '"') inQuotes = !inQuotes;
      Text += ch;
      if (Text == "!--") return ReadCommentRest(Text);
    }
    return TTagRead::EndOfInput;
  }

  /// Reads a tag text, treating every '<' that interrupts it as plain text;
  /// the interrupted pieces (each with its '<') are added to Skipped.
  TTagRead ReadTagTextAfterStrayLess(std::string& Text, std::string* Skipped) {
    TTagRead result = ReadTagText(Text);
    while (result == TTagRead::Restart) {
      if (Skipped != nullptr) {
        if (!AppendLimited(*Skipped, "<" + Text)) return TTagRead::TooLong;
      }
      result = ReadTagText(Text);
    }
    return result;
  }

  /// Reads the content of the start tag Name up to its matching end tag.
  /// False when the input ends first or the content grows beyond kMaxTagContent.
  bool ReadContent(const std::string& Name, std::string& Content) {
    const std::string endName = "/" + Name;
    int depth = 1;
    std::string text;
    for (int c = FSource(); c >= 0; c = FSource()) {
      if (c != '<') {
        if (Content.size() >= kMaxTagContent) return false;
        Content += static_cast<char>(c);
        continue;
      }
      const TTagRead read = ReadTagTextAfterStrayLess(text, &Content);
      if (read == TTagRead::EndOfInput || read == TTagRead::TooLong) return false;
      if (read == TTagRead::Tag) {
        const TParsedTag inner = ParseTag(text);
        if (inner.Name == endName && --depth == 0) return true;
        if (!inner.IsEnd && !inner.IsEmpty && inner.Name == Name) ++depth;
      }
      if (!AppendLimited(Content, "<" + text + ">")) return false;
    }
    return false;
  }

private:
  /// Reads the rest of a comment after "!--" up to "-->".
  TTagRead ReadCommentRest(std::string& Text) {
    for (int c = FSource(); c >= 0; c = FSource()) {
      const char ch = static_cast<char>(c);
      // "!--" + "--" is the shortest complete comment text.
      if (ch == '>' && Text.size() >= 5 && Text.ends_with("--")) return TTagRead::Comment;
      if (Text.size() >= kMaxTagLength) return TTagRead::TooLong;
      Text += ch;
    }
    return TTagRead::EndOfInput;
  }

  static bool AppendLimited(std::string& Dest, const std::string& Piece) {
    if (Dest.size() + Piece.size() > kMaxTagContent) return false;
    Dest += Piece;
    return true;
  }

  const TCharSource& FSource;
};

int32_t TagIndex(const std::string& Name, std::span<const std::string> TagNames) {
  for (size_t i = 0; i < TagNames.size(); ++i)
    if (SameText(Name, TagNames[i])) return static_cast<int32_t>(i);
  return static_cast<int32_t>(TagNames.size()) - 1;
}

}  // namespace

std::string strff(long double x, int32_t Width, int32_t Decimals) {
  if (std::isnan(x)) return PadLeft("NAN", Width);
  if (std::isinf(x)) return PadLeft("###", Width);
  return FormatReal(x, Width, Decimals);
}

std::string StripLTBlanks(const std::string& S) {
  return StripIf(StripIf(S, true, IsBlankOrTab), false, IsBlankOrTab);
}

std::string StripLeadingChars(const std::string& S, const std::string& Chars) {
  return StripIf(S, true, [&](char c) { return Chars.find(c) != std::string::npos; });
}

std::string StripTrailingChars(const std::string& S, const std::string& Chars) {
  return StripIf(S, false, [&](char c) { return Chars.find(c) != std::string::npos; });
}

std::string RemoveControlChars(const std::string& S) {
  std::string result;
  result.reserve(S.size());
  for (char c : S) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 32 && byte != 127) result += c;
  }
  return result;
}

std::string ReplaceCharInString(const std::string& S, char OldChar, char NewChar) {
  std::string result = S;
  std::replace(result.begin(), result.end(), OldChar, NewChar);
  return result;
}

int32_t StringIx(const std::string& S, std::span<const std::string> Table) {
  for (size_t i = 0; i < Table.size(); ++i)
    if (SameText(S, Table[i])) return static_cast<int32_t>(i + 1);
  return 0;
}

int32_t StringIx(const std::string& S, std::span<const char* const> Table) {
  for (size_t i = 0; i < Table.size(); ++i)
    if (Table[i] != nullptr && SameText(S, Table[i])) return static_cast<int32_t>(i + 1);
  return 0;
}

TStrArray Tokenize(const std::string& S, const std::string& Delimiters) {
  TStrArray fields;
  if (S.empty()) return fields;
  size_t start = 0;
  for (;;) {
    const size_t end = S.find_first_of(Delimiters, start);
    if (end == std::string::npos) {
      fields.push_back(S.substr(start));
      return fields;
    }
    fields.push_back(S.substr(start, end - start));
    start = end + 1;
  }
}

std::string EnsureTrailingChar(const std::string& S, char C) {
  return (!S.empty() && S.back() == C) ? S : S + C;
}

std::string EnsureTrailingBkSlash(const std::string& S) { return EnsureTrailingChar(S, PathDelim); }

bool ParseQuotedName(TTextReader& InFile, char Delimiter, std::string& Name) {
  while (InFile.PeekChar() >= 0 && IsWhite(static_cast<char>(InFile.PeekChar()))) InFile.ReadChar();
  const int next = InFile.PeekChar();
  if (next < 0 || static_cast<char>(next) != Delimiter) return false;
  InFile.ReadChar();
  std::string name;
  for (int c = InFile.ReadChar(); c >= 0; c = InFile.ReadChar()) {
    const char ch = static_cast<char>(c);
    if (ch == Delimiter) {
      Name = std::move(name);
      return true;
    }
    if (IsLineEnd(ch) || name.size() >= kMaxQuotedNameLength) return false;
    name += ch;
  }
  return false;
}

bool ParseQuotedName(const std::string& S, int32_t& StartAt, char Delimiter, std::string& Name) {
  size_t pos = StartAt < 1 ? 0 : static_cast<size_t>(StartAt) - 1;
  while (pos < S.size() && IsWhite(S[pos])) ++pos;
  if (pos >= S.size() || S[pos] != Delimiter) return false;
  const size_t first = pos + 1;
  const size_t closing = S.find(Delimiter, first);
  if (closing == std::string::npos) return false;
  const size_t length = closing - first;
  if (length > kMaxQuotedNameLength) return false;
  if (std::any_of(S.begin() + first, S.begin() + closing, IsLineEnd)) return false;
  if (closing + 2 > static_cast<size_t>(std::numeric_limits<int32_t>::max())) return false;
  Name = S.substr(first, length);
  StartAt = static_cast<int32_t>(closing + 2);
  return true;
}

std::string ReduceStringToFN83CompliantChars(const std::string& S) {
  std::string result;
  for (char c : S)
    if (IsFN83Char(c)) result += c;
  return StripLeadingChars(result, ".");
}

int32_t ReadNextTagFromSource(const TCharSource& Source, std::span<const std::string> TagNames,
                              std::string& Attributes, std::string& Content) {
  Attributes.clear();
  Content.clear();
  const int32_t invalid = static_cast<int32_t>(TagNames.size()) - 1;
  TTagScanner scanner(Source);
  std::string text;
  while (scanner.SkipToTagStart()) {
    const TTagRead read = scanner.ReadTagTextAfterStrayLess(text, nullptr);
    if (read == TTagRead::EndOfInput || read == TTagRead::TooLong) return invalid;
    if (read == TTagRead::Comment || text.empty() || text[0] == '?' || text[0] == '!') continue;
    TParsedTag tag = ParseTag(text);
    if (tag.Name.empty() || tag.Name == "/") continue;  // "< b >" is plain text
    if (!tag.IsEnd && !tag.IsEmpty && !scanner.ReadContent(tag.Name, Content)) {
      Content.clear();
      return invalid;
    }
    Attributes = std::move(tag.Attributes);
    return TagIndex(tag.Name, TagNames);
  }
  return invalid;
}

int32_t ReadNextTagInString(const std::string& S, int32_t& StartAt,
                            std::span<const std::string> TagNames, std::string& Attributes,
                            std::string& Content) {
  size_t pos = StartAt < 1 ? 0 : static_cast<size_t>(StartAt) - 1;
  const TCharSource source = [&]() -> int {
    return pos < S.size() ? static_cast<unsigned char>(S[pos++]) : -1;
  };
  const int32_t result = ReadNextTagFromSource(source, TagNames, Attributes, Content);
  const size_t next = std::min(pos, S.size()) + 1;
  StartAt = static_cast<int32_t>(
      std::min(next, static_cast<size_t>(std::numeric_limits<int32_t>::max())));
  return result;
}

}  // namespace vexa
