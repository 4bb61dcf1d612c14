#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "crosscheck/nested_test.h"

namespace brx::crosscheck {
namespace {

// Tail probabilities and quantiles of the F distribution from mpmath (regularised incomplete beta,
// 30 digits), printed to 12 digits.
TEST(NestedComparison, FTestAgainstReferenceValues) {
  // F = ((SSR2 − SSR1)/1)/(SSR1/(n − 4)): 0.3/(1/10) = 3 with n = 14.
  const NestedComparison c = compare_nested(1.0, 1.3, 14, 4, 3);
  EXPECT_NEAR(c.F, 3.0, 1e-14);
  EXPECT_NEAR(c.p, 0.113937412152, 1e-12);
  // Two extra parameters: ((2.6 − 2)/2)/(2/(15 − 5)) = 1.5 with df (2, 10).
  EXPECT_NEAR(compare_nested(2.0, 2.6, 15, 5, 3).p, 0.269329074343, 1e-12);
  EXPECT_NEAR(f_upper_quantile(1, 10, 0.05), 4.96460274373, 1e-10);
  EXPECT_NEAR(f_upper_quantile(1, 2, 0.05), 18.5128205128, 1e-9);
  EXPECT_TRUE(std::isnan(f_upper_quantile(1, 0, 0.05)));
}

TEST(NestedComparison, AkaikeCriteriaCountTheVarianceAsAParameter) {
  // n = 13, SSR = 0.026: K = 5 for the four-parameter model, 4 for the three.
  EXPECT_NEAR(aicc(0.026, 13, 4), 13 * std::log(0.002) + 10 + 60.0 / 7, 1e-12);
  EXPECT_NEAR(aicc(0.026, 13, 3), 13 * std::log(0.002) + 8 + 40.0 / 8, 1e-12);
  EXPECT_TRUE(std::isnan(aicc(0.026, 6, 4)));  // n − K − 1 = 0
  // Equal criteria give the two models equal weight; a difference of 2·ln 3 gives 3 : 1.
  const double n = 20, ssr2 = 1.0;
  const double ssr1 = ssr2 * std::exp((aicc(ssr2, 20, 3) - aicc(ssr2, 20, 4)) / n);
  EXPECT_NEAR(compare_nested(ssr1, ssr2, 20, 4, 3).weight_full, 0.5, 1e-12);
  const double ssr1b = ssr1 * std::exp(-2 * std::log(3.0) / n);
  EXPECT_NEAR(compare_nested(ssr1b, ssr2, 20, 4, 3).weight_full, 0.75, 1e-12);
}

TEST(NestedComparison, DegenerateSumsOfSquares) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  // A full fit no better than the nested one (it cannot be worse): no evidence at all.
  for (const double ssr1 : {1.0, 1.2}) {
    const NestedComparison c = compare_nested(ssr1, 1.0, 10, 4, 3);
    EXPECT_EQ(c.F, 0);
    EXPECT_EQ(c.p, 1);
  }
  // An exact full fit of an inexact nested one: infinitely strong evidence.
  const NestedComparison exact = compare_nested(0, 1.0, 10, 4, 3);
  EXPECT_EQ(exact.F, kInf);
  EXPECT_EQ(exact.p, 0);
  EXPECT_EQ(exact.weight_full, 1);
  // Two exact fits, or no degrees of freedom left: no figures.
  EXPECT_TRUE(std::isnan(compare_nested(0, 0, 10, 4, 3).p));
  EXPECT_TRUE(std::isnan(compare_nested(1, 2, 4, 4, 3).p));
}

}  // namespace
}  // namespace brx::crosscheck
