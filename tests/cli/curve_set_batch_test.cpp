// Curve-set tables in the batch: a line per curve, a line per group with the global fit, rows
// of the summary table for both, refused curves and tables that cannot be read.

#include "cli/curve_set_batch.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// The plate's four curves and its group, whose interval holds the kd the plate was made with;
// then a table whose curves "A 1" and "A_1" would share a report, and one that cannot be read.
TEST(CurveSetBatch, CurveAndGroupLinesRefusedCurvesAndUnreadableTables) {
  TempDir dir;
  dir.write("plate.csv", TempDir::read(fs::path(BRX_EXAMPLES_DIR) / "plate.csv"));
  dir.write(
      "t.csv",
      "Time,A 1,A_1,B\nSo,10,10,10\nE0,1,2,1\n0,0,0,0\n1,2.21,3.93,2.21\n2,3.93,6.32,3.93\n"
      "3,5.28,7.77,5.28\n4,6.32,8.65,6.32\n5,7.13,9.18,7.13\n6,7.77,9.5,7.77\n7,8.26,9.7,8.26\n");
  dir.write("bad.csv", "Time,A\nSo,x\nE0,1\n0,1\n");
  BatchOptions options;
  for (const char* name : {"plate.csv", "t.csv", "bad.csv"}) {
    options.files.push_back((dir.path() / name).string());
  }
  options.json = true;
  options.csv = (dir.path() / "summary.csv").string();
  std::ostringstream out, err;
  EXPECT_EQ(run_batch(options, out, err), kExitSomeFailed);
  std::vector<nlohmann::json> lines;
  std::istringstream in(out.str());
  for (std::string line; std::getline(in, line);) lines.push_back(nlohmann::json::parse(line));
  ASSERT_EQ(lines.size(), 10u) << out.str();
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(lines[k]["set"], options.files[0]);
    EXPECT_EQ(lines[k]["curve"], "A" + std::to_string(k + 1));
    EXPECT_TRUE(fs::exists(dir.path() / ("plate-A" + std::to_string(k + 1) + ".out")));
  }
  const auto& s = lines[4]["selwyn"];
  EXPECT_EQ(s["verdict"], "deactivation");
  EXPECT_LT(s["kd_low"].get<double>(), 0.0116);
  EXPECT_GT(s["kd_high"].get<double>(), 0.0116);
  const std::string csv = TempDir::read(options.csv);
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 11) << "header, eight curves, two groups";
  EXPECT_NE(csv.find("\r\ngroup,"), std::string::npos);

  EXPECT_EQ(lines[6]["curve"], "A_1");
  EXPECT_TRUE(lines[6]["report"].is_null());
  EXPECT_NE(lines[6]["error"].get<std::string>().find("would be the report of curve A 1"),
            std::string::npos);
  EXPECT_TRUE(lines[9]["error"].is_string());

  // The text lines name the table and the curve, and the group by its [So].
  options.json = false;
  options.csv.clear();
  std::ostringstream text;
  run_batch(options, text, err);
  EXPECT_NE(text.str().find("plate.csv[A3]: kd="), std::string::npos) << text.str();
  EXPECT_NE(text.str().find("plate.csv[So 100]: Selwyn fit of 4 curves"), std::string::npos);
}

}  // namespace
}  // namespace brx
