// The whole cross-check of one progress curve: the classical fit from three starts, the fit with
// loss of enzyme from ten, the F test and the profile interval of kd. Curves of 20 and 200 points
// (Km = 20, Vmax = 2, [So] = 100 over 60 min, noise 0.5 % of [So]) without loss, with a
// moderate one and with a strong one (kd·tmax = 0, 1, 4); target: under 20 ms at 200 points.

#include <benchmark/benchmark.h>

#include "crosscheck/deactivation_check.h"
#include "tests/crosscheck/synthetic_curves.h"

namespace {

void BM_CrossCheck(benchmark::State& state) {
  brx::test::LossCurve spec;
  spec.points = static_cast<int>(state.range(0));
  spec.kd = static_cast<double>(state.range(1)) / spec.tmax;
  spec.noise = 0.5;
  const brx::crosscheck::ProgressCurve c = brx::test::loss_curve(spec);
  for (auto _ : state) {
    benchmark::DoNotOptimize(brx::crosscheck::check_deactivation(c.t, c.y, c.s0));
  }
}
BENCHMARK(BM_CrossCheck)
    ->ArgNames({"points", "kd_tmax"})
    ->ArgsProduct({{20, 200}, {0, 1, 4}})
    ->Unit(benchmark::kMillisecond);

}  // namespace
