#pragma once
// One bounded least-squares fit of the enzyme-loss model from one start.

#include <limits>
#include <vector>

#include "crosscheck/progress_curve.h"

namespace brx::crosscheck {

// A point of a fit of one or more curves in the solver's coordinates (enzyme_loss_model.h):
// sat, rate and kd are shared, P0 is each curve's own. File units; the reference concentration
// is reference_concentration(curves). A fit that frees each curve's rate (the rates need not
// scale with the enzyme concentrations) holds them in `rates`, one per curve, and `rate` is the
// first of them.
struct FitPoint {
  double sat = 0;
  double rate = 0;
  double kd = 0;
  std::vector<double> p0;     // one per curve
  std::vector<double> rates;  // empty, or one per curve when each has its own
};

// The same in the usual form; Km and kcat are +∞ at sat = 1 (the first-order limit).
struct SharedParams {
  double km = 0;
  double kcat = 0;  // Vmax of a curve is kcat·e0; for one curve with e0 = 1, its Vmax
  double kd = 0;
  std::vector<double> p0;
};

// The largest S0 of the curves (1 when none is positive).
double reference_concentration(const std::vector<ProgressCurve>& curves);
SharedParams shared_params(const FitPoint& x, double c);
FitPoint fit_point(const SharedParams& q, double c);

struct FitOutcome {
  FitPoint point;
  double ssr = std::numeric_limits<double>::quiet_NaN();  // sum of squared residuals
  bool ok = false;  // false when the solver could not evaluate the model or stopped on a failure
};

// How far a fit is taken: to the full tolerance, or only far enough to compare starts (the cost
// within about 1e-6 of its minimum).
enum class Precision { kFull, kScreening };

// Fits `curves` from `start` by Levenberg–Marquardt within the bounds 0 <= sat <= 1, rate >= 0,
// kd >= 0 (P0 free). With hold_kd, kd stays at its start value (0 gives the classical model). The
// start is moved into the bounds first. Every curve needs as many times as products and s0 > 0.
// A start with `rates` (one per curve) fits each curve's rate on its own.
FitOutcome fit_from_start(const std::vector<ProgressCurve>& curves, const FitPoint& start,
                          bool hold_kd, Precision precision = Precision::kFull);

}  // namespace brx::crosscheck
