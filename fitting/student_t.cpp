#include "fitting/student_t.h"

#include <array>
#include <cmath>
#include <numbers>

namespace brx {

double studnt(int df, double t) {
  // Without this test a not-a-number t would come out of the clamp below as p = 0, i.e. as an
  // overwhelmingly significant result.
  if (std::isnan(t)) return t;
  constexpr double kPi = std::numbers::pi;
  double p;  // P(T <= t)
  if (df < 1) {
    p = phid(t);
  } else if (t < 0.0) {
    return -1.0;
  } else if (df == 1) {
    p = (1.0 + 2.0 * std::atan(t) / kPi) / 2.0;
  } else if (df == 2) {
    p = (1.0 + t / std::sqrt(t * t + 2.0)) / 2.0;
  } else {
    // Closed forms in θ = atan(t/√df) with q = cos²θ: the finite series in q is summed from its
    // innermost term outwards.
    const double q = 1.0 / (1.0 + t * t / df);
    double sum = 1.0;
    for (int j = df - 2; j > 1; j -= 2) sum = 1.0 + (j - 1) * q * sum / j;
    if (df % 2 == 1) {
      const double a = t / std::sqrt(static_cast<double>(df));
      p = (1.0 + 2.0 * (std::atan(a) + a * q * sum) / kPi) / 2.0;
    } else {
      p = (1.0 + t / std::sqrt(df + t * t) * sum) / 2.0;
    }
    // t = +inf gives inf·0 above. That not-a-number means "beyond every finite t": P becomes 0,
    // which the last line returns as it is, a tail probability of 0.
    if (std::isnan(p)) {
      p = 0.0;
    } else if (p < 0.0) {
      p = 0.0;
    } else if (p > 1.0) {
      p = 1.0;
    }
  }
  return p > 0.0 ? 2.0 * (1.0 - p) : p;
}

double phid(double x) {
  // Chebyshev coefficients of exp(z²)·erfc(z) in u = (8z − 30)/(4z + 15), which maps
  // z in [0, inf) onto [−2, 2).
  static constexpr std::array<double, 25> k = {
      0.6101430819232004,     -0.4348412727125775,     0.1763511936436055,
      -0.06071079560924941,   0.017712068995694115,    -0.004321119385567294,
      0.0008542166768870987,  -0.00012715509060916275, 1.1248167243671189e-05,
      3.1306388542182096e-07, -2.70988068537762e-07,   3.073762270140769e-08,
      2.515620384817623e-09,  -1.0289299213203192e-09, 2.994405211994994e-11,
      2.6051789687266936e-11, -2.6348399241719693e-12, -6.434045098906365e-13,
      1.1245740180166345e-13, 1.7281533389986097e-14,  -4.264101694942375e-15,
      -5.45371977880191e-16,  1.58697607761671e-16,    2.0899837844334e-17,
      -5.900526869409e-18,
  };
  const double z = std::fabs(x) / std::sqrt(2.0);
  double e = 0.0;  // erfc(z)/2; exp(−z²) underflows long before z = 100
  if (!(z > 100.0)) {
    const double u = (8.0 * z - 30.0) / (4.0 * z + 15.0);
    std::array<double, 27> b{};  // b(25) = b(26) = 0
    for (std::size_t i = 25; i-- > 0;) b[i] = k[i] + u * b[i + 1] - b[i + 2];
    e = std::exp(-z * z) * (b[0] - b[2]) / 4.0;
  }
  return x > 0.0 ? 1.0 - e : e;
}

void l4100(int df, double& tcrit) {
  static constexpr std::array<double, 21> kTable = {
      12.7062,  // df <= 0 (no critical value exists) takes the df = 1 value
      12.7062, 4.3027, 3.1825, 2.7765, 2.5706, 2.4469, 2.3646, 2.306,  2.2622, 2.2281,
      2.201,   2.1788, 2.1604, 2.1448, 2.1315, 2.1199, 2.1098, 2.1009, 2.093,  2.086,
  };
  if (df <= 20) {
    tcrit = kTable[static_cast<std::size_t>(df < 0 ? 0 : df)];
    return;
  }
  // Beyond the table the excess over the limit 1.96 decays exponentially from A at df = d0 to
  // B at df = d0 + span; the result is cut (not rounded) to two decimals.
  constexpr double kLn8p2 = 2.1041341542702074;
  constexpr double kLn4 = 1.3862943611198906;
  constexpr double kLn2 = 0.6931471805599453;
  double d0, a, lnratio, span;
  if (df <= 30) {
    d0 = 20.0, a = 12.3, lnratio = std::log(12.3) - kLn8p2, span = 10.0;
  } else if (df <= 60) {
    d0 = 30.0, a = 8.2, lnratio = kLn8p2 - kLn4, span = 30.0;
  } else {
    d0 = 60.0, a = 3.9, lnratio = std::log(3.9) - kLn2, span = 60.0;
  }
  const double e = a * std::exp((d0 - df) * lnratio / span);
  tcrit = std::trunc(196.5 + e) / 100.0;
}

}  // namespace brx
