#pragma once
// The models with and without loss of enzyme fitted to one or more curves that share Km, kcat and
// kd (one P0 each), the extra-sum-of-squares test between them and the profile interval of kd.

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

}  // namespace brx::crosscheck
