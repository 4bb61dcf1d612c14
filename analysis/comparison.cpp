#include "analysis/comparison.h"

#include <climits>
#include <cmath>
#include <utility>

#include "fitting/student_t.h"

namespace brx {
namespace {

constexpr double kWelchGuard = 1.05e-15;  // keeps the Welch divisions away from 0 / 0
constexpr double kYFloor = 1e-15;         // p_value_f: 1 − x never drops below this

}  // namespace

double aicc(int n, double ssr, int k) {
  // The integer terms 2·N·k and N − k − 1 are formed first, then divided as doubles.
  return static_cast<double>(n) * std::log(ssr / n) +
         static_cast<double>(2 * n * k) / static_cast<double>(n - k - 1);
}

void p_value_f(int df1, int df2, double f, double& P, int& fault) {
  // Sums the series of the incomplete beta function 1 − I_x(df1/2, df2/2) at
  // x = df1·F/(df1·F + df2): the first half of the loop runs over df2, the second over df1; an
  // odd count ends in the arctangent term of the half-integer case.
  const double a = df1;
  const double b = df2;
  fault = 0;
  if (f <= 0) {
    P = 0;
    fault = 1;
    return;
  }
  if (a <= 0 && b <= 0) {
    P = 0;
    fault = 2;
    return;
  }
  const double x = f * a / (f * a + b);
  double y = 1 - x;
  if (y < kYFloor) y = kYFloor;
  const double ha = a / 2;
  double hb = b / 2;
  double cf = ha + hb - 1;
  double s1 = 0, s2 = 0, s3 = 0, e = 1, g = 1, h = 1, z = 0, phase = 0.25;
  double k = std::trunc(b);
  auto terms = [&](double m) {
    for (double i = 0; i < m; i += 1) {
      s2 = s2 * s1 + e;
      hb = hb - 1;
      cf = cf - 1;
      const double r = y / hb;
      s1 = cf * r;
      s3 = s3 * (s1 + r);
    }
  };
  while (phase <= 0.875) {
    if (2 * std::trunc(hb) == k) {  // even degrees of freedom
      terms(std::trunc(hb - 1));
      s2 = s2 * s1 + e;
      e = 0;
      z = -1;
      cf = -1;
      s3 = s3 * x;
      phase = phase + 0.5;
    } else {  // odd degrees of freedom
      terms(std::trunc(hb));
      s2 = s2 * h;
      s3 = s3 * h;
      const double q = std::sqrt(y);
      g = g * q;
      z = (g - q) / y;
      cf = -0.5;
      h = 0.6366197723675814;  // 2/π
      phase = 2 * phase;
    }
    if (phase <= 0.875) {  // switch to the first degrees of freedom
      hb = ha;
      cf = cf + hb;
      s3 = s2;
      s2 = 0;
      y = x;
      if (y < kYFloor) y = kYFloor;
      k = std::trunc(a);
    }
  }
  if (phase < 1.125) e = std::atan(z) * 1.2732395447351628;  // 4/π
  double L = (s3 - s2) * g - e;
  if (L < 0) {
    L = 0;
    fault = 3;
  }
  if (L > 1) {
    L = 1;
    fault = 3;
  }
  P = 1 - L;
}

double p_value_f(int df1, int df2, double f) {
  double P = 0;
  int fault = 0;
  p_value_f(df1, df2, f, P, fault);
  return P;
}

double f_spread(int n, int k1, int k2) {
  // Every term in floating point: with thousands of points d2²·d1·... overflows 32-bit integers.
  const double d1 = n - k1;
  const double d2 = n - k2;
  return std::sqrt(2 * d2 * d2 * (d1 + d2 - 2) / (d1 * (d2 - 2) * (d2 - 2) * (d2 - 4)));
}

int welch_df(int n, double s1, double s2) {
  const double v1 = s1 * s1;
  const double v2 = s2 * s2;
  const double sum = v1 + v2;
  const double df = sum * sum / (kWelchGuard + v1 * v1 / (n - 1) + v2 * v2 / (n - 1));
  const double rounded = std::round(df);  // halves away from zero
  if (!std::isfinite(rounded) || rounded > INT_MAX || rounded < INT_MIN) return 0;
  return static_cast<int>(rounded);
}

PvalueVerdict pvalue_verdict(double F, double pF) {
  // A p-value only counts for Model 1 when F is positive, i.e. Model 1 has the smaller AICc.
  if (F > 0 && pF < 0.0505) return PvalueVerdict::kAtMost05;
  if (F > 0 && pF < 0.11) return PvalueVerdict::kAtMost10;
  return PvalueVerdict::kAbove10;
}

Advice advice(double pLow, double pF) {
  if (pLow <= 0.0505 && 0.0505 < pF && pF < 0.11) return Advice::kSinceBandReaches05;
  if (pLow <= 0.1 && 0.1 < pF && pF < 0.5) return Advice::kMayImprove;
  return Advice::kNone;
}

int conclusion_case(double pF, int W) {
  if (pF < 0.105) {
    if (pF <= 0.05) return W == 1 ? 1 : 4;
    return W == 1 ? 2 : 3;
  }
  return W == 1 ? 5 : 6;  // also a p-value that is not a number
}

Comparison compare_models(int n, double ssr1, double s1, double ssr2, double s2, double kd,
                          double kdp) {
  constexpr int k1 = kParamsModel1;
  constexpr int k2 = kParamsModel2;
  Comparison c;
  c.n = n;
  c.kd = kd;
  c.kdp = kdp;
  c.aicc1 = aicc(n, ssr1, k1);
  c.aicc2 = aicc(n, ssr2, k2);

  // The ratio of the criteria, less their small-sample corrections, scaled to an F statistic; the
  // order of the divisions is kept because it decides the printed digits.
  const double D = n * (std::log(c.aicc1 / c.aicc2) - (2.0 * k1) / static_cast<double>(k1 - n + 1) -
                        (2.0 * k2) / static_cast<double>(k2 - n + 1));
  c.F = D / c.aicc2 / static_cast<double>(k1 - k2) * static_cast<double>(n - k1);
  const bool model1_better = c.aicc1 - c.aicc2 < 0;
  c.F = model1_better ? std::fabs(c.F) : -c.F;
  c.df1 = k1 - k2;
  c.df2 = n - k1;
  c.pF = p_value_f(c.df1, c.df2, c.F);
  c.sd = f_spread(n, k1, k2);

  if (model1_better) {
    c.pLow = p_value_f(c.df1, c.df2, c.F + c.sd);
    c.pHigh = c.pF + (c.pF - c.pLow);
  } else {
    // Model 2 is at least as good: the p-value is taken from 1 − F, so a large negative F gives a
    // p-value close to 1.
    c.pF = 1 - p_value_f(c.df1, c.df2, 1 - c.F);
    c.pHigh = p_value_f(c.df1, c.df2, (1 - c.F) + c.sd);
    c.pLow = c.pF + (c.pF - c.pHigh);
    if (c.pLow > c.pHigh) std::swap(c.pLow, c.pHigh);
    if (c.pHigh > 1.0) c.pHigh = 1.0;
  }

  c.tW = std::fabs(ssr1 - ssr2) / std::sqrt(kWelchGuard + s1 * s1 / static_cast<double>(k1 - 1) +
                                            s2 * s2 / static_cast<double>(k2 - 1));
  c.dfW = welch_df(n, s1, s2);
  // The critical-value table starts at one degree of freedom; below it there is no critical value
  // and the test cannot reject.
  c.tCrit = std::nan("");
  if (c.dfW >= 1) l4100(c.dfW, c.tCrit);
  c.W = c.tW >= c.tCrit ? 1 : 0;

  c.verdict = pvalue_verdict(c.F, c.pF);
  c.band = prints_band(c.pF);
  c.advice = advice(c.pLow, c.pF);
  c.conclusion = conclusion_case(c.pF, c.W);
  c.contentious = kd_contentious(kd);
  return c;
}

}  // namespace brx
