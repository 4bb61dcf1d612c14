#include "analysis/brevantix_run.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/input_error.h"
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

void run(const fs::path& file, Analysis& r) {
  r.s = brevantix_run(file.string(), r.gp, r.notes);
}

std::string masked_report(const std::string& path) {
  return test::masked_report(TempDir::read(path));
}

TEST(BrevantixRun, TheExampleFileGivesTheSameFullReportOnEveryRun) {
  TempDir dir;
  const fs::path data = dir.write("example.dat", example_text());
  Analysis r;
  run(data, r);
  EXPECT_EQ(r.s.body, ReportBody::kFull);
  EXPECT_EQ(r.s.report_path, (dir.path() / "example.out").string());
  EXPECT_DOUBLE_EQ(r.s.tmax, 6.0 * 1.01);
  EXPECT_EQ(r.s.model2.p[4], 0.0);
  EXPECT_GT(r.s.model1.p[4], 0.0);
  EXPECT_EQ(r.gp.model1lbl, "Type 1 Deactivation Model 1");

  // First time and product were 0: both start at 0.001; the stretched last time normalises to 1.
  EXPECT_EQ(r.s.n8, 13);
  EXPECT_EQ(r.s.x8(1, 1), 0.001);
  EXPECT_EQ(r.s.y8(1, 1), 0.001);
  EXPECT_EQ(r.s.x8(13, 1), 1.0);
  for (int i = 1; i <= 13; ++i) {  // both models are drawn over the same data
    EXPECT_TRUE(r.s.x8(i, 1) == r.s.x8(i, 2) && r.s.y8(i, 1) == r.s.y8(i, 2)) << i;
  }
  EXPECT_NE(r.s.z8(13, 1), r.s.z8(13, 2));

  const std::string first = masked_report(r.s.report_path);
  // Again with the same shell record, as the desktop program runs its analyses.
  const RunSummary before = r.s;
  run(data, r);
  EXPECT_EQ(masked_report(r.s.report_path), first);
  EXPECT_EQ(r.s.model1.p, before.model1.p);
  EXPECT_EQ(r.s.model2.p, before.model2.p);
}

TEST(BrevantixRun, ShortAndUnscalableFilesGetTheirAbortReports) {
  const struct {
    const char* text;
    bool fitted;
    ReportBody body;
  } cases[] = {
      {"4.5\n0.2, 0.5\n0.4, 0.98\n0.8, 1.8\n1.4, 2.6\n", true, ReportBody::kTooFewPoints},
      {"4.5\n1, 2\n2, 3\n", false, ReportBody::kTooFewPoints},  // too short to fit at all
      {"4.5\n", false, ReportBody::kTooFewPoints},
      {"4.5\n0, 0\n1, 0\n2, 0\n3, 0\n4, 0\n5, 0\n", false, ReportBody::kAbortedFit},
  };
  for (const auto& c : cases) {
    TempDir dir;
    Analysis r;
    run(dir.write("short.dat", c.text), r);
    EXPECT_EQ(r.s.body, c.body) << c.text;
    EXPECT_EQ(r.s.fitted, c.fitted) << c.text;
    EXPECT_EQ(r.s.n8, r.s.n);  // the plot tables are handed over all the same
    const std::string second =
        c.body == ReportBody::kAbortedFit ? " The initial Km" : " Either the";
    EXPECT_EQ(TempDir::read(r.s.report_path).rfind(" CURVE-FIT ANALYSIS ABORTED!\r\n" + second, 0),
              0u)
        << c.text;
  }
}

TEST(BrevantixRun, AFirstTimeOfZeroStaysBelowACloseSecondTime) {
  TempDir dir;
  std::string text = "4.5\n0, 0\n0.0005, 0.002\n";
  for (int i = 1; i <= 20; ++i) {
    text += std::to_string(i) + ", " + std::to_string(3.6 * (1 - std::exp(-0.3 * i))) + "\n";
  }
  Analysis r;
  run(dir.write("crowded.dat", text), r);
  EXPECT_EQ(r.s.x8(1, 1), r.s.x8(2, 1) / 2);  // not 0.001, which would be past the second time
  EXPECT_EQ(r.s.body, ReportBody::kFull);
}

// The sign of [So] chooses the deactivation type; values at or below zero are replaced.
TEST(BrevantixRun, TheSignOfSoAndValuesAtOrBelowZero) {
  TempDir dir;
  std::string text = example_text();
  text.replace(0, 3, "-4.5");
  Analysis r;
  run(dir.write("type2.dat", text), r);
  EXPECT_EQ(r.s.flagpexp, 1);
  EXPECT_EQ(r.gp.model1lbl, "Type 2 Deactivation Model 1");
  EXPECT_DOUBLE_EQ(r.s.model1.p[5], 4.5 / 3.643);  // the fits use the normalised [So]
  EXPECT_NE(TempDir::read(r.s.report_path).find("-(t*Km/Vmax/kd)*Exp(+kd*t)\r\n"),
            std::string::npos);

  text = example_text();
  text.replace(text.find("0.976"), 5, "-0.10");  // a negative product is fitted as 0.01
  text.replace(0, 3, "0");                       // [So] = 0 masks [Po]
  Analysis z;
  run(dir.write("zeros.dat", text), z);
  EXPECT_EQ(z.s.y8(3, 1), 0.01);
  EXPECT_EQ(z.notes.str(),
            "\nSetting [Po] <= 0.0 masks the value.\n"
            "Alternatively, set [Po] to some small positive value\n"
            "which allows it to be adjusted appropriately.\n");
}

// The points handed on as imported: ties mended (1, 1 -> 1, 1.5 and 3, 3 -> 2.5, 3), but the last
// time not stretched and a product below zero not replaced; [So] keeps its sign.
TEST(BrevantixRun, RawPointsAreTheImportedOnesWithTiesRepaired) {
  TempDir dir;
  Analysis r;
  run(dir.write("ties.dat", "-4.5\n0, 0\n1, 0.5\n1, 0.9\n2, -0.1\n3, 1.6\n3, 1.8\n"), r);
  EXPECT_EQ(r.s.t_raw, (std::vector<double>{0, 1, 1.5, 2, 2.5, 3}));
  EXPECT_EQ(r.s.y_raw, (std::vector<double>{0, 0.5, 0.9, -0.1, 1.6, 1.8}));
  EXPECT_EQ(r.s.so_raw, -4.5);
  EXPECT_DOUBLE_EQ(r.s.tmax, 3.03);  // the fits still see the stretched time
}

// Each bad input stops the run with its message (a stop: its text / message; an input error: the
// file, line and reason), and no report (or temporary file) is left.
TEST(BrevantixRun, BadInputLeavesNoReportBehind) {
  const struct {
    const char* name;
    const char* text;  // nullptr: the file does not exist
    const char* message;
  } cases[] = {
      {"missing.dat", nullptr, "EXECUTION L4275 / No data file was found!"},
      {"tied.dat", "4.5\n1, 1\n1, 2\n1, 3\n1, 4\n1, 5\n",
       "Run Aborted! / Time values in file must not be equal! Program terminated!"},
      {"onenumber.dat", "4.5\n0, 0\n1\n2, 3\n", ":3: expected a time and a product value: \"1\""},
      {"backwards.dat", "4.5\n0, 0\n2, 1\n1, 2\n3, 3\n4, 4\n", ":4: the times must increase"},
      // Each refusal names the real reason, found on the file's own times.
      {"backwards-below-0.dat", "4.5\n0, 0\n-1, 1\n2, 2\n3, 3\n", ":3: the times must increase"},
      {"below-0.dat", "4.5\n-3, 0\n-2, 1\n2, 2\n3, 3\n", ":3: times of 0 or less cannot"},
      {"first-below-0.dat", "4.5\n-1, 0\n0.001, 1\n1, 2\n2, 3\n100, 4\n",
       ":3: a first time below 0 is fitted as 1 % of the last time"},
      {"span.dat", "4.5\n1e-300, 0.1\n1e-200, 0.5\n1e-100, 1\n1, 2\n1e100, 3\n1e300, 3.5\n",
       ":4: the times span too many orders of magnitude to be normalised"},
      {"overflow.dat", "4.5\n0, 0\n1, 1\n2, 2\n1.79e308, 3\n", ":5: the last time is too large"},
      {"wouldbe.out", "4.5\n0, 0\n1, 2\n", ": the report would replace the data file"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    const fs::path data = dir.path() / c.name;
    if (c.text != nullptr) dir.write(c.name, c.text);
    Analysis r;
    std::string what = "analysed";
    try {
      run(data, r);
    } catch (const Stop& s) {
      what = s.text() + " / " + s.message();
    } catch (const InputError& e) {
      what = e.what();
      EXPECT_EQ(what.rfind(data.string() + ":", 0), 0u) << what;
    }
    EXPECT_NE(what.find(c.message), std::string::npos) << c.name << ": " << what;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()),
              c.text != nullptr ? 1 : 0)
        << c.name;
    if (c.text != nullptr) {
      EXPECT_EQ(TempDir::read(data), c.text) << c.name;
    }
  }
}

// Numbers below the smallest double are read as 0 (or a denormal), times across many orders of
// magnitude are fine as long as their scaling keeps them apart, and so is a tie the repair
// leaves to the stretch of the last time.
TEST(BrevantixRun, AnalysesUnderflowingNumbersAndWideTimes) {
  const struct {
    const char* text;
    double y1;
  } cases[] = {{"4.5\n0, 1e-400\n1, 1\n2, 2d0\n3, 3\n4, 4\n", 0.0},
               {"4.5\n1e-200, 1e-310\n1e-100, 1\n1, 2\n1e100, 3\n1e200, 4\n", 1e-310},
               // A tie at the end that only the 1 % stretch parts: 1, 2, 2.5, 3, 3.03.
               {"4.5\n1, 1\n2, 1.5\n3, 2\n3, 3\n3, 4\n", 1}};
  for (const auto& c : cases) {
    TempDir dir;
    Analysis r;
    run(dir.write("wide.dat", c.text), r);
    EXPECT_TRUE(r.s.report_written) << c.text;
    EXPECT_EQ(r.s.n, 5) << c.text;
    EXPECT_EQ(r.s.y_raw.at(0), c.y1) << c.text;
  }
}

// Bit for bit: a NaN (a parameter of a model that was not fitted) equals itself, and -0 is not
// 0.
::testing::AssertionResult SameBits(double a, double b) {
  if (std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b))
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << a << " and " << b << " differ";
}

void expect_same_fit(const ModelFit& a, const ModelFit& b, const std::string& which) {
  for (std::size_t k = 0; k < a.p.size(); ++k) EXPECT_TRUE(SameBits(a.p[k], b.p[k])) << which << k;
  EXPECT_TRUE(SameBits(a.ssr, b.ssr)) << which << " ssr";
  EXPECT_TRUE(SameBits(a.se, b.se)) << which << " se";
  EXPECT_EQ(a.ierr, b.ierr) << which;
  EXPECT_EQ(a.ithr, b.ithr) << which;
}

// Model 2 fitted on a thread of its own, in a copy of the fit context taken before Model 1,
// must come out as it does after Model 1 on the same thread: every parameter, sum, kd p-value
// and curve point to the last bit, and the same report. Both models, both deactivation types,
// short curves that still fit, a failed or unscalable one, and long ones.
TEST(BrevantixRun, BothModelsAtOnceGiveTheFiguresOfOneAfterTheOther) {
  TempDir dir;
  std::vector<fs::path> files;
  for (const char* name :
       {"examples/example.dat", "examples/example-type2.dat", "tests/data/model1-13.dat",
        "tests/data/model2-8.dat", "tests/data/model2-offset-40.dat",
        "tests/data/model1-negative-25.dat", "tests/data/fast-loss-50.dat"}) {
    const fs::path source = fs::path(BRX_PROJECT_DIR) / name;
    files.push_back(dir.write(source.filename().string(), TempDir::read(source)));
  }
  int index = 0;
  for (const int points : {3, 4, 6, 9, 15, 30, 60, 120, 250}) {
    const test::CurveFile c = test::curve_file(21, index++, points);
    files.push_back(dir.write(c.name, c.text));
  }
  files.push_back(dir.write("flat.dat", "4.5\n0, 0\n1, 0\n2, 0\n3, 0\n4, 0\n5, 0\n"));

  for (const fs::path& file : files) {
    SCOPED_TRACE(file.filename().string());
    globalsplot gp1, gp2;
    std::ostringstream notes1, notes2;
    const RunSummary one =
        brevantix_run(file.string(), gp1, notes1, kDefaultMaxRows, ModelThreads::kOne);
    const std::string report_one = masked_report(one.report_path);
    const RunSummary two =
        brevantix_run(file.string(), gp2, notes2, kDefaultMaxRows, ModelThreads::kTwo);
    EXPECT_EQ(masked_report(two.report_path), report_one);
    expect_same_fit(one.model1, two.model1, "Model 1 ");
    expect_same_fit(one.model2, two.model2, "Model 2 ");
    EXPECT_TRUE(SameBits(one.stats.kdp, two.stats.kdp)) << "kd p-value";
    EXPECT_EQ(one.body, two.body);
    ASSERT_EQ(one.n8, two.n8);
    for (int j = 1; j <= 2; ++j) {
      for (int i = 1; i <= one.n8; ++i) {
        EXPECT_TRUE(SameBits(one.x8(i, j), two.x8(i, j))) << i << ", " << j;
        EXPECT_TRUE(SameBits(one.y8(i, j), two.y8(i, j))) << i << ", " << j;
        EXPECT_TRUE(SameBits(one.z8(i, j), two.z8(i, j))) << i << ", " << j;
      }
    }
    EXPECT_EQ(gp1.model1lbl, gp2.model1lbl);
    EXPECT_EQ(notes1.str(), notes2.str());
  }
}

// The processor time counts both threads: fitting at once costs no less work than one after the
// other, so the sum is not far below the sequential figure (it would be about Model 1's share
// alone if Model 2's thread went uncounted).
TEST(BrevantixRun, ProcessorTimeCountsBothThreads) {
  TempDir dir;
  const test::CurveFile c = test::curve_file(21, 1, 400);  // Model 2's fit takes a fair share
  const fs::path file = dir.write(c.name, c.text);
  auto least = [&](ModelThreads threads) {  // the least of a few runs: the least disturbed
    double best = 1e300;
    for (int i = 0; i < 3; ++i) {
      globalsplot gp;
      std::ostringstream notes;
      best = std::min(
          best, brevantix_run(file.string(), gp, notes, kDefaultMaxRows, threads).cpu_seconds);
    }
    return best;
  };
  const double one = least(ModelThreads::kOne);
  const double two = least(ModelThreads::kTwo);
  EXPECT_GT(two, 0.8 * one) << "one thread " << one << " s, two threads " << two << " s";
}

TEST(MissingCurvesReason, NamesWhyARunGaveNoCurves) {
  const struct {
    ReportBody body;
    bool fitted;
    const char* why;
  } cases[] = {{ReportBody::kFull, true, ""},
               {ReportBody::kTooFewPoints, true, "too few data points"},
               {ReportBody::kAbortedFit, true, "the fit failed"},
               {ReportBody::kAbortedFit, false, "no positive time or product"}};
  for (const auto& c : cases) {
    RunSummary s;
    s.body = c.body;
    s.fitted = c.fitted;
    EXPECT_EQ(missing_curves_reason(s), c.why);
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
  globalsplot gp;
  std::ostringstream notes;
  const RunSummary curve = brevantix_run_curve(table, table.curves[0], gp, notes);
  EXPECT_EQ(curve.report_path, (dir.path() / "plate-A_1.out").string());
  EXPECT_EQ(curve.data_path, (dir.path() / "plate.csv").string());
  EXPECT_EQ(masked_report(curve.report_path), masked_report(file.s.report_path));
  EXPECT_EQ(curve.model1.p, file.s.model1.p);

  try {
    brevantix_run_curve(table, table.curves[1], gp, notes);
    ADD_FAILURE() << "a time below 0 after the first was fitted";
  } catch (const InputError& e) {
    EXPECT_NE(std::string(e.what()).find("plate.csv:5: times of 0 or less"), std::string::npos)
        << e.what();
  }
  EXPECT_EQ(curve_report_path("/d/p.tsv", "E0 = 0.5 µM"), "/d/p-E0___0.5__M.out");
}

}  // namespace
}  // namespace brx
