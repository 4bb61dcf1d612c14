#pragma once
// Fits of progress curves with known parameters for the regression tests and benchmark.
// Times are i/npts, i = 1..npts, and Po is the product at the first time, as the fit defines it.

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "base/table.h"
#include "fitting/nrtype.h"
#include "fitting/regression.h"
#include "tests/support/progress_curve.h"

namespace brx::test {

// One fit as the analysis sets it up: model 1 fits p(1..4), model 2 p(1..3) with kd held at 0;
// [So] = p(5) is always held.
struct FitCase {
  nrtype nr;
  std::vector<double> p = std::vector<double>(6, 0.0), t;
  Table v, sf0;
  int npts = 0, nparam = 0, imdl = 0;
};

// The noise-free values come from the closed form, or from the program's own integration of the
// model at the analysis tolerance 0.001 (the very curve the fit produces at `truth`).
enum class Source { kExact, kIntegrated };

// Data of `truth` at npts points plus Gaussian noise of deviation noise_sd (Box-Muller on
// std::mt19937, whose output the standard fixes), set up for model `imdl` from `start` (Km,
// Vmax, Po, kd).
inline FitCase make_case(int imdl, const Kinetics& truth, int npts, double noise_sd,
                         const std::vector<double>& start, Source source = Source::kExact,
                         std::uint32_t seed = 20261206u) {
  FitCase c;
  c.imdl = imdl;
  c.npts = npts;
  c.nparam = imdl == 1 ? 4 : 3;
  c.nr.imdl = imdl;
  c.nr.so = truth.so;
  c.nr.mask = {0, 0, 0, 0, imdl == 1 ? 0 : 1, 1};
  c.t.assign(static_cast<std::size_t>(npts) + 1, 0.0);
  c.v = c.sf0 = Table(npts, 1);
  for (int i = 1; i <= npts; ++i) c.t[i] = double(i) / npts;
  c.p = {0.0, start[0], start[1], start[2], imdl == 1 ? start[3] : 0.0, truth.so};
  std::vector<double> q = {0.0, truth.km, truth.vmax, truth.po, truth.kd, truth.so};
  if (source == Source::kIntegrated)
    integrate_curve(c.nr, q, {0.0, truth.po}, c.v, c.t, npts, 1, c.nparam, 0.001);
  std::mt19937 gen(seed);
  for (int i = 1; i <= npts; ++i) {
    if (source == Source::kExact) c.v(i, 1) = exact_product(truth, c.t[1], c.t[i]);
    if (noise_sd > 0.0) {
      const double u1 = (double(gen()) + 1.0) / 4294967297.0, u2 = double(gen()) / 4294967296.0;
      c.v(i, 1) += noise_sd * std::sqrt(-2.0 * std::log(u1)) * std::cos(6.283185307179586 * u2);
    }
  }
  return c;
}

// One l7500 call on the case with the analysis's tolerances.
inline FitResult fit(FitCase& c, Weighting weighting, int maxit = 999) {
  FitOptions options;
  options.weighting = weighting;
  options.maxit = maxit;
  return l7500(c.nr, c.imdl, c.p, c.v, c.sf0, c.t, c.npts, 1, c.nparam, options);
}

// Unit-weight sum of squares of the integrated curve at parameters q against the case's data.
inline double ssr_at(const FitCase& c, std::vector<double> q) {
  Table curve(c.npts, 1), w(1, 1);
  double ssr = 0.0, se = 0.0;
  integrate_curve(c.nr, q, {0.0, q[3]}, curve, c.t, c.npts, 1, c.nparam, 0.001);
  l7772(c.nparam, c.npts, 1, c.v, curve, 0, w, ssr, se);
  return ssr;
}

}  // namespace brx::test
