#include "fitting/integrator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/support/progress_curve.h"

namespace brx {
namespace {

// A normalised Model 2 progress curve: [So] = 1.1, Km = 0.4, Vmax = 1.3, [Po] = 0.05.
struct IntegratorTest : ::testing::Test {
  nrtype nr;
  std::vector<double> p{0.0, 0.4, 1.3, 0.05, 2.0, 0.0};
  std::vector<double> y{0.0, 0.05}, d{0.0, 0.0};
  int ierr = 9, nsteps = -1, nrej = -1;

  IntegratorTest() { nr.so = 1.1, nr.imdl = 2; }
  void Integrate(double& t, double tend, double& h, double tol = 1e-3, int maxsteps = 50) {
    l7200(nr, y, 1, t, tend, 20, h, p, d, 4, maxsteps, tol, ierr, nsteps, nrej);
  }
  // Closed-form product at t of the curve through (t0, p0).
  double ExactProduct(double t0, double p0, double t) const {
    return test::exact_product({p[1], p[2], p0, 0.0, nr.so}, t0, t);
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

// Over one interval each accepted step adds at most tol relative to [P]. Case 1: too large a
// first step, retried. Case 2: a growing step fails and the step before it is undone. Case 3
// and 4: the step limit returns the partial state.
TEST_F(IntegratorTest, RejectionsUndoneStepsAndTheStepLimitLeaveTheCurveOnTheLaw) {
  const struct {
    double km, h, po, tol;
    int maxsteps;
  } table[] = {{0.4, 5.0, 1e-4, 1e-5, 500},
               {0.1, 1e-4, 0.05, 1e-5, 500},
               {0.4, 1e-4, 0.05, 1e-3, 0},
               {0.4, 1e-4, 0.05, 1e-3, 3}};
  for (const auto& c : table) {
    p[1] = c.km, y[1] = c.po;
    double t = 0.0, h = c.h;
    Integrate(t, 1.0, h, c.tol, c.maxsteps);
    SCOPED_TRACE(testing::Message() << "Km " << c.km << ", maxsteps " << c.maxsteps);
    if (c.maxsteps == 500) {
      EXPECT_GT(nrej, 0);
      EXPECT_EQ(t, 1.0);
    } else {
      EXPECT_EQ(nsteps, c.maxsteps);
      EXPECT_LT(t, 1.0);
    }
    const double exact = ExactProduct(0.0, c.po, t);
    EXPECT_NEAR(y[1], exact, std::max(nsteps, 3) * c.tol * exact);
  }
}

}  // namespace
}  // namespace brx
