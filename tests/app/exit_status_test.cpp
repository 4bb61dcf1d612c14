// The exit status and output streams of the desktop program, run as a child process.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/temp_dir.h"
#include "tests/support/unwritable_folder.h"

namespace brx {
namespace {

struct Finished {
  int status = -1;
  std::string out, err;
};

// Runs `program args` in `dir` under the environment changes `env` (arguments of env(1)).
Finished run_in(const test::TempDir& dir, const std::string& env, const std::string& program,
                const std::string& args) {
  const auto out = dir.path() / "stdout.txt";
  const auto err = dir.path() / "stderr.txt";
  const std::string command = "cd '" + dir.path().string() + "' && env " + env + " '" + program +
                              "' " + args + " >'" + out.string() + "' 2>'" + err.string() + "'";
  const int raw = std::system(command.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, test::TempDir::read(out),
          test::TempDir::read(err)};
}

// Runs the desktop program's entry with a scripted user (see scripted_desktop.cpp).
Finished run_scripted(const test::TempDir& dir, const std::string& steps) {
  return run_in(dir, "timeout 60", BRX_SCRIPTED_PROGRAM, steps);
}

TEST(ExitStatus, QuitEndsTheProgramWithStatusZero) {
  test::TempDir dir;
  const Finished f = run_scripted(dir, "quit");
  EXPECT_EQ(f.status, 0);
  EXPECT_EQ(f.err.find("STOP"), std::string::npos) << f.err;
}

// A stop from the analysis ends the program with status 1 and "STOP <text>" on standard error,
// after its message box (tied times). A missing data file is only named in an error box: the
// program goes on until Quit.
TEST(ExitStatus, AStopEndsTheProgramWithItsMessageButAMissingFileDoesNot) {
  const struct {
    const char *file, *contents, *steps;
    int status;
    const char *out, *err;
  } cases[] = {
      {"tied.dat", "4.5\n1, 1\n1, 2\n1, 3\n1, 4\n1, 5\n", "open:tied.dat run", 1,
       "BOX Error: Time values in file must not be equal! Program terminated!",
       "STOP Run Aborted!\n"},
      {"missing.dat", nullptr, "open:missing.dat run quit", 0,
       "BOX Error: No data file was found!\n/", ""},
  };
  for (const auto& c : cases) {
    test::TempDir dir;
    if (c.contents) dir.write(c.file, c.contents);
    const Finished f = run_scripted(dir, c.steps);
    EXPECT_EQ(f.status, c.status) << c.file;
    EXPECT_NE(f.out.find(c.out), std::string::npos) << f.out;
    if (c.contents == nullptr) {  // the box names the missing file
      EXPECT_NE(f.out.find((dir.path() / c.file).string() + "\n"), std::string::npos) << f.out;
    }
    EXPECT_EQ(f.err.find("STOP") == std::string::npos, *c.err == '\0') << f.err;
    EXPECT_NE(f.err.find(c.err), std::string::npos) << f.err;
    EXPECT_FALSE(std::filesystem::exists(dir.path() /
                                         std::filesystem::path(c.file).replace_extension(".out")));
  }
}

// A data file in a folder the user cannot write to: the report is named in an error box with
// the reason, and the program goes on until Quit.
TEST(ExitStatus, AnUnwritableFolderIsNamedInAnErrorBoxAndTheProgramGoesOn) {
  test::TempDir dir;
  std::filesystem::copy_file(std::filesystem::path(BRX_EXAMPLES_DIR) / "example.dat",
                             dir.path() / "a.dat");
  test::make_unwritable(dir.path());
  const test::TempDir outputs;  // the folder above cannot take them
  const std::string command = "cd '" + dir.path().string() + "' && env -u XDG_RUNTIME_DIR " +
                              test::as_unprivileged_user() + "timeout 60 '" + BRX_SCRIPTED_PROGRAM +
                              "' open:a.dat run quit >'" + (outputs.path() / "out").string() +
                              "' 2>/dev/null";
  const int raw = std::system(command.c_str());
  EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 0);
  EXPECT_NE(test::TempDir::read(outputs.path() / "out")
                .find("BOX Error: The report could not be written:\n" +
                      (dir.path() / "a.out").string() + "\nPermission denied"),
            std::string::npos)
      << test::TempDir::read(outputs.path() / "out");
  std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all);
}

TEST(ExitStatus, TheDesktopProgramWaitsForTheUserAndSaysSoWhenThereIsNoDisplay) {
  test::TempDir dir;
  // Headless it starts and waits until timeout(1) ends it.
  EXPECT_EQ(run_in(dir, "QT_QPA_PLATFORM=offscreen timeout 1.5", BRX_DESKTOP_PROGRAM, "").status,
            124);
  const std::string no_display = "-u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM";
  const Finished f = run_in(dir, no_display, BRX_DESKTOP_PROGRAM, "");
  EXPECT_EQ(f.status, 1);
  EXPECT_NE(f.err.find("no display"), std::string::npos) << f.err;
  EXPECT_EQ(run_in(dir, no_display, BRX_DESKTOP_PROGRAM, "--help").status, 0);
}

}  // namespace
}  // namespace brx
