#pragma once
/// @file
/// File-system routines of the base package: the header reader of the ASC
/// text format, word reading from text files, file-name parts, folders and
/// random passwords.

#include <cstdint>
#include <string>

#include "platform/Vexa_textfile.h"

namespace vexa {

// ---------------------------------------------------------------- ASC header

/// The four header lines of an ASC file (layout in docs/FORMATS.md).
struct TASCHeader {
  std::string Comment;        ///< line 1
  int32_t NrColumns = 0;      ///< line 2
  int32_t NrRows = 0;         ///< line 3
  bool RowAttributes = false; ///< flag 1: each row starts with a row attribute number
  bool ColumnNames = false;   ///< flag 2: a line of quoted column names follows the header
  bool RowNames = false;      ///< flag 3: each row has a quoted row name
  bool NominalVars = false;   ///< flag 4 (false when the line has three flags): nominal variables
};

/// Result codes of ReadHeaderOfASC. They differ from the codes the importers
/// add for the data lines (-5 and below).
inline constexpr int32_t ascOK = 0;
inline constexpr int32_t ascCannotOpen = -1;      ///< the file cannot be opened
inline constexpr int32_t ascBadColumnCount = -2;  ///< line 2 missing or not a valid count
inline constexpr int32_t ascBadRowCount = -3;     ///< line 3 missing or not a valid count
inline constexpr int32_t ascBadFlags = -4;        ///< line 4 missing or not 3 or 4 TRUE/FALSE words

/// Longest header line, in bytes. A longer comment is cut to this length;
/// a longer count or flags line is invalid.
inline constexpr size_t kMaxASCHeaderLine = 65536;
/// Headers with at most this many cells (columns times rows) are always
/// accepted; larger ones only when the file holds at least one byte per cell
/// after the header, so that a damaged header cannot make a reader allocate
/// far more than the file could fill.
inline constexpr int64_t kASCCellsAlwaysAccepted = int64_t{1} << 20;

/// Reads the header of the ASC file FName: the comment line, the column
/// count, the row count (each the first word of its line, an integer of at
/// least 1 as TryStrToInt reads it; the rest of the line is a comment) and the flags line
/// (three or four words TRUE or FALSE in any case, separated by blanks and
/// ended by a tab or ';' and a comment, or by the line end). The cell count
/// must also pass the kASCCellsAlwaysAccepted rule; a failure there is
/// reported as a bad row count. The file is opened and closed within the call.
/// Returns ascOK and fills Header, or a negative code with Header unchanged.
int32_t ReadHeaderOfASC(const std::string& FName, TASCHeader& Header);

// ---------------------------------------------------------------- words and names

/// Longest word ReadNextWordInTextFile returns, in bytes.
inline constexpr size_t kMaxWordLength = 4096;

/// Skips blanks, tabs and line ends and reads the next word, up to a blank, a
/// tab, a line end or the end of the file. Empty at the end of the file, and
/// for a word longer than kMaxWordLength (which is consumed).
std::string ReadNextWordInTextFile(TTextReader& InFile);

/// FName without its extension (the part of the name from its last '.').
std::string StripExtension(const std::string& FName);
/// FName without its folder part: the part after the last path delimiter.
std::string StripPath(const std::string& FName);
/// True when Dir names an existing folder.
bool DirExists(const std::string& Dir);
/// The folder that contains Dir, by text: "/a/b" for "/a/b/c" and "/a/b/c/",
/// "/" for "/a"; empty when Dir has no delimiter or is the root.
std::string ParentDir(const std::string& Dir);

/// Longest password InventPassword makes.
inline constexpr int32_t kMaxPasswordLength = 1024;

/// A random password of NumChars characters (at most kMaxPasswordLength; empty
/// for NumChars <= 0) drawn from letters and digits without the easily
/// confused 0, O, o, 1, l and I. Uses the platform's random generator.
std::string InventPassword(int32_t NumChars);

}  // namespace vexa
