#include "analysis/comparison.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tests/support/digits.h"

namespace brx {
namespace {

using test::AgreesToPlaces;

TEST(PValueF, MatchesTheWorkedValuesAndReportsItsFaults) {
  // Even and odd degrees of freedom in both halves of the series (the arctangent term enters
  // exactly when df2 is odd); worked values printed to ten places.
  const struct {
    int df1, df2;
    double f, p;
    int fault;
  } cases[] = {{1, 10, 3.0, 0.1139374122, 0}, {2, 10, 1.5, 0.2693290743, 0},
               {5, 20, 2.7, 0.0506736940, 0}, {1, 1, 4.0, 0.2951672353, 0},
               {2, 2, 2.0, 1.0 / 3.0, 0},     {1, 10, 0.0, 0.0, 1},
               {1, 10, -2.0, 0.0, 1},         {0, 0, 3.0, 0.0, 2}};
  for (const auto& c : cases) {
    double P = -1;
    int fault = -1;
    p_value_f(c.df1, c.df2, c.f, P, fault);
    EXPECT_TRUE(AgreesToPlaces(P, c.p, 10)) << c.df1 << ", " << c.df2 << ", " << c.f;
    EXPECT_EQ(fault, c.fault) << c.df1 << ", " << c.df2 << ", " << c.f;
  }
}

TEST(FSpread, IsFiniteFromEightPointsAndNeverOverflows) {
  EXPECT_TRUE(AgreesToPlaces(f_spread(1001, 4, 3), 0.0635476, 7));
  for (int n = 5; n <= 7; ++n) EXPECT_FALSE(std::isfinite(f_spread(n, 4, 3))) << n;
}

TEST(DecisionRules, ThresholdsAndConclusionCases) {
  EXPECT_EQ(pvalue_verdict(1.0, 0.05), PvalueVerdict::kAtMost05);
  EXPECT_EQ(pvalue_verdict(1.0, 0.0505), PvalueVerdict::kAtMost10);
  EXPECT_EQ(pvalue_verdict(1.0, 0.105), PvalueVerdict::kAtMost10);
  EXPECT_EQ(pvalue_verdict(1.0, 0.11), PvalueVerdict::kAbove10);
  // F exactly 0 with AICc1 < AICc2 gives pF = 0, yet "> 0.10": the smaller suffixes need F > 0.
  EXPECT_EQ(pvalue_verdict(0.0, 0.0), PvalueVerdict::kAbove10);
  EXPECT_TRUE(prints_band(0.105));
  EXPECT_FALSE(prints_band(0.11));

  EXPECT_EQ(advice(0.0505, 0.06), Advice::kSinceBandReaches05);
  EXPECT_EQ(advice(0.0506, 0.06), Advice::kNone);
  EXPECT_EQ(advice(0.01, 0.0505), Advice::kNone);
  EXPECT_EQ(advice(0.08, 0.2), Advice::kMayImprove);
  EXPECT_EQ(advice(0.08, 0.5), Advice::kNone);

  EXPECT_TRUE(kd_contentious(0.00101));
  EXPECT_FALSE(kd_contentious(0.00102));

  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  const struct {
    double pF;
    int W, expected;
  } cases[] = {{0.05, 1, 1}, {0.0, 1, 1},   {0.0501, 1, 2}, {0.1049, 1, 2}, {0.0501, 0, 3},
               {0.05, 0, 4}, {0.105, 1, 5}, {0.105, 0, 6},  {kNaN, 1, 5},   {kNaN, 0, 6}};
  for (const auto& c : cases) {
    EXPECT_EQ(conclusion_case(c.pF, c.W), c.expected) << c.pF << " " << c.W;
  }
}

TEST(CompareModels, TheDeactivationModelBetterGivesAPositiveF) {
  // 13 points; Model 1 halves the residual sum of squares.
  const Comparison c = compare_models(13, 0.001, 0.0106, 0.002, 0.0141, 0.3, 0.002);
  ASSERT_LT(c.aicc1, c.aicc2);
  EXPECT_GT(c.F, 0);
  EXPECT_DOUBLE_EQ(c.pF, p_value_f(1, 9, c.F));
  EXPECT_DOUBLE_EQ(c.pLow, p_value_f(1, 9, c.F + c.sd));
  EXPECT_DOUBLE_EQ(c.pHigh, 2 * c.pF - c.pLow);
}

TEST(CompareModels, TheClassicalModelBetterOrPerfectFits) {
  const Comparison c = compare_models(13, 0.004, 0.021, 0.001, 0.0100, 0.0005, 0.9);
  ASSERT_GE(c.aicc1, c.aicc2);
  EXPECT_DOUBLE_EQ(c.pF, 1 - p_value_f(1, 9, 1 - c.F));
  EXPECT_LE(c.pLow, c.pHigh);
  EXPECT_LE(c.pHigh, 1.0);
  EXPECT_GE(c.conclusion, 5);

  // Perfect fits leave Welch's test without a critical value.
  EXPECT_EQ(welch_df(13, 1.0, 1.0), 24);  // 2(n − 1), a hair less through the guard term
  const Comparison p = compare_models(13, 0.0, 0.0, 0.0, 0.0, 0.3, 0.01);
  EXPECT_EQ(p.dfW, 0);
  EXPECT_TRUE(std::isnan(p.tCrit));
  EXPECT_EQ(p.W, 0);
}

TEST(CompareModels, AFitThatBlewUpNeverCountsForDeactivation) {
  // The regression gives a curve that blew up an infinite sum of squares (and standard error).
  // Whichever model it was, no figure may come out small and no verdict may favour Model 1.
  constexpr double kInf = std::numeric_limits<double>::infinity();
  const struct {
    double ssr1, s1, ssr2, s2;
  } cases[] = {{kInf, kInf, 0.002, 0.0141}, {0.001, 0.0106, kInf, kInf}};
  for (const auto& fits : cases) {
    const Comparison c = compare_models(13, fits.ssr1, fits.s1, fits.ssr2, fits.s2, 0.3, 0.002);
    EXPECT_FALSE(c.pF < 0.5) << c.pF;
    EXPECT_EQ(c.verdict, PvalueVerdict::kAbove10);
    EXPECT_FALSE(c.band);
    EXPECT_EQ(c.W, 0);
    EXPECT_GE(c.conclusion, 5);
  }
}

}  // namespace
}  // namespace brx
