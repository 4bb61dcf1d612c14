#include "analysis/report.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

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
  ReportInput in;
  in.flagpexp = 1;
  Comparison& c = in.stats;
  c.kd = 0.123456;
  c.kdp = 0.0012345;
  c.aicc1 = -123.456;
  c.aicc2 = -110.0;
  c.F = 5.4321;
  c.pF = 0.0432;
  c.pLow = 0.0123;
  c.pHigh = 0.0741;
  c.tW = 3.21;
  c.tCrit = 2.06;
  c.W = 1;
  c.verdict = PvalueVerdict::kAtMost05;
  c.band = true;
  c.conclusion = 1;
  in.ithr2 = 3;
  return in;
}

TEST(ReportText, TheThreeBodiesLineByLine) {
  ReportInput in = case1_type2();
  EXPECT_EQ(test::masked_report(report_text(in)), golden("full_report.txt"));
  in.body = ReportBody::kAbortedFit;
  EXPECT_EQ(report_text(in), golden("aborted_fit.txt"));
  in.body = ReportBody::kTooFewPoints;
  EXPECT_EQ(report_text(in), golden("too_few_points.txt"));

  // Type 1, a contentious kd, p <= 0.10 with advice, no Welch critical value: case 3.
  in = case1_type2();
  in.flagpexp = 0;
  in.ithr2 = 0;
  Comparison& c = in.stats;
  c.kd = 0.0005;
  c.contentious = true;
  c.pF = 0.07;
  c.pLow = 0.04;
  c.pHigh = 0.1;
  c.verdict = PvalueVerdict::kAtMost10;
  c.advice = Advice::kSinceBandReaches05;
  c.tW = 1.5;
  c.tCrit = std::nan("");
  c.W = 0;
  c.conclusion = 3;
  EXPECT_EQ(test::masked_report(report_text(in)), golden("full_report_case3.txt"));
}

TEST(ReportText, EachCaseStatesItsVerdict) {
  const char* verdicts[] = {" null hypothesis is rejected since the F-Test p-value <= 0.05.",
                            " null hypothesis is rejected since the F-Test p-value <= 0.10.",
                            " null hypothesis is accepted since the F-Test p-value > 0.05",
                            " null hypothesis is rejected since the F-Test p-value <= 0.10,",
                            " null hypothesis is accepted since the F-Test p-value > 0.10,",
                            " null hypothesis is accepted since the F-Test p-value > 0.10"};
  const char* evidence[] = {"compelling evidence to support", "some evidence to support the",
                            "no compelling evidence to support the"};
  ReportInput in = case1_type2();
  for (int kase = 1; kase <= 6; ++kase) {
    in.stats.conclusion = kase;
    const std::string text = report_text(in);
    const int e = kase == 1 ? 0 : (kase == 2 || kase == 4) ? 1 : 2;
    for (const std::string& line : {std::string(verdicts[kase - 1]),
                                    " This suggests that there is " + std::string(evidence[e])})
      EXPECT_NE(text.find("\r\n" + line + "\r\n"), std::string::npos) << "case " << kase;
  }
}

TEST(ReportText, AdviceWithoutTheBandAndTheDateAndElapsedLines) {
  setenv("TZ", "UTC", 1);
  tzset();
  ReportInput in = case1_type2();
  in.when = 1796571395;
  in.elapsed = 100.0;  // does not fit X8.5
  Comparison& c = in.stats;
  c.pF = 0.2;
  c.verdict = PvalueVerdict::kAbove10;
  c.band = false;
  c.advice = Advice::kMayImprove;
  const std::string text = report_text(in);
  EXPECT_NE(text.find("Model 2:\r\n F-distribution p-value =   0.20000 > 0.10\r\n "
                      "Adding more data points may improve the significance.\r\n\r\n "
                      "The Welch's"),
            std::string::npos);
  EXPECT_NE(text.find("\r\n\r\n The date is Sun Dec  6 15:36:35 2026      \r\n\r\n"
                      " Elapsed time=******** seconds\r\n\r\n"),
            std::string::npos);
}

TEST(ReportPath, ReplacesTheLastThreeCharactersOfTheName) {
  EXPECT_EQ(report_path("/data/RUN7.DAT"), "/data/RUN7.out");
  EXPECT_EQ(report_path("/data/ab"), "/data/out");  // the cut never reaches into the folder
  EXPECT_EQ(report_path("ab"), "out");
  // Characters, not bytes: a multi-byte character is cut whole, never split.
  const struct {
    const char* data;
    const char* report;
  } cases[] = {
      {"/d/\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.dat",
       "/d/\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.out"},
      {"/d/a\xE6\x97\xA5"
       "b",
       "/d/out"},
      {"/d/x\xE6\x97\xA5", "/d/out"},  // two characters
      {"/d/ab\xE6\x97\xA5"
       "cd",
       "/d/about"},
      {"/d/a\xFF.dat", "/d/a\xFF.out"},
      {"/d/abc\xFF", "/d/aout"},  // a stray byte is one character
  };
  for (const auto& c : cases) EXPECT_EQ(report_path(c.data), c.report) << c.data;
}

}  // namespace
}  // namespace brx
