#pragma once
// Comparison of the two fitted models: the corrected Akaike criteria, the signed F statistic with
// its p-value and a band of one standard deviation, Welch's t-test on the two sums of squares, and
// the choice of the worded conclusion.
//
//   aicc            N·ln(SSR/N) + 2·N·k/(N − k − 1)
//   p_value_f       upper tail of the F distribution, integer degrees of freedom
//   f_spread        standard deviation of an F(d1, d2) distribution
//   welch_df        Welch degrees of freedom, halves rounded away from zero
//   compare_models  every figure of the comparison and the decisions the report prints
//
// Figures that are not finite (N ≤ 7, logarithms of non-positive values, no Welch degrees of
// freedom) are carried through as NaN or infinities; every decision rule is a plain comparison,
// so such a figure simply fails it.

namespace brx {

// Numbers of adjusted parameters of Model 1 (deactivation) and Model 2 (classical).
inline constexpr int kParamsModel1 = 4;
inline constexpr int kParamsModel2 = 3;

// Corrected Akaike criterion of a fit of n points with k adjusted parameters.
double aicc(int n, double ssr, int k);

// Upper-tail probability P of the F distribution with (df1, df2) degrees of freedom at f, summed
// exactly for integer degrees of freedom. fault: 0 normal; 1 f ≤ 0 (P = 0); 2 both degrees of
// freedom ≤ 0 (P = 0); 3 the probability fell outside [0, 1] and was clamped.
void p_value_f(int df1, int df2, double f, double& P, int& fault);
double p_value_f(int df1, int df2, double f);  // the same, fault dropped

// Standard deviation of an F distribution with d1 = n − k1 and d2 = n − k2 degrees of freedom.
double f_spread(int n, int k1, int k2);

// Welch degrees of freedom for two fits of n points with residual standard errors s1, s2; 0 when
// the figure is not finite or is out of range.
int welch_df(int n, double s1, double s2);

// Which p-value line the report prints.
enum class PvalueVerdict {
  kAbove10,   // "> 0.10", no sentence
  kAtMost05,  // "<= 0.05" after "The AICc's ... likely statistically different."
  kAtMost10,  // "<= 0.10" after the same sentence
};
PvalueVerdict pvalue_verdict(double F, double pF);

// Whether the report prints the p-value band.
inline bool prints_band(double pF) {
  return pF < 0.11;
}

// Advice about adding data points.
enum class Advice { kNone, kSinceBandReaches05, kMayImprove };
Advice advice(double pLow, double pF);

// Conclusion case 1..6 from the F-test p-value and the Welch result W (1 when tW ≥ tCrit).
int conclusion_case(double pF, int W);

// kd is too small to be trusted (at most 0.00101).
inline bool kd_contentious(double kd) {
  return kd <= 0.00101;
}

struct Comparison {
  int n = 0;
  double aicc1 = 0, aicc2 = 0;
  double F = 0;          // signed F statistic
  int df1 = 0, df2 = 0;  // k1 − k2 and n − k1
  double pF = 0;         // F-test p-value
  double sd = 0;         // spread of F
  double pLow = 0, pHigh = 0;
  double tW = 0;           // Welch t
  int dfW = 0;             // Welch degrees of freedom
  double tCrit = 0;        // two-sided 95 % critical t for dfW (NaN when dfW < 1)
  int W = 0;               // 1 when tW ≥ tCrit
  double kd = 0, kdp = 0;  // Model 1's kd and its t-test p-value
  PvalueVerdict verdict = PvalueVerdict::kAbove10;
  bool band = false;
  Advice advice = Advice::kNone;
  int conclusion = 6;  // case 1..6
  bool contentious = false;
};

// Every figure and decision of the comparison of Model 1 (ssr1, s1) with Model 2 (ssr2, s2)
// fitted to n points; kd and kdp are Model 1's kd and its t-test p-value.
Comparison compare_models(int n, double ssr1, double s1, double ssr2, double s2, double kd,
                          double kdp);

}  // namespace brx
