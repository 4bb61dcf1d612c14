#pragma once
// Comparing a fit with a nested one that has fewer parameters: the extra-sum-of-squares F test
// and the corrected Akaike criterion.

namespace brx::crosscheck {

struct NestedComparison {
  double F = 0;          // ((SSR_reduced − SSR_full)/df1) / (SSR_full/df2)
  double p = 1;          // upper tail of F(df1, df2) at F
  double aicc_full = 0;  // corrected Akaike criteria, σ counted as a parameter
  double aicc_reduced = 0;
  double weight_full = 0;  // Akaike weight of the full model, between 0 and 1
};

// n points, k_full > k_reduced fitted parameters (df1 = k_full − k_reduced, df2 = n − k_full).
// A full fit worse than the reduced one (it cannot be, it contains it) counts as equal: F = 0,
// p = 1. Figures that do not exist are NaN: F and p when df2 < 1 or both sums are 0, an AICc when
// n − k − 2 < 1.
NestedComparison compare_nested(double ssr_full, double ssr_reduced, int n, int k_full,
                                int k_reduced);

// AICc = n·ln(SSR/n) + 2K + 2K(K + 1)/(n − K − 1) with K = k + 1 (the k fitted parameters and the
// error variance); NaN when n − K − 1 < 1 or SSR < 0.
double aicc(double ssr, int n, int k);

// The F value that F(df1, df2) exceeds with probability `tail` (df1, df2 >= 1, 0 < tail < 1).
double f_upper_quantile(int df1, int df2, double tail);

}  // namespace brx::crosscheck
