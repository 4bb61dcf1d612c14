#pragma once
// The two random generators of the regression's perturbation search. Their state lives in
// brx::RandomState (inside the numeric record of one analysis), never in a global, so a fit's
// random sequence depends on the analysis alone.
//
//   rangen   fractional part of (r + pi)^5: the source of the seeds; x = 0 restarts it
//   uniform  minimal-standard Lehmer generator, single-precision values in [0, 1)

#include <cstdint>

#include "fitting/nrtype.h"

namespace brx {

// Next value of the (r + pi)^5 sequence in [0, 1). With x = 0 the sequence restarts at
// r = pi - 3; x is then set to the value returned, so passing the same variable again continues
// the sequence. Only x == 0 is tested: its value is otherwise ignored.
double rangen(RandomState& rng, double& x);

// Minimal-standard Lehmer generator s := 16807·s mod (2^31 - 1). seed 0 continues the sequence,
// seed 1 restarts it at the state 520932930, any other seed sets the state to 16807·seed mod
// (2^31 - 1). Returns (s - 1) with its 9 lowest bits cleared, times 4.656613e-10, in single
// precision: the value of the new state.
float uniform(RandomState& rng, std::int32_t seed);

}  // namespace brx
