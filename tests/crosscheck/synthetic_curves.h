#pragma once
// Progress curves with first-order loss of enzyme and known parameters, with seeded Gaussian
// noise. The points come from the implicit closed form solved by bisection
// (tests/support/progress_curve.h), not from the Wright omega route they will be fitted with.

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "crosscheck/progress_curve.h"
#include "tests/support/progress_curve.h"

namespace brx::test {

struct LossCurve {
  double km = 20;
  double vmax = 2;  // per minute: 85 % of the substrate used by 60 min without loss
  double s0 = 100;
  double p0 = 0;
  double kd = 0;
  double tmax = 60;  // minutes
  int points = 20;   // evenly spaced over [0, tmax]
  double noise = 0;  // standard deviation of the added noise, in the product's unit
};

// Standard normal deviates from a 64-bit Mersenne Twister by Box–Muller: the same numbers on every
// platform (std::normal_distribution is not specified to the bit).
class Gauss {
 public:
  explicit Gauss(std::uint64_t seed) : gen_(seed) {}
  double operator()() {
    const double u1 = (static_cast<double>(gen_() >> 11) + 1) * 0x1p-53;  // (0, 1]
    const double u2 = static_cast<double>(gen_() >> 11) * 0x1p-53;
    return std::sqrt(-2 * std::log(u1)) * std::cos(2 * M_PI * u2);
  }

 private:
  std::mt19937_64 gen_;
};

inline crosscheck::ProgressCurve loss_curve(const LossCurve& shape, std::uint64_t seed = 1) {
  crosscheck::ProgressCurve c;
  c.s0 = shape.s0;
  // The bisection's [So] is the total of substrate and product: S0 + P0.
  const Kinetics k{shape.km, shape.vmax, shape.p0, shape.kd, shape.s0 + shape.p0};
  Gauss gauss(seed);
  for (int i = 0; i < shape.points; ++i) {
    const double t = shape.tmax * i / (shape.points - 1);
    c.t.push_back(t);
    c.y.push_back(exact_product(k, 0, t) + shape.noise * gauss());
  }
  return c;
}

}  // namespace brx::test
