#include "fitting/student_t.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "tests/support/digits.h"

namespace brx {
namespace {

double Tcrit(int df) {
  double t = -1.0;
  l4100(df, t);
  return t;
}

TEST(Studnt, WorkedValues) {
  EXPECT_DOUBLE_EQ(studnt(1, 1.0), 0.5);
  for (int df = 1; df <= 60; ++df) EXPECT_EQ(studnt(df, 0.0), 1.0) << "df = " << df;
  EXPECT_EQ(studnt(10, -1.0), -1.0);
  // Printed as "about 0.05": two significant digits.
  EXPECT_TRUE(test::AgreesToDigits(studnt(0, 1.96), 0.05, 2));
  EXPECT_TRUE(test::AgreesToDigits(studnt(10, 2.228), 0.05, 2));
  EXPECT_TRUE(test::AgreesToDigits(studnt(20, 2.086), 0.05, 2));
  // No tail beyond every finite t; a t that is not a number must not look significant.
  EXPECT_EQ(studnt(7, std::numeric_limits<double>::infinity()), 0.0);
  for (int df : {0, 1, 2, 3, 4}) EXPECT_TRUE(std::isnan(studnt(df, std::nan("")))) << df;
}

TEST(Studnt, AgreesWithNumericalIntegralOfTheDensity) {
  for (int df = 1; df <= 40; ++df) {
    const double nu = df;
    const double logc =
        std::lgamma((nu + 1) / 2) - std::lgamma(nu / 2) - std::log(nu * std::numbers::pi) / 2;
    for (double t : {0.25, 1.0, 2.0, 3.5, 6.0}) {
      // 1 − 2·∫₀ᵗ density, by Simpson's rule on 4000 panels (error far below 1e-11).
      const int m = 4000;
      double s = 0.0;
      for (int i = 0; i <= m; ++i) {
        const double w = (i == 0 || i == m) ? 1.0 : (i % 2 ? 4.0 : 2.0);
        s += w * std::exp(logc - (nu + 1) / 2 * std::log1p(std::pow(i * t / m, 2) / nu));
      }
      EXPECT_NEAR(studnt(df, t), 1.0 - 2.0 * s * t / m / 3.0, 1e-11) << "df " << df << " t " << t;
    }
  }
}

TEST(Studnt, TableCriticalValuesGiveFivePercentToTheirDigits) {
  // The table's last digit is not always the rounded one (df = 3: 3.1825 for 3.182446), so the
  // 5 % point is promised within one unit of it: the tails one unit either side bracket 0.05.
  for (int df = 1; df <= 20; ++df) {
    const double t = Tcrit(df);
    double unit = 1.0;  // 2.306 has three decimals
    while (std::fabs(std::round(t / unit) * unit - t) > 1e-9) unit /= 10;
    EXPECT_GE(studnt(df, t - unit), 0.05) << "df = " << df;
    EXPECT_LE(studnt(df, t + unit), 0.05) << "df = " << df;
  }
}

TEST(Phid, WorkedValuesAndErfc) {
  EXPECT_DOUBLE_EQ(phid(0.0), 0.5);  // the series gives 0.5 + 1 ulp
  EXPECT_EQ(phid(-142.0), 0.0);      // z = 142/√2 > 100
  EXPECT_EQ(phid(142.0), 1.0);
  for (double x = -12.0; x <= 12.0; x += 0.37) {
    const double expected = std::erfc(-x / std::numbers::sqrt2) / 2;
    EXPECT_NEAR(phid(x), expected, 1e-15 + 1e-13 * expected) << "x = " << x;
  }
}

TEST(L4100, TabledInterpolatedAndUndefinedDegreesOfFreedom) {
  const double cases[][2] = {{1, 12.7062}, {8, 2.306},  {20, 2.086},  {21, 2.08},   {25, 2.06},
                             {30, 2.04},   {31, 2.04},  {40, 2.02},   {60, 2.00},   {61, 2.00},
                             {100, 1.98},  {1e6, 1.96}, {0, 12.7062}, {-5, 12.7062}};
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(Tcrit(static_cast<int>(c[0])), c[1]) << c[0];
  EXPECT_EQ(Tcrit(std::numeric_limits<int>::max()), 1.96);
  EXPECT_EQ(Tcrit(std::numeric_limits<int>::min()), 12.7062);
}

}  // namespace
}  // namespace brx
