#include "platform/Vexa_filesearch.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/Vexa_fileutils.h"
#include "support/TempDir.h"

namespace vexa {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

const std::string kByteName = "\xff\xfe.bin";  // not valid UTF-8: names are bytes

/// A folder with files, hidden entries, sub-folders, links (to a file, to a
/// folder, to the parent, dangling and looping), a pipe, a read-only file and
/// a folder without permissions.
class FileSearchTest : public ::testing::Test {
protected:
  void SetUp() override {
    FDir.Write("a.txt", "12345");
    FDir.Write("b.dat", "");
    FDir.Write("ro.txt", "xy");
    FDir.Write(".hidden", "h");
    FDir.Write(kByteName, "b");
    fs::create_directory(FDir.Path() / "sub");
    fs::create_directory(FDir.Path() / ".hiddendir");
    fs::create_directory(FDir.Path() / "locked");
    fs::create_symlink("a.txt", FDir.Path() / "link_file");
    fs::create_directory_symlink("sub", FDir.Path() / "link_dir");
    fs::create_directory_symlink("..", FDir.Path() / "up");
    fs::create_symlink("loop", FDir.Path() / "loop");
    fs::create_symlink("missing", FDir.Path() / "dangling");
    ASSERT_EQ(::mkfifo(FDir.File("pipe").c_str(), 0644), 0);
    fs::permissions(FDir.Path() / "ro.txt", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(FDir.Path() / "locked", fs::perms::none);
  }
  void TearDown() override { fs::permissions(FDir.Path() / "locked", fs::perms::owner_all); }

  std::string Pattern(const std::string& mask) const { return IncludeTrailingPathDelimiter(FDir.Path().string()) + mask; }

  /// Every entry a search returns, by name; fails the test on an error code.
  std::map<std::string, TSearchRec> Search(const std::string& mask, int32_t attr) const {
    std::map<std::string, TSearchRec> found;
    TSearchRec rec;
    int32_t result = FindFirst(Pattern(mask), attr, rec);
    for (; result == 0; result = FindNext(rec)) {
      EXPECT_EQ(found.count(rec.Name), 0u) << "reported twice: " << rec.Name;
      found[rec.Name] = rec;
    }
    EXPECT_EQ(result, FindNoMoreFiles);
    FindClose(rec);
    return found;
  }

  std::vector<std::string> Names(const std::string& mask, int32_t attr) const {
    std::vector<std::string> names;
    for (const auto& [name, rec] : Search(mask, attr)) names.push_back(name);
    return names;
  }

  TempDir FDir;
};

using TNames = std::vector<std::string>;

TEST_F(FileSearchTest, AttributeMaskSelectsEntries) {
  // std::map order: bytes ascending ('.' < letters < 0xFF).
  struct TMaskCase {
    int32_t attr;
    TNames names;
  };
  const TNames files = {"a.txt", "b.dat", "ro.txt", kByteName};
  const TMaskCase cases[] = {
      {0, files},
      {faReadOnly | faArchive, files},  // these bits never exclude
      {faHidden, {".hidden", "a.txt", "b.dat", "ro.txt", kByteName}},
      {faSysFile, {"a.txt", "b.dat", "pipe", "ro.txt", kByteName}},
      {faDirectory, {".", "..", "a.txt", "b.dat", "locked", "ro.txt", "sub", kByteName}},
      {faSymLink, {"a.txt", "b.dat", "dangling", "link_file", "loop", "ro.txt", kByteName}},
      {faDirectory | faSymLink,
       {".", "..", "a.txt", "b.dat", "dangling", "link_dir", "link_file", "locked", "loop", "ro.txt", "sub", "up",
        kByteName}},
      {faDirectory | faHidden, {".", "..", ".hidden", ".hiddendir", "a.txt", "b.dat", "locked", "ro.txt", "sub", kByteName}},
      {faAnyFile,
       {".", "..", ".hidden", ".hiddendir", "a.txt", "b.dat", "dangling", "link_dir", "link_file", "locked", "loop",
        "pipe", "ro.txt", "sub", "up", kByteName}},
  };
  for (const TMaskCase& c : cases) {
    SCOPED_TRACE(c.attr);
    EXPECT_EQ(Names("*", c.attr), c.names);
  }
}

TEST_F(FileSearchTest, EntryAttributesSizesAndLinks) {
  struct TEntryCase {
    std::string name;
    int32_t attr;
    int64_t size;
  };
  const TEntryCase cases[] = {
      {"a.txt", faArchive, 5},
      {"b.dat", faArchive, 0},
      {"ro.txt", faArchive | faReadOnly, 2},
      {".hidden", faArchive | faHidden, 1},
      {".hiddendir", faDirectory | faHidden, 0},
      {".", faDirectory, 0},
      {"..", faDirectory, 0},
      {"sub", faDirectory, 0},
      {"locked", faDirectory | faReadOnly, 0},  // no write permission bit
      {"pipe", faSysFile, 0},
      {"link_file", faSymLink, 5},               // size of the link: its target text "a.txt"
      {"link_dir", faSymLink | faDirectory, 3},  // "sub"
      {"up", faSymLink | faDirectory, 2},        // "..": a link to an ancestor
      {"loop", faSymLink, 4},                    // a link to itself never resolves
      {"dangling", faSymLink, 7},
  };
  const auto found = Search("*.*", faAnyFile);
  for (const TEntryCase& c : cases) {
    SCOPED_TRACE(c.name);
    const auto it = found.find(c.name);
    ASSERT_NE(it, found.end());
    EXPECT_EQ(it->second.Attr, c.attr);
    EXPECT_EQ(it->second.Size, c.size);
  }
}

TEST_F(FileSearchTest, NamePatterns) {
  struct TPatternCase {
    std::string mask;
    TNames names;
  };
  const TPatternCase cases[] = {
      {"*.txt", {"a.txt", "ro.txt"}},
      {"?.txt", {"a.txt"}},
      {"*.*", {".hidden", "a.txt", "b.dat", "pipe", "ro.txt", kByteName}},  // also names without a dot
      {"*.bin", {kByteName}},
      {".*", {".hidden"}},  // "." and ".." are folders, which the mask leaves out
      {"b.dat", {"b.dat"}},
      {"*.none", {}},
      {"", {}},
  };
  for (const TPatternCase& c : cases) {
    SCOPED_TRACE(c.mask);
    EXPECT_EQ(Names(c.mask, faHidden | faSysFile), c.names);
  }
}

TEST_F(FileSearchTest, FolderErrorsAndClosedSearches) {
  TSearchRec rec;
  EXPECT_EQ(FindFirst(Pattern("missing/*"), faAnyFile, rec), ENOENT);
  EXPECT_EQ(FindFirst(Pattern("a.txt/*"), faAnyFile, rec), ENOTDIR);
  EXPECT_EQ(FindFirst(Pattern("*.none"), faAnyFile, rec), FindNoMoreFiles);
  EXPECT_EQ(FindNext(rec), FindNoMoreFiles);  // nothing open
  // After FindClose the search is over; the last entry stays in the record.
  ASSERT_EQ(FindFirst(Pattern("*"), faAnyFile, rec), 0);
  const std::string first = rec.Name;
  FindClose(rec);
  EXPECT_EQ(FindNext(rec), FindNoMoreFiles);
  EXPECT_EQ(rec.Name, first);
}

/// FindFirst's result for Path in a child process running as the user
/// "nobody" (65534), for tests run as root; -1000 when the child cannot
/// drop its privileges. The child first checks that it can search Parent, so
/// that the error comes from Path itself.
int32_t FindFirstAsNobody(const std::string& Parent, const std::string& Path) {
  const pid_t child = ::fork();
  if (child == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(255);
    TSearchRec rec;
    if (FindFirst(Parent, faAnyFile, rec) != 0) ::_exit(2);
    ::_exit(FindFirst(Path, faAnyFile, rec) == EACCES ? 0 : 1);
  }
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1000;
  if (WEXITSTATUS(status) == 255) return -1000;
  return WEXITSTATUS(status) == 0 ? EACCES : -1;
}

TEST_F(FileSearchTest, UnreadableFolderGivesErrorCode) {
  const std::string locked = FDir.File("locked");
  DIR* probe = ::opendir(locked.c_str());
  if (probe == nullptr) {
    TSearchRec rec;
    EXPECT_EQ(FindFirst(locked + "/*", faAnyFile, rec), EACCES);
    return;
  }
  ::closedir(probe);
  // Permissions do not bind root: try again as an ordinary user.
  fs::permissions(FDir.Path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                   fs::perms::others_read | fs::perms::others_exec);
  const int32_t result = ::geteuid() == 0 ? FindFirstAsNobody(Pattern("*"), locked + "/*") : -1000;
  if (result == -1000) {
    GTEST_SKIP() << "the folder without permissions is readable for this user (root) and no ordinary user is available";
  }
  EXPECT_EQ(result, EACCES);
}

TEST_F(FileSearchTest, ModificationTimeIsLocalDateTime) {
  ::setenv("TZ", "UTC0", 1);  // each test runs in its own process
  ::tzset();
  const timespec times[2] = {{1700000000, 500000000}, {1700000000, 500000000}};
  ASSERT_EQ(::utimensat(AT_FDCWD, FDir.File("a.txt").c_str(), times, 0), 0);
  const auto found = Search("a.txt", 0);
  ASSERT_EQ(found.count("a.txt"), 1u);
  // 2023-11-14 22:13:20.5 UTC, computed with Python's fractions.
  EXPECT_NEAR(found.at("a.txt").Time, 45244.92593171296, 1e-9);
  ::unsetenv("TZ");
  ::tzset();
}

TEST_F(FileSearchTest, PatternWithoutFolderSearchesWorkingFolder) {
  const fs::path previous = fs::current_path();
  fs::current_path(FDir.Path());
  TSearchRec rec;
  TNames names;
  for (int32_t r = FindFirst("*.txt", 0, rec); r == 0; r = FindNext(rec)) names.push_back(rec.Name);
  FindClose(rec);
  fs::current_path(previous);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (TNames{"a.txt", "ro.txt"}));
}

TEST_F(FileSearchTest, CreateAndRemoveFolders) {
  const std::string fresh = FDir.File("fresh");
  EXPECT_TRUE(CreateDir(fresh));
  EXPECT_TRUE(DirectoryExists(fresh));
  EXPECT_FALSE(CreateDir(fresh));                       // exists already
  EXPECT_FALSE(CreateDir(FDir.File("no/such/parent")));  // one level only
  EXPECT_FALSE(CreateDir(""));
  FDir.Write("fresh/file", "x");
  EXPECT_FALSE(RemoveDir(fresh));  // not empty
  EXPECT_TRUE(DeleteFile(FDir.File("fresh/file")));
  EXPECT_FALSE(RemoveDir(FDir.File("link_dir")));  // a link, not a folder
  EXPECT_TRUE(DirectoryExists(FDir.File("sub")));
  EXPECT_FALSE(RemoveDir(FDir.File("a.txt")));
  EXPECT_TRUE(RemoveDir(fresh + "/"));
  EXPECT_FALSE(DirectoryExists(fresh));
  EXPECT_FALSE(RemoveDir(fresh));
  EXPECT_FALSE(RemoveDir(""));
}

}  // namespace
}  // namespace vexa
