#pragma once
// A temporary folder that a test writes its files into; removed with everything
// in it when the object goes out of scope.

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace vexa::testing {

class TempDir {
public:
  TempDir() {
    std::random_device rd;
    const auto base = std::filesystem::temp_directory_path();
    do {
      FPath = base / ("vexa_test_" + std::to_string(rd()) + std::to_string(rd()));
    } while (std::filesystem::exists(FPath));
    std::filesystem::create_directories(FPath);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(FPath, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  /// Full path of a file in the folder.
  std::string File(const std::string& name) const { return (FPath / name).string(); }
  const std::filesystem::path& Path() const { return FPath; }

  /// Writes bytes to a file in the folder and returns its path.
  std::string Write(const std::string& name, const std::string& bytes) const {
    const std::string path = File(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  /// Reads a whole file as bytes.
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

private:
  std::filesystem::path FPath;
};

}  // namespace vexa::testing
