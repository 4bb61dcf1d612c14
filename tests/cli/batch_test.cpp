#include "cli/batch.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace brx {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

struct Result {
  int status = -1;
  std::string out;
  std::vector<std::string> lines;
};

// Runs the batch command with `args` (standard error into err_file) and collects its output.
Result batch(const std::string& args, const fs::path& err_file) {
  const std::string command =
      std::string(BRX_BATCH_EXE) + " " + args + " 2>'" + err_file.string() + "'";
  Result r;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return r;
  char buf[4096];
  for (std::size_t got; (got = fread(buf, 1, sizeof buf, pipe)) > 0;) r.out.append(buf, got);
  const int raw = pclose(pipe);
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  std::size_t start = 0;
  for (std::size_t end; (end = r.out.find('\n', start)) != std::string::npos; start = end + 1) {
    r.lines.push_back(r.out.substr(start, end - start));
  }
  return r;
}

std::string example() {
  return TempDir::read(fs::path(BRX_EXAMPLES_DIR) / "example.dat");
}

TEST(BatchCommand, UsageErrorsExitWithTwo) {
  TempDir dir;
  const fs::path err = dir.path() / "err.txt";
  for (const char* args : {"", "--frobnicate x.dat", "-j", "-j 0 x.dat", "-j x x.dat", "--json"}) {
    const Result r = batch(args, err);
    EXPECT_EQ(r.status, kExitUsage) << args;
    EXPECT_TRUE(r.out.empty()) << args;
    EXPECT_NE(TempDir::read(err).find("--help"), std::string::npos) << args;
  }
  EXPECT_EQ(batch("--help", err).out.rfind("Usage: brevantix-kd-batch [options] FILE...", 0), 0u);
  EXPECT_EQ(batch("--version", err).status, 0);
}

TEST(BatchCommand, AnalysesEveryFileInInputOrderAndReportsFailures) {
  TempDir dir;
  const fs::path err = dir.path() / "err.txt";
  const fs::path a = dir.write("a.dat", example());
  const fs::path bad = dir.write("bad.dat", "4.5\n0, 0\n0.2\n");
  const fs::path c = dir.write("c.dat", "4.5\n1, 2\n2, 3\n3, 4\n");
  Result r = batch("-j 2 '" + a.string() + "' '" + c.string() + "'", err);
  EXPECT_EQ(r.status, kExitAllAnalysed);
  ASSERT_EQ(r.lines.size(), 2u);
  EXPECT_EQ(r.lines[0].rfind(a.string() + ": kd=", 0), 0u) << r.lines[0];
  EXPECT_EQ(r.lines[1], c.string() + ": n=3: too few points (at least 5 needed)");
  EXPECT_TRUE(fs::exists(dir.path() / "a.out"));
  EXPECT_TRUE(fs::exists(dir.path() / "c.out"));

  r = batch("-j3 '" + bad.string() + "' '" + a.string() + "' missing.dat", err);
  EXPECT_EQ(r.status, kExitSomeFailed);
  ASSERT_EQ(r.lines.size(), 1u);  // the good file is still analysed
  EXPECT_EQ(r.lines[0].rfind(a.string(), 0), 0u);
  const std::string errors = TempDir::read(err);
  EXPECT_NE(errors.find(bad.string() + ":3: expected a time and a product value: \"0.2\""),
            std::string::npos)
      << errors;
  EXPECT_NE(errors.find("missing.dat: No data file was found! (STOP EXECUTION L4275)"),
            std::string::npos)
      << errors;
  EXPECT_FALSE(fs::exists(dir.path() / "bad.out"));
}

TEST(BatchCommand, JsonLinesCarryEveryKey) {
  TempDir dir;
  const fs::path err = dir.path() / "err.txt";
  const fs::path a = dir.write("a.dat", example());
  const fs::path few = dir.write("few.dat", "4.5\n1, 2\n");
  const Result r = batch("--json '" + a.string() + "' '" + few.string() + "' '" +
                             (dir.path() / "no.dat").string() + "'",
                         err);
  EXPECT_EQ(r.status, kExitSomeFailed);
  ASSERT_EQ(r.lines.size(), 3u);
  for (const char* key : {"file",     "report",      "body",        "n",       "deactivation_type",
                          "kd",       "kd_pvalue",   "aicc1",       "aicc2",   "F",
                          "pvalue",   "pvalue_low",  "pvalue_high", "sd",      "welch_t",
                          "welch_df", "welch_tcrit", "case",        "verdict", "model1",
                          "model2",   "units",       "half_life",   "tables",  "t",
                          "y",        "cpu_seconds", "Km",          "Vmax",    "Po",
                          "So",       "ssr",         "se",          "ierr",    "ithr"}) {
    EXPECT_NE(r.lines[0].find("\"" + std::string(key) + "\":"), std::string::npos) << key;
  }
  EXPECT_NE(r.lines[0].find("\"body\":\"full\",\"n\":13,\"deactivation_type\":1,"),
            std::string::npos);
  EXPECT_NE(r.lines[1].find("\"body\":\"too_few_points\""), std::string::npos);
  EXPECT_NE(r.lines[1].find("\"F\":null"), std::string::npos);  // not finite
  EXPECT_NE(r.lines[1].find("\"case\":null"), std::string::npos);
  EXPECT_EQ(r.lines[2].rfind("{\"file\":", 0), 0u);
  EXPECT_NE(r.lines[2].find("\"error\":"), std::string::npos);
}

TEST(BatchJson, ConvertsTheParametersBackToTheFilesUnits) {
  RunSummary s;
  s.tmax = 60.6;
  s.ymax = 3.643;
  s.model1.p = {0, 2.0, 0.5, 0.001, 0.25, 1.2};
  nrtype nr;
  const std::string line = json_line("x\"y.dat", s, nr);
  EXPECT_EQ(line.rfind("{\"file\":\"x\\\"y.dat\",", 0), 0u);
  char expected[256];
  std::snprintf(expected, sizeof expected, "\"units\":{\"model1\":{\"Km\":%.17g,\"Vmax\":%.17g,",
                2.0 * 3.643, 0.5 * 3.643 / 60.6);
  EXPECT_NE(line.find(expected), std::string::npos) << line;
  std::snprintf(expected, sizeof expected, "\"half_life\":%.17g", std::log(2.0) / (0.25 / 60.6));
  EXPECT_NE(line.find(expected), std::string::npos) << line;
  EXPECT_NE(line.find("\"tables\":{\"t\":[],\"y\":[],\"model1\":[],\"model2\":[]}"),
            std::string::npos);
}

}  // namespace
}  // namespace brx
