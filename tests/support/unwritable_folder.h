#pragma once
// A folder the program under test can read but not write. Permission bits do not stop the
// superuser, so when the tests run as root the program is started as "nobody" instead (through
// setpriv), for whom the bits hold.

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace brx::test {

// Makes `folder` readable and searchable by everyone and writable by no one, and its files
// readable by everyone.
inline void make_unwritable(const std::filesystem::path& folder) {
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    ::chmod(entry.path().c_str(), 0644);
  }
  ::chmod(folder.c_str(), 0555);
}

// What to put before a command so that an unwritable folder is unwritable for it.
inline std::string as_unprivileged_user() {
  return ::geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
}

}  // namespace brx::test
