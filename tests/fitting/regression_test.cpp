// The regression's guarantees that whole runs cannot show: a curve that blew up never looks like a
// good fit, and a fit never ends worse than where it started.

#include "fitting/regression.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tests/fitting/regression_curves.h"

namespace brx {
namespace {

using test::fit;
using test::FitCase;
using test::Kinetics;
using test::make_case;

constexpr double kInf = std::numeric_limits<double>::infinity();
const Kinetics kModel1{0.4, 2.6, 0.02, 1.5, 1.2};

// A curve that blew up must lose to every finite trial and never pass for a close fit: its sum of
// squares is +infinity from 2^53 on, where a double no longer resolves a unit, and for a residual
// that is infinite or not a number.
TEST(L7772, ASumThatBlewUpLosesToEveryFiniteSum) {
  const struct {
    double r1, r2;  // residuals of points 1 and 2; point 3 fits exactly
    double ssr;
  } cases[] = {
      {0x1p26, 0x1p26, kInf},                     // exactly 2^53
      {0x1p26, 0x1p26 - 1, 0x1p53 - 0x1p27 + 1},  // just below: kept as it is
      {1e150, 0.0, kInf},                         // far beyond
      {kInf, 0.0, kInf},                          // infinite
      {std::nan(""), 0.0, kInf},                  // not a number
  };
  for (const auto& c : cases) {
    Table v(3, 1), sf0(3, 1), w(1, 1);
    v(1, 1) = c.r1;
    v(2, 1) = c.r2;
    double ssr = 0.0, se = 1.0;
    l7772(1, 3, 1, v, sf0, 0, w, ssr, se);
    EXPECT_EQ(ssr, c.ssr) << c.r1;
    EXPECT_EQ(se, std::sqrt(c.ssr / 2.0)) << c.r1;  // divisor npts·col - nparam
  }
}

// An enzyme lost within the first tenth of the run (kd 12 on the normalised time scale): the
// random search settles on a vector whose smoothed cheap curve looks better but whose integrated
// curve is far worse, and the iteration may find nothing better than that vector. The fit must
// then give back its start, with the start's own curve, sum of squares and kd test; a second
// pass (unit weights) never ends above the first.
TEST(L7500, NeverEndsWorseThanItsStart) {
  const Kinetics fast{0.61, 14.8, 0.01, 12.1, 3.06};
  FitCase c = make_case(1, fast, 50, 0.0, {0.7, 13.0, 0.012, 11.0});
  const std::vector<double> start = c.p;
  FitResult r = fit(c, Weighting::kRelative);
  EXPECT_EQ(r.outcome, FitOutcome::kStartKept);
  EXPECT_EQ(c.p, start);
  EXPECT_EQ(r.ssr, test::ssr_at(c, start)) << "sf0 is the start's curve";
  ASSERT_TRUE(r.kdp.has_value()) << "the kd test is made for the start";
  EXPECT_GE(*r.kdp, 0.0);

  for (double noise : {0.0, 0.0092}) {
    c = make_case(1, fast, 50, noise, {1.0, 10.0, 0.003, 0.01});
    const FitResult first = fit(c, Weighting::kRelative);
    const std::vector<double> after_first = c.p;
    r = fit(c, Weighting::kUnit);
    EXPECT_LE(r.ssr, first.ssr) << noise;
    EXPECT_EQ(r.ssr, test::ssr_at(c, c.p)) << noise;
    if (noise == 0.0) {
      EXPECT_EQ(c.p, after_first);
    }
  }
}

TEST(L7500, AWorseLastTrialIsNotKept) {
  // From the analysis's default start, 200 points of Model 1 end the iterations on the
  // step-length test with a rejected trial. What comes back must be the last accepted iterate:
  // the result of a run limited to the iterations before it.
  const FitCase start =
      make_case(1, kModel1, 200, 0.0, {1.0, 10.0, 0.0012, 0.01}, test::Source::kIntegrated);
  FitCase full = start;
  const FitResult r = fit(full, Weighting::kRelative);
  ASSERT_EQ(r.stop, FitStop::kShortStep);
  FitCase limited = start;
  EXPECT_EQ(fit(limited, Weighting::kRelative, r.iteration - 1).stop, FitStop::kIterationLimit);
  EXPECT_EQ(limited.p, full.p);
}

TEST(L7500, UndeterminedOrUndefinedFitsSayNothingFalse) {
  // Three or four points for four parameters (the analysis still fits such files): the standard
  // error of kd is undetermined, not zero, so kd is not called significant.
  for (int npts : {3, 4}) {
    FitCase c = make_case(1, kModel1, npts, 0.001, {0.5, 2.2, 0.03, 1.0});
    const FitResult r = fit(c, Weighting::kRelative);
    EXPECT_NE(r.outcome, FitOutcome::kFailed) << npts;
    ASSERT_TRUE(r.kdp.has_value()) << npts;
    EXPECT_GT(*r.kdp, 0.99) << npts;
  }
  // No trial of a not-a-number start is ever accepted: the fit fails, and the sum of squares of
  // the curve it leaves is no small number. Its integration must end too: a step whose error
  // is not a number is accepted, not retried for ever.
  FitCase c = make_case(2, {0.4, 1.8, 0.02, 0.0, 1.2}, 13, 0.0, {std::nan(""), 2.0, 0.03});
  const FitResult r = fit(c, Weighting::kRelative);
  EXPECT_EQ(r.outcome, FitOutcome::kFailed);
  EXPECT_EQ(r.ierr(), 6);
  EXPECT_EQ(r.ssr, kInf);
}

}  // namespace
}  // namespace brx
