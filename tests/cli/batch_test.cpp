#include "cli/batch.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/cli/batch_command.h"
#include "tests/support/temp_dir.h"
#include "tests/support/unwritable_folder.h"

namespace brx {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

using Result = test::BatchResult;

Result batch(const TempDir& dir, const std::string& args, const std::string& prefix = {}) {
  return test::run_batch_command(dir, args, prefix);
}

std::string example() {
  return TempDir::read(fs::path(BRX_EXAMPLES_DIR) / "example.dat");
}

TEST(BatchCommand, UsageErrorsExitWithTwo) {
  TempDir dir;
  for (const char* args : {"", "--frobnicate x.dat", "-j", "-j 0 x.dat", "-j x x.dat", "--json",
                           "--plot-format gif x.dat", "--plot-format png,,svg x.dat",
                           "--plot-format= x.dat", "--plot-format svg,", "--plot-format"}) {
    const Result r = batch(dir, args);
    EXPECT_EQ(r.status, kExitUsage) << args;
    EXPECT_TRUE(r.lines.empty()) << args;
    EXPECT_NE(r.errors.find("--help"), std::string::npos) << args;
  }
  EXPECT_EQ(batch(dir, "--help").lines.at(0), "Usage: brevantix-kd-batch [options] FILE...");
  EXPECT_EQ(batch(dir, "--version").status, 0);
}

// --plot-format takes the formats in any letter case, each once and in the order given, and asks
// for pictures; without it --plot writes the BMP and the PNG.
TEST(BatchCommand, PlotFormatsAreReadFromACommaList) {
  const struct {
    std::vector<std::string> args;
    bool plot;
    std::vector<std::string> formats;
  } cases[] = {
      {{"a.dat"}, false, {"bmp", "png"}},
      {{"--plot", "a.dat"}, true, {"bmp", "png"}},
      {{"--plot-format", "SVG,pdf,svg", "a.dat"}, true, {"svg", "pdf"}},
      {{"--plot-format=png", "--plot", "a.dat"}, true, {"png"}},
      {{"--plot-format=bmp,png,svg,pdf", "a.dat"}, true, {"bmp", "png", "svg", "pdf"}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"brevantix-kd-batch"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    BatchOptions o;
    EXPECT_FALSE(parse_batch_args(args, o).has_value()) << c.args[0];
    EXPECT_EQ(o.plot, c.plot) << c.args[0];
    EXPECT_EQ(o.plot_formats, c.formats) << c.args[0];
    EXPECT_EQ(o.files, std::vector<std::string>{"a.dat"});
  }
  BatchOptions o;
  EXPECT_EQ(parse_batch_args({"b", "--plot-format", "png,jpeg", "a.dat"}, o),
            "unknown picture format 'jpeg' (bmp, png, svg or pdf)");
}

TEST(BatchCommand, AnalysesEveryFileInInputOrderAndReportsFailures) {
  TempDir dir;
  dir.write("a.dat", example());
  dir.write("bad.dat", "4.5\n0, 0\n0.2\n");
  dir.write("c.dat", "4.5\n1, 2\n2, 3\n3, 4\n");
  Result r = batch(dir, "-j 2 a.dat c.dat");
  EXPECT_EQ(r.status, kExitAllAnalysed);
  ASSERT_EQ(r.lines.size(), 2u);
  EXPECT_EQ(r.lines[0].rfind("a.dat: kd=", 0), 0u) << r.lines[0];
  EXPECT_EQ(r.lines[1],
            "c.dat: n=3: too few points (at least 5 needed) | cross-check: no verdict (only 3 "
            "points, at least 6 needed)");
  EXPECT_TRUE(fs::exists(dir.path() / "a.out") && fs::exists(dir.path() / "c.out"));

  r = batch(dir, "-j3 bad.dat a.dat missing.dat");
  EXPECT_EQ(r.status, kExitSomeFailed);
  ASSERT_EQ(r.lines.size(), 1u);  // the good file is still analysed
  EXPECT_EQ(r.lines[0].rfind("a.dat: ", 0), 0u);
  EXPECT_NE(r.errors.find(":3: expected a time and a product value: \"0.2\""), std::string::npos)
      << r.errors;
  EXPECT_NE(r.errors.find("missing.dat: No data file was found! (STOP EXECUTION L4275)"),
            std::string::npos);
  EXPECT_FALSE(fs::exists(dir.path() / "bad.out"));
}

// A report that cannot be written fails the file with the system's reason; the analysis is still
// printed.
TEST(BatchCommand, AnUnwritableFolderFailsTheFileWithTheReason) {
  TempDir dir;
  dir.write("a.dat", example());
  test::make_unwritable(dir.path());
  const Result r = batch(dir, "a.dat", test::as_unprivileged_user());
  EXPECT_EQ(r.status, kExitSomeFailed);
  EXPECT_EQ(r.errors, "a.dat: the report " + (dir.path() / "a.out").string() +
                          " could not be written: Permission denied\n");
  ASSERT_EQ(r.lines.size(), 1u);
  EXPECT_EQ(r.lines[0].rfind("a.dat: kd=", 0), 0u);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
  fs::permissions(dir.path(), fs::perms::owner_all);  // so that the folder can be removed
}

TEST(BatchCommand, JsonLinesCarryEveryKey) {
  TempDir dir;
  dir.write("a.dat", example());
  dir.write("few.dat", "4.5\n1, 2\n");
  const Result r = batch(dir, "--json a.dat few.dat no.dat");
  EXPECT_EQ(r.status, kExitSomeFailed);
  ASSERT_EQ(r.lines.size(), 3u);
  for (const char* key : {"file",     "report",      "body",        "n",       "deactivation_type",
                          "kd",       "kd_pvalue",   "aicc1",       "aicc2",   "F",
                          "pvalue",   "pvalue_low",  "pvalue_high", "sd",      "welch_t",
                          "welch_df", "welch_tcrit", "case",        "verdict", "model1",
                          "model2",   "units",       "half_life",   "tables",  "t",
                          "y",        "cpu_seconds", "Km",          "Vmax",    "Po",
                          "So",       "ssr",         "se",          "ierr",    "ithr"}) {
    EXPECT_NE(r.lines[0].find(std::string("\"").append(key).append("\":")), std::string::npos)
        << key;
  }
  EXPECT_NE(r.lines[0].find("\"body\":\"full\",\"n\":13,\"deactivation_type\":1,"),
            std::string::npos);
  EXPECT_NE(r.lines[1].find("\"F\":null"), std::string::npos);  // not finite
  EXPECT_NE(r.lines[1].find("\"case\":null"), std::string::npos);
  EXPECT_EQ(r.lines[2].rfind("{\"file\":\"no.dat\",\"error\":", 0), 0u);
}

// Files analysed side by side give the same lines, in the same order, as one after another;
// only the processor time differs.
TEST(BatchCommand, OneJobAndFourJobsGiveTheSameJson) {
  TempDir dir;
  std::string files;
  for (const fs::path& data : fs::directory_iterator(BRX_TEST_DATA_DIR)) {
    if (data.extension() != ".dat") continue;
    dir.write(data.filename().string(), TempDir::read(data));
    files += " " + data.filename().string();
  }
  const std::regex cpu("\"cpu_seconds\":[^,}]*");
  const auto lines = [&](const char* jobs) {
    const Result r = batch(dir, std::string("--json ") + jobs + files);
    EXPECT_EQ(r.status, kExitAllAnalysed) << r.errors;
    std::string all;
    for (const std::string& line : r.lines) all += std::regex_replace(line, cpu, "") + "\n";
    return all;
  };
  const std::string one = lines("-j 1");
  EXPECT_EQ(std::count(one.begin(), one.end(), '\n'), 7);
  EXPECT_EQ(lines("-j 4"), one);
}

TEST(BatchJson, ConvertsTheParametersBackToTheFilesUnits) {
  RunSummary s;
  s.tmax = 60.6;
  s.ymax = 3.643;
  s.model1.p = {0, 2.0, 0.5, 0.001, 0.25, 1.2};
  const std::string line = json_line("x\"y.dat", s, crosscheck::CrossCheck{});
  EXPECT_EQ(line.rfind("{\"file\":\"x\\\"y.dat\",", 0), 0u);
  char expected[256];
  std::snprintf(expected, sizeof expected, "\"units\":{\"model1\":{\"Km\":%.17g,\"Vmax\":%.17g,",
                2.0 * 3.643, 0.5 * 3.643 / 60.6);
  EXPECT_NE(line.find(expected), std::string::npos) << line;
  std::snprintf(expected, sizeof expected, "\"half_life\":%.17g", std::log(2.0) / (0.25 / 60.6));
  EXPECT_NE(line.find(expected), std::string::npos) << line;
}

// The example file's points, as recorded, show the loss of enzyme that the report's comparison
// misses: the one-line summary and the JSON carry the cross-check beside the report's figures.
TEST(BatchCommand, CrossCheckOfTheExampleFollowsTheReportsVerdict) {
  TempDir dir;
  dir.write("a.dat", example());
  Result r = batch(dir, "a.dat");
  ASSERT_EQ(r.lines.size(), 1u);
  const std::string suffix =
      ": no significant deactivation (classical model preferred) | cross-check: deactivation "
      "(p = 1.7e-07), half-life 0.844 [0.76, 1.25]";
  EXPECT_NE(r.lines[0].find(suffix), std::string::npos) << r.lines[0];

  r = batch(dir, "--json a.dat");
  ASSERT_EQ(r.lines.size(), 1u);
  const std::string& line = r.lines[0];
  const std::size_t at =
      line.find("\"crosscheck\":{\"model\":\"first-order enzyme loss\",\"n\":13,");
  ASSERT_NE(at, std::string::npos) << line;
  const std::string cc = line.substr(at, line.find('}', at) - at);
  for (const char* key : {"p", "F", "aicc1", "aicc2", "weight1", "kd", "kd_low", "kd_high",
                          "half_life", "half_life_low", "half_life_high", "Km", "Vmax", "P0",
                          "ssr1", "ssr2", "verdict", "text", "note"}) {
    EXPECT_NE(cc.find("\"" + std::string(key) + "\":"), std::string::npos) << key;
  }
  EXPECT_NE(
      cc.find("\"verdict\":\"deactivation\",\"text\":\"deactivation detected (p = 1.7e-07): "),
      std::string::npos)
      << cc;
  EXPECT_NE(cc.find("\"note\":null"), std::string::npos);
}

TEST(BatchJson, CrossCheckWithoutAVerdictHasNullFigures) {
  crosscheck::CrossCheck cc;
  cc.n = 3;
  cc.text = "no verdict: only 3 points, at least 6 needed";
  const std::string line = json_line("a.dat", RunSummary{}, cc);
  EXPECT_NE(line.find("\"crosscheck\":{\"model\":\"first-order enzyme loss\",\"n\":3,\"p\":null,"
                      "\"F\":null,"),
            std::string::npos)
      << line;
  EXPECT_NE(line.find("\"ssr2\":null,\"verdict\":null,\"text\":\"no verdict: only 3 points, at "
                      "least 6 needed\",\"note\":null}"),
            std::string::npos)
      << line;
}

}  // namespace
}  // namespace brx
