#include "crosscheck/enzyme_loss_model.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/progress_curve.h"

namespace brx::crosscheck {
namespace {

// The closed form through ω agrees with the implicit equation solved by bisection, across the
// shapes a curve can take: Km far below, near and far above S0, with and without loss of enzyme,
// early and late times, a product offset.
TEST(EnzymeLossModel, ClosedFormSolvesTheImplicitEquation) {
  const EnzymeLossParams cases[] = {
      {20, 2.5, 0, 0},    {20, 2.5, 0, 1.0 / 60}, {20, 2.5, 1.5, 4.0 / 60},
      {0.01, 3, 0, 0.02}, {5000, 400, -2, 0.05},  {100, 1, 0, 1e-9},
  };
  constexpr double s0 = 100;
  for (const EnzymeLossParams& q : cases) {
    // The bisection's [So] is S0 + P0. It is run without loss at the time τ the enzyme worked at
    // full activity, taken in long double: its own form with loss, a difference of exponentials,
    // loses digits at a kd as small as the last row's.
    const test::Kinetics k{q.km, q.vmax, q.p0, 0, s0 + q.p0};
    for (const double t : {0.0, 0.5, 3.0, 20.0, 60.0, 300.0}) {
      const auto kd = static_cast<long double>(q.kd), lt = static_cast<long double>(t);
      const auto tau = static_cast<double>(kd == 0 ? lt : -std::expm1(-kd * lt) / kd);
      // The bisection is exact to the last bit; the closed form loses a few ulps of S0 to the
      // subtraction P0 + S0 − S.
      EXPECT_NEAR(enzyme_loss_product(t, s0, q), test::exact_product(k, 0, tau), 1e-13 * s0)
          << "Km " << q.km << " kd " << q.kd << " t " << t;
    }
  }
}

double& coordinate(FitCoords& q, int j) {
  return j == 0 ? q.sat : j == 1 ? q.rate : j == 2 ? q.p0 : q.kd;
}

TEST(EnzymeLossModel, DerivativesMatchDifferenceQuotients) {
  // Interior points, the zero-order end (sat = 0), the first-order end (sat = 1), a curve whose
  // S0 and enzyme differ from the reference.
  const struct {
    double s0, c, e0;
    FitCoords q;
  } cases[] = {
      {1, 1, 1, {0.15, 1.2, 0.01, 1.0}},   {1, 1, 1, {0.6, 0.8, -0.2, 0.0}},
      {1, 1, 1, {0.0, 0.7, 0.0, 0.5}},     {1, 1, 1, {1.0, 2.0, 0.0, 2.0}},
      {0.4, 1, 2.5, {0.3, 0.5, 0.0, 0.3}},
  };
  constexpr double h = 1e-6;
  for (const auto& k : cases) {
    auto p = [&k](const FitCoords& q, double t) {
      return EnzymeLossCurve(k.s0, k.c, k.e0, q).at(t).p;
    };
    for (const double t : {0.05, 0.3, 1.0}) {
      const ModelPoint m = EnzymeLossCurve(k.s0, k.c, k.e0, k.q).at(t);
      const double analytic[4] = {m.d_sat, m.d_rate, m.d_p0, m.d_kd};
      for (int j = 0; j < 4; ++j) {
        // Central differences (good to h², 1e-12), one-sided ones at the ends of sat and at
        // kd = 0, where the other side lies outside the model (good to h).
        FitCoords lo = k.q, hi = k.q;
        const double v = coordinate(lo, j);
        const bool at_low = (j == 0 || j == 3) && v == 0, at_high = j == 0 && v == 1;
        if (!at_low) coordinate(lo, j) = v - h;
        if (!at_high) coordinate(hi, j) = v + h;
        const double quotient = (p(hi, t) - p(lo, t)) / (coordinate(hi, j) - coordinate(lo, j));
        const double tol = at_low || at_high ? 1e-5 : 1e-8;
        EXPECT_NEAR(analytic[j], quotient, tol * (1 + std::fabs(quotient)))
            << "coordinate " << j << " sat " << k.q.sat << " t " << t;
      }
    }
  }
}

// The ends of saturation are the limits of the interior: zero order, S = S0 − rate·t, until the
// substrate is used up; first order, S = S0·e^(−rate·t/C).
TEST(EnzymeLossModel, TheEndsOfSaturationAreZeroAndFirstOrder) {
  EXPECT_NEAR(EnzymeLossCurve(1, 4.5, 1, {0, 0.5, 0, 0}).at(1.2).p, 0.6, 1e-15);
  EXPECT_EQ(EnzymeLossCurve(1, 4.5, 1, {0, 0.5, 0, 0}).at(5).p, 1.0);
  EXPECT_NEAR(EnzymeLossCurve(1, 4.5, 1, {1, 0.5, 0, 0}).at(1.2).p, 1 - std::exp(-0.6 / 4.5),
              1e-15);
}

}  // namespace
}  // namespace brx::crosscheck
