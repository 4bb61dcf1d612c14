// The regression's contract: what a call leaves in its arguments and the shared record, the
// random search's first factors, and the weighted sum of squares.

#include "fitting/regression.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>

#include "fitting/random.h"
#include "tests/fitting/regression_curves.h"
#include "tests/support/digits.h"

namespace brx {
namespace {

using test::fit;
using test::FitCase;
using test::Kinetics;
using test::make_case;

// A Model 2 curve reaching about 0.99, and a Model 1 curve that loses most of its activity.
const Kinetics kModel2{0.4, 1.8, 0.02, 0.0, 1.2};
const Kinetics kModel1{0.4, 2.6, 0.02, 1.5, 1.2};

TEST(PerturbationFactor, EveryFitDrawsTheSameFirstTwoFactors) {
  RandomState rng{0.5, 777};  // what an earlier fit left does not matter
  double x = 0.0;
  EXPECT_TRUE(test::AgreesToDigits(perturbation_factor(rng, x), 0.95110743, 8));  // seed 1415
  EXPECT_TRUE(test::AgreesToDigits(perturbation_factor(rng, x), 0.95379186, 8));  // seed 4845
}

TEST(KdTtest, ScalesTheErrorByARealSmallSampleFactorAndTheRootOfThePointCount) {
  // t = kd·sqrt(npts)/(|kd·b4|·(1 - 3/(4·nfree - 9))); p from Student's t (numerical quadrature).
  EXPECT_TRUE(test::AgreesToDigits(kd_ttest(0.01, 0.01, 1.0, 4, 13, 9), 1.393673762e-4, 7));
  EXPECT_TRUE(test::AgreesToDigits(kd_ttest(0.01, 0.01, 1.0, 2, 13, 11), 0.386692711, 7));
  EXPECT_EQ(kd_ttest(0.01, 0.01, 1.0, 3, 13, 10), 0.0) << "factor 0: sd floored at 5e-9";
}

struct SsrCase {
  int iwt;
  double v, model, se_in, ssr, w11;  // ssr of three equal points
};

class L7772Modes : public ::testing::TestWithParam<SsrCase> {};

TEST_P(L7772Modes, WeightsEachResidualByTheModeAndReplacesUselessSums) {
  const SsrCase& c = GetParam();
  Table v(3, 1), sf0(3, 1), w(1, 1);
  for (int i = 1; i <= 3; ++i) v(i, 1) = c.v, sf0(i, 1) = c.model;
  double ssr = 0.0, se = c.se_in;
  l7772(1, 3, 1, v, sf0, c.iwt, w, ssr, se);
  EXPECT_DOUBLE_EQ(ssr, c.ssr);
  EXPECT_DOUBLE_EQ(w(1, 1), c.w11);
  EXPECT_DOUBLE_EQ(se, std::sqrt(c.ssr / 2.0));  // divisor npts·col - nparam
}

constexpr double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Regression, L7772Modes,
    ::testing::Values(SsrCase{7, 0.5, 0.25, 9.0, 3 * 0.0625, 1.0},        // unit weights
                      SsrCase{1, 0.5, 0.25, 9.0, 3 * 4 * 0.0625, 4.0},    // relative, 1/v²
                      SsrCase{1, 1e-6, 0.5 + 1e-6, 9.0, 3 * 0.25, 1.0},   // |v| < 5e-6 weighs 1
                      SsrCase{1, 2e6, 2e6 - 0.5, 9.0, 3 * 0.25, 1.0},     // |v| > 1e6 weighs 1
                      SsrCase{2, 0.5, 0.25, 0.5, 3 * 4 * 0.0625, 4.0}));  // 1/se² of the se given

// A curve that blew up must lose to every finite trial, however bad, and never pass for a close
// fit: its sum is +infinity from 2^53 on, where a double no longer resolves a unit.
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
    EXPECT_EQ(se, std::sqrt(c.ssr / 2.0)) << c.r1;
  }
}

class L7500Weightings : public ::testing::TestWithParam<Weighting> {};

// Whatever random state an earlier fit left, every fit starts its sequence afresh.
TEST_P(L7500Weightings, DescribeTheReturnedCurve) {
  FitCase c = make_case(1, kModel1, 13, 0.003, {0.5, 2.2, 0.03, 1.0});
  FitCase dirty = c;
  dirty.nr.rng = RandomState{0.3, 99};
  const FitResult r = fit(c, GetParam());
  EXPECT_EQ(r.outcome, FitOutcome::kFitted);
  EXPECT_EQ(r.ierr(), 0);
  EXPECT_EQ(r.ithr(), 0);
  // ssr, se and sf0 belong to one curve: the integrated curve at the returned parameters.
  EXPECT_DOUBLE_EQ(r.ssr, test::ssr_at(c, c.p));
  EXPECT_DOUBLE_EQ(r.se, std::sqrt(r.ssr / (13 - 4)));
  EXPECT_EQ(c.sf0(1, 1), c.p[3]);
  EXPECT_EQ(c.nr.j1, c.p[4]);
  ASSERT_TRUE(r.kdp.has_value());
  EXPECT_GE(*r.kdp, 0.0);
  EXPECT_EQ(fit(dirty, GetParam()).ssr, r.ssr);
  EXPECT_EQ(dirty.p, c.p);
}

INSTANTIATE_TEST_SUITE_P(Regression, L7500Weightings,
                         ::testing::Values(Weighting::kUnit, Weighting::kRelative,
                                           Weighting::kStandardError));

// Model 2 leaves the kd test and the shared kd alone.
TEST(L7500, HeldParametersKeepTheirValuesExactly) {
  FitCase m2 = make_case(2, kModel2, 13, 0.0, {0.4321, 2.0, 0.03});  // Km held off its value
  m2.nr.mask[1] = 1;
  m2.nr.j1 = -3.0;
  FitCase m1 = make_case(1, kModel1, 13, 0.0, {0.5, 2.2, 0.0234567, 1.0});  // [Po] held
  m1.nr.mask[3] = 1;
  for (auto [c, held] : {std::pair{&m2, 1}, std::pair{&m1, 3}}) {
    const std::vector<double> before = c->p;
    FitResult r;
    for (Weighting weighting : {Weighting::kRelative, Weighting::kUnit})
      EXPECT_EQ((r = fit(*c, weighting)).outcome, FitOutcome::kFitted);
    EXPECT_EQ(c->p[held], before[held]) << c->imdl;
    EXPECT_NE(c->p[2], before[2]) << "a free parameter did move";
    EXPECT_EQ(r.kdp.has_value(), c->imdl == 1);
  }
  EXPECT_EQ(m2.p[4], 0.0) << "Model 2's kd is held as well";
  EXPECT_EQ(m2.nr.j1, -3.0);
}

TEST(L7500, KdNeverComesBackAbove23) {
  // Data decaying faster than the largest kd allows pull kd up against its cap; a start above
  // the cap is clamped by the first rate evaluation.
  for (double kd_start : {20.0, 500.0}) {
    FitCase c = make_case(1, {0.4, 30.0, 0.02, 60.0, 1.2}, 50, 0.0, {0.4, 25.0, 0.02, kd_start});
    for (Weighting weighting : {Weighting::kRelative, Weighting::kUnit}) fit(c, weighting);
    EXPECT_LE(c.p[4], 23.0) << kd_start;
    EXPECT_LE(c.nr.j1, 23.0) << kd_start;
  }
}

TEST(L7500, IterationLimitSetsIthrUnlessTheFirstIterationEndedTheFit) {
  // maxit = 0 ends the iterations at once, in iteration 1: no status is raised. maxit = 1 uses
  // the limit up after one accepted step.
  for (int maxit : {0, 1}) {
    FitCase c = make_case(1, kModel1, 13, 0.003, {0.5, 2.2, 0.03, 1.0});
    const FitResult r = fit(c, Weighting::kRelative, maxit);
    EXPECT_EQ(r.stop, FitStop::kIterationLimit) << maxit;
    EXPECT_EQ(r.iteration, maxit + 1) << maxit;
    EXPECT_EQ(r.ierr(), 0) << maxit;
    EXPECT_EQ(r.ithr(), maxit == 0 ? 0 : 3) << maxit;
    EXPECT_DOUBLE_EQ(r.ssr, test::ssr_at(c, c.p)) << maxit;
  }
}

// Each tolerance reaches the stopping rule it is documented for: switching the step-length test
// off leaves the relative change of the sum of squares to end the iterations, from iteration 11
// on unless its gate is moved; a damping limit below the first lambda ends iteration 1.
TEST(L7500, EachStoppingRuleEndsTheIterationsUnderItsOwnTolerance) {
  const struct {
    double noise, step_tol, sum_tol;
    int sum_tol_after, maxit;
    double lambda_max;
    FitStop stop;
    int first_iteration, last_iteration;  // the stop came in one of these
  } table[] = {
      {0.0, 0.0005, 5e-5, 10, 999, 1e7, FitStop::kShortStep, 2, 999},
      {0.0, 0.0, 5e-5, 10, 999, 1e7, FitStop::kSettledSum, 11, 999},
      {0.003, 0.0, 5e-5, 0, 999, 1e7, FitStop::kSettledSum, 1, 10},
      {0.003, 0.0005, 5e-5, 10, 999, 1e-4, FitStop::kDampingLimit, 1, 1},
      {0.003, 0.0, 0.0, 10, 5, 1e7, FitStop::kIterationLimit, 6, 6},
  };
  for (const auto& row : table) {
    FitCase c = make_case(1, kModel1, 13, row.noise, {0.5, 2.2, 0.03, 1.0});
    FitOptions options;
    options.weighting = Weighting::kRelative;
    options.step_tol = row.step_tol;
    options.sum_tol = row.sum_tol;
    options.sum_tol_after = row.sum_tol_after;
    options.maxit = row.maxit;
    options.lambda_max = row.lambda_max;
    const FitResult r = l7500(c.nr, c.imdl, c.p, c.v, c.sf0, c.t, c.npts, 1, c.nparam, options);
    SCOPED_TRACE(testing::Message()
                 << "stop " << static_cast<int>(row.stop) << ", noise " << row.noise);
    EXPECT_EQ(r.stop, row.stop);
    EXPECT_GE(r.iteration, row.first_iteration);
    EXPECT_LE(r.iteration, row.last_iteration);
    EXPECT_EQ(r.outcome, FitOutcome::kFitted);
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

// An enzyme lost within the first tenth of the run (kd 12 on the normalised time scale): the
// random search settles on a vector whose smoothed cheap curve looks better but whose integrated
// curve is far worse, and the iteration may find nothing better than that vector. The fit must
// then give back its start, with the start's own curve, sum of squares and kd test.
TEST(L7500, NeverEndsWorseThanItsStart) {
  const Kinetics fast{0.61, 14.8, 0.01, 12.1, 3.06};

  // A first pass (relative weights) that would end at almost three times the start's sum. Its
  // kd test comes from the last iteration's normal matrix, as for any result.
  FitCase c = make_case(1, fast, 50, 0.0, {0.7, 13.0, 0.012, 11.0});
  const std::vector<double> start = c.p;
  FitResult r = fit(c, Weighting::kRelative);
  EXPECT_EQ(r.outcome, FitOutcome::kStartKept);
  EXPECT_EQ(c.p, start);
  EXPECT_EQ(r.ssr, test::ssr_at(c, start)) << "sf0 is the start's curve";
  EXPECT_EQ(r.ithr(), 0);
  ASSERT_TRUE(r.kdp.has_value()) << "the kd test is made for the start";
  EXPECT_GE(*r.kdp, 0.0);

  // Second passes (unit weights) that would end 10^4 (no noise) or 50 times (noise) above the
  // first pass's fit. Without noise nothing beats that fit and it comes back unchanged; with
  // noise the second pass may still gain a little.
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

TEST(L7500, WithoutAResidualDegreeOfFreedomKdIsNotCalledSignificant) {
  // Three or four points for four parameters (the analysis still fits such files): the
  // standard error of kd is undetermined, not zero.
  for (int npts : {3, 4}) {
    FitCase c = make_case(1, kModel1, npts, 0.001, {0.5, 2.2, 0.03, 1.0});
    const FitResult r = fit(c, Weighting::kRelative);
    EXPECT_NE(r.outcome, FitOutcome::kFailed) << npts;
    ASSERT_TRUE(r.kdp.has_value()) << npts;
    EXPECT_GT(*r.kdp, 0.99) << npts;
  }
}

TEST(L7500, AParameterThatIsNotANumberFailsTheFit) {
  // No trial of a not-a-number start is ever accepted; the final check of the parameters reports
  // the failure, and the sum of squares of its curve is no small number.
  FitCase c = make_case(2, kModel2, 13, 0.0, {std::nan(""), 2.0, 0.03});
  const FitResult r = fit(c, Weighting::kRelative);
  EXPECT_EQ(r.outcome, FitOutcome::kFailed);
  EXPECT_EQ(r.ierr(), 6);
  EXPECT_EQ(r.ithr(), 0);
  EXPECT_EQ(r.ssr, kInf) << "ssr still describes the curve left in sf0";
  EXPECT_EQ(r.se, kInf);
}

}  // namespace
}  // namespace brx
