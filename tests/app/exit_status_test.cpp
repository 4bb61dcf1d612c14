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

namespace fs = std::filesystem;

struct Finished {
  int status = -1;
  std::string out, err;
};

// Runs `program args` in `dir` under the environment changes `env` (arguments of env(1)); the
// output streams are kept elsewhere, as `dir` may be unwritable.
Finished run_in(const fs::path& dir, const std::string& env, const std::string& program,
                const std::string& args) {
  const test::TempDir streams;
  const auto out = streams.path() / "stdout.txt";
  const auto err = streams.path() / "stderr.txt";
  const std::string command = "cd '" + dir.string() + "' && env " + env + " '" + program + "' " +
                              args + " >'" + out.string() + "' 2>'" + err.string() + "'";
  const int raw = std::system(command.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, test::TempDir::read(out),
          test::TempDir::read(err)};
}

// The desktop program's entry with a scripted user (see scripted_desktop.cpp). A stop from the
// analysis (tied times) ends it with status 1 and "STOP <text>" on standard error, after its
// message box. A report the folder cannot take is only named in an error box: the program goes on
// until Quit, which ends it with status 0.
TEST(ExitStatus, QuitAndStopsEndTheProgramButErrorBoxesDoNot) {
  const std::string example = test::TempDir::read(fs::path(BRX_EXAMPLES_DIR) / "example.dat");
  const struct {
    const char *file, *contents, *steps;
    bool unwritable;
    int status;
    const char *out, *named, *err;
  } cases[] = {
      {"tied.dat", "4.5\n1, 1\n1, 2\n1, 3\n1, 4\n1, 5\n", "open:tied.dat run", false, 1,
       "BOX Error: Time values in file must not be equal! Program terminated!", nullptr,
       "STOP Run Aborted!\n"},
      {"a.dat", example.c_str(), "open:a.dat run quit", true, 0,
       "BOX Error: The report could not be written:\n/", "a.out\nPermission denied", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    test::TempDir dir;
    if (c.contents) dir.write(c.file, c.contents);
    if (c.unwritable) test::make_unwritable(dir.path());
    const std::string env =
        c.unwritable ? "-u XDG_RUNTIME_DIR " + test::as_unprivileged_user() : std::string();
    const Finished f = run_in(dir.path(), env + "timeout 60", BRX_SCRIPTED_PROGRAM, c.steps);
    fs::permissions(dir.path(), fs::perms::owner_all);
    EXPECT_EQ(f.status, c.status);
    EXPECT_NE(f.out.find(c.out), std::string::npos) << f.out;
    if (c.named) {
      EXPECT_NE(f.out.find((dir.path() / c.named).string()), std::string::npos) << f.out;
    }
    EXPECT_EQ(f.err.find("STOP") == std::string::npos, *c.err == '\0') << f.err;
    EXPECT_NE(f.err.find(c.err), std::string::npos) << f.err;
    EXPECT_FALSE(fs::exists(dir.path() / fs::path(c.file).replace_extension(".out")));
  }
}

TEST(ExitStatus, TheDesktopProgramSaysSoWhenThereIsNoDisplay) {
  test::TempDir dir;
  const std::string no_display = "-u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM";
  const Finished f = run_in(dir.path(), no_display, BRX_DESKTOP_PROGRAM, "");
  EXPECT_EQ(f.status, 1);
  EXPECT_NE(f.err.find("no display"), std::string::npos) << f.err;
  EXPECT_EQ(run_in(dir.path(), no_display, BRX_DESKTOP_PROGRAM, "--help").status, 0);
}

}  // namespace
}  // namespace brx
