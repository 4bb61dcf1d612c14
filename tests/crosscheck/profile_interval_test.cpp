#include "crosscheck/profile_interval.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace brx::crosscheck {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kTol = 2e-4;  // the ends are found to about 1e-4 relative

// Parabolic profiles 1 + (kd − k)² against the limit 2 have their ends at k ± 1.
ProfileSsr parabola(double k) {
  return [k](double kd) { return 1 + (kd - k) * (kd - k); };
}

// An end found by doubling from the best kd and from a unit far below or above it; a lower end at
// 0 when the nested fit (the profile at 0) is within the limit. Each row: best kd, scale of the
// upward search, low end, high end.
TEST(ProfileInterval, EndsWhereTheProfileCrossesTheLimit) {
  const double cases[][4] = {{2, 1e-3, 1, 3}, {2, 50, 1, 3}, {0.5, 1, 0, 1.5}, {1, 1, 0, 2}};
  for (const auto& c : cases) {
    const ProfileSsr f = parabola(c[0]);
    const KdInterval iv = profile_interval(f, {c[0], 1, f(0), 2, c[1]});
    ASSERT_TRUE(iv.ok) << c[0];
    EXPECT_NEAR(iv.low, c[2], kTol * c[3]) << c[0];
    EXPECT_NEAR(iv.high, c[3], kTol * c[3]) << c[0];
  }
}

TEST(ProfileInterval, FlatProfileLeavesTheUpperEndOpen) {
  int calls = 0;
  const ProfileSsr f = [&calls](double) {
    ++calls;
    return 1.0;
  };
  const KdInterval iv = profile_interval(f, {0.5, 1, 1.5, 2, 1});
  ASSERT_TRUE(iv.ok);
  EXPECT_EQ(iv.high, kInf);
  // Doubling from 1 up to the open end, 1e4 per unit of kd, takes 14 refits, not an endless search.
  EXPECT_LE(calls, 15);
}

// A refit that fails above or below the best kd, or a limit below the SSR at the best kd.
TEST(ProfileInterval, FailedRefitOrLimitBelowTheMinimumGiveNoInterval) {
  for (const double cut : {2.5, -1.5}) {  // refits fail beyond kd = 2.5, or below kd = 1.5
    const ProfileSsr f = [cut](double kd) {
      return (cut > 0 ? kd > cut : kd < -cut) ? std::nan("") : 1 + (kd - 2) * (kd - 2);
    };
    const KdInterval iv = profile_interval(f, {2, 1, 5, 2, 1});
    EXPECT_FALSE(iv.ok) << cut;
    if (cut < 0) {
      EXPECT_TRUE(std::isnan(iv.low) && std::isnan(iv.high));
    }
  }
  EXPECT_FALSE(profile_interval(parabola(2), {2, 3, 5, 2, 1}).ok);
}

}  // namespace
}  // namespace brx::crosscheck
