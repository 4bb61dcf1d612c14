#include "base/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <system_error>

namespace brx {
namespace {

// The folder part of a path, with its trailing "/" ("" for a bare name: the current folder).
std::string folder_of(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Writes everything, resuming after interruptions and short writes.
int write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t done = ::write(fd, bytes.data(), bytes.size());
    if (done < 0 && errno == EINTR) continue;
    if (done < 0) return errno;
    if (done == 0) return EIO;
    bytes.remove_prefix(static_cast<std::size_t>(done));
  }
  return 0;
}

// The permission bits the new file takes: those of the file it replaces, else the usual ones of
// a file the user creates (mkstemp makes it private).
mode_t mode_for(const std::string& path) {
  struct stat old {};
  if (::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) return old.st_mode & 07777;
  return static_cast<mode_t>(0666 & ~process_umask());
}

}  // namespace

std::string FileWrite::reason() const {
  return error == 0 ? std::string() : std::system_category().message(error);
}

FileWrite write_file_atomically(const std::string& path, std::string_view bytes) {
  std::string temp = folder_of(path) + ".brx-XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return {errno};
  int error = write_all(fd, bytes);
  if (error == 0 && ::fchmod(fd, mode_for(path)) != 0) error = errno;
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && std::rename(temp.c_str(), path.c_str()) != 0) error = errno;
  if (error != 0) ::unlink(temp.c_str());
  return {error};
}

unsigned process_umask() {
  static const unsigned mask = [] {
    unsigned value = 022;
    if (std::FILE* f = std::fopen("/proc/self/status", "r")) {
      char line[256];
      while (std::fgets(line, sizeof line, f) != nullptr) {
        if (std::sscanf(line, "Umask: %o", &value) == 1) break;
      }
      std::fclose(f);
    }
    return value;
  }();
  return mask;
}

}  // namespace brx
