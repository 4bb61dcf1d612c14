#pragma once
// Starting values for the regression: a Nelder-Mead simplex fit of the integrated Michaelis-Menten
// progress curve, written with the Lambert W function, and its two bounding routines.
//
// Parameter vector p, index 0 unused:
//   p[1] Km   p[2] Vmax   p[3] Po   p[4] kd (four-parameter form only)
// Objective: the unweighted sum over k = 1..npts of (y[k] - P(t[k]))², with
//   three-parameter form (n != 4):  P = So - Km·W(exp((So - Vmax·t + Po)/Km)/Km)
//   four-parameter form  (n == 4):  P = So - Km·W(exp((So·kd + Vmax·e^(-kd·t) - Vmax)/(kd·Km))
//                                                 · So/Km) + Po [+ C when flagpexp = 1]
//   where C = Vmax·(1 + (kd - 1)·e^kd)/(kd³·Km) is the same for every point (type-2 decay).

#include <array>
#include <span>
#include <vector>

namespace brx {

// Clamps p[1..n] (fixed parameters too) into [lo, hi]: below 1.01·lo a value becomes lo/2 (lo < 0),
// 2.0 (lo = 0) or 2·lo; then above 0.99·hi it becomes -2.0 (hi = 0) or hi/2. With lo = 0 and
// hi = 1e12: negatives become 2.0, values above 9.9e11 become 5e11, 0 stays.
void plimits(std::span<double> p, int n, std::span<const double> lo, std::span<const double> hi);

// Folds p[k] back from outside [lo[k], hi[k]] by an arctangent reflection: with g = atan(x)/π,
// x < lo gives lo + 0.5·x·g and x > hi gives hi - g·0.5·x, each carrying the sign of its bound.
// A negative x with lo = 0 becomes |x|·|atan x|/(2π); just above 1e12 with hi = 1e12, about 7.5e11.
void brkptbounds(int k, std::span<double> p, std::span<const double> lo,
                 std::span<const double> hi);

// Fits the integrated rate law to (t[k], y[k]), k = 1..npts, by a Nelder-Mead search from p with
// absolute steps of 0.1, the parameters with mask[i] = 1 held (only the bounding routines, run
// when at least one parameter is free, may move them: a held negative value comes back as 2.0).
// n = 4 selects the four-parameter form, 1..3 the three-parameter form (p[4] then is neither read
// nor written); p must have room for index max(n, 3). Stops when the objective values of the
// n + 1 vertices have a spread (divisor n - 1) of at most 1e-5, or after maxit iterations; then
// p holds the best vertex, ycalc[1..npts] the curve there (ycalc grows to npts + 1 if needed) and
// ssq its sum of squares. A sum that is not a number (the model undefined, e.g. Km = 0) counts as
// +inf, worse than any finite one. Reentrant: no state outlives the call.
void smplx_curvefit(int n, std::vector<double>& p, const std::array<int, 6>& mask, double& ssq,
                    const std::vector<double>& t, const std::vector<double>& y,
                    std::vector<double>& ycalc, int npts, double so, int maxit, int flagpexp);

}  // namespace brx
