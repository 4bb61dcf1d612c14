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
constexpr int kMaxStepsPerInterval = 50;       // accepted integrator steps between two data times
constexpr double kMaxLoss = -0.95;             // no step removes more than 95 % of a parameter
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
           double& ssr, double& se) {
  const double se_in = se;
  ssr = 0.0;
  for (int i = 1; i <= npts; ++i) {
    set_weights(iwt, v, i, col, se_in, /*other_to_unit=*/true, w);
    // The quadratic form r'·W·r of the residuals r = v - sf0, the objective whose normal
    // equations the regression solves; with one variable it is w·r².
    for (int j = 1; j <= col; ++j) {
      const double rj = v(i, j) - sf0(i, j);
      for (int m = 1; m <= col; ++m) {
        const double rm = v(i, m) - sf0(i, m);
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

namespace {

// One call of l7500: the work storage of the fit and its phases, in the order solve() runs them.
//
//   measure_start     the start's integrated curve, the mark the result must not end above
//   random_search     21 passes on the smoothed cheap curve, each improvement perturbed again
//   iterate           damped Gauss-Newton on the relative changes dp(k)/p(k), each iteration:
//     curve_derivatives   the curve's derivatives by the integral method
//     normal_equations    their normal equations, scaled
//     damped_step         lambda raised until a trial step does not raise the sum of squares
//   finish            the result: last accepted iterate or the start, its curve and sums
//     parameter_errors    relative standard errors and the t-test of kd
class Regression {
 public:
  Regression(nrtype& nr, std::vector<double>& p, const Table& v, Table& sf0,
             const std::vector<double>& t, int npts, int col, int nparam,
             const FitOptions& options);

  FitResult solve();

 private:
  using Vec = std::vector<double>;
  static std::size_t uz(int i) { return static_cast<std::size_t>(i); }
  bool is_free(int k) const { return nr_.mask[uz(k)] != 1; }
  int iwt() const { return static_cast<int>(opt_.weighting); }

  double integrated_ss(Vec& q);
  void measure_start();
  void random_search();
  FitStop iterate(int& it);
  void curve_derivatives();
  void normal_equations();
  std::optional<FitStop> damped_step(int it);
  bool invert_damped_matrix();
  double trial_step();
  void evaluate_trial();
  FitResult finish(FitStop stop, int it);
  void parameter_errors(FitResult& r);

  nrtype& nr_;
  Vec& p_;
  const Table& v_;
  Table& sf0_;
  const Vec& t_;
  const int npts_, col_, nparam_;
  const FitOptions& opt_;

  double x_ = 0.0;       // rangen's variable; 0 restarts the seeds, so every fit draws alike
  double ss_ = 0.0;      // sum of squares of the latest evaluation, weighted as asked
  double se_;            // its residual standard error (weight_se before the first)
  double ss_old_ = 0.0;  // sum of squares of the iterate the iteration started from
  double lambda_ = 0.0;  // damping
  Vec pstart_;           // the start, negative values at the floor
  double ss_start_ = 0.0;

  Vec ptmp_;  // best parameters of the random search
  Vec c0_;    // copy of the scale factors for check
  Vec b_;     // gradient; at the end the relative standard errors
  Vec ds_;    // relative step
  Vec de_;    // difference increment of each parameter
  Table u_;   // column 0: the iterate the iteration started from; lower triangle: the normal
              // matrix before scaling
  Table cn_;  // scaled normal matrix, scale factors in column 0
  Table a_;   // damped matrix, then its inverse
  Table w_;   // weights of one point's residuals
  Vec yi_, y_, d_, ytmp_;  // initial values, state, rate, perturbed initial values
  Table yg_;               // derivatives of the initial values
  Table g_;                // rate derivatives at one point
  std::vector<Table> sg_;  // sg_[k](i, j): rate, then curve derivatives at every point
  Vec f_;                  // a column to be spline-integrated
  Table s_;                // its spline table
};

Regression::Regression(nrtype& nr, std::vector<double>& p, const Table& v, Table& sf0,
                       const std::vector<double>& t, int npts, int col, int nparam,
                       const FitOptions& options)
    : nr_(nr),
      p_(p),
      v_(v),
      sf0_(sf0),
      t_(t),
      npts_(npts),
      col_(col),
      nparam_(nparam),
      opt_(options),
      se_(options.weight_se),
      ptmp_(uz(nparam) + 1),
      c0_(uz(nparam) + 1),
      b_(uz(nparam) + 1),
      ds_(uz(nparam) + 1),
      de_(uz(nparam) + 1),
      u_(nparam, nparam),
      cn_(nparam, nparam),
      a_(nparam, nparam),
      w_(col, col),
      yi_(uz(col) + 1),
      y_(uz(col) + 1),
      d_(uz(col) + 1),
      ytmp_(uz(col) + 1),
      yg_(col, nparam),
      g_(col, nparam),
      sg_(uz(nparam) + 1, Table(npts, col)),
      f_(uz(npts) + 1),
      s_(4, npts) {
  for (int j = 1; j <= col_; ++j) w_(j, j) = 1.0;
  for (int k = 1; k <= nparam_; ++k) ptmp_[uz(k)] = p_[uz(k)];
}

FitResult Regression::solve() {
  measure_start();
  random_search();
  int it = 1;
  const FitStop stop = iterate(it);
  return finish(stop, it);
}

// Sum of squares of the curve integrated from q into sf0, weighted as the fit was asked to
// weigh (with weight_se for standard-error weights). The result is reported with unit weights,
// but a pass with relative weights must be judged by its own weights: by unit weights it may
// rightly end higher than it began.
double Regression::integrated_ss(Vec& q) {
  l800(q, yi_, col_);
  integrate_curve(nr_, q, yi_, sf0_, t_, npts_, col_, nparam_, opt_.tol);
  double sum = 0.0, se_sum = opt_.weight_se;
  l7772(nparam_, npts_, col_, v_, sf0_, iwt(), w_, sum, se_sum);
  return sum;
}

// The random search ranks vectors by the smoothed cheap curve, on which a vector can look better
// while its integrated curve is far worse, and the iterations need not recover from that: the
// fit returns the start rather than anything worse, so that a second pass never undoes the
// first. Measuring the start costs one integrated curve, less than one iteration. Negative
// values start at the floor, as negative results end there; the rate equations may clamp the
// copy further as they evaluate it.
void Regression::measure_start() {
  pstart_ = p_;
  for (int k = 1; k <= nparam_; ++k)
    if (pstart_[uz(k)] < 0.0) pstart_[uz(k)] = kNegativeFloor;
  ss_start_ = integrated_ss(pstart_);
}

// Each improvement is kept and perturbed by a common factor; a pass that does not improve goes
// back to the best vector, so the passes after it repeat the same sum of squares. The first
// pass counts as an improvement (best starts at twice its sum). The last pass is evaluated but
// not compared: if the one before it improved, the iterations start from its perturbed vector.
void Regression::random_search() {
  double best = 0.0;
  for (int pass = 1;; ++pass) {
    cheap_curve(nr_, p_, v_, sf0_, t_, npts_, col_, nparam_, yi_);
    bestsmooth(sf0_.column(1), npts_, 3, 4, 1);
    l7772(nparam_, npts_, col_, v_, sf0_, iwt(), w_, ss_, se_);
    if (pass == 1) best = 2.0 * ss_;
    if (p_[uz(nparam_)] < 0.0) p_[uz(nparam_)] = kNegativeFloor;
    if (pass >= opt_.search_passes) break;
    if (best > ss_) {
      for (int k = 1; k <= nparam_; ++k) ptmp_[uz(k)] = p_[uz(k)];
      best = ss_;
      const double factor = perturbation_factor(nr_.rng, x_);
      for (int k = 1; k <= nparam_; ++k)
        if (is_free(k)) p_[uz(k)] = std::fabs(p_[uz(k)]) * factor;
      for (int k = 1; k <= nparam_; ++k)
        if (is_free(k) && std::fabs(p_[uz(k)]) < kTinyParam) p_[uz(k)] = kTinyParam;
    } else {
      for (int k = 1; k <= nparam_; ++k) p_[uz(k)] = ptmp_[uz(k)];
    }
  }
}

// The Jacobian comes from the cheap curve (rates at the observed points, spline-integrated);
// every trial curve is integrated. `it` ends as the iteration the stop came in. Starting SSold
// and u(., 0) before the loop keeps the result defined when maxit < 1.
FitStop Regression::iterate(int& it) {
  lambda_ = opt_.lambda_start;
  ss_old_ = ss_;
  for (int k = 1; k <= nparam_; ++k) u_(k, 0) = p_[uz(k)];
  for (it = 1;; ++it) {
    if (it > opt_.maxit) return FitStop::kIterationLimit;
    for (int k = 1; k <= nparam_; ++k) u_(k, 0) = p_[uz(k)];
    ss_old_ = ss_;
    curve_derivatives();
    normal_equations();
    if (const std::optional<FitStop> stop = damped_step(it)) return *stop;
    lambda_ = 2.0 * lambda_ / 10.0;
    if (lambda_ < opt_.lambda_min) lambda_ = opt_.lambda_min;
  }
}

// sg_[k](i, j) := the derivative of the cheap curve's value (i, j) with respect to p(k), 0 for a
// held parameter: the derivatives of the initial values plus the spline integral of the rate
// derivatives at the observed points.
void Regression::curve_derivatives() {
  for (int k = 1; k <= nparam_; ++k) {
    if (!is_free(k)) {
      for (int j = 1; j <= col_; ++j) yg_(j, k) = 0.0;
      de_[uz(k)] = 1.0;
    } else {
      const double delta = 5e-6 + 0.001 * std::fabs(p_[uz(k)]);
      p_[uz(k)] += delta;
      l800(p_, ytmp_, col_);
      for (int j = 1; j <= col_; ++j) yg_(j, k) = ytmp_[uz(j)];
      p_[uz(k)] -= delta;
      de_[uz(k)] = delta;
    }
  }
  l800(p_, yi_, col_);
  for (int k = 1; k <= nparam_; ++k)
    if (is_free(k))
      for (int j = 1; j <= col_; ++j) yg_(j, k) = (yg_(j, k) - yi_[uz(j)]) / de_[uz(k)];

  // l900 may clamp the perturbed parameter in place; the step back starts from the clamped
  // value.
  for (int i = 1; i <= npts_; ++i) {
    for (int j = 1; j <= col_; ++j) y_[uz(j)] = v_(i, j);
    for (int k = 1; k <= nparam_; ++k) {
      if (!is_free(k)) continue;
      const double delta = 5e-6 + 0.001 * std::fabs(p_[uz(k)]);
      p_[uz(k)] += delta;
      l900(nr_, p_, y_, d_, t_[uz(i)], nparam_, col_);
      for (int j = 1; j <= col_; ++j) g_(j, k) = d_[uz(j)];
      p_[uz(k)] -= delta;
      if (p_[uz(k)] < 0.0) p_[uz(k)] = kNegativeFloor;
      de_[uz(k)] = delta;
    }
    l900(nr_, p_, y_, d_, t_[uz(i)], nparam_, col_);
    if (p_[uz(nparam_)] < 0.0) p_[uz(nparam_)] = kNegativeFloor;
    for (int j = 1; j <= col_; ++j)
      for (int k = 1; k <= nparam_; ++k)
        sg_[uz(k)](i, j) = is_free(k) ? (g_(j, k) - d_[uz(j)]) / de_[uz(k)] : 0.0;
  }

  for (int j = 1; j <= col_; ++j) {
    for (int k = 1; k <= nparam_; ++k) {
      for (int i = 1; i <= npts_; ++i) f_[uz(i)] = sg_[uz(k)](i, j);
      l6300(t_.data(), f_.data(), npts_, 0.0, 0.0, 0, s_);
      for (int i = 1; i <= npts_; ++i) sg_[uz(k)](i, j) = yg_(j, k) + s_(4, i);
    }
  }
}

// Normal matrix cn and gradient b in relative parameters (hence the factors p(l)·p(k)), against
// the curve of the latest evaluation: in iteration 1 the smoothed cheap curve of the search,
// later the integrated curve of the last trial. The lower triangle is formed, kept unscaled in
// u, then scaled by the factors in column 0 of cn.
void Regression::normal_equations() {
  for (int k = 1; k <= nparam_; ++k) {
    b_[uz(k)] = 0.0;
    for (int l = 1; l <= k; ++l) cn_(k, l) = 0.0;
  }
  for (int i = 1; i <= npts_; ++i) {
    set_weights(iwt(), v_, i, col_, se_, /*other_to_unit=*/false, w_);
    for (int k = 1; k <= nparam_; ++k) {
      for (int l = 1; l <= k; ++l)
        for (int j = 1; j <= col_; ++j)
          for (int m = 1; m <= col_; ++m)
            cn_(k, l) += w_(j, m) * sg_[uz(l)](i, j) * sg_[uz(k)](i, m) * p_[uz(l)] * p_[uz(k)];
      for (int j = 1; j <= col_; ++j)
        for (int m = 1; m <= col_; ++m)
          b_[uz(k)] += w_(j, m) * sg_[uz(k)](i, m) * (v_(i, j) - sf0_(i, j)) * p_[uz(k)];
    }
  }

  diagadd(cn_, nparam_, 5e-9);
  for (int k = 1; k <= nparam_; ++k) cn_(k, 0) = cn_(k, k);
  // A parameter whose diagonal entry is below a thousandth of the mean row sum of the formed
  // (lower) triangle barely moves the curve: it is scaled by 1 instead of sqrt(diagonal).
  double total = 0.0;
  for (int k = 1; k <= nparam_; ++k)
    for (int l = 1; l <= k; ++l) total += cn_(k, l);
  const double thr = 0.001 * total / nparam_;
  for (int k = 1; k <= nparam_; ++k)
    cn_(k, 0) = cn_(k, 0) > thr ? std::sqrt(kNegativeFloor + cn_(k, 0)) : 1.0;
  for (int k = 1; k <= nparam_; ++k)
    for (int l = 0; l <= nparam_; ++l) away_from_zero(cn_(k, l));
  for (int k = 1; k <= nparam_; ++k) {
    for (int l = 1; l <= k; ++l) {
      u_(k, l) = cn_(k, l);
      cn_(k, l) = cn_(k, l) / cn_(k, 0) / cn_(l, 0);
    }
  }
  for (int k = 1; k <= nparam_; ++k)
    for (int l = 1; l <= nparam_; ++l) away_from_zero(cn_(k, l));
  diagmult(cn_, nparam_, kDiagGrow);
}

// Raises lambda fourfold until the damped matrix inverts and a trial does not make the sum of
// squares worse (nothing is returned then), or until a stopping rule fires. A trial is always
// evaluated before the rules are tested, so the parameters returned have been through the rate
// equations' clamps.
std::optional<FitStop> Regression::damped_step(int it) {
  for (;;) {
    if (!invert_damped_matrix()) {
      lambda_ = 4.0 * lambda_;
      // A matrix that no damping makes positive (non-finite entries) would repeat this for ever.
      if (lambda_ > opt_.lambda_max) {
        for (int k = 1; k <= nparam_; ++k) p_[uz(k)] = u_(k, 0);
        return FitStop::kSingularDamping;
      }
      continue;
    }
    const double step_length = trial_step();
    evaluate_trial();
    if (step_length <= opt_.step_tol && it > 1) return FitStop::kShortStep;
    if (std::fabs(1.0 - ss_ / ss_old_) < opt_.sum_tol && it > opt_.sum_tol_after)
      return FitStop::kSettledSum;
    if (lambda_ > opt_.lambda_max) return FitStop::kDampingLimit;
    if (ss_ <= ss_old_ && std::isfinite(ss_)) return std::nullopt;  // a blown-up curve never is
    lambda_ = 4.0 * lambda_;
  }
}

// a := the inverse of the scaled normal matrix with lambda added to the diagonal of the free
// parameters (and 1e6 to the held ones: their step is damped to nothing), clamped by check.
// False when it is not positive definite.
bool Regression::invert_damped_matrix() {
  for (int k = 1; k <= nparam_; ++k) {
    for (int l = 1; l < k; ++l) a_(k, l) = cn_(k, l);
    a_(k, k) = cn_(k, k) + (is_free(k) ? lambda_ : kHeldDamping);
  }
  int singular = 0;
  l1600(a_, nparam_, singular);
  diagmult(a_, nparam_, kDiagGrow);
  if (singular != 0) return false;
  for (int k = 1; k <= nparam_; ++k) c0_[uz(k)] = cn_(k, 0);
  check(nparam_, nparam_, c0_, a_);
  return true;
}

// Moves p to the trial point (1 + alpha·ds(k))·u(k, 0) and returns the relative step length.
// alpha shortens the step so that the parameter with the most negative relative change loses at
// most 95 % of its value; every other parameter then loses less. A trial value that would still
// turn negative keeps the iterate's value.
double Regression::trial_step() {
  for (int k = 1; k <= nparam_; ++k) {
    double sum = 0.0;
    for (int l = 1; l <= nparam_; ++l) sum += a_(k, l) * b_[uz(l)] / cn_(l, 0);
    ds_[uz(k)] = sum / cn_(k, 0);
  }
  double alpha = 1.0;
  double ds_min = 0.0;
  for (int k = 1; k <= nparam_; ++k)
    if (ds_[uz(k)] < ds_min) ds_min = ds_[uz(k)];
  if (ds_min <= kMaxLoss) alpha = kMaxLoss * (1.0 / ds_min);
  double sumsq = 0.0;
  for (int k = 1; k <= nparam_; ++k) sumsq += ds_[uz(k)] * ds_[uz(k)];

  for (int k = 1; k <= nparam_; ++k) {
    if (is_free(k)) {
      p_[uz(k)] = (1.0 + alpha * ds_[uz(k)]) * u_(k, 0);
      if (p_[uz(k)] < 0.0) p_[uz(k)] = u_(k, 0);
    } else {
      p_[uz(k)] = u_(k, 0);
    }
  }
  return alpha * std::sqrt(sumsq);
}

// The cheap curve gives the initial values (and lets the rate equations clamp the trial
// parameters) before the curve is integrated.
void Regression::evaluate_trial() {
  cheap_curve(nr_, p_, v_, sf0_, t_, npts_, col_, nparam_, yi_);
  integrate_curve(nr_, p_, yi_, sf0_, t_, npts_, col_, nparam_, opt_.tol);
  l7772(nparam_, npts_, col_, v_, sf0_, iwt(), w_, ss_, se_);
}

FitResult Regression::finish(FitStop stop, int it) {
  FitResult r;
  r.stop = stop;
  r.iteration = it;
  for (int k = 1; k <= nparam_; ++k)
    if (p_[uz(k)] < 0.0) p_[uz(k)] = kNegativeFloor;
  // Any parameter that is not a number means the fit failed, not only the last one: a NaN
  // elsewhere would otherwise come back as a fit (with an infinite sum of squares).
  for (int k = 1; k <= nparam_; ++k)
    if (std::isnan(p_[uz(k)])) r.outcome = FitOutcome::kFailed;
  if (r.outcome != FitOutcome::kFailed) {
    // A worse last trial (the iterations ended on a stopping rule) is not kept.
    if (ss_ > ss_old_)
      for (int k = 1; k <= nparam_; ++k) p_[uz(k)] = u_(k, 0);
    // Nor is a result worse than the start: the start comes back with its own curve, and the
    // sums and statistics below are formed for it as for any result.
    if (integrated_ss(p_) > ss_start_) {
      for (int k = 1; k <= nparam_; ++k) p_[uz(k)] = pstart_[uz(k)];
      integrated_ss(p_);
      r.outcome = FitOutcome::kStartKept;
    }
  }
  // ssr and se describe the curve left in sf0, with unit weights, in every case.
  l7772(nparam_, npts_, col_, v_, sf0_, 0, w_, r.ssr, r.se);
  if (r.outcome != FitOutcome::kFailed) parameter_errors(r);
  return r;
}

// Relative standard errors from the normal matrix of the last iteration (relative parameters,
// unscaled, lower triangle in u):
//   b(k) = sqrt(|inverse(k, k) + 5e-9·sign| · SS/df),  SS the unit-weight sum of squares,
// with the matrix first made symmetric, pushed away from zero by 5e-9, its diagonal grown by the
// factor 1.000000005 and clamped into [5e-9, 2e8]. With no residual degree of freedom (df < 1),
// or a matrix that cannot be inverted, an error is undetermined and b(k) takes the top of the
// band, 2e8, rather than a not-a-number that the band would turn into its bottom (and kd into a
// certainty).
void Regression::parameter_errors(FitResult& r) {
  int nfree = nparam_;
  for (int k = 1; k <= nparam_; ++k)
    if (!is_free(k)) nfree -= 1;
  const int df = npts_ * col_ - nfree;

  for (int k = 1; k <= nparam_; ++k) {
    for (int l = 1; l <= k; ++l) {
      a_(k, l) = u_(k, l);
      away_from_zero(a_(k, l));
      a_(l, k) = a_(k, l);
    }
  }
  diagmult(a_, nparam_, kDiagGrow);
  for (int k = 1; k <= nparam_; ++k) c0_[uz(k)] = cn_(k, 0);
  check(nparam_, nparam_, c0_, a_);
  Table inv;
  const bool inverted = invert_symmetric(a_, nparam_, inv);
  if (inverted) {
    a_ = inv;
    diagadd(a_, nparam_, 5e-9);
  }
  for (int k = 1; k <= nparam_; ++k) {
    if (inverted && df >= 1) {
      b_[uz(k)] = std::sqrt(std::fabs(a_(k, k)) * r.ssr / static_cast<double>(df));
    } else {
      b_[uz(k)] = kErrorBandTop;
    }
  }
  check(nparam_, nparam_, b_, a_);

  if (nparam_ >= 4 && is_free(4)) {
    nr_.j1 = p_[4] < 5e-9 ? 5e-9 : p_[4];
    r.kdp = kd_ttest(p_[4], nr_.j1, b_[4], nfree, npts_, df);
  }
}

}  // namespace

FitResult l7500(nrtype& nr, int imdl, std::vector<double>& p, const Table& v, Table& sf0,
                const std::vector<double>& t, int npts, int col, int nparam,
                const FitOptions& options) {
  assert(npts >= 3 && col >= 1 && nparam >= 1 && nparam <= 5);
  assert(p.size() > static_cast<std::size_t>(nparam) && t.size() > static_cast<std::size_t>(npts));
  assert(v.rows() >= npts && v.cols() >= col && sf0.rows() >= npts && sf0.cols() >= col);
  nr.imdl = imdl;  // the rate equations read the model from the record
  return Regression(nr, p, v, sf0, t, npts, col, nparam, options).solve();
}

}  // namespace brx
