#include "crosscheck/wright_omega.h"

#include <cmath>
#include <limits>

namespace brx::crosscheck {
namespace {

// Starting values: a series in u = eˣ below kSeriesInExpEnd, the Taylor series about x = 1 up to
// kSeriesAboutOneEnd, the asymptotic expansion in x above. Each is good to 5e-2 or better at the
// ends of its range, which two Fritsch steps take to rounding.
constexpr double kSeriesInExpEnd = -2.0;
constexpr double kSeriesAboutOneEnd = 3.0;

// Above this w, q below (of the order of w²) could overflow.
constexpr double kLargeW = 1e100;

// The factor by which one Fritsch step multiplies w towards the root of w + ln w = x, given the
// residual r = x − w − ln w: 1 + r·(q − r)/((1 + w)·(q − 2r)) with q = 2(1 + w)(1 + w + 2r/3).
// Fourth order. For large w the same is taken as 1 + (r/(1 + w))·(1 − r/q)/(1 − 2r/q), which
// never forms q and holds up to the largest double.
double fritsch_factor(double w, double r) {
  const double p = 1 + w;
  if (w < kLargeW) {
    const double q = 2 * p * (p + 2 * r / 3);
    return 1 + r * (q - r) / (p * (q - 2 * r));
  }
  const double a = r / p;
  const double b = a / (2 * (p + 2 * r / 3));  // r / q
  return 1 + a * (1 - b) / (1 - 2 * b);
}

// Taylor series of ω about x = 1, where ω = 1.
double series_about_one(double x) {
  const double d = x - 1;
  return 1 +
         d * (1.0 / 2 + d * (1.0 / 16 + d * (-1.0 / 192 + d * (-1.0 / 3072 + d * 13.0 / 61440))));
}

}  // namespace

double wright_omega(double x) {
  if (std::isnan(x)) return x;
  if (x == std::numeric_limits<double>::infinity()) return x;

  if (x < 0) {
    // ω = u·f with u = eˣ, where f solves u·f + ln f = 0. The residual is formed from f rather than
    // as x − w − ln w: with ln w ≈ x that difference would lose about |x| ulps to the rounding of
    // x. Underflows to 0 near x = −745, as eˣ does.
    const double u = std::exp(x);
    double f = x < kSeriesInExpEnd ? 1 + u * (-1 + u * (1.5 + u * (-8.0 / 3 + u * 125.0 / 24)))
                                   : series_about_one(x) / u;
    for (int step = 0; step < 2; ++step) f *= fritsch_factor(u * f, -(u * f + std::log(f)));
    return u * f;
  }

  double w;
  if (x <= kSeriesAboutOneEnd) {
    w = series_about_one(x);
  } else {
    // ω = x − L + L/x + L(L − 2)/(2x²) + …, L = ln x.
    const double l = std::log(x);
    w = x - l + l / x + l * (l - 2) / (2 * x * x);
  }
  for (int step = 0; step < 2; ++step) w *= fritsch_factor(w, x - w - std::log(w));
  return w;
}

}  // namespace brx::crosscheck
