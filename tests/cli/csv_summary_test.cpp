// The summary table read back as a spreadsheet reads it (Python's csv module, a reader of its
// own): one row per file, names with commas, quotes and line ends intact, the figures those of
// the JSON lines.

#include "cli/csv_summary.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "cli/batch.h"
#include "tests/support/temp_dir.h"

namespace brx {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

// Compares the rows with the JSON lines; a failed file's row holds its error and no figures.
constexpr const char* kCompare = R"(
import csv, json, sys
rows = list(csv.DictReader(open(sys.argv[1], newline='', encoding='utf-8')))
lines = [json.loads(line) for line in open(sys.argv[2], encoding='utf-8')]
errors = open(sys.argv[3], encoding='utf-8').read()
assert len(rows) == len(lines) == 5, (len(rows), len(lines))
for r, j in zip(rows, lines):
    assert r['file'] == j['file'], (r['file'], j['file'])
    if 'error' in j:
        assert r['kind'] == 'error' and r['error'] in errors and r['kd'] == '', r
        continue
    assert r['kind'] == 'file' and r['verdict'] == j['verdict'], r
    for column, value in (('kd', j['kd']), ('F', j['F']), ('model1_Km', j['units']['model1']['Km']),
                          ('half_life', j['units']['half_life']),
                          ('crosscheck_p', j['crosscheck']['p'])):
        assert r[column] == '' if value is None else float(r[column]) == value, (column, r, value)
)";

// Written to standard output, the table is all that is there.
TEST(CsvSummary, ReadsBackToTheFiguresOfTheJsonLines) {
  TempDir dir;
  const std::string example = TempDir::read(fs::path(BRX_EXAMPLES_DIR) / "example.dat");
  BatchOptions options;
  for (const char* name : {"a,b.dat", "say \"hi\".dat", "two\nlines.dat", "few.dat"}) {
    dir.write(name, std::string(name) == "few.dat" ? "4.5\n1, 2\n" : example);
    options.files.push_back((dir.path() / name).string());
  }
  options.files.push_back((dir.path() / "none.dat").string());
  options.jobs = 2;
  options.csv = "-";
  std::ostringstream table, json, errors;
  EXPECT_EQ(run_batch(options, table, errors), kExitSomeFailed);
  options.csv.clear();
  options.json = true;
  run_batch(options, json, errors);
  const TempDir out;
  const std::string command = "python3 '" + out.write("compare.py", kCompare).string() + "' '" +
                              out.write("table.csv", table.str()).string() + "' '" +
                              out.write("lines.json", json.str()).string() + "' '" +
                              out.write("errors.txt", errors.str()).string() + "'";
  EXPECT_EQ(std::system(command.c_str()), 0) << table.str() << json.str();
}

}  // namespace
}  // namespace brx
