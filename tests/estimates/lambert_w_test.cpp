#include "estimates/lambert_w.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

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
  } table[] = {{1.0, 0.56714331160318, 14},  // after one step; the true W(1) is 0.56714329040978
               {1e40, 84.7021871379976, 15},
               {1e300, 84.7349232460484, 15}};
  for (const auto& row : table) {
    EXPECT_TRUE(test::AgreesToDigits(omegw(row.x), row.w, row.digits)) << "x = " << row.x;
  }
  // Outside the finite non-negative range: 0 below it, W(inf) = inf, and NaN stays NaN.
  const double inf = std::numeric_limits<double>::infinity();
  for (double x : {-1e-300, -1.0, -inf}) EXPECT_EQ(omegw(x), 0.0) << "x = " << x;
  EXPECT_EQ(omegw(inf), inf);
  EXPECT_TRUE(std::isnan(omegw(std::numeric_limits<double>::quiet_NaN())));
}

// Below 1e37 the stop at |w·e^w - x| <= 1e-7·(1 + x) bounds the error by about
// 1e-7·(1 + x)/(e^W·(1 + W)) (allow 1 % on that first-order bound, 4 ulps for the rounding);
// from 1e37 on ten steps end short of W. The result rises with x throughout.
TEST(Omegw, AgreesWithTrueWWithinTheResidualBoundThenEndsShort) {
  double previous = 0.0;
  for (int k = -12 * 8; k <= 308 * 8; ++k) {
    const double x = std::pow(10.0, k / 8.0);
    const auto lx = static_cast<long double>(x);
    const long double w = ReferenceW(lx);
    const double got = omegw(x);
    if (x < 1e37) {
      const long double first_order =
          1e-7L * static_cast<long double>(1 + x) / (std::exp(w) * (1 + w));
      const double bound = static_cast<double>(first_order) * 1.01 +
                           4 * std::numeric_limits<double>::epsilon() * static_cast<double>(w);
      EXPECT_LE(std::fabs(got - static_cast<double>(w)), bound) << "x = " << x;
    } else {
      EXPECT_LT(got, static_cast<double>(w) - 1e-7) << "x = " << x;
    }
    EXPECT_GE(got, previous) << "x = " << x;
    previous = got;
  }
}

// Every carrier of omegw gives the same bits as the binary128 reference (the double-double one
// twice on a processor with fused multiply-add: as the program runs it and without it).
::testing::AssertionResult SameBitsAsReference(double x) {
  const auto bits = [](double w) { return std::bit_cast<std::uint64_t>(w); };
  const std::uint64_t reference = bits(omegw_binary128(x));
  for (const double w : {omegw(x), omegw_double_double(x), omegw_double_double_split(x),
                         processor_has_fma() ? omegw_double_double_fused(x) : omegw_binary128(x)}) {
    if (bits(w) != reference)
      return ::testing::AssertionFailure()
             << std::hexfloat << "x = " << x << ": " << w << " where the "
             << "reference gives " << omegw_binary128(x);
  }
  return ::testing::AssertionSuccess();
}

// The edges of the double-double routine's shortcuts (x itself below 2^-60, one constant from
// 2^330 on) and of its decisions (1 + L rounded onto the binary128 grid below L = 2^-20, where
// 1 + X and L + 1 round differently near 2e-16; the cap of the first guess near 7.2e29; 1 + X
// rounding to X from 2^113), and the arguments outside the finite non-negative range.
TEST(Omegw, DoubleDoubleGivesTheReferenceBitsAtTheEdgesOfItsShortcuts) {
  const double inf = std::numeric_limits<double>::infinity();
  const auto below = [](double x) { return std::nextafter(x, 0.0); };
  const auto above = [&](double x) { return std::nextafter(x, inf); };
  const std::vector<std::vector<double>> groups = {
      {0.0, -0.0, -1.0, -inf, std::numeric_limits<double>::quiet_NaN(), inf},
      {std::numeric_limits<double>::denorm_min(), 0x1p-61, below(0x1p-60), 0x1p-60, above(0x1p-60)},
      {1.1e-16, 2.2e-16, 0x1p-52, 3e-16, 0x1p-21, 0x1p-20, 0x1.0448d1aeb02a6p-20, 0.65},
      {below(1.0), 1.0, above(1.0), 7.1e29, 7.169785893114864e29, 7.2e29},
      {below(0x1p113), 0x1p113, above(0x1p113), 1e40, 8.4e53, below(0x1p330), 0x1p330},
      {above(0x1p330), std::numeric_limits<double>::max()}};
  for (const std::vector<double>& group : groups) {
    for (const double x : group) EXPECT_TRUE(SameBitsAsReference(x));
  }
}

}  // namespace
}  // namespace brx
