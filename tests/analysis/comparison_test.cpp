#include "analysis/comparison.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/digits.h"

namespace brx {
namespace {

using test::AgreesToDigits;
using test::AgreesToPlaces;

struct FCase {
  int df1, df2;
  double f, p;  // worked values, printed to ten decimal places
};

class PValueF : public ::testing::TestWithParam<FCase> {};

TEST_P(PValueF, MatchesTheWorkedValuesToTenPlaces) {
  const FCase c = GetParam();
  double P = -1;
  int fault = -1;
  p_value_f(c.df1, c.df2, c.f, P, fault);
  EXPECT_TRUE(AgreesToPlaces(P, c.p, 10));
  EXPECT_EQ(fault, 0);
}

// Even and odd degrees of freedom in both halves of the series (the arctangent term enters
// exactly when df2 is odd).
INSTANTIATE_TEST_SUITE_P(WorkedValues, PValueF,
                         ::testing::Values(FCase{1, 10, 3.0, 0.1139374122},
                                           FCase{2, 10, 1.5, 0.2693290743},
                                           FCase{5, 20, 2.7, 0.0506736940},
                                           FCase{1, 1, 4.0, 0.2951672353},
                                           FCase{2, 2, 2.0, 1.0 / 3.0}));

TEST(PValueF, ReportsItsFaults) {
  const struct {
    int df1, df2;
    double f;
    int fault;
  } cases[] = {{1, 10, 0.0, 1}, {1, 10, -2.0, 1}, {0, 0, 3.0, 2}, {-1, -5, 3.0, 2}};
  for (const auto& c : cases) {
    double P = -1;
    int fault = -1;
    p_value_f(c.df1, c.df2, c.f, P, fault);
    EXPECT_EQ(P, 0.0) << c.df1 << " " << c.df2 << " " << c.f;
    EXPECT_EQ(fault, c.fault) << c.df1 << " " << c.df2 << " " << c.f;
  }
}

TEST(PValueF, ANotANumberFStaysNotANumber) {
  double P = 0;
  int fault = -1;
  p_value_f(1, 9, std::nan(""), P, fault);
  EXPECT_TRUE(std::isnan(P));
}

TEST(FSpread, AtTheLargestExampleTable) {
  // Every term in floating point: d2²·(d1 + d2 − 2)·... would overflow 32-bit integers.
  EXPECT_TRUE(AgreesToPlaces(f_spread(1001, 4, 3), 0.0635476, 7));
  EXPECT_TRUE(AgreesToDigits(f_spread(100001, 4, 3), std::sqrt(4.0 / 100000), 3));
}

TEST(FSpread, IsNotFiniteUpToSevenPoints) {
  for (int n = 5; n <= 7; ++n) EXPECT_FALSE(std::isfinite(f_spread(n, 4, 3))) << n;
  EXPECT_TRUE(std::isfinite(f_spread(8, 4, 3)));
}

TEST(Aicc, UsesTheSmallSampleCorrection) {
  // 13 points, SSR = 0.013: 13·ln(0.001) + 2·13·4/8.
  EXPECT_DOUBLE_EQ(aicc(13, 0.013, 4), 13 * std::log(0.001) + 13.0);
  EXPECT_EQ(aicc(13, 0.0, 4), -INFINITY);
}

TEST(WelchDf, RoundsToTheNearestAndHasNoValueForPerfectFits) {
  // s1 = s2 = 1: (1 + 1)² / (2/(n − 1)) = 2(n − 1), a hair less through the guard term.
  EXPECT_EQ(welch_df(13, 1.0, 1.0), 24);
  EXPECT_EQ(welch_df(13, 0.0, 0.0), 0);
  EXPECT_EQ(welch_df(13, std::nan(""), 1.0), 0);
  EXPECT_EQ(welch_df(13, INFINITY, 1.0), 0);
}

TEST(DecisionRules, PValueSuffixBoundaries) {
  EXPECT_EQ(pvalue_verdict(1.0, 0.05), PvalueVerdict::kAtMost05);
  EXPECT_EQ(pvalue_verdict(1.0, 0.0505), PvalueVerdict::kAtMost10);
  EXPECT_EQ(pvalue_verdict(1.0, 0.105), PvalueVerdict::kAtMost10);
  EXPECT_EQ(pvalue_verdict(1.0, 0.11), PvalueVerdict::kAbove10);
  // F exactly 0 with AICc1 < AICc2 gives pF = 0, yet "> 0.10": the smaller suffixes need F > 0.
  EXPECT_EQ(pvalue_verdict(0.0, 0.0), PvalueVerdict::kAbove10);
  EXPECT_EQ(pvalue_verdict(-3.0, 0.01), PvalueVerdict::kAbove10);
  EXPECT_EQ(pvalue_verdict(1.0, std::nan("")), PvalueVerdict::kAbove10);
  EXPECT_TRUE(prints_band(0.105));
  EXPECT_FALSE(prints_band(0.11));
}

TEST(DecisionRules, AdviceBoundaries) {
  EXPECT_EQ(advice(0.0505, 0.06), Advice::kSinceBandReaches05);
  EXPECT_EQ(advice(0.0506, 0.06), Advice::kNone);
  EXPECT_EQ(advice(0.01, 0.0505), Advice::kNone);
  EXPECT_EQ(advice(0.01, 0.11), Advice::kMayImprove);  // 0.1 < pF < 0.5
  EXPECT_EQ(advice(0.08, 0.2), Advice::kMayImprove);
  EXPECT_EQ(advice(0.1001, 0.2), Advice::kNone);
  EXPECT_EQ(advice(0.08, 0.5), Advice::kNone);
}

TEST(DecisionRules, ConclusionCases) {
  const struct {
    double pF;
    int W, expected;
  } cases[] = {
      {0.05, 1, 1},  {0.0, 1, 1}, {0.0501, 1, 2}, {0.1049, 1, 2}, {0.0501, 0, 3}, {0.05, 0, 4},
      {0.105, 1, 5}, {0.9, 1, 5}, {0.105, 0, 6},  {1.0, 0, 6},    {NAN, 1, 5},    {NAN, 0, 6},
  };
  for (const auto& c : cases)
    EXPECT_EQ(conclusion_case(c.pF, c.W), c.expected) << c.pF << " " << c.W;
}

TEST(DecisionRules, ContentiousKd) {
  EXPECT_TRUE(kd_contentious(0.00101));
  EXPECT_FALSE(kd_contentious(0.00102));
  EXPECT_TRUE(kd_contentious(0.0005));
}

TEST(CompareModels, TheDeactivationModelBetterGivesAPositiveF) {
  // 13 points; Model 1 halves the residual sum of squares.
  const Comparison c = compare_models(13, 0.001, 0.0106, 0.002, 0.0141, 0.3, 0.002);
  ASSERT_LT(c.aicc1, c.aicc2);
  EXPECT_GT(c.F, 0);
  EXPECT_EQ(c.df1, 1);
  EXPECT_EQ(c.df2, 9);
  // The small-sample terms 2·k/(k − N + 1) are real divisions: −8/8 and −6/9.
  const double D = 13 * (std::log(c.aicc1 / c.aicc2) + 1.0 + 6.0 / 9.0);
  EXPECT_DOUBLE_EQ(c.F, std::fabs(D / c.aicc2 / 1 * 9));
  EXPECT_DOUBLE_EQ(c.pF, p_value_f(1, 9, c.F));
  EXPECT_DOUBLE_EQ(c.pLow, p_value_f(1, 9, c.F + c.sd));
  EXPECT_DOUBLE_EQ(c.pHigh, 2 * c.pF - c.pLow);
  EXPECT_FALSE(c.contentious);
}

TEST(CompareModels, TheClassicalModelBetterGivesAPValueNearOne) {
  const Comparison c = compare_models(13, 0.004, 0.021, 0.001, 0.0100, 0.0005, 0.9);
  ASSERT_GE(c.aicc1, c.aicc2);
  // The p-value comes from 1 − F whatever the sign of F (both criteria are negative here).
  EXPECT_DOUBLE_EQ(c.pF, 1 - p_value_f(1, 9, 1 - c.F));
  EXPECT_GT(c.pF, 0.9);
  EXPECT_LE(c.pLow, c.pHigh);
  EXPECT_LE(c.pHigh, 1.0);
  EXPECT_EQ(c.verdict, PvalueVerdict::kAbove10);
  EXPECT_FALSE(c.band);
  EXPECT_GE(c.conclusion, 5);
  EXPECT_TRUE(c.contentious);
}

TEST(CompareModels, PerfectFitsLeaveWelchWithoutACriticalValue) {
  const Comparison c = compare_models(13, 0.0, 0.0, 0.0, 0.0, 0.3, 0.01);
  EXPECT_EQ(c.dfW, 0);
  EXPECT_TRUE(std::isnan(c.tCrit));
  EXPECT_EQ(c.W, 0);
}

TEST(CompareModels, WelchAgainstTheTableValue) {
  // s1 = s2 = 1 at 13 points: dfW = 24, tCrit 2.06 from the interpolation above 20.
  const Comparison c = compare_models(13, 1.0, 1.0, 4.0, 1.0, 0.3, 0.01);
  EXPECT_EQ(c.dfW, 24);
  EXPECT_TRUE(AgreesToDigits(c.tCrit, 2.06, 3));
  EXPECT_DOUBLE_EQ(c.tW, 3.0 / std::sqrt(1.05e-15 + 1.0 / 3 + 1.0 / 2));
  EXPECT_EQ(c.W, 1);
}

}  // namespace
}  // namespace brx
