#include "crosscheck/least_squares_fit.h"

#include <ceres/iteration_callback.h>
#include <ceres/problem.h>
#include <ceres/solver.h>

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <memory>

#include "crosscheck/curve_residual.h"
#include "crosscheck/enzyme_loss_model.h"

namespace brx::crosscheck {
namespace {

// The solver works on times divided by the largest |t| and concentrations divided by the
// reference concentration, where every coordinate is of order one: its step and parameter
// tolerances are relative to the whole parameter vector, which would let a small kd stop early in
// file units.
struct Scales {
  double conc = 1;
  double time = 1;
};

// The shared coordinates, by their place in the solver's vector, and the bounds of a shared or
// per-curve coordinate in scaled units. The upper bounds of rate and kd only keep every value
// finite: a rate that uses up the substrate in 1e-9 of the time span, a kd that removes the
// enzyme in 1e-4 of it. When each curve has its own rate, curve 0's is kRate and the others
// follow the P0s:
//
//   x   0    1       2    3 .. 3+m−1       3+m .. 3+2m−2
//       sat  rate_0  kd   P0_0 .. P0_m−1   rate_1 .. rate_m−1
enum Coord : std::size_t { kSat = 0, kRate = 1, kKd = 2, kFirstP0 = 3 };
constexpr std::array<double, 3> kLow = {0.0, 0.0, 0.0};
constexpr std::array<double, 3> kHigh = {1.0, 1e9, 1e4};

// Stop rules (Ceres):
//   |Δcost| <= kFunctionTol·cost
//   max|x − Π(x − g)| <= kGradientTol          (Π: projection onto the bounds)
//   |Δx| <= kParameterTol·(|x| + kParameterTol)
// A cost within 1e-10 of its minimum leaves the parameters of a noisy curve within about 1e-5 of
// their standard errors; the small gradient tolerance makes a noise-free curve give back its
// parameters to better than 1e-9 even where Km is barely pinned (kd·tmax = 4). Fits that only
// compare starts stop at 1e-6.
constexpr double kFunctionTol = 1e-10;
constexpr double kScreeningFunctionTol = 1e-6;
constexpr double kGradientTol = 1e-13;
constexpr double kParameterTol = 1e-10;
constexpr int kMaxIterations = 200;

// Levenberg–Marquardt with bounds projects each step onto the box: once a coordinate lies on a
// bound, the steps of the others are cut short and the solve crawls for a hundred iterations. A
// coordinate that stays on a bound for kSettledSteps successful steps is therefore held there and
// the rest solved freely; it is let go again if the cost then falls into the box (by more than
// kGradientTol). At most kMaxRounds solves.
constexpr int kSettledSteps = 3;
constexpr int kMaxRounds = 6;

// A coordinate with bounds: its place in x and its bounds.
struct Bounded {
  std::size_t at = 0;
  double low = 0, high = 0;
};

// Where each curve's parameter blocks live in x.
class Layout {
 public:
  Layout(std::size_t curves, bool own_rates) : m_(curves), own_rates_(own_rates) {}
  std::size_t size() const { return kFirstP0 + m_ + (own_rates_ && m_ > 0 ? m_ - 1 : 0); }
  std::size_t p0(std::size_t k) const { return kFirstP0 + k; }
  std::size_t rate(std::size_t k) const {
    return own_rates_ && k > 0 ? kFirstP0 + m_ + k - 1 : kRate;
  }
  // sat, rate, kd, then the other curves' rates when each has its own.
  std::vector<Bounded> bounded() const {
    std::vector<Bounded> b;
    for (std::size_t i = 0; i < 3; ++i) b.push_back({i, kLow[i], kHigh[i]});
    for (std::size_t k = 1; own_rates_ && k < m_; ++k) {
      b.push_back({rate(k), kLow[kRate], kHigh[kRate]});
    }
    return b;
  }
  // The residual's blocks (sat, rate, P0, kd) of curve k.
  std::array<const double*, 4> blocks(const std::vector<double>& x, std::size_t k) const {
    return {&x[kSat], &x[rate(k)], &x[p0(k)], &x[kKd]};
  }

 private:
  std::size_t m_;
  bool own_rates_;
};

bool on_bound(const std::vector<double>& x, const Bounded& b) {
  return x[b.at] == b.low || x[b.at] == b.high;
}

// Ends a solve once a free bounded coordinate has sat on a bound for kSettledSteps successful
// steps; `settled` names it (its place in the list of bounded coordinates).
class BoundWatch final : public ceres::IterationCallback {
 public:
  BoundWatch(const std::vector<double>& x, const std::vector<Bounded>& bounded,
             const std::vector<bool>& held)
      : x_(x), bounded_(bounded), held_(held), steps_(bounded.size(), 0) {}
  ceres::CallbackReturnType operator()(const ceres::IterationSummary& s) override {
    if (!s.step_is_successful) return ceres::SOLVER_CONTINUE;
    for (std::size_t i = 0; i < bounded_.size(); ++i) {
      steps_[i] = !held_[i] && on_bound(x_, bounded_[i]) ? steps_[i] + 1 : 0;
      if (steps_[i] >= kSettledSteps) {
        settled = static_cast<int>(i);
        return ceres::SOLVER_TERMINATE_SUCCESSFULLY;
      }
    }
    return ceres::SOLVER_CONTINUE;
  }
  int settled = -1;

 private:
  const std::vector<double>& x_;
  const std::vector<Bounded>& bounded_;
  const std::vector<bool>& held_;
  std::vector<int> steps_;
};

Scales scales_of(const std::vector<ProgressCurve>& curves) {
  Scales s{reference_concentration(curves), 0};
  for (const ProgressCurve& c : curves) {
    for (const double t : c.t) s.time = std::max(s.time, std::fabs(t));
  }
  if (!(s.time > 0)) s.time = 1;
  return s;
}

ProgressCurve scaled(const ProgressCurve& c, const Scales& s) {
  ProgressCurve out = c;
  for (double& t : out.t) t /= s.time;
  for (double& y : out.y) y /= s.conc;
  out.s0 /= s.conc;
  return out;
}

// d(cost)/dx[at] summed over the curves whose residuals depend on x[at], at x. NaN when the model
// cannot be evaluated there.
double gradient(const std::vector<std::unique_ptr<CurveResidual>>& residuals, const Layout& layout,
                const std::vector<double>& x, std::size_t at) {
  double g = 0;
  for (std::size_t k = 0; k < residuals.size(); ++k) {
    const std::array<const double*, 4> blocks = layout.blocks(x, k);
    const auto block = std::find(blocks.begin(), blocks.end(), &x[at]);
    if (block == blocks.end()) continue;
    const CurveResidual& r = *residuals[k];
    const auto n = static_cast<std::size_t>(r.num_residuals());
    std::vector<double> res(n), jac(n);
    double* jacobians[4] = {nullptr, nullptr, nullptr, nullptr};
    jacobians[block - blocks.begin()] = jac.data();
    if (!r.Evaluate(blocks.data(), res.data(), jacobians)) return std::nan("");
    for (std::size_t j = 0; j < n; ++j) g += res[j] * jac[j];
  }
  return g;
}

// Σ r² over the curves at x; NaN when the model cannot be evaluated there.
double sum_of_squares(const std::vector<std::unique_ptr<CurveResidual>>& residuals,
                      const Layout& layout, const std::vector<double>& x) {
  double ssr = 0;
  std::vector<double> r;
  for (std::size_t k = 0; k < residuals.size(); ++k) {
    r.resize(static_cast<std::size_t>(residuals[k]->num_residuals()));
    if (!residuals[k]->Evaluate(layout.blocks(x, k).data(), r.data(), nullptr)) {
      return std::nan("");
    }
    for (const double v : r) ssr += v * v;
  }
  return ssr;
}

}  // namespace

double reference_concentration(const std::vector<ProgressCurve>& curves) {
  double c = 0;
  for (const ProgressCurve& curve : curves) c = std::max(c, curve.s0);
  return c > 0 ? c : 1;
}

SharedParams shared_params(const FitPoint& x, double c) {
  return {km_of(x.sat, c), kcat_of(x.sat, x.rate), x.kd, x.p0};
}

FitPoint fit_point(const SharedParams& q, double c) {
  return {sat_of(q.km, c), rate_of(q.km, q.kcat, c), q.kd, q.p0, {}};
}

FitOutcome fit_from_start(const std::vector<ProgressCurve>& curves, const FitPoint& start,
                          bool hold_kd, Precision precision) {
  const Scales s = scales_of(curves);
  const std::size_t m = curves.size();
  const bool own_rates = !start.rates.empty();
  assert(!own_rates || start.rates.size() == m);
  const Layout layout(m, own_rates);
  const std::vector<Bounded> bounded = layout.bounded();

  // x: the coordinates scaled and moved into the bounds. The reference concentration is 1 in
  // scaled units.
  std::vector<double> x(layout.size());
  x[kSat] = start.sat;
  x[kKd] = start.kd * s.time;
  for (std::size_t k = 0; k < (own_rates ? m : 1); ++k) {
    x[layout.rate(k)] = (own_rates ? start.rates[k] : start.rate) * s.time / s.conc;
  }
  for (const Bounded& b : bounded) x[b.at] = std::clamp(x[b.at], b.low, b.high);
  for (std::size_t i = 0; i < m; ++i) {
    x[layout.p0(i)] = i < start.p0.size() ? start.p0[i] / s.conc : 0;
  }

  std::vector<ProgressCurve> work;
  work.reserve(m);
  for (const ProgressCurve& c : curves) work.push_back(scaled(c, s));
  std::vector<std::unique_ptr<CurveResidual>> residuals;

  ceres::Problem::Options po;
  po.cost_function_ownership = ceres::DO_NOT_TAKE_OWNERSHIP;
  ceres::Problem problem(po);
  for (std::size_t i = 0; i < m; ++i) {
    residuals.push_back(std::make_unique<CurveResidual>(work[i], 1.0));
    problem.AddResidualBlock(residuals.back().get(), nullptr, &x[kSat], &x[layout.rate(i)],
                             &x[layout.p0(i)], &x[kKd]);
  }
  for (const Bounded& b : bounded) {
    problem.SetParameterLowerBound(&x[b.at], 0, b.low);
    problem.SetParameterUpperBound(&x[b.at], 0, b.high);
  }

  // A start where the model cannot be evaluated, or its sum of squares overflows, fails here: the
  // solver would only try a few steps around it and then log its failure on standard error.
  if (!std::isfinite(sum_of_squares(residuals, layout, x))) return {};

  ceres::Solver::Options options;
  options.minimizer_type = ceres::TRUST_REGION;
  options.trust_region_strategy_type = ceres::LEVENBERG_MARQUARDT;
  options.linear_solver_type = ceres::DENSE_QR;
  options.function_tolerance = precision == Precision::kFull ? kFunctionTol : kScreeningFunctionTol;
  options.gradient_tolerance = kGradientTol;
  options.parameter_tolerance = kParameterTol;
  options.max_num_iterations = kMaxIterations;
  options.logging_type = ceres::SILENT;
  options.num_threads = 1;
  options.update_state_every_iteration = true;  // the watch reads x

  // A coordinate that starts on a bound (a restart from a fit that ended there) is held from the
  // start; the check after the solve lets it go if it should move.
  std::vector<bool> held(bounded.size());
  for (std::size_t i = 0; i < bounded.size(); ++i) held[i] = on_bound(x, bounded[i]);
  held[kKd] = held[kKd] || hold_kd;  // kd is the third bounded coordinate
  ceres::Solver::Summary summary;
  for (int round = 0; round < kMaxRounds; ++round) {
    for (std::size_t i = 0; i < bounded.size(); ++i) {
      if (held[i]) {
        problem.SetParameterBlockConstant(&x[bounded[i].at]);
      } else {
        problem.SetParameterBlockVariable(&x[bounded[i].at]);
      }
    }
    BoundWatch w(x, bounded, held);
    options.callbacks = {&w};
    ceres::Solve(options, &problem, &summary);
    if (!summary.IsSolutionUsable()) break;
    if (w.settled >= 0) {
      held[static_cast<std::size_t>(w.settled)] = true;
      continue;
    }
    // Converged: let go of a coordinate held on a bound when the cost falls into the box.
    bool released = false;
    for (std::size_t i = 0; i < bounded.size(); ++i) {
      if (!held[i] || (i == kKd && hold_kd)) continue;
      const Bounded& b = bounded[i];
      const double g = gradient(residuals, layout, x, b.at);
      if ((x[b.at] == b.low && g < -kGradientTol) || (x[b.at] == b.high && g > kGradientTol)) {
        held[i] = false;
        released = true;
      }
    }
    if (!released) break;
  }

  FitOutcome out;
  out.point.sat = x[kSat];
  out.point.rate = x[kRate] * s.conc / s.time;
  out.point.kd = x[kKd] / s.time;
  out.point.p0.resize(m);
  for (std::size_t i = 0; i < m; ++i) out.point.p0[i] = x[layout.p0(i)] * s.conc;
  for (std::size_t k = 0; own_rates && k < m; ++k) {
    out.point.rates.push_back(x[layout.rate(k)] * s.conc / s.time);
  }
  out.ssr = 2 * summary.final_cost * s.conc * s.conc;
  out.ok = summary.IsSolutionUsable() && std::isfinite(out.ssr);
  return out;
}

}  // namespace brx::crosscheck
