#include "platform/Vexa_filesearch.h"

#include <sys/stat.h>

#include <filesystem>
#include <system_error>

#include "platform/Vexa_fileutils.h"

namespace vexa {

namespace fs = std::filesystem;

/// An open search: the folder, the name pattern, the attributes to skip and
/// the position in the folder ("." and ".." come before the listing).
struct TFindState {
  std::string Folder;   // with a trailing delimiter, or empty for the working folder
  std::string Pattern;  // MatchesMask pattern
  int32_t ExcludeAttr = 0;
  int32_t DotEntriesDone = 0;  // 0, 1 or 2 of ".", ".." reported or passed
  bool Listing = false;        // the iterator's current entry has been taken
  fs::directory_iterator It;
};

namespace {

constexpr int32_t kExcludableAttr = faHidden | faSysFile | faDirectory | faSymLink;

bool IsHiddenName(const std::string& Name) { return Name.size() > 1 && Name[0] == '.' && Name != ".."; }

/// Attributes, size and time of the entry Path (named Name) from lstat, and
/// stat for a link's target; false when the entry cannot be examined.
bool DescribeEntry(const std::string& Path, const std::string& Name, TSearchRec& F) {
  struct stat entry {};
  if (::lstat(Path.c_str(), &entry) != 0) return false;
  int32_t attr = 0;
  int64_t size = 0;
  if (S_ISDIR(entry.st_mode)) {
    attr = faDirectory;
  } else if (S_ISREG(entry.st_mode)) {
    attr = faArchive;
    size = entry.st_size;
  } else if (S_ISLNK(entry.st_mode)) {
    attr = faSymLink;
    size = entry.st_size;
    struct stat target {};
    // A broken link or a loop (ELOOP) is a plain link.
    if (::stat(Path.c_str(), &target) == 0 && S_ISDIR(target.st_mode)) attr |= faDirectory;
  } else {
    attr = faSysFile;
  }
  if (IsHiddenName(Name)) attr |= faHidden;
  if (!S_ISLNK(entry.st_mode) && (entry.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) attr |= faReadOnly;
  F.Name = Name;
  F.Attr = attr;
  F.Size = size;
  F.Time = LocalDateTimeFromUnix(entry.st_mtim.tv_sec, entry.st_mtim.tv_nsec);
  return true;
}

/// The next name of the folder: ".", "..", then the listing. False at the
/// end; Error is set when reading the folder failed.
bool NextName(TFindState& State, std::string& Name, std::error_code& Error) {
  if (State.DotEntriesDone < 2) {
    Name = State.DotEntriesDone == 0 ? "." : "..";
    ++State.DotEntriesDone;
    return true;
  }
  if (State.Listing) State.It.increment(Error);
  State.Listing = true;
  if (Error || State.It == fs::directory_iterator()) return false;
  Name = State.It->path().filename().native();
  return true;
}

/// Moves to the next entry that matches the pattern and the attribute mask.
int32_t FindMatchingEntry(TSearchRec& F) {
  if (!F.FindHandle) return FindNoMoreFiles;
  TFindState& state = *F.FindHandle;
  std::string name;
  std::error_code error;
  while (NextName(state, name, error)) {
    if (!MatchesMask(name, state.Pattern)) continue;
    TSearchRec found;
    if (!DescribeEntry(state.Folder + name, name, found)) continue;  // vanished meanwhile
    if ((found.Attr & state.ExcludeAttr) != 0) continue;
    F.Name = std::move(found.Name);
    F.Attr = found.Attr;
    F.Size = found.Size;
    F.Time = found.Time;
    return 0;
  }
  return error ? error.value() : FindNoMoreFiles;
}

}  // namespace

int32_t FindFirst(const std::string& Path, int32_t Attr, TSearchRec& F) {
  auto state = std::make_shared<TFindState>();
  state->Folder = ExtractFilePath(Path);
  state->Pattern = ExtractFileName(Path);
  if (state->Pattern == "*.*") state->Pattern = "*";
  state->ExcludeAttr = ~Attr & kExcludableAttr;
  std::error_code error;
  state->It = fs::directory_iterator(state->Folder.empty() ? "." : state->Folder, error);
  F.FindHandle.reset();
  if (error) return error.value() > 0 ? error.value() : FindNoMoreFiles;
  F.FindHandle = std::move(state);
  const int32_t result = FindMatchingEntry(F);
  if (result != 0) F.FindHandle.reset();  // nothing to continue: close the folder now
  return result;
}

int32_t FindNext(TSearchRec& F) { return FindMatchingEntry(F); }

void FindClose(TSearchRec& F) { F.FindHandle.reset(); }

}  // namespace vexa
