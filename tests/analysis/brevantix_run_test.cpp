#include "analysis/brevantix_run.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "base/stop.h"
#include "tests/support/curve_files.h"
#include "tests/support/golden_report.h"
#include "tests/support/temp_dir.h"

namespace brx {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

std::string example_text() {
  return TempDir::read(fs::path(BRX_EXAMPLES_DIR) / "example.dat");
}

struct Analysis {
  globalsplot gp;
  std::ostringstream notes;
  RunSummary s;
};

void run(const fs::path& file, Analysis& r, ModelThreads threads = ModelThreads::kTwo) {
  r.s = brevantix_run(file.string(), r.gp, r.notes, kDefaultMaxRows, threads);
}

std::string masked_report(const std::string& path) {
  return test::masked_report(TempDir::read(path));
}

// What a call that should fail says: a stop its text and message, an input error its file, line
// and reason.
std::string error_of(const std::function<void()>& call) {
  try {
    call();
  } catch (const Stop& s) {
    return s.text() + " / " + s.message();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "no error";
}

TEST(BrevantixRun, OneRecordRunsTheExampleAlikeTwiceThenZerosAndTies) {
  TempDir dir;
  const fs::path data = dir.write("example.dat", example_text());
  Analysis r;
  run(data, r);
  EXPECT_EQ(r.s.report_path, (dir.path() / "example.out").string());
  // First time and product were 0: both start at 0.001; the stretched last time normalises to 1.
  EXPECT_EQ(std::vector({r.s.x8(1, 1), r.s.y8(1, 1), r.s.x8(13, 1)}),
            std::vector({0.001, 0.001, 1.0}));
  const std::string first = masked_report(r.s.report_path);
  run(data, r);  // again with the same shell record, as the desktop program runs its analyses
  EXPECT_EQ(masked_report(r.s.report_path), first);

  // [So] = 0 masks [Po]; a negative product is fitted as 0.01 but handed on as read, with ties
  // mended and the last time not stretched.
  run(dir.write("zeros.dat", "0\n0, 0\n1, 0.5\n1, 0.9\n2, -0.1\n3, 1.6\n3, 1.8\n"), r);
  EXPECT_EQ(r.s.y8(4, 1), 0.01);
  EXPECT_NE(r.notes.str().find("Setting [Po] <= 0.0 masks the value."), std::string::npos);
  EXPECT_EQ(r.s.t_raw, (std::vector<double>{0, 1, 1.5, 2, 2.5, 3}));
  EXPECT_EQ(r.s.y_raw, (std::vector<double>{0, 0.5, 0.9, -0.1, 1.6, 1.8}));
  EXPECT_DOUBLE_EQ(r.s.tmax, 3.03);  // the fits still see the stretched time
}

// Each bad input stops the run with its message (a stop: its text / message; an input error: the
// file, line and reason found on the file's own times), and no report is left.
TEST(BrevantixRun, BadInputLeavesNoReportBehind) {
  const struct {
    const char* name;
    const char* text;
    const char* message;
  } cases[] = {
      {"tied.dat", "4.5\n1, 1\n1, 2\n1, 3\n1, 4\n1, 5\n",
       "Run Aborted! / Time values in file must not be equal! Program terminated!"},
      {"backwards.dat", "4.5\n0, 0\n2, 1\n1, 2\n3, 3\n4, 4\n", ":4: the times must increase"},
      {"first-below-0.dat", "4.5\n-1, 0\n0.001, 1\n1, 2\n2, 3\n100, 4\n",
       ":3: a first time below 0 is fitted as 1 % of the last time"},
      {"span.dat", "4.5\n1e-300, 0.1\n1e-200, 0.5\n1e-100, 1\n1, 2\n1e100, 3\n1e300, 3.5\n",
       ":4: the times span too many orders of magnitude to be normalised"},
      {"overflow.dat", "4.5\n0, 0\n1, 1\n2, 2\n1.79e308, 3\n", ":5: the last time is too large"},
      {"wouldbe.out", "4.5\n0, 0\n1, 2\n", ": the report would replace the data file"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    Analysis r;
    const std::string what = error_of([&] { run(dir.write(c.name, c.text), r); });
    EXPECT_NE(what.find(c.message), std::string::npos) << c.name << ": " << what;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1)
        << c.name;
  }
}

// Model 2 fitted on a thread of its own, in a copy of the fit context taken before Model 1,
// must come out as it does after Model 1 on the same thread: every parameter, sum, kd p-value
// and curve point to the last bit (a NaN equals itself, -0 is not 0), and the same report.
TEST(BrevantixRun, BothModelsAtOnceGiveTheFiguresOfOneAfterTheOther) {
  TempDir dir;
  std::vector<fs::path> files = {
      dir.write("example.dat", example_text()),
      dir.write("flat.dat", "4.5\n0, 0\n1, 0\n2, 0\n3, 0\n4, 0\n5, 0\n")};
  int index = 0;  // both types, with and without a loss, noisy and not
  for (const int points : {3, 6, 9, 30, 60, 250}) {
    const test::CurveFile c = test::curve_file(21, index++, points);
    files.push_back(dir.write(c.name, c.text));
  }
  const auto figures = [](const Analysis& r) {
    const RunSummary& s = r.s;
    std::vector<std::uint64_t> bits;
    std::vector<double> all = {s.model1.ssr,          s.model2.ssr, s.model1.se,
                               s.model2.se,           s.stats.kdp,  double(s.model1.ierr),
                               double(s.model2.ithr), double(s.n8)};
    all.insert(all.end(), s.model1.p.begin(), s.model1.p.end());
    all.insert(all.end(), s.model2.p.begin(), s.model2.p.end());
    for (int j = 1; j <= 2; ++j) {
      for (int i = 1; i <= s.n8; ++i) all.insert(all.end(), {s.x8(i, j), s.y8(i, j), s.z8(i, j)});
    }
    for (const double v : all) bits.push_back(std::bit_cast<std::uint64_t>(v));
    return bits;
  };
  for (const fs::path& file : files) {
    SCOPED_TRACE(file.filename().string());
    Analysis one, two;
    run(file, one, ModelThreads::kOne);
    const std::string report_one = masked_report(one.s.report_path);
    run(file, two, ModelThreads::kTwo);
    EXPECT_EQ(masked_report(two.s.report_path), report_one);
    EXPECT_EQ(figures(one), figures(two));
    EXPECT_EQ(one.notes.str(), two.notes.str());
  }
}

// A curve of a table is analysed as the same points in a data file are: the same report, under
// the table's name and the curve's; a message about a time names the table's line.
TEST(BrevantixRun, ACurveOfATableGetsTheReportItsDataFileWould) {
  TempDir dir;
  Analysis file;
  run(dir.write("example.dat", example_text()), file);

  std::istringstream lines(example_text());
  std::string row = "Time,A 1,late\nSo,4.5,4.5\nE0,1,1\n-2,,0.1\n-1,,0.2\n", line;
  std::getline(lines, line);
  while (std::getline(lines, line) && !line.empty()) {
    const std::size_t comma = line.find(',');
    row += line.substr(0, comma) + "," + line.substr(comma + 1) + ",3\n";
  }
  const CurveSetTable table = read_curve_set_table(dir.write("plate.csv", row).string());
  const RunSummary curve = brevantix_run_curve(table, table.curves[0], file.gp, file.notes);
  EXPECT_EQ(curve.report_path, (dir.path() / "plate-A_1.out").string());
  EXPECT_EQ(masked_report(curve.report_path), masked_report(file.s.report_path));
  EXPECT_NE(error_of([&] {
              brevantix_run_curve(table, table.curves[1], file.gp, file.notes);
            }).find("plate.csv:5: times of 0 or less"),
            std::string::npos);
}

}  // namespace
}  // namespace brx
