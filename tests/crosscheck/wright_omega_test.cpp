#include "crosscheck/wright_omega.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace brx::crosscheck {
namespace {

// ω(x) = W(eˣ) to 17 digits, from mpmath at 40 digits: mpmath.lambertw(mpmath.exp(x)). The rows
// cross every change of method (the series in eˣ below −2, the series about 1 up to 3, the
// asymptotic start above) and reach both ends of the range where eˣ itself would overflow or
// lose its digits.
struct Reference {
  double x;
  double omega;
};
constexpr Reference kReference[] = {
    {-700, 9.8596765437597709e-305},
    {-300, 5.1482002224120138e-131},
    {-40, 4.248354255291589e-18},
    {-10, 4.539786874921543e-5},
    {-3, 4.7478491024865476e-2},
    {-2.5, 7.6072213407902556e-2},
    {-2, 1.2002823898764123e-1},
    {-1.5, 1.853749184489398e-1},
    {-1, 2.784645427610738e-1},
    {-0.25, 4.8128846639758644e-1},
    {-1e-8, 5.6714328679082131e-1},
    {0, 5.6714329040978387e-1},
    {1e-8, 5.6714329402874645e-1},
    {0.5, 7.6624860816175026e-1},
    {1, 1.0},
    {2, 1.5571455989976114},
    {3, 2.207940031569323},
    {3.5, 2.5599947804121222},
    {5, 3.6934413589606498},
    {10, 7.9294200950196973},
    {30, 2.6714782920381054e+1},
    {100, 9.5441486645575832e+1},
    {1000, 9.930991694723891e+2},
    {1e4, 9.9907905809942519e+3},
    {1e5, 9.9988487189669761e+4},
    {1e6, 9.9998618450325763e+5},
    {1e12, 9.9999999997236898e+11},
    {1e300, 1.0000000000000001e+300},
};

// Four units in the last place: the routine's own error, measured at under 2 ulps over 8800
// arguments spread from −745 to 1e300, plus the rounding of the 17-digit reference.
constexpr double kUlps = 4;

TEST(WrightOmega, MatchesHighPrecisionValuesToAFewUlps) {
  for (const Reference& r : kReference) {
    const double ulp = std::nextafter(r.omega, std::numeric_limits<double>::infinity()) - r.omega;
    EXPECT_LE(std::fabs(wright_omega(r.x) - r.omega), kUlps * ulp) << "x = " << r.x;
  }
}

TEST(WrightOmega, EndsOfTheRealLine) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  constexpr double kMax = std::numeric_limits<double>::max();
  EXPECT_EQ(wright_omega(-kInf), 0.0);
  EXPECT_EQ(wright_omega(-800), 0.0);  // eˣ underflows, and so does ω
  EXPECT_EQ(wright_omega(kInf), kInf);
  EXPECT_TRUE(std::isnan(wright_omega(std::nan(""))));
  // No overflow on the way: ω(x) = x − ln x + … rounds to x at the largest double.
  EXPECT_EQ(wright_omega(kMax), kMax);
}

}  // namespace
}  // namespace brx::crosscheck
