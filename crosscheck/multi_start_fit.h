#pragma once
// Several starts of the least-squares fit, and the best of them.

#include <vector>

#include "crosscheck/least_squares_fit.h"
#include "crosscheck/progress_curve.h"

namespace brx::crosscheck {

// Fits from every start and keeps the lowest sum of squares among the fits that succeeded
// (ok = false when none did). The starts are compared after fits to a loose tolerance and only
// the best is taken to the full one: most starts lead to the same minimum.
FitOutcome best_of_starts(const std::vector<ProgressCurve>& curves,
                          const std::vector<FitPoint>& starts, bool hold_kd);

// Starts for one curve: Km ∈ {0.1, 0.5, 2}·S0, each with the Vmax that gives the curve's initial
// rate and P0 from the same early points, crossed with every kd of `kds` (file units); in fit
// coordinates with reference concentration c.
std::vector<FitPoint> curve_starts(const ProgressCurve& curve, const std::vector<double>& kds,
                                   double c);

// Starts for curves fitted together: each curve's starts as above, with the median of their rates
// (per unit of enzyme) and each curve's own P0. For one curve, curve_starts.
std::vector<FitPoint> set_starts(const std::vector<ProgressCurve>& curves,
                                 const std::vector<double>& kds, double c);

}  // namespace brx::crosscheck
