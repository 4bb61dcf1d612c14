#pragma once
// Progress curves with known parameters. Both models of type 1 have an implicit closed form,
// solved for P by bisection to the last bit:
//
//   (P - Po) + Km·ln((So - Po)/(So - P)) = Vmax·(t - t1)                       Model 2 (kd = 0)
//   (P - Po) + Km·ln((So - Po)/(So - P)) = Vmax·(exp(-kd·t1) - exp(-kd·t))/kd  Model 1

#include <cmath>

namespace brx::test {

struct Kinetics {
  double km, vmax, po, kd, so;  // kd = 0: Model 2
  double operator[](int k) const { return k == 1 ? km : k == 2 ? vmax : k == 3 ? po : kd; }
  double& operator[](int k) { return k == 1 ? km : k == 2 ? vmax : k == 3 ? po : kd; }
};

// Product at time t of the curve that holds po at t1.
inline double exact_product(const Kinetics& k, double t1, double t) {
  const double drive = k.kd == 0.0 ? k.vmax * (t - t1)
                                   : k.vmax * (std::exp(-k.kd * t1) - std::exp(-k.kd * t)) / k.kd;
  double lo = k.po, hi = k.so;
  for (double mid = 0.5 * (lo + hi); mid != lo && mid != hi; mid = 0.5 * (lo + hi))
    (((mid - k.po) + k.km * std::log((k.so - k.po) / (k.so - mid)) > drive) ? hi : lo) = mid;
  return lo;
}

}  // namespace brx::test
