#pragma once
// Nonlinear regression of one progress curve on relative parameter changes.
//
//   l7500           fits one model: random search on cheap curves, damped Gauss-Newton on
//                   integrated trials, the result and its parameter errors (FitOptions in,
//                   FitResult out: the rule that stopped it, the sums, the kd test)
//   l7772           weighted residual sum of squares and residual standard error
//   cheap_curve     curve by the integral method: tabulated rates at the observed points,
//                   spline-integrated (no ODE solve)
//   integrate_curve curve by numerical integration of the rate equation between the data times
//   perturbation_factor  common factor in [0.95, 1.05) of one step of the random search
//   kd_ttest        two-sided p-value of the t-test of the fitted kd against 0
//
// Tables, all indexed from 0 with index 0 unused (brx::Table is column-major):
//
//   v, sf0   (0..npts) x (0..col)  observed values / model curve, v(i, j) = variable j at t(i)
//   w        (0..col)  x (0..col)  weight matrix of the residuals of one point
//   t        t[1..npts]            data times, strictly increasing, at least 3 of them
//   p        p[1..nparam]          1 Km, 2 Vmax, 3 [Po], 4 kd (Model 1), 5 [So] (read via nr.so)

#include <optional>
#include <vector>

#include "base/table.h"
#include "fitting/nrtype.h"

namespace brx {

// How the residuals of a fit are weighted (the values are l7772's iwt).
enum class Weighting {
  kUnit = 0,           // every residual weighs 1
  kRelative = 1,       // residual (i, j) weighs 1/v(i, j)² (1 where |v(i, j)| < 5e-6 or > 1e6)
  kStandardError = 2,  // every residual weighs 1/se²: se of the previous evaluation while the
                       // fit searches and iterates (weight_se at first), weight_se when the
                       // result is compared with the start
};

// What l7500 is asked to do, and the tolerances of its stopping rules. The defaults are the
// analysis's.
struct FitOptions {
  Weighting weighting = Weighting::kUnit;
  double weight_se = 1.0;       // se of the first evaluation under Weighting::kStandardError
  double tol = 0.001;           // every integrator step has an error ratio <= tol
  int maxit = 999;              // kIterationLimit: iteration counter > maxit
  int search_passes = 21;       // passes of the random search; the last is evaluated, not compared
  double step_tol = 0.0005;     // kShortStep: relative step length <= step_tol, iteration >= 2
  double sum_tol = 5e-5;        // kSettledSum: |1 - SS/SSold| < sum_tol, iteration > sum_tol_after
  int sum_tol_after = 10;       // iterations before the sum of squares may count as settled
  double lambda_start = 0.001;  // damping of the first iteration
  double lambda_min = 5e-6;     // after an accepted step lambda := max(2·lambda/10, lambda_min)
  double lambda_max = 1e7;      // kDampingLimit / kSingularDamping: lambda > lambda_max
};

// The rule that ended the iterations.
enum class FitStop {
  kIterationLimit,   // the iteration counter passed maxit
  kShortStep,        // the relative step was short: step length <= step_tol (from iteration 2)
  kSettledSum,       // the sum of squares settled: |1 - SS/SSold| < sum_tol
  kDampingLimit,     // lambda > lambda_max after a trial, better or not
  kSingularDamping,  // lambda > lambda_max while the damped matrix would not invert
};

// What came back.
enum class FitOutcome {
  kFitted,     // the last accepted iterate (a worse last trial is never kept)
  kStartKept,  // the iterations ended worse than the start, which came back instead
  kFailed,     // a parameter is not a number
};

struct FitResult {
  FitStop stop = FitStop::kIterationLimit;
  int iteration = 1;  // the iteration the stop came in (maxit + 1 for the limit)
  FitOutcome outcome = FitOutcome::kFitted;
  double ssr = 0.0;           // unit-weight residual sum of squares of the returned curve
  double se = 0.0;            // sqrt(ssr/(npts·col - nparam))
  std::optional<double> kdp;  // two-sided p-value of kd against 0: only while kd is fitted and
                              // the fit did not fail

  // The status codes the report publishes: 6 for a failed fit, else 0.
  int ierr() const { return outcome == FitOutcome::kFailed ? 6 : 0; }
  // 3 when the iteration limit was used up, unless the fit failed or stopped in iteration 1.
  int ithr() const {
    if (outcome == FitOutcome::kFailed || stop != FitStop::kIterationLimit) return 0;
    return iteration > 1 ? 3 : 0;
  }
};

// Fits model `imdl` (1 deactivation, 2 classical) to v(1..npts, 1..col) at times t by adjusting
// the parameters p[k], k = 1..nparam, with nr.mask[k] = 0; held ones keep their value exactly.
// The result is never worse than the p passed in, measured on integrated curves with the
// weights asked for: should the fit end higher, that p comes back (negative values at
// 2.3283e-10). sf0 receives the curve at the returned p (it is work space before that). A
// failed fit leaves the parameters and the curve it reached.
// nr.imdl is set to imdl (the rate equations read it there); nr.rng is advanced; while kd is
// fitted (nparam >= 4, mask[4] = 0) and the fit does not fail, nr.j1 := max(kd, 5e-9).
FitResult l7500(nrtype& nr, int imdl, std::vector<double>& p, const Table& v, Table& sf0,
                const std::vector<double>& t, int npts, int col, int nparam,
                const FitOptions& options = {});

// Weighted residual sum of squares of sf0 against v over points 1..npts into ssr, and
// se := sqrt(ssr/(npts·col - nparam)). Before each point the diagonal of w is set by iwt:
// 1 -> 1/v(i, j)² (1 when |v(i, j)| is below 5e-6 or above 1e6), 2 -> 1/se² with the se passed
// in, other -> 1; its other entries are used as they stand. A sum that is not a number or 2^53
// or more (too large to change by subtracting 1) becomes +infinity, and se with it.
void l7772(int nparam, int npts, int col, const Table& v, const Table& sf0, int iwt, Table& w,
           double& ssr, double& se);

// Curve by the integral method: the rate at each observed row v(i, ·) and time t(i), spline-
// integrated over t and started at the initial values of p: sf0(1, ·) is the initial value.
// l900 may clamp p in place; a negative p[nparam] becomes 2.3283e-10 after each rate. yi
// receives the initial values.
void cheap_curve(const nrtype& nr, std::vector<double>& p, const Table& v, Table& sf0,
                 const std::vector<double>& t, int npts, int col, int nparam,
                 std::vector<double>& yi);

// Curve by integrating the rate equation from the initial values yi(1..col) at t[1] through every
// data time, each interval with at most 50 accepted steps at tolerance tol: sf0(1, ·) := yi and
// sf0(i, ·) := the state reached at t[i]. The first step size comes from the spacing of t[1..3].
void integrate_curve(const nrtype& nr, std::vector<double>& p, const std::vector<double>& yi,
                     Table& sf0, const std::vector<double>& t, int npts, int col, int nparam,
                     double tol);

// Factor of one perturbation of the random search: seed := integer part of 10000·rangen(x),
// r := uniform(seed), factor := 1 + (r - 0.5)·0.1. A fit starts with x = 0, so its first factor
// is always 0.95110743... (seed 1415).
double perturbation_factor(RandomState& rng, double& x);

// Two-sided p-value of the t-test of kd against 0, from its relative standard error b4 (at least
// 5e-9) and j1 = max(kd, 5e-9): sd := |j1·b4|·(1 - 3/(4·nfree - 9)), raised to 5e-9, treated
// as the deviation of one point: t := kd/(sd/sqrt(npts)), p := |studnt(df, t)|.
double kd_ttest(double kd, double j1, double b4, int nfree, int npts, int df);

}  // namespace brx
