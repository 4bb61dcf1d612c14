#include "fitting/spline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace brx {
namespace {

// Abscissae and values from index 1; index 0 holds a value that must not be read.
struct Points {
  std::vector<double> x{-1e300}, f{-1e300};
  void Add(double xi, double fi) {
    x.push_back(xi);
    f.push_back(fi);
  }
  int n() const { return static_cast<int>(x.size()) - 1; }
  Table Spline(int endflag = 0, double slope1 = 0.0, double slopen = 0.0) const {
    Table s(4, n());
    l6300(x.data(), f.data(), n(), slope1, slopen, endflag, s);
    return s;
  }
};

// Irregular times in (0, 1], like normalised data times.
std::vector<double> Times() {
  std::vector<double> t;
  for (int i = 1; i <= 17; ++i)
    t.push_back(0.02 + 0.98 * std::pow(i / 17.0, 1.4) + 0.003 * (i % 3));
  return t;
}

TEST(L6300, IntegralOfConstantIsExact) {
  Points dyadic;  // sums of these steps are exact in binary
  for (double xi : {0.0, 0.125, 0.25, 0.5, 0.625, 1.0, 1.75}) dyadic.Add(xi, 0.75);
  const Table s = dyadic.Spline();
  for (int i = 1; i <= dyadic.n(); ++i) {
    EXPECT_EQ(s(4, i), 0.75 * (dyadic.x[i] - dyadic.x[1])) << i;
    EXPECT_EQ(s(0, i), 0.75);
  }
  Points irregular;
  for (double t : Times()) irregular.Add(t, 0.3);
  const Table r = irregular.Spline();
  for (int i = 1; i <= irregular.n(); ++i) {
    // Only the telescoping sum of the steps differs from x(i) − x(1): a few ulps.
    EXPECT_NEAR(r(4, i), 0.3 * (irregular.x[i] - irregular.x[1]), 1e-15) << i;
    EXPECT_EQ(r(2, i), 0.0);
  }
}

TEST(L6300, IntegralOfStraightLineIsTheTrapezoidSum) {
  Points line;
  for (double t : Times()) line.Add(t, 2.5 - 1.75 * t);
  const Table s = line.Spline();
  double trapezoid = 0.0;
  for (int i = 1; i <= line.n(); ++i) {
    if (i > 1) trapezoid += (line.x[i] - line.x[i - 1]) * (line.f[i - 1] + line.f[i]) / 2;
    EXPECT_NEAR(s(4, i), trapezoid, 1e-15) << i;
    EXPECT_NEAR(s(4, i), (2.5 - 1.75 * (line.x[i] + line.x[1]) / 2) * (line.x[i] - line.x[1]),
                1e-14);
    EXPECT_NEAR(s(2, i), 0.0, 1e-12);
  }
}

TEST(L6300, CoefficientsDescribeTheNaturalSplineThroughThePoints) {
  Points pts;
  for (double t : Times()) pts.Add(t, std::exp(-3 * t) * std::sin(9 * t) + 0.2);
  const Table s = pts.Spline();
  const int n = pts.n();
  auto piece = [&](int i, double u, int derivative) {
    const double b = s(1, i), m = s(2, i), d = s(3, i);
    switch (derivative) {
      case 0:
        return s(0, i) + u * (b + u * (m + u * d));
      case 1:
        return b + u * (2 * m + 3 * u * d);
      default:
        return 2 * m + 6 * u * d;
    }
  };
  EXPECT_EQ(s(2, 1), 0.0);  // natural ends
  EXPECT_EQ(s(2, n), 0.0);
  double integral = 0.0;
  for (int i = 1; i < n; ++i) {
    const double h = pts.x[i + 1] - pts.x[i];
    // Interpolates, and is continuous to the second derivative at every knot.
    EXPECT_NEAR(piece(i, h, 0), pts.f[i + 1], 1e-13) << i;
    if (i + 1 < n) {
      EXPECT_NEAR(piece(i, h, 1), piece(i + 1, 0.0, 1), 1e-12) << i;
      EXPECT_NEAR(piece(i, h, 2), piece(i + 1, 0.0, 2), 1e-10) << i;
    }
    // The running integral is the integral of these cubics.
    integral += h * (s(0, i) + h * (s(1, i) / 2 + h * (s(2, i) / 3 + h * s(3, i) / 4)));
    EXPECT_NEAR(s(4, i + 1), integral, 1e-14) << i;
  }
  EXPECT_NEAR(piece(n - 1, pts.x[n] - pts.x[n - 1], 2), 0.0, 1e-10);
  EXPECT_NEAR(s(1, n), piece(n - 1, pts.x[n] - pts.x[n - 1], 1), 1e-12);
}

TEST(L6300, ClampedEndsReproduceACubicAndItsIntegral) {
  auto cubic = [](double t) { return 0.5 - 2 * t + 3 * t * t - 1.5 * t * t * t; };
  auto slope = [](double t) { return -2 + 6 * t - 4.5 * t * t; };
  auto area = [](double t) { return 0.5 * t - t * t + t * t * t - 0.375 * t * t * t * t; };
  Points pts;
  for (double t : Times()) pts.Add(t, cubic(t));
  const int n = pts.n();
  const Table s = pts.Spline(1, slope(pts.x[1]), slope(pts.x[n]));
  for (int i = 1; i <= n; ++i) {
    EXPECT_NEAR(s(4, i), area(pts.x[i]) - area(pts.x[1]), 1e-13) << i;
    EXPECT_NEAR(s(1, i), slope(pts.x[i]), 1e-11) << i;
  }
}

TEST(L6300, OneAndTwoPoints) {
  Points one;
  one.Add(0.4, 3.0);
  Table s = one.Spline();
  EXPECT_EQ(s(4, 1), 0.0);
  EXPECT_EQ(s(0, 1), 3.0);
  Points two;
  two.Add(0.5, 1.0);
  two.Add(0.75, 3.0);
  s = two.Spline();
  EXPECT_EQ(s(4, 2), 0.5);
  EXPECT_EQ(s(1, 1), 8.0);
}

}  // namespace
}  // namespace brx
