// Cost of one omegw call by argument range: the number of Halley steps differs (none at 0, one
// near 1, two near 1e5, ten on the capped guess from 1e30 up).

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "bench/estimates/omegw_calls.h"

namespace {

// 64 arguments spread over a factor of 2 above `base`.
void BM_Omegw(benchmark::State& state, double base) {
  std::vector<double> xs(64);
  for (std::size_t i = 0; i < xs.size(); ++i)
    xs[i] = base * std::pow(2.0, static_cast<double>(i) / 64);
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(brx::bench::omegw_uncounted(xs[i]));
    i = (i + 1) & 63;
  }
}

BENCHMARK_CAPTURE(BM_Omegw, zero, 0.0);
BENCHMARK_CAPTURE(BM_Omegw, tiny, 1e-6);
BENCHMARK_CAPTURE(BM_Omegw, near_1, 1.0);
BENCHMARK_CAPTURE(BM_Omegw, near_1e5, 1e5);
BENCHMARK_CAPTURE(BM_Omegw, near_1e30, 1e30);
BENCHMARK_CAPTURE(BM_Omegw, near_1e100, 1e100);

}  // namespace
