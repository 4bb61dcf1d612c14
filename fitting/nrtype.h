#pragma once
// The fit context of one analysis: what the rate equations, the integrator and the regression
// read while a model is fitted, and the random state the regression advances. The run makes a
// fresh one for every analysis and passes it by reference, so analyses of different files never
// share state. What a run publishes (the plot tables and labels) is the analysis layer's.

#include <array>
#include <cstdint>

namespace brx {

// State of the two random generators of the regression. Both start as in a fresh process at the
// beginning of every analysis, so a file's results depend on the file alone.
struct RandomState {
  double rangen_r = 0.0;            // last value of rangen (restarted with x = 0 by every fit)
  std::int32_t lehmer = 520932930;  // state of the minimal-standard uniform generator
};

struct nrtype {
  int imdl = 1;               // model being fitted: 1 deactivation, 2 classical
  std::array<int, 6> mask{};  // mask(k) = 1: parameter k held fixed (index 0 unused)
  int flagpexp = 0;           // 1: deactivation type 2 (negative [So] in the data file)
  int iupdwn = 1;             // +1: the progress curve rises
  double so = 0.0;            // normalised [So] read by the rate equations
  double j1 = 0.0;            // fitted kd, at least 5e-9 (written by the regression)
  RandomState rng;
};

}  // namespace brx
