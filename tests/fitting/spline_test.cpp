#include "fitting/spline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace brx {
namespace {

// The running integral (row 4) must be that of the cubics the coefficients describe, up to and
// including the last time, and those cubics must interpolate with natural ends. On irregular
// times in (0, 1], like normalised data times.
TEST(L6300, IntegratesTheNaturalSplineToTheLastPoint) {
  std::vector<double> t{0.0}, f{0.0};
  for (int i = 1; i <= 17; ++i) {
    t.push_back(0.02 + 0.98 * std::pow(i / 17.0, 1.4) + 0.003 * (i % 3));
    f.push_back(std::exp(-3 * t[i]) * std::sin(9 * t[i]) + 0.2);
  }
  const int n = 17;
  Table s(4, n);
  l6300(t.data(), f.data(), n, 0.0, 0.0, 0, s);
  EXPECT_EQ(s(2, 1), 0.0);
  EXPECT_EQ(s(2, n), 0.0);
  EXPECT_EQ(s(4, 1), 0.0);
  double integral = 0.0;
  for (int i = 1; i < n; ++i) {
    const double h = t[i + 1] - t[i];
    EXPECT_NEAR(s(0, i) + h * (s(1, i) + h * (s(2, i) + h * s(3, i))), s(0, i + 1), 1e-13) << i;
    integral += h * (s(0, i) + h * (s(1, i) / 2 + h * (s(2, i) / 3 + h * s(3, i) / 4)));
    EXPECT_NEAR(s(4, i + 1), integral, 1e-14) << i;
  }
}

}  // namespace
}  // namespace brx
