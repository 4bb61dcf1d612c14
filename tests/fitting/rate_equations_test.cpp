#include "fitting/rate_equations.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace brx {
namespace {

constexpr double kTiny = 1.0001e-15;

struct RateTest : ::testing::Test {
  nrtype nr;
  std::vector<double> p{0.0, 0.5, 2.0, 0.05, 1.5, 9.0};  // Km, Vmax, [Po], kd, [So]
  std::vector<double> d{0.0, 0.0};

  RateTest() { nr.so = 1.2; }
  double Rate(double prod, double t, int nparam = 4) {
    l900(nr, p, {0.0, prod}, d, t, nparam, 1);
    return d[1];
  }
  // Michaelis–Menten rate for the remaining substrate So − P.
  double Mm(double prod) const { return (nr.so - prod) * p[2] / (nr.so - prod + p[1]); }
};

TEST_F(RateTest, ProductIsTakenWithinRangeForTheRateOnly) {
  nr.imdl = 2;
  const double so = nr.so;
  const double just_below = std::nextafter(so, 0.0);
  // [P] given, [P] the rate is taken at: at or above [So], that of 0.99·[So] (small and
  // positive); between 0.99·[So] and [So], [P] as it is (a smaller rate, down to almost 0); below
  // 0.0001, 0.0001.
  const double table[][2] = {{so, 0.99 * so},          {1.5, 0.99 * so}, {0.995 * so, 0.995 * so},
                             {just_below, just_below}, {0.0, 0.0001},    {-0.3, 0.0001}};
  for (const auto& row : table) EXPECT_EQ(Rate(row[0], 0.5, 3), Mm(row[1])) << row[0];
  EXPECT_LT(Rate(0.995 * so, 0.5, 3), Rate(so, 0.5, 3));
  EXPECT_GT(Rate(just_below, 0.5, 3), 0.0);
  EXPECT_LT(Rate(just_below, 0.5, 3), 1e-14);
}

// kd is kept within [1e-15, 23], fixed or not, and the rate is taken with the clamped value.
// Vanishing fitted parameters are raised; fixed ones, and kd in Model 2, are left alone.
TEST_F(RateTest, ParametersAreClampedInPlace) {
  const double kd[][2] = {{0.0, kTiny}, {-2.0, kTiny}, {50.0, 23.0}, {7.5, 7.5}};
  for (const auto& c : kd) {
    for (int fixed : {0, 1}) {
      nr.mask[4] = fixed;
      p[4] = c[0];
      const double rate = Rate(0.3, 0.6);
      EXPECT_EQ(p[4], c[1]) << "kd " << c[0] << ", fixed " << fixed;
      EXPECT_DOUBLE_EQ(rate, std::exp(-c[1] * 0.6) * Mm(0.3)) << "kd " << c[0];
    }
  }
  nr.imdl = 2;
  p = {0.0, -1e-20, 2.0, 0.0, 50.0, 0.0};
  nr.mask = {0, 0, 0, 1, 0, 0};
  Rate(0.3, 0.6, 3);
  EXPECT_EQ(p, (std::vector<double>{0.0, kTiny, 2.0, 0.0, 50.0, 0.0}));
}

}  // namespace
}  // namespace brx
