#include "crosscheck/loss_fits.h"

#include <algorithm>
#include <cmath>

#include "crosscheck/multi_start_fit.h"

namespace brx::crosscheck {
namespace {

// Starting kd of the loss model, per time span: slow, moderate and fast loss; and the small kd
// that moves the classical fit's parameters off the bound.
constexpr double kStartKds[] = {0.1, 1.0, 3.0};
constexpr double kNudgeKd = 0.01;
constexpr double kExactFit = 1e-12;

// Profile sums of squares at fixed kd, each refit started from the parameters of the nearest kd
// already fitted: neighbouring profiles differ little, so a few iterations do.
class Profile {
 public:
  Profile(const std::vector<ProgressCurve>& curves, const FitOutcome& loss,
          const FitOutcome& classical)
      : curves_(curves), fitted_{loss.point, classical.point} {}

  double operator()(double kd) {
    const FitPoint* nearest = &fitted_.front();
    for (const FitPoint& q : fitted_) {
      if (std::fabs(q.kd - kd) < std::fabs(nearest->kd - kd)) nearest = &q;
    }
    FitPoint start = *nearest;
    start.kd = kd;
    const FitOutcome f = fit_from_start(curves_, start, true);
    if (!f.ok) return std::nan("");
    fitted_.push_back(f.point);
    return f.ssr;
  }

 private:
  const std::vector<ProgressCurve>& curves_;
  std::vector<FitPoint> fitted_;
};

}  // namespace

double rounding_floor(int n, double c) {
  return n * (kExactFit * c) * (kExactFit * c);
}

LossFits fit_loss_and_classical(const std::vector<ProgressCurve>& curves) {
  LossFits f;
  const int m = static_cast<int>(curves.size());
  f.k_loss = 3 + m;
  f.k_classical = 2 + m;
  for (const ProgressCurve& curve : curves) f.n += static_cast<int>(curve.t.size());
  f.c = reference_concentration(curves);
  double span = 0;
  for (const ProgressCurve& curve : curves) {
    for (const double v : curve.t) span = std::max(span, std::fabs(v));
  }
  f.kd_unit = 1 / span;

  // The classical model, then the loss model from a grid of starts and from the classical fit.
  f.classical = best_of_starts(curves, set_starts(curves, {0.0}, f.c), true);
  if (!f.classical.ok) return f;
  std::vector<double> kds;
  for (const double k : kStartKds) kds.push_back(k * f.kd_unit);
  std::vector<FitPoint> starts = set_starts(curves, kds, f.c);
  starts.push_back(f.classical.point);
  starts.back().kd = kNudgeKd * f.kd_unit;
  f.loss = best_of_starts(curves, starts, false);
  if (!f.loss.ok) return f;
  // The loss model contains the classical one (kd = 0); a start that found nothing better than
  // it leaves the classical fit as the best.
  if (f.loss.ssr > f.classical.ssr) f.loss = f.classical;

  const double floor = rounding_floor(f.n, f.c);
  const double ssr1 = std::max(f.loss.ssr, floor), ssr2 = std::max(f.classical.ssr, floor);
  f.test = compare_nested(ssr1, ssr2, f.n, f.k_loss, f.k_classical);

  // The interval holds the kd whose profile stays within the sum of squares at which the F test
  // of that kd against the best fit would just reject it.
  const int df2 = f.n - f.k_loss;
  const double limit = ssr1 * (1 + f_upper_quantile(1, df2, kLossTestLevel) / df2);
  Profile profile(curves, f.loss, f.classical);
  f.interval = profile_interval([&profile](double kd) { return profile(kd); },
                                {f.loss.point.kd, f.loss.ssr, f.classical.ssr, limit, f.kd_unit});
  f.ok = true;
  return f;
}

}  // namespace brx::crosscheck
