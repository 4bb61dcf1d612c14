#include "crosscheck/deactivation_check.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "tests/crosscheck/synthetic_curves.h"

namespace brx::crosscheck {
namespace {

struct Points {
  double so = 0;
  std::vector<double> t, y;
};

// [So] and the rows of a data file up to its first empty line (the layout of the example).
Points read_points(const std::string& path) {
  Points p;
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  p.so = std::stod(line);
  while (std::getline(in, line) && !line.empty()) {
    double t = 0, y = 0;
    if (std::sscanf(line.c_str(), " %lf , %lf", &t, &y) != 2) break;
    p.t.push_back(t);
    p.y.push_back(y);
  }
  return p;
}

TEST(DeactivationCheck, ExampleFileShowsALossOfEnzyme) {
  const Points e = read_points(std::string(BRX_EXAMPLES_DIR) + "/example.dat");
  ASSERT_EQ(e.t.size(), 13u);
  const CrossCheck c = check_deactivation(e.t, e.y, e.so);
  EXPECT_EQ(c.verdict, Verdict::kDeactivation);
  EXPECT_LT(c.p, 1e-6);
  EXPECT_GE(c.loss.kd, 0.7);
  EXPECT_LE(c.loss.kd, 0.95);
  EXPECT_LT(c.kd_low, c.loss.kd);
  EXPECT_GT(c.kd_high, c.loss.kd);
  EXPECT_LT(c.ssr1 * 20, c.ssr2);  // the classical curve cannot level off below [So]
  EXPECT_GT(c.weight1, 0.99);
  EXPECT_DOUBLE_EQ(c.half_life * c.loss.kd, std::log(2.0));
  EXPECT_EQ(c.text,
            "deactivation detected (p = 1.7e-07): kd = 0.821 /time unit [0.556, 0.912], "
            "half-life 0.844 [0.76, 1.25] time units");
  EXPECT_EQ(c.note, "");  // the interval is narrower than kd
}

TEST(DeactivationCheck, PointsThatCannotBeJudgedGiveAReasonInstead) {
  const ProgressCurve c = test::loss_curve({});
  const std::vector<double> t5(c.t.begin(), c.t.begin() + 5), y5(c.y.begin(), c.y.begin() + 5);
  std::vector<double> y_nan = c.y;
  y_nan[3] = std::nan("");
  const std::vector<double> same(c.t.size(), 2.0);
  struct Case {
    std::vector<double> t, y;
    double so;
    const char* reason;
  };
  const Case cases[] = {
      {t5, y5, 100, "only 5 points, at least 6 needed"},
      {{}, {}, 100, "only 0 points, at least 6 needed"},
      {c.t, t5, 100, "the times and products differ in number"},
      {c.t, y_nan, 100, "a time or product is not a number"},
      {c.t, c.y, 0, "[So] must be a number other than 0"},
      {same, c.y, 100, "every point has the same time"},
  };
  for (const Case& k : cases) {
    const CrossCheck r = check_deactivation(k.t, k.y, k.so);
    EXPECT_EQ(r.verdict, Verdict::kNone) << k.reason;
    EXPECT_EQ(r.reason, k.reason);
    EXPECT_EQ(r.text, std::string("no verdict: ") + k.reason);
    EXPECT_TRUE(std::isnan(r.p) && std::isnan(r.loss.kd)) << k.reason;
  }
}

TEST(DeactivationCheck, SixPointsAreEnoughThoughTheirAiccIsNot) {
  const ProgressCurve c = test::loss_curve({.kd = 2.0 / 60, .points = 6, .noise = 0.5});
  const CrossCheck r = check_deactivation(c.t, c.y, c.s0);
  EXPECT_NE(r.verdict, Verdict::kNone) << r.text;
  EXPECT_TRUE(std::isnan(r.aicc1));  // n − K − 1 = 0 with K = 5
  EXPECT_FALSE(std::isnan(r.aicc2));
}

TEST(DeactivationCheck, FitThatFailsGivesNoVerdict) {
  ProgressCurve c = test::loss_curve({});
  for (double& y : c.y) y = 1e200 * (1 + y);
  const CrossCheck r = check_deactivation(c.t, c.y, c.s0);
  EXPECT_EQ(r.verdict, Verdict::kNone);
  EXPECT_EQ(r.text, "no verdict: the least-squares fit failed");
}

// Times of denormal size (a span of 7e-310) make the unit of kd infinite; the check ends, without
// a verdict, instead of searching for the end of the kd interval for ever.
TEST(DeactivationCheck, TimesBelowTheSmallestNormalDoubleEndWithoutAVerdict) {
  std::vector<double> t, y;
  for (int i = 0; i < 8; ++i) {
    t.push_back(1e-310 * i);
    y.push_back(1e-300 * i);
  }
  const CrossCheck r = check_deactivation(t, y, 1e-300);
  EXPECT_EQ(r.verdict, Verdict::kNone) << r.text;
}

TEST(DeactivationCheck, TypeTwoFileIsFittedWithFirstOrderLossAndSaysSo) {
  const ProgressCurve c = test::loss_curve({.kd = 1.0 / 60, .noise = 0.5});
  const CrossCheck one = check_deactivation(c.t, c.y, c.s0);
  const CrossCheck two = check_deactivation(c.t, c.y, -c.s0);
  EXPECT_EQ(two.deactivation_type, 2);
  EXPECT_EQ(two.p, one.p);
  EXPECT_EQ(two.text, one.text);
  EXPECT_NE(two.note.find("deactivation type 2"), std::string::npos) << two.note;
  EXPECT_EQ(one.note.find("type 2"), std::string::npos);
}

// Ten curves with seeded noise of 0.5 % of [So]: a loss of enzyme with kd·tmax = 2 (three
// quarters of it gone by the end) is found in at least nine, a false alarm at kd = 0 is raised
// in at most one.
TEST(DeactivationCheck, FindsALossAndRaisesFewFalseAlarms) {
  for (const double kd_tmax : {0.0, 2.0}) {
    int flagged = 0;
    for (std::uint64_t seed = 1; seed <= 10; ++seed) {
      const ProgressCurve c = test::loss_curve({.kd = kd_tmax / 60, .noise = 0.5}, seed);
      flagged += check_deactivation(c.t, c.y, c.s0).verdict == Verdict::kDeactivation;
    }
    if (kd_tmax == 0) {
      EXPECT_LE(flagged, 1);
    } else {
      EXPECT_GE(flagged, 9);
    }
  }
}

}  // namespace
}  // namespace brx::crosscheck
