#include "platform/Vexa_fileutils.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace vexa {

namespace fs = std::filesystem;

namespace {

enum TEntryKind : uint8_t { ekFile, ekDirectory };

std::vector<std::string> FindEntries(const std::string& Dir, const std::string& Pattern, TEntryKind Kind) {
  std::vector<std::string> names;
  std::error_code error;
  fs::directory_iterator it(Dir.empty() ? "." : Dir, error);
  for (; !error && it != fs::directory_iterator(); it.increment(error)) {
    std::error_code statusError;
    const bool isDirectory = it->is_directory(statusError);
    if (statusError || isDirectory != (Kind == ekDirectory)) continue;
    std::string name = it->path().filename().string();
    if (MatchesMask(name, Pattern)) names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end());
  return names;
}

size_t LastDelimiter(const std::string& FileName) { return FileName.rfind(PathDelim); }

// Position of the extension's dot, or npos when the name part has none.
size_t ExtensionDot(const std::string& FileName) {
  const size_t dot = FileName.rfind('.');
  const size_t delimiter = LastDelimiter(FileName);
  if (dot == std::string::npos || (delimiter != std::string::npos && dot < delimiter)) return std::string::npos;
  return dot;
}

}  // namespace

bool FileExists(const std::string& FileName) {
  std::error_code error;
  const fs::file_status status = fs::status(FileName, error);
  return !error && fs::exists(status) && !fs::is_directory(status);
}

bool DirectoryExists(const std::string& Dir) {
  std::error_code error;
  return fs::is_directory(Dir, error);
}

bool ForceDirectories(const std::string& Dir) {
  if (Dir.empty()) return false;
  std::error_code error;
  fs::create_directories(ExcludeTrailingPathDelimiter(Dir), error);
  return DirectoryExists(Dir);
}

bool CreateDir(const std::string& Dir) {
  if (Dir.empty()) return false;
  std::error_code error;
  return fs::create_directory(Dir, error) && !error;
}

bool RemoveDir(const std::string& Dir) {
  // rmdir removes only empty folders and refuses links and files.
  return !Dir.empty() && ::rmdir(Dir.c_str()) == 0;
}

bool DeleteFile(const std::string& FileName) {
  std::error_code error;
  if (fs::is_directory(fs::symlink_status(FileName, error))) return false;
  return fs::remove(FileName, error) && !error;
}

bool RenameFile(const std::string& OldName, const std::string& NewName) {
  std::error_code error;
  if (fs::exists(fs::symlink_status(NewName, error))) return false;
  fs::rename(OldName, NewName, error);
  return !error;
}

std::string ExtractFilePath(const std::string& FileName) {
  const size_t delimiter = LastDelimiter(FileName);
  return delimiter == std::string::npos ? std::string() : FileName.substr(0, delimiter + 1);
}

std::string ExtractFileName(const std::string& FileName) {
  const size_t delimiter = LastDelimiter(FileName);
  return delimiter == std::string::npos ? FileName : FileName.substr(delimiter + 1);
}

std::string ExtractFileExt(const std::string& FileName) {
  const size_t dot = ExtensionDot(FileName);
  return dot == std::string::npos ? std::string() : FileName.substr(dot);
}

std::string ChangeFileExt(const std::string& FileName, const std::string& Extension) {
  const size_t dot = ExtensionDot(FileName);
  return (dot == std::string::npos ? FileName : FileName.substr(0, dot)) + Extension;
}

std::string IncludeTrailingPathDelimiter(const std::string& S) {
  return (!S.empty() && S.back() == PathDelim) ? S : S + PathDelim;
}

std::string ExcludeTrailingPathDelimiter(const std::string& S) {
  std::string result = S;
  while (result.size() > 1 && result.back() == PathDelim) result.pop_back();
  return result;
}

std::string ExpandFileName(const std::string& FileName) {
  if (FileName.empty()) return std::string();
  std::error_code error;
  const fs::path absolute = fs::absolute(FileName, error);
  if (error) return std::string();
  return absolute.lexically_normal().string();
}

int64_t FileSize(const std::string& FileName) {
  std::error_code error;
  if (!fs::is_regular_file(FileName, error)) return -1;
  const uintmax_t size = fs::file_size(FileName, error);
  return error ? -1 : static_cast<int64_t>(size);
}

bool MatchesMask(const std::string& Name, const std::string& Pattern) {
  // Greedy matching with one backtrack point (the last '*'): linear in
  // practice, never exponential.
  size_t n = 0, p = 0;
  size_t starPattern = std::string::npos, starName = 0;
  while (n < Name.size()) {
    if (p < Pattern.size() && (Pattern[p] == '?' || Pattern[p] == Name[n])) {
      ++n;
      ++p;
    } else if (p < Pattern.size() && Pattern[p] == '*') {
      starPattern = p++;
      starName = n;
    } else if (starPattern != std::string::npos) {
      p = starPattern + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (p < Pattern.size() && Pattern[p] == '*') ++p;
  return p == Pattern.size();
}

std::vector<std::string> FindFiles(const std::string& Dir, const std::string& Pattern) {
  return FindEntries(Dir, Pattern, ekFile);
}

std::vector<std::string> FindDirectories(const std::string& Dir, const std::string& Pattern) {
  return FindEntries(Dir, Pattern, ekDirectory);
}

std::string GetTempDir() {
  std::error_code error;
  const fs::path dir = fs::temp_directory_path(error);
  return error ? std::string() : IncludeTrailingPathDelimiter(dir.string());
}

}  // namespace vexa
