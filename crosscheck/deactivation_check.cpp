#include "crosscheck/deactivation_check.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "crosscheck/least_squares_fit.h"
#include "crosscheck/loss_fits.h"
#include "crosscheck/verdict_text.h"

namespace brx::crosscheck {
namespace {

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

}  // namespace

CrossCheck check_deactivation(const std::vector<double>& t, const std::vector<double>& y,
                              double so) {
  CrossCheck c;
  c.n = static_cast<int>(t.size());
  c.deactivation_type = so < 0 ? 2 : 1;
  if (const std::string why = unusable(t, y, so); !why.empty()) return without_verdict(c, why);

  const std::vector<ProgressCurve> curves{{t, y, std::fabs(so), 1.0}};
  const LossFits f = fit_loss_and_classical(curves);
  if (!f.ok) return without_verdict(c, "the least-squares fit failed");
  c.loss = single(f.loss.point, f.c);
  c.classical = single(f.classical.point, f.c);
  take_test_and_interval(f, c.loss.kd, c);

  c.verdict = c.p < kLossTestLevel ? Verdict::kDeactivation : Verdict::kNoEvidence;
  if (std::isnan(c.p)) return without_verdict(c, "the figures of the F test do not exist");
  c.text = verdict_sentence(c);
  c.note = verdict_note(c);
  return c;
}

}  // namespace brx::crosscheck
