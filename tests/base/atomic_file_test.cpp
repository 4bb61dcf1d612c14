#include "base/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <utime.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>

#include "tests/support/temp_dir.h"

namespace brx {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using Names = std::set<std::string>;

Names names_in(const fs::path& folder) {
  Names names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
  return names;
}

unsigned mode_of(const fs::path& file) {
  struct stat s {};
  EXPECT_EQ(::stat(file.c_str(), &s), 0) << file;
  return s.st_mode & 07777;
}

// A new file gets the usual mode, not the private one of temporary files; a replaced one keeps
// its own. The temporary name is short: a target at the limit of 255 bytes has room beside it.
TEST(WriteFileAtomically, ReplacesTheWholeFileKeepingItsModeAndLeavesNothingElse) {
  TempDir dir;
  const fs::path path = dir.path() / std::string(255, 'n');
  ASSERT_TRUE(write_file_atomically(path, std::string(5000, 'x')));
  EXPECT_EQ(mode_of(path), 0666u & ~process_umask());
  for (const unsigned mode : {0640u, 0755u}) {
    ASSERT_EQ(::chmod(path.c_str(), mode), 0);
    ASSERT_TRUE(write_file_atomically(path, "short\r\n")) << std::oct << mode;
    EXPECT_EQ(mode_of(path), mode) << std::oct << mode;
  }
  EXPECT_EQ(TempDir::read(path), "short\r\n");
  EXPECT_EQ(names_in(dir.path()), Names{path.filename()});
}

// Every failing step says why and leaves the folder as it was: the old file whole, no temporary.
TEST(WriteFileAtomically, AFailedWriteSaysWhyAndLeavesTheOldFileAndNoTemporary) {
  TempDir dir;
  dir.write("old.out", "old report");
  fs::create_directory(dir.path() / "a-folder.out");
  const Names before = names_in(dir.path());
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit old_limit{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  const struct {
    fs::path path;
    int error;
    rlim_t size_limit;  // too small for the text: the write fails half way
  } cases[] = {{dir.path() / "missing" / "run.out", ENOENT, old_limit.rlim_cur},
               {dir.path() / "a-folder.out", EISDIR, old_limit.rlim_cur},
               {dir.path() / "old.out", EFBIG, 4}};
  for (const auto& c : cases) {
    rlimit limit = old_limit;
    limit.rlim_cur = c.size_limit;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    const FileWrite w = write_file_atomically(c.path, "a new report");
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &old_limit), 0);
    EXPECT_EQ(w.error, c.error) << c.path;
    EXPECT_EQ(w.reason(), std::strerror(c.error));
    EXPECT_EQ(names_in(dir.path()), before) << c.path;
  }
  std::signal(SIGXFSZ, SIG_DFL);
  EXPECT_EQ(TempDir::read(dir.path() / "old.out"), "old report");
}

// A write killed between creating its temporary and the rename leaves the temporary behind; the
// next write into the folder removes it once it has lain untouched for a minute, and nothing
// else: not a fresh one (a write in progress), not other names, not a folder.
TEST(WriteFileAtomically, RemovesTemporariesThatKilledWritesLeftBehind) {
  TempDir dir;
  fs::create_directory(dir.path() / ".brx-folder");
  for (const std::string_view name :
       {".brx-a1B2c3", ".brx-fresh1", ".brx-abc12", "x.brx-abc123", ".brx-ab-c12", ".brx-folder"}) {
    if (name != ".brx-folder") dir.write(std::string(name), "left");
    const std::time_t then = std::time(nullptr) - (name == ".brx-fresh1" ? 5 : 120);
    const utimbuf times{then, then};
    ASSERT_EQ(::utime((dir.path() / name).c_str(), &times), 0) << name;
  }
  ASSERT_TRUE(write_file_atomically(dir.path() / "run.out", "report"));
  EXPECT_EQ(names_in(dir.path()), (Names{".brx-fresh1", ".brx-abc12", "x.brx-abc123", ".brx-ab-c12",
                                         ".brx-folder", "run.out"}));
}

}  // namespace
}  // namespace brx
