#include "platform/Vexa_fileutils.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace vexa {
namespace {

using testing::TempDir;

TEST(FileUtilsTest, FileNameParts) {
  struct Case {
    const char* name;
    const char* path;
    const char* file;
    const char* ext;
    const char* asCsv;  // ChangeFileExt(name, ".csv")
  };
  const Case cases[] = {
      {"/a/b/c.txt", "/a/b/", "c.txt", ".txt", "/a/b/c.csv"},
      {"c.tar.gz", "", "c.tar.gz", ".gz", "c.tar.csv"},
      {"/a.d/readme", "/a.d/", "readme", "", "/a.d/readme.csv"},
      {"dir/", "dir/", "", "", "dir/.csv"},
      {"file.", "", "file.", ".", "file.csv"},
      {".profile", "", ".profile", ".profile", ".csv"},
      {"", "", "", "", ".csv"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ExtractFilePath(c.name), c.path);
    EXPECT_EQ(ExtractFileName(c.name), c.file);
    EXPECT_EQ(ExtractFileExt(c.name), c.ext);
    EXPECT_EQ(ChangeFileExt(c.name, ".csv"), c.asCsv);
  }
  EXPECT_EQ(ChangeFileExt("/x/y.txt", ""), "/x/y");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/a"), "/a/");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/a/"), "/a/");
  EXPECT_EQ(IncludeTrailingPathDelimiter(""), "/");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("/a//"), "/a");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("/"), "/");
  EXPECT_EQ(PathDelim, '/');
}

TEST(FileUtilsTest, ExpandFileNameResolvesRelativeParts) {
  const std::string cwd = std::filesystem::current_path().string();
  EXPECT_EQ(ExpandFileName("x/../y.txt"), cwd + "/y.txt");
  EXPECT_EQ(ExpandFileName("/a/./b/../c"), "/a/c");
  EXPECT_EQ(ExpandFileName(""), "");
}

TEST(FileUtilsTest, FilesAndFolders) {
  TempDir dir;
  const std::string root = IncludeTrailingPathDelimiter(dir.Path().string());
  const std::string nested = root + "a/b/c/";
  EXPECT_FALSE(DirectoryExists(nested));
  EXPECT_TRUE(ForceDirectories(nested));
  EXPECT_TRUE(ForceDirectories(nested));  // already there
  EXPECT_TRUE(DirectoryExists(nested));
  EXPECT_FALSE(ForceDirectories(""));

  const std::string file = dir.Write("a/data.bin", "12345");
  EXPECT_TRUE(FileExists(file));
  EXPECT_FALSE(FileExists(nested));  // a folder is not a file
  EXPECT_FALSE(FileExists(root + "none"));
  EXPECT_FALSE(ForceDirectories(file + "/sub"));  // a file is in the way
  EXPECT_EQ(FileSize(file), 5);
  EXPECT_EQ(FileSize(root + "none"), -1);
  EXPECT_EQ(FileSize(nested), -1);

  const std::string other = dir.Write("other.bin", "x");
  EXPECT_FALSE(RenameFile(file, other));  // never overwrites
  EXPECT_EQ(TempDir::Read(other), "x");
  const std::string moved = root + "moved.bin";
  EXPECT_TRUE(RenameFile(file, moved));
  EXPECT_FALSE(FileExists(file));
  EXPECT_EQ(FileSize(moved), 5);
  EXPECT_FALSE(RenameFile(root + "none", root + "none2"));

  EXPECT_FALSE(DeleteFile(nested));  // never a folder
  EXPECT_TRUE(DirectoryExists(nested));
  EXPECT_TRUE(DeleteFile(moved));
  EXPECT_FALSE(DeleteFile(moved));
}

TEST(FileUtilsTest, WildcardMasks) {
  struct Case {
    const char* name;
    const char* pattern;
    bool matches;
  };
  const Case cases[] = {
      {"data.txt", "*.txt", true},     {"data.txt", "*", true},        {"", "*", true},
      {"", "", true},                  {"a", "", false},               {"data.txt", "d?ta.*", true},
      {"data.txt", "?", false},        {"abc", "a*b*c", true},         {"abxc", "a*b?c", true},
      {"abc", "a*b*c*d", false},       {"Data.TXT", "*.txt", false},   {"x.tar.gz", "*.gz", true},
      {"mississippi", "*sip*", true},  {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaab", "*a*a*a*a*a*a*a*a*a*c", false},
  };
  for (const Case& c : cases) EXPECT_EQ(MatchesMask(c.name, c.pattern), c.matches) << c.name << " " << c.pattern;
}

TEST(FileUtilsTest, FindFilesAndFolders) {
  TempDir dir;
  for (const char* name : {"b.txt", "a.txt", "c.dat", "a.txt.bak"}) dir.Write(name, "x");
  ForceDirectories(dir.File("sub.txt"));
  ForceDirectories(dir.File("other"));
  const std::string path = dir.Path().string();
  EXPECT_EQ(FindFiles(path, "*.txt"), (std::vector<std::string>{"a.txt", "b.txt"}));
  EXPECT_EQ(FindFiles(path, "?.*"), (std::vector<std::string>{"a.txt", "a.txt.bak", "b.txt", "c.dat"}));
  EXPECT_EQ(FindDirectories(path, "*"), (std::vector<std::string>{"other", "sub.txt"}));
  EXPECT_TRUE(FindFiles(dir.File("missing"), "*").empty());
  const std::string temp = GetTempDir();
  ASSERT_FALSE(temp.empty());
  EXPECT_EQ(temp.back(), PathDelim);
  EXPECT_TRUE(DirectoryExists(temp));
}

}  // namespace
}  // namespace vexa
