#include "analysis/comparison.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace brx {
namespace {

// The p-values themselves are pinned by the whole runs; here the edges of the decisions.
TEST(DecisionRules, ThresholdsAndConclusionCases) {
  EXPECT_EQ(pvalue_verdict(1.0, 0.05), PvalueVerdict::kAtMost05);
  EXPECT_EQ(pvalue_verdict(1.0, 0.105), PvalueVerdict::kAtMost10);
  // F exactly 0 with AICc1 < AICc2 gives pF = 0, yet "> 0.10": the smaller suffixes need F > 0.
  EXPECT_EQ(pvalue_verdict(0.0, 0.0), PvalueVerdict::kAbove10);
  EXPECT_EQ(advice(0.0505, 0.06), Advice::kSinceBandReaches05);
  EXPECT_EQ(advice(0.08, 0.2), Advice::kMayImprove);
  EXPECT_TRUE(kd_contentious(0.00101));
  EXPECT_FALSE(kd_contentious(0.00102));
  for (int n = 5; n <= 7; ++n) EXPECT_FALSE(std::isfinite(f_spread(n, 4, 3))) << n;

  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  const struct {
    double pF;
    int W, expected;
  } cases[] = {{0.05, 1, 1},  {0.1049, 1, 2}, {0.0501, 0, 3}, {0.05, 0, 4},
               {0.105, 1, 5}, {0.105, 0, 6},  {kNaN, 1, 5}};
  for (const auto& c : cases) {
    EXPECT_EQ(conclusion_case(c.pF, c.W), c.expected) << c.pF << " " << c.W;
  }
}

TEST(CompareModels, BlownUpOrPerfectFitsNeverCountForDeactivation) {
  // The regression gives a curve that blew up an infinite sum of squares (and standard error).
  // Whichever model it was, no figure may come out small and no verdict may favour Model 1;
  // neither they nor perfect fits give Welch's test a critical value.
  constexpr double kInf = std::numeric_limits<double>::infinity();
  const struct {
    double ssr1, s1, ssr2, s2;
  } cases[] = {{kInf, kInf, 0.002, 0.0141}, {0.001, 0.0106, kInf, kInf}, {0, 0, 0, 0}};
  for (const auto& fits : cases) {
    const Comparison c = compare_models(13, fits.ssr1, fits.s1, fits.ssr2, fits.s2, 0.3, 0.002);
    EXPECT_FALSE(c.pF < 0.5) << c.pF;
    EXPECT_EQ(c.verdict, PvalueVerdict::kAbove10);
    EXPECT_EQ(c.W, 0);
    EXPECT_TRUE(std::isnan(c.tCrit));
    EXPECT_GE(c.conclusion, 5);
  }
}

}  // namespace
}  // namespace brx
