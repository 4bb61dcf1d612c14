#include "analysis/report.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <string>

#include "analysis/number_fields.h"
#include "tests/support/golden_report.h"

namespace brx {
namespace {

namespace fs = std::filesystem;

std::string golden(const std::string& name) {
  return test::golden_report(fs::path(BRX_GOLDEN_DIR) / name);
}

// Every decision points to Model 1 (case 1), deactivation type 2, and Model 2's regression used
// up its iterations.
ReportInput case1_type2() {
  // clang-format off
  return {.flagpexp = 1,
          .stats = {.aicc1 = -123.456, .aicc2 = -110.0, .F = 5.4321, .pF = 0.0432, .pLow = 0.0123,
                    .pHigh = 0.0741, .tW = 3.21, .tCrit = 2.06, .W = 1, .kd = 0.123456,
                    .kdp = 0.0012345, .verdict = PvalueVerdict::kAtMost05, .band = true,
                    .conclusion = 1},
          .ithr2 = 3};
  // clang-format on
}

TEST(ReportText, TheThreeBodiesLineByLine) {
  ReportInput in = case1_type2();
  EXPECT_EQ(test::masked_report(report_text(in)), golden("full_report.txt"));
  in.body = ReportBody::kAbortedFit;
  EXPECT_EQ(report_text(in), golden("aborted_fit.txt"));
  in.body = ReportBody::kTooFewPoints;
  EXPECT_EQ(report_text(in), golden("too_few_points.txt"));

  // Type 1, a contentious kd, p <= 0.10 with advice, no Welch critical value: case 3.
  // clang-format off
  in = {.stats = {.aicc1 = -123.456, .aicc2 = -110.0, .F = 5.4321, .pF = 0.07, .pLow = 0.04,
                  .pHigh = 0.1, .tW = 1.5, .tCrit = std::nan(""), .W = 0, .kd = 0.0005,
                  .kdp = 0.0012345, .verdict = PvalueVerdict::kAtMost10, .band = true,
                  .advice = Advice::kSinceBandReaches05, .conclusion = 3, .contentious = true}};
  // clang-format on
  EXPECT_EQ(test::masked_report(report_text(in)), golden("full_report_case3.txt"));
}

TEST(ReportText, AdviceWithoutTheBandAndTheDateAndElapsedLines) {
  setenv("TZ", "UTC", 1);
  tzset();
  ReportInput in = case1_type2();
  in.when = 1796571395;
  in.elapsed = 100.0;  // does not fit X8.5
  in.stats.pF = 0.2;
  in.stats.verdict = PvalueVerdict::kAbove10;
  in.stats.band = false;
  in.stats.advice = Advice::kMayImprove;
  const std::string text = report_text(in);
  EXPECT_NE(text.find("Model 2:\r\n F-distribution p-value =   0.20000 > 0.10\r\n "
                      "Adding more data points may improve the significance.\r\n\r\n "
                      "The Welch's"),
            std::string::npos);
  EXPECT_NE(text.find("\r\n\r\n The date is Sun Dec  6 15:36:35 2026      \r\n\r\n"
                      " Elapsed time=******** seconds\r\n\r\n"),
            std::string::npos);
}

// The last three characters of the name give way to "out"; characters, not bytes: a multi-byte
// character is cut whole and a stray byte is one character. The cut never reaches the folder.
TEST(ReportPath, ReplacesTheLastThreeCharactersOfTheName) {
  EXPECT_EQ(report_path("/data/ab"), "/data/out");
  EXPECT_EQ(report_path("/d/ab\xE6\x97\xA5"
                        "cd"),
            "/d/about");
  EXPECT_EQ(report_path("/d/abc\xFF"), "/d/aout");
}

// The fields print as a Fortran program would: rounding carries into the exponent, three
// exponent digits replace the E, a value too wide is all asterisks, infinities fit in short.
TEST(ReportField, PrintsAsAFortranProgramWould) {
  EXPECT_EQ(s12_5(9.999996), " 1.00000E+01");
  EXPECT_EQ(s12_5(-1.5e-300), "-1.50000-300");
  EXPECT_EQ(s10_4(-3.14159), "**********");
  EXPECT_EQ(x9_5(999.999999), "*********");
  EXPECT_EQ(x8_3(-std::numeric_limits<double>::infinity()), "    -Inf");
  EXPECT_EQ(field_x(std::nan(""), 2, 0), "**");
}

}  // namespace
}  // namespace brx
