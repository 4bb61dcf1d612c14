#pragma once
// Progress curves with known parameters for the regression tests and benchmark. Both models of
// type 1 have an implicit closed form, solved for P by bisection to the last bit:
//
//   (P - Po) + Km·ln((So - Po)/(So - P)) = Vmax·(t - t1)                       Model 2 (kd = 0)
//   (P - Po) + Km·ln((So - Po)/(So - P)) = Vmax·(exp(-kd·t1) - exp(-kd·t))/kd  Model 1
//
// Times are i/npts, i = 1..npts, and Po is the product at the first time, as the fit defines it.

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "fitting/linalg.h"
#include "fitting/nrtype.h"
#include "fitting/regression.h"
#include "fitting/table.h"

namespace brx::test {

struct Kinetics {
  double km, vmax, po, kd, so;  // kd = 0: Model 2
  double operator[](int k) const { return k == 1 ? km : k == 2 ? vmax : k == 3 ? po : kd; }
  double& operator[](int k) { return k == 1 ? km : k == 2 ? vmax : k == 3 ? po : kd; }
};

// Product at time t of the curve that holds po at t1.
inline double exact_product(const Kinetics& k, double t1, double t) {
  const double drive = k.kd == 0.0 ? k.vmax * (t - t1)
                                   : k.vmax * (std::exp(-k.kd * t1) - std::exp(-k.kd * t)) / k.kd;
  double lo = k.po, hi = k.so;
  for (double mid = 0.5 * (lo + hi); mid != lo && mid != hi; mid = 0.5 * (lo + hi))
    (((mid - k.po) + k.km * std::log((k.so - k.po) / (k.so - mid)) > drive) ? hi : lo) = mid;
  return lo;
}

// One fit as the analysis sets it up: model 1 fits p(1..4), model 2 p(1..3) with kd held at 0;
// [So] = p(5) is always held.
struct FitCase {
  nrtype nr;
  std::vector<double> p = std::vector<double>(6, 0.0), t;
  Table v, sf0, w = Table(1, 1);
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
  c.w(1, 1) = 1.0;
  for (int i = 1; i <= npts; ++i) c.t[static_cast<std::size_t>(i)] = double(i) / npts;
  c.p = {0.0, start[0], start[1], start[2], imdl == 1 ? start[3] : 0.0, truth.so};
  std::vector<double> q = {0.0, truth.km, truth.vmax, truth.po, truth.kd, truth.so};
  int ierr = 0;
  if (source == Source::kIntegrated)
    integrate_curve(c.nr, q, {0.0, truth.po}, c.v, c.t, npts, 1, c.nparam, 0.001, ierr);
  std::mt19937 gen(seed);
  for (int i = 1; i <= npts; ++i) {
    if (source == Source::kExact)
      c.v(i, 1) = exact_product(truth, c.t[1], c.t[static_cast<std::size_t>(i)]);
    if (noise_sd > 0.0) {
      const double u1 = (double(gen()) + 1.0) / 4294967297.0, u2 = double(gen()) / 4294967296.0;
      c.v(i, 1) += noise_sd * std::sqrt(-2.0 * std::log(u1)) * std::cos(6.283185307179586 * u2);
    }
  }
  return c;
}

// Unit-weight sum of squares of the integrated curve at parameters q against the case's data.
inline double ssr_at(const FitCase& c, std::vector<double> q) {
  Table curve(c.npts, 1), w(1, 1);
  std::vector<double> y;
  int ierr = 0;
  double ssr = 0.0, se = 0.0;
  integrate_curve(c.nr, q, {0.0, q[3]}, curve, c.t, c.npts, 1, c.nparam, 0.001, ierr);
  l7772(c.nparam, c.npts, 1, c.v, curve, 0, w, y, ssr, se);
  return ssr;
}

// First-order least-squares estimate from data that differ from the exact curve of `truth` by
// `noise`(1..npts): shift = (J'J)^-1·J'·noise, with standard errors se = sigma·sqrt(diag of
// (J'J)^-1) for Gaussian noise of deviation sigma; J by central differences. Index 0 unused.
struct LinearisedFit {
  std::vector<double> shift, se;
};

inline LinearisedFit linearised_least_squares(const Kinetics& truth, const std::vector<double>& t,
                                              int npts, int nparam, double sigma,
                                              const std::vector<double>& noise) {
  Table jac(npts, nparam), normal(nparam, nparam);
  std::vector<double> rhs(7, 0.0);
  for (int k = 1; k <= nparam; ++k) {
    Kinetics up = truth, down = truth;
    const double step = 1e-6 * truth[k];
    up[k] += step;
    down[k] -= step;
    for (int i = 1; i <= npts; ++i) {
      const double ti = t[static_cast<std::size_t>(i)];
      jac(i, k) = (exact_product(up, t[1], ti) - exact_product(down, t[1], ti)) / (2.0 * step);
      rhs[static_cast<std::size_t>(k)] += jac(i, k) * noise[static_cast<std::size_t>(i)];
      for (int l = 1; l <= k; ++l) normal(k, l) += jac(i, k) * jac(i, l);
    }
  }
  int ierr = 0;
  l1600(normal, nparam, ierr);
  LinearisedFit fit{std::vector<double>(7, 0.0), std::vector<double>(7, 0.0)};
  for (int k = 1; k <= nparam; ++k) {
    for (int l = 1; l <= nparam; ++l)
      fit.shift[static_cast<std::size_t>(k)] += normal(k, l) * rhs[static_cast<std::size_t>(l)];
    fit.se[static_cast<std::size_t>(k)] = sigma * std::sqrt(normal(k, k));
  }
  return fit;
}

}  // namespace brx::test
