#include "fitting/regression.h"

#include <cassert>
#include <cmath>
#include <cstdint>
#include <limits>

#include "fitting/integrator.h"
#include "fitting/linalg.h"
#include "fitting/random.h"
#include "fitting/rate_equations.h"
#include "fitting/smoothing.h"
#include "fitting/spline.h"
#include "fitting/student_t.h"

namespace brx {

namespace {

constexpr double kNegativeFloor = 2.3283e-10;  // where a parameter that turned negative restarts
constexpr double kTinyParam = 1.0001e-15;      // smallest magnitude of a perturbed parameter
constexpr double kAway = 5e-9;                 // entries nearer zero are pushed to this distance
constexpr double kDiagGrow = 1.000000005;      // keeps the damped matrix safely positive
constexpr double kHeldDamping = 1e6;           // a held parameter's step is damped to nothing
constexpr int kLastSearchPass = 21;        // passes of the random search (the last not compared)
constexpr int kMaxStepsPerInterval = 50;   // accepted integrator steps between two data times
constexpr double kStepLengthTol = 0.0005;  // converged: step length <= 0.0005 (from it 2 on)
constexpr double kRelChangeTol = 5e-5;     // converged: |1 - SS/SSold| < 5e-5 (from it 11 on)
constexpr int kRelChangeFromIt = 10;
constexpr double kLambdaStart = 0.001;
constexpr double kLambdaMax = 1e7;  // damping above this ends the iteration as converged
constexpr double kLambdaMin = 5e-6;
constexpr double kMaxLoss = -0.95;     // no step removes more than 95 % of a parameter
constexpr double kErrorBandTop = 2e8;  // upper end of the band the standard errors are kept in
constexpr double kLostUnits = 0x1p53;  // from here on a double cannot tell x from x - 1

// Moves x away from zero to a distance of at least 5e-9, keeping its sign (+0 is positive).
void away_from_zero(double& x) {
  if (std::fabs(x) < kAway) x = x + std::copysign(kAway, x);
}

// Residual degrees of freedom of the weighting: npts·col - nparam, as a double.
double residual_df(int npts, int col, int nparam) {
  return static_cast<double>(npts * col - nparam);
}

// Diagonal weights of point i. Relative weights 1/v² ignore observations too small or too large
// to weigh sensibly (they get weight 1). `other_to_unit` chooses what any other mode does:
// unit weights (the sum of squares) or the weights as they stand (the normal equations).
void set_weights(int iwt, const Table& v, int i, int col, double se, bool other_to_unit, Table& w) {
  for (int j = 1; j <= col; ++j) {
    if (iwt == 1) {
      double m = std::fabs(v(i, j));
      if (m < 5e-6 || m > 1e6) m = 1.0;
      w(j, j) = 1.0 / (m * m);
    } else if (iwt == 2) {
      w(j, j) = 1.0 / (se * se);
    } else if (other_to_unit) {
      w(j, j) = 1.0;
    }
  }
}

// First step size of the integrator: a tenth of the first time interval, or of the second when
// the first is outside [0.001, 0.1]; kept in [0.0001, 10] and nudged up by 5e-5.
double initial_step(const std::vector<double>& t) {
  double h = std::fabs(t[2] - t[1]) / 10.0;
  if (h > 0.1 || h < 0.001) h = std::fabs(t[3] - t[2]) / 10.0;
  if (h > 10.0) h = 10.0;
  if (h < 0.0001) h = 0.0001;
  return h + 5e-5;
}

// Inverse of the symmetric matrix a (both triangles filled) into inv, by the positive-definite
// scheme and, when that meets a non-positive pivot, by LU with pivoting. False when singular.
bool invert_symmetric(const Table& a, int n, Table& inv) {
  inv = a;
  int ierr = 0;
  l1600(inv, n, ierr);
  if (ierr == 0) return true;
  Table lu = a;
  ierr = 0;
  l1400(lu, n, ierr);
  if (ierr != 0) return false;
  std::vector<double> e(static_cast<std::size_t>(n) + 1);
  for (int k = 1; k <= n; ++k) {
    for (int l = 1; l <= n; ++l) e[static_cast<std::size_t>(l)] = l == k ? 1.0 : 0.0;
    l1500(lu, e, n);
    for (int l = 1; l <= n; ++l) inv(l, k) = e[static_cast<std::size_t>(l)];
  }
  return true;
}

}  // namespace

void l7772(int nparam, int npts, int col, const Table& v, const Table& sf0, int iwt, Table& w,
           std::vector<double>& y, double& ssr, double& se) {
  const double se_in = se;
  if (y.size() < static_cast<std::size_t>(col) + 1) y.resize(static_cast<std::size_t>(col) + 1);
  ssr = 0.0;
  for (int i = 1; i <= npts; ++i) {
    set_weights(iwt, v, i, col, se_in, /*other_to_unit=*/true, w);
    for (int j = 1; j <= col; ++j) y[static_cast<std::size_t>(j)] = sf0(i, j);
    // The quadratic form r'·W·r of the residuals r = v - y, the objective whose normal equations
    // the regression solves; with one variable it is w·r².
    for (int j = 1; j <= col; ++j) {
      const double rj = v(i, j) - y[static_cast<std::size_t>(j)];
      for (int m = 1; m <= col; ++m) {
        const double rm = v(i, m) - y[static_cast<std::size_t>(m)];
        ssr += w(j, m) * (rj * rm);
      }
    }
  }
  // A sum that is not a number, or so large that it no longer resolves a unit (>= 2^53), comes
  // from a curve that blew up: it counts as infinitely bad, so that it loses to every finite
  // trial and is never mistaken for a close fit.
  if (!(ssr < kLostUnits)) ssr = std::numeric_limits<double>::infinity();
  se = std::sqrt(ssr / residual_df(npts, col, nparam));
}

void cheap_curve(const nrtype& nr, std::vector<double>& p, const Table& v, Table& sf0,
                 const std::vector<double>& t, int npts, int col, int nparam,
                 std::vector<double>& yi) {
  const auto ucol = static_cast<std::size_t>(col) + 1;
  const auto unparam = static_cast<std::size_t>(nparam);
  if (yi.size() < ucol) yi.resize(ucol);
  l800(p, yi, col);
  std::vector<double> y(ucol), d(ucol);
  for (int i = 1; i <= npts; ++i) {
    for (int j = 1; j <= col; ++j) y[static_cast<std::size_t>(j)] = v(i, j);
    l900(nr, p, y, d, t[static_cast<std::size_t>(i)], nparam, col);
    if (p[unparam] < 0.0) p[unparam] = kNegativeFloor;
    for (int j = 1; j <= col; ++j) sf0(i, j) = d[static_cast<std::size_t>(j)];
  }
  std::vector<double> f(static_cast<std::size_t>(npts) + 1);
  Table s(4, npts);
  for (int j = 1; j <= col; ++j) {
    for (int i = 1; i <= npts; ++i) f[static_cast<std::size_t>(i)] = sf0(i, j);
    l6300(t.data(), f.data(), npts, 0.0, 0.0, 0, s);
    for (int i = 1; i <= npts; ++i) sf0(i, j) = yi[static_cast<std::size_t>(j)] + s(4, i);
  }
}

void integrate_curve(const nrtype& nr, std::vector<double>& p, const std::vector<double>& yi,
                     Table& sf0, const std::vector<double>& t, int npts, int col, int nparam,
                     double tol) {
  std::vector<double> y(static_cast<std::size_t>(col) + 1);
  for (int j = 1; j <= col; ++j) {
    y[static_cast<std::size_t>(j)] = yi[static_cast<std::size_t>(j)];
    sf0(1, j) = yi[static_cast<std::size_t>(j)];
  }
  const RateSystem system{nr, p, nparam, col};
  IntervalIntegrator integrator(col);
  double h = initial_step(t);
  // The time is carried from interval to interval: when an interval runs out of steps short of
  // its data time, the next one goes on from where it stopped.
  double tc = t[1];
  for (int i = 2; i <= npts; ++i) {
    integrator.advance(system, y, tc, t[static_cast<std::size_t>(i)], h, kMaxStepsPerInterval, tol);
    for (int j = 1; j <= col; ++j) sf0(i, j) = y[static_cast<std::size_t>(j)];
  }
}

double perturbation_factor(RandomState& rng, double& x) {
  const auto seed = static_cast<std::int32_t>(rangen(rng, x) * 10000.0);
  const float r = uniform(rng, seed);
  return 1.0 + (static_cast<double>(r) - 0.5) * 0.1;
}

double kd_ttest(double kd, double j1, double b4, int nfree, int npts, int df) {
  if (b4 < 5e-9) b4 = 5e-9;
  // The small-sample factor 1 - 3/(4·nfree - 9) is a real division (4/7 for four free
  // parameters; zero for three, where the floor below takes over).
  double sd = std::fabs(j1 * b4) * (1.0 - 3.0 / static_cast<double>(4 * nfree - 9));
  if (sd < 5e-9) sd = 5e-9;
  const double tval = kd / (sd / std::sqrt(static_cast<double>(npts)));
  return std::fabs(studnt(df, tval));
}

void l7500(nrtype& nr, int imdl, std::vector<double>& p, const Table& v, Table& sf0,
           const std::vector<double>& t, Table& w, int& iwt, double tol, int& ierr, int& ithr,
           int npts, int col, int nparam, int maxit, double& ssr, double& se, double& kdp) {
  assert(npts >= 3 && col >= 1 && nparam >= 1 && nparam <= 5);
  assert(p.size() > static_cast<std::size_t>(nparam) && t.size() > static_cast<std::size_t>(npts));
  assert(v.rows() >= npts && v.cols() >= col && sf0.rows() >= npts && sf0.cols() >= col);
  assert(w.rows() >= col && w.cols() >= col);

  using std::size_t;
  const auto uz = [](int i) { return static_cast<size_t>(i); };
  const auto& mask = nr.mask;
  const auto is_free = [&mask](int k) { return mask[static_cast<size_t>(k)] != 1; };

  nr.imdl = imdl;  // the rate equations read the model from the record

  // Work arrays of one call.
  std::vector<double> ptmp(uz(nparam) + 1), c0(uz(nparam) + 1), b(uz(nparam) + 1),
      ds(uz(nparam) + 1), de(uz(nparam) + 1);
  Table u(nparam, nparam);   // column 0: parameters at the start of the iteration; lower triangle:
                             // the unscaled normal matrix
  Table cn(nparam, nparam);  // normal matrix, scale factors in column 0
  Table a(nparam, nparam);   // damped scaled matrix, then its inverse
  std::vector<double> yi(uz(col) + 1), y(uz(col) + 1), d(uz(col) + 1), ytmp(uz(col) + 1);
  Table yg(col, nparam);                                    // derivatives of the initial values
  Table g(col, nparam);                                     // rate derivatives at one point
  std::vector<Table> sg(uz(nparam) + 1, Table(npts, col));  // sg[k](i, j): derivatives per point
  std::vector<double> f(uz(npts) + 1);
  Table s(4, npts);

  // Setup.
  ithr = 0;
  if (iwt == 0) {
    for (int j = 1; j <= col; ++j)
      for (int m = 1; m <= col; ++m) w(j, m) = j == m ? 1.0 : 0.0;
  }
  for (int k = 1; k <= nparam; ++k) ptmp[uz(k)] = p[uz(k)];
  double x = 0.0;  // restarts the seed sequence: every fit draws the same factors

  // The sum of squares this call minimises, of the curve integrated from q into sf0: weighted
  // by the mode the call was given (and the se it was given, for iwt = 2). The result is
  // reported with unit weights, but a pass with relative weights must be judged by its own
  // weights: by unit weights it may rightly end higher than it began.
  const int iwt_fit = iwt;
  const double se_fit = se;
  const auto fitted_ss = [&](std::vector<double>& q) {
    l800(q, yi, col);
    integrate_curve(nr, q, yi, sf0, t, npts, col, nparam, tol);
    double sum = 0.0, se_sum = se_fit;
    l7772(nparam, npts, col, v, sf0, iwt_fit, w, y, sum, se_sum);
    return sum;
  };

  // The start, measured as the result will be. The random search ranks vectors by the smoothed
  // cheap curve, on which a vector can look better while its integrated curve is far worse, and
  // the iteration need not recover from that: the fit returns the start rather than anything
  // worse, so that a second pass never undoes the first. It costs one integrated curve, less
  // than one iteration. Negative values start at the floor, as negative results end there; the
  // rate equations may clamp the copy further as they evaluate it.
  std::vector<double> pstart(p);
  for (int k = 1; k <= nparam; ++k)
    if (pstart[uz(k)] < 0.0) pstart[uz(k)] = kNegativeFloor;
  const double ss_start = fitted_ss(pstart);

  double ss = 0.0;
  double best = 0.0;
  double lambda = kLambdaStart;
  bool not_converged = false;

  // Phase 1: random search on the smoothed cheap curve. Each improvement is kept and perturbed
  // by a common factor; a pass that does not improve goes back to the best vector, so the
  // passes after it repeat the same sum of squares. The 21st pass is evaluated but not compared:
  // if pass 20 improved, the iteration starts from its perturbed vector.
  for (int pass = 1;; ++pass) {
    lambda = kLambdaStart;
    not_converged = false;
    cheap_curve(nr, p, v, sf0, t, npts, col, nparam, yi);
    bestsmooth(sf0.column(1), npts, 3, 4, 1);
    l7772(nparam, npts, col, v, sf0, iwt, w, y, ss, se);
    se = std::sqrt(ss / residual_df(npts, col, nparam));
    if (pass == 1) best = 2.0 * ss;
    if (p[uz(nparam)] < 0.0) p[uz(nparam)] = kNegativeFloor;
    if (pass >= kLastSearchPass) break;
    if (best > ss) {
      for (int k = 1; k <= nparam; ++k) ptmp[uz(k)] = p[uz(k)];
      best = ss;
      const double factor = perturbation_factor(nr.rng, x);
      for (int k = 1; k <= nparam; ++k)
        if (is_free(k)) p[uz(k)] = std::fabs(p[uz(k)]) * factor;
      for (int k = 1; k <= nparam; ++k)
        if (is_free(k) && std::fabs(p[uz(k)]) < kTinyParam) p[uz(k)] = kTinyParam;
    } else {
      for (int k = 1; k <= nparam; ++k) p[uz(k)] = ptmp[uz(k)];
    }
  }

  // Phase 2: damped Gauss-Newton on the relative changes dp(k)/p(k). The Jacobian comes from the
  // cheap curve (rates at the observed points, spline-integrated); every trial curve is
  // integrated. Starting SSold and u(., 0) here keeps the result defined when maxit < 1.
  if (iwt == 0)
    for (int j = 1; j <= col; ++j) w(j, j) = 1.0;
  double ss_old = ss;
  for (int k = 1; k <= nparam; ++k) u(k, 0) = p[uz(k)];
  int it = 1;
  for (;;) {
    if (it > maxit) {
      not_converged = true;
      break;
    }
    for (int k = 1; k <= nparam; ++k) u(k, 0) = p[uz(k)];
    ss_old = ss;
    for (int k = 1; k <= nparam; ++k) {
      b[uz(k)] = 0.0;
      for (int l = 1; l <= k; ++l) cn(k, l) = 0.0;
    }

    // Derivatives of the initial values.
    for (int k = 1; k <= nparam; ++k) {
      if (!is_free(k)) {
        for (int j = 1; j <= col; ++j) yg(j, k) = 0.0;
        de[uz(k)] = 1.0;
      } else {
        const double delta = 5e-6 + 0.001 * std::fabs(p[uz(k)]);
        p[uz(k)] += delta;
        l800(p, ytmp, col);
        for (int j = 1; j <= col; ++j) yg(j, k) = ytmp[uz(j)];
        p[uz(k)] -= delta;
        de[uz(k)] = delta;
      }
    }
    l800(p, yi, col);
    for (int k = 1; k <= nparam; ++k)
      if (is_free(k))
        for (int j = 1; j <= col; ++j) yg(j, k) = (yg(j, k) - yi[uz(j)]) / de[uz(k)];

    // Derivatives of the rate at every observed point. l900 may clamp the perturbed parameter
    // in place; the step back starts from the clamped value.
    for (int i = 1; i <= npts; ++i) {
      for (int j = 1; j <= col; ++j) y[uz(j)] = v(i, j);
      for (int k = 1; k <= nparam; ++k) {
        if (!is_free(k)) continue;
        const double delta = 5e-6 + 0.001 * std::fabs(p[uz(k)]);
        p[uz(k)] += delta;
        l900(nr, p, y, d, t[uz(i)], nparam, col);
        for (int j = 1; j <= col; ++j) g(j, k) = d[uz(j)];
        p[uz(k)] -= delta;
        if (p[uz(k)] < 0.0) p[uz(k)] = kNegativeFloor;
        de[uz(k)] = delta;
      }
      l900(nr, p, y, d, t[uz(i)], nparam, col);
      if (p[uz(nparam)] < 0.0) p[uz(nparam)] = kNegativeFloor;
      for (int j = 1; j <= col; ++j)
        for (int k = 1; k <= nparam; ++k)
          sg[uz(k)](i, j) = is_free(k) ? (g(j, k) - d[uz(j)]) / de[uz(k)] : 0.0;
    }

    // Curve derivatives: the rate derivatives integrated along the data times.
    for (int j = 1; j <= col; ++j) {
      for (int k = 1; k <= nparam; ++k) {
        for (int i = 1; i <= npts; ++i) f[uz(i)] = sg[uz(k)](i, j);
        l6300(t.data(), f.data(), npts, 0.0, 0.0, 0, s);
        for (int i = 1; i <= npts; ++i) sg[uz(k)](i, j) = yg(j, k) + s(4, i);
      }
    }

    // Normal equations in relative parameters (hence the factors p(l)·p(k)), against the curve
    // of the latest evaluation: in iteration 1 the smoothed cheap curve of the search, later the
    // integrated curve of the last trial.
    for (int i = 1; i <= npts; ++i) {
      set_weights(iwt, v, i, col, se, /*other_to_unit=*/false, w);
      for (int k = 1; k <= nparam; ++k) {
        for (int l = 1; l <= k; ++l)
          for (int j = 1; j <= col; ++j)
            for (int m = 1; m <= col; ++m)
              cn(k, l) += w(j, m) * sg[uz(l)](i, j) * sg[uz(k)](i, m) * p[uz(l)] * p[uz(k)];
        for (int j = 1; j <= col; ++j)
          for (int m = 1; m <= col; ++m)
            b[uz(k)] += w(j, m) * sg[uz(k)](i, m) * (v(i, j) - sf0(i, j)) * p[uz(k)];
      }
    }

    diagadd(cn, nparam, 5e-9);
    for (int k = 1; k <= nparam; ++k) cn(k, 0) = cn(k, k);
    // A parameter whose diagonal entry is below a thousandth of the mean row sum of the formed
    // (lower) triangle barely moves the curve: it is scaled by 1 instead of sqrt(diagonal).
    double total = 0.0;
    for (int k = 1; k <= nparam; ++k)
      for (int l = 1; l <= k; ++l) total += cn(k, l);
    const double thr = 0.001 * total / nparam;
    for (int k = 1; k <= nparam; ++k)
      cn(k, 0) = cn(k, 0) > thr ? std::sqrt(kNegativeFloor + cn(k, 0)) : 1.0;
    for (int k = 1; k <= nparam; ++k)
      for (int l = 0; l <= nparam; ++l) away_from_zero(cn(k, l));
    for (int k = 1; k <= nparam; ++k) {
      for (int l = 1; l <= k; ++l) {
        u(k, l) = cn(k, l);
        cn(k, l) = cn(k, l) / cn(k, 0) / cn(l, 0);
      }
    }
    for (int k = 1; k <= nparam; ++k)
      for (int l = 1; l <= nparam; ++l) away_from_zero(cn(k, l));
    diagmult(cn, nparam, kDiagGrow);

    // Damping loop: raise lambda fourfold until the damped matrix inverts and the trial does not
    // make the sum of squares worse, or a convergence test ends the iteration.
    bool converged = false;
    for (;;) {
      for (int k = 1; k <= nparam; ++k) {
        for (int l = 1; l < k; ++l) a(k, l) = cn(k, l);
        a(k, k) = cn(k, k) + (is_free(k) ? lambda : kHeldDamping);
      }
      ierr = 0;
      l1600(a, nparam, ierr);
      diagmult(a, nparam, kDiagGrow);
      if (ierr != 0) {
        ierr = 0;
        lambda = 4.0 * lambda;
        // Without this test a matrix that no damping can make positive (non-finite entries)
        // would repeat the loop forever; it ends like the damping test below.
        if (lambda > kLambdaMax) {
          for (int k = 1; k <= nparam; ++k) p[uz(k)] = u(k, 0);
          converged = true;
          break;
        }
        continue;
      }
      for (int k = 1; k <= nparam; ++k) c0[uz(k)] = cn(k, 0);
      check(nparam, nparam, c0, a);

      for (int k = 1; k <= nparam; ++k) {
        double sum = 0.0;
        for (int l = 1; l <= nparam; ++l) sum += a(k, l) * b[uz(l)] / cn(l, 0);
        ds[uz(k)] = sum / cn(k, 0);
      }
      // Shorten the step so that the parameter with the most negative relative change loses at
      // most 95 % of its value; every other parameter then loses less.
      double alpha = 1.0;
      double ds_min = 0.0;
      for (int k = 1; k <= nparam; ++k)
        if (ds[uz(k)] < ds_min) ds_min = ds[uz(k)];
      if (ds_min <= kMaxLoss) alpha = kMaxLoss * (1.0 / ds_min);
      double sumsq = 0.0;
      for (int k = 1; k <= nparam; ++k) sumsq += ds[uz(k)] * ds[uz(k)];
      const double step_length = alpha * std::sqrt(sumsq);

      for (int k = 1; k <= nparam; ++k) {
        if (is_free(k)) {
          p[uz(k)] = (1.0 + alpha * ds[uz(k)]) * u(k, 0);
          if (p[uz(k)] < 0.0) p[uz(k)] = u(k, 0);
        } else {
          p[uz(k)] = u(k, 0);
        }
      }
      // The cheap curve gives the initial values (and lets the rate equations clamp the trial
      // parameters) before the curve is integrated.
      cheap_curve(nr, p, v, sf0, t, npts, col, nparam, yi);
      integrate_curve(nr, p, yi, sf0, t, npts, col, nparam, tol);
      l7772(nparam, npts, col, v, sf0, iwt, w, y, ss, se);
      se = std::sqrt(ss / residual_df(npts, col, nparam));

      if (step_length <= kStepLengthTol && it > 1) {
        converged = true;
        break;
      }
      if (std::fabs(1.0 - ss / ss_old) < kRelChangeTol && it > kRelChangeFromIt) {
        converged = true;
        break;
      }
      if (lambda > kLambdaMax) {
        ierr = 0;
        converged = true;
        break;
      }
      if (ss <= ss_old && std::isfinite(ss)) break;  // accepted; a blown-up curve never is
      lambda = 4.0 * lambda;
    }
    if (converged) break;
    lambda = 2.0 * lambda / 10.0;
    if (lambda < kLambdaMin) lambda = kLambdaMin;
    it += 1;
  }

  // Phase 3: the result.
  if (it == 1) {
    ierr = 0;
    not_converged = false;
  }
  for (int k = 1; k <= nparam; ++k)
    if (p[uz(k)] < 0.0) p[uz(k)] = kNegativeFloor;
  // Any parameter that is not a number means the fit failed, not only the last one: a NaN
  // elsewhere would otherwise come back as a fit (with an infinite sum of squares).
  bool failed = false;
  for (int k = 1; k <= nparam; ++k)
    if (std::isnan(p[uz(k)])) failed = true;
  if (failed) {
    ierr = 6;
    not_converged = true;
  } else {
    // A worse last trial (the iteration ended on a convergence test) is not kept.
    if (ss > ss_old)
      for (int k = 1; k <= nparam; ++k) p[uz(k)] = u(k, 0);
    // Nor is a result worse than the start: the start comes back with its own curve, and the sum
    // and statistics below are formed for it as for any result; ierr and ithr tell how the
    // iteration ended.
    if (fitted_ss(p) > ss_start) {
      for (int k = 1; k <= nparam; ++k) p[uz(k)] = pstart[uz(k)];
      fitted_ss(p);
    }
    iwt = 0;
    for (int j = 1; j <= col; ++j) w(j, j) = 1.0;
    l7772(nparam, npts, col, v, sf0, iwt, w, y, ss, se);
    ssr = ss;
    se = std::sqrt(ss / residual_df(npts, col, nparam));
    if (not_converged) ithr = 3;

    // Parameter statistics.
    int nfree = nparam;
    for (int k = 1; k <= nparam; ++k)
      if (!is_free(k)) nfree -= 1;
    const int df = npts * col - nfree;

    // Relative standard errors from the normal matrix of the last iteration (relative
    // parameters, unscaled, lower triangle in u):
    //   b(k) = sqrt(|inverse(k, k) + 5e-9·sign| · SS/df),  SS the unit-weight sum of squares,
    // with the matrix first made symmetric, pushed away from zero by 5e-9, its diagonal grown
    // by the factor 1.000000005 and clamped into [5e-9, 2e8]. With no residual degree of
    // freedom (df < 1), or a matrix that cannot be inverted, an error is undetermined and
    // b(k) takes the top of the band, 2e8, rather than a not-a-number that the band would turn
    // into its bottom (and kd into a certainty).
    for (int k = 1; k <= nparam; ++k) {
      for (int l = 1; l <= k; ++l) {
        a(k, l) = u(k, l);
        away_from_zero(a(k, l));
        a(l, k) = a(k, l);
      }
    }
    diagmult(a, nparam, kDiagGrow);
    for (int k = 1; k <= nparam; ++k) c0[uz(k)] = cn(k, 0);
    check(nparam, nparam, c0, a);
    Table inv;
    const bool inverted = invert_symmetric(a, nparam, inv);
    if (inverted) {
      a = inv;
      diagadd(a, nparam, 5e-9);
    }
    for (int k = 1; k <= nparam; ++k) {
      if (inverted && df >= 1) {
        b[uz(k)] = std::sqrt(std::fabs(a(k, k)) * ss / static_cast<double>(df));
      } else {
        b[uz(k)] = kErrorBandTop;
      }
    }
    check(nparam, nparam, b, a);

    if (nparam >= 4 && is_free(4)) {
      nr.j1 = p[4] < 5e-9 ? 5e-9 : p[4];
      kdp = kd_ttest(p[4], nr.j1, b[4], nfree, npts, df);
    }
  }

  // In every case the weighting is consumed and ssr, se describe the curve left in sf0.
  iwt = 0;
  l7772(nparam, npts, col, v, sf0, iwt, w, y, ssr, se);
}

}  // namespace brx
