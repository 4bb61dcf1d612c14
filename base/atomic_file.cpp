#include "base/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <system_error>

namespace brx {
namespace {

constexpr char kTemporaryPrefix[] = ".brx-";  // mkstemp fills in six letters or digits
constexpr std::size_t kTemporaryPrefixLength = sizeof kTemporaryPrefix - 1;
constexpr std::time_t kStaleAfter = 60;  // seconds a temporary may lie untouched before it counts
                                         // as left behind by a killed write

// A name mkstemp makes from our pattern: the prefix and exactly six letters or digits.
bool is_temporary_name(const char* name) {
  if (std::strncmp(name, kTemporaryPrefix, kTemporaryPrefixLength) != 0) return false;
  const char* tail = name + kTemporaryPrefixLength;
  for (int k = 0; k < 6; ++k) {
    const char c = tail[k];
    const bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (!alnum) return false;
  }
  return tail[6] == '\0';
}

// Removes the temporaries that earlier writes left in `folder` when they were killed between
// creating them and the rename: regular files of this user with our temporary names, untouched
// for longer than kStaleAfter (a write in progress keeps touching its file, and none takes that
// long). Anything else, another user's files included, is left alone; failures are ignored.
void remove_stale_temporaries(const std::string& folder) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return;
  const std::time_t now = std::time(nullptr);
  while (const dirent* entry = ::readdir(dir)) {
    if (!is_temporary_name(entry->d_name)) continue;
    struct stat s {};
    if (::fstatat(::dirfd(dir), entry->d_name, &s, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (!S_ISREG(s.st_mode) || s.st_uid != ::geteuid() || now - s.st_mtime <= kStaleAfter) continue;
    ::unlinkat(::dirfd(dir), entry->d_name, 0);
  }
  ::closedir(dir);
}

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
  const std::string folder = folder_of(path);
  remove_stale_temporaries(folder);
  std::string temp = folder + kTemporaryPrefix + "XXXXXX";
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
