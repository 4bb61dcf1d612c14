#pragma once
// Counts, and on request records, the calls of omegw made anywhere in the benchmark program
// (linked with --wrap on its symbol).

#include <cstdint>
#include <vector>

namespace brx::bench {

struct OmegwCalls {
  std::int64_t count = 0;
  bool recording = false;
  std::vector<double> arguments;
};

// The one record of this single-threaded benchmark program.
OmegwCalls& omegw_calls();

// omegw itself, bypassing the counter.
double omegw_uncounted(double x);

}  // namespace brx::bench
