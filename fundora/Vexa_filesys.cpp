#include "fundora/Vexa_filesys.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "platform/Vexa_fileutils.h"
#include "platform/Vexa_numtext.h"
#include "platform/Vexa_random.h"
#include "platform/Vexa_strutils.h"

namespace vexa {

namespace {

bool IsBlankOrTab(int c) { return c == ' ' || c == '\t'; }
bool IsWordEnd(int c) { return c < 0 || c == ' ' || c == '\t' || c == '\n'; }

enum class THeaderLine { Read, TooLong, Missing };

/// Reads one line of at most kMaxASCHeaderLine bytes; the rest of a longer
/// line is skipped and reported.
THeaderLine ReadHeaderLine(TTextReader& InFile, std::string& Line) {
  Line.clear();
  if (InFile.Eof()) return THeaderLine::Missing;
  bool tooLong = false;
  for (int c = InFile.ReadChar(); c >= 0 && c != '\n'; c = InFile.ReadChar()) {
    if (Line.size() < kMaxASCHeaderLine)
      Line += static_cast<char>(c);
    else
      tooLong = true;
  }
  return tooLong ? THeaderLine::TooLong : THeaderLine::Read;
}

/// The count at the start of a count line ("12\t;nr. of rows"): at least 1.
bool ParseCountLine(const std::string& Line, int32_t& Count) {
  const auto first = std::find_if_not(Line.begin(), Line.end(), IsBlankOrTab);
  const auto last = std::find_if(first, Line.end(), [](char c) { return IsBlankOrTab(c) || c == ';'; });
  int32_t value = 0;
  if (!TryStrToInt(std::string(first, last), value) || value < 1) return false;
  Count = value;
  return true;
}

/// The three or four TRUE/FALSE words before the tab or ';' of the flags line.
bool ParseFlagsLine(const std::string& Line, TASCHeader& Header) {
  const std::string flagsPart = Line.substr(0, Line.find_first_of("\t;"));
  std::vector<bool> flags;
  size_t pos = 0;
  while (pos < flagsPart.size()) {
    if (flagsPart[pos] == ' ') {
      ++pos;
      continue;
    }
    const size_t end = std::min(flagsPart.find(' ', pos), flagsPart.size());
    const std::string word = flagsPart.substr(pos, end - pos);
    if (SameText(word, "TRUE"))
      flags.push_back(true);
    else if (SameText(word, "FALSE"))
      flags.push_back(false);
    else
      return false;
    if (flags.size() > 4) return false;
    pos = end;
  }
  if (flags.size() < 3) return false;
  Header.RowAttributes = flags[0];
  Header.ColumnNames = flags[1];
  Header.RowNames = flags[2];
  Header.NominalVars = flags.size() == 4 && flags[3];
  return true;
}

/// Whether the file can hold the cells the header announces (see kASCCellsAlwaysAccepted).
bool CellCountPlausible(const TASCHeader& Header, int64_t BytesAfterHeader) {
  const int64_t cells = static_cast<int64_t>(Header.NrColumns) * Header.NrRows;
  return cells <= kASCCellsAlwaysAccepted || cells <= BytesAfterHeader;
}

int32_t ReadHeaderLines(TTextReader& InFile, TASCHeader& Header) {
  std::string line;
  const THeaderLine comment = ReadHeaderLine(InFile, Header.Comment);
  if (comment == THeaderLine::Missing) return ascBadColumnCount;
  if (ReadHeaderLine(InFile, line) != THeaderLine::Read || !ParseCountLine(line, Header.NrColumns))
    return ascBadColumnCount;
  if (ReadHeaderLine(InFile, line) != THeaderLine::Read || !ParseCountLine(line, Header.NrRows))
    return ascBadRowCount;
  if (ReadHeaderLine(InFile, line) != THeaderLine::Read || !ParseFlagsLine(line, Header))
    return ascBadFlags;
  return ascOK;
}

constexpr std::string_view kPasswordChars =
    "ABCDEFGHJKLMNPQRSTUVWXYZabcdefghijkmnpqrstuvwxyz23456789";

}  // namespace

int32_t ReadHeaderOfASC(const std::string& FName, TASCHeader& Header) {
  TTextReader reader;
  if (!reader.Open(FName)) return ascCannotOpen;
  TASCHeader header;
  const int32_t result = ReadHeaderLines(reader, header);
  if (result != ascOK) return result;
  const int64_t fileSize = FileSize(FName);
  if (!CellCountPlausible(header, fileSize - reader.Offset())) return ascBadRowCount;
  Header = std::move(header);
  return ascOK;
}

std::string ReadNextWordInTextFile(TTextReader& InFile) {
  while (InFile.PeekChar() >= 0 && IsWordEnd(InFile.PeekChar())) InFile.ReadChar();
  std::string word;
  bool tooLong = false;
  while (!IsWordEnd(InFile.PeekChar())) {
    const int c = InFile.ReadChar();
    if (word.size() < kMaxWordLength)
      word += static_cast<char>(c);
    else
      tooLong = true;
  }
  return tooLong ? std::string() : word;
}

std::string StripExtension(const std::string& FName) { return ChangeFileExt(FName, ""); }

std::string StripPath(const std::string& FName) { return ExtractFileName(FName); }

bool DirExists(const std::string& Dir) { return DirectoryExists(Dir); }

std::string ParentDir(const std::string& Dir) {
  const std::string trimmed = ExcludeTrailingPathDelimiter(Dir);
  if (trimmed.empty() || trimmed == std::string(1, PathDelim)) return std::string();
  const std::string folder = ExtractFilePath(trimmed);
  return folder.empty() ? std::string() : ExcludeTrailingPathDelimiter(folder);
}

std::string InventPassword(int32_t NumChars) {
  const int32_t length = std::clamp(NumChars, 0, kMaxPasswordLength);
  std::string password;
  password.reserve(static_cast<size_t>(length));
  for (int32_t i = 0; i < length; ++i)
    password += kPasswordChars[static_cast<size_t>(Random(static_cast<int32_t>(kPasswordChars.size())))];
  return password;
}

}  // namespace vexa
