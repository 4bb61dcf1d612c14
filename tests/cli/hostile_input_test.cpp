// The batch command against hostile and unlucky input: files that are not files, too large or
// too long, names and lines full of control characters and stray bytes, reports that would
// overwrite each other, limits on threads, an output that cannot be written.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli/batch.h"
#include "cli/report_collisions.h"
#include "tests/cli/batch_command.h"
#include "tests/support/temp_dir.h"
#include "tests/support/unwritable_folder.h"

namespace brx {
namespace {

namespace fs = std::filesystem;
using test::BatchResult;
using test::TempDir;

BatchResult batch(const TempDir& dir, const std::string& args, const std::string& prefix = {}) {
  return test::run_batch_command(dir, args, prefix);
}

std::string example() {
  return TempDir::read(fs::path(BRX_EXAMPLES_DIR) / "example.dat");
}

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Opens the test's folder to the unprivileged user the permission tests run as.
void open_to_everyone(const TempDir& dir) {
  ::chmod(dir.path().c_str(), 0777);
  for (const auto& entry : fs::directory_iterator(dir.path())) ::chmod(entry.path().c_str(), 0666);
}

TEST(ReportCollisions, RefuseTheSecondOfTwoInputsWithOneReport) {
  TempDir dir;
  const std::string d = dir.path().string() + "/";
  const struct {
    std::vector<std::string> files;
    std::vector<std::string> refused;  // a part of each file's message; empty: analysed
  } cases[] = {
      {{d + "run7.dat", d + "run7.csv"},
       {"", "report " + d + "run7.out would replace the report of " + d + "run7.dat"}},
      {{d + "ab", d + "dat", d + "OUT"},
       {"", "would replace the report of " + d + "ab", "would replace the report of " + d + "ab"}},
      {{d + "run7.dat", d + "./run7.dat"}, {"", "would replace the report of " + d + "run7.dat"}},
      // abcd's report is aout, one of the files, whichever comes first.
      {{d + "abcd", d + "aout"},
       {"report " + d + "aout would replace the data file " + d + "aout", ""}},
      {{d + "aout", d + "abcd"}, {"", "would replace the data file " + d + "aout"}},
      {{d + "x\xE6\x97\xA5", d + "xout"}, {"", ""}},  // x日 has two characters: its report is "out"
      {{d + "out"}, {""}},                            // its own report: the run refuses it
      {{d + "run7.dat", d + "run8.dat"}, {"", ""}},
  };
  for (const auto& c : cases) {
    const std::vector<std::string> why = report_collisions(c.files);
    ASSERT_EQ(why.size(), c.refused.size());
    for (std::size_t i = 0; i < why.size(); ++i) {
      if (c.refused[i].empty()) {
        EXPECT_EQ(why[i], "") << c.files[i];
      } else {
        EXPECT_EQ(why[i].rfind(c.files[i] + ": not analysed: its report ", 0), 0u) << why[i];
        EXPECT_TRUE(contains(why[i], c.refused[i])) << why[i];
      }
    }
  }
}

// run7.dat and run7.csv both write run7.out: the first is analysed, the second refused, and the
// command fails.
TEST(BatchCommand, RefusesAnInputWhoseReportIsAnothersAndKeepsTheFirst) {
  TempDir dir;
  dir.write("run7.dat", example());
  dir.write("run7.csv", "4.5\n0, 0\n1, 1\n2, 2\n");
  const BatchResult r = batch(dir, "--json run7.dat run7.csv");
  EXPECT_EQ(r.status, kExitSomeFailed);
  ASSERT_EQ(r.lines.size(), 2u);
  EXPECT_TRUE(contains(r.lines[0], "\"body\":\"full\",\"n\":13,")) << r.lines[0];
  EXPECT_EQ(r.lines[1], "{\"file\":\"run7.csv\",\"error\":\"run7.csv: not analysed: its report " +
                            (dir.path() / "run7.out").string() +
                            " would replace the report of run7.dat\",\"report\":null}");
  EXPECT_TRUE(contains(TempDir::read(dir.path() / "run7.out"), "Brevantix-kd"));
}

TEST(BatchCommand, MaxRowsBoundsTheFilesAnalysed) {
  TempDir dir;
  dir.write("a.dat", example());  // 13 data rows
  BatchResult r = batch(dir, "--max-rows 12 a.dat");
  EXPECT_EQ(r.status, kExitSomeFailed);
  EXPECT_EQ(r.errors, (dir.path() / "a.dat").string() +
                          ": holds 13 data rows, more than the 12 that are analysed at most\n");
  EXPECT_TRUE(r.lines.empty());
  r = batch(dir, "--max-rows=13 a.dat");
  EXPECT_EQ(r.status, kExitAllAnalysed) << r.errors;
  for (const char* args : {"--max-rows", "--max-rows 0 a.dat", "--max-rows=x a.dat",
                           "--max-rows -5 a.dat", "--max-rows 99999999999 a.dat"}) {
    EXPECT_EQ(batch(dir, args).status, kExitUsage) << args;
  }
}

// A named pipe, a device, an unreadable file and a 100 MB line are each refused at once with
// their reason, in a message of a few lines; the other files are analysed.
TEST(BatchCommand, RefusesFilesThatAreNoDataFilesQuicklyAndBriefly) {
  TempDir dir;
  dir.write("a.dat", example());
  ASSERT_EQ(::mkfifo((dir.path() / "pipe.dat").c_str(), 0666), 0);
  {
    std::ofstream big(dir.path() / "big.dat", std::ios::binary);
    big << "4.5\n0, 0\n\x1b[2J";
    const std::string block(1 << 20, 'x');
    for (int k = 0; k < 100; ++k) big << block;
    big << "\n1, 2\n";
  }
  dir.write("locked.dat", example());
  open_to_everyone(dir);
  ::chmod((dir.path() / "locked.dat").c_str(), 0);
  const BatchResult r = batch(dir, "--json pipe.dat /dev/zero locked.dat big.dat a.dat",
                              "timeout 60 " + test::as_unprivileged_user());
  EXPECT_EQ(r.status, kExitSomeFailed);
  ASSERT_EQ(r.lines.size(), 5u) << r.errors;
  const std::string at = dir.path().string() + "/";
  EXPECT_TRUE(contains(r.errors, at + "pipe.dat: is not a regular file (a named pipe)\n"));
  EXPECT_TRUE(contains(r.errors, "/dev/zero: is not a regular file (a character device)\n"));
  EXPECT_TRUE(contains(r.errors, at + "locked.dat: cannot be read: Permission denied\n"))
      << r.errors;
  const std::string big = at + "big.dat:3: the line is longer than 65536 characters: \"\\x1b[2J" +
                          std::string(76, 'x') + "\u2026\"\n";
  EXPECT_TRUE(contains(r.errors, big)) << r.errors.substr(0, 1000);
  EXPECT_LT(big.size(), 200u);
  EXPECT_LT(r.lines[3].size(), 300u);
  EXPECT_TRUE(contains(r.lines[4], "\"body\":\"full\""));
}

// The JSON is valid UTF-8 whatever bytes the names and lines hold (stray bytes become U+FFFD),
// and the text output shows them escaped: one line per file, no control character.
TEST(BatchCommand, NamesAndLinesOfAnyBytesGiveValidJsonAndEscapedText) {
  if (std::system("python3 -c 'import json' 2>/dev/null") != 0) GTEST_SKIP() << "no python3";
  TempDir dir;
  const std::string odd = "bad\xFF\x1b\n.dat", latin = "caf\xE9.dat";
  dir.write(odd, std::string("4.5\n0, 0\n1\0\xFE\x1b[2J, 2\n", 20));
  dir.write(latin, example());
  const std::string args = "\"$(printf 'bad\\377\\033\\n.dat')\" \"$(printf 'caf\\351.dat')\"";
  BatchResult r = batch(dir, "--json " + args);
  EXPECT_EQ(r.status, kExitSomeFailed);
  ASSERT_EQ(r.lines.size(), 2u);
  const TempDir checker;
  const fs::path lines = checker.write("lines.json", r.lines[0] + "\n" + r.lines[1] + "\n");
  const std::string check =
      "python3 -c \"import json, sys\n"
      "for line in open(sys.argv[1], 'rb'):\n"
      "    json.loads(line.decode('utf-8'))\" '" +
      lines.string() + "'";
  EXPECT_EQ(std::system(check.c_str()), 0) << r.lines[0] << "\n" << r.lines[1];
  EXPECT_EQ(r.lines[0].rfind("{\"file\":\"bad\xEF\xBF\xBD\\u001b\\u000a.dat\",\"error\":", 0), 0u)
      << r.lines[0];
  EXPECT_TRUE(contains(r.lines[0], ":3: expected a time and a product value: \\\"1\\\\x00\\\\xfe"))
      << r.lines[0];
  EXPECT_EQ(r.lines[1].rfind("{\"file\":\"caf\xEF\xBF\xBD.dat\",\"report\":\"", 0), 0u);

  r = batch(dir, args);
  ASSERT_EQ(r.lines.size(), 1u);
  EXPECT_EQ(r.lines[0].rfind("caf\\xe9.dat: kd=", 0), 0u) << r.lines[0];
  EXPECT_TRUE(contains(r.errors,
                       "/bad\\xff\\x1b\\x0a.dat:3: expected a time and a product "
                       "value: \"1\\x00\\xfe\\x1b[2J, 2\"\n"))
      << r.errors;
  EXPECT_EQ(r.errors.find('\x1b'), std::string::npos);
}

// A failed run leaves an older report where it was (it is the user's file) but never passes it
// off as this run's: "report" is null and the message says where it comes from.
TEST(BatchCommand, AFailedRunSaysAnOlderReportIsFromAnEarlierRun) {
  TempDir dir;
  dir.write("a.dat", "4.5\n0, 0\n0.2\n");
  dir.write("a.out", "old report");
  dir.write("tied.dat", "4.5\n1, 1\n1, 2\n1, 3\n1, 4\n1, 5\n");
  dir.write("tied.out", "old report");
  BatchResult r = batch(dir, "--json a.dat tied.dat");
  EXPECT_EQ(r.status, kExitSomeFailed);
  ASSERT_EQ(r.lines.size(), 2u);
  const std::string earlier =
      "; the existing report " + (dir.path() / "a.out").string() + " is from an earlier run";
  EXPECT_TRUE(contains(r.lines[0], earlier + "\",\"report\":null}")) << r.lines[0];
  EXPECT_TRUE(contains(r.errors, "(STOP Run Aborted!); the existing report " +
                                     (dir.path() / "tied.out").string() +
                                     " is from an earlier run\n"))
      << r.errors;
  EXPECT_EQ(TempDir::read(dir.path() / "a.out"), "old report");

  // A report that cannot be written: the analysis is printed, its report is not.
  TempDir locked;
  locked.write("b.dat", example());
  locked.write("b.out", "old report");
  test::make_unwritable(locked.path());
  r = batch(locked, "--json b.dat", test::as_unprivileged_user());
  fs::permissions(locked.path(), fs::perms::owner_all);
  EXPECT_EQ(r.status, kExitSomeFailed);
  ASSERT_EQ(r.lines.size(), 1u);
  EXPECT_TRUE(contains(r.lines[0], "{\"file\":\"b.dat\",\"report\":null,\"body\":\"full\""));
  EXPECT_TRUE(contains(r.errors, "could not be written: Permission denied; the existing report " +
                                     (locked.path() / "b.out").string() +
                                     " is from an earlier run"))
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
            "ASAN_OPTIONS=detect_leaks=0 prlimit --nproc=1 " + test::as_unprivileged_user());
  EXPECT_EQ(r.status, kExitAllAnalysed) << r.errors;
  ASSERT_EQ(r.lines.size(), 3u);
  EXPECT_EQ(r.lines[2].rfind("c.dat: kd=", 0), 0u);
  EXPECT_TRUE(contains(r.errors, "could not start another thread")) << r.errors;
  // More jobs than anyone could want are fine too.
  EXPECT_EQ(batch(dir, "-j 100000 a.dat b.dat").status, kExitAllAnalysed);
}

TEST(BatchCommand, WritesTheReportOfALongName) {
  TempDir dir;
  const std::string name = std::string(246, 'n') + ".dat";  // 250 bytes; the limit is 255
  dir.write(name, example());
  const BatchResult r = batch(dir, name);
  EXPECT_EQ(r.status, kExitAllAnalysed) << r.errors;
  EXPECT_TRUE(fs::exists(dir.path() / (std::string(246, 'n') + ".out")));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
}

TEST(BatchCommand, AnOutputThatCannotBeWrittenFailsTheCommand) {
  TempDir dir;
  dir.write("a.dat", example());
  const fs::path err = dir.path() / "stderr.txt";
  for (const char* args : {"a.dat", "--json a.dat", "--help"}) {
    const std::string command = "cd '" + dir.path().string() + "' && " + BRX_BATCH_EXE + " " +
                                args + " >/dev/full 2>'" + err.string() + "'";
    const int raw = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == kExitSomeFailed) << args;
    EXPECT_TRUE(contains(TempDir::read(err), "standard output")) << args;
  }
  EXPECT_TRUE(contains(TempDir::read(err), "No space left on device") ||
              contains(TempDir::read(err), "could not be written"));
}

}  // namespace
}  // namespace brx
