#include "crosscheck/deactivation_check.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "crosscheck/least_squares_fit.h"
#include "crosscheck/multi_start_fit.h"
#include "crosscheck/nested_test.h"
#include "crosscheck/profile_interval.h"
#include "crosscheck/verdict_text.h"

namespace brx::crosscheck {
namespace {

constexpr int kParamsLoss = 4;       // Km, Vmax, P0, kd
constexpr int kParamsClassical = 3;  // Km, Vmax, P0
constexpr double kLevel = 0.05;      // the test's level; the interval's coverage is 1 − kLevel
// Starting kd of the loss model, per time span: slow, moderate and fast loss; and the small kd
// that moves the classical fit's parameters off the bound.
constexpr double kStartKds[] = {0.1, 1.0, 3.0};
constexpr double kNudgeKd = 0.01;
// Sums of squares below n·(kExactFit·S0)² are rounding, not misfit: a curve the models follow
// exactly must not have its verdict decided by the last bits of two tiny numbers.
constexpr double kExactFit = 1e-12;

EnzymeLossParams single(const FitPoint& x, double c) {
  const SharedParams q = shared_params(x, c);
  return {q.km, q.kcat, q.p0.empty() ? 0 : q.p0[0], q.kd};
}

// The reason the points cannot be judged, or an empty text.
std::string unusable(const std::vector<double>& t, const std::vector<double>& y, double so) {
  const std::size_t n = t.size();
  if (y.size() != n) return "the times and products differ in number";
  if (n < static_cast<std::size_t>(kMinCrossCheckPoints)) {
    return "only " + std::to_string(n) + " points, at least " +
           std::to_string(kMinCrossCheckPoints) + " needed";
  }
  if (!std::isfinite(so) || so == 0) return "[So] must be a number other than 0";
  for (std::size_t i = 0; i < n; ++i) {
    if (!std::isfinite(t[i]) || !std::isfinite(y[i])) return "a time or product is not a number";
  }
  if (std::all_of(t.begin(), t.end(), [&t](double v) { return v == t[0]; })) {
    return "every point has the same time";
  }
  return {};
}

CrossCheck without_verdict(CrossCheck c, const std::string& reason) {
  c.verdict = Verdict::kNone;
  c.reason = reason;
  c.text = verdict_sentence(c);
  c.note = verdict_note(c);
  return c;
}

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
    if (!f.ok) return CrossCheck::kNaN;
    fitted_.push_back(f.point);
    return f.ssr;
  }

 private:
  const std::vector<ProgressCurve>& curves_;
  std::vector<FitPoint> fitted_;
};

}  // namespace

CrossCheck check_deactivation(const std::vector<double>& t, const std::vector<double>& y,
                              double so) {
  CrossCheck c;
  c.n = static_cast<int>(t.size());
  c.deactivation_type = so < 0 ? 2 : 1;
  if (const std::string why = unusable(t, y, so); !why.empty()) return without_verdict(c, why);

  const std::vector<ProgressCurve> curves{{t, y, std::fabs(so), 1.0}};
  const ProgressCurve& curve = curves.front();
  const double c_ref = reference_concentration(curves);
  double span = 0;
  for (const double v : t) span = std::max(span, std::fabs(v));
  const double kd_unit = 1 / span;

  // The classical model, then the loss model from a grid of starts and from the classical fit.
  const FitOutcome classical = best_of_starts(curves, curve_starts(curve, {0.0}, c_ref), true);
  if (!classical.ok) return without_verdict(c, "the least-squares fit failed");
  std::vector<double> kds;
  for (const double k : kStartKds) kds.push_back(k * kd_unit);
  std::vector<FitPoint> starts = curve_starts(curve, kds, c_ref);
  starts.push_back(classical.point);
  starts.back().kd = kNudgeKd * kd_unit;
  FitOutcome loss = best_of_starts(curves, starts, false);
  if (!loss.ok) return without_verdict(c, "the least-squares fit failed");
  // The loss model contains the classical one (kd = 0); a start that found nothing better than
  // it leaves the classical fit as the best.
  if (loss.ssr > classical.ssr) loss = classical;

  c.loss = single(loss.point, c_ref);
  c.classical = single(classical.point, c_ref);
  c.ssr1 = loss.ssr;
  c.ssr2 = classical.ssr;
  const double floor = c.n * (kExactFit * curve.s0) * (kExactFit * curve.s0);
  const double ssr1 = std::max(c.ssr1, floor), ssr2 = std::max(c.ssr2, floor);
  const NestedComparison cmp = compare_nested(ssr1, ssr2, c.n, kParamsLoss, kParamsClassical);
  c.F = cmp.F;
  c.p = cmp.p;
  c.aicc1 = cmp.aicc_full;
  c.aicc2 = cmp.aicc_reduced;
  c.weight1 = cmp.weight_full;

  // The interval holds the kd whose profile stays within the sum of squares at which the F test
  // of that kd against the best fit would just reject it.
  const int df2 = c.n - kParamsLoss;
  const double limit = ssr1 * (1 + f_upper_quantile(1, df2, kLevel) / df2);
  Profile profile(curves, loss, classical);
  const KdInterval iv = profile_interval([&profile](double kd) { return profile(kd); },
                                         {c.loss.kd, c.ssr1, c.ssr2, limit, kd_unit});
  if (iv.ok) {
    c.kd_low = iv.low;
    c.kd_high = iv.high;
    c.half_life_low = std::log(2.0) / iv.high;
    c.half_life_high = std::log(2.0) / iv.low;
  }
  c.half_life = std::log(2.0) / c.loss.kd;

  c.verdict = c.p < kLevel ? Verdict::kDeactivation : Verdict::kNoEvidence;
  if (std::isnan(c.p)) return without_verdict(c, "the figures of the F test do not exist");
  c.text = verdict_sentence(c);
  c.note = verdict_note(c);
  return c;
}

}  // namespace brx::crosscheck
