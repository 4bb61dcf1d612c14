#include "fitting/spline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

namespace brx {
namespace {

// Spline table of f at the times x (given from index 1).
Table SplineOf(std::vector<double> x, const std::function<double(double)>& f) {
  std::vector<double> values{0.0};
  for (double xi : x) values.push_back(f(xi));
  x.insert(x.begin(), 0.0);
  const int n = static_cast<int>(x.size()) - 1;
  Table s(4, n);
  l6300(x.data(), values.data(), n, 0.0, 0.0, 0, s);
  return s;
}

// Irregular times in (0, 1], like normalised data times.
std::vector<double> Times() {
  std::vector<double> t;
  for (int i = 1; i <= 17; ++i)
    t.push_back(0.02 + 0.98 * std::pow(i / 17.0, 1.4) + 0.003 * (i % 3));
  return t;
}

TEST(L6300, IntegratesConstantsExactlyAndLinesAsTrapezoids) {
  // Dyadic steps add up exactly in binary, so the constant's integral is exact.
  const std::vector<double> dyadic = {0.0, 0.125, 0.25, 0.5, 0.625, 1.0, 1.75};
  const Table c = SplineOf(dyadic, [](double) { return 0.75; });
  for (int i = 1; i <= 7; ++i) EXPECT_EQ(c(4, i), 0.75 * (dyadic[i - 1] - dyadic[0])) << i;
  // On irregular times the straight line's integral is its trapezoid sum to a few ulps.
  const std::vector<double> t = Times();
  const Table s = SplineOf(t, [](double x) { return 2.5 - 1.75 * x; });
  for (std::size_t i = 1; i <= t.size(); ++i) {
    EXPECT_NEAR(s(4, static_cast<int>(i)), (2.5 - 1.75 * (t[i - 1] + t[0]) / 2) * (t[i - 1] - t[0]),
                1e-15)
        << i;
  }
}

TEST(L6300, CurvatureCorrectionIntegratesTheNaturalSpline) {
  // The running integral must be that of the cubics the coefficients describe, and those must
  // interpolate with natural ends.
  const std::vector<double> t = Times();
  const Table s = SplineOf(t, [](double x) { return std::exp(-3 * x) * std::sin(9 * x) + 0.2; });
  const int n = static_cast<int>(t.size());
  EXPECT_EQ(s(2, 1), 0.0);
  EXPECT_EQ(s(2, n), 0.0);
  double integral = 0.0;
  for (int i = 1; i < n; ++i) {
    const double h = t[static_cast<std::size_t>(i)] - t[static_cast<std::size_t>(i - 1)];
    EXPECT_NEAR(s(0, i) + h * (s(1, i) + h * (s(2, i) + h * s(3, i))), s(0, i + 1), 1e-13) << i;
    integral += h * (s(0, i) + h * (s(1, i) / 2 + h * (s(2, i) / 3 + h * s(3, i) / 4)));
    EXPECT_NEAR(s(4, i + 1), integral, 1e-14) << i;
  }
}

}  // namespace
}  // namespace brx
