#include "fitting/integrator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace brx {
namespace {

// A normalised progress curve: [So] = 1.1, Km = 0.4, Vmax = 1.3, [Po] = 0.05, kd = 2 (Model 1).
struct IntegratorTest : ::testing::Test {
  nrtype nr;
  std::vector<double> p{0.0, 0.4, 1.3, 0.05, 2.0, 0.0};
  std::vector<double> y{0.0, 0.05}, d{0.0, 0.0};
  int ierr = 9, nsteps = -1, nrej = -1;

  IntegratorTest() { nr.so = 1.1, nr.imdl = 2; }
  void Integrate(double& t, double tend, double& h, double tol = 1e-3, int maxsteps = 50) {
    l7200(nr, y, 1, t, tend, 20, h, p, d, 4, maxsteps, tol, ierr, nsteps, nrej);
  }
  // Integrated law from (t0, P0) to (t, P): (P − P0) + Km·ln((So − P0)/(So − P)) = Vmax·g, with
  // g = t − t0 (Model 2) or (exp(−kd·t0) − exp(−kd·t))/kd (Model 1 type 1). Returns the residual
  // relative to Vmax·g.
  double Residual(double t0, double p0, double t, double prod) const {
    const double km = p[1], vmax = p[2], kd = p[4], so = nr.so;
    const double g = nr.imdl == 2 ? t - t0 : (std::exp(-kd * t0) - std::exp(-kd * t)) / kd;
    return ((prod - p0) + km * std::log((so - p0) / (so - prod)) - vmax * g) / (vmax * g);
  }
  double ExactProduct(double t0, double p0, double t) const {  // bisection: Residual rises with P
    double lo = p0, hi = nr.so;
    for (int i = 0; i < 200; ++i)
      (Residual(t0, p0, t, (lo + hi) / 2) < 0 ? lo : hi) = (lo + hi) / 2;
    return lo;
  }
};

TEST_F(IntegratorTest, EmptyIntervalAndTruncatedLastStep) {
  double t = 0.5, h = 0.0123;
  Integrate(t, 0.5, h);
  EXPECT_EQ(t, 0.5);
  EXPECT_EQ(h, 0.0123);
  EXPECT_EQ(y[1], 0.05);
  EXPECT_EQ(ierr, 0);
  // An interval shorter than h takes one truncated step, and h comes back untruncated.
  h = 0.05;
  Integrate(t, 0.513, h);
  EXPECT_EQ(t, 0.513);
  EXPECT_EQ(h, 0.05);
  EXPECT_EQ(nsteps, 1);
  EXPECT_NEAR(y[1], ExactProduct(0.5, 0.05, 0.513), 1e-3 * y[1]);
}

TEST_F(IntegratorTest, ModelTwoFollowsTheIntegratedLawToTheTolerance) {
  // Nineteen data intervals with h carried from one to the next, as the fit does; each step's
  // error relative to [P] is bounded by tol. Below about 1e-7 no tolerance helps: the method's
  // coefficients carry seven digits (2e-7 is reached here). Both tolerances are held to 1e-6,
  // which a coefficient wrong in its sixth digit already breaks.
  for (double tol : {1e-3, 1e-5}) {
    y[1] = 0.05;
    double t = 0.05, h = 0.005 + 5e-5;
    for (int i = 2; i <= 20; ++i) {
      Integrate(t, 0.05 * i, h, tol);
      ASSERT_EQ(t, 0.05 * i);
      const double exact = ExactProduct(0.05, 0.05, t);
      EXPECT_NEAR(y[1], exact, std::min(tol, 1e-6) * exact) << "tol " << tol << " t " << t;
    }
  }
}

TEST_F(IntegratorTest, ModelOneFreezesTimeWithinEachStep) {
  // Every stage rate is taken at the step's start time, so exp(−kd·t) is followed to first order
  // only: with steps up to the interval H = 0.05 the turnover is off by up to about kd·H/2.
  nr.imdl = 1;
  double t = 0.05, h = 0.005 + 5e-5;
  for (int i = 2; i <= 20; ++i) {
    Integrate(t, 0.05 * i, h);
    EXPECT_LE(std::fabs(Residual(0.05, 0.05, t, y[1])), 2.0 * 0.05 / 2 + 1e-3) << "t " << t;
  }
}

TEST_F(IntegratorTest, RejectedAndUndoneStepsLeaveTheCurveOnTheLaw) {
  // Over one long interval each accepted step adds at most tol relative to [P]. Case 1: too
  // large a first step, retried. Case 2: a growing step fails and the step before it is undone.
  const double cases[][3] = {{0.4, 5.0, 0.0001}, {0.1, 1e-4, 0.05}};  // Km, first h, [Po]
  for (const auto& c : cases) {
    p[1] = c[0], y[1] = c[2];
    double t = 0.0, h = c[1];
    Integrate(t, 1.0, h, 1e-5, 500);
    EXPECT_GT(nrej, 0);
    EXPECT_EQ(t, 1.0);
    const double exact = ExactProduct(0.0, c[2], 1.0);
    EXPECT_NEAR(y[1], exact, nsteps * 1e-5 * exact) << "Km " << c[0];
  }
}

TEST_F(IntegratorTest, StepLimitReturnsThePartialState) {
  for (int maxsteps : {0, 3}) {
    y[1] = 0.05;
    double t = 0.0, h = 1e-4;
    Integrate(t, 1.0, h, 1e-3, maxsteps);
    EXPECT_EQ(nsteps, maxsteps);
    EXPECT_LT(t, 1.0);
    EXPECT_NEAR(y[1], ExactProduct(0.0, 0.05, t), 3e-3 * y[1]);
  }
}

}  // namespace
}  // namespace brx
