#include "crosscheck/profile_interval.h"

#include <algorithm>
#include <boost/math/tools/toms748_solve.hpp>
#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <utility>

namespace brx::crosscheck {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr int kToleranceBits = 14;  // stop when |b − a| <= 2^(1−14)·min(|a|, |b|), ~1e-4 relative
constexpr std::uintmax_t kMaxRootSteps = 60;

// The kd between a and b (either order) where the profile crosses the limit, given
// f = profile − limit at both, of opposite signs or 0 at one; NaN when a refit fails.
double crossing(const ProfileSsr& profile, double limit, double a, double fa, double b, double fb) {
  if (fa == 0) return a;
  if (fb == 0) return b;
  if (a > b) {
    std::swap(a, b);
    std::swap(fa, fb);
  }
  bool failed = false;
  auto f = [&](double kd) {
    const double v = profile(kd) - limit;
    if (!std::isnan(v)) return v;
    // The search is void once a refit fails; this value only keeps the bracket consistent until
    // the solver returns.
    failed = true;
    return fb;
  };
  std::uintmax_t steps = kMaxRootSteps;
  try {
    const auto [lo, hi] = boost::math::tools::toms748_solve(
        f, a, b, fa, fb, boost::math::tools::eps_tolerance<double>(kToleranceBits), steps);
    return failed ? kNaN : (lo + hi) / 2;
  } catch (const std::exception&) {
    return kNaN;  // a bracket the solver refuses (it cannot arise from the signs checked above)
  }
}

}  // namespace

KdInterval profile_interval(const ProfileSsr& profile, const ProfileSearch& s) {
  KdInterval out{kNaN, kNaN, false};
  const double f_hat = s.ssr_hat - s.limit;
  // A time span below the smallest normal double makes kd_unit infinite, and the doubling of
  // the upper search would never end.
  if (!(f_hat <= 0) || !(s.kd_hat >= 0) || !(s.kd_unit > 0) || !std::isfinite(s.kd_unit)) {
    return out;
  }

  // Lower end: 0 when the nested fit is itself within the limit.
  const double f_zero = s.ssr_at_zero - s.limit;
  if (std::isnan(f_zero)) return out;
  const double low =
      f_zero <= 0 || s.kd_hat == 0 ? 0 : crossing(profile, s.limit, s.kd_hat, f_hat, 0, f_zero);

  // Upper end: double kd until the profile leaves the limit, then close in on the crossing.
  const double open_end = kKdOpenEnd * s.kd_unit;
  double a = s.kd_hat, fa = f_hat;
  double high = std::numeric_limits<double>::infinity();
  for (double b = std::max(2 * s.kd_hat, s.kd_unit); b <= open_end && std::isfinite(b); b *= 2) {
    const double fb = profile(b) - s.limit;
    if (std::isnan(fb)) return out;
    if (fb > 0) {
      high = crossing(profile, s.limit, a, fa, b, fb);
      break;
    }
    a = b;
    fa = fb;
  }
  if (std::isnan(low) || std::isnan(high)) return out;
  return {low, high, true};
}

}  // namespace brx::crosscheck
