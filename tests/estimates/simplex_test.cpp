#include "estimates/simplex.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "tests/support/digits.h"
#include "tests/support/progress_curve.h"

namespace brx {
namespace {

constexpr double kSo = 1.5, kKm = 0.5, kVmax = 1.2, kKd = 0.8, kPo4 = 0.05;
const double kPo3 = kKm * std::log(kSo);  // three-parameter form: Po absorbs the factor So
const std::vector<double> kTruth3{0, kKm, kVmax, kPo3}, kTruth4{0, kKm, kVmax, kPo4, kKd};
constexpr std::array<int, 6> kAllFree{}, kAllHeld{1, 1, 1, 1, 1, 1};

struct Data {
  std::vector<double> t, y;
  int npts;
};

// Product curve at npts equal steps on [0, 1] from no product, plus po on every point.
Data ProgressCurve(int npts, double po, double kd) {
  Data d{std::vector<double>(npts + 1), std::vector<double>(npts + 1), npts};
  for (int k = 1; k <= npts; ++k) {
    d.t[k] = (k - 1.0) / (npts - 1.0);
    d.y[k] = test::exact_product({kKm, kVmax, 0.0, kd, kSo}, 0.0, d.t[k]) + po;
  }
  return d;
}
const Data kCurve3 = ProgressCurve(13, 0, 0), kCurve4 = ProgressCurve(13, kPo4, kKd);

struct Fit {
  std::vector<double> p;
  double ssq;
  std::vector<double> ycalc;
};

Fit FitCurve(int n, std::vector<double> p, const std::array<int, 6>& mask, const Data& d,
             int maxit = 250, int flagpexp = 0) {
  Fit r{std::move(p), 0.0, {}};
  smplx_curvefit(n, r.p, mask, r.ssq, d.t, d.y, r.ycalc, d.npts, kSo, maxit, flagpexp);
  return r;
}

TEST(SimplexBounds, ClampOrReflectIntoZeroToOneTrillion) {
  const std::array<double, 2> lo{0, 0}, hi{0, 1e12};
  const struct {
    double x, clamped, reflected;
  } table[] = {
      {0.5, 0.5, 0.5},          {0.0, 0.0, 0.0},
      {-1.0, 2.0, 0.125},  // |x|·|atan x|/(2π)
      {9.91e11, 5e11, 9.91e11}, {1.000001e12, 5e11, 1e12 - 0.25 * 1.000001e12},  // about 0.75e12
      {-1e20, 2.0, 2.5e19},  // one reflection still leaves it outside
  };
  for (const auto& row : table) {
    std::array<double, 2> p{0, row.x}, q{0, row.x};
    plimits(p, 1, lo, hi);
    brkptbounds(1, q, lo, hi);
    EXPECT_EQ(p[1], row.clamped) << "x = " << row.x;
    EXPECT_NEAR(q[1], row.reflected, 1e-12 * row.reflected) << "x = " << row.x;
  }
}

// W carries up to about 1e-7 of error, so the model agrees with the bisected curve to 1e-7.
TEST(SmplxCurvefit, AllHeldReturnsTheStartAndItsCurveOfEitherType) {
  const Fit f3 = FitCurve(3, kTruth3, kAllHeld, kCurve3);
  const Fit f4 = FitCurve(4, kTruth4, kAllHeld, kCurve4);
  EXPECT_EQ(f3.p, kTruth3);
  EXPECT_EQ(f4.p, kTruth4);
  double sum = 0.0;
  for (int k = 1; k <= 13; ++k) {
    EXPECT_NEAR(f3.ycalc[k], kCurve3.y[k], 1e-7) << "k = " << k;
    EXPECT_NEAR(f4.ycalc[k], kCurve4.y[k], 1e-7) << "k = " << k;
    sum += (kCurve4.y[k] - f4.ycalc[k]) * (kCurve4.y[k] - f4.ycalc[k]);
  }
  EXPECT_EQ(f4.ssq, sum);
  // Bounds run only while free parameters are loaded, and then reach held ones too.
  const std::vector<double> negative_po{0, kKm, kVmax, -0.3, kKd};
  EXPECT_EQ(FitCurve(4, negative_po, kAllHeld, kCurve4).p[3], -0.3);
  EXPECT_EQ(FitCurve(4, negative_po, {1, 1, 1, 1, 0, 1}, kCurve4).p[3], 2.0);
  // Type 2 shifts every point of the decay form by one constant, and leaves the other alone.
  const Fit type2 = FitCurve(4, kTruth4, kAllHeld, kCurve4, 250, 1);
  const double shift = kVmax * (1 + (kKd - 1) * std::exp(kKd)) / (kKd * kKd * kKd * kKm);
  for (int k = 1; k <= 13; ++k) EXPECT_NEAR(type2.ycalc[k] - f4.ycalc[k], shift, 1e-14);
  EXPECT_EQ(FitCurve(3, kTruth3, kAllHeld, kCurve3, 250, 1).ycalc, f3.ycalc);
}

// maxit = 0 returns the best initial vertex. A negative start Po is evaluated as 2.0 on every
// vertex, so vertex 0 fits data made with Po = 2 exactly and wins, yet comes back unclamped.
TEST(SmplxCurvefit, WithoutIterationsReturnsTheBestVertexUnclamped) {
  const Data d = ProgressCurve(13, 2.0, kKd);
  const std::vector<double> start{0, kKm, kVmax, -0.3, kKd};
  const Fit fit = FitCurve(4, start, kAllFree, d, 0);
  EXPECT_EQ(fit.p, start);
  for (int k = 1; k <= 13; ++k) EXPECT_NEAR(d.y[k] - fit.ycalc[k], 2.3, 1e-7);
}

// Only Po free, 0.07 above its true value, where the objective is a parabola in Po: vertices at
// +0.07, +b, +b, +a, +b (a = 0.0925615, b = 0.0218508 for n = 4). The reflection lands at
// 0.07 + 1.5·b - a, close to the root; the expansion from it overshoots to 0.07 + 2.25·b - 2·a,
// worse than the reflection yet better than vertex 0. It replaces the worst vertex all the same,
// so after one iteration it is the best vertex.
TEST(SmplxCurvefit, TheExpandedPointAlwaysReplacesTheWorstVertex) {
  const Data d = ProgressCurve(13, 2.0, kKd);
  const Fit fit = FitCurve(4, {0, kKm, kVmax, 2.07, kKd}, {1, 1, 1, 0, 1, 1}, d, 1);
  EXPECT_NEAR(fit.p[3], 2.07 + 2.25 * 0.0218508 - 2 * 0.0925615, 1e-6);
}

// A sharp decaying curve (Km = 0.05, Vmax = 1.2, kd = 4) searched from far below it: twice (in
// iterations 7 and 9) a contraction is no better than the worst vertex and the simplex shrinks
// towards its best vertex. No other search here reaches the shrink, so its result is pinned to
// 10 significant digits: the values this program computes.
TEST(SmplxCurvefit, ShrinksTowardsTheBestVertexWhenAContractionFails) {
  Data d{std::vector<double>(14), std::vector<double>(14), 13};
  for (int k = 1; k <= 13; ++k) {
    d.t[k] = (k - 1.0) / 12.0;
    d.y[k] = test::exact_product({0.05, 1.2, 0.0, 4.0, kSo}, 0.0, d.t[k]);
  }
  const Fit fit = FitCurve(4, {0, 0.015, 0.36, 0.0, 4.1}, kAllFree, d);
  const double pinned[] = {0.0, 0.03219829610922184, 1.446578435025747, 1.482798318822261e-06,
                           5.133211346343380};
  for (int i = 1; i <= 4; ++i) EXPECT_TRUE(test::AgreesToDigits(fit.p[i], pinned[i], 10)) << i;
  EXPECT_TRUE(test::AgreesToDigits(fit.ssq, 1.267834520124647e-3, 10));
}

// Km = 0 makes the model 0·W(inf), not a number; that vertex must lose, not win every
// comparison by never comparing smaller. The three-parameter form leaves p(4) alone.
TEST(SmplxCurvefit, AnUndefinedModelRanksWorst) {
  const Fit fit = FitCurve(3, {0, 0.0, kVmax, kPo3, -7.0}, kAllFree, kCurve3);
  EXPECT_GT(fit.p[1], 0.0);
  EXPECT_LT(fit.ssq, 0.01);
  EXPECT_EQ(fit.p[4], -7.0);
}

// Exact curves from starts 10 % off each way (the three-parameter start has no p(4), so a read
// past it shows under AddressSanitizer). The search stops once the vertex sums of squares
// spread by at most 1e-5 (absolute), i.e. near an SSQ of 1e-5..1e-4, and Km trades off against
// Po (and kd against Vmax) along a shallow valley: the bar is an RMS residual of about 1 % of
// the curve's height and every parameter within 20 %, enough to start the regression.
TEST(SmplxCurvefit, RecoversAnExactCurveRoughly) {
  for (const int npts : {13, 200}) {
    for (const int n : {3, 4}) {
      const Data d = ProgressCurve(npts, n == 3 ? 0 : kPo4, n == 3 ? 0 : kKd);
      const std::vector<double>& truth = n == 3 ? kTruth3 : kTruth4;
      for (const double off : {1.1, 0.9}) {
        std::vector<double> start = truth;
        for (int i = 1; i <= n; ++i) start[i] *= i % 2 == 1 ? off : 2 - off;
        SCOPED_TRACE(testing::Message() << "n = " << n << ", " << npts << " points, x" << off);
        const Fit fit = FitCurve(n, start, kAllFree, d);
        EXPECT_LT(fit.ssq, FitCurve(n, start, kAllHeld, d).ssq / 50);
        EXPECT_LT(fit.ssq, 1e-4 * npts);
        for (int i = 1; i <= n; ++i) EXPECT_NEAR(fit.p[i] / truth[i], 1.0, 0.2) << "p" << i;
      }
    }
  }
}

}  // namespace
}  // namespace brx
