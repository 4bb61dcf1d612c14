// The whole cross-check of one progress curve: the classical fit from three starts, the fit with
// loss of enzyme from ten, the F test and the profile interval of kd. Curves of 20 and 200 points
// (Km = 20, Vmax = 2, [So] = 100 over 60 min, noise 0.5 % of [So]) without loss, with a
// moderate one and with a strong one (kd·tmax = 0, 1, 4); target: under 20 ms at 200 points.
//
// The global (Selwyn) fit of one group of a 96-well plate: four curves at [E]0 = 0.25, 0.5, 1, 2
// of 50 points each (Km = 20, kcat = 2.4, [So] = 100 over 60 min, the same noise): both global
// fits, the interval, the scaling test and the plot series. A plate is 24 such groups, beside
// 96 single analyses and cross-checks, all under 10 s.

#include <benchmark/benchmark.h>

#include "crosscheck/deactivation_check.h"
#include "crosscheck/selwyn_fit.h"
#include "tests/crosscheck/synthetic_curves.h"
#include "tests/crosscheck/synthetic_sets.h"

namespace {

void BM_CrossCheck(benchmark::State& state) {
  brx::test::LossCurve shape;
  shape.points = static_cast<int>(state.range(0));
  shape.kd = static_cast<double>(state.range(1)) / shape.tmax;
  shape.noise = 0.5;
  const brx::crosscheck::ProgressCurve c = brx::test::loss_curve(shape);
  for (auto _ : state) {
    benchmark::DoNotOptimize(brx::crosscheck::check_deactivation(c.t, c.y, c.s0));
  }
}
BENCHMARK(BM_CrossCheck)
    ->ArgNames({"points", "kd_tmax"})
    ->ArgsProduct({{20, 50, 200}, {0, 1, 4}})
    ->Unit(benchmark::kMillisecond);

void BM_SelwynGroup(benchmark::State& state) {
  brx::test::LossSet shape;
  shape.points = 50;
  shape.e0 = {0.25, 0.5, 1, 2};
  shape.kd = static_cast<double>(state.range(0)) / shape.tmax;
  shape.noise = 0.5;
  const auto set = brx::test::loss_set(shape);
  for (auto _ : state) benchmark::DoNotOptimize(brx::crosscheck::fit_selwyn_groups(set));
}
BENCHMARK(BM_SelwynGroup)
    ->ArgNames({"kd_tmax"})
    ->Arg(0)
    ->Arg(1)
    ->Arg(4)
    ->Unit(benchmark::kMillisecond);

}  // namespace
