#pragma once
// Profile-likelihood interval of kd.

#include <functional>

namespace brx::crosscheck {

// The profile sum of squares at a fixed kd: the other parameters refitted; NaN when that refit
// fails.
using ProfileSsr = std::function<double(double kd)>;

// Where the search starts: the best fit and the level that bounds the interval.
struct ProfileSearch {
  double kd_hat = 0;       // best kd
  double ssr_hat = 0;      // its sum of squares (the profile's minimum), <= limit
  double ssr_at_zero = 0;  // the profile at kd = 0: the nested fit without loss of enzyme
  double limit = 0;        // the interval holds the kd whose profile stays at or below this
  double kd_unit = 1;      // 1/(time span): the scale of the upper search
};

// kd·(time span) beyond which the enzyme is gone before the first measurements: the upper end is
// open when the sum of squares is still within the limit there.
inline constexpr double kKdOpenEnd = 1e4;

struct KdInterval {
  double low = 0;   // 0 when kd = 0 lies inside
  double high = 0;  // +∞ when the end is open
  bool ok = false;  // false when a refit failed on the way; low and high are then NaN
};

// The kd values around kd_hat whose profile sum of squares stays at or below the limit. Each end
// is bracketed, then found to about 1e-4 relative by TOMS 748; the upper end is bracketed by
// doubling kd from max(2·kd_hat, kd_unit) up to kKdOpenEnd·kd_unit. Assumes the profile rises
// away from kd_hat on either side, as it does for a curve that pins kd at all.
KdInterval profile_interval(const ProfileSsr& profile, const ProfileSearch& search);

}  // namespace brx::crosscheck
