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

TEST(ProfileInterval, EndsWhereTheProfileCrossesTheLimit) {
  struct Case {
    double k;        // best kd
    double kd_unit;  // scale of the upward search
    double low, high;
  };
  // An end found by doubling from the best kd and from a unit far below or above it; a lower end
  // at 0 when the nested fit (the profile at 0) is within the limit.
  const Case cases[] = {
      {2, 1, 1, 3}, {2, 1e-3, 1, 3}, {2, 50, 1, 3}, {0.5, 1, 0, 1.5}, {1, 1, 0, 2}};
  for (const Case& c : cases) {
    const ProfileSsr f = parabola(c.k);
    const KdInterval iv = profile_interval(f, {c.k, 1, f(0), 2, c.kd_unit});
    ASSERT_TRUE(iv.ok) << c.k;
    EXPECT_NEAR(iv.low, c.low, kTol * c.high) << c.k;
    EXPECT_NEAR(iv.high, c.high, kTol * c.high) << c.k;
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

// Times spanning less than the smallest normal double make the unit of kd infinite: no interval,
// found at once (the doubling from an infinite kd never ended).
TEST(ProfileInterval, AnInfiniteUnitOfKdGivesNoInterval) {
  int calls = 0;
  const ProfileSsr f = [&calls](double) {
    ++calls;
    return 1.0;
  };
  EXPECT_FALSE(profile_interval(f, {0.5, 1, 1.5, 2, kInf}).ok);
  EXPECT_EQ(calls, 0);
}

TEST(ProfileInterval, FailedRefitOrLimitBelowTheMinimumGiveNoInterval) {
  const ProfileSsr fails_above = [](double kd) {
    return kd > 2.5 ? std::nan("") : 1 + (kd - 2) * (kd - 2);
  };
  EXPECT_FALSE(profile_interval(fails_above, {2, 1, 5, 2, 1}).ok);
  const ProfileSsr fails_below = [](double kd) {
    return kd < 1.5 ? std::nan("") : 1 + (kd - 2) * (kd - 2);
  };
  const KdInterval iv = profile_interval(fails_below, {2, 1, 5, 2, 1});
  EXPECT_FALSE(iv.ok);
  EXPECT_TRUE(std::isnan(iv.low) && std::isnan(iv.high));
  EXPECT_FALSE(profile_interval(parabola(2), {2, 3, 5, 2, 1}).ok);  // SSR at the best above limit
}

}  // namespace
}  // namespace brx::crosscheck
