// The summary table read back as a spreadsheet reads it: one row per file, names with commas,
// quotes and line ends intact, the figures those of the JSON lines.

#include "cli/csv_summary.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "cli/batch.h"
#include "tests/support/temp_dir.h"

namespace brx {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

// RFC 4180: rows of cells; quoted cells may hold separators, doubled quotes and line ends.
std::vector<std::vector<std::string>> parse_csv(const std::string& text) {
  std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    std::string& cell = rows.back().back();
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        cell += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        cell += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      rows.back().emplace_back();
    } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      rows.emplace_back(1);
      ++i;
    } else {
      cell += c;
    }
  }
  if (rows.back() == std::vector<std::string>(1)) rows.pop_back();
  return rows;
}

// The rows as column name -> cell, checked against the header.
std::vector<std::map<std::string, std::string>> read_back(const std::string& text) {
  const auto rows = parse_csv(text);
  EXPECT_EQ(rows.at(0), csv_columns());
  std::vector<std::map<std::string, std::string>> out;
  for (std::size_t r = 1; r < rows.size(); ++r) {
    EXPECT_EQ(rows[r].size(), csv_columns().size()) << "row " << r;
    std::map<std::string, std::string> m;
    for (std::size_t c = 0; c < rows[r].size(); ++c) m[csv_columns()[c]] = rows[r][c];
    out.push_back(m);
  }
  return out;
}

TEST(CsvSummary, ReadsBackToTheFiguresOfTheJsonLines) {
  TempDir dir;
  const std::string example = TempDir::read(fs::path(BRX_EXAMPLES_DIR) / "example.dat");
  BatchOptions options;
  for (const char* name : {"a,b.dat", "say \"hi\".dat", "two\nlines.dat", "few.dat"}) {
    dir.write(name, std::string(name) == "few.dat" ? "4.5\n1, 2\n" : example);
    options.files.push_back((dir.path() / name).string());
  }
  options.jobs = 2;
  options.csv = (dir.path() / "summary.csv").string();
  std::ostringstream lines, errors;
  EXPECT_EQ(run_batch(options, lines, errors), kExitAllAnalysed) << errors.str();
  const auto rows = read_back(TempDir::read(options.csv));

  options.csv.clear();
  options.json = true;
  std::ostringstream json;
  run_batch(options, json, errors);
  std::istringstream in(json.str());
  ASSERT_EQ(rows.size(), options.files.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    std::string line;
    ASSERT_TRUE(std::getline(in, line));
    const auto j = nlohmann::json::parse(line);
    const auto& r = rows[i];
    EXPECT_EQ(r.at("file"), options.files[i]);
    EXPECT_EQ(r.at("kind"), "file");
    EXPECT_EQ(r.at("verdict"), j["verdict"]);
    EXPECT_EQ(r.at("n"), std::to_string(j["n"].get<int>()));
    const auto same = [&](const char* column, const nlohmann::json& v) {
      if (v.is_null()) {
        EXPECT_EQ(r.at(column), "") << column;
      } else {
        EXPECT_EQ(std::stod(r.at(column)), v.get<double>()) << column;
      }
    };
    same("kd", j["kd"]);
    same("F", j["F"]);
    same("pvalue", j["pvalue"]);
    same("welch_tcrit", j["welch_tcrit"]);
    same("model1_Km", j["units"]["model1"]["Km"]);
    same("model2_Vmax", j["units"]["model2"]["Vmax"]);
    same("half_life", j["units"]["half_life"]);
    same("crosscheck_p", j["crosscheck"]["p"]);
    same("crosscheck_kd_high", j["crosscheck"]["kd_high"]);
  }
}

TEST(CsvSummary, FailedFilesGetARowWithTheErrorAndStandardOutputGetsOnlyTheTable) {
  TempDir dir;
  dir.write("bad.dat", "4.5\n1, x\n");
  BatchOptions options;
  options.files = {(dir.path() / "bad.dat").string(), (dir.path() / "none.dat").string()};
  options.csv = "-";
  std::ostringstream out, errors;
  EXPECT_EQ(run_batch(options, out, errors), kExitSomeFailed);
  const auto rows = read_back(out.str());
  ASSERT_EQ(rows.size(), 2u);
  for (const auto& r : rows) {
    EXPECT_EQ(r.at("kind"), "error");
    EXPECT_NE(errors.str().find(r.at("error")), std::string::npos) << r.at("error");
    EXPECT_EQ(r.at("kd"), "");
  }
}

}  // namespace
}  // namespace brx
