#include "crosscheck/nested_test.h"

#include <algorithm>
#include <boost/math/distributions/fisher_f.hpp>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace brx::crosscheck {
namespace {

using FDist = boost::math::fisher_f_distribution<double>;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

}  // namespace

double aicc(double ssr, int n, int k) {
  const int big_k = k + 1;
  const int dof = n - big_k - 1;
  if (dof < 1 || !(ssr >= 0)) return kNaN;
  const double nn = n;
  return nn * std::log(ssr / nn) + 2.0 * big_k + 2.0 * big_k * (big_k + 1) / dof;
}

double f_upper_quantile(int df1, int df2, double tail) {
  if (df1 < 1 || df2 < 1 || !(tail > 0 && tail < 1)) return kNaN;
  try {
    return boost::math::quantile(boost::math::complement(FDist(df1, df2), tail));
  } catch (const std::exception&) {
    return kNaN;  // the distribution's own checks; the arguments were checked above
  }
}

NestedComparison compare_nested(double ssr_full, double ssr_reduced, int n, int k_full,
                                int k_reduced) {
  NestedComparison c;
  const int df1 = k_full - k_reduced, df2 = n - k_full;
  const double gain = std::max(ssr_reduced - ssr_full, 0.0);
  if (df1 < 1 || df2 < 1 || !(ssr_full >= 0) || (gain == 0 && ssr_full == 0)) {
    c.F = c.p = kNaN;
  } else if (gain == 0) {
    c.F = 0;
    c.p = 1;
  } else if (ssr_full == 0) {
    c.F = std::numeric_limits<double>::infinity();
    c.p = 0;
  } else {
    c.F = (gain / df1) / (ssr_full / df2);
    try {
      c.p = boost::math::cdf(boost::math::complement(FDist(df1, df2), c.F));
    } catch (const std::exception&) {
      c.p = kNaN;  // an F of +∞ (a sum of squares near the largest double) is out of its domain
    }
  }
  c.aicc_full = aicc(ssr_full, n, k_full);
  c.aicc_reduced = aicc(ssr_reduced, n, k_reduced);
  // w = e^(−Δ_full/2) / (e^(−Δ_full/2) + e^(−Δ_reduced/2)) with Δ measured from the smaller AICc,
  // written as a logistic of the difference so that neither exponential overflows.
  const double d = c.aicc_full - c.aicc_reduced;
  c.weight_full = 1 / (1 + std::exp(d / 2));
  return c;
}

}  // namespace brx::crosscheck
