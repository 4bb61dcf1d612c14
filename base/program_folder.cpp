#include "base/program_folder.h"

#include <filesystem>

namespace brx {

std::string executable_folder() {
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : self.parent_path().string();
}

}  // namespace brx
