// One l7500 call (relative weights, as the first pass of an analysis) on a noisy curve of known
// parameters, started 10-20 % away from them. Report the median of the repetitions.

#include <benchmark/benchmark.h>

#include "fitting/regression.h"
#include "tests/fitting/regression_curves.h"

namespace {

void BM_l7500(benchmark::State& state) {
  const int imdl = static_cast<int>(state.range(0));
  const int npts = static_cast<int>(state.range(1));
  const brx::test::Kinetics truth = imdl == 1 ? brx::test::Kinetics{0.4, 2.6, 0.02, 1.5, 1.2}
                                              : brx::test::Kinetics{0.4, 1.8, 0.02, 0.0, 1.2};
  const brx::test::FitCase prepared = brx::test::make_case(
      imdl, truth, npts, 0.003, {truth.km * 1.2, truth.vmax * 0.85, truth.po * 1.1, 1.2},
      imdl == 1 ? brx::test::Source::kIntegrated : brx::test::Source::kExact);
  brx::FitResult r;
  for (auto _ : state) {
    brx::test::FitCase c = prepared;
    r = brx::test::fit(c, brx::Weighting::kRelative);
    benchmark::DoNotOptimize(r.ssr);
  }
  state.counters["ssr"] = r.ssr;
  state.counters["ithr"] = r.ithr();
}

BENCHMARK(BM_l7500)
    ->ArgNames({"model", "npts"})
    ->ArgsProduct({{1, 2}, {13, 200, 1001}})
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
