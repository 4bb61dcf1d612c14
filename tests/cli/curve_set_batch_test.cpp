// Curve-set tables in the batch: a line per curve, a line per group with the global fit, rows
// of the summary table for both, refused curves and tables that cannot be read.

#include "cli/curve_set_batch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace brx {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

std::vector<nlohmann::json> json_lines(const std::string& text) {
  std::vector<nlohmann::json> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(nlohmann::json::parse(line));
  return out;
}

TEST(CurveSetBatch, ThePlateGivesACurveLineEachAndAGroupLineWhoseIntervalHoldsTheTrueKd) {
  TempDir dir;
  dir.write("plate.csv", TempDir::read(fs::path(BRX_EXAMPLES_DIR) / "plate.csv"));
  BatchOptions options;
  options.files = {(dir.path() / "plate.csv").string()};
  options.json = true;
  options.csv = (dir.path() / "summary.csv").string();
  std::ostringstream out, err;
  ASSERT_EQ(run_batch(options, out, err), kExitAllAnalysed) << err.str();
  const auto lines = json_lines(out.str());
  ASSERT_EQ(lines.size(), 5u);
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(lines[k]["set"], options.files[0]);
    EXPECT_EQ(lines[k]["curve"], "A" + std::to_string(k + 1));
    EXPECT_TRUE(fs::exists(dir.path() / ("plate-A" + std::to_string(k + 1) + ".out")));
    EXPECT_TRUE(lines[k]["crosscheck"].is_object());
  }
  const auto& group = lines[4];
  EXPECT_EQ(group["So"], 100);
  ASSERT_EQ(group["curves"].size(), 4u);
  EXPECT_EQ(group["curves"][3]["E0"], 2);
  const auto& s = group["selwyn"];
  EXPECT_EQ(s["verdict"], "deactivation");
  EXPECT_LT(s["kd_low"].get<double>(), 0.0116);  // the kd the plate was generated with
  EXPECT_GT(s["kd_high"].get<double>(), 0.0116);
  EXPECT_TRUE(s["half_life_high"].is_number());
  const std::string csv = TempDir::read(options.csv);
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 6) << "header, four curves, one group";
  EXPECT_NE(csv.find("\r\ngroup,"), std::string::npos);
  EXPECT_NE(csv.find("\r\ncurve,"), std::string::npos);

  // The text lines name the table and the curve, and the group by its [So].
  options.json = false;
  options.csv.clear();
  std::ostringstream text;
  run_batch(options, text, err);
  EXPECT_NE(text.str().find("plate.csv[A3]: kd="), std::string::npos) << text.str();
  EXPECT_NE(text.str().find("plate.csv[So 100]: Selwyn fit of 4 curves"), std::string::npos);
}

TEST(CurveSetBatch, RefusesCurvesOfOneReportAndReportsATableThatCannotBeRead) {
  TempDir dir;
  std::string table = "Time,A 1,A_1,B\nSo,10,10,10\nE0,1,2,1\n";
  for (int i = 0; i < 8; ++i) {
    const double t = i;
    table += std::to_string(t) + "," + std::to_string(10 * (1 - std::exp(-t / 4))) + "," +
             std::to_string(10 * (1 - std::exp(-t / 2))) + "," +
             std::to_string(10 * (1 - std::exp(-t / 4))) + "\n";
  }
  dir.write("t.csv", table);
  dir.write("bad.csv", "Time,A\nSo,x\nE0,1\n0,1\n");
  BatchOptions options;
  options.files = {(dir.path() / "t.csv").string(), (dir.path() / "bad.csv").string()};
  options.json = true;
  std::ostringstream out, err;
  EXPECT_EQ(run_batch(options, out, err), kExitSomeFailed);
  const auto lines = json_lines(out.str());
  ASSERT_EQ(lines.size(), 5u) << out.str();  // three curves, the group, the bad table
  EXPECT_TRUE(lines[0]["report"].is_string());
  EXPECT_EQ(lines[1]["curve"], "A_1");
  EXPECT_TRUE(lines[1]["report"].is_null());
  EXPECT_NE(lines[1]["error"].get<std::string>().find("would be the report of curve A 1"),
            std::string::npos);
  EXPECT_EQ(lines[3]["set"], options.files[0]);
  EXPECT_TRUE(lines[4]["error"].is_string());
  EXPECT_NE(err.str().find("bad.csv"), std::string::npos);
}

TEST(CurveSetBatch, SelwynPicturesAreNamedForTheTableAndTheGroupsSo) {
  EXPECT_EQ(selwyn_picture_path("/d/plate.csv", 100, "png"), "/d/plate-selwyn-100.png");
  EXPECT_EQ(selwyn_picture_path("p.tsv", 2.5e-7, "svg"), "p-selwyn-2.5e-07.svg");
}

}  // namespace
}  // namespace brx
