#pragma once
// Sets of progress curves of one reaction at several enzyme concentrations, with known
// parameters and seeded Gaussian noise (synthetic_curves.h): Vmax of a curve is kcat·[E]0.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "crosscheck/selwyn_fit.h"
#include "tests/crosscheck/synthetic_curves.h"

namespace brx::test {

struct LossSet {
  double km = 20;
  double kcat = 2.4;  // per minute and unit of [E]0
  double s0 = 100;
  double kd = 0;
  double tmax = 60;  // minutes
  int points = 20;   // per curve, evenly spaced over [0, tmax]
  double noise = 0;  // standard deviation of the added noise, in the product's unit
  std::vector<double> e0 = {0.5, 1, 2};
  std::vector<double> vmax_factor = {};  // a factor on each curve's Vmax (none: all scale)
  std::vector<double> p0 = {};           // each curve's product at t = 0 (none: 0)
};

// Curves "E0=…" in set order; curve k of seed s draws its noise from seed 1000·s + k.
inline std::vector<crosscheck::SetCurve> loss_set(const LossSet& shape, std::uint64_t seed = 1) {
  std::vector<crosscheck::SetCurve> set;
  for (std::size_t k = 0; k < shape.e0.size(); ++k) {
    LossCurve c{.km = shape.km,
                .vmax = shape.kcat * shape.e0[k],
                .s0 = shape.s0,
                .p0 = k < shape.p0.size() ? shape.p0[k] : 0,
                .kd = shape.kd,
                .tmax = shape.tmax,
                .points = shape.points,
                .noise = shape.noise};
    if (k < shape.vmax_factor.size()) c.vmax *= shape.vmax_factor[k];
    const crosscheck::ProgressCurve pc = loss_curve(c, 1000 * seed + k);
    char name[32];
    std::snprintf(name, sizeof name, "E0=%g", shape.e0[k]);
    set.push_back({name, pc.t, pc.y, shape.s0, shape.e0[k]});
  }
  return set;
}

}  // namespace brx::test
