#pragma once
// Nonlinear regression of one progress curve on relative parameter changes.
//
//   l7500           fits one model: random search, damped Gauss-Newton, result and kd t-test
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

#include <vector>

#include "fitting/nrtype.h"
#include "base/table.h"

namespace brx {

// Fits model `imdl` (1 deactivation, 2 classical) to v(1..npts, 1..col) at times t by adjusting
// the parameters p[k], k = 1..nparam, with nr.mask[k] = 0; held ones keep their value exactly.
// The result is never worse than the p passed in, measured on integrated curves with the weights
// of mode iwt: should the fit end higher, that p comes back (negative values at 2.3283e-10).
//   sf0   out: the fitted curve at the data times (also work space)
//   w     weights: set to the identity first when iwt = 0; on return its diagonal is 1
//   iwt   in: 1 weights 1/v², 2 weights 1/se², other: unit diagonal; 0 on return
//   tol   error tolerance of the integrator for every integrated curve
//   ierr  out: 0 fitted, 6 a parameter is not a number after the iteration
//   ithr  out: 0, or 3 when maxit iterations were used up before any convergence test was met
//   ssr, se   out: unit-weight residual sum of squares of sf0 and sqrt(ssr/(npts·col - nparam))
//   kdp   out: two-sided p-value of the t-test of kd against 0; written only while kd is fitted
//         (nparam >= 4 and mask[4] = 0), and then nr.j1 := max(kd, 5e-9)
// nr.imdl is set to imdl (the rate equations read it there); nr.rng is advanced. Two arguments
// that callers used to pass and that were never read are not part of this signature.
void l7500(nrtype& nr, int imdl, std::vector<double>& p, const Table& v, Table& sf0,
           const std::vector<double>& t, Table& w, int& iwt, double tol, int& ierr, int& ithr,
           int npts, int col, int nparam, int maxit, double& ssr, double& se, double& kdp);

// Weighted residual sum of squares of sf0 against v over points 1..npts into ssr, and
// se := sqrt(ssr/(npts·col - nparam)). Before each point the diagonal of w is set by iwt:
// 1 -> 1/v(i, j)² (1 when |v(i, j)| is below 5e-6 or above 1e6), 2 -> 1/se² with the se passed
// in, other -> 1. y(1..col) receives the model row of the last point. A sum that is not a number
// or 2^53 or more (too large to change by subtracting 1) becomes +infinity, and se with it.
void l7772(int nparam, int npts, int col, const Table& v, const Table& sf0, int iwt, Table& w,
           std::vector<double>& y, double& ssr, double& se);

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
                     double tol, int& ierr);

// Factor of one perturbation of the random search: seed := integer part of 10000·rangen(x),
// r := uniform(seed), factor := 1 + (r - 0.5)·0.1. A fit starts with x = 0, so its first factor
// is always 0.95110743... (seed 1415).
double perturbation_factor(RandomState& rng, double& x);

// Two-sided p-value of the t-test of kd against 0, from its relative standard error b4 (at least
// 5e-9) and j1 = max(kd, 5e-9): sd := |j1·b4|·(1 - 3/(4·nfree - 9)), raised to 5e-9, treated
// as the deviation of one point: t := kd/(sd/sqrt(npts)), p := |studnt(df, t)|.
double kd_ttest(double kd, double j1, double b4, int nfree, int npts, int df);

}  // namespace brx
