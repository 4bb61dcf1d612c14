#include "cli/batch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "cli/progress_line.h"
#include "tests/cli/batch_command.h"
#include "tests/support/temp_dir.h"

namespace brx::test {
namespace {

namespace fs = std::filesystem;

TEST(BatchCommand, UsageErrorsExitWithTwo) {
  TempDir dir;
  for (const char* args :
       {"", "--frobnicate x.dat", "-j 0 x", "--max-rows 0 x", "--plot-format png,,svg x"}) {
    const BatchResult r = batch(dir, args);
    EXPECT_EQ(r.status, kExitUsage) << args;
    EXPECT_TRUE(r.lines.empty()) << args;
    EXPECT_NE(r.errors.find("--help"), std::string::npos) << args;
  }
  EXPECT_EQ(batch(dir, "--help").lines.at(0), "Usage: brevantix-kd-batch [options] FILE...");
}

TEST(BatchCommand, AnalysesEveryFileInInputOrderAndReportsFailures) {
  TempDir dir;
  dir.write("a.dat", example());
  dir.write("bad.dat", "4.5\n0, 0\n0.2\n");
  dir.write("c.dat", "4.5\n1, 2\n2, 3\n3, 4\n");
  BatchResult r = batch(dir, "-j 2 a.dat c.dat");
  EXPECT_EQ(r.status, kExitAllAnalysed);
  ASSERT_EQ(r.lines.size(), 2u);
  // The example's points show the loss of enzyme the report's comparison misses.
  EXPECT_EQ(r.lines[0].rfind("a.dat: kd=", 0), 0u) << r.lines[0];
  EXPECT_NE(r.lines[0].find(": no significant deactivation (classical model preferred) | "
                            "cross-check: deactivation (p = 1.7e-07), half-life 0.844 [0.76, "
                            "1.25]"),
            std::string::npos)
      << r.lines[0];
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

// The keys scripts read, the cross-check's among them.
TEST(BatchCommand, JsonLinesCarryEveryKey) {
  TempDir dir;
  dir.write("a.dat", example());
  const BatchResult r = batch(dir, "--json a.dat");
  ASSERT_EQ(r.lines.size(), 1u);
  std::istringstream keys(
      "file report body n deactivation_type kd kd_pvalue aicc1 aicc2 F pvalue pvalue_low "
      "pvalue_high sd welch_t welch_df welch_tcrit case verdict model1 model2 units half_life "
      "tables t y cpu_seconds Km Vmax Po So ssr se ierr ithr crosscheck weight1 kd_low kd_high "
      "half_life_low half_life_high P0 ssr1 ssr2 text note");
  for (std::string key; keys >> key;) {
    EXPECT_NE(r.lines[0].find("\"" + key + "\":"), std::string::npos) << key;
  }
  EXPECT_NE(r.lines[0].find("\"body\":\"full\",\"n\":13,\"deactivation_type\":1,"),
            std::string::npos);
  EXPECT_NE(r.lines[0].find("\"crosscheck\":{\"model\":\"first-order enzyme loss\",\"n\":13,"),
            std::string::npos);
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
    const BatchResult r = batch(dir, std::string("--json ") + jobs + files);
    EXPECT_EQ(r.status, kExitAllAnalysed) << r.errors;
    std::string all;
    for (const std::string& line : r.lines) all += std::regex_replace(line, cpu, "") + "\n";
    return all;
  };
  const std::string one = lines("-j 1");
  EXPECT_EQ(std::count(one.begin(), one.end(), '\n'), 7);
  EXPECT_EQ(lines("-j 4"), one);
}

// The progress line: what it says, and that it leaves nothing behind, or draws nothing at all
// when it is not to be shown (standard error is not a terminal).
TEST(ProgressLine, SaysDoneTotalElapsedAndWhatIsLeftAtThePaceSoFar) {
  EXPECT_EQ(ProgressLine::text(2, 8, 61),
            "brevantix-kd-batch: 2/8 files, 1:01 elapsed, about 3:03 left");
}

TEST(ProgressLine, IsErasedAtTheEndAndAbsentWhenNotShown) {
  TempDir dir;
  dir.write("a.dat", "4.5\n1, 2\n");
  BatchOptions options;
  options.files = {(dir.path() / "a.dat").string(), (dir.path() / "b.dat").string()};
  for (const bool shown : {true, false}) {
    options.progress = shown;
    std::ostringstream out, err;
    run_batch(options, out, err);
    const std::string e = err.str();
    EXPECT_EQ(e.find("files,") != std::string::npos, shown) << e;
    // What a terminal shows: \r returns to the line's start, later characters overwrite. The
    // message about b.dat has a line of its own, and the last line is blank.
    std::vector<std::string> screen(1);
    std::size_t column = 0;
    for (const char c : e) {
      if (c == '\n') screen.emplace_back();
      if (c == '\r' || c == '\n') column = 0;
      if (c == '\r' || c == '\n') continue;
      std::string& line = screen.back();
      if (column >= line.size()) line.resize(column + 1, ' ');
      line[column++] = c;
    }
    EXPECT_EQ(screen.back().find_first_not_of(' '), std::string::npos) << screen.back();
    ASSERT_GE(screen.size(), 2u);
    EXPECT_EQ(screen[screen.size() - 2].find("brevantix-kd-batch:"), std::string::npos);
    EXPECT_NE(e.find("b.dat"), std::string::npos);
  }
}

}  // namespace
}  // namespace brx::test
