#include "analysis/report.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace brx {
namespace {

using test::TempDir;

// The report's lines; fails the test when a line does not end with CR LF.
std::vector<std::string> crlf_lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      ADD_FAILURE() << "last line has no CR LF: " << text.substr(start);
      break;
    }
    const std::string line = text.substr(start, end - start);
    EXPECT_EQ(line.find('\n'), std::string::npos) << "bare line feed in: " << line;
    lines.push_back(line);
    start = end + 2;
  }
  return lines;
}

// The expected report, one line per line of the file; the date and elapsed-time lines are masked
// in both texts.
std::vector<std::string> golden(const std::string& name) {
  std::istringstream in(test::TempDir::read(std::filesystem::path(BRX_GOLDEN_DIR) / name));
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> masked(std::vector<std::string> lines) {
  for (auto& line : lines) {
    if (line.rfind(" The date is ", 0) == 0) line = " The date is (masked)";
    if (line.rfind(" Elapsed time=", 0) == 0) line = " Elapsed time= (masked)";
  }
  return lines;
}

void expect_same_lines(const std::vector<std::string>& actual,
                       const std::vector<std::string>& expected) {
  for (std::size_t i = 0; i < std::min(actual.size(), expected.size()); ++i) {
    EXPECT_EQ(actual[i], expected[i]) << "line " << i + 1;
  }
  EXPECT_EQ(actual.size(), expected.size());
}

// A comparison where every decision points to Model 1 (case 1), deactivation type 2, and Model
// 2's regression used up its iterations.
ReportInput case1_type2() {
  ReportInput in;
  in.body = ReportBody::kFull;
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
  c.advice = Advice::kNone;
  c.conclusion = 1;
  c.contentious = false;
  in.ithr2 = 3;
  in.elapsed = 0.25;
  return in;
}

TEST(ReportText, TheFullReportLineByLine) {
  expect_same_lines(masked(crlf_lines(report_text(case1_type2()))), golden("full_report.txt"));
}

TEST(ReportText, TheTwoAbortBodiesLineByLine) {
  ReportInput in = case1_type2();
  in.body = ReportBody::kAbortedFit;
  expect_same_lines(crlf_lines(report_text(in)), golden("aborted_fit.txt"));
  in.body = ReportBody::kTooFewPoints;
  expect_same_lines(crlf_lines(report_text(in)), golden("too_few_points.txt"));
}

// The lines of a full report from the comparison section on, for checking one element.
std::string body(const ReportInput& in) {
  return report_text(in);
}

bool has_line(const std::string& text, const std::string& line) {
  return text.find("\r\n" + line + "\r\n") != std::string::npos;
}

TEST(ReportText, TypeOnePrintsTheShortModelEquation) {
  ReportInput in = case1_type2();
  in.flagpexp = 0;
  const std::string text = body(in);
  EXPECT_TRUE(has_line(text, " d[P]/dt=Vmax*Exp(-kd*t)*([So]-[P(t)]) / (Km+([So]-[P(t)]))"));
  EXPECT_EQ(text.find(" d[P]/dt=Vmax*Exp(-kd*t)*([So]-[P(t)])/(Km+([So]-[P(t)])) -(t*Km"),
            std::string::npos);
}

TEST(ReportText, AContentiousKdIsNamedTwiceInCasesOneToFour) {
  ReportInput in = case1_type2();
  in.stats.kd = 0.0005;
  in.stats.contentious = true;
  const std::string contentious = " Contentious kd value since it is less than 0.001.";
  for (int kase = 1; kase <= 6; ++kase) {
    in.stats.conclusion = kase;
    const auto lines = crlf_lines(body(in));
    const auto count = std::count(lines.begin(), lines.end(), contentious);
    EXPECT_EQ(count, kase <= 4 ? 2 : 1) << "case " << kase;
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& l) { return l.find("kd p-value") != l.npos; }),
              0);
  }
}

TEST(ReportText, EachCaseOpensWithItsVerdict) {
  const char* second[] = {" null hypothesis is rejected since the F-Test p-value <= 0.05.",
                          " null hypothesis is rejected since the F-Test p-value <= 0.10.",
                          " null hypothesis is accepted since the F-Test p-value > 0.05",
                          " null hypothesis is rejected since the F-Test p-value <= 0.10,",
                          " null hypothesis is accepted since the F-Test p-value > 0.10,",
                          " null hypothesis is accepted since the F-Test p-value > 0.10"};
  const char* last[] = {" it is likely that significant enzyme deactivation has occurred.",
                        " it is likely that some enzyme deactivation has occurred.",
                        " is unlikely that any significant enzyme deactivation has occurred.",
                        " it is likely that some enzyme deactivation has occurred.",
                        " is unlikely that any significant enzyme deactivation has occurred.",
                        " is unlikely that any significant enzyme deactivation has occurred."};
  ReportInput in = case1_type2();
  in.ithr2 = 0;
  for (int kase = 1; kase <= 6; ++kase) {
    in.stats.conclusion = kase;
    const auto lines = crlf_lines(body(in));
    const auto at = std::find(lines.begin(), lines.end(), second[kase - 1]);
    ASSERT_NE(at, lines.end()) << "case " << kase;
    const auto end = std::find(at, lines.end(), " " + std::string(100, '-'));
    ASSERT_NE(end, lines.end());
    EXPECT_EQ(*(end - 1), last[kase - 1]) << "case " << kase;
  }
}

TEST(ReportText, AdviceWithoutBandAndTheOtherPValueLines) {
  ReportInput in = case1_type2();
  Comparison& c = in.stats;
  c.pF = 0.2;
  c.pLow = 0.08;
  c.verdict = PvalueVerdict::kAbove10;
  c.band = false;
  c.advice = Advice::kMayImprove;
  std::string text = body(in);
  EXPECT_TRUE(has_line(text, " F-distribution p-value =   0.20000 > 0.10"));
  EXPECT_EQ(text.find("[pvalue-S.D."), std::string::npos);
  EXPECT_EQ(text.find("likely statistically different.\r\n F-distribution"), std::string::npos);
  EXPECT_TRUE(has_line(text, " Adding more data points may improve the significance."));

  c.pF = 0.07;
  c.pLow = 0.04;
  c.verdict = PvalueVerdict::kAtMost10;
  c.band = true;
  c.advice = Advice::kSinceBandReaches05;
  text = body(in);
  EXPECT_NE(text.find("\r\n\r\n The AICc's of the two models are likely statistically different."
                      "\r\n F-distribution p-value =   0.07000 <= 0.10\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("\r\n\r\n Adding more data points may improve the significance since "
                      "(pvalue - S.D.) <= 0.05\r\n"),
            std::string::npos);
}

TEST(ReportText, FiguresThatAreNotFinitePrintAsAFortranProgramWould) {
  ReportInput in = case1_type2();
  in.stats.tCrit = std::nan("");
  in.stats.W = 0;
  in.stats.sd = INFINITY;
  in.stats.pLow = std::nan("");
  in.stats.aicc1 = -INFINITY;
  const std::string text = body(in);
  EXPECT_TRUE(has_line(text, " Welch's t-test =    3.210 <   NaN (Welch critical t-value)"));
  EXPECT_TRUE(has_line(text, " [      NaN <   0.04320 <   0.07410]"));
  EXPECT_TRUE(has_line(text, " AICc of Model 1 =    -Infinity"));
}

TEST(ReportText, TheDateAndElapsedLines) {
  setenv("TZ", "UTC", 1);
  tzset();
  EXPECT_EQ(report_date(1796571395), "Sun Dec  6 15:36:35 2026      ");
  ReportInput in = case1_type2();
  in.when = 1796571395;
  in.elapsed = 100.0;
  auto lines = crlf_lines(body(in));
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[lines.size() - 4], " The date is Sun Dec  6 15:36:35 2026      ");
  EXPECT_EQ(lines[lines.size() - 2], " Elapsed time=******** seconds");
  in.elapsed = 1.5;
  lines = crlf_lines(body(in));
  EXPECT_EQ(lines[lines.size() - 2], " Elapsed time= 1.50000 seconds");
}

TEST(ReportPath, ReplacesTheLastThreeCharactersOfTheName) {
  EXPECT_EQ(report_path("/data/RUN7.DAT"), "/data/RUN7.out");
  EXPECT_EQ(report_path("/data/run7.dat"), "/data/run7.out");
  EXPECT_EQ(report_path("/data/run7.txt"), "/data/run7.out");
  EXPECT_EQ(report_path("run7.dat"), "run7.out");
  // The cut never reaches into the folder part.
  EXPECT_EQ(report_path("/data/ab"), "/data/out");
  EXPECT_EQ(report_path("ab"), "out");
  EXPECT_EQ(report_path("/data/abc"), "/data/out");
}

TEST(WriteReport, ReplacesAnOldReportCompletelyAndLeavesNoTemporaryFile) {
  TempDir dir;
  const std::string path = (dir.path() / "run.out").string();
  ASSERT_TRUE(write_report(path, std::string(5000, 'x')));
  ASSERT_TRUE(write_report(path, "short\r\n"));
  EXPECT_EQ(TempDir::read(path), "short\r\n");
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, 1);
  // Readable like any file the user creates, not private as temporary files are.
  const mode_t mask = umask(0);
  umask(mask);
  EXPECT_EQ(static_cast<unsigned>(std::filesystem::status(path).permissions()), 0666u & ~mask);
}

TEST(WriteReport, FailsCleanlyWhereNoFileCanBeCreated) {
  TempDir dir;
  EXPECT_FALSE(write_report((dir.path() / "missing" / "run.out").string(), "text\r\n"));
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "missing"));
}

}  // namespace
}  // namespace brx
