#pragma once
/// @file
/// String routines of the base package: number formatting for files, blank
/// and character stripping, table look-up, tokenising, quoted names, and the
/// reader of XML-like elements that the family's XML files are parsed with.
///
/// Strings are 8-bit clean; case handling is ASCII only.

#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "fundora/Vexa_vexabase.h"
#include "platform/Vexa_textfile.h"

namespace vexa {

/// The family's number formatter for files: x in fixed notation with Decimals
/// decimals (exponent notation "-d.ddddE+dddd" for a negative Decimals),
/// right-aligned in Width characters (a longer text is not cut), always with
/// '.' as decimal separator. Values that have no number text are written as
/// words the family's readers take as missing values: "NAN" for NaN and "###"
/// for the infinities, right-aligned as well.
std::string strff(long double x, int32_t Width, int32_t Decimals);

/// S without leading and trailing blanks and tabs.
std::string StripLTBlanks(const std::string& S);
/// S without the leading characters that occur in Chars.
std::string StripLeadingChars(const std::string& S, const std::string& Chars);
/// S without the trailing characters that occur in Chars.
std::string StripTrailingChars(const std::string& S, const std::string& Chars);
/// S without control characters (bytes 0..31 and 127); other bytes, UTF-8
/// sequences included, are kept.
std::string RemoveControlChars(const std::string& S);
/// S with every OldChar replaced by NewChar.
std::string ReplaceCharInString(const std::string& S, char OldChar, char NewChar);

/// 1-based index of the first entry of Table equal to S, ignoring ASCII letter
/// case; 0 when S is not in the table.
int32_t StringIx(const std::string& S, std::span<const std::string> Table);
int32_t StringIx(const std::string& S, std::span<const char* const> Table);

/// The fields of S between the characters of Delimiters. Every delimiter ends
/// a field, so adjacent delimiters give empty fields ("a,,b" gives "a", "",
/// "b"; "a," gives "a", ""). An empty S gives no field.
TStrArray Tokenize(const std::string& S, const std::string& Delimiters);

/// S with C at its end (appended when S does not already end with it; an
/// empty S gives C alone).
std::string EnsureTrailingChar(const std::string& S, char C);
/// S with the path delimiter at its end. The name is historical; folders are
/// delimited by the platform's PathDelim ('/').
std::string EnsureTrailingBkSlash(const std::string& S);

/// Longest name ParseQuotedName accepts, in bytes.
inline constexpr size_t kMaxQuotedNameLength = 65536;

/// Reads a name enclosed in Delimiter characters ("Column 1" with '"'):
/// blanks, tabs and line ends before the opening delimiter are skipped, the
/// name is the text up to the closing delimiter. False when the next other
/// character is not the delimiter (it is then not consumed), when a line end
/// or the end of the input comes before the closing delimiter, or when the
/// name is longer than kMaxQuotedNameLength.
bool ParseQuotedName(TTextReader& InFile, char Delimiter, std::string& Name);
/// The same on a string from the 1-based position StartAt, which moves past
/// the closing delimiter on success and stays unchanged on failure.
bool ParseQuotedName(const std::string& S, int32_t& StartAt, char Delimiter, std::string& Name);

/// S reduced to the characters allowed in 8.3 file names: ASCII letters,
/// digits, '.' and _ ^ $ ~ ! # % & - { } ( ) @ ' `; all others (blanks, path
/// delimiters, control characters, non-ASCII bytes) are removed, and so are
/// leading dots, so that the result is never "." or ".." or a hidden name.
std::string ReduceStringToFN83CompliantChars(const std::string& S);

// ---------------------------------------------------------------- XML-like elements
//
// The family's XML files are read element by element against a table of
// element names (lower case; end tags appear as "/name"). The table ends with
// an entry the caller reserves for "invalid tag".
//
// An element is read as follows. Text before the next '<' is skipped, and so
// are comments "<!-- ... -->", declarations "<!...>" and processing
// instructions "<?...?>". The tag text runs to the next '>' outside double
// quotes; a '<' outside quotes before it shows that the earlier '<' was plain
// text. The name is the tag text up to the first blank, tab, line end or '/'
// (a leading '/' belongs to the name of an end tag); it is compared with the
// table ignoring case. Attributes is the rest of the tag text without blanks
// at either end and without the '/' of an empty element ("<a x=\"1\"/>").
// Content is empty for end tags and empty elements; for a start tag it is the
// text up to the matching end tag (nested elements of the same name are
// counted), exactly as it stands in the input.
//
// The result is the 0-based index of the name in the table. A name not in the
// table, a malformed or truncated element (the input ends before its '>' or
// its end tag), a tag longer than kMaxTagLength and content longer than
// kMaxTagContent give the index of the table's last entry; so does the end of
// the input. An empty table gives -1.

/// Longest tag text (between '<' and '>', comments included), in bytes.
inline constexpr size_t kMaxTagLength = 1 << 20;
/// Longest content of one element, in bytes.
inline constexpr size_t kMaxTagContent = size_t{256} << 20;

/// Source of characters for ReadNextTagFromSource: each call returns the next
/// byte (0..255), or -1 at the end of the input.
using TCharSource = std::function<int()>;

/// Reads the next element from Source as described above. The source is read
/// exactly up to the end of the element (or of the input).
int32_t ReadNextTagFromSource(const TCharSource& Source, std::span<const std::string> TagNames,
                              std::string& Attributes, std::string& Content);

/// Reads the next element of S from the 1-based position StartAt; StartAt
/// moves past the element (to Length + 1 when the text is used up; a StartAt
/// below 1 counts as 1).
int32_t ReadNextTagInString(const std::string& S, int32_t& StartAt,
                            std::span<const std::string> TagNames, std::string& Attributes,
                            std::string& Content);

}  // namespace vexa
