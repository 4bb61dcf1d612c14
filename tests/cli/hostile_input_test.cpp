// The batch command against hostile and unlucky input: files that are not files, too large or
// too long, names and lines full of control characters and stray bytes, reports that would
// overwrite each other, limits on threads, an output that cannot be written.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "cli/batch.h"
#include "tests/cli/batch_command.h"
#include "tests/support/temp_dir.h"
#include "tests/support/unwritable_folder.h"

namespace brx::test {
namespace {

namespace fs = std::filesystem;

// Opens the test's folder to the unprivileged user the permission tests run as.
void open_to_everyone(const TempDir& dir) {
  ::chmod(dir.path().c_str(), 0777);
  for (const auto& entry : fs::directory_iterator(dir.path())) ::chmod(entry.path().c_str(), 0666);
}

// The first of run7.dat, run7.csv and ./run7.dat is analysed, the others would write its report
// and are refused; a failed run leaves an older report where it was (it is the user's file) but
// never passes it off as this run's, nor does a report that cannot be written.
TEST(BatchCommand, RefusedAndFailedFilesHaveNoReportAndOlderOnesAreSaidToBeOld) {
  TempDir dir;
  dir.write("run7.dat", example());
  dir.write("run7.csv", "4.5\n0, 0\n1, 1\n2, 2\n");
  dir.write("a.dat", "4.5\n0, 0\n0.2\n");
  dir.write("a.out", "old report");
  BatchResult r = batch(dir, "--json run7.dat run7.csv a.dat ./run7.dat");
  EXPECT_EQ(r.status, kExitSomeFailed);
  ASSERT_EQ(r.lines.size(), 4u);
  EXPECT_TRUE(contains(r.lines[0], "\"body\":\"full\",\"n\":13,")) << r.lines[0];
  EXPECT_EQ(r.lines[1], "{\"file\":\"run7.csv\",\"error\":\"run7.csv: not analysed: its report " +
                            (dir.path() / "run7.out").string() +
                            " would replace the report of run7.dat\",\"report\":null}");
  EXPECT_TRUE(contains(r.lines[2], "; the existing report " + (dir.path() / "a.out").string() +
                                       " is from an earlier run\",\"report\":null}"))
      << r.lines[2];
  EXPECT_EQ(TempDir::read(dir.path() / "a.out"), "old report");
  EXPECT_TRUE(contains(r.lines[3], "would replace the report of run7.dat")) << r.lines[3];

  TempDir locked;
  locked.write("b.dat", example());
  locked.write("b.out", "old report");
  make_unwritable(locked.path());
  r = batch(locked, "--json b.dat", as_unprivileged_user());
  fs::permissions(locked.path(), fs::perms::owner_all);
  EXPECT_EQ(r.status, kExitSomeFailed);
  EXPECT_TRUE(contains(r.lines.at(0), "{\"file\":\"b.dat\",\"report\":null,\"body\":\"full\""));
  EXPECT_EQ(r.errors, "b.dat: the report " + (locked.path() / "b.out").string() +
                          " could not be written: Permission denied; the existing report " +
                          (locked.path() / "b.out").string() + " is from an earlier run\n");
}

// A named pipe, a device, an unreadable file and a 100 MB line are each refused at once with
// their reason, in a message of a few lines; too many rows for --max-rows too. The others are
// analysed.
TEST(BatchCommand, RefusesFilesThatAreNoDataFilesQuicklyAndBriefly) {
  TempDir dir;
  dir.write("a.dat", example());  // 13 data rows
  dir.write("locked.dat", example());
  ASSERT_EQ(::mkfifo((dir.path() / "pipe.dat").c_str(), 0666), 0);
  {
    std::ofstream big(dir.path() / "big.dat", std::ios::binary);
    big << "4.5\n0, 0\n\x1b[2J";
    const std::string block(1 << 20, 'x');
    for (int k = 0; k < 100; ++k) big << block;
    big << "\n1, 2\n";
  }
  open_to_everyone(dir);
  ::chmod((dir.path() / "locked.dat").c_str(), 0);
  BatchResult r = batch(dir, "--json pipe.dat /dev/zero locked.dat big.dat a.dat",
                        "timeout 60 " + as_unprivileged_user());
  EXPECT_EQ(r.status, kExitSomeFailed);
  ASSERT_EQ(r.lines.size(), 5u) << r.errors;
  const std::string at = dir.path().string() + "/";
  EXPECT_TRUE(contains(r.errors, at + "pipe.dat: is not a regular file (a named pipe)\n"));
  EXPECT_TRUE(contains(r.errors, "/dev/zero: is not a regular file (a character device)\n"));
  EXPECT_TRUE(contains(r.errors, at + "locked.dat: cannot be read: Permission denied\n"));
  EXPECT_TRUE(contains(r.errors, at + "big.dat:3: the line is longer than 65536 characters: \"" +
                                     "\\x1b[2J" + std::string(76, 'x') + "\u2026\"\n"))
      << r.errors.substr(0, 1000);
  EXPECT_LT(r.lines[3].size(), 300u);
  EXPECT_TRUE(contains(r.lines[4], "\"body\":\"full\""));

  r = batch(dir, "--max-rows 12 a.dat");
  EXPECT_TRUE(contains(r.errors, "a.dat: holds 13 data rows, more than the 12 that are analysed"));
  EXPECT_EQ(batch(dir, "--max-rows=13 a.dat").status, kExitAllAnalysed);
}

// The JSON is valid UTF-8 whatever bytes the names and lines hold (stray bytes become U+FFFD),
// and the text output shows them escaped: one line per file, no control character.
TEST(BatchCommand, NamesAndLinesOfAnyBytesGiveValidJsonAndEscapedText) {
  TempDir dir;
  dir.write("bad\xFF\x1b\n.dat", std::string("4.5\n0, 0\n1\0\xFE\x1b[2J, 2\n", 20));
  dir.write("caf\xE9.dat", example());
  const std::string args = "\"$(printf 'bad\\377\\033\\n.dat')\" \"$(printf 'caf\\351.dat')\"";
  BatchResult r = batch(dir, "--json " + args);
  ASSERT_EQ(r.lines.size(), 2u);
  const fs::path lines = dir.write("lines.json", r.lines[0] + "\n" + r.lines[1] + "\n");
  EXPECT_EQ(std::system(("python3 -c \"import json, sys\nfor line in open(sys.argv[1], 'rb'):\n"
                         "    json.loads(line.decode('utf-8'))\" '" +
                         lines.string() + "'")
                            .c_str()),
            0)
      << r.lines[0] << "\n"
      << r.lines[1];
  EXPECT_EQ(r.lines[0].rfind("{\"file\":\"bad\xEF\xBF\xBD\\u001b\\u000a.dat\",\"error\":", 0), 0u)
      << r.lines[0];

  r = batch(dir, args);
  EXPECT_EQ(r.lines.at(0).rfind("caf\\xe9.dat: kd=", 0), 0u) << r.lines[0];
  EXPECT_TRUE(contains(r.errors,
                       "/bad\\xff\\x1b\\x0a.dat:3: expected a time and a product "
                       "value: \"1\\x00\\xfe\\x1b[2J, 2\"\n"))
      << r.errors;
}

// With no thread to be had (a limit on processes), the command analyses every file on its own
// thread instead of aborting with the finished results lost.
TEST(BatchCommand, GoesOnWithTheThreadsItHas) {
  TempDir dir;
  for (const char* name : {"a.dat", "b.dat", "c.dat"}) dir.write(name, example());
  open_to_everyone(dir);
  const BatchResult r =
      batch(dir, "-j 4 a.dat b.dat c.dat",
            // ulimit -u 1 (the shell here has no ulimit -u); no leak check, which needs a thread
            "ASAN_OPTIONS=detect_leaks=0 prlimit --nproc=1 " + as_unprivileged_user());
  EXPECT_EQ(r.status, kExitAllAnalysed) << r.errors;
  EXPECT_EQ(r.lines.size(), 3u);
  EXPECT_TRUE(contains(r.errors, "could not start another thread")) << r.errors;
}

TEST(BatchCommand, AnOutputThatCannotBeWrittenFailsTheCommand) {
  TempDir dir;
  dir.write("a.dat", example());
  const fs::path err = dir.path() / "stderr.txt";
  const int raw = std::system(("cd '" + dir.path().string() + "' && " + BRX_BATCH_EXE +
                               " --json a.dat >/dev/full 2>'" + err.string() + "'")
                                  .c_str());
  EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == kExitSomeFailed);
  EXPECT_TRUE(contains(TempDir::read(err), "standard output"));
}

}  // namespace
}  // namespace brx::test
