#include "estimates/lambert_w.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tests/support/digits.h"

namespace brx {
namespace {

// W(x) to long-double precision by Newton steps from above, on w·e^w = x below 3 and on
// w + ln w = ln x above: independent of the routine under test.
long double ReferenceW(long double x) {
  const bool small = x < 3;
  long double w = small ? x : std::log(x);
  for (int i = 0; i < 200 && w > 0; ++i) {
    const long double step = small ? (w * std::exp(w) - x) / (std::exp(w) * (w + 1))
                                   : (w + std::log(w) - std::log(x)) / (1 + 1 / w);
    w -= step;
    if (std::fabs(step) <= 1e-19L * w) break;
  }
  return w;
}

// The values the routine is meant to return, to the digits printed. They carry the error its
// loose residual test allows, and above about 1e37 ten Halley steps from the capped first guess
// end short of the root (W(1e40) = 87.63, W(1e100) = 224.84).
TEST(Omegw, ReturnsItsWorkedValues) {
  const struct {
    double x, w;
    int digits;
  } table[] = {
      {0.0, 0.0, 15},
      {1.0, 0.56714331160318, 14},  // after one step; the true W(1) is 0.56714329040978
      {2.718281828459045, 1.00000002121858, 15},  // the true W(e) is 1
      {10.0, 1.74552800269978, 15},
      {1e5, 9.28457142868008, 15},
      {1e30, 64.9046337700462, 15},
      {1e40, 84.7021871379976, 15},
      {1e100, 84.7349232460484, 15},
      {1e300, 84.7349232460484, 15},
  };
  for (const auto& row : table) {
    EXPECT_TRUE(test::AgreesToDigits(omegw(row.x), row.w, row.digits)) << "x = " << row.x;
  }
}

TEST(Omegw, GivesDefinedValuesOutsideTheFiniteNonNegativeRange) {
  const double inf = std::numeric_limits<double>::infinity();
  for (double x : {-1e-300, -1.0, -1e300, -inf}) EXPECT_EQ(omegw(x), 0.0) << "x = " << x;
  EXPECT_TRUE(std::isnan(omegw(std::numeric_limits<double>::quiet_NaN())));
  EXPECT_EQ(omegw(inf), inf);
}

// Below 1e37 the stop at |w·e^w - x| <= 1e-7·(1 + x) bounds the error by about
// 1e-7·(1 + x)/(e^W·(1 + W)) (allow 1 % on that first-order bound, 4 ulps for the rounding);
// from 1e37 on ten steps end short of W. The result rises with x throughout.
TEST(Omegw, AgreesWithTrueWWithinTheResidualBoundThenEndsShort) {
  double previous = 0.0;
  for (int k = -12 * 8; k <= 308 * 8; ++k) {
    const double x = std::pow(10.0, k / 8.0);
    const long double w = ReferenceW(x);
    const double got = omegw(x);
    if (x < 1e37) {
      const double bound = static_cast<double>(1e-7L * (1 + x) / (std::exp(w) * (1 + w))) * 1.01 +
                           4 * std::numeric_limits<double>::epsilon() * static_cast<double>(w);
      EXPECT_LE(std::fabs(got - static_cast<double>(w)), bound) << "x = " << x;
    } else {
      EXPECT_LT(got, static_cast<double>(w) - 1e-7) << "x = " << x;
    }
    EXPECT_GE(got, previous) << "x = " << x;
    previous = got;
  }
}

}  // namespace
}  // namespace brx
