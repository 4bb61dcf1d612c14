#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "crosscheck/nested_test.h"

namespace brx::crosscheck {
namespace {

// Tail probabilities and quantiles of the F distribution from mpmath (regularised incomplete beta,
// 30 digits), printed to 12 digits.
TEST(NestedComparison, FTestAgainstReferenceValuesAndAtDegenerateSumsOfSquares) {
  // F = ((SSR2 − SSR1)/1)/(SSR1/(n − 4)): 0.3/(1/10) = 3 with n = 14.
  const NestedComparison c = compare_nested(1.0, 1.3, 14, 4, 3);
  EXPECT_NEAR(c.F, 3.0, 1e-14);
  EXPECT_NEAR(c.p, 0.113937412152, 1e-12);
  // Two extra parameters: ((2.6 − 2)/2)/(2/(15 − 5)) = 1.5 with df (2, 10).
  EXPECT_NEAR(compare_nested(2.0, 2.6, 15, 5, 3).p, 0.269329074343, 1e-12);
  EXPECT_NEAR(f_upper_quantile(1, 10, 0.05), 4.96460274373, 1e-10);
  EXPECT_NEAR(f_upper_quantile(1, 2, 0.05), 18.5128205128, 1e-9);
  EXPECT_TRUE(std::isnan(f_upper_quantile(1, 0, 0.05)));

  // A full fit no better than the nested one (it cannot be worse): no evidence at all.
  for (const double ssr1 : {1.0, 1.2}) {
    const NestedComparison none = compare_nested(ssr1, 1.0, 10, 4, 3);
    EXPECT_EQ(none.F, 0);
    EXPECT_EQ(none.p, 1);
  }
  // An exact full fit of an inexact nested one: infinitely strong evidence.
  const NestedComparison exact = compare_nested(0, 1.0, 10, 4, 3);
  EXPECT_EQ(exact.F, std::numeric_limits<double>::infinity());
  EXPECT_EQ(exact.p, 0);
  EXPECT_EQ(exact.weight_full, 1);
  // Two exact fits, or no degrees of freedom left: no figures.
  EXPECT_TRUE(std::isnan(compare_nested(0, 0, 10, 4, 3).p));
  EXPECT_TRUE(std::isnan(compare_nested(1, 2, 4, 4, 3).p));
}

}  // namespace
}  // namespace brx::crosscheck
