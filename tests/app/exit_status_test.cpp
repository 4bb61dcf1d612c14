// The exit status and output streams of the desktop program, run as a child process.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

#include "tests/support/temp_dir.h"

extern char** environ;

namespace brx {
namespace {

struct Finished {
  int status = -1;
  std::string out, err;
};

// Runs the scripted program in `dir` with the given steps.
Finished run_scripted(const test::TempDir& dir, const std::string& steps) {
  const auto out = dir.path() / "stdout.txt";
  const auto err = dir.path() / "stderr.txt";
  const std::string command = "cd '" + dir.path().string() + "' && timeout 60 '" +
                              BRX_SCRIPTED_PROGRAM + "' " + steps + " >'" + out.string() + "' 2>'" +
                              err.string() + "'";
  const int raw = std::system(command.c_str());
  Finished f;
  f.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  f.out = test::TempDir::read(out);
  f.err = test::TempDir::read(err);
  return f;
}

TEST(ExitStatus, QuitEndsTheProgramWithStatusZero) {
  test::TempDir dir;
  const Finished f = run_scripted(dir, "quit");
  EXPECT_EQ(f.status, 0);
  EXPECT_EQ(f.err.find("STOP"), std::string::npos) << f.err;
}

TEST(ExitStatus, TiedTimesEndTheProgramAfterTheErrorBox) {
  test::TempDir dir;
  dir.write("tied.dat", "4.5\n1, 1\n1, 2\n1, 3\n1, 4\n1, 5\n");
  const Finished f = run_scripted(dir, "open:tied.dat run");
  EXPECT_EQ(f.status, 1);
  EXPECT_NE(f.out.find("BOX Error: Time values in file must not be equal! Program terminated!"),
            std::string::npos)
      << f.out;
  EXPECT_NE(f.err.find("STOP Run Aborted!\n"), std::string::npos) << f.err;
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "tied.out"));
}

TEST(ExitStatus, AMissingDataFileIsToldOnStandardOutput) {
  test::TempDir dir;
  const Finished f = run_scripted(dir, "open:missing.dat run");
  EXPECT_EQ(f.status, 1);
  EXPECT_NE(f.out.find("\nNo data file was found!\n\n"), std::string::npos) << f.out;
  EXPECT_NE(f.err.find("STOP EXECUTION L4275\n"), std::string::npos) << f.err;
}

TEST(ExitStatus, WithoutADisplayTheDesktopProgramSaysSoInsteadOfFailingInTheToolkit) {
  test::TempDir dir;
  const auto err = dir.path() / "err.txt";
  const std::string run = std::string("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '") +
                          BRX_DESKTOP_PROGRAM + "'";
  int raw = std::system((run + " 2>'" + err.string() + "'").c_str());
  EXPECT_EQ(WEXITSTATUS(raw), 1);
  EXPECT_NE(test::TempDir::read(err).find("no display"), std::string::npos);
  raw = std::system((run + " --help >/dev/null").c_str());
  EXPECT_EQ(WEXITSTATUS(raw), 0);
}

TEST(ExitStatus, TheDesktopProgramStartsHeadlessAndWaitsForTheUser) {
  test::TempDir dir;
  const std::string program = BRX_DESKTOP_PROGRAM;
  char* args[] = {const_cast<char*>(program.c_str()), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  const std::string log = (dir.path() / "log.txt").string();
  posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  pid_t pid = 0;
  ASSERT_EQ(posix_spawn(&pid, program.c_str(), &actions, nullptr, args, environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  int raw = 0;
  const pid_t gone = waitpid(pid, &raw, WNOHANG);
  EXPECT_EQ(gone, 0) << "the program ended by itself: " << test::TempDir::read(log);
  if (gone == 0) {
    kill(pid, SIGTERM);
    waitpid(pid, &raw, 0);
  }
}

}  // namespace
}  // namespace brx
