#pragma once
// A folder of its own for one test, removed with everything in it when the test ends.

#include <filesystem>
#include <string>

namespace brx::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // Writes `text` to a file of that name in the folder and returns its full path.
  std::filesystem::path write(const std::string& name, const std::string& text) const;
  // The whole content of a file, or an empty string when it does not exist.
  static std::string read(const std::filesystem::path& file);

 private:
  std::filesystem::path path_;
};

}  // namespace brx::test
