#pragma once
// The models with and without loss of enzyme fitted to one or more curves that share Km, kcat and
// kd (one P0 each), the extra-sum-of-squares test between them and the profile interval of kd.

#include <cmath>
#include <vector>

#include "crosscheck/least_squares_fit.h"
#include "crosscheck/nested_test.h"
#include "crosscheck/profile_interval.h"
#include "crosscheck/progress_curve.h"

namespace brx::crosscheck {

// The level of the test; the interval's coverage is 1 − kLossTestLevel.
inline constexpr double kLossTestLevel = 0.05;

struct LossFits {
  bool ok = false;        // false when a fit failed; nothing below is set then
  int n = 0;              // points over all curves
  int k_loss = 0;         // fitted parameters with loss: Km, kcat, kd and one P0 per curve
  int k_classical = 0;    //   and without (kd = 0)
  double c = 1;           // the reference concentration of the fit coordinates
  double kd_unit = 1;     // 1/(largest |t|): the scale of kd
  FitOutcome loss;        // the best fit with loss of enzyme; never worse than `classical`
  FitOutcome classical;   // the best fit with kd = 0
  NestedComparison test;  // F test and AICc, on sums of squares floored at rounding level
  KdInterval interval;    // 95 % profile-likelihood interval of kd
};

// Fits both models from a grid of starts (and the model with loss also from the classical fit),
// compares them and brackets kd by its profile. The curves must be usable: as many times as
// products, finite values, s0 > 0, e0 > 0, and together more points than k_loss + 1.
LossFits fit_loss_and_classical(const std::vector<ProgressCurve>& curves);

// The least sum of squares n points are taken to have: below n·(1e-12·c)² a sum is rounding, not
// misfit, and a set of curves the models follow exactly must not have its verdict decided by the
// last bits of two tiny numbers.
double rounding_floor(int n, double c);

// Copies the fits' sums of squares, the test's figures and kd's interval with the half-life's
// into a result with those fields (CrossCheck, SelwynFit); `kd` is the fit's own.
template <class Result>
void take_test_and_interval(const LossFits& f, double kd, Result& r) {
  r.ssr1 = f.loss.ssr;
  r.ssr2 = f.classical.ssr;
  r.F = f.test.F;
  r.p = f.test.p;
  r.aicc1 = f.test.aicc_full;
  r.aicc2 = f.test.aicc_reduced;
  r.weight1 = f.test.weight_full;
  if (f.interval.ok) {
    r.kd_low = f.interval.low;
    r.kd_high = f.interval.high;
    r.half_life_low = std::log(2.0) / f.interval.high;
    r.half_life_high = std::log(2.0) / f.interval.low;
  }
  r.half_life = std::log(2.0) / kd;
}

}  // namespace brx::crosscheck
