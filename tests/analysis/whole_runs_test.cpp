// Whole runs of the analysis on fixed data files, pinned figure by figure: both example files,
// curves of both models with known parameters (tests/data/README.md), and the example's report
// line by line. Any change that moves a fit, a statistic or a word of the report shows here.
//
// Figures are pinned to 10 significant digits. The fits are deterministic, so on one machine the
// figures repeat to the last bit; 10 digits leave room for a last-bit difference of the C
// library's exp and log (not correctly rounded, and not the same in every version) while any
// change of a constant, a table entry, a tolerance or an order of operations of the fit moves
// them by far more. A figure that is exactly 0 (a kd p-value below the smallest double the
// Student t tail can form) must stay exactly 0.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "analysis/brevantix_run.h"
#include "tests/support/digits.h"
#include "tests/support/golden_report.h"
#include "tests/support/temp_dir.h"

namespace brx {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

struct Pinned {
  const char* file;  // relative to the project folder
  double kd, kdp, ssr1, ssr2, F, pF, pLow, pHigh, tW, tCrit;
  int conclusion;
};

// Today's figures of every run: Model 1's kd and its p-value, both sums of squares, the signed F,
// its p-value and band, Welch's t and its critical value, and the conclusion case.
// clang-format off
const Pinned kRuns[] = {
    // file
    //   kd               kd p-value       SSR1             SSR2             F
    //   pF               pLow             pHigh            Welch t          tcrit            case
    {"examples/example.dat",
     5.206695252,     2.386576252e-05, 0.00277544922,   0.08528560243,   4.546731537,
     0.06178936809,   0.04306296688,   0.08051576931,   1.248567687,     2.1604,          3},
    {"examples/example-type2.dat",
     0.3129856457,    5.661897617e-10, 0.001873965549,  0.08528560243,   4.652756392,
     0.05935421088,   0.04150967627,   0.07719874549,   1.26706213,      2.1604,          3},
    {"tests/data/model1-13.dat",
     3.999347104,     1.081801315e-12, 0.0001567998332, 0.02959828629,   3.839466795,
     0.08171585589,   0.05551872099,   0.1079129908,    0.7638199502,    2.1788,          3},
    {"tests/data/model2-8.dat",
     0.4774131081,    0.0002698974646, 0.0001300042077, 0.01289402047,   3.808820902,
     0.1227287691,    0.0580708684,    0.1873866698,    0.3539780241,    2.3646,          6},
    {"tests/data/model1-200.dat",
     3.007104501,     0,               0.002358402165,  0.08705553493,   11.56049526,
     0.0008162458953, 0.0007582702944, 0.0008742214963, 5.646927009,     1.97,            1},
    {"tests/data/model2-offset-40.dat",
     4.250264653e-06, 0.8667259522,    0.0007718367832, 0.0006995535808, 1.269069757,
     1,               0.75796523,      1,               0.01774118026,   1.99,            6},
    {"tests/data/model1-negative-25.dat",
     4.113075511,     0,               0.001137952291,  0.0007697168727, 1.318722063,
     1,               0.6644221777,    1,               0.0617543105,    2.02,            6},
    {"tests/data/model2-triple-ties-20.dat",
     0.06325665131,   0.6496228874,    0.001482625792,  0.008901871751,  2.417323451,
     0.1395557074,    0.1006167967,    0.1784946182,    0.4336532694,    2.06,            6},
    {"tests/data/fast-loss-50.dat",
     11.80663313,     0,               0.003835221061,  5.606220844,     40.60534682,
     7.995690365e-08, 7.337683205e-08, 8.653697525e-08, 22.93510125,     2.01,            1},
};
// clang-format on

// Analyses a copy of a project file in a folder of its own, so that no report is written into
// the source tree.
RunSummary run_copy(const std::string& file, const TempDir& dir) {
  const fs::path source = fs::path(BRX_PROJECT_DIR) / file;
  const fs::path data = dir.write(source.filename().string(), TempDir::read(source));
  globalsplot gp;
  std::ostringstream notes;
  return brevantix_run(data.string(), gp, notes);
}

::testing::AssertionResult Pins(double actual, double expected) {
  if (expected == 0.0) {
    if (actual == 0.0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << actual << " is not exactly 0";
  }
  return test::AgreesToDigits(actual, expected, 10);
}

TEST(WholeRuns, ReproduceEveryPinnedFigure) {
  for (const Pinned& g : kRuns) {
    SCOPED_TRACE(g.file);
    TempDir dir;
    const RunSummary s = run_copy(g.file, dir);
    ASSERT_EQ(s.body, ReportBody::kFull);
    const Comparison& c = s.stats;
    EXPECT_TRUE(Pins(c.kd, g.kd)) << "kd";
    EXPECT_TRUE(Pins(c.kdp, g.kdp)) << "kd p-value";
    EXPECT_TRUE(Pins(s.model1.ssr, g.ssr1)) << "SSR1";
    EXPECT_TRUE(Pins(s.model2.ssr, g.ssr2)) << "SSR2";
    EXPECT_TRUE(Pins(c.F, g.F)) << "F";
    EXPECT_TRUE(Pins(c.pF, g.pF)) << "pF";
    EXPECT_TRUE(Pins(c.pLow, g.pLow)) << "pLow";
    EXPECT_TRUE(Pins(c.pHigh, g.pHigh)) << "pHigh";
    EXPECT_TRUE(Pins(c.tW, g.tW)) << "Welch t";
    EXPECT_TRUE(Pins(c.tCrit, g.tCrit)) << "Welch critical t";
    EXPECT_EQ(c.conclusion, g.conclusion);
  }
}

TEST(WholeRuns, TheExampleReportIsReproducedLineByLine) {
  TempDir dir;
  const RunSummary s = run_copy("examples/example.dat", dir);
  EXPECT_EQ(test::masked_report(TempDir::read(s.report_path)),
            test::golden_report(fs::path(BRX_GOLDEN_DIR) / "example_report.txt"));
}

}  // namespace
}  // namespace brx
