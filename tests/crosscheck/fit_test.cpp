#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "crosscheck/deactivation_check.h"
#include "crosscheck/least_squares_fit.h"
#include "crosscheck/multi_start_fit.h"
#include "tests/crosscheck/synthetic_curves.h"

namespace brx::crosscheck {
namespace {

// Curves of 20 points over 60 min; Km = 20, Vmax = 2, S0 = 100 (synthetic_curves.h), here with
// a product offset so that P0 is checked too.
test::LossCurve spec(double kd_tmax, double noise = 0) {
  test::LossCurve s;
  s.kd = kd_tmax / s.tmax;
  s.p0 = 1.5;
  s.noise = noise;
  return s;
}

TEST(Fit, NoiseFreeCurvesGiveBackTheirParameters) {
  for (const double kd_tmax : {0.0, 0.5, 2.0, 4.0}) {
    const test::LossCurve s = spec(kd_tmax);
    const ProgressCurve c = test::loss_curve(s);
    const CrossCheck r = check_deactivation(c.t, c.y, c.s0);
    EXPECT_NEAR(r.loss.km, s.km, 1e-6 * s.km) << kd_tmax;
    EXPECT_NEAR(r.loss.vmax, s.vmax, 1e-6 * s.vmax) << kd_tmax;
    EXPECT_NEAR(r.loss.p0, s.p0, 1e-6 * s.p0) << kd_tmax;
    EXPECT_NEAR(r.loss.kd * s.tmax, kd_tmax, 1e-6 * std::max(kd_tmax, 1.0)) << kd_tmax;
    // Sums of squares at rounding level decide nothing: an exact classical curve shows no
    // loss, an exact curve with loss shows it beyond doubt.
    EXPECT_EQ(r.verdict, kd_tmax == 0 ? Verdict::kNoEvidence : Verdict::kDeactivation) << kd_tmax;
  }
}

TEST(Fit, LossModelIsNeverWorseThanTheClassicalOne) {
  // The grid starts alone, without the start taken from the classical fit.
  for (const double kd_tmax : {0.0, 0.3, 1.0}) {
    for (std::uint64_t seed = 1; seed <= 4; ++seed) {
      const ProgressCurve c = test::loss_curve(spec(kd_tmax, 0.5), seed);
      const std::vector<ProgressCurve> curves{c};
      const FitOutcome classical = best_of_starts(curves, curve_starts(c, {0.0}, c.s0), true);
      const FitOutcome loss =
          best_of_starts(curves, curve_starts(c, {0.1 / 60, 1.0 / 60}, c.s0), false);
      ASSERT_TRUE(classical.ok && loss.ok);
      // Equal minima (kd = 0) agree to the fits' tolerance, 1e-10 of the cost each.
      EXPECT_LE(loss.ssr, classical.ssr * (1 + 1e-9)) << kd_tmax << " seed " << seed;
      const CrossCheck r = check_deactivation(c.t, c.y, c.s0);
      EXPECT_LE(r.ssr1, r.ssr2);
    }
  }
}

TEST(Fit, CurvesAtTwoEnzymeConcentrationsShareTheirConstants) {
  // The same enzyme at relative concentrations 1 and 2.5, on substrates of 100 and 40: Km, kcat
  // and kd are shared, each curve has its own P0.
  test::LossCurve a = spec(1.0), b = spec(1.0);
  b.vmax = 2.5 * a.vmax;
  b.s0 = 40;
  b.p0 = -0.5;
  ProgressCurve ca = test::loss_curve(a), cb = test::loss_curve(b);
  cb.e0 = 2.5;
  const std::vector<ProgressCurve> curves{ca, cb};
  const double c = reference_concentration(curves);
  EXPECT_EQ(c, 100);
  const FitPoint start = fit_point({10, 4, 0.03, {0, 0}}, c);
  const FitOutcome f = fit_from_start(curves, start, false);
  ASSERT_TRUE(f.ok);
  const SharedParams q = shared_params(f.point, c);
  EXPECT_NEAR(q.km, a.km, 1e-6 * a.km);
  EXPECT_NEAR(q.kcat, a.vmax, 1e-6 * a.vmax);
  EXPECT_NEAR(q.kd, a.kd, 1e-6 * a.kd);
  EXPECT_NEAR(q.p0[0], a.p0, 1e-6);
  EXPECT_NEAR(q.p0[1], b.p0, 1e-6);
}

TEST(Fit, EachCurveMayHaveItsOwnRate) {
  // Curves at relative concentrations 1 and 2.5 whose rates do not scale: the second runs 10 %
  // faster than its share. Km and kd are shared; each curve's Vmax is its own.
  test::LossCurve a = spec(1.0), b = spec(1.0);
  b.vmax = 1.1 * 2.5 * a.vmax;
  b.p0 = -0.5;
  ProgressCurve ca = test::loss_curve(a), cb = test::loss_curve(b);
  cb.e0 = 2.5;
  const std::vector<ProgressCurve> curves{ca, cb};
  const double c = reference_concentration(curves);
  FitPoint start = fit_point({10, 4, 0.03, {0, 0}}, c);
  const FitOutcome shared = fit_from_start(curves, start, false);
  start.rates = {start.rate, start.rate};
  const FitOutcome own = fit_from_start(curves, start, false);
  ASSERT_TRUE(shared.ok && own.ok);
  ASSERT_EQ(own.point.rates.size(), 2u);
  EXPECT_TRUE(shared.point.rates.empty());
  EXPECT_GT(shared.ssr, 1.0);  // a shared kcat cannot follow both
  const SharedParams q = shared_params(own.point, c);
  EXPECT_NEAR(q.km, a.km, 1e-6 * a.km);
  EXPECT_NEAR(q.kd, a.kd, 1e-6 * a.kd);
  EXPECT_NEAR(kcat_of(own.point.sat, own.point.rates[0]) * ca.e0, a.vmax, 1e-6 * a.vmax);
  EXPECT_NEAR(kcat_of(own.point.sat, own.point.rates[1]) * cb.e0, b.vmax, 1e-6 * b.vmax);
  EXPECT_NEAR(q.p0[1], b.p0, 1e-6);
}

TEST(Fit, ModelThatCannotBeEvaluatedFailsTheFit) {
  // Products near 1e200: every residual squared overflows.
  ProgressCurve c = test::loss_curve(spec(1.0));
  for (double& y : c.y) y = 1e200 * (1 + y);
  const std::vector<ProgressCurve> curves{c};
  EXPECT_FALSE(best_of_starts(curves, curve_starts(c, {0.0}, c.s0), true).ok);
  EXPECT_FALSE(best_of_starts(curves, {}, true).ok);  // no start at all
}

}  // namespace
}  // namespace brx::crosscheck
