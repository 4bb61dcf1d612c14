#include "crosscheck/least_squares_fit.h"

#include <ceres/iteration_callback.h>
#include <ceres/problem.h>
#include <ceres/solver.h>

#include <algorithm>
#include <array>
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

// The bounded coordinates, by their place in the solver's vector, and their bounds in scaled
// units. The upper bounds of rate and kd only keep every value finite: a rate that uses up the
// substrate in 1e-9 of the time span, a kd that removes the enzyme in 1e-4 of it.
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

// Ends a solve once a free bounded coordinate has sat on a bound for kSettledSteps successful
// steps; `settled` names it.
class BoundWatch final : public ceres::IterationCallback {
 public:
  BoundWatch(const std::vector<double>& x, const std::array<bool, 3>& held) : x_(x), held_(held) {}
  ceres::CallbackReturnType operator()(const ceres::IterationSummary& s) override {
    if (!s.step_is_successful) return ceres::SOLVER_CONTINUE;
    for (std::size_t i = 0; i < 3; ++i) {
      const bool on_bound = !held_[i] && (x_[i] == kLow[i] || x_[i] == kHigh[i]);
      steps_[i] = on_bound ? steps_[i] + 1 : 0;
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
  const std::array<bool, 3>& held_;
  std::array<int, 3> steps_{};
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

// d(cost)/dx[i] for a shared coordinate i (0..2) summed over the curves, at x. NaN when the model
// cannot be evaluated there.
double gradient(const std::vector<std::unique_ptr<CurveResidual>>& residuals,
                const std::vector<double>& x, std::size_t i) {
  static constexpr std::size_t kBlockOf[3] = {0, 1, 3};  // the residual's block order
  double g = 0;
  for (std::size_t k = 0; k < residuals.size(); ++k) {
    const CurveResidual& r = *residuals[k];
    const auto n = static_cast<std::size_t>(r.num_residuals());
    std::vector<double> res(n), jac(n);
    const double* blocks[4] = {&x[kSat], &x[kRate], &x[kFirstP0 + k], &x[kKd]};
    double* jacobians[4] = {nullptr, nullptr, nullptr, nullptr};
    jacobians[kBlockOf[i]] = jac.data();
    if (!r.Evaluate(blocks, res.data(), jacobians)) return std::nan("");
    for (std::size_t j = 0; j < n; ++j) g += res[j] * jac[j];
  }
  return g;
}

// Σ r² over the curves at x; NaN when the model cannot be evaluated there.
double sum_of_squares(const std::vector<std::unique_ptr<CurveResidual>>& residuals,
                      const std::vector<double>& x) {
  double ssr = 0;
  std::vector<double> r;
  for (std::size_t k = 0; k < residuals.size(); ++k) {
    r.resize(static_cast<std::size_t>(residuals[k]->num_residuals()));
    const double* blocks[4] = {&x[kSat], &x[kRate], &x[kFirstP0 + k], &x[kKd]};
    if (!residuals[k]->Evaluate(blocks, r.data(), nullptr)) return std::nan("");
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
  return {sat_of(q.km, c), rate_of(q.km, q.kcat, c), q.kd, q.p0};
}

FitOutcome fit_from_start(const std::vector<ProgressCurve>& curves, const FitPoint& start,
                          bool hold_kd, Precision precision) {
  const Scales s = scales_of(curves);
  const std::size_t m = curves.size();

  // x: sat, rate, kd, then one P0 per curve, scaled and moved into the bounds. The reference
  // concentration is 1 in scaled units.
  std::vector<double> x(kFirstP0 + m);
  x[kSat] = start.sat;
  x[kRate] = start.rate * s.time / s.conc;
  x[kKd] = start.kd * s.time;
  for (std::size_t i = 0; i < 3; ++i) x[i] = std::clamp(x[i], kLow[i], kHigh[i]);
  for (std::size_t i = 0; i < m; ++i) {
    x[kFirstP0 + i] = i < start.p0.size() ? start.p0[i] / s.conc : 0;
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
    problem.AddResidualBlock(residuals.back().get(), nullptr, &x[kSat], &x[kRate], &x[kFirstP0 + i],
                             &x[kKd]);
  }
  for (std::size_t i = 0; i < 3; ++i) {
    problem.SetParameterLowerBound(&x[i], 0, kLow[i]);
    problem.SetParameterUpperBound(&x[i], 0, kHigh[i]);
  }

  // A start where the model cannot be evaluated, or its sum of squares overflows, fails here: the
  // solver would only try a few steps around it and then log its failure on standard error.
  if (!std::isfinite(sum_of_squares(residuals, x))) return {};

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
  std::array<bool, 3> held{};
  for (std::size_t i = 0; i < 3; ++i) held[i] = x[i] == kLow[i] || x[i] == kHigh[i];
  held[kKd] = held[kKd] || hold_kd;
  ceres::Solver::Summary summary;
  for (int round = 0; round < kMaxRounds; ++round) {
    for (std::size_t i = 0; i < 3; ++i) {
      if (held[i]) {
        problem.SetParameterBlockConstant(&x[i]);
      } else {
        problem.SetParameterBlockVariable(&x[i]);
      }
    }
    BoundWatch w(x, held);
    options.callbacks = {&w};
    ceres::Solve(options, &problem, &summary);
    if (!summary.IsSolutionUsable()) break;
    if (w.settled >= 0) {
      held[static_cast<std::size_t>(w.settled)] = true;
      continue;
    }
    // Converged: let go of a coordinate held on a bound when the cost falls into the box.
    bool released = false;
    for (std::size_t i = 0; i < 3; ++i) {
      if (!held[i] || (i == kKd && hold_kd)) continue;
      const double g = gradient(residuals, x, i);
      if ((x[i] == kLow[i] && g < -kGradientTol) || (x[i] == kHigh[i] && g > kGradientTol)) {
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
  for (std::size_t i = 0; i < m; ++i) out.point.p0[i] = x[kFirstP0 + i] * s.conc;
  out.ssr = 2 * summary.final_cost * s.conc * s.conc;
  out.ok = summary.IsSolutionUsable() && std::isfinite(out.ssr);
  return out;
}

}  // namespace brx::crosscheck
