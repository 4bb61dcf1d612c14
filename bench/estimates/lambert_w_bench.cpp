// Cost of one omegw call by argument range, binary128 reference against double-double: the
// number of Halley steps differs (none at 0 and below 2^-60, one near 1, two near 1e5, ten on the
// capped guess from 1e30 up; above 2^330 the result is a constant).

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "estimates/lambert_w.h"

namespace {

using Routine = double (*)(double);

// 64 arguments spread over a factor of 2 above `base`.
void BM_Omegw(benchmark::State& state, Routine omegw, double base) {
  std::vector<double> xs(64);
  for (std::size_t i = 0; i < xs.size(); ++i)
    xs[i] = base * std::pow(2.0, static_cast<double>(i) / 64);
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(omegw(xs[i]));
    i = (i + 1) & 63;
  }
}

#define BRX_OMEGW_RANGES(carrier, routine)                         \
  BENCHMARK_CAPTURE(BM_Omegw, carrier##_zero, routine, 0.0);       \
  BENCHMARK_CAPTURE(BM_Omegw, carrier##_tiny, routine, 1e-6);      \
  BENCHMARK_CAPTURE(BM_Omegw, carrier##_near_1, routine, 1.0);     \
  BENCHMARK_CAPTURE(BM_Omegw, carrier##_near_1e5, routine, 1e5);   \
  BENCHMARK_CAPTURE(BM_Omegw, carrier##_near_1e30, routine, 1e30); \
  BENCHMARK_CAPTURE(BM_Omegw, carrier##_near_1e100, routine, 1e100)

BRX_OMEGW_RANGES(binary128, brx::omegw_binary128);
BRX_OMEGW_RANGES(double_double, brx::omegw_double_double);
BRX_OMEGW_RANGES(double_double_split, brx::omegw_double_double_split);

}  // namespace
