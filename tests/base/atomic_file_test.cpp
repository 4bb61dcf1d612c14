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
#include <thread>

#include "tests/support/temp_dir.h"

namespace brx {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

std::set<std::string> names_in(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
  return names;
}

unsigned mode_of(const fs::path& file) {
  struct stat s {};
  EXPECT_EQ(::stat(file.c_str(), &s), 0) << file;
  return s.st_mode & 07777;
}

TEST(WriteFileAtomically, ReplacesTheWholeFileAndLeavesNothingElse) {
  TempDir dir;
  const fs::path path = dir.path() / "run.out";
  ASSERT_TRUE(write_file_atomically(path, std::string(5000, 'x')));
  EXPECT_EQ(mode_of(path), 0666u & ~process_umask()) << "not private as temporary files are";
  const FileWrite done = write_file_atomically(path, "short\r\n");
  ASSERT_TRUE(done);
  EXPECT_EQ(done.reason(), "");
  EXPECT_EQ(TempDir::read(path), "short\r\n");
  EXPECT_EQ(names_in(dir.path()), std::set<std::string>{"run.out"});
  // A bare name lands in the current folder.
  const fs::path cwd = fs::current_path();
  fs::current_path(dir.path());
  EXPECT_TRUE(write_file_atomically("bare.txt", "b"));
  fs::current_path(cwd);
  EXPECT_EQ(TempDir::read(dir.path() / "bare.txt"), "b");
}

TEST(WriteFileAtomically, KeepsThePermissionsOfTheFileItReplaces) {
  TempDir dir;
  for (const unsigned mode : {0600u, 0640u, 0755u, 0444u}) {
    const fs::path path = dir.path() / ("kept-" + std::to_string(mode));
    dir.write(path.filename(), "old");
    ASSERT_EQ(::chmod(path.c_str(), mode), 0);
    ASSERT_TRUE(write_file_atomically(path, "new")) << std::oct << mode;
    EXPECT_EQ(mode_of(path), mode) << std::oct << mode;
    EXPECT_EQ(TempDir::read(path), "new");
  }
}

// The temporary name is short: a target name at the file system's limit of 255 bytes still has
// room for it beside it.
TEST(WriteFileAtomically, WritesTargetsWithTheLongestNames) {
  TempDir dir;
  for (const std::size_t length : {246u, 250u, 255u}) {
    const fs::path path = dir.path() / std::string(length, 'n');
    ASSERT_TRUE(write_file_atomically(path, "long")) << length;
    EXPECT_EQ(TempDir::read(path), "long");
    fs::remove(path);
  }
}

// Every failing step says why and leaves the folder as it was: the old file whole, no temporary.
TEST(WriteFileAtomically, AFailedWriteSaysWhyAndLeavesTheOldFileAndNoTemporary) {
  TempDir dir;
  dir.write("old.out", "old report");
  fs::create_directory(dir.path() / "a-folder.out");
  const struct {
    const char* what;
    fs::path path;
    int error;
  } cases[] = {
      {"folder missing", dir.path() / "missing" / "run.out", ENOENT},
      {"target is a folder", dir.path() / "a-folder.out", EISDIR},
      {"name too long", dir.path() / std::string(256, 'n'), ENAMETOOLONG},
  };
  const std::set<std::string> before = names_in(dir.path());
  for (const auto& c : cases) {
    const FileWrite w = write_file_atomically(c.path, "text");
    EXPECT_FALSE(w) << c.what;
    EXPECT_EQ(w.error, c.error) << c.what;
    EXPECT_EQ(w.reason(), std::strerror(c.error)) << c.what;
    EXPECT_EQ(names_in(dir.path()), before) << c.what;
  }

  // A file too large for the process's size limit fails while it is written.
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit old_limit{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  rlimit small = old_limit;
  small.rlim_cur = 4;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const FileWrite too_big = write_file_atomically(dir.path() / "old.out", "a new report");
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &old_limit), 0);
  std::signal(SIGXFSZ, SIG_DFL);
  EXPECT_EQ(too_big.error, EFBIG);
  EXPECT_EQ(TempDir::read(dir.path() / "old.out"), "old report");
  EXPECT_EQ(names_in(dir.path()), before);
}

// A write killed between creating its temporary and the rename leaves the temporary behind; the
// next write into the folder removes it once it has lain untouched for a minute, and nothing
// else: not a fresh one (a write in progress), not other names, not a folder.
TEST(WriteFileAtomically, RemovesTemporariesThatKilledWritesLeftBehind) {
  TempDir dir;
  auto age = [&](const std::string& name, long seconds) {
    const fs::path p = dir.path() / name;
    const utimbuf times{std::time(nullptr) - seconds, std::time(nullptr) - seconds};
    ASSERT_EQ(::utime(p.c_str(), &times), 0) << name;
  };
  for (const char* name : {".brx-a1B2c3", ".brx-ZZZZZZ", ".brx-fresh1", ".brx-abc12",
                           ".brx-abc1234", "x.brx-abc123", ".brx-ab-c12", "data.dat"}) {
    dir.write(name, "left");
    age(name, 120);
  }
  age(".brx-fresh1", 5);
  fs::create_directory(dir.path() / ".brx-folder");
  age(".brx-folder", 120);
  ASSERT_TRUE(write_file_atomically(dir.path() / "run.out", "report"));
  EXPECT_EQ(names_in(dir.path()),
            (std::set<std::string>{".brx-fresh1", ".brx-abc12", ".brx-abc1234", "x.brx-abc123",
                                   ".brx-ab-c12", "data.dat", ".brx-folder", "run.out"}));
}

// Two writers of one file each use a temporary of their own: the file ends as one of them wrote
// it, whole.
TEST(WriteFileAtomically, TwoWritersOfOneFileDoNotMixTheirContent) {
  TempDir dir;
  const fs::path path = dir.path() / "shared.out";
  const std::string a(100000, 'a'), b(70000, 'b');
  auto writer = [&](const std::string& text) {
    for (int i = 0; i < 40; ++i) EXPECT_TRUE(write_file_atomically(path, text));
  };
  std::thread first(writer, a), second(writer, b);
  first.join();
  second.join();
  const std::string last = TempDir::read(path);
  EXPECT_TRUE(last == a || last == b);
  EXPECT_EQ(names_in(dir.path()), std::set<std::string>{"shared.out"});
}

}  // namespace
}  // namespace brx
