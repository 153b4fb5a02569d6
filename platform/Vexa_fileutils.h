#pragma once
/// @file
/// The platform's file utilities: existence checks, folders, renaming and
/// deleting, file-name parts and a wildcard file search. None of them raises:
/// failures give false, -1 or an empty result.
///
/// File names are '/'-separated paths; the name parts are found by text
/// (ExtractFilePath and friends never touch the disk).

#include <cstdint>
#include <string>
#include <vector>

namespace vexa {

/// The path delimiter.
inline constexpr char PathDelim = '/';

/// True when FileName names an existing file that is not a folder.
bool FileExists(const std::string& FileName);
/// True when Dir names an existing folder.
bool DirectoryExists(const std::string& Dir);
/// Creates Dir and every missing parent; true when Dir exists as a folder afterwards.
bool ForceDirectories(const std::string& Dir);
/// Creates the folder Dir (its parent must exist); false when it already
/// exists or cannot be created.
bool CreateDir(const std::string& Dir);
/// Removes the empty folder Dir (never a file, a link or a folder with
/// entries); true on success.
bool RemoveDir(const std::string& Dir);
/// Deletes a file (never a folder); true on success.
bool DeleteFile(const std::string& FileName);
/// Renames or moves a file or folder. False when NewName already exists (it is
/// never overwritten) or the move fails.
bool RenameFile(const std::string& OldName, const std::string& NewName);

/// Drive and folder part including the final delimiter ("/a/b/" for "/a/b/c.txt");
/// empty when FileName has no delimiter.
std::string ExtractFilePath(const std::string& FileName);
/// The part after the last delimiter ("c.txt").
std::string ExtractFileName(const std::string& FileName);
/// The extension with its dot (".txt"): the part of the name from its last
/// '.'; empty when the name has no '.'.
std::string ExtractFileExt(const std::string& FileName);
/// FileName with its extension replaced by Extension (which includes the dot,
/// or is empty to remove the extension).
std::string ChangeFileExt(const std::string& FileName, const std::string& Extension);
/// S with a delimiter at its end (added if missing).
std::string IncludeTrailingPathDelimiter(const std::string& S);
/// S without delimiters at its end; the root "/" stays as it is.
std::string ExcludeTrailingPathDelimiter(const std::string& S);
/// The absolute, normalised form of FileName (relative to the working
/// folder; "." and ".." resolved by text); empty when it cannot be formed.
std::string ExpandFileName(const std::string& FileName);

/// Size of a file in bytes; -1 when it does not exist or is not a regular file.
int64_t FileSize(const std::string& FileName);

/// True when Name matches Pattern, in which '*' stands for any run of
/// characters and '?' for exactly one. Case-sensitive.
bool MatchesMask(const std::string& Name, const std::string& Pattern);
/// Names (not paths) of the files in Dir that match Pattern, sorted; folders
/// are left out. Empty when Dir cannot be read.
std::vector<std::string> FindFiles(const std::string& Dir, const std::string& Pattern);
/// Names of the sub-folders of Dir that match Pattern, sorted.
std::vector<std::string> FindDirectories(const std::string& Dir, const std::string& Pattern);

/// The folder for temporary files, with a trailing delimiter; empty when none is known.
std::string GetTempDir();

}  // namespace vexa
