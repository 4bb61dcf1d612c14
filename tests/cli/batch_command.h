#pragma once
// Runs the batch command as a user would, from a shell in a test's folder, and collects what it
// printed.

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace brx::test {

struct BatchResult {
  int status = -1;
  std::vector<std::string> lines;  // standard output
  std::string errors;              // standard error
};

// Runs the batch command in `dir` with `args` (shell words); `prefix` goes before the program
// (another user, a limit, a timeout).
inline BatchResult batch(const TempDir& dir, const std::string& args,
                         const std::string& prefix = {}) {
  const TempDir outputs;
  const std::filesystem::path out = outputs.path() / "stdout.txt",
                              err = outputs.path() / "stderr.txt";
  const std::string command = "cd '" + dir.path().string() + "' && " + prefix + BRX_BATCH_EXE +
                              " " + args + " >'" + out.string() + "' 2>'" + err.string() + "'";
  const int raw = std::system(command.c_str());
  BatchResult r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  std::istringstream lines(TempDir::read(out));
  for (std::string line; std::getline(lines, line);) r.lines.push_back(line);
  r.errors = TempDir::read(err);
  return r;
}

inline std::string example() {
  return TempDir::read(std::filesystem::path(BRX_EXAMPLES_DIR) / "example.dat");
}

inline bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

}  // namespace brx::test
